// Buttons and statics: clicks on release inside, the keyboard, check boxes and radio groups,
// bitmap buttons, the default button's look, owner drawing, group boxes around controls.
#include "ControlTest.h"

namespace {

class ButtonTest : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        ASSERT_TRUE(host.CreateHost(CRect(100, 100, 400, 300)));
        KelRunUntilIdle();
    }
    CHostWnd host;
};

TEST_F(ButtonTest, PushButtonClicksOnReleaseInside) {
    CButton push;
    ASSERT_TRUE(
        push.Create("Push", WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(10, 10, 90, 35), &host, 51));
    Robot robot;
    robot.Press(&push, CPoint(10, 10));
    EXPECT_TRUE(push.GetState() & BST_PUSHED);
    EXPECT_EQ(0, host.Count("cmd 51 BN_CLICKED"));
    robot.Release(&push, CPoint(10, 10));
    EXPECT_EQ(1, host.Count("cmd 51 BN_CLICKED"));
    EXPECT_FALSE(push.GetState() & BST_PUSHED);
    EXPECT_EQ(&push, CWnd::GetFocus());
    // Leaving before the release is no click.
    robot.Wait(1000);
    robot.Press(&push, CPoint(10, 10));
    robot.Move(&push, CPoint(150, 10));
    EXPECT_FALSE(push.GetState() & BST_PUSHED);
    robot.Release(&push, CPoint(150, 10));
    EXPECT_EQ(1, host.Count("cmd 51 BN_CLICKED"));
    // Space clicks; a disabled button does nothing.
    robot.Key(VK_SPACE);
    EXPECT_EQ(2, host.Count("cmd 51 BN_CLICKED"));
    push.EnableWindow(FALSE);
    robot.Wait(1000);
    robot.Click(&push, CPoint(10, 10));
    push.SendMessage(BM_CLICK);
    EXPECT_EQ(2, host.Count("cmd 51 BN_CLICKED"));
    push.EnableWindow(TRUE);
    push.SendMessage(BM_CLICK);
    EXPECT_EQ(3, host.Count("cmd 51 BN_CLICKED"));
}

TEST_F(ButtonTest, CheckBoxesAndRadioGroups) {
    CButton check, r1, r2, r3, after;
    ASSERT_TRUE(check.Create("Check", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX,
                             CRect(10, 10, 90, 25), &host, 52));
    ASSERT_TRUE(r1.Create("One", WS_CHILD | WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON,
                          CRect(10, 40, 90, 55), &host, 53));
    ASSERT_TRUE(r2.Create("Two", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, CRect(10, 60, 90, 75),
                          &host, 54));
    ASSERT_TRUE(r3.Create("Three", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON,
                          CRect(10, 80, 90, 95), &host, 55));
    ASSERT_TRUE(after.Create("Other group", WS_CHILD | WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON,
                             CRect(10, 100, 90, 115), &host, 56));
    after.SetCheck(BST_CHECKED);
    Robot robot;
    robot.Click(&check, CPoint(5, 7));
    EXPECT_EQ(BST_CHECKED, check.GetCheck());
    robot.Wait(1000);
    robot.Click(&check, CPoint(5, 7));
    EXPECT_EQ(BST_UNCHECKED, check.GetCheck());
    robot.Click(&r2, CPoint(5, 7));
    robot.Click(&r3, CPoint(5, 7));
    EXPECT_EQ(BST_UNCHECKED, r2.GetCheck());
    EXPECT_EQ(BST_CHECKED, r3.GetCheck());
    EXPECT_EQ(BST_CHECKED, after.GetCheck()); // another group
    // The indeterminate state belongs to three-state buttons only.
    check.SetCheck(BST_INDETERMINATE);
    EXPECT_EQ(BST_CHECKED, check.GetCheck());
    EXPECT_EQ(static_cast<UINT>(DLGC_BUTTON | DLGC_RADIOBUTTON), r1.SendMessage(WM_GETDLGCODE));
    KelRunUntilIdle();
    // The checked radio button's dot, in its own place of the window.
    EXPECT_EQ(::GetSysColor(COLOR_WINDOWTEXT), KelGetWindowPixel(r3.m_hWnd, CPoint(6, 7)));
    EXPECT_EQ(::GetSysColor(COLOR_WINDOW), KelGetWindowPixel(r2.m_hWnd, CPoint(6, 7)));
    SavePicture(&host, "buttons");
}

