#pragma once
// The home screen: the title, a pager of four summary pages (totals, today,
// the last logged day, the next day) and the menu buttons. Every other
// screen is opened from here; today's button dispatches to the week test,
// the set-up screen, the workout or the plan-complete choice. With
// settingskeys::kAnimationOn set, a menu button flips over before its screen
// opens.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Image.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/ViewController.h"
#include "training/PagedView.h"

class UserViewController;
class GoodFormView;
class TipView;
class TestView;
class TodayViewController;
class SummaryViewController;
class YesterdaySummaryViewController;
class TodaySummaryViewController;
class TomorrowSummaryViewController;

// Class names under which the screens above the training library register
// their factories in base::ClassRegistry<ui::ViewController>.
inline constexpr const char* kLogGraphScreen = "LogGraphViewController";
inline constexpr const char* kConfigurationScreen = "ConfigurationTableViewController";
inline constexpr const char* kHintTipsScreen = "HintTipsViewController";
inline constexpr const char* kProgramTableScreen = "ProgramTableViewController";

class RootViewController : public ui::ViewController, public ui::ActionSheetDelegate, public PagedViewDelegate {
public:
    // The menu entries, numbered as the buttons' images are keyed.
    enum Entry { EntryToday = 1, EntryGraph = 2, EntrySetup = 3, EntryGoodForm = 4, EntryTip = 5, EntryHint = 6 };

    RootViewController();
    ~RootViewController() override;

    // Child screens, each made on first use and kept.
    std::shared_ptr<UserViewController> userViewController() const { return userViewController_; }
    std::shared_ptr<GoodFormView> goodFormViewController() const { return goodFormViewController_; }
    std::shared_ptr<TipView> tipViewController() const { return tipViewController_; }
    // The test overlay is forgotten as soon as it is shown.
    std::shared_ptr<TestView> testViewController() const { return testViewController_; }
    std::shared_ptr<TodayViewController> todayViewController() const { return todayViewController_; }
    // The overlay shown last, held until it has finished, or null.
    std::shared_ptr<TestView> shownTestOverlay() const { return shownTestOverlay_; }

    std::shared_ptr<PagedView> pagedView() const { return pagedView_; }
    std::shared_ptr<SummaryViewController> summaryViewController() const { return summaryViewController_; }
    std::shared_ptr<YesterdaySummaryViewController> yesterdayViewController() const { return yesterdayViewController_; }
    std::shared_ptr<TodaySummaryViewController> todaySummaryViewController() const {
        return todaySummaryViewController_;
    }
    std::shared_ptr<TomorrowSummaryViewController> tomorrowViewController() const { return tomorrowViewController_; }

    std::shared_ptr<ui::View> topView() const { return topView_; }
    std::shared_ptr<ui::Button> todayButton() const { return todayButton_; }
    std::shared_ptr<ui::Button> graphButton() const { return graphButton_; }
    std::shared_ptr<ui::Button> setupButton() const { return setupButton_; }
    std::shared_ptr<ui::Button> goodFormButton() const { return goodFormButton_; }
    std::shared_ptr<ui::Button> tipButton() const { return tipButton_; }
    std::shared_ptr<ui::Button> hintButton() const { return hintButton_; }
    std::shared_ptr<ui::Button> programButton() const { return programButton_; }

    std::shared_ptr<ui::Button> currentButton() const { return currentButton_; }
    int dictionaryIndex() const { return dictionaryIndex_; }
    // The button images by entry ("1" to "5").
    const std::map<std::string, std::string>& buttonImageDictionary() const { return buttonImageDictionary_; }
    // True while a menu button flips.
    bool isFlipping() const { return flips_ > 0; }
    // The plan-complete sheet while it is shown.
    std::shared_ptr<ui::ActionSheet> planCompleteSheet() const { return planCompleteSheet_.lock(); }

    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewDidUnload() override;

    int numberOfPagesInPagedView(PagedView& pagedView) override;
    std::shared_ptr<ui::View> pagedView(PagedView& pagedView, int index) override;

    // Menu actions.
    void doTodayTapped();
    void graphTapped();
    void setupTapped();
    void goodFormTapped();
    void tipTapped();
    void hintTapped();
    void programTapped();

    // The flip of currentButton, then callForm.
    void doAnimation();
    // Opens the screen of dictionaryIndex.
    void callForm();
    // Today's training: the week test, the set-up, the workout or the
    // plan-complete choice.
    void DoToday();
    // Fills the four pages from the store.
    void fillPageLabels();

    void clickedButtonAtIndex(ui::ActionSheet& actionSheet, int buttonIndex) override;

private:
    void makePageControllers();
    void layoutMenu();
    void flip(const std::shared_ptr<ui::Button>& button, int index);
    void flipSecondHalf(const std::shared_ptr<ui::Button>& button, int index, std::shared_ptr<gfx::Image> face);
    void callForm(int index);
    // Pushes the screen unless it is on the stack already or the home
    // screen is not on top (a second tap while a screen slides in).
    bool pushScreen(const std::shared_ptr<ui::ViewController>& controller);
    std::shared_ptr<RootViewController> self();
    static bool screenRegistered(const std::string& name);
    // The registered screen of that name, created on first use and kept.
    std::shared_ptr<ui::ViewController> registeredScreen(const std::string& name);

    std::shared_ptr<UserViewController> userViewController_;
    std::shared_ptr<GoodFormView> goodFormViewController_;
    std::shared_ptr<TipView> tipViewController_;
    std::shared_ptr<TestView> testViewController_;
    // Keeps the shown overlay (and its view) alive until it finishes; held
    // here rather than by the overlay itself, so that nothing is left over
    // when the program ends with the overlay up.
    std::shared_ptr<TestView> shownTestOverlay_;
    std::shared_ptr<TodayViewController> todayViewController_;

    std::shared_ptr<PagedView> pagedView_;
    std::shared_ptr<SummaryViewController> summaryViewController_;
    std::shared_ptr<YesterdaySummaryViewController> yesterdayViewController_;
    std::shared_ptr<TodaySummaryViewController> todaySummaryViewController_;
    std::shared_ptr<TomorrowSummaryViewController> tomorrowViewController_;

    std::shared_ptr<ui::View> topView_;
    std::shared_ptr<ui::Button> todayButton_, graphButton_, setupButton_, goodFormButton_, tipButton_, hintButton_,
        programButton_;
    struct MenuItem {
        std::shared_ptr<ui::Button> button;
        std::shared_ptr<ui::Label> caption;
    };
    std::vector<MenuItem> menu_;

    std::shared_ptr<ui::Button> currentButton_;
    int dictionaryIndex_ = 1;
    std::map<std::string, std::string> buttonImageDictionary_;
    int flips_ = 0;
    std::weak_ptr<ui::ActionSheet> planCompleteSheet_;
    std::map<std::string, std::shared_ptr<ui::ViewController>> registeredScreens_;
};
