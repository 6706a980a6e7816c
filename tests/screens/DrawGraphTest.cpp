// The chart page of the progress screen: the numbers it hands the plots, the
// graph it builds for both kinds over logs of several lengths, and bars that
// all stand inside the plot area, newest day included.
#include "ProgressTestSupport.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "charts/CHTAxisLabel.h"
#include "charts/CHTBarPlot.h"
#include "charts/CHTPlotArea.h"
#include "charts/CHTGraphHostingView.h"
#include "charts/CHTPlotAreaFrame.h"
#include "charts/CHTPlotSymbol.h"
#include "charts/CHTScatterPlot.h"
#include "charts/CHTXYAxis.h"
#include "charts/CHTXYAxisSet.h"
#include "charts/CHTXYGraph.h"
#include "charts/CHTXYPlotSpace.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Image.h"
#include "screens/DrawGraphViewController.h"

namespace {

using progresstest::ProgressTest;

double number(const std::optional<std::optional<base::Number>>& answer) {
    return answer && *answer ? (*answer)->doubleValue() : NAN;
}
bool isNil(const std::optional<std::optional<base::Number>>& answer) { return answer && !*answer; }
double dbl(const base::Decimal& d) { return CHTDecimalDoubleValue(d); }

class DrawGraphTest : public ProgressTest {
protected:
    void SetUp() override {
        ProgressTest::SetUp();
        launch();
    }
    // Days from..to-1 of a growing log; day i totals 10 + 3i (all in the
    // first five sets).
    void addDays(int from, int to) {
        for (int i = from; i < to; ++i)
            addDay(1, 1 + i % 3, 2, {2 + i, 2, 2, 2, 2 + 2 * i, 0, 0, 0, 0},
                   base::format("Mon 2026 10 %02i 18:00:00.000", 1 + i % 28));
    }
    std::shared_ptr<DrawGraphViewController> page(bool bars) {
        auto p = std::make_shared<DrawGraphViewController>();
        p->setGraphType(bars);
        p->reloadGraph();
        return p;
    }
    static std::shared_ptr<CHTXYPlotSpace> space(const DrawGraphViewController& p) {
        return std::dynamic_pointer_cast<CHTXYPlotSpace>(p.barChart()->defaultPlotSpace());
    }
    static std::shared_ptr<CHTXYAxisSet> axes(const DrawGraphViewController& p) {
        return std::dynamic_pointer_cast<CHTXYAxisSet>(p.barChart()->axisSet());
    }
    // Renders the graph as the screen shows it: 320 x 416 points, y up.
    static void render(const DrawGraphViewController& p) {
        gfx::ImageContext ctx({320, 416}, 2, gfx::YAxis::Up);
        p.barChart()->layoutAndRenderInContext(ctx);
    }
};

TEST_F(DrawGraphTest, DataSourceAnswersDayNumbersAndNineSetTotalsPerKind) {
    addDay(1, 1, 2, {5, 6, 4, 4, 7, 0, 0, 0, 0}, "Mon 2026 11 30 18:00:00.000");
    addDay(5, 2, 2, {8, 8, 10, 10, 9, 9, 12, 14, 0}, "Tue 2026 12 08 18:58:45.123");
    addDay(6, 3, 2, {1, 2, 3, 4, 5, 6, 7, 8, 9}, "Thu 2026 12 10 18:00:00.000");
    auto line = page(false);
    ASSERT_EQ(line->graphData().size(), 3u);
    auto scatter = std::make_shared<CHTScatterPlot>();
    auto bar = std::make_shared<CHTBarPlot>();

    EXPECT_EQ(line->numberOfRecordsForPlot(scatter.get()), 3u);
    EXPECT_EQ(number(line->numberForPlot(scatter.get(), CHTScatterPlotFieldX, 0)), 1);
    EXPECT_EQ(number(line->numberForPlot(scatter.get(), CHTScatterPlotFieldX, 2)), 3);
    EXPECT_EQ(number(line->numberForPlot(scatter.get(), CHTScatterPlotFieldY, 0)), 26);
    // The doubled-set days count every set: eight and nine of them.
    EXPECT_EQ(number(line->numberForPlot(scatter.get(), CHTScatterPlotFieldY, 1)), 80);
    EXPECT_EQ(number(line->numberForPlot(scatter.get(), CHTScatterPlotFieldY, 2)), 45);
    EXPECT_EQ(number(line->numberForPlot(scatter.get(), CHTScatterPlotFieldY, 7)), 0);  // no record
    EXPECT_TRUE(isNil(line->numberForPlot(scatter.get(), CHTBarPlotFieldBarTip, 0)));
    EXPECT_TRUE(isNil(line->numberForPlot(scatter.get(), 9, 0)));

    line->setGraphType(true);
    EXPECT_EQ(number(line->numberForPlot(bar.get(), CHTBarPlotFieldBarLocation, 0)), 0);
    EXPECT_EQ(number(line->numberForPlot(bar.get(), CHTBarPlotFieldBarLocation, 2)), 2);
    EXPECT_EQ(number(line->numberForPlot(bar.get(), CHTBarPlotFieldBarTip, 1)), 80);
    EXPECT_EQ(number(line->numberForPlot(bar.get(), CHTBarPlotFieldBarTip, 5)), 0);
    EXPECT_TRUE(isNil(line->numberForPlot(bar.get(), CHTBarPlotFieldBarBase, 0)));
    EXPECT_TRUE(isNil(line->numberForPlot(bar.get(), CHTScatterPlotFieldX, 0)));
    // Bar fields only for bar plots.
    EXPECT_TRUE(isNil(line->numberForPlot(scatter.get(), CHTBarPlotFieldBarLocation, 0)));
    EXPECT_TRUE(isNil(line->numberForPlot(scatter.get(), CHTBarPlotFieldBarTip, 1)));

    // The plots pull the same numbers.
    auto bars = page(true);
    auto plot = std::dynamic_pointer_cast<CHTBarPlot>(bars->barChart()->plotWithIdentifier(base::Value("Pushups")));
    ASSERT_TRUE(plot);
    plot->reloadData();
    ASSERT_EQ(plot->barTips().size(), 3u);
    EXPECT_EQ(plot->barTips()[1].doubleValue(), 80);
    EXPECT_EQ(plot->barLocations()[2].doubleValue(), 2);
}

struct Expect {
    int days;
    double lineX, lineY, barX, barY, offset;
};

TEST_F(DrawGraphTest, GraphsOfBothKindsForShortAndLongLogs) {
    // Day totals are 10 + 3i, so the best day of n is 10 + 3(n - 1).
    const Expect cases[] = {
        {0, 1, 10, 10, 5, 5},
        {3, 4, 21, 10, 16, 5},
        {11, 12, 45, 12, 40, 1},
        {40, 41, 132, 41, 127, 1},
    };
    int logged = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.days);
        addDays(logged, c.days);
        logged = c.days;

