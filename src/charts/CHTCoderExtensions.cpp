#include "charts/CHTCoderExtensions.h"

void encodeCGFloat(base::KeyedArchiver& coder, CGFloat value, const std::string& key) {
    coder.encodeFloat(value, key);
}

CGFloat decodeCGFloat(base::KeyedUnarchiver& coder, const std::string& key) { return coder.decodeFloat(key); }

void encodeCHTPoint(base::KeyedArchiver& coder, const gfx::Point& point, const std::string& key) {
    encodeCGFloat(coder, point.x, key + ".x");
    encodeCGFloat(coder, point.y, key + ".y");
}

gfx::Point decodeCHTPoint(base::KeyedUnarchiver& coder, const std::string& key) {
    return {decodeCGFloat(coder, key + ".x"), decodeCGFloat(coder, key + ".y")};
}

void encodeCHTSize(base::KeyedArchiver& coder, const gfx::Size& size, const std::string& key) {
    encodeCGFloat(coder, size.width, key + ".width");
    encodeCGFloat(coder, size.height, key + ".height");
}

gfx::Size decodeCHTSize(base::KeyedUnarchiver& coder, const std::string& key) {
    return {decodeCGFloat(coder, key + ".width"), decodeCGFloat(coder, key + ".height")};
}

void encodeCHTRect(base::KeyedArchiver& coder, const gfx::Rect& rect, const std::string& key) {
    encodeCHTPoint(coder, rect.origin, key + ".origin");
    encodeCHTSize(coder, rect.size, key + ".size");
}

gfx::Rect decodeCHTRect(base::KeyedUnarchiver& coder, const std::string& key) {
    return {decodeCHTPoint(coder, key + ".origin"), decodeCHTSize(coder, key + ".size")};
}

void encodeDecimal(base::KeyedArchiver& coder, const base::Decimal& value, const std::string& key) {
    coder.encodeDecimal(value, key);
}

base::Decimal decodeDecimal(base::KeyedUnarchiver& coder, const std::string& key) {
    return coder.decodeDecimal(key);
}
