#include "charts/CHTNumericDataType.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <cctype>

#include "charts/CHTUtilities.h"

namespace {

constexpr const char* kSourceFile = "Charts/Source/CHTNumericDataType";

// Reports a bad data-type text to the assertion handler; answers whether the
// text is long enough to read.
bool checkLength(const std::string& dataTypeString, const char* function) {
    if (dataTypeString.size() > 2) return true;
    base::AssertionHandler::current().handleFailureInFunction(function, kSourceFile, __LINE__,
                                                              "dataTypeString is too short");
    return false;
}

int DataTypeForDataTypeString(const std::string& dataTypeString) {
    if (!checkLength(dataTypeString, "DataTypeForDataTypeString")) return CHTUndefinedDataType;
    switch (std::tolower(static_cast<unsigned char>(dataTypeString[1]))) {
    case 'i': return CHTIntegerDataType;
    case 'u': return CHTUnsignedIntegerDataType;
    case 'f': return CHTFloatingPointDataType;
    case 'c': return CHTComplexFloatingPointDataType;
    case 'd': return CHTDecimalDataType;
    default: CHTRaiseGenericFormat("Unknown type in dataTypeString");
    }
}

// The integer value of the text from the third character on: leading blanks,
// an optional sign, then digits up to the first non-digit (none: 0). Values
// beyond 10^15 read as 10^15 (far beyond any sample size, and never wrapped).
long long integerValueFrom(const std::string& text, std::size_t start) {
    std::size_t i = start;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        value = std::min(value * 10 + (text[i] - '0'), 1000000000000000LL);
        ++i;
    }
    return negative ? -value : value;
}

unsigned int SampleBytesForDataTypeString(const std::string& dataTypeString) {
    if (!checkLength(dataTypeString, "SampleBytesForDataTypeString")) return 0;
    long long sampleBytes = integerValueFrom(dataTypeString, 2);
    if (sampleBytes < 1) {
        base::AssertionHandler::current().handleFailureInFunction("SampleBytesForDataTypeString", kSourceFile, __LINE__,
                                                                  "sample bytes is negative.");
        return 0;
    }
    // A size that does not fit the field is refused, not wrapped ("<i4294967297"
    // is no 1-byte integer).
    if (sampleBytes > static_cast<long long>(std::numeric_limits<unsigned int>::max())) {
        base::AssertionHandler::current().handleFailureInFunction("SampleBytesForDataTypeString", kSourceFile, __LINE__,
                                                                  "sample bytes is too large.");
        return 0;
    }
    return static_cast<unsigned int>(sampleBytes);
}

int ByteOrderForDataTypeString(const std::string& dataTypeString) {
    if (!checkLength(dataTypeString, "ByteOrderForDataTypeString")) return CFByteOrderUnknown;
    switch (dataTypeString[0]) {
    case '<':
    case '=': return CFByteOrderLittleEndian;
    case '>': return CFByteOrderBigEndian;
    default: CHTRaiseGenericFormat("Unknown byte order in dataTypeString");
    }
}

}  // namespace

int CFByteOrderGetCurrent() {
    return std::endian::native == std::endian::little ? CFByteOrderLittleEndian : CFByteOrderBigEndian;
}

_CHTNumericDataType CHTDataType(int format, unsigned int sampleBytes, int byteOrder) {
    return _CHTNumericDataType{format, sampleBytes, byteOrder};
}

bool CHTDataTypeEqualToDataType(const _CHTNumericDataType& a, const _CHTNumericDataType& b) {
    return a.dataTypeFormat == b.dataTypeFormat && a.sampleBytes == b.sampleBytes && a.byteOrder == b.byteOrder;
}

bool CHTDataTypeIsSupported(const _CHTNumericDataType& type) {
    if (type.byteOrder < 0 || type.byteOrder > CFByteOrderBigEndian) return false;
    switch (type.dataTypeFormat) {
    case CHTUndefinedDataType: return true;
    case CHTIntegerDataType:
    case CHTUnsignedIntegerDataType:
        return type.sampleBytes == 1 || type.sampleBytes == 2 || type.sampleBytes == 4 || type.sampleBytes == 8;
    case CHTFloatingPointDataType: return type.sampleBytes == 4 || type.sampleBytes == 8;
    case CHTComplexFloatingPointDataType:
        return (type.sampleBytes == 8 || type.sampleBytes == 16) && type.byteOrder == CFByteOrderLittleEndian;
    case CHTDecimalDataType: return type.sampleBytes == 20 && type.byteOrder == CFByteOrderLittleEndian;
    default: return false;
    }
}

std::string CHTDataTypeStringFromDataType(const _CHTNumericDataType& type) {
    std::string order;
    switch (type.byteOrder) {
    case CFByteOrderLittleEndian: order = "<"; break;
    case CFByteOrderBigEndian: order = ">"; break;
    default: order = "="; break;
    }
    std::string kind;
    switch (type.dataTypeFormat) {
    case CHTIntegerDataType: kind = "i"; break;
    case CHTUnsignedIntegerDataType: kind = "u"; break;
    case CHTFloatingPointDataType: kind = "f"; break;
    case CHTComplexFloatingPointDataType: kind = "c"; break;
    case CHTDecimalDataType: kind = "d"; break;
    default: CHTRaiseGenericFormat("Unsupported data type");
    }
    return base::format("%@%@%lu", order, kind, static_cast<unsigned long>(type.sampleBytes));
}

_CHTNumericDataType CHTDataTypeWithDataTypeString(const std::string& dataTypeString) {
    _CHTNumericDataType type;
    type.dataTypeFormat = DataTypeForDataTypeString(dataTypeString);
    type.sampleBytes = SampleBytesForDataTypeString(dataTypeString);
    type.byteOrder = ByteOrderForDataTypeString(dataTypeString);
    return type;
}
