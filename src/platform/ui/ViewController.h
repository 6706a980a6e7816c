#pragma once
// View controllers: each screen builds its view in loadView (or gets a plain
// one), hears the appearance callbacks in the toolkit's order, has a title
// and a navigation item, an editing state with its Edit/Done button, and can
// present another controller modally over the whole screen.
//
// Controllers are shared objects: make them with std::make_shared.
#include <functional>
#include <memory>
#include <string>

#include "platform/ui/Event.h"
#include "platform/ui/TableView.h"
#include "platform/ui/View.h"

namespace ui {

class NavigationController;
class NavigationItem;
class BarButtonItem;

enum class ModalTransitionStyle { CoverVertical = 0, FlipHorizontal, CrossDissolve, PartialCurl };
enum class ModalPresentationStyle { FullScreen = 0, PageSheet, FormSheet, CurrentContext };

class ViewController : public Responder, public std::enable_shared_from_this<ViewController> {
public:
    ViewController();
    // The interface-file name the controller's view is built after (for
    // information: views are built in code by loadView).
    explicit ViewController(std::string nibName);
    ~ViewController() override;
    ViewController(const ViewController&) = delete;
    ViewController& operator=(const ViewController&) = delete;

    // The view, loaded on first use (loadView, then viewDidLoad).
    std::shared_ptr<View> view();
    void setView(std::shared_ptr<View> view);
    bool isViewLoaded() const { return view_ != nullptr; }
    const std::string& nibName() const { return nibName_; }

    // Builds the view. The default makes a plain white view filling the
    // application frame.
    virtual void loadView();
    virtual void viewDidLoad() {}
    virtual void viewDidUnload() {}
    virtual void viewWillAppear(bool animated) { (void)animated; }
    virtual void viewDidAppear(bool animated) { (void)animated; }
    virtual void viewWillDisappear(bool animated) { (void)animated; }
    virtual void viewDidDisappear(bool animated) { (void)animated; }
    virtual void didReceiveMemoryWarning() {}
    // Portrait only, unless a screen says otherwise.
    virtual bool shouldAutorotateToInterfaceOrientation(InterfaceOrientation orientation) {
        return orientation == InterfaceOrientation::Portrait;
    }
    InterfaceOrientation interfaceOrientation() const { return InterfaceOrientation::Portrait; }

    const std::string& title() const { return title_; }
    virtual void setTitle(std::string title);
    std::shared_ptr<NavigationItem> navigationItem();

    // Editing state; the edit button item toggles it ("Edit" / "Done").
    bool isEditing() const { return editing_; }
    void setEditing(bool editing) { setEditing(editing, false); }
    virtual void setEditing(bool editing, bool animated);
    std::shared_ptr<BarButtonItem> editButtonItem();

    // The navigation controller whose stack holds this controller (or one
    // of its ancestors), if any.
    std::shared_ptr<NavigationController> navigationController() const;
    // The controller that contains this one (navigation controller) or
    // presented it.
    std::shared_ptr<ViewController> parentViewController() const;
    // The controller presented modally by this one (or by its container).
    std::shared_ptr<ViewController> modalViewController() const;
    std::shared_ptr<ViewController> presentedViewController() const { return modalViewController(); }
    std::shared_ptr<ViewController> presentingViewController() const { return presenting_.lock(); }

    ModalTransitionStyle modalTransitionStyle() const { return transitionStyle_; }
    void setModalTransitionStyle(ModalTransitionStyle style) { transitionStyle_ = style; }
    ModalPresentationStyle modalPresentationStyle() const { return presentationStyle_; }
    void setModalPresentationStyle(ModalPresentationStyle style) { presentationStyle_ = style; }
    bool hidesBottomBarWhenPushed() const { return hidesBottomBar_; }
    void setHidesBottomBarWhenPushed(bool hides) { hidesBottomBar_ = hides; }

    // Presents the controller over the whole screen (animated: with its
    // transition style, 0.4 s): this controller's screen gets will/did
    // disappear, the presented one will/did appear.
    void presentModalViewController(const std::shared_ptr<ViewController>& controller, bool animated);
    // Dismisses the controller this one presented (called on the presented
    // controller, it dismisses itself through its presenter).
    void dismissModalViewControllerAnimated(bool animated);
    void presentViewController(const std::shared_ptr<ViewController>& controller, bool animated,
                               std::function<void()> completion = {});
    void dismissViewControllerAnimated(bool animated, std::function<void()> completion = {});
    // True while the view is in a window and shown.
    bool isViewVisible() const { return appeared_; }

    Responder* nextResponder() const override;

    // --- Internal: containers and the window drive the appearance calls
    // through these, so that each controller hears them once per change.
    void beginAppearance(bool appearing, bool animated);
    void endAppearance();
    void setParent(const std::shared_ptr<ViewController>& parent) { parent_ = parent; }
    // The controller whose view is shown for this one (itself, or the top
    // of a container).
    virtual std::vector<std::shared_ptr<ViewController>> childViewControllersForAppearance() const { return {}; }

    // The outermost container of this controller (itself when it has none).
    std::shared_ptr<ViewController> outermostController();

private:
    void dismissPresented(bool animated, std::function<void()> completion);
    std::string nibName_;
    std::shared_ptr<View> view_;
    std::string title_;
    std::shared_ptr<NavigationItem> navigationItem_;
    std::shared_ptr<BarButtonItem> editButtonItem_;
    bool editing_ = false;
    std::weak_ptr<ViewController> parent_;
    std::shared_ptr<ViewController> modal_;
    std::weak_ptr<ViewController> presenting_;
    ModalTransitionStyle transitionStyle_ = ModalTransitionStyle::CoverVertical;
    ModalPresentationStyle presentationStyle_ = ModalPresentationStyle::FullScreen;
    bool hidesBottomBar_ = false;
    // Appearance state: 0 gone, 1 appearing, 2 shown, 3 disappearing.
    int appearance_ = 0;
    bool appeared_ = false;
    bool appearanceAnimated_ = false;
    bool loadingView_ = false;
    std::shared_ptr<View> modalCover_;
};

// A controller whose view is a table, and which is the table's data source
// and delegate. Override the data-source and delegate operations.
// While it is shown, the keyboard does not hide the row being typed into:
// the table makes room below its rows and scrolls that row into view.
class TableViewController : public ViewController, public TableViewDataSource, public TableViewDelegate {
public:
    explicit TableViewController(TableViewStyle style = TableViewStyle::Plain);
    ~TableViewController() override;
    std::shared_ptr<TableView> tableView();
    void setTableView(std::shared_ptr<TableView> tableView);
    bool clearsSelectionOnViewWillAppear() const { return clearsSelection_; }
    void setClearsSelectionOnViewWillAppear(bool clears) { clearsSelection_ = clears; }

    void loadView() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void setEditing(bool editing, bool animated) override;
    using ViewController::setEditing;
    // Makes room for the keyboard (or gives it back).
    void keyboardChanged(bool showing);

    int numberOfRowsInSection(TableView& tableView, int section) override {
        (void)tableView, (void)section;
        return 0;
    }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) override;

private:
    TableViewStyle style_;
    bool clearsSelection_ = true;
};

}  // namespace ui
