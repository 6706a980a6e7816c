#pragma once
// A chart layer that shows one string in one text style and sizes itself to
// it (plus room for its shadow).
#include <memory>
#include <optional>
#include <string>

#include "charts/CHTLayer.h"
#include "charts/CHTTextStyle.h"

class CHTTextLayer : public CHTLayer {
public:
    CHTTextLayer();
    // With a new default style when none is given.
    explicit CHTTextLayer(const std::string& text, std::shared_ptr<CHTTextStyle> style = nullptr);
    static std::shared_ptr<CHTTextLayer> initWithText(const std::string& text,
                                                      std::shared_ptr<CHTTextStyle> style = nullptr);

    const std::string& text() const { return text_; }
    // Resizes (also for an equal text).
    void setText(const std::string& text);
    const std::shared_ptr<CHTTextStyle>& textStyle() const { return textStyle_; }
    // Resizes when a different object.
    void setTextStyle(const std::shared_ptr<CHTTextStyle>& style);
    void setShadow(const std::shared_ptr<const CHTShadow>& shadow) override;
    void textStyleDidChange() { sizeToFit(); }

    // The text's size plus 1 point and the shadow's reach on every side,
    // rounded up; zero without text.
    gfx::Size sizeThatFits() const;
    // Bounds of that size (origin kept); nothing without text.
    void sizeToFit();

    void renderAsVectorInContext(gfx::Context& context) override;
    std::string description() const override;

    std::string classForCoder() const override { return "CHTTextLayer"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

private:
    // Room on each side: 1 point plus the shadow's offset and blur.
    gfx::Size margins() const;

    std::string text_;
    std::shared_ptr<CHTTextStyle> textStyle_;
};
