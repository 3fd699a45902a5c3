// Text output and measurement: TextOut, ExtTextOut, DrawText, extents and metrics.
#include "platform/gdi/FontEngine.h"
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/GdiFunctions.h"
#include "platform/gdi/TextShaper.h"

#include "platform/core/Utf8.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using namespace kel::gdi;

namespace {

struct Font {
    const FontInstance* f = nullptr;
    const LOGFONT* lf = nullptr;
    explicit operator bool() const { return f != nullptr; }
};

Font CurrentFont(const HDC__& dc) {
    HGDIOBJ__* o = dc.st.font.get();
    if (!o)
        return {};
    if (!o->resolved)
        o->resolved = FindFont(o->font);
    return Font{o->resolved, &o->font};
}

// A character as a line shows it: a control character the text does not act on shows a
// mark rather than nothing or a missing-glyph box (a CR LF pair is one line break); 0 shows
// nothing.
char32_t Shown(std::string_view s, size_t next, char32_t cp, int tabWidth) {
    if (cp >= 0x20 && cp != 0x7F)
        return cp;
    switch (cp) {
    case '\t':
        return tabWidth > 0 ? cp : U'\u2192'; // rightwards arrow
    case '\r':
        if (next < s.size() && s[next] == '\n')
            return 0;
        [[fallthrough]];
    case '\n':
        return U'\u21B5'; // downwards arrow with corner leftwards
    default:
        return U'\uFFFD';
    }
}

// Characters that need neither shaping nor another face, once the font has them: Latin,
// Greek and Cyrillic letters, general punctuation (dashes, quotes, the ellipsis) and currency
// signs. Anything else goes through Pango.
bool Simple(char32_t cp) {
    return cp == 0 || cp == '\t' || (cp >= 0x20 && cp < 0x7F) || (cp >= 0xA0 && cp < 0x300) ||
           (cp >= 0x370 && cp < 0x483) || (cp >= 0x48A && cp < 0x530) ||
           (cp >= 0x2010 && cp <= 0x2027) || (cp >= 0x20A0 && cp <= 0x20BF) || cp == 0x2192;
}

// The font's glyph for a shown character (not a tab, not 0) that is simple; null when the
// character needs Pango.
const GlyphInfo* PlainGlyph(const FontInstance& f, char32_t cp) {
    if (!Simple(cp))
        return nullptr;
    const GlyphInfo& g = f.Glyph(cp);
    return cp > 0x20 && g.index == 0 ? nullptr : &g;
}

// A line laid out on whole pixels from x = 0: the font's glyphs for plain text, a shaped line
// otherwise. tabWidth > 0 expands tabs to its multiples; dx gives each character's advance
// instead of the font's.
struct Run {
    std::vector<cairo_glyph_t> glyphs;
    std::shared_ptr<const ShapedLine> shaped;
    std::vector<int> ends; // per byte: the x where that byte's character ends
    int width = 0;
    // Where the glyphs' ink may reach, from x = 0 on the baseline: known for the font's own
    // glyphs (empty when none has ink), not for a shaped line.
    bool inkKnown = false;
    int inkLeft = 0, inkTop = 0, inkRight = 0, inkBottom = 0;
};

Run Shape(const FontInstance& f, std::string_view s, int tabWidth, const INT* dx) {
    Run run;
    // The text as shown, and where each character of it ends in that text.
    std::string shown;
    shown.reserve(s.size() + 8);
    std::vector<size_t> shownEnd(s.size());
    for (size_t i = 0; i < s.size();) {
        size_t start = i;
        char32_t c = NextChar(s, i);
        char32_t cp = Shown(s, i, c, tabWidth);
        if (cp != 0)
            kel::core::AppendUtf8(shown, cp);
        for (size_t k = start; k < i; ++k)
            shownEnd[k] = shown.size();
    }
    run.shaped = ShapeLine(f, shown, tabWidth);
    run.ends.resize(s.size());
    if (!run.shaped)
        return run;
    const std::vector<int>& ends = run.shaped->Ends();
    for (size_t k = 0; k < s.size(); ++k)
        run.ends[k] = shownEnd[k] == 0 ? 0 : ends[shownEnd[k] - 1];
    run.width = run.shaped->Width();
    if (dx) {
        // Given advances place the characters; the shaped line is drawn as it is.
        int x = 0;
        size_t ci = 0;
        for (size_t i = 0; i < s.size();) {
            size_t start = i;
            NextChar(s, i);
            x += dx[ci++];
            for (size_t k = start; k < i; ++k)
                run.ends[k] = x;
        }
        run.width = x;
    }
    return run;
}

// Lays out text of simple characters only with the font's glyphs; false at the first
// character that is not simple or that the font lacks (run is then left unfinished).
bool LayoutPlain(const FontInstance& f, std::string_view s, int tabWidth, const INT* dx, Run& run) {
    run.glyphs.reserve(s.size());
    run.ends.resize(s.size());
    int x = 0;
    size_t ci = 0;
    for (size_t i = 0; i < s.size();) {
        size_t start = i;
        char32_t c = NextChar(s, i);
        char32_t cp = Shown(s, i, c, tabWidth);
        int adv = 0;
        if (cp == '\t') {
            adv = (x / tabWidth + 1) * tabWidth - x;
        } else if (cp != 0) {
            const GlyphInfo* g = PlainGlyph(f, cp);
            if (!g)
                return false;
            run.glyphs.push_back(cairo_glyph_t{g->index, (double)x, 0});
            adv = g->advance;
            if (g->inkLeft < g->inkRight) {
                const bool inked = run.inkLeft < run.inkRight; // an earlier glyph's ink
                run.inkLeft = inked ? std::min(run.inkLeft, x + g->inkLeft) : x + g->inkLeft;
                run.inkRight = inked ? std::max(run.inkRight, x + g->inkRight) : x + g->inkRight;
                run.inkTop = inked ? std::min(run.inkTop, g->inkTop) : g->inkTop;
                run.inkBottom = inked ? std::max(run.inkBottom, g->inkBottom) : g->inkBottom;
            }
        }
        if (dx)
            adv = dx[ci];
        x += adv;
        for (size_t k = start; k < i; ++k)
            run.ends[k] = x;
        ++ci;
    }
    run.width = x;
    run.inkKnown = true;
    return true;
}

// Lays the text out into run, reusing the buffers of the line it held before.
void LayoutInto(Run& run, const FontInstance& f, std::string_view s, int tabWidth = 0,
                const INT* dx = nullptr) {
    run.glyphs.clear();
    run.ends.clear();
    run.shaped.reset();
    run.width = 0;
    run.inkKnown = false;
    run.inkLeft = run.inkTop = run.inkRight = run.inkBottom = 0;
    if (!LayoutPlain(f, s, tabWidth, dx, run))
        run = Shape(f, s, tabWidth, dx);
}

Run Layout(const FontInstance& f, std::string_view s, int tabWidth = 0, const INT* dx = nullptr) {
    Run run;
    LayoutInto(run, f, s, tabWidth, dx);
    return run;
}

int Measure(const FontInstance& f, std::string_view s, int tabWidth = 0) {
    int x = 0;
    for (size_t i = 0; i < s.size();) {
        char32_t c = NextChar(s, i);
        char32_t cp = Shown(s, i, c, tabWidth);
        if (cp == '\t') {
            x = (x / tabWidth + 1) * tabWidth;
        } else if (cp != 0) {
            const GlyphInfo* g = PlainGlyph(f, cp);
            if (!g)
                return Shape(f, s, tabWidth, nullptr).width;
            x += g->advance;
        }
    }
    return x;
}

// Whether run, drawn with its left edge at x and its baseline at y, keeps its ink inside r
// (all in the same coordinates), so that it needs no clip there.
bool InkInside(const Run& run, int x, int y, const RECT& r) {
    return run.inkKnown && (run.inkLeft >= run.inkRight ||
                            (x + run.inkLeft >= r.left && x + run.inkRight <= r.right &&
                             y + run.inkTop >= r.top && y + run.inkBottom <= r.bottom));
}

// Appends the run's glyphs, laid out from (0, 0) on its baseline, placed with their left edge
// at sx and baseline at sy: a copy rather than a move of cairo's origin, which would make
// cairo look its font up again for every run.
void Place(const Run& run, int sx, int sy, std::vector<cairo_glyph_t>& out) {
    for (cairo_glyph_t g : run.glyphs) {
        g.x += sx;
        g.y += sy;
        out.push_back(g);
    }
}

// Draws placed glyphs in a face and colour over what is there.
void ShowGlyphs(cairo_t* cr, cairo_scaled_font_t* font, COLORREF color,
                const std::vector<cairo_glyph_t>& glyphs) {
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    SetSourceColor(cr, color);
    cairo_set_scaled_font(cr, font);
    cairo_show_glyphs(cr, glyphs.data(), static_cast<int>(glyphs.size()));
    cairo_restore(cr);
}

// Draws laid-out glyphs with their left edge at sx and baseline at sy (surface coordinates),
// with the font's underline and strike-out.
void DrawRun(HDC__& dc, const Font& font, const Run& run, int sx, int sy, COLORREF color) {
    if (run.glyphs.empty() && !run.shaped)
        return;
    cairo_t* cr = dc.cr.get();
    if (run.shaped) {
        cairo_save(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        SetSourceColor(cr, color);
        run.shaped->Draw(cr, sx, sy);
        cairo_restore(cr);
    } else {
        static std::vector<cairo_glyph_t> placed; // kept: the drawing layer serves one thread
        placed.clear();
        Place(run, sx, sy, placed);
        ShowGlyphs(cr, font.f->Scaled(), color, placed);
    }
    int t = font.f->LineThickness();
    if (font.lf->lfUnderline) {
        int y = sy + font.f->UnderlineOffset();
        FillSurfaceRect(dc, sx, y, sx + run.width, y + t, color);
    }
    if (font.lf->lfStrikeOut) {
        int y = sy + font.f->StrikeOffset();
        FillSurfaceRect(dc, sx, y, sx + run.width, y + t, color);
    }
}

// Text that DrawText drew without a clip waits here while the cells after it on the same
// baseline, in the same face and colour, add theirs: cairo composites a row of cells in one
// call much faster than cell by cell. Any other use of any context draws it first (LiveDC,
// LiveObject), so output keeps its order; text waits only where nothing else draws
// on its context meanwhile.
struct PendingText {
    HDC__* dc = nullptr;
    cairo_scaled_font_t* font = nullptr; // referenced while glyphs wait
    COLORREF color = 0;
    int baseline = 0;
    int inkRight = 0; // where the waiting glyphs' ink ends on the right (surface coordinates)
    std::vector<cairo_glyph_t> glyphs;

    void Forget() {
        glyphs.clear();
        dc = nullptr;
        if (font)
            cairo_scaled_font_destroy(std::exchange(font, nullptr));
    }
};
// One thread draws, as one owns the registry. Never destroyed: contexts may draw during exit.
PendingText& Pending() {
    static auto* pending = new PendingText;
    return *pending;
}

// A row's glyphs in one call stay as fast as long as cairo needs no mask for them: the run
// may join only where its ink starts right of the ink waiting, and a row is not endless.
constexpr size_t kMaxPendingGlyphs = 1024;

// Adds run, its left edge at sx and baseline at sy (surface coordinates), to the waiting text,
// drawing what waits first where the run cannot join it.
void QueueRun(HDC__& dc, const Font& font, const Run& run, int sx, int sy, COLORREF color) {
    PendingText& p = Pending();
    cairo_scaled_font_t* scaled = font.f->Scaled();
    if (!p.glyphs.empty() &&
        (p.dc != &dc || p.font != scaled || p.color != color || p.baseline != sy ||
         sx + run.inkLeft < p.inkRight || p.glyphs.size() + run.glyphs.size() > kMaxPendingGlyphs))
        FlushPendingText();
    if (p.glyphs.empty()) {
        p.dc = &dc;
        p.font = cairo_scaled_font_reference(scaled);
        p.color = color;
        p.baseline = sy;
        p.inkRight = sx + run.inkLeft;
    }
    Place(run, sx, sy, p.glyphs);
    if (run.inkLeft < run.inkRight)
        p.inkRight = sx + run.inkRight;
}

void ClipTo(HDC__& dc, const RECT& r) {
    cairo_t* cr = dc.cr.get();
    cairo_rectangle(cr, r.left + dc.OffX(), r.top + dc.OffY(), r.right - r.left, r.bottom - r.top);
    cairo_clip(cr);
}

// Text as DrawText shows it: one line, its underlined prefix character (a byte offset, -1 for
// none).
struct Line {
    std::string text;
    int prefix = -1;
};

// Takes the '&' prefixes out of a line: "&&" shows one '&', "&x" underlines x.
Line StripPrefixes(std::string_view s) {
    Line line;
    line.text.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '&') {
            line.text += s[i];
            continue;
        }
        if (i + 1 >= s.size())
            break; // a trailing '&' shows nothing
        if (s[i + 1] == '&') {
            line.text += '&';
        } else {
            line.prefix = (int)line.text.size();
            line.text += s[i + 1];
        }
        ++i;
    }
    return line;
}

