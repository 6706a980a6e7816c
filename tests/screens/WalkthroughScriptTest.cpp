// A new user's first session driven by a script through the headless host,
// from the set-up screen to the last F.A.Q. answer, and the looks that the
// walk-through showed to need care: captions that fit, titles that read on
// the gold bar, the rest countdown kept clear of the needle.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "TestEnvironment.h"
#include "platform/base/UserDefaults.h"
#include "platform/gfx/Image.h"
#include "platform/gfx/Text.h"
#include "platform/host/HeadlessDriver.h"
#include "platform/host/Script.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/MailComposeViewController.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Pasteboard.h"
#include "platform/ui/Window.h"
#include "screens/RegisterScreens.h"
#include "sharing/core/SHR.h"
#include "training/StoreTestSupport.h"
#include "training/TolvekAppDelegate.h"

namespace {

namespace fs = std::filesystem;

class WalkthroughScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        SHR::resetForTesting();
        registerScreens();
        ui::MailComposeViewController::setHandoffForTesting([this](const ui::OutboxMessage& m) {
            handed.push_back(m);
            return true;
        });
    }
    void TearDown() override {
        driver.reset();
        SHR::resetForTesting();
        ui::MailComposeViewController::resetHandoffForTesting();
        base::UserDefaults::resetStandardUserDefaultsForTesting();
    }
    void launch() {
        driver = std::make_unique<host::HeadlessDriver>();
        app = std::make_shared<TolvekAppDelegate>();
        ASSERT_TRUE(driver->start(app));
        driver->wait(1);
    }
    void tap(const std::string& text) {
        ASSERT_TRUE(driver->tap(text)) << driver->lastError();
        driver->wait(1);
    }
    // Every visible view of the key window, depth first.
    std::vector<std::shared_ptr<ui::View>> visibleViews() {
        std::vector<std::shared_ptr<ui::View>> out;
        std::function<void(const std::shared_ptr<ui::View>&)> walk = [&](const std::shared_ptr<ui::View>& v) {
            if (!v || v->isHidden()) return;
            out.push_back(v);
            for (const auto& s : v->subviews()) walk(s);
        };
        walk(driver->application().keyWindow());
        return out;
    }
    std::shared_ptr<ui::Label> labelWithText(const std::string& text) {
        for (const auto& v : visibleViews())
            if (auto l = std::dynamic_pointer_cast<ui::Label>(v); l && l->text() == text) return l;
        return nullptr;
    }
    // A user placed before the start: week 1, day 1, level 2.
    void placeUser() {
        defaults().setInteger("Tolvek_Day", 1);
        defaults().setInteger("Tolvek_Week", 1);
        defaults().setInteger("Tolvek_Level", 2);
        defaults().synchronize();
    }
    base::UserDefaults& defaults() { return base::UserDefaults::standardUserDefaults(); }

    test::TempHome tempHome;
    std::unique_ptr<host::HeadlessDriver> driver;
    std::shared_ptr<TolvekAppDelegate> app;
    std::vector<ui::OutboxMessage> handed;
};

float luminance(const gfx::Color& c) { return 0.299f * c.red() + 0.587f * c.green() + 0.114f * c.blue(); }

