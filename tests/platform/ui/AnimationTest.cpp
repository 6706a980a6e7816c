#include <cmath>
#include <numbers>

#include "UITestSupport.h"
#include "platform/ui/AnimationEngine.h"

using namespace ui;

namespace {

class AnimationTest : public uitest::UITest {
protected:
    void SetUp() override {
        UITest::SetUp();
        view_ = std::make_shared<View>(Rect(0, 0, 100, 100));
        window_->addSubview(view_);
    }
    std::shared_ptr<View> view_;
};

TEST_F(AnimationTest, BlockAnimationCompletesOnTheManualClockAndReportsFinished) {
    std::vector<bool> done;
    View::animate(
        0.5,
        [&] {
            view_->setAlpha(0);
            view_->setCenter(Point(250, 50));
        },
        [&](bool finished) { done.push_back(finished); });
    // The model value changes at once; the shown value moves on the clock.
    EXPECT_EQ(view_->alpha(), 0);
    EXPECT_EQ(view_->presentationAlpha(), 1);
    advance(0.25);
    EXPECT_GT(view_->presentationAlpha(), 0.1f);
    EXPECT_LT(view_->presentationAlpha(), 0.9f);
    EXPECT_GT(view_->presentationCenter().x, 50);
    EXPECT_LT(view_->presentationCenter().x, 250);
    EXPECT_TRUE(done.empty());
    EXPECT_TRUE(View::hasRunningAnimations());
    advance(0.3);
    EXPECT_EQ(done, std::vector<bool>{true});
    EXPECT_EQ(view_->presentationCenter(), Point(250, 50));
    EXPECT_FALSE(View::hasRunningAnimations());
}

TEST_F(AnimationTest, BeginCommitCallsDidStopWithItsIdentifierAfterTheDelay) {
    std::vector<std::string> stops;
    View::beginAnimations("slideUp", std::any(42));
    View::setAnimationDuration(0.3);
    View::setAnimationDelay(0.2);
    View::setAnimationDidStop([&](const std::string& id, bool finished, const std::any& context) {
        stops.push_back(id + (finished ? " finished " : " stopped ") + std::to_string(std::any_cast<int>(context)));
    });
    view_->setFrame(Rect(0, -150, 100, 100));
    View::commitAnimations();
    advance(0.1);
    EXPECT_EQ(view_->presentationCenter(), Point(50, 50));  // still in its delay
    advance(0.3);
    EXPECT_TRUE(stops.empty());
    advance(0.2);
    EXPECT_EQ(stops, std::vector<std::string>{"slideUp finished 42"});
}

TEST_F(AnimationTest, ALaterAnimationOfTheSamePropertyStopsTheFirstUnfinished) {
    std::vector<bool> first, second;
    View::animate(
        1, [&] { view_->setAlpha(0); }, [&](bool f) { first.push_back(f); });
    advance(0.2);
    View::animate(
        1, [&] { view_->setAlpha(1); }, [&](bool f) { second.push_back(f); });
    advance(2);
    EXPECT_EQ(first, std::vector<bool>{false});
    EXPECT_EQ(second, std::vector<bool>{true});
    EXPECT_EQ(view_->presentationAlpha(), 1);
}

TEST_F(AnimationTest, DisabledAnimationsJumpToTheEndAndStillReportFinished) {
    View::setAnimationsEnabled(false);
    std::vector<bool> done;
    View::animate(
        5, [&] { view_->setAlpha(0.5f); }, [&](bool f) { done.push_back(f); });
    EXPECT_EQ(view_->presentationAlpha(), 0.5f);
    advance(0.01);
    View::setAnimationsEnabled(true);
    EXPECT_EQ(done, std::vector<bool>{true});
}

TEST_F(AnimationTest, AnEmptyBlockStillCompletes) {
    int calls = 0;
    View::animate(
        0.4, [] {}, [&](bool f) { calls += f ? 1 : 100; });
    advance(0.01);
    EXPECT_EQ(calls, 1);
}

TEST_F(AnimationTest, RotationsTurnTheShortWayAsRotations) {
    auto a = AffineTransform::makeRotation(static_cast<Float>(std::numbers::pi / 2)).scale(2, 2).translate(3, 4);
    auto back = animation::recompose(animation::decompose(a));
    EXPECT_NEAR(back.a, a.a, 1e-4);
    EXPECT_NEAR(back.b, a.b, 1e-4);
    EXPECT_NEAR(back.c, a.c, 1e-4);
    EXPECT_NEAR(back.d, a.d, 1e-4);
    EXPECT_NEAR(back.tx, a.tx, 1e-4);
    EXPECT_NEAR(back.ty, a.ty, 1e-4);
    // Half-way through a quarter turn the view is turned by an eighth, at
    // its full size (a blend of matrices would shrink it).
    View::animate(1, 0, AnimationOptions::CurveLinear, [&] {
        view_->setTransform(AffineTransform::makeRotation(static_cast<Float>(std::numbers::pi / 2)));
    });
    advance(0.5);
    auto mid = view_->presentationTransform();
    EXPECT_NEAR(std::atan2(mid.b, mid.a), std::numbers::pi / 4, 0.02);
    EXPECT_NEAR(std::hypot(mid.a, mid.b), 1, 1e-3);
    advance(1);
}

TEST_F(AnimationTest, FlipTransitionDrawsBothSidesAndFinishes) {
    auto front = std::make_shared<View>(Rect(0, 0, 100, 100));
    front->setBackgroundColor(gfx::Color::rgb(1, 0, 0));
    auto back = std::make_shared<View>(Rect(0, 0, 100, 100));
    back->setBackgroundColor(gfx::Color::rgb(0, 0, 1));
    view_->addSubview(front);
    view_->setFrame(Rect(0, 20, 100, 100));
    std::vector<bool> done;
    View::transition(front, back, 1.0, AnimationOptions::TransitionFlipFromLeft, [&](bool f) { done.push_back(f); });
    EXPECT_EQ(back->superview(), view_);
    EXPECT_EQ(front->superview(), nullptr);
    advance(0.1);
    auto early = renderScreen();
    EXPECT_GT(early->pixel(50, 70).r, 150);  // still the old side
    advance(0.8);
    auto late = renderScreen();
    EXPECT_GT(late->pixel(50, 70).b, 150);  // the new side
    advance(0.2);
    EXPECT_EQ(done, std::vector<bool>{true});
    EXPECT_FALSE(animation::hasTransition(*view_));
}

}  // namespace
