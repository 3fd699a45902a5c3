// The window manager: coordinates, placement, z-order, showing and hiding, styles.
#include "platform/win/WindowManager.h"

#include "platform/gdi/SystemMetrics.h"

#include <algorithm>

namespace kel::win {

CRect WindowManager::ClientInsets(const HWND__* w) const {
    CRect in;
    if (w->minimized)
        return in;
    const DWORD style = w->style;
    const DWORD ex = w->exStyle;
    int edge = 0;
    if (style & WS_THICKFRAME)
        edge = GetSystemMetrics(SM_CXFRAME);
    else if ((style & WS_DLGFRAME) || (ex & WS_EX_DLGMODALFRAME))
        edge = GetSystemMetrics(SM_CXDLGFRAME);
    else if (style & WS_BORDER)
        edge = GetSystemMetrics(SM_CXBORDER);
    if (ex & WS_EX_CLIENTEDGE)
        edge += GetSystemMetrics(SM_CXEDGE);
    if (ex & WS_EX_STATICEDGE)
        edge += GetSystemMetrics(SM_CXBORDER);
    in.SetRect(edge, edge, edge, edge);
    if ((style & WS_CAPTION) == WS_CAPTION)
        in.top += GetSystemMetrics((ex & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
    if (style & WS_VSCROLL)
        in.right += GetSystemMetrics(SM_CXVSCROLL);
    if (style & WS_HSCROLL)
        in.bottom += GetSystemMetrics(SM_CYHSCROLL);
    // The client area never has a negative size.
    const int cx = w->rect.Width(), cy = w->rect.Height();
    if (in.left + in.right > cx)
        in.right = std::max(0, cx - static_cast<int>(in.left));
    if (in.top + in.bottom > cy)
        in.bottom = std::max(0, cy - static_cast<int>(in.top));
    return in;
}

CRect WindowManager::ClientRect(HWND h) const {
    const HWND__* w = Rec(h);
    if (w == nullptr || w->minimized)
        return CRect(); // a minimized window has no client area
    CRect in = ClientInsets(w);
    return CRect(0, 0, std::max(0, static_cast<int>(w->rect.Width() - in.left - in.right)),
                 std::max(0, static_cast<int>(w->rect.Height() - in.top - in.bottom)));
}

CPoint WindowManager::WindowOriginScreen(HWND h) const {
    const HWND__* w = Rec(h);
    if (w == nullptr)
        return CPoint();
    if (w->parent == nullptr)
        return w->rect.TopLeft();
    return ClientOriginScreen(w->parent) + w->rect.TopLeft();
}

CPoint WindowManager::ClientOriginScreen(HWND h) const {
    const HWND__* w = Rec(h);
    if (w == nullptr)
        return CPoint();
    return WindowOriginScreen(h) + ClientInsets(w).TopLeft();
}

HWND WindowManager::TopLevelOf(HWND h) const {
    const HWND__* w = Rec(h);
    while (w != nullptr && w->parent != nullptr) {
        h = w->parent;
        w = Rec(h);
    }
    return w != nullptr ? h : nullptr;
}

CPoint WindowManager::ClientOriginInTop(HWND h) const {
    HWND top = TopLevelOf(h);
    return ClientOriginScreen(h) - WindowOriginScreen(top);
}

bool WindowManager::IsVisible(HWND h) const {
    for (const HWND__* w = Rec(h); w != nullptr; w = Rec(w->parent)) {
        if ((w->style & WS_VISIBLE) == 0)
            return false;
        if (w->parent == nullptr)
            return true;
    }
    return false;
}

void WindowManager::SetStyle(HWND h, DWORD style) {
    HWND__* w = Rec(h);
    if (w == nullptr)
        return;
    // Visibility changes go through ShowWindow; the child bit cannot change here.
    const DWORD keep = WS_VISIBLE | WS_CHILD;
    w->style = (w->style & keep) | (style & ~keep);
}

void WindowManager::SetExStyle(HWND h, DWORD exStyle) {
    if (HWND__* w = Rec(h))
        w->exStyle = exStyle;
}

// ---------------------------------------------------------------------------

namespace {

void MoveInList(std::vector<HWND>& list, HWND h, HWND after) {
    auto it = std::find(list.begin(), list.end(), h);
    if (it == list.end())
        return;
    list.erase(it);
    if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST) {
        list.insert(list.begin(), h);
    } else if (after == HWND_BOTTOM) {
        list.push_back(h);
    } else {
        auto at = std::find(list.begin(), list.end(), after);
        list.insert(at == list.end() ? list.begin() : at + 1, h);
    }
}

// Internal WINDOWPOS flags: the client area kept its size or its place (no WM_SIZE/WM_MOVE).
constexpr UINT SWP_NOCLIENTSIZE = 0x0800;
constexpr UINT SWP_NOCLIENTMOVE = 0x1000;
// Internal: the window was maximized, minimized or restored (its WM_SIZE says so).
constexpr UINT SWP_STATECHANGED = 0x8000;

} // namespace

BOOL WindowManager::SetWindowPos(HWND h, HWND after, int x, int y, int cx, int cy, UINT flags) {
    HWND__* w = Rec(h);
    if (w == nullptr || h == m_desktop)
        return FALSE;
    WINDOWPOS wp{h, after, x, y, cx, cy, flags};
    if (flags & SWP_NOMOVE) {
        wp.x = w->rect.left;
        wp.y = w->rect.top;
    }
    if (flags & SWP_NOSIZE) {
        wp.cx = w->rect.Width();
        wp.cy = w->rect.Height();
    }
    if ((flags & SWP_NOSENDCHANGING) == 0) {
        Send(h, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
        w = Rec(h);
        if (w == nullptr)
            return FALSE;
    }
    flags = wp.flags;
    wp.cx = std::max(wp.cx, 0);
    wp.cy = std::max(wp.cy, 0);

    const bool topLevel = w->parent == nullptr;
    const bool visibleBefore = IsVisible(h);
    const CRect oldRect = w->rect;
    const CRect oldClient = ClientRect(h);
    const CPoint oldClientOrigin = oldRect.TopLeft() + ClientInsets(w).TopLeft();
    const CRect newRect(wp.x, wp.y, wp.x + wp.cx, wp.y + wp.cy);
    const bool moved = newRect.TopLeft() != oldRect.TopLeft();
    const bool sized = newRect.Size() != oldRect.Size();
    const bool showing = (flags & SWP_SHOWWINDOW) && (w->style & WS_VISIBLE) == 0;
    const bool hiding = (flags & SWP_HIDEWINDOW) && (w->style & WS_VISIBLE) != 0;
    const bool zchange = (flags & SWP_NOZORDER) == 0;

    w->rect = newRect;
    if (showing)
        w->style |= WS_VISIBLE;
    if (hiding)
        w->style &= ~WS_VISIBLE;
    if (zchange) {
        if (after == HWND_TOPMOST)
            w->exStyle |= WS_EX_TOPMOST;
        else if (after == HWND_NOTOPMOST)
            w->exStyle &= ~WS_EX_TOPMOST;
        MoveInList(topLevel ? m_topLevels : Rec(w->parent)->children, h, after);
    }
    const CRect newClient = ClientRect(h);
    const CPoint newClientOrigin = newRect.TopLeft() + ClientInsets(w).TopLeft();

    if (topLevel) {
        if (sized)
            EnsureSurface(h);
        if (w->nativeCreated) {
            if (moved || sized)
                GetBackend().WindowMoved(h, w->rect);
            if (showing || hiding)
                GetBackend().WindowShown(h, showing);
        }
    }

    // A top-level window, or one whose class asks to be redrawn on a new size, is painted whole
    // once WM_SIZE has laid out its children again (some of which move without redrawing).
    const UINT classStyle = w->cls->style;
    const bool redrawWhole =
        sized && (flags & SWP_NOREDRAW) == 0 &&
        (topLevel || ((classStyle & CS_HREDRAW) && newRect.Width() != oldRect.Width()) ||
         ((classStyle & CS_VREDRAW) && newRect.Height() != oldRect.Height()));

    if ((flags & SWP_NOREDRAW) == 0) {
        // What the window covered before shows again (a top-level window's image is its own).
        if (!topLevel && visibleBefore && (moved || sized || hiding || zchange)) {
            // What the window covered and covers no more; all of it when it went down the
            // z-order or away.
            RegionPtr exposed = NewRegion(oldRect);
            if (!hiding && !zchange && (w->style & WS_VISIBLE)) {
                RegionPtr now = NewRegion(newRect);
                cairo_region_subtract(exposed.get(), now.get());
            }
            InvalidateRgn(w->parent, exposed.get(), true, true);
        }
        if (IsVisible(h)) {
            const bool sameImagePlace = topLevel || !moved;
            if (showing || !sameImagePlace || (flags & (SWP_NOCOPYBITS | SWP_FRAMECHANGED)) ||
                (zchange && !topLevel)) {
                Expose(h);
            } else if (sized) {
                const UINT cs = w->cls->style;
                if (((cs & CS_HREDRAW) && newRect.Width() != oldRect.Width()) ||
                    ((cs & CS_VREDRAW) && newRect.Height() != oldRect.Height())) {
                    Expose(h);
                } else {
                    // Only what is new: the parts of the client area outside the old one.
                    RegionPtr rgn = NewRegion(newClient);
                    RegionPtr old = NewRegion(oldClient);
                    cairo_region_subtract(rgn.get(), old.get());
                    InvalidateRgn(h, rgn.get(), true, true);
                    Rec(h)->ncPaint = true;
                }
            }
        }
    }

    w = Rec(h);
    if (newClient.Size() == oldClient.Size() && !showing && !(flags & SWP_STATECHANGED))
        wp.flags |= SWP_NOCLIENTSIZE;
    wp.flags &= ~SWP_STATECHANGED;
    if (newClientOrigin == oldClientOrigin)
        wp.flags |= SWP_NOCLIENTMOVE;
    Send(h, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
    if (redrawWhole && IsLive(h) && IsVisible(h))
        Expose(h);

    if (IsLive(h) && hiding && topLevel && m_active == h) {
        m_active = nullptr;
        if (HWND next = NextActiveCandidate(h))
            SetActive(next, WA_ACTIVE);
    }
    if (IsLive(h) && showing && topLevel && (flags & SWP_NOACTIVATE) == 0)
        SetActive(h, WA_ACTIVE);
    return TRUE;
}

void KelDefWindowPosChanged(HWND h, const WINDOWPOS* wp) {
    WindowManager& m = WindowManager::Get();
    m.SendSizeMove(h, (wp->flags & SWP_NOCLIENTSIZE) == 0, (wp->flags & SWP_NOCLIENTMOVE) == 0);
}

BOOL WindowManager::ShowWindow(HWND h, int cmd) {
    HWND__* w = Rec(h);
    if (w == nullptr || h == m_desktop)
        return FALSE;
    const BOOL wasVisible = (w->style & WS_VISIBLE) != 0;
    const bool topLevel = w->parent == nullptr;
    UINT flags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER;
    if (cmd == SW_HIDE) {
        if (!wasVisible)
            return FALSE;
        Send(h, WM_SHOWWINDOW, FALSE, 0);
        SetWindowPos(h, nullptr, 0, 0, 0, 0, flags | SWP_HIDEWINDOW | SWP_NOACTIVATE);
        return wasVisible;
    }
    const bool activate = topLevel && cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE &&
                          cmd != SW_SHOWMINNOACTIVE && cmd != SW_MINIMIZE;
    if (!activate)
        flags |= SWP_NOACTIVATE;
    if (!wasVisible) {
        Send(h, WM_SHOWWINDOW, TRUE, 0);
        w = Rec(h);
        if (w == nullptr)
            return FALSE;
    }

    CRect target = w->rect;
    const bool toMax = cmd == SW_SHOWMAXIMIZED;
    const bool toMin = cmd == SW_MINIMIZE || cmd == SW_SHOWMINIMIZED || cmd == SW_SHOWMINNOACTIVE;
    const bool toRestore = (cmd == SW_RESTORE || cmd == SW_SHOWNORMAL || cmd == SW_SHOWDEFAULT) &&
                           (w->maximized || w->minimized);
    if (toMax && !w->maximized) {
        if (!w->minimized)
            w->restoreRect = w->rect;
        w->maximized = true;
        w->minimized = false;
        w->style = (w->style | WS_MAXIMIZE) & ~WS_MINIMIZE;
        // The client area fills the parent's (or the screen); the frame lies outside it.
        CRect area = topLevel ? CRect(Rec(m_desktop)->rect) : ClientRect(w->parent);
        CRect in = ClientInsets(w);
        target.SetRect(area.left - in.left, area.top - in.top, area.right + in.right,
                       area.bottom + in.bottom);
        if (topLevel && (w->style & WS_CAPTION) == WS_CAPTION)
            target.top = area.top - in.left; // the caption stays on the screen
    } else if (toMin && !w->minimized) {
        if (!w->maximized)
            w->restoreRect = w->rect;
        w->minimized = true;
        w->maximized = false;
        w->style = (w->style | WS_MINIMIZE) & ~WS_MAXIMIZE;
        target = CRect(CPoint(-32000, -32000), CSize(160, GetSystemMetrics(SM_CYCAPTION) + 8));
    } else if (toRestore) {
        w->maximized = w->minimized = false;
        w->style &= ~(WS_MAXIMIZE | WS_MINIMIZE);
        target = w->restoreRect;
    }
    if (target != w->rect) {
        flags &= ~(SWP_NOSIZE | SWP_NOMOVE);
        flags |= SWP_FRAMECHANGED;
    }
    if (toMax || toMin || toRestore)
        flags |= SWP_STATECHANGED;
    SetWindowPos(h, nullptr, target.left, target.top, target.Width(), target.Height(),
                 flags | SWP_SHOWWINDOW);
    if (IsLive(h) && activate && wasVisible)
        SetActive(h, WA_ACTIVE);
    return wasVisible;
}

BOOL WindowManager::SetParent(HWND child, HWND parent, HWND* old) {
    HWND__* w = Rec(child);
    if (w == nullptr || child == m_desktop || (parent != nullptr && !IsLive(parent)))
        return FALSE;
    if (parent == m_desktop)
        parent = nullptr;
    // A window cannot become its own descendant.
    for (HWND p = parent; p != nullptr; p = Rec(p)->parent) {
        if (p == child)
            return FALSE;
    }
    *old = w->parent != nullptr ? w->parent : (w->owner ? w->owner : m_desktop);
    const bool wasVisible = IsVisible(child);
    if (wasVisible && w->parent != nullptr)
        InvalidateBeneath(w->parent, w->rect);
    Unlink(child);
    if (parent != nullptr && (w->style & WS_CHILD)) {
        w->parent = parent;
        w->owner = nullptr;
        Rec(parent)->children.insert(Rec(parent)->children.begin(), child);
        w->surface.reset();
    } else {
        w->parent = nullptr;
        w->owner = parent != nullptr ? TopLevelOf(parent) : nullptr;
        m_topLevels.insert(m_topLevels.begin(), child);
        EnsureSurface(child);
    }
    if (IsVisible(child))
        Expose(child);
    return TRUE;
}

BOOL WindowManager::EnableWindow(HWND h, BOOL enable) {
    HWND__* w = Rec(h);
    if (w == nullptr)
        return FALSE;
    const BOOL wasDisabled = (w->style & WS_DISABLED) != 0;
    if (enable == !wasDisabled)
        return wasDisabled;
    if (enable) {
        w->style &= ~WS_DISABLED;
    } else {
        w->style |= WS_DISABLED;
        Send(h, WM_CANCELMODE, 0, 0);
        if (m_focus != nullptr && (m_focus == h || ::IsChild(h, m_focus)))
            SetFocus(nullptr);
        if (m_capture != nullptr && (m_capture == h || ::IsChild(h, m_capture)))
            ReleaseCapture();
    }
    if (IsLive(h))
        Send(h, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled;
}

} // namespace kel::win
