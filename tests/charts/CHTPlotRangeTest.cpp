#include "charts/CHTPlotRange.h"

#include <gtest/gtest.h>

#include <cmath>

#include "ChartTestSupport.h"

using charttest::D;

namespace {
std::shared_ptr<CHTPlotRange> R(const char* location, const char* length) {
    return CHTPlotRange::plotRangeWithLocation(D(location), D(length));
}
void expectRange(const CHTPlotRange& r, const char* location, const char* length) {
    EXPECT_TRUE(CHTDecimalEquals(r.location(), D(location))) << r.description();
    EXPECT_TRUE(CHTDecimalEquals(r.length(), D(length))) << r.description();
    EXPECT_EQ(r.locationDouble(), D(location).toDouble());
    EXPECT_EQ(r.lengthDouble(), D(length).toDouble());
}
}  // namespace

TEST(CHTPlotRangeLimits, NegativeLength) {
    auto r = R("5", "-3");
    EXPECT_EQ(r->minLimit().toString(), "2");
    EXPECT_EQ(r->maxLimit().toString(), "5");
    EXPECT_EQ(r->end().toString(), "2");
    EXPECT_EQ(r->midPoint().toString(), "3.5");
    EXPECT_EQ(r->minLimitDouble(), 2.0);
    EXPECT_EQ(r->maxLimitDouble(), 5.0);
    EXPECT_EQ(r->midPointDouble(), 3.5);
    EXPECT_TRUE(r->contains(D("2")));
    EXPECT_TRUE(r->contains(D("5")));
    EXPECT_FALSE(r->contains(D("1.999")));
    EXPECT_EQ(r->compareToDouble(6), 2);
    EXPECT_EQ(r->compareToDouble(1), 0);
    EXPECT_EQ(r->compareToDouble(3), 1);
    EXPECT_EQ(r->compareToDecimal(D("6")), 2);
    EXPECT_EQ(r->compareToDecimal(D("1")), 0);
    EXPECT_EQ(r->compareToNumber(base::Number(D("5.0000001"))), 2);
    EXPECT_EQ(r->compareToNumber(base::Number(1.5)), 0);
    EXPECT_EQ(r->compareToNumber(base::Number(3)), 1);
    EXPECT_EQ(r->compareToNumber(base::Number(std::nan(""))), 1);
}

TEST(CHTPlotRangeLimits, ZeroLengthAndNaN) {
    auto r = R("4", "0");
    EXPECT_TRUE(CHTDecimalEquals(r->minLimit(), r->maxLimit()));
    EXPECT_TRUE(r->contains(D("4")));
    EXPECT_FALSE(r->contains(D("4.0000001")));
    EXPECT_FALSE(r->containsDouble(std::nan("")));
    EXPECT_FALSE(r->contains(CHTDecimalNaN()));
    EXPECT_EQ(r->compareToDouble(std::nan("")), 1);
    r->setLength(CHTDecimalNaN());
    EXPECT_EQ(r->minLimitDouble(), 4.0);
    EXPECT_EQ(r->maxLimitDouble(), 4.0);
}

TEST(CHTPlotRangeSetters, MirrorsFollowTheDecimals) {
    CHTPlotRange r;
    expectRange(r, "0", "0");
    r.setLocation(D("0.1"));
    EXPECT_EQ(r.locationDouble(), 0.1);
    r.setLength(D("-2.5"));
    EXPECT_EQ(r.lengthDouble(), -2.5);
    // An equal value in another form keeps the stored one.
    r.setLocation(D("0.10"));
    EXPECT_EQ(r.location().exponent, D("0.1").exponent);
}

TEST(CHTPlotRangeEquality, ByLocationAndLength) {
    EXPECT_TRUE(R("1", "2")->isEqualToRange(R("1.0", "2").get()));
    EXPECT_FALSE(R("1", "2")->isEqualToRange(R("3", "-2").get()));
    EXPECT_FALSE(R("1", "2")->isEqualToRange(nullptr));
    auto copy = R("1", "2")->copy();
    expectRange(*copy, "1", "2");
}

