#include "charts/CHTScatterPlot.h"

#include <cmath>
#include <limits>

#include "charts/CHTCoderExtensions.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTPlotArea.h"
#include "charts/CHTPlotSpaceAnnotation.h"
#include "charts/CHTXYPlotSpace.h"
#include "platform/base/Exception.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool isNaNPoint(const gfx::Point& p) { return std::isnan(p.x) || std::isnan(p.y); }

}  // namespace

CHTScatterPlot::CHTScatterPlot(const gfx::Rect& frame)
    : CHTPlot(frame),
      dataLineStyle_(CHTLineStyle::lineStyle()),
      areaBaseValue_(CHTDecimalNaN()),
      areaBaseValue2_(CHTDecimalNaN()) {
    setLabelField(CHTScatterPlotFieldY);
}

// ---- Properties

void CHTScatterPlot::styleChanged() {
    setNeedsDisplay();
    postLegendNotification(CHTLegendNeedsRedrawForPlotNotification);
}

void CHTScatterPlot::setInterpolation(CHTScatterPlotInterpolation interpolation) {
    if (interpolation == interpolation_) return;
    interpolation_ = interpolation;
    setNeedsDisplay();
}

void CHTScatterPlot::setDataLineStyle(const std::shared_ptr<CHTLineStyle>& style) {
    if (style.get() == dataLineStyle_.get()) return;
    dataLineStyle_ = style ? style->copy() : nullptr;
    styleChanged();
}

void CHTScatterPlot::setPlotSymbol(const std::shared_ptr<CHTPlotSymbol>& symbol) {
    if (symbol.get() == plotSymbol_.get()) return;
    plotSymbol_ = symbol ? symbol->copy() : nullptr;
    styleChanged();
}

void CHTScatterPlot::setAreaFill(const std::shared_ptr<CHTFill>& fill) {
    if (fill.get() == areaFill_.get()) return;
    areaFill_ = fill ? fill->copy() : nullptr;
    styleChanged();
}

void CHTScatterPlot::setAreaFill2(const std::shared_ptr<CHTFill>& fill) {
    if (fill.get() == areaFill2_.get()) return;
    areaFill2_ = fill ? fill->copy() : nullptr;
    styleChanged();
}

void CHTScatterPlot::setAreaBaseValue(const base::Decimal& value) {
    if (CHTDecimalEquals(value, areaBaseValue_)) return;
    areaBaseValue_ = value;
    styleChanged();
}

void CHTScatterPlot::setAreaBaseValue2(const base::Decimal& value) {
    if (CHTDecimalEquals(value, areaBaseValue2_)) return;
    areaBaseValue2_ = value;
    styleChanged();
}

void CHTScatterPlot::setPlotSymbols(const std::optional<SymbolList>& symbols) {
    if (symbols == plotSymbols_) return;
    plotSymbols_ = symbols;
    setNeedsDisplay();
}

std::vector<std::size_t> CHTScatterPlot::fieldIdentifiersForCoordinate(CHTCoordinate coordinate) const {
    if (coordinate == CHTCoordinateX) return {CHTScatterPlotFieldX};
    if (coordinate == CHTCoordinateY) return {CHTScatterPlotFieldY};
    base::raise("CHTException", "Invalid coordinate passed to fieldIdentifiersForCoordinate:");
}

// ---- Loading

void CHTScatterPlot::reloadDataInIndexRange(CHTRecordRange indexRange) {
    CHTPlot::reloadDataInIndexRange(indexRange);
    if (dataSource()) {
        cacheNumbers(numbersFromDataSourceForField(CHTScatterPlotFieldX, indexRange), CHTScatterPlotFieldX,
                     indexRange.location);
        cacheNumbers(numbersFromDataSourceForField(CHTScatterPlotFieldY, indexRange), CHTScatterPlotFieldY,
                     indexRange.location);
        reloadPlotSymbolsInIndexRange(indexRange);
    } else {
        setXValues(std::monostate{});
        setYValues(std::monostate{});
        setPlotSymbols(std::nullopt);
    }
}

