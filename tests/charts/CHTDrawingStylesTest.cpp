// Colours, gradients, fills, images, line styles, line caps, shadows and
// text styles.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "TestEnvironment.h"
#include "charts/CHTCoderExtensions.h"
#include "charts/CHTColor.h"
#include "charts/CHTFill.h"
#include "charts/CHTGradient.h"
#include "charts/CHTImage.h"
#include "charts/CHTLineCap.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTMutableShadow.h"
#include "charts/CHTMutableTextStyle.h"
#include "charts/ChartTestSupport.h"
#include "charts/_CHTFillColor.h"
#include "platform/gfx/Context.h"
#include "platform/ui/Application.h"

namespace {

template <class T>
std::shared_ptr<T> roundTrip(const std::shared_ptr<const base::Coding>& object) {
    CHTRegisterCodingClasses();
    return base::KeyedUnarchiver::unarchiveObjectOfType<T>(base::KeyedArchiver::archivedDataWithRootObject(object));
}

gfx::Image::RGBA8 probe(gfx::ImageContext& ctx, int x, int y) { return ctx.image()->pixel(x, y); }

bool near(int a, int b, int tolerance = 3) { return std::abs(a - b) <= tolerance; }

}  // namespace

TEST(CHTColorTest, ComponentsEqualityHashAndAlpha) {
    auto a = CHTColor::colorWithComponentRed(0.2f, 0.4f, 0.6f, 1);
    auto b = CHTColor::colorWithComponentRed(0.2f, 0.4f, 0.6f, 1);
    EXPECT_TRUE(a->isEqual(b.get()));
    EXPECT_EQ(a->hash(), b->hash());
    auto half = a->colorWithAlphaComponent(0.5f);
    auto c = CHTRGBAColorFromCGColor(half->cgColor());
    EXPECT_FLOAT_EQ(c.red, 0.2f);
    EXPECT_FLOAT_EQ(c.blue, 0.6f);
    EXPECT_FLOAT_EQ(c.alpha, 0.5f);
    EXPECT_FALSE(a->isEqual(half.get()));
    CHTShadow other;
    EXPECT_FALSE(a->isEqual(&other));

    auto clear = CHTColor::clearColor();
    ASSERT_EQ(clear->cgColor().numberOfComponents(), 4u);
    for (auto v : clear->cgColor().components()) EXPECT_EQ(v, 0);
    EXPECT_EQ(CHTColor::redColor(), CHTColor::redColor());  // shared
    EXPECT_FLOAT_EQ(CHTColor::darkGrayColor()->cgColor().red(), 1.0f / 3.0f);
}

TEST(CHTColorTest, HashOfWhiteDoesNotOverflow) {
    // 256 + 256^2 + 256^3 + 256^4 is beyond 32 bits.
    EXPECT_EQ(CHTColor::whiteColor()->hash(), 256ull + 65536ull + 16777216ull + 4294967296ull);
}

TEST(CHTColorTest, Archives) {
    auto decoded = roundTrip<CHTColor>(CHTColor::orangeColor());
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(decoded->isEqual(CHTColor::orangeColor().get()));
}

TEST(CHTGradientTest, ColoursAtZeroHalfAndOneInBothModes) {
    auto g = CHTGradient::gradientWithBeginningColor(CHTColor::redColor(), CHTColor::blueColor());
    auto mid = g->newColorAtPosition(0.5f).rgba();
    EXPECT_FLOAT_EQ(mid[0], 0.5f);
    EXPECT_FLOAT_EQ(mid[1], 0);
    EXPECT_FLOAT_EQ(mid[2], 0.5f);
    EXPECT_FLOAT_EQ(g->newColorAtPosition(0).rgba()[0], 1);
    EXPECT_FLOAT_EQ(g->newColorAtPosition(1).rgba()[2], 1);
    // Held beyond the ends.
    EXPECT_FLOAT_EQ(g->newColorAtPosition(-1).rgba()[0], 1);
    EXPECT_FLOAT_EQ(g->newColorAtPosition(2).rgba()[2], 1);

    // Hue rising from red (0) to blue (240) passes green at 120.
    auto up = g->gradientWithBlendingMode(CHTChromaticBlendingMode)->newColorAtPosition(0.5f).rgba();
    EXPECT_NEAR(up[0], 0, 1e-5);
    EXPECT_NEAR(up[1], 1, 1e-5);
    EXPECT_NEAR(up[2], 0, 1e-5);
    // Falling from 360 to 240 passes magenta at 300.
    auto down = g->gradientWithBlendingMode(CHTInverseChromaticBlendingMode);
    auto dm = down->newColorAtPosition(0.5f).rgba();
    EXPECT_NEAR(dm[0], 1, 1e-5);
    EXPECT_NEAR(dm[1], 0, 1e-5);
    EXPECT_NEAR(dm[2], 1, 1e-5);
    EXPECT_NEAR(down->newColorAtPosition(0).rgba()[0], 1, 1e-5);
    EXPECT_NEAR(down->newColorAtPosition(1).rgba()[2], 1, 1e-5);
}

