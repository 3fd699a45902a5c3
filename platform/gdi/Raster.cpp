// Per-pixel drawing: raster operations, brush patterns and masked shapes.
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/SystemColors.h"

#include <pixman.h>

#include <algorithm>
#include <climits>

namespace kel::gdi {

namespace {
// 8 x 8 hatch patterns, one byte a row, most significant bit leftmost.
constexpr uint8_t kHatch[6][8] = {
    {0xFF, 0, 0, 0, 0, 0, 0, 0},                      // HS_HORIZONTAL
    {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80}, // HS_VERTICAL
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01}, // HS_FDIAGONAL
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80}, // HS_BDIAGONAL
    {0xFF, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80}, // HS_CROSS
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81}, // HS_DIAGCROSS
};

int Mod(int a, int m) {
    int r = a % m;
    return r < 0 ? r + m : r;
}
} // namespace

BrushSampler::BrushSampler(const HDC__& dc, const HGDIOBJ__* brush) {
    if (!brush || brush->brush.lbStyle == BS_NULL) {
        m_null = true;
        return;
    }
    m_orgX = dc.origin.x + dc.st.brushOrg.x;
    m_orgY = dc.origin.y + dc.st.brushOrg.y;
    const LOGBRUSH& lb = brush->brush;
    COLORREF c = brush->sysColor >= 0 ? GetSysColor(brush->sysColor) : lb.lbColor;
    switch (lb.lbStyle) {
    case BS_HATCHED:
        m_solid = false;
        m_hatch = (int)lb.lbHatch;
        m_fore = Resolve(dc, c);
        m_back = Resolve(dc, dc.st.bk);
        m_transparentBack = dc.st.bkMode == TRANSPARENT;
        break;
    case BS_PATTERN:
        m_solid = false;
        m_brush = brush;
        m_fore = Resolve(dc, dc.st.text); // a monochrome pattern's black pixels
        m_back = Resolve(dc, dc.st.bk);   // and its white ones
        break;
    default:
        m_color = Resolve(dc, c);
        break;
    }
}

bool BrushSampler::At(int sx, int sy, COLORREF& c) const {
    if (m_null)
        return false;
    if (m_solid) {
        c = m_color;
        return true;
    }
    if (m_hatch >= 0) {
        int x = Mod(sx - m_orgX, 8), y = Mod(sy - m_orgY, 8);
        bool on = m_hatch < 6 && ((kHatch[m_hatch][y] >> (7 - x)) & 1);
        if (!on && m_transparentBack)
            return false;
        c = on ? m_fore : m_back;
        return true;
    }
    cairo_surface_t* s = m_brush->pattern.get();
    int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    int x = Mod(sx - m_orgX, w), y = Mod(sy - m_orgY, h);
    const unsigned char* data = cairo_image_surface_get_data(s);
    uint32_t px =
        reinterpret_cast<const uint32_t*>(data + (size_t)y * cairo_image_surface_get_stride(s))[x];
    c = FromPixel(px);
    if (m_brush->patternMono)
        c = (px & 0xFFFFFF) ? m_back : m_fore;
    return true;
}

SurfacePtr BrushSampler::Tile(int& orgX, int& orgY) const {
    int w = 8, h = 8;
    if (!m_solid && m_hatch < 0 && m_brush) {
        w = cairo_image_surface_get_width(m_brush->pattern.get());
        h = cairo_image_surface_get_height(m_brush->pattern.get());
    }
    SurfacePtr tile(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h));
    cairo_surface_flush(tile.get());
    unsigned char* data = cairo_image_surface_get_data(tile.get());
    const int stride = cairo_image_surface_get_stride(tile.get());
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < w; ++x) {
            COLORREF c = 0;
            row[x] = At(m_orgX + x, m_orgY + y, c) ? (ToPixel(c) | 0xFF000000u) : 0u;
        }
    }
    cairo_surface_mark_dirty(tile.get());
    orgX = m_orgX;
    orgY = m_orgY;
    return tile;
}

