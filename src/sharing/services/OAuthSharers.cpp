#include "sharing/core/SHRSharer.h"
#include "sharing/core/SHRSharerGroups.h"
#include "sharing/services/delicious/SHRDelicious.h"

void registerOAuthSharers() {
    SHRSharer::registerSharer<SHRDelicious>("SHRDelicious");
}
