#pragma once
// The progress screen: a segmented control in the navigation bar switches
// its content between three pages, each made on first use and kept: the
// chart, the log table (with the Edit/Done button) and the export page.
// Every appearance and every change of segment rebuilds what the page shows.
#include <memory>

#include "platform/ui/SegmentedControl.h"
#include "platform/ui/ViewController.h"

class DrawGraphViewController;
class LogTableViewController;
class ExportViewController;

class LogGraphViewController : public ui::ViewController {
public:
    enum Segment { SegmentChart = 0, SegmentLog = 1, SegmentExport = 2 };

    LogGraphViewController();
    ~LogGraphViewController() override;

    std::shared_ptr<ui::SegmentedControl> segmentControl() const { return segmentControl_; }
    std::shared_ptr<ui::View> contentView() const { return contentView_; }
    // The pages (null until first shown).
    std::shared_ptr<DrawGraphViewController> graphPage() const { return graph_; }
    std::shared_ptr<LogTableViewController> logPage() const { return log_; }
    std::shared_ptr<ExportViewController> exportPage() const { return export_; }
    // The page view shown now.
    std::shared_ptr<ui::View> currentView() const { return currentView_; }

    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void segmentChanged();
    // Puts the page of the selected segment into the content view.
    void showView();
    // The Edit/Done button: the log page's table follows.
    void setEditing(bool editing, bool animated) override;
    using ui::ViewController::setEditing;

private:
    void show(const std::shared_ptr<ui::View>& page);

    std::shared_ptr<ui::SegmentedControl> segmentControl_;
    std::shared_ptr<ui::View> contentView_;
    std::shared_ptr<DrawGraphViewController> graph_;
    std::shared_ptr<LogTableViewController> log_;
    std::shared_ptr<ExportViewController> export_;
    std::shared_ptr<ui::View> currentView_;
};
