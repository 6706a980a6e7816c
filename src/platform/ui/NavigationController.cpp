#include "platform/ui/NavigationController.h"

#include <algorithm>
#include <cmath>

#include "platform/gfx/Context.h"
#include "platform/gfx/Text.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/Label.h"
#include "platform/ui/Palette.h"

namespace ui {

// ---- BarButtonItem

BarButtonItem::BarButtonItem(std::string title, BarButtonItemStyle style, Action action)
    : title_(std::move(title)), style_(style), action_(std::move(action)) {}

BarButtonItem::BarButtonItem(std::shared_ptr<gfx::Image> image, BarButtonItemStyle style, Action action)
    : image_(std::move(image)), style_(style), action_(std::move(action)) {}

BarButtonItem::BarButtonItem(BarButtonSystemItem systemItem, Action action)
    : style_(systemItem == BarButtonSystemItem::Done ? BarButtonItemStyle::Done : BarButtonItemStyle::Bordered),
      systemItem_(systemItem),
      action_(std::move(action)) {}

BarButtonItem::BarButtonItem(std::shared_ptr<View> customView) : customView_(std::move(customView)) {}

void BarButtonItem::setTitle(std::string title) {
    title_ = std::move(title);
    changed();
}
void BarButtonItem::setImage(std::shared_ptr<gfx::Image> image) {
    image_ = std::move(image);
    changed();
}
void BarButtonItem::setStyle(BarButtonItemStyle style) {
    style_ = style;
    changed();
}
void BarButtonItem::setCustomView(std::shared_ptr<View> view) {
    customView_ = std::move(view);
    changed();
}
void BarButtonItem::setEnabled(bool enabled) {
    enabled_ = enabled;
    changed();
}
void BarButtonItem::setWidth(Float width) {
    width_ = width;
    changed();
}
void BarButtonItem::setAction(std::function<void()> action) {
    action_ = action ? Action([fn = std::move(action)](BarButtonItem&) { fn(); }) : Action();
}

void BarButtonItem::performAction() {
    if (!enabled_ || !action_) return;
    auto keep = weak_from_this().lock();
    auto fn = action_;
    fn(*this);
}

std::string BarButtonItem::displayTitle() const {
    if (!systemItem_) return title_;
    switch (*systemItem_) {
    case BarButtonSystemItem::Done: return "Done";
    case BarButtonSystemItem::Cancel: return "Cancel";
    case BarButtonSystemItem::Edit: return "Edit";
    case BarButtonSystemItem::Save: return "Save";
    case BarButtonSystemItem::Undo: return "Undo";
    case BarButtonSystemItem::Redo: return "Redo";
    case BarButtonSystemItem::Reply: return "Reply";
    case BarButtonSystemItem::Compose: return "Compose";
    case BarButtonSystemItem::Action: return "Share";
    case BarButtonSystemItem::Organize: return "Organize";
    case BarButtonSystemItem::Bookmarks: return "Bookmarks";
    case BarButtonSystemItem::Search: return "Search";
    case BarButtonSystemItem::Refresh: return "Refresh";
    case BarButtonSystemItem::Stop: return "Stop";
    case BarButtonSystemItem::Camera: return "Camera";
    case BarButtonSystemItem::Trash: return "Trash";
    case BarButtonSystemItem::Play: return "Play";
    case BarButtonSystemItem::Pause: return "Pause";
    case BarButtonSystemItem::Rewind: return "Rewind";
    case BarButtonSystemItem::FastForward: return "Fast Forward";
    case BarButtonSystemItem::Add:
    case BarButtonSystemItem::FlexibleSpace:
    case BarButtonSystemItem::FixedSpace: return "";
    }
    return title_;
}

void BarButtonItem::changed() {
    if (changed_) changed_();
}

// ---- NavigationItem

void NavigationItem::setTitle(std::string title) {
    title_ = std::move(title);
    changed();
}
void NavigationItem::setTitleView(std::shared_ptr<View> view) {
    titleView_ = std::move(view);
    changed();
}
void NavigationItem::setPrompt(std::string prompt) {
    prompt_ = std::move(prompt);
    changed();
}
void NavigationItem::setBackBarButtonItem(std::shared_ptr<BarButtonItem> item) {
    back_ = std::move(item);
    changed();
}
void NavigationItem::setHidesBackButton(bool hides, bool animated) {
    (void)animated;
    hidesBack_ = hides;
    changed();
}
void NavigationItem::setLeftBarButtonItem(std::shared_ptr<BarButtonItem> item, bool animated) {
    (void)animated;
    left_ = std::move(item);
    changed();
}
void NavigationItem::setRightBarButtonItem(std::shared_ptr<BarButtonItem> item, bool animated) {
    (void)animated;
    right_ = std::move(item);
    changed();
}
void NavigationItem::changed() {
    if (changed_) changed_();
}

// ---- The buttons of a bar

namespace {

// A button drawn in the bar's style: bordered, done (blue) or back (with a
// point at the left), or the plus of the Add system item.
class BarItemButton : public Button {
public:
    enum class Kind { Bordered, Done, Back, Plain };
    BarItemButton(Kind kind, std::string title, gfx::Color tint, std::shared_ptr<gfx::Image> image, bool plus)
        : Button(ButtonType::Custom), kind_(kind), tint_(std::move(tint)), plus_(plus) {
        setTitle(title);
        setImage(std::move(image));
        setFont(gfx::Font::boldSystemFont(12));
        setTitleColor(gfx::Color::white());
        setAdjustsImageWhenHighlighted(false);
    }
    std::string className() const override { return "BarButton"; }

