#include "DeviceTestSupport.h"
#include "platform/base/Digest.h"
#include "platform/ui/MailComposeViewController.h"
#include "platform/ui/MessageComposeViewController.h"

using namespace ui;
using devicetest::filesIn;
using devicetest::readFile;

namespace {

class MailRecorder : public MailComposeViewControllerDelegate {
public:
    void didFinishWithResult(MailComposeViewController& c, MailComposeResult result,
                             const std::optional<net::Error>& error) override {
        results.push_back(result);
        errors.push_back(error);
        if (result != MailComposeResult::Failed) c.dismissModalViewControllerAnimated(false);
    }
    std::vector<MailComposeResult> results;
    std::vector<std::optional<net::Error>> errors;
};

// One MIME part: its headers (names lowercased) and its body.
struct Part {
    std::map<std::string, std::string> headers;
    std::string body;
};

Part splitPart(const std::string& text) {
    Part p;
    std::size_t end = text.find("\r\n\r\n");
    std::string head = text.substr(0, end);
    p.body = end == std::string::npos ? std::string() : text.substr(end + 4);
    std::string last;
    std::size_t start = 0;
    while (start < head.size()) {
        std::size_t e = head.find("\r\n", start);
        if (e == std::string::npos) e = head.size();
        std::string line = head.substr(start, e - start);
        if (!line.empty() && (line[0] == ' ' || line[0] == '\t')) {
            p.headers[last] += line;
        } else if (auto colon = line.find(':'); colon != std::string::npos) {
            last = line.substr(0, colon);
            for (auto& c : last) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            p.headers[last] = line.substr(colon + 2);
        }
        start = e + 2;
    }
    return p;
}

std::vector<Part> multipartParts(const Part& message) {
    std::string type = message.headers.at("content-type");
    auto b = type.find("boundary=\"");
    std::string boundary = "--" + type.substr(b + 10, type.find('"', b + 10) - b - 10);
    std::vector<Part> parts;
    std::size_t pos = message.body.find(boundary);
    while (pos != std::string::npos) {
        std::size_t start = pos + boundary.size();
        if (message.body.compare(start, 2, "--") == 0) break;
        start += 2;
        std::size_t next = message.body.find("\r\n" + boundary, start);
        parts.push_back(splitPart(message.body.substr(start, next - start)));
        pos = next == std::string::npos ? next : next + 2;
    }
    return parts;
}

std::string decoded(const Part& p) {
    auto d = base::base64Decode(p.body);
    return d ? std::string(d->begin(), d->end()) : std::string();
}

class DeviceMailTest : public devicetest::DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        MailComposeViewController::setHandoffForTesting([this](const OutboxMessage& m) {
            handed_.push_back(m);
            return true;
        });
    }
    void TearDown() override {
        MailComposeViewController::resetHandoffForTesting();
        DeviceTest::TearDown();
    }
    std::string outbox() const { return tempHome_.dataHome() + "/tolvek/Outbox"; }
    std::shared_ptr<MailComposeViewController> exportMail() {
        auto mail = std::make_shared<MailComposeViewController>();
        mail->setMailComposeDelegate(recorder_);
        mail->setSubject("Log File");
        mail->setMessageBody("Attached: Log File", true);
        mail->addAttachmentData(csv_, "application/csv", "log.csv");
        return mail;
    }
    base::Data csv_ = [] {
        std::string text = "Date,Week,Day,Level,Total\n2026-12-01,1,1,2,57\n";
        base::Data d(text.begin(), text.end());
        for (int i = 0; i < 256; ++i) d.push_back(static_cast<std::uint8_t>(i));  // every byte value
        return d;
    }();
    std::shared_ptr<MailRecorder> recorder_ = std::make_shared<MailRecorder>();
    std::vector<OutboxMessage> handed_;
};

TEST_F(DeviceMailTest, SendWritesAMessageWhoseAttachmentDecodesToTheSameBytes) {
    EXPECT_TRUE(MailComposeViewController::canSendMail());
    auto mail = exportMail();
    mail->setToRecipients({"coach@example.org"});
    present(mail);
    EXPECT_TRUE(app().isTextVisible("Log File"));
    EXPECT_TRUE(app().isTextVisible("Attached: log.csv"));
    EXPECT_TRUE(app().isTextVisible("coach@example.org"));
    shoot("mail-compose");
    ASSERT_TRUE(tapNamed("Send"));
    ASSERT_EQ(recorder_->results, std::vector<MailComposeResult>{MailComposeResult::Sent});
    EXPECT_FALSE(recorder_->errors[0].has_value());

    auto files = filesIn(outbox());
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].substr(files[0].size() - 4), ".eml");
    EXPECT_EQ(files[0], mail->lastWrittenPath());
    Part message = splitPart(readFile(files[0]));
    EXPECT_EQ(message.headers["subject"], "Log File");
    EXPECT_EQ(message.headers["to"], "coach@example.org");
    EXPECT_EQ(message.headers["mime-version"], "1.0");
    EXPECT_FALSE(message.headers["date"].empty());
    EXPECT_FALSE(message.headers["from"].empty());
    EXPECT_EQ(message.headers["content-type"].rfind("multipart/mixed;", 0), 0u);
    auto parts = multipartParts(message);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0].headers["content-type"], "text/html; charset=UTF-8");
    EXPECT_EQ(parts[0].body, "Attached: Log File");
    EXPECT_EQ(parts[1].headers["content-type"], "application/csv; name=\"log.csv\"");
    EXPECT_EQ(parts[1].headers["content-transfer-encoding"], "base64");
    EXPECT_EQ(parts[1].headers["content-disposition"], "attachment; filename=\"log.csv\"");
    std::string bytes = decoded(parts[1]);
    EXPECT_EQ(base::Data(bytes.begin(), bytes.end()), csv_);

    // The desktop's mail program gets the message and the attachment as a file.
    ASSERT_EQ(handed_.size(), 1u);
    EXPECT_EQ(handed_[0].path, files[0]);
    EXPECT_EQ(handed_[0].subject, "Log File");
    EXPECT_EQ(handed_[0].plainBody, "Attached: Log File");
    ASSERT_EQ(handed_[0].attachmentPaths.size(), 1u);
    std::string copy = readFile(handed_[0].attachmentPaths[0]);
    EXPECT_EQ(base::Data(copy.begin(), copy.end()), csv_);
}

