// The loop: pre-translation, accelerators, command routing and command-user-interface
// updates on idle, modal loops and their driver.
#include "TraceWnd.h"

namespace {

using LoopTest = WinTest;

// A dialog-like parent that takes Enter for itself in PreTranslateMessage, and a child that
// takes Escape first.
class CKeyParent : public CTraceWnd {
public:
    using CTraceWnd::CTraceWnd;
    BOOL PreTranslateMessage(MSG* pMsg) override {
        if (pMsg->message == WM_KEYDOWN &&
            (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE)) {
            Log("parent took " + std::to_string(pMsg->wParam));
            return TRUE;
        }
        return FALSE;
    }
};

class CKeyChild : public CTraceWnd {
public:
    using CTraceWnd::CTraceWnd;
    BOOL PreTranslateMessage(MSG* pMsg) override {
        if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE) {
            // Handled here and now, so that the parent never sees it.
            ::TranslateMessage(pMsg);
            ::DispatchMessage(pMsg);
            return TRUE;
        }
        return FALSE;
    }
};

TEST_F(LoopTest, PreTranslateMessageWalksFromTheTargetUpThroughItsParents) {
    std::vector<std::string> log;
    CKeyParent parent(&log, "parent");
    ASSERT_TRUE(parent.CreateTop(CRect(0, 0, 200, 200)));
    CKeyChild child(&log, "child");
    ASSERT_TRUE(child.CreateChild(&parent, CRect(0, 0, 100, 100), 1));
    child.SetFocus();
    log.clear();
    Robot robot;
    robot.Key(VK_RETURN);
    robot.Key(VK_ESCAPE);
    robot.Key(VK_DOWN);
    std::vector<std::string> expected = {"parent:parent took 13", "child:KEYDOWN 27",
                                         "child:KEYDOWN 40"};
    std::vector<std::string> seen;
    for (const auto& e : log)
        if (e.find("KEYDOWN") != std::string::npos || e.find("took") != std::string::npos)
            seen.push_back(e);
    EXPECT_EQ(expected, seen);
}

// Frame, view and document with command handlers at each level.
std::vector<std::string> g_route;

