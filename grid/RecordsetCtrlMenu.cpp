// The context menu and its commands (font size, column configuration, background, the host's
// bars, refresh), and the grid's part in the record commands.
#include "grid/RecordsetCtrl.h"

#include "grid/RecordsetCtrlDlg.h"

#include <algorithm>

void CRecordsetCtrl::BuildMenu(CMenu* pMenu) {
    if (pMenu == NULL)
        return;
    LPCTSTR lpszName = MAKEINTRESOURCE(IDR_RSC_MENU);
    HINSTANCE hInstance = AfxFindResourceHandle(lpszName, RT_MENU);
    HMENU hMenu = ::LoadMenu(hInstance, lpszName);
    if (hMenu == NULL || !pMenu->Attach(hMenu))
        return;
    CMenu* pPopup = pMenu->GetSubMenu(0);
    if (pPopup == NULL)
        return;

    static const struct {
        int nSize;
        UINT nID;
    } kSizes[] = {
        {8, ID_CM_FONTSIZE8}, {9, ID_CM_FONTSIZE9}, {11, ID_CM_FONTSIZE11}, {13, ID_CM_FONTSIZE13}};
    for (const auto& s : kSizes)
        if (m_nFontSize == s.nSize)
            pPopup->CheckMenuItem(s.nID, MF_BYCOMMAND | MF_CHECKED);

    if (m_bmpBackground.GetSafeHandle() == NULL)
        pPopup->EnableMenuItem(ID_CM_SHOWBACKGROUND, MF_BYCOMMAND | MF_GRAYED);
    else if (m_bShowBackground)
        pPopup->CheckMenuItem(ID_CM_SHOWBACKGROUND, MF_BYCOMMAND | MF_CHECKED);

    // The host's bars, when the grid stands in the view host and the bar has a window.
    auto barItem = [pPopup](CWnd* pBar, UINT nID) {
        if (pBar == NULL || pBar->GetSafeHwnd() == NULL)
            pPopup->EnableMenuItem(nID, MF_BYCOMMAND | MF_GRAYED);
        else if (pBar->IsWindowVisible())
            pPopup->CheckMenuItem(nID, MF_BYCOMMAND | MF_CHECKED);
    };
    barItem(GetHostToolBar(), ID_CM_SHOWTOOLBAR);
    barItem((CWnd*)GetHostSearchBar(), ID_CM_SHOWSEARCHBAR);
}

void CRecordsetCtrl::OnRButtonDown(UINT, CPoint point) {
    CheckClick(point, 1);
    CMenu menu;
    BuildMenu(&menu);
    CMenu* pPopup = menu.GetSafeHmenu() != NULL ? menu.GetSubMenu(0) : NULL;
    if (pPopup != NULL) {
        CPoint ptScreen = point;
        ClientToScreen(&ptScreen);
        pPopup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, ptScreen.x, ptScreen.y, this);
    }
    if (menu.GetSafeHmenu() != NULL)
        menu.DestroyMenu();
}

void CRecordsetCtrl::SetFontSize(int nSize) {
    if (m_nFontSize == nSize)
        return;
    // Widths are kept in header characters: read them at the old font, lay them out at the
    // new one, so a font change never alters what is stored.
    UpdateColumnDetails();
    m_nFontSize = nSize;
    SetFonts();
    for (int i = 0; i < m_wndHeader.GetItemCount(); ++i) {
        HDITEM item{};
        item.mask = HDI_LPARAM;
        if (!m_wndHeader.GetItem(i, &item) || item.lParam < 0 ||
            item.lParam >= m_arrayColumns.GetSize())
            continue;
        item.mask = HDI_WIDTH;
        item.cxy = m_nHeaderCharWidth * m_arrayColumns[(int)item.lParam].m_nWidth + 41;
        m_wndHeader.SetItem(i, &item);
    }
    CRect rc;
    CWnd::GetClientRect(&rc);
    OnSize(SIZE_RESTORED, rc.Width(), rc.Height());
    CWnd::Invalidate(TRUE);
}

void CRecordsetCtrl::OnCMFontSize8() {
    SetFontSize(8);
}

void CRecordsetCtrl::OnCMFontSize9() {
    SetFontSize(9);
}

