#include <gtest/gtest.h>

#include "TestEnvironment.h"
#include "fakes/HttpServer.h"
#include "platform/base/RunLoop.h"
#include "platform/net/CookieStorage.h"
#include "platform/net/URLConnection.h"

namespace {

class Collect : public net::URLConnectionDelegate {
public:
    int responses = 0;
    std::optional<net::URLResponse> response;
    std::string body;
    bool done = false;
    void didReceiveResponse(net::URLConnection&, const net::URLResponse& r) override {
        ++responses;
        response = r;
    }
    void didReceiveData(net::URLConnection&, const base::Data& d) override { body.append(d.begin(), d.end()); }
    void didFinishLoading(net::URLConnection&) override { done = true; }
    void didFailWithError(net::URLConnection&, const net::Error&) override { done = true; }
};

std::shared_ptr<Collect> load(const net::URLRequest& request) {
    auto rec = std::make_shared<Collect>();
    auto connection = net::URLConnection::connectionWithRequest(request, rec);
    EXPECT_TRUE(connection);
    base::RunLoop::main().runUntil([&] { return rec->done; }, 10);
    return rec;
}

TEST(URLRequestRedirectTest, ARequestThatDoesNotFollowRedirectsGetsTheRedirectItself) {
    test::TempHome home;
    fakes::HttpServer server;
    server.on("POST", "/login",
              fakes::Reply::text(302, "moved")
                  .withHeader("Location", "http://callback.invalid/done?oauth_verifier=v1")
                  .withHeader("Set-Cookie", "sid=abc; Path=/"));
    net::URLRequest request(net::URL(server.url("/login")));
    EXPECT_TRUE(request.followsRedirects());
    request.setHTTPMethod("POST");
    request.setHTTPBody(std::string_view("user=anna"));
    request.setFollowsRedirects(false);
    net::URLRequest copy = request;
    EXPECT_FALSE(copy.followsRedirects());

    auto rec = load(request);
    ASSERT_TRUE(rec->response);
    EXPECT_EQ(rec->responses, 1);
    EXPECT_EQ(rec->response->statusCode(), 302);
    EXPECT_EQ(rec->response->valueForHeaderField("Location"), "http://callback.invalid/done?oauth_verifier=v1");
    EXPECT_EQ(rec->body, "moved");
    EXPECT_EQ(server.requestCount(), 1u);
    // The cookie of the redirect answer is kept all the same.
    EXPECT_EQ(net::CookieStorage::sharedHTTPCookieStorage().cookiesForURL(net::URL(server.url("/"))).size(), 1u);
    net::CookieStorage::sharedHTTPCookieStorage().deleteAllCookies();
}

}  // namespace
