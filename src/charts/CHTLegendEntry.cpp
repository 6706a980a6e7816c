#include "charts/CHTLegendEntry.h"

#include "charts/CHTPlot.h"
#include "charts/CHTTextStyleExtensions.h"

std::optional<std::string> CHTLegendEntry::title() const {
    auto p = plot();
    return p ? p->titleForLegendEntryAtIndex(index_) : std::nullopt;
}

gfx::Size CHTLegendEntry::titleSize() const {
    auto text = title();
    if (!text || !textStyle_) return gfx::Size(0, 0);
    return sizeWithTextStyle(*text, textStyle_.get());
}

void CHTLegendEntry::drawTitleInRect(const gfx::Rect& rect, gfx::Context& context) const {
    auto text = title();
    if (!text || !textStyle_) return;
    gfx::SavedState saved(context);
    // Text is drawn top-down: flip the rectangle onto itself.
    context.translate(0, rect.minY());
    context.scale(1, -1);
    context.translate(0, -rect.maxY());
    gfx::Rect textRect = rect;
    const CGFloat height = titleSize().height;
    if (height < rect.height()) textRect = rect.inset(0, (rect.height() - height) / 2);
    drawInRect(*text, textRect, textStyle_.get(), context);
}

void CHTLegendEntry::encodeWithCoder(base::KeyedArchiver& coder) const {
    auto p = plot();
    coder.encodeConditionalObject(p.get(), "CHTLegendEntry.plot");
    coder.encodeInteger(static_cast<long long>(index_), "CHTLegendEntry.index");
    coder.encodeInteger(static_cast<long long>(row_), "CHTLegendEntry.row");
    coder.encodeInteger(static_cast<long long>(column_), "CHTLegendEntry.column");
    coder.encodeObject(textStyle_, "CHTLegendEntry.textStyle");
}

std::shared_ptr<base::Coding> CHTLegendEntry::initWithCoder(base::KeyedUnarchiver& coder) {
    plot_ = coder.decodeObjectOfType<CHTPlot>("CHTLegendEntry.plot");
    auto count = [&](const char* key) {
        const long long v = coder.decodeInteger(key);
        return v < 0 ? std::size_t(0) : static_cast<std::size_t>(v);
    };
    index_ = count("CHTLegendEntry.index");
    row_ = count("CHTLegendEntry.row");
    column_ = count("CHTLegendEntry.column");
    textStyle_ = coder.decodeObjectOfType<CHTTextStyle>("CHTLegendEntry.textStyle");
    return nullptr;
}
