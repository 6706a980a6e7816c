#pragma once
// The base of the themes of XY graphs: makes XY graphs and gives every axis
// the same labelling rules with the theme's line and text styles.
#include <memory>
#include <optional>

#include "charts/CHTTheme.h"
#include "charts/CHTUtilities.h"
#include "platform/gfx/Context.h"

class CHTAxis;
class CHTColor;
class CHTLineStyle;
class CHTMutableLineStyle;
class CHTMutableTextStyle;
class CHTPlotAreaFrame;
class CHTTextStyle;

class _CHTXYTheme : public CHTTheme {
public:
    // The graph class is "CHTXYGraph".
    _CHTXYTheme();

    // A 200 x 200 graph of the graph class (an XY graph when none is set),
    // padding 60 on every side, both plot ranges from -1 with length 1, with
    // the theme applied.
    std::shared_ptr<CHTGraph> newGraph() override;

protected:
    // Fixed intervals of 0.5 with 4 minor ticks, crossing the other axis at
    // 0, ticks across the axis line (major 7, minor 5 long); the major style
    // also draws the axis line and the text style also the title.
    static void applyThemeToAxis(const std::shared_ptr<CHTAxis>& axis,
                                 const std::shared_ptr<const CHTLineStyle>& majorLineStyle,
                                 const std::shared_ptr<const CHTLineStyle>& minorLineStyle,
                                 const std::shared_ptr<const CHTTextStyle>& textStyle,
                                 const std::shared_ptr<const CHTTextStyle>& minorTickTextStyle);

    // A fresh line style of the color and width, with the cap when one is
    // given (the default cap otherwise).
    static std::shared_ptr<CHTMutableLineStyle> themeLineStyle(const std::shared_ptr<CHTColor>& color, CGFloat width,
                                                               std::optional<gfx::LineCap> cap = std::nullopt);
    // A fresh text style of the color and font size.
    static std::shared_ptr<CHTMutableTextStyle> themeTextStyle(const std::shared_ptr<CHTColor>& color,
                                                               CGFloat fontSize);
    // Borders the plot area with a line of the color and width and rounds
    // its corners by the radius.
    static void setPlotAreaBorder(const std::shared_ptr<CHTPlotAreaFrame>& plotAreaFrame,
                                  const std::shared_ptr<CHTColor>& color, CGFloat width, CGFloat cornerRadius);
};
