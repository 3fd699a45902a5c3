#include "GridTest.h"

class ScrollTest : public GridTest {
protected:
    void VScroll(UINT nCode, int nPos = 0) {
        m_pGrid->SendMessage(WM_VSCROLL, MAKEWPARAM(nCode, nPos),
                             (LPARAM)m_pGrid->m_wndVScroll.GetSafeHwnd());
    }
    void HScroll(UINT nCode, int nPos = 0) {
        m_pGrid->SendMessage(WM_HSCROLL, MAKEWPARAM(nCode, nPos),
                             (LPARAM)m_pGrid->m_wndHScroll.GetSafeHwnd());
    }
    static CRect Place(CWnd* pParent, CWnd* pChild) {
        CRect rc;
        pChild->GetWindowRect(&rc);
        pParent->ScreenToClient(&rc);
        return rc;
    }
};

// The children's places for a 400 x 300 grid.
TEST_P(ScrollTest, Geometry) {
    CRecordsetCtrl* pGrid = CreateGrid(MakeLoad());
    const int nPitch = pGrid->m_nCharHeight + 2;
    CRect rcGrid;
    pGrid->GetClientRect(&rcGrid);
    EXPECT_EQ(rcGrid, CRect(0, 18, 384, 284));
    EXPECT_EQ(pGrid->m_nRows, (300 - 16 - 18) / nPitch);
    EXPECT_EQ(pGrid->m_wndVScroll.GetScrollPage(), pGrid->m_nRows / 2);
    EXPECT_EQ(Place(pGrid, &pGrid->m_btnRefresh), CRect(384, 18, 400, 34));
    EXPECT_EQ(Place(pGrid, &pGrid->m_btnColumns), CRect(384, 34, 400, 50));
    EXPECT_EQ(Place(pGrid, &pGrid->m_wndVScroll), CRect(384, 50, 400, 284));
    EXPECT_EQ(Place(pGrid, &pGrid->m_wndHScroll), CRect(100, 284, 384, 300));
    EXPECT_EQ(Place(pGrid, &pGrid->m_wndHeader).top, 0);
    EXPECT_EQ(Place(pGrid, &pGrid->m_wndHeader).Height(), 18);

    // Too small for a row: nothing fetched on resize, page 1.
    pGrid->MoveWindow(0, 0, 200, 40);
    EXPECT_EQ(pGrid->m_nRows, 0);
    EXPECT_EQ(pGrid->m_wndVScroll.GetScrollPage(), 1);
}

// A move by one row moves the pixels of the rows that stay and draws the one that comes in:
// the window then shows what drawing it whole would, the cursor's highlight included, also
// with room right of the last column and with the columns scrolled sideways.
TEST_P(ScrollTest, ARowMoveShowsWhatDrawingItWholeShows) {
    auto rowMoves = [&](CRecordsetCtrl* pGrid, const char* what, std::vector<UINT> codes) {
        CRect G;
        pGrid->GetClientRect(&G);
        auto image = [&] {
            std::vector<COLORREF> px;
            for (int y = G.top; y < G.bottom; ++y)
                for (int x = G.left; x < G.right; ++x)
                    px.push_back(KelGetWindowPixel(pGrid->GetSafeHwnd(), CPoint(x, y)));
            return px;
        };
        auto differing = [&](const std::vector<COLORREF>& shown) {
            pGrid->Invalidate(TRUE);
            pGrid->UpdateWindow();
            const std::vector<COLORREF> whole = image();
            long n = 0;
            for (size_t i = 0; i < shown.size(); ++i)
                n += shown[i] != whole[i];
            return n;
        };
        pGrid->InvalidateCursor(pGrid->m_nCursor);
        pGrid->m_nCursor = 3;
        pGrid->InvalidateCursor(3);
        KelRunUntilIdle();
        for (UINT code : codes) {
            const std::string before = Keys()[1];
            VScroll(code);
            KelRunUntilIdle();
            EXPECT_EQ(Keys()[code == SB_LINEDOWN ? 0 : 2], before) << what;
            EXPECT_EQ(differing(image()), 0)
                << what << ", after " << (code == SB_LINEDOWN ? "down" : "up");
        }
    };
    CRecordsetCtrl* pGrid = CreateGrid(MakeLoad());
    rowMoves(pGrid, "all columns", {SB_LINEDOWN, SB_LINEDOWN, SB_LINEUP, SB_LINEDOWN, SB_LINEUP});
    HScroll(SB_LINERIGHT);
    KelRunUntilIdle();
    ASSERT_EQ(pGrid->m_wndHScroll.GetScrollPos(), 1);
    rowMoves(pGrid, "scrolled sideways", {SB_LINEDOWN, SB_LINEUP});
    // Rows that read otherwise than before the move (a host's own GetTable may give such):
    // nothing moves, the whole grid is drawn.
    CRecordsetCtrl::CRowArray before;
    before.Copy(pGrid->m_arrayTable);
    VScroll(SB_LINEDOWN);
    KelRunUntilIdle();
    before[3][1] = "Someone Else";
    EXPECT_FALSE(pGrid->MoveRowPixels(1, before));

    DestroyGrid();
    pGrid = CreateGrid(MakeLoad("SELECT OrderID, Amount FROM Orders"));
    CRect G;
    pGrid->GetClientRect(&G);
    ASSERT_LT(pGrid->ColumnsRight(G), G.right - 50);
    rowMoves(pGrid, "two columns", {SB_LINEDOWN, SB_LINEUP});
}

