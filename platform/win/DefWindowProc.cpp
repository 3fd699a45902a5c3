// The system's default processing of messages, and the non-client look of the classic frame.
#include "platform/win/WindowManager.h"

#include "platform/gdi/GdiDefs.h"
#include "platform/gdi/GdiFunctions.h"
#include "platform/gdi/SystemColors.h"
#include "platform/gdi/SystemMetrics.h"

#include <algorithm>
#include <cstring>

using kel::win::WindowManager;

namespace {

HFONT CaptionFont() {
    static HFONT font = [] {
        LOGFONT lf{};
        lf.lfHeight = -11;
        lf.lfWeight = FW_BOLD;
        std::strcpy(lf.lfFaceName, "Arial");
        return CreateFontIndirect(&lf);
    }();
    return font;
}

HBRUSH ClassBrush(HBRUSH brush) {
    // (HBRUSH)(COLOR_xxx + 1) names a system colour.
    const UINT_PTR v = reinterpret_cast<UINT_PTR>(brush);
    if (v != 0 && v <= 31)
        return GetSysColorBrush(static_cast<int>(v) - 1);
    return brush;
}

void DrawNonClient(HWND h) {
    WindowManager& m = WindowManager::Get();
    HWND__* w = m.Rec(h);
    const CRect in = m.ClientInsets(w);
    if (in.IsRectNull())
        return;
    HDC dc = m.GetDC(h, true);
    if (dc == nullptr)
        return;
    CRect rc(0, 0, w->rect.Width(), w->rect.Height());
    const CRect client = m.ClientRect(h) + in.TopLeft();
    const int save = SaveDC(dc);
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    FillRect(dc, &rc, GetSysColorBrush(COLOR_3DFACE));

    const DWORD style = w->style;
    const DWORD ex = w->exStyle;
    if ((style & WS_THICKFRAME) || (style & WS_DLGFRAME) || (ex & WS_EX_DLGMODALFRAME)) {
        DrawEdge(dc, &rc, EDGE_RAISED, BF_RECT | BF_ADJUST);
        const int frame = GetSystemMetrics((style & WS_THICKFRAME) ? SM_CXFRAME : SM_CXDLGFRAME);
        rc.DeflateRect(frame - 2, frame - 2);
    } else if (style & WS_BORDER) {
        FrameRect(dc, &rc, GetSysColorBrush(COLOR_WINDOWFRAME));
        rc.DeflateRect(1, 1);
    }
    if ((style & WS_CAPTION) == WS_CAPTION) {
        const int cy = GetSystemMetrics((ex & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
        CRect caption(rc.left, rc.top, rc.right, rc.top + cy - 1);
        const bool active = m.Active() == m.TopLevelOf(h);
        FillRect(dc, &caption,
                 GetSysColorBrush(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
        HGDIOBJ oldFont = SelectObject(dc, CaptionFont());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
        CRect text = caption;
        text.left += 4;
        DrawText(dc, w->text, w->text.GetLength(), &text,
                 DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        SelectObject(dc, oldFont);
        rc.top += cy;
    }
    if (ex & WS_EX_CLIENTEDGE)
        DrawEdge(dc, &rc, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    if (ex & WS_EX_STATICEDGE)
        DrawEdge(dc, &rc, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    if (style & (WS_VSCROLL | WS_HSCROLL))
        FillRect(dc, &rc, GetSysColorBrush(COLOR_SCROLLBAR));
    RestoreDC(dc, save);
    m.ReleaseDC(h, dc);
}

LRESULT HitTestNonClient(HWND h, POINT ptScreen) {
    WindowManager& m = WindowManager::Get();
    HWND__* w = m.Rec(h);
    const CPoint org = m.WindowOriginScreen(h);
    const CPoint pt = CPoint(ptScreen) - org;
    const CRect window(0, 0, w->rect.Width(), w->rect.Height());
    if (!window.PtInRect(pt))
        return HTNOWHERE;
    const CRect in = m.ClientInsets(w);
    const CRect client = m.ClientRect(h) + in.TopLeft();
    if (client.PtInRect(pt))
        return HTCLIENT;
    if ((w->style & WS_VSCROLL) && pt.x >= client.right && pt.y >= client.top &&
        pt.y < client.bottom)
        return HTVSCROLL;
    if ((w->style & WS_HSCROLL) && pt.y >= client.bottom && pt.x >= client.left &&
        pt.x < client.right)
        return HTHSCROLL;
    if ((w->style & WS_CAPTION) == WS_CAPTION && pt.y < client.top && pt.x >= client.left &&
        pt.x < client.right)
        return HTCAPTION;
    return HTBORDER;
}

} // namespace

LRESULT DefWindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    WindowManager& m = WindowManager::Get();
    HWND__* w = m.Rec(h);
    if (w == nullptr)
        return 0;
    switch (msg) {
    case WM_NCCREATE:
        return TRUE;
    case WM_SETTEXT:
        w->text = lp ? reinterpret_cast<LPCTSTR>(lp) : "";
        if ((w->style & WS_CAPTION) == WS_CAPTION)
            w->ncPaint = true;
        if (w->parent == nullptr && w->nativeCreated)
            m.GetBackend().WindowTextChanged(h, w->text);
        return TRUE;
    case WM_GETTEXT: {
        LPTSTR buf = reinterpret_cast<LPTSTR>(lp);
        if (buf == nullptr || wp == 0)
            return 0;
        const size_t n = std::min<size_t>(wp - 1, static_cast<size_t>(w->text.GetLength()));
        std::memcpy(buf, static_cast<LPCTSTR>(w->text), n);
        buf[n] = '\0';
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
        return w->text.GetLength();
    case WM_SETFONT:
        w->font = reinterpret_cast<HFONT>(wp);
        if (LOWORD(lp))
            m.Invalidate(h, nullptr, true, false);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(w->font);
    case WM_PAINT: {
        PAINTSTRUCT ps;
        m.BeginPaint(h, &ps);
        m.EndPaint(h, &ps);
        return 0;
    }
    case WM_ERASEBKGND: {
        HBRUSH brush = ClassBrush(w->cls->hbrBackground);
        if (brush == nullptr)
            return 0;
        CRect rc = m.ClientRect(h);
        FillRect(reinterpret_cast<HDC>(wp), &rc, brush);
        return 1;
    }
    case WM_NCPAINT:
        DrawNonClient(h);
        return 0;
    case WM_NCACTIVATE:
        if ((w->style & WS_CAPTION) == WS_CAPTION)
            w->ncPaint = true;
        return TRUE;
    case WM_ACTIVATE:
        if (LOWORD(wp) != WA_INACTIVE && HIWORD(wp) == 0)
            m.SetFocus(h);
        return 0;
    case WM_MOUSEACTIVATE:
        if (w->parent != nullptr) {
            LRESULT r = m.Send(w->parent, WM_MOUSEACTIVATE, wp, lp);
            if (r != 0)
                return r;
        }
        return MA_ACTIVATE;
    case WM_SETCURSOR:
        if (w->parent != nullptr && m.Send(w->parent, WM_SETCURSOR, wp, lp))
            return TRUE;
        if (LOWORD(lp) == HTCLIENT) {
            m.SetCursor(w->cls->hCursor);
            return TRUE;
        }
        m.SetCursor(LoadCursor(nullptr, IDC_ARROW));
        return FALSE;
    case WM_NCHITTEST:
        return HitTestNonClient(h, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
    case WM_CLOSE:
        m.DestroyWindow(h);
        return 0;
    case WM_SYSCOMMAND:
        switch (wp & 0xFFF0) {
        case SC_CLOSE:
            m.Send(h, WM_CLOSE, 0, 0);
            break;
        case SC_MINIMIZE:
            m.ShowWindow(h, SW_MINIMIZE);
            break;
        case SC_MAXIMIZE:
            m.ShowWindow(h, SW_SHOWMAXIMIZED);
            break;
        case SC_RESTORE:
            m.ShowWindow(h, SW_RESTORE);
            break;
        default:
            break;
        }
        return 0;
    case WM_SYSKEYDOWN:
        if (wp == VK_F4 && (HIWORD(lp) & KF_ALTDOWN))
            m.Send(m.TopLevelOf(h), WM_SYSCOMMAND, SC_CLOSE, 0);
        else if (wp == VK_F10 && (GetKeyState(VK_SHIFT) & 0x8000))
            m.Send(h, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(h), MAKELPARAM(-1, -1));
        return 0;
    case WM_KEYUP:
        if (wp == VK_APPS)
            m.Send(h, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(h), MAKELPARAM(-1, -1));
        return 0;
    case WM_WINDOWPOSCHANGED:
        kel::win::KelDefWindowPosChanged(h, reinterpret_cast<const WINDOWPOS*>(lp));
        return 0;
    case WM_MOUSEWHEEL:
    case WM_CONTEXTMENU:
        // Unhandled, these go up to the parent.
        if (w->parent != nullptr && (w->style & WS_CHILD))
            return m.Send(w->parent, msg, wp, lp);
        return 0;
    case WM_RBUTTONUP: {
        CPoint pt(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
        pt += m.ClientOriginScreen(h);
        m.Send(h, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(h), MAKELPARAM(pt.x, pt.y));
        return 0;
    }
    case WM_NCRBUTTONUP:
        if (wp == HTCAPTION || wp == HTSYSMENU)
            return 0;
        m.Send(h, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(h), lp);
        return 0;
    case WM_CANCELMODE:
        if (m.Capture() == h)
            m.ReleaseCapture();
        return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wp);
        const bool window = msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX;
        const int back = window ? COLOR_WINDOW : COLOR_3DFACE;
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(back));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(back));
    }
    default:
        return 0;
    }
}
