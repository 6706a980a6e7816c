#include "training/EditRepsViewController.h"

#include "platform/base/Format.h"
#include "platform/gfx/Font.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "training/CustomRepViewController.h"
#include "training/DataAccess.h"
#include "training/Utility.h"
#include "training/WorkoutLook.h"

namespace look = workoutlook;

namespace {
constexpr ui::Float kFirstRowY = 12;
constexpr ui::Float kRowStep = 38;
constexpr ui::Float kShift = 150;

}  // namespace

EditRepsViewController::EditRepsViewController() : ui::ViewController("EditRepsView") {
    setTitle("Edit Sets");
    // The keyboard is observed from the start (the editor is made anew for
    // every use) until the screen goes.
    observeKeyboard();
}

EditRepsViewController::~EditRepsViewController() { base::NotificationCenter::defaultCenter().removeObserver(this); }

void EditRepsViewController::observeKeyboard() {
    if (keyboardToken_) return;
    // The handler reaches the editor through the centre's owner key only while
    // the editor exists: the destructor removes it.
    keyboardToken_ = base::NotificationCenter::defaultCenter().addObserver(
        this, ui::KeyboardWillShowNotification, nullptr, [this](const base::Notification&) { keyboardWillShow(); });
}

int EditRepsViewController::fieldsInUse() const {
    switch (extendedKeyboard_) {
    case 1: return 8;
    case 2: return 9;
    default: return 5;
    }
}

void EditRepsViewController::loadView() {
    auto view = std::make_shared<ui::View>(ui::Rect(0, 0, 320, 416));
    view->setBackgroundColor(look::background());
    auto self = std::static_pointer_cast<EditRepsViewController>(shared_from_this());
    for (int i = 0; i < 9; ++i) {
        const ui::Float y = kFirstRowY + kRowStep * static_cast<ui::Float>(i);
        captions_[i] = look::label(ui::Rect(10, y, 92, 32), {}, gfx::Font::boldSystemFont(13), look::ink(),
                                   ui::TextAlignment::Left);
        view->addSubview(captions_[i]);
        auto field = std::make_shared<ui::TextField>(ui::Rect(104, y, 206, 32));
        field->setBorderStyle(ui::TextBorderStyle::RoundedRect);
        field->setBackgroundColor(gfx::Color::clear());
        field->setFont(gfx::Font::systemFont(13));
        field->setKeyboardType(ui::KeyboardType::NumbersAndPunctuation);
        field->setReturnKeyType(ui::ReturnKeyType::Next);
        field->setAccessibilityLabel(base::format("Round %d", i + 1));
        field->setTag(i + 1);
        field->setDelegate(self);
        view->addSubview(field);
        fields_[i] = field;
    }
    setView(view);
    navigationItem()->setRightBarButtonItem(std::make_shared<ui::BarButtonItem>(
        "Save", ui::BarButtonItemStyle::Done, [this](ui::BarButtonItem&) { saveRepsToUserTapped(); }));
}

void EditRepsViewController::chooseFields(int week, int day) {
    view();
    const int slots = Program::slotCount(week, day);
    extendedKeyboard_ = slots == 9 ? 2 : slots == 8 ? 1 : 0;
    const int used = fieldsInUse();
    // Which set each round of the day is (1 to 5), 0 for rounds not in use.
    const auto sets = Program::slotSets(week, day);
    for (int i = 0; i < 9; ++i) {
        const bool inUse = i < used;
        fields_[i]->setHidden(!inUse);
        captions_[i]->setHidden(!inUse);
        fields_[i]->setReturnKeyType(i + 1 == used ? ui::ReturnKeyType::Done : ui::ReturnKeyType::Next);
        if (!inUse) continue;
        const bool doubled = (i + 1 < 9 && sets[i + 1] == sets[i]) || (i > 0 && sets[i - 1] == sets[i]);
        captions_[i]->setText(
            doubled ? base::format("Set %d (%s)", sets[i], (i > 0 && sets[i - 1] == sets[i]) ? "2nd" : "1st")
                    : base::format("Set %d", sets[i]));
    }
}

void EditRepsViewController::viewWillAppear(bool animated) {
    (void)animated;
    observeKeyboard();
    isEditingToday_ = true;
    if (today_) {
        showDefaultProgram();
    } else if (logToEdit_) {
        showCurrentLog();
        isEditingToday_ = false;
    }
}

void EditRepsViewController::viewWillDisappear(bool animated) {
    (void)animated;
    if (keyboardToken_) base::NotificationCenter::defaultCenter().removeObserver(keyboardToken_);
    keyboardToken_ = 0;
}

