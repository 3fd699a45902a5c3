#include "companions/dialogs/ExDialogBar.h"

#include "companions/dialogs/ControlToolTips.h"

IMPLEMENT_DYNAMIC(CExDialogBar, CDialogBar)

CExDialogBar::CExDialogBar() = default;

CExDialogBar::~CExDialogBar() {
    if (m_toolTip.GetSafeHwnd() != NULL)
        m_toolTip.DestroyWindow();
}

BOOL CExDialogBar::Create(CWnd* pParentWnd, LPCTSTR lpszTemplateName, UINT nStyle, UINT nID) {
    if (!CDialogBar::Create(pParentWnd, lpszTemplateName, nStyle, nID))
        return FALSE;
    if ((nStyle & CBRS_TOOLTIPS) && m_toolTip.Create(this)) {
        KelAddControlToolTips(m_toolTip, this);
        m_toolTip.Activate(TRUE);
    }
    return TRUE;
}

BOOL CExDialogBar::PreTranslateMessage(MSG* pMsg) {
    KelRelayToolTip(m_toolTip, pMsg);
    return CDialogBar::PreTranslateMessage(pMsg);
}

INT_PTR CExDialogBar::OnToolHitTest(CPoint point, TOOLINFO* pTI) const {
    if (m_toolTip.GetSafeHwnd() != NULL)
        return -1;
    return CDialogBar::OnToolHitTest(point, pTI);
}
