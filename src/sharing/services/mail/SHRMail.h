#pragma once
// Hands the item to the mail composer: the text, the link and a line
// naming the attachment as an HTML body, the file or image attached.
#include "platform/ui/MailComposeViewController.h"
#include "sharing/core/SHRSharer.h"

// The mail composer as the framework presents it: it tells the helper when
// it has gone, unless it only went behind a screen of its own.
class SHRMailComposeViewController : public ui::MailComposeViewController {
public:
    void viewDidDisappear(bool animated) override;
};

class SHRMail : public SHRSharer, public ui::MailComposeViewControllerDelegate {
public:
    std::string sharerId() const override { return "SHRMail"; }
    std::string sharerTitle() const override;
    bool canShareText() const override { return true; }
    bool canShareURL() const override { return true; }
    bool canShareImage() const override { return true; }
    bool canShareFile() const override { return true; }
    bool canShare() const override { return ui::MailComposeViewController::canSendMail(); }
    bool shareRequiresInternetConnection() const override { return false; }
    bool requiresAuthentication() const override { return false; }
    bool shouldAutoShare() override { return true; }
    bool send() override;
    bool sendMail();
    void didFinishWithResult(ui::MailComposeViewController& controller, ui::MailComposeResult result,
                             const std::optional<net::Error>& error) override;
};