void CHTScatterPlot::reloadPlotSymbolsInIndexRange(CHTRecordRange indexRange) {
    auto source = std::dynamic_pointer_cast<CHTScatterPlotDataSource>(dataSource());
    const std::size_t count = source ? source->numberOfRecordsForPlot(this) : 0;
    std::optional<std::vector<CHTDataSourceObject<CHTPlotSymbol>>> many;
    std::optional<CHTDataSourceObject<CHTPlotSymbol>> first;
    const std::size_t probe = indexRange.length > 0 ? indexRange.location : 0;
    if (source) {
        many = source->symbolsForScatterPlot(this, indexRange);
        if (!many && probe < count) first = source->symbolForScatterPlot(this, probe);
    }
    if (!many && !first) {
        plotSymbols_.reset();
        setNeedsDisplay();
        return;
    }
    if (!plotSymbols_) plotSymbols_.emplace();
    if (plotSymbols_->size() < count) plotSymbols_->resize(count);
    auto symbolOf = [](const CHTDataSourceObject<CHTPlotSymbol>& answer) {
        return answer.object ? answer.object->copy() : nullptr;
    };
    const std::size_t end = std::min(indexRange.end(), plotSymbols_->size());
    for (std::size_t r = indexRange.location; r < end; ++r) {
        const std::size_t k = r - indexRange.location;
        if (many) {
            // Each answer goes to its own record; records the answer has no
            // symbol for are left empty.
            (*plotSymbols_)[r] = k < many->size() ? symbolOf((*many)[k]) : nullptr;
        } else {
            auto answer = r == probe ? first : source->symbolForScatterPlot(this, r);
            (*plotSymbols_)[r] = answer ? symbolOf(*answer) : nullptr;
        }
    }
    setNeedsDisplay();
}

void CHTScatterPlot::insertDataAtIndex(std::size_t index, std::size_t numberOfRecords) {
    if (plotSymbols_ && index < plotSymbols_->size())
        plotSymbols_->insert(plotSymbols_->begin() + static_cast<std::ptrdiff_t>(index), numberOfRecords, nullptr);
    CHTPlot::insertDataAtIndex(index, numberOfRecords);
}

void CHTScatterPlot::deleteDataInIndexRange(CHTRecordRange indexRange) {
    CHTPlot::deleteDataInIndexRange(indexRange);
    // Only the part of the range the list holds.
    if (plotSymbols_ && indexRange.location < plotSymbols_->size()) {
        const std::size_t end = std::min(indexRange.end(), plotSymbols_->size());
        plotSymbols_->erase(plotSymbols_->begin() + static_cast<std::ptrdiff_t>(indexRange.location),
                            plotSymbols_->begin() + static_cast<std::ptrdiff_t>(end));
    }
}

std::shared_ptr<CHTPlotSymbol> CHTScatterPlot::plotSymbolForRecordIndex(std::size_t index) const {
    if (plotSymbols_ && index < plotSymbols_->size()) return (*plotSymbols_)[index];
    return plotSymbol_;
}

// ---- Points

void CHTScatterPlot::calculatePointsToDraw(std::vector<char>& flags, CHTPlotSpace* plotSpace, bool visibleOnly) const {
    const std::size_t n = cachedDataCount();
    if (n > 0 && (areaFill_ || areaFill2_ || (dataLineStyle_ && !dataLineStyle_->dashPattern().empty()))) {
        flags.assign(n, 1);
        return;
    }
    selectPointsToDraw(flags, plotSpace, visibleOnly, CHTScatterPlotFieldX, CHTScatterPlotFieldY,
                       CHTPointSelectionRules{});
}

void CHTScatterPlot::calculateViewPoints(std::vector<gfx::Point>& points, const std::vector<char>& flags) const {
    const std::size_t n = flags.size();
    points.assign(n, gfx::Point(CGFloat(kNaN), CGFloat(kNaN)));
    if (!plotSpace()) return;
    CHTPlotSpace& space = *plotSpace();
    const gfx::Point offset = plotAreaToPlotOffset();
    const bool doubles = doublePrecisionCache();
    for (std::size_t i = 0; i < n; ++i) {
        if (!flags[i]) continue;
        gfx::Point p;
        if (doubles) {
            const double x = cachedDoubleForField(CHTScatterPlotFieldX, i);
            const double y = cachedDoubleForField(CHTScatterPlotFieldY, i);
            if (std::isnan(x) || std::isnan(y)) continue;
            p = space.plotAreaViewPointForDoublePrecisionPlotPoint({x, y});
        } else {
            const base::Decimal x = cachedDecimalForField(CHTScatterPlotFieldX, i);
            const base::Decimal y = cachedDecimalForField(CHTScatterPlotFieldY, i);
            if (CHTDecimalIsNaN(x) || CHTDecimalIsNaN(y)) continue;
            p = space.plotAreaViewPointForPlotPoint({x, y});
        }
        points[i] = gfx::Point(p.x + offset.x, p.y + offset.y);
    }
}

