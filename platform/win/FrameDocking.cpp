// The frame's control bars: dock bars on its sides, bars docked, shown, hidden and found, and
// a layout put off until idle time.
#include "platform/win/FrameDocking.h"

#include "platform/win/ControlBar.h"
#include "platform/win/DockBar.h"
#include "platform/win/FrameWnd.h"

#include <set>

namespace kel::win {

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

std::set<HWND>& PendingLayouts() {
    static std::set<HWND> frames;
    return frames;
}

CDockBar* DockBarOf(CFrameWnd* pFrame, UINT nID) {
    return dynamic_cast<CDockBar*>(CWnd::FromHandlePermanent(::GetDlgItem(pFrame->m_hWnd, nID)));
}

} // namespace

void EnableDocking(CFrameWnd* pFrame, DWORD dwDockStyle) {
    if (pFrame == nullptr || pFrame->m_hWnd == nullptr)
        return;
    for (const Side& side : kSides) {
        if (!(dwDockStyle & side.align) || DockBarOf(pFrame, side.id) != nullptr)
            continue;
        auto* pDock = new CDockBar; // deletes itself with its window
        if (!pDock->Create(pFrame, WS_CHILD | WS_VISIBLE | side.align, side.id))
            continue; // a bar that could not be made was deleted with its window
    }
}

BOOL DockControlBar(CFrameWnd* pFrame, CControlBar* pBar, UINT nDockBarID, LPCRECT lpRect) {
    if (pFrame == nullptr || pBar == nullptr || pBar->m_hWnd == nullptr)
        return FALSE;
    CDockBar* pDock = nullptr;
    if (nDockBarID != 0) {
        pDock = DockBarOf(pFrame, nDockBarID);
    } else {
        for (const Side& side : kSides) {
            if ((pBar->m_dwDockStyle & side.align) &&
                (pDock = DockBarOf(pFrame, side.id)) != nullptr)
                break;
        }
    }
    // A side the frame has no dock bar for, or the bar does not allow, docks nothing.
    if (pDock == nullptr ||
        (pBar->m_dwDockStyle != 0 && !(pBar->m_dwDockStyle & pDock->m_dwStyle & CBRS_ALIGN_ANY)))
        return FALSE;
    pBar->m_pDockSite = pFrame;
    pDock->DockControlBar(pBar, lpRect);
    return TRUE;
}

void ShowControlBar(CFrameWnd* pFrame, CControlBar* pBar, BOOL bShow, BOOL bDelay) {
    if (pFrame == nullptr || pBar == nullptr || pBar->m_hWnd == nullptr)
        return;
    if (bDelay) {
        pBar->DelayShow(bShow);
        DelayRecalcLayout(pFrame);
        return;
    }
    pBar->DelayShow(bShow); // forgets a delayed change
    pBar->SetWindowPos(nullptr, 0, 0, 0, 0,
                       SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE |
                           (bShow ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    pFrame->RecalcLayout(FALSE);
}

CControlBar* GetControlBar(CFrameWnd* pFrame, UINT nID) {
    if (pFrame == nullptr || pFrame->m_hWnd == nullptr)
        return nullptr;
    for (HWND h = ::GetWindow(pFrame->m_hWnd, GW_CHILD); h != nullptr;
         h = ::GetWindow(h, GW_HWNDNEXT)) {
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

void DelayRecalcLayout(CFrameWnd* pFrame) {
    if (pFrame != nullptr && pFrame->m_hWnd != nullptr)
        PendingLayouts().insert(pFrame->m_hWnd);
}

BOOL RunDelayedLayout(CFrameWnd* pFrame) {
    if (pFrame == nullptr || PendingLayouts().erase(pFrame->m_hWnd) == 0)
        return FALSE;
    pFrame->RecalcLayout();
    return TRUE;
}

} // namespace kel::win
