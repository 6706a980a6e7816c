#pragma once
// Numeric data whose bytes, shape and data type can change. Changing the
// data type converts the samples in place.
#include "charts/CHTNumericData.h"

class CHTMutableNumericData : public CHTNumericData {
public:
    CHTMutableNumericData(const base::Data& data, const _CHTNumericDataType& dataType,
                          const std::optional<CHTShape>& shape = std::nullopt);
    CHTMutableNumericData(const base::Data& data, const std::string& dataTypeString,
                          const std::optional<CHTShape>& shape = std::nullopt);

    static std::shared_ptr<CHTMutableNumericData> numericDataWithData(const base::Data& data,
                                                                      const _CHTNumericDataType& dataType,
                                                                      const std::optional<CHTShape>& shape);
    static std::shared_ptr<CHTMutableNumericData> numericDataWithData(const base::Data& data,
                                                                      const std::string& dataTypeString,
                                                                      const std::optional<CHTShape>& shape);

    std::uint8_t* mutableBytes() { return data_.data(); }
    base::Data& mutableData() { return data_; }
    // Resizes the data to the new shape's samples (cutting samples off or
    // appending zero bytes).
    void setShape(const CHTShape& shape);

    // Converts the samples to the new type in place.
    void setDataType(const _CHTNumericDataType& newDataType);
    void setDataTypeFormat(int dataTypeFormat);
    void setSampleBytes(unsigned int sampleBytes);
    void setByteOrder(int byteOrder);
    void convertToType(int dataTypeFormat, unsigned int sampleBytes, int byteOrder);

    std::shared_ptr<CHTNumericData> copy() const override;

    std::string classForCoder() const override { return "CHTMutableNumericData"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

private:
    CHTMutableNumericData() = default;
    friend void registerNumericDataClasses();
};
