// The progress screen driven by a script through the headless host, as the
// program runs one: every screenshot it takes is a real screen.
#include "ProgressTestSupport.h"
#include "ScriptTestSupport.h"

#include <filesystem>

#include "charts/CHTBarPlot.h"
#include "charts/CHTScatterPlot.h"
#include "charts/CHTXYGraph.h"
#include "screens/DrawGraphViewController.h"

namespace {

namespace fs = std::filesystem;
using progresstest::ProgressTest;

class ProgressScriptTest : public ProgressTest {};

TEST_F(ProgressScriptTest, DeletesADayAndEditsAnotherFromTheLogPage) {
    launch();
    addDay(1, 1, 2, {5, 6, 4, 4, 7, 0, 0, 0, 0}, "Mon 2026 11 30 18:00:00.000");
    addDay(1, 2, 2, {6, 6, 5, 5, 8, 0, 0, 0, 0}, "Wed 2026 12 02 18:00:00.000");
    addDay(5, 2, 2, {8, 8, 10, 10, 9, 9, 12, 14, 0}, "Tue 2026 12 08 18:58:45.123");

    const fs::path shots = screenscript::shotsDir(tempHome);
    ASSERT_NO_FATAL_FAILURE(screenscript::runScript(*driver, "progress_log.script", shots));

    // The deleted day is gone from the store; the edited one kept its date.
    EXPECT_EQ(logRows(), 2);
    EXPECT_TRUE(storetest::queryIntegers(app->logDatabasePath(),
                                         "SELECT count(*) FROM LogDay WHERE LogDate LIKE 'Wed 2026 12 02%'") ==
                std::vector<long long>{0});
    EXPECT_EQ(storetest::queryIntegers(app->logDatabasePath(),
                                       "SELECT Rep8 FROM LogDay WHERE LogDate = 'Tue 2026 12 08 18:58:45.123'"),
              std::vector<long long>{140});

    ASSERT_NO_FATAL_FAILURE(screenscript::expectScreenshots(
        shots, {"01-chart", "02-log", "03-log-editing", "04-edit-day", "05-log-edited", "06-export"}));
}

// From the home screen: the line chart, then the bar graph chosen in the
// settings, over twelve logged days (the last a doubled-set day); both pictures are kept for a person to
// look at when TOLVEK_SHOTS names a folder.
TEST_F(ProgressScriptTest, ShowsTheLineChartThenBarsChosenInTheSettings) {
    launch();
    for (int i = 0; i < 11; ++i)
        addDay(1 + i / 3, 1 + i % 3, 2, {10 + i, 12 + i, 8 + i, 8 + i, 14 + 2 * i, 0, 0, 0, 0},
               base::format("Mon 2026 11 %02i 18:00:00.000", 10 + i));
    addDay(5, 2, 2, {20, 20, 25, 25, 22, 22, 28, 30, 0}, "Tue 2026 11 24 18:00:00.000");

    const fs::path shots = screenscript::shotsDir(tempHome);
    ASSERT_NO_FATAL_FAILURE(screenscript::runScript(*driver, "progress_chart.script", shots));

    // The page shown last draws the twelve days as bars.
    auto progress = std::dynamic_pointer_cast<LogGraphViewController>(nav()->topViewController());
    ASSERT_TRUE(progress && progress->graphPage());
    auto graph = progress->graphPage()->barChart();
    ASSERT_TRUE(graph);
    auto bars = std::dynamic_pointer_cast<CHTBarPlot>(graph->plotAtIndex(0));
    ASSERT_TRUE(bars);
    EXPECT_EQ(bars->barTips().size(), 12u);
    EXPECT_EQ(bars->barTips().back().doubleValue(), 192);

    ASSERT_NO_FATAL_FAILURE(screenscript::expectScreenshots(shots, {"01-line-chart", "02-bar-chart"}));
}

}  // namespace
