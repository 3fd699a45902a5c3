// CToolTipDialog: a dialog whose controls explain themselves: every control whose ID has a
// string in the string table shows that string (its part after "\n", if it has one) as a
// tooltip when the pointer rests on it.
#pragma once

#include "afxcmn.h"
#include "companions/dialogs/ExDialog.h"

class CToolTipDialog : public CExDialog {
    DECLARE_DYNAMIC(CToolTipDialog)
public:
    CToolTipDialog();
    explicit CToolTipDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL);
    explicit CToolTipDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = NULL);
    ~CToolTipDialog() override;

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    CToolTipCtrl& GetToolTip() { return m_toolTip; }

protected:
    // Adds the tools; a derived dialog adds its own after these.
    virtual void AddToolTips();

    CToolTipCtrl m_toolTip;
};
