#pragma once
// The navigation controller: a stack of controllers under a navigation bar.
// Pushing slides the new screen in from the right (0.35 s), popping slides
// it back; the bar shows the top screen's title and bar buttons, with a back
// button titled by the previous screen.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Image.h"
#include "platform/ui/Control.h"
#include "platform/ui/ViewController.h"

namespace ui {

class NavigationBar;
class NavigationController;

enum class BarButtonItemStyle { Plain = 0, Bordered, Done };
enum class BarButtonSystemItem {
    Done,
    Cancel,
    Edit,
    Save,
    Add,
    FlexibleSpace,
    FixedSpace,
    Compose,
    Reply,
    Action,
    Organize,
    Bookmarks,
    Search,
    Refresh,
    Stop,
    Camera,
    Trash,
    Play,
    Pause,
    Rewind,
    FastForward,
    Undo,
    Redo,
};

// A button of a bar: a title, an image, a system item or a custom view.
class BarButtonItem : public std::enable_shared_from_this<BarButtonItem> {
public:
    using Action = std::function<void(BarButtonItem& sender)>;
    BarButtonItem(std::string title, BarButtonItemStyle style, Action action = {});
    BarButtonItem(std::shared_ptr<gfx::Image> image, BarButtonItemStyle style, Action action = {});
    BarButtonItem(BarButtonSystemItem systemItem, Action action = {});
    explicit BarButtonItem(std::shared_ptr<View> customView);

    const std::string& title() const { return title_; }
    void setTitle(std::string title);
    std::shared_ptr<gfx::Image> image() const { return image_; }
    void setImage(std::shared_ptr<gfx::Image> image);
    BarButtonItemStyle style() const { return style_; }
    void setStyle(BarButtonItemStyle style);
    std::optional<BarButtonSystemItem> systemItem() const { return systemItem_; }
    std::shared_ptr<View> customView() const { return customView_; }
    void setCustomView(std::shared_ptr<View> view);
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled);
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }
    Float width() const { return width_; }
    void setWidth(Float width);
    void setAction(Action action) { action_ = std::move(action); }
    void setAction(std::function<void()> action);
    bool hasAction() const { return static_cast<bool>(action_); }
    const std::string& accessibilityLabel() const { return accessibilityLabel_; }
    void setAccessibilityLabel(std::string label) { accessibilityLabel_ = std::move(label); }

    // Sends the action (as a tap does).
    void performAction();
    // The title the bar shows ("Done", "Cancel", "Edit"... for system items).
    std::string displayTitle() const;
    // Called when the item changes (its bar redraws).
    void setChangeHandler(std::function<void()> handler) { changed_ = std::move(handler); }

private:
    void changed();
    std::string title_;
    std::shared_ptr<gfx::Image> image_;
    BarButtonItemStyle style_ = BarButtonItemStyle::Plain;
    std::optional<BarButtonSystemItem> systemItem_;
    std::shared_ptr<View> customView_;
    bool enabled_ = true;
    int tag_ = 0;
    Float width_ = 0;
    Action action_;
    std::string accessibilityLabel_;
    std::function<void()> changed_;
};

// What a navigation bar shows for one controller.
class NavigationItem {
public:
    explicit NavigationItem(std::string title = {}) : title_(std::move(title)) {}

    const std::string& title() const { return title_; }
    void setTitle(std::string title);
    std::shared_ptr<View> titleView() const { return titleView_; }
    void setTitleView(std::shared_ptr<View> view);
    const std::string& prompt() const { return prompt_; }
    void setPrompt(std::string prompt);
    // The button the next screen shows to come back here (null: one titled
    // by this item's title, or "Back").
    std::shared_ptr<BarButtonItem> backBarButtonItem() const { return back_; }
    void setBackBarButtonItem(std::shared_ptr<BarButtonItem> item);
    bool hidesBackButton() const { return hidesBack_; }
    void setHidesBackButton(bool hides, bool animated = false);
    std::shared_ptr<BarButtonItem> leftBarButtonItem() const { return left_; }
    void setLeftBarButtonItem(std::shared_ptr<BarButtonItem> item, bool animated = false);
    std::shared_ptr<BarButtonItem> rightBarButtonItem() const { return right_; }
    void setRightBarButtonItem(std::shared_ptr<BarButtonItem> item, bool animated = false);

    void setChangeHandler(std::function<void()> handler) { changed_ = std::move(handler); }

private:
    void changed();
    std::string title_;
    std::string prompt_;
    std::shared_ptr<View> titleView_;
    std::shared_ptr<BarButtonItem> back_, left_, right_;
    bool hidesBack_ = false;
    std::function<void()> changed_;
};

class NavigationBarDelegate {
public:
    virtual ~NavigationBarDelegate() = default;
    virtual bool shouldPopItem(NavigationBar& bar, NavigationItem& item) {
        (void)bar, (void)item;
        return true;
    }
    virtual void didPopItem(NavigationBar& bar, NavigationItem& item) { (void)bar, (void)item; }
};

// The bar at the top of a navigation controller (320 x 44): a gradient in
// the tint colour, the top item's title in the middle, its left item or the
// back button at the left and its right item at the right.
class NavigationBar : public View {
public:
    NavigationBar();
    explicit NavigationBar(Rect frame);
    std::string className() const override { return "NavigationBar"; }

