#pragma once
// A chart layer with a fill and a border line, rounded by its corner radius,
// that clips its sublayers to the inside of the border.
#include <memory>
#include <optional>

#include "charts/CHTAnnotationHostLayer.h"
#include "charts/CHTFill.h"
#include "charts/CHTLineStyle.h"

class CHTBorderedLayer : public CHTAnnotationHostLayer {
public:
    explicit CHTBorderedLayer(const gfx::Rect& frame = gfx::Rect::zero());

    // Copies are kept.
    const std::shared_ptr<CHTLineStyle>& borderLineStyle() const { return borderLineStyle_; }
    void setBorderLineStyle(const std::shared_ptr<const CHTLineStyle>& style);
    const std::shared_ptr<CHTFill>& fill() const { return fill_; }
    void setFill(const std::shared_ptr<const CHTFill>& fill);

    // The paddings plus half the border width.
    void sublayerMargin(CGFloat& left, CGFloat& top, CGFloat& right, CGFloat& bottom) const override;
    // The outside of the border: radius corner + half the border width.
    // The inside of the border: the bounds inset by the border width, radius
    // corner - half the border width (never below 0). A border wider than the
    // layer leaves an empty clip.
    std::optional<gfx::Path> sublayerMaskingPath() const override;

    // Fill over the outer border path, then the border.
    void renderAsVectorInContext(gfx::Context& context) override;

    std::string classForCoder() const override { return "CHTBorderedLayer"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

protected:
    CGFloat outerCornerRadius() const override;

private:
    CGFloat borderWidth() const { return borderLineStyle_ ? borderLineStyle_->lineWidth() : 0; }

    std::shared_ptr<CHTLineStyle> borderLineStyle_;
    std::shared_ptr<CHTFill> fill_;
};
