#pragma once
// The program's entry: reads the command line and runs the window host or
// the headless host.
//
//   tolvek                                          the window
//   tolvek --headless --script FILE [--screenshots DIR]
//   tolvek --frames N                               the window, closed after at most N frames,
//                                                   sooner once the screen has settled (tests)
//   tolvek --help
//
// Exit status: 0 after a clean run, 1 when a script step fails, 2 when there
// is no display for the window, 64 for a command line it cannot read.
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
};

// Reads the arguments after the program's name; on a mistake answers
// nothing and says why.
std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& args, std::string* why);

std::string usage();

// Runs the program with the delegate the factory makes; answers the exit status.
int runMain(int argc, char** argv, const DelegateFactory& factory);
int runMain(const std::vector<std::string>& args, const DelegateFactory& factory);

}  // namespace host
