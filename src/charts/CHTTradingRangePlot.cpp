#include "charts/CHTTradingRangePlot.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "charts/CHTCoderExtensions.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTColor.h"
#include "charts/CHTPlotArea.h"
#include "charts/CHTPlotSpaceAnnotation.h"
#include "charts/CHTXYPlotSpace.h"
#include "platform/base/Exception.h"

namespace {

constexpr CGFloat kNaN = std::numeric_limits<CGFloat>::quiet_NaN();

// Whether a view coordinate can be drawn. A value that is missing, infinite
// or too large for a view coordinate (a sample beyond a decimal maps to an
// infinite one) is left out alike: a candlestick without a finite open or
// close still draws its high-low line.
bool isNumber(CGFloat v) { return std::isfinite(v); }

}  // namespace

CHTTradingRangePlot::CHTTradingRangePlot(const gfx::Rect& frame)
    : CHTPlot(frame),
      lineStyle_(CHTLineStyle::lineStyle()),
      increaseFill_(CHTFill::fillWithColor(CHTColor::whiteColor())),
      decreaseFill_(CHTFill::fillWithColor(CHTColor::blackColor())) {
    setLabelField(CHTTradingRangePlotFieldClose);
}

// ---- Properties

void CHTTradingRangePlot::styleChanged() {
    setNeedsDisplay();
    postLegendNotification(CHTLegendNeedsRedrawForPlotNotification);
}

void CHTTradingRangePlot::setLineStyle(const std::shared_ptr<CHTLineStyle>& style) {
    if (style.get() == lineStyle_.get()) return;
    lineStyle_ = style ? style->copy() : nullptr;
    styleChanged();
}

void CHTTradingRangePlot::setIncreaseLineStyle(const std::shared_ptr<CHTLineStyle>& style) {
    if (style.get() == increaseLineStyle_.get()) return;
    increaseLineStyle_ = style ? style->copy() : nullptr;
    styleChanged();
}

void CHTTradingRangePlot::setDecreaseLineStyle(const std::shared_ptr<CHTLineStyle>& style) {
    if (style.get() == decreaseLineStyle_.get()) return;
    decreaseLineStyle_ = style ? style->copy() : nullptr;
    styleChanged();
}

void CHTTradingRangePlot::setIncreaseFill(const std::shared_ptr<CHTFill>& fill) {
    if (fill.get() == increaseFill_.get()) return;
    increaseFill_ = fill ? fill->copy() : nullptr;
    styleChanged();
}

void CHTTradingRangePlot::setDecreaseFill(const std::shared_ptr<CHTFill>& fill) {
    if (fill.get() == decreaseFill_.get()) return;
    decreaseFill_ = fill ? fill->copy() : nullptr;
    styleChanged();
}

void CHTTradingRangePlot::setPlotStyle(CHTTradingRangePlotStyle style) {
    if (style == plotStyle_) return;
    plotStyle_ = style;
    styleChanged();
}

void CHTTradingRangePlot::setBarWidth(CGFloat width) {
    if (width == barWidth_) return;
    barWidth_ = width;
    styleChanged();
}

void CHTTradingRangePlot::setStickLength(CGFloat length) {
    if (length == stickLength_) return;
    stickLength_ = length;
    styleChanged();
}

void CHTTradingRangePlot::setBarCornerRadius(CGFloat radius) {
    if (radius == barCornerRadius_) return;
    barCornerRadius_ = radius;
    setNeedsDisplay();
}

bool CHTTradingRangePlot::needsDisplayForKey(const std::string& key) {
    static const std::vector<std::string> keys{"barWidth", "stickLength", "barCornerRadius"};
    return std::find(keys.begin(), keys.end(), key) != keys.end() || CHTPlot::needsDisplayForKey(key);
}

std::vector<std::size_t> CHTTradingRangePlot::fieldIdentifiersForCoordinate(CHTCoordinate coordinate) const {
    if (coordinate == CHTCoordinateX) return {CHTTradingRangePlotFieldX};
    if (coordinate == CHTCoordinateY)
        return {CHTTradingRangePlotFieldOpen, CHTTradingRangePlotFieldLow, CHTTradingRangePlotFieldHigh,
                CHTTradingRangePlotFieldClose};
    base::raise("CHTException", "Invalid coordinate passed to fieldIdentifiersForCoordinate:");
}

// ---- Loading

void CHTTradingRangePlot::reloadDataInIndexRange(CHTRecordRange indexRange) {
    CHTPlot::reloadDataInIndexRange(indexRange);
    if (dataSource()) {
        for (std::size_t field = CHTTradingRangePlotFieldX; field <= CHTTradingRangePlotFieldClose; ++field)
            cacheNumbers(numbersFromDataSourceForField(field, indexRange), field, indexRange.location);
    } else {
        setXValues(std::monostate{});
        setOpenValues(std::monostate{});
        setHighValues(std::monostate{});
        setLowValues(std::monostate{});
        setCloseValues(std::monostate{});
    }
}

