#include "charts/CHTCoderExtensions.h"

#include <algorithm>

#include "charts/CHTAxis.h"
#include "charts/CHTAxisLabel.h"
#include "charts/CHTAxisLabelGroup.h"
#include "charts/CHTAxisSet.h"
#include "charts/CHTAxisTitle.h"
#include "charts/CHTGridLineGroup.h"
#include "charts/CHTGridLines.h"
#include "charts/CHTLayerAnnotation.h"
#include "charts/CHTLimitBand.h"
#include "charts/CHTPlotArea.h"
#include "charts/CHTPlotGroup.h"
#include "charts/CHTPlotSpaceAnnotation.h"
#include "charts/CHTTimeFormatter.h"
#include "charts/CHTXYAxis.h"
#include "charts/CHTXYAxisSet.h"
#include "platform/base/DateFormatter.h"
#include "platform/base/NumberFormatter.h"
#include "charts/CHTConstraints.h"
#include "charts/CHTDrawingCoding.h"
#include "charts/CHTPlotCoding.h"
#include "charts/CHTNumericData.h"
#include "charts/CHTPlotRange.h"
#include "charts/CHTXYGraph.h"
#include "charts/CHTXYPlotSpace.h"
#include "platform/base/Log.h"

void encodeCGFloat(base::KeyedArchiver& coder, CGFloat value, const std::string& key) { coder.encodeFloat(value, key); }

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

base::Decimal decodeDecimal(base::KeyedUnarchiver& coder, const std::string& key) { return coder.decodeDecimal(key); }

// ---- paths ----

namespace {

std::string indexed(const std::string& key, std::size_t i, const char* field) {
    return key + "[" + std::to_string(i) + "]." + field;
}

void putPoint(base::Dictionary& d, const char* name, gfx::Point p) {
    d.set(std::string(name) + ".x", base::Value(static_cast<double>(p.x)));
    d.set(std::string(name) + ".y", base::Value(static_cast<double>(p.y)));
}

gfx::Point getPoint(const base::Dictionary& d, const char* name) {
    return {static_cast<CGFloat>(d.get(std::string(name) + ".x").doubleValue()),
            static_cast<CGFloat>(d.get(std::string(name) + ".y").doubleValue())};
}

}  // namespace

void MyCGPathApplierFunc(base::Array& elements, const gfx::PathElement& element) {
    base::Dictionary d;
    int type = static_cast<int>(element.type);
    d.set("type", base::Value(type));
    if (type >= 0 && type <= 3) putPoint(d, "point1", element.points[0]);
    if (type == 2 || type == 3) putPoint(d, "point2", element.points[1]);
    if (type == 3) putPoint(d, "point3", element.points[2]);
    elements.emplace_back(std::move(d));
}

void encodeCGPath(base::KeyedArchiver& coder, const gfx::Path& path, const std::string& key) {
    base::Array elements;
    path.apply([&elements](const gfx::PathElement& e) { MyCGPathApplierFunc(elements, e); });
    coder.encodeInteger(static_cast<long long>(elements.size()), key + ".count");
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const base::Dictionary& d = *elements[i].asDictionary();
        long long type = d.get("type").integerValue();
        coder.encodeInteger(type, indexed(key, i, "type"));
        if (type == 3) encodeCHTPoint(coder, getPoint(d, "point3"), indexed(key, i, "point3"));
        if (type == 2 || type == 3) encodeCHTPoint(coder, getPoint(d, "point2"), indexed(key, i, "point2"));
        if (type >= 0 && type <= 3) encodeCHTPoint(coder, getPoint(d, "point1"), indexed(key, i, "point1"));
    }
}

