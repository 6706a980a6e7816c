#pragma once
// The platform's exact decimal number: a mantissa of up to 38 significant
// digits (eight 16-bit words) times ten to an 8-bit signed exponent.
// Trivially copyable, 20 bytes. Zero is length 0 with the negative flag
// clear; NaN is length 0 with the negative flag set, so every operation
// normalises the sign of a zero result.
#include <cstdint>
#include <string>
#include <string_view>

namespace base {

struct Decimal {
    std::int8_t exponent = 0;
    // With the exponent, one 32-bit word of fields, as the platform packs them.
    std::uint32_t length : 4 = 0;  // mantissa words in use, 0 to 8
    std::uint32_t isNegative : 1 = 0;
    std::uint32_t isCompact : 1 = 0;
    std::uint32_t reserved : 18 = 0;                       // shares the word with the exponent
    std::uint16_t mantissa[8] = {0, 0, 0, 0, 0, 0, 0, 0};  // least significant first

    static Decimal zero();
    static Decimal one();
    static Decimal notANumber();
    static Decimal maximum();  // 2^128 - 1 times 10^127
    static Decimal minimum();  // -maximum()

    static Decimal fromInteger(long long v);
    static Decimal fromUnsigned(unsigned long long v);
    // Shortest round-trip digits: fromDouble(2.7) == fromString("2.7").
    // NaN and the infinities give NaN.
    static Decimal fromDouble(double v);
    // Optional blanks, sign, digits, ".", optional exponent ("e"/"E"); the
    // whole text must parse (trailing blanks allowed), else NaN.
    static Decimal fromString(std::string_view text);

    bool isNaN() const { return length == 0 && isNegative; }
    bool isZero() const { return length == 0 && !isNegative; }
    // Correctly rounded (decimal 0.1 gives the double 0.1); NaN gives NaN.
    double toDouble() const;
    // Truncates toward zero; NaN gives 0; out of range clamps. Never UB.
    long long toInteger() const;
    unsigned long long toUnsigned() const;
    // Plain digits with "." and no exponent; "NaN" for NaN.
    std::string toString() const;
    std::string description() const { return toString(); }
};

static_assert(sizeof(Decimal) == 20);

enum class RoundingMode { Plain, Down, Up, Bankers };
enum class CalculationError { None, LossOfPrecision, Underflow, Overflow, DivideByZero };

// Arithmetic: computed exactly in a wide integer, then rounded once to at
// most 38 significant digits. Division by zero and overflow give NaN,
// underflow gives zero, any NaN operand gives NaN.
CalculationError decimalAdd(Decimal* result, const Decimal& a, const Decimal& b, RoundingMode mode);
CalculationError decimalSubtract(Decimal* result, const Decimal& a, const Decimal& b, RoundingMode mode);
CalculationError decimalMultiply(Decimal* result, const Decimal& a, const Decimal& b, RoundingMode mode);
CalculationError decimalDivide(Decimal* result, const Decimal& a, const Decimal& b, RoundingMode mode);
CalculationError decimalPower(Decimal* result, const Decimal& a, unsigned power, RoundingMode mode);
CalculationError decimalMultiplyByPowerOf10(Decimal* result, const Decimal& a, short power, RoundingMode mode);
// Rounds to scale digits after the point (negative scale rounds left of it).
void decimalRound(Decimal* result, const Decimal& a, int scale, RoundingMode mode);
// Brings a and b to a common exponent (as far as 38 digits allow).
CalculationError decimalNormalize(Decimal* a, Decimal* b, RoundingMode mode);
// Removes trailing zero digits of the mantissa (raising the exponent).
void decimalCompact(Decimal* d);
// By value across exponents; NaN equals NaN and orders below every number.
// Returns -1, 0 or 1.
int decimalCompare(const Decimal& a, const Decimal& b);

inline bool operator==(const Decimal& a, const Decimal& b) { return decimalCompare(a, b) == 0; }
inline bool operator<(const Decimal& a, const Decimal& b) { return decimalCompare(a, b) < 0; }

}  // namespace base
