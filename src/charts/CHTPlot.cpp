#include "charts/CHTPlot.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "charts/CHTCoderExtensions.h"
#include "charts/CHTPlotArea.h"
#include "charts/CHTPlotSpaceAnnotation.h"
#include "charts/CHTTextLayer.h"
#include "charts/CHTXYPlotSpace.h"
#include "platform/base/Exception.h"
#include "platform/base/NotificationCenter.h"

namespace {

constexpr const char* kSourceFile = "Charts/Source/CHTPlot";

// An index check with the condition's text as the platform states it.
void checkIndex(bool ok, const char* method, const char* condition) {
    if (ok) return;
    base::AssertionHandler::current().handleFailureInMethod(
        method, nullptr, kSourceFile, __LINE__, std::string("Invalid parameter not satisfying: ") + condition);
}

bool sameType(const _CHTNumericDataType& a, const _CHTNumericDataType& b) { return CHTDataTypeEqualToDataType(a, b); }

std::size_t samplesOf(const CHTNumericData& data) { return data.numberOfSamples(); }

}  // namespace

CHTPlot::CHTPlot(const gfx::Rect& frame) : CHTAnnotationHostLayer(frame) {
    setMasksToBounds(true);
    setNeedsDisplayOnBoundsChange(true);
}

CHTPlot::~CHTPlot() = default;

// ---- Properties

void CHTPlot::setDataSource(const std::shared_ptr<CHTPlotDataSource>& dataSource) {
    if (dataSource == dataSource_.lock()) return;
    dataSource_ = dataSource;
    setDataNeedsReloading();
}

void CHTPlot::setTitle(const std::optional<std::string>& title) {
    if (title == title_) return;
    title_ = title;
    postLegendNotification(CHTLegendNeedsLayoutForPlotNotification);
}

void CHTPlot::setPlotSpace(const std::shared_ptr<CHTPlotSpace>& plotSpace) {
    if (plotSpace == plotSpace_) return;
    plotSpace_ = plotSpace;
    // Labels are pinned in a plot space: they are made anew in the new one.
    for (const auto& label : labelAnnotations_)
        if (label) removeAnnotation(label);
    labelAnnotations_.clear();
    setNeedsRelabel();
}

std::shared_ptr<CHTPlotArea> CHTPlot::plotArea() const {
    if (!plotSpace_) return nullptr;
    auto g = plotSpace_->graph();
    return g ? g->plotArea() : nullptr;
}

gfx::Point CHTPlot::plotAreaToPlotOffset() const {
    auto area = plotArea();
    if (!area) return gfx::Point(0, 0);
    return convertPointFrom(gfx::Point(0, 0), area.get());
}

void CHTPlot::postLegendNotification(const char* name) {
    std::shared_ptr<CHTPlot> me = std::dynamic_pointer_cast<CHTPlot>(weak_from_this().lock());
    base::NotificationCenter::defaultCenter().post(name, dynamic_cast<const void*>(this), me);
}

void CHTPlot::setDataNeedsReloading(bool flag) {
    if (flag == dataNeedsReloading_) return;
    dataNeedsReloading_ = flag;
    if (flag) setNeedsDisplay();
}

void CHTPlot::setAlignsPointsToPixels(bool aligns) {
    if (aligns == alignsPointsToPixels_) return;
    alignsPointsToPixels_ = aligns;
    setNeedsDisplay();
}

// ---- Loading

void CHTPlot::reloadData() {
    cachedData_.clear();
    cachedDataCount_ = 0;
    auto source = dataSource();
    std::size_t count = source ? source->numberOfRecordsForPlot(this) : 0;
    reloadDataInIndexRange({0, count});
}

void CHTPlot::reloadDataIfNeeded() {
    if (dataNeedsReloading_) reloadData();
}

void CHTPlot::reloadDataInIndexRange(CHTRecordRange indexRange) {
    auto source = dataSource();
    std::size_t count = source ? source->numberOfRecordsForPlot(this) : 0;
    checkIndex(indexRange.end() <= count, "-[CHTPlot reloadDataInIndexRange:]",
               "NSMaxRange(indexRange) <= [self.dataSource numberOfRecordsForPlot:self]");
    setDataNeedsReloading(false);
    relabelIndexRange(indexRange);
}

