#pragma once
// The F.A.Q.: seven questions, each opening its answer; the last one sends
// feedback by e-mail.
#include <memory>
#include <optional>

#include "platform/ui/TableView.h"
#include "platform/ui/ViewController.h"

class AnswersViewController;
class EmulateThreeOhCell;

class HintTipsViewController : public ui::ViewController, public ui::TableViewDataSource, public ui::TableViewDelegate {
public:
    static constexpr int kQuestionCount = 7;

    HintTipsViewController();
    ~HintTipsViewController() override;

    std::shared_ptr<ui::TableView> hintTable() const { return hintTable_; }
    // The last cell loaded from the cell's interface file.
    std::shared_ptr<EmulateThreeOhCell> threeOhCell() const { return threeOhCell_; }
    // The answer screen, once made.
    std::shared_ptr<AnswersViewController> answersViewController() const { return answersViewController_; }

    // The title, detail text, detail lines and whether the detail's height
    // is set to 30 for a question.
    struct Question {
        const char* title;
        const char* detail;
        int lines;
        bool shortDetail;
    };
    static const Question& question(int row);

    void loadView() override;
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;

    int numberOfRowsInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView,
                                                             const ui::IndexPath& indexPath) override;
    std::optional<ui::Float> heightForRowAtIndexPath(ui::TableView& tableView, const ui::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(ui::TableView& tableView, const ui::IndexPath& indexPath) override;

private:
    std::shared_ptr<ui::TableView> hintTable_;
    std::shared_ptr<EmulateThreeOhCell> threeOhCell_;
    std::shared_ptr<AnswersViewController> answersViewController_;
};
