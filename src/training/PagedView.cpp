#include "training/PagedView.h"

#include <algorithm>

PagedView::PagedView(ui::Rect frame, ui::Float pageControlHeight) : ui::View(frame) {
    setBackgroundColor(gfx::Color::clear());
    scrollView_ =
        std::make_shared<ui::ScrollView>(ui::Rect(0, 0, frame.size.width, frame.size.height - pageControlHeight));
    scrollView_->setShowsHorizontalScrollIndicator(false);
    scrollView_->setShowsVerticalScrollIndicator(false);
    scrollView_->setBackgroundColor(gfx::Color::clear());
    scrollView_->setClipsToBounds(true);
    addSubview(scrollView_);
    pageControl_ = std::make_shared<ui::PageControl>(
        ui::Rect(0, frame.size.height - pageControlHeight, frame.size.width, pageControlHeight));
    pageControl_->setAccessibilityLabel("Pages");
    addSubview(pageControl_);
}

int PagedView::pageCount() {
    auto d = delegate();
    return d ? std::max(0, d->numberOfPagesInPagedView(*this)) : 0;
}

void PagedView::reloadData() {
    if (!configured_) {
        configured_ = true;
        pageViews_.clear();
        reuseViews_.clear();
        std::weak_ptr<ui::View> weak = weak_from_this();
        pageControl_->addTarget(
            [weak](ui::Control& sender) {
                if (auto self = std::static_pointer_cast<PagedView>(weak.lock())) self->pageChanged(sender);
            },
            ui::ControlEvents::ValueChanged);
        scrollView_->setDelegate(std::dynamic_pointer_cast<ui::ScrollViewDelegate>(shared_from_this()));
        scrollView_->setPagingEnabled(true);
    }
    pageSize_ = scrollView_->frame().size;
    const int count = pageCount();
    pageControl_->setNumberOfPages(count == 0 ? 1 : count);
    pageControl_->setHidden(count == 0);
    scrollView_->setContentSize(ui::Size(pageSize_.width * count, pageSize_.height));
    pageControl_->setCurrentPage(indexForSelectedPage());
    loadViewsForVisiblePages(true);
}

void PagedView::layoutSubviews() {
    ui::View::layoutSubviews();
    if (!configured_) reloadData();
}

int PagedView::indexForSelectedPage() const {
    const ui::Float width = scrollView_->frame().size.width;
    if (width <= 0) return 0;
    const int index = std::max(0, static_cast<int>(scrollView_->contentOffset().x / width));
    auto d = delegate_.lock();
    const int count = d ? std::max(0, d->numberOfPagesInPagedView(const_cast<PagedView&>(*this))) : 0;
    return std::min(index, count);
}

void PagedView::scrollToPageAtIndex(int index, bool animated) {
    if (index < 0 || index >= pageCount()) return;
    scrollView_->scrollRectToVisible(ui::Rect(pageSize_.width * index, 0, pageSize_.width, pageSize_.height), animated);
}

void PagedView::pageChanged(ui::Control& sender) {
    if (&sender != pageControl_.get()) return;
    scrollToPageAtIndex(pageControl_->currentPage(), true);
    loadViewsForVisiblePages(true);
}

void PagedView::scrollViewDidEndDecelerating(ui::ScrollView& scrollView) {
    if (&scrollView != scrollView_.get()) return;
    pageControl_->setCurrentPage(indexForSelectedPage());
    loadViewsForVisiblePages(true);
    scrollView_->setUserInteractionEnabled(true);
}

void PagedView::scrollViewDidEndScrollingAnimation(ui::ScrollView& scrollView) {
    if (&scrollView != scrollView_.get()) return;
    pageControl_->setCurrentPage(indexForSelectedPage());
    loadViewsForVisiblePages(false);
}

std::shared_ptr<ui::View> PagedView::viewForIndex(int index) const {
    auto found = pageViews_.find(index);
    return found == pageViews_.end() ? nullptr : found->second;
}

void PagedView::loadViewsForVisiblePages(bool reload) {
    const int selected = indexForSelectedPage();
    const int count = pageCount();
    int n = count;
    if (!pageViews_.empty()) n = std::max(n, pageViews_.rbegin()->first + 1);
    for (int i = 0; i < n; ++i) {
        if (i >= count || i < selected - 1 || i > selected + 1) {
            unloadViewForIndex(i);
        } else {
            if (reload) unloadViewForIndex(i);
            loadViewForIndex(i);
        }
    }
    reuseViews_.clear();
}

void PagedView::loadViewForIndex(int index) {
    if (viewForIndex(index)) return;
    auto d = delegate();
    if (!d) return;
    auto view = d->pagedView(*this, index);
    if (!view) return;
    view->setFrame(ui::Rect(pageSize_.width * index, 0, pageSize_.width, pageSize_.height));
    scrollView_->addSubview(view);
    pageViews_[index] = view;
}

void PagedView::unloadViewForIndex(int index) {
    auto view = viewForIndex(index);
    if (!view) return;
    if (auto reusable = std::dynamic_pointer_cast<ReusableObject>(view))
        reuseViews_[reusable->reuseIdentifier()] = view;
    view->removeFromSuperview();
    pageViews_.erase(index);
}

std::shared_ptr<ui::View> PagedView::dequeueReusableViewWithIdentifier(const std::string& identifier) {
    auto found = reuseViews_.find(identifier);
    if (found == reuseViews_.end()) return nullptr;
    auto view = found->second;
    if (auto reusable = std::dynamic_pointer_cast<ReusableObject>(view)) reusable->prepareForReuse();
    reuseViews_.erase(found);
    return view;
}
