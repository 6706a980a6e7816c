#include "charts/CHTAxisLabel.h"

#include <gtest/gtest.h>

#include <cmath>

#include "charts/CHTAxisTitle.h"
#include "charts/CHTCoderExtensions.h"
#include "charts/CHTTimeFormatter.h"
#include "charts/ChartTestSupport.h"

using charttest::D;

namespace {

constexpr float kPi = 3.14159265358979f;

// A label whose content is a plain 40 x 20 layer (even sizes keep pixel
// alignment from moving the anchor).
std::shared_ptr<CHTAxisLabel> boxLabel() {
    return CHTAxisLabel::initWithContentLayer(std::make_shared<CHTLayer>(gfx::Rect(0, 0, 40, 20)));
}

void expectPoint(gfx::Point got, gfx::Point want) {
    EXPECT_NEAR(got.x, want.x, 1e-4);
    EXPECT_NEAR(got.y, want.y, 1e-4);
}

TEST(CHTAxisLabelTest, NeedsAContentLayer) {
    EXPECT_FALSE(CHTAxisLabel::initWithContentLayer(nullptr));
    EXPECT_FALSE(CHTAxisTitle::initWithContentLayer(nullptr));
    auto label = boxLabel();
    EXPECT_EQ(label->offset(), 20);
    EXPECT_EQ(label->rotation(), 0);
    EXPECT_EQ(label->alignment(), 1);
    EXPECT_TRUE(label->tickLocation() == D("0"));
    EXPECT_TRUE(std::isnan(CHTAxisTitle::initWithText("t", nullptr)->rotation()));
}

TEST(CHTAxisLabelTest, EqualityAndHashFollowTheTickLocation) {
    auto a = boxLabel(), b = boxLabel();
    a->setTickLocation(D("2"));
    b->setTickLocation(D("2.0"));
    EXPECT_TRUE(a->isEqual(b.get()));
    EXPECT_EQ(a->hash(), b->hash());
    EXPECT_EQ(a->hash(), 2u);
    b->setTickLocation(D("-3.5"));
    EXPECT_FALSE(a->isEqual(b.get()));
    EXPECT_EQ(b->hash(), 3u);
    b->setTickLocation(CHTDecimalNaN());
    EXPECT_EQ(b->hash(), 0u);
    auto title = CHTAxisTitle::initWithText("t", nullptr);
    title->setTickLocation(D("2"));
    EXPECT_TRUE(a->isEqual(title.get()));   // a title is a kind of label
    EXPECT_FALSE(title->isEqual(a.get()));  // a label is no title
    EXPECT_FALSE(a->isEqual(nullptr));
    EXPECT_EQ(a->description().rfind("<CHTAxisLabel {<CHTLayer bounds:", 0), 0u);
}

TEST(CHTAxisLabelTest, LabelBelowAHorizontalAxis) {
    auto label = boxLabel();
    label->positionRelativeToViewPoint({100, 50}, CHTCoordinateY, -1);
    expectPoint(label->contentLayer()->position(), {100, 30});
    expectPoint(label->contentLayer()->anchorPoint(), {0.5f, 1});

    label->setRotation(kPi / 2);
    label->positionRelativeToViewPoint({100, 50}, CHTCoordinateY, -1);
    expectPoint(label->contentLayer()->anchorPoint(), {1, 0.5f});

    // Above the axis, and shifted by its alignment.
    label->setRotation(0);
    label->setAlignment(CHTAlignmentLeft);
    label->positionRelativeToViewPoint({100, 50}, CHTCoordinateY, 1);
    expectPoint(label->contentLayer()->position(), {120, 70});
    expectPoint(label->contentLayer()->anchorPoint(), {0.5f, 0});
}

TEST(CHTAxisLabelTest, LabelBesideAVerticalAxis) {
    auto label = boxLabel();
    label->setAlignment(CHTAlignmentBottom);
    label->positionRelativeToViewPoint({50, 100}, CHTCoordinateX, -1);
    expectPoint(label->contentLayer()->position(), {30, 110});  // up by half its height
    expectPoint(label->contentLayer()->anchorPoint(), {1, 0.5f});
    label->setAlignment(CHTAlignmentTop);
    label->positionRelativeToViewPoint({50, 100}, CHTCoordinateX, 1);
    expectPoint(label->contentLayer()->position(), {70, 90});
    expectPoint(label->contentLayer()->anchorPoint(), {0, 0.5f});
    // Midpoint form.
    label->setAlignment(CHTAlignmentMiddle);
    label->positionBetweenViewPoint({50, 0}, {50, 100}, CHTCoordinateX, 0);
    expectPoint(label->contentLayer()->position(), {30, 50});
}

TEST(CHTAxisLabelTest, BadCoordinateOrDirectionRaise) {
    auto label = boxLabel();
    try {
        label->positionRelativeToViewPoint({0, 0}, 2, -1);
        FAIL();
    } catch (const base::Exception& e) {
        EXPECT_EQ(e.name(), "NSInvalidArgumentException");
        EXPECT_EQ(e.reason(), "Invalid coordinate in positionRelativeToViewPoint:forCoordinate:inDirection:");
    }
    try {
        label->positionRelativeToViewPoint({0, 0}, 1, 2);
        FAIL();
    } catch (const base::Exception& e) {
        EXPECT_EQ(e.name(), "NSInvalidArgumentException");
        EXPECT_EQ(e.reason(), "Invalid direction in positionRelativeToViewPoint:forCoordinate:inDirection:");
    }
    auto title = CHTAxisTitle::initWithContentLayer(std::make_shared<CHTLayer>(gfx::Rect(0, 0, 40, 20)));
    try {
        title->positionRelativeToViewPoint({0, 0}, 1, 5);
        FAIL();
    } catch (const base::Exception& e) {
        EXPECT_EQ(e.name(), "CHTException");
        EXPECT_EQ(e.reason(), "Invalid sign in positionRelativeToViewPoint:inDirection:");
    }
}

TEST(CHTAxisLabelTest, TitlesHangOffTheirAxis) {
    auto title = CHTAxisTitle::initWithContentLayer(std::make_shared<CHTLayer>(gfx::Rect(0, 0, 40, 20)));
    title->setOffset(30);
    // A vertical axis's title reads upwards, left of the axis.
    title->positionRelativeToViewPoint({50, 100}, CHTCoordinateX, -1);
    expectPoint(title->contentLayer()->position(), {20, 100});
    expectPoint(title->contentLayer()->anchorPoint(), {0.5f, 0});
    gfx::Transform3D quarter = gfx::Transform3D::makeRotation(kPi / 2, 0, 0, 1);
    EXPECT_NEAR(title->contentLayer()->transform().m11, quarter.m11, 1e-6);
    EXPECT_NEAR(title->contentLayer()->transform().m12, quarter.m12, 1e-6);
    // A horizontal axis's title stays level, below the axis.
    title->positionRelativeToViewPoint({100, 50}, CHTCoordinateY, -1);
    expectPoint(title->contentLayer()->position(), {100, 20});
    expectPoint(title->contentLayer()->anchorPoint(), {0.5f, 1});
    EXPECT_TRUE(title->contentLayer()->transform().isIdentity());
    title->positionRelativeToViewPoint({100, 50}, CHTCoordinateY, 1);
    expectPoint(title->contentLayer()->position(), {100, 80});
    expectPoint(title->contentLayer()->anchorPoint(), {0.5f, 0});
}

TEST(CHTAxisLabelTest, LabelSurvivesAnArchive) {
    CHTRegisterCodingClasses();
    auto label = CHTAxisLabel::initWithText("5.0", nullptr);
    label->setOffset(7);
    label->setRotation(0.25f);
    label->setAlignment(2);
    label->setTickLocation(D("5"));
    auto decoded = base::KeyedUnarchiver::unarchiveObjectOfType<CHTAxisLabel>(
        base::KeyedArchiver::archivedDataWithRootObject(label));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->offset(), 7);
    EXPECT_FLOAT_EQ(decoded->rotation(), 0.25f);
    EXPECT_EQ(decoded->alignment(), 2);
    EXPECT_TRUE(decoded->tickLocation() == D("5"));
    EXPECT_TRUE(decoded->contentLayer());
}

