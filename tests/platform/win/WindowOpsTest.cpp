// Operations on windows: z-order and relations, showing states, reparenting, dialog
// navigation, scrolling pixels, exceptions in handlers, keys the system itself handles.
#include "TraceWnd.h"

#include "platform/win/Backend.h"

namespace {

using WindowOpsTest = WinTest;

TEST_F(WindowOpsTest, ZOrderDecidesWhoGetsTheClickAndWhatIsListedFirst) {
    std::vector<std::string> log;
    CTraceWnd top(&log, "top"), a(&log, "a"), b(&log, "b");
    ASSERT_TRUE(top.CreateTop(CRect(0, 0, 200, 200)));
    ASSERT_TRUE(a.CreateChild(&top, CRect(0, 0, 100, 100), 1));
    ASSERT_TRUE(b.CreateChild(&top, CRect(50, 50, 150, 150), 2));
    // Children come in creation order, the first on top.
    EXPECT_EQ(&a, top.GetTopWindow());
    EXPECT_EQ(&b, a.GetNextWindow());
    EXPECT_EQ(&a, b.GetNextWindow(GW_HWNDPREV));
    Robot robot;
    robot.Click(&top, CPoint(75, 75));
    EXPECT_GE(IndexOf(log, "a:LBUTTONDOWN 75,75"), 0);

    b.SetWindowPos(&CWnd::wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(&b, top.GetTopWindow());
    log.clear();
    robot.Wait(1000);
    robot.Click(&top, CPoint(75, 75));
    EXPECT_GE(IndexOf(log, "b:LBUTTONDOWN 25,25"), 0);

    std::vector<HWND> seen;
    ::EnumChildWindows(
        top,
        [](HWND h, LPARAM lp) {
            reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&seen));
    EXPECT_EQ(std::vector<HWND>({b.m_hWnd, a.m_hWnd}), seen);
}

TEST_F(WindowOpsTest, MaximizeMinimizeAndRestoreReportTheirKindInSize) {
    std::vector<std::string> log;
    CTraceWnd top(&log, "top");
    ASSERT_TRUE(top.CreateEx(0, nullptr, "t", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                             CRect(10, 10, 310, 210), nullptr, 0));
    CRect before;
    top.GetWindowRect(&before);
    log.clear();
    top.ShowWindow(SW_SHOWMAXIMIZED);
    EXPECT_TRUE(top.IsZoomed());
    CRect client;
    top.GetClientRect(&client);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), client.Width());
    top.ShowWindow(SW_MINIMIZE);
    EXPECT_TRUE(top.IsIconic());
    EXPECT_FALSE(top.IsZoomed());
    top.ShowWindow(SW_RESTORE);
    CRect after;
    top.GetWindowRect(&after);
    EXPECT_EQ(before, after);
    std::vector<std::string> sizes;
    for (const auto& e : log)
        if (e.rfind("top:SIZE", 0) == 0)
            sizes.push_back(e);
    ASSERT_EQ(3u, sizes.size());
    EXPECT_EQ("top:SIZE 0x0", sizes[1]); // minimized: no client area
}

TEST_F(WindowOpsTest, ReparentingMovesTheWindowAndItsCoordinates) {
    CTraceWnd one, two, child;
    ASSERT_TRUE(one.CreateTop(CRect(0, 0, 100, 100)));
    ASSERT_TRUE(two.CreateTop(CRect(200, 0, 300, 100)));
    ASSERT_TRUE(child.CreateChild(&one, CRect(10, 10, 20, 20), 1));
    EXPECT_EQ(&one, child.SetParent(&two));
    EXPECT_EQ(&two, child.GetParent());
    EXPECT_EQ(nullptr, one.GetTopWindow());
    CPoint pt(0, 0);
    child.ClientToScreen(&pt);
    EXPECT_EQ(CPoint(210, 10), pt);
    EXPECT_EQ(nullptr, two.SetParent(&child)); // no cycles
    EXPECT_EQ(nullptr, two.GetParent());
}

