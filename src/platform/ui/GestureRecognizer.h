#pragma once
// Gesture recognizers: attached to a view, they watch the touches that hit
// the view and report a gesture to their actions. Pinch and tap are given.
#include <functional>
#include <memory>
#include <vector>

#include "platform/ui/Event.h"

namespace ui {

class View;
class GestureRecognizer;

enum class GestureRecognizerState { Possible, Began, Changed, Ended, Cancelled, Failed, Recognized = Ended };

class GestureRecognizerDelegate {
public:
    virtual ~GestureRecognizerDelegate() = default;
    virtual bool gestureRecognizerShouldBegin(GestureRecognizer& recognizer) {
        (void)recognizer;
        return true;
    }
    virtual bool shouldReceiveTouch(GestureRecognizer& recognizer, const Touch& touch) {
        (void)recognizer, (void)touch;
        return true;
    }
    virtual bool shouldRecognizeSimultaneouslyWithGestureRecognizer(GestureRecognizer& recognizer,
                                                                    GestureRecognizer& other) {
        (void)recognizer, (void)other;
        return false;
    }
};

class GestureRecognizer : public std::enable_shared_from_this<GestureRecognizer> {
public:
    using Action = std::function<void(GestureRecognizer& recognizer)>;
    GestureRecognizer() = default;
    explicit GestureRecognizer(Action action);
    virtual ~GestureRecognizer() = default;

    void addTarget(Action action);
    void removeAllTargets() { actions_.clear(); }
    GestureRecognizerState state() const { return state_; }
    std::shared_ptr<View> view() const { return view_.lock(); }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled);
    // While recognized, the touches are cancelled in the view.
    bool cancelsTouchesInView() const { return cancelsTouchesInView_; }
    void setCancelsTouchesInView(bool cancels) { cancelsTouchesInView_ = cancels; }
    std::shared_ptr<GestureRecognizerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<GestureRecognizerDelegate> delegate) { delegate_ = std::move(delegate); }
    // The centroid of the touches in view's coordinates.
    Point locationInView(const View* view) const;
    std::size_t numberOfTouches() const { return touches_.size(); }
    Point locationOfTouch(std::size_t index, const View* view) const;

    // Fed by the application with the touches that hit the view.
    virtual void touchesBegan(const TouchSet& touches, const Event* event);
    virtual void touchesMoved(const TouchSet& touches, const Event* event);
    virtual void touchesEnded(const TouchSet& touches, const Event* event);
    virtual void touchesCancelled(const TouchSet& touches, const Event* event);
    virtual void reset();

protected:
    void setState(GestureRecognizerState state);
    TouchSet touches_;

private:
    friend class View;
    std::weak_ptr<View> view_;
    std::weak_ptr<GestureRecognizerDelegate> delegate_;
    std::vector<Action> actions_;
    GestureRecognizerState state_ = GestureRecognizerState::Possible;
    bool enabled_ = true;
    bool cancelsTouchesInView_ = true;
};

// Two fingers moving apart or together: scale is the ratio of their
// distance to the distance when the pinch began.
class PinchGestureRecognizer : public GestureRecognizer {
public:
    using GestureRecognizer::GestureRecognizer;
    Float scale() const { return scale_; }
    void setScale(Float scale) {
        scale_ = scale;
        startDistance_ = currentDistance();
    }
    // Scale factor per second.
    Float velocity() const { return velocity_; }

    void touchesBegan(const TouchSet& touches, const Event* event) override;
    void touchesMoved(const TouchSet& touches, const Event* event) override;
    void touchesEnded(const TouchSet& touches, const Event* event) override;
    void touchesCancelled(const TouchSet& touches, const Event* event) override;
    void reset() override;

private:
    Float currentDistance() const;
    Float scale_ = 1;
    Float velocity_ = 0;
    Float startDistance_ = 0;
    double lastTime_ = 0;
};

// A tap (or several) with one finger that does not move far.
class TapGestureRecognizer : public GestureRecognizer {
public:
    using GestureRecognizer::GestureRecognizer;
    int numberOfTapsRequired() const { return tapsRequired_; }
    void setNumberOfTapsRequired(int taps) { tapsRequired_ = taps; }

    void touchesBegan(const TouchSet& touches, const Event* event) override;
    void touchesMoved(const TouchSet& touches, const Event* event) override;
    void touchesEnded(const TouchSet& touches, const Event* event) override;
    void touchesCancelled(const TouchSet& touches, const Event* event) override;

private:
    int tapsRequired_ = 1;
    Point start_;
};

}  // namespace ui
