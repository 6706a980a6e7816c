#pragma once
// The fill that paints with one CHTImage (private; archives as CHTFill).
#include <memory>

#include "charts/CHTFill.h"
#include "charts/CHTImage.h"

class _CHTFillImage : public CHTFill {
public:
    explicit _CHTFillImage(std::shared_ptr<CHTImage> fillImage);

    const std::shared_ptr<CHTImage>& fillImage() const { return fillImage_; }
    // Keeps a copy.
    void setFillImage(const std::shared_ptr<CHTImage>& fillImage);

    void fillRect(const gfx::Rect& rect, gfx::Context& context) const override;
    void fillPathInContext(gfx::Context& context) const override;
    std::shared_ptr<CHTFill> copy() const override;

    void encodeWithCoder(base::KeyedArchiver& coder) const override;

private:
    std::shared_ptr<CHTImage> fillImage_;
};
