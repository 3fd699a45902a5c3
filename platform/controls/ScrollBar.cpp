#include "platform/controls/ScrollBar.h"

#include "platform/controls/ControlClasses.h"

IMPLEMENT_DYNAMIC(CScrollBar, CWnd)

BOOL CScrollBar::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    KelRegisterControlClasses();
    return CWnd::Create(WC_SCROLLBAR, nullptr, dwStyle, rect, pParentWnd, nID);
}

int CScrollBar::GetScrollLimit() {
    SCROLLINFO si{};
    if (!GetScrollInfo(&si, SIF_RANGE | SIF_PAGE))
        return 0;
    int limit = si.nMax;
    if (si.nPage > 1)
        limit -= static_cast<int>(si.nPage) - 1;
    return limit < si.nMin ? si.nMin : limit;
}
