#pragma once
// The ground every sharing test stands on: a temporary home, a manual clock,
// a fresh application with a window whose root screen sits in a navigation
// controller (for the framework's screens), a memory keychain, the framework
// reset with its built-in sharers registered, and the network reachable.
// Tests add their own servers and set-up around it.
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "TestEnvironment.h"
#include "platform/base/Clock.h"
#include "platform/base/Keychain.h"
#include "platform/base/RunLoop.h"
#include "platform/base/UserDefaults.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"
#include "sharing/core/Reachability.h"
#include "sharing/core/SHR.h"
#include "sharing/core/SHRSharer.h"
#include "sharing/services/BuiltInSharers.h"
#include "support/MemoryKeychain.h"

namespace sharingtest {

class SharingTest : public ::testing::Test {
protected:
    void SetUp() override {
        clock_ = std::make_shared<base::ManualClock>();
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
    }
    // Lets what the framework left running end, then puts the application,
    // keychain and clock back.
    void TearDown() override {
        SHR::resetForTesting();
        Reachability::setStatusOverrideForTesting(std::nullopt);
        advance(2);
        window_.reset();
        ui::Application::resetSharedApplication();
        base::Keychain::setSharedForTesting(oldKeychain_);
        base::Clock::setCurrent(nullptr);
    }

    void advance(double s) { base::RunLoop::main().advanceBy(s); }
    base::UserDefaults& defaults() { return base::UserDefaults::standardUserDefaults(); }

    test::TempHome home_;
    std::shared_ptr<base::ManualClock> clock_;
    std::shared_ptr<testsupport::MemoryKeychain> keychain_ = std::make_shared<testsupport::MemoryKeychain>();
    std::shared_ptr<base::Keychain> oldKeychain_;
    std::shared_ptr<ui::Window> window_;
    std::shared_ptr<ui::ViewController> root_;
    std::shared_ptr<ui::NavigationController> nav_;
};

}  // namespace sharingtest
