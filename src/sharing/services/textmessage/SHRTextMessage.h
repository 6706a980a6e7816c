#pragma once
// Hands the item's text and link to the text-message composer (where the
// computer can send text messages; elsewhere it is left out of the menus).
#include "platform/ui/MessageComposeViewController.h"
#include "sharing/core/SHRSharer.h"

class SHRMessageComposeViewController : public ui::MessageComposeViewController {
public:
    void viewDidDisappear(bool animated) override;
};

class SHRTextMessage : public SHRSharer, public ui::MessageComposeViewControllerDelegate {
public:
    std::string sharerId() const override { return "SHRTextMessage"; }
    std::string sharerTitle() const override { return "SMS"; }
    bool canShareText() const override { return true; }
    bool canShareURL() const override { return true; }
    bool canShare() const override { return ui::MessageComposeViewController::canSendText(); }
    bool shareRequiresInternetConnection() const override { return false; }
    bool requiresAuthentication() const override { return false; }
    bool shouldAutoShare() override { return true; }
    bool send() override;
    bool sendText();
    void didFinishWithResult(ui::MessageComposeViewController& controller, ui::MessageComposeResult result) override;
};
