#include "sharing/core/SHRSharer.h"
#include "sharing/core/SHRSharerGroups.h"

void registerFacebookSharers() {
}
