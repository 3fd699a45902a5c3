// A device context over an image surface whose pixels the tests read back.
#pragma once

#include "platform/gdi/Gdi.h"

#include <cairo.h>

#include <memory>

class Canvas {
public:
    Canvas(int cx, int cy, COLORREF fill = RGB(255, 255, 255), POINT origin = {0, 0},
           const cairo_region_t* clip = nullptr)
        : m_surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, cx, cy)) {
        cairo_t* cr = cairo_create(m_surface);
        cairo_set_source_rgb(cr, GetRValue(fill) / 255.0, GetGValue(fill) / 255.0,
                             GetBValue(fill) / 255.0);
        cairo_paint(cr);
        cairo_destroy(cr);
        dc.Attach(KelCreateSurfaceDC(m_surface, origin, clip));
    }
    ~Canvas() {
        KelDeleteSurfaceDC(dc.Detach());
        cairo_surface_destroy(m_surface);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // The colour of a surface pixel.
    COLORREF At(int x, int y) const {
        GdiFlush(); // the pixels are read outside the context: text it holds back first
        cairo_surface_flush(m_surface);
        const unsigned char* data = cairo_image_surface_get_data(m_surface);
        uint32_t px = reinterpret_cast<const uint32_t*>(
            data + (size_t)y * cairo_image_surface_get_stride(m_surface))[x];
        return RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF);
    }
    int Width() const { return cairo_image_surface_get_width(m_surface); }
    int Height() const { return cairo_image_surface_get_height(m_surface); }

    // The smallest rectangle holding every pixel that differs from bg; empty when none does.
    CRect Ink(COLORREF bg, CRect area = CRect()) const {
        if (area.IsRectEmpty())
            area = CRect(0, 0, Width(), Height());
        CRect r(INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN);
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (At(x, y) != bg) {
                    r.left = std::min<LONG>(r.left, x);
                    r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x + 1);
                    r.bottom = std::max<LONG>(r.bottom, y + 1);
                }
        return r.left == INT32_MAX ? CRect() : r;
    }
    int Count(COLORREF c) const {
        int n = 0;
        for (int y = 0; y < Height(); ++y)
            for (int x = 0; x < Width(); ++x)
                n += At(x, y) == c;
        return n;
    }
    cairo_surface_t* Surface() const { return m_surface; }

private:
    cairo_surface_t* m_surface;

public:
    CDC dc;
};
