#include "charts/CHTXYGraph.h"

#include "charts/CHTGraphHostingView.h"
#include "charts/CHTPlotAreaFrame.h"
#include "charts/CHTXYAxis.h"
#include "charts/CHTXYAxisSet.h"
#include "charts/CHTXYPlotSpace.h"

std::shared_ptr<CHTXYGraph> CHTXYGraph::create(const gfx::Rect& frame, int xScaleType, int yScaleType) {
    auto graph = std::make_shared<CHTXYGraph>(ConstructionKey(), frame, xScaleType, yScaleType);
    graph->initGraph();
    return graph;
}

CHTXYGraph::CHTXYGraph(ConstructionKey, const gfx::Rect& frame, int xScaleType, int yScaleType)
    : CHTGraph(frame), xScaleType_(xScaleType), yScaleType_(yScaleType) {}

std::shared_ptr<CHTPlotSpace> CHTXYGraph::newPlotSpace() {
    auto plotSpace = std::make_shared<CHTXYPlotSpace>();
    plotSpace->setXScaleType(xScaleType_);
    plotSpace->setYScaleType(yScaleType_);
    return plotSpace;
}

std::shared_ptr<CHTAxisSet> CHTXYGraph::newAxisSet() {
    auto axisSet = std::make_shared<CHTXYAxisSet>(bounds());
    axisSet->xAxis()->setPlotSpace(defaultPlotSpace());
    axisSet->yAxis()->setPlotSpace(defaultPlotSpace());
    return axisSet;
}

void CHTXYGraph::encodeWithCoder(base::KeyedArchiver& coder) const {
    CHTGraph::encodeWithCoder(coder);
    coder.encodeInteger(xScaleType_, "CHTXYGraph.xScaleType");
    coder.encodeInteger(yScaleType_, "CHTXYGraph.yScaleType");
}

std::shared_ptr<base::Coding> CHTXYGraph::initWithCoder(base::KeyedUnarchiver& coder) {
    CHTGraph::initWithCoder(coder);
    xScaleType_ = static_cast<int>(coder.decodeInteger("CHTXYGraph.xScaleType"));
    yScaleType_ = static_cast<int>(coder.decodeInteger("CHTXYGraph.yScaleType"));
    return nullptr;
}

void CHTXYGraph::registerCodingClasses() {
    CHTGraphHostingView::registerCodingClass();
    base::KeyedUnarchiver::registerClass("CHTPlotAreaFrame", [] { return std::make_shared<CHTPlotAreaFrame>(); });
    // The decoder fills in the parts; no second construction step.
    base::KeyedUnarchiver::registerClass("CHTXYGraph", [] {
        return std::make_shared<CHTXYGraph>(ConstructionKey(), gfx::Rect::zero(), CHTScaleTypeLinear,
                                            CHTScaleTypeLinear);
    });
}
