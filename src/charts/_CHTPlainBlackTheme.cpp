#include "charts/_CHTPlainBlackTheme.h"

#include "charts/CHTColor.h"
#include "charts/CHTFill.h"
#include "charts/CHTGraph.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTMutableTextStyle.h"
#include "charts/CHTPlotAreaFrame.h"
#include "charts/CHTXYAxisSet.h"

CHTThemeClass _CHTPlainBlackTheme::themeClass() {
    return {"_CHTPlainBlackTheme", "Plain Black", [] { return std::make_shared<_CHTPlainBlackTheme>(); }};
}

void _CHTPlainBlackTheme::applyThemeToBackground(const std::shared_ptr<CHTGraph>& graph) {
    if (!graph) return;
    graph->setFill(CHTFill::fillWithColor(CHTColor::blackColor()));
}

void _CHTPlainBlackTheme::applyThemeToPlotArea(const std::shared_ptr<CHTPlotAreaFrame>& plotAreaFrame) {
    if (!plotAreaFrame) return;
    plotAreaFrame->setFill(CHTFill::fillWithColor(CHTColor::blackColor()));
    setPlotAreaBorder(plotAreaFrame, CHTColor::whiteColor(), 1, 0);
}

void _CHTPlainBlackTheme::applyThemeToAxisSet(const std::shared_ptr<CHTAxisSet>& axisSet) {
    auto xyAxisSet = std::dynamic_pointer_cast<CHTXYAxisSet>(axisSet);
    if (!xyAxisSet) return;
    auto major = themeLineStyle(CHTColor::whiteColor(), 3, gfx::LineCap::Round);
    auto minor = themeLineStyle(CHTColor::whiteColor(), 3);
    auto text = themeTextStyle(CHTColor::whiteColor(), 14);
    auto minorTickText = themeTextStyle(CHTColor::whiteColor(), 12);

    // The x axis shows its minor tick labels as large as its labels.
    applyThemeToAxis(xyAxisSet->xAxis(), major, minor, text, text);
    applyThemeToAxis(xyAxisSet->yAxis(), major, minor, text, minorTickText);
}
