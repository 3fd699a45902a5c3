// CDialogBar: a control bar whose controls come from a dialog template; Tab, Enter and Escape
// work as in a dialog, and its controls' commands and notifications go to the frame (and on to
// the active view).
#pragma once

#include "platform/win/ControlBar.h"

class CDialogBar : public CControlBar {
    DECLARE_DYNAMIC(CDialogBar)
public:
    CDialogBar();
    ~CDialogBar() override;

    // The template must describe a child window; the bar is shown, sized by its frame's
    // layout. FALSE when the template is missing or a control cannot be made.
    virtual BOOL Create(CWnd* pParentWnd, LPCTSTR lpszTemplateName, UINT nStyle, UINT nID);
    virtual BOOL Create(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID) {
        return Create(pParentWnd, MAKEINTRESOURCE(nIDTemplate), nStyle, nID);
    }

    CSize m_sizeDefault; // the template's size

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

protected:
    BOOL IsDialogLike() const override { return TRUE; }
};
