#pragma once
// The view: a rectangle of the screen backed by a gfx::Layer, with
// subviews, drawing, layout, hit testing and touch handling, and the view
// animations (property changes interpolated on the clock, and transitions).
//
// Views are shared objects: make them with std::make_shared. A view owns its
// subviews; the superview and window are non-owning back pointers.
#include <any>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gfx/Color.h"
#include "platform/ui/Event.h"
#include "platform/ui/Types.h"

namespace gfx {
class Context;
class Layer;
class LayerDelegate;
}  // namespace gfx

namespace ui {

class ViewController;
class GestureRecognizer;
class Window;
struct ViewAnimationState;

enum class AnimationCurve { EaseInOut = 0, EaseIn, EaseOut, Linear };

enum class AnimationTransition { None = 0, FlipFromLeft, FlipFromRight, CurlUp, CurlDown };

// Options of the block-style animations (a bit set).
namespace AnimationOptions {
inline constexpr unsigned None = 0;
inline constexpr unsigned AllowUserInteraction = 1 << 1;
inline constexpr unsigned BeginFromCurrentState = 1 << 2;
inline constexpr unsigned Repeat = 1 << 3;
inline constexpr unsigned Autoreverse = 1 << 4;
inline constexpr unsigned CurveEaseInOut = 0 << 16;
inline constexpr unsigned CurveEaseIn = 1 << 16;
inline constexpr unsigned CurveEaseOut = 2 << 16;
inline constexpr unsigned CurveLinear = 3 << 16;
inline constexpr unsigned TransitionNone = 0 << 20;
inline constexpr unsigned TransitionFlipFromLeft = 1 << 20;
inline constexpr unsigned TransitionFlipFromRight = 2 << 20;
inline constexpr unsigned TransitionCurlUp = 3 << 20;
inline constexpr unsigned TransitionCurlDown = 4 << 20;
inline constexpr unsigned TransitionCrossDissolve = 5 << 20;
}  // namespace AnimationOptions

// One element that scripts and screen readers can name: a control, a table
// row, a segment, a picker row, a bar button... with its frame in window
// coordinates.
struct AccessibleElement {
    std::string label;      // title, text or accessibility label
    std::string className;  // "Button", "TableViewCell", ...
    Rect frame;             // window (screen) coordinates
    bool enabled = true;
    std::weak_ptr<View> view;
};

class View : public Responder, public std::enable_shared_from_this<View> {
public:
    View();
    explicit View(Rect frame);
    ~View() override;
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    // The class name shown by the tree dump ("View", "Label", ...).
    virtual std::string className() const { return "View"; }

    // --- Geometry. The frame is in the superview's coordinates; bounds is
    // the view's own coordinate space; center is the frame's centre.
    Rect frame() const;
    virtual void setFrame(Rect frame);
    Rect bounds() const;
    virtual void setBounds(Rect bounds);
    Point center() const;
    void setCenter(Point center);
    AffineTransform transform() const;
    void setTransform(AffineTransform transform);
    unsigned autoresizingMask() const { return autoresizingMask_; }
    void setAutoresizingMask(unsigned mask) { autoresizingMask_ = mask; }
    bool autoresizesSubviews() const { return autoresizesSubviews_; }
    void setAutoresizesSubviews(bool value) { autoresizesSubviews_ = value; }
    ContentMode contentMode() const { return contentMode_; }
    void setContentMode(ContentMode mode);
    virtual Size sizeThatFits(Size size) const;
    void sizeToFit();

    // --- Appearance.
    Float alpha() const;
    void setAlpha(Float alpha);
    bool isHidden() const { return hidden_; }
    void setHidden(bool hidden);
    bool isOpaque() const { return opaque_; }
    void setOpaque(bool opaque) { opaque_ = opaque; }
    // Clear (fully transparent) unless set.
    gfx::Color backgroundColor() const;
    virtual void setBackgroundColor(gfx::Color color);
    bool clipsToBounds() const { return clipsToBounds_; }
    void setClipsToBounds(bool clips);
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

    // --- Interaction.
    bool isUserInteractionEnabled() const { return userInteractionEnabled_; }
    void setUserInteractionEnabled(bool enabled) { userInteractionEnabled_ = enabled; }
    bool isMultipleTouchEnabled() const { return multipleTouchEnabled_; }
    void setMultipleTouchEnabled(bool enabled) { multipleTouchEnabled_ = enabled; }
    bool isExclusiveTouch() const { return exclusiveTouch_; }
    void setExclusiveTouch(bool exclusive) { exclusiveTouch_ = exclusive; }

