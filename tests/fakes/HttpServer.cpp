#include "fakes/HttpServer.h"

#include <arpa/inet.h>
#include <poll.h>
#include <netinet/in.h>
#include <openssl/evp.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <httplib.h>
#include <stdexcept>

namespace fakes {
namespace {

constexpr const char* kOriginalContentType = "X-Fake-Original-Content-Type";

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string trim(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    std::size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string formDecode(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

std::map<std::string, std::string> parsePairs(const std::string& text) {
    std::map<std::string, std::string> out;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t amp = text.find('&', start);
        std::string piece = text.substr(start, amp == std::string::npos ? std::string::npos : amp - start);
        if (!piece.empty()) {
            std::size_t eq = piece.find('=');
            out[formDecode(piece.substr(0, eq))] = eq == std::string::npos ? "" : formDecode(piece.substr(eq + 1));
        }
        if (amp == std::string::npos) break;
        start = amp + 1;
    }
    return out;
}

// A parameter of a header value ("boundary", "name"), quotes removed.
std::string headerParameter(const std::string& value, const std::string& param) {
    std::size_t pos = 0;
    while ((pos = value.find(';', pos)) != std::string::npos) {
        ++pos;
        std::size_t next = value.find(';', pos);
        std::string item = trim(value.substr(pos, next == std::string::npos ? std::string::npos : next - pos));
        std::size_t eq = item.find('=');
        if (eq != std::string::npos && lower(trim(item.substr(0, eq))) == param) {
            std::string v = trim(item.substr(eq + 1));
            if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
            return v;
        }
    }
    return {};
}

std::string base64Decode(const std::string& in) {
    std::string out;
    int bits = 0;
    unsigned value = 0;
    for (char c : in) {
        int v;
        if (c >= 'A' && c <= 'Z') v = c - 'A';
        else if (c >= 'a' && c <= 'z') v = c - 'a' + 26;
        else if (c >= '0' && c <= '9') v = c - '0' + 52;
        else if (c == '+') v = 62;
        else if (c == '/') v = 63;
        else continue;
        value = (value << 6) | static_cast<unsigned>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((value >> bits) & 0xFF);
        }
    }
    return out;
}

int portOf(const sockaddr_storage& addr) {
    if (addr.ss_family == AF_INET) return ntohs(reinterpret_cast<const sockaddr_in&>(addr).sin_port);
    if (addr.ss_family == AF_INET6) return ntohs(reinterpret_cast<const sockaddr_in6&>(addr).sin6_port);
    return -1;
}

// Binds the socket to 127.0.0.1 on a port the system picks; answers the
// port, or -1 when there is no socket or it cannot be bound.
int bindToLoopback(int fd) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        return -1;
    return ntohs(addr.sin_port);
}

// The header fields of a raw request, as sent (cpp-httplib decodes
// percent escapes in header values, which would hide what went out).
std::map<std::string, std::string, NameLess> rawHeaderFields(const std::string& raw) {
    std::map<std::string, std::string, NameLess> out;
    std::size_t end = raw.find("\r\n\r\n");
    std::size_t pos = raw.find("\r\n");
    if (end == std::string::npos || pos == std::string::npos) return out;
    pos += 2;
    while (pos < end) {
        std::size_t lineEnd = raw.find("\r\n", pos);
        std::string line = raw.substr(pos, lineEnd - pos);
        std::size_t colon = line.find(':');
        if (colon != std::string::npos) {
            std::string name = trim(line.substr(0, colon)), value = trim(line.substr(colon + 1));
            auto it = out.find(name);
            if (it == out.end()) out.emplace(name, value);
            else it->second += ", " + value;
        }
        pos = lineEnd + 2;
    }
    return out;
}

bool sendAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// One client connection, relayed to the HTTP engine behind the public port
// so the bytes the client sent can be kept as they came.
struct Relay {
    int client = -1;
    int backend = -1;
    int backendPort = 0;  // the relay's own port towards the engine
    std::mutex mutex;
    std::string raw;
    std::atomic<bool> drop{false};
    std::thread thread;
};

struct Certificate {
    X509* cert = nullptr;
    EVP_PKEY* key = nullptr;
    Certificate() {
        key = EVP_RSA_gen(2048);
        cert = X509_new();
        ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
        X509_gmtime_adj(X509_getm_notBefore(cert), 0);
        X509_gmtime_adj(X509_getm_notAfter(cert), 3600);
        X509_set_pubkey(cert, key);
        X509_NAME* name = X509_get_subject_name(cert);
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("127.0.0.1"), -1,
                                   -1, 0);
        X509_set_issuer_name(cert, name);
        X509_sign(cert, key, EVP_sha256());
    }
    ~Certificate() {
        X509_free(cert);
        EVP_PKEY_free(key);
    }
};

}  // namespace

