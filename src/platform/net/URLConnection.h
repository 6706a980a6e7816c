#pragma once
// Loading a URL request over HTTP(S).
//
// Asynchronous: a connection runs on the loader's own thread (libcurl's multi
// interface) and reports to its delegate on the main run loop, in this
// order: didReceiveResponse (once per final answer; redirects are followed
// without a report unless the request says not to follow them), didReceiveData (zero or more times), then exactly one
// of didFinishLoading or didFailWithError. After cancel() nothing more is
// reported. A connection keeps its delegate alive until it ends or is
// cancelled, so a delegate nobody else owns still hears the outcome.
//
// TLS certificates and host names are always verified. A user name and
// password in the URL go out as Basic authentication (unless the request sets
// its own "Authorization"). Cookies of the shared CookieStorage are sent and
// stored when the request handles cookies.
//
// Redirects are followed hop by hop as redirectedRequest() says: to the
// same origin with everything, from http to https on the same host (default
// ports) with everything, to another origin only for a request that carries
// nothing of the user's and then with the harmless header fields alone,
// never from https to http. A followed redirect sends none of the first
// origin's cookies. A request that is refused fails with the reason: a
// redirect to an address that is not a web page (file:, data:, javascript:,
// about:...) is not followed. Location fields that all say the same (names
// compared in any case, values without the blanks around them) count as
// one; a redirect (301, 302, 303, 307, 308) whose Location fields differ
// fails the request (BadServerResponse), whether it would be followed here
// or by a caller that reads redirects itself; an answer of another status
// with differing ones is reported with them joined. One with an empty
// Location is reported as it came.
//
// A request fails (URLErrorCode::TimedOut) when it is not connected within
// its timeout interval, or when fewer than 256 bytes were sent and received
// over the last interval, whenever that is taken: a server that accepts and
// never answers, trickles, or sends a small burst now and then. The error
// says how many bytes came.
//
// An answer whose header is too long (one line over libcurl's 100 KB, or
// all of them together over 256 KB) fails the request (BadServerResponse)
// without more of it being kept.
//
// An answer body longer than MaximumResponseLength fails the request
// (URLErrorCode::DataLengthExceedsMaximum) as soon as it is announced or
// received, so memory stays bounded. A connection that ends before the
// announced length has arrived fails (NetworkConnectionLost).
//
// With the environment variable TOLVEK_LOOPBACK_ONLY set (as test runs set
// it), only 127.0.0.0/8 and ::1 are ever contacted: any other host fails
// with CannotConnectToHost before a name is looked up, redirects included.
#include <atomic>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "platform/base/Value.h"
#include "platform/net/Error.h"
#include "platform/net/URLRequest.h"
#include "platform/net/URLResponse.h"

namespace net {

// The longest answer body accepted: the services answer in kilobytes and
// pages are far smaller; anything longer is refused rather than kept.
inline constexpr std::size_t MaximumResponseLength = 4 * 1024 * 1024;

class URLConnection;

class URLConnectionDelegate {
public:
    virtual ~URLConnectionDelegate() = default;
    virtual void didReceiveResponse(URLConnection& connection, const URLResponse& response) {
        (void)connection, (void)response;
    }
    virtual void didReceiveData(URLConnection& connection, const base::Data& data) { (void)connection, (void)data; }
    virtual void didFinishLoading(URLConnection& connection) { (void)connection; }
    virtual void didFailWithError(URLConnection& connection, const Error& error) { (void)connection, (void)error; }
};

// The outcome of a synchronous send.
struct SynchronousResult {
    std::optional<URLResponse> response;  // none when no answer arrived
    std::optional<Error> error;           // none on success
    base::Data data;                      // the body received
};

class URLConnection : public std::enable_shared_from_this<URLConnection> {
public:
    // Whether a connection can be made for the request at all (an http or
    // https URL with a host).
    static bool canHandleRequest(const URLRequest& request);

    // Creates a connection and starts it at once. Null when the request
    // cannot be handled (the delegate hears nothing then).
    static std::shared_ptr<URLConnection> connectionWithRequest(const URLRequest& request,
                                                                std::shared_ptr<URLConnectionDelegate> delegate);
    // The same, starting only when startImmediately is true (else start()).
    static std::shared_ptr<URLConnection> create(const URLRequest& request,
                                                 std::shared_ptr<URLConnectionDelegate> delegate,
                                                 bool startImmediately = true);

    // Starts loading; a second call does nothing.
    void start();
    // Stops loading; the delegate is released and hears nothing more. Call
    // on the main thread.
    void cancel();

    const URLRequest& originalRequest() const { return request_; }
    bool isFinished() const { return finished_; }

    // Sends the request on the calling thread and waits for the whole answer
    // (for worker threads; never call it on the main thread of a window).
    static SynchronousResult sendSynchronousRequest(const URLRequest& request);

    URLConnection(const URLRequest& request, std::shared_ptr<URLConnectionDelegate> delegate);
    ~URLConnection();
    URLConnection(const URLConnection&) = delete;
    URLConnection& operator=(const URLConnection&) = delete;

    struct Transfer;  // the loader's state of one running transfer

private:
    friend class Loader;
    // Called on the main thread by the loader.
    void deliverResponse(const URLResponse& response);
    void deliverData(const base::Data& data);
    void deliverFinish();
    void deliverFailure(const Error& error);

    URLRequest request_;
    std::weak_ptr<URLConnectionDelegate> delegate_;
    std::shared_ptr<URLConnectionDelegate> keepAlive_;  // until finished or cancelled
    std::atomic<bool> cancelled_{false};
    bool started_ = false;
    bool finished_ = false;
};

// A redirect the loader refuses instead of following: from an https answer
// to a plain http address (the request then fails with
// URLErrorCode::SecureConnectionFailed). Requests whose header fields hold a
// line break are refused too, before anything is sent.
bool isInsecureRedirect(const URL& from, const std::string& location);

// Whether the request carries sign-in details or a body that must not go
// to another origin: a body, a user name or password in the URL, or a
// header field that holds credentials (Authorization, Cookie, or a name
// with "authorization", "token", "password" or "secret" in it).
bool carriesCredentials(const URLRequest& request);

// The request a redirect answer (status, Location) to request sends next,
// or the error it fails with. 301 and 302 turn a POST into a GET and 303
// any method but HEAD, dropping the body and the header fields that describe
// it (Content-Length, Content-Type...). To the same origin, or from http to
// https on the same host and default ports, the rest goes on with the user
// name and password of the URL. To another origin a request that carries
// credentials (see carriesCredentials) is refused
// (URLErrorCode::RedirectToOtherOriginRefused), and any other keeps only
// harmless header fields (Accept, Accept-Language, Cache-Control, Pragma,
// User-Agent). From https to http is refused (SecureConnectionFailed), and
// so is an address that is not http or https (UnsupportedURL).
std::variant<URLRequest, Error> redirectedRequest(const URLRequest& request, long status, const std::string& location);

// Whether location (absolute or relative to from) names another origin
// than from: another scheme, host or port. A location that cannot be read
// counts as another origin.
bool leavesOrigin(const URL& from, const std::string& location);

// The error of a redirect to target, an address that is not http or https
// (a file, inline data, a script, a blank page): it is no web page, and it
// was not followed.
Error notWebRedirectError(const std::string& target);

}  // namespace net
