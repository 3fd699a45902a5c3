// The scroll-bar class: a bar with two arrows, page areas and a thumb that tells its parent
// with WM_HSCROLL or WM_VSCROLL; and the system's scroll functions for such bars.
#include "platform/controls/NativeControl.h"
#include "platform/controls/ScrollTrack.h"

namespace kel::ctl {
namespace {

class ScrollBar : public NativeControl {
public:
    explicit ScrollBar(HWND h)
        : NativeControl(h),
          m_track(
              h, [this](UINT code, int pos) { Send(code, pos); }, [this] { Invalidate(); }) {}

    LRESULT Proc(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
        case WM_CREATE:
            Layout();
            return 0;
        case WM_SIZE:
            Layout();
            Invalidate();
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case WM_PAINT: {
            Layout();
            ControlPaint paint(*this);
            CtlColor(paint.hdc, WM_CTLCOLORSCROLLBAR);
            m_track.Paint(paint.hdc, Enabled());
            CRect focus = m_track.PartRect(ScrollTrack::Thumb);
            if (Focused() && !focus.IsRectEmpty()) {
                focus.DeflateRect(2, 2);
                ::DrawFocusRect(paint.hdc, &focus);
            }
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_ENABLE:
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            if (msg == WM_KILLFOCUS || msg == WM_ENABLE)
                m_track.Cancel();
            Invalidate();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if ((Style() & WS_TABSTOP) && !Focused())
                ::SetFocus(m_hWnd);
            if (Alive() && m_track.ButtonDown(Point(lp), Enabled()) && Alive())
                ::SetCapture(m_hWnd);
            return 0;
        case WM_MOUSEMOVE:
            m_track.MouseMove(Point(lp));
            return 0;
        case WM_LBUTTONUP:
            if (m_track.IsTracking()) {
                m_track.ButtonUp(Point(lp));
                if (Alive())
                    ReleaseOwnCapture();
            }
            return 0;
        case WM_CAPTURECHANGED:
            if (m_track.IsTracking() && reinterpret_cast<HWND>(lp) != m_hWnd) {
                m_track.Cancel();
                Send(SB_ENDSCROLL, 0);
            }
            return 0;
        case WM_TIMER:
            if (wp == ScrollTrack::kTimerId) {
                m_track.Timer();
                return 0;
            }
            return Default(msg, wp, lp);
        case WM_KEYDOWN:
            return Key(static_cast<UINT>(wp)) ? 0 : Default(msg, wp, lp);
        case WM_KEYUP:
            if (m_bKeyScrolled) {
                m_bKeyScrolled = false;
                Send(SB_ENDSCROLL, 0);
            }
            return 0;
        case SBM_SETPOS: {
            const int old = m_track.GetPos();
            SCROLLINFO si{sizeof(si), SIF_POS, 0, 0, 0, static_cast<int>(wp), 0};
            m_track.SetInfo(si);
            if (lp)
                Invalidate();
            return old;
        }
        case SBM_GETPOS:
            return m_track.GetPos();
        case SBM_SETRANGE:
        case SBM_SETRANGEREDRAW: {
            const int old = m_track.GetPos();
            SCROLLINFO si{sizeof(si), SIF_RANGE, static_cast<int>(wp), static_cast<int>(lp), 0,
                          0,          0};
            m_track.SetInfo(si);
            if (msg == SBM_SETRANGEREDRAW)
                Invalidate();
            return old;
        }
        case SBM_GETRANGE: {
            SCROLLINFO si{sizeof(si), SIF_RANGE, 0, 0, 0, 0, 0};
            m_track.GetInfo(si);
            if (wp)
                *reinterpret_cast<LPINT>(wp) = si.nMin;
            if (lp)
                *reinterpret_cast<LPINT>(lp) = si.nMax;
            return 0;
        }
        case SBM_ENABLE_ARROWS:
            m_track.SetArrowsDisabled(static_cast<UINT>(wp));
            Invalidate();
            return TRUE;
        case SBM_SETSCROLLINFO: {
            auto* si = reinterpret_cast<LPCSCROLLINFO>(lp);
            if (si == nullptr)
                return m_track.GetPos();
            const int pos = m_track.SetInfo(*si);
            if (wp)
                Invalidate();
            return pos;
        }
        case SBM_GETSCROLLINFO: {
            auto* si = reinterpret_cast<LPSCROLLINFO>(lp);
            if (si == nullptr)
                return FALSE;
            m_track.GetInfo(*si);
            return TRUE;
        }
        default:
            return Default(msg, wp, lp);
        }
    }

private:
    static CPoint Point(LPARAM lp) { return CPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); }

