// The option screens that no menu opens (Facebook, Twitter) and the two cell
// classes: settings and keychain, the refusal of empty fields, the view's
// move for the keyboard, and the corners of the grouped cell background.
#include "ProgressTestSupport.h"

#include "platform/gfx/Context.h"
#include "platform/gfx/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextField.h"
#include "screens/CustomCellBackgroundView.h"
#include "screens/FacebookConfigurationViewController.h"
#include "screens/LogViewCell.h"
#include "screens/TwitterViewController.h"
#include "sharing/core/SHR.h"

namespace {

using progresstest::ProgressTest;

class UnopenedScreensTest : public ProgressTest {
protected:
    template <class T>
    std::shared_ptr<T> push() {
        auto screen = std::make_shared<T>();
        nav()->pushViewController(screen, false);
        driver->wait(0.5);
        return screen;
    }
    std::string titleOf(ui::ViewController& screen) {
        auto label = std::dynamic_pointer_cast<ui::Label>(screen.navigationItem()->titleView());
        return label ? label->text() : std::string();
    }
};

TEST_F(UnopenedScreensTest, TwitterKeepsTheNameInSettingsAndThePasswordInTheKeychain) {
    launch();
    auto twitter = push<TwitterViewController>();
    EXPECT_EQ(titleOf(*twitter), "Twitter");
    EXPECT_FALSE(twitter->updateTwitterSwitch()->isOn());
    shot("twitter");

    // Empty fields are refused.
    twitter->usernameTextField()->setText("pushup_fan");
    tap("Save");
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "Error");
    EXPECT_EQ(alert()->message(), "Please Enter a Username or Password");
    tap("Ok");
    EXPECT_FALSE(SFHFKeychainUtils::getPasswordForUsername("pushup_fan", "Tolvek_TwitterUpdates", nullptr));
    EXPECT_TRUE(defaults().stringForKey("Tolvek_TwitterUserName").empty());

    twitter->passTextField()->setText("s3cret pass");
    tap("Save");
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "Information");
    EXPECT_EQ(alert()->message(), "Details Saved");
    tap("Ok");
    EXPECT_EQ(SFHFKeychainUtils::getPasswordForUsername("pushup_fan", "Tolvek_TwitterUpdates", nullptr),
              std::optional<std::string>("s3cret pass"));
    EXPECT_EQ(defaults().stringForKey("Tolvek_TwitterUserName"), "pushup_fan");

    // The switch writes its own key.
    tap("Send to Twitter");
    EXPECT_TRUE(defaults().boolForKey("Tolvek_TwitterUpdates"));

    // Opened again, the screen shows what was saved.
    tap("Back");
    auto again = push<TwitterViewController>();
    EXPECT_EQ(again->usernameTextField()->text(), "pushup_fan");
    EXPECT_EQ(again->passTextField()->text(), "s3cret pass");
    EXPECT_TRUE(again->updateTwitterSwitch()->isOn());
}

TEST_F(UnopenedScreensTest, TwitterMovesUpOnceForThePasswordAndBackWhenLeft) {
    launch();
    auto twitter = push<TwitterViewController>();
    const ui::Rect start = twitter->view()->frame();

    // The user-name field does not move the view.
    tap("User Name", 0.5);
    EXPECT_EQ(twitter->view()->frame(), start);
    // Return moves on to the password, which the keyboard would cover.
    ASSERT_TRUE(driver->pressReturn());
    driver->wait(0.5);
    EXPECT_TRUE(twitter->passTextField()->isEditing());
    EXPECT_EQ(twitter->view()->frame().minY(), start.minY() - 150);
    EXPECT_EQ(twitter->view()->frame().height(), start.height() + 150);
    shot("twitter-moved-up");
    // Another keyboard notice does not move it further.
    base::NotificationCenter::defaultCenter().post(ui::KeyboardWillShowNotification, nullptr);
    twitter->keyboardWillShow();
    twitter->setMovedUp(true);
    driver->wait(0.5);
    EXPECT_EQ(twitter->view()->frame().minY(), start.minY() - 150);

    // Left while typing: the view is whole again when it comes back.
    tap("Back");
    EXPECT_FALSE(twitter->isMovedUp());
    nav()->pushViewController(twitter, false);
    driver->wait(0.5);
    EXPECT_EQ(twitter->view()->frame(), start);

    // Return from the password puts it down as well.
    tap("Password", 0.5);
    EXPECT_TRUE(twitter->isMovedUp());
    ASSERT_TRUE(driver->pressReturn());
    driver->wait(0.5);
    EXPECT_FALSE(twitter->passTextField()->isEditing());
    EXPECT_EQ(twitter->view()->frame(), start);
}