TEST(CHTGradientTest, StopsPresetsAndDerivedGradients) {
    CHTGradient empty;
    auto white = empty.newColorAtPosition(0.3f).rgba();
    EXPECT_EQ(white[0], 1);
    EXPECT_EQ(white[3], 1);

    auto aqua = CHTGradient::aquaNormalGradient();
    ASSERT_EQ(aqua->elementCount(), 4u);
    // Two stops at 0.5 keep their order: a hard edge.
    EXPECT_FLOAT_EQ(aqua->elementAtIndex(1)->color.red, 0.83f);
    EXPECT_FLOAT_EQ(aqua->elementAtIndex(2)->color.red, 0.95f);

    // A grey blended in HSV keeps the colour's hue.
    auto greyToRed = CHTGradient::gradientWithBeginningColor(CHTColor::grayColor(), CHTColor::redColor())
                         ->gradientWithBlendingMode(CHTChromaticBlendingMode);
    auto m = greyToRed->newColorAtPosition(0.5f).rgba();
    EXPECT_GT(m[0], m[1]);
    EXPECT_FLOAT_EQ(m[1], m[2]);

    // Half-transparent stops are handed out unpremultiplied.
    auto translucent = CHTGradient::gradientWithBeginningColor(CHTColor::redColor()->colorWithAlphaComponent(0.5f),
                                                               CHTColor::redColor()->colorWithAlphaComponent(0.5f));
    auto t = translucent->newColorAtPosition(0.5f).rgba();
    EXPECT_FLOAT_EQ(t[0], 1);
    EXPECT_FLOAT_EQ(t[3], 0.5f);

    auto added = aqua->addColorStop(CHTColor::blackColor(), 0.25f);
    EXPECT_EQ(added->elementCount(), 5u);
    EXPECT_EQ(aqua->elementCount(), 4u);
    EXPECT_EQ(added->removeColorStopAtPosition(0.25f)->elementCount(), 4u);
    try {
        aqua->removeColorStopAtIndex(9);
        FAIL();
    } catch (const base::Exception& e) {
        EXPECT_EQ(e.name(), "NSRangeException");
        EXPECT_EQ(e.reason(), "-[CHTGradient removeColorStopAtIndex:]: index (9) beyond bounds");
    }
    try {
        aqua->removeColorStopAtPosition(0.3f);
        FAIL();
    } catch (const base::Exception& e) {
        EXPECT_EQ(e.reason(), "-[CHTGradient removeColorStopAtPosition:]: no such colorStop at position (0.3)");
    }
    EXPECT_THROW(aqua->newColorStopAtIndex(4), base::Exception);
    auto faded = aqua->gradientWithAlphaComponent(0.25f);
    EXPECT_FLOAT_EQ(faded->elementAtIndex(3)->color.alpha, 0.25f);
    EXPECT_TRUE(aqua->isEqual(aqua->copy().get()));
    EXPECT_EQ(aqua->hash(), aqua->copy()->hash());
    EXPECT_FALSE(aqua->isEqual(faded.get()));
    EXPECT_EQ(CHTGradient::hydrogenSpectrumGradient()->elementCount(), 12u);
}

