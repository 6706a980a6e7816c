#pragma once
// The base of every chart layer: padding kept free for sublayers, a
// non-owning pointer to the graph it belongs to, clipping by border paths
// across chart ancestors, a redraw notification for the graph's host, vector
// rendering of a whole layer tree into any context (PDF output, images),
// pixel alignment and keyed archiving.
//
// Chart layers draw in a y-up bounds space. Setters compare and only mark
// the layer for display or layout; nothing animates.
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "charts/CHTResponder.h"
#include "charts/CHTShadow.h"
#include "charts/CHTUtilities.h"
#include "platform/base/KeyedArchiver.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Layer.h"
#include "platform/gfx/Path.h"

class CHTGraph;

class CHTLayer : public gfx::Layer, public base::Coding, public CHTResponder {
public:
    explicit CHTLayer(const gfx::Rect& frame = gfx::Rect::zero());
    ~CHTLayer() override;

    // ---- Padding (changes ask for layout)
    CGFloat paddingLeft() const { return paddingLeft_; }
    CGFloat paddingTop() const { return paddingTop_; }
    CGFloat paddingRight() const { return paddingRight_; }
    CGFloat paddingBottom() const { return paddingBottom_; }
    void setPaddingLeft(CGFloat value);
    void setPaddingTop(CGFloat value);
    void setPaddingRight(CGFloat value);
    void setPaddingBottom(CGFloat value);

    // Whether sublayers are clipped to the inner border path.
    bool masksToBorder() const { return masksToBorder_; }
    void setMasksToBorder(bool value) { masksToBorder_ = value; }

    // Applied before the layer draws; a copy is kept.
    const std::shared_ptr<CHTShadow>& shadow() const { return shadow_; }
    virtual void setShadow(const std::shared_ptr<const CHTShadow>& shadow);

    bool isRenderingRecursively() const { return renderingRecursively_; }
    bool useFastRendering() const { return useFastRendering_; }

    // ---- The graph (not owned)
    // The graph as its own class (where CHTGraph is known).
    template <class G = CHTGraph>
    std::shared_ptr<G> graph() const {
        return std::static_pointer_cast<G>(graph_.lock());
    }
    std::shared_ptr<CHTLayer> graphLayer() const { return graph_.lock(); }
    virtual void setGraph(const std::shared_ptr<CHTLayer>& graph) { graph_ = graph; }

    // ---- Overrides of the layer tree
    void setBounds(const gfx::Rect& bounds) override;
    void setCornerRadius(CGFloat radius) override;
    void setHidden(bool hidden) override;
    void setNeedsDisplay() override;
    void setNeedsLayout() override;
    // Asserts a scale greater than 0; passes it on to chart sublayers.
    void setContentsScale(CGFloat newContentsScale) override;
    void addSublayer(const std::shared_ptr<gfx::Layer>& layer) override;
    void insertSublayer(const std::shared_ptr<gfx::Layer>& layer, std::size_t index) override;
    void insertSublayerBelow(const std::shared_ptr<gfx::Layer>& layer, const gfx::Layer* sibling) override;
    void insertSublayerAbove(const std::shared_ptr<gfx::Layer>& layer, const gfx::Layer* sibling) override;
    void replaceSublayer(const gfx::Layer* old, const std::shared_ptr<gfx::Layer>& with) override;
    void setSublayers(const std::vector<std::shared_ptr<gfx::Layer>>& layers) override;
    // Chart sublayers fill the padded area, except the excluded ones.
    void layoutSublayers() override;
    // Drawn by the renderer: the vector drawing in fast mode.
    void drawInContext(gfx::Context& context) override;

    // A style the layer draws with changed.
    void lineStyleDidChange() { setNeedsDisplay(); }

