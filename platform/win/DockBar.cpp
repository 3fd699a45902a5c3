#include "platform/win/DockBar.h"

#include "platform/gdi/Gdi.h"
#include "platform/win/FrameWnd.h"
#include "platform/win/PaintDC.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CDockBar, CControlBar)

BEGIN_MESSAGE_MAP(CDockBar, CControlBar)
ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
ON_WM_PAINT()
END_MESSAGE_MAP()

CDockBar::CDockBar() {
    m_bAutoDelete = TRUE; // made by EnableDocking, it goes with its window
    m_cxLeftBorder = m_cxRightBorder = m_cyTopBorder = m_cyBottomBorder = 0;
}

CDockBar::~CDockBar() {
    for (CControlBar* pBar : m_bars)
        pBar->m_pDockBar = nullptr;
}

BOOL CDockBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
    WNDCLASS wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &::DefWindowProc;
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<UINT_PTR>(COLOR_3DFACE + 1));
    wc.lpszClassName = AFX_WNDCONTROLBAR;
    AfxRegisterClass(&wc);
    m_dwStyle = (dwStyle & CBRS_ALL) | CBRS_BORDER_ANY;
    dwStyle &= ~static_cast<DWORD>(CBRS_ALL);
    return CWnd::Create(AFX_WNDCONTROLBAR, nullptr, dwStyle | WS_CHILD | WS_CLIPCHILDREN,
                        CRect(0, 0, 0, 0), pParentWnd, nID);
}

CControlBar* CDockBar::GetDockedBar(int nIndex) const {
    return nIndex >= 0 && nIndex < GetDockedCount() ? m_bars[static_cast<size_t>(nIndex)] : nullptr;
}

CControlBar* CDockBar::FindBar(UINT nID) const {
    for (CControlBar* pBar : m_bars) {
        if (pBar->m_hWnd != nullptr && static_cast<UINT>(pBar->GetDlgCtrlID()) == nID)
            return pBar;
    }
    return nullptr;
}

void CDockBar::DockControlBar(CControlBar* pBar, LPCRECT) {
    if (pBar == nullptr || pBar->m_hWnd == nullptr || pBar == this)
        return;
    if (pBar->m_pDockBar != nullptr && pBar->m_pDockBar != this)
        pBar->m_pDockBar->RemoveControlBar(pBar);
    if (std::find(m_bars.begin(), m_bars.end(), pBar) == m_bars.end())
        m_bars.push_back(pBar);
    pBar->m_pDockBar = this;
    if (pBar->GetParent() != this)
        pBar->SetParent(this);
    // The bar takes the side of its dock bar.
    pBar->m_dwStyle =
        (pBar->m_dwStyle & ~static_cast<DWORD>(CBRS_ALIGN_ANY)) | (m_dwStyle & CBRS_ALIGN_ANY);
    if (CFrameWnd* pFrame = dynamic_cast<CFrameWnd*>(GetParent()))
        pFrame->DelayRecalcLayout();
}

BOOL CDockBar::RemoveControlBar(CControlBar* pBar) {
    auto it = std::find(m_bars.begin(), m_bars.end(), pBar);
    if (it == m_bars.end())
        return FALSE;
    m_bars.erase(it);
    if (pBar->m_pDockBar == this)
        pBar->m_pDockBar = nullptr;
    if (CFrameWnd* pFrame = dynamic_cast<CFrameWnd*>(GetParent()))
        pFrame->DelayRecalcLayout();
    return TRUE;
}

CSize CDockBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
    CSize total;
    for (CControlBar* pBar : m_bars) {
        if (pBar->m_hWnd == nullptr || !pBar->IsVisible())
            continue;
        const CSize s = pBar->CalcFixedLayout(FALSE, bHorz);
        if (bHorz) {
            total.cy += s.cy;
            total.cx = std::max<LONG>(total.cx, s.cx);
        } else {
            total.cx += s.cx;
            total.cy = std::max<LONG>(total.cy, s.cy);
        }
    }
    return Stretched(total, bStretch, bHorz);
}

void CDockBar::LayoutBars(CSize size) {
    const bool horz = IsHorz() != FALSE;
    int at = 0;
    for (CControlBar* pBar : m_bars) {
        if (pBar->m_hWnd == nullptr || !(pBar->GetStyle() & WS_VISIBLE))
            continue;
        CSize s = pBar->CalcFixedLayout(FALSE, horz);
        CRect rc;
        if (horz)
            rc = CRect(0, at, std::min<LONG>(s.cx, size.cx), at + s.cy);
        else
            rc = CRect(at, 0, at + s.cx, std::min<LONG>(s.cy, size.cy));
        at += horz ? s.cy : s.cx;
        AfxRepositionWindow(nullptr, pBar->m_hWnd, &rc);
    }
}

LRESULT CDockBar::OnSizeParent(WPARAM wParam, LPARAM lParam) {
    // Bars shown or hidden meanwhile take their state now.
    for (CControlBar* pBar : m_bars) {
        if (pBar->m_hWnd != nullptr)
            pBar->ApplyDelayedShow();
    }
    auto* lpLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    const CRect before = lpLayout->rect;
    CControlBar::OnSizeParent(wParam, lParam);
    // The room the dock bar took is what its bars are laid out in; a query moves nothing.
    if (lpLayout->hDWP == nullptr)
        return 0;
    const CRect after = lpLayout->rect;
    CSize size;
    if (IsHorz())
        size = CSize(before.Width(), before.Height() - after.Height());
    else
        size = CSize(before.Width() - after.Width(), before.Height());
    LayoutBars(size);
    return 0;
}

void CDockBar::OnPaint() {
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    dc.FillSolidRect(&rc, ::GetSysColor(COLOR_3DFACE));
}

void CDockBar::OnUpdateCmdUI(CFrameWnd*, BOOL) {}
