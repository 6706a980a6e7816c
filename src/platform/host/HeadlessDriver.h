#pragma once
// The headless host: the application with no window, on a manual clock, at
// scale 2, driven step by step. End-to-end tests use it as a C++ API; the
// script runner (Script.h) drives it from a text file.
//
// Time moves only when a step says so: wait() advances the manual clock and
// fires every timer and animation frame due on the way; background() moves
// it while the application is in the background, where (as on the phone)
// nothing runs until it comes back. Every other step happens at one instant
// and then runs the work it made due (zero-delay calls, posted work).
#include <memory>
#include <string>

#include "platform/base/Value.h"
#include "platform/ui/Types.h"

namespace base {
class ManualClock;
}
namespace gfx {
class Image;
}
namespace ui {
class Application;
class ApplicationDelegate;
}  // namespace ui

namespace host {

class HeadlessDriver {
public:
    // Installs a fresh manual clock as the clock in force and a fresh
    // application at scale 2.
    HeadlessDriver();
    // Ends the run (will-terminate, if it has not ended yet), throws the
    // application away and puts the system clock back.
    ~HeadlessDriver();
    HeadlessDriver(const HeadlessDriver&) = delete;
    HeadlessDriver& operator=(const HeadlessDriver&) = delete;

    // Launches the application with the delegate; answers the delegate's
    // did-finish-launching result.
    bool start(std::shared_ptr<ui::ApplicationDelegate> delegate, const base::Value& launchOptions = {});
    bool isRunning() const { return running_; }

    ui::Application& application();
    base::ManualClock& clock() { return *clock_; }

    // --- Steps. Those that can fail answer false and say why in lastError().
    // Taps the front-most visible, enabled control or row named text.
    bool tap(const std::string& text);
    // Taps the point (screen points).
    bool tapAt(ui::Float x, ui::Float y);
    // A finger drag from one point to another taking the seconds, in steps
    // moves; the clock advances (firing timers) as the finger moves.
    bool swipe(ui::Point from, ui::Point to, double seconds = 0.2, int steps = 8);
    // Turns the mouse wheel with the pointer at the point (screen points):
    // notches as Application::scrollWheel has them, dy > 0 away from the
    // user. Animations it starts (a page turn) run as the clock moves.
    bool wheel(ui::Point at, ui::Float dy, ui::Float dx = 0);
    // Types into the first responder (fails when no text input is being
    // edited); "\n" in the text is the return key.
    bool type(const std::string& text);
    // The return key: for the text input being edited, or for the alert or
    // sheet in front (fails when there is neither).
    bool pressReturn();
    void pressEscape();
    // Puts the text on the pasteboard and pastes it into the text input being
    // edited, as Ctrl+V does (fails when none is).
    bool paste(const std::string& text);
    void shake();
    // Advances the manual clock, firing timers and animations on the way.
    void wait(double seconds);
    // Goes to the background, lets the seconds pass there, and comes back.
    void background(double seconds);
    // The whole screen as drawn now (640 x 960 pixels at scale 2).
    std::shared_ptr<gfx::Image> renderScreen();
    // Writes the screen as a PNG (the folder is made when missing).
    bool screenshot(const std::string& path);
    // The visible view tree as indented text (class, frame, text).
    std::string dump() const;
    // Whether some visible view shows a text containing text.
    bool isTextVisible(const std::string& text) const;
    // Fail unless some visible view shows (or no visible view shows) text.
    bool expect(const std::string& text);
    bool expectNot(const std::string& text);
    // Ends the run (will-terminate); later steps fail.
    void quit();

    const std::string& lastError() const { return error_; }

    // Runs the work due now (zero-delay calls, work posted from other
    // threads, timers due at this instant) until none is left.
    void settle();

private:
    bool fail(std::string why);
    bool requireRunning();

    std::shared_ptr<base::ManualClock> clock_;
    bool running_ = false;
    bool ended_ = false;
    std::string error_;
};

}  // namespace host
