#include "sharing/services/copy/SHRCopy.h"

#include "platform/ui/Pasteboard.h"
#include "sharing/core/SHRActivityIndicator.h"
#include "sharing/core/SHRFunctions.h"

std::string SHRCopy::sharerTitle() const { return localizedFormat("Copy"); }

bool SHRCopy::send() {
    auto keep = self();
    auto& pasteboard = ui::Pasteboard::generalPasteboard();
    if (item()->shareType() == SHRShareTypeURL && item()->URL()) {
        pasteboard.setString(item()->URL()->absoluteString());
    } else if (item()->image()) {
        pasteboard.setImage(item()->image());
    } else if (item()->text()) {
        pasteboard.setString(*item()->text());
    } else {
        return false;  // nothing to copy
    }
    SHRActivityIndicator::currentIndicator()->displayCompleted(localizedFormat("Copied!"));
    setQuiet(true);
    sendDidFinish();
    return true;
}
