#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "TestEnvironment.h"
#include "fakes/HttpServer.h"
#include "platform/base/Keychain.h"
#include "platform/base/RunLoop.h"
#include "platform/host/HeadlessDriver.h"
#include "platform/net/CookieStorage.h"
#include "platform/net/Services.h"
#include "platform/ui/Application.h"
#include "platform/ui/Window.h"
#include "sharing/core/Reachability.h"
#include "sharing/core/SHR.h"
#include "sharing/core/SHRSharer.h"
#include "sharing/services/BuiltInSharers.h"
#include "OAuthTestSupport.h"
#include "support/MemoryKeychain.h"

namespace {

class Home : public ui::ApplicationDelegate {
public:
    bool didFinishLaunchingWithOptions(ui::Application&, const base::Value&) override {
        window_ = std::make_shared<ui::Window>(ui::Screen::mainScreen().bounds());
        window_->setBackgroundColor(gfx::Color::white());
        root_ = std::make_shared<ui::ViewController>();
        window_->setRootViewController(root_);
        window_->makeKeyAndVisible();
        return true;
    }
    std::shared_ptr<ui::Window> window() const override { return window_; }

private:
    std::shared_ptr<ui::Window> window_;
    std::shared_ptr<ui::ViewController> root_;
};

// The authorize page as a person meets it in the running application: the
// headless driver taps the fields by name, types, looks and taps Allow.
TEST(OAuthHeadlessTest, APersonSignsInOnTheServicesPageAndTheBookmarkIsSaved) {
    test::TempHome home;
    auto keychain = std::make_shared<testsupport::MemoryKeychain>();
    auto oldKeychain = base::Keychain::setSharedForTesting(keychain);
    fakes::HttpServer login, api, callback;
    net::Services::pointAtLoopbackForTesting("DeliciousLogin", login.port());
    net::Services::pointAtLoopbackForTesting("DeliciousAPI", api.port());
    net::Services::pointAtLoopbackForTesting("SharingWebSite", callback.port());
    login.on("POST", "/oauth/v2/get_request_token", fakes::Reply::text(200, "oauth_token=req1&oauth_token_secret=rs1"));
    login.on("GET", "/oauth/v2/request_auth", fakes::Reply::text(200, oauthtest::loginPage("req1"), "text/html"));
    login.on("POST", "/login",
             fakes::Reply::text(302, "").withHeader("Location",
                                                    callback.url("/oauthcallback?oauth_token=req1&oauth_verifier=v")));
    login.on("POST", "/oauth/v2/get_token", fakes::Reply::text(200, "oauth_token=acc1&oauth_token_secret=as1"));
    api.on("GET", "/v2/posts/add", fakes::Reply::text(200, "<result code=\"done\" />"));
    {
        host::HeadlessDriver driver;
        ASSERT_TRUE(driver.start(std::make_shared<Home>()));
        SHR::resetForTesting();
        registerBuiltInSharers();
        Reachability::setStatusOverrideForTesting(ReachableViaWiFi);
        base::UserDefaults::standardUserDefaults().setBool("SHRDelicious_shouldAutoShare", true);

        SHRSharer::shareURL("SHRDelicious", net::URL("http://example.com/"), std::string("Example"));
        ASSERT_TRUE(base::RunLoop::main().runUntil([&] { return driver.isTextVisible("Tolvek would like"); }, 10));
        driver.wait(1);
        ASSERT_TRUE(driver.tap("Name")) << driver.lastError();
        ASSERT_TRUE(driver.type("anna")) << driver.lastError();
        ASSERT_TRUE(driver.tap("Password")) << driver.lastError();
        ASSERT_TRUE(driver.type("s3cret")) << driver.lastError();
        EXPECT_TRUE(driver.expectNot("s3cret"));  // masked
        driver.wait(0.5);                         // the keyboard slides up
        const char* dir = std::getenv("TOLVEK_SCREENSHOTS");
        const std::string shots = dir && *dir ? dir : home.path() + "/shots";
        ASSERT_TRUE(driver.screenshot(shots + "/oauth-login-page.png")) << driver.lastError();
        EXPECT_GT(std::filesystem::file_size(shots + "/oauth-login-page.png"), 1000u);
        oauthtest::Reports reports;
        ASSERT_TRUE(driver.pressReturn()) << driver.lastError();  // "Go" submits, as in a browser
        ASSERT_TRUE(base::RunLoop::main().runUntil([&] { return reports.finished == 1; }, 10));
        EXPECT_TRUE(driver.expect("Saved!"));
        driver.wait(2);
        EXPECT_EQ(login.requests()[2].form().at("password"), "s3cret");
        EXPECT_EQ(callback.requestCount(), 0u);
        EXPECT_EQ(SHR::getAuthValueForKey("accessKey", "SHRDelicious"), "acc1");
        EXPECT_EQ(api.requestCount(), 1u);
        SHR::resetForTesting();
        Reachability::setStatusOverrideForTesting(std::nullopt);
    }
    base::Keychain::setSharedForTesting(oldKeychain);
    net::Services::resetForTesting();
    net::CookieStorage::sharedHTTPCookieStorage().deleteAllCookies();
}

}  // namespace
