#include "platform/net/URLConnection.h"

#include <arpa/inet.h>
#include <curl/curl.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <functional>
#include <list>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/base/Digest.h"
#include "platform/base/Format.h"
#include "platform/base/Log.h"
#include "platform/base/RunLoop.h"
#include "platform/base/Strings.h"
#include "platform/net/CookieStorage.h"
#include "platform/net/CurlLibrary.h"
#include "platform/net/PercentEncoding.h"

namespace net {
namespace {

constexpr const char* kUserAgent = "Tolvek/0.1";
constexpr long kMaxRedirects = 16;

void globalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// A header line as curl hands it over still ends in CR LF.
std::string trim(std::string_view s) { return base::trim(s, " \t\r\n"); }

bool isRedirectStatus(long status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// Loopback addresses never go through a proxy, whatever the environment says.
std::string noProxyList() {
    std::string list = "localhost,127.0.0.1,::1";
    for (const char* name : {"no_proxy", "NO_PROXY"})
        if (const char* v = std::getenv(name); v && *v) {
            list += ",";
            list += v;
            break;
        }
    return list;
}

// With TOLVEK_LOOPBACK_ONLY set (test runs), nothing but the loopback
// interface is ever contacted: other hosts fail as unreachable before a
// name is looked up or a socket opened, redirects included.
bool loopbackOnly() {
    const char* v = std::getenv("TOLVEK_LOOPBACK_ONLY");
    return v && *v && std::string(v) != "0";
}

bool isLoopbackHost(const std::string& host) {
    return host == "localhost" || host == "[::1]" || host.rfind("127.", 0) == 0;
}

curl_socket_t openLoopbackSocket(void*, curlsocktype, curl_sockaddr* address) {
    bool loopback = false;
    if (address->family == AF_INET) {
        const auto* in = reinterpret_cast<const sockaddr_in*>(&address->addr);
        loopback = (ntohl(in->sin_addr.s_addr) >> 24) == 127;
    } else if (address->family == AF_INET6) {
        const auto* in6 = reinterpret_cast<const sockaddr_in6*>(&address->addr);
        loopback = IN6_IS_ADDR_LOOPBACK(&in6->sin6_addr);
    }
    if (!loopback) return CURL_SOCKET_BAD;
    return ::socket(address->family, address->socktype, address->protocol);
}

// An error of the URL loading system about the address failing: text is
// what the user reads, detail says more of what happened.
Error urlError(const std::string& failing, long code, std::string text, std::string detail) {
    base::Dictionary info;
    info.set("NSErrorFailingURLStringKey", failing);
    info.set("detail", std::move(detail));
    return Error(URLErrorDomain, code, std::move(text), std::move(info));
}

Error notLoopbackError(const URL& url) {
    return urlError(url.absoluteString(), URLErrorCode::CannotConnectToHost, "Could not connect to the server.",
                    "only loopback addresses may be reached");
}

// A transfer needs libcurl, opened by the first one: without it nothing can
// be sent, and every request fails with this error.
std::optional<Error> missingLibraryError(const URL& url) {
    std::string why;
    if (loadCurl(&why)) return std::nullopt;
    return urlError(url.absoluteString(), URLErrorCode::Unknown,
                    "Nothing can be sent over the network: the libcurl library is not installed.", why);
}

// A header name or value with a line break (or a NUL) would end its line
// early and add header lines of its own: such a request is refused.
std::optional<Error> headerFieldError(const URLRequest& request) {
    for (const auto& [name, value] : request.allHTTPHeaderFields()) {
        if (name.find_first_of(std::string("\r\n\0", 3)) == std::string::npos &&
            value.find_first_of(std::string("\r\n\0", 3)) == std::string::npos)
            continue;
        return urlError(request.url().absoluteString(), URLErrorCode::Unknown,
                        "A header field of the request holds a line break.",
                        "the header field " + name.substr(0, name.find_first_of("\r\n")) + " holds a line break");
    }
    return std::nullopt;
}

// Why a request is failed before anything is sent: a host off the loopback
// while only the loopback may be reached, a header field with a line break,
// or no libcurl to send with. Nothing when it may go.
std::optional<Error> refusalBeforeSending(const URLRequest& request) {
    if (loopbackOnly() && !isLoopbackHost(request.url().host())) return notLoopbackError(request.url());
    if (auto error = headerFieldError(request)) return error;
    return missingLibraryError(request.url());
}

Error downgradeError(const URL& url) {
    return urlError(url.absoluteString(), URLErrorCode::SecureConnectionFailed,
                    "The server redirected a secure request to an insecure address.",
                    "a redirect from https to http was refused");
}

Error crossOriginError(const URL& url) {
    return urlError(url.absoluteString(), URLErrorCode::RedirectToOtherOriginRefused,
                    "The server sent the request on to another site. It was not followed, because the request "
                    "carries your sign-in details.",
                    "a redirect of a request with sign-in details to another site was refused");
}

Error tooManyRedirectsError(const URL& url) {
    return urlError(url.absoluteString(), URLErrorCode::HTTPTooManyRedirects, "Too many HTTP redirects.",
                    "more than " + std::to_string(kMaxRedirects) + " redirects");
}

// The interval in words: "60 seconds", "1 second", "0.5 seconds".
std::string secondsText(double seconds) {
    std::string number = base::format("%g", seconds);
    return number + (number == "1" ? " second" : " seconds");
}

// "1 byte", "255 bytes".
std::string bytesText(long long count) { return std::to_string(count) + (count == 1 ? " byte" : " bytes"); }

// A transfer that moved too little over its last interval. The user hears
// what came from the server (what went out, the request's own body, is
// in the detail only): nothing, or how little.
Error stalledError(const URL& url, double interval, long long received, long long sent) {
    const std::string last = interval == 1 ? "the last second" : "the last " + secondsText(interval);
    const std::string text = received == 0
                                 ? "The server stopped answering: nothing came for " + secondsText(interval)
                                 : "The server answers too slowly: only " + bytesText(received) + " came in " + last;
    return urlError(url.absoluteString(), URLErrorCode::TimedOut, text + ", so the request was given up.",
                    bytesText(received) + " came and " + bytesText(sent) + " went out in " + last);
}

// An answer whose header is longer than the loader reads (one line, or all
// of them together).
Error headerTooLongError(const URL& url) {
    return urlError(url.absoluteString(), URLErrorCode::BadServerResponse,
                    "The server's answer was not read: its header is too long.", "the answer's header is too long");
}

// An answer with more than one Location field: which address it means
// cannot be told.
Error severalLocationsError(const URL& url) {
    return urlError(url.absoluteString(), URLErrorCode::BadServerResponse,
                    "The server's answer names more than one address to go on to, so it was not followed.",
                    "the answer holds more than one Location field");
}

Error tooLargeError(const URL& url) {
    return urlError(url.absoluteString(), URLErrorCode::DataLengthExceedsMaximum,
                    "The server's answer is too large (more than " + std::to_string(MaximumResponseLength >> 20) +
                        " MB) and was not accepted.",
                    "the answer is longer than " + std::to_string(MaximumResponseLength) + " bytes");
}

std::string lowercase(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The scheme, host and port of a URL text, with the default port filled in;
// none when curl cannot read it.
struct Origin {
    std::string scheme, host, port;
    bool operator==(const Origin&) const = default;
};

std::optional<Origin> originOf(CURLU* handle) {
    Origin o;
    for (auto [part, out] : {std::pair{CURLUPART_SCHEME, &o.scheme}, std::pair{CURLUPART_HOST, &o.host},
                             std::pair{CURLUPART_PORT, &o.port}}) {
        char* value = nullptr;
        if (curl_url_get(handle, part, &value, CURLU_DEFAULT_PORT) != CURLUE_OK || !value) return std::nullopt;
        *out = lowercase(value);
        curl_free(value);
    }
    return o;
}

// Reads location against the address already in handle. A location that is
// a fragment alone keeps the path and query, as RFC 3986 resolves it (curl
// would drop the last segment of the path).
CURLUcode setLocation(CURLU* handle, const std::string& location) {
    if (!location.empty() && location.front() == '#')
        return curl_url_set(handle, CURLUPART_FRAGMENT, location.size() > 1 ? location.c_str() + 1 : nullptr,
                            CURLU_URLENCODE);
    return curl_url_set(handle, CURLUPART_URL, location.c_str(), CURLU_NON_SUPPORT_SCHEME | CURLU_URLENCODE);
}

// The origin of location read against base (location may be relative).
std::optional<Origin> resolvedOrigin(const std::string& base, const std::string& location) {
    CURLU* handle = curl_url();
    if (!handle) return std::nullopt;
    std::optional<Origin> origin;
    if (curl_url_set(handle, CURLUPART_URL, base.c_str(), CURLU_NON_SUPPORT_SCHEME) == CURLUE_OK &&
        (location.empty() || setLocation(handle, location) == CURLUE_OK))
        origin = originOf(handle);
    curl_url_cleanup(handle);
    return origin;
}

// A site that moves from http to https on its default ports: it keeps what
// was sent to it over http.
bool isHttpsUpgrade(const Origin& from, const Origin& to) {
    return from.scheme == "http" && to.scheme == "https" && from.host == to.host && from.port == "80" &&
           to.port == "443";
}

Error errorForCode(CURLcode code, const char* detail, const URL& url) {
    long c = URLErrorCode::Unknown;
    std::string text = "An unknown error occurred.";
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        c = URLErrorCode::CannotFindHost;
        text = "A server with the specified hostname could not be found.";
        break;
    case CURLE_COULDNT_CONNECT:
        c = URLErrorCode::CannotConnectToHost;
        text = "Could not connect to the server.";
        break;
    case CURLE_OPERATION_TIMEDOUT:
        c = URLErrorCode::TimedOut;
        text = "The request timed out.";
        break;
    case CURLE_PEER_FAILED_VERIFICATION:
        c = URLErrorCode::ServerCertificateUntrusted;
        text = "The certificate for this server is invalid.";
        break;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
        c = URLErrorCode::SecureConnectionFailed;
        text = "An SSL error has occurred and a secure connection to the server cannot be made.";
        break;
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE:
        c = URLErrorCode::NetworkConnectionLost;
        text = "The network connection was lost.";
        break;
    case CURLE_TOO_MANY_REDIRECTS:
        c = URLErrorCode::HTTPTooManyRedirects;
        text = "Too many HTTP redirects.";
        break;
    case CURLE_URL_MALFORMAT:
        c = URLErrorCode::BadURL;
        text = "Bad URL.";
        break;
    case CURLE_UNSUPPORTED_PROTOCOL:
        c = URLErrorCode::UnsupportedURL;
        text = "Unsupported URL.";
        break;
    case CURLE_WEIRD_SERVER_REPLY:
        c = URLErrorCode::BadServerResponse;
        text = "The server returned a bad response.";
        break;
    case CURLE_BAD_CONTENT_ENCODING:
        c = URLErrorCode::CannotDecodeContentData;
        text = "The server's answer was compressed in a way that could not be undone, so it cannot be read.";
        break;
    default: break;
    }
    return urlError(url.absoluteString(), c, text, detail && *detail ? detail : curl_easy_strerror(code));
}

// The bytes a transfer moved over its last interval, from samples of its
// running totals taken as it goes. A sample that comes less than a 32nd of
// the interval after the one before the newest replaces the newest, so about
// 34 are kept whatever the pace; the count over the interval then errs by at
// most that much time, towards more bytes (never failing a transfer early).
class ProgressWindow {
public:
    using Clock = std::chrono::steady_clock;

    void start(Clock::time_point now, double interval) {
        interval_ = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(interval));
        spacing_ = interval_ / 32;
        samples_.assign(1, Sample{now, 0, 0});
    }

    void record(Clock::time_point now, curl_off_t received, curl_off_t sent) {
        if (samples_.size() >= 2 && now - samples_[samples_.size() - 2].at < spacing_)
            samples_.back() = Sample{now, received, sent};
        else samples_.push_back(Sample{now, received, sent});
        // The oldest sample kept is the last one at or before the interval's start.
        while (samples_.size() >= 2 && samples_[1].at <= now - interval_) samples_.pop_front();
    }

    // Whether a whole interval has passed since the start (before, too
    // little can have moved for it to mean anything).
    bool full(Clock::time_point now) const { return samples_.front().at <= now - interval_; }
    curl_off_t receivedInInterval() const { return samples_.back().received - samples_.front().received; }
    curl_off_t sentInInterval() const { return samples_.back().sent - samples_.front().sent; }

private:
    struct Sample {
        Clock::time_point at;
        curl_off_t received, sent;
    };
    std::deque<Sample> samples_;
    Clock::duration interval_{};
    Clock::duration spacing_{};
};

}  // namespace

Error notWebRedirectError(const std::string& target) {
    return urlError(target, URLErrorCode::UnsupportedURL,
                    "The server sent the request on to an address that is not a web page. It was not followed.",
                    "a redirect to an address that is not http or https was refused");
}

// One transfer: the easy handle with everything it points at, and the answer
// as it builds up. Lives on the loader thread (or the sending thread).
struct URLConnection::Transfer {
    std::shared_ptr<URLConnection> connection;  // null for a synchronous send
    URLRequest request;
    URL url;
    CURL* easy = nullptr;
    curl_slist* headerList = nullptr;
    char errorBuffer[CURL_ERROR_SIZE] = {};

