#include "platform/net/URLRequest.h"

#include <algorithm>
#include <cctype>

namespace net {

bool HeaderNameLess::operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
}

URLRequest::URLRequest(URL url, CachePolicy cachePolicy, double timeoutInterval)
    : url_(std::move(url)), timeout_(timeoutInterval), cachePolicy_(cachePolicy) {}

void URLRequest::setAllHTTPHeaderFields(const std::map<std::string, std::string>& fields) {
    headers_.clear();
    for (const auto& [name, value] : fields) headers_[name] = value;
}

std::optional<std::string> URLRequest::valueForHTTPHeaderField(const std::string& field) const {
    auto it = headers_.find(field);
    if (it == headers_.end()) return std::nullopt;
    return it->second;
}

void URLRequest::setValue(const std::optional<std::string>& value, const std::string& field) {
    if (!value) {
        headers_.erase(field);
        return;
    }
    auto it = headers_.find(field);
    if (it != headers_.end()) it->second = *value;
    else headers_.emplace(field, *value);
}

void URLRequest::addValue(const std::string& value, const std::string& field) {
    auto it = headers_.find(field);
    if (it == headers_.end()) headers_.emplace(field, value);
    else it->second += "," + value;
}

}  // namespace net
