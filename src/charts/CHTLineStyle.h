#pragma once
// How a chart line is stroked: cap, join, miter limit, width, dash and
// colour. Immutable; CHTMutableLineStyle makes the setters public. Layers
// keep copies, so a style handed over cannot change under them.
#include <memory>
#include <string>
#include <vector>

#include "charts/CHTColor.h"
#include "platform/base/KeyedArchiver.h"
#include "platform/gfx/Context.h"

class CHTMutableLineStyle;

class CHTLineStyle : public base::Coding {
public:
    // Butt caps, miter joins, miter limit 10, width 1, solid, black.
    CHTLineStyle();
    // A new style of the class it is asked of (the charts use the mutable one).
    static std::shared_ptr<CHTMutableLineStyle> lineStyle();

    gfx::LineCap lineCap() const { return lineCap_; }
    gfx::LineJoin lineJoin() const { return lineJoin_; }
    CGFloat miterLimit() const { return miterLimit_; }
    CGFloat lineWidth() const { return lineWidth_; }
    // Lengths of dashes and gaps; empty means solid.
    const std::vector<CGFloat>& dashPattern() const { return dashPattern_; }
    CGFloat patternPhase() const { return patternPhase_; }
    const std::shared_ptr<CHTColor>& lineColor() const { return lineColor_; }

    // Cap, join, miter limit, width, dash and stroke colour, in this order.
    void setLineStyleInContext(gfx::Context& context) const;

    // Immutable and mutable copies.
    std::shared_ptr<CHTLineStyle> copy() const;
    std::shared_ptr<CHTMutableLineStyle> mutableCopy() const;

    std::string classForCoder() const override { return "CHTLineStyle"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

protected:
    void setLineCap(gfx::LineCap cap) { lineCap_ = cap; }
    void setLineJoin(gfx::LineJoin join) { lineJoin_ = join; }
    void setMiterLimit(CGFloat limit) { miterLimit_ = limit; }
    void setLineWidth(CGFloat width) { lineWidth_ = width; }
    void setDashPattern(std::vector<CGFloat> pattern) { dashPattern_ = std::move(pattern); }
    void setPatternPhase(CGFloat phase) { patternPhase_ = phase; }
    void setLineColor(std::shared_ptr<CHTColor> color) { lineColor_ = std::move(color); }
    void copyFieldsTo(CHTLineStyle& other) const;

private:
    gfx::LineCap lineCap_ = gfx::LineCap::Butt;
    gfx::LineJoin lineJoin_ = gfx::LineJoin::Miter;
    CGFloat miterLimit_ = 10;
    CGFloat lineWidth_ = 1;
    std::vector<CGFloat> dashPattern_;
    CGFloat patternPhase_ = 0;
    std::shared_ptr<CHTColor> lineColor_;
};
