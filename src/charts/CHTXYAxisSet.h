#pragma once
// The axis set of an XY graph: one x axis and one y axis, both with tick
// direction -1; it draws the plot area's border.
#include <memory>

#include "charts/CHTAxisSet.h"
#include "charts/CHTXYAxis.h"

class CHTXYAxisSet : public CHTAxisSet {
public:
    explicit CHTXYAxisSet(const gfx::Rect& frame = gfx::Rect::zero());

    // The first and second axis (nullptr when missing or not XY axes).
    std::shared_ptr<CHTXYAxis> xAxis() const;
    std::shared_ptr<CHTXYAxis> yAxis() const;

    // The border around the plot area's bounds.
    void renderAsVectorInContext(gfx::Context& context) override;

    std::string classForCoder() const override { return "CHTXYAxisSet"; }

    static void registerCodingClass();
};
