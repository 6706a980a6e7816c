#pragma once
// The grid lines of one axis, for an axis that keeps them in a layer of its
// own (separate layers).
#include <memory>

#include "charts/CHTLayer.h"

class CHTAxis;

class CHTGridLines : public CHTLayer {
public:
    explicit CHTGridLines(const gfx::Rect& frame = gfx::Rect::zero());

    std::shared_ptr<CHTAxis> axis() const { return axis_.lock(); }
    // Not owned; a change redisplays.
    void setAxis(const std::shared_ptr<CHTAxis>& axis);
    bool isMajor() const { return major_; }
    void setMajor(bool major);

    void renderAsVectorInContext(gfx::Context& context) override;

    std::string classForCoder() const override { return "CHTGridLines"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

    static void registerCodingClass();

private:
    std::weak_ptr<CHTAxis> axis_;
    bool major_ = false;
};
