#include "charts/CHTXYPlotSpace.h"

#include <cmath>

#include "platform/base/NotificationCenter.h"

namespace {

base::Decimal plainDivide(const base::Decimal& a, const base::Decimal& b) {
    base::Decimal r;
    base::decimalDivide(&r, a, b, base::RoundingMode::Plain);
    return r;
}
base::Decimal plainMultiply(const base::Decimal& a, const base::Decimal& b) {
    base::Decimal r;
    base::decimalMultiply(&r, a, b, base::RoundingMode::Plain);
    return r;
}
base::Decimal plainAdd(const base::Decimal& a, const base::Decimal& b) {
    base::Decimal r;
    base::decimalAdd(&r, a, b, base::RoundingMode::Plain);
    return r;
}

}  // namespace

CHTXYPlotSpace::CHTXYPlotSpace()
    : xRange_(CHTPlotRange::plotRangeWithLocation(CHTDecimalFromInteger(0), CHTDecimalFromInteger(1))),
      yRange_(CHTPlotRange::plotRangeWithLocation(CHTDecimalFromInteger(0), CHTDecimalFromInteger(1))) {}

// ---- ranges ----

std::shared_ptr<CHTPlotRange> CHTXYPlotSpace::constrainRange(const std::shared_ptr<CHTPlotRange>& range,
                                                             const std::shared_ptr<CHTPlotRange>& globalRange) {
    if (!globalRange) return range;
    if (!range) return nullptr;
    if (CHTDecimalGreaterThanOrEqualTo(range->length(), globalRange->length())) return globalRange->copy();
    auto shifted = range->copy();
    shifted->shiftEndToFitInRange(globalRange.get());
    shifted->shiftLocationToFitInRange(globalRange.get());
    return shifted;
}

void CHTXYPlotSpace::setRange(std::shared_ptr<CHTPlotRange>& stored, const std::shared_ptr<CHTPlotRange>& range,
                              const std::shared_ptr<CHTPlotRange>& globalRange, CHTCoordinate coordinate) {
    CHT_PARAMETER_ASSERT(range, "CHTXYPlotSpace", coordinate == CHTCoordinateX ? "setXRange" : "setYRange");
    if (!range) return;
    if (range->isEqualToRange(stored.get())) return;
    stored = constrainRange(range, globalRange)->copy();
    base::NotificationCenter::defaultCenter().post(CHTPlotSpaceCoordinateMappingDidChangeNotification, this,
                                                   static_cast<const CHTPlotSpace*>(this));
    if (auto d = delegate()) d->didChangePlotRangeForCoordinate(this, coordinate);
    postGraphNeedsRedraw();
}

void CHTXYPlotSpace::setXRange(const std::shared_ptr<CHTPlotRange>& range) {
    setRange(xRange_, range, globalXRange_, CHTCoordinateX);
}

void CHTXYPlotSpace::setYRange(const std::shared_ptr<CHTPlotRange>& range) {
    setRange(yRange_, range, globalYRange_, CHTCoordinateY);
}

void CHTXYPlotSpace::setGlobalXRange(const std::shared_ptr<CHTPlotRange>& range) {
    if (range && range->isEqualToRange(globalXRange_.get())) return;
    globalXRange_ = range ? range->copy() : nullptr;
    setXRange(constrainRange(xRange_, globalXRange_));
}

void CHTXYPlotSpace::setGlobalYRange(const std::shared_ptr<CHTPlotRange>& range) {
    if (range && range->isEqualToRange(globalYRange_.get())) return;
    globalYRange_ = range ? range->copy() : nullptr;
    setYRange(constrainRange(yRange_, globalYRange_));
}

void CHTXYPlotSpace::setXScaleType(int scaleType) {
    if (scaleType == xScaleType_) return;
    xScaleType_ = scaleType;
    postGraphNeedsRedraw();
}

void CHTXYPlotSpace::setYScaleType(int scaleType) {
    if (scaleType == yScaleType_) return;
    yScaleType_ = scaleType;
    postGraphNeedsRedraw();
}

void CHTXYPlotSpace::setPlotRange(const std::shared_ptr<CHTPlotRange>& range, CHTCoordinate coordinate) {
    if (coordinate == CHTCoordinateX) setXRange(range);
    else if (coordinate == CHTCoordinateY) setYRange(range);
}

std::shared_ptr<CHTPlotRange> CHTXYPlotSpace::plotRangeForCoordinate(CHTCoordinate coordinate) const {
    if (coordinate == CHTCoordinateX) return xRange_;
    if (coordinate == CHTCoordinateY) return yRange_;
    return nullptr;
}

void CHTXYPlotSpace::setScaleType(int scaleType, CHTCoordinate coordinate) {
    if (coordinate == CHTCoordinateX) setXScaleType(scaleType);
    else if (coordinate == CHTCoordinateY) setYScaleType(scaleType);
}

