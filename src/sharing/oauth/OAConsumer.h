#pragma once
// The application's identity at an OAuth service: its key and secret.
#include <string>

class OAConsumer {
public:
    OAConsumer() = default;
    OAConsumer(std::string key, std::string secret) : key_(std::move(key)), secret_(std::move(secret)) {}

    const std::string& key() const { return key_; }
    void setKey(std::string key) { key_ = std::move(key); }
    const std::string& secret() const { return secret_; }
    void setSecret(std::string secret) { secret_ = std::move(secret); }

private:
    std::string key_;
    std::string secret_;
};
