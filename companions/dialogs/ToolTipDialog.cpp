#include "companions/dialogs/ToolTipDialog.h"

#include "companions/dialogs/ControlToolTips.h"

IMPLEMENT_DYNAMIC(CToolTipDialog, CExDialog)

CToolTipDialog::CToolTipDialog() = default;

CToolTipDialog::CToolTipDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : CExDialog(nIDTemplate, pParentWnd) {}

CToolTipDialog::CToolTipDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
    : CExDialog(lpszTemplateName, pParentWnd) {}

CToolTipDialog::~CToolTipDialog() {
    if (m_toolTip.GetSafeHwnd() != NULL)
        m_toolTip.DestroyWindow();
}

BOOL CToolTipDialog::OnInitDialog() {
    const BOOL result = CExDialog::OnInitDialog();
    if (m_toolTip.GetSafeHwnd() == NULL && m_toolTip.Create(this)) {
        AddToolTips();
        m_toolTip.Activate(TRUE);
    }
    return result;
}

void CToolTipDialog::AddToolTips() {
    KelAddControlToolTips(m_toolTip, this);
}

BOOL CToolTipDialog::PreTranslateMessage(MSG* pMsg) {
    KelRelayToolTip(m_toolTip, pMsg);
    return CExDialog::PreTranslateMessage(pMsg);
}
