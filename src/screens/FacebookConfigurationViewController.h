#pragma once
// An option screen with one switch: whether updates go to Facebook
// (settingskeys::kPostToFaceBook). No menu opens it.
#include <memory>

#include "platform/ui/Label.h"
#include "platform/ui/Switch.h"
#include "platform/ui/ViewController.h"

class FacebookConfigurationViewController : public ui::ViewController {
public:
    FacebookConfigurationViewController();

    std::shared_ptr<ui::Switch> postUpdates() const { return postUpdates_; }
    std::shared_ptr<ui::Label> label() const { return label_; }
    std::shared_ptr<ui::Label> permissionLabel() const { return permissionLabel_; }

    void loadView() override;
    // The switch shows the setting; the bar shows the screen's title.
    void viewDidLoad() override;
    // Writes the switch's state and saves the settings at once.
    void switchToggled();

private:
    std::shared_ptr<ui::Switch> postUpdates_;
    std::shared_ptr<ui::Label> label_;
    std::shared_ptr<ui::Label> permissionLabel_;
};
