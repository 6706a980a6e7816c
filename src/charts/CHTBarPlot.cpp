#include "charts/CHTBarPlot.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "charts/CHTColor.h"
#include "charts/CHTCoderExtensions.h"
#include "charts/CHTGradient.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTPlotArea.h"
#include "charts/CHTPlotSpaceAnnotation.h"
#include "charts/CHTXYPlotSpace.h"
#include "platform/base/Exception.h"

CHTBarPlot::CHTBarPlot(const gfx::Rect& frame)
    : CHTPlot(frame),
      lineStyle_(CHTLineStyle::lineStyle()),
      fill_(CHTFill::fillWithColor(CHTColor::blackColor())),
      barWidth_(CHTDecimalFromString("0.5")),
      barOffset_(CHTDecimalFromInteger(0)),
      baseValue_(CHTDecimalFromInteger(0)) {
    setLabelOffset(10);
    setLabelField(CHTBarPlotFieldBarTip);
}

std::shared_ptr<CHTBarPlot> CHTBarPlot::tubularBarPlotWithColor(const std::shared_ptr<CHTColor>& color,
                                                                bool horizontalBars) {
    auto plot = std::make_shared<CHTBarPlot>();
    auto style = CHTLineStyle::lineStyle();
    style->setLineWidth(1);
    style->setLineColor(CHTColor::blackColor());
    plot->setLineStyle(style);
    plot->setBarsAreHorizontal(horizontalBars);
    plot->setBarWidth(CHTDecimalFromString("0.8"));
    plot->setBarWidthsAreInViewCoordinates(false);
    plot->setBarCornerRadius(2);
    auto gradient = CHTGradient::gradientWithBeginningColor(color, CHTColor::blackColor());
    gradient->setAngle(horizontalBars ? -90 : 0);
    plot->setFill(CHTFill::fillWithGradient(gradient));
    return plot;
}

// ---- Properties

void CHTBarPlot::styleChanged() {
    setNeedsDisplay();
    postLegendNotification(CHTLegendNeedsRedrawForPlotNotification);
}

void CHTBarPlot::setLineStyle(const std::shared_ptr<CHTLineStyle>& style) {
    if (style.get() == lineStyle_.get()) return;
    lineStyle_ = style ? style->copy() : nullptr;
    styleChanged();
}

void CHTBarPlot::setFill(const std::shared_ptr<CHTFill>& fill) {
    if (fill.get() == fill_.get()) return;
    fill_ = fill ? fill->copy() : nullptr;
    styleChanged();
}

void CHTBarPlot::setBarCornerRadius(CGFloat radius) {
    radius = std::fabs(radius);
    if (radius == barCornerRadius_) return;
    barCornerRadius_ = radius;
    styleChanged();
}

void CHTBarPlot::setBarWidth(const base::Decimal& width) {
    if (CHTDecimalEquals(width, barWidth_)) return;
    barWidth_ = width;
    setNeedsDisplay();
}

void CHTBarPlot::setBarWidthScale(CGFloat scale) {
    if (scale == barWidthScale_) return;
    barWidthScale_ = scale;
    setNeedsDisplay();
}

void CHTBarPlot::setBarOffset(const base::Decimal& offset) {
    if (CHTDecimalEquals(offset, barOffset_)) return;
    barOffset_ = offset;
    setNeedsDisplay();
    repositionAllLabelAnnotations();
}

void CHTBarPlot::setBarOffsetScale(CGFloat scale) {
    if (scale == barOffsetScale_) return;
    barOffsetScale_ = scale;
    setNeedsDisplay();
    repositionAllLabelAnnotations();
}

void CHTBarPlot::setBaseValue(const base::Decimal& value) {
    if (CHTDecimalEquals(value, baseValue_)) return;
    baseValue_ = value;
    setNeedsDisplay();
    setNeedsLayout();
}

void CHTBarPlot::setBarsAreHorizontal(bool horizontal) {
    if (horizontal == barsAreHorizontal_) return;
    barsAreHorizontal_ = horizontal;
    setNeedsDisplay();
    setNeedsLayout();
}

void CHTBarPlot::setBarBasesVary(bool vary) {
    if (vary == barBasesVary_) return;
    barBasesVary_ = vary;
    setDataNeedsReloading();
    setNeedsDisplay();
    setNeedsLayout();
}

