#include "platform/base/DateFormatter.h"

#include <cmath>

#include <unicode/datefmt.h>
#include <unicode/dtfmtsym.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

namespace base {

namespace {

std::string toUtf8(const icu::UnicodeString& s) {
    std::string out;
    s.toUTF8String(out);
    return out;
}

icu::UnicodeString fromUtf8(const std::string& s) { return icu::UnicodeString::fromUTF8(s); }

icu::DateFormat::EStyle icuStyle(DateFormatterStyle s) {
    switch (s) {
    case DateFormatterStyle::None: return icu::DateFormat::kNone;
    case DateFormatterStyle::Short: return icu::DateFormat::kShort;
    case DateFormatterStyle::Medium: return icu::DateFormat::kMedium;
    case DateFormatterStyle::Long: return icu::DateFormat::kLong;
    case DateFormatterStyle::Full: return icu::DateFormat::kFull;
    }
    return icu::DateFormat::kNone;
}

}  // namespace

struct DateFormatter::Impl {
    std::string localeId;  // "" = system
    std::string zoneId;    // "" = system local zone
    std::string explicitPattern;
    bool hasExplicitPattern = false;
    DateFormatterStyle dateStyle = DateFormatterStyle::None;
    DateFormatterStyle timeStyle = DateFormatterStyle::None;
    // Built lazily from the settings above; null when no pattern applies.
    mutable std::unique_ptr<icu::SimpleDateFormat> format;
    mutable bool dirty = true;

    icu::Locale icuLocale() const {
        return localeId.empty() ? icu::Locale::getDefault() : icu::Locale::createCanonical(localeId.c_str());
    }

    icu::TimeZone* icuZone() const {
        return zoneId.empty() ? icu::TimeZone::createDefault() : icu::TimeZone::createTimeZone(fromUtf8(zoneId));
    }

    std::string stylePattern() const {
        if (dateStyle == DateFormatterStyle::None && timeStyle == DateFormatterStyle::None) return {};
        std::unique_ptr<icu::DateFormat> df(
            icu::DateFormat::createDateTimeInstance(icuStyle(dateStyle), icuStyle(timeStyle), icuLocale()));
        auto* sdf = dynamic_cast<icu::SimpleDateFormat*>(df.get());
        if (!sdf) return {};
        icu::UnicodeString p;
        sdf->toPattern(p);
        return toUtf8(p);
    }

    std::string pattern() const { return hasExplicitPattern ? explicitPattern : stylePattern(); }

