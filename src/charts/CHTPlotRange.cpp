#include "charts/CHTPlotRange.h"

#include <cmath>

#include "platform/base/Format.h"

CHTPlotRange::CHTPlotRange() : CHTPlotRange(CHTDecimalFromInteger(0), CHTDecimalFromInteger(0)) {}

CHTPlotRange::CHTPlotRange(const base::Decimal& location, const base::Decimal& length) {
    location_ = location;
    locationDouble_ = CHTDecimalDoubleValue(location);
    length_ = length;
    lengthDouble_ = CHTDecimalDoubleValue(length);
}

std::shared_ptr<CHTPlotRange> CHTPlotRange::plotRangeWithLocation(const base::Decimal& location,
                                                                  const base::Decimal& length) {
    return std::make_shared<CHTPlotRange>(location, length);
}

void CHTPlotRange::setLocation(const base::Decimal& location) {
    if (CHTDecimalEquals(location_, location)) return;
    location_ = location;
    locationDouble_ = CHTDecimalDoubleValue(location);
}

void CHTPlotRange::setLength(const base::Decimal& length) {
    if (CHTDecimalEquals(length_, length)) return;
    length_ = length;
    lengthDouble_ = CHTDecimalDoubleValue(length);
}

base::Decimal CHTPlotRange::end() const { return CHTDecimalAdd(location_, length_); }

double CHTPlotRange::endDouble() const { return locationDouble_ + lengthDouble_; }

// A length that is not a number leaves both limits at the location, in the
// decimal forms as in the double ones (NaN orders below every decimal, so it
// must not count as a negative length).
base::Decimal CHTPlotRange::minLimit() const {
    if (!length_.isNaN() && CHTDecimalLessThan(length_, CHTDecimalFromInteger(0))) return end();
    return location_;
}

double CHTPlotRange::minLimitDouble() const {
    return lengthDouble_ < 0.0 ? locationDouble_ + lengthDouble_ : locationDouble_;
}

base::Decimal CHTPlotRange::maxLimit() const {
    if (!length_.isNaN() && CHTDecimalGreaterThan(length_, CHTDecimalFromInteger(0))) return end();
    return location_;
}

double CHTPlotRange::maxLimitDouble() const {
    return lengthDouble_ > 0.0 ? locationDouble_ + lengthDouble_ : locationDouble_;
}

base::Decimal CHTPlotRange::midPoint() const {
    return CHTDecimalAdd(location_, CHTDecimalDivide(length_, CHTDecimalFromInteger(2)));
}

double CHTPlotRange::midPointDouble() const { return std::fma(lengthDouble_, 0.5, locationDouble_); }

bool CHTPlotRange::contains(const base::Decimal& value) const {
    return CHTDecimalLessThanOrEqualTo(minLimit(), value) && CHTDecimalLessThanOrEqualTo(value, maxLimit());
}

bool CHTPlotRange::containsDouble(double value) const { return minLimitDouble() <= value && value <= maxLimitDouble(); }

int CHTPlotRange::compareToDecimal(const base::Decimal& value) const {
    if (contains(value)) return 1;
    if (CHTDecimalLessThan(value, minLimit())) return 0;
    return 2;
}

int CHTPlotRange::compareToDouble(double value) const {
    if (minLimitDouble() > value) return 0;
    if (maxLimitDouble() < value) return 2;
    return 1;
}

int CHTPlotRange::compareToNumber(const base::Number& number) const {
    if (number.isDecimalNumber()) return compareToDecimal(number.decimalValue());
    return compareToDouble(number.doubleValue());
}

bool CHTPlotRange::isEqualToRange(const CHTPlotRange* other) const {
    if (!other) return false;
    return CHTDecimalEquals(location_, other->location_) && CHTDecimalEquals(length_, other->length_);
}

