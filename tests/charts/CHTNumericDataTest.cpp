#include "charts/CHTMutableNumericData.h"
#include "charts/CHTNumericData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <cstring>

#include "ChartTestSupport.h"

namespace {

template <typename T>
base::Data bytesOf(std::initializer_list<T> values) {
    base::Data d(values.size() * sizeof(T));
    std::size_t i = 0;
    for (T v : values) std::memcpy(d.data() + sizeof(T) * i++, &v, sizeof(T));
    return d;
}

template <typename T>
T sampleAt(const base::Data& d, std::size_t i) {
    T v;
    std::memcpy(&v, d.data() + i * sizeof(T), sizeof(T));
    return v;
}

void expectFailure(const std::function<void()>& f, const std::string& description) {
    charttest::ScopedAssertionRecorder recorder;
    EXPECT_THROW(f(), base::Exception);
    ASSERT_EQ(recorder.failures().size(), 1u);
    EXPECT_EQ(recorder.failures()[0].description, description);
}

void expectRaise(const std::function<void()>& f, const std::string& name, const std::string& reason) {
    try {
        f();
        ADD_FAILURE() << "nothing raised";
    } catch (const base::Exception& e) {
        EXPECT_EQ(e.name(), name);
        EXPECT_EQ(e.reason(), reason);
    }
}

}  // namespace

TEST(CHTNumericDataType, TextForms) {
    auto f8 = CHTDataTypeWithDataTypeString("<f8");
    EXPECT_TRUE(CHTDataTypeEqualToDataType(f8, CHTDataType(3, 8, 1)));
    EXPECT_TRUE(CHTDataTypeEqualToDataType(CHTDataTypeWithDataTypeString(">I4"), CHTDataType(1, 4, 2)));
    EXPECT_TRUE(CHTDataTypeEqualToDataType(CHTDataTypeWithDataTypeString("=d20"), CHTDataType(5, 20, 1)));
    EXPECT_EQ(CHTDataTypeStringFromDataType(CHTDataType(3, 8, 1)), "<f8");
    EXPECT_EQ(CHTDataTypeStringFromDataType(CHTDataType(2, 2, 2)), ">u2");
    EXPECT_EQ(CHTDataTypeStringFromDataType(CHTDataType(4, 16, 1)), "<c16");
    EXPECT_EQ(CHTDataTypeStringFromDataType(CHTDataType(5, 20, 1)), "<d20");
    // The unknown order is written as the host order it is read in.
    EXPECT_EQ(CHTDataTypeStringFromDataType(CHTDataType(1, 4, 0)), "=i4");
}

TEST(CHTNumericDataType, BadTextsAndTheirMessages) {
    expectRaise([] { CHTDataTypeWithDataTypeString("<x4"); }, "NSGenericException", "Unknown type in dataTypeString");
    expectRaise([] { CHTDataTypeWithDataTypeString("!f4"); }, "NSGenericException",
                "Unknown byte order in dataTypeString");
    expectRaise([] { CHTDataTypeStringFromDataType(CHTDataType(0, 4, 1)); }, "NSGenericException",
                "Unsupported data type");
    expectFailure([] { CHTDataTypeWithDataTypeString("<f"); }, "dataTypeString is too short");
    expectFailure([] { CHTDataTypeWithDataTypeString("<f0"); }, "sample bytes is negative.");
    // With a handler that does not throw, a bad text reads as undefined.
    charttest::ScopedAssertionRecorder quiet(false);
    auto t = CHTDataTypeWithDataTypeString("<");
    EXPECT_EQ(t.dataTypeFormat, CHTUndefinedDataType);
    EXPECT_EQ(quiet.failures().size(), 3u);
}

TEST(CHTNumericDataType, SupportedTypes) {
    EXPECT_FALSE(CHTDataTypeIsSupported(CHTDataType(4, 16, 2)));
    EXPECT_FALSE(CHTDataTypeIsSupported(CHTDataType(5, 20, 2)));
    EXPECT_TRUE(CHTDataTypeIsSupported(CHTDataType(0, 3, 0)));
    EXPECT_FALSE(CHTDataTypeIsSupported(CHTDataType(1, 3, 1)));
    EXPECT_TRUE(CHTDataTypeIsSupported(CHTDataType(2, 8, 2)));
    EXPECT_TRUE(CHTDataTypeIsSupported(CHTDataType(3, 4, 0)));
    EXPECT_FALSE(CHTDataTypeIsSupported(CHTDataType(3, 2, 1)));
    EXPECT_FALSE(CHTDataTypeIsSupported(CHTDataType(6, 4, 1)));
    EXPECT_FALSE(CHTDataTypeIsSupported(CHTDataType(1, 4, 3)));
}

