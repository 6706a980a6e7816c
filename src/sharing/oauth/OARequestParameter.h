#pragma once
// One name and value of a request's query or form body.
#include <string>

class OARequestParameter {
public:
    OARequestParameter() = default;
    OARequestParameter(std::string name, std::string value) : name_(std::move(name)), value_(std::move(value)) {}

    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    const std::string& value() const { return value_; }
    void setValue(std::string value) { value_ = std::move(value); }

    // Name and value percent-escaped, and "name=value" of both.
    std::string URLEncodedName() const;
    std::string URLEncodedValue() const;
    std::string URLEncodedNameValuePair() const;

    bool operator==(const OARequestParameter& other) const { return name_ == other.name_ && value_ == other.value_; }

private:
    std::string name_;
    std::string value_;
};