    // ---- Events: none handled in the base.
    bool pointingDeviceDownEvent(const CHTNativeEvent* event, gfx::Point interactionPoint) override;
    bool pointingDeviceDraggedEvent(const CHTNativeEvent* event, gfx::Point interactionPoint) override;
    bool pointingDeviceUpEvent(const CHTNativeEvent* event, gfx::Point interactionPoint) override;
    bool pointingDeviceCancelledEvent(const CHTNativeEvent* event) override;
    virtual bool recognizer(const CHTNativeEvent* event, gfx::Point interactionPoint, CGFloat scale);

    // ---- Layout
    // The four paddings (a bordered layer adds half its border width).
    virtual void sublayerMargin(CGFloat& left, CGFloat& top, CGFloat& right, CGFloat& bottom) const;
    // Layers that the receiver places itself.
    virtual std::set<const gfx::Layer*> sublayersExcludedFromAutomaticLayout() const;
    // Moves the position so that the layer's edges land on whole pixels.
    void pixelAlign();

    // ---- Masking
    // The clip of the layer's own drawing: none unless it masks to bounds.
    virtual std::optional<gfx::Path> maskingPath() const;
    // The clip of the sublayers: none in the base.
    virtual std::optional<gfx::Path> sublayerMaskingPath() const;
    // The clips of every chart ancestor (outermost first), then the own one.
    void applyMaskToContext(gfx::Context& context) const;
    // On the parent, for a child drawing in its own bounds space: applies the
    // parent's (and its chart ancestors') sublayer clips.
    void applySublayerMaskToContext(gfx::Context& context, const gfx::Layer& sublayer, gfx::Point offset) const;

    // ---- Rendering
    // The mask and the shadow; subclasses call it first, then draw.
    virtual void renderAsVectorInContext(gfx::Context& context);
    // The layer and its sublayers, with transforms and clips.
    void recursivelyRenderInContext(gfx::Context& context);
    // Lays the tree out, then renders it; a graph first reloads its plots
    // and relabels its axes, so image and PDF output show current data.
    virtual void layoutAndRenderInContext(gfx::Context& context);
    // Applies the transform about the anchor point (nothing for the identity
    // or a transform that is not affine).
    void applyTransform(const gfx::Transform3D& transform, gfx::Context& context) const;
    // A one-page PDF of the layer tree with the media box (0, 0, width, height).
    std::vector<std::uint8_t> dataForPDFRepresentationOfLayer();

    // "<CHTLayer bounds: {{x, y}, {w, h}}>" (with the class's name).
    virtual std::string description() const;

    std::string classForCoder() const override { return "CHTLayer"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

protected:
    // The rounded or plain rectangle of the bounds that the masking path is
    // built from, whether the layer masks or not (cached).
    gfx::Path outerPath() const;
    // The corner radius of the outer path (before it is limited to half the
    // bounds).
    virtual CGFloat outerCornerRadius() const;
    void dropBorderPaths() const;
    // Posts "CHTGraphNeedsRedrawNotification" with the graph, when there is one.
    void postGraphNeedsRedraw() const;

    mutable std::optional<gfx::Path> outerBorderPath_;
    mutable std::optional<gfx::Path> innerBorderPath_;

private:
    void adoptContentsScale(const std::shared_ptr<gfx::Layer>& layer);

    CGFloat paddingLeft_ = 0;
    CGFloat paddingTop_ = 0;
    CGFloat paddingRight_ = 0;
    CGFloat paddingBottom_ = 0;
    bool masksToBorder_ = false;
    std::shared_ptr<CHTShadow> shadow_;
    bool renderingRecursively_ = false;
    bool useFastRendering_ = false;
    std::weak_ptr<CHTLayer> graph_;
};

// A rounded rectangle: arcs of the radius through the four corners, starting
// at (minX, midY).
gfx::Path CreateRoundedRectPath(const gfx::Rect& rect, CGFloat radius);
// Adds such a path to the context's current path.
void AddRoundedRectPath(gfx::Context& context, const gfx::Rect& rect, CGFloat radius);