void CHTPlot::insertDataAtIndex(std::size_t index, std::size_t numberOfRecords) {
    checkIndex(index <= cachedDataCount_, "-[CHTPlot insertDataAtIndex:numberOfRecords:]",
               "index <= self.cachedDataCount");
    for (auto& [field, data] : cachedData_) {
        // Each field moves by its own sample count: a field may hold fewer
        // samples than the plot has records.
        const std::size_t size = data->sampleBytes();
        const std::size_t samples = samplesOf(*data);
        const std::size_t at = std::min(index, samples);
        data->setShape({samples + numberOfRecords});
        std::uint8_t* bytes = data->mutableBytes();
        std::memmove(bytes + (at + numberOfRecords) * size, bytes + at * size, (samples - at) * size);
    }
    cachedDataCount_ += numberOfRecords;
    reloadDataInIndexRange({index, cachedDataCount_ - index});
}

void CHTPlot::deleteDataInIndexRange(CHTRecordRange indexRange) {
    checkIndex(indexRange.end() <= cachedDataCount_, "-[CHTPlot deleteDataInIndexRange:]",
               "NSMaxRange(indexRange) <= self.cachedDataCount");
    for (auto& [field, data] : cachedData_) {
        const std::size_t size = data->sampleBytes();
        const std::size_t samples = samplesOf(*data);
        if (indexRange.location >= samples) continue;
        const std::size_t end = std::min(indexRange.end(), samples);
        std::uint8_t* bytes = data->mutableBytes();
        std::memmove(bytes + indexRange.location * size, bytes + end * size, (samples - end) * size);
        data->setShape({samples - (end - indexRange.location)});
    }
    cachedDataCount_ -= indexRange.length;
    relabelIndexRange({indexRange.location, cachedDataCount_ - indexRange.location});
    setNeedsDisplay();
}

// ---- Pulling numbers

CHTPlotNumbers CHTPlot::numbersFromDataSourceForField(std::size_t field, CHTRecordRange indexRange) {
    auto source = dataSource();
    if (!source) return CHTPlotNumberArray{};
    const std::size_t n = indexRange.length;
    if (auto data = source->dataForPlot(this, field, indexRange)) return *data;
    if (auto doubles = source->doublesForPlot(this, field, indexRange)) {
        // As many doubles as the answer holds, at most the range's.
        const std::size_t count = std::min(doubles->size(), n);
        base::Data bytes(count * sizeof(double));
        if (count) std::memcpy(bytes.data(), doubles->data(), bytes.size());
        return bytes;
    }
    if (auto numbers = source->numbersForPlot(this, field, indexRange)) return *numbers;
    if (n > 0) {
        // The per-record operations: the first call tells whether one is there.
        if (auto first = source->doubleForPlot(this, field, indexRange.location)) {
            base::Data bytes(n * sizeof(double));
            double value = *first;
            std::memcpy(bytes.data(), &value, sizeof value);
            for (std::size_t i = 1; i < n; ++i) {
                auto v = source->doubleForPlot(this, field, indexRange.location + i);
                value = v ? *v : std::numeric_limits<double>::quiet_NaN();
                std::memcpy(bytes.data() + i * sizeof(double), &value, sizeof value);
            }
            return bytes;
        }
        if (auto first = source->numberForPlot(this, field, indexRange.location)) {
            CHTPlotNumberArray numbers;
            numbers.reserve(n);
            numbers.push_back(*first);
            for (std::size_t i = 1; i < n; ++i) {
                auto v = source->numberForPlot(this, field, indexRange.location + i);
                numbers.push_back(v ? *v : std::nullopt);
            }
            return numbers;
        }
    }
    return CHTPlotNumberArray(n, base::Number(base::Decimal::zero()));
}

