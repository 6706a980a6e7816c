#include <gtest/gtest.h>

#include "TestEnvironment.h"
#include "fakes/HttpServer.h"
#include "platform/base/RunLoop.h"
#include "sharing/core/SHRRequest.h"

namespace {

// Stands in for a sharer: counts its finish calls and keeps what it saw.
struct FakeSharer {
    virtual ~FakeSharer() = default;
    int calls = 0;
    bool success = false;
    long status = 0;
    std::string result;
    void finished(SHRRequest& request) {
        ++calls;
        success = request.success();
        status = request.response() ? request.response()->statusCode() : 0;
        result = request.getResult();
    }
};
struct DerivedSharer : FakeSharer {
    int own = 0;
    void authFinished(SHRRequest&) { ++own; }
};

class SHRRequestTest : public ::testing::Test {
protected:
    void SetUp() override { base::RunLoop::main(); }

    // Starts a request and runs the main loop until the sharer heard back,
    // then a little longer so a second call would show.
    std::shared_ptr<SHRRequest> run(const std::string& path, std::optional<std::string> params,
                                    const std::string& method = "POST") {
        auto request = SHRRequest::requestWithURL(net::URL(server.url(path)), std::move(params), sharer,
                                                  &FakeSharer::finished, method, true);
        base::RunLoop::main().runUntil([&] { return sharer->calls > 0; }, 10);
        base::RunLoop::main().runUntil([] { return false; }, 0.05);
        return request;
    }

    test::TempHome home;
    fakes::HttpServer server;
    std::shared_ptr<FakeSharer> sharer = std::make_shared<FakeSharer>();
};

TEST_F(SHRRequestTest, OKAndCreatedSucceed) {
    server.on("POST", "/ok", fakes::Reply::text(200, "fine"));
    server.on("POST", "/created", fakes::Reply::text(201, "made"));
    auto r = run("/ok", "a=1");
    EXPECT_EQ(sharer->calls, 1);
    EXPECT_TRUE(sharer->success);
    EXPECT_EQ(sharer->result, "fine");
    EXPECT_TRUE(r->isFinished());

    sharer->calls = 0;
    r = run("/created", "a=1");
    EXPECT_EQ(sharer->calls, 1);
    EXPECT_TRUE(sharer->success);
    EXPECT_EQ(sharer->status, 201);
}

TEST_F(SHRRequestTest, OtherStatusesFailWithTheAnswerReadable) {
    server.on("POST", "/denied", fakes::Reply::text(401, "bad login").withHeader("X-Reason", "password"));
    server.on("POST", "/broken", fakes::Reply::text(500, "oops"));
    server.on("POST", "/accepted", fakes::Reply::text(202, "later"));
    auto r = run("/denied", "a=1");
    EXPECT_EQ(sharer->calls, 1);
    EXPECT_FALSE(r->success());
    EXPECT_EQ(r->response()->statusCode(), 401);
    EXPECT_EQ(r->headers().at("x-reason"), "password");
    EXPECT_EQ(r->getResult(), "bad login");

    sharer->calls = 0;
    r = run("/broken", "a=1");
    EXPECT_EQ(sharer->calls, 1);
    EXPECT_FALSE(r->success());
    EXPECT_EQ(r->response()->statusCode(), 500);
    EXPECT_EQ(r->getResult(), "oops");

    sharer->calls = 0;
    r = run("/accepted", "a=1");
    EXPECT_FALSE(r->success());  // only 200 and 201 count
}

TEST_F(SHRRequestTest, ARefusedConnectionFailsOnceWithoutResponse) {
    fakes::RefusedPort refused;
    auto r = SHRRequest::requestWithURL(net::URL(refused.url()), "a=1", sharer, &FakeSharer::finished, "POST", true);
    base::RunLoop::main().runUntil([&] { return sharer->calls > 0; }, 10);
    base::RunLoop::main().runUntil([] { return false; }, 0.1);
    EXPECT_EQ(sharer->calls, 1);
    EXPECT_FALSE(r->success());
    EXPECT_FALSE(r->response());
    EXPECT_EQ(r->getResult(), "");
}

TEST_F(SHRRequestTest, AnAnswerCutShortIsAFailureWithoutAnswer) {
    server.on("POST", "/cut", fakes::Reply::cutShort("created" + std::string(5000, '.'), 7));
    auto r = run("/cut", "a=1");
    EXPECT_EQ(sharer->calls, 1);
    EXPECT_FALSE(r->success());
    EXPECT_FALSE(r->response());
    EXPECT_EQ(r->getResult(), "");
}

TEST_F(SHRRequestTest, WithoutParametersItIsAGetWithoutBody) {
    server.on("GET", "/token", fakes::Reply::text(200, "tok"));
    auto r = run("/token?ck=12", std::nullopt, "POST");
    EXPECT_TRUE(r->success());
    auto sent = server.lastRequest();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->method, "GET");
    EXPECT_EQ(sent->query, "ck=12");
    EXPECT_EQ(sent->body, "");
    EXPECT_FALSE(sent->hasHeader("Content-Length"));
}

