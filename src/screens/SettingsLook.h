#pragma once
// The look of the settings menu, its option screens, the plan table and the
// F.A.Q.: the bar titles in their two inks, the panel with a switch and its
// caption, and the explanatory text under it; and how a screen with a text
// field slides clear of the keyboard. The screens sit on the home screen's
// warm dark background under its gold bar.
#include <memory>
#include <string>

#include "platform/ui/Label.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TableView.h"
#include "platform/ui/View.h"

namespace settingslook {

// A bar title view of frame (0, 0, width, 44): clear background, bold system
// font 20, centred, black text with a yellow shadow (white would be faint on
// the gold bar every screen here shares).
std::shared_ptr<ui::Label> titleLabel(const std::string& text, ui::Float width);

// The background of every screen here (the home screen's).
std::shared_ptr<ui::View> screenView();

// A plain table filling the view and growing with it, added to it; its rows
// draw their own cards and edges, so it has no separators.
std::shared_ptr<ui::TableView> cardTable(ui::View& view);

// A card at frame holding a caption on the left and a switch on the right
// (the switch is named by the caption for taps and screen readers); answers
// the switch, which the card holds.
std::shared_ptr<ui::Switch> switchCard(ui::View& parent, ui::Rect frame, const std::string& caption);

// Wrapped explanatory text in the secondary ink, from the top of the frame
// (the frame shrinks to the text).
std::shared_ptr<ui::Label> note(ui::Rect frame, const std::string& text);

// Slides a screen's view up by the distance, growing it by as much so its
// bottom stays put (to clear the keyboard), or back down, over 0.3 seconds.
void liftView(ui::View& view, ui::Float distance, bool up);

}  // namespace settingslook
