#include "charts/_CHTDarkGradientTheme.h"

#include "charts/CHTColor.h"
#include "charts/CHTFill.h"
#include "charts/CHTGradient.h"
#include "charts/CHTGraph.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTMutableTextStyle.h"
#include "charts/CHTPlotAreaFrame.h"
#include "charts/CHTXYAxisSet.h"

CHTThemeClass _CHTDarkGradientTheme::themeClass() {
    return {"_CHTDarkGradientTheme", "Dark Gradients", [] { return std::make_shared<_CHTDarkGradientTheme>(); }};
}

void _CHTDarkGradientTheme::applyThemeToBackground(const std::shared_ptr<CHTGraph>& graph) {
    if (!graph) return;
    auto gradient = CHTGradient::gradientWithBeginningColor(CHTColor::colorWithGenericGray(0.1),
                                                            CHTColor::colorWithGenericGray(0.1));
    gradient = gradient->addColorStop(CHTColor::colorWithGenericGray(0.2), 0.3);
    gradient = gradient->addColorStop(CHTColor::colorWithGenericGray(0.3), 0.5);
    gradient = gradient->addColorStop(CHTColor::colorWithGenericGray(0.2), 0.6);
    gradient->setAngle(90);
    graph->setFill(CHTFill::fillWithGradient(gradient));
}

void _CHTDarkGradientTheme::applyThemeToPlotArea(const std::shared_ptr<CHTPlotAreaFrame>& plotAreaFrame) {
    if (!plotAreaFrame) return;
    auto gradient = CHTGradient::gradientWithBeginningColor(CHTColor::colorWithGenericGray(0.1),
                                                            CHTColor::colorWithGenericGray(0.3));
    gradient->setAngle(90);
    plotAreaFrame->setFill(CHTFill::fillWithGradient(gradient));

    auto border = CHTLineStyle::lineStyle();
    border->setLineColor(CHTColor::colorWithGenericGray(0.2));
    border->setLineWidth(4);
    plotAreaFrame->setBorderLineStyle(border);
    plotAreaFrame->setCornerRadius(10);
}

void _CHTDarkGradientTheme::applyThemeToAxisSet(const std::shared_ptr<CHTAxisSet>& axisSet) {
    if (!axisSet) return;
    auto major = CHTLineStyle::lineStyle();
    major->setLineCap(gfx::LineCap::Square);
    major->setLineColor(CHTColor::colorWithGenericGray(0.5));
    major->setLineWidth(2);

    auto minor = CHTLineStyle::lineStyle();
    minor->setLineCap(gfx::LineCap::Square);
    minor->setLineColor(CHTColor::darkGrayColor());
    minor->setLineWidth(1);

    auto text = CHTTextStyle::textStyle();
    text->setColor(CHTColor::whiteColor());
    text->setFontSize(14);
    auto minorTickText = CHTTextStyle::textStyle();
    minorTickText->setColor(CHTColor::whiteColor());
    minorTickText->setFontSize(12);

    for (const auto& axis : axisSet->axes()) applyThemeToAxis(axis, major, minor, text, minorTickText);
}