void CHTBarPlot::setPlotRange(const std::shared_ptr<CHTPlotRange>& range) {
    if (range.get() == plotRange_.get()) return;
    plotRange_ = range ? range->copy() : nullptr;
}

std::vector<std::size_t> CHTBarPlot::fieldIdentifiersForCoordinate(CHTCoordinate coordinate) const {
    if (coordinate == CHTCoordinateX) return {barsAreHorizontal_ ? CHTBarPlotFieldBarTip : CHTBarPlotFieldBarLocation};
    if (coordinate == CHTCoordinateY) return {barsAreHorizontal_ ? CHTBarPlotFieldBarLocation : CHTBarPlotFieldBarTip};
    base::raise("CHTException", "Invalid coordinate passed to fieldIdentifiersForCoordinate:");
}

bool CHTBarPlot::needsDisplayForKey(const std::string& key) {
    static const std::vector<std::string> keys{"barCornerRadius", "barOffsetScale", "barWidthScale"};
    return std::find(keys.begin(), keys.end(), key) != keys.end() || CHTPlot::needsDisplayForKey(key);
}

// ---- Loading

void CHTBarPlot::reloadDataInIndexRange(CHTRecordRange indexRange) {
    CHTPlot::reloadDataInIndexRange(indexRange);
    auto source = dataSource();
    if (source) {
        cacheNumbers(numbersFromDataSourceForField(CHTBarPlotFieldBarTip, indexRange), CHTBarPlotFieldBarTip,
                     indexRange.location);
        if (barBasesVary_)
            cacheNumbers(numbersFromDataSourceForField(CHTBarPlotFieldBarBase, indexRange), CHTBarPlotFieldBarBase,
                         indexRange.location);
        else setBarBases(std::monostate{});
    } else {
        setBarTips(std::monostate{});
        setBarBases(std::monostate{});
    }

    if (plotRange_) {
        // A bar's place comes from its record index and the record count, so
        // every location is made again: after an insert the bars are spread
        // evenly over the range once more.
        const std::size_t count = source ? source->numberOfRecordsForPlot(this) : indexRange.end();
        if (count == 0) return;
        if (doublePrecisionCache()) {
            const double start = plotRange_->locationDouble();
            const double step = count >= 2 ? plotRange_->lengthDouble() / double(count - 1) : 1;
            base::Data bytes(count * sizeof(double));
            for (std::size_t k = 0; k < count; ++k) {
                const double v = start + double(k) * step;
                std::memcpy(bytes.data() + k * sizeof v, &v, sizeof v);
            }
            cacheNumbers(bytes, CHTBarPlotFieldBarLocation, 0);
        } else {
            const base::Decimal step =
                count >= 2 ? CHTDecimalDivide(plotRange_->length(), CHTDecimalFromUnsignedLong(count - 1))
                           : CHTDecimalFromInteger(1);
            CHTPlotNumberArray locations;
            locations.reserve(count);
            for (std::size_t k = 0; k < count; ++k)
                locations.push_back(base::Number(
                    CHTDecimalAdd(plotRange_->location(), CHTDecimalMultiply(step, CHTDecimalFromUnsignedLong(k)))));
            cacheNumbers(locations, CHTBarPlotFieldBarLocation, 0);
        }
    } else if (source) {
        cacheNumbers(numbersFromDataSourceForField(CHTBarPlotFieldBarLocation, indexRange), CHTBarPlotFieldBarLocation,
                     indexRange.location);
    } else if (indexRange.length > 0) {
        CHTPlotNumberArray locations;
        for (std::size_t k = indexRange.location; k < indexRange.end(); ++k)
            locations.push_back(base::Number(static_cast<unsigned long long>(k)));
        cacheNumbers(locations, CHTBarPlotFieldBarLocation, indexRange.location);
    }
}

// ---- Geometry

