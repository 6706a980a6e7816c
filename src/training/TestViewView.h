#pragma once
// The panel of the week-test overlay: a light card with rounded corners, a
// red header band behind its title and a soft shadow, so that it stands out
// from the dimmed home screen behind it.
#include "platform/ui/View.h"

class TestViewView : public ui::View {
public:
    // The height of the red band at the panel's top.
    static constexpr ui::Float kHeaderHeight = 46;

    explicit TestViewView(ui::Rect frame);
    std::string className() const override { return "TestViewView"; }
    void drawRect(gfx::Context& context, ui::Rect rect) override;
};
