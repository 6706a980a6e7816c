#include "charts/CHTAxis.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "charts/CHTAxisSet.h"
#include "charts/CHTCoderExtensions.h"
#include "charts/CHTColor.h"
#include "charts/CHTGradient.h"
#include "charts/CHTGridLineGroup.h"
#include "charts/CHTGridLines.h"
#include "charts/CHTImage.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTMutableTextStyle.h"
#include "charts/CHTPlotArea.h"
#include "charts/CHTAxisLabelGroup.h"
#include "charts/CHTTextLayer.h"
#include "platform/base/Exception.h"
#include "platform/base/Format.h"
#include "platform/base/Log.h"

// ---- the delegate defaults ----

bool CHTAxisDelegate::axisShouldRelabel(CHTAxis*) { return true; }
void CHTAxisDelegate::axisDidRelabel(CHTAxis*) {}
std::optional<bool> CHTAxisDelegate::axisShouldUpdateAxisLabelsAtLocations(CHTAxis*, const CHTDecimalSet&) {
    return std::nullopt;
}

namespace {

std::shared_ptr<CHTLineStyle> copyOf(const std::shared_ptr<const CHTLineStyle>& style) {
    return style ? style->copy() : nullptr;
}
std::shared_ptr<CHTTextStyle> copyOf(const std::shared_ptr<const CHTTextStyle>& style) {
    return style ? style->copy() : nullptr;
}
std::shared_ptr<CHTLineCap> copyOf(const std::shared_ptr<const CHTLineCap>& cap) { return cap ? cap->copy() : nullptr; }
std::shared_ptr<CHTPlotRange> copyOf(const std::shared_ptr<CHTPlotRange>& range) {
    return range ? range->copy() : nullptr;
}

bool sameRange(const std::shared_ptr<CHTPlotRange>& a, const std::shared_ptr<CHTPlotRange>& b) {
    if (!a || !b) return a == b;
    return a->isEqualToRange(b.get());
}

// Gives the text labels of a set the style (labels of other layers keep theirs).
void setTextStyleOfLabels(const CHTAxisLabelSet& labels, const std::shared_ptr<CHTTextStyle>& style) {
    for (const auto& label : labels)
        if (auto text = std::dynamic_pointer_cast<CHTTextLayer>(label->contentLayer())) text->setTextStyle(style);
}

// Logs once per process that a relabel would make more ticks than a chart
// can show.
void logTickCap(const CHTAxis& axis, const char* outcome) {
    static bool logged = false;
    if (logged) return;
    logged = true;
    base::log(base::format("%@: too many tick locations for one relabel; %s", axis.description(), outcome));
}

using TickGenerator = CHTTickLocations (*)(const CHTPlotRange&, const CHTTickPolicy&);

// Runs a generator over the working range with the axis's settings and logs
// a cap it ran into. No range gives no ticks.
void generateTicks(const CHTAxis& axis, const CHTPlotRange* range, TickGenerator generate, CHTDecimalSet& major,
                   CHTDecimalSet& minor) {
    major.clear();
    minor.clear();
    if (!range) return;
    CHTTickPolicy policy;
    policy.majorIntervalLength = axis.majorIntervalLength();
    policy.labelingOrigin = axis.labelingOrigin();
    policy.minorTicksPerInterval = axis.minorTicksPerInterval();
    policy.preferredNumberOfMajorTicks = axis.preferredNumberOfMajorTicks();
    if (const auto& space = axis.plotSpace()) policy.scaleType = space->scaleTypeForCoordinate(axis.coordinate());
    CHTTickLocations ticks = generate(*range, policy);
    if (ticks.cap == CHTTickCap::AllTicksDropped) logTickCap(axis, "the axis shows no ticks or labels");
    else if (ticks.cap == CHTTickCap::MinorTicksDropped) logTickCap(axis, "the axis shows no minor ticks");
    major = std::move(ticks.major);
    minor = std::move(ticks.minor);
}

}  // namespace

// ---- life cycle ----

CHTAxis::CHTAxis(const gfx::Rect& frame)
    : CHTLayer(frame),
      axisLineStyle_(CHTLineStyle::lineStyle()->copy()),
      majorTickLineStyle_(CHTLineStyle::lineStyle()->copy()),
      minorTickLineStyle_(CHTLineStyle::lineStyle()->copy()),
      labelTextStyle_(CHTTextStyle::textStyle()->copy()),
      minorTickLabelTextStyle_(CHTTextStyle::textStyle()->copy()),
      titleTextStyle_(CHTTextStyle::textStyle()->copy()),
      titleRotation_(std::numeric_limits<CGFloat>::quiet_NaN()),
      titleLocation_(CHTDecimalNaN()) {
    auto formatter = std::make_shared<base::NumberFormatter>();
    formatter->setMinimumIntegerDigits(1);
    formatter->setMaximumFractionDigits(1);
    formatter->setMinimumFractionDigits(1);
    labelFormatter_ = formatter;
    setNeedsDisplayOnBoundsChange(true);
}

CHTAxis::~CHTAxis() {
    for (const auto& label : axisLabels_)
        if (label->contentLayer()) label->contentLayer()->removeFromSuperlayer();
    for (const auto& label : minorTickAxisLabels_)
        if (label->contentLayer()) label->contentLayer()->removeFromSuperlayer();
    if (axisTitle_ && axisTitle_->contentLayer()) axisTitle_->contentLayer()->removeFromSuperlayer();
    if (minorGridLines_) minorGridLines_->removeFromSuperlayer();
    if (majorGridLines_) majorGridLines_->removeFromSuperlayer();
}

std::shared_ptr<CHTAxis> CHTAxis::self() { return std::static_pointer_cast<CHTAxis>(shared_from_this()); }

std::shared_ptr<CHTAxisDelegate> CHTAxis::axisDelegate() const {
    return std::dynamic_pointer_cast<CHTAxisDelegate>(delegate());
}

