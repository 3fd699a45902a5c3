#include "GridTest.h"

#include "platform/win/DialogTemplate.h"
#include "platform/win/ModalDriver.h"

// The children: header, two margin buttons with the library's images and tooltips, two
// scroll bars; the header's tooltip explains sorting.
TEST_P(GridTest, ChildrenAndTooltips) {
    CRecordsetCtrl* pGrid = CreateGrid(MakeLoad());
    EXPECT_EQ(pGrid->m_wndHeader.GetHeight(), 18);
    EXPECT_EQ(pGrid->m_btnColumns.GetDlgCtrlID(), IDC_RSC_COLUMNS);
    EXPECT_EQ(pGrid->m_btnRefresh.GetDlgCtrlID(), IDC_RSC_REFRESH);
    EXPECT_NE(pGrid->m_bmpColumns.GetSafeHandle(), nullptr);
    EXPECT_NE(pGrid->m_bmpRefresh.GetSafeHandle(), nullptr);
    EXPECT_EQ((HBITMAP)pGrid->m_btnRefresh.SendMessage(BM_GETIMAGE, IMAGE_BITMAP, 0),
              (HBITMAP)pGrid->m_bmpRefresh.GetSafeHandle());
    EXPECT_EQ(pGrid->m_nHScrollHeight, 16);
    EXPECT_EQ(pGrid->m_nVScrollWidth, 16);
    EXPECT_EQ(pGrid->m_wndVScroll.GetStyle() & SBS_VERT, (DWORD)SBS_VERT);
    CString strTip;
    pGrid->m_toolTip.GetText(strTip, &pGrid->m_btnColumns);
    EXPECT_EQ(strTip, "Configure the columns of the list");
    pGrid->m_toolTip.GetText(strTip, &pGrid->m_btnRefresh);
    EXPECT_EQ(strTip, "Refresh the items of the list");
    pGrid->m_toolTip.GetText(strTip, &pGrid->m_wndHeader);
    EXPECT_EQ(strTip.Left(35), "Click on a column to sort the list ");
    // Fonts at 96 dpi: 9 points are 12 pixels, the counter's 10.
    LOGFONT lf{};
    pGrid->m_font.GetLogFont(&lf);
    EXPECT_EQ(lf.lfHeight, -12);
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);
    pGrid->m_fontBold.GetLogFont(&lf);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    pGrid->m_fontSmall.GetLogFont(&lf);
    EXPECT_EQ(lf.lfHeight, -10);
    EXPECT_GT(pGrid->m_nCharHeight, 0);
}

// The record's presentation settings; a background ID of 0 clears the record's flag and
// leaves the grid's own alone; a header bitmap makes the header 21 pixels high.
TEST_P(GridTest, InitialiseCopiesTheRecord) {
    CRecordsetLoad load;
    load.m_strRegistryKey = "Key\\";
    load.m_adwUser[3] = 42;
    load.m_bEditOnClick = FALSE;
    load.m_bShowBackground = TRUE;
    load.m_nBackgroundBitmapID = 0;
    load.m_nHeaderBitmapID = 2057;
    load.m_crHeaderMask = RGB(255, 0, 255);
    CRecordsetCtrl grid;
    grid.Initialise(&load);
    EXPECT_EQ(grid.m_strRegistryKey, "Key\\");
    EXPECT_EQ(grid.m_adwUser[3], 42u);
    EXPECT_FALSE(grid.m_bEditOnClick);
    EXPECT_FALSE(load.m_bShowBackground);
    EXPECT_FALSE(grid.m_bShowBackground);
    EXPECT_EQ(grid.m_nHeaderBitmapID, 2057u);
    EXPECT_EQ(grid.m_crHeaderMask, RGB(255, 0, 255));

    // A background bitmap that exists is loaded with its size; one that does not leaves none.
    load.m_nBackgroundBitmapID = 2057;
    load.m_bShowBackground = TRUE;
    load.m_hResourceInstance = GetModuleHandle("KelRSList.dll");
    grid.Initialise(&load);
    EXPECT_TRUE(grid.m_bShowBackground);
    EXPECT_NE(grid.m_bmpBackground.GetSafeHandle(), nullptr);
    EXPECT_EQ(grid.m_nBackgroundHeight, 16);
    grid.SetBitmap(load.m_hResourceInstance, 9999);
    EXPECT_EQ(grid.m_bmpBackground.GetSafeHandle(), nullptr);

    CRecordsetLoad* pLoad = MakeLoad();
    pLoad->m_nHeaderBitmapID = 2057;
    pLoad->m_hResourceInstance = GetModuleHandle("KelRSList.dll");
    CRecordsetCtrl* pGrid = CreateGrid(pLoad);
    EXPECT_EQ(pGrid->m_wndHeader.GetHeight(), 21);
    EXPECT_TRUE(pGrid->m_wndHeader.IsBitmapSet());
}

// Enter pressed in the grid inside a dialog is the grid's key: the dialog stays open.
TEST_P(GridTest, EnterInADialogStaysWithTheGrid) {
    HINSTANCE hModule = AfxRegisterModule("KelGridTestDialogs.dll");
    AfxSetResource(hModule, RT_DIALOG, MAKEINTRESOURCE(300),
                   KelDialogTemplate("Pick", WS_POPUP | WS_CAPTION, 0, 0, 300, 200,
                                     {KelDialogItem::DefPushButton("OK", IDOK, 240, 180, 50, 14)}));
    CDialog dlg(300);
    bool bStillOpen = false;
    KelQueueModalAction([&](CWnd* pDlg) {
        CRecordsetCtrl* pGrid = new CRecordsetCtrl;
        m_pOwned.reset(pGrid);
        m_pGrid = pGrid;
        pGrid->Create(MakeLoad(), "", 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(0, 0, 300, 200),
                      pDlg, kGridID);
        KelRunUntilIdle();
        pGrid->SetFocus();
        m_robot.Key(VK_RETURN);
        KelRunUntilIdle();
        bStillOpen = pDlg->GetSafeHwnd() != NULL && pDlg->IsWindowVisible();
        DestroyGrid();
        static_cast<CDialog*>(pDlg)->EndDialog(IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(bStillOpen);
    AfxUnregisterModule(hModule);
}
