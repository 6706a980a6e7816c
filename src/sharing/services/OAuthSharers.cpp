#include "sharing/core/SHRSharer.h"
#include "sharing/services/BuiltInSharers.h"
#include "sharing/services/delicious/SHRDelicious.h"
#include "sharing/services/twitter/SHRTwitter.h"

void registerOAuthSharers() {
    SHRSharer::registerSharer<SHRDelicious>("SHRDelicious");
    SHRSharer::registerSharer<SHRTwitter>("SHRTwitter");
}