    BarStyle barStyle() const { return barStyle_; }
    void setBarStyle(BarStyle style);
    std::optional<gfx::Color> tintColor() const { return tint_; }
    void setTintColor(std::optional<gfx::Color> color);
    bool isTranslucent() const { return translucent_; }
    void setTranslucent(bool translucent) {
        translucent_ = translucent;
        setNeedsDisplay();
    }
    std::shared_ptr<NavigationBarDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<NavigationBarDelegate> delegate) { delegate_ = std::move(delegate); }

    const std::vector<std::shared_ptr<NavigationItem>>& items() const { return items_; }
    void setItems(std::vector<std::shared_ptr<NavigationItem>> items, bool animated = false);
    void pushNavigationItem(std::shared_ptr<NavigationItem> item, bool animated);
    std::shared_ptr<NavigationItem> popNavigationItemAnimated(bool animated);
    std::shared_ptr<NavigationItem> topItem() const;
    std::shared_ptr<NavigationItem> backItem() const;

    // The back button was tapped (the controller pops; a standalone bar pops
    // its item).
    void setBackHandler(std::function<void()> handler) { backHandler_ = std::move(handler); }
    // Presses the back button as a tap does, when the bar shows one (the
    // escape key); answers whether there was one.
    bool pressBackButton();

    Size sizeThatFits(Size size) const override { return {size.width > 0 ? size.width : 320, 44}; }
    void layoutSubviews() override;
    void drawRect(gfx::Context& context, Rect rect) override;
    std::string displayedText() const override;

    // The colours the bar is drawn in (buttons of the bar use them).
    gfx::Color barColor() const;

private:
    void rebuild();
    void backTapped();
    BarStyle barStyle_ = BarStyle::Default;
    std::optional<gfx::Color> tint_;
    bool translucent_ = false;
    std::weak_ptr<NavigationBarDelegate> delegate_;
    std::vector<std::shared_ptr<NavigationItem>> items_;
    std::function<void()> backHandler_;
    std::vector<std::shared_ptr<View>> itemViews_;
    std::shared_ptr<View> titleView_;
};

class NavigationControllerDelegate {
public:
    virtual ~NavigationControllerDelegate() = default;
    virtual void willShowViewController(NavigationController& navigationController, ViewController& viewController,
                                        bool animated) {
        (void)navigationController, (void)viewController, (void)animated;
    }
    virtual void didShowViewController(NavigationController& navigationController, ViewController& viewController,
                                       bool animated) {
        (void)navigationController, (void)viewController, (void)animated;
    }
};

class NavigationController : public ViewController {
public:
    explicit NavigationController(std::shared_ptr<ViewController> rootViewController = nullptr);
    ~NavigationController() override;

    const std::vector<std::shared_ptr<ViewController>>& viewControllers() const { return stack_; }
    void setViewControllers(std::vector<std::shared_ptr<ViewController>> controllers, bool animated = false);
    std::shared_ptr<ViewController> topViewController() const;
    // The top controller, or the modal controller it presents.
    std::shared_ptr<ViewController> visibleViewController() const;

    // Pushes onto the stack: in the toolkit's order the old top hears
    // will-disappear, the new one will-appear, then (after the slide when
    // animated) did-disappear and did-appear.
    void pushViewController(std::shared_ptr<ViewController> controller, bool animated);
    // Pops the top (not the root); answers it.
    std::shared_ptr<ViewController> popViewControllerAnimated(bool animated);
    // Answers the popped controllers.
    std::vector<std::shared_ptr<ViewController>> popToRootViewControllerAnimated(bool animated);
    std::vector<std::shared_ptr<ViewController>> popToViewController(const std::shared_ptr<ViewController>& controller,
                                                                     bool animated);
    // True while a push or pop slides.
    bool isTransitioning() const { return transitioning_; }

    std::shared_ptr<NavigationBar> navigationBar();
    bool isNavigationBarHidden() const { return barHidden_; }
    void setNavigationBarHidden(bool hidden) { setNavigationBarHidden(hidden, false); }
    void setNavigationBarHidden(bool hidden, bool animated);
    bool isToolbarHidden() const { return true; }

    std::shared_ptr<NavigationControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<NavigationControllerDelegate> delegate) { delegate_ = std::move(delegate); }

    void loadView() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    void layoutContent();
    std::vector<std::shared_ptr<ViewController>> childViewControllersForAppearance() const override;

private:
    void transition(std::shared_ptr<ViewController> from, std::shared_ptr<ViewController> to, int direction,
                    bool animated, std::vector<std::shared_ptr<ViewController>> removed);
    void updateBar(bool animated);
    Rect contentFrame() const;
    std::vector<std::shared_ptr<ViewController>> stack_;
    std::shared_ptr<NavigationBar> bar_;
    std::shared_ptr<View> container_;
    bool barHidden_ = false;
    bool transitioning_ = false;
    std::weak_ptr<NavigationControllerDelegate> delegate_;
    std::vector<std::function<void()>> pending_;
};

}  // namespace ui
