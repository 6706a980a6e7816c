#include "charts/CHTUtilities.h"

#include "platform/gfx/Context.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {
base::Decimal D(const char* s) { return base::Decimal::fromString(s); }
}  // namespace

TEST(CHTDecimalConversion, FromMachineNumbers) {
    EXPECT_EQ(CHTDecimalFromInteger(-1).toString(), "-1");
    EXPECT_EQ(CHTDecimalFromLongLong(-1).toString(), "-1");
    EXPECT_EQ(CHTDecimalFromChar(-128).toString(), "-128");
    EXPECT_EQ(CHTDecimalFromUnsignedChar(255).toString(), "255");
    EXPECT_EQ(CHTDecimalFromUnsignedLongLong(18446744073709551615ULL).toString(), "18446744073709551615");
    // The cached small values are the same decimals whichever form made them.
    EXPECT_TRUE(CHTDecimalEquals(CHTDecimalFromInteger(2), CHTDecimalFromUnsignedChar(2)));
    base::Decimal fromInteger = CHTDecimalFromInteger(2), fromByte = CHTDecimalFromUnsignedChar(2);
    EXPECT_EQ(std::memcmp(&fromInteger, &fromByte, sizeof(base::Decimal)), 0);
    EXPECT_TRUE(CHTDecimalFromShort(0).isZero());
}

TEST(CHTDecimalConversion, FromFloatingPointUsesShortestDigits) {
    EXPECT_TRUE(CHTDecimalEquals(CHTDecimalFromDouble(2.7), CHTDecimalFromString("2.7")));
    EXPECT_EQ(CHTDecimalFromFloat(2.7f).toString(), "2.7");
    EXPECT_EQ(CHTDecimalFromCGFloat(0.1f).toString(), "0.1");
    EXPECT_TRUE(CHTDecimalIsNaN(CHTDecimalFromDouble(std::nan(""))));
    EXPECT_TRUE(CHTDecimalIsNaN(CHTDecimalFromFloat(std::numeric_limits<float>::infinity())));
}

TEST(CHTDecimalConversion, FromStringOfANonNumberIsNaN) {
    EXPECT_EQ(CHTDecimalFromString("25").toString(), "25");
    EXPECT_TRUE(CHTDecimalIsNaN(CHTDecimalFromString("abc")));
    EXPECT_TRUE(CHTDecimalIsNaN(CHTDecimalFromString("12abc")));
    EXPECT_TRUE(CHTDecimalIsNaN(CHTDecimalFromString("")));
}

TEST(CHTDecimalConversion, ToMachineNumbersTruncateAndClamp) {
    EXPECT_EQ(CHTDecimalDoubleValue(D("0.1")), 0.1);
    EXPECT_EQ(CHTDecimalFloatValue(D("0.1")), 0.1f);
    EXPECT_EQ(CHTDecimalCharValue(D("-2.9")), -2);
    EXPECT_EQ(CHTDecimalCharValue(D("300")), 127);
    EXPECT_EQ(CHTDecimalCharValue(D("-300")), -128);
    EXPECT_EQ(CHTDecimalUnsignedCharValue(D("-1")), 0);
    EXPECT_EQ(CHTDecimalUnsignedShortValue(D("70000")), 65535);
    EXPECT_EQ(CHTDecimalShortValue(CHTDecimalNaN()), 0);
    EXPECT_EQ(CHTDecimalLongLongValue(CHTDecimalNaN()), 0);
    EXPECT_EQ(CHTDecimalUnsignedLongLongValue(D("1e25")), std::numeric_limits<unsigned long long>::max());
    EXPECT_TRUE(std::isnan(CHTDecimalDoubleValue(CHTDecimalNaN())));
}

TEST(CHTDecimalArithmetic, UsesBankersRoundingAndNeverRaises) {
    // 38 digits ending in an even digit, then an exact half.
    base::Decimal v = D("12345678901234567890123456789012345672");
    base::Decimal r = CHTDecimalAdd(CHTDecimalMultiply(v, D("10")), D("5"));
    EXPECT_EQ(r.toString(), "123456789012345678901234567890123456720");
    EXPECT_EQ(CHTDecimalSubtract(D("1"), D("3")).toString(), "-2");
    EXPECT_NO_THROW(r = CHTDecimalDivide(D("1"), D("0")));
    EXPECT_TRUE(CHTDecimalIsNaN(r));
    EXPECT_EQ(CHTDecimalDivide(D("7"), D("2")).toString(), "3.5");
}

