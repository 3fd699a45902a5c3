// Lines of text shaped by Pango: HarfBuzz shaping, right-to-left runs and a fallback face per
// character, for the text that the plain glyph path cannot show. Not a public header.
#pragma once

#include "platform/gdi/FontEngine.h"

#include <cairo.h>
#include <pango/pango.h>

#include <memory>
#include <string_view>
#include <vector>

namespace kel::gdi {

struct GObjectDeleter {
    void operator()(void* o) const { g_object_unref(o); }
};
using LayoutPtr = std::unique_ptr<PangoLayout, GObjectDeleter>;

class ShapedLine {
public:
    ShapedLine(LayoutPtr layout, double xscale);
    ShapedLine(const ShapedLine&) = delete;
    ShapedLine& operator=(const ShapedLine&) = delete;

    // The advance of the whole line, in whole pixels.
    int Width() const { return m_width; }
    // Per byte of the text: where its character ends, counting the characters in the order
    // they were written (right-to-left runs included), in pixels from the line's start.
    const std::vector<int>& Ends() const { return m_ends; }
    // Draws the line with its left edge at x and its baseline at y, in the source colour.
    void Draw(cairo_t* cr, double x, double y) const;

private:
    LayoutPtr m_layout;
    double m_xscale;
    int m_left = 0; // the logical left edge inside the layout, Pango units
    int m_width = 0;
    std::vector<int> m_ends;
};

// The shaped line of text (UTF-8, no line breaks) in a font; tabWidth > 0 puts tab stops at
// its multiples. Lines are cached, so repainting the same text shapes it once. NULL when Pango
// has no fonts.
std::shared_ptr<const ShapedLine> ShapeLine(const FontInstance& font, std::string_view text,
                                            int tabWidth);

} // namespace kel::gdi
