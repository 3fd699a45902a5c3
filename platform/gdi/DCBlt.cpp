// Block transfers and single pixels: PatBlt, BitBlt, StretchBlt, GetPixel, SetPixel.
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/GdiFunctions.h"

#include <cstdlib>

using namespace kel::gdi;

namespace {

// Whether a raster operation reads the source or the pattern: its truth table changes when
// that input flips.
bool UsesSource(DWORD rop) {
    unsigned t = (rop >> 16) & 0xFF;
    return ((t >> 2) & 0x33) != (t & 0x33);
}
bool UsesPattern(DWORD rop) {
    unsigned t = (rop >> 16) & 0xFF;
    return ((t >> 4) & 0x0F) != (t & 0x0F);
}

// Copies the pixels of src (at sx, sy) into a new image of the area's size.
SurfacePtr Snapshot(cairo_surface_t* src, int sx, int sy, int w, int h) {
    SurfacePtr img = NewImage(w, h);
    cairo_surface_flush(src);
    ContextPtr cr(cairo_create(img.get()));
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr.get(), src, -sx, -sy);
    cairo_paint(cr.get());
    cairo_surface_flush(img.get());
    return img;
}

struct Source {
    cairo_surface_t* surface; // pixels to copy, in its own coordinates
    int x, y;                 // where the copy starts in it
    int width, height;        // its size: pixels outside are not copied
    bool mono;
    COLORREF bk; // the source context's background colour (colour to monochrome)
};

// Copies a w x h block from src to the surface point (dx, dy) of dst, combining by rop.
void Blit(HDC__& dst, int dx, int dy, int w, int h, const Source& src, DWORD rop) {
    // Only the part whose source pixels exist is copied.
    int l = std::max(dx, dx - src.x), t = std::max(dy, dy - src.y);
    int r = std::min(dx + w, dx + (src.width - src.x)),
        b = std::min(dy + h, dy + (src.height - src.y));
    if (l >= r || t >= b)
        return;
    int sx = src.x + (l - dx), sy = src.y + (t - dy);
    bool dstMono = IsMono(dst);
    bool convert = src.mono != dstMono;
    if (rop == SRCCOPY && !convert) {
        SurfacePtr copy;
        cairo_surface_t* from = src.surface;
        int fx = sx, fy = sy;
        if (from == dst.surface.get()) { // overlapping copy on one surface
            copy = Snapshot(from, sx, sy, r - l, b - t);
            from = copy.get();
            fx = fy = 0;
        }
        cairo_surface_flush(from);
        cairo_t* cr = dst.cr.get();
        cairo_save(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(cr, from, l - fx, t - fy);
        cairo_rectangle(cr, l, t, r - l, b - t);
        cairo_fill(cr);
        cairo_restore(cr);
        return;
    }
    SurfacePtr img = Snapshot(src.surface, sx, sy, r - l, b - t);
    const unsigned char* data = cairo_image_surface_get_data(img.get());
    int stride = cairo_image_surface_get_stride(img.get());
    uint32_t fore = ToPixel(Resolve(dst, dst.st.text)), back = ToPixel(Resolve(dst, dst.st.bk));
    uint32_t srcBk = ToPixel(src.bk) & 0xFFFFFF;
    BrushSampler brush(dst, dst.st.brush.get());
    bool pattern = UsesPattern(rop);
    ForEachPixel(dst, MakeRect(l, t, r, b), nullptr, [&](uint32_t& px, int x, int y) {
        uint32_t s = reinterpret_cast<const uint32_t*>(data + (size_t)(y - t) * stride)[x - l];
        if (convert) {
            if (src.mono) // black takes the text colour, white the background colour
                s = (s & 0xFFFFFF) ? back : fore;
            else // the source's background colour becomes white, the rest black
                s = (s & 0xFFFFFF) == srcBk ? 0xFFFFFFFFu : 0xFF000000u;
        }
        uint32_t p = 0;
        if (pattern) {
            COLORREF c;
            p = brush.At(x, y, c) ? ToPixel(c) : px;
        }
        px = Rop3(rop, p, s, px);
    });
}

} // namespace

BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
    HDC__* dc = LiveDC(hdc);
    if (!dc || UsesSource(rop))
        return FALSE;
    if (w < 0) {
        x += w;
        w = -w;
    }
    if (h < 0) {
        y += h;
        h = -h;
    }
    if (w == 0 || h == 0)
        return TRUE;
    int l = x + dc->OffX(), t = y + dc->OffY();
    BrushSampler brush(*dc, dc->st.brush.get());
    if (rop == BLACKNESS || rop == WHITENESS) {
        FillSurfaceRect(*dc, l, t, l + w, t + h, Resolve(*dc, rop == BLACKNESS ? 0 : 0xFFFFFF));
        return TRUE;
    }
    if (rop == PATCOPY && brush.IsSolid() && !brush.IsNull()) {
        FillSurfaceRect(*dc, l, t, l + w, t + h, brush.Solid());
        return TRUE;
    }
    bool pattern = UsesPattern(rop);
    if (pattern && brush.IsNull())
        return TRUE; // a hollow brush paints nothing
    ForEachPixel(*dc, MakeRect(l, t, l + w, t + h), nullptr, [&](uint32_t& px, int sx, int sy) {
        COLORREF c = 0;
        if (pattern && !brush.At(sx, sy, c))
            return;
        px = Rop3(rop, ToPixel(c), 0, px);
    });
    return TRUE;
}

BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
    if (!UsesSource(rop))
        return PatBlt(hdc, x, y, cx, cy, rop);
    HDC__* dc = LiveDC(hdc);
    HDC__* src = LiveDC(hdcSrc);
    if (!dc || !src)
        return FALSE;
    if (cx <= 0 || cy <= 0)
        return TRUE;
    Source s{src->surface.get(), x1 + src->OffX(), y1 + src->OffY(),         src->width,
             src->height,        IsMono(*src),     Resolve(*src, src->st.bk)};
    Blit(*dc, x + dc->OffX(), y + dc->OffY(), cx, cy, s, rop);
    return TRUE;
}

BOOL StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc,
                int ySrc, int wSrc, int hSrc, DWORD rop) {
    if (!UsesSource(rop))
        return PatBlt(hdcDest, xDest, yDest, wDest, hDest, rop);
    HDC__* dc = LiveDC(hdcDest);
    HDC__* src = LiveDC(hdcSrc);
    if (!dc || !src)
        return FALSE;
    if (wDest == 0 || hDest == 0 || wSrc == 0 || hSrc == 0)
        return TRUE;
    if (wDest == wSrc && hDest == hSrc && wDest > 0 && hDest > 0)
        return BitBlt(hdcDest, xDest, yDest, wDest, hDest, hdcSrc, xSrc, ySrc, rop);
    // Scale the source block (mirrored where the signs differ) into an image of the
    // destination's size, then copy that.
    int w = std::abs(wDest), h = std::abs(hDest);
    int dx = wDest < 0 ? xDest + wDest + 1 : xDest, dy = hDest < 0 ? yDest + hDest + 1 : yDest;
    bool flipX = (wDest < 0) != (wSrc < 0), flipY = (hDest < 0) != (hSrc < 0);
    double sx = (double)std::abs(wSrc) / w, sy = (double)std::abs(hSrc) / h;
    int srcLeft = (wSrc < 0 ? xSrc + wSrc + 1 : xSrc) + src->OffX();
    int srcTop = (hSrc < 0 ? ySrc + hSrc + 1 : ySrc) + src->OffY();
    SurfacePtr img = NewImage(w, h);
    cairo_surface_flush(src->surface.get());
    {
        ContextPtr cr(cairo_create(img.get()));
        cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
        if (flipX) {
            cairo_translate(cr.get(), w, 0);
            cairo_scale(cr.get(), -1, 1);
        }
        if (flipY) {
            cairo_translate(cr.get(), 0, h);
            cairo_scale(cr.get(), 1, -1);
        }
        cairo_scale(cr.get(), 1 / sx, 1 / sy);
        cairo_set_source_surface(cr.get(), src->surface.get(), -srcLeft, -srcTop);
        cairo_pattern_set_filter(cairo_get_source(cr.get()), dc->st.stretchMode == HALFTONE
                                                                 ? CAIRO_FILTER_GOOD
                                                                 : CAIRO_FILTER_NEAREST);
        cairo_paint(cr.get());
    }
    cairo_surface_flush(img.get());
    Source s{img.get(), 0, 0, w, h, IsMono(*src), Resolve(*src, src->st.bk)};
    Blit(*dc, dx + dc->OffX(), dy + dc->OffY(), w, h, s, rop);
    return TRUE;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
    HDC__* dc = LiveDC(hdc);
    if (!dc)
        return CLR_INVALID;
    int sx = x + dc->OffX(), sy = y + dc->OffY();
    if (!cairo_region_contains_point(dc->clip.get(), sx, sy))
        return CLR_INVALID;
    cairo_surface_flush(dc->surface.get());
    cairo_rectangle_int_t one{sx, sy, 1, 1};
    cairo_surface_t* img = cairo_surface_map_to_image(dc->surface.get(), &one);
    uint32_t px = *reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(img));
    cairo_surface_unmap_image(dc->surface.get(), img);
    return FromPixel(px);
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
    HDC__* dc = LiveDC(hdc);
    if (!dc)
        return (COLORREF)-1;
    int sx = x + dc->OffX(), sy = y + dc->OffY();
    if (!cairo_region_contains_point(dc->clip.get(), sx, sy))
        return (COLORREF)-1;
    COLORREF c = Resolve(*dc, color);
    ForEachPixel(*dc, MakeRect(sx, sy, sx + 1, sy + 1), nullptr,
                 [&](uint32_t& px, int, int) { px = ToPixel(c); });
    return c;
}

BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color) {
    return SetPixel(hdc, x, y, color) != (COLORREF)-1;
}