// ---- simple setters ----

// A setter that does nothing for an equal value; otherwise it keeps `stored`
// (the value or a copy of it) and then asks for what the change needs.
#define CHT_AXIS_SETTER(Name, field, Type, stored, then) \
    void CHTAxis::set##Name(Type value) {                \
        if (value == (field)) return;                    \
        (field) = stored;                                \
        then();                                          \
    }
CHT_AXIS_SETTER(MajorTickLength, majorTickLength_, CGFloat, value, setNeedsRelabel)
CHT_AXIS_SETTER(MinorTickLength, minorTickLength_, CGFloat, value, setNeedsRelabel)
CHT_AXIS_SETTER(LabelAlignment, labelAlignment_, int, value, setNeedsRelabel)
CHT_AXIS_SETTER(MinorTickLabelAlignment, minorTickLabelAlignment_, int, value, setNeedsRelabel)
CHT_AXIS_SETTER(MinorTicksPerInterval, minorTicksPerInterval_, unsigned, value, setNeedsRelabel)
CHT_AXIS_SETTER(LabelingPolicy, labelingPolicy_, int, value, setNeedsRelabel)
CHT_AXIS_SETTER(TickDirection, tickDirection_, int, value, setNeedsRelabel)
CHT_AXIS_SETTER(Coordinate, coordinate_, CHTCoordinate, value, setNeedsRelabel)
CHT_AXIS_SETTER(PlotSpace, plotSpace_, const std::shared_ptr<CHTPlotSpace>&, value, setNeedsRelabel)
CHT_AXIS_SETTER(LabelExclusionRanges, labelExclusionRanges_, const std::vector<std::shared_ptr<CHTPlotRange>>&, value,
                setNeedsRelabel)
CHT_AXIS_SETTER(LabelOffset, labelOffset_, CGFloat, value, updateMajorTickLabels)
CHT_AXIS_SETTER(MinorTickLabelOffset, minorTickLabelOffset_, CGFloat, value, updateMinorTickLabels)
CHT_AXIS_SETTER(LabelRotation, labelRotation_, CGFloat, value, updateMajorTickLabels)
CHT_AXIS_SETTER(MinorTickLabelRotation, minorTickLabelRotation_, CGFloat, value, updateMinorTickLabels)
CHT_AXIS_SETTER(AxisLineStyle, axisLineStyle_, const std::shared_ptr<const CHTLineStyle>&, copyOf(value),
                setNeedsDisplay)
CHT_AXIS_SETTER(MajorTickLineStyle, majorTickLineStyle_, const std::shared_ptr<const CHTLineStyle>&, copyOf(value),
                setNeedsDisplay)
CHT_AXIS_SETTER(MinorTickLineStyle, minorTickLineStyle_, const std::shared_ptr<const CHTLineStyle>&, copyOf(value),
                setNeedsDisplay)
CHT_AXIS_SETTER(AxisLineCapMin, axisLineCapMin_, const std::shared_ptr<const CHTLineCap>&, copyOf(value),
                setNeedsDisplay)
CHT_AXIS_SETTER(AxisLineCapMax, axisLineCapMax_, const std::shared_ptr<const CHTLineCap>&, copyOf(value),
                setNeedsDisplay)
#undef CHT_AXIS_SETTER

void CHTAxis::setLabelingOrigin(const base::Decimal& origin) {
    if (origin == labelingOrigin_ && origin.isNaN() == labelingOrigin_.isNaN()) return;
    labelingOrigin_ = origin;
    setNeedsRelabel();
}

void CHTAxis::setMajorIntervalLength(const base::Decimal& length) {
    if (length == majorIntervalLength_ && length.isNaN() == majorIntervalLength_.isNaN()) return;
    majorIntervalLength_ = length;
    setNeedsRelabel();
}

void CHTAxis::setPreferredNumberOfMajorTicks(unsigned count) {
    if (count == preferredNumberOfMajorTicks_) return;
    preferredNumberOfMajorTicks_ = count;
    // The count drives the automatic and the equal-division policies.
    if (labelingPolicy_ == CHTAxisLabelingPolicyAutomatic || labelingPolicy_ == CHTAxisLabelingPolicyEqualDivisions)
        setNeedsRelabel();
}

void CHTAxis::setMajorTickLocations(const CHTDecimalSet& locations) {
    if (locations == majorTickLocations_) return;
    majorTickLocations_ = locations;
    gridLinesNeedDisplay(true);
    setNeedsRelabel();
}

void CHTAxis::setMinorTickLocations(const CHTDecimalSet& locations) {
    if (locations == minorTickLocations_) return;
    minorTickLocations_ = locations;
    gridLinesNeedDisplay(false);
    setNeedsRelabel();
}

void CHTAxis::setLabelTextStyle(const std::shared_ptr<const CHTTextStyle>& style) {
    if (style == labelTextStyle_) return;
    labelTextStyle_ = copyOf(style);
    setTextStyleOfLabels(axisLabels_, labelTextStyle_);
    setNeedsLayout();
}

void CHTAxis::setMinorTickLabelTextStyle(const std::shared_ptr<const CHTTextStyle>& style) {
    if (style == minorTickLabelTextStyle_) return;
    minorTickLabelTextStyle_ = copyOf(style);
    setTextStyleOfLabels(minorTickAxisLabels_, minorTickLabelTextStyle_);
    setNeedsLayout();
}

void CHTAxis::setLabelFormatter(const std::shared_ptr<base::NumberFormatter>& formatter) {
    if (formatter == labelFormatter_) return;
    labelFormatter_ = formatter;
    labelFormatterChanged_ = true;
    setNeedsRelabel();
}

