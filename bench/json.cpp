// Parsing and writing generated JSON documents with our parser and writer,
// beside RapidJSON (its default parse, and its full-precision parse, which
// like ours reads every number exactly), nlohmann-json and simdjson (the
// fastest parser there is, as the ceiling). Google Benchmark reports each as
// bytes_per_second (MB/s).
//
// The documents:
//   records  about 5 MB of log records: nested objects, numbers, escapes
//   doubles  an array of 10^6 doubles written with 17 significant digits
//   twitter  many small objects of a social feed, strings with escapes
//   deep     chains of objects and arrays nested 400 deep
//
// Before the timings, the program prints the memory each parser's tree of
// each document holds (measured in a child process of its own, so that no
// earlier parse has left memory behind), the resident memory of a process
// before, while and after it holds a 100 MB document (parsed on the main
// thread, and on four threads at once), and checks that our parse of the
// doubles kept every number exactly.
//
// Two cases parse large documents one after another, as a program that
// handles many answers does, each beside RapidJSON: a new parser for each
// parse of the doubles (about 20 MB), a parser of another document having
// run just before it, and one parser kept for every parse of a 100 MB
// document of records. Both report the minor page faults of a parse
// (faults: memory the system had to hand the process afresh).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <barrier>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>
#include <simdjson.h>

#include "sharing/json/VXJsonParser.h"
#include "sharing/json/VXJsonWriter.h"