    icu::SimpleDateFormat* get() const {
        if (!dirty) return format.get();
        dirty = false;
        format.reset();
        std::string p = pattern();
        if (p.empty()) return nullptr;
        UErrorCode status = U_ZERO_ERROR;
        auto f = std::make_unique<icu::SimpleDateFormat>(fromUtf8(p), icuLocale(), status);
        if (U_FAILURE(status)) return nullptr;
        f->adoptTimeZone(icuZone());
        // Strict: no invented dates ("31/Feb"), no stray blanks or digits
        // for names, but "MMM" accepts the full month name as well.
        f->setLenient(false);
        status = U_ZERO_ERROR;
        f->setBooleanAttribute(UDAT_PARSE_MULTIPLE_PATTERNS_FOR_MATCH, true, status);
        format = std::move(f);
        return format.get();
    }
};

DateFormatter::DateFormatter() : impl_(std::make_unique<Impl>()) {}
DateFormatter::~DateFormatter() = default;

DateFormatter::DateFormatter(const DateFormatter& other) : impl_(std::make_unique<Impl>()) {
    std::lock_guard lock(other.mutex_);
    impl_->localeId = other.impl_->localeId;
    impl_->zoneId = other.impl_->zoneId;
    impl_->explicitPattern = other.impl_->explicitPattern;
    impl_->hasExplicitPattern = other.impl_->hasExplicitPattern;
    impl_->dateStyle = other.impl_->dateStyle;
    impl_->timeStyle = other.impl_->timeStyle;
}

DateFormatter& DateFormatter::operator=(const DateFormatter& other) {
    if (this != &other) {
        DateFormatter copy(other);
        std::lock_guard lock(mutex_);
        impl_ = std::move(copy.impl_);
    }
    return *this;
}

void DateFormatter::setDateFormat(const std::string& pattern) {
    std::lock_guard lock(mutex_);
    impl_->explicitPattern = pattern;
    impl_->hasExplicitPattern = true;
    impl_->dirty = true;
}

std::string DateFormatter::dateFormat() const {
    std::lock_guard lock(mutex_);
    return impl_->pattern();
}

DateFormatterStyle DateFormatter::dateStyle() const {
    std::lock_guard lock(mutex_);
    return impl_->dateStyle;
}

void DateFormatter::setDateStyle(DateFormatterStyle style) {
    std::lock_guard lock(mutex_);
    impl_->dateStyle = style;
    impl_->hasExplicitPattern = false;
    impl_->dirty = true;
}

DateFormatterStyle DateFormatter::timeStyle() const {
    std::lock_guard lock(mutex_);
    return impl_->timeStyle;
}

void DateFormatter::setTimeStyle(DateFormatterStyle style) {
    std::lock_guard lock(mutex_);
    impl_->timeStyle = style;
    impl_->hasExplicitPattern = false;
    impl_->dirty = true;
}

void DateFormatter::setLocale(const std::string& identifier) {
    std::lock_guard lock(mutex_);
    impl_->localeId = identifier;
    impl_->dirty = true;
}

std::string DateFormatter::locale() const {
    std::lock_guard lock(mutex_);
    return impl_->icuLocale().getName();
}

bool DateFormatter::setTimeZone(const std::string& identifier) {
    std::lock_guard lock(mutex_);
    if (!identifier.empty()) {
        std::unique_ptr<icu::TimeZone> tz(icu::TimeZone::createTimeZone(fromUtf8(identifier)));
        icu::UnicodeString id;
        tz->getID(id);
        if (id == icu::UnicodeString(UCAL_UNKNOWN_ZONE_ID)) return false;
    }
    impl_->zoneId = identifier;
    impl_->dirty = true;
    return true;
}

std::string DateFormatter::timeZone() const {
    std::lock_guard lock(mutex_);
    std::unique_ptr<icu::TimeZone> tz(impl_->icuZone());
    icu::UnicodeString id;
    tz->getID(id);
    return toUtf8(id);
}

std::string DateFormatter::stringFromDate(Date date) const {
    std::lock_guard lock(mutex_);
    auto* f = impl_->get();
    double t = date.timeIntervalSince1970();
    if (!f || !std::isfinite(t)) return {};
    icu::UnicodeString out;
    f->format(static_cast<UDate>(t * 1000.0), out);
    return toUtf8(out);
}

std::optional<Date> DateFormatter::dateFromString(const std::string& text) const {
    std::lock_guard lock(mutex_);
    auto* f = impl_->get();
    if (!f) return std::nullopt;
    icu::UnicodeString s = fromUtf8(text);
    icu::ParsePosition pos(0);
    UDate d = f->parse(s, pos);
    if (pos.getErrorIndex() >= 0 || pos.getIndex() == 0 || pos.getIndex() != s.length()) return std::nullopt;
    return Date(d / 1000.0);
}

std::vector<std::string> DateFormatter::monthSymbols() const {
    std::lock_guard lock(mutex_);
    UErrorCode status = U_ZERO_ERROR;
    icu::DateFormatSymbols symbols(impl_->icuLocale(), status);
    if (U_FAILURE(status)) return {};
    int32_t n = 0;
    const icu::UnicodeString* list = symbols.getMonths(n);
    std::vector<std::string> out;
    out.reserve(n > 0 ? std::size_t(n) : 0);
    for (int32_t i = 0; i < n; ++i) out.push_back(toUtf8(list[i]));
    return out;
}

}  // namespace base

namespace base {

namespace {
DateFormatterStyle styleFromInteger(long long value) {
    switch (value) {
    case 1: return DateFormatterStyle::Short;
    case 2: return DateFormatterStyle::Medium;
    case 3: return DateFormatterStyle::Long;
    case 4: return DateFormatterStyle::Full;
    default: return DateFormatterStyle::None;
    }
}
}  // namespace

void DateFormatter::encodeWithCoder(KeyedArchiver& coder) const {
    std::lock_guard lock(mutex_);
    if (impl_->hasExplicitPattern) coder.encodeString(impl_->explicitPattern, "NSDateFormatter.dateFormat");
    coder.encodeInteger(static_cast<long long>(impl_->dateStyle), "NSDateFormatter.dateStyle");
    coder.encodeInteger(static_cast<long long>(impl_->timeStyle), "NSDateFormatter.timeStyle");
    coder.encodeString(impl_->localeId, "NSDateFormatter.locale");
    coder.encodeString(impl_->zoneId, "NSDateFormatter.timeZone");
}

std::shared_ptr<Coding> DateFormatter::initWithCoder(KeyedUnarchiver& coder) {
    setDateStyle(styleFromInteger(coder.decodeInteger("NSDateFormatter.dateStyle")));
    setTimeStyle(styleFromInteger(coder.decodeInteger("NSDateFormatter.timeStyle")));
    setLocale(coder.decodeString("NSDateFormatter.locale"));
    setTimeZone(coder.decodeString("NSDateFormatter.timeZone"));
    if (coder.containsValueForKey("NSDateFormatter.dateFormat"))
        setDateFormat(coder.decodeString("NSDateFormatter.dateFormat"));
    return nullptr;
}

}  // namespace base
