#include <gtest/gtest.h>

#include <cairo.h>

#include <cmath>
#include <string>

#include "GfxTestSupport.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Image.h"

using namespace gfx;
using gfxtest::pixelIs;

namespace {

const Color kRed = Color::rgb(1, 0, 0);
const Color kBlue = Color::rgb(0, 0, 1);

// A 4 x 4 picture: red top half, blue bottom half (row 0 is the top).
std::shared_ptr<Image> twoColourImage() {
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            bool top = y < 2;
            rgba.insert(rgba.end(), {std::uint8_t(top ? 255 : 0), 0, std::uint8_t(top ? 0 : 255), 255});
        }
    auto raw = Image::create(4, 4, 8, 32, 16, Image::kLast, rgba);
    // Through PNG, as pictures arrive.
    return Image::decodePNG(raw->encodePNG());
}

ShadingFunction hardEdge() {
    return [](Float t) -> std::array<Float, 4> {
        return t < 0.5f ? std::array<Float, 4>{1, 0, 0, 1} : std::array<Float, 4>{0, 0, 1, 1};
    };
}

}  // namespace

TEST(ContextTest, FilledRectLandsOnItsPixelsAtScaleOne) {
    ImageContext ctx({20, 20}, 1);
    ctx.setFillColor(kRed);
    ctx.fillRect({5, 5, 10, 10});
    auto img = ctx.image();
    ASSERT_EQ(img->width(), 20);
    EXPECT_TRUE(pixelIs(*img, 5, 5, 255, 0, 0, 255));
    EXPECT_TRUE(pixelIs(*img, 14, 14, 255, 0, 0, 255));
    EXPECT_TRUE(pixelIs(*img, 4, 4, 0, 0, 0, 0));
    EXPECT_TRUE(pixelIs(*img, 15, 15, 0, 0, 0, 0));
}

TEST(ContextTest, FilledRectLandsOnItsPixelsAtScaleTwo) {
    ImageContext ctx({20, 20}, 2);
    ctx.setFillColor(kRed);
    ctx.fillRect({5, 5, 10, 10});
    auto img = ctx.image();
    ASSERT_EQ(img->width(), 40);
    EXPECT_FLOAT_EQ(img->scale(), 2);
    EXPECT_EQ(img->size(), Size(20, 20));
    EXPECT_TRUE(pixelIs(*img, 10, 10, 255, 0, 0, 255));
    EXPECT_TRUE(pixelIs(*img, 29, 29, 255, 0, 0, 255));
    EXPECT_TRUE(pixelIs(*img, 9, 9, 0, 0, 0, 0));
    EXPECT_TRUE(pixelIs(*img, 30, 30, 0, 0, 0, 0));
    EXPECT_EQ(ctx.convertPointToDeviceSpace({5, 5}), Point(10, 10));
}

TEST(ContextTest, YUpContextHasItsOriginAtTheBottom) {
    ImageContext ctx({20, 20}, 1, YAxis::Up);
    ctx.setFillColor(kRed);
    ctx.fillRect({0, 0, 20, 5});
    auto img = ctx.image();
    EXPECT_TRUE(pixelIs(*img, 10, 17, 255, 0, 0, 255));
    EXPECT_TRUE(pixelIs(*img, 10, 2, 0, 0, 0, 0));
    EXPECT_EQ(ctx.convertPointToDeviceSpace({0, 0}), Point(0, 20));
}

TEST(ContextTest, TransformsAndConversions) {
    ImageContext ctx({50, 50}, 2);
    ctx.translate(10, 0);
    ctx.scale(2, 1);
    EXPECT_EQ(ctx.convertPointToDeviceSpace({1, 1}), Point(24, 2));
    EXPECT_EQ(ctx.convertPointToUserSpace({24, 2}), Point(1, 1));
    EXPECT_EQ(ctx.userTransform(), AffineTransform(2, 0, 0, 1, 10, 0));
    EXPECT_EQ(ctx.convertRectToDeviceSpace({0, 0, 1, 1}), Rect(20, 0, 4, 2));
    ctx.save();
    ctx.rotate(float(M_PI / 2));
    ctx.restore();
    EXPECT_EQ(ctx.userTransform(), AffineTransform(2, 0, 0, 1, 10, 0));
}

