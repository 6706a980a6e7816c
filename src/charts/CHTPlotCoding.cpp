#include "charts/CHTPlotCoding.h"

#include "charts/CHTPlotSymbol.h"
#include "platform/base/KeyedArchiver.h"

void CHTRegisterPlotCodingClasses() {
    base::KeyedUnarchiver::registerClass("CHTPlotSymbol", [] { return std::make_shared<CHTPlotSymbol>(); });
}
