#include "charts/CHTPlotSpaceAnnotation.h"

#include "charts/CHTAnnotationHostLayer.h"
#include "charts/CHTCoderExtensions.h"
#include "charts/CHTPlotArea.h"
#include "platform/base/NotificationCenter.h"

CHTPlotSpaceAnnotation::~CHTPlotSpaceAnnotation() {
    if (observation_) base::NotificationCenter::defaultCenter().removeObserver(observation_);
}

std::shared_ptr<CHTPlotSpaceAnnotation> CHTPlotSpaceAnnotation::initWithPlotSpace(
    const std::shared_ptr<CHTPlotSpace>& plotSpace, const std::vector<base::Decimal>& anchorPlotPoint) {
    const auto& newPlotSpace = plotSpace;
    CHT_PARAMETER_ASSERT(newPlotSpace, "CHTPlotSpaceAnnotation",
                         "-[CHTPlotSpaceAnnotation initWithPlotSpace:anchorPlotPoint:]");
    auto annotation = std::make_shared<CHTPlotSpaceAnnotation>();
    annotation->plotSpace_ = plotSpace;
    annotation->anchorPlotPoint_ = anchorPlotPoint;
    annotation->observe();
    return annotation;
}

void CHTPlotSpaceAnnotation::observe() {
    auto& center = base::NotificationCenter::defaultCenter();
    // Ends only this annotation's own observation, found by its token.
    if (observation_) center.removeObserver(observation_);
    observation_ = 0;
    if (!plotSpace_) return;
    // The observation ends in the destructor, so the raw pointer never
    // outlives the annotation.
    observation_ = center.addObserver(this, CHTPlotSpaceCoordinateMappingDidChangeNotification, plotSpace_.get(),
                                      [this](const base::Notification&) { positionContentLayer(); });
}

void CHTPlotSpaceAnnotation::setAnchorPlotPoint(const std::vector<base::Decimal>& point) {
    if (point == anchorPlotPoint_) return;
    anchorPlotPoint_ = point;
    positionContentLayer();
}

void CHTPlotSpaceAnnotation::positionContentLayer() {
    const auto& content = contentLayer();
    auto host = annotationHostLayer();
    if (!content || !host || !plotSpace_) return;
    // A point needs a number for each coordinate; a shorter one is skipped
    // rather than read past its end.
    if (anchorPlotPoint_.size() < 2) return;
    CHTDecimalPlotPoint plotPoint{anchorPlotPoint_[0], anchorPlotPoint_[1]};
    gfx::Point p = plotSpace_->plotAreaViewPointForPlotPoint(plotPoint);
    std::shared_ptr<CHTPlotArea> area;
    if (auto graph = plotSpace_->graph()) area = graph->plotArea();
    if (area) p = host->convertPointFrom(p, area.get());
    else p = gfx::Point();
    placeContentLayerAt(p);
}

void CHTPlotSpaceAnnotation::encodeWithCoder(base::KeyedArchiver& coder) const {
    CHTAnnotation::encodeWithCoder(coder);
    base::Array point;
    for (const auto& d : anchorPlotPoint_) point.emplace_back(d.toString());
    coder.encodeValue(base::Value(std::move(point)), "CHTPlotSpaceAnnotation.anchorPlotPoint");
    coder.encodeConditionalObject(plotSpace_.get(), "CHTPlotSpaceAnnotation.plotSpace");
}

std::shared_ptr<base::Coding> CHTPlotSpaceAnnotation::initWithCoder(base::KeyedUnarchiver& coder) {
    CHTAnnotation::initWithCoder(coder);
    anchorPlotPoint_.clear();
    base::Value point = coder.decodeValue("CHTPlotSpaceAnnotation.anchorPlotPoint");
    if (const base::Array* entries = point.asArray()) {
        for (const auto& entry : *entries) {
            if (anchorPlotPoint_.size() >= 16) break;
            if (const std::string* text = entry.asString())
                anchorPlotPoint_.push_back(base::Decimal::fromString(*text));
        }
    }
    plotSpace_ = coder.decodeObjectOfType<CHTPlotSpace>("CHTPlotSpaceAnnotation.plotSpace");
    observe();
    return nullptr;
}

void CHTPlotSpaceAnnotation::registerCodingClass() {
    base::KeyedUnarchiver::registerClass("CHTPlotSpaceAnnotation",
                                         [] { return std::make_shared<CHTPlotSpaceAnnotation>(); });
}
