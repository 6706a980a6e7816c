// The plot base against fake data sources: which operation is asked, the
// number cache and its precision, partial reloads, insertion and deletion,
// data ranges, data labels and the legend notifications.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include <malloc.h>

#include "TestEnvironment.h"
#include "charts/CHTColor.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTMutableTextStyle.h"
#include "charts/CHTPlotSpaceAnnotation.h"
#include "charts/CHTTextLayer.h"
#include "charts/PlotTestSupport.h"
#include "platform/base/NotificationCenter.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Image.h"

using namespace plottest;
using charttest::D;

namespace {

std::vector<double> doublesOf(const CHTPlot& plot, std::size_t field) {
    std::vector<double> out;
    auto data = plot.cachedNumbersForField(field);
    if (!data) return out;
    for (std::size_t i = 0; i < data->numberOfSamples(); ++i) out.push_back(plot.cachedDoubleForField(field, i));
    return out;
}

std::string labelText(const CHTPlot& plot, std::size_t i) {
    const auto& labels = plot.labelAnnotations();
    if (i >= labels.size() || !labels[i] || !labels[i]->contentLayer()) return "-";
    auto text = std::dynamic_pointer_cast<CHTTextLayer>(labels[i]->contentLayer());
    return text ? text->text() : "layer";
}

std::shared_ptr<TableSource> xySource(Answer answer, std::vector<double> x, std::vector<double> y) {
    auto source = std::make_shared<TableSource>(answer);
    source->set(0, std::move(x));
    source->set(1, std::move(y));
    return source;
}

}  // namespace

TEST(CHTPlotTest, ThePreferredNumberOperationIsAsked) {
    const std::vector<std::pair<Answer, std::string>> cases{{Answer::Data, "data 0 0 3"},
                                                            {Answer::Doubles, "doubles 0 0 3"},
                                                            {Answer::Numbers, "numbers 0 0 3"},
                                                            {Answer::Double, "double 0 0"},
                                                            {Answer::Number, "number 0 0"}};
    for (const auto& [answer, first] : cases) {
        auto source = xySource(answer, {1, 2, 3}, {4, 5, 6});
        auto plot = std::make_shared<CHTScatterPlot>();
        plot->setDataSource(source);
        EXPECT_TRUE(plot->dataNeedsReloading());
        plot->reloadData();
        EXPECT_FALSE(plot->dataNeedsReloading());
        ASSERT_FALSE(source->log.empty());
        EXPECT_EQ(source->log.front(), first);
        EXPECT_EQ(doublesOf(*plot, 1), (std::vector<double>{4, 5, 6})) << first;
        EXPECT_TRUE(plot->doublePrecisionCache()) << first;
    }
}

TEST(CHTPlotTest, CountOnlySourceGivesDecimalZerosAndNilGivesNaN) {
    auto counting = std::make_shared<TableSource>(Answer::CountOnly);
    counting->count = 3;
    auto plot = std::make_shared<CHTScatterPlot>();
    plot->setDataSource(counting);
    plot->reloadData();
    auto y = plot->cachedNumbersForField(1);
    ASSERT_TRUE(y);
    EXPECT_EQ(y->dataTypeFormat(), CHTDecimalDataType);
    EXPECT_FALSE(plot->doublePrecisionCache());
    for (std::size_t i = 0; i < 3; ++i) EXPECT_TRUE(CHTDecimalEquals(plot->cachedDecimalForField(1, i), D("0")));

    // A nil answer is a not-a-number sample.
    auto gappy = xySource(Answer::Number, {0, 1, 2}, {5, NaN, 7});
    plot->setDataSource(gappy);
    plot->reloadData();
    EXPECT_TRUE(std::isnan(plot->cachedDoubleForField(1, 1)));
    EXPECT_EQ(plot->cachedDoubleForField(1, 2), 7);
    // A field that is not cached reads as not-a-number.
    EXPECT_TRUE(std::isnan(plot->cachedDoubleForField(7, 0)));
    EXPECT_TRUE(CHTDecimalIsNaN(plot->cachedDecimalForField(7, 0)));
    EXPECT_FALSE(plot->cachedNumberForField(7, 0));

    // No data source: nothing is asked and the fields are cleared.
    plot->setDataSource(nullptr);
    plot->reloadData();
    EXPECT_FALSE(plot->cachedNumbersForField(0));
    EXPECT_EQ(plot->cachedDataCount(), 0u);
}