    void drawRect(gfx::Context& ctx, Rect rect) override {
        (void)rect;
        Rect b = bounds();
        Rect r(b.minX(), b.midY() - 15, b.width(), 30);
        r = r.inset(0.5f, 0.5f);
        gfx::Color base = kind_ == Kind::Done ? palette::doneButton() : tint_;
        if (isHighlighted()) base = draw::darker(base, 0.25f);
        if (!isEnabled()) base = base.withAlpha(0.6f);
        // The button's outline: a left-pointing arrow for Back, else a rounded rect.
        auto addShape = [&] {
            ctx.beginPath();
            if (kind_ == Kind::Back) {
                Float pointW = 12;
                ctx.moveTo(r.minX(), r.midY());
                ctx.lineTo(r.minX() + pointW, r.minY());
                ctx.addArcToPoint(r.maxX(), r.minY(), r.maxX(), r.midY(), 5);
                ctx.addArcToPoint(r.maxX(), r.maxY(), r.minX() + pointW, r.maxY(), 5);
                ctx.lineTo(r.minX() + pointW, r.maxY());
                ctx.closePath();
            } else {
                draw::addRoundedRect(ctx, r, 5);
            }
        };
        draw::Bezel bezel;
        bezel.face = draw::Bezel::Face::Glossy;
        bezel.top = base;
        bezel.edge = draw::darker(base, 0.45f);
        draw::bezel(ctx, r, bezel, addShape);
        Rect content = kind_ == Kind::Back ? Rect(r.minX() + 10, r.minY(), r.width() - 12, r.height()) : r;
        // White on a dark face; on a light face (a gold bar) white would be
        // hard to read, so the title is drawn dark with a light edge.
        const draw::BarInk bar = draw::barInkOn(base);
        gfx::Color ink = isEnabled() ? bar.ink : bar.ink.withAlpha(0.5f);
        if (plus_) {
            ctx.setFillColor(ink);
            ctx.fillRect(Rect(content.midX() - 7, content.midY() - 1.5f, 14, 3));
            ctx.fillRect(Rect(content.midX() - 1.5f, content.midY() - 7, 3, 14));
        } else if (auto img = currentImage()) {
            Size s = img->size();
            drawImageInRect(ctx, *img,
                            Rect(content.midX() - s.width / 2, content.midY() - s.height / 2, s.width, s.height),
                            ContentMode::ScaleToFill);
        } else {
            draw::textWithShadow(ctx, currentTitle(), content.inset(4, 0), titleLabel()->font(), ink, bar.edge,
                                 bar.edgeOffset);
        }
    }

