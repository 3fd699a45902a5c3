// Fonts of the drawing layer: logical fonts resolved through fontconfig to cairo fonts, with
// the system's text metrics, cached by face, size, weight and slant, each with the Pango
// description that shapes text in it. Not a public header.
#pragma once

#include "platform/gdi/GdiDefs.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <pango/pango.h>

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace kel::gdi {

struct GlyphInfo {
    unsigned long index = 0;
    int advance = 0; // whole pixels: text is laid out on the pixel grid
    // The pixels its ink may touch, from its origin on the baseline (y down); an empty box
    // (left == right) for a glyph without ink.
    int inkLeft = 0, inkTop = 0, inkRight = 0, inkBottom = 0;
};

struct ScaledFontDeleter {
    void operator()(cairo_scaled_font_t* f) const { cairo_scaled_font_destroy(f); }
};
using ScaledFontPtr = std::unique_ptr<cairo_scaled_font_t, ScaledFontDeleter>;
struct FontDescriptionDeleter {
    void operator()(PangoFontDescription* d) const { pango_font_description_free(d); }
};
using FontDescriptionPtr = std::unique_ptr<PangoFontDescription, FontDescriptionDeleter>;

class FontInstance {
public:
    FontInstance() = default;
    FontInstance(const FontInstance&) = delete;
    FontInstance& operator=(const FontInstance&) = delete;

    cairo_scaled_font_t* Scaled() const { return m_scaled.get(); }
    // The metrics without the per-font flags (underline, strike-out) of a LOGFONT.
    const TEXTMETRIC& Metrics() const { return m_tm; }
    const GlyphInfo& Glyph(char32_t cp) const;
    // The face itself has a glyph for the character.
    bool Covers(char32_t cp) const { return Glyph(cp).index != 0; }
    // The same face, size, weight and slant for Pango, which falls back to other faces for
    // the characters this one lacks.
    const PangoFontDescription* Description() const { return m_description.get(); }
    // The horizontal stretch a LOGFONT width asked for (1: none).
    double XScale() const { return m_xscale; }
    bool Antialiased() const { return m_antialias; }
    // Underline and strike-out lines: offset below the baseline (negative: above) and
    // thickness, in pixels.
    int UnderlineOffset() const { return m_underlineOffset; }
    int StrikeOffset() const { return m_strikeOffset; }
    int LineThickness() const { return m_lineThickness; }

private:
    friend class FontCache;
    ScaledFontPtr m_scaled;
    FontDescriptionPtr m_description;
    double m_xscale = 1.0;
    bool m_antialias = true;
    TEXTMETRIC m_tm{};
    int m_underlineOffset = 0;
    int m_strikeOffset = 0;
    int m_lineThickness = 1;
    mutable std::array<GlyphInfo, 128> m_ascii{};
    mutable std::array<bool, 128> m_asciiKnown{};
    mutable std::unordered_map<char32_t, GlyphInfo> m_others;
    GlyphInfo Load(char32_t cp) const;
};

// The font for a logical font (cached); NULL only when fontconfig finds no font at all.
const FontInstance* FindFont(const LOGFONT& lf);

// The fontconfig configuration every face comes from; NULL when there are no fonts at all.
FcConfig* FontConfig();

// The code point at s[i], moving i past it; a malformed byte reads as U+FFFD.
char32_t NextChar(std::string_view s, size_t& i);

} // namespace kel::gdi
