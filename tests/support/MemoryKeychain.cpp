#include "support/MemoryKeychain.h"

#include <algorithm>

namespace testsupport {

using base::Data;
using base::KeychainAttributes;
using base::KeychainItem;
using base::KeychainStatus;

void MemoryKeychain::failOperation(Operation op, KeychainStatus status) {
    std::lock_guard lock(mutex_);
    if (status == KeychainStatus::Success) failures_.erase(op);
    else failures_[op] = status;
}

int MemoryKeychain::changeCount() const {
    std::lock_guard lock(mutex_);
    return changes_;
}

std::vector<KeychainItem> MemoryKeychain::items() const {
    std::lock_guard lock(mutex_);
    return items_;
}

KeychainStatus MemoryKeychain::injected(Operation op) const {
    auto it = failures_.find(op);
    return it == failures_.end() ? KeychainStatus::Success : it->second;
}

std::vector<KeychainItem>::iterator MemoryKeychain::find(const std::string& service, const std::string& account) {
    return std::find_if(items_.begin(), items_.end(), [&](const KeychainItem& i) {
        return i.attributes.service == service && i.attributes.account == account;
    });
}

KeychainStatus MemoryKeychain::findAttributes(const std::string& service, const std::string& account,
                                              KeychainAttributes* attributes) {
    std::lock_guard lock(mutex_);
    if (auto s = injected(Operation::FindAttributes); s != KeychainStatus::Success) return s;
    auto it = find(service, account);
    if (it == items_.end()) return KeychainStatus::ItemNotFound;
    if (attributes) *attributes = it->attributes;
    return KeychainStatus::Success;
}

KeychainStatus MemoryKeychain::findData(const std::string& service, const std::string& account,
                                        std::optional<Data>* data) {
    std::lock_guard lock(mutex_);
    if (auto s = injected(Operation::FindData); s != KeychainStatus::Success) return s;
    auto it = find(service, account);
    if (it == items_.end()) return KeychainStatus::ItemNotFound;
    if (data) *data = it->data;
    return KeychainStatus::Success;
}

KeychainStatus MemoryKeychain::add(const KeychainItem& item) {
    std::lock_guard lock(mutex_);
    if (auto s = injected(Operation::Add); s != KeychainStatus::Success) return s;
    if (find(item.attributes.service, item.attributes.account) != items_.end()) return KeychainStatus::DuplicateItem;
    items_.push_back(item);
    ++changes_;
    return KeychainStatus::Success;
}

KeychainStatus MemoryKeychain::update(const std::string& service, const std::string& account, const Data& data) {
    std::lock_guard lock(mutex_);
    if (auto s = injected(Operation::Update); s != KeychainStatus::Success) return s;
    auto it = find(service, account);
    if (it == items_.end()) return KeychainStatus::ItemNotFound;
    it->data = data;
    ++changes_;
    return KeychainStatus::Success;
}

KeychainStatus MemoryKeychain::deleteItem(const std::string& service, const std::string& account) {
    std::lock_guard lock(mutex_);
    if (auto s = injected(Operation::Delete); s != KeychainStatus::Success) return s;
    auto it = find(service, account);
    if (it == items_.end()) return KeychainStatus::ItemNotFound;
    items_.erase(it);
    ++changes_;
    return KeychainStatus::Success;
}

}  // namespace testsupport
