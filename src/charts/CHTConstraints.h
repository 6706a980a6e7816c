#pragma once
// A position between a lower and an upper bound: a fixed offset from either
// bound, or a fraction of the way between them. The public class hands out
// one of two private concrete kinds; archives name only the public class.
#include <memory>
#include <string>

#include "charts/CHTUtilities.h"
#include "platform/base/KeyedArchiver.h"

class CHTConstraints : public base::Coding {
public:
    CHTConstraints() = default;
    ~CHTConstraints() override = default;

    static std::shared_ptr<CHTConstraints> constraintWithLowerOffset(CGFloat offset);
    static std::shared_ptr<CHTConstraints> constraintWithUpperOffset(CGFloat offset);
    static std::shared_ptr<CHTConstraints> constraintWithRelativeOffset(CGFloat offset);

    // The abstract constraint has no position: not-a-number.
    virtual CGFloat positionForLowerBound(CGFloat lowerBound, CGFloat upperBound) const;
    // The abstract constraint equals only itself.
    virtual bool isEqualToConstraint(const CHTConstraints* other) const;
    // A new constraint of the same kind and fields; the abstract one gives nullptr.
    virtual std::shared_ptr<CHTConstraints> copy() const;

    std::string classForCoder() const override { return "CHTConstraints"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    // Picks the concrete kind from the keys present; with neither kind's
    // keys the abstract constraint itself is kept.
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

protected:
    // Reports bounds in the wrong order (or not numbers) to the assertion
    // handler; answers whether they are usable.
    bool checkBounds(CGFloat lowerBound, CGFloat upperBound, const char* className) const;
};

// At a fixed distance up from the lower bound or down from the upper bound.
class _CHTConstraintsFixed : public CHTConstraints {
public:
    _CHTConstraintsFixed(CGFloat offset, bool isFixedToLower) : offset_(offset), isFixedToLower_(isFixedToLower) {}

    CGFloat offset() const { return offset_; }
    void setOffset(CGFloat offset) { offset_ = offset; }
    bool isFixedToLower() const { return isFixedToLower_; }
    void setIsFixedToLower(bool value) { isFixedToLower_ = value; }

    CGFloat positionForLowerBound(CGFloat lowerBound, CGFloat upperBound) const override;
    bool isEqualToConstraint(const CHTConstraints* other) const override;
    std::shared_ptr<CHTConstraints> copy() const override;
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

private:
    CGFloat offset_ = 0;
    bool isFixedToLower_ = true;
};

// At a fraction of the way from the lower to the upper bound.
class _CHTConstraintsRelative : public CHTConstraints {
public:
    explicit _CHTConstraintsRelative(CGFloat offset) : offset_(offset) {}

    CGFloat offset() const { return offset_; }
    void setOffset(CGFloat offset) { offset_ = offset; }

    CGFloat positionForLowerBound(CGFloat lowerBound, CGFloat upperBound) const override;
    bool isEqualToConstraint(const CHTConstraints* other) const override;
    std::shared_ptr<CHTConstraints> copy() const override;
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

private:
    CGFloat offset_ = 0;
};
