#include "screens/DrawGraphViewController.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "charts/CHTAxisLabel.h"
#include "charts/CHTBarPlot.h"
#include "charts/CHTColor.h"
#include "charts/CHTFill.h"
#include "charts/CHTGradient.h"
#include "charts/CHTGraphHostingView.h"
#include "charts/CHTLayerAnnotation.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTMutableTextStyle.h"
#include "charts/CHTPlotAreaFrame.h"
#include "charts/CHTPlotRange.h"
#include "charts/CHTPlotSymbol.h"
#include "charts/CHTScatterPlot.h"
#include "charts/CHTTextStyleExtensions.h"
#include "charts/CHTTheme.h"
#include "charts/CHTXYAxis.h"
#include "charts/CHTXYAxisSet.h"
#include "charts/CHTXYGraph.h"
#include "charts/CHTXYPlotSpace.h"
#include "platform/base/NumberFormatter.h"
#include "training/DataAccess.h"

namespace {

// Whole numbers only on the value axis.
std::shared_ptr<base::NumberFormatter> wholeNumbers() {
    auto formatter = std::make_shared<base::NumberFormatter>();
    formatter->setMaximumFractionDigits(0);
    return formatter;
}

std::shared_ptr<CHTPlotRange> range(long long length) {
    return CHTPlotRange::plotRangeWithLocation(CHTDecimalFromFloat(0), CHTDecimalFromFloat(static_cast<float>(length)));
}

}  // namespace

DrawGraphViewController::DrawGraphViewController() : ui::ViewController("DrawGraphViewController") {}

DrawGraphViewController::~DrawGraphViewController() = default;

long long DrawGraphViewController::dayTotal(const Log& log) {
    return static_cast<long long>(log.rep1()) + log.rep2() + log.rep3() + log.rep4() + log.rep5() + log.rep6() +
           log.rep7() + log.rep8() + log.rep9();
}

long long DrawGraphViewController::maxTotal(const std::vector<std::shared_ptr<Log>>& days) {
    long long best = 0;
    bool any = false;
    for (const auto& day : days) {
        if (!day) continue;
        const long long total = dayTotal(*day);
        best = any ? std::max(best, total) : total;
        any = true;
    }
    // A log of nothing but zeros would leave the value axis without a length.
    return (!any || best <= 0) ? 5 : best;
}

long long DrawGraphViewController::barRangeLength(std::size_t days) {
    return std::max<long long>(10, static_cast<long long>(days) + 1);
}

long long DrawGraphViewController::barOffset(std::size_t days) {
    return std::clamp<long long>(barRangeLength(days) - static_cast<long long>(days), 1, 5);
}

double DrawGraphViewController::labelInterval(double preferred, double rangeLength, double axisLength,
                                              double labelExtent) {
    constexpr double kGap = 6;
    if (!(preferred > 0) || !(rangeLength > 0) || !(axisLength > 0) || !std::isfinite(rangeLength)) return preferred;
    // Neighbouring labels stand axisLength * interval / rangeLength apart.
    const double least = rangeLength * (std::max(0.0, labelExtent) + kGap) / axisLength;
    if (preferred >= least) return preferred;
    for (double power = 1; power < 1e300; power *= 10)
        for (double step : {1.0, 2.0, 5.0}) {
            const double interval = step * power;
            if (interval > preferred && interval >= least) return interval;
        }
    return preferred;
}

std::shared_ptr<CHTGraphHostingView> DrawGraphViewController::hostingView() {
    return std::dynamic_pointer_cast<CHTGraphHostingView>(view());
}

void DrawGraphViewController::loadView() {
    auto view = CHTGraphHostingView::create(ui::Rect(0, 0, 320, 416));
    view->setAutoresizingMask(ui::Autoresizing::FlexibleWidth | ui::Autoresizing::FlexibleHeight);
    setView(view);
}

void DrawGraphViewController::viewDidLoad() {
    graphData_ = DataAccess::getLogData();
    if (graphType_) drawBarGraph();
    else drawGraph();
}

void DrawGraphViewController::reloadGraph() {
    graphData_.clear();
    if (!isViewLoaded()) {
        view();  // loading it reads the log and draws
        return;
    }
    viewDidLoad();
}

