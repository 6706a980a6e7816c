#include "platform/base/FileManager.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <map>

#include "TestEnvironment.h"

namespace {

using base::FileManager;
namespace paths = base::paths;

std::string text(const std::optional<base::Data>& d) { return d ? std::string(d->begin(), d->end()) : "<none>"; }

unsigned modeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

TEST(Paths, FollowXdgVariablesAndFallBackToHome) {
    test::TempHome home;
    EXPECT_EQ(paths::home(), home.path());
    EXPECT_EQ(paths::dataHome(), home.dataHome() + "/tolvek");
    EXPECT_EQ(paths::documents(), home.dataHome() + "/tolvek/Documents");
    EXPECT_EQ(paths::caches(), home.cacheHome() + "/tolvek");
    EXPECT_EQ(paths::configHome(), home.configHome() + "/tolvek");
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(paths::documents(), home.path() + "/.local/share/tolvek/Documents");
    ::setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    EXPECT_EQ(paths::configHome(), home.path() + "/.config/tolvek");
    ::unsetenv("XDG_CACHE_HOME");
    EXPECT_EQ(paths::cacheHome(), home.path() + "/.cache/tolvek");
}

TEST(Paths, ComponentsAndExtensions) {
    EXPECT_EQ(paths::join("/a/", "/b"), "/a/b");
    EXPECT_EQ(paths::join("/", "b"), "/b");
    EXPECT_EQ(paths::join("", "b"), "b");
    EXPECT_EQ(paths::lastComponent("/a/b.txt"), "b.txt");
    EXPECT_EQ(paths::lastComponent("/a/b/"), "b");
    EXPECT_EQ(paths::lastComponent("/"), "/");
    EXPECT_EQ(paths::deletingLastComponent("/a/b"), "/a");
    EXPECT_EQ(paths::deletingLastComponent("/a"), "/");
    EXPECT_EQ(paths::deletingLastComponent("a"), "");
    EXPECT_EQ(paths::pathExtension("/x/Log.csv"), "csv");
    EXPECT_EQ(paths::pathExtension("a.tar.gz"), "gz");
    EXPECT_EQ(paths::pathExtension("/x/.hidden"), "");
    EXPECT_EQ(paths::pathExtension("/x.d/file"), "");
}

TEST(FileManager, AtomicWriteReplacesWholeFileWithModeAndLeavesNoTemporary) {
    test::TempHome home;
    auto& fm = FileManager::defaultManager();
    std::string dir = home.path() + "/w";
    ASSERT_TRUE(fm.createDirectory(dir));
    std::string file = dir + "/secret.plist";
    std::string error;
    ASSERT_TRUE(fm.writeAtomically(file, std::string("first version, long"), &error, 0600)) << error;
    EXPECT_EQ(modeOf(file), 0600u);
    ASSERT_TRUE(fm.writeAtomically(file, std::string("second"), &error, 0640)) << error;
    EXPECT_EQ(text(fm.contentsAtPath(file)), "second");
    EXPECT_EQ(modeOf(file), 0640u);
    EXPECT_EQ(fm.contentsOfDirectory(dir), std::vector<std::string>{"secret.plist"});
    ASSERT_TRUE(fm.writeAtomically(file, base::Data{}, &error));
    EXPECT_EQ(text(fm.contentsAtPath(file)), "");
}

TEST(FileManager, FailedWriteKeepsTheOldFileAndSaysWhy) {
    test::TempHome home;
    auto& fm = FileManager::defaultManager();
    std::string error;
    EXPECT_FALSE(fm.writeAtomically(home.path() + "/missing/dir/f", std::string("x"), &error));
    EXPECT_NE(error.find("missing/dir/f"), std::string::npos);
    // A folder in the way of the target: the rename fails, nothing else changes.
    std::string blocked = home.path() + "/blocked";
    ASSERT_TRUE(fm.createDirectory(blocked + "/inner"));
    EXPECT_FALSE(fm.writeAtomically(blocked, std::string("x"), &error));
    bool isDir = false;
    EXPECT_TRUE(fm.fileExists(blocked, &isDir));
    EXPECT_TRUE(isDir);
    EXPECT_EQ(fm.contentsOfDirectory(home.path()), (std::vector<std::string>{"blocked", "cache", "config", "data"}));
}

// The program's data, settings and cache folders (and those inside them)
// are the user's alone whatever the umask; a folder elsewhere keeps what the
// umask gives.
TEST(FileManager, OwnFoldersAreMadeForTheUserAloneUnderAnyUmask) {
    test::TempHome home;
    auto& fm = FileManager::defaultManager();
    const mode_t previous = ::umask(0);
    std::string error;
    const std::string queue = paths::join(paths::caches(), "SHR");
    const std::string other = home.path() + "/shared/folder";
    for (const std::string& folder : {paths::documents(), paths::configHome(), queue, other})
        EXPECT_TRUE(fm.createDirectory(folder, true, &error)) << error;
    ::umask(previous);
    auto mode = [](const std::string& path) {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0u;
    };
    for (const std::string& folder :
         {paths::dataHome(), paths::documents(), paths::configHome(), paths::cacheHome(), queue})
        EXPECT_EQ(mode(folder), 0700u) << folder;
    EXPECT_EQ(mode(other), 0777u);
}

// At start the program's folders lose the group's and others' rights; the
// owner keeps exactly the rights it had, and folders not the program's are
// left alone.
TEST(FileManager, PreparingTheOwnFoldersTakesOnlyOthersRightsAway) {
    test::TempHome home;
    auto& fm = FileManager::defaultManager();
    // Documents is not made here: the store makes it where it is needed.
    std::string error;
    ASSERT_TRUE(fm.preparePrivateFolders(&error)) << error;
    EXPECT_FALSE(fm.fileExists(paths::documents()));

    ASSERT_TRUE(fm.createDirectory(paths::documents()));
    const std::map<std::string, std::pair<mode_t, mode_t>> beforeAfter{
        {paths::dataHome(), {0755, 0700}},  {paths::documents(), {02777, 0700}}, {paths::configHome(), {0500, 0500}},
        {paths::cacheHome(), {0300, 0300}}, {home.dataHome(), {0755, 0755}},
    };
    for (const auto& [folder, modes] : beforeAfter) ASSERT_EQ(::chmod(folder.c_str(), modes.first), 0) << folder;
    EXPECT_TRUE(fm.preparePrivateFolders(&error)) << error;
    for (const auto& [folder, modes] : beforeAfter) EXPECT_EQ(modeOf(folder), modes.second) << folder;
    // Once more changes nothing.
    EXPECT_TRUE(fm.preparePrivateFolders(&error)) << error;
    for (const auto& [folder, modes] : beforeAfter) EXPECT_EQ(modeOf(folder), modes.second) << folder;
    // So that the temporary home can be removed.
    for (const std::string& folder : {paths::dataHome(), paths::configHome(), paths::cacheHome()})
        ::chmod(folder.c_str(), 0700);
}

TEST(FileManager, CopyMoveRemoveAndCreate) {
    test::TempHome home;
    auto& fm = FileManager::defaultManager();
    std::string a = home.path() + "/a.txt", b = home.path() + "/b.txt", c = home.path() + "/c.txt";
    ASSERT_TRUE(fm.writeAtomically(a, std::string("A")));
    std::string error;
    EXPECT_TRUE(fm.copyItem(a, b, &error)) << error;
    EXPECT_FALSE(fm.copyItem(a, b, &error));  // never overwrites
    EXPECT_TRUE(fm.moveItem(b, c, &error)) << error;
    EXPECT_FALSE(fm.fileExists(b));
    EXPECT_EQ(text(fm.contentsAtPath(c)), "A");
    EXPECT_FALSE(fm.moveItem(c, a, &error));  // destination exists
    EXPECT_TRUE(fm.removeItem(c, &error));
    EXPECT_FALSE(fm.removeItem(c, &error));
    EXPECT_FALSE(error.empty());
    std::string deep = home.path() + "/x/y/z";
    EXPECT_FALSE(fm.createDirectory(deep, false, &error));
    EXPECT_TRUE(fm.createDirectory(deep, true, &error));
    EXPECT_TRUE(fm.createDirectory(deep, true, &error));  // already there is fine
    EXPECT_TRUE(fm.removeItem(home.path() + "/x", &error));
    EXPECT_FALSE(fm.fileExists(deep));
    EXPECT_FALSE(fm.contentsAtPath(home.path()));  // a folder has no contents
    EXPECT_FALSE(fm.contentsAtPath(deep));
}

}  // namespace
