#include "charts/CHTRangePlot.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "charts/CHTCoderExtensions.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTPlotArea.h"
#include "charts/CHTPlotSpaceAnnotation.h"
#include "charts/CHTXYPlotSpace.h"
#include "platform/base/Exception.h"

namespace {

constexpr CGFloat kNaN = std::numeric_limits<CGFloat>::quiet_NaN();

bool isNumber(CGFloat v) { return !std::isnan(v); }

CHTRangePlotViewPoint missingPoint() { return {kNaN, kNaN, kNaN, kNaN, kNaN, kNaN}; }

}  // namespace

CHTRangePlot::CHTRangePlot(const gfx::Rect& frame) : CHTPlot(frame), barLineStyle_(CHTLineStyle::lineStyle()) {}

// ---- Properties

void CHTRangePlot::setBarLineStyle(const std::shared_ptr<CHTLineStyle>& style) {
    if (style.get() == barLineStyle_.get()) return;
    barLineStyle_ = style ? style->copy() : nullptr;
    setNeedsDisplay();
    postLegendNotification(CHTLegendNeedsRedrawForPlotNotification);
}

void CHTRangePlot::setAreaFill(const std::shared_ptr<CHTFill>& fill) {
    if (fill.get() == areaFill_.get()) return;
    areaFill_ = fill ? fill->copy() : nullptr;
    setNeedsDisplay();
    postLegendNotification(CHTLegendNeedsRedrawForPlotNotification);
}

void CHTRangePlot::setBarWidth(CGFloat width) {
    if (width == barWidth_) return;
    barWidth_ = width;
    setNeedsDisplay();
}

void CHTRangePlot::setGapHeight(CGFloat height) {
    if (height == gapHeight_) return;
    gapHeight_ = height;
    setNeedsDisplay();
}

void CHTRangePlot::setGapWidth(CGFloat width) {
    if (width == gapWidth_) return;
    gapWidth_ = width;
    setNeedsDisplay();
}

bool CHTRangePlot::needsDisplayForKey(const std::string& key) {
    static const std::vector<std::string> keys{"barWidth", "gapHeight", "gapWidth"};
    return std::find(keys.begin(), keys.end(), key) != keys.end() || CHTPlot::needsDisplayForKey(key);
}

std::vector<std::size_t> CHTRangePlot::fieldIdentifiersForCoordinate(CHTCoordinate coordinate) const {
    if (coordinate == CHTCoordinateX) return {CHTRangePlotFieldX};
    if (coordinate == CHTCoordinateY) return {CHTRangePlotFieldY};
    base::raise("CHTException", "Invalid coordinate passed to fieldIdentifiersForCoordinate:");
}

// ---- Loading

void CHTRangePlot::reloadDataInIndexRange(CHTRecordRange indexRange) {
    CHTPlot::reloadDataInIndexRange(indexRange);
    if (dataSource()) {
        for (std::size_t field = CHTRangePlotFieldX; field <= CHTRangePlotFieldRight; ++field)
            cacheNumbers(numbersFromDataSourceForField(field, indexRange), field, indexRange.location);
    } else {
        for (std::size_t field = CHTRangePlotFieldX; field <= CHTRangePlotFieldRight; ++field)
            cacheNumbers(std::monostate{}, field);
    }
}

// ---- Points

void CHTRangePlot::calculatePointsToDraw(std::vector<char>& flags, CHTPlotSpace* plotSpace, bool visibleOnly) const {
    CHTPointSelectionRules rules;
    rules.compareYOnlyInsideX = false;
    rules.yRegionChangeKeepsPair = false;
    rules.decimalMissingByXOnly = true;
    selectPointsToDraw(flags, plotSpace, visibleOnly, CHTRangePlotFieldX, CHTRangePlotFieldY, rules);
}

