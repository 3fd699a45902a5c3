// CFrameWnd and its control bars: dock bars on its sides, bars docked, shown, hidden and
// found, and a layout put off until idle time.
#include "platform/win/FrameWnd.h"

#include "platform/win/ControlBar.h"
#include "platform/win/DockBar.h"

namespace {

// The sides in the order their dock bars are made: top and bottom span the frame, left and
// right take what is between them.
struct Side {
    DWORD align;
    UINT id;
};
constexpr Side kSides[] = {{CBRS_ALIGN_TOP, AFX_IDW_DOCKBAR_TOP},
                           {CBRS_ALIGN_BOTTOM, AFX_IDW_DOCKBAR_BOTTOM},
                           {CBRS_ALIGN_LEFT, AFX_IDW_DOCKBAR_LEFT},
                           {CBRS_ALIGN_RIGHT, AFX_IDW_DOCKBAR_RIGHT}};

CDockBar* DockBarOf(CFrameWnd* pFrame, UINT nID) {
    return dynamic_cast<CDockBar*>(CWnd::FromHandlePermanent(::GetDlgItem(pFrame->m_hWnd, nID)));
}

} // namespace

void CFrameWnd::DelayRecalcLayout(BOOL) {
    m_bLayoutDirty = TRUE;
}

void CFrameWnd::EnableDocking(DWORD dwDockStyle) {
    if (m_hWnd == nullptr)
        return;
    for (const Side& side : kSides) {
        if (!(dwDockStyle & side.align) || DockBarOf(this, side.id) != nullptr)
            continue;
        auto* pDock = new CDockBar; // deletes itself with its window
        pDock->Create(this, WS_CHILD | WS_VISIBLE | side.align, side.id);
    }
}

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID, LPCRECT lpRect) {
    if (pBar == nullptr || pBar->m_hWnd == nullptr)
        return;
    CDockBar* pDock = nullptr;
    if (nDockBarID != 0) {
        pDock = DockBarOf(this, nDockBarID);
    } else {
        for (const Side& side : kSides) {
            if ((pBar->m_dwDockStyle & side.align) && (pDock = DockBarOf(this, side.id)) != nullptr)
                break;
        }
    }
    DockControlBar(pBar, pDock, lpRect);
}

void CFrameWnd::DockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect) {
    // A side the frame has no dock bar for, or the bar does not allow, docks nothing.
    if (pBar == nullptr || pBar->m_hWnd == nullptr || pDockBar == nullptr ||
        pDockBar->GetParent() != this)
        return;
    if (pBar->m_dwDockStyle != 0 && !(pBar->m_dwDockStyle & pDockBar->m_dwStyle & CBRS_ALIGN_ANY))
        return;
    pBar->m_pDockSite = this;
    pDockBar->DockControlBar(pBar, lpRect);
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay) {
    if (pBar == nullptr || pBar->m_hWnd == nullptr)
        return;
    if (bDelay) {
        pBar->DelayShow(bShow);
        DelayRecalcLayout();
        return;
    }
    pBar->DelayShow(bShow); // forgets a change that was put off
    pBar->SetWindowPos(nullptr, 0, 0, 0, 0,
                       SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE |
                           (bShow ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    RecalcLayout(FALSE);
}

CControlBar* CFrameWnd::GetControlBar(UINT nID) {
    if (m_hWnd == nullptr)
        return nullptr;
    for (HWND h = ::GetWindow(m_hWnd, GW_CHILD); h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT)) {
        auto* pBar = dynamic_cast<CControlBar*>(CWnd::FromHandlePermanent(h));
        if (pBar == nullptr)
            continue;
        if (static_cast<UINT>(::GetDlgCtrlID(h)) == nID)
            return pBar;
        if (auto* pDock = dynamic_cast<CDockBar*>(pBar)) {
            if (CControlBar* pFound = pDock->FindBar(nID))
                return pFound;
        }
    }
    return nullptr;
}
