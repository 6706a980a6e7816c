#pragma once
// Drawing helpers shared by the toolkit's views (internal): rounded
// rectangles, gradients, text in a colour, and the palette of the look.
#include <functional>
#include <optional>
#include <string>

#include "platform/gfx/Color.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Text.h"
#include "platform/ui/Types.h"

namespace ui::draw {

gfx::Color rgb(int r, int g, int b, Float a = 1);
gfx::Color mix(const gfx::Color& a, const gfx::Color& b, Float t);
gfx::Color lighter(const gfx::Color& c, Float amount);
gfx::Color darker(const gfx::Color& c, Float amount);
// True for a face light enough that white text on it is hard to read.
bool isLightFace(const gfx::Color& c);
// Title ink for a bar control's face: white on a dark face, dark brown on a
// light one (a gold bar), with the engraved edge that suits each.
struct BarInk {
    gfx::Color ink, edge;
    Size edgeOffset;
};
BarInk barInkOn(const gfx::Color& face);

// The general palette; the colours of the widgets' own chrome are named in
// Palette.h.
gfx::Color systemBlue();         // selection and links
gfx::Color barBlue();            // default bar tint
gfx::Color groupedBackground();  // striped grey behind grouped tables
gfx::Color separator();
gfx::Color labelText();
gfx::Color detailBlue();  // value-style detail text
gfx::Color secondaryText();
gfx::Color destructiveRed();

// Adds a rounded rectangle to the current path.
void addRoundedRect(gfx::Context& ctx, Rect rect, Float radius);
// Rounded only at the chosen corners.
void addRoundedRect(gfx::Context& ctx, Rect rect, Float radius, bool topLeft, bool topRight, bool bottomRight,
                    bool bottomLeft);
void fillRoundedRect(gfx::Context& ctx, Rect rect, Float radius, const gfx::Color& color);
void strokeRoundedRect(gfx::Context& ctx, Rect rect, Float radius, const gfx::Color& color, Float width = 1);
// Fills rect with a vertical gradient from top to bottom, clipped to the
// rounded rect (radius 0: plain).
void fillVerticalGradient(gfx::Context& ctx, Rect rect, const gfx::Color& top, const gfx::Color& bottom,
                          Float radius = 0);
// A glossy bar gradient (upper half lighter) of the colour.
void fillGlossy(gfx::Context& ctx, Rect rect, const gfx::Color& base, Float radius = 0);

// The chrome of a button: a face in a rounded rectangle and an edge along
// it, over a drop shadow when one is given. Buttons, segments, keys and the
// buttons of sheets all draw their bezels with this.
struct Bezel {
    enum class Face {
        Flat,      // one colour (top)
        Gradient,  // top to bottom
        Glossy,    // fillGlossy of top
    };
    struct Shadow {
        Size offset;
        Float blur;
        gfx::Color color;
    };
    Face face = Face::Flat;
    gfx::Color top, bottom;
    Float radius = 0;
    std::optional<gfx::Color> edge;  // none: no edge
    Float edgeWidth = 1;
    // A flat or gradient face casts the shadow itself; a glossy one lies
    // over a flat base of its colour that casts it.
    std::optional<Shadow> shadow;
};
void bezel(gfx::Context& ctx, Rect rect, const Bezel& bezel);
// The same in a shape of the caller's (the point of a back button): the
// face fills rect clipped to the shape (its radius unused), the edge
// strokes the shape.
void bezel(gfx::Context& ctx, Rect rect, const Bezel& bezel, const std::function<void()>& addShape);

// Text in a colour. Answers the drawn size.
Size text(gfx::Context& ctx, const std::string& text, Rect rect, const gfx::Font& font, const gfx::Color& color,
          TextAlignment alignment = TextAlignment::Left, LineBreakMode mode = LineBreakMode::TailTruncation);
// One line, vertically centred in rect.
Size textCentered(gfx::Context& ctx, const std::string& text, Rect rect, const gfx::Font& font, const gfx::Color& color,
                  TextAlignment alignment = TextAlignment::Center);
// The same with a one-point shadow (embossed bar titles).
Size textWithShadow(gfx::Context& ctx, const std::string& text, Rect rect, const gfx::Font& font,
                    const gfx::Color& color, const gfx::Color& shadow, Size offset,
                    TextAlignment alignment = TextAlignment::Center);

// Small glyphs.
void chevron(gfx::Context& ctx, Point center, Float size, const gfx::Color& color, Float width = 3);
void checkmark(gfx::Context& ctx, Rect rect, const gfx::Color& color, Float width = 2.5f);
void detailDisclosure(gfx::Context& ctx, Rect rect);
void plusCircle(gfx::Context& ctx, Rect rect, const gfx::Color& color);
void minusCircle(gfx::Context& ctx, Rect rect, const gfx::Color& color);

}  // namespace ui::draw
