#include "training/TestViewView.h"

#include "platform/gfx/Context.h"
#include "platform/ui/Drawing.h"

TestViewView::TestViewView(ui::Rect frame) : ui::View(frame) {
    setOpaque(false);
    setBackgroundColor(gfx::Color::clear());
}

void TestViewView::drawRect(gfx::Context& context, ui::Rect) {
    const auto b = bounds();
    const ui::Rect card(4, 2, b.size.width - 8, b.size.height - 8);
    constexpr ui::Float radius = 12;
    context.save();
    context.setShadow(gfx::Size(0, 3), 8, gfx::Color::rgb(0, 0, 0, 0.6f));
    ui::draw::fillRoundedRect(context, card, radius, gfx::Color::rgb(0.99f, 0.97f, 0.92f));
    context.restore();
    context.save();
    ui::draw::addRoundedRect(context, ui::Rect(card.origin.x, card.origin.y, card.size.width, kHeaderHeight), radius,
                             true, true, false, false);
    context.clip();
    ui::draw::fillVerticalGradient(context, ui::Rect(card.origin.x, card.origin.y, card.size.width, kHeaderHeight),
                                   gfx::Color::rgb(0.86f, 0.3f, 0.12f), gfx::Color::rgb(0.7f, 0.18f, 0.06f));
    context.restore();
    ui::draw::strokeRoundedRect(context, card, radius, gfx::Color::rgb(0.55f, 0.14f, 0.04f), 1);
}
