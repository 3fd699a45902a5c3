#include "platform/win/ControlBar.h"

#include "platform/gdi/Gdi.h"
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
      m_pDockBar(nullptr), m_nDelay(delayNone) {}

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

CSize CControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
    CSize size;
    if (bStretch) {
        if (bHorz)
            size.cx = 32767;
        else
            size.cy = 32767;
    }
    return size;
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
    if (m_nDelay != delayNone) {
        const bool show = m_nDelay == delayShow;
        m_nDelay = delayNone;
        SetWindowPos(nullptr, 0, 0, 0, 0,
                     SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE |
                         (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    }
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
