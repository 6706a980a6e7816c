#pragma once
// Shared helpers of the host tests: a temporary home for the whole test
// program, an application delegate that shows a given root controller, and
// pixel probes of a rendered screen.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "TestEnvironment.h"
#include "platform/gfx/Image.h"
#include "platform/ui/Application.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

namespace hosttest {

class HomeEnvironment : public ::testing::Environment {
public:
    void SetUp() override { home_ = std::make_unique<test::TempHome>(); }
    void TearDown() override { home_.reset(); }

private:
    std::unique_ptr<test::TempHome> home_;
};

// Puts the controller the function makes into a window at launch.
class RootDelegate : public ui::ApplicationDelegate {
public:
    explicit RootDelegate(std::function<std::shared_ptr<ui::ViewController>()> makeRoot)
        : makeRoot_(std::move(makeRoot)) {}
    bool didFinishLaunchingWithOptions(ui::Application&, const base::Value&) override {
        window_ = std::make_shared<ui::Window>(ui::Screen::mainScreen().bounds());
        window_->setBackgroundColor(gfx::Color::white());
        root_ = makeRoot_();
        window_->setRootViewController(root_);
        window_->makeKeyAndVisible();
        return true;
    }
    void applicationWillTerminate(ui::Application&) override { ++terminations; }
    std::shared_ptr<ui::Window> window() const override { return window_; }
    std::shared_ptr<ui::ViewController> root() const { return root_; }
    int terminations = 0;

private:
    std::function<std::shared_ptr<ui::ViewController>()> makeRoot_;
    std::shared_ptr<ui::Window> window_;
    std::shared_ptr<ui::ViewController> root_;
};

// Pixels darker than a text's ink threshold in the rectangle (pixels).
inline int darkPixels(const gfx::Image& image, int x0, int y0, int x1, int y1, int threshold = 90) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            auto p = image.pixel(x, y);
            if (p.a > 200 && p.r < threshold && p.g < threshold && p.b < threshold) ++n;
        }
    return n;
}

// How many different colours the image has (capped), sampled on a grid.
inline int distinctColours(const gfx::Image& image, int cap = 64) {
    std::vector<std::uint32_t> seen;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3) {
            auto p = image.pixel(x, y);
            std::uint32_t c = (std::uint32_t(p.r) << 16) | (std::uint32_t(p.g) << 8) | p.b;
            if (std::find(seen.begin(), seen.end(), c) == seen.end()) {
                seen.push_back(c);
                if (static_cast<int>(seen.size()) >= cap) return cap;
            }
        }
    return static_cast<int>(seen.size());
}

}  // namespace hosttest
