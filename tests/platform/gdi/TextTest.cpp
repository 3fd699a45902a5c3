// Fonts, metrics and text output, checked against the pixels drawn.
#include "Canvas.h"

#include "platform/core/Utf8.h"
#include "platform/gdi/FontEngine.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

void MakeFont(CFont& font, int height, int weight = FW_NORMAL, LPCTSTR face = "Arial",
              BOOL underline = FALSE) {
    ASSERT_TRUE(font.CreateFont(height, 0, 0, 0, weight, FALSE, underline, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_DONTCARE, face));
}

// A canvas with the grid's cell font selected, black text on white, transparent.
struct TextCanvas : Canvas {
    CFont font;
    explicit TextCanvas(int cx = 300, int cy = 60, int height = -12, int weight = FW_NORMAL)
        : Canvas(cx, cy) {
        MakeFont(font, height, weight);
        dc.SelectObject(&font);
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(kBlack);
    }
};

TEST(Text, ArialNinePointMeasuresAsTheGridExpects) {
    TextCanvas c;
    TEXTMETRIC tm{};
    ASSERT_TRUE(c.dc.GetTextMetrics(&tm));
    EXPECT_GE(tm.tmHeight, 14);
    EXPECT_LE(tm.tmHeight, 15);
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_EQ(tm.tmInternalLeading, tm.tmHeight - 12); // -12 asks for a 12-pixel em
    EXPECT_GE(tm.tmAveCharWidth, 5);
    EXPECT_LE(tm.tmAveCharWidth, 7);
    EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
    EXPECT_EQ(tm.tmWeight, FW_NORMAL);

    CFont bold;
    MakeFont(bold, -12, FW_BOLD);
    c.dc.SelectObject(&bold);
    TEXTMETRIC tmBold{};
    ASSERT_TRUE(c.dc.GetTextMetrics(&tmBold));
    EXPECT_EQ(tmBold.tmHeight, tm.tmHeight);
    EXPECT_GT(tmBold.tmAveCharWidth, tm.tmAveCharWidth);
    int boldWidth = c.dc.GetTextExtent("Customer name").cx;
    c.dc.SelectObject(&c.font);
    EXPECT_GT(boldWidth, c.dc.GetTextExtent("Customer name").cx);
}

TEST(Text, PositiveHeightIsTheCellAndAverageWidthTracksText) {
    Canvas c(10, 10);
    CFont cell;
    MakeFont(cell, 20);
    c.dc.SelectObject(&cell);
    TEXTMETRIC tm{};
    ASSERT_TRUE(c.dc.GetTextMetrics(&tm));
    EXPECT_EQ(tm.tmHeight, 20);
    EXPECT_GT(tm.tmInternalLeading, 0);
    // The average width is the weighted lower-case average: ordinary text is close to it.
    const char* sample = "the quick brown fox jumps over the lazy dog";
    double perChar = c.dc.GetTextExtent(sample).cx / (double)std::strlen(sample);
    EXPECT_NEAR(perChar, tm.tmAveCharWidth, 1.5);
}

TEST(Text, InkStaysInTheCellAndMatchesTheExtent) {
    for (int height : {-10, -12, -17}) {
        TextCanvas c(300, 60, height);
        TEXTMETRIC tm{};
        c.dc.GetTextMetrics(&tm);
        const char* text = "Hxgjy Quarterly [123]";
        c.dc.TextOut(10, 10, text);
        CRect ink = c.Ink(kWhite);
        CSize ext = c.dc.GetTextExtent(text);
        EXPECT_GE(ink.top, 10) << height;
        EXPECT_LE(ink.bottom, 10 + tm.tmHeight) << height;
        EXPECT_GE(ink.left, 10 - 1) << height;
        EXPECT_NEAR(ink.Width(), ext.cx, 2) << height;
        EXPECT_EQ(ext.cy, tm.tmHeight);
    }
}

TEST(Text, AlignmentPlacesTheTextAroundThePoint) {
    TextCanvas c(300, 80);
    TEXTMETRIC tm{};
    c.dc.GetTextMetrics(&tm);
    const char* text = "1,234.50";
    CSize ext = c.dc.GetTextExtent(text);

    c.dc.SetTextAlign(TA_RIGHT);
    c.dc.TextOut(200, 5, text);
    CRect right = c.Ink(kWhite, CRect(0, 0, 300, 25));
    EXPECT_LE(right.right, 200);
    EXPECT_GE(right.right, 200 - 2);
    EXPECT_NEAR(right.left, 200 - ext.cx, 2);

    c.dc.SetTextAlign(TA_CENTER | TA_BASELINE);
    c.dc.TextOut(150, 60, "123450");
    CRect centre = c.Ink(kWhite, CRect(0, 30, 300, 80));
    EXPECT_NEAR((centre.left + centre.right) / 2.0, 150, 2);
    EXPECT_EQ(centre.bottom, 60); // digits sit on the baseline
    c.dc.SetTextAlign(TA_LEFT);
}

