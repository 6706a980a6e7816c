#pragma once
// The base of every plot type: a layer in the plot area that pulls its
// numbers from a data source, caches each field as one typed sample buffer
// (doubles or exact decimals), reloads, inserts and deletes records, draws
// data labels next to the data points through plot-space annotations, knows
// the range of its data along each coordinate and draws its legend swatch.
// Plot types add their fields, drawing and label positions.
#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "charts/CHTAnnotationHostLayer.h"
#include "charts/CHTFill.h"
#include "charts/CHTLineStyle.h"
#include "charts/CHTMutableNumericData.h"
#include "charts/CHTPlotRange.h"
#include "charts/CHTPlotSpace.h"
#include "charts/CHTShadow.h"
#include "charts/CHTTextStyle.h"
#include "platform/base/Number.h"
#include "platform/base/NumberFormatter.h"
#include "platform/base/Value.h"

class CHTPlot;
class CHTPlotSpaceAnnotation;

// Posted by plots with the plot as object (and sender), for the legend.
inline constexpr const char* CHTLegendNeedsRedrawForPlotNotification = "CHTLegendNeedsRedrawForPlotNotification";
inline constexpr const char* CHTLegendNeedsLayoutForPlotNotification = "CHTLegendNeedsLayoutForPlotNotification";
inline constexpr const char* CHTLegendNeedsReloadEntriesForPlotNotification =
    "CHTLegendNeedsReloadEntriesForPlotNotification";

// How the cache holds numbers.
using CHTPlotCachePrecision = int;
inline constexpr CHTPlotCachePrecision CHTPlotCachePrecisionAuto = 0;     // the type of the last numbers cached
inline constexpr CHTPlotCachePrecision CHTPlotCachePrecisionDouble = 1;   // 8-byte floating point
inline constexpr CHTPlotCachePrecision CHTPlotCachePrecisionDecimal = 2;  // the platform's exact decimal

// The index the platform answers for "no such index".
inline constexpr std::size_t CHTNotFound = static_cast<std::size_t>(-1);

// A run of record indexes: location and length.
struct CHTRecordRange {
    std::size_t location = 0;
    std::size_t length = 0;
    std::size_t end() const { return location + length; }
    bool operator==(const CHTRecordRange&) const = default;
};

// A list of numbers as a data source hands it over; an empty entry stands for
// the null object (a missing value).
using CHTPlotNumberArray = std::vector<std::optional<base::Number>>;

// Numbers in any of the forms a plot accepts: none (nil), numeric data,
// plain bytes read as doubles, or a list of numbers.
using CHTPlotNumbers = std::variant<std::monostate, std::shared_ptr<CHTNumericData>, base::Data, CHTPlotNumberArray>;

// An object a data source answers where it can also answer nil (use the
// plot's own) or the null object (none at all).
template <class T>
struct CHTDataSourceObject {
    std::shared_ptr<T> object;
    bool isNull = false;

    static CHTDataSourceObject nil() { return {}; }
    static CHTDataSourceObject null() { return {nullptr, true}; }
    static CHTDataSourceObject of(std::shared_ptr<T> value) { return {std::move(value), false}; }
    bool isNil() const { return !object && !isNull; }
};

