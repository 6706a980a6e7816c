#include "charts/CHTBorderedLayer.h"

#include <algorithm>

CHTBorderedLayer::CHTBorderedLayer(const gfx::Rect& frame) : CHTAnnotationHostLayer(frame) {
    setMasksToBorder(true);
    setNeedsDisplayOnBoundsChange(true);
}

void CHTBorderedLayer::setBorderLineStyle(const std::shared_ptr<const CHTLineStyle>& style) {
    if (style.get() == borderLineStyle_.get()) return;
    CGFloat newWidth = style ? style->lineWidth() : 0;
    if (newWidth != borderWidth()) dropBorderPaths();
    borderLineStyle_ = style ? style->copy() : nullptr;
    setNeedsDisplay();
}

void CHTBorderedLayer::setFill(const std::shared_ptr<const CHTFill>& fill) {
    if (fill.get() == fill_.get()) return;
    fill_ = fill ? fill->copy() : nullptr;
    setNeedsDisplay();
}

void CHTBorderedLayer::sublayerMargin(CGFloat& left, CGFloat& top, CGFloat& right, CGFloat& bottom) const {
    CHTAnnotationHostLayer::sublayerMargin(left, top, right, bottom);
    if (borderLineStyle_) {
        CGFloat inset = borderLineStyle_->lineWidth() / 2;
        left += inset;
        top += inset;
        right += inset;
        bottom += inset;
    }
}

// The outer edge runs along the middle of the border line.
CGFloat CHTBorderedLayer::outerCornerRadius() const { return cornerRadius() + borderWidth() / 2; }

std::optional<gfx::Path> CHTBorderedLayer::sublayerMaskingPath() const {
    if (!masksToBorder()) return std::nullopt;
    if (innerBorderPath_) return innerBorderPath_;
    CGFloat width = borderWidth();
    gfx::Rect b = bounds();
    gfx::Rect inner = b.inset(width, width);
    gfx::Path p;
    if (inner.isNull()) {
        // The border covers the whole layer: nothing inside is visible.
        p.addRect(gfx::Rect(b.midX(), b.midY(), 0, 0));
    } else if (!(cornerRadius() > 0)) {
        p.addRect(inner);
    } else {
        CGFloat radius = std::min({cornerRadius() - width / 2, inner.width() / 2, inner.height() / 2});
        if (radius > 0) p = CreateRoundedRectPath(inner, radius);
        else p.addRect(inner);  // a border wider than the corner leaves square inner corners
    }
    innerBorderPath_ = p;
    return p;
}

void CHTBorderedLayer::renderAsVectorInContext(gfx::Context& context) {
    if (isHidden()) return;
    CHTAnnotationHostLayer::renderAsVectorInContext(context);

    if (fill_) {
        context.beginPath();
        context.addPath(outerPath());
        fill_->fillPathInContext(context);
    }
    if (borderLineStyle_) {
        CGFloat inset = borderLineStyle_->lineWidth() / 2;
        gfx::Rect rect = bounds().inset(inset, inset);
        if (rect.isNull()) return;
        borderLineStyle_->setLineStyleInContext(context);
        if (!(cornerRadius() > 0)) {
            context.strokeRect(rect);
        } else {
            context.beginPath();
            CGFloat radius = std::min({cornerRadius(), rect.width() / 2, rect.height() / 2});
            AddRoundedRectPath(context, rect, radius);
            context.strokePath();
        }
    }
}

void CHTBorderedLayer::encodeWithCoder(base::KeyedArchiver& coder) const {
    CHTAnnotationHostLayer::encodeWithCoder(coder);
    coder.encodeObject(borderLineStyle_, "CHTBorderedLayer.borderLineStyle");
    coder.encodeObject(fill_, "CHTBorderedLayer.fill");
}

std::shared_ptr<base::Coding> CHTBorderedLayer::initWithCoder(base::KeyedUnarchiver& coder) {
    CHTAnnotationHostLayer::initWithCoder(coder);
    auto style = coder.decodeObjectOfType<CHTLineStyle>("CHTBorderedLayer.borderLineStyle");
    borderLineStyle_ = style ? style->copy() : nullptr;
    auto fill = coder.decodeObjectOfType<CHTFill>("CHTBorderedLayer.fill");
    fill_ = fill ? fill->copy() : nullptr;
    dropBorderPaths();
    return nullptr;
}
