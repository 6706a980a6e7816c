// The window host runs in a child process (this test program again, with
// TOLVEK_HOST_CHILD saying what to do), under Xvfb when the test needs a
// display and with no display at all when it checks the refusal.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <SDL.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <thread>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "DemoDelegate.h"
#include "HostTestSupport.h"
#include "TestEnvironment.h"
#include "platform/base/Clock.h"
#include "platform/base/FileManager.h"
#include "platform/base/UserDefaults.h"
#include "platform/base/Value.h"
#include "platform/base/NotificationCenter.h"
#include "platform/base/RunLoop.h"
#include "platform/host/Main.h"
#include "platform/host/WindowHost.h"
#include "platform/ui/Accelerometer.h"
#include "platform/ui/Application.h"
#include "platform/ui/View.h"

namespace {

std::string selfPath() {
    std::array<char, 4096> buf{};
    ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    return n > 0 ? std::string(buf.data(), static_cast<std::size_t>(n)) : std::string();
}

struct ChildResult {
    int status = -1;
    std::string output;
};

// Runs the shell command line and collects what it prints.
ChildResult runCommand(const std::string& command) {
    ChildResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return result;
    std::array<char, 512> buf{};
    while (std::fgets(buf.data(), static_cast<int>(buf.size()), pipe)) result.output += buf.data();
    int raw = ::pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return result;
}

// The child runs one case of this program whole: a shard of the parent run
// (GoogleTest's sharding variables) would leave it nothing to run.
std::string childCommand(const std::string& mode, const std::string& args = {}) {
    return "env -u GTEST_TOTAL_SHARDS -u GTEST_SHARD_INDEX TOLVEK_HOST_CHILD=" + mode + " TOLVEK_HOST_CHILD_ARGS='" +
           args + "' '" + selfPath() + "' --gtest_filter=WindowHostChild.Run";
}

bool haveXvfb() { return std::system("command -v xvfb-run >/dev/null 2>&1") == 0; }

std::string underXvfb(const std::string& command) {
    return "xvfb-run -a -s '-screen 0 1280x1024x24' " + command + " 2>&1";
}

double cpuSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

class AccelerationRecorder : public ui::AccelerometerDelegate {
public:
    void didAccelerate(ui::Accelerometer&, const ui::Acceleration& a) override {
        strongest = std::max(strongest, std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z));
    }
    double strongest = 0;
};

void pushEvent(SDL_Event e) { SDL_PushEvent(&e); }

// The application of the run (made by the run, not before it).
ui::Application& app() { return ui::Application::sharedApplication(); }

// The longest a child waits for any one thing it is waiting for (a frame, a
// redraw, a shake); reached only when that thing never comes.
constexpr double kEventLimit = 60;

// Steps of a child's run that each wait for what they need rather than for a
// time: a step acts once its condition holds, checked as the run loop turns
// (every 10 ms), and the next step waits for its own condition after that.
// When a condition does not hold within kEventLimit seconds, the run is
// closed and missed() names the step that waited in vain.
class Steps {
public:
    void add(std::string name, std::function<bool()> ready, std::function<void()> act) {
        steps_.push_back(Step{std::move(name), std::move(ready), std::move(act)});
    }
    // Starts checking; call before the run. The checking stops once the last
    // step has acted, so the loop is idle after it.
    void start() {
        since_ = std::chrono::steady_clock::now();
        poll_ = base::Timer::scheduledTimer(0.01, true, [this](base::Timer& timer) { check(timer); });
    }
    void stop() {
        if (poll_) poll_->invalidate();
    }
    const std::string& missed() const { return missed_; }

private:
    struct Step {
        std::string name;
        std::function<bool()> ready;
        std::function<void()> act;
    };
    void check(base::Timer& timer) {
        while (next_ < steps_.size() && steps_[next_].ready()) {
            steps_[next_++].act();
            since_ = std::chrono::steady_clock::now();
        }
        if (next_ == steps_.size()) {
            timer.invalidate();
        } else if (std::chrono::steady_clock::now() - since_ > std::chrono::duration<double>(kEventLimit)) {
            missed_ = steps_[next_].name;
            timer.invalidate();
            host::WindowHost::requestClose();
        }
    }
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    std::chrono::steady_clock::time_point since_;
    std::shared_ptr<base::Timer> poll_;
    std::string missed_;
};