std::shared_ptr<CHTMutableNumericData> CHTPlot::numericDataForNumbers(const CHTPlotNumbers& numbers) {
    if (auto* numeric = std::get_if<std::shared_ptr<CHTNumericData>>(&numbers); numeric && *numeric) {
        auto copy = (*numeric)->mutableCopy();
        if (!sameType(copy->dataType(), decimalDataType())) copy->setDataType(doubleDataType());
        return copy;
    }
    if (auto* bytes = std::get_if<base::Data>(&numbers)) {
        // Whole doubles only: a trailing partial sample is left out.
        base::Data whole(bytes->begin(), bytes->begin() + (bytes->size() / sizeof(double)) * sizeof(double));
        const std::size_t count = whole.size() / sizeof(double);
        return std::make_shared<CHTMutableNumericData>(whole, doubleDataType(), CHTShape{count});
    }
    if (auto* array = std::get_if<CHTPlotNumberArray>(&numbers)) {
        const bool decimal = !array->empty() && (*array)[0] && (*array)[0]->isDecimalNumber();
        const std::size_t count = array->size();
        if (decimal) {
            base::Data out(count * sizeof(base::Decimal));
            for (std::size_t i = 0; i < count; ++i) {
                base::Decimal d = (*array)[i] ? (*array)[i]->decimalValue() : CHTDecimalNaN();
                std::memcpy(out.data() + i * sizeof d, &d, sizeof d);
            }
            return std::make_shared<CHTMutableNumericData>(out, decimalDataType(), CHTShape{count});
        }
        base::Data out(count * sizeof(double));
        for (std::size_t i = 0; i < count; ++i) {
            double d = (*array)[i] ? (*array)[i]->doubleValue() : std::numeric_limits<double>::quiet_NaN();
            std::memcpy(out.data() + i * sizeof d, &d, sizeof d);
        }
        return std::make_shared<CHTMutableNumericData>(out, doubleDataType(), CHTShape{count});
    }
    base::raise("CHTException", "Unsupported number array format");
}

// ---- Caching

_CHTNumericDataType CHTPlot::doubleDataType() {
    return CHTDataType(CHTFloatingPointDataType, sizeof(double), CFByteOrderGetCurrent());
}

_CHTNumericDataType CHTPlot::decimalDataType() {
    return CHTDataType(CHTDecimalDataType, sizeof(base::Decimal), CFByteOrderGetCurrent());
}

void CHTPlot::chooseCacheType(CHTMutableNumericData* newNumbers) {
    switch (cachePrecision_) {
    case CHTPlotCachePrecisionAuto:
        if (newNumbers) setCachedDataType(newNumbers->dataType());
        break;
    case CHTPlotCachePrecisionDouble:
        setCachedDataType(doubleDataType());
        if (newNumbers) newNumbers->setDataType(doubleDataType());
        break;
    case CHTPlotCachePrecisionDecimal:
        setCachedDataType(decimalDataType());
        if (newNumbers) newNumbers->setDataType(decimalDataType());
        break;
    default: break;
    }
}

void CHTPlot::cacheNumbers(const CHTPlotNumbers& numbers, std::size_t field) {
    const auto* numeric = std::get_if<std::shared_ptr<CHTNumericData>>(&numbers);
    if (std::holds_alternative<std::monostate>(numbers) || (numeric && !*numeric)) {
        cachedData_.erase(field);
        cachedDataCount_ = 0;
    } else {
        auto data = numericDataForNumbers(numbers);
        const std::size_t count = samplesOf(*data);
        if (count > 0) cachedData_[field] = data;
        else cachedData_.erase(field);
        cachedDataCount_ = count;
        chooseCacheType(data.get());
    }
    setNeedsRelabel(true);
    setNeedsDisplay();
}

void CHTPlot::cacheNumbers(const CHTPlotNumbers& numbers, std::size_t field, std::size_t recordIndex) {
    const auto* numeric = std::get_if<std::shared_ptr<CHTNumericData>>(&numbers);
    if (std::holds_alternative<std::monostate>(numbers) || (numeric && !*numeric)) return;
    auto data = numericDataForNumbers(numbers);
    const std::size_t m = samplesOf(*data);
    if (m > 0) {
        chooseCacheType(data.get());
        auto& buffer = cachedData_[field];
        if (!buffer) buffer = std::make_shared<CHTMutableNumericData>(base::Data(), data->dataType(), CHTShape{0});
        if (!sameType(buffer->dataType(), data->dataType())) data->setDataType(buffer->dataType());
        // The buffer holds the data source's records; without a data source
        // it grows to take the numbers.
        auto source = dataSource();
        const std::size_t count =
            source ? source->numberOfRecordsForPlot(this) : std::max(samplesOf(*buffer), recordIndex + m);
        buffer->setShape({count});
        cachedDataCount_ = count;
        // Whole samples only, never past the buffer's end.
        if (recordIndex < count) {
            const std::size_t copied = std::min(m, count - recordIndex);
            const std::size_t size = buffer->sampleBytes();
            std::memcpy(buffer->mutableBytes() + recordIndex * size, data->bytes(), copied * size);
        }
        relabelIndexRange({recordIndex, m});
    }
    setNeedsDisplay();
}

