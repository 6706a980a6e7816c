#include "platform/base/NotificationCenter.h"

#include <algorithm>
#include <atomic>

namespace base {

struct NotificationCenter::Entry {
    Token token = 0;
    const void* owner = nullptr;
    std::string name;  // empty: every name
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
    entries_.push_back(entry);
    return entry->token;
}

void NotificationCenter::removeObserver(Token token) {
    std::lock_guard lock(mutex_);
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [token](const std::shared_ptr<Entry>& e) { return e->token == token; });
    if (it == entries_.end()) return;
    (*it)->alive = false;
    entries_.erase(it);
}

void NotificationCenter::removeObserver(const void* owner, const std::string& name) {
    std::lock_guard lock(mutex_);
    std::erase_if(entries_, [&](const std::shared_ptr<Entry>& e) {
        if (e->owner != owner || (!name.empty() && e->name != name)) return false;
        e->alive = false;
        return true;
    });
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
        for (const auto& e : entries_)
            if (e->matches(notification)) snapshot.push_back(e);
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
