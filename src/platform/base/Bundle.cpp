#include "platform/base/Bundle.h"

#include <unistd.h>

#include <cctype>
#include <mutex>

#include "platform/base/FileManager.h"
#include "platform/base/Log.h"
#include "platform/base/UTF8.h"
#include "platform/base/Value.h"

#ifndef TOLVEK_INSTALL_SHARE
#define TOLVEK_INSTALL_SHARE "/usr/local/share/tolvek"
#endif

namespace base {

namespace {

// Guards the main bundle's path and every bundle's lazily loaded tables.
std::mutex& bundleMutex() {
    static std::mutex m;
    return m;
}

std::string executableDir() {
    char buf[4096];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return ".";
    return paths::deletingLastComponent(std::string(buf, static_cast<std::size_t>(n)));
}

// bin/resources beside the executable (the build tree), else the installed
// share/tolvek next to bin/, else the configured install prefix.
std::string findResourceDir() {
    auto& fm = FileManager::defaultManager();
    std::string exe = executableDir();
    bool isDir = false;
    for (const std::string& candidate :
         {paths::join(exe, "resources"), paths::join(paths::deletingLastComponent(exe), "share/tolvek"),
          std::string(TOLVEK_INSTALL_SHARE)}) {
        if (fm.fileExists(candidate, &isDir) && isDir) return candidate;
    }
    return paths::join(exe, "resources");
}

// Strings files are UTF-8 or UTF-16 with a byte-order mark.
std::string decodeText(const Data& d) {
    if (d.size() >= 2 && ((d[0] == 0xFF && d[1] == 0xFE) || (d[0] == 0xFE && d[1] == 0xFF))) {
        bool little = d[0] == 0xFF;
        std::string out;
        for (std::size_t i = 2; i + 1 < d.size(); i += 2) {
            std::uint32_t u = little ? (d[i] | (d[i + 1] << 8)) : ((d[i] << 8) | d[i + 1]);
            if (u >= 0xD800 && u < 0xDC00 && i + 3 < d.size()) {
                std::uint32_t lo = little ? (d[i + 2] | (d[i + 3] << 8)) : ((d[i + 2] << 8) | d[i + 3]);
                if (lo >= 0xDC00 && lo < 0xE000) {
                    u = 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00);
                    i += 2;
                }
            }
            appendUTF8(out, u);
        }
        return out;
    }
    std::size_t skip = d.size() >= 3 && d[0] == 0xEF && d[1] == 0xBB && d[2] == 0xBF ? 3 : 0;
    return std::string(d.begin() + static_cast<std::ptrdiff_t>(skip), d.end());
}

// Reads the "key" = "value"; form, with /* */ and // comments, the escapes
// \" \\ \n \t \r and \Uxxxx, and unquoted words as keys or values. Stops at
// the first syntax error, keeping the entries before it.
class StringsParser {
public:
    explicit StringsParser(const std::string& text) : t_(text) {}

    bool parse(std::map<std::string, std::string>& out, std::string& error) {
        for (;;) {
            skipSpace();
            if (i_ >= t_.size()) return true;
            std::string key, value;
            if (!token(key)) return fail(error, "expected a key");
            skipSpace();
            if (peek() == ';') {  // "key"; maps to itself
                ++i_;
                out[key] = key;
                continue;
            }
            if (peek() != '=') return fail(error, "expected '='");
            ++i_;
            skipSpace();
            if (!token(value)) return fail(error, "expected a value");
            skipSpace();
            if (peek() != ';') return fail(error, "expected ';'");
            ++i_;
            out[key] = value;
        }
    }

private:
    char peek() const { return i_ < t_.size() ? t_[i_] : '\0'; }

    bool fail(std::string& error, const std::string& what) {
        std::size_t line = 1;
        for (std::size_t k = 0; k < i_ && k < t_.size(); ++k) line += t_[k] == '\n';
        error = what + " at line " + std::to_string(line);
        return false;
    }

    void skipSpace() {
        while (i_ < t_.size()) {
            char c = t_[i_];
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
                ++i_;
            } else if (c == '/' && i_ + 1 < t_.size() && t_[i_ + 1] == '*') {
                std::size_t end = t_.find("*/", i_ + 2);
                i_ = end == std::string::npos ? t_.size() : end + 2;
            } else if (c == '/' && i_ + 1 < t_.size() && t_[i_ + 1] == '/') {
                std::size_t end = t_.find('\n', i_);
                i_ = end == std::string::npos ? t_.size() : end + 1;
            } else {
                return;
            }
        }
    }