// Splits a paragraph into lines no wider than width, breaking after blanks; a word wider than
// the width stands alone on its line.
void WrapInto(const FontInstance& f, const Line& para, int width, int tabWidth,
              std::vector<Line>& out) {
    const std::string& s = para.text;
    size_t n = s.size(), pos = 0;
    if (n == 0) {
        out.push_back(Line{});
        return;
    }
    while (pos < n) {
        size_t end = pos, scan = pos;
        bool any = false;
        while (scan < n) {
            size_t wordEnd = std::min(s.find(' ', scan), n);
            if (any && Measure(f, std::string_view(s).substr(pos, wordEnd - pos), tabWidth) > width)
                break;
            end = wordEnd;
            any = true;
            scan = wordEnd;
            while (scan < n && s[scan] == ' ')
                ++scan;
        }
        Line line{s.substr(pos, end - pos), -1};
        if (para.prefix >= (int)pos && para.prefix < (int)end)
            line.prefix = para.prefix - (int)pos;
        out.push_back(std::move(line));
        pos = scan;
    }
}

// Cuts a line that run (its layout) shows wider than width so that it ends with "..." within
// width: as many characters as fit, then the ellipsis; false when it fits as it is.
bool AddEllipsis(const FontInstance& f, Line& line, const Run& run, int width) {
    if (run.width <= width)
        return false;
    int dots = Measure(f, "...");
    size_t keep = 0;
    for (size_t i = 0; i < line.text.size();) {
        size_t next = i;
        NextChar(line.text, next);
        if (run.ends[next - 1] + dots > width)
            break;
        keep = i = next;
    }
    line.text.resize(keep);
    line.text += "...";
    if (line.prefix >= (int)keep)
        line.prefix = -1;
    return true;
}

} // namespace

