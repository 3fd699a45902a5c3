// Lines, shapes, fills, raster operations, the 3D look and clipping, pixel by pixel.
#include "Canvas.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGrey = RGB(192, 192, 192);

// Every pixel of a rectangle has colour c and nothing else changed on the white canvas.
void ExpectExactly(const Canvas& canvas, CRect r, COLORREF c) {
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            ASSERT_EQ(canvas.At(x, y), c) << x << "," << y;
    EXPECT_EQ(canvas.Ink(kWhite), r);
}

TEST(Draw, HighlightRowFillsExactlyItsRectangle) {
    Canvas c(120, 60);
    // The grid's cursor row: (G.left + 1, y + 1, G.right - 1, y + m_nCharHeight).
    CRect row(1, 17, 119, 31);
    c.dc.FillSolidRect(&row, GetSysColor(COLOR_HIGHLIGHT));
    ExpectExactly(c, row, RGB(0, 0, 128));
    // FillRect with a brush and with a system colour index in the brush's place.
    CBrush red(kRed);
    CRect r2(3, 40, 10, 45);
    c.dc.FillRect(&r2, &red);
    EXPECT_EQ(c.At(3, 40), kRed);
    EXPECT_EQ(c.At(9, 44), kRed);
    EXPECT_EQ(c.At(10, 44), kWhite);
    EXPECT_EQ(c.At(9, 45), kWhite);
    CRect r3(20, 40, 30, 45);
    ::FillRect(c.dc, &r3, (HBRUSH)(COLOR_3DFACE + 1));
    EXPECT_EQ(c.At(20, 40), kGrey);
}

TEST(Draw, OnePixelLinesLeaveOutTheirEndPoint) {
    Canvas c(50, 50);
    CPen grey(PS_SOLID, 0, kGrey); // width 0 draws one pixel
    CPen* old = c.dc.SelectObject(&grey);
    c.dc.MoveTo(5, 10);
    c.dc.LineTo(40, 10);
    EXPECT_EQ(c.Ink(kWhite), CRect(5, 10, 40, 11));
    EXPECT_EQ(c.At(39, 10), kGrey);
    EXPECT_EQ(c.At(40, 10), kWhite);
    EXPECT_EQ(c.dc.GetCurrentPosition(), CPoint(40, 10));

    Canvas v(50, 50);
    v.dc.SelectObject(&grey);
    v.dc.MoveTo(7, 40); // upwards
    v.dc.LineTo(7, 3);
    EXPECT_EQ(v.Ink(kWhite), CRect(7, 4, 8, 41));

    // Leftwards and downwards, as one polyline: each segment without its end point.
    Canvas p(50, 50);
    p.dc.SelectObject(&grey);
    const POINT corner[] = {{40, 20}, {5, 20}, {5, 45}};
    p.dc.Polyline(corner, 3);
    EXPECT_EQ(p.Ink(kWhite), CRect(5, 20, 41, 45));
    EXPECT_EQ(p.Count(kGrey), 35 + 25);
    EXPECT_EQ(p.At(5, 44), kGrey);
    EXPECT_EQ(p.At(5, 45), kWhite);

    Canvas d(50, 50);
    d.dc.SelectObject(&grey);
    d.dc.MoveTo(0, 0);
    d.dc.LineTo(10, 10);
    EXPECT_EQ(d.Count(kGrey), 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(d.At(i, i), kGrey);
    EXPECT_EQ(d.At(10, 10), kWhite);
    c.dc.SelectObject(old);
}

TEST(Draw, RasterOpNotDrawnTwiceRestoresTheImage) {
    Canvas c(60, 40);
    c.dc.FillSolidRect(0, 0, 30, 40, RGB(10, 120, 200));
    c.dc.FillSolidRect(30, 0, 30, 40, kGrey);
    auto before = [&] {
        std::vector<COLORREF> px;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 60; ++x)
                px.push_back(c.At(x, y));
        return px;
    }();
    CPen pen(PS_SOLID, 0, kBlack);
    c.dc.SelectObject(&pen);
    int oldRop = c.dc.SetROP2(R2_NOT);
    EXPECT_EQ(oldRop, R2_COPYPEN);
    c.dc.MoveTo(25, 2);
    c.dc.LineTo(25, 38); // the header's tracking line
    EXPECT_EQ(c.At(25, 10), RGB(245, 135, 55));
    c.dc.MoveTo(2, 20);
    c.dc.LineTo(58, 20);
    c.dc.MoveTo(25, 2);
    c.dc.LineTo(25, 38);
    c.dc.MoveTo(2, 20);
    c.dc.LineTo(58, 20);
    for (int y = 0, i = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x, ++i)
            ASSERT_EQ(c.At(x, y), before[(size_t)i]) << x << "," << y;
    c.dc.SetROP2(R2_COPYPEN);
    c.dc.SelectStockObject(BLACK_PEN);
}

