// Per-pixel drawing: raster operations, brush patterns and masked shapes.
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/SystemColors.h"

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

void FillSurfaceRect(HDC__& dc, int l, int t, int r, int b, COLORREF c) {
    if (l >= r || t >= b)
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
