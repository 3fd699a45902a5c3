// The cursor: held on a row that holds a record, and repainted one row at a time.
#include "grid/RecordsetCtrl.h"

#include <algorithm>

BOOL CRecordsetCtrl::RowHoldsRecord(int nRow) const {
    return nRow >= 0 && nRow < m_nRecordRows && nRow < m_arrayTable.GetSize();
}

BOOL CRecordsetCtrl::SafePositionCursor(BOOL bInvalidate) {
    const int nCount = (int)m_arrayTable.GetSize();
    if (nCount == 0 || m_arrayTable[0].GetSize() == 0)
        return FALSE;
    if (m_nCursor == -1) {
        if (!RowHoldsRecord(0))
            return FALSE;
        m_nCursor = 0;
        if (bInvalidate)
            InvalidateCursor(0);
        return TRUE;
    }
    const int nEntry = m_nCursor;
    int nRow = std::min(m_nCursor, nCount - 1);
    while (nRow >= 0 && !RowHoldsRecord(nRow))
        --nRow;
    if (nRow < 0) {
        m_nCursor = -1;
        return FALSE;
    }
    if (nRow == nEntry)
        return FALSE;
    if (bInvalidate)
        InvalidateCursor(nEntry);
    m_nCursor = nRow;
    if (bInvalidate)
        InvalidateCursor(nRow);
    return TRUE;
}

void CRecordsetCtrl::InvalidateCursor(int nRow) {
    if (nRow == -1)
        return;
    CRect rcGrid;
    GetClientRect(&rcGrid);
    const int nPitch = m_nCharHeight + 2;
    CRect rcRow(rcGrid.left, rcGrid.top + nRow * nPitch, rcGrid.right,
                rcGrid.top + (nRow + 1) * nPitch);
    CWnd::InvalidateRect(&rcRow, TRUE);
}
