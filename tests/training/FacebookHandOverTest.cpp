// URLs another program opens in the application reach the Facebook client
// through the application delegate; the Facebook login dialog over the
// workout screen, as the headless script shows it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "TestEnvironment.h"
#include "fakes/FacebookFake.h"
#include "platform/base/Clock.h"
#include "platform/base/Keychain.h"
#include "platform/base/RunLoop.h"
#include "platform/base/UserDefaults.h"
#include "platform/host/HeadlessDriver.h"
#include "platform/net/Services.h"
#include "platform/ui/Application.h"
#include "sharing/core/Reachability.h"
#include "sharing/core/SHR.h"
#include "sharing/core/SHRItem.h"
#include "sharing/core/SHRSharer.h"
#include "sharing/services/BuiltInSharers.h"
#include "support/MemoryKeychain.h"
#include "training/TolvekAppDelegate.h"

namespace {

// The longest a test waits for the loopback stand-in's answer to arrive;
// reached only when it never does.
constexpr auto kAnswerLimit = std::chrono::seconds(60);

// Runs the work handed to the main loop as it comes, without moving the
// clock, until done() holds.
bool runUntilDone(const std::function<bool()>& done) {
    const auto limit = std::chrono::steady_clock::now() + kAnswerLimit;
    while (!done() && std::chrono::steady_clock::now() < limit) base::RunLoop::main().runOnce(0.01);
    return done();
}

class FacebookHandOverTest : public ::testing::Test {
protected:
    void SetUp() override {
        base::Clock::setCurrent(clock_);
        oldKeychain_ = base::Keychain::setSharedForTesting(keychain_);
        ui::Application::resetSharedApplication();
        ui::Application::sharedApplication().setDelegate(std::make_shared<TolvekAppDelegate>());
        SHR::resetForTesting();
        registerBuiltInSharers();
        Reachability::setStatusOverrideForTesting(ReachableViaWiFi);
        for (const auto& name : fakes::FacebookFake::serviceNames())
            net::Services::pointAtLoopbackForTesting(name, fb_.server().port());
    }
    void TearDown() override {
        SHR::resetForTesting();
        base::RunLoop::main().advanceBy(2);
        Reachability::setStatusOverrideForTesting(std::nullopt);
        ui::Application::resetSharedApplication();
        base::Keychain::setSharedForTesting(oldKeychain_);
        net::Services::resetForTesting();
        base::Clock::setCurrent(nullptr);
    }
    bool deliver(const std::string& url) { return ui::Application::sharedApplication().deliverOpenURL(url); }
    std::optional<std::string> token() { return SHR::getAuthValueForKey("SHRFacebookAccessToken", "SHRFacebook"); }
    base::UserDefaults& defaults() { return base::UserDefaults::standardUserDefaults(); }

