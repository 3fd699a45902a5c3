// Font resolution and metrics.
//
// Sizes follow the system's rules: a negative height is the em size in pixels, a positive one
// the cell height (ascent + descent). Ascent and descent come from the face's Windows metrics
// (OS/2 usWinAscent/usWinDescent), each rounded, so "Arial" (Liberation Sans, metric
// compatible) measures as it does on the system. tmAveCharWidth is the classic weighted average
// of the lower-case letters and the space (the OS/2 xAvgCharWidth rule of versions 0 to 2),
// taken over the same whole-pixel advances that measuring and drawing use, so it agrees with
// GetTextExtent of ordinary text.
#include "platform/gdi/FontEngine.h"
#include "platform/gdi/SurfaceDC.h"

#include <cairo.h>

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace kel::gdi {
namespace {

struct FaceDeleter {
    void operator()(cairo_font_face_t* f) const { cairo_font_face_destroy(f); }
};
using FacePtr = std::unique_ptr<cairo_font_face_t, FaceDeleter>;
struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using FcPatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;
struct OptionsDeleter {
    void operator()(cairo_font_options_t* o) const { cairo_font_options_destroy(o); }
};
using OptionsPtr = std::unique_ptr<cairo_font_options_t, OptionsDeleter>;

// Design metrics of a face, in font units.
struct Face {
    FacePtr face;
    double upm = 2048;
    double winAscent = 0, winDescent = 0;
    double hheaAscent = 0, hheaDescent = 0, lineGap = 0;
    double maxAdvance = 0;
    double underlinePos = 0, underlineThickness = 0, strikePos = 0;
    bool fixedPitch = false;
};

// The classic weights of the lower-case letters and the space, per thousand.
constexpr int kLetterWeights[26] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3,  6, 35, 20,
                                    56, 56, 17, 4,  49,  56, 71, 31, 10, 18, 3, 18, 2};
constexpr int kSpaceWeight = 166;

std::string Lower(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        c = (char)std::tolower((unsigned char)c);
    return r;
}

// The installed family standing in for a face name of the system.
std::string Family(const LOGFONT& lf) {
    static const std::map<std::string, const char*> aliases = {
        {"arial", "Liberation Sans"},          {"helvetica", "Liberation Sans"},
        {"ms sans serif", "Liberation Sans"},  {"ms shell dlg", "Liberation Sans"},
        {"ms shell dlg 2", "Liberation Sans"}, {"microsoft sans serif", "Liberation Sans"},
        {"system", "Liberation Sans"},         {"tahoma", "Liberation Sans"},
        {"segoe ui", "Liberation Sans"},       {"times new roman", "Liberation Serif"},
        {"times", "Liberation Serif"},         {"ms serif", "Liberation Serif"},
        {"courier new", "Liberation Mono"},    {"courier", "Liberation Mono"},
        {"terminal", "Liberation Mono"},       {"fixedsys", "Liberation Mono"},
        {"lucida console", "Liberation Mono"},
    };
    std::string_view name(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
    if (name.empty()) {
        if ((lf.lfPitchAndFamily & 3) == FIXED_PITCH || (lf.lfPitchAndFamily & 0xF0) == FF_MODERN)
            return "Liberation Mono";
        if ((lf.lfPitchAndFamily & 0xF0) == FF_ROMAN)
            return "Liberation Serif";
        return "Liberation Sans";
    }
    auto it = aliases.find(Lower(name));
    return it != aliases.end() ? it->second : std::string(name);
}

int Weight(const LOGFONT& lf) {
    return lf.lfWeight <= 0 ? FW_NORMAL : std::min<int>(lf.lfWeight, 1000);
}

} // namespace

// The fontconfig configuration of the drawing layer: the system's font folders and caches,
// none of the desktop's rules. Faces are found through our own alias table, and rendering
// does not change with a user's hinting or antialiasing preferences. It lives as long as the
// process (cairo's font caches keep patterns that point into it).
FcConfig* FontConfig() {
    static FcConfig* config = [] {
        static const char xml[] = R"(<?xml version="1.0"?>
<fontconfig>
  <dir>/usr/share/fonts</dir>
  <dir>/usr/local/share/fonts</dir>
  <dir prefix="xdg">fonts</dir>
  <cachedir>/var/cache/fontconfig</cachedir>
  <cachedir prefix="xdg">fontconfig</cachedir>
</fontconfig>)";
        FcConfig* c = FcConfigCreate();
        if (c && FcConfigParseAndLoadFromMemory(c, reinterpret_cast<const FcChar8*>(xml), FcTrue) &&
            FcConfigBuildFonts(c)) {
            FcFontSet* fonts = FcConfigGetFonts(c, FcSetSystem);
            if (fonts && fonts->nfont > 0)
                return c;
        }
        if (c)
            FcConfigDestroy(c);
        // No fonts in the usual folders: the desktop's own configuration knows where they are.
        return FcInitLoadConfigAndFonts();
    }();
    return config;
}

