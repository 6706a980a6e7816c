#pragma once
// The platform log: one line per message to standard error, with a time
// stamp. Tests can capture it.
#include <functional>
#include <string>
#include <string_view>

namespace base {

void log(std::string_view message);

// Replaces where log lines go (nullptr restores standard error). Returns the
// previous sink. Thread-safe.
using LogSink = std::function<void(const std::string& line)>;
LogSink setLogSinkForTesting(LogSink sink);

}  // namespace base
