#include "platform/win/CmdUI.h"

#include "platform/win/Wnd.h"

CCmdUI::CCmdUI()
    : m_nID(0), m_nIndex(0), m_pMenu(nullptr), m_pSubMenu(nullptr), m_pOther(nullptr),
      m_pParentMenu(nullptr), m_bEnableChanged(FALSE), m_bContinueRouting(FALSE), m_nIndexMax(0) {}

void CCmdUI::Enable(BOOL bOn) {
    if (m_pOther != nullptr && m_pOther->m_hWnd != nullptr) {
        // A control losing its enabled state also loses the focus, to the next control.
        if (!bOn && ::GetFocus() == m_pOther->m_hWnd) {
            CWnd* pParent = m_pOther->GetParent();
            if (pParent != nullptr) {
                CWnd* pNext = pParent->GetNextDlgTabItem(m_pOther);
                if (pNext != nullptr && pNext != m_pOther)
                    pNext->SetFocus();
            }
        }
        m_pOther->EnableWindow(bOn);
    }
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck) {
    if (m_pOther != nullptr && m_pOther->m_hWnd != nullptr) {
        // Only buttons have a check state.
        if (m_pOther->SendMessage(WM_GETDLGCODE) & DLGC_BUTTON)
            m_pOther->SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck));
    }
}

void CCmdUI::SetRadio(BOOL bOn) {
    SetCheck(bOn ? 1 : 0);
}

void CCmdUI::SetText(LPCTSTR lpszText) {
    if (m_pOther != nullptr && m_pOther->m_hWnd != nullptr) {
        CString current;
        m_pOther->GetWindowText(current);
        // Unchanged text is not set again, so that the control does not flicker.
        if (current != lpszText)
            m_pOther->SetWindowText(lpszText);
    }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler) {
    if (m_nID == 0 || LOWORD(m_nID) == 0xFFFF)
        return TRUE; // separators and the like are not updated
    m_bEnableChanged = FALSE;
    BOOL bResult = pTarget->OnCmdMsg(m_nID, static_cast<int>(CN_UPDATE_COMMAND_UI), this, nullptr);
    if (!bResult && bDisableIfNoHndler && !m_bEnableChanged) {
        AFX_CMDHANDLERINFO info{nullptr, nullptr};
        BOOL bHandler = pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info);
        Enable(bHandler);
    }
    return bResult;
}