void CHTAxis::setMinorTickLabelFormatter(const std::shared_ptr<base::NumberFormatter>& formatter) {
    if (formatter == minorTickLabelFormatter_) return;
    minorTickLabelFormatter_ = formatter;
    if (!formatter) {
        for (const auto& label : minorTickAxisLabels_)
            if (label->contentLayer()) label->contentLayer()->removeFromSuperlayer();
        minorTickAxisLabels_.clear();
    }
    labelFormatterChanged_ = true;
    setNeedsRelabel();
}

void CHTAxis::setLabelShadow(const std::shared_ptr<CHTShadow>& shadow) {
    if (shadow == labelShadow_) return;
    labelShadow_ = shadow;
    for (const auto& label : axisLabels_)
        if (label->contentLayer()) label->contentLayer()->setShadow(shadow);
    setNeedsLayout();
}

void CHTAxis::setVisibleRange(const std::shared_ptr<CHTPlotRange>& range) {
    if (sameRange(range, visibleRange_)) return;
    visibleRange_ = copyOf(range);
    setNeedsRelabel();
}

void CHTAxis::setGridLinesRange(const std::shared_ptr<CHTPlotRange>& range) {
    if (sameRange(range, gridLinesRange_)) return;
    gridLinesRange_ = copyOf(range);
    gridLinesNeedDisplay(true);
    gridLinesNeedDisplay(false);
}

// ---- redisplay helpers ----

void CHTAxis::gridLinesNeedDisplay(bool major) {
    if (separateLayers_) {
        if (auto& lines = major ? majorGridLines_ : minorGridLines_) lines->setNeedsDisplay();
        return;
    }
    if (auto area = plotArea()) {
        if (auto& group = major ? area->majorGridLineGroup() : area->minorGridLineGroup()) group->setNeedsDisplay();
    }
}

void CHTAxis::plotAreaNeedsDisplay() {
    if (auto area = plotArea()) area->setNeedsDisplay();
}

// ---- labels ----

void CHTAxis::insertLabelLayers(const CHTAxisLabelSet& labels) {
    auto area = plotArea();
    if (!area) return;
    const auto& group = area->axisLabelGroup();
    if (!group) return;
    std::size_t index =
        std::min(area->sublayerIndexForAxis(this, CHTGraphLayerTypeAxisLabels), group->sublayers().size());
    CHTLayer* previous = nullptr;
    for (const auto& label : labels) {
        const auto& content = label->contentLayer();
        if (!content) continue;
        if (previous && previous->superlayer() == group.get()) group->insertSublayerBelow(content, previous);
        else group->insertSublayer(content, std::min(index, group->sublayers().size()));
        previous = content.get();
    }
}

void CHTAxis::setLabelSet(CHTAxisLabelSet& stored, const CHTAxisLabelSet& labels, bool major) {
    if (labels.size() == stored.size() && std::equal(labels.begin(), labels.end(), stored.begin())) return;
    for (const auto& label : stored)
        if (label->contentLayer()) label->contentLayer()->removeFromSuperlayer();
    stored = labels;
    if (major) {
        if (auto area = plotArea()) area->updateAxisSetLayersForType(CHTGraphLayerTypeAxisLabels);
    }
    insertLabelLayers(stored);
    setNeedsLayout();
}

void CHTAxis::setAxisLabels(const CHTAxisLabelSet& labels) { setLabelSet(axisLabels_, labels, true); }

void CHTAxis::setMinorTickAxisLabels(const CHTAxisLabelSet& labels) {
    setLabelSet(minorTickAxisLabels_, labels, false);
}

void CHTAxis::updateMajorTickLabels() {
    CHTCoordinate orthogonal = CHTOrthogonalCoordinate(coordinate_);
    for (const auto& label : axisLabels_)
        label->positionRelativeToViewPoint(viewPointForCoordinateDecimalNumber(label->tickLocation()), orthogonal,
                                           tickDirection_);
}

void CHTAxis::updateMinorTickLabels() {
    CHTCoordinate orthogonal = CHTOrthogonalCoordinate(coordinate_);
    for (const auto& label : minorTickAxisLabels_)
        label->positionRelativeToViewPoint(viewPointForCoordinateDecimalNumber(label->tickLocation()), orthogonal,
                                           tickDirection_);
}

// ---- title ----

std::shared_ptr<CHTAxisTitle> CHTAxis::axisTitle() {
    if (!axisTitle_ && title_) {
        auto made = CHTAxisTitle::initWithText(*title_, titleTextStyle_);
        made->setRotation(titleRotation_);
        setAxisTitle(made);
    }
    return axisTitle_;
}

void CHTAxis::insertTitleLayer() {
    auto area = plotArea();
    if (!area || !axisTitle_ || !axisTitle_->contentLayer()) return;
    const auto& group = area->axisTitleGroup();
    if (!group) return;
    std::size_t index = area->sublayerIndexForAxis(this, CHTGraphLayerTypeAxisTitles);
    group->insertSublayer(axisTitle_->contentLayer(), std::min(index, group->sublayers().size()));
}

void CHTAxis::setAxisTitle(const std::shared_ptr<CHTAxisTitle>& title) {
    if (title == axisTitle_) return;
    if (axisTitle_ && axisTitle_->contentLayer()) axisTitle_->contentLayer()->removeFromSuperlayer();
    axisTitle_ = title;
    if (auto area = plotArea()) area->updateAxisSetLayersForType(CHTGraphLayerTypeAxisTitles);
    if (axisTitle_) {
        axisTitle_->setOffset(titleOffset_);
        insertTitleLayer();
    }
    setNeedsLayout();
}

void CHTAxis::setTitle(const std::optional<std::string>& title) {
    if (title == title_) return;
    title_ = title;
    if (!title_) setAxisTitle(nullptr);
    auto made = axisTitle();
    if (made && title_) {
        if (auto text = std::dynamic_pointer_cast<CHTTextLayer>(made->contentLayer())) text->setText(*title_);
    }
    setNeedsLayout();
}

