#include "sharing/oauth/OASignatureProviding.h"

#include "platform/base/Digest.h"
#include "sharing/oauth/OAEncoding.h"

std::string OAHMAC_SHA1SignatureProvider::signClearText(const std::string& text, const std::string& secret) const {
    const base::Data digest = base::hmacSha1(secret, text);
    char buffer[32];
    std::size_t length = sizeof buffer;
    if (!base64EncodeBytes(digest.data(), digest.size(), buffer, &length)) return {};
    return std::string(buffer, length);
}

std::string OAPlaintextSignatureProvider::signClearText(const std::string&, const std::string& secret) const {
    return secret;
}
