#include "OAuthTestSupport.h"
#include "sharing/core/SHRFormController.h"
#include "sharing/core/SHRRequest.h"
#include "sharing/services/delicious/SHRDelicious.h"

using namespace oauthtest;

namespace {

class SHRDeliciousTest : public OAuthTest {
protected:
    void SetUp() override {
        OAuthTest::SetUp();
        net::Services::pointAtLoopbackForTesting("DeliciousLogin", login_.port());
        net::Services::pointAtLoopbackForTesting("DeliciousAPI", api_.port());
        net::Services::pointAtLoopbackForTesting("SharingWebSite", callback_.port());
        defaults().setBool("SHRDelicious_shouldAutoShare", true);
    }
    std::shared_ptr<SHRItem> bookmark(bool shared) {
        auto item = SHRItem::URL(net::URL("http://example.com/a%20b?x=1"), "My page");
        item->setText("notes");
        item->setTags("fit push");
        item->setCustomValue(std::string(shared ? "1" : "0"), "shared");
        return item;
    }
    void storeToken(bool withHandle) {
        SHR::setAuthValue("old-key", "accessKey", "SHRDelicious");
        SHR::setAuthValue("old-secret", "accessSecret", "SHRDelicious");
        if (withHandle) SHR::setAuthValue("sh1", "sessionHandle", "SHRDelicious");
    }
    std::vector<fakes::RecordedRequest> requestsTo(const fakes::HttpServer& server, const std::string& path) {
        std::vector<fakes::RecordedRequest> out;
        for (auto& r : server.requests())
            if (r.path == path) out.push_back(r);
        return out;
    }
};

TEST_F(SHRDeliciousTest, TheWholeRoadFromTheRequestTokenToOneSavedBookmark) {
    Reports reports;
    login_.on("POST", "/oauth/v2/get_request_token",
              fakes::Reply::text(200, "oauth_token=req1&oauth_token_secret=rs1&oauth_callback_confirmed=true"));
    login_.on("GET", "/oauth/v2/request_auth", fakes::Reply::text(200, loginPage("req1"), "text/html"));
    const std::string callback = callback_.url("/oauthcallback?oauth_token=req1&oauth_verifier=ver1");
    login_.on("POST", "/login", fakes::Reply::text(302, "").withHeader("Location", callback));
    login_.on("POST", "/oauth/v2/get_token",
              fakes::Reply::text(200,
                                 "oauth_token=acc1&oauth_token_secret=as%261&oauth_session_handle=sh1&"
                                 "oauth_expires_in=3600")
                  .after(0.3));
    api_.on("GET", "/v2/posts/add", fakes::Reply::text(200, "<?xml version=\"1.0\"?>\n<result code=\"done\" />"));

    SHRSharer::shareItem("SHRDelicious", bookmark(true));
    EXPECT_EQ(indicatorText(), "Connecting...");

    // 1. The request token: POST, PLAINTEXT, no token, the callback as an extra parameter.
    ASSERT_TRUE(waitFor([&] { return oauthView() && oauthView()->webView()->textFieldNamed("username"); }));
    auto requestToken = requestsTo(login_, "/oauth/v2/get_request_token");
    ASSERT_EQ(requestToken.size(), 1u);
    EXPECT_EQ(requestToken[0].method, "POST");
    auto check = fakes::OAuthChecker::verify(requestToken[0], "http", "", "");
    ASSERT_TRUE(check.valid) << check.why;
    const std::string encodedCallback = fakes::OAuthChecker::encode(callback_.url("/oauthcallback"));
    EXPECT_EQ(requestToken[0].header("Authorization"),
              "OAuth realm=\"\", oauth_consumer_key=\"\", oauth_signature_method=\"PLAINTEXT\", "
              "oauth_signature=\"%26\", oauth_timestamp=\"" +
                  check.params["oauth_timestamp"] + "\", oauth_nonce=\"" + check.params["oauth_nonce"] +
                  "\", oauth_version=\"1.0\", oauth_callback=\"" + encodedCallback + "\"");
    EXPECT_EQ(check.params.count("oauth_token"), 0u);

    // 2. The authorize page, filled in and submitted by a person.
    auto page = requestsTo(login_, "/oauth/v2/request_auth");
    ASSERT_EQ(page.size(), 1u);
    EXPECT_EQ(page[0].query, "oauth_token=req1");
    advance(1);  // the page slides in
    auto view = oauthView();
    EXPECT_TRUE(app().isTextVisible("Tolvek would like to save to your account."));
    tapNamed("Name");
    app().typeText("anna");
    tapNamed("Password");
    app().typeText("pa ss");
    tapNamed("Allow");

    // 3. The redirect to the callback is caught (the page lets its delegate
    // go then): nothing reaches the callback host.
    ASSERT_TRUE(waitFor([&] { return !view->delegate(); }));
    EXPECT_EQ(indicatorText(), "Authenticating...");
    ASSERT_TRUE(waitFor([&] { return !requestsTo(login_, "/oauth/v2/get_token").empty(); }));
    EXPECT_EQ(
        requestsTo(login_, "/login").at(0).form(),
        (std::map<std::string, std::string>{{"oauth_token", "req1"}, {"username", "anna"}, {"password", "pa ss"}}));
    EXPECT_EQ(callback_.requestCount(), 0u);
    auto access = requestsTo(login_, "/oauth/v2/get_token").at(0);
    EXPECT_EQ(access.method, "POST");
    check = fakes::OAuthChecker::verify(access, "http", "", "rs1");
    ASSERT_TRUE(check.valid) << check.why;
    EXPECT_EQ(check.params["oauth_token"], "req1");
    EXPECT_EQ(check.params["oauth_verifier"], "ver1");
    EXPECT_EQ(check.params["oauth_signature_method"], "PLAINTEXT");

    // 4. The token is kept and the bookmark goes out, signed with HMAC-SHA1.
    ASSERT_TRUE(waitFor([&] { return reports.finished == 1; }));
    EXPECT_EQ(keychainValue("accessKey", "SHRDelicious"), "acc1");
    EXPECT_EQ(keychainValue("accessSecret", "SHRDelicious"), "as&1");
    EXPECT_EQ(keychainValue("sessionHandle", "SHRDelicious"), "sh1");
    auto add = api_.lastRequest();
    ASSERT_TRUE(add);
    EXPECT_EQ(add->method, "GET");
    EXPECT_EQ(
        add->query,
        "description=My%20page&extended=notes&shared=yes&tags=fit%20push&url=http%3A%2F%2Fexample.com%2Fa%20b%3Fx%3D1");
    check = fakes::OAuthChecker::verify(*add, "http", "", "as&1");
    ASSERT_TRUE(check.valid) << check.why;
    EXPECT_EQ(check.params["oauth_signature_method"], "HMAC-SHA1");
    EXPECT_EQ(check.params["oauth_token"], "acc1");

    advance(2);
    EXPECT_EQ(reports.order, (std::vector<std::string>{"start", "finish"}));
    EXPECT_FALSE(SHR::currentHelper().currentView());
    EXPECT_EQ(SHR::currentHelper().activeSharerCountForTesting(), 0u);
    EXPECT_FALSE(alert());
}

TEST_F(SHRDeliciousTest, TokenAnswersWithoutATokenAlertShowNoPageAndStoreNothing) {
    login_.on("POST", "/oauth/v2/get_request_token", fakes::Reply::text(200, "oauth_problem=consumer_key_rejected"));
    SHRSharer::shareItem("SHRDelicious", bookmark(false));
    ASSERT_TRUE(waitFor([&] { return alert() != nullptr; }));
    EXPECT_EQ(alert()->title(), "Request Error");
    EXPECT_EQ(alert()->message(), "There was a problem requesting authorization from Delicious");
    EXPECT_FALSE(SHR::currentHelper().currentView());
    EXPECT_TRUE(keychain_->items().empty());
    alert()->dismissWithClickedButtonIndex(0, false);
    advance(1);
    EXPECT_EQ(SHR::currentHelper().activeSharerCountForTesting(), 0u);

    // An access answer with a key but no secret is refused just the same.
    login_.on("POST", "/oauth/v2/get_token", fakes::Reply::text(200, "oauth_token=acc1"));
    auto sharer = std::dynamic_pointer_cast<SHRDelicious>(SHRSharer::create("SHRDelicious"));
    sharer->restoreAccessToken();
    sharer->setRequestToken(std::make_shared<OAToken>("req1", "rs1"));
    sharer->tokenAccess();
    ASSERT_TRUE(waitFor([&] { return alert() != nullptr; }));
    EXPECT_EQ(alert()->title(), "Access Error");
    EXPECT_EQ(alert()->message(), "There was a problem requesting access from Delicious");
    EXPECT_TRUE(keychain_->items().empty());
    EXPECT_FALSE(sharer->accessToken());
}

TEST_F(SHRDeliciousTest, AnExpiredTokenIsRenewedOnceAndASecondExpiryAsksForALogin) {
    Reports reports;
    storeToken(true);
    api_.once("GET", "/v2/posts/add", fakes::Reply::text(401, "oauth_problem=token_expired"));
    api_.on("GET", "/v2/posts/add", fakes::Reply::text(200, "<result code=\"done\" />"));
    login_.on("POST", "/oauth/v2/get_token",
              fakes::Reply::text(200, "oauth_token=new-key&oauth_token_secret=new-secret&oauth_session_handle=sh2"));
    SHRSharer::shareItem("SHRDelicious", bookmark(false));
    ASSERT_TRUE(waitFor([&] { return reports.finished + reports.failed > 0; }));
    advance(1);
    // The repeated send reports its start again; the share ends once.
    EXPECT_EQ(reports.order, (std::vector<std::string>{"start", "start", "finish"}));
    auto refresh = requestsTo(login_, "/oauth/v2/get_token");
    ASSERT_EQ(refresh.size(), 1u);
    auto check = fakes::OAuthChecker::verify(refresh[0], "http", "", "old-secret");
    ASSERT_TRUE(check.valid) << check.why;
    EXPECT_EQ(check.params["oauth_token"], "old-key");
    EXPECT_EQ(check.params["oauth_session_handle"], "sh1");
    EXPECT_EQ(check.params.count("oauth_verifier"), 0u);
    auto adds = requestsTo(api_, "/v2/posts/add");
    ASSERT_EQ(adds.size(), 2u);
    EXPECT_EQ(adds[0].query, adds[1].query);  // the same bookmark again
    EXPECT_TRUE(adds[0].query.find("shared=no") != std::string::npos);
    check = fakes::OAuthChecker::verify(adds[1], "http", "", "new-secret");
    ASSERT_TRUE(check.valid) << check.why;
    EXPECT_EQ(keychainValue("accessKey", "SHRDelicious"), "new-key");
    EXPECT_EQ(keychainValue("sessionHandle", "SHRDelicious"), "sh2");
    EXPECT_EQ(SHR::currentHelper().activeSharerCountForTesting(), 0u);

    // Expired again right after the renewal: one renewal only, then a login.
    api_.on("GET", "/v2/posts/add", fakes::Reply::text(401, "oauth_problem=token_expired"));
    login_.on("POST", "/oauth/v2/get_request_token", fakes::Reply::text(200, "oauth_problem=later"));
    SHRSharer::shareItem("SHRDelicious", bookmark(false));
    ASSERT_TRUE(waitFor([&] { return reports.failed == 1; }));
    EXPECT_EQ(requestsTo(login_, "/oauth/v2/get_token").size(), 2u);  // one more renewal
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->message(), "Could not authenticate you. Please relogin.");
    // ... and the login starts: a request token is asked for.
    ASSERT_TRUE(waitFor([&] { return !requestsTo(login_, "/oauth/v2/get_request_token").empty(); }));
    EXPECT_EQ(reports.finished, 1);
    // The login ends at the refused request token: its answer and alert come
    // now, not into whatever runs next.
    ASSERT_TRUE(waitFor([&] { return alert() && alert()->title() == "Request Error"; }));
}

