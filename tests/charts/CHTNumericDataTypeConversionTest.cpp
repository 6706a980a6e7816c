#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <cstring>

#include "ChartTestSupport.h"
#include "charts/CHTMutableNumericData.h"
#include "charts/CHTUtilities.h"

namespace {

template <typename T>
base::Data bytesOf(std::initializer_list<T> values) {
    base::Data d(values.size() * sizeof(T));
    std::size_t i = 0;
    for (T v : values) std::memcpy(d.data() + sizeof(T) * i++, &v, sizeof(T));
    return d;
}

template <typename T>
T sampleAt(const CHTNumericData& d, std::size_t i) {
    T v;
    std::memcpy(&v, d.bytes() + i * sizeof(T), sizeof(T));
    return v;
}

template <typename T>
T reversed(T v) {
    std::uint8_t b[sizeof(T)];
    std::memcpy(b, &v, sizeof(T));
    std::reverse(b, b + sizeof(T));
    std::memcpy(&v, b, sizeof(T));
    return v;
}

std::shared_ptr<CHTNumericData> convert(const CHTNumericData& d, int f, unsigned s, int o) {
    return d.dataByConvertingToType(f, s, o);
}

}  // namespace

TEST(CHTSampleConversionIntegers, WidthAndSignedness) {
    CHTNumericData ints(bytesOf<std::int32_t>({-1, 300}), CHTDataType(1, 4, 1));
    auto bytes = convert(ints, 1, 1, 1);
    EXPECT_EQ(sampleAt<std::int8_t>(*bytes, 0), -1);
    EXPECT_EQ(sampleAt<std::int8_t>(*bytes, 1), 44);
    auto shorts = convert(ints, 2, 2, 1);
    EXPECT_EQ(sampleAt<std::uint16_t>(*shorts, 0), 65535);
    EXPECT_EQ(sampleAt<std::uint16_t>(*shorts, 1), 300);
    CHTNumericData unsignedBytes(base::Data{200}, CHTDataType(2, 1, 1));
    EXPECT_EQ(sampleAt<std::int64_t>(*convert(unsignedBytes, 1, 8, 1), 0), 200);  // zero-extended
    CHTNumericData signedBytes(base::Data{200}, CHTDataType(1, 1, 1));
    EXPECT_EQ(sampleAt<std::int64_t>(*convert(signedBytes, 1, 8, 1), 0), -56);  // sign-extended
    EXPECT_EQ(sampleAt<double>(*convert(ints, 3, 8, 1), 1), 300.0);
    EXPECT_EQ(sampleAt<float>(*convert(ints, 4, 8, 1), 0), -1.0f);
    EXPECT_EQ(sampleAt<float>(*convert(ints, 4, 8, 1), 1), 0.0f);  // imaginary part of sample 0
    auto decimals = convert(ints, 5, 20, 1);
    EXPECT_EQ(decimals->sampleValue(0)->decimalValue().toString(), "-1");
    EXPECT_EQ(decimals->sampleValue(1)->decimalValue().toString(), "300");
}

TEST(CHTSampleConversionFloats, TruncationAndDecimals) {
    CHTNumericData doubles(bytesOf<double>({2.7, -2.7}), CHTDataType(3, 8, 1));
    auto ints = convert(doubles, 1, 4, 1);
    EXPECT_EQ(sampleAt<std::int32_t>(*ints, 0), 2);
    EXPECT_EQ(sampleAt<std::int32_t>(*ints, 1), -2);
    auto decimals = convert(doubles, 5, 20, 1);
    EXPECT_TRUE(CHTDecimalEquals(decimals->sampleValue(0)->decimalValue(), CHTDecimalFromDouble(2.7)));
    EXPECT_EQ(decimals->sampleValue(1)->decimalValue().toString(), "-2.7");
    CHTNumericData floats(bytesOf<float>({2.7f}), CHTDataType(3, 4, 1));
    EXPECT_EQ(convert(floats, 5, 20, 1)->sampleValue(0)->decimalValue().toString(), "2.7");
    EXPECT_EQ(sampleAt<double>(*convert(floats, 3, 8, 1), 0), static_cast<double>(2.7f));
    auto complex = convert(doubles, 4, 16, 1);
    EXPECT_EQ(sampleAt<double>(*complex, 0), 2.7);
    EXPECT_EQ(sampleAt<double>(*complex, 1), 0.0);
}

