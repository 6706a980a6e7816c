#pragma once
// Signs (prepares) an OAuth request, sends it on the main run loop and tells
// its delegate the outcome: the finish action with a ticket and the body for
// every answer (the ticket succeeded when the status is below 400), the fail
// action with a ticket and the error when the connection failed, or at once
// without an error when no connection could be made. The delegate is not
// owned; a delegate that is gone hears nothing. A running fetcher keeps
// itself alive until it has reported, so the caller need not hold it.
#include <concepts>
#include <functional>
#include <memory>
#include <optional>

#include "platform/base/Value.h"
#include "platform/net/URLConnection.h"
#include "sharing/oauth/OAMutableURLRequest.h"
#include "sharing/oauth/OAServiceTicket.h"

class OAAsynchronousDataFetcher : public net::URLConnectionDelegate,
                                  public std::enable_shared_from_this<OAAsynchronousDataFetcher> {
public:
    using FinishSelector = std::function<void(const OAServiceTicket& ticket, const base::Data& data)>;
    using FailSelector = std::function<void(const OAServiceTicket& ticket, const std::optional<net::Error>& error)>;

    static std::shared_ptr<OAAsynchronousDataFetcher> asynchronousFetcherWithRequest(
        std::shared_ptr<OAMutableURLRequest> request, std::weak_ptr<void> delegate, FinishSelector didFinishSelector,
        FailSelector didFailSelector);

    // The same with member functions of the delegate's class (either may be
    // null); they are called while the delegate lives and is of that class.
    template <class T, class C>
    requires std::derived_from<C, T> || std::derived_from<T, C>
    static std::shared_ptr<OAAsynchronousDataFetcher> asynchronousFetcherWithRequest(
        std::shared_ptr<OAMutableURLRequest> request, const std::shared_ptr<T>& delegate,
        void (C::*didFinishSelector)(const OAServiceTicket&, const base::Data&),
        void (C::*didFailSelector)(const OAServiceTicket&, const std::optional<net::Error>&)) {
        std::weak_ptr<T> weak = delegate;
        auto target = [weak]() -> std::shared_ptr<C> {
            if constexpr (std::derived_from<T, C>) return weak.lock();
            else return std::dynamic_pointer_cast<C>(weak.lock());
        };
        FinishSelector finish;
        if (didFinishSelector)
            finish = [target, didFinishSelector](const OAServiceTicket& t, const base::Data& d) {
                if (auto c = target()) ((*c).*didFinishSelector)(t, d);
            };
        FailSelector fail;
        if (didFailSelector)
            fail = [target, didFailSelector](const OAServiceTicket& t, const std::optional<net::Error>& e) {
                if (auto c = target()) ((*c).*didFailSelector)(t, e);
            };
        return asynchronousFetcherWithRequest(std::move(request), std::weak_ptr<void>(delegate), std::move(finish),
                                              std::move(fail));
    }

    OAAsynchronousDataFetcher(std::shared_ptr<OAMutableURLRequest> request, std::weak_ptr<void> delegate,
                              FinishSelector didFinishSelector, FailSelector didFailSelector);

    // Prepares the request and opens the connection.
    void start();
    // Stops the connection; nothing is reported after it.
    void cancel();

    const std::shared_ptr<OAMutableURLRequest>& request() const { return request_; }
    const std::optional<net::URLResponse>& response() const { return response_; }
    const std::shared_ptr<net::URLConnection>& connection() const { return connection_; }
    const base::Data& responseData() const { return responseData_; }

    void didReceiveResponse(net::URLConnection& connection, const net::URLResponse& response) override;
    void didReceiveData(net::URLConnection& connection, const base::Data& data) override;
    void didFinishLoading(net::URLConnection& connection) override;
    void didFailWithError(net::URLConnection& connection, const net::Error& error) override;

private:
    void reportFailure(const std::optional<net::Error>& error);

    std::shared_ptr<OAMutableURLRequest> request_;
    std::optional<net::URLResponse> response_;
    std::shared_ptr<net::URLConnection> connection_;
    base::Data responseData_;
    std::weak_ptr<void> delegate_;
    FinishSelector didFinishSelector_;
    FailSelector didFailSelector_;
};
