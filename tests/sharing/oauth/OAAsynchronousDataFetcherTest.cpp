#include "sharing/oauth/OAAsynchronousDataFetcher.h"

#include <gtest/gtest.h>

#include <thread>

#include "TestEnvironment.h"
#include "fakes/HttpServer.h"
#include "platform/base/RunLoop.h"
#include "sharing/oauth/OADataFetcher.h"

namespace {

// Stands in for an OAuth sharer: keeps what each callback was given.
struct TokenClient {
    virtual ~TokenClient() = default;
    std::vector<std::string> events;
    std::optional<OAServiceTicket> ticket;
    std::string data;
    std::optional<net::Error> error;
    void didFinish(const OAServiceTicket& t, const base::Data& d) {
        events.push_back("finish");
        ticket = t;
        data.assign(d.begin(), d.end());
    }
    void didFail(const OAServiceTicket& t, const std::optional<net::Error>& e) {
        events.push_back("fail");
        ticket = t;
        error = e;
    }
};

class OAAsynchronousDataFetcherTest : public ::testing::Test {
protected:
    void SetUp() override { base::RunLoop::main(); }

    std::shared_ptr<OAMutableURLRequest> signedPost(const std::string& url) {
        auto r =
            std::make_shared<OAMutableURLRequest>(net::URL(url), std::make_shared<OAConsumer>("key", "secret"), nullptr,
                                                  std::nullopt, std::make_shared<OAPlaintextSignatureProvider>());
        r->setHTTPMethod("POST");
        r->setParameters({OARequestParameter("status", "caf\xC3\xA9 & more")});
        return r;
    }
    void fetch(std::shared_ptr<OAMutableURLRequest> request) {
        OAAsynchronousDataFetcher::asynchronousFetcherWithRequest(std::move(request), client, &TokenClient::didFinish,
                                                                  &TokenClient::didFail)
            ->start();
        base::RunLoop::main().runUntil([&] { return !client->events.empty(); }, 10);
        base::RunLoop::main().runUntil([] { return false; }, 0.05);
    }

