#pragma once
// One call to the Facebook Graph or REST interface: the URL with its
// parameters (and, for POST, a multipart body), sent asynchronously on the
// main run loop; the answer is parsed as JSON, error answers become errors
// of the domain "facebookErrDomain", and the delegate hears the outcome.
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "platform/base/Value.h"
#include "platform/gfx/Image.h"
#include "platform/net/Error.h"
#include "platform/net/URLConnection.h"
#include "sharing/json/VXJsonValue.h"

class FBRequest;

inline constexpr const char* FBErrorDomain = "facebookErrDomain";
inline constexpr long FBGeneralErrorCode = 10000;
inline constexpr double FBRequestTimeoutInterval = 180.0;
inline constexpr const char* FBUserAgent = "FacebookConnect";
inline constexpr const char* FBStringBoundary = "3i2ndDfv2rTHiSisAbouNdArYfORhtTPEefj3q2f";

// A parameter value: a text, an image (sent as a PNG file part) or raw data.
using FBParamValue = std::variant<std::string, std::shared_ptr<gfx::Image>, base::Data>;

// The parameters of a call or a dialog, in the order they were set.
class FBParams {
public:
    using Item = std::pair<std::string, FBParamValue>;
    FBParams() = default;
    FBParams(std::initializer_list<std::pair<std::string, std::string>> texts);

    // Replaces the value of an existing key where it stands, or appends.
    void set(const std::string& key, FBParamValue value);
    bool remove(const std::string& key);
    bool contains(const std::string& key) const { return find(key) != nullptr; }
    const FBParamValue* find(const std::string& key) const;
    // The text value of key, or none (absent, or not a text).
    std::optional<std::string> text(const std::string& key) const;
    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    const std::vector<Item>& items() const { return items_; }
    std::vector<Item>::const_iterator begin() const { return items_.begin(); }
    std::vector<Item>::const_iterator end() const { return items_.end(); }

private:
    std::vector<Item> items_;
};

// What a call loaded: the parsed JSON, or the raw bytes when the answer was
// not JSON.
using FBResult = std::variant<VXJsonValue, base::Data>;

// Every operation is optional. didLoad and didFailWithError are only
// delivered when the delegate says it takes them (respondsTo...): a
// delegate that takes neither gets no parsing done for it.
class FBRequestDelegate {
public:
    virtual ~FBRequestDelegate() = default;
    virtual void requestLoading(FBRequest& request) { (void)request; }
    virtual void requestDidReceiveResponse(FBRequest& request, const net::URLResponse& response) {
        (void)request, (void)response;
    }
    virtual bool respondsToDidFailWithError() const { return false; }
    virtual void requestDidFailWithError(FBRequest& request, const net::Error& error) { (void)request, (void)error; }
    virtual bool respondsToDidLoad() const { return false; }
    virtual void requestDidLoad(FBRequest& request, const FBResult& result) { (void)request, (void)result; }
    virtual bool respondsToDidLoadRawResponse() const { return false; }
    virtual void requestDidLoadRawResponse(FBRequest& request, const base::Data& data) { (void)request, (void)data; }
};

class FBRequest : public net::URLConnectionDelegate, public std::enable_shared_from_this<FBRequest> {
public:
    // A new request with those values, no connection and no answer yet.
    static std::shared_ptr<FBRequest> getRequestWithParams(FBParams params, const std::string& httpMethod,
                                                           std::weak_ptr<FBRequestDelegate> delegate,
                                                           const std::string& url);

    // The URL with the parameters as its query (text values only; an image
    // or data value is left out, and logged for GET).
    static std::string serializeURL(const std::string& baseUrl, const FBParams& params,
                                    const std::string& httpMethod = "GET");

    std::shared_ptr<FBRequestDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<FBRequestDelegate> delegate) { delegate_ = std::move(delegate); }
    const std::string& url() const { return url_; }
    void setUrl(std::string url) { url_ = std::move(url); }
    const std::string& httpMethod() const { return httpMethod_; }
    void setHttpMethod(std::string method) { httpMethod_ = std::move(method); }
    const FBParams& params() const { return params_; }
    FBParams& params() { return params_; }
    const std::shared_ptr<net::URLConnection>& connection() const { return connection_; }
    const std::optional<base::Data>& responseText() const { return responseText_; }
    bool loading() const { return connection_ != nullptr; }
    // The HTTP request connect() sent, for tests to inspect.
    const std::optional<net::URLRequest>& sentRequestForTesting() const { return sentRequest_; }

    // Sends the call; the delegate hears requestLoading at once.
    void connect();
    // The multipart body of a POST.
    base::Data generatePostBody() const;
    // The answer's JSON, or none (see the source for the answer forms).
    std::optional<VXJsonValue> parseJsonResponse(const base::Data& data, std::optional<net::Error>* error) const;
    void handleResponseData(const base::Data& data);
    void failWithError(const net::Error& error);
    static void utfAppendBody(base::Data& body, const std::string& text);
    static net::Error formError(long code, const base::Dictionary& userInfo);

    // The connection's reports.
    void didReceiveResponse(net::URLConnection& connection, const net::URLResponse& response) override;
    void didReceiveData(net::URLConnection& connection, const base::Data& data) override;
    void didFinishLoading(net::URLConnection& connection) override;
    void didFailWithError(net::URLConnection& connection, const net::Error& error) override;

    FBRequest() = default;
    ~FBRequest() override;

private:
    std::weak_ptr<FBRequestDelegate> delegate_;
    std::string url_;
    std::string httpMethod_ = "GET";
    FBParams params_;
    std::shared_ptr<net::URLConnection> connection_;
    std::optional<base::Data> responseText_;
    std::optional<net::URLRequest> sentRequest_;
    long statusCode_ = 0;
};

// The property-list form of a JSON value (numbers become integers when
// whole, else reals).
base::Value FBValueFromJson(const VXJsonValue& value);
