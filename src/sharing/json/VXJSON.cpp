#include "sharing/json/VXJSON.h"

#include "platform/base/Format.h"
#include "platform/base/Log.h"

VXJSON::VXJSON() { setMaxDepth(defaultMaxDepth); }

void VXJSON::setMaxDepth(unsigned maxDepth) {
    VXJsonBase::setMaxDepth(maxDepth);
    parser_.setMaxDepth(maxDepth);
    writer_.setMaxDepth(maxDepth);
}

void VXJSON::takeTrace(const VXJsonBase& part, VXJsonErrorPtr* error) {
    VXJsonErrorTrace trace = part.errorTrace();
    if (error && !trace.empty()) *error = trace.back();
    setErrorTrace(std::move(trace));
}

std::optional<VXJsonValue> VXJSON::objectWithString(std::optional<std::string_view> text) {
    std::optional<VXJsonValue> value = parser_.objectWithString(text);
    if (!value) takeTrace(parser_, nullptr);
    return value;
}

std::optional<std::string> VXJSON::stringWithObject(const VXJsonValue& value) {
    std::optional<std::string> text = writer_.stringWithObject(value);
    if (!text) takeTrace(writer_, nullptr);
    return text;
}

std::optional<VXJsonValue> VXJSON::objectWithString(std::optional<std::string_view> text, VXJsonErrorPtr* error) {
    return objectWithString(text, false, error);
}

std::optional<VXJsonValue> VXJSON::fragmentWithString(std::optional<std::string_view> text, VXJsonErrorPtr* error) {
    return objectWithString(text, true, error);
}

std::optional<VXJsonValue> VXJSON::objectWithString(std::optional<std::string_view> text, bool allowScalar,
                                                    VXJsonErrorPtr* error) {
    std::optional<VXJsonValue> value = allowScalar ? parser_.fragmentWithString(text) : parser_.objectWithString(text);
    if (!value) takeTrace(parser_, error);
    return value;
}

std::optional<std::string> VXJSON::stringWithObject(const VXJsonValue& value, VXJsonErrorPtr* error) {
    return stringWithObject(value, false, error);
}

std::optional<std::string> VXJSON::stringWithFragment(const VXJsonValue& value, VXJsonErrorPtr* error) {
    return stringWithObject(value, true, error);
}

std::optional<std::string> VXJSON::stringWithObject(const VXJsonValue& value, bool allowScalar, VXJsonErrorPtr* error) {
    std::optional<std::string> text = allowScalar ? writer_.stringWithFragment(value) : writer_.stringWithObject(value);
    if (!text) takeTrace(writer_, error);
    return text;
}

std::optional<std::string> JSONFragment(const VXJsonValue& value) {
    VXJsonWriter writer;
    std::optional<std::string> text = writer.stringWithFragment(value);
    if (!text)
        base::log(
            base::format("-JSONFragment failed. Error trace is: %@", VXJsonErrorTraceDescription(writer.errorTrace())));
    return text;
}

std::optional<std::string> JSONRepresentation(const VXJsonValue& value) {
    VXJsonWriter writer;
    std::optional<std::string> text = writer.stringWithObject(value);
    if (!text)
        base::log(base::format("-JSONRepresentation failed. Error trace is: %@",
                               VXJsonErrorTraceDescription(writer.errorTrace())));
    return text;
}

std::optional<VXJsonValue> JSONFragmentValue(std::string_view text) {
    VXJsonParser parser;
    std::optional<VXJsonValue> value = parser.fragmentWithString(text);
    if (!value)
        base::log(base::format("-JSONFragmentValue failed. Error trace is: %@",
                               VXJsonErrorTraceDescription(parser.errorTrace())));
    return value;
}

std::optional<VXJsonValue> JSONValue(std::string_view text) {
    VXJsonParser parser;
    std::optional<VXJsonValue> value = parser.objectWithString(text);
    if (!value)
        base::log(
            base::format("-JSONValue failed. Error trace is: %@", VXJsonErrorTraceDescription(parser.errorTrace())));
    return value;
}