TEST_F(ButtonTest, BitmapButtonShowsItsImageAndGraysItWhenDisabled) {
    // A 16 x 16 red square on the face colour.
    CBitmap bmp;
    std::vector<uint32_t> px(16 * 16, 0xC0C0C0);
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x)
            px[static_cast<size_t>(y) * 16 + x] = 0x800000; // dark red (R in the high byte)
    ASSERT_TRUE(bmp.CreateBitmap(16, 16, 1, 32, px.data()));
    CButton image;
    ASSERT_TRUE(image.Create("", WS_CHILD | WS_VISIBLE | BS_NOTIFY | BS_BITMAP,
                             CRect(10, 10, 34, 34), &host, 57));
    EXPECT_EQ(nullptr, image.SetBitmap(bmp));
    EXPECT_EQ(static_cast<HBITMAP>(bmp), image.GetBitmap());
    KelRunUntilIdle();
    EXPECT_EQ(RGB(128, 0, 0), KelGetWindowPixel(image.m_hWnd, CPoint(12, 12)));
    image.EnableWindow(FALSE);
    KelRunUntilIdle();
    EXPECT_EQ(::GetSysColor(COLOR_3DSHADOW), KelGetWindowPixel(image.m_hWnd, CPoint(12, 12)));
    // BS_NOTIFY: a double click is told as well.
    image.EnableWindow(TRUE);
    Robot().DoubleClick(&image, CPoint(5, 5));
    EXPECT_EQ(2, host.Count("cmd 57 BN_CLICKED"));
    EXPECT_EQ(1, host.Count("cmd 57 BN_DOUBLECLICKED"));
}

TEST_F(ButtonTest, DefaultButtonLookAndOwnerDrawing) {
    CButton def;
    ASSERT_TRUE(def.Create("OK", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, CRect(10, 10, 90, 35),
                           &host, 58));
    KelRunUntilIdle();
    EXPECT_EQ(::GetSysColor(COLOR_WINDOWFRAME), KelGetWindowPixel(def.m_hWnd, CPoint(0, 12)));
    def.SetButtonStyle(BS_PUSHBUTTON);
    KelRunUntilIdle();
    EXPECT_NE(::GetSysColor(COLOR_WINDOWFRAME), KelGetWindowPixel(def.m_hWnd, CPoint(0, 12)));

    class COwnerButton : public CButton {
    public:
        int drawn = 0;
        UINT lastState = 0;
        void DrawItem(LPDRAWITEMSTRUCT dis) override {
            ++drawn;
            lastState = dis->itemState;
            ::FillRect(dis->hDC, &dis->rcItem, ::GetSysColorBrush(COLOR_HIGHLIGHT));
        }
    } owner;
    ASSERT_TRUE(
        owner.Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(10, 50, 90, 75), &host, 59));
    KelRunUntilIdle();
    EXPECT_GE(owner.drawn, 1);
    EXPECT_EQ(::GetSysColor(COLOR_HIGHLIGHT), KelGetWindowPixel(owner.m_hWnd, CPoint(5, 5)));
    Robot().Press(&owner, CPoint(5, 5));
    KelRunUntilIdle();
    EXPECT_TRUE(owner.lastState & ODS_SELECTED);
    Robot().Release(&owner, CPoint(5, 5));
    EXPECT_EQ(1, host.Count("cmd 59 BN_CLICKED"));
}

TEST_F(ButtonTest, StaticsLetClicksThroughUnlessTheyNotify) {
    CStatic label, notify, frame;
    ASSERT_TRUE(label.Create("&Label", WS_CHILD | WS_VISIBLE, CRect(10, 10, 90, 25), &host));
    ASSERT_TRUE(notify.Create("Notify", WS_CHILD | WS_VISIBLE | SS_NOTIFY, CRect(10, 30, 90, 45),
                              &host, 60));
    ASSERT_TRUE(frame.Create("", WS_CHILD | WS_VISIBLE | SS_BLACKFRAME, CRect(100, 10, 200, 80),
                             &host, 61));
    EXPECT_EQ(static_cast<UINT>(DLGC_STATIC), label.SendMessage(WM_GETDLGCODE));
    Robot robot;
    robot.Click(&notify, CPoint(5, 5));
    EXPECT_EQ(1, host.Count("cmd 60 0")); // STN_CLICKED
    host.Clear();
    robot.Wait(1000);
    robot.Click(&label, CPoint(5, 5)); // the host's own click: nothing from the label
    EXPECT_TRUE(host.log.empty());
    KelRunUntilIdle();
    EXPECT_EQ(::GetSysColor(COLOR_3DDKSHADOW), KelGetWindowPixel(frame.m_hWnd, CPoint(0, 30)));
}