uint32_t Rop2(int rop2, uint32_t p, uint32_t d) {
    unsigned t = (unsigned)(rop2 - 1);
    uint32_t r = 0;
    if (t & 1)
        r |= ~p & ~d;
    if (t & 2)
        r |= ~p & d;
    if (t & 4)
        r |= p & ~d;
    if (t & 8)
        r |= p & d;
    return 0xFF000000u | (r & 0xFFFFFFu);
}

uint32_t Rop3(DWORD rop, uint32_t p, uint32_t s, uint32_t d) {
    unsigned table = (rop >> 16) & 0xFF;
    uint32_t r = 0;
    for (unsigned i = 0; i < 8; ++i) {
        if ((table >> i) & 1)
            r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    }
    return 0xFF000000u | (r & 0xFFFFFFu);
}

void ForEachPixelImpl(HDC__& dc, cairo_rectangle_int_t area, cairo_surface_t* mask,
                      void (*fn)(void*, uint32_t&, int, int), void* ctx) {
    if (area.width <= 0 || area.height <= 0)
        return;
    RegionPtr r(cairo_region_create_rectangle(&area));
    cairo_region_intersect(r.get(), dc.clip.get());
    if (cairo_region_is_empty(r.get()))
        return;
    cairo_rectangle_int_t ext;
    cairo_region_get_extents(r.get(), &ext);
    cairo_surface_flush(dc.surface.get());
    cairo_surface_t* img = cairo_surface_map_to_image(dc.surface.get(), &ext);
    cairo_format_t fmt = cairo_image_surface_get_format(img);
    if (fmt == CAIRO_FORMAT_RGB24 || fmt == CAIRO_FORMAT_ARGB32) {
        unsigned char* data = cairo_image_surface_get_data(img);
        int stride = cairo_image_surface_get_stride(img);
        const unsigned char* mdata = nullptr;
        int mstride = 0;
        if (mask) {
            cairo_surface_flush(mask);
            mdata = cairo_image_surface_get_data(mask);
            mstride = cairo_image_surface_get_stride(mask);
        }
        int n = cairo_region_num_rectangles(r.get());
        for (int i = 0; i < n; ++i) {
            cairo_rectangle_int_t rc;
            cairo_region_get_rectangle(r.get(), i, &rc);
            for (int y = rc.y; y < rc.y + rc.height; ++y) {
                auto* row = reinterpret_cast<uint32_t*>(data + (size_t)(y - ext.y) * stride);
                const unsigned char* mrow =
                    mdata ? mdata + (size_t)(y - area.y) * mstride : nullptr;
                for (int x = rc.x; x < rc.x + rc.width; ++x) {
                    if (mrow && mrow[x - area.x] < 128)
                        continue;
                    uint32_t& px = row[x - ext.x];
                    fn(ctx, px, x, y);
                    px |= 0xFF000000u;
                }
            }
        }
        cairo_surface_mark_dirty(img);
    }
    cairo_surface_unmap_image(dc.surface.get(), img);
}

