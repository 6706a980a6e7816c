#pragma once
// The window: the root of a view tree shown on the screen. The application
// has one key window; alerts, action sheets and the keyboard are drawn above
// it by the application.
#include <memory>

#include "platform/ui/View.h"

namespace ui {

class ViewController;

class Window : public View {
public:
    Window();
    explicit Window(Rect frame);
    std::string className() const override { return "Window"; }

    // The controller whose view fills the window (its view is added as the
    // window's subview and gets the appearance callbacks).
    std::shared_ptr<ViewController> rootViewController() const { return rootViewController_; }
    void setRootViewController(std::shared_ptr<ViewController> controller);

    // Makes this the application's key window and shows it.
    void makeKeyAndVisible();
    void makeKeyWindow();
    bool isKeyWindow() const;

    // Window coordinates are screen coordinates here (one screen, windows
    // fill it).
    Point convertPointToWindow(Point point, const View* view) const { return convertPointFromView(point, view); }

    Responder* nextResponder() const override;
    void didAddSubview(View* subview) override;
    void willRemoveSubview(View* subview) override;

    // While positive, adding or removing a controller's view does not send
    // appearance callbacks (the caller sends them itself).
    static int& suppressAppearance();

private:
    std::shared_ptr<ViewController> rootViewController_;
};

}  // namespace ui
