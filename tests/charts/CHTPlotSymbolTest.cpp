// Plot symbols: the shapes of every type, custom paths, vector and stamped
// drawing, copying and archiving.
#include <gtest/gtest.h>

#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "TestEnvironment.h"
#include "charts/CHTCoderExtensions.h"
#include "charts/CHTColor.h"
#include "charts/CHTFill.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTMutableShadow.h"
#include "charts/CHTPlotSymbol.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Image.h"

namespace {

std::vector<gfx::Point> vertices(const gfx::Path& path) {
    std::vector<gfx::Point> points;
    for (const auto& e : path.elements())
        if (e.type == gfx::PathElementType::MoveToPoint || e.type == gfx::PathElementType::AddLineToPoint)
            points.push_back(e.points[0]);
    return points;
}

void expectVertices(CHTPlotSymbolType type, std::vector<gfx::Point> expected) {
    auto symbol = CHTPlotSymbol::plotSymbol();
    symbol->setSymbolType(type);
    symbol->setSize({10, 6});  // h = 5, k = 3
    auto actual = vertices(symbol->cachedSymbolPath());
    ASSERT_EQ(actual.size(), expected.size()) << "type " << type;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(actual[i].x, expected[i].x, 1e-4) << "type " << type << " vertex " << i;
        EXPECT_NEAR(actual[i].y, expected[i].y, 1e-4) << "type " << type << " vertex " << i;
    }
}

int closes(const gfx::Path& path) {
    int n = 0;
    for (const auto& e : path.elements()) n += e.type == gfx::PathElementType::CloseSubpath;
    return n;
}

std::shared_ptr<CHTPlotSymbol> outlined(std::shared_ptr<CHTPlotSymbol> symbol, gfx::Size size, CGFloat width) {
    auto style = CHTLineStyle::lineStyle();
    style->setLineWidth(width);
    symbol->setLineStyle(style);
    symbol->setSize(size);
    return symbol;
}

}  // namespace

TEST(CHTPlotSymbolTest, EveryTypesVerticesFollowTheTable) {
    const double h = 5, k = 3, r3 = 0.8660254;
    EXPECT_TRUE(CHTPlotSymbol::plotSymbol()->cachedSymbolPath().isEmpty());
    expectVertices(CHTPlotSymbolTypeRectangle, {{-5, -3}, {5, -3}, {5, 3}, {-5, 3}});
    expectVertices(CHTPlotSymbolTypeDiamond, {{0, 3}, {5, 0}, {0, -3}, {-5, 0}});
    expectVertices(CHTPlotSymbolTypeTriangle,
                   {{0, 3}, {float(r3 * h), float(-0.5 * k)}, {float(-r3 * h), float(-0.5 * k)}});
    expectVertices(CHTPlotSymbolTypeStar, {{0, 3},
                                           {float(0.22451399 * h), float(0.30901700 * k)},
                                           {float(0.95105654 * h), float(0.30901700 * k)},
                                           {float(0.36327127 * h), float(-0.11803399 * k)},
                                           {float(0.58778524 * h), float(-0.80901700 * k)},
                                           {0, float(-0.38196602 * k)},
                                           {float(-0.58778524 * h), float(-0.80901700 * k)},
                                           {float(-0.36327127 * h), float(-0.11803399 * k)},
                                           {float(-0.95105654 * h), float(0.30901700 * k)},
                                           {float(-0.22451399 * h), float(0.30901700 * k)}});
    expectVertices(CHTPlotSymbolTypePentagon, {{0, 3},
                                               {float(0.95105654 * h), float(0.30901700 * k)},
                                               {float(0.58778524 * h), float(-0.80901700 * k)},
                                               {float(-0.58778524 * h), float(-0.80901700 * k)},
                                               {float(-0.95105654 * h), float(0.30901700 * k)}});
    const float c = float(h * 0.86602540378);
    expectVertices(CHTPlotSymbolTypeHexagon, {{0, 3}, {c, 1.5f}, {c, -1.5f}, {0, -3}, {-c, -1.5f}, {-c, 1.5f}});
    expectVertices(CHTPlotSymbolTypeCross, {{-5, 3}, {5, -3}, {5, 3}, {-5, -3}});
    expectVertices(CHTPlotSymbolTypePlus, {{0, 3}, {0, -3}, {-5, 0}, {5, 0}});
    expectVertices(CHTPlotSymbolTypeDash, {{5, 0}, {-5, 0}});
    expectVertices(CHTPlotSymbolTypeSnow, {{0, 3},
                                           {0, -3},
                                           {float(r3 * h), -1.5f},
                                           {float(-r3 * h), 1.5f},
                                           {float(-r3 * h), -1.5f},
                                           {float(r3 * h), 1.5f}});
    // Filled shapes are closed, line shapes open.
    EXPECT_EQ(closes(CHTPlotSymbol::starPlotSymbol()->cachedSymbolPath()), 1);
    EXPECT_EQ(closes(CHTPlotSymbol::snowPlotSymbol()->cachedSymbolPath()), 0);
    auto ellipse = CHTPlotSymbol::ellipsePlotSymbol();
    ellipse->setSize({10, 6});
    EXPECT_EQ(ellipse->cachedSymbolPath().boundingBox(), gfx::Rect(-5, -3, 10, 6));
}