TEST(ContextTest, StateStackKeepsColoursAndIgnoresExtraRestores) {
    ImageContext ctx({10, 10});
    ctx.setFillColor(kRed);
    ctx.setLineWidth(3);
    ctx.save();
    ctx.setFillColor(kBlue);
    ctx.setLineWidth(7);
    ctx.restore();
    EXPECT_EQ(ctx.fillColor(), kRed);
    EXPECT_FLOAT_EQ(ctx.lineWidth(), 3);
    ctx.restore();
    ctx.restore();
    EXPECT_EQ(ctx.status(), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(ctx.saveDepth(), 0);
}

TEST(ContextTest, FillRulesAndClipping) {
    ImageContext ctx({30, 30});
    ctx.setFillColor(kRed);
    ctx.addRect({0, 0, 30, 30});
    ctx.addRect({10, 10, 10, 10});
    ctx.eoFillPath();
    auto img = ctx.image();
    EXPECT_TRUE(pixelIs(*img, 5, 5, 255, 0, 0, 255));
    EXPECT_TRUE(pixelIs(*img, 15, 15, 0, 0, 0, 0));

    ImageContext clipped({30, 30});
    clipped.clipToRect({0, 0, 10, 30});
    clipped.setFillColor(kBlue);
    clipped.fillRect({0, 0, 30, 30});
    auto c = clipped.image();
    EXPECT_TRUE(pixelIs(*c, 5, 5, 0, 0, 255, 255));
    EXPECT_TRUE(pixelIs(*c, 15, 5, 0, 0, 0, 0));
    EXPECT_EQ(clipped.clipBoundingBox(), Rect(0, 0, 10, 30));
}

TEST(ContextTest, RectOperationsLeaveTheCurrentPathAlone) {
    ImageContext ctx({30, 30});
    ctx.moveTo(1, 1);
    ctx.lineTo(20, 1);
    ctx.lineTo(20, 20);
    ctx.fillRect({0, 0, 2, 2});
    ctx.clipToRect({0, 0, 30, 30});
    EXPECT_EQ(ctx.currentPoint(), Point(20, 20));
    EXPECT_EQ(ctx.pathBoundingBox(), Rect(1, 1, 19, 19));
    ctx.fillPath();
    EXPECT_TRUE(ctx.isPathEmpty());
}

TEST(ContextTest, ArcToPointThroughTheContext) {
    ImageContext ctx({30, 30});
    ctx.moveTo(0, 0);
    ctx.addArcToPoint(20, 0, 20, 20, 5);
    EXPECT_NEAR(ctx.currentPoint().x, 20, 1e-3);
    EXPECT_NEAR(ctx.currentPoint().y, 5, 1e-3);
    ctx.quadCurveTo(20, 30, 10, 30);
    EXPECT_NEAR(ctx.currentPoint().y, 30, 1e-3);
}

// The curve starts at the current point and keeps the subpath whole: the
// box reaches from the start to the end, and only two thirds of the way to
// the control point (where the equal cubic's control points lie).
TEST(ContextTest, QuadCurveStartsAtTheCurrentPoint) {
    ImageContext ctx({30, 30});
    ctx.moveTo(0, 0);
    ctx.quadCurveTo(10, 20, 20, 0);
    Rect box = ctx.pathBoundingBox();
    EXPECT_NEAR(box.x(), 0, 1e-3);
    EXPECT_NEAR(box.width(), 20, 1e-3);
    EXPECT_NEAR(box.height(), 40.0 / 3, 0.01);
}

TEST(ContextTest, AlphaScalesEveryFill) {
    ImageContext ctx({10, 10});
    ctx.setAlpha(0.5f);
    ctx.setFillColor(Color::white());
    ctx.fillRect({0, 0, 10, 10});
    EXPECT_TRUE(pixelIs(*ctx.image(), 5, 5, 255, 255, 255, 128, 2));
}

TEST(ContextTest, BadDashPatternsDrawSolidLines) {
    for (const std::vector<Float>& dash :
         {std::vector<Float>{-1, 2}, std::vector<Float>{0, 0}, std::vector<Float>{}, std::vector<Float>{NAN, 3}}) {
        ImageContext ctx({40, 10});
        ctx.setLineDash(NAN, dash);
        EXPECT_TRUE(ctx.lineDash().empty());
        ctx.setStrokeColor(kRed);
        ctx.setLineWidth(4);
        ctx.moveTo(0, 5);
        ctx.lineTo(40, 5);
        ctx.strokePath();
        EXPECT_EQ(ctx.status(), CAIRO_STATUS_SUCCESS);
        auto img = ctx.image();
        for (int x = 1; x < 39; x += 3) EXPECT_TRUE(pixelIs(*img, x, 5, 255, 0, 0, 255)) << x;
    }
}

TEST(ContextTest, ValidDashLeavesGaps) {
    ImageContext ctx({40, 10});
    ctx.setLineDash(0, {4, 4});
    EXPECT_EQ(ctx.lineDash(), (std::vector<Float>{4, 4}));
    ctx.setStrokeColor(kRed);
    ctx.setLineWidth(4);
    ctx.moveTo(0, 5);
    ctx.lineTo(40, 5);
    ctx.strokePath();
    auto img = ctx.image();
    EXPECT_TRUE(pixelIs(*img, 2, 5, 255, 0, 0, 255));
    EXPECT_TRUE(pixelIs(*img, 6, 5, 0, 0, 0, 0));
}

TEST(ContextTest, SingularTransformSkipsDrawingUntilRestored) {
    ImageContext ctx({20, 20});
    ctx.setFillColor(kRed);
    ctx.save();
    ctx.scale(0, 0);
    ctx.fillRect({0, 0, 20, 20});
    ctx.concat(AffineTransform(1, 0, 0, 1, NAN, 0));
    ctx.fillRect({0, 0, 20, 20});
    EXPECT_EQ(ctx.status(), CAIRO_STATUS_SUCCESS);
    ctx.restore();
    EXPECT_TRUE(pixelIs(*ctx.image(), 10, 10, 0, 0, 0, 0));
    ctx.fillRect({0, 0, 10, 10});
    EXPECT_EQ(ctx.status(), CAIRO_STATUS_SUCCESS);
    EXPECT_TRUE(pixelIs(*ctx.image(), 5, 5, 255, 0, 0, 255));
}

TEST(ContextTest, NaNCoordinatesDropThatDrawingOnly) {
    ImageContext ctx({20, 20});
    ctx.setFillColor(kRed);
    ctx.moveTo(0, 0);
    ctx.lineTo(NAN, 10);
    ctx.lineTo(20, 20);
    ctx.lineTo(0, 20);
    ctx.fillPath();
    ctx.fillRect({NAN, 0, 5, 5});
    ctx.translate(INFINITY, 0);
    ctx.setLineWidth(NAN);
    ctx.setMiterLimit(NAN);
    ctx.setShadow({NAN, 1}, NAN, Color::black());
    ctx.clipToRect({0, NAN, 3, 3});
    ctx.addArc(NAN, 0, 3, 0, 1, false);
    ctx.strokePath();
    EXPECT_EQ(ctx.status(), CAIRO_STATUS_SUCCESS);
    EXPECT_TRUE(pixelIs(*ctx.image(), 5, 15, 0, 0, 0, 0));
    ctx.setShadow({0, 0}, 0, std::nullopt);
    ctx.fillRect({0, 0, 10, 10});
    EXPECT_EQ(ctx.status(), CAIRO_STATUS_SUCCESS);
    EXPECT_TRUE(pixelIs(*ctx.image(), 5, 5, 255, 0, 0, 255));
}

TEST(ContextTest, ShadowLandsAtItsOffsetAndIsBlurred) {
    ImageContext ctx({60, 60});
    ctx.setShadow({10, 10}, 4, Color::black());
    ctx.setFillColor(kBlue);
    ctx.fillRect({10, 10, 20, 20});
    auto img = ctx.image();
    EXPECT_TRUE(pixelIs(*img, 20, 20, 0, 0, 255, 255));  // the fill on top
    EXPECT_GT(img->pixel(33, 33).a, 250);                // deep in the shadow
    EXPECT_EQ(img->pixel(33, 33).r, 0);
    EXPECT_EQ(img->pixel(5, 5).a, 0);  // nothing up-left
    // Blurred: the shadow's edge at x = 40 fades instead of stopping.
    int inside = img->pixel(38, 35).a, edge = img->pixel(40, 35).a, outside = img->pixel(46, 35).a;
    EXPECT_GT(inside, edge);
    EXPECT_GT(edge, 20);
    EXPECT_LT(edge, 235);
    EXPECT_GT(edge, outside);
    EXPECT_LT(outside, 10);
}

TEST(ContextTest, ShadowOffsetIsInBaseSpaceAndNullColourTurnsItOff) {
    ImageContext ctx({60, 60}, 2);
    ctx.scale(0.5f, 0.5f);  // user space changes; the offset does not
    ctx.setShadow({10, 0}, 0, Color::black());
    ctx.setFillColor(kBlue);
    ctx.fillRect({20, 20, 20, 20});  // points 10..20
    auto img = ctx.image();
    // Shadow at points 20..30, device pixels 40..60.
    EXPECT_GT(img->pixel(50, 30).a, 240);
    EXPECT_EQ(img->pixel(62, 30).a, 0);
    ctx.setShadow({10, 0}, 0, std::nullopt);
    EXPECT_FALSE(ctx.hasShadow());
    ctx.setFillColor(kRed);
    ctx.fillRect({80, 80, 10, 10});  // points 40..45, no shadow at 50
    EXPECT_EQ(ctx.image()->pixel(105, 85).a, 0);
}

TEST(ContextTest, StrokeShadowFollowsTheLine) {
    ImageContext ctx({40, 40});
    ctx.setShadow({0, 10}, 0, Color::black());
    ctx.setStrokeColor(kRed);
    ctx.setLineWidth(2);
    ctx.moveTo(0, 10);
    ctx.lineTo(40, 10);
    ctx.strokePath();
    auto img = ctx.image();
    EXPECT_TRUE(pixelIs(*img, 20, 10, 255, 0, 0, 255));
    EXPECT_TRUE(pixelIs(*img, 20, 20, 0, 0, 0, 255));
}

TEST(ContextTest, ImageDrawnInYUpContextIsUpright) {
    auto img = twoColourImage();
    ASSERT_TRUE(img);
    ImageContext up({20, 20}, 1, YAxis::Up);
    up.drawImage({0, 0, 20, 20}, *img);
    auto out = up.image();
    EXPECT_TRUE(pixelIs(*out, 10, 3, 255, 0, 0, 255));  // red stays on top
    EXPECT_TRUE(pixelIs(*out, 10, 16, 0, 0, 255, 255));

    ImageContext down({20, 20});
    down.drawImageTopDown({0, 0, 20, 20}, *img);
    EXPECT_TRUE(pixelIs(*down.image(), 10, 3, 255, 0, 0, 255));
    // The platform's image drawing in a y-down space turns it over.
    ImageContext flipped({20, 20});
    flipped.drawImage({0, 0, 20, 20}, *img);
    EXPECT_TRUE(pixelIs(*flipped.image(), 10, 3, 0, 0, 255, 255));
}

TEST(ContextTest, ImageDrawingHonoursAlphaAndShadow) {
    auto img = twoColourImage();
    ImageContext ctx({40, 40});
    ctx.setShadow({10, 10}, 0, Color::black());
    ctx.drawImageTopDown({0, 0, 20, 20}, *img);
    auto out = ctx.image();
    EXPECT_TRUE(pixelIs(*out, 25, 25, 0, 0, 0, 255));
    ImageContext faded({20, 20});
    faded.setAlpha(0.5f);
    faded.drawImageTopDown({0, 0, 20, 20}, *img);
    EXPECT_NEAR(faded.image()->pixel(10, 3).a, 128, 2);
}

TEST(ContextTest, TiledImageRepeatsOverTheClip) {
    auto img = twoColourImage();
    ImageContext ctx({16, 16}, 1, YAxis::Up);
    ctx.drawTiledImage({0, 0, 4, 4}, *img);
    auto out = ctx.image();
    // Every 4-pixel band alternates red (top of a tile) and blue.
    for (int y : {0, 4, 8, 12}) {
        EXPECT_TRUE(pixelIs(*out, 6, y, 255, 0, 0, 255)) << y;
        EXPECT_TRUE(pixelIs(*out, 6, y + 3, 0, 0, 255, 255)) << y;
    }
}

TEST(ContextTest, GradientWithTwoStopsAtOnePositionKeepsAHardEdge) {
    ImageContext ctx({100, 10});
    ctx.drawShading(Shading::axial({0, 0}, {100, 0}, hardEdge()));
    auto img = ctx.image();
    EXPECT_TRUE(pixelIs(*img, 49, 5, 255, 0, 0, 255, 3));
    EXPECT_TRUE(pixelIs(*img, 50, 5, 0, 0, 255, 255, 3));
    EXPECT_TRUE(pixelIs(*img, 10, 5, 255, 0, 0, 255));
    EXPECT_TRUE(pixelIs(*img, 90, 5, 0, 0, 255, 255));
}

TEST(ContextTest, SmoothShadingBlendsAndAxialIsNotExtended) {
    ImageContext ctx({100, 10});
    auto ramp = [](Float t) -> std::array<Float, 4> { return {t, 0, 1 - t, 1}; };
    ctx.drawShading(Shading::axial({20, 0}, {80, 0}, ramp));
    auto img = ctx.image();
    EXPECT_NEAR(img->pixel(50, 5).r, 128, 4);
    EXPECT_EQ(img->pixel(10, 5).a, 0);
    EXPECT_EQ(img->pixel(90, 5).a, 0);
}

// A sampled ramp's pattern is made once per context and moved onto each
// shading: shadings of other places, directions and lengths (none at all
// included) paint what a pattern made for each of them paints.
TEST(ContextTest, AKeptRampPaintsAsAFreshPatternWherever) {
    auto function = [](Float t) -> std::array<Float, 4> { return {t, 0.5f * t, 1 - t, 0.5f + 0.5f * t}; };
    auto ramp = std::make_shared<const ShadingRamp>(sampleShadingFunction(function, {}));
    struct Line {
        Point start, end;
        bool extend;
    };
    const Line lines[] = {{{20, 10}, {180, 10}, false},
                          {{150, 90}, {30, 20}, true},
                          {{60, 0}, {61, 3}, true},
                          {{5, 5}, {5, 195}, false},
                          {{100, 100}, {100, 100}, true}};
    ImageContext kept({200, 200}), fresh({200, 200});
    for (const Line& l : lines) {
        Shading s = Shading::axial(l.start, l.end, function, l.extend, l.extend);
        fresh.beginPath();
        fresh.addRect({0, 0, 200, 200});
        fresh.fillPathWithShading(s);
        s.ramp = ramp;
        kept.beginPath();
        kept.addRect({0, 0, 200, 200});
        kept.fillPathWithShading(s);
        auto a = kept.image(), b = fresh.image();
        int worst = 0;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 200; ++x) {
                auto p = a->pixel(x, y), q = b->pixel(x, y);
                worst = std::max(
                    {worst, std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b), std::abs(p.a - q.a)});
            }
        EXPECT_LE(worst, 2) << l.start.x << "," << l.start.y << " to " << l.end.x << "," << l.end.y;
    }
}

