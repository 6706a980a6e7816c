// Every family of sharer against a service that sends its request on to
// another origin (another loopback port, where a catcher listens): nothing
// of the user's arrives there and the share is never reported finished.
#include "../facebook/FacebookTestSupport.h"
#include "LoginFormTestSupport.h"
#include "sharing/services/twitter/SHRTwitterForm.h"

namespace {

const net::URL kLink("http://example.com/push-ups");

// Answers everything it is sent as a success a sharer would believe.
void scriptCatcher(fakes::HttpServer& catcher) {
    for (const char* method : {"GET", "POST"})
        catcher.on(method, "/catch", fakes::Reply::text(200, "<result code=\"done\" />\nAuth=stolen\n"));
}

fakes::Reply redirectTo(int status, const fakes::HttpServer& catcher) {
    return fakes::Reply::text(status, "").withHeader("Location", catcher.url("/catch"));
}

// --- Login-form sharers (form bodies, Basic and ClientLogin) ----------------

class FormCredentialRedirectTest : public formtest::LoginFormTest {
protected:
    void SetUp() override {
        LoginFormTest::SetUp();
        scriptCatcher(catcher_);
    }
    // Sends a share of item with sharer directly, as after its share form.
    void send(const std::string& sharerId, std::shared_ptr<SHRItem> item) {
        auto sharer = SHRSharer::create(sharerId);
        sharer->setItem(std::move(item));
        SHR::currentHelper().keepSharer(sharer);
        EXPECT_TRUE(sharer->send());
    }
    fakes::HttpServer catcher_;
};

TEST_F(FormCredentialRedirectTest, FormBodiesWithPasswordsAreNotPostedOnToAnotherSite) {
    store("SHRInstapaper", {{"username", "anna"}, {"password", "pw"}});
    store("SHRReadItLater", {{"username", "anna"}, {"password", "pw"}});
    store("SHRTumblr", {{"email", "anna"}, {"password", "pw"}});
    struct Case {
        const char* sharer;
        const char* path;
        int status;
        std::shared_ptr<SHRItem> item;
    };
    for (const Case& c : {Case{"SHRInstapaper", "/api/add", 307, SHRItem::URL(kLink)},
                          Case{"SHRReadItLater", "/v2/send", 308, SHRItem::URL(kLink)},
                          Case{"SHRTumblr", "/api/write", 307, SHRItem::text("50 push-ups")},
                          Case{"SHRTumblr", "/api/write", 302, SHRItem::text("50 push-ups")}}) {
        SCOPED_TRACE(std::string(c.sharer) + " " + std::to_string(c.status));
        api_.once("POST", c.path, redirectTo(c.status, catcher_));
        formtest::Reports reports;
        const std::size_t before = api_.requestCount();
        send(c.sharer, c.item);
        ASSERT_TRUE(waitForAnswer(before + 1, [&] { return reports.over(); }));
        EXPECT_EQ(reports.finished, 0);
        EXPECT_EQ(reports.failed, 1);
        dismissAlert();
    }
    // The login check goes the same way: nothing is stored.
    SHR::removeAuthValueForKey("username", "SHRInstapaper");
    SHR::removeAuthValueForKey("password", "SHRInstapaper");
    api_.once("POST", "/api/authenticate", redirectTo(307, catcher_));
    SHRSharer::shareURL("SHRInstapaper", kLink);
    const std::size_t before = api_.requestCount();
    ASSERT_TRUE(submitForm({{"username", "bob"}, {"password", "hunter2"}}));
    ASSERT_TRUE(waitForAnswer(before + 1, [&] { return alert() != nullptr; }));
    EXPECT_EQ(alertText(), "Login Error: Sorry, Instapaper encountered an error. Please try again.");
    EXPECT_FALSE(stored("password", "SHRInstapaper"));
    EXPECT_EQ(catcher_.requestCount(), 0u);
}

TEST_F(FormCredentialRedirectTest, BasicAndClientLoginCredentialsAreNotSentOnToAnotherSite) {
    store("SHRPinboard", {{"username", "anna"}, {"password", "pw"}});
    store("SHRGoogleReader", {{"email", "anna@example.com"}, {"password", "pw"}});
    api_.once("GET", "/v1/posts/add", redirectTo(302, catcher_));
    api_.once("POST", "/accounts/ClientLogin", redirectTo(307, catcher_));
    formtest::Reports reports;
    send("SHRPinboard", SHRItem::URL(kLink));
    ASSERT_TRUE(waitForAnswer(1, [&] { return reports.over(); }));
    EXPECT_EQ(reports.failed, 1);
    dismissAlert();
    send("SHRGoogleReader", SHRItem::URL(kLink));
    ASSERT_TRUE(waitForAnswer(2, [&] { return alert() != nullptr; }));
    EXPECT_EQ(alertText(), "Error: There was an error logging into Google Reader");
    EXPECT_EQ(reports.finished, 0);
    EXPECT_EQ(catcher_.requestCount(), 0u);
}

// --- OAuth -----------------------------------------------------------------------

class OAuthCredentialRedirectTest : public oauthtest::OAuthTest {
protected:
    void SetUp() override {
        OAuthTest::SetUp();
        scriptCatcher(catcher_);
        net::Services::pointAtLoopbackForTesting("Twitter", api_.port());
        net::Services::pointAtLoopbackForTesting("TwitterHTTP", api_.port());
        net::Services::pointAtLoopbackForTesting("DeliciousAPI", api_.port());
        for (const char* sharer : {"SHRTwitter", "SHRDelicious"}) {
            SHR::setAuthValue("tok", "accessKey", sharer);
            SHR::setAuthValue("tsec", "accessSecret", sharer);
        }
    }
    fakes::HttpServer catcher_;
};

TEST_F(OAuthCredentialRedirectTest, SignedRequestsAreNotSentOnToAnotherSite) {
    api_.once("POST", "/1/statuses/update.json", redirectTo(307, catcher_));
    api_.once("GET", "/v2/posts/add", redirectTo(302, catcher_));
    oauthtest::Reports reports;
    SHRSharer::shareItem("SHRTwitter", SHRItem::text("Signed push"));
    ASSERT_TRUE(waitFor([&] {
        auto nav = std::dynamic_pointer_cast<ui::NavigationController>(SHR::currentHelper().currentView());
        return nav && std::dynamic_pointer_cast<SHRTwitterForm>(nav->topViewController());
    }));
    advance(1);
    tapNamed("Send to Twitter");
    ASSERT_TRUE(waitFor([&] { return reports.failed == 1; }));
    alert()->dismissWithClickedButtonIndex(0, false);
    auto delicious = SHRSharer::create("SHRDelicious");
    delicious->setItem(SHRItem::URL(kLink, std::string("Push-ups")));
    SHR::currentHelper().keepSharer(delicious);
    ASSERT_TRUE(delicious->send());
    ASSERT_TRUE(waitFor([&] { return reports.failed == 2; }));
    EXPECT_EQ(api_.requestCount(), 2u);
    EXPECT_EQ(reports.finished, 0);
    EXPECT_EQ(catcher_.requestCount(), 0u);
}

// --- Facebook --------------------------------------------------------------------

class FacebookCredentialRedirectTest : public fbtest::FacebookTest {};

TEST_F(FacebookCredentialRedirectTest, TheTokenIsNotPostedOnToAnotherSite) {
    fakes::HttpServer catcher;
    scriptCatcher(catcher);
    SHR::setAuthValue("t1", "SHRFacebookAccessToken", "SHRFacebook");
    defaults().setObject("SHRFacebookExpirationDate", base::Date::now().addingTimeInterval(3600));
    fb_.setFeedReply(redirectTo(307, catcher));
    oauthtest::Reports reports;
    SHRSharer::shareText("SHRFacebook", "50 push-ups");
    ASSERT_TRUE(waitFor([&] { return reports.failed == 1; }));
    EXPECT_EQ(fb_.requestsTo("/me/feed").size(), 1u);
    EXPECT_EQ(reports.finished, 0);
    EXPECT_EQ(catcher.requestCount(), 0u);
}

}  // namespace
