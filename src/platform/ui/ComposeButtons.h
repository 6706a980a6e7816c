#pragma once
// The Cancel and Send buttons of a composer's screen (mail or text message).
#include <memory>

#include "platform/ui/NavigationController.h"
#include "platform/ui/ViewController.h"

namespace ui {

// Puts Cancel on the left and a Done-styled "Send" on the right of screen's
// bar, calling composer's cancel() and send(). The buttons hold the composer
// weakly, so they keep nothing alive.
template <typename Composer>
void setCancelAndSendButtons(ViewController& screen, const std::shared_ptr<Composer>& composer) {
    std::weak_ptr<Composer> weak = composer;
    screen.navigationItem()->setLeftBarButtonItem(
        std::make_shared<BarButtonItem>(BarButtonSystemItem::Cancel, [weak](BarButtonItem&) {
            if (auto self = weak.lock()) self->cancel();
        }));
    screen.navigationItem()->setRightBarButtonItem(
        std::make_shared<BarButtonItem>("Send", BarButtonItemStyle::Done, [weak](BarButtonItem&) {
            if (auto self = weak.lock()) self->send();
        }));
}

}  // namespace ui
