#pragma once
// The single heads-up panel of the sharers over the key window: a spinner
// with a text while working, a check mark with a text when done. It fades
// in and out on the clock, and a display during the fade-out brings it back.
// While work that can be stopped runs, it holds a "Cancel" button.
#include <functional>
#include <memory>
#include <string>

#include "platform/base/RunLoop.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

class SHRActivityIndicator : public ui::View {
public:
    // The indicator shown now, or a new one.
    static std::shared_ptr<SHRActivityIndicator> currentIndicator();
    // The indicator shown now, or nullptr (never makes one).
    static std::shared_ptr<SHRActivityIndicator> existingIndicator();
    // Hides the current indicator when there is one.
    static void hideCurrent();
    // Takes the current indicator away at once (no fade, no scheduled hide
    // left behind) and forgets it, for a framework reset.
    static void discardCurrent();

    SHRActivityIndicator();
    ~SHRActivityIndicator() override;
    std::string className() const override { return "SHRActivityIndicator"; }

    void displayActivity(const std::string& text);
    void displayCompleted(const std::string& text);
    void show();
    void persist();
    void hideAfterDelay();
    void hide();
    void hidden();
    void showSpinner();
    void setSubMessage(const std::string& text);
    void setCenterMessage(const std::string& text);
    void setProperRotation(bool animated = true);
    // Offers a "Cancel" button that runs action once (and takes the panel
    // away); none removes it. The panel takes taps only while it has one;
    // a display of completion or hiding removes it.
    void setCancelAction(std::function<void()> action);
    std::shared_ptr<ui::Button> cancelButton() const { return cancelButton_; }

    std::shared_ptr<ui::Label> centerMessageLabel() const { return centerMessageLabel_; }
    std::shared_ptr<ui::Label> subMessageLabel() const { return subMessageLabel_; }
    std::shared_ptr<ui::ActivityIndicatorView> spinner() const { return spinner_; }

private:
    void cancelHide();
    std::shared_ptr<ui::Label> makeLabel(ui::Rect frame, ui::Float fontSize);
    std::shared_ptr<ui::Label> centerMessageLabel_, subMessageLabel_;
    std::shared_ptr<ui::ActivityIndicatorView> spinner_;
    std::shared_ptr<ui::Button> cancelButton_;
    std::function<void()> cancelAction_;
    base::RunLoop::PerformToken hideToken_ = 0;
};
