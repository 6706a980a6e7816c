#include "charts/CHTMutableShadow.h"
// Everything of the mutable twin lives in CHTShadow; this file keeps the
// one-source-per-class layout.
