#pragma once
// A small view that draws today's planned sets ("Today:" and the five
// counts, the doubled sets marked "(x2)") from the plan position, with a
// dark shadow under orange text.
#include <array>
#include <string>

#include "platform/gfx/Font.h"
#include "platform/ui/View.h"

class TodayView : public ui::View {
public:
    using ui::View::View;
    std::string className() const override { return "TodayView"; }

    void drawRect(gfx::Context& context, ui::Rect rect) override;

    // The line of counts drawn for the plan row's sets on the day of the
    // week, and the font it is drawn in.
    static std::string countsText(int week, int day, const std::array<int, 5>& reps);
    static gfx::Font countsFont(int week, int day);
};
