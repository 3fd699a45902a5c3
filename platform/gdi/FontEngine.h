// Fonts of the drawing layer: logical fonts resolved through fontconfig to cairo fonts, with
// the system's text metrics, cached by face, size, weight and slant. Not a public header.
#pragma once

#include "platform/gdi/GdiDefs.h"

#include <cairo.h>

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace kel::gdi {

struct GlyphInfo {
    unsigned long index = 0;
    int advance = 0; // whole pixels: text is laid out on the pixel grid
};

struct ScaledFontDeleter {
    void operator()(cairo_scaled_font_t* f) const { cairo_scaled_font_destroy(f); }
};
using ScaledFontPtr = std::unique_ptr<cairo_scaled_font_t, ScaledFontDeleter>;

class FontInstance {
public:
    FontInstance() = default;
    FontInstance(const FontInstance&) = delete;
    FontInstance& operator=(const FontInstance&) = delete;

    cairo_scaled_font_t* Scaled() const { return m_scaled.get(); }
    // The metrics without the per-font flags (underline, strike-out) of a LOGFONT.
    const TEXTMETRIC& Metrics() const { return m_tm; }
    const GlyphInfo& Glyph(char32_t cp) const;
    // Underline and strike-out lines: offset below the baseline (negative: above) and
    // thickness, in pixels.
    int UnderlineOffset() const { return m_underlineOffset; }
    int StrikeOffset() const { return m_strikeOffset; }
    int LineThickness() const { return m_lineThickness; }

private:
    friend class FontCache;
    ScaledFontPtr m_scaled;
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

// The code point at s[i], moving i past it; a malformed byte reads as U+FFFD.
char32_t NextChar(std::string_view s, size_t& i);

} // namespace kel::gdi
