// Device contexts: creation, selection, saved states, colours and modes, coordinates and
// clipping.
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/GdiFunctions.h"
#include "platform/gdi/SurfaceDC.h"
#include "platform/gdi/SystemMetrics.h"

#include <algorithm>
#include <cmath>

using namespace kel::gdi;

namespace kel::gdi {

SurfacePtr NewImage(int cx, int cy) {
    return SurfacePtr(KelCreateImageSurface(cx, cy));
}

void SetSourceColor(cairo_t* cr, COLORREF c) {
    cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
}

bool IsMono(const HDC__& dc) {
    return dc.memory && dc.st.bitmap && dc.st.bitmap->mono;
}

COLORREF Resolve(const HDC__& dc, COLORREF c) {
    if ((c >> 24) == 1) {
        const HGDIOBJ__* pal = dc.st.palette.get();
        size_t i = c & 0xFFFF;
        if (pal && !pal->palette.empty()) {
            const PALETTEENTRY& e = pal->palette[i < pal->palette.size() ? i : 0];
            c = RGB(e.peRed, e.peGreen, e.peBlue);
        }
    }
    c &= 0x00FFFFFF;
    return IsMono(dc) ? ToMono(c) : c;
}

void UpdateClip(HDC__& dc) {
    cairo_rectangle_int_t all = MakeRect(0, 0, dc.width, dc.height);
    RegionPtr r(cairo_region_create_rectangle(&all));
    if (dc.baseClip)
        cairo_region_intersect(r.get(), dc.baseClip.get());
    if (dc.st.userClip) {
        RegionPtr user = CopyRegion(dc.st.userClip.get());
        cairo_region_translate(user.get(), dc.origin.x, dc.origin.y);
        cairo_region_intersect(r.get(), user.get());
    }
    cairo_t* cr = dc.cr.get();
    cairo_reset_clip(cr);
    int n = cairo_region_num_rectangles(r.get());
    for (int i = 0; i < n; ++i) {
        cairo_rectangle_int_t rc;
        cairo_region_get_rectangle(r.get(), i, &rc);
        cairo_rectangle(cr, rc.x, rc.y, rc.width, rc.height);
    }
    if (n == 0)
        cairo_rectangle(cr, 0, 0, 0, 0);
    cairo_clip(cr);
    dc.clip = Region(std::move(r));
}

} // namespace kel::gdi