void CHTAxis::setTitleTextStyle(const std::shared_ptr<const CHTTextStyle>& style) {
    if (style == titleTextStyle_) return;
    titleTextStyle_ = copyOf(style);
    if (axisTitle_) {
        if (auto text = std::dynamic_pointer_cast<CHTTextLayer>(axisTitle_->contentLayer()))
            text->setTextStyle(titleTextStyle_);
    }
    setNeedsLayout();
}

void CHTAxis::setTitleOffset(CGFloat offset) {
    if (offset == titleOffset_) return;
    titleOffset_ = offset;
    if (axisTitle_) axisTitle_->setOffset(offset);
    placeTitle();
}

void CHTAxis::setTitleRotation(CGFloat rotation) {
    if (rotation == titleRotation_ || (std::isnan(rotation) && std::isnan(titleRotation_))) return;
    titleRotation_ = rotation;
    if (axisTitle_) axisTitle_->setRotation(rotation);
    placeTitle();
}

base::Decimal CHTAxis::titleLocation() const {
    return titleLocation_.isNaN() ? defaultTitleLocation() : titleLocation_;
}

void CHTAxis::setTitleLocation(const base::Decimal& location) {
    if (location == titleLocation_ && location.isNaN() == titleLocation_.isNaN()) return;
    titleLocation_ = location;
    setNeedsLayout();
}

base::Decimal CHTAxis::defaultTitleLocation() const { return CHTDecimalNaN(); }

void CHTAxis::placeTitle() {
    auto title = axisTitle();
    if (!title) return;
    base::Decimal location = titleLocation();
    if (location.isNaN()) return;
    title->positionRelativeToViewPoint(viewPointForCoordinateDecimalNumber(location),
                                       CHTOrthogonalCoordinate(coordinate_), tickDirection_);
}

// ---- bands ----

void CHTAxis::setAlternatingBandFills(const std::vector<std::shared_ptr<base::Coding>>& fills) {
    std::vector<std::shared_ptr<CHTFill>> converted;
    converted.reserve(fills.size());
    for (const auto& element : fills) {
        if (!element) converted.push_back(nullptr);
        else if (auto fill = std::dynamic_pointer_cast<CHTFill>(element)) converted.push_back(fill);
        else if (auto color = std::dynamic_pointer_cast<CHTColor>(element))
            converted.push_back(CHTFill::fillWithColor(color));
        else if (auto gradient = std::dynamic_pointer_cast<CHTGradient>(element))
            converted.push_back(CHTFill::fillWithGradient(gradient));
        else if (auto image = std::dynamic_pointer_cast<CHTImage>(element))
            converted.push_back(CHTFill::fillWithImage(image));
        else
            base::raise("CHTException",
                        "Alternating band fills must be one or more of the following: CHTFill, CHTColor, CHTGradient, "
                        "CHTImage, or [NSNull null].");
    }
    alternatingBandFills_ = std::move(converted);
    plotAreaNeedsDisplay();
}

void CHTAxis::addBackgroundLimitBand(const std::shared_ptr<CHTLimitBand>& band) {
    if (!band) return;
    mutableBackgroundLimitBands_.push_back(band);
    plotAreaNeedsDisplay();
}

void CHTAxis::removeBackgroundLimitBand(const std::shared_ptr<CHTLimitBand>& band) {
    if (!band) return;
    auto& bands = mutableBackgroundLimitBands_;
    bands.erase(std::remove(bands.begin(), bands.end(), band), bands.end());
    plotAreaNeedsDisplay();
}

// ---- grid-line layers ----

void CHTAxis::insertGridLinesLayer(bool major) {
    auto area = plotArea();
    const auto& lines = major ? majorGridLines_ : minorGridLines_;
    if (!area || !lines) return;
    const auto& group = major ? area->majorGridLineGroup() : area->minorGridLineGroup();
    if (!group) return;
    std::size_t index =
        area->sublayerIndexForAxis(this, major ? CHTGraphLayerTypeMajorGridLines : CHTGraphLayerTypeMinorGridLines);
    group->insertSublayer(lines, std::min(index, group->sublayers().size()));
}

void CHTAxis::gridLineStyleChanged(bool major) {
    auto area = plotArea();
    if (area)
        area->updateAxisSetLayersForType(major ? CHTGraphLayerTypeMajorGridLines : CHTGraphLayerTypeMinorGridLines);
    const auto& style = major ? majorGridLineStyle_ : minorGridLineStyle_;
    const auto& lines = major ? majorGridLines_ : minorGridLines_;
    if (!style) {
        if (major) setMajorGridLines(nullptr);
        else setMinorGridLines(nullptr);
    } else if (!separateLayers_) {
        gridLinesNeedDisplay(major);
    } else if (lines) {
        lines->setNeedsDisplay();
    } else {
        auto made = std::make_shared<CHTGridLines>(bounds());
        if (major) setMajorGridLines(made);
        else setMinorGridLines(made);
    }
}

void CHTAxis::setMajorGridLineStyle(const std::shared_ptr<const CHTLineStyle>& style) {
    if (style == majorGridLineStyle_) return;
    majorGridLineStyle_ = copyOf(style);
    gridLineStyleChanged(true);
}

void CHTAxis::setMinorGridLineStyle(const std::shared_ptr<const CHTLineStyle>& style) {
    if (style == minorGridLineStyle_) return;
    minorGridLineStyle_ = copyOf(style);
    gridLineStyleChanged(false);
}

void CHTAxis::setSeparateLayers(bool separate) {
    if (separate == separateLayers_) return;
    separateLayers_ = separate;
    if (separate) {
        if (minorGridLineStyle_) setMinorGridLines(std::make_shared<CHTGridLines>(bounds()));
        if (majorGridLineStyle_) setMajorGridLines(std::make_shared<CHTGridLines>(bounds()));
    } else {
        setMinorGridLines(nullptr);
        setMajorGridLines(nullptr);
        if (minorGridLineStyle_) gridLinesNeedDisplay(false);
        if (majorGridLineStyle_) gridLinesNeedDisplay(true);
    }
}

