#include "charts/CHTLayerAnnotation.h"

#include "charts/CHTAnnotationHostLayer.h"
#include "charts/CHTCoderExtensions.h"

CHTLayerAnnotation::CHTLayerAnnotation() { setConstraints(); }

CHTLayerAnnotation::CHTLayerAnnotation(const std::shared_ptr<CHTLayer>& anchorLayer) : anchorLayer_(anchorLayer) {
    CHT_PARAMETER_ASSERT(anchorLayer != nullptr, "CHTLayerAnnotation", "-[CHTLayerAnnotation initWithAnchorLayer:]");
    setConstraints();
}

std::shared_ptr<CHTLayerAnnotation> CHTLayerAnnotation::initWithAnchorLayer(
    const std::shared_ptr<CHTLayer>& anchorLayer) {
    // Reported as the check of the argument reads.
    const auto& newAnchorLayer = anchorLayer;
    CHT_PARAMETER_ASSERT(newAnchorLayer, "CHTLayerAnnotation", "-[CHTLayerAnnotation initWithAnchorLayer:]");
    auto annotation = std::make_shared<CHTLayerAnnotation>();
    annotation->anchorLayer_ = anchorLayer;
    annotation->setConstraints();
    return annotation;
}

void CHTLayerAnnotation::setRectAnchor(int anchor) {
    if (anchor == rectAnchor_) return;
    rectAnchor_ = anchor;
    setConstraints();
    positionContentLayer();
}

void CHTLayerAnnotation::setConstraints() {
    auto lower = [] { return CHTConstraints::constraintWithLowerOffset(0); };
    auto upper = [] { return CHTConstraints::constraintWithUpperOffset(0); };
    auto middle = [] { return CHTConstraints::constraintWithRelativeOffset(0.5f); };
    switch (rectAnchor_) {
    case CHTRectAnchorBottomLeft:
        xConstraints_ = lower();
        yConstraints_ = lower();
        break;
    case CHTRectAnchorBottom:
        xConstraints_ = middle();
        yConstraints_ = lower();
        break;
    case CHTRectAnchorBottomRight:
        xConstraints_ = upper();
        yConstraints_ = lower();
        break;
    case CHTRectAnchorLeft:
        xConstraints_ = lower();
        yConstraints_ = middle();
        break;
    case CHTRectAnchorRight:
        xConstraints_ = upper();
        yConstraints_ = middle();
        break;
    case CHTRectAnchorTopLeft:
        xConstraints_ = lower();
        yConstraints_ = upper();
        break;
    case CHTRectAnchorTop:
        xConstraints_ = middle();
        yConstraints_ = upper();
        break;
    case CHTRectAnchorTopRight:
        xConstraints_ = upper();
        yConstraints_ = upper();
        break;
    case CHTRectAnchorCenter:
        xConstraints_ = middle();
        yConstraints_ = middle();
        break;
    default:
        xConstraints_ = nullptr;
        yConstraints_ = nullptr;
        break;
    }
}

void CHTLayerAnnotation::positionContentLayer() {
    const auto& content = contentLayer();
    auto host = annotationHostLayer();
    auto anchor = anchorLayer();
    if (!content || !host || !anchor || !xConstraints_ || !yConstraints_) return;
    gfx::Rect b = anchor->bounds();
    CGFloat x = xConstraints_->positionForLowerBound(b.minX(), b.maxX());
    CGFloat y = yConstraints_->positionForLowerBound(b.minY(), b.maxY());
    gfx::Point p = anchor->convertPointTo(gfx::Point(x, y), host.get());
    placeContentLayerAt(p);
}

void CHTLayerAnnotation::encodeWithCoder(base::KeyedArchiver& coder) const {
    CHTAnnotation::encodeWithCoder(coder);
    coder.encodeConditionalObject(anchorLayer().get(), "CHTLayerAnnotation.anchorLayer");
    coder.encodeObject(xConstraints_, "CHTLayerAnnotation.xConstraints");
    coder.encodeObject(yConstraints_, "CHTLayerAnnotation.yConstraints");
    coder.encodeInteger(rectAnchor_, "CHTLayerAnnotation.rectAnchor");
}

std::shared_ptr<base::Coding> CHTLayerAnnotation::initWithCoder(base::KeyedUnarchiver& coder) {
    CHTAnnotation::initWithCoder(coder);
    anchorLayer_ = coder.decodeObjectOfType<CHTLayer>("CHTLayerAnnotation.anchorLayer");
    xConstraints_ = coder.decodeObjectOfType<CHTConstraints>("CHTLayerAnnotation.xConstraints");
    yConstraints_ = coder.decodeObjectOfType<CHTConstraints>("CHTLayerAnnotation.yConstraints");
    long long anchor = coder.decodeInteger("CHTLayerAnnotation.rectAnchor");
    rectAnchor_ = anchor >= CHTRectAnchorBottomLeft && anchor <= CHTRectAnchorCenter ? static_cast<int>(anchor) : -1;
    return nullptr;
}

void CHTLayerAnnotation::registerCodingClass() {
    base::KeyedUnarchiver::registerClass("CHTLayerAnnotation", [] { return std::make_shared<CHTLayerAnnotation>(); });
}
