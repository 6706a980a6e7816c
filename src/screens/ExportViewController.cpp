#include "screens/ExportViewController.h"

#include <cmath>

#include "platform/base/FileManager.h"
#include "platform/base/Format.h"
#include "platform/ui/MailComposeViewController.h"
#include "screens/ScreenAction.h"
#include "sharing/core/SHRItem.h"
#include "sharing/core/SHRSharer.h"
#include "training/DataAccess.h"
#include "training/HomeLook.h"
#include "training/Utility.h"

namespace {

// A text field of the file. The store's LogDate holds no comma, quote or
// line break and goes out unchanged; anything else that does is quoted, so
// that a spreadsheet still finds thirteen columns.
std::string field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

ExportViewController::ExportViewController() : ui::ViewController("ExportView") {}

std::optional<std::string> ExportViewController::applicationDocumentsDirectory() {
    std::string dir = base::paths::documents();
    if (dir.empty()) return std::nullopt;
    return dir;
}

std::string ExportViewController::csvText(const std::vector<std::shared_ptr<Log>>& days) {
    // Each line is "date, week, day, level, rep 1, ..., rep 9 \n", the numbers
    // written as printf's %i writes them. Appended piece by piece rather than
    // through a format text per line: the export of a long log is mostly this.
    std::string text = kHeader;
    text.reserve(text.size() + days.size() * 72);
    const auto number = [&text](int value) { text.append(", ").append(std::to_string(value)); };
    for (const auto& day : days) {
        if (!day) continue;
        text += field(day->logDate());
        number(day->week());
        number(day->day());
        number(day->level());
        for (int rep : day->reps()) number(rep);
        text += " \n";
    }
    return text;
}

void ExportViewController::loadView() {
    auto view = std::make_shared<ui::View>(ui::Rect(0, 0, 320, 416));
    view->setBackgroundColor(homelook::background());
    view->setAutoresizingMask(ui::Autoresizing::FlexibleWidth | ui::Autoresizing::FlexibleHeight);
    auto heading =
        homelook::label(ui::Rect(26, 24, 268, 28), "Export Your Log", gfx::Font::boldSystemFont(20), homelook::gold());
    auto body = homelook::label(ui::Rect(26, 62, 268, 0),
                                "Send every logged day by e-mail as the file log.csv: one line per day with its "
                                "date, week, day, level and the push-ups of each set. Spreadsheets open it as it "
                                "is.",
                                gfx::Font::systemFont(16), homelook::ink());
    body->setNumberOfLines(0);
    // The text sits right under the heading, the button right under the text.
    ui::Rect bodyFrame = body->frame();
    bodyFrame.size.height = std::ceil(body->sizeThatFits(ui::Size(bodyFrame.width(), 0)).height);
    body->setFrame(bodyFrame);
    exportButton_ = homelook::button(ui::Rect(40, bodyFrame.maxY() + 20, 240, 46), "Email Log File", homelook::gold(),
                                     gfx::Color::black());
    const ui::Float cardBottom = exportButton_->frame().maxY() + 16;
    view->addSubview(std::make_shared<homelook::CardView>(ui::Rect(10, 12, 300, cardBottom - 12)));
    view->addSubview(heading);
    view->addSubview(body);
    exportButton_->addTarget(screenAction(this, &ExportViewController::exportTapped), ui::ControlEvents::TouchUpInside);
    view->addSubview(exportButton_);
    setView(view);
}

void ExportViewController::exportTapped() {
    // The mail is a file Tolvek writes: a folder it cannot write is named,
    // not blamed on a mail set-up the desktop does not have.
    if (std::string problem; !ui::MailComposeViewController::canSendMail(&problem)) {
        Utility::ShowAlert(base::format("The log file could not be written, so it cannot be mailed: %@.", problem));
        return;
    }
    const std::string text = csvText(DataAccess::getLogData());
    const base::Data bytes(text.begin(), text.end());

    std::string error;
    bool written = false;
    if (auto dir = applicationDocumentsDirectory()) {
        auto& files = base::FileManager::defaultManager();
        files.createDirectory(*dir, true, &error);
        written = files.writeAtomically(base::paths::join(*dir, kFileName), bytes, &error);
    } else {
        error = "there is no Documents folder";
    }
    if (!written)
        Utility::ShowAlert(base::format("The log could not be saved as %@ (%@). The mail has it attached all the same.",
                                        kFileName, error));

    // The mail takes the bytes just built, never an older file on disk.
    SHRSharer::shareItem("SHRMail", SHRItem::file(bytes, kFileName, "application/csv", std::string("Log File")));
}
