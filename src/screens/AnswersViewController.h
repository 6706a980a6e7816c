#pragma once
// The answer to one F.A.Q. question; the feedback answer offers a button
// that writes a feedback e-mail to the makers of Tolvek.
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/Button.h"
#include "platform/ui/MailComposeViewController.h"
#include "platform/ui/TextField.h"
#include "platform/ui/ViewController.h"

// Where feedback mail goes: the project's own feedback address.
inline constexpr const char* kFeedbackAddress = "feedback@tolvek.example";

class AnswersViewController : public ui::ViewController, public ui::MailComposeViewControllerDelegate {
public:
    static constexpr int kFeedbackHint = 6;

    AnswersViewController();

    // The question answered, 0 to 6.
    int hint() const { return hint_; }
    void setHint(int hint) { hint_ = hint; }
    std::shared_ptr<ui::TextView> hintText() const { return hintText_; }
    std::shared_ptr<ui::Button> feedbackButton() const { return feedbackButton_; }
    // The feedback composer while it is shown.
    std::shared_ptr<ui::MailComposeViewController> composer() const { return composer_; }

    // The answer's text (for the feedback answer, as mail can be sent or not).
    static std::string answerText(int hint, bool canSendMail);

    void loadView() override;
    void viewWillAppear(bool animated) override;

    void feedbackTapped();
    // Presents a mail composer addressed to the feedback address.
    void displayComposerSheet();
    void didFinishWithResult(ui::MailComposeViewController& controller, ui::MailComposeResult result,
                             const std::optional<net::Error>& error) override;

private:
    int hint_ = 0;
    std::shared_ptr<ui::View> card_;
    std::shared_ptr<ui::TextView> hintText_;
    std::shared_ptr<ui::Button> feedbackButton_;
    std::shared_ptr<ui::MailComposeViewController> composer_;
};
