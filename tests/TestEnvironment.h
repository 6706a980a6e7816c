#pragma once
// Test helpers shared by every test program.
//
// test::TempHome points HOME and the XDG base folders at a fresh temporary
// folder for the lifetime of the object, so nothing a test does touches the
// real user's files, and removes the folder afterwards. The shared user
// defaults are dropped on entry and exit so each test reads its own file.
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/base/UserDefaults.h"

namespace test {

// A folder of the tests' own sources (scripts, fixtures), from the source
// tree that CTest names in TOLVEK_TEST_SOURCE_DIR; relative to this header
// when a test binary is run by hand.
inline std::filesystem::path testSourceDir(const std::string& relative) {
    if (const char* root = std::getenv("TOLVEK_TEST_SOURCE_DIR"); root && *root)
        return std::filesystem::path(root) / "tests" / relative;
    return std::filesystem::path(__FILE__).parent_path() / relative;
}

class TempHome {
public:
    TempHome() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "tolvek-test-XXXXXX").string();
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back('\0');
        if (!::mkdtemp(buf.data())) throw std::runtime_error("cannot make a temporary folder");
        root_ = buf.data();
        base::UserDefaults::resetStandardUserDefaultsForTesting();
        set("HOME", root_);
        set("XDG_DATA_HOME", root_ + "/data");
        set("XDG_CONFIG_HOME", root_ + "/config");
        set("XDG_CACHE_HOME", root_ + "/cache");
        for (const char* sub : {"data", "config", "cache"}) std::filesystem::create_directories(root_ + "/" + sub);
    }

    ~TempHome() {
        base::UserDefaults::resetStandardUserDefaultsForTesting();
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second) ::setenv(it->first.c_str(), it->second->c_str(), 1);
            else ::unsetenv(it->first.c_str());
        }
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }

    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    // The temporary folder; HOME points here.
    const std::string& path() const { return root_; }
    std::string dataHome() const { return root_ + "/data"; }
    std::string configHome() const { return root_ + "/config"; }
    std::string cacheHome() const { return root_ + "/cache"; }

private:
    void set(const char* name, const std::string& value) {
        const char* old = std::getenv(name);
        saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        ::setenv(name, value.c_str(), 1);
    }

    std::string root_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace test
