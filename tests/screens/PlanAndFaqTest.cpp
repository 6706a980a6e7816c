// The plan table and the F.A.Q. with its answers and feedback mail.
#include <sqlite3.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "SettingsTestSupport.h"
#include "platform/base/Format.h"
#include "platform/base/RunLoop.h"
#include "screens/AnswersViewController.h"
#include "screens/EmulateThreeOhCell.h"
#include "screens/HintTipsViewController.h"
#include "screens/ProgramTableViewController.h"
#include "training/DataAccess.h"

namespace {

using settingstest::SettingsTest;

class PlanTableTest : public SettingsTest {
protected:
    std::shared_ptr<ProgramTableViewController> openPlan() {
        placed(1, 1, 1);
        launch();
        tap("Plan");
        auto plan = std::dynamic_pointer_cast<ProgramTableViewController>(top());
        if (plan) plan->tableView()->layoutIfNeeded();
        return plan;
    }
    std::string detailAt(ProgramTableViewController& plan, int row, int section) {
        auto table = plan.tableView();
        auto cell = plan.cellForRowAtIndexPath(*table, ui::IndexPath::indexPathForRow(row, section));
        return cell->detailTextLabel()->text();
    }
    // Runs SQL on the plan database in Documents.
    void onPlan(const std::string& sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(app->databasePath().c_str(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }
};

TEST_F(PlanTableTest, ThreeLevelsOfEighteenDaysFromWeekOneDayOneToWeekSixDayThree) {
    auto plan = openPlan();
    ASSERT_TRUE(plan);
    auto table = plan->tableView();
    EXPECT_EQ(table->numberOfSections(), 3);
    for (int s = 0; s < 3; ++s) EXPECT_EQ(table->numberOfRowsInSection(s), 18);
    EXPECT_EQ(plan->titleForHeaderInSection(*table, 1), "Level 2");
    EXPECT_EQ(plan->sectionIndexTitlesForTableView(*table),
              (std::vector<std::string>{"Level 1", "Level 2", "Level 3"}));
    EXPECT_FALSE(plan->programData().empty());
    EXPECT_FLOAT_EQ(table->rectForRowAtIndexPath(ui::IndexPath::indexPathForRow(0, 0)).height(), 44);
    shot("plan_table");

    auto first = DataAccess::getProgram(1, 1, 1);
    EXPECT_EQ(detailAt(*plan, 0, 0),
              base::format("Week 1 Day 1 Level 1 Total Reps %i\nMade up of Sets:%i, %i, %i, %i, %i", first->total(),
                           first->rep1(), first->rep2(), first->rep3(), first->rep4(), first->rep5()));
    EXPECT_EQ(detailAt(*plan, 17, 2).rfind("Week 6 Day 3 Level 3 Total Reps ", 0), 0u);
    auto cell = plan->cellForRowAtIndexPath(*table, ui::IndexPath::indexPathForRow(0, 0));
    EXPECT_EQ(cell->reuseIdentifier(), "LogViewCell");
    EXPECT_EQ(cell->style(), ui::TableViewCellStyle::Subtitle);
    EXPECT_EQ(cell->detailTextLabel()->numberOfLines(), 2);
    EXPECT_EQ(cell->detailTextLabel()->font().pointSize(), 13);
    EXPECT_EQ(cell->textLabel()->text(), "");

    // Week 5 day 2 lists eight values in the smaller font.
    auto w5 = plan->cellForRowAtIndexPath(*table, ui::IndexPath::indexPathForRow(13, 0));
    EXPECT_EQ(w5->detailTextLabel()->font().pointSize(), 11);
    EXPECT_EQ(std::count(w5->detailTextLabel()->text().begin(), w5->detailTextLabel()->text().end(), ','), 7);

    // The index jumps to a level.
    tap("Index Level 3");
    EXPECT_TRUE(driver->expect("Week 1 Day 1 Level 3")) << driver->lastError();
    EXPECT_FALSE(driver->isTextVisible("Level 1 Total"));
    // At the end, the last row reads in full.
    table->scrollToRowAtIndexPath(ui::IndexPath::indexPathForRow(17, 2), ui::TableViewScrollPosition::Bottom, false);
    driver->wait(0.1);
    EXPECT_TRUE(driver->expect("Week 6 Day 3 Level 3")) << driver->lastError();
    shot("plan_table_end");
}

TEST_F(PlanTableTest, AWeekSixDayTwoRowListsNineValuesAndThePlansTotal) {
    auto plan = openPlan();
    onPlan("UPDATE Program SET Rep1=10, Rep2=11, Rep3=12, Rep4=13, Rep5=14 WHERE Week=6 AND Day=2 AND Level=2");
    plan->loadData();
    EXPECT_EQ(detailAt(*plan, 16, 1),
              "Week 6 Day 2 Level 2 Total Reps 106\nMade up of Sets:10, 10, 11, 11, 12, 12, 13, 13, 14");
}

TEST_F(PlanTableTest, ADayThePlanLacksShowsAsARowOfZeros) {
    auto plan = openPlan();
    onPlan("DELETE FROM Program WHERE Week=6 AND Day=3 AND Level=3");
    plan->loadData();
    EXPECT_EQ(detailAt(*plan, 17, 2), "Week 0 Day 0 Level 0 Total Reps 0\nMade up of Sets:0, 0, 0, 0, 0");
}

TEST_F(PlanTableTest, RowsAreTallerOnSystemsBeforeFour) {
    EXPECT_TRUE(ProgramTableViewController::versionBelow("3.1.3", "4.0"));
    EXPECT_FALSE(ProgramTableViewController::versionBelow("4.3", "4.0"));
    EXPECT_FALSE(ProgramTableViewController::versionBelow("4", "4.0"));
    EXPECT_FALSE(ProgramTableViewController::versionBelow("10.0", "4.0")) << "compared as numbers, not text";
    const auto at = ProgramTableViewController::planDayAt(ui::IndexPath::indexPathForRow(16, 1));
    EXPECT_EQ(at.week, 6);
    EXPECT_EQ(at.day, 2);
    EXPECT_EQ(at.level, 2);
}

class FaqTest : public SettingsTest {
protected:
    std::shared_ptr<HintTipsViewController> openFaq() {
        placed(1, 1, 1);
        launch();
        tap("F.A.Q.");
        return std::dynamic_pointer_cast<HintTipsViewController>(top());
    }
    std::shared_ptr<AnswersViewController> answers() { return std::dynamic_pointer_cast<AnswersViewController>(top()); }
    // Scrolls the list to the question and opens it.
    void open(HintTipsViewController& faq, int row) {
        faq.hintTable()->layoutIfNeeded();
        faq.hintTable()->scrollToRowAtIndexPath(ui::IndexPath::indexPathForRow(row, 0),
                                                ui::TableViewScrollPosition::Middle, false);
        driver->wait(0.1);
        tap(HintTipsViewController::question(row).title);
    }
    std::string outbox() { return ui::MailComposeViewController::outboxDirectory(); }
};

TEST_F(FaqTest, TheListShowsSevenQuestionsAndEachOpensItsAnswer) {
    auto faq = openFaq();
    ASSERT_TRUE(faq);
    shot("faq");
    for (int row = 0; row < HintTipsViewController::kQuestionCount; ++row) {
        const auto& q = HintTipsViewController::question(row);
        faq->hintTable()->layoutIfNeeded();
        faq->hintTable()->scrollToRowAtIndexPath(ui::IndexPath::indexPathForRow(row, 0),
                                                 ui::TableViewScrollPosition::Middle, false);
        driver->wait(0.1);
        EXPECT_TRUE(driver->expect(q.title)) << driver->lastError();
        auto cell = std::dynamic_pointer_cast<EmulateThreeOhCell>(
            faq->hintTable()->cellForRowAtIndexPath(ui::IndexPath::indexPathForRow(row, 0)));
        ASSERT_TRUE(cell);
        EXPECT_EQ(cell->detailTextLabel()->text(), q.detail);
        EXPECT_EQ(cell->detailTextLabel()->numberOfLines(), q.lines);
        EXPECT_TRUE(cell->imageView()->image());
        EXPECT_EQ(cell->accessoryType(), ui::TableViewCellAccessoryType::DisclosureIndicator);
        if (q.shortDetail) {
            EXPECT_FLOAT_EQ(cell->detailTextLabel()->frame().height(), 30);
        }
    }
    open(*faq, 3);
    ASSERT_TRUE(answers());
    EXPECT_EQ(answers()->hint(), 3);
    EXPECT_TRUE(driver->isTextVisible("It's up to you, but it's better to give your arms a good rest"));
    EXPECT_TRUE(answers()->feedbackButton()->isHidden());
    EXPECT_EQ(answers()->hintText()->font().pointSize(), 18);
    shot("faq_answer");
    tap("F.A.Q.");
    open(*faq, 0);
    EXPECT_TRUE(driver->isTextVisible("Redo Initial Test"));
    shot("faq_answer_started");
    EXPECT_EQ(faq->answersViewController(), answers()) << "one answer screen, kept";
}

TEST_F(FaqTest, FeedbackWritesAMailToTheOutboxAndSayingSentWhenSent) {
    auto faq = openFaq();
    open(*faq, AnswersViewController::kFeedbackHint);
    EXPECT_TRUE(driver->isTextVisible("Tap below to send us feedback. We value your opinion and/or suggestions"));
    EXPECT_FALSE(answers()->feedbackButton()->isHidden());
    shot("faq_feedback");
    auto screen = answers();
    tap("Send Feedback");
    auto composer = screen->composer();
    ASSERT_TRUE(composer);
    EXPECT_EQ(screen->modalViewController(), composer);
    EXPECT_EQ(composer->subject(), "Feedback for Tolvek");
    EXPECT_EQ(composer->messageBody(), "<Type Feedback here>");
    EXPECT_FALSE(composer->isBodyHTML());
    EXPECT_EQ(composer->toRecipients(), std::vector<std::string>{kFeedbackAddress});
    shot("faq_composer");
    tap("Send");
    ASSERT_EQ(mailed.size(), 1u);
    EXPECT_EQ(mailed[0].subject, "Feedback for Tolvek");
    EXPECT_EQ(mailed[0].plainBody, "<Type Feedback here>");
    ASSERT_TRUE(std::filesystem::exists(mailed[0].path));
    EXPECT_EQ(std::filesystem::path(mailed[0].path).extension(), ".eml");
    std::stringstream eml;
    eml << std::ifstream(mailed[0].path).rdbuf();
    EXPECT_NE(eml.str().find("Subject: Feedback for Tolvek"), std::string::npos);
    EXPECT_NE(eml.str().find("<Type Feedback here>"), std::string::npos);
    EXPECT_NE(eml.str().find(kFeedbackAddress), std::string::npos);
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "Feedback");
    EXPECT_EQ(alert()->message(), "Email sent to Quillon");
    shot("faq_sent");
    tap("Ok");
    EXPECT_FALSE(screen->modalViewController());
    EXPECT_EQ(top(), screen);
}

TEST_F(FaqTest, FeedbackNoMailProgramTookIsSavedNotSentAndSaysWhereItIs) {
    ui::MailComposeViewController::setHandoffForTesting([](const ui::OutboxMessage&) { return false; });
    auto faq = openFaq();
    open(*faq, AnswersViewController::kFeedbackHint);
    auto screen = answers();
    tap("Send Feedback");
    auto composer = screen->composer();
    ASSERT_TRUE(composer);
    tap("Send");
    const std::string path = composer->lastWrittenPath();
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(std::filesystem::path(path).parent_path(), ui::MailComposeViewController::outboxDirectory());
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "Feedback");
    EXPECT_EQ(alert()->message(), "Your email was not sent: no mail program took it. It is saved as " + path);
    EXPECT_FALSE(driver->isTextVisible("Email sent to Quillon"));
    shot("faq_saved_not_sent");
    tap("Ok");
    EXPECT_FALSE(screen->modalViewController());
}

TEST_F(FaqTest, FeedbackToAMailProgramStillRunningIsHandedOnAndItsLaterFailureIsTold) {
    // A stand-in for the desktop's mail program: it shows the message until
    // the test lets it go (by making the file "release"), then ends with a
    // failure. It gives up by itself after a minute, or when the test's
    // home has gone.
    const std::string bin = tempHome.path() + "/bin";
    const std::string release = tempHome.path() + "/release";
    std::filesystem::create_directories(bin);
    std::ofstream(bin + "/xdg-email") << "#!/bin/sh\nn=0\nwhile [ ! -e '" << release << "' ] && [ -d '" << bin
                                      << "' ] && [ $n -lt 1200 ]; do sleep 0.05; n=$((n + 1)); done\nexit 1\n";
    ::chmod((bin + "/xdg-email").c_str(), 0755);
    struct RestorePath {
        std::string old = std::getenv("PATH") ? std::getenv("PATH") : "";
        ~RestorePath() { ::setenv("PATH", old.c_str(), 1); }
    } restorePath;
    ::setenv("PATH", (bin + ":" + restorePath.old).c_str(), 1);
    ui::MailComposeViewController::resetHandoffForTesting();
    ui::MailComposeViewController::setMailProgramPatienceForTesting(0.2);
    // Runs the main loop until the condition holds (the mail program's
    // answers come from another thread, in real time), for at most a minute.
    auto until = [&](const std::function<bool()>& done) {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!done() && std::chrono::steady_clock::now() < limit) {
            base::RunLoop::main().runOnce(0.01);
            driver->wait(0);
        }
        return done();
    };

