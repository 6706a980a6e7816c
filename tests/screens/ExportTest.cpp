// The export page: the CSV text read back by a parser of its own, the file
// in Documents, the mail's attachment, and what happens without mail or
// when the file cannot be written.
#include "ProgressTestSupport.h"

#include <filesystem>
#include <fstream>
#include <numeric>
#include <sstream>

#include "screens/ExportViewController.h"
#include "sharing/core/SHR.h"

namespace {

using progresstest::ProgressTest;
namespace fs = std::filesystem;

// A small CSV reader (RFC 4180 quoting; fields separated by commas, records
// by line feeds), which trims the blanks around unquoted fields.
std::vector<std::vector<std::string>> parseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string field;
    bool quoted = false, wasQuoted = false;
    auto endField = [&] {
        if (!wasQuoted) {
            auto b = field.find_first_not_of(' ');
            auto e = field.find_last_not_of(' ');
            field = b == std::string::npos ? std::string() : field.substr(b, e - b + 1);
        }
        row.push_back(field);
        field.clear();
        wasQuoted = false;
    };
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') field += text[++i];
            else if (c == '"') quoted = false;
            else field += c;
        } else if (c == '"') {
            quoted = wasQuoted = true;
            field.clear();
        } else if (c == ',') {
            endField();
        } else if (c == '\n') {
            endField();
            rows.push_back(row);
            row.clear();
        } else if (!(wasQuoted && c == ' ')) {
            field += c;
        }
    }
    if (!field.empty() || !row.empty()) {
        endField();
        rows.push_back(row);
    }
    return rows;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::shared_ptr<Log> day(int week, int d, int level, std::array<int, 9> reps, const std::string& date) {
    auto log = std::make_shared<Log>();
    log->initValues(week, d, level, reps[0], reps[1], reps[2], reps[3], reps[4], reps[5], reps[6], reps[7], reps[8],
                    std::nullopt, date);
    return log;
}

TEST(ExportText, HasAHeaderAndOneLineOfThirteenFieldsPerDayWithAllNineSlots) {
    const std::string empty = ExportViewController::csvText({});
    EXPECT_EQ(empty, "Date, Week, Day, Level, Rep 1, Rep 2, Rep 3, Rep 4, Rep 5, Rep 6, Rep 7, Rep 8, Rep 9 \n");

    auto text = ExportViewController::csvText(
        {day(1, 1, 2, {5, 6, 4, 4, 7, 0, 0, 0, 0}, "Mon 2026 11 30 18:00:00.000"),
         day(6, 2, 3, {20, 20, 22, 22, 25, 25, 30, 30, 40}, "Tue 2026 12 08 18:58:45.123")});
    // The first nine columns, the separators and the line ends are as before.
    EXPECT_NE(text.find("\nMon 2026 11 30 18:00:00.000, 1, 1, 2, 5, 6, 4, 4, 7, 0, 0, 0, 0 \n"), std::string::npos);
    auto rows = parseCsv(text);
    ASSERT_EQ(rows.size(), 3u);
    for (const auto& row : rows) EXPECT_EQ(row.size(), 13u);
    EXPECT_EQ(rows[0][0], "Date");
    EXPECT_EQ(rows[0][12], "Rep 9");
    EXPECT_EQ(rows[2][0], "Tue 2026 12 08 18:58:45.123");
    int sum = 0;
    for (int i = 4; i < 13; ++i) sum += std::stoi(rows[2][i]);
    EXPECT_EQ(sum, 234);  // the day's total over all nine slots

    // A date text with a comma or a quote (never written by the store) is
    // quoted, so the columns stay where they are.
    auto odd = parseCsv(ExportViewController::csvText({day(1, 1, 1, {}, "8 Dec, \"evening\"")}));
    ASSERT_EQ(odd.size(), 2u);
    ASSERT_EQ(odd[1].size(), 13u);
    EXPECT_EQ(odd[1][0], "8 Dec, \"evening\"");
}

class ExportTest : public ProgressTest {
protected:
    std::shared_ptr<ExportViewController> openExport() {
        auto screen = openProgress();
        if (!screen) return nullptr;
        tap("Export");
        return screen->exportPage();
    }
    fs::path csvPath() { return fs::path(tempHome.dataHome()) / "tolvek" / "Documents" / "log.csv"; }
    std::shared_ptr<ui::MailComposeViewController> composer() {
        return std::dynamic_pointer_cast<ui::MailComposeViewController>(SHR::currentHelper().currentView());
    }
};

