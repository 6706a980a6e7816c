#pragma once
// The writable twin of CHTLineStyle: the same style with public setters.
#include "charts/CHTLineStyle.h"

class CHTMutableLineStyle : public CHTLineStyle {
public:
    CHTMutableLineStyle() = default;
    std::string classForCoder() const override { return "CHTMutableLineStyle"; }

    using CHTLineStyle::setDashPattern;
    using CHTLineStyle::setLineCap;
    using CHTLineStyle::setLineColor;
    using CHTLineStyle::setLineJoin;
    using CHTLineStyle::setLineWidth;
    using CHTLineStyle::setMiterLimit;
    using CHTLineStyle::setPatternPhase;
};
