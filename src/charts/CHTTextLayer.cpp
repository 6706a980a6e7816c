#include "charts/CHTTextLayer.h"

#include <cmath>

#include "charts/CHTCoderExtensions.h"
#include "charts/CHTTextStyleExtensions.h"

CHTTextLayer::CHTTextLayer() : textStyle_(std::make_shared<CHTTextStyle>()) {}

CHTTextLayer::CHTTextLayer(const std::string& text, std::shared_ptr<CHTTextStyle> style)
    : text_(text), textStyle_(style ? std::move(style) : std::make_shared<CHTTextStyle>()) {
    setNeedsDisplayOnBoundsChange(false);
    sizeToFit();
}

std::shared_ptr<CHTTextLayer> CHTTextLayer::initWithText(const std::string& text, std::shared_ptr<CHTTextStyle> style) {
    return std::make_shared<CHTTextLayer>(text, std::move(style));
}

void CHTTextLayer::setText(const std::string& text) {
    // Strings are values here: every assignment counts as a new string.
    text_ = text;
    sizeToFit();
}

void CHTTextLayer::setTextStyle(const std::shared_ptr<CHTTextStyle>& style) {
    if (style == textStyle_) return;
    textStyle_ = style;
    sizeToFit();
}

void CHTTextLayer::setShadow(const std::shared_ptr<const CHTShadow>& shadow) {
    if (shadow.get() == this->shadow().get()) return;
    CHTLayer::setShadow(shadow);
    sizeToFit();
}

gfx::Size CHTTextLayer::margins() const {
    CGFloat ox = 0, oy = 0, blur = 0;
    if (const auto& s = shadow()) {
        ox = s->shadowOffset().width;
        oy = s->shadowOffset().height;
        blur = s->shadowBlurRadius();
    }
    return {std::fabs(ox) + blur + 1, std::fabs(oy) + blur + 1};
}

gfx::Size CHTTextLayer::sizeThatFits() const {
    if (text_.empty()) return gfx::Size::zero();
    gfx::Size textSize = sizeWithTextStyle(text_, textStyle_.get());
    gfx::Size m = margins();
    return {std::ceil(textSize.width + 2 * m.width), std::ceil(textSize.height + 2 * m.height)};
}

void CHTTextLayer::sizeToFit() {
    if (text_.empty()) return;
    gfx::Rect b = bounds();
    b.size = sizeThatFits();
    setBounds(b);
    setNeedsLayout();
    setNeedsDisplay();
}

void CHTTextLayer::renderAsVectorInContext(gfx::Context& context) {
    if (isHidden()) return;
    CHTLayer::renderAsVectorInContext(context);
    gfx::SavedState saved(context);
    // Text is laid out top-down: flip the y-up bounds space.
    gfx::Rect b = bounds();
    context.translate(0, b.height());
    context.scale(1, -1);
    gfx::Size m = margins();
    gfx::Rect rect = b.inset(m.width, m.height);
    if (!rect.isNull()) drawInRect(text_, rect, textStyle_.get(), context);
}

std::string CHTTextLayer::description() const { return base::format("<%@ \"%@\">", CHTLayer::description(), text_); }

void CHTTextLayer::encodeWithCoder(base::KeyedArchiver& coder) const {
    CHTLayer::encodeWithCoder(coder);
    coder.encodeObject(textStyle_, "CHTTextLayer.textStyle");
    coder.encodeString(text_, "CHTTextLayer.text");
}

std::shared_ptr<base::Coding> CHTTextLayer::initWithCoder(base::KeyedUnarchiver& coder) {
    CHTLayer::initWithCoder(coder);
    textStyle_ = coder.decodeObjectOfType<CHTTextStyle>("CHTTextLayer.textStyle");
    if (!textStyle_) textStyle_ = std::make_shared<CHTTextStyle>();
    text_ = coder.decodeString("CHTTextLayer.text");
    return nullptr;
}
