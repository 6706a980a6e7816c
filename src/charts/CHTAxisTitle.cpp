#include "charts/CHTAxisTitle.h"

#include <cmath>

#include "charts/CHTTextLayer.h"
#include "platform/base/Exception.h"

std::shared_ptr<CHTAxisTitle> CHTAxisTitle::initWithContentLayer(const std::shared_ptr<CHTLayer>& layer) {
    if (!layer) return nullptr;
    auto title = std::make_shared<CHTAxisTitle>();
    title->contentLayer_ = layer;
    return title;
}

std::shared_ptr<CHTAxisTitle> CHTAxisTitle::initWithText(const std::string& text,
                                                         const std::shared_ptr<CHTTextStyle>& style) {
    return initWithContentLayer(CHTTextLayer::initWithText(text, style));
}

void CHTAxisTitle::positionRelativeToViewPoint(gfx::Point point, CHTCoordinate coordinate, int direction) {
    if (!contentLayer_) return;
    bool vertical = coordinate == CHTCoordinateX;  // offset in x: the title of a vertical axis
    CGFloat angle = std::isnan(rotation_) ? (vertical ? static_cast<CGFloat>(M_PI / 2) : 0.0f) : rotation_;
    gfx::Point anchor;
    CGFloat& along = vertical ? point.x : point.y;
    if (direction == CHTSignPositive) {
        along += offset_;
        anchor = vertical ? gfx::Point(0.5f, 1.0f) : gfx::Point(0.5f, 0.0f);
    } else if (direction == CHTSignNone || direction == CHTSignNegative) {
        along -= offset_;
        anchor = vertical ? gfx::Point(0.5f, 0.0f) : gfx::Point(0.5f, 1.0f);
    } else {
        base::raise("CHTException", "Invalid sign in positionRelativeToViewPoint:inDirection:");
    }
    contentLayer_->setAnchorPoint(anchor);
    contentLayer_->setPosition(point);
    contentLayer_->setTransform(gfx::Transform3D::makeRotation(angle, 0, 0, 1));
    contentLayer_->pixelAlign();
    contentLayer_->setNeedsDisplay();
}

void CHTAxisTitle::registerCodingClass() {
    base::KeyedUnarchiver::registerClass("CHTAxisTitle", [] { return std::make_shared<CHTAxisTitle>(); });
}
