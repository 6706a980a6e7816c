#pragma once
// Starting desktop helper programs (xdg-open, xdg-email, xdg-user-dir)
// directly, never through a shell: each argument reaches the program as
// it stands, whatever characters it holds.
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
// Runs the program to its end and answers what it wrote to its standard
// output (nullopt when it could not start or exited with a failure).
std::optional<std::string> runAndRead(const std::vector<std::string>& argv);

}  // namespace ui::process
