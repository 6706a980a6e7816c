// Instapaper, Pinboard and Read It Later against a loopback stand-in: the
// exact requests they send, and what each answer leads to.
#include "LoginFormTestSupport.h"
#include "platform/base/FileManager.h"
#include "sharing/services/pinboard/SHRPinboard.h"

namespace formtest {
namespace {

const net::URL kLink("http://example.com/push-ups?a=1&b=2");

class BookmarkSharersTest : public LoginFormTest {};

// --- Instapaper -----------------------------------------------------------------

TEST_F(BookmarkSharersTest, InstapaperLoginEscapesTheFormAndStoresOnlyWhenAccepted) {
    api_.once("POST", "/api/authenticate", fakes::Reply::text(403, "forbidden"));
    api_.on("POST", "/api/authenticate", fakes::Reply::text(200, "ok"));
    api_.on("POST", "/api/add", fakes::Reply::text(201, "created"));
    Reports reports;
    SHRSharer::shareURL("SHRInstapaper", kLink, std::string("Push-ups"));
    EXPECT_EQ(formKeys(), (std::vector<std::string>{"username", "password"}));

    // Refused: the alert says so and nothing is stored.
    ASSERT_TRUE(submitForm({{"username", "anna@example.com"}, {"password", "p&ss+word"}}));
    EXPECT_EQ(indicatorText(), "Logging In...");
    ASSERT_TRUE(waitForAnswer(1, [&] { return alert() != nullptr; }));
    EXPECT_EQ(api_.lastRequest()->body, "username=anna%40example.com&password=p%26ss%2Bword");
    EXPECT_EQ(alertText(), "Login Error: Sorry, Instapaper did not accept your credentials. Please try again.");
    EXPECT_EQ(indicatorText(), "");
    EXPECT_FALSE(stored("username", "SHRInstapaper"));
    dismissAlert();

    // Accepted: stored, then the link is added at once (no share form).
    ASSERT_TRUE(submitForm({{"username", "anna@example.com"}, {"password", "p&ss+word"}}));
    ASSERT_TRUE(waitForAnswer(3, [&] { return reports.over(); }));
    EXPECT_EQ(stored("username", "SHRInstapaper"), "anna@example.com");
    EXPECT_EQ(stored("password", "SHRInstapaper"), "p&ss+word");
    auto add = api_.requests().at(2);
    EXPECT_EQ(add.method, "POST");
    EXPECT_EQ(add.path, "/api/add");
    EXPECT_EQ(add.body,
              "url=http%3A%2F%2Fexample.com%2Fpush-ups%3Fa%3D1%26b%3D2&username=anna%40example.com"
              "&password=p%26ss%2Bword");
    EXPECT_EQ(reports.order, (std::vector<std::string>{"start", "finish"}));
}

TEST_F(BookmarkSharersTest, InstapaperAnswersToAnAdd) {
    struct Case {
        int status;
        std::string alert;
        bool relogin;
    };
    for (const Case& c : {Case{403, "Sorry, Instapaper did not accept your credentials. Please try again.", true},
                          Case{500, "The service encountered an error. Please try again later.", false},
                          Case{404, "There was a problem saving to Instapaper.", false}}) {
        SCOPED_TRACE(c.status);
        store("SHRInstapaper", {{"username", "anna"}, {"password", "pw"}});
        api_.once("POST", "/api/add", fakes::Reply::text(c.status, "no"));
        Reports reports;
        const std::size_t before = api_.requestCount();
        SHRSharer::shareURL("SHRInstapaper", kLink);
        ASSERT_TRUE(waitForAnswer(before + 1, [&] { return reports.over(); }));
        EXPECT_EQ(reports.failed, 1);
        EXPECT_EQ(alertText(), "Error: " + c.alert);
        dismissAlert();
        // A refusal of the credentials forgets them and asks for a login again.
        EXPECT_EQ(formKeys().empty(), !c.relogin);
        EXPECT_EQ(SHRSharer::isServiceAuthorized("SHRInstapaper"), !c.relogin);
        SHR::currentHelper().hideCurrentViewController();
        advance(1);
    }
}

TEST_F(BookmarkSharersTest, InstapaperOfflineShareIsReplayedWithTheSameBodyAndThenRemoved) {
    store("SHRInstapaper", {{"username", "anna"}, {"password", "pw"}});
    api_.on("POST", "/api/add", fakes::Reply::text(201, "created"));
    Reports reports;
    SHRSharer::shareURL("SHRInstapaper", net::URL("http://example.com/a?b=c"));
    ASSERT_TRUE(waitForAnswer(1, [&] { return reports.over(); }));
    const std::string onlineBody = api_.lastRequest()->body;

    Reachability::setStatusOverrideForTesting(NotReachable);
    SHRSharer::shareURL("SHRInstapaper", net::URL("http://example.com/a?b=c"));
    advance(1);
    ASSERT_TRUE(SHR::getOfflineQueueList());
    ASSERT_EQ(SHR::getOfflineQueueList()->size(), 1u);
    EXPECT_EQ(api_.requestCount(), 1u);

    Reachability::setStatusOverrideForTesting(ReachableViaWiFi);
    SHR::flushOfflineQueue();
    EXPECT_TRUE(waitFor([&] {
        auto list = SHR::getOfflineQueueList();
        return list && list->empty();
    }));
    ASSERT_EQ(api_.requestCount(), 2u);
    EXPECT_EQ(api_.lastRequest()->body, onlineBody);
    EXPECT_FALSE(alert());  // the replay is quiet
}

// --- Pinboard -------------------------------------------------------------------

TEST_F(BookmarkSharersTest, PinboardChecksWithBasicCredentialsAndStoresNothingOnAnyFailure) {
    struct Case {
        std::string name;
        fakes::Reply reply;
        std::string alert;
    };
    const std::vector<Case> cases = {
        {"refused in the service's words", fakes::Reply::text(401, "401 Forbidden"),
         "Error: Could not authenticate you. Please relogin."},
        {"refused in other words", fakes::Reply::text(401, "<html>401 Unauthorized</html>"),
         "Login Error: Sorry, Pinboard did not accept your credentials. Please try again."},
        {"server error", fakes::Reply::text(503, "busy"),
         "Login Error: Sorry, Pinboard encountered an error. Please try again."},
        {"no answer", fakes::Reply::close(), "Login Error: Sorry, Pinboard encountered an error. Please try again."},
    };
    SHRSharer::shareURL("SHRPinboard", kLink);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        api_.once("GET", "/v1/posts/get", c.reply);
        const std::size_t before = api_.requestCount();
        ASSERT_TRUE(submitForm({{"username", "anna@home"}, {"password", "a:b@c"}}));
        ASSERT_TRUE(waitForAnswer(before + 1, [&] { return alert() != nullptr; }));
        auto check = api_.lastRequest();
        EXPECT_EQ(check->method, "GET");
        EXPECT_EQ(check->body, "");
        ASSERT_TRUE(check->basicCredentials());
        EXPECT_EQ(check->basicCredentials()->first, "anna@home");
        EXPECT_EQ(check->basicCredentials()->second, "a:b@c");
        EXPECT_EQ(alertText(), c.alert);
        EXPECT_FALSE(stored("username", "SHRPinboard"));
        EXPECT_FALSE(stored("password", "SHRPinboard"));
        dismissAlert();
        EXPECT_FALSE(formKeys().empty());  // a login form is still up
    }
}

TEST_F(BookmarkSharersTest, PinboardAddsWithItsFormAndNeedsTheDoneAnswer) {
    api_.on("GET", "/v1/posts/get", fakes::Reply::text(200, "<posts user=\"anna\"></posts>"));
    api_.once("GET", "/v1/posts/add", fakes::Reply::text(200, "<result code=\"done\" />"));
    api_.on("GET", "/v1/posts/add", fakes::Reply::text(200, "<result code=\"something went wrong\" />"));
    Reports reports;
    auto item = SHRItem::URL(kLink, std::string("Push & pull"));
    item->setTags("fitness daily");
    std::weak_ptr<SHRSharer> first = SHRSharer::shareItem("SHRPinboard", item);
    ASSERT_TRUE(submitForm({{"username", "anna"}, {"password", "pw"}}));
    ASSERT_TRUE(waitForAnswer(1, [&] { return stored("username", "SHRPinboard").has_value(); }));
    EXPECT_EQ(stored("username", "SHRPinboard"), "anna");

    // The share form: title, tags, notes and the shared switch.
    EXPECT_EQ(formKeys(), (std::vector<std::string>{"title", "tags", "text", "shared"}));
    ASSERT_TRUE(submitForm({{"text", "50 in a row"}, {"shared", "1"}}));
    ASSERT_TRUE(waitForAnswer(2, [&] { return reports.over(); }));
    auto add = api_.lastRequest();
    EXPECT_EQ(add->method, "GET");
    EXPECT_EQ(add->path, "/v1/posts/add");
    EXPECT_EQ(add->query,
              "url=http%3A%2F%2Fexample.com%2Fpush-ups%3Fa%3D1%26b%3D2&description=Push%20%26%20pull"
              "&tags=fitness%20daily&extended=50%20in%20a%20row&shared=yes");
    EXPECT_EQ(add->basicCredentials()->first, "anna");
    EXPECT_EQ(reports.order, (std::vector<std::string>{"start", "finish"}));
    // Once its share is over, neither the sharer nor its share form keeps
    // the other alive.
    advance(2);
    EXPECT_TRUE(first.expired());

    // Without "done" in the answer the add failed.
    Reports second;
    auto plain = SHRSharer::create("SHRPinboard");
    plain->setItem(SHRItem::URL(kLink));
    SHR::currentHelper().keepSharer(plain);
    EXPECT_TRUE(plain->send());
    ASSERT_TRUE(waitForAnswer(3, [&] { return second.over(); }));
    EXPECT_EQ(api_.lastRequest()->queryItems().at("shared"), "no");
    EXPECT_EQ(second.failed, 1);
    EXPECT_EQ(alertText(), "Error: There was an error saving to Pinboard");
}

TEST_F(BookmarkSharersTest, PinboardUserInformationIsEscaped) {
    const net::URL url = SHRPinboard::authenticatedURL("a@b", "c:d/e", "/v1/posts/get");
    EXPECT_EQ(url.user(), "a%40b");
    EXPECT_EQ(url.password(), "c%3Ad%2Fe");
    EXPECT_EQ(url.host(), "127.0.0.1");
    EXPECT_EQ(url.path(), "/v1/posts/get");
}

// --- Read It Later -------------------------------------------------------------

TEST_F(BookmarkSharersTest, ReadItLaterAuthAndSendBodiesAndTheServiceErrorHeader) {
    api_.once("POST", "/v2/auth", fakes::Reply::text(401, "").withHeader("X-Error", "User was not found"));
    api_.on("POST", "/v2/auth", fakes::Reply::text(200, "200 OK"));
    api_.once("POST", "/v2/send", fakes::Reply::text(200, "200 OK"));
    api_.on("POST", "/v2/send", fakes::Reply::text(503, "").withHeader("X-Error", "Service is down for maintenance"));
    Reports reports;
    auto item = SHRItem::URL(kLink, std::string("Day 3 & done"));
    item->setTags("fitness, daily");
    SHRSharer::shareItem("SHRReadItLater", item);

    ASSERT_TRUE(submitForm({{"username", "anna"}, {"password", "p&w"}}));
    ASSERT_TRUE(waitForAnswer(1, [&] { return alert() != nullptr; }));
    EXPECT_EQ(api_.lastRequest()->body, "apikey=&username=anna&password=p%26w");
    EXPECT_EQ(alertText(), "Login Error: User was not found");
    EXPECT_FALSE(stored("username", "SHRReadItLater"));
    dismissAlert();

    // Accepted: the share goes at once, without a share form.
    ASSERT_TRUE(submitForm({{"username", "anna"}, {"password", "p&w"}}));
    ASSERT_TRUE(waitForAnswer(3, [&] { return reports.over(); }));
    EXPECT_EQ(api_.lastRequest()->path, "/v2/send");
    EXPECT_EQ(api_.lastRequest()->body,
              "apikey=&username=anna&password=p%26w"
              "&new={\"0\":{\"url\":\"http%3A%2F%2Fexample.com%2Fpush-ups%3Fa%3D1%26b%3D2\","
              "\"title\":\"Day%203%20%26%20done\"}}"
              "&update_tags={\"0\":{\"url\":\"http%3A%2F%2Fexample.com%2Fpush-ups%3Fa%3D1%26b%3D2\","
              "\"tags\":\"fitness%2C%20daily\"}}");
    EXPECT_EQ(reports.order, (std::vector<std::string>{"start", "finish"}));

    // No tags: no update part; a failure shows the service's own words.
    SHRSharer::shareURL("SHRReadItLater", net::URL("http://example.com/"), std::string("T"));
    ASSERT_TRUE(waitForAnswer(4, [&] { return reports.failed == 1; }));
    EXPECT_EQ(
        api_.lastRequest()->body,
        "apikey=&username=anna&password=p%26w&new={\"0\":{\"url\":\"http%3A%2F%2Fexample.com%2F\",\"title\":\"T\"}}");
    EXPECT_EQ(alertText(), "Error: Service is down for maintenance");
}

TEST_F(BookmarkSharersTest, ReadItLaterRefusalAsksForLoginAndServicesGoOverHttps) {
    store("SHRReadItLater", {{"username", "anna"}, {"password", "pw"}});
    api_.on("POST", "/v2/send", fakes::Reply::text(401, "").withHeader("X-Error", "Invalid username or password"));
    Reports reports;
    SHRSharer::shareURL("SHRReadItLater", kLink);
    ASSERT_TRUE(waitForAnswer(1, [&] { return reports.over(); }));
    EXPECT_EQ(reports.failed, 1);
    EXPECT_EQ(alertText(), "Error: Could not authenticate you. Please relogin.");
    dismissAlert();
    EXPECT_EQ(formKeys(), (std::vector<std::string>{"username", "password"}));
    EXPECT_FALSE(stored("username", "SHRReadItLater"));
    EXPECT_FALSE(stored("password", "SHRReadItLater"));

    // Every service that receives a password is configured for https.
    net::Services::resetForTesting();
    for (const char* service :
         {"Instapaper", "Pinboard", "ReadItLater", "GoogleAccounts", "GoogleReaderSecure", "Tumblr", "Evernote"}) {
        SCOPED_TRACE(service);
        ASSERT_TRUE(net::Services::address(service));
        EXPECT_EQ(net::Services::address(service)->scheme, "https");
    }
}

}  // namespace
}  // namespace formtest