TEST(CHTSampleConversionFloats, NaNAndOutOfRangeToIntegersAreDefined) {
    CHTNumericData doubles(bytesOf<double>({std::nan(""), 1e300, -1e300, 300.5}), CHTDataType(3, 8, 1));
    auto ints = convert(doubles, 1, 2, 1);
    EXPECT_EQ(sampleAt<std::int16_t>(*ints, 0), 0);
    EXPECT_EQ(sampleAt<std::int16_t>(*ints, 1), 32767);
    EXPECT_EQ(sampleAt<std::int16_t>(*ints, 2), -32768);
    EXPECT_EQ(sampleAt<std::int16_t>(*ints, 3), 300);
    auto unsignedBytes = convert(doubles, 2, 1, 1);
    EXPECT_EQ(sampleAt<std::uint8_t>(*unsignedBytes, 2), 0);
    EXPECT_EQ(sampleAt<std::uint8_t>(*unsignedBytes, 3), 255);
    auto decimals = convert(doubles, 5, 20, 1);
    EXPECT_TRUE(CHTDecimalIsNaN(decimals->sampleValue(0)->decimalValue()));
    auto back = convert(*decimals, 1, 8, 1);
    EXPECT_EQ(sampleAt<std::int64_t>(*back, 0), 0);
    EXPECT_EQ(sampleAt<std::int64_t>(*back, 3), 300);
}

TEST(CHTSampleConversionComplex, RealPartAndBothParts) {
    CHTNumericData complex(bytesOf<double>({1.5, 2}), CHTDataType(4, 16, 1));
    EXPECT_EQ(sampleAt<double>(*convert(complex, 3, 8, 1), 0), 1.5);
    EXPECT_EQ(sampleAt<std::int32_t>(*convert(complex, 1, 4, 1), 0), 1);
    auto narrow = convert(complex, 4, 8, 1);
    EXPECT_EQ(sampleAt<float>(*narrow, 0), 1.5f);
    EXPECT_EQ(sampleAt<float>(*narrow, 1), 2.0f);
    EXPECT_EQ(convert(complex, 5, 20, 1)->sampleValue(0)->decimalValue().toString(), "1.5");
}

TEST(CHTSampleConversionDecimal, ToEveryKind) {
    CHTNumericData decimals(bytesOf<base::Decimal>({charttest::D("-2.7"), charttest::D("70000")}), "<d20");
    auto shorts = convert(decimals, 1, 2, 1);
    EXPECT_EQ(sampleAt<std::int16_t>(*shorts, 0), -2);
    EXPECT_EQ(sampleAt<std::int16_t>(*shorts, 1), 32767);
    auto unsignedShorts = convert(decimals, 2, 2, 1);
    EXPECT_EQ(sampleAt<std::uint16_t>(*unsignedShorts, 0), 0);
    EXPECT_EQ(sampleAt<std::uint16_t>(*unsignedShorts, 1), 65535);
    EXPECT_EQ(sampleAt<double>(*convert(decimals, 3, 8, 1), 0), -2.7);
    EXPECT_EQ(sampleAt<float>(*convert(decimals, 3, 4, 1), 0), -2.7f);
    auto complex = convert(decimals, 4, 16, 1);
    EXPECT_EQ(sampleAt<double>(*complex, 0), -2.7);
    EXPECT_EQ(sampleAt<double>(*complex, 1), 0.0);
    EXPECT_EQ(convert(decimals, 5, 20, 1)->data(), decimals.data());
}

TEST(CHTSampleConversionByteOrder, SwappedFormsBothWays) {
    CHTNumericData bigFloats(bytesOf<float>({reversed(1.25f), reversed(-3.0f)}), CHTDataType(3, 4, 2));
    auto doubles = convert(bigFloats, 3, 8, 1);
    EXPECT_EQ(sampleAt<double>(*doubles, 0), 1.25);
    EXPECT_EQ(sampleAt<double>(*doubles, 1), -3.0);
    auto bigDoubles = convert(*doubles, 3, 8, 2);
    EXPECT_EQ(sampleAt<double>(*bigDoubles, 0), reversed(1.25));
    EXPECT_EQ(bigDoubles->sampleValue(0)->doubleValue(), 1.25);
    CHTNumericData bigInts(bytesOf<std::int16_t>({reversed<std::int16_t>(-2)}), CHTDataType(1, 2, 2));
    EXPECT_EQ(sampleAt<std::int32_t>(*convert(bigInts, 1, 4, 1), 0), -2);
    EXPECT_EQ(sampleAt<std::int32_t>(*convert(bigInts, 1, 4, 2), 0), reversed<std::int32_t>(-2));
    // One-byte samples are taken unchanged, whatever the signedness.
    CHTNumericData bytes(base::Data{1, 200}, CHTDataType(1, 1, 1));
    EXPECT_EQ(convert(bytes, 2, 1, 1)->data(), bytes.data());
}

