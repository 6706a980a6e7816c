#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "GfxTestSupport.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Image.h"

using namespace gfx;
using gfxtest::pixelIs;

namespace {
std::shared_ptr<Image> sample() {
    // 3 x 2, straight alpha: red, green, blue / white, half-transparent red, clear.
    std::vector<std::uint8_t> rgba = {255, 0,   0,   255, 0,   255, 0, 255, 0, 0, 255, 255,
                                      255, 255, 255, 255, 255, 0,   0, 128, 0, 0, 0,   0};
    return Image::create(3, 2, 8, 32, 12, Image::kLast, rgba);
}
}  // namespace

TEST(ImageTest, CreateFromStraightAlphaAndReadPixels) {
    auto img = sample();
    ASSERT_TRUE(img);
    EXPECT_EQ(img->width(), 3);
    EXPECT_EQ(img->height(), 2);
    EXPECT_TRUE(pixelIs(*img, 0, 0, 255, 0, 0, 255, 0));
    EXPECT_TRUE(pixelIs(*img, 2, 0, 0, 0, 255, 255, 0));
    EXPECT_TRUE(pixelIs(*img, 1, 1, 255, 0, 0, 128, 1));
    EXPECT_EQ(img->pixel(2, 1).a, 0);
    EXPECT_EQ(img->pixel(5, 5), Image::RGBA8{});
}

TEST(ImageTest, RejectsInconsistentPixelBuffers) {
    std::vector<std::uint8_t> few(10);
    EXPECT_FALSE(Image::create(3, 2, 8, 32, 12, Image::kLast, few));
    EXPECT_FALSE(Image::create(0, 2, 8, 32, 12, Image::kLast, few));
    EXPECT_FALSE(Image::create(3, 2, 16, 64, 24, Image::kLast, std::vector<std::uint8_t>(48)));
    EXPECT_FALSE(Image::create(3, 2, 8, 32, 8, Image::kLast, std::vector<std::uint8_t>(48)));
}

TEST(ImageTest, RawPixelDataRoundTrips) {
    auto img = sample();
    auto copy = Image::create(img->width(), img->height(), img->bitsPerComponent(), img->bitsPerPixel(),
                              img->bytesPerRow(), img->bitmapInfo(), img->pixelData());
    ASSERT_TRUE(copy);
    EXPECT_TRUE(*copy == *img);
}

TEST(ImageTest, PNGRoundTripIsExact) {
    auto img = sample();
    std::vector<std::uint8_t> png = img->encodePNG();
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(png[1], 'P');
    auto back = Image::decodePNG(png, 2);
    ASSERT_TRUE(back);
    EXPECT_FLOAT_EQ(back->scale(), 2);
    EXPECT_EQ(back->size(), Size(1.5f, 1));
    EXPECT_TRUE(*back->withScale(1) == *img);
    EXPECT_TRUE(pixelIs(*back, 1, 1, 255, 0, 0, 128, 2));
}

TEST(ImageTest, JPEGRoundTripKeepsColoursApproximately) {
    std::vector<std::uint8_t> rgba;
    for (int i = 0; i < 16 * 16; ++i) rgba.insert(rgba.end(), {200, 40, 40, 255});
    auto img = Image::create(16, 16, 8, 32, 64, Image::kLast, rgba);
    auto jpeg = img->encodeJPEG(0.9f);
    ASSERT_GT(jpeg.size(), 2u);
    EXPECT_EQ(jpeg[0], 0xFF);
    EXPECT_EQ(jpeg[1], 0xD8);
    auto back = Image::decodeJPEG(jpeg);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->width(), 16);
    EXPECT_TRUE(pixelIs(*back, 8, 8, 200, 40, 40, 255, 6));
    // Lower quality gives a smaller file of the same picture.
    EXPECT_LE(img->encodeJPEG(0.1f).size(), jpeg.size());
    EXPECT_TRUE(Image::decode(jpeg));
}

TEST(ImageTest, GarbageDoesNotDecode) {
    std::vector<std::uint8_t> junk = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_FALSE(Image::decodePNG(junk));
    EXPECT_FALSE(Image::decodeJPEG(junk));
    std::vector<std::uint8_t> truncatedPng = sample()->encodePNG();
    truncatedPng.resize(truncatedPng.size() / 2);
    EXPECT_FALSE(Image::decodePNG(truncatedPng));
    std::vector<std::uint8_t> badJpeg = {0xFF, 0xD8, 0xFF, 0x00, 0x12};
    EXPECT_FALSE(Image::decodeJPEG(badJpeg));
    EXPECT_FALSE(Image::load("/nonexistent/file.png"));
}

