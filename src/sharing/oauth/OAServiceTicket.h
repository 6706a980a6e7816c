#pragma once
// What a fetcher hands its delegate about one signed request: the request,
// the answer (none when no answer came) and whether it counts as a success
// (see `statusSucceeded`). Fetchers hand the body separately.
#include <memory>
#include <optional>
#include <string>

#include "platform/base/Value.h"
#include "platform/net/URLResponse.h"
#include "sharing/oauth/OAMutableURLRequest.h"

class OAServiceTicket {
public:
    // Whether an answer of this status counts as a success: a status below
    // 400, except a redirect. The network layer follows the redirects it
    // may, so one that reaches a fetcher went nowhere (an empty or refused
    // address) and the service did not take the request.
    static bool statusSucceeded(int status) { return status < 300; }

    OAServiceTicket(std::shared_ptr<OAMutableURLRequest> request, std::optional<net::URLResponse> response,
                    bool didSucceed, std::optional<base::Data> data = std::nullopt)
        : request_(std::move(request)),
          response_(std::move(response)),
          data_(std::move(data)),
          didSucceed_(didSucceed) {}

    const std::shared_ptr<OAMutableURLRequest>& request() const { return request_; }
    const std::optional<net::URLResponse>& response() const { return response_; }
    const std::optional<base::Data>& data() const { return data_; }
    bool didSucceed() const { return didSucceed_; }
    // The data as UTF-8 text, or none when the ticket carries no data.
    std::optional<std::string> body() const {
        if (!data_) return std::nullopt;
        return std::string(data_->begin(), data_->end());
    }

private:
    std::shared_ptr<OAMutableURLRequest> request_;
    std::optional<net::URLResponse> response_;
    std::optional<base::Data> data_;
    bool didSucceed_;
};
