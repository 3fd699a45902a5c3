// The window manager: invalid regions, WM_PAINT, device contexts over the top-level images,
// and the images themselves.
#include "platform/win/WindowManager.h"

#include "platform/gdi/GdiFunctions.h"
#include "platform/gdi/SurfaceDC.h"

#include <cairo.h>

#include <algorithm>
#include <cstring>

namespace kel::win {

namespace {

void Subtract(cairo_region_t* rgn, const CRect& r) {
    RegionPtr cut = NewRegion(r);
    cairo_region_subtract(rgn, cut.get());
}

void Intersect(cairo_region_t* rgn, const CRect& r) {
    RegionPtr keep = NewRegion(r);
    cairo_region_intersect(rgn, keep.get());
}

} // namespace

CPoint WindowManager::WindowOriginInTop(HWND h) const {
    return WindowOriginScreen(h) - WindowOriginScreen(TopLevelOf(h));
}

// ---------------------------------------------------------------------------
// Invalidation. Update regions are kept in client coordinates.

void WindowManager::InvalidateRgn(HWND h, const cairo_region_t* rgn, bool erase, bool children) {
    HWND__* w = Rec(h);
    if (w == nullptr || h == m_desktop)
        return;
    RegionPtr part(cairo_region_copy(rgn));
    Intersect(part.get(), ClientRect(h));
    if (!cairo_region_is_empty(part.get())) {
        if (!w->update)
            w->update = NewRegion();
        cairo_region_union(w->update.get(), part.get());
        if (erase)
            w->erase = true;
    }
    if (cairo_region_is_empty(part.get()))
        return;
    // A transparent child (a group box) shows its parent through it: what the parent paints
    // over it, it paints again.
    for (HWND c : w->children) {
        if (!children && (Rec(c)->exStyle & WS_EX_TRANSPARENT) == 0)
            continue;
        RegionPtr inChild(cairo_region_copy(part.get()));
        const CRect& cr = Rec(c)->rect;
        Intersect(inChild.get(), cr);
        if (cairo_region_is_empty(inChild.get()))
            continue;
        cairo_region_translate(inChild.get(), -cr.left, -cr.top);
        InvalidateArea(c, inChild.get(), erase);
    }
}

// rgnWindow is in the window's own coordinates (its top-left corner at 0, 0).
void WindowManager::InvalidateArea(HWND h, const cairo_region_t* rgnWindow, bool erase) {
    HWND__* w = Rec(h);
    if (w == nullptr)
        return;
    const CRect in = ClientInsets(w);
    const CRect client = ClientRect(h) + in.TopLeft();
    if (!in.IsRectNull()) {
        RegionPtr frame(cairo_region_copy(rgnWindow));
        Subtract(frame.get(), client);
        if (!cairo_region_is_empty(frame.get()))
            w->ncPaint = true;
    }
    RegionPtr inClient(cairo_region_copy(rgnWindow));
    cairo_region_translate(inClient.get(), -in.left, -in.top);
    InvalidateRgn(h, inClient.get(), erase, true);
}

void WindowManager::Invalidate(HWND h, const RECT* rc, bool erase, bool children) {
    if (!IsLive(h))
        return;
    RegionPtr rgn = NewRegion(rc ? CRect(rc) : ClientRect(h));
    InvalidateRgn(h, rgn.get(), erase, children);
}

void WindowManager::InvalidateBeneath(HWND parent, const CRect& rectInParentClient) {
    Invalidate(parent, &rectInParentClient, true, true);
}

void WindowManager::Expose(HWND h) {
    HWND__* w = Rec(h);
    if (w == nullptr)
        return;
    RegionPtr all = NewRegion(CRect(0, 0, w->rect.Width(), w->rect.Height()));
    InvalidateArea(h, all.get(), true);
}

void WindowManager::Validate(HWND h, const RECT* rc) {
    HWND__* w = Rec(h);
    if (w == nullptr)
        return;
    if (rc == nullptr) {
        w->update.reset();
        w->erase = false;
        return;
    }
    if (w->update) {
        Subtract(w->update.get(), CRect(rc));
        if (cairo_region_is_empty(w->update.get())) {
            w->update.reset();
            w->erase = false;
        }
    }
}

bool WindowManager::HasInvalid(HWND h) const {
    const HWND__* w = Rec(h);
    return w != nullptr && ((w->update && !cairo_region_is_empty(w->update.get())) || w->ncPaint);
}

HWND WindowManager::FindPaint(HWND h) const {
    const HWND__* w = Rec(h);
    if ((w->style & WS_VISIBLE) == 0)
        return nullptr;
    if (HasInvalid(h))
        return h;
    for (HWND c : w->children) {
        if (HWND found = FindPaint(c))
            return found;
    }
    return nullptr;
}

bool WindowManager::NextPaint(MSG& msg, HWND filter) const {
    HWND found = nullptr;
    if (filter != nullptr && filter != reinterpret_cast<HWND>(-1)) {
        if (IsLive(filter) && IsVisible(filter))
            found = FindPaint(filter);
    } else if (filter == nullptr) {
        for (HWND t : m_topLevels) {
            if ((found = FindPaint(t)) != nullptr)
                break;
        }
    }
    if (found == nullptr)
        return false;
    msg = MSG{found, WM_PAINT, 0, 0, Now(), m_cursorPos, 0};
    return true;
}

void WindowManager::SendPaint(HWND h) {
    const ULONGLONG before = m_beginPaints;
    Send(h, WM_PAINT, 0, 0);
    if (m_beginPaints == before && IsLive(h)) {
        HWND__* w = Rec(h);
        w->ncPaint = false;
        Validate(h, nullptr);
    }
}

void WindowManager::UpdateWindow(HWND h, bool children) {
    HWND__* w = Rec(h);
    if (w == nullptr || !IsVisible(h))
        return;
    if (HasInvalid(h))
        SendPaint(h);
    if (!children || !IsLive(h))
        return;
    std::vector<HWND> kids = Rec(h)->children;
    for (HWND c : kids) {
        if (IsLive(c))
            UpdateWindow(c, true);
    }
}

// ---------------------------------------------------------------------------
// Device contexts.

RegionPtr WindowManager::VisibleRegion(HWND h, bool client) const {
    if (!IsVisible(h))
        return NewRegion();
    const HWND__* w = Rec(h);
    const CPoint clientOrigin = ClientOriginInTop(h);
    const CPoint origin = client ? clientOrigin : WindowOriginInTop(h);
    const CRect area = client ? ClientRect(h) : CRect(0, 0, w->rect.Width(), w->rect.Height());
    RegionPtr rgn = NewRegion(area + origin);
    // Children are clipped out of their parent, and siblings above out of a window, except
    // transparent ones (group boxes), which paint only their lines over what is beneath.
    for (HWND c : w->children) {
        const HWND__* cw = Rec(c);
        if ((cw->style & WS_VISIBLE) && (cw->exStyle & WS_EX_TRANSPARENT) == 0)
            Subtract(rgn.get(), cw->rect + clientOrigin);
    }
    // Each ancestor's client area bounds it; siblings above it (and above each ancestor) cut.
    HWND cur = h;
    for (const HWND__* cw = w; cw->parent != nullptr; cw = Rec(cur)) {
        HWND p = cw->parent;
        const HWND__* pw = Rec(p);
        const CPoint po = ClientOriginInTop(p);
        Intersect(rgn.get(), ClientRect(p) + po);
        for (HWND s : pw->children) {
            if (s == cur)
                break;
            const HWND__* sw = Rec(s);
            if ((sw->style & WS_VISIBLE) && (sw->exStyle & WS_EX_TRANSPARENT) == 0)
                Subtract(rgn.get(), sw->rect + po);
        }
        cur = p;
    }
    const HWND__* top = Rec(cur);
    Intersect(rgn.get(), CRect(0, 0, top->rect.Width(), top->rect.Height()));
    return rgn;
}

void WindowManager::EnsureSurface(HWND top) {
    HWND__* w = Rec(top);
    const int cx = std::max(1, static_cast<int>(w->rect.Width()));
    const int cy = std::max(1, static_cast<int>(w->rect.Height()));
    if (w->surface && cairo_image_surface_get_width(w->surface.get()) == cx &&
        cairo_image_surface_get_height(w->surface.get()) == cy)
        return;
    SurfacePtr s(KelCreateImageSurface(cx, cy, true)); // painted white here
    cairo_t* cr = cairo_create(s.get());
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    if (w->surface) {
        // Resizing keeps what was painted where it still fits.
        GdiFlush();
        cairo_set_source_surface(cr, w->surface.get(), 0, 0);
        cairo_paint(cr);
    }
    cairo_destroy(cr);
    w->surface = std::move(s);
}

HDC WindowManager::BeginPaint(HWND h, PAINTSTRUCT* ps) {
    HWND__* w = Rec(h);
    if (w == nullptr || ps == nullptr)
        return nullptr;
    ++m_beginPaints;
    if (w->ncPaint) {
        w->ncPaint = false;
        Send(h, WM_NCPAINT, 1, 0);
        w = Rec(h);
        if (w == nullptr)
            return nullptr;
    }
    RegionPtr update = w->update ? std::move(w->update) : NewRegion();
    const bool erase = w->erase;
    w->erase = false;
    *ps = PAINTSTRUCT{};
    ps->rcPaint = RegionBox(update.get()) & ClientRect(h);

    // The DC draws on what is invalid and visible, in the top-level image.
    HWND top = TopLevelOf(h);
    const CPoint origin = ClientOriginInTop(h);
    RegionPtr clip = VisibleRegion(h, true);
    cairo_region_translate(update.get(), origin.x, origin.y);
    cairo_region_intersect(clip.get(), update.get());
    HDC dc = KelCreateSurfaceDC(Rec(top)->surface.get(), origin, clip.get());
    m_dcs[dc] = DCInfo{h, top, RegionBox(clip.get())};
    ps->hdc = dc;
    if (erase) {
        LRESULT erased = Send(h, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        ps->fErase = erased ? FALSE : TRUE;
    }
    return dc;
}

void WindowManager::EndPaint(HWND h, const PAINTSTRUCT* ps) {
    if (ps != nullptr)
        ReleaseDC(h, ps->hdc);
}

HDC WindowManager::GetDC(HWND h, bool window) {
    if (h == nullptr || h == m_desktop) {
        if (!m_screenSurface)
            m_screenSurface.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 16, 16));
        HDC dc = KelCreateSurfaceDC(m_screenSurface.get(), POINT{0, 0}, nullptr);
        m_dcs[dc] = DCInfo{nullptr, nullptr, CRect()};
        return dc;
    }
    if (!IsLive(h))
        return nullptr;
    HWND top = TopLevelOf(h);
    const CPoint origin = window ? WindowOriginInTop(h) : ClientOriginInTop(h);
    RegionPtr clip = VisibleRegion(h, !window);
    HDC dc = KelCreateSurfaceDC(Rec(top)->surface.get(), origin, clip.get());
    m_dcs[dc] = DCInfo{h, top, RegionBox(clip.get())};
    return dc;
}

