#pragma once
// Name-keyed notifications with a sender object and optional user info,
// delivered synchronously on the posting thread. Observers may filter by the
// sender's identity and may remove themselves (or others) while being called.
// Observations are indexed by token, by name and by owner, so adding or
// removing one costs the same with a hundred thousand others registered (a
// chart's data labels observe their plot space one each).
#include <any>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/base/Value.h"

namespace base {

struct Notification {
    std::string name;
    // The sender (or the carried value, as some notifications use it): any
    // value, usually a shared_ptr to the posting object or a number.
    std::any object;
    // The identity of the sender, for filtering: the address of the object
    // (null when there is none).
    const void* sender = nullptr;
    Value userInfo;
};

class NotificationCenter {
public:
    using Token = unsigned long long;
    using Handler = std::function<void(const Notification&)>;

    static NotificationCenter& defaultCenter();

    // Observes name (empty = every name). sender != nullptr delivers only the
    // notifications posted with that sender. owner groups observations for
    // removeObserver(owner).
    Token addObserver(const void* owner, const std::string& name, const void* sender, Handler handler);
    void removeObserver(Token token);
    // Removes every observation registered by owner (optionally only name).
    void removeObserver(const void* owner, const std::string& name = {});

    void post(const Notification& notification);
    void post(const std::string& name, const void* sender = nullptr, std::any object = {}, Value userInfo = {});

    struct Entry;

private:
    void erase(const std::shared_ptr<Entry>& entry);

    std::recursive_mutex mutex_;
    std::unordered_map<Token, std::shared_ptr<Entry>> entries_;
    // Per name (the empty name: observers of every name), in registration
    // order, which is the order of delivery.
    std::unordered_map<std::string, std::map<Token, std::shared_ptr<Entry>>> byName_;
    std::unordered_map<const void*, std::set<Token>> byOwner_;
    Token next_ = 1;
};

}  // namespace base
