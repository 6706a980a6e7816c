#pragma once
// The "Slate" theme: a blue-grey plot area with dark blue axes and black labels.
#include "charts/_CHTXYTheme.h"

class _CHTSlateTheme : public _CHTXYTheme {
public:
    static CHTThemeClass themeClass();
    std::string name() const override { return "Slate"; }

    void applyThemeToBackground(const std::shared_ptr<CHTGraph>& graph) override;
    void applyThemeToPlotArea(const std::shared_ptr<CHTPlotAreaFrame>& plotAreaFrame) override;
    void applyThemeToAxisSet(const std::shared_ptr<CHTAxisSet>& axisSet) override;
};