        auto line = page(false);
        ASSERT_EQ(line->graphData().size(), static_cast<std::size_t>(c.days));
        EXPECT_EQ(line->hostingView()->hostedGraph(), line->barChart());
        EXPECT_EQ(line->barChart()->title(), std::optional<std::string>("Total Reps per Day"));
        EXPECT_EQ(line->barChart()->titleTextStyle()->fontSize(), 16);
        EXPECT_EQ(line->barChart()->titleDisplacement().y, -20);
        EXPECT_EQ(dbl(space(*line)->xRange()->location()), 0);
        EXPECT_EQ(dbl(space(*line)->xRange()->length()), c.lineX);
        EXPECT_EQ(dbl(space(*line)->yRange()->length()), c.lineY);
        EXPECT_TRUE(line->barChart()->plotAreaFrame()->borderLineStyle());
        EXPECT_EQ(line->barChart()->plotAreaFrame()->paddingLeft(), 50);
        EXPECT_EQ(line->barChart()->plotAreaFrame()->paddingRight(), 20);
        auto scatter =
            std::dynamic_pointer_cast<CHTScatterPlot>(line->barChart()->plotWithIdentifier(base::Value("Pushups")));
        ASSERT_TRUE(scatter);
        EXPECT_EQ(line->barChart()->allPlots().size(), 1u);
        ASSERT_TRUE(scatter->plotSymbol());
        EXPECT_EQ(scatter->plotSymbol()->size().width, 10);
        EXPECT_EQ(dbl(axes(*line)->yAxis()->majorIntervalLength()), 25);
        EXPECT_EQ(axes(*line)->yAxis()->labelingPolicy(), CHTAxisLabelingPolicyFixedInterval);
        EXPECT_EQ(axes(*line)->yAxis()->alternatingBandFills().size(), 2u);
        // Every second day while the labels fit; a long log spreads them.
        EXPECT_EQ(dbl(axes(*line)->xAxis()->majorIntervalLength()), c.days <= 12 ? 2 : 10);

