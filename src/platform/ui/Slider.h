#pragma once
// A slider: a knob on a track between a minimum and maximum value. Dragging
// the knob (or tapping the track) changes the value and sends ValueChanged,
// continuously or at the end.
#include <utility>

#include "platform/ui/Control.h"

namespace ui {

class Slider : public Control {
public:
    Slider();
    explicit Slider(Rect frame);
    std::string className() const override { return "Slider"; }

    Float value() const { return value_; }
    void setValue(Float value, bool animated = false);
    Float minimumValue() const { return min_; }
    void setMinimumValue(Float value);
    Float maximumValue() const { return max_; }
    void setMaximumValue(Float value);
    bool isContinuous() const { return continuous_; }
    void setContinuous(bool continuous) { continuous_ = continuous; }
    std::optional<gfx::Color> minimumTrackTintColor() const { return minTint_; }
    void setMinimumTrackTintColor(std::optional<gfx::Color> color) {
        minTint_ = std::move(color);
        setNeedsDisplay();
    }

    Rect trackRectForBounds(Rect bounds) const;
    Rect thumbRectForBounds(Rect bounds, Float value) const;

    bool beginTrackingWithTouch(const Touch& touch, const Event* event) override;
    bool continueTrackingWithTouch(const Touch& touch, const Event* event) override;
    void endTrackingWithTouch(const Touch& touch, const Event* event) override;
    void drawRect(gfx::Context& context, Rect rect) override;
    Size sizeThatFits(Size size) const override;
    std::string accessibleName() const override;
    bool keepsTouchesInScrollView() const override { return true; }

private:
    void trackTo(const Touch& touch);
    Float value_ = 0, min_ = 0, max_ = 1;
    bool continuous_ = true;
    bool changed_ = false;
    std::optional<gfx::Color> minTint_;
};

}  // namespace ui
