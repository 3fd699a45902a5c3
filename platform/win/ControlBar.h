// CControlBar: a bar along a side of a frame (toolbar, dialog bar, dock bar): it takes its
// room from the frame's layout (WM_SIZEPARENT), updates its commands on idle, and passes its
// controls' notifications to its owner, the frame.
#pragma once

#include "platform/controls/CommCtrlDefs.h"
#include "platform/win/Wnd.h"

class CFrameWnd;
class CDockBar;

// Bar styles (m_dwStyle): the side it stands on, its borders, and its behaviour.
#define CBRS_ALIGN_LEFT 0x1000L
#define CBRS_ALIGN_TOP 0x2000L
#define CBRS_ALIGN_RIGHT 0x4000L
#define CBRS_ALIGN_BOTTOM 0x8000L
#define CBRS_ALIGN_ANY 0xF000L
#define CBRS_BORDER_LEFT 0x0100L
#define CBRS_BORDER_TOP 0x0200L
#define CBRS_BORDER_RIGHT 0x0400L
#define CBRS_BORDER_BOTTOM 0x0800L
#define CBRS_BORDER_ANY 0x0F00L
#define CBRS_TOOLTIPS 0x0010L
#define CBRS_FLYBY 0x0020L
#define CBRS_FLOAT_MULTI 0x0040L
#define CBRS_BORDER_3D 0x0080L
#define CBRS_HIDE_INPLACE 0x0008L
#define CBRS_SIZE_DYNAMIC 0x0004L
#define CBRS_SIZE_FIXED 0x0002L
#define CBRS_FLOATING 0x0001L
#define CBRS_GRIPPER 0x00400000L
#define CBRS_ORIENT_HORZ (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)
#define CBRS_ORIENT_VERT (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)
#define CBRS_ORIENT_ANY (CBRS_ORIENT_HORZ | CBRS_ORIENT_VERT)
#define CBRS_ALL 0x0040FFFFL
#define CBRS_NOALIGN 0x00000000L
#define CBRS_LEFT (CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT)
#define CBRS_TOP (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)
#define CBRS_RIGHT (CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT)
#define CBRS_BOTTOM (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP)

// The command ID of a separator in toolbar button lists.
#define ID_SEPARATOR 0

class CControlBar : public CWnd {
    DECLARE_DYNAMIC(CControlBar)
public:
    ~CControlBar() override;

    DWORD GetBarStyle() const { return m_dwStyle; }
    void SetBarStyle(DWORD dwStyle);
    // The sides the bar may dock on (CBRS_ALIGN_ bits); 0 keeps it where it is.
    void EnableDocking(DWORD dwDockStyle);
    CFrameWnd* GetDockingFrame() const;
    BOOL IsFloating() const { return FALSE; }
    BOOL IsVisible() const;
    int GetCount() const { return 0; }

    // The bar's size: its natural one, or stretched along its side (bStretch) to the longest
    // a frame can offer. bHorz: lying along the top or bottom.
    virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
    // The bar's commands asked for their state on idle (the owner frame answers).
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) = 0;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam) override;

    // Shows or hides the bar at the next layout of its frame.
    void DelayShow(BOOL bShow);

    // The tool under a point of the bar (CBRS_TOOLTIPS): its ID, -1 for none. The text is
    // asked for when shown: the string with the tool's ID (its part after a newline).
    virtual INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const;

    BOOL m_bAutoDelete; // the object is deleted with its window
    int m_cxLeftBorder, m_cxRightBorder, m_cyTopBorder, m_cyBottomBorder;
    DWORD m_dwStyle;        // CBRS_ styles
    DWORD m_dwDockStyle;    // the sides it may dock on
    CFrameWnd* m_pDockSite; // the frame it belongs to
    CDockBar* m_pDockBar;   // the dock bar holding it; NULL when it stands in the frame itself

protected:
    CControlBar();
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;
    // Whether the bar lets the dialog manager handle its keys (a dialog bar does).
    virtual BOOL IsDialogLike() const { return FALSE; }
    // A bar's size stretched (bStretch) along its side to the longest a frame can offer.
    static CSize Stretched(CSize size, BOOL bStretch, BOOL bHorz);
    // Shows or hides the bar now when DelayShow put that off.
    void ApplyDelayedShow();
    // Mouse messages of the bar and its controls reach its tooltip, which shows the tool
    // under the pointer.
    void FilterToolTipMessage(const MSG* pMsg);
    // The text of a tool: the owner's answer, else the string with the tool's ID.
    BOOL OnToolTipText(NMTTDISPINFO* pInfo);

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);

    // A show or hide waiting for the next layout.
    enum { delayNone, delayShow, delayHide } m_nDelay;
    HWND m_hWndToolTip; // made at the first mouse message with CBRS_TOOLTIPS
    INT_PTR m_nLastHit; // the tool shown in it

    friend class CDockBar;

    DECLARE_MESSAGE_MAP()
};
