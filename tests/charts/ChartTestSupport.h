#pragma once
// Helpers shared by the chart tests: an assertion handler that records the
// failures it is given (and throws, as the default one does), installed for
// the scope of a test.
#include <memory>
#include <string>
#include <vector>

#include "platform/base/Decimal.h"
#include "platform/base/Exception.h"

namespace charttest {

struct Failure {
    std::string method;
    std::string file;
    std::string description;
};

class RecordingAssertionHandler : public base::AssertionHandler {
public:
    explicit RecordingAssertionHandler(bool throws) : throws_(throws) {}
    void handleFailureInMethod(const std::string& method, const void*, const std::string& file, int,
                               const std::string& description) override {
        failures.push_back({method, file, description});
        if (throws_) throw base::Exception("NSInternalInconsistencyException", description);
    }
    void handleFailureInFunction(const std::string& function, const std::string& file, int,
                                 const std::string& description) override {
        failures.push_back({function, file, description});
        if (throws_) throw base::Exception("NSInternalInconsistencyException", description);
    }
    std::vector<Failure> failures;

private:
    bool throws_;
};

// Installs a recording handler for its lifetime.
class ScopedAssertionRecorder {
public:
    explicit ScopedAssertionRecorder(bool throws = true)
        : handler_(std::make_shared<RecordingAssertionHandler>(throws)),
          previous_(base::AssertionHandler::setCurrent(handler_)) {}
    ~ScopedAssertionRecorder() { base::AssertionHandler::setCurrent(previous_); }
    const std::vector<Failure>& failures() const { return handler_->failures; }

private:
    std::shared_ptr<RecordingAssertionHandler> handler_;
    std::shared_ptr<base::AssertionHandler> previous_;
};

inline base::Decimal D(const char* text) { return base::Decimal::fromString(text); }

}  // namespace charttest
