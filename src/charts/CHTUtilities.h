#pragma once
// Exact-decimal helpers of the charting code: making decimals from machine
// numbers and back, bankers'-rounded arithmetic, comparisons, the
// not-a-number decimal, and small geometry and text helpers.
#include <string>

#include "platform/base/Decimal.h"
#include "platform/base/Exception.h"
#include "platform/base/Format.h"
#include "platform/gfx/Color.h"
#include "platform/gfx/Geometry.h"

namespace gfx {
class Context;
}

// Coordinates of plot spaces, ranges, axes and plots: 0 is x, 1 is y.
using CHTCoordinate = int;
inline constexpr CHTCoordinate CHTCoordinateX = 0;
inline constexpr CHTCoordinate CHTCoordinateY = 1;

// Posted with the graph as object (and sender) whenever a layer or a plot
// space of the graph changes what it shows: a drawing of the graph in vector
// form is stale.
inline constexpr const char* CHTGraphNeedsRedrawNotification = "CHTGraphNeedsRedrawNotification";

// Screen quantities are single precision.
using CGFloat = gfx::Float;

// Argument checks of the charting classes: reported to the assertion handler
// with the condition as written and the class's source name.
#define CHT_PARAMETER_ASSERT(cond, className, method) BASE_PARAMETER_ASSERT(cond, method, "Charts/Source/" className)

// Decimal from a machine number. The integer forms answer 0, 1 and 2 from a
// shared cache; negative values never take it.
base::Decimal CHTDecimalFromChar(signed char value);
base::Decimal CHTDecimalFromShort(short value);
base::Decimal CHTDecimalFromLong(long value);
base::Decimal CHTDecimalFromLongLong(long long value);
base::Decimal CHTDecimalFromInteger(long value);
base::Decimal CHTDecimalFromUnsignedChar(unsigned char value);
base::Decimal CHTDecimalFromUnsignedShort(unsigned short value);
base::Decimal CHTDecimalFromUnsignedLong(unsigned long value);
base::Decimal CHTDecimalFromUnsignedLongLong(unsigned long long value);
base::Decimal CHTDecimalFromUnsignedInteger(unsigned long value);
// The shortest digits that read back as the same float or double.
base::Decimal CHTDecimalFromFloat(float value);
base::Decimal CHTDecimalFromCGFloat(CGFloat value);
base::Decimal CHTDecimalFromDouble(double value);
// A plain numeral (blanks, sign, digits, point, exponent); any other text,
// including a numeral followed by something else, gives not-a-number.
base::Decimal CHTDecimalFromString(const std::string& text);

// Machine number from a decimal: truncated toward zero and clamped to the
// type's range; not-a-number gives 0 (and NaN for the floating forms).
signed char CHTDecimalCharValue(const base::Decimal& d);
short CHTDecimalShortValue(const base::Decimal& d);
long CHTDecimalLongValue(const base::Decimal& d);
long long CHTDecimalLongLongValue(const base::Decimal& d);
unsigned char CHTDecimalUnsignedCharValue(const base::Decimal& d);
unsigned short CHTDecimalUnsignedShortValue(const base::Decimal& d);
unsigned long CHTDecimalUnsignedLongValue(const base::Decimal& d);
unsigned long long CHTDecimalUnsignedLongLongValue(const base::Decimal& d);
float CHTDecimalFloatValue(const base::Decimal& d);
CGFloat CHTDecimalCGFloatValue(const base::Decimal& d);
double CHTDecimalDoubleValue(const base::Decimal& d);

// Arithmetic with bankers' rounding; the calculation error is not reported
// (division by zero and overflow give not-a-number).
base::Decimal CHTDecimalAdd(const base::Decimal& left, const base::Decimal& right);
base::Decimal CHTDecimalSubtract(const base::Decimal& left, const base::Decimal& right);
base::Decimal CHTDecimalMultiply(const base::Decimal& left, const base::Decimal& right);
base::Decimal CHTDecimalDivide(const base::Decimal& numerator, const base::Decimal& denominator);

// Comparisons of left with right (not-a-number equals not-a-number and is
// below every number).
bool CHTDecimalEquals(const base::Decimal& left, const base::Decimal& right);
bool CHTDecimalLessThan(const base::Decimal& left, const base::Decimal& right);
bool CHTDecimalLessThanOrEqualTo(const base::Decimal& left, const base::Decimal& right);
bool CHTDecimalGreaterThan(const base::Decimal& left, const base::Decimal& right);
bool CHTDecimalGreaterThanOrEqualTo(const base::Decimal& left, const base::Decimal& right);

// The not-a-number decimal: length 0 with the negative flag set.
base::Decimal CHTDecimalNaN();
// Whether a decimal is not a number (length 0 and the negative flag).
inline bool CHTDecimalIsNaN(const base::Decimal& d) { return d.length == 0 && d.isNegative; }

// 1 (y) for 0 (x); 0 (x) for every other value.
CHTCoordinate CHTOrthogonalCoordinate(CHTCoordinate coordinate);

// Red, green, blue and alpha, in this order.
struct _CHTRGBAColor {
    CGFloat red = 0;
    CGFloat green = 0;
    CGFloat blue = 0;
    CGFloat alpha = 0;
};

// A grey colour (two components) spreads its grey over red, green and blue.
_CHTRGBAColor CHTRGBAColorFromCGColor(const gfx::Color& color);

// The point moved to the centre of its device pixel: in device space each
// coordinate becomes its nearest whole number (halves away from zero) plus
// 0.5, so one-pixel lines through it are sharp.
gfx::Point CHTAlignPointToUserSpace(const gfx::Context& context, gfx::Point point);
// The origin moved as for a point, the size rounded to whole device pixels.
gfx::Rect CHTAlignRectToUserSpace(const gfx::Context& context, gfx::Rect rect);

// Makes the context the toolkit's current drawing context (for its text
// drawing) and restores the previous one.
void CHTPushCGContext(gfx::Context& context);
void CHTPopCGContext();

// "{x, y}" and "{{x, y}, {width, height}}" with "%g".
std::string CHTStringFromPoint(const gfx::Point& point);
std::string CHTStringFromRect(const gfx::Rect& rect);

// Raises "NSGenericException" with the formatted text.
template <typename... Args>
[[noreturn]] void CHTRaiseGenericFormat(std::string_view format, const Args&... args) {
    base::raise("NSGenericException", base::format(format, args...));
}
