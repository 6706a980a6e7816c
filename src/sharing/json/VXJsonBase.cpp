#include "sharing/json/VXJsonBase.h"

#include "platform/base/Format.h"

VXJsonError::VXJsonError(int code, std::string description, std::shared_ptr<const VXJsonError> underlying)
    : code_(code), description_(std::move(description)), underlying_(std::move(underlying)) {}

VXJsonError::~VXJsonError() {
    // A trace of a deeply nested input holds one error per level; releasing
    // the chain link by link keeps the machine stack flat.
    std::shared_ptr<const VXJsonError> next = std::move(underlying_);
    while (next && next.use_count() == 1) {
        std::shared_ptr<const VXJsonError> after = std::move(next->underlying_);
        next = std::move(after);
    }
}

std::string VXJsonError::description() const {
    return base::format("Error Domain=%@ Code=%i \"%@\"", domain(), code_, description_);
}

std::string VXJsonErrorTraceDescription(const VXJsonErrorTrace& trace) {
    std::string text = "(";
    for (std::size_t i = 0; i < trace.size(); ++i) {
        text += i ? ",\n    " : "\n    ";
        text += trace[i]->description();
    }
    text += "\n)";
    return text;
}

VXJsonBase::~VXJsonBase() {
    // Newest first, so that each error is freed while the one before it is
    // still held by the trace.
    while (!errorTrace_.empty()) errorTrace_.pop_back();
}

void VXJsonBase::clearErrorTrace() {
    while (!errorTrace_.empty()) errorTrace_.pop_back();
    if (observer_) observer_();
}

void VXJsonBase::addErrorWithCode(int code, std::string description) {
    VXJsonErrorPtr underlying = errorTrace_.empty() ? nullptr : errorTrace_.back();
    errorTrace_.push_back(std::make_shared<const VXJsonError>(code, std::move(description), std::move(underlying)));
    if (observer_) observer_();
}

void VXJsonBase::setErrorTrace(VXJsonErrorTrace trace) {
    VXJsonErrorTrace old = std::move(errorTrace_);
    errorTrace_ = std::move(trace);
    while (!old.empty()) old.pop_back();
    if (observer_) observer_();
}
