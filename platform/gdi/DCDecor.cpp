// The classic 3D look: edges, focus rectangles and frame controls (buttons, check boxes,
// radio buttons, scroll arrows, size grips, caption buttons, menu marks).
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/GdiFunctions.h"
#include "platform/gdi/SystemColors.h"

#include <cmath>

using namespace kel::gdi;

namespace {

COLORREF Sys(int i) {
    return GetSysColor(i);
}

// Fills logical pixels [l, r) x [t, b) of the context.
void Fill(HDC__& dc, int l, int t, int r, int b, COLORREF c) {
    FillSurfaceRect(dc, l + dc.OffX(), t + dc.OffY(), r + dc.OffX(), b + dc.OffY(), Resolve(dc, c));
}

// One ring of an edge: top and left in tl, right and bottom in br. The top and left lines
// stop short of the corners the other two own.
void Ring(HDC__& dc, RECT& rc, UINT sides, COLORREF tl, COLORREF br) {
    if (rc.right <= rc.left || rc.bottom <= rc.top)
        return;
    int rEnd = (sides & BF_RIGHT) ? rc.right - 1 : rc.right;
    int bEnd = (sides & BF_BOTTOM) ? rc.bottom - 1 : rc.bottom;
    if (sides & BF_TOP)
        Fill(dc, rc.left, rc.top, rEnd, rc.top + 1, tl);
    if (sides & BF_LEFT)
        Fill(dc, rc.left, rc.top, rc.left + 1, bEnd, tl);
    if (sides & BF_RIGHT)
        Fill(dc, rc.right - 1, rc.top, rc.right, rc.bottom, br);
    if (sides & BF_BOTTOM)
        Fill(dc, rc.left, rc.bottom - 1, rc.right, rc.bottom, br);
    if (sides & BF_LEFT)
        ++rc.left;
    if (sides & BF_TOP)
        ++rc.top;
    if (sides & BF_RIGHT)
        --rc.right;
    if (sides & BF_BOTTOM)
        --rc.bottom;
}

BOOL Edge(HDC__& dc, RECT& rc, UINT edge, UINT flags) {
    UINT sides = flags & BF_RECT;
    bool soft = flags & BF_SOFT;
    COLORREF otl, obr, itl, ibr;
    if (flags & BF_MONO) {
        otl = obr = Sys(COLOR_WINDOWFRAME);
        itl = ibr = Sys(COLOR_WINDOW);
    } else if (flags & BF_FLAT) {
        otl = obr = Sys(COLOR_3DSHADOW);
        itl = ibr = Sys(COLOR_3DFACE);
    } else {
        otl = (edge & BDR_RAISEDOUTER) ? Sys(soft ? COLOR_3DHILIGHT : COLOR_3DLIGHT)
                                       : Sys(soft ? COLOR_3DDKSHADOW : COLOR_3DSHADOW);
        obr = (edge & BDR_RAISEDOUTER) ? Sys(COLOR_3DDKSHADOW) : Sys(COLOR_3DHILIGHT);
        itl = (edge & BDR_RAISEDINNER) ? Sys(soft ? COLOR_3DLIGHT : COLOR_3DHILIGHT)
                                       : Sys(soft ? COLOR_3DSHADOW : COLOR_3DDKSHADOW);
        ibr = (edge & BDR_RAISEDINNER) ? Sys(COLOR_3DSHADOW) : Sys(COLOR_3DLIGHT);
    }
    if (edge & BDR_OUTER)
        Ring(dc, rc, sides, otl, obr);
    if (edge & BDR_INNER)
        Ring(dc, rc, sides, itl, ibr);
    if (flags & BF_MIDDLE)
        Fill(dc, rc.left, rc.top, rc.right, rc.bottom,
             Sys((flags & BF_MONO) ? COLOR_WINDOW : COLOR_3DFACE));
    return TRUE;
}

// A triangle pointing in a direction (0 up, 1 down, 2 left, 3 right), centred in rc.
void Arrow(HDC__& dc, const RECT& rc, int dir, int shift, COLORREF c) {
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    int n = std::max(1, (std::min(w, h) - 4) / 3); // rows: 4 in a 16-pixel button
    int cx = rc.left + w / 2 + shift, cy = rc.top + h / 2 + shift;
    for (int i = 0; i < n; ++i) {
        int half = (dir == 0 || dir == 2) ? i : n - 1 - i;
        switch (dir) {
        case 0:
        case 1: {
            int y = cy - n / 2 + i;
            Fill(dc, cx - half, y, cx + half + 1, y + 1, c);
            break;
        }
        default: {
            int x = cx - n / 2 + i;
            Fill(dc, x, cy - half, x + 1, cy + half + 1, c);
            break;
        }
        }
    }
}

// A check mark 7 pixels wide and 3 thick, its top-left at (x, y).
void Check(HDC__& dc, int x, int y, COLORREF c) {
    for (int i = 0; i < 7; ++i) {
        int top = i < 3 ? y + 2 + i : y + 4 - (i - 2);
        Fill(dc, x + i, top, x + i + 1, top + 3, c);
    }
}

// Glyphs drawn embossed when inactive: first in the highlight colour one pixel down and right,
// then in the shadow colour.
template <class Draw> void Glyph(bool inactive, COLORREF normal, Draw draw) {
    if (inactive) {
        draw(1, Sys(COLOR_3DHILIGHT));
        draw(0, Sys(COLOR_3DSHADOW));
    } else {
        draw(0, normal);
    }
}

// A ring between two circles, split into the upper-left half (tl) and lower-right half (br).
void RoundRing(HDC__& dc, double cx, double cy, double r, COLORREF tl, COLORREF br) {
    for (int half = 0; half < 2; ++half) {
        double a0 = half == 0 ? 0.75 * M_PI : -0.25 * M_PI;
        cairo_rectangle_int_t bounds =
            MakeRect((int)(cx - r) - 1, (int)(cy - r) - 1, (int)(cx + r) + 2, (int)(cy + r) + 2);
        PaintShape(dc, bounds, BrushSampler(Resolve(dc, half == 0 ? tl : br)), R2_COPYPEN,
                   [&](cairo_t* cr) {
                       cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
                       cairo_arc(cr, cx, cy, r, a0, a0 + M_PI);
                       cairo_arc_negative(cr, cx, cy, r - 1, a0 + M_PI, a0);
                       cairo_close_path(cr);
                   });
    }
}

void Disc(HDC__& dc, double cx, double cy, double r, COLORREF c) {
    cairo_rectangle_int_t bounds =
        MakeRect((int)(cx - r) - 1, (int)(cy - r) - 1, (int)(cx + r) + 2, (int)(cy + r) + 2);
    PaintShape(dc, bounds, BrushSampler(Resolve(dc, c)), R2_COPYPEN,
               [&](cairo_t* cr) { cairo_arc(cr, cx, cy, r, 0, 2 * M_PI); });
}

BOOL ButtonControl(HDC__& dc, RECT& rc, UINT state) {
    bool inactive = state & DFCS_INACTIVE, pushed = state & DFCS_PUSHED,
         checked = state & DFCS_CHECKED;
    UINT look = ((state & DFCS_FLAT) ? BF_FLAT : 0) | ((state & DFCS_MONO) ? BF_MONO : 0);
    UINT kind = state & 0x1F;
    if (kind & DFCS_BUTTONPUSH) {
        RECT r = rc;
        Edge(dc, r, (pushed || checked) ? EDGE_SUNKEN : EDGE_RAISED,
             BF_RECT | BF_MIDDLE | look | ((pushed || checked) ? 0 : BF_SOFT));
        if (state & DFCS_ADJUSTRECT)
            rc = r;
        return TRUE;
    }
    // Check boxes and radio buttons: a square of the smaller side at the top left.
    int side = std::min(rc.right - rc.left, rc.bottom - rc.top);
    RECT box{rc.left, rc.top, rc.left + side, rc.top + side};
    COLORREF face = Sys((inactive || pushed) ? COLOR_3DFACE : COLOR_WINDOW);
    COLORREF mark = Sys(inactive ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT);
    if (kind & DFCS_BUTTONRADIO) {
        double c = side / 2.0, cx = box.left + c, cy = box.top + c;
        Disc(dc, cx, cy, c - 1, face);
        RoundRing(dc, cx, cy, c, Sys(COLOR_3DSHADOW), Sys(COLOR_3DHILIGHT));
        RoundRing(dc, cx, cy, c - 1, Sys(COLOR_3DDKSHADOW), Sys(COLOR_3DLIGHT));
        if (checked)
            Disc(dc, cx, cy, std::max(1.5, side / 6.0), mark);
        return TRUE;
    }
    bool indeterminate = (kind & DFCS_BUTTON3STATE) && checked;
    Edge(dc, box, EDGE_SUNKEN, BF_RECT | look);
    Fill(dc, box.left, box.top, box.right, box.bottom, indeterminate ? Sys(COLOR_3DFACE) : face);
    if (checked) {
        int x = box.left + (box.right - box.left - 7) / 2;
        int y = box.top + (box.bottom - box.top - 7) / 2;
        Check(dc, x, y, indeterminate ? Sys(COLOR_3DSHADOW) : mark);
    }
    return TRUE;
}

BOOL ScrollControl(HDC__& dc, RECT& rc, UINT state) {
    bool inactive = state & DFCS_INACTIVE, pushed = state & DFCS_PUSHED;
    UINT kind = state & 0xFF;
    if (kind == DFCS_SCROLLSIZEGRIP) {
        Fill(dc, rc.left, rc.top, rc.right, rc.bottom, Sys(COLOR_3DFACE));
        // Diagonal ridges in the bottom-right corner: highlight, shadow, shadow, face.
        int n = std::min(rc.right - rc.left, rc.bottom - rc.top) - 1;
        for (int i = 1; i < n; ++i) {
            int k = i % 4;
            if (k == 0)
                continue;
            COLORREF c = Sys(k == 1 ? COLOR_3DHILIGHT : COLOR_3DSHADOW);
            for (int j = 0; j <= i; ++j)
                Fill(dc, rc.right - 1 - i + j, rc.bottom - 1 - j, rc.right - i + j, rc.bottom - j,
                     c);
        }
        return TRUE;
    }
    int dir = kind == DFCS_SCROLLCOMBOBOX ? 1 : (int)kind;
    if (dir > 3)
        return FALSE;
    RECT r = rc;
    if (pushed)
        Edge(dc, r, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_FLAT);
    else
        Edge(dc, r, EDGE_RAISED, BF_RECT | BF_MIDDLE | ((state & DFCS_FLAT) ? BF_FLAT : 0));
    Glyph(inactive, Sys(COLOR_BTNTEXT),
          [&](int offset, COLORREF c) { Arrow(dc, rc, dir, (pushed ? 1 : 0) + offset, c); });
    return TRUE;
}

BOOL CaptionControl(HDC__& dc, RECT& rc, UINT state) {
    bool inactive = state & DFCS_INACTIVE, pushed = state & DFCS_PUSHED;
    UINT kind = state & 0xFF;
    if (kind > DFCS_CAPTIONRESTORE)
        return FALSE;
    RECT r = rc;
    Edge(dc, r, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE | (pushed ? 0 : BF_SOFT));
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    int s = std::max(4, std::min(w, h) - 8); // the glyph's square
    int x0 = rc.left + (w - s) / 2 + (pushed ? 1 : 0), y0 = rc.top + (h - s) / 2 + (pushed ? 1 : 0);
    Glyph(inactive, Sys(COLOR_BTNTEXT), [&](int o, COLORREF c) {
        int x = x0 + o, y = y0 + o;
        switch (kind) {
        case DFCS_CAPTIONCLOSE: // two diagonals two pixels thick
            for (int i = 0; i < s; ++i) {
                Fill(dc, x + i, y + i, x + i + 2, y + i + 1, c);
                Fill(dc, x + s - 1 - i - 1, y + i, x + s - i, y + i + 1, c);
            }
            break;
        case DFCS_CAPTIONMIN:
            Fill(dc, x, y + s - 2, x + s - 2, y + s, c);
            break;
        case DFCS_CAPTIONMAX:
            Fill(dc, x, y, x + s, y + 2, c);
            Fill(dc, x, y, x + 1, y + s, c);
            Fill(dc, x + s - 1, y, x + s, y + s, c);
            Fill(dc, x, y + s - 1, x + s, y + s, c);
            break;
        default: { // restore: two overlapping windows
            int b = s * 2 / 3;
            for (int k = 0; k < 2; ++k) {
                int bx = x + (k == 0 ? s - b : 0), by = y + (k == 0 ? 0 : s - b);
                Fill(dc, bx, by, bx + b, by + 2, c);
                Fill(dc, bx, by, bx + 1, by + b, c);
                Fill(dc, bx + b - 1, by, bx + b, by + b, c);
                Fill(dc, bx, by + b - 1, bx + b, by + b, c);
            }
            break;
        }
        }
    });
    return TRUE;
}

BOOL MenuControl(HDC__& dc, RECT& rc, UINT state) {
    UINT kind = state & 0xFF;
    COLORREF c = Sys(COLOR_MENUTEXT);
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    switch (kind) {
    case DFCS_MENUCHECK:
        Check(dc, rc.left + (w - 7) / 2, rc.top + (h - 7) / 2, c);
        return TRUE;
    case DFCS_MENUBULLET:
        Disc(dc, rc.left + w / 2.0, rc.top + h / 2.0, std::max(1.5, std::min(w, h) / 6.0), c);
        return TRUE;
    case DFCS_MENUARROW:
        Arrow(dc, rc, 3, 0, c);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

BOOL DrawEdge(HDC hdc, LPRECT qrc, UINT edge, UINT grfFlags) {
    HDC__* dc = LiveDC(hdc);
    if (!dc || !qrc)
        return FALSE;
    RECT rc = *qrc;
    Edge(*dc, rc, edge, grfFlags);
    if (grfFlags & BF_ADJUST)
        *qrc = rc;
    return TRUE;
}

BOOL DrawFocusRect(HDC hDC, const RECT* lprc) {
    HDC__* dc = LiveDC(hDC);
    if (!dc || !lprc)
        return FALSE;
    CRect rc(lprc);
    if (rc.IsRectEmpty())
        return TRUE;
    rc.OffsetRect(dc->OffX(), dc->OffY());
    // Every other pixel of the border, inverted: drawing it again takes it away. The four
    // sides are visited apart so that each pixel is inverted once.
    int ox = dc->origin.x, oy = dc->origin.y;
    auto dots = [&](int l, int t, int r, int b) {
        ForEachPixel(*dc, MakeRect(l, t, r, b), nullptr, [&](uint32_t& px, int x, int y) {
            if (((x - ox + y - oy) & 1) == 0)
                px = ~px;
        });
    };
    dots(rc.left, rc.top, rc.right, rc.top + 1);
    if (rc.Height() > 1)
        dots(rc.left, rc.bottom - 1, rc.right, rc.bottom);
    if (rc.Height() > 2) {
        dots(rc.left, rc.top + 1, rc.left + 1, rc.bottom - 1);
        if (rc.Width() > 1)
            dots(rc.right - 1, rc.top + 1, rc.right, rc.bottom - 1);
    }
    return TRUE;
}

BOOL DrawFrameControl(HDC hdc, LPRECT lprc, UINT uType, UINT uState) {
    HDC__* dc = LiveDC(hdc);
    if (!dc || !lprc)
        return FALSE;
    switch (uType) {
    case DFC_BUTTON:
        return ButtonControl(*dc, *lprc, uState);
    case DFC_SCROLL:
        return ScrollControl(*dc, *lprc, uState);
    case DFC_CAPTION:
        return CaptionControl(*dc, *lprc, uState);
    case DFC_MENU:
        return MenuControl(*dc, *lprc, uState);
    default:
        return FALSE;
    }
}
