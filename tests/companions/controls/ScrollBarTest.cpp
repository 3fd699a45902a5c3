// The scroll bar with 32-bit ranges: real values through every way of reading and setting
// them, the thumb where the position says, an empty range.
#include "CompanionTest.h"

namespace {

class ScrollBarTest : public CompanionTest {
protected:
    void SetUp() override {
        CompanionTest::SetUp();
        ASSERT_TRUE(host.CreateHost(CRect(0, 0, 200, 240)));
        ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE | SBS_VERT, CRect(0, 0, 16, 216), &host, 0));
    }
    // The middle of the thumb: the run of face-coloured pixels down the bar's middle (the
    // shaft around it is a checker of two colours, the arrows end in black).
    int ThumbMiddle() {
        const COLORREF face = ::GetSysColor(COLOR_3DFACE);
        int best = -1, bestLen = 0, run = 0;
        for (int y = 16; y < 200; ++y) {
            run = Pixel(&bar, 8, y) == face ? run + 1 : 0;
            if (run > bestLen) {
                bestLen = run;
                best = y - run / 2;
            }
        }
        return bestLen >= 3 ? best : -1;
    }

    CHostWnd host;
    CExScrollBar bar;
};

TEST_F(ScrollBarTest, RangesBeyondSixteenBitsKeepTheirRealValues) {
    bar.SetScrollRangePage(0, 999999, FALSE);
    bar.SetScrollPage(16, TRUE);
    EXPECT_EQ(0, bar.SetScrollPos(750001));
    EXPECT_EQ(750001, bar.GetScrollPos());
    int lo = 0, hi = 0;
    bar.GetScrollRangePage(&lo, &hi);
    EXPECT_EQ(0, lo);
    EXPECT_EQ(999999, hi);
    bar.GetScrollRange(&lo, &hi);
    EXPECT_EQ(999999, hi);
    SCROLLINFO si{};
    ASSERT_TRUE(bar.GetScrollInfo(&si, SIF_ALL));
    EXPECT_EQ(999999, si.nMax);
    EXPECT_EQ(16u, si.nPage);
    EXPECT_EQ(750001, si.nPos);
    EXPECT_EQ(750001, si.nTrackPos);

    // The position is kept within min .. max - page + 1, as the system keeps it.
    bar.SetScrollPos(2000000);
    EXPECT_EQ(999984, bar.GetScrollPos());
    bar.SetScrollPos(-5);
    EXPECT_EQ(0, bar.GetScrollPos());

    // Set through the framework's SetScrollInfo and the system's messages too.
    SCROLLINFO set{sizeof(set), SIF_RANGE | SIF_POS, -100000, 100000, 0, -25000, 0};
    bar.SetScrollInfo(&set);
    EXPECT_EQ(-25000, bar.GetScrollPos());
    EXPECT_EQ(-25000, (int)bar.SendMessage(SBM_GETPOS));
    bar.SendMessage(SBM_SETPOS, (WPARAM)70000, TRUE);
    EXPECT_EQ(70000, ::GetScrollPos(bar.GetSafeHwnd(), SB_CTL));
}

