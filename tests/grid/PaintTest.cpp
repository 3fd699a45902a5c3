#include "GridTest.h"

#include "tests/support/StatementCounter.h"

#include <filesystem>

namespace {

COLORREF Pixel(CWnd* pWnd, int x, int y) {
    KelRunUntilIdle();
    return KelGetWindowPixel(pWnd->GetSafeHwnd(), CPoint(x, y));
}

void Save(CWnd* pWnd, const char* name) {
    const std::filesystem::path dir = std::filesystem::path(KEL_TEST_DATA_DIR) / "pictures";
    std::filesystem::create_directories(dir);
    KelRunUntilIdle();
    EXPECT_TRUE(SaveWindowImage(pWnd->GetSafeHwnd(), (dir / name).string().c_str()));
}

} // namespace

// The cursor row is filled with the highlight; other rows with the column's background; grid
// lines run between rows; the corner boxes are button face.
TEST_P(GridTest, PaintsTheCursorRowAndGridLines) {
    CRecordsetCtrl* pGrid = CreateGrid(MakeLoad(), CRect(0, 0, 640, 400));
    const int nPitch = pGrid->m_nCharHeight + 2;
    ASSERT_EQ(pGrid->m_nCursor, 0);
    // Somewhere in row 0 between texts: the first column is right-aligned numbers, so its
    // left part is empty.
    EXPECT_EQ(Pixel(pGrid, 6, 18 + 3), pGrid->m_crHighlight);
    EXPECT_EQ(Pixel(pGrid, 6, 18 + nPitch + 3), pGrid->m_crWindow);
    EXPECT_EQ(Pixel(pGrid, 6, 18 + nPitch - 1), RGB(192, 192, 192));
    EXPECT_EQ(Pixel(pGrid, 95, 400 - 8), pGrid->m_crBtnFace);
    EXPECT_EQ(Pixel(pGrid, 640 - 8, 400 - 8), pGrid->m_crBtnFace);
    EXPECT_EQ(Pixel(pGrid, 50, 400 - 16 + 1), RGB(255, 255, 255));
    Save(pGrid, "grid.png");

    // The cursor moves with a click... through the keyboard's concern; here by hand.
    pGrid->InvalidateCursor(0);
    pGrid->m_nCursor = 2;
    pGrid->InvalidateCursor(2);
    EXPECT_EQ(Pixel(pGrid, 6, 18 + 3), pGrid->m_crWindow);
    EXPECT_EQ(Pixel(pGrid, 6, 18 + 2 * nPitch + 3), pGrid->m_crHighlight);

    // A column of a colour of its own is filled with it, beside those of the window's colour.
    const COLORREF crOwn = RGB(250, 240, 200);
    pGrid->m_arrayColumns[1].m_crBack = crOwn;
    pGrid->InvalidateRect(NULL, FALSE);
    CRect rcItem;
    ASSERT_TRUE(pGrid->m_wndHeader.GetItemRect(1, &rcItem));
    EXPECT_EQ(Pixel(pGrid, rcItem.left + 1, 18 + nPitch + 3), crOwn);
    EXPECT_EQ(Pixel(pGrid, rcItem.left - 2, 18 + nPitch + 3), pGrid->m_crWindow);
    EXPECT_EQ(Pixel(pGrid, rcItem.right + 1, 18 + nPitch + 3), pGrid->m_crWindow);
}

// The background bitmap is tiled instead of the column colours; the cursor row is still filled.
TEST_P(GridTest, TilesTheBackground) {
    CRecordsetLoad* pLoad = MakeLoad();
    pLoad->m_hResourceInstance = GetModuleHandle("KelRSList.dll");
    pLoad->m_nBackgroundBitmapID = 2055; // a 16 x 16 image of the library
    pLoad->m_bShowBackground = TRUE;
    CRecordsetCtrl* pGrid = CreateGrid(pLoad);
    pGrid->m_bShowBackground = TRUE; // the store may hold another choice
    pGrid->InvalidateRect(NULL, TRUE);
    ASSERT_EQ(pGrid->m_nBackgroundWidth, 16);
    const int nPitch = pGrid->m_nCharHeight + 2;
    // Rows below the cursor show the tiles: the same pixel 16 pixels apart, in both directions.
    const int y0 = 18 + 3 * nPitch + 2;
    for (int x = 2; x < 8; ++x) {
        EXPECT_EQ(Pixel(pGrid, x, y0), Pixel(pGrid, x + 16, y0));
        EXPECT_EQ(Pixel(pGrid, x, y0), Pixel(pGrid, x, y0 + 16));
    }
    EXPECT_EQ(Pixel(pGrid, 6, 18 + 3), pGrid->m_crHighlight);
    Save(pGrid, "grid-background.png");
}