namespace {

int g_dpi = 96;

// Points the context at a new target surface (a memory context's bitmap).
void Bind(HDC__& dc, cairo_surface_t* surface) {
    dc.surface = RefSurface(surface);
    dc.cr.reset(cairo_create(surface));
    if (cairo_surface_get_type(surface) == CAIRO_SURFACE_TYPE_IMAGE) {
        dc.width = cairo_image_surface_get_width(surface);
        dc.height = cairo_image_surface_get_height(surface);
    } else {
        double x1, y1, x2, y2;
        cairo_clip_extents(dc.cr.get(), &x1, &y1, &x2, &y2);
        dc.width = (int)std::min(x2, 1e6);
        dc.height = (int)std::min(y2, 1e6);
    }
    UpdateClip(dc);
}

void InitState(HDC__& dc) {
    dc.st.pen = ObjRef(StockObject(BLACK_PEN));
    dc.st.brush = ObjRef(StockObject(WHITE_BRUSH));
    dc.st.font = ObjRef(StockObject(SYSTEM_FONT));
    dc.st.palette = ObjRef(StockObject(DEFAULT_PALETTE));
}

// The user clip in device coordinates, or the whole device area when none is set.
RegionPtr CurrentUserClip(const HDC__& dc) {
    if (dc.st.userClip)
        return CopyRegion(dc.st.userClip.get());
    cairo_rectangle_int_t all =
        MakeRect(-dc.origin.x, -dc.origin.y, dc.width - dc.origin.x, dc.height - dc.origin.y);
    return RegionPtr(cairo_region_create_rectangle(&all));
}

int SetUserClip(HDC__& dc, RegionPtr r) {
    dc.st.userClip = Region(std::move(r));
    UpdateClip(dc);
    return RegionType(dc.clip.get());
}

// A logical rectangle in device coordinates, normalised.
cairo_rectangle_int_t DeviceRect(const HDC__& dc, int l, int t, int r, int b) {
    int dx = dc.st.viewportOrg.x - dc.st.windowOrg.x, dy = dc.st.viewportOrg.y - dc.st.windowOrg.y;
    return NormalRect(l + dx, t + dy, r + dx, b + dy);
}

BOOL SetOrg(HDC hdc, int x, int y, LPPOINT old, POINT kel::gdi::DCState::*field, bool offset) {
    HDC__* dc = LiveDC(hdc);
    if (!dc)
        return FALSE;
    POINT& p = dc->st.*field;
    if (old)
        *old = p;
    if (offset) {
        p.x += x;
        p.y += y;
    } else {
        p = POINT{x, y};
    }
    return TRUE;
}

BOOL GetOrg(HDC hdc, LPPOINT p, POINT kel::gdi::DCState::*field) {
    HDC__* dc = LiveDC(hdc);
    if (!dc || !p)
        return FALSE;
    *p = dc->st.*field;
    return TRUE;
}

// Puts a saved bitmap back on a memory context.
void RebindBitmap(HDC__& dc) {
    HGDIOBJ__* bm = dc.st.bitmap.get();
    if (!dc.memory || !bm)
        return;
    if (!bm->stock)
        bm->selectedInto = &dc;
    if (dc.surface.get() != bm->surface.get())
        Bind(dc, bm->surface.get());
    else
        UpdateClip(dc);
}

} // namespace

// ---------------------------------------------------------------------------
// Creation.

HDC KelCreateSurfaceDC(cairo_surface_t* surface, POINT origin, const cairo_region_t* clip) {
    if (!surface || cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS)
        return NULL;
    HDC__* dc = NewDC();
    if (!dc)
        return NULL;
    dc->origin = origin;
    dc->baseClip = Region(CopyRegion(clip));
    InitState(*dc);
    Bind(*dc, surface);
    return dc;
}

void KelDeleteSurfaceDC(HDC hdc) {
    DeleteDC(hdc);
}

void KelSetScreenDpi(int dpi) {
    if (dpi > 0)
        g_dpi = dpi;
}

int KelGetScreenDpi() {
    return g_dpi;
}

HDC CreateCompatibleDC(HDC hdc) {
    if (hdc && !LiveDC(hdc))
        return NULL;
    HDC__* dc = NewDC();
    if (!dc)
        return NULL;
    dc->memory = true;
    InitState(*dc);
    dc->st.bitmap = ObjRef(DefaultBitmap());
    Bind(*dc, dc->st.bitmap->surface.get());
    return dc;
}

BOOL DeleteDC(HDC hdc) {
    HDC__* dc = LiveDC(hdc);
    if (!dc)
        return FALSE;
    cairo_surface_flush(dc->surface.get());
    FreeDC(dc);
    return TRUE;
}

// ---------------------------------------------------------------------------
// Selection and saved states.

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
    HDC__* dc = LiveDC(hdc);
    HGDIOBJ__* o = LiveObject(h);
    if (!dc || !o)
        return NULL;
    auto swap = [&](ObjRef& slot) -> HGDIOBJ {
        HGDIOBJ__* old = slot.get();
        slot = ObjRef(o);
        return old;
    };
    switch (o->kind) {
    case Kind::Pen:
        return swap(dc->st.pen);
    case Kind::Brush:
        return swap(dc->st.brush);
    case Kind::Font:
        return swap(dc->st.font);
    case Kind::Bitmap: {
        if (!dc->memory || (o->selectedInto && o->selectedInto != dc))
            return NULL; // a bitmap lives in one memory context at a time
        HGDIOBJ__* old = dc->st.bitmap.get();
        if (old && old->selectedInto == dc)
            old->selectedInto = nullptr;
        dc->st.bitmap = ObjRef(o);
        RebindBitmap(*dc);
        return old;
    }
    case Kind::Region:
        return reinterpret_cast<HGDIOBJ>((INT_PTR)SelectClipRgn(hdc, h));
    case Kind::Palette:
        return NULL; // palettes go through SelectPalette
    }
    return NULL;
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
    HDC__* dc = LiveDC(hdc);
    if (!dc)
        return NULL;
    switch (type) {
    case OBJ_PEN:
        return dc->st.pen.get();
    case OBJ_BRUSH:
        return dc->st.brush.get();
    case OBJ_FONT:
        return dc->st.font.get();
    case OBJ_BITMAP:
        return dc->st.bitmap.get();
    case OBJ_PAL:
        return dc->st.palette.get();
    default:
        return NULL;
    }
}

