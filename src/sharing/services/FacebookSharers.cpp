#include "sharing/core/SHRSharer.h"
#include "sharing/core/SHRSharerGroups.h"
#include "sharing/services/facebook/SHRFacebook.h"

void registerFacebookSharers() {
    SHRSharer::registerSharer<SHRFacebook>("SHRFacebook");
}
