#include "charts/CHTPlotAreaFrame.h"

#include "charts/CHTAxisSet.h"
#include "charts/CHTPlotArea.h"
#include "charts/CHTPlotGroup.h"

CHTPlotAreaFrame::CHTPlotAreaFrame(const gfx::Rect& frame) : CHTBorderedLayer(frame) {
    setPlotArea(std::make_shared<CHTPlotArea>(frame));
    setNeedsDisplayOnBoundsChange(true);
}

void CHTPlotAreaFrame::setPlotArea(const std::shared_ptr<CHTPlotArea>& plotArea) {
    if (plotArea == plotArea_) return;
    if (plotArea_) plotArea_->removeFromSuperlayer();
    plotArea_ = plotArea;
    if (plotArea_) insertSublayer(plotArea_, 0);
}

std::shared_ptr<CHTAxisSet> CHTPlotAreaFrame::axisSet() const { return plotArea_ ? plotArea_->axisSet() : nullptr; }

void CHTPlotAreaFrame::setAxisSet(const std::shared_ptr<CHTAxisSet>& axisSet) {
    if (plotArea_) plotArea_->setAxisSet(axisSet);
}

std::shared_ptr<CHTPlotGroup> CHTPlotAreaFrame::plotGroup() const {
    return plotArea_ ? plotArea_->plotGroup() : nullptr;
}

void CHTPlotAreaFrame::setPlotGroup(const std::shared_ptr<CHTPlotGroup>& plotGroup) {
    if (plotArea_) plotArea_->setPlotGroup(plotGroup);
}

void CHTPlotAreaFrame::encodeWithCoder(base::KeyedArchiver& coder) const {
    CHTBorderedLayer::encodeWithCoder(coder);
    coder.encodeObject(plotArea_, "CHTPlotAreaFrame.plotArea");
}

std::shared_ptr<base::Coding> CHTPlotAreaFrame::initWithCoder(base::KeyedUnarchiver& coder) {
    CHTBorderedLayer::initWithCoder(coder);
    setPlotArea(coder.decodeObjectOfType<CHTPlotArea>("CHTPlotAreaFrame.plotArea"));
    return nullptr;
}
