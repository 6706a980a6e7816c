#include "screens/FacebookConfigurationViewController.h"

#include "platform/base/UserDefaults.h"
#include "platform/ui/NavigationController.h"
#include "screens/ScreenAction.h"
#include "training/HomeLook.h"
#include "training/SettingsKeys.h"

namespace {
constexpr const char* kPostKey = settingskeys::kPostToFaceBook;
}

FacebookConfigurationViewController::FacebookConfigurationViewController()
    : ui::ViewController("FacebookConfigurationViewController") {}

void FacebookConfigurationViewController::loadView() {
    auto view = std::make_shared<ui::View>(ui::Rect(0, 0, 320, 416));
    view->setBackgroundColor(homelook::background());
    view->addSubview(std::make_shared<homelook::CardView>(ui::Rect(10, 12, 300, 132)));
    label_ =
        homelook::label(ui::Rect(26, 30, 180, 27), "Post to Facebook", gfx::Font::boldSystemFont(17), homelook::ink());
    view->addSubview(label_);
    postUpdates_ = std::make_shared<ui::Switch>(ui::Rect(206, 30, 94, 27));
    postUpdates_->setAccessibilityLabel("Post to Facebook");
    postUpdates_->addTarget(screenAction(this, &FacebookConfigurationViewController::switchToggled),
                            ui::ControlEvents::ValueChanged);
    view->addSubview(postUpdates_);
    permissionLabel_ =
        homelook::label(ui::Rect(26, 70, 268, 60), "Whether your workout results may be posted to Facebook.",
                        gfx::Font::systemFont(14), homelook::dimInk());
    permissionLabel_->setNumberOfLines(0);
    view->addSubview(permissionLabel_);
    setView(view);
}

void FacebookConfigurationViewController::viewDidLoad() {
    postUpdates_->setOn(base::UserDefaults::standardUserDefaults().boolForKey(kPostKey));
    navigationItem()->setTitleView(homelook::titleLabel("Facebook", 140));
}

void FacebookConfigurationViewController::switchToggled() {
    auto& defaults = base::UserDefaults::standardUserDefaults();
    defaults.setBool(kPostKey, postUpdates_->isOn());
    defaults.synchronize();
}