std::array<int, 9> EditRepsViewController::planRounds() const {
    std::array<int, 9> plan{};
    if (today_) plan = today_->nineSlots(today_->week(), today_->day());
    return plan;
}

void EditRepsViewController::showDefaultProgram() {
    if (!today_) return;
    chooseFields(today_->week(), today_->day());
    const auto plan = planRounds();
    for (int i = 0; i < 9; ++i) {
        fields_[i]->setText({});
        fields_[i]->setPlaceholder(i < fieldsInUse() ? base::format("Program default for Rep %d: %d", i + 1, plan[i])
                                                     : std::string());
    }
}

void EditRepsViewController::showCurrentLog() {
    if (!logToEdit_) return;
    chooseFields(logToEdit_->week(), logToEdit_->day());
    const auto& slots = logToEdit_->reps();
    for (int i = 0; i < 9; ++i) {
        fields_[i]->setPlaceholder({});
        fields_[i]->setText(i < fieldsInUse() ? base::format("%d", slots[i]) : std::string());
    }
}

std::shared_ptr<Log> EditRepsViewController::logInformationFromEditMode() {
    view();
    const int used = fieldsInUse();
    for (int i = 0; i < used; ++i) {
        const std::string& text = fields_[i]->text();
        // A count is a plain number no person exceeds ("1e3" is not one).
        if (!text.empty() && !Utility::countFromText(text, Utility::kMostReps)) {
            Utility::ShowAlert("Please Enter a valid number");
            return nullptr;
        }
    }
    auto log = std::make_shared<Log>();
    std::array<int, 9> fallback{};
    if (isEditingToday_ && today_) {
        log->setWeek(today_->week());
        log->setDay(today_->day());
        log->setLevel(today_->level());
        fallback = planRounds();
    } else if (logToEdit_) {
        log->setWeek(logToEdit_->week());
        log->setDay(logToEdit_->day());
        log->setLevel(logToEdit_->level());
        fallback = logToEdit_->reps();
    } else {
        return nullptr;
    }
    std::array<int, 9> slots{};
    for (int i = 0; i < used; ++i) {
        const std::string& text = fields_[i]->text();
        // A fraction or a sign is accepted; the count is the integer value.
        slots[i] = text.empty() ? fallback[i] : *Utility::countFromText(text, Utility::kMostReps);
    }
    log->setReps(slots);
    return log;
}

void EditRepsViewController::saveRepsToUserTapped() {
    auto day = logInformationFromEditMode();
    if (!day) return;
    auto keep = shared_from_this();
    view()->endEditing(true);
    if (!isEditingToday_ && logToEdit_) {
        day->setLogDate(logToEdit_->logDate());
        DataAccess::updateDay(*day, *logToEdit_);
        base::NotificationCenter::defaultCenter().post("EditReps", this);
    } else {
        base::NotificationCenter::defaultCenter().post("EditReps", this, day);
    }
    if (hasMovedUp_) setMovedUp(false);
    if (auto nav = navigationController()) nav->popViewControllerAnimated(true);
}

void EditRepsViewController::keyboardWillShow() {
    if (!isViewLoaded() || hasMovedUp_) return;
    auto* responder = ui::Application::sharedApplication().firstResponder();
    for (int i = 5; i < 9; ++i) {
        if (responder == fields_[i].get()) {
            setMovedUp(true);
            return;
        }
    }
}

void EditRepsViewController::setMovedUp(bool movedUp) {
    if (movedUp == hasMovedUp_) return;
    auto v = view();
    ui::View::beginAnimations();
    ui::View::setAnimationDuration(0.3);
    ui::Rect frame = v->frame();
    if (movedUp) {
        frame.origin.y -= kShift;
        frame.size.height += kShift;
    } else {
        frame.origin.y += kShift;
        frame.size.height -= kShift;
    }
    v->setFrame(frame);
    ui::View::commitAnimations();
    hasMovedUp_ = movedUp;
}

bool EditRepsViewController::textFieldShouldReturn(ui::TextField& field) {
    const int round = field.tag();
    const int used = fieldsInUse();
    field.resignFirstResponder();
    if (round >= used) {
        // The last field: the view comes back down and the keyboard goes.
        if (hasMovedUp_) setMovedUp(false);
        return true;
    }
    if (round == 5 && !hasMovedUp_) setMovedUp(true);
    fields_[round]->becomeFirstResponder();
    return true;
}

void EditRepsViewController::touchesBegan(const ui::TouchSet& touches, const ui::Event* event) {
    (void)touches, (void)event;
    if (!isViewLoaded()) return;
    for (auto& field : fields_)
        if (field->isEditing()) field->resignFirstResponder();
    if (hasMovedUp_) setMovedUp(false);
}