void CHTRangePlot::calculateViewPoints(std::vector<CHTRangePlotViewPoint>& points,
                                       const std::vector<char>& flags) const {
    const std::size_t n = flags.size();
    points.assign(n, missingPoint());
    auto space = plotSpace();
    if (!space) return;
    const gfx::Point offset = plotAreaToPlotOffset();
    const bool doubles = doublePrecisionCache();
    for (std::size_t i = 0; i < n; ++i) {
        if (!flags[i]) continue;
        CHTRangePlotViewPoint& v = points[i];
        // Fields shorter than x and y read as missing past their end.
        if (doubles) {
            const double x = cachedDoubleForField(CHTRangePlotFieldX, i);
            const double y = cachedDoubleForField(CHTRangePlotFieldY, i);
            if (std::isnan(x) || std::isnan(y)) continue;
            auto map = [&](double px, double py) {
                return space->plotAreaViewPointForDoublePrecisionPlotPoint({px, py});
            };
            const gfx::Point p = map(x, y);
            v.x = p.x + offset.x;
            v.y = p.y + offset.y;
            const double high = cachedDoubleForField(CHTRangePlotFieldHigh, i);
            const double low = cachedDoubleForField(CHTRangePlotFieldLow, i);
            const double left = cachedDoubleForField(CHTRangePlotFieldLeft, i);
            const double right = cachedDoubleForField(CHTRangePlotFieldRight, i);
            if (!std::isnan(high)) v.high = map(x, y + high).y + offset.y;
            if (!std::isnan(low)) v.low = map(x, y - low).y + offset.y;
            if (!std::isnan(left)) v.left = map(x - left, y).x + offset.x;
            if (!std::isnan(right)) v.right = map(x + right, y).x + offset.x;
        } else {
            const base::Decimal x = cachedDecimalForField(CHTRangePlotFieldX, i);
            const base::Decimal y = cachedDecimalForField(CHTRangePlotFieldY, i);
            if (CHTDecimalIsNaN(x) || CHTDecimalIsNaN(y)) continue;
            auto map = [&](const base::Decimal& px, const base::Decimal& py) {
                return space->plotAreaViewPointForPlotPoint({px, py});
            };
            const gfx::Point p = map(x, y);
            v.x = p.x + offset.x;
            v.y = p.y + offset.y;
            const base::Decimal high = cachedDecimalForField(CHTRangePlotFieldHigh, i);
            const base::Decimal low = cachedDecimalForField(CHTRangePlotFieldLow, i);
            const base::Decimal left = cachedDecimalForField(CHTRangePlotFieldLeft, i);
            const base::Decimal right = cachedDecimalForField(CHTRangePlotFieldRight, i);
            if (!CHTDecimalIsNaN(high)) v.high = map(x, CHTDecimalAdd(y, high)).y + offset.y;
            if (!CHTDecimalIsNaN(low)) v.low = map(x, CHTDecimalSubtract(y, low)).y + offset.y;
            if (!CHTDecimalIsNaN(left)) v.left = map(CHTDecimalSubtract(x, left), y).x + offset.x;
            if (!CHTDecimalIsNaN(right)) v.right = map(CHTDecimalAdd(x, right), y).x + offset.x;
        }
    }
}

void CHTRangePlot::alignViewPointsToUserSpace(std::vector<CHTRangePlotViewPoint>& points, const gfx::Context& context,
                                              const std::vector<char>& flags) const {
    for (std::size_t i = 0; i < points.size() && i < flags.size(); ++i) {
        if (!flags[i]) continue;
        CHTRangePlotViewPoint& v = points[i];
        if (!isNumber(v.x) || !isNumber(v.y)) continue;
        const gfx::Point p = CHTAlignPointToUserSpace(context, {v.x, v.y});
        if (isNumber(v.high)) v.high = CHTAlignPointToUserSpace(context, {v.x, v.high}).y;
        if (isNumber(v.low)) v.low = CHTAlignPointToUserSpace(context, {v.x, v.low}).y;
        if (isNumber(v.left)) v.left = CHTAlignPointToUserSpace(context, {v.left, v.y}).x;
        if (isNumber(v.right)) v.right = CHTAlignPointToUserSpace(context, {v.right, v.y}).x;
        v.x = p.x;
        v.y = p.y;
    }
}