// Whether the child gave up waiting; says for what.
bool gaveUp(const Steps& steps) {
    if (steps.missed().empty()) return false;
    std::fprintf(stderr, "waited %.0f s in vain for %s\n", kEventLimit, steps.missed().c_str());
    return true;
}

// Feeds the window the events a user makes (a click on the field, typing,
// Return, Ctrl+K, minimising and restoring) and checks what the application
// got. Each event waits for the one before to have taken effect. Answers 0
// when all arrived as they should.
int runInputChild() {
    host::WindowHost window;
    auto accel = std::make_shared<AccelerationRecorder>();
    std::atomic<int> ticks{0};
    std::atomic<int> ticksAtMinimise{-1}, ticksBeforeRestore{-2};
    int backgrounds = 0, foregrounds = 0;
    std::thread restorer;
    auto& center = base::NotificationCenter::defaultCenter();
    center.addObserver(&backgrounds, ui::ApplicationDidEnterBackgroundNotification, nullptr,
                       [&](const base::Notification&) {
                           ++backgrounds;
                           ticksAtMinimise = ticks.load();
                           if (restorer.joinable()) return;
                           // The run loop is suspended now: the restore comes
                           // from outside, after half a second in which a
                           // timer that wrongly ran would have ticked ten times.
                           restorer = std::thread([&] {
                               std::this_thread::sleep_for(std::chrono::milliseconds(500));
                               ticksBeforeRestore = ticks.load();
                               SDL_Event r{};
                               r.type = SDL_WINDOWEVENT;
                               r.window.event = SDL_WINDOWEVENT_RESTORED;
                               pushEvent(r);
                           });
                       });
    center.addObserver(&foregrounds, ui::ApplicationWillEnterForegroundNotification, nullptr,
                       [&](const base::Notification&) { ++foregrounds; });
    center.addObserver(&ticks, ui::ApplicationDidBecomeActiveNotification, nullptr, [&](const base::Notification&) {
        if (foregrounds > 0) host::WindowHost::requestClose();
    });
    auto tick = base::Timer::scheduledTimer(0.05, true, [&](base::Timer&) { ++ticks; });
    auto key = [](SDL_Keycode sym, Uint16 mod = KMOD_NONE) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.keysym.sym = sym;
        e.key.keysym.mod = mod;
        pushEvent(e);
    };
    Steps steps;
    steps.add(
        "the first frame", [&] { return window.framesShown() > 0; },
        [&] {
            ui::Accelerometer::sharedAccelerometer().setDelegate(accel);
            // The number field: 60 points below the bar, under the status bar.
            const double s = window.scale();
            SDL_Event e{};
            e.type = SDL_MOUSEBUTTONDOWN;
            e.button.button = SDL_BUTTON_LEFT;
            e.button.x = static_cast<int>(160 * s);
            e.button.y = static_cast<int>((20 + 44 + 60 + 15) * s);
            pushEvent(e);
            e.type = SDL_MOUSEBUTTONUP;
            pushEvent(e);
        });
    steps.add(
        "the click to open the keyboard", [&] { return app().isKeyboardVisible(); },
        [] {
            SDL_Event e{};
            e.type = SDL_TEXTINPUT;
            std::strcpy(e.text.text, "25");
            pushEvent(e);
        });
    steps.add(
        "the typed count in the field", [&] { return app().dumpViewTree().find("\"25\"") != std::string::npos; },
        [&] { key(SDLK_RETURN); });
    steps.add(
        "Return to save the count", [&] { return app().isTextVisible("Saved 25 push-ups"); },
        [&] { key(SDLK_k, KMOD_LCTRL); });
    steps.add(
        "Ctrl+K to shake", [&] { return accel->strongest > ui::Accelerometer::ShakeThreshold; },
        [] {
            SDL_Event e{};
            e.type = SDL_WINDOWEVENT;
            e.window.event = SDL_WINDOWEVENT_MINIMIZED;
            pushEvent(e);
        });
    steps.start();
    int status = window.run(hosttest::demoDelegateFactory());
    steps.stop();
    if (restorer.joinable()) restorer.join();
    tick->invalidate();
    if (status != 0) return status;
    if (gaveUp(steps)) return 24;
    if (!app().isTextVisible("Saved 25 push-ups")) {
        std::fprintf(stderr, "the click, the typing and Return did not save the count:\n%s\n",
                     app().dumpViewTree().c_str());
        return 20;
    }
    if (!(accel->strongest > ui::Accelerometer::ShakeThreshold)) {
        std::fprintf(stderr, "Ctrl+K gave no shake (strongest %.2f g)\n", accel->strongest);
        return 21;
    }
    if (backgrounds != 1 || foregrounds != 1) {
        std::fprintf(stderr, "minimise and restore: %d backgrounds, %d foregrounds\n", backgrounds, foregrounds);
        return 22;
    }
    if (ticksAtMinimise.load() != ticksBeforeRestore.load()) {
        std::fprintf(stderr, "timers ran while minimised (%d ticks)\n",
                     ticksBeforeRestore.load() - ticksAtMinimise.load());
        return 23;
    }
    return 0;
}

