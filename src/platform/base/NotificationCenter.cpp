#include "platform/base/NotificationCenter.h"

#include <atomic>
#include <vector>

namespace base {

struct NotificationCenter::Entry {
    Token token = 0;
    const void* owner = nullptr;
    std::string name;              // empty: every name
    const void* sender = nullptr;  // null: every sender
    Handler handler;
    // Cleared on removal; a delivery already under way skips the entry.
    std::atomic<bool> alive{true};

    bool matches(const Notification& n) const {
        return (name.empty() || name == n.name) && (!sender || sender == n.sender);
    }
};

NotificationCenter& NotificationCenter::defaultCenter() {
    // Never destroyed: observers may be removed by objects torn down at exit.
    static auto* center = new NotificationCenter();
    return *center;
}

NotificationCenter::Token NotificationCenter::addObserver(const void* owner, const std::string& name,
                                                          const void* sender, Handler handler) {
    auto entry = std::make_shared<Entry>();
    entry->owner = owner;
    entry->name = name;
    entry->sender = sender;
    entry->handler = std::move(handler);
    std::lock_guard lock(mutex_);
    entry->token = next_++;
    entries_.emplace(entry->token, entry);
    byName_[name].emplace_hint(byName_[name].end(), entry->token, entry);
    byOwner_[owner].insert(entry->token);
    return entry->token;
}

void NotificationCenter::erase(const std::shared_ptr<Entry>& entry) {
    entry->alive = false;
    if (auto named = byName_.find(entry->name); named != byName_.end()) {
        named->second.erase(entry->token);
        if (named->second.empty()) byName_.erase(named);
    }
    if (auto owned = byOwner_.find(entry->owner); owned != byOwner_.end()) {
        owned->second.erase(entry->token);
        if (owned->second.empty()) byOwner_.erase(owned);
    }
    entries_.erase(entry->token);
}

void NotificationCenter::removeObserver(Token token) {
    std::lock_guard lock(mutex_);
    auto it = entries_.find(token);
    if (it == entries_.end()) return;
    std::shared_ptr<Entry> entry = it->second;
    erase(entry);
}

void NotificationCenter::removeObserver(const void* owner, const std::string& name) {
    std::lock_guard lock(mutex_);
    auto owned = byOwner_.find(owner);
    if (owned == byOwner_.end()) return;
    std::vector<std::shared_ptr<Entry>> doomed;
    for (Token token : owned->second) {
        const auto& entry = entries_.at(token);
        if (name.empty() || entry->name == name) doomed.push_back(entry);
    }
    for (const auto& entry : doomed) erase(entry);
}

void NotificationCenter::post(const Notification& notification) {
    // Delivery works on a snapshot taken without holding the lock, so
    // handlers may add or remove observations (their own or others') and
    // other threads may register meanwhile. A removed observation is not
    // called any more, even when it is still in the snapshot; one added
    // during delivery hears the next notification.
    std::vector<std::shared_ptr<Entry>> snapshot;
    {
        std::lock_guard lock(mutex_);
        static const std::map<Token, std::shared_ptr<Entry>> none;
        auto bucket = [&](const std::string& name) -> const std::map<Token, std::shared_ptr<Entry>>& {
            auto it = byName_.find(name);
            return it == byName_.end() ? none : it->second;
        };
        const auto& named = notification.name.empty() ? none : bucket(notification.name);
        const auto& any = bucket(std::string());
        // Both lists run in registration order; merged, so is the delivery.
        auto a = named.begin(), b = any.begin();
        auto take = [&](const std::shared_ptr<Entry>& e) {
            if (e->matches(notification)) snapshot.push_back(e);
        };
        while (a != named.end() || b != any.end()) {
            if (b == any.end() || (a != named.end() && a->first < b->first)) take((a++)->second);
            else take((b++)->second);
        }
    }
    for (const auto& e : snapshot)
        if (e->alive && e->handler) e->handler(notification);
}

void NotificationCenter::post(const std::string& name, const void* sender, std::any object, Value userInfo) {
    Notification n;
    n.name = name;
    n.sender = sender;
    n.object = std::move(object);
    n.userInfo = std::move(userInfo);
    post(n);
}

}  // namespace base