BOOL ExtTextOut(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCTSTR lpString, UINT c,
                const INT* lpDx) {
    HDC__* dc = LiveDC(hdc);
    if (!dc || (c > 0 && !lpString))
        return FALSE;
    CRect rect;
    if (lprect) {
        rect = *lprect;
        rect.NormalizeRect();
    }
    int ox = dc->OffX(), oy = dc->OffY();
    if (lprect && (options & ETO_OPAQUE))
        FillSurfaceRect(*dc, rect.left + ox, rect.top + oy, rect.right + ox, rect.bottom + oy,
                        Resolve(*dc, dc->st.bk));
    if (c == 0)
        return TRUE;
    Font font = CurrentFont(*dc);
    if (!font)
        return FALSE;
    const TEXTMETRIC& tm = font.f->Metrics();
    Run run = Layout(*font.f, std::string_view(lpString, c), 0, lpDx);
    UINT align = dc->st.align;
    if (align & TA_UPDATECP) {
        x = dc->st.pos.x;
        y = dc->st.pos.y;
    }
    int left = x;
    if ((align & TA_CENTER) == TA_CENTER)
        left = x - run.width / 2;
    else if (align & TA_RIGHT)
        left = x - run.width;
    int top = y;
    if ((align & TA_BASELINE) == TA_BASELINE)
        top = y - tm.tmAscent;
    else if (align & TA_BOTTOM)
        top = y - tm.tmHeight;
    cairo_save(dc->cr.get());
    if (lprect && (options & ETO_CLIPPED))
        ClipTo(*dc, rect);
    if (dc->st.bkMode == OPAQUE)
        FillSurfaceRect(*dc, left + ox, top + oy, left + run.width + ox, top + tm.tmHeight + oy,
                        Resolve(*dc, dc->st.bk));
    DrawRun(*dc, font, run, left + ox, top + tm.tmAscent + oy, Resolve(*dc, dc->st.text));
    cairo_restore(dc->cr.get());
    // The current position moves past the text; centred text leaves it where it was.
    if ((align & TA_UPDATECP) && (align & TA_CENTER) != TA_CENTER)
        dc->st.pos.x = (align & TA_RIGHT) ? x - run.width : x + run.width;
    return TRUE;
}

