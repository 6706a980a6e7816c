#pragma once
// The "Plain White" theme: black labels and grey axes on plain white.
#include "charts/_CHTXYTheme.h"

class _CHTPlainWhiteTheme : public _CHTXYTheme {
public:
    static CHTThemeClass themeClass();
    std::string name() const override { return "Plain White"; }

    void applyThemeToBackground(const std::shared_ptr<CHTGraph>& graph) override;
    void applyThemeToPlotArea(const std::shared_ptr<CHTPlotAreaFrame>& plotAreaFrame) override;
    void applyThemeToAxisSet(const std::shared_ptr<CHTAxisSet>& axisSet) override;
};
