#include "charts/CHTMutableNumericData.h"

#include "platform/base/Exception.h"

CHTMutableNumericData::CHTMutableNumericData(const base::Data& data, const _CHTNumericDataType& dataType,
                                             const std::optional<CHTShape>& shape) {
    commonInit(data, dataType, shape);
}

CHTMutableNumericData::CHTMutableNumericData(const base::Data& data, const std::string& dataTypeString,
                                             const std::optional<CHTShape>& shape) {
    commonInit(data, CHTDataTypeWithDataTypeString(dataTypeString), shape);
}

std::shared_ptr<CHTMutableNumericData> CHTMutableNumericData::numericDataWithData(
    const base::Data& data, const _CHTNumericDataType& dataType, const std::optional<CHTShape>& shape) {
    return std::make_shared<CHTMutableNumericData>(data, dataType, shape);
}

std::shared_ptr<CHTMutableNumericData> CHTMutableNumericData::numericDataWithData(
    const base::Data& data, const std::string& dataTypeString, const std::optional<CHTShape>& shape) {
    return std::make_shared<CHTMutableNumericData>(data, dataTypeString, shape);
}

void CHTMutableNumericData::setShape(const CHTShape& shape) {
    if (shape == shape_) return;
    std::size_t product = 1, length = 0;
    bool overflow = false;
    for (std::size_t n : shape) overflow |= __builtin_mul_overflow(product, n, &product);
    overflow |= __builtin_mul_overflow(product, static_cast<std::size_t>(dataType_.sampleBytes), &length);
    if (overflow) base::raise("CHTNumericDataException", "Shape product does not fit in memory");
    shape_ = shape;
    data_.resize(length, 0);
}

std::shared_ptr<CHTNumericData> CHTMutableNumericData::copy() const {
    return std::make_shared<CHTMutableNumericData>(data_, dataType_, shape_);
}

void CHTMutableNumericData::encodeWithCoder(base::KeyedArchiver& coder) const {
    coder.encodeData(data_, "data");
    coder.encodeInteger(dataType_.dataTypeFormat, "CHTMutableNumericData.dataType.dataTypeFormat");
    coder.encodeInteger(dataType_.sampleBytes, "CHTMutableNumericData.dataType.sampleBytes");
    coder.encodeInteger(dataType_.byteOrder, "CHTMutableNumericData.dataType.byteOrder");
    coder.encodeValue(shapeValue(shape_), "shape");
}

std::shared_ptr<base::Coding> CHTMutableNumericData::initWithCoder(base::KeyedUnarchiver& coder) {
    commonInit(coder.decodeData("data"), decodeDataType(coder, "CHTMutableNumericData.dataType"),
               shapeFromValue(coder.decodeValue("shape")));
    return nullptr;
}
