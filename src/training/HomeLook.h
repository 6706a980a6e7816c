#pragma once
// The look that the home screen and the screens it opens share: the gold
// bar tint and its palette, the embossed title labels of the bars, the
// images of the bundle by name (the good-form frames among them), the
// rounded cards and buttons drawn at run time, and the integer reading of
// typed counts.
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Color.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Image.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"
#include "training/LookPalette.h"

namespace homelook {

gfx::Color barTint();     // RGB (0.949, 0.769, 0.173): the home screen's bar
gfx::Color background();  // the warm dark brown behind the screens
gfx::Color card();        // the lighter brown of cards and panels
gfx::Color ink();         // light text on the background
gfx::Color dimInk();      // secondary text
gfx::Color gold();        // headings and figures (the bar tint)

// The title view of a bar: a label of frame (0, 0, width, 44) with a clear
// background, black bold system text of size 20 with a yellow shadow,
// centred.
std::shared_ptr<ui::Label> titleLabel(const std::string& text, ui::Float width);

// An image of the bundle by file name ("dotoday.png"): the "@2x" twin when
// the screen is drawn at 2x and it exists, else the plain file; null when
// neither exists. Loaded once and kept.
std::shared_ptr<gfx::Image> bundleImage(const std::string& fileName);
// The frames "gf1" to "gf8" of a good push-up, in order; when the bundle
// lacks them, the same eight phases drawn at run time.
std::vector<std::shared_ptr<gfx::Image>> goodFormFrames();
// One phase of a push-up drawn at run time: 0 is the top (arms straight),
// 0.5 the bottom (chest near the floor).
std::shared_ptr<gfx::Image> drawnPushUp(gfx::Size size, double phase);

// The icons of the home screen's menu, drawn at run time for a button whose
// image the bundle lacks.
// Blank is the face alone, shown half way through a button's flip.
enum class MenuIcon { Today, Progress, Settings, GoodForm, Tips, Questions, Plan, Blank };
std::shared_ptr<gfx::Image> drawnMenuFace(gfx::Size size, MenuIcon icon);

std::shared_ptr<ui::Label> label(ui::Rect frame, const std::string& text, gfx::Font font, gfx::Color color,
                                 ui::TextAlignment alignment = ui::TextAlignment::Left);
// Sets the text of a multi-line label and the largest size of its font,
// from `largest` down to `smallest` points, at which every line of the text
// ("\r" or "\n" breaks a line) fits the label's width unbroken.
void setTextFittingLines(ui::Label& label, const std::string& text, ui::Float largest, ui::Float smallest);
// The face of a rounded button of that size in fill, drawn when first
// shown: a gradient from lighter at the top to darker at the bottom, with a
// darker edge, by these shares of white and black.
struct FaceShades {
    float top = 0.2f, bottom = 0.1f, edge = 0.4f;
};
std::shared_ptr<gfx::Image> buttonFace(gfx::Size size, const gfx::Color& fill, FaceShades shades = {});
// A rounded, filled button with a title, drawn at run time.
std::shared_ptr<ui::Button> button(ui::Rect frame, const std::string& title, const gfx::Color& fill,
                                   const gfx::Color& titleColor = gfx::Color::white());

// A view that fills its bounds with a rounded card (fill, hairline edge).
class CardView : public ui::View {
public:
    explicit CardView(ui::Rect frame, gfx::Color fill = card(), gfx::Color edge = lookpalette::cardEdge());
    std::string className() const override { return "CardView"; }
    void drawRect(gfx::Context& context, ui::Rect rect) override;

private:
    gfx::Color fill_, edge_;
};

// The integer value at the start of typed text, as the platform reads a
// count: blanks skipped, an optional sign, the digits up to the first other
// character (0 when there are none; clamped to the int range).
int intValue(const std::string& text);

}  // namespace homelook
