#pragma once
// The fill that paints with one CHTColor (private; archives as CHTFill).
#include <memory>

#include "charts/CHTFill.h"
#include "charts/CHTColor.h"

class _CHTFillColor : public CHTFill {
public:
    explicit _CHTFillColor(std::shared_ptr<CHTColor> fillColor);

    const std::shared_ptr<CHTColor>& fillColor() const { return fillColor_; }
    // Keeps a copy.
    void setFillColor(const std::shared_ptr<CHTColor>& fillColor);

    void fillRect(const gfx::Rect& rect, gfx::Context& context) const override;
    void fillPathInContext(gfx::Context& context) const override;
    std::shared_ptr<CHTFill> copy() const override;

    void encodeWithCoder(base::KeyedArchiver& coder) const override;

private:
    std::shared_ptr<CHTColor> fillColor_;
};
