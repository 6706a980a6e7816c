#pragma once
// The platform event behind a chart pointing-device event: the touch event
// the hosting view received, with the touches that belong to the view. Chart
// objects pass it through untouched; it may be null (events made in code).
#include "platform/ui/Event.h"

struct CHTNativeEvent {
    // The toolkit's event (null when the event was not caused by one).
    const ui::Event* event = nullptr;
    // The touches of the event that belong to the hosting view.
    ui::TouchSet touches;
};
