#include "charts/CHTPlotSymbol.h"

#include <cmath>

#include "charts/CHTCoderExtensions.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTSymbolShape.h"

CHTPlotSymbol::CHTPlotSymbol() : lineStyle_(CHTLineStyle::lineStyle()) {}

std::shared_ptr<CHTPlotSymbol> CHTPlotSymbol::ofType(CHTPlotSymbolType type) {
    auto symbol = std::make_shared<CHTPlotSymbol>();
    symbol->symbolType_ = type;
    return symbol;
}

std::shared_ptr<CHTPlotSymbol> CHTPlotSymbol::plotSymbol() { return ofType(CHTPlotSymbolTypeNone); }
std::shared_ptr<CHTPlotSymbol> CHTPlotSymbol::rectanglePlotSymbol() { return ofType(CHTPlotSymbolTypeRectangle); }
std::shared_ptr<CHTPlotSymbol> CHTPlotSymbol::ellipsePlotSymbol() { return ofType(CHTPlotSymbolTypeEllipse); }
std::shared_ptr<CHTPlotSymbol> CHTPlotSymbol::diamondPlotSymbol() { return ofType(CHTPlotSymbolTypeDiamond); }
std::shared_ptr<CHTPlotSymbol> CHTPlotSymbol::trianglePlotSymbol() { return ofType(CHTPlotSymbolTypeTriangle); }
std::shared_ptr<CHTPlotSymbol> CHTPlotSymbol::starPlotSymbol() { return ofType(CHTPlotSymbolTypeStar); }
std::shared_ptr<CHTPlotSymbol> CHTPlotSymbol::pentagonPlotSymbol() { return ofType(CHTPlotSymbolTypePentagon); }
std::shared_ptr<CHTPlotSymbol> CHTPlotSymbol::hexagonPlotSymbol() { return ofType(CHTPlotSymbolTypeHexagon); }
std::shared_ptr<CHTPlotSymbol> CHTPlotSymbol::crossPlotSymbol() { return ofType(CHTPlotSymbolTypeCross); }
std::shared_ptr<CHTPlotSymbol> CHTPlotSymbol::plusPlotSymbol() { return ofType(CHTPlotSymbolTypePlus); }
std::shared_ptr<CHTPlotSymbol> CHTPlotSymbol::dashPlotSymbol() { return ofType(CHTPlotSymbolTypeDash); }
std::shared_ptr<CHTPlotSymbol> CHTPlotSymbol::snowPlotSymbol() { return ofType(CHTPlotSymbolTypeSnow); }

std::shared_ptr<CHTPlotSymbol> CHTPlotSymbol::customPlotSymbolWithPath(const std::optional<gfx::Path>& path) {
    auto symbol = ofType(CHTPlotSymbolTypeCustom);
    symbol->customSymbolPath_ = path;
    return symbol;
}

// ---- Properties

void CHTPlotSymbol::dropCachedPath() {
    cachedSymbolPath_.reset();
    dropCachedLayer();
}

void CHTPlotSymbol::setSize(gfx::Size size) {
    if (size.width == size_.width && size.height == size_.height) return;
    size_ = size;
    dropCachedPath();
}

void CHTPlotSymbol::setSymbolType(CHTPlotSymbolType type) {
    if (type == symbolType_) return;
    symbolType_ = type;
    dropCachedPath();
}

void CHTPlotSymbol::setCustomSymbolPath(const std::optional<gfx::Path>& path) {
    if (path == customSymbolPath_) return;
    customSymbolPath_ = path;
    dropCachedPath();
}

void CHTPlotSymbol::setShadow(const std::shared_ptr<const CHTShadow>& shadow) {
    if (shadow.get() == shadow_.get()) return;
    shadow_ = shadow ? shadow->copy() : nullptr;
    dropCachedPath();
}

void CHTPlotSymbol::setLineStyle(const std::shared_ptr<CHTLineStyle>& style) {
    if (style == lineStyle_) return;
    lineStyle_ = style;
    dropCachedLayer();
}

void CHTPlotSymbol::setFill(const std::shared_ptr<CHTFill>& fill) {
    if (fill == fill_) return;
    fill_ = fill;
    dropCachedLayer();
}

void CHTPlotSymbol::setUsesEvenOddClipRule(bool value) {
    if (value == usesEvenOddClipRule_) return;
    usesEvenOddClipRule_ = value;
    dropCachedLayer();
}