int WindowManager::ReleaseDC(HWND h, HDC dc) {
    (void)h;
    auto it = m_dcs.find(dc);
    if (it == m_dcs.end())
        return 0;
    DCInfo info = it->second;
    m_dcs.erase(it);
    KelDeleteSurfaceDC(dc);
    if (info.top != nullptr && IsLive(info.top) && !info.bounds.IsRectEmpty())
        Present(info.top, info.bounds);
    return 1;
}

HWND WindowManager::WindowFromDC(HDC dc) const {
    auto it = m_dcs.find(dc);
    return it == m_dcs.end() ? nullptr : it->second.hwnd;
}

void WindowManager::Present(HWND top, const CRect& dirty) {
    HWND__* w = Rec(top);
    if (w == nullptr || !w->nativeCreated || !m_backend || !(w->style & WS_VISIBLE))
        return;
    GdiFlush(); // a context still held may have output waiting
    m_backend->Present(top, w->surface.get(), dirty);
}

// After the image's pixels moved by (dx, dy) into dest: the backend moves what the window
// shows alike, where it can and where all the image held before was shown (no device context
// is still drawing on it). False when it did not, and dest is to be shown again.
bool WindowManager::ScrollShown(HWND top, const cairo_region_t* dest, int dx, int dy) {
    HWND__* w = Rec(top);
    if (w == nullptr || !w->nativeCreated || !m_backend || !(w->style & WS_VISIBLE) ||
        cairo_region_num_rectangles(dest) != 1)
        return false;
    for (const auto& [dc, info] : m_dcs)
        if (info.top == top)
            return false;
    cairo_rectangle_int_t r;
    cairo_region_get_rectangle(dest, 0, &r);
    GdiFlush();
    return m_backend->Scroll(top, w->surface.get(), CRect(r.x, r.y, r.x + r.width, r.y + r.height),
                             dx, dy);
}

