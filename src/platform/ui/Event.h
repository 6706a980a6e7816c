#pragma once
// Touches, events and the responder chain. The application turns the host's
// pointer presses into touches, hit-tests them to a view and sends them along
// the responder chain (view, its controller, the superview, ..., the window,
// the application).
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/Types.h"

namespace ui {

class View;
class Window;
class GestureRecognizer;

enum class TouchPhase { Began, Moved, Stationary, Ended, Cancelled };

class Touch {
public:
    TouchPhase phase() const { return phase_; }
    // Taps in quick succession at the same place (1 for a single tap).
    int tapCount() const { return tapCount_; }
    double timestamp() const { return timestamp_; }
    // The view the touch began in (it stays with that view while it moves).
    std::shared_ptr<View> view() const { return view_.lock(); }
    std::shared_ptr<Window> window() const { return window_.lock(); }
    // The location in the coordinates of view (null: window coordinates).
    Point locationInView(const View* view) const;
    Point previousLocationInView(const View* view) const;
    Point locationInView(const std::shared_ptr<View>& view) const { return locationInView(view.get()); }
    Point previousLocationInView(const std::shared_ptr<View>& view) const { return previousLocationInView(view.get()); }

    // Host side: the identity of the finger or pointer.
    int identifier() const { return identifier_; }

private:
    friend class Application;
    friend class GestureRecognizer;
    TouchPhase phase_ = TouchPhase::Began;
    int tapCount_ = 1;
    double timestamp_ = 0;
    int identifier_ = 0;
    Point location_;          // window coordinates
    Point previousLocation_;  // window coordinates
    std::weak_ptr<View> view_;
    std::weak_ptr<Window> window_;
    std::vector<std::weak_ptr<GestureRecognizer>> recognizers_;
};

using TouchSet = std::vector<std::shared_ptr<Touch>>;

enum class EventType { Touches, Motion, RemoteControl };
enum class EventSubtype { None = 0, MotionShake = 1 };

class Event {
public:
    EventType type() const { return type_; }
    EventSubtype subtype() const { return subtype_; }
    double timestamp() const { return timestamp_; }
    // Every touch of the event (all fingers down).
    const TouchSet& allTouches() const { return touches_; }
    // The touches that belong to view.
    TouchSet touchesForView(const View* view) const;

    Event() = default;
    Event(EventType type, EventSubtype subtype, double timestamp, TouchSet touches = {})
        : type_(type), subtype_(subtype), timestamp_(timestamp), touches_(std::move(touches)) {}

private:
    EventType type_ = EventType::Touches;
    EventSubtype subtype_ = EventSubtype::None;
    double timestamp_ = 0;
    TouchSet touches_;
};

// Something that receives events. The default handlers pass the event on to
// the next responder.
class Responder {
public:
    Responder() = default;
    virtual ~Responder();
    Responder(const Responder&) = delete;
    Responder& operator=(const Responder&) = delete;
    virtual Responder* nextResponder() const { return nullptr; }

    virtual bool canBecomeFirstResponder() const { return false; }
    // Makes this the first responder (the one that receives typed text and
    // motion events); answers whether it did.
    virtual bool becomeFirstResponder();
    virtual bool canResignFirstResponder() const { return true; }
    virtual bool resignFirstResponder();
    bool isFirstResponder() const;

    virtual void touchesBegan(const TouchSet& touches, const Event* event);
    virtual void touchesMoved(const TouchSet& touches, const Event* event);
    virtual void touchesEnded(const TouchSet& touches, const Event* event);
    virtual void touchesCancelled(const TouchSet& touches, const Event* event);

    virtual void motionBegan(EventSubtype motion, const Event* event);
    virtual void motionEnded(EventSubtype motion, const Event* event);
    virtual void motionCancelled(EventSubtype motion, const Event* event);

    // Text input, for responders that take it (text fields, text views).
    virtual void insertText(const std::string& text);
    virtual void deleteBackward();
    // The return key.
    virtual void returnKeyPressed();
    // The edit commands of a text input. paste puts the text in at the
    // caret as if it were typed, within the input's limits; copiedText is
    // what a copy takes (none where the input lets nothing be copied);
    // selectAll selects the whole text, which what is typed next replaces.
    virtual void paste(const std::string& text);
    virtual std::optional<std::string> copiedText() const;
    virtual void selectAll();
};

}  // namespace ui
