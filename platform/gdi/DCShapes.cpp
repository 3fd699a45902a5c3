// Lines, shapes and rectangle fills, on the pixel rules of the classic look: one-pixel lines
// without antialiasing that leave out their end point, shapes that leave out their right and
// bottom edges.
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/GdiFunctions.h"
#include "platform/gdi/SystemColors.h"

#include <cmath>
#include <optional>

using namespace kel::gdi;

namespace {

// A brush handle, or a system colour index + 1 passed in its place (the system's idiom
// FillRect(hdc, &rc, (HBRUSH)(COLOR_WINDOW + 1))).
HGDIOBJ__* BrushFromHandle(HBRUSH hbr) {
    auto v = reinterpret_cast<uintptr_t>(hbr);
    if (v > 0 && v <= COLOR_MENUBAR + 1)
        return LiveObject(GetSysColorBrush((int)v - 1), Kind::Brush);
    return LiveObject(hbr, Kind::Brush);
}

struct Pixel {
    int x, y;
};

// On and off lengths of the cosmetic pen styles, in pixels.
const std::vector<int>& StylePattern(UINT style) {
    static const std::vector<int> solid, dash{18, 6}, dot{3, 3}, dashDot{9, 6, 3, 6},
        dashDotDot{9, 3, 3, 3, 3, 3};
    switch (style) {
    case PS_DASH:
        return dash;
    case PS_DOT:
        return dot;
    case PS_DASHDOT:
        return dashDot;
    case PS_DASHDOTDOT:
        return dashDotDot;
    default:
        return solid;
    }
}

// The pen of the context as it draws.
struct Pen {
    bool null = true;
    int width = 1;
    UINT style = PS_SOLID;
    COLORREF color = 0;
};

Pen CurrentPen(const HDC__& dc) {
    Pen p;
    const HGDIOBJ__* o = dc.st.pen.get();
    if (!o || o->pen.lopnStyle == PS_NULL)
        return p;
    p.null = false;
    p.width = std::max<LONG>(1, o->pen.lopnWidth.x);
    p.style = o->pen.lopnStyle;
    p.color = Resolve(dc, o->pen.lopnColor);
    if (p.width > 1 && p.style != PS_INSIDEFRAME)
        p.style = PS_SOLID; // wide pens draw solid
    return p;
}

// Pixels of a one-pixel line from a to b in surface coordinates, without b; split into the
// style's on and off pixels. phase carries the style position along a polyline.
void Bresenham(POINT a, POINT b, const std::vector<int>& pattern, int& phase,
               std::vector<Pixel>& on, std::vector<Pixel>& off) {
    int dx = std::abs(b.x - a.x), dy = std::abs(b.y - a.y);
    int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
    int err = dx - dy, x = a.x, y = a.y;
    int period = 0;
    for (int len : pattern)
        period += len;
    while (x != b.x || y != b.y) {
        bool isOn = true;
        if (period > 0) {
            int p = phase % period, k = 0;
            while (p >= pattern[(size_t)k]) {
                p -= pattern[(size_t)k];
                ++k;
            }
            isOn = (k % 2) == 0;
            ++phase;
        }
        (isOn ? on : off).push_back(Pixel{x, y});
        int e2 = 2 * err;
        if (e2 > -dy) {
            err -= dy;
            x += sx;
        }
        if (e2 < dx) {
            err += dx;
            y += sy;
        }
    }
}

// A rectangle of pixels a line covers: a run along a row or a column.
struct Run {
    int x, y, w, h;
};

// The run of a horizontal or vertical line from a to b, without b; nothing for a point.
std::optional<Run> AxisRun(POINT a, POINT b) {
    if (a.y == b.y && a.x != b.x)
        return a.x < b.x ? Run{a.x, a.y, b.x - a.x, 1} : Run{b.x + 1, a.y, a.x - b.x, 1};
    if (a.x == b.x && a.y != b.y)
        return a.y < b.y ? Run{a.x, a.y, 1, b.y - a.y} : Run{a.x, b.y + 1, 1, a.y - b.y};
    return std::nullopt;
}

// Single pixels joined into runs of neighbours.
void AppendRuns(const std::vector<Pixel>& px, std::vector<Run>& runs) {
    const size_t n = px.size();
    for (size_t i = 0; i < n;) {
        size_t j = i + 1;
        while (j < n && px[j].y == px[i].y && std::abs(px[j].x - px[j - 1].x) == 1)
            ++j;
        if (j > i + 1) {
            runs.push_back(Run{std::min(px[i].x, px[j - 1].x), px[i].y, (int)(j - i), 1});
        } else {
            while (j < n && px[j].x == px[i].x && std::abs(px[j].y - px[j - 1].y) == 1)
                ++j;
            runs.push_back(Run{px[i].x, std::min(px[i].y, px[j - 1].y), 1, (int)(j - i)});
        }
        i = j;
    }
}

// Paints runs of pixels in a colour under the context's ROP2.
void PaintRuns(HDC__& dc, const std::vector<Run>& runs, COLORREF color) {
    if (runs.empty())
        return;
    if (dc.st.rop2 == R2_COPYPEN) {
        std::vector<cairo_rectangle_int_t> rects;
        rects.reserve(runs.size());
        for (const Run& run : runs)
            rects.push_back(cairo_rectangle_int_t{run.x, run.y, run.w, run.h});
        if (FillRectsDirect(dc, rects.data(), static_cast<int>(rects.size()), color))
            return;
    }
    int l = runs[0].x, t = runs[0].y, r = l + runs[0].w, b = t + runs[0].h;
    for (const Run& run : runs) {
        l = std::min(l, run.x);
        t = std::min(t, run.y);
        r = std::max(r, run.x + run.w);
        b = std::max(b, run.y + run.h);
    }
    PaintShape(dc, MakeRect(l, t, r, b), BrushSampler(color), dc.st.rop2, [&](cairo_t* cr) {
        for (const Run& run : runs)
            cairo_rectangle(cr, run.x, run.y, run.w, run.h);
    });
}

// A wide line: a band of the pen's width with round ends, in surface coordinates.
void PaintWideLine(HDC__& dc, POINT a, POINT b, const Pen& pen) {
    double ax = a.x + 0.5, ay = a.y + 0.5, bx = b.x + 0.5, by = b.y + 0.5, r = pen.width / 2.0;
    int l = (int)std::floor(std::min(ax, bx) - r) - 1,
        t = (int)std::floor(std::min(ay, by) - r) - 1;
    int rr = (int)std::ceil(std::max(ax, bx) + r) + 1,
        bb = (int)std::ceil(std::max(ay, by) + r) + 1;
    PaintShape(dc, MakeRect(l, t, rr, bb), BrushSampler(pen.color), dc.st.rop2, [&](cairo_t* cr) {
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
        double len = std::hypot(bx - ax, by - ay);
        if (len > 0) {
            double nx = -(by - ay) / len * r, ny = (bx - ax) / len * r;
            cairo_move_to(cr, ax + nx, ay + ny);
            cairo_line_to(cr, bx + nx, by + ny);
            cairo_line_to(cr, bx - nx, by - ny);
            cairo_line_to(cr, ax - nx, ay - ny);
            cairo_close_path(cr);
        }
        cairo_new_sub_path(cr);
        cairo_arc(cr, ax, ay, r, 0, 2 * M_PI);
        cairo_new_sub_path(cr);
        cairo_arc(cr, bx, by, r, 0, 2 * M_PI);
    });
}

// Lines through the points (surface coordinates), each leaving out its end point.
void StrokePolyline(HDC__& dc, const POINT* pts, int n) {
    Pen pen = CurrentPen(dc);
    if (pen.null || n < 2)
        return;
    if (pen.width > 1) {
        for (int i = 1; i < n; ++i)
            PaintWideLine(dc, pts[i - 1], pts[i], pen);
        return;
    }
    const std::vector<int>& pattern = StylePattern(pen.style);
    std::vector<Run> onRuns, offRuns;
    std::vector<Pixel> on, off;
    int phase = 0;
    for (int i = 1; i < n; ++i) {
        // A solid line along a row or a column is one run, without a pixel walk.
        if (pattern.empty()) {
            if (const std::optional<Run> run = AxisRun(pts[i - 1], pts[i])) {
                onRuns.push_back(*run);
                continue;
            }
        }
        Bresenham(pts[i - 1], pts[i], pattern, phase, on, off);
    }
    AppendRuns(on, onRuns);
    PaintRuns(dc, onRuns, pen.color);
    if (dc.st.bkMode == OPAQUE) {
        AppendRuns(off, offRuns);
        PaintRuns(dc, offRuns, Resolve(dc, dc.st.bk));
    }
}

POINT ToSurface(const HDC__& dc, int x, int y) {
    return POINT{x + dc.OffX(), y + dc.OffY()};
}

// A shape's bounding rectangle in surface coordinates, corners in either order.
CRect SurfaceBox(const HDC__& dc, int left, int top, int right, int bottom) {
    CRect rc(left, top, right, bottom);
    rc.NormalizeRect();
    rc.OffsetRect(dc.OffX(), dc.OffY());
    return rc;
}

void FillWithBrush(HDC__& dc, int l, int t, int r, int b, const HGDIOBJ__* brush, int rop2) {
    if (l >= r || t >= b)
        return;
    const BrushSampler sampler(dc, brush);
    const cairo_rectangle_int_t rect = MakeRect(l, t, r, b);
    if (!sampler.IsNull() && rop2 == R2_COPYPEN) {
        if (sampler.IsSolid()) {
            FillSurfaceRect(dc, l, t, r, b, sampler.Solid());
            return;
        }
        int orgX = 0, orgY = 0;
        const SurfacePtr tile = sampler.Tile(orgX, orgY);
        if (FillTileDirect(dc, rect, tile.get(), orgX, orgY))
            return;
    }
    PaintShape(dc, rect, sampler, rop2,
               [&](cairo_t* cr) { cairo_rectangle(cr, l, t, r - l, b - t); });
}

// A frame between two rectangles (surface coordinates) in the pen's colour.
void FillFrame(HDC__& dc, const RECT& outer, const RECT& inner, COLORREF color) {
    if (dc.st.rop2 == R2_COPYPEN && outer.left < outer.right && outer.top < outer.bottom) {
        // The frame as the bands above, below, left and right of the inner rectangle.
        const bool hollow = inner.right > inner.left && inner.bottom > inner.top;
        const cairo_rectangle_int_t bands[4] = {
            MakeRect(outer.left, outer.top, outer.right, hollow ? inner.top : outer.bottom),
            MakeRect(outer.left, hollow ? inner.bottom : outer.bottom, outer.right, outer.bottom),
            MakeRect(outer.left, inner.top, inner.left, inner.bottom),
            MakeRect(inner.right, inner.top, outer.right, inner.bottom)};
        if (FillRectsDirect(dc, bands, hollow ? 4 : 1, color))
            return;
    }
    PaintShape(dc, MakeRect(outer.left, outer.top, outer.right, outer.bottom), BrushSampler(color),
               dc.st.rop2, [&](cairo_t* cr) {
                   cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
                   cairo_rectangle(cr, outer.left, outer.top, outer.right - outer.left,
                                   outer.bottom - outer.top);
                   if (inner.right > inner.left && inner.bottom > inner.top)
                       cairo_rectangle(cr, inner.left, inner.top, inner.right - inner.left,
                                       inner.bottom - inner.top);
               });
}

} // namespace

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT lppt) {
    HDC__* dc = LiveDC(hdc);
    if (!dc)
        return FALSE;
    if (lppt)
        *lppt = dc->st.pos;
    dc->st.pos = POINT{x, y};
    return TRUE;
}

