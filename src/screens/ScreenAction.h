#pragma once
// The action of a control on a screen: calls the screen's operation while
// the screen exists (and keeps it alive for the call), nothing once it has
// gone, so a control that outlives its screen never calls into freed memory.
#include <functional>
#include <memory>

#include "platform/ui/ViewController.h"

template <class Screen>
std::function<void()> screenAction(Screen* screen, void (Screen::*operation)()) {
    std::weak_ptr<ui::ViewController> weak = screen->weak_from_this();
    return [weak, operation] {
        if (auto self = std::static_pointer_cast<Screen>(weak.lock())) ((*self).*operation)();
    };
}
