// The toolbar control: buttons and separators in rows, hidden buttons taking no room, clicks
// told to the parent, check groups.
#include "ControlTest.h"

namespace {

class ToolbarTest : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        ASSERT_TRUE(host.CreateHost(CRect(100, 100, 400, 300)));
        ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 60), &host, 70));
        KelRunUntilIdle();
        host.Clear();
    }
    static TBBUTTON Button(int id, BYTE style, BYTE state = TBSTATE_ENABLED) {
        TBBUTTON b{};
        b.idCommand = id;
        b.fsStyle = style;
        b.fsState = state;
        return b;
    }
    CRect Rect(int index) {
        CRect rc;
        EXPECT_TRUE(bar.GetItemRect(index, &rc)) << index;
        return rc;
    }
    CHostWnd host;
    CToolBarCtrl bar;
};

TEST_F(ToolbarTest, RowsHiddenButtonsClicksAndCheckGroups) {
    TBBUTTON buttons[] = {
        Button(1, TBSTYLE_BUTTON),
        Button(0, TBSTYLE_SEP),
        Button(2, TBSTYLE_BUTTON),
        Button(3, TBSTYLE_BUTTON),
        Button(4, TBSTYLE_CHECKGROUP),
        Button(5, TBSTYLE_CHECKGROUP, TBSTATE_ENABLED | TBSTATE_WRAP),
        Button(6, TBSTYLE_BUTTON),
    };
    ASSERT_TRUE(bar.AddButtons(7, buttons));
    // Buttons of 24 x 22 from 2 down, a separator of 8; after a wrapped button a new row.
    EXPECT_EQ(CRect(0, 2, 24, 24), Rect(0));
    EXPECT_EQ(CRect(24, 2, 32, 24), Rect(1));
    EXPECT_EQ(CRect(56, 2, 80, 24), Rect(3));
    EXPECT_EQ(CRect(104, 2, 128, 24), Rect(5));
    EXPECT_EQ(CRect(0, 24, 24, 46), Rect(6));

    // A hidden button has no rectangle and the ones after it close up.
    ASSERT_TRUE(bar.HideButton(3));
    CRect rc;
    EXPECT_FALSE(bar.GetItemRect(3, &rc));
    EXPECT_EQ(CRect(56, 2, 80, 24), Rect(4));
    EXPECT_EQ(CRect(80, 2, 104, 24), Rect(5));
    EXPECT_EQ(CRect(0, 24, 24, 46), Rect(6));

    // Clicks: nothing from a separator; the button in the hidden one's place answers.
    Robot robot;
    robot.Click(&bar, CPoint(28, 10));
    robot.Wait(1000);
    robot.Click(&bar, Rect(6).CenterPoint());
    robot.Wait(1000);
    robot.Click(&bar, CPoint(60, 10));
    EXPECT_TRUE(bar.IsButtonChecked(4));
    robot.Wait(1000);
    robot.Click(&bar, Rect(5).CenterPoint());
    EXPECT_TRUE(bar.IsButtonChecked(5));
    EXPECT_FALSE(bar.IsButtonChecked(4)); // one of a check group at a time
    robot.Wait(1000);
    robot.Click(&bar, Rect(5).CenterPoint());
    EXPECT_TRUE(bar.IsButtonChecked(5));
    EXPECT_EQ((std::vector<std::string>{"cmd 6 0", "cmd 4 0", "cmd 5 0", "cmd 5 0"}), host.log);
}

} // namespace
