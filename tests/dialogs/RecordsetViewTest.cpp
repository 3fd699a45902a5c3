// The document view host: a single-document frame over CRecordsetDoc and CRecordsetView, the
// bars the load record describes docked in the frame, the grid filling the view, the grid's
// question for the host's bars, commands reaching the grid (or passing on without one) and the
// search bar's shortcuts.
#include <KelRSList.h>
#include <afxdao.h>
#include <afxext.h>
#include <afxwin.h>

#include "companions/settings/AppRegistry.h"
#include "platform/win/DialogTemplate.h"
#include "platform/win/ToolBarResource.h"
#include "platform/win/Robot.h"
#include "tools/sampledb/SampleDatabase.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr UINT IDR_HOST = 3600;    // the frame's title string
constexpr UINT IDR_RECORDS = 3601; // toolbar of the six record commands
constexpr UINT IDD_TESTBAR = 3602; // a search bar with the controls the view addresses
constexpr UINT IDR_MISSING = 3603; // a toolbar no module has
constexpr UINT ID_APP_ONLY = 3604; // a command only the frame handles

std::vector<std::string> g_events;

KelDialogTemplate TestSearchBar() {
    return KelDialogTemplate(
        "", WS_CHILD | DS_CONTROL, 0, 0, 400, 20,
        {KelDialogItem::ComboBox(IDC_SB_COLUMN, 4, 3, 60, 120, CBS_DROPDOWNLIST | WS_VSCROLL),
         KelDialogItem::ComboBox(IDC_SB_OPERATOR, 68, 3, 60, 120, CBS_DROPDOWNLIST | WS_VSCROLL),
         KelDialogItem::EditText(IDC_SB_CRITERIA, 132, 3, 70, 14, ES_AUTOHSCROLL),
         KelDialogItem::EditText(IDC_SB_FROM, 206, 3, 40, 14, ES_AUTOHSCROLL),
         KelDialogItem::PushButton("Search", IDC_SB_SEARCH, 250, 3, 45, 14),
         KelDialogItem::PushButton("All", IDC_SB_ALL, 298, 3, 40, 14),
         KelDialogItem::PushButton("", IDC_SB_CONFIG, 342, 3, 20, 14)});
}

// A grid derived by a host: it writes down the record commands it is given.
class CCountingCtrl : public CRecordsetCtrl {
    DECLARE_DYNCREATE(CCountingCtrl)
protected:
    afx_msg void OnNew() { g_events.push_back("grid new"); }
    afx_msg void OnPrint() { g_events.push_back("grid print"); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CCountingCtrl, CRecordsetCtrl)
BEGIN_MESSAGE_MAP(CCountingCtrl, CRecordsetCtrl)
ON_COMMAND(ID_RECORD_NEW, OnNew)
ON_COMMAND(ID_RECORD_PRINT, OnPrint)
END_MESSAGE_MAP()

class CHostFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CHostFrame)
protected:
    afx_msg void OnPrint() { g_events.push_back("frame print"); }
    afx_msg void OnAppOnly() { g_events.push_back("frame only"); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CHostFrame, CFrameWnd)
BEGIN_MESSAGE_MAP(CHostFrame, CFrameWnd)
ON_COMMAND(ID_RECORD_PRINT, OnPrint)
ON_COMMAND(ID_APP_ONLY, OnAppOnly)
END_MESSAGE_MAP()

class RecordsetViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        KelResetWindowSystem();
        g_events.clear();
        m_strSavedPath = AppRegistryPath;
        AppRegistryPath = "Software\\KelRSListTest\\RecordsetView\\";
        m_hModule = AfxRegisterModule("KelTestViewHost.dll");
        AfxSetStringResource(m_hModule, IDR_HOST, "Host\nRecords\n");
        AfxSetResource(
            m_hModule, RT_TOOLBAR, MAKEINTRESOURCE(IDR_RECORDS),
            KelToolBarResource(16, 15,
                               {ID_RECORD_NEW, ID_RECORD_OPEN, ID_RECORD_DELETE, ID_SEPARATOR,
                                ID_RECORD_CHOOSE, ID_RECORD_CLOSE, ID_RECORD_PRINT}));
        AfxSetResource(m_hModule, RT_DIALOG, MAKEINTRESOURCE(IDD_TESTBAR), TestSearchBar());
        m_app = std::make_unique<CWinApp>("ViewHost");
        m_app->AddDocTemplate(new CSingleDocTemplate(IDR_HOST, RUNTIME_CLASS(CRecordsetDoc),
                                                     RUNTIME_CLASS(CHostFrame),
                                                     RUNTIME_CLASS(CRecordsetView)));
    }
    void TearDown() override {
        if (m_pFrame != nullptr && ::IsWindow(m_pFrame->GetSafeHwnd()))
            m_pFrame->SendMessage(WM_CLOSE);
        KelResetWindowSystem();
        m_app.reset();
        AfxUnregisterModule(m_hModule);
        AppRegistryPath = m_strSavedPath;
    }

    static std::string Database() {
        const std::filesystem::path dir = std::filesystem::path(KEL_TEST_DATA_DIR) / "dialogs";
        std::filesystem::create_directories(dir);
        return kelsampledb::Cached(dir.string(), 250);
    }
    // A record with a toolbar and the test's search bar, docked as the defaults say.
    CRecordsetLoad* MakeLoad() {
        auto* pLoad = new CRecordsetLoad;
        pLoad->m_strDatabase = Database().c_str();
        pLoad->m_strSQL = "SELECT * FROM Orders";
        pLoad->m_nToolBarID = IDR_RECORDS;
        pLoad->m_nSearchBarID = IDD_TESTBAR;
        pLoad->m_pCtrlClass = RUNTIME_CLASS(CCountingCtrl);
        return pLoad;
    }
    // Opens the document on the record through the template, as a host does.
    void Open(CRecordsetLoad* pLoad) {
        CDocument* pDoc = m_app->OpenDocumentFile(reinterpret_cast<LPCTSTR>(pLoad));
        ASSERT_NE(nullptr, pDoc);
        POSITION pos = pDoc->GetFirstViewPosition();
        CView* pView = pDoc->GetNextView(pos); // the down-cast macro reads its argument twice
        m_pView = DYNAMIC_DOWNCAST(CRecordsetView, pView);
        ASSERT_NE(nullptr, m_pView);
        m_pFrame = m_pView->GetParentFrame();
        m_pFrame->MoveWindow(0, 0, 800, 500);
        KelRunUntilIdle();
    }
    CRect InFrame(CWnd* pWnd) const {
        CRect rc;
        pWnd->GetWindowRect(&rc);
        m_pFrame->ScreenToClient(&rc);
        return rc;
    }

    HINSTANCE m_hModule = nullptr;
    std::unique_ptr<CWinApp> m_app;
    CRecordsetView* m_pView = nullptr;
    CFrameWnd* m_pFrame = nullptr;
    CString m_strSavedPath;
    Robot m_robot;
};

TEST_F(RecordsetViewTest, DressesTheFrameAndFillsTheViewWithTheGrid) {
    Open(MakeLoad());
    CRecordsetCtrl* pGrid = m_pView->GetRecordsetCtrl();
    ASSERT_NE(nullptr, pGrid);
    EXPECT_TRUE(pGrid->IsKindOf(RUNTIME_CLASS(CCountingCtrl)));
    EXPECT_TRUE(pGrid->m_bInView);
    EXPECT_EQ(m_pView, pGrid->GetParent());
    EXPECT_EQ(nullptr, m_pView->GetDocument()->m_pLoad); // consumed
    EXPECT_GT(pGrid->m_arrayTable.GetSize(), 0);         // the first load ran

    // Toolbar on top, search bar at the bottom, the view between them, the grid filling it.
    EXPECT_EQ(&m_pView->m_wndToolBar, m_pFrame->GetControlBar(AFX_IDW_TOOLBAR));
    EXPECT_EQ(&m_pView->m_wndDialogBar, m_pFrame->GetControlBar(ID_RSV_SEARCHBAR));
    CRect client;
    m_pFrame->GetClientRect(&client);
    const CRect tool = InFrame(&m_pView->m_wndToolBar);
    const CRect bar = InFrame(&m_pView->m_wndDialogBar);
    EXPECT_EQ(0, tool.top);
    EXPECT_EQ(client.bottom, bar.bottom);
    EXPECT_EQ(CRect(0, tool.bottom, client.right, bar.top), InFrame(m_pView));
    CRect view, grid;
    m_pView->GetClientRect(&view);
    pGrid->GetWindowRect(&grid);
    m_pView->ScreenToClient(&grid);
    EXPECT_EQ(view, grid);
    EXPECT_TRUE(m_pView->m_wndToolBar.GetBarStyle() & CBRS_TOOLTIPS);

    // The three image buttons carry their images of the library's strip.
    EXPECT_TRUE(m_pView->m_btnView.HasImage());
    EXPECT_EQ(0, m_pView->m_btnView.GetImage());
    EXPECT_EQ(1, m_pView->m_btnAll.GetImage());
    EXPECT_EQ(2, m_pView->m_btnConfigSearch.GetImage());

    // The grid's question for the host's bars.
    RSC_HOSTBARS bars{nullptr, nullptr};
    EXPECT_TRUE(m_pView->SendMessage(WM_RSC_GETHOSTBARS, (WPARAM)&bars, 0));
    EXPECT_EQ(&m_pView->m_wndToolBar, bars.pToolBar);
    EXPECT_EQ(&m_pView->m_wndDialogBar, bars.pSearchBar);

    // Resizing the frame keeps the grid at the view's full client size.
    m_pFrame->MoveWindow(0, 0, 600, 420);
    KelRunUntilIdle();
    m_pView->GetClientRect(&view);
    pGrid->GetWindowRect(&grid);
    m_pView->ScreenToClient(&grid);
    EXPECT_EQ(view, grid);
}

