#pragma once
// What the JSON parser and writer share: the nesting limit, the nesting
// level while they work, and the trace of errors of the last call.
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The error codes of the trace.
enum class VXJsonErrorCode : int {
    Unsupported = 1,       // a value or key the writer cannot write
    BadNumber = 2,         // a malformed number
    Parse = 3,             // an unexpected character or token
    Fragment = 4,          // a scalar where an array or object was wanted
    ControlCharacter = 5,  // an unescaped control character in a string
    Unicode = 6,           // a malformed \u escape or invalid UTF-8
    Depth = 7,             // nested deeper than maxDepth
    Escape = 8,            // an unknown backslash escape
    TrailingComma = 9,     // a comma right before "]" or "}"
    TrailingGarbage = 10,  // text after a complete value
    EndOfInput = 11,       // the text ended too early
    NoInput = 12,          // no text at all
};

// One error of the trace. Each error points to the error added before it
// (its underlying error), so the last error of a trace leads back through
// the whole chain.
class VXJsonError {
public:
    static constexpr const char* errorDomain = "VXJsonErrorDomain";

    VXJsonError(int code, std::string description, std::shared_ptr<const VXJsonError> underlying);
    ~VXJsonError();  // unlinks long chains without recursion
    VXJsonError(const VXJsonError&) = delete;
    VXJsonError& operator=(const VXJsonError&) = delete;

    std::string domain() const { return errorDomain; }
    int code() const { return code_; }
    const std::string& localizedDescription() const { return description_; }
    const std::shared_ptr<const VXJsonError>& underlyingError() const { return underlying_; }
    std::string description() const;

private:
    int code_;
    std::string description_;
    mutable std::shared_ptr<const VXJsonError> underlying_;
};

using VXJsonErrorPtr = std::shared_ptr<const VXJsonError>;
using VXJsonErrorTrace = std::vector<VXJsonErrorPtr>;

// The trace as one text for logs: each error on a line of its own, oldest
// first.
std::string VXJsonErrorTraceDescription(const VXJsonErrorTrace& trace);

class VXJsonBase {
public:
    static constexpr unsigned defaultMaxDepth = 512;

    VXJsonBase() = default;
    virtual ~VXJsonBase();
    VXJsonBase(const VXJsonBase&) = delete;
    VXJsonBase& operator=(const VXJsonBase&) = delete;

    // The deepest nesting of arrays and objects accepted; 0 switches the
    // limit off.
    virtual unsigned maxDepth() const { return maxDepth_; }
    virtual void setMaxDepth(unsigned maxDepth) { maxDepth_ = maxDepth; }
    // The nesting level reached while parsing or writing.
    unsigned depth() const { return depth_; }

    // The errors of the last failed call, oldest (innermost) first; a copy.
    VXJsonErrorTrace errorTrace() const { return errorTrace_; }
    void clearErrorTrace();
    // Appends an error whose underlying error is the last one of the trace.
    void addErrorWithCode(int code, std::string description);
    void addErrorWithCode(VXJsonErrorCode code, std::string description) {
        addErrorWithCode(static_cast<int>(code), std::move(description));
    }

    // Called after every change of the trace (each added error and each
    // clearing).
    void setErrorTraceObserver(std::function<void()> observer) { observer_ = std::move(observer); }

protected:
    // Replaces the trace (the facade takes over the trace of its parts).
    void setErrorTrace(VXJsonErrorTrace trace);

    unsigned depth_ = 0;

private:
    unsigned maxDepth_ = defaultMaxDepth;
    VXJsonErrorTrace errorTrace_;
    std::function<void()> observer_;
};
