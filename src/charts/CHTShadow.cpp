#include "charts/CHTShadow.h"

#include "charts/CHTCoderExtensions.h"
#include "charts/CHTMutableShadow.h"

std::shared_ptr<CHTMutableShadow> CHTShadow::shadow() { return std::make_shared<CHTMutableShadow>(); }

void CHTShadow::setShadowBlurRadius(CGFloat newShadowBlurRadius) {
    CHT_PARAMETER_ASSERT(newShadowBlurRadius >= 0.0, "CHTShadow", "-[CHTShadow setShadowBlurRadius:]");
    if (!(newShadowBlurRadius >= 0) || newShadowBlurRadius == shadowBlurRadius_) return;
    shadowBlurRadius_ = newShadowBlurRadius;
}

void CHTShadow::setShadowInContext(gfx::Context& context) const {
    if (shadowColor_) context.setShadow(shadowOffset_, shadowBlurRadius_, shadowColor_->cgColor());
    else context.setShadow(shadowOffset_, shadowBlurRadius_, std::nullopt);
}

void CHTShadow::copyFieldsTo(CHTShadow& other) const {
    other.shadowOffset_ = shadowOffset_;
    other.shadowBlurRadius_ = shadowBlurRadius_;
    other.shadowColor_ = shadowColor_ ? shadowColor_->copy() : nullptr;
}

std::shared_ptr<CHTShadow> CHTShadow::copy() const {
    auto s = std::make_shared<CHTShadow>();
    copyFieldsTo(*s);
    return s;
}

std::shared_ptr<CHTMutableShadow> CHTShadow::mutableCopy() const {
    auto s = std::make_shared<CHTMutableShadow>();
    copyFieldsTo(*s);
    return s;
}

void CHTShadow::encodeWithCoder(base::KeyedArchiver& coder) const {
    encodeCHTSize(coder, shadowOffset_, "CHTShadow.shadowOffset");
    encodeCGFloat(coder, shadowBlurRadius_, "CHTShadow.shadowBlurRadius");
    coder.encodeObject(shadowColor_, "CHTShadow.shadowColor");
}

std::shared_ptr<base::Coding> CHTShadow::initWithCoder(base::KeyedUnarchiver& coder) {
    shadowOffset_ = decodeCHTSize(coder, "CHTShadow.shadowOffset");
    CGFloat blur = decodeCGFloat(coder, "CHTShadow.shadowBlurRadius");
    shadowBlurRadius_ = blur >= 0 ? blur : 0;
    shadowColor_ = coder.decodeObjectOfType<CHTColor>("CHTShadow.shadowColor");
    return nullptr;
}
