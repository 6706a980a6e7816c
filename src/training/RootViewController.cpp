#include "training/RootViewController.h"

#include <algorithm>

#include "platform/base/ClassRegistry.h"
#include "platform/base/Format.h"
#include "platform/base/UserDefaults.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Text.h"
#include "platform/ui/Application.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/NavigationController.h"
#include "training/DataAccess.h"
#include "training/GoodFormView.h"
#include "training/HomeLook.h"
#include "training/SettingsKeys.h"
#include "training/SummaryViewController.h"
#include "training/TestView.h"
#include "training/TipView.h"
#include "training/TodaySummaryViewController.h"
#include "training/TodayViewController.h"
#include "training/TomorrowSummaryViewController.h"
#include "training/UserViewController.h"
#include "training/Utility.h"
#include "training/YesterdaySummaryViewController.h"

namespace {

constexpr double kFlipSeconds = 0.2;
constexpr ui::Float kMenuTop = 190;
constexpr ui::Float kMenuBottom = 410;
// Room for a caption of two lines under a menu button.
constexpr ui::Float kCaptionHeight = 32;

}  // namespace

RootViewController::RootViewController() : ui::ViewController("RootViewController") {}

RootViewController::~RootViewController() = default;

std::shared_ptr<RootViewController> RootViewController::self() {
    return std::static_pointer_cast<RootViewController>(shared_from_this());
}

void RootViewController::loadView() {
    auto view = std::make_shared<ui::View>(ui::Rect(0, 0, 320, 416));
    view->setBackgroundColor(homelook::background());
    view->setAutoresizingMask(ui::Autoresizing::FlexibleHeight);

    topView_ = std::make_shared<ui::View>(ui::Rect(0, 0, 320, 184));
    topView_->setBackgroundColor(ui::draw::darker(homelook::background(), 0.25f));
    view->addSubview(topView_);
    pagedView_ = std::make_shared<PagedView>(ui::Rect(10, 8, 300, 172), 20);
    topView_->addSubview(pagedView_);

    std::weak_ptr<ui::ViewController> weak = weak_from_this();
    // Each entry's caption is its name (what a screen reader says and what
    // a script taps); in a column of four a long one takes two lines.
    auto make = [&](std::shared_ptr<ui::Button>& button, const std::string& name, const std::string& image,
                    homelook::MenuIcon icon, void (RootViewController::*action)()) {
        const std::string& caption = name;
        button = std::make_shared<ui::Button>(ui::ButtonType::Custom, ui::Rect(0, 0, 84, 84));
        button->setAccessibilityLabel(name);
        if (!image.empty()) button->setBackgroundImage(homelook::bundleImage(image));
        if (!button->backgroundImageForState(ui::ControlState::Normal))
            button->setBackgroundImage(homelook::drawnMenuFace(ui::Size(84, 84), icon));
        button->addTarget(
            [weak, action] {
                if (auto s = std::static_pointer_cast<RootViewController>(weak.lock())) ((*s).*action)();
            },
            ui::ControlEvents::TouchUpInside);
        auto label = homelook::label(ui::Rect(0, 0, 100, kCaptionHeight), caption, gfx::Font::boldSystemFont(13),
                                     homelook::ink(), ui::TextAlignment::Center);
        label->setNumberOfLines(2);
        label->setLineBreakMode(ui::LineBreakMode::WordWrap);
        view->addSubview(button);
        view->addSubview(label);
        menu_.push_back({button, label});
    };
    make(todayButton_, "Today's Workout", "dotoday.png", homelook::MenuIcon::Today, &RootViewController::doTodayTapped);
    make(graphButton_, "Progress", "graphmain.png", homelook::MenuIcon::Progress, &RootViewController::graphTapped);
    make(setupButton_, "Settings", "setup.png", homelook::MenuIcon::Settings, &RootViewController::setupTapped);
    make(goodFormButton_, "Good Form", "goodform.png", homelook::MenuIcon::GoodForm,
         &RootViewController::goodFormTapped);
    make(tipButton_, "Tip of the Week", "weektip.png", homelook::MenuIcon::Tips, &RootViewController::tipTapped);
    make(hintButton_, "F.A.Q.", "hinttips.png", homelook::MenuIcon::Questions, &RootViewController::hintTapped);
    make(programButton_, "Plan", "program.png", homelook::MenuIcon::Plan, &RootViewController::programTapped);
    // Progress, settings, the F.A.Q. and the plan table live in a library
    // above this one; a button shows only when its screen is registered.
    graphButton_->setHidden(!screenRegistered(kLogGraphScreen));
    setupButton_->setHidden(!screenRegistered(kConfigurationScreen));
    hintButton_->setHidden(!screenRegistered(kHintTipsScreen));
    programButton_->setHidden(!screenRegistered(kProgramTableScreen));
    setView(view);
    layoutMenu();
}

