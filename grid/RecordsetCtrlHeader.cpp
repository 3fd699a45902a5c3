// The header's notifications: click to sort, drag a divider to resize or hide a column, drag a
// column to another place.
#include "grid/RecordsetCtrl.h"

namespace {

// The item's data (its column index) and display position; -1 for both when unknown.
void ReadItem(CExHeaderCtrl& header, int nItem, int* pnColumn, int* pnOrder) {
    HDITEM item{};
    item.mask = HDI_LPARAM | HDI_ORDER;
    *pnColumn = -1;
    *pnOrder = -1;
    if (nItem < 0 || !header.GetItem(nItem, &item))
        return;
    *pnColumn = (int)item.lParam;
    *pnOrder = item.iOrder;
}

// The width the notification carries, or the item's own when it carries none.
int TrackedWidth(CExHeaderCtrl& header, const NMHEADER* pHeader) {
    if (pHeader->pitem != NULL && (pHeader->pitem->mask & HDI_WIDTH))
        return pHeader->pitem->cxy;
    HDITEM item{};
    item.mask = HDI_WIDTH;
    header.GetItem(pHeader->iItem, &item);
    return item.cxy;
}

} // namespace

void CRecordsetCtrl::OnHeaderItemClick(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    SetFocus();
    int nColumn, nOrder;
    ReadItem(m_wndHeader, reinterpret_cast<NMHEADER*>(pNMHDR)->iItem, &nColumn, &nOrder);
    if (nColumn < 0 || nColumn >= m_arrayColumns.GetSize())
        return;
    const CColumnDetails& col = m_arrayColumns[nColumn];
    if (!col.m_bSortable) {
        ::MessageBeep(0xFFFFFFFF);
        return;
    }
    if (col.m_nField == m_nSortByN) {
        m_bSortDesc = !m_bSortDesc;
    } else {
        m_nSortByN = col.m_nField;
        m_bSortDesc = FALSE;
    }
    SetSort();
    SendMessage(WM_RSC_RELOAD, 0, 0);
}

void CRecordsetCtrl::OnHeaderBeginTrack(NMHDR* pNMHDR, LRESULT* pResult) {
    m_nTrackLine = -1;
    OnHeaderTrack(pNMHDR, pResult);
}

void CRecordsetCtrl::OnHeaderTrack(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    NMHEADER* pHeader = reinterpret_cast<NMHEADER*>(pNMHDR);
    CRect rcGrid;
    GetClientRect(&rcGrid);
    int nColumn, nOrder;
    ReadItem(m_wndHeader, pHeader->iItem, &nColumn, &nOrder);
    if (nOrder < 0)
        return;
    // The right edge of the tracked item, relative to the grid area's left edge.
    const int x = TrackedWidth(m_wndHeader, pHeader) -
                  m_wndHeader.GetWidth(m_wndHScroll.GetScrollPos()) + m_wndHeader.GetWidth(nOrder);

    CClientDC dc(this);
    const int nOldRop = dc.SetROP2(R2_NOT);
    CPen pen;
    pen.CreatePen(PS_SOLID, 0, RGB(0, 0, 0));
    CPen* pOldPen = dc.SelectObject(&pen);
    if (m_nTrackLine != -1) {
        dc.MoveTo(rcGrid.left + m_nTrackLine, rcGrid.top);
        dc.LineTo(rcGrid.left + m_nTrackLine, rcGrid.bottom);
    }
    dc.MoveTo(rcGrid.left + x, rcGrid.top);
    dc.LineTo(rcGrid.left + x, rcGrid.bottom);
    dc.SelectObject(pOldPen);
    dc.SetROP2(nOldRop);
    m_nTrackLine = x;
}

void CRecordsetCtrl::OnHeaderEndTrack(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    NMHEADER* pHeader = reinterpret_cast<NMHEADER*>(pNMHDR);
    SetFocus();
    if (TrackedWidth(m_wndHeader, pHeader) <= 8) {
        int nColumn, nOrder;
        ReadItem(m_wndHeader, pHeader->iItem, &nColumn, &nOrder);
        if (nColumn >= 0 && nColumn < m_arrayColumns.GetSize())
            m_arrayColumns[nColumn].m_bVisible = FALSE;
        // Posted: the header is still inside its own tracking when it tells us.
        m_wndHeader.PostMessage(HDM_DELETEITEM, pHeader->iItem, 0);
        int nMin = 0, nMax = 0;
        m_wndHScroll.GetScrollRange(&nMin, &nMax);
        m_wndHScroll.SetScrollRange(nMin, nMax - 1, TRUE);
        RecalcWindowSize();
        SetSort();
    }
    m_nTrackLine = -1;
    InvalidateRect(NULL, TRUE);
}

void CRecordsetCtrl::OnHeaderEndDrag(NMHDR*, LRESULT* pResult) {
    SetFocus();
    InvalidateRect(NULL, TRUE);
    *pResult = 0;
}