CGFloat CHTBarPlot::lengthInView(const base::Decimal& plotLength) const {
    if (barWidthsAreInViewCoordinates_) return CHTDecimalCGFloatValue(plotLength);
    auto* xy = dynamic_cast<CHTXYPlotSpace*>(plotSpace().get());
    if (!xy || !xy->xRange() || !xy->yRange()) return 0;
    const base::Decimal x = xy->xRange()->location(), y = xy->yRange()->location();
    const gfx::Point origin = xy->plotAreaViewPointForPlotPoint({x, y});
    if (barsAreHorizontal_) {
        const gfx::Point p = xy->plotAreaViewPointForPlotPoint({x, CHTDecimalAdd(y, plotLength)});
        return p.y - origin.y;
    }
    const gfx::Point p = xy->plotAreaViewPointForPlotPoint({CHTDecimalAdd(x, plotLength), y});
    return p.x - origin.x;
}

base::Decimal CHTBarPlot::lengthInPlotCoordinates(const base::Decimal& length) const {
    if (!barWidthsAreInViewCoordinates_ || !plotSpace()) return length;
    const CGFloat l = CHTDecimalCGFloatValue(length);
    CHTDecimalPlotPoint origin{}, end{};
    plotSpace()->plotPoint(origin, gfx::Point(0, 0));
    plotSpace()->plotPoint(end, gfx::Point(l, l));
    const int axis = barsAreHorizontal_ ? CHTCoordinateY : CHTCoordinateX;
    return CHTDecimalSubtract(end[axis], origin[axis]);
}

double CHTBarPlot::doubleLengthInPlotCoordinates(double length) const {
    if (!barWidthsAreInViewCoordinates_ || !plotSpace()) return length;
    CHTDoublePlotPoint origin{}, end{};
    plotSpace()->doublePrecisionPlotPoint(origin, gfx::Point(0, 0));
    plotSpace()->doublePrecisionPlotPoint(end, gfx::Point(CGFloat(length), CGFloat(length)));
    const int axis = barsAreHorizontal_ ? CHTCoordinateY : CHTCoordinateX;
    return end[axis] - origin[axis];
}

CGFloat CHTBarPlot::halfBarWidth() const {
    if (drawing_) return drawing_->halfWidth;
    // On a reversed location axis the view length is negative: the half
    // width is its magnitude.
    return std::fabs(lengthInView(barWidth_) * barWidthScale_ / 2);
}

CHTBarPlot::SharedBarGeometry CHTBarPlot::sharedBarGeometry() const {
    SharedBarGeometry g;
    g.halfWidth = halfBarWidth();
    g.shift = lengthInView(barOffset_) * barOffsetScale_;
    g.areaOffset = plotAreaToPlotOffset();
    // The plot area's bounds in the plot's coordinates (the plot's own
    // bounds when it stands alone).
    gfx::Rect area = bounds();
    if (auto plotArea = this->plotArea()) {
        gfx::Rect b = plotArea->bounds();
        area = gfx::Rect(b.x() + g.areaOffset.x, b.y() + g.areaOffset.y, b.width(), b.height());
    }
    g.low = barsAreHorizontal_ ? area.minY() : area.minX();
    g.high = barsAreHorizontal_ ? area.maxY() : area.maxX();
    return g;
}

bool CHTBarPlot::barAtRecordIndex(std::size_t index, gfx::Point& basePoint, gfx::Point& tipPoint) const {
    CHTPlotSpace* space = plotSpace().get();
    if (!space) return false;
    if (doublePrecisionCache()) {
        const double location = cachedDoubleForField(CHTBarPlotFieldBarLocation, index);
        const double tip = cachedDoubleForField(CHTBarPlotFieldBarTip, index);
        const double base =
            barBasesVary_ ? cachedDoubleForField(CHTBarPlotFieldBarBase, index) : CHTDecimalDoubleValue(baseValue_);
        if (std::isnan(location) || std::isnan(tip) || std::isnan(base)) return false;
        if (barsAreHorizontal_) {
            tipPoint = space->plotAreaViewPointForDoublePrecisionPlotPoint({tip, location});
            basePoint = space->plotAreaViewPointForDoublePrecisionPlotPoint({base, location});
        } else {
            tipPoint = space->plotAreaViewPointForDoublePrecisionPlotPoint({location, tip});
            basePoint = space->plotAreaViewPointForDoublePrecisionPlotPoint({location, base});
        }
    } else {
        const base::Decimal location = cachedDecimalForField(CHTBarPlotFieldBarLocation, index);
        const base::Decimal tip = cachedDecimalForField(CHTBarPlotFieldBarTip, index);
        const base::Decimal base = barBasesVary_ ? cachedDecimalForField(CHTBarPlotFieldBarBase, index) : baseValue_;
        if (CHTDecimalIsNaN(location) || CHTDecimalIsNaN(tip) || CHTDecimalIsNaN(base)) return false;
        if (barsAreHorizontal_) {
            tipPoint = space->plotAreaViewPointForPlotPoint({tip, location});
            basePoint = space->plotAreaViewPointForPlotPoint({base, location});
        } else {
            tipPoint = space->plotAreaViewPointForPlotPoint({location, tip});
            basePoint = space->plotAreaViewPointForPlotPoint({location, base});
        }
    }
    const gfx::Point offset = drawing_ ? drawing_->areaOffset : plotAreaToPlotOffset();
    const CGFloat shift = drawing_ ? drawing_->shift : lengthInView(barOffset_) * barOffsetScale_;
    const gfx::Point along = barsAreHorizontal_ ? gfx::Point(0, shift) : gfx::Point(shift, 0);
    tipPoint = gfx::Point(tipPoint.x + offset.x + along.x, tipPoint.y + offset.y + along.y);
    basePoint = gfx::Point(basePoint.x + offset.x + along.x, basePoint.y + offset.y + along.y);
    return true;
}

