#include "training/LogViewController.h"

#include "sharing/core/SHRActionSheet.h"
#include "sharing/core/SHRItem.h"

#include "platform/base/Format.h"
#include "platform/base/Log.h"
#include "platform/base/NotificationCenter.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "training/DataAccess.h"
#include "training/HomeLook.h"
#include "training/Log.h"
#include "training/AppState.h"
#include "training/Utility.h"

namespace {
constexpr const char* kUpdatesComplete = "UpdatesComplete";
}

LogViewController::LogViewController() : ui::ViewController("LogView") { setTitle("Log a Day"); }

LogViewController::~LogViewController() { base::NotificationCenter::defaultCenter().removeObserver(this); }

void LogViewController::loadView() {
    const ui::Rect frame = ui::Screen::mainScreen().applicationFrame();
    auto view = std::make_shared<ui::View>(frame);
    view->setBackgroundColor(homelook::background());
    view->addSubview(homelook::label(ui::Rect(20, 8, 280, 28), "Log a Training Day", gfx::Font::boldSystemFont(20),
                                     homelook::gold()));
    for (int i = 0; i < 9; ++i) {
        auto field = std::make_shared<ui::TextField>(ui::Rect(20, 42 + i * 39, 280, 33));
        field->setBorderStyle(ui::TextBorderStyle::RoundedRect);
        field->setBackgroundColor(gfx::Color::clear());
        field->setFont(gfx::Font::systemFont(15));
        field->setKeyboardType(ui::KeyboardType::NumbersAndPunctuation);
        field->setReturnKeyType(ui::ReturnKeyType::Next);
        field->setAccessibilityLabel(base::format("Set %d", i + 1));
        field->setTag(i + 1);
        view->addSubview(field);
        fields_[i] = field;
    }
    saveButton_ = homelook::button(ui::Rect(16, 405, 297, 47), "Save", homelook::barTint(), gfx::Color::black());
    std::weak_ptr<ui::ViewController> weak = weak_from_this();
    saveButton_->addTarget(
        [weak] {
            if (auto self = std::static_pointer_cast<LogViewController>(weak.lock())) self->saveLog();
        },
        ui::ControlEvents::TouchUpInside);
    view->addSubview(saveButton_);
    indicator_ = std::make_shared<ui::ActivityIndicatorView>(ui::ActivityIndicatorViewStyle::White);
    indicator_->setCenter(ui::Point(160, 380));
    view->addSubview(indicator_);
    setView(view);
}

void LogViewController::viewDidLoad() {
    auto self = std::dynamic_pointer_cast<ui::TextFieldDelegate>(shared_from_this());
    for (auto& field : fields_) field->setDelegate(self);
}

std::array<int, 9> LogViewController::plannedSlots() const {
    if (!today_) return {};
    return today_->nineSlots(today_->week(), today_->day());
}

int LogViewController::visibleSlots() const {
    if (!today_) return 5;
    return Program::slotCount(today_->week(), today_->day());
}

void LogViewController::viewWillAppear(bool) {
    std::weak_ptr<ui::ViewController> weak = weak_from_this();
    auto self = [weak] { return std::static_pointer_cast<LogViewController>(weak.lock()); };
    auto& center = base::NotificationCenter::defaultCenter();
    center.removeObserver(this);
    // The keyboard's notifications come from the application, whoever sends them.
    center.addObserver(this, ui::KeyboardWillShowNotification, nullptr, [self](const base::Notification&) {
        if (auto s = self()) s->keyboardWillShow();
    });
    center.addObserver(this, kUpdatesComplete, nullptr, [self](const base::Notification&) {
        if (auto s = self()) s->socialNetworkUpdatesFinished();
    });
}

void LogViewController::viewDidAppear(bool) {
    for (auto& field : fields_) field->setText("");
    message_ = "Day Saved ";
    indicator_->stopAnimating();
    const int visible = visibleSlots();
    extendedKeyboard_ = visible == 8 ? 1 : visible == 9 ? 2 : 0;
    const auto planned = plannedSlots();
    for (int i = 0; i < 9; ++i) {
        auto& field = fields_[i];
        field->setHidden(i >= visible);
        field->setPlaceholder(base::format("Program default for Rep %d: %d", i + 1, planned[i]));
        field->setReturnKeyType(i + 1 == visible ? ui::ReturnKeyType::Done : ui::ReturnKeyType::Next);
    }
}