int CHTXYPlotSpace::scaleTypeForCoordinate(CHTCoordinate coordinate) const {
    if (coordinate == CHTCoordinateX) return xScaleType_;
    if (coordinate == CHTCoordinateY) return yScaleType_;
    return CHTScaleTypeLinear;
}

// ---- mapping ----

bool CHTXYPlotSpace::plotAreaSize(gfx::Size& size) const {
    auto g = graph();
    if (!g || !g->hasPlotAreaFrame() || !g->hasPlotArea()) return false;
    size = g->plotAreaBoundsSize();
    return true;
}

CGFloat CHTXYPlotSpace::viewCoordinateForViewLength(CGFloat viewLength, const CHTPlotRange* range,
                                                    const base::Decimal& plotCoordinateValue) const {
    if (!range) return 0;
    base::Decimal factor =
        CHTDecimalDivide(CHTDecimalSubtract(plotCoordinateValue, range->location()), range->length());
    if (CHTDecimalIsNaN(factor)) factor = CHTDecimalFromInteger(0);
    return CHTDecimalFloatValue(factor) * viewLength;
}

CGFloat CHTXYPlotSpace::viewCoordinateForViewLengthDouble(CGFloat viewLength, const CHTPlotRange* range,
                                                          double plotCoordinateValue) const {
    if (!range || range->lengthDouble() == 0.0) return 0;
    return static_cast<CGFloat>(viewLength * ((plotCoordinateValue - range->locationDouble()) / range->lengthDouble()));
}

CGFloat CHTXYPlotSpace::viewCoordinateForViewLengthLog(CGFloat viewLength, const CHTPlotRange* range,
                                                       double plotCoordinateValue) const {
    if (!range) return 0;
    if (range->minLimitDouble() <= 0.0 || range->maxLimitDouble() <= 0.0 || plotCoordinateValue <= 0.0) return 0;
    double logLocation = std::log10(range->locationDouble());
    double logEnd = std::log10(range->endDouble());
    // A zero-length range (or a value that is not a number) maps to 0, as
    // on a linear axis, instead of to NaN or infinity.
    if (!(logEnd != logLocation)) return 0;
    double v = viewLength * (std::log10(plotCoordinateValue) - logLocation) / (logEnd - logLocation);
    return std::isfinite(v) ? static_cast<CGFloat>(v) : 0;
}

gfx::Point CHTXYPlotSpace::plotAreaViewPointForPlotPoint(const CHTDecimalPlotPoint& plotPoint) {
    gfx::Size size;
    if (!plotAreaSize(size)) return {};
    bool supported = true;
    auto map = [&](int scaleType, CGFloat length, const CHTPlotRange* range, const base::Decimal& v) -> CGFloat {
        switch (scaleType) {
        case CHTScaleTypeLinear: return viewCoordinateForViewLength(length, range, v);
        case CHTScaleTypeLog: return viewCoordinateForViewLengthLog(length, range, CHTDecimalDoubleValue(v));
        default: supported = false; return 0;
        }
    };
    gfx::Point view(map(xScaleType_, size.width, xRange_.get(), plotPoint[CHTCoordinateX]),
                    map(yScaleType_, size.height, yRange_.get(), plotPoint[CHTCoordinateY]));
    if (!supported) base::raise("CHTException", "Scale type not supported in CHTXYPlotSpace");
    return view;
}

gfx::Point CHTXYPlotSpace::plotAreaViewPointForDoublePrecisionPlotPoint(const CHTDoublePlotPoint& plotPoint) {
    gfx::Size size;
    if (!plotAreaSize(size)) return {};
    bool supported = true;
    auto map = [&](int scaleType, CGFloat length, const CHTPlotRange* range, double v) -> CGFloat {
        switch (scaleType) {
        case CHTScaleTypeLinear: return viewCoordinateForViewLengthDouble(length, range, v);
        case CHTScaleTypeLog: return viewCoordinateForViewLengthLog(length, range, v);
        default: supported = false; return 0;
        }
    };
    gfx::Point view(map(xScaleType_, size.width, xRange_.get(), plotPoint[CHTCoordinateX]),
                    map(yScaleType_, size.height, yRange_.get(), plotPoint[CHTCoordinateY]));
    if (!supported) base::raise("CHTException", "Scale type not supported in CHTXYPlotSpace");
    return view;
}

