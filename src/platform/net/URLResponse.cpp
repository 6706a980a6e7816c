#include "platform/net/URLResponse.h"

#include <cctype>
#include <cstdlib>

#include "platform/base/Strings.h"

namespace net {
namespace {

std::string trim(std::string_view s) { return base::trim(s, base::kSpacesAndTabs); }

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

std::optional<std::string> URLResponse::valueForHeaderField(const std::string& field) const {
    auto it = headers_.find(field);
    if (it == headers_.end()) return std::nullopt;
    return it->second;
}

long long URLResponse::expectedContentLength() const {
    auto v = valueForHeaderField("Content-Length");
    if (!v || v->empty()) return -1;
    char* end = nullptr;
    long long n = std::strtoll(v->c_str(), &end, 10);
    if (end == v->c_str() || n < 0) return -1;
    return n;
}

std::string URLResponse::mimeType() const {
    auto v = valueForHeaderField("Content-Type");
    if (!v) return {};
    return lower(trim(v->substr(0, v->find(';'))));
}

std::string URLResponse::textEncodingName() const {
    auto v = valueForHeaderField("Content-Type");
    if (!v) return {};
    std::string text = *v;
    std::size_t pos = 0;
    while ((pos = text.find(';', pos)) != std::string::npos) {
        ++pos;
        std::size_t next = text.find(';', pos);
        std::string param = trim(text.substr(pos, next == std::string::npos ? std::string::npos : next - pos));
        std::size_t eq = param.find('=');
        if (eq != std::string::npos && lower(trim(param.substr(0, eq))) == "charset") {
            std::string value = trim(param.substr(eq + 1));
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                value = value.substr(1, value.size() - 2);
            return lower(value);
        }
    }
    return {};
}

std::string URLResponse::localizedStringForStatusCode(long statusCode) {
    switch (statusCode) {
    case 100: return "continue";
    case 101: return "switching protocols";
    case 200: return "no error";
    case 201: return "created";
    case 202: return "accepted";
    case 204: return "no content";
    case 206: return "partial content";
    case 301: return "moved permanently";
    case 302: return "found";
    case 303: return "see other";
    case 304: return "not modified";
    case 307: return "temporarily redirected";
    case 308: return "permanently redirected";
    case 400: return "bad request";
    case 401: return "unauthorized";
    case 403: return "forbidden";
    case 404: return "not found";
    case 405: return "method not allowed";
    case 408: return "request timed out";
    case 409: return "conflict";
    case 410: return "no longer exists";
    case 413: return "request too large";
    case 415: return "unsupported media type";
    case 429: return "too many requests";
    case 500: return "internal server error";
    case 501: return "unimplemented";
    case 502: return "bad gateway";
    case 503: return "service unavailable";
    case 504: return "gateway timed out";
    default: break;
    }
    if (statusCode >= 100 && statusCode < 200) return "informational";
    if (statusCode >= 200 && statusCode < 300) return "success";
    if (statusCode >= 300 && statusCode < 400) return "redirected";
    if (statusCode >= 400 && statusCode < 500) return "client error";
    if (statusCode >= 500 && statusCode < 600) return "server error";
    return "unknown";
}

}  // namespace net
