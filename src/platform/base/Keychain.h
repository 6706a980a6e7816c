#pragma once
// Generic-password items, keyed by service and account, as the sharing code
// and the option screens keep credentials. The default store is one
// property-list file, $XDG_DATA_HOME/tolvek/keychain.plist (mode 0600,
// written atomically). Stored values never reach the log.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/Value.h"

namespace base {

// The outcome of a keychain operation. Stores may report other failure
// codes than these; every value but Success is a failure.
enum class KeychainStatus : int {
    Success = 0,
    ItemNotFound = -25300,
    DuplicateItem = -25299,
    Other = -25291,  // the store could not be read or written
};

struct KeychainAttributes {
    std::string service;
    std::string account;
    std::string label;
    bool operator==(const KeychainAttributes&) const = default;
};

struct KeychainItem {
    KeychainAttributes attributes;
    std::optional<Data> data;  // an item may exist without a password
};

class Keychain {
public:
    virtual ~Keychain() = default;

    // The store in force: the file store at the default path unless a test
    // installed another. setSharedForTesting(nullptr) restores the default; the
    // previous store is returned.
    static Keychain& shared();
    static std::shared_ptr<Keychain> setSharedForTesting(std::shared_ptr<Keychain> store);

    // The item of service and account: its attributes, or its data (none
    // when the item holds no data).
    virtual KeychainStatus findAttributes(const std::string& service, const std::string& account,
                                          KeychainAttributes* attributes = nullptr) = 0;
    virtual KeychainStatus findData(const std::string& service, const std::string& account,
                                    std::optional<Data>* data) = 0;
    // Adds a new item; DuplicateItem when service and account are taken.
    virtual KeychainStatus add(const KeychainItem& item) = 0;
    // Replaces the data of an existing item; ItemNotFound when there is none.
    virtual KeychainStatus update(const std::string& service, const std::string& account, const Data& data) = 0;
    virtual KeychainStatus deleteItem(const std::string& service, const std::string& account) = 0;
};

// The file-backed store. The file is read afresh by every operation and
// rewritten whole by every change, so several instances agree. An
// unreadable file is moved aside to "<name>.corrupt" (logged) and the store
// starts empty.
class FileKeychain : public Keychain {
public:
    // An empty path means paths::dataHome()/keychain.plist, looked up at each
    // operation.
    explicit FileKeychain(std::string path = {});
    std::string path() const;

    KeychainStatus findAttributes(const std::string& service, const std::string& account,
                                  KeychainAttributes* attributes = nullptr) override;
    KeychainStatus findData(const std::string& service, const std::string& account, std::optional<Data>* data) override;
    KeychainStatus add(const KeychainItem& item) override;
    KeychainStatus update(const std::string& service, const std::string& account, const Data& data) override;
    KeychainStatus deleteItem(const std::string& service, const std::string& account) override;

private:
    bool load(const std::string& file, std::vector<KeychainItem>& items);
    KeychainStatus save(const std::string& file, const std::vector<KeychainItem>& items);

    std::string path_;
};

}  // namespace base
