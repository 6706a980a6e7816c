#include "charts/CHTColor.h"

#include <cmath>
#include <vector>

#include "charts/CHTCoderExtensions.h"

CHTColor::CHTColor() : color_(gfx::Color::rgb(0, 0, 0, 1)) {}

CHTColor::CHTColor(const gfx::Color& color) : color_(color) {}

CHTColor::CHTColor(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha)
    : color_(gfx::Color::rgb(red, green, blue, alpha)) {}

std::shared_ptr<CHTColor> CHTColor::colorWithCGColor(const gfx::Color& color) {
    return std::make_shared<CHTColor>(color);
}

std::shared_ptr<CHTColor> CHTColor::colorWithComponentRed(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha) {
    return std::make_shared<CHTColor>(red, green, blue, alpha);
}

std::shared_ptr<CHTColor> CHTColor::colorWithGenericGray(CGFloat gray) {
    return std::make_shared<CHTColor>(gray, gray, gray, 1);
}

#define CHT_NAMED_COLOR(name, expr)                           \
    std::shared_ptr<CHTColor> CHTColor::name() {              \
        static const std::shared_ptr<CHTColor> shared = expr; \
        return shared;                                        \
    }

CHT_NAMED_COLOR(blackColor, colorWithGenericGray(0))
CHT_NAMED_COLOR(darkGrayColor, colorWithGenericGray(1.0f / 3.0f))
CHT_NAMED_COLOR(grayColor, colorWithGenericGray(0.5f))
CHT_NAMED_COLOR(lightGrayColor, colorWithGenericGray(2.0f / 3.0f))
CHT_NAMED_COLOR(whiteColor, colorWithGenericGray(1))
CHT_NAMED_COLOR(clearColor, colorWithComponentRed(0, 0, 0, 0))
CHT_NAMED_COLOR(redColor, colorWithComponentRed(1, 0, 0, 1))
CHT_NAMED_COLOR(greenColor, colorWithComponentRed(0, 1, 0, 1))
CHT_NAMED_COLOR(blueColor, colorWithComponentRed(0, 0, 1, 1))
CHT_NAMED_COLOR(cyanColor, colorWithComponentRed(0, 1, 1, 1))
CHT_NAMED_COLOR(yellowColor, colorWithComponentRed(1, 1, 0, 1))
CHT_NAMED_COLOR(magentaColor, colorWithComponentRed(1, 0, 1, 1))
CHT_NAMED_COLOR(orangeColor, colorWithComponentRed(1, 0.5f, 0, 1))
CHT_NAMED_COLOR(purpleColor, colorWithComponentRed(0.5f, 0, 0.5f, 1))
CHT_NAMED_COLOR(brownColor, colorWithComponentRed(0.6f, 0.4f, 0.2f, 1))

#undef CHT_NAMED_COLOR

std::shared_ptr<CHTColor> CHTColor::colorWithAlphaComponent(CGFloat alpha) const {
    return std::make_shared<CHTColor>(color_.withAlpha(alpha));
}

bool CHTColor::isEqual(const base::Coding* other) const {
    if (other == this) return true;
    auto color = dynamic_cast<const CHTColor*>(other);
    if (!color) return false;
    return color_ == color->color_;
}

std::uint64_t CHTColor::hash() const {
    // Components lie in [0, 1], so the sum stays below 256^5: exact enough in
    // double precision and well inside 64 bits.
    double sum = 0;
    double weight = 256;
    for (CGFloat c : color_.components()) {
        sum += static_cast<double>(c) * weight;
        weight *= 256;
    }
    return static_cast<std::uint64_t>(sum);
}

std::shared_ptr<CHTColor> CHTColor::copy() const { return std::make_shared<CHTColor>(color_); }

std::string CHTColor::description() const {
    auto c = color_.rgba();
    return base::format("<CHTColor %g %g %g %g>", c[0], c[1], c[2], c[3]);
}

void CHTColor::encodeWithCoder(base::KeyedArchiver& coder) const {
    encodeCGColorSpace(coder, *color_.colorSpace(), "CHTColor.colorSpace");
    auto components = color_.components();
    coder.encodeInteger(static_cast<long long>(components.size()), "CHTColor.numberOfComponents");
    for (std::size_t i = 0; i < components.size(); ++i)
        encodeCGFloat(coder, components[i], base::format("CHTColor.component[%u]", static_cast<unsigned>(i)));
}

std::shared_ptr<base::Coding> CHTColor::initWithCoder(base::KeyedUnarchiver& coder) {
    auto space = newCGColorSpaceDecode(coder, "CHTColor.colorSpace");
    if (!space) space = gfx::ColorSpace::deviceRGB();
    long long count = coder.decodeInteger("CHTColor.numberOfComponents");
    std::vector<CGFloat> components;
    // A colour has at most four components; a damaged count reads no more.
    for (long long i = 0; i < count && i < 4; ++i)
        components.push_back(decodeCGFloat(coder, base::format("CHTColor.component[%u]", static_cast<unsigned>(i))));
    color_ = gfx::Color::withComponents(space, components);
    return nullptr;
}