void CHTAxis::setGridLines(std::shared_ptr<CHTGridLines>& stored, const std::shared_ptr<CHTGridLines>& gridLines,
                           bool major) {
    if (gridLines == stored) return;
    if (stored) stored->removeFromSuperlayer();
    stored = gridLines;
    if (gridLines) {
        gridLines->setMajor(major);
        gridLines->setAxis(self());
        insertGridLinesLayer(major);
    }
}

void CHTAxis::setMinorGridLines(const std::shared_ptr<CHTGridLines>& gridLines) {
    setGridLines(minorGridLines_, gridLines, false);
}

void CHTAxis::setMajorGridLines(const std::shared_ptr<CHTGridLines>& gridLines) {
    setGridLines(majorGridLines_, gridLines, true);
}

// ---- plot area ----

std::shared_ptr<CHTAxisSet> CHTAxis::axisSet() const {
    auto area = plotArea();
    return area ? area->axisSet() : nullptr;
}

void CHTAxis::setPlotArea(const std::shared_ptr<CHTPlotArea>& area) {
    plotArea_ = area;
    if (!area) {
        // Out of the plot area: nothing of this axis stays drawn there.
        if (minorGridLines_) minorGridLines_->removeFromSuperlayer();
        if (majorGridLines_) majorGridLines_->removeFromSuperlayer();
        for (const auto& label : axisLabels_)
            if (label->contentLayer()) label->contentLayer()->removeFromSuperlayer();
        for (const auto& label : minorTickAxisLabels_)
            if (label->contentLayer()) label->contentLayer()->removeFromSuperlayer();
        if (axisTitle_ && axisTitle_->contentLayer()) axisTitle_->contentLayer()->removeFromSuperlayer();
        return;
    }
    area->updateAxisSetLayersForType(CHTGraphLayerTypeMinorGridLines);
    insertGridLinesLayer(false);
    area->updateAxisSetLayersForType(CHTGraphLayerTypeMajorGridLines);
    insertGridLinesLayer(true);
    area->updateAxisSetLayersForType(CHTGraphLayerTypeAxisLabels);
    insertLabelLayers(axisLabels_);
    insertLabelLayers(minorTickAxisLabels_);
    area->updateAxisSetLayersForType(CHTGraphLayerTypeAxisTitles);
    insertTitleLayer();
}

// ---- relabelling ----

void CHTAxis::setNeedsRelabel(bool needsRelabel) {
    needsRelabel_ = needsRelabel;
    if (needsRelabel) {
        setNeedsLayout();
        setNeedsDisplay();
    }
}

std::shared_ptr<CHTPlotRange> CHTAxis::visiblePlotRange() const {
    if (!plotSpace_) return nullptr;
    auto range = plotSpace_->plotRangeForCoordinate(coordinate_);
    if (!range) return nullptr;
    range = range->copy();
    if (visibleRange_) range->intersectionPlotRange(visibleRange_.get());
    return range;
}

void CHTAxis::generateFixedIntervalMajorTickLocations(CHTDecimalSet& major, CHTDecimalSet& minor) const {
    generateTicks(*this, visiblePlotRange().get(), CHTFixedIntervalTickLocations, major, minor);
}

void CHTAxis::generateEqualMajorTickLocations(CHTDecimalSet& major, CHTDecimalSet& minor) const {
    generateTicks(*this, visiblePlotRange().get(), CHTEqualDivisionTickLocations, major, minor);
}

void CHTAxis::autoGenerateMajorTickLocations(CHTDecimalSet& major, CHTDecimalSet& minor) const {
    generateTicks(*this, visiblePlotRange().get(), CHTAutomaticTickLocations, major, minor);
}

CHTDecimalSet CHTAxis::filteredTickLocations(const CHTDecimalSet& locations) const {
    if (labelExclusionRanges_.empty()) return locations;
    CHTDecimalSet filtered;
    for (const auto& location : locations) {
        bool excluded = false;
        for (const auto& range : labelExclusionRanges_)
            if (range && range->contains(location)) {
                excluded = true;
                break;
            }
        if (!excluded) filtered.insert(location);
    }
    return filtered;
}

void CHTAxis::updateAxisLabelsAtLocations(const CHTDecimalSet& locations, bool useMajorAxisLabels, int labelAlignment,
                                          CGFloat labelOffset, CGFloat labelRotation,
                                          const std::shared_ptr<CHTTextStyle>& textStyle,
                                          const std::shared_ptr<base::NumberFormatter>& labelFormatter) {
    if (auto d = axisDelegate()) {
        if (auto answer = d->axisShouldUpdateAxisLabelsAtLocations(this, locations); answer && !*answer) return;
    }
    if (locations.empty() || !textStyle || !labelFormatter) {
        if (useMajorAxisLabels) setAxisLabels({});
        else setMinorTickAxisLabels({});
        return;
    }
    CGFloat offset = labelOffset;
    if (tickDirection_ == CHTSignNone) offset += majorTickLength_ / 2;
    else if (tickDirection_ == CHTSignPositive || tickDirection_ == CHTSignNegative) offset += majorTickLength_;

    auto area = plotArea();
    if (area) area->setAxisSetLayersForType(CHTGraphLayerTypeAxisLabels);
    CHTAxisLabelGroup* group = area ? area->axisLabelGroup().get() : nullptr;
    std::size_t index = area ? area->sublayerIndexForAxis(this, CHTGraphLayerTypeAxisLabels) : 0;

    CHTAxisLabelSet& old = useMajorAxisLabels ? axisLabels_ : minorTickAxisLabels_;
    CHTAxisLabelSet fresh;
    CHTCoordinate orthogonal = CHTOrthogonalCoordinate(coordinate_);
    CHTLayer* previous = nullptr;
    auto probe = std::make_shared<CHTAxisLabel>();
    for (const auto& location : locations) {
        probe->setTickLocation(location);
        std::shared_ptr<CHTAxisLabel> label;
        bool isNew = false;
        if (auto it = old.find(probe); it != old.end()) {
            label = *it;
        } else {
            label = std::make_shared<CHTAxisLabel>();
            label->setTickLocation(location);
            isNew = true;
        }
        label->setRotation(labelRotation);
        label->setOffset(offset);
        label->setAlignment(labelAlignment);
        if (isNew || labelFormatterChanged_ || !label->contentLayer()) {
            std::string text = labelFormatter->stringFromDecimal(location);
            if (label->contentLayer()) label->contentLayer()->removeFromSuperlayer();
            auto layer = CHTTextLayer::initWithText(text, textStyle);
            label->setContentLayer(layer);
            if (group) {
                if (previous && previous->superlayer() == group) group->insertSublayerBelow(layer, previous);
                else group->insertSublayer(layer, std::min(index, group->sublayers().size()));
            }
            label->positionRelativeToViewPoint(viewPointForCoordinateDecimalNumber(location), orthogonal,
                                               tickDirection_);
        }
        if (label->contentLayer()) {
            label->contentLayer()->setShadow(labelShadow_);
            previous = label->contentLayer().get();
        }
        fresh.insert(label);
    }
    for (const auto& label : old)
        if (!fresh.count(label) && label->contentLayer()) label->contentLayer()->removeFromSuperlayer();
    old = std::move(fresh);
    setNeedsLayout();
    labelFormatterChanged_ = false;
}

