#pragma once
// Measuring and drawing a string in a chart text style.
#include <string>

#include "charts/CHTTextStyle.h"
#include "platform/gfx/Context.h"

// The size of the text in the style's font, word-wrapped inside a box of
// 10000 x 10000 points. Zero without a style.
gfx::Size sizeWithTextStyle(const std::string& text, const CHTTextStyle* style);

// Draws the text into the rect (top-down: flip a y-up context first) in the
// style's font, colour and alignment, word-wrapped. Nothing without a style
// or without a colour.
void drawInRect(const std::string& text, const gfx::Rect& rect, const CHTTextStyle* style, gfx::Context& context);
