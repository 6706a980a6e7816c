#include "platform/base/FileManager.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/base/ScopedDescriptor.h"

namespace base {

namespace fs = std::filesystem;

namespace paths {

namespace {
// An XDG variable counts only when it holds an absolute path; a relative
// one is ignored, as the base-directory rules say.
std::string xdg(const char* variable, const char* fallbackUnderHome) {
    const char* v = std::getenv(variable);
    std::string base = v && v[0] == '/' ? std::string(v) : join(home(), fallbackUnderHome);
    return join(base, "tolvek");
}
}  // namespace

std::string home() {
    if (const char* h = std::getenv("HOME"); h && *h) return h;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && *pw->pw_dir) return pw->pw_dir;
    return ".";
}

std::string dataHome() { return xdg("XDG_DATA_HOME", ".local/share"); }
std::string configHome() { return xdg("XDG_CONFIG_HOME", ".config"); }
std::string cacheHome() { return xdg("XDG_CACHE_HOME", ".cache"); }
std::string documents() { return join(dataHome(), "Documents"); }
std::string caches() { return cacheHome(); }

std::string join(const std::string& a, const std::string& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    std::string left = a;
    while (left.size() > 1 && left.back() == '/') left.pop_back();
    std::size_t i = 0;
    while (i < b.size() && b[i] == '/') ++i;
    if (left == "/") return "/" + b.substr(i);
    return left + "/" + b.substr(i);
}

std::string lastComponent(const std::string& path) {
    std::string p = path;
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    if (p == "/") return p;
    std::size_t slash = p.rfind('/');
    return slash == std::string::npos ? p : p.substr(slash + 1);
}

std::string deletingLastComponent(const std::string& path) {
    std::string p = path;
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    if (p == "/") return p;
    std::size_t slash = p.rfind('/');
    if (slash == std::string::npos) return "";
    if (slash == 0) return "/";
    return p.substr(0, slash);
}

std::string pathExtension(const std::string& path) {
    std::string name = lastComponent(path);
    std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == name.size()) return "";
    return name.substr(dot + 1);
}

}  // namespace paths

namespace {
bool setError(std::string* error, const std::string& what) {
    if (error) *error = what;
    return false;
}
std::string describe(const std::string& action, const std::string& path, int err) {
    return action + " " + path + ": " + std::strerror(err);
}
}  // namespace

FileManager& FileManager::defaultManager() {
    static FileManager manager;
    return manager;
}

bool FileManager::fileExists(const std::string& path, bool* isDirectory) const {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) {
        if (isDirectory) *isDirectory = false;
        return false;
    }
    if (isDirectory) *isDirectory = S_ISDIR(st.st_mode);
    return true;
}

bool FileManager::removeItem(const std::string& path, std::string* error) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(path, ec))) return setError(error, describe("cannot remove", path, ENOENT));
    fs::remove_all(path, ec);
    if (ec) return setError(error, "cannot remove " + path + ": " + ec.message());
    return true;
}

bool FileManager::copyItem(const std::string& from, const std::string& to, std::string* error) {
    std::error_code ec;
    if (!fs::exists(from, ec)) return setError(error, describe("cannot copy", from, ENOENT));
    if (fs::exists(fs::symlink_status(to, ec))) return setError(error, describe("cannot copy to", to, EEXIST));
    fs::copy(from, to, fs::copy_options::recursive, ec);
    if (ec) return setError(error, "cannot copy " + from + " to " + to + ": " + ec.message());
    return true;
}

bool FileManager::moveItem(const std::string& from, const std::string& to, std::string* error) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(from, ec))) return setError(error, describe("cannot move", from, ENOENT));
    if (fs::exists(fs::symlink_status(to, ec))) return setError(error, describe("cannot move to", to, EEXIST));
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    if (errno != EXDEV) return setError(error, describe("cannot move " + from + " to", to, errno));
    // Another file system: copy, then remove the original.
    if (!copyItem(from, to, error)) return false;
    return removeItem(from, error);
}

