#pragma once
// Drop shadows for the context (internal to the graphics layer).
#include <functional>

#include "platform/gfx/Color.h"
#include "platform/gfx/Geometry.h"

typedef struct _cairo cairo_t;

namespace gfx {

struct ShadowParams {
    Size offset;  // in device pixels
    Float blur;   // in device pixels
    Color color;  // alpha already multiplied by the context's alpha
};

// Paints the shadow of what `paint` draws: `paint` is run on a scratch
// context with the same transform, path and line attributes as `cr`, the
// scratch's alpha is blurred with three box passes and the colour is painted
// through it into `cr` at the offset. `deviceBounds` bounds the drawing in
// device space. Leaves `cr` as it was apart from the painted shadow.
void drawShadow(cairo_t* cr, const Rect& deviceBounds, const ShadowParams& params,
                const std::function<void(cairo_t*)>& paint);

// The device-space bounds of the user-space rect from (x0, y0) to (x1, y1)
// under cr's current transform.
Rect userRectToDevice(cairo_t* cr, double x0, double y0, double x1, double y1);

// Blurs an 8-bit alpha plane in place with three passes of a box of the
// radius in each direction (an approximation of a Gaussian).
void boxBlurAlpha(unsigned char* data, int width, int height, int stride, int radius);

}  // namespace gfx