TEST(CHTPlotRangeSetOperations, IntersectionKeepsTheReceiversSign) {
    auto a = R("0", "10");
    a->intersectionPlotRange(R("5", "10").get());
    expectRange(*a, "5", "5");
    auto b = R("10", "-10");
    b->intersectionPlotRange(R("5", "10").get());
    expectRange(*b, "10", "-5");
    auto c = R("0", "1");
    c->intersectionPlotRange(R("5", "1").get());
    expectRange(*c, "0", "0");
    auto d = R("3", "1");
    d->intersectionPlotRange(nullptr);
    expectRange(*d, "3", "1");
}

TEST(CHTPlotRangeSetOperations, UnionKeepsTheReceiversSign) {
    auto a = R("0", "1");
    a->unionPlotRange(R("5", "1").get());
    expectRange(*a, "0", "6");
    auto b = R("1", "-1");
    b->unionPlotRange(R("5", "1").get());
    expectRange(*b, "6", "-6");
    // A negative other range counts by its limits.
    auto c = R("0", "1");
    c->unionPlotRange(R("5", "-10").get());
    expectRange(*c, "-5", "10");
}

TEST(CHTPlotRangeExpansion, AboutTheMidpoint) {
    auto a = R("0", "10");
    a->expandRangeByFactor(D("2"));
    expectRange(*a, "-5", "20");
    auto b = R("0", "10");
    b->expandRangeByFactor(D("0"));
    expectRange(*b, "5", "0");
}

TEST(CHTPlotRangeShifts, LocationAndEnd) {
    auto fit = R("0", "10");
    auto a = R("8", "5");
    a->shiftEndToFitInRange(fit.get());
    expectRange(*a, "5", "5");
    auto b = R("-3", "5");
    b->shiftEndToFitInRange(fit.get());
    expectRange(*b, "-3", "5");
    auto c = R("12", "5");
    c->shiftLocationToFitInRange(fit.get());
    expectRange(*c, "10", "5");
    auto d = R("-2", "1");
    d->shiftLocationToFitInRange(fit.get());
    expectRange(*d, "0", "1");
}

TEST(CHTPlotRangeShifts, MissingOtherRangeIsReported) {
    charttest::ScopedAssertionRecorder recorder;
    auto a = R("1", "1");
    EXPECT_THROW(a->shiftLocationToFitInRange(nullptr), base::Exception);
    EXPECT_THROW(a->shiftEndToFitInRange(nullptr), base::Exception);
    ASSERT_EQ(recorder.failures().size(), 2u);
    EXPECT_EQ(recorder.failures()[0].description, "Invalid parameter not satisfying: otherRange");
    EXPECT_EQ(recorder.failures()[0].file, "Charts/Source/CHTPlotRange");
}

TEST(CHTPlotRangeText, Description) {
    auto a = R("1.5", "-2");
    std::string text = a->description();
    EXPECT_EQ(text.rfind("<<CHTPlotRange: ", 0), 0u);
    EXPECT_NE(text.find("> {1.5, -2}>"), std::string::npos);
}

TEST(CHTPlotRangeLimits, NotANumberLengthAnswersAlikeInDecimalAndDouble) {
    auto r = R("4", "1");
    r->setLength(CHTDecimalNaN());
    EXPECT_TRUE(CHTDecimalEquals(r->minLimit(), D("4")));
    EXPECT_TRUE(CHTDecimalEquals(r->maxLimit(), D("4")));
    for (const char* v : {"-100", "3", "4", "4.5", "100"}) {
        EXPECT_EQ(r->contains(D(v)), r->containsDouble(D(v).toDouble())) << v;
        EXPECT_EQ(r->compareToDecimal(D(v)), r->compareToDouble(D(v).toDouble())) << v;
    }
    EXPECT_TRUE(r->contains(D("4")));
    EXPECT_FALSE(r->contains(D("3")));
}
