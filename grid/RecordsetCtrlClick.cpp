// Clicks: the row under the pointer becomes current, the parent hears of it, and a click on an
// editable cell may start an in-place edit (at once, or after the double-click time).
#include "grid/RecordsetCtrl.h"

void CRecordsetCtrl::CheckClick(CPoint point, int nKind) {
    const int nOld = m_nCursor;
    CWnd* pFocusBefore = GetFocus();
    const BOOL bHadFocus = pFocusBefore == this;
    SetFocus();

    KillTimer(m_nEditTimer);
    m_ptClick = point;
    m_bDragStarted = FALSE;

    CRect rcGrid;
    GetClientRect(&rcGrid);
    const int nPitch = m_nCharHeight + 2;
    m_nCursor = nPitch > 0 ? (point.y - rcGrid.top) / nPitch : 0;

    const BOOL bMoved = m_nCursor != nOld;
    if (bMoved) {
        InvalidateCursor(nOld);
        SafePositionCursor(FALSE);
        InvalidateCursor(m_nCursor);
        NotifyParent(nKind == 2 ? RSCN_DBLCLK : RSCN_SELCHANGE);
    } else if (nKind == 2) {
        NotifyParent(RSCN_DBLCLK);
    }

    if (nKind != 0 || m_nCursor == -1 || !m_bEditOnClick)
        return;

    // The clicked column: the header items in display order from the first visible one.
    const int nItems = m_wndHeader.GetItemCount();
    int nLeft = rcGrid.left;
    int nSlot = -1, nColumn = -1;
    for (int nPos = m_wndHScroll.GetScrollPos(); nPos >= 0 && nPos < nItems; ++nPos) {
        HDITEM hdi{};
        hdi.mask = HDI_WIDTH | HDI_LPARAM;
        if (!m_wndHeader.GetItem(m_wndHeader.OrderToIndex(nPos), &hdi))
            break;
        const CRect rcCell(nLeft, rcGrid.top, nLeft + hdi.cxy, rcGrid.bottom);
        if (rcCell.PtInRect(point)) {
            nSlot = nPos;
            nColumn = (int)hdi.lParam;
            break;
        }
        nLeft += hdi.cxy;
    }
    if (nColumn < 0 || nColumn >= m_arrayColumns.GetSize())
        return;

    const int nMode = m_arrayColumns[nColumn].m_nEditMode;
    if (!bMoved && bHadFocus && nMode == 1) {
        m_nEditRow = m_nCursor;
        m_nEditSlot = nSlot;
        m_ptEdit = point;
        SetTimer(m_nEditTimer, ::GetDoubleClickTime(), NULL);
    } else if (nMode == 2) {
        m_nEditRow = m_nCursor;
        m_nEditSlot = nSlot;
        m_ptEdit = point;
        OnTimer(m_nEditTimer);
    }
}