bool NameLess::operator()(const std::string& a, const std::string& b) const { return lower(a) < lower(b); }

std::string RecordedRequest::header(const std::string& name) const {
    auto it = headers.find(name);
    return it == headers.end() ? std::string() : it->second;
}

std::map<std::string, std::string> RecordedRequest::queryItems() const { return parsePairs(query); }

std::map<std::string, std::string> RecordedRequest::form() const { return parsePairs(body); }

std::vector<MultipartPart> RecordedRequest::multipart() const {
    std::vector<MultipartPart> parts;
    std::string boundary = headerParameter(header("Content-Type"), "boundary");
    if (boundary.empty()) return parts;
    const std::string delimiter = "--" + boundary;
    std::size_t pos = body.find(delimiter);
    while (pos != std::string::npos) {
        pos += delimiter.size();
        if (body.compare(pos, 2, "--") == 0) break;  // the closing delimiter
        if (body.compare(pos, 2, "\r\n") == 0) pos += 2;
        std::size_t headerEnd = body.find("\r\n\r\n", pos);
        if (headerEnd == std::string::npos) break;
        std::size_t next = body.find("\r\n" + delimiter, headerEnd + 4);
        MultipartPart part;
        std::string head = body.substr(pos, headerEnd - pos);
        std::size_t lineStart = 0;
        while (lineStart < head.size()) {
            std::size_t lineEnd = head.find("\r\n", lineStart);
            std::string line =
                head.substr(lineStart, lineEnd == std::string::npos ? std::string::npos : lineEnd - lineStart);
            std::size_t colon = line.find(':');
            if (colon != std::string::npos) part.headers[trim(line.substr(0, colon))] = trim(line.substr(colon + 1));
            if (lineEnd == std::string::npos) break;
            lineStart = lineEnd + 2;
        }
        auto disposition = part.headers.find("Content-Disposition");
        if (disposition != part.headers.end()) {
            part.name = headerParameter(disposition->second, "name");
            part.filename = headerParameter(disposition->second, "filename");
        }
        if (auto type = part.headers.find("Content-Type"); type != part.headers.end()) part.contentType = type->second;
        std::size_t bodyStart = headerEnd + 4;
        part.body = body.substr(bodyStart, next == std::string::npos ? std::string::npos : next - bodyStart);
        parts.push_back(std::move(part));
        if (next == std::string::npos) break;
        pos = next + 2;
    }
    return parts;
}

std::optional<std::pair<std::string, std::string>> RecordedRequest::basicCredentials() const {
    std::string auth = header("Authorization");
    if (lower(auth.substr(0, 6)) != "basic ") return std::nullopt;
    std::string decoded = base64Decode(auth.substr(6));
    std::size_t colon = decoded.find(':');
    if (colon == std::string::npos) return std::nullopt;
    return std::make_pair(decoded.substr(0, colon), decoded.substr(colon + 1));
}

Reply Reply::text(int status, std::string body, std::string contentType) {
    Reply r;
    r.status = status;
    r.body = std::move(body);
    r.contentType = std::move(contentType);
    return r;
}

Reply Reply::basicAuthChallenge(const std::string& realm) {
    Reply r = text(401, "authorization required");
    r.headers.emplace("WWW-Authenticate", "Basic realm=\"" + realm + "\"");
    return r;
}

Reply Reply::close() {
    Reply r;
    r.closeConnection = true;
    return r;
}

