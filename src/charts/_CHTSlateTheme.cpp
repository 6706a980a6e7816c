#include "charts/_CHTSlateTheme.h"

#include "charts/CHTColor.h"
#include "charts/CHTFill.h"
#include "charts/CHTGradient.h"
#include "charts/CHTGraph.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTMutableTextStyle.h"
#include "charts/CHTPlotAreaFrame.h"
#include "charts/CHTXYAxisSet.h"

CHTThemeClass _CHTSlateTheme::themeClass() {
    return {"_CHTSlateTheme", "Slate", [] { return std::make_shared<_CHTSlateTheme>(); }};
}

// The graph keeps its own background.
void _CHTSlateTheme::applyThemeToBackground(const std::shared_ptr<CHTGraph>&) {}

void _CHTSlateTheme::applyThemeToPlotArea(const std::shared_ptr<CHTPlotAreaFrame>& plotAreaFrame) {
    if (!plotAreaFrame) return;
    auto gradient = CHTGradient::gradientWithBeginningColor(CHTColor::colorWithComponentRed(0.43, 0.51, 0.63, 1.0),
                                                            CHTColor::colorWithComponentRed(0.70, 0.73, 0.80, 1.0));
    gradient->setAngle(90);
    plotAreaFrame->setFill(CHTFill::fillWithGradient(gradient));

    setPlotAreaBorder(plotAreaFrame, CHTColor::colorWithGenericGray(0.2), 1, 5);
}

void _CHTSlateTheme::applyThemeToAxisSet(const std::shared_ptr<CHTAxisSet>& axisSet) {
    if (!axisSet) return;
    auto major = themeLineStyle(CHTColor::colorWithComponentRed(0.0, 0.25, 0.50, 1.0), 2, gfx::LineCap::Square);
    auto minor = themeLineStyle(CHTColor::blackColor(), 1, gfx::LineCap::Square);
    auto text = themeTextStyle(CHTColor::blackColor(), 14);
    auto minorTickText = themeTextStyle(CHTColor::blackColor(), 12);

    for (const auto& axis : axisSet->axes()) applyThemeToAxis(axis, major, minor, text, minorTickText);
}
