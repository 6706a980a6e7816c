#include "charts/CHTAxisLabelGroup.h"

CHTAxisLabelGroup::CHTAxisLabelGroup(const gfx::Rect& frame) : CHTLayer(frame) {}

// The labels and titles inside draw themselves.
void CHTAxisLabelGroup::renderAsVectorInContext(gfx::Context&) {}

// The axes place the labels; nothing is laid out here.
void CHTAxisLabelGroup::layoutSublayers() {}

void CHTAxisLabelGroup::registerCodingClass() {
    base::KeyedUnarchiver::registerClass("CHTAxisLabelGroup", [] { return std::make_shared<CHTAxisLabelGroup>(); });
}
