// The static class: text, frames, rectangles, etched lines and bitmaps.
#include "platform/controls/NativeControl.h"

namespace kel::ctl {
namespace {

class Static : public NativeControl {
public:
    using NativeControl::NativeControl;

    LRESULT Proc(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
        case WM_GETDLGCODE:
            return DLGC_STATIC;
        case WM_NCHITTEST:
            // Statics let the mouse through to their parent unless they notify.
            if (!(Style() & SS_NOTIFY))
                return HTTRANSPARENT;
            return Default(msg, wp, lp);
        case WM_LBUTTONDOWN:
            if (Style() & SS_NOTIFY)
                Notify(STN_CLICKED);
            return 0;
        case WM_LBUTTONDBLCLK:
            if (Style() & SS_NOTIFY)
                Notify(STN_DBLCLK);
            return 0;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SETTEXT:
        case WM_ENABLE: {
            LRESULT r = Default(msg, wp, lp);
            Invalidate();
            return r;
        }
        case STM_SETIMAGE: {
            if (wp != IMAGE_BITMAP)
                return 0;
            HGDIOBJ old = m_hImage;
            m_hImage = reinterpret_cast<HGDIOBJ>(lp);
            Invalidate();
            return reinterpret_cast<LRESULT>(old);
        }
        case STM_GETIMAGE:
            return wp == IMAGE_BITMAP ? reinterpret_cast<LRESULT>(m_hImage) : 0;
        default:
            return Default(msg, wp, lp);
        }
    }

private:
    void Paint() {
        ControlPaint paint(*this);
        HDC hdc = paint.hdc;
        CRect rc = Client();
        const DWORD style = Style();
        const DWORD type = style & SS_TYPEMASK;
        auto frame = [&](int color) {
            ::FillRect(hdc, &rc, CtlColor(hdc, WM_CTLCOLORSTATIC));
            ::FrameRect(hdc, &rc, ::GetSysColorBrush(color));
        };
        switch (type) {
        case SS_BLACKRECT:
            ::FillRect(hdc, &rc, ::GetSysColorBrush(COLOR_3DDKSHADOW));
            break;
        case SS_GRAYRECT:
            ::FillRect(hdc, &rc, ::GetSysColorBrush(COLOR_3DSHADOW));
            break;
        case SS_WHITERECT:
            ::FillRect(hdc, &rc, ::GetSysColorBrush(COLOR_3DHILIGHT));
            break;
        case SS_BLACKFRAME:
            frame(COLOR_3DDKSHADOW);
            break;
        case SS_GRAYFRAME:
            frame(COLOR_3DSHADOW);
            break;
        case SS_WHITEFRAME:
            frame(COLOR_3DHILIGHT);
            break;
        case SS_ETCHEDHORZ:
        case SS_ETCHEDVERT:
        case SS_ETCHEDFRAME: {
            ::FillRect(hdc, &rc, CtlColor(hdc, WM_CTLCOLORSTATIC));
            CRect line = rc;
            if (type == SS_ETCHEDHORZ)
                line.bottom = line.top + 2;
            else if (type == SS_ETCHEDVERT)
                line.right = line.left + 2;
            ::DrawEdge(hdc, &line, EDGE_ETCHED,
                       type == SS_ETCHEDHORZ   ? BF_TOP | BF_BOTTOM
                       : type == SS_ETCHEDVERT ? BF_LEFT | BF_RIGHT
                                               : BF_RECT);
            break;
        }
        case SS_OWNERDRAW: {
            DRAWITEMSTRUCT dis{};
            dis.itemState = Enabled() ? 0 : ODS_DISABLED;
            dis.rcItem = rc;
            SendDrawItem(dis, ODT_STATIC, hdc);
            break;
        }
        case SS_BITMAP: {
            ::FillRect(hdc, &rc, CtlColor(hdc, WM_CTLCOLORSTATIC));
            BITMAP bm{};
            if (m_hImage != nullptr && ::GetObject(m_hImage, sizeof(bm), &bm)) {
                int x = 0, y = 0;
                if (style & SS_CENTERIMAGE) {
                    x = (rc.Width() - bm.bmWidth) / 2;
                    y = (rc.Height() - bm.bmHeight) / 2;
                }
                DrawBitmap(hdc, m_hImage, x, y, bm.bmWidth, bm.bmHeight);
            }
            break;
        }
        default: {
            HBRUSH brush = CtlColor(hdc, WM_CTLCOLORSTATIC);
            ::FillRect(hdc, &rc, brush);
            UINT fmt = type == SS_CENTER ? DT_CENTER : type == SS_RIGHT ? DT_RIGHT : DT_LEFT;
            if (type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP)
                fmt = DT_LEFT | DT_SINGLELINE;
            else
                fmt |= DT_WORDBREAK;
            if (style & SS_NOPREFIX)
                fmt |= DT_NOPREFIX;
            if ((style & SS_CENTERIMAGE) && type != SS_SIMPLE)
                fmt = (fmt & ~static_cast<UINT>(DT_WORDBREAK)) | DT_SINGLELINE | DT_VCENTER;
            CString text = Text();
            DrawItemText(hdc, text, text.GetLength(), rc, fmt, Enabled());
            break;
        }
        }
        if (style & SS_SUNKEN)
            ::DrawEdge(hdc, &rc, BDR_SUNKENOUTER, BF_RECT);
    }

    HGDIOBJ m_hImage = nullptr;
};

} // namespace

WNDPROC StaticWndProc() {
    return &NativeClass<Static>::WndProc;
}

} // namespace kel::ctl