int SaveDC(HDC hdc) {
    HDC__* dc = LiveDC(hdc);
    if (!dc)
        return 0;
    dc->saved.push_back(dc->st);
    return (int)dc->saved.size();
}

BOOL RestoreDC(HDC hdc, int nSavedDC) {
    HDC__* dc = LiveDC(hdc);
    if (!dc || nSavedDC == 0)
        return FALSE;
    int level = nSavedDC > 0 ? nSavedDC : (int)dc->saved.size() + nSavedDC + 1;
    if (level < 1 || level > (int)dc->saved.size())
        return FALSE;
    // The bitmap lets go of the context first: dropping the states may free it (deleted while
    // selected). A restored bitmap is claimed again below.
    if (HGDIOBJ__* bm = dc->st.bitmap.get(); bm && bm->selectedInto == dc)
        bm->selectedInto = nullptr;
    dc->st = std::move(dc->saved[(size_t)level - 1]);
    dc->saved.resize((size_t)level - 1);
    if (dc->memory)
        RebindBitmap(*dc);
    else
        UpdateClip(*dc);
    return TRUE;
}

// ---------------------------------------------------------------------------
// Colours and modes.

namespace {
// Colours and modes change only what is drawn next: text held back keeps its own.
template <class T, class V> V SetField(HDC hdc, T kel::gdi::DCState::*field, T value, V fail) {
    HDC__* dc = LiveDCKeepingText(hdc);
    if (!dc)
        return fail;
    T old = dc->st.*field;
    dc->st.*field = value;
    return (V)old;
}
template <class T, class V> V GetField(HDC hdc, T kel::gdi::DCState::*field, V fail) {
    HDC__* dc = LiveDCKeepingText(hdc);
    return dc ? (V)(dc->st.*field) : fail;
}
} // namespace

COLORREF SetTextColor(HDC hdc, COLORREF c) {
    return SetField(hdc, &DCState::text, c, (COLORREF)CLR_INVALID);
}
COLORREF GetTextColor(HDC hdc) {
    return GetField(hdc, &DCState::text, (COLORREF)CLR_INVALID);
}
COLORREF SetBkColor(HDC hdc, COLORREF c) {
    return SetField(hdc, &DCState::bk, c, (COLORREF)CLR_INVALID);
}
COLORREF GetBkColor(HDC hdc) {
    return GetField(hdc, &DCState::bk, (COLORREF)CLR_INVALID);
}

int SetBkMode(HDC hdc, int mode) {
    if (mode != TRANSPARENT && mode != OPAQUE)
        return 0;
    return SetField(hdc, &DCState::bkMode, mode, 0);
}
int GetBkMode(HDC hdc) {
    return GetField(hdc, &DCState::bkMode, 0);
}

UINT SetTextAlign(HDC hdc, UINT align) {
    return SetField(hdc, &DCState::align, align, (UINT)GDI_ERROR);
}
UINT GetTextAlign(HDC hdc) {
    return GetField(hdc, &DCState::align, (UINT)GDI_ERROR);
}

int SetROP2(HDC hdc, int rop2) {
    if (rop2 < R2_BLACK || rop2 > R2_WHITE)
        return 0;
    return SetField(hdc, &DCState::rop2, rop2, 0);
}
int GetROP2(HDC hdc) {
    return GetField(hdc, &DCState::rop2, 0);
}

