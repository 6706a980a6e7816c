#include <gtest/gtest.h>

#include "GfxTestSupport.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Image.h"
#include "platform/gfx/Text.h"

using namespace gfx;

TEST(FontTest, PostScriptNamesResolveToTheMetricTwin) {
    Font plain("Helvetica", 12);
    EXPECT_EQ(plain.familyName(), "Liberation Sans");
    EXPECT_FALSE(plain.isBold());
    Font bold("Helvetica-Bold", 12);
    EXPECT_EQ(bold.familyName(), "Liberation Sans");
    EXPECT_TRUE(bold.isBold());
    EXPECT_FALSE(bold.isItalic());
    Font oblique("Helvetica-Oblique", 12);
    EXPECT_TRUE(oblique.isItalic());
    Font both("Helvetica-BoldOblique", 12);
    EXPECT_TRUE(both.isBold() && both.isItalic());
    EXPECT_EQ(Font::boldSystemFont(20).familyName(), "Liberation Sans");
    EXPECT_TRUE(Font::boldSystemFont(20).isBold());
}

TEST(FontTest, UnknownNamesFallBackToSansAndSizesStayPositive) {
    Font unknown("NoSuchTypeface-Bold", 10);
    EXPECT_EQ(unknown.familyName(), "Liberation Sans");
    EXPECT_TRUE(unknown.isBold());
    EXPECT_FLOAT_EQ(Font("Helvetica", 0).pointSize(), Font::kSystemFontSize);
    EXPECT_FLOAT_EQ(Font("Helvetica", -3).pointSize(), Font::kSystemFontSize);
    EXPECT_FLOAT_EQ(Font("Helvetica", NAN).pointSize(), Font::kSystemFontSize);
    EXPECT_EQ(Font("Liberation Serif", 12).familyName(), "Liberation Serif");
}

TEST(FontTest, MetricsScaleWithSize) {
    Font f("Helvetica", 20);
    EXPECT_GT(f.ascender(), 10);
    EXPECT_LT(f.descender(), 0);
    EXPECT_GT(f.lineHeight(), f.ascender());
    EXPECT_NEAR(Font("Helvetica", 40).lineHeight(), 2 * f.lineHeight(), 0.5);
}

TEST(TextTest, LargerFontMeasuresLarger) {
    Size small = measureText("Push-ups", Font("Helvetica", 12));
    Size large = measureText("Push-ups", Font("Helvetica", 24));
    EXPECT_GT(small.width, 20);
    EXPECT_GT(large.width, small.width * 1.8);
    EXPECT_GT(large.height, small.height * 1.8);
    EXPECT_GT(measureText("Push-ups", Font("Helvetica-Bold", 12)).width, small.width);
}

TEST(TextTest, MeasuringIsTheSameOnImageAndPDFSurfaces) {
    Font font("Helvetica", 17);
    std::string text = "Week 3, level 2: 45 push-ups";
    Rect box{0, 0, 120, 500};
    Size measured = measureText(text, font, box.size);
    ImageContext image({200, 200}, 2);
    PDFContext pdf({0, 0, 200, 200});
    pdf.beginPage();
    Size onImage = drawText(image, text, box, font);
    Size onPdf = drawText(pdf, text, box, font);
    EXPECT_EQ(onImage, measured);
    EXPECT_EQ(onPdf, measured);
    pdf.endPage();
    EXPECT_EQ(pdf.status(), 0);
}

TEST(TextTest, WordWrapBreaksWithinTheWidth) {
    Font font("Helvetica", 12);
    std::string text = "one two three four five six seven eight nine ten";
    Size line = measureText(text, font);
    Size wrapped = measureText(text, font, {60, kUnboundedTextExtent});
    EXPECT_LE(wrapped.width, 60);
    EXPECT_GT(wrapped.height, 3 * line.height - 1);
    // A box two lines high holds two lines.
    Size two = measureText(text, font, {60, 2 * line.height + 1});
    EXPECT_NEAR(two.height, 2 * line.height, 1.5);
    // A box lower than one line still measures one line.
    EXPECT_NEAR(measureText(text, font, {60, 3}).height, line.height, 1);
}

TEST(TextTest, TruncationKeepsOneLineInALowBox) {
    Font font("Helvetica", 12);
    std::string text = "a rather long title that cannot fit";
    Size line = measureText(text, font);
    for (LineBreakMode mode :
         {LineBreakMode::TailTruncation, LineBreakMode::HeadTruncation, LineBreakMode::MiddleTruncation}) {
        Size s = measureText(text, font, {80, line.height}, mode);
        EXPECT_LE(s.width, 80);
        EXPECT_NEAR(s.height, line.height, 1);
    }
    Size chars =
        measureText("abcdefghijklmnopqrstuvwxyz", font, {40, kUnboundedTextExtent}, LineBreakMode::CharacterWrap);
    EXPECT_LE(chars.width, 40);
    EXPECT_GT(chars.height, line.height * 2);
}

