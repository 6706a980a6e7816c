#include <cairo.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "OAuthTestSupport.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Image.h"
#include "sharing/core/SHRFormController.h"
#include "sharing/core/SHRFunctions.h"
#include "sharing/services/twitter/SHRTwitter.h"
#include "sharing/services/twitter/SHRTwitterForm.h"

using namespace oauthtest;

namespace {

const std::string kConsumerSecret = "Xb3kQm8RtVw2LpZn6HcJy4DsFg9AeNu7KoTi5WrYqE";

std::shared_ptr<gfx::Image> picture(int size, bool noise) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    if (noise) {
        std::mt19937 random(7);
        unsigned char* px = cairo_image_surface_get_data(s);
        for (int i = 0; i < cairo_image_surface_get_stride(s) * size; ++i) px[i] = static_cast<unsigned char>(random());
        cairo_surface_mark_dirty(s);
    } else {
        cairo_t* cr = cairo_create(s);
        cairo_set_source_rgb(cr, 0.9, 0.5, 0.1);
        cairo_paint(cr);
        cairo_destroy(cr);
    }
    auto image = gfx::Image::fromSurface(s, 1);
    cairo_surface_destroy(s);
    return image;
}

class SHRTwitterTest : public OAuthTest {
protected:
    void SetUp() override {
        OAuthTest::SetUp();
        net::Services::pointAtLoopbackForTesting("Twitter", login_.port());
        net::Services::pointAtLoopbackForTesting("TwitterHTTP", login_.port());
        net::Services::pointAtLoopbackForTesting("ImageHost", api_.port());
        net::Services::pointAtLoopbackForTesting("LinkShortener", shortener_.port());
        net::Services::pointAtLoopbackForTesting("SharingWebSite", callback_.port());
    }
    void storeToken() {
        SHR::setAuthValue("tok", "accessKey", "SHRTwitter");
        SHR::setAuthValue("tsec", "accessSecret", "SHRTwitter");
    }
    std::shared_ptr<SHRTwitterForm> twitterForm() {
        auto nav = std::dynamic_pointer_cast<ui::NavigationController>(SHR::currentHelper().currentView());
        return nav ? std::dynamic_pointer_cast<SHRTwitterForm>(nav->topViewController()) : nullptr;
    }
    // Waits for the compose screen and lets it slide in.
    std::shared_ptr<SHRTwitterForm> waitForForm() {
        EXPECT_TRUE(waitFor([&] { return twitterForm() != nullptr; }));
        advance(1);
        return twitterForm();
    }
    std::vector<fakes::RecordedRequest> statuses() {
        std::vector<fakes::RecordedRequest> out;
        for (auto& r : login_.requests())
            if (r.path == "/1/statuses/update.json") out.push_back(r);
        return out;
    }
    // Writes the screen where TOLVEK_SCREENSHOTS points, for looking at.
    void shoot(const std::string& name) {
        const char* dir = std::getenv("TOLVEK_SCREENSHOTS");
        if (!dir || !*dir) return;
        std::filesystem::create_directories(dir);
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 640, 960);
        cairo_t* cr = cairo_create(surface);
        {
            gfx::Context ctx(cr, 2);
            app().renderScreen(ctx);
        }
        cairo_destroy(cr);
        cairo_surface_write_to_png(surface, (std::string(dir) + "/" + name + ".png").c_str());
        cairo_surface_destroy(surface);
    }
    fakes::HttpServer shortener_;
};

