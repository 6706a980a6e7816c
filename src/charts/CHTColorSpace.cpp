#include "charts/CHTColorSpace.h"

#include "charts/CHTCoderExtensions.h"

CHTColorSpace::CHTColorSpace() : space_(gfx::ColorSpace::deviceRGB()) {}

CHTColorSpace::CHTColorSpace(std::shared_ptr<const gfx::ColorSpace> space)
    : space_(space ? std::move(space) : gfx::ColorSpace::deviceRGB()) {}

std::shared_ptr<CHTColorSpace> CHTColorSpace::initWithCGColorSpace(std::shared_ptr<const gfx::ColorSpace> space) {
    return std::make_shared<CHTColorSpace>(std::move(space));
}

std::shared_ptr<CHTColorSpace> CHTColorSpace::genericRGBSpace() {
    static const auto shared = std::make_shared<CHTColorSpace>(gfx::ColorSpace::deviceRGB());
    return shared;
}

void CHTColorSpace::setCgColorSpace(std::shared_ptr<const gfx::ColorSpace> space) { space_ = std::move(space); }

void CHTColorSpace::setCGColorSpace(std::shared_ptr<const gfx::ColorSpace> space) {
    if (space_ == space) return;
    space_ = std::move(space);
}

void CHTColorSpace::encodeWithCoder(base::KeyedArchiver& coder) const {
    if (space_) encodeCGColorSpace(coder, *space_, "CHTColorSpace.cgColorSpace");
}

std::shared_ptr<base::Coding> CHTColorSpace::initWithCoder(base::KeyedUnarchiver& coder) {
    space_ = newCGColorSpaceDecode(coder, "CHTColorSpace.cgColorSpace");
    if (!space_) space_ = gfx::ColorSpace::deviceRGB();
    return nullptr;
}
