#include "platform/ui/Control.h"

#include <algorithm>

namespace ui {

Control::ActionToken Control::addTarget(Action action, unsigned events) {
    if (!action || events == 0) return 0;
    ActionToken token = nextToken_++;
    actions_.push_back(Entry{token, events, std::move(action)});
    return token;
}

Control::ActionToken Control::addTarget(std::function<void()> action, unsigned events) {
    if (!action) return 0;
    return addTarget([fn = std::move(action)](Control&) { fn(); }, events);
}

void Control::removeTarget(ActionToken token) {
    actions_.erase(std::remove_if(actions_.begin(), actions_.end(), [&](auto& e) { return e.token == token; }),
                   actions_.end());
}

void Control::removeTargets(unsigned events) {
    for (auto& e : actions_) e.events &= ~events;
    actions_.erase(std::remove_if(actions_.begin(), actions_.end(), [](auto& e) { return e.events == 0; }),
                   actions_.end());
}

void Control::sendActionsForControlEvents(unsigned events) {
    // Actions may add or remove actions, or drop the last owner of the
    // control: work on a copy and keep the control alive.
    auto keep = weak_from_this().lock();
    auto list = actions_;
    for (auto& e : list)
        if (e.events & events) e.action(*this);
}

unsigned Control::allControlEvents() const {
    unsigned all = 0;
    for (auto& e : actions_) all |= e.events;
    return all;
}

void Control::setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    if (!enabled) highlighted_ = false;
    setNeedsDisplay();
}

void Control::setSelected(bool selected) {
    if (selected_ == selected) return;
    selected_ = selected;
    setNeedsDisplay();
}

void Control::setHighlighted(bool highlighted) {
    if (highlighted_ == highlighted) return;
    highlighted_ = highlighted;
    setNeedsDisplay();
}

unsigned Control::state() const {
    unsigned s = ControlState::Normal;
    if (highlighted_) s |= ControlState::Highlighted;
    if (!enabled_) s |= ControlState::Disabled;
    if (selected_) s |= ControlState::Selected;
    return s;
}

bool Control::beginTrackingWithTouch(const Touch& touch, const Event* event) {
    (void)touch, (void)event;
    return true;
}
bool Control::continueTrackingWithTouch(const Touch& touch, const Event* event) {
    (void)touch, (void)event;
    return true;
}
void Control::endTrackingWithTouch(const Touch& touch, const Event* event) { (void)touch, (void)event; }
void Control::cancelTrackingWithEvent(const Event* event) { (void)event; }

namespace {
// Touches that stray this far outside still count as inside.
bool insideWithSlop(const Control& c, Point p) { return c.bounds().inset(-40, -40).contains(p); }
}  // namespace

void Control::touchesBegan(const TouchSet& touches, const Event* event) {
    if (touches.empty() || !isEnabled()) return;
    auto keep = weak_from_this().lock();
    const Touch& touch = *touches.front();
    touchInside_ = true;
    tracking_ = beginTrackingWithTouch(touch, event);
    setHighlighted(true);
    sendActionsForControlEvents(touch.tapCount() > 1 ? (ControlEvents::TouchDown | ControlEvents::TouchDownRepeat)
                                                     : ControlEvents::TouchDown);
}

void Control::touchesMoved(const TouchSet& touches, const Event* event) {
    if (touches.empty() || !isEnabled()) return;
    auto keep = weak_from_this().lock();
    const Touch& touch = *touches.front();
    bool inside = insideWithSlop(*this, touch.locationInView(this));
    bool was = touchInside_;
    touchInside_ = inside;
    setHighlighted(inside);
    if (tracking_) tracking_ = continueTrackingWithTouch(touch, event);
    if (inside != was)
        sendActionsForControlEvents(inside ? ControlEvents::TouchDragEnter : ControlEvents::TouchDragExit);
    sendActionsForControlEvents(inside ? ControlEvents::TouchDragInside : ControlEvents::TouchDragOutside);
}

void Control::touchesEnded(const TouchSet& touches, const Event* event) {
    if (touches.empty()) return;
    auto keep = weak_from_this().lock();
    const Touch& touch = *touches.front();
    bool inside = insideWithSlop(*this, touch.locationInView(this));
    bool wasEnabled = isEnabled();
    if (tracking_) endTrackingWithTouch(touch, event);
    tracking_ = false;
    touchInside_ = false;
    setHighlighted(false);
    if (!wasEnabled) return;
    sendActionsForControlEvents(inside ? ControlEvents::TouchUpInside : ControlEvents::TouchUpOutside);
}

void Control::touchesCancelled(const TouchSet& touches, const Event* event) {
    (void)touches;
    auto keep = weak_from_this().lock();
    if (tracking_) cancelTrackingWithEvent(event);
    tracking_ = false;
    touchInside_ = false;
    setHighlighted(false);
    sendActionsForControlEvents(ControlEvents::TouchCancel);
}

std::string Control::accessibleName() const {
    if (!accessibilityLabel().empty()) return accessibilityLabel();
    std::string t = displayedText();
    if (!t.empty()) return t;
    return className();
}

void Control::collectAccessibleElements(std::vector<AccessibleElement>& out) const {
    if (!isUserInteractionEnabled()) return;
    AccessibleElement e;
    e.label = accessibleName();
    e.className = className();
    e.frame = convertRectToView(bounds(), nullptr);
    e.enabled = isEnabled();
    e.view = std::const_pointer_cast<View>(shared_from_this());
    out.push_back(std::move(e));
    // A control that has a label and also shows a different text can be
    // named by either.
    std::string shown = displayedText();
    if (!shown.empty() && shown != out.back().label) {
        AccessibleElement alt = out.back();
        alt.label = shown;
        out.push_back(std::move(alt));
    }
}

}  // namespace ui
