#include "platform/ui/ImageView.h"

#include <algorithm>
#include <cmath>

#include "platform/base/Clock.h"
#include "platform/gfx/Context.h"

namespace ui {

void drawImageInRect(gfx::Context& ctx, const gfx::Image& image, Rect r, ContentMode mode) {
    Size s = image.size();
    if (s.width <= 0 || s.height <= 0 || r.isEmpty()) return;
    Rect target = r;
    auto place = [&](Float w, Float h, Float fx, Float fy) {
        target = Rect(r.minX() + (r.width() - w) * fx, r.minY() + (r.height() - h) * fy, w, h);
    };
    switch (mode) {
    case ContentMode::ScaleToFill:
    case ContentMode::Redraw: break;
    case ContentMode::ScaleAspectFit: {
        Float k = std::min(r.width() / s.width, r.height() / s.height);
        place(s.width * k, s.height * k, 0.5f, 0.5f);
        break;
    }
    case ContentMode::ScaleAspectFill: {
        Float k = std::max(r.width() / s.width, r.height() / s.height);
        place(s.width * k, s.height * k, 0.5f, 0.5f);
        break;
    }
    case ContentMode::Center: place(s.width, s.height, 0.5f, 0.5f); break;
    case ContentMode::Top: place(s.width, s.height, 0.5f, 0); break;
    case ContentMode::Bottom: place(s.width, s.height, 0.5f, 1); break;
    case ContentMode::Left: place(s.width, s.height, 0, 0.5f); break;
    case ContentMode::Right: place(s.width, s.height, 1, 0.5f); break;
    case ContentMode::TopLeft: place(s.width, s.height, 0, 0); break;
    case ContentMode::TopRight: place(s.width, s.height, 1, 0); break;
    case ContentMode::BottomLeft: place(s.width, s.height, 0, 1); break;
    case ContentMode::BottomRight: place(s.width, s.height, 1, 1); break;
    }
    gfx::SavedState saved(ctx);
    if (mode == ContentMode::ScaleAspectFill) ctx.clipToRect(r);
    ctx.drawImageTopDown(target, image);
}

ImageView::ImageView() : ImageView(Rect()) {}

ImageView::ImageView(Rect frame) : View(frame) {
    setUserInteractionEnabled(false);
    setOpaque(false);
}

ImageView::ImageView(std::shared_ptr<gfx::Image> image) : ImageView(image ? Rect(Point(), image->size()) : Rect()) {
    image_ = std::move(image);
}

ImageView::~ImageView() {
    if (timer_) timer_->invalidate();
}

void ImageView::setImage(std::shared_ptr<gfx::Image> image) {
    image_ = std::move(image);
    setNeedsDisplay();
}

void ImageView::setHighlightedImage(std::shared_ptr<gfx::Image> image) {
    highlightedImage_ = std::move(image);
    setNeedsDisplay();
}

void ImageView::setHighlighted(bool highlighted) {
    highlighted_ = highlighted;
    setNeedsDisplay();
}

void ImageView::setAnimationImages(std::vector<std::shared_ptr<gfx::Image>> images) {
    animationImages_ = std::move(images);
    if (animationImages_.empty()) stopAnimating();
    setNeedsDisplay();
}

void ImageView::startAnimating() {
    if (animationImages_.empty()) return;
    if (timer_) timer_->invalidate();
    frame_ = 0;
    animationStart_ = base::Clock::current().now();
    double perImage = animationDuration_ > 0 ? animationDuration_ / animationImages_.size() : 1.0 / 30;
    std::weak_ptr<View> weak = weak_from_this();
    timer_ = base::Timer::scheduledTimer(perImage, true, [weak](base::Timer& t) {
        auto self = std::static_pointer_cast<ImageView>(weak.lock());
        if (!self) {
            t.invalidate();
            return;
        }
        self->tick();
    });
    setNeedsDisplay();
}

void ImageView::stopAnimating() {
    if (timer_) timer_->invalidate();
    timer_.reset();
    frame_ = 0;
    setNeedsDisplay();
}

void ImageView::tick() {
    std::size_t n = animationImages_.size();
    if (n == 0) return stopAnimating();
    double perImage = animationDuration_ > 0 ? animationDuration_ / n : 1.0 / 30;
    double elapsed = base::Clock::current().now() - animationStart_;
    auto step = static_cast<std::size_t>(std::floor(elapsed / perImage + 1e-6));
    if (repeatCount_ > 0 && step >= n * static_cast<std::size_t>(repeatCount_)) return stopAnimating();
    frame_ = step % n;
    setNeedsDisplay();
}

Size ImageView::sizeThatFits(Size size) const {
    (void)size;
    return image_ ? image_->size() : Size();
}

void ImageView::drawRect(gfx::Context& ctx, Rect rect) {
    (void)rect;
    std::shared_ptr<gfx::Image> img = highlighted_ && highlightedImage_ ? highlightedImage_ : image_;
    if (isAnimating() && !animationImages_.empty()) img = animationImages_[frame_ % animationImages_.size()];
    if (img) drawImageInRect(ctx, *img, bounds(), contentMode());
}

}  // namespace ui
