#include "training/UserViewController.h"

#include "platform/base/NotificationCenter.h"
#include "platform/base/UserDefaults.h"
#include "platform/gfx/Context.h"
#include "platform/ui/Application.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/NavigationController.h"
#include "training/HomeLook.h"
#include "training/AppState.h"
#include "training/SettingsKeys.h"
#include "training/Utility.h"

namespace {

const char* const kExplanation =
    "To perform the test, simply execute as many good-form push-ups as you can. Don't cut corners and please "
    "don't cheat - the last thing you want to do is end up in the wrong level of the training program! The "
    "results may be humbling, but trust me, honesty is the best policy if you want to maximize your strength "
    "gains!";

constexpr ui::Float kTitleBand = 44;
// The buttons of the week-3 question: "No" is given as the cancel button.
constexpr int kNoButton = 0;
constexpr int kYesButton = 1;

// The backdrop of the screen: a warm gradient with a faint gold glow at
// the top; with a title band when no navigation bar is shown above it.
// Drawn when first shown: of the two backdrops the screen holds, only one is
// ever seen at a time, and a start that draws nothing draws neither.
std::shared_ptr<gfx::Image> backdrop(ui::Size size, bool titleBand) {
    return gfx::ImageContext::drawnOnFirstUse(
        size, ui::Screen::mainScreen().scale(), [size, titleBand](gfx::Context& context) {
            ui::draw::fillVerticalGradient(context, ui::Rect(0, 0, size.width, size.height),
                                           ui::draw::lighter(homelook::background(), 0.08f), homelook::background());
            if (titleBand) {
                const ui::Rect band(0, 0, size.width, kTitleBand);
                ui::draw::fillGlossy(context, band, homelook::barTint());
                context.setFillColor(ui::draw::darker(homelook::barTint(), 0.45f));
                context.fillRect(ui::Rect(0, kTitleBand - 1, size.width, 1));
            }
        });
}

}  // namespace

UserViewController::UserViewController() : ui::ViewController("UserView") { setTitle("Setup and initial Test"); }

UserViewController::~UserViewController() { base::NotificationCenter::defaultCenter().removeObserver(this); }

void UserViewController::loadView() {
    const ui::Rect frame = ui::Screen::mainScreen().applicationFrame();
    auto view = std::make_shared<ui::View>(ui::Rect(0, 0, frame.size.width, frame.size.height));
    view->setBackgroundColor(homelook::background());
    view->setAutoresizesSubviews(false);

    background_ = std::make_shared<ui::ImageView>(view->bounds());
    background_->setImage(backdrop(view->bounds().size, false));
    view->addSubview(background_);
    background2_ = std::make_shared<ui::ImageView>(view->bounds());
    background2_->setImage(backdrop(view->bounds().size, true));
    background2_->setHidden(true);
    view->addSubview(background2_);

    // The title of the band, shown with it.
    bandTitle_ = homelook::titleLabel(title(), frame.size.width);
    bandTitle_->setHidden(true);
    view->addSubview(bandTitle_);

    content_ = std::make_shared<ui::View>(ui::Rect(0, 0, frame.size.width, 416));
    content_->setBackgroundColor(gfx::Color::clear());
    view->addSubview(content_);

    content_->addSubview(homelook::label(ui::Rect(20, 14, 280, 28), "Your Initial Test", gfx::Font::boldSystemFont(22),
                                         homelook::gold()));
    explainationText_ = std::make_shared<ui::TextView>(ui::Rect(14, 46, 292, 96));
    explainationText_->setEditable(false);
    explainationText_->setBackgroundColor(gfx::Color::clear());
    explainationText_->setTextColor(homelook::ink());
    content_->addSubview(explainationText_);

    goodFormButton_ =
        homelook::button(ui::Rect(20, 150, 280, 40), "See a Good-Form Push-up", homelook::card(), homelook::gold());
    goodFormButton_->setFont(gfx::Font::boldSystemFont(16));
    std::weak_ptr<ui::ViewController> weak = weak_from_this();
    auto self = [weak] { return std::static_pointer_cast<UserViewController>(weak.lock()); };
    goodFormButton_->addTarget(
        [self] {
            if (auto s = self()) s->viewGoodFormPushed();
        },
        ui::ControlEvents::TouchUpInside);
    content_->addSubview(goodFormButton_);

    content_->addSubview(homelook::label(ui::Rect(20, 212, 280, 22), "How many push-ups did you do?",
                                         gfx::Font::boldSystemFont(16), homelook::ink()));
    initialValueField_ = std::make_shared<ui::TextField>(ui::Rect(20, 242, 170, 40));
    initialValueField_->setBorderStyle(ui::TextBorderStyle::RoundedRect);
    initialValueField_->setBackgroundColor(gfx::Color::clear());
    initialValueField_->setFont(gfx::Font::boldSystemFont(22));
    initialValueField_->setTextAlignment(ui::TextAlignment::Center);
    initialValueField_->setPlaceholder("Push-ups");
    initialValueField_->setAccessibilityLabel("Push-ups");
    initialValueField_->setKeyboardType(ui::KeyboardType::NumberPad);
    initialValueField_->setReturnKeyType(ui::ReturnKeyType::Done);
    content_->addSubview(initialValueField_);

    okButton_ = homelook::button(ui::Rect(202, 242, 98, 40), "OK", homelook::barTint(), gfx::Color::black());
    okButton_->addTarget(
        [self] {
            if (auto s = self()) s->okClicked();
        },
        ui::ControlEvents::TouchUpInside);
    content_->addSubview(okButton_);

    auto note = homelook::label(ui::Rect(20, 296, 280, 54),
                                "Your score sets the level of your plan. Managed more than 20? You can "
                                "start on week 3.",
                                gfx::Font::systemFont(13), homelook::dimInk());
    note->setNumberOfLines(0);
    note->setLineBreakMode(ui::LineBreakMode::WordWrap);
    content_->addSubview(note);
    setView(view);
}

