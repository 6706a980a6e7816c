#include "platform/ui/MailComposeViewController.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/base/Clock.h"
#include "platform/base/Digest.h"
#include "platform/base/FileManager.h"
#include "platform/base/Format.h"
#include "platform/base/Log.h"
#include "platform/base/RunLoop.h"
#include "platform/base/Strings.h"
#include "platform/base/UTF8.h"
#include "platform/gfx/Color.h"
#include "platform/gfx/Font.h"
#include "platform/ui/ComposeButtons.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/DeviceProcess.h"
#include "platform/ui/Label.h"
#include "platform/ui/Palette.h"
#include "platform/ui/TextField.h"

namespace ui {

namespace {

// Header values never carry line breaks (they would start new headers).
std::string oneLine(const std::string& text) {
    std::string out;
    for (char c : text) out += (c == '\r' || c == '\n') ? ' ' : c;
    return out;
}

bool isAscii(const std::string& text) {
    for (unsigned char c : text)
        if (c >= 0x80) return false;
    return true;
}

// Header lines are kept within 78 characters where the text allows (and
// never reach the 998 that mail allows at most).
constexpr std::size_t kFoldAt = 78;

// Plain ASCII text folded at its blanks: a line break goes before a blank
// (which then starts the continuation line), so unfolding gives the text
// back. Nothing when a word is too long to fit on a line of its own.
std::optional<std::string> foldedAtBlanks(const std::string& text, std::size_t used) {
    std::string out;
    std::size_t line = used;
    std::size_t i = 0;
    while (i < text.size()) {
        // One piece: the blanks before a word, and the word.
        std::size_t wordStart = text.find_first_not_of(' ', i);
        if (wordStart == std::string::npos) wordStart = text.size();
        std::size_t end = text.find(' ', wordStart);
        if (end == std::string::npos) end = text.size();
        std::string piece = text.substr(i, end - i);
        if (end - wordStart > kFoldAt - 2) return std::nullopt;
        if (line + piece.size() > kFoldAt && i > 0 && wordStart > i) {
            out += "\r\n";
            line = 0;
        }
        out += piece;
        line += piece.size();
        i = end;
    }
    return out;
}

// Whether text can stand in a header as it is: printable ASCII, blanks and
// tabs, with no blank at either end (a reader drops those) and nothing a
// reader would decode as an encoded word ("=?").
bool isPlainHeaderText(const std::string& text) {
    for (unsigned char c : text)
        if ((c < 0x20 && c != '\t') || c >= 0x7F) return false;
    if (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.back() == ' ' || text.back() == '\t'))
        return false;
    return text.find("=?") == std::string::npos;
}

// Text as RFC 2047 encoded words, one per line: each holds at least one
// whole character, so the encoding always advances.
std::string encodedWords(const std::string& clean) {
    std::string out;
    std::size_t i = 0;
    while (i < clean.size()) {
        std::size_t n = std::min<std::size_t>(42, clean.size() - i);
        // Do not split a character: back off over its continuation bytes.
        for (int back = 0; back < 3 && n > 1 && i + n < clean.size() && base::isUTF8ContinuationByte(clean[i + n]);
             ++back)
            --n;
        if (!out.empty()) out += "\r\n ";
        out += "=?UTF-8?B?" + base::base64Encode(std::string_view(clean).substr(i, n)) + "?=";
        i += n;
    }
    return out;
}

// Unstructured header text: plain text as it is, folded at blanks; other
// text (not ASCII, controls, blanks at an end, a word too long to fold, or
// what reads as an encoded word) as encoded words. Text that is not valid
// UTF-8 is repaired first (each bad byte becomes U+FFFD).
std::string headerText(const std::string& text, std::size_t nameLength = 0) {
    std::string clean = base::validUTF8(oneLine(text));
    if (isPlainHeaderText(clean))
        if (auto folded = foldedAtBlanks(clean, nameLength + 2)) return *folded;
    return encodedWords(clean);
}

// A display name as a phrase: as it is when it is made of words of ordinary
// characters, quoted when it holds specials (",", "<", "." ...), and as
// encoded words when it is not plain ASCII.
std::string phrase(const std::string& name) {
    static const std::string atext = "!#$%&'*+-/=?^_`{|}~ ";
    if (!isPlainHeaderText(name)) return encodedWords(name);
    bool atoms = true;
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && atext.find(c) == std::string::npos) atoms = false;
    if (atoms && name.find("  ") == std::string::npos) return name;
    std::string quoted = "\"";
    for (char c : name) {
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

// One address as given ("a@b", "Name <a@b>", "\"Name, Jr.\" <a@b>") in the
// form a header carries: the name as a phrase, the address in angle
// brackets. Text of another shape goes as it is when it is ASCII, else as
// encoded words.
std::string mailbox(const std::string& text) {
    std::string clean(base::trim(text, " \t"));
    const std::size_t open = clean.rfind('<');
    if (open != std::string::npos && !clean.empty() && clean.back() == '>' &&
        clean.find_first_of("<>\"", open + 1) == clean.size() - 1) {
        std::string address(base::trim(clean.substr(open + 1, clean.size() - open - 2), " \t"));
        std::string name(base::trim(clean.substr(0, open), " \t"));
        // A quoted name is unquoted first.
        if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
            std::string inner;
            for (std::size_t i = 1; i + 1 < name.size(); ++i) {
                if (name[i] == '\\' && i + 2 < name.size()) ++i;
                inner += name[i];
            }
            name = inner;
        }
        if (!address.empty() && isAscii(address)) {
            if (name.empty()) return address;
            return phrase(name) + " <" + address + ">";
        }
    }
    return isAscii(clean) ? clean : encodedWords(clean);
}

// Addresses separated by commas, folded between addresses and, for an
// address too long for its line, between its name and its angle brackets.
// An address too long for any mail header line is left out (no mail
// system takes it).
std::string joinAddresses(const std::vector<std::string>& list, std::size_t nameLength) {
    std::string out;
    std::size_t line = nameLength + 2;
    for (const auto& a : list) {
        std::string clean = base::validUTF8(oneLine(a));
        if (base::trim(clean, " \t").empty()) continue;
        if (clean.size() > 900) {
            base::log("mail: left out an address of " + std::to_string(clean.size()) + " characters");
            continue;
        }
        std::string piece = mailbox(clean);
        const std::size_t firstBreak = piece.find('\n');
        const std::size_t firstLine = firstBreak == std::string::npos ? piece.size() : firstBreak - 1;
        // Room is kept for the comma that follows all but the last.
        if (!out.empty()) {
            out += ",";
            if (line + 2 + firstLine + 1 > kFoldAt) {
                out += "\r\n ";
                line = 1;
            } else {
                out += " ";
                line += 2;
            }
        }
        // A long address breaks before its angle brackets.
        const std::size_t angle = piece.rfind(" <");
        if (firstBreak == std::string::npos && line + piece.size() + 1 > kFoldAt && angle != std::string::npos &&
            angle > 0) {
            piece.replace(angle, 1, "\r\n ");
        }
        out += piece;
        std::size_t lastBreak = piece.rfind('\n');
        line = lastBreak == std::string::npos ? line + piece.size() : piece.size() - lastBreak - 1;
    }
    return out;
}

// A MIME type fit for a Content-Type line: type "/" subtype, and the
// "name=value" parameters given with it that are tokens (a name or file
// name parameter is left out: the attachment's own name is written). A type
// that is not of that form (a line break above all) is sent as
// "application/octet-stream".
std::vector<std::string> safeMimeType(const std::string& type) {
    static const std::string specials = "()<>@,;:\\\"/[]?=";
    auto isToken = [](std::string_view t) {
        if (t.empty()) return false;
        for (unsigned char c : t)
            if (c <= 0x20 || c >= 0x7F || specials.find(static_cast<char>(c)) != std::string::npos) return false;
        return true;
    };
    auto pieces = [](std::string_view t, char sep) {
        std::vector<std::string> out;
        std::size_t start = 0;
        for (;;) {
            const std::size_t at = t.find(sep, start);
            out.emplace_back(base::trim(t.substr(start, at == std::string_view::npos ? at : at - start), " \t"));
            if (at == std::string_view::npos) return out;
            start = at + 1;
        }
    };
    for (unsigned char c : type)
        if (c < 0x20 || c >= 0x7F || c == '"' || c == '\\') return {"application/octet-stream"};
    std::vector<std::string> parts = pieces(type, ';');
    std::size_t slash = parts[0].find('/');
    if (slash == std::string::npos || !isToken(std::string_view(parts[0]).substr(0, slash)) ||
        !isToken(std::string_view(parts[0]).substr(slash + 1)))
        return {"application/octet-stream"};
    std::vector<std::string> out{parts[0]};
    for (std::size_t i = 1; i < parts.size(); ++i) {
        std::size_t eq = parts[i].find('=');
        if (eq == std::string::npos) continue;
        std::string key(base::trim(std::string_view(parts[i]).substr(0, eq), " \t"));
        std::string value(base::trim(std::string_view(parts[i]).substr(eq + 1), " \t"));
        std::string lowered = key;
        for (auto& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (!isToken(key) || !isToken(value) || lowered.rfind("name", 0) == 0 || lowered.rfind("filename", 0) == 0)
            continue;
        key += '=';
        key += value;
        out.push_back(std::move(key));
    }
    return out;
}

// A header of a value and parameters ("type; a=b; c=d"), folded before a
// parameter that would take its line past 78 characters.
std::string withParameters(const std::string& name, const std::vector<std::string>& items) {
    std::string out = name + ": " + items[0];
    std::size_t line = out.size();
    for (std::size_t i = 1; i < items.size(); ++i) {
        if (line + 2 + items[i].size() > kFoldAt) {
            out += ";\r\n " + items[i];
            line = 1 + items[i].size();
        } else {
            out += "; " + items[i];
            line += 2 + items[i].size();
        }
    }
    return out + "\r\n";
}

std::vector<std::string> splitAddresses(const std::string& text) {
    std::vector<std::string> out;
    std::string current;
    auto flush = [&] {
        std::string address = base::trim(current, base::kSpacesAndTabs);
        if (!address.empty()) out.push_back(std::move(address));
        current.clear();
    };
    for (char c : text) {
        if (c == ',' || c == ';' || c == '\n') flush();
        else current += c;
    }
    flush();
    return out;
}

// Line ends as CRLF.
std::string crlf(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

// Text that cannot go as 7bit: not ASCII, a NUL, or a line longer than 76.
bool needsEncoding(const std::string& text) {
    if (!isAscii(text) || text.find('\0') != std::string::npos) return true;
    std::size_t line = 0;
    for (char c : text) {
        if (c == '\n' || c == '\r') line = 0;
        else if (++line > 76) return true;
    }
    return false;
}

// A file name fit for a quoted MIME parameter, for readers that know no
// other form: no quotes, backslashes or controls, "_" for each byte that is
// not ASCII, and nothing a reader would decode as an encoded word ("=?").
std::string quotedName(const std::string& name) {
    std::string out;
    for (char c : name) {
        if (c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) continue;
        out += !isAscii(std::string(1, c)) || (c == '?' && !out.empty() && out.back() == '=') ? '_' : c;
    }
    return out.empty() ? "attachment" : out;
}

// Whether a file name goes as a quoted parameter exactly as it is.
bool isPlainName(const std::string& name) {
    return !name.empty() && name.size() <= 60 && isPlainHeaderText(name) &&
           name.find_first_of("\"\\") == std::string::npos;
}

// key="name" for a plain name, else its RFC 2231 form (UTF-8, percent-
// escaped), in numbered sections of at most 50 characters when long, so
// that every header line stays within 78.
std::vector<std::string> nameParameters(const std::string& key, const std::string& name) {
    if (isPlainName(name)) return {key + "=\"" + name + "\""};
    static const char* hex = "0123456789ABCDEF";
    std::vector<std::string> pieces{""};
    for (unsigned char c : name) {
        std::string one(1, static_cast<char>(c));
        if (!std::isalnum(c) && c != '.' && c != '-' && c != '_') one = std::string{'%', hex[c >> 4], hex[c & 15]};
        if (pieces.back().size() + one.size() > 50) pieces.emplace_back();
        pieces.back() += one;
    }
    if (pieces.size() == 1) return {key + "*=UTF-8''" + pieces[0]};
    std::vector<std::string> out;
    for (std::size_t i = 0; i < pieces.size(); ++i)
        out.push_back(key + "*" + std::to_string(i) + "*=" + (i == 0 ? "UTF-8''" : "") + pieces[i]);
    return out;
}

std::string rfc5322Date(double when) {
    std::time_t t = static_cast<std::time_t>(when);
    std::tm tm{};
    localtime_r(&t, &tm);
    static const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    long offset = tm.tm_gmtoff / 60;
    char sign = offset < 0 ? '-' : '+';
    if (offset < 0) offset = -offset;
    return base::format("%s, %02d %s %04d %02d:%02d:%02d %c%02ld%02ld", days[tm.tm_wday], tm.tm_mday, months[tm.tm_mon],
                        tm.tm_year + 1900, tm.tm_hour, tm.tm_min, tm.tm_sec, sign, offset / 60, offset % 60);
}

std::string fromAddress() {
    if (const char* email = std::getenv("EMAIL"); email && *email) return oneLine(email);
    std::string user = "user";
    if (const char* u = std::getenv("USER"); u && *u) user = u;
    else if (auto* pw = ::getpwuid(::getuid())) user = pw->pw_name;
    return oneLine(user) + "@localhost";
}

// The body's text for a plain-text view: tags dropped, breaks kept.
std::string htmlToText(const std::string& html) {
    std::string out;
    for (std::size_t i = 0; i < html.size(); ++i) {
        if (html[i] == '<') {
            std::size_t end = html.find('>', i);
            if (end == std::string::npos) break;
            std::string tag = html.substr(i + 1, end - i - 1);
            for (auto& c : tag) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (tag.rfind("br", 0) == 0 || tag == "p" || tag == "/p" || tag.rfind("div", 0) == 0) out += '\n';
            i = end;
        } else if (html[i] == '&') {
            static const std::pair<const char*, const char*> entities[] = {
                {"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&nbsp;", " "}};
            bool matched = false;
            for (auto [e, r] : entities) {
                if (html.compare(i, std::strlen(e), e) == 0) {
                    out += r;
                    i += std::strlen(e) - 1;
                    matched = true;
                    break;
                }
            }
            if (!matched) out += '&';
        } else {
            out += html[i];
        }
    }
    return out;
}

MailComposeViewController::AsyncHandoff& handoffSlot();

}  // namespace

std::string mailtoURI(const std::vector<std::string>& addresses) {
    static const char* hex = "0123456789ABCDEF";
    static const std::string plain = "-._~!$'()*+;=@";
    std::string out = "mailto:";
    bool first = true;
    for (const auto& a : addresses) {
        if (a.empty()) continue;
        if (!first) out += ',';
        first = false;
        for (unsigned char c : a) {
            if (std::isalnum(c) || plain.find(static_cast<char>(c)) != std::string::npos) {
                out += static_cast<char>(c);
            } else {
                out += '%';
                out += hex[c >> 4];
                out += hex[c & 15];
            }
        }
    }
    return out;
}

namespace {

double patienceSeconds = MailComposeViewController::kMailProgramPatience;

void desktopHandoff(const OutboxMessage& message, const MailComposeViewController::HandoffDone& done) {
    auto answer = [done](MailHandoff outcome) {
        base::RunLoop::main().performOnMainThread([done, outcome] { done(outcome); });
    };
    if (!process::findProgram("xdg-email")) {
        answer(MailHandoff::NotTaken);
        return;
    }
    std::vector<std::string> argv{"xdg-email", "--utf8"};
    for (const auto& a : message.cc) argv.insert(argv.end(), {"--cc", a});
    for (const auto& a : message.bcc) argv.insert(argv.end(), {"--bcc", a});
    if (!message.subject.empty()) argv.insert(argv.end(), {"--subject", message.subject});
    if (!message.plainBody.empty()) argv.insert(argv.end(), {"--body", message.plainBody});
    for (const auto& p : message.attachmentPaths) argv.insert(argv.end(), {"--attach", p});
    if (!message.to.empty()) argv.push_back(mailtoURI(message.to));
    // A mail program that fails says so by its exit status; one that is
    // still running after a while has opened the message for the user, and
    // its exit, whenever it comes, is told as well.
    process::spawnWatched(argv, patienceSeconds, [answer](process::ProgramEnd end) {
        if (end == process::ProgramEnd::Failed) base::log("the mail program did not take the message");
        answer(end == process::ProgramEnd::Succeeded      ? MailHandoff::Taken
               : end == process::ProgramEnd::StillRunning ? MailHandoff::Opened
                                                          : MailHandoff::NotTaken);
    });
}

// Tells the user that the mail program, which had the message open, ended
// with a failure, and where the message is kept.
void tellMailProgramFailed(const std::string& path) {
    base::log("the mail program ended with a failure after showing the message; it stays in the outbox: " + path);
    auto alert = std::make_shared<AlertView>(
        "Email Not Sent",
        "Your mail program ended with a failure, so the email may not have gone out. It is saved as " + path,
        std::weak_ptr<AlertViewDelegate>(), std::string("OK"));
    alert->show();
}

MailComposeViewController::AsyncHandoff& handoffSlot() {
    static MailComposeViewController::AsyncHandoff handoff = desktopHandoff;
    return handoff;
}

class SheetAnswer : public ActionSheetDelegate {
public:
    explicit SheetAnswer(std::function<void(int)> answer) : answer_(std::move(answer)) {}
    void clickedButtonAtIndex(ActionSheet&, int index) override { answer_(index); }

private:
    std::function<void(int)> answer_;
};

}  // namespace

// The compose screen itself.
class MailComposeScreen : public ViewController {
public:
    explicit MailComposeScreen(MailComposeViewController& owner) : owner_(owner) {}

    void loadView() override {
        auto view = std::make_shared<View>(Rect(0, 0, 320, 416));
        view->setBackgroundColor(gfx::Color::white());
        view->setAutoresizingMask(Autoresizing::FlexibleWidth | Autoresizing::FlexibleHeight);
        Float y = 0;
        auto row = [&](const std::string& caption, std::shared_ptr<TextField>& field, const std::string& label) {
            auto name = std::make_shared<Label>(Rect(8, y, 64, 40));
            name->setText(caption);
            name->setFont(gfx::Font::systemFont(15));
            name->setTextColor(gfx::Color::gray(0.5));
            name->setBackgroundColor(gfx::Color::clear());
            view->addSubview(name);
            field = std::make_shared<TextField>(Rect(72, y + 6, 240, 28));
            field->setFont(gfx::Font::systemFont(15));
            field->setAccessibilityLabel(label);
            field->setAutocapitalizationType(TextAutocapitalizationType::None);
            view->addSubview(field);
            auto rule = std::make_shared<View>(Rect(0, y + 40, 320, 1));
            rule->setBackgroundColor(gfx::Color::gray(0.8));
            view->addSubview(rule);
            y += 41;
        };
        row("To:", to, "To");
        to->setKeyboardType(KeyboardType::EmailAddress);
        row("Cc:", cc, "Cc");
        cc->setKeyboardType(KeyboardType::EmailAddress);
        row("Subject:", subject, "Subject");
        subject->setAutocapitalizationType(TextAutocapitalizationType::Sentences);
        body = std::make_shared<TextView>(Rect(4, y + 4, 312, 416 - y - 8));
        body->setFont(gfx::Font::systemFont(15));
        body->setAccessibilityLabel("Message");
        body->setAutoresizingMask(Autoresizing::FlexibleWidth | Autoresizing::FlexibleHeight);
        view->addSubview(body);
        y += 4;
        // Attachments are listed under the fields so the user sees them go.
        if (!owner_.attachments().empty()) {
            std::string names;
            for (const auto& a : owner_.attachments()) names += (names.empty() ? "" : ", ") + a.fileName;
            attachments = std::make_shared<Label>(Rect(8, 416 - 30, 304, 24));
            attachments->setText("Attached: " + names);
            attachments->setFont(gfx::Font::systemFont(13));
            attachments->setTextColor(palette::attachmentInk());
            attachments->setBackgroundColor(gfx::Color::gray(0.95));
            attachments->setAutoresizingMask(Autoresizing::FlexibleWidth | Autoresizing::FlexibleTopMargin);
            body->setFrame(Rect(4, y, 312, 416 - y - 36));
            view->addSubview(attachments);
        }
        setView(view);
    }

    void viewDidLoad() override {
        to->setText(joinList(owner_.to_));
        cc->setText(joinList(owner_.cc_));
        subject->setText(owner_.subject_);
        shownBody = owner_.html_ ? htmlToText(owner_.body_) : owner_.body_;
        body->setText(shownBody);
    }

    static std::string joinList(const std::vector<std::string>& list) {
        std::string out;
        for (const auto& a : list) out += (out.empty() ? "" : ", ") + a;
        return out;
    }

    MailComposeViewController& owner_;
    std::shared_ptr<TextField> to, cc, subject;
    std::shared_ptr<TextView> body;
    std::shared_ptr<Label> attachments;
    std::string shownBody;
    std::shared_ptr<SheetAnswer> sheetAnswer;
};

MailComposeViewController::MailComposeViewController() {
    screen_ = std::make_shared<MailComposeScreen>(*this);
    screen_->setTitle("New Message");
}

MailComposeViewController::~MailComposeViewController() = default;

void MailComposeViewController::loadView() {
    NavigationController::loadView();
    setCancelAndSendButtons(*screen_, std::static_pointer_cast<MailComposeViewController>(shared_from_this()));
    setViewControllers({screen_});
}

std::string MailComposeViewController::outboxDirectory() {
    return base::paths::join(base::paths::dataHome(), "Outbox");
}

bool MailComposeViewController::canSendMail() { return canSendMail(nullptr); }

bool MailComposeViewController::canSendMail(std::string* problem) {
    std::string folder = outboxDirectory();
    auto& fm = base::FileManager::defaultManager();
    bool isDir = false;
    std::string why;
    if (!(fm.fileExists(folder, &isDir) && isDir) && !fm.createDirectory(folder, true, &why)) {
        if (problem) *problem = why.empty() ? "cannot create folder " + folder : why;
        return false;
    }
    if (::access(folder.c_str(), W_OK | X_OK) == 0) return true;
    if (problem) *problem = "cannot write to folder " + folder + ": " + std::strerror(errno);
    return false;
}

void MailComposeViewController::setToRecipients(std::vector<std::string> r) {
    to_ = std::move(r);
    if (screen_->to) screen_->to->setText(MailComposeScreen::joinList(to_));
}
void MailComposeViewController::setCcRecipients(std::vector<std::string> r) {
    cc_ = std::move(r);
    if (screen_->cc) screen_->cc->setText(MailComposeScreen::joinList(cc_));
}
void MailComposeViewController::setBccRecipients(std::vector<std::string> r) { bcc_ = std::move(r); }
void MailComposeViewController::setSubject(std::string s) {
    subject_ = std::move(s);
    // The bar shows the subject, as mail programs title a message.
    screen_->setTitle(subject_.empty() ? std::string("New Message") : oneLine(subject_));
    if (screen_->subject) screen_->subject->setText(subject_);
}
void MailComposeViewController::setMessageBody(std::string body, bool isHTML) {
    body_ = std::move(body);
    html_ = isHTML;
    if (screen_->body) {
        screen_->shownBody = html_ ? htmlToText(body_) : body_;
        screen_->body->setText(screen_->shownBody);
    }
}
void MailComposeViewController::addAttachmentData(base::Data data, std::string mimeType, std::string fileName) {
    if (mimeType.empty()) mimeType = "application/octet-stream";
    if (fileName.empty()) fileName = "attachment";
    attachments_.push_back(MailAttachment{std::move(data), std::move(mimeType), std::move(fileName)});
}

void MailComposeViewController::pullFromScreen() const {
    if (!screen_->isViewLoaded()) return;
    to_ = splitAddresses(screen_->to->text());
    cc_ = splitAddresses(screen_->cc->text());
    subject_ = screen_->subject->text();
    // An edited body is what the user typed, as plain text.
    if (screen_->body->text() != screen_->shownBody) {
        auto* self = const_cast<MailComposeViewController*>(this);
        self->body_ = screen_->body->text();
        self->html_ = false;
        screen_->shownBody = body_;
    }
}

std::vector<std::string> MailComposeViewController::toRecipients() const {
    pullFromScreen();
    return to_;
}
std::vector<std::string> MailComposeViewController::ccRecipients() const {
    pullFromScreen();
    return cc_;
}
std::string MailComposeViewController::subject() const {
    pullFromScreen();
    return subject_;
}
std::string MailComposeViewController::messageBody() const {
    pullFromScreen();
    return body_;
}

std::string MailComposeViewController::messageText(double date) const {
    pullFromScreen();
    std::string out;
    auto header = [&](const std::string& name, const std::string& value) { out += name + ": " + value + "\r\n"; };
    header("Date", rfc5322Date(date));
    header("From", joinAddresses({fromAddress()}, 4));
    if (!to_.empty()) header("To", joinAddresses(to_, 2));
    if (!cc_.empty()) header("Cc", joinAddresses(cc_, 2));
    if (!bcc_.empty()) header("Bcc", joinAddresses(bcc_, 3));
    header("Subject", headerText(subject_, 7));
    header("Message-ID", "<" + base::uuidString() + "@tolvek>");
    header("X-Unsent", "1");
    header("MIME-Version", "1.0");

    // A text that goes as 7bit ends as it does: a line break after it would
    // be read as part of it.
    std::string type = std::string(html_ ? "text/html" : "text/plain") + "; charset=UTF-8";
    std::string bodyPart;
    if (needsEncoding(body_)) {
        bodyPart = "Content-Type: " + type + "\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
                   base::base64Encode(crlf(body_), true) + "\r\n";
    } else {
        bodyPart = "Content-Type: " + type + "\r\nContent-Transfer-Encoding: 7bit\r\n\r\n" + crlf(body_);
    }
    if (attachments_.empty()) return out + bodyPart;

    // The line break that ends each part before a boundary belongs to the
    // boundary.
    std::string boundary = "=_tolvek_" + base::uuidString();
    out += withParameters("Content-Type", {"multipart/mixed", "boundary=\"" + boundary + "\""}) + "\r\n";
    out += "This is a multi-part message in MIME format.\r\n";
    out += "--" + boundary + "\r\n" + bodyPart + (needsEncoding(body_) ? "" : "\r\n");
    for (const auto& a : attachments_) {
        // The file name: exactly in the disposition (RFC 2231 where it is
        // not plain), and as near as a quoted parameter allows in the type,
        // for readers that look there only (exactly too when that is long).
        std::vector<std::string> type = safeMimeType(a.mimeType);
        const std::string fallback = quotedName(a.fileName);
        if (fallback.size() <= 60) type.push_back("name=\"" + fallback + "\"");
        else
            for (auto& p : nameParameters("name", a.fileName)) type.push_back(std::move(p));
        std::vector<std::string> disposition{"attachment"};
        for (auto& p : nameParameters("filename", a.fileName)) disposition.push_back(std::move(p));
        out += "--" + boundary + "\r\n";
        out += withParameters("Content-Type", type);
        out += "Content-Transfer-Encoding: base64\r\n";
        out += withParameters("Content-Disposition", disposition);
        out += "\r\n" + base::base64Encode(a.data, true) + "\r\n";
    }
    out += "--" + boundary + "--\r\n";
    return out;
}

bool MailComposeViewController::write(const std::string& folder, std::string* path,
                                      std::optional<net::Error>* error) const {
    auto& fm = base::FileManager::defaultManager();
    std::string why;
    bool isDir = false;
    if (!(fm.fileExists(folder, &isDir) && isDir) && !fm.createDirectory(folder, true, &why)) {
        *error = net::Error(MailComposeErrorDomain, 1, "The mail folder " + folder + " cannot be made: " + why);
        return false;
    }
    double now = base::Clock::current().now();
    std::time_t t = static_cast<std::time_t>(now);
    std::tm tm{};
    localtime_r(&t, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm);
    std::string file = base::paths::join(folder, std::string(stamp) + "-" + base::uuidString().substr(0, 8) + ".eml");
    if (!fm.writeAtomically(file, messageText(now), &why)) {
        *error = net::Error(MailComposeErrorDomain, 2, "The message cannot be written: " + why);
        return false;
    }
    *path = file;
    return true;
}

void MailComposeViewController::send() {
    if (finished_ || sending_) return;
    std::string path;
    std::optional<net::Error> error;
    if (!write(outboxDirectory(), &path, &error)) {
        finish(MailComposeResult::Failed, error);
        return;
    }
    lastPath_ = path;
    lastIsDraft_ = false;
    OutboxMessage message;
    message.path = path;
    message.to = to_;
    message.cc = cc_;
    message.bcc = bcc_;
    message.subject = subject_;
    message.plainBody = html_ ? htmlToText(body_) : body_;
    auto& handoff = handoffSlot();
    if (!handoff) {
        sending_ = true;
        handedOff(MailHandoff::NotTaken);
        return;
    }
    if (!attachments_.empty()) {
        std::string folder = path.substr(0, path.size() - 4) + " attachments";
        auto& fm = base::FileManager::defaultManager();
        if (fm.createDirectory(folder, true)) {
            for (const auto& a : attachments_) {
                std::string name = base::paths::lastComponent(a.fileName);
                if (name.empty() || name == "." || name == "..") name = "attachment";
                std::string file = base::paths::join(folder, name);
                if (fm.writeAtomically(file, a.data)) message.attachmentPaths.push_back(file);
            }
        }
    }
    // Send and Cancel wait while the mail program answers.
    sending_ = true;
    std::weak_ptr<MailComposeViewController> weak =
        std::static_pointer_cast<MailComposeViewController>(shared_from_this());
    handoff(message, [weak, path](MailHandoff outcome) {
        if (auto self = weak.lock()) self->handedOff(outcome);
        else if (outcome == MailHandoff::NotTaken) tellMailProgramFailed(path);  // the composer has gone meanwhile
    });
}

void MailComposeViewController::handedOff(MailHandoff outcome) {
    if (!sending_) {
        // The mail program that had the message open has ended.
        if (lastHandoff_ != MailHandoff::Opened) return;
        lastHandoff_ = outcome;
        if (outcome == MailHandoff::NotTaken) tellMailProgramFailed(lastPath_);
        return;
    }
    sending_ = false;
    lastHandoff_ = outcome;
    if (outcome == MailHandoff::NotTaken)
        base::log("no mail program took the message; it stays in the outbox: " + lastPath_);
    finish(outcome == MailHandoff::NotTaken ? MailComposeResult::Saved : MailComposeResult::Sent, std::nullopt);
}

void MailComposeViewController::cancel() {
    if (finished_ || sending_) return;
    std::weak_ptr<MailComposeViewController> weak =
        std::static_pointer_cast<MailComposeViewController>(shared_from_this());
    screen_->sheetAnswer = std::make_shared<SheetAnswer>([weak](int index) {
        auto self = weak.lock();
        if (!self) return;
        if (index == 0) self->deleteDraft();
        else if (index == 1) self->saveDraft();
    });
    auto sheet = std::make_shared<ActionSheet>("", screen_->sheetAnswer, std::string("Cancel"),
                                               std::string("Delete Draft"), std::vector<std::string>{"Save Draft"});
    // Escape goes back to the message (Cancel); Return neither deletes nor
    // saves it.
    sheet->setKeys(KeyAnswer::nothing(), KeyAnswer::press(sheet->cancelButtonIndex()));
    sheet->showInView(view());
}

void MailComposeViewController::deleteDraft() {
    if (finished_ || sending_) return;
    finish(MailComposeResult::Cancelled, std::nullopt);
}

void MailComposeViewController::saveDraft() {
    if (finished_ || sending_) return;
    std::string path;
    std::optional<net::Error> error;
    if (!write(base::paths::join(outboxDirectory(), "Drafts"), &path, &error)) {
        finish(MailComposeResult::Failed, error);
        return;
    }
    lastPath_ = path;
    lastIsDraft_ = true;
    finish(MailComposeResult::Saved, std::nullopt);
}

void MailComposeViewController::finish(MailComposeResult result, std::optional<net::Error> error) {
    if (result == MailComposeResult::Failed) {
        // The screen stays up so nothing typed is lost; the user may try
        // again or cancel.
        auto alert = std::make_shared<AlertView>("Cannot Send Mail",
                                                 error ? error->description() : std::string("The message failed."),
                                                 std::weak_ptr<AlertViewDelegate>(), std::string("OK"));
        alert->show();
    } else {
        finished_ = true;
    }
    if (auto d = mailComposeDelegate()) d->didFinishWithResult(*this, result, error);
}

void MailComposeViewController::setAsyncHandoffForTesting(AsyncHandoff handoff) { handoffSlot() = std::move(handoff); }
void MailComposeViewController::setHandoffForTesting(Handoff handoff) {
    if (!handoff) {
        handoffSlot() = nullptr;
        return;
    }
    handoffSlot() = [handoff = std::move(handoff)](const OutboxMessage& message, const HandoffDone& done) {
        done(handoff(message) ? MailHandoff::Taken : MailHandoff::NotTaken);
    };
}
void MailComposeViewController::setMailProgramPatienceForTesting(double seconds) {
    patienceSeconds = seconds > 0 ? seconds : kMailProgramPatience;
}
void MailComposeViewController::resetHandoffForTesting() {
    handoffSlot() = desktopHandoff;
    patienceSeconds = kMailProgramPatience;
}

}  // namespace ui