// ---- Marks

gfx::Path CHTTradingRangePlot::newOHLCPath(const gfx::Context& context, CGFloat x, CGFloat open, CGFloat close,
                                           CGFloat high, CGFloat low, bool alignPoints) const {
    auto at = [&](CGFloat px, CGFloat py) {
        gfx::Point p(px, py);
        return alignPoints ? CHTAlignPointToUserSpace(context, p) : p;
    };
    gfx::Path path;
    auto segment = [&](gfx::Point a, gfx::Point b) {
        path.moveTo(a.x, a.y);
        path.lineTo(b.x, b.y);
    };
    if (isNumber(high) && isNumber(low)) segment(at(x, high), at(x, low));
    if (isNumber(open)) segment(at(x, open), at(x - stickLength_, open));
    if (isNumber(close)) segment(at(x, close), at(x + stickLength_, close));
    return path;
}

void CHTTradingRangePlot::drawOHLCInContext(gfx::Context& context, CGFloat x, CGFloat open, CGFloat close, CGFloat high,
                                            CGFloat low, bool alignPoints) {
    gfx::Path path = newOHLCPath(context, x, open, close, high, low, alignPoints);
    context.beginPath();
    context.addPath(path);
    context.strokePath();
}

gfx::Path CHTTradingRangePlot::newCandleStickPath(const gfx::Context& context, CGFloat x, CGFloat open, CGFloat close,
                                                  CGFloat high, CGFloat low, bool alignPoints, bool withWicks) const {
    auto at = [&](CGFloat px, CGFloat py) {
        gfx::Point p(px, py);
        return alignPoints ? CHTAlignPointToUserSpace(context, p) : p;
    };
    gfx::Path path;
    if (!isNumber(open) || !isNumber(close)) {
        // No body: the high-low line alone.
        if (isNumber(high) && isNumber(low)) {
            gfx::Point a = at(x, high), b = at(x, low);
            path.moveTo(a.x, a.y);
            path.lineTo(b.x, b.y);
        }
        return path;
    }
    // A negative width still gives a body; the corner radius uses its size.
    const CGFloat w = barWidth_ / 2;
    const CGFloat radius = std::max<CGFloat>(0, std::min({barCornerRadius_, std::fabs(w), std::fabs(close - open)}));
    gfx::Point openRight = at(x + w, open), closeRight = at(x + w, close), closeMiddle = at(x, close),
               closeLeft = at(x - w, close), openLeft = at(x - w, open);
    if (open == close) {
        // A flat body is as tall as a line.
        const CGFloat half = lineStyle_ ? lineStyle_->lineWidth() / 2 : 0;
        openRight.y -= half;
        openLeft.y -= half;
        closeRight.y += half;
        closeMiddle.y += half;
        closeLeft.y += half;
    }
    path.moveTo(openRight.x, openRight.y);
    path.addArcToPoint(closeRight.x, closeRight.y, closeMiddle.x, closeMiddle.y, radius);
    path.addArcToPoint(closeLeft.x, closeLeft.y, openLeft.x, openLeft.y, radius);
    path.lineTo(openLeft.x, openLeft.y);
    path.closeSubpath();
    if (!withWicks) return path;
    // Wicks from the body's edges out to the low and the high.
    const CGFloat bodyLow = std::min(openLeft.y, closeLeft.y);
    const CGFloat bodyHigh = std::max(openLeft.y, closeLeft.y);
    const CGFloat middle = closeMiddle.x;
    if (isNumber(low)) {
        gfx::Point end = at(x, low);
        if (end.y < bodyLow) {
            path.moveTo(middle, bodyLow);
            path.lineTo(end.x, end.y);
        }
    }
    if (isNumber(high)) {
        gfx::Point end = at(x, high);
        if (end.y > bodyHigh) {
            path.moveTo(middle, bodyHigh);
            path.lineTo(end.x, end.y);
        }
    }
    return path;
}

