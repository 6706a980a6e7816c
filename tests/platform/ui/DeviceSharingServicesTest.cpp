#include <cstdlib>

#include "DeviceTestSupport.h"
#include "platform/gfx/Image.h"
#include "platform/host/HeadlessDriver.h"
#include "platform/ui/Pasteboard.h"
#include "platform/ui/PhotoAlbum.h"
#include "platform/ui/URLOpener.h"

using namespace ui;

namespace {

class FakeClipboard : public ClipboardBackend {
public:
    bool setString(const std::string& text) override {
        text_ = text;
        return true;
    }
    std::optional<std::string> string() override { return text_; }
    std::optional<std::string> text_;
};

std::shared_ptr<gfx::Image> redSquare() {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgb(cr, 1, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    auto image = gfx::Image::fromSurface(s, 1);
    cairo_surface_destroy(s);
    return image;
}

class DeviceSharingTest : public devicetest::DeviceTest {
protected:
    void TearDown() override {
        Pasteboard::setBackend(nullptr);
        Pasteboard::generalPasteboard().clearForTesting();
        PhotoAlbum::setPicturesDirectoryForTesting("");
        url_handlers::unregisterHandler("tolvek");
        DeviceTest::TearDown();
    }
};

TEST_F(DeviceSharingTest, ThePasteboardKeepsTextAndImagesAndPassesTextToTheDesktop) {
    auto& pb = Pasteboard::generalPasteboard();
    pb.clearForTesting();
    EXPECT_FALSE(pb.string().has_value());
    pb.setString("http://example.org/a b");
    EXPECT_EQ(pb.string(), "http://example.org/a b");
    auto clipboard = std::make_shared<FakeClipboard>();
    Pasteboard::setBackend(clipboard);
    pb.setString("https://example.org/");
    EXPECT_EQ(clipboard->text_, "https://example.org/");
    // The desktop's clipboard is read back: another program may have copied.
    clipboard->text_ = "copied elsewhere";
    EXPECT_EQ(pb.string(), "copied elsewhere");
    long before = pb.changeCount();
    auto image = redSquare();
    pb.setImage(image);
    EXPECT_EQ(pb.image(), image);
    EXPECT_FALSE(pb.imageOnClipboard());  // this backend takes text only
    EXPECT_GT(pb.changeCount(), before);
}

TEST_F(DeviceSharingTest, SavingToThePhotoAlbumWritesANewPNGEachTime) {
    std::string folder = tempHome_.path() + "/My Pictures";
    PhotoAlbum::setPicturesDirectoryForTesting(folder);
    std::optional<PhotoSaveResult> reported;
    auto first = PhotoAlbum::saveImage(*redSquare(), [&](const PhotoSaveResult& r) { reported = r; });
    ASSERT_TRUE(first.saved) << (first.error ? first.error->description() : "");
    EXPECT_FALSE(reported.has_value());  // the completion comes on the run loop
    advance(0.01);
    ASSERT_TRUE(reported.has_value());
    EXPECT_EQ(reported->path, first.path);
    auto back = gfx::Image::load(first.path);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->width(), 8);
    // The same second again: a second file, the first untouched.
    auto second = PhotoAlbum::saveImage(*redSquare());
    ASSERT_TRUE(second.saved);
    EXPECT_NE(second.path, first.path);
    EXPECT_EQ(devicetest::filesIn(folder).size(), 2u);
}

TEST_F(DeviceSharingTest, APhotoAlbumThatCannotBeMadeReportsTheError) {
    std::string blocker = tempHome_.path() + "/blocker";
    std::ofstream(blocker) << "file";
    PhotoAlbum::setPicturesDirectoryForTesting(blocker + "/Pictures");
    auto result = PhotoAlbum::saveImage(*redSquare());
    EXPECT_FALSE(result.saved);
    ASSERT_TRUE(result.error.has_value());
    EXPECT_EQ(result.error->domain(), PhotoAlbumErrorDomain);
    EXPECT_TRUE(result.path.empty());
}

TEST_F(DeviceSharingTest, WithoutAConfiguredPicturesFolderPicturesGoToHomePictures) {
    // A fresh home has no user-dirs file: the pictures folder is ~/Pictures,
    // never the home folder itself.
    EXPECT_EQ(PhotoAlbum::picturesDirectory(), tempHome_.path() + "/Pictures");
}

TEST_F(DeviceSharingTest, OnlyDesktopSchemesOrOurOwnHandlersOpen) {
    host::HeadlessDriver driver;
    auto& application = driver.application();
    EXPECT_TRUE(application.openURL("https://example.org/page?q=1"));
    EXPECT_TRUE(application.openURL("mailto:coach@example.org"));
    EXPECT_FALSE(application.openURL("fbauth://authorize"));
    EXPECT_FALSE(application.openURL("tolvek://done"));
    std::vector<std::string> handled;
    url_handlers::registerHandler("Tolvek", [&](const std::string& url) {
        handled.push_back(url);
        return true;
    });
    EXPECT_TRUE(application.openURL("tolvek://done"));
    EXPECT_EQ(handled, std::vector<std::string>{"tolvek://done"});
    EXPECT_EQ(application.openedURLs().back(), "tolvek://done");
    EXPECT_EQ(url_handlers::schemeOf("HTTP://x"), "http");
    EXPECT_EQ(url_handlers::schemeOf("1abc://x"), "");
    // A test decides what the desktop answers.
    application.setURLOpener([](const std::string&) { return false; });
    EXPECT_FALSE(application.openURL("https://example.org/"));
}

}  // namespace
