#pragma once
// Numbers to text and back, the subset the program uses: minimum integer
// digits, minimum and maximum fraction digits, half-even rounding, "." as the
// decimal separator, no grouping, the same in every locale. Works on doubles
// (by their shortest round-trip digits, so 2.675 rounds as written) and on
// exact decimals.
//
// The default formatter shows whole numbers (at most 0 fraction digits) and
// reads a plain decimal number. Archived by its settings, under
// "NSNumberFormatter." and the setting's name.
#include <optional>
#include <string>

#include "platform/base/Decimal.h"
#include "platform/base/KeyedArchiver.h"

namespace base {

class NumberFormatter : public Coding {
public:
    NumberFormatter() = default;
    ~NumberFormatter() override = default;
    NumberFormatter(const NumberFormatter&) = default;
    NumberFormatter& operator=(const NumberFormatter&) = default;

    int minimumIntegerDigits() const { return minimumIntegerDigits_; }
    void setMinimumIntegerDigits(int n);
    int minimumFractionDigits() const { return minimumFractionDigits_; }
    // Raises the maximum when it is below the new minimum.
    void setMinimumFractionDigits(int n);
    int maximumFractionDigits() const { return maximumFractionDigits_; }
    // Lowers the minimum when it is above the new maximum.
    void setMaximumFractionDigits(int n);

    // Rounded half-even to the maximum fraction digits; trailing zeros are
    // dropped down to the minimum; the integer part is padded with zeros to
    // the minimum integer digits (0 allows ".5"). A value that rounds to zero
    // prints without a sign. NaN gives "NaN", the infinities "∞" and "-∞".
    virtual std::string stringFromNumber(double value) const;
    // The same for an exact decimal ("NaN" for its not-a-number).
    virtual std::string stringFromDecimal(const Decimal& value) const;

    // Reads optional blanks, an optional sign, digits with at most one ".",
    // optional blanks; anything else (an empty text, letters, a second
    // number, an exponent) gives nullopt.
    std::optional<double> numberFromString(const std::string& text) const;
    std::optional<Decimal> decimalFromString(const std::string& text) const;

    // Formats plain decimal text ("-12.345", digits and one optional ".") by
    // the rules above; the common core of both stringFrom... operations.
    std::string formatPlainDigits(const std::string& plain) const;

    std::string classForCoder() const override { return "NSNumberFormatter"; }
    void encodeWithCoder(KeyedArchiver& coder) const override;
    // Out-of-range digit counts are clamped as the setters clamp them.
    std::shared_ptr<Coding> initWithCoder(KeyedUnarchiver& coder) override;

private:
    int minimumIntegerDigits_ = 0;
    int minimumFractionDigits_ = 0;
    int maximumFractionDigits_ = 0;
};

}  // namespace base