void CHTTradingRangePlot::drawCandleStickInContext(gfx::Context& context, CGFloat x, CGFloat open, CGFloat close,
                                                   CGFloat high, CGFloat low, bool alignPoints) {
    const bool hasBody = isNumber(open) && isNumber(close);
    std::shared_ptr<CHTLineStyle> style;
    std::shared_ptr<CHTFill> fill;
    if (hasBody) {
        if (open < close) {
            style = increaseLineStyle_ ? increaseLineStyle_ : lineStyle_;
            fill = increaseFill_;
        } else if (open > close) {
            style = decreaseLineStyle_ ? decreaseLineStyle_ : lineStyle_;
            fill = decreaseFill_;
        } else {
            // Flat: drawn like a thick line in the plot's line style.
            style = lineStyle_;
            if (lineStyle_ && lineStyle_->lineColor()) fill = CHTFill::fillWithColor(lineStyle_->lineColor());
        }
    }
    if (style) style->setLineStyleInContext(context);
    if (!hasBody) {
        // In the style already on the context.
        gfx::Path line = newCandleStickPath(context, x, open, close, high, low, alignPoints, false);
        if (line.isEmpty()) return;
        context.beginPath();
        context.addPath(line);
        context.strokePath();
        return;
    }
    if (!fill && !style) return;
    if (fill) {
        gfx::Path body = newCandleStickPath(context, x, open, close, high, low, alignPoints, false);
        context.beginPath();
        context.addPath(body);
        fill->fillPathInContext(context);
    }
    if (!style) return;
    gfx::Path outline = newCandleStickPath(context, x, open, close, high, low, alignPoints, true);
    context.beginPath();
    context.addPath(outline);
    context.strokePath();
}

// ---- Drawing

void CHTTradingRangePlot::renderAsVectorInContext(gfx::Context& context) {
    if (isHidden()) return;
    std::shared_ptr<CHTMutableNumericData> fields[5];
    for (std::size_t f = 0; f < 5; ++f) {
        fields[f] = cachedNumbersForField(f);
        if (!fields[f]) return;
    }
    const std::size_t n = fields[CHTTradingRangePlotFieldX]->numberOfSamples();
    if (n == 0) return;
    for (std::size_t f = 1; f < 5; ++f)
        if (fields[f]->numberOfSamples() != n)
            base::raise("CHTException", "Mismatching number of data values in trading range plot");

    CHTPlot::renderAsVectorInContext(context);
    auto space = plotSpace();
    if (!space) return;
    if (lineStyle_) lineStyle_->setLineStyleInContext(context);
    const gfx::Point offset = plotAreaToPlotOffset();
    const bool doubles = doublePrecisionCache();
    for (std::size_t i = 0; i < n; ++i) {
        // The view point of (x, value); NaN when either is missing.
        CGFloat viewX = kNaN;
        CGFloat y[5] = {kNaN, kNaN, kNaN, kNaN, kNaN};
        CGFloat pointX[5] = {kNaN, kNaN, kNaN, kNaN, kNaN};
        if (doubles) {
            const double x = cachedDoubleForField(CHTTradingRangePlotFieldX, i);
            if (std::isnan(x)) continue;
            for (std::size_t f = 1; f < 5; ++f) {
                const double v = cachedDoubleForField(f, i);
                if (std::isnan(v)) continue;
                gfx::Point p = space->plotAreaViewPointForDoublePrecisionPlotPoint({x, v});
                pointX[f] = p.x;
                y[f] = p.y;
            }
        } else {
            const base::Decimal x = cachedDecimalForField(CHTTradingRangePlotFieldX, i);
            if (CHTDecimalIsNaN(x)) continue;
            for (std::size_t f = 1; f < 5; ++f) {
                const base::Decimal v = cachedDecimalForField(f, i);
                if (CHTDecimalIsNaN(v)) continue;
                gfx::Point p = space->plotAreaViewPointForPlotPoint({x, v});
                pointX[f] = p.x;
                y[f] = p.y;
            }
        }
        // The open point's x, or the high point's when the open cannot be
        // placed; neither placed skips the record. An open or high that is
        // infinite or beyond a decimal cannot be placed any more than a
        // missing one: its point has an x but no y.
        if (isNumber(y[CHTTradingRangePlotFieldOpen])) viewX = pointX[CHTTradingRangePlotFieldOpen];
        else if (isNumber(y[CHTTradingRangePlotFieldHigh])) viewX = pointX[CHTTradingRangePlotFieldHigh];
        if (!isNumber(viewX)) continue;
        viewX += offset.x;
        for (CGFloat& v : y) v += offset.y;
        const CGFloat open = y[CHTTradingRangePlotFieldOpen], close = y[CHTTradingRangePlotFieldClose],
                      high = y[CHTTradingRangePlotFieldHigh], low = y[CHTTradingRangePlotFieldLow];
        switch (plotStyle_) {
        case CHTTradingRangePlotStyleOHLC:
            drawOHLCInContext(context, viewX, open, close, high, low, alignsPointsToPixels());
            break;
        case CHTTradingRangePlotStyleCandleStick:
            drawCandleStickInContext(context, viewX, open, close, high, low, alignsPointsToPixels());
            break;
        default: base::raise("CHTException", "Invalid plot style in renderAsVectorInContext");
        }
    }
}

