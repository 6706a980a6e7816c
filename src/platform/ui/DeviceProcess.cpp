#include "platform/ui/DeviceProcess.h"

#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <thread>

#include "platform/base/ScopedDescriptor.h"

extern char** environ;

namespace ui::process {

namespace {

std::vector<char*> argumentVector(std::vector<std::string>& argv) {
    std::vector<char*> out;
    out.reserve(argv.size() + 1);
    for (auto& a : argv) out.push_back(a.data());
    out.push_back(nullptr);
    return out;
}

}  // namespace

std::optional<std::string> findProgram(const std::string& name) {
    if (name.empty()) return std::nullopt;
    if (name.find('/') != std::string::npos) {
        if (::access(name.c_str(), X_OK) == 0) return name;
        return std::nullopt;
    }
    const char* path = std::getenv("PATH");
    std::string dirs = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        // An empty entry would mean the current folder: a program found there
        // is whatever happens to lie in it, so such entries are skipped.
        if (end == start) {
            start = end + 1;
            continue;
        }
        std::string candidate = dirs.substr(start, end - start);
        candidate += '/';
        candidate += name;
        struct stat st {};
        if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return std::nullopt;
}

bool spawnDetached(const std::vector<std::string>& argv) {
    if (argv.empty()) return false;
    auto program = findProgram(argv[0]);
    if (!program) return false;
    std::vector<std::string> args = argv;
    auto vec = argumentVector(args);
    pid_t pid = 0;
    if (::posix_spawn(&pid, program->c_str(), nullptr, nullptr, vec.data(), environ) != 0) return false;
    // Collect its exit without holding up the run loop.
    std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
    }).detach();
    return true;
}

namespace {

// Waits for the child to end, at most seconds (negative: without limit).
// True once it has ended, with its status.
bool waitForExit(pid_t pid, double seconds, int& status) {
    if (seconds >= 0) {
        // A descriptor of the process turns readable when it ends, so the
        // wait needs no polling.
        base::ScopedDescriptor fd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
        if (fd.isOpen()) {
            pollfd p{fd.get(), POLLIN, 0};
            const int ms = static_cast<int>(std::min(seconds * 1000.0, 24.0 * 3600 * 1000));
            int ready;
            while ((ready = ::poll(&p, 1, ms)) < 0 && errno == EINTR) {}
            fd.close();
            if (ready == 0) return false;
        }
        // Without such descriptors (an old kernel) the wait is unbounded.
    }
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return true;
    }
    return true;
}

}  // namespace

bool spawnWatched(const std::vector<std::string>& argv, double patienceSeconds, std::function<void(ProgramEnd)> ended) {
    auto program = argv.empty() ? std::nullopt : findProgram(argv[0]);
    pid_t pid = 0;
    bool started = false;
    if (program) {
        std::vector<std::string> args = argv;
        auto vec = argumentVector(args);
        started = ::posix_spawn(&pid, program->c_str(), nullptr, nullptr, vec.data(), environ) == 0;
    }
    if (!started) {
        if (ended) ended(ProgramEnd::Failed);
        return false;
    }
    std::thread([pid, patienceSeconds, ended = std::move(ended)] {
        int status = 0;
        if (!waitForExit(pid, patienceSeconds, status)) {
            if (ended) ended(ProgramEnd::StillRunning);
            waitForExit(pid, -1, status);
        }
        const bool good = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (ended) ended(good ? ProgramEnd::Succeeded : ProgramEnd::Failed);
    }).detach();
    return true;
}

std::optional<std::string> runAndRead(const std::vector<std::string>& argv) {
    if (argv.empty()) return std::nullopt;
    auto program = findProgram(argv[0]);
    if (!program) return std::nullopt;
    int fds[2];
    if (::pipe(fds) != 0) return std::nullopt;
    base::ScopedDescriptor reader(fds[0]), writer(fds[1]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    std::vector<std::string> args = argv;
    auto vec = argumentVector(args);
    pid_t pid = 0;
    int rc = ::posix_spawn(&pid, program->c_str(), &actions, nullptr, vec.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    writer.close();  // the child holds its own copy; the read sees the end once the child closes it
    if (rc != 0) return std::nullopt;
    std::string out;
    char buf[4096];
    for (;;) {
        ssize_t n = ::read(reader.get(), buf, sizeof buf);
        if (n > 0) {
            out.append(buf, static_cast<std::size_t>(n));
            if (out.size() > (1u << 20)) break;  // a helper that says this much is not answering
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            break;
        }
    }
    reader.close();  // a child still writing gets a broken pipe instead of blocking the wait
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return out;
}

}  // namespace ui::process
