#pragma once
// The panel of the week-test overlay: a light card with a thin red frame.
#include "platform/ui/View.h"

class TestViewView : public ui::View {
public:
    explicit TestViewView(ui::Rect frame);
    std::string className() const override { return "TestViewView"; }
    // Strokes the rectangle at (1, 1) of the view's width and height less one,
    // one point wide, in RGBA (1.0, 0.1, 0.0, 1.0).
    void drawRect(gfx::Context& context, ui::Rect rect) override;
};