// ---- time formatter ----

std::shared_ptr<base::DateFormatter> utcFormatter() {
    auto f = std::make_shared<base::DateFormatter>();
    f->setLocale("en_US_POSIX");
    f->setTimeZone("UTC");
    f->setDateFormat("yyyy-MM-dd HH:mm");
    return f;
}

TEST(CHTTimeFormatterTest, SecondsAfterTheReferenceDate) {
    auto formatter = CHTTimeFormatter::initWithDateFormatter(utcFormatter());
    EXPECT_EQ(formatter->stringForObjectValue(0), "2001-01-01 00:00");
    EXPECT_EQ(formatter->stringFromDecimal(D("86400")), "2001-01-02 00:00");
    formatter->setReferenceDate(base::Date(1262304000));  // 2010-01-01 UTC
    EXPECT_EQ(formatter->stringForObjectValue(3600), "2010-01-01 01:00");
    EXPECT_EQ(formatter->stringFromNumber(std::nan("")), "");
    CHTTimeFormatter plain;
    EXPECT_EQ(plain.dateFormatter()->dateStyle(), base::DateFormatterStyle::Medium);
    EXPECT_EQ(plain.dateFormatter()->timeStyle(), base::DateFormatterStyle::Medium);
}

TEST(CHTTimeFormatterTest, CopiesAndArchivesItsSettings) {
    CHTRegisterCodingClasses();
    auto formatter = CHTTimeFormatter::initWithDateFormatter(utcFormatter());
    formatter->setReferenceDate(base::Date(1262304000));
    auto copy = formatter->copy();
    EXPECT_NE(copy->dateFormatter(), formatter->dateFormatter());
    EXPECT_EQ(copy->stringForObjectValue(60), formatter->stringForObjectValue(60));

    auto decoded = base::KeyedUnarchiver::unarchiveObjectOfType<CHTTimeFormatter>(
        base::KeyedArchiver::archivedDataWithRootObject(formatter));
    ASSERT_TRUE(decoded);
    ASSERT_TRUE(decoded->dateFormatter());
    EXPECT_EQ(decoded->referenceDate(), formatter->referenceDate());
    EXPECT_EQ(decoded->stringForObjectValue(7200), "2010-01-01 02:00");
}

TEST(CHTTimeFormatterTest, AxisLabelsShowDates) {
    auto formatter = CHTTimeFormatter::initWithDateFormatter(utcFormatter());
    std::shared_ptr<base::NumberFormatter> asNumberFormatter = formatter;
    EXPECT_EQ(asNumberFormatter->stringFromDecimal(D("3600")), "2001-01-01 01:00");
}

}  // namespace
