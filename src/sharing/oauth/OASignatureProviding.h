#pragma once
// A way of signing an OAuth request: its name, as the request names it, and
// the signature of a text under a secret.
#include <string>

class OASignatureProviding {
public:
    virtual ~OASignatureProviding() = default;
    virtual std::string name() const = 0;
    virtual std::string signClearText(const std::string& text, const std::string& secret) const = 0;
};

// HMAC-SHA1 of the text with the secret as key, in base64 (28 characters).
class OAHMAC_SHA1SignatureProvider : public OASignatureProviding {
public:
    std::string name() const override { return "HMAC-SHA1"; }
    std::string signClearText(const std::string& text, const std::string& secret) const override;
};

// The secret itself, for requests that travel over TLS.
class OAPlaintextSignatureProvider : public OASignatureProviding {
public:
    std::string name() const override { return "PLAINTEXT"; }
    std::string signClearText(const std::string& text, const std::string& secret) const override;
};
