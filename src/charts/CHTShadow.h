#pragma once
// The shadow under what a layer or symbol draws: offset, blur radius and
// colour. Immutable; CHTMutableShadow makes the setters public.
#include <memory>
#include <string>

#include "charts/CHTColor.h"
#include "platform/base/KeyedArchiver.h"
#include "platform/gfx/Context.h"

class CHTMutableShadow;

class CHTShadow : public base::Coding {
public:
    // Zero offset, no blur, no colour (no shadow).
    CHTShadow() = default;
    static std::shared_ptr<CHTMutableShadow> shadow();

    gfx::Size shadowOffset() const { return shadowOffset_; }
    CGFloat shadowBlurRadius() const { return shadowBlurRadius_; }
    const std::shared_ptr<CHTColor>& shadowColor() const { return shadowColor_; }

    // Sets the context's shadow; a shadow without colour switches it off.
    void setShadowInContext(gfx::Context& context) const;

    std::shared_ptr<CHTShadow> copy() const;
    std::shared_ptr<CHTMutableShadow> mutableCopy() const;

    std::string classForCoder() const override { return "CHTShadow"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

protected:
    void setShadowOffset(gfx::Size offset) { shadowOffset_ = offset; }
    // A negative radius is reported to the assertion handler and not kept.
    void setShadowBlurRadius(CGFloat newShadowBlurRadius);
    void setShadowColor(std::shared_ptr<CHTColor> color) { shadowColor_ = std::move(color); }
    void copyFieldsTo(CHTShadow& other) const;

private:
    gfx::Size shadowOffset_;
    CGFloat shadowBlurRadius_ = 0;
    std::shared_ptr<CHTColor> shadowColor_;
};
