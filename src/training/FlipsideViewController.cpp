#include "training/FlipsideViewController.h"

#include "platform/gfx/Font.h"
#include "platform/ui/Application.h"
#include "training/HomeLook.h"

const char* const kGoodFormText =
    "Hands flat on the floor, a little wider than your shoulders, fingers pointing forward. "
    "Keep your body in one straight line from head to heels: no sagging hips, no raised bottom.\n"
    "Lower yourself with control until your chest is a fist's height from the floor, elbows "
    "at about 45 degrees from your sides. Push back up until your arms are straight, without "
    "locking the elbows.\n"
    "Breathe in on the way down, out on the way up. Only full, clean repetitions count: "
    "if your form breaks down, stop the set there.";

FlipsideView::FlipsideView(ui::Rect frame) : ui::View(frame) {
    setBackgroundColor(homelook::background());
    bar_ = std::make_shared<ui::NavigationBar>(ui::Rect(0, 0, frame.size.width, 44));
    bar_->setTintColor(homelook::barTint());
    addSubview(bar_);
    image_ = std::make_shared<ui::ImageView>(ui::Rect(20, 56, frame.size.width - 40, 160));
    image_->setContentMode(ui::ContentMode::ScaleAspectFit);
    image_->setBackgroundColor(gfx::Color::clear());
    addSubview(image_);
    description_ = std::make_shared<ui::TextView>(ui::Rect(16, 236, frame.size.width - 32, frame.size.height - 246));
    description_->setEditable(false);
    description_->setBackgroundColor(gfx::Color::clear());
    description_->setTextColor(homelook::ink());
    description_->setText(kGoodFormText);
    description_->setAutoresizingMask(ui::Autoresizing::FlexibleHeight);
    addSubview(description_);
}

void FlipsideView::setUpImages() {
    image_->setAnimationImages(homelook::goodFormFrames());
    image_->setAnimationDuration(1.25);
    image_->setAnimationRepeatCount(0);
}

FlipsideViewController::FlipsideViewController() : ui::ViewController("FlipsideView") {}

void FlipsideViewController::loadView() {
    flipsideView_ = std::make_shared<FlipsideView>(ui::Screen::mainScreen().applicationFrame());
    setView(flipsideView_);
}

void FlipsideViewController::viewDidLoad() {
    flipsideView_->setUpImages();
    flipsideView_->description()->setFont(gfx::Font("Helvetica", 14));
    navigationItem()->setTitleView(homelook::titleLabel("Good Form", 140));
    std::weak_ptr<ui::ViewController> weak = weak_from_this();
    navigationItem()->setRightBarButtonItem(
        std::make_shared<ui::BarButtonItem>(ui::BarButtonSystemItem::Done, [weak](ui::BarButtonItem&) {
            if (auto self = std::static_pointer_cast<FlipsideViewController>(weak.lock())) self->done();
        }));
    flipsideView_->bar()->setItems({navigationItem()});
}

void FlipsideViewController::viewWillAppear(bool) { flipsideView_->image()->startAnimating(); }

void FlipsideViewController::viewWillDisappear(bool) { flipsideView_->image()->stopAnimating(); }

void FlipsideViewController::done() {
    if (auto d = delegate()) d->flipsideViewControllerDidFinish(*this);
}
