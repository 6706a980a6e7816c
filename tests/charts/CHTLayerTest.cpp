// Chart layers, bordered layers, text layers and annotations.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "charts/CHTAnnotation.h"
#include "charts/CHTAnnotationHostLayer.h"
#include "charts/CHTBorderedLayer.h"
#include "charts/CHTCoderExtensions.h"
#include "charts/CHTFill.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTMutableShadow.h"
#include "charts/CHTMutableTextStyle.h"
#include "charts/CHTTextLayer.h"
#include "charts/CHTTextStyleExtensions.h"
#include "charts/ChartTestSupport.h"
#include "platform/base/NotificationCenter.h"

namespace {

std::shared_ptr<CHTMutableLineStyle> border(CGFloat width) {
    auto s = CHTLineStyle::lineStyle();
    s->setLineWidth(width);
    return s;
}

// An annotation that puts its content's centre at a fixed point of the host.
class PinAnnotation : public CHTAnnotation {
public:
    gfx::Point at{30, 30};
    int positioned = 0;
    void positionContentLayer() override {
        ++positioned;
        if (contentLayer()) contentLayer()->setPosition(at + displacement());
    }
};

}  // namespace

TEST(CHTLayerTest, LayoutKeepsSizesNonNegative) {
    auto parent = std::make_shared<CHTLayer>(gfx::Rect(0, 0, 10, 40));
    parent->setPaddingLeft(8);
    parent->setPaddingRight(8);
    parent->setPaddingBottom(5);
    auto child = std::make_shared<CHTLayer>();
    parent->addSublayer(child);
    parent->layoutSublayers();
    EXPECT_EQ(child->frame(), gfx::Rect(8, 5, 0, 35));
}

TEST(CHTLayerTest, RedrawNotificationOnlyWithAGraph) {
    int posted = 0;
    auto& centre = base::NotificationCenter::defaultCenter();
    auto token = centre.addObserver(&posted, CHTGraphNeedsRedrawNotification, nullptr,
                                    [&](const base::Notification&) { ++posted; });
    auto layer = std::make_shared<CHTLayer>();
    layer->setNeedsDisplay();
    EXPECT_EQ(posted, 0);
    auto graph = std::make_shared<CHTBorderedLayer>();
    layer->setGraph(graph);
    layer->setNeedsDisplay();
    layer->setNeedsLayout();
    EXPECT_EQ(posted, 2);
    centre.removeObserver(token);
}

TEST(CHTLayerTest, ShowingRedrawsHidingDoesNot) {
    auto layer = std::make_shared<CHTLayer>();
    layer->clearNeedsDisplay();
    layer->setHidden(true);
    EXPECT_FALSE(layer->needsDisplay());
    layer->setHidden(false);
    EXPECT_TRUE(layer->needsDisplay());
}

TEST(CHTLayerTest, ContentsScaleReachesSublayersAndIsChecked) {
    auto parent = std::make_shared<CHTLayer>();
    auto child = std::make_shared<CHTLayer>();
    parent->setContentsScale(2);
    parent->addSublayer(child);
    EXPECT_EQ(child->contentsScale(), 2);
    parent->setContentsScale(3);
    EXPECT_EQ(child->contentsScale(), 3);
    charttest::ScopedAssertionRecorder recorder(false);
    parent->setContentsScale(0);
    ASSERT_EQ(recorder.failures().size(), 1u);
    EXPECT_EQ(recorder.failures()[0].description, "Invalid parameter not satisfying: newContentsScale > 0.0");
    EXPECT_EQ(recorder.failures()[0].file, "Charts/Source/CHTLayer");
    EXPECT_EQ(parent->contentsScale(), 3);
}

TEST(CHTLayerTest, LargeCornerRadiusGivesAStadium) {
    auto layer = std::make_shared<CHTLayer>(gfx::Rect(0, 0, 100, 20));
    layer->setMasksToBounds(true);
    layer->setCornerRadius(50);
    EXPECT_EQ(*layer->maskingPath(), CreateRoundedRectPath(gfx::Rect(0, 0, 100, 20), 10));
    gfx::Rect box = layer->maskingPath()->boundingBox();
    EXPECT_NEAR(box.minY(), 0, 1e-4);
    EXPECT_NEAR(box.maxX(), 100, 1e-4);
    EXPECT_NEAR(box.maxY(), 20, 1e-4);
}

