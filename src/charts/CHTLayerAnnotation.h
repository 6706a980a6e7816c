#pragma once
// An annotation pinned to a point of another layer's bounds, chosen by a
// rectangle anchor (a corner, the middle of an edge, or the centre). The
// graph places its title and legend with it.
#include <memory>

#include "charts/CHTAnnotation.h"
#include "charts/CHTConstraints.h"

// Rectangle anchors.
inline constexpr int CHTRectAnchorBottomLeft = 0;
inline constexpr int CHTRectAnchorBottom = 1;
inline constexpr int CHTRectAnchorBottomRight = 2;
inline constexpr int CHTRectAnchorLeft = 3;
inline constexpr int CHTRectAnchorRight = 4;
inline constexpr int CHTRectAnchorTopLeft = 5;
inline constexpr int CHTRectAnchorTop = 6;
inline constexpr int CHTRectAnchorTopRight = 7;
inline constexpr int CHTRectAnchorCenter = 8;

class CHTLayerAnnotation : public CHTAnnotation {
public:
    // For the unarchiver.
    CHTLayerAnnotation();
    // The anchor layer is not owned; a missing one is an assertion failure.
    // Anchor 6 (top).
    explicit CHTLayerAnnotation(const std::shared_ptr<CHTLayer>& anchorLayer);
    static std::shared_ptr<CHTLayerAnnotation> initWithAnchorLayer(const std::shared_ptr<CHTLayer>& anchorLayer);

    std::shared_ptr<CHTLayer> anchorLayer() const { return anchorLayer_.lock(); }
    int rectAnchor() const { return rectAnchor_; }
    // A change makes new constraints and places the content.
    void setRectAnchor(int anchor);
    const std::shared_ptr<CHTConstraints>& xConstraints() const { return xConstraints_; }
    void setXConstraints(const std::shared_ptr<CHTConstraints>& constraints) { xConstraints_ = constraints; }
    const std::shared_ptr<CHTConstraints>& yConstraints() const { return yConstraints_; }
    void setYConstraints(const std::shared_ptr<CHTConstraints>& constraints) { yConstraints_ = constraints; }
    // Both constraints from the rectangle anchor (nullptr for an unknown one).
    void setConstraints();

    void positionContentLayer() override;

    std::string classForCoder() const override { return "CHTLayerAnnotation"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

    static void registerCodingClass();

private:
    std::weak_ptr<CHTLayer> anchorLayer_;
    int rectAnchor_ = CHTRectAnchorTop;
    std::shared_ptr<CHTConstraints> xConstraints_;
    std::shared_ptr<CHTConstraints> yConstraints_;
};
