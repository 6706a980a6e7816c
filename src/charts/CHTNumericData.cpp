#include "charts/CHTNumericData.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "charts/CHTMutableNumericData.h"
#include "charts/CHTNumericSamples.h"
#include "charts/CHTUtilities.h"

namespace {

using cht_samples::clampedInteger;
using cht_samples::load;
using cht_samples::store;
using cht_samples::truncatedTo;

template <typename T>
T integerFromNumber(const base::Number& n) {
    switch (n.kind()) {
    case base::Number::Kind::Float:
    case base::Number::Kind::Double: return truncatedTo<T>(n.doubleValue());
    case base::Number::Kind::Decimal: return clampedInteger<T>(n.decimalValue());
    default:
        // Integers narrow by wrapping, as machine casts do.
        if constexpr (std::numeric_limits<T>::is_signed) return static_cast<T>(n.longLongValue());
        else return static_cast<T>(n.unsignedLongLongValue());
    }
}

}  // namespace

// ---- creation ----

CHTNumericData::CHTNumericData(const base::Data& data, const _CHTNumericDataType& dataType,
                               const std::optional<CHTShape>& shape) {
    commonInit(data, dataType, shape);
}

CHTNumericData::CHTNumericData(const base::Data& data, const std::string& dataTypeString,
                               const std::optional<CHTShape>& shape)
    : CHTNumericData(data, CHTDataTypeWithDataTypeString(dataTypeString), shape) {}

CHTNumericData::CHTNumericData(const std::vector<base::Number>& array, const _CHTNumericDataType& dataType,
                               const std::optional<CHTShape>& shape)
    : CHTNumericData(dataFromArray(array, dataType), dataType, shape) {}

CHTNumericData::CHTNumericData(const std::vector<base::Number>& array, const std::string& dataTypeString,
                               const std::optional<CHTShape>& shape)
    : CHTNumericData(array, CHTDataTypeWithDataTypeString(dataTypeString), shape) {}

std::shared_ptr<CHTNumericData> CHTNumericData::numericDataWithData(const base::Data& data,
                                                                    const _CHTNumericDataType& dataType,
                                                                    const std::optional<CHTShape>& shape) {
    return std::make_shared<CHTNumericData>(data, dataType, shape);
}

std::shared_ptr<CHTNumericData> CHTNumericData::numericDataWithData(const base::Data& data,
                                                                    const std::string& dataTypeString,
                                                                    const std::optional<CHTShape>& shape) {
    return std::make_shared<CHTNumericData>(data, dataTypeString, shape);
}

std::shared_ptr<CHTNumericData> CHTNumericData::numericDataWithArray(const std::vector<base::Number>& array,
                                                                     const _CHTNumericDataType& dataType,
                                                                     const std::optional<CHTShape>& shape) {
    return std::make_shared<CHTNumericData>(array, dataType, shape);
}

std::shared_ptr<CHTNumericData> CHTNumericData::numericDataWithArray(const std::vector<base::Number>& array,
                                                                     const std::string& dataTypeString,
                                                                     const std::optional<CHTShape>& shape) {
    return std::make_shared<CHTNumericData>(array, dataTypeString, shape);
}

void CHTNumericData::commonInit(const base::Data& data, const _CHTNumericDataType& newDataType,
                                const std::optional<CHTShape>& shape) {
    CHT_PARAMETER_ASSERT(CHTDataTypeIsSupported(newDataType), "CHTNumericData", "commonInitWithData");
    data_ = data;
    dataType_ = newDataType;
    std::size_t samples = numberOfSamples();
    if (shape) {
        std::size_t product = 1;
        bool overflow = false;
        for (std::size_t n : *shape) overflow |= __builtin_mul_overflow(product, n, &product);
        if (overflow || product != samples)
            base::raise("CHTNumericDataException",
                        base::format("Shape product (%u) does not match data size (%u)",
                                     static_cast<unsigned long>(product), static_cast<unsigned long>(samples)));
        shape_ = *shape;
    } else {
        shape_ = {samples};
    }
}

