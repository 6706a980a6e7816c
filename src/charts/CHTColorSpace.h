#pragma once
// A colour space of the charts. Its one shared instance, the generic RGB
// space, is the space of every colour made from components.
#include <memory>
#include <string>

#include "platform/base/KeyedArchiver.h"
#include "platform/gfx/ColorSpace.h"

class CHTColorSpace : public base::Coding {
public:
    // Device RGB.
    CHTColorSpace();
    explicit CHTColorSpace(std::shared_ptr<const gfx::ColorSpace> space);
    static std::shared_ptr<CHTColorSpace> initWithCGColorSpace(std::shared_ptr<const gfx::ColorSpace> space);

    // The shared device RGB space, made on first use and never released.
    static std::shared_ptr<CHTColorSpace> genericRGBSpace();

    const std::shared_ptr<const gfx::ColorSpace>& cgColorSpace() const { return space_; }
    // Both setters keep the space (it is shared); nothing when it is the same.
    void setCgColorSpace(std::shared_ptr<const gfx::ColorSpace> space);
    void setCGColorSpace(std::shared_ptr<const gfx::ColorSpace> space);

    std::string classForCoder() const override { return "CHTColorSpace"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

private:
    std::shared_ptr<const gfx::ColorSpace> space_;
};