TEST_F(SHRDeliciousTest, AFailedRenewalEndsTheSendAndAsksForALogin) {
    Reports reports;
    storeToken(false);
    api_.on("GET", "/v2/posts/add", fakes::Reply::text(401, "oauth_problem=token_expired"));
    login_.on("POST", "/oauth/v2/get_token", fakes::Reply::text(401, "oauth_problem=token_rejected"));
    login_.on("POST", "/oauth/v2/get_request_token", fakes::Reply::text(500, "down"));
    SHRSharer::shareItem("SHRDelicious", bookmark(false));
    ASSERT_TRUE(waitFor([&] { return reports.failed == 1; }));
    EXPECT_EQ(reports.order, (std::vector<std::string>{"start", "fail"}));
    // Without a stored session handle the renewal goes without one.
    auto refresh = requestsTo(login_, "/oauth/v2/get_token");
    ASSERT_EQ(refresh.size(), 1u);
    auto check = fakes::OAuthChecker::verify(refresh[0], "http", "", "old-secret");
    ASSERT_TRUE(check.valid) << check.why;
    EXPECT_EQ(check.params.count("oauth_session_handle"), 0u);
    // The login that follows runs (and here ends at its failed first step).
    ASSERT_TRUE(waitFor([&] { return alert() && alert()->title() == "Request Error"; }));
    alert()->dismissWithClickedButtonIndex(0, false);
    advance(2);
    EXPECT_EQ(SHR::currentHelper().activeSharerCountForTesting(), 0u);
}

