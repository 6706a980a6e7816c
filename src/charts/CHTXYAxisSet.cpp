#include "charts/CHTXYAxisSet.h"

#include "charts/CHTPlotArea.h"

CHTXYAxisSet::CHTXYAxisSet(const gfx::Rect& frame) : CHTAxisSet(frame) {
    auto x = std::make_shared<CHTXYAxis>(frame);
    x->setCoordinate(CHTCoordinateX);
    x->setTickDirection(CHTSignNegative);
    auto y = std::make_shared<CHTXYAxis>(frame);
    y->setCoordinate(CHTCoordinateY);
    y->setTickDirection(CHTSignNegative);
    setAxes({x, y});
}

std::shared_ptr<CHTXYAxis> CHTXYAxisSet::xAxis() const {
    return axes().size() > 0 ? std::dynamic_pointer_cast<CHTXYAxis>(axes()[0]) : nullptr;
}

std::shared_ptr<CHTXYAxis> CHTXYAxisSet::yAxis() const {
    return axes().size() > 1 ? std::dynamic_pointer_cast<CHTXYAxis>(axes()[1]) : nullptr;
}

void CHTXYAxisSet::renderAsVectorInContext(gfx::Context& context) {
    if (isHidden() || !borderLineStyle()) return;
    CHTAxisSet::renderAsVectorInContext(context);
    auto* area = dynamic_cast<CHTPlotArea*>(superlayer());
    if (!area) return;
    gfx::Rect border = CHTAlignRectToUserSpace(context, convertRectFrom(area->bounds(), area));
    borderLineStyle()->setLineStyleInContext(context);
    context.beginPath();
    context.addRect(border);
    context.strokePath();
}

void CHTXYAxisSet::registerCodingClass() {
    base::KeyedUnarchiver::registerClass("CHTXYAxisSet", [] { return std::make_shared<CHTXYAxisSet>(); });
}
