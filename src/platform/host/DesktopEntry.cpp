#include "platform/host/DesktopEntry.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "platform/base/Strings.h"
#include "platform/ui/DeviceProcess.h"

namespace host {

namespace {

// Desktop entries are small; anything bigger is not read.
constexpr std::uintmax_t kMaxEntryBytes = 64 * 1024;
// A folder holds a few hundred entries; the scan stops at this many.
constexpr int kMaxEntriesPerFolder = 4096;

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// A line of a file written on another system may end in a carriage return.
std::string trim(std::string_view s) { return base::trim(s, " \t\r"); }

// An XDG variable counts only when it holds an absolute path.
std::optional<std::string> absoluteVariable(const char* name) {
    const char* v = std::getenv(name);
    if (v && v[0] == '/') return std::string(v);
    return std::nullopt;
}

// The program an Exec line starts: its first word, unquoted.
std::string execProgram(const std::string& exec) {
    std::string word;
    std::size_t i = exec.find_first_not_of(' ');
    if (i == std::string::npos) return word;
    if (exec[i] == '"') {
        for (++i; i < exec.size() && exec[i] != '"'; ++i) {
            if (exec[i] == '\\' && i + 1 < exec.size()) ++i;
            word += exec[i];
        }
        return word;
    }
    std::size_t end = exec.find(' ', i);
    return exec.substr(i, end == std::string::npos ? std::string::npos : end - i);
}

std::optional<std::string> readSmallFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    auto size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxEntryBytes) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

std::vector<std::string> applicationFolders() {
    std::vector<std::string> folders;
    if (auto data = absoluteVariable("XDG_DATA_HOME")) {
        folders.push_back(*data + "/applications");
    } else if (auto home = absoluteVariable("HOME")) {
        folders.push_back(*home + "/.local/share/applications");
    }
    const char* dirs = std::getenv("XDG_DATA_DIRS");
    std::string list = dirs && *dirs ? dirs : "/usr/local/share:/usr/share";
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(':', start);
        if (end == std::string::npos) end = list.size();
        std::string dir = list.substr(start, end - start);
        if (!dir.empty() && dir[0] == '/') folders.push_back(dir + "/applications");
        start = end + 1;
    }
    return folders;
}

std::map<std::string, std::string> desktopEntryKeys(const std::string& text) {
    std::map<std::string, std::string> keys;
    std::istringstream in(text);
    std::string line;
    bool inEntry = false;
    while (std::getline(in, line)) {
        line = trim(line);
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        if (!inEntry) continue;
        std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = trim(line.substr(0, eq));
        // The first value of a key counts; localized keys are not needed here.
        if (!key.empty() && !keys.count(key)) keys[key] = trim(line.substr(eq + 1));
    }
    return keys;
}

bool handlesURLScheme(const std::map<std::string, std::string>& entry, const std::string& scheme) {
    auto get = [&](const char* key) {
        auto it = entry.find(key);
        return it == entry.end() ? std::string() : it->second;
    };
    if (get("Type") != "Application" || lower(get("Hidden")) == "true" || scheme.empty()) return false;
    const std::string wanted = "x-scheme-handler/" + lower(scheme);
    const std::string types = get("MimeType");
    bool declared = false;
    std::size_t start = 0;
    while (start <= types.size() && !declared) {
        std::size_t end = types.find(';', start);
        if (end == std::string::npos) end = types.size();
        declared = lower(trim(types.substr(start, end - start))) == wanted;
        start = end + 1;
    }
    if (!declared) return false;
    const std::string exec = get("Exec");
    if (exec.find("%u") == std::string::npos && exec.find("%U") == std::string::npos) return false;
    const std::string program = execProgram(exec);
    return !program.empty() && ui::process::findProgram(program).has_value();
}

bool isURLSchemeHandlerInstalled(const std::string& scheme) {
    // An entry in an earlier folder hides one of the same name in a later
    // folder (a user's own copy, or one marked hidden, takes precedence).
    std::set<std::string> seen;
    for (const auto& folder : applicationFolders()) {
        std::error_code ec;
        std::filesystem::directory_iterator it(folder, ec), end;
        int count = 0;
        for (; !ec && it != end && count < kMaxEntriesPerFolder; it.increment(ec), ++count) {
            const auto& path = it->path();
            if (path.extension() != ".desktop") continue;
            if (!seen.insert(path.filename().string()).second) continue;
            auto text = readSmallFile(path);
            if (text && handlesURLScheme(desktopEntryKeys(*text), scheme)) return true;
        }
    }
    return false;
}

}  // namespace host