    auto faq = openFaq();
    open(*faq, AnswersViewController::kFeedbackHint);
    auto screen = answers();
    tap("Send Feedback");
    ASSERT_TRUE(screen->composer());
    tap("Send");
    const std::string path = screen->composer()->lastWrittenPath();
    // Not known to be sent yet: the screen says what is true.
    ASSERT_TRUE(until([&] { return alert() != nullptr; }));
    EXPECT_EQ(alert()->message(), "Your email to Quillon was handed to your mail program");
    EXPECT_FALSE(driver->isTextVisible("Email sent to Quillon"));
    tap("Ok");
    EXPECT_FALSE(screen->composer()) << "the composer has gone";
    // The mail program fails later: the user hears it then, with the file.
    std::ofstream(release) << "";
    ASSERT_TRUE(until([&] { return alert() && alert()->title() == "Email Not Sent"; }));
    EXPECT_EQ(alert()->message(),
              "Your mail program ended with a failure, so the email may not have gone out. It is saved as " + path);
    EXPECT_TRUE(std::filesystem::exists(path));
}

TEST_F(FaqTest, WithoutMailTheFeedbackAnswerSaysSoAndOffersNoButton) {
    placed(1, 1, 1);
    // A file where the outbox folder should be: no mail can be written.
    std::filesystem::create_directories(tempHome.dataHome() + "/tolvek");
    std::ofstream(tempHome.dataHome() + "/tolvek/Outbox") << "not a folder";
    launch();
    ASSERT_FALSE(ui::MailComposeViewController::canSendMail());
    tap("F.A.Q.");
    auto faq = std::dynamic_pointer_cast<HintTipsViewController>(top());
    ASSERT_TRUE(faq);
    open(*faq, AnswersViewController::kFeedbackHint);
    EXPECT_EQ(answers()->hintText()->text(),
              "You do not appear to have mail setup.\rPlease go into the Mail app and set up an email provider");
    EXPECT_TRUE(answers()->feedbackButton()->isHidden());
    EXPECT_FALSE(driver->isTextVisible("Send Feedback"));
    shot("faq_no_mail");
}

TEST_F(FaqTest, AFailedSendKeepsTheComposerSoTheFeedbackIsNotLost) {
    auto faq = openFaq();
    open(*faq, AnswersViewController::kFeedbackHint);
    auto screen = answers();
    tap("Send Feedback");
    ASSERT_TRUE(screen->composer());
    // The outbox goes away under the open composer.
    std::filesystem::remove_all(outbox());
    std::ofstream(outbox()) << "not a folder";
    tap("Send");
    EXPECT_TRUE(driver->isTextVisible("Your email failed to send. Please try again later"));
    EXPECT_TRUE(mailed.empty());
    EXPECT_TRUE(screen->modalViewController()) << "the composer stays";
    EXPECT_EQ(screen->composer()->messageBody(), "<Type Feedback here>");
}

}  // namespace
