#pragma once
#include <string>
#include <utility>
#include <vector>

#include "sharing/json/VXJsonBase.h"

// The trace as (code, description) pairs, oldest first, after checking that
// each error points to the one before it.
inline std::vector<std::pair<int, std::string>> traceOf(const VXJsonBase& json) {
    std::vector<std::pair<int, std::string>> out;
    const VXJsonErrorTrace trace = json.errorTrace();
    for (std::size_t i = 0; i < trace.size(); ++i) {
        const VXJsonErrorPtr expected = i ? trace[i - 1] : nullptr;
        if (trace[i]->underlyingError() != expected) out.emplace_back(-1, "broken chain");
        out.emplace_back(trace[i]->code(), trace[i]->localizedDescription());
    }
    return out;
}

using Trace = std::vector<std::pair<int, std::string>>;