    bool token(std::string& out) {
        if (peek() == '"') return quoted(out);
        std::size_t start = i_;
        while (i_ < t_.size()) {
            char c = t_[i_];
            if (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '-' || c == '$' ||
                c == ':' || c == '/')
                ++i_;
            else break;
        }
        out = t_.substr(start, i_ - start);
        return !out.empty();
    }

    bool quoted(std::string& out) {
        ++i_;
        while (i_ < t_.size()) {
            char c = t_[i_++];
            if (c == '"') return true;
            if (c != '\\') {
                out.push_back(c);
                continue;
            }
            if (i_ >= t_.size()) return false;
            char e = t_[i_++];
            switch (e) {
            case 'n': out.push_back('\n'); break;
            case 't': out.push_back('\t'); break;
            case 'r': out.push_back('\r'); break;
            case 'U':
            case 'u': {
                std::uint32_t cp = 0;
                int digits = 0;
                while (digits < 4 && i_ < t_.size() && std::isxdigit(static_cast<unsigned char>(t_[i_]))) {
                    cp = cp * 16 + static_cast<std::uint32_t>(std::stoi(std::string(1, t_[i_]), nullptr, 16));
                    ++i_;
                    ++digits;
                }
                if (digits == 0) return false;
                appendUTF8(out, cp);
                break;
            }
            default: out.push_back(e); break;  // \" \\ \' and anything else stand for themselves
            }
        }
        return false;  // unterminated
    }

    const std::string& t_;
    std::size_t i_ = 0;
};

std::map<std::string, std::string> loadTable(const std::string& file) {
    std::map<std::string, std::string> table;
    auto bytes = FileManager::defaultManager().contentsAtPath(file);
    if (!bytes) return table;
    std::string text = decodeText(*bytes);
    std::size_t first = text.find_first_not_of(" \t\r\n");
    bool isPlist = text.compare(0, 8, "bplist00") == 0 ||
                   (first != std::string::npos && text.compare(first, 5, "<?xml") == 0) ||
                   (first != std::string::npos && text.compare(first, 6, "<plist") == 0);
    if (isPlist) {
        std::string error;
        auto v = Value::fromPlist(Data(text.begin(), text.end()), &error);
        if (!v || !v->asDictionary()) {
            log("cannot read strings table " + file + ": " + (v ? "not a dictionary" : error));
            return table;
        }
        for (const auto& [k, val] : *v->asDictionary())
            if (val.asString()) table[k] = *val.asString();
        return table;
    }
    std::string error;
    if (!StringsParser(text).parse(table, error)) log("strings table " + file + " is malformed: " + error);
    return table;
}

}  // namespace

Bundle& Bundle::mainBundle() {
    static Bundle bundle(findResourceDir());
    return bundle;
}

void Bundle::setMainBundlePathForTesting(const std::string& path) {
    Bundle& b = mainBundle();
    std::lock_guard lock(bundleMutex());
    b.path_ = path;
    b.tables_.clear();
    b.loaded_ = false;
}

Bundle::Bundle(std::string resourcePath) : path_(std::move(resourcePath)) {}

std::optional<std::string> Bundle::pathForResource(const std::string& name, const std::string& type) const {
    if (name.empty()) return std::nullopt;
    std::string ext = type;
    if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
    std::string file = ext.empty() ? name : name + "." + ext;
    std::string full;
    {
        std::lock_guard lock(bundleMutex());
        full = paths::join(path_, file);
    }
    if (FileManager::defaultManager().fileExists(full)) return full;
    return std::nullopt;
}

std::string Bundle::localizedString(const std::string& key, const std::string& value, const std::string& table) const {
    std::string name = table.empty() ? "Localizable" : table;
    std::lock_guard lock(bundleMutex());
    auto it = tables_.find(name);
    if (it == tables_.end()) it = tables_.emplace(name, loadTable(paths::join(path_, name + ".strings"))).first;
    auto entry = it->second.find(key);
    if (entry != it->second.end()) return entry->second;
    return value.empty() ? key : value;
}

}  // namespace base