// Where a plot pulls its numbers from. Only the record count is required;
// every other operation is optional and answers "not implemented"
// (std::nullopt) by default. A plot asks, for each field and range of
// records, the first implemented of: dataForPlot, doublesForPlot,
// numbersForPlot, doubleForPlot, numberForPlot; with none of them every
// number is a decimal zero.
class CHTPlotDataSource {
public:
    virtual ~CHTPlotDataSource() = default;
    virtual std::size_t numberOfRecordsForPlot(CHTPlot* plot) = 0;
    // One number per record of the range (an empty entry for a missing one).
    virtual std::optional<CHTPlotNumberArray> numbersForPlot(CHTPlot*, std::size_t /*field*/, CHTRecordRange) {
        return std::nullopt;
    }
    // The record's number; an inner nullopt is nil (a missing value).
    virtual std::optional<std::optional<base::Number>> numberForPlot(CHTPlot*, std::size_t /*field*/,
                                                                     std::size_t /*recordIndex*/) {
        return std::nullopt;
    }
    // The doubles of the range, read at once (a shorter buffer fills only
    // the records it holds).
    virtual std::optional<std::span<const double>> doublesForPlot(CHTPlot*, std::size_t /*field*/, CHTRecordRange) {
        return std::nullopt;
    }
    virtual std::optional<double> doubleForPlot(CHTPlot*, std::size_t /*field*/, std::size_t /*recordIndex*/) {
        return std::nullopt;
    }
    // The numbers of the range in any accepted form.
    virtual std::optional<CHTPlotNumbers> dataForPlot(CHTPlot*, std::size_t /*field*/, CHTRecordRange) {
        return std::nullopt;
    }
    // The layer to show as the record's label: nil for the default label,
    // null for no label.
    virtual std::optional<CHTDataSourceObject<CHTLayer>> dataLabelForPlot(CHTPlot*, std::size_t /*recordIndex*/) {
        return std::nullopt;
    }
};

// The base of the plot delegates; each plot type's delegate interface adds
// the operation it calls (implementing that interface implements it).
class CHTPlotDelegate {
public:
    virtual ~CHTPlotDelegate() = default;
};

// How a point plot picks the records it draws (see selectPointsToDraw).
struct CHTPointSelectionRules {
    // The y range is asked only for records inside the x range (the others
    // count as inside along y).
    bool compareYOnlyInsideX = true;
    // A change of the y region alone between neighbours keeps both drawn.
    bool yRegionChangeKeepsPair = true;
    // In a decimal cache a record is missing only when its x is; in a double
    // cache, and otherwise, when x or y is.
    bool decimalMissingByXOnly = false;
};

// What the legend gives a plot to draw its swatch with.
struct CHTLegendSwatchStyle {
    std::shared_ptr<CHTFill> swatchFill;
    std::shared_ptr<CHTLineStyle> swatchBorderLineStyle;
    CGFloat swatchCornerRadius = 0;
};

class CHTPlot : public CHTAnnotationHostLayer, public CHTPlotSpacePlot {
public:
    explicit CHTPlot(const gfx::Rect& frame = gfx::Rect::zero());
    ~CHTPlot() override;

