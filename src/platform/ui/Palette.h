#pragma once
// The colours of the toolkit's own chrome, by what they paint (internal).
// The general colours a screen also uses (systemBlue, barBlue, separator...)
// are in Drawing.h; these belong to one widget or to a kind of widget. A
// colour that paints the same part of several widgets has one name.
#include "platform/gfx/Color.h"
#include "platform/ui/Drawing.h"

namespace ui::palette {

// The highlight of a selected row and of a pressed rounded button, top to
// bottom; grey for the grey selection style.
inline gfx::Color selectionTop() { return draw::rgb(5, 140, 245); }
inline gfx::Color selectionBottom() { return draw::rgb(1, 93, 230); }
inline gfx::Color graySelectionTop() { return draw::rgb(180, 180, 180); }
inline gfx::Color graySelectionBottom() { return draw::rgb(130, 130, 130); }

// The one-point outline of a light control: plain segments, the switch, a
// text field not being edited.
inline gfx::Color controlEdge() { return draw::rgb(140, 140, 140); }

// Tables.
inline gfx::Color groupedCellEdge() { return draw::rgb(171, 171, 171); }
inline gfx::Color groupedPinstripe() { return draw::rgb(208, 214, 221); }
inline gfx::Color groupedTitleInk() { return draw::rgb(76, 86, 108); }
inline gfx::Color plainHeaderTop() { return draw::rgb(144, 159, 171); }
inline gfx::Color plainHeaderBottom() { return draw::rgb(184, 193, 200); }
inline gfx::Color plainHeaderRule() { return draw::rgb(113, 125, 133); }
inline gfx::Color plainHeaderEngrave() { return draw::rgb(90, 100, 110); }
inline gfx::Color disclosureChevron() { return draw::rgb(128, 128, 128); }
inline gfx::Color insertGreen() { return draw::rgb(60, 170, 60); }
inline gfx::Color sectionIndexInk() { return draw::rgb(100, 110, 125); }

// Buttons.
inline gfx::Color roundedButtonEdge() { return draw::rgb(142, 148, 160); }
inline gfx::Color roundedButtonTitle() { return draw::rgb(50, 79, 133); }
inline gfx::Color infoDarkInk() { return draw::rgb(60, 60, 60); }
inline gfx::Color doneButton() { return draw::rgb(40, 98, 212); }
inline gfx::Color blackBar() { return draw::rgb(24, 24, 24); }
inline gfx::Color detailDisclosureTop() { return draw::rgb(73, 148, 235); }
inline gfx::Color detailDisclosureBottom() { return draw::rgb(20, 90, 200); }
// The dark brown title on a light bar face.
inline gfx::Color lightBarInk() { return draw::rgb(40, 28, 8); }

// Segmented controls of the plain style.
inline gfx::Color segmentTint() { return draw::rgb(38, 113, 232); }
inline gfx::Color segmentFaceBottom() { return draw::rgb(222, 222, 222); }
inline gfx::Color segmentInk() { return draw::rgb(80, 80, 80); }
inline gfx::Color segmentDivider() { return draw::rgb(150, 150, 150); }

// The switch.
inline gfx::Color switchOnTint() { return draw::rgb(0, 127, 234); }
inline gfx::Color switchOffTop() { return draw::rgb(220, 220, 220); }
inline gfx::Color switchOffBottom() { return draw::rgb(252, 252, 252); }
inline gfx::Color switchOffInk() { return draw::rgb(122, 122, 122); }
inline gfx::Color switchKnob() { return draw::rgb(246, 246, 246); }
inline gfx::Color switchKnobTop() { return draw::rgb(252, 252, 252); }
inline gfx::Color switchKnobPressedTop() { return draw::rgb(210, 210, 210); }
inline gfx::Color switchKnobBottom() { return draw::rgb(214, 214, 214); }
inline gfx::Color switchKnobEdge() { return draw::rgb(150, 150, 150); }

// The slider.
inline gfx::Color sliderTint() { return draw::rgb(40, 110, 230); }
inline gfx::Color sliderTrackTop() { return draw::rgb(190, 190, 190); }
inline gfx::Color sliderTrackBottom() { return draw::rgb(250, 250, 250); }
inline gfx::Color sliderTrackEdge() { return draw::rgb(120, 120, 120); }
inline gfx::Color sliderThumbPressedTop() { return draw::rgb(200, 200, 200); }
inline gfx::Color sliderThumbBottom() { return draw::rgb(205, 205, 205); }
inline gfx::Color sliderThumbEdge() { return draw::rgb(130, 130, 130); }

// Text fields and views.
inline gfx::Color caret() { return draw::rgb(66, 107, 242); }
inline gfx::Color placeholderInk() { return draw::rgb(178, 178, 178); }
inline gfx::Color editingEdge() { return draw::rgb(100, 130, 190); }
inline gfx::Color bezelDarkEdge() { return draw::rgb(110, 110, 110); }
inline gfx::Color bezelLightEdge() { return draw::rgb(200, 200, 200); }
inline gfx::Color clearButton() { return draw::rgb(170, 170, 170); }
// The shade inside the top of a rounded field, fading out.
inline gfx::Color insetShadowTop() { return draw::rgb(0, 0, 0, 0.12f); }
inline gfx::Color insetShadowBottom() { return draw::rgb(0, 0, 0, 0); }

// The keyboard.
inline gfx::Color keyboardBackground() { return draw::rgb(180, 186, 196); }
inline gfx::Color keyboardTop() { return draw::rgb(205, 209, 217); }
inline gfx::Color keyboardBottom() { return draw::rgb(160, 166, 178); }
inline gfx::Color keyboardRule() { return draw::rgb(110, 116, 128); }
inline gfx::Color specialKey() { return draw::rgb(138, 146, 160); }
inline gfx::Color keyShadow() { return draw::rgb(70, 74, 84); }
inline gfx::Color padKeyBottom() { return draw::rgb(226, 228, 232); }
inline gfx::Color padKeyPressedTop() { return draw::rgb(150, 150, 160); }
inline gfx::Color padKeyPressedBottom() { return draw::rgb(120, 120, 130); }

// Alerts and action sheets.
inline gfx::Color sheetButton() { return draw::rgb(236, 236, 238); }
inline gfx::Color sheetButtonPressed() { return draw::rgb(30, 100, 230); }
inline gfx::Color sheetCancelButton() { return draw::rgb(56, 60, 68); }
inline gfx::Color sheetDestructiveButton() { return draw::rgb(208, 40, 36); }
inline gfx::Color sheetTitleInk() { return draw::rgb(230, 230, 235); }
inline gfx::Color sheetTop() { return draw::rgb(112, 122, 140); }
inline gfx::Color sheetBottom() { return draw::rgb(48, 56, 72); }
inline gfx::Color alertButton() { return draw::rgb(88, 104, 150).withAlpha(0.9f); }
inline gfx::Color alertCancelButton() { return draw::rgb(60, 72, 110).withAlpha(0.9f); }
inline gfx::Color alertPanel() { return draw::rgb(20, 34, 80).withAlpha(0.92f); }
inline gfx::Color alertPanelTop() { return draw::rgb(62, 80, 132).withAlpha(0.95f); }
inline gfx::Color alertPanelBottom() { return draw::rgb(18, 32, 76).withAlpha(0.95f); }

// The picker.
inline gfx::Color pickerTop() { return draw::rgb(96, 100, 112); }
inline gfx::Color pickerBottom() { return draw::rgb(34, 36, 44); }
inline gfx::Color pickerWheelEdge() { return draw::rgb(20, 20, 24); }
inline gfx::Color pickerBandTop() { return draw::rgb(200, 210, 240, 0.35f); }
inline gfx::Color pickerBandBottom() { return draw::rgb(120, 135, 190, 0.35f); }
inline gfx::Color pickerBandEdge() { return draw::rgb(90, 100, 140, 0.9f); }

// Activity and progress.
inline gfx::Color grayActivity() { return draw::rgb(110, 110, 110); }
inline gfx::Color progressTrackTop() { return draw::rgb(200, 200, 200); }
inline gfx::Color progressTrackBottom() { return draw::rgb(250, 250, 250); }
inline gfx::Color progressBarTrackTop() { return draw::rgb(90, 90, 90); }
inline gfx::Color progressBarTrackBottom() { return draw::rgb(130, 130, 130); }
inline gfx::Color progressTop() { return draw::rgb(110, 170, 250); }
inline gfx::Color progressBottom() { return draw::rgb(30, 100, 220); }
inline gfx::Color progressEdge() { return draw::rgb(110, 110, 110); }

// The status bar.
inline gfx::Color statusBarTop() { return draw::rgb(198, 202, 208); }
inline gfx::Color statusBarBottom() { return draw::rgb(146, 152, 162); }
inline gfx::Color statusBarRule() { return draw::rgb(96, 100, 110); }

// The event editor (the grouped-table blue grey) and the mail composer.
inline gfx::Color eventBackground() { return gfx::Color::rgb(0.773, 0.800, 0.831); }
inline gfx::Color eventValueInk() { return gfx::Color::rgb(0.22, 0.33, 0.53); }
inline gfx::Color attachmentInk() { return gfx::Color::rgb(0.2, 0.3, 0.6); }

// Web pages.
inline gfx::Color linkInk() { return draw::rgb(0, 68, 204); }
inline gfx::Color pageInk() { return draw::rgb(34, 34, 34); }

}  // namespace ui::palette
