// A document template's frame dressed by its view at the initial update: a toolbar docked at
// the top, a dialog bar docked at the bottom, the view laid out between them; commands and
// combo-box notifications of the bars reaching the view; idle updates of the buttons; showing
// and hiding bars; docking on a side.
#include "ControlTest.h"

#include <afxext.h>

#include <cstring>

namespace {

constexpr UINT IDR_BARS = 3500;      // frame resources: title, accelerators
constexpr UINT IDR_TOOLS = 3501;     // toolbar and its bitmap strip
constexpr UINT IDD_SEARCHBAR = 3502; // the dialog bar's template
constexpr UINT ID_NEW = 5500, ID_OPEN = 5501, ID_PRINT = 5505, ID_FOCUS_COLUMN = 5513;
constexpr int IDC_COLUMN = 9440, IDC_CRITERION = 9431, IDC_SEARCH = 9438, IDC_ALL = 9439;
constexpr UINT ID_SEARCHBAR = 200;

std::vector<std::string> g_events;

KelBitmapResource ToolStrip() {
    // Three 16 x 15 images on light grey: a black square, a blue bar, a red dot.
    KelBitmapResource bmp;
    bmp.cx = 48;
    bmp.cy = 15;
    bmp.pixels.assign(48 * 15, RGB(192, 192, 192));
    for (int y = 3; y < 12; ++y) {
        for (int x = 3; x < 12; ++x) {
            bmp.pixels[static_cast<size_t>(y) * 48 + x] = RGB(0, 0, 0);
            if (y > 5 && y < 9)
                bmp.pixels[static_cast<size_t>(y) * 48 + 16 + x] = RGB(0, 0, 128);
            if ((x - 7) * (x - 7) + (y - 7) * (y - 7) < 12)
                bmp.pixels[static_cast<size_t>(y) * 48 + 32 + x] = RGB(128, 0, 0);
        }
    }
    return bmp;
}

KelDialogTemplate SearchBar() {
    return KelDialogTemplate(
        "", WS_CHILD | DS_CONTROL, 0, 0, 310, 20,
        {KelDialogItem::ComboBox(IDC_COLUMN, 7, 3, 73, 120, CBS_DROPDOWNLIST | WS_VSCROLL),
         KelDialogItem::EditText(IDC_CRITERION, 138, 3, 71, 14, ES_AUTOHSCROLL),
         KelDialogItem::DefPushButton("Search", IDC_SEARCH, 214, 3, 49, 14),
         KelDialogItem::PushButton("All", IDC_ALL, 266, 3, 40, 14)});
}

class CBarsDoc : public CDocument {
    DECLARE_DYNCREATE(CBarsDoc)
};
IMPLEMENT_DYNCREATE(CBarsDoc, CDocument)

class CBarsFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CBarsFrame)
};
IMPLEMENT_DYNCREATE(CBarsFrame, CFrameWnd)

class CBarsView : public CView {
    DECLARE_DYNCREATE(CBarsView)
public:
    CToolBar m_wndToolBar;
    CDialogBar m_wndDialogBar;
    CComboBox m_wndColumn; // the bar's combo box, subclassed
    int m_nInitial = 0;

