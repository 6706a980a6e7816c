#pragma once
// An in-memory keychain store for tests: it can be told to fail an operation
// with a status, and counts the changes it made. Installed in place of the
// file store with base::Keychain::setSharedForTesting.
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/Keychain.h"

namespace testsupport {

class MemoryKeychain : public base::Keychain {
public:
    enum class Operation { FindAttributes, FindData, Add, Update, Delete };

    // Every later call of op answers status (and changes nothing), until
    // cleared with Success.
    void failOperation(Operation op, base::KeychainStatus status);
    // Successful add, update and delete calls so far.
    int changeCount() const;
    std::vector<base::KeychainItem> items() const;

    base::KeychainStatus findAttributes(const std::string& service, const std::string& account,
                                        base::KeychainAttributes* attributes = nullptr) override;
    base::KeychainStatus findData(const std::string& service, const std::string& account,
                                  std::optional<base::Data>* data) override;
    base::KeychainStatus add(const base::KeychainItem& item) override;
    base::KeychainStatus update(const std::string& service, const std::string& account,
                                const base::Data& data) override;
    base::KeychainStatus deleteItem(const std::string& service, const std::string& account) override;

private:
    base::KeychainStatus injected(Operation op) const;
    std::vector<base::KeychainItem>::iterator find(const std::string& service, const std::string& account);

    mutable std::mutex mutex_;
    std::vector<base::KeychainItem> items_;
    std::map<Operation, base::KeychainStatus> failures_;
    int changes_ = 0;
};

}  // namespace testsupport