void CHTPlotRange::intersectionPlotRange(const CHTPlotRange* other) {
    if (!other) return;
    base::Decimal min1 = minLimit(), min2 = other->minLimit();
    base::Decimal max1 = maxLimit(), max2 = other->maxLimit();
    base::Decimal newMin = CHTDecimalGreaterThan(min1, min2) ? min1 : min2;
    base::Decimal newMax = CHTDecimalLessThan(max1, max2) ? max1 : max2;
    if (CHTDecimalGreaterThanOrEqualTo(newMax, newMin)) {
        if (CHTDecimalGreaterThanOrEqualTo(length_, CHTDecimalFromInteger(0))) {
            setLocation(newMin);
            setLength(CHTDecimalSubtract(newMax, newMin));
        } else {
            setLocation(newMax);
            setLength(CHTDecimalSubtract(newMin, newMax));
        }
    } else {
        setLength(CHTDecimalFromInteger(0));
    }
}

void CHTPlotRange::unionPlotRange(const CHTPlotRange* other) {
    if (!other) return;
    base::Decimal min1 = minLimit(), min2 = other->minLimit();
    base::Decimal max1 = maxLimit(), max2 = other->maxLimit();
    base::Decimal newMin = CHTDecimalLessThan(min1, min2) ? min1 : min2;
    base::Decimal newMax = CHTDecimalGreaterThan(max1, max2) ? max1 : max2;
    if (CHTDecimalGreaterThanOrEqualTo(length_, CHTDecimalFromInteger(0))) {
        setLocation(newMin);
        setLength(CHTDecimalSubtract(newMax, newMin));
    } else {
        setLocation(newMax);
        setLength(CHTDecimalSubtract(newMin, newMax));
    }
}

void CHTPlotRange::expandRangeByFactor(const base::Decimal& factor) {
    base::Decimal newLength = CHTDecimalMultiply(length_, factor);
    base::Decimal offset = CHTDecimalDivide(CHTDecimalSubtract(length_, newLength), CHTDecimalFromInteger(2));
    setLocation(CHTDecimalAdd(location_, offset));
    setLength(newLength);
}

void CHTPlotRange::shiftLocationToFitInRange(const CHTPlotRange* otherRange) {
    CHT_PARAMETER_ASSERT(otherRange, "CHTPlotRange", "shiftLocationToFitInRange");
    if (!otherRange) return;
    switch (otherRange->compareToNumber(base::Number(location_))) {
    case 2: setLocation(otherRange->maxLimit()); break;
    case 0: setLocation(otherRange->minLimit()); break;
    default: break;
    }
}

void CHTPlotRange::shiftEndToFitInRange(const CHTPlotRange* otherRange) {
    CHT_PARAMETER_ASSERT(otherRange, "CHTPlotRange", "shiftEndToFitInRange");
    if (!otherRange) return;
    switch (otherRange->compareToNumber(base::Number(end()))) {
    case 2: setLocation(CHTDecimalSubtract(otherRange->maxLimit(), length_)); break;
    case 0: setLocation(CHTDecimalSubtract(otherRange->minLimit(), length_)); break;
    default: break;
    }
}

std::string CHTPlotRange::description() const {
    return base::format("<<CHTPlotRange: %p> {%@, %@}>", static_cast<const void*>(this), location_.toString(),
                        length_.toString());
}

std::shared_ptr<CHTPlotRange> CHTPlotRange::copy() const { return std::make_shared<CHTPlotRange>(*this); }

void CHTPlotRange::encodeWithCoder(base::KeyedArchiver& coder) const {
    coder.encodeDecimal(location_, "CHTPlotRange.location");
    coder.encodeDecimal(length_, "CHTPlotRange.length");
}

std::shared_ptr<base::Coding> CHTPlotRange::initWithCoder(base::KeyedUnarchiver& coder) {
    setLocation(coder.decodeDecimal("CHTPlotRange.location"));
    setLength(coder.decodeDecimal("CHTPlotRange.length"));
    return nullptr;
}