TEST(Draw, XorPenAndRectangleInterior) {
    Canvas c(40, 40, RGB(0x0F, 0xF0, 0x33));
    CPen pen(PS_SOLID, 1, RGB(0xFF, 0x00, 0x11));
    c.dc.SelectObject(&pen);
    c.dc.SetROP2(R2_XORPEN);
    c.dc.MoveTo(0, 5);
    c.dc.LineTo(10, 5);
    EXPECT_EQ(c.At(3, 5), RGB(0xF0, 0xF0, 0x22));
    c.dc.SetROP2(R2_COPYPEN);
    c.dc.SelectStockObject(BLACK_PEN);
}

TEST(Draw, RectangleOutlinesInsideAndFillsTheRest) {
    Canvas c(40, 40);
    CBrush red(kRed);
    c.dc.SelectObject(&red);
    c.dc.Rectangle(5, 5, 15, 12);
    EXPECT_EQ(c.Ink(kWhite), CRect(5, 5, 15, 12));
    EXPECT_EQ(c.At(5, 5), kBlack);
    EXPECT_EQ(c.At(14, 11), kBlack);
    EXPECT_EQ(c.At(6, 6), kRed);
    EXPECT_EQ(c.At(13, 10), kRed);

    // A null pen leaves the shape one pixel smaller each way.
    Canvas n(40, 40);
    n.dc.SelectObject(&red);
    n.dc.SelectStockObject(NULL_PEN);
    n.dc.Rectangle(5, 5, 15, 12);
    EXPECT_EQ(n.Ink(kWhite), CRect(5, 5, 14, 11));
    EXPECT_EQ(n.At(5, 5), kRed);

    // A hollow brush draws only the outline; an inside-frame pen stays in the rectangle.
    Canvas h(40, 40);
    CPen thick(PS_INSIDEFRAME, 3, kBlack);
    h.dc.SelectObject(&thick);
    h.dc.SelectStockObject(NULL_BRUSH);
    h.dc.Rectangle(5, 5, 20, 20);
    EXPECT_EQ(h.Ink(kWhite), CRect(5, 5, 20, 20));
    EXPECT_EQ(h.At(7, 10), kBlack);
    EXPECT_EQ(h.At(8, 10), kWhite);
    for (Canvas* k : {&c, &n, &h}) {
        k->dc.SelectStockObject(BLACK_PEN);
        k->dc.SelectStockObject(WHITE_BRUSH);
    }
}

TEST(Draw, Draw3dRectGivesTheFarCornersToTheShadow) {
    Canvas c(30, 30, kGrey);
    c.dc.Draw3dRect(2, 2, 10, 8, kWhite, kBlack);
    EXPECT_EQ(c.At(2, 2), kWhite);
    EXPECT_EQ(c.At(10, 2), kWhite);
    EXPECT_EQ(c.At(11, 2), kBlack); // top-right corner
    EXPECT_EQ(c.At(2, 9), kBlack);  // bottom-left corner
    EXPECT_EQ(c.At(11, 9), kBlack);
    EXPECT_EQ(c.At(3, 3), kGrey);
    EXPECT_EQ(c.Ink(kGrey), CRect(2, 2, 12, 10));
}