TEST_F(SHRRequestTest, SendsEveryByteOfANonASCIIBodyAndTheHeaderFields) {
    server.on("POST", "/add", fakes::Reply::text(200, "ok"));
    const std::string body =
        "status=Gr\xC3\xBC\xC3\x9F"
        "e%20\xE2\x9C\x93 \xF0\x9F\x98\x80";
    auto request =
        SHRRequest::requestWithURL(net::URL(server.url("/add")), body, sharer, &FakeSharer::finished, "POST", false);
    request->setHeaderFields(
        std::map<std::string, std::string>{{"Authorization", "GoogleLogin auth=x"}, {"Cookie", "SID=1"}});
    request->start();
    base::RunLoop::main().runUntil([&] { return sharer->calls > 0; }, 10);
    auto sent = server.lastRequest();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->method, "POST");
    EXPECT_EQ(sent->body, body);
    EXPECT_EQ(sent->header("Content-Length"), std::to_string(body.size()));
    EXPECT_EQ(sent->header("Authorization"), "GoogleLogin auth=x");
    EXPECT_EQ(sent->header("Cookie"), "SID=1");
    EXPECT_EQ(sent->header("Cache-Control"), "no-cache");
}

TEST_F(SHRRequestTest, ReadsTheBodyAsUTF8) {
    server.on("GET", "/text", fakes::Reply::text(200, "caf\xC3\xA9 \xFF end"));
    auto r = run("/text", std::nullopt);
    EXPECT_EQ(r->getResult(), "caf\xC3\xA9 \xEF\xBF\xBD end");
    EXPECT_EQ(r->data().size(), 11u);
}

TEST_F(SHRRequestTest, MemberActionsOfADerivedDelegate) {
    server.on("GET", "/a", fakes::Reply::text(200, "x"));
    auto derived = std::make_shared<DerivedSharer>();
    std::shared_ptr<FakeSharer> asBase = derived;
    auto r = SHRRequest::requestWithURL(net::URL(server.url("/a")), std::nullopt, asBase, &DerivedSharer::authFinished,
                                        "GET", true);
    base::RunLoop::main().runUntil([&] { return derived->own > 0; }, 10);
    EXPECT_EQ(derived->own, 1);
    EXPECT_EQ(derived->calls, 0);
}

TEST_F(SHRRequestTest, AGoneDelegateHearsNothing) {
    server.on("GET", "/slow", fakes::Reply::text(200, "x").after(0.2));
    int calls = 0;
    std::shared_ptr<SHRRequest> r;
    {
        auto shortLived = std::make_shared<int>(0);
        r = SHRRequest::requestWithURL(
            net::URL(server.url("/slow")), std::nullopt, shortLived, [&](SHRRequest&) { ++calls; }, "GET", true);
    }
    base::RunLoop::main().runUntil([&] { return r->isFinished(); }, 10);
    EXPECT_TRUE(r->isFinished());
    EXPECT_TRUE(r->success());
    EXPECT_EQ(calls, 0);
}

TEST_F(SHRRequestTest, AURLNoConnectionCanCarryFailsOnTheNextTurn) {
    auto r = SHRRequest::requestWithURL(net::URL("ftp://127.0.0.1/file"), "a=1", sharer, &FakeSharer::finished, "POST",
                                        true);
    EXPECT_EQ(sharer->calls, 0);  // not from inside start()
    base::RunLoop::main().runUntil([&] { return sharer->calls > 0; }, 5);
    EXPECT_EQ(sharer->calls, 1);
    EXPECT_FALSE(r->success());
    EXPECT_FALSE(r->connection());
}

}  // namespace
