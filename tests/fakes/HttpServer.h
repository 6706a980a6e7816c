#pragma once
// A loopback HTTP server for tests: binds 127.0.0.1 on a free port, answers
// with scripted replies per method and path, records every request it gets,
// and stops when it goes out of scope.
//
//   fakes::HttpServer server;
//   server.on("POST", "/api/add", fakes::Reply::text(201, "created"));
//   net::Services::pointAtLoopbackForTesting("Pinboard", server.port());
//   ... run the code under test ...
//   EXPECT_EQ(server.lastRequest()->form().at("url"), "http://example.com");
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace fakes {

struct NameLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

struct MultipartPart {
    std::map<std::string, std::string, NameLess> headers;
    std::string name;         // the "name" of Content-Disposition, if any
    std::string filename;     // the "filename", if any
    std::string contentType;  // the part's Content-Type, if any
    std::string body;         // the bytes between the part's header and the next boundary
};

struct RecordedRequest {
    std::string method;
    std::string path;                                      // without the query, still percent-escaped
    std::string query;                                     // the raw text after "?", empty when none
    std::map<std::string, std::string, NameLess> headers;  // repeated fields joined by ", "
    std::string body;                                      // the bytes as they came

    // A header value, or empty when missing.
    std::string header(const std::string& name) const;
    bool hasHeader(const std::string& name) const { return headers.count(name) != 0; }
    // The query's name=value pairs, decoded ("+" is a blank); a later name wins.
    std::map<std::string, std::string> queryItems() const;
    // The form-encoded body's pairs, decoded ("+" is a blank); a later name wins.
    std::map<std::string, std::string> form() const;
    // The parts of a multipart body, by the boundary of its Content-Type. A body
    // that ends without the closing "--" delimiter still yields its parts.
    std::vector<MultipartPart> multipart() const;
    // The Basic credentials of the Authorization header ("user", "password").
    std::optional<std::pair<std::string, std::string>> basicCredentials() const;
};

struct Reply {
    int status = 200;
    std::string body;
    std::string contentType = "text/plain; charset=utf-8";
    std::multimap<std::string, std::string> headers;
    bool closeConnection = false;  // drop the connection without answering
    double delaySeconds = 0;       // wait before answering (cut short by stop())
    // With a value: the answer announces the whole body's length, sends only
    // its first cutAfter bytes and then drops the connection.
    std::optional<std::size_t> cutAfter;
    // Above 0: a chunked body of that many bytes, made as it goes out (no
    // Content-Length); it ends early when the client goes away.
    std::size_t streamedBytes = 0;
    // Above 0: the streamed body goes out trickleChunk bytes at a time, the
    // first at once and each later one this many seconds after the one
    // before (cut short by stop()).
    double trickleSeconds = 0;
    std::size_t trickleChunk = 1;

    static Reply text(int status, std::string body, std::string contentType = "text/plain; charset=utf-8");
    // 401 with "WWW-Authenticate: Basic realm=..." and a short body.
    static Reply basicAuthChallenge(const std::string& realm = "fake");
    // Closes the connection without sending a byte.
    static Reply close();
    // A 200 announcing body's length whose connection drops after sent bytes.
    static Reply cutShort(std::string body, std::size_t sent);
    // A 200 whose chunked body of bytes "x" is made as it is sent.
    static Reply stream(std::size_t bytes);
    // A 200 whose chunked body of bytes "x" goes out chunk bytes every seconds.
    static Reply trickle(std::size_t bytes, double seconds, std::size_t chunk = 1);
    Reply& withHeader(std::string name, std::string value) {
        headers.emplace(std::move(name), std::move(value));
        return *this;
    }
    Reply& after(double seconds) {
        delaySeconds = seconds;
        return *this;
    }
};

class HttpServer {
public:
    using Handler = std::function<Reply(const RecordedRequest&)>;

    // Starts serving at once. With tls, the server speaks HTTPS with a fresh
    // self-signed certificate (for tests of certificate checks).
    explicit HttpServer(bool tls = false);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:<port>" (or https).
    std::string baseURL() const;
    std::string url(const std::string& pathAndQuery) const { return baseURL() + pathAndQuery; }

    // The standing answer for method and path (path without query). An
    // unscripted request gets 404 "no reply scripted for METHOD PATH".
    void on(const std::string& method, const std::string& path, Reply reply);
    void on(const std::string& method, const std::string& path, Handler handler);
    // A one-time answer, used before the standing one; several queue up.
    void once(const std::string& method, const std::string& path, Reply reply);
    // Answers every request without these Basic credentials with a challenge.
    void requireBasicAuth(const std::string& user, const std::string& password, const std::string& realm = "fake");

    std::vector<RecordedRequest> requests() const;
    std::optional<RecordedRequest> lastRequest() const;
    std::size_t requestCount() const;
    // Waits (real time) until count requests have arrived; the limit is
    // reached only when they do not.
    bool waitForRequests(std::size_t count, double timeoutSeconds = 60.0) const;
    // Waits (real time) until count connections have ended on the server's
    // side: each answer (or the drop) went out whole and the connection to
    // the client is closed, so all of it is on its way there.
    bool waitForClosedConnections(std::size_t count, double timeoutSeconds = 60.0) const;

    void stop();

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
    int port_ = 0;
    bool tls_ = false;
};

// A loopback server that answers every connection with the same raw bytes,
// whatever was asked: head, then piece over and over until total bytes went
// out or the client left. For answers no HTTP engine would send (a header
// line of hundreds of megabytes).
class RawServer {
public:
    RawServer(std::string head, std::string piece, std::size_t total);
    ~RawServer();
    RawServer(const RawServer&) = delete;
    RawServer& operator=(const RawServer&) = delete;

    // "http://127.0.0.1:<port>" followed by pathAndQuery.
    std::string url(const std::string& pathAndQuery = "/") const;
    // The bytes sent so far, over every connection.
    std::size_t bytesSent() const { return sent_; }

private:
    void serve();
    std::string head_, piece_;
    std::size_t total_;
    int fd_ = -1;
    int wakePipe_[2] = {-1, -1};
    int port_ = 0;
    std::atomic<std::size_t> sent_{0};
    std::thread thread_;
};

// A loopback port that refuses every connection for as long as this object
// lives: the socket is bound but never listens, so no other test's server can
// take the port meanwhile (a port freed by a stopped server may be reused).
class RefusedPort {
public:
    RefusedPort();
    ~RefusedPort();
    RefusedPort(const RefusedPort&) = delete;
    RefusedPort& operator=(const RefusedPort&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by pathAndQuery.
    std::string url(const std::string& pathAndQuery = "/") const;

private:
    int fd_ = -1;
    int port_ = 0;
};

}  // namespace fakes