TEST(Draw, EdgesUseTheSystemColoursAndAdjust) {
    Canvas c(40, 40, kRed);
    CRect r(2, 2, 22, 18);
    ASSERT_TRUE(c.dc.DrawEdge(&r, EDGE_RAISED, BF_RECT | BF_ADJUST | BF_MIDDLE));
    EXPECT_EQ(r, CRect(4, 4, 20, 16));
    EXPECT_EQ(c.At(2, 2), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(c.At(3, 3), GetSysColor(COLOR_3DHILIGHT));
    EXPECT_EQ(c.At(21, 17), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(c.At(20, 16), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(c.At(10, 10), GetSysColor(COLOR_3DFACE));
    EXPECT_EQ(c.Ink(kRed), CRect(2, 2, 22, 18));

    Canvas s(40, 40, kRed);
    CRect sunken(2, 2, 22, 18);
    s.dc.DrawEdge(&sunken, EDGE_SUNKEN, BF_BOTTOM);
    EXPECT_EQ(sunken, CRect(2, 2, 22, 18)); // without BF_ADJUST the rectangle stays
    EXPECT_EQ(s.Ink(kRed), CRect(2, 16, 22, 18));
    EXPECT_EQ(s.At(5, 17), GetSysColor(COLOR_3DHILIGHT));
    EXPECT_EQ(s.At(5, 16), GetSysColor(COLOR_3DLIGHT));
}

TEST(Draw, FocusRectangleDrawnTwiceDisappears) {
    Canvas c(40, 30, kGrey);
    CRect r(3, 4, 30, 20);
    c.dc.DrawFocusRect(&r);
    int dots = 0;
    for (int x = r.left; x < r.right; ++x)
        dots += c.At(x, r.top) != kGrey;
    EXPECT_NEAR(dots, r.Width() / 2, 1); // dotted: every other pixel
    EXPECT_EQ(c.Ink(kGrey), r);
    EXPECT_EQ(c.At(10, 10), kGrey); // the inside is untouched
    c.dc.DrawFocusRect(&r);
    EXPECT_TRUE(c.Ink(kGrey).IsRectEmpty());
}

TEST(Draw, FrameControlsDrawWithinTheirRectangle) {
    Canvas c(60, 30, kRed);
    CRect arrow(2, 2, 18, 18);
    ASSERT_TRUE(c.dc.DrawFrameControl(&arrow, DFC_SCROLL, DFCS_SCROLLUP));
    EXPECT_EQ(c.Ink(kRed), arrow);
    // The arrow is black in the button face; pressed, it moves one pixel down and right.
    CRect glyph = c.Ink(GetSysColor(COLOR_3DFACE), CRect(4, 4, 16, 16));
    EXPECT_EQ(c.At(glyph.left + glyph.Width() / 2, glyph.top), kBlack);
    EXPECT_EQ(glyph.Height(), 4);
    Canvas p(60, 30, kRed);
    p.dc.DrawFrameControl(&arrow, DFC_SCROLL, DFCS_SCROLLUP | DFCS_PUSHED);
    CRect pushed = p.Ink(GetSysColor(COLOR_3DFACE), CRect(4, 4, 16, 16));
    EXPECT_EQ(pushed.TopLeft(), glyph.TopLeft() + CPoint(1, 1));

    CRect box(30, 2, 43, 15);
    ASSERT_TRUE(c.dc.DrawFrameControl(&box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED));
    EXPECT_EQ(c.At(36, 8), GetSysColor(COLOR_WINDOWTEXT)); // the check mark's middle
    EXPECT_EQ(c.At(33, 12), GetSysColor(COLOR_WINDOW));
    EXPECT_FALSE(c.dc.DrawFrameControl(&box, 99, 0));
}

TEST(Draw, HatchAndPatternBrushes) {
    Canvas c(32, 16);
    CBrush hatch(HS_CROSS, kBlack);
    CRect r(0, 0, 16, 16);
    c.dc.SetBkMode(TRANSPARENT);
    c.dc.FillRect(&r, &hatch);
    EXPECT_EQ(c.At(0, 0), kBlack);
    EXPECT_EQ(c.At(8, 3), kBlack);
    EXPECT_EQ(c.At(3, 3), kWhite); // transparent gaps keep what was there

    // The classic dithered scroll-bar track: a monochrome 8 x 8 pattern takes the text and
    // background colours.
    static const WORD bits[8] = {0x5500, 0xAA00, 0x5500, 0xAA00, 0x5500, 0xAA00, 0x5500, 0xAA00};
    CBitmap pattern;
    ASSERT_TRUE(pattern.CreateBitmap(8, 8, 1, 1, nullptr));
    unsigned char rows[16];
    for (int i = 0; i < 8; ++i) {
        rows[i * 2] = (unsigned char)(bits[i] >> 8);
        rows[i * 2 + 1] = 0;
    }
    pattern.SetBitmapBits(sizeof rows, rows);
    CBrush dither(&pattern);
    pattern.DeleteObject(); // the brush keeps its own copy
    c.dc.SetTextColor(kGrey);
    c.dc.SetBkColor(kWhite);
    CRect track(16, 0, 32, 16);
    c.dc.FillRect(&track, &dither);
    EXPECT_EQ(c.At(16, 0), kGrey);
    EXPECT_EQ(c.At(17, 0), kWhite);
    EXPECT_EQ(c.At(16, 1), kWhite);
    EXPECT_EQ(c.At(17, 1), kGrey);
}

TEST(Draw, SurfaceOriginAndClipRegionBoundTheContext) {
    // A child window at (20, 10) of its top-level window, partly covered: only its visible
    // area may change.
    cairo_rectangle_int_t visible{20, 10, 30, 20};
    cairo_region_t* clip = cairo_region_create_rectangle(&visible);
    Canvas c(100, 60, kWhite, POINT{20, 10}, clip);
    cairo_region_destroy(clip);
    c.dc.FillSolidRect(-10, -10, 200, 200, kRed);
    EXPECT_EQ(c.Ink(kWhite), CRect(20, 10, 50, 30));
    c.dc.FillSolidRect(0, 0, 1, 1, kBlack); // logical (0, 0) is the child's corner
    EXPECT_EQ(c.At(20, 10), kBlack);

    CRect box;
    EXPECT_EQ(c.dc.GetClipBox(&box), SIMPLEREGION);
    EXPECT_EQ(box, CRect(0, 0, 30, 20));
    EXPECT_TRUE(c.dc.PtVisible(29, 19));
    EXPECT_FALSE(c.dc.PtVisible(30, 5));
    EXPECT_EQ(c.dc.GetPixel(40, 5), CLR_INVALID);

    // A clip the program sets narrows it further, and SaveDC/RestoreDC brings the old one back.
    int saved = c.dc.SaveDC();
    c.dc.IntersectClipRect(5, 5, 10, 10);
    c.dc.FillSolidRect(0, 0, 30, 20, kBlack);
    EXPECT_EQ(c.Ink(kRed, CRect(20, 10, 50, 30)), CRect(20, 10, 30, 20));
    c.dc.RestoreDC(saved);
    c.dc.GetClipBox(&box);
    EXPECT_EQ(box, CRect(0, 0, 30, 20));
}

TEST(Draw, RegionsSelectedForClipping) {
    Canvas c(40, 40);
    CRgn a, b;
    a.CreateRectRgn(0, 0, 20, 20);
    b.CreateRectRgn(10, 10, 30, 30);
    CRgn both;
    both.CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(both.CombineRgn(&a, &b, RGN_OR), COMPLEXREGION);
    EXPECT_TRUE(both.PtInRegion(25, 25));
    EXPECT_FALSE(both.PtInRegion(25, 5));
    c.dc.SelectClipRgn(&both);
    both.OffsetRgn(100, 100); // the context keeps its own copy
    c.dc.FillSolidRect(0, 0, 40, 40, kRed);
    EXPECT_EQ(c.At(5, 5), kRed);
    EXPECT_EQ(c.At(25, 25), kRed);
    EXPECT_EQ(c.At(25, 5), kWhite);
    c.dc.SelectClipRgn(nullptr);
    c.dc.FillSolidRect(25, 5, 1, 1, kBlack);
    EXPECT_EQ(c.At(25, 5), kBlack);
}

TEST(Draw, WindowOriginShiftsLogicalCoordinates) {
    Canvas c(40, 40);
    c.dc.SetWindowOrg(10, 10);
    c.dc.FillSolidRect(10, 10, 2, 2, kRed);
    EXPECT_EQ(c.Ink(kWhite), CRect(0, 0, 2, 2));
    c.dc.SetViewportOrg(5, 0);
    c.dc.SetPixel(10, 10, kBlack);
    EXPECT_EQ(c.At(5, 0), kBlack);
    EXPECT_EQ(c.dc.GetPixel(10, 10), kBlack);
}

TEST(Draw, StyledPensFillTheirGapsOnlyWhenOpaque) {
    Canvas c(60, 4);
    CPen dot(PS_DOT, 1, kBlack);
    c.dc.SelectObject(&dot);
    c.dc.SetBkMode(TRANSPARENT);
    c.dc.MoveTo(0, 1);
    c.dc.LineTo(60, 1);
    int on = 0;
    for (int x = 0; x < 60; ++x)
        on += c.At(x, 1) == kBlack;
    EXPECT_GT(on, 20);
    EXPECT_LT(on, 40); // dotted, not solid
    EXPECT_EQ(c.At(0, 1), kBlack);
    c.dc.SetBkMode(OPAQUE);
    c.dc.SetBkColor(kRed);
    c.dc.MoveTo(0, 2);
    c.dc.LineTo(60, 2);
    for (int x = 0; x < 60; ++x)
        ASSERT_EQ(c.At(x, 2), c.At(x, 1) == kBlack ? kBlack : kRed) << x;
    c.dc.SelectStockObject(BLACK_PEN);
}

TEST(Draw, WidePensAndFilledShapes) {
    Canvas c(60, 60);
    CPen wide(PS_SOLID, 3, kBlack);
    c.dc.SelectObject(&wide);
    c.dc.MoveTo(10, 10);
    c.dc.LineTo(40, 10);
    CRect ink = c.Ink(kWhite);
    EXPECT_EQ(ink.top, 9);
    EXPECT_EQ(ink.bottom, 12);
    c.dc.SelectStockObject(BLACK_PEN);

    Canvas e(60, 60);
    CBrush red(kRed);
    e.dc.SelectObject(&red);
    e.dc.SelectStockObject(NULL_PEN);
    e.dc.Ellipse(10, 10, 50, 30);
    EXPECT_EQ(e.At(30, 20), kRed);
    EXPECT_EQ(e.At(11, 11), kWhite); // the corners of the box stay
    EXPECT_EQ(e.At(48, 28), kWhite);
    CRect box = e.Ink(kWhite);
    EXPECT_GE(box.left, 10);
    EXPECT_LE(box.right, 50);

    Canvas p(60, 60);
    p.dc.SelectObject(&red);
    POINT tri[3] = {{10, 10}, {50, 10}, {10, 50}};
    ASSERT_TRUE(p.dc.Polygon(tri, 3));
    EXPECT_EQ(p.At(20, 20), kRed);
    EXPECT_EQ(p.At(10, 30), kBlack); // the outline
    EXPECT_EQ(p.At(45, 45), kWhite);
    for (Canvas* k : {&e, &p}) {
        k->dc.SelectStockObject(WHITE_BRUSH);
        k->dc.SelectStockObject(BLACK_PEN);
    }
}

TEST(Draw, PatternInversionTwiceRestores) {
    Canvas c(20, 20, RGB(10, 20, 30));
    CBrush hatch(HS_DIAGCROSS, RGB(200, 100, 0));
    c.dc.SelectObject(&hatch);
    c.dc.PatBlt(2, 2, 10, 10, PATINVERT);
    EXPECT_FALSE(c.Ink(RGB(10, 20, 30)).IsRectEmpty());
    c.dc.PatBlt(2, 2, 10, 10, PATINVERT);
    EXPECT_TRUE(c.Ink(RGB(10, 20, 30)).IsRectEmpty());
    CRect r(0, 0, 5, 5);
    c.dc.InvertRect(&r);
    EXPECT_EQ(c.At(4, 4), RGB(245, 235, 225));
    EXPECT_EQ(c.At(5, 5), RGB(10, 20, 30));
    EXPECT_FALSE(c.dc.PatBlt(0, 0, 5, 5, SRCCOPY)); // a block copy needs a source
    c.dc.SelectStockObject(WHITE_BRUSH);
}

TEST(Draw, BrushOriginAlignsPatterns) {
    Canvas a(16, 2), b(16, 2);
    CBrush hatch(HS_VERTICAL, kBlack);
    CRect r(0, 0, 16, 2);
    a.dc.FillRect(&r, &hatch);
    b.dc.SetBrushOrg(3, 0);
    b.dc.FillRect(&r, &hatch);
    for (int x = 0; x < 16; ++x)
        ASSERT_EQ(b.At(x, 0), a.At((x + 16 - 3) % 16, 0)) << x;
    EXPECT_EQ(a.At(1, 0), kWhite); // opaque hatch gaps take the background colour
}

TEST(Draw, FrameRectAndFlatEdges) {
    Canvas c(30, 30, kGrey);
    CBrush red(kRed);
    CRect r(2, 2, 12, 8);
    c.dc.FrameRect(&r, &red);
    EXPECT_EQ(c.Ink(kGrey), r);
    EXPECT_EQ(c.At(5, 5), kGrey);
    EXPECT_EQ(c.At(11, 7), kRed);

    Canvas f(30, 30, kRed);
    CRect flat(2, 2, 20, 20);
    f.dc.DrawEdge(&flat, EDGE_SUNKEN, BF_RECT | BF_FLAT | BF_ADJUST);
    EXPECT_EQ(f.At(2, 2), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(f.At(19, 19), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(f.At(3, 3), GetSysColor(COLOR_3DFACE));
    EXPECT_EQ(flat, CRect(4, 4, 18, 18));
    CRect mono(22, 2, 28, 8);
    f.dc.DrawEdge(&mono, EDGE_RAISED, BF_RECT | BF_MONO);
    EXPECT_EQ(f.At(22, 2), GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_EQ(f.At(23, 3), GetSysColor(COLOR_WINDOW));
}

TEST(Draw, ClipCombinationsAndTheProgramsRegion) {
    Canvas c(40, 40);
    c.dc.ExcludeClipRect(10, 10, 20, 20);
    CRgn copy;
    copy.CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(c.dc, copy), 1);
    EXPECT_FALSE(copy.PtInRegion(15, 15));
    EXPECT_TRUE(copy.PtInRegion(5, 15));
    CRgn strip;
    strip.CreateRectRgn(0, 0, 40, 5);
    c.dc.SelectClipRgn(&strip, RGN_DIFF);
    c.dc.FillSolidRect(0, 0, 40, 40, kRed);
    EXPECT_EQ(c.At(15, 15), kWhite);
    EXPECT_EQ(c.At(30, 2), kWhite);
    EXPECT_EQ(c.At(30, 30), kRed);
    c.dc.SelectClipRgn(nullptr);
    EXPECT_EQ(GetClipRgn(c.dc, copy), 0);
    CRect box;
    EXPECT_EQ(c.dc.GetClipBox(&box), SIMPLEREGION);
    EXPECT_EQ(box, CRect(0, 0, 40, 40));
}

// Solid and patterned fills, lines and frames are written into a plain image directly; on a
// surface cairo must draw (here an image it shifts by a device offset) they go through cairo.
// Both ways give the same pixels, under a clip of several rectangles, a clip a text sets for
// its cell, a window origin and a child's offset on its surface.
void DrawSolids(CDC& dc) {
    CRgn holes;
    holes.CreateRectRgn(0, 0, 120, 80);
    CRgn hole;
    hole.CreateRectRgn(30, 20, 50, 40);
    holes.CombineRgn(&holes, &hole, RGN_DIFF);
    dc.SelectClipRgn(&holes);
    dc.FillSolidRect(-5, -5, 200, 100, RGB(250, 240, 230));
    dc.FillSolidRect(10, 10, 60, 30, kRed);
    CBrush green(RGB(0, 160, 0));
    CRect box(40, 5, 90, 60);
    dc.FillRect(&box, &green);
    // A pattern and a hatch on an opaque background, each from the brush origin.
    uint32_t bits[16];
    for (int i = 0; i < 16; ++i)
        bits[i] = (i * 37 % 5 == 0) ? 0x00204080u : 0x00E0C0A0u;
    CBitmap pattern;
    pattern.CreateBitmap(4, 4, 1, 32, bits);
    CBrush patterned(&pattern);
    CRect tiled(13, 45, 47, 77);
    dc.SetBrushOrg(1, 2);
    dc.FillRect(&tiled, &patterned);
    CBrush hatched(HS_DIAGCROSS, RGB(128, 0, 64));
    dc.SetBkMode(OPAQUE);
    dc.SetBkColor(RGB(200, 255, 200));
    CRect crossed(85, 40, 117, 58);
    dc.FillRect(&crossed, &hatched);
    CPen blue(PS_SOLID, 1, RGB(0, 0, 200));
    CPen* old = dc.SelectObject(&blue);
    for (int y = 2; y < 78; y += 7) {
        dc.MoveTo(0, y);
        dc.LineTo(118, y);
    }
    for (int x = 3; x < 118; x += 11) {
        dc.MoveTo(x, 0);
        dc.LineTo(x, 79);
    }
    CPen thick(PS_INSIDEFRAME, 3, RGB(90, 0, 90));
    dc.SelectObject(&thick);
    dc.Rectangle(60, 30, 100, 70);
    dc.SelectObject(old);
    CRect edge(5, 50, 35, 75);
    dc.DrawEdge(&edge, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    dc.Draw3dRect(95, 5, 20, 20, kBlack, kGrey);
    // Text longer than its cell, its background painted: the cell clips it.
    dc.SetWindowOrg(-2, -3);
    dc.SetBkMode(OPAQUE);
    dc.SetBkColor(RGB(255, 255, 0));
    CRect cell(20, 40, 60, 56);
    dc.DrawText("a cell's text that is far too long", -1, &cell, DT_SINGLELINE);
    CRect opaque(70, 60, 110, 74);
    dc.ExtTextOut(72, 60, ETO_OPAQUE | ETO_CLIPPED, &opaque, "clipped text", 12, nullptr);
    dc.SelectClipRgn(nullptr);
    dc.FillSolidRect(100, 70, 30, 30, kBlack);
}

TEST(Draw, SolidFillsWrittenDirectlyLookAsCairoDrawsThem) {
    const cairo_rectangle_int_t visible{10, 5, 120, 80};
    cairo_region_t* clip = cairo_region_create_rectangle(&visible);
    Canvas direct(140, 90, kWhite, POINT{10, 5}, clip);
    DrawSolids(direct.dc);

    // The same on an image that cairo shifts by a device offset, which it draws on itself:
    // surface pixel (x, y) lands on its pixel (x + 7, y + 9).
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 160, 110);
    cairo_t* cr = cairo_create(image);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_set_device_offset(image, 7, 9);
    {
        CDC dc;
        dc.Attach(KelCreateSurfaceDC(image, POINT{10, 5}, clip));
        DrawSolids(dc);
        KelDeleteSurfaceDC(dc.Detach());
    }
    cairo_region_destroy(clip);
    GdiFlush();
    cairo_surface_flush(image);
    const unsigned char* data = cairo_image_surface_get_data(image);
    const int stride = cairo_image_surface_get_stride(image);
    int differing = 0;
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 140; ++x) {
            const uint32_t px =
                reinterpret_cast<const uint32_t*>(data + (size_t)(y + 9) * stride)[x + 7];
            differing += RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF) != direct.At(x, y);
        }
    EXPECT_EQ(differing, 0);
    // Something of each was drawn, and nothing outside the child's visible part.
    EXPECT_EQ(direct.Ink(kWhite), CRect(10, 5, 130, 85));
    EXPECT_EQ(direct.At(11, 6), RGB(250, 240, 230));
    EXPECT_EQ(direct.At(45, 30), kWhite); // the hole kept every fill out
    EXPECT_EQ(direct.At(125, 80), kBlack);
    cairo_surface_destroy(image);
}

} // namespace
