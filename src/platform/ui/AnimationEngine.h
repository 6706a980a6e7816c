#pragma once
// The engine behind the view animations (internal to the toolkit).
//
// A property change inside an animation block sets the model value at once
// (as the toolkit does) and records where the shown value starts; until the
// animation ends the view is drawn with the value interpolated on the clock.
// Each block is a group that ends on a run-loop timer after its delay and
// duration and then reports "did stop" with the finished flag (false when a
// later animation of the same property took over). Transitions snapshot the
// view before and after the changes and draw the two over the view.
#include <any>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/RunLoop.h"
#include "platform/gfx/Image.h"
#include "platform/ui/View.h"

namespace ui {

namespace animation {

enum class Prop { Center, Bounds, Alpha, Transform, Background };

struct Group {
    std::string id;
    std::any context;
    double duration = 0.2;
    double delay = 0;
    AnimationCurve curve = AnimationCurve::EaseInOut;
    float repeatCount = 0;
    bool autoreverses = false;
    bool fromCurrentState = false;
    bool recordProperties = true;
    std::function<void(const std::string&, const std::any&)> willStart;
    std::function<void(const std::string&, bool, const std::any&)> didStop;
    std::function<void(bool)> completion;
    double start = 0;
    bool finished = true;
    bool ended = false;
    // Transition.
    AnimationTransition transition = AnimationTransition::None;
    bool crossDissolve = false;
    std::weak_ptr<View> transitionView;
    std::shared_ptr<gfx::Image> before;
    // The animated properties (view, property).
    std::vector<std::pair<std::weak_ptr<View>, Prop>> members;
    std::shared_ptr<base::Timer> endTimer;

    void applyOptions(unsigned options);
    double totalDuration() const;
};

void begin(std::string id, std::any context);
void commit();
// Runs fn on the innermost open group (nothing outside a block).
void current(const std::function<void(Group&)>& fn);
void setTransition(AnimationTransition transition, const std::shared_ptr<View>& view);
AnimationTransition transitionFromOptions(unsigned options);
void setEnabled(bool enabled);
bool enabled();
bool running();

void recordChange(View& view, Prop prop, std::vector<Float> from, std::vector<Float> to);
std::optional<std::vector<Float>> presentation(const View& view, Prop prop);
gfx::Color presentationBackground(const View& view);
void viewDestroyed(View* view);
bool hasTransition(const View& view);
// True while the view turns over (a flip transition runs on it).
bool isTurning(const View& view);
// Draws the transition of the view in its bounds space. inPlaceOfView: the
// view itself is not drawn while it turns (a stand-in layer beside it draws
// this), so nothing is painted around the turning page; otherwise the page
// turns over black, as a whole screen does.
void drawTransitionOverlay(View& view, gfx::Context& context, bool inPlaceOfView = false);

// Affine transform <-> (tx, ty, scale x, scale y, rotation, shear), so that
// rotations interpolate as rotations.
std::vector<Float> decompose(const AffineTransform& t);
AffineTransform recompose(const std::vector<Float>& v);
// The eased fraction of an animation.
double ease(AnimationCurve curve, double t);

// Ends every running animation at once (tests, resetting the application).
void finishAll();

}  // namespace animation

struct ViewAnimationState {
    struct PropAnim {
        std::vector<Float> from, to;
        double start = 0, duration = 0;
        AnimationCurve curve = AnimationCurve::EaseInOut;
        float repeatCount = 0;
        bool autoreverses = false;
        std::weak_ptr<animation::Group> group;
    };
    struct Transition {
        AnimationTransition type = AnimationTransition::None;
        bool crossDissolve = false;
        std::shared_ptr<gfx::Image> before, after;
        // The two sides in black, made on first use: the shade of the
        // turning page darkens only the page, not the screen around it.
        std::shared_ptr<gfx::Image> beforeShade, afterShade;
        double start = 0, duration = 0;
        AnimationCurve curve = AnimationCurve::EaseInOut;
        std::weak_ptr<animation::Group> group;
    };
    std::map<animation::Prop, PropAnim> props;
    std::optional<Transition> transition;

    static void refreshOverlay(View& view) { view.updateOverlay(); }
    static void markDirty(View& view) { view.markDirty(); }
};

}  // namespace ui