TEST_F(ScrollBarTest, TheThumbStandsWhereThePositionSays) {
    bar.SetScrollRangePage(0, 999999, FALSE);
    bar.SetScrollPage(16, TRUE);
    // The thumb (8 pixels, the least) travels the 184-pixel shaft less its own length.
    const int travel = 184 - 8;
    for (int pos : {0, 250000, 750000, 999984}) {
        bar.SetScrollPos(pos);
        const int expected =
            16 + static_cast<int>(static_cast<long long>(pos) * travel / 999984) + 4;
        EXPECT_NEAR(expected, ThumbMiddle(), 1) << pos;
    }

    // Dragged to the end, the thumb reports the last real position.
    bar.SetScrollPos(500000);
    const int from = ThumbMiddle();
    Robot robot;
    robot.Drag(&bar, CPoint(8, from), CPoint(8, 230), 6);
    ASSERT_GE(host.log.size(), 2u);
    EXPECT_EQ("scroll " + std::to_string(SB_THUMBPOSITION) + " 999984",
              host.log[host.log.size() - 2]);
    // Dragged halfway back, about the middle.
    host.log.clear();
    bar.SetScrollPos(999984);
    robot.Drag(&bar, CPoint(8, ThumbMiddle()), CPoint(8, ThumbMiddle() - travel / 2), 6);
    bool found = false;
    for (const std::string& entry : host.log) {
        const std::string prefix = "scroll " + std::to_string(SB_THUMBPOSITION) + " ";
        if (entry.rfind(prefix, 0) == 0) {
            found = true;
            EXPECT_NEAR(500000, std::stoi(entry.substr(prefix.size())), 999984 / travel + 1);
        }
    }
    EXPECT_TRUE(found);

    // A range that fits 16 bits is the platform's own: the thumb messages carry it as it is.
    bar.SetScrollRangePage(0, 60000, TRUE);
    bar.SetScrollPos(30000);
    EXPECT_EQ(30000, bar.GetThumbPos(30000));
    EXPECT_NEAR(16 + travel / 2 + 4, ThumbMiddle(), 1);
}

// A thumb message sent for a real position comes back as that position: exactly at the ends,
// within one platform step between them.
TEST_F(ScrollBarTest, ThumbMessagesSentForRealPositions) {
    bar.SetScrollRangePage(0, 69999, FALSE);
    bar.SetScrollPage(16, TRUE);
    EXPECT_EQ(0, bar.GetThumbPos(bar.GetThumbMessagePos(0)));
    EXPECT_EQ(69984, bar.GetThumbPos(bar.GetThumbMessagePos(69984)));
    EXPECT_EQ(69984, bar.GetThumbPos(bar.GetThumbMessagePos(69999))); // beyond the last stand
    EXPECT_EQ(0, bar.GetThumbPos(bar.GetThumbMessagePos(-7)));
    EXPECT_LE(bar.GetThumbMessagePos(69999), 0xFFFFu);
    for (int pos : {1, 35000, 65535, 65536, 69000})
        EXPECT_NEAR(pos, bar.GetThumbPos(bar.GetThumbMessagePos(pos)), 2) << pos;
    // Within 16 bits the message carries the position itself.
    bar.SetScrollRangePage(0, 60000, TRUE);
    EXPECT_EQ(41234u, bar.GetThumbMessagePos(41234));
    // An empty range has nowhere to go.
    bar.SetScrollRangePage(0, -1, TRUE);
    EXPECT_EQ(0u, bar.GetThumbMessagePos(10));
}

TEST_F(ScrollBarTest, AnEmptyRangeDisablesTheBarUntilARealOneComes) {
    bar.SetScrollRangePage(0, 49, FALSE);
    bar.SetScrollPos(20);
    bar.SetScrollRangePage(0, -1, TRUE);
    EXPECT_FALSE(bar.IsWindowEnabled());
    EXPECT_TRUE(bar.IsRangeEmpty());
    int lo = 7, hi = 7;
    bar.GetScrollRangePage(&lo, &hi);
    EXPECT_EQ(0, lo);
    EXPECT_EQ(-1, hi);
    EXPECT_EQ(20, bar.GetScrollPos());
    EXPECT_EQ(-1, ThumbMiddle());

    bar.SetScrollRangePage(0, 99, TRUE);
    EXPECT_TRUE(bar.IsWindowEnabled());
    EXPECT_EQ(20, bar.GetScrollPos());

    // A bar its owner disabled stays disabled whatever range it is given.
    bar.EnableWindow(FALSE);
    bar.SetScrollRangePage(5, 2, TRUE);
    bar.SetScrollRangePage(0, 10, TRUE);
    EXPECT_FALSE(bar.IsWindowEnabled());
}

} // namespace
