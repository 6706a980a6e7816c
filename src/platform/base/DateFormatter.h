#pragma once
// Dates to text and back, over ICU: a pattern ("dd/MMM/yyyy",
// "EEE yyyy MM dd HH:mm:ss.SSS") or a date and a time style, in a locale and
// a time zone. By default the system's locale and local time zone, no styles
// and no pattern (which formats every date as ""). Parsing is strict: the
// whole text must match and the date must exist.
//
// A formatter may be copied; one instance is safe to use from several
// threads (calls are serialised). Archived by its settings (explicit pattern,
// styles, locale and time zone) under "NSDateFormatter." and their names.
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/Date.h"
#include "platform/base/KeyedArchiver.h"

namespace base {

enum class DateFormatterStyle { None, Short, Medium, Long, Full };

class DateFormatter : public Coding {
public:
    DateFormatter();
    ~DateFormatter() override;
    DateFormatter(const DateFormatter& other);
    DateFormatter& operator=(const DateFormatter& other);

    // An explicit pattern (ICU/Unicode date field symbols). It wins over the
    // styles until a style is set again.
    void setDateFormat(const std::string& pattern);
    // The pattern in use: the explicit one, or the one the styles give in
    // the locale.
    std::string dateFormat() const;

    DateFormatterStyle dateStyle() const;
    void setDateStyle(DateFormatterStyle style);
    DateFormatterStyle timeStyle() const;
    void setTimeStyle(DateFormatterStyle style);

    // A locale identifier such as "en_US_POSIX" or "de_DE"; "" is the
    // system's locale.
    void setLocale(const std::string& identifier);
    std::string locale() const;

    // An Olson identifier ("UTC", "Europe/Berlin"); "" is the system's local
    // zone. An unknown identifier is refused (false) and the zone kept.
    bool setTimeZone(const std::string& identifier);
    std::string timeZone() const;

    std::string stringFromDate(Date date) const;
    // nullopt when the text does not match the pattern as a whole.
    std::optional<Date> dateFromString(const std::string& text) const;

    // The locale's month names, January first ("January", ...).
    std::vector<std::string> monthSymbols() const;

    std::string classForCoder() const override { return "NSDateFormatter"; }
    void encodeWithCoder(KeyedArchiver& coder) const override;
    // Unknown styles read as none; an unknown time zone keeps the system's.
    std::shared_ptr<Coding> initWithCoder(KeyedUnarchiver& coder) override;

    struct Impl;

private:
    mutable std::mutex mutex_;
    std::unique_ptr<Impl> impl_;
};

}  // namespace base
