#include "screens/LogGraphViewController.h"

#include "platform/base/UserDefaults.h"
#include "platform/ui/NavigationController.h"
#include "screens/DrawGraphViewController.h"
#include "screens/ExportViewController.h"
#include "screens/LogTableViewController.h"
#include "screens/ScreenAction.h"
#include "training/HomeLook.h"
#include "training/SettingsKeys.h"

LogGraphViewController::LogGraphViewController() : ui::ViewController("LogGraphViewController") {
    // The back button of the screens pushed from here.
    setTitle("Progress");
}

LogGraphViewController::~LogGraphViewController() = default;

void LogGraphViewController::loadView() {
    auto view = std::make_shared<ui::View>(ui::Rect(0, 0, 320, 416));
    view->setBackgroundColor(homelook::background());
    contentView_ = std::make_shared<ui::View>(view->bounds());
    contentView_->setAutoresizingMask(ui::Autoresizing::FlexibleWidth | ui::Autoresizing::FlexibleHeight);
    contentView_->setBackgroundColor(homelook::background());
    view->addSubview(contentView_);

    segmentControl_ = std::make_shared<ui::SegmentedControl>(std::vector<std::string>{"Chart", "Log", "Export"});
    segmentControl_->setSegmentedControlStyle(ui::SegmentedControlStyle::Bar);
    segmentControl_->setFrame(ui::Rect(0, 0, 180, 30));
    segmentControl_->setSelectedSegmentIndex(SegmentChart);
    segmentControl_->addTarget(screenAction(this, &LogGraphViewController::segmentChanged),
                               ui::ControlEvents::ValueChanged);
    setView(view);
}

void LogGraphViewController::viewDidLoad() {
    segmentControl_->setTintColor(homelook::barTint().withAlpha(1.0f));
    navigationItem()->setTitleView(segmentControl_);
}

void LogGraphViewController::viewWillAppear(bool animated) {
    (void)animated;
    if (auto nav = navigationController()) nav->navigationBar()->setTintColor(homelook::barTint());
    showView();
}

void LogGraphViewController::segmentChanged() { showView(); }

void LogGraphViewController::show(const std::shared_ptr<ui::View>& page) {
    page->setFrame(contentView_->bounds());
    currentView_ = page;
    contentView_->addSubview(page);
}

void LogGraphViewController::showView() {
    view();
    if (currentView_) currentView_->removeFromSuperview();
    auto self = shared_from_this();
    switch (segmentControl_->selectedSegmentIndex()) {
    case SegmentChart:
        if (!graph_) graph_ = std::make_shared<DrawGraphViewController>();
        graph_->setGraphType(base::UserDefaults::standardUserDefaults().boolForKey(settingskeys::kGraphType));
        navigationItem()->setRightBarButtonItem(nullptr);
        show(graph_->view());
        graph_->reloadGraph();
        break;
    case SegmentLog:
        if (!log_) log_ = std::make_shared<LogTableViewController>();
        log_->setParent(self);
        navigationItem()->setRightBarButtonItem(editButtonItem());
        show(log_->view());
        log_->loadData();
        break;
    default:
        if (!export_) export_ = std::make_shared<ExportViewController>();
        show(export_->view());
        break;
    }
}

void LogGraphViewController::setEditing(bool editing, bool animated) {
    ui::ViewController::setEditing(editing, animated);
    if (log_ && log_->isViewLoaded()) log_->logTableView()->setEditing(editing, false);
}