    long status = 0;
    HeaderFields headers;
    std::vector<std::string> setCookies;
    bool inHeaders = false;
    bool responseDelivered = false;
    long redirects = 0;              // redirects followed before this hop
    bool storedCookies = true;       // false after a hop to another origin
    std::optional<URLRequest> next;  // the request a followed redirect sends next
    std::optional<Error> refusal;    // a redirect that was not followed
    bool tooLarge = false;           // the body passed MaximumResponseLength
    bool stalled = false;            // too little moved over a whole time-out interval
    double interval = URLRequest::DefaultTimeoutInterval;
    ProgressWindow progress;         // the bytes moved over the last interval
    curl_off_t stalledReceived = 0;  // what came over the interval that failed
    curl_off_t stalledSent = 0;      // and what went out
    // The values of the Location fields of the answer being read, each
    // without the blanks around it.
    std::vector<std::string> locations;
    std::size_t headerBytes = 0;  // header bytes of every answer of this hop
    bool headerTooLong = false;   // they passed kMaximumHeaderLength
    bool headerRead = false;      // the final answer's header has ended
    std::size_t bodyLength = 0;
    std::optional<URLResponse> response;
    base::Data data;  // synchronous sends only

    ~Transfer() {
        if (easy) curl_easy_cleanup(easy);
        if (headerList) curl_slist_free_all(headerList);
    }