TEST_F(SHRTwitterTest, AStatusGoesOutSignedOnlineAndIsQueuedAndReplayedOffline) {
    Reports reports;
    storeToken();
    login_.on("POST", "/1/statuses/update.json", fakes::Reply::text(200, "{\"id\":1}", "application/json"));
    const std::string text = "Today I did a total of 42 pushups & more #Tolvek";
    SHRSharer::shareItem("SHRTwitter", SHRItem::text(text));
    auto form = waitForForm();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->textView()->text(), text);
    EXPECT_EQ(form->counter()->text(), base::format("%i", 140 - static_cast<int>(text.size())));
    tapNamed("Send to Twitter");
    ASSERT_TRUE(waitFor([&] { return reports.finished == 1; }));
    auto sent = statuses();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].method, "POST");
    EXPECT_EQ(sent[0].header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(sent[0].body, "status=Today%20I%20did%20a%20total%20of%2042%20pushups%20%26%20more%20%23Tolvek");
    auto check = fakes::OAuthChecker::verify(sent[0], "http", kConsumerSecret, "tsec");
    ASSERT_TRUE(check.valid) << check.why;
    EXPECT_EQ(check.params["oauth_consumer_key"], "Hq7TzPm2RkW9xNcv4LbE");
    EXPECT_EQ(check.params["oauth_token"], "tok");
    EXPECT_EQ(check.params["oauth_signature_method"], "HMAC-SHA1");
    advance(2);
    EXPECT_EQ(reports.order, (std::vector<std::string>{"start", "finish"}));

    // Offline: the status waits in the queue, then goes out with the same
    // bytes and no screen, and leaves the queue only once it was sent.
    Reachability::setStatusOverrideForTesting(NotReachable);
    SHRSharer::shareItem("SHRTwitter", SHRItem::text("Offline push"));
    waitForForm();
    tapNamed("Send to Twitter");
    advance(2);
    auto list = SHR::getOfflineQueueList();
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 1u);
    EXPECT_EQ((*list)[0]["sharer"].stringValue(), "SHRTwitter");
    EXPECT_EQ((*list)[0]["item"]["custom"]["status"].stringValue(), "Offline push");
    EXPECT_EQ(statuses().size(), 1u);

    Reachability::setStatusOverrideForTesting(ReachableViaWiFi);
    login_.once("POST", "/1/statuses/update.json", fakes::Reply::text(500, "{\"error\":\"Over capacity\"}"));
    SHR::flushOfflineQueue();
    auto queue = SHR::currentHelper().offlineQueue();
    ASSERT_TRUE(queue);
    ASSERT_TRUE(waitFor([&] { return statuses().size() == 2 && queue->operationCount() == 0; }));
    EXPECT_EQ(SHR::getOfflineQueueList()->size(), 1u);  // failed: kept
    SHR::flushOfflineQueue();
    ASSERT_TRUE(waitFor([&] { return SHR::getOfflineQueueList()->empty(); }));
    sent = statuses();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[1].body, "status=Offline%20push");
    EXPECT_EQ(sent[2].body, sent[1].body);
    check = fakes::OAuthChecker::verify(sent[2], "http", kConsumerSecret, "tsec");
    EXPECT_TRUE(check.valid) << check.why;
    EXPECT_FALSE(SHR::currentHelper().currentView());
    EXPECT_FALSE(alert());
}