void CHTXYPlotSpace::plotPoint(CHTDecimalPlotPoint& plotPoint, gfx::Point viewPoint) {
    gfx::Size size;
    if (!plotAreaSize(size)) {
        plotPoint[CHTCoordinateX] = CHTDecimalFromInteger(0);
        plotPoint[CHTCoordinateY] = CHTDecimalFromInteger(0);
        return;
    }
    // The one place that uses plain rounding rather than bankers'.
    auto inverse = [](CGFloat view, CGFloat length, const CHTPlotRange& range) {
        base::Decimal fraction = plainDivide(CHTDecimalFromDouble(static_cast<double>(view)),
                                             CHTDecimalFromDouble(static_cast<double>(length)));
        return plainAdd(plainMultiply(fraction, range.length()), range.location());
    };
    plotPoint[CHTCoordinateX] = inverse(viewPoint.x, size.width, *xRange_);
    plotPoint[CHTCoordinateY] = inverse(viewPoint.y, size.height, *yRange_);
}

void CHTXYPlotSpace::doublePrecisionPlotPoint(CHTDoublePlotPoint& plotPoint, gfx::Point viewPoint) {
    gfx::Size size;
    if (!plotAreaSize(size)) {
        plotPoint = {0.0, 0.0};
        return;
    }
    plotPoint[CHTCoordinateX] =
        static_cast<double>(viewPoint.x / size.width) * xRange_->lengthDouble() + xRange_->locationDouble();
    plotPoint[CHTCoordinateY] =
        static_cast<double>(viewPoint.y / size.height) * yRange_->lengthDouble() + yRange_->locationDouble();
}

// ---- fitting and scaling ----

void CHTXYPlotSpace::scaleToFitPlots(const std::vector<std::shared_ptr<CHTPlotSpacePlot>>& plots) {
    if (plots.empty()) return;
    std::shared_ptr<CHTPlotRange> unionX, unionY;
    for (const auto& plot : plots) {
        if (!plot) continue;
        auto grow = [](std::shared_ptr<CHTPlotRange>& running, const std::shared_ptr<CHTPlotRange>& range) {
            if (!range) return;
            // The running union is our own copy: the plot's range is left alone.
            if (!running) running = range->copy();
            else running->unionPlotRange(range.get());
        };
        grow(unionX, plot->plotRangeForCoordinate(CHTCoordinateX));
        grow(unionY, plot->plotRangeForCoordinate(CHTCoordinateY));
    }
    // A union whose length is not a number (its plots' ranges together
    // reach beyond a decimal) or zero leaves the range as it was.
    auto fits = [](const std::shared_ptr<CHTPlotRange>& range) {
        if (!range || CHTDecimalIsNaN(range->location()) || CHTDecimalIsNaN(range->length())) return false;
        return !CHTDecimalEquals(range->length(), CHTDecimalFromInteger(0)) && std::isfinite(range->lengthDouble());
    };
    if (fits(unionX)) setXRange(unionX);
    if (fits(unionY)) setYRange(unionY);
}

std::shared_ptr<CHTPlotRange> CHTXYPlotSpace::offeredRange(const std::shared_ptr<CHTPlotRange>& range,
                                                           CHTCoordinate coordinate) {
    if (auto d = delegate()) {
        if (auto replacement = d->willChangePlotRangeTo(this, range, coordinate)) return *replacement;
    }
    return range;
}

void CHTXYPlotSpace::scaleBy(CGFloat interactionScale, gfx::Point interactionPoint) {
    auto g = graph();
    if (!g || !g->hasPlotAreaFrame()) return;
    // A factor that is not a finite number would make both ranges NaN.
    if (!std::isfinite(interactionScale) || static_cast<double>(interactionScale) <= 1e-6) return;
    if (!g->plotAreaContainsPoint(interactionPoint)) return;
    if (auto d = delegate()) {
        auto answer = d->shouldScaleBy(this, interactionScale, interactionPoint);
        if (answer.has_value() && !*answer) return;
    }
    base::Decimal scale = CHTDecimalFromCGFloat(interactionScale);
    CHTDecimalPlotPoint point;
    plotPoint(point, interactionPoint);

    auto scaled = [&](const CHTPlotRange& range, const base::Decimal& p) {
        base::Decimal newLength = CHTDecimalDivide(range.length(), scale);
        base::Decimal newLocation =
            CHTDecimalGreaterThanOrEqualTo(range.length(), CHTDecimalFromInteger(0))
                ? CHTDecimalSubtract(p, CHTDecimalDivide(CHTDecimalSubtract(p, range.minLimit()), scale))
                : CHTDecimalAdd(p, CHTDecimalDivide(CHTDecimalSubtract(range.maxLimit(), p), scale));
        return CHTPlotRange::plotRangeWithLocation(newLocation, newLength);
    };
    auto newX = offeredRange(scaled(*xRange_, point[CHTCoordinateX]), CHTCoordinateX);
    auto newY = offeredRange(scaled(*yRange_, point[CHTCoordinateY]), CHTCoordinateY);
    setXRange(newX);
    setYRange(newY);
}

