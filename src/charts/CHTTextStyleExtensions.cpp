#include "charts/CHTTextStyleExtensions.h"

gfx::Size sizeWithTextStyle(const std::string& text, const CHTTextStyle* style) {
    if (!style) return gfx::Size::zero();
    return gfx::measureText(text, style->font(), gfx::Size(10000, 10000), gfx::LineBreakMode::WordWrap);
}

void drawInRect(const std::string& text, const gfx::Rect& rect, const CHTTextStyle* style, gfx::Context& context) {
    if (!style || !style->color()) return;
    {
        gfx::SavedState saved(context);
        context.setStrokeColor(style->color()->cgColor());
        context.setFillColor(style->color()->cgColor());
        CHTPushCGContext(context);
        gfx::drawText(context, text, rect, style->font(), gfx::LineBreakMode::WordWrap, style->textAlignment());
    }
    CHTPopCGContext();
}