TEST_F(SHRTwitterTest, CouldNotAuthenticateAsksForALoginThatRunsToTheEnd) {
    Reports reports;
    storeToken();
    login_.once("POST", "/1/statuses/update.json",
                fakes::Reply::text(
                    401, "{\"request\":\"/1/statuses/update.json\",\"error\":\"Could not authenticate with OAuth.\"}"));
    login_.on("POST", "/1/statuses/update.json", fakes::Reply::text(200, "{}"));
    login_.on("POST", "/oauth/request_token",
              fakes::Reply::text(200, "oauth_token=rq&oauth_token_secret=rqs&oauth_callback_confirmed=true"));
    login_.on("GET", "/oauth/authorize", fakes::Reply::text(200, loginPage("rq"), "text/html"));
    login_.on("POST", "/login",
              fakes::Reply::text(302, "").withHeader("Location",
                                                     callback_.url("/callback?oauth_token=rq&oauth_verifier=v2")));
    login_.on("POST", "/oauth/access_token",
              fakes::Reply::text(200, "oauth_token=new&oauth_token_secret=news&user_id=1&screen_name=anna"));

    SHRSharer::shareItem("SHRTwitter", SHRItem::text("Relogin push"));
    waitForForm();
    tapNamed("Send to Twitter");
    ASSERT_TRUE(waitFor([&] { return reports.failed == 1; }));
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->message(), "Could not authenticate you. Please relogin.");
    // The refused token is forgotten at once.
    EXPECT_FALSE(keychainValue("accessKey", "SHRTwitter"));
    EXPECT_FALSE(keychainValue("accessSecret", "SHRTwitter"));
    alert()->dismissWithClickedButtonIndex(0, false);

    // The login page, typed into by a person, after the failure was reported.
    ASSERT_TRUE(waitFor([&] { return oauthView() && oauthView()->webView()->textFieldNamed("username"); }));
    advance(1);
    EXPECT_EQ(login_.requests().back().query, "oauth_token=rq");
    tapNamed("Name");
    app().typeText("anna");
    tapNamed("Password");
    app().typeText("secret");
    shoot("twitter-login-page");
    tapNamed("Allow");
    // The access token arrives over the network; the rest runs on the clock.
    ASSERT_TRUE(waitFor([&] {
        return keychainValue("accessKey", "SHRTwitter").has_value() &&
               *keychainValue("accessKey", "SHRTwitter") == "new";
    }));
    auto form = waitForForm();
    ASSERT_TRUE(form);
    EXPECT_EQ(keychainValue("accessKey", "SHRTwitter"), "new");
    EXPECT_EQ(keychainValue("accessSecret", "SHRTwitter"), "news");
    EXPECT_EQ(callback_.requestCount(), 0u);
    EXPECT_EQ(form->textView()->text(), "Relogin push");
    tapNamed("Send to Twitter");
    ASSERT_TRUE(waitFor([&] { return reports.finished == 1; }));
    auto check = fakes::OAuthChecker::verify(statuses().back(), "http", kConsumerSecret, "news");
    EXPECT_TRUE(check.valid) << check.why;
    advance(2);
    EXPECT_EQ(reports.order, (std::vector<std::string>{"start", "fail", "start", "finish"}));
    EXPECT_EQ(SHR::currentHelper().activeSharerCountForTesting(), 0u);
}

TEST_F(SHRTwitterTest, TheServicesErrorTextIsShownAsItCame) {
    Reports reports;
    storeToken();
    login_.on("POST", "/1/statuses/update.json",
              fakes::Reply::text(403, "{\"error\":\"Over 100%d of %@ limit\",\"request\":\"x\"}"));
    SHRSharer::shareItem("SHRTwitter", SHRItem::text("Again"));
    waitForForm();
    tapNamed("Send to Twitter");
    ASSERT_TRUE(waitFor([&] { return reports.failed == 1; }));
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "Error");
    EXPECT_EQ(alert()->message(), "Over 100%d of %@ limit");
    EXPECT_FALSE(oauthView());  // not a login matter
}

