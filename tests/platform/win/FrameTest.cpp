// Documents shown in frames: templates, the active view and document, multiple-document
// frames, layout around control bars, closing.
#include "TraceWnd.h"

namespace {

int g_docsAlive = 0;
std::vector<std::string> g_cmds;

class CNoteDoc : public CDocument {
    DECLARE_DYNCREATE(CNoteDoc)
public:
    CNoteDoc() { ++g_docsAlive; }
    ~CNoteDoc() override { --g_docsAlive; }
    BOOL OnNewDocument() override {
        if (!CDocument::OnNewDocument())
            return FALSE;
        return !m_bRefuseNew;
    }
    static bool m_bRefuseNew;
};
bool CNoteDoc::m_bRefuseNew = false;
IMPLEMENT_DYNCREATE(CNoteDoc, CDocument)

class CNoteView : public CView {
    DECLARE_DYNCREATE(CNoteView)
public:
    void OnDraw(CDC* pDC) override {
        CRect rc;
        GetClientRect(&rc);
        pDC->FillSolidRect(&rc, RGB(0, 128, 0));
    }
    int m_nInitial = 0;
    void OnInitialUpdate() override {
        ++m_nInitial;
        CView::OnInitialUpdate();
    }

protected:
    afx_msg void OnSearch() {
        CString title;
        GetParentFrame()->GetWindowText(title);
        g_cmds.push_back("search in " + std::string(title));
    }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CNoteView, CView)

BEGIN_MESSAGE_MAP(CNoteView, CView)
ON_COMMAND(5516, OnSearch)
END_MESSAGE_MAP()

class CNoteFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CNoteFrame)
};
IMPLEMENT_DYNCREATE(CNoteFrame, CFrameWnd)

class CNoteChild : public CMDIChildWnd {
    DECLARE_DYNCREATE(CNoteChild)
};
IMPLEMENT_DYNCREATE(CNoteChild, CMDIChildWnd)

// A bar at the top of its frame, 20 pixels high, taking its room through WM_SIZEPARENT.
class CTopBar : public CWnd {
protected:
    afx_msg LRESULT OnSizeParent(WPARAM, LPARAM lParam) {
        auto* layout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
        CRect rc(layout->rect.left, layout->rect.top, layout->rect.right, layout->rect.top + 20);
        AfxRepositionWindow(layout, m_hWnd, &rc);
        layout->rect.top += 20;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTopBar, CWnd)
ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
END_MESSAGE_MAP()

constexpr UINT IDR_NOTES = 3100;

class FrameTest : public WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        g_cmds.clear();
        CNoteDoc::m_bRefuseNew = false;
        hModule = AfxRegisterModule("KelTestFrames.dll");
        AfxSetStringResource(hModule, IDR_NOTES, "Notes\nNote\n");
        std::vector<ACCEL> table = {{FVIRTKEY | FALT, '4', 5516}};
        AfxSetResource(hModule, RT_ACCELERATOR, MAKEINTRESOURCE(IDR_NOTES), table);
    }
    void TearDown() override {
        KelResetWindowSystem();
        AfxUnregisterModule(hModule);
        WinTest::TearDown();
    }
    HINSTANCE hModule = nullptr;
};

TEST_F(FrameTest, SingleDocumentTemplateShowsADocumentWithOneView) {
    CWinApp app("Notebook");
    app.AddDocTemplate(new CSingleDocTemplate(IDR_NOTES, RUNTIME_CLASS(CNoteDoc),
                                              RUNTIME_CLASS(CNoteFrame), RUNTIME_CLASS(CNoteView)));
    CDocument* pDoc = app.OpenDocumentFile(nullptr);
    ASSERT_NE(nullptr, pDoc);
    EXPECT_EQ(1, g_docsAlive);
    EXPECT_STREQ("Note", pDoc->GetTitle()); // the template's document name

    POSITION pos = pDoc->GetFirstViewPosition();
    auto* pView = dynamic_cast<CNoteView*>(pDoc->GetNextView(pos));
    ASSERT_NE(nullptr, pView);
    EXPECT_EQ(1, pView->m_nInitial);
    CFrameWnd* pFrame = pView->GetParentFrame();
    ASSERT_NE(nullptr, pFrame);
    EXPECT_EQ(pView, pFrame->GetActiveView());
    EXPECT_EQ(pDoc, pFrame->GetActiveDocument());
    CString title;
    pFrame->GetWindowText(title);
    EXPECT_STREQ("Note - Notes", title);
    EXPECT_TRUE(pFrame->IsWindowVisible());

    // A window inside the view finds the frame; the view fills the frame's client area.
    CWnd inner;
    ASSERT_TRUE(
        inner.Create(nullptr, "inner", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), pView, 1));
    EXPECT_EQ(pFrame, inner.GetParentFrame());
    CRect frameClient, viewRect;
    pFrame->GetClientRect(&frameClient);
    pView->GetWindowRect(&viewRect);
    pFrame->ScreenToClient(&viewRect);
    EXPECT_EQ(frameClient, viewRect);
    inner.DestroyWindow();

    // The frame's accelerators come from the template's resource.
    KelRunUntilIdle();
    Robot().Key('4', Robot::Alt);
    EXPECT_EQ(std::vector<std::string>({"search in Note - Notes"}), g_cmds);

    // Closing the frame closes the document with it.
    pFrame->SendMessage(WM_CLOSE);
    EXPECT_EQ(0, g_docsAlive);
    KelRunUntilIdle();
}