TEST_F(UnopenedScreensTest, FacebookSwitchShowsAndSavesItsSetting) {
    defaults().setBool("Tolvek_PostToFaceBook", true);
    launch();
    auto facebook = push<FacebookConfigurationViewController>();
    EXPECT_EQ(titleOf(*facebook), "Facebook");
    EXPECT_TRUE(facebook->postUpdates()->isOn());
    shot("facebook");
    tap("Post to Facebook");
    EXPECT_FALSE(facebook->postUpdates()->isOn());
    // Saved at once: a fresh read of the settings file sees it.
    base::UserDefaults::resetStandardUserDefaultsForTesting();
    EXPECT_FALSE(defaults().boolForKey("Tolvek_PostToFaceBook"));
    EXPECT_FALSE(defaults().objectForKey("Tolvek_PostToFaceBook").isNull());
}

// Straight alpha of a pixel of the picture.
int alphaAt(const gfx::Image& image, int x, int y) { return image.pixel(x, y).a; }

TEST(CustomCellBackground, RoundsTheCornersByThePlaceOfTheCellInItsGroup) {
    const int w = 120, h = 44;
    struct Case {
        int position;
        bool topRounded, bottomRounded;
        const char* name;
    };
    for (const Case& c : {Case{0, true, false, "top"}, Case{1, false, false, "middle"}, Case{2, false, true, "bottom"},
                          Case{3, true, true, "single"}, Case{7, true, true, "other"}}) {
        SCOPED_TRACE(c.name);
        auto view = std::make_shared<CustomCellBackgroundView>(ui::Rect(0, 0, w, h));
        EXPECT_FALSE(view->isOpaque());
        view->setFillColor(gfx::Color::rgb(0.2f, 0.5f, 0.9f));
        view->setBorderColor(gfx::Color::black());
        view->setPosition(c.position);
        gfx::ImageContext context(gfx::Size(w, h), 2);
        view->drawRect(context, view->bounds());
        auto image = context.image();
        ASSERT_TRUE(image);
        if (const char* dir = std::getenv("TOLVEK_SHOTS"))
            image->writePNG(std::string(dir) + "/cell-background-" + c.name + ".png");
        const int pw = w * 2, ph = h * 2;
        // Inside: filled with the fill colour.
        auto mid = image->pixel(pw / 2, ph / 2);
        EXPECT_EQ(mid.a, 255);
        EXPECT_GT(mid.b, 200);
        // The very corners: empty where rounded, drawn where square.
        for (int x : {1, pw - 2}) {
            EXPECT_EQ(alphaAt(*image, x, 1) == 0, c.topRounded) << "top corner at x " << x;
            EXPECT_EQ(alphaAt(*image, x, ph - 2) == 0, c.bottomRounded) << "bottom corner at x " << x;
        }
    }
}

TEST(CustomCellBackground, RoundedCellPathLeavesTheContextStateAlone) {
    gfx::ImageContext context(gfx::Size(60, 40));
    context.setFillColor(gfx::Color::black());
    addRoundedCellPath(context, ui::Rect(10, 10, 40, 20));
    context.fillPath();
    auto image = context.image();
    // The path lies in the rectangle, rounded at its corners; the context is
    // not left scaled (a second path lands where it is asked to).
    EXPECT_EQ(image->pixel(30, 20).a, 255);
    EXPECT_EQ(image->pixel(5, 5).a, 0);
    EXPECT_EQ(image->pixel(10, 10).a, 0);
    context.addRect(ui::Rect(55, 35, 4, 4));
    context.fillPath();
    EXPECT_EQ(context.image()->pixel(57, 37).a, 255);
}

TEST(LogViewCellTest, HasThreeLabelsOfItsOwn) {
    LogViewCell cell;
    EXPECT_EQ(cell.reuseIdentifier(), "LogViewCell");
    ASSERT_TRUE(cell.dateLabel() && cell.descLabel() && cell.workoutLabel());
    for (const auto& label : {cell.dateLabel(), cell.descLabel(), cell.workoutLabel()})
        EXPECT_EQ(label->superview(), cell.contentView());
    cell.setSelected(true, false);
    EXPECT_TRUE(cell.isSelected());
    EXPECT_LT(cell.dateLabel()->frame().maxY(), cell.workoutLabel()->frame().maxY());
}

}  // namespace