    // --- Accessibility: what a screen reader or a test script calls it.
    // Controls that show no text have a default label saying what they are.
    const std::string& accessibilityLabel() const { return accessibilityLabel_; }
    void setAccessibilityLabel(std::string label) { accessibilityLabel_ = std::move(label); }
    bool isAccessibilityElement() const { return accessibilityElement_; }
    void setIsAccessibilityElement(bool value) { accessibilityElement_ = value; }
    // The text the view itself shows (a label's text, a field's text), for
    // "expect" and the tree dump; empty for views that show none.
    virtual std::string displayedText() const { return {}; }
    // Adds the elements of this view (not of its subviews) that can be
    // tapped by name. The default adds the view itself when it has an
    // accessibility label and takes touches.
    virtual void collectAccessibleElements(std::vector<AccessibleElement>& out) const;
    // Whether the subviews are searched for elements and shown texts.
    virtual bool exposesSubviews() const { return true; }

    // --- The hierarchy.
    std::shared_ptr<View> superview() const;
    const std::vector<std::shared_ptr<View>>& subviews() const { return subviews_; }
    // The window the view is in (null when it is in none).
    std::shared_ptr<Window> window() const;
    void addSubview(const std::shared_ptr<View>& view);
    void insertSubview(const std::shared_ptr<View>& view, std::size_t index);
    void insertSubviewAbove(const std::shared_ptr<View>& view, const std::shared_ptr<View>& sibling);
    void insertSubviewBelow(const std::shared_ptr<View>& view, const std::shared_ptr<View>& sibling);
    void removeFromSuperview();
    void bringSubviewToFront(const std::shared_ptr<View>& view);
    void sendSubviewToBack(const std::shared_ptr<View>& view);
    void exchangeSubviewAtIndex(std::size_t index1, std::size_t index2);
    bool isDescendantOfView(const View* view) const;
    // This view or the first descendant (depth first) with the tag.
    std::shared_ptr<View> viewWithTag(int tag);

    virtual void willMoveToSuperview(View* newSuperview) { (void)newSuperview; }
    virtual void didMoveToSuperview() {}
    virtual void willMoveToWindow(Window* newWindow) { (void)newWindow; }
    virtual void didMoveToWindow() {}
    virtual void didAddSubview(View* subview) { (void)subview; }
    virtual void willRemoveSubview(View* subview) { (void)subview; }

    // --- Drawing and layout.
    // Draws the view's own content in its bounds coordinates; rect is the
    // area to draw. The default draws nothing (the background colour is
    // filled before).
    virtual void drawRect(gfx::Context& context, Rect rect);
    void setNeedsDisplay();
    void setNeedsDisplayInRect(Rect rect);
    virtual void layoutSubviews();
    void setNeedsLayout();
    void layoutIfNeeded();
    // The backing layer (its geometry follows the view's).
    std::shared_ptr<gfx::Layer> layer() const { return layer_; }

    // --- Hit testing and coordinates.
    // The deepest visible, interactive descendant containing the point (in
    // this view's coordinates), or null.
    virtual std::shared_ptr<View> hitTest(Point point, const Event* event);
    virtual bool pointInside(Point point, const Event* event) const;
    // A turn of the mouse wheel with the pointer at point (this view's
    // coordinates), in notches as Application::scrollWheel has them. Answers
    // whether the view took it; the application offers it to the view under
    // the pointer and then to its superviews. Views do not scroll by default.
    virtual bool scrollWheel(Point point, Float dx, Float dy) {
        (void)point, (void)dx, (void)dy;
        return false;
    }
    // Converts between this view's coordinates and view's (null: window).
    Point convertPointToView(Point point, const View* view) const;
    Point convertPointFromView(Point point, const View* view) const;
    Rect convertRectToView(Rect rect, const View* view) const;
    Rect convertRectFromView(Rect rect, const View* view) const;

    // --- Gesture recognizers.
    void addGestureRecognizer(const std::shared_ptr<GestureRecognizer>& recognizer);
    void removeGestureRecognizer(const std::shared_ptr<GestureRecognizer>& recognizer);
    const std::vector<std::shared_ptr<GestureRecognizer>>& gestureRecognizers() const { return recognizers_; }

    // --- Responder chain: the controller whose view this is, then the
    // superview.
    Responder* nextResponder() const override;
    // First responder among this view and its descendants resigns.
    bool endEditing(bool force);
    // The controller whose root view this is (set by the controller).
    std::shared_ptr<ViewController> viewController() const { return viewController_.lock(); }