namespace {

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

// ---- records

std::string makeString(Random& r) {
    static const char* pieces[] = {"Today I did ",
                                   "pushups",
                                   " \\\"quoted\\\" ",
                                   "tab\\t",
                                   "line\\n",
                                   "back\\\\slash",
                                   " caf\\u00e9 ",
                                   " \\ud83d\\ude00 ",
                                   "Week ",
                                   "Level ",
                                   "\xc3\xa6\xc3\xb8\xc3\xa5",
                                   "slash\\/",
                                   "plain text "};
    std::string s = "\"";
    const std::uint32_t n = 1 + r.below(5);
    for (std::uint32_t i = 0; i < n; ++i) s += pieces[r.below(sizeof pieces / sizeof *pieces)];
    s += '"';
    return s;
}

std::string makeNumber(Random& r) {
    switch (r.below(4)) {
    case 0: return std::to_string(r.below(1000));
    case 1: return "-" + std::to_string(r.next());
    case 2: return std::to_string(r.below(100000)) + "." + std::to_string(r.below(1000));
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
        if (i) s += ',';
        s += makeNumber(r);
    }
    s += "],\"tags\":[";
    const std::uint32_t tags = r.below(4);
    for (std::uint32_t i = 0; i < tags; ++i) {
        if (i) s += ',';
        s += makeString(r);
    }
    s += "],\"meta\":{\"source\":" + makeString(r) + ",\"level\":" + std::to_string(1 + r.below(3)) +
         ",\"history\":[{\"day\":1,\"total\":" + makeNumber(r) + "},{\"day\":2,\"total\":" + makeNumber(r) + "}]}}";
    return s;
}

std::string makeRecords() {
    Random r;
    std::string s = "{\"title\":\"Tolvek log\",\"records\":[\n";
    for (int id = 0; s.size() < 5 * 1024 * 1024; ++id) {
        if (id) s += ",\n";
        s += makeRecord(r, id);
    }
    s += "\n]}";
    return s;
}

// ---- doubles

std::string makeDoubles() {
    Random r;
    std::string s = "[";
    s.reserve(25 * 1000 * 1000);
    char buf[40];
    for (int i = 0; i < 1000 * 1000; ++i) {
        // Mantissas of every size, exponents from 1e-12 to 1e12.
        const double mantissa = static_cast<double>(r.next()) / 4294967296.0 * 2.0 - 1.0;
        double v = mantissa;
        for (int e = static_cast<int>(r.below(25)) - 12; e != 0; e += e > 0 ? -1 : 1) v = e > 0 ? v * 10 : v / 10;
        std::snprintf(buf, sizeof buf, "%.17g", v);
        if (i) s += ',';
        s += buf;
    }
    s += ']';
    return s;
}

// ---- twitter

std::string makeTwitter() {
    Random r;
    static const char* words[] = {"push",
                                  "ups",
                                  "today",
                                  "caf\\u00e9",
                                  "\\\"best\\\"",
                                  "week",
                                  "\\ud83d\\udcaa",
                                  "level",
                                  "\xc3\xa6\xc3\xb8",
                                  "new",
                                  "record",
                                  "line\\nbreak",
                                  "http:\\/\\/t.co\\/x",
                                  "@friend",
                                  "#training",
                                  "tab\\there",
                                  "\\u65e5\\u672c"};
    static const char* langs[] = {"en", "ja", "es", "no", "de"};
    auto text = [&](std::uint32_t n) {
        std::string t = "\"";
        for (std::uint32_t i = 0; i < n; ++i) {
            if (i) t += ' ';
            t += words[r.below(sizeof words / sizeof *words)];
        }
        return t + "\"";
    };
    std::string s = "{\"statuses\":[";
    for (int i = 0; s.size() < 4 * 1024 * 1024; ++i) {
        if (i) s += ',';
        const std::uint64_t id = 500000000000000000ull + static_cast<std::uint64_t>(i) * 7919u;
        const std::string idText = std::to_string(id);
        s += "{\"created_at\":\"Sun Aug 31 00:29:15 +0000 2014\",\"id\":";
        s += idText;
        s += ",\"id_str\":\"";
        s += idText;
        s += "\",\"text\":" + text(4 + r.below(16)) +
             ",\"source\":\"<a href=\\\"http:\\/\\/example.org\\\" rel=\\\"nofollow\\\">Tolvek<\\/a>\","
             "\"truncated\":false,\"in_reply_to_status_id\":null,\"user\":{\"id\":" +
             std::to_string(r.next()) + ",\"name\":" + text(2) + ",\"screen_name\":\"user" +
             std::to_string(r.below(100000)) + "\",\"description\":" + text(r.below(12)) +
             ",\"followers_count\":" + std::to_string(r.below(100000)) +
             ",\"verified\":" + (r.below(5) ? "false" : "true") + ",\"lang\":\"" + langs[r.below(5)] +
             "\"},\"geo\":null,\"entities\":{\"hashtags\":[";
        const std::uint32_t tags = r.below(3);
        for (std::uint32_t t = 0; t < tags; ++t) {
            if (t) s += ',';
            const std::uint32_t at = r.below(100);
            s += "{\"text\":" + text(1) + ",\"indices\":[" + std::to_string(at) + "," + std::to_string(at + 9) + "]}";
        }
        s += "],\"urls\":[],\"user_mentions\":[]},\"retweet_count\":" + std::to_string(r.below(1000)) +
             ",\"favorited\":false,\"lang\":\"" + langs[r.below(5)] + "\"}";
    }
    s += "]}";
    return s;
}

// ---- deep

std::string makeDeep() {
    // Each chain: an object holding its level and an array that holds the
    // level again and the next object, 400 containers deep in all.
    std::string s = "[";
    for (int chain = 0; s.size() < 4 * 1024 * 1024; ++chain) {
        if (chain) s += ',';
        for (int level = 0; level < 200; ++level)
            s += "{\"level\":" + std::to_string(level) + ",\"next\":[" + std::to_string(chain) + ",";
        s += "null";
        for (int level = 0; level < 200; ++level) s += "]}";
    }
    s += "]";
    return s;
}

enum Doc { Records, Doubles, Twitter, Deep, DocCount };
const char* const docNames[] = {"records", "doubles", "twitter", "deep"};

const std::string& document(Doc d) {
    static const std::string texts[] = {makeRecords(), makeDoubles(), makeTwitter(), makeDeep()};
    return texts[d];
}

const simdjson::padded_string& paddedDocument(Doc d) {
    static const simdjson::padded_string texts[] = {
        simdjson::padded_string(document(Records)), simdjson::padded_string(document(Doubles)),
        simdjson::padded_string(document(Twitter)), simdjson::padded_string(document(Deep))};
    return texts[d];
}

void reportBytes(benchmark::State& state, Doc d) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(document(d).size()));
}

// ---- parsing

void ParseVX(benchmark::State& state, Doc d) {
    const std::string& text = document(d);
    VXJsonParser parser;
    for (auto _ : state) {
        std::optional<VXJsonValue> v = parser.objectWithString(text);
        if (!v) {
            state.SkipWithError("parse failed");
            break;
        }
        benchmark::DoNotOptimize(v);
    }
    reportBytes(state, d);
}

