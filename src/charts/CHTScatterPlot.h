#pragma once
// A series of (x, y) records drawn as a line through their points, with up
// to two area fills between the line and a base value, and a plot symbol at
// each point. A record with a missing coordinate breaks the line.
#include <memory>
#include <optional>
#include <vector>

#include "charts/CHTPlot.h"
#include "charts/CHTPlotSymbol.h"

class CHTScatterPlot;
class CHTXYPlotSpace;

// Fields.
inline constexpr std::size_t CHTScatterPlotFieldX = 0;
inline constexpr std::size_t CHTScatterPlotFieldY = 1;

// How the line goes from one point to the next.
using CHTScatterPlotInterpolation = int;
inline constexpr CHTScatterPlotInterpolation CHTScatterPlotInterpolationLinear = 0;
inline constexpr CHTScatterPlotInterpolation CHTScatterPlotInterpolationStepped = 1;
inline constexpr CHTScatterPlotInterpolation CHTScatterPlotInterpolationHistogram = 2;

// The symbols a data source may give per record (optional; not implemented
// by default). A nil or null symbol shows none for that record.
class CHTScatterPlotDataSource : public virtual CHTPlotDataSource {
public:
    virtual std::optional<std::vector<CHTDataSourceObject<CHTPlotSymbol>>> symbolsForScatterPlot(CHTScatterPlot*,
                                                                                                 CHTRecordRange) {
        return std::nullopt;
    }
    virtual std::optional<CHTDataSourceObject<CHTPlotSymbol>> symbolForScatterPlot(CHTScatterPlot*,
                                                                                   std::size_t /*recordIndex*/) {
        return std::nullopt;
    }
};

// Told which record's symbol was pressed.
class CHTScatterPlotDelegate : public virtual CHTPlotDelegate {
public:
    // The symbol of the record was selected.
    virtual void scatterPlot(CHTScatterPlot* plot, std::size_t plotSymbolWasSelectedAtRecordIndex) = 0;
};

class CHTScatterPlot : public CHTPlot {
public:
    // Symbols per record: nullptr stands for "no symbol" (the null object).
    using SymbolList = std::vector<std::shared_ptr<CHTPlotSymbol>>;

    // Linear, a default line style, no symbol, no fills; labels show y.
    explicit CHTScatterPlot(const gfx::Rect& frame = gfx::Rect::zero());

    CHTScatterPlotInterpolation interpolation() const { return interpolation_; }
    void setInterpolation(CHTScatterPlotInterpolation interpolation);
    // Copies are kept; nil draws no line.
    const std::shared_ptr<CHTLineStyle>& dataLineStyle() const { return dataLineStyle_; }
    void setDataLineStyle(const std::shared_ptr<CHTLineStyle>& style);
    // The symbol of every record without one of its own.
    const std::shared_ptr<CHTPlotSymbol>& plotSymbol() const { return plotSymbol_; }
    void setPlotSymbol(const std::shared_ptr<CHTPlotSymbol>& symbol);
    const std::shared_ptr<CHTFill>& areaFill() const { return areaFill_; }
    void setAreaFill(const std::shared_ptr<CHTFill>& fill);
    const std::shared_ptr<CHTFill>& areaFill2() const { return areaFill2_; }
    void setAreaFill2(const std::shared_ptr<CHTFill>& fill);
    // The y value the fill reaches; not-a-number draws no fill.
    const base::Decimal& areaBaseValue() const { return areaBaseValue_; }
    void setAreaBaseValue(const base::Decimal& value);
    const base::Decimal& areaBaseValue2() const { return areaBaseValue2_; }
    void setAreaBaseValue2(const base::Decimal& value);
    CGFloat plotSymbolMarginForHitDetection() const { return plotSymbolMarginForHitDetection_; }
    void setPlotSymbolMarginForHitDetection(CGFloat margin) { plotSymbolMarginForHitDetection_ = margin; }
    const std::optional<SymbolList>& plotSymbols() const { return plotSymbols_; }
    void setPlotSymbols(const std::optional<SymbolList>& symbols);

