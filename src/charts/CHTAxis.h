#pragma once
// The layer of one axis: everything that describes it (coordinate, plot
// space, tick locations and lengths, line styles, labelling settings, title,
// bands), its labels and title kept placed, and the grid-line, label and
// title layers it needs from its plot area. Ticks and labels are made
// lazily: a change that affects them marks the axis for relabelling, and
// relabel() regenerates them by the labelling policy.
//
// The drawing of the axis line, ticks, grid lines and bands belongs to
// CHTXYAxis; here those operations do nothing.
#include <cstddef>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "charts/CHTAxisLabel.h"
#include "charts/CHTAxisTitle.h"
#include "charts/CHTFill.h"
#include "charts/CHTLayer.h"
#include "charts/CHTLimitBand.h"
#include "charts/CHTLineCap.h"
#include "charts/CHTLineStyle.h"
#include "charts/CHTPlotRange.h"
#include "charts/CHTPlotSpace.h"
#include "charts/CHTShadow.h"
#include "charts/CHTTextStyle.h"
#include "charts/CHTTickGeneration.h"
#include "platform/base/NumberFormatter.h"

class CHTAxis;
class CHTAxisSet;
class CHTGridLines;
class CHTPlotArea;

// Labelling policies.
inline constexpr int CHTAxisLabelingPolicyNone = 0;
inline constexpr int CHTAxisLabelingPolicyLocationsProvided = 1;
inline constexpr int CHTAxisLabelingPolicyFixedInterval = 2;
inline constexpr int CHTAxisLabelingPolicyAutomatic = 3;
inline constexpr int CHTAxisLabelingPolicyEqualDivisions = 4;

// What an axis asks of its layer delegate. Set an object of this kind as the
// axis's delegate; the defaults let every relabel happen.
class CHTAxisDelegate : public gfx::LayerDelegate {
public:
    // false: the relabel is skipped (and the axis no longer needs one).
    virtual bool axisShouldRelabel(CHTAxis* axis);
    virtual void axisDidRelabel(CHTAxis* axis);
    // false: the labels are left as they are; nullopt: not implemented.
    virtual std::optional<bool> axisShouldUpdateAxisLabelsAtLocations(CHTAxis* axis, const CHTDecimalSet& locations);
};

class CHTAxis : public CHTLayer {
public:
    explicit CHTAxis(const gfx::Rect& frame = gfx::Rect::zero());
    ~CHTAxis() override;

    // ---- Coordinate and plot space
    CHTCoordinate coordinate() const { return coordinate_; }
    virtual void setCoordinate(CHTCoordinate coordinate);
    const std::shared_ptr<CHTPlotSpace>& plotSpace() const { return plotSpace_; }
    void setPlotSpace(const std::shared_ptr<CHTPlotSpace>& plotSpace);

    // ---- Ticks
    const CHTDecimalSet& majorTickLocations() const { return majorTickLocations_; }
    void setMajorTickLocations(const CHTDecimalSet& locations);
    const CHTDecimalSet& minorTickLocations() const { return minorTickLocations_; }
    void setMinorTickLocations(const CHTDecimalSet& locations);
    CGFloat majorTickLength() const { return majorTickLength_; }
    void setMajorTickLength(CGFloat length);
    CGFloat minorTickLength() const { return minorTickLength_; }
    void setMinorTickLength(CGFloat length);
    int tickDirection() const { return tickDirection_; }
    void setTickDirection(int direction);

    // ---- Label placement
    CGFloat labelOffset() const { return labelOffset_; }
    void setLabelOffset(CGFloat offset);
    CGFloat minorTickLabelOffset() const { return minorTickLabelOffset_; }
    void setMinorTickLabelOffset(CGFloat offset);
    CGFloat labelRotation() const { return labelRotation_; }
    void setLabelRotation(CGFloat rotation);
    CGFloat minorTickLabelRotation() const { return minorTickLabelRotation_; }
    void setMinorTickLabelRotation(CGFloat rotation);
    int labelAlignment() const { return labelAlignment_; }
    void setLabelAlignment(int alignment);
    int minorTickLabelAlignment() const { return minorTickLabelAlignment_; }
    void setMinorTickLabelAlignment(int alignment);

