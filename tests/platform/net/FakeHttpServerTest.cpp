#include <gtest/gtest.h>

#include "fakes/HttpServer.h"
#include "platform/net/URLConnection.h"

// The loopback fake itself: scripted answers and what it records.
namespace {

net::SynchronousResult send(const std::string& method, const std::string& url, const std::string& body = {},
                            const std::string& contentType = {}) {
    net::URLRequest r{net::URL(url)};
    r.setHTTPMethod(method);
    if (!body.empty()) r.setHTTPBody(std::string_view(body));
    if (!contentType.empty()) r.setValue(contentType, "Content-Type");
    return net::URLConnection::sendSynchronousRequest(r);
}

std::string text(const net::SynchronousResult& r) { return std::string(r.data.begin(), r.data.end()); }

TEST(FakeHttpServerTest, OneTimeRepliesComeBeforeTheStandingOne) {
    fakes::HttpServer s;
    s.on("GET", "/a", fakes::Reply::text(200, "standing"));
    s.once("GET", "/a", fakes::Reply::text(503, "first"));
    s.once("GET", "/a", fakes::Reply::text(201, "second"));
    EXPECT_EQ(send("GET", s.url("/a")).response->statusCode(), 503);
    EXPECT_EQ(text(send("GET", s.url("/a"))), "second");
    EXPECT_EQ(text(send("GET", s.url("/a"))), "standing");
    auto missing = send("GET", s.url("/nothing"));
    EXPECT_EQ(missing.response->statusCode(), 404);
    EXPECT_EQ(text(missing), "no reply scripted for GET /nothing");
    EXPECT_EQ(s.requestCount(), 4u);
}

TEST(FakeHttpServerTest, HandlersSeeTheRequest) {
    fakes::HttpServer s;
    s.on("POST", "/echo", [](const fakes::RecordedRequest& r) {
        return fakes::Reply::text(200, r.form().at("word") + "|" + r.queryItems().at("q"));
    });
    auto r = send("POST", s.url("/echo?q=a+b%21"), "word=caf%C3%A9&x", "application/x-www-form-urlencoded");
    EXPECT_EQ(text(r), "caf\xC3\xA9|a b!");
    auto form = s.lastRequest()->form();
    EXPECT_EQ(form.at("x"), "");
}

TEST(FakeHttpServerTest, ParsesMultipartBodiesWithAndWithoutTheClosingDelimiter) {
    fakes::HttpServer s;
    s.on("POST", "/up", fakes::Reply::text(200, "ok"));
    const std::string boundary = "XyZ";
    std::string body =
        "--XyZ\r\nContent-Disposition: form-data; name=\"message\"\r\n\r\nhi there\r\n"
        "--XyZ\r\nContent-Disposition: form-data; filename=\"pic\"\r\nContent-Type: image/png\r\n\r\n"
        "\x89PNG\r\n\x1a\n"
        "\r\n--XyZ\r\n";  // no closing "--XyZ--"
    auto r = send("POST", s.url("/up"), body, "multipart/form-data; boundary=" + boundary);
    ASSERT_TRUE(r.response);
    EXPECT_EQ(r.response->statusCode(), 200);
    auto rec = s.lastRequest();
    EXPECT_EQ(rec->header("Content-Type"), "multipart/form-data; boundary=XyZ");
    EXPECT_EQ(rec->body, body);
    auto parts = rec->multipart();
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0].name, "message");
    EXPECT_EQ(parts[0].body, "hi there");
    EXPECT_EQ(parts[1].filename, "pic");
    EXPECT_EQ(parts[1].contentType, "image/png");
    EXPECT_EQ(parts[1].body, std::string("\x89PNG\r\n\x1a\n"));

    std::string closed = "--XyZ\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n1\r\n--XyZ--\r\n";
    send("POST", s.url("/up"), closed, "multipart/form-data; boundary=\"XyZ\"");
    parts = s.lastRequest()->multipart();
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_EQ(parts[0].body, "1");
}

TEST(FakeHttpServerTest, RecordsRepeatedHeadersAndRawPaths) {
    fakes::HttpServer s;
    s.on("GET", "/p%20q", fakes::Reply::text(200, "ok"));
    net::URLRequest r{net::URL(s.url("/p%20q?x=%2B"))};
    r.addValue("a", "X-Many");
    r.addValue("b", "X-Many");
    r.setValue(std::string("OAuth oauth_signature=\"secret%26\""), "Authorization");
    net::URLConnection::sendSynchronousRequest(r);
    auto rec = s.lastRequest();
    EXPECT_EQ(rec->path, "/p%20q");
    EXPECT_EQ(rec->query, "x=%2B");
    EXPECT_EQ(rec->queryItems().at("x"), "+");
    EXPECT_EQ(rec->header("x-many"), "a,b");
    // Header values are kept as sent, escapes and all.
    EXPECT_EQ(rec->header("Authorization"), "OAuth oauth_signature=\"secret%26\"");
    EXPECT_FALSE(rec->hasHeader("REMOTE_ADDR"));
}

TEST(FakeHttpServerTest, StopsWhileAReplyIsDelayed) {
    auto s = std::make_unique<fakes::HttpServer>();
    s->on("GET", "/wait", fakes::Reply::text(200, "x").after(30));
    std::string url = s->url("/wait");
    std::thread client([url] { send("GET", url); });
    ASSERT_TRUE(s->waitForRequests(1));
    auto start = std::chrono::steady_clock::now();
    s.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    client.join();
}

}  // namespace
