#include "charts/CHTTextStyle.h"

#include "charts/CHTCoderExtensions.h"
#include "charts/CHTMutableTextStyle.h"

CHTTextStyle::CHTTextStyle() : color_(CHTColor::blackColor()) {}

std::shared_ptr<CHTMutableTextStyle> CHTTextStyle::textStyle() { return std::make_shared<CHTMutableTextStyle>(); }

gfx::Font CHTTextStyle::font() const { return gfx::Font(fontName_, fontSize_); }

void CHTTextStyle::copyFieldsTo(CHTTextStyle& other) const {
    other.fontName_ = fontName_;
    other.fontSize_ = fontSize_;
    other.color_ = color_ ? color_->copy() : nullptr;
    other.textAlignment_ = textAlignment_;
}

std::shared_ptr<CHTTextStyle> CHTTextStyle::copy() const {
    auto s = std::make_shared<CHTTextStyle>();
    copyFieldsTo(*s);
    return s;
}

std::shared_ptr<CHTMutableTextStyle> CHTTextStyle::mutableCopy() const {
    auto s = std::make_shared<CHTMutableTextStyle>();
    copyFieldsTo(*s);
    return s;
}

void CHTTextStyle::encodeWithCoder(base::KeyedArchiver& coder) const {
    coder.encodeString(fontName_, "CHTTextStyle.fontName");
    encodeCGFloat(coder, fontSize_, "CHTTextStyle.fontSize");
    coder.encodeObject(color_, "CHTTextStyle.color");
    coder.encodeInteger(static_cast<long long>(textAlignment_), "CHTTextStyle.textAlignment");
}

std::shared_ptr<base::Coding> CHTTextStyle::initWithCoder(base::KeyedUnarchiver& coder) {
    fontName_ = coder.decodeString("CHTTextStyle.fontName");
    fontSize_ = decodeCGFloat(coder, "CHTTextStyle.fontSize");
    auto color = coder.decodeObjectOfType<CHTColor>("CHTTextStyle.color");
    color_ = color ? color->copy() : nullptr;
    long long alignment = coder.decodeInteger("CHTTextStyle.textAlignment");
    textAlignment_ =
        alignment >= 0 && alignment <= 2 ? static_cast<gfx::TextAlignment>(alignment) : gfx::TextAlignment::Left;
    return nullptr;
}
