#pragma once
// What the galleries share: the folder they write into, the count of pictures
// that could not be written, saving a picture, a y-up canvas and captions.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "charts/CHTMutableTextStyle.h"
#include "charts/CHTTextStyleExtensions.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Image.h"

namespace gallery {

inline std::string folder;
inline int failures = 0;

// Sets the folder to the first argument (or the fallback) and makes it; says
// why and answers false when it cannot be made.
inline bool makeFolder(int argc, char** argv, const char* fallback) {
    folder = argc > 1 ? argv[1] : fallback;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        std::fprintf(stderr, "cannot create %s: %s\n", folder.c_str(), ec.message().c_str());
        return false;
    }
    return true;
}

// Writes the picture as NAME.png into the folder, printing its path, or
// counts a failure and says which file could not be written.
inline void save(gfx::ImageContext& ctx, const std::string& name) {
    std::string path = folder + "/" + name + ".png";
    if (!ctx.image()->writePNG(path)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        ++failures;
    } else {
        std::printf("%s\n", path.c_str());
    }
}

// A y-up canvas at scale 2 on a background (white unless given), as charts
// are drawn.
struct Canvas {
    gfx::ImageContext ctx;
    explicit Canvas(gfx::Size size, gfx::Color background = gfx::Color::white()) : ctx(size, 2, gfx::YAxis::Up) {
        ctx.setFillColor(background);
        ctx.fillRect(gfx::Rect(0, 0, size.width, size.height));
    }
};

// A caption in the rect, upright on the y-up canvas.
inline void label(gfx::Context& ctx, const std::string& text, gfx::Rect rect, CGFloat size = 10) {
    auto style = CHTTextStyle::textStyle();
    style->setFontSize(size);
    ctx.save();
    ctx.translate(0, rect.maxY() + rect.minY());
    ctx.scale(1, -1);
    drawInRect(text, rect, style.get(), ctx);
    ctx.restore();
}

}  // namespace gallery