TEST_F(WalkthroughScriptTest, ANewUserWalksThroughEveryScreen) {
    launch();
    const char* keep = std::getenv("TOLVEK_SHOTS");
    const fs::path shots = keep ? fs::path(keep) : fs::path(tempHome.path()) / "shots";
    const fs::path path = test::testSourceDir("screens/scripts") / "new_user_walkthrough.script";
    std::ifstream in(path);
    ASSERT_TRUE(in) << path;
    std::stringstream text;
    text << in.rdbuf();
    host::ScriptError error;
    auto steps = host::parseScript(text.str(), &error);
    ASSERT_TRUE(steps) << error.line << ": " << error.why;

    // The script keeps checking the key points of the session.
    std::set<std::string> expected, screenshots;
    for (const auto& step : *steps) {
        if (step.kind == host::ScriptStep::Kind::Expect) expected.insert(step.text);
        if (step.kind == host::ScriptStep::Kind::Screenshot) screenshots.insert(step.text);
    }
    for (const char* key :
         {"Setup and initial Test", "Week 1, Day  1, Level 3", "Coming Up Next", "Tap To Start", "End Rest",
          "Day Completed", "More...", "Actions", "Services", "Copied!", "Week 1 Day 1 Level 3 Total Reps 44",
          "Attached: log.csv", "Current Values: Week 1, Day 2, Level 3", "Configure Animations", "Graph Selection",
          "Configure Reminders", "Week 1 Day 1 Level 2 Total Reps",
          "If at any time you are unsure about your pushup technique"})
        EXPECT_TRUE(expected.count(key)) << "the walk-through no longer checks \"" << key << "\"";
    EXPECT_GE(screenshots.size(), 40u);

    host::ScriptOptions options;
    options.scriptName = path.filename().string();
    options.screenshotDir = shots.string();
    std::ostringstream out, err;
    ASSERT_EQ(host::runSteps(*driver, *steps, options, out, err), 0) << err.str() << out.str();

    // The day trained is logged once; "No" in the two questions of the
    // settings kept both the log and the placement; the draft was deleted.
    EXPECT_EQ(storetest::queryIntegers(app->logDatabasePath(), "SELECT count(*) FROM LogDay"),
              std::vector<long long>{1});
    EXPECT_EQ(storetest::queryIntegers(app->logDatabasePath(),
                                       "SELECT Rep1 + Rep2 + Rep3 + Rep4 + Rep5 FROM LogDay WHERE Week = 1 AND "
                                       "Day = 1 AND Level = 3"),
              std::vector<long long>{44});
    EXPECT_EQ(defaults().integerForKey("Tolvek_Level"), 3);
    EXPECT_EQ(defaults().integerForKey("Tolvek_Week"), 1);
    EXPECT_EQ(defaults().integerForKey("Tolvek_Day"), 2);
    EXPECT_TRUE(handed.empty());
    EXPECT_EQ(ui::Pasteboard::generalPasteboard().string().value_or(""),
              "Today I did a total of 44 pushups thanks to the Tolvek iPhone app. (Week 1, Day 1, Level 3) #Tolvek");

    for (const auto& name : screenshots) {
        auto image = gfx::Image::load((shots / (name + ".png")).string());
        ASSERT_TRUE(image) << name;
        EXPECT_EQ(image->width(), 640) << name;
        EXPECT_EQ(image->height(), 960) << name;
    }
}

TEST_F(WalkthroughScriptTest, HomeCaptionsFitTheirColumnsAtOneSize) {
    placeUser();
    launch();
    int captions = 0;
    for (const char* caption :
         {"Today's Workout", "Progress", "Settings", "Good Form", "Tip of the Week", "F.A.Q.", "Plan"}) {
        // The caption beside its button (a home page may show the same words).
        std::shared_ptr<ui::Label> label;
        for (const auto& v : visibleViews())
            if (auto b = std::dynamic_pointer_cast<ui::Button>(v); b && b->accessibilityLabel() == caption)
                if (auto parent = b->superview())
                    for (const auto& sibling : parent->subviews())
                        if (auto l = std::dynamic_pointer_cast<ui::Label>(sibling); l && l->text() == caption)
                            label = l;
        ASSERT_TRUE(label) << caption;
        // Drawn at the caption size, not shrunk: every word fits the column
        // and the wrapped lines fit the label.
        EXPECT_EQ(label->font().pointSize(), 13) << caption;
        std::istringstream words(caption);
        for (std::string word; words >> word;)
            EXPECT_LE(gfx::measureText(word, label->font()).width, label->frame().width()) << word;
        const auto wrapped = gfx::measureText(caption, label->font(), ui::Size(label->frame().width(), 1000),
                                              ui::LineBreakMode::WordWrap);
        EXPECT_LE(wrapped.height, label->frame().height()) << caption;
        ++captions;
    }
    EXPECT_EQ(captions, 7);
    // The full names still reach the buttons, and open their screens.
    tap("Tip of the Week");
    EXPECT_TRUE(driver->expect("Tip of The Week"));
}

