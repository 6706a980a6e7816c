#pragma once
// The user's settings, one property-list file that survives runs. No defaults
// are registered: an unset key reads 0, NO or nil. synchronize() writes the
// file atomically; pending changes are also written at normal exit. A corrupt
// file is moved aside to "<name>.corrupt" (logged) and the program starts
// with empty settings; a file of which only some values cannot be read is
// kept there as well, and the program starts with the others.
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/base/Value.h"

namespace base {

class UserDefaults {
public:
    // The shared instance, backed by $XDG_CONFIG_HOME/tolvek/defaults.plist
    // (~/.config/tolvek/ when unset). Created on first use.
    static UserDefaults& standardUserDefaults();
    // Drops the shared instance (after writing it), so the next call reads the
    // file again; for tests that point HOME/XDG_* at a new folder.
    static void resetStandardUserDefaultsForTesting();

    explicit UserDefaults(std::string path);
    ~UserDefaults();  // writes pending changes

    Value objectForKey(const std::string& key) const;  // null when unset
    // A string, or a number's text; "" (nullopt) when unset or anything else.
    std::string stringForKey(const std::string& key) const;
    std::optional<std::string> optionalStringForKey(const std::string& key) const;
    long long integerForKey(const std::string& key) const;
    bool boolForKey(const std::string& key) const;
    double doubleForKey(const std::string& key) const;
    std::optional<Array> arrayForKey(const std::string& key) const;
    std::optional<Dictionary> dictionaryForKey(const std::string& key) const;
    std::optional<Data> dataForKey(const std::string& key) const;
    std::optional<Date> dateForKey(const std::string& key) const;

    void setObject(const std::string& key, Value value);  // a null value removes
    void setInteger(const std::string& key, long long value);
    void setBool(const std::string& key, bool value);
    void setDouble(const std::string& key, double value);
    void setString(const std::string& key, const std::string& value);
    void removeObjectForKey(const std::string& key);

    // Writes pending changes; false (and a log line) when the write failed,
    // in which case the changes stay pending.
    bool synchronize();
    const std::string& path() const { return path_; }
    // Where an unusable settings file was moved at start, or a file of which
    // some values could not be read was kept (see leftOutValues); empty when
    // the file was read whole (or there was none).
    const std::string& movedAsideTo() const { return movedAsideTo_; }
    // How many unreadable values were left out of a file that was read
    // otherwise (its readable settings are in use and replace it at the
    // next write).
    std::size_t leftOutValues() const { return leftOutValues_; }
    Dictionary dictionaryRepresentation() const;

private:
    std::string path_;
    mutable std::mutex mutex_;
    Dictionary values_;
    bool dirty_ = false;
    std::string movedAsideTo_;
    std::size_t leftOutValues_ = 0;
    bool writable_ = true;  // false when an unusable file could not be moved aside
};

}  // namespace base