int SetStretchBltMode(HDC hdc, int mode) {
    if (mode < BLACKONWHITE || mode > HALFTONE)
        return 0;
    return SetField(hdc, &DCState::stretchMode, mode, 0);
}
int GetStretchBltMode(HDC hdc) {
    return GetField(hdc, &DCState::stretchMode, 0);
}

// ---------------------------------------------------------------------------
// Coordinates.

BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
    return SetOrg(hdc, x, y, lppt, &DCState::viewportOrg, false);
}
BOOL GetViewportOrgEx(HDC hdc, LPPOINT lppoint) {
    return GetOrg(hdc, lppoint, &DCState::viewportOrg);
}
BOOL OffsetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
    return SetOrg(hdc, x, y, lppt, &DCState::viewportOrg, true);
}
BOOL SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
    return SetOrg(hdc, x, y, lppt, &DCState::windowOrg, false);
}
BOOL GetWindowOrgEx(HDC hdc, LPPOINT lppoint) {
    return GetOrg(hdc, lppoint, &DCState::windowOrg);
}
BOOL OffsetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
    return SetOrg(hdc, x, y, lppt, &DCState::windowOrg, true);
}
BOOL SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
    return SetOrg(hdc, x, y, lppt, &DCState::brushOrg, false);
}
BOOL GetBrushOrgEx(HDC hdc, LPPOINT lppt) {
    return GetOrg(hdc, lppt, &DCState::brushOrg);
}

BOOL LPtoDP(HDC hdc, LPPOINT lppt, int c) {
    HDC__* dc = LiveDC(hdc);
    if (!dc || (!lppt && c > 0))
        return FALSE;
    for (int i = 0; i < c; ++i) {
        lppt[i].x += dc->st.viewportOrg.x - dc->st.windowOrg.x;
        lppt[i].y += dc->st.viewportOrg.y - dc->st.windowOrg.y;
    }
    return TRUE;
}

BOOL DPtoLP(HDC hdc, LPPOINT lppt, int c) {
    HDC__* dc = LiveDC(hdc);
    if (!dc || (!lppt && c > 0))
        return FALSE;
    for (int i = 0; i < c; ++i) {
        lppt[i].x -= dc->st.viewportOrg.x - dc->st.windowOrg.x;
        lppt[i].y -= dc->st.viewportOrg.y - dc->st.windowOrg.y;
    }
    return TRUE;
}

// ---------------------------------------------------------------------------
// Clipping.

int SelectClipRgn(HDC hdc, HRGN hrgn) {
    return ExtSelectClipRgn(hdc, hrgn, RGN_COPY);
}

int ExtSelectClipRgn(HDC hdc, HRGN hrgn, int mode) {
    HDC__* dc = LiveDC(hdc);
    if (!dc)
        return ERROR;
    HGDIOBJ__* rgn = LiveObject(hrgn, Kind::Region);
    if (!rgn) {
        if (hrgn || mode != RGN_COPY)
            return ERROR;
        return SetUserClip(*dc, nullptr);
    }
    if (mode == RGN_COPY)
        return SetUserClip(*dc, CopyRegion(rgn->region.get()));
    RegionPtr r = CurrentUserClip(*dc);
    if (!CombineRegion(r.get(), rgn->region.get(), mode))
        return ERROR;
    return SetUserClip(*dc, std::move(r));
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
    HDC__* dc = LiveDC(hdc);
    if (!dc)
        return ERROR;
    RegionPtr r = CurrentUserClip(*dc);
    cairo_rectangle_int_t rc = DeviceRect(*dc, left, top, right, bottom);
    cairo_region_intersect_rectangle(r.get(), &rc);
    return SetUserClip(*dc, std::move(r));
}