Reply Reply::cutShort(std::string body, std::size_t sent) {
    Reply r = text(200, std::move(body));
    r.cutAfter = sent;
    return r;
}

Reply Reply::stream(std::size_t bytes) {
    Reply r = text(200, "");
    r.streamedBytes = bytes;
    return r;
}

Reply Reply::trickle(std::size_t bytes, double seconds, std::size_t chunk) {
    Reply r = stream(bytes);
    // A type the engine does not compress: compressed, the bytes would be
    // held back until the body ends instead of going out as they are made.
    r.contentType = "application/octet-stream";
    r.trickleSeconds = seconds;
    r.trickleChunk = std::max<std::size_t>(1, chunk);
    return r;
}

struct HttpServer::Impl {
    std::unique_ptr<httplib::Server> server;
    std::thread thread;
    int backendPort = 0;
    bool tls = false;

    int listenFd = -1;
    int wakePipe[2] = {-1, -1};
    std::thread acceptThread;
    std::atomic<bool> relaysStopping{false};
    std::mutex relayMutex;
    std::vector<std::shared_ptr<Relay>> relays;
    std::map<int, std::shared_ptr<Relay>> relayByPort;

    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    bool stopping = false;
    std::vector<RecordedRequest> requests;
    std::size_t closedConnections = 0;  // answered (or dropped) and closed towards the client
    std::map<std::pair<std::string, std::string>, Handler> standing;
    std::map<std::pair<std::string, std::string>, std::deque<Reply>> queued;
    std::optional<std::pair<std::string, std::string>> requiredCredentials;
    std::string realm;

    std::shared_ptr<Relay> relayFor(int backendPort) {
        std::lock_guard lock(relayMutex);
        auto it = relayByPort.find(backendPort);
        return it == relayByPort.end() ? nullptr : it->second;
    }

