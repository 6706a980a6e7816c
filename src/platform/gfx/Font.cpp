#include "platform/gfx/Font.h"

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>

#include "platform/gfx/CairoHandle.h"
#include "platform/gfx/TextEngine.h"

namespace gfx {

PangoContext* textContext() {
    static PangoContext* context = [] {
        PangoFontMap* map = pango_cairo_font_map_new();
        pango_cairo_font_map_set_resolution(PANGO_CAIRO_FONT_MAP(map), 72);
        PangoContext* ctx = pango_font_map_create_context(map);
        g_object_unref(map);  // the context keeps the map
        FontOptionsHandle options(cairo_font_options_create());
        cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_OFF);
        cairo_font_options_set_antialias(options.get(), CAIRO_ANTIALIAS_GRAY);
        pango_cairo_context_set_font_options(ctx, options.get());  // copies them
        pango_cairo_context_set_resolution(ctx, 72);
#if PANGO_VERSION_CHECK(1, 44, 0)
        pango_context_set_round_glyph_positions(ctx, FALSE);
#endif
        return ctx;
    }();
    return context;
}

namespace {

std::string lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Families with a metric twin among the Liberation fonts.
const char* metricTwin(const std::string& family) {
    static const std::map<std::string, const char*> twins = {
        {"helvetica", "Liberation Sans"},        {"helvetica neue", "Liberation Sans"},
        {"helveticaneue", "Liberation Sans"},    {"arial", "Liberation Sans"},
        {"arialmt", "Liberation Sans"},          {"system", "Liberation Sans"},
        {".helveticaneueui", "Liberation Sans"}, {"times", "Liberation Serif"},
        {"times new roman", "Liberation Serif"}, {"timesnewromanpsmt", "Liberation Serif"},
        {"courier", "Liberation Mono"},          {"courier new", "Liberation Mono"},
        {"couriernewpsmt", "Liberation Mono"},
    };
    auto it = twins.find(lower(family));
    return it == twins.end() ? nullptr : it->second;
}

// The installed family fontconfig finds under the name, or "" when it would
// only substitute another one.
std::string installedFamily(const std::string& family) {
    static std::map<std::string, std::string> cache;
    auto hit = cache.find(family);
    if (hit != cache.end()) return hit->second;
    std::string found;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcObjectSet* os = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* set = FcFontList(nullptr, pattern, os);
    if (set && set->nfont > 0) {
        FcChar8* name = nullptr;
        if (FcPatternGetString(set->fonts[0], FC_FAMILY, 0, &name) == FcResultMatch && name)
            found = reinterpret_cast<const char*>(name);
    }
    if (set) FcFontSetDestroy(set);
    FcObjectSetDestroy(os);
    FcPatternDestroy(pattern);
    cache[family] = found;
    return found;
}

std::string fallbackSans() {
    static const std::string family = [] {
        std::string f = installedFamily("Liberation Sans");
        return f.empty() ? std::string("sans") : f;
    }();
    return family;
}

// Splits a PostScript-style name: "Helvetica-BoldOblique" gives the family
// "Helvetica", bold and italic. Answers false for an unknown suffix.
bool splitStyle(const std::string& name, std::string* family, bool* bold, bool* italic) {
    std::size_t dash = name.rfind('-');
    if (dash == std::string::npos || dash == 0) return false;
    std::string suffix = lower(name.substr(dash + 1));
    bool b = false, i = false;
    if (suffix == "bold") b = true;
    else if (suffix == "oblique" || suffix == "italic") i = true;
    else if (suffix == "boldoblique" || suffix == "bolditalic") b = i = true;
    else if (suffix == "regular" || suffix == "roman" || suffix == "medium" || suffix == "book")
        ;
    else return false;
    *family = name.substr(0, dash);
    *bold = b;
    *italic = i;
    return true;
}

}  // namespace

Font::Font(const std::string& name, Float size) : name_(name) {
    size_ = (std::isfinite(size) && size > 0) ? size : kSystemFontSize;
    resolve();
}

void Font::resolve() {
    std::string family = name_;
    bold_ = italic_ = false;
    if (!splitStyle(name_, &family, &bold_, &italic_)) family = name_;
    if (const char* twin = metricTwin(family)) {
        family_ = installedFamily(twin);
        if (family_.empty()) family_ = fallbackSans();
    } else {
        family_ = family.empty() ? std::string() : installedFamily(family);
        if (family_.empty()) family_ = fallbackSans();
    }
    PangoFontDescription* d = pango_font_description_new();
    pango_font_description_set_family(d, family_.c_str());
    pango_font_description_set_weight(d, bold_ ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(d, italic_ ? PANGO_STYLE_OBLIQUE : PANGO_STYLE_NORMAL);
    pango_font_description_set_absolute_size(d, double(size_) * PANGO_SCALE);
    desc_.reset(d, pango_font_description_free);
}

Font Font::systemFont(Float size) { return Font("Helvetica", size); }
Font Font::boldSystemFont(Float size) { return Font("Helvetica-Bold", size); }
Font Font::italicSystemFont(Float size) { return Font("Helvetica-Oblique", size); }

Font Font::withSize(Float size) const { return Font(name_, size); }

namespace {
struct Metrics {
    Float ascent, descent, height;
};

Metrics metricsOf(const Font& font) {
    PangoFontMetrics* m = pango_context_get_metrics(textContext(), font.description(), nullptr);
    Metrics out{Float(pango_font_metrics_get_ascent(m)) / PANGO_SCALE,
                Float(pango_font_metrics_get_descent(m)) / PANGO_SCALE, 0};
#if PANGO_VERSION_CHECK(1, 44, 0)
    out.height = Float(pango_font_metrics_get_height(m)) / PANGO_SCALE;
#endif
    if (!(out.height > 0)) out.height = out.ascent + out.descent;
    pango_font_metrics_unref(m);
    return out;
}
}  // namespace

Float Font::ascender() const { return metricsOf(*this).ascent; }
Float Font::descender() const { return -metricsOf(*this).descent; }
Float Font::lineHeight() const { return metricsOf(*this).height; }

bool Font::operator==(const Font& other) const { return name_ == other.name_ && size_ == other.size_; }

}  // namespace gfx
