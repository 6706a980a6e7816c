#pragma once
// The pointing-device entry points of chart objects. Each answers whether it
// handled the event. Points are in the coordinates of the receiver's graph.
#include "platform/gfx/Geometry.h"

// The platform event that caused the call, passed through untouched (the
// hosting view supplies it; it may be null).
struct CHTNativeEvent;

class CHTResponder {
public:
    virtual ~CHTResponder() = default;
    virtual bool pointingDeviceDownEvent(const CHTNativeEvent* event, gfx::Point interactionPoint) = 0;
    virtual bool pointingDeviceDraggedEvent(const CHTNativeEvent* event, gfx::Point interactionPoint) = 0;
    virtual bool pointingDeviceUpEvent(const CHTNativeEvent* event, gfx::Point interactionPoint) = 0;
    virtual bool pointingDeviceCancelledEvent(const CHTNativeEvent* event) = 0;
};