void LogViewController::viewWillDisappear(bool) {
    view()->endEditing(true);
    base::NotificationCenter::defaultCenter().removeObserver(this);
}

void LogViewController::socialNetworkUpdatesFinished() {
    auto delegate = AppState::current();
    if (auto nav = delegate ? delegate->navigationController() : nullptr) {
        nav->setNavigationBarHidden(false);
        nav->dismissModalViewControllerAnimated(false);
    }
}

int LogViewController::editingSlot() const {
    for (int i = 0; i < 9; ++i)
        if (fields_[i] && fields_[i]->isEditing()) return i + 1;
    return 0;
}

void LogViewController::keyboardWillShow() {
    if (editingSlot() >= 5 && !(view()->frame().origin.y < 0)) setMovedUp(true);
}

void LogViewController::setMovedUp(bool movedUp) {
    auto v = view();
    ui::View::beginAnimations("moveUp");
    ui::View::setAnimationDuration(0.3);
    ui::Rect rect = v->frame();
    if (movedUp && rect.origin.y > 0) {
        rect.origin.y -= 150;
        rect.size.height += 150;
    } else if (!movedUp && rect.origin.y <= 0) {
        rect.origin.y += 150;
        rect.size.height -= 150;
    }
    v->setFrame(rect);
    ui::View::commitAnimations();
    hasMovedUp_ = movedUp;
}

bool LogViewController::textFieldShouldReturn(ui::TextField& field) {
    const int slot = field.tag();
    const int visible = visibleSlots();
    if (slot >= 1 && slot < visible) {
        fields_[slot]->becomeFirstResponder();
        if (slot == 6) setMovedUp(true);
    } else {
        setMovedUp(false);
        field.resignFirstResponder();
    }
    return true;
}

void LogViewController::touchesBegan(const ui::TouchSet& touches, const ui::Event* event) {
    for (auto& field : fields_) {
        if (!field->isEditing()) continue;
        bool onField = false;
        for (auto& t : touches)
            if (t->view() == std::static_pointer_cast<ui::View>(field)) onField = true;
        if (!onField) field->resignFirstResponder();
    }
    if (hasMovedUp_) setMovedUp(false);
    ui::ViewController::touchesBegan(touches, event);
}

void LogViewController::saveLog() {
    if (!today_) return;
    const auto planned = plannedSlots();
    std::array<int, 9> slots{};
    for (int i = 0; i < 9; ++i) {
        const std::string& text = fields_[i]->text();
        if (text.empty()) {
            slots[i] = planned[i];
        } else if (const auto count = Utility::countFromText(text, Utility::kMostReps)) {
            slots[i] = *count;
        } else {
            Utility::ShowAlert("Please insert a valid number");
            return;
        }
    }
    Log log;
    log.setWeek(today_->week());
    log.setDay(today_->day());
    log.setLevel(today_->level());
    log.setReps(slots);
    statusString_ = base::format(
        "Today I did a total of %i pushups thanks to the Tolvek iPhone app. (Week %i, Day %i, Level %i) #Tolvek",
        log.total(), today_->week(), today_->day(), today_->level());
    DataAccess::saveLog(log);
    // Then the day's result is offered for sharing.
    auto sheet = SHRActionSheet::actionSheetForItem(SHRItem::text(statusString_));
    if (!sheet) return;
    sheet->setDelegate(std::dynamic_pointer_cast<ui::ActionSheetDelegate>(shared_from_this()));
    sheet->showFromRect(ui::Rect(16, 405, 297, 47), view(), true);
}

void LogViewController::sharerStartedSending(SHRSharer&) { base::log("started sharing"); }
void LogViewController::sharerFinishedSending(SHRSharer&) { base::log("sharer finished"); }
void LogViewController::sharerCancelledSending(SHRSharer&) { base::log("sharer cancelled"); }
void LogViewController::sharerFailedWithError(SHRSharer&, const net::Error&, bool) { base::log("sharer failed"); }

void LogViewController::didDismissWithButtonIndex(ui::ActionSheet&, int) { base::log("stopped"); }
