#include "platform/ui/URLOpener.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>

#include "platform/net/URL.h"

namespace ui::url_handlers {

namespace {
std::mutex& lock() {
    static std::mutex m;
    return m;
}
std::map<std::string, Handler>& handlers() {
    static std::map<std::string, Handler> h;
    return h;
}
std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}
}  // namespace

std::string schemeOf(const std::string& url) { return net::URL::schemeOf(url); }

void registerHandler(const std::string& scheme, Handler handler) {
    std::lock_guard g(lock());
    if (handler) handlers()[lower(scheme)] = std::move(handler);
    else handlers().erase(lower(scheme));
}

void unregisterHandler(const std::string& scheme) {
    std::lock_guard g(lock());
    handlers().erase(lower(scheme));
}

bool hasHandler(const std::string& scheme) {
    std::lock_guard g(lock());
    return handlers().count(lower(scheme)) > 0;
}

std::optional<bool> handle(const std::string& url) {
    Handler handler;
    {
        std::lock_guard g(lock());
        auto it = handlers().find(schemeOf(url));
        if (it == handlers().end()) return std::nullopt;
        handler = it->second;
    }
    return handler(url);  // outside the lock: the handler may open more
}

}  // namespace ui::url_handlers