void kel::gdi::FlushPendingText() {
    PendingText& p = Pending();
    if (p.glyphs.empty())
        return;
    HDC__* dc = LiveDCKeepingText(p.dc); // none once the registry is gone
    if (!dc) {
        p.Forget();
        return;
    }
    ShowGlyphs(dc->cr.get(), p.font, p.color, p.glyphs);
    p.Forget();
}

BOOL GdiFlush() {
    FlushPendingText();
    return TRUE;
}

BOOL TextOut(HDC hdc, int x, int y, LPCTSTR lpString, int c) {
    if (c < 0)
        return FALSE;
    return ExtTextOut(hdc, x, y, 0, nullptr, lpString, (UINT)c, nullptr);
}

int DrawText(HDC hdc, LPCTSTR lpchText, int cchText, LPRECT lprc, UINT format) {
    HDC__* dc = LiveDCKeepingText(hdc); // waiting text is drawn below unless this joins it
    if (!dc || !lprc || (!lpchText && cchText != 0))
        return 0;
    Font font = CurrentFont(*dc);
    if (!font)
        return 0;
    const FontInstance& f = *font.f;
    const TEXTMETRIC& tm = f.Metrics();
    std::string_view text(lpchText ? lpchText : "",
                          cchText < 0 ? std::strlen(lpchText) : (size_t)cchText);
    int tabWidth = (format & DT_EXPANDTABS) ? 8 * std::max<LONG>(1, tm.tmAveCharWidth) : 0;
    int width = lprc->right - lprc->left;

    // Paragraphs, prefixes, wrapping. A grid draws thousands of cells a paint: the buffers
    // are kept from one call to the next.
    struct Buffers {
        std::vector<std::string_view> paras;
        std::vector<Line> lines;
        Run run;
    };
    static auto& kept = *new Buffers; // never destroyed, like the waiting text
    std::vector<std::string_view>& paras = kept.paras;
    std::vector<Line>& lines = kept.lines;
    Run& run = kept.run;
    paras.clear();
    lines.clear();
    if (format & DT_SINGLELINE) {
        // One line: its line breaks show as marks.
        paras.push_back(text);
    } else {
        size_t start = 0;
        for (size_t i = 0; i <= text.size(); ++i) {
            if (i == text.size() || text[i] == '\n' || text[i] == '\r') {
                paras.push_back(text.substr(start, i - start));
                if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n')
                    ++i;
                start = i + 1;
            }
        }
        if (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            paras.pop_back(); // a closing line break opens no new line
    }
    for (std::string_view p : paras) {
        Line line = (format & DT_NOPREFIX) ? Line{std::string(p), -1} : StripPrefixes(p);
        if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE))
            WrapInto(f, line, width, tabWidth, lines);
        else
            lines.push_back(std::move(line));
    }
    if (text.empty())
        lines.clear();

    int lineHeight = tm.tmHeight + ((format & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
    int total = lineHeight * (int)lines.size();

    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const Line& l : lines)
            widest = std::max(widest, Measure(f, l.text, tabWidth));
        lprc->right = lprc->left + widest;
        lprc->bottom = lprc->top + total;
        return total;
    }

    int y = lprc->top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            y = (lprc->top + lprc->bottom - total) / 2;
        else if (format & DT_BOTTOM)
            y = lprc->bottom - total;
    }
    int ox = dc->OffX(), oy = dc->OffY();
    // The rectangle clips only what would reach past it: most cells' text fits.
    bool clipped = false;
    auto clip = [&](bool inside) {
        if (inside || clipped || (format & DT_NOCLIP))
            return;
        cairo_save(dc->cr.get());
        ClipTo(*dc, CRect(lprc));
        clipped = true;
    };
    const bool decorated = font.lf->lfUnderline || font.lf->lfStrikeOut;
    COLORREF color = Resolve(*dc, dc->st.text);
    // One line of the font's glyphs alone, inside the rectangle, waits to be drawn with the
    // text after it; anything else draws the waiting text first and is drawn now.
    const bool plain = lines.size() == 1 && !decorated && dc->st.bkMode != OPAQUE &&
                       !(format & DT_PREFIXONLY) &&
                       (lines[0].prefix < 0 || (format & DT_HIDEPREFIX));
    for (size_t i = 0; i < lines.size(); ++i) {
        Line& l = lines[i];
        LayoutInto(run, f, l.text, tabWidth);
        if ((format & DT_END_ELLIPSIS) && AddEllipsis(f, l, run, width))
            LayoutInto(run, f, l.text, tabWidth);
        int x = lprc->left;
        if (format & DT_CENTER)
            x = lprc->left + (width - run.width) / 2;
        else if (format & DT_RIGHT)
            x = lprc->right - run.width;
        int ly = y + (int)i * lineHeight;
        if (plain && !run.shaped &&
            ((format & DT_NOCLIP) || InkInside(run, x, ly + tm.tmAscent, *lprc))) {
            if (!run.glyphs.empty())
                QueueRun(*dc, font, run, x + ox, ly + tm.tmAscent + oy, color);
            continue;
        }
        FlushPendingText();
        if (dc->st.bkMode == OPAQUE && !(format & DT_PREFIXONLY)) {
            clip(run.width <= 0 || (x >= lprc->left && x + run.width <= lprc->right &&
                                    ly >= lprc->top && ly + lineHeight <= lprc->bottom));
            FillSurfaceRect(*dc, x + ox, ly + oy, x + run.width + ox, ly + lineHeight + oy,
                            Resolve(*dc, dc->st.bk));
        }
        if (!(format & DT_PREFIXONLY)) {
            clip(!decorated && InkInside(run, x, ly + tm.tmAscent, *lprc));
            DrawRun(*dc, font, run, x + ox, ly + tm.tmAscent + oy, color);
        }
        if (l.prefix >= 0 && !(format & DT_HIDEPREFIX)) {
            clip(false);
            size_t next = (size_t)l.prefix;
            NextChar(l.text, next);
            int from = l.prefix > 0 ? run.ends[(size_t)l.prefix - 1] : 0;
            int to = run.ends[next - 1];
            int uy = ly + tm.tmAscent + f.UnderlineOffset() + oy;
            FillSurfaceRect(*dc, x + from + ox, uy, x + to + ox, uy + f.LineThickness(), color);
        }
    }
    if (clipped)
        cairo_restore(dc->cr.get());
    if ((format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM)))
        return y + total - lprc->top;
    return total;
}

