#include "platform/ui/Event.h"

#include "platform/ui/Application.h"
#include "platform/ui/View.h"

namespace ui {

Point Touch::locationInView(const View* view) const {
    return view ? view->convertPointFromView(location_, nullptr) : location_;
}

Point Touch::previousLocationInView(const View* view) const {
    return view ? view->convertPointFromView(previousLocation_, nullptr) : previousLocation_;
}

TouchSet Event::touchesForView(const View* view) const {
    TouchSet out;
    for (auto& t : touches_)
        if (t->view().get() == view) out.push_back(t);
    return out;
}

Responder::~Responder() {
    if (auto* app = Application::existing(); app && app != this) app->responderWillBeDestroyed(this);
}

bool Responder::becomeFirstResponder() {
    if (!canBecomeFirstResponder()) return false;
    Application& app = Application::sharedApplication();
    Responder* current = app.firstResponder();
    if (current == this) return true;
    if (current) {
        app.beginFirstResponderHandover();
        bool resigned = current->resignFirstResponder();
        app.endFirstResponderHandover();
        if (!resigned) return false;
    }
    app.setFirstResponder(this);
    return true;
}

bool Responder::resignFirstResponder() {
    Application* app = Application::existing();
    if (app && app->firstResponder() == this) {
        if (!canResignFirstResponder()) return false;
        app->setFirstResponder(nullptr);
    }
    return true;
}

bool Responder::isFirstResponder() const {
    Application* app = Application::existing();
    return app && app->firstResponder() == this;
}

void Responder::touchesBegan(const TouchSet& touches, const Event* event) {
    if (auto* next = nextResponder()) next->touchesBegan(touches, event);
}
void Responder::touchesMoved(const TouchSet& touches, const Event* event) {
    if (auto* next = nextResponder()) next->touchesMoved(touches, event);
}
void Responder::touchesEnded(const TouchSet& touches, const Event* event) {
    if (auto* next = nextResponder()) next->touchesEnded(touches, event);
}
void Responder::touchesCancelled(const TouchSet& touches, const Event* event) {
    if (auto* next = nextResponder()) next->touchesCancelled(touches, event);
}
void Responder::motionBegan(EventSubtype motion, const Event* event) {
    if (auto* next = nextResponder()) next->motionBegan(motion, event);
}
void Responder::motionEnded(EventSubtype motion, const Event* event) {
    if (auto* next = nextResponder()) next->motionEnded(motion, event);
}
void Responder::motionCancelled(EventSubtype motion, const Event* event) {
    if (auto* next = nextResponder()) next->motionCancelled(motion, event);
}
void Responder::insertText(const std::string& text) { (void)text; }
void Responder::deleteBackward() {}
void Responder::returnKeyPressed() {}
void Responder::paste(const std::string& text) { (void)text; }
std::optional<std::string> Responder::copiedText() const { return std::nullopt; }
void Responder::selectAll() {}

}  // namespace ui
