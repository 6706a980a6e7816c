#include "sharing/oauth/OAAsynchronousDataFetcher.h"

std::shared_ptr<OAAsynchronousDataFetcher> OAAsynchronousDataFetcher::asynchronousFetcherWithRequest(
    std::shared_ptr<OAMutableURLRequest> request, std::weak_ptr<void> delegate, FinishSelector didFinishSelector,
    FailSelector didFailSelector) {
    return std::make_shared<OAAsynchronousDataFetcher>(std::move(request), std::move(delegate),
                                                       std::move(didFinishSelector), std::move(didFailSelector));
}

OAAsynchronousDataFetcher::OAAsynchronousDataFetcher(std::shared_ptr<OAMutableURLRequest> request,
                                                     std::weak_ptr<void> delegate, FinishSelector didFinishSelector,
                                                     FailSelector didFailSelector)
    : request_(std::move(request)),
      delegate_(std::move(delegate)),
      didFinishSelector_(std::move(didFinishSelector)),
      didFailSelector_(std::move(didFailSelector)) {}

void OAAsynchronousDataFetcher::start() {
    if (!request_) {
        reportFailure(std::nullopt);
        return;
    }
    request_->prepare();
    responseData_.clear();
    connection_ = net::URLConnection::connectionWithRequest(*request_, shared_from_this());
    if (!connection_) reportFailure(std::nullopt);
}

void OAAsynchronousDataFetcher::cancel() {
    if (connection_) {
        connection_->cancel();
        connection_.reset();
    }
}

void OAAsynchronousDataFetcher::didReceiveResponse(net::URLConnection&, const net::URLResponse& response) {
    response_ = response;
    responseData_.clear();
}

void OAAsynchronousDataFetcher::didReceiveData(net::URLConnection&, const base::Data& data) {
    responseData_.insert(responseData_.end(), data.begin(), data.end());
}

void OAAsynchronousDataFetcher::didFinishLoading(net::URLConnection&) {
    auto self = shared_from_this();  // the delegate may drop its hold
    bool succeeded = response_ && OAServiceTicket::statusSucceeded(response_->statusCode());
    OAServiceTicket ticket(request_, response_, succeeded);
    if (didFinishSelector_ && delegate_.lock()) didFinishSelector_(ticket, responseData_);
}

void OAAsynchronousDataFetcher::didFailWithError(net::URLConnection&, const net::Error& error) {
    auto self = shared_from_this();
    reportFailure(error);
}

void OAAsynchronousDataFetcher::reportFailure(const std::optional<net::Error>& error) {
    OAServiceTicket ticket(request_, response_, false);
    if (didFailSelector_ && delegate_.lock()) didFailSelector_(ticket, error);
}
