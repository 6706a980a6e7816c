#pragma once
// An option screen of one switch: a card with the switch and its caption,
// an explanatory note under it, the stored option shown on every appearance
// and the switch's state written back to the user defaults (and
// synchronized) whenever it changes.
#include <memory>
#include <string>

#include "platform/ui/Switch.h"
#include "platform/ui/ViewController.h"

class SwitchOptionViewController : public ui::ViewController {
public:
    std::shared_ptr<ui::Switch> toggle() const { return toggle_; }

    void loadView() override;
    // Sets the title and shows the stored option on every appearance.
    void viewWillAppear(bool animated) override;
    // Writes the switch's state and synchronizes.
    void switchToggled();

protected:
    // The defaults key of the option, the screen's title, the switch's
    // caption, and the note with the height of the frame it starts in.
    struct Option {
        const char* key;
        const char* title;
        const char* caption;
        const char* note;
        ui::Float noteHeight;
    };
    SwitchOptionViewController(const std::string& nibName, const Option& option);

    // The option as stored: the key's boolean.
    virtual bool storedValue() const;

private:
    Option option_;
    std::shared_ptr<ui::Switch> toggle_;
};