// Pages move by the window less one row; lines by one; the ends do nothing and tell nobody.
TEST_P(ScrollTest, PagesAndLines) {
    CRecordsetCtrl* pGrid = CreateGrid(MakeLoad());
    const int n = pGrid->m_nRows;
    m_host.Clear();
    VScroll(SB_LINEUP);
    EXPECT_EQ(VPos(), 0);
    EXPECT_EQ(m_host.Count(RSCN_SELCHANGE), 0);

    VScroll(SB_PAGEDOWN);
    EXPECT_EQ(VPos(), n - 1);
    EXPECT_EQ(Keys()[0], std::to_string(n));
    EXPECT_EQ(m_host.Count(RSCN_SELCHANGE), 1);
    VScroll(SB_PAGEUP);
    EXPECT_EQ(VPos(), 0);
    EXPECT_EQ(Keys()[0], "1");
    VScroll(SB_LINEDOWN);
    EXPECT_EQ(VPos(), 1);
    EXPECT_EQ(Keys()[0], "2");

    // The thumb: released where it was, nothing; elsewhere, that record on top.
    m_host.Clear();
    VScroll(SB_THUMBPOSITION, 1);
    EXPECT_EQ(m_host.Count(RSCN_SELCHANGE), 0);
    VScroll(SB_THUMBTRACK, 100);
    EXPECT_EQ(VPos(), 1);
    VScroll(SB_THUMBPOSITION, 100);
    EXPECT_EQ(VPos(), 100);
    EXPECT_EQ(Keys()[0], "101");

    // To the end: the last position is the range's maximum less the window.
    VScroll(SB_THUMBPOSITION, 249);
    const int nLast = VPos();
    EXPECT_EQ(Keys()[0], std::to_string(nLast + 1));
    EXPECT_EQ(Cell(249 - nLast, 0), "250");
    m_host.Clear();
    for (int i = 0; i < 3; ++i)
        VScroll(SB_PAGEDOWN);
    EXPECT_EQ(Cell(249 - VPos(), 0), "250");
    EXPECT_GE(pGrid->m_nCursor, 0);
    EXPECT_FALSE(Cell(pGrid->m_nCursor, 0).IsEmpty());
}