TEST(TextTest, CentredTextIsCentred) {
    ImageContext ctx({200, 40});
    ctx.setFillColor(Color::black());
    drawText(ctx, "MMMM", {0, 0, 200, 40}, Font("Helvetica", 20), LineBreakMode::WordWrap, TextAlignment::Center);
    auto img = ctx.image();
    int left = -1, right = -1;
    for (int x = 0; x < 200; ++x)
        for (int y = 0; y < 40; ++y)
            if (img->pixel(x, y).a > 100) {
                if (left < 0) left = x;
                right = x;
            }
    ASSERT_GE(left, 0);
    EXPECT_NEAR((left + right + 1) / 2.0, 100, 2.0);
    EXPECT_GT(left, 40);
}

TEST(TextTest, RightAlignedTextEndsAtTheRightEdge) {
    ImageContext ctx({200, 40});
    drawText(ctx, "MMMM", {0, 0, 200, 40}, Font("Helvetica", 20), LineBreakMode::WordWrap, TextAlignment::Right);
    auto img = ctx.image();
    int right = -1;
    for (int x = 0; x < 200; ++x)
        for (int y = 0; y < 40; ++y)
            if (img->pixel(x, y).a > 100) right = x;
    EXPECT_GT(right, 194);
}

TEST(TextTest, TextUsesTheFillColourAndIsClippedToTheRect) {
    ImageContext ctx({100, 60});
    ctx.setFillColor(Color::rgb(1, 0, 0));
    Font font("Helvetica", 12);
    std::string text = "one two three four five six seven eight nine ten";
    Size line = measureText(text, font);
    drawText(ctx, text, {0, 0, 60, line.height}, font);
    auto img = ctx.image();
    bool red = false, below = false;
    for (int x = 0; x < 100; ++x)
        for (int y = 0; y < 60; ++y) {
            auto p = img->pixel(x, y);
            if (p.a > 200 && p.r > 200 && p.g < 40) red = true;
            if (p.a > 0 && y > line.height + 1) below = true;
        }
    EXPECT_TRUE(red);
    EXPECT_FALSE(below);
}

TEST(TextTest, EmojiAreDrawnInTheirOwnColours) {
    // Typed or pasted, an emoji falls back to the colour emoji font: drawn
    // in its own yellow whatever the fill colour, not as a box or a glyph
    // of the fill colour.
    ImageContext ctx({40, 40}, 2);
    ctx.setFillColor(Color::black());
    drawText(ctx, "\U0001F4AA", {0, 0, 40, 40}, Font("Helvetica", 24));
    auto img = ctx.image();
    int coloured = 0;
    for (int y = 0; y < img->height(); ++y)
        for (int x = 0; x < img->width(); ++x) {
            auto p = img->pixel(x, y);
            if (p.a > 200 && p.r > 200 && p.g > 120 && p.b < 100) ++coloured;
        }
    EXPECT_GT(coloured, 200);
}

TEST(TextTest, EmptyTextAndBadRectsDrawNothing) {
    ImageContext ctx({20, 20});
    EXPECT_EQ(drawText(ctx, "", {0, 0, 20, 20}, Font("Helvetica", 12)), Size::zero());
    EXPECT_EQ(drawText(ctx, "x", {NAN, 0, 20, 20}, Font("Helvetica", 12)), Size::zero());
    EXPECT_EQ(ctx.status(), 0);
    EXPECT_EQ(measureText("", Font("Helvetica", 12), {100, 100}), Size::zero());
}

TEST(TextTest, TextCastsTheContextShadow) {
    ImageContext ctx({100, 40});
    ctx.setShadow({0, 15}, 0, Color::rgb(0, 0, 1));
    ctx.setFillColor(Color::rgb(1, 0, 0));
    drawText(ctx, "MMM", {0, 0, 100, 20}, Font("Helvetica-Bold", 14));
    auto img = ctx.image();
    bool red = false, blueBelow = false;
    for (int x = 0; x < 100; ++x)
        for (int y = 0; y < 40; ++y) {
            auto p = img->pixel(x, y);
            if (p.a > 200 && p.r > 200 && y < 20) red = true;
            if (p.a > 200 && p.b > 200 && y >= 18) blueBelow = true;
        }
    EXPECT_TRUE(red);
    EXPECT_TRUE(blueBelow);
}

TEST(TextTest, RecordingContextLogsTextDrawing) {
    RecordingContext rec({100, 100});
    drawText(rec, "abc", {1, 2, 50, 20}, Font("Helvetica", 12), LineBreakMode::WordWrap, TextAlignment::Center);
    ASSERT_EQ(rec.operations().size(), 1u);
    EXPECT_EQ(rec.operations()[0].text(), "drawText(1, 2, 50, 20, 12, 1)");
}
