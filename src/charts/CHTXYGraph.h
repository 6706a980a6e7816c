#pragma once
// The graph of XY charts: one XY plot space with the graph's scale types and
// one XY axis set whose two axes use it.
#include <memory>

#include "charts/CHTGraph.h"

class CHTXYGraph : public CHTGraph {
protected:
    // Only the factory constructs (the graph needs its second step).
    struct ConstructionKey {
        explicit ConstructionKey() = default;
    };

public:
    // A complete XY graph with the frame and scale types (0 linear, 1
    // logarithmic).
    static std::shared_ptr<CHTXYGraph> create(const gfx::Rect& frame = gfx::Rect::zero(),
                                              int xScaleType = CHTScaleTypeLinear, int yScaleType = CHTScaleTypeLinear);

    CHTXYGraph(ConstructionKey, const gfx::Rect& frame, int xScaleType, int yScaleType);

    // Only stored: an existing plot space keeps its scale types.
    int xScaleType() const { return xScaleType_; }
    void setXScaleType(int scaleType) { xScaleType_ = scaleType; }
    int yScaleType() const { return yScaleType_; }
    void setYScaleType(int scaleType) { yScaleType_ = scaleType; }

    std::string classForCoder() const override { return "CHTXYGraph"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;
    // Lets archives of XY graphs (their plot area frames, and the hosting views
    // that show them) be read.
    static void registerCodingClasses();

protected:
    // An XY plot space with the graph's scale types.
    std::shared_ptr<CHTPlotSpace> newPlotSpace() override;
    // An XY axis set of the graph's bounds whose axes use the default plot
    // space.
    std::shared_ptr<CHTAxisSet> newAxisSet() override;

private:
    int xScaleType_;
    int yScaleType_;
};
