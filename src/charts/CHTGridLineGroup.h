#pragma once
// The group layer of the grid lines of every axis that does not keep them in
// a layer of its own; one instance draws the major lines, one the minor.
#include <memory>

#include "charts/CHTLayer.h"

class CHTPlotArea;

class CHTGridLineGroup : public CHTLayer {
public:
    explicit CHTGridLineGroup(const gfx::Rect& frame = gfx::Rect::zero());

    std::shared_ptr<CHTPlotArea> plotArea() const { return plotArea_.lock(); }
    // Not owned; a change redisplays when not nullptr.
    void setPlotArea(const std::shared_ptr<CHTPlotArea>& plotArea);
    bool isMajor() const { return major_; }
    void setMajor(bool major);

    void renderAsVectorInContext(gfx::Context& context) override;

    std::string classForCoder() const override { return "CHTGridLineGroup"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

    static void registerCodingClass();

private:
    std::weak_ptr<CHTPlotArea> plotArea_;
    bool major_ = false;
};