std::shared_ptr<CHTPlotDataSource> DrawGraphViewController::asDataSource() {
    // Shares the controller's ownership; the plots keep only a weak pointer.
    return std::shared_ptr<CHTPlotDataSource>(shared_from_this(), static_cast<CHTPlotDataSource*>(this));
}

void DrawGraphViewController::makeGraph(CGFloat frameLeft, CGFloat frameRight) {
    barChart_ = CHTXYGraph::create(gfx::Rect::zero());
    barChart_->applyTheme(CHTTheme::themeNamed(kCHTDarkGradientTheme));
    if (auto host = hostingView()) host->setHostedGraph(barChart_);

    barChart_->setPaddingLeft(0);
    barChart_->setPaddingRight(0);
    barChart_->setPaddingTop(0);
    barChart_->setPaddingBottom(0);

    auto frame = barChart_->plotAreaFrame();
    frame->setPaddingLeft(frameLeft);
    frame->setPaddingTop(20);
    frame->setPaddingRight(frameRight);
    frame->setPaddingBottom(50);

    auto titleStyle = CHTTextStyle::textStyle();
    titleStyle->setColor(CHTColor::grayColor());
    titleStyle->setFontSize(16);
    barChart_->setTitleTextStyle(titleStyle);
    barChart_->setTitle(std::string("Total Reps per Day"));
    barChart_->setTitleDisplacement(gfx::Point(0, -20));
    barChart_->setTitlePlotAreaFrameAnchor(CHTRectAnchorTop);
}

void DrawGraphViewController::setFittingInterval(CHTXYAxis& axis, double preferred, double rangeLength) {
    // The page's plot area: the hosting view less the plot area frame's
    // paddings (the graph itself has none).
    const gfx::Rect page = barChart_->bounds();
    const auto frame = barChart_->plotAreaFrame();
    const bool across = axis.coordinate() == CHTCoordinateX;
    const double axisLength = across ? page.width() - frame->paddingLeft() - frame->paddingRight()
                                     : page.height() - frame->paddingTop() - frame->paddingBottom();
    // The widest label is the one at the end of the range.
    const auto formatter = axis.labelFormatter();
    const std::string text = formatter ? formatter->stringFromNumber(rangeLength) : std::to_string(rangeLength);
    const gfx::Size size = sizeWithTextStyle(text, axis.labelTextStyle().get());
    const double interval = labelInterval(preferred, rangeLength, axisLength, across ? size.width : size.height);
    axis.setMajorIntervalLength(interval == preferred ? CHTDecimalFromFloat(static_cast<float>(preferred))
                                                      : CHTDecimalFromDouble(interval));
}

void DrawGraphViewController::excludeLabelPastRightEdge(CHTXYAxis& axis, double rangeLength) {
    const double interval = CHTDecimalDoubleValue(axis.majorIntervalLength());
    if (!(interval > 0) || !(rangeLength > 0) || !std::isfinite(rangeLength)) return;
    // Labels stand centred under their ticks, at whole intervals from 0; the
    // last one, near the end of a long log, can reach past the page's right
    // edge and be cut off. It is left out (with its tick) rather than drawn
    // in part, as the bar graph's "Days" label is.
    // The plot area frame fills the page; it shows its sublayers, the labels
    // among them, inside its border line only, and the plot area starts half
    // a border line inside its paddings.
    const double last = std::floor(rangeLength / interval) * interval;
    const gfx::Rect page = barChart_->bounds();
    const auto frame = barChart_->plotAreaFrame();
    const double border = frame->borderLineStyle() ? frame->borderLineStyle()->lineWidth() : 0.0;
    const double plotLeft = frame->paddingLeft() + border / 2;
    const double plotWidth = page.width() - frame->paddingLeft() - frame->paddingRight() - border;
    const auto formatter = axis.labelFormatter();
    const std::string text = formatter ? formatter->stringFromNumber(last) : std::to_string(last);
    const double halfWidth = sizeWithTextStyle(text, axis.labelTextStyle().get()).width / 2;
    const double right = plotLeft + plotWidth * last / rangeLength + halfWidth;
    if (right <= page.width() - border) {
        axis.setLabelExclusionRanges({});
        return;
    }
    // A quarter of an interval on each side: the minor tick between it and
    // the label before it stays.
    axis.setLabelExclusionRanges({CHTPlotRange::plotRangeWithLocation(CHTDecimalFromDouble(last - interval / 4),
                                                                      CHTDecimalFromDouble(interval / 2))});
}

