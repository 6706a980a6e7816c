#pragma once
// Keyed coding of the value kinds the archiver has no operation for:
// screen floats, points, sizes, rectangles, decimals, paths, images and
// colour spaces. Nested values extend the key:
// a point under K writes "K.x" and "K.y", a size "K.width" and "K.height",
// a rectangle "K.origin" (a point) and "K.size" (a size).
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "charts/CHTUtilities.h"
#include "platform/base/KeyedArchiver.h"
#include "platform/gfx/ColorSpace.h"
#include "platform/gfx/Image.h"
#include "platform/gfx/Path.h"

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

// Arrays of objects: "K.count", then element i under "K[i]" (a null element
// is kept as a null reference). Decoding stops at the first element whose
// key is missing, so a damaged count cannot make it loop for long, and reads
// at most kCHTMaximumArchivedElements elements.
inline constexpr long long kCHTMaximumArchivedElements = 100000;
void encodeObjectArray(base::KeyedArchiver& coder, const std::vector<std::shared_ptr<const base::Coding>>& objects,
                       const std::string& key);
template <class T>
void encodeObjectArray(base::KeyedArchiver& coder, const std::vector<std::shared_ptr<T>>& objects,
                       const std::string& key) {
    encodeObjectArray(coder, std::vector<std::shared_ptr<const base::Coding>>(objects.begin(), objects.end()), key);
}
// Whether the archive holds an array under the key (its count is present).
bool containsObjectArray(base::KeyedUnarchiver& coder, const std::string& key);
std::vector<std::shared_ptr<base::Coding>> decodeObjectArray(base::KeyedUnarchiver& coder, const std::string& key);
// The elements of type T; elements of another class are dropped, null
// elements are kept only when keepNulls is true.
template <class T>
std::vector<std::shared_ptr<T>> decodeObjectArrayOfType(base::KeyedUnarchiver& coder, const std::string& key,
                                                        bool keepNulls = false) {
    std::vector<std::shared_ptr<T>> out;
    for (const auto& object : decodeObjectArray(coder, key)) {
        auto typed = std::dynamic_pointer_cast<T>(object);
        if (typed || (!object && keepNulls)) out.push_back(typed);
    }
    return out;
}

// Sets of decimals: an array of their exact texts under the key.
void encodeDecimalSet(base::KeyedArchiver& coder, const std::set<base::Decimal>& values, const std::string& key);
std::set<base::Decimal> decodeDecimalSet(base::KeyedUnarchiver& coder, const std::string& key);

// Paths: "K.count", then per element i "K[i].type" and its points
// "K[i].point1" to "K[i].point3" (as points). Decoding stops at the first
// element without a type (a damaged archive cannot make it loop for long).
void encodeCGPath(base::KeyedArchiver& coder, const gfx::Path& path, const std::string& key);
gfx::Path newCGPathDecode(base::KeyedUnarchiver& coder, const std::string& key);
// Adds the element to the list as a dictionary: "type" and, by type,
// "point1.x", "point1.y", "point2.x", ... as numbers.
void MyCGPathApplierFunc(base::Array& elements, const gfx::PathElement& element);

// Images: the pixel layout as integers, the pixel bytes under "K.provider",
// the interpolation flag and the rendering intent. Decoding gives nullptr
// when the archived sizes do not fit the pixel bytes.
void encodeCGImage(base::KeyedArchiver& coder, const gfx::Image& image, const std::string& key);
std::shared_ptr<gfx::Image> newCGImageDecode(base::KeyedUnarchiver& coder, const std::string& key);

// Colour spaces are not archived: encoding writes nothing and decoding gives
// device RGB, each with a log line.
void encodeCGColorSpace(base::KeyedArchiver& coder, const gfx::ColorSpace& colorSpace, const std::string& key);
std::shared_ptr<const gfx::ColorSpace> newCGColorSpaceDecode(base::KeyedUnarchiver& coder, const std::string& key);

// Registers every archivable chart class with the keyed unarchiver; called
// once at start-up (and by tests).
void CHTRegisterCodingClasses();
