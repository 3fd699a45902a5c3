#include "platform/win/MDIChildWnd.h"

#include "platform/win/CreateContext.h"
#include "platform/win/DocTemplate.h"
#include "platform/win/Document.h"
#include "platform/win/MDIFrameWnd.h"
#include "platform/win/View.h"
#include "platform/win/WinApp.h"

IMPLEMENT_DYNCREATE(CMDIChildWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMDIChildWnd, CFrameWnd)
ON_WM_MDIACTIVATE()
ON_WM_MOUSEACTIVATE()
ON_WM_DESTROY()
END_MESSAGE_MAP()

CMDIChildWnd::CMDIChildWnd() = default;

BOOL CMDIChildWnd::PreCreateWindow(CREATESTRUCT& cs) {
    cs.style |= WS_CHILD;
    cs.dwExStyle |= WS_EX_MDICHILD;
    return CFrameWnd::PreCreateWindow(cs);
}

BOOL CMDIChildWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                          const RECT& rect, CMDIFrameWnd* pParentWnd, CCreateContext* pContext) {
    if (pParentWnd == nullptr)
        pParentWnd = dynamic_cast<CMDIFrameWnd*>(AfxGetMainWnd());
    if (pParentWnd == nullptr || pParentWnd->m_hWndMDIClient == nullptr) {
        PostNcDestroy(); // no multiple-document frame to live in
        return FALSE;
    }
    m_strTitle = lpszWindowName;
    CRect rc = rect;
    int x = rc.left, y = rc.top, cx = 0, cy = 0;
    if (rc != rectDefault) {
        cx = rc.Width();
        cy = rc.Height();
    } else {
        // The default place and size: cascaded in the client window, three quarters of it.
        CRect client;
        ::GetClientRect(pParentWnd->m_hWndMDIClient, &client);
        int n = 0;
        for (HWND h = ::GetTopWindow(pParentWnd->m_hWndMDIClient); h != nullptr;
             h = ::GetWindow(h, GW_HWNDNEXT))
            ++n;
        x = y = 24 * (n % 8);
        cx = client.Width() * 3 / 4;
        cy = client.Height() * 3 / 4;
    }
    const BOOL bVisible = (dwStyle & WS_VISIBLE) != 0;
    if (!CreateEx(WS_EX_MDICHILD, lpszClassName, lpszWindowName,
                  (dwStyle | WS_CHILD | WS_CLIPSIBLINGS) & ~WS_VISIBLE, x, y, cx, cy,
                  pParentWnd->m_hWndMDIClient, nullptr, pContext))
        return FALSE;
    if (bVisible)
        ShowWindow(SW_SHOW);
    // A new child becomes the active one.
    pParentWnd->MDIActivate(this);
    return TRUE;
}

BOOL CMDIChildWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd,
                             CCreateContext* pContext) {
    LoadTitle(nIDResource);
    // A child frame is shown by its first update, not on creation.
    if (!Create(nullptr, m_strTitle, dwDefaultStyle & ~WS_VISIBLE, rectDefault,
                dynamic_cast<CMDIFrameWnd*>(pParentWnd), pContext))
        return FALSE;
    // The template's accelerators serve its frames.
    if (pContext != nullptr && pContext->m_pNewDocTemplate != nullptr)
        m_hAccelTable = pContext->m_pNewDocTemplate->m_hAccelTable;
    if (m_hAccelTable == nullptr)
        LoadAccelTable(MAKEINTRESOURCE(nIDResource));
    if (pContext == nullptr)
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
    return TRUE;
}

CMDIFrameWnd* CMDIChildWnd::GetMDIFrame() {
    HWND hClient = ::GetParent(m_hWnd);
    return hClient != nullptr
               ? dynamic_cast<CMDIFrameWnd*>(FromHandlePermanent(::GetParent(hClient)))
               : nullptr;
}

void CMDIChildWnd::MDIActivate() {
    if (CMDIFrameWnd* pFrame = GetMDIFrame())
        pFrame->MDIActivate(this);
}

void CMDIChildWnd::MDIDestroy() {
    ::SendMessage(::GetParent(m_hWnd), WM_MDIDESTROY, reinterpret_cast<WPARAM>(m_hWnd), 0);
}
void CMDIChildWnd::MDIMaximize() {
    ::SendMessage(::GetParent(m_hWnd), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(m_hWnd), 0);
}
void CMDIChildWnd::MDIRestore() {
    ::SendMessage(::GetParent(m_hWnd), WM_MDIRESTORE, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CMDIChildWnd::ActivateFrame(int nCmdShow) {
    if (nCmdShow == -1 && !IsWindowVisible())
        nCmdShow = SW_SHOWNORMAL;
    if (nCmdShow != -1)
        ShowWindow(nCmdShow);
    MDIActivate();
}

void CMDIChildWnd::OnUpdateFrameTitle(BOOL bAddToTitle) {
    // The child's caption is its document's title; the main frame shows it too.
    CDocument* pDocument = GetActiveDocument();
    if (bAddToTitle && pDocument != nullptr) {
        CString current;
        GetWindowText(current);
        if (current != pDocument->GetTitle())
            SetWindowText(pDocument->GetTitle());
    }
    if (CMDIFrameWnd* pFrame = GetMDIFrame())
        pFrame->OnUpdateFrameTitle(bAddToTitle);
}

BOOL CMDIChildWnd::PreTranslateMessage(MSG* pMsg) {
    return CWnd::PreTranslateMessage(pMsg);
}

void CMDIChildWnd::OnMDIActivate(BOOL bActivate, CWnd*, CWnd*) {
    CView* pActiveView = GetActiveView();
    if (!bActivate && pActiveView != nullptr)
        pActiveView->OnActivateView(FALSE, pActiveView, pActiveView);
    if (CMDIFrameWnd* pFrame = GetMDIFrame())
        pFrame->OnUpdateFrameTitle(TRUE);
    if (bActivate && pActiveView != nullptr)
        pActiveView->OnActivateView(TRUE, pActiveView, pActiveView);
}

int CMDIChildWnd::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message) {
    int nResult = CFrameWnd::OnMouseActivate(pDesktopWnd, nHitTest, message);
    if (nResult == MA_NOACTIVATE || nResult == MA_NOACTIVATEANDEAT)
        return nResult;
    CMDIFrameWnd* pFrame = GetMDIFrame();
    if (pFrame != nullptr && pFrame->MDIGetActive() != this)
        MDIActivate();
    return nResult;
}

void CMDIChildWnd::OnDestroy() {
    // The next child takes over when the active one goes.
    HWND hClient = ::GetParent(m_hWnd);
    if (hClient != nullptr &&
        reinterpret_cast<HWND>(::SendMessage(hClient, WM_MDIGETACTIVE, 0, 0)) == m_hWnd)
        ::SendMessage(hClient, WM_MDINEXT, reinterpret_cast<WPARAM>(m_hWnd), 0);
    if (hClient != nullptr &&
        reinterpret_cast<HWND>(::SendMessage(hClient, WM_MDIGETACTIVE, 0, 0)) == m_hWnd)
        ::SendMessage(hClient, WM_MDIACTIVATE, 0, 0);
    CFrameWnd::OnDestroy();
}