TEST_F(SHRTwitterTest, AnImageIsUploadedWithEchoHeadersThenOneStatusAndOneFinish) {
    Reports reports;
    storeToken();
    api_.on(
        "POST", "/api/2/upload.xml",
        fakes::Reply::text(
            200, "<?xml version=\"1.0\"?><rsp><mediaid>abc</mediaid><URL>http://img.test/abc</url></rsp>", "text/xml"));
    login_.on("POST", "/1/statuses/update.json", fakes::Reply::text(200, "{}"));
    auto image = picture(40, false);
    SHRSharer::shareItem("SHRTwitter", SHRItem::image(image, "My progress"));
    auto form = waitForForm();
    ASSERT_TRUE(form);
    EXPECT_TRUE(form->hasAttachment());
    EXPECT_EQ(form->counter()->text(), "Image + 104");
    shoot("twitter-compose");
    tapNamed("Send to Twitter");
    ASSERT_TRUE(waitFor([&] { return reports.finished + reports.failed > 0; }));
    advance(2);

    auto upload = api_.lastRequest();
    ASSERT_TRUE(upload);
    EXPECT_EQ(upload->method, "POST");
    EXPECT_EQ(upload->header("Content-Type"), "multipart/form-data; boundary=0xKhTmLbOuNdArY");
    const std::string jpeg = [&] {
        auto bytes = SHRTwitter::imageData(*image);
        return std::string(bytes.begin(), bytes.end());
    }();
    ASSERT_GT(jpeg.size(), 2u);
    EXPECT_EQ(jpeg.substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(upload->body,
              "--0xKhTmLbOuNdArY\r\nContent-Disposition: form-data; name=\"media\"; filename=\"upload.jpg\"\r\n"
              "Content-Type: image/jpg\r\n\r\n" +
                  jpeg +
                  "\r\n--0xKhTmLbOuNdArY\r\nContent-Disposition: form-data; name=\"message\"\r\n\r\nMy progress\r\n"
                  "--0xKhTmLbOuNdArY--\r\n");
    // The upload's own signature (its multipart body is not signed) ...
    const std::string realm = "http://127.0.0.1:" + std::to_string(login_.port()) + "/";
    auto check = fakes::OAuthChecker::verify(*upload, "http", kConsumerSecret, "tsec");
    ASSERT_TRUE(check.valid) << check.why;
    EXPECT_EQ(check.realm, realm);
    // ... and the echo: the signed verify-credentials request the image host passes on.
    const std::string verify = login_.url("/1/account/verify_credentials.json");
    EXPECT_EQ(upload->header("X-Auth-Service-Provider"), verify);
    fakes::RecordedRequest echo;
    echo.method = "GET";
    echo.path = "/1/account/verify_credentials.json";
    echo.headers["Host"] = "127.0.0.1:" + std::to_string(login_.port());
    echo.headers["Authorization"] = upload->header("X-Verify-Credentials-Authorization");
    check = fakes::OAuthChecker::verify(echo, "http", kConsumerSecret, "tsec");
    ASSERT_TRUE(check.valid) << check.why;
    EXPECT_EQ(check.realm, realm);
    EXPECT_EQ(check.params["oauth_token"], "tok");

    auto sent = statuses();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].form().at("status"), "My progress http://img.test/abc");
    EXPECT_EQ(reports.finished, 1);
    EXPECT_EQ(reports.failed, 0);
    EXPECT_EQ(reports.order.back(), "finish");

    // An answer without a link ends the share with its finish and posts nothing.
    api_.on("POST", "/api/2/upload.xml", fakes::Reply::text(200, "<rsp><mediaid>abc</mediaid></rsp>"));
    SHRSharer::shareItem("SHRTwitter", SHRItem::image(image, "No link"));
    waitForForm();
    tapNamed("Send to Twitter");
    ASSERT_TRUE(waitFor([&] { return reports.finished == 2; }));
    advance(1);
    EXPECT_EQ(statuses().size(), 1u);
    // A refused upload fails without an error of its own.
    api_.on("POST", "/api/2/upload.xml", fakes::Reply::text(500, "down"));
    SHRSharer::shareItem("SHRTwitter", SHRItem::image(image, "Refused"));
    waitForForm();
    tapNamed("Send to Twitter");
    ASSERT_TRUE(waitFor([&] { return reports.failed == 1; }));
    EXPECT_EQ(reports.finished, 2);
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->message(), "There was an error while sharing");
}

