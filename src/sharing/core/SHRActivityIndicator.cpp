#include "sharing/core/SHRActivityIndicator.h"

#include <cmath>
#include <functional>
#include <numbers>

#include "platform/base/NotificationCenter.h"
#include "platform/gfx/Layer.h"
#include "platform/ui/Application.h"
#include "platform/ui/Window.h"
#include "sharing/core/SHRFunctions.h"

namespace {
std::shared_ptr<SHRActivityIndicator>& current() {
    static std::shared_ptr<SHRActivityIndicator> indicator;
    return indicator;
}
}  // namespace

std::shared_ptr<SHRActivityIndicator> SHRActivityIndicator::existingIndicator() { return current(); }

void SHRActivityIndicator::hideCurrent() {
    if (auto indicator = current()) indicator->hide();
}

void SHRActivityIndicator::discardCurrent() {
    auto indicator = std::move(current());
    current().reset();
    if (!indicator) return;
    indicator->cancelHide();
    indicator->setCancelAction(nullptr);
    indicator->removeFromSuperview();
}

std::shared_ptr<SHRActivityIndicator> SHRActivityIndicator::currentIndicator() {
    auto& indicator = current();
    if (indicator) return indicator;
    indicator = std::make_shared<SHRActivityIndicator>();
    ui::Rect bounds = ui::Screen::mainScreen().bounds();
    if (auto window = ui::Application::sharedApplication().keyWindow()) bounds = window->bounds();
    const ui::Float width = 160, height = 160;
    indicator->setFrame(ui::Rect(std::round((bounds.size.width - width) / 2),
                                 std::round((bounds.size.height - height) / 2), width, height));
    indicator->setBackgroundColor(gfx::Color::rgb(0, 0, 0, 0.5));
    indicator->setOpaque(false);
    indicator->setAlpha(0);
    indicator->layer()->setCornerRadius(10);
    indicator->setUserInteractionEnabled(false);
    indicator->setAutoresizesSubviews(true);
    indicator->setAutoresizingMask(ui::Autoresizing::FlexibleLeftMargin | ui::Autoresizing::FlexibleRightMargin |
                                   ui::Autoresizing::FlexibleTopMargin | ui::Autoresizing::FlexibleBottomMargin);
    indicator->setProperRotation(false);
    std::weak_ptr<SHRActivityIndicator> weak = indicator;
    base::NotificationCenter::defaultCenter().addObserver(indicator.get(), ui::DeviceOrientationDidChangeNotification,
                                                          nullptr, [weak](const base::Notification&) {
                                                              if (auto self = weak.lock())
                                                                  self->setProperRotation(true);
                                                          });
    return indicator;
}

SHRActivityIndicator::SHRActivityIndicator() = default;

SHRActivityIndicator::~SHRActivityIndicator() {
    base::NotificationCenter::defaultCenter().removeObserver(this);
    cancelHide();
}

void SHRActivityIndicator::displayActivity(const std::string& text) {
    // Whatever could be cancelled before is not what runs now.
    setCancelAction(nullptr);
    setSubMessage(text);
    showSpinner();
    if (centerMessageLabel_) {
        centerMessageLabel_->removeFromSuperview();
        centerMessageLabel_.reset();
    }
    if (window()) persist();
    else show();
}

void SHRActivityIndicator::displayCompleted(const std::string& text) {
    setCancelAction(nullptr);
    setCenterMessage("\u2713");
    setSubMessage(text);
    if (spinner_) {
        spinner_->removeFromSuperview();
        spinner_.reset();
    }
    if (window()) persist();
    else show();
    hideAfterDelay();
}

void SHRActivityIndicator::cancelHide() {
    if (hideToken_) base::RunLoop::main().cancelPerform(hideToken_);
    hideToken_ = 0;
}

void SHRActivityIndicator::show() {
    if (!window()) {
        if (auto key = ui::Application::sharedApplication().keyWindow()) key->addSubview(shared_from_this());
    }
    cancelHide();
    ui::View::beginAnimations("show");
    ui::View::setAnimationDuration(0.3);
    setAlpha(1);
    ui::View::commitAnimations();
}

void SHRActivityIndicator::persist() {
    cancelHide();
    ui::View::beginAnimations("persist");
    ui::View::setAnimationDuration(0.1);
    ui::View::setAnimationBeginsFromCurrentState(true);
    setAlpha(1);
    ui::View::commitAnimations();
}

void SHRActivityIndicator::hideAfterDelay() {
    cancelHide();
    std::weak_ptr<SHRActivityIndicator> weak = std::static_pointer_cast<SHRActivityIndicator>(shared_from_this());
    hideToken_ = base::RunLoop::main().performAfterDelay(0.6, [weak] {
        if (auto self = weak.lock()) {
            self->hideToken_ = 0;
            self->hide();
        }
    });
}

