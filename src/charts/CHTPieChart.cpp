#include "charts/CHTPieChart.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>

#include "charts/CHTCoderExtensions.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTColor.h"
#include "charts/CHTPlotArea.h"
#include "charts/CHTPlotSpaceAnnotation.h"
#include "platform/base/Exception.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr CGFloat kTwoPi = CGFloat(2 * std::numbers::pi);

}  // namespace

CHTPieChart::CHTPieChart(const gfx::Rect& frame)
    : CHTPlot(frame),
      pieRadius_(CGFloat(0.4) * std::min(frame.width(), frame.height())),
      startAngle_(CGFloat(std::numbers::pi / 2)) {
    setLabelOffset(10);
    setLabelField(CHTPieChartFieldSliceWidth);
}

std::shared_ptr<CHTColor> CHTPieChart::defaultPieSliceColorForIndex(std::size_t index) {
    static const CGFloat table[10][3] = {{1, 0, 0},          {0, 1, 0}, {0, 0, 1},       {1, 1, 0},
                                         {0.25, 0.5, 0.25},  {1, 0, 1}, {0.5, 0.5, 0.5}, {0.25, 0.5, 0},
                                         {0.25, 0.25, 0.25}, {0, 1, 1}};
    const CGFloat* entry = table[index % 10];
    const int round = index / 10;  // each round of ten colours is lighter
    const CGFloat lighter = CGFloat(0.1) * CGFloat(round);
    return CHTColor::colorWithComponentRed(entry[0] + lighter, entry[1] + lighter, entry[2] + lighter, 1);
}

// ---- Properties

void CHTPieChart::setPieRadius(CGFloat radius) {
    radius = std::fabs(radius);
    if (radius == pieRadius_) return;
    pieRadius_ = radius;
    setNeedsDisplay();
    repositionAllLabelAnnotations();
}

void CHTPieChart::setPieInnerRadius(CGFloat radius) {
    radius = std::fabs(radius);
    if (radius == pieInnerRadius_) return;
    pieInnerRadius_ = radius;
    setNeedsDisplay();
}

void CHTPieChart::setStartAngle(CGFloat angle) {
    if (angle == startAngle_) return;
    startAngle_ = angle;
    setNeedsDisplay();
    repositionAllLabelAnnotations();
}

void CHTPieChart::setSliceDirection(CHTPieDirection direction) {
    if (direction == sliceDirection_) return;
    sliceDirection_ = direction;
    setNeedsDisplay();
    repositionAllLabelAnnotations();
}

void CHTPieChart::setCenterAnchor(gfx::Point anchor) {
    if (anchor == centerAnchor_) return;
    centerAnchor_ = anchor;
    setNeedsDisplay();
    repositionAllLabelAnnotations();
}

void CHTPieChart::setBorderLineStyle(const std::shared_ptr<CHTLineStyle>& style) {
    if (style.get() == borderLineStyle_.get()) return;
    borderLineStyle_ = style ? style->copy() : nullptr;
    setNeedsDisplay();
    postLegendNotification(CHTLegendNeedsRedrawForPlotNotification);
}

void CHTPieChart::setOverlayFill(const std::shared_ptr<CHTFill>& fill) {
    if (fill.get() == overlayFill_.get()) return;
    overlayFill_ = fill ? fill->copy() : nullptr;
    setNeedsDisplay();
}

void CHTPieChart::setSliceWidths(const CHTPlotNumbers& widths) {
    cacheNumbers(widths, CHTPieChartFieldSliceWidthNormalized);
    updateNormalizedData();
}

bool CHTPieChart::needsDisplayForKey(const std::string& key) {
    static const std::vector<std::string> keys{"pieRadius", "pieInnerRadius", "startAngle", "centerAnchor"};
    return std::find(keys.begin(), keys.end(), key) != keys.end() || CHTPlot::needsDisplayForKey(key);
}

CGFloat CHTPieChart::radiansForPieSliceValue(CGFloat value) const {
    switch (sliceDirection_) {
    case CHTPieDirectionClockwise: return startAngle_ - value * kTwoPi;
    case CHTPieDirectionCounterClockwise: return startAngle_ + value * kTwoPi;
    default: return startAngle_;
    }
}

std::shared_ptr<CHTPieChartDataSource> CHTPieChart::pieDataSource() const {
    return std::dynamic_pointer_cast<CHTPieChartDataSource>(dataSource());
}

std::shared_ptr<CHTFill> CHTPieChart::sliceFillForIndex(std::size_t index) const {
    if (auto source = pieDataSource()) {
        auto fill = source->sliceFillForPieChart(const_cast<CHTPieChart*>(this), index);
        if (fill && *fill) return *fill;
    }
    return CHTFill::fillWithColor(defaultPieSliceColorForIndex(index));
}