TEST(Text, UpdateCpAdvancesThePosition) {
    TextCanvas c;
    c.dc.SetTextAlign(TA_UPDATECP);
    c.dc.MoveTo(10, 5);
    c.dc.TextOut(0, 0, "abc");
    EXPECT_EQ(c.dc.GetCurrentPosition(), CPoint(10 + c.dc.GetTextExtent("abc").cx, 5));
}

TEST(Text, OpaqueModePaintsTheCellInTheBackgroundColour) {
    TextCanvas c;
    TEXTMETRIC tm{};
    c.dc.GetTextMetrics(&tm);
    c.dc.SetBkMode(OPAQUE);
    c.dc.SetBkColor(RGB(255, 255, 0));
    c.dc.TextOut(10, 10, "ab");
    CSize ext = c.dc.GetTextExtent("ab");
    EXPECT_EQ(c.Ink(kWhite), CRect(10, 10, 10 + ext.cx, 10 + tm.tmHeight));
    EXPECT_EQ(c.At(10, 10), RGB(255, 255, 0));
}

TEST(Text, FillSolidRectLeavesItsColourAsTheBackground) {
    Canvas c(20, 20);
    c.dc.SetBkColor(RGB(1, 2, 3));
    c.dc.FillSolidRect(2, 2, 5, 5, RGB(200, 0, 0));
    EXPECT_EQ(c.dc.GetBkColor(), RGB(200, 0, 0));
    EXPECT_EQ(c.Ink(kWhite), CRect(2, 2, 7, 7));
}

// The string the system shows for text that does not fit: as many characters as fit with
// "..." after them.
std::string Truncated(CDC& dc, const std::string& text, int width) {
    for (size_t n = text.size(); n > 0; --n) {
        std::string s = text.substr(0, n) + "...";
        if (dc.GetTextExtent(s.c_str(), (int)s.size()).cx <= width)
            return s;
    }
    return "...";
}

TEST(Text, EndEllipsisFitsTheCell) {
    const std::string text = "Northwind Traders International";
    const UINT fmt = DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
    TextCanvas drawn, expected;
    CRect cell(10, 5, 110, 20);
    drawn.dc.DrawText(text.c_str(), -1, &cell, fmt | DT_LEFT);
    CRect ink = drawn.Ink(kWhite);
    EXPECT_LE(ink.right, cell.right);
    EXPECT_GT(ink.right, cell.right - 15); // the cell is used, not left half empty

    // Pixel for pixel what the truncated string with its ellipsis looks like.
    std::string shown = Truncated(expected.dc, text, cell.Width());
    ASSERT_LT(shown.size(), text.size());
    expected.dc.TextOut(cell.left, cell.top, shown.c_str(), (int)shown.size());
    EXPECT_EQ(expected.Ink(kWhite), ink);
    for (int y = ink.top; y < ink.bottom; ++y)
        for (int x = ink.left; x < ink.right; ++x)
            ASSERT_EQ(drawn.At(x, y), expected.At(x, y)) << x << "," << y;

    // Right-aligned, the ellipsis ends at the cell's right edge too.
    TextCanvas right;
    right.dc.DrawText(text.c_str(), -1, &cell, fmt | DT_RIGHT);
    CRect rink = right.Ink(kWhite);
    EXPECT_LE(rink.right, cell.right);
    EXPECT_GE(rink.left, cell.left);
}

