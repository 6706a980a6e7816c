#include "charts/CHTAxisLabel.h"

#include <cmath>

#include "charts/CHTAxisTitle.h"
#include "charts/CHTCoderExtensions.h"
#include "charts/CHTTextLayer.h"
#include "platform/base/Exception.h"
#include "platform/base/Format.h"

namespace {
constexpr double kPi = 3.14159265358979323846;
}

std::shared_ptr<CHTAxisLabel> CHTAxisLabel::initWithContentLayer(const std::shared_ptr<CHTLayer>& layer) {
    if (!layer) return nullptr;
    auto label = std::make_shared<CHTAxisLabel>();
    label->contentLayer_ = layer;
    return label;
}

std::shared_ptr<CHTAxisLabel> CHTAxisLabel::initWithText(const std::string& text,
                                                         const std::shared_ptr<CHTTextStyle>& style) {
    return initWithContentLayer(CHTTextLayer::initWithText(text, style));
}

gfx::Point CHTAxisLabel::anchorPointForAngle(CGFloat angle) {
    double c = std::cos(angle), s = std::sin(angle);
    if (std::fabs(c) > std::fabs(s)) {
        double signC = c > 0 ? 1 : (c < 0 ? -1 : 0);
        return {static_cast<CGFloat>((1 + signC) / 2), static_cast<CGFloat>((1 + s / std::fabs(c)) / 2)};
    }
    double signS = s > 0 ? 1 : (s < 0 ? -1 : 0);
    return {static_cast<CGFloat>((1 + c / std::fabs(s)) / 2), static_cast<CGFloat>((1 + signS) / 2)};
}

void CHTAxisLabel::positionRelativeToViewPoint(gfx::Point point, CHTCoordinate coordinate, int direction) {
    if (!contentLayer_) return;
    const char* where = "positionRelativeToViewPoint:forCoordinate:inDirection:";
    if (coordinate != CHTCoordinateX && coordinate != CHTCoordinateY)
        base::raise("NSInvalidArgumentException", std::string("Invalid coordinate in ") + where);
    if (direction != CHTSignNone && direction != CHTSignPositive && direction != CHTSignNegative)
        base::raise("NSInvalidArgumentException", std::string("Invalid direction in ") + where);

    contentLayer_->setTransform(gfx::Transform3D::makeRotation(rotation_, 0, 0, 1));
    gfx::Rect frame = contentLayer_->frame();
    CGFloat w = frame.width(), h = frame.height();

    // Away from the axis by the offset.
    CGFloat& along = coordinate == CHTCoordinateX ? point.x : point.y;
    along += direction == CHTSignPositive ? offset_ : -offset_;

    // Shift along the axis by the alignment; the base angle points from the
    // label towards the axis.
    double baseAngle;
    if (coordinate == CHTCoordinateY) {  // label of a horizontal axis
        if (alignment_ == CHTAlignmentRight) point.x -= w / 2;
        else if (alignment_ == CHTAlignmentLeft) point.x += w / 2;
        baseAngle = direction == CHTSignPositive ? 3 * kPi / 2 : kPi / 2;
    } else {  // label of a vertical axis
        if (alignment_ == CHTAlignmentTop) point.y -= h / 2;
        else if (alignment_ == CHTAlignmentBottom) point.y += h / 2;
        baseAngle = direction == CHTSignPositive ? kPi : 2 * kPi;
    }

    contentLayer_->setAnchorPoint(anchorPointForAngle(static_cast<CGFloat>(baseAngle - rotation_)));
    contentLayer_->setPosition(point);
    contentLayer_->pixelAlign();
    contentLayer_->setNeedsDisplay();
}

void CHTAxisLabel::positionBetweenViewPoint(gfx::Point first, gfx::Point second, CHTCoordinate coordinate,
                                            int direction) {
    positionRelativeToViewPoint({(first.x + second.x) / 2, (first.y + second.y) / 2}, coordinate, direction);
}

bool CHTAxisLabel::isEqual(const CHTAxisLabel* other) const {
    if (other == this) return true;
    if (!other) return false;
    // The other must be of the receiver's class or a subclass of it: a
    // title equals only titles.
    if (dynamic_cast<const CHTAxisTitle*>(this) && !dynamic_cast<const CHTAxisTitle*>(other)) return false;
    return tickLocation_ == other->tickLocation_;
}

std::size_t CHTAxisLabel::hash() const {
    if (tickLocation_.isNaN()) return 0;
    double value = std::fabs(tickLocation_.toDouble());
    double reduced = std::fmod(value, 4294967295.0);
    if (!std::isfinite(reduced)) return 0;
    return static_cast<std::size_t>(reduced);
}

std::string CHTAxisLabel::description() const {
    return base::format("<%@ {%@}>", classForCoder(),
                        contentLayer_ ? contentLayer_->description() : std::string("(null)"));
}

void CHTAxisLabel::encodeWithCoder(base::KeyedArchiver& coder) const {
    coder.encodeObject(contentLayer_, "CHTAxisLabel.contentLayer");
    encodeCGFloat(coder, offset_, "CHTAxisLabel.offset");
    encodeCGFloat(coder, rotation_, "CHTAxisLabel.rotation");
    coder.encodeInteger(alignment_, "CHTAxisLabel.alignment");
    encodeDecimal(coder, tickLocation_, "CHTAxisLabel.tickLocation");
}

std::shared_ptr<base::Coding> CHTAxisLabel::initWithCoder(base::KeyedUnarchiver& coder) {
    contentLayer_ = coder.decodeObjectOfType<CHTLayer>("CHTAxisLabel.contentLayer");
    offset_ = decodeCGFloat(coder, "CHTAxisLabel.offset");
    rotation_ = decodeCGFloat(coder, "CHTAxisLabel.rotation");
    long long alignment = coder.decodeInteger("CHTAxisLabel.alignment");
    alignment_ = alignment >= CHTAlignmentLeft && alignment <= CHTAlignmentBottom ? static_cast<int>(alignment)
                                                                                  : CHTAlignmentCenter;
    tickLocation_ = decodeDecimal(coder, "CHTAxisLabel.tickLocation");
    return nullptr;
}

void CHTAxisLabel::registerCodingClass() {
    base::KeyedUnarchiver::registerClass("CHTAxisLabel", [] { return std::make_shared<CHTAxisLabel>(); });
}