    // ---- Line styles (copies are kept; nil draws nothing)
    const std::shared_ptr<CHTLineStyle>& axisLineStyle() const { return axisLineStyle_; }
    void setAxisLineStyle(const std::shared_ptr<const CHTLineStyle>& style);
    const std::shared_ptr<CHTLineStyle>& majorTickLineStyle() const { return majorTickLineStyle_; }
    void setMajorTickLineStyle(const std::shared_ptr<const CHTLineStyle>& style);
    const std::shared_ptr<CHTLineStyle>& minorTickLineStyle() const { return minorTickLineStyle_; }
    void setMinorTickLineStyle(const std::shared_ptr<const CHTLineStyle>& style);
    const std::shared_ptr<CHTLineStyle>& majorGridLineStyle() const { return majorGridLineStyle_; }
    void setMajorGridLineStyle(const std::shared_ptr<const CHTLineStyle>& style);
    const std::shared_ptr<CHTLineStyle>& minorGridLineStyle() const { return minorGridLineStyle_; }
    void setMinorGridLineStyle(const std::shared_ptr<const CHTLineStyle>& style);
    const std::shared_ptr<CHTLineCap>& axisLineCapMin() const { return axisLineCapMin_; }
    void setAxisLineCapMin(const std::shared_ptr<const CHTLineCap>& cap);
    const std::shared_ptr<CHTLineCap>& axisLineCapMax() const { return axisLineCapMax_; }
    void setAxisLineCapMax(const std::shared_ptr<const CHTLineCap>& cap);

    // ---- Labelling
    const base::Decimal& labelingOrigin() const { return labelingOrigin_; }
    void setLabelingOrigin(const base::Decimal& origin);
    const base::Decimal& majorIntervalLength() const { return majorIntervalLength_; }
    void setMajorIntervalLength(const base::Decimal& length);
    unsigned minorTicksPerInterval() const { return minorTicksPerInterval_; }
    void setMinorTicksPerInterval(unsigned count);
    unsigned preferredNumberOfMajorTicks() const { return preferredNumberOfMajorTicks_; }
    void setPreferredNumberOfMajorTicks(unsigned count);
    int labelingPolicy() const { return labelingPolicy_; }
    void setLabelingPolicy(int policy);
    const std::shared_ptr<CHTTextStyle>& labelTextStyle() const { return labelTextStyle_; }
    void setLabelTextStyle(const std::shared_ptr<const CHTTextStyle>& style);
    const std::shared_ptr<CHTTextStyle>& minorTickLabelTextStyle() const { return minorTickLabelTextStyle_; }
    void setMinorTickLabelTextStyle(const std::shared_ptr<const CHTTextStyle>& style);
    // Kept, not copied.
    const std::shared_ptr<base::NumberFormatter>& labelFormatter() const { return labelFormatter_; }
    void setLabelFormatter(const std::shared_ptr<base::NumberFormatter>& formatter);
    const std::shared_ptr<base::NumberFormatter>& minorTickLabelFormatter() const { return minorTickLabelFormatter_; }
    void setMinorTickLabelFormatter(const std::shared_ptr<base::NumberFormatter>& formatter);
    bool labelFormatterChanged() const { return labelFormatterChanged_; }
    void setLabelFormatterChanged(bool changed) { labelFormatterChanged_ = changed; }
    const std::shared_ptr<CHTShadow>& labelShadow() const { return labelShadow_; }
    void setLabelShadow(const std::shared_ptr<CHTShadow>& shadow);
    const std::vector<std::shared_ptr<CHTPlotRange>>& labelExclusionRanges() const { return labelExclusionRanges_; }
    void setLabelExclusionRanges(const std::vector<std::shared_ptr<CHTPlotRange>>& ranges);
    const std::shared_ptr<CHTPlotRange>& visibleRange() const { return visibleRange_; }
    void setVisibleRange(const std::shared_ptr<CHTPlotRange>& range);
    const std::shared_ptr<CHTPlotRange>& gridLinesRange() const { return gridLinesRange_; }
    void setGridLinesRange(const std::shared_ptr<CHTPlotRange>& range);

    // ---- Labels
    const CHTAxisLabelSet& axisLabels() const { return axisLabels_; }
    void setAxisLabels(const CHTAxisLabelSet& labels);
    const CHTAxisLabelSet& minorTickAxisLabels() const { return minorTickAxisLabels_; }
    void setMinorTickAxisLabels(const CHTAxisLabelSet& labels);

    // ---- Title
    // Made on demand from title() when there is none.
    std::shared_ptr<CHTAxisTitle> axisTitle();
    void setAxisTitle(const std::shared_ptr<CHTAxisTitle>& title);
    const std::optional<std::string>& title() const { return title_; }
    void setTitle(const std::optional<std::string>& title);
    const std::shared_ptr<CHTTextStyle>& titleTextStyle() const { return titleTextStyle_; }
    void setTitleTextStyle(const std::shared_ptr<const CHTTextStyle>& style);
    CGFloat titleOffset() const { return titleOffset_; }
    void setTitleOffset(CGFloat offset);
    // NaN: the title's own default.
    CGFloat titleRotation() const { return titleRotation_; }
    void setTitleRotation(CGFloat rotation);
    // defaultTitleLocation() while the stored value is NaN.
    base::Decimal titleLocation() const;
    void setTitleLocation(const base::Decimal& location);
    // NaN here; the XY axis gives the middle of its range.
    virtual base::Decimal defaultTitleLocation() const;