class FontCache {
public:
    ~FontCache() = default;

    const FontInstance* Find(const LOGFONT& lf) {
        std::string family = Family(lf);
        Key key{Lower(family), lf.lfHeight,      lf.lfWidth,
                Weight(lf),    lf.lfItalic != 0, lf.lfQuality == NONANTIALIASED_QUALITY};
        auto it = m_fonts.find(key);
        if (it != m_fonts.end())
            return it->second.get();
        const Face* face = FindFace(family, key.weight, key.italic);
        if (!face)
            return nullptr;
        auto font = Make(*face, family, lf, key.noAntialias);
        if (!font)
            return nullptr;
        return m_fonts.emplace(std::move(key), std::move(font)).first->second.get();
    }

private:
    using FaceKey = std::tuple<std::string, int, bool>;
    struct Key {
        std::string family;
        LONG height, width;
        int weight;
        bool italic, noAntialias;
        bool operator<(const Key& o) const {
            return std::tie(family, height, width, weight, italic, noAntialias) <
                   std::tie(o.family, o.height, o.width, o.weight, o.italic, o.noAntialias);
        }
    };
    std::map<FaceKey, std::unique_ptr<Face>> m_faces;
    std::map<Key, std::unique_ptr<FontInstance>> m_fonts;

    const Face* FindFace(const std::string& family, int weight, bool italic) {
        FaceKey key{Lower(family), weight, italic};
        auto it = m_faces.find(key);
        if (it != m_faces.end())
            return it->second.get();
        FcConfig* config = FontConfig();
        if (!config)
            return nullptr;
        FcPatternPtr pat(FcPatternCreate());
        // A face that is not installed falls back to the sans face of the classic look.
        for (const char* name : {family.c_str(), "Liberation Sans"})
            FcPatternAddString(pat.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(name));
        FcPatternAddInteger(pat.get(), FC_WEIGHT, FcWeightFromOpenType(weight));
        FcPatternAddInteger(pat.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcConfigSubstitute(config, pat.get(), FcMatchPattern);
        FcDefaultSubstitute(pat.get());
        FcResult result = FcResultNoMatch;
        FcPatternPtr match(FcFontMatch(config, pat.get(), &result));
        if (!match)
            return nullptr;
        // Rendering comes from our font options alone.
        for (const char* prop :
             {FC_ANTIALIAS, FC_HINTING, FC_HINT_STYLE, FC_AUTOHINT, FC_RGBA, FC_LCD_FILTER})
            FcPatternDel(match.get(), prop);
        auto f = std::make_unique<Face>();
        f->face.reset(cairo_ft_font_face_create_for_pattern(match.get()));
        if (cairo_font_face_status(f->face.get()) != CAIRO_STATUS_SUCCESS)
            return nullptr;
        if (!ReadDesign(*f))
            return nullptr;
        return m_faces.emplace(std::move(key), std::move(f)).first->second.get();
    }

    static OptionsPtr Options(bool noAntialias) {
        OptionsPtr o(cairo_font_options_create());
        cairo_font_options_set_antialias(o.get(),
                                         noAntialias ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_GRAY);
        cairo_font_options_set_hint_style(o.get(), CAIRO_HINT_STYLE_SLIGHT);
        cairo_font_options_set_hint_metrics(o.get(), CAIRO_HINT_METRICS_ON);
        return o;
    }

    static ScaledFontPtr Scale(const Face& f, double sx, double sy, bool noAntialias) {
        cairo_matrix_t fm, ctm;
        cairo_matrix_init_scale(&fm, sx, sy);
        cairo_matrix_init_identity(&ctm);
        OptionsPtr opts = Options(noAntialias);
        ScaledFontPtr s(cairo_scaled_font_create(f.face.get(), &fm, &ctm, opts.get()));
        if (cairo_scaled_font_status(s.get()) != CAIRO_STATUS_SUCCESS)
            return nullptr;
        return s;
    }

    static bool ReadDesign(Face& f) {
        ScaledFontPtr scaled = Scale(f, 16, 16, false);
        if (!scaled)
            return false;
        cairo_scaled_font_t* s = scaled.get();
        FT_Face ft = cairo_ft_scaled_font_lock_face(s);
        bool ok = ft != nullptr;
        if (ok) {
            f.upm = ft->units_per_EM ? ft->units_per_EM : 2048;
            auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
            auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(ft, FT_SFNT_HHEA));
            f.hheaAscent = hhea ? hhea->Ascender : ft->ascender;
            f.hheaDescent = hhea ? -hhea->Descender : -ft->descender;
            f.lineGap =
                hhea ? hhea->Line_Gap : std::max(0, ft->height - ft->ascender + ft->descender);
            if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
                f.winAscent = os2->usWinAscent;
                f.winDescent = os2->usWinDescent;
                f.strikePos = os2->yStrikeoutPosition;
            } else {
                f.winAscent = f.hheaAscent;
                f.winDescent = f.hheaDescent;
                f.strikePos = f.winAscent / 3;
            }
            f.maxAdvance = ft->max_advance_width;
            f.underlinePos = ft->underline_position;
            f.underlineThickness = ft->underline_thickness;
            f.fixedPitch = FT_IS_FIXED_WIDTH(ft);
            cairo_ft_scaled_font_unlock_face(s);
        }
        return ok;
    }

    static int AverageWidth(const FontInstance& font) {
        long sum = (long)kSpaceWeight * font.Glyph(' ').advance;
        for (int i = 0; i < 26; ++i)
            sum += (long)kLetterWeights[i] * font.Glyph((char32_t)('a' + i)).advance;
        return (int)std::lround(sum / 1000.0);
    }

    static std::unique_ptr<FontInstance> Make(const Face& f, const std::string& familyName,
                                              const LOGFONT& lf, bool noAa) {
        double cell = f.winAscent + f.winDescent;
        // lfHeight 0 asks for the default size: the system font's cell height of 16.
        LONG h = lf.lfHeight == 0 ? 16 : lf.lfHeight;
        double em = h < 0 ? -(double)h : h * f.upm / cell;
        auto font = std::make_unique<FontInstance>();
        font->m_scaled = Scale(f, em, em, noAa);
        if (!font->m_scaled)
            return nullptr;
        double xscale = 1.0;
        if (lf.lfWidth > 0) {
            // A width asks for that average character width: the face is stretched to it.
            int natural = AverageWidth(*font);
            if (natural > 0 && natural != lf.lfWidth) {
                xscale = (double)lf.lfWidth / natural;
                if (ScaledFontPtr s = Scale(f, em * xscale, em, noAa)) {
                    font->m_scaled = std::move(s);
                    font->m_ascii = {};
                    font->m_asciiKnown = {};
                } else {
                    xscale = 1.0;
                }
            }
        }
        font->m_xscale = xscale;
        font->m_antialias = !noAa;
        // Pango picks the same face first (a face that is not installed falls back to the
        // sans face, as above) and other installed faces for what it lacks.
        font->m_description.reset(pango_font_description_new());
        std::string families = familyName + ",Liberation Sans";
        pango_font_description_set_family(font->m_description.get(), families.c_str());
        pango_font_description_set_weight(font->m_description.get(),
                                          static_cast<PangoWeight>(Weight(lf)));
        pango_font_description_set_style(font->m_description.get(),
                                         lf.lfItalic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
        pango_font_description_set_absolute_size(font->m_description.get(), em * PANGO_SCALE);
        double scale = em / f.upm;
        TEXTMETRIC& tm = font->m_tm;
        if (h > 0) {
            tm.tmAscent = (LONG)std::lround(f.winAscent * h / cell);
            tm.tmDescent = h - tm.tmAscent;
        } else {
            tm.tmAscent = (LONG)std::lround(f.winAscent * scale);
            tm.tmDescent = (LONG)std::lround(f.winDescent * scale);
        }
        tm.tmHeight = tm.tmAscent + tm.tmDescent;
        tm.tmInternalLeading = std::max<LONG>(0, tm.tmHeight - (LONG)std::lround(em));
        double extra = f.lineGap - (cell - (f.hheaAscent + f.hheaDescent));
        tm.tmExternalLeading = std::max<LONG>(0, (LONG)std::lround(extra * scale));
        tm.tmAveCharWidth = AverageWidth(*font);
        tm.tmMaxCharWidth = (LONG)std::lround(f.maxAdvance * scale * xscale);
        tm.tmWeight = Weight(lf);
        tm.tmOverhang = 0;
        tm.tmDigitizedAspectX = tm.tmDigitizedAspectY = KelGetScreenDpi();
        tm.tmFirstChar = ' ';
        tm.tmLastChar = '~';
        tm.tmDefaultChar = '?';
        tm.tmBreakChar = ' ';
        tm.tmItalic = lf.lfItalic ? 1 : 0;
        tm.tmCharSet = ANSI_CHARSET;
        BYTE family = f.fixedPitch ? FF_MODERN : FF_SWISS;
        if ((lf.lfPitchAndFamily & 0xF0) != FF_DONTCARE)
            family = lf.lfPitchAndFamily & 0xF0;
        tm.tmPitchAndFamily =
            (BYTE)(family | TMPF_TRUETYPE | TMPF_VECTOR | (f.fixedPitch ? 0 : TMPF_FIXED_PITCH));
        font->m_lineThickness = std::max(1, (int)std::lround(f.underlineThickness * scale));
        font->m_underlineOffset = std::max(1, (int)std::lround(-f.underlinePos * scale));
        font->m_strikeOffset = -(int)std::lround(f.strikePos * scale);
        return font;
    }
};