void CHTScatterPlot::alignViewPointsToUserSpace(std::vector<gfx::Point>& points, const gfx::Context& context,
                                                const std::vector<char>& flags) const {
    for (std::size_t i = 0; i < points.size(); ++i)
        if (flags[i] && !isNaNPoint(points[i])) points[i] = CHTAlignPointToUserSpace(context, points[i]);
}

gfx::Path CHTScatterPlot::newDataLinePathForViewPoints(const std::vector<gfx::Point>& points, CHTRecordRange indexRange,
                                                       CGFloat baselineYValue) const {
    gfx::Path path;
    const bool toBaseline = !std::isnan(baselineYValue);
    bool open = false;
    CGFloat firstX = 0;
    gfx::Point previous;
    auto closeRun = [&] {
        if (open && toBaseline) {
            path.lineTo(previous.x, baselineYValue);
            path.lineTo(firstX, baselineYValue);
            path.closeSubpath();
        }
        open = false;
    };
    const std::size_t last = std::min(indexRange.end(), points.size() ? points.size() - 1 : 0);
    for (std::size_t i = indexRange.location; i <= last && i < points.size(); ++i) {
        const gfx::Point p = points[i];
        if (isNaNPoint(p)) {
            // A gap: the path itself would drop the point and join across it,
            // so the run ends here and the next point starts a new one.
            closeRun();
            continue;
        }
        if (!open) {
            path.moveTo(p.x, p.y);
            firstX = p.x;
            open = true;
        } else {
            switch (interpolation_) {
            case CHTScatterPlotInterpolationLinear: path.lineTo(p.x, p.y); break;
            case CHTScatterPlotInterpolationStepped:
                path.lineTo(p.x, previous.y);
                path.lineTo(p.x, p.y);
                break;
            case CHTScatterPlotInterpolationHistogram: {
                const CGFloat m = (previous.x + p.x) / 2;
                path.lineTo(m, previous.y);
                path.lineTo(m, p.y);
                path.lineTo(p.x, p.y);
                break;
            }
            default: base::raise("CHTException", "Interpolation method not supported in scatter plot.");
            }
        }
        previous = p;
    }
    closeRun();
    return path;
}

gfx::Point CHTScatterPlot::plotAreaPointOfVisiblePointAtIndex(std::size_t index) const {
    std::vector<char> flags(cachedDataCount(), 0);
    if (index >= flags.size()) return gfx::Point(CGFloat(kNaN), CGFloat(kNaN));
    flags[index] = 1;
    std::vector<gfx::Point> points;
    calculateViewPoints(points, flags);
    const gfx::Point offset = plotAreaToPlotOffset();
    return gfx::Point(points[index].x - offset.x, points[index].y - offset.y);
}

