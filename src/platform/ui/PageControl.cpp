#include "platform/ui/PageControl.h"

#include <algorithm>

#include "platform/base/Format.h"
#include "platform/gfx/Context.h"
#include "platform/ui/Drawing.h"

namespace ui {

PageControl::PageControl() : PageControl(Rect(0, 0, 320, 36)) {}

PageControl::PageControl(Rect frame) : Control(frame) { setOpaque(false); }

void PageControl::setNumberOfPages(int pages) {
    pages_ = std::max(0, pages);
    current_ = std::clamp(current_, 0, std::max(0, pages_ - 1));
    displayed_ = current_;
    setNeedsDisplay();
}

void PageControl::setCurrentPage(int page) {
    current_ = std::clamp(page, 0, std::max(0, pages_ - 1));
    displayed_ = current_;
    setNeedsDisplay();
}

void PageControl::updateCurrentPageDisplay() {
    displayed_ = current_;
    setNeedsDisplay();
}

Size PageControl::sizeForNumberOfPages(int pages) const { return Size(std::max(0, pages) * 16.0f, 36); }

void PageControl::endTrackingWithTouch(const Touch& touch, const Event* event) {
    (void)event;
    if (pages_ < 2) return;
    Point p = touch.locationInView(this);
    if (!bounds().contains(p)) return;
    int page = current_ + (p.x < bounds().midX() ? -1 : 1);
    page = std::clamp(page, 0, pages_ - 1);
    if (page == current_) return;
    current_ = page;
    if (!defers_) displayed_ = page;
    setNeedsDisplay();
    sendActionsForControlEvents(ControlEvents::ValueChanged);
}

void PageControl::drawRect(gfx::Context& ctx, Rect rect) {
    (void)rect;
    if (pages_ == 0 || (hidesForSinglePage_ && pages_ == 1)) return;
    Rect b = bounds();
    Float spacing = 16, d = 7;
    Float x = b.midX() - (pages_ * spacing) / 2 + (spacing - d) / 2;
    for (int i = 0; i < pages_; ++i) {
        ctx.setFillColor(i == displayed_ ? gfx::Color::white() : gfx::Color::white().withAlpha(0.35f));
        ctx.fillEllipseInRect(Rect(x + i * spacing, b.midY() - d / 2, d, d));
    }
}

std::string PageControl::accessibleName() const {
    if (!accessibilityLabel().empty()) return accessibilityLabel();
    return base::format("Page %d of %d", current_ + 1, pages_);
}

}  // namespace ui
