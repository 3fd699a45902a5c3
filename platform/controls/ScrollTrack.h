// Inside the controls: the state, look and mouse tracking of one scroll bar, shared by the
// scroll-bar control and the bars list boxes carry in their frame. Points and the bar's
// rectangle are in one coordinate system chosen by the host. Not a public header.
#pragma once

#include "platform/controls/ControlDefs.h"

#include <functional>

namespace kel::ctl {

class ScrollTrack {
public:
    enum Part { None, LineUp, PageUp, Thumb, PageDown, LineDown };

    // send(code, position) delivers WM_HSCROLL/WM_VSCROLL for the host; redraw() repaints.
    ScrollTrack(HWND hWndTimer, std::function<void(UINT, int)> send, std::function<void()> redraw);

    void SetVertical(bool vertical) { m_bVert = vertical; }
    bool IsVertical() const { return m_bVert; }
    void SetRect(const CRect& rc) { m_rc = rc; }
    const CRect& GetRect() const { return m_rc; }

    // The system's clamping: the page within the range, the position within
    // min..max - page + 1. SetInfo answers the new position.
    int SetInfo(const SCROLLINFO& si);
    void GetInfo(SCROLLINFO& si) const;
    int GetPos() const { return m_nPos; }
    void SetArrowsDisabled(UINT esb) { m_nDisabled = esb; }
    UINT GetArrowsDisabled() const { return m_nDisabled; }
    // Nothing to scroll: the range holds no more than a page.
    bool IsEmpty() const;

    Part HitTest(CPoint pt) const;
    CRect PartRect(Part part) const;
    void Paint(HDC hdc, bool enabled) const;

    // Mouse: FALSE from ButtonDown when the press starts nothing.
    bool ButtonDown(CPoint pt, bool enabled);
    void MouseMove(CPoint pt);
    void ButtonUp(CPoint pt);
    void Cancel();
    bool IsTracking() const { return m_eTrack != None; }
    // The repeat timer of a held arrow or page area (its ID on the timer window).
    static constexpr UINT_PTR kTimerId = 0xFFF7;
    void Timer();

private:
    int ArrowSize() const;
    bool ThumbGeometry(int& shaftStart, int& shaftLen, int& thumbStart, int& thumbLen,
                       int pos) const;
    int PosFromThumb(int thumbStart) const;
    int Along(CPoint pt) const { return m_bVert ? pt.y : pt.x; }
    int MaxPos() const;
    // The SB_ code of an arrow or page area.
    static UINT CodeOf(Part part);
    // Whether the pointer is on the part held down (for an arrow or page area).
    bool OverHeld(CPoint pt) const;
    void Send(UINT code, int pos = 0) { m_send(code, pos); }

    HWND m_hWndTimer;
    std::function<void(UINT, int)> m_send;
    std::function<void()> m_redraw;
    bool m_bVert = true;
    CRect m_rc;
    int m_nMin = 0, m_nMax = 100, m_nPos = 0, m_nTrackPos = 0;
    UINT m_nPage = 0;
    UINT m_nDisabled = ESB_ENABLE_BOTH;

    Part m_eTrack = None;  // the part held down
    bool m_bOver = false;  // the pointer is over it
    CPoint m_ptLast;       // the last pointer position while held
    int m_nGrabOffset = 0; // where the thumb was taken, from its start
    bool m_bRepeating = false;
};

} // namespace kel::ctl