TEST(CHTPlotTest, CachePrecisionAutomaticDoubleAndDecimal) {
    // Automatic: the last numbers cached decide the type of the whole cache.
    auto plot = std::make_shared<CHTScatterPlot>();
    plot->setXValues(CHTPlotNumberArray{base::Number(D("1.5")), base::Number(D("2.5"))});
    EXPECT_FALSE(plot->doublePrecisionCache());
    plot->setYValues(CHTPlotNumberArray{base::Number(3.0), base::Number(4.0)});
    EXPECT_TRUE(plot->doublePrecisionCache());
    EXPECT_EQ(plot->cachedNumbersForField(0)->dataTypeFormat(), CHTFloatingPointDataType);
    EXPECT_EQ(plot->cachedDoubleForField(0, 1), 2.5);

    plot->setCachePrecision(CHTPlotCachePrecisionDecimal);
    EXPECT_FALSE(plot->doublePrecisionCache());
    EXPECT_EQ(plot->cachedNumbersForField(1)->dataTypeFormat(), CHTDecimalDataType);
    plot->setYValues(CHTPlotNumberArray{base::Number(8.0), base::Number(9.0)});
    EXPECT_EQ(plot->cachedNumbersForField(1)->dataTypeFormat(), CHTDecimalDataType);
    EXPECT_TRUE(CHTDecimalEquals(plot->cachedDecimalForField(1, 0), D("8")));

    plot->setCachePrecision(CHTPlotCachePrecisionDouble);
    EXPECT_TRUE(plot->doublePrecisionCache());
    EXPECT_EQ(plot->cachedNumbersForField(0)->dataTypeFormat(), CHTFloatingPointDataType);

    // An invalid precision is refused: the old one stays, then it raises.
    try {
        plot->setCachePrecision(7);
        FAIL() << "no exception";
    } catch (const base::Exception& e) {
        EXPECT_EQ(e.name(), "NSInvalidArgumentException");
        EXPECT_EQ(e.reason(), "Invalid cache precision");
    }
    EXPECT_EQ(plot->cachePrecision(), CHTPlotCachePrecisionDouble);

    // Numbers in no accepted form.
    try {
        plot->numericDataForNumbers(std::monostate{});
        FAIL() << "no exception";
    } catch (const base::Exception& e) {
        EXPECT_EQ(e.name(), "CHTException");
        EXPECT_EQ(e.reason(), "Unsupported number array format");
    }
}

TEST(CHTPlotTest, ShortAnswersFillOnlyWhatTheyHold) {
    auto source = xySource(Answer::Doubles, {0, 1, 2, 3}, {10, 11, 12, 13});
    auto plot = std::make_shared<CHTScatterPlot>();
    plot->setDataSource(source);
    plot->reloadData();
    EXPECT_EQ(doublesOf(*plot, 1), (std::vector<double>{10, 11, 12, 13}));
    // A buffer of two doubles for a range of three: the third record keeps
    // what it held.
    source->fields[1] = {20, 21, 22, 23};
    source->doublesLimit = 2;
    plot->reloadDataInIndexRange({1, 3});
    EXPECT_EQ(doublesOf(*plot, 1), (std::vector<double>{10, 21, 22, 13}));

    // Plain bytes of one and a half doubles: only the whole sample is taken.
    base::Data bytes(12, 0);
    double v = 99;
    std::memcpy(bytes.data(), &v, sizeof v);
    plot->cacheNumbers(bytes, 1, 0);
    EXPECT_EQ(doublesOf(*plot, 1), (std::vector<double>{99, 21, 22, 13}));

    // A range past the record count is an assertion failure.
    charttest::ScopedAssertionRecorder recorder;
    EXPECT_ANY_THROW(plot->reloadDataInIndexRange({3, 2}));
    ASSERT_EQ(recorder.failures().size(), 1u);
    EXPECT_EQ(
        recorder.failures()[0].description,
        "Invalid parameter not satisfying: NSMaxRange(indexRange) <= [self.dataSource numberOfRecordsForPlot:self]");
    EXPECT_EQ(recorder.failures()[0].file, "Charts/Source/CHTPlot");
}