void UserViewController::viewDidLoad() {
    explainationText_->setFont(gfx::Font::systemFont(11));
    explainationText_->setText(kExplanation);
    initialValueField_->setDelegate(std::dynamic_pointer_cast<ui::TextFieldDelegate>(shared_from_this()));
    // Under the home screen's gold bar, the title as the bars show it.
    auto barTitle = homelook::titleLabel(title(), 210);
    barTitle->setAdjustsFontSizeToFitWidth(true);
    barTitle->setMinimumFontSize(14);
    navigationItem()->setTitleView(barTitle);
    level_ = hasBeenReset_
                 ? 1000
                 : static_cast<int>(base::UserDefaults::standardUserDefaults().integerForKey(settingskeys::kLevel));
}

void UserViewController::setBackgroundFrame() {
    view();  // loads the view when it is not yet loaded
    background_->setHidden(true);
    background2_->setHidden(false);
    bandTitle_->setHidden(false);
    content_->setFrame(ui::Rect(0, kTitleBand, content_->frame().size.width, content_->frame().size.height));
}

void UserViewController::viewWillAppear(bool) {
    // The keyboard's notifications come from the application, not from the
    // window, so they are heard whoever sends them.
    std::weak_ptr<ui::ViewController> weak = weak_from_this();
    auto& center = base::NotificationCenter::defaultCenter();
    center.removeObserver(this, ui::KeyboardWillShowNotification);
    center.addObserver(this, ui::KeyboardWillShowNotification, nullptr, [weak](const base::Notification&) {
        if (auto self = std::static_pointer_cast<UserViewController>(weak.lock())) self->keyboardWillShow();
    });
}

void UserViewController::viewWillDisappear(bool) {
    view()->endEditing(true);
    setMovedUp(false);
    base::NotificationCenter::defaultCenter().removeObserver(this, ui::KeyboardWillShowNotification);
}

void UserViewController::keyboardWillShow() { setMovedUp(true); }

