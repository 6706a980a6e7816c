#include "sharing/services/safari/SHRSafari.h"

#include "platform/ui/Application.h"
#include "sharing/core/SHR.h"
#include "sharing/core/SHRFunctions.h"

std::string SHRSafari::sharerTitle() const { return localizedFormat("Open in Safari"); }

bool SHRSafari::send() {
    auto keep = self();
    setQuiet(true);
    const auto& url = item()->URL();
    // Only web links go to the browser: other schemes could start anything.
    if (!url || (url->scheme() != "http" && url->scheme() != "https")) {
        sendDidFailWithError(SHR::error(localizedFormat("Only web links can be opened in the browser.")));
        return true;
    }
    if (!ui::Application::sharedApplication().openURL(url->absoluteString())) {
        sendDidFailWithError(SHR::error(localizedFormat("The link could not be opened.")));
        return true;
    }
    sendDidFinish();
    return true;
}
