#pragma once
// Named exceptions ("CHTException", "NSInvalidArgumentException", ...) raised
// for programming errors, and the assertion handler that argument checks and
// store failures report to.
#include <exception>
#include <memory>
#include <string>

namespace base {

class Exception : public std::exception {
public:
    Exception(std::string name, std::string reason);
    const std::string& name() const { return name_; }
    const std::string& reason() const { return reason_; }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    std::string name_;
    std::string reason_;
    std::string what_;
};

// Throws Exception{name, reason}.
[[noreturn]] void raise(const std::string& name, const std::string& reason);

// Receives assertion failures. The default handler logs one line and throws
// Exception{"NSInternalInconsistencyException", description}; tests (and the
// application, for store failures) install their own.
class AssertionHandler {
public:
    virtual ~AssertionHandler() = default;
    // A failure inside an operation of a class: the method's name, the object
    // it was called on (may be null), the source file and line.
    virtual void handleFailureInMethod(const std::string& method, const void* object, const std::string& file, int line,
                                       const std::string& description);
    // A failure inside a plain function.
    virtual void handleFailureInFunction(const std::string& function, const std::string& file, int line,
                                         const std::string& description);

    // The handler in force (never null).
    static AssertionHandler& current();
    // Replaces the handler; nullptr restores the default. Returns the old one.
    static std::shared_ptr<AssertionHandler> setCurrent(std::shared_ptr<AssertionHandler> handler);
};

// Checks a condition as the charting code does: on failure reports
// "Invalid parameter not satisfying: <condition>" to the current handler.
#define BASE_PARAMETER_ASSERT(cond, method, file)                                                                \
    do {                                                                                                         \
        if (!(cond))                                                                                             \
            ::base::AssertionHandler::current().handleFailureInMethod(                                           \
                (method), nullptr, (file), __LINE__, std::string("Invalid parameter not satisfying: ") + #cond); \
    } while (0)

}  // namespace base
