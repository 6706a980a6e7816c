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

    setPlotAreaBorder(plotAreaFrame, CHTColor::colorWithGenericGray(0.2), 4, 10);
}

void _CHTDarkGradientTheme::applyThemeToAxisSet(const std::shared_ptr<CHTAxisSet>& axisSet) {
    if (!axisSet) return;
    auto major = themeLineStyle(CHTColor::colorWithGenericGray(0.5), 2, gfx::LineCap::Square);
    auto minor = themeLineStyle(CHTColor::darkGrayColor(), 1, gfx::LineCap::Square);
    auto text = themeTextStyle(CHTColor::whiteColor(), 14);
    auto minorTickText = themeTextStyle(CHTColor::whiteColor(), 12);

    for (const auto& axis : axisSet->axes()) applyThemeToAxis(axis, major, minor, text, minorTickText);
}
