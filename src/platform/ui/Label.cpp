#include "platform/ui/Label.h"

#include <algorithm>
#include <cmath>

#include "platform/gfx/Context.h"
#include "platform/gfx/Text.h"

namespace ui {

Label::Label() : Label(Rect()) {}

Label::Label(Rect frame)
    : View(frame),
      font_(gfx::Font::systemFont(17)),
      textColor_(gfx::Color::black()),
      highlightedTextColor_(gfx::Color::white()) {
    setUserInteractionEnabled(false);
    setBackgroundColor(gfx::Color::white());
    setOpaque(false);
}

void Label::setText(std::string text) {
    if (text == text_) return;
    text_ = std::move(text);
    setNeedsDisplay();
}

void Label::setFont(gfx::Font font) {
    font_ = std::move(font);
    setNeedsDisplay();
}

void Label::setTextColor(gfx::Color color) {
    textColor_ = std::move(color);
    setNeedsDisplay();
}

void Label::setHighlightedTextColor(gfx::Color color) {
    highlightedTextColor_ = std::move(color);
    setNeedsDisplay();
}

void Label::setHighlighted(bool highlighted) {
    highlighted_ = highlighted;
    setNeedsDisplay();
}

void Label::setEnabled(bool enabled) {
    enabled_ = enabled;
    setNeedsDisplay();
}

void Label::setTextAlignment(TextAlignment alignment) {
    alignment_ = alignment;
    setNeedsDisplay();
}

void Label::setNumberOfLines(int lines) {
    lines_ = std::max(0, lines);
    setNeedsDisplay();
}

void Label::setLineBreakMode(LineBreakMode mode) {
    lineBreak_ = mode;
    setNeedsDisplay();
}

void Label::setShadowColor(std::optional<gfx::Color> color) {
    shadowColor_ = std::move(color);
    setNeedsDisplay();
}

void Label::setShadowOffset(Size offset) {
    shadowOffset_ = offset;
    setNeedsDisplay();
}

void Label::setAdjustsFontSizeToFitWidth(bool adjusts) {
    adjustsFontSize_ = adjusts;
    setNeedsDisplay();
}

gfx::Font Label::effectiveFont() const {
    if (!adjustsFontSize_ || lines_ != 1 || text_.empty()) return font_;
    Float width = bounds().width();
    if (width <= 0) return font_;
    Float size = font_.pointSize();
    Float minimum = minimumFontSize_ > 0 ? minimumFontSize_ : std::min<Float>(size, 6);
    gfx::Font f = font_;
    while (size > minimum && gfx::measureText(text_, f).width > width) {
        size = std::max(minimum, size - 1);
        f = font_.withSize(size);
    }
    return f;
}

Size Label::sizeThatFits(Size size) const {
    if (text_.empty()) return {0, 0};
    if (lines_ == 1) return gfx::measureText(text_, font_);
    Float width = size.width > 0 ? size.width : gfx::kUnboundedTextExtent;
    Float height = lines_ > 0 ? font_.lineHeight() * lines_ : gfx::kUnboundedTextExtent;
    return gfx::measureText(text_, font_, Size(width, height), LineBreakMode::WordWrap);
}

Rect Label::textRectForBounds(Rect b, int numberOfLines) const {
    gfx::Font f = effectiveFont();
    Size s;
    if (numberOfLines == 1) {
        s = Size(b.width(), f.lineHeight());
    } else {
        Float maxHeight = numberOfLines > 0 ? f.lineHeight() * numberOfLines : b.height();
        maxHeight = std::min(maxHeight, b.height());
        LineBreakMode mode =
            lineBreak_ == LineBreakMode::CharacterWrap ? LineBreakMode::CharacterWrap : LineBreakMode::WordWrap;
        s = gfx::measureText(text_, f, Size(b.width(), std::max(maxHeight, f.lineHeight())), mode);
        s.width = b.width();
    }
    // Vertically centred, as the toolkit draws labels.
    Float y = b.minY() + std::floor((b.height() - s.height) / 2);
    return Rect(b.minX(), y, b.width(), s.height);
}

void Label::drawRect(gfx::Context& ctx, Rect rect) {
    (void)rect;
    if (text_.empty()) return;
    gfx::Font f = effectiveFont();
    Rect r = textRectForBounds(bounds(), lines_);
    gfx::Color color = highlighted_ ? highlightedTextColor_ : textColor_;
    if (!enabled_) color = color.withAlpha(color.alpha() * 0.45f);
    LineBreakMode mode = lineBreak_;
    if (lines_ != 1 && (mode == LineBreakMode::TailTruncation || mode == LineBreakMode::HeadTruncation ||
                        mode == LineBreakMode::MiddleTruncation || mode == LineBreakMode::Clip))
        mode = LineBreakMode::WordWrap;
    // Lines that do not fit are cut at the rect's bottom (more than the
    // line limit never shows).
    if (shadowColor_) ctx.setShadow(shadowOffset_, 0, *shadowColor_);
    ctx.setFillColor(color);
    gfx::drawText(ctx, text_, Rect(r.minX(), r.minY(), r.width(), r.height() + 0.5f), f, mode, alignment_);
}

}  // namespace ui
