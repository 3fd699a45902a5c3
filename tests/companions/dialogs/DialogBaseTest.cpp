// The dialog bases: controls kept current on idle, tooltips from the string table, toolbars
// along the sides with their commands passed on, and the dialog bar with tooltips.
#include "../controls/CompanionTest.h"

#include <KelDialogs.h>

#include <cstring>

namespace {

constexpr UINT IDD_LIST = 410, IDD_BAR = 411;
constexpr UINT IDR_TOOLS = 412, IDR_SIDE = 413;
constexpr int IDC_FRAME = 5130, IDC_DESCRIPTION = 5039, IDC_ADD = 5117, IDC_NAME = 9431;
constexpr UINT ID_NEW = 5500, ID_OPEN = 5501, ID_DELETE = 5502, ID_CHOOSE = 5503, ID_PRINT = 5505;

KelBitmapResource Strip(int images) {
    KelBitmapResource b;
    b.cx = 16 * images;
    b.cy = 15;
    b.pixels.assign(static_cast<size_t>(b.cx * b.cy), RGB(0, 0, 128));
    return b;
}

// A dialog whose Add button is enabled only while the name field holds text.
class CNameDialog : public CExDialog {
public:
    explicit CNameDialog(UINT nID) : CExDialog(nID) {}

protected:
    void OnUpdateAdd(CCmdUI* pCmdUI) {
        CString name;
        GetDlgItemText(IDC_NAME, name);
        pCmdUI->Enable(!name.IsEmpty());
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CNameDialog, CExDialog)
ON_UPDATE_COMMAND_UI(IDC_ADD, OnUpdateAdd)
END_MESSAGE_MAP()

// What a grid does for a chooser: it answers the state of Delete, handles Print, and sends
// Choose back to its parent.
class CGridStandIn : public CWnd {
public:
    BOOL m_bCanDelete = FALSE;
    int m_nPrints = 0;

protected:
    void OnUpdateDelete(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bCanDelete); }
    void OnPrint() { ++m_nPrints; }
    void OnChoose() { GetParent()->SendMessage(WM_COMMAND, ID_CHOOSE); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CGridStandIn, CWnd)
ON_UPDATE_COMMAND_UI(ID_DELETE, OnUpdateDelete)
ON_COMMAND(ID_PRINT, OnPrint)
ON_COMMAND(ID_CHOOSE, OnChoose)
END_MESSAGE_MAP()

class CChooser : public CToolBarDialog {
public:
    CChooser() : CToolBarDialog(IDD_LIST) {}
    std::vector<UINT> commands;
    CGridStandIn grid;

protected:
    BOOL OnInitDialog() override {
        CToolBarDialog::OnInitDialog();
        CRect rc;
        GetDlgItem(IDC_FRAME)->GetWindowRect(&rc);
        ScreenToClient(&rc);
        grid.Create(nullptr, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, rc, this, 77);
        grid.SetFocus();
        return FALSE;
    }
    void OnNew() { commands.push_back(ID_NEW); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CChooser, CToolBarDialog)
ON_COMMAND(ID_NEW, OnNew)
END_MESSAGE_MAP()

class DialogBaseTest : public CompanionTest {
protected:
    void SetUp() override {
        CompanionTest::SetUp();
        AfxSetResource(
            hModule, RT_DIALOG, MAKEINTRESOURCE(IDD_LIST),
            KelDialogTemplate("List", WS_POPUP | WS_CAPTION | WS_THICKFRAME, 0, 0, 240, 144,
                              {KelDialogItem::Control("", IDC_FRAME, "STATIC",
                                                      WS_VISIBLE | SS_BLACKFRAME, 0, 0, 239, 120),
                               KelDialogItem::LText("Pick one", IDC_DESCRIPTION, 4, 126, 100, 10),
                               KelDialogItem::EditText(IDC_NAME, 110, 124, 60, 14),
                               KelDialogItem::PushButton("Add", IDC_ADD, 180, 124, 50, 14)}));
        AfxSetResource(hModule, RT_TOOLBAR, MAKEINTRESOURCE(IDR_TOOLS),
                       KelToolBarResource(16, 15, {ID_NEW, ID_OPEN, ID_DELETE, 0, ID_PRINT}));
        KelSetBitmapResource(hModule, IDR_TOOLS, Strip(4));
        AfxSetResource(hModule, RT_TOOLBAR, MAKEINTRESOURCE(IDR_SIDE),
                       KelToolBarResource(16, 15, {ID_CHOOSE}));
        KelSetBitmapResource(hModule, IDR_SIDE, Strip(1));
        AfxSetStringResource(hModule, IDC_NAME, "Type a name\nName");
        AfxSetStringResource(hModule, IDC_ADD, "Adds the name");
        AfxSetStringResource(hModule, ID_NEW, "Make a new record\nNew");
    }
    static CRect Place(CWnd* pDlg, CWnd* pCtrl) {
        CRect rc;
        pCtrl->GetWindowRect(&rc);
        pDlg->ScreenToClient(&rc);
        return rc;
    }
};

TEST_F(DialogBaseTest, ControlsFollowTheirUpdateHandlersOnIdle) {
    CNameDialog dlg(IDD_LIST);
    bool enabledEmpty = true, enabledNamed = false;
    KelQueueModalAction([&](CWnd* pDlg) {
        enabledEmpty = pDlg->GetDlgItem(IDC_ADD)->IsWindowEnabled() != FALSE;
        Robot robot;
        pDlg->GetDlgItem(IDC_NAME)->SetFocus();
        robot.Type("Ann");
        enabledNamed = pDlg->GetDlgItem(IDC_ADD)->IsWindowEnabled() != FALSE;
        static_cast<CDialog*>(pDlg)->EndDialog(IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_FALSE(enabledEmpty);
    EXPECT_TRUE(enabledNamed);

    // Modeless, the application's idle time does the same.
    ASSERT_TRUE(dlg.Create(IDD_LIST));
    dlg.ShowWindow(SW_SHOW);
    KelRunUntilIdle();
    EXPECT_FALSE(dlg.GetDlgItem(IDC_ADD)->IsWindowEnabled());
    dlg.SetDlgItemText(IDC_NAME, "Bo");
    KelRunUntilIdle();
    EXPECT_TRUE(dlg.GetDlgItem(IDC_ADD)->IsWindowEnabled());
    dlg.DestroyWindow();
}

TEST_F(DialogBaseTest, ControlsWithAStringShowItAsTheirTooltip) {
    CToolTipDialog dlg(IDD_LIST);
    ASSERT_TRUE(dlg.Create(IDD_LIST));
    EXPECT_EQ(2, dlg.GetToolTip().GetToolCount());
    CString tip;
    dlg.GetToolTip().GetText(tip, dlg.GetDlgItem(IDC_NAME));
    EXPECT_EQ(CString("Name"), tip);
    dlg.GetToolTip().GetText(tip, dlg.GetDlgItem(IDC_ADD));
    EXPECT_EQ(CString("Adds the name"), tip);
    dlg.DestroyWindow();
}

TEST_F(DialogBaseTest, ToolbarsStandAlongTheSidesAndTheControlsMakeRoom) {
    CChooser dlg;
    EXPECT_TRUE(dlg.AddBar(IDR_TOOLS, CBRS_TOP));
    EXPECT_TRUE(dlg.AddBar(IDR_SIDE, CBRS_LEFT, 0xE8F0));
    EXPECT_FALSE(dlg.AddBar(IDR_SIDE, CBRS_ALIGN_LEFT));    // not one of the four sides
    EXPECT_FALSE(dlg.AddBar(IDR_SIDE, CBRS_RIGHT, 0xE8F0)); // ID taken
    EXPECT_TRUE(dlg.AddBar(999, CBRS_BOTTOM));              // made at init: it fails then
    EXPECT_FALSE(dlg.AddBar(IDR_SIDE, CBRS_RIGHT));         // a fourth
    EXPECT_EQ(3, dlg.GetBarCount());

    // What the template alone gives.
    CDialog plain(IDD_LIST);
    ASSERT_TRUE(plain.Create(IDD_LIST));
    CRect plainClient;
    plain.GetClientRect(&plainClient);
    const CRect plainFrame = Place(&plain, plain.GetDlgItem(IDC_FRAME));
    plain.DestroyWindow();

    ASSERT_TRUE(dlg.Create(IDD_LIST));
    ASSERT_EQ(2, dlg.GetBarCount()); // the missing toolbar is left out
    EXPECT_EQ(UINT(AFX_IDW_TOOLBAR), dlg.GetBarID(0));
    EXPECT_EQ(DWORD(CBRS_TOP), dlg.GetBarSide(0));
    EXPECT_EQ(0xE8F0u, dlg.GetBarID(1));
    EXPECT_EQ(DWORD(CBRS_LEFT), dlg.GetBarSide(1));
    EXPECT_EQ(0u, dlg.GetBarID(2));
    EXPECT_EQ(dlg.GetBar(0), dlg.GetDlgItem(AFX_IDW_TOOLBAR));

    CRect client;
    dlg.GetClientRect(&client);
    const CRect top = Place(&dlg, dlg.GetBar(0));
    const CRect left = Place(&dlg, dlg.GetBar(1));
    EXPECT_EQ(CRect(0, 0, client.right, top.bottom), top);
    EXPECT_EQ(CRect(0, top.bottom, left.right, client.bottom), left);
    EXPECT_GT(top.Height(), 15);
    EXPECT_GT(left.Width(), 15);
    // The dialog grew by the bars; the template's controls moved out of their way.
    EXPECT_EQ(plainClient.Width() + left.Width(), client.Width());
    EXPECT_EQ(plainClient.Height() + top.Height(), client.Height());
    CRect frame = plainFrame;
    frame.OffsetRect(left.Width(), top.Height());
    EXPECT_EQ(frame, Place(&dlg, dlg.GetDlgItem(IDC_FRAME)));

    // Bar buttons carry tooltips as the controls do.
    EXPECT_EQ(3, dlg.GetToolTip().GetToolCount());
    dlg.DestroyWindow();
}

TEST_F(DialogBaseTest, BarCommandsReachTheDialogOrTheControlWithTheFocus) {
    CChooser dlg;
    dlg.AddBar(IDR_TOOLS, CBRS_TOP);
    dlg.AddBar(IDR_SIDE, CBRS_LEFT);
    ASSERT_TRUE(dlg.Create(IDD_LIST));
    dlg.ShowWindow(SW_SHOW);
    KelRunUntilIdle();
    CExToolBar* bar = dlg.GetBar(0);
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(&dlg.grid, CWnd::GetFocus());

    // The states come from the window with the focus, on idle.
    EXPECT_FALSE(Enabled(*bar, ID_DELETE));
    dlg.grid.m_bCanDelete = TRUE;
    KelRunUntilIdle();
    EXPECT_TRUE(Enabled(*bar, ID_DELETE));

    Robot robot;
    auto click = [&](CExToolBar* pBar, UINT id) {
        CRect rc;
        pBar->GetItemRect(pBar->CommandToIndex(id), &rc);
        robot.Click(pBar, rc.CenterPoint());
    };
    click(bar, ID_NEW); // the dialog's own
    EXPECT_EQ(std::vector<UINT>{ID_NEW}, dlg.commands);
    click(bar, ID_PRINT); // passed on to the grid
    EXPECT_EQ(1, dlg.grid.m_nPrints);
    EXPECT_EQ(&dlg.grid, CWnd::GetFocus());
    // Choose goes to the grid, which sends it back; nobody handles it, and it stops there.
    click(dlg.GetBar(1), ID_CHOOSE);
    EXPECT_EQ(std::vector<UINT>{ID_NEW}, dlg.commands);
    dlg.DestroyWindow();
}

TEST_F(DialogBaseTest, DialogBarShowsTooltipsWhenAskedTo) {
    AfxSetResource(hModule, RT_DIALOG, MAKEINTRESOURCE(IDD_BAR),
                   KelDialogTemplate("", WS_CHILD | DS_CONTROL, 0, 0, 310, 20,
                                     {KelDialogItem::EditText(IDC_NAME, 138, 3, 71, 14),
                                      KelDialogItem::PushButton("Add", IDC_ADD, 214, 3, 49, 14),
                                      KelDialogItem::PushButton("All", 9439, 266, 3, 40, 14)}));
    CHostWnd host;
    ASSERT_TRUE(host.CreateHost(CRect(0, 0, 500, 200)));
    CExDialogBar bar;
    ASSERT_TRUE(bar.Create(&host, IDD_BAR, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS, 200));
    EXPECT_EQ(2, bar.GetToolTip().GetToolCount());
    // One tip shows under the pointer, not the bar's and the control bar's both.
    bar.MoveWindow(0, 0, 500, 40); // no frame lays it out here
    host.SetActiveWindow();        // tips show in the active window only
    Robot robot;
    robot.Move(bar.GetDlgItem(IDC_NAME), CPoint(10, 5));
    robot.Wait(600);
    int shown = 0;
    for (HWND h = ::GetWindow(::GetDesktopWindow(), GW_CHILD); h != nullptr;
         h = ::GetWindow(h, GW_HWNDNEXT)) {
        char cls[32] = {};
        ::GetClassName(h, cls, sizeof(cls));
        if (std::strcmp(cls, TOOLTIPS_CLASS) == 0 && ::IsWindowVisible(h))
            ++shown;
    }
    EXPECT_TRUE(bar.GetToolTip().IsWindowVisible());
    EXPECT_EQ(1, shown);
    CExDialogBar quiet;
    ASSERT_TRUE(quiet.Create(&host, IDD_BAR, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, 201));
    EXPECT_EQ(nullptr, quiet.GetToolTip().GetSafeHwnd());
}

} // namespace
