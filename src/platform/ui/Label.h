#pragma once
// A label: read-only text in a font and colour, aligned, on one or more
// lines, with an optional shadow; can shrink its font to fit one line.
#include <string>

#include "platform/gfx/Font.h"
#include "platform/ui/View.h"

namespace ui {

class Label : public View {
public:
    Label();
    explicit Label(Rect frame);
    std::string className() const override { return "Label"; }

    const std::string& text() const { return text_; }
    void setText(std::string text);
    const gfx::Font& font() const { return font_; }
    void setFont(gfx::Font font);
    gfx::Color textColor() const { return textColor_; }
    void setTextColor(gfx::Color color);
    gfx::Color highlightedTextColor() const { return highlightedTextColor_; }
    void setHighlightedTextColor(gfx::Color color);
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted);
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled);
    TextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(TextAlignment alignment);
    // 0 = as many lines as fit.
    int numberOfLines() const { return lines_; }
    void setNumberOfLines(int lines);
    LineBreakMode lineBreakMode() const { return lineBreak_; }
    void setLineBreakMode(LineBreakMode mode);
    // No shadow unless a colour is set.
    std::optional<gfx::Color> shadowColor() const { return shadowColor_; }
    void setShadowColor(std::optional<gfx::Color> color);
    Size shadowOffset() const { return shadowOffset_; }
    void setShadowOffset(Size offset);
    bool adjustsFontSizeToFitWidth() const { return adjustsFontSize_; }
    void setAdjustsFontSizeToFitWidth(bool adjusts);
    Float minimumFontSize() const { return minimumFontSize_; }
    void setMinimumFontSize(Float size) {
        minimumFontSize_ = size;
        setNeedsDisplay();
    }

    // The font actually drawn with (shrunk when adjusting to fit).
    gfx::Font effectiveFont() const;
    Size sizeThatFits(Size size) const override;
    // The rect the text is drawn in within bounds (vertically centred).
    virtual Rect textRectForBounds(Rect bounds, int numberOfLines) const;
    void drawRect(gfx::Context& context, Rect rect) override;
    std::string displayedText() const override { return text_; }

private:
    std::string text_;
    gfx::Font font_;
    gfx::Color textColor_;
    gfx::Color highlightedTextColor_;
    std::optional<gfx::Color> shadowColor_;
    Size shadowOffset_{0, -1};
    TextAlignment alignment_ = TextAlignment::Left;
    LineBreakMode lineBreak_ = LineBreakMode::TailTruncation;
    int lines_ = 1;
    bool adjustsFontSize_ = false;
    bool highlighted_ = false;
    bool enabled_ = true;
    Float minimumFontSize_ = 0;
};

}  // namespace ui
