#pragma once
// Controls: views that send actions for control events (touch up inside,
// value changed, editing...). A target/action pair is a function here.
#include <functional>
#include <memory>
#include <vector>

#include "platform/ui/View.h"

namespace ui {

// Control events (a bit set).
namespace ControlEvents {
inline constexpr unsigned TouchDown = 1 << 0;
inline constexpr unsigned TouchDownRepeat = 1 << 1;
inline constexpr unsigned TouchDragInside = 1 << 2;
inline constexpr unsigned TouchDragOutside = 1 << 3;
inline constexpr unsigned TouchDragEnter = 1 << 4;
inline constexpr unsigned TouchDragExit = 1 << 5;
inline constexpr unsigned TouchUpInside = 1 << 6;
inline constexpr unsigned TouchUpOutside = 1 << 7;
inline constexpr unsigned TouchCancel = 1 << 8;
inline constexpr unsigned ValueChanged = 1 << 12;
inline constexpr unsigned EditingDidBegin = 1 << 16;
inline constexpr unsigned EditingChanged = 1 << 17;
inline constexpr unsigned EditingDidEnd = 1 << 18;
inline constexpr unsigned EditingDidEndOnExit = 1 << 19;
inline constexpr unsigned AllTouchEvents = 0x00000FFF;
inline constexpr unsigned AllEditingEvents = 0x000F0000;
inline constexpr unsigned AllEvents = 0xFFFFFFFF;
}  // namespace ControlEvents

// Control states (a bit set; Normal is none of them).
namespace ControlState {
inline constexpr unsigned Normal = 0;
inline constexpr unsigned Highlighted = 1 << 0;
inline constexpr unsigned Disabled = 1 << 1;
inline constexpr unsigned Selected = 1 << 2;
}  // namespace ControlState

enum class ControlContentHorizontalAlignment { Center, Left, Right, Fill };
enum class ControlContentVerticalAlignment { Center, Top, Bottom, Fill };

class Control : public View {
public:
    using View::View;
    std::string className() const override { return "Control"; }

    // An action: called with the control that sent it.
    using Action = std::function<void(Control& sender)>;
    using ActionToken = unsigned long;
    // Adds an action for the events; answers a token for removeTarget().
    ActionToken addTarget(Action action, unsigned events);
    ActionToken addTarget(std::function<void()> action, unsigned events);
    void removeTarget(ActionToken token);
    // Removes every action for the events.
    void removeTargets(unsigned events);
    // Calls the actions registered for any of the events, in the order added.
    void sendActionsForControlEvents(unsigned events);
    // The events some action is registered for.
    unsigned allControlEvents() const;

    bool isEnabled() const { return enabled_; }
    virtual void setEnabled(bool enabled);
    bool isSelected() const { return selected_; }
    virtual void setSelected(bool selected);
    bool isHighlighted() const { return highlighted_; }
    virtual void setHighlighted(bool highlighted);
    unsigned state() const;
    bool isTracking() const { return tracking_; }
    bool isTouchInside() const { return touchInside_; }
    ControlContentHorizontalAlignment contentHorizontalAlignment() const { return hAlign_; }
    void setContentHorizontalAlignment(ControlContentHorizontalAlignment a) {
        hAlign_ = a;
        setNeedsDisplay();
    }
    ControlContentVerticalAlignment contentVerticalAlignment() const { return vAlign_; }
    void setContentVerticalAlignment(ControlContentVerticalAlignment a) {
        vAlign_ = a;
        setNeedsDisplay();
    }

    // Tracking: the default touch handling calls these and sends the touch
    // events (down, drag inside/outside, up inside/outside, cancel).
    virtual bool beginTrackingWithTouch(const Touch& touch, const Event* event);
    virtual bool continueTrackingWithTouch(const Touch& touch, const Event* event);
    virtual void endTrackingWithTouch(const Touch& touch, const Event* event);
    virtual void cancelTrackingWithEvent(const Event* event);

    void touchesBegan(const TouchSet& touches, const Event* event) override;
    void touchesMoved(const TouchSet& touches, const Event* event) override;
    void touchesEnded(const TouchSet& touches, const Event* event) override;
    void touchesCancelled(const TouchSet& touches, const Event* event) override;

    // Whether a drag that begins on the control stays with it inside a
    // scroll view (sliders, switches) instead of scrolling.
    virtual bool keepsTouchesInScrollView() const { return false; }

    void collectAccessibleElements(std::vector<AccessibleElement>& out) const override;
    // The name a script or screen reader uses: the accessibility label if
    // set, else the shown text, else what the control is.
    virtual std::string accessibleName() const;

private:
    struct Entry {
        ActionToken token;
        unsigned events;
        Action action;
    };
    std::vector<Entry> actions_;
    ActionToken nextToken_ = 1;
    bool enabled_ = true;
    bool selected_ = false;
    bool highlighted_ = false;
    bool tracking_ = false;
    bool touchInside_ = false;
    ControlContentHorizontalAlignment hAlign_ = ControlContentHorizontalAlignment::Center;
    ControlContentVerticalAlignment vAlign_ = ControlContentVerticalAlignment::Center;
};

}  // namespace ui
