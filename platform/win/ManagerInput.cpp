// The window manager: raw input into messages (hit testing, capture, double clicks, keys),
// focus, capture and activation.
#include "platform/win/WindowManager.h"

#include "platform/gdi/SystemMetrics.h"

#include <algorithm>
#include <cstdlib>

namespace kel::win {

namespace {

constexpr BYTE kDown = 0x80;
constexpr BYTE kToggled = 0x01;

UINT ButtonKey(UINT msg) {
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        return VK_LBUTTON;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        return VK_RBUTTON;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        return VK_MBUTTON;
    default:
        return 0;
    }
}

bool IsButtonDown(UINT msg) {
    return msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN;
}

// The keys of a US keyboard that type a character of their own, plain and with Shift.
struct KeyChars {
    UINT vk;
    char plain;
    char shifted;
};
constexpr KeyChars kKeyChars[] = {
    {VK_SPACE, ' ', ' '},     {VK_RETURN, '\r', '\r'},   {VK_BACK, '\b', '\b'},
    {VK_TAB, '\t', '\t'},     {VK_ESCAPE, 0x1B, 0x1B},   {'0', '0', ')'},
    {'1', '1', '!'},          {'2', '2', '@'},           {'3', '3', '#'},
    {'4', '4', '$'},          {'5', '5', '%'},           {'6', '6', '^'},
    {'7', '7', '&'},          {'8', '8', '*'},           {'9', '9', '('},
    {VK_OEM_1, ';', ':'},     {VK_OEM_PLUS, '=', '+'},   {VK_OEM_COMMA, ',', '<'},
    {VK_OEM_MINUS, '-', '_'}, {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},
    {VK_OEM_3, '`', '~'},     {VK_OEM_4, '[', '{'},      {VK_OEM_5, '\\', '|'},
    {VK_OEM_6, ']', '}'},     {VK_OEM_7, '\'', '"'},
};

// The character a key types on a US keyboard, 0 for none.
UINT CharFromKey(UINT vk, bool shift, bool ctrl, bool caps) {
    if (vk >= 'A' && vk <= 'Z') {
        if (ctrl)
            return vk - 'A' + 1;
        return (shift != caps) ? vk : vk + ('a' - 'A');
    }
    if (ctrl) {
        switch (vk) {
        case VK_RETURN:
            return '\n';
        case VK_BACK:
            return 0x7F;
        case VK_SPACE:
            return ' ';
        case VK_ESCAPE:
            return 0x1B;
        case VK_OEM_4:
            return 0x1B;
        case VK_OEM_5:
            return 0x1C;
        case VK_OEM_6:
            return 0x1D;
        default:
            return 0;
        }
    }
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9)
        return '0' + (vk - VK_NUMPAD0);
    switch (vk) {
    case VK_MULTIPLY:
        return '*';
    case VK_ADD:
        return '+';
    case VK_SUBTRACT:
        return '-';
    case VK_DECIMAL:
        return '.';
    case VK_DIVIDE:
        return '/';
    default:
        break;
    }
    for (const KeyChars& k : kKeyChars) {
        if (k.vk == vk)
            return static_cast<unsigned char>(shift ? k.shifted : k.plain);
    }
    return 0;
}

bool IsExtendedKey(UINT vk) {
    switch (vk) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_INSERT:
    case VK_DELETE:
    case VK_DIVIDE:
    case VK_RCONTROL:
    case VK_RMENU:
        return true;
    default:
        return false;
    }
}

void SetKeyDown(BYTE* table, int vk, bool down) {
    BYTE& k = table[vk & 0xFF];
    if (down && !(k & kDown))
        k ^= kToggled;
    k = down ? (k | kDown) : (k & ~kDown);
    // The left and right keys also move the key both stand for.
    int general = 0;
    if (vk == VK_LSHIFT || vk == VK_RSHIFT)
        general = VK_SHIFT;
    else if (vk == VK_LCONTROL || vk == VK_RCONTROL)
        general = VK_CONTROL;
    else if (vk == VK_LMENU || vk == VK_RMENU)
        general = VK_MENU;
    if (general != 0)
        SetKeyDown(table, general, down);
}