void CHTAxis::relabel() {
    if (!needsRelabel_ || !plotSpace_) return;
    auto d = axisDelegate();
    if (d && !d->axisShouldRelabel(this)) {
        needsRelabel_ = false;
        return;
    }
    CHTDecimalSet newMajor, newMinor;
    switch (labelingPolicy_) {
    case CHTAxisLabelingPolicyEqualDivisions: generateEqualMajorTickLocations(newMajor, newMinor); break;
    case CHTAxisLabelingPolicyAutomatic: autoGenerateMajorTickLocations(newMajor, newMinor); break;
    case CHTAxisLabelingPolicyFixedInterval: generateFixedIntervalMajorTickLocations(newMajor, newMinor); break;
    default: break;
    }
    if (labelingPolicy_ > CHTAxisLabelingPolicyLocationsProvided) {
        // Stored directly: going through the setters would mark the axis
        // for relabelling again.
        newMajor = filteredMajorTickLocations(newMajor);
        newMinor = filteredMinorTickLocations(newMinor);
        if (newMajor != majorTickLocations_) {
            majorTickLocations_ = std::move(newMajor);
            gridLinesNeedDisplay(true);
        }
        if (newMinor != minorTickLocations_) {
            minorTickLocations_ = std::move(newMinor);
            gridLinesNeedDisplay(false);
        }
        setNeedsDisplay();
    }
    if (labelingPolicy_ != CHTAxisLabelingPolicyNone) {
        if (labelFormatter_)
            updateAxisLabelsAtLocations(majorTickLocations_, true, labelAlignment_, labelOffset_, labelRotation_,
                                        labelTextStyle_, labelFormatter_);
        if (minorTickLabelFormatter_)
            updateAxisLabelsAtLocations(minorTickLocations_, false, minorTickLabelAlignment_, minorTickLabelOffset_,
                                        minorTickLabelRotation_, minorTickLabelTextStyle_, minorTickLabelFormatter_);
    }
    needsRelabel_ = false;
    if (!alternatingBandFills_.empty()) plotAreaNeedsDisplay();
    if (d) d->axisDidRelabel(this);
}

// ---- subclass operations ----

gfx::Point CHTAxis::viewPointForCoordinateDecimalNumber(const base::Decimal&) { return gfx::Point(); }
void CHTAxis::drawGridLinesInContext(gfx::Context&, bool) {}
void CHTAxis::drawBackgroundBandsInContext(gfx::Context&) {}
void CHTAxis::drawBackgroundLimitsInContext(gfx::Context&) {}

bool CHTAxis::needsDisplayForKey(const std::string& key) {
    return key == "titleOffset" || key == "titleRotation" || key == "labelOffset" || key == "minorTickLabelOffset" ||
           key == "labelRotation" || key == "minorTickLabelRotation";
}

// ---- layout ----

void CHTAxis::layoutSublayers() {
    CHTLayer::layoutSublayers();
    // Labels are made here rather than while drawing: the renderer copies a
    // layer's sublayers before it draws them, so labels made during drawing
    // would miss the first rendering.
    relabel();
    updateMajorTickLabels();
    updateMinorTickLabels();
    placeTitle();
}

std::set<const gfx::Layer*> CHTAxis::sublayersExcludedFromAutomaticLayout() const {
    auto excluded = CHTLayer::sublayersExcludedFromAutomaticLayout();
    for (const auto& label : axisLabels_)
        if (label->contentLayer()) excluded.insert(label->contentLayer().get());
    for (const auto& label : minorTickAxisLabels_)
        if (label->contentLayer()) excluded.insert(label->contentLayer().get());
    if (axisTitle_ && axisTitle_->contentLayer()) excluded.insert(axisTitle_->contentLayer().get());
    return excluded;
}

// ---- archiving ----

namespace {
std::vector<std::shared_ptr<CHTAxisLabel>> labelList(const CHTAxisLabelSet& labels) {
    return {labels.begin(), labels.end()};
}
CHTAxisLabelSet labelSet(const std::vector<std::shared_ptr<CHTAxisLabel>>& labels) {
    return {labels.begin(), labels.end()};
}
std::shared_ptr<base::NumberFormatter> decodeFormatter(base::KeyedUnarchiver& coder, const std::string& key) {
    return coder.decodeObjectOfType<base::NumberFormatter>(key);
}
// A copy of a decoded style, so that the axis holds one of its own.
template <class Style>
std::shared_ptr<Style> decodedCopy(base::KeyedUnarchiver& coder, const std::string& key) {
    return copyOf(std::shared_ptr<const Style>(coder.decodeObjectOfType<Style>(key)));
}
}  // namespace

