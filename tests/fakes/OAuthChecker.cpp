#include "fakes/OAuthChecker.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <algorithm>
#include <cctype>

namespace fakes {

namespace {

std::string lower(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string trim(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    std::size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

// Pairs of "a=1&b=2", decoded.
void addPairs(const std::string& text, bool plusIsSpace, std::vector<std::pair<std::string, std::string>>& out) {
    if (text.empty()) return;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('&', start);
        if (end == std::string::npos) end = text.size();
        std::string piece = text.substr(start, end - start);
        if (!piece.empty()) {
            std::size_t eq = piece.find('=');
            std::string name = eq == std::string::npos ? piece : piece.substr(0, eq);
            std::string value = eq == std::string::npos ? std::string() : piece.substr(eq + 1);
            out.emplace_back(OAuthChecker::decode(name, plusIsSpace), OAuthChecker::decode(value, plusIsSpace));
        }
        start = end + 1;
    }
}

std::string hmacSha1Base64(const std::string& key, const std::string& text) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    HMAC(EVP_sha1(), key.data(), static_cast<int>(key.size()), reinterpret_cast<const unsigned char*>(text.data()),
         text.size(), digest, &length);
    std::string out(4 * ((length + 2) / 3) + 1, '\0');
    int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()), digest, static_cast<int>(length));
    out.resize(static_cast<std::size_t>(n));
    return out;
}

}  // namespace

std::string OAuthChecker::encode(const std::string& text) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string OAuthChecker::decode(const std::string& text, bool plusIsSpace) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else if (plusIsSpace && text[i] == '+') {
            out += ' ';
        } else {
            out += text[i];
        }
    }
    return out;
}

std::vector<std::pair<std::string, std::string>> OAuthChecker::headerParameters(const std::string& header) {
    std::vector<std::pair<std::string, std::string>> out;
    std::string h = trim(header);
    if (lower(h.substr(0, 6)) != "oauth ") return out;
    std::size_t i = 6;
    while (i < h.size()) {
        while (i < h.size() && (h[i] == ' ' || h[i] == ',')) ++i;
        std::size_t eq = h.find('=', i);
        if (eq == std::string::npos) break;
        std::string name = trim(h.substr(i, eq - i));
        std::size_t open = eq + 1;
        if (open >= h.size() || h[open] != '"') break;  // values are quoted strings
        std::size_t close = h.find('"', open + 1);
        if (close == std::string::npos) break;
        out.emplace_back(name, decode(h.substr(open + 1, close - open - 1), false));
        i = close + 1;
    }
    return out;
}

OAuthCheck OAuthChecker::verify(const RecordedRequest& request, const std::string& scheme,
                                const std::string& consumerSecret, const std::string& tokenSecret) {
    OAuthCheck check;
    const std::string header = request.header("Authorization");
    auto headerParams = headerParameters(header);
    if (headerParams.empty()) {
        check.why = "no OAuth Authorization header: \"" + header + "\"";
        return check;
    }
    std::vector<std::pair<std::string, std::string>> all;
    std::string signature;
    for (const auto& [name, value] : headerParams) {
        check.order.push_back(name);
        if (name == "realm") {
            check.realm = value;
            check.hasRealm = true;
            continue;
        }
        check.params[name] = value;
        if (name == "oauth_signature") signature = value;
        else all.emplace_back(name, value);
    }
    for (const char* required : {"oauth_consumer_key", "oauth_signature_method", "oauth_signature"})
        if (!check.params.count(required)) {
            check.why = std::string("missing ") + required;
            return check;
        }
    const std::string method = check.params["oauth_signature_method"];
    if (method != "PLAINTEXT" && (!check.params.count("oauth_timestamp") || !check.params.count("oauth_nonce"))) {
        check.why = "missing timestamp or nonce";
        return check;
    }
    if (check.params.count("oauth_version") && check.params["oauth_version"] != "1.0") {
        check.why = "oauth_version is not 1.0";
        return check;
    }
    // The query, and a form body (only when it is form-encoded).
    addPairs(request.query, true, all);
    if (lower(request.header("Content-Type")).rfind("application/x-www-form-urlencoded", 0) == 0)
        addPairs(request.body, true, all);
    // Sorted by encoded name, then by encoded value (byte order).
    std::vector<std::pair<std::string, std::string>> sorted;
    for (const auto& [name, value] : all) sorted.emplace_back(encode(name), encode(value));
    std::sort(sorted.begin(), sorted.end());
    std::string normalized;
    for (const auto& [name, value] : sorted) {
        if (!normalized.empty()) normalized += '&';
        normalized.append(name).append("=").append(value);
    }
    // The base URI: lower-case scheme and host, the port only when not the default.
    std::string host = lower(request.header("Host"));
    const std::string defaultPort = scheme == "https" ? ":443" : ":80";
    if (host.size() > defaultPort.size() &&
        host.compare(host.size() - defaultPort.size(), defaultPort.size(), defaultPort) == 0)
        host.resize(host.size() - defaultPort.size());
    const std::string baseURI = lower(scheme) + "://" + host + request.path;
    std::string upperMethod = request.method;
    for (auto& c : upperMethod) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    check.baseString = upperMethod + "&" + encode(baseURI) + "&" + encode(normalized);
    const std::string key = encode(consumerSecret) + "&" + encode(tokenSecret);
    std::string expected;
    if (method == "HMAC-SHA1") expected = hmacSha1Base64(key, check.baseString);
    else if (method == "PLAINTEXT") expected = key;
    else {
        check.why = "unsupported signature method " + method;
        return check;
    }
    if (signature != expected) {
        check.why = "signature " + signature + " is not " + expected + " of " + check.baseString;
        return check;
    }
    check.valid = true;
    return check;
}

}  // namespace fakes
