// The login and share forms of the form sharers as the user sees them, on
// the headless host: the captions and fields are on screen, and pictures
// of them are written for a look (into the temporary folder).
#include <gtest/gtest.h>

#include <filesystem>

#include "TestEnvironment.h"
#include "platform/base/Keychain.h"
#include "platform/host/HeadlessDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"
#include "sharing/core/Reachability.h"
#include "sharing/core/SHR.h"
#include "sharing/core/SHRSharer.h"
#include "sharing/services/BuiltInSharers.h"
#include "support/MemoryKeychain.h"

namespace {

class PlainRoot : public ui::ApplicationDelegate {
public:
    bool didFinishLaunchingWithOptions(ui::Application&, const base::Value&) override {
        window_ = std::make_shared<ui::Window>(ui::Screen::mainScreen().bounds());
        window_->setBackgroundColor(gfx::Color::white());
        window_->setRootViewController(
            std::make_shared<ui::NavigationController>(std::make_shared<ui::ViewController>()));
        window_->makeKeyAndVisible();
        return true;
    }
    std::shared_ptr<ui::Window> window() const override { return window_; }

private:
    std::shared_ptr<ui::Window> window_;
};

TEST(LoginFormScreens, CaptionsAndFieldsAreShown) {
    test::TempHome home;
    auto keychain = std::make_shared<testsupport::MemoryKeychain>();
    auto oldKeychain = base::Keychain::setSharedForTesting(keychain);
    const auto folder = std::filesystem::temp_directory_path() / "tolvek-form-screens";
    {
        host::HeadlessDriver driver;
        ASSERT_TRUE(driver.start(std::make_shared<PlainRoot>()));
        SHR::resetForTesting();
        registerBuiltInSharers();
        Reachability::setStatusOverrideForTesting(ReachableViaWiFi);

        SHRSharer::shareText("SHRTumblr", "Today I did a total of 50 pushups");
        driver.wait(1);
        EXPECT_TRUE(driver.expect("Create a free account at Tumblr.com")) << driver.lastError();
        EXPECT_TRUE(driver.expect("Email"));
        EXPECT_TRUE(driver.screenshot((folder / "tumblr_login.png").string()));
        SHR::currentHelper().hideCurrentViewController();
        driver.wait(1);

        SHR::setAuthValue("anna", "email", "SHRTumblr");
        SHRSharer::shareText("SHRTumblr", "Today I did a total of 50 pushups");
        driver.wait(1);
        EXPECT_TRUE(driver.expect("Send to Twitter")) << driver.lastError();
        EXPECT_TRUE(driver.expect("Slug"));
        EXPECT_TRUE(driver.screenshot((folder / "tumblr_share.png").string()));
        SHR::currentHelper().hideCurrentViewController();
        driver.wait(1);

        SHRSharer::shareURL("SHRReadItLater", net::URL("http://example.com/"));
        driver.wait(1);
        EXPECT_TRUE(driver.expect("Create a free account at Readitlaterlist.com")) << driver.lastError();
        EXPECT_TRUE(driver.screenshot((folder / "readitlater_login.png").string()));
        SHR::currentHelper().hideCurrentViewController();
        driver.wait(1);

        SHRSharer::shareText("SHREvernote", "Today I did a total of 50 pushups");
        driver.wait(1);
        EXPECT_TRUE(driver.expect("Username")) << driver.lastError();
        EXPECT_TRUE(driver.screenshot((folder / "evernote_login.png").string()));
        SHR::currentHelper().hideCurrentViewController();
        driver.wait(1);
        SHR::resetForTesting();
        Reachability::setStatusOverrideForTesting(std::nullopt);
    }
    base::Keychain::setSharedForTesting(oldKeychain);
}

}  // namespace