void CHTTradingRangePlot::positionLabelAnnotation(const std::shared_ptr<CHTPlotSpaceAnnotation>& label,
                                                  std::size_t index) {
    if (!label) return;
    bool reversed = false;
    if (auto* xy = dynamic_cast<CHTXYPlotSpace*>(plotSpace().get()); xy && xy->yRange())
        reversed = xy->yRange()->lengthDouble() < 0;
    // The record's values that are numbers, lowest first: a missing one is
    // left out rather than sorted somewhere arbitrary.
    std::vector<base::Decimal> values;
    for (std::size_t field : {CHTTradingRangePlotFieldOpen, CHTTradingRangePlotFieldClose, CHTTradingRangePlotFieldHigh,
                              CHTTradingRangePlotFieldLow}) {
        if (!cachedNumbersForField(field)) continue;
        base::Decimal v = cachedDecimalForField(field, index);
        if (!CHTDecimalIsNaN(v)) values.push_back(v);
    }
    std::sort(values.begin(), values.end(),
              [](const base::Decimal& a, const base::Decimal& b) { return CHTDecimalLessThan(a, b); });
    const base::Decimal x = cachedDecimalForField(CHTTradingRangePlotFieldX, index);
    const base::Decimal y = values.empty() ? CHTDecimalNaN() : (reversed ? values.front() : values.back());
    label->setAnchorPlotPoint({x, y});
    label->setDisplacement(gfx::Point(0, reversed ? -labelOffset() : labelOffset()));
    if (label->contentLayer()) label->contentLayer()->setHidden(CHTDecimalIsNaN(x) || CHTDecimalIsNaN(y));
}

void CHTTradingRangePlot::drawSwatchForLegend(const CHTLegendSwatchStyle& legend, std::size_t index,
                                              const gfx::Rect& rect, gfx::Context& context) {
    CHTPlot::drawSwatchForLegend(legend, index, rect, context);
    if (lineStyle_) lineStyle_->setLineStyleInContext(context);
    const CGFloat x = rect.midX(), low = rect.minY(), high = rect.maxY();
    const CGFloat open = rect.minY() + rect.height() / 3, close = rect.minY() + rect.height() * 2 / 3;
    if (plotStyle_ == CHTTradingRangePlotStyleOHLC) drawOHLCInContext(context, x, open, close, high, low, true);
    else if (plotStyle_ == CHTTradingRangePlotStyleCandleStick)
        drawCandleStickInContext(context, x, open, close, high, low, true);
}

// ---- Archiving

void CHTTradingRangePlot::encodeWithCoder(base::KeyedArchiver& coder) const {
    CHTPlot::encodeWithCoder(coder);
    coder.encodeObject(lineStyle_, "CHTTradingRangePlot.lineStyle");
    coder.encodeObject(increaseLineStyle_, "CHTTradingRangePlot.increaseLineStyle");
    coder.encodeObject(decreaseLineStyle_, "CHTTradingRangePlot.decreaseLineStyle");
    coder.encodeObject(increaseFill_, "CHTTradingRangePlot.increaseFill");
    coder.encodeObject(decreaseFill_, "CHTTradingRangePlot.decreaseFill");
    coder.encodeInteger(plotStyle_, "CHTTradingRangePlot.plotStyle");
    coder.encodeFloat(barWidth_, "CHTTradingRangePlot.barWidth");
    coder.encodeFloat(stickLength_, "CHTTradingRangePlot.stickLength");
    coder.encodeFloat(barCornerRadius_, "CHTTradingRangePlot.barCornerRadius");
}

std::shared_ptr<base::Coding> CHTTradingRangePlot::initWithCoder(base::KeyedUnarchiver& coder) {
    CHTPlot::initWithCoder(coder);
    auto copyStyle = [&](const char* key) {
        auto s = coder.decodeObjectOfType<CHTLineStyle>(key);
        return s ? s->copy() : nullptr;
    };
    auto copyFill = [&](const char* key) {
        auto f = coder.decodeObjectOfType<CHTFill>(key);
        return f ? f->copy() : nullptr;
    };
    lineStyle_ = copyStyle("CHTTradingRangePlot.lineStyle");
    increaseLineStyle_ = copyStyle("CHTTradingRangePlot.increaseLineStyle");
    decreaseLineStyle_ = copyStyle("CHTTradingRangePlot.decreaseLineStyle");
    increaseFill_ = copyFill("CHTTradingRangePlot.increaseFill");
    decreaseFill_ = copyFill("CHTTradingRangePlot.decreaseFill");
    plotStyle_ = static_cast<CHTTradingRangePlotStyle>(coder.decodeInteger("CHTTradingRangePlot.plotStyle"));
    barWidth_ = coder.decodeFloat("CHTTradingRangePlot.barWidth");
    stickLength_ = coder.decodeFloat("CHTTradingRangePlot.stickLength");
    barCornerRadius_ = coder.decodeFloat("CHTTradingRangePlot.barCornerRadius");
    return nullptr;
}
