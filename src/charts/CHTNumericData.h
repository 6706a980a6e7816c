#pragma once
// An immutable typed buffer of numeric samples: the bytes, the data type
// that says how to read them, and a shape (the size of each dimension, whose
// product is the number of samples).
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "charts/CHTNumericDataType.h"
#include "platform/base/KeyedArchiver.h"
#include "platform/base/Number.h"
#include "platform/base/Value.h"

class CHTMutableNumericData;

using CHTShape = std::vector<std::size_t>;

class CHTNumericData : public base::Coding {
public:
    // The data type must be supported; a shape (nullopt: one dimension of
    // every sample) must fit the data, else "CHTNumericDataException".
    CHTNumericData(const base::Data& data, const _CHTNumericDataType& dataType,
                   const std::optional<CHTShape>& shape = std::nullopt);
    CHTNumericData(const base::Data& data, const std::string& dataTypeString,
                   const std::optional<CHTShape>& shape = std::nullopt);
    // Samples made from the numbers, written in the data type's byte order.
    CHTNumericData(const std::vector<base::Number>& array, const _CHTNumericDataType& dataType,
                   const std::optional<CHTShape>& shape = std::nullopt);
    CHTNumericData(const std::vector<base::Number>& array, const std::string& dataTypeString,
                   const std::optional<CHTShape>& shape = std::nullopt);
    ~CHTNumericData() override = default;

    static std::shared_ptr<CHTNumericData> numericDataWithData(const base::Data& data,
                                                               const _CHTNumericDataType& dataType,
                                                               const std::optional<CHTShape>& shape);
    static std::shared_ptr<CHTNumericData> numericDataWithData(const base::Data& data,
                                                               const std::string& dataTypeString,
                                                               const std::optional<CHTShape>& shape);
    static std::shared_ptr<CHTNumericData> numericDataWithArray(const std::vector<base::Number>& array,
                                                                const _CHTNumericDataType& dataType,
                                                                const std::optional<CHTShape>& shape);
    static std::shared_ptr<CHTNumericData> numericDataWithArray(const std::vector<base::Number>& array,
                                                                const std::string& dataTypeString,
                                                                const std::optional<CHTShape>& shape);

    const base::Data& data() const { return data_; }
    const std::uint8_t* bytes() const { return data_.data(); }
    std::size_t length() const { return data_.size(); }
    const _CHTNumericDataType& dataType() const { return dataType_; }
    int dataTypeFormat() const { return dataType_.dataTypeFormat; }
    unsigned int sampleBytes() const { return dataType_.sampleBytes; }
    int byteOrder() const { return dataType_.byteOrder; }
    const CHTShape& shape() const { return shape_; }
    // length / sampleBytes; 0 when a sample has no bytes.
    std::size_t numberOfSamples() const;
    std::size_t numberOfDimensions() const { return shape_.size(); }

    // nullptr past the last sample.
    const std::uint8_t* samplePointer(std::size_t index) const;
    // The sample as a number of its type, read in the data's byte order;
    // nullopt past the end or for an unsupported size. The undefined format
    // raises "NSInvalidArgumentException".
    std::optional<base::Number> sampleValue(std::size_t index) const;
    std::vector<base::Number> sampleArray() const;

    std::string description() const;
    // Same class, data, data type and shape.
    virtual std::shared_ptr<CHTNumericData> copy() const;
    std::shared_ptr<CHTMutableNumericData> mutableCopy() const;

    // Conversion to another data type (a new immutable object with the same shape).
    std::shared_ptr<CHTNumericData> dataByConvertingToType(int dataTypeFormat, unsigned int sampleBytes,
                                                           int byteOrder) const;
    std::shared_ptr<CHTNumericData> dataByConvertingToDataType(const _CHTNumericDataType& newDataType) const;
    // Converts every sample of source (host order) into target, which holds
    // exactly the samples' worth of target bytes. Unsupported pairs write nothing.
    static void convertData(const base::Data& sourceData, const _CHTNumericDataType& sourceDataType,
                            base::Data& destData, const _CHTNumericDataType& destDataType);
    // Reverses the bytes of every sample of 2, 4 or 8 bytes (an 8-byte sample
    // as two reversed halves swapped); other sizes are left alone.
    static void swapByteOrderForData(base::Data& data, unsigned int sampleSize);

    std::string classForCoder() const override { return "CHTNumericData"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

protected:
    // An empty buffer, for decoding.
    CHTNumericData() = default;
    void commonInit(const base::Data& data, const _CHTNumericDataType& newDataType,
                    const std::optional<CHTShape>& shape);
    static base::Data dataFromArray(const std::vector<base::Number>& array, const _CHTNumericDataType& newDataType);
    static base::Value shapeValue(const CHTShape& shape);
    static std::optional<CHTShape> shapeFromValue(const base::Value& value);
    // The data type under prefix + ".dataTypeFormat", ".sampleBytes", ".byteOrder".
    static _CHTNumericDataType decodeDataType(base::KeyedUnarchiver& coder, const std::string& prefix);
    friend void registerNumericDataClasses();

    base::Data data_;
    _CHTNumericDataType dataType_;
    CHTShape shape_;
};

// Registers the numeric data classes with the keyed unarchiver.
void registerNumericDataClasses();
