#include "platform/base/Log.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>

namespace base {

namespace {
// Never destroyed, so code that logs while the program exits (a last
// settings flush) still finds them.
std::mutex& sinkMutex() {
    static auto* m = new std::mutex;
    return *m;
}
LogSink& currentSink() {
    static auto* sink = new LogSink;
    return *sink;
}

// Wall-clock stamp "YYYY-MM-DD HH:MM:SS.mmm" in local time. Log stamps are
// for people reading the log, so they use the real time even when the
// program runs on a manual clock.
std::string stamp() {
    auto now = std::chrono::system_clock::now();
    auto secs = std::chrono::system_clock::to_time_t(now);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm tm{};
    localtime_r(&secs, &tm);
    char buf[64];
    std::size_t n = std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
    std::snprintf(buf + n, sizeof buf - n, ".%03d", static_cast<int>(ms));
    return buf;
}
}  // namespace

void log(std::string_view message) {
    // One message is one line: embedded line breaks would split it.
    std::string text(message);
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    std::lock_guard lock(sinkMutex());
    if (auto& sink = currentSink()) {
        sink(text);
        return;
    }
    std::string line = stamp() + " tolvek: " + text + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

LogSink setLogSinkForTesting(LogSink sink) {
    std::lock_guard lock(sinkMutex());
    LogSink old = std::move(currentSink());
    currentSink() = std::move(sink);
    return old;
}

}  // namespace base
