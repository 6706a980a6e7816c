// The headless start: `tolvek --headless --script FILE` with a script of one
// `quit`, as a first start (a new home: the documents are made) and as a
// later one (the documents are there). Each start is timed beside its floor,
// a program that does nothing with the same shared libraries loaded
// (startup_bare, with the libraries the start maps preloaded): wall and CPU
// time (user and system, from the child's resource usage), peak memory and
// the number of shared objects mapped. The two run in turn, so a machine
// busy with other work slows both alike.
//
// TOLVEK_STARTUP_COMPARE="name=/path/to/tolvek,..." adds other builds of the
// program, each with its own floor, run in turn with this one: a before and
// after in one run.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kIterations = 10;

struct Run {
    double wallMs = 0;
    double cpuMs = 0;
    double peakMB = 0;
    bool ok = false;
};

// Runs argv with the environment env, its output discarded, and answers
// what it cost.
Run spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
    std::vector<char*> args, envp;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    Run run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return run;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return run;
    run.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    auto ms = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
    };
    run.cpuMs = ms(usage.ru_utime) + ms(usage.ru_stime);
    run.peakMB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

fs::path programDir() { return fs::read_symlink("/proc/self/exe").parent_path(); }

// The benchmark's own environment with the variables in `set` replaced.
std::vector<std::string> environment(const std::map<std::string, std::string>& set) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        if (!set.count(name)) env.push_back(entry);
    }
    for (const auto& [name, value] : set) {
        std::string entry = name;
        entry += '=';
        entry += value;
        env.push_back(std::move(entry));
    }
    return env;
}

// One build of the program under test and what its start loads.
struct Program {
    std::string name;
    std::string path;
    fs::path work;                       // its homes and script
    std::vector<std::string> libraries;  // the shared objects its start maps, in load order
    std::vector<Run> starts, floors;
};

std::map<std::string, std::string> homeVariables(const fs::path& home) {
    return {{"HOME", home.string()},
            {"XDG_DATA_HOME", (home / "data").string()},
            {"XDG_CACHE_HOME", (home / "cache").string()},
            {"XDG_CONFIG_HOME", (home / "config").string()}};
}

Run start(const Program& p, const fs::path& home, std::map<std::string, std::string> extra = {}) {
    auto vars = homeVariables(home);
    vars.insert(extra.begin(), extra.end());
    return spawn({p.path, "--headless", "--script", (p.work / "quit.txt").string()}, environment(vars));
}

Run floorOf(const Program& p) {
    std::string preload;
    for (const auto& l : p.libraries) preload += (preload.empty() ? "" : " ") + l;
    return spawn({(programDir() / "startup_bare").string()}, environment({{"LD_PRELOAD", preload}}));
}

// The objects the dynamic loader maps for a later start, in the order it
// maps them, as its debugging output names them.
std::vector<std::string> mappedLibraries(const Program& p) {
    const fs::path log = p.work / "loader";
    start(p, p.work / "later", {{"LD_DEBUG", "files"}, {"LD_DEBUG_OUTPUT", log.string()}});
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(p.work)) {
        if (entry.path().filename().string().rfind("loader.", 0) != 0) continue;
        std::ifstream in(entry.path());
        for (std::string line; std::getline(in, line);) {
            const auto at = line.find("file=");
            if (at == std::string::npos || line.find("generating link map") == std::string::npos) continue;
            const std::string name = line.substr(at + 5, line.find(' ', at) - at - 5);
            if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
        }
        fs::remove(entry.path());
    }
    return names;
}

std::vector<Program>& programs() {
    static std::vector<Program> list;
    return list;
}

fs::path& workRoot() {
    static fs::path root;
    return root;
}

