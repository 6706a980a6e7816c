#include "platform/gfx/Text.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/gfx/CairoHandle.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/TextEngine.h"

namespace gfx {

namespace {

using LayoutPtr = std::unique_ptr<PangoLayout, void (*)(gpointer)>;

bool finiteFloat(Float v) { return std::isfinite(v); }

// A layout of the text in the font, `width` wide (<= 0 or unbounded: no
// limit), broken by the mode, at most `height` high for truncating modes.
LayoutPtr makeLayout(const std::string& text, const Font& font, Float width, Float height, LineBreakMode mode,
                     TextAlignment alignment) {
    LayoutPtr layout(pango_layout_new(textContext()), g_object_unref);
    pango_layout_set_font_description(layout.get(), font.description());
    pango_layout_set_text(layout.get(), text.c_str(), int(text.size()));
    bool bounded = finiteFloat(width) && width > 0 && width < kUnboundedTextExtent;
    if (bounded) pango_layout_set_width(layout.get(), int(std::lround(width * PANGO_SCALE)));
    pango_layout_set_wrap(layout.get(), mode == LineBreakMode::CharacterWrap ? PANGO_WRAP_CHAR : PANGO_WRAP_WORD_CHAR);
    PangoEllipsizeMode ellipsize = PANGO_ELLIPSIZE_NONE;
    if (mode == LineBreakMode::HeadTruncation) ellipsize = PANGO_ELLIPSIZE_START;
    else if (mode == LineBreakMode::MiddleTruncation) ellipsize = PANGO_ELLIPSIZE_MIDDLE;
    else if (mode == LineBreakMode::TailTruncation) ellipsize = PANGO_ELLIPSIZE_END;
    if (ellipsize != PANGO_ELLIPSIZE_NONE && bounded) {
        pango_layout_set_ellipsize(layout.get(), ellipsize);
        bool limited = finiteFloat(height) && height > 0 && height < kUnboundedTextExtent;
        // At least one line, however low the box.
        // Without a height limit every paragraph wraps freely.
        pango_layout_set_height(layout.get(), limited ? std::max(1, int(std::lround(height * PANGO_SCALE))) : -1000000);
    }
    PangoAlignment a = PANGO_ALIGN_LEFT;
    if (alignment == TextAlignment::Center) a = PANGO_ALIGN_CENTER;
    else if (alignment == TextAlignment::Right) a = PANGO_ALIGN_RIGHT;
    pango_layout_set_alignment(layout.get(), a);
    return layout;
}

struct LineBox {
    PangoLayoutLine* line;
    Float x;    // left of the logical extent, relative to the layout
    Float top;  // top of the line, relative to the layout
    Float height;
    Float width;
    Float baseline;  // relative to the layout top
};

// The lines that fit in `maxHeight` (at least one).
std::vector<LineBox> fittingLines(PangoLayout* layout, Float maxHeight) {
    std::vector<LineBox> out;
    PangoLayoutIter* it = pango_layout_get_iter(layout);
    do {
        PangoRectangle logical;
        pango_layout_iter_get_line_extents(it, nullptr, &logical);
        LineBox box{pango_layout_iter_get_line_readonly(it), Float(logical.x) / PANGO_SCALE,
                    Float(logical.y) / PANGO_SCALE,          Float(logical.height) / PANGO_SCALE,
                    Float(logical.width) / PANGO_SCALE,      Float(pango_layout_iter_get_baseline(it)) / PANGO_SCALE};
        if (!out.empty() && box.top + box.height > maxHeight + 0.01f) break;
        out.push_back(box);
    } while (pango_layout_iter_next_line(it));
    pango_layout_iter_free(it);
    return out;
}

Size sizeOf(const std::vector<LineBox>& lines) {
    if (lines.empty()) return Size::zero();
    Float width = 0;
    for (const LineBox& l : lines) width = std::max(width, l.width);
    Float height = lines.back().top + lines.back().height - lines.front().top;
    return {std::ceil(width - 0.001f), std::ceil(height - 0.001f)};
}

// Sizes measured before, on this thread. Screens measure the same texts
// again and again (every layout pass, every refill of a label that fits its
// text by trying smaller sizes), and a measurement lays the text out anew.
// The fonts installed do not change under a running program, so a text,
// font and box measure the same every time.
class MeasuredSizes {
public:
    template <class Measure>
    Size get(const std::string& text, const Font& font, Float width, Float height, int mode, Measure measure) {
        std::string key;
        key.reserve(text.size() + font.fontName().size() + 1 + 3 * sizeof(Float) + 3);
        key.append(font.fontName()).push_back('\0');
        for (Float v : {font.pointSize(), width, height}) key.append(reinterpret_cast<const char*>(&v), sizeof v);
        key.push_back(char(mode));
        key.push_back(char(int(font.isBold()) | int(font.isItalic()) << 1));
        key.append(text);
        if (auto it = sizes_.find(key); it != sizes_.end()) return it->second;
        const Size size = measure();
        // Bounded: a program that measures ever new texts starts over.
        if (sizes_.size() >= kMaxSizes) sizes_.clear();
        sizes_.emplace(std::move(key), size);
        return size;
    }

private:
    static constexpr std::size_t kMaxSizes = 2048;
    std::unordered_map<std::string, Size> sizes_;
};

MeasuredSizes& measuredSizes() {
    thread_local MeasuredSizes sizes;
    return sizes;
}

}  // namespace

Size measureText(const std::string& text, const Font& font) {
    if (text.empty()) return {0, std::ceil(font.lineHeight())};
    return measuredSizes().get(text, font, 0, 0, -1, [&] {
        LayoutPtr layout = makeLayout(text, font, 0, 0, LineBreakMode::Clip, TextAlignment::Left);
        // One line: the widest paragraph on the first line's height, as the
        // toolkit measures single-line text.
        std::vector<LineBox> lines = fittingLines(layout.get(), kUnboundedTextExtent);
        Float width = 0;
        for (const LineBox& l : lines) width = std::max(width, l.width);
        return Size{std::ceil(width - 0.001f), std::ceil(lines.front().height - 0.001f)};
    });
}

Size measureText(const std::string& text, const Font& font, Size constraint, LineBreakMode mode) {
    Float width = finiteFloat(constraint.width) ? constraint.width : kUnboundedTextExtent;
    Float height = finiteFloat(constraint.height) && constraint.height > 0 ? constraint.height : kUnboundedTextExtent;
    if (text.empty()) return Size::zero();
    return measuredSizes().get(text, font, width, height, int(mode), [&] {
        LayoutPtr layout = makeLayout(text, font, width, height, mode, TextAlignment::Left);
        Size s = sizeOf(fittingLines(layout.get(), height));
        if (width > 0 && width < kUnboundedTextExtent) s.width = std::min(s.width, std::ceil(width));
        return s;
    });
}

Size drawText(Context& context, const std::string& text, const Rect& rect, const Font& font, LineBreakMode mode,
              TextAlignment alignment) {
    context.note("drawText",
                 {rect.x(), rect.y(), rect.width(), rect.height(), font.pointSize(), Float(int(alignment))});
    if (text.empty() || rect.isNull()) return Size::zero();
    if (!finiteFloat(rect.x()) || !finiteFloat(rect.y()) || !finiteFloat(rect.width()) || !finiteFloat(rect.height()))
        return Size::zero();
    Rect r = rect.standardized();
    Float width = r.width() > 0 ? r.width() : kUnboundedTextExtent;
    Float height = r.height() > 0 ? r.height() : kUnboundedTextExtent;
    LayoutPtr layout = makeLayout(text, font, width, height, mode, alignment);
    std::vector<LineBox> lines = fittingLines(layout.get(), height);
    Size drawn = sizeOf(lines);
    if (lines.empty()) return drawn;

    // Unbounded width: align against the widest line.
    Float layoutWidth = width < kUnboundedTextExtent ? width : drawn.width;
    Rect userBounds{r.x(), r.y(), layoutWidth, drawn.height};
    Rect deviceBounds = context.convertRectToDeviceSpace(userBounds);
    bool clip = mode == LineBreakMode::Clip || mode == LineBreakMode::WordWrap || mode == LineBreakMode::CharacterWrap;
    auto c = context.fillColor().rgba();
    Float alpha = context.alpha();
    context.paintWithEffects(
        [&](cairo_t* cr) {
            CairoSavedState saved(cr);
            if (clip && r.width() > 0) {
                cairo_new_path(cr);
                cairo_rectangle(cr, r.x(), r.y(), r.width(), std::max(r.height(), drawn.height));
                cairo_clip(cr);
            }
            cairo_set_source_rgba(cr, c[0], c[1], c[2], c[3] * alpha);
            for (const LineBox& l : lines) {
                // With a layout width pango has aligned the line already; without
                // one, align it against the widest line here.
                Float x = r.x() + l.x;
                if (width >= kUnboundedTextExtent) {
                    x = r.x();
                    if (alignment == TextAlignment::Center) x += (layoutWidth - l.width) / 2;
                    else if (alignment == TextAlignment::Right) x += layoutWidth - l.width;
                }
                // The line draws from its own origin, which may sit inside its
                // logical extent.
                PangoRectangle logical;
                pango_layout_line_get_extents(l.line, nullptr, &logical);
                cairo_move_to(cr, x - double(logical.x) / PANGO_SCALE, r.y() + l.baseline);
                pango_cairo_show_layout_line(cr, l.line);
            }
        },
        deviceBounds);
    return drawn;
}

Size drawText(Context& context, const std::string& text, const Point& point, const Font& font) {
    Size s = measureText(text, font);
    return drawText(context, text, Rect(point, {kUnboundedTextExtent, s.height}), font, LineBreakMode::Clip,
                    TextAlignment::Left);
}

}  // namespace gfx