TEST(ImageTest, WritePNGToFileAndLoadIt) {
    std::string dir = std::getenv("HOME");
    std::string path = dir + "/picture.png";
    ASSERT_TRUE(sample()->writePNG(path));
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    auto back = Image::load(path);
    ASSERT_TRUE(back);
    EXPECT_TRUE(*back == *sample());
    EXPECT_FALSE(sample()->writePNG(dir + "/missing-folder/picture.png"));
}

TEST(ImageTest, APictureOfTheBundleDecodesWhenFirstDrawnAndAsLoadDoes) {
    std::string dir = std::getenv("HOME");
    ASSERT_TRUE(sample()->writePNG(dir + "/later.png"));
    auto later = Image::loadDecodingOnFirstUse(dir + "/later.png", 2);
    ASSERT_TRUE(later);
    EXPECT_EQ(later->width(), 3);
    EXPECT_EQ(later->height(), 2);
    EXPECT_TRUE(*later->withScale(1) == *Image::load(dir + "/later.png"));
    // A body that does not decode leaves a transparent image of the header's size.
    std::ifstream in(dir + "/later.png", std::ios::binary);
    std::string bytes(std::istreambuf_iterator<char>(in), {});
    std::ofstream(dir + "/broken.png", std::ios::binary) << bytes.substr(0, 40);
    auto broken = Image::loadDecodingOnFirstUse(dir + "/broken.png");
    ASSERT_TRUE(broken);
    EXPECT_EQ(broken->pixel(0, 0), Image::RGBA8{});
    EXPECT_EQ(broken->bytesPerRow(), 12);
}

TEST(ImageTest, AnImageDrawnOnFirstUseIsDrawnOnceWhenNeeded) {
    int draws = 0;
    auto draw = [&draws](Context& c) {
        ++draws;
        c.setFillColor(Color::rgb(1, 0, 0, 1));
        c.fillRect(Rect(0, 0, 1.5, 2));
    };
    auto image = ImageContext::drawnOnFirstUse(Size(3, 2), 2, draw);
    ASSERT_TRUE(image);
    auto twin = image->withScale(1);
    EXPECT_EQ(draws, 0);
    EXPECT_EQ(image->width(), 6);
    EXPECT_FLOAT_EQ(image->size().width, 3);
    ImageContext eager(Size(3, 2), 2);
    draw(eager);
    EXPECT_TRUE(*eager.image() == *image);
    EXPECT_TRUE(*twin == *eager.image()->withScale(1));
    EXPECT_EQ(draws, 2);  // the eager context's and the deferred image's, shared by its twin
    EXPECT_FALSE(ImageContext::drawnOnFirstUse(Size(0, 2), 1, draw));
}

TEST(ImageTest, ScaleIsAlwaysPositive) {
    auto img = sample();
    EXPECT_FLOAT_EQ(img->withScale(0)->scale(), 1);
    EXPECT_FLOAT_EQ(img->withScale(NAN)->scale(), 1);
    EXPECT_FLOAT_EQ(img->withScale(3)->scale(), 3);
}

TEST(ImageTest, WritingAPNGNeverFollowsALinkBesideTheTarget) {
    // Screenshots used to go through "<name>.tmp", opened even when it was a
    // link to someone else's file.
    auto dir = std::filesystem::temp_directory_path() / ("tolvek-png-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    auto victim = dir / "victim.txt";
    { std::ofstream(victim) << "keep me"; }
    auto target = dir / "shot.png";
    std::filesystem::create_symlink(victim, dir / "shot.png.tmp");
    ASSERT_TRUE(sample()->writePNG(target.string()));
    std::ifstream in(victim);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "keep me");
    auto back = Image::decode([&] {
        std::ifstream png(target, std::ios::binary);
        std::string bytes(std::istreambuf_iterator<char>(png), {});
        return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    }());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->width(), 3);
    // Nothing but the link, the victim and the picture is left.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 3);
    std::filesystem::remove_all(dir);
}