bool prepare() {
    std::string tmpl = (fs::temp_directory_path() / "tolvek-startup-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) return false;
    workRoot() = tmpl;
    programs().push_back({"tolvek", (programDir() / "tolvek").string(), {}, {}, {}, {}});
    if (const char* more = std::getenv("TOLVEK_STARTUP_COMPARE")) {
        std::stringstream list(more);
        for (std::string item; std::getline(list, item, ',');) {
            const auto eq = item.find('=');
            if (eq == std::string::npos) continue;
            programs().push_back({item.substr(0, eq), item.substr(eq + 1), {}, {}, {}, {}});
        }
    }
    for (auto& p : programs()) {
        p.work = workRoot() / p.name;
        fs::create_directories(p.work);
        std::ofstream(p.work / "quit.txt") << "quit\n";
        // The later start's home holds what a first start made.
        if (!start(p, p.work / "later").ok) {
            std::fprintf(stderr, "bench_startup: %s did not start headless\n", p.path.c_str());
            return false;
        }
        p.libraries = mappedLibraries(p);
    }
    return true;
}

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

template <class F>
double medianOf(const std::vector<Run>& runs, F field) {
    std::vector<double> v;
    v.reserve(runs.size());
    for (const auto& r : runs) v.push_back(field(r));
    return median(v);
}

struct Summary {
    std::string kind, program;
    double wall, cpu, floorWall, floorCpu, peak, floorPeak;
    std::size_t libraries;
};

std::vector<Summary>& summaries() {
    static std::vector<Summary> list;
    return list;
}

// Each iteration starts every program once, each right after its floor; a
// first start gets a new home each time (made outside the timing).
void HeadlessStart(benchmark::State& state, bool first) {
    for (auto& p : programs()) p.starts.clear(), p.floors.clear();
    int round = 0;
    for (auto _ : state) {
        double wall = 0;
        for (auto& p : programs()) {
            fs::path home = p.work / "later";
            if (first) {
                home = p.work / ("first" + std::to_string(round));
                fs::remove_all(home);
            }
            p.floors.push_back(floorOf(p));
            const Run run = start(p, home);
            p.starts.push_back(run);
            if (first) fs::remove_all(home);
            if (!run.ok || !p.floors.back().ok) {
                state.SkipWithError((p.name + ": the start or its floor failed").c_str());
                return;
            }
            if (&p == &programs().front()) wall = run.wallMs;
        }
        state.SetIterationTime(wall / 1e3);
        ++round;
    }
    const auto wall = [](const Run& r) { return r.wallMs; };
    const auto cpu = [](const Run& r) { return r.cpuMs; };
    const auto peak = [](const Run& r) { return r.peakMB; };
    for (const auto& p : programs()) {
        const Summary s{first ? "first" : "later", p.name,
                        medianOf(p.starts, wall),  medianOf(p.starts, cpu),
                        medianOf(p.floors, wall),  medianOf(p.floors, cpu),
                        medianOf(p.starts, peak),  medianOf(p.floors, peak),
                        p.libraries.size() + 1};  // and the dynamic loader itself
        summaries().push_back(s);
        if (&p != &programs().front()) continue;
        state.counters["cpu_ms"] = s.cpu;
        state.counters["floor_cpu_ms"] = s.floorCpu;
        state.counters["cpu_ratio"] = s.floorCpu > 0 ? s.cpu / s.floorCpu : 0;
        state.counters["wall_ratio"] = s.floorWall > 0 ? s.wall / s.floorWall : 0;
        state.counters["peak_MB"] = s.peak;
        state.counters["libraries"] = static_cast<double>(s.libraries);
    }
}

std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    const bool ready = prepare();
    if (ready) {
        const std::string before = loadAverage();
        benchmark::RegisterBenchmark("HeadlessStart/later", HeadlessStart, false)
            ->Iterations(kIterations)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("HeadlessStart/first", HeadlessStart, true)
            ->Iterations(kIterations)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RunSpecifiedBenchmarks();
        std::printf(
            "\nMedians of %d starts each, every start right after its floor (load average before: %s, "
            "after: %s)\n",
            kIterations, before.c_str(), loadAverage().c_str());
        std::printf("%-6s %-10s %9s %9s %10s %10s %9s %9s %8s %8s %5s\n", "start", "program", "wall ms", "cpu ms",
                    "floor wall", "floor cpu", "wall x", "cpu x", "peak MB", "floor MB", "libs");
        for (const auto& s : summaries())
            std::printf("%-6s %-10s %9.1f %9.1f %10.1f %10.1f %9.2f %9.2f %8.1f %8.1f %5zu\n", s.kind.c_str(),
                        s.program.c_str(), s.wall, s.cpu, s.floorWall, s.floorCpu,
                        s.floorWall > 0 ? s.wall / s.floorWall : 0, s.floorCpu > 0 ? s.cpu / s.floorCpu : 0, s.peak,
                        s.floorPeak, s.libraries);
    }
    benchmark::Shutdown();
    std::error_code ignored;
    if (!workRoot().empty()) fs::remove_all(workRoot(), ignored);
    return ready ? 0 : 1;
}
