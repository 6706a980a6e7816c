#pragma once
// An on/off switch (94 x 27 points): a tap toggles it, a drag moves the knob;
// each change by the user sends ValueChanged.
#include <utility>

#include "platform/ui/Control.h"

namespace ui {

class Switch : public Control {
public:
    Switch();
    explicit Switch(Rect frame);  // the size is always the switch's own
    std::string className() const override { return "Switch"; }

    bool isOn() const { return on_; }
    void setOn(bool on, bool animated = false);
    gfx::Color onTintColor() const { return onTint_; }
    void setOnTintColor(gfx::Color color) {
        onTint_ = std::move(color);
        setNeedsDisplay();
    }

    void setFrame(Rect frame) override;
    Size sizeThatFits(Size size) const override {
        (void)size;
        return {94, 27};
    }
    bool beginTrackingWithTouch(const Touch& touch, const Event* event) override;
    bool continueTrackingWithTouch(const Touch& touch, const Event* event) override;
    void endTrackingWithTouch(const Touch& touch, const Event* event) override;
    void cancelTrackingWithEvent(const Event* event) override;
    void drawRect(gfx::Context& context, Rect rect) override;
    std::string accessibleName() const override;
    bool keepsTouchesInScrollView() const override { return true; }
    std::string displayedText() const override { return on_ ? "ON" : "OFF"; }

private:
    Float knobPosition() const;  // 0 off .. 1 on, as drawn
    bool on_ = false;
    gfx::Color onTint_;
    Float dragStartX_ = 0;
    bool dragged_ = false;
    std::optional<Float> dragPosition_;
    double animationStart_ = -1;
    Float animationFrom_ = 0;
};

}  // namespace ui