double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Ctrl+Q, SIGTERM or SIGINT end the run promptly, as closing the window
// does, with a setting made just before on disk. Answers 0 when so.
int runQuitChild(const std::string& how) {
    test::TempHome home;
    host::WindowHost window;
    std::thread signaller;
    std::atomic<double> sentAt{0};
    Steps steps;
    steps.add(
        "the first frame", [&] { return window.framesShown() > 0 && !app().needsRedraw(); },
        [&] {
            base::UserDefaults::standardUserDefaults().setString("QuitCheck", how);  // not synchronized
            if (how == "key") {
                SDL_Event e{};
                e.type = SDL_KEYDOWN;
                e.key.keysym.sym = SDLK_q;
                e.key.keysym.mod = KMOD_LCTRL;
                sentAt = steadySeconds();
                pushEvent(e);
            } else {
                // Meant to come while the loop is asleep with nothing to do;
                // whenever it comes, the run ends.
                int sig = how == "int" ? SIGINT : SIGTERM;
                signaller = std::thread([sig, &sentAt] {
                    std::this_thread::sleep_for(std::chrono::milliseconds(300));
                    sentAt = steadySeconds();
                    ::kill(::getpid(), sig);
                });
            }
        });
    steps.start();
    int status = window.run(hosttest::demoDelegateFactory());
    const double endedAt = steadySeconds();
    steps.stop();
    if (signaller.joinable()) signaller.join();
    if (status != 0) return status;
    if (gaveUp(steps)) return 32;
    // A host that does not wake for the key or signal ends at the next turn
    // of the minute, or never: well past this.
    if (sentAt.load() == 0 || endedAt - sentAt.load() > 10) {
        std::fprintf(stderr, "the run took %.1f s to end\n", endedAt - sentAt.load());
        return 30;
    }
    auto bytes = base::FileManager::defaultManager().contentsAtPath(
        base::paths::join(base::paths::configHome(), "defaults.plist"));
    auto settings = bytes ? base::Value::fromPlist(*bytes) : std::nullopt;
    if (!settings || (*settings)["QuitCheck"].stringValue() != how) {
        std::fprintf(stderr, "the setting made before quitting is not on disk\n");
        return 31;
    }
    return 0;
}

