#include "charts/_CHTFillColor.h"

_CHTFillColor::_CHTFillColor(std::shared_ptr<CHTColor> fillColor) : fillColor_(std::move(fillColor)) {}

void _CHTFillColor::setFillColor(const std::shared_ptr<CHTColor>& fillColor) {
    fillColor_ = fillColor ? fillColor->copy() : nullptr;
}

void _CHTFillColor::fillRect(const gfx::Rect& rect, gfx::Context& context) const {
    if (!fillColor_) return;
    gfx::SavedState saved(context);
    context.setFillColor(fillColor_->cgColor());
    context.fillRect(rect);
}

void _CHTFillColor::fillPathInContext(gfx::Context& context) const {
    if (!fillColor_) return;
    gfx::SavedState saved(context);
    context.setFillColor(fillColor_->cgColor());
    context.fillPath();
}

std::shared_ptr<CHTFill> _CHTFillColor::copy() const {
    return std::make_shared<_CHTFillColor>(fillColor_ ? fillColor_->copy() : nullptr);
}

void _CHTFillColor::encodeWithCoder(base::KeyedArchiver& coder) const {
    coder.encodeObject(fillColor_, "_CHTFillColor.fillColor");
}