TEST(CHTGradientTest, AxialGeometryAt45Degrees) {
    auto g = CHTGradient::gradientWithBeginningColor(CHTColor::blackColor(), CHTColor::whiteColor());
    g->setAngle(45);
    auto s = g->newAxialGradientInRect(gfx::Rect(0, 0, 100, 50));
    ASSERT_TRUE(s);
    // Through the centre, at 45 degrees, spanning the corners' projections:
    // L = 100 / cos 45 + (50 - 100) * sin 45 = 75 * sqrt 2.
    EXPECT_NEAR((s->start.x + s->end.x) / 2, 50, 1e-3);
    EXPECT_NEAR((s->start.y + s->end.y) / 2, 25, 1e-3);
    EXPECT_NEAR(s->end.x - s->start.x, 75, 1e-3);
    EXPECT_NEAR(s->end.y - s->start.y, 75, 1e-3);
}

TEST(CHTGradientTest, DrawsNothingForEmptyRadialOrUnknownMode) {
    gfx::ImageContext ctx({20, 20});
    auto radial = CHTGradient::gradientWithBeginningColor(CHTColor::redColor(), CHTColor::blueColor());
    radial->setGradientType(CHTGradientTypeRadial);
    radial->fillRect(gfx::Rect(5, 5, 0, 10), ctx);
    EXPECT_FALSE(radial->newRadialGradientInRect(gfx::Rect(5, 5, 10, 0), ctx).has_value());
    auto odd = radial->gradientWithBlendingMode(7);
    odd->setGradientType(CHTGradientTypeAxial);
    odd->fillRect(gfx::Rect(0, 0, 20, 20), ctx);
    EXPECT_EQ(probe(ctx, 10, 10).a, 0);
    EXPECT_EQ(ctx.status(), 0);
}

TEST(CHTGradientTest, FillsARectWithItsColours) {
    gfx::ImageContext ctx({100, 10});
    CHTGradient::gradientWithBeginningColor(CHTColor::redColor(), CHTColor::blueColor())
        ->fillRect(gfx::Rect(0, 0, 100, 10), ctx);
    auto left = probe(ctx, 1, 5), right = probe(ctx, 98, 5), mid = probe(ctx, 50, 5);
    EXPECT_GT(left.r, 240);
    EXPECT_GT(right.b, 240);
    EXPECT_TRUE(near(mid.r, 127, 6) && near(mid.b, 127, 6));
}

TEST(CHTGradientTest, Archives) {
    auto g = CHTGradient::aquaSelectedGradient()->gradientWithBlendingMode(CHTInverseChromaticBlendingMode);
    g->setAngle(30);
    auto decoded = roundTrip<CHTGradient>(g);
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(decoded->isEqual(g.get()));
}

TEST(CHTFillTest, ColourFillArchivesAsFillAndDecodesAsColourFill) {
    auto fill = CHTFill::fillWithColor(CHTColor::greenColor());
    EXPECT_EQ(fill->classForCoder(), "CHTFill");
    auto decoded = roundTrip<CHTFill>(fill);
    auto colour = std::dynamic_pointer_cast<_CHTFillColor>(decoded);
    ASSERT_TRUE(colour);
    EXPECT_TRUE(colour->fillColor()->isEqual(CHTColor::greenColor().get()));
    CHTFill plain;
    EXPECT_EQ(plain.copy(), nullptr);
}

TEST(CHTFillTest, ImageFillOfAPathPaintsOnlyInsideIt) {
    auto red = gfx::ImageContext({4, 4});
    red.setFillColor(gfx::Color::rgb(1, 0, 0));
    red.fillRect(gfx::Rect(0, 0, 4, 4));
    auto fill = CHTFill::fillWithImage(CHTImage::imageWithCGImage(red.image()));
    gfx::ImageContext ctx({20, 20});
    ctx.beginPath();
    ctx.addEllipseInRect(gfx::Rect(0, 0, 20, 20));
    fill->fillPathInContext(ctx);
    EXPECT_GT(probe(ctx, 10, 10).r, 250);
    EXPECT_EQ(probe(ctx, 0, 0).a, 0);
}