TEST_F(RecordsetViewTest, CommandsReachTheGridBeforeTheFrame) {
    Open(MakeLoad());
    // The frame offers commands to the active view, which hands them to the grid.
    m_pFrame->SendMessage(WM_COMMAND, ID_RECORD_PRINT, 0);
    m_pFrame->SendMessage(WM_COMMAND, ID_RECORD_NEW, 0);
    // One the grid has no handler for goes on to the frame.
    m_pFrame->SendMessage(WM_COMMAND, ID_APP_ONLY, 0);
    EXPECT_EQ((std::vector<std::string>{"grid print", "grid new", "frame only"}), g_events);
    // A toolbar button's click arrives the same way.
    g_events.clear();
    CRect rc;
    m_pView->m_wndToolBar.GetItemRect(0, &rc);
    m_robot.Click(&m_pView->m_wndToolBar, rc.CenterPoint());
    EXPECT_EQ(std::vector<std::string>{"grid new"}, g_events);
}

TEST_F(RecordsetViewTest, WithoutAGridCommandsPassOn) {
    // A toolbar that cannot be loaded stops the initial update before the grid.
    CRecordsetLoad* pLoad = MakeLoad();
    pLoad->m_nToolBarID = IDR_MISSING;
    Open(pLoad);
    EXPECT_EQ(nullptr, m_pView->GetRecordsetCtrl());
    EXPECT_EQ(nullptr, m_pFrame->GetControlBar(ID_RSV_SEARCHBAR));
    m_pFrame->SendMessage(WM_COMMAND, ID_RECORD_PRINT, 0);
    EXPECT_EQ(std::vector<std::string>{"frame print"}, g_events);
    // The record stays with the document, which deletes it.
    EXPECT_NE(nullptr, m_pView->GetDocument()->m_pLoad);
}

