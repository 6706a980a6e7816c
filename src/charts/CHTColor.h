#pragma once
// The immutable colour value of the charts: one platform colour, with shared
// named colours and factories by components (all in the generic RGB space).
#include <cstdint>
#include <memory>
#include <string>

#include "charts/CHTUtilities.h"
#include "platform/base/KeyedArchiver.h"
#include "platform/gfx/Color.h"

class CHTColor : public base::Coding {
public:
    // Opaque black.
    CHTColor();
    explicit CHTColor(const gfx::Color& color);
    CHTColor(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha);

    static std::shared_ptr<CHTColor> colorWithCGColor(const gfx::Color& color);
    static std::shared_ptr<CHTColor> colorWithComponentRed(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha);
    // red = green = blue = gray, alpha 1.
    static std::shared_ptr<CHTColor> colorWithGenericGray(CGFloat gray);

    // Shared named colours, made on first use.
    static std::shared_ptr<CHTColor> blackColor();
    static std::shared_ptr<CHTColor> darkGrayColor();
    static std::shared_ptr<CHTColor> grayColor();
    static std::shared_ptr<CHTColor> lightGrayColor();
    static std::shared_ptr<CHTColor> whiteColor();
    static std::shared_ptr<CHTColor> clearColor();
    static std::shared_ptr<CHTColor> redColor();
    static std::shared_ptr<CHTColor> greenColor();
    static std::shared_ptr<CHTColor> blueColor();
    static std::shared_ptr<CHTColor> cyanColor();
    static std::shared_ptr<CHTColor> yellowColor();
    static std::shared_ptr<CHTColor> magentaColor();
    static std::shared_ptr<CHTColor> orangeColor();
    static std::shared_ptr<CHTColor> purpleColor();
    static std::shared_ptr<CHTColor> brownColor();

    // The same colour with another alpha.
    std::shared_ptr<CHTColor> colorWithAlphaComponent(CGFloat alpha) const;

    const gfx::Color& cgColor() const { return color_; }

    // Same object, or a colour (of this class or a subclass) with the same
    // space and components.
    bool isEqual(const base::Coding* other) const;
    // The components weighted by powers of 256, in 64 bits.
    std::uint64_t hash() const;
    std::shared_ptr<CHTColor> copy() const;
    std::string description() const;

    std::string classForCoder() const override { return "CHTColor"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

private:
    gfx::Color color_;
};
