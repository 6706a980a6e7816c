// Reads JSON texts from standard input and prints, for each, what the parser
// made of its numbers, for a comparison against an independent reader.
//
// Input: one case after another, each a line with the text's length in
// bytes, then that many bytes, then a line feed (so texts may hold line
// feeds). Output: one line per case, "error" when the parser refused the
// text, else "ok" and, for every number in document order (array elements
// in order, object values in the order of their keys), a blank and
// "<decimal>;<double>;<integer>": the decimal's exact plain text, its
// double as the shortest text that reads back to it, and its whole number
// (truncated toward zero, clamped to 64 bits).
#include <charconv>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "sharing/json/VXJsonParser.h"

namespace {

// Texts longer than this are no case of ours: the input is broken.
constexpr std::size_t maxText = 1 << 20;

void appendNumber(std::string& out, const base::Decimal& d) {
    out += ' ';
    out += d.toString();
    out += ';';
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, d.toDouble());
    out.append(buffer, written.ptr);
    out += ';';
    out += std::to_string(d.toInteger());
}

// The numbers below `root`, depth first in document order; an explicit stack
// keeps deep texts off the machine stack.
void appendNumbers(std::string& out, const VXJsonValue& root) {
    std::vector<const VXJsonValue*> pending{&root};
    while (!pending.empty()) {
        const VXJsonValue* v = pending.back();
        pending.pop_back();
        if (const base::Decimal* d = v->asNumber()) {
            appendNumber(out, *d);
        } else if (const VXJsonArray* a = v->asArray()) {
            for (auto it = a->end(); it != a->begin();) pending.push_back(&*--it);
        } else if (const VXJsonObject* o = v->asObject()) {
            std::vector<const VXJsonValue*> values;
            for (const auto& item : *o) values.push_back(&item.second);
            for (auto it = values.rbegin(); it != values.rend(); ++it) pending.push_back(*it);
        }
    }
}

}  // namespace

int main() {
    std::ios::sync_with_stdio(false);
    VXJsonParser parser;
    parser.setMaxDepth(0);
    std::string line;
    std::string text;
    std::string out;
    while (std::getline(std::cin, line)) {
        std::size_t length = 0;
        const auto parsed = std::from_chars(line.data(), line.data() + line.size(), length);
        if (parsed.ec != std::errc() || parsed.ptr != line.data() + line.size() || length > maxText) {
            std::cerr << "json_number_reader: bad case header \"" << line << "\"\n";
            return 2;
        }
        text.resize(length);
        if (!std::cin.read(text.data(), static_cast<std::streamsize>(length)) || std::cin.get() != '\n') {
            std::cerr << "json_number_reader: a case ends early\n";
            return 2;
        }
        const std::optional<VXJsonValue> value = parser.fragmentWithString(text);
        out.clear();
        if (!value) {
            out = "error";
        } else {
            out = "ok";
            appendNumbers(out, *value);
        }
        out += '\n';
        std::cout << out;
    }
    std::cout.flush();
    return std::cout ? 0 : 1;
}
