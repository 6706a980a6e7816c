#pragma once
// A small demonstration application for the hosts while the training
// screens are being written: one screen under a navigation bar with a
// label, a number field, a Save button and a switch, and an About screen
// pushed from the bar.
#include "platform/host/Host.h"

namespace host {

// Makes the demonstration's application delegate.
DelegateFactory demoDelegateFactory();

}  // namespace host