TEST_F(ExportTest, MailsTheFileItWroteWithEveryDayInStoredOrder) {
    launch();
    addDay(6, 2, 1, {10, 10, 11, 11, 12, 12, 13, 13, 20}, "Tue 2026 12 08 18:58:45.123");
    addDay(1, 1, 2, {5, 6, 4, 4, 7, 0, 0, 0, 0}, "Mon 2026 11 30 18:00:00.000");
    addDay(5, 3, 2, {8, 8, 10, 10, 9, 9, 12, 14, 0}, "Wed 2026 12 09 18:00:00.000");
    // An older file is replaced.
    {
        std::ofstream old(csvPath());
        old << "stale\n";
    }
    ASSERT_TRUE(openExport());
    shot("export-page");
    tap("Email Log File");
    auto mail = composer();
    ASSERT_TRUE(mail);
    EXPECT_TRUE(driver->isTextVisible("Log File"));
    shot("export-mail");

    const std::string file = readFile(csvPath());
    auto rows = parseCsv(file);
    ASSERT_EQ(rows.size(), 4u);
    for (const auto& row : rows) EXPECT_EQ(row.size(), 13u);
    EXPECT_EQ(rows[1][0], "Tue 2026 12 08 18:58:45.123");
    EXPECT_EQ(rows[2][0], "Mon 2026 11 30 18:00:00.000");
    EXPECT_EQ(rows[3][0], "Wed 2026 12 09 18:00:00.000");
    int sum = 0;
    for (int i = 4; i < 13; ++i) sum += std::stoi(rows[1][i]);
    EXPECT_EQ(sum, 112);
    EXPECT_EQ(rows[3][11], "14");  // week 5: the eighth set is there
    EXPECT_EQ(rows[3][12], "0");

    ASSERT_EQ(mail->attachments().size(), 1u);
    EXPECT_EQ(mail->attachments()[0].fileName, "log.csv");
    EXPECT_EQ(mail->attachments()[0].mimeType, "application/csv");
    EXPECT_EQ(std::string(mail->attachments()[0].data.begin(), mail->attachments()[0].data.end()), file);
    EXPECT_EQ(mail->subject(), "Log File");

    // Sent, the message in the outbox carries the same bytes.
    tap("Send");
    ASSERT_EQ(handed.size(), 1u);
    ASSERT_EQ(handed[0].attachmentPaths.size(), 1u);
    EXPECT_EQ(readFile(handed[0].attachmentPaths[0]), file);
    EXPECT_EQ(handed[0].subject, "Log File");
}

TEST_F(ExportTest, AMailNoMailProgramTookSaysItWasNotSentAndWhereTheFileIs) {
    ui::MailComposeViewController::setHandoffForTesting([](const ui::OutboxMessage&) { return false; });
    launch();
    addDay(1, 1, 2, {5, 6, 4, 4, 7, 0, 0, 0, 0}, "Mon 2026 11 30 18:00:00.000");
    ASSERT_TRUE(openExport());
    tap("Email Log File");
    auto mail = composer();
    ASSERT_TRUE(mail);
    tap("Send");
    const std::string path = mail->lastWrittenPath();
    ASSERT_TRUE(fs::exists(path));
    EXPECT_EQ(fs::path(path).extension(), ".eml");
    auto a = alert();
    ASSERT_TRUE(a);
    EXPECT_EQ(a->title(), "Email");
    EXPECT_EQ(a->message(), "The email was not sent: no mail program took it. It is saved as " + path);
    shot("export-saved-not-sent");
    tap("Close");
    EXPECT_FALSE(alert());
    EXPECT_FALSE(composer());
}

TEST_F(ExportTest, AnEmptyLogExportsTheHeaderOnly) {
    launch();
    ASSERT_TRUE(openExport());
    tap("Email Log File");
    EXPECT_EQ(readFile(csvPath()),
              "Date, Week, Day, Level, Rep 1, Rep 2, Rep 3, Rep 4, Rep 5, Rep 6, Rep 7, Rep 8, Rep 9 \n");
    ASSERT_TRUE(composer());
    EXPECT_EQ(composer()->attachments().size(), 1u);
}

TEST_F(ExportTest, AnOutboxThatCannotBeWrittenIsNamedAndOpensNoComposer) {
    launch();
    addDay(1, 1, 2, {5, 6, 4, 4, 7, 0, 0, 0, 0}, "Mon 2026 11 30 18:00:00.000");
    // The outbox cannot be made: a file stands where its folder would be.
    {
        std::ofstream block(fs::path(tempHome.dataHome()) / "tolvek" / "Outbox");
        block << "x";
    }
    ASSERT_FALSE(ui::MailComposeViewController::canSendMail());
    ASSERT_TRUE(openExport());
    tap("Email Log File");
    auto a = alert();
    ASSERT_TRUE(a);
    EXPECT_EQ(a->title(), "Error");
    const std::string outbox = ui::MailComposeViewController::outboxDirectory();
    EXPECT_EQ(a->message().rfind("The log file could not be written, so it cannot be mailed: ", 0), 0u) << a->message();
    EXPECT_NE(a->message().find(outbox), std::string::npos) << a->message();
    shot("export-no-mail");
    EXPECT_FALSE(composer());
    EXPECT_FALSE(fs::exists(csvPath()));
    tap("Ok");
    EXPECT_FALSE(alert());
}

TEST_F(ExportTest, AFailedWriteIsReportedAndTheMailStillGetsTheNewText) {
    launch();
    addDay(2, 3, 1, {9, 11, 8, 8, 11, 0, 0, 0, 0}, "Fri 2026 12 04 18:00:00.000");
    // log.csv cannot be written: a folder stands in its place.
    fs::create_directories(csvPath());
    ASSERT_TRUE(openExport());
    tap("Email Log File");
    auto a = alert();
    ASSERT_TRUE(a);
    EXPECT_EQ(a->title(), "Error");
    EXPECT_NE(a->message().find("log.csv"), std::string::npos);
    shot("export-write-failed");
    tap("Ok");
    auto mail = composer();
    ASSERT_TRUE(mail);
    ASSERT_EQ(mail->attachments().size(), 1u);
    const auto& bytes = mail->attachments()[0].data;
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              ExportViewController::kHeader +
                  std::string("Fri 2026 12 04 18:00:00.000, 2, 3, 1, 9, 11, 8, 8, 11, 0, 0, 0, 0 \n"));
}

}  // namespace
