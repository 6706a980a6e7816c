#pragma once
// Name-keyed notifications with a sender object and optional user info,
// delivered synchronously on the posting thread. Observers may filter by the
// sender's identity and may remove themselves (or others) while being called.
#include <any>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
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
    void post(const std::string& name, const void* sender = nullptr, std::any object = {},
              Value userInfo = {});

    struct Entry;

private:
    std::recursive_mutex mutex_;
    std::vector<std::shared_ptr<Entry>> entries_;
    Token next_ = 1;
};

}  // namespace base
