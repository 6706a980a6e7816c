#include "charts/CHTMutableLineStyle.h"
// Everything of the mutable twin lives in CHTLineStyle; this file keeps the
// one-source-per-class layout.
