#include "training/HelpViewController.h"

#include "platform/gfx/Context.h"
#include "platform/ui/Drawing.h"
#include "training/WorkoutLook.h"

namespace {
// The bubble: a rounded panel with a small arrow at its top pointing up to
// the control it explains.
class CalloutView : public ui::View {
public:
    using ui::View::View;
    std::string className() const override { return "HelpView"; }
    void drawRect(gfx::Context& context, ui::Rect rect) override {
        (void)rect;
        const ui::Rect b = bounds();
        const ui::Rect panel(1, 8, b.size.width - 2, b.size.height - 9);
        const gfx::Color fill = gfx::Color::rgb(1, 0.97f, 0.86f, 0.97f);
        context.save();
        context.setShadow(gfx::Size(0, 2), 4, gfx::Color::rgb(0, 0, 0, 0.5f));
        ui::draw::fillRoundedRect(context, panel, 8, fill);
        context.restore();
        context.beginPath();
        const ui::Float mid = 24;
        context.moveTo(mid - 8, 9);
        context.lineTo(mid, 1);
        context.lineTo(mid + 8, 9);
        context.closePath();
        context.setFillColor(fill);
        context.fillPath();
        ui::draw::strokeRoundedRect(context, panel, 8, workoutlook::accent(), 1.5f);
    }
};
}  // namespace

HelpViewController::HelpViewController() : ui::ViewController("HelpView") {}

std::shared_ptr<ui::Label> HelpViewController::text() {
    view();
    return text_;
}

void HelpViewController::loadView() {
    auto view = std::make_shared<CalloutView>(ui::Rect(0, 0, 270, 58));
    view->setOpaque(false);
    view->setBackgroundColor(gfx::Color::clear());
    view->setUserInteractionEnabled(false);
    view->setAutoresizesSubviews(true);
    text_ = workoutlook::label(ui::Rect(10, 10, 250, 46), "Tap any set to change the number of pushups",
                               gfx::Font::boldSystemFont(13), gfx::Color::rgb(0.25f, 0.16f, 0.1f));
    text_->setNumberOfLines(0);
    text_->setAutoresizingMask(ui::Autoresizing::FlexibleWidth | ui::Autoresizing::FlexibleHeight);
    view->addSubview(text_);
    setView(view);
}
