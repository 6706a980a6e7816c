#pragma once
// The export page of the progress screen: one button writes the whole log
// as "log.csv" into Documents and hands that file to the mail composer.
// The file has a header line and one line per logged day in stored order:
// the LogDate text, week, day, level and the nine set slots, separated by a
// comma and a blank, each line ending with a blank and a line feed.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/Button.h"
#include "platform/ui/ViewController.h"
#include "training/Log.h"

class ExportViewController : public ui::ViewController {
public:
    static constexpr const char* kFileName = "log.csv";
    static constexpr const char* kHeader =
        "Date, Week, Day, Level, Rep 1, Rep 2, Rep 3, Rep 4, Rep 5, Rep 6, Rep 7, Rep 8, Rep 9 \n";

    ExportViewController();

    // The Documents folder, or nothing when there is none.
    static std::optional<std::string> applicationDocumentsDirectory();
    // The file's text for these days, in their order.
    static std::string csvText(const std::vector<std::shared_ptr<Log>>& days);

    std::shared_ptr<ui::Button> exportButton() const { return exportButton_; }

    void loadView() override;
    // The export: with mail set up, writes the file and opens the mail
    // composer with it attached; a failed write is reported, and the mail
    // still gets the text just built.
    void exportTapped();

private:
    std::shared_ptr<ui::Button> exportButton_;
};
