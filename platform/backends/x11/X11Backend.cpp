// The x11 backend: one X window per top-level window, the painted image copied to it, X
// events turned into the window manager's raw input, real time.
#include "platform/backends/x11/X11Backend.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/backends/x11/X11Clipboard.h"
#include "platform/backends/x11/X11Handles.h"
#include "platform/win/WinApi.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>

#include <poll.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

namespace kel::backends {

namespace {

struct DisplayCloser {
    void operator()(Display* d) const { XCloseDisplay(d); }
};

// X errors about windows that went away meanwhile are not fatal here.
int IgnoreErrors(Display*, XErrorEvent*) {
    return 0;
}

UINT VirtualKey(KeySym ks) {
    if (ks >= XK_a && ks <= XK_z)
        return static_cast<UINT>('A' + (ks - XK_a));
    if (ks >= XK_A && ks <= XK_Z)
        return static_cast<UINT>(ks);
    if (ks >= XK_0 && ks <= XK_9)
        return static_cast<UINT>(ks);
    if (ks >= XK_F1 && ks <= XK_F12)
        return static_cast<UINT>(VK_F1 + (ks - XK_F1));
    if (ks >= XK_KP_0 && ks <= XK_KP_9)
        return static_cast<UINT>(VK_NUMPAD0 + (ks - XK_KP_0));
    switch (ks) {
    case XK_Return:
    case XK_KP_Enter:
        return VK_RETURN;
    case XK_Escape:
        return VK_ESCAPE;
    case XK_Tab:
    case XK_ISO_Left_Tab:
        return VK_TAB;
    case XK_BackSpace:
        return VK_BACK;
    case XK_Delete:
    case XK_KP_Delete:
        return VK_DELETE;
    case XK_Insert:
        return VK_INSERT;
    case XK_Home:
    case XK_KP_Home:
        return VK_HOME;
    case XK_End:
    case XK_KP_End:
        return VK_END;
    case XK_Prior:
    case XK_KP_Prior:
        return VK_PRIOR;
    case XK_Next:
    case XK_KP_Next:
        return VK_NEXT;
    case XK_Left:
    case XK_KP_Left:
        return VK_LEFT;
    case XK_Up:
    case XK_KP_Up:
        return VK_UP;
    case XK_Right:
    case XK_KP_Right:
        return VK_RIGHT;
    case XK_Down:
    case XK_KP_Down:
        return VK_DOWN;
    case XK_space:
        return VK_SPACE;
    // The keys' messages name the key both sides stand for, as the system's do.
    case XK_Shift_L:
    case XK_Shift_R:
        return VK_SHIFT;
    case XK_Control_L:
    case XK_Control_R:
        return VK_CONTROL;
    case XK_Alt_L:
    case XK_Alt_R:
    case XK_Meta_L:
    case XK_Meta_R:
        return VK_MENU;
    // AltGr picks a key's third character; it is no Alt, whose keys would become system
    // keys instead of the characters typed.
    case XK_Caps_Lock:
        return VK_CAPITAL;
    case XK_Menu:
        return VK_APPS;
    case XK_minus:
        return VK_OEM_MINUS;
    case XK_equal:
        return VK_OEM_PLUS;
    case XK_comma:
        return VK_OEM_COMMA;
    case XK_period:
        return VK_OEM_PERIOD;
    case XK_slash:
        return VK_OEM_2;
    case XK_semicolon:
        return VK_OEM_1;
    case XK_apostrophe:
        return VK_OEM_7;
    case XK_bracketleft:
        return VK_OEM_4;
    case XK_bracketright:
        return VK_OEM_6;
    case XK_backslash:
        return VK_OEM_5;
    case XK_grave:
        return VK_OEM_3;
    case XK_KP_Multiply:
        return VK_MULTIPLY;
    case XK_KP_Add:
        return VK_ADD;
    case XK_KP_Subtract:
        return VK_SUBTRACT;
    case XK_KP_Decimal:
        return VK_DECIMAL;
    case XK_KP_Divide:
        return VK_DIVIDE;
    default:
        return 0;
    }
}

// The character a key types, from its keysym: Latin-1 keysyms are their code points,
// Unicode ones carry theirs; 0 for keys that type none.
UINT CharFromKeysym(KeySym ks) {
    if ((ks >= 0x20 && ks <= 0x7E) || (ks >= 0xA0 && ks <= 0xFF))
        return static_cast<UINT>(ks);
    if (ks >= 0x010000A0 && ks <= 0x0110FFFF)
        return static_cast<UINT>(ks - 0x01000000);
    if (ks == XK_EuroSign)
        return 0x20AC;
    return 0;
}

// The X cursor shape for the IDC_ number of a standard cursor.
unsigned int XCursorFor(UINT idc) {
    switch (idc) {
    case 32513: // IDC_IBEAM
        return XC_xterm;
    case 32514: // IDC_WAIT
        return XC_watch;
    case 32515: // IDC_CROSS
        return XC_crosshair;
    case 32516: // IDC_UPARROW
        return XC_sb_up_arrow;
    case 32642: // IDC_SIZENWSE
    case 32643: // IDC_SIZENESW
        return XC_sizing;
    case 32644: // IDC_SIZEWE
        return XC_sb_h_double_arrow;
    case 32645: // IDC_SIZENS
        return XC_sb_v_double_arrow;
    case 32646: // IDC_SIZEALL
        return XC_fleur;
    case 32648: // IDC_NO
        return XC_X_cursor;
    case 32649: // IDC_HAND
        return XC_hand2;
    case 32650: // IDC_APPSTARTING
        return XC_watch;
    case 32651: // IDC_HELP
        return XC_question_arrow;
    default: // IDC_ARROW, custom cursors
        return XC_left_ptr;
    }
}

class X11Backend : public kel::win::Backend {
public:
    explicit X11Backend(Display* display) : m_display(display), m_clipboard(display) {
        XSetErrorHandler(&IgnoreErrors);
        // A held key repeats as presses alone, as the system's repeated key-downs.
        Bool repeatDetectable = False;
        XkbSetDetectableAutoRepeat(display, True, &repeatDetectable);
        m_screen = DefaultScreen(display);
        m_wmDelete = XInternAtom(display, "WM_DELETE_WINDOW", False);
        m_wmProtocols = XInternAtom(display, "WM_PROTOCOLS", False);
        m_netWmName = XInternAtom(display, "_NET_WM_NAME", False);
        m_utf8 = XInternAtom(display, "UTF8_STRING", False);
        m_gc = XGCHandle(display, XCreateGC(display, RootWindow(display, m_screen), 0, nullptr));
        m_visual = DefaultVisual(display, m_screen);
        m_depth = DefaultDepth(display, m_screen);
        // The images are 32-bit xRGB: shown as they are on the usual true-colour screens,
        // converted pixel by pixel on any other.
        m_direct = m_visual->c_class == TrueColor && (m_depth == 24 || m_depth == 32) &&
                   m_visual->red_mask == 0xFF0000 && m_visual->green_mask == 0xFF00 &&
                   m_visual->blue_mask == 0xFF;
        // The screen's resolution, when the desktop says what it is.
        if (const char* dpi = XGetDefault(display, "Xft", "dpi")) {
            int v = std::atoi(dpi);
            if (v >= 48 && v <= 480)
                m_dpi = v;
        }
    }

