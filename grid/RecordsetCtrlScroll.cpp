// Scrolling. Horizontally the header moves by whole columns. Vertically the document is asked
// for another window of rows and the status it gives back corrects the scroll range when the
// records turn out fewer or changed; a move by one row whose other rows read as before moves
// their pixels and draws only the row that comes in.
#include "grid/RecordsetCtrl.h"

#include <algorithm>
#include <climits>

void CRecordsetCtrl::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar*) {
    SetFocus();
    const int p = m_wndHScroll.GetScrollPos();
    int nMin = 0, nMax = 0;
    m_wndHScroll.GetScrollRangePage(&nMin, &nMax);
    CRect rc;
    CWnd::GetClientRect(&rc);
    int nNew = p;
    switch (nSBCode) {
    case SB_LINELEFT:
        if (p > nMin)
            nNew = p - 1;
        break;
    case SB_LINERIGHT:
        if (p < nMax)
            nNew = p + 1;
        break;
    case SB_PAGELEFT:
        nNew = m_wndHeader.GetPageLeftCol(&rc, p);
        break;
    case SB_PAGERIGHT:
        nNew = m_wndHeader.GetPageRightCol(&rc, p);
        break;
    case SB_THUMBTRACK:
        nNew = m_wndHScroll.GetThumbPos(nPos);
        break;
    default:
        break;
    }
    if (nNew == p)
        return;
    m_wndHScroll.SetScrollPos(nNew, TRUE);
    // The bar stops where the last columns fill its page: the header goes where the bar
    // stands, as the rows do, not where it was asked to go.
    nNew = m_wndHScroll.GetScrollPos();
    if (nNew == p)
        return;
    m_wndHeader.MoveToTop(&rc, nNew);
    InvalidateRect(NULL, TRUE);
}

void CRecordsetCtrl::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar*) {
    SetFocus();
    const int n = m_nRows;
    // Positions counted back from the end run out before the count has come: more room.
    if (m_bCounting && m_bAtEnd && (nSBCode == SB_LINEUP || nSBCode == SB_PAGEUP) &&
        m_wndVScroll.GetScrollPos() - n < 0)
        RoomAbove(std::max(16 * n, 1024));
    const int p = m_wndVScroll.GetScrollPos();
    int nMin = 0, nMax = 0;
    m_wndVScroll.GetScrollRangePage(&nMin, &nMax);
    // The bar keeps its position within min .. max - page + 1, as the system's does. A window
    // asked for beyond that would show other records than the position says, so downward
    // moves stop there: the last records then stand in the window's upper half.
    const int nPage = GetVerticalPage();
    const int nBottom = std::max(nMin, nMax - std::max(m_wndVScroll.GetScrollPage(), 1) + 1);
    // While the count has not come the end is open, unless the window stands there.
    const BOOL bOpenEnd = m_bCounting && !m_bAtEnd;
    const int nReach = bOpenEnd ? INT_MAX : nBottom;
    int t = 0, nMode = 0;
    BOOL bToEnd = FALSE;
    BOOL bDown = FALSE;
    switch (nSBCode) {
    case SB_LINEUP:
        if (p <= nMin)
            return;
        t = p - 1;
        nMode = CRecordsetDoc::gtLineUp;
        break;
    case SB_LINEDOWN:
        if (p >= nReach)
            return;
        t = p + 1;
        nMode = CRecordsetDoc::gtLineDown;
        bDown = TRUE;
        break;
    case SB_PAGEUP:
        if (p <= nMin)
            return;
        t = std::max(p - n + 1, nMin);
        nMode = CRecordsetDoc::gtPageUp;
        break;
    case SB_PAGEDOWN:
        if (p >= nReach)
            return;
        t = std::min(p + n - 1, nReach);
        // A page that would pass the reachable end is asked for by its position.
        nMode = t == p + n - 1 ? CRecordsetDoc::gtPageDown : AbsoluteMove(t);
        bDown = TRUE;
        break;
    case SB_THUMBPOSITION:
        // The message carries 16 bits; the bar knows the real position.
        t = std::min(m_wndVScroll.GetThumbPos(nPos), nReach);
        if (m_bCounting && t >= nBottom && !m_bAtEnd) {
            // The bottom before the count: the end, found from the end.
            t = nBottom;
            bToEnd = TRUE;
            nMode = CRecordsetDoc::gtFromEnd - (nPage - 1);
        } else {
            if (t == p)
                return;
            // At the end the bottom counts from the end; any other place from the front.
            nMode = m_bAtEnd && t >= nBottom ? AbsoluteMove(t) : CRecordsetDoc::gtAbsolute + t;
        }
        bDown = TRUE;
        break;
    default:
        return;
    }

    const BOOL bLine = nMode == CRecordsetDoc::gtLineDown || nMode == CRecordsetDoc::gtLineUp;
    CRowArray before;
    if (bLine && !m_bShowBackground)
        before.Copy(m_arrayTable);
    const int nStatus =
        GetTable(&m_arrayTable, &m_arrayColumns, nMode, n, &m_varFirst, &m_varLast, &m_nTableRows);
    if (m_bCounting && nStatus == CRecordsetDoc::tsOk) {
        if (bToEnd)
            m_bAtEnd = TRUE;
        else if (nMode >= CRecordsetDoc::gtAbsolute)
            m_bAtEnd = FALSE; // counted from the front again
        if (!m_bAtEnd)
            GrowRange(t);
    }
    switch (nStatus) {
    case CRecordsetDoc::tsEmpty:
        m_wndVScroll.SetScrollRangePage(nMin, -1, FALSE);
        m_wndVScroll.SetScrollPage(nPage, TRUE);
        break;
    case CRecordsetDoc::tsTop:
        // The window met the first record early: the t + 1 records counted before it are not
        // there. Before the count, positions count from the front again.
        m_bAtEnd = FALSE;
        if (!m_bCounting)
            m_wndVScroll.SetScrollRangePage(nMin, nMax - t - 1, FALSE);
        m_wndVScroll.SetScrollPos(0, TRUE);
        m_wndVScroll.SetScrollPage(nPage, TRUE);
        break;
    case CRecordsetDoc::tsBottom:
        // The window's first row is the last record.
        m_wndVScroll.SetScrollRangePage(nMin, t - 1, FALSE);
        m_wndVScroll.SetScrollPos(t - 1, TRUE);
        m_wndVScroll.SetScrollPage(nPage, TRUE);
        InvalidateRect(NULL, FALSE);
        break;
    case CRecordsetDoc::tsRestarted:
        StartCounting(0);
        m_nCursor = 0;
        m_wndVScroll.SetScrollPage(nPage, TRUE);
        InvalidateRect(NULL, TRUE);
        break;
    case CRecordsetDoc::tsOk:
        m_wndVScroll.SetScrollPos(t, TRUE);
        if (!bLine || !MoveRowPixels(nMode == CRecordsetDoc::gtLineDown ? 1 : -1, before))
            InvalidateRect(NULL, FALSE);
        break;
    default: // tsFailed: the document has told the user
        break;
    }
    if (bDown)
        SafePositionCursor(TRUE);
    NotifyParent(RSCN_SELCHANGE);
}

