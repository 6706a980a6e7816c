#include "screens/HintTipsViewController.h"

#include <algorithm>
#include <array>

#include "platform/ui/NavigationController.h"
#include "screens/AnswersViewController.h"
#include "screens/EmulateThreeOhCell.h"
#include "screens/SettingsLook.h"
#include "training/HomeLook.h"

namespace {

const std::array<HintTipsViewController::Question, HintTipsViewController::kQuestionCount> kQuestions{{
    {"How do I get started?", "A basic introduction to how the \rprogram works", 5, false},
    {"How many days a week?", "How to fit your exercise around \ryour schedule", 2, true},
    {"What's a pushup?", "A how-to guide for proper pushups", 3, false},
    {"How should I rest?", "How best to recover during the rest \rperiods of your workout", 2, true},
    {"Workout reminders?", "Why you may not be receiving reminders \rfor your next workout", 2, true},
    {"I've finished. Now what?", "How to maintain an ongoing level of \rfitness", 3, true},
    {"Feedback / Contact us", "Tap here to contact us with your\rideas, queries or problems", 2, true},
}};

}  // namespace

HintTipsViewController::HintTipsViewController() : ui::ViewController("HintTipsView") { setTitle("F.A.Q."); }

HintTipsViewController::~HintTipsViewController() = default;

const HintTipsViewController::Question& HintTipsViewController::question(int row) {
    return kQuestions.at(static_cast<std::size_t>(std::clamp(row, 0, kQuestionCount - 1)));
}

void HintTipsViewController::loadView() {
    auto view = settingslook::screenView();
    hintTable_ = settingslook::cardTable(*view);
    setView(view);
}

void HintTipsViewController::viewDidLoad() {
    hintTable_->setBackgroundColor(gfx::Color::clear());
    auto self = std::static_pointer_cast<HintTipsViewController>(shared_from_this());
    hintTable_->setDataSource(std::static_pointer_cast<ui::TableViewDataSource>(self));
    hintTable_->setDelegate(std::static_pointer_cast<ui::TableViewDelegate>(self));
}

void HintTipsViewController::viewDidAppear(bool) {
    navigationItem()->setTitleView(settingslook::titleLabel("F.A.Q.", 140));
}

int HintTipsViewController::numberOfRowsInSection(ui::TableView&, int) { return kQuestionCount; }

std::optional<ui::Float> HintTipsViewController::heightForRowAtIndexPath(ui::TableView&, const ui::IndexPath&) {
    return 85;
}

std::shared_ptr<ui::TableViewCell> HintTipsViewController::cellForRowAtIndexPath(ui::TableView& tableView,
                                                                                 const ui::IndexPath& indexPath) {
    auto cell = EmulateThreeOhCell::dequeueOrLoad(tableView, threeOhCell_);
    const Question& q = question(indexPath.row);
    cell->showRow(homelook::bundleImage("help.png"), q.title, q.detail, q.lines, true, q.shortDetail ? 30 : 0);
    return cell;
}

void HintTipsViewController::didSelectRowAtIndexPath(ui::TableView& tableView, const ui::IndexPath& indexPath) {
    if (!answersViewController_) answersViewController_ = std::make_shared<AnswersViewController>();
    answersViewController_->setHint(indexPath.row);
    auto nav = navigationController();
    // A second tap while the answer slides in opens nothing more.
    if (nav && nav->topViewController() == shared_from_this()) nav->pushViewController(answersViewController_, true);
    tableView.deselectRowAtIndexPath(indexPath, true);
}
