#pragma once
// The writable twin of CHTShadow.
#include "charts/CHTShadow.h"

class CHTMutableShadow : public CHTShadow {
public:
    CHTMutableShadow() = default;
    std::string classForCoder() const override { return "CHTMutableShadow"; }

    using CHTShadow::setShadowBlurRadius;
    using CHTShadow::setShadowColor;
    using CHTShadow::setShadowOffset;
};
