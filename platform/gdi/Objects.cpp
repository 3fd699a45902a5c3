// Pens, brushes and fonts.
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/GdiFunctions.h"

#include <cstdio>

using namespace kel::gdi;

HPEN CreatePen(int iStyle, int cWidth, COLORREF color) {
    if (iStyle < PS_SOLID || iStyle > PS_INSIDEFRAME)
        return NULL;
    HGDIOBJ__* o = NewObject(Kind::Pen);
    if (o)
        o->pen = LOGPEN{(UINT)iStyle, {cWidth < 0 ? 0 : cWidth, 0}, color};
    return o;
}

HPEN CreatePenIndirect(const LOGPEN* plpen) {
    return plpen ? CreatePen((int)plpen->lopnStyle, plpen->lopnWidth.x, plpen->lopnColor) : NULL;
}

HBRUSH CreateSolidBrush(COLORREF color) {
    HGDIOBJ__* o = NewObject(Kind::Brush);
    if (o)
        o->brush = LOGBRUSH{BS_SOLID, color, 0};
    return o;
}

HBRUSH CreateHatchBrush(int iHatch, COLORREF color) {
    if (iHatch < HS_HORIZONTAL || iHatch > HS_DIAGCROSS)
        return NULL;
    HGDIOBJ__* o = NewObject(Kind::Brush);
    if (o)
        o->brush = LOGBRUSH{BS_HATCHED, color, (ULONG_PTR)iHatch};
    return o;
}

HBRUSH CreatePatternBrush(HBITMAP hbm) {
    HGDIOBJ__* bm = LiveObject(hbm, Kind::Bitmap);
    if (!bm || bm->Width() == 0 || bm->Height() == 0)
        return NULL;
    HGDIOBJ__* o = NewObject(Kind::Brush);
    if (!o)
        return NULL;
    o->brush = LOGBRUSH{BS_PATTERN, 0, (ULONG_PTR)hbm};
    // The brush keeps its own copy, so the bitmap may be deleted or drawn on afterwards.
    o->pattern = NewImage(bm->Width(), bm->Height());
    cairo_surface_flush(bm->surface.get());
    ContextPtr cr(cairo_create(o->pattern.get()));
    cairo_set_source_surface(cr.get(), bm->surface.get(), 0, 0);
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr.get());
    cairo_surface_flush(o->pattern.get());
    o->patternMono = bm->mono;
    return o;
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* plbrush) {
    if (!plbrush)
        return NULL;
    switch (plbrush->lbStyle) {
    case BS_SOLID:
        return CreateSolidBrush(plbrush->lbColor);
    case BS_NULL: {
        HGDIOBJ__* o = NewObject(Kind::Brush);
        if (o)
            o->brush = LOGBRUSH{BS_NULL, 0, 0};
        return o;
    }
    case BS_HATCHED:
        return CreateHatchBrush((int)plbrush->lbHatch, plbrush->lbColor);
    case BS_PATTERN:
        return CreatePatternBrush(reinterpret_cast<HBITMAP>(plbrush->lbHatch));
    default:
        return NULL;
    }
}

HFONT CreateFontIndirect(const LOGFONT* lplf) {
    if (!lplf)
        return NULL;
    HGDIOBJ__* o = NewObject(Kind::Font);
    if (o) {
        o->font = *lplf;
        o->font.lfFaceName[LF_FACESIZE - 1] = 0;
    }
    return o;
}

HFONT CreateFont(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight,
                 DWORD bItalic, DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet,
                 DWORD iOutPrecision, DWORD iClipPrecision, DWORD iQuality, DWORD iPitchAndFamily,
                 LPCTSTR pszFaceName) {
    LOGFONT lf{};
    lf.lfHeight = cHeight;
    lf.lfWidth = cWidth;
    lf.lfEscapement = cEscapement;
    lf.lfOrientation = cOrientation;
    lf.lfWeight = cWeight;
    lf.lfItalic = bItalic ? 1 : 0;
    lf.lfUnderline = bUnderline ? 1 : 0;
    lf.lfStrikeOut = bStrikeOut ? 1 : 0;
    lf.lfCharSet = (BYTE)iCharSet;
    lf.lfOutPrecision = (BYTE)iOutPrecision;
    lf.lfClipPrecision = (BYTE)iClipPrecision;
    lf.lfQuality = (BYTE)iQuality;
    lf.lfPitchAndFamily = (BYTE)iPitchAndFamily;
    if (pszFaceName)
        std::snprintf(lf.lfFaceName, LF_FACESIZE, "%s", pszFaceName);
    return CreateFontIndirect(&lf);
}