TEST(CHTLayerTest, PixelAlignMovesEdgesOntoPixels) {
    auto layer = std::make_shared<CHTLayer>(gfx::Rect(0, 0, 11, 11));
    layer->setPosition({10.3f, 20.6f});
    layer->pixelAlign();
    // Anchor in the middle of 11 points: the centre sits on a half point
    // and the edges on whole ones.
    EXPECT_FLOAT_EQ(layer->position().x, 9.5f);
    EXPECT_FLOAT_EQ(layer->position().y, 20.5f);
    EXPECT_FLOAT_EQ(layer->frame().x(), 4);
    EXPECT_FLOAT_EQ(layer->frame().y(), 15);
}

TEST(CHTBorderedLayerTest, MaskingPathsOfAThickBorder) {
    auto layer = std::make_shared<CHTBorderedLayer>(gfx::Rect(0, 0, 60, 40));
    layer->setCornerRadius(10);
    layer->setBorderLineStyle(border(4));
    layer->setMasksToBounds(true);
    gfx::Rect b(0, 0, 60, 40);
    EXPECT_EQ(*layer->maskingPath(), CreateRoundedRectPath(b, 12));
    EXPECT_EQ(*layer->sublayerMaskingPath(), CreateRoundedRectPath(b.inset(4, 4), 8));
    CGFloat l, t, r, bm;
    layer->sublayerMargin(l, t, r, bm);
    EXPECT_EQ(l, 2);
    // A border of another width drops the cached paths.
    layer->setBorderLineStyle(border(2));
    EXPECT_EQ(*layer->sublayerMaskingPath(), CreateRoundedRectPath(b.inset(2, 2), 9));
}

TEST(CHTBorderedLayerTest, BorderWiderThanCornerOrLayerNeverMakesABadPath) {
    auto layer = std::make_shared<CHTBorderedLayer>(gfx::Rect(0, 0, 60, 40));
    layer->setCornerRadius(2);
    layer->setBorderLineStyle(border(10));
    auto inner = *layer->sublayerMaskingPath();
    EXPECT_EQ(inner.boundingBox(), gfx::Rect(10, 10, 40, 20));  // square corners
    layer->setBorderLineStyle(border(30));
    auto none = *layer->sublayerMaskingPath();
    EXPECT_EQ(none.boundingBox().size, gfx::Size(0, 0));
    gfx::ImageContext ctx({60, 40});
    layer->recursivelyRenderInContext(ctx);
    EXPECT_EQ(ctx.status(), 0);
}

TEST(CHTBorderedLayerTest, BorderIsStrokedInsideTheBounds) {
    auto layer = std::make_shared<CHTBorderedLayer>(gfx::Rect(0, 0, 60, 60));
    layer->setCornerRadius(10);
    layer->setBorderLineStyle(border(4));
    gfx::RecordingContext ctx({60, 60});
    layer->recursivelyRenderInContext(ctx);
    gfx::ImageContext pixels({60, 60});
    layer->recursivelyRenderInContext(pixels);
    auto img = pixels.image();
    EXPECT_GT(img->pixel(1, 30).a, 200);  // inside the border band
    EXPECT_EQ(img->pixel(30, 30).a, 0);   // no fill
    EXPECT_EQ(img->pixel(0, 0).a, 0);     // rounded corner
    bool stroked = false;
    for (const auto& op : ctx.operations()) stroked = stroked || op.name.find("stroke") != std::string::npos;
    EXPECT_TRUE(stroked);
}

TEST(CHTBorderedLayerTest, SublayerIsClippedInsideARoundedParent) {
    auto parent = std::make_shared<CHTBorderedLayer>(gfx::Rect(0, 0, 60, 60));
    parent->setCornerRadius(20);
    auto child = std::make_shared<CHTBorderedLayer>(gfx::Rect(0, 0, 60, 60));
    child->setFill(CHTFill::fillWithColor(CHTColor::redColor()));
    parent->addSublayer(child);
    auto grandChild = std::make_shared<CHTBorderedLayer>(gfx::Rect(30, 30, 30, 30));
    grandChild->setFill(CHTFill::fillWithColor(CHTColor::blueColor()));
    child->addSublayer(grandChild);
    gfx::ImageContext ctx({60, 60});
    parent->recursivelyRenderInContext(ctx);
    auto img = ctx.image();
    EXPECT_GT(img->pixel(20, 20).r, 250);
    EXPECT_EQ(img->pixel(1, 1).a, 0);      // outside the parent's rounding
    EXPECT_GT(img->pixel(45, 45).b, 250);  // the grandchild draws ...
    EXPECT_EQ(img->pixel(58, 58).a, 0);    // ... clipped by the parent's corner
}