class CRouteDoc : public CDocument {
public:
    BOOL m_bCanDelete = FALSE;

protected:
    afx_msg void OnDocCommand() { g_route.push_back("doc"); }
    afx_msg void OnUpdateDelete(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bCanDelete); }
    afx_msg void OnDelete() { g_route.push_back("delete"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRouteDoc, CDocument)
ON_COMMAND(5601, OnDocCommand)
ON_COMMAND(5602, OnDocCommand)
ON_UPDATE_COMMAND_UI(5502, OnUpdateDelete)
ON_COMMAND(5502, OnDelete)
END_MESSAGE_MAP()

class CRouteView : public CView {
    DECLARE_DYNCREATE(CRouteView)
public:
    void OnDraw(CDC*) override {}

protected:
    afx_msg void OnViewCommand() { g_route.push_back("view"); }
    afx_msg void OnColumn() { g_route.push_back("alt+1"); }
    afx_msg void OnUpdateChecked(CCmdUI* pCmdUI) {
        pCmdUI->SetCheck(1);
        pCmdUI->SetText("Checked");
    }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CRouteView, CView)

BEGIN_MESSAGE_MAP(CRouteView, CView)
ON_COMMAND(5600, OnViewCommand)
ON_COMMAND(5602, OnViewCommand)
ON_COMMAND(5513, OnColumn)
ON_UPDATE_COMMAND_UI(5700, OnUpdateChecked)
END_MESSAGE_MAP()

class CRouteFrame : public CFrameWnd {
protected:
    afx_msg void OnFrameCommand() { g_route.push_back("frame"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRouteFrame, CFrameWnd)
ON_COMMAND(5603, OnFrameCommand)
END_MESSAGE_MAP()

class CRouteApp : public CWinApp {
public:
    CRouteApp() : CWinApp("Route") {}

protected:
    afx_msg void OnAppCommand() { g_route.push_back("app"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRouteApp, CWinApp)
ON_COMMAND(5604, OnAppCommand)
END_MESSAGE_MAP()

// A bar of controls that asks for their state on idle, as toolbars and dialog bars do.
class CTestBar : public CWnd {
public:
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM) override {
        CFrameWnd* pTarget = GetParentFrame();
        if (pTarget != nullptr)
            UpdateDialogControls(pTarget, static_cast<BOOL>(wParam));
        return 0;
    }
};

// A button-like control: it says it is a button and keeps a check state.
class CCheckControl : public CWnd {
public:
    int m_nCheck = 0;

protected:
    afx_msg UINT OnGetDlgCode() { return DLGC_BUTTON; }
    afx_msg LRESULT OnSetCheck(WPARAM wParam, LPARAM) {
        m_nCheck = static_cast<int>(wParam);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCheckControl, CWnd)
ON_WM_GETDLGCODE()
ON_MESSAGE(BM_SETCHECK, OnSetCheck)
END_MESSAGE_MAP()

class FrameFixture : public WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        g_route.clear();
        doc = new CRouteDoc;
        CCreateContext context;
        context.m_pNewViewClass = RUNTIME_CLASS(CRouteView);
        context.m_pCurrentDoc = doc;
        frame = new CRouteFrame;
        ASSERT_TRUE(frame->Create(nullptr, "Frame", WS_OVERLAPPEDWINDOW, CRect(0, 0, 400, 300),
                                  nullptr, nullptr, 0, &context));
        frame->InitialUpdateFrame(doc, TRUE);
        KelRunUntilIdle();
    }
    void TearDown() override {
        // The frame, its view and the document go together.
        if (::IsWindow(frame->m_hWnd))
            frame->DestroyWindow();
        WinTest::TearDown();
    }
    CRouteApp app;
    CRouteDoc* doc = nullptr;
    CRouteFrame* frame = nullptr;
};

using CommandTest = FrameFixture;

TEST_F(CommandTest, CommandsRouteViewDocumentFrameApplication) {
    ASSERT_NE(nullptr, frame->GetActiveView());
    EXPECT_EQ(doc, frame->GetActiveDocument());
    EXPECT_EQ(frame, frame->GetActiveView()->GetParentFrame());
    for (UINT id : {5600u, 5601u, 5602u, 5603u, 5604u, 5605u})
        frame->SendMessage(WM_COMMAND, id, 0);
    // 5602 is handled by the view before the document gets a chance; 5605 by nobody.
    EXPECT_EQ(std::vector<std::string>({"view", "doc", "view", "frame", "app"}), g_route);
}

TEST_F(CommandTest, DisabledCommandIsNotCarriedOutAndUpdatesRunOnIdle) {
    frame->SendMessage(WM_COMMAND, 5502, 0);
    EXPECT_TRUE(g_route.empty()); // its update handler disables it
    doc->m_bCanDelete = TRUE;
    frame->SendMessage(WM_COMMAND, 5502, 0);
    EXPECT_EQ(std::vector<std::string>({"delete"}), g_route);

    CTestBar bar;
    ASSERT_TRUE(bar.Create(nullptr, "bar", WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 20), frame,
                           AFX_IDW_TOOLBAR));
    CWnd deleteButton;
    ASSERT_TRUE(deleteButton.Create(nullptr, "Delete", WS_CHILD | WS_VISIBLE, CRect(0, 0, 20, 20),
                                    &bar, 5502));
    CCheckControl checked;
    ASSERT_TRUE(
        checked.Create(nullptr, "x", WS_CHILD | WS_VISIBLE, CRect(20, 0, 40, 20), &bar, 5700));
    CCheckControl orphan; // a button without any handler
    ASSERT_TRUE(
        orphan.Create(nullptr, "y", WS_CHILD | WS_VISIBLE, CRect(40, 0, 60, 20), &bar, 5799));
    doc->m_bCanDelete = FALSE;
    KelRunUntilIdle();
    EXPECT_FALSE(deleteButton.IsWindowEnabled());
    EXPECT_EQ(1, checked.m_nCheck);
    CString text;
    checked.GetWindowText(text);
    EXPECT_STREQ("Checked", text);
    EXPECT_FALSE(orphan.IsWindowEnabled()); // no handler: disabled

    doc->m_bCanDelete = TRUE;
    KelRunUntilIdle();
    EXPECT_TRUE(deleteButton.IsWindowEnabled());
}

TEST_F(CommandTest, AcceleratorTurnsAltOneIntoACommandThroughTheFrame) {
    HINSTANCE hModule = AfxRegisterModule("KelTestAccel.dll");
    std::vector<ACCEL> table = {{FVIRTKEY | FALT | FNOINVERT, '1', 5513},
                                {FVIRTKEY | FCONTROL, 'D', 5602}};
    AfxSetResource(hModule, RT_ACCELERATOR, MAKEINTRESOURCE(2054), table);
    ASSERT_TRUE(frame->LoadAccelTable(MAKEINTRESOURCE(2054)));
    EXPECT_EQ(frame->m_hAccelTable, ::LoadAccelerators(hModule, MAKEINTRESOURCE(2054)));

    Robot robot;
    frame->GetActiveView()->SetFocus();
    robot.Key('1', Robot::Alt);
    robot.Key('1'); // without Alt it is only a key
    robot.Key('D', Robot::Ctrl);
    robot.Key('D', Robot::Ctrl | Robot::Shift); // other modifiers: no match
    EXPECT_EQ(std::vector<std::string>({"alt+1", "view"}), g_route);
    AfxUnregisterModule(hModule);
}

// A modal window ended by a click of the driver.
class CModalWnd : public CTraceWnd {
public:
    using CTraceWnd::CTraceWnd;

protected:
    afx_msg void OnLButtonUp(UINT, CPoint point) { EndModalLoop(point.x); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CModalWnd, CTraceWnd)
ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

TEST_F(LoopTest, ModalLoopRunsUntilTheDriverEndsIt) {
    CModalWnd modal;
    ASSERT_TRUE(modal.CreateTop(CRect(0, 0, 100, 100)));
    int calls = 0;
    KelSetModalDriver([&](CWnd* pModal) {
        ++calls;
        EXPECT_EQ(&modal, pModal);
        EXPECT_TRUE(pModal->IsWindowVisible());
        Robot().Click(pModal, CPoint(42, 5));
    });
    EXPECT_EQ(42, modal.RunModalLoop());
    EXPECT_EQ(1, calls);
    EXPECT_EQ(1, KelGetModalLoopCount());

    // A queued one-time action comes first, then the driver again.
    KelQueueModalAction([](CWnd* pModal) { pModal->EndModalLoop(7); });
    EXPECT_EQ(7, modal.RunModalLoop());
    EXPECT_EQ(1, calls);
    EXPECT_EQ(42, modal.RunModalLoop());
    EXPECT_EQ(2, calls);
}

TEST_F(LoopTest, ModalLoopThatCanNeverEndReturnsInsteadOfHanging) {
    CModalWnd modal;
    ASSERT_TRUE(modal.CreateTop(CRect(0, 0, 100, 100)));
    testing::internal::CaptureStderr();
    EXPECT_EQ(-1, modal.RunModalLoop());
    EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find("cannot come"));

    // A timer that ends the loop is waited for: the virtual clock moves to it.
    const DWORD t0 = ::GetTickCount();
    ::SetTimer(nullptr, 0, 300,
               [](HWND, UINT, UINT_PTR, DWORD) { CWnd::GetActiveWindow()->EndModalLoop(3); });
    EXPECT_EQ(3, modal.RunModalLoop());
    EXPECT_EQ(t0 + 300, ::GetTickCount());
}

TEST_F(LoopTest, DestroyingTheMainWindowEndsTheApplicationLoop) {
    CWinApp app("Loop");
    CTraceWnd main;
    ASSERT_TRUE(main.CreateTop(CRect(0, 0, 100, 100)));
    app.m_pMainWnd = &main;
    main.PostMessage(WM_CLOSE);
    EXPECT_EQ(0, app.Run()); // WM_CLOSE destroys it; its WM_NCDESTROY posts WM_QUIT
    EXPECT_EQ(nullptr, app.m_pMainWnd);
}

} // namespace
