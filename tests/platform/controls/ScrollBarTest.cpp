// Scroll bars: range, page and position through messages; arrows, page areas and the thumb
// through the mouse, with the codes the parent receives; held arrows repeat on the clock.
#include "ControlTest.h"

namespace {

class ScrollBarTest : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        ASSERT_TRUE(host.CreateHost(CRect(100, 100, 400, 400)));
        // A vertical bar 16 x 200: arrows of 16, a shaft of 168.
        ASSERT_TRUE(
            vbar.Create(WS_CHILD | WS_VISIBLE | SBS_VERT, CRect(10, 10, 26, 210), &host, 7));
        vbar.SetScrollRange(0, 100, FALSE);
        KelRunUntilIdle();
        host.Clear();
    }
    CHostWnd host;
    CScrollBar vbar;
};

TEST_F(ScrollBarTest, PositionStaysInTheRangeLessThePage) {
    EXPECT_EQ(0, vbar.SetScrollPos(50));
    EXPECT_EQ(50, vbar.GetScrollPos());
    vbar.SetScrollPos(150);
    EXPECT_EQ(100, vbar.GetScrollPos());
    vbar.SetScrollPos(-5);
    EXPECT_EQ(0, vbar.GetScrollPos());

    SCROLLINFO si{};
    si.fMask = SIF_PAGE | SIF_POS;
    si.nPage = 20;
    si.nPos = 95;
    vbar.SetScrollInfo(&si);
    EXPECT_EQ(81, vbar.GetScrollPos()); // 100 - 20 + 1
    EXPECT_EQ(81, vbar.GetScrollLimit());
    SCROLLINFO out{};
    ASSERT_TRUE(vbar.GetScrollInfo(&out));
    EXPECT_EQ(0, out.nMin);
    EXPECT_EQ(100, out.nMax);
    EXPECT_EQ(20u, out.nPage);

    // A page larger than the range is cut to it; an empty range pins the position.
    si.fMask = SIF_PAGE;
    si.nPage = 500;
    vbar.SetScrollInfo(&si);
    vbar.GetScrollInfo(&out);
    EXPECT_EQ(101u, out.nPage);
    EXPECT_EQ(0, vbar.GetScrollPos());
    int lo = 1, hi = 1;
    vbar.SetScrollRange(5, 5);
    vbar.GetScrollRange(&lo, &hi);
    EXPECT_EQ(5, lo);
    EXPECT_EQ(5, hi);
    EXPECT_EQ(5, vbar.GetScrollPos());
}

TEST_F(ScrollBarTest, ArrowsAndPageAreasSendTheirCodesThenEndScroll) {
    Robot robot;
    robot.Click(&vbar, CPoint(8, 5));
    robot.Click(&vbar, CPoint(8, 195));
    robot.Wait(600);
    robot.Click(&vbar, CPoint(8, 150)); // below the thumb (at the top)
    EXPECT_EQ((std::vector<std::string>{"vscroll LINEUP 0", "vscroll ENDSCROLL 0",
                                        "vscroll LINEDOWN 0", "vscroll ENDSCROLL 0",
                                        "vscroll PAGEDOWN 0", "vscroll ENDSCROLL 0"}),
              host.log);
    // The bar does not move itself: the parent sets the position.
    EXPECT_EQ(0, vbar.GetScrollPos());
    vbar.SetScrollPos(100);
    host.Clear();
    robot.Wait(600);
    robot.Click(&vbar, CPoint(8, 30));
    EXPECT_EQ((std::vector<std::string>{"vscroll PAGEUP 0", "vscroll ENDSCROLL 0"}), host.log);
}

