#include "charts/CHTUtilities.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <system_error>

#include "charts/CHTNumericSamples.h"
#include "platform/gfx/Context.h"

namespace {

using cht_samples::clampedInteger;

// The decimals of 0, 1 and 2, the most frequent constants of the charting
// code, made once and shared by every integer conversion.
const base::Decimal& cachedSmallDecimal(unsigned value) {
    static const base::Decimal cache[3] = {base::Decimal::fromUnsigned(0), base::Decimal::fromUnsigned(1),
                                           base::Decimal::fromUnsigned(2)};
    return cache[value];
}

base::Decimal fromSigned(long long value) {
    // Taken as unsigned, a negative value is never at most 2.
    if (static_cast<unsigned long long>(value) <= 2) return cachedSmallDecimal(static_cast<unsigned>(value));
    return base::Decimal::fromInteger(value);
}

base::Decimal fromUnsigned(unsigned long long value) {
    if (value <= 2) return cachedSmallDecimal(static_cast<unsigned>(value));
    return base::Decimal::fromUnsigned(value);
}

}  // namespace

base::Decimal CHTDecimalFromChar(signed char value) { return fromSigned(value); }
base::Decimal CHTDecimalFromShort(short value) { return fromSigned(value); }
base::Decimal CHTDecimalFromLong(long value) { return fromSigned(value); }
base::Decimal CHTDecimalFromLongLong(long long value) { return fromSigned(value); }
base::Decimal CHTDecimalFromInteger(long value) { return fromSigned(value); }
base::Decimal CHTDecimalFromUnsignedChar(unsigned char value) { return fromUnsigned(value); }
base::Decimal CHTDecimalFromUnsignedShort(unsigned short value) { return fromUnsigned(value); }
base::Decimal CHTDecimalFromUnsignedLong(unsigned long value) { return fromUnsigned(value); }
base::Decimal CHTDecimalFromUnsignedLongLong(unsigned long long value) { return fromUnsigned(value); }
base::Decimal CHTDecimalFromUnsignedInteger(unsigned long value) { return fromUnsigned(value); }

