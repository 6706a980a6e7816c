#pragma once
// The layer tree that views and chart layers stand on. A layer has bounds
// (its own coordinate system), a position in its superlayer at which its
// anchor point sits, a 4 x 4 transform applied about the anchor point (only
// its affine part draws) and a sublayer transform applied to its sublayers
// about the same point. Sublayers are owned and kept in drawing order (later
// ones on top); the superlayer is a non-owning back pointer. Layers never
// animate: every change takes effect at once.
//
// Layout and display are requested, not done: setNeedsLayout() and
// setNeedsDisplay() mark the layer, and the renderer lays out and draws the
// whole tree when it is next drawn. The root layer tells its host, through
// the display-request handler, whenever anything in its tree needs drawing
// again (a display request, a sublayer change, a geometry change, hiding).
#include <functional>
#include <memory>
#include <vector>

#include "platform/gfx/Geometry.h"

namespace gfx {

class Context;
class Layer;

// What a layer asks of the object that drives it (a view). Both operations are
// optional.
class LayerDelegate {
public:
    virtual ~LayerDelegate() = default;
    // Draws the layer's content (the layer's bounds are the user space).
    virtual void drawLayer(Layer& layer, Context& context);
    // Lays out the layer's sublayers.
    virtual void layoutSublayersOfLayer(Layer& layer);
};

class Layer : public std::enable_shared_from_this<Layer> {
public:
    static std::shared_ptr<Layer> create() { return std::make_shared<Layer>(); }
    Layer();
    virtual ~Layer();
    Layer(const Layer&) = delete;
    Layer& operator=(const Layer&) = delete;

    // ---- Geometry
    Rect bounds() const { return bounds_; }
    virtual void setBounds(const Rect& bounds);
    Point position() const { return position_; }
    virtual void setPosition(const Point& position);
    // Fractions of the bounds' size; (0.5, 0.5) by default.
    Point anchorPoint() const { return anchorPoint_; }
    virtual void setAnchorPoint(const Point& anchorPoint);
    // The bounds as they appear in the superlayer: the bounding box of the
    // bounds moved so that the anchor point sits at the position, with the
    // transform applied about the anchor point.
    Rect frame() const;
    // Sets position and bounds size through setPosition() and setBounds()
    // (the bounds origin is kept). Under a scaling or quarter-turn transform
    // the bounds size is the frame's size mapped back through it.
    virtual void setFrame(const Rect& frame);
    const Transform3D& transform() const { return transform_; }
    virtual void setTransform(const Transform3D& transform);
    const Transform3D& sublayerTransform() const { return sublayerTransform_; }
    virtual void setSublayerTransform(const Transform3D& transform);
    // The affine parts of the transforms (what draws).
    AffineTransform affineTransform() const { return transform_.affine(); }
    void setAffineTransform(const AffineTransform& t) { setTransform(Transform3D::makeAffine(t)); }

    // ---- Appearance
    bool isHidden() const { return hidden_; }
    virtual void setHidden(bool hidden);
    // In [0, 1]; 1 by default.
    Float opacity() const { return opacity_; }
    virtual void setOpacity(Float opacity);
    Float cornerRadius() const { return cornerRadius_; }
    virtual void setCornerRadius(Float radius);
    // Clip the content and sublayers to the bounds (rounded by the corner
    // radius).
    bool masksToBounds() const { return masksToBounds_; }
    virtual void setMasksToBounds(bool masks);
    bool isOpaque() const { return opaque_; }
    virtual void setOpaque(bool opaque);
    // Whether a bounds change marks the layer for display.
    bool needsDisplayOnBoundsChange() const { return needsDisplayOnBoundsChange_; }
    virtual void setNeedsDisplayOnBoundsChange(bool value);
    // Pixels per point of the layer's content; always > 0 (1 by default).
    Float contentsScale() const { return contentsScale_; }
    virtual void setContentsScale(Float scale);

    // ---- Tree
    const std::vector<std::shared_ptr<Layer>>& sublayers() const {
        closeUpSublayers();
        return sublayers_;
    }
    // nullptr for a root layer.
    Layer* superlayer() const { return superlayer_; }
    // The topmost ancestor (this layer for a root).
    Layer* rootLayer();
    // Each adds the layer after removing it from its former superlayer.
    // Adding a layer to itself or to one of its own sublayers is ignored.
    virtual void addSublayer(const std::shared_ptr<Layer>& layer);
    // An index past the end appends.
    virtual void insertSublayer(const std::shared_ptr<Layer>& layer, std::size_t index);
    // A sibling that is not a sublayer puts the layer first (below) or last
    // (above).
    virtual void insertSublayerBelow(const std::shared_ptr<Layer>& layer, const Layer* sibling);
    virtual void insertSublayerAbove(const std::shared_ptr<Layer>& layer, const Layer* sibling);
    // Puts `with` in the place of `old`; nothing when `old` is not a sublayer.
    // A null `with` removes `old`.
    virtual void replaceSublayer(const Layer* old, const std::shared_ptr<Layer>& with);
    // Replaces all sublayers.
    virtual void setSublayers(const std::vector<std::shared_ptr<Layer>>& layers);
    virtual void removeFromSuperlayer();
    // Whether the layer is this one or below it.
    bool isDescendantOf(const Layer* ancestor) const;