CGFloat CHTPieChart::radialOffsetForIndex(std::size_t index) const {
    auto source = pieDataSource();
    if (!source) return 0;
    auto offset = source->radialOffsetForPieChart(const_cast<CHTPieChart*>(this), index);
    return offset && std::isfinite(*offset) ? *offset : 0;
}

double CHTPieChart::normalizedWidth(std::size_t index) const {
    return cachedDoubleForField(CHTPieChartFieldSliceWidthNormalized, index);
}

// ---- Legend

std::size_t CHTPieChart::numberOfLegendEntries() const {
    const_cast<CHTPieChart*>(this)->reloadDataIfNeeded();
    return cachedDataCount();
}

std::optional<std::string> CHTPieChart::titleForLegendEntryAtIndex(std::size_t index) const {
    if (auto source = pieDataSource()) {
        auto title = source->legendTitleForPieChart(const_cast<CHTPieChart*>(this), index);
        if (title && *title) return *title;
    }
    return CHTPlot::titleForLegendEntryAtIndex(index);
}

void CHTPieChart::drawSwatchForLegend(const CHTLegendSwatchStyle& legend, std::size_t index, const gfx::Rect& rect,
                                      gfx::Context& context) {
    CHTPlot::drawSwatchForLegend(legend, index, rect, context);
    auto fill = sliceFillForIndex(index);
    if (!fill && !borderLineStyle_) return;
    gfx::Path outline;
    if (legend.swatchCornerRadius > 0)
        outline =
            CreateRoundedRectPath(rect, std::min({legend.swatchCornerRadius, rect.width() / 2, rect.height() / 2}));
    else outline.addRect(rect);
    if (fill) {
        context.beginPath();
        context.addPath(outline);
        fill->fillPathInContext(context);
    }
    if (borderLineStyle_) {
        borderLineStyle_->setLineStyleInContext(context);
        context.beginPath();
        context.addPath(outline);
        context.strokePath();
    }
}

void CHTPieChart::noteLegendEntryCount() {
    if (cachedDataCount() == legendEntryCount_) return;
    legendEntryCount_ = cachedDataCount();
    postLegendNotification(CHTLegendNeedsReloadEntriesForPlotNotification);
}

// ---- Data

void CHTPieChart::reloadDataInIndexRange(CHTRecordRange indexRange) {
    CHTPlot::reloadDataInIndexRange(indexRange);
    auto source = dataSource();
    if (source) {
        cacheNumbers(numbersFromDataSourceForField(CHTPieChartFieldSliceWidth, indexRange), CHTPieChartFieldSliceWidth,
                     indexRange.location);
    } else {
        cacheNumbers(std::monostate{}, CHTPieChartFieldSliceWidth);
    }
    updateNormalizedData();
    if (auto pie = pieDataSource(); pie && cachedDataCount() > 0) {
        // Per-slice fills and titles show in the legend's swatches.
        if (pie->sliceFillForPieChart(this, 0) || pie->legendTitleForPieChart(this, 0))
            postLegendNotification(CHTLegendNeedsRedrawForPlotNotification);
    }
    // A different number of records is a different number of entries.
    noteLegendEntryCount();
}

void CHTPieChart::deleteDataInIndexRange(CHTRecordRange indexRange) {
    CHTPlot::deleteDataInIndexRange(indexRange);
    updateNormalizedData();
    legendEntryCount_ = cachedDataCount();
    postLegendNotification(CHTLegendNeedsReloadEntriesForPlotNotification);
}

void CHTPieChart::insertDataAtIndex(std::size_t index, std::size_t numberOfRecords) {
    // The reload of the new records does not tell the legend: this does, once.
    legendEntryCount_ = cachedDataCount() + numberOfRecords;
    CHTPlot::insertDataAtIndex(index, numberOfRecords);
    legendEntryCount_ = cachedDataCount();
    postLegendNotification(CHTLegendNeedsReloadEntriesForPlotNotification);
}

