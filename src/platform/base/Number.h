#pragma once
// A boxed number that remembers what kind it was made from: a signed or
// unsigned integer, a float, a double or an exact decimal. Readers convert
// to the asked type; floating values convert to integers by truncation
// toward zero with NaN giving 0 and out-of-range values clamped (never
// undefined behaviour); integers narrow by wrapping, as machine casts do.
#include <cstdint>
#include <string>

#include "platform/base/Decimal.h"

namespace base {

class Number {
public:
    enum class Kind { Signed, Unsigned, Float, Double, Decimal };

    Number() = default;
    Number(signed char v) : kind_(Kind::Signed), i_(v) {}
    Number(short v) : kind_(Kind::Signed), i_(v) {}
    Number(int v) : kind_(Kind::Signed), i_(v) {}
    Number(long v) : kind_(Kind::Signed), i_(v) {}
    Number(long long v) : kind_(Kind::Signed), i_(v) {}
    Number(unsigned char v) : kind_(Kind::Unsigned), u_(v) {}
    Number(unsigned short v) : kind_(Kind::Unsigned), u_(v) {}
    Number(unsigned v) : kind_(Kind::Unsigned), u_(v) {}
    Number(unsigned long v) : kind_(Kind::Unsigned), u_(v) {}
    Number(unsigned long long v) : kind_(Kind::Unsigned), u_(v) {}
    Number(float v) : kind_(Kind::Float), d_(v) {}
    Number(double v) : kind_(Kind::Double), d_(v) {}
    Number(const Decimal& v) : kind_(Kind::Decimal), dec_(v) {}

    Kind kind() const { return kind_; }
    // Made from an exact decimal (the platform's decimal number class).
    bool isDecimalNumber() const { return kind_ == Kind::Decimal; }

    signed char charValue() const { return static_cast<signed char>(longLongValue()); }
    short shortValue() const { return static_cast<short>(longLongValue()); }
    long longValue() const { return static_cast<long>(longLongValue()); }
    long long longLongValue() const;
    unsigned char unsignedCharValue() const { return static_cast<unsigned char>(unsignedLongLongValue()); }
    unsigned short unsignedShortValue() const { return static_cast<unsigned short>(unsignedLongLongValue()); }
    unsigned long unsignedLongValue() const { return static_cast<unsigned long>(unsignedLongLongValue()); }
    unsigned long long unsignedLongLongValue() const;
    float floatValue() const { return static_cast<float>(doubleValue()); }
    double doubleValue() const;
    // Integers exactly; floats and doubles by their shortest digits.
    Decimal decimalValue() const;

    // -1, 0 or 1; decimals compare exactly, everything else as doubles
    // (integers of the same signedness compare exactly).
    int compare(const Number& other) const;
    bool operator==(const Number& other) const { return compare(other) == 0; }

    std::string description() const;

private:
    Kind kind_ = Kind::Signed;
    long long i_ = 0;
    unsigned long long u_ = 0;
    double d_ = 0;
    Decimal dec_;
};

}  // namespace base
