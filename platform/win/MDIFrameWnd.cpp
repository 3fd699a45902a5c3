#include "platform/win/MDIFrameWnd.h"

#include "platform/gdi/SystemColors.h"
#include "platform/win/Document.h"
#include "platform/win/MDIChildWnd.h"
#include "platform/win/WindowManager.h"

#include <vector>

IMPLEMENT_DYNCREATE(CMDIFrameWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMDIFrameWnd, CFrameWnd)
END_MESSAGE_MAP()

namespace {

// The client window's user data is its active child.
HWND ActiveChild(HWND hClient) {
    HWND h = reinterpret_cast<HWND>(::GetWindowLongPtr(hClient, GWLP_USERDATA));
    if (h != nullptr && (!::IsWindow(h) || ::GetParent(h) != hClient))
        h = nullptr;
    return h;
}

void Activate(HWND hClient, HWND hNew) {
    HWND hOld = ActiveChild(hClient);
    if (hNew == hOld)
        return;
    ::SetWindowLongPtr(hClient, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(hNew));
    if (hOld != nullptr) {
        ::SendMessage(hOld, WM_NCACTIVATE, FALSE, 0);
        ::SendMessage(hOld, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(hOld),
                      reinterpret_cast<LPARAM>(hNew));
    }
    if (hNew != nullptr && ::IsWindow(hNew)) {
        ::SetWindowPos(hNew, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ::SendMessage(hNew, WM_NCACTIVATE, TRUE, 0);
        ::SendMessage(hNew, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(hOld),
                      reinterpret_cast<LPARAM>(hNew));
        // The active child of the active frame has the focus.
        HWND hTop = ::GetParent(hClient);
        if (hTop != nullptr && ::GetActiveWindow() == hTop) {
            HWND hFocus = ::GetFocus();
            if (hFocus != hNew && !::IsChild(hNew, hFocus))
                ::SetFocus(hNew);
        }
    }
}

// The next (or previous) child after hChild, skipping hidden ones and hChild itself.
HWND NextChild(HWND hClient, HWND hChild, bool previous) {
    std::vector<HWND> kids;
    for (HWND h = ::GetTopWindow(hClient); h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (h == hChild || ::IsWindowVisible(h))
            kids.push_back(h);
    }
    if (kids.empty())
        return nullptr;
    size_t at = 0;
    for (size_t i = 0; i < kids.size(); ++i) {
        if (kids[i] == hChild)
            at = i;
    }
    for (size_t k = 1; k < kids.size() + 1; ++k) {
        size_t i =
            previous ? (at + kids.size() - k % kids.size()) % kids.size() : (at + k) % kids.size();
        if (kids[i] != hChild)
            return kids[i];
    }
    return nullptr;
}

LRESULT CALLBACK MDIClientProc(HWND hWnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_MDIGETACTIVE: {
        HWND h = ActiveChild(hWnd);
        if (lp != 0)
            *reinterpret_cast<BOOL*>(lp) = h != nullptr && ::IsZoomed(h);
        return reinterpret_cast<LRESULT>(h);
    }
    case WM_MDIACTIVATE:
        Activate(hWnd, reinterpret_cast<HWND>(wp));
        return 0;
    case WM_MDINEXT: {
        HWND from = wp ? reinterpret_cast<HWND>(wp) : ActiveChild(hWnd);
        Activate(hWnd, NextChild(hWnd, from, lp != 0));
        return 0;
    }
    case WM_MDIDESTROY:
        ::DestroyWindow(reinterpret_cast<HWND>(wp));
        return 0;
    case WM_MDIMAXIMIZE:
        ::ShowWindow(reinterpret_cast<HWND>(wp), SW_SHOWMAXIMIZED);
        return 0;
    case WM_MDIRESTORE:
        ::ShowWindow(reinterpret_cast<HWND>(wp), SW_RESTORE);
        return 0;
    case WM_MDICASCADE:
    case WM_MDITILE: {
        RECT rc;
        ::GetClientRect(hWnd, &rc);
        int n = 0;
        std::vector<HWND> kids;
        for (HWND h = ::GetTopWindow(hWnd); h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT)) {
            if (::IsWindowVisible(h) && !::IsIconic(h))
                kids.push_back(h);
        }
        for (HWND h : kids) {
            if (::IsZoomed(h))
                ::ShowWindow(h, SW_RESTORE);
            if (msg == WM_MDICASCADE) {
                int off = 24 * n++;
                ::MoveWindow(h, off, off, rc.right * 3 / 4, rc.bottom * 3 / 4, TRUE);
            } else {
                int cy = kids.empty() ? 0 : rc.bottom / static_cast<int>(kids.size());
                ::MoveWindow(h, 0, cy * n++, rc.right, cy, TRUE);
            }
        }
        return 0;
    }
    default:
        return ::DefWindowProc(hWnd, msg, wp, lp);
    }
}