TEST(ContextTest, RadialShadingIsPadded) {
    ImageContext ctx({40, 40});
    auto ramp = [](Float t) -> std::array<Float, 4> { return {1 - t, 0, t, 1}; };
    ctx.drawShading(Shading::radial({20, 20}, 0, {20, 20}, 10, ramp));
    auto img = ctx.image();
    EXPECT_TRUE(pixelIs(*img, 20, 20, 255, 0, 0, 255, 20));
    EXPECT_TRUE(pixelIs(*img, 2, 2, 0, 0, 255, 255));  // beyond the radius
}

TEST(ContextTest, ShadingPaintsOnlyThroughTheClip) {
    ImageContext ctx({100, 10});
    ctx.clipToRect({0, 0, 30, 10});
    ctx.drawShading(Shading::axial({0, 0}, {100, 0}, hardEdge(), true, true));
    auto img = ctx.image();
    EXPECT_EQ(img->pixel(29, 5).a, 255);
    EXPECT_EQ(img->pixel(31, 5).a, 0);
}

TEST(ContextTest, OffscreenLayerDrawsBackScaled) {
    ImageContext ctx({20, 20}, 2);
    auto layer = ctx.createLayer({5, 5});
    EXPECT_EQ(cairo_image_surface_get_width(layer->surface()), 10);
    layer->context().setFillColor(kRed);
    layer->context().fillRect({0, 0, 5, 5});
    ctx.drawLayer(Point(10, 10), *layer);
    auto img = ctx.image();
    EXPECT_TRUE(pixelIs(*img, 25, 25, 255, 0, 0, 255));
    EXPECT_TRUE(pixelIs(*img, 19, 19, 0, 0, 0, 0));
    EXPECT_TRUE(pixelIs(*img, 30, 30, 0, 0, 0, 0));
}

