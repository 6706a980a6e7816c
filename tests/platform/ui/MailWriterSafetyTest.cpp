// The mail writer and the hand-over to the desktop's mail program under bad
// input: invalid UTF-8, very long header text, line breaks in attachment
// fields, recipients that look like options, an empty PATH entry.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "TestEnvironment.h"
#include "platform/base/Digest.h"
#include "platform/base/RunLoop.h"
#include "platform/ui/DeviceProcess.h"
#include "platform/ui/MailComposeViewController.h"

using namespace ui;

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t e = text.find("\r\n", start);
        if (e == std::string::npos) e = text.size();
        out.push_back(text.substr(start, e - start));
        start = e + 2;
    }
    return out;
}

std::string headerBlock(const std::string& message) { return message.substr(0, message.find("\r\n\r\n")); }

// The decoded text of a header's encoded words (or the header as it is).
std::string unfoldedSubject(const std::string& message) {
    std::string head = headerBlock(message);
    std::size_t at = head.find("\r\nSubject: ");
    std::size_t end = head.find("\r\n", at + 2);
    while (end != std::string::npos && end + 2 < head.size() && head[end + 2] == ' ') end = head.find("\r\n", end + 2);
    std::string value = head.substr(at + 11, (end == std::string::npos ? head.size() : end) - at - 11);
    if (value.rfind("=?UTF-8?B?", 0) != 0) {
        std::string plain;
        for (std::size_t i = 0; i < value.size(); ++i)
            if (!(value[i] == '\r' && i + 1 < value.size() && value[i + 1] == '\n')) plain += value[i];
            else ++i;
        return plain;
    }
    std::string joined;
    std::size_t pos = 0;
    while ((pos = value.find("=?UTF-8?B?", pos)) != std::string::npos) {
        std::size_t e = value.find("?=", pos + 10);
        auto d = base::base64Decode(value.substr(pos + 10, e - pos - 10));
        if (d) joined.append(d->begin(), d->end());
        pos = e + 2;
    }
    return joined;
}

TEST(MailWriterSafetyTest, InvalidUTF8InTheSubjectIsEncodedAndTheWriterEnds) {
    // "A" and sixty 0x80 bytes used to make the encoder loop without end.
    MailComposeViewController mail;
    mail.setSubject("A" + std::string(60, '\x80'));
    mail.setToRecipients({"x\xFF@example.org"});
    std::string text = mail.messageText(1800000000);
    std::string expected = "A";
    for (int i = 0; i < 60; ++i) expected += "\xEF\xBF\xBD";
    EXPECT_EQ(unfoldedSubject(text), expected);
    EXPECT_LT(text.size(), 4000u);
}

TEST(MailWriterSafetyTest, LongHeaderLinesAreFolded) {
    MailComposeViewController mail;
    std::string words;
    for (int i = 0; i < 300; ++i) words += (i ? " " : "") + std::string("word") + std::to_string(i);
    mail.setSubject(words);
    std::vector<std::string> many;
    for (int i = 0; i < 100; ++i) many.push_back("reader" + std::to_string(i) + "@example.org");
    mail.setToRecipients(many);
    std::string text = mail.messageText(1800000000);
    for (const auto& line : lines(headerBlock(text))) EXPECT_LE(line.size(), 78u) << line;
    EXPECT_EQ(unfoldedSubject(text), words);  // unfolding gives the text back

    // A single word too long to fold goes as encoded words instead.
    MailComposeViewController one;
    one.setSubject(std::string(2000, 'x'));
    std::string t = one.messageText(1800000000);
    for (const auto& line : lines(headerBlock(t))) EXPECT_LE(line.size(), 998u);
    EXPECT_EQ(unfoldedSubject(t), std::string(2000, 'x'));
}

TEST(MailWriterSafetyTest, LineBreaksInAttachmentFieldsDoNotReachTheMessage) {
    MailComposeViewController mail;
    mail.addAttachmentData(base::Data{1, 2, 3}, "text/csv\r\nX-Injected: type", "log\r\nX-Injected: name.csv");
    std::string text = mail.messageText(1800000000);
    for (const auto& line : lines(text)) EXPECT_NE(line.rfind("X-Injected", 0), 0u) << line;
    EXPECT_EQ(text.find("X-Injected: type"), std::string::npos);  // the type is not copied at all
    EXPECT_NE(text.find("Content-Type: application/octet-stream; name=\"logX-Injected: name.csv\""), std::string::npos);
    MailComposeViewController fine;
    fine.addAttachmentData(base::Data{1}, "application/csv", "log.csv");
    EXPECT_NE(fine.messageText(1800000000).find("Content-Type: application/csv; name=\"log.csv\""), std::string::npos);
}

