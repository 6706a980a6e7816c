#include "charts/CHTTimeFormatter.h"

#include <cmath>

CHTTimeFormatter::CHTTimeFormatter() {
    auto formatter = std::make_shared<base::DateFormatter>();
    formatter->setDateStyle(base::DateFormatterStyle::Medium);
    formatter->setTimeStyle(base::DateFormatterStyle::Medium);
    dateFormatter_ = formatter;
}

CHTTimeFormatter::CHTTimeFormatter(std::shared_ptr<base::DateFormatter> dateFormatter)
    : dateFormatter_(std::move(dateFormatter)) {}

std::shared_ptr<CHTTimeFormatter> CHTTimeFormatter::initWithDateFormatter(
    std::shared_ptr<base::DateFormatter> dateFormatter) {
    return std::make_shared<CHTTimeFormatter>(std::move(dateFormatter));
}

std::string CHTTimeFormatter::stringForObjectValue(double seconds) const {
    if (!dateFormatter_ || !std::isfinite(seconds)) return "";
    base::Date date = referenceDate_ ? referenceDate_->addingTimeInterval(seconds)
                                     : base::Date::dateWithTimeIntervalSinceReferenceDate(seconds);
    return dateFormatter_->stringFromDate(date);
}

std::string CHTTimeFormatter::stringFromNumber(double value) const { return stringForObjectValue(value); }

std::string CHTTimeFormatter::stringFromDecimal(const base::Decimal& value) const {
    return stringForObjectValue(value.toDouble());
}

std::shared_ptr<CHTTimeFormatter> CHTTimeFormatter::copy() const {
    auto other = std::make_shared<CHTTimeFormatter>(*this);
    if (dateFormatter_) other->dateFormatter_ = std::make_shared<base::DateFormatter>(*dateFormatter_);
    return other;
}

void CHTTimeFormatter::encodeWithCoder(base::KeyedArchiver& coder) const {
    base::NumberFormatter::encodeWithCoder(coder);
    coder.encodeObject(dateFormatter_, "CHTTimeFormatter.dateFormatter");
    if (referenceDate_) coder.encodeValue(base::Value(*referenceDate_), "CHTTimeFormatter.referenceDate");
}

std::shared_ptr<base::Coding> CHTTimeFormatter::initWithCoder(base::KeyedUnarchiver& coder) {
    base::NumberFormatter::initWithCoder(coder);
    dateFormatter_ = coder.decodeObjectOfType<base::DateFormatter>("CHTTimeFormatter.dateFormatter");
    base::Value date = coder.decodeValue("CHTTimeFormatter.referenceDate");
    if (auto d = date.asDate()) referenceDate_ = *d;
    else referenceDate_.reset();
    return nullptr;
}

void CHTTimeFormatter::registerCodingClass() {
    base::KeyedUnarchiver::registerClass("CHTTimeFormatter", [] { return std::make_shared<CHTTimeFormatter>(); });
}
