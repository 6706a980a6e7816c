#include "platform/base/Exception.h"

#include <mutex>

#include "platform/base/Log.h"

namespace base {

Exception::Exception(std::string name, std::string reason)
    : name_(std::move(name)), reason_(std::move(reason)), what_(name_ + ": " + reason_) {}

void raise(const std::string& name, const std::string& reason) { throw Exception(name, reason); }

void AssertionHandler::handleFailureInMethod(const std::string& method, const void* object, const std::string& file,
                                             int line, const std::string& description) {
    (void)object;
    log("*** Assertion failure in " + method + ", " + file + ":" + std::to_string(line) + ": " + description);
    throw Exception("NSInternalInconsistencyException", description);
}

void AssertionHandler::handleFailureInFunction(const std::string& function, const std::string& file, int line,
                                               const std::string& description) {
    log("*** Assertion failure in " + function + "(), " + file + ":" + std::to_string(line) + ": " + description);
    throw Exception("NSInternalInconsistencyException", description);
}

namespace {
std::mutex& handlerMutex() {
    static std::mutex m;
    return m;
}
std::shared_ptr<AssertionHandler>& installedHandler() {
    static std::shared_ptr<AssertionHandler> h;
    return h;
}
AssertionHandler& defaultHandler() {
    static AssertionHandler h;
    return h;
}
}  // namespace

AssertionHandler& AssertionHandler::current() {
    std::lock_guard lock(handlerMutex());
    auto& h = installedHandler();
    return h ? *h : defaultHandler();
}

std::shared_ptr<AssertionHandler> AssertionHandler::setCurrent(std::shared_ptr<AssertionHandler> handler) {
    std::lock_guard lock(handlerMutex());
    auto old = std::move(installedHandler());
    installedHandler() = std::move(handler);
    return old;
}

}  // namespace base