base::Data CHTNumericData::dataFromArray(const std::vector<base::Number>& array,
                                         const _CHTNumericDataType& newDataType) {
    CHT_PARAMETER_ASSERT(CHTDataTypeIsSupported(newDataType), "CHTNumericData", "dataFromArray");
    CHT_PARAMETER_ASSERT(newDataType.dataTypeFormat != CHTUndefinedDataType, "CHTNumericData", "dataFromArray");
    CHT_PARAMETER_ASSERT(newDataType.dataTypeFormat != CHTComplexFloatingPointDataType, "CHTNumericData",
                         "dataFromArray");
    const unsigned size = newDataType.sampleBytes;
    base::Data data(array.size() * size, 0);
    std::uint8_t* p = data.data();
    for (const base::Number& n : array) {
        switch (newDataType.dataTypeFormat) {
        case CHTIntegerDataType:
            switch (size) {
            case 1: store(p, integerFromNumber<std::int8_t>(n)); break;
            case 2: store(p, integerFromNumber<std::int16_t>(n)); break;
            case 4: store(p, integerFromNumber<std::int32_t>(n)); break;
            case 8: store(p, integerFromNumber<std::int64_t>(n)); break;
            }
            break;
        case CHTUnsignedIntegerDataType:
            switch (size) {
            case 1: store(p, integerFromNumber<std::uint8_t>(n)); break;
            case 2: store(p, integerFromNumber<std::uint16_t>(n)); break;
            case 4: store(p, integerFromNumber<std::uint32_t>(n)); break;
            case 8: store(p, integerFromNumber<std::uint64_t>(n)); break;
            }
            break;
        case CHTFloatingPointDataType:
            if (size == 4) store(p, n.floatValue());
            else if (size == 8) store(p, n.doubleValue());
            break;
        case CHTDecimalDataType:
            if (size == sizeof(base::Decimal)) store(p, n.decimalValue());
            break;
        default: break;
        }
        p += size;
    }
    // The samples were written in the host order; store them in the data's own.
    if (newDataType.byteOrder != CFByteOrderUnknown && newDataType.byteOrder != CFByteOrderGetCurrent())
        swapByteOrderForData(data, size);
    return data;
}

// ---- reading ----

std::size_t CHTNumericData::numberOfSamples() const {
    return dataType_.sampleBytes == 0 ? 0 : data_.size() / dataType_.sampleBytes;
}

const std::uint8_t* CHTNumericData::samplePointer(std::size_t index) const {
    if (index >= numberOfSamples()) return nullptr;
    return data_.data() + index * dataType_.sampleBytes;
}

std::optional<base::Number> CHTNumericData::sampleValue(std::size_t index) const {
    if (index >= numberOfSamples()) return std::nullopt;
    if (dataType_.dataTypeFormat == CHTUndefinedDataType)
        base::raise("NSInvalidArgumentException", "Unsupported data type (CHTUndefinedDataType)");
    const unsigned size = dataType_.sampleBytes;
    base::Data sample(samplePointer(index), samplePointer(index) + size);
    if (dataType_.byteOrder != CFByteOrderUnknown && dataType_.byteOrder != CFByteOrderGetCurrent())
        swapByteOrderForData(sample, size);
    const std::uint8_t* p = sample.data();
    switch (dataType_.dataTypeFormat) {
    case CHTIntegerDataType:
        switch (size) {
        case 1: return base::Number(load<signed char>(p));
        case 2: return base::Number(load<short>(p));
        case 4: return base::Number(static_cast<long>(load<std::int32_t>(p)));
        case 8: return base::Number(load<long long>(p));
        }
        break;
    case CHTUnsignedIntegerDataType:
        switch (size) {
        case 1: return base::Number(load<unsigned char>(p));
        case 2: return base::Number(load<unsigned short>(p));
        case 4: return base::Number(static_cast<unsigned long>(load<std::uint32_t>(p)));
        case 8: return base::Number(load<unsigned long long>(p));
        }
        break;
    case CHTFloatingPointDataType:
        if (size == 4) return base::Number(load<float>(p));
        if (size == 8) return base::Number(load<double>(p));
        break;
    case CHTComplexFloatingPointDataType:
        if (size == 8) return base::Number(load<float>(p));
        if (size == 16) return base::Number(load<double>(p));
        break;
    case CHTDecimalDataType:
        if (size == sizeof(base::Decimal)) return base::Number(load<base::Decimal>(p));
        break;
    default: break;
    }
    return std::nullopt;
}