    ~X11Backend() override {
        // The handles go before the display; the server drops the selection with its window.
        m_windows.clear();
        m_cursors.clear();
        m_gc.Reset();
    }

    const char* Name() const override { return "x11"; }
    bool IsInteractive() const override { return true; }
    bool UsesRealTime() const override { return true; }
    SIZE ScreenSize() const override {
        return SIZE{DisplayWidth(m_display.get(), m_screen),
                    DisplayHeight(m_display.get(), m_screen)};
    }
    int Dpi() const override { return m_dpi; }
    kel::win::SystemClipboard* Clipboard() override { return &m_clipboard; }

    void WindowCreated(HWND h, const RECT& rc, LPCTSTR title) override {
        Display* d = m_display.get();
        Win w;
        w.hwnd = h;
        // A captioned window shows its client area; the desktop frames it. Other windows
        // show all of themselves, their own border included.
        w.clientOnly = (::GetWindowLong(h, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
        CRect area = Area(h, w.clientOnly, rc);
        XSetWindowAttributes attrs{};
        attrs.background_pixel = WhitePixel(d, m_screen);
        attrs.event_mask = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask |
                           ButtonReleaseMask | PointerMotionMask | StructureNotifyMask |
                           FocusChangeMask;
        // Windows without a caption (pop-ups) are placed by the program, not the desktop.
        attrs.override_redirect = w.clientOnly ? False : True;
        w.xwin =
            XWindowHandle(d, XCreateWindow(d, RootWindow(d, m_screen), area.left, area.top,
                                           static_cast<unsigned>(std::max(1, area.Width())),
                                           static_cast<unsigned>(std::max(1, area.Height())), 0,
                                           CopyFromParent, InputOutput, CopyFromParent,
                                           CWBackPixel | CWEventMask | CWOverrideRedirect, &attrs));
        const Window xwin = w.xwin.Get();
        XSetWMProtocols(d, xwin, &m_wmDelete, 1);
        // The window takes the keyboard when the desktop offers it.
        XWMHints wmHints{};
        wmHints.flags = InputHint | StateHint;
        wmHints.input = True;
        wmHints.initial_state = NormalState;
        XSetWMHints(d, xwin, &wmHints);
        XClassHint classHint{};
        char resName[] = "kelrslist";
        char resClass[] = "KelRSList";
        classHint.res_name = resName;
        classHint.res_class = resClass;
        XSetClassHint(d, xwin, &classHint);
        // A dialog stays above the window that owns it.
        if (HWND owner = ::GetWindow(h, GW_OWNER)) {
            if (Win* o = Find(owner))
                XSetTransientForHint(d, xwin, o->xwin.Get());
        }
        XSizeHints hints{};
        hints.flags = PPosition | PSize;
        hints.x = area.left;
        hints.y = area.top;
        hints.width = area.Width();
        hints.height = area.Height();
        XSetWMNormalHints(d, xwin, &hints);
        w.area = area;
        if (m_cursor != 0)
            XDefineCursor(d, xwin, m_cursor);
        m_byX[xwin] = h;
        m_windows[h] = std::move(w);
        WindowTextChanged(h, title);
        XFlush(d);
    }

    void WindowDestroyed(HWND h) override {
        auto it = m_windows.find(h);
        if (it == m_windows.end())
            return;
        m_byX.erase(it->second.xwin.Get());
        m_windows.erase(it); // destroys the X window
        XFlush(m_display.get());
    }

    void WindowShown(HWND h, bool shown) override {
        if (Win* w = Find(h)) {
            if (shown)
                XMapRaised(m_display.get(), w->xwin.Get());
            else
                XUnmapWindow(m_display.get(), w->xwin.Get());
            XFlush(m_display.get());
        }
    }

    void WindowMoved(HWND h, const RECT& rc) override {
        Win* w = Find(h);
        if (w == nullptr)
            return;
        CRect area = Area(h, w->clientOnly, rc);
        if (area == w->area)
            return;
        w->area = area;
        XMoveResizeWindow(m_display.get(), w->xwin.Get(), area.left, area.top,
                          static_cast<unsigned>(std::max(1, area.Width())),
                          static_cast<unsigned>(std::max(1, area.Height())));
        XFlush(m_display.get());
    }

    void WindowTextChanged(HWND h, LPCTSTR text) override {
        Win* w = Find(h);
        if (w == nullptr || text == nullptr)
            return;
        XStoreName(m_display.get(), w->xwin.Get(), text);
        XChangeProperty(m_display.get(), w->xwin.Get(), m_netWmName, m_utf8, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(text),
                        static_cast<int>(std::strlen(text)));
    }

    void WindowActivated(HWND h) override {
        Win* w = Find(h);
        if (w == nullptr)
            return;
        XRaiseWindow(m_display.get(), w->xwin.Get());
        RaiseOwned(h, 0);
        if (w->mapped)
            XSetInputFocus(m_display.get(), w->xwin.Get(), RevertToParent, CurrentTime);
        XFlush(m_display.get());
    }

    void Present(HWND h, cairo_surface_t* image, const RECT& dirty) override {
        Win* w = Find(h);
        if (w == nullptr || image == nullptr)
            return;
        cairo_surface_flush(image);
        const int cx = cairo_image_surface_get_width(image);
        const int cy = cairo_image_surface_get_height(image);
        // The image is the whole window; a captioned one shows from its client area.
        const CPoint offset = ImageOffset(h, *w);
        CRect src = CRect(dirty) & CRect(0, 0, cx, cy);
        src &= CRect(offset, w->area.Size());
        if (src.IsRectEmpty())
            return;
        char* data = reinterpret_cast<char*>(cairo_image_surface_get_data(image));
        const int stride = cairo_image_surface_get_stride(image);
        Display* d = m_display.get();
        if (m_direct) {
            // The pixels stay the surface's.
            XImageHandle xi(XCreateImage(d, m_visual, static_cast<unsigned>(m_depth), ZPixmap, 0,
                                         data, static_cast<unsigned>(cx), static_cast<unsigned>(cy),
                                         32, stride));
            if (!xi)
                return;
            XPutImage(d, w->xwin.Get(), m_gc.Get(), xi.get(), src.left, src.top,
                      src.left - offset.x, src.top - offset.y, static_cast<unsigned>(src.Width()),
                      static_cast<unsigned>(src.Height()));
        } else {
            XImageHandle xi(XCreateImage(d, m_visual, static_cast<unsigned>(m_depth), ZPixmap, 0,
                                         nullptr, static_cast<unsigned>(src.Width()),
                                         static_cast<unsigned>(src.Height()), 32, 0));
            if (!xi)
                return;
            std::vector<char> pixels(static_cast<size_t>(xi->bytes_per_line) *
                                     static_cast<size_t>(src.Height()));
            xi->data = pixels.data();
            for (int y = 0; y < src.Height(); ++y) {
                const auto* row = reinterpret_cast<const uint32_t*>(data + (src.top + y) * stride);
                for (int x = 0; x < src.Width(); ++x) {
                    const uint32_t p = row[src.left + x];
                    XPutPixel(xi.get(), x, y,
                              Scale((p >> 16) & 0xFF, m_visual->red_mask) |
                                  Scale((p >> 8) & 0xFF, m_visual->green_mask) |
                                  Scale(p & 0xFF, m_visual->blue_mask));
                }
            }
            XPutImage(d, w->xwin.Get(), m_gc.Get(), xi.get(), 0, 0, src.left - offset.x,
                      src.top - offset.y, static_cast<unsigned>(src.Width()),
                      static_cast<unsigned>(src.Height()));
        }
        XFlush(d);
    }

    void CursorChanged(UINT idc) override {
        unsigned int shape = XCursorFor(idc);
        auto it = m_cursors.find(shape);
        if (it == m_cursors.end())
            it = m_cursors
                     .emplace(shape, XCursorHandle(m_display.get(),
                                                   XCreateFontCursor(m_display.get(), shape)))
                     .first;
        m_cursor = it->second.Get();
        for (auto& [h, w] : m_windows)
            XDefineCursor(m_display.get(), w.xwin.Get(), m_cursor);
        XFlush(m_display.get());
    }

    // The window moves its own pixels (the server copies them), and what it could not move
    // or had lost before is shown from the image: a row's move sends the row, not the grid.
    bool Scroll(HWND h, cairo_surface_t* image, const RECT& dest, int dx, int dy) override {
        Win* w = Find(h);
        if (w == nullptr || image == nullptr || !w->mapped)
            return false;
        const CPoint offset = ImageOffset(h, *w);
        const CRect shown(offset, w->area.Size());
        const CRect to = CRect(dest) & shown;
        const CRect from = to - CPoint(dx, dy);
        if (to.IsRectEmpty() || (from & shown) != from)
            return false; // the source is not all on show: the caller sends dest
        Display* d = m_display.get();
        const Window xw = w->xwin.Get();
        XCopyArea(d, xw, xw, m_gc.Get(), from.left - offset.x, from.top - offset.y,
                  static_cast<unsigned>(to.Width()), static_cast<unsigned>(to.Height()),
                  to.left - offset.x, to.top - offset.y);
        // The copy's own exposures and those of before it are all queued once the server has
        // answered: each is shown now, before another move could carry it along unseen.
        XSync(d, False);
        XEvent e;
        while (XCheckTypedWindowEvent(d, xw, GraphicsExpose, &e)) {
            // Covered source: nothing to copy there.
            Present(h, image, EventRect(e.xgraphicsexpose) + offset);
        }
        while (XCheckTypedWindowEvent(d, xw, NoExpose, &e)) {
        }
        while (XCheckTypedWindowEvent(d, xw, Expose, &e)) {
            // Lost before the copy, which carried the blank along to where it moved.
            const CRect rc = EventRect(e.xexpose) + offset;
            Present(h, image, rc);
            Present(h, image, (rc + CPoint(dx, dy)) & to);
        }
        XFlush(d);
        return true;
    }

    void Beep(UINT) override {
        XBell(m_display.get(), 0);
        XFlush(m_display.get());
    }

    bool Wait(int timeoutMs) override {
        Display* d = m_display.get();
        XFlush(d);
        if (XPending(d) == 0) {
            pollfd pfd{ConnectionNumber(d), POLLIN, 0};
            int rc = poll(&pfd, 1, timeoutMs);
            if (rc < 0)
                return true; // interrupted: the caller looks again
            if (pfd.revents & (POLLERR | POLLHUP))
                return false; // the display went away: nothing more can come
        }
        while (XPending(d) > 0) {
            XEvent e;
            XNextEvent(d, &e);
            Dispatch(e);
        }
        return true;
    }

private:
    struct Win {
        HWND hwnd = nullptr;
        XWindowHandle xwin;
        bool clientOnly = false;
        bool mapped = false;
        CRect area;
    };

    // An 8-bit colour component placed in a visual's mask.
    static unsigned long Scale(uint32_t v, unsigned long mask) {
        if (mask == 0)
            return 0;
        int shift = 0;
        while (((mask >> shift) & 1) == 0)
            ++shift;
        unsigned long max = mask >> shift;
        return ((v * max + 127) / 255) << shift;
    }

    // The windows h owns (its dialogs, message boxes, menus) stay above it, also on a server
    // without a desktop to keep them there.
    void RaiseOwned(HWND h, int depth) {
        if (depth > 8)
            return;
        for (auto& [owned, w] : m_windows) {
            if (owned != h && ::GetWindow(owned, GW_OWNER) == h) {
                XRaiseWindow(m_display.get(), w.xwin.Get());
                RaiseOwned(owned, depth + 1);
            }
        }
    }

    Win* Find(HWND h) {
        auto it = m_windows.find(h);
        return it == m_windows.end() ? nullptr : &it->second;
    }

    HWND FromX(Window xw) {
        auto it = m_byX.find(xw);
        return it == m_byX.end() ? nullptr : it->second;
    }

    // Where the X window's (0, 0) lies in the window's image: a captioned window shows from its
    // client area.
    static CPoint ImageOffset(HWND h, const Win& w) {
        return w.clientOnly ? ClientOffset(h) : CPoint(0, 0);
    }

    // The rectangle of an exposure event, in the X window's coordinates.
    template <typename Event> static CRect EventRect(const Event& e) {
        return CRect(CPoint(e.x, e.y), CSize(e.width, e.height));
    }

    // Where the client area starts inside the window.
    static CPoint ClientOffset(HWND h) {
        CRect window;
        ::GetWindowRect(h, &window);
        CPoint client(0, 0);
        ::ClientToScreen(h, &client);
        return client - window.TopLeft();
    }

    // The part of the window the X window shows, in screen coordinates.
    static CRect Area(HWND h, bool clientOnly, const RECT& windowRect) {
        CRect rc(windowRect);
        if (!clientOnly)
            return rc;
        CPoint offset = ClientOffset(h);
        CRect client;
        ::GetClientRect(h, &client);
        return CRect(rc.TopLeft() + offset, client.Size());
    }

    // A point of the X window in the top-level window's client coordinates.
    CPoint ToClient(HWND h, const Win& w, int x, int y) {
        CPoint pt(x, y);
        if (!w.clientOnly)
            pt -= ClientOffset(h);
        return pt;
    }

    void Dispatch(XEvent& e) {
        if (m_clipboard.HandleEvent(e))
            return;
        HWND h = FromX(e.xany.window);
        Win* w = Find(h);
        if (w == nullptr)
            return;
        switch (e.type) {
        case Expose: {
            const CPoint offset = ImageOffset(h, *w);
            KelInputExpose(h, EventRect(e.xexpose) + offset);
            break;
        }
        case MapNotify:
            w->mapped = true;
            // The active window takes the keyboard once it can.
            if (::GetActiveWindow() == h)
                XSetInputFocus(m_display.get(), w->xwin.Get(), RevertToParent, CurrentTime);
            break;
        case UnmapNotify:
            w->mapped = false;
            break;
        case ButtonPress:
        case ButtonRelease: {
            const bool down = e.type == ButtonPress;
            CPoint pt = ToClient(h, *w, e.xbutton.x, e.xbutton.y);
            switch (e.xbutton.button) {
            case Button1:
                KelInputMouse(h, down ? WM_LBUTTONDOWN : WM_LBUTTONUP, pt);
                break;
            case Button2:
                KelInputMouse(h, down ? WM_MBUTTONDOWN : WM_MBUTTONUP, pt);
                break;
            case Button3:
                KelInputMouse(h, down ? WM_RBUTTONDOWN : WM_RBUTTONUP, pt);
                break;
            case Button4:
            case Button5:
                if (down)
                    KelInputMouse(h, WM_MOUSEWHEEL, pt,
                                  e.xbutton.button == Button4 ? WHEEL_DELTA : -WHEEL_DELTA);
                break;
            default:
                break;
            }
            break;
        }
        case MotionNotify:
            KelInputMouse(h, WM_MOUSEMOVE, ToClient(h, *w, e.xmotion.x, e.xmotion.y));
            break;
        case KeyPress:
        case KeyRelease: {
            char text[8] = {};
            KeySym shifted = 0;
            int n = XLookupString(&e.xkey, text, sizeof text - 1, &shifted, nullptr);
            KeySym base = XLookupKeysym(&e.xkey, 0);
            UINT vk = VirtualKey(base != NoSymbol ? base : shifted);
            // The character the desktop's layout types, when it is a plain one.
            UINT ch = 0;
            if (!(e.xkey.state & (ControlMask | Mod1Mask))) {
                ch = CharFromKeysym(shifted);
                if (ch == 0 && n == 1 && static_cast<unsigned char>(text[0]) >= 32)
                    ch = static_cast<unsigned char>(text[0]);
            }
            if (vk != 0)
                KelInputKey(vk, e.type == KeyPress, ch);
            else if (ch != 0 && e.type == KeyPress)
                KelInputChar(ch);
            break;
        }
        case FocusIn:
            if (e.xfocus.mode != NotifyGrab && e.xfocus.mode != NotifyUngrab)
                KelInputActivate(h, TRUE);
            break;
        case FocusOut:
            if (e.xfocus.mode != NotifyGrab && e.xfocus.mode != NotifyUngrab)
                KelInputActivate(h, FALSE);
            break;
        case ConfigureNotify: {
            // The desktop moved or sized the window: the whole window follows.
            Window child;
            int x = 0, y = 0;
            XTranslateCoordinates(m_display.get(), w->xwin.Get(),
                                  RootWindow(m_display.get(), m_screen), 0, 0, &x, &y, &child);
            CRect area(CPoint(x, y), CSize(e.xconfigure.width, e.xconfigure.height));
            if (area == w->area)
                break;
            w->area = area;
            CRect window = area;
            if (w->clientOnly) {
                CRect current, client;
                ::GetWindowRect(h, &current);
                ::GetClientRect(h, &client);
                CPoint offset = ClientOffset(h);
                window.SetRect(area.left - offset.x, area.top - offset.y,
                               area.right + (current.Width() - client.Width() - offset.x),
                               area.bottom + (current.Height() - client.Height() - offset.y));
            }
            KelInputMoveSize(h, window);
            break;
        }
        case ClientMessage:
            if (static_cast<Atom>(e.xclient.message_type) == m_wmProtocols &&
                static_cast<Atom>(e.xclient.data.l[0]) == m_wmDelete)
                KelInputClose(h);
            break;
        default:
            break;
        }
    }

    std::unique_ptr<Display, DisplayCloser> m_display;
    int m_screen = 0;
    int m_dpi = 96;
    Atom m_wmDelete = 0;
    Atom m_wmProtocols = 0;
    Atom m_netWmName = 0;
    Atom m_utf8 = 0;
    X11Clipboard m_clipboard;
    Cursor m_cursor = 0;
    XGCHandle m_gc;
    Visual* m_visual = nullptr;
    int m_depth = 24;
    bool m_direct = true;
    std::map<unsigned int, XCursorHandle> m_cursors;
    std::unordered_map<HWND, Win> m_windows;
    std::unordered_map<Window, HWND> m_byX;
};

std::unique_ptr<kel::win::Backend> Create() {
    // A server that is busy accepting (a client just went away) may refuse a connection for a
    // moment: try a few times before running without a display.
    Display* display = XOpenDisplay(nullptr);
    for (int i = 0; display == nullptr && i < 10 && std::getenv("DISPLAY") != nullptr &&
                    *std::getenv("DISPLAY") != '\0';
         ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        display = XOpenDisplay(nullptr);
    }
    if (display == nullptr)
        return nullptr;
    return std::make_unique<X11Backend>(display);
}

// Registered when the program carries this backend (the shared library always does).
const bool g_registered = [] {
    KelRegisterBackend("x11", &Create);
    return true;
}();

} // namespace

std::unique_ptr<kel::win::Backend> CreateX11Backend() {
    return Create();
}

} // namespace kel::backends

BOOL KelX11BackendAvailable() {
    return kel::backends::g_registered;
}
