#pragma once
// The background of a cell in a grouped list: a fill with a hairline edge,
// its outer corners rounded by the cell's place in the group (top, middle,
// bottom, or alone).
#include <utility>

#include "platform/gfx/Color.h"
#include "platform/gfx/Context.h"
#include "platform/ui/View.h"

// Adds to the context's path a rectangle with corners of radius 10, from
// the middle of its right side round all four corners. The context's state
// is kept; the path stays.
void addRoundedCellPath(gfx::Context& context, ui::Rect rect);

class CustomCellBackgroundView : public ui::View {
public:
    enum Position { Top = 0, Middle = 1, Bottom = 2, Single = 3 };

    CustomCellBackgroundView();
    explicit CustomCellBackgroundView(ui::Rect frame);
    std::string className() const override { return "CustomCellBackgroundView"; }

    gfx::Color borderColor() const { return borderColor_; }
    void setBorderColor(gfx::Color color) {
        borderColor_ = std::move(color);
        setNeedsDisplay();
    }
    gfx::Color fillColor() const { return fillColor_; }
    void setFillColor(gfx::Color color) {
        fillColor_ = std::move(color);
        setNeedsDisplay();
    }
    // 0 top, 1 middle, 2 bottom, any other value a cell standing alone.
    int position() const { return position_; }
    void setPosition(int position) {
        position_ = position;
        setNeedsDisplay();
    }

    void drawRect(gfx::Context& context, ui::Rect rect) override;

private:
    gfx::Color borderColor_ = gfx::Color::gray(0.67f);
    gfx::Color fillColor_ = gfx::Color::white();
    int position_ = Single;
};