TEST_F(WindowOpsTest, TabAndGroupNavigationFollowTheZOrder) {
    CTraceWnd dlg;
    ASSERT_TRUE(dlg.CreateTop(CRect(0, 0, 200, 200)));
    CTraceWnd c1, c2, c3, c4;
    ASSERT_TRUE(c1.CreateChild(&dlg, CRect(0, 0, 10, 10), 1, WS_VISIBLE | WS_TABSTOP | WS_GROUP));
    ASSERT_TRUE(c2.CreateChild(&dlg, CRect(0, 20, 10, 30), 2, WS_VISIBLE));
    ASSERT_TRUE(c3.CreateChild(&dlg, CRect(0, 40, 10, 50), 3, WS_VISIBLE | WS_TABSTOP | WS_GROUP));
    ASSERT_TRUE(c4.CreateChild(&dlg, CRect(0, 60, 10, 70), 4, WS_VISIBLE | WS_TABSTOP));
    EXPECT_EQ(&c3, dlg.GetNextDlgTabItem(&c1));
    EXPECT_EQ(&c1, dlg.GetNextDlgTabItem(&c4)); // round again
    EXPECT_EQ(&c4, dlg.GetNextDlgTabItem(&c1, TRUE));
    c3.EnableWindow(FALSE);
    EXPECT_EQ(&c4, dlg.GetNextDlgTabItem(&c1));
    EXPECT_EQ(&c2, dlg.GetNextDlgGroupItem(&c1));
    EXPECT_EQ(&c1, dlg.GetNextDlgGroupItem(&c2));

    // Disabling the focused control through its command state hands the focus on.
    c3.EnableWindow(TRUE);
    c1.SetFocus();
    CCmdUI state;
    state.m_pOther = &c1;
    state.m_nID = 1;
    state.Enable(FALSE);
    EXPECT_FALSE(c1.IsWindowEnabled());
    EXPECT_EQ(&c3, CWnd::GetFocus());
}

TEST_F(WindowOpsTest, DialogItemHelpersConvertAndRefuseBadNumbers) {
    CTraceWnd dlg, edit;
    ASSERT_TRUE(dlg.CreateTop(CRect(0, 0, 100, 100)));
    ASSERT_TRUE(edit.CreateChild(&dlg, CRect(0, 0, 50, 20), 10));
    dlg.SetDlgItemInt(10, static_cast<UINT>(-42));
    BOOL ok = FALSE;
    EXPECT_EQ(static_cast<UINT>(-42), dlg.GetDlgItemInt(10, &ok));
    EXPECT_TRUE(ok);
    EXPECT_EQ(0u, dlg.GetDlgItemInt(10, &ok, FALSE)); // negative is no unsigned number
    EXPECT_FALSE(ok);
    for (LPCTSTR bad : {"", "12abc", "99999999999"}) {
        dlg.SetDlgItemText(10, bad);
        EXPECT_EQ(0u, dlg.GetDlgItemInt(10, &ok));
        EXPECT_FALSE(ok) << bad;
    }
    dlg.SetDlgItemText(10, " 17 ");
    EXPECT_EQ(17u, dlg.GetDlgItemInt(10, &ok));
    EXPECT_TRUE(ok);
    CString text;
    EXPECT_EQ(4, dlg.GetDlgItemText(10, text));
}

// Fills its area with a colour that depends on the row, so that scrolled pixels are known.
class CStripesWnd : public CWnd {
public:
    int m_nPaints = 0;
    CRect m_lastPaint;

protected:
    afx_msg void OnPaint() {
        CPaintDC dc(this);
        ++m_nPaints;
        m_lastPaint = dc.m_ps.rcPaint;
        for (int y = 0; y < 100; y += 10)
            dc.FillSolidRect(0, y, 100, 10, RGB(y, 0, 0));
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CStripesWnd, CWnd)
ON_WM_PAINT()
END_MESSAGE_MAP()

TEST_F(WindowOpsTest, ScrollWindowMovesPixelsAndInvalidatesOnlyWhatItUncovers) {
    CStripesWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "s", WS_POPUP | WS_VISIBLE,
                             CRect(0, 0, 100, 100), nullptr, 0));
    KelRunUntilIdle();
    EXPECT_EQ(RGB(20, 0, 0), KelGetWindowPixel(wnd, CPoint(5, 25)));
    wnd.ScrollWindow(0, -10);
    EXPECT_EQ(RGB(30, 0, 0), KelGetWindowPixel(wnd, CPoint(5, 25))); // moved up by one stripe
    KelRunUntilIdle();
    EXPECT_EQ(CRect(0, 90, 100, 100), wnd.m_lastPaint);

    // Down: each row is read before a row above it is written over it.
    wnd.ScrollWindow(0, 20);
    EXPECT_EQ(RGB(30, 0, 0), KelGetWindowPixel(wnd, CPoint(5, 45)));
    EXPECT_EQ(RGB(80, 0, 0), KelGetWindowPixel(wnd, CPoint(5, 95)));
    EXPECT_EQ(RGB(20, 0, 0), KelGetWindowPixel(wnd, CPoint(5, 30)));
    KelRunUntilIdle();
    EXPECT_EQ(CRect(0, 0, 100, 20), wnd.m_lastPaint);
    EXPECT_EQ(RGB(10, 0, 0), KelGetWindowPixel(wnd, CPoint(5, 15)));
}

