#include "charts/_CHTFillImage.h"

_CHTFillImage::_CHTFillImage(std::shared_ptr<CHTImage> fillImage) : fillImage_(std::move(fillImage)) {}

void _CHTFillImage::setFillImage(const std::shared_ptr<CHTImage>& fillImage) {
    fillImage_ = fillImage ? fillImage->copy() : nullptr;
}

void _CHTFillImage::fillRect(const gfx::Rect& rect, gfx::Context& context) const {
    if (fillImage_) fillImage_->drawInRect(rect, context);
}

void _CHTFillImage::fillPathInContext(gfx::Context& context) const {
    if (!fillImage_ || context.isPathEmpty()) return;
    gfx::SavedState saved(context);
    gfx::Rect box = context.pathBoundingBox();
    context.clip();
    fillImage_->drawInRect(box, context);
}

std::shared_ptr<CHTFill> _CHTFillImage::copy() const {
    return std::make_shared<_CHTFillImage>(fillImage_ ? fillImage_->copy() : nullptr);
}

void _CHTFillImage::encodeWithCoder(base::KeyedArchiver& coder) const {
    coder.encodeObject(fillImage_, "_CHTFillImage.fillImage");
}
