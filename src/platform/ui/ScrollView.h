#pragma once
// A scroll view: shows a part of a larger content (content size) through its
// bounds, whose origin is the content offset. Dragging scrolls it (taking
// the touch over from a control inside once the finger has moved), with
// paging by the width of the view when paging is on; the delegate hears of
// every scroll and of the end of dragging and decelerating.
#include <memory>

#include "platform/base/RunLoop.h"
#include "platform/ui/View.h"

namespace ui {

class ScrollView;

class ScrollViewDelegate {
public:
    virtual ~ScrollViewDelegate() = default;
    virtual void scrollViewDidScroll(ScrollView& scrollView) { (void)scrollView; }
    virtual void scrollViewWillBeginDragging(ScrollView& scrollView) { (void)scrollView; }
    virtual void scrollViewDidEndDragging(ScrollView& scrollView, bool willDecelerate) {
        (void)scrollView, (void)willDecelerate;
    }
    virtual void scrollViewWillBeginDecelerating(ScrollView& scrollView) { (void)scrollView; }
    virtual void scrollViewDidEndDecelerating(ScrollView& scrollView) { (void)scrollView; }
    // The end of a setContentOffset(..., true) or scrollRectToVisible(..., true).
    virtual void scrollViewDidEndScrollingAnimation(ScrollView& scrollView) { (void)scrollView; }
    virtual bool scrollViewShouldScrollToTop(ScrollView& scrollView) {
        (void)scrollView;
        return true;
    }
    virtual void scrollViewDidScrollToTop(ScrollView& scrollView) { (void)scrollView; }
    // The view that zooming scales (null: no zooming).
    virtual std::shared_ptr<View> viewForZoomingInScrollView(ScrollView& scrollView) {
        (void)scrollView;
        return nullptr;
    }
    virtual void scrollViewDidZoom(ScrollView& scrollView) { (void)scrollView; }
    virtual void scrollViewDidEndZooming(ScrollView& scrollView, View* view, Float scale) {
        (void)scrollView, (void)view, (void)scale;
    }
};

enum class ScrollViewIndicatorStyle { Default, Black, White };

class ScrollView : public View {
public:
    ScrollView();
    explicit ScrollView(Rect frame);
    ~ScrollView() override;
    std::string className() const override { return "ScrollView"; }

    Size contentSize() const { return contentSize_; }
    void setContentSize(Size size);
    Point contentOffset() const;
    void setContentOffset(Point offset);
    // Animated: moves there over 0.3 s and then tells the delegate
    // scrollViewDidEndScrollingAnimation.
    void setContentOffset(Point offset, bool animated);
    EdgeInsets contentInset() const { return contentInset_; }
    void setContentInset(EdgeInsets insets);
    EdgeInsets scrollIndicatorInsets() const { return indicatorInsets_; }
    void setScrollIndicatorInsets(EdgeInsets insets) { indicatorInsets_ = insets; }
    // Scrolls the least distance that shows rect (content coordinates).
    void scrollRectToVisible(Rect rect, bool animated);

    bool isScrollEnabled() const { return scrollEnabled_; }
    void setScrollEnabled(bool enabled) { scrollEnabled_ = enabled; }
    bool isPagingEnabled() const { return pagingEnabled_; }
    void setPagingEnabled(bool enabled) { pagingEnabled_ = enabled; }
    bool bounces() const { return bounces_; }
    void setBounces(bool bounces) { bounces_ = bounces; }
    bool alwaysBounceVertical() const { return alwaysBounceVertical_; }
    void setAlwaysBounceVertical(bool value) { alwaysBounceVertical_ = value; }
    bool alwaysBounceHorizontal() const { return alwaysBounceHorizontal_; }
    void setAlwaysBounceHorizontal(bool value) { alwaysBounceHorizontal_ = value; }
    bool isDirectionalLockEnabled() const { return directionalLock_; }
    void setDirectionalLockEnabled(bool enabled) { directionalLock_ = enabled; }
    bool showsHorizontalScrollIndicator() const { return showsHorizontal_; }
    void setShowsHorizontalScrollIndicator(bool shows) { showsHorizontal_ = shows; }
    bool showsVerticalScrollIndicator() const { return showsVertical_; }
    void setShowsVerticalScrollIndicator(bool shows) { showsVertical_ = shows; }
    ScrollViewIndicatorStyle indicatorStyle() const { return indicatorStyle_; }
    void setIndicatorStyle(ScrollViewIndicatorStyle style) { indicatorStyle_ = style; }
    bool scrollsToTop() const { return scrollsToTop_; }
    void setScrollsToTop(bool value) { scrollsToTop_ = value; }
    bool delaysContentTouches() const { return delaysContentTouches_; }
    void setDelaysContentTouches(bool value) { delaysContentTouches_ = value; }
    bool canCancelContentTouches() const { return canCancelContentTouches_; }
    void setCanCancelContentTouches(bool value) { canCancelContentTouches_ = value; }
    Float decelerationRate() const { return decelerationRate_; }
    void setDecelerationRate(Float rate) { decelerationRate_ = rate; }