std::shared_ptr<CHTMutableNumericData> CHTPlot::cachedNumbersForField(std::size_t field) const {
    auto it = cachedData_.find(field);
    return it == cachedData_.end() ? nullptr : it->second;
}

std::optional<base::Number> CHTPlot::cachedNumberForField(std::size_t field, std::size_t recordIndex) const {
    auto data = cachedNumbersForField(field);
    if (!data) return std::nullopt;
    return data->sampleValue(recordIndex);
}

double CHTPlot::cachedDoubleForField(std::size_t field, std::size_t recordIndex) const {
    auto data = cachedNumbersForField(field);
    if (!data) return std::numeric_limits<double>::quiet_NaN();
    const std::uint8_t* p = data->samplePointer(recordIndex);
    if (data->dataTypeFormat() == CHTFloatingPointDataType && data->sampleBytes() == sizeof(double)) {
        if (!p) return std::numeric_limits<double>::quiet_NaN();
        double v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }
    if (data->dataTypeFormat() == CHTDecimalDataType) {
        if (!p) return std::numeric_limits<double>::quiet_NaN();
        base::Decimal d;
        std::memcpy(&d, p, sizeof d);
        return CHTDecimalDoubleValue(d);
    }
    base::raise("CHTException", "Unsupported data type format");
}

base::Decimal CHTPlot::cachedDecimalForField(std::size_t field, std::size_t recordIndex) const {
    auto data = cachedNumbersForField(field);
    if (!data) return CHTDecimalNaN();
    const std::uint8_t* p = data->samplePointer(recordIndex);
    if (data->dataTypeFormat() == CHTDecimalDataType) {
        if (!p) return CHTDecimalNaN();
        base::Decimal d;
        std::memcpy(&d, p, sizeof d);
        return d;
    }
    if (data->dataTypeFormat() == CHTFloatingPointDataType && data->sampleBytes() == sizeof(double)) {
        if (!p) return CHTDecimalNaN();
        double v;
        std::memcpy(&v, p, sizeof v);
        return CHTDecimalFromDouble(v);
    }
    base::raise("CHTException", "Unsupported data type format");
}

std::vector<base::Number> CHTPlot::cachedSampleArray(std::size_t field) const {
    auto data = cachedNumbersForField(field);
    return data ? data->sampleArray() : std::vector<base::Number>{};
}

void CHTPlot::setCachedDataType(const _CHTNumericDataType& dataType) {
    for (auto& [field, data] : cachedData_)
        if (!sameType(data->dataType(), dataType)) data->setDataType(dataType);
}

bool CHTPlot::doublePrecisionCache() const {
    switch (cachePrecision_) {
    case CHTPlotCachePrecisionDouble: return true;
    case CHTPlotCachePrecisionDecimal: return false;
    default: return !cachedData_.empty() && sameType(cachedData_.begin()->second->dataType(), doubleDataType());
    }
}

void CHTPlot::setCachePrecision(CHTPlotCachePrecision precision) {
    if (precision == cachePrecision_) return;
    switch (precision) {
    case CHTPlotCachePrecisionAuto: cachePrecision_ = precision; break;
    case CHTPlotCachePrecisionDouble:
        cachePrecision_ = precision;
        setCachedDataType(doubleDataType());
        break;
    case CHTPlotCachePrecisionDecimal:
        cachePrecision_ = precision;
        setCachedDataType(decimalDataType());
        break;
    default:
        // Refused: the cache keeps a precision it can work with.
        base::raise("NSInvalidArgumentException", "Invalid cache precision");
    }
}

// ---- Data ranges

namespace {

// Whether a double has a decimal value: it is finite and no larger than the
// largest decimal (about 3.4e165). Samples well below that are let through
// without converting them.
bool fitsADecimal(double v) {
    if (!std::isfinite(v)) return false;
    if (std::fabs(v) < 1e165) return true;
    return !CHTDecimalIsNaN(CHTDecimalFromDouble(v));
}

// The range from lo to hi, or none when its length is beyond a decimal (the
// limits lie near the largest decimals of both signs).
std::shared_ptr<CHTPlotRange> rangeFromLimits(const base::Decimal& lo, const base::Decimal& hi) {
    base::Decimal length = CHTDecimalSubtract(hi, lo);
    if (CHTDecimalIsNaN(lo) || CHTDecimalIsNaN(length)) return nullptr;
    return CHTPlotRange::plotRangeWithLocation(lo, length);
}

}  // namespace