    // ---- Bands
    // Each a fill, or nullptr for no band.
    const std::vector<std::shared_ptr<CHTFill>>& alternatingBandFills() const { return alternatingBandFills_; }
    // Accepts fills, colours, gradients, images and nullptr (no band); the
    // latter three become fills. Anything else raises "CHTException".
    void setAlternatingBandFills(const std::vector<std::shared_ptr<base::Coding>>& fills);
    const std::vector<std::shared_ptr<CHTLimitBand>>& mutableBackgroundLimitBands() const {
        return mutableBackgroundLimitBands_;
    }
    std::vector<std::shared_ptr<CHTLimitBand>> backgroundLimitBands() const { return mutableBackgroundLimitBands_; }
    void addBackgroundLimitBand(const std::shared_ptr<CHTLimitBand>& band);
    void removeBackgroundLimitBand(const std::shared_ptr<CHTLimitBand>& band);

    // ---- Grid-line layers
    bool separateLayers() const { return separateLayers_; }
    void setSeparateLayers(bool separate);
    const std::shared_ptr<CHTGridLines>& minorGridLines() const { return minorGridLines_; }
    void setMinorGridLines(const std::shared_ptr<CHTGridLines>& gridLines);
    const std::shared_ptr<CHTGridLines>& majorGridLines() const { return majorGridLines_; }
    void setMajorGridLines(const std::shared_ptr<CHTGridLines>& gridLines);

    // ---- Plot area (not owned) and axis set
    std::shared_ptr<CHTPlotArea> plotArea() const { return plotArea_.lock(); }
    // Puts the axis's grid-line, label and title layers into the plot area's
    // groups (or takes them out for nullptr).
    void setPlotArea(const std::shared_ptr<CHTPlotArea>& plotArea);
    std::shared_ptr<CHTAxisSet> axisSet() const;

    // ---- Relabelling
    bool needsRelabel() const { return needsRelabel_; }
    void setNeedsRelabel() { setNeedsRelabel(true); }
    // true also asks for layout and display.
    void setNeedsRelabel(bool needsRelabel);
    // Regenerates ticks and labels when needed.
    void relabel();

    // The generators: new major and minor sets (both empty when nothing can
    // be generated) by the functions of CHTTickGeneration.h over the visible
    // range with the axis's settings; a cap they run into is logged once.
    void generateFixedIntervalMajorTickLocations(CHTDecimalSet& major, CHTDecimalSet& minor) const;
    void autoGenerateMajorTickLocations(CHTDecimalSet& major, CHTDecimalSet& minor) const;
    void generateEqualMajorTickLocations(CHTDecimalSet& major, CHTDecimalSet& minor) const;
    // The set without the locations in any exclusion range (ends included).
    CHTDecimalSet filteredTickLocations(const CHTDecimalSet& locations) const;
    CHTDecimalSet filteredMajorTickLocations(const CHTDecimalSet& locations) const {
        return filteredTickLocations(locations);
    }
    CHTDecimalSet filteredMinorTickLocations(const CHTDecimalSet& locations) const {
        return filteredTickLocations(locations);
    }
    // Brings the major (useMajor) or minor label set in line with the
    // locations.
    void updateAxisLabelsAtLocations(const CHTDecimalSet& locations, bool useMajorAxisLabels, int labelAlignment,
                                     CGFloat labelOffset, CGFloat labelRotation,
                                     const std::shared_ptr<CHTTextStyle>& textStyle,
                                     const std::shared_ptr<base::NumberFormatter>& labelFormatter);
    // Place every label of the set at its tick location.
    void updateMajorTickLabels();
    void updateMinorTickLabels();

    // ---- Subclass operations (nothing here)
    // The view point of a location along the axis, in the axis's coordinates.
    virtual gfx::Point viewPointForCoordinateDecimalNumber(const base::Decimal& coordinateDecimalNumber);
    virtual void drawGridLinesInContext(gfx::Context& context, bool major);
    virtual void drawBackgroundBandsInContext(gfx::Context& context);
    virtual void drawBackgroundLimitsInContext(gfx::Context& context);

    // The keys whose change redraws the axis: the title and label offsets
    // and rotations.
    static bool needsDisplayForKey(const std::string& key);

