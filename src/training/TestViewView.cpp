#include "training/TestViewView.h"

#include "platform/gfx/Context.h"

TestViewView::TestViewView(ui::Rect frame) : ui::View(frame) {}

void TestViewView::drawRect(gfx::Context& context, ui::Rect) {
    const auto b = bounds();
    context.setLineWidth(1);
    context.setRGBStrokeColor(1.0f, 0.1f, 0.0f, 1.0f);
    context.strokeRect(ui::Rect(1, 1, b.size.width - 1, b.size.height - 1));
}
