#include "charts/CHTPlotSpace.h"

#include "platform/base/NotificationCenter.h"

gfx::Point CHTPlotSpace::plotAreaViewPointForPlotPoint(const CHTDecimalPlotPoint&) { return {}; }
gfx::Point CHTPlotSpace::plotAreaViewPointForDoublePrecisionPlotPoint(const CHTDoublePlotPoint&) { return {}; }
void CHTPlotSpace::plotPoint(CHTDecimalPlotPoint&, gfx::Point) {}
void CHTPlotSpace::doublePrecisionPlotPoint(CHTDoublePlotPoint&, gfx::Point) {}
void CHTPlotSpace::setPlotRange(const std::shared_ptr<CHTPlotRange>&, CHTCoordinate) {}
std::shared_ptr<CHTPlotRange> CHTPlotSpace::plotRangeForCoordinate(CHTCoordinate) const { return nullptr; }
void CHTPlotSpace::setScaleType(int, CHTCoordinate) {}
int CHTPlotSpace::scaleTypeForCoordinate(CHTCoordinate) const { return CHTScaleTypeLinear; }
void CHTPlotSpace::scaleToFitPlots(const std::vector<std::shared_ptr<CHTPlotSpacePlot>>&) {}
void CHTPlotSpace::scaleBy(CGFloat, gfx::Point) {}

bool CHTPlotSpace::pointingDeviceDownEvent(const CHTNativeEvent* event, gfx::Point interactionPoint) {
    auto d = delegate();
    if (!d) return false;
    auto answer = d->shouldHandlePointingDeviceDownEvent(this, event, interactionPoint);
    return answer.has_value() && !*answer;
}

bool CHTPlotSpace::pointingDeviceDraggedEvent(const CHTNativeEvent* event, gfx::Point interactionPoint) {
    auto d = delegate();
    if (!d) return false;
    auto answer = d->shouldHandlePointingDeviceDraggedEvent(this, event, interactionPoint);
    return answer.has_value() && !*answer;
}

bool CHTPlotSpace::pointingDeviceUpEvent(const CHTNativeEvent* event, gfx::Point interactionPoint) {
    auto d = delegate();
    if (!d) return false;
    auto answer = d->shouldHandlePointingDeviceUpEvent(this, event, interactionPoint);
    return answer.has_value() && !*answer;
}

bool CHTPlotSpace::pointingDeviceCancelledEvent(const CHTNativeEvent* event) {
    auto d = delegate();
    if (!d) return false;
    auto answer = d->shouldHandlePointingDeviceCancelledEvent(this, event);
    return answer.has_value() && !*answer;
}

void CHTPlotSpace::postGraphNeedsRedraw() const {
    auto g = graph();
    if (!g) return;
    // The graph's identity is its complete object, whatever interface we hold.
    base::NotificationCenter::defaultCenter().post(CHTGraphNeedsRedrawNotification, dynamic_cast<const void*>(g.get()),
                                                   g);
}

void CHTPlotSpace::encodeWithCoder(base::KeyedArchiver& coder) const {
    coder.encodeConditionalObject(dynamic_cast<const base::Coding*>(graph().get()), "CHTPlotSpace.graph");
    coder.encodeValue(identifier_, "CHTPlotSpace.identifier");
    if (auto d = delegate()) {
        if (auto* codable = dynamic_cast<const base::Coding*>(d.get()))
            coder.encodeConditionalObject(codable, "CHTPlotSpace.delegate");
    }
    coder.encodeBool(allowsUserInteraction_, "CHTPlotSpace.allowsUserInteraction");
}

std::shared_ptr<base::Coding> CHTPlotSpace::initWithCoder(base::KeyedUnarchiver& coder) {
    graph_ = std::dynamic_pointer_cast<CHTPlotSpaceGraph>(coder.decodeObject("CHTPlotSpace.graph"));
    identifier_ = coder.decodeValue("CHTPlotSpace.identifier");
    delegate_ = std::dynamic_pointer_cast<CHTPlotSpaceDelegate>(coder.decodeObject("CHTPlotSpace.delegate"));
    allowsUserInteraction_ = coder.decodeBool("CHTPlotSpace.allowsUserInteraction");
    return nullptr;
}
