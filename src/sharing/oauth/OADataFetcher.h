#pragma once
// The synchronous twin of OAAsynchronousDataFetcher, for worker threads:
// prepares the request, sends it and waits, then calls the finish action
// (an answer without error; the ticket succeeded when the status is below
// 400) or the fail action (no answer, with the error), on the calling thread.
#include <memory>
#include <optional>

#include "platform/base/Value.h"
#include "platform/net/Error.h"
#include "platform/net/URLResponse.h"
#include "sharing/oauth/OAAsynchronousDataFetcher.h"

class OADataFetcher {
public:
    void fetchDataWithRequest(std::shared_ptr<OAMutableURLRequest> request,
                              const OAAsynchronousDataFetcher::FinishSelector& didFinishSelector,
                              const OAAsynchronousDataFetcher::FailSelector& didFailSelector);

    const std::shared_ptr<OAMutableURLRequest>& request() const { return request_; }
    const std::optional<net::URLResponse>& response() const { return response_; }
    const std::optional<net::Error>& error() const { return error_; }
    const base::Data& responseData() const { return responseData_; }

private:
    std::shared_ptr<OAMutableURLRequest> request_;
    std::optional<net::URLResponse> response_;
    std::optional<net::Error> error_;
    base::Data responseData_;
};