TEST_F(DeviceMailTest, WhatTheUserTypesIsWhatIsSentAndHeadersCannotBeInjected) {
    auto mail = std::make_shared<MailComposeViewController>();
    mail->setMailComposeDelegate(recorder_);
    mail->setSubject("Feedback for Tolvek\r\nBcc: victim@example.org");
    mail->setMessageBody("<Type Feedback here>", false);
    present(mail);
    ASSERT_TRUE(tapNamed("To"));
    app().typeText("a@example.org, b@example.org");
    ASSERT_TRUE(tapNamed("Message"));
    app().typeText(" Grüße");
    ASSERT_TRUE(tapNamed("Send"));
    ASSERT_EQ(recorder_->results.size(), 1u);
    Part message = splitPart(readFile(mail->lastWrittenPath()));
    EXPECT_EQ(message.headers["to"], "a@example.org, b@example.org");
    EXPECT_EQ(message.headers.count("bcc"), 0u);
    EXPECT_EQ(message.headers["subject"], "Feedback for Tolvek  Bcc: victim@example.org");
    // Not plain ASCII: the body goes as base64 UTF-8, as typed.
    EXPECT_EQ(message.headers["content-type"], "text/plain; charset=UTF-8");
    EXPECT_EQ(message.headers["content-transfer-encoding"], "base64");
    EXPECT_EQ(decoded(message), "<Type Feedback here> Grüße");
    EXPECT_EQ(mail->toRecipients(), (std::vector<std::string>{"a@example.org", "b@example.org"}));
}

TEST_F(DeviceMailTest, ASubjectBeyondASCIIIsEncodedAndReadsBack) {
    auto mail = std::make_shared<MailComposeViewController>();
    mail->setSubject("Übungen für heute");
    std::string text = mail->messageText(1800000000);
    Part message = splitPart(text);
    std::string subject = message.headers["subject"];
    ASSERT_EQ(subject.rfind("=?UTF-8?B?", 0), 0u);
    std::string joined;
    std::size_t pos = 0;
    while ((pos = subject.find("=?UTF-8?B?", pos)) != std::string::npos) {
        std::size_t end = subject.find("?=", pos + 10);
        auto d = base::base64Decode(subject.substr(pos + 10, end - pos - 10));
        ASSERT_TRUE(d);
        joined.append(d->begin(), d->end());
        pos = end + 2;
    }
    EXPECT_EQ(joined, "Übungen für heute");
    // No bare line feeds anywhere.
    for (std::size_t i = text.find('\n'); i != std::string::npos; i = text.find('\n', i + 1))
        ASSERT_EQ(text[i - 1], '\r');
}

TEST_F(DeviceMailTest, AMessageNoMailProgramTookIsSavedNotSent) {
    MailComposeViewController::setHandoffForTesting(nullptr);
    auto mail = exportMail();
    present(mail);
    ASSERT_TRUE(tapNamed("Send"));
    EXPECT_EQ(recorder_->results, std::vector<MailComposeResult>{MailComposeResult::Saved});
    EXPECT_FALSE(mail->lastWrittenIsDraft());
    auto files = filesIn(outbox());
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0], mail->lastWrittenPath());

    // A mail program that refuses it leaves it saved, not sent, as well.
    MailComposeViewController::setHandoffForTesting([](const OutboxMessage&) { return false; });
    auto refused = exportMail();
    present(refused);
    ASSERT_TRUE(tapNamed("Send"));
    EXPECT_EQ(recorder_->results.back(), MailComposeResult::Saved);
    EXPECT_FALSE(refused->lastWrittenIsDraft());
}

