#include "companions/controls/KillEdit.h"

IMPLEMENT_DYNAMIC(CKillEdit, CExEdit)

BEGIN_MESSAGE_MAP(CKillEdit, CExEdit)
ON_WM_GETDLGCODE()
ON_WM_KEYDOWN()
ON_WM_CHAR()
ON_WM_KILLFOCUS()
ON_WM_DESTROY()
END_MESSAGE_MAP()

CKillEdit::CKillEdit() : m_bEnded(FALSE), m_bDeleting(FALSE) {}

CKillEdit::~CKillEdit() {
    m_bDeleting = TRUE;
    if (m_hWnd != NULL)
        DestroyWindow();
}

// The editor owns itself: it is made with new by whoever starts an edit, and its object goes
// with its window (the framework's way for windows nobody keeps a pointer to).
void CKillEdit::PostNcDestroy() {
    CExEdit::PostNcDestroy();
    if (!m_bDeleting)
        delete this;
}

void CKillEdit::EndEdit(BOOL bAccepted) {
    if (m_bEnded)
        return;
    m_bEnded = TRUE;
    // The parent's handler may destroy the editor (and so delete it): only handles are used
    // after the message.
    const HWND hWnd = m_hWnd;
    const HWND hParent = ::GetParent(hWnd);
    if (hParent != NULL)
        ::SendMessage(hParent, bAccepted ? WM_KILLEDIT_ACCEPT : WM_KILLEDIT_CANCEL,
                      reinterpret_cast<WPARAM>(static_cast<CWnd*>(this)), 0);
    if (::IsWindow(hWnd))
        ::DestroyWindow(hWnd);
}

BOOL CKillEdit::PreTranslateMessage(MSG* pMsg) {
    // Enter and Escape end the edit even inside a dialog or a frame with accelerators.
    if (pMsg->message == WM_KEYDOWN && pMsg->hwnd == m_hWnd &&
        (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE)) {
        ::TranslateMessage(pMsg);
        ::DispatchMessage(pMsg);
        return TRUE;
    }
    return CExEdit::PreTranslateMessage(pMsg);
}

UINT CKillEdit::OnGetDlgCode() {
    return CExEdit::OnGetDlgCode() | DLGC_WANTALLKEYS;
}

void CKillEdit::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
    if (nChar == VK_RETURN) {
        EndEdit(TRUE);
        return;
    }
    if (nChar == VK_ESCAPE) {
        EndEdit(FALSE);
        return;
    }
    CExEdit::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CKillEdit::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags) {
    // The characters of Enter and Escape are not text.
    if (nChar == '\r' || nChar == '\n' || nChar == 0x1B)
        return;
    CExEdit::OnChar(nChar, nRepCnt, nFlags);
}

void CKillEdit::OnKillFocus(CWnd* pNewWnd) {
    CExEdit::OnKillFocus(pNewWnd);
    EndEdit(TRUE);
}

void CKillEdit::OnDestroy() {
    if (!m_bEnded) {
        m_bEnded = TRUE;
        const HWND hParent = ::GetParent(m_hWnd);
        if (hParent != NULL)
            ::SendMessage(hParent, WM_KILLEDIT_CANCEL,
                          reinterpret_cast<WPARAM>(static_cast<CWnd*>(this)), 0);
    }
    CExEdit::OnDestroy();
}