TEST(Text, ShortTextIsUnchangedByTheEllipsisFlag) {
    TextCanvas a, b;
    CRect cell(10, 5, 200, 20);
    a.dc.DrawText("Smith", -1, &cell, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    b.dc.TextOut(10, 5, "Smith");
    EXPECT_EQ(a.Ink(kWhite), b.Ink(kWhite));
    EXPECT_FALSE(a.Ink(kWhite).IsRectEmpty());

    // A cell narrower than the ellipsis still keeps the drawing inside it.
    TextCanvas tiny;
    CRect narrow(10, 5, 14, 20);
    tiny.dc.DrawText("Smith", -1, &narrow, DT_SINGLELINE | DT_END_ELLIPSIS);
    CRect ink = tiny.Ink(kWhite);
    EXPECT_GE(ink.left, narrow.left);
    EXPECT_LE(ink.right, narrow.right);
}

TEST(Text, CalcRectGivesTheExtentWithoutDrawing) {
    TextCanvas c;
    TEXTMETRIC tm{};
    c.dc.GetTextMetrics(&tm);
    CRect r(5, 7, 6, 8);
    int h = c.dc.DrawText("Order date", -1, &r, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(h, tm.tmHeight);
    EXPECT_EQ(r, CRect(5, 7, 5 + c.dc.GetTextExtent("Order date").cx, 7 + tm.tmHeight));
    EXPECT_TRUE(c.Ink(kWhite).IsRectEmpty());

    // Word wrapping: lines no wider than the rectangle, the height of all of them.
    CRect wrap(0, 0, 60, 0);
    h = c.dc.DrawText("one two three four five six", -1, &wrap, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_GE(h, 3 * tm.tmHeight);
    EXPECT_EQ(h % tm.tmHeight, 0);
    EXPECT_LE(wrap.Width(), 60);
    EXPECT_EQ(wrap.Height(), h);
    // Explicit line breaks without wrapping.
    CRect lines(0, 0, 10, 0);
    EXPECT_EQ(c.dc.DrawText("a\r\nb\nc", -1, &lines, DT_CALCRECT), 3 * tm.tmHeight);
}

TEST(Text, WordBreakDrawsLinesInsideTheRectangle) {
    TextCanvas c(200, 100);
    TEXTMETRIC tm{};
    c.dc.GetTextMetrics(&tm);
    CRect r(10, 10, 80, 90);
    int h = c.dc.DrawText("Please choose the columns to show", -1, &r, DT_WORDBREAK | DT_CENTER);
    CRect ink = c.Ink(kWhite);
    EXPECT_GE(ink.left, r.left);
    EXPECT_LE(ink.right, r.right);
    EXPECT_GT(ink.bottom, r.top + 2 * tm.tmHeight); // at least three lines
    EXPECT_LE(ink.bottom, r.top + h);
}

TEST(Text, VerticalCentringAndItsReturnValue) {
    TextCanvas c(200, 60);
    TEXTMETRIC tm{};
    c.dc.GetTextMetrics(&tm);
    CRect r(0, 0, 200, 40);
    int h = c.dc.DrawText("Total", -1, &r, DT_SINGLELINE | DT_VCENTER);
    int top = (40 - tm.tmHeight) / 2;
    EXPECT_EQ(h, top + tm.tmHeight); // offset from the top to the bottom of the text
    CRect ink = c.Ink(kWhite);
    EXPECT_GE(ink.top, top);
    EXPECT_LE(ink.bottom, top + tm.tmHeight);
}

TEST(Text, PrefixesUnderlineOrShowTheAmpersand) {
    TextCanvas withPrefix, plain, doubled, literal;
    CRect r(5, 5, 200, 25);
    withPrefix.dc.DrawText("&File", -1, &r, DT_SINGLELINE);
    plain.dc.DrawText("File", -1, &r, DT_SINGLELINE);
    // The prefixed letter gets an underline below the text; the rest is the same.
    CRect a = withPrefix.Ink(kWhite), b = plain.Ink(kWhite);
    EXPECT_EQ(a.left, b.left);
    EXPECT_GT(a.bottom, b.bottom);
    CSize f = plain.dc.GetTextExtent("F");
    int underlineY = a.bottom - 1;
    EXPECT_EQ(withPrefix.At(5, underlineY), kBlack);
    EXPECT_EQ(withPrefix.At(5 + f.cx + 1, underlineY), kWhite); // only under the F

    // "&&" shows one ampersand; DT_NOPREFIX shows the text as it is.
    doubled.dc.DrawText("R&&D", -1, &r, DT_SINGLELINE);
    literal.dc.DrawText("R&D", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(doubled.Ink(kWhite), literal.Ink(kWhite));
    EXPECT_NEAR(literal.Ink(kWhite).Width(), literal.dc.GetTextExtent("R&D").cx, 2);

    // A single line shows its line break as one mark; the prefix still marks its own letter.
    TextCanvas broken, joined;
    broken.dc.DrawText("Fi\r\n&le", -1, &r, DT_SINGLELINE);
    joined.dc.DrawText("Fi&le", -1, &r, DT_SINGLELINE);
    CRect ink = broken.Ink(kWhite);
    int mark = broken.dc.GetTextExtent("Fi\r\n").cx - broken.dc.GetTextExtent("Fi").cx;
    EXPECT_GT(mark, 0);
    EXPECT_EQ(broken.dc.GetTextExtent("Fi\n").cx, broken.dc.GetTextExtent("Fi\r\n").cx);
    EXPECT_EQ(ink.Width(), joined.Ink(kWhite).Width() + mark);
    int underline = ink.bottom - 1;
    int l = 5 + broken.dc.GetTextExtent("Fi\r\n").cx;
    EXPECT_EQ(broken.At(l, underline), kBlack);
    EXPECT_EQ(broken.At(6, underline), kWhite);
}

TEST(Text, ClippedToTheRectangleUnlessNoClip) {
    TextCanvas clipped, free;
    CRect r(10, 5, 30, 20);
    clipped.dc.DrawText("Wide text here", -1, &r, DT_SINGLELINE);
    free.dc.DrawText("Wide text here", -1, &r, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_LE(clipped.Ink(kWhite).right, 30);
    EXPECT_GT(free.Ink(kWhite).right, 30);
    // Text that fits is drawn unclipped; what reaches past any edge still is clipped: a
    // rectangle lower than the text, text aligned right that runs out on the left, and an
    // opaque background wider than the rectangle.
    struct Case {
        CRect r;
        UINT format;
        int bkMode;
    };
    for (const Case& k : {Case{CRect(10, 10, 200, 16), DT_SINGLELINE, TRANSPARENT},
                          Case{CRect(50, 10, 70, 40), DT_SINGLELINE | DT_RIGHT, TRANSPARENT},
                          Case{CRect(50, 10, 70, 40), DT_SINGLELINE | DT_CENTER, OPAQUE},
                          Case{CRect(10, 10, 200, 16), DT_SINGLELINE | DT_VCENTER, OPAQUE}}) {
        TextCanvas c;
        c.dc.SetBkMode(k.bkMode);
        c.dc.SetBkColor(RGB(255, 0, 0));
        CRect r = k.r;
        c.dc.DrawText("Quarterly gjy", -1, &r, k.format);
        const CRect ink = c.Ink(kWhite);
        EXPECT_FALSE(ink.IsRectEmpty()) << k.format;
        EXPECT_TRUE(ink.left >= k.r.left && ink.right <= k.r.right && ink.top >= k.r.top &&
                    ink.bottom <= k.r.bottom)
            << k.format << " " << ink.left << "," << ink.top << "," << ink.right << ","
            << ink.bottom;
    }
}

TEST(Text, ExtentsOfUtf8CountWholeCharacters) {
    TextCanvas c;
    const char* text = "Gr\xC3\xBC\xC3\x9F"
                       "e"; // "Grüße": 7 bytes, 5 characters
    int fit = 0;
    int dx[7] = {};
    SIZE size{};
    ASSERT_TRUE(GetTextExtentExPoint(c.dc, text, 7, 1000, &fit, dx, &size));
    EXPECT_EQ(fit, 7);
    EXPECT_EQ(dx[2], dx[3]); // both bytes of ü end where ü ends
    EXPECT_EQ(dx[6], size.cx);
    int half = 0;
    GetTextExtentExPoint(c.dc, text, 7, dx[3], &half, nullptr, &size);
    EXPECT_EQ(half, 4);
}

TEST(Text, UnderlinedFontDrawsItsLine) {
    Canvas c(100, 40);
    CFont underlined;
    MakeFont(underlined, -12, FW_NORMAL, "Arial", TRUE);
    c.dc.SetBkMode(TRANSPARENT);
    c.dc.SelectObject(&underlined);
    TEXTMETRIC tm{};
    c.dc.GetTextMetrics(&tm);
    EXPECT_TRUE(tm.tmUnderlined);
    c.dc.TextOut(5, 5, "ace");
    // "ace" has no descenders: ink below the baseline is the underline, across the text.
    CRect below = c.Ink(kWhite, CRect(0, 5 + tm.tmAscent, 100, 40));
    EXPECT_FALSE(below.IsRectEmpty());
    EXPECT_NEAR(below.Width(), c.dc.GetTextExtent("ace").cx, 1);
    EXPECT_LE(below.bottom, 5 + tm.tmHeight);
}

TEST(Text, StockFontsAndFaceNames) {
    Canvas c(10, 10);
    c.dc.SelectStockObject(DEFAULT_GUI_FONT);
    TEXTMETRIC tm{};
    ASSERT_TRUE(c.dc.GetTextMetrics(&tm));
    EXPECT_GE(tm.tmHeight, 12);
    EXPECT_LE(tm.tmHeight, 14);
    CString face;
    c.dc.GetTextFace(face);
    EXPECT_EQ(face, "MS Shell Dlg");
    LOGFONT lf{};
    CFont::FromHandle((HFONT)GetStockObject(DEFAULT_GUI_FONT))->GetLogFont(&lf);
    EXPECT_EQ(lf.lfHeight, -11);

    CFont pt;
    ASSERT_TRUE(pt.CreatePointFont(90, "Arial"));
    pt.GetLogFont(&lf);
    EXPECT_EQ(lf.lfHeight, -12); // 9 points at 96 dpi
}

TEST(Text, TabsExpandToEightAverageWidths) {
    TextCanvas c;
    TEXTMETRIC tm{};
    c.dc.GetTextMetrics(&tm);
    CRect r(0, 0, 300, 20);
    c.dc.DrawText("a\tb", -1, &r, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT);
    EXPECT_EQ(r.Width(), 8 * tm.tmAveCharWidth + c.dc.GetTextExtent("b").cx);
}

TEST(Text, HiddenAndOnlyPrefixes) {
    TextCanvas hidden, plain, only;
    CRect r(5, 5, 200, 25);
    hidden.dc.DrawText("&Open", -1, &r, DT_SINGLELINE | DT_HIDEPREFIX);
    plain.dc.DrawText("Open", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(hidden.Ink(kWhite), plain.Ink(kWhite));
    only.dc.DrawText("&Open", -1, &r, DT_SINGLELINE | DT_PREFIXONLY);
    CRect line = only.Ink(kWhite);
    EXPECT_EQ(line.Height(), 1);
    EXPECT_EQ(line.left, 5);
    EXPECT_NEAR(line.Width(), plain.dc.GetTextExtent("O").cx, 1);
}

TEST(Text, ExtTextOutFillsAndClipsToItsRectangle) {
    TextCanvas c(200, 40);
    c.dc.SetBkColor(RGB(255, 255, 0));
    CRect r(10, 5, 40, 25);
    ASSERT_TRUE(c.dc.ExtTextOut(12, 6, ETO_OPAQUE | ETO_CLIPPED, &r, "Clipped text", 12, nullptr));
    EXPECT_EQ(c.Ink(kWhite), r);
    EXPECT_EQ(c.At(10, 5), RGB(255, 255, 0));
    // Explicit advances place each character.
    TextCanvas d(200, 40);
    INT dx[3] = {20, 20, 20};
    d.dc.ExtTextOut(0, 0, 0, nullptr, "iii", 3, dx);
    CRect ink = d.Ink(kWhite);
    EXPECT_GE(ink.Width(), 40);
}

TEST(Text, WidthAndFallbackFaces) {
    Canvas c(10, 10);
    CFont wide, arial, missing;
    ASSERT_TRUE(wide.CreateFont(-12, 12, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
    MakeFont(arial, -12);
    MakeFont(missing, -12, FW_NORMAL, "No Such Face");
    c.dc.SelectObject(&arial);
    TEXTMETRIC tmArial{};
    c.dc.GetTextMetrics(&tmArial);
    int arialWidth = c.dc.GetTextExtent("Sample").cx;
    c.dc.SelectObject(&wide);
    TEXTMETRIC tmWide{};
    c.dc.GetTextMetrics(&tmWide);
    EXPECT_NEAR(tmWide.tmAveCharWidth, 12, 1);
    EXPECT_EQ(tmWide.tmHeight, tmArial.tmHeight);
    EXPECT_GT(c.dc.GetTextExtent("Sample").cx, arialWidth * 3 / 2);
    // An uninstalled face falls back to the classic sans face.
    c.dc.SelectObject(&missing);
    EXPECT_EQ(c.dc.GetTextExtent("Sample").cx, arialWidth);
}

// Text the cell font has no glyph for, drawn by another installed face: never the font's own
// missing-glyph box.
struct ScriptCanvas : TextCanvas {
    explicit ScriptCanvas(int height = -16) : TextCanvas(200, 40, height) {}
    // Pixels that differ from another canvas of the same size.
    int Differences(const Canvas& other) const {
        int n = 0;
        for (int y = 0; y < Height(); ++y)
            for (int x = 0; x < Width(); ++x)
                n += At(x, y) != other.At(x, y);
        return n;
    }
};

// The missing-glyph box of the cell font (its glyph 0), drawn where text at (x, y) would be.
void DrawMissingGlyph(ScriptCanvas& c, int x, int y) {
    LOGFONT lf{};
    c.font.GetLogFont(&lf);
    const kel::gdi::FontInstance* f = kel::gdi::FindFont(lf);
    ASSERT_NE(f, nullptr);
    cairo_t* cr = cairo_create(c.Surface());
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_scaled_font(cr, f->Scaled());
    cairo_glyph_t box{0, (double)x, (double)(y + f->Metrics().tmAscent)};
    cairo_show_glyphs(cr, &box, 1);
    cairo_destroy(cr);
}

TEST(Text, EveryScriptIsDrawnByAFaceThatHasIt) {
    ScriptCanvas box;
    DrawMissingGlyph(box, 10, 5);
    ASSERT_FALSE(box.Ink(kWhite).IsRectEmpty());
    // Arabic, a snowman, a check mark, Hebrew, CJK-free symbols: DejaVu has them all.
    for (const char* text : {"\u0627", "\u0639", "\u2603", "\u2714", "\u05D0", "\u263A"}) {
        ScriptCanvas c;
        c.dc.TextOut(10, 5, text, (int)std::strlen(text));
        CRect ink = c.Ink(kWhite);
        EXPECT_FALSE(ink.IsRectEmpty()) << text;
        EXPECT_GT(c.Differences(box), 20) << text;
        EXPECT_GT(c.dc.GetTextExtent(text).cx, 0) << text;
    }
    // A cell of Arabic and a snowman among Latin text keeps the Latin where it was.
    ScriptCanvas mixed, latin;
    CRect cell(2, 2, 198, 38);
    const char* text = "Ab \u0645\u0631\u062D\u0628\u0627 \u2603";
    mixed.dc.DrawText(text, -1, &cell, DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
    latin.dc.DrawText("Ab", -1, &cell, DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
    CRect a = latin.Ink(kWhite);
    for (int y = a.top; y < a.bottom; ++y)
        for (int x = a.left; x < a.right; ++x)
            ASSERT_EQ(mixed.At(x, y), latin.At(x, y)) << x << "," << y;
    EXPECT_GT(mixed.Ink(kWhite).Width(), a.Width() + 40);
}

TEST(Text, ArabicIsJoinedAndRunsRightToLeft) {
    ScriptCanvas c;
    // Joined, a beh takes its narrow initial, medial and final forms.
    const char* beh = "\u0628";
    const char* behs = "\u0628\u0628\u0628";
    EXPECT_LT(c.dc.GetTextExtent(behs).cx, 3 * c.dc.GetTextExtent(beh).cx);
    // A lam (the one tall letter) written first stands at the right end.
    const char* word = "\u0644\u0628\u0628\u0628";
    c.dc.TextOut(10, 5, word, (int)std::strlen(word));
    CRect ink = c.Ink(kWhite);
    ASSERT_FALSE(ink.IsRectEmpty());
    CRect top = c.Ink(kWhite, CRect(ink.left, ink.top, ink.right, ink.top + 3));
    EXPECT_GT(top.left, ink.CenterPoint().x);
    // The caret positions of the characters grow in the order they were written.
    int dx[16] = {};
    int fit = 0;
    SIZE size{};
    ASSERT_TRUE(GetTextExtentExPoint(c.dc, word, (int)std::strlen(word), 1000, &fit, dx, &size));
    EXPECT_EQ(fit, 8);
    for (int i = 2; i < 8; i += 2)
        EXPECT_GT(dx[i + 1], dx[i - 1]);
    EXPECT_EQ(dx[7], size.cx);
}

TEST(Text, TabsAndLineBreaksInALineShowMarks) {
    ScriptCanvas box;
    DrawMissingGlyph(box, 10, 5);
    for (const char* text : {"\t", "\n", "\r\n", "\r"}) {
        ScriptCanvas c;
        CRect r(10, 5, 190, 35);
        c.dc.DrawText(text, -1, &r, DT_SINGLELINE | DT_NOPREFIX);
        EXPECT_FALSE(c.Ink(kWhite).IsRectEmpty());
        EXPECT_GT(c.Differences(box), 20);
        ScriptCanvas e;
        e.dc.ExtTextOut(10, 5, 0, nullptr, text, (UINT)std::strlen(text), nullptr);
        EXPECT_GT(e.Differences(box), 20);
    }
    // An expanded tab is still white space.
    ScriptCanvas tab, plain;
    CRect r(10, 5, 190, 35);
    tab.dc.DrawText("a\tb", -1, &r, DT_SINGLELINE | DT_EXPANDTABS);
    plain.dc.DrawText("a", -1, &r, DT_SINGLELINE);
    CRect a = plain.Ink(kWhite);
    EXPECT_EQ(tab.Ink(kWhite, CRect(a.right, 0, a.right + 20, 40)), CRect());

    // Shaped text (here: because of the line-break mark) sets Latin letters exactly as the
    // plain path does: whole-pixel advances, no kerning, in any size and weight.
    for (int height : {-11, -12, -13, -16, 20})
        for (int weight : {FW_NORMAL, FW_BOLD}) {
            TextCanvas c(300, 60, height, weight);
            int mark = c.dc.GetTextExtent("\n").cx;
            ASSERT_GT(mark, 0);
            for (std::string s : {"AVAWAY To fi fl ffi", "Customer name", "Wa Ty Yo 12,345.67",
                                  "\xC3\x9C"
                                  "ber Stra\xC3\x9F"
                                  "e",
                                  "The quick brown fox"}) {
                int width = c.dc.GetTextExtent(s.c_str()).cx;
                EXPECT_EQ(c.dc.GetTextExtent((s + "\n").c_str()).cx, width + mark) << s;
            }
        }
}

// What the text layout relies on to leave a cell's text unclipped: a glyph drawn at a whole
// pixel keeps its ink inside the box its font gives it, in every size and weight, italic too.
TEST(Text, GlyphsKeepTheirInkInsideTheirBox) {
    std::vector<char32_t> chars;
    for (char32_t cp = 0x21; cp < 0x7F; ++cp)
        chars.push_back(cp);
    for (char32_t cp = 0xA1; cp < 0x180; ++cp)
        chars.push_back(cp);
    for (char32_t cp : {0x2013, 0x2014, 0x201C, 0x2026, 0x20AC, 0x0416, 0x03A9})
        chars.push_back(cp);
    for (int height : {-9, -12, -17, -24})
        for (int weight : {FW_NORMAL, FW_BOLD})
            for (BOOL italic : {FALSE, TRUE}) {
                CFont font;
                ASSERT_TRUE(font.CreateFont(height, 0, 0, 0, weight, italic, FALSE, FALSE,
                                            DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                            DEFAULT_PITCH | FF_DONTCARE, "Arial"));
                LOGFONT lf{};
                font.GetLogFont(&lf);
                const kel::gdi::FontInstance* f = kel::gdi::FindFont(lf);
                ASSERT_NE(f, nullptr);
                for (char32_t cp : chars) {
                    const kel::gdi::GlyphInfo& g = f->Glyph(cp);
                    if (g.index == 0)
                        continue;
                    Canvas c(80, 80);
                    c.dc.SelectObject(&font);
                    c.dc.SetBkMode(TRANSPARENT);
                    std::string text;
                    kel::core::AppendUtf8(text, cp);
                    const int x = 30, top = 20, baseline = top + f->Metrics().tmAscent;
                    c.dc.TextOut(x, top, text.c_str(), (int)text.size());
                    const CRect ink = c.Ink(kWhite);
                    if (ink.IsRectEmpty())
                        continue;
                    EXPECT_GE(ink.left, x + g.inkLeft) << (int)cp << " " << height;
                    EXPECT_LE(ink.right, x + g.inkRight) << (int)cp << " " << height;
                    EXPECT_GE(ink.top, baseline + g.inkTop) << (int)cp << " " << height;
                    EXPECT_LE(ink.bottom, baseline + g.inkBottom) << (int)cp << " " << height;
                }
            }
}

// Draws rows of cells as the grid does: some cells in another colour, one too wide for its
// cell, one drawn twice a pixel apart (its ink overlaps itself), right-aligned numbers.
void DrawCells(CDC& dc, bool oneByOne) {
    const char* cells[] = {"Alpha", "12,345.00", "A rather long customer name", "x", "Bold"};
    for (int row = 0; row < 4; ++row) {
        const int y = 4 + row * 16;
        for (int col = 0; col < 5; ++col) {
            CRect r(4 + col * 70, y, 4 + col * 70 + 64, y + 15);
            dc.SetTextColor(col == 3 && row % 2 ? RGB(200, 0, 0) : kBlack);
            dc.DrawText(cells[col], -1, &r,
                        (col == 1 ? DT_RIGHT : DT_LEFT) | DT_SINGLELINE | DT_NOPREFIX |
                            DT_END_ELLIPSIS);
            if (col == 4) {
                r.OffsetRect(1, 0);
                dc.DrawText(cells[col], -1, &r, DT_SINGLELINE | DT_NOPREFIX);
            }
            if (oneByOne)
                GdiFlush();
        }
    }
}

bool SamePixels(const Canvas& a, const Canvas& b) {
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.At(x, y) != b.At(x, y))
                return false;
    return true;
}

TEST(Text, ARowOfCellsDrawnTogetherLooksAsDrawnOneByOne) {
    TextCanvas together(360, 70), alone(360, 70);
    DrawCells(together.dc, false);
    DrawCells(alone.dc, true);
    EXPECT_GT(together.Count(kBlack) + together.Count(RGB(200, 0, 0)), 100);
    EXPECT_TRUE(SamePixels(together, alone));
}

// Text a context holds back is drawn before anything that comes after it: other output on it,
// a copy of its pixels, a change of its clip or its bitmap, its end.
TEST(Text, TextHeldBackKeepsItsPlaceAmongOtherOutput) {
    CRect cell(10, 10, 200, 30);
    {
        TextCanvas c;
        c.dc.DrawText("Covered", -1, &cell, DT_SINGLELINE);
        c.dc.FillSolidRect(&cell, RGB(0, 0, 255));
        EXPECT_EQ(c.Count(RGB(0, 0, 255)), cell.Width() * cell.Height());
    }
    {
        // Clipped after it was drawn: the clip takes none of it away.
        TextCanvas c;
        c.dc.DrawText("Before", -1, &cell, DT_SINGLELINE);
        c.dc.IntersectClipRect(0, 0, 1, 1);
        EXPECT_FALSE(c.Ink(kWhite).IsRectEmpty());
    }
    {
        // Drawn on a memory context's bitmap, copied out; then read from the bitmap itself,
        // with no call on the context in between.
        TextCanvas c;
        CDC mem;
        ASSERT_TRUE(mem.CreateCompatibleDC(&c.dc));
        CBitmap bitmap;
        ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&c.dc, 220, 40));
        CBitmap* old = mem.SelectObject(&bitmap);
        mem.FillSolidRect(0, 0, 220, 40, kWhite);
        mem.SelectObject(&c.font);
        mem.SetBkMode(TRANSPARENT);
        mem.DrawText("Copied", -1, &cell, DT_SINGLELINE);
        c.dc.BitBlt(0, 0, 220, 40, &mem, 0, 0, SRCCOPY);
        EXPECT_FALSE(c.Ink(kWhite).IsRectEmpty());
        CRect kept(150, 10, 215, 30);
        mem.DrawText("Kept", -1, &kept, DT_SINGLELINE);
        std::vector<uint32_t> bits(220 * 40);
        ASSERT_EQ(bitmap.GetBitmapBits(static_cast<DWORD>(bits.size() * 4), bits.data()),
                  bits.size() * 4);
        int inked = 0;
        for (int x = 150; x < 200; ++x)
            for (int y = 10; y < 30; ++y)
                inked += (bits[static_cast<size_t>(y) * 220 + x] & 0xFFFFFF) != 0xFFFFFF;
        EXPECT_GT(inked, 10);
        mem.SelectObject(old);
    }
    {
        // A colour or font changed between cells leaves the cells before them as they were.
        TextCanvas c;
        CRect first(10, 10, 60, 30), second(70, 10, 120, 30), third(130, 10, 200, 30);
        c.dc.DrawText("Black", -1, &first, DT_SINGLELINE);
        c.dc.SetTextColor(RGB(255, 0, 0));
        c.dc.DrawText("Red", -1, &second, DT_SINGLELINE);
        CFont big;
        MakeFont(big, -20);
        c.dc.SelectObject(&big);
        c.dc.DrawText("Big", -1, &third, DT_SINGLELINE);
        EXPECT_FALSE(c.Ink(kWhite, first).IsRectEmpty());
        EXPECT_GT(c.Count(RGB(255, 0, 0)), 10);
        EXPECT_GT(c.Ink(kWhite, third).Height(), c.Ink(kWhite, second).Height());
        int reddish = 0; // the first cell stays black
        for (int y = first.top; y < first.bottom; ++y)
            for (int x = first.left; x < first.right; ++x)
                reddish += GetRValue(c.At(x, y)) > GetGValue(c.At(x, y)) + 40;
        EXPECT_EQ(reddish, 0);
    }
}

} // namespace
