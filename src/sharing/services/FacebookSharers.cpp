#include "sharing/core/SHRSharer.h"
#include "sharing/services/BuiltInSharers.h"
#include "sharing/services/facebook/SHRFacebook.h"

void registerFacebookSharers() { SHRSharer::registerSharer<SHRFacebook>("SHRFacebook"); }
