// Renders one picture per family of chart drawing classes (colours,
// gradients, fills, line caps, shadows, text styles, a bordered layer with
// annotations, XY axes in a plot area) as PNG files into the folder given, for
// a person to look at.
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "charts/CHTAnnotation.h"
#include "charts/CHTLayerAnnotation.h"
#include "charts/CHTPlotArea.h"
#include "charts/CHTPlotSpaceAnnotation.h"
#include "charts/CHTXYAxisSet.h"
#include "charts/CHTXYPlotSpace.h"
#include "charts/CHTBorderedLayer.h"
#include "charts/CHTColor.h"
#include "charts/CHTFill.h"
#include "charts/CHTGradient.h"
#include "charts/CHTImage.h"
#include "charts/CHTLineCap.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTMutableShadow.h"
#include "charts/CHTMutableTextStyle.h"
#include "charts/CHTTextLayer.h"
#include "charts/CHTTextStyleExtensions.h"
#include "platform/gfx/Context.h"
#include "GallerySupport.h"

namespace {

using namespace gallery;
using gfx::Rect;

void colours() {
    Canvas c({300, 200});
    std::vector<std::pair<std::string, std::shared_ptr<CHTColor>>> named = {
        {"black", CHTColor::blackColor()},   {"darkGray", CHTColor::darkGrayColor()},
        {"gray", CHTColor::grayColor()},     {"lightGray", CHTColor::lightGrayColor()},
        {"white", CHTColor::whiteColor()},   {"clear", CHTColor::clearColor()},
        {"red", CHTColor::redColor()},       {"green", CHTColor::greenColor()},
        {"blue", CHTColor::blueColor()},     {"cyan", CHTColor::cyanColor()},
        {"yellow", CHTColor::yellowColor()}, {"magenta", CHTColor::magentaColor()},
        {"orange", CHTColor::orangeColor()}, {"purple", CHTColor::purpleColor()},
        {"brown", CHTColor::brownColor()}};
    for (std::size_t i = 0; i < named.size(); ++i) {
        const std::size_t column = i % 5, row = i / 5;
        CGFloat x = 10 + column * 58, y = 140 - row * 62;
        Rect swatch(x, y + 14, 50, 36);
        CHTFill::fillWithColor(named[i].second)->fillRect(swatch, c.ctx);
        c.ctx.setStrokeColor(gfx::Color::gray(0.5f));
        c.ctx.strokeRect(swatch);
        label(c.ctx, named[i].first, Rect(x, y, 58, 14), 9);
    }
    save(c.ctx, "colours");
}

void gradients() {
    Canvas c({300, 330});
    std::vector<std::pair<std::string, std::shared_ptr<CHTGradient>>> list = {
        {"red-blue linear", CHTGradient::gradientWithBeginningColor(CHTColor::redColor(), CHTColor::blueColor())},
        {"red-blue hue up", CHTGradient::gradientWithBeginningColor(CHTColor::redColor(), CHTColor::blueColor())
                                ->gradientWithBlendingMode(CHTChromaticBlendingMode)},
        {"red-blue hue down", CHTGradient::gradientWithBeginningColor(CHTColor::redColor(), CHTColor::blueColor())
                                  ->gradientWithBlendingMode(CHTInverseChromaticBlendingMode)},
        {"aqua selected", CHTGradient::aquaSelectedGradient()},
        {"unified dark", CHTGradient::unifiedDarkGradient()},
        {"rainbow", CHTGradient::rainbowGradient()},
        {"hydrogen spectrum", CHTGradient::hydrogenSpectrumGradient()},
    };
    CGFloat y = 300;
    for (auto& [name, g] : list) {
        g->fillRect(Rect(10, y, 180, 22), c.ctx);
        label(c.ctx, name, Rect(196, y + 4, 100, 14), 9);
        y -= 30;
    }
    auto angled = CHTGradient::gradientWithBeginningColor(CHTColor::yellowColor(), CHTColor::purpleColor());
    angled->setAngle(45);
    angled->fillRect(Rect(10, 10, 90, 70), c.ctx);
    auto radial = CHTGradient::gradientWithBeginningColor(CHTColor::whiteColor(), CHTColor::blueColor());
    radial->setGradientType(CHTGradientTypeRadial);
    radial->fillRect(Rect(110, 10, 120, 70), c.ctx);
    label(c.ctx, "45 degrees / radial", Rect(10, 82, 200, 14), 9);
    save(c.ctx, "gradients");
}

void fills() {
    Canvas c({300, 120});
    CHTFill::fillWithColor(CHTColor::orangeColor())->fillRect(Rect(10, 30, 80, 80), c.ctx);
    c.ctx.beginPath();
    c.ctx.addEllipseInRect(Rect(110, 30, 80, 80));
    CHTFill::fillWithGradient(CHTGradient::rainbowGradient())->fillPathInContext(c.ctx);
    gfx::ImageContext tile({10, 10}, 1, gfx::YAxis::Up);
    tile.setFillColor(gfx::Color::rgb(0.2f, 0.5f, 0.9f));
    tile.fillRect(Rect(0, 0, 5, 5));
    tile.fillRect(Rect(5, 5, 5, 5));
    auto image = CHTImage::imageWithCGImage(tile.image());
    image->setTiled(true);
    c.ctx.beginPath();
    AddRoundedRectPath(c.ctx, Rect(210, 30, 80, 80), 16);
    CHTFill::fillWithImage(image)->fillPathInContext(c.ctx);
    // Each caption centred under its picture.
    const char* captions[] = {"colour", "gradient path", "tiled image path"};
    for (int i = 0; i < 3; ++i) label(c.ctx, captions[i], Rect(10 + 100 * i, 8, 80, 14), 9, gfx::TextAlignment::Center);
    save(c.ctx, "fills");
}

void lineCaps() {
    Canvas c({300, 260});
    std::vector<std::shared_ptr<CHTLineCap>> caps = {
        CHTLineCap::openArrowPlotLineCap(), CHTLineCap::solidArrowPlotLineCap(), CHTLineCap::sweptArrowPlotLineCap(),
        CHTLineCap::rectanglePlotLineCap(), CHTLineCap::ellipsePlotLineCap(),    CHTLineCap::diamondPlotLineCap(),
        CHTLineCap::pentagonPlotLineCap(),  CHTLineCap::hexagonPlotLineCap(),    CHTLineCap::barPlotLineCap(),
        CHTLineCap::crossPlotLineCap(),     CHTLineCap::snowPlotLineCap()};
    gfx::Path star;
    star.addLines({{0, 0}, {4, 10}, {8, 0}, {-1, 6}, {9, 6}});
    star.closeSubpath();
    caps.push_back(CHTLineCap::customLineCapWithPath(star));
    auto line = CHTLineStyle::lineStyle();
    line->setLineWidth(1.5f);
    line->setLineColor(CHTColor::darkGrayColor());
    for (std::size_t i = 0; i < caps.size(); ++i) {
        CGFloat y = 240 - i * 19.5f;
        auto& cap = caps[i];
        cap->setSize({12, 12});
        cap->setFill(CHTFill::fillWithColor(CHTColor::redColor()));
        line->setLineStyleInContext(c.ctx);
        c.ctx.beginPath();
        c.ctx.moveTo(20, y);
        c.ctx.lineTo(200, y);
        c.ctx.strokePath();
        cap->renderAsVectorInContext(c.ctx, {200, y}, {1, 0});
        cap->renderAsVectorInContext(c.ctx, {20, y}, {-1, 0});
        label(c.ctx, "type " + std::to_string(cap->lineCapType()), Rect(220, y - 7, 80, 14), 9);
    }
    // Dashed and wide styles.
    auto dashed = CHTLineStyle::lineStyle();
    dashed->setDashPattern({6, 3});
    dashed->setLineWidth(2);
    dashed->setLineColor(CHTColor::blueColor());
    dashed->setLineStyleInContext(c.ctx);
    c.ctx.beginPath();
    c.ctx.moveTo(20, 8);
    c.ctx.lineTo(280, 8);
    c.ctx.strokePath();
    save(c.ctx, "linecaps");
}

void shadows() {
    Canvas c({300, 120});
    struct S {
        gfx::Size offset;
        CGFloat blur;
    };
    S list[] = {{{4, -4}, 0}, {{4, -4}, 3}, {{0, 0}, 6}, {{-6, 6}, 2}};
    for (int i = 0; i < 4; ++i) {
        auto shadow = CHTShadow::shadow();
        shadow->setShadowOffset(list[i].offset);
        shadow->setShadowBlurRadius(list[i].blur);
        shadow->setShadowColor(CHTColor::blackColor()->colorWithAlphaComponent(0.6f));
        c.ctx.save();
        shadow->setShadowInContext(c.ctx);
        CHTFill::fillWithColor(CHTColor::cyanColor())->fillRect(Rect(15 + i * 72, 40, 50, 50), c.ctx);
        c.ctx.restore();
        label(c.ctx, "blur " + std::to_string(static_cast<int>(list[i].blur)), Rect(15 + i * 72, 12, 60, 14), 9);
    }
    save(c.ctx, "shadows");
}

void textStyles() {
    Canvas c({300, 200});
    struct T {
        const char* font;
        CGFloat size;
        std::shared_ptr<CHTColor> color;
        gfx::TextAlignment align;
    };
    T list[] = {{"Helvetica", 12, CHTColor::blackColor(), gfx::TextAlignment::Left},
                {"Helvetica-Bold", 16, CHTColor::redColor(), gfx::TextAlignment::Center},
                {"Helvetica-Oblique", 14, CHTColor::blueColor(), gfx::TextAlignment::Right},
                {"Courier", 13, CHTColor::brownColor(), gfx::TextAlignment::Left}};
    CGFloat y = 160;
    for (auto& t : list) {
        auto style = CHTTextStyle::textStyle();
        style->setFontName(t.font);
        style->setFontSize(t.size);
        style->setColor(t.color);
        style->setTextAlignment(t.align);
        auto layer =
            CHTTextLayer::initWithText(std::string(t.font) + " " + std::to_string(static_cast<int>(t.size)), style);
        layer->setPosition({150, y});
        auto frame = layer->frame();
        c.ctx.save();
        c.ctx.translate(frame.x(), frame.y());
        layer->recursivelyRenderInContext(c.ctx);
        c.ctx.setStrokeColor(gfx::Color::gray(0.8f));
        c.ctx.setLineWidth(0.5f);
        c.ctx.strokeRect(layer->bounds());
        c.ctx.restore();
        y -= 36;
    }
    auto shadowed = CHTTextLayer::initWithText("shadowed text");
    auto shadow = CHTShadow::shadow();
    shadow->setShadowOffset({2, -2});
    shadow->setShadowBlurRadius(1.5f);
    shadow->setShadowColor(CHTColor::grayColor());
    shadowed->setShadow(shadow);
    c.ctx.save();
    c.ctx.translate(100, 10);
    shadowed->recursivelyRenderInContext(c.ctx);
    c.ctx.restore();
    save(c.ctx, "textstyles");
}

// An annotation that centres its content at a fraction of the host's bounds.
class CentredAnnotation : public CHTAnnotation {
public:
    gfx::Point fraction;
    void positionContentLayer() override {
        auto host = annotationHostLayer();
        if (!host || !contentLayer()) return;
        gfx::Rect b = host->bounds();
        contentLayer()->setAnchorPoint(contentAnchorPoint());
        contentLayer()->setPosition(
            {b.x() + fraction.x * b.width() + displacement().x, b.y() + fraction.y * b.height() + displacement().y});
        contentLayer()->setAffineTransform(gfx::AffineTransform::makeRotation(rotation()));
        if (auto chart = std::dynamic_pointer_cast<CHTLayer>(contentLayer())) chart->pixelAlign();
    }
};

// A bordered layer that leaves the frames of the sublayers in `kept` as they
// were set: chart layers lay every other chart sublayer out over their
// padded area.
class KeepingLayer : public CHTBorderedLayer {
public:
    using CHTBorderedLayer::CHTBorderedLayer;
    std::set<const gfx::Layer*> kept;
    std::set<const gfx::Layer*> sublayersExcludedFromAutomaticLayout() const override {
        std::set<const gfx::Layer*> excluded = CHTBorderedLayer::sublayersExcludedFromAutomaticLayout();
        excluded.insert(kept.begin(), kept.end());
        return excluded;
    }
};

void borderedLayer() {
    auto layer = std::make_shared<KeepingLayer>(Rect(0, 0, 300, 200));
    layer->setCornerRadius(18);
    auto line = CHTLineStyle::lineStyle();
    line->setLineWidth(6);
    line->setLineColor(CHTColor::darkGrayColor());
    layer->setBorderLineStyle(line);
    layer->setFill(CHTFill::fillWithGradient(CHTGradient::unifiedNormalGradient()));
    layer->setPaddingLeft(20);
    layer->setPaddingRight(20);
    layer->setPaddingTop(40);
    layer->setPaddingBottom(20);
    auto inner = std::make_shared<CHTBorderedLayer>();
    inner->setCornerRadius(10);
    inner->setFill(CHTFill::fillWithColor(CHTColor::whiteColor()->colorWithAlphaComponent(0.8f)));
    auto innerLine = CHTLineStyle::lineStyle();
    innerLine->setLineColor(CHTColor::blueColor());
    inner->setBorderLineStyle(innerLine);
    layer->addSublayer(inner);
    // A sublayer wider than the frame: clipped by the rounded border.
    auto stripe = std::make_shared<CHTBorderedLayer>(Rect(-40, 70, 380, 20));
    stripe->setFill(CHTFill::fillWithColor(CHTColor::orangeColor()->colorWithAlphaComponent(0.7f)));
    layer->kept.insert(stripe.get());
    layer->addSublayer(stripe);

    auto titleStyle = CHTTextStyle::textStyle();
    titleStyle->setFontName("Helvetica-Bold");
    titleStyle->setFontSize(16);
    auto title = std::make_shared<CentredAnnotation>();
    title->fraction = {0.5f, 1};
    title->setDisplacement({0, -22});
    title->setContentLayer(CHTTextLayer::initWithText("Bordered layer", titleStyle));
    layer->addAnnotation(title);
    auto note = std::make_shared<CentredAnnotation>();
    note->fraction = {0.75f, 0.3f};
    note->setRotation(0.3f);
    note->setContentLayer(CHTTextLayer::initWithText("rotated note"));
    layer->addAnnotation(note);

    Canvas c({300, 200});
    layer->layoutAndRenderInContext(c.ctx);
    save(c.ctx, "borderedlayer");

    auto pdf = layer->dataForPDFRepresentationOfLayer();
    std::string path = folder + "/borderedlayer.pdf";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(pdf.data(), 1, pdf.size(), f);
        std::fclose(f);
        std::printf("%s\n", path.c_str());
    } else {
        ++failures;
    }
}

