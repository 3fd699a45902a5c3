// Rectangular regions over cairo regions.
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/GdiFunctions.h"

#include <utility>

using namespace kel::gdi;

namespace {
int Type(const cairo_region_t* r) {
    if (cairo_region_is_empty(r))
        return NULLREGION;
    return cairo_region_num_rectangles(r) == 1 ? SIMPLEREGION : COMPLEXREGION;
}

cairo_rectangle_int_t Normal(int l, int t, int r, int b) {
    if (l > r)
        std::swap(l, r);
    if (t > b)
        std::swap(t, b);
    return MakeRect(l, t, r, b);
}
} // namespace

HRGN CreateRectRgn(int x1, int y1, int x2, int y2) {
    HGDIOBJ__* o = NewObject(Kind::Region);
    if (o) {
        cairo_rectangle_int_t rc = Normal(x1, y1, x2, y2);
        o->region.reset(cairo_region_create_rectangle(&rc));
    }
    return o;
}

HRGN CreateRectRgnIndirect(LPCRECT lprect) {
    return lprect ? CreateRectRgn(lprect->left, lprect->top, lprect->right, lprect->bottom) : NULL;
}

BOOL SetRectRgn(HRGN hrgn, int left, int top, int right, int bottom) {
    HGDIOBJ__* o = LiveObject(hrgn, Kind::Region);
    if (!o)
        return FALSE;
    cairo_rectangle_int_t rc = Normal(left, top, right, bottom);
    o->region.reset(cairo_region_create_rectangle(&rc));
    return TRUE;
}

int CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode) {
    HGDIOBJ__* dst = LiveObject(hrgnDst, Kind::Region);
    HGDIOBJ__* a = LiveObject(hrgnSrc1, Kind::Region);
    HGDIOBJ__* b = LiveObject(hrgnSrc2, Kind::Region);
    if (!dst || !a || (iMode != RGN_COPY && !b))
        return ERROR;
    RegionPtr r = CopyRegion(a->region.get());
    switch (iMode) {
    case RGN_COPY:
        break;
    case RGN_AND:
        cairo_region_intersect(r.get(), b->region.get());
        break;
    case RGN_OR:
        cairo_region_union(r.get(), b->region.get());
        break;
    case RGN_XOR:
        cairo_region_xor(r.get(), b->region.get());
        break;
    case RGN_DIFF:
        cairo_region_subtract(r.get(), b->region.get());
        break;
    default:
        return ERROR;
    }
    dst->region = std::move(r);
    return Type(dst->region.get());
}

int OffsetRgn(HRGN hrgn, int x, int y) {
    HGDIOBJ__* o = LiveObject(hrgn, Kind::Region);
    if (!o)
        return ERROR;
    cairo_region_translate(o->region.get(), x, y);
    return Type(o->region.get());
}

BOOL PtInRegion(HRGN hrgn, int x, int y) {
    HGDIOBJ__* o = LiveObject(hrgn, Kind::Region);
    return o && cairo_region_contains_point(o->region.get(), x, y);
}

BOOL RectInRegion(HRGN hrgn, LPCRECT lprect) {
    HGDIOBJ__* o = LiveObject(hrgn, Kind::Region);
    if (!o || !lprect)
        return FALSE;
    cairo_rectangle_int_t rc = Normal(lprect->left, lprect->top, lprect->right, lprect->bottom);
    if (rc.width == 0 || rc.height == 0)
        return FALSE;
    return cairo_region_contains_rectangle(o->region.get(), &rc) != CAIRO_REGION_OVERLAP_OUT;
}

BOOL EqualRgn(HRGN hrgn1, HRGN hrgn2) {
    HGDIOBJ__* a = LiveObject(hrgn1, Kind::Region);
    HGDIOBJ__* b = LiveObject(hrgn2, Kind::Region);
    return a && b && cairo_region_equal(a->region.get(), b->region.get());
}

int GetRgnBox(HRGN hrgn, LPRECT lprc) {
    HGDIOBJ__* o = LiveObject(hrgn, Kind::Region);
    if (!o || !lprc)
        return ERROR;
    cairo_rectangle_int_t e;
    cairo_region_get_extents(o->region.get(), &e);
    *lprc = RECT{e.x, e.y, e.x + e.width, e.y + e.height};
    return Type(o->region.get());
}