BOOL GetTextExtentExPoint(HDC hdc, LPCTSTR lpszString, int cchString, int nMaxExtent, LPINT lpnFit,
                          LPINT alpDx, LPSIZE lpSize) {
    HDC__* dc = LiveDCKeepingText(hdc);
    if (!dc || cchString < 0 || (cchString > 0 && !lpszString))
        return FALSE;
    Font font = CurrentFont(*dc);
    if (!font)
        return FALSE;
    std::string_view text(lpszString ? lpszString : "", (size_t)cchString);
    if (!lpnFit && !alpDx) { // the size alone: no layout to keep
        if (lpSize)
            *lpSize = SIZE{Measure(*font.f, text), font.f->Metrics().tmHeight};
        return TRUE;
    }
    Run run = Layout(*font.f, text);
    if (lpnFit) {
        int fit = 0;
        while (fit < cchString && run.ends[(size_t)fit] <= nMaxExtent)
            ++fit;
        *lpnFit = fit;
    }
    if (alpDx)
        std::copy(run.ends.begin(), run.ends.end(), alpDx);
    if (lpSize)
        *lpSize = SIZE{run.width, font.f->Metrics().tmHeight};
    return TRUE;
}

BOOL GetTextExtentPoint32(HDC hdc, LPCTSTR lpString, int c, LPSIZE psizl) {
    if (!psizl)
        return FALSE;
    return GetTextExtentExPoint(hdc, lpString, c, 0, nullptr, nullptr, psizl);
}

BOOL GetTextMetrics(HDC hdc, LPTEXTMETRIC lptm) {
    HDC__* dc = LiveDCKeepingText(hdc);
    if (!dc || !lptm)
        return FALSE;
    Font font = CurrentFont(*dc);
    if (!font)
        return FALSE;
    *lptm = font.f->Metrics();
    lptm->tmUnderlined = font.lf->lfUnderline ? 1 : 0;
    lptm->tmStruckOut = font.lf->lfStrikeOut ? 1 : 0;
    return TRUE;
}

int GetTextFace(HDC hdc, int c, LPTSTR lpName) {
    HDC__* dc = LiveDCKeepingText(hdc);
    if (!dc || !dc->st.font)
        return 0;
    const char* face = dc->st.font->font.lfFaceName;
    int len = (int)strnlen(face, LF_FACESIZE);
    if (!lpName)
        return len + 1;
    if (c <= 0)
        return 0;
    int n = std::min(len, c - 1);
    std::memcpy(lpName, face, (size_t)n);
    lpName[n] = 0;
    return n;
}