    void setUp();
    void headersComplete();
    void deliverResponse();
    void deliverData(const char* bytes, std::size_t size);
    // Whether the transfer was ended on purpose (the header or write
    // callback refused to go on, or a redirect is to be followed).
    bool refused() const { return refusal || tooLarge || headerTooLong || next; }
    // The error a failed transfer reports. libcurl refuses a single header
    // line longer than its own buffer (100 KB) before handing it over, with
    // CURLE_OUT_OF_MEMORY and no text (CURLE_TOO_LARGE, 100, in later
    // versions): while the header is being read, that is what they mean.
    Error failure(CURLcode code) const {
        if (tooLarge || code == CURLE_FILESIZE_EXCEEDED) return tooLargeError(url);
        if (refusal) return *refusal;
        if (headerTooLong || (!headerRead && (code == CURLE_OUT_OF_MEMORY || static_cast<int>(code) == 100)))
            return headerTooLongError(url);
        if (stalled) return stalledError(url, interval, stalledReceived, stalledSent);
        return errorForCode(code, errorBuffer, url);
    }
    // The transfer of the request a followed redirect sends next; none when
    // this one was not redirected. On the loader thread or the sending one.
    std::unique_ptr<Transfer> followed() {
        if (!next) return nullptr;
        auto t = std::make_unique<Transfer>();
        t->connection = connection;
        // The cookie storage speaks for the first site and its move to https
        // only: a hop to another origin carries none of its cookies.
        const std::string fromText = request.url().stringWithoutCredentials();
        const auto origin = resolvedOrigin(fromText, "");
        const auto target = resolvedOrigin(fromText, next->url().stringWithoutCredentials());
        t->storedCookies =
            storedCookies && origin && target && (*origin == *target || isHttpsUpgrade(*origin, *target));
        t->request = std::move(*next);
        t->redirects = redirects + 1;
        next.reset();
        return t;
    }
};

namespace {

// The most header bytes read from one hop, all its answers together: far
// above what any service sends, and below libcurl's own bound (300 KB), so
// that this one speaks first whatever the version.
constexpr std::size_t kMaximumHeaderLength = 256 * 1024;

size_t headerCallback(char* buffer, size_t size, size_t count, void* user) {
    auto* t = static_cast<URLConnection::Transfer*>(user);
    std::size_t n = size * count;
    t->headerBytes += n;
    if (t->headerBytes > kMaximumHeaderLength) {
        t->headerTooLong = true;
        return 0;  // ends the transfer before more of it is kept
    }
    std::string line(buffer, n);
    if (line.rfind("HTTP/", 0) == 0) {
        // A new answer (after a redirect or an interim 1xx one) starts afresh.
        t->headers.clear();
        t->setCookies.clear();
        t->locations.clear();
        std::size_t sp = line.find(' ');
        t->status = sp == std::string::npos ? 0 : std::strtol(line.c_str() + sp + 1, nullptr, 10);
        t->inHeaders = true;
        return n;
    }
    std::string text = trim(line);
    if (text.empty()) {
        if (t->inHeaders) {
            t->inHeaders = false;
            t->headersComplete();
            if (t->refused()) return 0;  // ends the transfer
        }
        return n;
    }
    std::size_t colon = text.find(':');
    if (colon == std::string::npos) return n;
    std::string name = trim(text.substr(0, colon));
    std::string value = trim(text.substr(colon + 1));
    auto it = t->headers.find(name);
    if (it == t->headers.end()) t->headers.emplace(name, value);
    else it->second += ", " + value;
    const std::string lowerName = lowercase(name);
    if (lowerName == "set-cookie") t->setCookies.push_back(value);
    else if (lowerName == "location") t->locations.push_back(value);
    return n;
}

size_t writeCallback(char* buffer, size_t size, size_t count, void* user) {
    auto* t = static_cast<URLConnection::Transfer*>(user);
    std::size_t n = size * count;
    t->bodyLength += n;
    if (t->bodyLength > MaximumResponseLength) {
        t->tooLarge = true;
        return 0;  // ends the transfer before the excess is kept anywhere
    }
    if (!t->responseDelivered) t->deliverResponse();
    t->deliverData(buffer, n);
    return n;
}

// A transfer keeps going while at least this many bytes went out or came in
// over the last time-out interval, whenever that interval is taken: a server
// that trickles a byte now and then, or sends a burst once an interval, holds
// a request as surely as one that never answers.
constexpr curl_off_t kProgressBytes = 256;

int progressCallback(void* user, curl_off_t, curl_off_t downloaded, curl_off_t, curl_off_t uploaded) {
    auto* t = static_cast<URLConnection::Transfer*>(user);
    const auto now = std::chrono::steady_clock::now();
    t->progress.record(now, downloaded, uploaded);
    if (!t->progress.full(now)) return 0;
    const curl_off_t received = t->progress.receivedInInterval(), sent = t->progress.sentInInterval();
    if (received + sent >= kProgressBytes) return 0;
    t->stalled = true;
    t->stalledReceived = received;
    t->stalledSent = sent;
    return 1;  // ends the transfer
}

}  // namespace

void URLConnection::Transfer::setUp() {
    globalInit();
    easy = curl_easy_init();
    url = request.url();
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(easy, CURLOPT_URL, url.stringWithoutCredentials().c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    // Redirects are followed here, hop by hop (see redirectedRequest), never
    // by libcurl, which would send every header field on.
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    // An announced length over the bound fails before the body is read.
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(MaximumResponseLength));
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");
    // A proxy's own "200 Connection established" is not the server's answer.
    curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    std::string noProxy = noProxyList();
    curl_easy_setopt(easy, CURLOPT_NOPROXY, noProxy.c_str());
    if (loopbackOnly()) {
        curl_easy_setopt(easy, CURLOPT_PROXY, "");
        curl_easy_setopt(easy, CURLOPT_OPENSOCKETFUNCTION, openLoopbackSocket);
    }
    // The time-out is an idle limit: a request fails when it is not connected
    // within an interval, or when fewer than kProgressBytes were sent or
    // received over the last interval, whether the server is silent or trickles.
    interval = request.timeoutInterval() > 0 ? request.timeoutInterval() : URLRequest::DefaultTimeoutInterval;
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, std::max(1L, static_cast<long>(interval * 1000)));
    progress.start(std::chrono::steady_clock::now(), interval);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, progressCallback);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, headerCallback);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, writeCallback);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    if (request.cachePolicy() == CachePolicy::ReloadIgnoringLocalAndRemoteCacheData ||
        request.cachePolicy() == CachePolicy::ReloadIgnoringLocalCacheData) {
        // Nothing is cached locally; ask intermediaries not to answer from theirs.
        if (!request.valueForHTTPHeaderField("Cache-Control") &&
            request.cachePolicy() == CachePolicy::ReloadIgnoringLocalAndRemoteCacheData)
            request.setValue(std::string("no-cache"), "Cache-Control");
    }

    const std::string& method = request.httpMethod();
    const base::Data& body = request.httpBody();
    if (method == "HEAD") {
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    } else if (method == "GET" && body.empty()) {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    } else {
        if (method != "POST") curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, method.c_str());
        if (!body.empty() || method == "POST") {
            curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
            curl_easy_setopt(easy, CURLOPT_POSTFIELDS, body.empty() ? "" : reinterpret_cast<const char*>(body.data()));
        }
    }

    bool haveUserAgent = false, haveAuthorization = false, haveCookie = false;
    for (const auto& [name, value] : request.allHTTPHeaderFields()) {
        const std::string lowerName = lowercase(name);
        // The body's length is the transport's: it is the length of the body
        // sent, whatever the caller wrote.
        if (lowerName == "content-length") continue;
        haveUserAgent |= lowerName == "user-agent";
        haveAuthorization |= lowerName == "authorization";
        haveCookie |= lowerName == "cookie";
        std::string line = name;
        if (value.empty()) line += ';';
        else line.append(": ").append(value);
        headerList = curl_slist_append(headerList, line.c_str());
    }
    if (!haveUserAgent) headerList = curl_slist_append(headerList, (std::string("User-Agent: ") + kUserAgent).c_str());
    if (!haveAuthorization && (!url.user().empty() || !url.password().empty())) {
        std::string user = replacingPercentEscapes(url.user()).value_or(url.user());
        std::string password = replacingPercentEscapes(url.password()).value_or(url.password());
        headerList = curl_slist_append(headerList,
                                       ("Authorization: Basic " + base::base64Encode(user + ":" + password)).c_str());
    }
    if (!haveCookie && storedCookies && request.httpShouldHandleCookies()) {
        auto fields =
            Cookie::requestHeaderFieldsWithCookies(CookieStorage::sharedHTTPCookieStorage().cookiesForURL(url));
        for (const auto& [name, value] : fields)
            headerList = curl_slist_append(headerList, std::string(name).append(": ").append(value).c_str());
    }
    headerList = curl_slist_append(headerList, "Expect:");  // no 100-continue round trip
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headerList);
}

