// Paths reaching far beyond the surface (where cairo's fixed point would
// wrap): lines keep their direction, fills cover exactly the visible part,
// curves keep their shape, transforms are taken into account, and the
// current point stays the one given. Each far drawing is compared with the
// same drawing clipped by hand to just beyond the surface.
#include <gtest/gtest.h>

#include <cairo.h>

#include <cmath>
#include <functional>

#include "GfxTestSupport.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Image.h"

using namespace gfx;
using gfxtest::pixelIs;

namespace {

const Color kRed = Color::rgb(1, 0, 0);
constexpr double kPi = 3.14159265358979323846;
// Far out: 2^26 pixels, eight times where cairo's coordinates wrap. Points
// at (48 + 2^26 k) are exact in single precision for the k used here.
constexpr Float kFar = 67108864;

using Drawing = std::function<void(Context&)>;

// A 100 x 100 picture at scale 1 of the drawing, in red.
std::shared_ptr<Image> picture(const Drawing& draw) {
    ImageContext ctx({100, 100});
    ctx.setFillColor(kRed);
    ctx.setStrokeColor(kRed);
    ctx.setLineWidth(3);
    draw(ctx);
    return ctx.image();
}

// Whether the pictures differ nowhere by more than `tolerance` in alpha or
// in red times alpha; else the first pixel that does.
::testing::AssertionResult alike(const Image& a, const Image& b, int tolerance) {
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const auto p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(p.r * p.a - q.r * q.a) > tolerance * 255 || std::abs(p.a - q.a) > tolerance)
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is (" << int(p.r) << ", " << int(p.a) << ") against ("
                       << int(q.r) << ", " << int(q.a) << ")";
        }
    return ::testing::AssertionSuccess();
}

long painted(const Image& image) {
    long n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y).a > 0;
    return n;
}

// Directions of lines through (48, 48): shallow, steep both ways, level.
const Point kDirections[] = {{1, 0.5f}, {1, -3}, {0.25f, 1}, {1, 0}};

Drawing lineThroughCentre(Point direction, Float reach) {
    return [=](Context& c) {
        c.moveTo(48 - reach * direction.x, 48 - reach * direction.y);
        c.lineTo(48 + reach * direction.x, 48 + reach * direction.y);
        c.strokePath();
    };
}

}  // namespace

TEST(ContextFarCoordinatesTest, ALongLineFromFarOutsideDrawsAsTheSameLineClippedByHand) {
    for (Point d : kDirections) {
        SCOPED_TRACE(testing::Message() << d.x << ", " << d.y);
        const auto byHand = picture(lineThroughCentre(d, 64));
        ASSERT_GT(painted(*byHand), 0);
        EXPECT_TRUE(alike(*picture(lineThroughCentre(d, kFar)), *byHand, 1));
        // Drawn the other way, from the far end back.
        EXPECT_TRUE(alike(*picture(lineThroughCentre(d * -1, kFar)), *byHand, 1));
    }
    // Separate segments too.
    const auto segments = picture([](Context& c) {
        c.strokeLineSegments({{48 - kFar, 48 - kFar / 2}, {48 + kFar, 48 + kFar / 2}});
    });
    EXPECT_TRUE(alike(*segments, *picture(lineThroughCentre(kDirections[0], 64)), 1));
}

TEST(ContextFarCoordinatesTest, WhatIsFarIsDecidedInDeviceSpace) {
    for (Point d : kDirections) {
        SCOPED_TRACE(testing::Message() << d.x << ", " << d.y);
        const auto byHand = picture(lineThroughCentre(d, 64));
        // Small user coordinates scaled far out.
        EXPECT_TRUE(alike(*picture([&](Context& c) {
            c.translate(48, 48);
            c.scale(1024, 1024);
            c.setLineWidth(3.0f / 1024);
            c.moveTo(-kFar / 1024 * d.x, -kFar / 1024 * d.y);
            c.lineTo(kFar / 1024 * d.x, kFar / 1024 * d.y);
            c.strokePath();
        }),
                          *byHand, 1));
        // Huge user coordinates scaled back onto the surface: drawn whole.
        EXPECT_TRUE(alike(*picture([&](Context& c) {
            c.translate(48, 48);
            c.scale(1.0f / 1048576, 1.0f / 1048576);
            c.setLineWidth(3 * 1048576.0f);
            c.moveTo(-64 * 1048576.0f * d.x, -64 * 1048576.0f * d.y);
            c.lineTo(64 * 1048576.0f * d.x, 64 * 1048576.0f * d.y);
            c.strokePath();
        }),
                          *byHand, 1));
    }
    // A level line in user space turned upright: clipped across y, not x.
    const auto upright = picture([](Context& c) {
        c.translate(48, 48);
        c.rotate(Float(kPi / 2));
        c.moveTo(-kFar, 0);
        c.lineTo(kFar, 0);
        c.strokePath();
    });
    EXPECT_TRUE(alike(*upright, *picture(lineThroughCentre({0, 1}, 64)), 1));
}

