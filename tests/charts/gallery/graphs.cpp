// Renders graphs for a person to look at: the small graph of every theme
// (one page each and all five side by side) and a larger Dark Gradients
// chart with a title, as PNG files into the folder given.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "charts/CHTColor.h"
#include "charts/CHTGraph.h"
#include "charts/CHTMutableTextStyle.h"
#include "charts/CHTTheme.h"
#include "charts/CHTXYGraph.h"
#include "charts/CHTXYPlotSpace.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Image.h"

namespace {

std::string folder;
int failures = 0;

void save(gfx::ImageContext& ctx, const std::string& name) {
    std::string path = folder + "/" + name + ".png";
    if (!ctx.image()->writePNG(path)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        ++failures;
    } else {
        std::printf("%s\n", path.c_str());
    }
}

std::string fileName(std::string name) {
    for (auto& c : name) c = (c == ' ') ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

// Draws a graph at an offset of a y-up canvas.
void drawGraph(CHTGraph& graph, gfx::Context& ctx, gfx::Point origin) {
    ctx.save();
    ctx.translate(origin.x, origin.y);
    graph.layoutAndRenderInContext(ctx);
    ctx.restore();
}

void themePages() {
    auto classes = CHTTheme::themeClasses();
    // One page per theme, on a mid grey so that every background shows.
    for (const auto& c : classes) {
        gfx::ImageContext ctx({200, 200}, 2, gfx::YAxis::Up);
        ctx.setFillColor(gfx::Color::rgb(0.5, 0.5, 0.5, 1));
        ctx.fillRect(gfx::Rect(0, 0, 200, 200));
        auto graph = CHTTheme::themeNamed(c.name)->newGraph();
        drawGraph(*graph, ctx, {0, 0});
        save(ctx, "theme-" + fileName(c.name));
    }
    // All of them side by side.
    gfx::ImageContext all({210.0f * classes.size() + 10, 220}, 2, gfx::YAxis::Up);
    all.setFillColor(gfx::Color::rgb(0.5, 0.5, 0.5, 1));
    all.fillRect(gfx::Rect(0, 0, 210.0f * classes.size() + 10, 220));
    for (std::size_t i = 0; i < classes.size(); ++i) {
        auto graph = CHTTheme::themeNamed(classes[i].name)->newGraph();
        drawGraph(*graph, all, {10 + 210.0f * i, 10});
    }
    save(all, "themes-side-by-side");
}

void titledChart() {
    auto graph = CHTXYGraph::create(gfx::Rect(0, 0, 320, 300));
    graph->applyTheme(CHTTheme::themeNamed(kCHTDarkGradientTheme));
    graph->setPaddingLeft(50);
    graph->setPaddingBottom(45);
    graph->setPaddingTop(45);
    auto plotSpace = std::dynamic_pointer_cast<CHTXYPlotSpace>(graph->defaultPlotSpace());
    plotSpace->setXRange(CHTPlotRange::plotRangeWithLocation(CHTDecimalFromInteger(0), CHTDecimalFromInteger(3)));
    plotSpace->setYRange(CHTPlotRange::plotRangeWithLocation(CHTDecimalFromInteger(0), CHTDecimalFromInteger(2)));
    auto style = CHTTextStyle::textStyle();
    style->setColor(CHTColor::whiteColor());
    style->setFontSize(18);
    graph->setTitleTextStyle(style);
    graph->setTitle(std::string("Total push-ups"));
    graph->setTitleDisplacement(gfx::Point(0, 20));
    gfx::ImageContext ctx({320, 300}, 2, gfx::YAxis::Up);
    drawGraph(*graph, ctx, {0, 0});
    save(ctx, "graph-dark-gradients-titled");
}

}  // namespace

int main(int argc, char** argv) {
    folder = argc > 1 ? argv[1] : "graph-gallery";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        std::fprintf(stderr, "cannot create %s: %s\n", folder.c_str(), ec.message().c_str());
        return 1;
    }
    CHTTheme::registerThemes();
    themePages();
    titledChart();
    return failures == 0 ? 0 : 1;
}
