#include "charts/_CHTStocksTheme.h"

#include "charts/CHTColor.h"
#include "charts/CHTFill.h"
#include "charts/CHTGradient.h"
#include "charts/CHTGraph.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTMutableTextStyle.h"
#include "charts/CHTPlotAreaFrame.h"
#include "charts/CHTXYAxisSet.h"

CHTThemeClass _CHTStocksTheme::themeClass() {
    return {"_CHTStocksTheme", "Stocks", [] { return std::make_shared<_CHTStocksTheme>(); }};
}

void _CHTStocksTheme::applyThemeToBackground(const std::shared_ptr<CHTGraph>& graph) {
    if (!graph) return;
    graph->setFill(CHTFill::fillWithColor(CHTColor::blackColor()));
}

void _CHTStocksTheme::applyThemeToPlotArea(const std::shared_ptr<CHTPlotAreaFrame>& plotAreaFrame) {
    if (!plotAreaFrame) return;
    // Light blue at the top fading to deep blue from the middle down.
    auto gradient = std::make_shared<CHTGradient>();
    gradient = gradient->addColorStop(CHTColor::colorWithComponentRed(0.21569, 0.28627, 0.44706, 1.0), 0.0);
    gradient = gradient->addColorStop(CHTColor::colorWithComponentRed(0.09412, 0.17255, 0.36078, 1.0), 0.5);
    gradient = gradient->addColorStop(CHTColor::colorWithComponentRed(0.05882, 0.13333, 0.33333, 1.0), 0.5);
    gradient = gradient->addColorStop(CHTColor::colorWithComponentRed(0.05882, 0.13333, 0.33333, 1.0), 1.0);
    gradient->setAngle(270);
    plotAreaFrame->setFill(CHTFill::fillWithGradient(gradient));

    setPlotAreaBorder(plotAreaFrame, CHTColor::colorWithGenericGray(0.2), 0, 14);
}

void _CHTStocksTheme::applyThemeToAxisSet(const std::shared_ptr<CHTAxisSet>& axisSet) {
    auto xyAxisSet = std::dynamic_pointer_cast<CHTXYAxisSet>(axisSet);
    if (!xyAxisSet) return;
    auto major = themeLineStyle(CHTColor::whiteColor(), 3, gfx::LineCap::Round);
    auto minor = themeLineStyle(CHTColor::whiteColor(), 3);
    auto text = themeTextStyle(CHTColor::whiteColor(), 14);
    auto minorTickText = themeTextStyle(CHTColor::whiteColor(), 12);

    applyThemeToAxis(xyAxisSet->xAxis(), major, minor, text, minorTickText);
    applyThemeToAxis(xyAxisSet->yAxis(), major, minor, text, minorTickText);
}