TEST(CHTPlotSymbolTest, CustomPathIsFittedAndCentred) {
    gfx::Path arrow;  // a box from (10, 20) to (14, 22)
    arrow.moveTo(10, 20);
    arrow.lineTo(14, 21);
    arrow.lineTo(10, 22);
    arrow.closeSubpath();
    auto symbol = CHTPlotSymbol::customPlotSymbolWithPath(arrow);
    symbol->setSize({8, 6});
    auto v = vertices(symbol->cachedSymbolPath());
    ASSERT_EQ(v.size(), 3u);
    EXPECT_EQ(v[0], gfx::Point(-4, -3));
    EXPECT_EQ(v[1], gfx::Point(4, 0));
    EXPECT_EQ(v[2], gfx::Point(-4, 3));

    // A flat path keeps scale 1 on its flat side and is never divided by 0.
    gfx::Path flat;
    flat.moveTo(0, 7);
    flat.lineTo(2, 7);
    symbol->setCustomSymbolPath(flat);
    gfx::Rect box = symbol->cachedSymbolPath().boundingBox();
    EXPECT_EQ(box, gfx::Rect(-4, 0, 8, 0));

    // Without a path there is nothing to draw, even with a fill.
    auto none = CHTPlotSymbol::customPlotSymbolWithPath(std::nullopt);
    none->setFill(CHTFill::fillWithColor(CHTColor::redColor()));
    gfx::RecordingContext ctx;
    none->renderAsVectorInContext(ctx, {10, 10}, 1);
    none->renderInContext(ctx, {10, 10}, 1, true);
    EXPECT_TRUE(ctx.operations().empty());
}

TEST(CHTPlotSymbolTest, WhatEachTypeDraws) {
    auto red = CHTFill::fillWithColor(CHTColor::redColor());
    gfx::RecordingContext ctx;
    // No shape: nothing, even with a fill.
    auto none = CHTPlotSymbol::plotSymbol();
    none->setFill(red);
    none->renderAsVectorInContext(ctx, {10, 10}, 1);
    EXPECT_TRUE(ctx.operations().empty());
    // A cross is never filled: with a fill only it draws nothing.
    auto cross = CHTPlotSymbol::crossPlotSymbol();
    cross->setLineStyle(nullptr);
    cross->setFill(red);
    cross->renderAsVectorInContext(ctx, {10, 10}, 1);
    EXPECT_TRUE(ctx.operations().empty());
    // A rectangle: clipped fill, then the outline, about the point.
    auto rect = CHTPlotSymbol::rectanglePlotSymbol();
    rect->setFill(red);
    rect->renderAsVectorInContext(ctx, {10, 20}, 2);
    std::vector<std::string> names;
    for (const auto& op : ctx.operations()) names.push_back(op.name);
    auto has = [&](const char* name) { return std::find(names.begin(), names.end(), name) != names.end(); };
    EXPECT_TRUE(has("clip"));
    EXPECT_TRUE(has("strokePath"));
    for (const auto& op : ctx.operations()) {
        if (op.name == "strokePath") {
            EXPECT_EQ(op.ctm, gfx::AffineTransform(2, 0, 0, 2, 10, 20));
        }
    }
}

