// Pango over fontconfig and cairo, set up as the plain glyph path draws: the same
// configuration of faces, grey antialiasing with slight hinting, advances on whole pixels and
// no kerning (text measures as the sum of its characters, as the system's text output does),
// so a Latin line comes out as wide from either path.
#include "platform/gdi/TextShaper.h"

#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

#include <cmath>
#include <list>
#include <string>
#include <unordered_map>

namespace kel::gdi {
namespace {

using ContextPtr = std::unique_ptr<PangoContext, GObjectDeleter>;
using FontMapPtr = std::unique_ptr<PangoFontMap, GObjectDeleter>;
struct AttrListDeleter {
    void operator()(PangoAttrList* l) const { pango_attr_list_unref(l); }
};
using AttrListPtr = std::unique_ptr<PangoAttrList, AttrListDeleter>;
struct TabArrayDeleter {
    void operator()(PangoTabArray* t) const { pango_tab_array_free(t); }
};
using TabArrayPtr = std::unique_ptr<PangoTabArray, TabArrayDeleter>;
struct FontOptionsDeleter {
    void operator()(cairo_font_options_t* o) const { cairo_font_options_destroy(o); }
};

class Shaper {
public:
    Shaper() {
        FcConfig* config = FontConfig();
        if (!config)
            return;
        m_map.reset(pango_cairo_font_map_new_for_font_type(CAIRO_FONT_TYPE_FT));
        if (!m_map || !PANGO_IS_FC_FONT_MAP(m_map.get()))
            return;
        pango_fc_font_map_set_config(PANGO_FC_FONT_MAP(m_map.get()), config);
        for (bool antialias : {false, true}) {
            std::unique_ptr<cairo_font_options_t, FontOptionsDeleter> o(
                cairo_font_options_create());
            cairo_font_options_set_antialias(o.get(), antialias ? CAIRO_ANTIALIAS_GRAY
                                                                : CAIRO_ANTIALIAS_NONE);
            cairo_font_options_set_hint_style(o.get(), CAIRO_HINT_STYLE_SLIGHT);
            cairo_font_options_set_hint_metrics(o.get(), CAIRO_HINT_METRICS_ON);
            ContextPtr ctx(pango_font_map_create_context(m_map.get()));
            pango_cairo_context_set_font_options(ctx.get(), o.get());
            pango_context_set_round_glyph_positions(ctx.get(), TRUE);
            m_contexts[antialias] = std::move(ctx);
        }
        m_attrs.reset(pango_attr_list_new());
        pango_attr_list_insert(m_attrs.get(), pango_attr_font_features_new("kern 0"));
    }
    ~Shaper() {
        // The lines hold their contexts: they go first.
        m_lru.clear();
        m_lines.clear();
    }

    std::shared_ptr<const ShapedLine> Shape(const FontInstance& font, std::string_view text,
                                            int tabWidth) {
        PangoContext* ctx = m_contexts[font.Antialiased()].get();
        if (!ctx)
            return nullptr;
        std::string key;
        key.reserve(text.size() + 2 * sizeof(void*));
        const FontInstance* fp = &font;
        key.append(reinterpret_cast<const char*>(&fp), sizeof fp);
        key.append(reinterpret_cast<const char*>(&tabWidth), sizeof tabWidth);
        key.append(text);
        if (auto it = m_lines.find(key); it != m_lines.end()) {
            m_lru.splice(m_lru.begin(), m_lru, it->second.second);
            return it->second.first;
        }
        LayoutPtr layout(pango_layout_new(ctx));
        pango_layout_set_font_description(layout.get(), font.Description());
        pango_layout_set_attributes(layout.get(), m_attrs.get());
        pango_layout_set_single_paragraph_mode(layout.get(), TRUE);
        if (tabWidth > 0) {
            TabArrayPtr tabs(pango_tab_array_new_with_positions(1, TRUE, PANGO_TAB_LEFT, tabWidth));
            pango_layout_set_tabs(layout.get(), tabs.get());
        }
        pango_layout_set_text(layout.get(), text.data(), static_cast<int>(text.size()));
        auto line = std::make_shared<const ShapedLine>(std::move(layout), font.XScale());
        if (m_lines.size() >= kCapacity) {
            m_lines.erase(m_lru.back());
            m_lru.pop_back();
        }
        m_lru.push_front(key);
        m_lines.emplace(std::move(key), std::make_pair(line, m_lru.begin()));
        return line;
    }

private:
    // Enough for every cell of a large screen several times over.
    static constexpr size_t kCapacity = 4096;
    FontMapPtr m_map;
    ContextPtr m_contexts[2]; // without, with antialiasing
    AttrListPtr m_attrs;
    std::list<std::string> m_lru; // most recent first
    std::unordered_map<
        std::string, std::pair<std::shared_ptr<const ShapedLine>, std::list<std::string>::iterator>>
        m_lines;
};

bool g_shaperGone = false;

Shaper* TheShaper() {
    static struct Holder {
        Shaper shaper;
        ~Holder() { g_shaperGone = true; }
    } holder;
    return g_shaperGone ? nullptr : &holder.shaper;
}

} // namespace

ShapedLine::ShapedLine(LayoutPtr layout, double xscale)
    : m_layout(std::move(layout)), m_xscale(xscale) {
    const char* text = pango_layout_get_text(m_layout.get());
    const size_t size = std::char_traits<char>::length(text);
    PangoLayoutLine* line = pango_layout_get_line_readonly(m_layout.get(), 0);
    if (!line)
        return;
    PangoRectangle logical{};
    pango_layout_line_get_extents(line, nullptr, &logical);
    m_left = logical.x;
    m_width = static_cast<int>(std::lround(logical.width * xscale / PANGO_SCALE));
    // Each character's share of its cluster, then summed in the order of the text.
    std::vector<int> widths(size, 0);
    std::vector<int> run;
    for (GSList* r = line->runs; r; r = r->next) {
        auto* item = static_cast<PangoGlyphItem*>(r->data);
        run.assign(static_cast<size_t>(item->item->num_chars), 0);
        pango_glyph_item_get_logical_widths(item, text, run.data());
        const char* p = text + item->item->offset;
        for (int k = 0; k < item->item->num_chars; ++k) {
            widths[static_cast<size_t>(p - text)] = run[static_cast<size_t>(k)];
            p = g_utf8_next_char(p);
        }
    }
    m_ends.resize(size);
    long x = 0;
    for (size_t i = 0; i < size;) {
        x += widths[i];
        size_t next = static_cast<size_t>(g_utf8_next_char(text + i) - text);
        int end = static_cast<int>(std::lround(x * xscale / PANGO_SCALE));
        for (; i < next && i < size; ++i)
            m_ends[i] = end;
    }
}

void ShapedLine::Draw(cairo_t* cr, double x, double y) const {
    PangoLayoutLine* line = pango_layout_get_line_readonly(m_layout.get(), 0);
    if (!line)
        return;
    cairo_save(cr);
    cairo_translate(cr, x, y);
    if (m_xscale != 1.0)
        cairo_scale(cr, m_xscale, 1.0);
    cairo_move_to(cr, -static_cast<double>(m_left) / PANGO_SCALE, 0);
    pango_cairo_show_layout_line(cr, line);
    cairo_restore(cr);
}

std::shared_ptr<const ShapedLine> ShapeLine(const FontInstance& font, std::string_view text,
                                            int tabWidth) {
    Shaper* shaper = TheShaper();
    return shaper ? shaper->Shape(font, text, tabWidth) : nullptr;
}

} // namespace kel::gdi
