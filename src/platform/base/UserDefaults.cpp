#include "platform/base/UserDefaults.h"

#include <cstdlib>

#include "platform/base/FileManager.h"
#include "platform/base/Log.h"

namespace base {

namespace {

// The shared instance lives on the heap and is never destroyed by static
// destruction: an exit handler writes it out instead, while everything it
// needs still exists.
std::mutex& sharedMutex() {
    static auto* m = new std::mutex;
    return *m;
}
UserDefaults*& sharedInstance() {
    static UserDefaults* instance = nullptr;
    return instance;
}

void flushAtExit() {
    std::lock_guard lock(sharedMutex());
    if (UserDefaults* d = sharedInstance()) d->synchronize();
}

// "<file>.corrupt", or "<file>.corrupt.N" when earlier ones are kept.
std::string freeCorruptName(const std::string& path) {
    auto& fm = FileManager::defaultManager();
    std::string name = path + ".corrupt";
    for (int n = 1; fm.fileExists(name); ++n) name = path + ".corrupt." + std::to_string(n);
    return name;
}

}  // namespace

UserDefaults& UserDefaults::standardUserDefaults() {
    std::lock_guard lock(sharedMutex());
    UserDefaults*& instance = sharedInstance();
    if (!instance) {
        static bool registered = false;
        if (!registered) registered = std::atexit(flushAtExit) == 0;
        instance = new UserDefaults(paths::join(paths::configHome(), "defaults.plist"));
    }
    return *instance;
}

void UserDefaults::resetStandardUserDefaultsForTesting() {
    std::lock_guard lock(sharedMutex());
    delete sharedInstance();  // the destructor writes pending changes
    sharedInstance() = nullptr;
}

UserDefaults::UserDefaults(std::string path) : path_(std::move(path)) {
    auto& fm = FileManager::defaultManager();
    if (int n = fm.removeStaleTemporaries(path_))
        log("removed " + std::to_string(n) + " unfinished settings file(s) left by an earlier run");
    bool isDir = false;
    if (!fm.fileExists(path_, &isDir)) return;
    std::string why;
    if (!isDir) {
        if (auto bytes = fm.contentsAtPath(path_)) {
            std::vector<std::string> dropped;
            auto value = Value::fromPlist(*bytes, &why, &dropped);
            if (value && value->asDictionary()) {
                values_ = *value->asDictionary();
                if (dropped.empty()) return;
                // What cannot be read is left out and every other setting
                // kept: the damaged file is kept aside for the user, and the
                // readable settings are written in its place.
                for (const auto& what : dropped)
                    log("settings file " + path_ + ": left out an unreadable value (" + what + ")");
                std::string aside = freeCorruptName(path_);
                std::string error;
                if (fm.copyItem(path_, aside, &error)) {
                    movedAsideTo_ = aside;
                    leftOutValues_ = dropped.size();
                    dirty_ = true;
                    log("settings file " + path_ + " kept as " + aside + "; the readable settings replace it");
                } else {
                    // Without a copy the file is not replaced: what could
                    // not be read stays in it.
                    writable_ = false;
                    log("settings file " + path_ + " could not be kept aside (" + error +
                        "); settings will not be saved this run");
                }
                return;
            }
            if (value) why = "the top level is not a dictionary";
        } else {
            why = "it cannot be read";
        }
    } else {
        why = "it is a folder";
    }
    // Never overwrite what could not be read: keep it aside for the user.
    std::string aside = freeCorruptName(path_);
    std::string error;
    if (fm.moveItem(path_, aside, &error)) {
        movedAsideTo_ = aside;
        log("settings file " + path_ + " is unusable (" + why + "); moved it to " + aside +
            " and started with empty settings");
    } else {
        writable_ = false;
        log("settings file " + path_ + " is unusable (" + why + ") and could not be moved aside (" + error +
            "); settings will not be saved this run");
    }
}

UserDefaults::~UserDefaults() { synchronize(); }

Value UserDefaults::objectForKey(const std::string& key) const {
    std::lock_guard lock(mutex_);
    return values_.get(key);
}

std::string UserDefaults::stringForKey(const std::string& key) const {
    return optionalStringForKey(key).value_or(std::string());
}

std::optional<std::string> UserDefaults::optionalStringForKey(const std::string& key) const {
    Value v = objectForKey(key);
    if (v.asString() || v.isNumber()) return v.stringValue();
    return std::nullopt;
}

long long UserDefaults::integerForKey(const std::string& key) const { return objectForKey(key).integerValue(); }
bool UserDefaults::boolForKey(const std::string& key) const { return objectForKey(key).boolValue(); }
double UserDefaults::doubleForKey(const std::string& key) const { return objectForKey(key).doubleValue(); }

std::optional<Array> UserDefaults::arrayForKey(const std::string& key) const {
    Value v = objectForKey(key);
    if (const Array* a = v.asArray()) return *a;
    return std::nullopt;
}

std::optional<Dictionary> UserDefaults::dictionaryForKey(const std::string& key) const {
    Value v = objectForKey(key);
    if (const Dictionary* d = v.asDictionary()) return *d;
    return std::nullopt;
}

std::optional<Data> UserDefaults::dataForKey(const std::string& key) const {
    Value v = objectForKey(key);
    if (const Data* d = v.asData()) return *d;
    return std::nullopt;
}

std::optional<Date> UserDefaults::dateForKey(const std::string& key) const {
    Value v = objectForKey(key);
    if (const Date* d = v.asDate()) return *d;
    return std::nullopt;
}

void UserDefaults::setObject(const std::string& key, Value value) {
    if (value.isNull()) {
        removeObjectForKey(key);
        return;
    }
    std::lock_guard lock(mutex_);
    values_.set(key, std::move(value));
    dirty_ = true;
}

void UserDefaults::setInteger(const std::string& key, long long value) { setObject(key, Value(value)); }
void UserDefaults::setBool(const std::string& key, bool value) { setObject(key, Value(value)); }
void UserDefaults::setDouble(const std::string& key, double value) { setObject(key, Value(value)); }
void UserDefaults::setString(const std::string& key, const std::string& value) { setObject(key, Value(value)); }

void UserDefaults::removeObjectForKey(const std::string& key) {
    std::lock_guard lock(mutex_);
    if (values_.remove(key)) dirty_ = true;
}

bool UserDefaults::synchronize() {
    std::lock_guard lock(mutex_);
    if (!dirty_) return true;
    if (!writable_) return false;
    auto& fm = FileManager::defaultManager();
    std::string error;
    std::string dir = paths::deletingLastComponent(path_);
    // Binary keeps dates to the sub-second; 0600 because settings may hold
    // account names and tokens.
    // A value that cannot be written readably fails the write and leaves
    // the last good file in place.
    auto bytes = Value(values_).toBinaryPlist(&error);
    if (bytes && (dir.empty() || fm.createDirectory(dir, true, &error)) &&
        fm.writeAtomically(path_, *bytes, &error, 0600)) {
        dirty_ = false;
        return true;
    }
    log("cannot save settings: " + error);
    return false;
}

Dictionary UserDefaults::dictionaryRepresentation() const {
    std::lock_guard lock(mutex_);
    return values_;
}

}  // namespace base
