#include "../facebook/FacebookTestSupport.h"
#include "sharing/services/facebook/SHRFacebook.h"

using namespace fbtest;
using oauthtest::Reports;

namespace {

class SHRFacebookTest : public FacebookTest {
protected:
    void storeToken(const std::string& token, double lifetime = 3600) {
        SHR::setAuthValue(token, "SHRFacebookAccessToken", "SHRFacebook");
        defaults().setObject("SHRFacebookExpirationDate", base::Date::now().addingTimeInterval(lifetime));
    }
    std::map<std::string, std::string> bodyParts(const fakes::RecordedRequest& r) {
        std::map<std::string, std::string> out;
        for (const auto& part : r.multipart()) out[part.name.empty() ? part.filename : part.name] = part.body;
        return out;
    }
    std::optional<fakes::RecordedRequest> lastFeed() {
        auto feed = fb_.requestsTo("/me/feed");
        if (feed.empty()) return std::nullopt;
        return feed.back();
    }
};

TEST_F(SHRFacebookTest, TheInAppLoginKeepsTheTokenAndPostsTheParkedShare) {
    Reports reports;
    fb_.setLoginAnswer("fbconnect://success#access_token=tok%2F77&expires_in=7200");
    EXPECT_FALSE(SHRSharer::isServiceAuthorized("SHRFacebook"));
    SHRSharer::shareText("SHRFacebook", "Today I did a total of 41 pushups");
    // The item waits in the defaults while the login runs.
    auto pending = defaults().dictionaryForKey("SHRFacebookPendingItem");
    ASSERT_TRUE(pending);
    EXPECT_EQ(pending->get("text").stringValue(), "Today I did a total of 41 pushups");

    ASSERT_TRUE(waitFor([&] { return shownDialog() && shownDialog()->webView()->textFieldNamed("email"); }));
    advance(1);
    tapNamed("Email or Phone");
    app().typeText("anna@example.com");
    tapNamed("Password");
    app().typeText("secret");
    // The keyboard covers the button: the return key sends the form.
    app().pressReturn();

    ASSERT_TRUE(waitFor([&] { return reports.finished == 1; }));
    EXPECT_EQ(fb_.requestsTo("/dialog/oauth/login").at(0).form().at("email"), "anna@example.com");
    EXPECT_EQ(keychainValue("SHRFacebookAccessToken", "SHRFacebook"), "tok/77");
    auto expiry = defaults().dateForKey("SHRFacebookExpirationDate");
    ASSERT_TRUE(expiry);
    EXPECT_NEAR(expiry->timeIntervalSinceNow(), 7200, 2);
    EXPECT_FALSE(defaults().dictionaryForKey("SHRFacebookPendingItem"));
    auto post = lastFeed();
    ASSERT_TRUE(post);
    EXPECT_EQ(post->queryItems().at("access_token"), "tok/77");
    EXPECT_EQ(bodyParts(*post).at("message"), "Today I did a total of 41 pushups");
    advance(2);
    EXPECT_EQ(reports.order, (std::vector<std::string>{"start", "finish"}));
    EXPECT_FALSE(shownDialog());
    EXPECT_EQ(SHR::currentHelper().activeSharerCountForTesting(), 0u);
    EXPECT_TRUE(SHRSharer::isServiceAuthorized("SHRFacebook"));
}

TEST_F(SHRFacebookTest, ACancelledLoginEndsTheShareSilently) {
    Reports reports;
    SHRSharer::shareText("SHRFacebook", "x");
    ASSERT_TRUE(waitFor([&] { return shownDialog() && shownDialog()->title() == "Log In | Facebook"; }));
    advance(1);
    tapNamed("Close");
    advance(2);
    EXPECT_TRUE(reports.order.empty());
    EXPECT_FALSE(shownDialog());
    EXPECT_FALSE(alert());
    EXPECT_EQ(SHR::currentHelper().activeSharerCountForTesting(), 0u);
    EXPECT_FALSE(keychainValue("SHRFacebookAccessToken", "SHRFacebook"));
}

// What the login page may answer instead of a token, through the web view's
// own redirect: each ends the share without a report, a token or a crash.
TEST_F(SHRFacebookTest, LoginAnswersWithoutATokenEndTheShareSilently) {
    for (const char* answer : {"fbconnect://cancel", "fbconnect://cancel?error_code=200&error_msg=Permissions%20error",
                               "fbconnect:", "fbconnect://success#expires_in=60", "fbconnect://x"}) {
        SCOPED_TRACE(answer);
        Reports reports;
        fb_.setLoginAnswer(answer);
        SHRSharer::shareText("SHRFacebook", "x");
        ASSERT_TRUE(waitFor([&] { return shownDialog() && shownDialog()->webView()->textFieldNamed("email"); }));
        shownDialog()->webView()->submitFormFromFields(0);
        ASSERT_TRUE(waitFor([&] { return SHR::currentHelper().activeSharerCountForTesting() == 0; }));
        advance(1);
        EXPECT_FALSE(shownDialog());
        EXPECT_TRUE(reports.order.empty());
        EXPECT_FALSE(keychainValue("SHRFacebookAccessToken", "SHRFacebook"));
        EXPECT_FALSE(alert());
    }
    EXPECT_EQ(fb_.requestsTo("/me/feed").size(), 0u);
}

TEST_F(SHRFacebookTest, TheTextShareCarriesTheEncodedAction) {
    storeToken("t1");
    Reports reports;
    SHRSharer::shareText("SHRFacebook", "Week 1 & more");
    EXPECT_FALSE(shownDialog());
    ASSERT_TRUE(waitFor([&] { return reports.finished == 1; }));
    auto post = *lastFeed();
    EXPECT_EQ(post.method, "POST");
    EXPECT_EQ(bodyParts(post),
              (std::map<std::string, std::string>{{"message", "Week 1 & more"},
                                                  {"actions",
                                                   "{\"name\":\"Get%20Tolvek\", \"link\":\"http%3A%2F%2F"
                                                   "sharing.tolvek.invalid%2F\"}"},
                                                  {"format", "json"},
                                                  {"sdk", "ios"},
                                                  {"sdk_version", "2"},
                                                  {"access_token", "t1"}}));
    EXPECT_EQ(post.queryItems().at("message"), "Week 1 & more");
}

TEST_F(SHRFacebookTest, LinksPostTheirTitleAndTextOnlyWhenThereIsATitle) {
    storeToken("t1");
    Reports reports;
    auto bare = SHRItem::URL(net::URL("http://example.com/a?b=1"));
    bare->setText("lost without a title");
    SHRSharer::shareItem("SHRFacebook", bare);
    ASSERT_TRUE(waitFor([&] { return reports.finished == 1; }));
    auto parts = bodyParts(*lastFeed());
    EXPECT_EQ(parts.at("link"), "http://example.com/a?b=1");
    EXPECT_EQ(parts.count("name") + parts.count("caption") + parts.count("picture"), 0u);

    auto full = SHRItem::URL(net::URL("http://example.com/"), std::string("My page"));
    full->setText("About it");
    full->setCustomValue(std::string("http://example.com/p.png"), "image");
    SHRSharer::shareItem("SHRFacebook", full);
    ASSERT_TRUE(waitFor([&] { return reports.finished == 2; }));
    auto items = lastFeed()->multipart();
    std::vector<std::string> names;
    for (const auto& p : items) names.push_back(p.name);
    EXPECT_EQ(names, (std::vector<std::string>{"link", "name", "caption", "picture", "format", "sdk", "sdk_version",
                                               "access_token"}));
    EXPECT_EQ(bodyParts(*lastFeed()).at("picture"), "http://example.com/p.png");
}

TEST_F(SHRFacebookTest, APhotoGoesToThePhotosWithItsTitle) {
    storeToken("t1");
    Reports reports;
    gfx::ImageContext context(gfx::Size(4, 4), 1);
    SHRSharer::shareImage("SHRFacebook", context.image(), std::string("Me"));
    ASSERT_TRUE(waitFor([&] { return reports.finished == 1; }));
    auto photo = fb_.requestsTo("/me/photos").at(0);
    auto parts = photo.multipart();
    EXPECT_EQ(bodyParts(photo).at("message"), "Me");
    EXPECT_EQ(parts.at(parts.size() - 1).filename, "source");
    EXPECT_EQ(parts.at(parts.size() - 1).contentType, "image/png");
}

TEST_F(SHRFacebookTest, FailuresAreReportedWithTheServicesMessage) {
    storeToken("t1");
    Reports reports;
    fb_.setFeedReply(
        fakes::Reply::text(200, "{\"error\":{\"type\":\"OAuthException\",\"message\":\"Duplicate status\"}}"));
    SHRSharer::shareText("SHRFacebook", "x");
    ASSERT_TRUE(waitFor([&] { return reports.failed == 1; }));
    ASSERT_TRUE(alert());
    EXPECT_TRUE(app().isTextVisible("Duplicate status"));
    alert()->dismissWithClickedButtonIndex(0, false);

    // An error page is a failure, never a success.
    fb_.setFeedReply(fakes::Reply::text(502, "<html>Bad Gateway</html>", "text/html"));
    SHRSharer::shareText("SHRFacebook", "y");
    ASSERT_TRUE(waitFor([&] { return reports.failed == 2; }));
    EXPECT_EQ(reports.finished, 0);
}

TEST_F(SHRFacebookTest, OfflineTheShareIsRefusedAndNothingQueued) {
    storeToken("t1");
    Reachability::setStatusOverrideForTesting(NotReachable);
    Reports reports;
    SHRSharer::shareText("SHRFacebook", "x");
    ASSERT_TRUE(alert());
    EXPECT_TRUE(app().isTextVisible("You must be online in order to share with Facebook"));
    auto queue = SHR::getOfflineQueueList();
    EXPECT_TRUE(!queue || queue->empty());
    advance(2);
    EXPECT_EQ(fb_.server().requestCount(), 0u);
    EXPECT_TRUE(reports.order.empty());

    // Not logged in either: the login cannot load, and the user is told.
    alert()->dismissWithClickedButtonIndex(0, false);
    SHR::removeAuthValueForKey("SHRFacebookAccessToken", "SHRFacebook");
    SHRSharer::shareText("SHRFacebook", "x");
    EXPECT_FALSE(shownDialog());
    EXPECT_TRUE(app().isTextVisible("You must be online to login to Facebook"));
}

TEST_F(SHRFacebookTest, AnItemOfAnotherTypeIsNeitherSentNorReported) {
    storeToken("t1");
    Reports reports;
    SHRSharer::shareFile("SHRFacebook", base::Data{1}, "a.bin", "application/octet-stream", std::nullopt);
    auto empty = std::make_shared<SHRItem>();
    empty->setShareType(SHRShareTypeText);  // a text item without its text
    SHRSharer::shareItem("SHRFacebook", empty);
    advance(2);
    EXPECT_TRUE(reports.order.empty());
    EXPECT_EQ(fb_.server().requestCount(), 0u);
    EXPECT_EQ(SHR::currentHelper().activeSharerCountForTesting(), 0u);
}

TEST_F(SHRFacebookTest, LogoutForgetsEverythingAndTheNextShareAsksForLogin) {
    storeToken("tok/5");
    net::Cookie cookie;
    cookie.name = "fake_session";
    cookie.value = "1";
    cookie.domain = "127.0.0.1";
    net::CookieStorage::sharedHTTPCookieStorage().setCookie(cookie);
    ASSERT_TRUE(SHRSharer::isServiceAuthorized("SHRFacebook"));

    SHR::logoutOfService("SHRFacebook");
    ASSERT_TRUE(waitFor([&] { return !fb_.requestsTo("/method/auth.expireSession").empty(); }));
    EXPECT_EQ(fb_.requestsTo("/method/auth.expireSession").at(0).queryItems().at("access_token"), "tok/5");
    EXPECT_TRUE(net::CookieStorage::sharedHTTPCookieStorage().cookiesForURL(Facebook::loginHostURL()).empty());
    EXPECT_FALSE(keychainValue("SHRFacebookAccessToken", "SHRFacebook"));
    EXPECT_TRUE(defaults().objectForKey("SHRFacebookExpirationDate").isNull());
    EXPECT_FALSE(SHRSharer::isServiceAuthorized("SHRFacebook"));

    SHRSharer::shareText("SHRFacebook", "again");
    EXPECT_TRUE(std::dynamic_pointer_cast<FBLoginDialog>(shownDialog()));
    // (Its page sets the login cookie once more.)
    ASSERT_TRUE(waitFor([&] { return shownDialog()->title() == "Log In | Facebook"; }));

    // Signing out without a stored login tells the service nothing.
    net::CookieStorage::sharedHTTPCookieStorage().setCookie(cookie);
    SHR::logoutOfService("SHRFacebook");
    advance(1);
    EXPECT_EQ(fb_.requestsTo("/method/auth.expireSession").size(), 1u);
    EXPECT_TRUE(net::CookieStorage::sharedHTTPCookieStorage().cookiesForURL(Facebook::loginHostURL()).empty());
}

TEST_F(SHRFacebookTest, AnExpiredStoredTokenIsNoLogin) {
    storeToken("old", -10);
    EXPECT_FALSE(SHRSharer::isServiceAuthorized("SHRFacebook"));
    SHR::setAuthValue("t", "SHRFacebookAccessToken", "SHRFacebook");
    defaults().removeObjectForKey("SHRFacebookExpirationDate");
    EXPECT_FALSE(SHRSharer::isServiceAuthorized("SHRFacebook"));
}

}  // namespace
