#include "companions/controls/ExScrollBar.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CExScrollBar, CScrollBar)

CExScrollBar::Logical& CExScrollBar::State() const {
    if (!m_bKnown && m_hWnd == NULL) {
        m_bKnown = true; // values set before the window exists are handed to it at creation
    } else if (!m_bKnown) {
        // A bar made elsewhere and subclassed keeps the values it had.
        SCROLLINFO si{sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
        if (const_cast<CExScrollBar*>(this)->DefWindowProc(SBM_GETSCROLLINFO, 0,
                                                           reinterpret_cast<LPARAM>(&si))) {
            m_state.nMin = si.nMin;
            m_state.nMax = si.nMax;
            m_state.nPage = si.nPage;
            m_state.nPos = si.nPos;
        }
        m_bKnown = true;
    }
    return m_state;
}

BOOL CExScrollBar::IsRangeEmpty() const {
    return State().nMax < State().nMin;
}

bool CExScrollBar::IsScaled() const {
    const Logical& s = State();
    return !IsRangeEmpty() && (s.nMin < 0 || s.nMax > kBarLimit);
}

// A scaled bar: the range becomes 0..kBarLimit, the page keeps its share of the range, and a
// position keeps its share of the way the thumb can travel (min .. max - page + 1).
CExScrollBar::Scale CExScrollBar::GetScale() const {
    const Logical& s = State();
    Scale k;
    const long long span = static_cast<long long>(s.nMax) - s.nMin;
    k.barPage = s.nPage == 0
                    ? 0
                    : std::max<long long>(1, (static_cast<long long>(s.nPage) * (kBarLimit + 1LL)) /
                                                 (span + 1));
    k.barTravel = kBarLimit - std::max<long long>(k.barPage - 1, 0);
    k.travel = span - std::max<long long>(static_cast<long long>(s.nPage) - 1, 0);
    return k;
}

int CExScrollBar::ToBar(int nPos) const {
    if (!IsScaled())
        return nPos;
    const Scale k = GetScale();
    if (k.travel <= 0)
        return 0;
    const long long offset = static_cast<long long>(nPos) - State().nMin;
    return static_cast<int>((offset * k.barTravel + k.travel / 2) / k.travel);
}

int CExScrollBar::FromBar(int nBarPos) const {
    if (!IsScaled())
        return nBarPos;
    const Scale k = GetScale();
    if (k.barTravel <= 0)
        return State().nMin;
    const long long b = std::clamp<long long>(nBarPos, 0, k.barTravel);
    return static_cast<int>(State().nMin + (b * k.travel + k.barTravel / 2) / k.barTravel);
}

int CExScrollBar::GetThumbPos(UINT nPos) const {
    return FromBar(static_cast<int>(nPos & 0xFFFF));
}

UINT CExScrollBar::GetThumbMessagePos(int nPos) const {
    if (IsRangeEmpty())
        return 0;
    return static_cast<UINT>(ToBar(std::clamp(nPos, State().nMin, LastPos()))) & 0xFFFF;
}

int CExScrollBar::LastPos() const {
    const Logical& s = State();
    return std::max(s.nMin, s.nMax - (s.nPage > 0 ? static_cast<int>(s.nPage) - 1 : 0));
}

void CExScrollBar::Clamp() {
    Logical& s = State();
    if (s.nMax < s.nMin)
        return; // an empty range keeps the position as it was
    const long long range = static_cast<long long>(s.nMax) - s.nMin + 1;
    if (static_cast<long long>(s.nPage) > range)
        s.nPage = static_cast<UINT>(range);
    s.nPos = std::clamp(s.nPos, s.nMin, LastPos());
}

void CExScrollBar::Sync(BOOL bRedraw) {
    if (m_hWnd == NULL)
        return;
    const Logical& s = State();
    SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
    const bool empty = IsRangeEmpty() != FALSE;
    if (!empty && !IsScaled()) {
        si.nMin = s.nMin;
        si.nMax = s.nMax;
        si.nPage = s.nPage;
        si.nPos = s.nPos;
    } else if (!empty) {
        si.nMax = kBarLimit;
        si.nPage = static_cast<UINT>(GetScale().barPage);
        si.nPos = ToBar(s.nPos);
    }
    DefWindowProc(SBM_SETSCROLLINFO, static_cast<WPARAM>(bRedraw), reinterpret_cast<LPARAM>(&si));
    if (empty && IsWindowEnabled()) {
        EnableWindow(FALSE);
        m_bDisabledEmpty = true;
    } else if (!empty && m_bDisabledEmpty) {
        m_bDisabledEmpty = false;
        EnableWindow(TRUE);
    }
}

void CExScrollBar::SetScrollRangePage(int nMinPos, int nMaxPos, BOOL bRedraw) {
    Logical& s = State();
    s.nMin = nMinPos;
    s.nMax = nMaxPos;
    Clamp();
    Sync(bRedraw);
}

void CExScrollBar::SetScrollPage(int nPage, BOOL bRedraw) {
    Logical& s = State();
    s.nPage = static_cast<UINT>(std::max(0, nPage));
    Clamp();
    Sync(bRedraw);
}

void CExScrollBar::GetScrollRangePage(int* pMinPos, int* pMaxPos) const {
    if (pMinPos != nullptr)
        *pMinPos = State().nMin;
    if (pMaxPos != nullptr)
        *pMaxPos = State().nMax;
}

int CExScrollBar::GetScrollPage() const {
    return static_cast<int>(State().nPage);
}

void CExScrollBar::ApplyInfo(const SCROLLINFO& si) {
    Logical& s = State();
    if (si.fMask & SIF_RANGE) {
        s.nMin = si.nMin;
        s.nMax = si.nMax;
    }
    if (si.fMask & SIF_PAGE)
        s.nPage = si.nPage;
    if (si.fMask & SIF_POS)
        s.nPos = si.nPos;
    Clamp();
}

void CExScrollBar::FillInfo(SCROLLINFO& si) const {
    const Logical& s = State();
    if (si.fMask & SIF_RANGE) {
        si.nMin = s.nMin;
        si.nMax = s.nMax;
    }
    if (si.fMask & SIF_PAGE)
        si.nPage = s.nPage;
    if (si.fMask & SIF_POS)
        si.nPos = s.nPos;
    if (si.fMask & SIF_TRACKPOS) {
        // While the thumb is dragged the bar knows where it is; otherwise it is the position.
        SCROLLINFO bar{sizeof(bar), SIF_POS | SIF_TRACKPOS, 0, 0, 0, 0, 0};
        const_cast<CExScrollBar*>(this)->DefWindowProc(SBM_GETSCROLLINFO, 0,
                                                       reinterpret_cast<LPARAM>(&bar));
        si.nTrackPos = bar.nTrackPos == bar.nPos ? s.nPos : FromBar(bar.nTrackPos);
    }
}

LRESULT CExScrollBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case SBM_SETPOS: {
        Logical& s = State();
        const int old = s.nPos;
        s.nPos = static_cast<int>(wParam);
        Clamp();
        Sync(static_cast<BOOL>(lParam));
        return old;
    }
    case SBM_GETPOS:
        return State().nPos;
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW: {
        const int old = State().nPos;
        SetScrollRangePage(static_cast<int>(wParam), static_cast<int>(lParam),
                           message == SBM_SETRANGEREDRAW);
        return old;
    }
    case SBM_GETRANGE:
        GetScrollRangePage(reinterpret_cast<LPINT>(wParam), reinterpret_cast<LPINT>(lParam));
        return 0;
    case SBM_SETSCROLLINFO: {
        const auto* si = reinterpret_cast<LPCSCROLLINFO>(lParam);
        if (si != nullptr) {
            ApplyInfo(*si);
            Sync(static_cast<BOOL>(wParam));
        }
        return State().nPos;
    }
    case SBM_GETSCROLLINFO: {
        auto* si = reinterpret_cast<LPSCROLLINFO>(lParam);
        if (si == nullptr)
            return FALSE;
        FillInfo(*si);
        return TRUE;
    }
    case WM_CREATE: {
        const bool known = m_bKnown;
        const LRESULT result = CScrollBar::WindowProc(message, wParam, lParam);
        if (result != -1 && known)
            Sync(FALSE);
        return result;
    }
    case WM_NCDESTROY:
        m_bKnown = false;
        m_bDisabledEmpty = false;
        m_state = Logical();
        break;
    default:
        break;
    }
    return CScrollBar::WindowProc(message, wParam, lParam);
}