    void OnDraw(CDC* pDC) override {
        CRect rc;
        GetClientRect(&rc);
        pDC->FillSolidRect(&rc, RGB(255, 255, 255));
    }
    void OnInitialUpdate() override {
        ++m_nInitial;
        CFrameWnd* pFrame = GetParentFrame();
        pFrame->EnableDocking(CBRS_ALIGN_ANY);
        if (m_wndToolBar.Create(pFrame, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR) &&
            m_wndToolBar.LoadToolBar(IDR_TOOLS)) {
            m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
            pFrame->DockControlBar(&m_wndToolBar, AFX_IDW_DOCKBAR_TOP);
        }
        if (m_wndDialogBar.Create(pFrame, IDD_SEARCHBAR, CBRS_TOP | CBRS_TOOLTIPS | CBRS_FLYBY,
                                  ID_SEARCHBAR)) {
            m_wndDialogBar.EnableDocking(CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM);
            pFrame->DockControlBar(&m_wndDialogBar, AFX_IDW_DOCKBAR_BOTTOM);
            m_wndColumn.SubclassDlgItem(IDC_COLUMN, &m_wndDialogBar);
            for (LPCTSTR s : {"Name", "Amount", "Date"})
                m_wndColumn.AddString(s);
        }
        pFrame->RecalcLayout(TRUE);
        CView::OnInitialUpdate();
    }

protected:
    afx_msg void OnNew() { g_events.push_back("new"); }
    afx_msg void OnOpen() { g_events.push_back("open"); }
    afx_msg void OnUpdateOpen(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    afx_msg void OnUpdateNew(CCmdUI* pCmdUI) { pCmdUI->SetCheck(1); }
    afx_msg void OnUpdateAll(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bAllowAll); }

public:
    BOOL m_bAllowAll = FALSE;

protected:
    afx_msg void OnColumnChosen() {
        g_events.push_back("column " + std::to_string(m_wndColumn.GetCurSel()));
    }
    afx_msg void OnSearch() { g_events.push_back("search"); }
    afx_msg void OnAll() { g_events.push_back("all"); }
    afx_msg void OnCancelBar() { g_events.push_back("cancel"); }
    afx_msg void OnFocusColumn() {
        g_events.push_back("alt+1");
        m_wndDialogBar.GetDlgItem(IDC_COLUMN)->SetFocus();
    }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CBarsView, CView)

BEGIN_MESSAGE_MAP(CBarsView, CView)
ON_COMMAND(ID_NEW, OnNew)
ON_COMMAND(ID_OPEN, OnOpen)
ON_UPDATE_COMMAND_UI(ID_OPEN, OnUpdateOpen)
ON_UPDATE_COMMAND_UI(ID_NEW, OnUpdateNew)
ON_UPDATE_COMMAND_UI(IDC_ALL, OnUpdateAll)
ON_CBN_SELENDOK(IDC_COLUMN, OnColumnChosen)
ON_COMMAND(IDC_SEARCH, OnSearch)
ON_COMMAND(IDC_ALL, OnAll)
ON_COMMAND(IDCANCEL, OnCancelBar)
ON_COMMAND(ID_FOCUS_COLUMN, OnFocusColumn)
END_MESSAGE_MAP()

class FrameBarTest : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        g_events.clear();
        hModule = AfxRegisterModule("KelTestBars.dll");
        AfxSetStringResource(hModule, IDR_BARS, "Bars\nRecords\n");
        AfxSetStringResource(hModule, ID_NEW, "Create a record\nNew record");
        AfxSetStringResource(hModule, IDC_CRITERION, "Enter the criteria here (Alt+3)");
        AfxSetResource(hModule, RT_ACCELERATOR, MAKEINTRESOURCE(IDR_BARS),
                       std::vector<ACCEL>{{FVIRTKEY | FALT, '1', ID_FOCUS_COLUMN}});
        AfxSetResource(hModule, RT_TOOLBAR, MAKEINTRESOURCE(IDR_TOOLS),
                       KelToolBarResource(16, 15, {ID_NEW, ID_OPEN, ID_SEPARATOR, ID_PRINT}));
        KelSetBitmapResource(hModule, IDR_TOOLS, ToolStrip());
        AfxSetResource(hModule, RT_DIALOG, MAKEINTRESOURCE(IDD_SEARCHBAR), SearchBar());
        app = std::make_unique<CWinApp>("Bars");
        app->AddDocTemplate(new CSingleDocTemplate(IDR_BARS, RUNTIME_CLASS(CBarsDoc),
                                                   RUNTIME_CLASS(CBarsFrame),
                                                   RUNTIME_CLASS(CBarsView)));
        CDocument* pDoc = app->OpenDocumentFile(nullptr);
        ASSERT_NE(nullptr, pDoc);
        POSITION pos = pDoc->GetFirstViewPosition();
        view = dynamic_cast<CBarsView*>(pDoc->GetNextView(pos));
        ASSERT_NE(nullptr, view);
        frame = view->GetParentFrame();
        frame->MoveWindow(0, 0, 640, 480);
        KelRunUntilIdle();
    }
    void TearDown() override {
        if (frame != nullptr && ::IsWindow(frame->GetSafeHwnd()))
            frame->SendMessage(WM_CLOSE);
        KelResetWindowSystem();
        app.reset();
        AfxUnregisterModule(hModule);
        ControlTest::TearDown();
    }
    // A window's rectangle in the frame's client coordinates.
    CRect InFrame(CWnd* pWnd) {
        CRect rc;
        pWnd->GetWindowRect(&rc);
        frame->ScreenToClient(&rc);
        return rc;
    }

    HINSTANCE hModule = nullptr;
    std::unique_ptr<CWinApp> app;
    CBarsView* view = nullptr;
    CFrameWnd* frame = nullptr;
};