TEST(CHTLayerTest, PDFMediaBoxIsTheBounds) {
    auto layer = std::make_shared<CHTBorderedLayer>(gfx::Rect(0, 0, 120, 80));
    layer->setFill(CHTFill::fillWithColor(CHTColor::greenColor()));
    layer->addSublayer(CHTTextLayer::initWithText("PDF"));
    auto data = layer->dataForPDFRepresentationOfLayer();
    std::string text(data.begin(), data.end());
    ASSERT_EQ(text.rfind("%PDF", 0), 0u);
    EXPECT_NE(text.find("/MediaBox [ 0 0 120 80 ]"), std::string::npos);
}

TEST(CHTTextLayerTest, SizedByTextPaddingAndShadow) {
    auto layer = CHTTextLayer::initWithText("Label");
    gfx::Size text = sizeWithTextStyle("Label", layer->textStyle().get());
    EXPECT_EQ(layer->bounds().size, gfx::Size(std::ceil(text.width + 2), std::ceil(text.height + 2)));
    auto shadow = CHTShadow::shadow();
    shadow->setShadowOffset({3, -3});
    shadow->setShadowBlurRadius(2);
    layer->setShadow(shadow);
    EXPECT_EQ(layer->bounds().size, gfx::Size(std::ceil(text.width + 12), std::ceil(text.height + 12)));

    auto empty = std::make_shared<CHTTextLayer>();
    empty->setBounds(gfx::Rect(0, 0, 7, 7));
    empty->sizeToFit();
    EXPECT_EQ(empty->bounds().size, gfx::Size(7, 7));
    EXPECT_EQ(empty->sizeThatFits(), gfx::Size(0, 0));
    EXPECT_EQ(layer->description().find("\"Label\""), layer->description().size() - 8);
}

TEST(CHTTextLayerTest, DrawsTextButNotWithoutColour) {
    auto style = CHTTextStyle::textStyle();
    style->setFontSize(24);
    auto layer = CHTTextLayer::initWithText("WWW", style);
    gfx::Size s = layer->bounds().size;
    gfx::ImageContext ctx(s);
    layer->recursivelyRenderInContext(ctx);
    int inked = 0;
    auto img = ctx.image();
    for (int y = 0; y < img->height(); ++y)
        for (int x = 0; x < img->width(); ++x) inked += img->pixel(x, y).a > 0;
    EXPECT_GT(inked, 20);

    style->setColor(nullptr);
    layer->setTextStyle(style->copy());
    gfx::ImageContext blank(s);
    layer->recursivelyRenderInContext(blank);
    auto none = blank.image();
    for (int y = 0; y < none->height(); ++y)
        for (int x = 0; x < none->width(); ++x) ASSERT_EQ(none->pixel(x, y).a, 0);
}

TEST(CHTAnnotationTest, HostShowsPositionsAndRemovesContent) {
    auto host = std::make_shared<CHTAnnotationHostLayer>(gfx::Rect(0, 0, 100, 100));
    auto a = std::make_shared<PinAnnotation>();
    auto content = std::make_shared<CHTLayer>(gfx::Rect(0, 0, 10, 10));
    a->setContentLayer(content);
    host->addAnnotation(a);
    EXPECT_EQ(content->superlayer(), host.get());
    EXPECT_EQ(a->positioned, 1);
    EXPECT_EQ(content->position(), gfx::Point(30, 30));
    // Automatic layout leaves the content where the annotation put it.
    host->layoutSublayers();
    EXPECT_EQ(content->frame(), gfx::Rect(25, 25, 10, 10));

    // Moving the annotation asks the host, which places the content, for
    // layout; an unchanged value asks nothing.
    host->layoutIfNeeded();
    int placed = a->positioned;
    a->setDisplacement({0, 0});
    EXPECT_FALSE(host->needsLayout());
    a->setDisplacement({1, 2});
    EXPECT_TRUE(host->needsLayout());
    host->layoutIfNeeded();
    EXPECT_EQ(a->positioned, placed + 1);
    a->setContentAnchorPoint({0, 0});
    EXPECT_TRUE(host->needsLayout());
    host->layoutIfNeeded();
    a->setRotation(1);
    EXPECT_TRUE(host->needsLayout());

    auto replacement = std::make_shared<CHTLayer>();
    a->setContentLayer(replacement);
    EXPECT_EQ(content->superlayer(), nullptr);
    EXPECT_EQ(replacement->superlayer(), host.get());

    host->removeAllAnnotations();
    EXPECT_TRUE(host->sublayers().empty());
    EXPECT_TRUE(host->annotations().empty());
    try {
        host->removeAnnotation(a);
        FAIL();
    } catch (const base::Exception& e) {
        EXPECT_EQ(e.name(), "CHTException");
        EXPECT_EQ(e.reason().rfind("Tried to remove CHTAnnotation from <CHTAnnotationHostLayer bounds:", 0), 0u);
    }
}

