#include "charts/CHTPlotGroup.h"

CHTPlotGroup::CHTPlotGroup(const gfx::Rect& frame) : CHTLayer(frame) {}

void CHTPlotGroup::addPlot(const std::shared_ptr<CHTLayer>& plot) {
    if (plot) addSublayer(plot);
}

void CHTPlotGroup::removePlot(const std::shared_ptr<CHTLayer>& plot) {
    if (plot && plot->superlayer() == this) plot->removeFromSuperlayer();
}

// Each plot draws itself as a sublayer.
void CHTPlotGroup::renderAsVectorInContext(gfx::Context&) {}

void CHTPlotGroup::encodeWithCoder(base::KeyedArchiver& coder) const {
    CHTLayer::encodeWithCoder(coder);
    coder.encodeValue(identifier_, "CHTPlotGroup.identifier");
}

std::shared_ptr<base::Coding> CHTPlotGroup::initWithCoder(base::KeyedUnarchiver& coder) {
    CHTLayer::initWithCoder(coder);
    identifier_ = coder.decodeValue("CHTPlotGroup.identifier");
    return nullptr;
}

void CHTPlotGroup::registerCodingClass() {
    base::KeyedUnarchiver::registerClass("CHTPlotGroup", [] { return std::make_shared<CHTPlotGroup>(); });
}
