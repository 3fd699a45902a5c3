// Windows and messages: creation and destruction order, send versus post, message maps,
// reflection, subclassing, temporary objects, geometry.
#include "TraceWnd.h"

namespace {

using WindowTest = WinTest;

// Posts WM_USER+5 to itself from WM_CREATE, as a window that loads its data later does.
class CLoadingWnd : public CTraceWnd {
public:
    using CTraceWnd::CTraceWnd;
    int m_nRowsAtLoad = -1;
    int m_nRows = 0;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs) {
        if (CWnd::OnCreate(lpcs) == -1)
            return -1;
        PostMessage(WM_USER + 5);
        return 0;
    }
    afx_msg void OnSize(UINT, int, int cy) { m_nRows = cy / 16; }
    afx_msg LRESULT OnLoad(WPARAM, LPARAM) {
        m_nRowsAtLoad = m_nRows;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CLoadingWnd, CTraceWnd)
ON_WM_CREATE()
ON_WM_SIZE()
ON_MESSAGE(WM_USER + 5, OnLoad)
END_MESSAGE_MAP()

TEST_F(WindowTest, CreatePostedMessageArrivesAfterTheFirstSize) {
    std::vector<std::string> log;
    CTraceWnd top(&log, "top");
    ASSERT_TRUE(top.CreateTop(CRect(0, 0, 400, 300)));
    CLoadingWnd grid(&log, "grid");
    ASSERT_TRUE(grid.CreateChild(&top, CRect(10, 10, 210, 170), 7));

    // Creation runs synchronously: NCCREATE, CREATE, then the first SIZE and MOVE.
    int create = IndexOf(log, "grid:CREATE");
    int size = IndexOf(log, "grid:SIZE 200x160");
    ASSERT_GE(create, 0);
    ASSERT_GT(size, create);
    EXPECT_LT(IndexOf(log, "grid:NCCREATE"), create);
    EXPECT_GT(IndexOf(log, "grid:MOVE"), size);
    // The posted message waits for the loop, and then sees the size.
    EXPECT_EQ(-1, IndexOf(log, "grid:USER+5"));
    EXPECT_EQ(-1, grid.m_nRowsAtLoad);
    KelRunUntilIdle();
    EXPECT_GT(IndexOf(log, "grid:USER+5"), size);
    EXPECT_EQ(10, grid.m_nRowsAtLoad);
}

class CSendPostWnd : public CTraceWnd {
public:
    using CTraceWnd::CTraceWnd;

protected:
    afx_msg LRESULT OnFirst(WPARAM, LPARAM) {
        Log("first begins");
        PostMessage(WM_USER + 2);
        LRESULT r = SendMessage(WM_USER + 3, 0, 0);
        Log("first ends with " + std::to_string(r));
        return 0;
    }
    afx_msg LRESULT OnThird(WPARAM, LPARAM) { return 33; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSendPostWnd, CTraceWnd)
ON_MESSAGE(WM_USER + 1, OnFirst)
ON_MESSAGE(WM_USER + 3, OnThird)
END_MESSAGE_MAP()

TEST_F(WindowTest, SentMessagesCompleteAtOncePostedOnesAfterTheHandlerReturns) {
    std::vector<std::string> log;
    CSendPostWnd wnd(&log, "w");
    ASSERT_TRUE(wnd.CreateTop(CRect(0, 0, 100, 100)));
    KelRunUntilIdle();
    log.clear();
    wnd.SendMessage(WM_USER + 1);
    std::vector<std::string> expected = {"w:USER+1", "w:first begins", "w:USER+3",
                                         "w:first ends with 33"};
    EXPECT_EQ(expected, log);
    KelRunUntilIdle();
    ASSERT_EQ(5u, log.size());
    EXPECT_EQ("w:USER+2", log[4]);
}

TEST_F(WindowTest, PostedMessagesKeepTheirOrderAndDieWithTheirWindow) {
    std::vector<std::string> log;
    CTraceWnd a(&log, "a"), b(&log, "b");
    ASSERT_TRUE(a.CreateTop(CRect(0, 0, 50, 50)));
    ASSERT_TRUE(b.CreateTop(CRect(60, 0, 110, 50)));
    KelRunUntilIdle();
    log.clear();
    a.PostMessage(WM_USER + 1);
    b.PostMessage(WM_USER + 2);
    a.PostMessage(WM_USER + 3);
    HWND hb = b.m_hWnd;
    b.DestroyWindow();
    EXPECT_FALSE(::PostMessage(hb, WM_USER + 4, 0, 0)); // a dead window takes no post
    log.clear();
    KelRunUntilIdle();
    std::vector<std::string> expected = {"a:USER+1", "a:USER+3"};
    EXPECT_EQ(expected, log);
}

TEST_F(WindowTest, DestroyGoesParentFirstThenChildrenCompletelyThenParentLast) {
    std::vector<std::string> log;
    CTraceWnd top(&log, "top"), child(&log, "child"), grand(&log, "grand");
    ASSERT_TRUE(top.CreateTop(CRect(0, 0, 200, 200)));
    ASSERT_TRUE(child.CreateChild(&top, CRect(0, 0, 100, 100), 1));
    ASSERT_TRUE(grand.CreateChild(&child, CRect(0, 0, 50, 50), 2));
    HWND hTop = top.m_hWnd, hGrand = grand.m_hWnd;
    log.clear();
    ASSERT_TRUE(top.DestroyWindow());
    // The focus leaves first; then the destruction itself.
    EXPECT_EQ("top:KILLFOCUS to none", log.front());
    log.erase(log.begin());
    std::vector<std::string> expected = {
        "top:DESTROY",         "child:DESTROY",       "grand:DESTROY",
        "grand:NCDESTROY",     "grand:PostNcDestroy", "child:NCDESTROY",
        "child:PostNcDestroy", "top:NCDESTROY",       "top:PostNcDestroy"};
    EXPECT_EQ(expected, log);
    EXPECT_FALSE(::IsWindow(hTop));
    EXPECT_FALSE(::IsWindow(hGrand));
    EXPECT_EQ(nullptr, top.m_hWnd);
    EXPECT_EQ(nullptr, grand.m_hWnd);
    EXPECT_FALSE(top.DestroyWindow()); // nothing left to destroy
}

// A window whose creation fails.
class CRefusingWnd : public CTraceWnd {
public:
    using CTraceWnd::CTraceWnd;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT) { return -1; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRefusingWnd, CTraceWnd)
ON_WM_CREATE()
END_MESSAGE_MAP()

TEST_F(WindowTest, CreationRefusedInCreateLeavesNoWindow) {
    std::vector<std::string> log;
    CTraceWnd top(&log, "top");
    ASSERT_TRUE(top.CreateTop(CRect(0, 0, 100, 100)));
    CRefusingWnd bad(&log, "bad");
    EXPECT_FALSE(bad.CreateChild(&top, CRect(0, 0, 10, 10), 3));
    EXPECT_EQ(nullptr, bad.m_hWnd);
    EXPECT_EQ(nullptr, top.GetTopWindow()); // no child was left behind
    EXPECT_GE(IndexOf(log, "bad:NCDESTROY"), 0);
    EXPECT_EQ(1, bad.m_nPostNcDestroy);

    // An unknown class fails before any window exists; the object still hears of it.
    CTraceWnd unknown(&log, "unknown");
    EXPECT_FALSE(unknown.CreateChild(&top, CRect(0, 0, 10, 10), 4, WS_VISIBLE, "NoSuchClass"));
    EXPECT_EQ(1, unknown.m_nPostNcDestroy);
}

// A base whose map entries call virtual handlers; the derived class only overrides them.
class CBaseWnd : public CTraceWnd {
public:
    using CTraceWnd::CTraceWnd;
    virtual void OnSize(UINT, int cx, int) { Log("base size " + std::to_string(cx)); }
    virtual LRESULT OnPing(WPARAM wParam, LPARAM) { return static_cast<LRESULT>(wParam); }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseWnd, CTraceWnd)
ON_WM_SIZE()
ON_MESSAGE(WM_USER + 9, OnPing)
END_MESSAGE_MAP()

class CDerivedWnd : public CBaseWnd {
public:
    using CBaseWnd::CBaseWnd;
    void OnSize(UINT, int cx, int) override { Log("derived size " + std::to_string(cx)); }
    LRESULT OnPing(WPARAM wParam, LPARAM) override { return static_cast<LRESULT>(wParam) * 2; }
};

TEST_F(WindowTest, DerivedOverrideIsReachedThroughTheBaseMap) {
    std::vector<std::string> log;
    CDerivedWnd wnd(&log, "d");
    ASSERT_TRUE(wnd.CreateTop(CRect(0, 0, 120, 80)));
    EXPECT_GE(IndexOf(log, "d:derived size 120"), 0);
    EXPECT_EQ(-1, IndexOf(log, "d:base size 120"));
    EXPECT_EQ(42, wnd.SendMessage(WM_USER + 9, 21));
}

// A control that handles its own notification; its parent hears the ones it does not.
class CClickControl : public CTraceWnd {
public:
    using CTraceWnd::CTraceWnd;
    void Notify(UINT code) {
        NMHDR hdr{m_hWnd, static_cast<UINT_PTR>(GetDlgCtrlID()), code};
        GetParent()->SendMessage(WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr));
    }

protected:
    afx_msg void OnReflectedClick(NMHDR*, LRESULT* pResult) {
        Log("reflected click");
        *pResult = 5;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CClickControl, CTraceWnd)
ON_NOTIFY_REFLECT(NM_CLICK, OnReflectedClick)
END_MESSAGE_MAP()

class CNotifyParent : public CTraceWnd {
public:
    using CTraceWnd::CTraceWnd;

protected:
    afx_msg void OnChildClick(NMHDR*, LRESULT*) { Log("parent click"); }
    afx_msg void OnChildDblClk(NMHDR* pNMHDR, LRESULT* pResult) {
        Log("parent dblclk from " + std::to_string(pNMHDR->idFrom));
        *pResult = 9;
    }
    afx_msg void OnGridChanged() { Log("code 200"); }
    afx_msg void OnRange(UINT nID) { Log("command " + std::to_string(nID)); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CNotifyParent, CTraceWnd)
ON_NOTIFY(NM_CLICK, 12, OnChildClick)
ON_NOTIFY(NM_DBLCLK, 12, OnChildDblClk)
ON_CONTROL(200, 12, OnGridChanged)
ON_COMMAND_RANGE(5500, 5505, OnRange)
END_MESSAGE_MAP()

TEST_F(WindowTest, NotificationsAreReflectedFirstThenReachTheParentMap) {
    std::vector<std::string> log;
    CNotifyParent parent(&log, "p");
    ASSERT_TRUE(parent.CreateTop(CRect(0, 0, 200, 200)));
    CClickControl control(&log, "c");
    ASSERT_TRUE(control.CreateChild(&parent, CRect(0, 0, 50, 20), 12));
    log.clear();

    control.Notify(NM_CLICK);
    control.Notify(NM_DBLCLK);
    std::vector<std::string> expected = {"c:reflected click", "p:parent dblclk from 12"};
    EXPECT_EQ(expected, log);

    // A control's WM_COMMAND with its code, and plain commands in a range.
    log.clear();
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(12, 200), reinterpret_cast<LPARAM>(control.m_hWnd));
    parent.SendMessage(WM_COMMAND, 5502, 0);
    parent.SendMessage(WM_COMMAND, 5506, 0); // outside the range: nobody
    expected = {"p:code 200", "p:command 5502"};
    EXPECT_EQ(expected, log);
}

UINT g_registered = ::RegisterWindowMessage("KelTestPing");

class CRegisteredWnd : public CWnd {
protected:
    afx_msg LRESULT OnPing(WPARAM wParam, LPARAM) { return static_cast<LRESULT>(wParam) + 1; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRegisteredWnd, CWnd)
ON_REGISTERED_MESSAGE(g_registered, OnPing)
END_MESSAGE_MAP()

TEST_F(WindowTest, RegisteredMessagesAreSharedByNameAndMapped) {
    EXPECT_EQ(g_registered, ::RegisterWindowMessage("keltestping"));
    EXPECT_NE(g_registered, ::RegisterWindowMessage("Other"));
    EXPECT_GE(g_registered, 0xC000u);
    CRegisteredWnd wnd;
    ASSERT_TRUE(
        wnd.CreateEx(0, AfxRegisterWndClass(0), "r", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    EXPECT_EQ(8, wnd.SendMessage(g_registered, 7));
}

// A window of a class with its own window procedure, and an object that subclasses it.
int g_procCalls = 0;
LRESULT CALLBACK CountingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_USER + 1)
        ++g_procCalls;
    if (m == WM_USER + 2)
        return 100;
    return ::DefWindowProc(h, m, w, l);
}

class CSubclasser : public CWnd {
protected:
    afx_msg LRESULT OnTwo(WPARAM, LPARAM) { return Default() + 1; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSubclasser, CWnd)
ON_MESSAGE(WM_USER + 2, OnTwo)
END_MESSAGE_MAP()

TEST_F(WindowTest, SubclassingTakesMessagesFirstAndDefaultReachesTheClassProcedure) {
    WNDCLASS wc{};
    wc.lpfnWndProc = CountingProc;
    wc.lpszClassName = "KelCounting";
    ::RegisterClass(&wc);
    HWND h = ::CreateWindowEx(0, "KelCounting", "c", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              nullptr, nullptr);
    ASSERT_NE(nullptr, h);
    // A window without its own object gets a temporary one.
    CWnd* temp = CWnd::FromHandle(h);
    ASSERT_NE(nullptr, temp);
    EXPECT_EQ(temp, CWnd::FromHandle(h));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(h));

