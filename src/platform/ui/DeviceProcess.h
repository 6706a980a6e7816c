#pragma once
// Starting desktop helper programs (xdg-open, xdg-email, xdg-user-dir)
// directly, never through a shell: each argument reaches the program as
// it stands, whatever characters it holds.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ui::process {

// The full path of a program found on PATH (nullopt when there is none).
std::optional<std::string> findProgram(const std::string& name);
// Starts the program with the arguments (argv[0] is the program's name) and
// does not wait for it; its exit is collected in the background. Answers
// whether it could be started.
bool spawnDetached(const std::vector<std::string>& argv);

// How a watched program ended.
enum class ProgramEnd { Succeeded, Failed, StillRunning };
// Starts the program and waits for its exit on a thread of its own; ended
// hears, on that thread, Succeeded for exit status 0, Failed for any other
// status, a signal or a program that could not start. One that has run
// patienceSeconds without ending is left to run: ended hears StillRunning
// then, and once more how it ended when it does. Answers whether it could
// be started.
bool spawnWatched(const std::vector<std::string>& argv, double patienceSeconds, std::function<void(ProgramEnd)> ended);
// Runs the program to its end and answers what it wrote to its standard
// output (nullopt when it could not start or exited with a failure).
std::optional<std::string> runAndRead(const std::vector<std::string>& argv);

}  // namespace ui::process
