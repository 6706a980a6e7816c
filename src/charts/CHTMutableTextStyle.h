#pragma once
// The writable twin of CHTTextStyle.
#include "charts/CHTTextStyle.h"

class CHTMutableTextStyle : public CHTTextStyle {
public:
    CHTMutableTextStyle() = default;
    std::string classForCoder() const override { return "CHTMutableTextStyle"; }

    using CHTTextStyle::setColor;
    using CHTTextStyle::setFontName;
    using CHTTextStyle::setFontSize;
    using CHTTextStyle::setTextAlignment;
};