// Records deleted by another user keep their places, marked; a reopen drops them and shows
// records added meanwhile.
TEST_P(ScrollTest, RecordsChangedElsewhere) {
    CRecordsetLoad* pLoad = MakeLoad("SELECT * FROM T");
    std::string path = MakeDatabase("CREATE TABLE T (ID INTEGER PRIMARY KEY, Name TEXT(20));"
                                    "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM c "
                                    "WHERE i < 100) INSERT INTO T SELECT i, 'n' || i FROM c;");
    pLoad->m_strDatabase = path.c_str();
    KelSetMessageBoxAnswer(0);
    CRecordsetCtrl* pGrid = CreateGrid(pLoad);
    ASSERT_EQ(VMax(), 99);
    EXPECT_TRUE(ExecOther(Made(), "DELETE FROM T WHERE ID > 40"));
    VScroll(SB_THUMBPOSITION, 60);
    EXPECT_EQ(VPos(), 60);
    EXPECT_EQ(Keys()[0], (LPCTSTR)pGrid->m_strDeleted);

    EXPECT_TRUE(ExecOther(Made(), "INSERT INTO T VALUES (500, 'late')"));
    pGrid->SendMessage(WM_RSC_RELOAD, 0, 0);
    EXPECT_EQ(VMax(), 40);
    EXPECT_EQ(VPos(), 0);
    VScroll(SB_THUMBPOSITION, 40);
    EXPECT_EQ(Cell(40 - VPos(), 0), "500");
}

// Horizontal scrolling moves the header by whole columns and stops at the ends.
TEST_P(ScrollTest, ColumnsScrollByWholeColumns) {
    CRecordsetCtrl* pGrid = CreateGrid(MakeLoad());
    const int nItems = pGrid->m_wndHeader.GetItemCount();
    HScroll(SB_LINELEFT);
    EXPECT_EQ(pGrid->m_wndHScroll.GetScrollPos(), 0);
    HScroll(SB_LINERIGHT);
    EXPECT_EQ(pGrid->m_wndHScroll.GetScrollPos(), 1);
    // Column 1 now stands at the grid's left edge.
    EXPECT_EQ(HeaderItemRect(HeaderItemOf(1)).left, 0);
    // The last position shows the last columns whole: the header stands there with the rows,
    // however far right it was asked to go.
    HScroll(SB_THUMBTRACK, nItems - 1);
    const int nLast = pGrid->m_wndHScroll.GetScrollPos();
    ASSERT_LT(nLast, nItems - 1);
    EXPECT_EQ(HeaderItemRect(HeaderItemOf(nLast)).left, 0);
    HScroll(SB_LINERIGHT);
    EXPECT_EQ(pGrid->m_wndHScroll.GetScrollPos(), nLast);
    EXPECT_EQ(HeaderItemRect(HeaderItemOf(nLast)).left, 0);
    HScroll(SB_PAGELEFT);
    EXPECT_LT(pGrid->m_wndHScroll.GetScrollPos(), nLast);
}

// A window of five records: a cursor below them comes up to the last; one on a record stays;
// no records, no cursor.
TEST_P(ScrollTest, TheCursorSettlesOnTheLastRecordOfAShortWindow) {
    CRecordsetCtrl* pGrid = CreateGrid(MakeLoad("SELECT * FROM Orders WHERE OrderID <= 5"));
    ASSERT_NE(pGrid, nullptr);
    ASSERT_GT(pGrid->m_nRows, 10);
    pGrid->m_nCursor = 10;
    EXPECT_TRUE(pGrid->SafePositionCursor(TRUE));
    EXPECT_EQ(pGrid->m_nCursor, 4);
    EXPECT_EQ(Cell(4, pGrid->m_nKeyColumn), "5");
    pGrid->m_nCursor = 3;
    EXPECT_FALSE(pGrid->SafePositionCursor(TRUE));
    EXPECT_EQ(pGrid->m_nCursor, 3);
    // Placed from no cursor: the first row.
    pGrid->m_nCursor = -1;
    EXPECT_TRUE(pGrid->SafePositionCursor(FALSE));
    EXPECT_EQ(pGrid->m_nCursor, 0);

    CreateGrid(MakeLoad("SELECT * FROM Orders WHERE OrderID < 0"));
    EXPECT_EQ(m_pGrid->m_nCursor, -1);
    m_pGrid->m_nCursor = 2;
    EXPECT_FALSE(m_pGrid->SafePositionCursor(TRUE));
    EXPECT_EQ(m_pGrid->m_nCursor, -1);
}

KEL_BOTH_ENGINES(ScrollTest);