    // --- Animations (class operations, as the toolkit has them).
    // Begin/commit style: property changes between the two are animated.
    static void beginAnimations(std::string animationID = {}, std::any context = {});
    static void commitAnimations();
    static void setAnimationDuration(double seconds);
    static void setAnimationDelay(double seconds);
    static void setAnimationCurve(AnimationCurve curve);
    static void setAnimationRepeatCount(float count);
    static void setAnimationRepeatAutoreverses(bool autoreverses);
    static void setAnimationBeginsFromCurrentState(bool fromCurrent);
    // A transition of view's content over the animation's duration.
    static void setAnimationTransition(AnimationTransition transition, const std::shared_ptr<View>& view, bool cache);
    // What the animation delegate's will-start and did-stop selectors do.
    static void setAnimationWillStart(std::function<void(const std::string& animationID, const std::any& context)> fn);
    static void setAnimationDidStop(
        std::function<void(const std::string& animationID, bool finished, const std::any& context)> fn);
    // When off, animations jump to their end at once (and still report
    // that they finished).
    static void setAnimationsEnabled(bool enabled);
    static bool areAnimationsEnabled();

    // Block style.
    static void animate(double duration, const std::function<void()>& animations,
                        std::function<void(bool finished)> completion = {});
    static void animate(double duration, double delay, unsigned options, const std::function<void()>& animations,
                        std::function<void(bool finished)> completion = {});
    // Animates the changes that animations makes to view's content with the
    // transition of options (flip, curl, cross dissolve).
    static void transition(const std::shared_ptr<View>& view, double duration, unsigned options,
                           const std::function<void()>& animations, std::function<void(bool finished)> completion = {});
    // Replaces fromView by toView in fromView's superview with the transition.
    static void transition(const std::shared_ptr<View>& fromView, const std::shared_ptr<View>& toView, double duration,
                           unsigned options, std::function<void(bool finished)> completion = {});
    // True while any animation is running.
    static bool hasRunningAnimations();

    // --- Rendering (used by the application when drawing the screen).
    // Draws this view and its subviews into the context (this view's
    // superview coordinates: the frame's origin is applied).
    void renderInContext(gfx::Context& context);
    // Draws the view's own layer content: background, drawRect.
    void drawLayerContent(gfx::Context& context);

    // Draws above the subviews (scroll indicators, transitions), in bounds
    // coordinates; called when wantsOverlay is set or a transition runs.
    virtual void drawOverlay(gfx::Context& context) { (void)context; }
    // The values shown on screen while an animation runs (the model values
    // otherwise).
    Point presentationCenter() const;
    Rect presentationBounds() const;
    Float presentationAlpha() const;
    AffineTransform presentationTransform() const;
    // Lays out and brings every layer of the tree up to the presentation
    // values (done before drawing).
    static void prepareTreeForDrawing(View& root);

protected:
    // Every change that shows on screen calls this (redraw request).
    void markDirty();
    void setWantsOverlay(bool wants);
    // Called when the bounds size changes (lays out, resizes subviews).
    virtual void boundsSizeChanged(Size oldSize);

private:
    friend class ViewController;
    friend struct ViewAnimationState;
    friend class Application;
    void resizeSubviews(Size oldSize);
    void syncLayer();
    void setWindowRecursive(Window* window);

    std::shared_ptr<gfx::Layer> layer_;
    std::shared_ptr<gfx::LayerDelegate> layerDelegate_;
    std::shared_ptr<gfx::Layer> overlayLayer_;
    std::shared_ptr<gfx::LayerDelegate> overlayDelegate_;
    // While the view turns over (a flip), a stand-in beside its layer draws
    // the turning view and the view's own layer is not drawn, so the screen
    // behind shows around the turning page.
    std::shared_ptr<gfx::Layer> turnLayer_;
    std::shared_ptr<gfx::LayerDelegate> turnDelegate_;
    bool wantsOverlay_ = false;
    void updateOverlay();
    void syncTurnLayer(Rect bounds, Point center, const AffineTransform& transform, Float alpha);
    View* superview_ = nullptr;  // the superview owns this view
    std::vector<std::shared_ptr<View>> subviews_;
    std::weak_ptr<ViewController> viewController_;
    std::vector<std::shared_ptr<GestureRecognizer>> recognizers_;
    Point center_;
    Rect bounds_;
    AffineTransform transform_;
    Float alpha_ = 1;
    std::optional<gfx::Color> backgroundColor_;
    bool hidden_ = false;
    bool opaque_ = true;
    bool clipsToBounds_ = false;
    bool userInteractionEnabled_ = true;
    bool multipleTouchEnabled_ = false;
    bool exclusiveTouch_ = false;
    bool autoresizesSubviews_ = true;
    bool needsLayout_ = true;
    bool accessibilityElement_ = false;
    unsigned autoresizingMask_ = Autoresizing::None;
    ContentMode contentMode_ = ContentMode::ScaleToFill;
    int tag_ = 0;
    std::string accessibilityLabel_;
    Window* window_ = nullptr;

public:
    // Animation state of this view (presentation values, transitions);
    // owned by the animation engine.
    std::shared_ptr<ViewAnimationState> animationState_;
};

}  // namespace ui