// The record counter is the scroll range's size with "record(s)".
TEST_P(GridTest, CounterText) {
    CRecordsetCtrl* pGrid = CreateGrid(MakeLoad());
    KelRunUntilIdle();
    int nMin = 0, nMax = 0;
    pGrid->m_wndVScroll.GetScrollRangePage(&nMin, &nMax);
    EXPECT_EQ(nMax + 1, 250);
    // Dark text pixels right of 50 and left of 86 in the counter box; none beyond 86.
    int nDark = 0, nBeyond = 0;
    for (int y = 300 - 15; y < 300; ++y)
        for (int x = 0; x < 100; ++x) {
            COLORREF cr = KelGetWindowPixel(pGrid->GetSafeHwnd(), CPoint(x, y));
            bool dark = GetRValue(cr) < 100 && GetGValue(cr) < 100 && GetBValue(cr) < 100;
            nDark += dark;
            nBeyond += dark && x > 87;
        }
    EXPECT_GT(nDark, 20);
    EXPECT_EQ(nBeyond, 0);
}

// Text wider than its cell ends in an ellipsis and an ampersand is shown as written; the
// cells are drawn from the row window only.
TEST_P(GridTest, LongTextAndAmpersand) {
    CRecordsetCtrl* pGrid = CreateGrid(MakeLoad("SELECT OrderID, Customer FROM Orders"));
    pGrid->m_arrayTable[0][1] = "A & B";
    pGrid->m_arrayTable[1][1] = CString('W', 200);
    pGrid->InvalidateRect(NULL, TRUE);
    CClientDC dc(pGrid);
    CFont* pOld = dc.SelectObject(&pGrid->m_font);
    const CSize amp = dc.GetTextExtent("A & B");
    dc.SelectObject(pOld);
    EXPECT_GT(amp.cx, dc.GetTextExtent("AB").cx);
    Save(pGrid, "grid-text.png");
    // The long text stops before its cell's right edge less the inset.
    const CRect rc = HeaderItemRect(HeaderItemOf(1));
    const int nPitch = pGrid->m_nCharHeight + 2;
    const int y = 18 + nPitch + nPitch / 2;
    int nLastDark = -1;
    for (int x = rc.left; x < rc.right; ++x) {
        COLORREF cr = Pixel(pGrid, x, y);
        if (GetRValue(cr) < 128)
            nLastDark = x;
    }
    EXPECT_GT(nLastDark, rc.left);
    EXPECT_LE(nLastDark, rc.right - 6);
}

// An empty recordset: grid lines everywhere, no cursor row, "0 record(s)".
TEST_P(GridTest, EmptyRecordsetPaintsLinesOnly) {
    CRecordsetLoad* pLoad = MakeLoad();
    pLoad->m_strFilter = "OrderID < 0";
    CRecordsetCtrl* pGrid = CreateGrid(pLoad);
    const int nPitch = pGrid->m_nCharHeight + 2;
    EXPECT_EQ(VMax(), -1);
    EXPECT_EQ(Pixel(pGrid, 6, 18 + 3), pGrid->m_crWindow);
    EXPECT_EQ(Pixel(pGrid, 6, 18 + 10 * nPitch - 1), RGB(192, 192, 192));
    Save(pGrid, "grid-empty.png");
}

// Painting reads the row window only; a page down reads about one window of records (reads:
// SQLite's statements, or a server's exchanges).
TEST_P(GridTest, PaintingNeverReadsTheDatabase) {
    StatementCounter counter;
    CRecordsetCtrl* pGrid = CreateGrid(MakeLoad());
    KelRunUntilIdle();
    CDaoDatabase& db = *pGrid->m_pDoc->m_pRecordset->m_pDatabase;
    auto reads = [&] {
        return IsServer() ? static_cast<int>(db.GetRoundTrips()) : counter.statements;
    };
    counter.Reset();
    const int before = reads();
    for (int i = 0; i < 3; ++i) {
        pGrid->Invalidate(TRUE);
        EXPECT_EQ(Pixel(pGrid, 6, 18 + 3), pGrid->m_crHighlight);
    }
    EXPECT_EQ(reads(), before);
    EXPECT_EQ(counter.rows, 0);

    pGrid->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0),
                       (LPARAM)pGrid->m_wndVScroll.GetSafeHwnd());
    KelRunUntilIdle();
    EXPECT_GT(reads(), before);
    // A page: SQLite's statements stay below a few per row; a server's exchanges are one.
    EXPECT_LE(reads() - before, IsServer() ? 1 : 2 * pGrid->m_nRows + 10);
}
