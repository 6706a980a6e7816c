// The graph: what a new XY graph holds, the title's life, plots and plot
// spaces coming and going, event routing, the mapping-change fan-out, and a
// plot space that outlives its graph.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ChartTestSupport.h"
#include "charts/CHTLegend.h"
#include "charts/CHTAxis.h"
#include "charts/CHTCoderExtensions.h"
#include "charts/CHTScatterPlot.h"
#include "charts/CHTLayerAnnotation.h"
#include "charts/CHTMutableTextStyle.h"
#include "charts/CHTPlot.h"
#include "charts/CHTPlotArea.h"
#include "charts/CHTPlotAreaFrame.h"
#include "charts/CHTPlotGroup.h"
#include "charts/CHTTextLayer.h"
#include "charts/CHTXYAxis.h"
#include "charts/CHTXYAxisSet.h"
#include "charts/CHTXYGraph.h"
#include "charts/CHTXYPlotSpace.h"
#include "platform/base/Exception.h"

namespace {

using charttest::D;

// A plot that answers every event as told and records what it got.
class RecordingPlot : public CHTPlot {
public:
    RecordingPlot(std::string name, std::vector<std::string>& log, bool consumes)
        : name_(std::move(name)), log_(log), consumes_(consumes) {}
    bool pointingDeviceDownEvent(const CHTNativeEvent*, gfx::Point) override {
        log_.push_back(name_ + ":down");
        return consumes_;
    }
    bool pointingDeviceUpEvent(const CHTNativeEvent*, gfx::Point) override {
        log_.push_back(name_ + ":up");
        return consumes_;
    }

private:
    std::string name_;
    std::vector<std::string>& log_;
    bool consumes_;
};

// Records the plot-space events and answers as told.
class RecordingPlotSpace : public CHTXYPlotSpace {
public:
    RecordingPlotSpace(std::string name, std::vector<std::string>& log, bool consumes)
        : name_(std::move(name)), log_(log), consumes_(consumes) {}
    bool pointingDeviceDownEvent(const CHTNativeEvent*, gfx::Point) override {
        log_.push_back(name_ + ":down");
        return consumes_;
    }
    bool pointingDeviceCancelledEvent(const CHTNativeEvent*) override {
        log_.push_back(name_ + ":cancelled");
        return consumes_;
    }

private:
    std::string name_;
    std::vector<std::string>& log_;
    bool consumes_;
};

std::shared_ptr<CHTXYGraph> laidOutGraph(gfx::Rect frame = gfx::Rect(0, 0, 300, 200)) {
    auto graph = CHTXYGraph::create(frame);
    graph->layoutIfNeeded();
    return graph;
}

std::string exceptionReason(const std::function<void()>& f, std::string* name = nullptr) {
    try {
        f();
    } catch (const base::Exception& e) {
        if (name) *name = e.name();
        return e.reason();
    }
    return "(nothing raised)";
}

TEST(CHTGraphTest, ANewXYGraphHasOneLinearPlotSpaceAndAnAxisSetThatUsesIt) {
    auto graph = laidOutGraph();
    ASSERT_EQ(graph->allPlotSpaces().size(), 1u);
    auto plotSpace = std::dynamic_pointer_cast<CHTXYPlotSpace>(graph->defaultPlotSpace());
    ASSERT_TRUE(plotSpace);
    EXPECT_EQ(plotSpace->xScaleType(), CHTScaleTypeLinear);
    EXPECT_EQ(plotSpace->yScaleType(), CHTScaleTypeLinear);
    EXPECT_EQ(plotSpace->graph().get(), static_cast<CHTPlotSpaceGraph*>(graph.get()));

    auto axisSet = std::dynamic_pointer_cast<CHTXYAxisSet>(graph->axisSet());
    ASSERT_TRUE(axisSet);
    EXPECT_EQ(axisSet->xAxis()->plotSpace(), plotSpace);
    EXPECT_EQ(axisSet->yAxis()->plotSpace(), plotSpace);
    EXPECT_EQ(graph->plotAreaFrame()->axisSet(), axisSet);

    EXPECT_EQ(graph->paddingLeft(), 20);
    EXPECT_EQ(graph->paddingTop(), 20);
    EXPECT_EQ(graph->paddingRight(), 20);
    EXPECT_EQ(graph->paddingBottom(), 20);
    EXPECT_EQ(graph->titlePlotAreaFrameAnchor(), CHTRectAnchorTop);
    EXPECT_EQ(graph->legendAnchor(), CHTRectAnchorBottom);
    EXPECT_FALSE(graph->title());
    EXPECT_FALSE(graph->titleAnnotation());
    EXPECT_TRUE(graph->allPlots().empty());
    EXPECT_EQ(graph->plotAreaFrame()->graphLayer().get(), graph.get());

    // The plot area fills the frame less the paddings; the mapping spans it.
    gfx::Size area = graph->plotArea()->bounds().size;
    EXPECT_EQ(area, gfx::Size(260, 160));
    gfx::Point corner = plotSpace->plotAreaViewPointForPlotPoint({D("1"), D("1")});
    EXPECT_FLOAT_EQ(corner.x, area.width);
    EXPECT_FLOAT_EQ(corner.y, area.height);
}

TEST(CHTGraphTest, TheScaleTypesReachTheNewPlotSpaceOnly) {
    auto graph = CHTXYGraph::create(gfx::Rect(0, 0, 100, 100), CHTScaleTypeLog, CHTScaleTypeLinear);
    auto plotSpace = std::dynamic_pointer_cast<CHTXYPlotSpace>(graph->defaultPlotSpace());
    EXPECT_EQ(plotSpace->xScaleType(), CHTScaleTypeLog);
    graph->setYScaleType(CHTScaleTypeLog);
    EXPECT_EQ(graph->yScaleType(), CHTScaleTypeLog);
    EXPECT_EQ(plotSpace->yScaleType(), CHTScaleTypeLinear);
}

TEST(CHTGraphTest, TheTitleLivesInOneAnnotationPinnedToThePlotAreaFrame) {
    auto graph = laidOutGraph();
    graph->setTitle(std::nullopt);  // nothing to remove
    EXPECT_TRUE(graph->annotations().empty());

    graph->setTitle(std::string("Push-ups"));
    auto annotation = graph->titleAnnotation();
    ASSERT_TRUE(annotation);
    EXPECT_EQ(graph->annotations().size(), 1u);
    auto text = std::dynamic_pointer_cast<CHTTextLayer>(annotation->contentLayer());
    ASSERT_TRUE(text);
    EXPECT_EQ(text->text(), "Push-ups");

    // A second title changes only the text.
    graph->setTitle(std::string("Total reps"));
    EXPECT_EQ(graph->titleAnnotation(), annotation);
    EXPECT_EQ(annotation->contentLayer(), text);
    EXPECT_EQ(text->text(), "Total reps");

    // The style reaches the text layer as a copy.
    auto style = CHTTextStyle::textStyle();
    style->setFontSize(22);
    graph->setTitleTextStyle(style);
    EXPECT_EQ(text->textStyle()->fontSize(), 22);
    style->setFontSize(8);
    EXPECT_EQ(text->textStyle()->fontSize(), 22);

    // Pinned to the top centre of the frame; a displacement moves it at the
    // next layout.
    graph->layoutIfNeeded();
    gfx::Rect frame = graph->plotAreaFrame()->frame();
    gfx::Point before = text->position();
    EXPECT_NEAR(before.x, frame.midX(), 1);
    EXPECT_NEAR(before.y, frame.maxY(), 1);
    graph->setTitleDisplacement(gfx::Point(0, -10));
    graph->layoutIfNeeded();
    EXPECT_NEAR(text->position().y, before.y - 10, 1);

    // Nil removes it.
    graph->setTitle(std::nullopt);
    EXPECT_FALSE(graph->titleAnnotation());
    EXPECT_TRUE(graph->annotations().empty());
    EXPECT_EQ(text->superlayer(), nullptr);
}

TEST(CHTGraphTest, ANewPlotAreaFrameKeepsTheTitlePlacedOnIt) {
    auto graph = laidOutGraph();
    graph->setTitle(std::string("Title"));
    graph->setTitleDisplacement(gfx::Point(0, -10));
    auto oldFrame = graph->plotAreaFrame();

    auto newFrame = std::make_shared<CHTPlotAreaFrame>(gfx::Rect(0, 0, 300, 200));
    graph->setPlotAreaFrame(newFrame);
    EXPECT_EQ(oldFrame->superlayer(), nullptr);
    EXPECT_EQ(oldFrame->graphLayer(), nullptr);
    EXPECT_EQ(newFrame->graphLayer().get(), graph.get());
    EXPECT_EQ(newFrame->superlayer(), graph.get());

    // Smaller paddings give the new frame another place than the old one.
    graph->setPaddingTop(5);
    graph->layoutIfNeeded();
    auto annotation = graph->titleAnnotation();
    ASSERT_TRUE(annotation);
    EXPECT_EQ(annotation->anchorLayer().get(), newFrame.get());
    auto text = annotation->contentLayer();
    EXPECT_NEAR(text->position().y, newFrame->frame().maxY() - 10, 1);
    // Still drawn above the frame.
    const auto& subs = graph->sublayers();
    auto textIt = std::find(subs.begin(), subs.end(), text);
    auto frameIt = std::find(subs.begin(), subs.end(), newFrame);
    EXPECT_TRUE(textIt > frameIt);
    // The plot space reaches the new frame.
    EXPECT_EQ(graph->defaultPlotSpace()->graph()->plotAreaBoundsSize(), newFrame->plotArea()->bounds().size);

    // Without a frame there is nothing to pin the title to; it comes back
    // with the next frame.
    graph->setPlotAreaFrame(nullptr);
    EXPECT_FALSE(graph->titleAnnotation());
    EXPECT_FALSE(graph->hasPlotAreaFrame());
    graph->setPlotAreaFrame(oldFrame);
    ASSERT_TRUE(graph->titleAnnotation());
    EXPECT_EQ(graph->titleAnnotation()->anchorLayer(), oldFrame);
    EXPECT_EQ(std::dynamic_pointer_cast<CHTTextLayer>(graph->titleAnnotation()->contentLayer())->text(), "Title");
}

TEST(CHTGraphTest, PlotsAreAddedInsertedFoundAndRemoved) {
    std::vector<std::string> log;
    auto graph = laidOutGraph();
    auto a = std::make_shared<RecordingPlot>("a", log, false);
    auto b = std::make_shared<RecordingPlot>("b", log, false);
    auto c = std::make_shared<RecordingPlot>("c", log, false);
    a->setIdentifier(base::Value("first"));
    b->setIdentifier(base::Value("second"));
    graph->addPlot(nullptr);
    graph->addPlot(a);
    graph->addPlot(b);
    graph->insertPlot(c, 1);
    graph->insertPlot(nullptr, 0);
    EXPECT_EQ(graph->allPlots(), (std::vector<std::shared_ptr<CHTPlot>>{a, c, b}));
    EXPECT_EQ(a->plotSpace(), graph->defaultPlotSpace());
    EXPECT_EQ(a->graphLayer().get(), graph.get());
    EXPECT_EQ(a->superlayer(), graph->plotAreaFrame()->plotGroup().get());

    EXPECT_EQ(graph->plotWithIdentifier(base::Value("second")), b);
    EXPECT_EQ(graph->plotWithIdentifier(base::Value("none")), nullptr);
    EXPECT_EQ(graph->plotAtIndex(2), b);
    EXPECT_EQ(graph->plotAtIndex(3), nullptr);  // past the end: nothing
    EXPECT_EQ(graph->plotSpaceAtIndex(1), nullptr);

    std::string name;
    EXPECT_EQ(exceptionReason([&] { graph->insertPlot(std::make_shared<RecordingPlot>("d", log, false), 4); }, &name),
              "Tried to insert CHTPlot at index 4 beyond the 3 plots.");
    EXPECT_EQ(name, "CHTException");
    EXPECT_EQ(graph->allPlots().size(), 3u);

    graph->removePlotWithIdentifier(base::Value("unknown"));
    EXPECT_EQ(graph->allPlots().size(), 3u);
    graph->removePlotWithIdentifier(base::Value("first"));
    EXPECT_EQ(graph->allPlots(), (std::vector<std::shared_ptr<CHTPlot>>{c, b}));
    EXPECT_EQ(a->plotSpace(), nullptr);
    EXPECT_EQ(a->graphLayer(), nullptr);
    EXPECT_EQ(a->superlayer(), nullptr);

    graph->removePlot(c);
    EXPECT_EQ(graph->allPlots(), (std::vector<std::shared_ptr<CHTPlot>>{b}));
    EXPECT_EQ(exceptionReason([&] { graph->removePlot(c); }, &name), "Tried to remove CHTPlot which did not exist.");
    EXPECT_EQ(name, "CHTException");
}

TEST(CHTGraphTest, PlotSpacesAreAddedFoundAndRemovedWithTheirObservation) {
    auto graph = laidOutGraph();
    auto extra = std::make_shared<CHTXYPlotSpace>();
    extra->setIdentifier(base::Value("extra"));
    graph->addPlotSpace(extra);
    EXPECT_EQ(graph->plotSpaceWithIdentifier(base::Value("extra")), extra);
    EXPECT_EQ(graph->plotSpaceAtIndex(1), extra);
    EXPECT_EQ(extra->graph().get(), static_cast<CHTPlotSpaceGraph*>(graph.get()));

    // An axis on the extra space relabels when its mapping changes.
    auto axis = std::dynamic_pointer_cast<CHTXYAxisSet>(graph->axisSet())->yAxis();
    axis->setPlotSpace(extra);
    graph->layoutIfNeeded();
    axis->relabel();
    EXPECT_FALSE(axis->needsRelabel());
    extra->setYRange(CHTPlotRange::plotRangeWithLocation(D("0"), D("10")));
    EXPECT_TRUE(axis->needsRelabel());

    graph->removePlotSpace(extra);
    EXPECT_EQ(extra->graph(), nullptr);
    EXPECT_EQ(axis->plotSpace(), nullptr);
    EXPECT_EQ(graph->allPlotSpaces().size(), 1u);
    std::string name;
    EXPECT_EQ(exceptionReason([&] { graph->removePlotSpace(extra); }, &name),
              "Tried to remove CHTPlotSpace which did not exist.");
    EXPECT_EQ(name, "CHTException");

    // No longer followed.
    axis->setPlotSpace(extra);
    axis->relabel();
    extra->setYRange(CHTPlotRange::plotRangeWithLocation(D("0"), D("20")));
    EXPECT_FALSE(axis->needsRelabel());

    auto xAxis = std::dynamic_pointer_cast<CHTXYAxisSet>(graph->axisSet())->xAxis();
    graph->removePlotSpace(graph->defaultPlotSpace());
    EXPECT_EQ(graph->defaultPlotSpace(), nullptr);
    EXPECT_EQ(xAxis->plotSpace(), nullptr);
}

TEST(CHTGraphTest, AMappingChangeRedrawsThePlotsOfThatPlotSpaceAndRelabelsItsAxes) {
    std::vector<std::string> log;
    auto graph = laidOutGraph();
    auto other = std::make_shared<CHTXYPlotSpace>();
    graph->addPlotSpace(other);
    auto onDefault = std::make_shared<RecordingPlot>("p", log, false);
    auto onOther = std::make_shared<RecordingPlot>("q", log, false);
    graph->addPlot(onDefault);
    graph->addPlot(onOther, other);
    auto axisSet = std::dynamic_pointer_cast<CHTXYAxisSet>(graph->axisSet());
    for (const auto& axis : axisSet->axes()) axis->relabel();
    onDefault->clearNeedsDisplay();
    onOther->clearNeedsDisplay();

    auto plotSpace = std::dynamic_pointer_cast<CHTXYPlotSpace>(graph->defaultPlotSpace());
    plotSpace->setXRange(CHTPlotRange::plotRangeWithLocation(D("2"), D("3")));
    EXPECT_TRUE(onDefault->needsDisplay());
    EXPECT_FALSE(onOther->needsDisplay());
    EXPECT_TRUE(axisSet->xAxis()->needsRelabel());
    EXPECT_TRUE(axisSet->yAxis()->needsRelabel());
}

TEST(CHTGraphTest, EventsGoToTheLaterPlotFirstAndOtherwiseToEveryPlotSpace) {
    std::vector<std::string> log;
    auto graph = laidOutGraph();
    graph->removePlotSpace(graph->defaultPlotSpace());
    graph->addPlotSpace(std::make_shared<RecordingPlotSpace>("s1", log, false));
    graph->addPlotSpace(std::make_shared<RecordingPlotSpace>("s2", log, true));
    graph->addPlotSpace(std::make_shared<RecordingPlotSpace>("s3", log, false));
    graph->addPlot(std::make_shared<RecordingPlot>("early", log, true));
    graph->addPlot(std::make_shared<RecordingPlot>("late", log, true));

    EXPECT_TRUE(graph->pointingDeviceDownEvent(nullptr, gfx::Point(50, 50)));
    EXPECT_EQ(log, (std::vector<std::string>{"late:down"}));

    // No plot takes the event: the axis set and frame pass, then every plot
    // space is offered it, and one taking it is enough.
    log.clear();
    graph->removePlot(graph->plotAtIndex(0));
    graph->removePlot(graph->plotAtIndex(0));
    graph->addPlot(std::make_shared<RecordingPlot>("idle", log, false));
    EXPECT_TRUE(graph->pointingDeviceDownEvent(nullptr, gfx::Point(50, 50)));
    EXPECT_EQ(log, (std::vector<std::string>{"idle:down", "s1:down", "s2:down", "s3:down"}));

    log.clear();
    EXPECT_TRUE(graph->pointingDeviceCancelledEvent(nullptr));
    EXPECT_EQ(log, (std::vector<std::string>{"s1:cancelled", "s2:cancelled", "s3:cancelled"}));

    log.clear();
    EXPECT_FALSE(graph->pointingDeviceUpEvent(nullptr, gfx::Point(50, 50)));
    EXPECT_EQ(log, (std::vector<std::string>{"idle:up"}));
}

TEST(CHTGraphTest, TheLegendAnchorPicksTheContentAnchorPoint) {
    auto graph = laidOutGraph();
    const std::pair<int, gfx::Point> table[] = {
        {0, {0, 0}}, {1, {0.5, 0}}, {2, {1, 0}}, {3, {0, 0.5}},   {4, {1, 0.5}},
        {5, {0, 1}}, {6, {0.5, 1}}, {7, {1, 1}}, {8, {0.5, 0.5}}, {42, {0, 0}},
    };
    for (const auto& [anchor, point] : table) {
        graph->setLegendAnchor(anchor);
        EXPECT_EQ(graph->contentAnchorForLegend(), point) << anchor;
    }

    auto legend = std::make_shared<CHTLegend>(gfx::Rect(0, 0, 80, 20));
    graph->setLegendAnchor(CHTRectAnchorTopRight);
    graph->setLegend(legend);
    auto annotation = graph->legendAnnotation();
    ASSERT_TRUE(annotation);
    EXPECT_EQ(annotation->anchorLayer().get(), graph.get());
    EXPECT_EQ(annotation->contentAnchorPoint(), gfx::Point(1, 1));
    EXPECT_EQ(graph->legend(), legend);
    graph->setLegendAnchor(CHTRectAnchorBottomLeft);
    EXPECT_EQ(annotation->contentAnchorPoint(), gfx::Point(0, 0));
    graph->setLegend(nullptr);
    EXPECT_FALSE(graph->legendAnnotation());
    EXPECT_EQ(legend->superlayer(), nullptr);
}

TEST(CHTGraphTest, APlotSpaceOutlivingItsGraphCallsNothingThatIsGone) {
    std::shared_ptr<CHTXYPlotSpace> plotSpace;
    std::shared_ptr<CHTXYAxis> axis;
    {
        auto graph = laidOutGraph();
        graph->setTitle(std::string("Gone soon"));
        plotSpace = std::dynamic_pointer_cast<CHTXYPlotSpace>(graph->defaultPlotSpace());
        axis = std::dynamic_pointer_cast<CHTXYAxisSet>(graph->axisSet())->xAxis();
    }
    EXPECT_EQ(plotSpace->graph(), nullptr);
    // Under the sanitizers a call into the freed graph would fail here.
    plotSpace->setXRange(CHTPlotRange::plotRangeWithLocation(D("5"), D("5")));
    plotSpace->scaleBy(2, gfx::Point(1, 1));
    EXPECT_FALSE(plotSpace->pointingDeviceDownEvent(nullptr, gfx::Point(1, 1)));
}

TEST(CHTGraphTest, PaddingsRedrawTheAxes) {
    auto graph = laidOutGraph();
    auto axisSet = std::dynamic_pointer_cast<CHTXYAxisSet>(graph->axisSet());
    axisSet->xAxis()->clearNeedsDisplay();
    graph->setPaddingLeft(20);  // unchanged
    EXPECT_FALSE(axisSet->xAxis()->needsDisplay());
    graph->setPaddingLeft(35);
    EXPECT_EQ(graph->paddingLeft(), 35);
    EXPECT_TRUE(axisSet->xAxis()->needsDisplay());
}

// Five records along x = y.
class Diagonal : public CHTPlotDataSource {
public:
    std::size_t numberOfRecordsForPlot(CHTPlot*) override { return 5; }
    std::optional<double> doubleForPlot(CHTPlot*, std::size_t, std::size_t index) override {
        ++asked;
        return static_cast<double>(index);
    }
    int asked = 0;
};

TEST(CHTGraphTest, PDFOutputReloadsThePlotsAndRelabelsTheAxesFirst) {
    auto graph = laidOutGraph();
    auto source = std::make_shared<Diagonal>();
    auto plot = std::make_shared<CHTScatterPlot>();
    plot->setDataSource(source);
    graph->addPlot(plot);
    auto xAxis = std::dynamic_pointer_cast<CHTXYAxisSet>(graph->axisSet())->xAxis();
    ASSERT_TRUE(plot->dataNeedsReloading());
    auto pdf = graph->dataForPDFRepresentationOfLayer();
    EXPECT_FALSE(pdf.empty());
    EXPECT_FALSE(plot->dataNeedsReloading());
    EXPECT_EQ(plot->cachedDataCount(), 5u);
    EXPECT_GT(source->asked, 0);
    EXPECT_FALSE(xAxis->needsRelabel());
    EXPECT_FALSE(xAxis->majorTickLocations().empty());

    // The graph's own reload asks again at once.
    source->asked = 0;
    graph->reloadData();
    EXPECT_EQ(source->asked, 10);
}

TEST(CHTGraphTest, AnArchivedGraphComesBackWholeAndFollowsItsPlotSpace) {
    CHTRegisterCodingClasses();
    auto graph = laidOutGraph();
    graph->setTitle(std::string("Archived"));
    graph->setTitlePlotAreaFrameAnchor(CHTRectAnchorTopLeft);
    graph->setTitleDisplacement(gfx::Point(3, 4));
    graph->setLegendAnchor(CHTRectAnchorRight);
    auto plot = std::make_shared<CHTScatterPlot>();
    plot->setIdentifier(base::Value("line"));
    graph->addPlot(plot);

    auto data = base::KeyedArchiver::archivedDataWithRootObject(graph);
    auto decoded = base::KeyedUnarchiver::unarchiveObjectOfType<CHTXYGraph>(data);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->title(), std::optional<std::string>("Archived"));
    EXPECT_EQ(decoded->titlePlotAreaFrameAnchor(), CHTRectAnchorTopLeft);
    EXPECT_EQ(decoded->titleDisplacement(), gfx::Point(3, 4));
    EXPECT_EQ(decoded->legendAnchor(), CHTRectAnchorRight);
    EXPECT_EQ(decoded->paddingLeft(), 20);
    ASSERT_TRUE(decoded->plotAreaFrame());
    EXPECT_EQ(decoded->plotAreaFrame()->superlayer(), decoded.get());
    EXPECT_TRUE(decoded->plotArea());
    ASSERT_EQ(decoded->allPlots().size(), 1u);
    auto decodedPlot = decoded->plotWithIdentifier(base::Value("line"));
    ASSERT_TRUE(decodedPlot);
    EXPECT_EQ(decodedPlot->graphLayer().get(), decoded.get());
    ASSERT_EQ(decoded->allPlotSpaces().size(), 1u);
    auto plotSpace = std::dynamic_pointer_cast<CHTXYPlotSpace>(decoded->defaultPlotSpace());
    ASSERT_TRUE(plotSpace);
    EXPECT_EQ(plotSpace->graph().get(), static_cast<CHTPlotSpaceGraph*>(decoded.get()));
    ASSERT_TRUE(decoded->titleAnnotation());
    EXPECT_EQ(decoded->titleAnnotation()->annotationHostLayer().get(), decoded.get());

    // The decoded graph follows its plot space's mapping changes.
    decodedPlot->clearNeedsDisplay();
    plotSpace->setXRange(CHTPlotRange::plotRangeWithLocation(D("7"), D("2")));
    EXPECT_TRUE(decodedPlot->needsDisplay());
}

}  // namespace
