#pragma once
// The chart page of the progress screen. It keeps the logged days (in
// stored order) and the kind of chart to draw them as; the progress screen
// sets graphType and calls reloadGraph each time the page is shown. Until
// the chart itself is drawn here, the page is a plain, empty panel.
#include <memory>
#include <vector>

#include "platform/ui/ViewController.h"
#include "training/Log.h"

class DrawGraphViewController : public ui::ViewController {
public:
    DrawGraphViewController();

    // YES: bar graph; NO: line graph.
    bool graphType() const { return graphType_; }
    void setGraphType(bool bars) { graphType_ = bars; }
    // The logged days as the store lists them (stored order).
    const std::vector<std::shared_ptr<Log>>& graphData() const { return graphData_; }

    void loadView() override;
    // Reads the log.
    void viewDidLoad() override;
    // Lets go of the days read before and reads the log afresh.
    void reloadGraph();

private:
    bool graphType_ = false;
    std::vector<std::shared_ptr<Log>> graphData_;
};
