// CToolBar: a control bar of image buttons loaded from a toolbar resource and its bitmap
// strip; clicks send WM_COMMAND to the frame, and on idle the frame's update handlers enable
// and check the buttons.
#pragma once

#include "platform/controls/ToolBarCtrl.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/ImageList.h"
#include "platform/win/ControlBar.h"
#include "platform/win/FrameWnd.h"
#include "platform/win/ToolBarResource.h"

class CToolBar : public CControlBar {
    DECLARE_DYNAMIC(CToolBar)
public:
    CToolBar();
    ~CToolBar() override;

    virtual BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP,
                        UINT nID = AFX_IDW_TOOLBAR);
    virtual BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                          DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP,
                          CRect rcBorders = CRect(0, 0, 0, 0), UINT nID = AFX_IDW_TOOLBAR);

    // Button size (image plus edge) and image size.
    void SetSizes(SIZE sizeButton, SIZE sizeImage);
    void SetHeight(int cyHeight);
    // The buttons and images of a toolbar resource; FALSE (nothing changed) when the toolbar
    // or its bitmap is missing.
    BOOL LoadToolBar(LPCTSTR lpszResourceName);
    BOOL LoadToolBar(UINT nIDResource) { return LoadToolBar(MAKEINTRESOURCE(nIDResource)); }
    // The image strip: from the resource chain (standard greys mapped to the system's), or a
    // bitmap the toolbar takes over.
    BOOL LoadBitmap(LPCTSTR lpszResourceName);
    BOOL LoadBitmap(UINT nIDResource) { return LoadBitmap(MAKEINTRESOURCE(nIDResource)); }
    BOOL SetBitmap(HBITMAP hbmImageWell);
    // Buttons for the IDs (ID_SEPARATOR for a gap), images in order; NULL: nIDCount empty
    // buttons to be set with SetButtonInfo.
    BOOL SetButtons(const UINT* lpIDArray, int nIDCount);

    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;
    virtual void GetItemRect(int nIndex, LPRECT lpRect) const;
    // Style in the low word (TBBS_BUTTON, TBBS_SEPARATOR, TBBS_CHECKBOX...), state in the
    // high word (TBBS_CHECKED, TBBS_DISABLED...).
    UINT GetButtonStyle(int nIndex) const;
    void SetButtonStyle(int nIndex, UINT nStyle);
    void GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const;
    void SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage);
    BOOL SetButtonText(int nIndex, LPCTSTR lpszText);
    CString GetButtonText(int nIndex) const;
    int GetCount() const;

    CToolBarCtrl& GetToolBarCtrl() const {
        return *reinterpret_cast<CToolBarCtrl*>(const_cast<CToolBar*>(this));
    }

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    // A button under the point: a rectangle tool with the button's command ID.
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;

    CSize m_sizeButton;
    CSize m_sizeImage;
    HBITMAP m_hbmImageWell; // owned
    CImageList m_imageList; // the strip cut into images

protected:
    // OnUpdateCmdUI's work against any command target, so that a toolbar held by a dialog can
    // ask the dialog.
    void UpdateButtonStates(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);
    TBBUTTON GetButton(int nIndex) const;
    void SetButton(int nIndex, const TBBUTTON& button);
    void SetOrientation(bool horz);
};

// Button styles and states of GetButtonStyle and SetButtonStyle.
#define TBBS_BUTTON MAKELONG(TBSTYLE_BUTTON, 0)
#define TBBS_SEPARATOR MAKELONG(TBSTYLE_SEP, 0)
#define TBBS_CHECKBOX MAKELONG(TBSTYLE_CHECK, 0)
#define TBBS_GROUP MAKELONG(TBSTYLE_GROUP, 0)
#define TBBS_CHECKGROUP (TBBS_GROUP | TBBS_CHECKBOX)
#define TBBS_CHECKED MAKELONG(0, TBSTATE_CHECKED)
#define TBBS_PRESSED MAKELONG(0, TBSTATE_PRESSED)
#define TBBS_DISABLED MAKELONG(0, TBSTATE_ENABLED)
#define TBBS_INDETERMINATE MAKELONG(0, TBSTATE_INDETERMINATE)
#define TBBS_HIDDEN MAKELONG(0, TBSTATE_HIDDEN)
#define TBBS_WRAPPED MAKELONG(0, TBSTATE_WRAP)