void URLConnection::Transfer::headersComplete() {
    if (status >= 100 && status < 200) return;  // an interim answer
    headerRead = true;
    char* effective = nullptr;
    curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &effective);
    URL answeredURL(effective ? std::string(effective) : url.absoluteString());
    if (request.httpShouldHandleCookies() && !setCookies.empty()) {
        std::vector<Cookie> cookies;
        for (const std::string& v : setCookies)
            if (auto c = Cookie::parseSetCookie(v, answeredURL)) cookies.push_back(*c);
        CookieStorage::sharedHTTPCookieStorage().setCookies(cookies);
    }
    // Location fields that all say the same name that one address. Fields
    // that differ name none: a redirect by them is refused (read as one,
    // "a, b", they would lead nowhere meant), whether it is followed here
    // or by the caller that reads redirects itself; the answer of any other
    // status is reported as it came.
    if (std::adjacent_find(locations.begin(), locations.end(), std::not_equal_to<>()) != locations.end()) {
        if (isRedirectStatus(status)) {
            refusal = severalLocationsError(answeredURL);
            return;
        }
    } else if (locations.size() > 1) {
        headers["Location"] = locations.front();
    }
    // An empty Location names no address: the answer is reported as it is.
    if (request.followsRedirects() && isRedirectStatus(status) && headers.count("Location") &&
        !headers["Location"].empty()) {
        if (redirects >= kMaxRedirects) {
            refusal = tooManyRedirectsError(answeredURL);
            return;
        }
        auto followed = redirectedRequest(request, status, headers["Location"]);
        if (auto* error = std::get_if<Error>(&followed)) refusal = *error;
        else next = std::get<URLRequest>(std::move(followed));
        return;  // followed without a report
    }
    response = URLResponse(answeredURL, status, headers);
    deliverResponse();
}

