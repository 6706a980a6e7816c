#pragma once
// One open-high-low-close mark per record at the record's x: either a bar
// (a line from high to low with a tick left at the open and right at the
// close) or a candlestick (a body from open to close, filled by whether the
// value rose or fell, with wicks out to the high and the low).
#include <memory>

#include "charts/CHTPlot.h"

// Fields.
inline constexpr std::size_t CHTTradingRangePlotFieldX = 0;
inline constexpr std::size_t CHTTradingRangePlotFieldOpen = 1;
inline constexpr std::size_t CHTTradingRangePlotFieldHigh = 2;
inline constexpr std::size_t CHTTradingRangePlotFieldLow = 3;
inline constexpr std::size_t CHTTradingRangePlotFieldClose = 4;

// How a record is drawn.
using CHTTradingRangePlotStyle = int;
inline constexpr CHTTradingRangePlotStyle CHTTradingRangePlotStyleOHLC = 0;
inline constexpr CHTTradingRangePlotStyle CHTTradingRangePlotStyleCandleStick = 1;

class CHTTradingRangePlot : public CHTPlot {
public:
    // OHLC bars in a default line style, ticks 3 long, bodies 5 wide filled
    // white when rising and black when falling; labels show the close.
    explicit CHTTradingRangePlot(const gfx::Rect& frame = gfx::Rect::zero());

    // Copies are kept; each change redraws the plot and the legend swatch.
    const std::shared_ptr<CHTLineStyle>& lineStyle() const { return lineStyle_; }
    void setLineStyle(const std::shared_ptr<CHTLineStyle>& style);
    // Rising (falling) candlesticks; nil uses lineStyle.
    const std::shared_ptr<CHTLineStyle>& increaseLineStyle() const { return increaseLineStyle_; }
    void setIncreaseLineStyle(const std::shared_ptr<CHTLineStyle>& style);
    const std::shared_ptr<CHTLineStyle>& decreaseLineStyle() const { return decreaseLineStyle_; }
    void setDecreaseLineStyle(const std::shared_ptr<CHTLineStyle>& style);
    const std::shared_ptr<CHTFill>& increaseFill() const { return increaseFill_; }
    void setIncreaseFill(const std::shared_ptr<CHTFill>& fill);
    const std::shared_ptr<CHTFill>& decreaseFill() const { return decreaseFill_; }
    void setDecreaseFill(const std::shared_ptr<CHTFill>& fill);
    CHTTradingRangePlotStyle plotStyle() const { return plotStyle_; }
    void setPlotStyle(CHTTradingRangePlotStyle style);
    // Width of a candlestick body, view units.
    CGFloat barWidth() const { return barWidth_; }
    void setBarWidth(CGFloat width);
    // Length of the open and close ticks of a bar, view units.
    CGFloat stickLength() const { return stickLength_; }
    void setStickLength(CGFloat length);
    // Radius of a body's corners on the close side; redraws only.
    CGFloat barCornerRadius() const { return barCornerRadius_; }
    void setBarCornerRadius(CGFloat radius);

    std::shared_ptr<CHTMutableNumericData> xValues() const { return cachedNumbersForField(CHTTradingRangePlotFieldX); }
    std::shared_ptr<CHTMutableNumericData> openValues() const {
        return cachedNumbersForField(CHTTradingRangePlotFieldOpen);
    }
    std::shared_ptr<CHTMutableNumericData> highValues() const {
        return cachedNumbersForField(CHTTradingRangePlotFieldHigh);
    }
    std::shared_ptr<CHTMutableNumericData> lowValues() const {
        return cachedNumbersForField(CHTTradingRangePlotFieldLow);
    }
    std::shared_ptr<CHTMutableNumericData> closeValues() const {
        return cachedNumbersForField(CHTTradingRangePlotFieldClose);
    }
    void setXValues(const CHTPlotNumbers& values) { cacheNumbers(values, CHTTradingRangePlotFieldX); }
    void setOpenValues(const CHTPlotNumbers& values) { cacheNumbers(values, CHTTradingRangePlotFieldOpen); }
    void setHighValues(const CHTPlotNumbers& values) { cacheNumbers(values, CHTTradingRangePlotFieldHigh); }
    void setLowValues(const CHTPlotNumbers& values) { cacheNumbers(values, CHTTradingRangePlotFieldLow); }
    void setCloseValues(const CHTPlotNumbers& values) { cacheNumbers(values, CHTTradingRangePlotFieldClose); }

    std::size_t numberOfFields() const override { return 5; }
    std::vector<std::size_t> fieldIdentifiers() const override { return {0, 1, 4, 2, 3}; }
    // x: [x]; y: [open, low, high, close]; others raise "CHTException".
    std::vector<std::size_t> fieldIdentifiersForCoordinate(CHTCoordinate coordinate) const override;

    void reloadDataInIndexRange(CHTRecordRange indexRange) override;

    // One mark, in view coordinates of the plot; a missing (NaN) value
    // leaves its part out.
    void drawOHLCInContext(gfx::Context& context, CGFloat x, CGFloat open, CGFloat close, CGFloat high, CGFloat low,
                           bool alignPoints);
    void drawCandleStickInContext(gfx::Context& context, CGFloat x, CGFloat open, CGFloat close, CGFloat high,
                                  CGFloat low, bool alignPoints);
    // The paths these stroke: the bar's three lines; the candlestick's body
    // (from the open side round the close side) and, with wicks, the lines
    // from the body out to the low and the high.
    gfx::Path newOHLCPath(const gfx::Context& context, CGFloat x, CGFloat open, CGFloat close, CGFloat high,
                          CGFloat low, bool alignPoints) const;
    gfx::Path newCandleStickPath(const gfx::Context& context, CGFloat x, CGFloat open, CGFloat close, CGFloat high,
                                 CGFloat low, bool alignPoints, bool withWicks) const;

    // Raises "CHTException" when the fields hold different numbers of
    // records, or for an unknown plot style.
    void renderAsVectorInContext(gfx::Context& context) override;
    // The label sits above the highest of the record's values (below the
    // lowest on a reversed y range); hidden when it has no value at all.
    void positionLabelAnnotation(const std::shared_ptr<CHTPlotSpaceAnnotation>& label, std::size_t index) override;
    void drawSwatchForLegend(const CHTLegendSwatchStyle& legend, std::size_t index, const gfx::Rect& rect,
                             gfx::Context& context) override;
    // "barWidth", "stickLength" and "barCornerRadius".
    static bool needsDisplayForKey(const std::string& key);

    std::string classForCoder() const override { return "CHTTradingRangePlot"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

private:
    void styleChanged();

    std::shared_ptr<CHTLineStyle> lineStyle_;
    std::shared_ptr<CHTLineStyle> increaseLineStyle_;
    std::shared_ptr<CHTLineStyle> decreaseLineStyle_;
    std::shared_ptr<CHTFill> increaseFill_;
    std::shared_ptr<CHTFill> decreaseFill_;
    CHTTradingRangePlotStyle plotStyle_ = CHTTradingRangePlotStyleOHLC;
    CGFloat barWidth_ = 5;
    CGFloat stickLength_ = 3;
    CGFloat barCornerRadius_ = 0;
};
