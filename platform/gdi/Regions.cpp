// Rectangular regions over cairo regions.
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/GdiFunctions.h"

using namespace kel::gdi;

namespace kel::gdi {

int RegionType(const cairo_region_t* r) {
    if (!r || cairo_region_is_empty(r))
        return NULLREGION;
    return cairo_region_num_rectangles(r) == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool CombineRegion(cairo_region_t* dst, const cairo_region_t* src, int mode) {
    switch (mode) {
    case RGN_AND:
        cairo_region_intersect(dst, src);
        return true;
    case RGN_OR:
        cairo_region_union(dst, src);
        return true;
    case RGN_XOR:
        cairo_region_xor(dst, src);
        return true;
    case RGN_DIFF:
        cairo_region_subtract(dst, src);
        return true;
    default:
        return false;
    }
}

} // namespace kel::gdi

HRGN CreateRectRgn(int x1, int y1, int x2, int y2) {
    HGDIOBJ__* o = NewObject(Kind::Region);
    if (o) {
        cairo_rectangle_int_t rc = NormalRect(x1, y1, x2, y2);
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
    cairo_rectangle_int_t rc = NormalRect(left, top, right, bottom);
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
    if (iMode != RGN_COPY && !CombineRegion(r.get(), b->region.get(), iMode))
        return ERROR;
    dst->region = std::move(r);
    return RegionType(dst->region.get());
}

int OffsetRgn(HRGN hrgn, int x, int y) {
    HGDIOBJ__* o = LiveObject(hrgn, Kind::Region);
    if (!o)
        return ERROR;
    cairo_region_translate(o->region.get(), x, y);
    return RegionType(o->region.get());
}

BOOL PtInRegion(HRGN hrgn, int x, int y) {
    HGDIOBJ__* o = LiveObject(hrgn, Kind::Region);
    return o && cairo_region_contains_point(o->region.get(), x, y);
}

BOOL RectInRegion(HRGN hrgn, LPCRECT lprect) {
    HGDIOBJ__* o = LiveObject(hrgn, Kind::Region);
    if (!o || !lprect)
        return FALSE;
    cairo_rectangle_int_t rc = NormalRect(lprect->left, lprect->top, lprect->right, lprect->bottom);
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
    return RegionType(o->region.get());
}