TEST_F(FrameBarTest, BarsOnTheirSidesAndTheViewBetweenThem) {
    EXPECT_EQ(1, view->m_nInitial);
    EXPECT_EQ(&view->m_wndToolBar, frame->GetControlBar(AFX_IDW_TOOLBAR));
    EXPECT_EQ(&view->m_wndDialogBar, frame->GetControlBar(ID_SEARCHBAR));
    EXPECT_EQ(nullptr, frame->GetControlBar(0x1234));
    EXPECT_NE(nullptr, frame->GetControlBar(AFX_IDW_DOCKBAR_TOP));
    CRect client;
    frame->GetClientRect(&client);
    const CRect tool = InFrame(&view->m_wndToolBar);
    const CRect bar = InFrame(&view->m_wndDialogBar);
    const CRect pane = InFrame(view);
    EXPECT_EQ(0, tool.top);
    EXPECT_GT(tool.Height(), 20);
    EXPECT_EQ(client.bottom, bar.bottom);
    EXPECT_EQ(30, bar.Height()); // 20 dialog units of an 8-point font
    EXPECT_EQ(465, bar.Width()); // 310 dialog units
    EXPECT_EQ(CRect(0, tool.bottom, client.right, bar.top), pane);
    // The dialog bar took the bottom side.
    EXPECT_TRUE(view->m_wndDialogBar.GetBarStyle() & CBRS_ALIGN_BOTTOM);
    EXPECT_FALSE(view->m_wndDialogBar.GetBarStyle() & CBRS_ALIGN_TOP);

    // Resizing the frame lays everything out again.
    frame->MoveWindow(0, 0, 500, 400);
    frame->GetClientRect(&client);
    EXPECT_EQ(CRect(0, tool.bottom, client.right, client.bottom - bar.Height()), InFrame(view));
    KelRunUntilIdle();
    SavePicture(frame, "frame-bars");
}

TEST_F(FrameBarTest, ALayoutQueryMeasuresWithoutMovingTheBars) {
    const CRect tool = InFrame(&view->m_wndToolBar);
    // Narrower than the toolbar: a real layout would cut it to that width.
    const CRect narrow(0, 0, 30, 300);
    CRect rest;
    frame->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposQuery, &rest, &narrow);
    EXPECT_EQ(CRect(0, tool.Height(), 30, 300 - 30), rest); // the dialog bar is 30 high
    EXPECT_EQ(tool, InFrame(&view->m_wndToolBar));
}

TEST_F(FrameBarTest, ShowControlBarLaysTheViewOutAgain) {
    CRect client;
    frame->GetClientRect(&client);
    const int toolHeight = InFrame(&view->m_wndToolBar).Height();
    frame->ShowControlBar(&view->m_wndToolBar, FALSE, FALSE);
    EXPECT_FALSE(view->m_wndToolBar.IsWindowVisible());
    EXPECT_EQ(0, InFrame(view).top);
    frame->ShowControlBar(&view->m_wndDialogBar, FALSE, FALSE);
    EXPECT_EQ(CRect(0, 0, client.right, client.bottom), InFrame(view));
    frame->ShowControlBar(&view->m_wndToolBar, TRUE, FALSE);
    EXPECT_EQ(toolHeight, InFrame(view).top);
    // Put off: nothing changes until idle time.
    frame->ShowControlBar(&view->m_wndDialogBar, TRUE, TRUE);
    EXPECT_FALSE(view->m_wndDialogBar.IsWindowVisible());
    EXPECT_TRUE(view->m_wndDialogBar.IsVisible());
    EXPECT_EQ(client.bottom, InFrame(view).bottom);
    KelRunUntilIdle();
    EXPECT_TRUE(view->m_wndDialogBar.IsWindowVisible());
    EXPECT_EQ(client.bottom - 30, InFrame(view).bottom);
}

