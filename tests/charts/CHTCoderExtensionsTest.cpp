#include "charts/CHTCoderExtensions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <typeinfo>

#include "ChartTestSupport.h"
#include "charts/CHTConstraints.h"
#include "charts/CHTMutableNumericData.h"
#include "charts/CHTXYPlotSpace.h"
#include "platform/base/Log.h"

namespace {

// An object whose encoding and decoding are given by the test.
class Probe : public base::Coding {
public:
    std::function<void(base::KeyedArchiver&)> encode;
    std::function<void(base::KeyedUnarchiver&)> decode;
    std::string classForCoder() const override { return "TestProbe"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override {
        if (encode) encode(coder);
    }
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override {
        if (decode) decode(coder);
        return nullptr;
    }
};

// Encodes through the probe and decodes the archive with `decode`; answers
// the probe's archived dictionary.
base::Dictionary roundTrip(std::function<void(base::KeyedArchiver&)> encode,
                           std::function<void(base::KeyedUnarchiver&)> decode) {
    auto probe = std::make_shared<Probe>();
    probe->encode = std::move(encode);
    base::KeyedArchiver archiver;
    base::Value archive = archiver.archiveRootObject(probe);
    base::KeyedUnarchiver::registerClass("TestProbe", [decode = std::move(decode)] {
        auto p = std::make_shared<Probe>();
        p->decode = decode;
        return p;
    });
    auto back = base::KeyedUnarchiver::unarchiveObjectWithData(archive.toBinaryPlist());
    EXPECT_NE(back, nullptr);
    return *(*archive["$objects"].asArray())[1].asDictionary();
}

class CodingTest : public ::testing::Test {
protected:
    void SetUp() override {
        CHTRegisterCodingClasses();
        previousSink_ = base::setLogSinkForTesting([this](const std::string& line) { logLines.push_back(line); });
    }
    void TearDown() override { base::setLogSinkForTesting(previousSink_); }
    std::vector<std::string> logLines;

private:
    base::LogSink previousSink_;
};

}  // namespace

TEST_F(CodingTest, PointsSizesAndRectsUseNestedKeys) {
    gfx::Point point;
    gfx::Rect rect;
    base::Dictionary d = roundTrip(
        [](base::KeyedArchiver& c) {
            encodeCHTPoint(c, {1.5f, -2}, "pos");
            encodeCHTRect(c, {1, 2, 3, 4}, "frame");
            encodeCGFloat(c, 0.25f, "f");
        },
        [&](base::KeyedUnarchiver& c) {
            point = decodeCHTPoint(c, "pos");
            rect = decodeCHTRect(c, "frame");
        });
    EXPECT_EQ(d.get("pos.x").doubleValue(), 1.5);
    EXPECT_EQ(d.get("pos.y").doubleValue(), -2);
    for (const char* k : {"frame.origin.x", "frame.origin.y", "frame.size.width", "frame.size.height"})
        EXPECT_TRUE(d.contains(k)) << k;
    EXPECT_EQ(point, gfx::Point(1.5f, -2));
    EXPECT_EQ(rect, gfx::Rect(1, 2, 3, 4));
}

TEST_F(CodingTest, DecimalsFromTextNumbersOrNothing) {
    base::Decimal fromText, fromNumber, missing, wrong;
    roundTrip(
        [](base::KeyedArchiver& c) {
            c.encodeString("12.5", "text");
            c.encodeInteger(7, "number");
            c.encodeData({1, 2}, "data");
        },
        [&](base::KeyedUnarchiver& c) {
            fromText = decodeDecimal(c, "text");
            fromNumber = decodeDecimal(c, "number");
            missing = decodeDecimal(c, "missing");
            wrong = decodeDecimal(c, "data");
        });
    EXPECT_EQ(fromText.toString(), "12.5");
    EXPECT_EQ(fromNumber.toString(), "7");
    EXPECT_TRUE(CHTDecimalIsNaN(missing));
    EXPECT_TRUE(CHTDecimalIsNaN(wrong));
}

TEST_F(CodingTest, PathOfMoveLineClose) {
    gfx::Path path;
    path.moveTo(1, 2);
    path.lineTo(3, 4);
    path.closeSubpath();
    gfx::Path back;
    base::Dictionary d = roundTrip([&](base::KeyedArchiver& c) { encodeCGPath(c, path, "p"); },
                                   [&](base::KeyedUnarchiver& c) { back = newCGPathDecode(c, "p"); });
    EXPECT_EQ(d.get("p.count").integerValue(), 3);
    EXPECT_EQ(d.get("p[0].type").integerValue(), 0);
    EXPECT_EQ(d.get("p[1].type").integerValue(), 1);
    EXPECT_EQ(d.get("p[2].type").integerValue(), 4);
    EXPECT_TRUE(d.contains("p[0].point1.x"));
    EXPECT_TRUE(d.contains("p[1].point1.y"));
    EXPECT_FALSE(d.contains("p[2].point1.x"));
    EXPECT_FALSE(d.contains("p[1].point2.x"));
    EXPECT_EQ(back, path);
}

TEST_F(CodingTest, PathWithCurves) {
    gfx::Path path;
    path.moveTo(0, 0);
    path.curveTo(1, 2, 3, 4, 5, 6);
    path.quadCurveTo(7, 8, 9, 10);
    gfx::Path back;
    base::Dictionary d = roundTrip([&](base::KeyedArchiver& c) { encodeCGPath(c, path, "p"); },
                                   [&](base::KeyedUnarchiver& c) { back = newCGPathDecode(c, "p"); });
    for (const char* k : {"p[1].point1.x", "p[1].point2.y", "p[1].point3.x", "p[2].point2.x"})
        EXPECT_TRUE(d.contains(k)) << k;
    EXPECT_FALSE(d.contains("p[2].point3.x"));
    EXPECT_EQ(back, path);
    EXPECT_EQ(back.elements()[1].points[2], gfx::Point(5, 6));
}

TEST_F(CodingTest, DamagedPathCountStopsAtTheMissingElement) {
    gfx::Path back;
    roundTrip(
        [](base::KeyedArchiver& c) {
            c.encodeInteger(1LL << 40, "p.count");
            c.encodeInteger(0, "p[0].type");
            c.encodeInteger(9, "p[1].type");  // unknown kind: skipped
        },
        [&](base::KeyedUnarchiver& c) { back = newCGPathDecode(c, "p"); });
    EXPECT_EQ(back.elements().size(), 1u);
}

TEST_F(CodingTest, ImagesRoundTripAndBadSizesGiveNoImage) {
    std::vector<std::uint8_t> pixels(2 * 2 * 4, 0);
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = 255;      // B
        pixels[i + 3] = 255;  // A
    }
    auto image = gfx::Image::create(2, 2, 8, 32, 8, gfx::Image::kPremultipliedFirst32Little, pixels);
    ASSERT_NE(image, nullptr);
    std::shared_ptr<gfx::Image> back;
    base::Dictionary d = roundTrip([&](base::KeyedArchiver& c) { encodeCGImage(c, *image, "img"); },
                                   [&](base::KeyedUnarchiver& c) { back = newCGImageDecode(c, "img"); });
    ASSERT_NE(back, nullptr);
    EXPECT_TRUE(*back == *image);
    EXPECT_FALSE(d.contains("img.numberOfComponents"));
    EXPECT_TRUE(d.contains("img.provider"));
    EXPECT_FALSE(d.contains("img.colorSpace"));