TEST(CHTPlotTest, InsertAndDeletePullAndShiftTheRightRecords) {
    auto source = xySource(Answer::Number, {0, 1, 2, 3}, {10, 11, 12, 13});
    auto plot = std::make_shared<CHTScatterPlot>();
    plot->setDataSource(source);
    plot->reloadData();
    // A field of its own with only two samples.
    plot->cacheNumbers(CHTPlotNumberArray{base::Number(1.0), base::Number(2.0)}, 5, 0);
    plot->cacheNumbers(CHTPlotNumberArray{base::Number(1.0), base::Number(2.0)}, 5, 0);
    auto five = plot->cachedNumbersForField(5);
    five->setShape({2});
    source->log.clear();

    // Two records come in at 1: records 1 to the end are pulled again.
    source->fields[0] = {0, 100, 101, 1, 2, 3};
    source->fields[1] = {10, 200, 201, 11, 12, 13};
    source->count = 6;
    plot->insertDataAtIndex(1, 2);
    EXPECT_EQ(plot->cachedDataCount(), 6u);
    EXPECT_EQ(doublesOf(*plot, 1), (std::vector<double>{10, 200, 201, 11, 12, 13}));
    EXPECT_EQ(source->log.front(), "number 0 1");
    EXPECT_EQ(
        std::count_if(source->log.begin(), source->log.end(), [](const std::string& s) { return s == "number 1 0"; }),
        0);
    // The short field moved by its own count: its second sample is now at 3.
    ASSERT_EQ(plot->cachedNumbersForField(5)->numberOfSamples(), 4u);
    EXPECT_EQ(plot->cachedDoubleForField(5, 0), 1);
    EXPECT_EQ(plot->cachedDoubleForField(5, 3), 2);

    // Deleting asks nothing and closes the gap in every field.
    source->log.clear();
    plot->deleteDataInIndexRange({0, 2});
    EXPECT_TRUE(source->log.empty());
    EXPECT_EQ(plot->cachedDataCount(), 4u);
    EXPECT_EQ(doublesOf(*plot, 1), (std::vector<double>{201, 11, 12, 13}));
    EXPECT_EQ(plot->labelIndexRange(), (CHTRecordRange{0, 4}));
    ASSERT_EQ(plot->cachedNumbersForField(5)->numberOfSamples(), 2u);
    EXPECT_EQ(plot->cachedDoubleForField(5, 1), 2);

    charttest::ScopedAssertionRecorder recorder;
    EXPECT_ANY_THROW(plot->deleteDataInIndexRange({3, 2}));
    EXPECT_EQ(recorder.failures().at(0).description,
              "Invalid parameter not satisfying: NSMaxRange(indexRange) <= self.cachedDataCount");
    EXPECT_ANY_THROW(plot->insertDataAtIndex(5, 1));
    EXPECT_EQ(recorder.failures().at(1).description, "Invalid parameter not satisfying: index <= self.cachedDataCount");
}

