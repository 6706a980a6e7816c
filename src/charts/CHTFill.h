#pragma once
// What paints an area of a chart. The public class makes and decodes fills;
// the private subclasses _CHTFillColor, _CHTFillGradient and _CHTFillImage
// paint with a colour, a gradient or an image, and archive as CHTFill.
#include <memory>
#include <string>

#include "platform/base/KeyedArchiver.h"
#include "platform/gfx/Context.h"

class CHTColor;
class CHTGradient;
class CHTImage;

class CHTFill : public base::Coding {
public:
    CHTFill() = default;

    static std::shared_ptr<CHTFill> fillWithColor(const std::shared_ptr<CHTColor>& color);
    static std::shared_ptr<CHTFill> fillWithGradient(const std::shared_ptr<CHTGradient>& gradient);
    static std::shared_ptr<CHTFill> fillWithImage(const std::shared_ptr<CHTImage>& image);

    // Abstract operations: nothing in the base.
    virtual void fillRect(const gfx::Rect& rect, gfx::Context& context) const;
    virtual void fillPathInContext(gfx::Context& context) const;

    // nullptr for the plain fill.
    virtual std::shared_ptr<CHTFill> copy() const;

    std::string classForCoder() const override { return "CHTFill"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    // Picks the subclass from the keys present; the plain fill without any.
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;
};