void WindowManager::PresentAll() {
    for (HWND t : m_topLevels) {
        HWND__* w = Rec(t);
        Present(t, CRect(0, 0, w->rect.Width(), w->rect.Height()));
    }
}

// ---------------------------------------------------------------------------
// Images.

BOOL WindowManager::SaveImage(HWND h, LPCTSTR path) {
    if (!IsLive(h) || h == m_desktop || path == nullptr || *path == '\0')
        return FALSE;
    HWND top = TopLevelOf(h);
    UpdateWindow(top, true);
    if (!IsLive(h))
        return FALSE;
    HWND__* w = Rec(h);
    const CPoint at = WindowOriginInTop(h);
    const int cx = std::max(1, static_cast<int>(w->rect.Width()));
    const int cy = std::max(1, static_cast<int>(w->rect.Height()));
    GdiFlush();
    SurfacePtr image(cairo_image_surface_create(CAIRO_FORMAT_RGB24, cx, cy));
    cairo_t* cr = cairo_create(image.get());
    cairo_set_source_surface(cr, Rec(top)->surface.get(), -at.x, -at.y);
    cairo_paint(cr);
    cairo_destroy(cr);
    return cairo_surface_write_to_png(image.get(), path) == CAIRO_STATUS_SUCCESS;
}