    std::string accessibleName() const override {
        if (!accessibilityLabel().empty()) return accessibilityLabel();
        if (plus_) return "Add";
        return Button::accessibleName();
    }

    Kind kind_;
    gfx::Color tint_;
    bool plus_;
};

std::shared_ptr<View> viewForItem(const std::shared_ptr<BarButtonItem>& item, const gfx::Color& tint, bool back = false,
                                  const std::string& backTitle = {}) {
    if (!back && item->customView()) return item->customView();
    bool plus = !back && item->systemItem() == BarButtonSystemItem::Add;
    auto kind = back                                        ? BarItemButton::Kind::Back
                : item->style() == BarButtonItemStyle::Done ? BarItemButton::Kind::Done
                                                            : BarItemButton::Kind::Bordered;
    std::string title = back ? backTitle : item->displayTitle();
    auto button = std::make_shared<BarItemButton>(kind, title, tint, back ? nullptr : item->image(), plus);
    button->setEnabled(item->isEnabled());
    if (!item->accessibilityLabel().empty()) button->setAccessibilityLabel(item->accessibilityLabel());
    Float w = item->width() > 0 && !back ? item->width() : 0;
    if (w <= 0) {
        if (plus) w = 40;
        else if (!back && item->image() && title.empty()) w = item->image()->size().width + 16;
        else
            w = std::max<Float>(back ? 50 : 48,
                                gfx::measureText(title, gfx::Font::boldSystemFont(12)).width + (back ? 24 : 20));
    }
    button->setFrame(Rect(0, 0, std::min<Float>(w, 140), 44));
    return button;
}

}  // namespace

// ---- NavigationBar

NavigationBar::NavigationBar() : NavigationBar(Rect(0, 0, 320, 44)) {}

NavigationBar::NavigationBar(Rect frame) : View(frame) {
    setAutoresizingMask(Autoresizing::FlexibleWidth);
    setOpaque(true);
}

void NavigationBar::setBarStyle(BarStyle style) {
    barStyle_ = style;
    rebuild();
}

void NavigationBar::setTintColor(std::optional<gfx::Color> color) {
    tint_ = std::move(color);
    rebuild();
}

gfx::Color NavigationBar::barColor() const {
    if (tint_) return *tint_;
    if (barStyle_ != BarStyle::Default) return palette::blackBar();
    return draw::barBlue();
}

void NavigationBar::setItems(std::vector<std::shared_ptr<NavigationItem>> items, bool animated) {
    (void)animated;
    for (auto& item : items_) item->setChangeHandler({});
    items_ = std::move(items);
    rebuild();
}

void NavigationBar::pushNavigationItem(std::shared_ptr<NavigationItem> item, bool animated) {
    if (!item) return;
    auto list = items_;
    list.push_back(std::move(item));
    setItems(std::move(list), animated);
}

std::shared_ptr<NavigationItem> NavigationBar::popNavigationItemAnimated(bool animated) {
    if (items_.empty()) return nullptr;
    auto top = items_.back();
    if (auto d = delegate(); d && !d->shouldPopItem(*this, *top)) return nullptr;
    auto list = items_;
    list.pop_back();
    setItems(std::move(list), animated);
    if (auto d = delegate()) d->didPopItem(*this, *top);
    return top;
}

std::shared_ptr<NavigationItem> NavigationBar::topItem() const { return items_.empty() ? nullptr : items_.back(); }

std::shared_ptr<NavigationItem> NavigationBar::backItem() const {
    return items_.size() < 2 ? nullptr : items_[items_.size() - 2];
}

void NavigationBar::backTapped() {
    if (backHandler_) backHandler_();
    else popNavigationItemAnimated(true);
}

bool NavigationBar::pressBackButton() {
    auto top = topItem();
    if (isHidden() || !top || top->leftBarButtonItem() || top->hidesBackButton() || !backItem()) return false;
    backTapped();
    return true;
}

void NavigationBar::rebuild() {
    for (auto& v : itemViews_) v->removeFromSuperview();
    itemViews_.clear();
    titleView_.reset();
    std::weak_ptr<View> weakSelf = weak_from_this();
    auto refresh = [weakSelf] {
        if (auto self = std::static_pointer_cast<NavigationBar>(weakSelf.lock())) self->rebuild();
    };
    for (auto& item : items_) {
        item->setChangeHandler(refresh);
        for (auto& b : {item->leftBarButtonItem(), item->rightBarButtonItem(), item->backBarButtonItem()})
            if (b) b->setChangeHandler(refresh);
    }
    auto top = topItem();
    if (!top) {
        setNeedsDisplay();
        return;
    }
    gfx::Color buttonTint = draw::darker(barColor(), 0.12f);
    std::shared_ptr<View> left, right;
    if (auto item = top->leftBarButtonItem()) {
        left = viewForItem(item, buttonTint);
        if (auto button = std::dynamic_pointer_cast<Control>(left); button && !item->customView()) {
            std::weak_ptr<BarButtonItem> weakItem = item;
            button->addTarget(
                [weakItem] {
                    if (auto i = weakItem.lock()) i->performAction();
                },
                ControlEvents::TouchUpInside);
        }
    } else if (auto back = backItem(); back && !top->hidesBackButton()) {
        std::string title = back->backBarButtonItem() ? back->backBarButtonItem()->title() : back->title();
        if (title.empty() || gfx::measureText(title, gfx::Font::boldSystemFont(12)).width > 90) title = "Back";
        auto item = back->backBarButtonItem() ? back->backBarButtonItem()
                                              : std::make_shared<BarButtonItem>(title, BarButtonItemStyle::Bordered);
        left = viewForItem(item, buttonTint, true, title);
        std::weak_ptr<View> weak = weak_from_this();
        std::static_pointer_cast<Control>(left)->addTarget(
            [weak] {
                if (auto self = std::static_pointer_cast<NavigationBar>(weak.lock())) self->backTapped();
            },
            ControlEvents::TouchUpInside);
    }
    if (auto item = top->rightBarButtonItem()) {
        right = viewForItem(item, buttonTint);
        if (auto button = std::dynamic_pointer_cast<Control>(right); button && !item->customView()) {
            std::weak_ptr<BarButtonItem> weakItem = item;
            button->addTarget(
                [weakItem] {
                    if (auto i = weakItem.lock()) i->performAction();
                },
                ControlEvents::TouchUpInside);
        }
    }
    if (top->titleView()) {
        titleView_ = top->titleView();
    } else {
        auto label = std::make_shared<Label>();
        label->setText(top->title());
        label->setFont(gfx::Font::boldSystemFont(20));
        // White with a dark edge on a dark bar; on a light (gold) bar white
        // cannot be read, so the title is dark with a light edge there.
        const draw::BarInk ink = draw::barInkOn(barColor());
        label->setTextColor(ink.ink);
        label->setShadowColor(ink.edge);
        label->setShadowOffset(ink.edgeOffset);
        label->setBackgroundColor(gfx::Color::clear());
        label->setTextAlignment(TextAlignment::Center);
        label->setAdjustsFontSizeToFitWidth(true);
        label->setMinimumFontSize(14);
        titleView_ = label;
    }
    if (left) itemViews_.push_back(left);
    if (right) itemViews_.push_back(right);
    itemViews_.push_back(titleView_);
    for (auto& v : itemViews_) addSubview(v);
    setNeedsLayout();
    setNeedsDisplay();
}

void NavigationBar::layoutSubviews() {
    Rect b = bounds();
    auto top = topItem();
    if (!top) return;
    Float leftEdge = 5, rightEdge = b.width() - 5;
    for (auto& v : itemViews_) {
        if (v == titleView_) continue;
        Rect f = v->frame();
        bool isLeft = v == itemViews_.front() && (top->leftBarButtonItem() || (backItem() && !top->hidesBackButton()));
        Float h = std::min<Float>(f.height(), 44);
        if (isLeft) {
            v->setFrame(Rect(5, std::floor((b.height() - h) / 2), f.width(), h));
            leftEdge = 5 + f.width() + 6;
        } else {
            v->setFrame(Rect(b.width() - 5 - f.width(), std::floor((b.height() - h) / 2), f.width(), h));
            rightEdge = b.width() - 5 - f.width() - 6;
        }
    }
    if (titleView_) {
        // Centred on the bar when the buttons leave room, else between them.
        Float side = std::max(leftEdge, b.width() - rightEdge);
        Float width = std::max<Float>(0, b.width() - 2 * side);
        Rect tf = titleView_->frame();
        if (std::dynamic_pointer_cast<Label>(titleView_)) {
            Float natural =
                gfx::measureText(std::static_pointer_cast<Label>(titleView_)->text(), gfx::Font::boldSystemFont(20))
                    .width;
            if (natural > width) {
                titleView_->setFrame(Rect(leftEdge, 0, std::max<Float>(0, rightEdge - leftEdge), b.height()));
            } else {
                titleView_->setFrame(Rect(side, 0, width, b.height()));
            }
        } else {
            titleView_->setFrame(Rect(std::floor((b.width() - tf.width()) / 2),
                                      std::floor((b.height() - tf.height()) / 2), tf.width(), tf.height()));
        }
    }
}

void NavigationBar::drawRect(gfx::Context& ctx, Rect rect) {
    (void)rect;
    Rect b = bounds();
    gfx::Color base = barColor();
    if (translucent_ || barStyle_ == BarStyle::BlackTranslucent) base = base.withAlpha(0.8f);
    draw::fillGlossy(ctx, b, base);
    ctx.setFillColor(draw::lighter(base, 0.5f).withAlpha(0.8f));
    ctx.fillRect(Rect(b.minX(), b.minY(), b.width(), 1));
    ctx.setFillColor(draw::darker(base, 0.4f));
    ctx.fillRect(Rect(b.minX(), b.maxY() - 1, b.width(), 1));
}

std::string NavigationBar::displayedText() const { return {}; }

// ---- NavigationController

NavigationController::NavigationController(std::shared_ptr<ViewController> rootViewController) {
    if (rootViewController) stack_.push_back(std::move(rootViewController));
}

NavigationController::~NavigationController() = default;

std::shared_ptr<ViewController> NavigationController::topViewController() const {
    return stack_.empty() ? nullptr : stack_.back();
}

std::shared_ptr<ViewController> NavigationController::visibleViewController() const {
    auto top = topViewController();
    if (auto modal = modalViewController()) return modal;
    if (top && top->modalViewController()) return top->modalViewController();
    return top;
}

std::shared_ptr<NavigationBar> NavigationController::navigationBar() {
    if (!bar_) {
        bar_ = std::make_shared<NavigationBar>(Rect(0, 0, 320, 44));
        std::weak_ptr<ViewController> weak = weak_from_this();
        bar_->setBackHandler([weak] {
            if (auto self = std::static_pointer_cast<NavigationController>(weak.lock()))
                self->popViewControllerAnimated(true);
        });
    }
    return bar_;
}

Rect NavigationController::contentFrame() const {
    Rect b = container_ ? container_->bounds() : Rect(0, 0, 320, 460);
    if (barHidden_) return b;
    return Rect(b.minX(), b.minY() + 44, b.width(), std::max<Float>(0, b.height() - 44));
}

void NavigationController::loadView() {
    container_ = std::make_shared<View>(Screen::mainScreen().applicationFrame());
    container_->setBackgroundColor(gfx::Color::white());
    container_->setAutoresizingMask(Autoresizing::FlexibleWidth | Autoresizing::FlexibleHeight);
    container_->setClipsToBounds(true);
    setView(container_);
    auto bar = navigationBar();
    bar->setFrame(Rect(0, 0, container_->bounds().width(), 44));
    bar->setHidden(barHidden_);
    container_->addSubview(bar);
    auto self = std::static_pointer_cast<NavigationController>(shared_from_this());
    for (auto& vc : stack_) vc->setParent(self);
    if (auto top = topViewController()) {
        auto v = top->view();
        v->setFrame(contentFrame());
        v->setAutoresizingMask(v->autoresizingMask() | Autoresizing::FlexibleWidth | Autoresizing::FlexibleHeight);
        container_->insertSubviewBelow(v, bar);
    }
    updateBar(false);
}

void NavigationController::layoutContent() {
    if (!container_) return;
    bar_->setFrame(Rect(0, 0, container_->bounds().width(), 44));
    bar_->setHidden(barHidden_);
    if (auto top = topViewController(); top && top->isViewLoaded()) top->view()->setFrame(contentFrame());
}

void NavigationController::updateBar(bool animated) {
    std::vector<std::shared_ptr<NavigationItem>> items;
    for (auto& vc : stack_) items.push_back(vc->navigationItem());
    navigationBar()->setItems(std::move(items), animated);
}

void NavigationController::setNavigationBarHidden(bool hidden, bool animated) {
    (void)animated;
    barHidden_ = hidden;
    layoutContent();
}

std::vector<std::shared_ptr<ViewController>> NavigationController::childViewControllersForAppearance() const {
    if (auto top = topViewController()) return {top};
    return {};
}

void NavigationController::viewWillAppear(bool animated) { ViewController::viewWillAppear(animated); }
void NavigationController::viewDidAppear(bool animated) { ViewController::viewDidAppear(animated); }
void NavigationController::viewWillDisappear(bool animated) { ViewController::viewWillDisappear(animated); }
void NavigationController::viewDidDisappear(bool animated) { ViewController::viewDidDisappear(animated); }

void NavigationController::pushViewController(std::shared_ptr<ViewController> controller, bool animated) {
    if (!controller) return;
    if (std::find(stack_.begin(), stack_.end(), controller) != stack_.end()) return;
    if (transitioning_) {
        std::weak_ptr<ViewController> weak = weak_from_this();
        pending_.push_back([weak, controller = std::move(controller), animated] {
            if (auto self = std::static_pointer_cast<NavigationController>(weak.lock()))
                self->pushViewController(controller, animated);
        });
        return;
    }
    auto from = topViewController();
    controller->setParent(std::static_pointer_cast<NavigationController>(shared_from_this()));
    stack_.push_back(controller);
    if (!isViewLoaded()) return;
    transition(std::move(from), std::move(controller), +1, animated, {});
}

std::shared_ptr<ViewController> NavigationController::popViewControllerAnimated(bool animated) {
    if (stack_.size() <= 1) return nullptr;
    if (transitioning_) {
        std::weak_ptr<ViewController> weak = weak_from_this();
        auto top = topViewController();
        pending_.push_back([weak, animated] {
            if (auto self = std::static_pointer_cast<NavigationController>(weak.lock()))
                self->popViewControllerAnimated(animated);
        });
        return top;
    }
    auto from = stack_.back();
    stack_.pop_back();
    if (!isViewLoaded()) {
        from->setParent(nullptr);
        return from;
    }
    transition(from, stack_.back(), -1, animated, {from});
    return from;
}

std::vector<std::shared_ptr<ViewController>> NavigationController::popToRootViewControllerAnimated(bool animated) {
    if (stack_.empty()) return {};
    return popToViewController(stack_.front(), animated);
}

std::vector<std::shared_ptr<ViewController>> NavigationController::popToViewController(
    const std::shared_ptr<ViewController>& controller, bool animated) {
    auto it = std::find(stack_.begin(), stack_.end(), controller);
    if (it == stack_.end() || it + 1 == stack_.end()) return {};
    std::vector<std::shared_ptr<ViewController>> removed(it + 1, stack_.end());
    auto from = stack_.back();
    stack_.erase(it + 1, stack_.end());
    if (!isViewLoaded()) {
        for (auto& r : removed) r->setParent(nullptr);
        return removed;
    }
    transition(from, controller, -1, animated, removed);
    return removed;
}

void NavigationController::setViewControllers(std::vector<std::shared_ptr<ViewController>> controllers, bool animated) {
    auto from = topViewController();
    std::vector<std::shared_ptr<ViewController>> removed;
    for (auto& vc : stack_)
        if (std::find(controllers.begin(), controllers.end(), vc) == controllers.end()) removed.push_back(vc);
    bool fromStays = from && std::find(controllers.begin(), controllers.end(), from) != controllers.end();
    stack_ = std::move(controllers);
    auto self = std::static_pointer_cast<NavigationController>(shared_from_this());
    for (auto& vc : stack_) vc->setParent(self);
    if (!isViewLoaded()) {
        for (auto& r : removed) r->setParent(nullptr);
        return;
    }
    auto to = topViewController();
    if (to == from) {
        for (auto& r : removed) r->setParent(nullptr);
        updateBar(animated);
        return;
    }
    transition(from, to, fromStays ? +1 : -1, animated, removed);
}

void NavigationController::transition(std::shared_ptr<ViewController> from, std::shared_ptr<ViewController> to,
                                      int direction, bool animated,
                                      std::vector<std::shared_ptr<ViewController>> removed) {
    if (!to) return;
    bool visible = isViewVisible() || (isViewLoaded() && view()->window());
    auto toView = to->view();
    toView->setTransform(AffineTransform());
    toView->setFrame(contentFrame());
    toView->setAutoresizingMask(toView->autoresizingMask() | Autoresizing::FlexibleWidth |
                                Autoresizing::FlexibleHeight);
    if (auto d = delegate()) d->willShowViewController(*this, *to, animated);
    if (visible) {
        if (from) from->beginAppearance(false, animated);
        to->beginAppearance(true, animated);
    }
    container_->insertSubviewBelow(toView, bar_);
    updateBar(animated);
    std::weak_ptr<ViewController> weak = weak_from_this();
    auto fromView = from && from != to && from->isViewLoaded() ? from->view() : nullptr;
    Rect content = contentFrame();
    auto finish = [weak, from = std::move(from), to = std::move(to), fromView, removed = std::move(removed), visible,
                   animated, content](bool) {
        auto self = std::static_pointer_cast<NavigationController>(weak.lock());
        if (fromView) {
            fromView->removeFromSuperview();
            fromView->setFrame(content);
        }
        if (visible) {
            if (from && from != to) from->endAppearance();
            to->endAppearance();
        }
        for (auto& r : removed)
            if (!self || std::find(self->stack_.begin(), self->stack_.end(), r) == self->stack_.end())
                r->setParent(nullptr);
        if (!self) return;
        self->transitioning_ = false;
        if (auto d = self->delegate()) d->didShowViewController(*self, *to, animated);
        auto pending = std::move(self->pending_);
        self->pending_.clear();
        for (auto& fn : pending) fn();
    };
    if (animated && fromView && View::areAnimationsEnabled()) {
        transitioning_ = true;
        Application::sharedApplication().beginIgnoringInteractionEvents();
        Float w = content.width();
        Point toEnd = toView->center();
        Point fromStart = fromView->center();
        toView->setCenter(Point(toEnd.x + direction * w, toEnd.y));
        View::animate(
            0.35, 0, AnimationOptions::CurveEaseInOut,
            [toView, fromView, toEnd, fromStart, direction, w] {
                toView->setCenter(toEnd);
                fromView->setCenter(Point(fromStart.x - direction * w, fromStart.y));
            },
            [finish](bool finished) {
                Application::sharedApplication().endIgnoringInteractionEvents();
                finish(finished);
            });
    } else {
        finish(true);
    }
}

}  // namespace ui
