#include "charts/CHTFill.h"

#include "charts/CHTColor.h"
#include "charts/CHTGradient.h"
#include "charts/CHTImage.h"
#include "charts/_CHTFillColor.h"
#include "charts/_CHTFillGradient.h"
#include "charts/_CHTFillImage.h"

std::shared_ptr<CHTFill> CHTFill::fillWithColor(const std::shared_ptr<CHTColor>& color) {
    return std::make_shared<_CHTFillColor>(color);
}

std::shared_ptr<CHTFill> CHTFill::fillWithGradient(const std::shared_ptr<CHTGradient>& gradient) {
    return std::make_shared<_CHTFillGradient>(gradient);
}

std::shared_ptr<CHTFill> CHTFill::fillWithImage(const std::shared_ptr<CHTImage>& image) {
    return std::make_shared<_CHTFillImage>(image);
}

void CHTFill::fillRect(const gfx::Rect&, gfx::Context&) const {}

void CHTFill::fillPathInContext(gfx::Context&) const {}

std::shared_ptr<CHTFill> CHTFill::copy() const { return nullptr; }

void CHTFill::encodeWithCoder(base::KeyedArchiver&) const {}

std::shared_ptr<base::Coding> CHTFill::initWithCoder(base::KeyedUnarchiver& coder) {
    if (coder.containsValueForKey("_CHTFillColor.fillColor"))
        return fillWithColor(coder.decodeObjectOfType<CHTColor>("_CHTFillColor.fillColor"));
    if (coder.containsValueForKey("_CHTFillGradient.fillGradient"))
        return fillWithGradient(coder.decodeObjectOfType<CHTGradient>("_CHTFillGradient.fillGradient"));
    if (coder.containsValueForKey("_CHTFillImage.fillImage"))
        return fillWithImage(coder.decodeObjectOfType<CHTImage>("_CHTFillImage.fillImage"));
    return nullptr;
}
