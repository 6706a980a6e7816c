#include "platform/ui/Window.h"

#include "platform/gfx/Layer.h"
#include "platform/ui/Application.h"
#include "platform/ui/ViewController.h"

namespace ui {

int& Window::suppressAppearance() {
    static int count = 0;
    return count;
}

Window::Window() : Window(Rect(0, 0, 320, 480)) {}

Window::Window(Rect frame) : View(frame) {
    setBackgroundColor(gfx::Color::black());
    layer()->setDisplayRequestHandler([] {
        if (auto* app = Application::existing()) app->setNeedsRedraw();
    });
    // The window fills the screen from its top left corner: its layer's
    // space is the screen's.
    layer()->setDirtyRectHandler([](const gfx::Rect& area) {
        if (auto* app = Application::existing()) app->setNeedsRedrawInRect(area);
    });
}

void Window::setRootViewController(std::shared_ptr<ViewController> controller) {
    if (controller == rootViewController_) return;
    if (rootViewController_ && rootViewController_->isViewLoaded()) rootViewController_->view()->removeFromSuperview();
    rootViewController_ = std::move(controller);
    if (rootViewController_) {
        auto v = rootViewController_->view();
        v->setFrame(Screen::mainScreen().applicationFrame());
        addSubview(v);
    }
}

void Window::makeKeyAndVisible() {
    setHidden(false);
    makeKeyWindow();
}

void Window::makeKeyWindow() {
    Application::sharedApplication().makeKeyWindow(std::static_pointer_cast<Window>(shared_from_this()));
}

bool Window::isKeyWindow() const {
    auto* app = Application::existing();
    return app && app->keyWindow().get() == this;
}

Responder* Window::nextResponder() const { return &Application::sharedApplication(); }

void Window::didAddSubview(View* subview) {
    if (suppressAppearance() > 0) return;
    auto vc = subview->viewController();
    if (!vc || vc->parentViewController()) return;
    vc->beginAppearance(true, false);
    vc->endAppearance();
}

void Window::willRemoveSubview(View* subview) {
    if (suppressAppearance() > 0) return;
    auto vc = subview->viewController();
    if (!vc || vc->parentViewController() || !vc->isViewVisible()) return;
    vc->beginAppearance(false, false);
    vc->endAppearance();
}

}  // namespace ui
