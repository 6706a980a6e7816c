#pragma once
// The fill that paints with one CHTGradient (private; archives as CHTFill).
#include <memory>

#include "charts/CHTFill.h"
#include "charts/CHTGradient.h"

class _CHTFillGradient : public CHTFill {
public:
    explicit _CHTFillGradient(std::shared_ptr<CHTGradient> fillGradient);

    const std::shared_ptr<CHTGradient>& fillGradient() const { return fillGradient_; }
    // Keeps a copy.
    void setFillGradient(const std::shared_ptr<CHTGradient>& fillGradient);

    void fillRect(const gfx::Rect& rect, gfx::Context& context) const override;
    void fillPathInContext(gfx::Context& context) const override;
    std::shared_ptr<CHTFill> copy() const override;

    void encodeWithCoder(base::KeyedArchiver& coder) const override;

private:
    std::shared_ptr<CHTGradient> fillGradient_;
};