template <unsigned Flags>
void ParseRapidJSON(benchmark::State& state, Doc d) {
    const std::string& text = document(d);
    for (auto _ : state) {
        rapidjson::Document doc;
        doc.Parse<Flags>(text.c_str(), text.size());
        if (doc.HasParseError()) {
            state.SkipWithError("parse failed");
            break;
        }
        benchmark::DoNotOptimize(doc);
    }
    reportBytes(state, d);
}

void ParseRapidJSONDefault(benchmark::State& state, Doc d) { ParseRapidJSON<rapidjson::kParseDefaultFlags>(state, d); }

void ParseRapidJSONFullPrecision(benchmark::State& state, Doc d) {
    ParseRapidJSON<rapidjson::kParseFullPrecisionFlag>(state, d);
}

void ParseSimdjson(benchmark::State& state, Doc d) {
    const simdjson::padded_string& text = paddedDocument(d);
    simdjson::dom::parser parser;
    for (auto _ : state) {
        simdjson::dom::element e;
        if (parser.parse(text).get(e)) {
            state.SkipWithError("parse failed");
            break;
        }
        benchmark::DoNotOptimize(e);
    }
    reportBytes(state, d);
}

void ParseNlohmann(benchmark::State& state, Doc d) {
    const std::string& text = document(d);
    for (auto _ : state) {
        nlohmann::json j = nlohmann::json::parse(text, nullptr, false);
        if (j.is_discarded()) {
            state.SkipWithError("parse failed");
            break;
        }
        benchmark::DoNotOptimize(j);
    }
    reportBytes(state, d);
}

// ---- large documents one after another

// The minor page faults this thread has taken so far.
long minorFaults() {
    struct rusage usage {};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_minflt;
}

std::string makeLargeRecords() {
    Random r;
    std::string s = "{\"title\":\"Tolvek log\",\"records\":[\n";
    s.reserve(101 * 1024 * 1024);
    for (int id = 0; s.size() < 100 * 1024 * 1024; ++id) {
        if (id) s += ",\n";
        s += makeRecord(r, id);
    }
    s += "\n]}";
    return s;
}

const std::string& largeRecords() {
    static const std::string text = makeLargeRecords();
    return text;
}

void reportFaults(benchmark::State& state, long faults) {
    state.counters["faults"] = benchmark::Counter(static_cast<double>(faults), benchmark::Counter::kAvgIterations);
}

