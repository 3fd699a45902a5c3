#include "GridTest.h"

namespace {

CPoint Middle(const CRect& rc) {
    return CPoint(rc.left + rc.Width() / 2, rc.top + rc.Height() / 2);
}

} // namespace

// A click on a header sorts by its column, ascending; a second click turns the direction; a
// click on another column sorts that one ascending; each reopens the recordset in that order.
TEST_P(GridTest, HeaderClicksSortAndTurnTheDirection) {
    CRecordsetCtrl* pGrid = CreateGrid(MakeLoad());
    ASSERT_EQ(pGrid->m_nSortByN, -1);
    const int nCustomer = HeaderItemOf(1);
    m_robot.Click(pGrid, Middle(HeaderItemRect(nCustomer)));
    KelRunUntilIdle();
    EXPECT_EQ(pGrid->m_nSortByN, 1);
    EXPECT_FALSE(pGrid->m_bSortDesc);
    EXPECT_EQ(pGrid->m_pDoc->GetOrder(), "2 ASC");
    EXPECT_EQ(pGrid->m_wndHeader.GetSortCol(), nCustomer);
    const CString strFirstAsc = Cell(0, 1);

    KelAdvanceTime(1000); // not a double click
    m_robot.Click(pGrid, Middle(HeaderItemRect(nCustomer)));
    KelRunUntilIdle();
    EXPECT_TRUE(pGrid->m_bSortDesc);
    EXPECT_EQ(pGrid->m_pDoc->GetOrder(), "2 DESC");
    EXPECT_TRUE(pGrid->m_wndHeader.IsSortDescending());
    EXPECT_GT(Cell(0, 1).CompareNoCase(strFirstAsc), 0);
    EXPECT_EQ(VPos(), 0);

    KelAdvanceTime(1000);
    m_robot.Click(pGrid, Middle(HeaderItemRect(HeaderItemOf(2))));
    KelRunUntilIdle();
    EXPECT_EQ(pGrid->m_nSortByN, 2);
    EXPECT_FALSE(pGrid->m_bSortDesc);
    EXPECT_EQ(pGrid->m_pDoc->GetOrder(), "3 ASC");
    EXPECT_EQ(::GetFocus(), pGrid->GetSafeHwnd());
}

// A memo cannot be sorted: its header beeps and nothing changes.
TEST_P(GridTest, AnUnsortableColumnBeeps) {
    CRecordsetCtrl* pGrid = CreateGrid(MakeLoad("SELECT OrderID, Notes FROM Orders"));
    KelClearBeeps();
    m_robot.Click(pGrid, Middle(HeaderItemRect(HeaderItemOf(1))));
    KelRunUntilIdle();
    EXPECT_EQ(KelGetBeeps().size(), 1u);
    EXPECT_EQ(pGrid->m_nSortByN, -1);
    EXPECT_EQ(pGrid->m_pDoc->GetOrder(), "");
}

// A divider dragged to 8 pixels hides its column (and the sort on it); to 9 pixels the
// column stays, 9 pixels wide.
TEST_P(GridTest, DividerDragHidesAtEightPixels) {
    CRecordsetCtrl* pGrid = CreateGrid(MakeLoad());
    // Sort on Customer first: hiding it must drop the sort mark and the order.
    m_robot.Click(pGrid, Middle(HeaderItemRect(HeaderItemOf(1))));
    KelRunUntilIdle();
    ASSERT_EQ(pGrid->m_pDoc->GetOrder(), "2 ASC");
    const int nItems = pGrid->m_wndHeader.GetItemCount();
    int nMin = 0, nMax = 0;
    pGrid->m_wndHScroll.GetScrollRange(&nMin, &nMax);

    CRect rc = HeaderItemRect(HeaderItemOf(2));
    m_robot.Drag(pGrid, CPoint(rc.right, rc.top + 5), CPoint(rc.left + 9, rc.top + 5));
    KelRunUntilIdle();
    EXPECT_EQ(pGrid->m_wndHeader.GetItemCount(), nItems);
    EXPECT_EQ(HeaderItemRect(HeaderItemOf(2)).Width(), 9);
    EXPECT_TRUE(pGrid->m_arrayColumns[2].m_bVisible);

    rc = HeaderItemRect(HeaderItemOf(1));
    m_robot.Drag(pGrid, CPoint(rc.right, rc.top + 5), CPoint(rc.left + 8, rc.top + 5));
    KelRunUntilIdle();
    EXPECT_EQ(pGrid->m_wndHeader.GetItemCount(), nItems - 1);
    EXPECT_EQ(HeaderItemOf(1), -1);
    EXPECT_FALSE(pGrid->m_arrayColumns[1].m_bVisible);
    int nMin2 = 0, nMax2 = 0;
    pGrid->m_wndHScroll.GetScrollRange(&nMin2, &nMax2);
    EXPECT_EQ(nMax2, nMax - 1);
    EXPECT_EQ(pGrid->m_pDoc->GetOrder(), "");
    EXPECT_EQ(pGrid->m_wndHeader.GetSortCol(), -1);
}

// Dragging a column to another place changes the header's order; the records learn it when
// the grid writes its settings, and the next grid shows the same order.
TEST_P(GridTest, DragReorderIsKeptAcrossRuns) {
    CRecordsetCtrl* pGrid = CreateGrid(MakeLoad("SELECT * FROM Orders", "Reorder\\"));
    const CRect rcCustomer = HeaderItemRect(HeaderItemOf(1));
    const CRect rcCity = HeaderItemRect(HeaderItemOf(2));
    m_robot.Drag(pGrid, Middle(rcCustomer), CPoint(rcCity.right - 3, rcCity.top + 5), 8);
    KelRunUntilIdle();
    EXPECT_EQ(pGrid->m_wndHeader.OrderToIndex(1), HeaderItemOf(2));
    EXPECT_EQ(pGrid->m_wndHeader.OrderToIndex(2), HeaderItemOf(1));
    DestroyGrid();

    pGrid = CreateGrid(MakeLoad("SELECT * FROM Orders", "Reorder\\"));
    EXPECT_EQ(pGrid->m_arrayColumns[1].m_nOrder, 2);
    EXPECT_EQ(pGrid->m_arrayColumns[2].m_nOrder, 1);
    EXPECT_EQ(pGrid->m_wndHeader.OrderToIndex(1), HeaderItemOf(2));
    EXPECT_LT(HeaderItemRect(HeaderItemOf(2)).left, HeaderItemRect(HeaderItemOf(1)).left);
}