std::vector<base::Number> CHTNumericData::sampleArray() const {
    std::vector<base::Number> samples;
    std::size_t n = numberOfSamples();
    samples.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        auto v = sampleValue(i);
        if (v) samples.push_back(*v);
    }
    return samples;
}

std::string CHTNumericData::description() const {
    std::string text = base::format("<<%@: %p> [", classForCoder(), static_cast<const void*>(this));
    std::size_t n = numberOfSamples();
    for (std::size_t i = 0; i < n; ++i) {
        auto v = sampleValue(i);
        text += " " + (v ? v->description() : std::string("(null)"));
        if (i + 1 < n) text += ",";
    }
    std::string shape = "(";
    for (std::size_t i = 0; i < shape_.size(); ++i) {
        if (i) shape += ", ";
        shape += std::to_string(shape_[i]);
    }
    shape += ")";
    text += base::format(" ] {%@, %@}>", CHTDataTypeStringFromDataType(dataType_), shape);
    return text;
}

std::shared_ptr<CHTNumericData> CHTNumericData::copy() const {
    return std::make_shared<CHTNumericData>(data_, dataType_, shape_);
}

std::shared_ptr<CHTMutableNumericData> CHTNumericData::mutableCopy() const {
    return std::make_shared<CHTMutableNumericData>(data_, dataType_, shape_);
}

// ---- coding ----

base::Value CHTNumericData::shapeValue(const CHTShape& shape) {
    base::Array entries;
    for (std::size_t n : shape) entries.emplace_back(static_cast<unsigned long long>(n));
    return base::Value(std::move(entries));
}

std::optional<CHTShape> CHTNumericData::shapeFromValue(const base::Value& value) {
    const base::Array* entries = value.asArray();
    if (!entries) return std::nullopt;
    CHTShape shape;
    for (const base::Value& v : *entries) {
        std::int64_t n = v.integerValue();
        shape.push_back(n < 0 ? 0 : static_cast<std::size_t>(n));
    }
    return shape;
}

void CHTNumericData::encodeWithCoder(base::KeyedArchiver& coder) const {
    coder.encodeData(data_, "CHTNumericData.data");
    coder.encodeInteger(dataType_.dataTypeFormat, "CHTNumericData.dataType.dataTypeFormat");
    coder.encodeInteger(dataType_.sampleBytes, "CHTNumericData.dataType.sampleBytes");
    coder.encodeInteger(dataType_.byteOrder, "CHTNumericData.dataType.byteOrder");
    coder.encodeValue(shapeValue(shape_), "CHTNumericData.shape");
}

_CHTNumericDataType CHTNumericData::decodeDataType(base::KeyedUnarchiver& coder, const std::string& prefix) {
    auto clampInt = [](long long v) {
        return static_cast<int>(
            std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    };
    long long bytes = coder.decodeInteger(prefix + ".sampleBytes");
    return CHTDataType(clampInt(coder.decodeInteger(prefix + ".dataTypeFormat")),
                       static_cast<unsigned>(std::clamp<long long>(bytes, 0, std::numeric_limits<unsigned>::max())),
                       clampInt(coder.decodeInteger(prefix + ".byteOrder")));
}

std::shared_ptr<base::Coding> CHTNumericData::initWithCoder(base::KeyedUnarchiver& coder) {
    commonInit(coder.decodeData("CHTNumericData.data"), decodeDataType(coder, "CHTNumericData.dataType"),
               shapeFromValue(coder.decodeValue("CHTNumericData.shape")));
    return nullptr;
}

void registerNumericDataClasses() {
    base::KeyedUnarchiver::registerClass("CHTNumericData",
                                         [] { return std::shared_ptr<CHTNumericData>(new CHTNumericData()); });
    base::KeyedUnarchiver::registerClass(
        "CHTMutableNumericData", [] { return std::shared_ptr<CHTMutableNumericData>(new CHTMutableNumericData()); });
}
