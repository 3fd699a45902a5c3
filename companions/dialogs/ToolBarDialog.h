// CToolBarDialog: a dialog with up to three toolbars along its sides. A dialog (or its user,
// before it is shown) names each bar with AddBar: its toolbar resource, the side it stands on
// (CBRS_LEFT, CBRS_TOP, CBRS_RIGHT or CBRS_BOTTOM) and its control ID (AFX_IDW_TOOLBAR for the
// first bar unless another is given, then the IDs after it). OnInitDialog makes the bars,
// grows the dialog by the room they take and moves the template's controls out of their way.
// A derived dialog reads the bars with GetBarCount, GetBarID and GetBarSide, for example to
// anchor them in its resizer.
//
// The bars' buttons send their commands to the dialog. A command or a button-state request
// the dialog has no handler for goes on to the control with the focus and the windows it
// stands in (or, when the focus is outside the dialog, to the dialog's other children), as a
// frame passes commands to its view; the buttons' states are asked for whenever the dialog
// goes idle, and each button shows its string's tip as a tooltip.
#pragma once

#include "companions/controls/ExToolBar.h"
#include "companions/dialogs/ToolTipDialog.h"

class CToolBarDialog : public CToolTipDialog {
    DECLARE_DYNAMIC(CToolBarDialog)
public:
    enum { kMaxBars = 3 };

    CToolBarDialog();
    explicit CToolBarDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL);
    explicit CToolBarDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = NULL);
    ~CToolBarDialog() override;

    // Names a bar to make at initialisation. FALSE for a fourth bar, a side other than the
    // four, an ID already taken, or once the dialog is initialised.
    BOOL AddBar(UINT nIDToolBar, DWORD dwSide = CBRS_TOP, UINT nCtrlID = 0, BOOL bShowText = FALSE,
                BOOL bLargeMode = FALSE);
    // The bars: those named, and once the dialog is initialised those made (a bar whose
    // toolbar cannot be loaded is left out).
    int GetBarCount() const { return m_nBars; }
    UINT GetBarID(int nBar) const;
    DWORD GetBarSide(int nBar) const;
    CExToolBar* GetBar(int nBar);

    BOOL OnInitDialog() override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    void UpdateControls() override;

protected:
    void AddToolTips() override;
    // Makes the bars and makes room for them.
    void CreateBars();
    BOOL IsBar(HWND hWnd) const;
    afx_msg void OnSize(UINT nType, int cx, int cy);

    int m_nBars = 0;
    UINT m_anBarID[kMaxBars] = {};       // control IDs
    DWORD m_adwBarSide[kMaxBars] = {};   // CBRS_LEFT, CBRS_TOP, CBRS_RIGHT, CBRS_BOTTOM
    UINT m_anBarResource[kMaxBars] = {}; // toolbar resources
    BOOL m_abBarText[kMaxBars] = {};     // buttons with their texts
    BOOL m_abBarLarge[kMaxBars] = {};    // large images
    CExToolBar m_wndBar[kMaxBars];
    BOOL m_bBarsMade = FALSE;
    BOOL m_bRouting = FALSE; // a command is being passed on: one passed back is not passed again

    DECLARE_MESSAGE_MAP()
};
