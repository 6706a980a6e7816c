#pragma once
// One callout of the workout screen's help overlay: a small bubble with a
// text, placed by the workout screen just below the control it explains.
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

private:
    std::shared_ptr<ui::Label> text_;
};