TEST(CHTAnnotationTest, AddingToAnotherHostMovesIt) {
    auto first = std::make_shared<CHTAnnotationHostLayer>();
    auto second = std::make_shared<CHTAnnotationHostLayer>();
    auto a = std::make_shared<PinAnnotation>();
    auto content = std::make_shared<CHTLayer>();
    a->setContentLayer(content);
    first->addAnnotation(a);
    first->addAnnotation(a);
    EXPECT_EQ(first->annotations().size(), 1u);
    second->addAnnotation(a);
    EXPECT_TRUE(first->annotations().empty());
    EXPECT_EQ(second->annotations().size(), 1u);
    EXPECT_EQ(content->superlayer(), second.get());
    EXPECT_EQ(a->annotationHostLayer(), second);
}

TEST(CHTLayerTest, BorderedLayerWithAnnotationArchives) {
    CHTRegisterCodingClasses();
    auto layer = std::make_shared<CHTBorderedLayer>(gfx::Rect(0, 0, 50, 40));
    layer->setPaddingLeft(3);
    layer->setCornerRadius(5);
    layer->setBorderLineStyle(border(2));
    layer->setFill(CHTFill::fillWithColor(CHTColor::blueColor()));
    auto a = std::make_shared<CHTAnnotation>();
    a->setContentLayer(CHTTextLayer::initWithText("note"));
    a->setRotation(0.5f);
    layer->addAnnotation(a);
    auto data = base::KeyedArchiver::archivedDataWithRootObject(layer);
    auto decoded = base::KeyedUnarchiver::unarchiveObjectOfType<CHTBorderedLayer>(data);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->bounds(), gfx::Rect(0, 0, 50, 40));
    EXPECT_EQ(decoded->paddingLeft(), 3);
    EXPECT_EQ(decoded->cornerRadius(), 5);
    ASSERT_TRUE(decoded->borderLineStyle());
    EXPECT_EQ(decoded->borderLineStyle()->lineWidth(), 2);
    ASSERT_TRUE(decoded->fill());
    ASSERT_EQ(decoded->annotations().size(), 1u);
    auto da = decoded->annotations()[0];
    EXPECT_EQ(da->annotationHostLayer(), decoded);
    EXPECT_FLOAT_EQ(da->rotation(), 0.5f);
    auto text = std::dynamic_pointer_cast<CHTTextLayer>(da->contentLayer());
    ASSERT_TRUE(text);
    EXPECT_EQ(text->text(), "note");
    EXPECT_EQ(text->superlayer(), decoded.get());
}

TEST(CHTLayerTest, TransformsApplyAboutTheAnchorAndNonAffineOnesAreIgnored) {
    auto layer = std::make_shared<CHTLayer>(gfx::Rect(0, 0, 100, 50));
    gfx::RecordingContext ctx({200, 200});
    layer->applyTransform(gfx::Transform3D::makeRotation(static_cast<float>(M_PI / 2), 0, 0, 1), ctx);
    gfx::Rect mapped = ctx.userTransform().apply(layer->bounds());
    EXPECT_NEAR(mapped.x(), 0, 1e-3);
    EXPECT_NEAR(mapped.y(), 0, 1e-3);
    EXPECT_NEAR(mapped.width(), 50, 1e-3);
    EXPECT_NEAR(mapped.height(), 100, 1e-3);

    gfx::RecordingContext flat({200, 200});
    gfx::Transform3D perspective;
    perspective.m34 = -0.002f;
    layer->applyTransform(perspective, flat);
    EXPECT_TRUE(flat.userTransform().isIdentity());
}
