#pragma once
// Colour spaces: device RGB (the space of every colour made from components)
// and device grey (the platform's grey colours).
#include <cstddef>
#include <memory>

namespace gfx {

class ColorSpace {
public:
    enum class Model { Gray = 0, RGB = 1 };

    // The shared spaces, made on first use and kept for the life of the process.
    static std::shared_ptr<const ColorSpace> deviceRGB();
    static std::shared_ptr<const ColorSpace> deviceGray();

    Model model() const { return model_; }
    // Colour components without alpha: 1 for grey, 3 for RGB.
    std::size_t numberOfComponents() const { return model_ == Model::Gray ? 1 : 3; }

    bool operator==(const ColorSpace& other) const { return model_ == other.model_; }

    explicit ColorSpace(Model model) : model_(model) {}

private:
    Model model_;
};

}  // namespace gfx