// ---- Drawing

gfx::Path CHTRangePlot::rangePath(const gfx::Context& context, const CHTRangePlotViewPoint& v, gfx::Size halfGap,
                                  CGFloat halfBar, bool alignPoints) const {
    gfx::Path path;
    if (!isNumber(v.x) || !isNumber(v.y)) return path;
    auto at = [&](CGFloat px, CGFloat py) {
        gfx::Point p(px, py);
        return alignPoints ? CHTAlignPointToUserSpace(context, p) : p;
    };
    auto segment = [&](gfx::Point a, gfx::Point b) {
        path.moveTo(a.x, a.y);
        path.lineTo(b.x, b.y);
    };
    const bool high = isNumber(v.high), low = isNumber(v.low), left = isNumber(v.left), right = isNumber(v.right);
    if (high) segment(at(v.x, v.y + halfGap.height), at(v.x, v.high));
    if (low) segment(at(v.x, v.y - halfGap.height), at(v.x, v.low));
    if (high) segment(at(v.x - halfBar, v.high), at(v.x + halfBar, v.high));
    if (low) segment(at(v.x - halfBar, v.low), at(v.x + halfBar, v.low));
    if (left) segment(at(v.x - halfGap.width, v.y), at(v.left, v.y));
    if (right) segment(at(v.x + halfGap.width, v.y), at(v.right, v.y));
    if (left) segment(at(v.left, v.y - halfBar), at(v.left, v.y + halfBar));
    if (right) segment(at(v.right, v.y - halfBar), at(v.right, v.y + halfBar));
    return path;
}

void CHTRangePlot::drawRangeInContext(gfx::Context& context, const CHTRangePlotViewPoint& viewPoint,
                                      gfx::Size halfGapSize, CGFloat halfBarWidth, bool alignPoints) {
    if (!isNumber(viewPoint.x) || !isNumber(viewPoint.y)) return;
    gfx::Path path = rangePath(context, viewPoint, halfGapSize, halfBarWidth, alignPoints);
    context.beginPath();
    context.addPath(path);
    context.strokePath();
}

void CHTRangePlot::renderAsVectorInContext(gfx::Context& context) {
    if (isHidden()) return;
    auto xData = cachedNumbersForField(CHTRangePlotFieldX);
    auto yData = cachedNumbersForField(CHTRangePlotFieldY);
    if (!xData || !yData || cachedDataCount() == 0) return;
    if (xData->numberOfSamples() != yData->numberOfSamples())
        base::raise("CHTException", "Number of x and y values do not match");

    CHTPlot::renderAsVectorInContext(context);
    std::vector<char> flags;
    calculatePointsToDraw(flags, plotSpace().get(), false);
    // Records beyond the x and y fields are never read.
    flags.resize(std::min(flags.size(), xData->numberOfSamples()));
    std::vector<CHTRangePlotViewPoint> points;
    calculateViewPoints(points, flags);
    if (alignsPointsToPixels()) alignViewPointsToUserSpace(points, context, flags);
    const std::size_t first = extremeDrawnPointIndexForFlags(flags, true);
    const std::size_t last = extremeDrawnPointIndexForFlags(flags, false);
    if (first == CHTNotFound) return;

    if (areaFill_) {
        // Forward along the upper ends, back along the lower ends; a missing
        // end is replaced by the point itself.
        gfx::Path band;
        bool started = false;
        auto add = [&](CGFloat x, CGFloat y) {
            if (!isNumber(x) || !isNumber(y)) return;
            if (!started) band.moveTo(x, y);
            else band.lineTo(x, y);
            started = true;
        };
        for (std::size_t i = first; i <= last; ++i)
            add(points[i].x, isNumber(points[i].high) ? points[i].high : points[i].y);
        for (std::size_t i = last + 1; i-- > first;)
            add(points[i].x, isNumber(points[i].low) ? points[i].low : points[i].y);
        if (started) {
            band.closeSubpath();
            context.beginPath();
            context.addPath(band);
            areaFill_->fillPathInContext(context);
        }
    }

    if (barLineStyle_) {
        barLineStyle_->setLineStyleInContext(context);
        const gfx::Size halfGap(gapWidth_ / 2, gapHeight_ / 2);
        for (std::size_t i = first; i <= last; ++i)
            drawRangeInContext(context, points[i], halfGap, barWidth_ / 2, alignsPointsToPixels());
    }
}

