#include "DemoDelegate.h"

#include <charconv>
#include <memory>
#include <string>

#include "platform/base/Format.h"
#include "platform/gfx/Font.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TextField.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

namespace hosttest {

namespace {

gfx::Color ink() { return gfx::Color::rgb(0.13f, 0.13f, 0.15f); }

std::shared_ptr<ui::Label> makeLabel(ui::Rect frame, const std::string& text, gfx::Font font) {
    auto label = std::make_shared<ui::Label>(frame);
    label->setText(text);
    label->setFont(std::move(font));
    label->setTextColor(ink());
    label->setBackgroundColor(gfx::Color::clear());
    return label;
}

// A whole number of push-ups, 0 to 9999, written with digits only.
bool readCount(const std::string& text, int& count) {
    if (text.empty() || text.size() > 4) return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), count);
    return ec == std::errc() && end == text.data() + text.size() && text[0] != '-' && text[0] != '+';
}

class AboutViewController : public ui::ViewController {
public:
    AboutViewController() { setTitle("About"); }

    void loadView() override {
        auto view = std::make_shared<ui::View>(ui::Rect(0, 0, 320, 416));
        view->setBackgroundColor(gfx::Color::rgb(0.95f, 0.95f, 0.96f));
        auto title = makeLabel(ui::Rect(20, 40, 280, 30), "Tolvek", gfx::Font::boldSystemFont(24));
        title->setTextAlignment(ui::TextAlignment::Center);
        view->addSubview(title);
        auto body = makeLabel(ui::Rect(30, 80, 260, 80),
                              "A six-week push-up coach. This demonstration screen stands in until the "
                              "training screens are ready.",
                              gfx::Font::systemFont(15));
        body->setNumberOfLines(0);
        body->setTextAlignment(ui::TextAlignment::Center);
        view->addSubview(body);
        setView(view);
    }
};

class DemoViewController : public ui::ViewController, public ui::TextFieldDelegate {
public:
    DemoViewController() { setTitle("Demo"); }

    void loadView() override {
        auto view = std::make_shared<ui::View>(ui::Rect(0, 0, 320, 416));
        view->setBackgroundColor(gfx::Color::rgb(0.95f, 0.95f, 0.96f));

        view->addSubview(
            makeLabel(ui::Rect(20, 24, 280, 24), "How many push-ups did you do?", gfx::Font::boldSystemFont(17)));

        field_ = std::make_shared<ui::TextField>(ui::Rect(20, 60, 280, 31));
        field_->setBorderStyle(ui::TextBorderStyle::RoundedRect);
        field_->setPlaceholder("Push-ups");
        field_->setAccessibilityLabel("Push-ups");
        field_->setFont(gfx::Font::systemFont(17));
        field_->setKeyboardType(ui::KeyboardType::NumberPad);
        field_->setReturnKeyType(ui::ReturnKeyType::Done);
        view->addSubview(field_);

        auto save = ui::Button::buttonWithType(ui::ButtonType::RoundedRect);
        save->setFrame(ui::Rect(20, 106, 280, 44));
        save->setTitle(std::string("Save"));
        save->titleLabel()->setFont(gfx::Font::boldSystemFont(17));
        save->addTarget([this] { saveTapped(); }, ui::ControlEvents::TouchUpInside);
        view->addSubview(save);

        result_ = makeLabel(ui::Rect(20, 160, 280, 44), "Nothing saved yet", gfx::Font::systemFont(16));
        result_->setTextAlignment(ui::TextAlignment::Center);
        result_->setNumberOfLines(2);
        view->addSubview(result_);

        view->addSubview(makeLabel(ui::Rect(20, 228, 180, 27), "Beep at the end of a rest", gfx::Font::systemFont(15)));
        beeps_ = std::make_shared<ui::Switch>(ui::Rect(206, 228, 94, 27));
        beeps_->setAccessibilityLabel("Beeps");
        beeps_->setOn(true);
        beeps_->addTarget([this] { beepsChanged(); }, ui::ControlEvents::ValueChanged);
        view->addSubview(beeps_);

        beepsState_ = makeLabel(ui::Rect(20, 262, 280, 24), "Beeps are on", gfx::Font::systemFont(13));
        beepsState_->setTextColor(gfx::Color::rgb(0.35f, 0.35f, 0.4f));
        view->addSubview(beepsState_);
        setView(view);
    }

    void viewDidLoad() override {
        auto about = std::make_shared<ui::BarButtonItem>("About", ui::BarButtonItemStyle::Bordered);
        std::weak_ptr<ui::ViewController> weak = weak_from_this();
        about->setAction([weak] {
            auto self = weak.lock();
            if (!self || !self->navigationController()) return;
            self->navigationController()->pushViewController(std::make_shared<AboutViewController>(), true);
        });
        navigationItem()->setRightBarButtonItem(about);
        field_->setDelegate(std::dynamic_pointer_cast<ui::TextFieldDelegate>(shared_from_this()));
    }

    bool textFieldShouldReturn(ui::TextField& field) override {
        field.resignFirstResponder();
        saveTapped();
        return true;
    }

private:
    void saveTapped() {
        field_->resignFirstResponder();
        int count = 0;
        if (readCount(field_->text(), count))
            result_->setText(base::format("Saved %d push-up%s", count, count == 1 ? "" : "s"));
        else result_->setText("Please enter a whole number of push-ups");
    }

    void beepsChanged() { beepsState_->setText(beeps_->isOn() ? "Beeps are on" : "Beeps are off"); }

    std::shared_ptr<ui::TextField> field_;
    std::shared_ptr<ui::Label> result_;
    std::shared_ptr<ui::Switch> beeps_;
    std::shared_ptr<ui::Label> beepsState_;
};

class DemoDelegate : public ui::ApplicationDelegate {
public:
    bool didFinishLaunchingWithOptions(ui::Application& application, const base::Value& options) override {
        (void)application, (void)options;
        window_ = std::make_shared<ui::Window>(ui::Screen::mainScreen().bounds());
        window_->setBackgroundColor(gfx::Color::white());
        navigation_ = std::make_shared<ui::NavigationController>(std::make_shared<DemoViewController>());
        window_->setRootViewController(navigation_);
        window_->makeKeyAndVisible();
        return true;
    }

    std::shared_ptr<ui::Window> window() const override { return window_; }

private:
    std::shared_ptr<ui::Window> window_;
    std::shared_ptr<ui::NavigationController> navigation_;
};

}  // namespace

host::DelegateFactory demoDelegateFactory() {
    return [] { return std::make_shared<DemoDelegate>(); };
}

}  // namespace hosttest