TEST_F(FrameBarTest, ToolbarButtonsCommandTheViewAndFollowItsUpdateHandlers) {
    CToolBar& tb = view->m_wndToolBar;
    EXPECT_EQ(4, tb.GetCount());
    EXPECT_EQ(3, tb.CommandToIndex(ID_PRINT));
    EXPECT_EQ(-1, tb.CommandToIndex(4711));
    EXPECT_EQ(static_cast<UINT>(ID_SEPARATOR), tb.GetItemID(2));
    // Idle time asked the view: Open disabled by its handler, Print without a handler
    // disabled, New enabled and checked.
    EXPECT_TRUE(tb.GetButtonStyle(1) & TBBS_DISABLED);
    EXPECT_TRUE(tb.GetButtonStyle(3) & TBBS_DISABLED);
    EXPECT_FALSE(tb.GetButtonStyle(0) & TBBS_DISABLED);
    EXPECT_TRUE(tb.GetButtonStyle(0) & TBBS_CHECKED);
    CRect rcNew, rcOpen;
    tb.GetItemRect(0, &rcNew);
    tb.GetItemRect(1, &rcOpen);
    EXPECT_EQ(rcNew.right, rcOpen.left);
    Robot robot;
    robot.Click(&tb, rcNew.CenterPoint());
    robot.Click(&tb, rcOpen.CenterPoint()); // disabled: nothing
    EXPECT_EQ(std::vector<std::string>({"new"}), g_events);
    // SetButtonInfo changes a button's command, style and image.
    tb.SetButtonInfo(3, ID_OPEN, TBBS_BUTTON, 0);
    EXPECT_EQ(1, tb.CommandToIndex(ID_OPEN)); // the first button with that command
    UINT id = 0, style = 0;
    int image = -1;
    tb.GetButtonInfo(3, id, style, image);
    EXPECT_EQ(static_cast<UINT>(ID_OPEN), id);
    EXPECT_EQ(0, image);
}

TEST_F(FrameBarTest, DialogBarCommandsAndSelectionsReachTheView) {
    CDialogBar& db = view->m_wndDialogBar;
    HWND hCombo = db.GetDlgItem(IDC_COLUMN)->GetSafeHwnd();
    Robot robot;
    robot.Click(CWnd::FromHandle(hCombo), CPoint(10, 8));
    CRect rc;
    ::GetWindowRect(hCombo, &rc);
    const int h = static_cast<int>(::SendMessage(hCombo, CB_GETITEMHEIGHT, 0, 0));
    // The list drops below the field (the screen has room for it there).
    ASSERT_TRUE(::SendMessage(hCombo, CB_GETDROPPEDSTATE, 0, 0));
    robot.ClickScreen(CPoint(rc.left + 10, rc.bottom + 1 + h / 2));
    EXPECT_EQ(std::vector<std::string>({"column 0"}), g_events);
    // Keys in the bar: arrows choose, Enter is the default button, Escape is Cancel.
    robot.Key(VK_DOWN);
    EXPECT_EQ("column 1", g_events.back());
    robot.Key(VK_TAB);
    EXPECT_EQ(db.GetDlgItem(IDC_CRITERION)->GetSafeHwnd(), ::GetFocus());
    robot.Type("abc");
    robot.Key(VK_RETURN);
    EXPECT_EQ("search", g_events.back());
    robot.Key(VK_ESCAPE);
    EXPECT_EQ("cancel", g_events.back());
    // The view's update handler keeps "All" disabled until it allows it (at idle time).
    EXPECT_FALSE(db.GetDlgItem(IDC_ALL)->IsWindowEnabled());
    robot.Click(db.GetDlgItem(IDC_ALL), CPoint(5, 5));
    EXPECT_NE("all", g_events.back());
    view->m_bAllowAll = TRUE;
    KelRunUntilIdle();
    EXPECT_TRUE(db.GetDlgItem(IDC_ALL)->IsWindowEnabled());
    robot.Click(db.GetDlgItem(IDC_ALL), CPoint(5, 5));
    EXPECT_EQ("all", g_events.back());
    // The frame's accelerators win over the bar's dialog keys.
    robot.Key('1', Robot::Alt);
    EXPECT_EQ("alt+1", g_events.back());
    EXPECT_EQ(hCombo, ::GetFocus());
}