    Float zoomScale() const { return zoomScale_; }
    void setZoomScale(Float scale, bool animated = false);
    Float minimumZoomScale() const { return minimumZoomScale_; }
    void setMinimumZoomScale(Float scale) { minimumZoomScale_ = scale; }
    Float maximumZoomScale() const { return maximumZoomScale_; }
    void setMaximumZoomScale(Float scale) { maximumZoomScale_ = scale; }

    bool isTracking() const { return tracking_; }
    bool isDragging() const { return dragging_; }
    bool isDecelerating() const { return decelerating_; }
    bool isZooming() const { return false; }

    std::shared_ptr<ScrollViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<ScrollViewDelegate> delegate) { delegate_ = std::move(delegate); }

    // Dragging. The application sends the touches of a drag that began on a
    // subview here once the finger has moved far enough (the subview's touch
    // is cancelled).
    void touchesBegan(const TouchSet& touches, const Event* event) override;
    void touchesMoved(const TouchSet& touches, const Event* event) override;
    void touchesEnded(const TouchSet& touches, const Event* event) override;
    void touchesCancelled(const TouchSet& touches, const Event* event) override;
    // The mouse wheel: one notch moves the content by the distance desktop
    // programs scroll a view of this size (the view's extent to the power
    // 2/3: about 55 points in a 416-point table); a paging view turns one
    // whole page per notch instead. A vertical wheel turns a view that
    // scrolls only sideways. Answers false when the view cannot scroll along
    // the wheel's direction (an enclosing view may take the turn then).
    bool scrollWheel(Point point, Float dx, Float dy) override;
    // The points one notch moves a view whose extent along the wheel is extent.
    static Float wheelStep(Float extent);
    // Whether a drag in this direction (window points) would scroll.
    bool canScrollForDrag(Point delta) const;
    // Begins a drag at the window point (from the application's take-over).
    void beginDragAt(Point windowPoint, double timestamp);

    void renderInContextExtras(gfx::Context& context);
    void drawRect(gfx::Context& context, Rect rect) override;
    void drawOverlay(gfx::Context& context) override { drawIndicators(context); }
    // Draws the scroll indicators (on top of the content).
    void drawIndicators(gfx::Context& context);

protected:
    // Called after the content offset changed (the delegate is told after).
    virtual void didScroll() {}
    // Room kept free at the right edge for the vertical indicator (a table
    // keeps its section index clear of it).
    virtual Float verticalIndicatorRightInset() const { return indicatorInsets_.right; }
    Point minimumOffset() const;
    Point maximumOffset() const;

private:
    void dragTo(Point windowPoint, double timestamp);
    void endDrag(double timestamp);
    void animateOffsetTo(Point target, double duration, bool endsDecelerating);
    void stopOffsetAnimation();
    void tickOffsetAnimation();
    Point clampOffset(Point offset) const;
    bool turnPageByWheel(bool horizontal, Float forward);

    Size contentSize_;
    EdgeInsets contentInset_, indicatorInsets_;
    bool scrollEnabled_ = true;
    bool pagingEnabled_ = false;
    bool bounces_ = true;
    bool alwaysBounceVertical_ = false;
    bool alwaysBounceHorizontal_ = false;
    bool directionalLock_ = false;
    bool showsHorizontal_ = true;
    bool showsVertical_ = true;
    bool scrollsToTop_ = true;
    bool delaysContentTouches_ = true;
    bool canCancelContentTouches_ = true;
    ScrollViewIndicatorStyle indicatorStyle_ = ScrollViewIndicatorStyle::Default;
    Float decelerationRate_ = 0.998f;
    Float zoomScale_ = 1, minimumZoomScale_ = 1, maximumZoomScale_ = 1;
    bool tracking_ = false, dragging_ = false, decelerating_ = false;
    std::weak_ptr<ScrollViewDelegate> delegate_;

    // Drag state.
    Point dragStartWindowPoint_;
    Point dragStartOffset_;
    Point lastPoint_;
    double lastTime_ = 0;
    Point velocity_;  // points per second (offset direction)
    // Offset animation.
    std::shared_ptr<base::Timer> animationTimer_;
    Point animFrom_, animTo_;
    double animStart_ = 0, animDuration_ = 0;
    bool animEndsDecelerating_ = false;
    double indicatorsShownUntil_ = 0;
    // A touchpad's small steps not yet added up to a notch.
    Float wheelPages_ = 0;
};

}  // namespace ui
