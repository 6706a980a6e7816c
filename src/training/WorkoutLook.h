#pragma once
// The look that the workout screen and its editors share: colours, fonts,
// the images of the bundle by name, the drawn help highlights, and the
// buttons and labels built the same way on every one of these screens.
#include <memory>
#include <string>

#include "platform/gfx/Color.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Image.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"

namespace workoutlook {

gfx::Color background();  // the warm dark brown behind the screens
gfx::Color band();        // the darker strip behind the row of sets
gfx::Color ink();         // light text on the background
gfx::Color dimInk();      // secondary text
gfx::Color accent();      // orange of titles and highlights
gfx::Color barTint();     // the navigation bar of the workout

// An image of the bundle by file name ("todayplacard.png"): the "@2x" twin
// when the screen is drawn at 2x and it exists, else the plain file; null
// when neither exists. Loaded once and kept.
std::shared_ptr<gfx::Image> bundleImage(const std::string& fileName);

// A translucent rounded highlight of the size, drawn at run time, that the
// help overlay fades in over a control it explains.
std::shared_ptr<gfx::Image> highlightImage(gfx::Size size);

std::shared_ptr<ui::Label> label(ui::Rect frame, const std::string& text, gfx::Font font, gfx::Color color,
                                 ui::TextAlignment alignment = ui::TextAlignment::Center);
// A rounded, filled button with a white title.
std::shared_ptr<ui::Button> button(ui::Rect frame, const std::string& title, const gfx::Color& fill);

}  // namespace workoutlook
