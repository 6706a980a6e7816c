#pragma once
// An image view: shows an image (scaled by the content mode), or plays a
// sequence of images over a duration, repeated (0 = for ever) on the clock.
#include <memory>
#include <vector>

#include "platform/base/RunLoop.h"
#include "platform/gfx/Image.h"
#include "platform/ui/View.h"

namespace ui {

class ImageView : public View {
public:
    ImageView();
    explicit ImageView(Rect frame);
    explicit ImageView(std::shared_ptr<gfx::Image> image);
    ~ImageView() override;
    std::string className() const override { return "ImageView"; }

    std::shared_ptr<gfx::Image> image() const { return image_; }
    void setImage(std::shared_ptr<gfx::Image> image);
    std::shared_ptr<gfx::Image> highlightedImage() const { return highlightedImage_; }
    void setHighlightedImage(std::shared_ptr<gfx::Image> image);
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted);

    const std::vector<std::shared_ptr<gfx::Image>>& animationImages() const { return animationImages_; }
    void setAnimationImages(std::vector<std::shared_ptr<gfx::Image>> images);
    // Seconds for one pass through the images (0: 1/30 s per image).
    double animationDuration() const { return animationDuration_; }
    void setAnimationDuration(double seconds) { animationDuration_ = seconds; }
    // 0 repeats for ever.
    int animationRepeatCount() const { return repeatCount_; }
    void setAnimationRepeatCount(int count) { repeatCount_ = count; }
    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return timer_ != nullptr; }
    // The index of the image shown while animating.
    std::size_t currentAnimationFrame() const { return frame_; }

    Size sizeThatFits(Size size) const override;
    void drawRect(gfx::Context& context, Rect rect) override;

private:
    void tick();
    std::shared_ptr<gfx::Image> image_;
    std::shared_ptr<gfx::Image> highlightedImage_;
    std::vector<std::shared_ptr<gfx::Image>> animationImages_;
    double animationDuration_ = 0;
    int repeatCount_ = 0;
    bool highlighted_ = false;
    std::size_t frame_ = 0;
    double animationStart_ = 0;
    std::shared_ptr<base::Timer> timer_;
};

// Draws the image into rect following the content mode (clipped to rect).
void drawImageInRect(gfx::Context& context, const gfx::Image& image, Rect rect, ContentMode mode);

}  // namespace ui