    void acceptLoop() {
        while (!relaysStopping) {
            pollfd fds[2] = {{listenFd, POLLIN, 0}, {wakePipe[0], POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0) continue;
            if (fds[1].revents) break;
            if (!(fds[0].revents & POLLIN)) continue;
            int client = ::accept(listenFd, nullptr, nullptr);
            if (client < 0) continue;
            int backend = ::socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in addr{};
            addr.sin_family = AF_INET;
            addr.sin_port = htons(static_cast<uint16_t>(backendPort));
            addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            if (backend < 0 || ::connect(backend, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
                if (backend >= 0) ::close(backend);
                ::close(client);
                continue;
            }
            sockaddr_storage local{};
            socklen_t len = sizeof local;
            ::getsockname(backend, reinterpret_cast<sockaddr*>(&local), &len);
            auto relay = std::make_shared<Relay>();
            relay->client = client;
            relay->backend = backend;
            relay->backendPort = portOf(local);
            {
                std::lock_guard lock(relayMutex);
                relays.push_back(relay);
                relayByPort[relay->backendPort] = relay;
            }
            relay->thread = std::thread([this, relay] { relayLoop(*relay); });
        }
    }

    void relayLoop(Relay& r) {
        char buffer[16384];
        bool clientOpen = true;
        while (!relaysStopping && !r.drop) {
            pollfd fds[2] = {{r.backend, POLLIN, 0}, {clientOpen ? r.client : -1, POLLIN, 0}};
            if (::poll(fds, 2, 100) < 0) break;
            if (r.drop) break;
            if (fds[1].revents) {
                ssize_t n = ::recv(r.client, buffer, sizeof buffer, 0);
                if (n <= 0) {
                    clientOpen = false;
                    ::shutdown(r.backend, SHUT_WR);
                } else {
                    {
                        std::lock_guard lock(r.mutex);
                        r.raw.append(buffer, static_cast<std::size_t>(n));
                    }
                    if (!sendAll(r.backend, buffer, static_cast<std::size_t>(n))) break;
                }
            }
            if (fds[0].revents) {
                ssize_t n = ::recv(r.backend, buffer, sizeof buffer, 0);
                if (n <= 0) break;
                if (r.drop || !sendAll(r.client, buffer, static_cast<std::size_t>(n))) break;
            }
        }
        ::shutdown(r.client, SHUT_RDWR);
        ::close(r.client);
        ::close(r.backend);
        {
            std::lock_guard lock(mutex);
            ++closedConnections;
        }
        changed.notify_all();
    }

    void handle(const httplib::Request& req, httplib::Response& res) {
        RecordedRequest r;
        r.method = req.method;
        std::size_t q = req.target.find('?');
        r.path = req.target.substr(0, q);
        if (q != std::string::npos) r.query = req.target.substr(q + 1);
        std::shared_ptr<Relay> relay = relayFor(req.remote_port);
        if (relay && !tls) {
            std::lock_guard lock(relay->mutex);
            r.headers = rawHeaderFields(relay->raw);
        } else {
            for (const auto& [name, value] : req.headers) {
                if (name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" || name == "LOCAL_PORT")
                    continue;
                if (name == kOriginalContentType) continue;
                auto it = r.headers.find(name);
                if (it == r.headers.end()) r.headers.emplace(name, value);
                else it->second += ", " + value;
            }
            if (req.has_header(kOriginalContentType))
                r.headers["Content-Type"] = req.get_header_value(kOriginalContentType);
        }
        r.body = req.body;

        Reply reply;
        {
            std::unique_lock lock(mutex);
            requests.push_back(r);
            auto key = std::make_pair(r.method, r.path);
            auto creds = r.basicCredentials();
            if (requiredCredentials && (!creds || *creds != *requiredCredentials)) {
                reply = Reply::basicAuthChallenge(realm);
            } else if (auto it = queued.find(key); it != queued.end() && !it->second.empty()) {
                reply = it->second.front();
                it->second.pop_front();
            } else if (auto s = standing.find(key); s != standing.end()) {
                Handler h = s->second;
                lock.unlock();  // the handler may ask the server for its records
                reply = h(r);
            } else {
                reply = Reply::text(404, "no reply scripted for " + r.method + " " + r.path);
            }
        }
        changed.notify_all();
        if (reply.delaySeconds > 0) {
            std::unique_lock lock(mutex);
            changed.wait_for(lock, std::chrono::duration<double>(reply.delaySeconds), [this] { return stopping; });
        }
        if (reply.closeConnection) {
            if (relay) {
                relay->drop = true;
                ::shutdown(relay->client, SHUT_RDWR);
            }
            res.status = 500;
            return;
        }
        res.status = reply.status;
        for (const auto& [name, value] : reply.headers) res.set_header(name, value);
        if (reply.cutAfter) {
            const std::size_t cut = std::min(*reply.cutAfter, reply.body.size());
            res.set_content_provider(
                reply.body.size(), reply.contentType,
                [body = reply.body, cut](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                    if (offset >= cut) return false;  // drops the connection
                    return sink.write(body.data() + offset, std::min(length, cut - offset));
                });
            return;
        }
        if (reply.streamedBytes > 0 && reply.trickleSeconds > 0) {
            res.set_chunked_content_provider(
                reply.contentType, [this, total = reply.streamedBytes, pause = reply.trickleSeconds,
                                    chunk = reply.trickleChunk](std::size_t offset, httplib::DataSink& sink) {
                    std::unique_lock lock(mutex);
                    if (offset >= total || (offset > 0 && changed.wait_for(lock, std::chrono::duration<double>(pause),
                                                                           [this] { return stopping; }))) {
                        sink.done();
                        return true;
                    }
                    lock.unlock();
                    const std::string piece(std::min(chunk, total - offset), 'x');
                    return sink.write(piece.data(), piece.size());
                });
            return;
        }
        if (reply.streamedBytes > 0) {
            res.set_chunked_content_provider(
                reply.contentType, [total = reply.streamedBytes](std::size_t offset, httplib::DataSink& sink) {
                    static const std::string block(65536, 'x');
                    if (offset >= total) {
                        sink.done();
                        return true;
                    }
                    return sink.write(block.data(), std::min(block.size(), total - offset));
                });
            return;
        }
        res.set_content(reply.body, reply.contentType.c_str());
    }
};

HttpServer::HttpServer(bool tls) : impl_(std::make_unique<Impl>()), tls_(tls) {
    ::signal(SIGPIPE, SIG_IGN);  // a dropped client must not end the test program
    impl_->tls = tls;
    if (tls) {
        Certificate certificate;
        impl_->server = std::make_unique<httplib::SSLServer>(certificate.cert, certificate.key);
    } else {
        impl_->server = std::make_unique<httplib::Server>();
    }
    httplib::Server& s = *impl_->server;
    // One request per connection, so stopping never waits for an idle
    // keep-alive connection to time out, and each relayed connection's
    // bytes belong to one request.
    s.set_keep_alive_max_count(1);
    // Multipart bodies are kept whole (and parsed by RecordedRequest), so a
    // body the engine's own parser would refuse still arrives as sent.
    s.set_pre_routing_handler([](const httplib::Request& req, httplib::Response&) {
        if (req.is_multipart_form_data()) {
            auto& r = const_cast<httplib::Request&>(req);
            std::string type = r.get_header_value("Content-Type");
            r.headers.erase("Content-Type");
            r.headers.emplace("Content-Type", "application/octet-stream");
            r.headers.emplace(kOriginalContentType, type);
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    auto handler = [impl = impl_.get()](const httplib::Request& req, httplib::Response& res) {
        impl->handle(req, res);
    };
    s.Get(".*", handler);
    s.Post(".*", handler);
    s.Put(".*", handler);
    s.Patch(".*", handler);
    s.Delete(".*", handler);
    s.Options(".*", handler);
    impl_->backendPort = s.bind_to_any_port("127.0.0.1");
    if (impl_->backendPort <= 0) throw std::runtime_error("the fake server cannot bind 127.0.0.1");
    impl_->thread = std::thread([&s] { s.listen_after_bind(); });
    // stop() only reaches a server that is already listening.
    while (!s.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));

    // The public port: a relay in front of the engine.
    impl_->listenFd = ::socket(AF_INET, SOCK_STREAM, 0);
    int yes = 1;
    ::setsockopt(impl_->listenFd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    port_ = bindToLoopback(impl_->listenFd);
    if (port_ < 0 || ::listen(impl_->listenFd, 64) != 0 || ::pipe(impl_->wakePipe) != 0) {
        stop();
        throw std::runtime_error("the fake server cannot bind 127.0.0.1");
    }
    impl_->acceptThread = std::thread([impl = impl_.get()] { impl->acceptLoop(); });
}

HttpServer::~HttpServer() { stop(); }

void HttpServer::stop() {
    {
        std::lock_guard lock(impl_->mutex);
        impl_->stopping = true;
    }
    impl_->changed.notify_all();
    impl_->relaysStopping = true;
    if (impl_->wakePipe[1] >= 0) {
        char c = 0;
        (void)!::write(impl_->wakePipe[1], &c, 1);
    }
    if (impl_->acceptThread.joinable()) impl_->acceptThread.join();
    std::vector<std::shared_ptr<Relay>> relays;
    {
        std::lock_guard lock(impl_->relayMutex);
        relays.swap(impl_->relays);
        impl_->relayByPort.clear();
    }
    for (auto& r : relays)
        if (r->thread.joinable()) r->thread.join();
    for (int* fd : {&impl_->listenFd, &impl_->wakePipe[0], &impl_->wakePipe[1]})
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    if (impl_->server) impl_->server->stop();
    if (impl_->thread.joinable()) impl_->thread.join();
}

std::string HttpServer::baseURL() const {
    return std::string(tls_ ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_);
}

void HttpServer::on(const std::string& method, const std::string& path, Reply reply) {
    on(method, path, [reply = std::move(reply)](const RecordedRequest&) { return reply; });
}

void HttpServer::on(const std::string& method, const std::string& path, Handler handler) {
    std::lock_guard lock(impl_->mutex);
    impl_->standing[{method, path}] = std::move(handler);
}

void HttpServer::once(const std::string& method, const std::string& path, Reply reply) {
    std::lock_guard lock(impl_->mutex);
    impl_->queued[{method, path}].push_back(std::move(reply));
}

void HttpServer::requireBasicAuth(const std::string& user, const std::string& password, const std::string& realm) {
    std::lock_guard lock(impl_->mutex);
    impl_->requiredCredentials = std::make_pair(user, password);
    impl_->realm = realm;
}

std::vector<RecordedRequest> HttpServer::requests() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->requests;
}

std::optional<RecordedRequest> HttpServer::lastRequest() const {
    std::lock_guard lock(impl_->mutex);
    if (impl_->requests.empty()) return std::nullopt;
    return impl_->requests.back();
}

std::size_t HttpServer::requestCount() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->requests.size();
}

bool HttpServer::waitForRequests(std::size_t count, double timeoutSeconds) const {
    std::unique_lock lock(impl_->mutex);
    return impl_->changed.wait_for(lock, std::chrono::duration<double>(timeoutSeconds),
                                   [&] { return impl_->requests.size() >= count; });
}

bool HttpServer::waitForClosedConnections(std::size_t count, double timeoutSeconds) const {
    std::unique_lock lock(impl_->mutex);
    return impl_->changed.wait_for(lock, std::chrono::duration<double>(timeoutSeconds),
                                   [&] { return impl_->closedConnections >= count; });
}

RawServer::RawServer(std::string head, std::string piece, std::size_t total)
    : head_(std::move(head)), piece_(std::move(piece)), total_(total) {
    ::signal(SIGPIPE, SIG_IGN);  // a client that leaves must not end the test program
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    port_ = bindToLoopback(fd_);
    if (port_ < 0 || ::listen(fd_, 16) != 0 || ::pipe(wakePipe_) != 0) {
        if (fd_ >= 0) ::close(fd_);
        throw std::runtime_error("RawServer: cannot listen on 127.0.0.1");
    }
    thread_ = std::thread([this] { serve(); });
}

RawServer::~RawServer() {
    char c = 0;
    (void)!::write(wakePipe_[1], &c, 1);
    if (thread_.joinable()) thread_.join();
    for (int fd : {fd_, wakePipe_[0], wakePipe_[1]}) ::close(fd);
}

std::string RawServer::url(const std::string& pathAndQuery) const {
    return "http://127.0.0.1:" + std::to_string(port_) + pathAndQuery;
}

// One connection at a time: the request is read up to its blank line, then
// the answer goes out until it is whole, the client leaves, or the server is
// going away.
void RawServer::serve() {
    for (;;) {
        pollfd fds[2] = {{fd_, POLLIN, 0}, {wakePipe_[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) continue;
        if (fds[1].revents) return;
        int client = ::accept(fd_, nullptr, nullptr);
        if (client < 0) continue;
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
            ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            request.append(buffer, static_cast<std::size_t>(n));
        }
        std::size_t sent = 0;
        auto sendPart = [&](const std::string& part) {
            pollfd out[2] = {{client, POLLOUT, 0}, {wakePipe_[0], POLLIN, 0}};
            for (std::size_t done = 0; done < part.size();) {
                if (::poll(out, 2, -1) < 0 || out[1].revents || !(out[0].revents & POLLOUT)) return false;
                ssize_t n = ::send(client, part.data() + done, part.size() - done, MSG_NOSIGNAL);
                if (n <= 0) return false;
                done += static_cast<std::size_t>(n);
                sent_ += static_cast<std::size_t>(n);
            }
            sent += part.size();
            return true;
        };
        bool open = sendPart(head_);
        while (open && !piece_.empty() && sent < total_) open = sendPart(piece_);
        ::shutdown(client, SHUT_RDWR);
        ::close(client);
    }
}

RefusedPort::RefusedPort() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) throw std::runtime_error("RefusedPort: no socket");
    port_ = bindToLoopback(fd_);
    if (port_ < 0) {
        ::close(fd_);
        throw std::runtime_error("RefusedPort: cannot bind 127.0.0.1");
    }
}

RefusedPort::~RefusedPort() {
    if (fd_ >= 0) ::close(fd_);
}

std::string RefusedPort::url(const std::string& pathAndQuery) const {
    return "http://127.0.0.1:" + std::to_string(port_) + pathAndQuery;
}

}  // namespace fakes
