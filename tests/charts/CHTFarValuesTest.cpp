// Values far outside the plot range: a scatter line, its area fill, OHLC
// bars and candlesticks reaching to a value millions of pixels off the plot
// are drawn, inside the plot, exactly as the same marks reaching to a value
// just off its edge; and a trading range record whose open and high can
// both not be placed is skipped whether they are missing, infinite or
// beyond a decimal.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "TestEnvironment.h"
#include "charts/CHTColor.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTTradingRangePlot.h"
#include "charts/PlotTestSupport.h"
#include "platform/gfx/Image.h"

using namespace plottest;
using charttest::D;

namespace {

// NaN stands for a missing value.
CHTPlotNumberArray numbers(const std::vector<double>& values) {
    CHTPlotNumberArray out;
    for (double v : values) out.push_back(std::isnan(v) ? std::nullopt : std::optional<base::Number>(base::Number(v)));
    return out;
}

// The first pixel where two pictures differ by more than the tolerance in
// a component, or success.
::testing::AssertionResult samePixels(const gfx::Image& a, const gfx::Image& b, int tolerance = 0) {
    if (a.width() != b.width() || a.height() != b.height()) return ::testing::AssertionFailure() << "sizes differ";
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const auto p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(p.r - q.r) > tolerance || std::abs(p.g - q.g) > tolerance || std::abs(p.b - q.b) > tolerance ||
                std::abs(p.a - q.a) > tolerance)
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is (" << int(p.r) << ", " << int(p.g) << ", " << int(p.b)
                       << ", " << int(p.a) << ") against (" << int(q.r) << ", " << int(q.g) << ", " << int(q.b) << ", "
                       << int(q.a) << ")";
        }
    return ::testing::AssertionSuccess();
}

long paintedPixels(const gfx::Image& image) {
    long n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y).a > 0;
    return n;
}

constexpr double kPrecisions[] = {CHTPlotCachePrecisionDouble, CHTPlotCachePrecisionDecimal};

// A 0..10 by 0..10 plot of 300 points, drawn at scale 2 as charts are.
struct FarStage {
    FarStage() : stage({300, 300}, 0, 10, 0, 10) {}
    std::shared_ptr<gfx::Image> draw(CHTPlot& plot) {
        gfx::ImageContext ctx({300, 300}, 2, gfx::YAxis::Up);
        plot.renderAsVectorInContext(ctx);
        return ctx.image();
    }
    Stage stage;
};

// Each far value with a value just off the same edge (15 points beyond it).
struct FarCase {
    double far;
    double nearby;
};
constexpr FarCase kFarCases[] = {{1e6, 10.5}, {-1e6, -0.5}, {1e12, 10.5}};

}  // namespace

TEST(CHTFarValuesTest, AScatterLineAndItsAreaReachingAFarValueLookAsReachingJustOffTheEdge) {
    auto picture = [](double value, int precision) {
        FarStage s;
        auto plot = s.stage.add(std::make_shared<CHTScatterPlot>());
        plot->setCachePrecision(precision);
        auto line = CHTLineStyle::lineStyle();
        line->setLineWidth(3);
        line->setLineColor(CHTColor::blueColor());
        plot->setDataLineStyle(line);
        plot->setAreaFill(CHTFill::fillWithColor(CHTColor::greenColor()));
        plot->setAreaBaseValue(D("2"));
        // Across to x 5, up (or down) to the value, across at it to x 8.
        plot->setXValues(numbers({2, 5, 5, 8}));
        plot->setYValues(numbers({5, 5, value, value}));
        return s.draw(*plot);
    };
    for (int precision : kPrecisions)
        for (const FarCase& c : kFarCases) {
            SCOPED_TRACE(testing::Message() << c.far << (precision == CHTPlotCachePrecisionDouble ? " doubles" : ""));
            const auto nearby = picture(c.nearby, precision);
            ASSERT_GT(nearby->pixel(300, c.far > 0 ? 20 : 580).a, 0);  // the line leaves the plot at x 5
            EXPECT_TRUE(samePixels(*picture(c.far, precision), *nearby));
        }
}

