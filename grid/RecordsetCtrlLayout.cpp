// Layout: the grid area, the children's places and the window size in rows.
#include "grid/RecordsetCtrl.h"

#include <algorithm>

void CRecordsetCtrl::GetClientRect(LPRECT lpRect) const {
    CWnd::GetClientRect(lpRect);
    lpRect->top += m_wndHeader.GetHeight();
    lpRect->right -= m_nVScrollWidth;
    lpRect->bottom -= m_nHScrollHeight;
}

void CRecordsetCtrl::InvalidateRect(LPCRECT lpRect, BOOL bErase) {
    CRect rcGrid;
    if (lpRect == NULL) {
        GetClientRect(&rcGrid);
        lpRect = &rcGrid;
    }
    CWnd::InvalidateRect(lpRect, m_bShowBackground ? TRUE : bErase);
}

int CRecordsetCtrl::GetVerticalPage() const {
    return m_nRows > 1 ? m_nRows / 2 : 1;
}

namespace {

// Columns per page: the grid width over the average item width, at least 1.
int HorizontalPage(const CExHeaderCtrl& header, int nGridWidth) {
    const int nItems = header.GetItemCount();
    const int nAverage = nItems > 0 ? header.GetWidth(900) / nItems : 0;
    return nAverage > 0 ? std::max(nGridWidth / nAverage, 1) : 1;
}

} // namespace

void CRecordsetCtrl::RecalcWindowSize() {
    CRect rc;
    CWnd::GetClientRect(&rc);
    const int nPitch = m_nCharHeight + 2;
    m_nRows = std::max((rc.Height() - m_nHScrollHeight - m_wndHeader.GetHeight()) / nPitch, 0);
    m_wndVScroll.SetScrollPage(GetVerticalPage(), FALSE);
    if (m_wndHeader.GetItemCount() > 0)
        m_wndHScroll.SetScrollPage(HorizontalPage(m_wndHeader, rc.Width() - m_nVScrollWidth),
                                   FALSE);
    m_wndHeader.MoveToTop(&rc, m_wndHScroll.GetScrollPos());
}

void CRecordsetCtrl::OnSize(UINT nType, int cx, int cy) {
    // The editor stands over a cell that is about to move.
    EndPendingEdit();
    if (nType != SIZE_RESTORED)
        CWnd::OnSize(nType, cx, cy);
    const int H = m_wndHeader.GetHeight(), hs = m_nHScrollHeight, vw = m_nVScrollWidth;

    const int nPitch = m_nCharHeight + 2;
    m_nRows = std::max((cy - hs - H) / nPitch, 0);
    m_wndVScroll.SetScrollPage(GetVerticalPage(), FALSE);
    if (m_wndHeader.GetItemCount() > 0)
        m_wndHScroll.SetScrollPage(HorizontalPage(m_wndHeader, cx - vw), FALSE);
    CRect rcAll(0, 0, cx, cy);
    m_wndHeader.MoveToTop(&rcAll, m_wndHScroll.GetScrollPos());

    m_btnRefresh.MoveWindow(cx - vw, H, vw, hs, TRUE);
    m_btnColumns.MoveWindow(cx - vw, H + hs, vw, hs, TRUE);
    m_wndVScroll.MoveWindow(cx - vw, H + 2 * hs, vw, std::max(cy - 3 * hs - H, 0), TRUE);
    m_wndHScroll.MoveWindow(100, cy - hs, std::max(cx - vw - 100, 0), hs, TRUE);

    // A grid in a view refetches only while its frame is the active one (or the main window,
    // when the application has no multiple-document frame).
    BOOL bRefetch = !m_bInView;
    if (!bRefetch) {
        CWnd* pMain = AfxGetMainWnd();
        CFrameWnd* pFrame = GetParentFrame();
        if (CMDIFrameWnd* pMDI = DYNAMIC_DOWNCAST(CMDIFrameWnd, pMain))
            bRefetch = pFrame != NULL && (CWnd*)pMDI->MDIGetActive() == (CWnd*)pFrame;
        else
            bRefetch = pFrame != NULL && (CWnd*)pFrame == pMain;
    }
    const int nColumns = (int)m_arrayColumns.GetSize();
    if (bRefetch && nColumns > 0 && m_nRows > 0) {
        m_arrayTable.SetSize(m_nRows);
        for (int r = 0; r < m_nRows; ++r)
            m_arrayTable[r].SetSize(nColumns);
        RefreshView();
    }
}