void URLConnection::Transfer::deliverResponse() {
    if (responseDelivered) return;
    if (!response) {
        char* effective = nullptr;
        curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &effective);
        response = URLResponse(URL(effective ? std::string(effective) : url.absoluteString()), status, headers);
    }
    responseDelivered = true;
    if (connection) {
        auto c = connection;
        URLResponse r = *response;
        base::RunLoop::main().performOnMainThread([c, r] { c->deliverResponse(r); });
    }
}

void URLConnection::Transfer::deliverData(const char* bytes, std::size_t size) {
    if (size == 0) return;
    if (connection) {
        auto c = connection;
        base::Data chunk(reinterpret_cast<const std::uint8_t*>(bytes),
                         reinterpret_cast<const std::uint8_t*>(bytes) + size);
        base::RunLoop::main().performOnMainThread([c, chunk = std::move(chunk)] { c->deliverData(chunk); });
    } else {
        data.insert(data.end(), bytes, bytes + size);
    }
}

// The loader: one thread that runs every asynchronous transfer through a
// libcurl multi handle and hands each event to the main run loop.
class Loader {
public:
    static Loader& shared() {
        static Loader loader;
        return loader;
    }

    void add(std::unique_ptr<URLConnection::Transfer> transfer) {
        {
            std::lock_guard lock(mutex_);
            incoming_.push_back(std::move(transfer));
            if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
        }
        curl_multi_wakeup(multi_);
    }