// The graph of the axes page: it reports the real plot area.
class GalleryGraph : public CHTPlotSpaceGraph {
public:
    explicit GalleryGraph(std::shared_ptr<CHTPlotArea> area) : area_(std::move(area)) {}
    bool hasPlotAreaFrame() const override { return true; }
    bool hasPlotArea() const override { return true; }
    gfx::Size plotAreaBoundsSize() const override { return area_->bounds().size; }
    bool plotAreaContainsPoint(gfx::Point p) const override { return area_->bounds().contains(p); }
    gfx::Point convertPointToPlotAreaFrame(gfx::Point p) const override { return p; }
    bool plotAreaFrameContainsPoint(gfx::Point) const override { return true; }
    std::shared_ptr<CHTPlotArea> plotArea() const override { return area_; }

private:
    std::shared_ptr<CHTPlotArea> area_;
};

std::shared_ptr<CHTMutableLineStyle> line(std::shared_ptr<CHTColor> color, CGFloat width,
                                          std::vector<CGFloat> dash = {}) {
    auto style = CHTLineStyle::lineStyle();
    style->setLineColor(std::move(color));
    style->setLineWidth(width);
    style->setDashPattern(std::move(dash));
    return style;
}

// XY axes with major and minor ticks, labels, a title on each axis,
// alternating bands, a limit band, grid lines and annotations.
void xyAxes() {
    const gfx::Size size{420, 300};
    auto frame = std::make_shared<CHTBorderedLayer>(Rect(0, 0, size.width, size.height));
    frame->setFill(CHTFill::fillWithColor(CHTColor::whiteColor()));
    frame->setPaddingLeft(64);
    frame->setPaddingBottom(56);
    frame->setPaddingRight(24);
    frame->setPaddingTop(44);

    auto area = std::make_shared<CHTPlotArea>(Rect(64, 56, size.width - 88, size.height - 100));
    frame->addSublayer(area);
    auto graph = std::make_shared<GalleryGraph>(area);
    auto space = std::make_shared<CHTXYPlotSpace>();
    space->setGraph(graph);
    space->setXRange(
        CHTPlotRange::plotRangeWithLocation(base::Decimal::fromString("0"), base::Decimal::fromString("14")));
    space->setYRange(
        CHTPlotRange::plotRangeWithLocation(base::Decimal::fromString("0"), base::Decimal::fromString("100")));

    auto set = std::make_shared<CHTXYAxisSet>(area->bounds());
    area->setAxisSet(set);
    area->setFill(CHTFill::fillWithColor(CHTColor::colorWithComponentRed(0.99f, 0.99f, 0.97f, 1)));
    area->setBorderLineStyle(line(CHTColor::darkGrayColor(), 1));

    auto labelStyle = CHTTextStyle::textStyle();
    labelStyle->setFontSize(10);
    labelStyle->setColor(CHTColor::darkGrayColor());
    auto titleStyle = CHTTextStyle::textStyle();
    titleStyle->setFontSize(12);
    auto wholeNumbers = std::make_shared<base::NumberFormatter>();

    auto x = set->xAxis();
    x->setPlotSpace(space);
    x->setMajorIntervalLength(base::Decimal::fromString("2"));
    x->setMinorTicksPerInterval(1);
    x->setLabelFormatter(wholeNumbers);
    x->setLabelTextStyle(labelStyle);
    x->setMajorTickLineStyle(line(CHTColor::blackColor(), 1));
    x->setMinorTickLineStyle(line(CHTColor::grayColor(), 1));
    x->setMajorGridLineStyle(line(CHTColor::colorWithGenericGray(0.75f), 0.5f));
    x->setTitle(std::string("Days"));
    x->setTitleTextStyle(titleStyle);
    x->setTitleOffset(34);
    x->setAlternatingBandFills({CHTColor::colorWithComponentRed(0.90f, 0.94f, 1.0f, 1), nullptr});

    auto y = set->yAxis();
    y->setPlotSpace(space);
    y->setMajorIntervalLength(base::Decimal::fromString("20"));
    y->setMinorTicksPerInterval(3);
    y->setLabelFormatter(wholeNumbers);
    y->setLabelTextStyle(labelStyle);
    y->setMajorTickLineStyle(line(CHTColor::blackColor(), 1));
    y->setMinorTickLineStyle(line(CHTColor::grayColor(), 1));
    y->setMajorGridLineStyle(line(CHTColor::colorWithGenericGray(0.7f), 0.5f));
    y->setMinorGridLineStyle(line(CHTColor::colorWithGenericGray(0.85f), 0.5f, {2, 2}));
    y->setTitle(std::string("Push-ups"));
    y->setTitleTextStyle(titleStyle);
    y->setTitleOffset(40);
    y->addBackgroundLimitBand(CHTLimitBand::limitBandWithRange(
        CHTPlotRange::plotRangeWithLocation(base::Decimal::fromString("60"), base::Decimal::fromString("20")),
        CHTFill::fillWithColor(CHTColor::colorWithComponentRed(1.0f, 0.85f, 0.6f, 0.6f))));

    auto heading = CHTTextStyle::textStyle();
    heading->setFontSize(14);
    auto title = CHTLayerAnnotation::initWithAnchorLayer(frame);
    title->setContentAnchorPoint({0.5f, 1});
    title->setDisplacement({0, -12});
    title->setContentLayer(CHTTextLayer::initWithText("XY axes", heading));
    frame->addAnnotation(title);

    auto goal = CHTPlotSpaceAnnotation::initWithPlotSpace(
        space, {base::Decimal::fromString("11"), base::Decimal::fromString("70")});
    goal->setContentLayer(CHTTextLayer::initWithText("goal band", labelStyle));
    area->addAnnotation(goal);

    Canvas c(size);
    frame->layoutAndRenderInContext(c.ctx);
    save(c.ctx, "xyaxes");
}

}  // namespace

int main(int argc, char** argv) {
    if (int status = start(argc, argv, "chart-gallery", "one picture per family of chart drawing classes"); status >= 0)
        return status;
    colours();
    gradients();
    fills();
    lineCaps();
    shadows();
    textStyles();
    borderedLayer();
    xyAxes();
    return failures == 0 ? 0 : 1;
}