// A stable, distinct scan code per key; the values of a PC keyboard where they matter less.
UINT MapScan(UINT vk) {
    return vk == VK_PACKET ? 0 : (vk & 0x7F);
}

} // namespace

bool KeyForChar(UINT ch, UINT& vk, bool& shift) {
    vk = 0;
    shift = false;
    if (ch >= 'a' && ch <= 'z') {
        vk = ch - 'a' + 'A';
    } else if (ch >= 'A' && ch <= 'Z') {
        vk = ch;
        shift = true;
    } else if (ch == '\n') {
        vk = VK_RETURN;
    } else {
        for (const KeyChars& k : kKeyChars) {
            if (ch == static_cast<unsigned char>(k.plain) ||
                ch == static_cast<unsigned char>(k.shifted)) {
                vk = k.vk;
                shift = ch != static_cast<unsigned char>(k.plain);
                break;
            }
        }
    }
    return vk != 0;
}

SHORT WindowManager::KeyState(int vk) const {
    BYTE k = m_keys[vk & 0xFF];
    return static_cast<SHORT>(((k & kDown) ? 0x8000 : 0) | ((k & kToggled) ? 1 : 0));
}

SHORT WindowManager::AsyncKeyState(int vk) const {
    return (m_asyncKeys[vk & 0xFF] & kDown) ? static_cast<SHORT>(0x8000) : 0;
}

void WindowManager::QueueInput(const RawInput& raw) {
    RawInput in = raw;
    in.time = Now();
    if (in.kind == RawInput::Key && in.vk != VK_PACKET)
        SetKeyDown(m_asyncKeys, static_cast<int>(in.vk), in.down);
    if (in.kind == RawInput::Mouse) {
        if (UINT vk = ButtonKey(in.message))
            SetKeyDown(m_asyncKeys, static_cast<int>(vk), IsButtonDown(in.message));
    }
    m_input.push_back(in);
}

bool WindowManager::ConvertInput(MSG& msg) {
    RawInput in = m_input.front();
    m_input.pop_front();
    if (in.kind == RawInput::Mouse)
        return ConvertMouse(in, msg);
    return ConvertKey(in, msg);
}

HWND WindowManager::WindowFromScreenPoint(POINT pt, HWND* pTop) const {
    for (HWND t : m_topLevels) {
        const HWND__* w = Rec(t);
        if ((w->style & WS_VISIBLE) && w->rect.PtInRect(pt)) {
            if (pTop)
                *pTop = t;
            return DeepestAt(t, pt, nullptr);
        }
    }
    if (pTop)
        *pTop = nullptr;
    return nullptr;
}

// From h down: the top-most visible child under the point, then its child, and so on. The
// search of h's children starts below `after` when it is one of them.
HWND WindowManager::DeepestAt(HWND h, POINT pt, HWND after) const {
    for (;;) {
        const HWND__* cur = Rec(h);
        CPoint inClient = CPoint(pt) - ClientOriginScreen(h);
        if (!ClientRect(h).PtInRect(inClient))
            return h;
        HWND next = nullptr;
        bool searching = after == nullptr;
        for (HWND c : cur->children) {
            if (!searching) {
                searching = c == after;
                continue;
            }
            const HWND__* cw = Rec(c);
            if ((cw->style & WS_VISIBLE) && cw->rect.PtInRect(inClient)) {
                next = c;
                break;
            }
        }
        after = nullptr;
        // A disabled child gives the point to its parent.
        if (next == nullptr || (Rec(next)->style & WS_DISABLED))
            return h;
        h = next;
    }
}

HWND WindowManager::HitTest(HWND under, POINT ptScreen, LRESULT* pHit) {
    HWND h = under;
    while (h != nullptr) {
        LRESULT hit = Send(h, WM_NCHITTEST, 0, MAKELPARAM(ptScreen.x, ptScreen.y));
        if (!IsLive(h))
            return nullptr;
        const HWND parent = Rec(h)->parent;
        if (hit != HTTRANSPARENT || parent == nullptr) {
            *pHit = hit == HTTRANSPARENT ? HTNOWHERE : hit;
            return h;
        }
        // A transparent window (a group box) hands the point to the windows beneath it: a
        // sibling below under the point, or else its parent.
        h = DeepestAt(parent, ptScreen, h);
    }
    return nullptr;
}