TEST_F(ScrollBarTest, ThumbDragTracksThenGivesOnePosition) {
    SCROLLINFO si{};
    si.fMask = SIF_PAGE;
    si.nPage = 10;
    vbar.SetScrollInfo(&si);
    // Thumb: 10 of 101 in a 168-pixel shaft: 16 pixels, at the top of the shaft.
    Robot robot;
    robot.Drag(&vbar, CPoint(8, 20), CPoint(8, 120), 5);
    ASSERT_GE(host.log.size(), 3u);
    const int tracks = host.Count("vscroll THUMBTRACK");
    EXPECT_GE(tracks, 4);
    EXPECT_EQ(1, host.Count("vscroll THUMBPOSITION"));
    EXPECT_EQ("vscroll ENDSCROLL 0", host.log.back());
    const std::string position = host.log[host.log.size() - 2];
    ASSERT_EQ(0u, position.rfind("vscroll THUMBPOSITION ", 0));
    const int pos = std::stoi(position.substr(22));
    // 100 pixels of 152 of travel over 91 positions.
    EXPECT_NEAR(60, pos, 1);
    // Track positions only grow while the thumb goes down, and the last is the final one.
    int last = -1;
    for (const std::string& s : host.log) {
        if (s.rfind("vscroll THUMBTRACK ", 0) == 0) {
            const int p = std::stoi(s.substr(19));
            EXPECT_GT(p, last);
            last = p;
        }
    }
    EXPECT_EQ(pos, last);
    // The position is the parent's to set; while nobody sets it, it stays.
    EXPECT_EQ(0, vbar.GetScrollPos());
}

TEST_F(ScrollBarTest, HeldArrowRepeatsOnTheClock) {
    Robot robot;
    robot.Press(&vbar, CPoint(8, 195));
    EXPECT_EQ(1, host.Count("vscroll LINEDOWN"));
    robot.Wait(300); // within the first delay
    EXPECT_EQ(1, host.Count("vscroll LINEDOWN"));
    robot.Wait(200); // repeats at 400, 450 and 500 ms
    EXPECT_EQ(4, host.Count("vscroll LINEDOWN"));
    robot.Wait(500); // then every 50 ms
    EXPECT_EQ(14, host.Count("vscroll LINEDOWN"));
    // Off the arrow nothing repeats; back on it, it goes on.
    robot.Move(&vbar, CPoint(40, 195));
    robot.Wait(200);
    EXPECT_EQ(14, host.Count("vscroll LINEDOWN"));
    robot.Move(&vbar, CPoint(8, 195));
    robot.Wait(100);
    EXPECT_EQ(16, host.Count("vscroll LINEDOWN"));
    robot.Release(&vbar, CPoint(8, 195));
    EXPECT_EQ("vscroll ENDSCROLL 0", host.log.back());
    robot.Wait(500);
    EXPECT_EQ(16, host.Count("vscroll LINEDOWN"));
}

TEST_F(ScrollBarTest, KeysAndDisabledBar) {
    CScrollBar hbar;
    ASSERT_TRUE(hbar.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | SBS_HORZ, CRect(40, 250, 240, 266),
                            &host, 8));
    hbar.SetScrollRange(0, 10);
    Robot robot;
    robot.Click(&hbar, CPoint(100, 8)); // takes the focus (a tab stop); a page right
    EXPECT_EQ(&hbar, CWnd::GetFocus());
    host.Clear();
    robot.Key(VK_RIGHT);
    robot.Key(VK_HOME);
    EXPECT_EQ((std::vector<std::string>{"hscroll LINEDOWN 0", "hscroll ENDSCROLL 0",
                                        "hscroll TOP 0", "hscroll ENDSCROLL 0"}),
              host.log);
    // A disabled bar (or one with nothing to scroll) sends nothing.
    host.Clear();
    vbar.EnableWindow(FALSE);
    robot.Click(&vbar, CPoint(8, 195));
    vbar.EnableWindow(TRUE);
    vbar.SetScrollRange(0, 0);
    robot.Wait(600);
    robot.Click(&vbar, CPoint(8, 195));
    EXPECT_TRUE(host.log.empty());

    vbar.SetScrollRange(0, 100);
    vbar.SetScrollPos(30);
    SCROLLINFO si{};
    si.fMask = SIF_PAGE;
    si.nPage = 25;
    vbar.SetScrollInfo(&si);
    hbar.SetScrollPos(4);
    KelRunUntilIdle();
    SavePicture(&host, "scrollbars");
}

} // namespace
