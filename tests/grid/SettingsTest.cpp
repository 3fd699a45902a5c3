#include "GridTest.h"

// The settings a grid writes when it goes, in the store's layout, read back by the next one.
TEST_F(GridTest, SettingsAreWrittenAndReadBack) {
    CRecordsetCtrl* pGrid = CreateGrid(MakeLoad("SELECT * FROM Orders", "Orders\\"));
    pGrid->SendMessage(WM_NOTIFY, 0, 0); // a stray notification is ignored
    // Sort descending on Amount, hide City, make Customer 12 characters wide.
    NMHEADER nm{};
    nm.hdr.hwndFrom = pGrid->m_wndHeader.m_hWnd;
    nm.hdr.code = HDN_ITEMCLICK;
    nm.iItem = HeaderItemOf(5);
    pGrid->SendMessage(WM_NOTIFY, 0, (LPARAM)&nm);
    pGrid->SendMessage(WM_NOTIFY, 0, (LPARAM)&nm);
    HDITEM item{};
    item.mask = HDI_WIDTH;
    item.cxy = pGrid->m_nHeaderCharWidth * 12 + 41;
    pGrid->m_wndHeader.SetItem(HeaderItemOf(1), &item);
    pGrid->m_arrayColumns[2].m_bVisible = FALSE;
    pGrid->m_nSearchCol = 3;
    pGrid->m_nSearchOp = 4;
    DestroyGrid();

    CRegistry reg(AppRegistryRoot, KeyPath("Orders\\"));
    CString strText;
    EXPECT_TRUE(reg.Read("[Customer]", strText, ""));
    EXPECT_EQ(strText, "0001 0012 0001");
    EXPECT_TRUE(reg.Read("[City]", strText, ""));
    EXPECT_EQ(strText.Left(5), "0000 ");
    int n = -1;
    EXPECT_TRUE(reg.Read("SortByN", n, -1));
    EXPECT_EQ(n, 5);
    EXPECT_TRUE(reg.Read("SortAsc", n, -1));
    EXPECT_EQ(n, 1); // the descending flag
    EXPECT_TRUE(reg.Read("SearchCol", n, -1));
    EXPECT_EQ(n, 3);
    EXPECT_TRUE(reg.Read("SearchOp", n, -1));
    EXPECT_EQ(n, 4);
    EXPECT_TRUE(reg.Read("ShowBackground", n, -1));
    EXPECT_EQ(n, 0);

    pGrid = CreateGrid(MakeLoad("SELECT * FROM Orders", "Orders\\"));
    EXPECT_EQ(pGrid->m_nSortByN, 5);
    EXPECT_TRUE(pGrid->m_bSortDesc);
    EXPECT_EQ(pGrid->m_pDoc->GetOrder(), "6 DESC");
    EXPECT_EQ(pGrid->m_arrayColumns[1].m_nWidth, 12);
    EXPECT_FALSE(pGrid->m_arrayColumns[2].m_bVisible);
    EXPECT_EQ(HeaderItemOf(2), -1);
    EXPECT_EQ(pGrid->m_wndHeader.GetSortCol(), HeaderItemOf(5) >= 0 ? 4 : -1);
}

// Without a settings key nothing is written, and a new grid starts from the defaults.
TEST_F(GridTest, NoKeyNoSettings) {
    CRecordsetCtrl* pGrid = CreateGrid(MakeLoad());
    NMHEADER nm{};
    nm.hdr.hwndFrom = pGrid->m_wndHeader.m_hWnd;
    nm.hdr.code = HDN_ITEMCLICK;
    nm.iItem = HeaderItemOf(1);
    pGrid->SendMessage(WM_NOTIFY, 0, (LPARAM)&nm);
    DestroyGrid();
    CRegistry reg(AppRegistryRoot, AppRegistryPath);
    int n = 0;
    EXPECT_FALSE(reg.Read("SortByN", n, -7));
    EXPECT_FALSE(reg.Read("SearchCol", n, -7));
    CString strText;
    EXPECT_FALSE(reg.Read("[Customer]", strText, ""));

    pGrid = CreateGrid(MakeLoad());
    EXPECT_EQ(pGrid->m_nSortByN, -1);
    EXPECT_EQ(pGrid->m_nSearchCol, 1);
    EXPECT_EQ(pGrid->m_nSearchOp, 0);
}

// Damaged column values are ignored; the column keeps what the fields give it.
TEST_F(GridTest, DamagedColumnValuesAreIgnored) {
    {
        CRegistry reg(AppRegistryRoot, KeyPath("Damaged\\"));
        reg.Write("[Customer]", "garbage");
        reg.Write("[City]", "0001 -005 0002");
        reg.Write("[Amount]", "0001 0007 0003");
    }
    CRecordsetCtrl* pGrid = CreateGrid(MakeLoad("SELECT * FROM Orders", "Damaged\\"));
    EXPECT_GT(pGrid->m_arrayColumns[1].m_nWidth, 0);
    EXPECT_TRUE(pGrid->m_arrayColumns[1].m_bVisible);
    EXPECT_GT(pGrid->m_arrayColumns[2].m_nWidth, 0);
    EXPECT_EQ(pGrid->m_arrayColumns[5].m_nWidth, 7);
    EXPECT_EQ(pGrid->m_wndHeader.GetItemCount(), pGrid->m_arrayColumns.GetSize());
}

// A grid whose document never opened stores its sort as 0.
TEST_F(GridTest, AClosedDocumentStoresSortZero) {
    CRecordsetLoad* pLoad = MakeLoad("SELECT * FROM NoSuchTable", "Closed\\");
    KelSetMessageBoxAnswer(0);
    CRecordsetCtrl* pGrid = CreateGrid(pLoad);
    ASSERT_FALSE(pGrid->m_pDoc->IsOpen());
    pGrid->m_nSortByN = 4;
    DestroyGrid();
    CRegistry reg(AppRegistryRoot, KeyPath("Closed\\"));
    int n = -1;
    EXPECT_TRUE(reg.Read("SortByN", n, -1));
    EXPECT_EQ(n, 0);
}