    // An archived size larger than the pixel bytes.
    std::shared_ptr<gfx::Image> bad = image;
    roundTrip(
        [&](base::KeyedArchiver& c) {
            encodeCGImage(c, *image, "img");
            c.encodeInteger(1000, "img.height");
        },
        [&](base::KeyedUnarchiver& c) { bad = newCGImageDecode(c, "img"); });
    EXPECT_EQ(bad, nullptr);
    std::shared_ptr<gfx::Image> missing = image;
    roundTrip([](base::KeyedArchiver&) {}, [&](base::KeyedUnarchiver& c) { missing = newCGImageDecode(c, "img"); });
    EXPECT_EQ(missing, nullptr);
}

TEST_F(CodingTest, ColorSpacesAreNotArchived) {
    std::shared_ptr<const gfx::ColorSpace> space;
    base::Dictionary d =
        roundTrip([](base::KeyedArchiver& c) { encodeCGColorSpace(c, *gfx::ColorSpace::deviceGray(), "cs"); },
                  [&](base::KeyedUnarchiver& c) { space = newCGColorSpaceDecode(c, "cs"); });
    EXPECT_EQ(d.size(), 1u);  // only the class name
    ASSERT_NE(space, nullptr);
    EXPECT_EQ(space->model(), gfx::ColorSpace::Model::RGB);
    ASSERT_EQ(logLines.size(), 2u);
    EXPECT_NE(logLines[0].find("Color space encoding is not supported on iOS. Decoding will return a generic RGB "
                               "color space."),
              std::string::npos);
    EXPECT_NE(logLines[1].find("Color space decoding is not supported on iOS. Using generic RGB color space."),
              std::string::npos);
}