void RegisterClientClass() {
    WNDCLASS wc{0,
                &MDIClientProc,
                0,
                0,
                nullptr,
                nullptr,
                ::LoadCursor(nullptr, IDC_ARROW),
                reinterpret_cast<HBRUSH>(static_cast<UINT_PTR>(COLOR_APPWORKSPACE + 1)),
                nullptr,
                KEL_MDICLIENT_CLASS};
    AfxRegisterClass(&wc);
}

} // namespace

CMDIFrameWnd::CMDIFrameWnd() : m_hWndMDIClient(nullptr) {}

BOOL CMDIFrameWnd::OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext*) {
    return CreateClient(lpcs, nullptr);
}

BOOL CMDIFrameWnd::CreateClient(LPCREATESTRUCT, CMenu*) {
    RegisterClientClass();
    CRect rc;
    GetClientRect(&rc);
    m_hWndMDIClient = ::CreateWindowEx(
        WS_EX_CLIENTEDGE, KEL_MDICLIENT_CLASS, nullptr,
        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, rc.Width(), rc.Height(),
        m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(AFX_IDW_PANE_FIRST)),
        AfxGetInstanceHandle(), nullptr);
    return m_hWndMDIClient != nullptr;
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive(BOOL* pbMaximized) const {
    if (pbMaximized != nullptr)
        *pbMaximized = FALSE;
    if (m_hWndMDIClient == nullptr)
        return nullptr;
    HWND h = reinterpret_cast<HWND>(
        ::SendMessage(m_hWndMDIClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(pbMaximized)));
    return dynamic_cast<CMDIChildWnd*>(FromHandlePermanent(h));
}

void CMDIFrameWnd::MDIActivate(CWnd* pWndActivate) {
    if (m_hWndMDIClient != nullptr && pWndActivate != nullptr)
        ::SendMessage(m_hWndMDIClient, WM_MDIACTIVATE,
                      reinterpret_cast<WPARAM>(pWndActivate->m_hWnd), 0);
}

void CMDIFrameWnd::MDINext() {
    ::SendMessage(m_hWndMDIClient, WM_MDINEXT, 0, 0);
}

void CMDIFrameWnd::MDIMaximize(CWnd* pWnd) {
    ::SendMessage(m_hWndMDIClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(pWnd->m_hWnd), 0);
}

void CMDIFrameWnd::MDIRestore(CWnd* pWnd) {
    ::SendMessage(m_hWndMDIClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(pWnd->m_hWnd), 0);
}

void CMDIFrameWnd::MDITile() {
    ::SendMessage(m_hWndMDIClient, WM_MDITILE, 0, 0);
}
void CMDIFrameWnd::MDICascade() {
    ::SendMessage(m_hWndMDIClient, WM_MDICASCADE, 0, 0);
}

CFrameWnd* CMDIFrameWnd::GetActiveFrame() {
    CMDIChildWnd* pActive = MDIGetActive();
    return pActive != nullptr ? static_cast<CFrameWnd*>(pActive) : this;
}

BOOL CMDIFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    // The active child frame (and through it its view and document) first.
    CMDIChildWnd* pActiveChild = MDIGetActive();
    if (pActiveChild != nullptr && pActiveChild->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return CFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CMDIFrameWnd::PreTranslateMessage(MSG* pMsg) {
    // The active child's accelerators come first, translated for this frame; then its own.
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
        CMDIChildWnd* pActiveChild = MDIGetActive();
        if (pActiveChild != nullptr && pActiveChild->m_hAccelTable != nullptr &&
            ::TranslateAccelerator(m_hWnd, pActiveChild->m_hAccelTable, pMsg))
            return TRUE;
    }
    return CFrameWnd::PreTranslateMessage(pMsg);
}

void CMDIFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle) {
    if ((GetStyle() & FWS_ADDTOTITLE) == 0)
        return;
    CMDIChildWnd* pActiveChild = MDIGetActive();
    CString doc;
    if (bAddToTitle && pActiveChild != nullptr) {
        if (CDocument* pDoc = pActiveChild->GetActiveDocument())
            doc = pDoc->GetTitle();
    }
    CString text = m_strTitle;
    if (!doc.IsEmpty())
        text = m_strTitle.IsEmpty() ? doc : m_strTitle + " - " + doc;
    CString current;
    GetWindowText(current);
    if (current != text)
        SetWindowText(text);
}