    // ---- Data source and delegate (not owned)
    std::shared_ptr<CHTPlotDataSource> dataSource() const { return dataSource_.lock(); }
    // A different object marks the data for reloading.
    void setDataSource(const std::shared_ptr<CHTPlotDataSource>& dataSource);
    std::shared_ptr<CHTPlotDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<CHTPlotDelegate>& delegate) { delegate_ = delegate; }

    // ---- Identity
    const base::Value& identifier() const { return identifier_; }
    void setIdentifier(const base::Value& identifier) { identifier_ = identifier; }
    const std::optional<std::string>& title() const { return title_; }
    // A different title posts "CHTLegendNeedsLayoutForPlotNotification".
    void setTitle(const std::optional<std::string>& title);
    // Set by the graph when the plot is added.
    const std::shared_ptr<CHTPlotSpace>& plotSpace() const { return plotSpace_; }
    virtual void setPlotSpace(const std::shared_ptr<CHTPlotSpace>& plotSpace);
    // The plot area of the graph's plot area frame, or nullptr.
    std::shared_ptr<CHTPlotArea> plotArea() const;

    // ---- Loading
    bool dataNeedsReloading() const { return dataNeedsReloading_; }
    void setDataNeedsReloading() { setDataNeedsReloading(true); }
    // A change to true asks for display.
    void setDataNeedsReloading(bool flag);
    // Empties the cache and loads every record.
    virtual void reloadData();
    void reloadDataIfNeeded();
    // The base checks the range against the record count and asks for the
    // labels of the range; plot types then pull and cache their fields.
    virtual void reloadDataInIndexRange(CHTRecordRange indexRange);
    // Every field grows by n samples at the index; records from the index on
    // are pulled again.
    virtual void insertDataAtIndex(std::size_t index, std::size_t numberOfRecords);
    // Every field loses the range's samples (those it holds); nothing is
    // asked of the data source.
    virtual void deleteDataInIndexRange(CHTRecordRange indexRange);

    // ---- Cache
    // The data source's numbers of the field for the range (an empty list
    // without a data source).
    CHTPlotNumbers numbersFromDataSourceForField(std::size_t field, CHTRecordRange indexRange);
    // Numbers as a new buffer of doubles or decimals; nil or another form
    // raises "CHTException" "Unsupported number array format".
    std::shared_ptr<CHTMutableNumericData> numericDataForNumbers(const CHTPlotNumbers& numbers);
    // Replaces a whole field (nil removes it).
    void cacheNumbers(const CHTPlotNumbers& numbers, std::size_t field);
    // Writes numbers into a field from a record index on.
    void cacheNumbers(const CHTPlotNumbers& numbers, std::size_t field, std::size_t recordIndex);
    const std::map<std::size_t, std::shared_ptr<CHTMutableNumericData>>& cachedData() const { return cachedData_; }
    std::size_t cachedDataCount() const { return cachedDataCount_; }
    std::shared_ptr<CHTMutableNumericData> cachedNumbersForField(std::size_t field) const;
    // nullopt when the field is not cached (or does not hold the record).
    std::optional<base::Number> cachedNumberForField(std::size_t field, std::size_t recordIndex) const;
    // NaN / the decimal not-a-number when not cached; other sample formats
    // than double and decimal raise "CHTException" "Unsupported data type format".
    double cachedDoubleForField(std::size_t field, std::size_t recordIndex) const;
    base::Decimal cachedDecimalForField(std::size_t field, std::size_t recordIndex) const;
    // The field's samples as numbers (empty when not cached).
    std::vector<base::Number> cachedSampleArray(std::size_t field) const;
    // Converts every cached field to the type.
    void setCachedDataType(const _CHTNumericDataType& dataType);
    CHTPlotCachePrecision cachePrecision() const { return cachePrecision_; }
    // 0, 1 or 2; any other value is refused (the old one kept) and raises
    // "NSInvalidArgumentException" "Invalid cache precision".
    void setCachePrecision(CHTPlotCachePrecision precision);
    bool doublePrecisionCache() const;
    static _CHTNumericDataType doubleDataType();
    static _CHTNumericDataType decimalDataType();

    // ---- Data ranges
    // The smallest to the largest sample, not-a-number skipped; nullptr when
    // not cached, empty, or all samples equal.
    std::shared_ptr<CHTPlotRange> plotRangeForField(std::size_t field);
    // The union of the ranges of the coordinate's fields.
    std::shared_ptr<CHTPlotRange> plotRangeForCoordinate(CHTCoordinate coordinate) override;

    // ---- Data labels
    bool needsRelabel() const { return needsRelabel_; }
    // Every record's label.
    void setNeedsRelabel();
    // A change to true asks for layout.
    void setNeedsRelabel(bool flag);
    void relabelIndexRange(CHTRecordRange indexRange);
    CHTRecordRange labelIndexRange() const { return labelIndexRange_; }
    // Rebuilds the labels of labelIndexRange when needed (run by layout).
    virtual void relabel();
    void repositionAllLabelAnnotations();
    // The point of the label that faces its data point sits on it.
    void updateContentAnchorForLabel(const std::shared_ptr<CHTAnnotation>& label);
    // Element i is record i's label (nullptr for a record without one).
    const std::vector<std::shared_ptr<CHTPlotSpaceAnnotation>>& labelAnnotations() const { return labelAnnotations_; }
    CGFloat labelOffset() const { return labelOffset_; }
    void setLabelOffset(CGFloat offset);
    CGFloat labelRotation() const { return labelRotation_; }
    void setLabelRotation(CGFloat rotation);
    std::size_t labelField() const { return labelField_; }
    void setLabelField(std::size_t field) { labelField_ = field; }
    const std::shared_ptr<CHTTextStyle>& labelTextStyle() const { return labelTextStyle_; }
    // A copy; with a style and no formatter, a formatter of one fraction digit
    // is made. Every record is relabelled.
    void setLabelTextStyle(const std::shared_ptr<CHTTextStyle>& style);
    const std::shared_ptr<base::NumberFormatter>& labelFormatter() const { return labelFormatter_; }
    void setLabelFormatter(const std::shared_ptr<base::NumberFormatter>& formatter);
    bool labelFormatterChanged() const { return labelFormatterChanged_; }
    const std::shared_ptr<CHTShadow>& labelShadow() const { return labelShadow_; }
    void setLabelShadow(const std::shared_ptr<CHTShadow>& shadow);
    bool alignsPointsToPixels() const { return alignsPointsToPixels_; }
    void setAlignsPointsToPixels(bool aligns);

    // ---- Legend
    virtual std::size_t numberOfLegendEntries() const { return 1; }
    // The title, else the identifier when it is a string.
    virtual std::optional<std::string> titleForLegendEntryAtIndex(std::size_t index) const;
    // The swatch's fill and border in the legend's style.
    virtual void drawSwatchForLegend(const CHTLegendSwatchStyle& legend, std::size_t index, const gfx::Rect& rect,
                                     gfx::Context& context);

    // ---- Point selection shared by the point plots
    // One flag per cached record: whether it is drawn (visibleOnly NO) or
    // seen (YES). A record inside both ranges is flagged; when not
    // visible-only, two numeric neighbours on different sides of a range's
    // edge are both flagged, so the segment between them crosses the view.
    void selectPointsToDraw(std::vector<char>& flags, CHTPlotSpace* plotSpace, bool visibleOnly, std::size_t xField,
                            std::size_t yField, const CHTPointSelectionRules& rules) const;
    // The lowest (or highest) flagged index; CHTNotFound when none.
    static std::size_t extremeDrawnPointIndexForFlags(const std::vector<char>& flags, bool extremeNumIsLowerBound);

    // ---- Plot type operations (the base: no fields, does nothing)
    virtual std::size_t numberOfFields() const { return 0; }
    virtual std::vector<std::size_t> fieldIdentifiers() const { return {}; }
    virtual std::vector<std::size_t> fieldIdentifiersForCoordinate(CHTCoordinate) const { return {}; }
    virtual void positionLabelAnnotation(const std::shared_ptr<CHTPlotSpaceAnnotation>&, std::size_t) {}

    // ---- Layer hooks
    // Loads the data when needed, relabels, then lays out the annotations.
    void layoutSublayers() override;
    // Reloads when needed, then draws.
    void drawInContext(gfx::Context& context) override;
    // "labelOffset" and "labelRotation".
    static bool needsDisplayForKey(const std::string& key);

    std::string classForCoder() const override { return "CHTPlot"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

protected:
    // Posts a legend notification with the plot as object and sender.
    void postLegendNotification(const char* name);
    // The offset that moves a point of the plot area into the plot's bounds.
    gfx::Point plotAreaToPlotOffset() const;
    // Converts the cache and, when given, the new numbers to the cache type
    // the precision asks for.
    void chooseCacheType(CHTMutableNumericData* newNumbers);

private:
    std::weak_ptr<CHTPlotDataSource> dataSource_;
    std::weak_ptr<CHTPlotDelegate> delegate_;
    base::Value identifier_;
    std::optional<std::string> title_;
    std::shared_ptr<CHTPlotSpace> plotSpace_;
    bool dataNeedsReloading_ = false;
    std::map<std::size_t, std::shared_ptr<CHTMutableNumericData>> cachedData_;
    std::size_t cachedDataCount_ = 0;
    CHTPlotCachePrecision cachePrecision_ = CHTPlotCachePrecisionAuto;
    bool needsRelabel_ = true;
    CGFloat labelOffset_ = 0;
    CGFloat labelRotation_ = 0;
    std::size_t labelField_ = 0;
    std::shared_ptr<CHTTextStyle> labelTextStyle_;
    std::shared_ptr<base::NumberFormatter> labelFormatter_;
    bool labelFormatterChanged_ = true;
    CHTRecordRange labelIndexRange_;
    std::vector<std::shared_ptr<CHTPlotSpaceAnnotation>> labelAnnotations_;
    std::shared_ptr<CHTShadow> labelShadow_;
    bool alignsPointsToPixels_ = true;
};
