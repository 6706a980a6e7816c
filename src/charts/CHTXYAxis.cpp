#include "charts/CHTXYAxis.h"

#include <algorithm>
#include <cmath>

#include "charts/CHTCoderExtensions.h"
#include "charts/CHTPlotArea.h"
#include "platform/base/Exception.h"
#include "platform/base/Format.h"
#include "platform/base/Log.h"

CHTXYAxis::CHTXYAxis(const gfx::Rect& frame) : CHTAxis(frame) { setTickDirection(CHTSignNone); }

void CHTXYAxis::setCoordinate(CHTCoordinate coordinate) {
    if (coordinate == this->coordinate()) return;
    if (coordinate != CHTCoordinateX && coordinate != CHTCoordinateY)
        base::raise("NSInvalidArgumentException",
                    base::format("Invalid coordinate: %lu", static_cast<unsigned long>(coordinate)));
    CHTAxis::setCoordinate(coordinate);
    int alignment = labelAlignment();
    if (coordinate == CHTCoordinateY) {
        if (alignment < CHTAlignmentTop || alignment > CHTAlignmentBottom) setLabelAlignment(CHTAlignmentMiddle);
    } else if (alignment >= CHTAlignmentTop) {
        setLabelAlignment(CHTAlignmentCenter);
    }
}

void CHTXYAxis::setOrthogonalCoordinateDecimal(const base::Decimal& value) {
    if (value == orthogonalCoordinateDecimal_ && value.isNaN() == orthogonalCoordinateDecimal_.isNaN()) return;
    orthogonalCoordinateDecimal_ = value;
    setNeedsDisplay();
    setNeedsLayout();
}

void CHTXYAxis::setAxisConstraints(const std::shared_ptr<CHTConstraints>& constraints) {
    if (axisConstraints_ == constraints) return;
    if (axisConstraints_ && constraints && axisConstraints_->isEqualToConstraint(constraints.get())) return;
    axisConstraints_ = constraints;
    setNeedsDisplay();
    setNeedsLayout();
}

// ---- view points ----

CHTDecimalPlotPoint CHTXYAxis::plotPointFor(const base::Decimal& orthogonal, const base::Decimal& axisValue) const {
    CHTDecimalPlotPoint point{};
    point[coordinate() == CHTCoordinateX ? 0 : 1] = axisValue;
    point[coordinate() == CHTCoordinateX ? 1 : 0] = orthogonal;
    return point;
}

gfx::Point CHTXYAxis::plotAreaPointInAxis(const base::Decimal& orthogonal, const base::Decimal& axisValue) {
    if (!plotSpace()) return gfx::Point();
    gfx::Point p = plotSpace()->plotAreaViewPointForPlotPoint(plotPointFor(orthogonal, axisValue));
    auto area = plotArea();
    return area ? convertPointFrom(p, area.get()) : p;
}

gfx::Point CHTXYAxis::viewPointForOrthogonalCoordinateDecimal(const base::Decimal& orthogonal,
                                                              const base::Decimal& axisValue) {
    return plotAreaPointInAxis(orthogonal, axisValue);
}

gfx::Point CHTXYAxis::viewPointForCoordinateDecimalNumber(const base::Decimal& coordinateDecimalNumber) {
    if (!plotSpace()) return gfx::Point();
    gfx::Point p =
        plotSpace()->plotAreaViewPointForPlotPoint(plotPointFor(orthogonalCoordinateDecimal_, coordinateDecimalNumber));
    if (axisConstraints_) {
        // Across the axis, the constraints place it between the view ends of
        // the orthogonal range (both in the plot area's coordinates).
        CGFloat lower = 0, upper = 0;
        orthogonalCoordinateViewLowerBound(lower, upper);
        CGFloat across = axisConstraints_->positionForLowerBound(lower, upper);
        if (coordinate() == CHTCoordinateX) p.y = across;
        else p.x = across;
    }
    auto area = plotArea();
    return area ? convertPointFrom(p, area.get()) : p;
}

void CHTXYAxis::orthogonalCoordinateViewLowerBound(CGFloat& lower, CGFloat& upper) {
    lower = upper = 0;
    if (!plotSpace()) return;
    CHTCoordinate orthogonal = CHTOrthogonalCoordinate(coordinate());
    auto range = plotSpace()->plotRangeForCoordinate(orthogonal);
    if (!range) {
        base::AssertionHandler::current().handleFailureInMethod(
            "-[CHTXYAxis orthogonalCoordinateViewLowerBound:upperBound:]", this, "Charts/Source/CHTXYAxis", __LINE__,
            "The orthogonalRange was nil in orthogonalCoordinateViewLowerBound:upperBound:");
        return;
    }
    CHTDecimalPlotPoint low{}, high{};
    low[orthogonal] = range->location();
    low[coordinate()] = base::Decimal::zero();
    high[orthogonal] = range->end();
    high[coordinate()] = base::Decimal::zero();
    gfx::Point a = plotSpace()->plotAreaViewPointForPlotPoint(low);
    gfx::Point b = plotSpace()->plotAreaViewPointForPlotPoint(high);
    if (coordinate() == CHTCoordinateX) {
        lower = a.y;
        upper = b.y;
    } else {
        lower = a.x;
        upper = b.x;
    }
}