TEST(CHTNumericDataShape, CheckedAgainstTheBytes) {
    base::Data d = bytesOf<double>({1, 2, 3});
    CHTNumericData data(d, CHTDataType(3, 8, 1));
    EXPECT_EQ(data.numberOfSamples(), 3u);
    EXPECT_EQ(data.shape(), CHTShape({3}));
    EXPECT_EQ(data.numberOfDimensions(), 1u);
    expectRaise([&] { CHTNumericData(d, CHTDataType(3, 8, 1), CHTShape{2}); }, "CHTNumericDataException",
                "Shape product (2) does not match data size (3)");
    CHTNumericData matrix(bytesOf<double>({1, 2, 3, 4, 5, 6}), "<f8", CHTShape{2, 3});
    EXPECT_EQ(matrix.numberOfDimensions(), 2u);
    expectFailure([&] { CHTNumericData(d, CHTDataType(1, 3, 1)); },
                  "Invalid parameter not satisfying: CHTDataTypeIsSupported(newDataType)");
}

TEST(CHTNumericDataShape, ZeroSampleBytesHasNoSamples) {
    CHTNumericData data(base::Data(5, 0), CHTDataType(0, 0, 0));
    EXPECT_EQ(data.numberOfSamples(), 0u);
    EXPECT_EQ(data.shape(), CHTShape({0}));
    EXPECT_EQ(data.samplePointer(0), nullptr);
}

TEST(CHTNumericDataSamples, ValuesByType) {
    CHTNumericData bytes(base::Data{255}, CHTDataType(2, 1, 1));
    EXPECT_EQ(bytes.sampleValue(0)->longLongValue(), 255);
    CHTNumericData signedBytes(base::Data{255}, CHTDataType(1, 1, 1));
    EXPECT_EQ(signedBytes.sampleValue(0)->longLongValue(), -1);
    CHTNumericData doubles(bytesOf<double>({1.5, 2, 3}), "<f8");
    EXPECT_FALSE(doubles.sampleValue(3).has_value());
    EXPECT_EQ(doubles.samplePointer(3), nullptr);
    EXPECT_EQ(doubles.samplePointer(1), doubles.bytes() + 8);
    EXPECT_EQ(doubles.sampleValue(0)->doubleValue(), 1.5);
    EXPECT_EQ(doubles.sampleArray().size(), 3u);
    CHTNumericData complex(bytesOf<float>({1.5f, 2.0f}), CHTDataType(4, 8, 1));
    EXPECT_EQ(complex.sampleValue(0)->doubleValue(), 1.5);
    CHTNumericData decimals(bytesOf<base::Decimal>({charttest::D("2.7")}), "<d20");
    EXPECT_TRUE(decimals.sampleValue(0)->isDecimalNumber());
    EXPECT_EQ(decimals.sampleValue(0)->decimalValue().toString(), "2.7");
    CHTNumericData undefined(base::Data(4, 0), CHTDataType(0, 4, 0));
    expectRaise([&] { undefined.sampleValue(0); }, "NSInvalidArgumentException",
                "Unsupported data type (CHTUndefinedDataType)");
}

TEST(CHTNumericDataSamples, BigEndianIsHonouredWhenFilledAndRead) {
    CHTNumericData data(std::vector<base::Number>{base::Number(258), base::Number(-2)}, CHTDataType(1, 2, 2));
    ASSERT_EQ(data.length(), 4u);
    EXPECT_EQ(data.bytes()[0], 0x01);  // 258 = 0x0102, most significant byte first
    EXPECT_EQ(data.bytes()[1], 0x02);
    EXPECT_EQ(data.sampleValue(0)->longLongValue(), 258);
    EXPECT_EQ(data.sampleValue(1)->longLongValue(), -2);
    CHTNumericData doubles(std::vector<base::Number>{base::Number(2.5)}, ">f8");
    EXPECT_EQ(doubles.sampleValue(0)->doubleValue(), 2.5);
    EXPECT_EQ(doubles.bytes()[0], 0x40);
}