// Times parse() in each iteration, after untimed() (when given) with the
// timing paused, and reports the bytes of `text` and the minor page faults
// of each parse. parse() parses `text`, drops its tree and says whether the
// parse succeeded.
template <class Parse>
void timeParses(benchmark::State& state, const std::string& text, Parse parse,
                const std::function<void()>& untimed = {}) {
    long faults = 0;
    for (auto _ : state) {
        if (untimed) {
            state.PauseTiming();
            untimed();
            state.ResumeTiming();
        }
        const long before = minorFaults();
        if (!parse()) {
            state.SkipWithError("parse failed");
            break;
        }
        faults += minorFaults() - before;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
    reportFaults(state, faults);
}

// Each parse of `d` by a new parser, right after a new parser has parsed
// the records and let them go (not timed). The parse and dropping its tree
// are timed.
void ParseVXFreshParser(benchmark::State& state, Doc d) {
    const std::string& text = document(d);
    timeParses(
        state, text,
        [&text] {
            VXJsonParser parser;
            std::optional<VXJsonValue> v = parser.objectWithString(text);
            benchmark::DoNotOptimize(v);
            return v.has_value();
        },
        [] {
            VXJsonParser other;
            benchmark::DoNotOptimize(other.objectWithString(document(Records)));
        });
}

void ParseRapidJSONFreshParser(benchmark::State& state, Doc d) {
    const std::string& text = document(d);
    const std::string& otherText = document(Records);
    timeParses(
        state, text,
        [&text] {
            rapidjson::Document doc;
            doc.Parse(text.c_str(), text.size());
            benchmark::DoNotOptimize(doc);
            return !doc.HasParseError();
        },
        [&otherText] {
            rapidjson::Document other;
            other.Parse(otherText.c_str(), otherText.size());
            benchmark::DoNotOptimize(other);
        });
}

// Each parse of the 100 MB records by one parser kept throughout, the tree
// dropped before the next parse. A first parse, not timed, makes the room
// the later ones need.
void ParseVXKeptParser(benchmark::State& state) {
    const std::string& text = largeRecords();
    VXJsonParser parser;
    if (!parser.objectWithString(text)) state.SkipWithError("parse failed");
    timeParses(state, text, [&] {
        std::optional<VXJsonValue> v = parser.objectWithString(text);
        benchmark::DoNotOptimize(v);
        return v.has_value();
    });
}

// RapidJSON's document is its parser: a new one for each parse, after a
// first parse not timed.
void ParseRapidJSONKeptParser(benchmark::State& state) {
    const std::string& text = largeRecords();
    auto parse = [&text] {
        rapidjson::Document doc;
        doc.Parse(text.c_str(), text.size());
        benchmark::DoNotOptimize(doc);
        return !doc.HasParseError();
    };
    if (!parse()) state.SkipWithError("parse failed");
    timeParses(state, text, parse);
}

// ---- writing

void WriteVX(benchmark::State& state, Doc d) {
    VXJsonParser parser;
    const VXJsonValue v = *parser.objectWithString(document(d));
    VXJsonWriter writer;
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::optional<std::string> out = writer.stringWithObject(v);
        if (!out) {
            state.SkipWithError("write failed");
            break;
        }
        bytes = out->size();
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void WriteRapidJSON(benchmark::State& state, Doc d) {
    rapidjson::Document doc;
    doc.Parse(document(d).c_str(), document(d).size());
    std::size_t bytes = 0;
    for (auto _ : state) {
        rapidjson::StringBuffer buffer;
        rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
        doc.Accept(writer);
        bytes = buffer.GetSize();
        benchmark::DoNotOptimize(buffer.GetString());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void WriteNlohmann(benchmark::State& state, Doc d) {
    const nlohmann::json j = nlohmann::json::parse(document(d));
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string out = j.dump();
        bytes = out.size();
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

// ---- memory

// The heap in use, and the blocks our parser maps for its documents apart
// from the heap (not those this thread keeps free for its next documents).
std::size_t heapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd + VXJsonArena::blockBytes() - VXJsonArena::keptBytes();
}

// The heap a parse leaves behind while its tree is alive (the parser itself
// gone, when the tree does not live in it), measured in a child process.
template <class Parse>
long long treeBytes(Parse parse) {
    int fds[2];
    if (pipe(fds) != 0) return -1;
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        const std::size_t before = heapInUse();
        const bool ok = parse();
        long long bytes = ok ? static_cast<long long>(heapInUse() - before) : -1;
        if (write(fds[1], &bytes, sizeof bytes) != sizeof bytes) _exit(1);
        _exit(0);
    }
    close(fds[1]);
    long long bytes = -1;
    if (read(fds[0], &bytes, sizeof bytes) != sizeof bytes) bytes = -1;
    close(fds[0]);
    waitpid(child, nullptr, 0);
    return bytes;
}

// Kept alive until the child process ends.
std::optional<VXJsonValue> keptVX;
rapidjson::Document* keptRapid = nullptr;
simdjson::dom::parser* keptSimd = nullptr;
nlohmann::json* keptNlohmann = nullptr;

void printMemory() {
    std::printf("Parsed tree memory (MB; ratio to RapidJSON's default parse):\n");
    std::printf("  %-8s %9s %9s %9s %9s %9s %7s\n", "document", "text", "VX", "RapidJSON", "simdjson", "nlohmann",
                "VX/RJ");
    for (int i = 0; i < DocCount; ++i) {
        const Doc d = static_cast<Doc>(i);
        const std::string& text = document(d);
        const long long vx = treeBytes([&] {
            VXJsonParser parser;
            keptVX = parser.objectWithString(text);
            return keptVX.has_value();
        });
        const long long rapid = treeBytes([&] {
            keptRapid = new rapidjson::Document;
            keptRapid->Parse(text.c_str(), text.size());
            return !keptRapid->HasParseError();
        });
        const long long simd = treeBytes([&] {
            keptSimd = new simdjson::dom::parser;
            simdjson::dom::element e;
            return !keptSimd->parse(paddedDocument(d)).get(e);
        });
        const long long nl = treeBytes([&] {
            keptNlohmann = new nlohmann::json(nlohmann::json::parse(text, nullptr, false));
            return !keptNlohmann->is_discarded();
        });
        constexpr double mb = 1024.0 * 1024.0;
        std::printf("  %-8s %9.1f %9.1f %9.1f %9.1f %9.1f %7.2f\n", docNames[d], static_cast<double>(text.size()) / mb,
                    static_cast<double>(vx) / mb, static_cast<double>(rapid) / mb, static_cast<double>(simd) / mb,
                    static_cast<double>(nl) / mb, static_cast<double>(vx) / static_cast<double>(rapid));
    }
}

// ---- resident memory around a large document

long long residentBytes() {
    long long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%lld %lld", &pages, &resident) != 2) resident = -1;
        std::fclose(f);
    }
    return resident * sysconf(_SC_PAGESIZE);
}

// One parser's document: `parse` builds it and returns false on failure,
// `drop` lets it go.
struct Holder {
    std::function<bool()> parse;
    std::function<void()> drop;
};

// In a child process: the resident bytes before anything is parsed, while
// `threads` threads each hold their own parse of `text`, and after every
// thread has dropped its document (the threads still running).
void residentAround(const std::string& text, int threads, Holder (*make)(const std::string&), long long out[3]) {
    int fds[2];
    out[0] = out[1] = out[2] = -1;
    if (pipe(fds) != 0) return;
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        // Free memory the process held before does not count as the
        // parser's, nor does giving it back count against the parser.
        malloc_trim(0);
        long long bytes[3] = {residentBytes(), -1, -1};
        bool ok = true;
        if (threads == 0) {
            Holder h = make(text);
            ok = h.parse();
            bytes[1] = residentBytes();
            h.drop();
            bytes[2] = residentBytes();
        } else {
            std::barrier sync(threads + 1);
            std::atomic<bool> failed{false};
            std::vector<std::thread> workers;
            workers.reserve(static_cast<std::size_t>(threads));
            for (int i = 0; i < threads; ++i)
                workers.emplace_back([&] {
                    Holder h = make(text);
                    if (!h.parse()) failed = true;
                    sync.arrive_and_wait();  // parsed
                    sync.arrive_and_wait();  // measured
                    h.drop();
                    sync.arrive_and_wait();  // dropped
                    sync.arrive_and_wait();  // measured
                });
            sync.arrive_and_wait();
            bytes[1] = residentBytes();
            sync.arrive_and_wait();
            sync.arrive_and_wait();
            bytes[2] = residentBytes();
            sync.arrive_and_wait();
            for (auto& w : workers) w.join();
            ok = !failed;
        }
        if (!ok) bytes[1] = bytes[2] = -1;
        if (write(fds[1], bytes, sizeof bytes) != sizeof bytes) _exit(1);
        _exit(0);
    }
    close(fds[1]);
    if (read(fds[0], out, 3 * sizeof(long long)) != 3 * sizeof(long long)) out[0] = out[1] = out[2] = -1;
    close(fds[0]);
    waitpid(child, nullptr, 0);
}

Holder holdVX(const std::string& text) {
    auto doc = std::make_shared<std::optional<VXJsonValue>>();
    return {[doc, &text] {
                VXJsonParser parser;
                *doc = parser.objectWithString(text);
                return doc->has_value();
            },
            [doc] { doc->reset(); }};
}

// The same with a parser that outlives its document, as a program that
// keeps one parser for all it reads: the parser keeps the room its latest
// document needed until it parses a smaller one or goes.
Holder holdVXKeptParser(const std::string& text) {
    auto parser = std::make_shared<VXJsonParser>();
    auto doc = std::make_shared<std::optional<VXJsonValue>>();
    return {[parser, doc, &text] {
                *doc = parser->objectWithString(text);
                return doc->has_value();
            },
            [doc] { doc->reset(); }};
}

Holder holdRapidJSON(const std::string& text) {
    auto doc = std::make_shared<std::unique_ptr<rapidjson::Document>>();
    return {[doc, &text] {
                *doc = std::make_unique<rapidjson::Document>();
                (*doc)->Parse(text.c_str(), text.size());
                return !(*doc)->HasParseError();
            },
            [doc] { doc->reset(); }};
}

void printResident() {
    const std::string& text = largeRecords();
    constexpr double mb = 1024.0 * 1024.0;
    std::printf("Resident memory around a %.0f MB document (MB; parsed and dropped: above before):\n",
                static_cast<double>(text.size()) / mb);
    std::printf("  %-10s %-12s %9s %9s %9s\n", "parser", "threads", "before", "parsed", "dropped");
    const struct {
        const char* name;
        Holder (*make)(const std::string&);
    } parsers[] = {{"VX", holdVX}, {"VX kept", holdVXKeptParser}, {"RapidJSON", holdRapidJSON}};
    for (const int threads : {0, 4})
        for (const auto& p : parsers) {
            long long bytes[3];
            residentAround(text, threads, p.make, bytes);
            std::printf("  %-10s %-12s %9.1f %9.1f %9.1f\n", p.name, threads ? "four" : "main",
                        static_cast<double>(bytes[0]) / mb, static_cast<double>(bytes[1] - bytes[0]) / mb,
                        static_cast<double>(bytes[2] - bytes[0]) / mb);
        }
    std::printf("\n");
}

// Every number of the doubles document, as our parser read it, equals the
// decimal made from its text by the platform's exact conversion.
void checkDoubles() {
    const std::string& text = document(Doubles);
    VXJsonParser parser;
    const std::optional<VXJsonValue> v = parser.objectWithString(text);
    std::size_t start = 1, wrong = 0, count = 0;
    const VXJsonArray* a = v ? v->asArray() : nullptr;
    for (std::size_t i = 0; a && i < a->size(); ++i) {
        const std::size_t comma = text.find_first_of(",]", start);
        const base::Decimal exact = base::Decimal::fromString(std::string_view(text).substr(start, comma - start));
        const base::Decimal* got = (*a)[i].asNumber();
        if (!got || base::decimalCompare(*got, exact) != 0 || got->toString() != exact.toString()) ++wrong;
        ++count;
        start = comma + 1;
    }
    std::printf("Doubles read exactly: %zu of %zu%s\n\n", count - wrong, static_cast<std::size_t>(1000000),
                wrong || count != 1000000 ? "  <-- NOT EXACT" : "");
}

}  // namespace