bool CHTBarPlot::barIsVisibleWithBasePoint(gfx::Point basePoint) const {
    const SharedBarGeometry g = drawing_ ? *drawing_ : sharedBarGeometry();
    const CGFloat c = barsAreHorizontal_ ? basePoint.y : basePoint.x;
    return c - g.halfWidth <= g.high && c + g.halfWidth >= g.low;
}

std::optional<gfx::Path> CHTBarPlot::newBarPathWithContext(const gfx::Context* context, gfx::Point basePoint,
                                                           gfx::Point tipPoint) const {
    const CGFloat w = halfBarWidth();
    const gfx::Point d = barsAreHorizontal_ ? gfx::Point(0, w) : gfx::Point(w, 0);
    gfx::Point p1(basePoint.x + d.x, basePoint.y + d.y);
    gfx::Point p2(tipPoint.x + d.x, tipPoint.y + d.y);
    gfx::Point tip = tipPoint;
    gfx::Point p4(tipPoint.x - d.x, tipPoint.y - d.y);
    gfx::Point p5(basePoint.x - d.x, basePoint.y - d.y);
    const CGFloat length = std::fabs(barsAreHorizontal_ ? tipPoint.x - basePoint.x : tipPoint.y - basePoint.y);
    if (alignsPointsToPixels() && context) {
        p1 = CHTAlignPointToUserSpace(*context, p1);
        p2 = CHTAlignPointToUserSpace(*context, p2);
        tip = CHTAlignPointToUserSpace(*context, tip);
        p4 = CHTAlignPointToUserSpace(*context, p4);
        p5 = CHTAlignPointToUserSpace(*context, p5);
    }
    // A magnitude: the path drops a negative radius.
    const CGFloat r = std::max<CGFloat>(0, std::min({barCornerRadius_, w, length}));
    gfx::Path path;
    path.moveTo(p1.x, p1.y);
    path.addArcToPoint(p2.x, p2.y, tip.x, tip.y, r);
    path.addArcToPoint(p4.x, p4.y, p5.x, p5.y, r);
    path.lineTo(p5.x, p5.y);
    path.closeSubpath();
    return path;
}

std::optional<gfx::Path> CHTBarPlot::newBarPathWithContext(const gfx::Context* context, std::size_t recordIndex) const {
    gfx::Point base, tip;
    if (!barAtRecordIndex(recordIndex, base, tip)) return std::nullopt;
    return newBarPathWithContext(context, base, tip);
}

// ---- Drawing

