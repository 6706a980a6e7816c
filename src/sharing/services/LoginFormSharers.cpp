#include "sharing/core/SHRSharer.h"
#include "sharing/services/BuiltInSharers.h"
#include "sharing/services/evernote/SHREvernote.h"
#include "sharing/services/googlereader/SHRGoogleReader.h"
#include "sharing/services/instapaper/SHRInstapaper.h"
#include "sharing/services/pinboard/SHRPinboard.h"
#include "sharing/services/readitlater/SHRReadItLater.h"
#include "sharing/services/tumblr/SHRTumblr.h"

void registerLoginFormSharers() {
    SHRSharer::registerSharer<SHRInstapaper>("SHRInstapaper");
    SHRSharer::registerSharer<SHRPinboard>("SHRPinboard");
    SHRSharer::registerSharer<SHRReadItLater>("SHRReadItLater");
    SHRSharer::registerSharer<SHRGoogleReader>("SHRGoogleReader");
    SHRSharer::registerSharer<SHRTumblr>("SHRTumblr");
    SHRSharer::registerSharer<SHREvernote>("SHREvernote");
}