void RootViewController::layoutMenu() {
    std::vector<MenuItem*> shown;
    for (auto& item : menu_) {
        item.caption->setHidden(item.button->isHidden());
        if (!item.button->isHidden()) shown.push_back(&item);
    }
    if (shown.empty()) return;
    const int count = static_cast<int>(shown.size());
    const int columns = count <= 3 ? count : (count == 4 ? 2 : 4);
    const ui::Float side = columns <= 3 ? 84 : 62;
    const ui::Float cellWidth = 320.0f / std::max(columns, 3);
    const ui::Float rowHeight = side + 8 + kCaptionHeight;
    const int rows = (count + columns - 1) / columns;
    const ui::Float top = kMenuTop + std::max<ui::Float>(0, (kMenuBottom - kMenuTop - rows * rowHeight) / 2);
    for (int i = 0; i < count; ++i) {
        const int row = i / columns;
        const int inRow = std::min(columns, count - row * columns);
        const ui::Float left = (320 - inRow * cellWidth) / 2;
        const ui::Float x = left + (i % columns) * cellWidth;
        const ui::Float y = top + row * rowHeight;
        shown[i]->button->setFrame(ui::Rect(x + (cellWidth - side) / 2, y, side, side));
        // Captions hang from under their button, one or two lines tall.
        auto& caption = *shown[i]->caption;
        const ui::Float width = cellWidth - 4;
        const ui::Float height = gfx::measureText(caption.text(), caption.font(), ui::Size(width, kCaptionHeight),
                                                  ui::LineBreakMode::WordWrap)
                                     .height;
        caption.setFrame(ui::Rect(x + 2, y + side + 4, width, std::min(kCaptionHeight, height)));
    }
}

void RootViewController::viewDidLoad() {
    dictionaryIndex_ = 1;
    buttonImageDictionary_ = {
        {"1", "dotoday.png"}, {"2", "graphmain.png"}, {"3", "setup.png"}, {"4", "goodform.png"}, {"5", "weektip.png"}};
    pagedView_->setDelegate(std::static_pointer_cast<PagedViewDelegate>(self()));
    pagedView_->reloadData();
}

void RootViewController::viewWillAppear(bool) {
    if (auto nav = navigationController()) nav->navigationBar()->setTintColor(homelook::barTint());
    navigationItem()->setTitleView(homelook::titleLabel("Tolvek", 400));
}

void RootViewController::makePageControllers() {
    if (!summaryViewController_) summaryViewController_ = std::make_shared<SummaryViewController>();
    if (!yesterdayViewController_) yesterdayViewController_ = std::make_shared<YesterdaySummaryViewController>();
    if (!todaySummaryViewController_) todaySummaryViewController_ = std::make_shared<TodaySummaryViewController>();
    if (!tomorrowViewController_) tomorrowViewController_ = std::make_shared<TomorrowSummaryViewController>();
}

void RootViewController::fillPageLabels() {
    makePageControllers();
    // The labels exist once the pages' views are loaded.
    summaryViewController_->view();
    todaySummaryViewController_->view();
    yesterdayViewController_->view();
    tomorrowViewController_->view();
    summaryViewController_->totalPULabel()->setText(base::format("%i", DataAccess::getTotalReps()));
    summaryViewController_->totalLastDay()->setText(base::format("%i", DataAccess::getTotalYesterday()));
    summaryViewController_->totalNextDay()->setText(base::format("%i", DataAccess::getTotalToday()));
    // The doubled-set days of weeks 5 and 6 have long "Reps:" lines: the
    // text steps down in size rather than break a line of counts in two.
    homelook::setTextFittingLines(*todaySummaryViewController_->todayLabel(), DataAccess::getTodayString(), 16, 12);
    homelook::setTextFittingLines(*yesterdayViewController_->yesterdayLabel(),
                                  DataAccess::getYesterdayString().value_or(""), 16, 12);
    homelook::setTextFittingLines(*tomorrowViewController_->nextTimeLabel(), DataAccess::getTomorrowString(), 16, 12);
}

