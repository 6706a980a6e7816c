#pragma once
// The JSON writer: VXJsonValue in, JSON text out, compact or human readable
// (a line per element, two blanks of indentation per level), with object
// keys in their own order or sorted. Nesting is tracked on a heap stack of
// its own, so deep values never exhaust the machine stack.
#include <optional>
#include <string>

#include "sharing/json/VXJsonBase.h"
#include "sharing/json/VXJsonValue.h"

// What a writer offers its users.
class VXJsonWriterProtocol {
public:
    virtual ~VXJsonWriterProtocol() = default;
    virtual void setHumanReadable(bool humanReadable) = 0;
    virtual bool humanReadable() const = 0;
    virtual void setSortKeys(bool sortKeys) = 0;
    virtual bool sortKeys() const = 0;
    // The text of an array or an object (or of an application object whose
    // proxy is one); nullopt on failure, with the reasons in the trace.
    virtual std::optional<std::string> stringWithObject(const VXJsonValue& value) = 0;
};

class VXJsonWriter : public VXJsonBase, public VXJsonWriterProtocol {
public:
    void setHumanReadable(bool humanReadable) override { humanReadable_ = humanReadable; }
    bool humanReadable() const override { return humanReadable_; }
    void setSortKeys(bool sortKeys) override { sortKeys_ = sortKeys; }
    bool sortKeys() const override { return sortKeys_; }

    // The text of any value, a bare scalar too. Refuses (error 1) a number
    // that is not finite and an application object without a proxy.
    std::optional<std::string> stringWithFragment(const VXJsonValue& value);
    std::optional<std::string> stringWithObject(const VXJsonValue& value) override;

private:
    bool appendValue(const VXJsonValue& value, std::string& json);
    void appendIndent(std::string& json) const;
    static void prefetchContents(const VXJsonValue& v);

    bool humanReadable_ = false;
    bool sortKeys_ = false;
    std::size_t lastLength_ = 0;  // of the last text written
};
