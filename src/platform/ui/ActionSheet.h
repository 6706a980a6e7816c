#pragma once
// The action sheet lives beside the alert view (shown the same way).
#include "platform/ui/AlertView.h"
