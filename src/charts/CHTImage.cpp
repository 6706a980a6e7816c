#include "charts/CHTImage.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "charts/CHTCoderExtensions.h"
#include "platform/ui/Application.h"

namespace {

std::optional<std::vector<std::uint8_t>> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

// The path with a final ".png" (any case) replaced by "@2x.png"; nullopt when
// the path does not end so.
std::optional<std::string> doubleResolutionPath(const std::string& path) {
    if (path.size() < 4) return std::nullopt;
    std::string tail = path.substr(path.size() - 4);
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (tail != ".png") return std::nullopt;
    return path.substr(0, path.size() - 4) + "@2x.png";
}

}  // namespace

CHTImage::CHTImage() = default;

CHTImage::CHTImage(std::shared_ptr<gfx::Image> image, CGFloat newScale) : image_(std::move(image)) {
    CHT_PARAMETER_ASSERT(newScale > 0.0, "CHTImage", "-[CHTImage initWithCGImage:scale:]");
    if (newScale > 0) scale_ = newScale;
}

std::shared_ptr<CHTImage> CHTImage::imageWithCGImage(std::shared_ptr<gfx::Image> image, CGFloat scale) {
    return std::make_shared<CHTImage>(std::move(image), scale);
}

std::shared_ptr<CHTImage> CHTImage::imageForPNGFile(const std::string& path) {
    std::optional<std::vector<std::uint8_t>> bytes;
    CGFloat scale = 1;
    CGFloat screenScale = ui::Screen::mainScreen().scale();
    if (screenScale > 1) {
        if (auto doubled = doubleResolutionPath(path)) {
            bytes = readFile(*doubled);
            if (bytes) scale = screenScale;
        }
    }
    if (!bytes) {
        bytes = readFile(path);
        scale = 1;
    }
    if (!bytes) return nullptr;
    auto image = gfx::Image::decodePNG(*bytes, scale);
    if (!image) return nullptr;
    return std::make_shared<CHTImage>(image, scale);
}

void CHTImage::setImage(std::shared_ptr<gfx::Image> image) {
    if (image_ == image) return;
    image_ = std::move(image);
}

void CHTImage::setScale(CGFloat newScale) {
    CHT_PARAMETER_ASSERT(newScale > 0.0, "CHTImage", "-[CHTImage setScale:]");
    if (!(newScale > 0) || newScale == scale_) return;
    scale_ = newScale;
}

void CHTImage::drawInRect(const gfx::Rect& rect, gfx::Context& context) const {
    if (!image_) return;
    gfx::SavedState saved(context);
    if (tiled_) {
        context.clipToRect(rect);
        if (!tileAnchoredToContext_) context.translate(rect.x(), rect.y());
        context.drawTiledImage(gfx::Rect(0, 0, image_->width() / scale_, image_->height() / scale_), *image_);
    } else {
        // The rect is in user space already, whatever the context's scale:
        // scaling the context as well would stretch the image twice.
        context.drawImage(rect, *image_);
    }
}

bool CHTImage::isEqual(const base::Coding* other) const {
    if (other == this) return true;
    auto o = dynamic_cast<const CHTImage*>(other);
    if (!o) return false;
    if (scale_ != o->scale_ || tiled_ != o->tiled_ || tileAnchoredToContext_ != o->tileAnchoredToContext_) return false;
    if (!image_ || !o->image_) return !image_ && !o->image_;
    const gfx::Image& a = *image_;
    const gfx::Image& b = *o->image_;
    return a.width() == b.width() && a.height() == b.height() && a.bitsPerComponent() == b.bitsPerComponent() &&
           a.bitsPerPixel() == b.bitsPerPixel() && a.bytesPerRow() == b.bytesPerRow() &&
           a.bitmapInfo() == b.bitmapInfo() && a.shouldInterpolate() == b.shouldInterpolate() &&
           a.renderingIntent() == b.renderingIntent() && a.pixelData() == b.pixelData();
}

std::uint64_t CHTImage::hash() const {
    if (!image_) return 0;
    const gfx::Image& i = *image_;
    double sum = static_cast<double>(i.width()) * i.height() + i.bitsPerComponent() + i.bitsPerPixel() +
                 i.bytesPerRow() + static_cast<double>(i.bitmapInfo()) + (i.shouldInterpolate() ? 1 : 0) +
                 static_cast<double>(i.renderingIntent()) * scale_;
    return static_cast<std::uint64_t>(sum);
}

std::shared_ptr<CHTImage> CHTImage::copy() const {
    auto c = std::make_shared<CHTImage>();
    c->image_ = image_;  // bitmaps never change, so the copy can share it
    c->scale_ = scale_;
    c->tiled_ = tiled_;
    c->tileAnchoredToContext_ = tileAnchoredToContext_;
    return c;
}

void CHTImage::encodeWithCoder(base::KeyedArchiver& coder) const {
    if (image_) encodeCGImage(coder, *image_, "CHTImage.image");
    encodeCGFloat(coder, scale_, "CHTImage.scale");
    coder.encodeBool(tiled_, "CHTImage.tiled");
    coder.encodeBool(tileAnchoredToContext_, "CHTImage.tileAnchoredToContext");
}

std::shared_ptr<base::Coding> CHTImage::initWithCoder(base::KeyedUnarchiver& coder) {
    image_ = newCGImageDecode(coder, "CHTImage.image");
    CGFloat scale = decodeCGFloat(coder, "CHTImage.scale");
    scale_ = scale > 0 ? scale : 1;
    tiled_ = coder.decodeBool("CHTImage.tiled");
    tileAnchoredToContext_ = coder.decodeBool("CHTImage.tileAnchoredToContext");
    return nullptr;
}
