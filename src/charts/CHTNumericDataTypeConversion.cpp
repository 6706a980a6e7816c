// Conversion of numeric data between data types, sample by sample in the
// host byte order, with byte swapping before and after for data stored in
// the other order.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "charts/CHTMutableNumericData.h"
#include "charts/CHTNumericData.h"
#include "charts/CHTNumericSamples.h"
#include "charts/CHTUtilities.h"

namespace {

using cht_samples::clampedInteger;
using cht_samples::load;
using cht_samples::store;
using cht_samples::truncatedTo;

// One sample read out of a buffer, in the widest form of its kind.
struct Sample {
    int format = CHTUndefinedDataType;
    unsigned bytes = 0;
    long long i = 0;
    unsigned long long u = 0;
    double real = 0;
    double imaginary = 0;
    base::Decimal decimal;
};

bool read(const std::uint8_t* p, const _CHTNumericDataType& type, Sample& s) {
    s.format = type.dataTypeFormat;
    s.bytes = type.sampleBytes;
    switch (type.dataTypeFormat) {
    case CHTIntegerDataType:
        switch (type.sampleBytes) {
        case 1: {
            const std::int8_t v = load<std::int8_t>(p);
            s.i = v;
            return true;
        }
        case 2: s.i = load<std::int16_t>(p); return true;
        case 4: s.i = load<std::int32_t>(p); return true;
        case 8: s.i = load<std::int64_t>(p); return true;
        }
        return false;
    case CHTUnsignedIntegerDataType:
        switch (type.sampleBytes) {
        case 1: s.u = load<std::uint8_t>(p); return true;
        case 2: s.u = load<std::uint16_t>(p); return true;
        case 4: s.u = load<std::uint32_t>(p); return true;
        case 8: s.u = load<std::uint64_t>(p); return true;
        }
        return false;
    case CHTFloatingPointDataType:
        if (type.sampleBytes == 4) s.real = load<float>(p);
        else if (type.sampleBytes == 8) s.real = load<double>(p);
        else return false;
        return true;
    case CHTComplexFloatingPointDataType:
        if (type.sampleBytes == 8) {
            s.real = load<float>(p);
            s.imaginary = load<float>(p + 4);
        } else if (type.sampleBytes == 16) {
            s.real = load<double>(p);
            s.imaginary = load<double>(p + 8);
        } else {
            return false;
        }
        return true;
    case CHTDecimalDataType:
        if (type.sampleBytes != sizeof(base::Decimal)) return false;
        s.decimal = load<base::Decimal>(p);
        return true;
    default: return false;
    }
}

template <typename T>
T integerFrom(const Sample& s) {
    switch (s.format) {
    case CHTIntegerDataType: return static_cast<T>(s.i);  // wraps when narrowing
    case CHTUnsignedIntegerDataType: return static_cast<T>(s.u);
    case CHTFloatingPointDataType:
    case CHTComplexFloatingPointDataType: return truncatedTo<T>(s.real);
    case CHTDecimalDataType: return clampedInteger<T>(s.decimal);
    }
    return 0;
}

// The real value in the target float type F.
template <typename F>
F realFrom(const Sample& s) {
    switch (s.format) {
    case CHTIntegerDataType: return static_cast<F>(s.i);
    case CHTUnsignedIntegerDataType: return static_cast<F>(s.u);
    case CHTFloatingPointDataType:
    case CHTComplexFloatingPointDataType: return static_cast<F>(s.real);
    case CHTDecimalDataType:
        if constexpr (std::is_same_v<F, float>) return CHTDecimalFloatValue(s.decimal);
        else return CHTDecimalDoubleValue(s.decimal);
    }
    return 0;
}

base::Decimal decimalFrom(const Sample& s) {
    switch (s.format) {
    case CHTIntegerDataType:
        switch (s.bytes) {
        case 1: return CHTDecimalFromChar(static_cast<signed char>(s.i));
        case 2: return CHTDecimalFromShort(static_cast<short>(s.i));
        case 4: return CHTDecimalFromLong(static_cast<long>(s.i));
        default: return CHTDecimalFromLongLong(s.i);
        }
    case CHTUnsignedIntegerDataType:
        switch (s.bytes) {
        case 1: return CHTDecimalFromUnsignedChar(static_cast<unsigned char>(s.u));
        case 2: return CHTDecimalFromUnsignedShort(static_cast<unsigned short>(s.u));
        case 4: return CHTDecimalFromUnsignedLong(static_cast<unsigned long>(s.u));
        default: return CHTDecimalFromUnsignedLongLong(s.u);
        }
    case CHTFloatingPointDataType:
        return s.bytes == 4 ? CHTDecimalFromFloat(static_cast<float>(s.real)) : CHTDecimalFromDouble(s.real);
    case CHTComplexFloatingPointDataType:
        return s.bytes == 8 ? CHTDecimalFromFloat(static_cast<float>(s.real)) : CHTDecimalFromDouble(s.real);
    case CHTDecimalDataType: return s.decimal;
    }
    return CHTDecimalNaN();
}

bool write(std::uint8_t* p, const _CHTNumericDataType& type, const Sample& s) {
    switch (type.dataTypeFormat) {
    case CHTIntegerDataType:
        switch (type.sampleBytes) {
        case 1: store(p, integerFrom<std::int8_t>(s)); return true;
        case 2: store(p, integerFrom<std::int16_t>(s)); return true;
        case 4: store(p, integerFrom<std::int32_t>(s)); return true;
        case 8: store(p, integerFrom<std::int64_t>(s)); return true;
        }
        return false;
    case CHTUnsignedIntegerDataType:
        switch (type.sampleBytes) {
        case 1: store(p, integerFrom<std::uint8_t>(s)); return true;
        case 2: store(p, integerFrom<std::uint16_t>(s)); return true;
        case 4: store(p, integerFrom<std::uint32_t>(s)); return true;
        case 8: store(p, integerFrom<std::uint64_t>(s)); return true;
        }
        return false;
    case CHTFloatingPointDataType:
        if (type.sampleBytes == 4) store(p, realFrom<float>(s));
        else if (type.sampleBytes == 8) store(p, realFrom<double>(s));
        else return false;
        return true;
    case CHTComplexFloatingPointDataType: {
        bool complexSource = s.format == CHTComplexFloatingPointDataType;
        if (type.sampleBytes == 8) {
            store(p, realFrom<float>(s));
            store(p + 4, complexSource ? static_cast<float>(s.imaginary) : 0.0f);
        } else if (type.sampleBytes == 16) {
            store(p, realFrom<double>(s));
            store(p + 8, complexSource ? s.imaginary : 0.0);
        } else {
            return false;
        }
        return true;
    }
    case CHTDecimalDataType:
        if (type.sampleBytes != sizeof(base::Decimal)) return false;
        store(p, decimalFrom(s));
        return true;
    default: return false;
    }
}

bool sameType(const _CHTNumericDataType& a, const _CHTNumericDataType& b) {
    return a.dataTypeFormat == b.dataTypeFormat && a.sampleBytes == b.sampleBytes;
}

// Checks the conditions of a conversion (each reported to the assertion
// handler); answers whether it can go ahead.
bool conversionAllowed(const _CHTNumericDataType& myDataType, const _CHTNumericDataType& newDataType,
                       const char* method) {
    CHT_PARAMETER_ASSERT(myDataType.dataTypeFormat != CHTUndefinedDataType, "CHTNumericData", method);
    CHT_PARAMETER_ASSERT(myDataType.byteOrder != CFByteOrderUnknown, "CHTNumericData", method);
    CHT_PARAMETER_ASSERT(CHTDataTypeIsSupported(newDataType), "CHTNumericData", method);
    CHT_PARAMETER_ASSERT(newDataType.dataTypeFormat != CHTUndefinedDataType, "CHTNumericData", method);
    CHT_PARAMETER_ASSERT(newDataType.byteOrder != CFByteOrderUnknown, "CHTNumericData", method);
    return myDataType.dataTypeFormat != CHTUndefinedDataType && myDataType.byteOrder != CFByteOrderUnknown &&
           CHTDataTypeIsSupported(newDataType) && newDataType.dataTypeFormat != CHTUndefinedDataType &&
           newDataType.byteOrder != CFByteOrderUnknown;
}

}  // namespace