// Text a context still held holds back goes before the window's pixels move, so it moves
// with them.
TEST_F(WindowOpsTest, TextHeldBackMovesWithAScroll) {
    CStripesWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "s", WS_POPUP | WS_VISIBLE,
                             CRect(0, 0, 100, 100), nullptr, 0));
    KelRunUntilIdle();
    auto dark = [&](int top, int bottom) {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < 100; ++x)
                n += GetGValue(KelGetWindowPixel(wnd, CPoint(x, y))) > 128;
        return n;
    };
    {
        CClientDC dc(&wnd);
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(RGB(0, 255, 0)); // the stripes have no green
        CRect r(5, 60, 95, 80);
        dc.DrawText("MMMM", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
        wnd.ScrollWindow(0, -40);
        EXPECT_GT(dark(20, 40), 10); // moved up with the stripes
    }
    KelRunUntilIdle(); // what the scroll uncovered is painted again: no text left there
    EXPECT_EQ(dark(60, 80), 0);
}

TEST_F(WindowOpsTest, ScrollingAChildMovesItsOwnPixelsAndNoneAroundIt) {
    const COLORREF green = RGB(0, 160, 0);
    CTraceWnd top;
    ASSERT_TRUE(top.CreateTop(CRect(50, 50, 250, 250), WS_POPUP | WS_VISIBLE,
                              AfxRegisterWndClass(0, nullptr, ::CreateSolidBrush(green))));
    CStripesWnd wnd;
    ASSERT_TRUE(wnd.Create(AfxRegisterWndClass(0), "s", WS_CHILD | WS_VISIBLE,
                           CRect(30, 40, 130, 140), &top, 1));
    KelRunUntilIdle();
    wnd.ScrollWindow(0, -10);
    EXPECT_EQ(RGB(30, 0, 0), KelGetWindowPixel(wnd, CPoint(5, 25)));
    EXPECT_EQ(RGB(90, 0, 0), KelGetWindowPixel(wnd, CPoint(95, 85)));
    EXPECT_EQ(green, KelGetWindowPixel(top, CPoint(80, 39))); // just above the child
    EXPECT_EQ(green, KelGetWindowPixel(top, CPoint(29, 80))); // just left of it
    KelRunUntilIdle();
    EXPECT_EQ(CRect(0, 90, 100, 100), wnd.m_lastPaint);
}

// Throws a framework exception from its handlers.
class CThrowingWnd : public CTraceWnd {
public:
    using CTraceWnd::CTraceWnd;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT) { AfxThrowNotSupportedException(); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CThrowingWnd, CTraceWnd)
ON_WM_CREATE()
END_MESSAGE_MAP()

TEST_F(WindowOpsTest, ExceptionInAHandlerIsReportedAndCreationFails) {
    CThrowingWnd wnd;
    EXPECT_FALSE(wnd.CreateTop(CRect(0, 0, 10, 10)));
    ASSERT_EQ(1u, KelGetMessageBoxes().size());
    EXPECT_STREQ("Unsupported operation was attempted.", KelGetMessageBoxes()[0].strText);
}

TEST_F(WindowOpsTest, SystemKeysCloseAndAskForTheContextMenu) {
    std::vector<std::string> log;
    CTraceWnd top(&log, "top");
    ASSERT_TRUE(top.CreateTop(CRect(0, 0, 100, 100)));
    Robot robot;
    robot.Key(VK_F10, Robot::Shift);
    robot.Key(VK_APPS);
    EXPECT_EQ(2, std::count(log.begin(), log.end(), std::string("top:CONTEXTMENU")));
    HWND h = top.m_hWnd;
    robot.Key(VK_F4, Robot::Alt);
    EXPECT_FALSE(::IsWindow(h));
    EXPECT_GE(IndexOf(log, "top:DESTROY"), 0);
}