void CHTPieChart::updateNormalizedData() {
    const std::size_t n = cachedDataCount();
    auto values = cachedNumbersForField(CHTPieChartFieldSliceWidth);
    if (n == 0 || !values) {
        cacheNumbers(std::monostate{}, CHTPieChartFieldSliceWidthNormalized);
        cacheNumbers(std::monostate{}, CHTPieChartFieldSliceWidthSum);
        relabelIndexRange({0, cachedDataCount()});
        return;
    }
    if (doublePrecisionCache()) {
        // An infinite value has no share to draw: it is left out as a
        // not-a-number one is.
        auto value = [&](std::size_t i) {
            const double v = cachedDoubleForField(CHTPieChartFieldSliceWidth, i);
            return std::isfinite(v) ? v : kNaN;
        };
        double sum = 0, largest = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const double v = value(i);
            if (std::isnan(v)) continue;
            sum += v;
            largest = std::max(largest, std::fabs(v));
        }
        // Values near the top of the double range overflow when added: then
        // every value is taken as a fraction of the largest, whose sum
        // cannot overflow, and the shares come out the same.
        double scale = 1;
        if (!std::isfinite(sum)) {
            scale = largest;
            sum = 0;
            for (std::size_t i = 0; i < n; ++i)
                if (const double v = value(i); !std::isnan(v)) sum += v / scale;
        }
        base::Data normalized(n * sizeof(double)), cumulative(n * sizeof(double));
        double total = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const double v = value(i) / scale;
            double share = kNaN;
            if (!std::isnan(v)) {
                share = v / sum;
                total += v;
            }
            double running = total / sum;
            // A zero sum of values that are not all zero gives infinities:
            // no share at all rather than an endless slice.
            if (!std::isfinite(share)) share = kNaN;
            if (!std::isfinite(running)) running = kNaN;
            std::memcpy(normalized.data() + i * sizeof(double), &share, sizeof(double));
            std::memcpy(cumulative.data() + i * sizeof(double), &running, sizeof(double));
        }
        cacheNumbers(std::make_shared<CHTNumericData>(normalized, doubleDataType()),
                     CHTPieChartFieldSliceWidthNormalized);
        cacheNumbers(std::make_shared<CHTNumericData>(cumulative, doubleDataType()), CHTPieChartFieldSliceWidthSum);
    } else {
        const base::Decimal zero = CHTDecimalFromInteger(0);
        base::Decimal sum = zero, largest = zero;
        for (std::size_t i = 0; i < n; ++i) {
            const base::Decimal v = cachedDecimalForField(CHTPieChartFieldSliceWidth, i);
            if (CHTDecimalIsNaN(v)) continue;
            sum = CHTDecimalAdd(sum, v);
            const base::Decimal magnitude = CHTDecimalLessThan(v, zero) ? CHTDecimalSubtract(zero, v) : v;
            if (CHTDecimalGreaterThan(magnitude, largest)) largest = magnitude;
        }
        // A sum past the largest decimal comes out not a number: as with
        // doubles, the values are then taken as fractions of the largest.
        const bool scaled = CHTDecimalIsNaN(sum);
        const base::Decimal scale = largest;
        if (scaled) {
            sum = zero;
            for (std::size_t i = 0; i < n; ++i) {
                const base::Decimal v = cachedDecimalForField(CHTPieChartFieldSliceWidth, i);
                if (!CHTDecimalIsNaN(v)) sum = CHTDecimalAdd(sum, CHTDecimalDivide(v, scale));
            }
        }
        const std::size_t bytes = sizeof(base::Decimal);
        base::Data normalized(n * bytes), cumulative(n * bytes);
        base::Decimal total = zero;
        for (std::size_t i = 0; i < n; ++i) {
            base::Decimal v = cachedDecimalForField(CHTPieChartFieldSliceWidth, i);
            if (scaled && !CHTDecimalIsNaN(v)) v = CHTDecimalDivide(v, scale);
            base::Decimal share = CHTDecimalNaN();
            if (!CHTDecimalIsNaN(v)) {
                share = CHTDecimalDivide(v, sum);
                total = CHTDecimalAdd(total, v);
            }
            const base::Decimal running = CHTDecimalDivide(total, sum);
            std::memcpy(normalized.data() + i * bytes, &share, bytes);
            std::memcpy(cumulative.data() + i * bytes, &running, bytes);
        }
        cacheNumbers(std::make_shared<CHTNumericData>(normalized, decimalDataType()),
                     CHTPieChartFieldSliceWidthNormalized);
        cacheNumbers(std::make_shared<CHTNumericData>(cumulative, decimalDataType()), CHTPieChartFieldSliceWidthSum);
    }
    // Only the records the cache holds have labels to rebuild.
    relabelIndexRange({0, cachedDataCount()});
}

// ---- Drawing

std::optional<gfx::Point> CHTPieChart::centerInPlotArea() const {
    auto area = plotArea();
    if (!area) return std::nullopt;
    const gfx::Rect b = area->bounds();
    return gfx::Point(b.minX() + b.width() * centerAnchor_.x, b.minY() + b.height() * centerAnchor_.y);
}