TEST_F(FrameTest, DocumentThatCannotBeCreatedTakesItsFrameAway) {
    CWinApp app("Notebook");
    auto* pTemplate = new CMultiDocTemplate(IDR_NOTES, RUNTIME_CLASS(CNoteDoc),
                                            RUNTIME_CLASS(CNoteFrame), RUNTIME_CLASS(CNoteView));
    app.AddDocTemplate(pTemplate);
    CNoteDoc::m_bRefuseNew = true;
    EXPECT_EQ(nullptr, pTemplate->OpenDocumentFile(nullptr));
    EXPECT_EQ(0, g_docsAlive);
    EXPECT_EQ(nullptr, ::GetTopWindow(nullptr)); // no frame was left behind
}

TEST_F(FrameTest, ControlBarsTakeTheirRoomAndTheViewGetsTheRest) {
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CNoteView);
    auto* pFrame = new CNoteFrame;
    ASSERT_TRUE(pFrame->Create(nullptr, "Bars", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               CRect(0, 0, 300, 200), nullptr, nullptr, 0, &context));
    CTopBar bar;
    ASSERT_TRUE(bar.Create(nullptr, "bar", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), pFrame,
                           AFX_IDW_TOOLBAR));
    pFrame->RecalcLayout();
    CRect client, barRect, viewRect;
    pFrame->GetClientRect(&client);
    bar.GetWindowRect(&barRect);
    pFrame->ScreenToClient(&barRect);
    CWnd* pView = pFrame->GetDlgItem(AFX_IDW_PANE_FIRST);
    ASSERT_NE(nullptr, pView);
    pView->GetWindowRect(&viewRect);
    pFrame->ScreenToClient(&viewRect);
    EXPECT_EQ(CRect(0, 0, client.right, 20), barRect);
    EXPECT_EQ(CRect(0, 20, client.right, client.bottom), viewRect);

    // Resizing the frame lays it out again.
    pFrame->MoveWindow(0, 0, 400, 300);
    pFrame->GetClientRect(&client);
    pView->GetWindowRect(&viewRect);
    pFrame->ScreenToClient(&viewRect);
    EXPECT_EQ(CRect(0, 20, client.right, client.bottom), viewRect);
    bar.DestroyWindow();
    pFrame->DestroyWindow();
}

TEST_F(FrameTest, MultipleDocumentFrameKnowsItsActiveChild) {
    CWinApp app("Notebook");
    auto* pMain = new CMDIFrameWnd;
    ASSERT_TRUE(
        pMain->Create(nullptr, "Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 640, 480)));
    app.m_pMainWnd = pMain;
    auto* pTemplate = new CMultiDocTemplate(IDR_NOTES, RUNTIME_CLASS(CNoteDoc),
                                            RUNTIME_CLASS(CNoteChild), RUNTIME_CLASS(CNoteView));
    app.AddDocTemplate(pTemplate);
    EXPECT_EQ(nullptr, pMain->MDIGetActive());

    CDocument* pFirst = pTemplate->OpenDocumentFile(nullptr);
    CDocument* pSecond = pTemplate->OpenDocumentFile(nullptr);
    ASSERT_NE(nullptr, pFirst);
    ASSERT_NE(nullptr, pSecond);
    auto frameOf = [](CDocument* pDoc) {
        POSITION pos = pDoc->GetFirstViewPosition();
        return pDoc->GetNextView(pos)->GetParentFrame();
    };
    CFrameWnd* pFirstFrame = frameOf(pFirst);
    CFrameWnd* pSecondFrame = frameOf(pSecond);
    EXPECT_TRUE(pSecondFrame->IsKindOf(RUNTIME_CLASS(CMDIChildWnd)));
    BOOL bMaximized = TRUE;
    EXPECT_EQ(pSecondFrame, pMain->MDIGetActive(&bMaximized));
    EXPECT_FALSE(bMaximized);
    EXPECT_EQ(pSecondFrame, pMain->GetActiveFrame());

    // A click in the first child's view makes it the active child.
    KelRunUntilIdle();
    POSITION pos = pFirst->GetFirstViewPosition();
    CView* pFirstView = pFirst->GetNextView(pos);
    Robot().Click(pFirstView, CPoint(5, 5));
    EXPECT_EQ(pFirstFrame, pMain->MDIGetActive());
    EXPECT_EQ(pFirstView, CWnd::GetFocus());

    // Commands sent to the main frame reach the active child's view.
    pMain->SendMessage(WM_COMMAND, 5516, 0);
    ASSERT_EQ(1u, g_cmds.size());
    // The child's accelerators work through the main frame.
    Robot().Key('4', Robot::Alt);
    EXPECT_EQ(2u, g_cmds.size());

    // Closing the active child activates the other one.
    pFirstFrame->SendMessage(WM_CLOSE);
    EXPECT_EQ(pSecondFrame, pMain->MDIGetActive());
    EXPECT_EQ(1, g_docsAlive);
    pMain->SendMessage(WM_CLOSE); // the main frame closes every document, then itself
    EXPECT_EQ(0, g_docsAlive);
    EXPECT_EQ(nullptr, app.m_pMainWnd);
}

} // namespace
