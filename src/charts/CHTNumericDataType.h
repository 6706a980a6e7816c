#pragma once
// The data type of numeric data: the sample format, the bytes per sample and
// the byte order, with its text form ("<f8": little-endian 8-byte floats).
#include <string>

// Sample formats.
inline constexpr int CHTUndefinedDataType = 0;
inline constexpr int CHTIntegerDataType = 1;
inline constexpr int CHTUnsignedIntegerDataType = 2;
inline constexpr int CHTFloatingPointDataType = 3;
inline constexpr int CHTComplexFloatingPointDataType = 4;
inline constexpr int CHTDecimalDataType = 5;

// Byte orders. The host order of this program is little-endian.
inline constexpr int CFByteOrderUnknown = 0;
inline constexpr int CFByteOrderLittleEndian = 1;
inline constexpr int CFByteOrderBigEndian = 2;
int CFByteOrderGetCurrent();

struct _CHTNumericDataType {
    int dataTypeFormat = CHTUndefinedDataType;
    unsigned int sampleBytes = 0;
    int byteOrder = CFByteOrderUnknown;
};

_CHTNumericDataType CHTDataType(int format, unsigned int sampleBytes, int byteOrder);
bool CHTDataTypeEqualToDataType(const _CHTNumericDataType& a, const _CHTNumericDataType& b);
// Integers of 1, 2, 4 or 8 bytes and floats of 4 or 8 in any order; complex
// numbers of 8 or 16 bytes and decimals of 20 in little-endian order only;
// the undefined format at any size.
bool CHTDataTypeIsSupported(const _CHTNumericDataType& type);
// Order ("<" little, ">" big, "=" unknown, read back as the host order),
// kind ("i", "u", "f", "c", "d") and size. The undefined format raises
// "NSGenericException" "Unsupported data type".
std::string CHTDataTypeStringFromDataType(const _CHTNumericDataType& type);
// Parses the text form; "=" is the host order and the kind may be upper
// case. Bad texts are reported (assertions) or raise "NSGenericException".
_CHTNumericDataType CHTDataTypeWithDataTypeString(const std::string& dataTypeString);