TEST(CHTPlotTest, RangesSkipNaNAndMergeAlongACoordinate) {
    auto source = xySource(Answer::Number, {3, NaN, -1, 7}, {2, 2, 2, 2});
    auto plot = std::make_shared<CHTScatterPlot>();
    plot->setDataSource(source);
    // A plot that needs reloading reloads before it answers.
    auto x = plot->plotRangeForCoordinate(CHTCoordinateX);
    ASSERT_TRUE(x);
    EXPECT_TRUE(CHTDecimalEquals(x->location(), D("-1")));
    EXPECT_TRUE(CHTDecimalEquals(x->length(), D("8")));
    // All equal: no range.
    EXPECT_FALSE(plot->plotRangeForCoordinate(CHTCoordinateY));
    EXPECT_THROW(plot->plotRangeForCoordinate(2), base::Exception);

    // The same in a decimal cache.
    plot->setCachePrecision(CHTPlotCachePrecisionDecimal);
    x = plot->plotRangeForField(0);
    ASSERT_TRUE(x);
    EXPECT_TRUE(CHTDecimalEquals(x->location(), D("-1")));
    EXPECT_TRUE(CHTDecimalEquals(x->length(), D("8")));

    // One record, or only NaN: no range.
    source->set(0, {4});
    source->set(1, {NaN});
    plot->reloadData();
    EXPECT_FALSE(plot->plotRangeForField(0));
    EXPECT_FALSE(plot->plotRangeForField(1));

    // Fitting a plot space to the plot.
    source->set(0, {0, 10});
    source->set(1, {-5, 5});
    plot->reloadData();
    Stage stage({100, 100}, 0, 1, 0, 1);
    stage.space->scaleToFitPlots({plot});
    EXPECT_TRUE(CHTDecimalEquals(stage.space->xRange()->length(), D("10")));
    EXPECT_TRUE(CHTDecimalEquals(stage.space->yRange()->location(), D("-5")));
}

TEST(CHTPlotTest, InfiniteSamplesAreLeftOutOfRangesAndFitting) {
    const double inf = std::numeric_limits<double>::infinity();
    auto source = xySource(Answer::Number, {0, 1, 2, 3}, {1, inf, 3, -inf});
    auto plot = std::make_shared<CHTScatterPlot>();
    plot->setDataSource(source);
    auto y = plot->plotRangeForCoordinate(CHTCoordinateY);
    ASSERT_TRUE(y);
    EXPECT_TRUE(CHTDecimalEquals(y->location(), D("1")));
    EXPECT_TRUE(CHTDecimalEquals(y->length(), D("2")));
    // Scale to fit: both axes follow the finite data.
    Stage stage({100, 100}, 0, 1, 0, 1);
    stage.space->scaleToFitPlots({plot});
    EXPECT_TRUE(CHTDecimalEquals(stage.space->xRange()->length(), D("3")));
    EXPECT_TRUE(CHTDecimalEquals(stage.space->yRange()->location(), D("1")));
    EXPECT_TRUE(CHTDecimalEquals(stage.space->yRange()->length(), D("2")));
}

TEST(CHTPlotTest, SamplesBeyondADecimalAreLeftOutOfFittingAndTheRestDraws) {
    // Above about 3.4e165 a double has no decimal value.
    for (double huge : {1e200, std::numeric_limits<double>::max()}) {
        for (bool bars : {false, true}) {
            SCOPED_TRACE(testing::Message() << huge << (bars ? " bars" : " scatter"));
            Stage stage({100, 100}, 0, 1, 0, 1);
            auto source = std::make_shared<TableSource>(Answer::Number);
            std::shared_ptr<CHTPlot> plot;
            if (bars) {
                source->set(CHTBarPlotFieldBarLocation, {0, 1, 2, 3, 4});
                source->set(CHTBarPlotFieldBarTip, {10, huge, 20, 30, -huge});
                auto bar = stage.add(CHTBarPlot::tubularBarPlotWithColor(CHTColor::greenColor(), false));
                bar->setBaseValue(D("10"));
                plot = bar;
            } else {
                // The huge samples break the line as infinite ones do: the
                // points from 20 to 30 stay joined.
                source->set(CHTScatterPlotFieldX, {0, 1, 2, 3, 4});
                source->set(CHTScatterPlotFieldY, {10, huge, 20, 30, -huge});
                auto scatter = stage.add(std::make_shared<CHTScatterPlot>());
                auto line = CHTLineStyle::lineStyle();
                line->setLineWidth(3);
                scatter->setDataLineStyle(line);
                plot = scatter;
            }
            plot->setDataSource(source);
            stage.space->scaleToFitPlots({plot});
            auto y = stage.space->yRange();
            EXPECT_TRUE(CHTDecimalEquals(y->location(), D("10"))) << y->description();
            EXPECT_TRUE(CHTDecimalEquals(y->length(), D("20"))) << y->description();
            EXPECT_TRUE(CHTDecimalEquals(stage.space->xRange()->length(), D("4")));

            gfx::ImageContext ctx({100, 100}, 1, gfx::YAxis::Up);
            plot->drawInContext(ctx);
            EXPECT_EQ(ctx.status(), 0);
            auto image = ctx.image();
            int painted = 0;
            for (int py = 0; py < 100; ++py)
                for (int px = 0; px < 100; ++px) painted += image->pixel(px, py).a > 0;
            EXPECT_GT(painted, 100);
        }
    }
}