base::Decimal CHTDecimalFromFloat(float value) {
    // The float's own shortest digits (2.7f gives 2.7, not 2.70000004...).
    if (!std::isfinite(value)) return base::Decimal::notANumber();
    char buffer[32];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (ec != std::errc()) return base::Decimal::notANumber();
    return base::Decimal::fromString(std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
}

base::Decimal CHTDecimalFromCGFloat(CGFloat value) { return CHTDecimalFromFloat(value); }

base::Decimal CHTDecimalFromDouble(double value) { return base::Decimal::fromDouble(value); }

base::Decimal CHTDecimalFromString(const std::string& text) { return base::Decimal::fromString(text); }

signed char CHTDecimalCharValue(const base::Decimal& d) { return clampedInteger<signed char>(d); }
short CHTDecimalShortValue(const base::Decimal& d) { return clampedInteger<short>(d); }
long CHTDecimalLongValue(const base::Decimal& d) { return clampedInteger<long>(d); }
long long CHTDecimalLongLongValue(const base::Decimal& d) { return clampedInteger<long long>(d); }
unsigned char CHTDecimalUnsignedCharValue(const base::Decimal& d) { return clampedInteger<unsigned char>(d); }
unsigned short CHTDecimalUnsignedShortValue(const base::Decimal& d) { return clampedInteger<unsigned short>(d); }
unsigned long CHTDecimalUnsignedLongValue(const base::Decimal& d) { return clampedInteger<unsigned long>(d); }
unsigned long long CHTDecimalUnsignedLongLongValue(const base::Decimal& d) {
    return clampedInteger<unsigned long long>(d);
}
float CHTDecimalFloatValue(const base::Decimal& d) { return static_cast<float>(d.toDouble()); }
CGFloat CHTDecimalCGFloatValue(const base::Decimal& d) { return CHTDecimalFloatValue(d); }
double CHTDecimalDoubleValue(const base::Decimal& d) { return d.toDouble(); }

base::Decimal CHTDecimalAdd(const base::Decimal& left, const base::Decimal& right) {
    base::Decimal result;
    base::decimalAdd(&result, left, right, base::RoundingMode::Bankers);
    return result;
}

base::Decimal CHTDecimalSubtract(const base::Decimal& left, const base::Decimal& right) {
    base::Decimal result;
    base::decimalSubtract(&result, left, right, base::RoundingMode::Bankers);
    return result;
}

base::Decimal CHTDecimalMultiply(const base::Decimal& left, const base::Decimal& right) {
    base::Decimal result;
    base::decimalMultiply(&result, left, right, base::RoundingMode::Bankers);
    return result;
}

base::Decimal CHTDecimalDivide(const base::Decimal& numerator, const base::Decimal& denominator) {
    base::Decimal result;
    base::decimalDivide(&result, numerator, denominator, base::RoundingMode::Bankers);
    return result;
}

bool CHTDecimalEquals(const base::Decimal& left, const base::Decimal& right) {
    return base::decimalCompare(left, right) == 0;
}
bool CHTDecimalLessThan(const base::Decimal& left, const base::Decimal& right) {
    return base::decimalCompare(left, right) < 0;
}
bool CHTDecimalLessThanOrEqualTo(const base::Decimal& left, const base::Decimal& right) {
    return base::decimalCompare(left, right) <= 0;
}
bool CHTDecimalGreaterThan(const base::Decimal& left, const base::Decimal& right) {
    return base::decimalCompare(left, right) > 0;
}
bool CHTDecimalGreaterThanOrEqualTo(const base::Decimal& left, const base::Decimal& right) {
    return base::decimalCompare(left, right) >= 0;
}

base::Decimal CHTDecimalNaN() { return base::Decimal::notANumber(); }

CHTCoordinate CHTOrthogonalCoordinate(CHTCoordinate coordinate) {
    return coordinate == CHTCoordinateX ? CHTCoordinateY : CHTCoordinateX;
}

std::string CHTStringFromPoint(const gfx::Point& point) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "{%g, %g}", static_cast<double>(point.x), static_cast<double>(point.y));
    return buffer;
}

std::string CHTStringFromRect(const gfx::Rect& rect) {
    char buffer[192];
    std::snprintf(buffer, sizeof buffer, "{{%g, %g}, {%g, %g}}", static_cast<double>(rect.origin.x),
                  static_cast<double>(rect.origin.y), static_cast<double>(rect.size.width),
                  static_cast<double>(rect.size.height));
    return buffer;
}

_CHTRGBAColor CHTRGBAColorFromCGColor(const gfx::Color& color) {
    std::vector<CGFloat> c = color.components();
    _CHTRGBAColor rgba;
    if (c.size() == 2) {
        rgba.red = rgba.green = rgba.blue = c[0];
        rgba.alpha = c[1];
    } else if (c.size() >= 4) {
        rgba.red = c[0];
        rgba.green = c[1];
        rgba.blue = c[2];
        rgba.alpha = c[3];
    }
    return rgba;
}

gfx::Point CHTAlignPointToUserSpace(const gfx::Context& context, gfx::Point point) {
    gfx::Point device = context.convertPointToDeviceSpace(point);
    device.x = std::round(device.x) + 0.5f;
    device.y = std::round(device.y) + 0.5f;
    return context.convertPointToUserSpace(device);
}

gfx::Rect CHTAlignRectToUserSpace(const gfx::Context& context, gfx::Rect rect) {
    gfx::Rect device = context.convertRectToDeviceSpace(rect);
    device.origin.x = std::round(device.origin.x) + 0.5f;
    device.origin.y = std::round(device.origin.y) + 0.5f;
    device.size.width = std::round(device.size.width);
    device.size.height = std::round(device.size.height);
    return context.convertRectToUserSpace(device);
}

void CHTPushCGContext(gfx::Context& context) { gfx::pushCurrentContext(&context); }

void CHTPopCGContext() { gfx::popCurrentContext(); }
