#include "sharing/services/twitter/SHRTwitterForm.h"

#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"
#include "sharing/core/SHR.h"
#include "sharing/core/SHRFunctions.h"
#include "sharing/services/twitter/SHRTwitter.h"

namespace {

void alert(const std::string& title, const std::string& message) {
    auto view = std::make_shared<ui::AlertView>(title, message, std::weak_ptr<ui::AlertViewDelegate>(),
                                                localizedFormat("Close"));
    view->show();
}

}  // namespace

SHRTwitterForm::SHRTwitterForm() = default;

void SHRTwitterForm::loadView() {
    std::weak_ptr<ui::ViewController> weak = shared_from_this();
    navigationItem()->setLeftBarButtonItem(
        std::make_shared<ui::BarButtonItem>(ui::BarButtonSystemItem::Cancel, [weak](ui::BarButtonItem&) {
            if (auto form = std::static_pointer_cast<SHRTwitterForm>(weak.lock())) form->cancel();
        }));
    navigationItem()->setRightBarButtonItem(std::make_shared<ui::BarButtonItem>(
        localizedFormat("Send to Twitter"), ui::BarButtonItemStyle::Done, [weak](ui::BarButtonItem&) {
            if (auto form = std::static_pointer_cast<SHRTwitterForm>(weak.lock())) form->save();
        }));
    auto base = std::make_shared<ui::View>(ui::Rect(0, 0, 320, 416));
    base->setBackgroundColor(gfx::Color::white());
    setView(base);
    textView_ = std::make_shared<ui::TextView>(base->bounds());
    textView_->setDelegate(
        std::static_pointer_cast<ui::TextViewDelegate>(std::static_pointer_cast<SHRTwitterForm>(shared_from_this())));
    textView_->setFont(gfx::Font::systemFont(15));
    textView_->setContentInset(ui::EdgeInsets{5, 5, 0, 0});
    textView_->setBackgroundColor(gfx::Color::white());
    textView_->setAutoresizingMask(ui::Autoresizing::FlexibleWidth | ui::Autoresizing::FlexibleHeight);
    base->addSubview(textView_);
}

void SHRTwitterForm::viewDidAppear(bool animated) {
    ui::ViewController::viewDidAppear(animated);
    std::weak_ptr<ui::ViewController> weak = shared_from_this();
    keyboardObserver_ = base::NotificationCenter::defaultCenter().addObserver(
        this, ui::KeyboardWillShowNotification, nullptr, [weak](const base::Notification& n) {
            if (auto form = std::static_pointer_cast<SHRTwitterForm>(weak.lock())) form->keyboardWillShow(n);
        });
    textView_->becomeFirstResponder();
}

void SHRTwitterForm::viewDidDisappear(bool animated) {
    ui::ViewController::viewDidDisappear(animated);
    if (keyboardObserver_) base::NotificationCenter::defaultCenter().removeObserver(*keyboardObserver_);
    keyboardObserver_.reset();
    SHR::currentHelper().viewWasDismissed();
}

void SHRTwitterForm::keyboardWillShow(const base::Notification& notification) {
    const ui::Rect keyboard = ui::rectFromString(notification.userInfo[ui::KeyboardBoundsUserInfoKey].stringValue());
    auto& app = ui::Application::sharedApplication();
    const ui::Rect frame = view()->frame();
    const ui::Rect inWindow = view()->convertRectToView(view()->bounds(), nullptr);
    // The window is always portrait here.
    const ui::Float origin = inWindow.minY();
    const ui::Float extent = ui::Screen::mainScreen().applicationFrame().height();
    const ui::Float statusBar = app.isStatusBarHidden() ? 0 : 20;
    const ui::Float height = frame.height() - keyboard.height() + (extent - (origin + frame.height())) + statusBar;
    textView_->setFrame(ui::Rect(0, 0, frame.width(), std::max<ui::Float>(height, 0)));
    layoutCounter();
}

int SHRTwitterForm::remainingCount() const {
    const std::string text = textView_ ? textView_->text() : std::string();
    return limit() - static_cast<int>(ui::utf16Length(text));
}

void SHRTwitterForm::updateCounter() {
    if (!counter_) {
        counter_ = std::make_shared<ui::Label>();
        counter_->setBackgroundColor(gfx::Color::clear());
        counter_->setOpaque(false);
        counter_->setFont(gfx::Font::boldSystemFont(14));
        counter_->setTextAlignment(ui::TextAlignment::Right);
        counter_->setAutoresizingMask(ui::Autoresizing::FlexibleLeftMargin | ui::Autoresizing::FlexibleTopMargin);
        view()->addSubview(counter_);
        layoutCounter();
    }
    const int count = remainingCount();
    counter_->setText(base::format("%@%i", hasAttachment_ ? localizedFormat("Image + ") : std::string(), count));
    counter_->setTextColor(count < 0 ? gfx::Color::rgb(1, 0, 0) : gfx::Color::black());
}

void SHRTwitterForm::layoutCounter() {
    if (!counter_ || !textView_) return;
    const ui::Rect tv = textView_->frame();
    counter_->setFrame(ui::Rect(tv.width() - 150 - 15, tv.height() - 15 - 9, 150, 15));
}

void SHRTwitterForm::save() {
    const std::string text = textView_ ? textView_->text() : std::string();
    if (remainingCount() < 0) {
        alert(localizedFormat("Message is too long"),
              localizedFormat("Twitter posts can only be 140 characters in length."));
        return;
    }
    if (text.empty()) {
        alert(localizedFormat("Message is empty"), localizedFormat("You must enter a message in order to post."));
        return;
    }
    if (auto delegate = delegate_.lock()) delegate->sendForm(*this);
    SHR::currentHelper().hideCurrentViewControllerAnimated(true);
}

void SHRTwitterForm::cancel() {
    SHR::currentHelper().hideCurrentViewControllerAnimated(true);
    if (auto delegate = delegate_.lock()) delegate->sendDidCancel();
}
