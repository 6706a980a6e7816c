#include "sharing/core/SHRRequest.h"

#include <vector>

#include "platform/base/Format.h"
#include "platform/base/Log.h"
#include "platform/base/RunLoop.h"
#include "platform/base/UTF8.h"

std::shared_ptr<SHRRequest> SHRRequest::requestWithURL(net::URL url, std::optional<std::string> params,
                                                       std::weak_ptr<void> delegate,
                                                       FinishedSelector isFinishedSelector, std::string method,
                                                       bool autostart) {
    auto request = std::make_shared<SHRRequest>(std::move(url), std::move(params), std::move(delegate),
                                                std::move(isFinishedSelector), std::move(method));
    if (autostart) request->start();
    return request;
}

SHRRequest::SHRRequest(net::URL url, std::optional<std::string> params, std::weak_ptr<void> delegate,
                       FinishedSelector isFinishedSelector, std::string method)
    : url_(std::move(url)),
      params_(std::move(params)),
      method_(std::move(method)),
      delegate_(std::move(delegate)),
      isFinishedSelector_(std::move(isFinishedSelector)) {}

namespace {
// The requests started and not finished yet, for cancelRequestsFor.
std::vector<std::weak_ptr<SHRRequest>>& running() {
    static std::vector<std::weak_ptr<SHRRequest>> requests;
    return requests;
}
}  // namespace

void SHRRequest::cancelRequestsFor(const std::weak_ptr<void>& delegate) {
    auto requests = running();  // cancelling changes the list
    for (const auto& weak : requests) {
        auto request = weak.lock();
        if (!request || request->finished_ || request->delegate_.owner_before(delegate) ||
            delegate.owner_before(request->delegate_))
            continue;
        request->finished_ = true;
        if (request->connection_) request->connection_->cancel();
    }
    std::erase_if(running(), [](const std::weak_ptr<SHRRequest>& r) {
        auto request = r.lock();
        return !request || request->finished_;
    });
}

void SHRRequest::start() {
    data_.clear();
    net::URLRequest request(url_, net::CachePolicy::ReloadIgnoringLocalAndRemoteCacheData, TimeoutInterval);
    if (headerFields_) request.setAllHTTPHeaderFields(*headerFields_);
    if (params_) {
        if (!method_.empty()) request.setHTTPMethod(method_);
        request.setHTTPBody(std::string_view(*params_));
    }
    std::erase_if(running(), [](const std::weak_ptr<SHRRequest>& r) {
        auto request = r.lock();
        return !request || request->finished_;
    });
    running().push_back(weak_from_this());
    connection_ = net::URLConnection::connectionWithRequest(request, shared_from_this());
    if (!connection_) {
        // Nothing can carry this request: it ends as a failed one would.
        auto self = shared_from_this();
        base::RunLoop::main().performOnMainThread([self] { self->finish(); });
    }
}

const std::string& SHRRequest::getResult() {
    if (!result_)
        result_ = base::validUTF8(std::string_view(reinterpret_cast<const char*>(data_.data()), data_.size()));
    return *result_;
}

void SHRRequest::didReceiveResponse(net::URLConnection&, const net::URLResponse& response) {
    response_ = response;
    headers_ = response.allHeaderFields();
    data_.clear();
}

void SHRRequest::didReceiveData(net::URLConnection&, const base::Data& data) {
    data_.insert(data_.end(), data.begin(), data.end());
}

void SHRRequest::didFinishLoading(net::URLConnection&) { finish(); }

void SHRRequest::didFailWithError(net::URLConnection&, const net::Error& error) {
    // A connection that broke off (cut short, refused redirect, answer too
    // large) leaves no answer to go by, even when one had begun: the
    // request ends as one that got no answer at all.
    base::log(base::format("%@ failed: %@", url_.stringWithoutCredentials(), error.description()));
    response_.reset();
    headers_.clear();
    data_.clear();
    finish();
}

void SHRRequest::finish() {
    if (finished_) return;
    finished_ = true;
    success_ = response_ && (response_->statusCode() == 200 || response_->statusCode() == 201);
    result_.reset();
    if (!isFinishedSelector_) return;
    // A delegate that is gone (or never was) hears nothing.
    auto delegate = delegate_.lock();
    if (!delegate) return;
    auto self = shared_from_this();  // the callback may drop the sharer's hold
    isFinishedSelector_(*this);
}