// The value of a header, unfolded (names compared as written).
std::string headerValue(const std::string& message, const std::string& name) {
    std::string head = "\r\n" + headerBlock(message);
    std::size_t at = head.find("\r\n" + name + ": ");
    if (at == std::string::npos) return {};
    std::string value;
    for (std::size_t i = at + name.size() + 4; i < head.size(); ++i) {
        if (head.compare(i, 2, "\r\n") == 0) {
            if (i + 2 >= head.size() || head[i + 2] != ' ') break;
            ++i;
            continue;
        }
        value += head[i];
    }
    return value;
}

TEST(MailWriterSafetyTest, ANameThatIsNotPlainIsEncodedApartFromItsAddress) {
    MailComposeViewController mail;
    mail.setToRecipients({"J\xC3\xB6rg M\xC3\xBCller <j@example.de>", "\"Doe, John\" <jd@x.io>",
                          "Doe, Jane <jane@x.io>", "=?UTF-8?B?SGk=?= <h@x.io>", "plain@x.io"});
    const std::string text = mail.messageText(1800000000);
    // Before, the whole "name <address>" went as one encoded word: a reader
    // found no address in it.
    EXPECT_EQ(headerValue(text, "To"),
              "=?UTF-8?B?SsO2cmcgTcO8bGxlcg==?= <j@example.de>, \"Doe, John\" <jd@x.io>, \"Doe, Jane\" <jane@x.io>, "
              "=?UTF-8?B?PT9VVEYtOD9CP1NHaz0/PQ==?= <h@x.io>, plain@x.io");
    for (const auto& line : lines(headerBlock(text))) EXPECT_LE(line.size(), 78u) << line;
}

TEST(MailWriterSafetyTest, SubjectTextAReaderWouldChangeIsEncoded) {
    // Text that reads as an encoded word, blanks at an end (a reader drops
    // them) and control characters all go encoded; plain text as it is.
    for (const std::string subject : {"=?UTF-8?B?SGk=?=", "  two blanks first", "ends in a blank ", "bell\x07"}) {
        MailComposeViewController mail;
        mail.setSubject(subject);
        const std::string text = mail.messageText(1800000000);
        EXPECT_EQ(headerValue(text, "Subject").rfind("=?UTF-8?B?", 0), 0u) << subject;
        EXPECT_EQ(unfoldedSubject(text), subject);
    }
    MailComposeViewController plain;
    plain.setSubject("Today: 50 push-ups (a record)");
    EXPECT_EQ(headerValue(plain.messageText(1800000000), "Subject"), "Today: 50 push-ups (a record)");
}

