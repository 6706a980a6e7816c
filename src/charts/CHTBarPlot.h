#pragma once
// One bar per record, from a base value to the record's tip value, at the
// record's location along the other axis. Bars are vertical or horizontal,
// their two tip corners may be rounded, and each bar's fill and outline can
// come from the data source.
#include <memory>
#include <optional>
#include <vector>

#include "charts/CHTPlot.h"

class CHTBarPlot;
class CHTColor;

// Fields.
inline constexpr std::size_t CHTBarPlotFieldBarLocation = 2;
inline constexpr std::size_t CHTBarPlotFieldBarTip = 3;
inline constexpr std::size_t CHTBarPlotFieldBarBase = 4;

// Per-bar styles a data source may give (optional; not implemented by
// default): nil keeps the plot's own, null draws none.
class CHTBarPlotDataSource : public virtual CHTPlotDataSource {
public:
    virtual std::optional<CHTDataSourceObject<CHTFill>> barFillForBarPlot(CHTBarPlot*, std::size_t /*recordIndex*/) {
        return std::nullopt;
    }
    virtual std::optional<CHTDataSourceObject<CHTLineStyle>> barLineStyleForBarPlot(CHTBarPlot*,
                                                                                    std::size_t /*recordIndex*/) {
        return std::nullopt;
    }
};

// Told which bar was pressed.
class CHTBarPlotDelegate : public virtual CHTPlotDelegate {
public:
    virtual void barPlot(CHTBarPlot* plot, std::size_t barWasSelectedAtRecordIndex) = 0;
};

class CHTBarPlot : public CHTPlot {
public:
    // Vertical bars 0.5 wide in data units, filled black with a default
    // outline, based at 0; labels show tips, 10 points off.
    explicit CHTBarPlot(const gfx::Rect& frame = gfx::Rect::zero());

    // Bars 0.8 wide with a black 1-point outline, corner radius 2, filled with
    // a gradient from the colour to black along the bars.
    static std::shared_ptr<CHTBarPlot> tubularBarPlotWithColor(const std::shared_ptr<CHTColor>& color,
                                                               bool horizontalBars);

    // Copies are kept; a change redraws the bars and the legend swatch.
    const std::shared_ptr<CHTLineStyle>& lineStyle() const { return lineStyle_; }
    void setLineStyle(const std::shared_ptr<CHTLineStyle>& style);
    const std::shared_ptr<CHTFill>& fill() const { return fill_; }
    void setFill(const std::shared_ptr<CHTFill>& fill);
    const base::Decimal& barWidth() const { return barWidth_; }
    void setBarWidth(const base::Decimal& width);
    CGFloat barWidthScale() const { return barWidthScale_; }
    void setBarWidthScale(CGFloat scale);
    const base::Decimal& barOffset() const { return barOffset_; }
    void setBarOffset(const base::Decimal& offset);
    CGFloat barOffsetScale() const { return barOffsetScale_; }
    void setBarOffsetScale(CGFloat scale);
    // Stored as its magnitude.
    CGFloat barCornerRadius() const { return barCornerRadius_; }
    void setBarCornerRadius(CGFloat radius);
    const base::Decimal& baseValue() const { return baseValue_; }
    void setBaseValue(const base::Decimal& value);
    bool barsAreHorizontal() const { return barsAreHorizontal_; }
    void setBarsAreHorizontal(bool horizontal);
    bool barBasesVary() const { return barBasesVary_; }
    void setBarBasesVary(bool vary);
    bool barWidthsAreInViewCoordinates() const { return barWidthsAreInViewCoordinates_; }
    void setBarWidthsAreInViewCoordinates(bool value) { barWidthsAreInViewCoordinates_ = value; }
    // When set, bar locations are spread evenly over it.
    const std::shared_ptr<CHTPlotRange>& plotRange() const { return plotRange_; }
    void setPlotRange(const std::shared_ptr<CHTPlotRange>& range);

