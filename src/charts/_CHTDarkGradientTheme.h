#pragma once
// The "Dark Gradients" theme: dark grey gradients behind white labels, with grey
// axes whose ticks cross the axis line.
#include "charts/_CHTXYTheme.h"

class _CHTDarkGradientTheme : public _CHTXYTheme {
public:
    static CHTThemeClass themeClass();
    std::string name() const override { return "Dark Gradients"; }

    void applyThemeToBackground(const std::shared_ptr<CHTGraph>& graph) override;
    void applyThemeToPlotArea(const std::shared_ptr<CHTPlotAreaFrame>& plotAreaFrame) override;
    void applyThemeToAxisSet(const std::shared_ptr<CHTAxisSet>& axisSet) override;
};