TEST(CHTSampleConversionByteOrder, SwapOnlyTwoFourAndEightByteSamples) {
    base::Data d{1, 2, 3, 4, 5, 6, 7, 8};
    base::Data e = d;
    CHTNumericData::swapByteOrderForData(e, 8);
    EXPECT_EQ(e, base::Data({8, 7, 6, 5, 4, 3, 2, 1}));
    e = d;
    CHTNumericData::swapByteOrderForData(e, 2);
    EXPECT_EQ(e, base::Data({2, 1, 4, 3, 6, 5, 8, 7}));
    for (unsigned size : {1u, 16u, 20u}) {
        e = d;
        CHTNumericData::swapByteOrderForData(e, size);
        EXPECT_EQ(e, d);
    }
}

TEST(CHTSampleConversionPreconditions, Reported) {
    charttest::ScopedAssertionRecorder recorder(false);
    CHTNumericData unknownOrder(bytesOf<double>({1}), CHTDataType(3, 8, 0));
    convert(unknownOrder, 1, 4, 1);
    CHTNumericData doubles(bytesOf<double>({1}), CHTDataType(3, 8, 1));
    convert(doubles, 0, 4, 1);
    convert(doubles, 1, 4, 0);
    convert(doubles, 4, 16, 2);
    ASSERT_EQ(recorder.failures().size(), 4u);
    EXPECT_EQ(recorder.failures()[0].description,
              "Invalid parameter not satisfying: myDataType.byteOrder != CFByteOrderUnknown");
    EXPECT_EQ(recorder.failures()[1].description,
              "Invalid parameter not satisfying: newDataType.dataTypeFormat != CHTUndefinedDataType");
    EXPECT_EQ(recorder.failures()[2].description,
              "Invalid parameter not satisfying: newDataType.byteOrder != CFByteOrderUnknown");
    EXPECT_EQ(recorder.failures()[3].description,
              "Invalid parameter not satisfying: CHTDataTypeIsSupported(newDataType)");
}

TEST(CHTSampleConversionInPlace, GrowsAndShrinks) {
    CHTMutableNumericData data(bytesOf<double>({2.7, -1, 1e3}), CHTDataType(3, 8, 1));
    data.setDataType(CHTDataType(5, 20, 1));
    EXPECT_EQ(data.length(), 60u);
    EXPECT_EQ(data.sampleValue(0)->decimalValue().toString(), "2.7");
    EXPECT_EQ(data.sampleValue(2)->decimalValue().toString(), "1000");
    data.setDataType(CHTDataType(3, 8, 1));
    EXPECT_EQ(data.length(), 24u);
    EXPECT_EQ(sampleAt<double>(data, 0), 2.7);
    data.setSampleBytes(4);
    EXPECT_EQ(data.length(), 12u);
    EXPECT_EQ(sampleAt<float>(data, 1), -1.0f);
    data.setByteOrder(2);
    EXPECT_EQ(sampleAt<float>(data, 1), reversed(-1.0f));
    data.setDataTypeFormat(1);
    EXPECT_EQ(data.dataType().dataTypeFormat, 1);
    EXPECT_EQ(data.sampleValue(2)->longLongValue(), 1000);
    data.convertToType(1, 1, 1);
    data.convertToType(2, 1, 1);  // one-byte samples: bits kept
    EXPECT_EQ(sampleAt<std::uint8_t>(data, 1), 255);
}

TEST(CHTSampleConversionByteOrder, EmptyDataConvertsToEmptyData) {
    // Types that differ only in byte order: nothing to copy, and no copy
    // from or to missing storage.
    CHTNumericData empty(base::Data{}, CHTDataType(CHTFloatingPointDataType, 8, CFByteOrderBigEndian), {});
    auto little = convert(empty, CHTFloatingPointDataType, 8, CFByteOrderLittleEndian);
    EXPECT_EQ(little->length(), 0u);
    CHTMutableNumericData mutableEmpty(base::Data{}, CHTDataType(CHTIntegerDataType, 4, CFByteOrderLittleEndian), {});
    mutableEmpty.setByteOrder(CFByteOrderBigEndian);
    EXPECT_EQ(mutableEmpty.length(), 0u);
}