    // Wakes the thread so it drops cancelled transfers.
    void wake() { curl_multi_wakeup(multi_); }

    ~Loader() {
        stop_ = true;
        curl_multi_wakeup(multi_);
        if (thread_.joinable()) thread_.join();
        for (auto& t : active_) curl_multi_remove_handle(multi_, t->easy);
        active_.clear();
        incoming_.clear();
        curl_multi_cleanup(multi_);
    }

private:
    Loader() {
        // The main run loop must outlive the loader, which posts to it.
        base::RunLoop::main();
        globalInit();
        multi_ = curl_multi_init();
    }

    void run() {
        while (!stop_) {
            {
                std::lock_guard lock(mutex_);
                for (auto& t : incoming_) {
                    curl_multi_add_handle(multi_, t->easy);
                    active_.push_back(std::move(t));
                }
                incoming_.clear();
            }
            for (auto it = active_.begin(); it != active_.end();) {
                if ((*it)->connection->cancelled_) {
                    curl_multi_remove_handle(multi_, (*it)->easy);
                    it = active_.erase(it);
                } else {
                    ++it;
                }
            }
            int running = 0;
            curl_multi_perform(multi_, &running);
            int queued = 0;
            while (CURLMsg* msg = curl_multi_info_read(multi_, &queued)) {
                if (msg->msg != CURLMSG_DONE) continue;
                for (auto it = active_.begin(); it != active_.end(); ++it) {
                    if ((*it)->easy != msg->easy_handle) continue;
                    auto next = finish(**it, msg->data.result);
                    curl_multi_remove_handle(multi_, (*it)->easy);
                    active_.erase(it);
                    if (next) {
                        curl_multi_add_handle(multi_, next->easy);
                        active_.push_back(std::move(next));
                    }
                    break;
                }
            }
            curl_multi_poll(multi_, nullptr, 0, pollMilliseconds(), nullptr);
        }
    }

    // How long to wait for a socket: an eighth of the shortest time-out
    // interval (at most a second, at least 10 ms), so that a stall is seen
    // soon after the last interval holds too little, not up to a second late.
    int pollMilliseconds() const {
        double ms = 1000;
        for (const auto& t : active_) ms = std::min(ms, t->interval * 1000 / 8);
        return static_cast<int>(std::max(10.0, ms));
    }

