#pragma once
// One value per record drawn as a slice of a circle or of a ring. The values
// become fractions of their sum; each slice is filled (by the data source or
// with a default colour), optionally outlined and pushed out from the
// centre. Labels sit outside the circle, the legend shows one entry per
// record, and a tapped slice is reported to the delegate.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "charts/CHTPlot.h"

class CHTColor;
class CHTPieChart;

// Fields of the cache: the value from the data source, each record's share
// of the sum, and the running share up to and including the record.
inline constexpr std::size_t CHTPieChartFieldSliceWidth = 0;
inline constexpr std::size_t CHTPieChartFieldSliceWidthNormalized = 1;
inline constexpr std::size_t CHTPieChartFieldSliceWidthSum = 2;

// Which way the slices follow each other.
using CHTPieDirection = int;
inline constexpr CHTPieDirection CHTPieDirectionClockwise = 0;         // angles decrease
inline constexpr CHTPieDirection CHTPieDirectionCounterClockwise = 1;  // angles increase

// What a pie's data source may add (each optional; not implemented by default).
class CHTPieChartDataSource : public virtual CHTPlotDataSource {
public:
    // The slice's fill; nil uses the default colour.
    virtual std::optional<std::shared_ptr<CHTFill>> sliceFillForPieChart(CHTPieChart*, std::size_t /*recordIndex*/) {
        return std::nullopt;
    }
    // The record's legend title; nil uses the plot's title.
    virtual std::optional<std::optional<std::string>> legendTitleForPieChart(CHTPieChart*,
                                                                             std::size_t /*recordIndex*/) {
        return std::nullopt;
    }
    // How far the slice is pushed out along its middle angle, view units.
    virtual std::optional<CGFloat> radialOffsetForPieChart(CHTPieChart*, std::size_t /*recordIndex*/) {
        return std::nullopt;
    }
};

// Told which slice was pressed.
class CHTPieChartDelegate : public virtual CHTPlotDelegate {
public:
    virtual void pieChart(CHTPieChart* plot, std::size_t sliceWasSelectedAtRecordIndex) = 0;
};

class CHTPieChart : public CHTPlot {
public:
    // Radius 0.4 of the frame's smaller side, no hole, starting straight up,
    // clockwise, centred; labels 10 points outside.
    explicit CHTPieChart(const gfx::Rect& frame = gfx::Rect::zero());

    // The colour of slice i: a table of ten, lightened by 0.1 per ten.
    static std::shared_ptr<CHTColor> defaultPieSliceColorForIndex(std::size_t index);

    // The radii store their magnitude.
    CGFloat pieRadius() const { return pieRadius_; }
    void setPieRadius(CGFloat radius);
    CGFloat pieInnerRadius() const { return pieInnerRadius_; }
    void setPieInnerRadius(CGFloat radius);
    CGFloat startAngle() const { return startAngle_; }
    void setStartAngle(CGFloat angle);
    CHTPieDirection sliceDirection() const { return sliceDirection_; }
    void setSliceDirection(CHTPieDirection direction);
    // The centre as fractions of the plot area's bounds.
    gfx::Point centerAnchor() const { return centerAnchor_; }
    void setCenterAnchor(gfx::Point anchor);
    const std::shared_ptr<CHTLineStyle>& borderLineStyle() const { return borderLineStyle_; }
    void setBorderLineStyle(const std::shared_ptr<CHTLineStyle>& style);
    const std::shared_ptr<CHTFill>& overlayFill() const { return overlayFill_; }
    void setOverlayFill(const std::shared_ptr<CHTFill>& fill);
    // The normalized widths; writing stores the numbers in that field and
    // normalizes again from the values.
    std::vector<base::Number> sliceWidths() const { return cachedSampleArray(CHTPieChartFieldSliceWidthNormalized); }
    void setSliceWidths(const CHTPlotNumbers& widths);

    // The angle at a fraction of the whole, from the start angle in the
    // slice direction.
    CGFloat radiansForPieSliceValue(CGFloat value) const;
    // The data source's fill, else the default colour.
    std::shared_ptr<CHTFill> sliceFillForIndex(std::size_t index) const;

    // ---- Legend: one entry per record
    std::size_t numberOfLegendEntries() const override;
    std::optional<std::string> titleForLegendEntryAtIndex(std::size_t index) const override;
    void drawSwatchForLegend(const CHTLegendSwatchStyle& legend, std::size_t index, const gfx::Rect& rect,
                             gfx::Context& context) override;

    std::size_t numberOfFields() const override { return 1; }
    std::vector<std::size_t> fieldIdentifiers() const override { return {CHTPieChartFieldSliceWidth}; }
    std::vector<std::size_t> fieldIdentifiersForCoordinate(CHTCoordinate) const override { return {}; }

    void reloadDataInIndexRange(CHTRecordRange indexRange) override;
    void insertDataAtIndex(std::size_t index, std::size_t numberOfRecords) override;
    void deleteDataInIndexRange(CHTRecordRange indexRange) override;
    // Rebuilds the shares and running shares from the values; a share that
    // is not a finite number (a zero sum) is missing.
    void updateNormalizedData();

    // ---- Drawing
    void renderAsVectorInContext(gfx::Context& context) override;
    void addSliceToPath(gfx::Path& path, gfx::Point centerPoint, CGFloat startingAngle, CGFloat finishingAngle) const;
    void drawOverlayInContext(gfx::Context& context, gfx::Point centerPoint);
    void positionLabelAnnotation(const std::shared_ptr<CHTPlotSpaceAnnotation>& label, std::size_t index) override;
    // "pieRadius", "pieInnerRadius", "startAngle" and "centerAnchor".
    static bool needsDisplayForKey(const std::string& key);

    // ---- Hit testing
    bool pointingDeviceDownEvent(const CHTNativeEvent* event, gfx::Point interactionPoint) override;
    // An angle as a fraction of a turn in [0, 1).
    static CGFloat normalizedPosition(CGFloat rawPosition);
    // Whether the fraction t lies between start and end in the slice direction.
    bool angle(CGFloat touchedAngle, CGFloat startAngle, CGFloat endAngle) const;

    std::string classForCoder() const override { return "CHTPieChart"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

private:
    std::shared_ptr<CHTPieChartDataSource> pieDataSource() const;
    // The data source's radial offset of the record (0 without one).
    CGFloat radialOffsetForIndex(std::size_t index) const;
    // The centre in the plot area's coordinates (nullopt without a plot area).
    std::optional<gfx::Point> centerInPlotArea() const;
    double normalizedWidth(std::size_t index) const;
    // Tells the legend when the number of records it shows has changed.
    void noteLegendEntryCount();

    CGFloat pieRadius_ = 0;
    CGFloat pieInnerRadius_ = 0;
    CGFloat startAngle_ = 0;
    CHTPieDirection sliceDirection_ = CHTPieDirectionClockwise;
    gfx::Point centerAnchor_{0.5, 0.5};
    std::shared_ptr<CHTLineStyle> borderLineStyle_;
    std::shared_ptr<CHTFill> overlayFill_;
    // The record count the legend was last told about.
    std::size_t legendEntryCount_ = 0;
};
