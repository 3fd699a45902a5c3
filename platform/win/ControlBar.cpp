#include "platform/win/ControlBar.h"

#include "platform/gdi/Gdi.h"

#include <cstring>
#include "platform/win/DialogDefs.h"
#include "platform/win/DockBar.h"
#include "platform/win/FrameWnd.h"

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_ERASEBKGND()
ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
END_MESSAGE_MAP()

CControlBar::CControlBar()
    : m_bAutoDelete(FALSE), m_cxLeftBorder(4), m_cxRightBorder(4), m_cyTopBorder(2),
      m_cyBottomBorder(2), m_dwStyle(0), m_dwDockStyle(0), m_pDockSite(nullptr),
      m_pDockBar(nullptr), m_nDelay(delayNone), m_hWndToolTip(nullptr), m_nLastHit(-1) {}

CControlBar::~CControlBar() {
    // A bar going with its object leaves its dock bar at once.
    if (m_hWnd != nullptr)
        DestroyWindow();
}

void CControlBar::SetBarStyle(DWORD dwStyle) {
    if (m_dwStyle == dwStyle)
        return;
    m_dwStyle = dwStyle;
    if (m_hWnd != nullptr)
        Invalidate();
}

void CControlBar::EnableDocking(DWORD dwDockStyle) {
    m_dwDockStyle = dwDockStyle & CBRS_ALIGN_ANY;
}

CFrameWnd* CControlBar::GetDockingFrame() const {
    return m_pDockSite != nullptr ? m_pDockSite : GetParentFrame();
}

BOOL CControlBar::IsVisible() const {
    if (m_nDelay == delayHide)
        return FALSE;
    return m_nDelay == delayShow || (m_hWnd != nullptr && (GetStyle() & WS_VISIBLE) != 0);
}

void CControlBar::DelayShow(BOOL bShow) {
    const bool visible = m_hWnd != nullptr && (GetStyle() & WS_VISIBLE) != 0;
    m_nDelay = (bShow != FALSE) == visible ? delayNone : (bShow ? delayShow : delayHide);
}

void CControlBar::ApplyDelayedShow() {
    if (m_nDelay == delayNone)
        return;
    const bool show = m_nDelay == delayShow;
    m_nDelay = delayNone;
    SetWindowPos(nullptr, 0, 0, 0, 0,
                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE |
                     (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

CSize CControlBar::Stretched(CSize size, BOOL bStretch, BOOL bHorz) {
    if (bStretch) {
        if (bHorz)
            size.cx = 32767;
        else
            size.cy = 32767;
    }
    return size;
}

CSize CControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
    return Stretched(CSize(0, 0), bStretch, bHorz);
}

int CControlBar::OnCreate(LPCREATESTRUCT lpcs) {
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    // A bar made in a frame belongs to it: the frame routes its commands and docks it.
    CWnd* pParent = GetParent();
    if (pParent != nullptr && pParent->IsFrameWnd()) {
        m_pDockSite = static_cast<CFrameWnd*>(pParent);
        SetOwner(pParent);
    }
    return 0;
}

void CControlBar::OnDestroy() {
    if (m_hWndToolTip != nullptr && ::IsWindow(m_hWndToolTip))
        ::DestroyWindow(m_hWndToolTip);
    m_hWndToolTip = nullptr;
    m_nLastHit = -1;
    if (m_pDockBar != nullptr) {
        CDockBar* pDockBar = m_pDockBar;
        m_pDockBar = nullptr;
        pDockBar->RemoveControlBar(this);
    }
    CWnd::OnDestroy();
}

void CControlBar::PostNcDestroy() {
    if (m_bAutoDelete)
        delete this;
}

BOOL CControlBar::OnEraseBkgnd(CDC* pDC) {
    CRect rc;
    GetClientRect(&rc);
    ::FillRect(pDC->GetSafeHdc(), &rc, ::GetSysColorBrush(COLOR_3DFACE));
    return TRUE;
}

LRESULT CControlBar::OnSizeParent(WPARAM, LPARAM lParam) {
    auto* lpLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    ApplyDelayedShow();
    if (!(GetStyle() & WS_VISIBLE) || !(m_dwStyle & CBRS_ALIGN_ANY))
        return 0;
    // The bar takes its thickness from the side it stands on.
    CRect rect = lpLayout->rect;
    const CSize avail = rect.Size();
    const bool horz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    CSize size = CalcFixedLayout(lpLayout->bStretch, horz);
    size.cx = std::min<LONG>(size.cx, avail.cx);
    size.cy = std::min<LONG>(size.cy, avail.cy);
    if (horz) {
        lpLayout->sizeTotal.cy += size.cy;
        lpLayout->sizeTotal.cx = std::max<LONG>(lpLayout->sizeTotal.cx, size.cx);
        if (m_dwStyle & CBRS_ALIGN_TOP) {
            lpLayout->rect.top += size.cy;
        } else {
            rect.top = rect.bottom - size.cy;
            lpLayout->rect.bottom -= size.cy;
        }
    } else {
        lpLayout->sizeTotal.cx += size.cx;
        lpLayout->sizeTotal.cy = std::max<LONG>(lpLayout->sizeTotal.cy, size.cy);
        if (m_dwStyle & CBRS_ALIGN_LEFT) {
            lpLayout->rect.left += size.cx;
        } else {
            rect.left = rect.right - size.cx;
            lpLayout->rect.right -= size.cx;
        }
    }
    rect.right = rect.left + size.cx;
    rect.bottom = rect.top + size.cy;
    if (lpLayout->hDWP != nullptr)
        AfxRepositionWindow(lpLayout, m_hWnd, &rect);
    return 0;
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM) {
    if (m_hWnd == nullptr || !(GetStyle() & WS_VISIBLE))
        return 0;
    CFrameWnd* pTarget = dynamic_cast<CFrameWnd*>(GetOwner());
    if (pTarget == nullptr)
        pTarget = GetParentFrame();
    if (pTarget != nullptr)
        OnUpdateCmdUI(pTarget, static_cast<BOOL>(wParam));
    return 0;
}

// Notifications of the bar's controls go on to the owner when the bar does not handle them.
LRESULT CControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY && lParam != 0) {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (hdr->code == TTN_NEEDTEXT && hdr->hwndFrom == m_hWndToolTip && m_hWndToolTip != nullptr)
            return OnToolTipText(reinterpret_cast<NMTTDISPINFO*>(lParam));
    }
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM: {
        LRESULT lResult = 0;
        if (OnWndMsg(message, wParam, lParam, &lResult))
            return lResult;
        CWnd* pOwner = GetOwner();
        if (pOwner != nullptr && pOwner != this)
            return pOwner->SendMessage(message, wParam, lParam);
        return 0;
    }
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}

