// Google Reader and Tumblr against a loopback stand-in: the login answers,
// the exact request bodies (the photo's multipart byte for byte) and the
// outcomes of each answer.
#include "LoginFormTestSupport.h"
#include "platform/gfx/Image.h"
#include "sharing/services/googlereader/SHRGoogleReader.h"
#include "sharing/services/tumblr/SHRTumblr.h"

namespace formtest {
namespace {

class GoogleReaderTumblrTest : public LoginFormTest {
protected:
    void scriptReader() {
        api_.on("POST", "/accounts/ClientLogin",
                fakes::Reply::text(200, "SID=sid1\nLSID=lsid2\nAuth=auth3\nJunk=a=b\n"));
        api_.on("GET", "/reader/api/0/token", fakes::Reply::text(200, "tok/en+1"));
        api_.on("POST", "/reader/api/0/item/edit", fakes::Reply::text(200, "OK"));
    }
};

// --- Google Reader --------------------------------------------------------------

TEST_F(GoogleReaderTumblrTest, ReaderSessionLinesSplitAtOneEqualsSign) {
    auto session = SHRGoogleReader::parseSession("SID=a\r\nAuth=b==\nError=BadAuthentication\n\nnothing\nx=\n");
    EXPECT_EQ(session, (std::map<std::string, std::string>{{"SID", "a"}, {"Error", "BadAuthentication"}, {"x", ""}}));
}

TEST_F(GoogleReaderTumblrTest, ReaderLogsInThenSendsWithTokenCookiesAndHeaderOverHttps) {
    scriptReader();
    Reports reports;
    auto item = SHRItem::URL(net::URL("http://example.com/day?x=1&y=2"), std::string("Day 3 & more"));
    item->setText("50 push-ups");
    SHRSharer::shareItem("SHRGoogleReader", item);
    EXPECT_EQ(formKeys(), (std::vector<std::string>{"email", "password"}));
    ASSERT_TRUE(submitForm({{"email", "anna@example.com"}, {"password", "p&w+1"}}));
    ASSERT_TRUE(waitForAnswer(1, [&] { return stored("email", "SHRGoogleReader").has_value(); }));
    auto login = api_.requests().at(0);
    EXPECT_EQ(login.path, "/accounts/ClientLogin");
    EXPECT_EQ(login.body,
              "service=reader&source=Sharing-Tolvek-0.2.1&Email=anna%40example.com&Passwd=p%26w%2B1"
              "&accountType=GOOGLE");
    EXPECT_EQ(stored("email", "SHRGoogleReader"), "anna@example.com");

    // The share form, then the token and the edit.
    EXPECT_EQ(formKeys(), (std::vector<std::string>{"text", "share"}));
    ASSERT_TRUE(submitForm({{"share", "1"}}));
    ASSERT_TRUE(waitForAnswer(3, [&] { return reports.over(); }));
    auto token = api_.requests().at(1);
    EXPECT_EQ(token.method, "GET");
    EXPECT_EQ(token.path, "/reader/api/0/token");
    ASSERT_TRUE(token.query.starts_with("ck="));
    const long long ck = std::stoll(token.query.substr(3));  // whole seconds of the clock at the send
    EXPECT_GE(ck, 1700000000);
    EXPECT_LE(ck, static_cast<long long>(clock_->now()));
    EXPECT_EQ(token.header("Cookie"), "Auth=auth3; LSID=lsid2; SID=sid1");
    EXPECT_EQ(token.header("Authorization"), "GoogleLogin auth=auth3");
    auto edit = api_.requests().at(2);
    EXPECT_EQ(edit.method, "POST");
    EXPECT_EQ(edit.path, "/reader/api/0/item/edit");
    EXPECT_EQ(edit.body,
              "T=tok/en+1&linkify=false&snippet=50%20push-ups&srcTitle=Tolvek"
              "&srcUrl=http%3A%2F%2Fsharing.tolvek.invalid%2F&title=Day%203%20%26%20more"
              "&url=http%3A%2F%2Fexample.com%2Fday%3Fx%3D1%26y%3D2&share=true");
    EXPECT_EQ(edit.header("Authorization"), "GoogleLogin auth=auth3");
    EXPECT_EQ(reports.order, (std::vector<std::string>{"start", "finish"}));
}

TEST_F(GoogleReaderTumblrTest, ReaderSendThatLogsInFirstReportsItsStartOnce) {
    scriptReader();
    store("SHRGoogleReader", {{"email", "anna"}, {"password", "pw"}});
    defaults().setBool("SHRGoogleReader_shouldAutoShare", true);
    Reports reports;
    SHRSharer::shareURL("SHRGoogleReader", net::URL("http://example.com/"));
    ASSERT_TRUE(waitForAnswer(3, [&] { return reports.over(); }));
    EXPECT_EQ(api_.requests().at(0).path, "/accounts/ClientLogin");
    EXPECT_EQ(api_.requests().at(1).path, "/reader/api/0/token");
    EXPECT_TRUE(api_.requests().at(2).body.ends_with("&share="));
    EXPECT_EQ(reports.order, (std::vector<std::string>{"start", "finish"}));
    EXPECT_EQ(indicatorText(), "");  // done: the check mark, then gone
}

TEST_F(GoogleReaderTumblrTest, ReaderFailedLoginOnTheWayToSendingIsReported) {
    api_.on("POST", "/accounts/ClientLogin", fakes::Reply::text(403, "Error=BadAuthentication\n"));
    store("SHRGoogleReader", {{"email", "anna"}, {"password", "old"}});
    defaults().setBool("SHRGoogleReader_shouldAutoShare", true);
    Reports reports;
    SHRSharer::shareURL("SHRGoogleReader", net::URL("http://example.com/"));
    ASSERT_TRUE(waitForAnswer(1, [&] { return reports.over(); }));
    EXPECT_EQ(reports.order, (std::vector<std::string>{"start", "fail"}));
    EXPECT_EQ(indicatorText(), "");
    EXPECT_EQ(alertText(), "Error: Incorrect username and password");
    dismissAlert();
    EXPECT_EQ(formKeys(), (std::vector<std::string>{"email", "password"}));  // asks for a new login
    EXPECT_EQ(api_.requestCount(), 1u);                                      // no token asked without a session
}

TEST_F(GoogleReaderTumblrTest, ReaderLoginFormAlertsAndTokenFailure) {
    api_.once("POST", "/accounts/ClientLogin", fakes::Reply::text(403, "Error=CaptchaRequired\n"));
    api_.once("POST", "/accounts/ClientLogin", fakes::Reply::close());
    api_.on("POST", "/accounts/ClientLogin", fakes::Reply::text(200, "Auth=a1\n"));
    api_.on("GET", "/reader/api/0/token", fakes::Reply::text(401, "no"));
    Reports reports;
    SHRSharer::shareURL("SHRGoogleReader", net::URL("http://example.com/"));
    ASSERT_TRUE(submitForm({{"email", "anna"}, {"password", "pw"}}));
    ASSERT_TRUE(waitForAnswer(1, [&] { return alert() != nullptr; }));
    EXPECT_EQ(alertText(), "Login Error: CaptchaRequired");
    dismissAlert();
    ASSERT_TRUE(submitForm({{"email", "anna"}, {"password", "pw"}}));
    ASSERT_TRUE(waitForAnswer(2, [&] { return alert() != nullptr; }));
    EXPECT_EQ(alertText(), "Login Error: There was an error logging into Google Reader");
    dismissAlert();
    EXPECT_FALSE(stored("email", "SHRGoogleReader"));
    EXPECT_TRUE(reports.order.empty());  // a login check is not a send

    ASSERT_TRUE(submitForm({{"email", "anna"}, {"password", "pw"}}));
    ASSERT_TRUE(waitForAnswer(3, [&] { return stored("email", "SHRGoogleReader").has_value(); }));
    ASSERT_TRUE(submitForm({}));  // the share form
    ASSERT_TRUE(waitForAnswer(4, [&] { return reports.over(); }));
    EXPECT_EQ(reports.order, (std::vector<std::string>{"start", "fail"}));
    EXPECT_EQ(alertText(), "Error: There was a problem authenticating your account.");
}

// --- Tumblr ---------------------------------------------------------------------

TEST_F(GoogleReaderTumblrTest, TumblrLoginAnswers) {
    api_.once("POST", "/api/authenticate", fakes::Reply::text(403, "no"));
    api_.once("POST", "/api/authenticate", fakes::Reply::text(502, "no"));
    api_.on("POST", "/api/authenticate", fakes::Reply::text(200, "<tumblr/>"));
    SHRSharer::shareText("SHRTumblr", "hello");
    EXPECT_EQ(formKeys(), (std::vector<std::string>{"email", "password"}));
    ASSERT_TRUE(submitForm({{"email", "a@b.c"}, {"password", "p w"}}));
    ASSERT_TRUE(waitForAnswer(1, [&] { return alert() != nullptr; }));
    EXPECT_EQ(api_.lastRequest()->body, "email=a%40b.c&password=p%20w");
    EXPECT_EQ(alertText(), "Login Error: Invalid email or password.");
    dismissAlert();
    ASSERT_TRUE(submitForm({{"email", "a@b.c"}, {"password", "p w"}}));
    ASSERT_TRUE(waitForAnswer(2, [&] { return alert() != nullptr; }));
    EXPECT_EQ(alertText(), "Login Error: The service encountered an error. Please try again later.");
    dismissAlert();
    EXPECT_FALSE(stored("email", "SHRTumblr"));
    ASSERT_TRUE(submitForm({{"email", "a@b.c"}, {"password", "p w"}}));
    ASSERT_TRUE(waitForAnswer(3, [&] { return stored("email", "SHRTumblr").has_value(); }));
    EXPECT_EQ(stored("email", "SHRTumblr"), "a@b.c");
    // The share form is always shown, also with auto share on.
    EXPECT_EQ(formKeys(), (std::vector<std::string>{"title", "tags", "slug", "private", "twitter"}));
}

TEST_F(GoogleReaderTumblrTest, TumblrLinkAndTextBodiesWithTagsAndSlugEncoded) {
    store("SHRTumblr", {{"email", "anna@example.com"}, {"password", "p&w"}});
    api_.on("POST", "/api/write", fakes::Reply::text(201, "12345"));
    Reports reports;
    SHRSharer::shareURL("SHRTumblr", net::URL("http://example.com/a?b=c"), std::string("My day"));
    ASSERT_TRUE(
        submitForm({{"tags", "x&private=0"}, {"slug", "day 3&type=photo"}, {"private", "1"}, {"twitter", "1"}}));
    ASSERT_TRUE(waitForAnswer(1, [&] { return reports.finished == 1; }));
    EXPECT_EQ(api_.lastRequest()->body,
              "email=anna%40example.com&password=p%26w&send-to-twitter=auto&tags=x%26private%3D0"
              "&slug=day%203%26type%3Dphoto&private=1&type=link&url=http%3A%2F%2Fexample.com%2Fa%3Fb%3Dc"
              "&name=My%20day");
    EXPECT_EQ(api_.lastRequest()->form().at("private"), "1");  // not overridden by the tag

    SHRSharer::shareText("SHRTumblr", "Today I did 50 & more");
    ASSERT_TRUE(submitForm({{"title", "Day 3"}}));
    ASSERT_TRUE(waitForAnswer(2, [&] { return reports.finished == 2; }));
    EXPECT_EQ(api_.lastRequest()->body,
              "email=anna%40example.com&password=p%26w&send-to-twitter=no&tags=&slug=&private=0&type=regular"
              "&title=Day%203&body=Today%20I%20did%2050%20%26%20more");
    EXPECT_EQ(reports.order, (std::vector<std::string>{"start", "finish", "start", "finish"}));
}

TEST_F(GoogleReaderTumblrTest, TumblrPostAnswers) {
    struct Case {
        int status;
        std::string alert;
        bool relogin;
    };
    for (const Case& c : {Case{403, "Invalid email or password.", true},
                          Case{500, "The service encountered an error. Please try again later.", false},
                          Case{400, "There was an error sending your post to Tumblr.", false}}) {
        SCOPED_TRACE(c.status);
        store("SHRTumblr", {{"email", "anna"}, {"password", "pw"}});
        api_.once("POST", "/api/write", fakes::Reply::text(c.status, "no"));
        const std::size_t before = api_.requestCount();
        auto sharer = SHRSharer::create("SHRTumblr");
        sharer->setItem(SHRItem::text("t"));
        SHR::currentHelper().keepSharer(sharer);
        EXPECT_TRUE(sharer->send());
        ASSERT_TRUE(waitForAnswer(before + 1, [&] { return alert() != nullptr; }));
        EXPECT_EQ(alertText(), "Error: " + c.alert);
        dismissAlert();
        EXPECT_EQ(formKeys().empty(), !c.relogin);
        EXPECT_EQ(stored("password", "SHRTumblr").has_value(), !c.relogin);
        SHR::currentHelper().hideCurrentViewController();
        advance(1);
    }
}

TEST_F(GoogleReaderTumblrTest, TumblrPhotoMultipartByteForByte) {
    store("SHRTumblr", {{"email", "anna@example.com"}, {"password", "p&w"}});
    api_.on("POST", "/api/write", fakes::Reply::text(201, "9876"));
    auto image = gfx::Image::create(4, 3, 8, 32, 16, gfx::Image::kPremultipliedFirst32Little,
                                    std::vector<std::uint8_t>(48, 120));
    Reports reports;
    auto item = SHRItem::image(image, std::string("Progress"));
    item->setTags("fitness");
    SHRSharer::shareItem("SHRTumblr", item);
    EXPECT_EQ(formKeys(), (std::vector<std::string>{"caption", "tags", "slug", "private", "twitter"}));
    ASSERT_TRUE(submitForm({{"caption", "Week 3 & going"}, {"slug", ""}}));
    ASSERT_TRUE(waitForAnswer(1, [&] { return reports.over(); }));
    auto upload = *api_.lastRequest();
    EXPECT_EQ(upload.path, "/api/write");
    EXPECT_EQ(upload.header("Content-Type"), "multipart/form-data; boundary=0xKhTmLbOuNdArY");
    const auto jpeg = image->encodeJPEG(0.9);
    const std::string expected =
        "\r\n--0xKhTmLbOuNdArY\r\nContent-Disposition: form-data; name=\"email\"\r\n\r\nanna@example.com"
        "\r\n--0xKhTmLbOuNdArY\r\nContent-Disposition: form-data; name=\"password\"\r\n\r\np&w"
        "\r\n--0xKhTmLbOuNdArY\r\nContent-Disposition: form-data; name=\"type\"\r\n\r\nphoto"
        "\r\n--0xKhTmLbOuNdArY\r\nContent-Disposition: form-data; name=\"tags\"\r\n\r\nfitness"
        "\r\n--0xKhTmLbOuNdArY\r\nContent-Disposition: form-data; name=\"caption\"\r\n\r\nWeek 3 & going"
        "\r\n--0xKhTmLbOuNdArY\r\nContent-Disposition: form-data; name=\"slug\"\r\n\r\n"
        "\r\n--0xKhTmLbOuNdArY\r\nContent-Disposition: form-data; name=\"private\"\r\n\r\n0"
        "\r\n--0xKhTmLbOuNdArY\r\nContent-Disposition: form-data; name=\"twitter\"\r\n\r\nno"
        "\r\n--0xKhTmLbOuNdArY\r\nContent-Disposition: form-data; name=\"data\"; filename=\"upload.jpg\"\r\n"
        "Content-Transfer-Encoding: image/jpg\r\n\r\n" +
        std::string(jpeg.begin(), jpeg.end()) + "\r\n--0xKhTmLbOuNdArY--\r\n";
    EXPECT_EQ(upload.body, expected);
    EXPECT_EQ(reports.order, (std::vector<std::string>{"start", "finish"}));
}

TEST_F(GoogleReaderTumblrTest, TumblrPhotoFailures) {
    store("SHRTumblr", {{"email", "anna"}, {"password", "pw"}});
    auto image =
        gfx::Image::create(2, 2, 8, 32, 8, gfx::Image::kPremultipliedFirst32Little, std::vector<std::uint8_t>(16, 200));
    auto photo = [&] {
        auto sharer = SHRSharer::create("SHRTumblr");
        sharer->setItem(SHRItem::image(image));
        SHR::currentHelper().keepSharer(sharer);
        EXPECT_TRUE(sharer->send());
    };
    api_.once("POST", "/api/write", fakes::Reply::text(403, "no"));
    photo();
    ASSERT_TRUE(waitForAnswer(1, [&] { return alert() != nullptr; }));
    EXPECT_EQ(alertText(), "Error: Invalid email or password.");
    dismissAlert();
    EXPECT_EQ(formKeys(), (std::vector<std::string>{"email", "password"}));
    SHR::currentHelper().hideCurrentViewController();
    advance(1);

    // A connection that fails gets the service's generic text.
    fakes::RefusedPort refused;
    net::Services::pointAtLoopbackForTesting("Tumblr", refused.port());
    Reports reports;
    photo();
    EXPECT_TRUE(waitFor([&] { return reports.over(); }));
    advance(1);
    EXPECT_EQ(reports.order, (std::vector<std::string>{"start", "fail"}));
    EXPECT_EQ(alertText(), "Error: There was a sending your post to Tumblr.");
}

}  // namespace
}  // namespace formtest