void CHTRangePlot::positionLabelAnnotation(const std::shared_ptr<CHTPlotSpaceAnnotation>& label, std::size_t index) {
    if (!label) return;
    const base::Decimal x = cachedDecimalForField(CHTRangePlotFieldX, index);
    const base::Decimal y = cachedDecimalForField(CHTRangePlotFieldY, index);
    label->setAnchorPlotPoint({x, y});
    bool reversed = false;
    if (auto* xy = dynamic_cast<CHTXYPlotSpace*>(plotSpace().get()); xy && xy->yRange())
        reversed = xy->yRange()->lengthDouble() < 0;
    label->setDisplacement(gfx::Point(0, reversed ? -labelOffset() : labelOffset()));
    if (label->contentLayer()) label->contentLayer()->setHidden(CHTDecimalIsNaN(x) || CHTDecimalIsNaN(y));
}

void CHTRangePlot::drawSwatchForLegend(const CHTLegendSwatchStyle& legend, std::size_t index, const gfx::Rect& rect,
                                       gfx::Context& context) {
    CHTPlot::drawSwatchForLegend(legend, index, rect, context);
    if (areaFill_) {
        gfx::Path outline;
        if (!(legend.swatchCornerRadius > 0)) outline.addRect(rect);
        else
            outline =
                CreateRoundedRectPath(rect, std::min({legend.swatchCornerRadius, rect.width() / 2, rect.height() / 2}));
        context.beginPath();
        context.addPath(outline);
        areaFill_->fillPathInContext(context);
    }
    if (barLineStyle_) {
        barLineStyle_->setLineStyleInContext(context);
        const CHTRangePlotViewPoint v{rect.midX(), rect.midY(), rect.maxY(), rect.minY(), rect.minX(), rect.maxX()};
        const gfx::Size halfGap(std::min(gapWidth_, rect.width() / 2) / 2, std::min(gapHeight_, rect.height() / 2) / 2);
        drawRangeInContext(context, v, halfGap, std::min({barWidth_, rect.width(), rect.height()}) / 2, true);
    }
}

// ---- Archiving

void CHTRangePlot::encodeWithCoder(base::KeyedArchiver& coder) const {
    CHTPlot::encodeWithCoder(coder);
    coder.encodeObject(barLineStyle_, "CHTRangePlot.barLineStyle");
    coder.encodeObject(areaFill_, "CHTRangePlot.areaFill");
    coder.encodeFloat(barWidth_, "CHTRangePlot.barWidth");
    coder.encodeFloat(gapHeight_, "CHTRangePlot.gapHeight");
    coder.encodeFloat(gapWidth_, "CHTRangePlot.gapWidth");
}

std::shared_ptr<base::Coding> CHTRangePlot::initWithCoder(base::KeyedUnarchiver& coder) {
    CHTPlot::initWithCoder(coder);
    auto style = coder.decodeObjectOfType<CHTLineStyle>("CHTRangePlot.barLineStyle");
    barLineStyle_ = style ? style->copy() : nullptr;
    auto fill = coder.decodeObjectOfType<CHTFill>("CHTRangePlot.areaFill");
    areaFill_ = fill ? fill->copy() : nullptr;
    barWidth_ = coder.decodeFloat("CHTRangePlot.barWidth");
    gapHeight_ = coder.decodeFloat("CHTRangePlot.gapHeight");
    gapWidth_ = coder.decodeFloat("CHTRangePlot.gapWidth");
    return nullptr;
}