void CHTPieChart::addSliceToPath(gfx::Path& path, gfx::Point c, CGFloat startingAngle, CGFloat finishingAngle) const {
    const bool clockwise = sliceDirection_ == CHTPieDirectionClockwise;
    if (!(pieInnerRadius_ > 0)) {
        path.moveTo(c.x, c.y);
        path.addArc(c.x, c.y, pieRadius_, startingAngle, finishingAngle, clockwise);
    } else {
        path.addArc(c.x, c.y, pieRadius_, startingAngle, finishingAngle, clockwise);
        path.addArc(c.x, c.y, pieInnerRadius_, finishingAngle, startingAngle, !clockwise);
    }
}

void CHTPieChart::renderAsVectorInContext(gfx::Context& context) {
    if (isHidden() || cachedDataCount() == 0) return;
    auto area = plotArea();
    auto centre = centerInPlotArea();
    if (!area || !centre) return;
    CHTPlot::renderAsVectorInContext(context);
    gfx::Point c = convertPointFrom(*centre, area.get());
    if (alignsPointsToPixels()) c = CHTAlignPointToUserSpace(context, c);

    CGFloat s = 0;
    for (std::size_t i = 0; i < cachedDataCount(); ++i) {
        const double w = normalizedWidth(i);
        if (!std::isfinite(w)) continue;
        const CGFloat e = s + CGFloat(w);
        const CGFloat a0 = radiansForPieSliceValue(s), a1 = radiansForPieSliceValue(e);
        gfx::Point sliceCentre = c;
        const CGFloat d = radialOffsetForIndex(i);
        if (d != 0) {
            const CGFloat m = (a0 + a1) / 2;
            sliceCentre = gfx::Point(c.x + d * std::cos(m), c.y + d * std::sin(m));
            if (alignsPointsToPixels()) sliceCentre = CHTAlignPointToUserSpace(context, sliceCentre);
        }
        gfx::Path slice;
        addSliceToPath(slice, sliceCentre, a0, a1);
        slice.closeSubpath();
        {
            gfx::SavedState saved(context);
            if (auto fill = sliceFillForIndex(i)) {
                context.beginPath();
                context.addPath(slice);
                fill->fillPathInContext(context);
            }
            if (borderLineStyle_) {
                borderLineStyle_->setLineStyleInContext(context);
                context.beginPath();
                context.addPath(slice);
                context.strokePath();
            }
        }
        s = e;
    }
    drawOverlayInContext(context, c);
}

void CHTPieChart::drawOverlayInContext(gfx::Context& context, gfx::Point c) {
    if (!overlayFill_) return;
    gfx::SavedState saved(context);
    gfx::Path pie;
    if (!(pieInnerRadius_ > 0)) {
        pie.moveTo(c.x, c.y);
        pie.addArc(c.x, c.y, pieRadius_, 0, kTwoPi, false);
    } else {
        pie.addArc(c.x, c.y, pieRadius_, 0, kTwoPi, false);
        pie.addArc(c.x, c.y, pieInnerRadius_, kTwoPi, 0, true);
    }
    pie.closeSubpath();
    context.beginPath();
    context.addPath(pie);
    overlayFill_->fillPathInContext(context);
}

void CHTPieChart::positionLabelAnnotation(const std::shared_ptr<CHTPlotSpaceAnnotation>& label, std::size_t index) {
    if (!label) return;
    auto content = label->contentLayer();
    auto centre = centerInPlotArea();
    if (!content || !centre || !plotSpace()) {
        label->setAnchorPlotPoint({});
        label->setDisplacement(gfx::Point(0, 0));
        return;
    }
    CHTDecimalPlotPoint anchor;
    plotSpace()->plotPoint(anchor, *centre);
    label->setAnchorPlotPoint({anchor[0], anchor[1]});
    const double w = normalizedWidth(index);
    if (!std::isfinite(w)) {
        content->setHidden(true);
        return;
    }
    content->setHidden(false);
    const double before = index == 0 ? 0 : cachedDoubleForField(CHTPieChartFieldSliceWidthSum, index - 1);
    const CGFloat a = radiansForPieSliceValue(CGFloat((std::isfinite(before) ? before : 0) + w / 2));
    const CGFloat r = pieRadius_ + labelOffset() + radialOffsetForIndex(index);
    label->setDisplacement(gfx::Point(r * std::cos(a), r * std::sin(a)));
}

// ---- Hit testing

CGFloat CHTPieChart::normalizedPosition(CGFloat rawPosition) {
    CGFloat result = rawPosition / kTwoPi;
    if (result < 0) result += 1;
    return std::fmod(result, CGFloat(1));
}

