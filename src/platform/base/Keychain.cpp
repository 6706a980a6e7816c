#include "platform/base/Keychain.h"

#include <algorithm>
#include <mutex>
#include <set>

#include "platform/base/FileManager.h"
#include "platform/base/Log.h"

namespace base {

namespace {

std::mutex& sharedMutex() {
    static auto* m = new std::mutex;
    return *m;
}
std::shared_ptr<Keychain>& installed() {
    static auto* store = new std::shared_ptr<Keychain>;
    return *store;
}

// One lock for every file store: two instances may name the same file.
std::mutex& fileMutex() {
    static auto* m = new std::mutex;
    return *m;
}

template <class Items>
auto findItem(Items& items, const std::string& service, const std::string& account) {
    return std::find_if(items.begin(), items.end(), [&](const KeychainItem& i) {
        return i.attributes.service == service && i.attributes.account == account;
    });
}

Value encode(const std::vector<KeychainItem>& items) {
    Array list;
    for (const auto& item : items) {
        Dictionary d{{"service", item.attributes.service},
                     {"account", item.attributes.account},
                     {"label", item.attributes.label}};
        if (item.data) d.set("data", *item.data);
        list.push_back(Value(std::move(d)));
    }
    return Value(Dictionary{{"version", 1}, {"items", Value(std::move(list))}});
}

bool decode(const Value& root, std::vector<KeychainItem>& items, std::string& why) {
    const Array* list = root["items"].asArray();
    if (!root.asDictionary() || !list) {
        why = "no item list";
        return false;
    }
    for (const Value& v : *list) {
        const std::string* service = v["service"].asString();
        const std::string* account = v["account"].asString();
        if (!service || !account) {
            // Its name could not be read: the other items are kept.
            log("keychain: left out an item without a readable service or account");
            continue;
        }
        KeychainItem item;
        item.attributes.service = *service;
        item.attributes.account = *account;
        item.attributes.label = v["label"].stringValue();
        if (const Data* d = v["data"].asData()) item.data = *d;
        items.push_back(std::move(item));
    }
    return true;
}

}  // namespace

Keychain& Keychain::shared() {
    std::lock_guard lock(sharedMutex());
    if (auto& s = installed()) return *s;
    static auto* fileStore = new FileKeychain();
    return *fileStore;
}

std::shared_ptr<Keychain> Keychain::setSharedForTesting(std::shared_ptr<Keychain> store) {
    std::lock_guard lock(sharedMutex());
    auto old = std::move(installed());
    installed() = std::move(store);
    return old;
}

// ---- FileKeychain --------------------------------------------------------

FileKeychain::FileKeychain(std::string path) : path_(std::move(path)) {}

std::string FileKeychain::path() const {
    return path_.empty() ? paths::join(paths::dataHome(), "keychain.plist") : path_;
}

bool FileKeychain::load(const std::string& file, std::vector<KeychainItem>& items) {
    auto& fm = FileManager::defaultManager();
    // The first time a run touches a keychain file, copies that an earlier
    // run left half-written (each a full copy of the secrets) are removed.
    static auto* swept = new std::set<std::string>;
    if (swept->insert(file).second) {
        if (int n = fm.removeStaleTemporaries(file))
            log("removed " + std::to_string(n) + " unfinished keychain file(s) left by an earlier run");
    }
    if (!fm.fileExists(file)) return true;
    std::string why;
    if (auto bytes = fm.contentsAtPath(file)) {
        std::vector<std::string> dropped;
        auto root = Value::fromPlist(*bytes, &why, &dropped);
        for (const auto& what : dropped)
            log(std::string("keychain file ")
                    .append(file)
                    .append(": left out an unreadable value (")
                    .append(what)
                    .append(")"));
        if (root && decode(*root, items, why)) return true;
    } else {
        why = "it cannot be read";
    }
    items.clear();
    std::string aside = file + ".corrupt";
    for (int n = 1; fm.fileExists(aside); ++n) aside = file + ".corrupt." + std::to_string(n);
    std::string error;
    if (!fm.moveItem(file, aside, &error)) {
        log("keychain file " + file + " is unusable (" + why + ") and could not be moved aside: " + error);
        return false;
    }
    log("keychain file " + file + " is unusable (" + why + "); moved it to " + aside + " and started empty");
    return true;
}

KeychainStatus FileKeychain::save(const std::string& file, const std::vector<KeychainItem>& items) {
    auto& fm = FileManager::defaultManager();
    std::string error;
    std::string dir = paths::deletingLastComponent(file);
    auto bytes = encode(items).toBinaryPlist(&error);
    if (bytes && (dir.empty() || fm.createDirectory(dir, true, &error)) &&
        fm.writeAtomically(file, *bytes, &error, 0600))
        return KeychainStatus::Success;
    log("cannot save the keychain: " + error);
    return KeychainStatus::Other;
}

KeychainStatus FileKeychain::findAttributes(const std::string& service, const std::string& account,
                                            KeychainAttributes* attributes) {
    std::lock_guard lock(fileMutex());
    std::vector<KeychainItem> items;
    if (!load(path(), items)) return KeychainStatus::Other;
    auto it = findItem(items, service, account);
    if (it == items.end()) return KeychainStatus::ItemNotFound;
    if (attributes) *attributes = it->attributes;
    return KeychainStatus::Success;
}

KeychainStatus FileKeychain::findData(const std::string& service, const std::string& account,
                                      std::optional<Data>* data) {
    std::lock_guard lock(fileMutex());
    std::vector<KeychainItem> items;
    if (!load(path(), items)) return KeychainStatus::Other;
    auto it = findItem(items, service, account);
    if (it == items.end()) return KeychainStatus::ItemNotFound;
    if (data) *data = it->data;
    return KeychainStatus::Success;
}

KeychainStatus FileKeychain::add(const KeychainItem& item) {
    std::lock_guard lock(fileMutex());
    std::string file = path();
    std::vector<KeychainItem> items;
    if (!load(file, items)) return KeychainStatus::Other;
    if (findItem(items, item.attributes.service, item.attributes.account) != items.end())
        return KeychainStatus::DuplicateItem;
    items.push_back(item);
    return save(file, items);
}

KeychainStatus FileKeychain::update(const std::string& service, const std::string& account, const Data& data) {
    std::lock_guard lock(fileMutex());
    std::string file = path();
    std::vector<KeychainItem> items;
    if (!load(file, items)) return KeychainStatus::Other;
    auto it = findItem(items, service, account);
    if (it == items.end()) return KeychainStatus::ItemNotFound;
    it->data = data;
    return save(file, items);
}

KeychainStatus FileKeychain::deleteItem(const std::string& service, const std::string& account) {
    std::lock_guard lock(fileMutex());
    std::string file = path();
    std::vector<KeychainItem> items;
    if (!load(file, items)) return KeychainStatus::Other;
    auto it = findItem(items, service, account);
    if (it == items.end()) return KeychainStatus::ItemNotFound;
    items.erase(it);
    return save(file, items);
}

}  // namespace base
