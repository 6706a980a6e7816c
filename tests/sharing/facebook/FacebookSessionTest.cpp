#include "FacebookTestSupport.h"

using namespace fbtest;

namespace {

class FacebookSessionTest : public FacebookTest {
protected:
    std::shared_ptr<Facebook> session_ = Facebook::create("584019276341");
    std::shared_ptr<SessionRecorder> recorder_ = std::make_shared<SessionRecorder>();
};

TEST_F(FacebookSessionTest, LoginRunsInTheInAppDialogWithTheAuthorizationParameters) {
    // The device multitasks, but no browser can hand an answer back here.
    ASSERT_TRUE(ui::Device::currentDevice().isMultitaskingSupported());
    ASSERT_FALSE(app().canReceiveOwnURLScheme());
    session_->authorize({"publish_stream", "offline_access"}, recorder_);
    EXPECT_TRUE(app().openedURLs().empty());
    auto dialog = shownDialog();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(std::dynamic_pointer_cast<FBLoginDialog>(dialog));
    ASSERT_TRUE(waitFor([&] { return !fb_.requestsTo("/dialog/oauth").empty(); }));
    auto page = fb_.requestsTo("/dialog/oauth").at(0);
    EXPECT_EQ(page.method, "GET");
    EXPECT_EQ(page.queryItems(), (std::map<std::string, std::string>{{"client_id", "584019276341"},
                                                                     {"type", "user_agent"},
                                                                     {"redirect_uri", "fbconnect://success"},
                                                                     {"display", "touch"},
                                                                     {"sdk", "2"},
                                                                     {"scope", "publish_stream,offline_access"}}));
    // A local identifier goes along and changes the answer's address.
    session_->authorize({}, recorder_, std::string("free"));
    EXPECT_EQ(session_->getOwnBaseUrl(), "fb584019276341free://authorize");
    ASSERT_TRUE(waitFor([&] { return fb_.requestsTo("/dialog/oauth").size() == 2; }));
    auto second = fb_.requestsTo("/dialog/oauth").at(1).queryItems();
    EXPECT_EQ(second.at("local_client_id"), "free");
    EXPECT_EQ(second.count("scope"), 0u);
}

TEST_F(FacebookSessionTest, WhenTheAnswerCanComeBackTheLoginTriesTheAppThenTheBrowser) {
    app().setCanReceiveOwnURLScheme(true);
    std::vector<std::string> offered;
    bool browserTakes = true;
    app().setURLOpener([&](const std::string& url) {
        offered.push_back(url);
        return url.rfind("http", 0) == 0 && browserTakes;
    });
    session_->authorize({"publish_stream"}, recorder_);
    ASSERT_EQ(offered.size(), 2u);
    EXPECT_EQ(offered[0],
              "fbauth://authorize?client_id=584019276341&type=user_agent&redirect_uri=fbconnect%3A%2F%2Fsuccess&"
              "display=touch&sdk=2&scope=publish_stream");
    EXPECT_EQ(offered[1],
              "http://127.0.0.1:" + port() +
                  "/dialog/oauth?client_id=584019276341&type=user_agent&redirect_uri=fb584019276341%3A%2F%2F"
                  "authorize&display=touch&sdk=2&scope=publish_stream");
    EXPECT_FALSE(shownDialog());

    // Nobody takes either: the in-app dialog after all.
    browserTakes = false;
    session_->authorize({"publish_stream"}, recorder_);
    EXPECT_TRUE(shownDialog());
}

TEST_F(FacebookSessionTest, TheAnswerOfOurOwnSchemeLogsIn) {
    session_->setSessionDelegate(recorder_);
    EXPECT_TRUE(session_->handleOpenURL("fb584019276341://authorize#access_token=abc%2Fd&expires_in=3600"));
    EXPECT_EQ(recorder_->events, (std::vector<std::string>{"login"}));
    EXPECT_EQ(session_->accessToken(), "abc/d");
    ASSERT_TRUE(session_->expirationDate());
    EXPECT_NEAR(session_->expirationDate()->timeIntervalSinceNow(), 3600, 1);
    EXPECT_TRUE(session_->isSessionValid());
    advance(3601);
    EXPECT_FALSE(session_->isSessionValid());

    // No lifetime, or 0, never expires; the query serves when there is no fragment.
    EXPECT_TRUE(session_->handleOpenURL("fb584019276341://authorize?access_token=t2&expires_in=0"));
    EXPECT_EQ(session_->accessToken(), "t2");
    EXPECT_EQ(*session_->expirationDate(), base::Date::distantFuture());
    EXPECT_TRUE(session_->handleOpenURL("fb584019276341://authorize#access_token=t3"));
    EXPECT_EQ(*session_->expirationDate(), base::Date::distantFuture());
}

TEST_F(FacebookSessionTest, OtherURLsAreRefusedAndChangeNothing) {
    session_->setSessionDelegate(recorder_);
    for (const char* url : {"fb111111111111://authorize#access_token=x", "http://example.com/#access_token=x",
                            "fb584019276341://other#access_token=x", "tolvek://authorize#access_token=x", ""}) {
        SCOPED_TRACE(url);
        EXPECT_FALSE(session_->handleOpenURL(url));
    }
    EXPECT_TRUE(recorder_->events.empty());
    EXPECT_FALSE(session_->accessToken());
}

TEST_F(FacebookSessionTest, RefusedLoginsAreCancellationsOnlyWithoutAnErrorCode) {
    session_->setSessionDelegate(recorder_);
    EXPECT_TRUE(session_->handleOpenURL("fb584019276341://authorize#error=access_denied"));
    EXPECT_TRUE(session_->handleOpenURL("fb584019276341://authorize#error=access_denied&error_code=200"));
    EXPECT_TRUE(session_->handleOpenURL("fb584019276341://authorize?error=unknown_failure"));
    EXPECT_TRUE(session_->handleOpenURL("fb584019276341://authorize"));
    EXPECT_EQ(recorder_->events,
              (std::vector<std::string>{"not-login:cancelled", "not-login", "not-login", "not-login:cancelled"}));
    EXPECT_FALSE(session_->accessToken());

    // A login the service will not take here starts again in the dialog.
    recorder_->events.clear();
    EXPECT_TRUE(session_->handleOpenURL("fb584019276341://authorize#error=service_disabled"));
    EXPECT_TRUE(recorder_->events.empty());
    EXPECT_TRUE(shownDialog());
}

TEST_F(FacebookSessionTest, URLParametersAreSplitAndUnescaped) {
    EXPECT_EQ(Facebook::parseURLParams("a=1&b=x%20y&a=2&junk&c=p=q&d=%ZZ"),
              (std::map<std::string, std::string>{{"a", "2"}, {"b", "x y"}, {"c", "p"}, {"d", "%ZZ"}}));
    EXPECT_TRUE(Facebook::parseURLParams(std::nullopt).empty());
    EXPECT_TRUE(Facebook::parseURLParams(std::string()).empty());
}

TEST_F(FacebookSessionTest, LogoutExpiresTheSessionAndDropsTheLoginCookies) {
    auto session = loggedInSession("tok/9");
    net::Cookie cookie;
    cookie.name = "login";
    cookie.value = "1";
    cookie.domain = "127.0.0.1";
    net::CookieStorage::sharedHTTPCookieStorage().setCookie(cookie);
    ASSERT_FALSE(net::CookieStorage::sharedHTTPCookieStorage().cookiesForURL(Facebook::loginHostURL()).empty());
    session->logout(recorder_);
    EXPECT_EQ(recorder_->events, (std::vector<std::string>{"logout"}));
    EXPECT_FALSE(session->accessToken());
    EXPECT_FALSE(session->expirationDate());
    EXPECT_FALSE(session->isSessionValid());
    EXPECT_TRUE(net::CookieStorage::sharedHTTPCookieStorage().cookiesForURL(Facebook::loginHostURL()).empty());
    ASSERT_TRUE(waitFor([&] { return !fb_.requestsTo("/method/auth.expireSession").empty(); }));
    auto expire = fb_.requestsTo("/method/auth.expireSession").at(0);
    EXPECT_EQ(expire.method, "GET");
    EXPECT_EQ(expire.queryItems().at("access_token"), "tok/9");
    EXPECT_EQ(expire.queryItems().at("format"), "json");
}

TEST_F(FacebookSessionTest, PlainDialogsCarryTheApplicationAndTheUnescapedToken) {
    auto session = loggedInSession("a%2Bb");
    auto dialogDelegate = std::make_shared<DialogRecorder>();
    // The page is served before the dialog starts loading it.
    fb_.server().on("GET", "/dialog/feed", fakes::Reply::text(200, "<html><title>Post</title></html>", "text/html"));
    session->dialog("feed", FBParams{{"message", "hi"}}, dialogDelegate);
    ASSERT_TRUE(session->fbDialog());
    EXPECT_FALSE(std::dynamic_pointer_cast<FBLoginDialog>(session->fbDialog()));
    ASSERT_TRUE(waitFor([&] { return !fb_.requestsTo("/dialog/feed").empty(); }));
    EXPECT_EQ(fb_.requestsTo("/dialog/feed").at(0).queryItems(),
              (std::map<std::string, std::string>{{"message", "hi"},
                                                  {"display", "touch"},
                                                  {"sdk", "2"},
                                                  {"redirect_uri", "fbconnect://success"},
                                                  {"app_id", "584019276341"},
                                                  {"access_token", "a+b"}}));
    ASSERT_TRUE(waitFor([&] { return session->fbDialog()->title() == "Post"; }));
    session->dialog("oauth", dialogDelegate);
    EXPECT_TRUE(std::dynamic_pointer_cast<FBLoginDialog>(session->fbDialog()));
}

}  // namespace
