#pragma once
// One asynchronous HTTP request of a sharer: a URL with an optional
// form-encoded body and header fields. When the answer is complete (or the
// connection failed) the request decides success from the status code and
// calls its delegate's finish action with itself, exactly once. The sharer
// keeps the request while it runs and drops it after the callback.
#include <concepts>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>

#include "platform/base/Value.h"
#include "platform/net/URLConnection.h"

class SHRRequest : public net::URLConnectionDelegate, public std::enable_shared_from_this<SHRRequest> {
public:
    // The finish action, called with the request while the delegate lives.
    using FinishedSelector = std::function<void(SHRRequest&)>;

    static constexpr double TimeoutInterval = 90.0;

    // Keeps the values; starts at once when autostart. params is the body,
    // already form-encoded; with none the request goes out as a GET without
    // a body, whatever method says.
    static std::shared_ptr<SHRRequest> requestWithURL(net::URL url, std::optional<std::string> params,
                                                      std::weak_ptr<void> delegate, FinishedSelector isFinishedSelector,
                                                      std::string method, bool autostart);
    // The same with a member function of the delegate's class as the finish
    // action ("&SHRTumblr::authFinished"); it is called only while the
    // delegate lives and when the delegate is of that class.
    template <class T, class C>
    requires std::derived_from<C, T> || std::derived_from<T, C>
    static std::shared_ptr<SHRRequest> requestWithURL(net::URL url, std::optional<std::string> params,
                                                      const std::shared_ptr<T>& delegate,
                                                      void (C::*isFinishedSelector)(SHRRequest&), std::string method,
                                                      bool autostart) {
        std::weak_ptr<T> weak = delegate;
        FinishedSelector action = [weak, isFinishedSelector](SHRRequest& request) {
            std::shared_ptr<C> target;
            if constexpr (std::derived_from<T, C>) target = weak.lock();
            else target = std::dynamic_pointer_cast<C>(weak.lock());
            if (target) ((*target).*isFinishedSelector)(request);
        };
        return requestWithURL(std::move(url), std::move(params), std::weak_ptr<void>(delegate), std::move(action),
                              std::move(method), autostart);
    }

    // Sends the request: a fresh, uncached request with a 90-second time-out,
    // the header fields when set, and for params the method and their UTF-8
    // bytes as the body. A request for a URL no connection can be made to
    // finishes unsuccessfully on the next turn of the main run loop.
    void start();
    // Stops every request still running for delegate (the share it belongs
    // to was cancelled): nothing more is sent or reported. Main thread.
    static void cancelRequestsFor(const std::weak_ptr<void>& delegate);

    // Given.
    const net::URL& url() const { return url_; }
    void setURL(net::URL url) { url_ = std::move(url); }
    const std::optional<std::string>& params() const { return params_; }
    void setParams(std::optional<std::string> params) { params_ = std::move(params); }
    const std::string& method() const { return method_; }
    void setMethod(std::string method) { method_ = std::move(method); }
    const std::optional<std::map<std::string, std::string>>& headerFields() const { return headerFields_; }
    void setHeaderFields(std::optional<std::map<std::string, std::string>> fields) {
        headerFields_ = std::move(fields);
    }
    const std::weak_ptr<void>& delegate() const { return delegate_; }
    void setDelegate(std::weak_ptr<void> delegate) { delegate_ = std::move(delegate); }
    const FinishedSelector& isFinishedSelector() const { return isFinishedSelector_; }
    void setIsFinishedSelector(FinishedSelector selector) { isFinishedSelector_ = std::move(selector); }

    // Produced.
    const std::shared_ptr<net::URLConnection>& connection() const { return connection_; }
    // The answer; none before it arrives and after a connection failure
    // (also one that broke off after the answer had begun: its status,
    // headers and partial body are dropped).
    const std::optional<net::URLResponse>& response() const { return response_; }
    const net::HeaderFields& headers() const { return headers_; }
    const base::Data& data() const { return data_; }
    // The body as text, decoded once as UTF-8 (a malformed sequence reads
    // as U+FFFD, so the rest of the answer stays readable).
    const std::string& getResult();
    // Status 200 or 201; false until finished and after a connection failure.
    bool success() const { return success_; }
    bool isFinished() const { return finished_; }

    SHRRequest(net::URL url, std::optional<std::string> params, std::weak_ptr<void> delegate,
               FinishedSelector isFinishedSelector, std::string method);

    // Connection reports.
    void didReceiveResponse(net::URLConnection& connection, const net::URLResponse& response) override;
    void didReceiveData(net::URLConnection& connection, const base::Data& data) override;
    void didFinishLoading(net::URLConnection& connection) override;
    void didFailWithError(net::URLConnection& connection, const net::Error& error) override;

private:
    void finish();

    net::URL url_;
    std::optional<std::string> params_;
    std::string method_;
    std::optional<std::map<std::string, std::string>> headerFields_;
    std::weak_ptr<void> delegate_;
    FinishedSelector isFinishedSelector_;

    std::shared_ptr<net::URLConnection> connection_;
    std::optional<net::URLResponse> response_;
    net::HeaderFields headers_;
    base::Data data_;
    std::optional<std::string> result_;
    bool success_ = false;
    bool finished_ = false;
};