void RootViewController::viewDidAppear(bool) {
    fillPageLabels();
    pagedView_->reloadData();
}

void RootViewController::viewDidUnload() {
    pagedView_.reset();
    summaryViewController_.reset();
    yesterdayViewController_.reset();
    todaySummaryViewController_.reset();
    tomorrowViewController_.reset();
    menu_.clear();
}

int RootViewController::numberOfPagesInPagedView(PagedView&) { return 4; }

std::shared_ptr<ui::View> RootViewController::pagedView(PagedView&, int index) {
    fillPageLabels();
    switch (index) {
    case 0: return summaryViewController_->view();
    case 1: return todaySummaryViewController_->view();
    case 2: return yesterdayViewController_->view();
    case 3:
        view()->setNeedsLayout();
        view()->layoutIfNeeded();
        return tomorrowViewController_->view();
    default: return nullptr;
    }
}

// --- The menu ---------------------------------------------------------------

void RootViewController::doTodayTapped() { flip(todayButton_, EntryToday); }
void RootViewController::graphTapped() { flip(graphButton_, EntryGraph); }
void RootViewController::setupTapped() { flip(setupButton_, EntrySetup); }
void RootViewController::goodFormTapped() { flip(goodFormButton_, EntryGoodForm); }
void RootViewController::tipTapped() { flip(tipButton_, EntryTip); }
void RootViewController::hintTapped() { flip(hintButton_, EntryHint); }

void RootViewController::programTapped() {
    // The plan table opens without a flip.
    pushScreen(registeredScreen(kProgramTableScreen));
}

bool RootViewController::screenRegistered(const std::string& name) {
    return base::ClassRegistry<ui::ViewController>::shared().contains(name);
}

std::shared_ptr<ui::ViewController> RootViewController::registeredScreen(const std::string& name) {
    auto& kept = registeredScreens_[name];
    if (!kept) kept = base::ClassRegistry<ui::ViewController>::shared().create(name);
    return kept;
}

void RootViewController::flip(const std::shared_ptr<ui::Button>& button, int index) {
    currentButton_ = button;
    dictionaryIndex_ = index;
    doAnimation();
}

void RootViewController::doAnimation() {
    const auto button = currentButton_;
    const int index = dictionaryIndex_;
    if (!button || !base::UserDefaults::standardUserDefaults().boolForKey(settingskeys::kAnimationOn)) {
        callForm(index);
        return;
    }
    // Each flip carries its own button and entry, so that a second tap
    // during a flip does not change what the first one opens.
    ++flips_;
    std::weak_ptr<ui::ViewController> weak = weak_from_this();
    ui::View::beginAnimations("flip");
    ui::View::setAnimationDuration(kFlipSeconds);
    ui::View::setAnimationTransition(ui::AnimationTransition::FlipFromRight, button, true);
    auto face = button->backgroundImageForState(ui::ControlState::Normal);
    ui::View::setAnimationDidStop([weak, button, index, face](const std::string&, bool, const std::any&) {
        if (auto s = std::static_pointer_cast<RootViewController>(weak.lock())) s->flipSecondHalf(button, index, face);
    });
    auto blank = homelook::bundleImage("blank_button.png");
    if (!blank) blank = homelook::drawnMenuFace(button->bounds().size, homelook::MenuIcon::Blank);
    button->setBackgroundImage(blank);
    ui::View::commitAnimations();
}

void RootViewController::flipSecondHalf(const std::shared_ptr<ui::Button>& button, int index,
                                        std::shared_ptr<gfx::Image> face) {
    // Entries without an image of their own (the F.A.Q.), or whose image the
    // bundle lacks, turn back to the face they had.
    auto named = buttonImageDictionary_.find(std::to_string(index));
    std::shared_ptr<gfx::Image> image =
        named != buttonImageDictionary_.end() ? homelook::bundleImage(named->second) : nullptr;
    if (!image) image = std::move(face);
    std::weak_ptr<ui::ViewController> weak = weak_from_this();
    ui::View::beginAnimations("flip2");
    ui::View::setAnimationDuration(kFlipSeconds);
    ui::View::setAnimationTransition(ui::AnimationTransition::FlipFromRight, button, true);
    ui::View::setAnimationDidStop([weak, index](const std::string&, bool, const std::any&) {
        auto s = std::static_pointer_cast<RootViewController>(weak.lock());
        if (!s) return;
        --s->flips_;
        s->callForm(index);
    });
    button->setBackgroundImage(image);
    ui::View::commitAnimations();
}