const gfx::Path& CHTPlotSymbol::cachedSymbolPath() const {
    if (!cachedSymbolPath_) cachedSymbolPath_ = newSymbolPath();
    return *cachedSymbolPath_;
}

void CHTPlotSymbol::setCachedSymbolPath(const std::optional<gfx::Path>& path) {
    if (path == cachedSymbolPath_) return;
    cachedSymbolPath_ = path;
    dropCachedLayer();
}

gfx::Path CHTPlotSymbol::newSymbolPath() const {
    switch (symbolType_) {
    case CHTPlotSymbolTypeRectangle: return CHTSymbolShapePath(CHTSymbolShape::Rectangle, size_);
    case CHTPlotSymbolTypeEllipse: return CHTSymbolShapePath(CHTSymbolShape::Ellipse, size_);
    case CHTPlotSymbolTypeDiamond: return CHTSymbolShapePath(CHTSymbolShape::Diamond, size_);
    case CHTPlotSymbolTypeTriangle: return CHTSymbolShapePath(CHTSymbolShape::Triangle, size_);
    case CHTPlotSymbolTypeStar: return CHTSymbolShapePath(CHTSymbolShape::Star, size_);
    case CHTPlotSymbolTypePentagon: return CHTSymbolShapePath(CHTSymbolShape::Pentagon, size_);
    case CHTPlotSymbolTypeHexagon: return CHTSymbolShapePath(CHTSymbolShape::Hexagon, size_);
    case CHTPlotSymbolTypeCross: return CHTSymbolShapePath(CHTSymbolShape::Cross, size_);
    case CHTPlotSymbolTypePlus: return CHTSymbolShapePath(CHTSymbolShape::Plus, size_);
    case CHTPlotSymbolTypeDash: return CHTSymbolShapePath(CHTSymbolShape::Dash, size_);
    case CHTPlotSymbolTypeSnow: return CHTSymbolShapePath(CHTSymbolShape::Snow, size_);
    case CHTPlotSymbolTypeCustom: return CHTCustomShapePath(customSymbolPath_, size_);
    default: return gfx::Path();
    }
}

// ---- Drawing

void CHTPlotSymbol::renderAsVectorInContext(gfx::Context& context, gfx::Point point, CGFloat scale) const {
    const gfx::Path& path = cachedSymbolPath();
    // An empty shape (no type, a custom symbol without a path) draws nothing.
    if (path.isEmpty()) return;
    bool usesFill = false, usesLine = false;
    switch (symbolType_) {
    case CHTPlotSymbolTypeRectangle:
    case CHTPlotSymbolTypeEllipse:
    case CHTPlotSymbolTypeDiamond:
    case CHTPlotSymbolTypeTriangle:
    case CHTPlotSymbolTypeStar:
    case CHTPlotSymbolTypePentagon:
    case CHTPlotSymbolTypeHexagon:
    case CHTPlotSymbolTypeCustom: usesFill = usesLine = true; break;
    case CHTPlotSymbolTypeCross:
    case CHTPlotSymbolTypePlus:
    case CHTPlotSymbolTypeDash:
    case CHTPlotSymbolTypeSnow: usesLine = true; break;
    default: break;
    }
    const CHTFill* fill = usesFill ? fill_.get() : nullptr;
    const CHTLineStyle* style = usesLine ? lineStyle_.get() : nullptr;
    if (!fill && !style) return;

    gfx::SavedState saved(context);
    context.translate(point.x, point.y);
    context.scale(scale, scale);
    if (shadow_) shadow_->setShadowInContext(context);
    CHTDrawShapePath(context, path, size_, fill, style, usesEvenOddClipRule_);
}

gfx::Size CHTPlotSymbol::stampSize(CGFloat scale) const {
    // Room for the outline and the shadow's reach on every side, plus one
    // pixel of antialiasing around it.
    CGFloat ox = 0, oy = 0, blur = 0;
    if (shadow_) {
        ox = std::fabs(shadow_->shadowOffset().width);
        oy = std::fabs(shadow_->shadowOffset().height);
        blur = shadow_->shadowBlurRadius();
    }
    CGFloat line = lineStyle_ ? lineStyle_->lineWidth() : 0;
    CGFloat pw = (size_.width + 2 * (ox + blur) + line) * scale + 2;
    CGFloat ph = (size_.height + 2 * (oy + blur) + line) * scale + 2;
    return {pw / scale, ph / scale};
}

