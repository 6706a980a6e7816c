#pragma once
// The colours of the training screens' own look, by what they paint: the
// warm browns behind the screens, the oranges and golds of their titles and
// buttons, and the cream paper of the drawn plates and cards. The home and
// workout looks answer their colours from here, so that a colour they share
// has one name.
#include "platform/gfx/Color.h"

namespace lookpalette {

// Behind the screens and their cards.
inline gfx::Color background() { return gfx::Color::rgb(0.17f, 0.13f, 0.11f); }
inline gfx::Color band() { return gfx::Color::rgb(0.11f, 0.08f, 0.07f); }
inline gfx::Color card() { return gfx::Color::rgb(0.25f, 0.19f, 0.15f); }
inline gfx::Color cardEdge() { return gfx::Color::rgb(0.42f, 0.33f, 0.24f); }

// Text on the browns.
inline gfx::Color ink() { return gfx::Color::rgb(0.98f, 0.96f, 0.92f); }
inline gfx::Color dimInk() { return gfx::Color::rgb(0.80f, 0.74f, 0.66f); }

// The orange of the workout's titles, highlights and dial ring.
inline gfx::Color accent() { return gfx::Color::rgb(0.96f, 0.62f, 0.16f); }

// The bars: the home screen's gold and the workout's dark brown.
inline gfx::Color gold() { return gfx::Color::rgb(0.949f, 0.769f, 0.173f); }
inline gfx::Color workoutBar() { return gfx::Color::rgb(0.259f, 0.2f, 0.18f, 1); }
// The yellow shadow under a bar's black title.
inline gfx::Color barTitleShadow() { return gfx::Color::rgb(1, 1, 0); }

// The workout's buttons: brown for the secondary ones, orange for the one
// that moves the workout on.
inline gfx::Color brownButton() { return gfx::Color::rgb(0.45f, 0.33f, 0.27f); }
inline gfx::Color orangeButton() { return gfx::Color::rgb(0.85f, 0.45f, 0.1f); }
// Green for Done at the end of the day.
inline gfx::Color greenButton() { return gfx::Color::rgb(0.25f, 0.55f, 0.2f); }
// A white button title, pressed.
inline gfx::Color pressedTitle() { return gfx::Color::rgb(1, 1, 1, 0.6f); }

// The drawn plate, rest dial and needle of the workout.
inline gfx::Color dropShadow() { return gfx::Color::rgb(0, 0, 0, 0.6f); }
inline gfx::Color plateRim() { return gfx::Color::rgb(0.55f, 0.36f, 0.16f); }
inline gfx::Color plateTop() { return gfx::Color::rgb(1.0f, 0.95f, 0.82f); }
inline gfx::Color plateBottom() { return gfx::Color::rgb(0.93f, 0.82f, 0.6f); }
inline gfx::Color plateEdge() { return gfx::Color::rgb(0.75f, 0.55f, 0.25f); }
inline gfx::Color screwHead() { return gfx::Color::rgb(0.62f, 0.5f, 0.32f); }
inline gfx::Color dialFace() { return gfx::Color::rgb(0.99f, 0.94f, 0.8f); }
inline gfx::Color needle() { return gfx::Color::rgb(0.78f, 0.16f, 0.1f); }
inline gfx::Color needleHub() { return gfx::Color::rgb(0.3f, 0.2f, 0.14f); }
// The dark brown counts on the plate and seconds on the dial, and the cream
// window the seconds sit in, lighter than the dial's face.
inline gfx::Color plateInk() { return gfx::Color::rgb(0.24f, 0.15f, 0.09f); }
inline gfx::Color countdownWindow() { return gfx::Color::rgb(0.99f, 0.96f, 0.88f); }
// The marker of a set in the row of sets.
inline gfx::Color setMarkerTop() { return gfx::Color::rgb(1, 0.85f, 0.45f); }
inline gfx::Color setMarkerBottom() { return gfx::Color::rgb(0.95f, 0.62f, 0.16f); }
inline gfx::Color setMarkerEdge() { return gfx::Color::rgb(0.7f, 0.42f, 0.1f); }
// The glow the help overlay puts round a control.
inline gfx::Color glowWash() { return gfx::Color::rgb(1, 0.88f, 0.5f, 0.12f); }
inline gfx::Color glow() { return gfx::Color::rgb(1, 0.8f, 0.3f, 0.95f); }
inline gfx::Color glowEdge() { return gfx::Color::rgb(1, 0.86f, 0.5f, 0.55f); }

// Cream paper: the chart cards, the menu's calendar page, the good-form
// frames, and the sepia ink drawn on it.
inline gfx::Color cream() { return gfx::Color::rgb(1.0f, 0.98f, 0.93f); }
inline gfx::Color creamShade() { return gfx::Color::rgb(0.95f, 0.9f, 0.8f); }
inline gfx::Color frameTop() { return gfx::Color::rgb(0.99f, 0.97f, 0.91f); }
inline gfx::Color sepia() { return gfx::Color::rgb(0.3f, 0.22f, 0.16f); }
inline gfx::Color menuInk() { return gfx::Color::rgb(0.27f, 0.19f, 0.12f); }
inline gfx::Color bulbLight() { return gfx::Color::rgb(1, 0.98f, 0.85f); }
inline gfx::Color chosenTick() { return gfx::Color::rgb(0.2f, 0.14f, 0.08f); }

// The orange "Today:" of the home page, and the dark detail of the plan's
// rows on white.
inline gfx::Color todayOrange() { return gfx::Color::rgb(1, 0.5f, 0); }
inline gfx::Color planDetailInk() { return gfx::Color::rgb(0.2f, 0.16f, 0.13f); }

// The initial test's card and the help's notes.
inline gfx::Color testCard() { return gfx::Color::rgb(0.99f, 0.97f, 0.92f); }
inline gfx::Color testHeaderTop() { return gfx::Color::rgb(0.86f, 0.3f, 0.12f); }
inline gfx::Color testHeaderBottom() { return gfx::Color::rgb(0.7f, 0.18f, 0.06f); }
inline gfx::Color testCardEdge() { return gfx::Color::rgb(0.55f, 0.14f, 0.04f); }
inline gfx::Color testBackdrop() { return gfx::Color::rgb(0.04f, 0.03f, 0.02f, 0.82f); }
inline gfx::Color testInk() { return gfx::Color::rgb(0.2f, 0.15f, 0.12f); }
inline gfx::Color testDimInk() { return gfx::Color::rgb(0.42f, 0.3f, 0.24f); }
inline gfx::Color noteFill() { return gfx::Color::rgb(1, 0.97f, 0.86f, 0.98f); }
inline gfx::Color noteShadow() { return gfx::Color::rgb(0, 0, 0, 0.55f); }
inline gfx::Color noteInk() { return gfx::Color::rgb(0.25f, 0.16f, 0.1f); }

}  // namespace lookpalette