TEST(MailWriterSafetyTest, AttachmentNamesGoExactlyAndAPlainBodyEndsAsItDoes) {
    MailComposeViewController mail;
    mail.setMessageBody("no line break at the end", false);
    EXPECT_TRUE(mail.messageText(1800000000).ends_with("\r\n\r\nno line break at the end"));

    mail.addAttachmentData(base::Data{1}, "text/csv; name=other; charset=utf-8;", "J\xC3\xB6rg's log.csv");
    mail.addAttachmentData(base::Data{2}, "text/csv", std::string(100, 'x') + ".csv");
    mail.addAttachmentData(base::Data{3}, "text/csv", "=?UTF-8?B?SGk=?=.csv");
    const std::string text = mail.messageText(1800000000);
    // One file name per disposition (a reader took the first of two), in
    // RFC 2231 form where it is not plain, in sections when long; the type
    // keeps its own parameters but a name of its own.
    EXPECT_NE(text.find("Content-Type: text/csv; charset=utf-8; name=\"J__rg's log.csv\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("Content-Disposition: attachment; filename*=UTF-8''J%C3%B6rg%27s%20log.csv\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("Content-Type: text/csv;\r\n name*0*=UTF-8''" + std::string(50, 'x')), std::string::npos);
    EXPECT_NE(text.find(" filename*0*=UTF-8''" + std::string(50, 'x') + ";\r\n filename*1*=" + std::string(50, 'x') +
                        ";\r\n filename*2*=.csv\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("name=\"=_UTF-8?B?SGk=_=.csv\""), std::string::npos);
    EXPECT_EQ(text.find("name=other"), std::string::npos);
    EXPECT_EQ(text.find("filename=\"=?"), std::string::npos);
    for (const auto& line : lines(text)) EXPECT_LE(line.size(), 78u) << line;
}

class DesktopHandoffTest : public ::testing::Test {
protected:
    void SetUp() override {
        bin_ = home_.path() + "/bin";
        std::filesystem::create_directories(bin_);
        record_ = home_.path() + "/argv";
        // A stand-in for the desktop's mail program: it records its arguments.
        std::ofstream(bin_ + "/xdg-email") << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > " << record_
                                           << ".part\nmv " << record_ << ".part " << record_ << "\n";
        ::chmod((bin_ + "/xdg-email").c_str(), 0755);
        const char* path = std::getenv("PATH");
        oldPath_ = path ? path : "";
        ::setenv("PATH", (bin_ + ":" + oldPath_).c_str(), 1);
        MailComposeViewController::resetHandoffForTesting();
    }
    void TearDown() override {
        ::setenv("PATH", oldPath_.c_str(), 1);
        MailComposeViewController::resetHandoffForTesting();
    }
    // What the stand-in recorded, once it has (for at most a minute).
    std::string recorded() {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!std::filesystem::exists(record_) && std::chrono::steady_clock::now() < limit)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ifstream in(record_);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    test::TempHome home_;
    std::string bin_, record_, oldPath_;
};

TEST_F(DesktopHandoffTest, RecipientsCannotBeReadAsOptions) {
    auto mail = std::make_shared<MailComposeViewController>();
    mail->setToRecipients({"--help", "coach@example.org"});
    mail->setSubject("Log");
    mail->send();
    std::string argv = recorded();
    EXPECT_EQ(argv.find("\n--help\n"), std::string::npos);
    EXPECT_NE(argv.find("mailto:--help,coach@example.org"), std::string::npos);
    EXPECT_EQ(mailtoURI({"a b@x.org", "c?d@y.org"}), "mailto:a%20b@x.org,c%3Fd@y.org");
}

TEST_F(DesktopHandoffTest, AMailProgramThatExitsWithAFailureHasNotSentTheMessage) {
    std::ofstream(bin_ + "/xdg-email", std::ios::trunc) << "#!/bin/sh\nexit 3\n";
    // However long the program takes to end, it ends within this patience:
    // the outcome is its failure, never "still running".
    MailComposeViewController::setMailProgramPatienceForTesting(600);
    struct Recorder : MailComposeViewControllerDelegate {
        void didFinishWithResult(MailComposeViewController&, MailComposeResult result,
                                 const std::optional<net::Error>&) override {
            results.push_back(result);
        }
        std::vector<MailComposeResult> results;
    };
    auto recorder = std::make_shared<Recorder>();
    auto mail = std::make_shared<MailComposeViewController>();
    mail->setMailComposeDelegate(recorder);
    mail->setToRecipients({"coach@example.org"});
    mail->send();
    EXPECT_TRUE(mail->isSending());
    mail->send();  // waits: no second message
    ASSERT_TRUE(base::RunLoop::main().runUntil([&] { return !recorder->results.empty(); }, 60));
    EXPECT_EQ(recorder->results, std::vector<MailComposeResult>{MailComposeResult::Saved});
    EXPECT_FALSE(mail->isSending());
    EXPECT_TRUE(std::filesystem::exists(mail->lastWrittenPath()));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(MailComposeViewController::outboxDirectory()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(DesktopHandoffTest, AnEmptyPathEntryIsNotTheCurrentFolder) {
    std::string here = home_.path() + "/here";
    std::filesystem::create_directories(here);
    std::ofstream(here + "/tolvek-test-helper") << "#!/bin/sh\nexit 0\n";
    ::chmod((here + "/tolvek-test-helper").c_str(), 0755);
    auto old = std::filesystem::current_path();
    std::filesystem::current_path(here);
    ::setenv("PATH", ("/nonexistent::" + bin_).c_str(), 1);
    auto found = process::findProgram("tolvek-test-helper");
    std::filesystem::current_path(old);
    EXPECT_FALSE(found.has_value());
}

}  // namespace
