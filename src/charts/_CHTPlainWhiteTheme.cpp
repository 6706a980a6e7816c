#include "charts/_CHTPlainWhiteTheme.h"

#include "charts/CHTColor.h"
#include "charts/CHTFill.h"
#include "charts/CHTGraph.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTMutableTextStyle.h"
#include "charts/CHTPlotAreaFrame.h"
#include "charts/CHTXYAxisSet.h"

CHTThemeClass _CHTPlainWhiteTheme::themeClass() {
    return {"_CHTPlainWhiteTheme", "Plain White", [] { return std::make_shared<_CHTPlainWhiteTheme>(); }};
}

void _CHTPlainWhiteTheme::applyThemeToBackground(const std::shared_ptr<CHTGraph>& graph) {
    if (!graph) return;
    graph->setFill(CHTFill::fillWithColor(CHTColor::whiteColor()));
}

void _CHTPlainWhiteTheme::applyThemeToPlotArea(const std::shared_ptr<CHTPlotAreaFrame>& plotAreaFrame) {
    if (!plotAreaFrame) return;
    plotAreaFrame->setFill(CHTFill::fillWithColor(CHTColor::whiteColor()));
    setPlotAreaBorder(plotAreaFrame, CHTColor::blackColor(), 1, 0);
}

void _CHTPlainWhiteTheme::applyThemeToAxisSet(const std::shared_ptr<CHTAxisSet>& axisSet) {
    auto xyAxisSet = std::dynamic_pointer_cast<CHTXYAxisSet>(axisSet);
    if (!xyAxisSet) return;
    auto major = themeLineStyle(CHTColor::colorWithGenericGray(0.5), 1);
    auto minor = themeLineStyle(CHTColor::blackColor(), 1);
    auto text = themeTextStyle(CHTColor::blackColor(), 14);
    auto minorTickText = themeTextStyle(CHTColor::blackColor(), 12);

    // The x axis shows its minor tick labels as large as its labels.
    applyThemeToAxis(xyAxisSet->xAxis(), major, minor, text, text);
    applyThemeToAxis(xyAxisSet->yAxis(), major, minor, text, minorTickText);
}