std::shared_ptr<CHTPlotRange> CHTPlot::plotRangeForField(std::size_t field) {
    if (dataNeedsReloading_) reloadData();
    auto data = cachedNumbersForField(field);
    if (!data) return nullptr;
    const std::size_t count = samplesOf(*data);
    if (count == 0) return nullptr;
    if (data->dataTypeFormat() == CHTDecimalDataType) {
        base::Decimal lo = base::Decimal::maximum(), hi = base::Decimal::minimum();
        for (std::size_t i = 0; i < count; ++i) {
            base::Decimal d;
            std::memcpy(&d, data->samplePointer(i), sizeof d);
            if (CHTDecimalIsNaN(d)) continue;
            if (CHTDecimalLessThan(d, lo)) lo = d;
            if (CHTDecimalGreaterThan(d, hi)) hi = d;
        }
        if (!CHTDecimalGreaterThan(hi, lo)) return nullptr;
        return rangeFromLimits(lo, hi);
    }
    double lo = std::numeric_limits<double>::infinity(), hi = -std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < count; ++i) {
        double v = cachedDoubleForField(field, i);
        // Infinities cannot be drawn any more than not-a-number samples, and
        // one of them would make the whole range not a number; so would a
        // finite sample beyond what a decimal holds.
        if (!fitsADecimal(v)) continue;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    if (!(hi > lo)) return nullptr;
    return rangeFromLimits(CHTDecimalFromDouble(lo), CHTDecimalFromDouble(hi));
}

std::shared_ptr<CHTPlotRange> CHTPlot::plotRangeForCoordinate(CHTCoordinate coordinate) {
    std::shared_ptr<CHTPlotRange> result;
    for (std::size_t field : fieldIdentifiersForCoordinate(coordinate)) {
        auto range = plotRangeForField(field);
        if (!range) continue;
        if (!result) result = range;
        else result->unionPlotRange(range.get());
    }
    return result;
}

// ---- Labels

void CHTPlot::setNeedsRelabel() {
    labelIndexRange_ = {0, cachedDataCount_};
    setNeedsRelabel(true);
}

void CHTPlot::setNeedsRelabel(bool flag) {
    if (flag == needsRelabel_) return;
    needsRelabel_ = flag;
    if (flag) setNeedsLayout();
}

void CHTPlot::relabelIndexRange(CHTRecordRange indexRange) {
    labelIndexRange_ = indexRange;
    setNeedsRelabel(true);
}

void CHTPlot::setLabelTextStyle(const std::shared_ptr<CHTTextStyle>& style) {
    if (style.get() == labelTextStyle_.get()) return;
    labelTextStyle_ = style ? style->copy() : nullptr;
    if (labelTextStyle_ && !labelFormatter_) {
        auto formatter = std::make_shared<base::NumberFormatter>();
        formatter->setMinimumIntegerDigits(1);
        formatter->setMinimumFractionDigits(1);
        formatter->setMaximumFractionDigits(1);
        labelFormatter_ = formatter;
    }
    // The style shows on every label, not only on the last range touched.
    setNeedsRelabel();
}

void CHTPlot::setLabelFormatter(const std::shared_ptr<base::NumberFormatter>& formatter) {
    if (formatter == labelFormatter_) return;
    labelFormatter_ = formatter;
    labelFormatterChanged_ = true;
    setNeedsRelabel();
}

void CHTPlot::setLabelOffset(CGFloat offset) {
    if (offset == labelOffset_) return;
    labelOffset_ = offset;
    repositionAllLabelAnnotations();
}

void CHTPlot::setLabelRotation(CGFloat rotation) {
    if (rotation == labelRotation_) return;
    labelRotation_ = rotation;
    for (const auto& label : labelAnnotations_) {
        if (!label) continue;
        label->setRotation(rotation);
        updateContentAnchorForLabel(label);
    }
}

void CHTPlot::setLabelShadow(const std::shared_ptr<CHTShadow>& shadow) {
    if (shadow == labelShadow_) return;
    labelShadow_ = shadow;
    for (const auto& label : labelAnnotations_)
        if (label && label->contentLayer()) label->contentLayer()->setShadow(shadow);
}

void CHTPlot::repositionAllLabelAnnotations() {
    for (std::size_t i = 0; i < labelAnnotations_.size(); ++i)
        if (labelAnnotations_[i]) positionLabelAnnotation(labelAnnotations_[i], i);
}