void PaintShapeImpl(HDC__& dc, cairo_rectangle_int_t bounds, const BrushSampler& brush, int rop2,
                    void (*path)(void*, cairo_t*), void* ctx) {
    if (brush.IsNull() || rop2 == R2_NOP)
        return;
    if (brush.IsSolid() && rop2 == R2_COPYPEN) {
        cairo_t* cr = dc.cr.get();
        cairo_save(cr);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        SetSourceColor(cr, brush.Solid());
        cairo_new_path(cr);
        path(ctx, cr);
        cairo_fill(cr);
        cairo_restore(cr);
        return;
    }
    if (rop2 == R2_COPYPEN) {
        // A hatch or pattern copied as is: its tile repeats from the brush origin, and a
        // transparent hatch's gaps let the destination show.
        int orgX = 0, orgY = 0;
        SurfacePtr tile = brush.Tile(orgX, orgY);
        cairo_pattern_t* source = cairo_pattern_create_for_surface(tile.get());
        cairo_pattern_set_extend(source, CAIRO_EXTEND_REPEAT);
        cairo_pattern_set_filter(source, CAIRO_FILTER_NEAREST);
        cairo_matrix_t m;
        cairo_matrix_init_translate(&m, -orgX, -orgY);
        cairo_pattern_set_matrix(source, &m);
        cairo_t* cr = dc.cr.get();
        cairo_save(cr);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        cairo_set_source(cr, source);
        cairo_new_path(cr);
        path(ctx, cr);
        cairo_fill(cr);
        cairo_restore(cr);
        cairo_pattern_destroy(source);
        return;
    }
    cairo_rectangle_int_t all = MakeRect(0, 0, dc.width, dc.height);
    RegionPtr r(cairo_region_create_rectangle(&bounds));
    cairo_region_intersect_rectangle(r.get(), &all);
    cairo_rectangle_int_t area;
    cairo_region_get_extents(r.get(), &area);
    if (area.width <= 0 || area.height <= 0)
        return;
    SurfacePtr mask = RenderMask(area, [&](cairo_t* cr) { path(ctx, cr); });
    ForEachPixel(dc, area, mask.get(), [&](uint32_t& px, int x, int y) {
        COLORREF c;
        if (brush.At(x, y, c))
            px = Rop2(rop2, ToPixel(c), px);
    });
}

namespace {

// Whether the context's cairo context draws on its image as is and clips as the context's
// clip does. A clip set on it for a while (a text's cell) narrows its extents: a rectangle
// cut from a region that it does not wholly hold leaves smaller extents.
bool DrawsPlainly(const HDC__& dc, cairo_surface_t* s) {
    if (cairo_surface_get_type(s) != CAIRO_SURFACE_TYPE_IMAGE ||
        cairo_surface_status(s) != CAIRO_STATUS_SUCCESS)
        return false;
    const cairo_format_t format = cairo_image_surface_get_format(s);
    if (format != CAIRO_FORMAT_RGB24 && format != CAIRO_FORMAT_ARGB32)
        return false;
    double dx = 0, dy = 0;
    cairo_surface_get_device_offset(s, &dx, &dy);
    cairo_t* cr = dc.cr.get();
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    if (dx != 0 || dy != 0 || m.xx != 1 || m.yy != 1 || m.xy != 0 || m.yx != 0 || m.x0 != 0 ||
        m.y0 != 0)
        return false;
    cairo_rectangle_int_t e;
    cairo_region_get_extents(dc.clip.get(), &e);
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    cairo_clip_extents(cr, &x1, &y1, &x2, &y2);
    return x1 == e.x && y1 == e.y && x2 == e.x + e.width && y2 == e.y + e.height;
}

void FillPixels(uint32_t* data, int stride, const cairo_rectangle_int_t& r, uint32_t pixel) {
    if (pixman_fill(data, stride, 32, r.x, r.y, r.width, r.height, pixel))
        return;
    for (int y = r.y; y < r.y + r.height; ++y)
        std::fill_n(data + static_cast<size_t>(y) * stride + r.x, r.width, pixel);
}

// Runs write(data, stride, piece) on each piece of rects (surface pixels) inside the context's
// clip, on its image, and tells cairo what changed; false, with nothing written, where the
// context does not draw plainly.
template <class Write>
bool WriteClipped(HDC__& dc, const cairo_rectangle_int_t* rects, int n, Write write) {
    cairo_surface_t* s = dc.surface.get();
    if (!s || !DrawsPlainly(dc, s))
        return false;
    cairo_surface_flush(s);
    auto* data = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s));
    if (!data)
        return false;
    const int stride = cairo_image_surface_get_stride(s) / 4;
    cairo_region_t* clip = dc.clip.get();
    cairo_rectangle_int_t e;
    cairo_region_get_extents(clip, &e);
    const bool oneRect = cairo_region_num_rectangles(clip) == 1;
    int dl = INT_MAX, dt = INT_MAX, dr = INT_MIN, db = INT_MIN; // what was written
    auto piece = [&](const cairo_rectangle_int_t& r) {
        if (r.width <= 0 || r.height <= 0)
            return;
        write(data, stride, r);
        dl = std::min(dl, r.x);
        dt = std::min(dt, r.y);
        dr = std::max(dr, r.x + r.width);
        db = std::max(db, r.y + r.height);
    };
    for (int i = 0; i < n; ++i) {
        const cairo_rectangle_int_t& r = rects[i];
        if (oneRect) {
            const int l = std::max(r.x, e.x), t = std::max(r.y, e.y);
            const int rr = std::min(r.x + r.width, e.x + e.width);
            const int b = std::min(r.y + r.height, e.y + e.height);
            piece(MakeRect(l, t, rr, b));
            continue;
        }
        RegionPtr part(cairo_region_create_rectangle(&r));
        cairo_region_intersect(part.get(), clip);
        for (int k = 0; k < cairo_region_num_rectangles(part.get()); ++k) {
            cairo_rectangle_int_t p;
            cairo_region_get_rectangle(part.get(), k, &p);
            piece(p);
        }
    }
    if (dl < dr)
        cairo_surface_mark_dirty_rectangle(s, dl, dt, dr - dl, db - dt);
    return true;
}

} // namespace

