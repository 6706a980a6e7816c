#pragma once
// The fixture of the toolkit tests: a fresh application on the manual clock
// with a key window, and helpers that touch, swipe, advance time and draw
// the screen into an image.
#include <gtest/gtest.h>

#include <cairo.h>

#include <memory>
#include <string>
#include <vector>

#include "TestEnvironment.h"
#include "platform/base/Clock.h"
#include "platform/base/RunLoop.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Image.h"
#include "platform/ui/UI.h"

namespace uitest {

class UITest : public ::testing::Test {
protected:
    void SetUp() override {
        clock_ = std::make_shared<base::ManualClock>();
        base::Clock::setCurrent(clock_);
        ui::Application::resetSharedApplication();
        window_ = std::make_shared<ui::Window>();
        window_->makeKeyAndVisible();
    }

    void TearDown() override {
        window_.reset();
        ui::Application::resetSharedApplication();
        base::RunLoop::main().advanceBy(1);  // let queued releases run
        base::Clock::setCurrent(nullptr);
    }

    ui::Application& app() { return ui::Application::sharedApplication(); }
    void advance(double seconds) { base::RunLoop::main().advanceBy(seconds); }

    void tap(ui::Point p) { app().tap(p); }
    void swipe(ui::Point from, ui::Point to, int steps = 8) {
        app().touchBegan(from);
        for (int i = 1; i <= steps; ++i) {
            advance(0.016);
            ui::Point p(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps);
            app().touchMoved(p);
        }
        app().touchEnded(to);
    }
    bool tapNamed(const std::string& name) {
        std::string why;
        bool ok = app().tapElement(name, &why);
        if (!ok) ADD_FAILURE() << why;
        return ok;
    }

    // The whole screen drawn at scale 1.
    std::shared_ptr<gfx::Image> renderScreen() {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 320, 480);
        cairo_t* cr = cairo_create(surface);
        {
            gfx::Context ctx(cr, 1);
            app().renderScreen(ctx);
        }
        cairo_destroy(cr);
        cairo_surface_flush(surface);
        auto image = gfx::Image::fromSurface(surface, 1);
        cairo_surface_destroy(surface);
        return image;
    }

    std::shared_ptr<base::ManualClock> clock_;
    std::shared_ptr<ui::Window> window_;
    test::TempHome tempHome_;
};

// A controller that records its life cycle in a shared log.
class LoggingController : public ui::ViewController {
public:
    LoggingController(std::string name, std::shared_ptr<std::vector<std::string>> log)
        : name_(std::move(name)), log_(std::move(log)) {
        setTitle(name_);
    }
    void viewDidLoad() override { log_->push_back(name_ + ".viewDidLoad"); }
    void viewWillAppear(bool) override { log_->push_back(name_ + ".viewWillAppear"); }
    void viewDidAppear(bool) override { log_->push_back(name_ + ".viewDidAppear"); }
    void viewWillDisappear(bool) override { log_->push_back(name_ + ".viewWillDisappear"); }
    void viewDidDisappear(bool) override { log_->push_back(name_ + ".viewDidDisappear"); }

private:
    std::string name_;
    std::shared_ptr<std::vector<std::string>> log_;
};

}  // namespace uitest
