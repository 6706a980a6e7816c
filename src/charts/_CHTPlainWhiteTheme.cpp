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
    auto border = CHTLineStyle::lineStyle();
    border->setLineColor(CHTColor::blackColor());
    border->setLineWidth(1);
    plotAreaFrame->setBorderLineStyle(border);
    plotAreaFrame->setCornerRadius(0);
}

void _CHTPlainWhiteTheme::applyThemeToAxisSet(const std::shared_ptr<CHTAxisSet>& axisSet) {
    auto xyAxisSet = std::dynamic_pointer_cast<CHTXYAxisSet>(axisSet);
    if (!xyAxisSet) return;
    auto major = CHTLineStyle::lineStyle();
    major->setLineColor(CHTColor::colorWithGenericGray(0.5));
    major->setLineWidth(1);

    auto minor = CHTLineStyle::lineStyle();
    minor->setLineColor(CHTColor::blackColor());
    minor->setLineWidth(1);

    auto text = CHTTextStyle::textStyle();
    text->setColor(CHTColor::blackColor());
    text->setFontSize(14);
    auto minorTickText = CHTTextStyle::textStyle();
    minorTickText->setColor(CHTColor::blackColor());
    minorTickText->setFontSize(12);

    // The x axis shows its minor tick labels as large as its labels.
    applyThemeToAxis(xyAxisSet->xAxis(), major, minor, text, text);
    applyThemeToAxis(xyAxisSet->yAxis(), major, minor, text, minorTickText);
}
