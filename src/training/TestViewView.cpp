#include "training/TestViewView.h"

#include "platform/gfx/Context.h"
#include "platform/ui/Drawing.h"
#include "training/LookPalette.h"

TestViewView::TestViewView(ui::Rect frame) : ui::View(frame) {
    setOpaque(false);
    setBackgroundColor(gfx::Color::clear());
}

void TestViewView::drawRect(gfx::Context& context, ui::Rect) {
    const auto b = bounds();
    const ui::Rect card(4, 2, b.size.width - 8, b.size.height - 8);
    constexpr ui::Float radius = 12;
    {
        gfx::SavedState saved(context);
        context.setShadow(gfx::Size(0, 3), 8, lookpalette::dropShadow());
        ui::draw::fillRoundedRect(context, card, radius, lookpalette::testCard());
    }
    {
        gfx::SavedState saved(context);
        ui::draw::addRoundedRect(context, ui::Rect(card.origin.x, card.origin.y, card.size.width, kHeaderHeight),
                                 radius, true, true, false, false);
        context.clip();
        ui::draw::fillVerticalGradient(context, ui::Rect(card.origin.x, card.origin.y, card.size.width, kHeaderHeight),
                                       lookpalette::testHeaderTop(), lookpalette::testHeaderBottom());
    }
    ui::draw::strokeRoundedRect(context, card, radius, lookpalette::testCardEdge(), 1);
}
