#pragma once
// The good-form screen that the set-up screen presents modally: the frames
// of a good push-up looping over an explanation, under a bar titled "Good
// Form" with a Done button that hands control back to the delegate.
#include <memory>

#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TextField.h"
#include "platform/ui/ViewController.h"

class FlipsideViewController;

class FlipsideViewControllerDelegate {
public:
    virtual ~FlipsideViewControllerDelegate() = default;
    virtual void flipsideViewControllerDidFinish(FlipsideViewController& controller) = 0;
};

// The view of the good-form screen: the looping picture and its text.
class FlipsideView : public ui::View {
public:
    explicit FlipsideView(ui::Rect frame);
    std::string className() const override { return "FlipsideView"; }
    std::shared_ptr<ui::ImageView> image() const { return image_; }
    std::shared_ptr<ui::TextView> description() const { return description_; }
    std::shared_ptr<ui::NavigationBar> bar() const { return bar_; }
    // Gives the picture the frames "gf1" to "gf8", 1.25 s a pass, for ever.
    void setUpImages();

private:
    std::shared_ptr<ui::ImageView> image_;
    std::shared_ptr<ui::TextView> description_;
    std::shared_ptr<ui::NavigationBar> bar_;
};

class FlipsideViewController : public ui::ViewController {
public:
    FlipsideViewController();

    std::shared_ptr<FlipsideViewControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<FlipsideViewControllerDelegate> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<FlipsideView> flipsideView() const { return flipsideView_; }

    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    // Done: tells the delegate.
    void done();

private:
    std::weak_ptr<FlipsideViewControllerDelegate> delegate_;
    std::shared_ptr<FlipsideView> flipsideView_;
};

// The explanation of a good push-up that the good-form screens show.
extern const char* const kGoodFormText;