    void Layout() {
        m_track.SetVertical((Style() & SBS_VERT) != 0);
        m_track.SetRect(Client());
    }

    void Send(UINT code, int pos) {
        HWND parent = Parent();
        if (parent == nullptr)
            return;
        ::SendMessage(parent, (Style() & SBS_VERT) ? WM_VSCROLL : WM_HSCROLL,
                      MAKEWPARAM(code, static_cast<WORD>(pos)), reinterpret_cast<LPARAM>(m_hWnd));
    }

    bool Key(UINT vk) {
        if (!Enabled())
            return false;
        UINT code;
        switch (vk) {
        case VK_UP:
        case VK_LEFT:
            code = SB_LINEUP;
            break;
        case VK_DOWN:
        case VK_RIGHT:
            code = SB_LINEDOWN;
            break;
        case VK_PRIOR:
            code = SB_PAGEUP;
            break;
        case VK_NEXT:
            code = SB_PAGEDOWN;
            break;
        case VK_HOME:
            code = SB_TOP;
            break;
        case VK_END:
            code = SB_BOTTOM;
            break;
        default:
            return false;
        }
        m_bKeyScrolled = true;
        Send(code, 0);
        return true;
    }

    ScrollTrack m_track;
    bool m_bKeyScrolled = false;
};

} // namespace

WNDPROC ScrollBarWndProc() {
    return &NativeClass<ScrollBar>::WndProc;
}

} // namespace kel::ctl

// ---------------------------------------------------------------------------
// The system's scroll functions, for scroll-bar controls.

int SetScrollInfo(HWND hWnd, int nBar, LPCSCROLLINFO lpsi, BOOL bRedraw) {
    if (nBar != SB_CTL || lpsi == nullptr || !::IsWindow(hWnd))
        return 0;
    return static_cast<int>(
        ::SendMessage(hWnd, SBM_SETSCROLLINFO, bRedraw, reinterpret_cast<LPARAM>(lpsi)));
}

BOOL GetScrollInfo(HWND hWnd, int nBar, LPSCROLLINFO lpsi) {
    if (nBar != SB_CTL || lpsi == nullptr || !::IsWindow(hWnd))
        return FALSE;
    return static_cast<BOOL>(
        ::SendMessage(hWnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(lpsi)));
}

int SetScrollPos(HWND hWnd, int nBar, int nPos, BOOL bRedraw) {
    if (nBar != SB_CTL || !::IsWindow(hWnd))
        return 0;
    return static_cast<int>(::SendMessage(hWnd, SBM_SETPOS, static_cast<WPARAM>(nPos), bRedraw));
}

int GetScrollPos(HWND hWnd, int nBar) {
    if (nBar != SB_CTL || !::IsWindow(hWnd))
        return 0;
    return static_cast<int>(::SendMessage(hWnd, SBM_GETPOS, 0, 0));
}

BOOL SetScrollRange(HWND hWnd, int nBar, int nMinPos, int nMaxPos, BOOL bRedraw) {
    if (nBar != SB_CTL || !::IsWindow(hWnd))
        return FALSE;
    ::SendMessage(hWnd, bRedraw ? SBM_SETRANGEREDRAW : SBM_SETRANGE, static_cast<WPARAM>(nMinPos),
                  nMaxPos);
    return TRUE;
}

BOOL GetScrollRange(HWND hWnd, int nBar, LPINT lpMinPos, LPINT lpMaxPos) {
    if (nBar != SB_CTL || !::IsWindow(hWnd))
        return FALSE;
    ::SendMessage(hWnd, SBM_GETRANGE, reinterpret_cast<WPARAM>(lpMinPos),
                  reinterpret_cast<LPARAM>(lpMaxPos));
    return TRUE;
}

BOOL EnableScrollBar(HWND hWnd, UINT wSBflags, UINT wArrows) {
    if (wSBflags != SB_CTL || !::IsWindow(hWnd))
        return FALSE;
    ::EnableWindow(hWnd, wArrows != ESB_DISABLE_BOTH);
    return static_cast<BOOL>(::SendMessage(hWnd, SBM_ENABLE_ARROWS, wArrows, 0));
}

BOOL ShowScrollBar(HWND hWnd, int wBar, BOOL bShow) {
    if (wBar != SB_CTL || !::IsWindow(hWnd))
        return FALSE;
    ::ShowWindow(hWnd, bShow ? SW_SHOW : SW_HIDE);
    return TRUE;
}
