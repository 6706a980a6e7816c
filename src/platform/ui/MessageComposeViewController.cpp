#include "platform/ui/MessageComposeViewController.h"

#include "platform/gfx/Color.h"
#include "platform/gfx/Font.h"
#include "platform/ui/ComposeButtons.h"
#include "platform/ui/Label.h"

namespace ui {

class MessageComposeScreen : public ViewController {
public:
    void loadView() override {
        auto view = std::make_shared<View>(Rect(0, 0, 320, 416));
        view->setBackgroundColor(gfx::Color::white());
        body = std::make_shared<Label>(Rect(12, 12, 296, 200));
        body->setNumberOfLines(0);
        body->setFont(gfx::Font::systemFont(15));
        view->addSubview(body);
        auto note = std::make_shared<Label>(Rect(12, 380, 296, 24));
        note->setText("Text messages cannot be sent from this computer.");
        note->setFont(gfx::Font::systemFont(12));
        note->setTextColor(gfx::Color::gray(0.45));
        view->addSubview(note);
        setView(view);
    }
    std::shared_ptr<Label> body;
};

MessageComposeViewController::MessageComposeViewController() {
    screen_ = std::make_shared<MessageComposeScreen>();
    screen_->setTitle("New Message");
}

MessageComposeViewController::~MessageComposeViewController() = default;

void MessageComposeViewController::setBody(std::string body) {
    body_ = std::move(body);
    if (screen_->isViewLoaded()) screen_->body->setText(body_);
}

void MessageComposeViewController::loadView() {
    NavigationController::loadView();
    setCancelAndSendButtons(*screen_, std::static_pointer_cast<MessageComposeViewController>(shared_from_this()));
    setViewControllers({screen_});
    screen_->view();
    screen_->body->setText(body_);
}

void MessageComposeViewController::send() {
    if (finished_) return;
    finished_ = true;
    if (auto d = messageComposeDelegate()) d->didFinishWithResult(*this, MessageComposeResult::Failed);
}

void MessageComposeViewController::cancel() {
    if (finished_) return;
    finished_ = true;
    if (auto d = messageComposeDelegate()) d->didFinishWithResult(*this, MessageComposeResult::Cancelled);
}

}  // namespace ui
