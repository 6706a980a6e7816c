#include "charts/CHTAnnotation.h"

#include "charts/CHTAnnotationHostLayer.h"
#include "charts/CHTCoderExtensions.h"

CHTAnnotation::~CHTAnnotation() = default;

void CHTAnnotation::setAnnotationHostLayer(const std::shared_ptr<CHTAnnotationHostLayer>& host) {
    if (host == host_.lock()) return;
    if (contentLayer_) contentLayer_->removeFromSuperlayer();
    host_ = host;
    if (contentLayer_ && host) host->addSublayer(contentLayer_);
}

void CHTAnnotation::setContentLayer(const std::shared_ptr<CHTLayer>& layer) {
    if (layer == contentLayer_) return;
    if (contentLayer_) contentLayer_->removeFromSuperlayer();
    contentLayer_ = layer;
    if (auto host = host_.lock(); host && layer) host->addSublayer(layer);
}

void CHTAnnotation::setContentAnchorPoint(gfx::Point point) {
    if (point == contentAnchorPoint_) return;
    contentAnchorPoint_ = point;
    hostNeedsLayout();
}

void CHTAnnotation::setDisplacement(gfx::Point displacement) {
    if (displacement == displacement_) return;
    displacement_ = displacement;
    hostNeedsLayout();
}

void CHTAnnotation::setRotation(CGFloat rotation) {
    if (rotation == rotation_) return;
    rotation_ = rotation;
    hostNeedsLayout();
}

// The host places the content when it lays out, so a change of placement
// asks the host (not the content) for layout.
void CHTAnnotation::hostNeedsLayout() {
    if (auto host = host_.lock()) host->setNeedsLayout();
}

void CHTAnnotation::positionContentLayer() {}

std::string CHTAnnotation::description() const {
    return base::format("<%@ {%@}>", classForCoder(),
                        contentLayer_ ? contentLayer_->description() : std::string("(null)"));
}

void CHTAnnotation::encodeWithCoder(base::KeyedArchiver& coder) const {
    auto host = host_.lock();
    coder.encodeConditionalObject(host.get(), "CHTAnnotation.annotationHostLayer");
    coder.encodeObject(contentLayer_, "CHTAnnotation.contentLayer");
    encodeCHTPoint(coder, contentAnchorPoint_, "CHTAnnotation.contentAnchorPoint");
    encodeCHTPoint(coder, displacement_, "CHTAnnotation.displacement");
    encodeCGFloat(coder, rotation_, "CHTAnnotation.rotation");
}

std::shared_ptr<base::Coding> CHTAnnotation::initWithCoder(base::KeyedUnarchiver& coder) {
    // The host is not owned; it adopts the annotation (and shows its content)
    // when it decodes its list.
    host_ = coder.decodeObjectOfType<CHTAnnotationHostLayer>("CHTAnnotation.annotationHostLayer");
    contentLayer_ = coder.decodeObjectOfType<CHTLayer>("CHTAnnotation.contentLayer");
    contentAnchorPoint_ = decodeCHTPoint(coder, "CHTAnnotation.contentAnchorPoint");
    displacement_ = decodeCHTPoint(coder, "CHTAnnotation.displacement");
    rotation_ = decodeCGFloat(coder, "CHTAnnotation.rotation");
    return nullptr;
}

void CHTAnnotation::placeContentLayerAt(gfx::Point point) {
    const auto& content = contentLayer();
    if (!content) return;
    point.x += displacement().x;
    point.y += displacement().y;
    content->setAnchorPoint(contentAnchorPoint());
    content->setPosition(point);
    content->setTransform(gfx::Transform3D::makeRotation(rotation(), 0, 0, 1));
    content->pixelAlign();
    content->setNeedsDisplay();
}
