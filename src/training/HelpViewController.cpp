#include "training/HelpViewController.h"

#include <algorithm>
#include <cmath>

#include "platform/gfx/Text.h"

#include "platform/gfx/Context.h"
#include "platform/ui/Drawing.h"
#include "training/LookPalette.h"
#include "training/WorkoutLook.h"

namespace {
constexpr ui::Float kArrow = 8;    // the arrow's height
constexpr ui::Float kPadding = 7;  // around the text, inside the panel

// The bubble: a rounded panel with a small arrow at its top (or bottom)
// pointing to the control it explains.
class CalloutView : public ui::View {
public:
    using ui::View::View;
    std::string className() const override { return "HelpView"; }
    ui::Float arrowX = 24;
    bool pointsDown = false;
    void drawRect(gfx::Context& context, ui::Rect rect) override {
        (void)rect;
        const ui::Rect b = bounds();
        const ui::Float top = pointsDown ? 1 : kArrow;
        const ui::Rect panel(3, top, b.size.width - 6, b.size.height - kArrow - 4);
        const gfx::Color fill = lookpalette::noteFill();
        {
            gfx::SavedState saved(context);
            context.setShadow(gfx::Size(0, 2), 5, lookpalette::noteShadow());
            ui::draw::fillRoundedRect(context, panel, 9, fill);
        }
        context.beginPath();
        if (pointsDown) {
            const ui::Float base = panel.origin.y + panel.size.height - 1;
            context.moveTo(arrowX - 8, base);
            context.lineTo(arrowX, base + kArrow);
            context.lineTo(arrowX + 8, base);
        } else {
            context.moveTo(arrowX - 8, kArrow + 1);
            context.lineTo(arrowX, 1);
            context.lineTo(arrowX + 8, kArrow + 1);
        }
        context.closePath();
        context.setFillColor(fill);
        context.fillPath();
    }
};
}  // namespace

HelpViewController::HelpViewController() : ui::ViewController("HelpView") {}

std::shared_ptr<ui::Label> HelpViewController::text() {
    view();
    return text_;
}

void HelpViewController::loadView() {
    auto view = std::make_shared<CalloutView>(ui::Rect(0, 0, 270, 60));
    view->setOpaque(false);
    view->setBackgroundColor(gfx::Color::clear());
    view->setUserInteractionEnabled(false);
    view->setAutoresizesSubviews(true);
    text_ = workoutlook::label(ui::Rect(kPadding + 3, kArrow + kPadding - 2, 270 - 2 * kPadding - 6, 40),
                               "Tap any set to change the number of pushups", gfx::Font::boldSystemFont(13),
                               lookpalette::noteInk());
    text_->setNumberOfLines(0);
    text_->setAutoresizingMask(ui::Autoresizing::FlexibleWidth | ui::Autoresizing::FlexibleHeight);
    view->addSubview(text_);
    setView(view);
}

void HelpViewController::placeAt(ui::Rect target, ui::Rect bounds, ui::Float width, ui::Float preferredX) {
    auto callout = std::static_pointer_cast<CalloutView>(view());
    const ui::Float textWidth = width - 2 * kPadding - 6;
    const gfx::Size need = gfx::measureText(text_->text(), text_->font(), gfx::Size(textWidth, 400));
    const ui::Float height = std::ceil(need.height) + 2 * kPadding + kArrow + 2;
    const ui::Float margin = 6;
    ui::Float x =
        std::clamp(preferredX, bounds.origin.x + margin, bounds.origin.x + bounds.size.width - width - margin);
    const ui::Float below = target.origin.y + target.size.height + 2;
    const bool roomBelow = below + height <= bounds.origin.y + bounds.size.height - margin;
    const ui::Float y = roomBelow ? below : target.origin.y - height - 2;
    callout->pointsDown = !roomBelow;
    const ui::Float aim = target.origin.x + std::min<ui::Float>(target.size.width / 2, 28);
    callout->arrowX = std::clamp(aim - x, ui::Float(18), width - 18);
    callout->setFrame(ui::Rect(x, y, width, height));
    text_->setFrame(
        ui::Rect(kPadding + 3, (roomBelow ? kArrow : 1) + kPadding - 1, textWidth, std::ceil(need.height) + 2));
    callout->setNeedsDisplay();
}
