#pragma once
// The group layer of the plots: each plot is one of its sublayers. It draws
// nothing itself.
#include <memory>

#include "charts/CHTLayer.h"
#include "platform/base/Value.h"

class CHTPlotGroup : public CHTLayer {
public:
    explicit CHTPlotGroup(const gfx::Rect& frame = gfx::Rect::zero());

    const base::Value& identifier() const { return identifier_; }
    void setIdentifier(const base::Value& identifier) { identifier_ = identifier; }

    void addPlot(const std::shared_ptr<CHTLayer>& plot);
    // Only a plot whose superlayer is this group is removed.
    void removePlot(const std::shared_ptr<CHTLayer>& plot);

    void renderAsVectorInContext(gfx::Context& context) override;

    std::string classForCoder() const override { return "CHTPlotGroup"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

    static void registerCodingClass();

private:
    base::Value identifier_;
};