BOOL GetCurrentPositionEx(HDC hdc, LPPOINT lppt) {
    HDC__* dc = LiveDC(hdc);
    if (!dc || !lppt)
        return FALSE;
    *lppt = dc->st.pos;
    return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
    HDC__* dc = LiveDC(hdc);
    if (!dc)
        return FALSE;
    POINT pts[2] = {ToSurface(*dc, dc->st.pos.x, dc->st.pos.y), ToSurface(*dc, x, y)};
    StrokePolyline(*dc, pts, 2);
    dc->st.pos = POINT{x, y};
    return TRUE;
}

BOOL Polyline(HDC hdc, const POINT* apt, int cpt) {
    HDC__* dc = LiveDC(hdc);
    if (!dc || !apt || cpt < 2)
        return FALSE;
    std::vector<POINT> pts;
    for (int i = 0; i < cpt; ++i)
        pts.push_back(ToSurface(*dc, apt[i].x, apt[i].y));
    StrokePolyline(*dc, pts.data(), cpt);
    return TRUE;
}

BOOL Polygon(HDC hdc, const POINT* apt, int cpt) {
    HDC__* dc = LiveDC(hdc);
    if (!dc || !apt || cpt < 2)
        return FALSE;
    std::vector<POINT> pts;
    int l = INT32_MAX, t = INT32_MAX, r = INT32_MIN, b = INT32_MIN;
    for (int i = 0; i < cpt; ++i) {
        POINT p = ToSurface(*dc, apt[i].x, apt[i].y);
        pts.push_back(p);
        l = std::min<int>(l, p.x);
        t = std::min<int>(t, p.y);
        r = std::max<int>(r, p.x + 1);
        b = std::max<int>(b, p.y + 1);
    }
    PaintShape(*dc, MakeRect(l, t, r, b), BrushSampler(*dc, dc->st.brush.get()), dc->st.rop2,
               [&](cairo_t* cr) {
                   cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
                   cairo_move_to(cr, pts[0].x + 0.5, pts[0].y + 0.5);
                   for (const POINT& p : pts)
                       cairo_line_to(cr, p.x + 0.5, p.y + 0.5);
                   cairo_close_path(cr);
               });
    pts.push_back(pts[0]);
    StrokePolyline(*dc, pts.data(), (int)pts.size());
    return TRUE;
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    HDC__* dc = LiveDC(hdc);
    if (!dc)
        return FALSE;
    CRect rc = SurfaceBox(*dc, left, top, right, bottom);
    Pen pen = CurrentPen(*dc);
    const HGDIOBJ__* brush = dc->st.brush.get();
    if (pen.null) {
        // A null pen leaves a shape one pixel smaller each way, as the system does.
        FillWithBrush(*dc, rc.left, rc.top, rc.right - 1, rc.bottom - 1, brush, dc->st.rop2);
        return TRUE;
    }
    if (pen.width == 1 && pen.style != PS_SOLID && pen.style != PS_INSIDEFRAME) {
        FillWithBrush(*dc, rc.left + 1, rc.top + 1, rc.right - 1, rc.bottom - 1, brush,
                      dc->st.rop2);
        POINT pts[5] = {{rc.left, rc.top},
                        {rc.right - 1, rc.top},
                        {rc.right - 1, rc.bottom - 1},
                        {rc.left, rc.bottom - 1},
                        {rc.left, rc.top}};
        StrokePolyline(*dc, pts, 5);
        return TRUE;
    }
    // The frame: inside the rectangle for PS_INSIDEFRAME and one-pixel pens, centred on the
    // one-pixel outline for wider pens.
    RECT outer = rc;
    if (pen.style != PS_INSIDEFRAME && pen.width > 1) {
        int before = (pen.width - 1) / 2, after = pen.width - 1 - before;
        outer = RECT{rc.left - before, rc.top - before, rc.right + after, rc.bottom + after};
    }
    RECT inner{outer.left + pen.width, outer.top + pen.width, outer.right - pen.width,
               outer.bottom - pen.width};
    FillWithBrush(*dc, inner.left, inner.top, inner.right, inner.bottom, brush, dc->st.rop2);
    FillFrame(*dc, outer, inner, pen.color);
    return TRUE;
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom) {
    HDC__* dc = LiveDC(hdc);
    if (!dc)
        return FALSE;
    CRect rc = SurfaceBox(*dc, left, top, right, bottom);
    if (rc.IsRectEmpty())
        return TRUE;
    Pen pen = CurrentPen(*dc);
    double cx = (rc.left + rc.right) / 2.0, cy = (rc.top + rc.bottom) / 2.0;
    auto oval = [&](cairo_t* cr, double rx, double ry) {
        if (rx <= 0 || ry <= 0)
            return;
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_scale(cr, rx, ry);
        cairo_new_sub_path(cr);
        cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_restore(cr);
    };
    double rx = rc.Width() / 2.0, ry = rc.Height() / 2.0;
    int w = pen.null ? 0 : pen.width;
    cairo_rectangle_int_t bounds = MakeRect(rc.left, rc.top, rc.right, rc.bottom);
    PaintShape(*dc, bounds, BrushSampler(*dc, dc->st.brush.get()), dc->st.rop2,
               [&](cairo_t* cr) { oval(cr, rx - w, ry - w); });
    if (w > 0)
        PaintShape(*dc, bounds, BrushSampler(pen.color), dc->st.rop2, [&](cairo_t* cr) {
            cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
            oval(cr, rx, ry);
            oval(cr, rx - w, ry - w);
        });
    return TRUE;
}