TEST(CHTPlotSymbolTest, StampsAtTheRoundedOriginAndSize) {
    // 5 x 5 with a 1-point line at scale 1: an 8 x 8 stamp; (10.3, 20.7)
    // gives the origin (round(6.3), round(16.7)).
    auto symbol = outlined(CHTPlotSymbol::ellipsePlotSymbol(), {5, 5}, 1);
    {
        gfx::RecordingContext ctx;
        symbol->renderInContext(ctx, {10.3f, 20.7f}, 1, true);
        auto texts = ctx.operationTexts();
        EXPECT_NE(std::find(texts.begin(), texts.end(), "createLayer(8, 8)"), texts.end());
        EXPECT_NE(std::find(texts.begin(), texts.end(), "drawLayer(6, 17, 8, 8)"), texts.end());
        ASSERT_TRUE(symbol->cachedLayer());
    }
    // At scale 2 (a 2x context): 14 x 14 pixels, shown as 7 x 7 points
    // centred on the point, the origin on a half point.
    {
        gfx::RecordingContext ctx({320, 480}, 2);
        symbol->renderInContext(ctx, {10.3f, 20.7f}, 2, true);
        ASSERT_TRUE(symbol->cachedLayer());
        EXPECT_EQ(symbol->cachedLayer()->size(), gfx::Size(7, 7));
        EXPECT_EQ(cairo_image_surface_get_width(symbol->cachedLayer()->surface()), 14);
        auto texts = ctx.operationTexts();
        // 10.3 - 3.5 = 6.8 -> round(13.6) / 2 = 7; 20.7 - 3.5 = 17.2 -> 17.
        EXPECT_NE(std::find(texts.begin(), texts.end(), "drawLayer(7, 17, 7, 7)"), texts.end());
    }
    // Without alignment the stamp is centred exactly.
    EXPECT_EQ(symbol->stampRect({10.5f, 20.5f}, 1, false), gfx::Rect(6.5f, 16.5f, 8, 8));

    // Changing the size rebuilds the shape and the drawing before the next use.
    const gfx::Path before = symbol->cachedSymbolPath();
    symbol->setSize({9, 9});
    EXPECT_FALSE(symbol->cachedLayer());
    EXPECT_NE(symbol->cachedSymbolPath(), before);
    EXPECT_EQ(symbol->cachedSymbolPath().boundingBox(), gfx::Rect(-4.5f, -4.5f, 9, 9));
}