void DrawGraphViewController::drawGraph() {
    const long long max = maxTotal(graphData_);
    makeGraph(50, 20);

    auto plotSpace = std::dynamic_pointer_cast<CHTXYPlotSpace>(barChart_->defaultPlotSpace());
    plotSpace->setYRange(range(max + 5));
    plotSpace->setXRange(range(static_cast<long long>(graphData_.size()) + 1));

    auto axisSet = std::dynamic_pointer_cast<CHTXYAxisSet>(barChart_->axisSet());
    auto x = axisSet->xAxis();
    // Every second day, unless a long log would crowd the labels.
    setFittingInterval(*x, 2.0, static_cast<double>(graphData_.size()) + 1);
    x->setOrthogonalCoordinateDecimal(CHTDecimalFromFloat(0));
    x->setMinorTicksPerInterval(1);
    // Days are whole numbers: "2", not "2.0".
    x->setLabelFormatter(wholeNumbers());
    excludeLabelPastRightEdge(*x, static_cast<double>(graphData_.size()) + 1);

    auto y = axisSet->yAxis();
    y->setMajorTickLineStyle(nullptr);
    y->setMinorTickLineStyle(nullptr);
    y->setMinorTicksPerInterval(5);
    y->setOrthogonalCoordinateDecimal(CHTDecimalFromFloat(0));
    y->setAlternatingBandFills({CHTColor::colorWithComponentRed(1, 1, 1, 0.1f), nullptr});
    y->setLabelingPolicy(CHTAxisLabelingPolicyFixedInterval);
    y->setLabelFormatter(wholeNumbers());
    // Every 25 repetitions, unless a huge day would crowd the labels.
    setFittingInterval(*y, 25, static_cast<double>(max + 5));

    auto plot = std::make_shared<CHTScatterPlot>(barChart_->bounds());
    plot->setIdentifier(base::Value("Pushups"));
    auto line = CHTLineStyle::lineStyle();
    line->setLineWidth(1.0f);
    line->setLineColor(CHTColor::greenColor());
    plot->setDataLineStyle(line);
    plot->setDataSource(asDataSource());
    barChart_->addPlot(plot);

    auto gradient = CHTGradient::gradientWithBeginningColor(CHTColor::colorWithComponentRed(0.3f, 1.0f, 0.3f, 0.8f),
                                                            CHTColor::colorWithComponentRed(0.3f, 1.0f, 0.3f, 0.4f));
    gradient->setAngle(-90.0f);
    plot->setAreaFill(CHTFill::fillWithGradient(gradient));
    plot->setAreaBaseValue(CHTDecimalFromString("0"));

    auto symbolLine = CHTLineStyle::lineStyle();
    symbolLine->setLineColor(CHTColor::blackColor());
    auto symbol = CHTPlotSymbol::ellipsePlotSymbol();
    symbol->setFill(CHTFill::fillWithColor(CHTColor::greenColor()));
    symbol->setLineStyle(symbolLine);
    symbol->setSize(gfx::Size(10.0f, 10.0f));
    plot->setPlotSymbol(symbol);
}

