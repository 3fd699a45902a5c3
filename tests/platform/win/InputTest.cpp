// Input through the Robot and the window manager: hit testing, capture, double clicks,
// focus, keys, the wheel.
#include "TraceWnd.h"

#include <algorithm>

namespace {

class InputTest : public WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        ASSERT_TRUE(top.CreateTop(CRect(100, 100, 500, 400)));
        ASSERT_TRUE(left.CreateChild(&top, CRect(0, 0, 200, 300), 1, WS_VISIBLE | WS_TABSTOP,
                                     DblClickClass()));
        ASSERT_TRUE(right.CreateChild(&top, CRect(200, 0, 400, 300), 2, WS_VISIBLE,
                                      AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW))));
        ASSERT_TRUE(inner.CreateChild(&left, CRect(50, 50, 100, 100), 3));
        KelRunUntilIdle();
        log.clear();
    }

    static LPCTSTR DblClickClass() {
        return AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
    }

    std::vector<std::string> Only(const std::string& what) const {
        std::vector<std::string> out;
        for (const auto& e : log)
            if (e.find(what) != std::string::npos)
                out.push_back(e);
        return out;
    }

    std::vector<std::string> log;
    CTraceWnd top{&log, "top"}, left{&log, "left"}, right{&log, "right"}, inner{&log, "inner"};
    Robot robot;
};

TEST_F(InputTest, ClickGoesToTheDeepestWindowInItsClientCoordinates) {
    robot.Click(&left, CPoint(60, 70)); // inside inner, which lies at 50,50 in left
    EXPECT_EQ(std::vector<std::string>({"inner:LBUTTONDOWN 10,20"}), Only("LBUTTONDOWN"));
    robot.Click(&top, CPoint(250, 10));
    EXPECT_EQ("right:LBUTTONDOWN 50,10", Only("LBUTTONDOWN").back());

    // A disabled child gives its clicks to its parent.
    inner.EnableWindow(FALSE);
    log.clear();
    robot.Click(&left, CPoint(60, 70));
    EXPECT_EQ(std::vector<std::string>({"left:LBUTTONDOWN 60,70"}), Only("LBUTTONDOWN"));
    // So does a hidden one.
    inner.EnableWindow(TRUE);
    inner.ShowWindow(SW_HIDE);
    robot.Wait(1000); // not a double click with the one before
    log.clear();
    robot.Click(&left, CPoint(60, 70));
    EXPECT_EQ(std::vector<std::string>({"left:LBUTTONDOWN 60,70"}), Only("LBUTTONDOWN"));
}

TEST_F(InputTest, CaptureTakesTheMouseEvenOutsideTheWindow) {
    robot.Press(&right, CPoint(10, 10));
    right.SetCapture();
    log.clear();
    robot.Move(&right, CPoint(-150, 20)); // over left, in right's coordinates
    robot.Move(&right, CPoint(500, 500)); // outside every window
    robot.Release(&right, CPoint(500, 500));
    std::vector<std::string> expected = {"right:MOUSEMOVE -150,20 L", "right:MOUSEMOVE 500,500 L",
                                         "right:LBUTTONUP 500,500"};
    EXPECT_EQ(expected, Only("right:"));
    EXPECT_TRUE(Only("left:").empty());

    ::ReleaseCapture();
    EXPECT_EQ(1u, Only("CAPTURECHANGED").size());
    log.clear();
    robot.Move(&right, CPoint(-150, 20));
    EXPECT_EQ(std::vector<std::string>({"left:MOUSEMOVE 50,20"}), Only("MOUSEMOVE"));
}

