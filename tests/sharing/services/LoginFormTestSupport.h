#pragma once
// The fixture of the login-form sharer tests: a window with a root screen
// for the framework's screens, a memory keychain, the network reachable,
// and one loopback server that stands in for every form service (their
// paths differ). Helpers fill and submit the framework's forms the way a
// user would, through their cells.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "TestEnvironment.h"
#include "fakes/HttpServer.h"
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
#include "platform/ui/TableView.h"
#include "platform/ui/Window.h"
#include "sharing/core/Reachability.h"
#include "sharing/core/SHR.h"
#include "sharing/core/SHRActivityIndicator.h"
#include "sharing/core/SHRFormController.h"
#include "sharing/core/SHRSharer.h"
#include "sharing/services/BuiltInSharers.h"
#include "support/MemoryKeychain.h"

namespace formtest {

// Counts the four share notifications, in order.
struct Reports {
    int started = 0, finished = 0, failed = 0, cancelled = 0;
    std::vector<std::string> order;
    std::vector<base::NotificationCenter::Token> tokens;
    Reports() {
        auto& center = base::NotificationCenter::defaultCenter();
        auto count = [this](int& n, const char* name) {
            return [this, &n, name](const base::Notification&) {
                ++n;
                order.push_back(name);
            };
        };
        tokens.push_back(center.addObserver(this, SHRSendDidStartNotification, nullptr, count(started, "start")));
        tokens.push_back(center.addObserver(this, SHRSendDidFinish, nullptr, count(finished, "finish")));
        tokens.push_back(center.addObserver(this, SHRSendDidFailWithError, nullptr, count(failed, "fail")));
        tokens.push_back(center.addObserver(this, SHRSendDidCancel, nullptr, count(cancelled, "cancel")));
    }
    ~Reports() {
        for (auto& t : tokens) base::NotificationCenter::defaultCenter().removeObserver(t);
    }
    bool over() const { return finished + failed + cancelled > 0; }
};

class LoginFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        clock_ = std::make_shared<base::ManualClock>(1700000000.0);
        base::Clock::setCurrent(clock_);
        ui::Application::resetSharedApplication();
        oldKeychain_ = base::Keychain::setSharedForTesting(keychain_);
        window_ = std::make_shared<ui::Window>();
        window_->makeKeyAndVisible();
        root_ = std::make_shared<ui::ViewController>();
        nav_ = std::make_shared<ui::NavigationController>(root_);
        window_->addSubview(nav_->view());
        SHR::resetForTesting();
        registerBuiltInSharers();
        Reachability::setStatusOverrideForTesting(ReachableViaWiFi);
        net::CookieStorage::sharedHTTPCookieStorage().deleteAllCookies();
        // The plain-http "GoogleReader" entry is left alone on purpose: a
        // request sent there would fail (tests reach loopback hosts only).
        for (const char* service :
             {"Instapaper", "Pinboard", "ReadItLater", "GoogleAccounts", "GoogleReaderSecure", "Tumblr"})
            net::Services::pointAtLoopbackForTesting(service, api_.port());
    }
    void TearDown() override {
        SHR::resetForTesting();
        Reachability::setStatusOverrideForTesting(std::nullopt);
        advance(2);
        window_.reset();
        ui::Application::resetSharedApplication();
        base::Keychain::setSharedForTesting(oldKeychain_);
        base::Clock::setCurrent(nullptr);
        net::Services::resetForTesting();
        net::CookieStorage::sharedHTTPCookieStorage().deleteAllCookies();
    }

    ui::Application& app() { return ui::Application::sharedApplication(); }
    base::UserDefaults& defaults() { return base::UserDefaults::standardUserDefaults(); }
    void advance(double s) { base::RunLoop::main().advanceBy(s); }
    bool waitFor(const std::function<bool()>& cond, double seconds = 10) {
        return base::RunLoop::main().runUntil(cond, seconds);
    }
    // Runs the loop until the server has seen count requests and the last
    // answer has been handled: handled() holds, being what the answer leads
    // to (an alert, a report, a stored login). Then a second more passes for
    // the screens to settle. The answers come back on another thread, in
    // real time: the loop runs in short slices, the clock moving on with
    // real time, for at most a minute (reached only when nothing comes).
    bool waitForAnswer(std::size_t count, const std::function<bool()>& handled) {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        auto inSlices = [&](const std::function<bool()>& cond) {
            while (!base::RunLoop::main().runUntil(cond, 0.02))
                if (std::chrono::steady_clock::now() > limit) return false;
            return true;
        };
        const bool ok = inSlices([&] { return api_.requestCount() >= count; }) && inSlices(handled);
        advance(1);
        return ok;
    }

    // The front alert, or null.
    std::shared_ptr<ui::AlertView> alert() { return std::dynamic_pointer_cast<ui::AlertView>(app().frontAlert()); }
    std::string alertText() {
        auto a = alert();
        return a ? a->title() + ": " + a->message() : "";
    }
    void dismissAlert() {
        if (auto a = alert()) a->buttonTapped(0);
        advance(1);
    }
    // The text the activity indicator shows now ("" when hidden).
    std::string indicatorText() {
        auto indicator = SHRActivityIndicator::existingIndicator();
        if (!indicator || indicator->isHidden() || !indicator->superview()) return "";
        return indicator->subMessageLabel() ? indicator->subMessageLabel()->text() : "";
    }

    // The form shown by the framework now (a login form comes wrapped in a
    // navigation controller, a share form is the sharer's root).
    std::shared_ptr<SHRFormController> shownForm() {
        advance(1);
        auto nav = std::dynamic_pointer_cast<ui::NavigationController>(SHR::currentHelper().currentView());
        return nav ? std::dynamic_pointer_cast<SHRFormController>(nav->topViewController()) : nullptr;
    }
    // Types values into the shown form's first section and taps its right
    // button (validate, then whatever the sharer does).
    bool submitForm(const std::map<std::string, std::string>& values) {
        auto form = shownForm();
        if (!form) return false;
        auto table = form->tableView();
        table->layoutIfNeeded();
        const auto& rows = form->sections().at(0).rows;
        for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
            auto it = values.find(rows[row]->key());
            if (it == values.end()) continue;
            auto cell = std::dynamic_pointer_cast<SHRFormFieldCell>(table->cellForRowAtIndexPath({0, row}));
            if (!cell) return false;
            cell->setValue(it->second);
        }
        form->validateForm();
        return true;
    }
    std::vector<std::string> formKeys() {
        std::vector<std::string> keys;
        if (auto form = shownForm())
            for (const auto& row : form->sections().at(0).rows) keys.push_back(row->key());
        return keys;
    }

    std::optional<std::string> stored(const std::string& key, const std::string& sharer) {
        return SHR::getAuthValueForKey(key, sharer);
    }
    void store(const std::string& sharer, const std::map<std::string, std::string>& values) {
        for (const auto& [k, v] : values) SHR::setAuthValue(v, k, sharer);
    }

    test::TempHome home_;
    fakes::HttpServer api_;
    std::shared_ptr<base::ManualClock> clock_;
    std::shared_ptr<testsupport::MemoryKeychain> keychain_ = std::make_shared<testsupport::MemoryKeychain>();
    std::shared_ptr<base::Keychain> oldKeychain_;
    std::shared_ptr<ui::Window> window_;
    std::shared_ptr<ui::ViewController> root_;
    std::shared_ptr<ui::NavigationController> nav_;
};

}  // namespace formtest
