#include "platform/ui/ActivityIndicatorView.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/gfx/Context.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/Palette.h"

namespace ui {

ActivityIndicatorView::ActivityIndicatorView(ActivityIndicatorViewStyle style) : style_(style) {
    Size s = sizeThatFits(Size());
    setFrame(Rect(Point(), s));
    setOpaque(false);
    setUserInteractionEnabled(false);
    setHidden(true);
    setAccessibilityLabel("In progress");
}

ActivityIndicatorView::~ActivityIndicatorView() {
    if (timer_) timer_->invalidate();
}

void ActivityIndicatorView::setActivityIndicatorViewStyle(ActivityIndicatorViewStyle style) {
    style_ = style;
    Rect f = frame();
    Size s = sizeThatFits(Size());
    setFrame(Rect(f.midX() - s.width / 2, f.midY() - s.height / 2, s.width, s.height));
    setNeedsDisplay();
}

Size ActivityIndicatorView::sizeThatFits(Size size) const {
    (void)size;
    return style_ == ActivityIndicatorViewStyle::WhiteLarge ? Size(37, 37) : Size(20, 20);
}

void ActivityIndicatorView::startAnimating() {
    animating_ = true;
    setHidden(false);
    updateTimer();
}

void ActivityIndicatorView::stopAnimating() {
    animating_ = false;
    if (hidesWhenStopped_) setHidden(true);
    updateTimer();
}

void ActivityIndicatorView::setHidesWhenStopped(bool hides) {
    hidesWhenStopped_ = hides;
    setHidden(hides && !animating_);
}

void ActivityIndicatorView::didMoveToWindow() { updateTimer(); }

void ActivityIndicatorView::updateTimer() {
    // Turn only while animating and on screen (an idle program uses no time).
    bool run = animating_ && window();
    if (run && !timer_) {
        std::weak_ptr<View> weak = weak_from_this();
        timer_ = base::Timer::scheduledTimer(1.0 / 12, true, [weak](base::Timer& t) {
            auto self = std::static_pointer_cast<ActivityIndicatorView>(weak.lock());
            if (!self) {
                t.invalidate();
                return;
            }
            self->step_ = (self->step_ + 1) % 12;
            self->setNeedsDisplay();
        });
    } else if (!run && timer_) {
        timer_->invalidate();
        timer_.reset();
    }
}

void ActivityIndicatorView::drawRect(gfx::Context& ctx, Rect rect) {
    (void)rect;
    Rect b = bounds();
    gfx::Color base =
        color_.value_or(style_ == ActivityIndicatorViewStyle::Gray ? palette::grayActivity() : gfx::Color::white());
    Float r = std::min(b.width(), b.height()) / 2;
    Float inner = r * 0.45f, width = std::max<Float>(2, r * 0.22f);
    gfx::SavedState saved(ctx);
    ctx.setLineCap(gfx::LineCap::Round);
    ctx.setLineWidth(width);
    for (int i = 0; i < 12; ++i) {
        int age = (step_ - i + 12) % 12;
        Float alpha = 1.0f - age / 12.0f * 0.85f;
        double angle = i * std::numbers::pi / 6 - std::numbers::pi / 2;
        Float c = static_cast<Float>(std::cos(angle)), s = static_cast<Float>(std::sin(angle));
        ctx.setStrokeColor(base.withAlpha(alpha));
        ctx.beginPath();
        ctx.moveTo(b.midX() + c * inner, b.midY() + s * inner);
        ctx.lineTo(b.midX() + c * (r - width / 2), b.midY() + s * (r - width / 2));
        ctx.strokePath();
    }
}

ProgressView::ProgressView(ProgressViewStyle style) : View(Rect(0, 0, 150, 9)), style_(style) {
    setOpaque(false);
    setUserInteractionEnabled(false);
}

void ProgressView::setProgress(Float progress) {
    if (std::isnan(progress)) return;
    progress_ = std::clamp<Float>(progress, 0, 1);
    setNeedsDisplay();
}

Size ProgressView::sizeThatFits(Size size) const { return Size(size.width > 0 ? size.width : 150, 9); }

void ProgressView::drawRect(gfx::Context& ctx, Rect rect) {
    (void)rect;
    Rect b = bounds().inset(0.5f, 0.5f);
    Float radius = b.height() / 2;
    bool bar = style_ == ProgressViewStyle::Bar;
    draw::fillVerticalGradient(ctx, b, bar ? palette::progressBarTrackTop() : palette::progressTrackTop(),
                               bar ? palette::progressBarTrackBottom() : palette::progressTrackBottom(), radius);
    if (progress_ > 0) {
        Rect fill(b.minX(), b.minY(), std::max(b.height(), b.width() * progress_), b.height());
        draw::fillVerticalGradient(ctx, fill, palette::progressTop(), palette::progressBottom(), radius);
    }
    draw::strokeRoundedRect(ctx, b, radius, palette::progressEdge(), 1);
}

}  // namespace ui
