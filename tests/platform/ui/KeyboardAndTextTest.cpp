#include "UITestSupport.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Pasteboard.h"

using namespace ui;

namespace {

class KeyboardAndTextTest : public uitest::UITest {
protected:
    void SetUp() override {
        UITest::SetUp();
        field_ = std::make_shared<TextField>(Rect(20, 60, 280, 31));
        field_->setPlaceholder("Name");
        field_->setBorderStyle(TextBorderStyle::RoundedRect);
        window_->addSubview(field_);
    }
    std::shared_ptr<KeyboardView> keyboard() { return std::dynamic_pointer_cast<KeyboardView>(app().keyboardView()); }
    void pressKey(const std::string& text) {
        auto kb = keyboard();
        ASSERT_TRUE(kb);
        for (auto& k : kb->keys())
            if (k.text == text) {
                tap(kb->convertPointToView(k.frame.center(), nullptr));
                return;
            }
        ADD_FAILURE() << "no key " << text;
    }
    std::shared_ptr<TextField> field_;
};

TEST_F(KeyboardAndTextTest, TheLetterKeyboardTypesShiftsOnceAndDeletes) {
    field_->setReturnKeyType(ReturnKeyType::Done);
    ASSERT_TRUE(field_->becomeFirstResponder());
    advance(0.5);
    pressKey("shift");
    pressKey("P");
    pressKey("a");
    pressKey("space");
    pressKey("x");
    pressKey("delete");
    EXPECT_EQ(field_->text(), "Pa ");
    pressKey("123");
    pressKey("7");
    EXPECT_EQ(field_->text(), "Pa 7");
    int returns = 0;
    field_->addTarget([&] { ++returns; }, ControlEvents::EditingDidEndOnExit);
    pressKey("Done");
    EXPECT_EQ(returns, 1);
}

TEST_F(KeyboardAndTextTest, TheKeyboardCoversTheBottomAndScriptsCannotTapBehindIt) {
    auto low = std::make_shared<Button>(ButtonType::RoundedRect, Rect(20, 400, 280, 40));
    low->setTitle(std::string("Hidden Button"));
    window_->addSubview(low);
    EXPECT_TRUE(app().findElement("Hidden Button"));
    field_->becomeFirstResponder();
    EXPECT_EQ(app().keyboardFrame(), Rect(0, 264, 320, 216));
    EXPECT_FALSE(app().findElement("Hidden Button"));
    field_->resignFirstResponder();
    EXPECT_TRUE(app().findElement("Hidden Button"));
    EXPECT_EQ(app().keyboardFrame(), Rect());
}

TEST_F(KeyboardAndTextTest, AFieldCanLimitWhatIsTyped) {
    // Two digits at most, as a count of repetitions is entered.
    struct TwoDigits : TextFieldDelegate {
        bool shouldChangeCharactersInRange(TextField& f, std::size_t, std::size_t length,
                                           const std::string& s) override {
            return s.empty() || (utf16Length(f.text()) - length + utf16Length(s) <= 2 &&
                                 s.find_first_not_of("0123456789") == std::string::npos);
        }
    };
    auto d = std::make_shared<TwoDigits>();
    field_->setDelegate(d);
    field_->becomeFirstResponder();
    app().typeText("1a234");
    EXPECT_EQ(field_->text(), "12");
    app().pressBackspace();
    app().typeText("9");
    EXPECT_EQ(field_->text(), "19");
}

TEST_F(KeyboardAndTextTest, PasteKeepsToTheFieldsLimitsAndCopyAndSelectAllWork) {
    // Four digits at most, as a count of push-ups is entered.
    struct FourDigits : TextFieldDelegate {
        bool shouldChangeCharactersInRange(TextField& f, std::size_t, std::size_t length,
                                           const std::string& s) override {
            return s.empty() || (utf16Length(f.text()) - length + utf16Length(s) <= 4 &&
                                 s.find_first_not_of("0123456789") == std::string::npos);
        }
    };
    auto d = std::make_shared<FourDigits>();
    field_->setDelegate(d);
    app().pasteText("12");  // nothing is being edited
    EXPECT_EQ(field_->text(), "");
    field_->becomeFirstResponder();
    app().typeText("1");
    app().pasteText("2x3\n45 6");
    EXPECT_EQ(field_->text(), "1234");
    EXPECT_TRUE(app().copyText());
    EXPECT_EQ(Pasteboard::generalPasteboard().string(), "1234");
    // Selected, the text is replaced by what comes next.
    app().selectAllText();
    EXPECT_TRUE(field_->isAllSelected());
    app().pasteText("77");
    EXPECT_EQ(field_->text(), "77");
    app().selectAllText();
    app().pressBackspace();
    EXPECT_EQ(field_->text(), "");
    // A field without limits takes one line, and no more than a paste's worth.
    field_->setDelegate(std::weak_ptr<TextFieldDelegate>());
    app().pasteText("two\r\nlines\tand\x01 a tab");
    EXPECT_EQ(field_->text(), "two lines and a tab");
    field_->setText("");
    app().pasteText(std::string(MaxPastedLength + 5, 'a'));
    EXPECT_EQ(field_->text().size(), MaxPastedLength);
    // A password is not copied.
    field_->setSecureTextEntry(true);
    Pasteboard::generalPasteboard().setString("before");
    EXPECT_FALSE(app().copyText());
    EXPECT_EQ(Pasteboard::generalPasteboard().string(), "before");
}

TEST_F(KeyboardAndTextTest, TheClearButtonEmptiesTheField) {
    field_->setClearButtonMode(TextFieldViewMode::WhileEditing);
    field_->becomeFirstResponder();
    app().typeText("Monday");
    int changes = 0;
    field_->addTarget([&] { ++changes; }, ControlEvents::EditingChanged);
    Rect clear = field_->convertRectToView(field_->clearButtonRectForBounds(field_->bounds()), nullptr);
    tap(clear.center());
    EXPECT_EQ(field_->text(), "");
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(field_->isFirstResponder());
    // The placeholder shows again.
    EXPECT_TRUE(app().isTextVisible("Name"));
}

TEST_F(KeyboardAndTextTest, DeletingRemovesAWholeCharacter) {
    field_->becomeFirstResponder();
    app().typeText("ok\xF0\x9F\x92\xAA");
    app().pressBackspace();
    EXPECT_EQ(field_->text(), "ok");
    field_->setText("\xC3\xA9t\xC3\xA9");
    app().pressBackspace();
    EXPECT_EQ(field_->text(), "\xC3\xA9t");
}

TEST_F(KeyboardAndTextTest, TypingWithNothingFocusedChangesNothing) {
    app().typeText("12");
    app().pressReturn();
    app().pressBackspace();
    EXPECT_EQ(field_->text(), "");
    // A field that is not enabled cannot take the focus.
    field_->setEnabled(false);
    EXPECT_FALSE(field_->becomeFirstResponder());
}

TEST_F(KeyboardAndTextTest, AnAlertShowsAboveTheKeyboardAndTakesTheTaps) {
    field_->becomeFirstResponder();
    auto alert = std::make_shared<AlertView>("Error", "Please enter a number", std::weak_ptr<AlertViewDelegate>(),
                                             std::string("Ok"));
    alert->show();
    // The panel moves up so that the keyboard does not cover it.
    EXPECT_LT(alert->panelRect().maxY(), 264);
    auto image = renderScreen();
    EXPECT_TRUE(image);
    // The keyboard going away under the alert leaves its text inside its box.
    Rect panel = alert->panelRect();
    field_->resignFirstResponder();
    EXPECT_EQ(alert->panelRect(), panel);
    for (const auto& view : alert->subviews()) EXPECT_TRUE(panel.contains(view->frame()));
    field_->becomeFirstResponder();
    tapNamed("Ok");
    advance(0.5);
    EXPECT_TRUE(field_->isFirstResponder());
}

TEST_F(KeyboardAndTextTest, LabelsWrapIntoTheirLines) {
    auto label = std::make_shared<Label>(Rect(20, 100, 120, 100));
    label->setText("Week 1 Day 1 Level 2 Total Reps 31");
    label->setFont(gfx::Font::systemFont(14));
    Size one = label->sizeThatFits(Size(120, 0));
    label->setNumberOfLines(0);
    Size many = label->sizeThatFits(Size(120, 0));
    EXPECT_GT(many.height, one.height * 2);
    EXPECT_LE(many.width, 120);
    label->setNumberOfLines(2);
    Size two = label->sizeThatFits(Size(120, 0));
    EXPECT_LE(two.height, label->font().lineHeight() * 2 + 1);
    label->sizeToFit();
    EXPECT_EQ(label->frame().origin, Point(20, 100));
}

}  // namespace
