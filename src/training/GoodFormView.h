#pragma once
// The good-form screen of the home screen's menu: the frames of a good
// push-up looping while the screen is shown, over an explanation of the
// form.
#include <memory>

#include "platform/ui/ImageView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/ViewController.h"

class GoodFormView : public ui::ViewController {
public:
    GoodFormView();

    std::shared_ptr<ui::ImageView> image() const { return image_; }
    std::shared_ptr<ui::TextView> description() const { return description_; }

    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

private:
    std::shared_ptr<ui::ImageView> image_;
    std::shared_ptr<ui::TextView> description_;
};
