// Legends: the grid for automatic and fixed rows and columns, bounds and
// swatch sizes, which plots give entries, relayout on a title change and
// redraw on a style change, entries following a pie's reload, entries that
// do not fit a fixed grid, archiving, observations that end with the legend,
// and the legend on a graph.
#include <gtest/gtest.h>

#include "TestEnvironment.h"
#include "charts/CHTColor.h"
#include "charts/CHTCoderExtensions.h"
#include "charts/CHTLayerAnnotation.h"
#include "charts/CHTLegend.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTMutableTextStyle.h"
#include "charts/CHTPieChart.h"
#include "charts/CHTTextStyleExtensions.h"
#include "charts/CHTXYGraph.h"
#include "charts/ChartTestSupport.h"
#include "charts/PlotTestSupport.h"

namespace {

// A plot that records where the legend asks it to draw its swatches.
class SwatchPlot : public CHTScatterPlot {
public:
    explicit SwatchPlot(std::string title) { setTitle(title); }
    void drawSwatchForLegend(const CHTLegendSwatchStyle& style, std::size_t index, const gfx::Rect& rect,
                             gfx::Context& context) override {
        swatches.push_back(rect);
        CHTScatterPlot::drawSwatchForLegend(style, index, rect, context);
    }
    std::vector<gfx::Rect> swatches;
};

std::vector<std::shared_ptr<CHTPlot>> titledPlots(int n) {
    std::vector<std::shared_ptr<CHTPlot>> plots;
    for (int i = 0; i < n; ++i) plots.push_back(std::make_shared<SwatchPlot>("Plot " + std::to_string(i)));
    return plots;
}

std::vector<std::pair<std::size_t, std::size_t>> cells(const CHTLegend& legend) {
    std::vector<std::pair<std::size_t, std::size_t>> out;
    for (const auto& e : legend.legendEntries()) out.emplace_back(e->row(), e->column());
    return out;
}

std::size_t count(const std::optional<base::Array>& list) { return list ? list->size() : 0; }

std::vector<gfx::Rect> drawnSwatches(CHTLegend& legend) {
    for (const auto& p : legend.allPlots()) std::static_pointer_cast<SwatchPlot>(p)->swatches.clear();
    legend.layoutIfNeeded();
    gfx::RecordingContext ctx({400, 400});
    legend.renderAsVectorInContext(ctx);
    std::vector<gfx::Rect> out;
    for (const auto& p : legend.allPlots()) {
        const auto& s = std::static_pointer_cast<SwatchPlot>(p)->swatches;
        out.insert(out.end(), s.begin(), s.end());
    }
    return out;
}

class PieValues : public CHTPieChartDataSource {
public:
    std::size_t numberOfRecordsForPlot(CHTPlot*) override { return n; }
    std::optional<std::optional<base::Number>> numberForPlot(CHTPlot*, std::size_t, std::size_t i) override {
        return std::optional<base::Number>(base::Number(double(i + 1)));
    }
    std::optional<std::optional<std::string>> legendTitleForPieChart(CHTPieChart*, std::size_t i) override {
        return std::optional<std::string>("part " + std::to_string(i));
    }
    std::size_t n = 2;
};

class NoSecondSwatch : public CHTLegendDelegate {
public:
    bool legend(CHTLegend*, std::size_t, CHTPlot* plot, const gfx::Rect&, gfx::Context&) override {
        return plot->title() != std::optional<std::string>("Plot 1");
    }
};

}  // namespace