    // Reports how a transfer ended; a followed redirect instead gives the
    // transfer of its next hop, set up and ready to run.
    std::unique_ptr<URLConnection::Transfer> finish(URLConnection::Transfer& t, CURLcode result) {
        auto c = t.connection;
        if (auto next = t.followed()) {
            if (auto error = refusalBeforeSending(next->request)) {
                base::RunLoop::main().performOnMainThread([c, e = *error] { c->deliverFailure(e); });
                return nullptr;
            }
            next->setUp();
            return next;
        }
        if (result == CURLE_OK) {
            if (!t.responseDelivered) t.deliverResponse();
            base::RunLoop::main().performOnMainThread([c] { c->deliverFinish(); });
        } else {
            Error error = t.failure(result);
            base::RunLoop::main().performOnMainThread([c, error] { c->deliverFailure(error); });
        }
        return nullptr;
    }

    std::mutex mutex_;
    std::vector<std::unique_ptr<URLConnection::Transfer>> incoming_;
    std::list<std::unique_ptr<URLConnection::Transfer>> active_;
    CURLM* multi_ = nullptr;
    std::thread thread_;
    std::atomic<bool> stop_{false};
};

bool isInsecureRedirect(const URL& from, const std::string& location) {
    const std::string_view rest = base::trimLeft(location, base::kSpacesAndTabs);
    if (rest.empty()) return false;
    std::string start;
    for (char c : rest.substr(0, 5)) start += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::string scheme;
    for (char c : from.scheme()) scheme += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return scheme == "https" && start == "http:";
}

bool carriesCredentials(const URLRequest& request) {
    if (!request.httpBody().empty()) return true;
    if (!request.url().user().empty() || !request.url().password().empty()) return true;
    for (const auto& [name, value] : request.allHTTPHeaderFields()) {
        const std::string n = lowercase(name);
        if (n == "cookie" || n.find("authorization") != std::string::npos || n.find("token") != std::string::npos ||
            n.find("password") != std::string::npos || n.find("secret") != std::string::npos)
            return true;
    }
    return false;
}

bool leavesOrigin(const URL& from, const std::string& location) {
    auto first = resolvedOrigin(from.stringWithoutCredentials(), "");
    auto target = resolvedOrigin(from.stringWithoutCredentials(), location);
    return !first || !target || !(*first == *target);
}

namespace {

// Header fields that say nothing of the user or of the body: the only ones a
// redirect to another origin carries on.
bool isHarmlessHeader(const std::string& lowerName) {
    static const char* const harmless[] = {"accept", "accept-language", "cache-control", "pragma", "user-agent"};
    return std::find(std::begin(harmless), std::end(harmless), lowerName) != std::end(harmless);
}

// Header fields that describe the body, which go with it.
bool describesBody(const std::string& lowerName) {
    return lowerName.rfind("content-", 0) == 0 || lowerName == "transfer-encoding";
}

// The target of a redirect read against the address that answered, with the
// answering request's user name and password when keep is true.
std::optional<std::string> redirectTarget(const URL& from, const std::string& location, bool keepCredentials) {
    CURLU* handle = curl_url();
    if (!handle) return std::nullopt;
    std::optional<std::string> target;
    if (curl_url_set(handle, CURLUPART_URL, from.stringWithoutCredentials().c_str(), CURLU_NON_SUPPORT_SCHEME) ==
            CURLUE_OK &&
        setLocation(handle, location) == CURLUE_OK) {
        bool ok = true;
        if (keepCredentials && !from.user().empty())
            ok = curl_url_set(handle, CURLUPART_USER, from.user().c_str(), 0) == CURLUE_OK;
        if (ok && keepCredentials && !from.password().empty())
            ok = curl_url_set(handle, CURLUPART_PASSWORD, from.password().c_str(), 0) == CURLUE_OK;
        char* text = nullptr;
        if (ok && curl_url_get(handle, CURLUPART_URL, &text, 0) == CURLUE_OK && text) target = std::string(text);
        curl_free(text);
    }
    curl_url_cleanup(handle);
    return target;
}

}  // namespace