// What is drawn into a layer comes back where the same drawing straight into
// the creating context would land, in a y-up context as in a y-down one.
TEST(ContextTest, OffscreenLayerKeepsTheCreatingContextsAxis) {
    for (YAxis axis : {YAxis::Down, YAxis::Up}) {
        ImageContext ctx({20, 20}, 2, axis);
        auto layer = ctx.createLayer({10, 10});
        EXPECT_EQ(layer->yAxis(), axis);
        layer->context().setFillColor(kRed);
        layer->context().fillRect({0, 5, 10, 5});  // the upper half in user space
        ctx.drawLayer(Point(5, 5), *layer);
        auto img = ctx.image();
        // User y 10..15 is device rows 20..30 (y-down) or 10..20 (y-up).
        int inside = axis == YAxis::Down ? 25 : 15, outside = axis == YAxis::Down ? 15 : 25;
        EXPECT_TRUE(pixelIs(*img, 20, inside, 255, 0, 0, 255)) << (axis == YAxis::Up ? "up" : "down");
        EXPECT_TRUE(pixelIs(*img, 20, outside, 0, 0, 0, 0)) << (axis == YAxis::Up ? "up" : "down");
    }
}

TEST(ContextTest, PDFWrittenToMemory) {
    PDFContext pdf({0, 0, 200, 100});
    pdf.beginPage();
    pdf.setFillColor(kRed);
    pdf.fillRect({10, 10, 50, 50});
    pdf.endPage();
    const auto& data = pdf.data();
    ASSERT_GT(data.size(), 5u);
    std::string text(data.begin(), data.end());
    EXPECT_EQ(text.substr(0, 5), "%PDF-");
    EXPECT_NE(text.find("/MediaBox [ 0 0 200 100 ]"), std::string::npos);
    EXPECT_EQ(pdf.status(), CAIRO_STATUS_SUCCESS);
    // Drawing after closing is ignored without harm.
    pdf.fillRect({0, 0, 1, 1});
}