namespace {

// Whether a folder made at path is for the user alone: one of the program's
// own folders (its data, settings or cache folder, or one inside them: they
// hold the log, the settings, the keychain and queued shares), or a folder on
// the way to one (an XDG base folder or a parent of one), which the XDG base
// directory rules ask to be made 0700.
bool isPrivateWhenMade(const fs::path& path) {
    const fs::path normal = path.lexically_normal();
    for (const std::string& root : {paths::dataHome(), paths::configHome(), paths::cacheHome()}) {
        const fs::path own = fs::path(root).lexically_normal();
        const fs::path inside = normal.lexically_relative(own);
        if (!inside.empty() && *inside.begin() != "..") return true;
        const fs::path below = own.lexically_relative(normal);
        if (!below.empty() && *below.begin() != "..") return true;
    }
    return false;
}

}  // namespace

bool FileManager::preparePrivateFolders(std::string* error) {
    bool good = true;
    // Made before (by an older run, under another umask) a folder may let
    // others in; a folder of another user is left as it is.
    auto restrict = [&](const std::string& folder) {
        struct stat st {};
        if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) return;
        const mode_t mode = st.st_mode & 07777;
        if ((mode & ~mode_t{0700}) != 0 && ::chmod(folder.c_str(), mode & 0700) != 0)
            good = setError(error, describe("cannot restrict folder", folder, errno));
    };
    for (const std::string& root : {paths::dataHome(), paths::configHome(), paths::cacheHome()}) {
        std::string why;
        if (!createDirectory(root, true, &why)) good = setError(error, why);
        else restrict(root);
    }
    // The Documents folder is made where it is first needed.
    restrict(paths::documents());
    return good;
}

bool FileManager::createDirectory(const std::string& path, bool intermediates, std::string* error) {
    bool isDir = false;
    if (fileExists(path, &isDir)) {
        if (isDir && intermediates) return true;
        return setError(error, describe("cannot create folder", path, EEXIST));
    }
    // The folders to make, outermost first.
    fs::path target = fs::path(path).lexically_normal();
    if (!target.has_filename()) target = target.parent_path();  // a trailing "/"
    std::vector<fs::path> missing{target};
    std::error_code ec;
    if (intermediates) {
        for (fs::path p = target.parent_path();
             !p.empty() && p != p.root_path() && !fs::exists(fs::symlink_status(p, ec)); p = p.parent_path())
            missing.insert(missing.begin(), p);
    }
    for (const fs::path& folder : missing) {
        // The program's own folders and the base folders on the way to them
        // are 0700 whatever the umask; others get what the umask leaves of
        // 0777, as any folder would.
        const bool own = isPrivateWhenMade(folder);
        if (::mkdir(folder.c_str(), own ? 0700 : 0777) != 0) {
            const int code = errno;
            if (code == EEXIST && intermediates && fs::is_directory(folder, ec)) continue;  // made meanwhile
            return setError(error, describe("cannot create folder", folder.string(), code));
        }
        if (own && ::chmod(folder.c_str(), 0700) != 0)
            return setError(error, describe("cannot restrict folder", folder.string(), errno));
    }
    return true;
}

std::vector<std::string> FileManager::contentsOfDirectory(const std::string& path) const {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<Data> FileManager::contentsAtPath(const std::string& path) const {
    ScopedDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.isOpen()) return std::nullopt;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || S_ISDIR(st.st_mode)) return std::nullopt;
    Data out;
    out.reserve(static_cast<std::size_t>(std::max<off_t>(st.st_size, 0)));
    std::uint8_t buf[65536];
    for (;;) {
        ssize_t n = ::read(fd.get(), buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::nullopt;
        if (n == 0) break;
        out.insert(out.end(), buf, buf + n);
    }
    return out;
}

