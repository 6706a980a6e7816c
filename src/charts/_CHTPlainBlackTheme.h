#pragma once
// The "Plain Black" theme: white axes and labels on plain black.
#include "charts/_CHTXYTheme.h"

class _CHTPlainBlackTheme : public _CHTXYTheme {
public:
    static CHTThemeClass themeClass();
    std::string name() const override { return "Plain Black"; }

    void applyThemeToBackground(const std::shared_ptr<CHTGraph>& graph) override;
    void applyThemeToPlotArea(const std::shared_ptr<CHTPlotAreaFrame>& plotAreaFrame) override;
    void applyThemeToAxisSet(const std::shared_ptr<CHTAxisSet>& axisSet) override;
};
