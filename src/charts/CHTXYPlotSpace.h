#pragma once
// The plot space of XY graphs: an x range and a y range, optional global
// ranges that limit them, a linear or base-10 logarithmic scale per axis,
// dragging to pan, scaling about a point to zoom, and fitting to plots.
#include "charts/CHTPlotSpace.h"

class CHTXYPlotSpace : public CHTPlotSpace {
public:
    // x and y ranges [0, 1], no global ranges, linear scales.
    CHTXYPlotSpace();

    const std::shared_ptr<CHTPlotRange>& xRange() const { return xRange_; }
    const std::shared_ptr<CHTPlotRange>& yRange() const { return yRange_; }
    // A copy is stored, limited to the global range. Setting a range equal to
    // the current one does nothing; otherwise the mapping notification is
    // posted, the delegate told, and the graph asked to redraw.
    void setXRange(const std::shared_ptr<CHTPlotRange>& range);
    void setYRange(const std::shared_ptr<CHTPlotRange>& range);
    const std::shared_ptr<CHTPlotRange>& globalXRange() const { return globalXRange_; }
    const std::shared_ptr<CHTPlotRange>& globalYRange() const { return globalYRange_; }
    void setGlobalXRange(const std::shared_ptr<CHTPlotRange>& range);
    void setGlobalYRange(const std::shared_ptr<CHTPlotRange>& range);
    int xScaleType() const { return xScaleType_; }
    int yScaleType() const { return yScaleType_; }
    void setXScaleType(int scaleType);
    void setYScaleType(int scaleType);
    gfx::Point lastDragPoint() const { return lastDragPoint_; }
    bool isDragging() const { return isDragging_; }

    // Plot to view: linear or logarithmic by the axis's scale type; an
    // unsupported scale type raises "CHTException". View to plot: linear.
    gfx::Point plotAreaViewPointForPlotPoint(const CHTDecimalPlotPoint& plotPoint) override;
    gfx::Point plotAreaViewPointForDoublePrecisionPlotPoint(const CHTDoublePlotPoint& plotPoint) override;
    void plotPoint(CHTDecimalPlotPoint& plotPoint, gfx::Point viewPoint) override;
    void doublePrecisionPlotPoint(CHTDoublePlotPoint& plotPoint, gfx::Point viewPoint) override;

    void setPlotRange(const std::shared_ptr<CHTPlotRange>& range, CHTCoordinate coordinate) override;
    std::shared_ptr<CHTPlotRange> plotRangeForCoordinate(CHTCoordinate coordinate) const override;
    void setScaleType(int scaleType, CHTCoordinate coordinate) override;
    int scaleTypeForCoordinate(CHTCoordinate coordinate) const override;
    void scaleToFitPlots(const std::vector<std::shared_ptr<CHTPlotSpacePlot>>& plots) override;
    void scaleBy(CGFloat interactionScale, gfx::Point interactionPoint) override;

    bool pointingDeviceDownEvent(const CHTNativeEvent* event, gfx::Point interactionPoint) override;
    bool pointingDeviceDraggedEvent(const CHTNativeEvent* event, gfx::Point interactionPoint) override;
    bool pointingDeviceUpEvent(const CHTNativeEvent* event, gfx::Point interactionPoint) override;

    // The range itself with no global range; a copy of the global range when
    // the range is at least as long; else a copy shifted into it.
    static std::shared_ptr<CHTPlotRange> constrainRange(const std::shared_ptr<CHTPlotRange>& range,
                                                        const std::shared_ptr<CHTPlotRange>& globalRange);

    std::string classForCoder() const override { return "CHTXYPlotSpace"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

private:
    CGFloat viewCoordinateForViewLength(CGFloat viewLength, const CHTPlotRange* range,
                                        const base::Decimal& plotCoordinateValue) const;
    CGFloat viewCoordinateForViewLengthDouble(CGFloat viewLength, const CHTPlotRange* range,
                                              double plotCoordinateValue) const;
    CGFloat viewCoordinateForViewLengthLog(CGFloat viewLength, const CHTPlotRange* range,
                                           double plotCoordinateValue) const;
    void setRange(std::shared_ptr<CHTPlotRange>& stored, const std::shared_ptr<CHTPlotRange>& range,
                  const std::shared_ptr<CHTPlotRange>& globalRange, CHTCoordinate coordinate);
    std::shared_ptr<CHTPlotRange> offeredRange(const std::shared_ptr<CHTPlotRange>& range, CHTCoordinate coordinate);
    // The plot area, when the graph has a frame with one.
    bool plotAreaSize(gfx::Size& size) const;

    std::shared_ptr<CHTPlotRange> xRange_;
    std::shared_ptr<CHTPlotRange> yRange_;
    std::shared_ptr<CHTPlotRange> globalXRange_;
    std::shared_ptr<CHTPlotRange> globalYRange_;
    int xScaleType_ = CHTScaleTypeLinear;
    int yScaleType_ = CHTScaleTypeLinear;
    gfx::Point lastDragPoint_;
    bool isDragging_ = false;
};
