#include "charts/CHTConstraints.h"

#include <cmath>
#include <limits>
#include <typeinfo>

#include "charts/CHTCoderExtensions.h"

namespace {
constexpr const char* kFixedOffsetKey = "_CHTConstraintsFixed.offset";
constexpr const char* kFixedToLowerKey = "_CHTConstraintsFixed.isFixedToLower";
constexpr const char* kRelativeOffsetKey = "_CHTConstraintsRelative.offset";
}  // namespace

std::shared_ptr<CHTConstraints> CHTConstraints::constraintWithLowerOffset(CGFloat offset) {
    return std::make_shared<_CHTConstraintsFixed>(offset, true);
}

std::shared_ptr<CHTConstraints> CHTConstraints::constraintWithUpperOffset(CGFloat offset) {
    return std::make_shared<_CHTConstraintsFixed>(offset, false);
}

std::shared_ptr<CHTConstraints> CHTConstraints::constraintWithRelativeOffset(CGFloat offset) {
    return std::make_shared<_CHTConstraintsRelative>(offset);
}

CGFloat CHTConstraints::positionForLowerBound(CGFloat, CGFloat) const {
    return std::numeric_limits<CGFloat>::quiet_NaN();
}

bool CHTConstraints::isEqualToConstraint(const CHTConstraints* other) const { return other == this; }

std::shared_ptr<CHTConstraints> CHTConstraints::copy() const { return nullptr; }

void CHTConstraints::encodeWithCoder(base::KeyedArchiver&) const {}

std::shared_ptr<base::Coding> CHTConstraints::initWithCoder(base::KeyedUnarchiver& coder) {
    if (coder.containsValueForKey(kFixedOffsetKey)) {
        CGFloat offset = decodeCGFloat(coder, kFixedOffsetKey);
        return coder.decodeBool(kFixedToLowerKey) ? constraintWithLowerOffset(offset)
                                                  : constraintWithUpperOffset(offset);
    }
    if (coder.containsValueForKey(kRelativeOffsetKey))
        return constraintWithRelativeOffset(decodeCGFloat(coder, kRelativeOffsetKey));
    return nullptr;
}

bool CHTConstraints::checkBounds(CGFloat lowerBound, CGFloat upperBound, const char* className) const {
    // Written so that a NaN bound fails too.
    if (lowerBound <= upperBound) return true;
    base::AssertionHandler::current().handleFailureInMethod("positionForLowerBound", this,
                                                            std::string("Charts/Source/") + className, __LINE__,
                                                            "lowerBound must be less than or equal to upperBound");
    return false;
}

// ---- fixed ----

CGFloat _CHTConstraintsFixed::positionForLowerBound(CGFloat lowerBound, CGFloat upperBound) const {
    checkBounds(lowerBound, upperBound, "_CHTConstraintsFixed");
    return isFixedToLower_ ? lowerBound + offset_ : upperBound - offset_;
}

bool _CHTConstraintsFixed::isEqualToConstraint(const CHTConstraints* other) const {
    if (!other || typeid(*other) != typeid(_CHTConstraintsFixed)) return false;
    auto* fixed = static_cast<const _CHTConstraintsFixed*>(other);
    return fixed->offset_ == offset_ && fixed->isFixedToLower_ == isFixedToLower_;
}

std::shared_ptr<CHTConstraints> _CHTConstraintsFixed::copy() const {
    return std::make_shared<_CHTConstraintsFixed>(offset_, isFixedToLower_);
}

void _CHTConstraintsFixed::encodeWithCoder(base::KeyedArchiver& coder) const {
    encodeCGFloat(coder, offset_, kFixedOffsetKey);
    coder.encodeBool(isFixedToLower_, kFixedToLowerKey);
}

std::shared_ptr<base::Coding> _CHTConstraintsFixed::initWithCoder(base::KeyedUnarchiver& coder) {
    offset_ = decodeCGFloat(coder, kFixedOffsetKey);
    isFixedToLower_ = coder.decodeBool(kFixedToLowerKey);
    return nullptr;
}

// ---- relative ----

CGFloat _CHTConstraintsRelative::positionForLowerBound(CGFloat lowerBound, CGFloat upperBound) const {
    checkBounds(lowerBound, upperBound, "_CHTConstraintsRelative");
    return std::fma(upperBound - lowerBound, offset_, lowerBound);
}

bool _CHTConstraintsRelative::isEqualToConstraint(const CHTConstraints* other) const {
    if (!other || typeid(*other) != typeid(_CHTConstraintsRelative)) return false;
    return static_cast<const _CHTConstraintsRelative*>(other)->offset_ == offset_;
}

std::shared_ptr<CHTConstraints> _CHTConstraintsRelative::copy() const {
    return std::make_shared<_CHTConstraintsRelative>(offset_);
}

void _CHTConstraintsRelative::encodeWithCoder(base::KeyedArchiver& coder) const {
    encodeCGFloat(coder, offset_, kRelativeOffsetKey);
}

std::shared_ptr<base::Coding> _CHTConstraintsRelative::initWithCoder(base::KeyedUnarchiver& coder) {
    offset_ = decodeCGFloat(coder, kRelativeOffsetKey);
    return nullptr;
}
