#include "platform/ui/Switch.h"

#include <algorithm>
#include <cmath>

#include "platform/base/Clock.h"
#include "platform/base/RunLoop.h"
#include "platform/gfx/Context.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/Palette.h"

namespace ui {

namespace {
constexpr Float kWidth = 94, kHeight = 27, kKnob = 40;
constexpr double kSlide = 0.2;
double now() { return base::Clock::current().now(); }
}  // namespace

Switch::Switch() : Switch(Rect()) {}

Switch::Switch(Rect frame) : Control(Rect(frame.origin, Size(kWidth, kHeight))), onTint_(palette::switchOnTint()) {
    setOpaque(false);
}

void Switch::setFrame(Rect frame) { Control::setFrame(Rect(frame.origin, Size(kWidth, kHeight))); }

void Switch::setOn(bool on, bool animated) {
    if (on == on_) return;
    animationFrom_ = knobPosition();
    on_ = on;
    if (animated && View::areAnimationsEnabled()) {
        animationStart_ = now();
        // Redraw through the slide.
        std::weak_ptr<View> weak = weak_from_this();
        for (int i = 1; i <= 12; ++i)
            base::RunLoop::main().performAfterDelay(kSlide * i / 12, [weak] {
                if (auto self = weak.lock()) self->setNeedsDisplay();
            });
    } else {
        animationStart_ = -1;
    }
    setNeedsDisplay();
}

Float Switch::knobPosition() const {
    if (dragPosition_) return *dragPosition_;
    Float target = on_ ? 1.0f : 0.0f;
    if (animationStart_ >= 0) {
        double t = (now() - animationStart_) / kSlide;
        if (t < 1) return static_cast<Float>(animationFrom_ + (target - animationFrom_) * t);
    }
    return target;
}

bool Switch::beginTrackingWithTouch(const Touch& touch, const Event* event) {
    (void)event;
    dragStartX_ = touch.locationInView(this).x;
    dragged_ = false;
    return true;
}

bool Switch::continueTrackingWithTouch(const Touch& touch, const Event* event) {
    (void)event;
    Float dx = touch.locationInView(this).x - dragStartX_;
    if (std::abs(dx) > 4) dragged_ = true;
    if (dragged_) {
        Float start = on_ ? 1.0f : 0.0f;
        dragPosition_ = std::clamp<Float>(start + dx / (kWidth - kKnob), 0, 1);
        setNeedsDisplay();
    }
    return true;
}

void Switch::endTrackingWithTouch(const Touch& touch, const Event* event) {
    (void)touch, (void)event;
    bool newValue = dragged_ && dragPosition_ ? *dragPosition_ > 0.5f : !on_;
    dragPosition_.reset();
    dragged_ = false;
    if (newValue != on_) {
        setOn(newValue, true);
        sendActionsForControlEvents(ControlEvents::ValueChanged);
    }
    setNeedsDisplay();
}

void Switch::cancelTrackingWithEvent(const Event* event) {
    (void)event;
    dragPosition_.reset();
    dragged_ = false;
    setNeedsDisplay();
}

void Switch::drawRect(gfx::Context& ctx, Rect rect) {
    (void)rect;
    Rect b = Rect(0, 0, kWidth, kHeight).inset(0.5f, 0.5f);
    Float pos = knobPosition();
    Float radius = 5;
    Float knobX = b.minX() + pos * (b.width() - kKnob);
    {
        gfx::SavedState saved(ctx);
        ctx.beginPath();
        draw::addRoundedRect(ctx, b, radius);
        ctx.clip();
        // The sliding track: the ON half (tinted) left of the knob, OFF right.
        Rect onPart(knobX - (b.width() - kKnob), b.minY(), b.width() - kKnob + kKnob / 2, b.height());
        Rect offPart(knobX + kKnob / 2, b.minY(), b.width() - kKnob / 2, b.height());
        draw::fillVerticalGradient(ctx, onPart, draw::darker(onTint_, 0.25f), draw::lighter(onTint_, 0.15f));
        draw::fillVerticalGradient(ctx, offPart, palette::switchOffTop(), palette::switchOffBottom());
        gfx::Font font = gfx::Font::boldSystemFont(16);
        draw::textCentered(ctx, "ON", Rect(onPart.minX(), b.minY(), b.width() - kKnob, b.height()), font,
                           gfx::Color::white());
        draw::textCentered(ctx, "OFF", Rect(knobX + kKnob, b.minY(), b.width() - kKnob, b.height()), font,
                           palette::switchOffInk());
    }
    // Inner shadow at the top and the outline.
    draw::strokeRoundedRect(ctx, b, radius, palette::controlEdge(), 1);
    Rect knob(knobX, b.minY(), kKnob, b.height());
    {
        gfx::SavedState saved(ctx);
        ctx.setShadow(Size(0, 0), 2, gfx::Color::black().withAlpha(0.35f));
        draw::fillRoundedRect(ctx, knob, radius, palette::switchKnob());
    }
    draw::fillVerticalGradient(ctx, knob.inset(0.5f, 0.5f),
                               isHighlighted() ? palette::switchKnobPressedTop() : palette::switchKnobTop(),
                               palette::switchKnobBottom(), radius);
    draw::strokeRoundedRect(ctx, knob, radius, palette::switchKnobEdge(), 1);
    if (!isEnabled()) {
        ctx.setFillColor(gfx::Color::white().withAlpha(0.45f));
        ctx.fillRect(Rect(0, 0, kWidth, kHeight));
    }
}

std::string Switch::accessibleName() const {
    if (!accessibilityLabel().empty()) return accessibilityLabel();
    return "Switch";
}

}  // namespace ui
