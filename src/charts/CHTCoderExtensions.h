#pragma once
// Keyed coding of the value kinds the archiver has no operation for:
// screen floats, points, sizes and rectangles. Nested values extend the key:
// a point under K writes "K.x" and "K.y", a size "K.width" and "K.height",
// a rectangle "K.origin" (a point) and "K.size" (a size).
#include <string>

#include "charts/CHTUtilities.h"
#include "platform/base/KeyedArchiver.h"

void encodeCGFloat(base::KeyedArchiver& coder, CGFloat value, const std::string& key);
CGFloat decodeCGFloat(base::KeyedUnarchiver& coder, const std::string& key);

void encodeCHTPoint(base::KeyedArchiver& coder, const gfx::Point& point, const std::string& key);
gfx::Point decodeCHTPoint(base::KeyedUnarchiver& coder, const std::string& key);

void encodeCHTSize(base::KeyedArchiver& coder, const gfx::Size& size, const std::string& key);
gfx::Size decodeCHTSize(base::KeyedUnarchiver& coder, const std::string& key);

void encodeCHTRect(base::KeyedArchiver& coder, const gfx::Rect& rect, const std::string& key);
gfx::Rect decodeCHTRect(base::KeyedUnarchiver& coder, const std::string& key);

// The decimal under the key; a missing key or a value with no decimal
// reading gives not-a-number.
void encodeDecimal(base::KeyedArchiver& coder, const base::Decimal& value, const std::string& key);
base::Decimal decodeDecimal(base::KeyedUnarchiver& coder, const std::string& key);