base::Decimal CHTXYAxis::defaultTitleLocation() const {
    auto range = plotSpace() ? plotSpace()->plotRangeForCoordinate(coordinate()) : nullptr;
    if (!range) return base::Decimal::zero();
    if (plotSpace()->scaleTypeForCoordinate(coordinate()) == CHTScaleTypeLog) {
        double location = range->locationDouble(), end = range->endDouble();
        if (location > 0 && end >= 0)
            return CHTDecimalFromDouble(std::pow(10.0, (std::log10(location) + std::log10(end)) / 2));
    }
    return range->midPoint();
}

// ---- drawing ----

void CHTXYAxis::renderAsVectorInContext(gfx::Context& context) {
    if (isHidden()) return;
    CHTAxis::renderAsVectorInContext(context);
    relabel();
    drawTicksInContext(context, minorTickLocations(), minorTickLength(), false);
    drawTicksInContext(context, majorTickLocations(), majorTickLength(), true);

    if (!axisLineStyle() && !axisLineCapMin() && !axisLineCapMax()) return;
    std::shared_ptr<CHTPlotRange> range = visiblePlotRange();
    if (!range) return;
    if (axisLineStyle()) {
        gfx::Point start = CHTAlignPointToUserSpace(context, viewPointForCoordinateDecimalNumber(range->location()));
        gfx::Point end = CHTAlignPointToUserSpace(context, viewPointForCoordinateDecimalNumber(range->end()));
        axisLineStyle()->setLineStyleInContext(context);
        context.beginPath();
        context.moveTo(start.x, start.y);
        context.lineTo(end.x, end.y);
        context.strokePath();
    }
    gfx::Point direction = coordinate() == CHTCoordinateX ? gfx::Point(1, 0) : gfx::Point(0, 1);
    if (CHTDecimalLessThan(range->length(), base::Decimal::zero())) direction = {-direction.x, -direction.y};
    if (axisLineCapMin()) {
        gfx::Point at = CHTAlignPointToUserSpace(context, viewPointForCoordinateDecimalNumber(range->minLimit()));
        axisLineCapMin()->renderAsVectorInContext(context, at, {-direction.x, -direction.y});
    }
    if (axisLineCapMax()) {
        gfx::Point at = CHTAlignPointToUserSpace(context, viewPointForCoordinateDecimalNumber(range->maxLimit()));
        axisLineCapMax()->renderAsVectorInContext(context, at, direction);
    }
}

void CHTXYAxis::drawTicksInContext(gfx::Context& context, const CHTDecimalSet& locations, CGFloat length, bool major) {
    const auto& style = major ? majorTickLineStyle() : minorTickLineStyle();
    if (!style) return;
    style->setLineStyleInContext(context);
    context.beginPath();
    for (const auto& location : locations) {
        gfx::Point p = viewPointForCoordinateDecimalNumber(location);
        CGFloat from = 0, to = 0;
        switch (tickDirection()) {
        case CHTSignPositive: to = length; break;
        case CHTSignNone:
            from = -length / 2;
            to = length / 2;
            break;
        case CHTSignNegative: to = -length; break;
        default: base::log("Invalid sign in [CHTXYAxis drawTicksInContext:]"); break;
        }
        gfx::Point a = p, b = p;
        if (coordinate() == CHTCoordinateX) {
            a.y += from;
            b.y += to;
        } else if (coordinate() == CHTCoordinateY) {
            a.x += from;
            b.x += to;
        } else {
            base::log("Invalid coordinate in [CHTXYAxis drawTicksInContext:]");
        }
        a = CHTAlignPointToUserSpace(context, a);
        b = CHTAlignPointToUserSpace(context, b);
        context.moveTo(a.x, a.y);
        context.lineTo(b.x, b.y);
    }
    context.strokePath();
}

std::shared_ptr<CHTPlotRange> CHTXYAxis::orthogonalGridRange() const {
    if (!plotSpace()) return nullptr;
    auto range = plotSpace()->plotRangeForCoordinate(CHTOrthogonalCoordinate(coordinate()));
    if (!range) return nullptr;
    range = range->copy();
    if (gridLinesRange()) range->intersectionPlotRange(gridLinesRange().get());
    return range;
}

