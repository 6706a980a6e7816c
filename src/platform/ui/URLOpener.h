#pragma once
// Schemes this program handles itself. Application::openURL hands a URL
// whose scheme has a handler registered here to that handler instead of the
// desktop; http, https and mailto otherwise go to the desktop's opener, and
// any other scheme is refused.
#include <functional>
#include <optional>
#include <string>

namespace ui::url_handlers {

using Handler = std::function<bool(const std::string& url)>;

// Scheme names compare without regard to case.
void registerHandler(const std::string& scheme, Handler handler);
void unregisterHandler(const std::string& scheme);
bool hasHandler(const std::string& scheme);
// The handler's answer when the URL's scheme has one; nullopt otherwise.
std::optional<bool> handle(const std::string& url);
// The lowercase scheme of a URL (empty when it has none).
std::string schemeOf(const std::string& url);

}  // namespace ui::url_handlers