void CHTNumericData::convertData(const base::Data& sourceData, const _CHTNumericDataType& sourceDataType,
                                 base::Data& destData, const _CHTNumericDataType& destDataType) {
    if (sourceDataType.sampleBytes == 0 || destDataType.sampleBytes == 0) return;
    std::size_t n = sourceData.size() / sourceDataType.sampleBytes;
    n = std::min(n, destData.size() / destDataType.sampleBytes);
    if (n == 0) return;  // empty buffers may have no storage to copy from or to
    if (sameType(sourceDataType, destDataType)) {
        std::memcpy(destData.data(), sourceData.data(), n * destDataType.sampleBytes);
        return;
    }
    const std::uint8_t* src = sourceData.data();
    std::uint8_t* dst = destData.data();
    for (std::size_t i = 0; i < n; ++i) {
        Sample s;
        if (!read(src + i * sourceDataType.sampleBytes, sourceDataType, s)) return;
        if (!write(dst + i * destDataType.sampleBytes, destDataType, s)) return;
    }
}

void CHTNumericData::swapByteOrderForData(base::Data& data, unsigned int sampleSize) {
    if (sampleSize != 2 && sampleSize != 4 && sampleSize != 8) return;
    std::size_t n = data.size() / sampleSize;
    std::uint8_t* p = data.data();
    for (std::size_t i = 0; i < n; ++i, p += sampleSize) {
        if (sampleSize == 8) {
            // Two reversed halves, exchanged: the whole sample reversed.
            for (unsigned k = 0; k < 4; ++k) std::swap(p[k], p[7 - k]);
        } else {
            std::reverse(p, p + sampleSize);
        }
    }
}