TEST(CHTLegendTest, AutomaticAndFixedGrids) {
    auto one = CHTLegend::legendWithPlots(titledPlots(1));
    one->recalculateLayout();
    EXPECT_EQ(count(one->rowHeightsThatFit()), 1u);
    EXPECT_EQ(count(one->columnWidthsThatFit()), 1u);

    auto three = CHTLegend::legendWithPlots(titledPlots(3));
    three->recalculateLayout();
    EXPECT_EQ(count(three->rowHeightsThatFit()), 2u);
    EXPECT_EQ(count(three->columnWidthsThatFit()), 2u);
    EXPECT_EQ(cells(*three), (std::vector<std::pair<std::size_t, std::size_t>>{{0, 0}, {0, 1}, {1, 0}}));

    auto five = CHTLegend::legendWithPlots(titledPlots(5));
    five->recalculateLayout();
    EXPECT_EQ(count(five->rowHeightsThatFit()), 2u);
    EXPECT_EQ(count(five->columnWidthsThatFit()), 3u);

    five->setNumberOfColumns(2);
    five->recalculateLayout();
    EXPECT_EQ(count(five->rowHeightsThatFit()), 3u);
    EXPECT_EQ(cells(*five).back(), (std::pair<std::size_t, std::size_t>{2, 0}));
    five->setNumberOfColumns(0);
    five->setNumberOfRows(2);
    five->recalculateLayout();
    EXPECT_EQ(count(five->columnWidthsThatFit()), 3u);

    // No entries: a 0 x 0 grid, and the bounds are the paddings.
    auto none = std::make_shared<CHTLegend>();
    none->recalculateLayout();
    EXPECT_EQ(count(none->rowHeightsThatFit()), 0u);
    EXPECT_EQ(none->bounds(), gfx::Rect(0, 0, 10, 10));
}

TEST(CHTLegendTest, BoundsAndSwatchSizes) {
    auto legend = std::make_shared<CHTLegend>();
    EXPECT_EQ(legend->swatchSize(), gfx::Size(18, 18));  // 12-point default text
    auto zero = CHTTextStyle::textStyle();
    zero->setFontSize(0);
    legend->setTextStyle(zero);
    EXPECT_EQ(legend->swatchSize(), gfx::Size(15, 15));
    legend->setSwatchSize({8, 6});
    EXPECT_EQ(legend->swatchSize(), gfx::Size(8, 6));
    EXPECT_EQ(legend->paddingLeft(), 5);
    EXPECT_EQ(legend->columnMargin(), 10);
    EXPECT_EQ(legend->rowMargin(), 5);
    EXPECT_EQ(legend->titleOffset(), 5);

    // Three entries, 2 x 2: the titles' sizes plus swatches, offsets and margins.
    auto plots = titledPlots(3);
    std::static_pointer_cast<SwatchPlot>(plots[1])->setTitle(std::string("A much longer title"));
    auto grid = CHTLegend::legendWithPlots(plots);
    grid->layoutIfNeeded();
    auto style = grid->textStyle();
    const gfx::Size t0 = sizeWithTextStyle("Plot 0", style.get()),
                    t1 = sizeWithTextStyle("A much longer title", style.get()),
                    t2 = sizeWithTextStyle("Plot 2", style.get());
    const CGFloat col0 = std::max({t0.width, t2.width, CGFloat(18)}), col1 = std::max(t1.width, CGFloat(18));
    const CGFloat row0 = std::max({t0.height, t1.height, CGFloat(18)}), row1 = std::max(t2.height, CGFloat(18));
    EXPECT_FLOAT_EQ(grid->bounds().width(), 10 + col0 + col1 + (18 + 5) * 2 + 10);
    EXPECT_FLOAT_EQ(grid->bounds().height(), 10 + row0 + row1 + 5);
    EXPECT_FALSE(grid->layoutChanged());

    // Equal columns: every column as wide as the widest.
    grid->setEqualColumns(true);
    grid->layoutIfNeeded();
    EXPECT_FLOAT_EQ(grid->bounds().width(), 10 + 2 * std::max(col0, col1) + (18 + 5) * 2 + 10);

    // Minimum row heights and column widths by index; other elements ignored.
    grid->setRowHeights(base::Array{base::Value(40.0), base::Value("tall")});
    grid->setColumnWidths(base::Array{base::Value(), base::Value(300.0)});
    grid->layoutIfNeeded();
    EXPECT_FLOAT_EQ(grid->bounds().height(), 10 + 40 + row1 + 5);
    EXPECT_FLOAT_EQ(grid->bounds().width(), 10 + 2 * 300 + (18 + 5) * 2 + 10);
}

