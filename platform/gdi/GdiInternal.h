// Inside the drawing layer: the records behind HDC and HGDIOBJ, the registry that owns them,
// and the helpers the drawing files share. Not a public header.
#pragma once

#include "platform/gdi/GdiDefs.h"

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

class CGdiObject;
class CDC;
namespace kel::gdi {
class FontInstance;
}

namespace kel::gdi {

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
    void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};
struct RegionDeleter {
    void operator()(cairo_region_t* r) const { cairo_region_destroy(r); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using ContextPtr = std::unique_ptr<cairo_t, ContextDeleter>;
using RegionPtr = std::unique_ptr<cairo_region_t, RegionDeleter>;

inline SurfacePtr RefSurface(cairo_surface_t* s) {
    return SurfacePtr(s ? cairo_surface_reference(s) : nullptr);
}
inline RegionPtr CopyRegion(const cairo_region_t* r) {
    return RegionPtr(r ? cairo_region_copy(r) : nullptr);
}
// A region value that copies with its owner (saved DC states).
struct Region {
    RegionPtr p;
    Region() = default;
    explicit Region(RegionPtr r) : p(std::move(r)) {}
    Region(const Region& o) : p(CopyRegion(o.p.get())) {}
    Region(Region&&) noexcept = default;
    Region& operator=(const Region& o) {
        if (this != &o)
            p = CopyRegion(o.p.get());
        return *this;
    }
    Region& operator=(Region&&) noexcept = default;
    cairo_region_t* get() const { return p.get(); }
    explicit operator bool() const { return p != nullptr; }
};

// A 32-bit bitmap image (RGB24), or a monochrome one kept as black and white pixels.
SurfacePtr NewImage(int cx, int cy);

// Colour conversions between COLORREF (0x00BBGGRR) and cairo's pixels (0xAARRGGBB).
inline uint32_t ToPixel(COLORREF c) {
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
inline COLORREF FromPixel(uint32_t p) {
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}
void SetSourceColor(cairo_t* cr, COLORREF c);
// A colour on a monochrome bitmap: white from mid-grey luminance up, black below.
inline COLORREF ToMono(COLORREF c) {
    int lum = (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100;
    return lum >= 128 ? RGB(255, 255, 255) : RGB(0, 0, 0);
}

enum class Kind {
    Pen = OBJ_PEN,
    Brush = OBJ_BRUSH,
    Font = OBJ_FONT,
    Bitmap = OBJ_BITMAP,
    Palette = OBJ_PAL,
    Region = OBJ_REGION
};

} // namespace kel::gdi

// A graphics object. Owned by the registry; the C++ wrapper owns the handle.
struct HGDIOBJ__ {
    explicit HGDIOBJ__(kel::gdi::Kind k) : kind(k) {}
    kel::gdi::Kind kind;
    bool stock = false;         // stock and system-colour objects are never freed
    bool deleted = false;       // DeleteObject came while selected: freed at the last release
    int refs = 0;               // selections by device contexts, current and saved
    HDC selectedInto = nullptr; // a bitmap's memory context

    CGdiObject* wrapper = nullptr; // the attached C++ object
    CGdiObject* temp = nullptr;    // the temporary wrapper FromHandle made

    LOGPEN pen{};
    LOGBRUSH brush{};
    int sysColor = -1;            // a system-colour brush: the colour index it follows
    kel::gdi::SurfacePtr pattern; // BS_PATTERN: a copy of the bitmap
    bool patternMono = false;
    LOGFONT font{};
    const kel::gdi::FontInstance* resolved = nullptr; // the cached font for this LOGFONT
    kel::gdi::SurfacePtr surface;                     // bitmaps
    bool mono = false;
    std::vector<PALETTEENTRY> palette;
    kel::gdi::RegionPtr region;

    int Width() const { return surface ? cairo_image_surface_get_width(surface.get()) : 0; }
    int Height() const { return surface ? cairo_image_surface_get_height(surface.get()) : 0; }
};

namespace kel::gdi {

// Counted use of an object by a device context.
void Acquire(HGDIOBJ__* o);
void Release(HGDIOBJ__* o);
class ObjRef {
public:
    ObjRef() = default;
    explicit ObjRef(HGDIOBJ__* o) : m_p(o) { Acquire(m_p); }
    ObjRef(const ObjRef& o) : m_p(o.m_p) { Acquire(m_p); }
    ObjRef(ObjRef&& o) noexcept : m_p(o.m_p) { o.m_p = nullptr; }
    ObjRef& operator=(const ObjRef& o) {
        ObjRef tmp(o);
        std::swap(m_p, tmp.m_p);
        return *this;
    }
    ObjRef& operator=(ObjRef&& o) noexcept {
        std::swap(m_p, o.m_p);
        return *this;
    }
    ~ObjRef() { Release(m_p); }
    HGDIOBJ__* get() const { return m_p; }
    HGDIOBJ__* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    HGDIOBJ__* m_p = nullptr;
};

// What SaveDC keeps.
struct DCState {
    ObjRef pen, brush, font, bitmap, palette;
    COLORREF text = RGB(0, 0, 0);
    COLORREF bk = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    UINT align = TA_LEFT | TA_TOP;
    int rop2 = R2_COPYPEN;
    int stretchMode = BLACKONWHITE;
    POINT pos{0, 0};
    POINT windowOrg{0, 0};
    POINT viewportOrg{0, 0};
    POINT brushOrg{0, 0};
    Region userClip; // device coordinates; empty: none
};

} // namespace kel::gdi

// A device context: a cairo context on a surface plus the state of the graphics interface.
struct HDC__ {
    bool memory = false;
    kel::gdi::SurfacePtr surface; // the target (a memory context: its bitmap's image)
    POINT origin{0, 0};           // where device (0, 0) lies on the surface
    kel::gdi::Region baseClip;    // surface coordinates; empty: the whole surface
    kel::gdi::DCState st;
    std::vector<kel::gdi::DCState> saved;
    kel::gdi::ContextPtr cr;
    kel::gdi::Region clip; // the effective clip in surface coordinates (always set)
    int width = 0;         // surface size
    int height = 0;

    CDC* wrapper = nullptr;
    CDC* temp = nullptr;

    // Logical to surface coordinates.
    int OffX() const { return origin.x + st.viewportOrg.x - st.windowOrg.x; }
    int OffY() const { return origin.y + st.viewportOrg.y - st.windowOrg.y; }
};

namespace kel::gdi {

// The registry. Lookups answer NULL for NULL, unknown or deleted handles, and after the
// registry is gone (static destruction), so late calls do nothing.
HGDIOBJ__* LiveObject(HGDIOBJ h);
HGDIOBJ__* LiveObject(HGDIOBJ h, Kind kind);
HGDIOBJ__* NewObject(Kind kind);
// A context's record. Text that DrawText keeps waiting (FlushPendingText) is drawn first, so
// that whatever the caller does with any context next comes after it.
HDC__* LiveDC(HDC h);
// The record without drawing the waiting text: for what only changes how later output looks.
HDC__* LiveDCKeepingText(HDC h);
HDC__* NewDC();
void FreeDC(HDC__* dc);
// Draws the text DrawText keeps waiting, if any (DCText.cpp).
void FlushPendingText();
HGDIOBJ__* StockObject(int i);
// The 1 x 1 monochrome bitmap a new memory context draws on.
HGDIOBJ__* DefaultBitmap();
// Temporary wrappers, freed together by DeleteTempMap.
void AdoptTempObject(std::unique_ptr<CGdiObject> wrapper);
void FreeTempObjects();
int TempObjectCount();
void AdoptTempDC(std::unique_ptr<CDC> wrapper);
void FreeTempDCs();

// Device context helpers (DCState.cpp).
// Recomputes the effective clip and installs it on the cairo context.
void UpdateClip(HDC__& dc);
// A COLORREF as drawn on this context: palette colours resolved, black or white on a
// monochrome bitmap.
COLORREF Resolve(const HDC__& dc, COLORREF c);
bool IsMono(const HDC__& dc);
inline cairo_rectangle_int_t MakeRect(int l, int t, int r, int b) {
    return cairo_rectangle_int_t{l, t, r - l, b - t};
}
// The same from two corners given in either order.
inline cairo_rectangle_int_t NormalRect(int l, int t, int r, int b) {
    if (l > r)
        std::swap(l, r);
    if (t > b)
        std::swap(t, b);
    return MakeRect(l, t, r, b);
}

// Regions (Regions.cpp), shared by region objects and clipping.
// NULLREGION (also for no region at all), SIMPLEREGION or COMPLEXREGION.
int RegionType(const cairo_region_t* r);
// dst = dst op src for RGN_AND, RGN_OR, RGN_XOR and RGN_DIFF; false for any other mode.
bool CombineRegion(cairo_region_t* dst, const cairo_region_t* src, int mode);

// Per-pixel drawing (Raster.cpp), for raster operations cairo has no operator for.
// A source of pattern colours (a brush) in surface coordinates.
class BrushSampler {
public:
    BrushSampler(const HDC__& dc, const HGDIOBJ__* brush);
    explicit BrushSampler(COLORREF solid) : m_color(solid) {}
    bool IsNull() const { return m_null; }
    bool IsSolid() const { return m_solid; }
    COLORREF Solid() const { return m_color; }
    // The brush colour at a surface pixel; false where a hatched brush is transparent.
    bool At(int sx, int sy, COLORREF& c) const;
    // One period of the brush as an image (transparent where At is false), and the surface
    // pixel its top-left corner lies on.
    SurfacePtr Tile(int& orgX, int& orgY) const;

private:
    bool m_null = false;
    bool m_solid = true;
    COLORREF m_color = 0;
    COLORREF m_fore = 0;
    COLORREF m_back = 0;
    bool m_transparentBack = false;
    int m_hatch = -1;
    const HGDIOBJ__* m_brush = nullptr;
    int m_orgX = 0, m_orgY = 0;
};

// Combines pen colour and destination by a ROP2 code, per byte.
uint32_t Rop2(int rop2, uint32_t pen, uint32_t dst);
// Combines pattern, source and destination by the truth table of a ROP3 (its bits 16..23).
uint32_t Rop3(DWORD rop, uint32_t pat, uint32_t src, uint32_t dst);

// Runs fn(pixel, sx, sy) on every pixel of area (surface coordinates) inside the clip and, when
// mask is given (an A8 image covering area), where the mask is set.
void ForEachPixelImpl(HDC__& dc, cairo_rectangle_int_t area, cairo_surface_t* mask,
                      void (*fn)(void*, uint32_t&, int, int), void* ctx);
template <class Fn>
void ForEachPixel(HDC__& dc, cairo_rectangle_int_t area, cairo_surface_t* mask, Fn fn) {
    ForEachPixelImpl(
        dc, area, mask,
        [](void* c, uint32_t& px, int x, int y) { (*static_cast<Fn*>(c))(px, x, y); }, &fn);
}

// A shape drawn with ANTIALIAS_NONE into an A8 mask covering area (surface coordinates);
// path adds the shape to the context in surface coordinates.
template <class PathFn> SurfacePtr RenderMask(cairo_rectangle_int_t area, PathFn path) {
    SurfacePtr m(cairo_image_surface_create(CAIRO_FORMAT_A8, area.width, area.height));
    ContextPtr cr(cairo_create(m.get()));
    cairo_translate(cr.get(), -area.x, -area.y);
    cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_NONE);
    path(cr.get());
    cairo_fill(cr.get());
    cairo_surface_flush(m.get());
    return m;
}

// Fills a shape (given by its path in surface coordinates, within bounds) with a brush under a
// ROP2. Solid colours with R2_COPYPEN go straight to cairo.
void PaintShapeImpl(HDC__& dc, cairo_rectangle_int_t bounds, const BrushSampler& brush, int rop2,
                    void (*path)(void*, cairo_t*), void* ctx);
template <class PathFn>
void PaintShape(HDC__& dc, cairo_rectangle_int_t bounds, const BrushSampler& brush, int rop2,
                PathFn path) {
    PaintShapeImpl(
        dc, bounds, brush, rop2, [](void* c, cairo_t* cr) { (*static_cast<PathFn*>(c))(cr); },
        &path);
}

// Fills a rectangle of surface pixels with a solid colour, clipped; R2_COPYPEN.
void FillSurfaceRect(HDC__& dc, int l, int t, int r, int b, COLORREF c);
// Fills rectangles of surface pixels with a solid colour under the context's clip, writing
// the image itself; false, with nothing drawn, where the context is not a plain image under
// its own clip (a clip or a transform set on its cairo context for a while), which cairo
// then fills.
bool FillRectsDirect(HDC__& dc, const cairo_rectangle_int_t* rects, int n, COLORREF c);
// The same with an opaque tile repeated from the surface pixel (orgX, orgY) (a brush's Tile);
// false too where the tile lets the destination show through anywhere.
bool FillTileDirect(HDC__& dc, const cairo_rectangle_int_t& rect, cairo_surface_t* tile, int orgX,
                    int orgY);

} // namespace kel::gdi
