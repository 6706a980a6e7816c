#include "charts/_CHTXYTheme.h"

#include "charts/CHTGraph.h"
#include "charts/CHTPlotRange.h"
#include "charts/CHTUtilities.h"
#include "charts/CHTXYAxis.h"
#include "charts/CHTXYPlotSpace.h"

_CHTXYTheme::_CHTXYTheme() { graphClass_ = "CHTXYGraph"; }

std::shared_ptr<CHTGraph> _CHTXYTheme::newGraph() {
    GraphFactory factory = graphFactoryNamed(graphClass_.empty() ? std::string("CHTXYGraph") : graphClass_);
    if (!factory) factory = graphFactoryNamed("CHTXYGraph");
    auto graph = factory(gfx::Rect(0, 0, 200, 200));
    graph->setPaddingLeft(60);
    graph->setPaddingTop(60);
    graph->setPaddingRight(60);
    graph->setPaddingBottom(60);
    if (auto plotSpace = std::dynamic_pointer_cast<CHTXYPlotSpace>(graph->defaultPlotSpace())) {
        plotSpace->setXRange(CHTPlotRange::plotRangeWithLocation(CHTDecimalFromInteger(-1), CHTDecimalFromInteger(1)));
        plotSpace->setYRange(CHTPlotRange::plotRangeWithLocation(CHTDecimalFromInteger(-1), CHTDecimalFromInteger(1)));
    }
    applyThemeToGraph(graph);
    return graph;
}

void _CHTXYTheme::applyThemeToAxis(const std::shared_ptr<CHTAxis>& axis,
                                   const std::shared_ptr<const CHTLineStyle>& majorLineStyle,
                                   const std::shared_ptr<const CHTLineStyle>& minorLineStyle,
                                   const std::shared_ptr<const CHTTextStyle>& textStyle,
                                   const std::shared_ptr<const CHTTextStyle>& minorTickTextStyle) {
    if (!axis) return;
    axis->setLabelingPolicy(2);
    axis->setMajorIntervalLength(CHTDecimalFromString("0.5"));
    if (auto xyAxis = std::dynamic_pointer_cast<CHTXYAxis>(axis)) xyAxis->setOrthogonalCoordinateDecimal(CHTDecimalFromInteger(0));
    axis->setTickDirection(0);
    axis->setMinorTicksPerInterval(4);
    axis->setMajorTickLineStyle(majorLineStyle);
    axis->setMinorTickLineStyle(minorLineStyle);
    axis->setAxisLineStyle(majorLineStyle);
    axis->setMajorTickLength(7);
    axis->setMinorTickLength(5);
    axis->setLabelTextStyle(textStyle);
    axis->setTitleTextStyle(textStyle);
    axis->setMinorTickLabelTextStyle(minorTickTextStyle);
}