int FillRect(HDC hDC, LPCRECT lprc, HBRUSH hbr) {
    HDC__* dc = LiveDC(hDC);
    HGDIOBJ__* brush = BrushFromHandle(hbr);
    if (!dc || !lprc || !brush)
        return FALSE;
    FillWithBrush(*dc, lprc->left + dc->OffX(), lprc->top + dc->OffY(), lprc->right + dc->OffX(),
                  lprc->bottom + dc->OffY(), brush, R2_COPYPEN);
    return TRUE;
}

int FrameRect(HDC hDC, LPCRECT lprc, HBRUSH hbr) {
    HDC__* dc = LiveDC(hDC);
    HGDIOBJ__* brush = BrushFromHandle(hbr);
    if (!dc || !lprc || !brush)
        return FALSE;
    CRect rc(lprc);
    if (rc.IsRectEmpty())
        return TRUE;
    rc.OffsetRect(dc->OffX(), dc->OffY());
    PaintShape(*dc, MakeRect(rc.left, rc.top, rc.right, rc.bottom), BrushSampler(*dc, brush),
               R2_COPYPEN, [&](cairo_t* cr) {
                   cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
                   cairo_rectangle(cr, rc.left, rc.top, rc.Width(), rc.Height());
                   if (rc.Width() > 2 && rc.Height() > 2)
                       cairo_rectangle(cr, rc.left + 1, rc.top + 1, rc.Width() - 2,
                                       rc.Height() - 2);
               });
    return TRUE;
}

BOOL InvertRect(HDC hDC, LPCRECT lprc) {
    if (!lprc)
        return FALSE;
    return PatBlt(hDC, lprc->left, lprc->top, lprc->right - lprc->left, lprc->bottom - lprc->top,
                  DSTINVERT);
}