TEST(CHTImageTest, StretchedAtAnyContextScale) {
    auto src = gfx::ImageContext({2, 2});
    src.setFillColor(gfx::Color::rgb(0, 0, 1));
    src.fillRect(gfx::Rect(0, 0, 2, 2));
    CHTImage image(src.image(), 2);
    gfx::ImageContext ctx({20, 20}, 2);
    image.drawInRect(gfx::Rect(10, 10, 10, 10), ctx);
    // Device pixels 20..39 are covered, 0..19 are not.
    EXPECT_GT(probe(ctx, 21, 21).b, 250);
    EXPECT_GT(probe(ctx, 38, 38).b, 250);
    EXPECT_EQ(probe(ctx, 18, 18).a, 0);
}

TEST(CHTImageTest, TilesAnchoredToTheContextOrToTheRect) {
    // A 4 x 4 tile whose top-left quarter is red, the rest transparent.
    auto src = gfx::ImageContext({4, 4});
    src.setFillColor(gfx::Color::rgb(1, 0, 0));
    src.fillRect(gfx::Rect(0, 0, 2, 2));
    CHTImage image(src.image());
    image.setTiled(true);
    gfx::ImageContext anchored({12, 12});
    image.drawInRect(gfx::Rect(1, 1, 11, 11), anchored);
    gfx::ImageContext local({12, 12});
    image.setTileAnchoredToContext(false);
    image.drawInRect(gfx::Rect(1, 1, 11, 11), local);
    // Tiles repeat every 4 points, from the origin or from (1, 1): column 4
    // starts a tile (red on its left) only when anchored to the context,
    // column 6 only when anchored to the rect.
    int anchoredRed4 = 0, localRed4 = 0, anchoredRed6 = 0, localRed6 = 0;
    for (int y = 1; y < 12; ++y) {
        anchoredRed4 += probe(anchored, 4, y).a > 0;
        localRed4 += probe(local, 4, y).a > 0;
        anchoredRed6 += probe(anchored, 6, y).a > 0;
        localRed6 += probe(local, 6, y).a > 0;
    }
    EXPECT_GT(anchoredRed4, 0);
    EXPECT_EQ(localRed4, 0);
    EXPECT_EQ(anchoredRed6, 0);
    EXPECT_GT(localRed6, 0);
    EXPECT_EQ(probe(anchored, 4, 4), probe(anchored, 8, 8));
    EXPECT_EQ(probe(local, 0, 0).a, 0);  // clipped to the rect
}

TEST(CHTImageTest, DoubleResolutionLookupAndEquality) {
    test::TempHome home;
    auto src = gfx::ImageContext({2, 2});
    src.setFillColor(gfx::Color::rgb(0, 1, 0));
    src.fillRect(gfx::Rect(0, 0, 2, 2));
    std::string plain = home.path() + "/dot.png";
    ASSERT_TRUE(src.image()->writePNG(plain));
    auto& screen = ui::Screen::mainScreen();
    gfx::Float saved = screen.scale();
    screen.setScale(2);
    auto one = CHTImage::imageForPNGFile(plain);
    ASSERT_TRUE(one);
    EXPECT_EQ(one->scale(), 1);
    ASSERT_TRUE(src.image()->writePNG(home.path() + "/dot@2x.png"));
    auto two = CHTImage::imageForPNGFile(plain);
    EXPECT_EQ(two->scale(), 2);
    auto upper = CHTImage::imageForPNGFile(home.path() + "/dot.PNG");
    ASSERT_TRUE(upper);  // redirected to dot@2x.png
    EXPECT_EQ(upper->scale(), 2);
    screen.setScale(saved);
    auto again = CHTImage::imageForPNGFile(plain);
    auto third = CHTImage::imageForPNGFile(plain);
    EXPECT_TRUE(again->isEqual(third.get()));
    EXPECT_EQ(again->hash(), third->hash());
    EXPECT_EQ(CHTImage::imageForPNGFile(home.path() + "/missing.png"), nullptr);
    charttest::ScopedAssertionRecorder recorder(false);
    again->setScale(0);
    ASSERT_EQ(recorder.failures().size(), 1u);
    EXPECT_EQ(recorder.failures()[0].description, "Invalid parameter not satisfying: newScale > 0.0");
    EXPECT_EQ(recorder.failures()[0].file, "Charts/Source/CHTImage");
    EXPECT_GT(again->scale(), 0);
}

