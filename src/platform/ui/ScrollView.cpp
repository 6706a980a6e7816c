#include "platform/ui/ScrollView.h"

#include <algorithm>
#include <cmath>

#include "platform/base/Clock.h"
#include "platform/gfx/Context.h"
#include "platform/ui/AnimationEngine.h"
#include "platform/ui/Application.h"
#include "platform/ui/Drawing.h"

namespace ui {

namespace {
double now() { return base::Clock::current().now(); }
constexpr double kIndicatorLinger = 0.6;
}  // namespace

ScrollView::ScrollView() : ScrollView(Rect()) {}

ScrollView::ScrollView(Rect frame) : View(frame) {
    setClipsToBounds(true);
    setWantsOverlay(true);
}

ScrollView::~ScrollView() {
    if (animationTimer_) animationTimer_->invalidate();
}

void ScrollView::setContentSize(Size size) {
    if (size == contentSize_) return;
    contentSize_ = size;
    setNeedsDisplay();
}

Point ScrollView::contentOffset() const { return bounds().origin; }

void ScrollView::setContentOffset(Point offset) {
    if (!offset.isFiniteValue()) return;
    Rect b = bounds();
    if (b.origin == offset) return;
    b.origin = offset;
    setBounds(b);
    indicatorsShownUntil_ = now() + kIndicatorLinger;
    didScroll();
    if (auto d = delegate()) d->scrollViewDidScroll(*this);
}

void ScrollView::setContentOffset(Point offset, bool animated) {
    if (!animated || !View::areAnimationsEnabled()) {
        stopOffsetAnimation();
        setContentOffset(offset);
        return;
    }
    animateOffsetTo(offset, 0.3, false);
}

void ScrollView::setContentInset(EdgeInsets insets) {
    contentInset_ = insets;
    setNeedsDisplay();
}

Point ScrollView::minimumOffset() const { return Point(-contentInset_.left, -contentInset_.top); }

Point ScrollView::maximumOffset() const {
    Point min = minimumOffset();
    Rect b = bounds();
    return Point(std::max(min.x, contentSize_.width + contentInset_.right - b.width()),
                 std::max(min.y, contentSize_.height + contentInset_.bottom - b.height()));
}

Point ScrollView::clampOffset(Point o) const {
    Point min = minimumOffset(), max = maximumOffset();
    return Point(std::clamp(o.x, min.x, max.x), std::clamp(o.y, min.y, max.y));
}

void ScrollView::scrollRectToVisible(Rect rect, bool animated) {
    Rect b = bounds();
    Point o = b.origin;
    if (rect.minX() < b.minX()) o.x = rect.minX();
    else if (rect.maxX() > b.maxX()) o.x = rect.maxX() - b.width();
    if (rect.minY() < b.minY()) o.y = rect.minY();
    else if (rect.maxY() > b.maxY()) o.y = rect.maxY() - b.height();
    o = clampOffset(o);
    if (o == b.origin) return;
    setContentOffset(o, animated);
}

void ScrollView::setZoomScale(Float scale, bool animated) {
    scale = std::clamp(scale, minimumZoomScale_, maximumZoomScale_);
    if (scale == zoomScale_) return;
    zoomScale_ = scale;
    auto d = delegate();
    auto view = d ? d->viewForZoomingInScrollView(*this) : nullptr;
    if (view) {
        auto apply = [view, scale] { view->setTransform(AffineTransform::makeScale(scale, scale)); };
        if (animated) View::animate(0.3, apply);
        else apply();
        Rect f = view->frame();
        setContentSize(f.size);
        d->scrollViewDidZoom(*this);
        d->scrollViewDidEndZooming(*this, view.get(), scale);
    }
}

bool ScrollView::canScrollForDrag(Point delta) const {
    if (!scrollEnabled_) return false;
    Point min = minimumOffset(), max = maximumOffset();
    bool h = max.x > min.x || alwaysBounceHorizontal_;
    bool v = max.y > min.y || alwaysBounceVertical_;
    if (std::abs(delta.x) > std::abs(delta.y)) return h;
    return v;
}

Float ScrollView::wheelStep(Float extent) { return extent > 0 ? std::pow(extent, 2.0f / 3.0f) : 0; }

bool ScrollView::scrollWheel(Point point, Float dx, Float dy) {
    (void)point;
    if (!scrollEnabled_) return false;
    Point min = minimumOffset(), max = maximumOffset();
    bool h = max.x > min.x, v = max.y > min.y;
    // A view that scrolls only sideways (a pager) turns with the plain
    // wheel too: away from the user goes back, towards the user forward.
    if (h && !v && dx == 0) {
        dx = -dy;
        dy = 0;
    }
    bool takesX = h && dx != 0, takesY = v && dy != 0;
    if (!takesX && !takesY) return false;
    if (dragging_) return true;  // the finger is in charge
    if (pagingEnabled_) return takesY ? turnPageByWheel(false, -dy) : turnPageByWheel(true, dx);
    stopOffsetAnimation();
    Rect b = bounds();
    Point o = contentOffset();
    if (takesX) o.x += dx * wheelStep(b.width());
    if (takesY) o.y -= dy * wheelStep(b.height());
    setContentOffset(clampOffset(o));
    return true;
}

bool ScrollView::turnPageByWheel(bool horizontal, Float forward) {
    // Every notch turns a page, those that come while a page turns too (the
    // turn goes on past the page it was heading for); a touchpad's small
    // steps add up to notches. Turning back drops steps saved the other way.
    if ((wheelPages_ > 0 && forward < 0) || (wheelPages_ < 0 && forward > 0)) wheelPages_ = 0;
    wheelPages_ += forward;
    const Float whole = std::trunc(wheelPages_);
    if (whole == 0) return true;
    wheelPages_ -= whole;
    Rect b = bounds();
    Float pageSize = horizontal ? b.width() : b.height();
    Float content = horizontal ? contentSize_.width : contentSize_.height;
    if (pageSize <= 0) return true;
    Point o = contentOffset();
    // From the page a turn under way is heading for.
    Point from = animationTimer_ ? animTo_ : o;
    Float at = horizontal ? from.x : from.y;
    Float pages = std::max<Float>(1, std::ceil(content / pageSize - 0.001f));
    Float page = std::clamp<Float>(std::round(at / pageSize) + whole, 0, pages - 1);
    Point target = from;
    (horizontal ? target.x : target.y) = page * pageSize;
    target = clampOffset(target);
    if (target == from) return true;
    if (auto d = delegate(); d && !animationTimer_) d->scrollViewWillBeginDecelerating(*this);
    animateOffsetTo(target, 0.3, true);
    return true;
}

void ScrollView::beginDragAt(Point windowPoint, double timestamp) {
    stopOffsetAnimation();
    decelerating_ = false;
    dragStartWindowPoint_ = windowPoint;
    dragStartOffset_ = contentOffset();
    lastPoint_ = windowPoint;
    lastTime_ = timestamp;
    velocity_ = Point();
    tracking_ = true;
    dragging_ = true;
    indicatorsShownUntil_ = now() + kIndicatorLinger;
    if (auto d = delegate()) d->scrollViewWillBeginDragging(*this);
}

void ScrollView::dragTo(Point p, double timestamp) {
    Point min = minimumOffset(), max = maximumOffset();
    bool h = max.x > min.x || alwaysBounceHorizontal_;
    bool v = max.y > min.y || alwaysBounceVertical_;
    Point delta(p.x - dragStartWindowPoint_.x, p.y - dragStartWindowPoint_.y);
    if (directionalLock_) {
        if (std::abs(delta.x) > std::abs(delta.y)) v = false;
        else h = false;
    }
    Point o = dragStartOffset_;
    if (h) o.x -= delta.x;
    if (v) o.y -= delta.y;
    auto rubber = [&](Float value, Float lo, Float hi) {
        if (value < lo) return bounces_ ? lo - (lo - value) / 2 : lo;
        if (value > hi) return bounces_ ? hi + (value - hi) / 2 : hi;
        return value;
    };
    o.x = rubber(o.x, min.x, max.x);
    o.y = rubber(o.y, min.y, max.y);
    double dt = timestamp - lastTime_;
    if (dt > 0) {
        Point v2(static_cast<Float>((lastPoint_.x - p.x) / dt), static_cast<Float>((lastPoint_.y - p.y) / dt));
        velocity_ = Point(velocity_.x * 0.3f + v2.x * 0.7f, velocity_.y * 0.3f + v2.y * 0.7f);
    }
    lastPoint_ = p;
    lastTime_ = timestamp;
    setContentOffset(o);
}

void ScrollView::endDrag(double timestamp) {
    if (!dragging_) return;
    if (timestamp - lastTime_ > 0.15) velocity_ = Point();  // the finger rested before lifting
    dragging_ = false;
    tracking_ = false;
    Point o = contentOffset();
    Point target = o;
    if (pagingEnabled_) {
        Rect b = bounds();
        auto page = [&](Float start, Float current, Float pageSize, Float velocity, Float content) {
            if (pageSize <= 0) return current;
            Float startPage = std::round(start / pageSize);
            Float moved = current - start;
            Float p = startPage;
            if (std::abs(moved) > pageSize / 2) p = std::round(current / pageSize);
            else if (std::abs(velocity) > 300 && std::abs(moved) > 8) p = startPage + (moved > 0 ? 1 : -1);
            Float pages = std::max<Float>(1, std::ceil(content / pageSize - 0.001f));
            p = std::clamp<Float>(p, 0, pages - 1);
            return p * pageSize;
        };
        Point min = minimumOffset(), max = maximumOffset();
        if (max.x > min.x) target.x = page(dragStartOffset_.x, o.x, b.width(), velocity_.x, contentSize_.width);
        if (max.y > min.y) target.y = page(dragStartOffset_.y, o.y, b.height(), velocity_.y, contentSize_.height);
        target = clampOffset(target);
    } else {
        Point momentum(std::abs(velocity_.x) > 50 ? velocity_.x * 0.35f : 0,
                       std::abs(velocity_.y) > 50 ? velocity_.y * 0.35f : 0);
        target = clampOffset(Point(o.x + momentum.x, o.y + momentum.y));
    }
    bool willDecelerate = !(target == o);
    if (auto d = delegate()) d->scrollViewDidEndDragging(*this, willDecelerate);
    if (willDecelerate) {
        if (auto d = delegate()) d->scrollViewWillBeginDecelerating(*this);
        animateOffsetTo(target, pagingEnabled_ ? 0.3 : 0.5, true);
    }
    setNeedsDisplay();
}

void ScrollView::animateOffsetTo(Point target, double duration, bool endsDecelerating) {
    stopOffsetAnimation();
    animFrom_ = contentOffset();
    animTo_ = target;
    animStart_ = now();
    animDuration_ = duration;
    animEndsDecelerating_ = endsDecelerating;
    decelerating_ = endsDecelerating;
    std::weak_ptr<View> weak = weak_from_this();
    animationTimer_ = base::Timer::scheduledTimer(1.0 / 60.0, true, [weak](base::Timer& t) {
        auto self = std::static_pointer_cast<ScrollView>(weak.lock());
        if (!self) {
            t.invalidate();
            return;
        }
        self->tickOffsetAnimation();
    });
}

void ScrollView::stopOffsetAnimation() {
    if (animationTimer_) animationTimer_->invalidate();
    animationTimer_.reset();
    decelerating_ = false;
}

void ScrollView::tickOffsetAnimation() {
    double t = animDuration_ > 0 ? (now() - animStart_) / animDuration_ : 1;
    if (t >= 1) {
        auto keep = shared_from_this();
        bool decel = animEndsDecelerating_;
        stopOffsetAnimation();
        setContentOffset(animTo_);
        if (auto d = delegate()) {
            if (decel) d->scrollViewDidEndDecelerating(*this);
            else d->scrollViewDidEndScrollingAnimation(*this);
        }
        return;
    }
    double f = animation::ease(AnimationCurve::EaseOut, t);
    setContentOffset(Point(static_cast<Float>(animFrom_.x + (animTo_.x - animFrom_.x) * f),
                           static_cast<Float>(animFrom_.y + (animTo_.y - animFrom_.y) * f)));
}

// ---- Touches that land on the scroll view itself

void ScrollView::touchesBegan(const TouchSet& touches, const Event* event) {
    (void)event;
    if (touches.empty()) return;
    const Touch& t = *touches.front();
    Point p = t.locationInView(nullptr);
    dragStartWindowPoint_ = p;
    tracking_ = true;
    if (decelerating_) stopOffsetAnimation();
}

void ScrollView::touchesMoved(const TouchSet& touches, const Event* event) {
    (void)event;
    if (touches.empty() || !scrollEnabled_) return;
    const Touch& t = *touches.front();
    Point p = t.locationInView(nullptr);
    if (!dragging_) {
        Point delta(p.x - dragStartWindowPoint_.x, p.y - dragStartWindowPoint_.y);
        if (std::hypot(delta.x, delta.y) < 5 || !canScrollForDrag(delta)) return;
        Point start = dragStartWindowPoint_;
        beginDragAt(start, t.timestamp());
    }
    dragTo(p, t.timestamp());
}

void ScrollView::touchesEnded(const TouchSet& touches, const Event* event) {
    (void)event;
    tracking_ = false;
    if (touches.empty()) return;
    if (dragging_) {
        dragTo(touches.front()->locationInView(nullptr), touches.front()->timestamp());
        endDrag(touches.front()->timestamp());
    } else {
        // Left inside the bounds after a rubber band: settle.
        Point o = contentOffset();
        Point c = clampOffset(o);
        if (!(c == o)) animateOffsetTo(c, 0.3, true);
    }
}

void ScrollView::touchesCancelled(const TouchSet& touches, const Event* event) {
    (void)event;
    tracking_ = false;
    if (dragging_) endDrag(touches.empty() ? now() : touches.front()->timestamp());
}

void ScrollView::renderInContextExtras(gfx::Context& context) { drawIndicators(context); }

void ScrollView::drawRect(gfx::Context& context, Rect rect) { View::drawRect(context, rect); }

void ScrollView::drawIndicators(gfx::Context& ctx) {
    bool active = dragging_ || decelerating_ || animationTimer_ || now() < indicatorsShownUntil_;
    if (!active) return;
    Rect b = bounds();
    gfx::Color color = indicatorStyle_ == ScrollViewIndicatorStyle::White ? gfx::Color::white().withAlpha(0.6f)
                                                                          : gfx::Color::black().withAlpha(0.45f);
    Float thickness = 5;
    if (showsVertical_ && contentSize_.height > b.height() + 1) {
        Float track = b.height() - 4 - indicatorInsets_.top - indicatorInsets_.bottom;
        Float len = std::max<Float>(18, track * b.height() / contentSize_.height);
        Float range = std::max<Float>(1, contentSize_.height - b.height());
        Float frac = std::clamp<Float>((b.minY()) / range, 0, 1);
        Float y = b.minY() + 2 + indicatorInsets_.top + (track - len) * frac;
        draw::fillRoundedRect(ctx, Rect(b.maxX() - thickness - 2 - verticalIndicatorRightInset(), y, thickness, len),
                              thickness / 2, color);
    }
    if (showsHorizontal_ && contentSize_.width > b.width() + 1) {
        Float track = b.width() - 4;
        Float len = std::max<Float>(18, track * b.width() / contentSize_.width);
        Float range = std::max<Float>(1, contentSize_.width - b.width());
        Float frac = std::clamp<Float>((b.minX()) / range, 0, 1);
        Float x = b.minX() + 2 + (track - len) * frac;
        draw::fillRoundedRect(ctx, Rect(x, b.maxY() - thickness - 2, len, thickness), thickness / 2, color);
    }
    if (!dragging_ && !decelerating_ && !animationTimer_) {
        // Redraw once more when the indicators fade.
        std::weak_ptr<View> weak = weak_from_this();
        base::RunLoop::main().performAfterDelay(std::max(0.05, indicatorsShownUntil_ - now()), [weak] {
            if (auto self = weak.lock()) self->setNeedsDisplay();
        });
    }
}

}  // namespace ui
