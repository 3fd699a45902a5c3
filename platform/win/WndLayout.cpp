// CWnd: the layout of control bars and the pane that fills the rest (WM_SIZEPARENT).
#include "platform/win/FrameWnd.h"
#include "platform/win/Wnd.h"

void AFXAPI AfxRepositionWindow(AFX_SIZEPARENTPARAMS* lpLayout, HWND hWnd, LPCRECT lpRect) {
    CRect rectOld;
    ::GetWindowRect(hWnd, &rectOld);
    HWND hWndParent = ::GetParent(hWnd);
    ::ScreenToClient(hWndParent, &rectOld.TopLeft());
    ::ScreenToClient(hWndParent, &rectOld.BottomRight());
    if (rectOld == *lpRect)
        return;
    const UINT flags = SWP_NOACTIVATE | SWP_NOZORDER;
    if (lpLayout != nullptr && lpLayout->hDWP != nullptr)
        lpLayout->hDWP =
            ::DeferWindowPos(lpLayout->hDWP, hWnd, nullptr, lpRect->left, lpRect->top,
                             lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, flags);
    else
        ::SetWindowPos(hWnd, nullptr, lpRect->left, lpRect->top, lpRect->right - lpRect->left,
                       lpRect->bottom - lpRect->top, flags);
}

void CWnd::RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlags,
                          LPRECT lpRectParam, LPCRECT lpRectClient, BOOL bStretch) {
    AFX_SIZEPARENTPARAMS layout{};
    layout.bStretch = bStretch;
    if (lpRectClient != nullptr)
        layout.rect = *lpRectClient;
    else
        GetClientRect(&layout.rect);
    layout.hDWP = nFlags != reposQuery ? ::BeginDeferWindowPos(8) : nullptr;

    // Each bar takes its room from layout.rect, in z-order.
    HWND hWndLeftOver = nullptr;
    for (HWND hWndChild = ::GetTopWindow(m_hWnd); hWndChild != nullptr;
         hWndChild = ::GetWindow(hWndChild, GW_HWNDNEXT)) {
        UINT nIDC = static_cast<UINT>(::GetDlgCtrlID(hWndChild));
        if (nIDC == nIDLeftOver)
            hWndLeftOver = hWndChild;
        else if (nIDC >= nIDFirst && nIDC <= nIDLast && FromHandlePermanent(hWndChild) != nullptr)
            ::SendMessage(hWndChild, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
    }

    if (nFlags == reposQuery) {
        if (lpRectParam != nullptr) {
            if (bStretch)
                *lpRectParam = layout.rect;
            else
                *lpRectParam = CRect(0, 0, layout.sizeTotal.cx, layout.sizeTotal.cy);
        }
        return;
    }

    if (nIDLeftOver != 0 && hWndLeftOver != nullptr) {
        if (nFlags == reposExtra && lpRectParam != nullptr) {
            layout.rect.left += lpRectParam->left;
            layout.rect.top += lpRectParam->top;
            layout.rect.right -= lpRectParam->right;
            layout.rect.bottom -= lpRectParam->bottom;
        }
        CWnd* pLeftOver = FromHandle(hWndLeftOver);
        pLeftOver->CalcWindowRect(&layout.rect);
        AfxRepositionWindow(&layout, hWndLeftOver, &layout.rect);
    }
    ::EndDeferWindowPos(layout.hDWP);
}

CWnd* CWnd::GetDescendantWindow(int nID, BOOL bOnlyPerm) const {
    for (HWND h = ::GetTopWindow(m_hWnd); h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (::GetDlgCtrlID(h) == nID) {
            CWnd* pWnd = bOnlyPerm ? FromHandlePermanent(h) : FromHandle(h);
            if (pWnd != nullptr)
                return pWnd;
        }
    }
    for (HWND h = ::GetTopWindow(m_hWnd); h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (::GetTopWindow(h) != nullptr) {
            if (CWnd* pWnd = FromHandle(h)->GetDescendantWindow(nID, bOnlyPerm))
                return pWnd;
        }
    }
    return nullptr;
}
