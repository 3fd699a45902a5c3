// CFrameWnd: a frame around a view: it makes the view from a creation context, keeps the
// active view, routes commands to it first, lays out its children (control bars, then the
// view in the rest), translates its accelerators, and titles itself after the document.
#pragma once

#include "platform/win/Wnd.h"

class CControlBar;
class CDockBar;
class CDocument;
class CDocTemplate;
class CView;
struct CCreateContext;

// Child IDs of a frame.
#define AFX_IDW_PANE_FIRST 0xE900
#define AFX_IDW_PANE_LAST 0xE9FF
#define AFX_IDW_CONTROLBAR_FIRST 0xE800
#define AFX_IDW_CONTROLBAR_LAST 0xE8FF
#define AFX_IDW_TOOLBAR 0xE800
#define AFX_IDW_STATUS_BAR 0xE801
#define AFX_IDW_PREVIEW_BAR 0xE802
#define AFX_IDW_RESIZE_BAR 0xE803
#define AFX_IDW_DOCKBAR_TOP 0xE81B
#define AFX_IDW_DOCKBAR_LEFT 0xE81C
#define AFX_IDW_DOCKBAR_RIGHT 0xE81D
#define AFX_IDW_DOCKBAR_BOTTOM 0xE81E
#define AFX_IDW_DOCKBAR_FLOAT 0xE81F

// Frame styles the framework adds.
#define FWS_ADDTOTITLE 0x00008000L
#define FWS_PREFIXTITLE 0x00004000L
#define FWS_SNAPTOBARS 0x00002000L

// The record WM_SIZEPARENT carries: control bars take their room from rect.
struct AFX_SIZEPARENTPARAMS {
    HDWP hDWP;
    RECT rect;
    SIZE sizeTotal;
    BOOL bStretch;
};

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    CFrameWnd();
    ~CFrameWnd() override;

    static const CRect rectDefault; // CW_USEDEFAULT placement

    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
                        DWORD dwStyle = WS_OVERLAPPEDWINDOW, const RECT& rect = rectDefault,
                        CWnd* pParentWnd = NULL, LPCTSTR lpszMenuName = NULL, DWORD dwExStyle = 0,
                        CCreateContext* pContext = NULL);
    // Creates the frame with the title, accelerators and icon of resource nIDResource.
    virtual BOOL LoadFrame(UINT nIDResource,
                           DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = NULL, CCreateContext* pContext = NULL);

    // Views and documents.
    CView* GetActiveView() const { return m_pViewActive; }
    void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    virtual CDocument* GetActiveDocument();
    virtual CFrameWnd* GetActiveFrame() { return this; }
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);
    void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
    virtual void ActivateFrame(int nCmdShow = -1);
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    void SetTitle(LPCTSTR lpszTitle) { m_strTitle = lpszTitle; }
    CString GetTitle() const { return m_strTitle; }

    // Layout: control bars first (WM_SIZEPARENT), the view in the rest.
    virtual void RecalcLayout(BOOL bNotify = TRUE);
    // The layout at the next idle time.
    void DelayRecalcLayout(BOOL bNotify = TRUE);

    // Control bars: dock bars on the sides the style names (CBRS_ALIGN_ bits), bars docked
    // into them (a new row at the end), shown and hidden, and found by ID.
    void EnableDocking(DWORD dwDockStyle);
    // nDockBarID: AFX_IDW_DOCKBAR_TOP ... BOTTOM; 0 the first side the bar allows.
    void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0, LPCRECT lpRect = NULL);
    void DockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect = NULL);
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    // A bar of the frame or of one of its dock bars; NULL when there is none.
    CControlBar* GetControlBar(UINT nID);

    // Accelerators.
    BOOL LoadAccelTable(LPCTSTR lpszResourceName);
    virtual HACCEL GetDefaultAccelerator();
    HACCEL m_hAccelTable;

    BOOL IsFrameWnd() const override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam) override;

protected:
    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    // The title and help ID of resource nIDResource (the part of its string before a newline).
    void LoadTitle(UINT nIDResource);
    void PostNcDestroy() override; // frames are made with new and delete themselves
    CString GetDocumentTitle();

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnClose();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);

    CView* m_pViewActive;
    CString m_strTitle;
    UINT m_nIDHelp;
    BOOL m_bAutoMenuEnable;
    BOOL m_bInRecalcLayout;
    BOOL m_bLayoutDirty; // a layout waits for idle time

    friend class CView;

    DECLARE_MESSAGE_MAP()
};