TEST(CHTDecimalCompare, FiveComparisons) {
    base::Decimal one = D("1"), two = D("2");
    EXPECT_TRUE(CHTDecimalEquals(one, D("1.0")));
    EXPECT_TRUE(CHTDecimalLessThan(one, two));
    EXPECT_FALSE(CHTDecimalLessThan(two, two));
    EXPECT_TRUE(CHTDecimalLessThanOrEqualTo(two, two));
    EXPECT_TRUE(CHTDecimalGreaterThan(two, one));
    EXPECT_TRUE(CHTDecimalGreaterThanOrEqualTo(one, one));
    EXPECT_FALSE(CHTDecimalGreaterThanOrEqualTo(one, two));
    // Two not-a-number decimals compare the same; the field test tells them apart.
    EXPECT_TRUE(CHTDecimalEquals(CHTDecimalNaN(), CHTDecimalNaN()));
    EXPECT_TRUE(CHTDecimalIsNaN(CHTDecimalNaN()));
    EXPECT_FALSE(CHTDecimalIsNaN(base::Decimal::zero()));
}

TEST(CHTGeometryHelpers, OrthogonalCoordinateAndText) {
    EXPECT_EQ(CHTOrthogonalCoordinate(0), 1);
    EXPECT_EQ(CHTOrthogonalCoordinate(1), 0);
    EXPECT_EQ(CHTOrthogonalCoordinate(2), 0);
    EXPECT_EQ(CHTStringFromPoint({1.5f, -2}), "{1.5, -2}");
    EXPECT_EQ(CHTStringFromRect({1, 2, 30.25f, 4}), "{{1, 2}, {30.25, 4}}");
}

TEST(CHTGeometryHelpers, AlignmentToDevicePixels) {
    gfx::RecordingContext identity({100, 100}, 1);
    EXPECT_EQ(CHTAlignPointToUserSpace(identity, {10.2f, 3.7f}), gfx::Point(10.5f, 4.5f));
    EXPECT_EQ(CHTAlignPointToUserSpace(identity, {-0.5f, 0}), gfx::Point(-0.5f, 0.5f));
    EXPECT_EQ(CHTAlignRectToUserSpace(identity, {1.2f, 2.6f, 3.4f, 4.5f}), gfx::Rect(1.5f, 3.5f, 3, 5));
    // At twice the resolution the half pixel is a quarter point.
    gfx::RecordingContext retina({100, 100}, 2);
    EXPECT_EQ(CHTAlignPointToUserSpace(retina, {10.2f, 3.7f}), gfx::Point(10.25f, 3.75f));
}

TEST(CHTGeometryHelpers, ColorComponents) {
    _CHTRGBAColor grey = CHTRGBAColorFromCGColor(gfx::Color::gray(0.25f, 0.5f));
    EXPECT_EQ(grey.red, 0.25f);
    EXPECT_EQ(grey.green, 0.25f);
    EXPECT_EQ(grey.blue, 0.25f);
    EXPECT_EQ(grey.alpha, 0.5f);
    _CHTRGBAColor rgb = CHTRGBAColorFromCGColor(gfx::Color::rgb(0.1f, 0.2f, 0.3f, 0.4f));
    EXPECT_EQ(rgb.red, 0.1f);
    EXPECT_EQ(rgb.blue, 0.3f);
    EXPECT_EQ(rgb.alpha, 0.4f);
}

TEST(CHTGeometryHelpers, PushAndPopTheCurrentContext) {
    gfx::RecordingContext outer({10, 10}), inner({10, 10});
    CHTPushCGContext(outer);
    CHTPushCGContext(inner);
    EXPECT_EQ(gfx::currentContext(), &inner);
    CHTPopCGContext();
    EXPECT_EQ(gfx::currentContext(), &outer);
    CHTPopCGContext();
    EXPECT_EQ(gfx::currentContext(), nullptr);
}