TEST_F(SHRTwitterTest, TheCounterCountsUTF16UnitsAndTheFormRefusesTooLongOrEmptyText) {
    auto form = std::make_shared<SHRTwitterForm>();
    form->view();
    form->updateCounter();
    EXPECT_EQ(form->counter()->text(), "140");
    form->textView()->setText("a\U0001F4AA");  // an emoji is two UTF-16 units
    form->updateCounter();
    EXPECT_EQ(form->counter()->text(), "137");
    form->textView()->setText(std::string(141, 'x'));
    form->updateCounter();
    EXPECT_EQ(form->counter()->text(), "-1");
    EXPECT_EQ(form->counter()->textColor(), gfx::Color::rgb(1, 0, 0));
    form->save();
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "Message is too long");
    EXPECT_EQ(alert()->message(), "Twitter posts can only be 140 characters in length.");
    alert()->dismissWithClickedButtonIndex(0, false);

    form->setHasAttachment(true);
    form->textView()->setText(std::string(116, 'x'));
    form->updateCounter();
    EXPECT_EQ(form->counter()->text(), "Image + -1");
    form->save();
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "Message is too long");
    alert()->dismissWithClickedButtonIndex(0, false);
    form->textView()->setText(std::string(115, 'x'));
    form->updateCounter();
    EXPECT_EQ(form->counter()->text(), "Image + 0");
    EXPECT_EQ(form->counter()->textColor(), gfx::Color::black());

    form->textView()->setText("");
    form->save();
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "Message is empty");
    EXPECT_EQ(alert()->message(), "You must enter a message in order to post.");
    alert()->dismissWithClickedButtonIndex(0, false);

    // A status over 140 at send time opens the compose screen again.
    auto sharer = std::dynamic_pointer_cast<SHRTwitter>(SHRSharer::create("SHRTwitter"));
    sharer->setItem(SHRItem::text(std::string(141, 'y')));
    SHR::currentHelper().keepSharer(sharer);
    sharer->setStatus(std::string(141, 'y'));
    EXPECT_FALSE(sharer->validate());
    EXPECT_FALSE(sharer->send());
    ASSERT_TRUE(waitForForm());
    EXPECT_EQ(twitterForm()->textView()->text(), std::string(141, 'y'));
    EXPECT_EQ(login_.requestCount(), 0u);
}

TEST_F(SHRTwitterTest, TheShortenersAnswersAndTheOfflineLink) {
    auto item = [] {
        auto i = SHRItem::URL(net::URL("http://example.com/long%20path?a=1"), "Title");
        i->setText("Look");
        return i;
    };
    auto statusFor = [&](const std::optional<fakes::Reply>& reply) {
        if (reply) shortener_.on("GET", "/v3/shorten", *reply);
        auto sharer = std::dynamic_pointer_cast<SHRTwitter>(SHRSharer::create("SHRTwitter"));
        sharer->setItem(item());
        SHR::currentHelper().keepSharer(sharer);
        sharer->show();
        auto form = waitForForm();
        std::string text = form ? form->textView()->text() : "(no form)";
        SHR::currentHelper().hideCurrentViewControllerAnimated(false);
        advance(1);
        SHR::currentHelper().releaseSharer(sharer.get());
        return text;
    };
    EXPECT_EQ(statusFor(fakes::Reply::text(200, "http://sho.rt/x\r\n")), "Look http://sho.rt/x");
    auto asked = shortener_.lastRequest();
    ASSERT_TRUE(asked);
    EXPECT_EQ(asked->query, "login=&apikey=&longUrl=http%3A%2F%2Fexample.com%2Flong%2520path%3Fa%3D1&format=txt");
    EXPECT_FALSE(alert());

    EXPECT_EQ(statusFor(fakes::Reply::text(200, "ALREADY_A_BITLY_LINK\n")), "Look http://example.com/long path?a=1");
    EXPECT_FALSE(alert());

    for (const auto& bad : {fakes::Reply::text(200, ""), fakes::Reply::text(200, "not a link"),
                            fakes::Reply::text(500, "http://sho.rt/error")}) {
        EXPECT_EQ(statusFor(bad), "Look http://example.com/long path?a=1");
        ASSERT_TRUE(alert());
        EXPECT_EQ(alert()->title(), "Shorten URL Error");
        EXPECT_EQ(alert()->message(), "We could not shorten the URL.");
        EXPECT_EQ(alert()->buttonTitleAtIndex(0), "Continue");
        alert()->dismissWithClickedButtonIndex(0, false);
    }

    const auto before = shortener_.requestCount();
    Reachability::setStatusOverrideForTesting(NotReachable);
    EXPECT_EQ(statusFor(std::nullopt), "Title http://example.com/long path?a=1");
    EXPECT_EQ(shortener_.requestCount(), before);
    EXPECT_FALSE(alert());
}