void CHTXYAxis::drawGridLinesInContext(gfx::Context& context, bool major) {
    const auto& style = major ? majorGridLineStyle() : minorGridLineStyle();
    if (!style) return;
    CHTAxis::renderAsVectorInContext(context);
    relabel();
    auto orthogonal = orthogonalGridRange();
    if (!orthogonal) return;
    style->setLineStyleInContext(context);
    context.beginPath();
    for (const auto& t : major ? majorTickLocations() : minorTickLocations()) {
        gfx::Point a = CHTAlignPointToUserSpace(context, plotAreaPointInAxis(orthogonal->location(), t));
        gfx::Point b = CHTAlignPointToUserSpace(context, plotAreaPointInAxis(orthogonal->end(), t));
        context.moveTo(a.x, a.y);
        context.lineTo(b.x, b.y);
    }
    context.strokePath();
}

gfx::Rect CHTXYAxis::plotAreaRect(const base::Decimal& from, const base::Decimal& fromOrthogonal,
                                  const base::Decimal& to, const base::Decimal& toOrthogonal) {
    gfx::Point a = plotSpace()->plotAreaViewPointForPlotPoint(plotPointFor(fromOrthogonal, from));
    gfx::Point b = plotSpace()->plotAreaViewPointForPlotPoint(plotPointFor(toOrthogonal, to));
    return gfx::Rect(a.x, a.y, b.x - a.x, b.y - a.y).standardized();
}

void CHTXYAxis::drawBackgroundBandsInContext(gfx::Context& context) {
    const auto& fills = alternatingBandFills();
    if (fills.empty() || majorTickLocations().empty() || !plotSpace()) return;
    auto range = visiblePlotRange();
    auto orthogonal = orthogonalGridRange();
    if (!range || !orthogonal) return;

    std::vector<base::Decimal> locations(majorTickLocations().begin(), majorTickLocations().end());
    if (CHTDecimalLessThan(range->length(), base::Decimal::zero())) std::reverse(locations.begin(), locations.end());

    base::Decimal previous = range->location();
    std::size_t index = 0;
    for (const auto& t : locations) {
        if (!CHTDecimalEquals(t, previous)) {
            const auto& fill = fills[index];
            index = (index + 1) % fills.size();
            if (fill) {
                gfx::Rect band = plotAreaRect(t, orthogonal->location(), previous, orthogonal->end());
                fill->fillRect(CHTAlignRectToUserSpace(context, band), context);
            }
        }
        previous = t;
    }
    base::Decimal end = range->end();
    if (!CHTDecimalEquals(previous, end) && fills[index]) {
        gfx::Rect band = plotAreaRect(previous, orthogonal->location(), end, orthogonal->end());
        fills[index]->fillRect(CHTAlignRectToUserSpace(context, band), context);
    }
}

void CHTXYAxis::drawBackgroundLimitsInContext(gfx::Context& context) {
    if (mutableBackgroundLimitBands().empty() || !plotSpace()) return;
    auto range = visiblePlotRange();
    auto orthogonal = orthogonalGridRange();
    if (!range || !orthogonal) return;
    for (const auto& band : backgroundLimitBands()) {
        if (!band->fill() || !band->range()) continue;
        auto cut = band->range()->copy();
        cut->intersectionPlotRange(range.get());
        gfx::Rect rect = plotAreaRect(cut->location(), orthogonal->location(), cut->end(), orthogonal->end());
        band->fill()->fillRect(CHTAlignRectToUserSpace(context, rect), context);
    }
}

std::string CHTXYAxis::description() const {
    auto* me = const_cast<CHTXYAxis*>(this);
    auto range = plotSpace() ? plotSpace()->plotRangeForCoordinate(coordinate()) : nullptr;
    gfx::Point start, end;
    if (range) {
        start = me->viewPointForCoordinateDecimalNumber(range->location());
        end = me->viewPointForCoordinateDecimalNumber(range->end());
    }
    return base::format("<%@ with range: %@ viewCoordinates: %@ to %@>", CHTLayer::description(),
                        range ? range->description() : std::string("(null)"), CHTStringFromPoint(start),
                        CHTStringFromPoint(end));
}

void CHTXYAxis::encodeWithCoder(base::KeyedArchiver& coder) const {
    CHTAxis::encodeWithCoder(coder);
    encodeDecimal(coder, orthogonalCoordinateDecimal_, "CHTXYAxis.orthogonalCoordinateDecimal");
    coder.encodeObject(axisConstraints_, "CHTXYAxis.axisConstraints");
}

std::shared_ptr<base::Coding> CHTXYAxis::initWithCoder(base::KeyedUnarchiver& coder) {
    CHTAxis::initWithCoder(coder);
    orthogonalCoordinateDecimal_ = decodeDecimal(coder, "CHTXYAxis.orthogonalCoordinateDecimal");
    axisConstraints_ = coder.decodeObjectOfType<CHTConstraints>("CHTXYAxis.axisConstraints");
    return nullptr;
}

void CHTXYAxis::registerCodingClass() {
    base::KeyedUnarchiver::registerClass("CHTXYAxis", [] { return std::make_shared<CHTXYAxis>(); });
}
