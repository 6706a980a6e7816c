// Parsing and writing one generated JSON document of about 5 MB with our
// parser and writer, and the same document with RapidJSON and nlohmann-json
// as yardsticks. Google Benchmark reports each as bytes_per_second (MB/s).
//
// The yardsticks read numbers into binary doubles and integers; ours reads
// every number as an exact decimal, which costs more and loses nothing.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "sharing/json/VXJsonParser.h"
#include "sharing/json/VXJsonWriter.h"

namespace {

constexpr std::size_t targetSize = 5 * 1024 * 1024;

// A small deterministic generator, so every run measures the same text.
struct Random {
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    std::uint32_t next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<std::uint32_t>(state >> 11);
    }
    std::uint32_t below(std::uint32_t n) { return next() % n; }
};

std::string makeString(Random& r) {
    static const char* pieces[] = {"Today I did ", "pushups", " \\\"quoted\\\" ", "tab\\t", "line\\n",
                                   "back\\\\slash", " caf\\u00e9 ", " \\ud83d\\ude00 ", "Week ", "Level ",
                                   "\xc3\xa6\xc3\xb8\xc3\xa5", "slash\\/", "plain text "};
    std::string s = "\"";
    const std::uint32_t n = 1 + r.below(5);
    for (std::uint32_t i = 0; i < n; ++i)
        s += pieces[r.below(sizeof pieces / sizeof *pieces)];
    s += '"';
    return s;
}

std::string makeNumber(Random& r) {
    switch (r.below(4)) {
    case 0:
        return std::to_string(r.below(1000));
    case 1:
        return "-" + std::to_string(r.next());
    case 2:
        return std::to_string(r.below(100000)) + "." + std::to_string(r.below(1000));
    default:
        return std::to_string(1 + r.below(9)) + "." + std::to_string(r.below(100)) + "e" +
               std::to_string(static_cast<int>(r.below(20)) - 10);
    }
}

std::string makeRecord(Random& r, int id) {
    std::string s = "{\"id\":" + std::to_string(id);
    s += ",\"name\":" + makeString(r);
    s += ",\"week\":" + std::to_string(1 + r.below(6));
    s += ",\"score\":" + makeNumber(r);
    s += ",\"ratio\":" + makeNumber(r);
    s += ",\"done\":";
    s += r.below(2) ? "true" : "false";
    s += ",\"note\":null,\"sets\":[";
    const std::uint32_t sets = 5 + r.below(5);
    for (std::uint32_t i = 0; i < sets; ++i) {
        if (i)
            s += ',';
        s += makeNumber(r);
    }
    s += "],\"tags\":[";
    const std::uint32_t tags = r.below(4);
    for (std::uint32_t i = 0; i < tags; ++i) {
        if (i)
            s += ',';
        s += makeString(r);
    }
    s += "],\"meta\":{\"source\":" + makeString(r) + ",\"level\":" + std::to_string(1 + r.below(3)) +
         ",\"history\":[{\"day\":1,\"total\":" + makeNumber(r) + "},{\"day\":2,\"total\":" + makeNumber(r) +
         "}]}}";
    return s;
}

const std::string& document() {
    static const std::string text = [] {
        Random r;
        std::string s = "{\"title\":\"Tolvek log\",\"records\":[\n";
        for (int id = 0; s.size() < targetSize; ++id) {
            if (id)
                s += ",\n";
            s += makeRecord(r, id);
        }
        s += "\n]}";
        return s;
    }();
    return text;
}

void reportBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(document().size()));
}

void ParseVX(benchmark::State& state) {
    const std::string& text = document();
    VXJsonParser parser;
    for (auto _ : state) {
        std::optional<VXJsonValue> v = parser.objectWithString(text);
        if (!v) {
            state.SkipWithError("parse failed");
            break;
        }
        benchmark::DoNotOptimize(v);
    }
    reportBytes(state);
}

void WriteVX(benchmark::State& state) {
    VXJsonParser parser;
    const VXJsonValue v = *parser.objectWithString(document());
    VXJsonWriter writer;
    for (auto _ : state) {
        std::optional<std::string> out = writer.stringWithObject(v);
        if (!out) {
            state.SkipWithError("write failed");
            break;
        }
        benchmark::DoNotOptimize(out);
    }
    reportBytes(state);
}

void ParseRapidJSON(benchmark::State& state) {
    const std::string& text = document();
    for (auto _ : state) {
        rapidjson::Document d;
        d.Parse(text.c_str(), text.size());
        if (d.HasParseError()) {
            state.SkipWithError("parse failed");
            break;
        }
        benchmark::DoNotOptimize(d);
    }
    reportBytes(state);
}

void WriteRapidJSON(benchmark::State& state) {
    rapidjson::Document d;
    d.Parse(document().c_str(), document().size());
    for (auto _ : state) {
        rapidjson::StringBuffer buffer;
        rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
        d.Accept(writer);
        benchmark::DoNotOptimize(buffer.GetString());
    }
    reportBytes(state);
}

void ParseNlohmann(benchmark::State& state) {
    const std::string& text = document();
    for (auto _ : state) {
        nlohmann::json j = nlohmann::json::parse(text, nullptr, false);
        if (j.is_discarded()) {
            state.SkipWithError("parse failed");
            break;
        }
        benchmark::DoNotOptimize(j);
    }
    reportBytes(state);
}

void WriteNlohmann(benchmark::State& state) {
    const nlohmann::json j = nlohmann::json::parse(document());
    for (auto _ : state) {
        std::string out = j.dump();
        benchmark::DoNotOptimize(out);
    }
    reportBytes(state);
}

}  // namespace

BENCHMARK(ParseVX)->Unit(benchmark::kMillisecond);
BENCHMARK(WriteVX)->Unit(benchmark::kMillisecond);
BENCHMARK(ParseRapidJSON)->Unit(benchmark::kMillisecond);
BENCHMARK(WriteRapidJSON)->Unit(benchmark::kMillisecond);
BENCHMARK(ParseNlohmann)->Unit(benchmark::kMillisecond);
BENCHMARK(WriteNlohmann)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
