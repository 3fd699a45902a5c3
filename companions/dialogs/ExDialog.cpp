#include "companions/dialogs/ExDialog.h"

IMPLEMENT_DYNAMIC(CExDialog, CDialog)

BEGIN_MESSAGE_MAP(CExDialog, CDialog)
ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
END_MESSAGE_MAP()

CExDialog::CExDialog() = default;

CExDialog::CExDialog(UINT nIDTemplate, CWnd* pParentWnd) : CDialog(nIDTemplate, pParentWnd) {}

CExDialog::CExDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
    : CDialog(lpszTemplateName, pParentWnd) {}

CExDialog::~CExDialog() = default;

void CExDialog::UpdateControls() {
    if (m_hWnd != NULL)
        UpdateDialogControls(this, FALSE);
}

// The modal loop asks once each time it runs out of messages; no further idle time is needed.
LRESULT CExDialog::OnKickIdle(WPARAM, LPARAM) {
    UpdateControls();
    return FALSE;
}

// A modeless dialog is asked by the application's loop.
LRESULT CExDialog::OnIdleUpdateCmdUI(WPARAM, LPARAM) {
    if (GetStyle() & WS_VISIBLE)
        UpdateControls();
    return 0;
}
