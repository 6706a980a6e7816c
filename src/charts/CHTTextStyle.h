#pragma once
// How chart text looks: font name and size, colour and alignment. Immutable;
// CHTMutableTextStyle makes the setters public.
#include <memory>
#include <string>

#include "charts/CHTColor.h"
#include "platform/base/KeyedArchiver.h"
#include "platform/gfx/Text.h"

class CHTMutableTextStyle;

class CHTTextStyle : public base::Coding {
public:
    // "Helvetica" 12, black, left aligned.
    CHTTextStyle();
    static std::shared_ptr<CHTMutableTextStyle> textStyle();

    const std::string& fontName() const { return fontName_; }
    CGFloat fontSize() const { return fontSize_; }
    const std::shared_ptr<CHTColor>& color() const { return color_; }
    gfx::TextAlignment textAlignment() const { return textAlignment_; }

    // The platform font of the style's name and size.
    gfx::Font font() const;

    std::shared_ptr<CHTTextStyle> copy() const;
    std::shared_ptr<CHTMutableTextStyle> mutableCopy() const;

    std::string classForCoder() const override { return "CHTTextStyle"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

protected:
    void setFontName(std::string name) { fontName_ = std::move(name); }
    void setFontSize(CGFloat size) { fontSize_ = size; }
    // Keeps a copy.
    void setColor(const std::shared_ptr<CHTColor>& color) { color_ = color ? color->copy() : nullptr; }
    void setTextAlignment(gfx::TextAlignment alignment) { textAlignment_ = alignment; }
    void copyFieldsTo(CHTTextStyle& other) const;

private:
    std::string fontName_ = "Helvetica";
    CGFloat fontSize_ = 12;
    std::shared_ptr<CHTColor> color_;
    gfx::TextAlignment textAlignment_ = gfx::TextAlignment::Left;
};
