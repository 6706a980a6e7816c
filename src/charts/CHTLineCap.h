#pragma once
// A small shape drawn at the end of a line (axis ends): arrows, rectangle,
// ellipse, polygons, bar, cross, snow or a custom path, filled and/or
// outlined. The shape points along +y with the arrows' tip at the origin.
#include <memory>
#include <optional>
#include <string>

#include "charts/CHTFill.h"
#include "charts/CHTLineStyle.h"
#include "platform/base/KeyedArchiver.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Path.h"

using CHTLineCapType = int;
inline constexpr CHTLineCapType CHTLineCapTypeNone = 0;
inline constexpr CHTLineCapType CHTLineCapTypeOpenArrow = 1;
inline constexpr CHTLineCapType CHTLineCapTypeSolidArrow = 2;
inline constexpr CHTLineCapType CHTLineCapTypeSweptArrow = 3;
inline constexpr CHTLineCapType CHTLineCapTypeRectangle = 4;
inline constexpr CHTLineCapType CHTLineCapTypeEllipse = 5;
inline constexpr CHTLineCapType CHTLineCapTypeDiamond = 6;
inline constexpr CHTLineCapType CHTLineCapTypePentagon = 7;
inline constexpr CHTLineCapType CHTLineCapTypeHexagon = 8;
inline constexpr CHTLineCapType CHTLineCapTypeBar = 9;
inline constexpr CHTLineCapType CHTLineCapTypeCross = 10;
inline constexpr CHTLineCapType CHTLineCapTypeSnow = 11;
inline constexpr CHTLineCapType CHTLineCapTypeCustom = 12;

class CHTLineCap : public base::Coding {
public:
    // 5 x 5, no shape, a default line style, no fill.
    CHTLineCap();

    static std::shared_ptr<CHTLineCap> lineCap();
    static std::shared_ptr<CHTLineCap> openArrowPlotLineCap();
    static std::shared_ptr<CHTLineCap> solidArrowPlotLineCap();
    static std::shared_ptr<CHTLineCap> sweptArrowPlotLineCap();
    static std::shared_ptr<CHTLineCap> rectanglePlotLineCap();
    static std::shared_ptr<CHTLineCap> ellipsePlotLineCap();
    static std::shared_ptr<CHTLineCap> diamondPlotLineCap();
    static std::shared_ptr<CHTLineCap> pentagonPlotLineCap();
    static std::shared_ptr<CHTLineCap> hexagonPlotLineCap();
    static std::shared_ptr<CHTLineCap> barPlotLineCap();
    static std::shared_ptr<CHTLineCap> crossPlotLineCap();
    static std::shared_ptr<CHTLineCap> snowPlotLineCap();
    static std::shared_ptr<CHTLineCap> customLineCapWithPath(const gfx::Path& path);

    gfx::Size size() const { return size_; }
    void setSize(gfx::Size size);
    CHTLineCapType lineCapType() const { return lineCapType_; }
    void setLineCapType(CHTLineCapType type);
    const std::shared_ptr<CHTLineStyle>& lineStyle() const { return lineStyle_; }
    void setLineStyle(std::shared_ptr<CHTLineStyle> style) { lineStyle_ = std::move(style); }
    const std::shared_ptr<CHTFill>& fill() const { return fill_; }
    void setFill(std::shared_ptr<CHTFill> fill) { fill_ = std::move(fill); }
    const std::optional<gfx::Path>& customLineCapPath() const { return customLineCapPath_; }
    void setCustomLineCapPath(std::optional<gfx::Path> path);
    bool usesEvenOddClipRule() const { return usesEvenOddClipRule_; }
    void setUsesEvenOddClipRule(bool value) { usesEvenOddClipRule_ = value; }

    // The shape, built on first use and kept until size, type or custom path
    // change.
    const gfx::Path& cachedLineCapPath() const;
    // The shape by type (empty for none, an unknown type or a custom cap
    // without a path).
    gfx::Path newLineCapPath() const;

    // Draws the cap at the point, its +y axis along the direction.
    void renderAsVectorInContext(gfx::Context& context, gfx::Point point, gfx::Point direction) const;

    std::shared_ptr<CHTLineCap> copy() const;

    std::string classForCoder() const override { return "CHTLineCap"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

private:
    static std::shared_ptr<CHTLineCap> ofType(CHTLineCapType type);

    gfx::Size size_{5, 5};
    CHTLineCapType lineCapType_ = CHTLineCapTypeNone;
    std::shared_ptr<CHTLineStyle> lineStyle_;
    std::shared_ptr<CHTFill> fill_;
    std::optional<gfx::Path> customLineCapPath_;
    bool usesEvenOddClipRule_ = false;
    mutable std::optional<gfx::Path> cachedLineCapPath_;
};
