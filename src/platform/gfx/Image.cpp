#include "platform/gfx/Image.h"

#include "platform/base/FileManager.h"
#include "platform/base/Log.h"

#include <cairo.h>
#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <exception>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>

namespace gfx {

namespace {

Float validScale(Float scale) { return (std::isfinite(scale) && scale > 0) ? scale : 1; }

struct ReadCursor {
    const std::vector<std::uint8_t>* data;
    std::size_t pos = 0;
};

cairo_status_t readFromVector(void* closure, unsigned char* out, unsigned int length) {
    auto* c = static_cast<ReadCursor*>(closure);
    if (c->pos + length > c->data->size()) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(out, c->data->data() + c->pos, length);
    c->pos += length;
    return CAIRO_STATUS_SUCCESS;
}

cairo_status_t writeToVector(void* closure, const unsigned char* data, unsigned int length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(closure);
    out->insert(out->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

std::uint8_t premultiply(std::uint8_t c, std::uint8_t a) { return std::uint8_t((c * a + 127) / 255); }

// libjpeg reports errors through a callback that must not return.
struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

void jpegFail(j_common_ptr info) {
    auto* err = reinterpret_cast<JpegError*>(info->err);
    std::longjmp(err->jump, 1);
}

void jpegQuiet(j_common_ptr, int) {}

// Decodes a JPEG into a new surface handed to `surface`; false when libjpeg
// gives up. libjpeg leaves by a long jump on errors, which skips destructors
// and may lose what this frame changed after setjmp, so the surface is kept
// in the caller's handle, which the jump does not touch.
bool decompressJPEG(const std::vector<std::uint8_t>& data, SurfaceHandle& surface) {
    jpeg_decompress_struct info;
    JpegError err;
    info.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = jpegFail;
    err.mgr.emit_message = jpegQuiet;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data.data(), (unsigned long)data.size());
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    int w = int(info.output_width), h = int(info.output_height);
    if (w <= 0 || h <= 0 || w > 32767 || h > 32767 || info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    surface = SurfaceHandle(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h));
    unsigned char* dst = cairo_image_surface_get_data(surface.get());
    int stride = cairo_image_surface_get_stride(surface.get());
    std::vector<JSAMPLE> row(std::size_t(w) * 3);
    while (info.output_scanline < info.output_height) {
        int y = int(info.output_scanline);
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&info, rows, 1);
        auto* out = reinterpret_cast<std::uint32_t*>(dst + std::size_t(y) * stride);
        for (int x = 0; x < w; ++x)
            out[x] =
                0xFF000000u | (std::uint32_t(row[x * 3]) << 16) | (std::uint32_t(row[x * 3 + 1]) << 8) | row[x * 3 + 2];
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

// The pixels of an image: a surface, or for a deferred image the means to
// make it, used once by whichever thread first asks.
struct Image::Pixels {
    explicit Pixels(SurfaceHandle s) : deferred(false), surface(std::move(s)) {}
    Pixels(int w, int h, std::function<SurfaceHandle()> m) : deferred(true), make(std::move(m)), width(w), height(h) {}

    cairo_surface_t* get() {
        if (deferred)
            std::call_once(made, [this] {
                SurfaceHandle s;
                try {
                    s = make();
                } catch (const std::exception& e) {
                    // Drawing that fails leaves the image transparent; the
                    // log says why.
                    base::log(std::string("Error while drawing an image: ") + e.what());
                } catch (...) {
                    base::log("Error while drawing an image: an exception of unknown type");
                }
                make = nullptr;
                if (!s || cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS ||
                    cairo_surface_get_type(s.get()) != CAIRO_SURFACE_TYPE_IMAGE ||
                    cairo_image_surface_get_format(s.get()) != CAIRO_FORMAT_ARGB32 ||
                    cairo_image_surface_get_width(s.get()) != width ||
                    cairo_image_surface_get_height(s.get()) != height)
                    s = SurfaceHandle(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
                surface = std::move(s);
            });
        return surface.get();
    }

    const bool deferred;
    std::once_flag made;
    SurfaceHandle surface;
    std::function<SurfaceHandle()> make;
    int width = 0, height = 0;
};

Image::Image(SurfaceHandle surface, Float scale, bool interpolate, int intent)
    : width_(cairo_image_surface_get_width(surface.get())),
      height_(cairo_image_surface_get_height(surface.get())),
      scale_(validScale(scale)),
      interpolate_(interpolate),
      intent_(intent) {
    pixels_ = std::make_shared<Pixels>(std::move(surface));
}

Image::Image(std::shared_ptr<Pixels> pixels, int width, int height, Float scale, bool interpolate, int intent)
    : pixels_(std::move(pixels)),
      width_(width),
      height_(height),
      scale_(validScale(scale)),
      interpolate_(interpolate),
      intent_(intent) {}

cairo_surface_t* Image::surface() const { return pixels_->get(); }

std::shared_ptr<Image> Image::deferred(int width, int height, Float scale, std::function<SurfaceHandle()> make) {
    if (width <= 0 || height <= 0 || width > 32767 || height > 32767 || !make) return nullptr;
    return std::shared_ptr<Image>(
        new Image(std::make_shared<Pixels>(width, height, std::move(make)), width, height, scale, true, 0));
}

std::shared_ptr<Image> Image::decodePNG(const std::vector<std::uint8_t>& data, Float scale) {
    static const std::uint8_t sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (data.size() < 8 || std::memcmp(data.data(), sig, 8) != 0) return nullptr;
    ReadCursor cursor{&data};
    SurfaceHandle s(cairo_image_surface_create_from_png_stream(readFromVector, &cursor));
    if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    if (cairo_image_surface_get_format(s.get()) != CAIRO_FORMAT_ARGB32) return fromSurface(s.get(), scale);
    return std::shared_ptr<Image>(new Image(std::move(s), scale, true, 0));
}

std::shared_ptr<Image> Image::decodeJPEG(const std::vector<std::uint8_t>& data, Float scale) {
    if (data.size() < 4 || data[0] != 0xFF || data[1] != 0xD8) return nullptr;
    SurfaceHandle surface;
    if (!decompressJPEG(data, surface)) return nullptr;
    cairo_surface_mark_dirty(surface.get());
    return std::shared_ptr<Image>(new Image(std::move(surface), scale, true, 0));
}

std::shared_ptr<Image> Image::decode(const std::vector<std::uint8_t>& data, Float scale) {
    if (auto png = decodePNG(data, scale)) return png;
    return decodeJPEG(data, scale);
}

namespace {
// The bytes of the file at path; nothing when it cannot be opened.
std::optional<std::vector<std::uint8_t>> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
}  // namespace

std::shared_ptr<Image> Image::load(const std::string& path, Float scale) {
    auto data = fileBytes(path);
    return data ? decode(*data, scale) : nullptr;
}

std::shared_ptr<Image> Image::loadDecodingOnFirstUse(const std::string& path, Float scale) {
    auto bytes = fileBytes(path);
    if (!bytes) return nullptr;
    auto data = std::make_shared<const std::vector<std::uint8_t>>(std::move(*bytes));
    // A PNG opens with its signature and then the header chunk: length 13,
    // "IHDR", width and height as big-endian 32-bit numbers.
    static const std::uint8_t head[16] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    const auto& d = *data;
    if (d.size() < 24 || std::memcmp(d.data(), head, sizeof head) != 0) return decode(d, scale);
    auto number = [&d](std::size_t at) {
        return (std::uint32_t(d[at]) << 24) | (std::uint32_t(d[at + 1]) << 16) | (std::uint32_t(d[at + 2]) << 8) |
               std::uint32_t(d[at + 3]);
    };
    const std::uint32_t width = number(16), height = number(20);
    if (width == 0 || height == 0 || width > 32767 || height > 32767) return decode(d, scale);
    return deferred(int(width), int(height), scale, [data]() -> SurfaceHandle {
        auto image = decodePNG(*data);
        return image ? SurfaceHandle::reference(image->surface()) : SurfaceHandle();
    });
}

std::shared_ptr<Image> Image::create(int width, int height, int bitsPerComponent, int bitsPerPixel, int bytesPerRow,
                                     std::uint32_t bitmapInfo, const std::vector<std::uint8_t>& data, Float scale,
                                     bool shouldInterpolate, int renderingIntent) {
    if (width <= 0 || height <= 0 || width > 32767 || height > 32767 || bitsPerComponent != 8) return nullptr;
    int bytesPerPixel = bitsPerPixel / 8;
    bool known =
        (bitsPerPixel == 32 && (bitmapInfo == kPremultipliedFirst32Little || bitmapInfo == kPremultipliedLast ||
                                bitmapInfo == kLast || bitmapInfo == kNoneSkipLast)) ||
        (bitsPerPixel == 24 && bitmapInfo == kNone);
    if (!known || bytesPerRow < width * bytesPerPixel) return nullptr;
    if (data.size() < std::size_t(bytesPerRow) * (height - 1) + std::size_t(width) * bytesPerPixel) return nullptr;
    SurfaceHandle s(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    unsigned char* dst = cairo_image_surface_get_data(s.get());
    int stride = cairo_image_surface_get_stride(s.get());
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* src = data.data() + std::size_t(y) * bytesPerRow;
        auto* out = reinterpret_cast<std::uint32_t*>(dst + std::size_t(y) * stride);
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = src + x * bytesPerPixel;
            std::uint8_t r, g, b, a;
            switch (bitmapInfo) {
            case kPremultipliedFirst32Little: {
                std::uint32_t v;
                std::memcpy(&v, p, 4);
                out[x] = v;
                continue;
            }
            case kPremultipliedLast:
                r = p[0];
                g = p[1];
                b = p[2];
                a = p[3];
                break;
            case kLast:
                a = p[3];
                r = premultiply(p[0], a);
                g = premultiply(p[1], a);
                b = premultiply(p[2], a);
                break;
            default:
                r = p[0];
                g = p[1];
                b = p[2];
                a = 255;
                break;
            }
            out[x] = (std::uint32_t(a) << 24) | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | b;
        }
    }
    cairo_surface_mark_dirty(s.get());
    return std::shared_ptr<Image>(new Image(std::move(s), scale, shouldInterpolate, renderingIntent));
}

std::shared_ptr<Image> Image::fromSurface(cairo_surface_t* surface, Float scale) {
    if (!surface || cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) return nullptr;
    int w = 0, h = 0;
    if (cairo_surface_get_type(surface) == CAIRO_SURFACE_TYPE_IMAGE) {
        w = cairo_image_surface_get_width(surface);
        h = cairo_image_surface_get_height(surface);
    }
    if (w <= 0 || h <= 0) return nullptr;
    cairo_surface_flush(surface);
    SurfaceHandle copy(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h));
    {
        CairoContextHandle cr(cairo_create(copy.get()));
        cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(cr.get(), surface, 0, 0);
        cairo_paint(cr.get());
    }
    cairo_surface_flush(copy.get());
    return std::shared_ptr<Image>(new Image(std::move(copy), scale, true, 0));
}

std::shared_ptr<Image> Image::withScale(Float scale) const {
    return std::shared_ptr<Image>(new Image(pixels_, width_, height_, validScale(scale), interpolate_, intent_));
}

int Image::bytesPerRow() const { return cairo_image_surface_get_stride(surface()); }

std::vector<std::uint8_t> Image::pixelData() const {
    const unsigned char* p = cairo_image_surface_get_data(surface());
    return std::vector<std::uint8_t>(p, p + std::size_t(bytesPerRow()) * height_);
}

Image::RGBA8 Image::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
    const unsigned char* row = cairo_image_surface_get_data(surface()) + std::size_t(y) * bytesPerRow();
    std::uint32_t v;
    std::memcpy(&v, row + x * 4, 4);
    std::uint8_t a = v >> 24;
    if (a == 0) return {};
    auto un = [a](std::uint32_t c) { return std::uint8_t(std::min<std::uint32_t>(255, (c * 255 + a / 2) / a)); };
    return {un((v >> 16) & 0xFF), un((v >> 8) & 0xFF), un(v & 0xFF), a};
}

std::vector<std::uint8_t> Image::encodePNG() const {
    std::vector<std::uint8_t> out;
    if (cairo_surface_write_to_png_stream(surface(), writeToVector, &out) != CAIRO_STATUS_SUCCESS) out.clear();
    return out;
}

namespace {
std::vector<std::uint8_t> compressJPEG(cairo_surface_t* surface, int width, int height, int quality) {
    jpeg_compress_struct info;
    JpegError err;
    info.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = jpegFail;
    err.mgr.emit_message = jpegQuiet;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&info);
        std::free(buffer);
        return {};
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(std::size_t(width) * 3);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    while (info.next_scanline < info.image_height) {
        auto* in = reinterpret_cast<const std::uint32_t*>(data + std::size_t(info.next_scanline) * stride);
        for (int x = 0; x < width; ++x) {
            std::uint32_t v = in[x];
            std::uint32_t a = v >> 24;
            // Premultiplied colour over white.
            row[x * 3] = JSAMPLE(((v >> 16) & 0xFF) + (255 - a));
            row[x * 3 + 1] = JSAMPLE(((v >> 8) & 0xFF) + (255 - a));
            row[x * 3 + 2] = JSAMPLE((v & 0xFF) + (255 - a));
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<std::uint8_t> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}
}  // namespace

std::vector<std::uint8_t> Image::encodeJPEG(Float quality) const {
    if (!std::isfinite(quality)) quality = 0.75f;
    int q = std::clamp(int(std::lround(std::clamp<Float>(quality, 0, 1) * 100)), 1, 100);
    return compressJPEG(surface(), width_, height_, q);
}

bool Image::writePNG(const std::string& path) const {
    std::vector<std::uint8_t> png = encodePNG();
    if (png.empty()) return false;
    // Through a temporary created exclusively under an unpredictable name,
    // so a file or link someone placed beside the target is never written.
    return base::FileManager::defaultManager().writeAtomically(path, png);
}

bool Image::operator==(const Image& other) const {
    if (width_ != other.width_ || height_ != other.height_ || scale_ != other.scale_ ||
        interpolate_ != other.interpolate_ || intent_ != other.intent_)
        return false;
    const unsigned char* a = cairo_image_surface_get_data(surface());
    const unsigned char* b = cairo_image_surface_get_data(other.surface());
    int sa = bytesPerRow(), sb = other.bytesPerRow();
    for (int y = 0; y < height_; ++y)
        if (std::memcmp(a + std::size_t(y) * sa, b + std::size_t(y) * sb, std::size_t(width_) * 4) != 0) return false;
    return true;
}

}  // namespace gfx
