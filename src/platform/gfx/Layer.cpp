#include "platform/gfx/Layer.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/base/SlotList.h"
#include "platform/gfx/Context.h"

namespace gfx {

void LayerDelegate::drawLayer(Layer&, Context&) {}
void LayerDelegate::layoutSublayersOfLayer(Layer&) {}

Layer::Layer() = default;

Layer::~Layer() {
    for (auto& sub : sublayers_)
        if (sub) sub->superlayer_ = nullptr;
}

// ---- Geometry

void Layer::setBounds(const Rect& bounds) {
    if (bounds_ == bounds) return;
    requestRedraw();  // where it was
    bool sizeChanged = !(bounds_.size == bounds.size);
    bounds_ = bounds;
    if (needsDisplayOnBoundsChange_ && sizeChanged) needsDisplay_ = true;
    setNeedsLayout();
    requestRedraw();
}

void Layer::setPosition(const Point& position) {
    if (position_ == position) return;
    requestRedraw();  // where it was
    position_ = position;
    requestRedraw();
}

void Layer::setAnchorPoint(const Point& anchorPoint) {
    if (anchorPoint_ == anchorPoint) return;
    requestRedraw();  // where it was
    anchorPoint_ = anchorPoint;
    requestRedraw();
}

Rect Layer::frame() const { return transformToSuperlayerOwn().apply(bounds_); }

AffineTransform Layer::transformToSuperlayerOwn() const {
    Point anchor{bounds_.x() + anchorPoint_.x * bounds_.width(), bounds_.y() + anchorPoint_.y * bounds_.height()};
    return AffineTransform::makeTranslation(-anchor.x, -anchor.y)
        .concat(transform_.affine())
        .concat(AffineTransform::makeTranslation(position_.x, position_.y));
}

void Layer::setFrame(const Rect& frame) {
    if (frame.isNull()) return;
    Rect f = frame.standardized();
    Size size = f.size;
    AffineTransform t = transform_.affine();
    if (!t.isIdentity() && t.isInvertible()) {
        if (t.b == 0 && t.c == 0) size = {f.width() / std::fabs(t.a), f.height() / std::fabs(t.d)};
        else if (t.a == 0 && t.d == 0) size = {f.height() / std::fabs(t.b), f.width() / std::fabs(t.c)};
    }
    setPosition({f.x() + anchorPoint_.x * f.width(), f.y() + anchorPoint_.y * f.height()});
    setBounds({bounds_.origin, size});
}

void Layer::setTransform(const Transform3D& transform) {
    if (transform_ == transform) return;
    requestRedraw();  // where it was
    transform_ = transform;
    requestRedraw();
}

void Layer::setSublayerTransform(const Transform3D& transform) {
    if (sublayerTransform_ == transform) return;
    requestRedraw();  // where it was
    sublayerTransform_ = transform;
    requestRedraw();
}

// ---- Appearance

void Layer::setHidden(bool hidden) {
    if (hidden_ == hidden) return;
    hidden_ = hidden;
    // Reported although the layer may be hidden now: what was under it
    // must be drawn again.
    reportChange();
}

void Layer::setOpacity(Float opacity) {
    if (std::isnan(opacity)) return;
    opacity = std::clamp<Float>(opacity, 0, 1);
    if (opacity_ == opacity) return;
    opacity_ = opacity;
    requestRedraw();
}

void Layer::setCornerRadius(Float radius) {
    if (!std::isfinite(radius) || radius < 0) radius = 0;
    if (cornerRadius_ == radius) return;
    requestRedraw();  // where it was
    cornerRadius_ = radius;
    requestRedraw();
}

void Layer::setMasksToBounds(bool masks) {
    if (masksToBounds_ == masks) return;
    requestRedraw();  // where it was
    masksToBounds_ = masks;
    requestRedraw();
}

void Layer::setOpaque(bool opaque) { opaque_ = opaque; }

void Layer::setNeedsDisplayOnBoundsChange(bool value) { needsDisplayOnBoundsChange_ = value; }

void Layer::setContentsScale(Float scale) {
    if (!(std::isfinite(scale) && scale > 0)) return;
    if (contentsScale_ == scale) return;
    contentsScale_ = scale;
    needsDisplay_ = true;
    requestRedraw();
}

// ---- Tree

Layer* Layer::rootLayer() {
    Layer* l = this;
    while (l->superlayer_) l = l->superlayer_;
    return l;
}

bool Layer::isDescendantOf(const Layer* ancestor) const {
    for (const Layer* l = this; l; l = l->superlayer_)
        if (l == ancestor) return true;
    return false;
}

bool Layer::canAdopt(const Layer* layer) const {
    // A layer cannot become a sublayer of itself or of its own descendants.
    return layer && !isDescendantOf(layer);
}

void Layer::attach(const std::shared_ptr<Layer>& layer) {
    layer->superlayer_ = this;
    layer->requestRedraw();
}

void Layer::closeUpEmptySlots() const { base::closeUpSlots(sublayers_, emptySlots_, placeInSlot); }

void Layer::takeOutSublayer(const Layer& sublayer) {
    std::size_t i = sublayer.slot_;
    if (i >= sublayers_.size() || sublayers_[i].get() != &sublayer) {
        // Not where it should be: looked for (the slot is kept by every
        // change of the list, so this is a guard only).
        auto it =
            std::find_if(sublayers_.begin(), sublayers_.end(), [&](const auto& l) { return l.get() == &sublayer; });
        if (it == sublayers_.end()) return;
        i = std::size_t(it - sublayers_.begin());
    }
    base::emptySlot(sublayers_, i, emptySlots_);
}

void Layer::addSublayer(const std::shared_ptr<Layer>& layer) {
    insertSublayer(layer, std::numeric_limits<std::size_t>::max());
}

void Layer::insertSublayer(const std::shared_ptr<Layer>& layer, std::size_t index) {
    if (!canAdopt(layer.get())) return;
    std::shared_ptr<Layer> keep = layer;  // survives its removal below
    if (layer->superlayer_ == this) {
        // Taken out first; the index counts in the list without it.
        takeOutSublayer(*layer);
    } else if (layer->superlayer_) {
        layer->removeFromSuperlayer();
    }
    if (index >= sublayers_.size() - emptySlots_) {
        // Appended: the empty places before it stay as they are, unless
        // they outnumber the sublayers when the list is full.
        base::appendToSlots(sublayers_, emptySlots_, keep, placeInSlot);
    } else {
        closeUpSublayers();
        sublayers_.insert(sublayers_.begin() + std::ptrdiff_t(index), keep);
        for (std::size_t i = index; i < sublayers_.size(); ++i) sublayers_[i]->slot_ = i;
    }
    attach(keep);
    setNeedsLayout();
}

void Layer::insertSublayerBelow(const std::shared_ptr<Layer>& layer, const Layer* sibling) {
    if (!canAdopt(layer.get())) return;
    std::shared_ptr<Layer> keep = layer;
    if (layer->superlayer_) layer->removeFromSuperlayer();
    const bool found = sibling && sibling->superlayer_ == this;
    closeUpSublayers();
    insertSublayer(keep, found ? sibling->slot_ : 0);
}

void Layer::insertSublayerAbove(const std::shared_ptr<Layer>& layer, const Layer* sibling) {
    if (!canAdopt(layer.get())) return;
    std::shared_ptr<Layer> keep = layer;
    if (layer->superlayer_) layer->removeFromSuperlayer();
    const bool found = sibling && sibling->superlayer_ == this;
    closeUpSublayers();
    insertSublayer(keep, found ? sibling->slot_ + 1 : sublayers_.size());
}

void Layer::replaceSublayer(const Layer* old, const std::shared_ptr<Layer>& with) {
    if (!old || old->superlayer_ != this || with.get() == old) return;
    if (with && !canAdopt(with.get())) return;
    std::shared_ptr<Layer> keep = with;
    // `with` leaves its place first (it may be a sibling), then takes old's.
    if (keep && keep->superlayer_) keep->removeFromSuperlayer();
    closeUpSublayers();
    std::size_t index = old->slot_;
    std::shared_ptr<Layer> removed = sublayers_[index];
    removed->removeFromSuperlayer();
    if (keep) insertSublayer(keep, index);
}

void Layer::setSublayers(const std::vector<std::shared_ptr<Layer>>& layers) {
    std::vector<std::shared_ptr<Layer>> keep = layers;
    // The list never ends in an empty place: its last entry is a layer.
    while (!sublayers_.empty()) sublayers_.back()->removeFromSuperlayer();
    for (const auto& l : keep)
        if (l) addSublayer(l);
}

void Layer::removeFromSuperlayer() {
    Layer* parent = superlayer_;
    if (!parent) return;
    std::shared_ptr<Layer> self = shared_from_this();  // keep alive until done
    parent->requestRedraw();
    parent->takeOutSublayer(*this);
    superlayer_ = nullptr;
    parent->setNeedsLayout();
}

// ---- Layout

void Layer::setNeedsLayout() {
    if (!needsLayout_) {
        needsLayout_ = true;
    }
    requestRedraw();
}

void Layer::layoutIfNeeded() {
    if (needsLayout_) {
        needsLayout_ = false;
        layoutSublayers();
    }
    // A copy: layout may add or remove sublayers. Layers added while this
    // loop runs are laid out by the renderer before they draw.
    std::vector<std::shared_ptr<Layer>> subs = sublayers();
    for (const auto& sub : subs)
        if (sub->superlayer_ == this) sub->layoutIfNeeded();
}

void Layer::layoutSublayers() {
    if (auto d = delegate()) d->layoutSublayersOfLayer(*this);
}

// ---- Display

void Layer::setNeedsDisplay() {
    needsDisplay_ = true;
    requestRedraw();
}

void Layer::drawInContext(Context& context) {
    if (auto d = delegate()) d->drawLayer(*this, context);
}

void Layer::setDisplayRequestHandler(std::function<void()> handler) { displayRequest_ = std::move(handler); }

void Layer::setDirtyRectHandler(std::function<void(const Rect&)> handler) { dirtyRectHandler_ = std::move(handler); }

void Layer::requestRedraw() {
    // Changes under a hidden layer show nowhere.
    if (hidden_) return;
    reportChange();
}

void Layer::reportChange() {
    Layer* root = this;
    for (Layer* l = superlayer_; l; l = l->superlayer_) {
        if (l->hidden_) return;
        root = l;
    }
    if (root->dirtyRectHandler_) {
        const Rect area = extentInRoot();
        if (!area.isNull()) {
            if (!area.isEmpty()) root->dirtyRectHandler_(area);
            return;
        }
    }
    if (root->displayRequest_) root->displayRequest_();
}

Rect Layer::extentInRoot() const {
    // Walked top down with each layer's transform into the root's space; a
    // tree larger than this is not worth walking, the caller redraws all.
    constexpr int maxLayers = 400;
    int visited = 0;
    Rect area;
    bool any = false;
    bool tooLarge = false;
    auto walk = [&](auto& self, const Layer& l, const AffineTransform& toRoot) -> void {
        if (tooLarge) return;
        if (++visited > maxLayers) {
            tooLarge = true;
            return;
        }
        const Rect r = toRoot.apply(l.bounds_.standardized());
        area = any ? area.unionWith(r) : r;
        any = true;
        if (l.masksToBounds_) return;  // the sublayers show only inside
        // Read as it is, empty places included: closing the list up for
        // every change would make removing many sublayers quadratic.
        for (const auto& sub : l.sublayers_)
            if (sub && !sub->hidden_) self(self, *sub, sub->transformToSuperlayer().concat(toRoot));
    };
    walk(walk, *this, transformTo(nullptr));
    if (tooLarge) return Rect::null();
    return any ? area : Rect();
}

// ---- Coordinates

AffineTransform Layer::transformToSuperlayer() const {
    AffineTransform t = transformToSuperlayerOwn();
    if (superlayer_ && !superlayer_->sublayerTransform_.isIdentity()) {
        const Layer* p = superlayer_;
        Point anchor{p->bounds_.x() + p->anchorPoint_.x * p->bounds_.width(),
                     p->bounds_.y() + p->anchorPoint_.y * p->bounds_.height()};
        t = t.concat(AffineTransform::makeTranslation(-anchor.x, -anchor.y))
                .concat(p->sublayerTransform_.affine())
                .concat(AffineTransform::makeTranslation(anchor.x, anchor.y));
    }
    return t;
}

AffineTransform Layer::transformTo(const Layer* ancestor) const {
    AffineTransform t;
    for (const Layer* l = this; l && l != ancestor; l = l->superlayer_) {
        if (!l->superlayer_) {
            // The root: its own placement maps into the space above it.
            t = t.concat(l->transformToSuperlayer());
            break;
        }
        t = t.concat(l->transformToSuperlayer());
    }
    return t;
}

namespace {
// The nearest common ancestor of two layers, or nullptr (the spaces above
// the roots).
const Layer* commonAncestor(const Layer* a, const Layer* b) {
    for (const Layer* x = a; x; x = x->superlayer())
        if (b->isDescendantOf(x)) return x;
    return nullptr;
}
}  // namespace

Point Layer::convertPointFrom(const Point& p, const Layer* layer) const {
    if (layer == this) return p;
    const Layer* common = layer ? commonAncestor(this, layer) : nullptr;
    Point up = layer ? layer->transformTo(common).apply(p) : p;
    return transformTo(common).invert().apply(up);
}

Point Layer::convertPointTo(const Point& p, const Layer* layer) const {
    if (layer == this) return p;
    const Layer* common = layer ? commonAncestor(this, layer) : nullptr;
    Point up = transformTo(common).apply(p);
    return layer ? layer->transformTo(common).invert().apply(up) : up;
}

Rect Layer::convertRectFrom(const Rect& r, const Layer* layer) const {
    if (layer == this) return r;
    const Layer* common = layer ? commonAncestor(this, layer) : nullptr;
    AffineTransform t = layer ? layer->transformTo(common) : AffineTransform();
    return t.concat(transformTo(common).invert()).apply(r);
}

Rect Layer::convertRectTo(const Rect& r, const Layer* layer) const {
    if (layer == this) return r;
    const Layer* common = layer ? commonAncestor(this, layer) : nullptr;
    AffineTransform t = transformTo(common);
    if (layer) t = t.concat(layer->transformTo(common).invert());
    return t.apply(r);
}

bool Layer::containsPoint(const Point& p) const { return bounds_.contains(p); }

}  // namespace gfx
