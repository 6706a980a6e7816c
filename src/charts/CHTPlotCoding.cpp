#include "charts/CHTPlotCoding.h"

#include "charts/CHTBarPlot.h"
#include "charts/CHTLegend.h"
#include "charts/CHTPieChart.h"
#include "charts/CHTPlotSymbol.h"
#include "charts/CHTRangePlot.h"
#include "charts/CHTScatterPlot.h"
#include "charts/CHTTradingRangePlot.h"
#include "platform/base/KeyedArchiver.h"

void CHTRegisterPlotCodingClasses() {
    base::KeyedUnarchiver::registerClass("CHTPlotSymbol", [] { return std::make_shared<CHTPlotSymbol>(); });
    base::KeyedUnarchiver::registerClass("CHTScatterPlot", [] { return std::make_shared<CHTScatterPlot>(); });
    base::KeyedUnarchiver::registerClass("CHTBarPlot", [] { return std::make_shared<CHTBarPlot>(); });
    base::KeyedUnarchiver::registerClass("CHTTradingRangePlot", [] { return std::make_shared<CHTTradingRangePlot>(); });
    base::KeyedUnarchiver::registerClass("CHTRangePlot", [] { return std::make_shared<CHTRangePlot>(); });
    base::KeyedUnarchiver::registerClass("CHTPieChart", [] { return std::make_shared<CHTPieChart>(); });
    base::KeyedUnarchiver::registerClass("CHTLegend", [] { return std::make_shared<CHTLegend>(); });
    base::KeyedUnarchiver::registerClass("CHTLegendEntry", [] { return std::make_shared<CHTLegendEntry>(); });
}