TEST_F(RecordsetViewTest, ShortcutsFocusTheSearchBarsControls) {
    Open(MakeLoad());
    // The library's accelerator table, installed by the host.
    ASSERT_TRUE(m_pFrame->LoadAccelTable(MAKEINTRESOURCE(IDR_RSC_ACCELERATORS)));
    m_pView->GetRecordsetCtrl()->SetFocus();
    CDialogBar& bar = m_pView->m_wndDialogBar;
    m_robot.Key('1', Robot::Alt);
    EXPECT_EQ(bar.GetDlgItem(IDC_SB_COLUMN), CWnd::GetFocus());
    m_robot.Key('2', Robot::Alt);
    EXPECT_EQ(bar.GetDlgItem(IDC_SB_OPERATOR), CWnd::GetFocus());
    m_robot.Key('3', Robot::Alt);
    EXPECT_EQ(bar.GetDlgItem(IDC_SB_CRITERIA), CWnd::GetFocus());
    // The single criterion hidden (a two-bound operator): Alt+3 goes to the first bound.
    bar.GetDlgItem(IDC_SB_CRITERIA)->ShowWindow(SW_HIDE);
    m_robot.Key('3', Robot::Alt);
    EXPECT_EQ(bar.GetDlgItem(IDC_SB_FROM), CWnd::GetFocus());
    // Escape in the bar gives the focus back to the grid.
    m_pFrame->SendMessage(WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(m_pView->GetRecordsetCtrl(), CWnd::GetFocus());
    // The view's own focus goes on to the grid.
    m_pView->SetFocus();
    EXPECT_EQ(m_pView->GetRecordsetCtrl(), CWnd::GetFocus());
    // With the bar hidden the shortcuts do nothing.
    m_pFrame->ShowControlBar(&bar, FALSE, FALSE);
    KelRunUntilIdle();
    m_robot.Key('1', Robot::Alt);
    EXPECT_EQ(m_pView->GetRecordsetCtrl(), CWnd::GetFocus());
}

TEST_F(RecordsetViewTest, NoSearchBarNoToolBar) {
    CRecordsetLoad* pLoad = MakeLoad();
    pLoad->m_nToolBarID = 0;
    pLoad->m_nSearchBarID = 0;
    Open(pLoad);
    ASSERT_NE(nullptr, m_pView->GetRecordsetCtrl());
    EXPECT_EQ(nullptr, m_pFrame->GetControlBar(AFX_IDW_TOOLBAR));
    EXPECT_EQ(nullptr, m_pFrame->GetControlBar(ID_RSV_SEARCHBAR));
    RSC_HOSTBARS bars{nullptr, nullptr};
    EXPECT_TRUE(m_pView->SendMessage(WM_RSC_GETHOSTBARS, (WPARAM)&bars, 0));
    EXPECT_EQ(nullptr, bars.pToolBar);
    EXPECT_EQ(nullptr, bars.pSearchBar);
    // The shortcuts have nothing to act on.
    ASSERT_TRUE(m_pFrame->LoadAccelTable(MAKEINTRESOURCE(IDR_RSC_ACCELERATORS)));
    m_pView->GetRecordsetCtrl()->SetFocus();
    for (UINT k : {'1', '2', '3', '4', '5'})
        m_robot.Key(k, Robot::Alt);
    EXPECT_EQ(m_pView->GetRecordsetCtrl(), CWnd::GetFocus());
    // The view is the whole client area of the frame.
    CRect client;
    m_pFrame->GetClientRect(&client);
    EXPECT_EQ(client, InFrame(m_pView));
}

} // namespace

// In the view host the context menu checks the host's bars while they show, and its two
// commands hide and show them; Tab moves the focus to the search bar.
TEST_F(RecordsetViewTest, ContextMenuTogglesTheHostsBars) {
    Open(MakeLoad());
    CRecordsetCtrl* pGrid = m_pView->GetRecordsetCtrl();
    ASSERT_NE(nullptr, pGrid);
    auto states = [&](UINT nID) {
        CMenu menu;
        pGrid->BuildMenu(&menu);
        const UINT nState = menu.GetSubMenu(0)->GetMenuState(nID, MF_BYCOMMAND);
        menu.DestroyMenu();
        return nState;
    };
    EXPECT_TRUE(states(ID_CM_SHOWTOOLBAR) & MF_CHECKED);
    EXPECT_TRUE(states(ID_CM_SHOWSEARCHBAR) & MF_CHECKED);
    EXPECT_FALSE(states(ID_CM_SHOWTOOLBAR) & MF_GRAYED);

    pGrid->SendMessage(WM_COMMAND, ID_CM_SHOWTOOLBAR, 0);
    KelRunUntilIdle();
    EXPECT_FALSE(m_pView->m_wndToolBar.IsWindowVisible());
    EXPECT_FALSE(states(ID_CM_SHOWTOOLBAR) & MF_CHECKED);
    pGrid->SendMessage(WM_COMMAND, ID_CM_SHOWSEARCHBAR, 0);
    KelRunUntilIdle();
    EXPECT_FALSE(m_pView->m_wndDialogBar.IsWindowVisible());
    EXPECT_FALSE(states(ID_CM_SHOWSEARCHBAR) & MF_CHECKED);
    pGrid->SendMessage(WM_COMMAND, ID_CM_SHOWTOOLBAR, 0);
    pGrid->SendMessage(WM_COMMAND, ID_CM_SHOWSEARCHBAR, 0);
    KelRunUntilIdle();
    EXPECT_TRUE(m_pView->m_wndToolBar.IsWindowVisible());
    EXPECT_TRUE(m_pView->m_wndDialogBar.IsWindowVisible());

    // Tab from the grid goes to the search bar while it shows.
    pGrid->SetFocus();
    m_robot.Key(VK_TAB);
    KelRunUntilIdle();
    EXPECT_TRUE(m_pView->m_wndDialogBar.IsChild(CWnd::GetFocus()));
}