TEST_F(WalkthroughScriptTest, PlainTitlesOnTheGoldBarAreDark) {
    placeUser();
    launch();
    tap("Settings");
    tap("Animation");
    auto title = labelWithText("Configure Animations");
    ASSERT_TRUE(title);
    EXPECT_LT(luminance(title->textColor()), 0.4f);
    // On the workout screen's dark bar a plain title stays light.
    tap("Configuration");
    tap("Back");
    tap("Today's Workout");
    title = labelWithText("Today's Program");
    ASSERT_TRUE(title);
    EXPECT_GT(luminance(title->textColor()), 0.8f);
}

TEST_F(WalkthroughScriptTest, TheRestCountdownSitsInsideTheDialFace) {
    placeUser();
    launch();
    tap("Today's Workout");
    tap("Tap To Start");
    tap("Done");
    std::shared_ptr<ui::Label> countdown;
    for (int seconds = 55; seconds <= 60 && !countdown; ++seconds) countdown = labelWithText(std::to_string(seconds));
    ASSERT_TRUE(countdown) << driver->lastError();
    // An opaque window in the lower half of the face (centre 160, 216,
    // radius 60 in the screen's view): every corner lies inside the face.
    const auto f = countdown->frame();
    EXPECT_GT(countdown->backgroundColor().alpha(), 0.99f);
    for (float x : {f.minX(), f.maxX()})
        for (float y : {f.minY(), f.maxY()}) {
            const float dx = x - 160, dy = y - 216;
            EXPECT_LT(dx * dx + dy * dy, 60.0f * 60.0f) << x << ", " << y;
        }
    EXPECT_GT(f.minY(), 216 + 9);  // below the needle's hub
    EXPECT_LE(gfx::measureText("60", countdown->font()).width, f.width());
}

}  // namespace

namespace {

// Day 3 of week 6: the home page keeps each line whole, and the workout's
// row shows four doubled sets in the smaller size and the last one plain,
// all of one weight, each inside its 55-point slot.
TEST_F(WalkthroughScriptTest, DoubledSetDaysKeepLinesWholeAndSetsInTheirSlots) {
    defaults().setInteger("Tolvek_Day", 3);
    defaults().setInteger("Tolvek_Week", 6);
    defaults().setInteger("Tolvek_Level", 3);
    defaults().synchronize();
    launch();
    // The home page of today steps its text down so that the long "Reps:"
    // line stays on one line.
    std::shared_ptr<ui::Label> today;
    for (const auto& v : visibleViews())
        if (auto l = std::dynamic_pointer_cast<ui::Label>(v); l && l->text().starts_with("Week 6, Day  3, Level 3"))
            today = l;
    ASSERT_TRUE(today);
    EXPECT_LT(today->font().pointSize(), 16);
    EXPECT_GE(today->font().pointSize(), 12);
    std::string line;
    for (char ch : today->text() + "\r") {
        if (ch != '\r') {
            line += ch;
            continue;
        }
        EXPECT_LE(gfx::measureText(line, today->font()).width, today->frame().width()) << line;
        line.clear();
    }
    tap("Today's Workout");
    tap("Tap To Start");
    std::vector<std::shared_ptr<ui::Label>> sets;
    for (const auto& v : visibleViews())
        if (auto l = std::dynamic_pointer_cast<ui::Label>(v); l && l->frame().minY() == 10 && l->frame().width() == 55)
            sets.push_back(l);
    ASSERT_EQ(sets.size(), 5u);
    for (std::size_t i = 0; i < sets.size(); ++i) {
        const bool doubled = i < 4;
        EXPECT_EQ(sets[i]->text().ends_with("(x2)"), doubled) << sets[i]->text();
        EXPECT_EQ(sets[i]->font().pointSize(), doubled ? 15 : 17) << sets[i]->text();
        EXPECT_EQ(sets[i]->font().isBold(), sets[0]->font().isBold()) << sets[i]->text();
        EXPECT_LE(gfx::measureText(sets[i]->text(), sets[i]->font()).width, 55) << sets[i]->text();
    }
}

}  // namespace