gfx::Path newCGPathDecode(base::KeyedUnarchiver& coder, const std::string& key) {
    gfx::Path path;
    long long count = coder.decodeInteger(key + ".count");
    for (long long i = 0; i < count; ++i) {
        std::size_t index = static_cast<std::size_t>(i);
        std::string typeKey = indexed(key, index, "type");
        if (!coder.containsValueForKey(typeKey)) break;
        long long type = coder.decodeInteger(typeKey);
        if (type < 0 || type > 4) continue;
        gfx::Point point1, point2, point3;
        if (type == 3) point3 = decodeCHTPoint(coder, indexed(key, index, "point3"));
        if (type == 2 || type == 3) point2 = decodeCHTPoint(coder, indexed(key, index, "point2"));
        if (type <= 3) point1 = decodeCHTPoint(coder, indexed(key, index, "point1"));
        switch (type) {
        case 0: path.moveTo(point1.x, point1.y); break;
        case 1: path.lineTo(point1.x, point1.y); break;
        case 2: path.quadCurveTo(point1.x, point1.y, point2.x, point2.y); break;
        case 3: path.curveTo(point1.x, point1.y, point2.x, point2.y, point3.x, point3.y); break;
        case 4: path.closeSubpath(); break;
        }
    }
    return path;
}

// ---- images ----

void encodeCGImage(base::KeyedArchiver& coder, const gfx::Image& image, const std::string& key) {
    coder.encodeInteger(image.width(), key + ".width");
    coder.encodeInteger(image.height(), key + ".height");
    coder.encodeInteger(image.bitsPerComponent(), key + ".bitsPerComponent");
    coder.encodeInteger(image.bitsPerPixel(), key + ".bitsPerPixel");
    coder.encodeInteger(image.bytesPerRow(), key + ".bytesPerRow");
    encodeCGColorSpace(coder, *gfx::ColorSpace::deviceRGB(), key + ".colorSpace");
    coder.encodeInteger(image.bitmapInfo(), key + ".bitmapInfo");
    coder.encodeData(image.pixelData(), key + ".provider");
    // Our images carry no decode array, so no component count is written.
    coder.encodeBool(image.shouldInterpolate(), key + ".shouldInterpolate");
    coder.encodeInteger(image.renderingIntent(), key + ".renderingIntent");
}

std::shared_ptr<gfx::Image> newCGImageDecode(base::KeyedUnarchiver& coder, const std::string& key) {
    long long width = coder.decodeInteger(key + ".width");
    long long height = coder.decodeInteger(key + ".height");
    long long bitsPerComponent = coder.decodeInteger(key + ".bitsPerComponent");
    long long bitsPerPixel = coder.decodeInteger(key + ".bitsPerPixel");
    long long bytesPerRow = coder.decodeInteger(key + ".bytesPerRow");
    auto colorSpace = newCGColorSpaceDecode(coder, key + ".colorSpace");
    (void)colorSpace;  // always device RGB, which is what images are made in
    long long bitmapInfo = coder.decodeInteger(key + ".bitmapInfo");
    base::Data pixels = coder.decodeData(key + ".provider");
    // A decode array is read for completeness; our images have none to apply.
    long long components = coder.decodeInteger(key + ".numberOfComponents");
    for (long long i = 0; i < components && i < 32; ++i) {
        decodeCGFloat(coder, key + ".decode[" + std::to_string(i) + "].lower");
        decodeCGFloat(coder, key + ".decode[" + std::to_string(i) + "].upper");
    }
    bool interpolate = coder.decodeBool(key + ".shouldInterpolate");
    long long intent = coder.decodeInteger(key + ".renderingIntent");

    // The archived layout must fit the pixel bytes before anything reads them.
    constexpr long long kLimit = 1 << 20;
    if (width <= 0 || height <= 0 || width > kLimit || height > kLimit) return nullptr;
    if (bitsPerComponent != 8 || (bitsPerPixel != 32 && bitsPerPixel != 24)) return nullptr;
    if (bytesPerRow < width * (bitsPerPixel / 8) || bytesPerRow > kLimit * 8) return nullptr;
    if (static_cast<unsigned long long>(bytesPerRow) * static_cast<unsigned long long>(height) > pixels.size())
        return nullptr;
    if (bitmapInfo < 0 || bitmapInfo > 0xFFFFFFFFLL) return nullptr;
    return gfx::Image::create(static_cast<int>(width), static_cast<int>(height), static_cast<int>(bitsPerComponent),
                              static_cast<int>(bitsPerPixel), static_cast<int>(bytesPerRow),
                              static_cast<std::uint32_t>(bitmapInfo), pixels, 1, interpolate,
                              static_cast<int>(std::clamp<long long>(intent, 0, 4)));
}

// ---- arrays of objects and sets of decimals ----

