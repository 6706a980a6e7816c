#pragma once
// The layer that holds the axes of a graph. It sits in the plot area, which
// it gives to each of its axes.
#include <memory>
#include <vector>

#include "charts/CHTAxis.h"
#include "charts/CHTLayer.h"
#include "charts/CHTLineStyle.h"

class CHTAxisSet : public CHTLayer {
public:
    explicit CHTAxisSet(const gfx::Rect& frame = gfx::Rect::zero());
    ~CHTAxisSet() override;

    const std::vector<std::shared_ptr<CHTAxis>>& axes() const { return axes_; }
    // The old axes leave the set and their plot area; the new ones become
    // sublayers and get the set's superlayer (the plot area) as plot area.
    void setAxes(const std::vector<std::shared_ptr<CHTAxis>>& axes);
    // Every axis lays out again and is marked for relabelling.
    void relabelAxes();

    // The plot area's border (drawn by the XY axis set); a copy is kept.
    const std::shared_ptr<CHTLineStyle>& borderLineStyle() const { return borderLineStyle_; }
    void setBorderLineStyle(const std::shared_ptr<const CHTLineStyle>& style);

    std::string classForCoder() const override { return "CHTAxisSet"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

    static void registerCodingClass();

private:
    std::vector<std::shared_ptr<CHTAxis>> axes_;
    std::shared_ptr<CHTLineStyle> borderLineStyle_;
};
