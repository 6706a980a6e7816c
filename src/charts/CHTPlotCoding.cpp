#include "charts/CHTPlotCoding.h"

#include "charts/CHTBarPlot.h"
#include "charts/CHTPlotSymbol.h"
#include "charts/CHTScatterPlot.h"
#include "platform/base/KeyedArchiver.h"

void CHTRegisterPlotCodingClasses() {
    base::KeyedUnarchiver::registerClass("CHTPlotSymbol", [] { return std::make_shared<CHTPlotSymbol>(); });
    base::KeyedUnarchiver::registerClass("CHTScatterPlot", [] { return std::make_shared<CHTScatterPlot>(); });
    base::KeyedUnarchiver::registerClass("CHTBarPlot", [] { return std::make_shared<CHTBarPlot>(); });
}
