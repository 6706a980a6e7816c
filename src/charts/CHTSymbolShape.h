#pragma once
// The small shapes that plot symbols and line caps are drawn from, centred on
// the origin in a y-up space, fitting a given size (h = width / 2,
// k = height / 2). Both kinds of marker build their paths here.
#include <optional>

#include "charts/CHTUtilities.h"
#include "platform/gfx/Path.h"

class CHTFill;
class CHTLineStyle;
namespace gfx {
class Context;
}

enum class CHTSymbolShape {
    Rectangle,  // (-h, -k, width, height)
    Ellipse,    // the ellipse in that rectangle
    Diamond,    // (0, k), (h, 0), (0, -k), (-h, 0)
    Triangle,   // apex (0, k), base at -0.5k
    Star,       // five points on the ellipse, inner points at 0.38196602
    Pentagon,   // five points on the ellipse from (0, k)
    Hexagon,    // six points on the ellipse from (0, k)
    Cross,      // the two diagonals (open)
    Plus,       // the vertical and horizontal middle lines (open)
    Dash,       // (h, 0) to (-h, 0) (open)
    Snow,       // three lines through the centre at 60 degrees (open)
};

// The shape's path.
gfx::Path CHTSymbolShapePath(CHTSymbolShape shape, gfx::Size size);

// A custom path fitted into the size and centred on the origin: scaled by
// size / its bounding box along each axis and moved so that the box's centre
// is the origin. A flat path (no extent along an axis) keeps scale 1 along
// that axis instead of dividing by zero. Empty for no or an empty path.
gfx::Path CHTCustomShapePath(const std::optional<gfx::Path>& path, gfx::Size size);

// Draws a shape path in the context's current space: the fill (when given)
// clipped to the path with the even-odd or the nonzero rule over the shape's
// size centred on the origin, then the path stroked with the line style
// (when given). The clip is undone afterwards; the line settings stay in the
// context, so callers save and restore around the call.
void CHTDrawShapePath(gfx::Context& context, const gfx::Path& path, gfx::Size size, const CHTFill* fill,
                      const CHTLineStyle* lineStyle, bool usesEvenOddClipRule);
