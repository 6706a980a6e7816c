#pragma once
// A one-dimensional interval of data values: a start (location) and a signed
// extent (length), both exact decimals, with double mirrors for fast drawing
// code. A negative length runs downwards from the location.
#include <memory>
#include <string>

#include "charts/CHTUtilities.h"
#include "platform/base/KeyedArchiver.h"
#include "platform/base/Number.h"

class CHTPlotRange : public base::Coding {
public:
    // Location 0, length 0.
    CHTPlotRange();
    CHTPlotRange(const base::Decimal& location, const base::Decimal& length);
    static std::shared_ptr<CHTPlotRange> plotRangeWithLocation(const base::Decimal& location,
                                                               const base::Decimal& length);

    const base::Decimal& location() const { return location_; }
    const base::Decimal& length() const { return length_; }
    // An equal value (by decimal comparison) changes nothing.
    void setLocation(const base::Decimal& location);
    void setLength(const base::Decimal& length);
    double locationDouble() const { return locationDouble_; }
    double lengthDouble() const { return lengthDouble_; }

    base::Decimal end() const;
    double endDouble() const;
    base::Decimal minLimit() const;
    double minLimitDouble() const;
    base::Decimal maxLimit() const;
    double maxLimitDouble() const;
    base::Decimal midPoint() const;
    double midPointDouble() const;

    // Both ends included.
    bool contains(const base::Decimal& value) const;
    bool containsDouble(double value) const;
    // 0 below the range, 1 inside, 2 above.
    int compareToDecimal(const base::Decimal& value) const;
    int compareToDouble(double value) const;
    // Decimal numbers compare exactly, every other number as a double.
    int compareToNumber(const base::Number& number) const;

    bool isEqualToRange(const CHTPlotRange* other) const;

    // In place; the receiver keeps the sign of its length. nullptr does nothing.
    void intersectionPlotRange(const CHTPlotRange* other);
    void unionPlotRange(const CHTPlotRange* other);
    // The midpoint stays; the length is multiplied by the factor.
    void expandRangeByFactor(const base::Decimal& factor);
    // Moves the location (resp. the end) into other; the length never changes.
    void shiftLocationToFitInRange(const CHTPlotRange* other);
    void shiftEndToFitInRange(const CHTPlotRange* other);

    std::string description() const;
    std::shared_ptr<CHTPlotRange> copy() const;

    std::string classForCoder() const override { return "CHTPlotRange"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

private:
    base::Decimal location_;
    base::Decimal length_;
    double locationDouble_ = 0;
    double lengthDouble_ = 0;
};

// Ranges are changed through their setters; the mutable name is the same class.
using CHTMutablePlotRange = CHTPlotRange;