    test::TempHome home;
    fakes::HttpServer server;
    std::shared_ptr<TokenClient> client = std::make_shared<TokenClient>();
};

TEST_F(OAAsynchronousDataFetcherTest, SignsSendsAndHandsOverTheBody) {
    server.on("POST", "/oauth/request_token", fakes::Reply::text(200, "oauth_token=abc&oauth_token_secret=def"));
    auto request = signedPost(server.url("/oauth/request_token"));
    fetch(request);  // nobody but the connection holds the fetcher
    EXPECT_EQ(client->events, (std::vector<std::string>{"finish"}));
    ASSERT_TRUE(client->ticket);
    EXPECT_TRUE(client->ticket->didSucceed());
    EXPECT_EQ(client->ticket->request(), request);
    ASSERT_TRUE(client->ticket->response());
    EXPECT_EQ(client->ticket->response()->statusCode(), 200);
    EXPECT_FALSE(client->ticket->body());  // the ticket carries no data
    EXPECT_EQ(client->data, "oauth_token=abc&oauth_token_secret=def");

    auto sent = server.lastRequest();
    ASSERT_TRUE(sent);
    EXPECT_TRUE(request->didPrepare());
    EXPECT_EQ(sent->header("Authorization"), *request->valueForHTTPHeaderField("Authorization"));
    EXPECT_EQ(sent->header("Authorization").rfind("OAuth realm=\"\", oauth_consumer_key=\"key\"", 0), 0u);
    EXPECT_NE(sent->header("Authorization").find("oauth_signature=\"secret%26\""), std::string::npos);
    EXPECT_EQ(sent->form().at("status"), "caf\xC3\xA9 & more");
    EXPECT_EQ(sent->header("Content-Type"), "application/x-www-form-urlencoded");
}

TEST_F(OAAsynchronousDataFetcherTest, StatusesFrom400AndRedirectsNotFollowedAreFinishedButNotSucceeded) {
    server.on("POST", "/deny", fakes::Reply::text(401, "oauth_problem=signature_invalid"));
    server.on("POST", "/created", fakes::Reply::text(201, "made"));
    fetch(signedPost(server.url("/deny")));
    EXPECT_EQ(client->events, (std::vector<std::string>{"finish"}));
    EXPECT_FALSE(client->ticket->didSucceed());
    EXPECT_EQ(client->data, "oauth_problem=signature_invalid");

    client->events.clear();
    fetch(signedPost(server.url("/created")));
    EXPECT_TRUE(client->ticket->didSucceed());

    // A redirect with an empty address is reported as it came, unfollowed:
    // the service took nothing, so it is no success, sent either way.
    fakes::RawServer nowhere("HTTP/1.1 302 Found\r\nLocation:\r\nContent-Length: 0\r\n\r\n", "", 0);
    client->events.clear();
    fetch(signedPost(nowhere.url("/status")));
    EXPECT_EQ(client->events, (std::vector<std::string>{"finish"}));
    ASSERT_TRUE(client->ticket->response());
    EXPECT_EQ(client->ticket->response()->statusCode(), 302);
    EXPECT_FALSE(client->ticket->didSucceed());

    std::optional<OAServiceTicket> syncTicket;
    auto request = signedPost(nowhere.url("/status"));
    std::thread([&] {
        OADataFetcher fetcher;
        fetcher.fetchDataWithRequest(
            request, [&](const OAServiceTicket& t, const base::Data&) { syncTicket = t; },
            [&](const OAServiceTicket& t, const std::optional<net::Error>&) { syncTicket = t; });
    }).join();
    ASSERT_TRUE(syncTicket && syncTicket->response());
    EXPECT_EQ(syncTicket->response()->statusCode(), 302);
    EXPECT_FALSE(syncTicket->didSucceed());
}

TEST_F(OAAsynchronousDataFetcherTest, ANetworkFailureGoesToTheFailActionWithTheError) {
    server.on("POST", "/drop", fakes::Reply::close());
    fetch(signedPost(server.url("/drop")));
    EXPECT_EQ(client->events, (std::vector<std::string>{"fail"}));
    EXPECT_FALSE(client->ticket->didSucceed());
    EXPECT_FALSE(client->ticket->response());
    ASSERT_TRUE(client->error);
    EXPECT_EQ(client->error->domain(), net::URLErrorDomain);
}

TEST_F(OAAsynchronousDataFetcherTest, NoConnectionFailsAtOnceWithoutAnError) {
    auto fetcher = OAAsynchronousDataFetcher::asynchronousFetcherWithRequest(
        signedPost("ftp://127.0.0.1/nothing"), client, &TokenClient::didFinish, &TokenClient::didFail);
    fetcher->start();
    EXPECT_EQ(client->events, (std::vector<std::string>{"fail"}));  // already, inside start()
    EXPECT_FALSE(client->error);
    EXPECT_FALSE(client->ticket->didSucceed());
}

TEST_F(OAAsynchronousDataFetcherTest, ACancelledFetchReportsNothing) {
    server.on("POST", "/slow", fakes::Reply::text(200, "x").after(0.3));
    auto fetcher = OAAsynchronousDataFetcher::asynchronousFetcherWithRequest(
        signedPost(server.url("/slow")), client, &TokenClient::didFinish, &TokenClient::didFail);
    fetcher->start();
    ASSERT_TRUE(server.waitForRequests(1));
    fetcher->cancel();
    base::RunLoop::main().runUntil([] { return false; }, 0.8);
    EXPECT_TRUE(client->events.empty());
    EXPECT_FALSE(fetcher->connection());
}

TEST_F(OAAsynchronousDataFetcherTest, AGoneDelegateHearsNothing) {
    server.on("POST", "/x", fakes::Reply::text(200, "x").after(0.1));
    int calls = 0;
    std::weak_ptr<OAAsynchronousDataFetcher> weakFetcher;
    {
        auto gone = std::make_shared<int>(0);
        auto fetcher = OAAsynchronousDataFetcher::asynchronousFetcherWithRequest(
            signedPost(server.url("/x")), gone, [&](const OAServiceTicket&, const base::Data&) { ++calls; },
            [&](const OAServiceTicket&, const std::optional<net::Error>&) { ++calls; });
        fetcher->start();
        weakFetcher = fetcher;
    }
    base::RunLoop::main().runUntil([&] { return weakFetcher.expired(); }, 10);
    EXPECT_TRUE(weakFetcher.expired());  // released once the connection ended
    EXPECT_EQ(calls, 0);
}

TEST_F(OAAsynchronousDataFetcherTest, TheSynchronousTwinOnAWorkerThread) {
    server.on("POST", "/sync", fakes::Reply::text(500, "down"));
    std::vector<std::string> events;
    std::optional<net::Error> error;
    std::string body;
    bool succeeded = true;
    fakes::RefusedPort refused;
    std::thread worker([&] {
        OADataFetcher fetcher;
        auto finish = [&](const OAServiceTicket& t, const base::Data& d) {
            events.push_back("finish");
            succeeded = t.didSucceed();
            body.assign(d.begin(), d.end());
        };
        auto fail = [&](const OAServiceTicket&, const std::optional<net::Error>& e) {
            events.push_back("fail");
            error = e;
        };
        fetcher.fetchDataWithRequest(signedPost(server.url("/sync")), finish, fail);
        fetcher.fetchDataWithRequest(signedPost(refused.url()), finish, fail);
    });
    worker.join();
    EXPECT_EQ(events, (std::vector<std::string>{"finish", "fail"}));
    EXPECT_FALSE(succeeded);
    EXPECT_EQ(body, "down");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), net::URLErrorCode::CannotConnectToHost);
    EXPECT_TRUE(server.lastRequest()->hasHeader("Authorization"));
}

}  // namespace
