#include "platform/ui/View.h"

#include <algorithm>
#include <cmath>

#include "platform/gfx/Context.h"
#include "platform/gfx/Layer.h"
#include "platform/gfx/Renderer.h"
#include "platform/ui/AnimationEngine.h"
#include "platform/ui/Application.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

namespace ui {

namespace {

// Forwards a layer's drawing to its view: its content, its overlay drawing
// (above the subviews), or the stand-in that shows it turning over.
class ViewLayerDelegate : public gfx::LayerDelegate {
public:
    enum class Part { Content, Overlay, Turn };
    ViewLayerDelegate(View* view, Part part) : view_(view), part_(part) {}
    void drawLayer(gfx::Layer& layer, gfx::Context& context) override {
        (void)layer;
        if (!view_) return;
        switch (part_) {
        case Part::Overlay:
            animation::drawTransitionOverlay(*view_, context);
            view_->drawOverlay(context);
            break;
        case Part::Turn: animation::drawTransitionOverlay(*view_, context, true); break;
        case Part::Content: view_->drawLayerContent(context); break;
        }
    }
    void layoutSublayersOfLayer(gfx::Layer& layer) override { (void)layer; }
    View* view_;
    Part part_;
};

bool sameRect(const Rect& a, const Rect& b) { return a == b; }

}  // namespace

View::View() : View(Rect()) {}

View::View(Rect frame) {
    layer_ = gfx::Layer::create();
    layerDelegate_ = std::make_shared<ViewLayerDelegate>(this, ViewLayerDelegate::Part::Content);
    layer_->setDelegate(layerDelegate_);
    bounds_ = Rect(0, 0, frame.width(), frame.height());
    center_ = Point(frame.midX(), frame.midY());
    if (frame.isNull()) {
        bounds_ = Rect();
        center_ = Point();
    }
    syncLayer();
}

View::~View() {
    animation::viewDestroyed(this);
    // Subviews that others still hold lose their superview and window
    // without callbacks (this view is going away).
    std::function<void(View&)> clear = [&](View& v) {
        v.window_ = nullptr;
        for (auto& sub : v.subviews_) clear(*sub);
    };
    for (auto& sub : subviews_) {
        sub->superview_ = nullptr;
        clear(*sub);
    }
    if (layerDelegate_) static_cast<ViewLayerDelegate*>(layerDelegate_.get())->view_ = nullptr;
    if (overlayDelegate_) static_cast<ViewLayerDelegate*>(overlayDelegate_.get())->view_ = nullptr;
    if (turnDelegate_) static_cast<ViewLayerDelegate*>(turnDelegate_.get())->view_ = nullptr;
    if (turnLayer_) turnLayer_->removeFromSuperlayer();
}

std::shared_ptr<View> View::superview() const { return superview_ ? superview_->shared_from_this() : nullptr; }

// ---- Geometry

Rect View::frame() const {
    Rect local(bounds_.origin.x, bounds_.origin.y, bounds_.width(), bounds_.height());
    if (transform_.isIdentity())
        return Rect(center_.x - bounds_.width() / 2, center_.y - bounds_.height() / 2, bounds_.width(),
                    bounds_.height());
    Rect centred(-bounds_.width() / 2, -bounds_.height() / 2, bounds_.width(), bounds_.height());
    Rect t = transform_.apply(centred);
    return t.offset(center_.x, center_.y);
}

void View::setFrame(Rect frame) {
    if (!frame.origin.isFiniteValue() || !std::isfinite(frame.width()) || !std::isfinite(frame.height())) return;
    frame = frame.standardized();
    Point c(frame.midX(), frame.midY());
    Size oldSize = bounds_.size;
    Size newSize = frame.size;
    if (!transform_.isIdentity() && transform_.isInvertible()) {
        // Keep the size; only move (the frame of a transformed view is a box).
        newSize = oldSize;
    }
    setCenter(c);
    if (!(newSize == oldSize)) {
        Rect b = bounds_;
        b.size = newSize;
        setBounds(b);
    }
}

Rect View::bounds() const { return bounds_; }

void View::setBounds(Rect bounds) {
    if (!bounds.origin.isFiniteValue()) return;
    bounds = bounds.standardized();
    if (sameRect(bounds, bounds_)) return;
    Rect old = presentationBounds();
    Size oldSize = bounds_.size;
    animation::recordChange(*this, animation::Prop::Bounds, {old.origin.x, old.origin.y, old.width(), old.height()},
                            {bounds.origin.x, bounds.origin.y, bounds.width(), bounds.height()});
    bounds_ = bounds;
    markDirty();
    if (!(oldSize == bounds_.size)) boundsSizeChanged(oldSize);
}

void View::boundsSizeChanged(Size oldSize) {
    if (autoresizesSubviews_) resizeSubviews(oldSize);
    setNeedsLayout();
}

Point View::center() const { return center_; }

void View::setCenter(Point center) {
    if (!center.isFiniteValue() || center == center_) return;
    Point old = presentationCenter();
    animation::recordChange(*this, animation::Prop::Center, {old.x, old.y}, {center.x, center.y});
    center_ = center;
    markDirty();
}

AffineTransform View::transform() const { return transform_; }

void View::setTransform(AffineTransform transform) {
    if (transform == transform_) return;
    animation::recordChange(*this, animation::Prop::Transform, animation::decompose(presentationTransform()),
                            animation::decompose(transform));
    transform_ = transform;
    markDirty();
}

void View::setContentMode(ContentMode mode) {
    contentMode_ = mode;
    markDirty();
}

Size View::sizeThatFits(Size size) const {
    (void)size;
    return bounds_.size;
}

void View::sizeToFit() {
    Size s = sizeThatFits(bounds_.size);
    Rect f = frame();
    setFrame(Rect(f.origin, s));
}

void View::resizeSubviews(Size oldSize) {
    Float dw = bounds_.width() - oldSize.width;
    Float dh = bounds_.height() - oldSize.height;
    if (dw == 0 && dh == 0) return;
    auto distribute = [](Float delta, Float& margin1, Float& size, Float& margin2, bool f1, bool fs, bool f2) {
        Float total = (f1 ? margin1 : 0) + (fs ? size : 0) + (f2 ? margin2 : 0);
        int count = int(f1) + int(fs) + int(f2);
        if (count == 0) return;
        if (total <= 0) {
            Float share = delta / count;
            if (f1) margin1 += share;
            if (fs) size += share;
            if (f2) margin2 += share;
            return;
        }
        if (f1) margin1 += delta * margin1 / total;
        if (fs) size += delta * size / total;
        if (f2) margin2 += delta * margin2 / total;
    };
    for (auto& sub : subviews_) {
        unsigned m = sub->autoresizingMask_;
        if (m == Autoresizing::None) continue;
        Rect f = sub->frame();
        Float left = f.minX(), width = f.width(), right = oldSize.width - f.maxX();
        Float top = f.minY(), height = f.height(), bottom = oldSize.height - f.maxY();
        distribute(dw, left, width, right, m & Autoresizing::FlexibleLeftMargin, m & Autoresizing::FlexibleWidth,
                   m & Autoresizing::FlexibleRightMargin);
        distribute(dh, top, height, bottom, m & Autoresizing::FlexibleTopMargin, m & Autoresizing::FlexibleHeight,
                   m & Autoresizing::FlexibleBottomMargin);
        sub->setFrame(Rect(left, top, std::max<Float>(0, width), std::max<Float>(0, height)));
    }
}

// ---- Appearance

Float View::alpha() const { return alpha_; }

void View::setAlpha(Float alpha) {
    if (std::isnan(alpha)) return;
    alpha = std::clamp<Float>(alpha, 0, 1);
    if (alpha == alpha_) return;
    animation::recordChange(*this, animation::Prop::Alpha, {presentationAlpha()}, {alpha});
    alpha_ = alpha;
    markDirty();
}

void View::setHidden(bool hidden) {
    if (hidden == hidden_) return;
    hidden_ = hidden;
    if (hidden) {
        // A hidden first responder gives up typing.
        Responder* fr = Application::existing() ? Application::existing()->firstResponder() : nullptr;
        if (auto* v = dynamic_cast<View*>(fr); v && (v == this || v->isDescendantOfView(this)))
            v->resignFirstResponder();
    }
    layer_->setHidden(hidden);
    markDirty();
}

gfx::Color View::backgroundColor() const { return backgroundColor_.value_or(gfx::Color::clear()); }

void View::setBackgroundColor(gfx::Color color) {
    if (backgroundColor_ && *backgroundColor_ == color) return;
    auto old = animation::presentationBackground(*this);
    auto a = old.rgba();
    auto b = color.rgba();
    animation::recordChange(*this, animation::Prop::Background, {a[0], a[1], a[2], a[3]}, {b[0], b[1], b[2], b[3]});
    backgroundColor_ = std::move(color);
    markDirty();
}

void View::setClipsToBounds(bool clips) {
    clipsToBounds_ = clips;
    markDirty();
}

// ---- Accessibility

void View::collectAccessibleElements(std::vector<AccessibleElement>& out) const {
    if (accessibilityLabel_.empty()) return;
    AccessibleElement e;
    e.label = accessibilityLabel_;
    e.className = className();
    e.frame = convertRectToView(bounds_, nullptr);
    e.enabled = userInteractionEnabled_;
    e.view = std::const_pointer_cast<View>(shared_from_this());
    out.push_back(std::move(e));
}

// ---- Hierarchy

std::shared_ptr<Window> View::window() const {
    if (!window_) return nullptr;
    return std::static_pointer_cast<Window>(window_->shared_from_this());
}

void View::setWindowRecursive(Window* window) {
    if (window_ == window) return;
    willMoveToWindow(window);
    if (!window) {
        auto* app = Application::existing();
        if (app && app->firstResponder() == this) resignFirstResponder();
    }
    window_ = window;
    for (auto& sub : subviews_) sub->setWindowRecursive(window);
    didMoveToWindow();
}

void View::addSubview(const std::shared_ptr<View>& view) { insertSubview(view, subviews_.size()); }

void View::insertSubview(const std::shared_ptr<View>& view, std::size_t index) {
    if (!view || view.get() == this || isDescendantOfView(view.get())) return;
    auto keep = view;  // may be owned only by its old superview
    if (view->superview_ == this) {
        auto it = std::find(subviews_.begin(), subviews_.end(), view);
        std::size_t old = static_cast<std::size_t>(it - subviews_.begin());
        subviews_.erase(it);
        if (index > old) --index;
        index = std::min(index, subviews_.size());
        subviews_.insert(subviews_.begin() + static_cast<long>(index), view);
    } else {
        if (view->superview_) view->removeFromSuperview();
        view->willMoveToSuperview(this);
        index = std::min(index, subviews_.size());
        subviews_.insert(subviews_.begin() + static_cast<long>(index), view);
        view->superview_ = this;
    }
    // Keep the layer order the same as the subview order (other sublayers,
    // such as chart layers, stay where they are).
    if (index + 1 < subviews_.size()) layer_->insertSublayerBelow(view->layer_, subviews_[index + 1]->layer_.get());
    else if (overlayLayer_) layer_->insertSublayerBelow(view->layer_, overlayLayer_.get());
    else layer_->addSublayer(view->layer_);
    view->setWindowRecursive(window_ ? window_ : dynamic_cast<Window*>(this));
    view->didMoveToSuperview();
    didAddSubview(view.get());
    markDirty();
}

void View::insertSubviewAbove(const std::shared_ptr<View>& view, const std::shared_ptr<View>& sibling) {
    auto it = std::find(subviews_.begin(), subviews_.end(), sibling);
    if (it == subviews_.end()) return addSubview(view);
    insertSubview(view, static_cast<std::size_t>(it - subviews_.begin()) + 1);
}

void View::insertSubviewBelow(const std::shared_ptr<View>& view, const std::shared_ptr<View>& sibling) {
    auto it = std::find(subviews_.begin(), subviews_.end(), sibling);
    if (it == subviews_.end()) return insertSubview(view, 0);
    insertSubview(view, static_cast<std::size_t>(it - subviews_.begin()));
}

void View::removeFromSuperview() {
    View* parent = superview_;
    if (!parent) return;
    auto keep = shared_from_this();
    parent->willRemoveSubview(this);
    willMoveToSuperview(nullptr);
    auto& list = parent->subviews_;
    list.erase(std::remove(list.begin(), list.end(), keep), list.end());
    superview_ = nullptr;
    layer_->removeFromSuperlayer();
    if (turnLayer_) turnLayer_->removeFromSuperlayer();
    setWindowRecursive(nullptr);
    didMoveToSuperview();
    parent->markDirty();
}

void View::bringSubviewToFront(const std::shared_ptr<View>& view) {
    if (!view || view->superview_ != this) return;
    insertSubview(view, subviews_.size());
}

void View::sendSubviewToBack(const std::shared_ptr<View>& view) {
    if (!view || view->superview_ != this) return;
    insertSubview(view, 0);
}

void View::exchangeSubviewAtIndex(std::size_t i, std::size_t j) {
    if (i >= subviews_.size() || j >= subviews_.size() || i == j) return;
    auto a = subviews_[i];
    auto b = subviews_[j];
    if (i > j) std::swap(i, j), std::swap(a, b);
    insertSubview(b, i);
    insertSubview(a, j);
}

bool View::isDescendantOfView(const View* view) const {
    for (const View* v = this; v; v = v->superview_)
        if (v == view) return true;
    return false;
}

std::shared_ptr<View> View::viewWithTag(int tag) {
    if (tag_ == tag) return shared_from_this();
    for (auto& sub : subviews_)
        if (auto found = sub->viewWithTag(tag)) return found;
    return nullptr;
}

// ---- Drawing and layout

void View::drawRect(gfx::Context& context, Rect rect) { (void)context, (void)rect; }

void View::markDirty() {
    layer_->setNeedsDisplay();
    auto* app = Application::existing();
    if (!app) return;
    // In a window only the view's area is drawn again (its layer reports
    // where it and its sublayers were, and where they go when the layer
    // follows the view at the next drawing).
    if (window_) return app->setNeedsRedrawInRect(convertRectToView(bounds_, nullptr));
    // Alerts, sheets and the keyboard are shown without a window.
    const View* root = this;
    while (root->superview_) root = root->superview_;
    if (dynamic_cast<const Window*>(root) || app->isShownOverlay(root)) app->setNeedsRedraw();
}

void View::setNeedsDisplay() { markDirty(); }
void View::setNeedsDisplayInRect(Rect rect) {
    (void)rect;
    markDirty();
}

void View::layoutSubviews() {}

void View::setNeedsLayout() {
    needsLayout_ = true;
    markDirty();
}

void View::layoutIfNeeded() {
    if (needsLayout_) {
        needsLayout_ = false;
        layoutSubviews();
    }
    auto subs = subviews_;
    for (auto& sub : subs) sub->layoutIfNeeded();
}

void View::setWantsOverlay(bool wants) {
    wantsOverlay_ = wants;
    updateOverlay();
}

void View::updateOverlay() {
    // A view with a superview turns over in front of what lies behind it: a
    // stand-in draws it (a view on its own, a whole screen, turns over black).
    const bool turning = animation::isTurning(*this) && layer_->superlayer();
    if (turning && !turnLayer_) {
        turnLayer_ = gfx::Layer::create();
        turnDelegate_ = std::make_shared<ViewLayerDelegate>(this, ViewLayerDelegate::Part::Turn);
        turnLayer_->setDelegate(turnDelegate_);
        layer_->superlayer()->insertSublayerAbove(turnLayer_, layer_.get());
    } else if (!turning && turnLayer_) {
        turnLayer_->removeFromSuperlayer();
        turnLayer_.reset();
        turnDelegate_.reset();
    }
    if (layer_->isHidden() != (hidden_ || turnLayer_)) layer_->setHidden(hidden_ || turnLayer_);
    bool need = wantsOverlay_ || (animation::hasTransition(*this) && !turnLayer_);
    if (need && !overlayLayer_) {
        overlayLayer_ = gfx::Layer::create();
        overlayDelegate_ = std::make_shared<ViewLayerDelegate>(this, ViewLayerDelegate::Part::Overlay);
        overlayLayer_->setDelegate(overlayDelegate_);
        layer_->addSublayer(overlayLayer_);
    } else if (!need && overlayLayer_) {
        overlayLayer_->removeFromSuperlayer();
        overlayLayer_.reset();
        overlayDelegate_.reset();
    }
    markDirty();
}

void View::syncLayer() {
    Rect b = presentationBounds();
    Point c = presentationCenter();
    if (!(layer_->bounds() == b)) layer_->setBounds(b);
    if (!(layer_->position() == c)) layer_->setPosition(c);
    AffineTransform t = presentationTransform();
    if (!(layer_->affineTransform() == t)) layer_->setAffineTransform(t);
    Float a = presentationAlpha();
    if (layer_->opacity() != a) layer_->setOpacity(a);
    const bool hideLayer = hidden_ || turnLayer_;
    if (layer_->isHidden() != hideLayer) layer_->setHidden(hideLayer);
    if (layer_->masksToBounds() != clipsToBounds_) layer_->setMasksToBounds(clipsToBounds_);
    if (turnLayer_) syncTurnLayer(b, c, t, a);
    if (overlayLayer_) {
        Rect ob(b.origin.x, b.origin.y, b.width(), b.height());
        if (!(overlayLayer_->bounds() == ob)) overlayLayer_->setBounds(ob);
        Point op(b.origin.x + b.width() / 2, b.origin.y + b.height() / 2);
        if (!(overlayLayer_->position() == op)) overlayLayer_->setPosition(op);
        if (layer_->sublayers().empty() || layer_->sublayers().back() != overlayLayer_)
            layer_->addSublayer(overlayLayer_);
    }
}

void View::syncTurnLayer(Rect b, Point c, const AffineTransform& t, Float a) {
    // Where the view's own layer would be, just above it among its siblings.
    gfx::Layer* parent = layer_->superlayer();
    if (!parent) {
        turnLayer_->removeFromSuperlayer();
    } else {
        const auto& siblings = parent->sublayers();
        auto at = std::find(siblings.begin(), siblings.end(), layer_);
        if (at == siblings.end() || at + 1 == siblings.end() || *(at + 1) != turnLayer_)
            parent->insertSublayerAbove(turnLayer_, layer_.get());
    }
    if (!(turnLayer_->bounds() == b)) turnLayer_->setBounds(b);
    if (!(turnLayer_->position() == c)) turnLayer_->setPosition(c);
    if (!(turnLayer_->affineTransform() == t)) turnLayer_->setAffineTransform(t);
    if (turnLayer_->opacity() != a) turnLayer_->setOpacity(a);
    if (turnLayer_->isHidden() != hidden_) turnLayer_->setHidden(hidden_);
}

void View::prepareTreeForDrawing(View& root) {
    if (root.needsLayout_) {
        root.needsLayout_ = false;
        root.layoutSubviews();
    }
    root.syncLayer();
    auto subs = root.subviews_;
    for (auto& sub : subs) prepareTreeForDrawing(*sub);
}

void View::renderInContext(gfx::Context& context) {
    prepareTreeForDrawing(*this);
    gfx::Renderer::render(*layer_, context);
}

void View::drawLayerContent(gfx::Context& context) {
    Rect b = presentationBounds();
    gfx::Color bg = animation::presentationBackground(*this);
    if (bg.alpha() > 0) {
        // As on the device, a corner radius rounds the background even
        // when the layer does not clip its content.
        if (layer_->cornerRadius() > 0) {
            draw::fillRoundedRect(context, b, layer_->cornerRadius(), bg);
        } else {
            context.setFillColor(bg);
            context.fillRect(b);
        }
    }
    gfx::SavedState saved(context);
    drawRect(context, b);
}

// ---- Hit testing and coordinates

std::shared_ptr<View> View::hitTest(Point point, const Event* event) {
    if (hidden_ || !userInteractionEnabled_ || alpha_ < 0.01f) return nullptr;
    if (!pointInside(point, event)) return nullptr;
    for (auto it = subviews_.rbegin(); it != subviews_.rend(); ++it) {
        auto sub = *it;
        Point p = sub->convertPointFromView(point, this);
        if (auto hit = sub->hitTest(p, event)) return hit;
    }
    return shared_from_this();
}

bool View::pointInside(Point point, const Event* event) const {
    (void)event;
    return bounds_.contains(point);
}

namespace {

// From the view's bounds space into its superview's bounds space.
Point toSuperview(const View& v, Point p) {
    Rect b = v.bounds();
    Point local(p.x - (b.origin.x + b.width() / 2), p.y - (b.origin.y + b.height() / 2));
    Point t = v.transform().apply(local);
    return Point(t.x + v.center().x, t.y + v.center().y);
}

Point fromSuperview(const View& v, Point p) {
    Rect b = v.bounds();
    Point local(p.x - v.center().x, p.y - v.center().y);
    Point t = v.transform().isIdentity() ? local : v.transform().invert().apply(local);
    return Point(t.x + b.origin.x + b.width() / 2, t.y + b.origin.y + b.height() / 2);
}

// To the coordinates of the root of the tree (the window: screen points).
Point toRoot(const View& v, Point p) {
    const View* cur = &v;
    while (cur->superview()) {
        p = toSuperview(*cur, p);
        cur = cur->superview().get();
    }
    // The root itself: a window at (0, 0), or a root view at its frame.
    if (!dynamic_cast<const Window*>(cur)) p = toSuperview(*cur, p);
    return p;
}

Point fromRoot(const View& v, Point p) {
    std::vector<const View*> chain;
    for (const View* cur = &v; cur; cur = cur->superview().get()) chain.push_back(cur);
    const View* root = chain.back();
    if (!dynamic_cast<const Window*>(root)) p = fromSuperview(*root, p);
    for (auto it = chain.rbegin() + 1; it != chain.rend(); ++it) p = fromSuperview(**it, p);
    return p;
}

}  // namespace

Point View::convertPointToView(Point point, const View* view) const {
    Point root = toRoot(*this, point);
    return view ? fromRoot(*view, root) : root;
}

Point View::convertPointFromView(Point point, const View* view) const {
    Point root = view ? toRoot(*view, point) : point;
    return fromRoot(*this, root);
}

namespace {

// The bounds of a rect's four corners, each mapped by convert.
template <typename Convert>
Rect boundsOfMappedCorners(Rect rect, Convert convert) {
    Point a = convert(Point(rect.minX(), rect.minY()));
    Point b = convert(Point(rect.maxX(), rect.maxY()));
    Point c = convert(Point(rect.maxX(), rect.minY()));
    Point d = convert(Point(rect.minX(), rect.maxY()));
    Float x0 = std::min({a.x, b.x, c.x, d.x}), x1 = std::max({a.x, b.x, c.x, d.x});
    Float y0 = std::min({a.y, b.y, c.y, d.y}), y1 = std::max({a.y, b.y, c.y, d.y});
    return Rect(x0, y0, x1 - x0, y1 - y0);
}

}  // namespace

Rect View::convertRectToView(Rect rect, const View* view) const {
    return boundsOfMappedCorners(rect, [&](Point p) { return convertPointToView(p, view); });
}

Rect View::convertRectFromView(Rect rect, const View* view) const {
    return boundsOfMappedCorners(rect, [&](Point p) { return convertPointFromView(p, view); });
}

// ---- Gesture recognizers

void View::addGestureRecognizer(const std::shared_ptr<GestureRecognizer>& recognizer) {
    if (!recognizer) return;
    if (auto old = recognizer->view()) old->removeGestureRecognizer(recognizer);
    recognizer->view_ = weak_from_this();
    recognizers_.push_back(recognizer);
}

void View::removeGestureRecognizer(const std::shared_ptr<GestureRecognizer>& recognizer) {
    auto it = std::find(recognizers_.begin(), recognizers_.end(), recognizer);
    if (it == recognizers_.end()) return;
    (*it)->view_.reset();
    recognizers_.erase(it);
}

// ---- Responder chain

Responder* View::nextResponder() const {
    if (auto vc = viewController_.lock()) return vc.get();
    if (superview_) return superview_;
    return nullptr;
}

bool View::endEditing(bool force) {
    auto* app = Application::existing();
    auto* v = app ? dynamic_cast<View*>(app->firstResponder()) : nullptr;
    if (!v || !v->isDescendantOfView(this)) return true;
    if (force) {
        Application::sharedApplication().setFirstResponder(nullptr);
        v->resignFirstResponder();
        return true;
    }
    return v->resignFirstResponder();
}

// ---- Presentation values

Point View::presentationCenter() const {
    auto v = animation::presentation(*this, animation::Prop::Center);
    return v ? Point((*v)[0], (*v)[1]) : center_;
}

Rect View::presentationBounds() const {
    auto v = animation::presentation(*this, animation::Prop::Bounds);
    return v ? Rect((*v)[0], (*v)[1], std::max<Float>(0, (*v)[2]), std::max<Float>(0, (*v)[3])) : bounds_;
}

Float View::presentationAlpha() const {
    auto v = animation::presentation(*this, animation::Prop::Alpha);
    return v ? std::clamp<Float>((*v)[0], 0, 1) : alpha_;
}

AffineTransform View::presentationTransform() const {
    auto v = animation::presentation(*this, animation::Prop::Transform);
    return v ? animation::recompose(*v) : transform_;
}

// ---- Animation class operations (the engine does the work)

void View::beginAnimations(std::string animationID, std::any context) {
    animation::begin(std::move(animationID), std::move(context));
}
void View::commitAnimations() { animation::commit(); }
void View::setAnimationDuration(double seconds) {
    animation::current([&](auto& g) { g.duration = seconds; });
}
void View::setAnimationDelay(double seconds) {
    animation::current([&](auto& g) { g.delay = seconds; });
}
void View::setAnimationCurve(AnimationCurve curve) {
    animation::current([&](auto& g) { g.curve = curve; });
}
void View::setAnimationRepeatCount(float count) {
    animation::current([&](auto& g) { g.repeatCount = count; });
}
void View::setAnimationRepeatAutoreverses(bool autoreverses) {
    animation::current([&](auto& g) { g.autoreverses = autoreverses; });
}
void View::setAnimationBeginsFromCurrentState(bool fromCurrent) {
    animation::current([&](auto& g) { g.fromCurrentState = fromCurrent; });
}
void View::setAnimationTransition(AnimationTransition transition, const std::shared_ptr<View>& view, bool cache) {
    (void)cache;
    animation::setTransition(transition, view);
}
void View::setAnimationWillStart(std::function<void(const std::string&, const std::any&)> fn) {
    animation::current([&](auto& g) { g.willStart = std::move(fn); });
}
void View::setAnimationDidStop(std::function<void(const std::string&, bool, const std::any&)> fn) {
    animation::current([&](auto& g) { g.didStop = std::move(fn); });
}
void View::setAnimationsEnabled(bool enabled) { animation::setEnabled(enabled); }
bool View::areAnimationsEnabled() { return animation::enabled(); }

void View::animate(double duration, const std::function<void()>& animations, std::function<void(bool)> completion) {
    animate(duration, 0, AnimationOptions::None, animations, std::move(completion));
}

void View::animate(double duration, double delay, unsigned options, const std::function<void()>& animations,
                   std::function<void(bool)> completion) {
    animation::begin({}, {});
    animation::current([&](auto& g) {
        g.duration = duration;
        g.delay = delay;
        g.applyOptions(options);
        g.completion = std::move(completion);
    });
    try {
        if (animations) animations();
    } catch (...) {
        animation::commit();
        throw;
    }
    animation::commit();
}

void View::transition(const std::shared_ptr<View>& view, double duration, unsigned options,
                      const std::function<void()>& animations, std::function<void(bool)> completion) {
    animation::begin({}, {});
    animation::current([&](auto& g) {
        g.duration = duration;
        g.applyOptions(options);
        g.completion = std::move(completion);
        g.recordProperties = false;
    });
    animation::setTransition(animation::transitionFromOptions(options), view);
    try {
        if (animations) animations();
    } catch (...) {
        animation::commit();
        throw;
    }
    animation::commit();
}

void View::transition(const std::shared_ptr<View>& fromView, const std::shared_ptr<View>& toView, double duration,
                      unsigned options, std::function<void(bool)> completion) {
    auto container = fromView ? fromView->superview() : nullptr;
    if (!container) {
        if (completion) completion(true);
        return;
    }
    transition(
        container, duration, options,
        [&] {
            container->insertSubviewAbove(toView, fromView);
            fromView->removeFromSuperview();
        },
        std::move(completion));
}

bool View::hasRunningAnimations() { return animation::running(); }

}  // namespace ui