TEST(CHTLineStyleTest, DefaultsCopiesAndContext) {
    auto style = CHTLineStyle::lineStyle();
    EXPECT_EQ(style->lineWidth(), 1);
    EXPECT_EQ(style->miterLimit(), 10);
    EXPECT_EQ(style->lineCap(), gfx::LineCap::Butt);
    style->setLineWidth(3);
    style->setLineCap(gfx::LineCap::Round);
    style->setLineJoin(gfx::LineJoin::Bevel);
    style->setDashPattern({4, 2});
    style->setPatternPhase(1);
    style->setLineColor(CHTColor::redColor());
    std::shared_ptr<CHTLineStyle> frozen = style->copy();
    EXPECT_EQ(frozen->classForCoder(), "CHTLineStyle");
    EXPECT_TRUE(std::dynamic_pointer_cast<CHTMutableLineStyle>(frozen->mutableCopy()));
    EXPECT_FALSE(std::dynamic_pointer_cast<CHTMutableLineStyle>(frozen));

    gfx::RecordingContext ctx({10, 10});
    frozen->setLineStyleInContext(ctx);
    EXPECT_EQ(ctx.lineWidth(), 3);
    EXPECT_EQ(ctx.lineCap(), gfx::LineCap::Round);
    EXPECT_EQ(ctx.lineJoin(), gfx::LineJoin::Bevel);
    EXPECT_EQ(ctx.lineDash(), (std::vector<gfx::Float>{4, 2}));
    EXPECT_EQ(ctx.lineDashPhase(), 1);
    EXPECT_EQ(ctx.strokeColor(), gfx::Color::rgb(1, 0, 0));

    style->setDashPattern({});
    style->setLineStyleInContext(ctx);
    EXPECT_TRUE(ctx.lineDash().empty());

    auto decoded = roundTrip<CHTLineStyle>(frozen);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->lineWidth(), 3);
    EXPECT_EQ(decoded->dashPattern(), (std::vector<gfx::Float>{4, 2}));
    EXPECT_TRUE(decoded->lineColor()->isEqual(CHTColor::redColor().get()));
}

TEST(CHTLineCapTest, SolidArrowTipAtThePointAndBaseBehind) {
    auto cap = CHTLineCap::solidArrowPlotLineCap();
    cap->setSize({10, 10});
    cap->setFill(CHTFill::fillWithColor(CHTColor::blackColor()));
    cap->setLineStyle(nullptr);
    gfx::ImageContext ctx({40, 40});
    cap->renderAsVectorInContext(ctx, {30, 20}, {1, 0});
    // Pointing right: tip at x 30, base at x 25 spanning y 15..25.
    EXPECT_GT(probe(ctx, 26, 20).a, 200);
    EXPECT_EQ(probe(ctx, 32, 20).a, 0);
    EXPECT_EQ(probe(ctx, 22, 20).a, 0);
    EXPECT_GT(probe(ctx, 25, 16).a, 0);
}

TEST(CHTLineCapTest, ShapeCacheAndCustomPaths) {
    auto cap = CHTLineCap::rectanglePlotLineCap();
    EXPECT_EQ(cap->cachedLineCapPath().boundingBox(), gfx::Rect(-2.5f, -2.5f, 5, 5));
    cap->setSize({8, 4});
    EXPECT_EQ(cap->cachedLineCapPath().boundingBox(), gfx::Rect(-4, -2, 8, 4));
    cap->setLineCapType(CHTLineCapTypeBar);
    EXPECT_EQ(cap->cachedLineCapPath().boundingBox(), gfx::Rect(-4, 0, 8, 0));

    auto none = CHTLineCap::customLineCapWithPath(gfx::Path());
    EXPECT_TRUE(none->cachedLineCapPath().isEmpty());

    // A flat custom path keeps scale 1 on its flat axis and is centred on it.
    gfx::Path line;
    line.moveTo(0, 0);
    line.lineTo(2, 0);
    auto flat = CHTLineCap::customLineCapWithPath(line);
    flat->setSize({10, 6});
    gfx::Rect box = flat->cachedLineCapPath().boundingBox();
    EXPECT_TRUE(std::isfinite(box.x()) && std::isfinite(box.y()));
    EXPECT_EQ(box, gfx::Rect(-5, 0, 10, 0));

    auto decoded = roundTrip<CHTLineCap>(flat);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->lineCapType(), CHTLineCapTypeCustom);
    EXPECT_EQ(decoded->size(), gfx::Size(10, 6));
    EXPECT_EQ(decoded->cachedLineCapPath(), flat->cachedLineCapPath());
}