TEST_F(DeviceMailTest, CancelAndDeleteWritesNothingAndReportsCancelled) {
    present(exportMail());
    ASSERT_TRUE(tapNamed("Cancel"));
    EXPECT_TRUE(app().isTextVisible("Save Draft"));
    ASSERT_TRUE(tapNamed("Delete Draft"));
    advance(1);
    EXPECT_EQ(recorder_->results, std::vector<MailComposeResult>{MailComposeResult::Cancelled});
    EXPECT_TRUE(filesIn(outbox()).empty());
    EXPECT_TRUE(filesIn(outbox() + "/Drafts").empty());
    EXPECT_TRUE(handed_.empty());
}

TEST_F(DeviceMailTest, EscapeAsksWhatCancelAsksAndEscapeAgainKeepsTheMessage) {
    window_->setRootViewController(home_);
    present(exportMail());
    app().pressEscape();
    advance(1);
    EXPECT_TRUE(app().isTextVisible("Save Draft"));
    app().pressEscape();
    advance(1);
    EXPECT_EQ(app().frontAlert(), nullptr);
    EXPECT_TRUE(recorder_->results.empty());
    EXPECT_TRUE(app().findElement("Send"));
    EXPECT_TRUE(filesIn(outbox() + "/Drafts").empty());
}

TEST_F(DeviceMailTest, EscapeWhileTheComposerSlidesInBringsNoSheetAndKeepsTheMessage) {
    window_->setRootViewController(home_);
    auto mail = exportMail();
    home_->presentModalViewController(mail, true);
    advance(0.2);
    app().pressEscape();
    advance(1);
    EXPECT_EQ(app().frontAlert(), nullptr);
    EXPECT_FALSE(app().isTextVisible("Save Draft"));
    EXPECT_EQ(home_->modalViewController(), mail);
    EXPECT_TRUE(app().findElement("Send"));
    EXPECT_TRUE(app().isTextVisible("Log File"));
    EXPECT_TRUE(recorder_->results.empty());
    EXPECT_TRUE(filesIn(outbox() + "/Drafts").empty());
    // Pressed with the composer in front, it asks what Cancel asks.
    app().pressEscape();
    advance(1);
    EXPECT_TRUE(app().isTextVisible("Save Draft"));
}

TEST_F(DeviceMailTest, SavingTheDraftKeepsItInDrafts) {
    auto mail = exportMail();
    present(mail);
    ASSERT_TRUE(tapNamed("Cancel"));
    ASSERT_TRUE(tapNamed("Save Draft"));
    advance(1);
    EXPECT_EQ(recorder_->results, std::vector<MailComposeResult>{MailComposeResult::Saved});
    EXPECT_TRUE(mail->lastWrittenIsDraft());
    auto drafts = filesIn(outbox() + "/Drafts");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_TRUE(filesIn(outbox()).empty());
    EXPECT_EQ(splitPart(readFile(drafts[0])).headers["subject"], "Log File");
    EXPECT_TRUE(handed_.empty());
}

TEST_F(DeviceMailTest, AnOutboxThatCannotBeWrittenFailsWithAnErrorAndLeavesNothing) {
    std::filesystem::create_directories(tempHome_.dataHome() + "/tolvek");
    std::ofstream(outbox()) << "in the way";
    EXPECT_FALSE(MailComposeViewController::canSendMail());
    auto mail = exportMail();
    present(mail);
    ASSERT_TRUE(tapNamed("Send"));
    ASSERT_EQ(recorder_->results, std::vector<MailComposeResult>{MailComposeResult::Failed});
    ASSERT_TRUE(recorder_->errors[0].has_value());
    EXPECT_EQ(recorder_->errors[0]->domain(), MailComposeErrorDomain);
    EXPECT_TRUE(app().isTextVisible("Cannot Send Mail"));
    EXPECT_EQ(readFile(outbox()), "in the way");
    EXPECT_EQ(filesIn(tempHome_.dataHome() + "/tolvek").size(), 1u);
    EXPECT_TRUE(handed_.empty());
    // The screen stays with what was typed; once the outbox is free, Send works.
    ASSERT_TRUE(tapNamed("OK"));
    advance(1);
    std::filesystem::remove(outbox());
    ASSERT_TRUE(tapNamed("Send"));
    EXPECT_EQ(recorder_->results.back(), MailComposeResult::Sent);
    EXPECT_EQ(filesIn(outbox()).size(), 1u);
}

TEST_F(DeviceMailTest, TextMessagesCannotBeSentFromHere) {
    EXPECT_FALSE(MessageComposeViewController::canSendText());
    class Recorder : public MessageComposeViewControllerDelegate {
    public:
        void didFinishWithResult(MessageComposeViewController&, MessageComposeResult r) override {
            results.push_back(r);
        }
        std::vector<MessageComposeResult> results;
    };
    auto recorder = std::make_shared<Recorder>();
    auto sms = std::make_shared<MessageComposeViewController>();
    sms->setMessageComposeDelegate(recorder);
    sms->setBody("Today I did a total of 57 pushups");
    present(sms);
    EXPECT_TRUE(app().isTextVisible("Today I did a total of 57 pushups"));
    ASSERT_TRUE(tapNamed("Send"));
    EXPECT_EQ(recorder->results, std::vector<MessageComposeResult>{MessageComposeResult::Failed});
}

}  // namespace
