// CExDialog: the dialog base of the companions. Besides what any dialog does, it keeps its
// controls' state current: whenever the dialog goes idle (in its own modal loop, or in the
// application's loop when it is modeless) the command-update handlers (ON_UPDATE_COMMAND_UI)
// of its controls run, so that buttons enable and disable themselves as the user works.
#pragma once

#include "afxwin.h"

class CExDialog : public CDialog {
    DECLARE_DYNAMIC(CExDialog)
public:
    CExDialog();
    explicit CExDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL);
    explicit CExDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = NULL);
    ~CExDialog() override;

    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam) override;

    // Runs the update handlers of the dialog's controls now.
    virtual void UpdateControls();

protected:
    afx_msg LRESULT OnKickIdle(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};