std::variant<URLRequest, Error> redirectedRequest(const URLRequest& request, long status, const std::string& location) {
    const URL& from = request.url();
    // A file, an inline page, a script or a blank page is no web page,
    // whether curl could read its address or not.
    if (const std::string scheme = URL::schemeOf(base::trimLeft(location, base::kSpacesAndTabs));
        !scheme.empty() && scheme != "http" && scheme != "https")
        return notWebRedirectError(location);
    const std::string fromText = from.stringWithoutCredentials();
    auto origin = resolvedOrigin(fromText, "");
    auto target = resolvedOrigin(fromText, location);
    auto targetText = redirectTarget(from, location, false);
    if (!origin || !target || !targetText) {
        base::Dictionary info;
        info.set("NSErrorFailingURLStringKey", location);
        return Error(URLErrorDomain, URLErrorCode::BadURL,
                     "The server sent the request on to an address that "
                     "cannot be read. It was not followed.",
                     std::move(info));
    }
    if (target->scheme != "http" && target->scheme != "https") return notWebRedirectError(*targetText);
    if (origin->scheme == "https" && target->scheme == "http") return downgradeError(URL(*targetText));
    const bool sameOrigin = *origin == *target;
    // A site that moved to https keeps what was sent to it over http.
    const bool upgrade = isHttpsUpgrade(*origin, *target);
    if (!sameOrigin && !upgrade && carriesCredentials(request)) return crossOriginError(URL(*targetText));

    auto next = redirectTarget(from, location, sameOrigin || upgrade);
    if (!next) next = targetText;
    URLRequest out = request;
    out.setURL(URL(*next));
    // 301 and 302 turn a POST into a GET, 303 anything but HEAD: the body
    // goes, and with it the header fields that describe it.
    const std::string& method = request.httpMethod();
    const bool toGet = ((status == 301 || status == 302) && method == "POST") ||
                       (status == 303 && method != "GET" && method != "HEAD");
    HeaderFields headers;
    for (const auto& [name, value] : request.allHTTPHeaderFields()) {
        const std::string lowerName = lowercase(name);
        if (toGet && describesBody(lowerName)) continue;
        if (!sameOrigin && !upgrade && !isHarmlessHeader(lowerName)) continue;
        headers.emplace(name, value);
    }
    out.setAllHTTPHeaderFields(headers);
    if (toGet) {
        out.setHTTPMethod("GET");
        out.setHTTPBody(base::Data{});
    }
    return out;
}

bool URLConnection::canHandleRequest(const URLRequest& request) {
    const URL& url = request.url();
    return url.isValid() && (url.scheme() == "http" || url.scheme() == "https") && !url.host().empty();
}

std::shared_ptr<URLConnection> URLConnection::connectionWithRequest(const URLRequest& request,
                                                                    std::shared_ptr<URLConnectionDelegate> delegate) {
    return create(request, std::move(delegate), true);
}

std::shared_ptr<URLConnection> URLConnection::create(const URLRequest& request,
                                                     std::shared_ptr<URLConnectionDelegate> delegate,
                                                     bool startImmediately) {
    if (!canHandleRequest(request)) return nullptr;
    auto connection = std::make_shared<URLConnection>(request, std::move(delegate));
    if (startImmediately) connection->start();
    return connection;
}

URLConnection::URLConnection(const URLRequest& request, std::shared_ptr<URLConnectionDelegate> delegate)
    : request_(request), delegate_(delegate), keepAlive_(std::move(delegate)) {}

URLConnection::~URLConnection() = default;

void URLConnection::start() {
    if (started_ || cancelled_) return;
    started_ = true;
    if (auto error = refusalBeforeSending(request_)) {
        auto self = shared_from_this();
        base::RunLoop::main().performOnMainThread([self, e = *error] { self->deliverFailure(e); });
        return;
    }
    auto transfer = std::make_unique<Transfer>();
    transfer->connection = shared_from_this();
    transfer->request = request_;
    transfer->setUp();
    Loader::shared().add(std::move(transfer));
}

void URLConnection::cancel() {
    if (cancelled_ || finished_) return;
    cancelled_ = true;
    keepAlive_.reset();
    delegate_.reset();
    if (started_) Loader::shared().wake();
}

void URLConnection::deliverResponse(const URLResponse& response) {
    if (cancelled_ || finished_) return;
    if (auto d = delegate_.lock()) d->didReceiveResponse(*this, response);
}

void URLConnection::deliverData(const base::Data& data) {
    if (cancelled_ || finished_) return;
    if (auto d = delegate_.lock()) d->didReceiveData(*this, data);
}

void URLConnection::deliverFinish() {
    if (cancelled_ || finished_) return;
    finished_ = true;
    auto d = delegate_.lock();
    keepAlive_.reset();
    if (d) d->didFinishLoading(*this);
}

void URLConnection::deliverFailure(const Error& error) {
    if (cancelled_ || finished_) return;
    finished_ = true;
    auto d = delegate_.lock();
    keepAlive_.reset();
    if (d) d->didFailWithError(*this, error);
}

SynchronousResult URLConnection::sendSynchronousRequest(const URLRequest& request) {
    SynchronousResult result;
    if (!canHandleRequest(request)) {
        base::Dictionary info;
        info.set("NSErrorFailingURLStringKey", request.url().absoluteString());
        result.error = Error(URLErrorDomain, URLErrorCode::UnsupportedURL, "Unsupported URL.", info);
        return result;
    }
    if (auto error = refusalBeforeSending(request)) {
        result.error = *error;
        return result;
    }
    auto t = std::make_unique<Transfer>();
    t->request = request;
    for (;;) {
        t->setUp();
        CURLcode code = curl_easy_perform(t->easy);
        if (auto next = t->followed()) {
            if (auto error = refusalBeforeSending(next->request)) {
                result.error = *error;
                return result;
            }
            t = std::move(next);
            continue;
        }
        if (code != CURLE_OK) {
            result.error = t->failure(code);
            return result;  // no answer counts, even a partial one
        }
        break;
    }
    if (!t->responseDelivered) t->deliverResponse();
    result.response = t->response;
    result.data = std::move(t->data);
    return result;
}

}  // namespace net