// Opens the window on SDL's dummy display, has it resized as a window
// manager would (to the width and height given), clicks the switch where the
// resized window shows it, and reads the window back at the close: the
// frame is drawn at the new size, centred on black. Answers 0 when all is so.
int runResizeChild(int wide, int high) {
    host::WindowHost window;
    // The frame's place in the window once resized: as large as fits with
    // its aspect kept, centred.
    const double scale = std::min(wide / 320.0, high / 480.0);
    const int frameWide = static_cast<int>(std::ceil(320 * scale - 1e-4));
    const int frameHigh = static_cast<int>(std::ceil(480 * scale - 1e-4));
    const int left = (wide - frameWide) / 2, top = (high - frameHigh) / 2;
    double scaleAtOpen = 0;
    int framesBeforeOff = 0;
    Steps steps;
    steps.add(
        "the first frame", [&] { return window.framesShown() > 0; },
        [&] {
            scaleAtOpen = window.scale();
            window.setWindowSizeForTesting(wide, high);
        });
    steps.add(
        "the window to take its new size", [&] { return std::abs(window.scale() - scale) < 1e-9; },
        [&] {
            // The middle of the switch: 20 + 44 points of bars above the view.
            SDL_Event e{};
            e.type = SDL_MOUSEBUTTONDOWN;
            e.button.button = SDL_BUTTON_LEFT;
            e.button.x = left + static_cast<int>(std::lround(253 * scale));
            e.button.y = top + static_cast<int>(std::lround((20 + 44 + 228 + 13) * scale));
            pushEvent(e);
            e.type = SDL_MOUSEBUTTONUP;
            pushEvent(e);
        });
    steps.add(
        "the click to turn the switch off", [&] { return app().isTextVisible("Beeps are off"); },
        [&] { framesBeforeOff = window.framesShown(); });
    // The window is read back at the close: it closes once the switch, off,
    // has been drawn and nothing is left to draw.
    steps.add(
        "the switch drawn off",
        [&] {
            return window.framesShown() > framesBeforeOff && !app().needsRedraw() && !ui::View::hasRunningAnimations();
        },
        [] { host::WindowHost::requestClose(); });
    steps.start();
    host::WindowOptions options;
    options.readBackOnCloseForTesting = true;
    int status = window.run(hosttest::demoDelegateFactory(), options);
    steps.stop();
    if (status != 0) return status;
    if (gaveUp(steps)) return 45;
    // The dummy display is 1024 x 768: the window opened as large as fits
    // below a title bar, at one and a half pixels a point.
    if (scaleAtOpen != 1.5) {
        std::fprintf(stderr, "opened at %.3f pixels a point on a 1024 x 768 display\n", scaleAtOpen);
        return 40;
    }
    auto frame = window.lastFrame();
    auto shown = window.shownFrameForTesting();
    if (const char* keep = std::getenv("TOLVEK_HOST_CHILD_SHOT"); keep && shown) shown->writePNG(keep);
    if (!frame || !shown || shown->width() != wide || shown->height() != high || frame->width() != frameWide ||
        frame->height() != frameHigh) {
        std::fprintf(stderr, "after the resize the window shows %dx%d, the frame is %dx%d\n",
                     shown ? shown->width() : 0, shown ? shown->height() : 0, frame ? frame->width() : 0,
                     frame ? frame->height() : 0);
        return 41;
    }
    int differ = 0, border = 0;
    for (int y = 0; y < high; y += 5)
        for (int x = 0; x < wide; x += 5) {
            auto p = shown->pixel(x, y);
            if (x < left || x >= left + frameWide || y < top || y >= top + frameHigh) {
                if (p.r != 0 || p.g != 0 || p.b != 0) ++border;
            } else if (!(p == frame->pixel(x - left, y - top))) {
                ++differ;
            }
        }
    if (differ > 0 || border > 0) {
        std::fprintf(stderr, "%d sampled pixels of the frame differ from the drawing, %d of the border are not black\n",
                     differ, border);
        return 42;
    }
    // The drawing covers the frame's last column and row whole: on this
    // screen, whose backgrounds and bars run to its edges, they are shown as
    // the column and row beside them (a part-covered one would be a shade
    // of its own all along).
    int partial = 0;
    for (int y = 0; y < frameHigh; ++y)
        if (!(shown->pixel(left + frameWide - 1, top + y) == shown->pixel(left + frameWide - 2, top + y))) ++partial;
    for (int x = 0; x < frameWide; ++x)
        if (!(shown->pixel(left + x, top + frameHigh - 1) == shown->pixel(left + x, top + frameHigh - 2))) ++partial;
    if (partial > (frameWide + frameHigh) / 20) {
        std::fprintf(stderr, "%d pixels of the frame's last column and row differ from those beside them\n", partial);
        return 44;
    }
    if (!ui::Application::sharedApplication().isTextVisible("Beeps are off")) {
        std::fprintf(stderr, "the click on the switch of the resized window missed it:\n%s\n",
                     ui::Application::sharedApplication().dumpViewTree().c_str());
        return 43;
    }
    return 0;
}