// A SOURCE fill of an opaque colour on whole pixels, as cairo would make it, without cairo's
// state, path and compositing (some 7,000 instructions a fill, where a grid's borders and
// lines are a few dozen pixels each).
bool FillRectsDirect(HDC__& dc, const cairo_rectangle_int_t* rects, int n, COLORREF c) {
    const uint32_t pixel = ToPixel(c);
    return WriteClipped(dc, rects, n,
                        [&](uint32_t* data, int stride, const cairo_rectangle_int_t& r) {
                            FillPixels(data, stride, r, pixel);
                        });
}

bool FillTileDirect(HDC__& dc, const cairo_rectangle_int_t& rect, cairo_surface_t* tile, int orgX,
                    int orgY) {
    cairo_surface_flush(tile);
    const int w = cairo_image_surface_get_width(tile), h = cairo_image_surface_get_height(tile);
    const unsigned char* bits = cairo_image_surface_get_data(tile);
    const int tileStride = cairo_image_surface_get_stride(tile);
    if (!bits || w <= 0 || h <= 0 || cairo_image_surface_get_format(tile) != CAIRO_FORMAT_ARGB32)
        return false;
    auto tileRow = [&](int y) {
        return reinterpret_cast<const uint32_t*>(bits + static_cast<size_t>(y) * tileStride);
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if ((tileRow(y)[x] >> 24) != 0xFF)
                return false; // see-through: cairo lays it over what is there
    std::vector<uint32_t> rows;
    return WriteClipped(
        dc, &rect, 1, [&](uint32_t* data, int stride, const cairo_rectangle_int_t& r) {
            // Each of the tile's rows laid along the piece once, then copied
            // down every row it falls on.
            rows.resize(static_cast<size_t>(r.width) * h);
            for (int ty = 0; ty < h; ++ty)
                for (int x = 0; x < r.width; ++x)
                    rows[static_cast<size_t>(ty) * r.width + x] =
                        tileRow(ty)[Mod(r.x + x - orgX, w)];
            for (int y = r.y; y < r.y + r.height; ++y)
                std::copy_n(rows.data() + static_cast<size_t>(Mod(y - orgY, h)) * r.width, r.width,
                            data + static_cast<size_t>(y) * stride + r.x);
        });
}

void FillSurfaceRect(HDC__& dc, int l, int t, int r, int b, COLORREF c) {
    if (l >= r || t >= b)
        return;
    const cairo_rectangle_int_t rect = MakeRect(l, t, r, b);
    if (FillRectsDirect(dc, &rect, 1, c))
        return;
    cairo_t* cr = dc.cr.get();
    cairo_save(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    SetSourceColor(cr, c);
    cairo_rectangle(cr, l, t, r - l, b - t);
    cairo_fill(cr);
    cairo_restore(cr);
}

} // namespace kel::gdi