    test::TempHome home_;
    std::shared_ptr<base::ManualClock> clock_ = std::make_shared<base::ManualClock>();
    fakes::FacebookFake fb_;
    std::shared_ptr<testsupport::MemoryKeychain> keychain_ = std::make_shared<testsupport::MemoryKeychain>();
    std::shared_ptr<base::Keychain> oldKeychain_;
};

TEST_F(FacebookHandOverTest, TheLoginAnswerGivesAValidSessionAndFinishesTheParkedShare) {
    defaults().setObject("SHRFacebookPendingItem", SHRItem::text("Today I did 40")->dictionaryRepresentation());
    EXPECT_TRUE(deliver("fb584019276341://authorize#access_token=tk%2B1&expires_in=3600"));
    EXPECT_EQ(token(), "tk+1");
    auto expiry = defaults().dateForKey("SHRFacebookExpirationDate");
    ASSERT_TRUE(expiry);
    EXPECT_NEAR(expiry->timeIntervalSinceNow(), 3600, 5);
    EXPECT_TRUE(SHRSharer::isServiceAuthorized("SHRFacebook"));
    EXPECT_FALSE(defaults().dictionaryForKey("SHRFacebookPendingItem"));
    // The fresh sharer keeps itself until its share is sent.
    ASSERT_TRUE(runUntilDone([&] { return !fb_.requestsTo("/me/feed").empty(); }));
    ASSERT_EQ(fb_.requestsTo("/me/feed").size(), 1u);
    EXPECT_NE(fb_.requestsTo("/me/feed")[0].body.find("Today I did 40"), std::string::npos);
}

TEST_F(FacebookHandOverTest, OtherURLsAreNotTakenAndChangeNothing) {
    SHR::setAuthValue("kept", "SHRFacebookAccessToken", "SHRFacebook");
    EXPECT_FALSE(deliver("fb999999999999://authorize#access_token=x&expires_in=60"));
    EXPECT_FALSE(deliver("mailto:someone@example.com"));
    EXPECT_FALSE(deliver("fbconnect://success#access_token=x"));
    EXPECT_EQ(token(), "kept");
    EXPECT_TRUE(defaults().objectForKey("SHRFacebookExpirationDate").isNull());
    // A refusal of our own scheme is taken, and is a cancellation: nothing is stored.
    EXPECT_TRUE(deliver("fb584019276341://authorize#error=access_denied"));
    EXPECT_EQ(token(), "kept");
    EXPECT_EQ(fb_.server().requestCount(), 0u);
}

// The login dialog as a person meets it: a day done, Share, Facebook. The
// page comes from the local stand-in over the network, so the driver's
// clock is moved on in small steps while real time passes for the answer.
TEST(FacebookLoginScript, TheLoginDialogShowsOverTheWorkoutScreen) {
    test::TempHome home;
    fakes::FacebookFake fb;
    for (const auto& name : fakes::FacebookFake::serviceNames())
        net::Services::pointAtLoopbackForTesting(name, fb.server().port());
    auto& defaults = base::UserDefaults::standardUserDefaults();
    defaults.setInteger("Tolvek_Level", 1);
    defaults.setInteger("Tolvek_Week", 1);
    defaults.setInteger("Tolvek_Day", 1);
    defaults.synchronize();
    Reachability::setStatusOverrideForTesting(ReachableViaWiFi);
    const char* keep = std::getenv("TOLVEK_SHOTS");
    const std::string shots = keep ? std::string(keep) : home.path() + "/shots";
    std::filesystem::create_directories(shots);
    {
        host::HeadlessDriver driver;
        ASSERT_TRUE(driver.start(std::make_shared<TolvekAppDelegate>()));
        ASSERT_TRUE(driver.tap("Today's Workout")) << driver.lastError();
        driver.wait(2);
        ASSERT_TRUE(driver.tap("Tap To Start")) << driver.lastError();
        for (int set = 0; set < 5; ++set) {
            ASSERT_TRUE(driver.tap("Done")) << driver.lastError();
            if (set < 4) driver.wait(61);
        }
        ASSERT_TRUE(driver.expect("Day Completed")) << driver.lastError();
        ASSERT_TRUE(driver.tap("Share")) << driver.lastError();
        driver.wait(1);
        ASSERT_TRUE(driver.tap("Facebook")) << driver.lastError();
        // The clock moves on in small steps while the page is on its way.
        const auto limit = std::chrono::steady_clock::now() + kAnswerLimit;
        while (!(driver.isTextVisible("Log in to use your Facebook account") &&
                 driver.isTextVisible("Log In | Facebook")) &&
               std::chrono::steady_clock::now() < limit) {
            base::RunLoop::main().runOnce(0.02);
            driver.wait(0.02);
        }
        driver.wait(1);  // the dialog has grown to its size
        EXPECT_TRUE(driver.expect("Log In | Facebook")) << driver.lastError();
        EXPECT_TRUE(driver.expect("Log in to use your Facebook account with Tolvek.")) << driver.lastError();
        EXPECT_TRUE(driver.screenshot(shots + "/facebook_login.png")) << driver.lastError();
        ASSERT_TRUE(driver.tap("Close")) << driver.lastError();
        driver.wait(2);
        EXPECT_TRUE(driver.expectNot("Log In | Facebook")) << driver.lastError();
        EXPECT_TRUE(driver.expect("Day Completed")) << driver.lastError();
        driver.quit();
    }
    Reachability::setStatusOverrideForTesting(std::nullopt);
    net::Services::resetForTesting();
    EXPECT_TRUE(std::filesystem::exists(shots + "/facebook_login.png"));
    ASSERT_FALSE(fb.requestsTo("/dialog/oauth").empty());
    EXPECT_EQ(fb.requestsTo("/dialog/oauth")[0].queryItems().at("client_id"), "584019276341");
}

}  // namespace
