#pragma once
// The program's entry: reads the command line and runs the window host or
// the headless host.
//
//   tolvek                                          the window
//   tolvek --headless --script FILE [--screenshots DIR]
//   tolvek --frames N                               the window, closed after at most N frames,
//                                                   sooner once the screen has settled (tests)
//   tolvek URL                                      hands the URL (a login's answer, as a
//                                                   browser passes it) to the running
//                                                   program, or starts with it
//
// One program runs per data folder, whatever name reaches it: a start while
// a window holds the folder hands its URL (or, without one, its start) to
// that window, which comes to the front, and ends; when the window cannot
// be reached or does not answer within a few seconds, the start says so and
// ends. A headless run there ends without touching a file, and a window does
// not open on a folder a headless run is using.
//   tolvek --help
//
// A URL may follow the options of any form; with --headless it goes to the
// scripted run's application once it has launched.
//
// Exit status: 0 after a clean run (or a start handed to the running
// program), 1 when a script step fails, 2 when there is no display for the
// window, 3 when a window holds the data folder and a headless run was asked
// for (or another program holds it and cannot be reached), 64 for a command
// line it cannot read.
#include <optional>
#include <string>
#include <vector>

#include "platform/host/Host.h"

namespace host {

struct CommandLine {
    bool help = false;
    bool headless = false;
    std::string script;
    std::optional<std::string> screenshotDir;
    int frames = 0;
    std::optional<std::string> url;  // a URL to open
};

// What the program tells its entry about itself.
struct ProgramInfo {
    // The URL scheme under which the program receives answers (a login's),
    // when it has one.
    std::string urlScheme;
};

// Reads the arguments after the program's name; on a mistake answers
// nothing and says why.
std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& args, std::string* why);

std::string usage();

// Runs the program with the delegate the factory makes; answers the exit status.
int runMain(int argc, char** argv, const DelegateFactory& factory, const ProgramInfo& info = {});
int runMain(const std::vector<std::string>& args, const DelegateFactory& factory, const ProgramInfo& info = {});

}  // namespace host
