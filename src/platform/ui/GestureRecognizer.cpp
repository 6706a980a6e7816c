#include "platform/ui/GestureRecognizer.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/View.h"

namespace ui {

GestureRecognizer::GestureRecognizer(Action action) { addTarget(std::move(action)); }

void GestureRecognizer::addTarget(Action action) {
    if (action) actions_.push_back(std::move(action));
}

void GestureRecognizer::setEnabled(bool enabled) {
    enabled_ = enabled;
    if (!enabled && (state_ == GestureRecognizerState::Began || state_ == GestureRecognizerState::Changed))
        setState(GestureRecognizerState::Cancelled);
    if (!enabled) reset();
}

void GestureRecognizer::setState(GestureRecognizerState state) {
    if (state == GestureRecognizerState::Began)
        if (auto d = delegate(); d && !d->gestureRecognizerShouldBegin(*this)) state = GestureRecognizerState::Failed;
    state_ = state;
    if (state == GestureRecognizerState::Began || state == GestureRecognizerState::Changed ||
        state == GestureRecognizerState::Ended || state == GestureRecognizerState::Cancelled) {
        auto keep = weak_from_this().lock();
        auto list = actions_;
        for (auto& a : list) a(*this);
    }
}

Point GestureRecognizer::locationInView(const View* view) const {
    if (touches_.empty()) return Point();
    Float x = 0, y = 0;
    for (auto& t : touches_) {
        Point p = t->locationInView(view);
        x += p.x;
        y += p.y;
    }
    return Point(x / touches_.size(), y / touches_.size());
}

Point GestureRecognizer::locationOfTouch(std::size_t index, const View* view) const {
    if (index >= touches_.size()) return Point();
    return touches_[index]->locationInView(view);
}

namespace {
void addTouches(TouchSet& into, const TouchSet& touches) {
    for (auto& t : touches)
        if (std::find(into.begin(), into.end(), t) == into.end()) into.push_back(t);
}
void removeTouches(TouchSet& from, const TouchSet& touches) {
    for (auto& t : touches) from.erase(std::remove(from.begin(), from.end(), t), from.end());
}
}  // namespace

void GestureRecognizer::touchesBegan(const TouchSet& touches, const Event* event) {
    (void)event;
    addTouches(touches_, touches);
}
void GestureRecognizer::touchesMoved(const TouchSet& touches, const Event* event) { (void)touches, (void)event; }
void GestureRecognizer::touchesEnded(const TouchSet& touches, const Event* event) {
    (void)event;
    removeTouches(touches_, touches);
}
void GestureRecognizer::touchesCancelled(const TouchSet& touches, const Event* event) {
    (void)event;
    removeTouches(touches_, touches);
    if (state_ == GestureRecognizerState::Began || state_ == GestureRecognizerState::Changed)
        setState(GestureRecognizerState::Cancelled);
}
void GestureRecognizer::reset() {
    state_ = GestureRecognizerState::Possible;
    touches_.clear();
}

// ---- Pinch

Float PinchGestureRecognizer::currentDistance() const {
    if (touches_.size() < 2) return 0;
    Point a = touches_[0]->locationInView(nullptr), b = touches_[1]->locationInView(nullptr);
    return std::hypot(a.x - b.x, a.y - b.y);
}

void PinchGestureRecognizer::touchesBegan(const TouchSet& touches, const Event* event) {
    GestureRecognizer::touchesBegan(touches, event);
    if (touches_.size() >= 2 && state() == GestureRecognizerState::Possible) {
        startDistance_ = currentDistance();
        lastTime_ = touches_.back()->timestamp();
    }
}

void PinchGestureRecognizer::touchesMoved(const TouchSet& touches, const Event* event) {
    (void)touches, (void)event;
    if (touches_.size() < 2 || startDistance_ <= 0) return;
    Float d = currentDistance();
    Float newScale = d / startDistance_;
    double t = touches_.back()->timestamp();
    if (t > lastTime_) velocity_ = static_cast<Float>((newScale - scale_) / (t - lastTime_));
    lastTime_ = t;
    auto s = state();
    if (s == GestureRecognizerState::Possible) {
        // A pinch begins once the fingers have moved apart or together a bit.
        if (std::abs(d - startDistance_) < 4) return;
        scale_ = newScale;
        setState(GestureRecognizerState::Began);
    } else if (s == GestureRecognizerState::Began || s == GestureRecognizerState::Changed) {
        scale_ = newScale;
        setState(GestureRecognizerState::Changed);
    }
}

void PinchGestureRecognizer::touchesEnded(const TouchSet& touches, const Event* event) {
    auto s = state();
    GestureRecognizer::touchesEnded(touches, event);
    if ((s == GestureRecognizerState::Began || s == GestureRecognizerState::Changed) && touches_.size() < 2)
        setState(GestureRecognizerState::Ended);
    else if (s == GestureRecognizerState::Possible && touches_.empty()) setState(GestureRecognizerState::Failed);
}

void PinchGestureRecognizer::touchesCancelled(const TouchSet& touches, const Event* event) {
    GestureRecognizer::touchesCancelled(touches, event);
}

void PinchGestureRecognizer::reset() {
    GestureRecognizer::reset();
    scale_ = 1;
    velocity_ = 0;
    startDistance_ = 0;
}

// ---- Tap

void TapGestureRecognizer::touchesBegan(const TouchSet& touches, const Event* event) {
    GestureRecognizer::touchesBegan(touches, event);
    if (!touches.empty()) start_ = touches.front()->locationInView(nullptr);
    if (touches_.size() > 1) setState(GestureRecognizerState::Failed);
}

void TapGestureRecognizer::touchesMoved(const TouchSet& touches, const Event* event) {
    (void)event;
    if (touches.empty() || state() != GestureRecognizerState::Possible) return;
    Point p = touches.front()->locationInView(nullptr);
    if (std::hypot(p.x - start_.x, p.y - start_.y) > 10) setState(GestureRecognizerState::Failed);
}

void TapGestureRecognizer::touchesEnded(const TouchSet& touches, const Event* event) {
    int taps = touches.empty() ? 0 : touches.front()->tapCount();
    GestureRecognizer::touchesEnded(touches, event);
    if (state() == GestureRecognizerState::Possible && taps >= tapsRequired_) setState(GestureRecognizerState::Ended);
}

void TapGestureRecognizer::touchesCancelled(const TouchSet& touches, const Event* event) {
    GestureRecognizer::touchesCancelled(touches, event);
    setState(GestureRecognizerState::Failed);
}

}  // namespace ui