void RootViewController::callForm() { callForm(dictionaryIndex_); }

void RootViewController::callForm(int index) {
    switch (index) {
    case EntryToday: DoToday(); break;
    case EntryGoodForm:
        if (!goodFormViewController_) goodFormViewController_ = std::make_shared<GoodFormView>();
        pushScreen(goodFormViewController_);
        break;
    case EntryTip:
        if (!tipViewController_) tipViewController_ = std::make_shared<TipView>();
        pushScreen(tipViewController_);
        break;
    case EntryGraph: pushScreen(registeredScreen(kLogGraphScreen)); break;
    case EntrySetup: pushScreen(registeredScreen(kConfigurationScreen)); break;
    case EntryHint: pushScreen(registeredScreen(kHintTipsScreen)); break;
    default: break;
    }
}

bool RootViewController::pushScreen(const std::shared_ptr<ui::ViewController>& controller) {
    auto nav = navigationController();
    if (!nav || !controller) return false;
    const auto& stack = nav->viewControllers();
    if (std::find(stack.begin(), stack.end(), controller) != stack.end()) return false;
    if (nav->topViewController() != shared_from_this()) return false;
    nav->pushViewController(controller, true);
    return true;
}

void RootViewController::DoToday() {
    // 1. A due test comes first, whatever else holds.
    if (Utility::IsTestDay()) {
        if (auto shown = shownTestOverlay(); shown && shown->isShowing()) return;
        auto nav = navigationController();
        if (!nav) return;
        if (!testViewController_) testViewController_ = std::make_shared<TestView>();
        const ui::Rect frame = ui::Screen::mainScreen().applicationFrame();
        std::weak_ptr<ui::ViewController> weak = weak_from_this();
        testViewController_->setFinishHandler([weak] {
            // The test changed the level and the day's text; the overlay is
            // done and may go.
            if (auto s = std::static_pointer_cast<RootViewController>(weak.lock())) {
                s->shownTestOverlay_.reset();
                s->fillPageLabels();
            }
        });
        testViewController_->showOver(nav->view(), ui::Point(frame.size.width / 2, frame.size.height / 2));
        shownTestOverlay_ = testViewController_;
        // A fresh overlay for the next test day.
        testViewController_.reset();
        return;
    }
    // 2. Never placed: the set-up screen, pushed.
    if (base::UserDefaults::standardUserDefaults().integerForKey(settingskeys::kLevel) == 0) {
        if (!userViewController_) userViewController_ = std::make_shared<UserViewController>();
        userViewController_->setHasBeenReset(true);
        pushScreen(userViewController_);
        userViewController_->setHasBeenReset(false);
        return;
    }
    // 3. The workout.
    if (Utility::GetWeek() < 7) {
        // Made once and kept: the workout screen's session holds the day's
        // state, which must be one for the whole program.
        if (!todayViewController_) todayViewController_ = std::make_shared<TodayViewController>();
        if (todayViewController_->todayMode() == TodayModeSharing) todayViewController_->setTodayMode(TodayModeReady);
        pushScreen(todayViewController_);
        return;
    }
    // 4. The plan is complete.
    if (auto sheet = planCompleteSheet(); sheet && sheet->isVisible()) return;
    auto sheet =
        std::make_shared<ui::ActionSheet>("Congratulations!! Program completed. What would you like to do?",
                                          std::static_pointer_cast<ui::ActionSheetDelegate>(self()),
                                          std::string("Start from Beginning"), std::string("Start from Week 4 Day 1"));
    sheet->setActionSheetStyle(ui::ActionSheetStyle::BlackOpaque);
    // Both choices move the plan back, so neither key picks one: Escape
    // closes the sheet, which the next tap shows again.
    sheet->setKeys(ui::KeyAnswer::nothing(), ui::KeyAnswer::close());
    planCompleteSheet_ = sheet;
    sheet->showInView(view());
}

void RootViewController::clickedButtonAtIndex(ui::ActionSheet& actionSheet, int buttonIndex) {
    int week = 0;
    if (buttonIndex == actionSheet.cancelButtonIndex()) week = 1;
    else if (buttonIndex == actionSheet.destructiveButtonIndex()) week = 4;
    else return;
    Utility::resetToDayAndWeekAndLevel(1, week, Utility::getLevel());
    Utility::ShowAlert("Week and Day have been reset", "Information");
    fillPageLabels();
}