void CHTAxis::encodeWithCoder(base::KeyedArchiver& coder) const {
    CHTLayer::encodeWithCoder(coder);
    coder.encodeInteger(coordinate_, "CHTAxis.coordinate");
    coder.encodeObject(plotSpace_, "CHTAxis.plotSpace");
    encodeDecimalSet(coder, majorTickLocations_, "CHTAxis.majorTickLocations");
    encodeDecimalSet(coder, minorTickLocations_, "CHTAxis.minorTickLocations");
    encodeCGFloat(coder, majorTickLength_, "CHTAxis.majorTickLength");
    encodeCGFloat(coder, minorTickLength_, "CHTAxis.minorTickLength");
    encodeCGFloat(coder, labelOffset_, "CHTAxis.labelOffset");
    encodeCGFloat(coder, minorTickLabelOffset_, "CHTAxis.minorTickLabelOffset");
    encodeCGFloat(coder, labelRotation_, "CHTAxis.labelRotation");
    encodeCGFloat(coder, minorTickLabelRotation_, "CHTAxis.minorTickLabelRotation");
    coder.encodeInteger(labelAlignment_, "CHTAxis.labelAlignment");
    coder.encodeInteger(minorTickLabelAlignment_, "CHTAxis.minorTickLabelAlignment");
    coder.encodeObject(axisLineStyle_, "CHTAxis.axisLineStyle");
    coder.encodeObject(majorTickLineStyle_, "CHTAxis.majorTickLineStyle");
    coder.encodeObject(minorTickLineStyle_, "CHTAxis.minorTickLineStyle");
    coder.encodeObject(majorGridLineStyle_, "CHTAxis.majorGridLineStyle");
    coder.encodeObject(minorGridLineStyle_, "CHTAxis.minorGridLineStyle");
    coder.encodeObject(axisLineCapMin_, "CHTAxis.axisLineCapMin");
    coder.encodeObject(axisLineCapMax_, "CHTAxis.axisLineCapMax");
    encodeDecimal(coder, labelingOrigin_, "CHTAxis.labelingOrigin");
    encodeDecimal(coder, majorIntervalLength_, "CHTAxis.majorIntervalLength");
    coder.encodeInteger(minorTicksPerInterval_, "CHTAxis.minorTicksPerInterval");
    coder.encodeInteger(preferredNumberOfMajorTicks_, "CHTAxis.preferredNumberOfMajorTicks");
    coder.encodeInteger(labelingPolicy_, "CHTAxis.labelingPolicy");
    coder.encodeObject(labelTextStyle_, "CHTAxis.labelTextStyle");
    coder.encodeObject(minorTickLabelTextStyle_, "CHTAxis.minorTickLabelTextStyle");
    coder.encodeObject(titleTextStyle_, "CHTAxis.titleTextStyle");
    coder.encodeObject(labelFormatter_, "CHTAxis.labelFormatter");
    coder.encodeObject(minorTickLabelFormatter_, "CHTAxis.minorTickLabelFormatter");
    coder.encodeBool(labelFormatterChanged_, "CHTAxis.labelFormatterChanged");
    encodeObjectArray(coder, labelList(axisLabels_), "CHTAxis.axisLabels");
    encodeObjectArray(coder, labelList(minorTickAxisLabels_), "CHTAxis.minorTickAxisLabels");
    coder.encodeObject(axisTitle_, "CHTAxis.axisTitle");
    if (title_) coder.encodeString(*title_, "CHTAxis.title");
    encodeCGFloat(coder, titleOffset_, "CHTAxis.titleOffset");
    encodeCGFloat(coder, titleRotation_, "CHTAxis.titleRotation");
    encodeDecimal(coder, titleLocation_, "CHTAxis.titleLocation");
    coder.encodeInteger(tickDirection_, "CHTAxis.tickDirection");
    coder.encodeBool(needsRelabel_, "CHTAxis.needsRelabel");
    encodeObjectArray(coder, labelExclusionRanges_, "CHTAxis.labelExclusionRanges");
    coder.encodeObject(visibleRange_, "CHTAxis.visibleRange");
    coder.encodeObject(gridLinesRange_, "CHTAxis.gridLinesRange");
    encodeObjectArray(coder, alternatingBandFills_, "CHTAxis.alternatingBandFills");
    encodeObjectArray(coder, mutableBackgroundLimitBands_, "CHTAxis.mutableBackgroundLimitBands");
    coder.encodeBool(separateLayers_, "CHTAxis.separateLayers");
    coder.encodeObject(labelShadow_, "CHTAxis.labelShadow");
    coder.encodeConditionalObject(plotArea().get(), "CHTAxis.plotArea");
    coder.encodeObject(minorGridLines_, "CHTAxis.minorGridLines");
    coder.encodeObject(majorGridLines_, "CHTAxis.majorGridLines");
}