TEST(CHTShadowTest, OffsetBlurColourAndAssertion) {
    auto shadow = CHTShadow::shadow();
    shadow->setShadowOffset({3, -3});
    shadow->setShadowBlurRadius(2);
    shadow->setShadowColor(CHTColor::blackColor());
    charttest::ScopedAssertionRecorder recorder(false);
    shadow->setShadowBlurRadius(-1);
    ASSERT_EQ(recorder.failures().size(), 1u);
    EXPECT_EQ(recorder.failures()[0].description, "Invalid parameter not satisfying: newShadowBlurRadius >= 0.0");
    EXPECT_EQ(shadow->shadowBlurRadius(), 2);
    EXPECT_EQ(shadow->copy()->classForCoder(), "CHTShadow");

    // The shadow of a square lands at the offset.
    gfx::ImageContext ctx({40, 40});
    auto sharp = CHTShadow::shadow();
    sharp->setShadowOffset({10, 10});
    sharp->setShadowColor(CHTColor::blueColor());
    sharp->setShadowInContext(ctx);
    EXPECT_TRUE(ctx.hasShadow());
    ctx.setFillColor(gfx::Color::rgb(1, 0, 0));
    ctx.fillRect(gfx::Rect(5, 5, 10, 10));
    EXPECT_GT(probe(ctx, 22, 22).b, 200);
    EXPECT_EQ(probe(ctx, 22, 22).r, 0);
    EXPECT_GT(probe(ctx, 8, 8).r, 200);
    CHTShadow().setShadowInContext(ctx);
    EXPECT_FALSE(ctx.hasShadow());

    auto decoded = roundTrip<CHTShadow>(shadow);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->shadowOffset(), gfx::Size(3, -3));
    EXPECT_EQ(decoded->shadowBlurRadius(), 2);
}

TEST(CHTTextStyleTest, DefaultsCopiesAndArchive) {
    auto style = CHTTextStyle::textStyle();
    EXPECT_EQ(style->fontName(), "Helvetica");
    EXPECT_EQ(style->fontSize(), 12);
    style->setFontSize(20);
    style->setTextAlignment(gfx::TextAlignment::Center);
    auto frozen = style->copy();
    EXPECT_EQ(frozen->classForCoder(), "CHTTextStyle");
    auto decoded = roundTrip<CHTTextStyle>(frozen);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->fontSize(), 20);
    EXPECT_EQ(decoded->textAlignment(), gfx::TextAlignment::Center);
    EXPECT_TRUE(decoded->color()->isEqual(CHTColor::blackColor().get()));
}

TEST(CHTGradientTest, NarrowBandsShowInTheShading) {
    // The hydrogen spectrum has four lines, the narrowest 0.6 % of the width.
    gfx::ImageContext ctx({400, 2});
    CHTGradient::hydrogenSpectrumGradient()->fillRect(gfx::Rect(0, 0, 400, 2), ctx);
    int bands = 0;
    bool inBand = false;
    for (int x = 0; x < 400; ++x) {
        auto p = probe(ctx, x, 1);
        bool bright = std::max({p.r, p.g, p.b}) > 100;
        if (bright && !inBand) ++bands;
        inBand = bright;
    }
    EXPECT_EQ(bands, 4);
    // The narrowest line, at 0.965, is there.
    auto line = probe(ctx, 386, 1);
    EXPECT_GT(std::max({line.r, line.g, line.b}), 100);
}