bool FileManager::writeAtomically(const std::string& path, const Data& bytes, std::string* error, unsigned mode) {
    std::string dir = paths::deletingLastComponent(path);
    if (dir.empty()) dir = ".";
    std::string tmpl = paths::join(dir, "." + paths::lastComponent(path) + ".tmp-XXXXXX");
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    ScopedDescriptor fd(::mkostemp(name.data(), O_CLOEXEC));
    if (!fd.isOpen()) return setError(error, describe("cannot write", path, errno));
    std::string tmp(name.data());
    auto abandon = [&](int err) {
        fd.close();
        ::unlink(tmp.c_str());
        return setError(error, describe("cannot write", path, err));
    };
    // The permissions are set before any byte is written, so a secret is
    // never readable by others, even for a moment.
    if (::fchmod(fd.get(), static_cast<mode_t>(mode & 07777)) != 0) return abandon(errno);
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return abandon(errno);
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd.get()) != 0) return abandon(errno);
    if (fd.close() != 0) {
        int err = errno;
        ::unlink(tmp.c_str());
        return setError(error, describe("cannot write", path, err));
    }
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        int err = errno;
        ::unlink(tmp.c_str());
        return setError(error, describe("cannot write", path, err));
    }
    // Make the rename itself durable.
    ScopedDescriptor folder(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.isOpen()) ::fsync(folder.get());
    return true;
}

namespace {

// Whether name is one writeAtomically gives the temporary of a file: a dot,
// the file's name, ".tmp-" and mkostemp's six letters and digits. With
// target set, only the temporaries of that file name.
bool isTemporaryName(const std::string& name, const std::string* target) {
    static const std::string tag = ".tmp-";
    if (name.size() < 1 + 1 + tag.size() + 6 || name[0] != '.') return false;
    const std::size_t at = name.size() - 6 - tag.size();
    if (name.compare(at, tag.size(), tag) != 0) return false;
    for (std::size_t i = name.size() - 6; i < name.size(); ++i)
        if (!std::isalnum(static_cast<unsigned char>(name[i]))) return false;
    return !target || (at - 1 == target->size() && name.compare(1, at - 1, *target) == 0);
}

// Removes the stale temporaries in dir (of target only, when given).
int sweepTemporaries(const std::string& dir, const std::string* target, double olderThan) {
    const auto now = fs::file_time_type::clock::now();
    int removed = 0;
    for (const auto& name : FileManager::defaultManager().contentsOfDirectory(dir)) {
        if (!isTemporaryName(name, target)) continue;
        std::string file = paths::join(dir, name);
        struct stat st {};
        if (::lstat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        std::error_code ec;
        auto changed = fs::last_write_time(file, ec);
        if (ec) continue;
        double age = std::chrono::duration<double>(now - changed).count();
        if (age < olderThan) continue;
        if (::unlink(file.c_str()) == 0) ++removed;
    }
    return removed;
}

}  // namespace

int FileManager::removeStaleTemporaries(const std::string& path, double olderThan) {
    std::string dir = paths::deletingLastComponent(path);
    if (dir.empty()) dir = ".";
    const std::string target = paths::lastComponent(path);
    return sweepTemporaries(dir, &target, olderThan);
}

int FileManager::removeStaleTemporariesIn(const std::string& folder, double olderThan, bool subfolders) {
    int removed = sweepTemporaries(folder, nullptr, olderThan);
    if (!subfolders) return removed;
    for (const auto& name : contentsOfDirectory(folder)) {
        const std::string inner = paths::join(folder, name);
        struct stat st {};
        if (::lstat(inner.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            removed += sweepTemporaries(inner, nullptr, olderThan);
    }
    return removed;
}

bool FileManager::writeAtomically(const std::string& path, const std::string& text, std::string* error, unsigned mode) {
    return writeAtomically(path, Data(text.begin(), text.end()), error, mode);
}

}  // namespace base
