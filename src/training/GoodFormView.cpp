#include "training/GoodFormView.h"

#include "platform/gfx/Font.h"
#include "platform/ui/NavigationController.h"
#include "training/FlipsideViewController.h"
#include "training/HomeLook.h"

GoodFormView::GoodFormView() : ui::ViewController("GoodFormView") {
    setTitle("Good Form Push Up");
    navigationItem()->setBackBarButtonItem(std::make_shared<ui::BarButtonItem>("Back", ui::BarButtonItemStyle::Plain));
}

void GoodFormView::loadView() {
    auto view = std::make_shared<ui::View>(ui::Rect(0, 0, 320, 416));
    view->setBackgroundColor(homelook::background());
    // The frames bring their own card.
    image_ = std::make_shared<ui::ImageView>(ui::Rect(20, 10, 280, 160));
    image_->setContentMode(ui::ContentMode::ScaleAspectFit);
    image_->setBackgroundColor(gfx::Color::clear());
    view->addSubview(image_);
    description_ = std::make_shared<ui::TextView>(ui::Rect(12, 176, 296, 236));
    description_->setEditable(false);
    description_->setBackgroundColor(gfx::Color::clear());
    description_->setTextColor(homelook::ink());
    description_->setText(kGoodFormText);
    description_->setAutoresizingMask(ui::Autoresizing::FlexibleHeight);
    view->addSubview(description_);
    setView(view);
}

void GoodFormView::viewDidLoad() {
    image_->setAnimationImages(homelook::goodFormFrames());
    image_->setAnimationDuration(1.25);
    image_->setAnimationRepeatCount(0);
    image_->stopAnimating();
    description_->setFont(gfx::Font("Helvetica", 14));
    navigationItem()->setTitleView(homelook::titleLabel("Good Form Pushup", 200));
}

void GoodFormView::viewWillAppear(bool) { image_->startAnimating(); }

void GoodFormView::viewWillDisappear(bool) { image_->stopAnimating(); }