// ---- dragging ----

bool CHTXYPlotSpace::pointingDeviceDownEvent(const CHTNativeEvent* event, gfx::Point interactionPoint) {
    if (CHTPlotSpace::pointingDeviceDownEvent(event, interactionPoint)) return true;
    auto g = graph();
    if (!allowsUserInteraction() || !g || !g->hasPlotAreaFrame()) return false;
    gfx::Point p = g->convertPointToPlotAreaFrame(interactionPoint);
    if (!g->plotAreaFrameContainsPoint(p)) return false;
    lastDragPoint_ = p;
    isDragging_ = true;
    return true;
}

bool CHTXYPlotSpace::pointingDeviceDraggedEvent(const CHTNativeEvent* event, gfx::Point interactionPoint) {
    if (CHTPlotSpace::pointingDeviceDraggedEvent(event, interactionPoint)) return true;
    auto g = graph();
    if (!allowsUserInteraction() || !g || !g->hasPlotAreaFrame()) return false;
    if (!isDragging_) return false;
    gfx::Point p = g->convertPointToPlotAreaFrame(interactionPoint);
    gfx::Point target = p;
    if (auto d = delegate()) {
        if (auto displacement = d->willDisplaceBy(this, p - lastDragPoint_)) target = lastDragPoint_ + *displacement;
    }
    CHTDecimalPlotPoint lastPlot, newPlot;
    plotPoint(lastPlot, lastDragPoint_);
    plotPoint(newPlot, target);

    // Over a plot area of no width (or height) the view-to-plot step has no
    // answer: that coordinate's range stays as it was instead of turning NaN.
    auto shifted = [](const CHTPlotRange& range, const base::Decimal& last, const base::Decimal& now) {
        auto copy = range.copy();
        base::Decimal shift = CHTDecimalSubtract(last, now);
        if (!CHTDecimalIsNaN(shift)) copy->setLocation(CHTDecimalAdd(copy->location(), shift));
        return copy;
    };
    auto newX = offeredRange(shifted(*xRange_, lastPlot[CHTCoordinateX], newPlot[CHTCoordinateX]), CHTCoordinateX);
    auto newY = offeredRange(shifted(*yRange_, lastPlot[CHTCoordinateY], newPlot[CHTCoordinateY]), CHTCoordinateY);
    setXRange(newX);
    setYRange(newY);
    lastDragPoint_ = p;
    return true;
}

bool CHTXYPlotSpace::pointingDeviceUpEvent(const CHTNativeEvent* event, gfx::Point interactionPoint) {
    if (CHTPlotSpace::pointingDeviceUpEvent(event, interactionPoint)) return true;
    auto g = graph();
    if (!allowsUserInteraction() || !g || !g->hasPlotAreaFrame()) return false;
    if (!isDragging_) return false;
    isDragging_ = false;
    return true;
}

// ---- coding ----

void CHTXYPlotSpace::encodeWithCoder(base::KeyedArchiver& coder) const {
    CHTPlotSpace::encodeWithCoder(coder);
    coder.encodeObject(xRange_, "CHTXYPlotSpace.xRange");
    coder.encodeObject(yRange_, "CHTXYPlotSpace.yRange");
    coder.encodeObject(globalXRange_, "CHTXYPlotSpace.globalXRange");
    coder.encodeObject(globalYRange_, "CHTXYPlotSpace.globalYRange");
    coder.encodeInteger(xScaleType_, "CHTXYPlotSpace.xScaleType");
    coder.encodeInteger(yScaleType_, "CHTXYPlotSpace.yScaleType");
}

std::shared_ptr<base::Coding> CHTXYPlotSpace::initWithCoder(base::KeyedUnarchiver& coder) {
    CHTPlotSpace::initWithCoder(coder);
    auto decodedRange = [&coder](const char* key) -> std::shared_ptr<CHTPlotRange> {
        auto range = coder.decodeObjectOfType<CHTPlotRange>(key);
        return range ? range->copy() : nullptr;
    };
    // A missing visible range keeps the default one, so the mapping stays usable.
    if (auto x = decodedRange("CHTXYPlotSpace.xRange")) xRange_ = x;
    if (auto y = decodedRange("CHTXYPlotSpace.yRange")) yRange_ = y;
    globalXRange_ = decodedRange("CHTXYPlotSpace.globalXRange");
    globalYRange_ = decodedRange("CHTXYPlotSpace.globalYRange");
    xScaleType_ = static_cast<int>(coder.decodeInteger("CHTXYPlotSpace.xScaleType"));
    yScaleType_ = static_cast<int>(coder.decodeInteger("CHTXYPlotSpace.yScaleType"));
    lastDragPoint_ = {};
    isDragging_ = false;
    return nullptr;
}