        auto bars = page(true);
        EXPECT_EQ(bars->barChart()->title(), std::optional<std::string>("Total Reps per Day"));
        EXPECT_EQ(dbl(space(*bars)->xRange()->length()), c.barX);
        EXPECT_EQ(dbl(space(*bars)->yRange()->length()), c.barY);
        EXPECT_FALSE(bars->barChart()->plotAreaFrame()->borderLineStyle());
        EXPECT_EQ(bars->barChart()->plotAreaFrame()->cornerRadius(), 2);
        EXPECT_EQ(bars->barChart()->plotAreaFrame()->paddingLeft(), 35);
        EXPECT_EQ(bars->barChart()->plotAreaFrame()->paddingRight(), 10);
        auto bar = std::dynamic_pointer_cast<CHTBarPlot>(bars->barChart()->plotWithIdentifier(base::Value("Pushups")));
        ASSERT_TRUE(bar);
        EXPECT_EQ(dbl(bar->barOffset()), c.offset);
        auto x = axes(*bars)->xAxis();
        EXPECT_EQ(x->labelingPolicy(), CHTAxisLabelingPolicyNone);
        // "Days" under day 15 where the page shows it whole.
        ASSERT_EQ(x->axisLabels().size(), c.days >= 15 ? 1u : 0u);
        if (!x->axisLabels().empty()) {
            EXPECT_EQ(dbl((*x->axisLabels().begin())->tickLocation()), 15);
        }
        EXPECT_EQ(axes(*bars)->yAxis()->labelingPolicy(), CHTAxisLabelingPolicyFixedInterval);

        // A reload in the other kind replaces the graph shown.
        auto first = bars->barChart();
        bars->setGraphType(false);
        bars->reloadGraph();
        EXPECT_NE(bars->barChart(), first);
        EXPECT_EQ(bars->hostingView()->hostedGraph(), bars->barChart());
        EXPECT_TRUE(std::dynamic_pointer_cast<CHTScatterPlot>(bars->barChart()->plotAtIndex(0)));
    }
}

TEST_F(DrawGraphTest, LabelIntervalsWidenOnlyWhenLabelsWouldOverlap) {
    // 12 days' labels of 30 points fit at every second day along 250 points.
    EXPECT_EQ(DrawGraphViewController::labelInterval(2, 13, 250, 30), 2);
    EXPECT_EQ(DrawGraphViewController::labelInterval(2, 19, 250, 30), 5);
    EXPECT_EQ(DrawGraphViewController::labelInterval(2, 41, 250, 30), 10);
    EXPECT_EQ(DrawGraphViewController::labelInterval(2, 10001, 250, 50), 5000);
    EXPECT_EQ(DrawGraphViewController::labelInterval(25, 5005, 346, 17), 500);
    // Nothing to measure against: the preferred interval.
    EXPECT_EQ(DrawGraphViewController::labelInterval(25, 100, 0, 17), 25);
    EXPECT_EQ(DrawGraphViewController::labelInterval(25, NAN, 346, 17), 25);

    // A day of 5,000 repetitions: value labels at least a label apart.
    addDay(1, 1, 2, {1000, 1000, 1000, 1000, 1000, 0, 0, 0, 0}, "Mon 2026 11 30 18:00:00.000");
    for (bool bars : {false, true}) {
        SCOPED_TRACE(bars);
        auto p = page(bars);
        const double interval = dbl(axes(*p)->yAxis()->majorIntervalLength());
        EXPECT_GT(interval, 25);
        const double length = dbl(space(*p)->yRange()->length());
        const double spacing = (416 - 70) * interval / length;
        EXPECT_GE(spacing, 17);
        EXPECT_NO_THROW(render(*p));
    }
}

TEST_F(DrawGraphTest, TheDaysLabelShowsOnlyWhole) {
    addDays(0, 12);
    for (int days : {13, 14, 15}) {
        SCOPED_TRACE(days);
        addDays(days - 1, days);
        auto bars = page(true);
        // Under day 15, cut by the page's right edge for 13 and 14 days.
        EXPECT_EQ(axes(*bars)->xAxis()->axisLabels().size(), days == 15 ? 1u : 0u);
    }
}

