#include "charts/CHTLineStyle.h"

#include "charts/CHTCoderExtensions.h"
#include "charts/CHTMutableLineStyle.h"

CHTLineStyle::CHTLineStyle() : lineColor_(CHTColor::blackColor()) {}

std::shared_ptr<CHTMutableLineStyle> CHTLineStyle::lineStyle() { return std::make_shared<CHTMutableLineStyle>(); }

void CHTLineStyle::setLineStyleInContext(gfx::Context& context) const {
    context.setLineCap(lineCap_);
    context.setLineJoin(lineJoin_);
    context.setMiterLimit(miterLimit_);
    context.setLineWidth(lineWidth_);
    if (!dashPattern_.empty()) context.setLineDash(patternPhase_, dashPattern_);
    else context.setLineDash(0, {});
    // A style without colour strokes in transparent black, as a message to a
    // missing colour would.
    context.setStrokeColor(lineColor_ ? lineColor_->cgColor() : gfx::Color::clear());
}

void CHTLineStyle::copyFieldsTo(CHTLineStyle& other) const {
    other.lineCap_ = lineCap_;
    other.lineJoin_ = lineJoin_;
    other.miterLimit_ = miterLimit_;
    other.lineWidth_ = lineWidth_;
    other.dashPattern_ = dashPattern_;
    other.patternPhase_ = patternPhase_;
    other.lineColor_ = lineColor_ ? lineColor_->copy() : nullptr;
}

std::shared_ptr<CHTLineStyle> CHTLineStyle::copy() const {
    auto s = std::make_shared<CHTLineStyle>();
    copyFieldsTo(*s);
    return s;
}

std::shared_ptr<CHTMutableLineStyle> CHTLineStyle::mutableCopy() const {
    auto s = std::make_shared<CHTMutableLineStyle>();
    copyFieldsTo(*s);
    return s;
}

void CHTLineStyle::encodeWithCoder(base::KeyedArchiver& coder) const {
    coder.encodeInteger(static_cast<long long>(lineCap_), "CHTLineStyle.lineCap");
    coder.encodeInteger(static_cast<long long>(lineJoin_), "CHTLineStyle.lineJoin");
    encodeCGFloat(coder, miterLimit_, "CHTLineStyle.miterLimit");
    encodeCGFloat(coder, lineWidth_, "CHTLineStyle.lineWidth");
    if (!dashPattern_.empty()) {
        base::Array pattern;
        for (CGFloat v : dashPattern_) pattern.push_back(base::Value(static_cast<double>(v)));
        coder.encodeValue(base::Value(pattern), "CHTLineStyle.dashPattern");
    }
    encodeCGFloat(coder, patternPhase_, "CHTLineStyle.patternPhase");
    coder.encodeObject(lineColor_, "CHTLineStyle.lineColor");
}

std::shared_ptr<base::Coding> CHTLineStyle::initWithCoder(base::KeyedUnarchiver& coder) {
    long long cap = coder.decodeInteger("CHTLineStyle.lineCap");
    long long join = coder.decodeInteger("CHTLineStyle.lineJoin");
    lineCap_ = cap >= 0 && cap <= 2 ? static_cast<gfx::LineCap>(cap) : gfx::LineCap::Butt;
    lineJoin_ = join >= 0 && join <= 2 ? static_cast<gfx::LineJoin>(join) : gfx::LineJoin::Miter;
    miterLimit_ = decodeCGFloat(coder, "CHTLineStyle.miterLimit");
    lineWidth_ = decodeCGFloat(coder, "CHTLineStyle.lineWidth");
    dashPattern_.clear();
    base::Value pattern = coder.decodeValue("CHTLineStyle.dashPattern");
    if (const base::Array* values = pattern.asArray())
        for (const auto& v : *values) dashPattern_.push_back(static_cast<CGFloat>(v.doubleValue()));
    patternPhase_ = decodeCGFloat(coder, "CHTLineStyle.patternPhase");
    lineColor_ = coder.decodeObjectOfType<CHTColor>("CHTLineStyle.lineColor");
    return nullptr;
}
