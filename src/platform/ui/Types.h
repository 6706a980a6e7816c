#pragma once
// Shared value types of the toolkit: geometry aliases, edge insets, and the
// enumerations that several views use.
#include <cstdint>

#include "platform/gfx/Geometry.h"
#include "platform/gfx/Text.h"

namespace ui {

using Float = gfx::Float;
using Point = gfx::Point;
using Size = gfx::Size;
using Rect = gfx::Rect;
using AffineTransform = gfx::AffineTransform;

struct EdgeInsets {
    Float top = 0, left = 0, bottom = 0, right = 0;
    bool operator==(const EdgeInsets&) const = default;
};

// Text alignment and line breaking are the graphics layer's.
using TextAlignment = gfx::TextAlignment;
using LineBreakMode = gfx::LineBreakMode;

enum class InterfaceOrientation { Portrait = 1, PortraitUpsideDown = 2, LandscapeLeft = 4, LandscapeRight = 3 };
enum class DeviceOrientation {
    Unknown = 0,
    Portrait,
    PortraitUpsideDown,
    LandscapeLeft,
    LandscapeRight,
    FaceUp,
    FaceDown
};

// How a view's content fills its bounds.
enum class ContentMode {
    ScaleToFill,
    ScaleAspectFit,
    ScaleAspectFill,
    Redraw,
    Center,
    Top,
    Bottom,
    Left,
    Right,
    TopLeft,
    TopRight,
    BottomLeft,
    BottomRight,
};

// Autoresizing: which margins and dimensions follow the superview's size.
namespace Autoresizing {
inline constexpr unsigned None = 0;
inline constexpr unsigned FlexibleLeftMargin = 1 << 0;
inline constexpr unsigned FlexibleWidth = 1 << 1;
inline constexpr unsigned FlexibleRightMargin = 1 << 2;
inline constexpr unsigned FlexibleTopMargin = 1 << 3;
inline constexpr unsigned FlexibleHeight = 1 << 4;
inline constexpr unsigned FlexibleBottomMargin = 1 << 5;
}  // namespace Autoresizing

enum class KeyboardType {
    Default,
    ASCIICapable,
    NumbersAndPunctuation,
    URL,
    NumberPad,
    PhonePad,
    NamePhonePad,
    EmailAddress,
    DecimalPad
};
enum class ReturnKeyType { Default, Go, Google, Join, Next, Route, Search, Send, Yahoo, Done, EmergencyCall };
enum class KeyboardAppearance { Default, Alert };
enum class TextAutocapitalizationType { None, Words, Sentences, AllCharacters };
enum class TextAutocorrectionType { Default, No, Yes };

enum class StatusBarStyle { Default, BlackTranslucent, BlackOpaque };
enum class BarStyle { Default = 0, Black = 1, BlackTranslucent = 2 };

}  // namespace ui
