#include "platform/gfx/Color.h"

#include <algorithm>
#include <cmath>

namespace gfx {

std::shared_ptr<const ColorSpace> ColorSpace::deviceRGB() {
    static const auto space = std::make_shared<const ColorSpace>(Model::RGB);
    return space;
}

std::shared_ptr<const ColorSpace> ColorSpace::deviceGray() {
    static const auto space = std::make_shared<const ColorSpace>(Model::Gray);
    return space;
}

namespace {
Float clamp01(Float v) {
    if (std::isnan(v)) return 0;
    return std::clamp<Float>(v, 0, 1);
}
}  // namespace

Color::Color() : space_(ColorSpace::deviceRGB()) {}

Color Color::rgb(Float red, Float green, Float blue, Float alpha) {
    return withComponents(ColorSpace::deviceRGB(), {red, green, blue, alpha});
}

Color Color::gray(Float white, Float alpha) { return withComponents(ColorSpace::deviceGray(), {white, alpha}); }

Color Color::withComponents(std::shared_ptr<const ColorSpace> space, const std::vector<Float>& components) {
    Color c;
    c.space_ = space ? std::move(space) : ColorSpace::deviceRGB();
    c.count_ = c.space_->numberOfComponents() + 1;
    for (std::size_t i = 0; i < c.count_; ++i) {
        Float fallback = (i + 1 == c.count_) ? 1 : 0;
        c.c_[i] = i < components.size() ? clamp01(components[i]) : fallback;
    }
    for (std::size_t i = c.count_; i < 4; ++i) c.c_[i] = 0;
    return c;
}

std::vector<Float> Color::components() const { return {c_.begin(), c_.begin() + count_}; }

std::array<Float, 4> Color::rgba() const {
    if (count_ == 2) return {c_[0], c_[0], c_[0], c_[1]};
    return c_;
}

Color Color::withAlpha(Float alpha) const {
    Color c = *this;
    c.c_[count_ - 1] = clamp01(alpha);
    return c;
}

bool Color::operator==(const Color& other) const {
    if (!(*space_ == *other.space_) || count_ != other.count_) return false;
    for (std::size_t i = 0; i < count_; ++i)
        if (c_[i] != other.c_[i]) return false;
    return true;
}

}  // namespace gfx
