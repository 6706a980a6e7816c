#pragma once
// A horizontally paged area: a paging scroll view with a page control under
// it. The delegate gives the number of pages and the view of each page; at
// most three pages are loaded at a time (the selected one and its two
// neighbours), and page views that can be reused are kept aside by their
// reuse identifier until the next load is done.
#include <map>
#include <memory>
#include <string>

#include "platform/ui/PageControl.h"
#include "platform/ui/ScrollView.h"

class PagedView;

class PagedViewDelegate {
public:
    virtual ~PagedViewDelegate() = default;
    virtual int numberOfPagesInPagedView(PagedView& pagedView) = 0;
    // The view of one page, or null.
    virtual std::shared_ptr<ui::View> pagedView(PagedView& pagedView, int index) = 0;
};

// A page view that may be reused for another page.
class ReusableObject {
public:
    virtual ~ReusableObject() = default;
    virtual void prepareForReuse() = 0;
    virtual std::string reuseIdentifier() const = 0;
};

class PagedView : public ui::View, public ui::ScrollViewDelegate {
public:
    // The scroll view fills the frame but for pageControlHeight at the
    // bottom, where the page control sits.
    explicit PagedView(ui::Rect frame, ui::Float pageControlHeight = 20);
    std::string className() const override { return "PagedView"; }

    std::shared_ptr<PagedViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<PagedViewDelegate> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<ui::ScrollView> scrollView() const { return scrollView_; }
    std::shared_ptr<ui::PageControl> pageControl() const { return pageControl_; }

    // Asks the delegate again for the page count and the visible pages.
    void reloadData();
    void scrollToPageAtIndex(int index, bool animated);
    // The page the scroll view shows (capped at the page count).
    int indexForSelectedPage() const;
    ui::Size pageSize() const { return pageSize_; }
    // The view put aside under the identifier (told to prepare for reuse),
    // or null.
    std::shared_ptr<ui::View> dequeueReusableViewWithIdentifier(const std::string& identifier);
    // The page control's action.
    void pageChanged(ui::Control& sender);

    // The pages loaded now, by page number.
    const std::map<int, std::shared_ptr<ui::View>>& loadedPages() const { return pageViews_; }

    void layoutSubviews() override;
    void scrollViewDidEndDecelerating(ui::ScrollView& scrollView) override;
    // A scroll that the page control started ends like a swipe: the pages
    // around the one it ends on are loaded (taps on the dots faster than the
    // scroll would otherwise leave the final page blank).
    void scrollViewDidEndScrollingAnimation(ui::ScrollView& scrollView) override;
    void scrollViewWillBeginDragging(ui::ScrollView& scrollView) override { (void)scrollView; }

private:
    int pageCount();
    std::shared_ptr<ui::View> viewForIndex(int index) const;
    void loadViewForIndex(int index);
    void unloadViewForIndex(int index);
    void loadViewsForVisiblePages(bool reload);

    std::shared_ptr<ui::ScrollView> scrollView_;
    std::shared_ptr<ui::PageControl> pageControl_;
    std::weak_ptr<PagedViewDelegate> delegate_;
    bool configured_ = false;
    ui::Size pageSize_;
    std::map<int, std::shared_ptr<ui::View>> pageViews_;
    std::map<std::string, std::shared_ptr<ui::View>> reuseViews_;
};