void CHTBarPlot::drawBarInContext(gfx::Context& context, std::size_t recordIndex) {
    gfx::Point base, tip;
    if (!barAtRecordIndex(recordIndex, base, tip)) return;
    if (!barIsVisibleWithBasePoint(base)) return;
    auto path = newBarPathWithContext(&context, base, tip);
    if (!path) return;
    std::shared_ptr<CHTFill> fill = fill_;
    std::shared_ptr<CHTLineStyle> style = lineStyle_;
    if (auto source = std::dynamic_pointer_cast<CHTBarPlotDataSource>(dataSource())) {
        if (auto answer = source->barFillForBarPlot(this, recordIndex); answer && !answer->isNil())
            fill = answer->object;
        if (auto answer = source->barLineStyleForBarPlot(this, recordIndex); answer && !answer->isNil())
            style = answer->object;
    }
    gfx::SavedState saved(context);
    if (fill) {
        context.beginPath();
        context.addPath(*path);
        fill->fillPathInContext(context);
    }
    if (style) {
        style->setLineStyleInContext(context);
        context.beginPath();
        context.addPath(*path);
        context.strokePath();
    }
}

void CHTBarPlot::renderAsVectorInContext(gfx::Context& context) {
    if (isHidden()) return;
    auto locations = cachedNumbersForField(CHTBarPlotFieldBarLocation);
    auto tips = cachedNumbersForField(CHTBarPlotFieldBarTip);
    auto bases = cachedNumbersForField(CHTBarPlotFieldBarBase);
    if (!locations || !tips || (barBasesVary_ && !bases) || cachedDataCount() == 0) return;
    if (locations->numberOfSamples() != tips->numberOfSamples())
        base::raise("CHTException", "Number of bar locations and lengths do not match");
    if (barBasesVary_ && tips->numberOfSamples() != bases->numberOfSamples())
        base::raise("CHTException", "Number of bar lengths and bases do not match");
    CHTPlot::renderAsVectorInContext(context);
    // Every bar shares these; the drawing of a bar must not change them.
    struct Sharing {
        std::optional<SharedBarGeometry>& slot;
        ~Sharing() { slot.reset(); }
    } sharing{drawing_};
    drawing_ = sharedBarGeometry();
    for (std::size_t i = 0; i < cachedDataCount(); ++i) drawBarInContext(context, i);
}

void CHTBarPlot::drawSwatchForLegend(const CHTLegendSwatchStyle& legend, std::size_t index, const gfx::Rect& rect,
                                     gfx::Context& context) {
    CHTPlot::drawSwatchForLegend(legend, index, rect, context);
    if (!fill_ && !lineStyle_) return;
    gfx::Path outline;
    if (!(barCornerRadius_ > 0)) {
        outline.addRect(rect);
    } else {
        const CGFloat radius = std::min({barCornerRadius_, rect.width() / 2, rect.height() / 2});
        outline = CreateRoundedRectPath(rect, radius);
    }
    if (fill_) {
        context.beginPath();
        context.addPath(outline);
        fill_->fillPathInContext(context);
    }
    if (lineStyle_) {
        lineStyle_->setLineStyleInContext(context);
        context.beginPath();
        context.addPath(outline);
        context.strokePath();
    }
}

void CHTBarPlot::positionLabelAnnotation(const std::shared_ptr<CHTPlotSpaceAnnotation>& label, std::size_t index) {
    if (!label) return;
    const base::Decimal base = barBasesVary_ ? cachedDecimalForField(CHTBarPlotFieldBarBase, index) : baseValue_;
    const base::Decimal tip = cachedDecimalForField(CHTBarPlotFieldBarTip, index);
    base::Decimal location = cachedDecimalForField(CHTBarPlotFieldBarLocation, index);
    bool positive = CHTDecimalGreaterThanOrEqualTo(tip, base);
    if (auto* xy = dynamic_cast<CHTXYPlotSpace*>(plotSpace().get())) {
        const auto& valueRange = barsAreHorizontal_ ? xy->xRange() : xy->yRange();
        if (valueRange && valueRange->lengthDouble() < 0) positive = !positive;
    }
    if (doublePrecisionCache()) {
        const double shifted = CHTDecimalDoubleValue(location) +
                               doubleLengthInPlotCoordinates(CHTDecimalDoubleValue(barOffset_)) * barOffsetScale_;
        if (!CHTDecimalIsNaN(location)) location = CHTDecimalFromDouble(shifted);
    } else {
        location = CHTDecimalAdd(
            location, CHTDecimalMultiply(lengthInPlotCoordinates(barOffset_), CHTDecimalFromFloat(barOffsetScale_)));
    }
    const CGFloat offset = positive ? labelOffset() : -labelOffset();
    if (barsAreHorizontal_) {
        label->setAnchorPlotPoint({tip, location});
        label->setDisplacement(gfx::Point(offset, 0));
    } else {
        label->setAnchorPlotPoint({location, tip});
        label->setDisplacement(gfx::Point(0, offset));
    }
    if (label->contentLayer()) label->contentLayer()->setHidden(CHTDecimalIsNaN(location) || CHTDecimalIsNaN(tip));
}