// Captures the mouse while its button is down, as a window that tracks a drag does.
class CDragWnd : public CTraceWnd {
public:
    using CTraceWnd::CTraceWnd;

protected:
    afx_msg void OnLButtonDown(UINT, CPoint) { SetCapture(); }
    afx_msg void OnLButtonUp(UINT, CPoint) { ::ReleaseCapture(); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDragWnd, CTraceWnd)
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

TEST_F(InputTest, DragFollowsThePointerBeyondTheWindowWhileCaptured) {
    CDragWnd drag(&log, "drag");
    ASSERT_TRUE(drag.CreateChild(&right, CRect(0, 0, 50, 50), 5));
    log.clear();
    robot.Drag(&drag, CPoint(10, 10), CPoint(90, 10), 4);
    std::vector<std::string> expected = {"drag:MOUSEMOVE 10,10", "drag:MOUSEMOVE 30,10 L",
                                         "drag:MOUSEMOVE 50,10 L", "drag:MOUSEMOVE 70,10 L",
                                         "drag:MOUSEMOVE 90,10 L"};
    EXPECT_EQ(expected, Only("drag:MOUSEMOVE"));
    EXPECT_EQ(1u, Only("drag:LBUTTONUP 90,10").size());
    EXPECT_EQ(nullptr, ::GetCapture());
}

TEST_F(InputTest, DoubleClicksOnlyForDoubleClickClassesWithinTimeAndDistance) {
    robot.DoubleClick(&left, CPoint(10, 10));
    std::vector<std::string> expected = {"left:LBUTTONDOWN 10,10", "left:LBUTTONUP 10,10",
                                         "left:LBUTTONDBLCLK 10,10", "left:LBUTTONUP 10,10"};
    EXPECT_EQ(expected, Only("BUTTON"));

    // The same on a class without CS_DBLCLKS: two presses.
    log.clear();
    robot.DoubleClick(&right, CPoint(10, 10));
    EXPECT_EQ(2u, Only("right:LBUTTONDOWN").size());
    EXPECT_TRUE(Only("DBLCLK").empty());

    // Too late: the double-click time has passed.
    robot.Wait(1000); // apart from any earlier click
    log.clear();
    robot.Click(&left, CPoint(10, 10));
    robot.Wait(::GetDoubleClickTime() + 1);
    robot.Click(&left, CPoint(10, 10));
    EXPECT_TRUE(Only("DBLCLK").empty());
    // Just in time.
    robot.Wait(1000);
    log.clear();
    robot.Click(&left, CPoint(10, 10));
    robot.Wait(::GetDoubleClickTime());
    robot.Click(&left, CPoint(10, 10));
    EXPECT_EQ(1u, Only("DBLCLK").size());

    // Too far: beyond half the double-click rectangle.
    robot.Wait(1000);
    log.clear();
    const int dx = GetSystemMetrics(SM_CXDOUBLECLK) / 2;
    robot.Click(&left, CPoint(10, 10));
    robot.Click(&left, CPoint(10 + dx + 1, 10));
    EXPECT_TRUE(Only("DBLCLK").empty());
    robot.Wait(1000);
    robot.Click(&left, CPoint(10, 10));
    robot.Click(&left, CPoint(10 + dx, 10));
    EXPECT_EQ(1u, Only("DBLCLK").size());

    // A third click after a double click starts afresh.
    robot.Wait(1000);
    log.clear();
    robot.Click(&left, CPoint(10, 10));
    robot.Click(&left, CPoint(10, 10));
    robot.Click(&left, CPoint(10, 10));
    EXPECT_EQ(1u, Only("DBLCLK").size());
    EXPECT_EQ(2u, Only("LBUTTONDOWN").size());
}

TEST_F(InputTest, FocusMessagesNameTheOtherWindowAndFocusMovesOnClickToTabStops) {
    left.SetFocus();
    right.SetFocus();
    std::vector<std::string> expected = {"top:KILLFOCUS to left", "left:SETFOCUS from top",
                                         "left:KILLFOCUS to right", "right:SETFOCUS from left"};
    EXPECT_EQ(expected, Only("FOCUS"));
    EXPECT_EQ(&right, CWnd::GetFocus());

    // left is a tab stop: a click gives it the focus. right is not: a click leaves it.
    log.clear();
    robot.Click(&left, CPoint(150, 150));
    EXPECT_EQ(&left, CWnd::GetFocus());
    robot.Click(&right, CPoint(5, 5));
    EXPECT_EQ(&left, CWnd::GetFocus());

    // A destroyed focus window loses the focus first.
    log.clear();
    left.DestroyWindow();
    EXPECT_EQ(nullptr, ::GetFocus());
    EXPECT_EQ(0, IndexOf(log, "left:KILLFOCUS to none"));
}

// A button that never takes the focus when clicked.
class CNoFocusButton : public CTraceWnd {
public:
    using CTraceWnd::CTraceWnd;

protected:
    afx_msg int OnMouseActivate(CWnd*, UINT, UINT) { return MA_NOACTIVATE; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CNoFocusButton, CTraceWnd)
ON_WM_MOUSEACTIVATE()
END_MESSAGE_MAP()

TEST_F(InputTest, WindowCanRefuseTheFocusOnClick) {
    CNoFocusButton button(&log, "button");
    ASSERT_TRUE(button.CreateChild(&right, CRect(0, 0, 20, 20), 9, WS_VISIBLE | WS_TABSTOP));
    left.SetFocus();
    log.clear();
    robot.Click(&button, CPoint(5, 5));
    EXPECT_EQ(&left, CWnd::GetFocus());
    EXPECT_EQ(1u, Only("button:LBUTTONDOWN").size()); // the click itself still arrives
}

TEST_F(InputTest, KeysGoToTheFocusAsKeysCharactersAndSystemKeys) {
    right.SetFocus();
    robot.Type("aB1!");
    EXPECT_EQ("aB1!", right.m_chars);
    right.m_keys.clear();
    robot.Key(VK_DOWN);
    robot.Key('1', Robot::Alt);
    // Alt comes before 1: both reach the window, as system keys.
    EXPECT_EQ(std::vector<UINT>({VK_DOWN, VK_MENU, '1'}), right.m_keys);
    EXPECT_EQ(1u, Only("SYSKEYDOWN 49").size());

    // Every printable character has a key of a US keyboard, which types it back.
    std::string printable;
    for (char c = ' '; c <= '~'; ++c)
        printable += c;
    right.m_chars.clear();
    right.m_keys.clear();
    robot.Type(printable.c_str());
    EXPECT_EQ(printable, right.m_chars);
    EXPECT_EQ(0, std::count(right.m_keys.begin(), right.m_keys.end(), UINT{VK_PACKET}));

    // Characters outside the keyboard arrive as characters.
    right.m_chars.clear();
    robot.Type("\xC3\xA9"); // e acute
    ASSERT_EQ(1u, right.m_chars.size());
    EXPECT_EQ(static_cast<char>(0xE9), right.m_chars[0]);
}

// Reads the key state while it handles a key.
class CKeyStateWnd : public CTraceWnd {
public:
    using CTraceWnd::CTraceWnd;
    bool m_bShiftDown = false;
    bool m_bCtrlDown = true;

protected:
    afx_msg void OnKeyDown(UINT, UINT, UINT) {
        m_bShiftDown = ::GetKeyState(VK_SHIFT) < 0;
        m_bCtrlDown = ::GetKeyState(VK_CONTROL) < 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CKeyStateWnd, CTraceWnd)
ON_WM_KEYDOWN()
END_MESSAGE_MAP()

TEST_F(InputTest, KeyStateIsThatOfTheMessageBeingHandled) {
    CKeyStateWnd wnd(&log, "k");
    ASSERT_TRUE(wnd.CreateChild(&top, CRect(0, 0, 10, 10), 8));
    wnd.SetFocus();
    robot.Key(VK_HOME, Robot::Shift);
    EXPECT_TRUE(wnd.m_bShiftDown);
    EXPECT_FALSE(wnd.m_bCtrlDown);
    EXPECT_GE(::GetKeyState(VK_SHIFT), 0);
    EXPECT_EQ(0, ::GetAsyncKeyState(VK_SHIFT));
    // A key pressed and not released stays down; Caps Lock toggles.
    robot.KeyDown(VK_CONTROL);
    EXPECT_LT(::GetKeyState(VK_CONTROL), 0);
    robot.KeyUp(VK_CONTROL);
    EXPECT_GE(::GetKeyState(VK_CONTROL), 0);
    robot.Key(VK_CAPITAL);
    EXPECT_EQ(1, ::GetKeyState(VK_CAPITAL) & 1);
    wnd.m_chars.clear();
    robot.Key('Q');
    EXPECT_EQ("Q", wnd.m_chars);
    robot.Key(VK_CAPITAL);
}

// Scrolls on the wheel; the other window leaves it to its parent.
class CWheelWnd : public CTraceWnd {
public:
    using CTraceWnd::CTraceWnd;
    int m_nDelta = 0;
    CPoint m_pt;

protected:
    afx_msg BOOL OnMouseWheel(UINT, short zDelta, CPoint pt) {
        m_nDelta += zDelta;
        m_pt = pt;
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CWheelWnd, CTraceWnd)
ON_WM_MOUSEWHEEL()
END_MESSAGE_MAP()

TEST_F(InputTest, WheelTurnsTheFocusWindowAndUnhandledGoesToTheParent) {
    CWheelWnd parent(&log, "parent");
    ASSERT_TRUE(parent.CreateTop(CRect(0, 0, 300, 300)));
    CTraceWnd child(&log, "child");
    ASSERT_TRUE(child.CreateChild(&parent, CRect(0, 0, 100, 100), 1));
    child.SetFocus();
    robot.Wheel(&child, CPoint(10, 20), -240);
    EXPECT_EQ(-240, parent.m_nDelta);
    EXPECT_EQ(CPoint(10, 20), parent.m_pt); // screen coordinates: the top-level is at 0,0
}

TEST_F(InputTest, RightButtonUpAsksForAContextMenuUpThroughTheParents) {
    robot.RightClick(&inner, CPoint(5, 5));
    // Unhandled, the request goes up: inner, then left, then top.
    EXPECT_EQ(
        std::vector<std::string>({"inner:CONTEXTMENU", "left:CONTEXTMENU", "top:CONTEXTMENU"}),
        Only("CONTEXTMENU"));
}

// Asks to hear of the pointer leaving it whenever the pointer moves over it.
class CLeaveWnd : public CTraceWnd {
public:
    using CTraceWnd::CTraceWnd;

protected:
    afx_msg void OnMouseMove(UINT, CPoint) {
        TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, m_hWnd, 0};
        ::TrackMouseEvent(&tme);
    }
    afx_msg LRESULT OnMouseLeave(WPARAM, LPARAM) {
        Log("MOUSELEAVE");
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CLeaveWnd, CTraceWnd)
ON_WM_MOUSEMOVE()
ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
END_MESSAGE_MAP()

TEST_F(InputTest, TrackedWindowHearsOnceThatThePointerLeftForAnotherWindowOrForNone) {
    CLeaveWnd hot(&log, "hot");
    ASSERT_TRUE(hot.CreateChild(&right, CRect(0, 0, 50, 50), 7));
    robot.Move(&hot, CPoint(10, 10));
    robot.Move(&hot, CPoint(20, 10));
    EXPECT_TRUE(Only("MOUSELEAVE").empty()); // still inside
    robot.Move(&right, CPoint(100, 100));
    robot.Move(&right, CPoint(110, 100));
    EXPECT_EQ(1u, Only("hot:MOUSELEAVE").size());
    robot.Move(&hot, CPoint(10, 10));
    robot.Move(&top, CPoint(-50, -50)); // off every window
    EXPECT_EQ(2u, Only("hot:MOUSELEAVE").size());
}

TEST_F(InputTest, PointerLeftWhereAnEarlierTestEndedStillMovesAfterAReset) {
    CPoint pt(10, 10);
    right.ClientToScreen(&pt);
    robot.MoveScreen(pt);
    KelResetWindowSystem(); // as between two tests
    std::vector<std::string> fresh;
    CTraceWnd next(&fresh, "next");
    ASSERT_TRUE(next.CreateTop(CRect(100, 100, 500, 400)));
    robot.MoveScreen(pt);
    EXPECT_EQ(1, std::count(fresh.begin(), fresh.end(), std::string("next:MOUSEMOVE 210,10")));
}

TEST_F(InputTest, DisabledTopLevelWindowTakesNoMouseInput) {
    top.EnableWindow(FALSE);
    robot.Click(&left, CPoint(10, 10));
    EXPECT_TRUE(Only("LBUTTONDOWN").empty());
    top.EnableWindow(TRUE);
    robot.Click(&left, CPoint(10, 10));
    EXPECT_EQ(1u, Only("LBUTTONDOWN").size());
}

} // namespace