TEST(CHTNumericDataSamples, FromNumbers) {
    std::vector<base::Number> numbers{base::Number(1), base::Number(std::nan("")), base::Number(2.5)};
    CHTNumericData doubles(numbers, CHTDataType(3, 8, 1));
    EXPECT_EQ(sampleAt<double>(doubles.data(), 0), 1.0);
    EXPECT_TRUE(std::isnan(sampleAt<double>(doubles.data(), 1)));
    EXPECT_EQ(sampleAt<double>(doubles.data(), 2), 2.5);
    CHTNumericData ints(numbers, "<i4");
    EXPECT_EQ(sampleAt<std::int32_t>(ints.data(), 0), 1);
    EXPECT_EQ(sampleAt<std::int32_t>(ints.data(), 1), 0);  // NaN gives 0
    EXPECT_EQ(sampleAt<std::int32_t>(ints.data(), 2), 2);
    CHTNumericData clamped(std::vector<base::Number>{base::Number(1e12), base::Number(-1e12)}, "<i4");
    EXPECT_EQ(sampleAt<std::int32_t>(clamped.data(), 0), 2147483647);
    EXPECT_EQ(sampleAt<std::int32_t>(clamped.data(), 1), -2147483647 - 1);
    CHTNumericData decimals(std::vector<base::Number>{base::Number(2.7)}, "<d20");
    EXPECT_EQ(decimals.sampleValue(0)->decimalValue().toString(), "2.7");
    expectFailure([&] { CHTNumericData(numbers, CHTDataType(4, 8, 1)); },
                  "Invalid parameter not satisfying: newDataType.dataTypeFormat != CHTComplexFloatingPointDataType");
}

TEST(CHTNumericDataMutable, SetShapeResizes) {
    CHTMutableNumericData data(bytesOf<double>({1, 2, 3}), "<f8");
    data.setShape({5});
    EXPECT_EQ(data.length(), 40u);
    EXPECT_EQ(sampleAt<double>(data.data(), 4), 0.0);
    data.setShape({2});
    EXPECT_EQ(data.length(), 16u);
    EXPECT_EQ(data.numberOfSamples(), 2u);
}

TEST(CHTNumericDataCopying, ClassesAndText) {
    CHTMutableNumericData mutableData(bytesOf<double>({1, 2}), "<f8");
    EXPECT_NE(std::dynamic_pointer_cast<CHTMutableNumericData>(mutableData.copy()), nullptr);
    CHTNumericData data(bytesOf<double>({1, 2}), "<f8");
    EXPECT_EQ(std::dynamic_pointer_cast<CHTMutableNumericData>(data.copy()), nullptr);
    EXPECT_NE(data.mutableCopy(), nullptr);
    EXPECT_EQ(data.mutableCopy()->data(), data.data());
    std::string text = data.description();
    EXPECT_NE(text.find("[ 1, 2 ] {<f8, (2)}>"), std::string::npos) << text;
}

TEST(CHTNumericDataType, SizesBeyondTheFieldAreRefusedNotWrapped) {
    expectFailure([] { CHTDataTypeWithDataTypeString("<i4294967297"); }, "sample bytes is too large.");
    expectFailure([] { CHTDataTypeWithDataTypeString("<f99999999999999999999999"); }, "sample bytes is too large.");
    EXPECT_EQ(CHTDataTypeWithDataTypeString("<i4294967295").sampleBytes, 4294967295u);
}

TEST(CHTNumericDataDecimals, ADecimalSampleWithAnImpossibleLengthIsNotANumber) {
    base::Decimal d = base::Decimal::fromInteger(7);
    base::Data bytes(sizeof d);
    std::memcpy(bytes.data(), &d, sizeof d);
    // The length field lives in the bits after the exponent byte; 15 words
    // is more than the mantissa holds.
    base::Decimal bad = d;
    bad.length = 15;
    std::memcpy(bytes.data(), &bad, sizeof bad);
    CHTNumericData data(bytes, CHTDataType(CHTDecimalDataType, 20, CFByteOrderLittleEndian), {});
    auto value = data.sampleValue(0);
    ASSERT_TRUE(value);
    EXPECT_TRUE(value->decimalValue().isNaN());
    auto asDoubles = data.dataByConvertingToType(CHTFloatingPointDataType, 8, CFByteOrderLittleEndian);
    double v = 0;
    std::memcpy(&v, asDoubles->bytes(), sizeof v);
    EXPECT_TRUE(std::isnan(v));
}