gfx::Rect CHTPlotSymbol::stampRect(gfx::Point point, CGFloat scale, bool alignToPixels) const {
    if (!(scale > 0)) scale = 1;
    gfx::Size s = stampSize(scale);
    CGFloat x = point.x - s.width / 2, y = point.y - s.height / 2;
    if (alignToPixels) {
        if (scale != 1) {
            x = std::round(x * scale) / scale;
            y = std::round(y * scale) / scale;
        } else {
            x = std::round(x);
            y = std::round(y);
        }
    }
    return gfx::Rect(x, y, s.width, s.height);
}

void CHTPlotSymbol::renderInContext(gfx::Context& context, gfx::Point point, CGFloat scale, bool alignToPixels) {
    if (!(scale > 0)) scale = 1;
    if (cachedSymbolPath().isEmpty()) return;
    if (cachedLayer_ &&
        (cachedScale_ != scale || cachedDeviceScale_ != context.deviceScale() || cachedAxis_ != context.yAxis()))
        dropCachedLayer();
    if (!cachedLayer_) {
        // The drawing is made at the context's own pixel density: when that
        // is the scale (the usual case) each stamp maps one to one onto
        // device pixels.
        gfx::Size s = stampSize(scale);
        cachedLayer_ = context.createLayer(s);
        renderAsVectorInContext(cachedLayer_->context(), gfx::Point(s.width / 2, s.height / 2), 1);
        cachedScale_ = scale;
        cachedDeviceScale_ = context.deviceScale();
        cachedAxis_ = context.yAxis();
    }
    context.drawLayer(stampRect(point, scale, alignToPixels), *cachedLayer_);
}

// ---- Copying and archiving

std::shared_ptr<CHTPlotSymbol> CHTPlotSymbol::copy() const {
    auto symbol = std::make_shared<CHTPlotSymbol>();
    symbol->size_ = size_;
    symbol->symbolType_ = symbolType_;
    symbol->usesEvenOddClipRule_ = usesEvenOddClipRule_;
    symbol->lineStyle_ = lineStyle_ ? lineStyle_->copy() : nullptr;
    symbol->fill_ = fill_ ? fill_->copy() : nullptr;
    // The shadow is part of the symbol's look: a copy keeps it.
    symbol->shadow_ = shadow_ ? shadow_->copy() : nullptr;
    symbol->customSymbolPath_ = customSymbolPath_;
    return symbol;
}

void CHTPlotSymbol::encodeWithCoder(base::KeyedArchiver& coder) const {
    encodeCHTSize(coder, size_, "CHTPlotSymbol.size");
    coder.encodeInteger(symbolType_, "CHTPlotSymbol.symbolType");
    coder.encodeObject(lineStyle_, "CHTPlotSymbol.lineStyle");
    coder.encodeObject(fill_, "CHTPlotSymbol.fill");
    coder.encodeObject(shadow_, "CHTPlotSymbol.shadow");
    if (customSymbolPath_) encodeCGPath(coder, *customSymbolPath_, "CHTPlotSymbol.customSymbolPath");
    coder.encodeBool(usesEvenOddClipRule_, "CHTPlotSymbol.usesEvenOddClipRule");
}

std::shared_ptr<base::Coding> CHTPlotSymbol::initWithCoder(base::KeyedUnarchiver& coder) {
    size_ = decodeCHTSize(coder, "CHTPlotSymbol.size");
    symbolType_ = static_cast<CHTPlotSymbolType>(coder.decodeInteger("CHTPlotSymbol.symbolType"));
    lineStyle_ = coder.decodeObjectOfType<CHTLineStyle>("CHTPlotSymbol.lineStyle");
    fill_ = coder.decodeObjectOfType<CHTFill>("CHTPlotSymbol.fill");
    auto shadow = coder.decodeObjectOfType<CHTShadow>("CHTPlotSymbol.shadow");
    shadow_ = shadow ? shadow->copy() : nullptr;
    gfx::Path path = newCGPathDecode(coder, "CHTPlotSymbol.customSymbolPath");
    if (path.isEmpty()) customSymbolPath_.reset();
    else customSymbolPath_ = path;
    usesEvenOddClipRule_ = coder.decodeBool("CHTPlotSymbol.usesEvenOddClipRule");
    cachedSymbolPath_.reset();
    cachedLayer_.reset();
    return nullptr;
}
