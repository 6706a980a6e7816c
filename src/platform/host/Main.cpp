#include "platform/host/Main.h"

#include <charconv>
#include <iostream>

#include "platform/host/Script.h"
#include "platform/host/WindowHost.h"
#include "platform/ui/Application.h"

namespace host {

std::string usage() {
    return "usage: tolvek [--headless --script FILE [--screenshots DIR]] [--frames N]\n"
           "  (no options)        open the window\n"
           "  --headless          run without a window, on a manual clock\n"
           "  --script FILE       the steps to run headless\n"
           "  --screenshots DIR   where the script's screenshots go (default: the current folder)\n"
           "  --frames N          close the window after at most N frames (sooner once nothing changes)\n";
}

std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& args, std::string* why) {
    CommandLine line;
    auto fail = [&](std::string reason) -> std::optional<CommandLine> {
        if (why) *why = std::move(reason);
        return std::nullopt;
    };
    bool sawScript = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size() || args[i + 1].empty()) return false;
            out = args[++i];
            return true;
        };
        if (a == "--help" || a == "-h") {
            line.help = true;
        } else if (a == "--headless") {
            line.headless = true;
        } else if (a == "--script") {
            if (sawScript) return fail("--script is given twice");
            if (!value(line.script)) return fail("--script needs a FILE");
            sawScript = true;
        } else if (a == "--screenshots") {
            std::string dir;
            if (line.screenshotDir) return fail("--screenshots is given twice");
            if (!value(dir)) return fail("--screenshots needs a DIR");
            line.screenshotDir = dir;
        } else if (a == "--frames") {
            std::string n;
            if (!value(n)) return fail("--frames needs a number");
            auto [end, ec] = std::from_chars(n.data(), n.data() + n.size(), line.frames);
            if (ec != std::errc() || end != n.data() + n.size() || line.frames < 1)
                return fail("--frames needs a whole number of at least 1");
        } else {
            return fail("unknown option " + a);
        }
    }
    if (line.help) return line;
    if (line.headless && !sawScript) return fail("--headless needs --script FILE");
    if (!line.headless && sawScript) return fail("--script runs only with --headless");
    if (!line.headless && line.screenshotDir) return fail("--screenshots goes with --headless");
    if (line.headless && line.frames) return fail("--frames is for the window, not --headless");
    return line;
}

int runMain(const std::vector<std::string>& args, const DelegateFactory& factory) {
    std::string why;
    auto line = parseCommandLine(args, &why);
    if (!line) {
        std::cerr << "tolvek: " << why << "\n" << usage();
        return 64;
    }
    if (line->help) {
        std::cout << usage();
        return 0;
    }
    if (line->headless)
        return runScriptFile(line->script, line->screenshotDir.value_or("."), factory, std::cout, std::cerr);
    WindowOptions options;
    options.maxFrames = line->frames;
    WindowHost window;
    const int status = window.run(factory, options);
    // Tear the screens down now, while every service they release into is
    // still alive, rather than during static destruction after main returns.
    ui::Application::resetSharedApplication();
    return status;
}

int runMain(int argc, char** argv, const DelegateFactory& factory) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    return runMain(args, factory);
}

}  // namespace host