TEST(ContextFarCoordinatesTest, FillsReachingFarOutCoverExactlyTheVisiblePart) {
    const auto everything = picture([](Context& c) { c.fillRect({0, 0, 100, 100}); });
    // A rect, and a clip, far beyond every edge.
    EXPECT_TRUE(alike(*picture([](Context& c) {
        c.clipToRect({-1e9f, -1e9f, 2e9f, 2e9f});
        c.fillRect({-1e9f, -1e9f, 2e9f, 2e9f});
    }),
                      *everything, 0));
    // A diamond around the surface, every corner far out beside an edge,
    // left open: the fill closes it.
    bool centreInside = false;
    EXPECT_TRUE(alike(*picture([&](Context& c) {
        c.addLines({{48, -kFar}, {kFar, 48}, {48, kFar}, {-kFar, 48}});
        centreInside = c.pathContainsPoint({50, 50}, PathDrawingMode::Fill);
        c.fillPath();
    }),
                      *everything, 0));
    EXPECT_TRUE(centreInside);
    // Two far sides of a triangle, left open, filled and stroked: the fill
    // closes it across the surface, the stroke (blue) draws no closing.
    const auto openTriangle = picture([](Context& c) {
        c.setStrokeColor(Color::rgb(0, 0, 1));
        c.addLines({{-kFar, -kFar}, {kFar, -kFar}, {kFar, kFar}});
        c.drawPath(PathDrawingMode::FillStroke);
    });
    EXPECT_TRUE(alike(*openTriangle, *picture([](Context& c) {
        c.addLines({{-16, -16}, {116, -16}, {116, 116}});
        c.fillPath();
    }),
                      0));
    // Half the plane below the diagonal y = x + 48, as a triangle with
    // corners far out, by both fill rules.
    for (bool evenOdd : {false, true}) {
        auto fill = [evenOdd](const std::vector<Point>& corners) {
            return picture([=](Context& c) {
                c.addLines(corners);
                c.closePath();
                evenOdd ? c.eoFillPath() : c.fillPath();
            });
        };
        const auto byHand = fill({{-16, 32}, {112, 160}, {-16, 160}});
        EXPECT_TRUE(pixelIs(*byHand, 10, 90, 255, 0, 0, 255));
        EXPECT_TRUE(pixelIs(*byHand, 90, 10, 0, 0, 0, 0));
        EXPECT_TRUE(alike(*fill({{-kFar, 48 - kFar}, {kFar, 48 + kFar}, {-kFar, 48 + kFar}}), *byHand, 1));
    }
    // A hole in a far square: the even-odd rule still leaves it open.
    const auto frame = picture([](Context& c) {
        c.addRect({-kFar, -kFar, 2 * kFar, 2 * kFar});
        c.addRect({20, 30, 40, 50});
        c.eoFillPath();
    });
    EXPECT_TRUE(alike(*frame, *picture([](Context& c) {
        c.fillRect({0, 0, 100, 100});
        c.clearRect({20, 30, 40, 50});
    }),
                      0));
}

TEST(ContextFarCoordinatesTest, ACurveReachingFarOutKeepsItsShapeOnTheSurface) {
    // The cup y = (x - 48)^2 / 64 + 32 from `half` pixels left of its
    // bottom to `half` right, as one quadratic curve: the same cup whatever
    // the width, filled (closed across its ends) or stroked. Drawn 80 pixels
    // wide it lies inside the clipping square, ends and control point just
    // beyond the surface, and is what the far ones must look like. Cairo
    // itself draws the cup from ends 64 and 80 pixels out up to 6 levels
    // apart (at a fine flattening tolerance): hence the tolerance.
    auto cup = [](Float half, bool fill) {
        return picture([=](Context& c) {
            cairo_set_tolerance(c.cairo(), 0.001);
            const Float height = half * half / 64 + 32;
            c.moveTo(48 - half, height);
            c.quadCurveTo(48, 32 - half * half / 64, 48 + half, height);
            if (fill) {
                c.closePath();
                c.fillPath();
            } else {
                c.strokePath();
            }
        });
    };
    for (bool fill : {true, false}) {
        SCOPED_TRACE(fill ? "filled" : "stroked");
        const auto near = cup(80, fill);
        EXPECT_TRUE(pixelIs(*near, 48, fill ? 90 : 32, 255, 0, 0, 255));
        EXPECT_TRUE(pixelIs(*near, 10, fill ? 10 : 90, 0, 0, 0, 0));
        // Ends 2^14 pixels out (beyond the clipping square, where cairo
        // does not yet wrap) and 2^17 (where it does).
        for (Float half : {16384.0f, 131072.0f}) {
            SCOPED_TRACE(half);
            EXPECT_TRUE(alike(*cup(half, fill), *near, 8));
        }
    }
}

TEST(ContextFarCoordinatesTest, TheCurrentPointIsTheOneGivenEvenFarOut) {
    // Out to the right and back: a rect running off the right edge.
    Point afterFarLine, afterClose;
    const auto outAndBack = picture([&](Context& c) {
        c.moveTo(10, 10);
        c.lineTo(kFar, 10);
        c.lineTo(kFar, 90);
        afterFarLine = c.currentPoint();
        c.lineTo(10, 90);
        c.closePath();
        afterClose = c.currentPoint();
        c.fillPath();
    });
    EXPECT_EQ(afterFarLine, Point(kFar, 90));
    EXPECT_EQ(afterClose, Point(10, 10));
    EXPECT_TRUE(alike(*outAndBack, *picture([](Context& c) { c.fillRect({10, 10, 100, 80}); }), 0));

    // An arc, a curve and a line continue from a far current point, also
    // after a rect was filled in between.
    const auto fromFar = picture([](Context& c) {
        c.moveTo(kFar, 20);
        c.fillRect({0, 95, 5, 5});
        c.addArc(50, 20, 10, 0, Float(kPi), false);
        c.moveTo(-kFar, 60);
        c.quadCurveTo(30, 60, 50, 60);
        c.moveTo(50, kFar);
        c.lineTo(50, 80);
        c.strokePath();
    });
    const auto byHand = picture([](Context& c) {
        c.moveTo(110, 20);
        c.fillRect({0, 95, 5, 5});
        c.addArc(50, 20, 10, 0, Float(kPi), false);
        c.moveTo(-10, 60);
        c.lineTo(50, 60);
        c.moveTo(50, 110);
        c.lineTo(50, 80);
        c.strokePath();
    });
    EXPECT_TRUE(alike(*fromFar, *byHand, 1));
}