    std::vector<base::Number> xValues() const { return cachedSampleArray(CHTScatterPlotFieldX); }
    std::vector<base::Number> yValues() const { return cachedSampleArray(CHTScatterPlotFieldY); }
    void setXValues(const CHTPlotNumbers& values) { cacheNumbers(values, CHTScatterPlotFieldX); }
    void setYValues(const CHTPlotNumbers& values) { cacheNumbers(values, CHTScatterPlotFieldY); }

    std::size_t numberOfFields() const override { return 2; }
    std::vector<std::size_t> fieldIdentifiers() const override { return {CHTScatterPlotFieldX, CHTScatterPlotFieldY}; }
    // Raises "CHTException" for a coordinate other than x and y.
    std::vector<std::size_t> fieldIdentifiersForCoordinate(CHTCoordinate coordinate) const override;

    void reloadDataInIndexRange(CHTRecordRange indexRange) override;
    void insertDataAtIndex(std::size_t index, std::size_t numberOfRecords) override;
    void deleteDataInIndexRange(CHTRecordRange indexRange) override;

    // The record's own symbol, else the plot's; nullptr for none.
    std::shared_ptr<CHTPlotSymbol> plotSymbolForRecordIndex(std::size_t index) const;

    // ---- Drawing and hit-testing steps
    // One flag per record: whether it is drawn (or, visible-only, seen).
    void calculatePointsToDraw(std::vector<char>& flags, CHTPlotSpace* plotSpace, bool visibleOnly) const;
    // The flagged records' points in the plot's coordinates; (NaN, NaN) for
    // the others.
    void calculateViewPoints(std::vector<gfx::Point>& points, const std::vector<char>& flags) const;
    void alignViewPointsToUserSpace(std::vector<gfx::Point>& points, const gfx::Context& context,
                                    const std::vector<char>& flags) const;
    // The line through the points of the range (first to last inclusive);
    // with a baseline each run is closed down to it. A not-a-number point
    // ends a run: the next one starts with a move.
    gfx::Path newDataLinePathForViewPoints(const std::vector<gfx::Point>& points, CHTRecordRange indexRange,
                                           CGFloat baselineYValue) const;
    // The record's point in the plot area's coordinates.
    gfx::Point plotAreaPointOfVisiblePointAtIndex(std::size_t index) const;
    // The visible record nearest to the point (plot area coordinates);
    // CHTNotFound when none is visible.
    std::size_t indexOfVisiblePointClosestToPlotAreaPoint(gfx::Point point) const;

    void renderAsVectorInContext(gfx::Context& context) override;
    void drawSwatchForLegend(const CHTLegendSwatchStyle& legend, std::size_t index, const gfx::Rect& rect,
                             gfx::Context& context) override;
    void positionLabelAnnotation(const std::shared_ptr<CHTPlotSpaceAnnotation>& label, std::size_t index) override;
    // A press on a symbol tells the delegate the record.
    bool pointingDeviceDownEvent(const CHTNativeEvent* event, gfx::Point interactionPoint) override;

    std::string classForCoder() const override { return "CHTScatterPlot"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

    // The hit size of a record without a symbol, in view units.
    static constexpr CGFloat kHitSizeWithoutSymbol = 10;

private:
    void reloadPlotSymbolsInIndexRange(CHTRecordRange indexRange);
    void styleChanged();

    CHTScatterPlotInterpolation interpolation_ = CHTScatterPlotInterpolationLinear;
    std::shared_ptr<CHTLineStyle> dataLineStyle_;
    std::shared_ptr<CHTPlotSymbol> plotSymbol_;
    std::shared_ptr<CHTFill> areaFill_;
    std::shared_ptr<CHTFill> areaFill2_;
    base::Decimal areaBaseValue_;
    base::Decimal areaBaseValue2_;
    CGFloat plotSymbolMarginForHitDetection_ = 0;
    std::optional<SymbolList> plotSymbols_;
};
