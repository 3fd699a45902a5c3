#include "GridTest.h"

namespace {

std::vector<std::string> Names(const CRecordsetCtrl* pGrid) {
    std::vector<std::string> names;
    for (int j = 0; j < pGrid->m_arrayColumns.GetSize(); ++j)
        names.push_back((LPCTSTR)pGrid->m_arrayColumns[j].m_strName);
    return names;
}

} // namespace

// Every showable field is a column in field order, in bracketed form; the binary field has
// none; the key is the first field; each header item is its width in header characters + 41.
TEST_P(GridTest, ColumnsFollowTheFieldsWithTheKeyFirst) {
    CRecordsetCtrl* pGrid = CreateGrid(MakeLoad());
    const std::vector<std::string> expected = {
        "[OrderID]",  "[Customer]", "[City]",   "[CustomerID]", "[OrderDate]", "[Amount]",
        "[Quantity]", "[Priority]", "[Weight]", "[Discount]",   "[Shipped]",   "[Notes]"};
    EXPECT_EQ(Names(pGrid), expected);
    EXPECT_EQ(pGrid->m_nKeyColumn, 0);
    EXPECT_TRUE(pGrid->m_arrayColumns[0].m_bKey);
    for (int j = 0; j < pGrid->m_arrayColumns.GetSize(); ++j) {
        const CColumnDetails& col = pGrid->m_arrayColumns[j];
        EXPECT_EQ(col.m_nField, j);
        EXPECT_EQ(col.m_nOrder, j);
        EXPECT_EQ(col.m_strCaption, col.m_strName.Mid(1, col.m_strName.GetLength() - 2));
        const int nItem = HeaderItemOf(j);
        ASSERT_EQ(nItem, j);
        EXPECT_EQ(HeaderItemRect(nItem).Width(), pGrid->m_nHeaderCharWidth * col.m_nWidth + 41);
    }
    EXPECT_FALSE(pGrid->m_arrayColumns[11].m_bSortable); // a memo
}

// Widths read back from the header truncate: width 10 stays 10 from 4 pixels more.
TEST_P(GridTest, WidthsReadBackFromTheHeaderInCharacterUnits) {
    CRecordsetCtrl* pGrid = CreateGrid(MakeLoad());
    const int cw = pGrid->m_nHeaderCharWidth;
    ASSERT_GT(cw, 4);
    HDITEM item{};
    item.mask = HDI_WIDTH;
    item.cxy = cw * 10 + 41;
    pGrid->m_wndHeader.SetItem(1, &item);
    pGrid->UpdateColumnDetails();
    EXPECT_EQ(pGrid->m_arrayColumns[1].m_nWidth, 10);
    item.cxy = cw * 10 + 41 + (cw - 1);
    pGrid->m_wndHeader.SetItem(1, &item);
    pGrid->UpdateColumnDetails();
    EXPECT_EQ(pGrid->m_arrayColumns[1].m_nWidth, 10);
}

// A first field that cannot be shown gets no column and no column is the key; a binary field
// between two others leaves no gap in the header's order.
TEST_P(GridTest, UnshowableFieldsGetNoColumnAndLeaveNoGap) {
    CRecordsetLoad* pLoad = MakeLoad("SELECT Pic, Name, Photo, Qty FROM T");
    pLoad->m_strDatabase = MakeDatabase("CREATE TABLE T (Pic BLOB, Name TEXT(20), Photo BLOB, "
                                        "Qty INTEGER); INSERT INTO T VALUES (NULL, 'a', NULL, 1);")
                               .c_str();
    CRecordsetCtrl* pGrid = CreateGrid(pLoad);
    EXPECT_EQ(Names(pGrid), (std::vector<std::string>{"[Name]", "[Qty]"}));
    EXPECT_FALSE(pGrid->m_arrayColumns[0].m_bKey);
    EXPECT_FALSE(pGrid->m_arrayColumns[1].m_bKey);
    EXPECT_EQ(pGrid->m_nKeyColumn, 0);
    // Display positions 0 and 1, left to right.
    ASSERT_EQ(pGrid->m_wndHeader.GetItemCount(), 2);
    EXPECT_EQ(pGrid->m_wndHeader.OrderToIndex(0), 0);
    EXPECT_EQ(pGrid->m_wndHeader.OrderToIndex(1), 1);
    EXPECT_LT(HeaderItemRect(0).left, HeaderItemRect(1).left);
    EXPECT_EQ(Cell(0, 0), "a");
}

// A key that the document reports last becomes a hidden column at the end.
TEST_P(GridTest, AKeyReportedLastIsAHiddenColumnAtTheEnd) {
    CRecordsetLoad* pLoad = MakeLoad("T");
    pLoad->m_strDatabase =
        MakeDatabase("CREATE TABLE T (Name TEXT(20), Amount CURRENCY, ID INTEGER PRIMARY KEY); "
                     "INSERT INTO T VALUES ('a', 1.5, 7);")
            .c_str();
    auto* pGrid = new CRecordsetCtrl;
    m_pOwned.reset(pGrid);
    m_pGrid = pGrid;
    ASSERT_TRUE(pGrid->Create(pLoad, "", 0, WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 300), &m_host,
                              kGridID));
    // A table-type recordset reports its primary key as the key field.
    pGrid->m_pDoc->m_nOpenType = dbOpenTable;
    KelRunUntilIdle();
    ASSERT_TRUE(pGrid->m_pDoc->IsOpen());
    EXPECT_EQ(Names(pGrid), (std::vector<std::string>{"[Name]", "[Amount]", "[ID]"}));
    EXPECT_EQ(pGrid->m_nKeyColumn, 2);
    EXPECT_EQ(pGrid->m_arrayColumns[2].m_nWidth, 0);
    EXPECT_EQ(pGrid->m_wndHeader.GetItemCount(), 2);
    EXPECT_EQ(Cell(0, 2), "7");
}

