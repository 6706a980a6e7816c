#include "training/TodayView.h"

#include <array>

#include "platform/base/Format.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Text.h"
#include "training/DataAccess.h"
#include "training/LookPalette.h"
#include "training/Program.h"
#include "training/Utility.h"

std::string TodayView::countsText(int week, int day, const std::array<int, 5>& r) {
    const int doubled = Program::doubledSets(week, day);
    if (doubled == 0) return base::format("%i, %i, %i, %i, %i", r[0], r[1], r[2], r[3], r[4]);
    // A day with doubled sets lists them closer, so that the longer line fits.
    std::string text;
    for (int i = 0; i < 5; ++i) {
        if (i) text += ",";
        text += base::format(i < doubled ? "%i(x2)" : "%i", r[static_cast<std::size_t>(i)]);
    }
    return text;
}

gfx::Font TodayView::countsFont(int week, int day) {
    // More than three doubled sets take the smaller size to fit the line.
    return gfx::Font("Georgia", Program::doubledSets(week, day) > 3 ? 20 : 22);
}

void TodayView::drawRect(gfx::Context& context, ui::Rect rect) {
    (void)rect;
    const int day = Utility::GetDay();
    const int week = Utility::GetWeek();
    const auto row = DataAccess::getProgram(day, week, Utility::getLevel());
    if (!row) return;  // the plan cannot be read (reported): no counts rather than zeros
    const std::string text = countsText(week, day, {row->rep1(), row->rep2(), row->rep3(), row->rep4(), row->rep5()});
    const gfx::Font font = countsFont(week, day);
    const ui::Float x = (bounds().size.width - gfx::measureText(text, font).width) * 0.5f;
    const gfx::Color shadow = gfx::Color::gray(0.33f);
    const gfx::Color orange = lookpalette::todayOrange();
    // Two lines a line's height apart, so that they do not touch.
    const ui::Float second = 3 + gfx::measureText("Today:", font).height + 2;
    context.setFillColor(shadow);
    gfx::drawText(context, "Today:", gfx::Point(x, 3), font);
    gfx::drawText(context, text, gfx::Point(x, second), font);
    context.setFillColor(orange);
    gfx::drawText(context, "Today:", gfx::Point(x + 1, 4), font);
    gfx::drawText(context, text, gfx::Point(x + 1, second + 1), font);
}
