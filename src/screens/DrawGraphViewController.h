#pragma once
// The chart page of the progress screen: the total repetitions of every
// logged day (in stored order) as a line graph or as a bar graph, on a graph
// hosting view. The page is the plots' data source. The progress screen sets
// graphType and calls reloadGraph each time the page is shown, so the graph
// always shows the current log in the current kind; only the latest graph is
// kept.
#include <memory>
#include <vector>

#include "charts/CHTPlot.h"
#include "platform/ui/ViewController.h"
#include "training/Log.h"

class CHTGraphHostingView;
class CHTXYAxis;
class CHTXYGraph;

class DrawGraphViewController : public ui::ViewController, public CHTPlotDataSource {
public:
    DrawGraphViewController();
    ~DrawGraphViewController() override;

    // YES: bar graph; NO: line graph.
    bool graphType() const { return graphType_; }
    void setGraphType(bool bars) { graphType_ = bars; }
    // The logged days as the store lists them (stored order).
    const std::vector<std::shared_ptr<Log>>& graphData() const { return graphData_; }
    // The graph shown now, of either kind (null before the first drawing).
    const std::shared_ptr<CHTXYGraph>& barChart() const { return barChart_; }
    // The page's view (loads it).
    std::shared_ptr<CHTGraphHostingView> hostingView();

    // The sum of all nine sets of a day, so a doubled-set day counts every set.
    static long long dayTotal(const Log& log);
    // The best day total; 5 without a record, and 5 when every day is 0, so
    // that the value axis always has a length.
    static long long maxTotal(const std::vector<std::shared_ptr<Log>>& days);
    // The bar graph's x range length for n days: at least 10, and one more
    // than the days so that the newest bar stands inside the range.
    static long long barRangeLength(std::size_t days);
    // The bars' shift to the right: 5 for a few days, down to 1, never
    // pushing the newest bar past the end of the range.
    static long long barOffset(std::size_t days);

    // The interval between axis labels: the preferred one while the labels
    // of a range of that length fit along an axis of that many points with
    // a gap between them, else the smallest 1, 2 or 5 times a power of ten
    // that makes them fit (the labels' extent along the axis is given).
    static double labelInterval(double preferred, double rangeLength, double axisLength, double labelExtent);

    void loadView() override;
    // Reads the log and draws it as bars (graphType) or as a line.
    void viewDidLoad() override;
    void viewDidUnload() override {}
    // Lets go of the days read before, reads the log afresh and replaces the
    // graph shown with a new one.
    void reloadGraph();
    void drawGraph();
    void drawBarGraph();

    // ---- Data source
    std::size_t numberOfRecordsForPlot(CHTPlot* plot) override;
    // Line graph: field 0 the day number (index + 1), field 1 the day total.
    // Bar graph (bar plots only): field 2 the index, field 3 the day total.
    // Anything else: nil.
    std::optional<std::optional<base::Number>> numberForPlot(CHTPlot* plot, std::size_t field,
                                                             std::size_t recordIndex) override;

private:
    // Makes the graph, themes it, hosts it and sets what both kinds share;
    // the paddings of the plot area frame differ by kind.
    void makeGraph(CGFloat frameLeft, CGFloat frameRight);
    // Sets the axis's major interval: the preferred one unless its labels
    // would overlap on the page.
    void setFittingInterval(CHTXYAxis& axis, double preferred, double rangeLength);
    // Leaves out the label of the axis's last major tick of a range from 0
    // of rangeLength when it would reach past the page's right edge.
    void excludeLabelPastRightEdge(CHTXYAxis& axis, double rangeLength);
    long long totalAt(std::size_t index) const;
    std::shared_ptr<CHTPlotDataSource> asDataSource();

    bool graphType_ = false;
    std::vector<std::shared_ptr<Log>> graphData_;
    std::shared_ptr<CHTXYGraph> barChart_;
};