TEST_F(SHRDeliciousTest, CallbackQueriesStoredTokensLogoutAndTheForm) {
    auto query = SHROAuthView::queryParameters(
        net::URL("http://cb.test/oauthcallback?oauth_token=a%2B&oauth_verifier=v&junk&c=d=e&e="));
    ASSERT_TRUE(query);
    EXPECT_EQ(*query,
              (std::map<std::string, std::string>{{"oauth_token", "a%2B"}, {"oauth_verifier", "v"}, {"e", ""}}));
    EXPECT_FALSE(SHROAuthView::queryParameters(net::URL("http://cb.test/oauthcallback")));

    // Stored key and secret skip the exchange; one of them missing does not.
    storeToken(true);
    EXPECT_TRUE(SHRSharer::isServiceAuthorized("SHRDelicious"));
    SHR::removeAuthValueForKey("accessSecret", "SHRDelicious");
    EXPECT_FALSE(SHRSharer::isServiceAuthorized("SHRDelicious"));
    storeToken(true);

    auto& cookies = net::CookieStorage::sharedHTTPCookieStorage();
    net::Cookie loginCookie;
    loginCookie.name = "sid";
    loginCookie.value = "1";
    loginCookie.domain = "127.0.0.1";
    net::Cookie other = loginCookie;
    other.name = "keep";
    other.domain = "other.test";
    cookies.setCookie(loginCookie);
    cookies.setCookie(other);
    SHR::logoutOfService("SHRDelicious");
    EXPECT_FALSE(keychainValue("accessKey", "SHRDelicious"));
    EXPECT_FALSE(keychainValue("accessSecret", "SHRDelicious"));
    EXPECT_FALSE(keychainValue("sessionHandle", "SHRDelicious"));
    ASSERT_EQ(cookies.cookies().size(), 1u);
    EXPECT_EQ(cookies.cookies()[0].name, "keep");

    auto sharer = SHRSharer::create("SHRDelicious");
    EXPECT_EQ(sharer->sharerTitle(), "Delicious");
    EXPECT_TRUE(sharer->canShareURL());
    EXPECT_FALSE(sharer->canShareText());
    sharer->setItem(bookmark(false));
    auto fields = sharer->shareFormFieldsForType(SHRShareTypeURL);
    ASSERT_EQ(fields.size(), 4u);
    EXPECT_EQ(fields[0]->key(), "title");
    EXPECT_EQ(fields[1]->key(), "tags");
    EXPECT_EQ(fields[2]->key(), "text");
    EXPECT_EQ(fields[3]->key(), "shared");
    EXPECT_EQ(fields[3]->type(), SHRFormFieldTypeSwitch);
    EXPECT_TRUE(sharer->shareFormFieldsForType(SHRShareTypeText).empty());
}

