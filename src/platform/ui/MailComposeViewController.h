#pragma once
// The mail composer: a compose screen (To, Cc, Subject and the body, all
// visible and editable, with Send and Cancel) inside its own navigation
// controller, presented modally. Send writes the message as an RFC 5322
// file (multipart/mixed with base64 parts when there are attachments) into
// $XDG_DATA_HOME/tolvek/Outbox/ and hands it to the desktop's mail program
// where there is one (xdg-email, started without a shell). Cancel offers to
// delete the draft or save it into Outbox/Drafts/. The delegate hears the
// result: cancelled, saved, sent, or failed with the error. A message that
// no mail program took (none is installed, or it exited with a failure)
// stays only in the outbox: its result is saved, not sent (lastWrittenPath()
// tells where it is). A mail program still running after a while shows the
// message to the user: the result is sent, lastHandoff() tells that it was
// only handed on, and should the program end with a failure later, the
// composer says so in an alert with where the message is saved. The mail
// program's exit is awaited off the main thread; the result follows on the
// main run loop.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/Value.h"
#include "platform/net/Error.h"
#include "platform/ui/NavigationController.h"

namespace ui {

class MailComposeViewController;
class MailComposeScreen;

enum class MailComposeResult { Cancelled = 0, Saved = 1, Sent = 2, Failed = 3 };

inline constexpr const char* MailComposeErrorDomain = "MFMailComposeErrorDomain";

class MailComposeViewControllerDelegate {
public:
    virtual ~MailComposeViewControllerDelegate() = default;
    virtual void didFinishWithResult(MailComposeViewController& controller, MailComposeResult result,
                                     const std::optional<net::Error>& error) {
        (void)controller, (void)result, (void)error;
    }
};

// What became of a message handed to the desktop's mail program.
enum class MailHandoff {
    Taken,     // it ended with success: it took the message
    Opened,    // it is still running (it shows the message): whether the message goes out is not known yet
    NotTaken,  // none is installed, it could not start, or it ended with a failure
};

struct MailAttachment {
    base::Data data;
    std::string mimeType;
    std::string fileName;
};

// The recipients as one mailto URI ("mailto:a@b,c@d", percent-encoded), the
// form in which they are handed to the desktop's mail program.
std::string mailtoURI(const std::vector<std::string>& addresses);

// A message written to the outbox, as handed to the desktop's mail program.
struct OutboxMessage {
    std::string path;  // the .eml file
    std::vector<std::string> to, cc, bcc;
    std::string subject;
    std::string plainBody;                     // the body as plain text
    std::vector<std::string> attachmentPaths;  // each attachment as a file of its own
};

class MailComposeViewController : public NavigationController {
public:
    MailComposeViewController();
    ~MailComposeViewController() override;

    // YES when the outbox folder exists or can be made, and can be written.
    static bool canSendMail();
    // The same; when not, problem says which folder cannot be made or
    // written, and why.
    static bool canSendMail(std::string* problem);
    // The outbox folder ($XDG_DATA_HOME/tolvek/Outbox).
    static std::string outboxDirectory();

    std::shared_ptr<MailComposeViewControllerDelegate> mailComposeDelegate() const { return delegate_.lock(); }
    void setMailComposeDelegate(std::weak_ptr<MailComposeViewControllerDelegate> delegate) {
        delegate_ = std::move(delegate);
    }

    void setToRecipients(std::vector<std::string> recipients);
    void setCcRecipients(std::vector<std::string> recipients);
    void setBccRecipients(std::vector<std::string> recipients);
    void setSubject(std::string subject);
    void setMessageBody(std::string body, bool isHTML);
    void addAttachmentData(base::Data data, std::string mimeType, std::string fileName);

    // What the message holds now (with the user's edits on screen).
    std::vector<std::string> toRecipients() const;
    std::vector<std::string> ccRecipients() const;
    const std::vector<std::string>& bccRecipients() const { return bcc_; }
    std::string subject() const;
    std::string messageBody() const;
    bool isBodyHTML() const { return html_; }
    const std::vector<MailAttachment>& attachments() const { return attachments_; }

    // The actions of the screen's buttons.
    void send();
    void cancel();  // asks: delete or save the draft
    void saveDraft();
    void deleteDraft();

    // The message as RFC 5322 text, dated date.
    std::string messageText(double date) const;
    // The file of the last message written (sent or saved), if any.
    const std::string& lastWrittenPath() const { return lastPath_; }
    // Whether that file is a draft the user chose to save (Outbox/Drafts/),
    // rather than a message to go out.
    bool lastWrittenIsDraft() const { return lastIsDraft_; }

    // How a written message reaches the desktop's mail program. The default
    // starts xdg-email (when it is installed) with the message's fields and
    // its attachments, and tells whether it took the message once it has
    // exited (status 0), or that it opened it once it has run
    // kMailProgramPatience seconds (or the patience a test sets) without
    // ending, and then once more how it ended; tests replace it. done is
    // called on the main run loop.
    static constexpr double kMailProgramPatience = 10;
    static void setMailProgramPatienceForTesting(double seconds);
    using HandoffDone = std::function<void(MailHandoff outcome)>;
    using AsyncHandoff = std::function<void(const OutboxMessage& message, HandoffDone done)>;
    static void setAsyncHandoffForTesting(AsyncHandoff handoff);
    // A replacement that answers at once whether it was handed on.
    using Handoff = std::function<bool(const OutboxMessage& message)>;
    static void setHandoffForTesting(Handoff handoff);
    // Back to xdg-email, with the usual patience.
    static void resetHandoffForTesting();
    // A sent message waits for the mail program's answer.
    bool isSending() const { return sending_; }
    // What the mail program has made of the last message sent, as known so far.
    MailHandoff lastHandoff() const { return lastHandoff_; }

    void loadView() override;

private:
    friend class MailComposeScreen;
    void finish(MailComposeResult result, std::optional<net::Error> error);
    void handedOff(MailHandoff outcome);
    bool write(const std::string& folder, std::string* path, std::optional<net::Error>* error) const;
    void pullFromScreen() const;

    std::weak_ptr<MailComposeViewControllerDelegate> delegate_;
    std::shared_ptr<MailComposeScreen> screen_;
    mutable std::vector<std::string> to_, cc_;
    std::vector<std::string> bcc_;
    mutable std::string subject_, body_;
    bool html_ = false;
    std::vector<MailAttachment> attachments_;
    std::string lastPath_;
    bool lastIsDraft_ = false;
    bool finished_ = false;
    bool sending_ = false;
    MailHandoff lastHandoff_ = MailHandoff::NotTaken;
};

}  // namespace ui
