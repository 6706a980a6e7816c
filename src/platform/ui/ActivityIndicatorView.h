#pragma once
// The spinning activity indicator (twelve spokes turning on the clock) and
// the progress bar.
#include <memory>
#include <utility>

#include "platform/base/RunLoop.h"
#include "platform/ui/View.h"

namespace ui {

enum class ActivityIndicatorViewStyle { WhiteLarge, White, Gray };

class ActivityIndicatorView : public View {
public:
    explicit ActivityIndicatorView(ActivityIndicatorViewStyle style = ActivityIndicatorViewStyle::White);
    ~ActivityIndicatorView() override;
    std::string className() const override { return "ActivityIndicatorView"; }

    ActivityIndicatorViewStyle activityIndicatorViewStyle() const { return style_; }
    void setActivityIndicatorViewStyle(ActivityIndicatorViewStyle style);
    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return animating_; }
    bool hidesWhenStopped() const { return hidesWhenStopped_; }
    void setHidesWhenStopped(bool hides);
    std::optional<gfx::Color> color() const { return color_; }
    void setColor(std::optional<gfx::Color> color) {
        color_ = std::move(color);
        setNeedsDisplay();
    }

    Size sizeThatFits(Size size) const override;
    void drawRect(gfx::Context& context, Rect rect) override;
    void didMoveToWindow() override;

private:
    void updateTimer();
    ActivityIndicatorViewStyle style_;
    bool animating_ = false;
    bool hidesWhenStopped_ = true;
    int step_ = 0;
    std::optional<gfx::Color> color_;
    std::shared_ptr<base::Timer> timer_;
};

enum class ProgressViewStyle { Default, Bar };

class ProgressView : public View {
public:
    explicit ProgressView(ProgressViewStyle style = ProgressViewStyle::Default);
    std::string className() const override { return "ProgressView"; }

    ProgressViewStyle progressViewStyle() const { return style_; }
    void setProgressViewStyle(ProgressViewStyle style) {
        style_ = style;
        setNeedsDisplay();
    }
    // In [0, 1].
    Float progress() const { return progress_; }
    void setProgress(Float progress);
    Size sizeThatFits(Size size) const override;
    void drawRect(gfx::Context& context, Rect rect) override;

private:
    ProgressViewStyle style_;
    Float progress_ = 0;
};

}  // namespace ui