    // Relabels first, so labels exist as soon as the tree is laid out; then
    // places the labels and the title.
    void layoutSublayers() override;
    // Labels and titles are placed by the axis.
    std::set<const gfx::Layer*> sublayersExcludedFromAutomaticLayout() const override;

    std::string classForCoder() const override { return "CHTAxis"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

    static void registerCodingClass();

protected:
    // The plot range along the axis, cut to visibleRange (nullptr without one).
    std::shared_ptr<CHTPlotRange> visiblePlotRange() const;
    // The grid lines of the kind need drawing again.
    void gridLinesNeedDisplay(bool major);
    void plotAreaNeedsDisplay();
    // Moves the content layers of the labels into the label group, the first
    // at the axis's index, each next one directly below the previous one.
    void insertLabelLayers(const CHTAxisLabelSet& labels);
    void insertTitleLayer();
    void insertGridLinesLayer(bool major);
    void placeTitle();

private:
    std::shared_ptr<CHTAxis> self();
    void setLabelSet(CHTAxisLabelSet& stored, const CHTAxisLabelSet& labels, bool major);
    // Takes the major or minor grid lines in place of the stored ones, whose
    // layer leaves the plot area, and hangs the new ones there.
    void setGridLines(std::shared_ptr<CHTGridLines>& stored, const std::shared_ptr<CHTGridLines>& gridLines,
                      bool major);
    void gridLineStyleChanged(bool major);
    std::shared_ptr<CHTAxisDelegate> axisDelegate() const;

    CHTCoordinate coordinate_ = CHTCoordinateX;
    std::shared_ptr<CHTPlotSpace> plotSpace_;
    CHTDecimalSet majorTickLocations_;
    CHTDecimalSet minorTickLocations_;
    CGFloat majorTickLength_ = 5.0f;
    CGFloat minorTickLength_ = 3.0f;
    CGFloat labelOffset_ = 2.0f;
    CGFloat minorTickLabelOffset_ = 2.0f;
    CGFloat labelRotation_ = 0;
    CGFloat minorTickLabelRotation_ = 0;
    int labelAlignment_ = CHTAlignmentCenter;
    int minorTickLabelAlignment_ = CHTAlignmentCenter;
    std::shared_ptr<CHTLineStyle> axisLineStyle_;
    std::shared_ptr<CHTLineStyle> majorTickLineStyle_;
    std::shared_ptr<CHTLineStyle> minorTickLineStyle_;
    std::shared_ptr<CHTLineStyle> majorGridLineStyle_;
    std::shared_ptr<CHTLineStyle> minorGridLineStyle_;
    std::shared_ptr<CHTLineCap> axisLineCapMin_;
    std::shared_ptr<CHTLineCap> axisLineCapMax_;
    base::Decimal labelingOrigin_ = base::Decimal::zero();
    base::Decimal majorIntervalLength_ = base::Decimal::one();
    unsigned minorTicksPerInterval_ = 1;
    unsigned preferredNumberOfMajorTicks_ = 0;
    int labelingPolicy_ = CHTAxisLabelingPolicyFixedInterval;
    std::shared_ptr<CHTTextStyle> labelTextStyle_;
    std::shared_ptr<CHTTextStyle> minorTickLabelTextStyle_;
    std::shared_ptr<CHTTextStyle> titleTextStyle_;
    std::shared_ptr<base::NumberFormatter> labelFormatter_;
    std::shared_ptr<base::NumberFormatter> minorTickLabelFormatter_;
    bool labelFormatterChanged_ = true;
    CHTAxisLabelSet axisLabels_;
    CHTAxisLabelSet minorTickAxisLabels_;
    std::shared_ptr<CHTAxisTitle> axisTitle_;
    std::optional<std::string> title_;
    CGFloat titleOffset_ = 30.0f;
    CGFloat titleRotation_;
    base::Decimal titleLocation_;
    int tickDirection_ = CHTSignNone;
    bool needsRelabel_ = true;
    std::vector<std::shared_ptr<CHTPlotRange>> labelExclusionRanges_;
    std::shared_ptr<CHTPlotRange> visibleRange_;
    std::shared_ptr<CHTPlotRange> gridLinesRange_;
    std::vector<std::shared_ptr<CHTFill>> alternatingBandFills_;
    std::vector<std::shared_ptr<CHTLimitBand>> mutableBackgroundLimitBands_;
    bool separateLayers_ = false;
    std::shared_ptr<CHTShadow> labelShadow_;
    std::weak_ptr<CHTPlotArea> plotArea_;
    std::shared_ptr<CHTGridLines> minorGridLines_;
    std::shared_ptr<CHTGridLines> majorGridLines_;
};