// The window that asked to hear of the pointer leaving it is told once it is no longer under
// the pointer (h: the window under the pointer now, or NULL for none).
void WindowManager::NotifyMouseLeave(HWND h) {
    if (m_trackLeave == nullptr || m_trackLeave == h)
        return;
    HWND left = m_trackLeave;
    m_trackLeave = nullptr;
    if (IsLive(left))
        Post(left, WM_MOUSELEAVE, 0, 0);
}

BOOL WindowManager::TrackMouseLeave(HWND h, bool cancel) {
    if (!IsLive(h))
        return FALSE;
    if (cancel) {
        if (m_trackLeave == h)
            m_trackLeave = nullptr;
        return TRUE;
    }
    m_trackLeave = h;
    return TRUE;
}

bool WindowManager::ConvertMouse(const RawInput& in, MSG& msg) {
    // A move that does not move makes no message.
    if (in.message == WM_MOUSEMOVE && CPoint(in.ptScreen) == m_cursorPos && m_cursorKnown)
        return false;
    m_cursorPos = in.ptScreen;
    m_cursorKnown = true;
    UINT message = in.message;
    if (UINT vk = ButtonKey(message))
        SetKeyDown(m_keys, static_cast<int>(vk), IsButtonDown(message));
    UINT mk = 0;
    if (m_keys[VK_LBUTTON] & kDown)
        mk |= MK_LBUTTON;
    if (m_keys[VK_RBUTTON] & kDown)
        mk |= MK_RBUTTON;
    if (m_keys[VK_MBUTTON] & kDown)
        mk |= MK_MBUTTON;
    if (m_keys[VK_SHIFT] & kDown)
        mk |= MK_SHIFT;
    if (m_keys[VK_CONTROL] & kDown)
        mk |= MK_CONTROL;

    if (message == WM_MOUSEWHEEL) {
        // The wheel turns what has the focus; unhandled, DefWindowProc hands it to the parent.
        HWND target = m_focus != nullptr ? m_focus : m_active;
        if (target == nullptr)
            return false;
        msg = MSG{target,
                  WM_MOUSEWHEEL,
                  MAKEWPARAM(mk, static_cast<WORD>(static_cast<short>(in.wheelDelta))),
                  MAKELPARAM(in.ptScreen.x, in.ptScreen.y),
                  in.time,
                  in.ptScreen,
                  0};
        return true;
    }

    HWND target = nullptr;
    LRESULT hit = HTCLIENT;
    if (m_capture != nullptr) {
        target = m_capture;
    } else {
        HWND under = WindowFromScreenPoint(in.ptScreen, nullptr);
        if (under != nullptr)
            target = HitTest(under, in.ptScreen, &hit);
        NotifyMouseLeave(hit == HTCLIENT ? target : nullptr);
        if (target == nullptr || hit == HTNOWHERE || hit == HTERROR)
            return false;
        HWND targetTop = TopLevelOf(target);
        // A disabled top-level window (the owner of a modal dialog) takes no mouse input.
        if (Rec(targetTop)->style & WS_DISABLED)
            return false;
        Send(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(hit, message));
        if (!IsLive(target))
            return false;
        if (IsButtonDown(message)) {
            // Every press asks the window whether it activates (the system sends this for
            // clicks in child windows of an active window too; views and no-focus buttons
            // rely on it).
            LRESULT ma = Send(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(targetTop),
                              MAKELPARAM(hit, message));
            if (!IsLive(target))
                return false;
            const bool activate = ma != MA_NOACTIVATE && ma != MA_NOACTIVATEANDEAT;
            const bool eat = ma == MA_ACTIVATEANDEAT || ma == MA_NOACTIVATEANDEAT;
            if (activate && targetTop != m_active)
                SetActive(targetTop, WA_CLICKACTIVE);
            // A window that takes part in keyboard navigation takes the focus when clicked;
            // one without WS_TABSTOP leaves it where it is.
            if (activate && hit == HTCLIENT && IsLive(target) && m_focus != target &&
                (Rec(target)->style & (WS_TABSTOP | WS_DISABLED)) == WS_TABSTOP)
                SetFocus(target);
            if (eat || !IsLive(target))
                return false;
        }
    }

    if (hit != HTCLIENT && m_capture == nullptr) {
        msg = MSG{target,
                  message - WM_MOUSEMOVE + WM_NCMOUSEMOVE,
                  static_cast<WPARAM>(hit),
                  MAKELPARAM(in.ptScreen.x, in.ptScreen.y),
                  in.time,
                  in.ptScreen,
                  0};
        return true;
    }

    // Double clicks: the same button on the same window, soon enough and close enough.
    if (IsButtonDown(message)) {
        const int dx = std::abs(static_cast<int>(in.ptScreen.x - m_clickPt.x));
        const int dy = std::abs(static_cast<int>(in.ptScreen.y - m_clickPt.y));
        const bool second = m_clickWnd == target && m_clickMsg == message &&
                            in.time - m_clickTime <= m_dblClickTime &&
                            dx <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                            dy <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
        if (second) {
            m_clickWnd = nullptr;
            if (Rec(target)->cls->style & CS_DBLCLKS)
                message += WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
        } else {
            m_clickWnd = target;
            m_clickMsg = message;
            m_clickTime = in.time;
            m_clickPt = in.ptScreen;
        }
    }

    CPoint pt = CPoint(in.ptScreen) - ClientOriginScreen(target);
    msg = MSG{target, message, mk, MAKELPARAM(pt.x, pt.y), in.time, in.ptScreen, 0};
    return true;
}

