// The window host runs in a child process (this test program again, with
// TOLVEK_HOST_CHILD saying what to do), under Xvfb when the test needs a
// display and with no display at all when it checks the refusal.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "HostTestSupport.h"
#include "platform/base/Clock.h"
#include "platform/base/RunLoop.h"
#include "platform/host/DemoDelegate.h"
#include "platform/host/Main.h"
#include "platform/host/WindowHost.h"

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

std::string childCommand(const std::string& mode, const std::string& args = {}) {
    return "env TOLVEK_HOST_CHILD=" + mode + " TOLVEK_HOST_CHILD_ARGS='" + args + "' '" + selfPath() +
           "' --gtest_filter=WindowHostChild.Run";
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
        status = host::runMain(args, host::demoDelegateFactory());
    } else if (which == "close") {
        // Idle for a while after start-up, then close as the window's close
        // button does; the host must sleep through the idle time.
        double idleFrom = 0, idleTo = 0;
        auto mark = base::Timer::scheduledTimer(0.6, false, [&](base::Timer&) { idleFrom = cpuSeconds(); });
        auto close = base::Timer::scheduledTimer(2.1, false, [&](base::Timer&) {
            idleTo = cpuSeconds();
            host::WindowHost::requestClose();
        });
        host::WindowHost window;
        status = window.run(host::demoDelegateFactory());
        auto frame = window.lastFrame();
        if (status == 0 && (window.framesShown() < 1 || !frame)) status = 3;
        if (status == 0 && (frame->width() != static_cast<int>(320 * window.scale()) ||
                            hosttest::darkPixels(*frame, 0, 0, frame->width(), frame->height()) < 200))
            status = 4;
        if (status == 0 && !(idleTo - idleFrom < 0.3)) {
            std::fprintf(stderr, "busy while idle: %.3f s of processor time in 1.5 s\n", idleTo - idleFrom);
            status = 5;
        }
        if (status == 0 && window.framesShown() > 20) {
            std::fprintf(stderr, "drew %d frames with nothing changing\n", window.framesShown());
            status = 6;
        }
    }
    std::fflush(stdout);
    std::fflush(stderr);
    ::_exit(status);
}

TEST(WindowHost, WithNoDisplayPrintsOneLineAndExitsWithTwo) {
    auto result = runCommand("env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER " + childCommand("main") +
                             " 2>&1 >/dev/null");
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

TEST(WindowHost, TheFramesOptionClosesTheWindowAfterThoseFrames) {
    if (!haveXvfb()) GTEST_SKIP() << "xvfb-run is not installed";
    auto result = runCommand(underXvfb(childCommand("main", "--frames 2")));
    EXPECT_EQ(result.status, 0) << result.output;
}

}  // namespace