TEST(CHTLegendTest, WhichPlotsGiveEntriesAndInWhatOrder) {
    auto titled = std::make_shared<CHTScatterPlot>();
    titled->setTitle(std::string("Reps"));
    auto named = std::make_shared<CHTScatterPlot>();
    named->setIdentifier(base::Value("by name"));
    auto numbered = std::make_shared<CHTScatterPlot>();
    numbered->setIdentifier(base::Value(7));
    auto anonymous = std::make_shared<CHTScatterPlot>();
    auto legend = CHTLegend::legendWithPlots({titled, named, numbered, anonymous});
    EXPECT_EQ(legend->allPlots().size(), 4u);
    ASSERT_EQ(legend->legendEntries().size(), 2u);
    EXPECT_EQ(legend->legendEntries()[1]->title(), std::optional<std::string>("by name"));

    // Inserted before the plot at the index, entries included.
    auto inserted = std::make_shared<CHTScatterPlot>();
    inserted->setTitle(std::string("Inserted"));
    legend->insertPlot(inserted, 1);
    EXPECT_EQ(legend->plotAtIndex(1), inserted);
    EXPECT_EQ(legend->legendEntries()[1]->title(), std::optional<std::string>("Inserted"));
    {
        charttest::ScopedAssertionRecorder recorder(false);
        legend->insertPlot(inserted, 9);
        ASSERT_EQ(recorder.failures().size(), 1u);
        EXPECT_EQ(recorder.failures()[0].description, "index greater than the number of plots");
    }
    EXPECT_EQ(legend->allPlots().size(), 5u);

    legend->removePlotWithIdentifier(base::Value("by name"));
    EXPECT_EQ(legend->legendEntries().size(), 2u);
    legend->removePlotWithIdentifier(base::Value("nobody"));
    try {
        legend->removePlot(named);
        FAIL() << "no exception";
    } catch (const base::Exception& e) {
        EXPECT_EQ(e.name(), "CHTException");
        EXPECT_EQ(e.reason(), "Tried to remove CHTPlot which did not exist.");
    }
    EXPECT_NE(legend->description().find(" for plots ("), std::string::npos);
}

TEST(CHTLegendTest, ATitleChangeRelayoutsAndAStyleChangeOnlyRedraws) {
    auto plot = std::make_shared<CHTScatterPlot>();
    plot->setTitle(std::string("Short"));
    auto legend = CHTLegend::legendWithPlots({plot});
    legend->layoutIfNeeded();
    const CGFloat before = legend->bounds().width();
    legend->clearNeedsDisplay();

    auto line = CHTLineStyle::lineStyle();
    line->setLineWidth(3);
    plot->setDataLineStyle(line);
    EXPECT_TRUE(legend->needsDisplay());
    EXPECT_FALSE(legend->layoutChanged());

    plot->setTitle(std::string("A considerably longer title"));
    EXPECT_TRUE(legend->layoutChanged());
    EXPECT_TRUE(legend->needsLayout());
    legend->layoutIfNeeded();
    EXPECT_GT(legend->bounds().width(), before);

    // Swatch styles of the legend itself only redraw too.
    legend->setSwatchCornerRadius(3);
    legend->setSwatchFill(CHTFill::fillWithColor(CHTColor::whiteColor()));
    EXPECT_FALSE(legend->layoutChanged());
    legend->setRowMargin(9);
    EXPECT_TRUE(legend->layoutChanged());
}

TEST(CHTLegendTest, APiesEntriesFollowAReloadWithMoreRecords) {
    auto values = std::make_shared<PieValues>();
    auto pie = std::make_shared<CHTPieChart>(gfx::Rect(0, 0, 100, 100));
    pie->setDataSource(values);
    auto line = std::make_shared<CHTScatterPlot>();
    line->setTitle(std::string("Line"));
    auto legend = CHTLegend::legendWithPlots({pie, line});
    ASSERT_EQ(legend->legendEntries().size(), 3u);
    values->n = 4;
    pie->reloadData();
    ASSERT_EQ(legend->legendEntries().size(), 5u);
    // The pie's entries stay where they were, before the line's.
    EXPECT_EQ(legend->legendEntries()[3]->title(), std::optional<std::string>("part 3"));
    EXPECT_EQ(legend->legendEntries()[4]->title(), std::optional<std::string>("Line"));
    EXPECT_TRUE(legend->layoutChanged());
    pie->deleteDataInIndexRange({0, 3});
    EXPECT_EQ(legend->legendEntries().size(), 2u);
}