bool WindowManager::ConvertKey(const RawInput& in, MSG& msg) {
    const bool wasDown = (m_keys[in.vk & 0xFF] & kDown) != 0;
    if (in.vk != VK_PACKET)
        SetKeyDown(m_keys, static_cast<int>(in.vk), in.down);
    const bool alt = (m_keys[VK_MENU] & kDown) != 0;
    const bool ctrl = (m_keys[VK_CONTROL] & kDown) != 0;
    HWND target = m_focus;
    bool sys = (alt && !ctrl) || in.vk == VK_F10 || in.vk == VK_MENU;
    if (target == nullptr) {
        // No focus: the active window gets the keys as system keys.
        target = m_active;
        sys = true;
    }
    if (target == nullptr)
        return false;
    UINT message = in.down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    DWORD data = 1; // repeat count
    data |= (MapScan(in.vk) & 0xFF) << 16;
    if (IsExtendedKey(in.vk))
        data |= 1u << 24;
    if (alt)
        data |= 1u << 29;
    if (in.down ? wasDown : true)
        data |= 1u << 30;
    if (!in.down)
        data |= 1u << 31;
    msg = MSG{target,  message,     in.vk, static_cast<LPARAM>(static_cast<LONG>(data)),
              in.time, m_cursorPos, in.ch};
    return true;
}

BOOL WindowManager::TranslateMessage(const MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN)
        return FALSE;
    UINT ch = msg.lPrivate;
    if (ch == 0) {
        const bool shift = (m_keys[VK_SHIFT] & kDown) != 0;
        const bool ctrl = (m_keys[VK_CONTROL] & kDown) != 0;
        const bool caps = (m_keys[VK_CAPITAL] & kToggled) != 0;
        ch = CharFromKey(static_cast<UINT>(msg.wParam), shift, ctrl, caps);
    }
    if (ch == 0)
        return FALSE;
    Post(msg.hwnd, msg.message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR, ch, msg.lParam);
    return TRUE;
}

HCURSOR WindowManager::SetCursor(HCURSOR c) {
    HCURSOR old = m_cursor;
    if (c != old) {
        m_cursor = c;
        if (m_backend)
            m_backend->CursorChanged(::KelGetCursorShape(c));
    }
    return old;
}

// ---------------------------------------------------------------------------
// Focus, capture, activation.