std::size_t CHTScatterPlot::indexOfVisiblePointClosestToPlotAreaPoint(gfx::Point point) const {
    std::vector<char> flags;
    calculatePointsToDraw(flags, plotSpace().get(), true);
    std::vector<gfx::Point> points;
    calculateViewPoints(points, flags);
    const std::size_t first = extremeDrawnPointIndexForFlags(flags, true);
    if (first == CHTNotFound) return CHTNotFound;
    const gfx::Point offset = plotAreaToPlotOffset();
    const gfx::Point q(point.x + offset.x, point.y + offset.y);
    std::size_t best = CHTNotFound;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (std::size_t i = first; i < points.size(); ++i) {
        if (!flags[i] || isNaNPoint(points[i])) continue;
        const double dx = points[i].x - q.x, dy = points[i].y - q.y;
        const double d = dx * dx + dy * dy;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

// ---- Drawing

void CHTScatterPlot::renderAsVectorInContext(gfx::Context& context) {
    if (isHidden()) return;
    auto xData = cachedNumbersForField(CHTScatterPlotFieldX);
    auto yData = cachedNumbersForField(CHTScatterPlotFieldY);
    if (!xData || !yData || cachedDataCount() == 0) return;
    if (!dataLineStyle_ && !areaFill_ && !areaFill2_ && !plotSymbol_ && !plotSymbols_) return;
    if (xData->numberOfSamples() != yData->numberOfSamples())
        base::raise("CHTException", "Number of x and y values do not match");

    CHTPlot::renderAsVectorInContext(context);
    std::vector<char> flags;
    calculatePointsToDraw(flags, plotSpace().get(), false);
    std::vector<gfx::Point> points;
    calculateViewPoints(points, flags);
    if (alignsPointsToPixels()) alignViewPointsToUserSpace(points, context, flags);
    const std::size_t first = extremeDrawnPointIndexForFlags(flags, true);
    const std::size_t last = extremeDrawnPointIndexForFlags(flags, false);
    if (first == CHTNotFound) return;
    const CHTRecordRange range{first, last - first};

    // Area fills, down (or up) to their base values.
    auto fillArea = [&](const std::shared_ptr<CHTFill>& fill, const base::Decimal& baseValue) {
        if (!fill || CHTDecimalIsNaN(baseValue) || !plotSpace()) return;
        const gfx::Point offset = plotAreaToPlotOffset();
        gfx::Point base =
            plotSpace()->plotAreaViewPointForPlotPoint({cachedDecimalForField(CHTScatterPlotFieldX, first), baseValue});
        gfx::Path area = newDataLinePathForViewPoints(points, range, base.y + offset.y);
        context.beginPath();
        context.addPath(area);
        fill->fillPathInContext(context);
    };
    fillArea(areaFill_, areaBaseValue_);
    fillArea(areaFill2_, areaBaseValue2_);

    if (dataLineStyle_) {
        gfx::Path line = newDataLinePathForViewPoints(points, range, CGFloat(kNaN));
        dataLineStyle_->setLineStyleInContext(context);
        context.beginPath();
        context.addPath(line);
        context.strokePath();
    }

    if (plotSymbol_ || plotSymbols_) {
        context.setShadow(gfx::Size(0, 0), 0, std::nullopt);
        // On screen the symbols are stamped from their cached drawing at the
        // layer's contents scale. A picture drawn straight into pixels (an
        // image of the chart) stamps them too, at its own pixel density, so
        // it shows what the screen shows at the screen's speed; documents
        // and scaled drawing keep vector symbols.
        const bool fast = useFastRendering() || context.drawsPixelsAtDeviceScale();
        const CGFloat scale = useFastRendering() ? contentsScale() : context.deviceScale();
        for (std::size_t i = first; i <= last; ++i) {
            if (!flags[i] || isNaNPoint(points[i])) continue;
            auto symbol = plotSymbolForRecordIndex(i);
            if (!symbol) continue;
            if (fast) symbol->renderInContext(context, points[i], scale, alignsPointsToPixels());
            else symbol->renderAsVectorInContext(context, points[i], 1);
        }
    }
}

void CHTScatterPlot::drawSwatchForLegend(const CHTLegendSwatchStyle& legend, std::size_t index, const gfx::Rect& rect,
                                         gfx::Context& context) {
    CHTPlot::drawSwatchForLegend(legend, index, rect, context);
    if (dataLineStyle_) {
        gfx::Point a = CHTAlignPointToUserSpace(context, gfx::Point(rect.minX(), rect.midY()));
        gfx::Point b = CHTAlignPointToUserSpace(context, gfx::Point(rect.maxX(), rect.midY()));
        dataLineStyle_->setLineStyleInContext(context);
        context.beginPath();
        context.moveTo(a.x, a.y);
        context.lineTo(b.x, b.y);
        context.strokePath();
    }
    if (plotSymbol_) {
        plotSymbol_->renderInContext(context, gfx::Point(rect.midX(), rect.midY()), contentsScale(), true);
        return;
    }
    if (dataLineStyle_) return;
    if (!areaFill_ && !areaFill2_) return;
    gfx::Path outline;
    if (!(legend.swatchCornerRadius > 0)) {
        outline.addRect(rect);
    } else {
        CGFloat radius = std::min({legend.swatchCornerRadius, rect.width() / 2, rect.height() / 2});
        outline = CreateRoundedRectPath(rect, radius);
    }
    if (areaFill_ && areaFill2_) {
        // Both fills: the lower half shows the one with the lower base value.
        gfx::SavedState saved(context);
        context.beginPath();
        context.addPath(outline);
        context.clip();
        const bool secondAbove = CHTDecimalGreaterThanOrEqualTo(areaBaseValue2_, areaBaseValue_);
        const auto& lower = secondAbove ? areaFill_ : areaFill2_;
        const auto& upper = secondAbove ? areaFill2_ : areaFill_;
        lower->fillRect(gfx::Rect(rect.minX(), rect.minY(), rect.width(), rect.height() / 2), context);
        upper->fillRect(gfx::Rect(rect.minX(), rect.midY(), rect.width(), rect.height() / 2), context);
    } else {
        context.beginPath();
        context.addPath(outline);
        (areaFill_ ? areaFill_ : areaFill2_)->fillPathInContext(context);
    }
}

void CHTScatterPlot::positionLabelAnnotation(const std::shared_ptr<CHTPlotSpaceAnnotation>& label, std::size_t index) {
    if (!label) return;
    const base::Decimal x = cachedDecimalForField(CHTScatterPlotFieldX, index);
    const base::Decimal y = cachedDecimalForField(CHTScatterPlotFieldY, index);
    label->setAnchorPlotPoint({x, y});
    if (label->contentLayer()) label->contentLayer()->setHidden(CHTDecimalIsNaN(x) || CHTDecimalIsNaN(y));
    bool reversed = false;
    if (auto* xy = dynamic_cast<CHTXYPlotSpace*>(plotSpace().get()); xy && xy->yRange())
        reversed = xy->yRange()->lengthDouble() < 0;
    label->setDisplacement(gfx::Point(0, reversed ? -labelOffset() : labelOffset()));
}

// ---- Events

bool CHTScatterPlot::pointingDeviceDownEvent(const CHTNativeEvent* event, gfx::Point interactionPoint) {
    auto graph = graphLayer();
    auto area = plotArea();
    if (!graph || !area) return false;
    auto delegate = std::dynamic_pointer_cast<CHTScatterPlotDelegate>(this->delegate());
    if (!delegate) return CHTPlot::pointingDeviceDownEvent(event, interactionPoint);
    const gfx::Point p = area->convertPointFrom(interactionPoint, graph.get());
    const std::size_t index = indexOfVisiblePointClosestToPlotAreaPoint(p);
    if (index == CHTNotFound) return false;
    const gfx::Point centre = plotAreaPointOfVisiblePointAtIndex(index);
    gfx::Size size(kHitSizeWithoutSymbol, kHitSizeWithoutSymbol);
    if (auto symbol = plotSymbolForRecordIndex(index)) size = symbol->size();
    const CGFloat margin = plotSymbolMarginForHitDetection_;
    const gfx::Rect hit(centre.x - size.width / 2 - margin, centre.y - size.height / 2 - margin,
                        size.width + 2 * margin, size.height + 2 * margin);
    if (!hit.contains(p)) return false;
    delegate->scatterPlot(this, index);
    return true;
}

// ---- Archiving

void CHTScatterPlot::encodeWithCoder(base::KeyedArchiver& coder) const {
    CHTPlot::encodeWithCoder(coder);
    coder.encodeInteger(interpolation_, "CHTScatterPlot.interpolation");
    coder.encodeObject(dataLineStyle_, "CHTScatterPlot.dataLineStyle");
    coder.encodeObject(plotSymbol_, "CHTScatterPlot.plotSymbol");
    coder.encodeObject(areaFill_, "CHTScatterPlot.areaFill");
    coder.encodeObject(areaFill2_, "CHTScatterPlot.areaFill2");
    coder.encodeDecimal(areaBaseValue_, "CHTScatterPlot.areaBaseValue");
    coder.encodeDecimal(areaBaseValue2_, "CHTScatterPlot.areaBaseValue2");
    coder.encodeFloat(plotSymbolMarginForHitDetection_, "CHTScatterPlot.plotSymbolMarginForHitDetection");
}

std::shared_ptr<base::Coding> CHTScatterPlot::initWithCoder(base::KeyedUnarchiver& coder) {
    CHTPlot::initWithCoder(coder);
    interpolation_ = static_cast<CHTScatterPlotInterpolation>(coder.decodeInteger("CHTScatterPlot.interpolation"));
    auto style = coder.decodeObjectOfType<CHTLineStyle>("CHTScatterPlot.dataLineStyle");
    dataLineStyle_ = style ? style->copy() : nullptr;
    auto symbol = coder.decodeObjectOfType<CHTPlotSymbol>("CHTScatterPlot.plotSymbol");
    plotSymbol_ = symbol ? symbol->copy() : nullptr;
    auto fill = coder.decodeObjectOfType<CHTFill>("CHTScatterPlot.areaFill");
    areaFill_ = fill ? fill->copy() : nullptr;
    auto fill2 = coder.decodeObjectOfType<CHTFill>("CHTScatterPlot.areaFill2");
    areaFill2_ = fill2 ? fill2->copy() : nullptr;
    areaBaseValue_ = coder.decodeDecimal("CHTScatterPlot.areaBaseValue");
    areaBaseValue2_ = coder.decodeDecimal("CHTScatterPlot.areaBaseValue2");
    plotSymbolMarginForHitDetection_ = coder.decodeFloat("CHTScatterPlot.plotSymbolMarginForHitDetection");
    plotSymbols_.reset();
    return nullptr;
}