// Keys in a dialog-like bar: the frames' accelerators first (the dialog manager would take
// them), then the dialog keys.
BOOL CControlBar::PreTranslateMessage(MSG* pMsg) {
    if (CWnd::PreTranslateMessage(pMsg))
        return TRUE;
    if ((m_dwStyle & CBRS_TOOLTIPS) && pMsg->message >= WM_MOUSEFIRST &&
        pMsg->message <= WM_MBUTTONDBLCLK)
        FilterToolTipMessage(pMsg);
    if (!IsDialogLike())
        return FALSE;
    const UINT m = pMsg->message;
    if ((m < WM_KEYFIRST || m > WM_KEYLAST) && (m < WM_MOUSEFIRST || m > WM_MOUSELAST))
        return FALSE;
    if (m >= WM_KEYFIRST && m <= WM_KEYLAST) {
        for (CFrameWnd* pFrame = GetDockingFrame(); pFrame != nullptr;
             pFrame = pFrame->GetParentFrame()) {
            if (pFrame->PreTranslateMessage(pMsg))
                return TRUE;
        }
    }
    return ::IsDialogMessage(m_hWnd, pMsg);
}

// ---------------------------------------------------------------------------
// Tooltips of the bar's tools.

INT_PTR CControlBar::OnToolHitTest(CPoint point, TOOLINFO* pTI) const {
    // A control of the bar: a window tool.
    for (HWND h = ::GetWindow(m_hWnd, GW_CHILD); h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(h))
            continue;
        CRect rc;
        ::GetWindowRect(h, &rc);
        ScreenToClient(&rc);
        const int id = ::GetDlgCtrlID(h);
        if (!rc.PtInRect(point) || id == 0 || id == -1 || id == 0xFFFF)
            continue;
        if (pTI != nullptr) {
            pTI->uFlags = TTF_IDISHWND;
            pTI->hwnd = m_hWnd;
            pTI->uId = reinterpret_cast<UINT_PTR>(h);
            pTI->lpszText = LPSTR_TEXTCALLBACK;
        }
        return id;
    }
    return -1;
}

void CControlBar::FilterToolTipMessage(const MSG* pMsg) {
    if (m_hWndToolTip == nullptr || !::IsWindow(m_hWndToolTip)) {
        m_hWndToolTip =
            ::CreateWindowEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASS, "",
                             WS_POPUP | WS_BORDER, 0, 0, 0, 0, m_hWnd, nullptr, nullptr, nullptr);
        m_nLastHit = -1;
        if (m_hWndToolTip == nullptr)
            return; // the controls are not linked in: no tooltips
    }
    CPoint pt(GET_X_LPARAM(pMsg->lParam), GET_Y_LPARAM(pMsg->lParam));
    ::MapWindowPoints(pMsg->hwnd, m_hWnd, &pt, 1);
    TOOLINFO ti{};
    ti.cbSize = sizeof(ti);
    const INT_PTR hit = OnToolHitTest(pt, &ti);
    if (hit != m_nLastHit) {
        // One tool at a time: the one under the pointer.
        TOOLINFO old{};
        old.cbSize = sizeof(old);
        while (::SendMessage(m_hWndToolTip, TTM_ENUMTOOLS, 0, reinterpret_cast<LPARAM>(&old)))
            ::SendMessage(m_hWndToolTip, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&old));
        if (hit != -1)
            ::SendMessage(m_hWndToolTip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&ti));
        m_nLastHit = hit;
    }
    MSG relay = *pMsg;
    ::SendMessage(m_hWndToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
}

BOOL CControlBar::OnToolTipText(NMTTDISPINFO* pInfo) {
    pInfo->szText[0] = '\0';
    pInfo->lpszText = nullptr;
    CWnd* pOwner = GetOwner();
    if (pOwner != nullptr && pOwner != this) {
        pOwner->SendMessage(WM_NOTIFY, pInfo->hdr.idFrom, reinterpret_cast<LPARAM>(pInfo));
        if (pInfo->szText[0] != '\0' || pInfo->lpszText != nullptr)
            return TRUE;
    }
    const UINT id =
        (pInfo->uFlags & TTF_IDISHWND)
            ? static_cast<UINT>(::GetDlgCtrlID(reinterpret_cast<HWND>(pInfo->hdr.idFrom)))
            : static_cast<UINT>(pInfo->hdr.idFrom);
    CString text;
    if (id != 0 && text.LoadString(id)) {
        const int nl = text.Find('\n');
        if (nl >= 0)
            text = text.Mid(nl + 1);
        std::strncpy(pInfo->szText, text, sizeof(pInfo->szText) - 1);
        pInfo->szText[sizeof(pInfo->szText) - 1] = '\0';
    }
    return TRUE;
}
