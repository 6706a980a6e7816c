#pragma once
// Runs a screen script from tests/screens/scripts through the headless host,
// as the program runs one, and checks the screenshots it took.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>

#include "TestEnvironment.h"
#include "platform/gfx/Image.h"
#include "platform/host/HeadlessDriver.h"
#include "platform/host/Script.h"

namespace screenscript {

// Where a script's screenshots go: TOLVEK_SHOTS when it is set (to keep and
// look at them), otherwise "shots" in the test's own home.
inline std::filesystem::path shotsDir(const test::TempHome& home) {
    const char* keep = std::getenv("TOLVEK_SHOTS");
    return keep ? std::filesystem::path(keep) : std::filesystem::path(home.path()) / "shots";
}

// Reads, parses and runs the named script on the driver with its screenshots
// going to `shots`. A script that cannot be read or parsed, or that does not
// run to its end, is a fatal failure: call it inside ASSERT_NO_FATAL_FAILURE.
inline void runScript(host::HeadlessDriver& driver, const std::string& name, const std::filesystem::path& shots) {
    const std::filesystem::path path = test::testSourceDir("screens/scripts") / name;
    std::ifstream in(path);
    ASSERT_TRUE(in) << path;
    std::stringstream text;
    text << in.rdbuf();
    host::ScriptError error;
    auto steps = host::parseScript(text.str(), &error);
    ASSERT_TRUE(steps) << error.line << ": " << error.why;
    host::ScriptOptions options;
    options.scriptName = path.filename().string();
    options.screenshotDir = shots.string();
    std::ostringstream out, err;
    ASSERT_EQ(host::runSteps(driver, *steps, options, out, err), 0) << err.str() << out.str();
}

// Every named screenshot was written as a PNG of the window's full width
// (320 points at 2x).
inline void expectScreenshots(const std::filesystem::path& shots, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        auto image = gfx::Image::load((shots / (std::string(name) + ".png")).string());
        ASSERT_TRUE(image) << name;
        EXPECT_EQ(image->width(), 640) << name;
    }
}

}  // namespace screenscript