void DrawGraphViewController::drawBarGraph() {
    const long long max = maxTotal(graphData_);
    const std::size_t days = graphData_.size();
    makeGraph(35, 10);

    auto axisLine = CHTLineStyle::lineStyle();
    axisLine->setLineColor(CHTColor::whiteColor());
    axisLine->setLineWidth(2.0f);
    auto frame = barChart_->plotAreaFrame();
    frame->setBorderLineStyle(nullptr);
    frame->setCornerRadius(2.0f);

    // The range is one longer than the days and the bars are shifted by at
    // most what is left, so the newest day's bar always stands inside.
    auto plotSpace = std::dynamic_pointer_cast<CHTXYPlotSpace>(barChart_->defaultPlotSpace());
    plotSpace->setYRange(range(max));
    plotSpace->setXRange(range(barRangeLength(days)));

    auto axisSet = std::dynamic_pointer_cast<CHTXYAxisSet>(barChart_->axisSet());
    auto x = axisSet->xAxis();
    x->setAxisLineStyle(axisLine);
    x->setMajorTickLineStyle(nullptr);
    x->setMinorTickLineStyle(nullptr);
    x->setMajorIntervalLength(CHTDecimalFromString("2"));
    x->setMinorTicksPerInterval(1);
    x->setOrthogonalCoordinateDecimal(CHTDecimalFromString("0"));
    x->setTitleLocation(CHTDecimalFromFloat(4.0f));
    x->setTitleOffset(5.0f);
    x->setLabelRotation(static_cast<CGFloat>(std::numbers::pi / 4));
    x->setLabelingPolicy(CHTAxisLabelingPolicyNone);
    auto daysLabel = CHTAxisLabel::initWithText("Days", x->labelTextStyle());
    daysLabel->setTickLocation(CHTDecimalFromFloat(15));
    daysLabel->setOffset(x->labelOffset() + x->majorTickLength());
    // Day 15 lies past the page's edge for short logs; the label is left
    // out where it would be cut off rather than drawn in part.
    const gfx::Rect page = barChart_->bounds();
    const double plotWidth = page.width() - frame->paddingLeft() - frame->paddingRight();
    const double labelRight = frame->paddingLeft() + plotWidth * 15.0 / static_cast<double>(barRangeLength(days)) +
                              sizeWithTextStyle("Days", x->labelTextStyle().get()).width / 2;
    if (labelRight <= page.width()) x->setAxisLabels({daysLabel});
    else x->setAxisLabels({});

    auto y = axisSet->yAxis();
    y->setAxisLineStyle(axisLine);
    y->setMajorTickLineStyle(nullptr);
    y->setMinorTickLineStyle(nullptr);
    y->setOrthogonalCoordinateDecimal(CHTDecimalFromFloat(0));
    y->setTitleOffset(0);
    y->setTitleLocation(CHTDecimalFromFloat(150));
    y->setLabelingPolicy(CHTAxisLabelingPolicyFixedInterval);
    y->setLabelFormatter(wholeNumbers());
    setFittingInterval(*y, 25, static_cast<double>(max));

    auto plot = CHTBarPlot::tubularBarPlotWithColor(CHTColor::greenColor(), false);
    plot->setBaseValue(CHTDecimalFromString("0"));
    plot->setDataSource(asDataSource());
    plot->setBarOffset(CHTDecimalFromFloat(static_cast<float>(barOffset(days))));
    plot->setIdentifier(base::Value("Pushups"));
    barChart_->addPlot(plot, barChart_->defaultPlotSpace());
}

// ---- Data source

long long DrawGraphViewController::totalAt(std::size_t index) const {
    if (index >= graphData_.size() || !graphData_[index]) return 0;
    return dayTotal(*graphData_[index]);
}

std::size_t DrawGraphViewController::numberOfRecordsForPlot(CHTPlot*) { return graphData_.size(); }

std::optional<std::optional<base::Number>> DrawGraphViewController::numberForPlot(CHTPlot* plot, std::size_t field,
                                                                                  std::size_t recordIndex) {
    using Answer = std::optional<base::Number>;
    if (graphType_) {
        if (!dynamic_cast<CHTBarPlot*>(plot)) return Answer();
        if (field == CHTBarPlotFieldBarLocation) return Answer(base::Number(static_cast<long long>(recordIndex)));
        if (field == CHTBarPlotFieldBarTip) return Answer(base::Number(totalAt(recordIndex)));
        return Answer();
    }
    if (field == CHTScatterPlotFieldX) return Answer(base::Number(static_cast<long long>(recordIndex) + 1));
    if (field == CHTScatterPlotFieldY) return Answer(base::Number(totalAt(recordIndex)));
    return Answer();
}