TEST(ContextTest, RecordingContextLogsOperationsExactly) {
    RecordingContext rec({100, 100});
    rec.save();
    rec.translate(10, 20);
    rec.setLineWidth(2);
    rec.moveTo(1, 2);
    rec.lineTo(3, 4);
    rec.strokePath();
    rec.fillRect({0, 0, 5, 6});
    rec.restore();
    std::vector<std::string> expected = {"save()",       "translate(10, 20)", "setLineWidth(2)",      "moveTo(1, 2)",
                                         "lineTo(3, 4)", "strokePath()",      "fillRect(0, 0, 5, 6)", "restore()"};
    EXPECT_EQ(rec.operationTexts(), expected);
    EXPECT_EQ(rec.operations()[3].ctm, AffineTransform::makeTranslation(10, 20));
    rec.clearOperations();
    EXPECT_TRUE(rec.operations().empty());
}

TEST(ContextTest, CurrentContextStack) {
    EXPECT_EQ(currentContext(), nullptr);
    ImageContext a({1, 1}), b({1, 1});
    pushCurrentContext(&a);
    pushCurrentContext(&b);
    EXPECT_EQ(currentContext(), &b);
    popCurrentContext();
    EXPECT_EQ(currentContext(), &a);
    popCurrentContext();
    popCurrentContext();
    EXPECT_EQ(currentContext(), nullptr);
}

TEST(ContextTest, StrokeWithUnbalancedDrawingLeavesTheStatusClean) {
    PDFContext pdf({0, 0, 50, 50});
    pdf.beginPage();
    pdf.setShadow({2, -2}, 3, Color::black());
    pdf.setStrokeColor(kRed);
    pdf.strokeEllipseInRect({5, 5, 40, 40});
    pdf.drawShading(Shading::axial({0, 0}, {50, 0}, hardEdge()));
    pdf.restore();
    pdf.endPage();
    EXPECT_EQ(pdf.status(), CAIRO_STATUS_SUCCESS);
    EXPECT_GT(pdf.data().size(), 100u);
}
