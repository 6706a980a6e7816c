#pragma once
// An immutable bitmap image: 8-bit premultiplied ARGB pixels with a scale
// (pixels per point: 2 for a double-resolution picture). Decodes and encodes
// PNG and JPEG.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gfx/CairoHandle.h"
#include "platform/gfx/Geometry.h"

namespace gfx {

class Image {
public:
    // Pixel layouts accepted by create() and reported by bitmapInfo(), with
    // the values of the platform's bitmap-info words.
    enum BitmapInfo : std::uint32_t {
        // 32 bits per pixel, premultiplied alpha first, stored as a native
        // little-endian word (B, G, R, A in memory): the layout of every image.
        kPremultipliedFirst32Little = 2 | (2 << 12),
        // 32 bits, bytes R, G, B, A with premultiplied alpha.
        kPremultipliedLast = 1,
        // 32 bits, bytes R, G, B, A with straight alpha.
        kLast = 3,
        // 32 bits, bytes R, G, B, X (alpha ignored).
        kNoneSkipLast = 5,
        // 24 bits, bytes R, G, B.
        kNone = 0,
    };

    // Straight (not premultiplied) 8-bit components of one pixel.
    struct RGBA8 {
        std::uint8_t r = 0, g = 0, b = 0, a = 0;
        bool operator==(const RGBA8&) const = default;
    };

    // Decoders answer nullptr for data that is not a valid image of the kind.
    static std::shared_ptr<Image> decodePNG(const std::vector<std::uint8_t>& data, Float scale = 1);
    static std::shared_ptr<Image> decodeJPEG(const std::vector<std::uint8_t>& data, Float scale = 1);
    // PNG or JPEG by content; nullptr when unreadable.
    static std::shared_ptr<Image> load(const std::string& path, Float scale = 1);
    static std::shared_ptr<Image> decode(const std::vector<std::uint8_t>& data, Float scale = 1);
    // A PNG file read now and decoded when its pixels are first needed (a
    // picture of the application's own that may never be drawn); its size
    // comes from the file's header. Other files are decoded at once, as by
    // load(). A PNG whose pixels then fail to decode shows transparent.
    static std::shared_ptr<Image> loadDecodingOnFirstUse(const std::string& path, Float scale = 1);
    // An image of width x height pixels whose pixels `make` produces the
    // first time they are needed: an ARGB32 image surface of that size (any
    // other answer, or none, leaves the image transparent). nullptr for a
    // size out of range.
    static std::shared_ptr<Image> deferred(int width, int height, Float scale, std::function<SurfaceHandle()> make);

    // An image over a copy of raw pixels. 8 bits per component; the layout is
    // one of BitmapInfo with bitsPerPixel 32 (24 for kNone). nullptr when the
    // sizes are inconsistent or the data is too short.
    static std::shared_ptr<Image> create(int width, int height, int bitsPerComponent, int bitsPerPixel, int bytesPerRow,
                                         std::uint32_t bitmapInfo, const std::vector<std::uint8_t>& data,
                                         Float scale = 1, bool shouldInterpolate = true, int renderingIntent = 0);
    // A new image taking a reference to an ARGB32 cairo surface's current
    // pixels (the surface is copied, so later drawing into it does not show).
    static std::shared_ptr<Image> fromSurface(cairo_surface_t* surface, Float scale = 1);

    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // Size in pixels.
    int width() const { return width_; }
    int height() const { return height_; }
    // Pixels per point; always > 0.
    Float scale() const { return scale_; }
    // Size in points (pixels divided by the scale).
    Size size() const { return {width_ / scale_, height_ / scale_}; }
    // The same pixels with another scale (a non-positive or NaN scale keeps 1).
    std::shared_ptr<Image> withScale(Float scale) const;

    // Layout of pixelData().
    int bitsPerComponent() const { return 8; }
    int bitsPerPixel() const { return 32; }
    int bytesPerRow() const;
    std::uint32_t bitmapInfo() const { return kPremultipliedFirst32Little; }
    bool shouldInterpolate() const { return interpolate_; }
    int renderingIntent() const { return intent_; }
    // A copy of the pixel rows (bytesPerRow() * height() bytes).
    std::vector<std::uint8_t> pixelData() const;

    // The pixel at (x, y), row 0 at the top; transparent outside the image.
    RGBA8 pixel(int x, int y) const;

    // PNG of the pixels (straight alpha). Empty only on an encoder failure.
    std::vector<std::uint8_t> encodePNG() const;
    // Baseline JPEG at a quality in [0, 1], composited on white.
    std::vector<std::uint8_t> encodeJPEG(Float quality) const;
    // Writes the PNG to a file; false on failure (nothing half-written stays).
    bool writePNG(const std::string& path) const;

    // Same size, scale, flags and pixels.
    bool operator==(const Image& other) const;

    // The ARGB32 surface holding the pixels (owned by the image; treat as
    // read-only). Makes the pixels of a deferred image.
    cairo_surface_t* surface() const;

private:
    struct Pixels;
    Image(SurfaceHandle surface, Float scale, bool interpolate, int intent);
    Image(std::shared_ptr<Pixels> pixels, int width, int height, Float scale, bool interpolate, int intent);

    // Shared by the images withScale() makes, so a deferred image's pixels
    // are made once for all of them.
    std::shared_ptr<Pixels> pixels_;
    int width_;
    int height_;
    Float scale_;
    bool interpolate_;
    int intent_;
};

}  // namespace gfx