TEST_F(ButtonTest, StaticBitmapsAndOwnerDrawnStatics) {
    // A 16 x 16 bitmap, dark red but for a face-coloured border of 4, centred in a 32 x 32
    // static: its red starts at (12, 12).
    CBitmap bmp;
    std::vector<uint32_t> px(16 * 16, 0xC0C0C0);
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x)
            px[static_cast<size_t>(y) * 16 + x] = 0x800000;
    ASSERT_TRUE(bmp.CreateBitmap(16, 16, 1, 32, px.data()));
    CStatic image;
    ASSERT_TRUE(image.Create("", WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_CENTERIMAGE,
                             CRect(10, 10, 42, 42), &host, 62));
    EXPECT_EQ(nullptr, image.SetBitmap(bmp));

    class COwnerStatic : public CStatic {
    public:
        std::vector<UINT> types;
        CRect rect;
        void DrawItem(LPDRAWITEMSTRUCT dis) override {
            types.push_back(dis->CtlType);
            rect = dis->rcItem;
            ::FillRect(dis->hDC, &dis->rcItem, ::GetSysColorBrush(COLOR_HIGHLIGHT));
        }
    } owner;
    ASSERT_TRUE(
        owner.Create("", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, CRect(60, 10, 120, 30), &host, 63));
    KelRunUntilIdle();
    EXPECT_EQ(RGB(128, 0, 0), KelGetWindowPixel(image.m_hWnd, CPoint(12, 12)));
    EXPECT_NE(RGB(128, 0, 0), KelGetWindowPixel(image.m_hWnd, CPoint(11, 11)));
    EXPECT_EQ(RGB(128, 0, 0), KelGetWindowPixel(image.m_hWnd, CPoint(19, 19)));
    EXPECT_NE(RGB(128, 0, 0), KelGetWindowPixel(image.m_hWnd, CPoint(20, 20)));
    ASSERT_FALSE(owner.types.empty());
    EXPECT_EQ(static_cast<UINT>(ODT_STATIC), owner.types.back());
    EXPECT_EQ(CRect(0, 0, 60, 20), owner.rect);
    EXPECT_EQ(::GetSysColor(COLOR_HIGHLIGHT), KelGetWindowPixel(owner.m_hWnd, CPoint(59, 19)));
}

// A group box made before the controls inside it stands above them in the z-order, as in a
// dialog template; it frames them without hiding them, also after its parent repaints, and
// lets the pointer through to them.
TEST_F(ButtonTest, GroupBoxFramesTheControlsInsideIt) {
    class CFilled : public CButton {
    public:
        void DrawItem(LPDRAWITEMSTRUCT dis) override {
            ::FillRect(dis->hDC, &dis->rcItem, ::GetSysColorBrush(COLOR_HIGHLIGHT));
        }
    } inside;
    CButton group;
    ASSERT_TRUE(group.Create("Columns", WS_CHILD | WS_VISIBLE | BS_GROUPBOX,
                             CRect(10, 10, 200, 150), &host, 60));
    ASSERT_TRUE(inside.Create("Inside", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW,
                              CRect(30, 40, 120, 100), &host, 61));
    ASSERT_EQ(::GetWindow(host.m_hWnd, GW_CHILD), group.m_hWnd); // the box is on top
    KelRunUntilIdle();
    auto check = [&] {
        EXPECT_EQ(::GetSysColor(COLOR_HIGHLIGHT), KelGetWindowPixel(inside.m_hWnd, CPoint(40, 30)));
        // Inside the box but outside the control: the parent's background.
        const COLORREF beside = KelGetWindowPixel(host.m_hWnd, CPoint(160, 120));
        EXPECT_EQ(KelGetWindowPixel(host.m_hWnd, CPoint(250, 180)), beside);
        // The etched line on the box's left edge.
        EXPECT_EQ(::GetSysColor(COLOR_3DSHADOW), KelGetWindowPixel(host.m_hWnd, CPoint(10, 100)));
    };
    check();
    host.Invalidate(TRUE);
    KelRunUntilIdle();
    check();
    inside.Invalidate(TRUE);
    KelRunUntilIdle();
    check();
    // The pointer goes through the box to the control beneath it.
    Robot robot;
    robot.Click(&inside, CPoint(20, 20));
    EXPECT_EQ(1, host.Count("cmd 61 BN_CLICKED"));
}

} // namespace
