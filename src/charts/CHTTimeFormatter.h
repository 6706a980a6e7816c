#pragma once
// A number formatter that shows a number of seconds as a date: the seconds
// after its reference date, or after 1 January 2001 00:00 GMT without one,
// in the text of its date formatter.
#include <memory>
#include <optional>
#include <string>

#include "platform/base/Date.h"
#include "platform/base/DateFormatter.h"
#include "platform/base/NumberFormatter.h"

class CHTTimeFormatter : public base::NumberFormatter {
public:
    // A date formatter with the medium date and time styles.
    CHTTimeFormatter();
    explicit CHTTimeFormatter(std::shared_ptr<base::DateFormatter> dateFormatter);
    static std::shared_ptr<CHTTimeFormatter> initWithDateFormatter(std::shared_ptr<base::DateFormatter> dateFormatter);

    const std::shared_ptr<base::DateFormatter>& dateFormatter() const { return dateFormatter_; }
    void setDateFormatter(std::shared_ptr<base::DateFormatter> formatter) { dateFormatter_ = std::move(formatter); }
    const std::optional<base::Date>& referenceDate() const { return referenceDate_; }
    void setReferenceDate(std::optional<base::Date> date) { referenceDate_ = date; }

    // The date text of the seconds ("" without a date formatter or for a
    // value that is not a finite number).
    std::string stringForObjectValue(double seconds) const;
    std::string stringFromNumber(double value) const override;
    std::string stringFromDecimal(const base::Decimal& value) const override;

    // A copy with its own copy of the date formatter.
    std::shared_ptr<CHTTimeFormatter> copy() const;

    std::string classForCoder() const override { return "CHTTimeFormatter"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

    static void registerCodingClass();

private:
    std::shared_ptr<base::DateFormatter> dateFormatter_;
    std::optional<base::Date> referenceDate_;
};