namespace {

// A chart owning a plot space, a range held twice, constraints and data.
class Chart : public base::Coding {
public:
    std::shared_ptr<CHTXYPlotSpace> space;
    std::shared_ptr<CHTPlotRange> range;
    std::shared_ptr<CHTPlotRange> sameRange;
    std::shared_ptr<CHTConstraints> constraints;
    std::shared_ptr<CHTNumericData> data;
    std::shared_ptr<CHTMutableNumericData> cache;
    std::string classForCoder() const override { return "TestChart"; }
    void encodeWithCoder(base::KeyedArchiver& c) const override {
        c.encodeObject(space, "space");
        c.encodeObject(range, "range");
        c.encodeObject(sameRange, "sameRange");
        c.encodeObject(constraints, "constraints");
        c.encodeObject(data, "data");
        c.encodeObject(cache, "cache");
    }
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& c) override {
        space = c.decodeObjectOfType<CHTXYPlotSpace>("space");
        range = c.decodeObjectOfType<CHTPlotRange>("range");
        sameRange = c.decodeObjectOfType<CHTPlotRange>("sameRange");
        constraints = c.decodeObjectOfType<CHTConstraints>("constraints");
        data = c.decodeObjectOfType<CHTNumericData>("data");
        cache = c.decodeObjectOfType<CHTMutableNumericData>("cache");
        return nullptr;
    }
};

// A graph that can be archived, so the plot space's back pointer can be.
class ArchivableGraph : public CHTPlotSpaceGraph, public base::Coding {
public:
    std::shared_ptr<CHTXYPlotSpace> space;
    bool hasPlotAreaFrame() const override { return true; }
    bool hasPlotArea() const override { return true; }
    gfx::Size plotAreaBoundsSize() const override { return {100, 100}; }
    bool plotAreaContainsPoint(gfx::Point) const override { return true; }
    gfx::Point convertPointToPlotAreaFrame(gfx::Point p) const override { return p; }
    bool plotAreaFrameContainsPoint(gfx::Point) const override { return true; }
    std::string classForCoder() const override { return "TestGraph"; }
    void encodeWithCoder(base::KeyedArchiver& c) const override { c.encodeObject(space, "space"); }
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& c) override {
        space = c.decodeObjectOfType<CHTXYPlotSpace>("space");
        return nullptr;
    }
};

}  // namespace

TEST_F(CodingTest, ArchiveRoundTripOfChartValues) {
    base::KeyedUnarchiver::registerClass("TestChart", [] { return std::make_shared<Chart>(); });
    auto chart = std::make_shared<Chart>();
    chart->space = std::make_shared<CHTXYPlotSpace>();
    chart->space->setXRange(CHTPlotRange::plotRangeWithLocation(charttest::D("-1.5"), charttest::D("20")));
    chart->space->setGlobalYRange(CHTPlotRange::plotRangeWithLocation(charttest::D("0"), charttest::D("100")));
    chart->space->setYScaleType(CHTScaleTypeLog);
    chart->space->setIdentifier(base::Value("main"));
    chart->space->setAllowsUserInteraction(true);
    chart->range = CHTPlotRange::plotRangeWithLocation(charttest::D("0.1"), charttest::D("-3"));
    chart->sameRange = chart->range;
    chart->constraints = CHTConstraints::constraintWithUpperOffset(12.5f);
    chart->data = CHTNumericData::numericDataWithArray({base::Number(1.5), base::Number(-2.0)}, ">f8", CHTShape{2});
    chart->cache = chart->data->mutableCopy();
    chart->cache->setDataType(CHTDataType(5, 20, 1));

    base::KeyedArchiver archiver;
    base::Value archive = archiver.archiveRootObject(chart);
    auto back = base::KeyedUnarchiver::unarchiveObjectOfType<Chart>(archive.toBinaryPlist());
    ASSERT_NE(back, nullptr);

    ASSERT_NE(back->space, nullptr);
    EXPECT_TRUE(back->space->xRange()->isEqualToRange(chart->space->xRange().get()));
    EXPECT_TRUE(back->space->yRange()->isEqualToRange(chart->space->yRange().get()));
    EXPECT_TRUE(back->space->globalYRange()->isEqualToRange(chart->space->globalYRange().get()));
    EXPECT_EQ(back->space->globalXRange(), nullptr);
    EXPECT_EQ(back->space->yScaleType(), CHTScaleTypeLog);
    EXPECT_EQ(back->space->identifier(), base::Value("main"));
    EXPECT_TRUE(back->space->allowsUserInteraction());
    EXPECT_FALSE(back->space->isDragging());

    ASSERT_NE(back->range, nullptr);
    EXPECT_TRUE(back->range->isEqualToRange(chart->range.get()));
    EXPECT_EQ(back->range->locationDouble(), 0.1);
    EXPECT_EQ(back->range, back->sameRange);  // shared stays shared

    ASSERT_NE(back->constraints, nullptr);
    EXPECT_TRUE(back->constraints->isEqualToConstraint(chart->constraints.get()));
    EXPECT_NE(dynamic_cast<_CHTConstraintsFixed*>(back->constraints.get()), nullptr);

    ASSERT_NE(back->data, nullptr);
    EXPECT_EQ(back->data->data(), chart->data->data());
    EXPECT_TRUE(CHTDataTypeEqualToDataType(back->data->dataType(), chart->data->dataType()));
    EXPECT_EQ(back->data->shape(), chart->data->shape());
    EXPECT_EQ(back->data->sampleValue(1)->doubleValue(), -2.0);
    ASSERT_NE(back->cache, nullptr);
    EXPECT_EQ(back->cache->data(), chart->cache->data());
    EXPECT_EQ(back->cache->sampleValue(0)->decimalValue().toString(), "1.5");

    // Archives name the public classes and the documented keys.
    const base::Array& objects = *archive["$objects"].asArray();
    bool sawConstraints = false, sawMutableKeys = false, sawRangeKeys = false;
    for (const base::Value& o : objects) {
        const base::Dictionary* d = o.asDictionary();
        if (!d) continue;
        const std::string* cls = d->get("$class").asString();
        if (cls && *cls == "CHTConstraints") sawConstraints = d->contains("_CHTConstraintsFixed.offset");
        if (cls && *cls == "CHTMutableNumericData") sawMutableKeys = d->contains("data") && d->contains("shape");
        if (cls && *cls == "CHTXYPlotSpace")
            sawRangeKeys = d->contains("CHTXYPlotSpace.xRange") && d->contains("CHTXYPlotSpace.yScaleType");
    }
    EXPECT_TRUE(sawConstraints);
    EXPECT_TRUE(sawMutableKeys);
    EXPECT_TRUE(sawRangeKeys);
}

