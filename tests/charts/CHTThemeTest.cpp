// Themes: the registry (start-up registration safe twice, duplicates
// refused, sorted listing, lookup by name), the graph class, newGraph of
// every theme, the values of "Dark Gradients", and archiving.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ChartTestSupport.h"
#include "charts/CHTColor.h"
#include "charts/CHTFill.h"
#include "charts/CHTGradient.h"
#include "charts/CHTLineStyle.h"
#include "charts/CHTPlotArea.h"
#include "charts/CHTPlotAreaFrame.h"
#include "charts/CHTTextStyle.h"
#include "charts/CHTTheme.h"
#include "charts/CHTXYAxis.h"
#include "charts/CHTXYAxisSet.h"
#include "charts/CHTXYGraph.h"
#include "charts/CHTXYPlotSpace.h"
#include "charts/_CHTDarkGradientTheme.h"
#include "charts/_CHTFillColor.h"
#include "charts/_CHTFillGradient.h"
#include "platform/base/Exception.h"

namespace {

using charttest::D;

class CHTThemeTest : public ::testing::Test {
protected:
    void SetUp() override { CHTTheme::registerThemes(); }
};

// The stops of a gradient as (position, grey level) pairs.
std::vector<std::pair<CGFloat, CGFloat>> greyStops(const CHTGradient& gradient) {
    std::vector<std::pair<CGFloat, CGFloat>> out;
    for (std::size_t i = 0; i < gradient.elementCount(); ++i) {
        const auto* e = gradient.elementAtIndex(i);
        out.emplace_back(e->position, e->color.red);
    }
    return out;
}

void expectStops(const CHTGradient& gradient, const std::vector<std::pair<CGFloat, CGFloat>>& expected) {
    auto stops = greyStops(gradient);
    ASSERT_EQ(stops.size(), expected.size());
    for (std::size_t i = 0; i < stops.size(); ++i) {
        EXPECT_NEAR(stops[i].first, expected[i].first, 1e-6) << i;
        EXPECT_NEAR(stops[i].second, expected[i].second, 1e-3) << i;
    }
}

bool sameColor(const std::shared_ptr<CHTColor>& a, const std::shared_ptr<CHTColor>& b) {
    return a && b && a->isEqual(b.get());
}

std::vector<std::string> names(const std::vector<CHTThemeClass>& classes) {
    std::vector<std::string> out;
    for (const auto& c : classes) out.push_back(c.name);
    return out;
}

TEST_F(CHTThemeTest, RegistrationAtStartUpIsSafeTwiceAndDuplicatesAreRefused) {
    CHTTheme::registerThemes();
    EXPECT_EQ(names(CHTTheme::themeClasses()),
              (std::vector<std::string>{"Dark Gradients", "Plain Black", "Plain White", "Slate", "Stocks"}));
    try {
        CHTTheme::registerTheme(_CHTDarkGradientTheme::themeClass());
        ADD_FAILURE() << "a second registration was accepted";
    } catch (const base::Exception& e) {
        EXPECT_EQ(e.name(), "CHTException");
        EXPECT_EQ(e.reason(), "Theme class already registered: _CHTDarkGradientTheme");
    }
    EXPECT_EQ(CHTTheme::themeClasses().size(), 5u);
}

TEST_F(CHTThemeTest, RegisteringWhileOthersLookUpIsSafe) {
    std::vector<std::thread> threads;
    std::vector<int> found(8, 0);
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([t, &found] {
            for (int i = 0; i < 200; ++i) {
                if (t % 2) CHTTheme::registerThemes();
                if (CHTTheme::themeNamed("Slate")) ++found[t];
                (void)CHTTheme::themeClasses();
            }
        });
    for (auto& t : threads) t.join();
    for (int n : found) EXPECT_EQ(n, 200);
    EXPECT_EQ(CHTTheme::themeClasses().size(), 5u);
}

TEST_F(CHTThemeTest, ThemesAreFoundByName) {
    auto theme = CHTTheme::themeNamed(kCHTDarkGradientTheme);
    ASSERT_TRUE(std::dynamic_pointer_cast<_CHTDarkGradientTheme>(theme));
    EXPECT_EQ(theme->name(), "Dark Gradients");
    EXPECT_NE(CHTTheme::themeNamed(kCHTDarkGradientTheme), theme);  // a new one each time
    EXPECT_EQ(CHTTheme::themeNamed("dark gradients"), nullptr);
    EXPECT_EQ(CHTTheme::themeNamed("Neon"), nullptr);
    for (const auto& c : CHTTheme::themeClasses()) {
        auto t = CHTTheme::themeNamed(c.name);
        ASSERT_TRUE(t) << c.name;
        EXPECT_EQ(t->name(), c.name);
        EXPECT_EQ(t->classForCoder(), "CHTTheme");
        EXPECT_EQ(t->graphClass(), "CHTXYGraph");
    }
}

TEST_F(CHTThemeTest, OnlyAConcreteGraphClassCanBeTheThemesGraphClass) {
    auto theme = CHTTheme::themeNamed("Slate");
    for (const char* bad : {"CHTGraph", "CHTLayer", ""}) {
        try {
            theme->setGraphClass(bad);
            ADD_FAILURE() << bad;
        } catch (const base::Exception& e) {
            EXPECT_EQ(e.reason(), "Invalid graph class for theme; must be a subclass of CHTGraph");
        }
    }
    theme->setGraphClass("CHTXYGraph");
    EXPECT_EQ(theme->graphClass(), "CHTXYGraph");
}

TEST_F(CHTThemeTest, EveryThemeMakesASmallThemedGraph) {
    for (const auto& c : CHTTheme::themeClasses()) {
        SCOPED_TRACE(c.name);
        auto graph = CHTTheme::themeNamed(c.name)->newGraph();
        ASSERT_TRUE(std::dynamic_pointer_cast<CHTXYGraph>(graph));
        EXPECT_EQ(graph->bounds().size, gfx::Size(200, 200));
        EXPECT_EQ(graph->paddingLeft(), 60);
        EXPECT_EQ(graph->paddingTop(), 60);
        EXPECT_EQ(graph->paddingRight(), 60);
        EXPECT_EQ(graph->paddingBottom(), 60);
        auto plotSpace = std::dynamic_pointer_cast<CHTXYPlotSpace>(graph->defaultPlotSpace());
        ASSERT_TRUE(plotSpace);
        for (const auto& range : {plotSpace->xRange(), plotSpace->yRange()}) {
            EXPECT_EQ(range->location(), D("-1"));
            EXPECT_EQ(range->length(), D("1"));
        }
        auto axisSet = std::dynamic_pointer_cast<CHTXYAxisSet>(graph->axisSet());
        for (const auto& axis : axisSet->axes()) {
            EXPECT_EQ(axis->labelingPolicy(), 2);
            EXPECT_EQ(axis->majorIntervalLength(), D("0.5"));
            EXPECT_EQ(axis->minorTicksPerInterval(), 4u);
            EXPECT_EQ(axis->tickDirection(), 0);
            EXPECT_EQ(axis->majorTickLength(), 7);
            EXPECT_EQ(axis->minorTickLength(), 5);
            EXPECT_EQ(std::dynamic_pointer_cast<CHTXYAxis>(axis)->orthogonalCoordinateDecimal(), D("0"));
            EXPECT_EQ(axis->axisLineStyle()->lineWidth(), axis->majorTickLineStyle()->lineWidth());
            EXPECT_EQ(axis->axisLineStyle()->lineCap(), axis->majorTickLineStyle()->lineCap());
            EXPECT_EQ(axis->labelTextStyle()->fontSize(), 14);
            EXPECT_EQ(axis->titleTextStyle()->fontSize(), 14);
        }
    }
}

TEST_F(CHTThemeTest, DarkGradientsGivesItsGradientsBorderAndAxisStyles) {
    auto graph = CHTXYGraph::create(gfx::Rect(0, 0, 300, 200));
    graph->applyTheme(nullptr);  // nothing
    EXPECT_EQ(graph->fill(), nullptr);
    graph->applyTheme(CHTTheme::themeNamed(kCHTDarkGradientTheme));

    auto background = std::dynamic_pointer_cast<_CHTFillGradient>(graph->fill());
    ASSERT_TRUE(background);
    EXPECT_EQ(background->fillGradient()->angle(), 90);
    expectStops(*background->fillGradient(), {{0, 0.1}, {0.3, 0.2}, {0.5, 0.3}, {0.6, 0.2}, {1, 0.1}});

    auto frame = graph->plotAreaFrame();
    auto frameFill = std::dynamic_pointer_cast<_CHTFillGradient>(frame->fill());
    ASSERT_TRUE(frameFill);
    EXPECT_EQ(frameFill->fillGradient()->angle(), 90);
    expectStops(*frameFill->fillGradient(), {{0, 0.1}, {1, 0.3}});
    EXPECT_EQ(frame->borderLineStyle()->lineWidth(), 4);
    EXPECT_TRUE(sameColor(frame->borderLineStyle()->lineColor(), CHTColor::colorWithGenericGray(0.2)));
    EXPECT_EQ(frame->cornerRadius(), 10);

    auto axisSet = std::dynamic_pointer_cast<CHTXYAxisSet>(graph->axisSet());
    for (const auto& axis : axisSet->axes()) {
        EXPECT_EQ(axis->majorTickLineStyle()->lineCap(), gfx::LineCap::Square);
        EXPECT_EQ(axis->majorTickLineStyle()->lineWidth(), 2);
        EXPECT_TRUE(sameColor(axis->majorTickLineStyle()->lineColor(), CHTColor::colorWithGenericGray(0.5)));
        EXPECT_EQ(axis->minorTickLineStyle()->lineCap(), gfx::LineCap::Square);
        EXPECT_EQ(axis->minorTickLineStyle()->lineWidth(), 1);
        EXPECT_TRUE(sameColor(axis->minorTickLineStyle()->lineColor(), CHTColor::darkGrayColor()));
        EXPECT_TRUE(sameColor(axis->labelTextStyle()->color(), CHTColor::whiteColor()));
        EXPECT_EQ(axis->labelTextStyle()->fontName(), "Helvetica");
        EXPECT_EQ(axis->minorTickLabelTextStyle()->fontSize(), 12);
    }
}

TEST_F(CHTThemeTest, ThePlainThemesGiveTheXAxisLargeMinorTickLabels) {
    for (const char* name : {"Plain Black", "Plain White"}) {
        SCOPED_TRACE(name);
        auto graph = CHTTheme::themeNamed(name)->newGraph();
        auto axisSet = std::dynamic_pointer_cast<CHTXYAxisSet>(graph->axisSet());
        EXPECT_EQ(axisSet->xAxis()->minorTickLabelTextStyle()->fontSize(), 14);
        EXPECT_EQ(axisSet->yAxis()->minorTickLabelTextStyle()->fontSize(), 12);
        EXPECT_EQ(graph->plotAreaFrame()->borderLineStyle()->lineWidth(), 1);
        EXPECT_EQ(graph->plotAreaFrame()->cornerRadius(), 0);
        EXPECT_TRUE(std::dynamic_pointer_cast<_CHTFillColor>(graph->fill()));
    }
    auto stocks = CHTTheme::themeNamed("Stocks")->newGraph();
    EXPECT_EQ(
        std::dynamic_pointer_cast<CHTXYAxisSet>(stocks->axisSet())->xAxis()->minorTickLabelTextStyle()->fontSize(), 12);
    EXPECT_EQ(stocks->plotAreaFrame()->cornerRadius(), 14);
    auto slate = CHTTheme::themeNamed("Slate")->newGraph();
    EXPECT_EQ(slate->fill(), nullptr);  // the background is left alone
    EXPECT_EQ(slate->plotAreaFrame()->cornerRadius(), 5);
}

TEST_F(CHTThemeTest, AnArchivedThemeDecodesAsATheme_OfTheSameName) {
    auto theme = CHTTheme::themeNamed("Stocks");
    auto data = base::KeyedArchiver::archivedDataWithRootObject(theme);
    auto decoded = base::KeyedUnarchiver::unarchiveObjectOfType<CHTTheme>(data);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->name(), "Stocks");
    EXPECT_EQ(decoded->graphClass(), "CHTXYGraph");
}

// A graph class this program does not know keeps the theme's own instead of
// throwing out of the decoder.
class ForeignTheme : public CHTTheme {
public:
    std::string name() const override { return "Slate"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override {
        coder.encodeString("Slate", "CHTTheme.name");
        coder.encodeString("CHTPolarGraph", "CHTTheme.graphClass");
    }
};

TEST_F(CHTThemeTest, AnUnknownGraphClassInAnArchiveKeepsTheDefault) {
    auto data = base::KeyedArchiver::archivedDataWithRootObject(std::make_shared<ForeignTheme>());
    std::shared_ptr<CHTTheme> decoded;
    EXPECT_NO_THROW(decoded = base::KeyedUnarchiver::unarchiveObjectOfType<CHTTheme>(data));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->name(), "Slate");
    EXPECT_EQ(decoded->graphClass(), "CHTXYGraph");
}

}  // namespace