BOOL CRecordsetCtrl::MoveRowPixels(int nRows, const CRowArray& before) {
    const int R = (int)m_arrayTable.GetSize();
    if (m_bShowBackground || R < 2 || before.GetSize() != R)
        return FALSE;
    for (int r = 0; r + 1 < R; ++r) {
        const CStringArray& was = before[nRows > 0 ? r + 1 : r];
        const CStringArray& is = m_arrayTable[nRows > 0 ? r : r + 1];
        if (was.GetSize() != is.GetSize())
            return FALSE;
        for (INT_PTR k = 0; k < is.GetSize(); ++k)
            if (was[k] != is[k])
                return FALSE;
    }
    // The rows' area: what lies below the last row stays as it is.
    CRect rcRows;
    GetClientRect(&rcRows);
    const int nPitch = m_nCharHeight + 2;
    rcRows.bottom = std::min<LONG>(rcRows.bottom, rcRows.top + R * nPitch);
    if (rcRows.Height() <= 2 * nPitch)
        return FALSE;
    // Right of the last column each row looks alike (the window's colour and a grid line; the
    // cursor's rows are drawn again below): only the columns' pixels move.
    CRect rcMoved = rcRows;
    rcMoved.right = ColumnsRight(rcRows);
    if (!rcMoved.IsRectEmpty())
        CWnd::ScrollWindow(0, -nRows * nPitch, &rcMoved, &rcMoved);
    // The row that comes in; at the bottom also the one a partly shown row moved into.
    CRect rcIn = rcRows;
    if (nRows > 0)
        rcIn.top = rcRows.bottom - 2 * nPitch;
    else
        rcIn.bottom = rcRows.top + nPitch;
    CWnd::InvalidateRect(&rcIn, FALSE);
    // Drawn now, apart from the cursor's rows: one paint over both would cover all between.
    UpdateWindow();
    // The cursor's highlight moved with the pixels; the cursor stays on its row.
    if (m_nCursor >= 0) {
        if (m_nCursor - nRows >= 0 && m_nCursor - nRows < R)
            InvalidateCursor(m_nCursor - nRows);
        InvalidateCursor(m_nCursor);
    }
    return TRUE;
}