COLORREF WindowManager::Pixel(HWND h, POINT ptClient) {
    if (!IsLive(h) || h == m_desktop || !ClientRect(h).PtInRect(ptClient))
        return CLR_INVALID;
    HWND top = TopLevelOf(h);
    cairo_surface_t* s = Rec(top)->surface.get();
    const CPoint at = ClientOriginInTop(h) + ptClient;
    if (at.x < 0 || at.y < 0 || at.x >= cairo_image_surface_get_width(s) ||
        at.y >= cairo_image_surface_get_height(s))
        return CLR_INVALID;
    GdiFlush();
    cairo_surface_flush(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    uint32_t px = *reinterpret_cast<const uint32_t*>(data + at.y * stride + at.x * 4);
    return RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF);
}

// Moves the pixels of the client area (or of rc) by (dx, dy) and invalidates what the move
// uncovers; without rc the children move along.
BOOL WindowManager::ScrollWindow(HWND h, int dx, int dy, const RECT* rc, const RECT* clip) {
    HWND__* w = Rec(h);
    if (w == nullptr)
        return FALSE;
    const CRect client = ClientRect(h);
    CRect area = rc ? CRect(rc) & client : client;
    if (clip)
        area &= CRect(clip);
    if (IsVisible(h) && !area.IsRectEmpty()) {
        const CPoint origin = ClientOriginInTop(h);
        RegionPtr visible = VisibleRegion(h, true);
        Intersect(visible.get(), area + origin);
        HWND top = TopLevelOf(h);
        cairo_surface_t* s = Rec(top)->surface.get();
        GdiFlush(); // the pixels move: what a context holds back goes first
        RegionPtr dest(cairo_region_copy(visible.get()));
        cairo_region_translate(dest.get(), dx, dy);
        cairo_region_intersect(dest.get(), visible.get());
        if (dx == 0 && cairo_region_num_rectangles(dest.get()) == 1 &&
            cairo_surface_get_type(s) == CAIRO_SURFACE_TYPE_IMAGE) {
            // A vertical move of one rectangle: its rows move in place, in the order that
            // reads each before it is written.
            cairo_rectangle_int_t r;
            cairo_region_get_rectangle(dest.get(), 0, &r);
            cairo_surface_flush(s);
            unsigned char* data = cairo_image_surface_get_data(s);
            const int stride = cairo_image_surface_get_stride(s);
            const size_t bytes = static_cast<size_t>(r.width) * 4;
            for (int k = 0; k < r.height; ++k) {
                const int y = dy > 0 ? r.y + r.height - 1 - k : r.y + k;
                std::memmove(data + static_cast<size_t>(y) * stride + r.x * 4,
                             data + static_cast<size_t>(y - dy) * stride + r.x * 4, bytes);
            }
            cairo_surface_mark_dirty_rectangle(s, r.x, r.y, r.width, r.height);
        } else {
            // Copy through a snapshot so that source and destination may overlap; only the
            // area that scrolls is taken, not the whole image.
            const CRect box = RegionBox(visible.get());
            SurfacePtr copy(
                KelCreateImageSurface(std::max(1, box.Width()), std::max(1, box.Height()), true));
            cairo_t* cc = cairo_create(copy.get());
            cairo_set_source_surface(cc, s, -box.left, -box.top);
            cairo_paint(cc);
            cairo_destroy(cc);
            cairo_t* cr = cairo_create(s);
            for (int i = 0; i < cairo_region_num_rectangles(dest.get()); ++i) {
                cairo_rectangle_int_t r;
                cairo_region_get_rectangle(dest.get(), i, &r);
                cairo_rectangle(cr, r.x, r.y, r.width, r.height);
            }
            cairo_clip(cr);
            cairo_set_source_surface(cr, copy.get(), box.left + dx, box.top + dy);
            cairo_paint(cr);
            cairo_destroy(cr);
        }
        // What the move uncovered, and the invalid area moved with the pixels.
        RegionPtr uncovered(cairo_region_copy(visible.get()));
        cairo_region_subtract(uncovered.get(), dest.get());
        cairo_region_translate(uncovered.get(), -origin.x, -origin.y);
        if (w->update) {
            RegionPtr moved(cairo_region_copy(w->update.get()));
            Intersect(moved.get(), area);
            cairo_region_translate(moved.get(), dx, dy);
            Intersect(moved.get(), area);
            cairo_region_union(w->update.get(), moved.get());
        }
        InvalidateRgn(h, uncovered.get(), true, false);
        if (!ScrollShown(top, dest.get(), dx, dy))
            Present(top, RegionBox(visible.get()));
    }
    if (rc == nullptr) {
        std::vector<HWND> kids = w->children;
        for (HWND c : kids) {
            if (HWND__* cw = Rec(c))
                SetWindowPos(c, nullptr, cw->rect.left + dx, cw->rect.top + dy, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    return TRUE;
}

} // namespace kel::win
