#pragma once
// What the galleries share: the folder they write into, the count of pictures
// that could not be written, saving a picture, a y-up canvas and captions.
#include <cstdio>
#include <cstring>
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

// Reads the command line: one optional folder (the fallback when none is
// given), "--help" or "-h" for the usage, "--" before a folder whose name
// begins with "-". Makes the folder. Answers the exit status to stop with,
// or -1 to go on drawing: 0 after the usage, 2 for an option it does not
// know or a second folder, 1 when the folder cannot be made.
inline int start(int argc, char** argv, const char* fallback, const char* what) {
    const char* program = argc > 0 && argv[0] ? argv[0] : "gallery";
    if (const char* slash = std::strrchr(program, '/')) program = slash + 1;
    auto usage = [&](std::FILE* out) {
        std::fprintf(out,
                     "Usage: %s [--help] [--] [FOLDER]\n"
                     "Draws %s as PNG files into FOLDER (default: %s), printing the path of each.\n"
                     "  -h, --help  show this help and exit\n",
                     program, what, fallback);
    };
    const char* chosen = nullptr;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (options && arg == "--") {
            options = false;
        } else if (options && (arg == "--help" || arg == "-h")) {
            usage(stdout);
            return 0;
        } else if (options && arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "%s: unknown option %s\n", program, arg.c_str());
            usage(stderr);
            return 2;
        } else if (chosen) {
            std::fprintf(stderr, "%s: one folder only, not also %s\n", program, arg.c_str());
            usage(stderr);
            return 2;
        } else {
            chosen = argv[i];
        }
    }
    folder = chosen ? chosen : fallback;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        std::fprintf(stderr, "cannot create %s: %s\n", folder.c_str(), ec.message().c_str());
        return 1;
    }
    return -1;
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
inline void label(gfx::Context& ctx, const std::string& text, gfx::Rect rect, CGFloat size = 10,
                  gfx::TextAlignment alignment = gfx::TextAlignment::Left) {
    auto style = CHTTextStyle::textStyle();
    style->setFontSize(size);
    style->setTextAlignment(alignment);
    ctx.save();
    ctx.translate(0, rect.maxY() + rect.minY());
    ctx.scale(1, -1);
    drawInRect(text, rect, style.get(), ctx);
    ctx.restore();
}

}  // namespace gallery
