#include "charts/CHTMutableTextStyle.h"
// Everything of the mutable twin lives in CHTTextStyle; this file keeps the
// one-source-per-class layout.
