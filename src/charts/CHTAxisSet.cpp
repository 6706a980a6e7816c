#include "charts/CHTAxisSet.h"

#include "charts/CHTCoderExtensions.h"
#include "charts/CHTPlotArea.h"

CHTAxisSet::CHTAxisSet(const gfx::Rect& frame) : CHTLayer(frame) { setNeedsDisplayOnBoundsChange(true); }

CHTAxisSet::~CHTAxisSet() = default;

void CHTAxisSet::setAxes(const std::vector<std::shared_ptr<CHTAxis>>& axes) {
    if (axes == axes_) return;
    for (const auto& axis : axes_) {
        axis->removeFromSuperlayer();
        axis->setPlotArea(nullptr);
    }
    axes_ = axes;
    // The plot area, when the set is in one.
    std::shared_ptr<CHTPlotArea> area;
    if (auto* parent = dynamic_cast<CHTPlotArea*>(superlayer()))
        area = std::static_pointer_cast<CHTPlotArea>(parent->shared_from_this());
    for (const auto& axis : axes_) {
        if (!axis) continue;
        addSublayer(axis);
        axis->setPlotArea(area);
    }
    setNeedsLayout();
    setNeedsDisplay();
}

void CHTAxisSet::relabelAxes() {
    for (const auto& axis : axes_) {
        axis->setNeedsLayout();
        axis->setNeedsRelabel();
    }
}

void CHTAxisSet::setBorderLineStyle(const std::shared_ptr<const CHTLineStyle>& style) {
    if (style == borderLineStyle_) return;
    borderLineStyle_ = style ? style->copy() : nullptr;
    setNeedsDisplay();
}

void CHTAxisSet::encodeWithCoder(base::KeyedArchiver& coder) const {
    CHTLayer::encodeWithCoder(coder);
    encodeObjectArray(coder, axes_, "CHTAxisSet.axes");
    coder.encodeObject(borderLineStyle_, "CHTAxisSet.borderLineStyle");
}

std::shared_ptr<base::Coding> CHTAxisSet::initWithCoder(base::KeyedUnarchiver& coder) {
    CHTLayer::initWithCoder(coder);
    setAxes(decodeObjectArrayOfType<CHTAxis>(coder, "CHTAxisSet.axes"));
    auto style = coder.decodeObjectOfType<CHTLineStyle>("CHTAxisSet.borderLineStyle");
    borderLineStyle_ = style ? style->copy() : nullptr;
    return nullptr;
}

void CHTAxisSet::registerCodingClass() {
    base::KeyedUnarchiver::registerClass("CHTAxisSet", [] { return std::make_shared<CHTAxisSet>(); });
}
