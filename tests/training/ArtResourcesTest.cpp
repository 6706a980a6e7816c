// The images drawn at build time: each is in the bundle at 1x and as its
// "@2x" twin, decodes, has its size (the twin exactly double) and shows
// something.
#include <cairo.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct Expected {
    const char* name;
    int width, height;
};

const std::vector<Expected> kArt = {{"todayplacard", 280, 150},
                                    {"timerdial_noticks", 200, 200},
                                    {"needle", 200, 200},
                                    {"setbutton", 55, 30},
                                    {"dotoday", 90, 90},
                                    {"graphmain", 90, 90},
                                    {"setup", 90, 90},
                                    {"goodform", 90, 90},
                                    {"weektip", 90, 90},
                                    {"blank_button", 90, 90},
                                    {"gf1", 280, 160},
                                    {"gf2", 280, 160},
                                    {"gf3", 280, 160},
                                    {"gf4", 280, 160},
                                    {"gf5", 280, 160},
                                    {"gf6", 280, 160},
                                    {"gf7", 280, 160},
                                    {"gf8", 280, 160},
                                    {"redo", 32, 32},
                                    {"calendar_r", 32, 32},
                                    {"ResetDay", 32, 32},
                                    {"RestartDay", 32, 32},
                                    {"filllog", 32, 32},
                                    {"reset", 32, 32},
                                    {"shake_icon", 32, 32},
                                    {"signout", 32, 32},
                                    {"graph_type", 32, 32},
                                    {"reminder", 32, 32},
                                    {"help", 32, 32}};

std::filesystem::path resourceFolder() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path() / "resources";
}

// A decoded PNG, released on scope exit.
class Png {
public:
    explicit Png(const std::filesystem::path& path) : surface_(cairo_image_surface_create_from_png(path.c_str())) {
        cairo_surface_flush(surface_);
    }
    ~Png() { cairo_surface_destroy(surface_); }
    Png(const Png&) = delete;
    Png& operator=(const Png&) = delete;

    bool ok() const { return cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS; }
    int width() const { return cairo_image_surface_get_width(surface_); }
    int height() const { return cairo_image_surface_get_height(surface_); }
    // Premultiplied ARGB of one pixel (opaque formats read as opaque).
    uint32_t pixelAt(int x, int y) const {
        const unsigned char* row =
            cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
        const uint32_t px = reinterpret_cast<const uint32_t*>(row)[x];
        return cairo_image_surface_get_format(surface_) == CAIRO_FORMAT_ARGB32 ? px : (px | 0xff000000u);
    }
    uint8_t alphaAt(int x, int y) const { return static_cast<uint8_t>(pixelAt(x, y) >> 24); }
    // The share of pixels that are at least half opaque.
    double coverage() const {
        long opaque = 0;
        for (int y = 0; y < height(); ++y)
            for (int x = 0; x < width(); ++x) opaque += alphaAt(x, y) >= 128;
        return static_cast<double>(opaque) / (static_cast<double>(width()) * height());
    }

private:
    cairo_surface_t* surface_;
};

std::string twoX(const std::string& name) { return name + "@2x.png"; }

TEST(ArtResourcesTest, EveryImageAndItsTwinDecodeAtTheirSizes) {
    const auto folder = resourceFolder();
    for (const auto& art : kArt) {
        SCOPED_TRACE(art.name);
        const auto one = folder / (std::string(art.name) + ".png");
        const auto two = folder / twoX(art.name);
        ASSERT_TRUE(std::filesystem::exists(one)) << one;
        ASSERT_TRUE(std::filesystem::exists(two)) << two;
        Png png1(one), png2(two);
        ASSERT_TRUE(png1.ok());
        ASSERT_TRUE(png2.ok());
        EXPECT_EQ(png1.width(), art.width);
        EXPECT_EQ(png1.height(), art.height);
        EXPECT_EQ(png2.width(), 2 * art.width);
        EXPECT_EQ(png2.height(), 2 * art.height);
        // Not blank, and the twin is the same drawing: about as much of it is
        // covered at both scales.
        EXPECT_GT(png1.coverage(), 0.005);
        EXPECT_NEAR(png1.coverage(), png2.coverage(), 0.05);
    }
}

TEST(ArtResourcesTest, IconsHaveTransparentCorners) {
    const auto folder = resourceFolder();
    for (const auto& art : kArt) {
        SCOPED_TRACE(art.name);
        for (const auto& file : {std::string(art.name) + ".png", twoX(art.name)}) {
            Png png(folder / file);
            ASSERT_TRUE(png.ok());
            const int w = png.width() - 1, h = png.height() - 1;
            for (auto [x, y] : {std::pair{0, 0}, std::pair{w, 0}, std::pair{0, h}, std::pair{w, h}})
                EXPECT_EQ(png.alphaAt(x, y), 0) << file << " at " << x << "," << y;
        }
    }
}

TEST(ArtResourcesTest, NeedleTurnsAboutItsCentreAndPointsUp) {
    Png needle(resourceFolder() / "needle.png");
    ASSERT_TRUE(needle.ok());
    const int c = needle.width() / 2;
    EXPECT_GT(needle.alphaAt(c, c), 200);                      // the hub sits on the centre
    EXPECT_GT(needle.alphaAt(c, needle.height() / 4), 100);    // the pointer above it
    EXPECT_EQ(needle.alphaAt(c, needle.height() * 4 / 5), 0);  // nothing far below it
    EXPECT_EQ(needle.alphaAt(needle.width() / 5, c), 0);       // nor to the sides
}

TEST(ArtResourcesTest, PushUpFramesGoDownAndComeBackUp) {
    // The figure's head is its highest part; it sinks over frames 1 to 4
    // and rises again over 5 to 8.
    auto headTop = [](int frame) {
        Png png(resourceFolder() / ("gf" + std::to_string(frame) + ".png"));
        EXPECT_TRUE(png.ok());
        if (!png.ok()) return -1;
        // The first row, from the top, with a dark pixel in the head's band.
        for (int y = 20; y < png.height(); ++y) {
            for (int x = 150; x < 240; ++x) {
                const uint32_t px = png.pixelAt(x, y);
                const int r = (px >> 16) & 0xff, g = (px >> 8) & 0xff, b = px & 0xff;
                if ((px >> 24) == 0xff && r < 110 && g < 90 && b < 90) return y;
            }
        }
        return -1;
    };
    std::vector<int> tops;
    for (int frame = 1; frame <= 8; ++frame) tops.push_back(headTop(frame));
    for (int top : tops) ASSERT_GT(top, 0);
    for (int i = 1; i < 4; ++i) EXPECT_GT(tops[i], tops[i - 1]) << "frame " << i + 1;
    for (int i = 5; i < 8; ++i) EXPECT_LT(tops[i], tops[i - 1]) << "frame " << i + 1;
    EXPECT_GT(tops[3] - tops[0], 8);  // a real dip, not a wobble
}

}  // namespace