std::shared_ptr<base::Coding> CHTAxis::initWithCoder(base::KeyedUnarchiver& coder) {
    CHTLayer::initWithCoder(coder);
    auto clampInt = [&](const char* key, int low, int high, int fallback) {
        long long v = coder.decodeInteger(key);
        return v >= low && v <= high ? static_cast<int>(v) : fallback;
    };
    auto clampUnsigned = [&](const char* key) {
        return static_cast<unsigned>(std::clamp<long long>(coder.decodeInteger(key), 0, 1000000));
    };
    coordinate_ = clampInt("CHTAxis.coordinate", 0, 1, CHTCoordinateX);
    plotSpace_ = coder.decodeObjectOfType<CHTPlotSpace>("CHTAxis.plotSpace");
    majorTickLocations_ = decodeDecimalSet(coder, "CHTAxis.majorTickLocations");
    minorTickLocations_ = decodeDecimalSet(coder, "CHTAxis.minorTickLocations");
    majorTickLength_ = decodeCGFloat(coder, "CHTAxis.majorTickLength");
    minorTickLength_ = decodeCGFloat(coder, "CHTAxis.minorTickLength");
    labelOffset_ = decodeCGFloat(coder, "CHTAxis.labelOffset");
    minorTickLabelOffset_ = decodeCGFloat(coder, "CHTAxis.minorTickLabelOffset");
    labelRotation_ = decodeCGFloat(coder, "CHTAxis.labelRotation");
    minorTickLabelRotation_ = decodeCGFloat(coder, "CHTAxis.minorTickLabelRotation");
    labelAlignment_ = clampInt("CHTAxis.labelAlignment", 0, 5, CHTAlignmentCenter);
    minorTickLabelAlignment_ = clampInt("CHTAxis.minorTickLabelAlignment", 0, 5, CHTAlignmentCenter);
    axisLineStyle_ = decodedCopy<CHTLineStyle>(coder, "CHTAxis.axisLineStyle");
    majorTickLineStyle_ = decodedCopy<CHTLineStyle>(coder, "CHTAxis.majorTickLineStyle");
    minorTickLineStyle_ = decodedCopy<CHTLineStyle>(coder, "CHTAxis.minorTickLineStyle");
    majorGridLineStyle_ = decodedCopy<CHTLineStyle>(coder, "CHTAxis.majorGridLineStyle");
    minorGridLineStyle_ = decodedCopy<CHTLineStyle>(coder, "CHTAxis.minorGridLineStyle");
    axisLineCapMin_ = coder.decodeObjectOfType<CHTLineCap>("CHTAxis.axisLineCapMin");
    axisLineCapMax_ = coder.decodeObjectOfType<CHTLineCap>("CHTAxis.axisLineCapMax");
    labelingOrigin_ = decodeDecimal(coder, "CHTAxis.labelingOrigin");
    majorIntervalLength_ = decodeDecimal(coder, "CHTAxis.majorIntervalLength");
    minorTicksPerInterval_ = clampUnsigned("CHTAxis.minorTicksPerInterval");
    preferredNumberOfMajorTicks_ = clampUnsigned("CHTAxis.preferredNumberOfMajorTicks");
    labelingPolicy_ = clampInt("CHTAxis.labelingPolicy", 0, 4, CHTAxisLabelingPolicyFixedInterval);
    labelTextStyle_ = decodedCopy<CHTTextStyle>(coder, "CHTAxis.labelTextStyle");
    minorTickLabelTextStyle_ = decodedCopy<CHTTextStyle>(coder, "CHTAxis.minorTickLabelTextStyle");
    titleTextStyle_ = decodedCopy<CHTTextStyle>(coder, "CHTAxis.titleTextStyle");
    labelFormatter_ = decodeFormatter(coder, "CHTAxis.labelFormatter");
    minorTickLabelFormatter_ = decodeFormatter(coder, "CHTAxis.minorTickLabelFormatter");
    labelFormatterChanged_ = coder.decodeBool("CHTAxis.labelFormatterChanged");
    axisLabels_ = labelSet(decodeObjectArrayOfType<CHTAxisLabel>(coder, "CHTAxis.axisLabels"));
    minorTickAxisLabels_ = labelSet(decodeObjectArrayOfType<CHTAxisLabel>(coder, "CHTAxis.minorTickAxisLabels"));
    axisTitle_ = coder.decodeObjectOfType<CHTAxisTitle>("CHTAxis.axisTitle");
    if (coder.containsValueForKey("CHTAxis.title")) title_ = coder.decodeString("CHTAxis.title");
    else title_.reset();
    titleOffset_ = decodeCGFloat(coder, "CHTAxis.titleOffset");
    titleRotation_ = decodeCGFloat(coder, "CHTAxis.titleRotation");
    titleLocation_ = decodeDecimal(coder, "CHTAxis.titleLocation");
    tickDirection_ = clampInt("CHTAxis.tickDirection", -1, 1, CHTSignNone);
    needsRelabel_ = coder.decodeBool("CHTAxis.needsRelabel");
    labelExclusionRanges_ = decodeObjectArrayOfType<CHTPlotRange>(coder, "CHTAxis.labelExclusionRanges");
    visibleRange_ = copyOf(coder.decodeObjectOfType<CHTPlotRange>("CHTAxis.visibleRange"));
    gridLinesRange_ = copyOf(coder.decodeObjectOfType<CHTPlotRange>("CHTAxis.gridLinesRange"));
    alternatingBandFills_ = decodeObjectArrayOfType<CHTFill>(coder, "CHTAxis.alternatingBandFills", true);
    mutableBackgroundLimitBands_.clear();
    for (const auto& band : decodeObjectArrayOfType<CHTLimitBand>(coder, "CHTAxis.mutableBackgroundLimitBands"))
        mutableBackgroundLimitBands_.push_back(band);
    separateLayers_ = coder.decodeBool("CHTAxis.separateLayers");
    labelShadow_ = coder.decodeObjectOfType<CHTShadow>("CHTAxis.labelShadow");
    plotArea_ = coder.decodeObjectOfType<CHTPlotArea>("CHTAxis.plotArea");
    minorGridLines_ = coder.decodeObjectOfType<CHTGridLines>("CHTAxis.minorGridLines");
    majorGridLines_ = coder.decodeObjectOfType<CHTGridLines>("CHTAxis.majorGridLines");
    return nullptr;
}

void CHTAxis::registerCodingClass() {
    base::KeyedUnarchiver::registerClass("CHTAxis", [] { return std::make_shared<CHTAxis>(); });
}