TEST_F(CodingTest, PlotSpaceGraphIsConditional) {
    base::KeyedUnarchiver::registerClass("TestGraph", [] { return std::make_shared<ArchivableGraph>(); });
    auto graph = std::make_shared<ArchivableGraph>();
    graph->space = std::make_shared<CHTXYPlotSpace>();
    graph->space->setGraph(graph);
    auto back = base::KeyedUnarchiver::unarchiveObjectOfType<ArchivableGraph>(
        base::KeyedArchiver::archivedDataWithRootObject(graph));
    ASSERT_NE(back, nullptr);
    ASSERT_NE(back->space, nullptr);
    EXPECT_EQ(back->space->graph(), std::static_pointer_cast<CHTPlotSpaceGraph>(back));
    // The plot space alone does not drag its graph into the archive.
    auto lone = base::KeyedUnarchiver::unarchiveObjectOfType<CHTXYPlotSpace>(
        base::KeyedArchiver::archivedDataWithRootObject(graph->space));
    ASSERT_NE(lone, nullptr);
    EXPECT_EQ(lone->graph(), nullptr);
}

TEST_F(CodingTest, ConstraintsDecodeAsTheirKindOrTheAbstractOne) {
    auto relative = base::KeyedUnarchiver::unarchiveObjectOfType<CHTConstraints>(
        base::KeyedArchiver::archivedDataWithRootObject(CHTConstraints::constraintWithRelativeOffset(0.5f)));
    ASSERT_NE(relative, nullptr);
    EXPECT_TRUE(relative->isEqualToConstraint(CHTConstraints::constraintWithRelativeOffset(0.5f).get()));
    auto lower = base::KeyedUnarchiver::unarchiveObjectOfType<CHTConstraints>(
        base::KeyedArchiver::archivedDataWithRootObject(CHTConstraints::constraintWithLowerOffset(3)));
    EXPECT_TRUE(lower->isEqualToConstraint(CHTConstraints::constraintWithLowerOffset(3).get()));
    auto abstract = base::KeyedUnarchiver::unarchiveObjectOfType<CHTConstraints>(
        base::KeyedArchiver::archivedDataWithRootObject(std::make_shared<CHTConstraints>()));
    ASSERT_NE(abstract, nullptr);
    const CHTConstraints& decoded = *abstract;
    EXPECT_EQ(typeid(decoded), typeid(CHTConstraints));
    EXPECT_TRUE(std::isnan(abstract->positionForLowerBound(0, 1)));
}

TEST_F(CodingTest, NumericDataWithADamagedShapeRaises) {
    auto data = CHTNumericData::numericDataWithArray({base::Number(1.0), base::Number(2.0)}, "<f8", std::nullopt);
    base::KeyedArchiver archiver;
    base::Value archive = archiver.archiveRootObject(data);
    base::Dictionary* entry = (*archive.asDictionary()->find("$objects")->asArray())[1].asDictionary();
    entry->set("CHTNumericData.shape", base::Value(base::Array{base::Value(3)}));
    try {
        base::KeyedUnarchiver::unarchiveObjectWithData(archive.toBinaryPlist());
        ADD_FAILURE();
    } catch (const base::Exception& e) {
        EXPECT_EQ(e.name(), "CHTNumericDataException");
    }
}
