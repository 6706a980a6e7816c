#pragma once
// Error bars per (x, y) record: a vertical bar up by the high amount and
// down by the low amount, a horizontal bar left and right by their amounts,
// each with an end cap, and a gap left open around the point; optionally
// the band between the upper and lower ends of all records is filled.
#include <memory>
#include <vector>

#include "charts/CHTPlot.h"

// Fields. High, low, left and right are distances from the point in data
// units.
inline constexpr std::size_t CHTRangePlotFieldX = 0;
inline constexpr std::size_t CHTRangePlotFieldY = 1;
inline constexpr std::size_t CHTRangePlotFieldHigh = 2;
inline constexpr std::size_t CHTRangePlotFieldLow = 3;
inline constexpr std::size_t CHTRangePlotFieldLeft = 4;
inline constexpr std::size_t CHTRangePlotFieldRight = 5;

// One record in view coordinates of the plot: the point, the y of the upper
// and lower ends and the x of the left and right ends (NaN when missing).
struct CHTRangePlotViewPoint {
    CGFloat x = 0;
    CGFloat y = 0;
    CGFloat high = 0;
    CGFloat low = 0;
    CGFloat left = 0;
    CGFloat right = 0;
};

class CHTRangePlot : public CHTPlot {
public:
    // Bars in a default line style, no caps, no gaps, no band.
    explicit CHTRangePlot(const gfx::Rect& frame = gfx::Rect::zero());

    // Copies are kept; nil draws no bars. A change redraws the plot and the
    // legend swatch.
    const std::shared_ptr<CHTLineStyle>& barLineStyle() const { return barLineStyle_; }
    void setBarLineStyle(const std::shared_ptr<CHTLineStyle>& style);
    // The band between the upper and lower ends.
    const std::shared_ptr<CHTFill>& areaFill() const { return areaFill_; }
    void setAreaFill(const std::shared_ptr<CHTFill>& fill);
    // Length of each end cap, view units.
    CGFloat barWidth() const { return barWidth_; }
    void setBarWidth(CGFloat width);
    // The gaps left open around the point, view units.
    CGFloat gapHeight() const { return gapHeight_; }
    void setGapHeight(CGFloat height);
    CGFloat gapWidth() const { return gapWidth_; }
    void setGapWidth(CGFloat width);

    std::vector<base::Number> xValues() const { return cachedSampleArray(CHTRangePlotFieldX); }
    std::vector<base::Number> yValues() const { return cachedSampleArray(CHTRangePlotFieldY); }
    std::shared_ptr<CHTMutableNumericData> highValues() const { return cachedNumbersForField(CHTRangePlotFieldHigh); }
    std::shared_ptr<CHTMutableNumericData> lowValues() const { return cachedNumbersForField(CHTRangePlotFieldLow); }
    std::shared_ptr<CHTMutableNumericData> leftValues() const { return cachedNumbersForField(CHTRangePlotFieldLeft); }
    std::shared_ptr<CHTMutableNumericData> rightValues() const { return cachedNumbersForField(CHTRangePlotFieldRight); }
    void setXValues(const CHTPlotNumbers& values) { cacheNumbers(values, CHTRangePlotFieldX); }
    void setYValues(const CHTPlotNumbers& values) { cacheNumbers(values, CHTRangePlotFieldY); }
    void setHighValues(const CHTPlotNumbers& values) { cacheNumbers(values, CHTRangePlotFieldHigh); }
    void setLowValues(const CHTPlotNumbers& values) { cacheNumbers(values, CHTRangePlotFieldLow); }
    void setLeftValues(const CHTPlotNumbers& values) { cacheNumbers(values, CHTRangePlotFieldLeft); }
    void setRightValues(const CHTPlotNumbers& values) { cacheNumbers(values, CHTRangePlotFieldRight); }

    std::size_t numberOfFields() const override { return 6; }
    std::vector<std::size_t> fieldIdentifiers() const override { return {0, 1, 2, 3, 4, 5}; }
    // x: [x]; y: [y] (the data range covers the points, not the bars);
    // others raise "CHTException".
    std::vector<std::size_t> fieldIdentifiersForCoordinate(CHTCoordinate coordinate) const override;

    void reloadDataInIndexRange(CHTRecordRange indexRange) override;

    // ---- Drawing steps
    // Which records are drawn: those inside the plot space's ranges, and
    // both of two neighbours whose x regions differ (not visible-only).
    void calculatePointsToDraw(std::vector<char>& flags, CHTPlotSpace* plotSpace, bool visibleOnly) const;
    // Flagged records with a numeric x and y get their point and ends; an
    // end whose field is missing or shorter is NaN; every other record is
    // NaN throughout.
    void calculateViewPoints(std::vector<CHTRangePlotViewPoint>& points, const std::vector<char>& flags) const;
    void alignViewPointsToUserSpace(std::vector<CHTRangePlotViewPoint>& points, const gfx::Context& context,
                                    const std::vector<char>& flags) const;
    // One record's bars and caps as one stroked path, each segment only
    // when its end is a number.
    void drawRangeInContext(gfx::Context& context, const CHTRangePlotViewPoint& viewPoint, gfx::Size halfGapSize,
                            CGFloat halfBarWidth, bool alignPoints);
    // The same segments as a path, in the order they are drawn.
    gfx::Path rangePath(const gfx::Context& context, const CHTRangePlotViewPoint& viewPoint, gfx::Size halfGapSize,
                        CGFloat halfBarWidth, bool alignPoints) const;

    // Raises "CHTException" "Number of x and y values do not match".
    void renderAsVectorInContext(gfx::Context& context) override;
    void positionLabelAnnotation(const std::shared_ptr<CHTPlotSpaceAnnotation>& label, std::size_t index) override;
    void drawSwatchForLegend(const CHTLegendSwatchStyle& legend, std::size_t index, const gfx::Rect& rect,
                             gfx::Context& context) override;
    // "barWidth", "gapHeight" and "gapWidth".
    static bool needsDisplayForKey(const std::string& key);

    std::string classForCoder() const override { return "CHTRangePlot"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

private:
    std::shared_ptr<CHTLineStyle> barLineStyle_;
    CGFloat barWidth_ = 0;
    CGFloat gapHeight_ = 0;
    CGFloat gapWidth_ = 0;
    std::shared_ptr<CHTFill> areaFill_;
};
