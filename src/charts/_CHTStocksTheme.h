#pragma once
// The "Stocks" theme: white axes on black around a deep blue plot area.
#include "charts/_CHTXYTheme.h"

class _CHTStocksTheme : public _CHTXYTheme {
public:
    static CHTThemeClass themeClass();
    std::string name() const override { return "Stocks"; }

    void applyThemeToBackground(const std::shared_ptr<CHTGraph>& graph) override;
    void applyThemeToPlotArea(const std::shared_ptr<CHTPlotAreaFrame>& plotAreaFrame) override;
    void applyThemeToAxisSet(const std::shared_ptr<CHTAxisSet>& axisSet) override;
};
