#include "platform/controls/ScrollTrack.h"

#include "platform/controls/NativeControl.h"

#include <algorithm>

namespace kel::ctl {

namespace {
constexpr int kMinThumb = 8;
// The first repeat comes after a pause, then they follow quickly (the keyboard's rates).
UINT FirstRepeatDelay() {
    return ::GetDoubleClickTime() * 4 / 5;
}
constexpr UINT kRepeatDelay = 50;
} // namespace

ScrollTrack::ScrollTrack(HWND hWndTimer, std::function<void(UINT, int)> send,
                         std::function<void()> redraw)
    : m_hWndTimer(hWndTimer), m_send(std::move(send)), m_redraw(std::move(redraw)) {}

int ScrollTrack::MaxPos() const {
    const int page = m_nPage > 0 ? static_cast<int>(m_nPage) - 1 : 0;
    return std::max(m_nMin, m_nMax - page);
}

bool ScrollTrack::IsEmpty() const {
    if (m_nMax <= m_nMin)
        return true;
    const long long range = static_cast<long long>(m_nMax) - m_nMin + 1;
    return m_nPage > 0 && static_cast<long long>(m_nPage) >= range;
}

int ScrollTrack::SetInfo(const SCROLLINFO& si) {
    if (si.fMask & SIF_RANGE) {
        m_nMin = si.nMin;
        m_nMax = si.nMax;
    }
    if (si.fMask & SIF_PAGE)
        m_nPage = si.nPage;
    // The page never exceeds the range.
    const long long range = std::max(0LL, static_cast<long long>(m_nMax) - m_nMin + 1);
    if (static_cast<long long>(m_nPage) > range)
        m_nPage = static_cast<UINT>(range);
    if (si.fMask & SIF_POS)
        m_nPos = si.nPos;
    m_nPos = std::clamp(m_nPos, m_nMin, MaxPos());
    if (m_eTrack != Thumb)
        m_nTrackPos = m_nPos;
    return m_nPos;
}

void ScrollTrack::GetInfo(SCROLLINFO& si) const {
    if (si.fMask & SIF_RANGE) {
        si.nMin = m_nMin;
        si.nMax = m_nMax;
    }
    if (si.fMask & SIF_PAGE)
        si.nPage = m_nPage;
    if (si.fMask & SIF_POS)
        si.nPos = m_nPos;
    if (si.fMask & SIF_TRACKPOS)
        si.nTrackPos = m_eTrack == Thumb ? m_nTrackPos : m_nPos;
}

int ScrollTrack::ArrowSize() const {
    const int len = m_bVert ? m_rc.Height() : m_rc.Width();
    const int metric =
        m_bVert ? ::GetSystemMetrics(SM_CYVSCROLL) : ::GetSystemMetrics(SM_CXHSCROLL);
    return std::min(metric, len / 2);
}

bool ScrollTrack::ThumbGeometry(int& shaftStart, int& shaftLen, int& thumbStart, int& thumbLen,
                                int pos) const {
    const int arrow = ArrowSize();
    const int start = m_bVert ? m_rc.top : m_rc.left;
    const int len = m_bVert ? m_rc.Height() : m_rc.Width();
    shaftStart = start + arrow;
    shaftLen = len - 2 * arrow;
    if (IsEmpty() || shaftLen <= 0)
        return false;
    const long long range = static_cast<long long>(m_nMax) - m_nMin + 1;
    if (m_nPage == 0)
        thumbLen = m_bVert ? ::GetSystemMetrics(SM_CYVTHUMB) : ::GetSystemMetrics(SM_CXHTHUMB);
    else
        thumbLen = static_cast<int>(static_cast<long long>(m_nPage) * shaftLen / range);
    thumbLen = std::max(thumbLen, kMinThumb);
    if (thumbLen >= shaftLen)
        return false;
    const long long span = static_cast<long long>(MaxPos()) - m_nMin;
    thumbStart = shaftStart;
    if (span > 0)
        thumbStart +=
            static_cast<int>((static_cast<long long>(pos) - m_nMin) * (shaftLen - thumbLen) / span);
    return true;
}

int ScrollTrack::PosFromThumb(int thumbStart) const {
    int shaftStart, shaftLen, ts, thumbLen;
    if (!ThumbGeometry(shaftStart, shaftLen, ts, thumbLen, m_nPos))
        return m_nPos;
    const int room = shaftLen - thumbLen; // more than 0: the thumb is smaller than the shaft
    const long long span = static_cast<long long>(MaxPos()) - m_nMin;
    const int offset = std::clamp(thumbStart - shaftStart, 0, room);
    // Rounded to the nearest position.
    return m_nMin + static_cast<int>((offset * span + room / 2) / room);
}

CRect ScrollTrack::PartRect(Part part) const {
    const int arrow = ArrowSize();
    CRect r = m_rc;
    auto span = [&](int a, int b) {
        if (m_bVert) {
            r.top = a;
            r.bottom = b;
        } else {
            r.left = a;
            r.right = b;
        }
        return r;
    };
    const int start = m_bVert ? m_rc.top : m_rc.left;
    const int end = m_bVert ? m_rc.bottom : m_rc.right;
    int shaftStart, shaftLen, thumbStart = 0, thumbLen = 0;
    const bool thumb = ThumbGeometry(shaftStart, shaftLen, thumbStart, thumbLen,
                                     m_eTrack == Thumb ? m_nTrackPos : m_nPos);
    switch (part) {
    case LineUp:
        return span(start, start + arrow);
    case LineDown:
        return span(end - arrow, end);
    case Thumb:
        return thumb ? span(thumbStart, thumbStart + thumbLen) : CRect();
    case PageUp:
        return thumb ? span(start + arrow, thumbStart) : CRect();
    case PageDown:
        return thumb ? span(thumbStart + thumbLen, end - arrow) : CRect();
    default:
        return CRect();
    }
}

UINT ScrollTrack::CodeOf(Part part) {
    switch (part) {
    case LineUp:
        return SB_LINEUP;
    case LineDown:
        return SB_LINEDOWN;
    case PageUp:
        return SB_PAGEUP;
    default:
        return SB_PAGEDOWN;
    }
}

// An arrow stays held while the pointer is on it, wherever the thumb is; a page area only
// while the pointer is on what is left of it.
bool ScrollTrack::OverHeld(CPoint pt) const {
    if (m_eTrack == LineUp || m_eTrack == LineDown)
        return PartRect(m_eTrack).PtInRect(pt) != FALSE;
    return HitTest(pt) == m_eTrack;
}

ScrollTrack::Part ScrollTrack::HitTest(CPoint pt) const {
    if (!m_rc.PtInRect(pt))
        return None;
    for (Part p : {LineUp, LineDown, Thumb, PageUp, PageDown}) {
        if (PartRect(p).PtInRect(pt))
            return p;
    }
    return None;
}

void ScrollTrack::Paint(HDC hdc, bool enabled) const {
    const bool active = enabled && !IsEmpty();
    auto arrow = [&](Part p, UINT kind, UINT disabledBit) {
        CRect r = PartRect(p);
        UINT state = kind;
        if (!active || (m_nDisabled & disabledBit))
            state |= DFCS_INACTIVE;
        if (m_eTrack == p && m_bOver)
            state |= DFCS_PUSHED;
        ::DrawFrameControl(hdc, &r, DFC_SCROLL, state);
    };
    arrow(LineUp, m_bVert ? DFCS_SCROLLUP : DFCS_SCROLLLEFT, ESB_DISABLE_UP);
    arrow(LineDown, m_bVert ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT, ESB_DISABLE_DOWN);
    const int arrowLen = ArrowSize();
    CRect shaft = m_rc;
    if (m_bVert)
        shaft.DeflateRect(0, arrowLen);
    else
        shaft.DeflateRect(arrowLen, 0);
    CRect thumb = active ? PartRect(Thumb) : CRect();
    if (thumb.IsRectEmpty()) {
        FillScrollShaft(hdc, shaft, false);
        return;
    }
    FillScrollShaft(hdc, PartRect(PageUp), m_eTrack == PageUp && m_bOver);
    FillScrollShaft(hdc, PartRect(PageDown), m_eTrack == PageDown && m_bOver);
    ::DrawFrameControl(hdc, &thumb, DFC_BUTTON, DFCS_BUTTONPUSH);
}

bool ScrollTrack::ButtonDown(CPoint pt, bool enabled) {
    if (!enabled || IsEmpty())
        return false;
    Part part = HitTest(pt);
    if (part == None)
        return false;
    if ((part == LineUp && (m_nDisabled & ESB_DISABLE_UP)) ||
        (part == LineDown && (m_nDisabled & ESB_DISABLE_DOWN)))
        return false;
    m_eTrack = part;
    m_bOver = true;
    m_ptLast = pt;
    m_bRepeating = false;
    if (part == Thumb) {
        m_nTrackPos = m_nPos;
        m_nGrabOffset = Along(pt) - Along(PartRect(Thumb).TopLeft());
        m_redraw();
        return true;
    }
    m_redraw();
    Send(CodeOf(part));
    if (m_eTrack != None && ::IsWindow(m_hWndTimer))
        ::SetTimer(m_hWndTimer, kTimerId, FirstRepeatDelay(), nullptr);
    return true;
}

void ScrollTrack::MouseMove(CPoint pt) {
    if (m_eTrack == None)
        return;
    m_ptLast = pt;
    if (m_eTrack == Thumb) {
        int shaftStart, shaftLen, thumbStart, thumbLen;
        if (!ThumbGeometry(shaftStart, shaftLen, thumbStart, thumbLen, m_nTrackPos))
            return;
        const int pos = PosFromThumb(Along(pt) - m_nGrabOffset);
        if (pos != m_nTrackPos) {
            m_nTrackPos = pos;
            m_redraw();
            Send(SB_THUMBTRACK, pos);
        }
        return;
    }
    const bool over = OverHeld(pt);
    if (over != m_bOver) {
        m_bOver = over;
        m_redraw();
    }
}

void ScrollTrack::ButtonUp(CPoint pt) {
    if (m_eTrack == None)
        return;
    MouseMove(pt);
    const Part part = m_eTrack;
    const int trackPos = m_nTrackPos;
    m_eTrack = None;
    m_bOver = false;
    if (::IsWindow(m_hWndTimer))
        ::KillTimer(m_hWndTimer, kTimerId);
    m_redraw();
    if (part == Thumb)
        Send(SB_THUMBPOSITION, trackPos);
    Send(SB_ENDSCROLL);
}

void ScrollTrack::Cancel() {
    if (m_eTrack == None)
        return;
    m_eTrack = None;
    m_bOver = false;
    m_nTrackPos = m_nPos;
    if (::IsWindow(m_hWndTimer))
        ::KillTimer(m_hWndTimer, kTimerId);
    m_redraw();
}

void ScrollTrack::Timer() {
    if (m_eTrack == None || m_eTrack == Thumb) {
        ::KillTimer(m_hWndTimer, kTimerId);
        return;
    }
    if (!m_bRepeating) {
        m_bRepeating = true;
        ::SetTimer(m_hWndTimer, kTimerId, kRepeatDelay, nullptr);
    }
    // A held arrow repeats while the pointer is on it; a held page area until the thumb
    // reaches the pointer.
    const bool repeat = OverHeld(m_ptLast);
    if (repeat != m_bOver) {
        m_bOver = repeat;
        m_redraw();
    }
    if (repeat)
        Send(CodeOf(m_eTrack));
}

} // namespace kel::ctl
