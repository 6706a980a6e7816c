#pragma once
// The bordered layer that surrounds the plot area of a graph. It holds the
// plot area as its first sublayer, which fills its bounds less its paddings,
// and passes the axis set and plot group through to it.
#include <memory>

#include "charts/CHTBorderedLayer.h"

class CHTAxisSet;
class CHTPlotArea;
class CHTPlotGroup;

class CHTPlotAreaFrame : public CHTBorderedLayer {
public:
    // Makes a plot area with the same frame.
    explicit CHTPlotAreaFrame(const gfx::Rect& frame = gfx::Rect::zero());

    const std::shared_ptr<CHTPlotArea>& plotArea() const { return plotArea_; }
    // Replaces the plot area at sublayer index 0 (nullptr removes it).
    void setPlotArea(const std::shared_ptr<CHTPlotArea>& plotArea);

    // Pass-throughs to the plot area (nullptr without one).
    std::shared_ptr<CHTAxisSet> axisSet() const;
    void setAxisSet(const std::shared_ptr<CHTAxisSet>& axisSet);
    std::shared_ptr<CHTPlotGroup> plotGroup() const;
    void setPlotGroup(const std::shared_ptr<CHTPlotGroup>& plotGroup);

    std::string classForCoder() const override { return "CHTPlotAreaFrame"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

private:
    std::shared_ptr<CHTPlotArea> plotArea_;
};