#define JSON_BENCH(fn, doc) BENCHMARK_CAPTURE(fn, doc, doc)->Unit(benchmark::kMillisecond)

JSON_BENCH(ParseVX, Records);
JSON_BENCH(ParseRapidJSONDefault, Records);
JSON_BENCH(ParseRapidJSONFullPrecision, Records);
JSON_BENCH(ParseSimdjson, Records);
JSON_BENCH(ParseNlohmann, Records);
JSON_BENCH(WriteVX, Records);
JSON_BENCH(WriteRapidJSON, Records);
JSON_BENCH(WriteNlohmann, Records);

JSON_BENCH(ParseVX, Doubles);
JSON_BENCH(ParseRapidJSONDefault, Doubles);
JSON_BENCH(ParseRapidJSONFullPrecision, Doubles);
JSON_BENCH(ParseSimdjson, Doubles);

JSON_BENCH(ParseVX, Twitter);
JSON_BENCH(ParseRapidJSONDefault, Twitter);
JSON_BENCH(ParseRapidJSONFullPrecision, Twitter);
JSON_BENCH(ParseSimdjson, Twitter);
JSON_BENCH(WriteVX, Twitter);
JSON_BENCH(WriteRapidJSON, Twitter);

JSON_BENCH(ParseVX, Deep);
JSON_BENCH(ParseRapidJSONDefault, Deep);
JSON_BENCH(ParseRapidJSONFullPrecision, Deep);
JSON_BENCH(ParseSimdjson, Deep);
JSON_BENCH(WriteVX, Deep);
JSON_BENCH(WriteRapidJSON, Deep);

JSON_BENCH(ParseVXFreshParser, Doubles);
JSON_BENCH(ParseRapidJSONFreshParser, Doubles);
BENCHMARK(ParseVXKeptParser)->Name("ParseVXKeptParser/records100")->Unit(benchmark::kMillisecond);
BENCHMARK(ParseRapidJSONKeptParser)->Name("ParseRapidJSONKeptParser/records100")->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    printMemory();
    printResident();
    checkDoubles();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
