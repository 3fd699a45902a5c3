// The count in the background: a reload paints its window before the records are counted,
// then a timer keys them by slices short enough that every message is handled within a few
// tens of milliseconds. The scroll range and the counter follow, and the parent hears of the
// count when it comes.
#include "grid/RecordsetCtrl.h"

#include <algorithm>
#include <climits>

namespace {

// Milliseconds of keying per tick: with the timer's own 10 ms, a posted message waits at
// most about this long.
constexpr DWORD kCountSlice = 20;
constexpr UINT kCountInterval = 10;

int ToInt(long n) {
    return static_cast<int>(std::clamp<long>(n, 0, INT_MAX / 2));
}

} // namespace

void CRecordsetCtrl::StartCounting(int nPos) {
    StopCounting();
    m_bAtEnd = FALSE;
    if (m_pDoc == NULL || !m_pDoc->IsOpen() || m_pDoc->IsCounted()) {
        // Counted already (a recordset of a few windows): the range at once, as it always was.
        const int nTot = m_pDoc ? ToInt(m_pDoc->GetTot()) : 0;
        m_wndVScroll.SetScrollRangePage(0, nTot - 1, FALSE);
        m_wndVScroll.SetScrollPos(nPos, TRUE);
        return;
    }
    m_bCounting = TRUE;
    m_wndVScroll.SetScrollRangePage(0, -1, FALSE);
    GrowRange(nPos);
    m_wndVScroll.SetScrollPos(nPos, TRUE);
    SetTimer(m_nCountTimer, kCountInterval, NULL);
    InvalidateCounter();
}

void CRecordsetCtrl::StopCounting() {
    if (!m_bCounting)
        return;
    m_bCounting = FALSE;
    m_bAtEnd = FALSE;
    if (GetSafeHwnd() != NULL)
        KillTimer(m_nCountTimer);
}

void CRecordsetCtrl::KeepCounting() {
    if (!m_bCounting || m_pDoc == NULL || !m_pDoc->IsOpen()) {
        StopCounting();
        return;
    }
    // No tick comes in while this one runs: a failure's message box runs a loop of its own.
    KillTimer(m_nCountTimer);
    if (!m_pDoc->KeepCounting(kCountSlice)) {
        if (!m_bCounting)
            return; // a reload or a close came in meanwhile
        SetTimer(m_nCountTimer, kCountInterval, NULL);
        GrowRange(m_wndVScroll.GetScrollPos());
        return;
    }

    // The count has come (or keying failed, which the document has shown: what is known).
    if (!m_bCounting)
        return;
    const BOOL bAtEnd = m_bAtEnd;
    StopCounting();
    const int nTot = ToInt(m_pDoc->IsCounted() ? m_pDoc->GetTot() : m_pDoc->GetCountSoFar());
    int nPos = m_wndVScroll.GetScrollPos();
    if (bAtEnd) {
        // The window's first row now has its place from the front.
        const long nFirst = m_pDoc->GetBookmarkPosition(m_varFirst);
        nPos = nFirst >= 0 ? ToInt(nFirst) : std::max(nTot - GetVerticalPage(), 0);
    }
    m_wndVScroll.SetScrollRangePage(0, nTot - 1, FALSE);
    m_wndVScroll.SetScrollPos(std::min(nPos, std::max(nTot - 1, 0)), TRUE);
    InvalidateCounter();
    NotifyParent(RSCN_SELCHANGE);
}

void CRecordsetCtrl::GrowRange(int nPos) {
    int nMin = 0, nMax = 0;
    m_wndVScroll.GetScrollRangePage(&nMin, &nMax);
    // The records counted so far, and room below the window to page on into.
    const int nKnown = ToInt(m_pDoc ? m_pDoc->GetCountSoFar() : 0);
    if (m_bAtEnd) {
        // The bar's end is the last record: what is counted from the front grows the room
        // above the window, not its distance from the end.
        RoomAbove(nKnown - 1 - nMax);
        return;
    }
    const int nWanted = std::max(nKnown - 1, nPos + std::max(m_nRows, 1) + GetVerticalPage());
    if (nWanted > nMax)
        m_wndVScroll.SetScrollRangePage(nMin, nWanted, FALSE);
}

void CRecordsetCtrl::RoomAbove(int nMore) {
    if (nMore <= 0)
        return;
    int nMin = 0, nMax = 0;
    m_wndVScroll.GetScrollRangePage(&nMin, &nMax);
    const int p = m_wndVScroll.GetScrollPos();
    m_wndVScroll.SetScrollRangePage(nMin, nMax + nMore, FALSE);
    m_wndVScroll.SetScrollPos(p + nMore, TRUE);
}

int CRecordsetCtrl::AbsoluteMove(int t) const {
    if (!m_bAtEnd)
        return CRecordsetDoc::gtAbsolute + t;
    int nMin = 0, nMax = 0;
    m_wndVScroll.GetScrollRangePage(&nMin, &nMax);
    return CRecordsetDoc::gtFromEnd - (nMax - t);
}

void CRecordsetCtrl::InvalidateCounter() {
    if (GetSafeHwnd() == NULL)
        return;
    CRect rc;
    CWnd::GetClientRect(&rc);
    rc.top = rc.bottom - m_nHScrollHeight;
    rc.right = std::min<int>(rc.right, 100);
    CWnd::InvalidateRect(&rc, TRUE);
}
