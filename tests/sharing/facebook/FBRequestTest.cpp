#include "FacebookTestSupport.h"

using namespace fbtest;

namespace {

class FBRequestTest : public FacebookTest {};

TEST_F(FBRequestTest, APostToTheFeedCarriesItsTextsInTheQueryAndTheMultipartBody) {
    auto session = loggedInSession("tok/1");
    auto recorder = std::make_shared<RequestRecorder>();
    FBParams params{{"message", "Hi there & more"}, {"actions", "{\"name\":\"x\"}"}};
    auto request = session->requestWithGraphPath("me/feed", params, "POST", recorder);
    ASSERT_TRUE(request);
    EXPECT_TRUE(request->loading());
    ASSERT_TRUE(waitFor([&] { return recorder->done(); }));
    EXPECT_EQ(recorder->events, (std::vector<std::string>{"loading", "response", "load"}));

    auto sent = fb_.requestsTo("/me/feed");
    ASSERT_EQ(sent.size(), 1u);
    const auto& r = sent[0];
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(r.query,
              "message=Hi%20there%20%26%20more&actions=%7B%22name%22%3A%22x%22%7D&format=json&sdk=ios&sdk_version=2&"
              "access_token=tok%2F1");
    EXPECT_EQ(r.header("User-Agent"), "FacebookConnect");
    ASSERT_TRUE(request->sentRequestForTesting());
    EXPECT_EQ(request->sentRequestForTesting()->timeoutInterval(), 180);
    EXPECT_EQ(request->sentRequestForTesting()->cachePolicy(), net::CachePolicy::ReloadIgnoringLocalCacheData);
    EXPECT_EQ(r.header("Content-Type"), "multipart/form-data; boundary=" + boundary());
    const std::string B = boundary();
    auto part = [&](const std::string& name, const std::string& value) {
        return "Content-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value + "\r\n--" + B + "\r\n";
    };
    // No closing delimiter ("--" after the last boundary) is written.
    EXPECT_EQ(r.body, "--" + B + "\r\n" + part("message", "Hi there & more") + part("actions", "{\"name\":\"x\"}") +
                          part("format", "json") + part("sdk", "ios") + part("sdk_version", "2") +
                          part("access_token", "tok/1"));

    // The answer is parsed; the request lets its connection go.
    ASSERT_TRUE(std::holds_alternative<VXJsonValue>(*recorder->result));
    EXPECT_EQ(*std::get<VXJsonValue>(*recorder->result)["id"].asString(), "100_200");
    EXPECT_FALSE(request->loading());
    EXPECT_FALSE(request->responseText());
}

TEST_F(FBRequestTest, AnImageTravelsAsAPngFilePartAfterTheTexts) {
    auto session = loggedInSession();
    auto recorder = std::make_shared<RequestRecorder>();
    gfx::ImageContext context(gfx::Size(3, 2), 1);
    context.setFillColor(gfx::Color::rgb(1, 0, 0, 1));
    context.fillRect(ui::Rect(0, 0, 3, 2));
    FBParams params;
    params.set("source", context.image());
    params.set("message", "A photo");
    params.set("blob", base::Data{'a', 0, 'b'});
    session->requestWithGraphPath("me/photos", params, "POST", recorder);
    ASSERT_TRUE(waitFor([&] { return recorder->done(); }));
    auto r = fb_.requestsTo("/me/photos").at(0);
    EXPECT_EQ(r.queryItems().count("source"), 0u);
    EXPECT_EQ(r.queryItems().at("message"), "A photo");
    auto parts = r.multipart();
    ASSERT_EQ(parts.size(), 7u);
    EXPECT_EQ(parts[0].name, "message");
    EXPECT_EQ(parts[5].filename, "source");
    EXPECT_EQ(parts[5].name, "");
    EXPECT_EQ(parts[5].contentType, "image/png");
    auto png = gfx::Image::decodePNG(base::Data(parts[5].body.begin(), parts[5].body.end()));
    ASSERT_TRUE(png);
    EXPECT_EQ(png->width(), 3);
    EXPECT_EQ(parts[6].filename, "blob");
    EXPECT_EQ(parts[6].contentType, "content/unknown");
    EXPECT_EQ(parts[6].body, std::string("a\0b", 3));
}

TEST_F(FBRequestTest, SerializingEscapesValuesAndLeavesFilesOut) {
    LogCapture log;
    FBParams params{{"q", "a b!*'();:@&=+$,/?%#[]"}};
    params.set("picture", base::Data{1, 2});
    EXPECT_EQ(FBRequest::serializeURL("https://g.test/me", params, "GET"),
              "https://g.test/me?q=a%20b%21%2A%27%28%29%3B%3A%40%26%3D%2B%24%2C%2F%3F%25%23%5B%5D");
    EXPECT_TRUE(log.contains("can not use GET to upload a file"));
    log.lines.clear();
    EXPECT_EQ(FBRequest::serializeURL("https://g.test/me", params, "POST").find("picture"), std::string::npos);
    EXPECT_FALSE(log.contains("can not use GET"));
    EXPECT_EQ(FBRequest::serializeURL("https://g.test/me", FBParams()), "https://g.test/me?");
    EXPECT_EQ(FBRequest::serializeURL("https://g.test/me?x=1", FBParams{{"y", "2"}}), "https://g.test/me?x=1&y=2");
}

TEST_F(FBRequestTest, AGetWithAFileLogsAndSendsWithoutIt) {
    LogCapture log;
    auto session = loggedInSession();
    auto recorder = std::make_shared<RequestRecorder>();
    fb_.server().on("GET", "/me", fakes::Reply::text(200, "{\"name\":\"Anna\"}"));
    FBParams params{{"fields", "name"}};
    params.set("source", base::Data{1, 2, 3});
    session->requestWithGraphPath("me", params, recorder);
    ASSERT_TRUE(waitFor([&] { return recorder->done(); }));
    EXPECT_TRUE(log.contains("can not use GET to upload a file"));
    auto r = fb_.requestsTo("/me").at(0);
    EXPECT_EQ(r.method, "GET");
    EXPECT_EQ(r.query.find("source"), std::string::npos);
    EXPECT_EQ(r.body, "");
    EXPECT_EQ(r.queryItems().at("fields"), "name");
}

// Each answer of the service and what the delegate hears of it.
TEST_F(FBRequestTest, AnswersBecomeResultsOrErrors) {
    struct Case {
        fakes::Reply reply;
        bool loads;
        long code;
        std::string message;
    };
    const std::vector<Case> cases = {
        {fakes::Reply::text(200, "true"), true, 0, ""},
        {fakes::Reply::text(200, "false"), false, 10000, "This operation can not be completed"},
        {fakes::Reply::text(200, "{\"error\":{\"type\":\"OAuthException\",\"message\":\"Bad token\"}}"), false, 10000,
         "Bad token"},
        {fakes::Reply::text(200, "{\"error_code\":190,\"error_msg\":\"Session expired\"}"), false, 190,
         "Session expired"},
        {fakes::Reply::text(200, "{\"error_reason\":\"user_denied\",\"id\":5}"), false, 10000, "user_denied"},
        // An error page: the status says it failed, whatever the body is.
        {fakes::Reply::text(500, "<html><body>Internal Server Error</body></html>", "text/html"), false, 10000,
         "The service answered with status 500."},
        {fakes::Reply::text(400, "{\"error_code\":100,\"error_msg\":\"Invalid parameter\"}"), false, 100,
         "Invalid parameter"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply.body);
        fb_.setFeedReply(c.reply);
        auto recorder = std::make_shared<RequestRecorder>();
        loggedInSession()->requestWithGraphPath("me/feed", FBParams{{"message", "m"}}, "POST", recorder);
        ASSERT_TRUE(waitFor([&] { return recorder->done(); }));
        EXPECT_EQ(recorder->result.has_value(), c.loads);
        ASSERT_TRUE(recorder->raw);  // the raw answer always comes first
        EXPECT_EQ(std::string(recorder->raw->begin(), recorder->raw->end()), c.reply.body);
        if (c.loads) {
            EXPECT_EQ(*std::get<VXJsonValue>(*recorder->result)["result"].asString(), "true");
            continue;
        }
        ASSERT_TRUE(recorder->error);
        EXPECT_EQ(recorder->error->domain(), "facebookErrDomain");
        EXPECT_EQ(recorder->error->code(), c.code);
        EXPECT_EQ(recorder->error->localizedDescription(), c.message);
        EXPECT_EQ(std::count(recorder->events.begin(), recorder->events.end(), "load"), 0);
    }
}

TEST_F(FBRequestTest, TextThatIsNotJsonReachesTheDelegateAsRawDataAndArraysAsTheyAre) {
    FBRequest request;
    std::optional<net::Error> error;
    EXPECT_FALSE(request.parseJsonResponse(base::Data{'n', 'o', 'p', 'e'}, &error));
    EXPECT_FALSE(error);
    auto array = request.parseJsonResponse(base::Data{'[', '1', ',', '2', ']'}, &error);
    ASSERT_TRUE(array && array->isArray());
    EXPECT_FALSE(error);
    // Without a place for the error the error cases just give nothing.
    EXPECT_FALSE(request.parseJsonResponse(base::Data{'f', 'a', 'l', 's', 'e'}, nullptr));

    fb_.setFeedReply(fakes::Reply::text(200, "id=12"));
    auto recorder = std::make_shared<RequestRecorder>();
    loggedInSession()->requestWithGraphPath("me/feed", FBParams(), "POST", recorder);
    ASSERT_TRUE(waitFor([&] { return recorder->done(); }));
    ASSERT_TRUE(recorder->result);
    ASSERT_TRUE(std::holds_alternative<base::Data>(*recorder->result));
    EXPECT_EQ(std::get<base::Data>(*recorder->result), (base::Data{'i', 'd', '=', '1', '2'}));
}

TEST_F(FBRequestTest, RestCallsNeedAMethodAndConnectionFailuresPassUnchanged) {
    LogCapture log;
    auto session = loggedInSession();
    auto recorder = std::make_shared<RequestRecorder>();
    EXPECT_FALSE(session->requestWithParams(FBParams{{"x", "1"}}, recorder));
    EXPECT_TRUE(log.contains("API Method must be specified"));
    EXPECT_EQ(fb_.server().requestCount(), 0u);

    fb_.server().on("GET", "/method/users.getInfo", fakes::Reply::text(200, "[{\"uid\":1}]"));
    auto request = session->requestWithParams(FBParams{{"method", "users.getInfo"}, {"uids", "1"}}, recorder);
    ASSERT_TRUE(request);
    ASSERT_TRUE(waitFor([&] { return recorder->done(); }));
    auto r = fb_.requestsTo("/method/users.getInfo").at(0);
    EXPECT_EQ(r.method, "GET");
    EXPECT_EQ(r.queryItems().count("method"), 0u);
    EXPECT_EQ(r.queryItems().at("uids"), "1");
    EXPECT_EQ(r.queryItems().at("access_token"), "tok/1");

    // A session past its expiry sends no token.
    auto expired = loggedInSession();
    expired->setExpirationDate(base::Date::now().addingTimeInterval(-1));
    auto second = std::make_shared<RequestRecorder>();
    expired->requestWithMethodName("users.getInfo", FBParams(), "GET", second);
    ASSERT_TRUE(waitFor([&] { return second->done(); }));
    EXPECT_EQ(fb_.requestsTo("/method/users.getInfo").at(1).queryItems().count("access_token"), 0u);

    fakes::RefusedPort refused;
    net::Services::pointAtLoopbackForTesting("FacebookGraph", refused.port());
    auto failing = std::make_shared<RequestRecorder>();
    session->requestWithGraphPath("me/feed", FBParams(), "POST", failing);
    ASSERT_TRUE(waitFor([&] { return failing->done(); }));
    ASSERT_TRUE(failing->error);
    EXPECT_EQ(failing->error->domain(), net::URLErrorDomain);
}

}  // namespace