// The child's side: runs the window host and ends the process with a status
// the parent checks (0 when all went as expected).
TEST(WindowHostChild, Run) {
    const char* mode = std::getenv("TOLVEK_HOST_CHILD");
    if (!mode) GTEST_SKIP() << "runs only as the child process of the window host tests";
    std::string which = mode;
    int status = 10;
    if (which == "main") {
        std::vector<std::string> args;
        std::istringstream words(std::getenv("TOLVEK_HOST_CHILD_ARGS") ? std::getenv("TOLVEK_HOST_CHILD_ARGS") : "");
        for (std::string w; words >> w;) args.push_back(w);
        status = host::runMain(args, hosttest::demoDelegateFactory());
    } else if (which == "close") {
        // Once the first frame is shown and nothing is left to draw, idle
        // for 1.5 s (the span measured, not a wait for anything), then close
        // as the window's close button does; the host must sleep through
        // the idle time.
        double idleFrom = 0, idleTo = 0;
        host::WindowHost window;
        std::shared_ptr<base::Timer> close;
        Steps steps;
        steps.add(
            "the first frame",
            [&] { return window.framesShown() > 0 && !app().needsRedraw() && !ui::View::hasRunningAnimations(); },
            [&] {
                idleFrom = cpuSeconds();
                close = base::Timer::scheduledTimer(1.5, false, [&](base::Timer&) {
                    idleTo = cpuSeconds();
                    host::WindowHost::requestClose();
                });
            });
        steps.start();
        host::WindowOptions options;
        options.readBackOnCloseForTesting = true;
        status = window.run(hosttest::demoDelegateFactory(), options);
        steps.stop();
        if (status == 0 && gaveUp(steps)) status = 8;
        auto frame = window.lastFrame();
        auto shown = window.shownFrameForTesting();
        if (const char* keep = std::getenv("TOLVEK_HOST_CHILD_SHOT"); keep && shown) shown->writePNG(keep);
        if (status == 0 && (window.framesShown() < 1 || !frame)) status = 3;
        if (status == 0 && (frame->width() != static_cast<int>(320 * window.scale()) ||
                            hosttest::darkPixels(*frame, 0, 0, frame->width(), frame->height()) < 200))
            status = 4;
        // The window shows the frame the toolkit drew, colours and all.
        if (status == 0 && (!shown || !(*shown == *frame))) {
            int diffs = 0;
            for (int y = 0; shown && y < frame->height(); y += 7)
                for (int x = 0; x < frame->width(); x += 7)
                    if (!(shown->pixel(x, y) == frame->pixel(x, y))) ++diffs;
            if (!shown || diffs > 0) {
                std::fprintf(stderr, "the window shows another picture (%d sampled pixels differ)\n", diffs);
                status = 7;
            }
        }
        // A host that polls instead of sleeping keeps a core busy all the
        // 1.5 s; half of that leaves room for the sanitizers' own work.
        if (status == 0 && !(idleTo - idleFrom < 0.75)) {
            std::fprintf(stderr, "busy while idle: %.3f s of processor time in 1.5 s\n", idleTo - idleFrom);
            status = 5;
        }
        if (status == 0 && window.framesShown() > 20) {
            std::fprintf(stderr, "drew %d frames with nothing changing\n", window.framesShown());
            status = 6;
        }
    } else if (which == "input") {
        status = runInputChild();
    } else if (which == "resize") {
        int wide = 0, high = 0;
        std::istringstream size(std::getenv("TOLVEK_HOST_CHILD_ARGS") ? std::getenv("TOLVEK_HOST_CHILD_ARGS") : "");
        if (size >> wide >> high && wide > 0 && high > 0) status = runResizeChild(wide, high);
    } else if (which.rfind("quit-", 0) == 0) {
        status = runQuitChild(which.substr(5));
    }
    std::fflush(stdout);
    std::fflush(stderr);
    ::_exit(status);
}