    CSubclasser sub;
    ASSERT_TRUE(sub.SubclassWindow(h));
    EXPECT_EQ(&sub, CWnd::FromHandlePermanent(h));
    g_procCalls = 0;
    ::SendMessage(h, WM_USER + 1, 0, 0); // not in the map: the class procedure
    EXPECT_EQ(1, g_procCalls);
    EXPECT_EQ(101, ::SendMessage(h, WM_USER + 2, 0, 0));
    EXPECT_EQ(h, sub.UnsubclassWindow());
    EXPECT_EQ(100, ::SendMessage(h, WM_USER + 2, 0, 0));
    ::DestroyWindow(h);
    KelRunUntilIdle(); // frees the temporary objects
}

TEST_F(WindowTest, ClientAreaCoordinatesAndPlacement) {
    CTraceWnd top;
    ASSERT_TRUE(top.CreateTop(CRect(100, 50, 500, 350)));
    CTraceWnd child;
    ASSERT_TRUE(child.CreateEx(WS_EX_CLIENTEDGE, nullptr, "c", WS_CHILD | WS_VISIBLE | WS_BORDER,
                               CRect(10, 20, 110, 70), &top, 1));
    CRect rc;
    child.GetClientRect(&rc);
    EXPECT_EQ(CRect(0, 0, 94, 44), rc); // a border (1) and a client edge (2) on each side
    child.GetWindowRect(&rc);
    EXPECT_EQ(CRect(110, 70, 210, 120), rc);
    CPoint pt(0, 0);
    child.ClientToScreen(&pt);
    EXPECT_EQ(CPoint(113, 73), pt);
    child.ScreenToClient(&pt);
    EXPECT_EQ(CPoint(0, 0), pt);
    CRect r(0, 0, 5, 5);
    child.MapWindowPoints(&top, &r);
    EXPECT_EQ(CRect(13, 23, 18, 28), r);

    std::vector<std::string> log;
    child.m_pLog = &log;
    child.MoveWindow(0, 0, 206, 106);
    EXPECT_EQ(std::vector<std::string>({"w:SIZE 200x100", "w:MOVE"}), log);
    log.clear();
    child.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_TRUE(log.empty()); // nothing changed: no WM_SIZE, no WM_MOVE

    EXPECT_EQ(&child, top.GetDlgItem(1));
    EXPECT_EQ(1, child.GetDlgCtrlID());
    EXPECT_EQ(&top, child.GetParent());
    EXPECT_EQ(nullptr, child.GetParentFrame());
}

TEST_F(WindowTest, VisibilityFollowsTheParentAndTextAndFontAreKept) {
    CTraceWnd top;
    ASSERT_TRUE(top.CreateTop(CRect(0, 0, 100, 100)));
    CTraceWnd child;
    ASSERT_TRUE(child.CreateChild(&top, CRect(0, 0, 10, 10), 1));
    EXPECT_TRUE(child.IsWindowVisible());
    EXPECT_TRUE(top.ShowWindow(SW_HIDE)); // it was visible
    EXPECT_FALSE(child.IsWindowVisible());
    EXPECT_TRUE(child.GetStyle() & WS_VISIBLE);
    EXPECT_FALSE(top.ShowWindow(SW_SHOW));
    EXPECT_TRUE(child.IsWindowVisible());

    child.SetWindowText("Orders");
    CString text;
    child.GetWindowText(text);
    EXPECT_STREQ("Orders", text);
    char small[4];
    EXPECT_EQ(3, child.GetWindowText(small, sizeof small)); // cut to the buffer
    EXPECT_STREQ("Ord", small);

    CFont font;
    font.CreatePointFont(90, "Arial");
    child.SetFont(&font, FALSE);
    ASSERT_NE(nullptr, child.GetFont());
    EXPECT_EQ(font.m_hObject, child.GetFont()->m_hObject);

    EXPECT_FALSE(child.EnableWindow(FALSE)); // it was enabled
    EXPECT_FALSE(child.IsWindowEnabled());
    EXPECT_TRUE(child.EnableWindow(TRUE));
}

} // namespace

namespace {

// Holds a temporary object across a loop run from inside its handler.
class CHolderWnd : public CWnd {
protected:
    afx_msg LRESULT OnHold(WPARAM wParam, LPARAM) {
        CWnd* pTemp = CWnd::FromHandle(reinterpret_cast<HWND>(wParam));
        KelRunUntilIdle(); // idle time inside a handler
        return pTemp->m_hWnd == reinterpret_cast<HWND>(wParam) && pTemp->GetDlgCtrlID() == 77;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHolderWnd, CWnd)
ON_MESSAGE(WM_USER + 1, OnHold)
END_MESSAGE_MAP()

TEST_F(WindowTest, TemporaryObjectsOutliveALoopRunInsideAHandler) {
    CHolderWnd holder;
    ASSERT_TRUE(
        holder.CreateEx(0, AfxRegisterWndClass(0), "h", WS_POPUP, CRect(0, 0, 50, 50), nullptr, 0));
    HWND foreign = ::CreateWindowEx(0, AfxRegisterWndClass(0), "f", WS_CHILD, 0, 0, 5, 5,
                                    holder.m_hWnd, reinterpret_cast<HMENU>(77), nullptr, nullptr);
    ASSERT_NE(nullptr, foreign);
    EXPECT_EQ(1, holder.SendMessage(WM_USER + 1, reinterpret_cast<WPARAM>(foreign)));
}

} // namespace
