#pragma once
// One callout of the workout screen's help overlay: a small bubble with a
// text, placed by the workout screen next to the control it explains, its
// arrow pointing at it.
#include <memory>

#include "platform/ui/Label.h"
#include "platform/ui/ViewController.h"

class HelpViewController : public ui::ViewController {
public:
    HelpViewController();

    // The callout's text (its label).
    std::shared_ptr<ui::Label> text();
    void setText(std::shared_ptr<ui::Label> label) { text_ = std::move(label); }

    void loadView() override;

    // Places the callout, width points wide and as tall as its text needs,
    // below the target (above it when there is no room below), inside a
    // view of the given bounds and clear of the target itself.
    void placeAt(ui::Rect target, ui::Rect bounds, ui::Float width, ui::Float preferredX);

private:
    std::shared_ptr<ui::Label> text_;
};