TEST_F(SHRTwitterTest, ConfigurationAnswersAndImageSizes) {
    auto sharer = std::dynamic_pointer_cast<SHRTwitter>(SHRSharer::create("SHRTwitter"));
    ASSERT_TRUE(sharer);
    EXPECT_EQ(sharer->sharerTitle(), "Twitter");
    EXPECT_TRUE(sharer->canShareURL() && sharer->canShareText() && sharer->canShareImage());
    EXPECT_FALSE(sharer->canShareFile());
    EXPECT_FALSE(sharer->shouldAutoShare());
    EXPECT_FALSE(sharer->xAuth());
    ASSERT_EQ(sharer->authorizationFormFields().size(), 2u);  // no follow account configured
    EXPECT_EQ(sharer->authorizationFormCaption(), "Create a free account at twitter.com");
    EXPECT_EQ(sharer->authorizeURL()->absoluteString(), login_.url("/oauth/authorize"));

    EXPECT_EQ(SHRTwitter::errorMessage("{\"request\":\"x\"}"), "Unknown Error");
    EXPECT_EQ(SHRTwitter::errorMessage("{\"error\":\"Status is a duplicate.\"}"), "Status is a duplicate.");
    EXPECT_EQ(SHRTwitter::uploadedImageURL("<Url>http://a/b</URL>"), "http://a/b");
    EXPECT_FALSE(SHRTwitter::uploadedImageURL("</url>http://a/b<url>"));
    EXPECT_FALSE(SHRTwitter::uploadedImageURL("<url>http://a/b"));

    // A picture that stays too big at every quality goes as its last, smallest encoding.
    auto noisy = picture(300, true);
    const auto first = noisy->encodeJPEG(0.9f);
    const auto data = SHRTwitter::imageData(*noisy, 1000);
    EXPECT_LT(data.size(), first.size());
    EXPECT_GT(data.size(), 1000u);
    EXPECT_EQ(SHRTwitter::imageData(*noisy, first.size()), first);  // small enough at once
}

}  // namespace

namespace {

TEST_F(SHRTwitterTest, TheDirectLoginSendsExactlyItsThreeParametersWhenSwitchedOn) {
    login_.on("POST", "/oauth/access_token", fakes::Reply::text(401, "Invalid user name or password"));
    auto sharer = std::dynamic_pointer_cast<SHRTwitter>(SHRSharer::create("SHRTwitter"));
    sharer->setItem(SHRItem::text("x"));
    SHR::currentHelper().keepSharer(sharer);
    sharer->setXAuth(true);
    auto form = std::make_shared<SHRCustomFormController>(ui::TableViewStyle::Grouped, "Login", "Login");
    form->addSection({SHRFormFieldSettings::label("Username", "username", SHRFormFieldTypeText, "anna"),
                      SHRFormFieldSettings::label("Password", "password", SHRFormFieldTypePassword, "p&w")},
                     std::nullopt, std::nullopt);
    form->view()->setFrame(ui::Rect(0, 0, 320, 416));
    form->view()->layoutIfNeeded();
    sharer->restoreAccessToken();
    sharer->setRequestToken(std::make_shared<OAToken>());
    sharer->authorizationFormValidate(*form);
    ASSERT_TRUE(waitFor([&] { return alert() != nullptr; }));
    auto sent = login_.lastRequest();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->body, "x_auth_username=anna&x_auth_password=p%26w&x_auth_mode=client_auth");
    auto check = fakes::OAuthChecker::verify(*sent, "http", kConsumerSecret, "");
    EXPECT_TRUE(check.valid) << check.why;
    // The refusal's own text is the alert's message.
    EXPECT_EQ(alert()->title(), "Access Error");
    EXPECT_EQ(alert()->message(), "Invalid user name or password");
    EXPECT_TRUE(keychain_->items().empty());
}

}  // namespace