namespace {

bool g_cacheGone = false;

FontCache* Cache() {
    static struct Holder {
        FontCache cache;
        ~Holder() { g_cacheGone = true; }
    } holder;
    return g_cacheGone ? nullptr : &holder.cache;
}

} // namespace

GlyphInfo FontInstance::Load(char32_t cp) const {
    GlyphInfo g;
    FT_Face ft = cairo_ft_scaled_font_lock_face(m_scaled.get());
    if (ft) {
        g.index = FT_Get_Char_Index(ft, cp);
        cairo_ft_scaled_font_unlock_face(m_scaled.get());
    }
    cairo_glyph_t glyph{g.index, 0, 0};
    cairo_text_extents_t ext;
    cairo_scaled_font_glyph_extents(m_scaled.get(), &glyph, 1, &ext);
    g.advance = (int)std::lround(ext.x_advance);
    if (ext.width > 0 && ext.height > 0) {
        // The pixels the outline reaches into: drawn at a whole pixel, its ink stays there.
        g.inkLeft = (int)std::floor(ext.x_bearing);
        g.inkTop = (int)std::floor(ext.y_bearing);
        g.inkRight = (int)std::ceil(ext.x_bearing + ext.width);
        g.inkBottom = (int)std::ceil(ext.y_bearing + ext.height);
    }
    return g;
}

const GlyphInfo& FontInstance::Glyph(char32_t cp) const {
    if (cp < 128) {
        if (!m_asciiKnown[cp]) {
            m_ascii[cp] = Load(cp);
            m_asciiKnown[cp] = true;
        }
        return m_ascii[cp];
    }
    auto it = m_others.find(cp);
    if (it == m_others.end())
        it = m_others.emplace(cp, Load(cp)).first;
    return it->second;
}

const FontInstance* FindFont(const LOGFONT& lf) {
    FontCache* cache = Cache();
    return cache ? cache->Find(lf) : nullptr;
}

char32_t NextChar(std::string_view s, size_t& i) {
    auto byte = [&](size_t k) { return (unsigned char)s[k]; };
    unsigned char c = byte(i);
    int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (len == 0 || i + len > s.size()) {
        ++i;
        return 0xFFFD;
    }
    char32_t cp = len == 1 ? c : c & (0x7F >> len);
    for (int k = 1; k < len; ++k) {
        unsigned char b = byte(i + k);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    i += len;
    return cp;
}

} // namespace kel::gdi
