#include "sharing/oauth/OADataFetcher.h"

#include "platform/net/URLConnection.h"

void OADataFetcher::fetchDataWithRequest(std::shared_ptr<OAMutableURLRequest> request,
                                         const OAAsynchronousDataFetcher::FinishSelector& didFinishSelector,
                                         const OAAsynchronousDataFetcher::FailSelector& didFailSelector) {
    request_ = std::move(request);
    response_.reset();
    error_.reset();
    responseData_.clear();
    if (!request_) {
        if (didFailSelector) didFailSelector(OAServiceTicket(nullptr, std::nullopt, false), std::nullopt);
        return;
    }
    request_->prepare();
    net::SynchronousResult result = net::URLConnection::sendSynchronousRequest(*request_);
    response_ = result.response;
    error_ = result.error;
    responseData_ = std::move(result.data);
    if (response_ && !error_) {
        OAServiceTicket ticket(request_, response_, OAServiceTicket::statusSucceeded(response_->statusCode()));
        if (didFinishSelector) didFinishSelector(ticket, responseData_);
    } else {
        OAServiceTicket ticket(request_, response_, false);
        if (didFailSelector) didFailSelector(ticket, error_);
    }
}
