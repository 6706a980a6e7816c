#include "screens/AnswersViewController.h"

#include "platform/base/Format.h"
#include "platform/ui/NavigationController.h"
#include "screens/ScreenAction.h"
#include "screens/SettingsLook.h"
#include "training/HomeLook.h"
#include "training/Utility.h"

namespace {

const char* const kAnswers[] = {
    // 0: getting started
    "After your initial test, tap Today's Workout on the main menu to start Day 1 of the level your test chose.\r\r"
    "If you entered a wrong value for the initial test, you can redo it under Settings > Redo Initial Test.\r\r"
    "If someone else entered a value and started the program, resetting is refused while their day is in hand: "
    "tap through that day to its end, then redo the test.",
    // 1: days a week
    "The program is done 3 times a week for 6 weeks (and beyond, if you like), with a rest day between two "
    "workout days: for instance Monday, Wednesday and Friday.",
    // 2
    "If at any time you are unsure about your pushup technique, you can refer to the Good Form page by tapping "
    "Good Form from the main menu. This gives a detailed explanation of the correct body position and technique "
    "to execute pushups efficiently and safely.",
    // 3
    "It's up to you, but it's better to give your arms a good rest by sitting in an arm chair or lying down "
    "resting them. Don't feel that you have to continue to lie prone and ready for the next set!",
    // 4
    "If you are using a device (iPhone or iPod etc) that has an operating system prior to IOS 4 installed, it "
    "will not be capable of using the workout notification feature.",
    // 5: finished
    "Congratulations on finishing the program!\r\r"
    "The next time you tap Today's Workout, Tolvek asks whether to start over from the beginning or to go on "
    "from week 4.\r\r"
    "You can also set any week, day and level with Reset To Day in the Settings menu.",
};

const char* const kHandedToMailProgram = "Your email to Quillon was handed to your mail program";
const char* const kSavedNotSent = "Your email was not sent: no mail program took it. It is saved as %@";
const char* const kCanMail = "Tap below to send us feedback. We value your opinion and/or suggestions";
const char* const kNoMail =
    "You do not appear to have mail setup.\rPlease go into the Mail app and set up an email provider";

}  // namespace

AnswersViewController::AnswersViewController() : ui::ViewController("AnswersView") { setTitle("F.A.Q."); }

std::string AnswersViewController::answerText(int hint, bool canSendMail) {
    if (hint == kFeedbackHint) return canSendMail ? kCanMail : kNoMail;
    if (hint < 0 || hint >= kFeedbackHint) return {};
    return kAnswers[hint];
}

void AnswersViewController::loadView() {
    auto view = settingslook::screenView();
    card_ = std::make_shared<homelook::CardView>(ui::Rect(10, 12, 300, 312));
    view->addSubview(card_);
    hintText_ = std::make_shared<ui::TextView>(ui::Rect(16, 18, 288, 300));
    hintText_->setEditable(false);
    hintText_->setBackgroundColor(gfx::Color::clear());
    hintText_->setTextColor(homelook::ink());
    view->addSubview(hintText_);

    feedbackButton_ =
        homelook::button(ui::Rect(20, 340, 280, 44), "Send Feedback", homelook::barTint(), gfx::Color::black());
    feedbackButton_->setFont(gfx::Font::boldSystemFont(18));
    feedbackButton_->addTarget(screenAction(this, &AnswersViewController::feedbackTapped),
                               ui::ControlEvents::TouchUpInside);
    view->addSubview(feedbackButton_);
    setView(view);
}

void AnswersViewController::viewWillAppear(bool) {
    feedbackButton_->setHidden(true);
    const bool canMail = hint_ == kFeedbackHint && ui::MailComposeViewController::canSendMail();
    if (hint_ >= 0 && hint_ <= kFeedbackHint) hintText_->setText(answerText(hint_, canMail));
    if (canMail) feedbackButton_->setHidden(false);
    // The answer takes the whole screen unless the button shows below it.
    const ui::Float height = canMail ? 312 : 392;
    card_->setFrame(ui::Rect(10, 12, 300, height));
    hintText_->setFrame(ui::Rect(16, 18, 288, height - 12));
    hintText_->setFont(gfx::Font("Helvetica", 18));
    hintText_->setContentOffset(ui::Point(0, 0));
    navigationItem()->setTitleView(settingslook::titleLabel("F.A.Q.", 180));
}

void AnswersViewController::feedbackTapped() {
    if (ui::MailComposeViewController::canSendMail()) displayComposerSheet();
}

void AnswersViewController::displayComposerSheet() {
    // One composer at a time.
    if (modalViewController()) return;
    composer_ = std::make_shared<ui::MailComposeViewController>();
    composer_->setMailComposeDelegate(
        std::dynamic_pointer_cast<ui::MailComposeViewControllerDelegate>(shared_from_this()));
    composer_->setSubject("Feedback for Tolvek");
    composer_->setToRecipients({kFeedbackAddress});
    composer_->setMessageBody("<Type Feedback here>", false);
    presentModalViewController(composer_, true);
}

void AnswersViewController::didFinishWithResult(ui::MailComposeViewController& composer, ui::MailComposeResult result,
                                                const std::optional<net::Error>&) {
    if (result == ui::MailComposeResult::Failed) {
        // The composer stays, so that the feedback typed is not lost: the
        // user can send it again or cancel.
        Utility::ShowAlert("Your email failed to send. Please try again later");
        return;
    }
    // A mail program still showing the message has not sent it yet: the
    // user hears what is known, and the composer tells should it fail later.
    if (result == ui::MailComposeResult::Sent)
        Utility::ShowAlert(
            composer.lastHandoff() == ui::MailHandoff::Opened ? kHandedToMailProgram : "Email sent to Quillon",
            "Feedback");
    // Kept in the outbox because no mail program took it: not sent, and the
    // user learns where the message is. A draft saved on purpose needs no word.
    if (result == ui::MailComposeResult::Saved && !composer.lastWrittenIsDraft())
        Utility::ShowAlert(base::format(kSavedNotSent, composer.lastWrittenPath()), "Feedback");
    dismissModalViewControllerAnimated(true);
    composer_.reset();
}
