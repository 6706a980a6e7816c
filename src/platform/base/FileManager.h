#pragma once
// Files and the standard folders. Every folder the program keeps data in
// lives under the XDG base directories.
#include <optional>
#include <string>
#include <vector>

#include "platform/base/Value.h"

namespace base {

namespace paths {
std::string home();        // $HOME
std::string dataHome();    // $XDG_DATA_HOME/tolvek, or ~/.local/share/tolvek
std::string configHome();  // $XDG_CONFIG_HOME/tolvek, or ~/.config/tolvek
std::string cacheHome();   // $XDG_CACHE_HOME/tolvek, or ~/.cache/tolvek
std::string documents();   // dataHome()/Documents
std::string caches();      // cacheHome()
std::string join(const std::string& a, const std::string& b);
std::string lastComponent(const std::string& path);
std::string deletingLastComponent(const std::string& path);
std::string pathExtension(const std::string& path);
}  // namespace paths

class FileManager {
public:
    static FileManager& defaultManager();

    bool fileExists(const std::string& path, bool* isDirectory = nullptr) const;
    // Removes a file or a folder tree; false with error set when it failed
    // (a missing path is an error, as the platform's).
    bool removeItem(const std::string& path, std::string* error = nullptr);
    // Copies a file; fails if the destination exists.
    bool copyItem(const std::string& from, const std::string& to, std::string* error = nullptr);
    bool moveItem(const std::string& from, const std::string& to, std::string* error = nullptr);
    // Creates the folder and, when intermediates, its parents. The program's
    // own folders, and XDG base folders made on the way to them, are 0700.
    bool createDirectory(const std::string& path, bool intermediates = true, std::string* error = nullptr);
    std::vector<std::string> contentsOfDirectory(const std::string& path) const;
    // Makes the program's data, settings and cache folders where missing and
    // takes the group's and others' rights away from each, and from the
    // Documents folder when there is one, so that only the user can enter
    // them. The owner's own rights stay as they are: a folder its owner made
    // read-only stays read-only (0755 becomes 0700, 0500 stays 0500). A
    // folder of another user is left alone. XDG base folders missing above
    // them are made 0700; those that existed keep their mode. False (and
    // why) when one cannot be made or restricted; the others are still done.
    bool preparePrivateFolders(std::string* error = nullptr);

    std::optional<Data> contentsAtPath(const std::string& path) const;
    // Writes all or nothing: a temporary file beside the target, fsync,
    // rename. mode applies to the new file (e.g. 0600 for secrets).
    bool writeAtomically(const std::string& path, const Data& bytes, std::string* error = nullptr,
                         unsigned mode = 0644);
    bool writeAtomically(const std::string& path, const std::string& text, std::string* error = nullptr,
                         unsigned mode = 0644);
    // Removes the temporary files that writeAtomically left beside path when
    // the program died mid-write (a keychain's would keep secrets after the
    // item is gone). Only files of that exact name pattern that were last
    // changed more than olderThan seconds ago go, so a write under way in
    // another instance is left alone. Answers how many were removed.
    int removeStaleTemporaries(const std::string& path, double olderThan = 60);
    // The same for every file of the folder: each temporary writeAtomically
    // left there (".<name>.tmp-XXXXXX", a plain file last changed more than
    // olderThan seconds ago) goes; with subfolders, also in the folders
    // directly inside it. Answers how many were removed.
    int removeStaleTemporariesIn(const std::string& folder, double olderThan = 60, bool subfolders = false);
};

}  // namespace base