TEST(WindowHost, WithNoDisplayPrintsOneLineAndExitsWithTwo) {
    auto result =
        runCommand("env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER " + childCommand("main") + " 2>&1 >/dev/null");
    EXPECT_EQ(result.status, 2) << result.output;
    ASSERT_FALSE(result.output.empty());
    EXPECT_EQ(result.output.find('\n'), result.output.size() - 1) << "one line: " << result.output;
    EXPECT_EQ(result.output.rfind("tolvek: no display", 0), 0u) << result.output;
}

TEST(WindowHost, UnderXvfbDrawsAFrameSleepsWhenIdleAndClosesOnRequest) {
    if (!haveXvfb()) GTEST_SKIP() << "xvfb-run is not installed";
    auto result = runCommand(underXvfb(childCommand("close")));
    EXPECT_EQ(result.status, 0) << result.output;
}

TEST(WindowHost, UnderXvfbClicksTypingKeysAndMinimisingReachTheApplication) {
    if (!haveXvfb()) GTEST_SKIP() << "xvfb-run is not installed";
    auto result = runCommand(underXvfb(childCommand("input")));
    EXPECT_EQ(result.status, 0) << result.output;
}

TEST(WindowHost, UnderXvfbCtrlQAndSignalsEndTheRunWithTheSettingsSaved) {
    if (!haveXvfb()) GTEST_SKIP() << "xvfb-run is not installed";
    for (const std::string how : {"key", "term", "int"}) {
        // A run that does not end by itself is stopped after two minutes.
        auto result = runCommand(underXvfb("timeout -s KILL 120 " + childCommand("quit-" + how)));
        EXPECT_EQ(result.status, 0) << how << ": " << result.output;
    }
}

TEST(WindowHost, AResizedWindowShowsTheScreenScaledToFitAndClicksLandWhereItIsDrawn) {
    // Wider than the screen's shape (black at the sides), then taller (black
    // above and below), then two where the exact fit is a fraction of a
    // pixel wider or taller than a whole one.
    for (const std::string size : {"900 1000", "400 1000", "777 1165", "503 755"}) {
        auto result = runCommand("env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=dummy " +
                                 childCommand("resize", size) + " 2>&1");
        EXPECT_EQ(result.status, 0) << size << ": " << result.output;
    }
}

TEST(WindowHost, TheFramesOptionClosesTheWindowAfterThoseFrames) {
    if (!haveXvfb()) GTEST_SKIP() << "xvfb-run is not installed";
    auto result = runCommand(underXvfb(childCommand("main", "--frames 2")));
    EXPECT_EQ(result.status, 0) << result.output;
}

}  // namespace
