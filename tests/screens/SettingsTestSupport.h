#pragma once
// Shared set-up of the settings, option, plan and F.A.Q. screen tests: the
// program launched headless in a temporary home with the screens
// registered, helpers to reach the settings menu and its rows, and a mail
// hand-off that keeps messages in the outbox.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/base/NotificationCenter.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/MailComposeViewController.h"
#include "screens/ConfigurationTableViewController.h"
#include "screens/RegisterScreens.h"
#include "training/HomeTestSupport.h"

namespace settingstest {

class SettingsTest : public hometest::ScreenTest {
protected:
    void SetUp() override {
        registerScreens();
        ui::MailComposeViewController::setHandoffForTesting([this](const ui::OutboxMessage& message) {
            mailed.push_back(message);
            return true;
        });
    }
    void TearDown() override {
        base::NotificationCenter::defaultCenter().removeObserver(this);
        ui::MailComposeViewController::resetHandoffForTesting();
        hometest::ScreenTest::TearDown();
    }

    // Launches a placed user and opens the settings menu.
    void openMenu(int day = 1, int week = 1, int level = 1) {
        placed(day, week, level);
        launch();
        tap("Settings");
    }
    std::shared_ptr<ConfigurationTableViewController> menu() {
        return std::dynamic_pointer_cast<ConfigurationTableViewController>(
            home()->navigationController()->viewControllers().at(1));
    }
    std::shared_ptr<ui::ViewController> top() { return nav()->topViewController(); }
    // Scrolls the menu to the row and taps it by its title.
    void tapRow(int row) {
        // The table lays its rows out when it is next drawn; scrolling needs
        // them now.
        menu()->configTable()->layoutIfNeeded();
        menu()->configTable()->scrollToRowAtIndexPath(ui::IndexPath::indexPathForRow(row, 0),
                                                      ui::TableViewScrollPosition::Middle, false);
        driver->wait(0.1);
        tap(ConfigurationTableViewController::rowInfo(row).title);
    }
    // The alert in front, if any.
    std::shared_ptr<ui::AlertView> alert() {
        return std::dynamic_pointer_cast<ui::AlertView>(application().frontAlert());
    }
    // Counts the notifications of the name from now on.
    void hear(const std::string& name) {
        base::NotificationCenter::defaultCenter().addObserver(this, name, nullptr, [this](const base::Notification& n) {
            heard.push_back(n.name);
            heardSenders.push_back(n.sender);
        });
    }

    std::vector<ui::OutboxMessage> mailed;
    std::vector<std::string> heard;
    std::vector<const void*> heardSenders;
};

}  // namespace settingstest