TEST(CHTLegendTest, EntriesOutsideAFixedGridAreNotDrawnAndUnusedRowsLeaveNoGap) {
    auto legend = CHTLegend::legendWithPlots(titledPlots(3));
    legend->setNumberOfRows(1);
    legend->setNumberOfColumns(2);
    auto swatches = drawnSwatches(*legend);
    // Two drawn, side by side; the third is not drawn over the first.
    ASSERT_EQ(swatches.size(), 2u);
    EXPECT_NE(swatches[0].minX(), swatches[1].minX());
    EXPECT_GE(legend->legendEntries()[2]->row(), 1u);

    // Four rows set, two used: both rows lie inside the legend.
    auto all = CHTLegend::legendWithPlots(titledPlots(2));
    all->setNumberOfRows(4);
    all->setNumberOfColumns(1);
    swatches = drawnSwatches(*all);
    ASSERT_EQ(swatches.size(), 2u);
    const gfx::Rect inside = all->bounds();
    for (const auto& r : swatches) {
        EXPECT_GE(r.minY(), inside.minY());
        EXPECT_LE(r.maxY(), inside.maxY());
    }
    EXPECT_GT(swatches[0].minY(), swatches[1].minY());  // row 0 on top
    EXPECT_NEAR(swatches[1].minY(), 5, 1);              // the last used row on the bottom padding

    // The delegate may leave a swatch out.
    auto delegate = std::make_shared<NoSecondSwatch>();
    all->setDelegate(delegate);
    EXPECT_EQ(drawnSwatches(*all).size(), 1u);
}

TEST(CHTLegendTest, ADecodedLegendFollowsItsPlotsAndAGoneLegendIsNotCalled) {
    CHTRegisterCodingClasses();
    auto plot = std::make_shared<CHTScatterPlot>();
    plot->setTitle(std::string("Archived"));
    auto legend = CHTLegend::legendWithPlots({plot});
    legend->setNumberOfColumns(3);
    legend->setSwatchSize({12, 8});
    legend->layoutIfNeeded();
    auto decoded = base::KeyedUnarchiver::unarchiveObjectOfType<CHTLegend>(
        base::KeyedArchiver::archivedDataWithRootObject(legend));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->numberOfColumns(), 3u);
    EXPECT_EQ(decoded->swatchSize(), gfx::Size(12, 8));
    ASSERT_EQ(decoded->allPlots().size(), 1u);
    ASSERT_EQ(decoded->legendEntries().size(), 1u);
    auto decodedPlot = decoded->plotAtIndex(0);
    EXPECT_EQ(decoded->legendEntries()[0]->plot(), decodedPlot);
    EXPECT_EQ(decoded->legendEntries()[0]->title(), std::optional<std::string>("Archived"));
    EXPECT_FALSE(decoded->layoutChanged());
    decodedPlot->setTitle(std::string("Renamed"));
    EXPECT_TRUE(decoded->layoutChanged());

    // Once a legend is gone, its plots' notifications reach nothing.
    legend.reset();
    decoded.reset();
    plot->setTitle(std::string("After"));
    decodedPlot->setTitle(std::string("After"));
}

TEST(CHTLegendTest, AGraphShowsItsLegendPinnedByItsAnchor) {
    auto graph = CHTXYGraph::create(gfx::Rect(0, 0, 300, 200));
    auto line = std::make_shared<CHTScatterPlot>();
    line->setTitle(std::string("Line"));
    graph->addPlot(line);
    auto legend = CHTLegend::legendWithGraph(graph);
    ASSERT_EQ(legend->legendEntries().size(), 1u);
    graph->setLegendAnchor(CHTRectAnchorTopRight);
    graph->setLegend(legend);
    EXPECT_EQ(graph->legend(), legend);
    EXPECT_EQ(legend->superlayer(), graph.get());
    gfx::ImageContext ctx({300, 200}, 1, gfx::YAxis::Up);
    graph->layoutAndRenderInContext(ctx);
    // Sized by its own layout, its top-right corner on the graph's.
    EXPECT_GT(legend->bounds().width(), 30);
    EXPECT_NEAR(legend->frame().maxX(), 300, 1);
    EXPECT_NEAR(legend->frame().maxY(), 200, 1);
}
