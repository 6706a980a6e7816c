#pragma once
// Measuring and drawing text with the toolkit's rules. Text is laid out
// top-down: the rect's minY is the top of the first line, so draw in a
// y-down user space (flip a y-up context first). Measuring never looks at a
// drawing surface: the same text and font measure the same everywhere.
#include <string>

#include "platform/gfx/Font.h"
#include "platform/gfx/Geometry.h"

namespace gfx {

class Context;

// How text that does not fit is broken or cut (the toolkit's values).
enum class LineBreakMode {
    WordWrap = 0,          // wrap at word boundaries
    CharacterWrap = 1,     // wrap at any character
    Clip = 2,              // one line per paragraph, cut at the edge
    HeadTruncation = 3,    // one line, "...end"
    TailTruncation = 4,    // one line, "start..."
    MiddleTruncation = 5,  // one line, "start...end"
};

enum class TextAlignment { Left = 0, Center = 1, Right = 2 };

// A constraint that never binds.
inline constexpr Float kUnboundedTextExtent = 100000;

// The size of the text on one line (no wrapping; the toolkit's
// sizeWithFont:), in points, widths rounded up to whole points as the
// toolkit does.
Size measureText(const std::string& text, const Font& font);

// The size the text takes inside a box of the constraint's width and height
// with the line-break mode (only whole lines count; at least one line).
Size measureText(const std::string& text, const Font& font, Size constraint,
                 LineBreakMode mode = LineBreakMode::WordWrap);

// Draws the text inside the rect with the context's fill colour (and its
// shadow), broken and aligned as asked; lines that do not fit below the rect
// are not drawn. Returns the size of the drawn text.
Size drawText(Context& context, const std::string& text, const Rect& rect, const Font& font,
              LineBreakMode mode = LineBreakMode::WordWrap, TextAlignment alignment = TextAlignment::Left);

// Draws one line with its top-left corner at the point. Returns its size.
Size drawText(Context& context, const std::string& text, const Point& point, const Font& font);

}  // namespace gfx
