#pragma once
// The group layer of the axis labels (one instance) or of the axis titles
// (another). It draws nothing and does not lay its sublayers out: the
// labels keep the positions their axes give them.
#include "charts/CHTLayer.h"

class CHTAxisLabelGroup : public CHTLayer {
public:
    explicit CHTAxisLabelGroup(const gfx::Rect& frame = gfx::Rect::zero());

    void renderAsVectorInContext(gfx::Context& context) override;
    void layoutSublayers() override;

    std::string classForCoder() const override { return "CHTAxisLabelGroup"; }

    static void registerCodingClass();
};