void UserViewController::setMovedUp(bool movedUp) {
    // Moving twice the same way would push the field off the screen.
    if (movedUp == movedUp_ || !isViewLoaded()) return;
    movedUp_ = movedUp;
    auto v = view();
    ui::View::beginAnimations("moveUp");
    ui::View::setAnimationDuration(0.3);
    ui::Rect rect = v->frame();
    if (movedUp) {
        rect.origin.y -= 150;
        rect.size.height += 150;
    } else {
        rect.origin.y += 150;
        rect.size.height -= 150;
    }
    v->setFrame(rect);
    ui::View::commitAnimations();
}

void UserViewController::touchesBegan(const ui::TouchSet& touches, const ui::Event* event) {
    if (initialValueField_->isEditing()) {
        bool onField = false;
        for (auto& t : touches)
            if (t->view() == std::static_pointer_cast<ui::View>(initialValueField_)) onField = true;
        if (!onField) {
            initialValueField_->resignFirstResponder();
            setMovedUp(false);
        }
    }
    ui::ViewController::touchesBegan(touches, event);
}

bool UserViewController::textFieldShouldReturn(ui::TextField& field) {
    field.resignFirstResponder();
    setMovedUp(false);
    return true;
}

void UserViewController::okClicked() {
    // The keyboard goes away first, so that what follows is seen whole.
    initialValueField_->resignFirstResponder();
    setMovedUp(false);
    const std::string text = initialValueField_->text();
    const auto count = Utility::countFromText(text, Utility::kMostReps);
    if (!count) {
        Utility::ShowAlert("Please Enter a valid number");
        return;
    }
    const int score = *count;
    total_ = score;
    const int level = Utility::GetLevel(score);
    if (score <= 20) {
        auto& defaults = base::UserDefaults::standardUserDefaults();
        defaults.setInteger(settingskeys::kLevel, level);
        defaults.setInteger(settingskeys::kDay, 1);
        defaults.setInteger(settingskeys::kWeek, 1);
        defaults.setBool(settingskeys::kTest, false);
        Utility::synchronizeSettings();
        close();
        return;
    }
    auto alert = std::make_shared<ui::AlertView>(
        "Wow", "You managed more than 20 Pushups. We recommend that you start on Week 3. Is that ok?",
        std::dynamic_pointer_cast<ui::AlertViewDelegate>(shared_from_this()), std::string("No"),
        std::vector<std::string>{"Yes"});
    // Return takes the recommendation ("Yes", week 3); Escape keeps the
    // plan's own start ("No", week 1).
    alert->setKeys(ui::KeyAnswer::press(kYesButton), ui::KeyAnswer::press(kNoButton));
    alert->show();
}

void UserViewController::clickedButtonAtIndex(ui::AlertView&, int buttonIndex) {
    const bool startOnWeek3 = buttonIndex == kYesButton;
    // Starting on week 3 takes the week-3 levels: 2 up to 25, 3 above. Starting
    // on week 1 takes the level of the initial test, so that a higher score
    // never gives an easier plan than a lower one.
    const int level = startOnWeek3 ? (total_ > 25 ? 3 : 2) : Utility::GetLevel(total_);
    auto& defaults = base::UserDefaults::standardUserDefaults();
    defaults.setInteger(settingskeys::kLevel, level);
    defaults.setInteger(settingskeys::kDay, 1);
    defaults.setInteger(settingskeys::kWeek, startOnWeek3 ? 3 : 1);
    defaults.setBool(settingskeys::kTest, true);
    Utility::synchronizeSettings();
    close();
}

void UserViewController::close() {
    if (level_ != 0) {
        auto delegate = AppState::current();
        auto navigation = delegate ? delegate->navigationController() : navigationController();
        if (!navigation) navigation = navigationController();
        if (navigation) {
            navigation->setNavigationBarHidden(false);
            navigation->popToRootViewControllerAnimated(true);
        }
        return;
    }
    dismissModalViewControllerAnimated(true);
}

void UserViewController::viewGoodFormPushed() {
    flipside_ = std::make_shared<FlipsideViewController>();
    flipside_->setDelegate(std::dynamic_pointer_cast<FlipsideViewControllerDelegate>(shared_from_this()));
    presentModalViewController(flipside_, true);
}

void UserViewController::flipsideViewControllerDidFinish(FlipsideViewController&) {
    dismissModalViewControllerAnimated(true);
    flipside_.reset();
}
