#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "TestEnvironment.h"
#include "DemoDelegate.h"
#include "HostTestSupport.h"
#include "platform/host/Main.h"
#include "platform/host/Script.h"

namespace {

namespace fs = std::filesystem;

fs::path scriptsDir() { return test::testSourceDir("platform/host/scripts"); }

class ScratchDir {
public:
    ScratchDir()
        : path_(fs::temp_directory_path() /
                ("tolvek-script-" + std::to_string(::getpid()) + "-" + std::to_string(counter()++))) {
        fs::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }
    fs::path write(const std::string& name, const std::string& text) const {
        std::ofstream(path_ / name) << text;
        return path_ / name;
    }

private:
    static int& counter() {
        static int n = 0;
        return n;
    }
    fs::path path_;
};

TEST(DemoScript, TapsThroughTheDemoScreenAndTakesRealScreenshots) {
    ScratchDir shots;
    testing::internal::CaptureStdout();
    int status =
        host::runMain(std::vector<std::string>{"--headless", "--script", (scriptsDir() / "demo.script").string(),
                                               "--screenshots", shots.path().string()},
                      hosttest::demoDelegateFactory());
    std::string out = testing::internal::GetCapturedStdout();
    ASSERT_EQ(status, 0);
    // The dump at the end lists the visible tree with its texts.
    EXPECT_NE(out.find("TextField"), std::string::npos) << out;
    EXPECT_NE(out.find("\"Saved 25 push-ups\""), std::string::npos) << out;

    for (const char* name : {"entry", "demo", "about"}) {
        auto image = gfx::Image::load((shots.path() / (std::string(name) + ".png")).string());
        ASSERT_TRUE(image) << name;
        EXPECT_EQ(image->width(), 640);
        EXPECT_EQ(image->height(), 960);
        EXPECT_GT(hosttest::distinctColours(*image), 16) << name << " looks blank";
    }
    auto demo = gfx::Image::load((shots.path() / "demo.png").string());
    // The question above the field (24 points below the bar, 17-point bold)
    // and the saved count are drawn in dark ink.
    EXPECT_GT(hosttest::darkPixels(*demo, 40, 2 * 88, 600, 2 * 112), 200);
    EXPECT_GT(hosttest::darkPixels(*demo, 40, 2 * 224, 600, 2 * 268), 100);
    // The navigation bar (left of its title) is not the white of the body.
    auto bar = demo->pixel(100, 2 * 42);
    EXPECT_FALSE(bar.r > 240 && bar.g > 240 && bar.b > 240);
}

TEST(DemoScript, AFailingStepNamesItsLineAndStopsTheRun) {
    ScratchDir dir;
    auto script = dir.write("fail.script",
                            "# fails on line 3\n"
                            "expect \"How many push-ups\"\n"
                            "expect \"Nothing like this\"\n"
                            "screenshot after\n");
    std::ostringstream out, err;
    int status = host::runScriptFile(script.string(), dir.path().string(), hosttest::demoDelegateFactory(), out, err);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(err.str(), script.string() +
                             ":3: expect \"Nothing like this\": no visible view shows a text containing "
                             "\"Nothing like this\"\n");
    EXPECT_FALSE(fs::exists(dir.path() / "after.png"));
}

TEST(DemoScript, AMalformedScriptFailsBeforeAnythingRuns) {
    ScratchDir dir;
    auto script = dir.write("bad.script", "screenshot first\nwait soon\n");
    std::ostringstream out, err;
    EXPECT_EQ(host::runScriptFile(script.string(), dir.path().string(), hosttest::demoDelegateFactory(), out, err), 1);
    EXPECT_NE(err.str().find(":2: SECONDS must be a number"), std::string::npos) << err.str();
    EXPECT_FALSE(fs::exists(dir.path() / "first.png"));

    std::ostringstream err2;
    EXPECT_EQ(
        host::runScriptFile((dir.path() / "missing.script").string(), ".", hosttest::demoDelegateFactory(), out, err2),
        1);
    EXPECT_NE(err2.str().find("cannot read the script"), std::string::npos);
}

TEST(DemoScript, TapFailsForDisabledOrMissingControlsAndQuitEndsCleanly) {
    ScratchDir dir;
    auto script = dir.write("quit.script", "tap \"Save\"\nexpect \"whole number\"\nquit\nexpect \"never checked\"\n");
    std::ostringstream out, err;
    EXPECT_EQ(host::runScriptFile(script.string(), dir.path().string(), hosttest::demoDelegateFactory(), out, err), 0)
        << err.str();
    auto missing = dir.write("missing.script", "tap \"Start Workout\"\n");
    std::ostringstream err2;
    EXPECT_EQ(host::runScriptFile(missing.string(), dir.path().string(), hosttest::demoDelegateFactory(), out, err2),
              1);
    EXPECT_NE(err2.str().find(":1: tap \"Start Workout\": "), std::string::npos) << err2.str();
}

}  // namespace
