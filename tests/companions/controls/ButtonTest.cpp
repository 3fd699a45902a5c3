// The buttons: the no-focus button leaves the focus where it is; the image button shows its
// image beside its caption, or alone.
#include "CompanionTest.h"

namespace {

constexpr UINT IDB_STRIP = 300;
const COLORREF kRed = RGB(255, 0, 0);

class ButtonTest : public CompanionTest {
protected:
    void SetUp() override {
        CompanionTest::SetUp();
        ASSERT_TRUE(host.CreateHost(CRect(0, 0, 300, 200)));
        ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP,
                                CRect(10, 10, 150, 34), &host, 5));
        KelSetBitmapResource(hModule, IDB_STRIP, TestStrip());
    }
    // The columns where the image's red shows on a row of the button.
    std::vector<int> RedColumns(CWnd* pWnd, int y) {
        CRect rc;
        pWnd->GetClientRect(&rc);
        std::vector<int> xs;
        for (int x = 0; x < rc.right; ++x) {
            if (Pixel(pWnd, x, y) == kRed)
                xs.push_back(x);
        }
        return xs;
    }

    CHostWnd host;
    CEdit edit;
};

TEST_F(ButtonTest, NoFocusButtonClicksWithoutTakingTheFocus) {
    CNoFocusButton button;
    ASSERT_TRUE(button.Create("", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_NOTIFY | BS_BITMAP,
                              CRect(200, 10, 216, 26), &host, 9437));
    edit.SetFocus();
    Robot robot;
    robot.Click(&button, CPoint(8, 8));
    EXPECT_EQ(&edit, CWnd::GetFocus());
    EXPECT_EQ(1, host.Count("cmd 9437 0"));
    EXPECT_FALSE(button.GetState() & BST_PUSHED);

    // Held, it shows pressed while the pointer is on it; released elsewhere it does nothing.
    robot.Press(&button, CPoint(8, 8));
    EXPECT_TRUE(button.GetState() & BST_PUSHED);
    robot.Move(&button, CPoint(40, 8));
    EXPECT_FALSE(button.GetState() & BST_PUSHED);
    robot.Release(&button, CPoint(40, 8));
    EXPECT_EQ(1, host.Count("cmd 9437 0"));
    EXPECT_EQ(&edit, CWnd::GetFocus());

    // Disabled, it does nothing at all.
    button.EnableWindow(FALSE);
    robot.Click(&button, CPoint(8, 8));
    EXPECT_EQ(1, host.Count("cmd 9437 0"));

    // A plain button, by contrast, takes the focus.
    CButton plain;
    ASSERT_TRUE(plain.Create("Plain", WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(200, 40, 280, 64),
                             &host, 6));
    robot.Click(&plain, CPoint(10, 10));
    EXPECT_EQ(&plain, CWnd::GetFocus());
}

TEST_F(ButtonTest, ImageButtonShowsItsImageBesideOrInsteadOfItsCaption) {
    CExButton button;
    ASSERT_TRUE(button.Create("Search", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                              CRect(10, 50, 110, 74), &host, 9438));
    EXPECT_FALSE(button.SetBitmap(hModule, 999, 0, 16, 16, RGB(255, 0, 255)));
    EXPECT_FALSE(button.SetBitmap(hModule, IDB_STRIP, 3, 16, 16, RGB(255, 0, 255)));
    EXPECT_FALSE(button.HasImage());
    ASSERT_TRUE(button.SetBitmap(hModule, IDB_STRIP, 0, 16, 16, RGB(255, 0, 255)));

    // Beside the caption: the image (12 red columns) stands left of the middle.
    std::vector<int> red = RedColumns(&button, 12);
    ASSERT_EQ(12u, red.size());
    EXPECT_LT(red.back(), 50);
    EXPECT_GT(red.front(), 4);
    SavePicture(&host, "image-button");

    // Pressed, it moves one pixel down and right.
    button.SetState(TRUE);
    EXPECT_EQ(red.front() + 1, RedColumns(&button, 13).front());
    button.SetState(FALSE);

    // Without a caption the image stands alone in the middle.
    button.SetWindowText("");
    red = RedColumns(&button, 12);
    ASSERT_EQ(12u, red.size());
    EXPECT_EQ(50, (red.front() + red.back() + 1) / 2);

    // Disabled, the image is embossed: no red is left.
    button.EnableWindow(FALSE);
    EXPECT_TRUE(RedColumns(&button, 12).empty());
    EXPECT_EQ(::GetSysColor(COLOR_3DSHADOW), Pixel(&button, 50, 12));
}

} // namespace