void CHTPlot::updateContentAnchorForLabel(const std::shared_ptr<CHTAnnotation>& label) {
    if (!label) return;
    gfx::Point d = label->displacement();
    if (d.x == 0 && d.y == 0) d = gfx::Point(0, 1);
    const double a = std::atan2(double(d.y), double(d.x)) + M_PI - double(label->rotation());
    const double c = std::cos(a), s = std::sin(a);
    const double sc = std::signbit(c) ? -1 : 1, ss = std::signbit(s) ? -1 : 1;
    gfx::Point anchor;
    if (std::fabs(c) > std::fabs(s)) anchor = gfx::Point(CGFloat((sc + 1) / 2), CGFloat((s / std::fabs(c) + 1) / 2));
    else anchor = gfx::Point(CGFloat((c / std::fabs(s) + 1) / 2), CGFloat((ss + 1) / 2));
    label->setContentAnchorPoint(anchor);
}

void CHTPlot::relabel() {
    if (!needsRelabel_) return;
    needsRelabel_ = false;
    // Labels are pinned in the plot space: none before the plot has one
    // (setting it relabels every record).
    if (!plotSpace_) return;
    auto source = dataSource();
    const bool defaultLabels = labelTextStyle_ && labelFormatter_;
    // Whether the data source makes labels: asked with a record it holds.
    std::optional<CHTDataSourceObject<CHTLayer>> firstAnswer;
    std::size_t probe = labelIndexRange_.length > 0 ? labelIndexRange_.location : 0;
    if (source && cachedDataCount_ > 0) firstAnswer = source->dataLabelForPlot(this, probe);
    const bool sourceLabels = firstAnswer.has_value();

    if (!defaultLabels && !sourceLabels) {
        for (const auto& label : labelAnnotations_)
            if (label) removeAnnotation(label);
        labelAnnotations_.clear();
        return;
    }

    // Element i stays record i's label: records before the range that have
    // no element yet are labelled too.
    const std::size_t start = std::min(labelIndexRange_.location, labelAnnotations_.size());
    const std::size_t end = std::min(labelIndexRange_.end(), cachedDataCount_);
    auto field = cachedNumbersForField(labelField_);
    for (std::size_t r = start; r < end; ++r) {
        std::shared_ptr<CHTLayer> content;
        // A missing sample is no label, as a not-a-number one is.
        std::optional<base::Number> value = field ? field->sampleValue(r) : std::nullopt;
        if (value && !std::isnan(value->doubleValue())) {
            CHTDataSourceObject<CHTLayer> answer;
            if (sourceLabels) {
                auto a = r == probe ? firstAnswer : source->dataLabelForPlot(this, r);
                if (a) answer = *a;
            }
            if (answer.isNull) {
                content = nullptr;
            } else if (answer.object) {
                content = answer.object;
            } else if (defaultLabels) {
                std::string text = value->isDecimalNumber() ? labelFormatter_->stringFromDecimal(value->decimalValue())
                                                            : labelFormatter_->stringFromNumber(value->doubleValue());
                content = CHTTextLayer::initWithText(text, labelTextStyle_);
            }
        }
        if (content) content->setShadow(labelShadow_);

        std::shared_ptr<CHTPlotSpaceAnnotation> label;
        if (r < labelAnnotations_.size() && labelAnnotations_[r]) {
            label = labelAnnotations_[r];
        } else {
            label = CHTPlotSpaceAnnotation::initWithPlotSpace(plotSpace_, {});
            if (r < labelAnnotations_.size()) labelAnnotations_[r] = label;
            else labelAnnotations_.push_back(label);
            addAnnotation(label);
        }
        label->setContentLayer(content);
        label->setRotation(labelRotation_);
        positionLabelAnnotation(label, r);
        updateContentAnchorForLabel(label);
    }
    while (labelAnnotations_.size() > cachedDataCount_) {
        if (labelAnnotations_.back()) removeAnnotation(labelAnnotations_.back());
        labelAnnotations_.pop_back();
    }
}

// ---- Legend

std::optional<std::string> CHTPlot::titleForLegendEntryAtIndex(std::size_t) const {
    if (title_) return title_;
    if (const std::string* s = identifier_.asString()) return *s;
    return std::nullopt;
}