TEST(CHTFarValuesTest, OHLCBarsAndCandlesticksReachingAFarValueLookAsReachingJustOffTheEdge) {
    // A high (or low) at the value, a body closing at it, a body opening at
    // it; wicks; OHLC ticks at it.
    auto picture = [](CHTTradingRangePlotStyle style, double value, int precision, CGFloat cornerRadius = 0) {
        FarStage s;
        auto plot = s.stage.add(std::make_shared<CHTTradingRangePlot>());
        plot->setCachePrecision(precision);
        plot->setPlotStyle(style);
        plot->setBarWidth(20);
        plot->setStickLength(10);
        plot->setBarCornerRadius(cornerRadius);
        auto line = CHTLineStyle::lineStyle();
        line->setLineWidth(3);
        line->setLineColor(CHTColor::blueColor());
        plot->setLineStyle(line);
        plot->setIncreaseFill(CHTFill::fillWithColor(CHTColor::greenColor()));
        plot->setDecreaseFill(CHTFill::fillWithColor(CHTColor::redColor()));
        const bool above = value > 10;
        plot->setXValues(numbers({2, 5, 8}));
        plot->setOpenValues(numbers({4, 3, value}));
        plot->setHighValues(numbers({above ? value : 8.0, 9, 9}));
        plot->setLowValues(numbers({above ? 2.0 : value, 1, 1}));
        plot->setCloseValues(numbers({6, value, above ? 3.0 : 7.0}));
        return s.draw(*plot);
    };
    for (CHTTradingRangePlotStyle style : {CHTTradingRangePlotStyleOHLC, CHTTradingRangePlotStyleCandleStick})
        for (int precision : kPrecisions)
            for (const FarCase& c : kFarCases) {
                SCOPED_TRACE(testing::Message() << c.far << (style == CHTTradingRangePlotStyleOHLC ? " OHLC" : "")
                                                << (precision == CHTPlotCachePrecisionDouble ? " doubles" : ""));
                const auto nearby = picture(style, c.nearby, precision);
                // The high-low line of the first record leaves the plot.
                ASSERT_GT(nearby->pixel(120, c.far > 0 ? 5 : 595).a, 0);
                EXPECT_TRUE(samePixels(*picture(style, c.far, precision), *nearby));
            }
    // Rounded corners at the far end. Cairo strokes an outline of only
    // level and upright lines (what the far body's becomes once clipped)
    // by another route than one with curves, which shades the near corners
    // and ends up to 9 levels apart.
    for (const FarCase& c : kFarCases) {
        SCOPED_TRACE(c.far);
        EXPECT_TRUE(samePixels(*picture(CHTTradingRangePlotStyleCandleStick, c.far, CHTPlotCachePrecisionDouble, 4),
                               *picture(CHTTradingRangePlotStyleCandleStick, c.nearby, CHTPlotCachePrecisionDouble, 4),
                               16));
    }
}

TEST(CHTFarValuesTest, ARecordWhoseOpenAndHighCannotBePlacedIsSkippedWhateverMakesThemSo) {
    const double inf = std::numeric_limits<double>::infinity();
    // Missing, infinite either way, beyond a decimal, beyond a view
    // coordinate.
    const double bad[] = {NaN, inf, -inf, 1e200, -std::numeric_limits<double>::max()};
    for (CHTTradingRangePlotStyle style : {CHTTradingRangePlotStyleOHLC, CHTTradingRangePlotStyleCandleStick})
        for (int precision : kPrecisions) {
            SCOPED_TRACE(testing::Message() << (style == CHTTradingRangePlotStyleOHLC ? "OHLC" : "candlestick")
                                            << (precision == CHTPlotCachePrecisionDouble ? " doubles" : " decimals"));
            Stage stage({100, 100}, 0, 10, 0, 100);
            auto plot = stage.add(std::make_shared<CHTTradingRangePlot>());
            plot->setAlignsPointsToPixels(false);
            plot->setCachePrecision(precision);
            plot->setPlotStyle(style);
            // Every pair of bad values as open and high, then a record whose
            // open alone is missing: it takes its x from the high.
            std::vector<double> open, high;
            for (double o : bad)
                for (double h : bad) {
                    open.push_back(o);
                    high.push_back(h);
                }
            auto draw = [&](bool withPlaceableHigh) {
                std::vector<double> opens = open, highs = high;
                if (withPlaceableHigh) {
                    opens.push_back(NaN);
                    highs.push_back(80);
                }
                const std::size_t n = opens.size();
                plot->setXValues(numbers(std::vector<double>(n, 5)));
                plot->setOpenValues(numbers(opens));
                plot->setHighValues(numbers(highs));
                plot->setLowValues(numbers(std::vector<double>(n, 20)));
                plot->setCloseValues(numbers(std::vector<double>(n, 60)));
                gfx::ImageContext ctx({100, 100}, 1, gfx::YAxis::Up);
                plot->renderAsVectorInContext(ctx);
                return ctx.image();
            };
            EXPECT_EQ(paintedPixels(*draw(false)), 0);
            // The control: a record the rules do draw shows up.
            EXPECT_GT(paintedPixels(*draw(true)), 0);
        }
}
