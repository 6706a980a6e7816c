#include "charts/CHTLineCap.h"

#include <cmath>

#include "charts/CHTCoderExtensions.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTSymbolShape.h"

CHTLineCap::CHTLineCap() : lineStyle_(CHTLineStyle::lineStyle()) {}

std::shared_ptr<CHTLineCap> CHTLineCap::ofType(CHTLineCapType type) {
    auto cap = std::make_shared<CHTLineCap>();
    cap->lineCapType_ = type;
    return cap;
}

std::shared_ptr<CHTLineCap> CHTLineCap::lineCap() { return ofType(CHTLineCapTypeNone); }
std::shared_ptr<CHTLineCap> CHTLineCap::openArrowPlotLineCap() { return ofType(CHTLineCapTypeOpenArrow); }
std::shared_ptr<CHTLineCap> CHTLineCap::solidArrowPlotLineCap() { return ofType(CHTLineCapTypeSolidArrow); }
std::shared_ptr<CHTLineCap> CHTLineCap::sweptArrowPlotLineCap() { return ofType(CHTLineCapTypeSweptArrow); }
std::shared_ptr<CHTLineCap> CHTLineCap::rectanglePlotLineCap() { return ofType(CHTLineCapTypeRectangle); }
std::shared_ptr<CHTLineCap> CHTLineCap::ellipsePlotLineCap() { return ofType(CHTLineCapTypeEllipse); }
std::shared_ptr<CHTLineCap> CHTLineCap::diamondPlotLineCap() { return ofType(CHTLineCapTypeDiamond); }
std::shared_ptr<CHTLineCap> CHTLineCap::pentagonPlotLineCap() { return ofType(CHTLineCapTypePentagon); }
std::shared_ptr<CHTLineCap> CHTLineCap::hexagonPlotLineCap() { return ofType(CHTLineCapTypeHexagon); }
std::shared_ptr<CHTLineCap> CHTLineCap::barPlotLineCap() { return ofType(CHTLineCapTypeBar); }
std::shared_ptr<CHTLineCap> CHTLineCap::crossPlotLineCap() { return ofType(CHTLineCapTypeCross); }
std::shared_ptr<CHTLineCap> CHTLineCap::snowPlotLineCap() { return ofType(CHTLineCapTypeSnow); }

std::shared_ptr<CHTLineCap> CHTLineCap::customLineCapWithPath(const gfx::Path& path) {
    auto cap = ofType(CHTLineCapTypeCustom);
    cap->customLineCapPath_ = path;
    return cap;
}

void CHTLineCap::setSize(gfx::Size size) {
    if (size == size_) return;
    size_ = size;
    cachedLineCapPath_.reset();
}

void CHTLineCap::setLineCapType(CHTLineCapType type) {
    if (type == lineCapType_) return;
    lineCapType_ = type;
    cachedLineCapPath_.reset();
}

void CHTLineCap::setCustomLineCapPath(std::optional<gfx::Path> path) {
    if (path == customLineCapPath_) return;
    customLineCapPath_ = std::move(path);
    cachedLineCapPath_.reset();
}

const gfx::Path& CHTLineCap::cachedLineCapPath() const {
    if (!cachedLineCapPath_) cachedLineCapPath_ = newLineCapPath();
    return *cachedLineCapPath_;
}

gfx::Path CHTLineCap::newLineCapPath() const {
    const CGFloat h = size_.width / 2, k = size_.height / 2;
    gfx::Path p;
    switch (lineCapType_) {
    // The arrows point along +y with their tip at the origin.
    case CHTLineCapTypeOpenArrow: p.addLines({{-h, -k}, {0, 0}, {h, -k}}); break;
    case CHTLineCapTypeSolidArrow:
        p.addLines({{-h, -k}, {0, 0}, {h, -k}});
        p.closeSubpath();
        break;
    case CHTLineCapTypeSweptArrow:
        p.addLines({{-h, -k}, {0, 0}, {h, -k}, {0, -0.375f * size_.height}});
        p.closeSubpath();
        break;
    case CHTLineCapTypeRectangle: return CHTSymbolShapePath(CHTSymbolShape::Rectangle, size_);
    case CHTLineCapTypeEllipse: return CHTSymbolShapePath(CHTSymbolShape::Ellipse, size_);
    case CHTLineCapTypeDiamond: return CHTSymbolShapePath(CHTSymbolShape::Diamond, size_);
    case CHTLineCapTypePentagon: return CHTSymbolShapePath(CHTSymbolShape::Pentagon, size_);
    case CHTLineCapTypeHexagon: return CHTSymbolShapePath(CHTSymbolShape::Hexagon, size_);
    case CHTLineCapTypeBar: return CHTSymbolShapePath(CHTSymbolShape::Dash, size_);
    case CHTLineCapTypeCross: return CHTSymbolShapePath(CHTSymbolShape::Cross, size_);
    case CHTLineCapTypeSnow: return CHTSymbolShapePath(CHTSymbolShape::Snow, size_);
    case CHTLineCapTypeCustom: return CHTCustomShapePath(customLineCapPath_, size_);
    default: break;
    }
    return p;
}

