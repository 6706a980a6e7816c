#pragma once
// The fixture of the OAuth sharer tests: a window with a root screen for the
// framework's screens, a memory keychain, the network reachable, and three
// loopback fakes: the service's login host (token steps and the authorize
// page), its API host and the callback host (which must never be reached).
#include <gtest/gtest.h>

#include "TestEnvironment.h"
#include "fakes/HttpServer.h"
#include "fakes/OAuthChecker.h"
#include "platform/base/Clock.h"
#include "platform/base/Keychain.h"
#include "platform/base/NotificationCenter.h"
#include "platform/base/RunLoop.h"
#include "platform/base/UserDefaults.h"
#include "platform/net/CookieStorage.h"
#include "platform/net/Services.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"
#include "sharing/core/Reachability.h"
#include "sharing/core/SHR.h"
#include "sharing/core/SHRActivityIndicator.h"
#include "sharing/core/SHROAuthSharer.h"
#include "sharing/core/SHROAuthView.h"
#include "sharing/core/SHRSharer.h"
#include "sharing/SharingTestSupport.h"

namespace oauthtest {

// Counts the four share notifications.
struct Reports {
    int started = 0, finished = 0, failed = 0, cancelled = 0;
    std::vector<std::string> order;
    std::vector<base::NotificationCenter::Token> tokens;
    Reports() {
        auto& center = base::NotificationCenter::defaultCenter();
        tokens.push_back(
            center.addObserver(this, SHRSendDidStartNotification, nullptr, [this](const base::Notification&) {
                ++started;
                order.push_back("start");
            }));
        tokens.push_back(center.addObserver(this, SHRSendDidFinish, nullptr, [this](const base::Notification&) {
            ++finished;
            order.push_back("finish");
        }));
        tokens.push_back(center.addObserver(this, SHRSendDidFailWithError, nullptr, [this](const base::Notification&) {
            ++failed;
            order.push_back("fail");
        }));
        tokens.push_back(center.addObserver(this, SHRSendDidCancel, nullptr, [this](const base::Notification&) {
            ++cancelled;
            order.push_back("cancel");
        }));
    }
    ~Reports() {
        for (auto& t : tokens) base::NotificationCenter::defaultCenter().removeObserver(t);
    }
};

class OAuthTest : public sharingtest::SharingTest {
protected:
    void SetUp() override {
        SharingTest::SetUp();
        net::CookieStorage::sharedHTTPCookieStorage().deleteAllCookies();
    }
    void TearDown() override {
        SharingTest::TearDown();
        net::Services::resetForTesting();
        net::CookieStorage::sharedHTTPCookieStorage().deleteAllCookies();
    }

    ui::Application& app() { return ui::Application::sharedApplication(); }
    // Runs the loop in short slices until cond holds (at most about the
    // seconds of real time, reached only when it never does): some
    // conditions change on other threads (the fakes, the offline queue)
    // without waking the loop.
    bool waitFor(const std::function<bool()>& cond, double seconds = 60) {
        for (int i = 0; i < static_cast<int>(seconds / 0.02); ++i)
            if (base::RunLoop::main().runUntil(cond, 0.02)) return true;
        return cond();
    }
    bool tapNamed(const std::string& name) {
        std::string why;
        bool ok = app().tapElement(name, &why);
        if (!ok) ADD_FAILURE() << why;
        return ok;
    }

    // The authorization page shown by the framework, once it is up.
    std::shared_ptr<SHROAuthView> oauthView() {
        auto nav = std::dynamic_pointer_cast<ui::NavigationController>(SHR::currentHelper().currentView());
        return nav ? std::dynamic_pointer_cast<SHROAuthView>(nav->topViewController()) : nullptr;
    }
    // The front alert, or null.
    std::shared_ptr<ui::AlertView> alert() { return std::dynamic_pointer_cast<ui::AlertView>(app().frontAlert()); }
    // The text shown by the activity indicator now ("" when hidden).
    std::string indicatorText() {
        auto indicator = SHRActivityIndicator::existingIndicator();
        if (!indicator || indicator->isHidden() || !indicator->superview()) return "";
        return indicator->subMessageLabel() ? indicator->subMessageLabel()->text() : "";
    }
    std::optional<std::string> keychainValue(const std::string& key, const std::string& sharer) {
        return SHR::getAuthValueForKey(key, sharer);
    }

    fakes::HttpServer login_;     // token steps and the authorize page
    fakes::HttpServer api_;       // the service's API
    fakes::HttpServer callback_;  // the callback page: must stay untouched
};

// The service's login page: the request token travels in a hidden field.
inline std::string loginPage(const std::string& token) {
    return "<html><head><title>Sign in to allow Tolvek</title></head><body>"
           "<p>Tolvek would like to save to your account.</p>"
           "<form method='post' action='/login'>"
           "<input type='hidden' name='oauth_token' value='" +
           token +
           "'>"
           "<p>Name</p><input type='text' name='username' placeholder='Name'>"
           "<p>Password</p><input type='password' name='password' placeholder='Password'>"
           "<input type='submit' value='Allow'>"
           "</form></body></html>";
}

}  // namespace oauthtest
