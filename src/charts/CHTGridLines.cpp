#include "charts/CHTGridLines.h"

#include "charts/CHTAxis.h"

CHTGridLines::CHTGridLines(const gfx::Rect& frame) : CHTLayer(frame) { setNeedsDisplayOnBoundsChange(true); }

void CHTGridLines::setAxis(const std::shared_ptr<CHTAxis>& axis) {
    if (axis == axis_.lock()) return;
    axis_ = axis;
    setNeedsDisplay();
}

void CHTGridLines::setMajor(bool major) {
    if (major == major_) return;
    major_ = major;
    setNeedsDisplay();
}

void CHTGridLines::renderAsVectorInContext(gfx::Context& context) {
    if (isHidden()) return;
    if (auto axis = this->axis()) axis->drawGridLinesInContext(context, major_);
}

void CHTGridLines::encodeWithCoder(base::KeyedArchiver& coder) const {
    CHTLayer::encodeWithCoder(coder);
    coder.encodeConditionalObject(axis().get(), "CHTGridLines.axis");
    coder.encodeBool(major_, "CHTGridLines.major");
}

std::shared_ptr<base::Coding> CHTGridLines::initWithCoder(base::KeyedUnarchiver& coder) {
    CHTLayer::initWithCoder(coder);
    axis_ = coder.decodeObjectOfType<CHTAxis>("CHTGridLines.axis");
    major_ = coder.decodeBool("CHTGridLines.major");
    return nullptr;
}

void CHTGridLines::registerCodingClass() {
    base::KeyedUnarchiver::registerClass("CHTGridLines", [] { return std::make_shared<CHTGridLines>(); });
}