void CHTPlot::drawSwatchForLegend(const CHTLegendSwatchStyle& legend, std::size_t, const gfx::Rect& rect,
                                  gfx::Context& context) {
    if (!legend.swatchFill && !legend.swatchBorderLineStyle) return;
    gfx::Path outline;
    if (!(legend.swatchCornerRadius > 0)) {
        outline.addRect(rect);
    } else {
        CGFloat radius = std::min({legend.swatchCornerRadius, rect.width() / 2, rect.height() / 2});
        outline = CreateRoundedRectPath(rect, radius);
    }
    if (legend.swatchFill) {
        context.beginPath();
        context.addPath(outline);
        legend.swatchFill->fillPathInContext(context);
    }
    if (legend.swatchBorderLineStyle) {
        legend.swatchBorderLineStyle->setLineStyleInContext(context);
        context.beginPath();
        context.addPath(outline);
        context.strokePath();
    }
}

// ---- Point selection

void CHTPlot::selectPointsToDraw(std::vector<char>& flags, CHTPlotSpace* plotSpace, bool visibleOnly,
                                 std::size_t xField, std::size_t yField, const CHTPointSelectionRules& rules) const {
    const std::size_t n = cachedDataCount();
    flags.assign(n, 0);
    if (n == 0) return;
    auto* xy = dynamic_cast<CHTXYPlotSpace*>(plotSpace);
    auto xRange = xy ? xy->xRange() : nullptr;
    auto yRange = xy ? xy->yRange() : nullptr;
    const bool doubles = doublePrecisionCache();
    // Region of each record along x and y: 0 below, 1 inside, 2 above.
    std::vector<unsigned char> xr(n), yr(n), nan(n);
    for (std::size_t i = 0; i < n; ++i) {
        if (doubles) {
            const double x = cachedDoubleForField(xField, i);
            const double y = cachedDoubleForField(yField, i);
            nan[i] = std::isnan(x) || std::isnan(y);
            xr[i] = xRange ? static_cast<unsigned char>(xRange->compareToDouble(x)) : 1;
            const bool askY = !rules.compareYOnlyInsideX || xr[i] == 1;
            yr[i] = askY && yRange ? static_cast<unsigned char>(yRange->compareToDouble(y)) : 1;
        } else {
            const base::Decimal x = cachedDecimalForField(xField, i);
            const base::Decimal y = cachedDecimalForField(yField, i);
            nan[i] = CHTDecimalIsNaN(x) || (!rules.decimalMissingByXOnly && CHTDecimalIsNaN(y));
            xr[i] = xRange ? static_cast<unsigned char>(xRange->compareToDecimal(x)) : 1;
            const bool askY = !rules.compareYOnlyInsideX || xr[i] == 1;
            yr[i] = askY && yRange ? static_cast<unsigned char>(yRange->compareToDecimal(y)) : 1;
        }
    }
    flags[0] = xr[0] == 1 && yr[0] == 1 && !nan[0];
    for (std::size_t i = 1; i < n; ++i) {
        const bool regionChanged = xr[i - 1] != xr[i] || (rules.yRegionChangeKeepsPair && yr[i - 1] != yr[i]);
        if (!visibleOnly && !nan[i - 1] && !nan[i] && regionChanged) {
            // A segment that crosses the edge of the visible area is drawn.
            flags[i - 1] = 1;
            flags[i] = 1;
        } else if (xr[i] == 1 && yr[i] == 1 && !nan[i]) {
            flags[i] = 1;
        }
    }
}

std::size_t CHTPlot::extremeDrawnPointIndexForFlags(const std::vector<char>& flags, bool extremeNumIsLowerBound) {
    if (extremeNumIsLowerBound) {
        for (std::size_t i = 0; i < flags.size(); ++i)
            if (flags[i]) return i;
    } else {
        for (std::size_t i = flags.size(); i-- > 0;)
            if (flags[i]) return i;
    }
    return CHTNotFound;
}

// ---- Layer hooks

void CHTPlot::layoutSublayers() {
    // Labels of data not yet loaded would be missing from the first frame.
    reloadDataIfNeeded();
    relabel();
    CHTAnnotationHostLayer::layoutSublayers();
}

void CHTPlot::drawInContext(gfx::Context& context) {
    reloadDataIfNeeded();
    CHTAnnotationHostLayer::drawInContext(context);
}