void encodeObjectArray(base::KeyedArchiver& coder, const std::vector<std::shared_ptr<const base::Coding>>& objects,
                       const std::string& key) {
    coder.encodeInteger(static_cast<long long>(objects.size()), key + ".count");
    for (std::size_t i = 0; i < objects.size(); ++i)
        coder.encodeObject(objects[i], key + "[" + std::to_string(i) + "]");
}

bool containsObjectArray(base::KeyedUnarchiver& coder, const std::string& key) {
    return coder.containsValueForKey(key + ".count");
}

std::vector<std::shared_ptr<base::Coding>> decodeObjectArray(base::KeyedUnarchiver& coder, const std::string& key) {
    long long count = std::clamp<long long>(coder.decodeInteger(key + ".count"), 0, kCHTMaximumArchivedElements);
    std::vector<std::shared_ptr<base::Coding>> out;
    for (long long i = 0; i < count; ++i) {
        std::string itemKey = key + "[" + std::to_string(i) + "]";
        if (!coder.containsValueForKey(itemKey)) break;  // a damaged count
        out.push_back(coder.decodeObject(itemKey));
    }
    return out;
}

void encodeDecimalSet(base::KeyedArchiver& coder, const std::set<base::Decimal>& values, const std::string& key) {
    base::Array texts;
    for (const auto& d : values) texts.emplace_back(d.toString());
    coder.encodeValue(base::Value(std::move(texts)), key);
}

std::set<base::Decimal> decodeDecimalSet(base::KeyedUnarchiver& coder, const std::string& key) {
    std::set<base::Decimal> out;
    base::Value value = coder.decodeValue(key);
    const base::Array* texts = value.asArray();
    if (!texts) return out;
    std::size_t n = std::min<std::size_t>(texts->size(), static_cast<std::size_t>(kCHTMaximumArchivedElements));
    for (std::size_t i = 0; i < n; ++i)
        if (const std::string* text = (*texts)[i].asString()) out.insert(base::Decimal::fromString(*text));
    return out;
}

// ---- colour spaces ----

void encodeCGColorSpace(base::KeyedArchiver&, const gfx::ColorSpace&, const std::string&) {
    base::log("Color space encoding is not supported on iOS. Decoding will return a generic RGB color space.");
}

std::shared_ptr<const gfx::ColorSpace> newCGColorSpaceDecode(base::KeyedUnarchiver&, const std::string&) {
    base::log("Color space decoding is not supported on iOS. Using generic RGB color space.");
    return gfx::ColorSpace::deviceRGB();
}

// ---- registration ----

void CHTRegisterCodingClasses() {
    base::KeyedUnarchiver::registerClass("CHTPlotRange", [] { return std::make_shared<CHTPlotRange>(); });
    base::KeyedUnarchiver::registerClass("CHTConstraints", [] { return std::make_shared<CHTConstraints>(); });
    base::KeyedUnarchiver::registerClass("CHTXYPlotSpace", [] { return std::make_shared<CHTXYPlotSpace>(); });
    registerNumericDataClasses();
    CHTRegisterDrawingCodingClasses();
    base::KeyedUnarchiver::registerClass("NSNumberFormatter", [] { return std::make_shared<base::NumberFormatter>(); });
    base::KeyedUnarchiver::registerClass("NSDateFormatter", [] { return std::make_shared<base::DateFormatter>(); });
    // One line per class file, so parallel chart work meets on one line at most.
    CHTAxisLabel::registerCodingClass();
    CHTAxisTitle::registerCodingClass();
    CHTTimeFormatter::registerCodingClass();
    CHTLimitBand::registerCodingClass();
    CHTAxis::registerCodingClass();
    CHTXYAxis::registerCodingClass();
    CHTAxisSet::registerCodingClass();
    CHTXYAxisSet::registerCodingClass();
    CHTPlotArea::registerCodingClass();
    CHTPlotGroup::registerCodingClass();
    CHTGridLineGroup::registerCodingClass();
    CHTGridLines::registerCodingClass();
    CHTAxisLabelGroup::registerCodingClass();
    CHTLayerAnnotation::registerCodingClass();
    CHTPlotSpaceAnnotation::registerCodingClass();
    CHTRegisterPlotCodingClasses();
    CHTXYGraph::registerCodingClasses();
}