std::shared_ptr<CHTNumericData> CHTNumericData::dataByConvertingToType(int dataTypeFormat, unsigned int sampleBytes,
                                                                       int byteOrder) const {
    return dataByConvertingToDataType(CHTDataType(dataTypeFormat, sampleBytes, byteOrder));
}

std::shared_ptr<CHTNumericData> CHTNumericData::dataByConvertingToDataType(
    const _CHTNumericDataType& newDataType) const {
    const _CHTNumericDataType& myDataType = dataType_;
    if (!conversionAllowed(myDataType, newDataType, "dataByConvertingToDataType"))
        return std::make_shared<CHTNumericData>(data_, dataType_, shape_);
    if (CHTDataTypeEqualToDataType(myDataType, newDataType))
        return std::make_shared<CHTNumericData>(data_, newDataType, shape_);
    if (myDataType.sampleBytes == 1 && newDataType.sampleBytes == 1)
        return std::make_shared<CHTNumericData>(data_, newDataType, shape_);

    std::size_t n = numberOfSamples();
    base::Data converted(n * newDataType.sampleBytes, 0);
    if (myDataType.byteOrder == CFByteOrderLittleEndian) {
        convertData(data_, myDataType, converted, newDataType);
    } else {
        base::Data swapped = data_;
        swapByteOrderForData(swapped, myDataType.sampleBytes);
        convertData(swapped, myDataType, converted, newDataType);
    }
    if (newDataType.byteOrder != CFByteOrderLittleEndian) swapByteOrderForData(converted, newDataType.sampleBytes);
    return std::make_shared<CHTNumericData>(converted, newDataType, shape_);
}

void CHTMutableNumericData::setDataType(const _CHTNumericDataType& newDataType) {
    _CHTNumericDataType myDataType = dataType_;
    if (CHTDataTypeEqualToDataType(myDataType, newDataType)) return;
    if (!conversionAllowed(myDataType, newDataType, "setDataType")) return;
    dataType_ = newDataType;
    if (myDataType.sampleBytes == 1 && newDataType.sampleBytes == 1) return;

    std::size_t n = data_.size() / myDataType.sampleBytes;
    data_.resize(n * myDataType.sampleBytes);
    if (myDataType.byteOrder != CFByteOrderLittleEndian) swapByteOrderForData(data_, myDataType.sampleBytes);
    base::Data converted(n * newDataType.sampleBytes, 0);
    convertData(data_, myDataType, converted, newDataType);
    data_ = std::move(converted);
    if (newDataType.byteOrder != CFByteOrderLittleEndian) swapByteOrderForData(data_, newDataType.sampleBytes);
}

void CHTMutableNumericData::setDataTypeFormat(int dataTypeFormat) {
    if (dataTypeFormat != dataType_.dataTypeFormat)
        setDataType(CHTDataType(dataTypeFormat, dataType_.sampleBytes, dataType_.byteOrder));
}

void CHTMutableNumericData::setSampleBytes(unsigned int sampleBytes) {
    if (sampleBytes != dataType_.sampleBytes)
        setDataType(CHTDataType(dataType_.dataTypeFormat, sampleBytes, dataType_.byteOrder));
}

void CHTMutableNumericData::setByteOrder(int byteOrder) {
    if (byteOrder != dataType_.byteOrder)
        setDataType(CHTDataType(dataType_.dataTypeFormat, dataType_.sampleBytes, byteOrder));
}

void CHTMutableNumericData::convertToType(int dataTypeFormat, unsigned int sampleBytes, int byteOrder) {
    setDataType(CHTDataType(dataTypeFormat, sampleBytes, byteOrder));
}
