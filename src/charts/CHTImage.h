#pragma once
// A bitmap image of the charts with a scale factor (pixels per point: 2 for
// a double-resolution file) and tiling options.
#include <cstdint>
#include <memory>
#include <string>

#include "charts/CHTUtilities.h"
#include "platform/base/KeyedArchiver.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Image.h"

class CHTImage : public base::Coding {
public:
    // No image, scale 1.
    CHTImage();
    // Asserts that the scale is greater than 0 (a bad scale is not kept).
    explicit CHTImage(std::shared_ptr<gfx::Image> image, CGFloat scale = 1);

    static std::shared_ptr<CHTImage> imageWithCGImage(std::shared_ptr<gfx::Image> image, CGFloat scale = 1);
    // The PNG at the path. On a screen of scale above 1 the double-resolution
    // file ("name@2x.png") is preferred when it exists, with the screen's
    // scale. nullptr when the file is missing or not a PNG.
    static std::shared_ptr<CHTImage> imageForPNGFile(const std::string& path);

    const std::shared_ptr<gfx::Image>& image() const { return image_; }
    void setImage(std::shared_ptr<gfx::Image> image);
    CGFloat scale() const { return scale_; }
    // Asserts that the scale is greater than 0.
    void setScale(CGFloat scale);
    bool isTiled() const { return tiled_; }
    void setTiled(bool tiled) { tiled_ = tiled; }
    bool tileAnchoredToContext() const { return tileAnchoredToContext_; }
    void setTileAnchoredToContext(bool anchored) { tileAnchoredToContext_ = anchored; }

    // Not tiled: the image stretched into the rect. Tiled: tiles of the
    // image's size in points (pixels / scale), from the context's origin or,
    // when not anchored to the context, from the rect's origin, clipped to
    // the rect.
    void drawInRect(const gfx::Rect& rect, gfx::Context& context) const;

    bool isEqual(const base::Coding* other) const;
    std::uint64_t hash() const;
    std::shared_ptr<CHTImage> copy() const;

    std::string classForCoder() const override { return "CHTImage"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

private:
    std::shared_ptr<gfx::Image> image_;
    CGFloat scale_ = 1;
    bool tiled_ = false;
    bool tileAnchoredToContext_ = true;
};