// The stamp's pixels are the vector drawing's pixels, in a y-up context and
// in a y-down one flipped by its transform (how layers draw on screen), at
// scale 1 and 2.
TEST(CHTPlotSymbolTest, StampedPixelsMatchVectorPixels) {
    auto symbol = outlined(CHTPlotSymbol::trianglePlotSymbol(), {10, 10}, 1);
    symbol->setFill(CHTFill::fillWithColor(CHTColor::redColor()));
    for (CGFloat scale : {1.0f, 2.0f}) {
        for (int flipped = 0; flipped < 2; ++flipped) {
            auto make = [&] {
                auto ctx = std::make_unique<gfx::ImageContext>(gfx::Size(40, 40), scale,
                                                               flipped ? gfx::YAxis::Down : gfx::YAxis::Up);
                if (flipped) {
                    ctx->translate(0, 40);
                    ctx->scale(1, -1);
                }
                return ctx;
            };
            auto vector = make(), stamped = make();
            symbol->renderAsVectorInContext(*vector, {20.5f, 20.5f}, 1);
            symbol->renderInContext(*stamped, {20.5f, 20.5f}, scale, true);
            auto a = vector->image(), b = stamped->image();
            int worst = 0, painted = 0;
            for (int y = 0; y < int(40 * scale); ++y)
                for (int x = 0; x < int(40 * scale); ++x) {
                    auto p = a->pixel(x, y), q = b->pixel(x, y);
                    painted += p.a > 0;
                    worst = std::max(
                        {worst, std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b), std::abs(p.a - q.a)});
                }
            EXPECT_GT(painted, 40) << "scale " << scale << " flipped " << flipped;
            // Flipped, the rasterizer's coverage of slanted edges differs by
            // a few levels between the two directions.
            EXPECT_LE(worst, flipped ? 24 : 2) << "scale " << scale << " flipped " << flipped;
            // The apex points up on the page: the top rows hold red, the
            // rows just below the base do not.
            int apexRow = int((40 - 20.5 - 4.5) * scale), belowBase = int((40 - 20.5 + 4) * scale);
            EXPECT_GT(b->pixel(int(20.5 * scale), apexRow).a, 0) << "scale " << scale << " flipped " << flipped;
            EXPECT_EQ(b->pixel(int(20.5 * scale), belowBase).a, 0) << "scale " << scale << " flipped " << flipped;
        }
    }
}

TEST(CHTPlotSymbolTest, CopyKeepsTheShadowAndArchivingRoundTrips) {
    auto symbol = outlined(CHTPlotSymbol::starPlotSymbol(), {7, 9}, 2);
    symbol->setFill(CHTFill::fillWithColor(CHTColor::greenColor()));
    auto shadow = CHTShadow::shadow();
    shadow->setShadowOffset({2, -3});
    shadow->setShadowBlurRadius(1.5f);
    shadow->setShadowColor(CHTColor::blackColor());
    symbol->setShadow(shadow);
    symbol->setUsesEvenOddClipRule(true);

    auto copy = symbol->copy();
    ASSERT_TRUE(copy->shadow());
    EXPECT_EQ(copy->shadow()->shadowOffset(), gfx::Size(2, -3));
    EXPECT_NE(copy->lineStyle(), symbol->lineStyle());
    EXPECT_EQ(copy->lineStyle()->lineWidth(), 2);
    EXPECT_EQ(copy->symbolType(), CHTPlotSymbolTypeStar);
    EXPECT_TRUE(copy->usesEvenOddClipRule());
    // The stamp makes room for the shadow's offset and blur.
    EXPECT_EQ(copy->stampRect({0, 0}, 1, false).size, gfx::Size(7 + 2 * 3.5f + 2 + 2, 9 + 2 * 4.5f + 2 + 2));

    CHTRegisterCodingClasses();
    auto decoded = base::KeyedUnarchiver::unarchiveObjectOfType<CHTPlotSymbol>(
        base::KeyedArchiver::archivedDataWithRootObject(symbol));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->size(), gfx::Size(7, 9));
    EXPECT_EQ(decoded->symbolType(), CHTPlotSymbolTypeStar);
    ASSERT_TRUE(decoded->shadow());
    EXPECT_EQ(decoded->shadow()->shadowBlurRadius(), 1.5f);
    EXPECT_TRUE(decoded->fill());
    EXPECT_TRUE(decoded->usesEvenOddClipRule());
    EXPECT_FALSE(decoded->cachedLayer());
    EXPECT_EQ(decoded->cachedSymbolPath(), symbol->cachedSymbolPath());
}
