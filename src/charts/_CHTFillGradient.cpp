#include "charts/_CHTFillGradient.h"

_CHTFillGradient::_CHTFillGradient(std::shared_ptr<CHTGradient> fillGradient)
    : fillGradient_(std::move(fillGradient)) {}

void _CHTFillGradient::setFillGradient(const std::shared_ptr<CHTGradient>& fillGradient) {
    fillGradient_ = fillGradient ? fillGradient->copy() : nullptr;
}

void _CHTFillGradient::fillRect(const gfx::Rect& rect, gfx::Context& context) const {
    if (fillGradient_) fillGradient_->fillRect(rect, context);
}

void _CHTFillGradient::fillPathInContext(gfx::Context& context) const {
    if (fillGradient_) fillGradient_->fillPathInContext(context);
}

std::shared_ptr<CHTFill> _CHTFillGradient::copy() const {
    return std::make_shared<_CHTFillGradient>(fillGradient_ ? fillGradient_->copy() : nullptr);
}

void _CHTFillGradient::encodeWithCoder(base::KeyedArchiver& coder) const {
    coder.encodeObject(fillGradient_, "_CHTFillGradient.fillGradient");
}