    // ---- Delegate (not owned)
    std::shared_ptr<LayerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::weak_ptr<LayerDelegate>& delegate) { delegate_ = delegate; }

    // ---- Layout
    virtual void setNeedsLayout();
    bool needsLayout() const { return needsLayout_; }
    // Lays out this layer when it needs it, then its sublayers, top-down;
    // sublayers added during layout are laid out too.
    void layoutIfNeeded();
    // Positions the sublayers; the default asks the delegate.
    virtual void layoutSublayers();

    // ---- Display
    virtual void setNeedsDisplay();
    bool needsDisplay() const { return needsDisplay_; }
    // Cleared by the renderer after drawing the layer.
    void clearNeedsDisplay() { needsDisplay_ = false; }
    // Draws the layer's own content into the context, whose user space is
    // the layer's bounds space; the default asks the delegate.
    virtual void drawInContext(Context& context);

    // Called with no arguments, on the root of a tree, when something in it
    // needs drawing again.
    void setDisplayRequestHandler(std::function<void()> handler);
    // Called instead, on the root of a tree, with the area that needs
    // drawing again (in the space above the root): where a changed layer
    // and its sublayers lie, before and after a change that moves them.
    void setDirtyRectHandler(std::function<void(const Rect&)> handler);

    // ---- Coordinates
    // The transform from this layer's bounds space into its superlayer's
    // bounds space, the superlayer's sublayer transform included.
    AffineTransform transformToSuperlayer() const;
    // Converts between this layer's bounds space and another layer's of the
    // same tree (a null layer means the root's superlayer space). Layers of
    // different trees convert through their roots' spaces.
    Point convertPointFrom(const Point& p, const Layer* layer) const;
    Point convertPointTo(const Point& p, const Layer* layer) const;
    Rect convertRectFrom(const Rect& r, const Layer* layer) const;
    Rect convertRectTo(const Rect& r, const Layer* layer) const;
    // Whether the point (in the bounds space) lies inside the bounds.
    virtual bool containsPoint(const Point& p) const;

protected:
    // Tells the root's host that something needs drawing: the area this
    // layer and its sublayers cover now.
    void requestRedraw();

private:
    void closeUpSublayers() const {
        if (emptySlots_ > 0) closeUpEmptySlots();
    }
    void closeUpEmptySlots() const;
    // Tells a sublayer the index it has now in this layer's list.
    static void placeInSlot(Layer& layer, std::size_t slot) { layer.slot_ = slot; }
    // Takes the sublayer out of the list, leaving its place empty.
    void takeOutSublayer(const Layer& sublayer);
    void attach(const std::shared_ptr<Layer>& layer);
    bool canAdopt(const Layer* layer) const;
    // From this layer's space to the space of `ancestor` (nullptr: above the root).
    AffineTransform transformTo(const Layer* ancestor) const;
    // Bounds space to superlayer space without the superlayer's sublayer
    // transform (what the frame is measured in).
    AffineTransform transformToSuperlayerOwn() const;
    // Hands the area of this layer's tree (this layer shown even if hidden)
    // to the root's host, or asks for a whole redraw.
    void reportChange();
    // The area that this layer and its shown sublayers cover, in the space
    // above the root; null when the tree is too large to walk for it.
    Rect extentInRoot() const;

    Rect bounds_;
    Point position_;
    Point anchorPoint_{0.5f, 0.5f};
    Transform3D transform_;
    Transform3D sublayerTransform_;
    bool hidden_ = false;
    Float opacity_ = 1;
    Float cornerRadius_ = 0;
    bool masksToBounds_ = false;
    bool opaque_ = false;
    bool needsDisplayOnBoundsChange_ = false;
    Float contentsScale_ = 1;
    // A removed sublayer leaves its place empty (nullptr) rather than
    // shifting every sublayer after it, so that taking many sublayers out of
    // a long list one by one stays linear; the list is closed up before it
    // is read, or when an append finds the empty places outnumbering the
    // layers (see base/SlotList.h). Every other place holds a layer whose
    // slot_ is its index.
    mutable std::vector<std::shared_ptr<Layer>> sublayers_;
    mutable std::size_t emptySlots_ = 0;
    mutable std::size_t slot_ = 0;  // the index in the superlayer's list
    Layer* superlayer_ = nullptr;
    std::weak_ptr<LayerDelegate> delegate_;
    bool needsLayout_ = false;
    bool needsDisplay_ = false;
    std::function<void()> displayRequest_;
    std::function<void(const Rect&)> dirtyRectHandler_;
};

}  // namespace gfx