HWND WindowManager::SetFocus(HWND h) {
    if (h != nullptr) {
        HWND__* w = Rec(h);
        if (w == nullptr || (w->style & WS_DISABLED))
            return nullptr;
        HWND top = TopLevelOf(h);
        if (top != m_active) {
            SetActive(top, WA_ACTIVE);
            if (!IsLive(h))
                return nullptr;
        }
    }
    HWND old = m_focus;
    if (old == h)
        return old;
    m_focus = h;
    if (old != nullptr && IsLive(old))
        Send(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(h), 0);
    if (m_focus != h)
        return IsLive(old) ? old : nullptr;
    if (h != nullptr && IsLive(h))
        Send(h, WM_SETFOCUS, reinterpret_cast<WPARAM>(IsLive(old) ? old : nullptr), 0);
    return IsLive(old) ? old : nullptr;
}

HWND WindowManager::SetCapture(HWND h) {
    if (h != nullptr && !IsLive(h))
        return nullptr;
    HWND old = m_capture;
    if (old == h)
        return old;
    m_capture = h;
    if (old != nullptr && IsLive(old))
        Send(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(h));
    return old;
}

BOOL WindowManager::ReleaseCapture() {
    if (m_capture == nullptr)
        return TRUE;
    HWND old = m_capture;
    m_capture = nullptr;
    if (IsLive(old))
        Send(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND WindowManager::SetActive(HWND h, UINT how) {
    if (h != nullptr) {
        h = TopLevelOf(h);
        if (h == nullptr || h == m_desktop)
            return nullptr;
    }
    HWND old = m_active;
    if (old == h)
        return old;
    m_active = h;
    if (old != nullptr && IsLive(old)) {
        Send(old, WM_NCACTIVATE, FALSE, 0);
        Send(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, Rec(old) ? Rec(old)->minimized : 0),
             reinterpret_cast<LPARAM>(h));
    }
    if (m_active != h)
        return IsLive(old) ? old : nullptr;
    if (h == nullptr) {
        if (m_focus != nullptr)
            SetFocus(nullptr);
        return IsLive(old) ? old : nullptr;
    }
    // The active window comes to the top of the others.
    auto it = std::find(m_topLevels.begin(), m_topLevels.end(), h);
    if (it != m_topLevels.end()) {
        m_topLevels.erase(it);
        m_topLevels.insert(m_topLevels.begin(), h);
    }
    if (Rec(h)->nativeCreated)
        GetBackend().WindowActivated(h);
    Send(h, WM_NCACTIVATE, TRUE, 0);
    if (IsLive(h) && m_active == h)
        Send(h, WM_ACTIVATE, MAKEWPARAM(how, Rec(h)->minimized),
             reinterpret_cast<LPARAM>(IsLive(old) ? old : nullptr));
    return IsLive(old) ? old : nullptr;
}

HWND WindowManager::ActivationTarget(HWND h) const {
    const HWND__* w = Rec(h);
    if (w == nullptr)
        return nullptr;
    if (!(w->style & WS_DISABLED))
        return h;
    for (HWND t : m_topLevels) {
        const HWND__* tw = Rec(t);
        if (!(tw->style & WS_VISIBLE) || (tw->style & WS_DISABLED) || tw->destroying)
            continue;
        for (HWND o = tw->owner; o != nullptr; o = Rec(o) ? Rec(o)->owner : nullptr) {
            if (o == h)
                return t;
        }
    }
    return nullptr;
}

HWND WindowManager::NextActiveCandidate(HWND except) const {
    const HWND__* w = Rec(except);
    if (w != nullptr && w->owner != nullptr) {
        const HWND__* o = Rec(w->owner);
        if (o != nullptr && (o->style & WS_VISIBLE) && !(o->style & WS_DISABLED))
            return w->owner;
    }
    for (HWND t : m_topLevels) {
        const HWND__* tw = Rec(t);
        if (t != except && (tw->style & WS_VISIBLE) && !(tw->style & WS_DISABLED) &&
            !tw->destroying)
            return t;
    }
    return nullptr;
}

} // namespace kel::win
