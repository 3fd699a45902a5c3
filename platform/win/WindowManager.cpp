// The window manager: records, classes, creation and destruction.
#include "platform/win/WindowManager.h"

#include "platform/win/Wnd.h"

#include <algorithm>

namespace kel::win {

namespace {

// Class names are found regardless of case.
std::string ClassKey(LPCTSTR name) {
    return std::string(CString(name ? name : "").MakeUpper());
}

// Where the next top-level window with a default position goes.
int g_cascade = 0;

} // namespace

WindowManager& WindowManager::Get() {
    static WindowManager manager;
    return manager;
}

WindowManager::WindowManager() {
    auto desktopClass = std::make_shared<WindowClass>();
    desktopClass->name = "#32769";
    desktopClass->wndProc = ::DefWindowProc;
    desktopClass->system = true;
    m_classes[desktopClass->name] = desktopClass;
    m_desktop = NewRecord();
    HWND__* d = Rec(m_desktop);
    d->cls = desktopClass;
    d->style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN;
    d->rect = CRect(0, 0, 1280, 1024);
    d->wndProc = ::DefWindowProc;
}

WindowManager::~WindowManager() {
    // The CWnd objects that outlive the manager must not reach freed records.
    for (auto& [h, w] : m_windows) {
        if (w->wnd != nullptr && w->wnd->m_hWnd == h)
            w->wnd->m_hWnd = nullptr;
    }
}

HWND__* WindowManager::Rec(HWND h) const {
    if (h == nullptr)
        return nullptr;
    auto it = m_windows.find(h);
    return it == m_windows.end() ? nullptr : it->second.get();
}

HWND WindowManager::NewRecord() {
    auto rec = std::make_unique<HWND__>();
    HWND h = rec.get();
    m_windows.emplace(h, std::move(rec));
    return h;
}

// ---------------------------------------------------------------------------
// Classes.

ATOM WindowManager::RegisterClass(const WNDCLASS& wc, bool system) {
    if (wc.lpszClassName == nullptr || *wc.lpszClassName == '\0' || wc.lpfnWndProc == nullptr)
        return 0;
    std::string key = ClassKey(wc.lpszClassName);
    if (m_classes.count(key))
        return 0; // already registered, as the system answers
    auto cls = std::make_shared<WindowClass>();
    cls->name = wc.lpszClassName;
    cls->style = wc.style;
    cls->wndProc = wc.lpfnWndProc;
    cls->hInstance = wc.hInstance;
    cls->hIcon = wc.hIcon;
    cls->hCursor = wc.hCursor;
    cls->hbrBackground = wc.hbrBackground;
    if (wc.lpszMenuName != nullptr && !IS_INTRESOURCE(wc.lpszMenuName))
        cls->menuName = wc.lpszMenuName;
    cls->system = system;
    m_classes[key] = cls;
    return static_cast<ATOM>(0xC000 + m_classes.size());
}

BOOL WindowManager::UnregisterClass(LPCTSTR name) {
    auto it = m_classes.find(ClassKey(name));
    if (it == m_classes.end() || it->second->system)
        return FALSE;
    // A class in use stays registered, as the system refuses to remove it.
    for (auto& [h, w] : m_windows) {
        if (w->cls == it->second)
            return FALSE;
    }
    m_classes.erase(it);
    return TRUE;
}

std::shared_ptr<WindowClass> WindowManager::FindClass(LPCTSTR name) const {
    if (name == nullptr || IS_INTRESOURCE(name))
        return nullptr;
    auto it = m_classes.find(ClassKey(name));
    return it == m_classes.end() ? nullptr : it->second;
}

// ---------------------------------------------------------------------------
// Creation.

HWND WindowManager::CreateWindowEx(DWORD exStyle, LPCTSTR className, LPCTSTR windowName,
                                   DWORD style, int x, int y, int cx, int cy, HWND parent,
                                   HMENU menu, HINSTANCE hInstance, LPVOID param) {
    std::shared_ptr<WindowClass> cls = FindClass(className);
    if (!cls)
        return nullptr;
    const bool child = (style & WS_CHILD) != 0;
    if (child && (!IsLive(parent) || parent == m_desktop))
        return nullptr;
    if (!child && parent != nullptr && !IsLive(parent))
        return nullptr;
    if (!child) {
        style |= WS_CLIPSIBLINGS;
        if ((style & WS_POPUP) == 0)
            style |= WS_CAPTION;
    }

    GetBackend(); // the screen size is known from here on
    const CRect screen = Rec(m_desktop)->rect;
    if (x == CW_USEDEFAULT) {
        if (child) {
            x = y = 0;
        } else {
            x = y = 24 + 24 * (g_cascade++ % 8);
        }
    }
    if (cx == CW_USEDEFAULT) {
        if (child) {
            cx = cy = 0;
        } else {
            cx = screen.Width() * 3 / 4;
            cy = screen.Height() * 3 / 4;
        }
    }
    cx = std::max(cx, 0);
    cy = std::max(cy, 0);

    HWND h = NewRecord();
    HWND__* w = Rec(h);
    w->cls = cls;
    w->style = style & ~WS_VISIBLE;
    w->exStyle = exStyle;
    w->id = child ? reinterpret_cast<UINT_PTR>(menu) : 0;
    w->rect = CRect(x, y, x + cx, y + cy);
    w->text = windowName ? windowName : "";
    w->wndProc = cls->wndProc;
    w->hInstance = hInstance;
    if (child) {
        w->parent = parent;
        Rec(parent)->children.push_back(h); // bottom of the z-order: creation order is tab order
    } else {
        w->owner = parent != nullptr ? TopLevelOf(parent) : nullptr;
        m_topLevels.insert(m_topLevels.begin(), h);
        EnsureSurface(h);
        GetBackend().WindowCreated(h, w->rect, w->text);
        w->nativeCreated = true;
    }

    if (m_createHook != nullptr)
        m_createHook(h);

    CREATESTRUCT cs{param,      hInstance, menu,   parent, cy, cx, y, x, static_cast<LONG>(style),
                    windowName, className, exStyle};
    if (!Send(h, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        if (IsLive(h))
            DestroyWindow(h);
        return nullptr;
    }
    if (!IsLive(h))
        return nullptr;
    if (Send(h, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        if (IsLive(h))
            DestroyWindow(h);
        return nullptr;
    }
    if (!IsLive(h))
        return nullptr;
    SendSizeMove(h, true, true);
    if (!IsLive(h))
        return nullptr;

    if (style & WS_VISIBLE) {
        if (child) {
            Rec(h)->style |= WS_VISIBLE;
            Expose(h);
        } else {
            if (style & WS_MAXIMIZE)
                ShowWindow(h, SW_SHOWMAXIMIZED);
            else
                ShowWindow(h, SW_SHOW);
        }
    }
    return IsLive(h) ? h : nullptr;
}

void WindowManager::SendSizeMove(HWND h, bool size, bool move) {
    HWND__* w = Rec(h);
    if (w == nullptr)
        return;
    if (size) {
        CRect rc = ClientRect(h);
        WPARAM kind = w->minimized ? SIZE_MINIMIZED : w->maximized ? SIZE_MAXIMIZED : SIZE_RESTORED;
        Send(h, WM_SIZE, kind, MAKELPARAM(rc.Width(), rc.Height()));
    }
    if (move && IsLive(h)) {
        w = Rec(h);
        CPoint pt = w->rect.TopLeft() + ClientInsets(w).TopLeft();
        Send(h, WM_MOVE, 0, MAKELPARAM(pt.x, pt.y));
    }
}

// ---------------------------------------------------------------------------
// Destruction: owned windows first, then WM_DESTROY, the children (each completely), and
// WM_NCDESTROY last, as the system does.

BOOL WindowManager::DestroyWindow(HWND h) {
    HWND__* w = Rec(h);
    if (w == nullptr || h == m_desktop || w->destroying)
        return FALSE;

    if (w->parent == nullptr) {
        std::vector<HWND> owned;
        for (HWND t : m_topLevels) {
            if (Rec(t)->owner == h)
                owned.push_back(t);
        }
        for (HWND t : owned)
            DestroyWindow(t);
        w = Rec(h);
        if (w == nullptr || w->destroying)
            return TRUE;
    }

    // The focus leaves while the window still stands, so that what a control does on losing
    // it (an editor handing over its text, a refusal in a message box) happens over it.
    CancelFocusIn(h);
    if (!IsLive(h))
        return TRUE;
    w = Rec(h);
    if (w == nullptr || w->destroying)
        return TRUE;

    // The window leaves the screen: what lay beneath it is shown again.
    if (w->style & WS_VISIBLE) {
        bool wasVisible = IsVisible(h);
        w->style &= ~WS_VISIBLE;
        if (wasVisible && w->parent != nullptr)
            InvalidateBeneath(w->parent, w->rect);
        if (w->parent == nullptr && w->nativeCreated)
            GetBackend().WindowShown(h, false);
    }
    if (m_active == h) {
        m_active = nullptr;
        HWND next = NextActiveCandidate(h);
        if (next != nullptr)
            SetActive(next, WA_ACTIVE);
    }
    if (!IsLive(h))
        return TRUE;
    DestroyTree(h);
    return TRUE;
}

void WindowManager::CancelFocusIn(HWND h) {
    auto within = [&](HWND x) { return x != nullptr && (x == h || ::IsChild(h, x)); };
    if (within(m_capture))
        ReleaseCapture();
    if (within(m_focus)) {
        HWND old = m_focus;
        m_focus = nullptr;
        Send(old, WM_KILLFOCUS, 0, 0);
    }
}

void WindowManager::DestroyTree(HWND h) {
    HWND__* w = Rec(h);
    if (w == nullptr || w->destroying)
        return;
    w->destroying = true;
    Send(h, WM_DESTROY, 0, 0);
    w = Rec(h);
    if (w == nullptr)
        return;
    std::vector<HWND> children = w->children;
    for (HWND c : children) {
        if (IsLive(c))
            DestroyTree(c);
    }
    Send(h, WM_NCDESTROY, 0, 0);
    if (IsLive(h))
        FreeRecord(h);
}

void WindowManager::Unlink(HWND h) {
    HWND__* w = Rec(h);
    if (w->parent != nullptr) {
        if (HWND__* p = Rec(w->parent)) {
            auto& v = p->children;
            v.erase(std::remove(v.begin(), v.end(), h), v.end());
        }
    } else {
        m_topLevels.erase(std::remove(m_topLevels.begin(), m_topLevels.end(), h),
                          m_topLevels.end());
    }
}

void WindowManager::FreeRecord(HWND h) {
    HWND__* w = Rec(h);
    Unlink(h);
    if (w->wnd != nullptr && w->wnd->m_hWnd == h)
        w->wnd->m_hWnd = nullptr; // a CWnd that did not detach in WM_NCDESTROY
    OnWindowFreed(h);
    m_timers.erase(std::remove_if(m_timers.begin(), m_timers.end(),
                                  [h](const Timer& t) { return t.hwnd == h; }),
                   m_timers.end());
    m_posted.erase(
        std::remove_if(m_posted.begin(), m_posted.end(), [h](const MSG& m) { return m.hwnd == h; }),
        m_posted.end());
    for (auto& [dc, info] : m_dcs) {
        if (info.hwnd == h)
            info.hwnd = nullptr; // the DC stays valid until released
        if (info.top == h)
            info.top = nullptr;
    }
    if (m_clickWnd == h)
        m_clickWnd = nullptr;
    if (m_focus == h)
        m_focus = nullptr;
    if (m_capture == h)
        m_capture = nullptr;
    if (m_trackLeave == h)
        m_trackLeave = nullptr;
    if (m_active == h)
        m_active = nullptr;
    if (w->parent == nullptr && w->nativeCreated && m_backend)
        m_backend->WindowDestroyed(h);
    for (auto& [t, tw] : m_windows) {
        if (tw->owner == h)
            tw->owner = nullptr;
    }
    m_windows.erase(h);
}

void WindowManager::Reset() {
    std::vector<HWND> tops = m_topLevels;
    for (HWND t : tops) {
        if (IsLive(t))
            DestroyWindow(t);
    }
    m_posted.clear();
    m_input.clear();
    m_timers.clear();
    m_quit = false;
    m_focus = m_capture = m_active = m_clickWnd = m_trackLeave = nullptr;
    std::fill(std::begin(m_keys), std::end(m_keys), 0);
    std::fill(std::begin(m_asyncKeys), std::end(m_asyncKeys), 0);
    m_cursorKnown = false; // the next move is news, wherever the pointer was left
    m_dblClickTime = 500;
    m_cursor = nullptr;
}

} // namespace kel::win
