#pragma once
// Places a content layer (usually a text layer) on a chart relative to
// something else. The base holds the content and its placement parameters;
// subclasses position the content in positionContentLayer(). An annotation
// is shown by at most one host at a time, which it points back to without
// owning.
#include <memory>
#include <string>

#include "charts/CHTLayer.h"
#include "platform/base/KeyedArchiver.h"

class CHTAnnotationHostLayer;

class CHTAnnotation : public base::Coding, public std::enable_shared_from_this<CHTAnnotation> {
public:
    CHTAnnotation() = default;
    ~CHTAnnotation() override;

    std::shared_ptr<CHTAnnotationHostLayer> annotationHostLayer() const { return host_.lock(); }
    // Moves the content layer from the old host to the new one. Hosts call
    // this from addAnnotation() and removeAnnotation().
    void setAnnotationHostLayer(const std::shared_ptr<CHTAnnotationHostLayer>& host);

    const std::shared_ptr<CHTLayer>& contentLayer() const { return contentLayer_; }
    // Swaps the sublayer in the host.
    void setContentLayer(const std::shared_ptr<CHTLayer>& layer);

    // Which point of the content (fractions of its bounds) sits on the anchor.
    gfx::Point contentAnchorPoint() const { return contentAnchorPoint_; }
    void setContentAnchorPoint(gfx::Point point);
    gfx::Point displacement() const { return displacement_; }
    void setDisplacement(gfx::Point displacement);
    CGFloat rotation() const { return rotation_; }
    void setRotation(CGFloat rotation);

    // Places the content layer; nothing in the base.
    virtual void positionContentLayer();

    virtual std::string description() const;

    std::string classForCoder() const override { return "CHTAnnotation"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

protected:
    // Marks the host for layout, which places the content again.
    void hostNeedsLayout();
    // Puts the content's anchor point on the point of the host (moved by the
    // displacement), turned by the rotation and aligned to pixels, and
    // redraws it. Subclasses call this once they know where the anchor is.
    void placeContentLayerAt(gfx::Point point);

private:
    friend class CHTAnnotationHostLayer;

    std::weak_ptr<CHTAnnotationHostLayer> host_;
    std::size_t hostSlot_ = 0;  // the index in the host's list
    std::shared_ptr<CHTLayer> contentLayer_;
    gfx::Point contentAnchorPoint_{0.5f, 0.5f};
    gfx::Point displacement_;
    CGFloat rotation_ = 0;
};