// A field name with its table in front is referred to as [table].[field], and stored that way.
TEST_P(GridTest, QualifiedNamesAreBracketedAfterTheTable) {
    CRecordsetCtrl* pGrid = CreateGrid(
        MakeLoad("SELECT OrderID, Amount AS [Orders.Amount] FROM Orders", "Qualified\\"));
    EXPECT_EQ(Names(pGrid), (std::vector<std::string>{"[OrderID]", "[Orders].[Amount]"}));
    DestroyGrid();
    CRegistry reg(AppRegistryRoot, KeyPath("Qualified\\"));
    CString strValue;
    EXPECT_TRUE(reg.Read("[Orders].[Amount]", strValue, ""));
    EXPECT_EQ(strValue.GetLength(), 14);
}

// A second full load keeps the columns it already had, with their widths and order, and
// lists each once in the header.
TEST_P(GridTest, AFullReloadKeepsTheColumnModel) {
    CRecordsetCtrl* pGrid = CreateGrid(MakeLoad());
    const int nColumns = (int)pGrid->m_arrayColumns.GetSize();
    pGrid->m_arrayColumns[2].m_nWidth = 33;
    pGrid->m_arrayColumns[2].m_strCaption = "Town";
    EXPECT_EQ(pGrid->SendMessage(WM_RSC_RELOAD, 1, 0), 0);
    EXPECT_EQ(pGrid->m_arrayColumns.GetSize(), nColumns);
    EXPECT_EQ(pGrid->m_arrayColumns[2].m_nWidth, 33);
    EXPECT_EQ(pGrid->m_arrayColumns[2].m_strCaption, "Town");
    EXPECT_EQ(pGrid->m_arrayColumns[2].m_strName, "[City]");
    EXPECT_EQ(pGrid->m_wndHeader.GetItemCount(), nColumns);
}

// Values read as they are stored: a 64-bit integer to its last digit, a fraction in an integer
// column and a number in a date column as the numbers they are; an integer column the user has
// not sized is made as wide as its values, one the user sized keeps its width.
// SQLite keeps what a column's declared type would not (a fraction in an integer column, a
// year in a date column).
class GridStorageTest : public GridTest {};

TEST_P(GridStorageTest, ValuesShowAsStoredAndIntegerColumnsFitThem) {
    const char* sql =
        "CREATE TABLE T (ID INTEGER PRIMARY KEY, Big INTEGER, N INTEGER, Day DATE, Sum NUMERIC); "
        "INSERT INTO T VALUES (1, 13350000000000001, 4.25, '1999', -9007199254740993); "
        "INSERT INTO T VALUES (2, 7, 12, '2021-12-31', 0.5);";
    CRegistry(AppRegistryRoot, KeyPath("Stored\\")).Write("[Big]", ""); // an earlier run's
    CRecordsetLoad* pLoad = MakeLoad("SELECT * FROM T", "Stored\\");
    pLoad->m_strDatabase = MakeDatabase(sql).c_str();
    CRecordsetCtrl* pGrid = CreateGrid(pLoad, CRect(0, 0, 900, 300));
    EXPECT_EQ(Cell(0, 1), "13350000000000001");
    EXPECT_EQ(Cell(0, 2), "4.25");
    EXPECT_EQ(Cell(0, 3), "1999");
    EXPECT_EQ(Cell(0, 4), "-9007199254740993");
    EXPECT_EQ(Cell(1, 2), "12");
    EXPECT_EQ(Cell(1, 3), "12/31/2021");
    EXPECT_EQ(Cell(1, 4), "0.5");
    // Wide enough for the shown text in the cell font.
    CClientDC dc(pGrid);
    CFont* pOld = dc.SelectObject(&pGrid->m_font);
    const int nText = dc.GetTextExtent("13350000000000001").cx;
    dc.SelectObject(pOld);
    EXPECT_GE(pGrid->m_nHeaderCharWidth * pGrid->m_arrayColumns[1].m_nWidth, nText);
    EXPECT_EQ(pGrid->m_arrayColumns[2].m_nWidth, 8); // small values: the default

    HDITEM item{};
    item.mask = HDI_WIDTH;
    item.cxy = pGrid->m_nHeaderCharWidth * 5 + 41;
    pGrid->m_wndHeader.SetItem(HeaderItemOf(1), &item);
    DestroyGrid();
    pLoad = MakeLoad("SELECT * FROM T", "Stored\\");
    pLoad->m_strDatabase = MakeDatabase(sql).c_str();
    pGrid = CreateGrid(pLoad, CRect(0, 0, 900, 300));
    EXPECT_EQ(pGrid->m_arrayColumns[1].m_nWidth, 5);
}

KEL_SQLITE_ONLY(GridStorageTest);
