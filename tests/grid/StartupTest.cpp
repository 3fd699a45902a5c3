#include "GridTest.h"

// The first load follows the window's creation: columns, header, first window, scroll range
// and one notification, in that order of events.
TEST_P(GridTest, StartUpShowsTheFirstWindow) {
    CRecordsetCtrl* pGrid = CreateGrid(MakeLoad());
    ASSERT_NE(pGrid, nullptr);
    EXPECT_TRUE(pGrid->m_bOwnDoc);
    ASSERT_TRUE(pGrid->m_pDoc->IsOpen());
    EXPECT_EQ(pGrid->m_nRows, (300 - 16 - 18) / (pGrid->m_nCharHeight + 2));
    EXPECT_GT(pGrid->m_arrayColumns.GetSize(), 5);
    EXPECT_EQ(pGrid->m_arrayColumns[0].m_strName, "[OrderID]");
    EXPECT_EQ(pGrid->m_wndHeader.GetItemCount(), pGrid->m_arrayColumns.GetSize());
    EXPECT_EQ(Keys()[0], "1");
    EXPECT_EQ(pGrid->m_nCursor, 0);
    EXPECT_EQ(VMax(), 249);
    EXPECT_EQ(m_host.Count(RSCN_SELCHANGE), 1);
}