TEST_F(SHRDeliciousTest, CancellingThePageLeavesTheShareUnsentAndLetsTheSharerGo) {
    Reports reports;
    login_.on("POST", "/oauth/v2/get_request_token",
              fakes::Reply::text(200, "oauth_token=req1&oauth_token_secret=rs1"));
    login_.on("GET", "/oauth/v2/request_auth", fakes::Reply::text(200, loginPage("req1"), "text/html"));
    SHRSharer::shareItem("SHRDelicious", bookmark(false));
    ASSERT_TRUE(waitFor([&] { return oauthView() && !oauthView()->webView()->isLoading(); }));
    advance(1);
    tapNamed("Cancel");
    advance(2);
    EXPECT_FALSE(SHR::currentHelper().currentView());
    EXPECT_TRUE(reports.order.empty());
    EXPECT_FALSE(alert());
    EXPECT_EQ(SHR::currentHelper().activeSharerCountForTesting(), 0u);
    EXPECT_EQ(api_.requestCount(), 0u);
}

}  // namespace

namespace {

// Records what the authorize page tells its delegate.
class PageDelegate : public SHROAuthViewDelegate {
public:
    std::optional<net::URL> callback;
    std::vector<bool> outcomes;
    std::vector<std::string> errors;
    std::optional<std::map<std::string, std::string>> query;
    int cancelled = 0;
    void tokenAuthorizeView(SHROAuthView&, bool success, const std::optional<std::map<std::string, std::string>>& q,
                            const std::optional<net::Error>& error) override {
        outcomes.push_back(success);
        query = q;
        errors.push_back(error ? error->localizedDescription() : "");
    }
    void tokenAuthorizeCancelledView(SHROAuthView&) override { ++cancelled; }
    std::optional<net::URL> authorizeCallbackURL() const override { return callback; }
};

class SHROAuthViewTest : public OAuthTest {};

TEST_F(SHROAuthViewTest, APINPageOnTheTwitterSiteAndAFailedLoadAreFailuresAQueryLessCallbackASuccess) {
    auto delegate = std::make_shared<PageDelegate>();
    delegate->callback = net::URL(callback_.url("/cb"));
    net::Services::pointAtLoopbackForTesting("TwitterWeb", login_.port());
    login_.on("GET", "/oauth/authorize",
              fakes::Reply::text(200, "<p>Enter this PIN</p><div id='oauth_pin'><code>1234</code></div>", "text/html"));
    auto view = SHROAuthView::create(net::URL(login_.url("/oauth/authorize?oauth_token=t")), delegate);
    view->view();
    ASSERT_TRUE(waitFor([&] { return !delegate->outcomes.empty(); }));
    EXPECT_FALSE(delegate->outcomes[0]);
    EXPECT_EQ(delegate->errors[0],
              "Your SHRTwitter config is incorrect.  You must set your application type to Browser and define a "
              "callback url.  See SHRConfig for more details");
    EXPECT_FALSE(view->spinner()->isAnimating());

    // The same page elsewhere, or with an empty PIN element, is just a page.
    login_.on("GET", "/other", fakes::Reply::text(200, "<div id='oauth_pin'></div>", "text/html"));
    view = SHROAuthView::create(net::URL(login_.url("/other")), delegate);
    ASSERT_TRUE(waitFor([&] { return !view->webView()->isLoading(); }));
    advance(0.1);
    EXPECT_EQ(delegate->outcomes.size(), 1u);

    // A page that cannot be loaded is a failure with the loading error.
    fakes::RefusedPort refused;
    view = SHROAuthView::create(net::URL(refused.url("/oauth/authorize")), delegate);
    ASSERT_TRUE(waitFor([&] { return delegate->outcomes.size() == 2; }));
    EXPECT_FALSE(delegate->outcomes[1]);
    EXPECT_EQ(delegate->errors[1], "Could not connect to the server.");

    // A callback without a query: success, no entries; the page lets its delegate go.
    view = SHROAuthView::create(net::URL(callback_.url("/cb")), delegate);
    EXPECT_EQ(delegate->outcomes.size(), 3u);
    EXPECT_TRUE(delegate->outcomes[2]);
    EXPECT_FALSE(delegate->query);
    EXPECT_FALSE(view->delegate());
    EXPECT_EQ(callback_.requestCount(), 0u);
}

TEST_F(SHROAuthViewTest, AFailedPageEndsTheRoadWithTheAuthorizeAlert) {
    fakes::RefusedPort refused;
    net::Services::pointAtLoopbackForTesting("DeliciousLogin", login_.port());
    login_.on("POST", "/oauth/v2/get_request_token",
              fakes::Reply::text(200, "oauth_token=req1&oauth_token_secret=rs1"));
    auto sharer = std::dynamic_pointer_cast<SHRDelicious>(SHRSharer::create("SHRDelicious"));
    sharer->setAuthorizeURL(net::URL(refused.url("/oauth/v2/request_auth")));
    sharer->setItem(SHRItem::URL(net::URL("http://example.com/")));
    SHR::currentHelper().keepSharer(sharer);
    sharer->share();
    ASSERT_TRUE(waitFor([&] { return alert() != nullptr; }));
    EXPECT_EQ(alert()->title(), "Authorize Error");
    EXPECT_EQ(alert()->message(), "Could not connect to the server.");
    alert()->dismissWithClickedButtonIndex(0, false);
    std::weak_ptr<SHRSharer> weak = sharer;
    sharer.reset();
    advance(2);
    EXPECT_EQ(SHR::currentHelper().activeSharerCountForTesting(), 0u);
    EXPECT_FALSE(weak.lock());  // nothing keeps it once the road has ended
    EXPECT_TRUE(keychain_->items().empty());
}

}  // namespace
