#pragma once
// Whether the workout asks, on returning to a day left unfinished, to go on
// from the set reached (settingskeys::kShowAlerts).
#include <memory>

#include "platform/ui/Switch.h"
#include "platform/ui/ViewController.h"

class RestartDayViewController : public ui::ViewController {
public:
    RestartDayViewController();

    std::shared_ptr<ui::Switch> showAlerts() const { return showAlerts_; }

    void loadView() override;
    // Shows the stored option (read once, when the view loads).
    void viewDidLoad() override;
    // Writes the switch's state (to disk at the next synchronization).
    void switchToggled();

private:
    std::shared_ptr<ui::Switch> showAlerts_;
};
