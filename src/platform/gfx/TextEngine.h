#pragma once
// The pango context that all text is measured and laid out with (internal to
// the graphics layer): 72 dots per inch, no hinting and unrounded glyph
// positions, so that a text measures the same whatever surface it lands on.
typedef struct _PangoContext PangoContext;

namespace gfx {

PangoContext* textContext();

}  // namespace gfx