// ---- Events

bool CHTBarPlot::pointingDeviceDownEvent(const CHTNativeEvent* event, gfx::Point interactionPoint) {
    auto graph = graphLayer();
    auto area = plotArea();
    if (!graph || !area) return false;
    auto delegate = std::dynamic_pointer_cast<CHTBarPlotDelegate>(this->delegate());
    if (!delegate) return CHTPlot::pointingDeviceDownEvent(event, interactionPoint);
    const gfx::Point inArea = area->convertPointFrom(interactionPoint, graph.get());
    const gfx::Point offset = plotAreaToPlotOffset();
    const gfx::Point p(inArea.x + offset.x, inArea.y + offset.y);
    for (std::size_t i = 0; i < cachedDataCount(); ++i) {
        auto path = newBarPathWithContext(nullptr, i);
        if (path && path->containsPoint(p)) {
            delegate->barPlot(this, i);
            return true;
        }
    }
    return false;
}

// ---- Archiving

void CHTBarPlot::encodeWithCoder(base::KeyedArchiver& coder) const {
    CHTPlot::encodeWithCoder(coder);
    coder.encodeObject(lineStyle_, "CHTBarPlot.lineStyle");
    coder.encodeObject(fill_, "CHTBarPlot.fill");
    coder.encodeDecimal(barWidth_, "CHTBarPlot.barWidth");
    coder.encodeFloat(barWidthScale_, "CHTBarPlot.barWidthScale");
    coder.encodeDecimal(barOffset_, "CHTBarPlot.barOffset");
    coder.encodeFloat(barOffsetScale_, "CHTBarPlot.barOffsetScale");
    coder.encodeFloat(barCornerRadius_, "CHTBarPlot.barCornerRadius");
    coder.encodeDecimal(baseValue_, "CHTBarPlot.baseValue");
    coder.encodeBool(barsAreHorizontal_, "CHTBarPlot.barsAreHorizontal");
    coder.encodeBool(barBasesVary_, "CHTBarPlot.barBasesVary");
    coder.encodeBool(barWidthsAreInViewCoordinates_, "CHTBarPlot.barWidthsAreInViewCoordinates");
    coder.encodeObject(plotRange_, "CHTBarPlot.plotRange");
}

std::shared_ptr<base::Coding> CHTBarPlot::initWithCoder(base::KeyedUnarchiver& coder) {
    CHTPlot::initWithCoder(coder);
    auto style = coder.decodeObjectOfType<CHTLineStyle>("CHTBarPlot.lineStyle");
    lineStyle_ = style ? style->copy() : nullptr;
    auto fill = coder.decodeObjectOfType<CHTFill>("CHTBarPlot.fill");
    fill_ = fill ? fill->copy() : nullptr;
    barWidth_ = coder.decodeDecimal("CHTBarPlot.barWidth");
    barWidthScale_ = coder.decodeFloat("CHTBarPlot.barWidthScale");
    barOffset_ = coder.decodeDecimal("CHTBarPlot.barOffset");
    barOffsetScale_ = coder.decodeFloat("CHTBarPlot.barOffsetScale");
    barCornerRadius_ = std::fabs(coder.decodeFloat("CHTBarPlot.barCornerRadius"));
    baseValue_ = coder.decodeDecimal("CHTBarPlot.baseValue");
    barsAreHorizontal_ = coder.decodeBool("CHTBarPlot.barsAreHorizontal");
    barBasesVary_ = coder.decodeBool("CHTBarPlot.barBasesVary");
    barWidthsAreInViewCoordinates_ = coder.decodeBool("CHTBarPlot.barWidthsAreInViewCoordinates");
    auto range = coder.decodeObjectOfType<CHTPlotRange>("CHTBarPlot.plotRange");
    plotRange_ = range ? range->copy() : nullptr;
    return nullptr;
}
