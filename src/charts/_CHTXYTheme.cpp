#include "charts/_CHTXYTheme.h"

#include "charts/CHTGraph.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTMutableTextStyle.h"
#include "charts/CHTPlotAreaFrame.h"
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
    if (auto xyAxis = std::dynamic_pointer_cast<CHTXYAxis>(axis))
        xyAxis->setOrthogonalCoordinateDecimal(CHTDecimalFromInteger(0));
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

std::shared_ptr<CHTMutableLineStyle> _CHTXYTheme::themeLineStyle(const std::shared_ptr<CHTColor>& color, CGFloat width,
                                                                 std::optional<gfx::LineCap> cap) {
    auto style = CHTLineStyle::lineStyle();
    if (cap) style->setLineCap(*cap);
    style->setLineColor(color);
    style->setLineWidth(width);
    return style;
}

std::shared_ptr<CHTMutableTextStyle> _CHTXYTheme::themeTextStyle(const std::shared_ptr<CHTColor>& color,
                                                                 CGFloat fontSize) {
    auto style = CHTTextStyle::textStyle();
    style->setColor(color);
    style->setFontSize(fontSize);
    return style;
}

void _CHTXYTheme::setPlotAreaBorder(const std::shared_ptr<CHTPlotAreaFrame>& plotAreaFrame,
                                    const std::shared_ptr<CHTColor>& color, CGFloat width, CGFloat cornerRadius) {
    plotAreaFrame->setBorderLineStyle(themeLineStyle(color, width));
    plotAreaFrame->setCornerRadius(cornerRadius);
}
