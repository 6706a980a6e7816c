#include "charts/CHTDrawingCoding.h"

#include "charts/CHTAnnotation.h"
#include "charts/CHTAnnotationHostLayer.h"
#include "charts/CHTBorderedLayer.h"
#include "charts/CHTColor.h"
#include "charts/CHTColorSpace.h"
#include "charts/CHTFill.h"
#include "charts/CHTGradient.h"
#include "charts/CHTImage.h"
#include "charts/CHTLayer.h"
#include "charts/CHTLineCap.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTMutableShadow.h"
#include "charts/CHTMutableTextStyle.h"
#include "charts/CHTTextLayer.h"

namespace {
template <class T>
void reg(const char* name) {
    base::KeyedUnarchiver::registerClass(name, [] { return std::make_shared<T>(); });
}
}  // namespace

void CHTRegisterDrawingCodingClasses() {
    reg<CHTColor>("CHTColor");
    reg<CHTColorSpace>("CHTColorSpace");
    reg<CHTGradient>("CHTGradient");
    reg<CHTFill>("CHTFill");
    reg<CHTImage>("CHTImage");
    reg<CHTLineStyle>("CHTLineStyle");
    reg<CHTMutableLineStyle>("CHTMutableLineStyle");
    reg<CHTLineCap>("CHTLineCap");
    reg<CHTShadow>("CHTShadow");
    reg<CHTMutableShadow>("CHTMutableShadow");
    reg<CHTTextStyle>("CHTTextStyle");
    reg<CHTMutableTextStyle>("CHTMutableTextStyle");
    reg<CHTLayer>("CHTLayer");
    reg<CHTAnnotationHostLayer>("CHTAnnotationHostLayer");
    reg<CHTBorderedLayer>("CHTBorderedLayer");
    reg<CHTTextLayer>("CHTTextLayer");
    reg<CHTAnnotation>("CHTAnnotation");
}