TEST_F(WindowOpsTest, ControlCharactersAndAcceleratorsFromTablesAndCharacters) {
    std::vector<std::string> log;
    CTraceWnd top(&log, "top");
    ASSERT_TRUE(top.CreateTop(CRect(0, 0, 100, 100)));
    Robot robot;
    robot.Key('C', Robot::Ctrl);
    EXPECT_EQ(std::string(1, '\x03'), top.m_chars);

    ACCEL entries[] = {{0, '+', 7001}, {FVIRTKEY | FSHIFT, VK_DELETE, 7002}};
    HACCEL table = ::CreateAcceleratorTable(entries, 2);
    ASSERT_NE(nullptr, table);
    ACCEL copy[2];
    EXPECT_EQ(2, ::CopyAcceleratorTable(table, copy, 2));
    EXPECT_EQ(7002, copy[1].cmd);
    MSG msg{top.m_hWnd, WM_CHAR, '+', 0, 0, {0, 0}, 0};
    EXPECT_EQ(1, ::TranslateAccelerator(top.m_hWnd, table, &msg));
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_DELETE;
    EXPECT_EQ(0, ::TranslateAccelerator(top.m_hWnd, table, &msg)); // Shift is not down
    EXPECT_TRUE(::DestroyAcceleratorTable(table));
    EXPECT_EQ(0, ::TranslateAccelerator(top.m_hWnd, table, &msg)); // a table that is gone
}

TEST_F(WindowOpsTest, UpdateRegionIsReadableAndHiddenWindowsDoNotPaint) {
    CStripesWnd wnd;
    ASSERT_TRUE(
        wnd.CreateEx(0, AfxRegisterWndClass(0), "s", WS_POPUP, CRect(0, 0, 100, 100), nullptr, 0));
    CRect rc(10, 10, 20, 20);
    wnd.InvalidateRect(&rc, FALSE);
    CRect update;
    EXPECT_TRUE(wnd.GetUpdateRect(&update));
    EXPECT_EQ(rc, update);
    KelRunUntilIdle();
    EXPECT_EQ(0, wnd.m_nPaints); // not visible: nothing to paint
    wnd.ShowWindow(SW_SHOW);
    KelRunUntilIdle();
    EXPECT_EQ(1, wnd.m_nPaints);
    EXPECT_FALSE(wnd.GetUpdateRect(&update));
}

TEST_F(WindowOpsTest, ScreenFocusOnADisabledOwnerGoesToItsDialog) {
    // A late focus event (or a click) on the owner of a modal dialog leaves the dialog active:
    // the owner is disabled while the dialog runs.
    std::vector<std::string> log;
    CTraceWnd owner(&log, "owner"), other(&log, "other");
    ASSERT_TRUE(owner.CreateTop(CRect(0, 0, 300, 200)));
    ASSERT_TRUE(other.CreateTop(CRect(400, 0, 500, 100)));
    CWnd dialog, box;
    LPCTSTR cls = AfxRegisterWndClass(0);
    ASSERT_TRUE(dialog.CreateEx(0, cls, "dialog", WS_POPUP | WS_CAPTION | WS_VISIBLE,
                                CRect(50, 50, 250, 150), &owner, 0));
    owner.EnableWindow(FALSE);
    dialog.SetActiveWindow();
    KelInputActivate(owner, TRUE);
    EXPECT_EQ(&dialog, CWnd::GetActiveWindow());
    // A message box over the dialog: the focus on either goes to the box.
    ASSERT_TRUE(box.CreateEx(0, cls, "box", WS_POPUP | WS_CAPTION | WS_VISIBLE,
                             CRect(80, 80, 200, 130), &dialog, 0));
    dialog.EnableWindow(FALSE);
    other.SetActiveWindow();
    KelInputActivate(owner, TRUE);
    EXPECT_EQ(&box, CWnd::GetActiveWindow());
    KelInputActivate(dialog, TRUE);
    EXPECT_EQ(&box, CWnd::GetActiveWindow());
    // Enabled again, the owner takes the activation it is given.
    box.DestroyWindow();
    dialog.DestroyWindow();
    owner.EnableWindow(TRUE);
    KelInputActivate(owner, TRUE);
    EXPECT_EQ(&owner, CWnd::GetActiveWindow());
}

} // namespace