TEST(CHTPlotTest, TitleAndStyleChangesNotifyTheLegend) {
    auto plot = std::make_shared<CHTScatterPlot>();
    std::vector<std::string> posted;
    auto& center = base::NotificationCenter::defaultCenter();
    int owner = 0;
    center.addObserver(&owner, "", dynamic_cast<const void*>(plot.get()),
                       [&](const base::Notification& n) { posted.push_back(n.name); });
    plot->setTitle(std::string("Reps"));
    plot->setTitle(std::string("Reps"));  // unchanged: nothing
    plot->setAreaFill(CHTFill::fillWithColor(CHTColor::greenColor()));
    center.removeObserver(&owner);
    EXPECT_EQ(posted, (std::vector<std::string>{CHTLegendNeedsLayoutForPlotNotification,
                                                CHTLegendNeedsRedrawForPlotNotification}));
    EXPECT_EQ(plot->titleForLegendEntryAtIndex(0), "Reps");
    plot->setTitle(std::nullopt);
    plot->setIdentifier(base::Value("id"));
    EXPECT_EQ(plot->titleForLegendEntryAtIndex(0), "id");
}

TEST(CHTPlotTest, DataLabelsFollowTheRecords) {
    Stage stage({100, 100}, 0, 10, 0, 10);
    auto source = xySource(Answer::Number, {1, 2, 3, 4}, {5, NaN, 7, 8});
    auto plot = stage.add(std::make_shared<CHTScatterPlot>());
    plot->setDataSource(source);
    plot->reloadData();
    plot->relabel();
    EXPECT_TRUE(plot->labelAnnotations().empty());  // no style, no data-source labels

    plot->setLabelTextStyle(CHTTextStyle::textStyle());
    ASSERT_TRUE(plot->labelFormatter());
    // A layout pass makes the labels, loading data that is not loaded yet.
    plot->setDataNeedsReloading();
    plot->layoutIfNeeded();
    EXPECT_FALSE(plot->dataNeedsReloading());
    ASSERT_EQ(plot->labelAnnotations().size(), 4u);
    EXPECT_EQ(labelText(*plot, 0), "5.0");
    EXPECT_EQ(labelText(*plot, 1), "-");  // not a number: no label
    EXPECT_EQ(labelText(*plot, 3), "8.0");
    EXPECT_EQ(plot->annotations().size(), 4u);
    auto anchor = plot->labelAnnotations()[2]->anchorPlotPoint();
    ASSERT_EQ(anchor.size(), 2u);
    EXPECT_TRUE(CHTDecimalEquals(anchor[0], D("3")));
    // Labels sit above their points: the bottom middle of the text touches it.
    EXPECT_EQ(plot->labelAnnotations()[0]->contentAnchorPoint(), gfx::Point(0.5f, 0));

    // A new formatter relabels every record, not just the last range.
    plot->relabelIndexRange({3, 1});
    plot->relabel();
    auto formatter = std::make_shared<base::NumberFormatter>();
    formatter->setMinimumFractionDigits(2);
    formatter->setMaximumFractionDigits(2);
    plot->setLabelFormatter(formatter);
    plot->relabel();
    EXPECT_EQ(labelText(*plot, 0), "5.00");

    // The data source's labels: null for none, nil for the default one.
    source->labels = true;
    source->labelAnswers[0] = CHTDataSourceObject<CHTLayer>::null();
    source->labelAnswers[2] = CHTDataSourceObject<CHTLayer>::of(std::make_shared<CHTLayer>());
    plot->setNeedsRelabel();
    plot->relabel();
    EXPECT_EQ(labelText(*plot, 0), "-");
    EXPECT_EQ(labelText(*plot, 2), "layer");
    EXPECT_EQ(labelText(*plot, 3), "8.00");

    // Deleting the last records removes their labels from the plot.
    plot->deleteDataInIndexRange({2, 2});
    plot->relabel();
    EXPECT_EQ(plot->labelAnnotations().size(), 2u);
    EXPECT_EQ(plot->annotations().size(), 2u);

    // Without a style and data-source labels, every label goes.
    source->labels = false;
    plot->setLabelTextStyle(nullptr);
    plot->relabel();
    EXPECT_TRUE(plot->labelAnnotations().empty());
    EXPECT_TRUE(plot->annotations().empty());
}

