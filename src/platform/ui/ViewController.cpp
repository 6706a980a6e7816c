#include "platform/ui/ViewController.h"

#include <algorithm>

#include "platform/base/NotificationCenter.h"
#include "platform/ui/Application.h"
#include "platform/ui/TextField.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"

namespace ui {

ViewController::ViewController() = default;
ViewController::ViewController(std::string nibName) : nibName_(std::move(nibName)) {}

ViewController::~ViewController() {
    if (view_) view_->viewController_.reset();
}

std::shared_ptr<View> ViewController::view() {
    if (!view_ && !loadingView_) {
        loadingView_ = true;
        try {
            loadView();
        } catch (...) {
            loadingView_ = false;
            throw;
        }
        if (!view_) ViewController::loadView();
        loadingView_ = false;
        viewDidLoad();
    }
    return view_;
}

void ViewController::setView(std::shared_ptr<View> view) {
    if (view_ == view) return;
    if (view_) view_->viewController_.reset();
    view_ = std::move(view);
    if (view_) view_->viewController_ = weak_from_this();
}

void ViewController::loadView() {
    auto v = std::make_shared<View>(Screen::mainScreen().applicationFrame());
    v->setBackgroundColor(gfx::Color::white());
    v->setAutoresizingMask(Autoresizing::FlexibleWidth | Autoresizing::FlexibleHeight);
    setView(v);
}

void ViewController::setTitle(std::string title) {
    title_ = std::move(title);
    if (navigationItem_) navigationItem_->setTitle(title_);
}

std::shared_ptr<NavigationItem> ViewController::navigationItem() {
    if (!navigationItem_) navigationItem_ = std::make_shared<NavigationItem>(title_);
    return navigationItem_;
}

void ViewController::setEditing(bool editing, bool animated) {
    (void)animated;
    editing_ = editing;
    if (editButtonItem_) {
        editButtonItem_->setTitle(editing ? "Done" : "Edit");
        editButtonItem_->setStyle(editing ? BarButtonItemStyle::Done : BarButtonItemStyle::Bordered);
    }
}

std::shared_ptr<BarButtonItem> ViewController::editButtonItem() {
    if (!editButtonItem_) {
        std::weak_ptr<ViewController> weak = weak_from_this();
        editButtonItem_ = std::make_shared<BarButtonItem>(
            editing_ ? "Done" : "Edit", editing_ ? BarButtonItemStyle::Done : BarButtonItemStyle::Bordered,
            [weak](BarButtonItem&) {
                if (auto self = weak.lock()) self->setEditing(!self->isEditing(), true);
            });
    }
    return editButtonItem_;
}

std::shared_ptr<NavigationController> ViewController::navigationController() const {
    for (auto p = parent_.lock(); p; p = p->parent_.lock())
        if (auto nav = std::dynamic_pointer_cast<NavigationController>(p)) return nav;
    return nullptr;
}

std::shared_ptr<ViewController> ViewController::parentViewController() const {
    if (auto p = parent_.lock()) return p;
    return presenting_.lock();
}

std::shared_ptr<ViewController> ViewController::modalViewController() const {
    if (modal_) return modal_;
    if (auto p = parent_.lock()) return p->modalViewController();
    return nullptr;
}

std::shared_ptr<ViewController> ViewController::outermostController() {
    auto top = shared_from_this();
    while (auto p = top->parent_.lock()) top = p;
    return top;
}

Responder* ViewController::nextResponder() const {
    if (view_ && view_->superview()) return view_->superview().get();
    if (auto p = parentViewController()) return p.get();
    return nullptr;
}

// ---- Appearance

void ViewController::beginAppearance(bool appearing, bool animated) {
    if (appearing) {
        if (appearance_ == 1 || appearance_ == 2) return;
        view();
        appearance_ = 1;
        appearanceAnimated_ = animated;
        viewWillAppear(animated);
    } else {
        if (appearance_ == 0 || appearance_ == 3) return;
        appearance_ = 3;
        appearanceAnimated_ = animated;
        viewWillDisappear(animated);
    }
    for (auto& child : childViewControllersForAppearance()) child->beginAppearance(appearing, animated);
}

void ViewController::endAppearance() {
    bool animated = appearanceAnimated_;
    if (appearance_ == 1) {
        appearance_ = 2;
        appeared_ = true;
        viewDidAppear(animated);
    } else if (appearance_ == 3) {
        appearance_ = 0;
        appeared_ = false;
        viewDidDisappear(animated);
    } else {
        return;
    }
    for (auto& child : childViewControllersForAppearance()) child->endAppearance();
}

// ---- Modal presentation

namespace {

std::shared_ptr<Window> windowFor(const std::shared_ptr<ViewController>& vc) {
    if (vc->isViewLoaded())
        if (auto w = vc->view()->window()) return w;
    auto& app = Application::sharedApplication();
    if (app.keyWindow()) return app.keyWindow();
    return app.windows().empty() ? nullptr : app.windows().back();
}

struct SuppressAppearance {
    SuppressAppearance() { ++Window::suppressAppearance(); }
    ~SuppressAppearance() { --Window::suppressAppearance(); }
};

}  // namespace

void ViewController::presentModalViewController(const std::shared_ptr<ViewController>& controller, bool animated) {
    presentViewController(controller, animated);
}

void ViewController::presentViewController(const std::shared_ptr<ViewController>& controller, bool animated,
                                           std::function<void()> completion) {
    if (!controller) return;
    // The outermost container presents; a controller that already presents
    // hands the new one to the one it shows.
    auto presenter = outermostController();
    while (presenter->modal_) presenter = presenter->modal_->outermostController();
    if (controller == presenter || controller->presenting_.lock()) return;
    // Escapes pressed before this screen came up were not meant for it,
    // neither those waiting now nor those pressed while it slides in.
    Application::sharedApplication().dropQueuedEscapes();
    auto window = windowFor(presenter);
    presenter->modal_ = controller;
    controller->presenting_ = presenter;
    auto v = controller->view();
    v->setAlpha(1);
    v->setTransform(AffineTransform());
    Rect frame = Screen::mainScreen().applicationFrame();
    v->setFrame(frame);
    if (!window) {
        if (completion) completion();
        return;
    }
    bool presenterShown = presenter->isViewLoaded() && presenter->view()->window() == window;
    if (presenterShown) presenter->beginAppearance(false, animated);
    controller->beginAppearance(true, animated);
    std::weak_ptr<ViewController> weakPresenter = presenter;
    auto finish = [weakPresenter, controller, window, presenterShown, completion = std::move(completion)](bool) {
        auto presenter = weakPresenter.lock();
        if (presenter && presenterShown && presenter->modal_ == controller) {
            SuppressAppearance s;
            if (presenter->view()->window() == window) presenter->view()->removeFromSuperview();
        }
        if (presenter && presenterShown) presenter->endAppearance();
        controller->endAppearance();
        if (auto* app = Application::existing()) app->dropQueuedEscapes();
        if (completion) completion();
    };
    bool animate = animated && View::areAnimationsEnabled();
    if (!animate) {
        {
            SuppressAppearance s;
            window->addSubview(v);
        }
        finish(true);
        return;
    }
    auto& app = Application::sharedApplication();
    app.beginIgnoringInteractionEvents();
    auto done = [finish](bool f) {
        Application::sharedApplication().endIgnoringInteractionEvents();
        finish(f);
    };
    switch (controller->modalTransitionStyle()) {
    case ModalTransitionStyle::CoverVertical: {
        {
            SuppressAppearance s;
            window->addSubview(v);
        }
        Point end = v->center();
        v->setCenter(Point(end.x, end.y + Screen::mainScreen().bounds().height()));
        View::animate(
            0.4, 0, AnimationOptions::CurveEaseOut, [v, end] { v->setCenter(end); }, done);
        break;
    }
    case ModalTransitionStyle::CrossDissolve: {
        {
            SuppressAppearance s;
            window->addSubview(v);
        }
        v->setAlpha(0);
        View::animate(
            0.4, [v] { v->setAlpha(1); }, done);
        break;
    }
    case ModalTransitionStyle::FlipHorizontal:
    case ModalTransitionStyle::PartialCurl: {
        unsigned style = controller->modalTransitionStyle() == ModalTransitionStyle::FlipHorizontal
                             ? AnimationOptions::TransitionFlipFromRight
                             : AnimationOptions::TransitionCurlUp;
        View::transition(
            window, 0.75, style | AnimationOptions::CurveEaseInOut,
            [window, v] {
                SuppressAppearance s;
                window->addSubview(v);
            },
            done);
        break;
    }
    }
}

void ViewController::dismissModalViewControllerAnimated(bool animated) { dismissViewControllerAnimated(animated); }

void ViewController::dismissViewControllerAnimated(bool animated, std::function<void()> completion) {
    auto top = outermostController();
    if (top->modal_) return top->dismissPresented(animated, std::move(completion));
    if (auto presenter = top->presenting_.lock()) return presenter->dismissPresented(animated, std::move(completion));
    if (completion) completion();
}

void ViewController::dismissPresented(bool animated, std::function<void()> completion) {
    auto controller = modal_;
    if (!controller) {
        if (completion) completion();
        return;
    }
    // Whatever the presented controller presents goes first, at once.
    if (controller->outermostController()->modal_) controller->outermostController()->dismissPresented(false, {});
    auto self = shared_from_this();
    modal_.reset();
    auto v = controller->view();
    auto window = v->window();
    if (!window) window = windowFor(self);
    controller->beginAppearance(false, animated);
    beginAppearance(true, animated);
    auto presenterView = view();
    if (window && presenterView->window() != window) {
        SuppressAppearance s;
        presenterView->setFrame(Screen::mainScreen().applicationFrame());
        if (v->window() == window) window->insertSubviewBelow(presenterView, v);
        else window->addSubview(presenterView);
    }
    auto finish = [self, controller, v, completion = std::move(completion)](bool) {
        {
            SuppressAppearance s;
            v->removeFromSuperview();
        }
        v->setAlpha(1);
        v->setFrame(Screen::mainScreen().applicationFrame());
        controller->presenting_.reset();
        controller->endAppearance();
        self->endAppearance();
        if (completion) completion();
    };
    bool animate = animated && View::areAnimationsEnabled() && window && v->window() == window;
    if (!animate) {
        finish(true);
        return;
    }
    Application::sharedApplication().beginIgnoringInteractionEvents();
    auto done = [finish](bool f) {
        Application::sharedApplication().endIgnoringInteractionEvents();
        finish(f);
    };
    switch (controller->modalTransitionStyle()) {
    case ModalTransitionStyle::CoverVertical: {
        Point c = v->center();
        View::animate(
            0.4, 0, AnimationOptions::CurveEaseIn,
            [v, c] { v->setCenter(Point(c.x, c.y + Screen::mainScreen().bounds().height())); }, done);
        break;
    }
    case ModalTransitionStyle::CrossDissolve:
        View::animate(
            0.4, [v] { v->setAlpha(0); }, done);
        break;
    case ModalTransitionStyle::FlipHorizontal:
    case ModalTransitionStyle::PartialCurl: {
        unsigned style = controller->modalTransitionStyle() == ModalTransitionStyle::FlipHorizontal
                             ? AnimationOptions::TransitionFlipFromLeft
                             : AnimationOptions::TransitionCurlDown;
        View::transition(
            window, 0.75, style,
            [v] {
                SuppressAppearance s;
                v->removeFromSuperview();
            },
            done);
        break;
    }
    }
}

// ---- Table view controller

TableViewController::TableViewController(TableViewStyle style) : style_(style) {}

TableViewController::~TableViewController() { base::NotificationCenter::defaultCenter().removeObserver(this); }

std::shared_ptr<TableView> TableViewController::tableView() { return std::dynamic_pointer_cast<TableView>(view()); }

void TableViewController::setTableView(std::shared_ptr<TableView> tableView) { setView(std::move(tableView)); }

void TableViewController::loadView() {
    auto table = std::make_shared<TableView>(Screen::mainScreen().applicationFrame(), style_);
    table->setAutoresizingMask(Autoresizing::FlexibleWidth | Autoresizing::FlexibleHeight);
    auto self = shared_from_this();
    table->setDataSource(std::dynamic_pointer_cast<TableViewDataSource>(self));
    table->setDelegate(std::dynamic_pointer_cast<TableViewDelegate>(self));
    setView(table);
}

void TableViewController::viewWillAppear(bool animated) {
    ViewController::viewWillAppear(animated);
    auto& center = base::NotificationCenter::defaultCenter();
    center.removeObserver(this);
    center.addObserver(this, KeyboardWillShowNotification, nullptr,
                       [this](const base::Notification&) { keyboardChanged(true); });
    center.addObserver(this, KeyboardWillHideNotification, nullptr,
                       [this](const base::Notification&) { keyboardChanged(false); });
    // Moving from field to field keeps the keyboard up: follow the field.
    for (const char* name : {TextFieldTextDidBeginEditingNotification, TextViewTextDidBeginEditingNotification})
        center.addObserver(this, name, nullptr, [this](const base::Notification&) {
            if (Application::sharedApplication().isKeyboardVisible()) keyboardChanged(true);
        });
    if (Application::sharedApplication().isKeyboardVisible()) keyboardChanged(true);
    auto table = tableView();
    if (!table) return;
    if (clearsSelection_)
        if (auto selected = table->indexPathForSelectedRow()) table->deselectRowAtIndexPath(*selected, animated);
}

void TableViewController::viewWillDisappear(bool animated) {
    ViewController::viewWillDisappear(animated);
    base::NotificationCenter::defaultCenter().removeObserver(this);
    keyboardChanged(false);
}

void TableViewController::keyboardChanged(bool showing) {
    if (!isViewLoaded()) return;
    auto table = tableView();
    if (!table) return;
    EdgeInsets inset = table->contentInset();
    Float overlap = 0;
    if (showing && table->window()) {
        Rect onScreen = table->convertRectToView(table->bounds(), nullptr);
        overlap = std::max<Float>(0, onScreen.maxY() - Application::sharedApplication().keyboardFrame().minY());
        if (Application::sharedApplication().keyboardFrame().isEmpty()) overlap = 0;
    }
    inset.bottom = overlap;
    table->setContentInset(inset);
    if (!showing) {
        // Back inside the content without the room.
        Point o = table->contentOffset();
        Float max = std::max<Float>(-inset.top, table->contentSize().height - table->bounds().height());
        if (o.y > max) table->setContentOffset(Point(o.x, max));
        return;
    }
    auto* field = dynamic_cast<View*>(Application::sharedApplication().firstResponder());
    if (field && field->isDescendantOfView(table.get())) {
        // Into the part of the table the keyboard leaves visible.
        Rect r = field->convertRectToView(field->bounds(), table.get()).inset(0, -8);
        Point o = table->contentOffset();
        Float visible = table->bounds().height() - overlap;
        if (r.maxY() > o.y + visible) o.y = r.maxY() - visible;
        if (r.minY() < o.y) o.y = r.minY();
        Float max = std::max<Float>(-inset.top, table->contentSize().height + inset.bottom - table->bounds().height());
        o.y = std::clamp<Float>(o.y, -inset.top, max);
        table->setContentOffset(o);
    }
}

void TableViewController::setEditing(bool editing, bool animated) {
    ViewController::setEditing(editing, animated);
    if (auto table = tableView()) table->setEditing(editing, animated);
}

std::shared_ptr<TableViewCell> TableViewController::cellForRowAtIndexPath(TableView& tableView,
                                                                          const IndexPath& indexPath) {
    (void)indexPath;
    auto cell = tableView.dequeueReusableCellWithIdentifier("Cell");
    if (!cell) cell = std::make_shared<TableViewCell>(TableViewCellStyle::Default, "Cell");
    return cell;
}

}  // namespace ui
