#include "platform/host/HeadlessDriver.h"

#include <cmath>
#include <exception>
#include <filesystem>
#include <system_error>

#include "platform/base/Clock.h"
#include "platform/base/Log.h"
#include "platform/base/RunLoop.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Image.h"
#include "platform/host/Host.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/Pasteboard.h"

namespace host {

namespace {

// Work that keeps making more work at the same instant (a zero-interval
// repeating timer) must not hang a step.
constexpr int kMaxSettleRounds = 10000;

}  // namespace

HeadlessDriver::HeadlessDriver() : clock_(std::make_shared<base::ManualClock>()) {
    base::Clock::setCurrent(clock_);
    ui::Application::resetSharedApplication();
    ui::Screen::mainScreen().setScale(2);
    // No other program runs here: the URLs a desktop could open are taken
    // (and recorded by the application), the others are refused, as the
    // window host does.
    ui::Application::sharedApplication().setURLOpener([](const std::string& url) { return isDesktopURL(url); });
}

HeadlessDriver::~HeadlessDriver() {
    try {
        quit();
        ui::Application::resetSharedApplication();
    } catch (const std::exception& e) {
        // Tearing down never throws out of a destructor, but says what failed.
        base::log(std::string("Error while ending the headless run: ") + e.what());
    } catch (...) {
        base::log("Error while ending the headless run: an exception of unknown type");
    }
    base::Clock::setCurrent(nullptr);
}

ui::Application& HeadlessDriver::application() { return ui::Application::sharedApplication(); }

bool HeadlessDriver::start(std::shared_ptr<ui::ApplicationDelegate> delegate, const base::Value& launchOptions) {
    if (running_ || ended_) return fail("the application has already been started");
    running_ = true;
    bool ok = application().launch(std::move(delegate), launchOptions);
    settle();
    return ok;
}

void HeadlessDriver::settle() {
    auto& loop = base::RunLoop::main();
    for (int i = 0; i < kMaxSettleRounds; ++i)
        if (!loop.runPendingWork()) break;
}

bool HeadlessDriver::fail(std::string why) {
    error_ = std::move(why);
    return false;
}

bool HeadlessDriver::requireRunning() {
    if (running_) return true;
    return fail(ended_ ? "the application has quit" : "the application has not been started");
}

bool HeadlessDriver::tap(const std::string& text) {
    if (!requireRunning()) return false;
    std::string why;
    bool ok = application().tapElement(text, &why);
    settle();
    return ok || fail(why);
}

bool HeadlessDriver::tapAt(ui::Float x, ui::Float y) {
    if (!requireRunning()) return false;
    if (!std::isfinite(x) || !std::isfinite(y) || !ui::Screen::mainScreen().bounds().contains(ui::Point(x, y)))
        return fail("the point is outside the screen (320 x 480 points)");
    application().tap(ui::Point(x, y));
    settle();
    return true;
}

bool HeadlessDriver::swipe(ui::Point from, ui::Point to, double seconds, int steps) {
    if (!requireRunning()) return false;
    auto bounds = ui::Screen::mainScreen().bounds();
    if (!bounds.contains(from) || !bounds.contains(to))
        return fail("the swipe goes outside the screen (320 x 480 points)");
    if (steps < 1) steps = 1;
    if (!(seconds >= 0)) seconds = 0;
    auto& app = application();
    app.touchBegan(from);
    settle();
    for (int i = 1; i <= steps; ++i) {
        base::RunLoop::main().advanceBy(seconds / steps);
        ui::Float f = static_cast<ui::Float>(i) / static_cast<ui::Float>(steps);
        app.touchMoved(ui::Point(from.x + (to.x - from.x) * f, from.y + (to.y - from.y) * f));
        settle();
    }
    app.touchEnded(to);
    settle();
    return true;
}

bool HeadlessDriver::wheel(ui::Point at, ui::Float dy, ui::Float dx) {
    if (!requireRunning()) return false;
    if (!at.isFiniteValue() || !ui::Screen::mainScreen().bounds().contains(at))
        return fail("the point is outside the screen (320 x 480 points)");
    application().scrollWheel(at, dx, dy);
    settle();
    return true;
}

bool HeadlessDriver::type(const std::string& text) {
    if (!requireRunning()) return false;
    if (!application().isKeyboardVisible()) return fail("no text input is being edited (tap a text field first)");
    application().typeText(text);
    settle();
    return true;
}

bool HeadlessDriver::pressReturn() {
    if (!requireRunning()) return false;
    if (!application().isKeyboardVisible() && !application().frontAlert())
        return fail("no text input is being edited (tap a text field first)");
    application().pressReturn();
    settle();
    return true;
}

void HeadlessDriver::pressEscape() {
    if (!requireRunning()) return;
    application().pressEscape();
    settle();
}

bool HeadlessDriver::paste(const std::string& text) {
    if (!requireRunning()) return false;
    if (!application().isKeyboardVisible()) return fail("no text input is being edited (tap a text field first)");
    ui::Pasteboard::generalPasteboard().setString(text);
    if (auto onBoard = ui::Pasteboard::generalPasteboard().string()) application().pasteText(*onBoard);
    settle();
    return true;
}

void HeadlessDriver::shake() {
    if (!running_) return;
    application().shake();
    settle();
}

void HeadlessDriver::wait(double seconds) {
    if (!(seconds > 0) || !std::isfinite(seconds)) {
        settle();
        return;
    }
    base::RunLoop::main().advanceBy(seconds);
    settle();
}

void HeadlessDriver::background(double seconds) {
    if (!running_) return;
    auto& app = application();
    app.enterBackground();
    settle();
    // A suspended application runs nothing: the clock moves past its timers,
    // which fire once (not once per missed period) when it comes back.
    if (seconds > 0 && std::isfinite(seconds)) clock_->advance(seconds);
    app.enterForeground();
    settle();
}

std::shared_ptr<gfx::Image> HeadlessDriver::renderScreen() {
    auto& screen = ui::Screen::mainScreen();
    gfx::ImageContext context(screen.bounds().size, screen.scale());
    application().renderScreen(context);
    return context.image();
}

bool HeadlessDriver::screenshot(const std::string& path) {
    if (!requireRunning()) return false;
    std::filesystem::path target(path);
    if (target.has_parent_path()) {
        std::error_code ec;
        std::filesystem::create_directories(target.parent_path(), ec);
        if (ec) return fail("cannot make the folder " + target.parent_path().string() + ": " + ec.message());
    }
    auto image = renderScreen();
    if (!image || !image->writePNG(path)) return fail("cannot write " + path);
    return true;
}

std::string HeadlessDriver::dump() const { return ui::Application::sharedApplication().dumpViewTree(); }

bool HeadlessDriver::isTextVisible(const std::string& text) const {
    return ui::Application::sharedApplication().isTextVisible(text);
}

bool HeadlessDriver::expect(const std::string& text) {
    if (!requireRunning()) return false;
    return isTextVisible(text) || fail("no visible view shows a text containing \"" + text + "\"");
}

bool HeadlessDriver::expectNot(const std::string& text) {
    if (!requireRunning()) return false;
    return !isTextVisible(text) || fail("a visible view shows a text containing \"" + text + "\"");
}

void HeadlessDriver::quit() {
    if (!running_) return;
    running_ = false;
    ended_ = true;
    application().terminate();
    settle();
}

}  // namespace host
