#pragma once
// The text-message composer. This machine has no way to send a text
// message, so canSendText() answers NO and callers leave text messaging out
// of their menus. The class exists so that code can look it up and ask; if
// one is shown anyway it shows the message with Cancel, and Send reports
// failed.
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/NavigationController.h"

namespace ui {

class MessageComposeViewController;
class MessageComposeScreen;

enum class MessageComposeResult { Cancelled = 0, Sent = 1, Failed = 2 };

class MessageComposeViewControllerDelegate {
public:
    virtual ~MessageComposeViewControllerDelegate() = default;
    virtual void didFinishWithResult(MessageComposeViewController& controller, MessageComposeResult result) {
        (void)controller, (void)result;
    }
};

class MessageComposeViewController : public NavigationController {
public:
    MessageComposeViewController();
    ~MessageComposeViewController() override;

    static bool canSendText() { return false; }

    std::shared_ptr<MessageComposeViewControllerDelegate> messageComposeDelegate() const { return delegate_.lock(); }
    void setMessageComposeDelegate(std::weak_ptr<MessageComposeViewControllerDelegate> delegate) {
        delegate_ = std::move(delegate);
    }
    const std::vector<std::string>& recipients() const { return recipients_; }
    void setRecipients(std::vector<std::string> recipients) { recipients_ = std::move(recipients); }
    const std::string& body() const { return body_; }
    void setBody(std::string body);

    void send();
    void cancel();
    void loadView() override;

private:
    std::weak_ptr<MessageComposeViewControllerDelegate> delegate_;
    std::shared_ptr<MessageComposeScreen> screen_;
    std::vector<std::string> recipients_;
    std::string body_;
    bool finished_ = false;
};

}  // namespace ui
