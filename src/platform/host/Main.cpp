#include "platform/host/Main.h"

#include <charconv>
#include <iostream>

#include "platform/base/FileManager.h"
#include "platform/base/Log.h"
#include "platform/base/RunLoop.h"
#include "platform/host/DesktopEntry.h"
#include "platform/host/Instance.h"
#include "platform/host/Script.h"
#include "platform/host/WindowHost.h"
#include "platform/ui/Application.h"

namespace host {

std::string usage() {
    return "usage: tolvek [--headless --script FILE [--screenshots DIR]] [--frames N] [URL]\n"
           "  (no options)        open the window\n"
           "  URL                 open the URL (a login's answer) in the running Tolvek, or start with it\n"
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
        } else if (!a.empty() && a[0] != '-' && looksLikeURL(a)) {
            if (line.url) return fail("only one URL can be given");
            line.url = a;
        } else if (!a.empty() && a[0] != '-') {
            return fail("not a URL: " + a.substr(0, 80));
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

namespace {

// Only the user may enter the program's folders, whatever an older run or
// another umask left.
void preparePrivateFolders() {
    std::string why;
    if (!base::FileManager::defaultManager().preparePrivateFolders(&why)) base::log(why);
}

// Hands a URL to the application's delegate; one it does not take is noted
// by its scheme only (the rest may hold a login's secrets).
void openURL(ui::Application& app, const std::string& url) {
    if (!app.deliverOpenURL(url)) base::log("the " + url.substr(0, url.find(':')) + " URL given was not for Tolvek");
}

}  // namespace

int runMain(const std::vector<std::string>& args, const DelegateFactory& factory, const ProgramInfo& info) {
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
    // A browser can hand the program a URL of its own scheme only when an
    // installed desktop entry names it as that scheme's handler.
    auto handlerInstalled = [&] { return !info.urlScheme.empty() && isURLSchemeHandlerInstalled(info.urlScheme); };
    // One program per data folder (and per settings folder): the locks on
    // the folders decide, taken before anything else is touched.
    InstanceChannel channel;
    if (line->headless) {
        // A scripted run would change the files under a window that holds
        // them (and lose to its next save): it stops before touching any.
        // Scripted runs share the folder among themselves.
        if (!channel.hold(InstanceChannel::Hold::Shared, &why)) {
            if (channel.settingsHeldElsewhere()) {
                std::cerr << "tolvek: a Tolvek window on another data folder is using this settings folder ("
                          << base::paths::configHome() << "); close it, or run with another XDG_CONFIG_HOME\n";
                return 3;
            }
            if (channel.heldElsewhere()) {
                std::cerr << "tolvek: a Tolvek window is using this data folder (" << base::paths::dataHome()
                          << "); close it, or run with another XDG_DATA_HOME and XDG_CONFIG_HOME\n";
                return 3;
            }
            base::log("the data folder cannot be locked, so a window could open on it meanwhile: " + why);
        }
        preparePrivateFolders();
        HeadlessLaunch launch;
        launch.url = line->url;
        launch.canReceiveOwnURLScheme = handlerInstalled();
        return runScriptFile(line->script, line->screenshotDir.value_or("."), factory, std::cout, std::cerr, launch);
    }

    // The first start takes the lock and listens; a later one hands its URL
    // (or just its start) to the holder, which comes to the front, and ends.
    for (int round = 0;; ++round) {
        if (channel.hold(InstanceChannel::Hold::Exclusive, &why)) break;
        if (!channel.heldElsewhere()) {
            // The folder cannot be locked (one this user cannot read, a file
            // system without locks): the user still gets the window.
            base::log("the data folder cannot be locked, so another start could open a second window: " + why);
            break;
        }
        // A program on another data folder shares the settings: it is not
        // this folder's, so nothing is handed to it.
        if (channel.settingsHeldElsewhere()) {
            std::cerr << "tolvek: another Tolvek is running on another data folder with this settings folder ("
                      << base::paths::configHome()
                      << "); close it, or run with another XDG_CONFIG_HOME; this start ends\n";
            return 3;
        }
        if (line->url ? InstanceChannel::handOver(*line->url, &why) : InstanceChannel::comeForward(&why)) return 0;
        // Still held (or given up and taken again at once): this start ends
        // and says why the running one was not reached.
        if (InstanceChannel::isHeldElsewhere() || round > 0) {
            std::cerr << "tolvek: another Tolvek is running on this data folder (" << base::paths::dataHome()
                      << ") and cannot be reached (" << why << "); this start ends\n";
            return 3;
        }
        // It ended meanwhile: this start takes its place.
    }
    preparePrivateFolders();
    // Handing over is an extra: without it the window still opens, holding
    // the folder, and later starts say that they cannot reach it.
    if (channel.isHolding()) {
        const bool listening = channel.listen(
            [](const std::string& url) {
                if (auto* running = ui::Application::existing()) openURL(*running, url);
            },
            &why, [] { WindowHost::raise(); });
        if (!listening) base::log("later starts cannot reach this one: " + why);
    }

    auto& app = ui::Application::sharedApplication();
    app.setCanReceiveOwnURLScheme(handlerInstalled());
    // This start's own URL reaches the delegate on the main run loop once it
    // has launched, as the URLs of later starts do.
    if (line->url)
        base::RunLoop::main().performOnMainThread([url = *line->url] {
            if (auto* running = ui::Application::existing()) openURL(*running, url);
        });
    WindowOptions options;
    options.maxFrames = line->frames;
    WindowHost window;
    const int status = window.run(factory, options);
    channel.stop();
    // Tear the screens down now, while every service they release into is
    // still alive, rather than during static destruction after main returns.
    ui::Application::resetSharedApplication();
    return status;
}

int runMain(int argc, char** argv, const DelegateFactory& factory, const ProgramInfo& info) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    return runMain(args, factory, info);
}

}  // namespace host
