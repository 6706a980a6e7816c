#pragma once
// The axis of an XY graph: a straight axis along x or y that crosses the
// other coordinate at a data value, or at a position between the plot
// area's edges given by layout constraints. It maps tick locations to view
// points and draws the axis line with its end caps, the tick marks, the grid
// lines, the alternating bands between major ticks and the limit bands.
#include <memory>
#include <string>

#include "charts/CHTAxis.h"
#include "charts/CHTConstraints.h"

class CHTXYAxis : public CHTAxis {
public:
    // Tick direction 0 (across the axis).
    explicit CHTXYAxis(const gfx::Rect& frame = gfx::Rect::zero());

    // Also keeps the label alignment fitting the axis: 3 to 5 on a y axis,
    // 0 to 2 on an x axis. A coordinate other than 0 or 1 raises
    // "NSInvalidArgumentException".
    void setCoordinate(CHTCoordinate coordinate) override;

    // The value of the other coordinate where the axis lies.
    const base::Decimal& orthogonalCoordinateDecimal() const { return orthogonalCoordinateDecimal_; }
    void setOrthogonalCoordinateDecimal(const base::Decimal& value);
    // When set, places the axis between the plot area's edges instead.
    const std::shared_ptr<CHTConstraints>& axisConstraints() const { return axisConstraints_; }
    void setAxisConstraints(const std::shared_ptr<CHTConstraints>& constraints);

    gfx::Point viewPointForCoordinateDecimalNumber(const base::Decimal& coordinateDecimalNumber) override;
    // The view point (in the axis's coordinates) of the pair.
    gfx::Point viewPointForOrthogonalCoordinateDecimal(const base::Decimal& orthogonal, const base::Decimal& axisValue);
    // The view positions across the axis of the two ends of the orthogonal
    // plot range (a missing range is an assertion failure; both then 0).
    void orthogonalCoordinateViewLowerBound(CGFloat& lower, CGFloat& upper);

    // 0 without a plot range; the geometric middle on a log scale; else the
    // range's middle.
    base::Decimal defaultTitleLocation() const override;

    void renderAsVectorInContext(gfx::Context& context) override;
    void drawTicksInContext(gfx::Context& context, const CHTDecimalSet& locations, CGFloat length, bool major);
    void drawGridLinesInContext(gfx::Context& context, bool major) override;
    void drawBackgroundBandsInContext(gfx::Context& context) override;
    void drawBackgroundLimitsInContext(gfx::Context& context) override;

    // "<CHTXYAxis ... with range: ... viewCoordinates: {x, y} to {x, y}>".
    std::string description() const override;

    std::string classForCoder() const override { return "CHTXYAxis"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

    static void registerCodingClass();

private:
    // A plot point with the axis value along the axis's coordinate.
    CHTDecimalPlotPoint plotPointFor(const base::Decimal& orthogonal, const base::Decimal& axisValue) const;
    // The plot-area view point of the pair, moved into the axis's coordinates.
    gfx::Point plotAreaPointInAxis(const base::Decimal& orthogonal, const base::Decimal& axisValue);
    // The rectangle between the two data corners, in the plot area's
    // coordinates, normalised.
    gfx::Rect plotAreaRect(const base::Decimal& from, const base::Decimal& fromOrthogonal, const base::Decimal& to,
                           const base::Decimal& toOrthogonal);
    std::shared_ptr<CHTPlotRange> orthogonalGridRange() const;

    base::Decimal orthogonalCoordinateDecimal_ = base::Decimal::zero();
    std::shared_ptr<CHTConstraints> axisConstraints_;
};
