#pragma once
// A small demonstration application the host tests run: one screen under a
// navigation bar with a label, a number field, a Save button and a switch,
// and an About screen pushed from the bar.
#include "platform/host/Host.h"

namespace hosttest {

// Makes the demonstration's application delegate.
host::DelegateFactory demoDelegateFactory();

}  // namespace hosttest