TEST_F(DrawGraphTest, TheDayLabelsOfALongLogStayInsideThePage) {
    // 10,000 days, written in one statement.
    ASSERT_TRUE(storetest::execSql(
        app->logDatabasePath(),
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 9999) "
        "INSERT INTO LogDay (Week, Day, Level, Rep1, Rep2, Rep3, Rep4, Rep5, Rep6, Rep7, Rep8, Rep9, LogDate) "
        "SELECT 1, 1, 2, 10 + i % 40, 2, 2, 2, 2, 0, 0, 0, 0, 'Mon 2026 10 01 18:00:00.000' FROM n"));
    auto p = page(false);
    ASSERT_EQ(p->graphData().size(), 10000u);
    render(*p);
    // The plot area frame shows the labels inside its border line only.
    auto frame = p->barChart()->plotAreaFrame();
    ASSERT_TRUE(frame->borderLineStyle());
    const double border = frame->borderLineStyle()->lineWidth();
    std::vector<double> shown;
    for (const auto& label : axes(*p)->xAxis()->axisLabels()) {
        auto content = label->contentLayer();
        if (!content || !content->superlayer() || content->isHidden()) continue;
        const gfx::Rect r = content->convertRectTo(content->bounds(), frame.get());
        EXPECT_GE(r.minX(), border) << dbl(label->tickLocation());
        EXPECT_LE(r.maxX(), frame->bounds().width() - border) << dbl(label->tickLocation());
        shown.push_back(dbl(label->tickLocation()));
    }
    // Days 0 and 5000 keep their labels.
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, (std::vector<double>{0, 5000}));
}

TEST_F(DrawGraphTest, AnEmptyLogOrOneOfZerosDrawsBothGraphs) {
    for (bool bars : {false, true}) {
        auto p = page(bars);
        EXPECT_TRUE(p->graphData().empty());
        EXPECT_NO_THROW(render(*p));
    }
    // Days of nothing still give the value axis a length.
    addDay(1, 1, 2, {0, 0, 0, 0, 0, 0, 0, 0, 0}, "Mon 2026 11 30 18:00:00.000");
    addDay(1, 2, 2, {0, 0, 0, 0, 0, 0, 0, 0, 0}, "Wed 2026 12 02 18:00:00.000");
    auto bars = page(true);
    EXPECT_EQ(dbl(space(*bars)->yRange()->length()), 5);
    EXPECT_NO_THROW(render(*bars));
    auto line = page(false);
    EXPECT_EQ(dbl(space(*line)->yRange()->length()), 10);
    EXPECT_NO_THROW(render(*line));
}

// Bright green: the bars' fill (the plot area behind them is grey).
bool green(const gfx::Image::RGBA8& p) { return p.g > 120 && p.g > p.r + 60 && p.g > p.b + 60; }

TEST_F(DrawGraphTest, EveryDaysBarStandsInsideThePlotArea) {
    int logged = 0;
    for (int days : {7, 10, 12}) {
        SCOPED_TRACE(days);
        addDays(logged, days);
        logged = days;
        base::UserDefaults::standardUserDefaults().setBool("Tolvek_GraphType", true);
        auto progress = openProgress();
        ASSERT_TRUE(progress);
        auto p = progress->graphPage();
        ASSERT_TRUE(p && p->graphType());
        auto bar = std::dynamic_pointer_cast<CHTBarPlot>(p->barChart()->plotAtIndex(0));
        ASSERT_TRUE(bar);
        auto image = driver->renderScreen();
        ASSERT_TRUE(image);

        // Each bar's outline lies inside the plot area (the plot's own
        // coordinates cover the plot area).
        auto plotArea = p->barChart()->plotArea();
        ASSERT_TRUE(plotArea);
        const gfx::Rect area = plotArea->bounds();
        for (int i = 0; i < days; ++i) {
            auto path = bar->newBarPathWithContext(nullptr, static_cast<std::size_t>(i));
            ASSERT_TRUE(path) << i;
            const gfx::Rect r = bar->convertRectTo(path->boundingBox(), plotArea.get());
            EXPECT_GE(r.minX(), area.minX()) << i;
            EXPECT_LE(r.maxX(), area.maxX()) << i;
        }

        // On screen: one run of green columns per day along a row just above
        // the x axis (bottom padding 50 of the 416-point page).
        auto host = p->hostingView();
        const ui::Rect page = host->convertRectToView(host->bounds(), nullptr);
        const int y = static_cast<int>((page.maxY() - 50 - 3) * image->scale());
        int runs = 0;
        bool inRun = false;
        for (int x = 0; x < image->width(); ++x) {
            const bool g = green(image->pixel(x, y));
            if (g && !inRun) ++runs;
            inRun = g;
        }
        EXPECT_EQ(runs, days);
        if (::testing::Test::HasFailure()) shot(base::format("bars-%i", days));
        tap("Back");
    }
}

}  // namespace