bool CHTPieChart::angle(CGFloat t, CGFloat start, CGFloat end) const {
    switch (sliceDirection_) {
    case CHTPieDirectionCounterClockwise: return (start <= t && t <= end) || (end > 1 && t + 1 <= end);
    case CHTPieDirectionClockwise: return (end <= t && t <= start) || (end < 0 && t - 1 >= end);
    default: return false;
    }
}

bool CHTPieChart::pointingDeviceDownEvent(const CHTNativeEvent* event, gfx::Point interactionPoint) {
    auto graph = graphLayer();
    auto area = plotArea();
    if (!graph || !area) return false;
    auto delegate = std::dynamic_pointer_cast<CHTPieChartDelegate>(this->delegate());
    if (!delegate) return CHTPlot::pointingDeviceDownEvent(event, interactionPoint);
    const gfx::Point p = area->convertPointFrom(interactionPoint, graph.get());
    if (cachedDataCount() == 0) return false;
    auto centre = centerInPlotArea();
    if (!centre) return false;
    const gfx::Point c = *centre;
    const CGFloat t = normalizedPosition(std::atan2(p.y - c.y, p.x - c.x));
    const CGFloat dx = p.x - c.x, dy = p.y - c.y;
    const CGFloat distance = dx * dx + dy * dy;
    if (sliceDirection_ != CHTPieDirectionClockwise && sliceDirection_ != CHTPieDirectionCounterClockwise) return false;
    CGFloat s = normalizedPosition(startAngle_);
    for (std::size_t i = 0; i < cachedDataCount(); ++i) {
        const double w = normalizedWidth(i);
        if (!std::isfinite(w)) continue;
        const CGFloat e = sliceDirection_ == CHTPieDirectionCounterClockwise ? s + CGFloat(w) : s - CGFloat(w);
        CGFloat testAngle = t, testDistance = distance;
        const CGFloat d = radialOffsetForIndex(i);
        if (d != 0) {
            const CGFloat m = (s + e) * CGFloat(std::numbers::pi);
            const gfx::Point shifted(c.x + d * std::cos(m), c.y + d * std::sin(m));
            const CGFloat sx = p.x - shifted.x, sy = p.y - shifted.y;
            testAngle = normalizedPosition(std::atan2(sy, sx));
            testDistance = sx * sx + sy * sy;
        }
        if (angle(t, s, e)) {
            if (!angle(testAngle, s, e)) return false;
            if (pieInnerRadius_ * pieInnerRadius_ <= testDistance && testDistance <= pieRadius_ * pieRadius_) {
                delegate->pieChart(this, i);
                return true;
            }
        }
        s = e;
    }
    return false;
}

// ---- Archiving

void CHTPieChart::encodeWithCoder(base::KeyedArchiver& coder) const {
    CHTPlot::encodeWithCoder(coder);
    encodeCGFloat(coder, pieRadius_, "CHTPieChart.pieRadius");
    encodeCGFloat(coder, pieInnerRadius_, "CHTPieChart.pieInnerRadius");
    encodeCGFloat(coder, startAngle_, "CHTPieChart.startAngle");
    coder.encodeInteger(sliceDirection_, "CHTPieChart.sliceDirection");
    encodeCHTPoint(coder, centerAnchor_, "CHTPieChart.centerAnchor");
    coder.encodeObject(borderLineStyle_, "CHTPieChart.borderLineStyle");
    coder.encodeObject(overlayFill_, "CHTPieChart.overlayFill");
}

std::shared_ptr<base::Coding> CHTPieChart::initWithCoder(base::KeyedUnarchiver& coder) {
    CHTPlot::initWithCoder(coder);
    pieRadius_ = decodeCGFloat(coder, "CHTPieChart.pieRadius");
    pieInnerRadius_ = decodeCGFloat(coder, "CHTPieChart.pieInnerRadius");
    startAngle_ = decodeCGFloat(coder, "CHTPieChart.startAngle");
    sliceDirection_ = static_cast<CHTPieDirection>(coder.decodeInteger("CHTPieChart.sliceDirection"));
    centerAnchor_ = decodeCHTPoint(coder, "CHTPieChart.centerAnchor");
    auto style = coder.decodeObjectOfType<CHTLineStyle>("CHTPieChart.borderLineStyle");
    borderLineStyle_ = style ? style->copy() : nullptr;
    auto fill = coder.decodeObjectOfType<CHTFill>("CHTPieChart.overlayFill");
    overlayFill_ = fill ? fill->copy() : nullptr;
    return nullptr;
}