void CHTLineCap::renderAsVectorInContext(gfx::Context& context, gfx::Point point, gfx::Point direction) const {
    const gfx::Path& path = cachedLineCapPath();
    if (path.isEmpty()) return;
    bool usesFill = false, usesLine = false;
    switch (lineCapType_) {
    case CHTLineCapTypeOpenArrow:
    case CHTLineCapTypeBar:
    case CHTLineCapTypeCross:
    case CHTLineCapTypeSnow: usesLine = true; break;
    case CHTLineCapTypeSolidArrow:
    case CHTLineCapTypeSweptArrow:
    case CHTLineCapTypeRectangle:
    case CHTLineCapTypeEllipse:
    case CHTLineCapTypeDiamond:
    case CHTLineCapTypePentagon:
    case CHTLineCapTypeHexagon:
    case CHTLineCapTypeCustom: usesFill = usesLine = true; break;
    default: break;
    }
    const CHTFill* fill = usesFill ? fill_.get() : nullptr;
    const CHTLineStyle* style = usesLine ? lineStyle_.get() : nullptr;
    if (!fill && !style) return;

    gfx::SavedState saved(context);
    context.translate(point.x, point.y);
    context.rotate(std::atan2(direction.y, direction.x) - static_cast<CGFloat>(M_PI / 2));
    CHTDrawShapePath(context, path, size_, fill, style, usesEvenOddClipRule_);
}

std::shared_ptr<CHTLineCap> CHTLineCap::copy() const {
    auto cap = std::make_shared<CHTLineCap>();
    cap->size_ = size_;
    cap->lineCapType_ = lineCapType_;
    cap->usesEvenOddClipRule_ = usesEvenOddClipRule_;
    cap->lineStyle_ = lineStyle_ ? lineStyle_->copy() : nullptr;
    cap->fill_ = fill_ ? fill_->copy() : nullptr;
    cap->customLineCapPath_ = customLineCapPath_;
    return cap;
}

void CHTLineCap::encodeWithCoder(base::KeyedArchiver& coder) const {
    encodeCHTSize(coder, size_, "CHTLineCap.size");
    coder.encodeInteger(lineCapType_, "CHTLineCap.lineCapType");
    coder.encodeObject(lineStyle_, "CHTLineCap.lineStyle");
    coder.encodeObject(fill_, "CHTLineCap.fill");
    if (customLineCapPath_) encodeCGPath(coder, *customLineCapPath_, "CHTLineCap.customLineCapPath");
    coder.encodeBool(usesEvenOddClipRule_, "CHTLineCap.usesEvenOddClipRule");
}

std::shared_ptr<base::Coding> CHTLineCap::initWithCoder(base::KeyedUnarchiver& coder) {
    size_ = decodeCHTSize(coder, "CHTLineCap.size");
    lineCapType_ = static_cast<CHTLineCapType>(coder.decodeInteger("CHTLineCap.lineCapType"));
    lineStyle_ = coder.decodeObjectOfType<CHTLineStyle>("CHTLineCap.lineStyle");
    fill_ = coder.decodeObjectOfType<CHTFill>("CHTLineCap.fill");
    gfx::Path path = newCGPathDecode(coder, "CHTLineCap.customLineCapPath");
    if (path.isEmpty()) customLineCapPath_.reset();
    else customLineCapPath_ = path;
    usesEvenOddClipRule_ = coder.decodeBool("CHTLineCap.usesEvenOddClipRule");
    cachedLineCapPath_.reset();
    return nullptr;
}