void CRecordsetCtrl::OnCMFontSize11() {
    SetFontSize(11);
}

void CRecordsetCtrl::OnCMFontSize13() {
    SetFontSize(13);
}

void CRecordsetCtrl::OnCMColumn() {
    UpdateColumnDetails();
    CRecordsetCtrlDlg dlg(NULL);
    dlg.SetRecordsetCtrl(this);
    if (dlg.DoModal() != IDOK)
        return;

    BeginWaitCursor();
    while (m_wndHeader.GetItemCount() > 0)
        m_wndHeader.DeleteItem(0);
    FillHeader();
    SetSort();

    const int nItems = m_wndHeader.GetItemCount();
    m_wndHScroll.SetScrollRangePage(0, nItems - 1, FALSE);
    m_wndHScroll.SetScrollPos(0, TRUE);

    CRect rc;
    CWnd::GetClientRect(&rc);
    const int nPitch = m_nCharHeight + 2;
    m_nRows =
        std::max((rc.bottom - m_nHScrollHeight - rc.top - m_wndHeader.GetHeight()) / nPitch, 0);
    m_wndVScroll.SetScrollPage(GetVerticalPage(), FALSE);
    if (nItems > 0) {
        const int nAverage = m_wndHeader.GetWidth(900) / nItems;
        const int nPage = nAverage > 0 ? (rc.right - m_nVScrollWidth - rc.left) / nAverage : 1;
        m_wndHScroll.SetScrollPage(std::max(nPage, 1), FALSE);
    }
    m_wndHeader.MoveToTop(&rc, m_wndHScroll.GetScrollPos());
    RefreshView();
    CWnd::Invalidate(TRUE);
    EndWaitCursor();
}

void CRecordsetCtrl::OnCMShowBackground() {
    if (m_bmpBackground.GetSafeHandle() == NULL)
        return;
    m_bShowBackground = !m_bShowBackground;
    CWnd::Invalidate(TRUE);
}

namespace {

// Shows the host's bar when hidden, hides it when shown, through the host's frame.
void ToggleHostBar(CWnd* pGrid, CControlBar* pBar) {
    if (pBar == NULL || pBar->GetSafeHwnd() == NULL)
        return;
    CWnd* pHost = pGrid->GetParent();
    CFrameWnd* pFrame = pHost != NULL ? DYNAMIC_DOWNCAST(CFrameWnd, pHost->GetParent()) : NULL;
    if (pFrame == NULL)
        return;
    pFrame->ShowControlBar(pBar, !pBar->IsWindowVisible(), FALSE);
}

} // namespace

void CRecordsetCtrl::OnCMShowToolBar() {
    ToggleHostBar(this, GetHostToolBar());
}

void CRecordsetCtrl::OnCMShowSearchBar() {
    ToggleHostBar(this, GetHostSearchBar());
}

void CRecordsetCtrl::OnCMRefresh() {
    SendMessage(WM_RSC_RELOAD, 0, 0);
}

void CRecordsetCtrl::OnUpdateNew(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_arrayTable.GetSize() > 0 && m_pDoc != NULL && m_pDoc->IsOpen());
}

void CRecordsetCtrl::OnUpdateOpen(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_pDoc != NULL && m_pDoc->IsOpen() && RowHoldsRecord(m_nCursor));
}

void CRecordsetCtrl::OnUpdateDelete(CCmdUI* pCmdUI) {
    OnUpdateOpen(pCmdUI);
}

void CRecordsetCtrl::OnUpdateChoose(CCmdUI* pCmdUI) {
    OnUpdateOpen(pCmdUI);
}

void CRecordsetCtrl::OnChoose() {
    if (m_bInView)
        return;
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(WM_COMMAND, MAKEWPARAM(ID_RECORD_CHOOSE, 0), 0);
}

void CRecordsetCtrl::OnClose() {
    // The edit ends while the window stands: a refused value is shown over it.
    EndPendingEdit();
    CWnd* pTarget = GetParent();
    if (m_bInView && pTarget != NULL)
        pTarget = pTarget->GetParent();
    if (pTarget != NULL)
        pTarget->PostMessage(WM_CLOSE);
}