int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom) {
    HDC__* dc = LiveDC(hdc);
    if (!dc)
        return ERROR;
    RegionPtr r = CurrentUserClip(*dc);
    cairo_rectangle_int_t rc = DeviceRect(*dc, left, top, right, bottom);
    cairo_region_subtract_rectangle(r.get(), &rc);
    return SetUserClip(*dc, std::move(r));
}

int GetClipBox(HDC hdc, LPRECT lprect) {
    HDC__* dc = LiveDC(hdc);
    if (!dc || !lprect)
        return ERROR;
    cairo_rectangle_int_t e;
    cairo_region_get_extents(dc->clip.get(), &e);
    if (e.width <= 0 || e.height <= 0) {
        *lprect = RECT{0, 0, 0, 0};
        return NULLREGION;
    }
    *lprect = RECT{e.x - dc->OffX(), e.y - dc->OffY(), e.x + e.width - dc->OffX(),
                   e.y + e.height - dc->OffY()};
    return RegionType(dc->clip.get());
}

int GetClipRgn(HDC hdc, HRGN hrgn) {
    HDC__* dc = LiveDC(hdc);
    HGDIOBJ__* rgn = LiveObject(hrgn, Kind::Region);
    if (!dc || !rgn)
        return -1;
    if (!dc->st.userClip)
        return 0;
    rgn->region = CopyRegion(dc->st.userClip.get());
    return 1;
}

BOOL PtVisible(HDC hdc, int x, int y) {
    HDC__* dc = LiveDC(hdc);
    return dc && cairo_region_contains_point(dc->clip.get(), x + dc->OffX(), y + dc->OffY());
}

BOOL RectVisible(HDC hdc, LPCRECT lprect) {
    HDC__* dc = LiveDC(hdc);
    if (!dc || !lprect)
        return FALSE;
    CRect r(lprect);
    r.NormalizeRect();
    if (r.IsRectEmpty())
        return FALSE;
    cairo_rectangle_int_t rc = MakeRect(r.left + dc->OffX(), r.top + dc->OffY(),
                                        r.right + dc->OffX(), r.bottom + dc->OffY());
    return cairo_region_contains_rectangle(dc->clip.get(), &rc) != CAIRO_REGION_OVERLAP_OUT;
}

// ---------------------------------------------------------------------------
// Device capabilities and palettes.

int GetDeviceCaps(HDC hdc, int index) {
    if (!LiveDC(hdc))
        return 0;
    switch (index) {
    case DRIVERVERSION:
        return 0x4000;
    case TECHNOLOGY:
        return DT_RASDISPLAY;
    case HORZSIZE:
        return (int)std::lround(GetSystemMetrics(SM_CXSCREEN) * 25.4 / g_dpi);
    case VERTSIZE:
        return (int)std::lround(GetSystemMetrics(SM_CYSCREEN) * 25.4 / g_dpi);
    case HORZRES:
        return GetSystemMetrics(SM_CXSCREEN);
    case VERTRES:
        return GetSystemMetrics(SM_CYSCREEN);
    case BITSPIXEL:
        return 32;
    case PLANES:
        return 1;
    case NUMBRUSHES:
    case NUMPENS:
    case NUMCOLORS:
        return -1;
    case NUMFONTS:
        return 0;
    case RASTERCAPS:
        return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_STRETCHBLT;
    case LOGPIXELSX:
    case LOGPIXELSY:
        return g_dpi;
    case SIZEPALETTE:
    case NUMRESERVED:
        return 0;
    case COLORRES:
        return 24;
    default:
        return 0;
    }
}

HPALETTE SelectPalette(HDC hdc, HPALETTE hPal, BOOL bForceBkgd) {
    (void)bForceBkgd; // there is no system palette to compete for
    HDC__* dc = LiveDC(hdc);
    HGDIOBJ__* pal = LiveObject(hPal, Kind::Palette);
    if (!dc || !pal)
        return NULL;
    HGDIOBJ__* old = dc->st.palette.get();
    dc->st.palette = ObjRef(pal);
    return old;
}

UINT RealizePalette(HDC hdc) {
    return LiveDC(hdc) ? 0 : GDI_ERROR;
}
