#include "UITestSupport.h"

using namespace ui;

namespace {

class RecordingAlertDelegate : public AlertViewDelegate, public ActionSheetDelegate {
public:
    using ActionSheetDelegate::willDismissWithButtonIndex;  // the sheet's stays as it is
    void clickedButtonAtIndex(AlertView&, int index) override { events.push_back("clicked " + std::to_string(index)); }
    void willDismissWithButtonIndex(AlertView&, int index) override {
        events.push_back("will " + std::to_string(index));
    }
    void didDismissWithButtonIndex(AlertView&, int index) override { events.push_back("did " + std::to_string(index)); }
    void clickedButtonAtIndex(ActionSheet&, int index) override { events.push_back("sheet " + std::to_string(index)); }
    void didDismissWithButtonIndex(ActionSheet&, int index) override {
        events.push_back("sheet did " + std::to_string(index));
    }
    std::vector<std::string> events;
};

class AlertTest : public uitest::UITest {
protected:
    std::shared_ptr<RecordingAlertDelegate> delegate_ = std::make_shared<RecordingAlertDelegate>();
};

TEST_F(AlertTest, AButtonReportsItsIndexToTheDelegate) {
    auto alert = std::make_shared<AlertView>("Resume?", "Continue where you left off?", delegate_, std::string("No"),
                                             std::vector<std::string>{"Yes", "Later"});
    EXPECT_EQ(alert->cancelButtonIndex(), 0);
    EXPECT_EQ(alert->firstOtherButtonIndex(), 1);
    EXPECT_EQ(alert->numberOfButtons(), 3);
    alert->show();
    alert.reset();  // the application keeps it while it is shown
    advance(0.5);
    EXPECT_TRUE(app().isTextVisible("Continue where you left off?"));
    tapNamed("Later");
    EXPECT_EQ(delegate_->events, (std::vector<std::string>{"clicked 2", "will 2"}));
    advance(0.5);
    EXPECT_EQ(delegate_->events, (std::vector<std::string>{"clicked 2", "will 2", "did 2"}));
    EXPECT_EQ(app().frontAlert(), nullptr);
    EXPECT_FALSE(app().isTextVisible("Resume?"));
}

TEST_F(AlertTest, TwoButtonsSitSideBySideAndTheCancelIndexIsZero) {
    auto alert = std::make_shared<AlertView>("Error", "Cannot Reset Day while day is in process", delegate_,
                                             std::string("Cancel"), std::vector<std::string>{"OK"});
    alert->show();
    auto cancel = app().findElement("Cancel");
    auto ok = app().findElement("OK");
    ASSERT_TRUE(cancel && ok);
    EXPECT_LT(cancel->frame.midX(), ok->frame.midX());
    EXPECT_EQ(cancel->frame.midY(), ok->frame.midY());
    tapNamed("Cancel");
    EXPECT_EQ(delegate_->events.front(), "clicked 0");
}

TEST_F(AlertTest, TheKeysPressTheButtonsTheAlertNamesWhateverTheirSlots) {
    // Behind the alerts a field being edited hears neither key.
    auto field = std::make_shared<TextField>(Rect(20, 100, 280, 31));
    int returns = 0;
    field->addTarget([&] { ++returns; }, ControlEvents::EditingDidEndOnExit);
    window_->addSubview(field);
    field->becomeFirstResponder();
    // "Yes" in the cancel slot wipes something: both keys name "No".
    auto wipe = [&] {
        auto alert = std::make_shared<AlertView>("Wipe", "Wipe it all?", delegate_, std::string("Yes"),
                                                 std::vector<std::string>{"No"});
        alert->setKeys(KeyAnswer::press(1), KeyAnswer::press(1));
        alert->show();
    };
    wipe();
    app().pressReturn();
    advance(0.5);
    wipe();
    app().pressEscape();
    advance(0.5);
    // A lone button takes both keys unless told otherwise.
    for (int key = 0; key < 2; ++key) {
        std::make_shared<AlertView>("Saved", "", delegate_, std::nullopt, std::vector<std::string>{"OK"})->show();
        key == 0 ? app().pressEscape() : app().pressReturn();
        advance(0.5);
    }
    // Two buttons with no keys named: neither key answers for the user.
    auto unnamed =
        std::make_shared<AlertView>("Share", "", delegate_, std::string("Cancel"), std::vector<std::string>{"Mail"});
    unnamed->show();
    app().pressReturn();
    app().pressEscape();
    advance(0.5);
    EXPECT_EQ(app().frontAlert(), unnamed);
    unnamed->dismissWithClickedButtonIndex(0, false);
    EXPECT_EQ(delegate_->events,
              (std::vector<std::string>{"clicked 1", "will 1", "did 1", "clicked 1", "will 1", "did 1", "clicked 0",
                                        "will 0", "did 0", "clicked 0", "will 0", "did 0", "will 0", "did 0"}));
    EXPECT_EQ(returns, 0);
    // A sheet that Escape only closes: no button is pressed and the delegate
    // hears the dismissal with no index.
    auto sheet = std::make_shared<ActionSheet>("", delegate_, std::string("Restart"), std::string("Delete"),
                                               std::vector<std::string>{"Keep"});
    sheet->setKeys(KeyAnswer::nothing(), KeyAnswer::close());
    sheet->showInView(window_);
    app().pressReturn();
    advance(0.5);
    EXPECT_EQ(app().frontAlert(), sheet);
    app().pressEscape();
    advance(0.5);
    ASSERT_GE(delegate_->events.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(delegate_->events.end() - 2, delegate_->events.end()),
              (std::vector<std::string>{"did 0", "sheet did -1"}));
    EXPECT_EQ(app().frontAlert(), nullptr);
    app().pressReturn();
    EXPECT_EQ(returns, 1);
}

TEST_F(AlertTest, OneAtATimeTheNewestInFront) {
    auto button = std::make_shared<Button>(ButtonType::RoundedRect, Rect(20, 400, 280, 40));
    button->setTitle(std::string("Behind"));
    int taps = 0;
    button->addTarget([&] { ++taps; }, ControlEvents::TouchUpInside);
    window_->addSubview(button);

    auto first = std::make_shared<AlertView>("First", "", delegate_, std::string("OK"));
    auto second = std::make_shared<AlertView>("Second", "", std::weak_ptr<AlertViewDelegate>(), std::string("Fine"));
    first->show();
    second->show();
    EXPECT_EQ(app().frontAlert(), second);
    EXPECT_FALSE(app().findElement("OK"));
    // Nothing behind an alert can be tapped.
    std::string why;
    EXPECT_FALSE(app().tapElement("Behind", &why));
    tap(Point(160, 420));
    EXPECT_EQ(taps, 0);
    tapNamed("Fine");
    advance(0.5);
    EXPECT_EQ(app().frontAlert(), first);
    tapNamed("OK");
    advance(0.5);
    EXPECT_EQ(app().frontAlert(), nullptr);
    tapNamed("Behind");
    EXPECT_EQ(taps, 1);
}

TEST_F(AlertTest, ActionSheetIndicesRunDestructiveOthersCancel) {
    auto sheet = std::make_shared<ActionSheet>("Week 6 is done", delegate_, std::string("Cancel"),
                                               std::string("Restart"), std::vector<std::string>{"Week 1", "Week 4"});
    EXPECT_EQ(sheet->destructiveButtonIndex(), 0);
    EXPECT_EQ(sheet->firstOtherButtonIndex(), 1);
    EXPECT_EQ(sheet->cancelButtonIndex(), 3);
    EXPECT_EQ(sheet->buttonTitleAtIndex(2), "Week 4");
    sheet->showInView(window_);
    advance(0.5);
    auto cancel = app().findElement("Cancel");
    auto restart = app().findElement("Restart");
    ASSERT_TRUE(cancel && restart);
    EXPECT_GT(cancel->frame.minY(), restart->frame.minY());
    EXPECT_GT(cancel->frame.minY(), 300);
    tapNamed("Week 4");
    advance(0.5);
    EXPECT_EQ(delegate_->events, (std::vector<std::string>{"sheet 2", "sheet did 2"}));
    EXPECT_EQ(app().frontAlert(), nullptr);
}

TEST_F(AlertTest, AnExceptionInAHandlerBecomesAnAlertAndTheProgramGoesOn) {
    auto button = std::make_shared<Button>(ButtonType::RoundedRect, Rect(20, 100, 280, 40));
    button->setTitle(std::string("Break"));
    button->addTarget([] { throw std::runtime_error("the store is gone"); }, ControlEvents::TouchUpInside);
    window_->addSubview(button);
    tapNamed("Break");
    ASSERT_NE(app().frontAlert(), nullptr);
    EXPECT_TRUE(app().isTextVisible("the store is gone"));
    tapNamed("OK");
    advance(0.5);
    EXPECT_EQ(app().frontAlert(), nullptr);
}

}  // namespace
