#include "sharing/oauth/OAEncoding.h"

#include "platform/base/Digest.h"
#include "platform/net/PercentEncoding.h"

std::string URLEncodedString(std::string_view text) { return net::percentEncodeUnreserved(text); }

std::string URLDecodedString(std::string_view text) {
    std::optional<std::string> decoded = net::replacingPercentEscapes(text);
    return decoded ? *decoded : std::string(text);
}

std::string URLStringWithoutQuery(const net::URL& url) { return url.stringWithoutQuery(); }

bool base64EncodeBytes(const std::uint8_t* bytes, std::size_t length, char* out, std::size_t* outLength) {
    if (!outLength) return false;
    const std::size_t plain = 4 * ((length + 2) / 3);
    const std::size_t needed = plain + 2 * (plain / 72);
    if (*outLength < needed || (needed && !out)) return false;
    const std::string encoded = base::base64Encode(base::Data(bytes, bytes + length), false);
    std::size_t n = 0;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        out[n++] = encoded[i];
        if ((i + 1) % 72 == 0) {
            out[n++] = '\r';
            out[n++] = '\n';
        }
    }
    *outLength = n;
    return true;
}