bool CHTPlot::needsDisplayForKey(const std::string& key) {
    static const std::vector<std::string> keys{"labelOffset", "labelRotation"};
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

// ---- Archiving

void CHTPlot::encodeWithCoder(base::KeyedArchiver& coder) const {
    CHTAnnotationHostLayer::encodeWithCoder(coder);
    if (auto source = dataSource()) {
        if (auto* codable = dynamic_cast<const base::Coding*>(source.get()))
            coder.encodeConditionalObject(codable, "CHTPlot.dataSource");
    }
    coder.encodeValue(identifier_, "CHTPlot.identifier");
    if (title_) coder.encodeString(*title_, "CHTPlot.title");
    coder.encodeObject(plotSpace_, "CHTPlot.plotSpace");
    coder.encodeInteger(cachePrecision_, "CHTPlot.cachePrecision");
    coder.encodeBool(needsRelabel_, "CHTPlot.needsRelabel");
    coder.encodeFloat(labelOffset_, "CHTPlot.labelOffset");
    coder.encodeFloat(labelRotation_, "CHTPlot.labelRotation");
    coder.encodeInteger(static_cast<long long>(labelField_), "CHTPlot.labelField");
    coder.encodeObject(labelTextStyle_, "CHTPlot.labelTextStyle");
    coder.encodeObject(labelFormatter_, "CHTPlot.labelFormatter");
    coder.encodeObject(labelShadow_, "CHTPlot.labelShadow");
    coder.encodeBool(labelFormatterChanged_, "CHTPlot.labelFormatterChanged");
    base::Dictionary range;
    range.set("location", base::Value(static_cast<long long>(labelIndexRange_.location)));
    range.set("length", base::Value(static_cast<long long>(labelIndexRange_.length)));
    coder.encodeValue(base::Value(range), "CHTPlot.labelIndexRange");
    encodeObjectArray(coder, labelAnnotations_, "CHTPlot.labelAnnotations");
    coder.encodeBool(alignsPointsToPixels_, "CHTPlot.alignsPointsToPixels");
}

std::shared_ptr<base::Coding> CHTPlot::initWithCoder(base::KeyedUnarchiver& coder) {
    CHTAnnotationHostLayer::initWithCoder(coder);
    dataSource_ = std::dynamic_pointer_cast<CHTPlotDataSource>(coder.decodeObject("CHTPlot.dataSource"));
    identifier_ = coder.decodeValue("CHTPlot.identifier");
    if (coder.containsValueForKey("CHTPlot.title")) title_ = coder.decodeString("CHTPlot.title");
    else title_.reset();
    plotSpace_ = coder.decodeObjectOfType<CHTPlotSpace>("CHTPlot.plotSpace");
    cachePrecision_ = static_cast<CHTPlotCachePrecision>(coder.decodeInteger("CHTPlot.cachePrecision"));
    if (cachePrecision_ < 0 || cachePrecision_ > 2) cachePrecision_ = CHTPlotCachePrecisionAuto;
    needsRelabel_ = coder.decodeBool("CHTPlot.needsRelabel");
    labelOffset_ = coder.decodeFloat("CHTPlot.labelOffset");
    labelRotation_ = coder.decodeFloat("CHTPlot.labelRotation");
    labelField_ = static_cast<std::size_t>(std::max(0LL, coder.decodeInteger("CHTPlot.labelField")));
    auto style = coder.decodeObjectOfType<CHTTextStyle>("CHTPlot.labelTextStyle");
    labelTextStyle_ = style ? style->copy() : nullptr;
    labelFormatter_ = coder.decodeObjectOfType<base::NumberFormatter>("CHTPlot.labelFormatter");
    labelShadow_ = coder.decodeObjectOfType<CHTShadow>("CHTPlot.labelShadow");
    labelFormatterChanged_ = coder.decodeBool("CHTPlot.labelFormatterChanged");
    base::Value range = coder.decodeValue("CHTPlot.labelIndexRange");
    labelIndexRange_ = {};
    if (const base::Dictionary* d = range.asDictionary()) {
        if (const base::Value* v = d->find("location"))
            labelIndexRange_.location = std::size_t(std::max<std::int64_t>(0, v->integerValue()));
        if (const base::Value* v = d->find("length"))
            labelIndexRange_.length = std::size_t(std::max<std::int64_t>(0, v->integerValue()));
    }
    labelAnnotations_ = decodeObjectArrayOfType<CHTPlotSpaceAnnotation>(coder, "CHTPlot.labelAnnotations", true);
    alignsPointsToPixels_ = coder.decodeBool("CHTPlot.alignsPointsToPixels");
    // A decoded plot loads its data on its first drawing.
    cachedData_.clear();
    cachedDataCount_ = 0;
    dataNeedsReloading_ = true;
    return nullptr;
}
