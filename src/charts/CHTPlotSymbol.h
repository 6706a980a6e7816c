#pragma once
// The marker drawn at each data point of a scatter plot and in its legend
// swatch: a shape of a given size, outlined with a line style, filled with a
// fill, optionally with a shadow. The shape is kept as a cached path, and for
// on-screen drawing as a cached off-screen drawing that is stamped at every
// point instead of filling and stroking the path again.
#include <memory>
#include <optional>
#include <string>

#include "charts/CHTFill.h"
#include "charts/CHTLineStyle.h"
#include "charts/CHTShadow.h"
#include "platform/base/KeyedArchiver.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Path.h"

using CHTPlotSymbolType = int;
inline constexpr CHTPlotSymbolType CHTPlotSymbolTypeNone = 0;
inline constexpr CHTPlotSymbolType CHTPlotSymbolTypeRectangle = 1;
inline constexpr CHTPlotSymbolType CHTPlotSymbolTypeEllipse = 2;
inline constexpr CHTPlotSymbolType CHTPlotSymbolTypeDiamond = 3;
inline constexpr CHTPlotSymbolType CHTPlotSymbolTypeTriangle = 4;
inline constexpr CHTPlotSymbolType CHTPlotSymbolTypeStar = 5;
inline constexpr CHTPlotSymbolType CHTPlotSymbolTypePentagon = 6;
inline constexpr CHTPlotSymbolType CHTPlotSymbolTypeHexagon = 7;
inline constexpr CHTPlotSymbolType CHTPlotSymbolTypeCross = 8;
inline constexpr CHTPlotSymbolType CHTPlotSymbolTypePlus = 9;
inline constexpr CHTPlotSymbolType CHTPlotSymbolTypeDash = 10;
inline constexpr CHTPlotSymbolType CHTPlotSymbolTypeSnow = 11;
inline constexpr CHTPlotSymbolType CHTPlotSymbolTypeCustom = 12;

class CHTPlotSymbol : public base::Coding {
public:
    // 5 x 5, no shape, a new default line style, no fill, no shadow.
    CHTPlotSymbol();
    ~CHTPlotSymbol() override = default;

    static std::shared_ptr<CHTPlotSymbol> plotSymbol();
    static std::shared_ptr<CHTPlotSymbol> rectanglePlotSymbol();
    static std::shared_ptr<CHTPlotSymbol> ellipsePlotSymbol();
    static std::shared_ptr<CHTPlotSymbol> diamondPlotSymbol();
    static std::shared_ptr<CHTPlotSymbol> trianglePlotSymbol();
    static std::shared_ptr<CHTPlotSymbol> starPlotSymbol();
    static std::shared_ptr<CHTPlotSymbol> pentagonPlotSymbol();
    static std::shared_ptr<CHTPlotSymbol> hexagonPlotSymbol();
    static std::shared_ptr<CHTPlotSymbol> crossPlotSymbol();
    static std::shared_ptr<CHTPlotSymbol> plusPlotSymbol();
    static std::shared_ptr<CHTPlotSymbol> dashPlotSymbol();
    static std::shared_ptr<CHTPlotSymbol> snowPlotSymbol();
    static std::shared_ptr<CHTPlotSymbol> customPlotSymbolWithPath(const std::optional<gfx::Path>& path);

    // Size, type, custom path and shadow: a changed value drops the cached
    // path and with it the cached drawing.
    gfx::Size size() const { return size_; }
    void setSize(gfx::Size size);
    CHTPlotSymbolType symbolType() const { return symbolType_; }
    void setSymbolType(CHTPlotSymbolType type);
    const std::optional<gfx::Path>& customSymbolPath() const { return customSymbolPath_; }
    void setCustomSymbolPath(const std::optional<gfx::Path>& path);
    // A copy is kept.
    const std::shared_ptr<CHTShadow>& shadow() const { return shadow_; }
    void setShadow(const std::shared_ptr<const CHTShadow>& shadow);
    // Fill and line style: kept as given; a new object drops the cached drawing.
    const std::shared_ptr<CHTLineStyle>& lineStyle() const { return lineStyle_; }
    void setLineStyle(const std::shared_ptr<CHTLineStyle>& style);
    const std::shared_ptr<CHTFill>& fill() const { return fill_; }
    void setFill(const std::shared_ptr<CHTFill>& fill);
    bool usesEvenOddClipRule() const { return usesEvenOddClipRule_; }
    void setUsesEvenOddClipRule(bool value);

    // The shape, built on first use and kept.
    const gfx::Path& cachedSymbolPath() const;
    // Replaces the kept shape; a different one drops the cached drawing.
    void setCachedSymbolPath(const std::optional<gfx::Path>& path);
    // The shape by type (empty for none, an unknown type, or a custom symbol
    // without a path).
    gfx::Path newSymbolPath() const;
    // The off-screen drawing of the last stamped drawing, or nullptr.
    const std::shared_ptr<gfx::OffscreenLayer>& cachedLayer() const { return cachedLayer_; }

    // Draws the symbol as vectors centred on the point, scaled by the scale.
    void renderAsVectorInContext(gfx::Context& context, gfx::Point point, CGFloat scale) const;
    // Stamps the cached drawing centred on the point. The drawing is made on
    // first use for the scale (the layer's contents scale) and the context's
    // pixel density and axis, and made again when one of them changes. With
    // alignment the stamp's origin lands on a whole pixel of the scale.
    void renderInContext(gfx::Context& context, gfx::Point point, CGFloat scale, bool alignToPixels);
    // The rectangle the stamp covers (its origin aligned as in renderInContext).
    gfx::Rect stampRect(gfx::Point point, CGFloat scale, bool alignToPixels) const;

    // Same class and values; the line style, fill and shadow copied.
    virtual std::shared_ptr<CHTPlotSymbol> copy() const;

    std::string classForCoder() const override { return "CHTPlotSymbol"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

private:
    static std::shared_ptr<CHTPlotSymbol> ofType(CHTPlotSymbolType type);
    // The stamp's size in points before alignment.
    gfx::Size stampSize(CGFloat scale) const;
    void dropCachedPath();
    void dropCachedLayer() { cachedLayer_.reset(); }

    gfx::Size size_{5, 5};
    CHTPlotSymbolType symbolType_ = CHTPlotSymbolTypeNone;
    std::shared_ptr<CHTLineStyle> lineStyle_;
    std::shared_ptr<CHTFill> fill_;
    std::shared_ptr<CHTShadow> shadow_;
    std::optional<gfx::Path> customSymbolPath_;
    bool usesEvenOddClipRule_ = false;
    mutable std::optional<gfx::Path> cachedSymbolPath_;
    std::shared_ptr<gfx::OffscreenLayer> cachedLayer_;
    // What the cached drawing was made for.
    CGFloat cachedScale_ = 0;
    CGFloat cachedDeviceScale_ = 0;
    gfx::YAxis cachedAxis_ = gfx::YAxis::Down;
};
