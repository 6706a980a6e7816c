#pragma once
// The JSON facade: one parser and one writer behind one object, with the
// forms that hand the outermost error to the caller; and the one-call
// conveniences that log the trace when they fail.
#include <optional>
#include <string>
#include <string_view>

#include "sharing/json/VXJsonBase.h"
#include "sharing/json/VXJsonParser.h"
#include "sharing/json/VXJsonValue.h"
#include "sharing/json/VXJsonWriter.h"

class VXJSON : public VXJsonBase, public VXJsonParserProtocol, public VXJsonWriterProtocol {
public:
    VXJSON();

    // Read from the parser; setting sets the parser's and the writer's.
    unsigned maxDepth() const override { return parser_.maxDepth(); }
    void setMaxDepth(unsigned maxDepth) override;

    void setHumanReadable(bool humanReadable) override { writer_.setHumanReadable(humanReadable); }
    bool humanReadable() const override { return writer_.humanReadable(); }
    void setSortKeys(bool sortKeys) override { writer_.setSortKeys(sortKeys); }
    bool sortKeys() const override { return writer_.sortKeys(); }

    // On failure the part's trace becomes this object's trace.
    std::optional<VXJsonValue> objectWithString(std::optional<std::string_view> text) override;
    std::optional<std::string> stringWithObject(const VXJsonValue& value) override;

    // The forms with an error place: on failure *error (when given) is the
    // last, outermost error of the trace. allowScalar takes any value rather
    // than only an array or an object.
    std::optional<VXJsonValue> objectWithString(std::optional<std::string_view> text, VXJsonErrorPtr* error);
    std::optional<VXJsonValue> fragmentWithString(std::optional<std::string_view> text, VXJsonErrorPtr* error);
    std::optional<VXJsonValue> objectWithString(std::optional<std::string_view> text, bool allowScalar,
                                                VXJsonErrorPtr* error);
    std::optional<std::string> stringWithObject(const VXJsonValue& value, VXJsonErrorPtr* error);
    std::optional<std::string> stringWithFragment(const VXJsonValue& value, VXJsonErrorPtr* error);
    std::optional<std::string> stringWithObject(const VXJsonValue& value, bool allowScalar, VXJsonErrorPtr* error);

private:
    void takeTrace(const VXJsonBase& part, VXJsonErrorPtr* error);

    VXJsonParser parser_;
    VXJsonWriter writer_;
};

// One-call conversions with a new parser or writer each; a failure gives
// nullopt and logs the error trace.
std::optional<std::string> JSONFragment(const VXJsonValue& value);
std::optional<std::string> JSONRepresentation(const VXJsonValue& value);
std::optional<VXJsonValue> JSONFragmentValue(std::string_view text);
std::optional<VXJsonValue> JSONValue(std::string_view text);
