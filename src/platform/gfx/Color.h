#pragma once
// An immutable colour: a colour space and its components followed by alpha,
// all in [0, 1]. RGB colours have four components, grey colours two.
#include <array>
#include <memory>
#include <vector>

#include "platform/gfx/ColorSpace.h"
#include "platform/gfx/Geometry.h"

namespace gfx {

class Color {
public:
    // Opaque black in device RGB.
    Color();
    static Color rgb(Float red, Float green, Float blue, Float alpha = 1);
    static Color gray(Float white, Float alpha = 1);
    // A colour of the space's components plus alpha. Missing components read
    // as 0 and alpha as 1; extra ones are dropped. Values are clamped to [0, 1]
    // and NaN reads as 0.
    static Color withComponents(std::shared_ptr<const ColorSpace> space, const std::vector<Float>& components);

    static Color black() { return gray(0); }
    static Color white() { return gray(1); }
    static Color clear() { return rgb(0, 0, 0, 0); }

    const std::shared_ptr<const ColorSpace>& colorSpace() const { return space_; }
    // Colour components and alpha last (2 for grey, 4 for RGB).
    std::size_t numberOfComponents() const { return count_; }
    std::vector<Float> components() const;
    Float alpha() const { return c_[count_ - 1]; }

    // The colour as red, green, blue, alpha (grey spreads over the three).
    std::array<Float, 4> rgba() const;
    Float red() const { return rgba()[0]; }
    Float green() const { return rgba()[1]; }
    Float blue() const { return rgba()[2]; }

    // The same colour with another alpha.
    Color withAlpha(Float alpha) const;

    // Same space and components.
    bool operator==(const Color& other) const;

private:
    std::shared_ptr<const ColorSpace> space_;
    std::array<Float, 4> c_{0, 0, 0, 1};
    std::size_t count_ = 4;
};

}  // namespace gfx