void SHRActivityIndicator::hide() {
    cancelHide();
    setCancelAction(nullptr);
    std::weak_ptr<SHRActivityIndicator> weak = std::static_pointer_cast<SHRActivityIndicator>(shared_from_this());
    ui::View::beginAnimations("hide");
    ui::View::setAnimationDuration(0.4);
    ui::View::setAnimationDidStop([weak](const std::string&, bool, const std::any&) {
        if (auto self = weak.lock()) self->hidden();
    });
    setAlpha(0);
    ui::View::commitAnimations();
}

void SHRActivityIndicator::hidden() {
    // Shown again while fading out: stay.
    if (alpha() > 0) return;
    auto keep = shared_from_this();
    removeFromSuperview();
    if (current().get() == this) current().reset();
}

void SHRActivityIndicator::showSpinner() {
    if (!spinner_) {
        spinner_ = std::make_shared<ui::ActivityIndicatorView>(ui::ActivityIndicatorViewStyle::WhiteLarge);
        spinner_->sizeToFit();
        const ui::Size size = spinner_->frame().size;
        spinner_->setFrame(ui::Rect(std::round(bounds().size.width / 2 - size.width / 2),
                                    std::round(bounds().size.height / 2 - size.height / 2), size.width, size.height));
        addSubview(spinner_);
    }
    spinner_->startAnimating();
}

std::shared_ptr<ui::Label> SHRActivityIndicator::makeLabel(ui::Rect frame, ui::Float fontSize) {
    auto label = std::make_shared<ui::Label>(frame);
    label->setBackgroundColor(gfx::Color::clear());
    label->setOpaque(false);
    label->setTextColor(gfx::Color::white());
    label->setFont(gfx::Font::boldSystemFont(fontSize));
    label->setTextAlignment(ui::TextAlignment::Center);
    label->setShadowColor(gfx::Color::gray(1.0 / 3.0));
    label->setShadowOffset(ui::Size(1, 1));
    label->setAdjustsFontSizeToFitWidth(true);
    addSubview(label);
    return label;
}

void SHRActivityIndicator::setSubMessage(const std::string& text) {
    const ui::Size size = bounds().size;
    if (!subMessageLabel_) subMessageLabel_ = makeLabel(ui::Rect(12, size.height - 45, size.width - 24, 30), 17);
    subMessageLabel_->setText(text);
}

void SHRActivityIndicator::setCenterMessage(const std::string& text) {
    const ui::Size size = bounds().size;
    if (!centerMessageLabel_)
        centerMessageLabel_ = makeLabel(ui::Rect(12, std::round(size.height / 2 - 25), size.width - 24, 50), 40);
    centerMessageLabel_->setText(text);
}

void SHRActivityIndicator::setCancelAction(std::function<void()> action) {
    cancelAction_ = std::move(action);
    setUserInteractionEnabled(static_cast<bool>(cancelAction_));
    if (!cancelAction_) {
        if (cancelButton_) cancelButton_->removeFromSuperview();
        cancelButton_.reset();
        return;
    }
    if (cancelButton_) return;
    cancelButton_ = ui::Button::buttonWithType(ui::ButtonType::Custom);
    cancelButton_->setFrame(ui::Rect(std::round(bounds().size.width / 2 - 40), 6, 80, 28));
    cancelButton_->setTitle(localizedFormat("Cancel"));
    cancelButton_->setTitleColor(gfx::Color::white());
    cancelButton_->titleLabel()->setFont(gfx::Font::systemFont(14));
    std::weak_ptr<SHRActivityIndicator> weak = std::static_pointer_cast<SHRActivityIndicator>(shared_from_this());
    cancelButton_->addTarget(
        [weak] {
            auto self = weak.lock();
            if (!self || !self->cancelAction_) return;
            auto action = std::move(self->cancelAction_);
            self->hide();
            action();
        },
        ui::ControlEvents::TouchUpInside);
    addSubview(cancelButton_);
}

void SHRActivityIndicator::setProperRotation(bool animated) {
    double angle;
    switch (ui::Device::currentDevice().orientation()) {
    case ui::DeviceOrientation::Portrait: angle = 0; break;
    case ui::DeviceOrientation::PortraitUpsideDown: angle = std::numbers::pi; break;
    case ui::DeviceOrientation::LandscapeLeft: angle = std::numbers::pi / 2; break;
    case ui::DeviceOrientation::LandscapeRight: angle = -std::numbers::pi / 2; break;
    default: return;
    }
    if (animated) {
        ui::View::beginAnimations("rotation");
        ui::View::setAnimationDuration(0.3);
    }
    setTransform(ui::AffineTransform::makeRotation(angle));
    if (animated) ui::View::commitAnimations();
}
