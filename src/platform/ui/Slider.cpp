#include "platform/ui/Slider.h"

#include <algorithm>
#include <cmath>

#include "platform/base/Format.h"
#include "platform/gfx/Context.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/Palette.h"

namespace ui {

Slider::Slider() : Slider(Rect(0, 0, 118, 23)) {}

Slider::Slider(Rect frame) : Control(frame) { setOpaque(false); }

void Slider::setValue(Float value, bool animated) {
    if (std::isnan(value)) return;
    value = std::clamp(value, min_, max_);
    if (value == value_) return;
    if (animated) {
        // The knob moves through the layer's redraws; the value is set at once.
    }
    value_ = value;
    setNeedsDisplay();
}

void Slider::setMinimumValue(Float value) {
    min_ = value;
    if (max_ < min_) max_ = min_;
    value_ = std::clamp(value_, min_, max_);
    setNeedsDisplay();
}

void Slider::setMaximumValue(Float value) {
    max_ = value;
    if (min_ > max_) min_ = max_;
    value_ = std::clamp(value_, min_, max_);
    setNeedsDisplay();
}

Rect Slider::trackRectForBounds(Rect b) const { return Rect(b.minX() + 2, b.midY() - 4.5f, b.width() - 4, 9); }

Rect Slider::thumbRectForBounds(Rect b, Float value) const {
    Float d = 23;
    Float frac = max_ > min_ ? (value - min_) / (max_ - min_) : 0;
    Float x = b.minX() + frac * (b.width() - d);
    return Rect(x, b.midY() - d / 2, d, d);
}

void Slider::trackTo(const Touch& touch) {
    Rect b = bounds();
    Float d = 23;
    Float x = touch.locationInView(this).x - d / 2;
    Float frac = b.width() > d ? std::clamp<Float>((x - b.minX()) / (b.width() - d), 0, 1) : 0;
    Float v = min_ + frac * (max_ - min_);
    if (v != value_) {
        value_ = v;
        changed_ = true;
        setNeedsDisplay();
        if (continuous_) sendActionsForControlEvents(ControlEvents::ValueChanged);
    }
}

bool Slider::beginTrackingWithTouch(const Touch& touch, const Event* event) {
    (void)event;
    changed_ = false;
    trackTo(touch);
    return true;
}

bool Slider::continueTrackingWithTouch(const Touch& touch, const Event* event) {
    (void)event;
    trackTo(touch);
    return true;
}

void Slider::endTrackingWithTouch(const Touch& touch, const Event* event) {
    (void)event;
    trackTo(touch);
    if (changed_ && !continuous_) sendActionsForControlEvents(ControlEvents::ValueChanged);
    changed_ = false;
}

Size Slider::sizeThatFits(Size size) const { return Size(size.width > 0 ? size.width : 118, 23); }

void Slider::drawRect(gfx::Context& ctx, Rect rect) {
    (void)rect;
    Rect b = bounds();
    Rect track = trackRectForBounds(b);
    Rect thumb = thumbRectForBounds(b, value_);
    gfx::Color tint = minTint_.value_or(palette::sliderTint());
    {
        gfx::SavedState saved(ctx);
        ctx.beginPath();
        draw::addRoundedRect(ctx, track, 4.5f);
        ctx.clip();
        draw::fillVerticalGradient(ctx, Rect(track.minX(), track.minY(), thumb.midX() - track.minX(), track.height()),
                                   draw::darker(tint, 0.2f), draw::lighter(tint, 0.3f));
        draw::fillVerticalGradient(ctx, Rect(thumb.midX(), track.minY(), track.maxX() - thumb.midX(), track.height()),
                                   palette::sliderTrackTop(), palette::sliderTrackBottom());
    }
    draw::strokeRoundedRect(ctx, track, 4.5f, palette::sliderTrackEdge(), 1);
    {
        gfx::SavedState saved(ctx);
        ctx.setShadow(Size(0, 1), 2, gfx::Color::black().withAlpha(0.4f));
        ctx.setFillColor(gfx::Color::white());
        ctx.fillEllipseInRect(thumb.inset(0.5f, 0.5f));
    }
    {
        gfx::SavedState saved(ctx);
        ctx.beginPath();
        ctx.addEllipseInRect(thumb.inset(1, 1));
        ctx.clip();
        draw::fillVerticalGradient(ctx, thumb, isHighlighted() ? palette::sliderThumbPressedTop() : gfx::Color::white(),
                                   palette::sliderThumbBottom());
    }
    ctx.setStrokeColor(palette::sliderThumbEdge());
    ctx.setLineWidth(1);
    ctx.strokeEllipseInRect(thumb.inset(0.5f, 0.5f));
}

std::string Slider::accessibleName() const {
    if (!accessibilityLabel().empty()) return accessibilityLabel();
    return "Slider";
}

}  // namespace ui