TEST(CHTPlotTest, LabelsOfALaterRangeKeepIndexEqualToRecord) {
    Stage stage({100, 100}, 0, 10, 0, 10);
    auto source = xySource(Answer::Number, {1, 2, 3, 4, 5}, {1, 2, 3, 4, 5});
    auto plot = stage.add(std::make_shared<CHTScatterPlot>());
    plot->setDataSource(source);
    plot->reloadData();
    plot->relabel();  // no style yet: no labels
    source->labels = true;
    plot->relabelIndexRange({3, 2});
    plot->relabel();
    ASSERT_EQ(plot->labelAnnotations().size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        auto anchor = plot->labelAnnotations()[i]->anchorPlotPoint();
        ASSERT_EQ(anchor.size(), 2u);
        EXPECT_TRUE(CHTDecimalEquals(anchor[0], CHTDecimalFromInteger(long(i + 1)))) << i;
    }
    // A new plot space: the labels are pinned in it anew.
    Stage other({100, 100}, 0, 10, 0, 10);
    auto before = plot->labelAnnotations()[0];
    plot->setPlotSpace(other.space);
    plot->relabel();
    ASSERT_EQ(plot->labelAnnotations().size(), 5u);
    EXPECT_NE(plot->labelAnnotations()[0], before);
    EXPECT_EQ(plot->labelAnnotations()[0]->plotSpace(), other.space);
    EXPECT_EQ(plot->annotations().size(), 5u);

    // A missing label sample is no label, not "0.0".
    plot->setLabelTextStyle(CHTTextStyle::textStyle());
    plot->setLabelField(9);
    plot->setNeedsRelabel();
    plot->relabel();
    EXPECT_EQ(labelText(*plot, 0), "-");
}

TEST(CHTPlotTest, RelabellingWithoutDrawingKeepsTheSlotListsAndMemoryBounded) {
    constexpr std::size_t kRecords = 200;
    std::vector<double> x, y;
    for (std::size_t i = 0; i < kRecords; ++i) {
        x.push_back(double(i % 10));
        y.push_back(double(i % 7));
    }
    Stage stage({100, 100}, 0, 10, 0, 10);
    auto source = xySource(Answer::Number, x, y);
    auto plot = stage.add(std::make_shared<CHTScatterPlot>());
    plot->setDataSource(source);
    plot->setLabelTextStyle(CHTTextStyle::textStyle());
    plot->reloadData();
    plot->relabel();
    ASSERT_EQ(plot->sublayers().size(), kRecords);

    // Each relabel gives every label a new text layer, taking the old one
    // out of the plot's sublayers; nothing reads or draws the plot between.
    // In use from the heap, mapped blocks included.
    const auto heapInUse = [] {
        const struct mallinfo2 info = mallinfo2();
        return info.uordblks + info.hblkhd;
    };
    const std::size_t heapBefore = heapInUse();
    for (int round = 0; round < 1000; ++round) {
        plot->setNeedsRelabel();
        plot->relabel();
    }
    const std::size_t heapAfter = heapInUse();
    // A slot kept per replaced layer would be 1,000 x 200 x 16 bytes (3.2 MB).
    EXPECT_LT(heapAfter, heapBefore + 512 * 1024) << (long long)heapAfter - (long long)heapBefore << " bytes more";
    EXPECT_EQ(plot->sublayers().size(), kRecords);
    EXPECT_LE(plot->sublayers().capacity(), 4 * kRecords);
    EXPECT_EQ(plot->annotations().size(), kRecords);
}
