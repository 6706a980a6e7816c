#pragma once
// The mapping between data values (plot points) and positions in the plot
// area's view (view points), with the visible ranges. This is the abstract
// base: its mapping operations do nothing; CHTXYPlotSpace is the concrete kind.
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "charts/CHTPlotRange.h"
#include "charts/CHTResponder.h"
#include "charts/CHTUtilities.h"
#include "platform/base/KeyedArchiver.h"
#include "platform/base/Value.h"

class CHTPlotSpace;
class CHTPlotArea;

inline constexpr const char* CHTPlotSpaceCoordinateMappingDidChangeNotification =
    "CHTPlotSpaceCoordinateMappingDidChangeNotification";

// Scale types.
inline constexpr int CHTScaleTypeLinear = 0;
inline constexpr int CHTScaleTypeLog = 1;

using CHTDecimalPlotPoint = std::array<base::Decimal, 2>;
using CHTDoublePlotPoint = std::array<double, 2>;

// What a plot space needs of the graph that holds it: its plot area frame
// and the plot area inside it.
class CHTPlotSpaceGraph {
public:
    virtual ~CHTPlotSpaceGraph() = default;
    virtual bool hasPlotAreaFrame() const = 0;
    // The frame has a plot area.
    virtual bool hasPlotArea() const = 0;
    // The size of the plot area's bounds: the view length of each axis.
    virtual gfx::Size plotAreaBoundsSize() const = 0;
    // A point in the plot area's coordinates lies inside it.
    virtual bool plotAreaContainsPoint(gfx::Point point) const = 0;
    // A point in the graph's coordinates, in the plot area frame's.
    virtual gfx::Point convertPointToPlotAreaFrame(gfx::Point graphPoint) const = 0;
    // A point in the frame's coordinates lies inside the frame.
    virtual bool plotAreaFrameContainsPoint(gfx::Point point) const = 0;
    // The plot area layer itself, for converting points between it and other
    // layers of the graph; nullptr when the graph has none (or cannot say).
    virtual std::shared_ptr<CHTPlotArea> plotArea() const { return nullptr; }
};

// What fitting asks of a plot: the range of its data along a coordinate
// (nullptr when it has none). Not const: a plot may reload its data first.
class CHTPlotSpacePlot {
public:
    virtual ~CHTPlotSpacePlot() = default;
    virtual std::shared_ptr<CHTPlotRange> plotRangeForCoordinate(CHTCoordinate coordinate) = 0;
};

// Optional operations; the defaults answer "not implemented".
class CHTPlotSpaceDelegate {
public:
    virtual ~CHTPlotSpaceDelegate() = default;
    // false: the plot space does no default handling and reports the event handled.
    virtual std::optional<bool> shouldHandlePointingDeviceDownEvent(CHTPlotSpace*, const CHTNativeEvent*, gfx::Point) {
        return std::nullopt;
    }
    virtual std::optional<bool> shouldHandlePointingDeviceDraggedEvent(CHTPlotSpace*, const CHTNativeEvent*,
                                                                       gfx::Point) {
        return std::nullopt;
    }
    virtual std::optional<bool> shouldHandlePointingDeviceUpEvent(CHTPlotSpace*, const CHTNativeEvent*, gfx::Point) {
        return std::nullopt;
    }
    virtual std::optional<bool> shouldHandlePointingDeviceCancelledEvent(CHTPlotSpace*, const CHTNativeEvent*) {
        return std::nullopt;
    }
    // The displacement to use instead of the one given.
    virtual std::optional<gfx::Point> willDisplaceBy(CHTPlotSpace*, gfx::Point) { return std::nullopt; }
    // The range to use instead of the new one for that coordinate.
    virtual std::optional<std::shared_ptr<CHTPlotRange>> willChangePlotRangeTo(CHTPlotSpace*,
                                                                               const std::shared_ptr<CHTPlotRange>&,
                                                                               CHTCoordinate) {
        return std::nullopt;
    }
    // false cancels the scaling.
    virtual std::optional<bool> shouldScaleBy(CHTPlotSpace*, CGFloat, gfx::Point) { return std::nullopt; }
    virtual void didChangePlotRangeForCoordinate(CHTPlotSpace*, CHTCoordinate) {}
};

class CHTPlotSpace : public CHTResponder, public base::Coding {
public:
    CHTPlotSpace() = default;
    ~CHTPlotSpace() override = default;

    // Not owned: reads nullptr once the graph is gone.
    std::shared_ptr<CHTPlotSpaceGraph> graph() const { return graph_.lock(); }
    void setGraph(const std::shared_ptr<CHTPlotSpaceGraph>& graph) { graph_ = graph; }
    const base::Value& identifier() const { return identifier_; }
    void setIdentifier(const base::Value& identifier) { identifier_ = identifier; }
    std::shared_ptr<CHTPlotSpaceDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<CHTPlotSpaceDelegate>& delegate) { delegate_ = delegate; }
    bool allowsUserInteraction() const { return allowsUserInteraction_; }
    void setAllowsUserInteraction(bool allows) { allowsUserInteraction_ = allows; }

    // The mapping; the base versions answer (0, 0), nil or linear and do nothing.
    virtual gfx::Point plotAreaViewPointForPlotPoint(const CHTDecimalPlotPoint& plotPoint);
    virtual gfx::Point plotAreaViewPointForDoublePrecisionPlotPoint(const CHTDoublePlotPoint& plotPoint);
    virtual void plotPoint(CHTDecimalPlotPoint& plotPoint, gfx::Point viewPoint);
    virtual void doublePrecisionPlotPoint(CHTDoublePlotPoint& plotPoint, gfx::Point viewPoint);
    virtual void setPlotRange(const std::shared_ptr<CHTPlotRange>& range, CHTCoordinate coordinate);
    virtual std::shared_ptr<CHTPlotRange> plotRangeForCoordinate(CHTCoordinate coordinate) const;
    virtual void setScaleType(int scaleType, CHTCoordinate coordinate);
    virtual int scaleTypeForCoordinate(CHTCoordinate coordinate) const;
    virtual void scaleToFitPlots(const std::vector<std::shared_ptr<CHTPlotSpacePlot>>& plots);
    virtual void scaleBy(CGFloat interactionScale, gfx::Point interactionPoint);

    // Answer true only when the delegate implements the matching
    // "shouldHandle" operation and answers false.
    bool pointingDeviceDownEvent(const CHTNativeEvent* event, gfx::Point interactionPoint) override;
    bool pointingDeviceDraggedEvent(const CHTNativeEvent* event, gfx::Point interactionPoint) override;
    bool pointingDeviceUpEvent(const CHTNativeEvent* event, gfx::Point interactionPoint) override;
    bool pointingDeviceCancelledEvent(const CHTNativeEvent* event) override;

    std::string classForCoder() const override { return "CHTPlotSpace"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

protected:
    // Posts "CHTGraphNeedsRedrawNotification" with the graph, when there is one.
    void postGraphNeedsRedraw() const;

private:
    std::weak_ptr<CHTPlotSpaceGraph> graph_;
    base::Value identifier_;
    std::weak_ptr<CHTPlotSpaceDelegate> delegate_;
    bool allowsUserInteraction_ = false;
};
