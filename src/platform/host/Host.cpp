#include "platform/host/Host.h"

#include <algorithm>
#include <cctype>

namespace host {

bool isDesktopURL(const std::string& url) {
    auto colon = url.find(':');
    if (colon == std::string::npos || colon == 0) return false;
    std::string scheme = url.substr(0, colon);
    std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (scheme == "mailto") return colon + 1 < url.size();
    if (scheme != "http" && scheme != "https") return false;
    // A web address needs a host after the "//".
    return url.compare(colon, 3, "://") == 0 && url.size() > colon + 3;
}

}  // namespace host