TEST_F(FrameBarTest, ABarDockedOnTheLeftStandsUpright) {
    CToolBar& tb = view->m_wndToolBar;
    frame->DockControlBar(&tb, AFX_IDW_DOCKBAR_LEFT);
    KelRunUntilIdle(); // docking lays the frame out at idle time
    const CRect rcBar = InFrame(&tb);
    EXPECT_EQ(0, rcBar.left);
    EXPECT_GT(rcBar.Height(), rcBar.Width());
    EXPECT_EQ(rcBar.right, InFrame(view).left);
    EXPECT_EQ(0, InFrame(view).top);
    CRect b0, b1;
    tb.GetItemRect(0, &b0);
    tb.GetItemRect(1, &b1);
    EXPECT_EQ(b0.bottom, b1.top); // one button under the other
    // A side the bar does not allow docks nothing.
    view->m_wndDialogBar.EnableDocking(CBRS_ALIGN_BOTTOM);
    frame->DockControlBar(&view->m_wndDialogBar, AFX_IDW_DOCKBAR_RIGHT);
    EXPECT_TRUE(view->m_wndDialogBar.GetBarStyle() & CBRS_ALIGN_BOTTOM);
}

// The visible tooltip window's text, empty when none shows.
CString ShownTip() {
    for (HWND h = ::GetWindow(::GetDesktopWindow(), GW_CHILD); h != nullptr;
         h = ::GetWindow(h, GW_HWNDNEXT)) {
        char cls[32] = {};
        ::GetClassName(h, cls, sizeof(cls));
        if (std::strcmp(cls, TOOLTIPS_CLASS) != 0 || !::IsWindowVisible(h))
            continue;
        TOOLINFO ti{};
        ti.cbSize = sizeof(ti);
        if (!::SendMessage(h, TTM_GETCURRENTTOOL, 0, reinterpret_cast<LPARAM>(&ti)))
            continue;
        char text[128] = {};
        ti.lpszText = text;
        ::SendMessage(h, TTM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(&ti));
        return CString(text);
    }
    return CString();
}

TEST_F(FrameBarTest, BarsWithTooltipsShowTheirToolsStrings) {
    Robot robot;
    // The dialog bar was made with CBRS_TOOLTIPS: its controls' strings.
    robot.Move(view->m_wndDialogBar.GetDlgItem(IDC_CRITERION), CPoint(10, 5));
    robot.Wait(600);
    EXPECT_STREQ("Enter the criteria here (Alt+3)", ShownTip());
    robot.Move(view->m_wndDialogBar.GetDlgItem(IDC_ALL), CPoint(5, 5)); // no string: no tip
    robot.Wait(600);
    EXPECT_STREQ("", ShownTip());
    // The toolbar without the style shows nothing; with it, the part after the newline.
    CToolBar& tb = view->m_wndToolBar;
    CRect rc;
    tb.GetItemRect(0, &rc);
    robot.Move(&tb, rc.CenterPoint());
    robot.Wait(600);
    EXPECT_STREQ("", ShownTip());
    tb.SetBarStyle(tb.GetBarStyle() | CBRS_TOOLTIPS);
    robot.Move(&tb, rc.CenterPoint() + CPoint(1, 0));
    robot.Wait(600);
    EXPECT_STREQ("New record", ShownTip());
}

} // namespace
