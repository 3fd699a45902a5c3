// CExDialogBar: a dialog bar whose controls show tooltips (with the CBRS_TOOLTIPS style):
// every control whose ID has a string shows that string's tip.
#pragma once

#include "afxcmn.h"
#include "afxext.h"

class CExDialogBar : public CDialogBar {
    DECLARE_DYNAMIC(CExDialogBar)
public:
    CExDialogBar();
    ~CExDialogBar() override;

    BOOL Create(CWnd* pParentWnd, LPCTSTR lpszTemplateName, UINT nStyle, UINT nID) override;
    using CDialogBar::Create;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    // The bar's own tooltip shows the tips, so the control bar's is given no tools.
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;
    CToolTipCtrl& GetToolTip() { return m_toolTip; }

protected:
    CToolTipCtrl m_toolTip;
};