    std::vector<base::Number> barLocations() const { return cachedSampleArray(CHTBarPlotFieldBarLocation); }
    std::vector<base::Number> barTips() const { return cachedSampleArray(CHTBarPlotFieldBarTip); }
    std::vector<base::Number> barBases() const { return cachedSampleArray(CHTBarPlotFieldBarBase); }
    void setBarLocations(const CHTPlotNumbers& values) { cacheNumbers(values, CHTBarPlotFieldBarLocation); }
    void setBarTips(const CHTPlotNumbers& values) { cacheNumbers(values, CHTBarPlotFieldBarTip); }
    void setBarBases(const CHTPlotNumbers& values) { cacheNumbers(values, CHTBarPlotFieldBarBase); }

    std::size_t numberOfFields() const override { return 2; }
    std::vector<std::size_t> fieldIdentifiers() const override {
        return {CHTBarPlotFieldBarLocation, CHTBarPlotFieldBarTip};
    }
    // Raises "CHTException" for a coordinate other than x and y.
    std::vector<std::size_t> fieldIdentifiersForCoordinate(CHTCoordinate coordinate) const override;

    void reloadDataInIndexRange(CHTRecordRange indexRange) override;

    // ---- Geometry (points in the plot's coordinates)
    // false when the record has no bar (a missing location, tip or base).
    bool barAtRecordIndex(std::size_t index, gfx::Point& basePoint, gfx::Point& tipPoint) const;
    bool barIsVisibleWithBasePoint(gfx::Point basePoint) const;
    // nullopt when the bar does not exist; without a context nothing is aligned.
    std::optional<gfx::Path> newBarPathWithContext(const gfx::Context* context, gfx::Point basePoint,
                                                   gfx::Point tipPoint) const;
    std::optional<gfx::Path> newBarPathWithContext(const gfx::Context* context, std::size_t recordIndex) const;
    // A data length along the location axis in view units (signed).
    CGFloat lengthInView(const base::Decimal& plotLength) const;
    // A length in the width's units, in data units.
    base::Decimal lengthInPlotCoordinates(const base::Decimal& length) const;
    double doubleLengthInPlotCoordinates(double length) const;

    void drawBarInContext(gfx::Context& context, std::size_t recordIndex);
    void renderAsVectorInContext(gfx::Context& context) override;
    void drawSwatchForLegend(const CHTLegendSwatchStyle& legend, std::size_t index, const gfx::Rect& rect,
                             gfx::Context& context) override;
    void positionLabelAnnotation(const std::shared_ptr<CHTPlotSpaceAnnotation>& label, std::size_t index) override;
    // A press inside a bar tells the delegate the record.
    bool pointingDeviceDownEvent(const CHTNativeEvent* event, gfx::Point interactionPoint) override;

    // "barCornerRadius", "barOffsetScale", "barWidthScale" and the plot's keys.
    static bool needsDisplayForKey(const std::string& key);

    std::string classForCoder() const override { return "CHTBarPlot"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

private:
    // What every bar of one drawing shares: half the bar width, the shift
    // along the location axis, the plot area's offset in the plot, and the
    // plot area's extent along the location axis (the bars' visibility).
    struct SharedBarGeometry {
        CGFloat halfWidth;
        CGFloat shift;
        gfx::Point areaOffset;
        CGFloat low, high;
    };
    SharedBarGeometry sharedBarGeometry() const;
    // Half the drawn bar width in view units, as a magnitude.
    CGFloat halfBarWidth() const;
    void styleChanged();

    // Worked out once while the bars are drawn (the plot space maps the
    // lengths in decimals); nothing outside a drawing.
    std::optional<SharedBarGeometry> drawing_;

    std::shared_ptr<CHTLineStyle> lineStyle_;
    std::shared_ptr<CHTFill> fill_;
    base::Decimal barWidth_;
    CGFloat barWidthScale_ = 1;
    base::Decimal barOffset_;
    CGFloat barOffsetScale_ = 1;
    CGFloat barCornerRadius_ = 0;
    base::Decimal baseValue_;
    bool barsAreHorizontal_ = false;
    bool barBasesVary_ = false;
    bool barWidthsAreInViewCoordinates_ = false;
    std::shared_ptr<CHTPlotRange> plotRange_;
};
