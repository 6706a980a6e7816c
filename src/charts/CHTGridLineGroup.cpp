#include "charts/CHTGridLineGroup.h"

#include "charts/CHTAxis.h"
#include "charts/CHTAxisSet.h"
#include "charts/CHTPlotArea.h"

CHTGridLineGroup::CHTGridLineGroup(const gfx::Rect& frame) : CHTLayer(frame) { setNeedsDisplayOnBoundsChange(true); }

void CHTGridLineGroup::setPlotArea(const std::shared_ptr<CHTPlotArea>& plotArea) {
    if (plotArea == plotArea_.lock()) return;
    plotArea_ = plotArea;
    if (plotArea) setNeedsDisplay();
}

void CHTGridLineGroup::setMajor(bool major) {
    if (major == major_) return;
    major_ = major;
    setNeedsDisplay();
}

void CHTGridLineGroup::renderAsVectorInContext(gfx::Context& context) {
    if (isHidden()) return;
    auto area = plotArea();
    if (!area || !area->axisSet()) return;
    for (const auto& axis : area->axisSet()->axes())
        if (!axis->separateLayers()) {
            gfx::SavedState saved(context);
            axis->drawGridLinesInContext(context, major_);
        }
}

void CHTGridLineGroup::encodeWithCoder(base::KeyedArchiver& coder) const {
    CHTLayer::encodeWithCoder(coder);
    coder.encodeConditionalObject(plotArea().get(), "CHTGridLineGroup.plotArea");
    coder.encodeBool(major_, "CHTGridLineGroup.major");
}

std::shared_ptr<base::Coding> CHTGridLineGroup::initWithCoder(base::KeyedUnarchiver& coder) {
    CHTLayer::initWithCoder(coder);
    plotArea_ = coder.decodeObjectOfType<CHTPlotArea>("CHTGridLineGroup.plotArea");
    major_ = coder.decodeBool("CHTGridLineGroup.major");
    return nullptr;
}

void CHTGridLineGroup::registerCodingClass() {
    base::KeyedUnarchiver::registerClass("CHTGridLineGroup", [] { return std::make_shared<CHTGridLineGroup>(); });
}
