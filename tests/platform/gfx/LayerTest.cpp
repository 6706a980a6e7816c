#include <gtest/gtest.h>

#include <cmath>

#include "GfxTestSupport.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Image.h"
#include "platform/gfx/Layer.h"
#include "platform/gfx/Renderer.h"

using namespace gfx;
using gfxtest::pixelIs;

namespace {

// A layer that fills its bounds with a colour and counts its drawing.
class FilledLayer : public Layer {
public:
    explicit FilledLayer(Color c) : color(std::move(c)) {}
    void drawInContext(Context& context) override {
        ++draws;
        context.setFillColor(color);
        context.fillRect(bounds());
    }
    Color color;
    int draws = 0;
};

std::shared_ptr<FilledLayer> filled(const Color& c, Rect frame) {
    auto l = std::make_shared<FilledLayer>(c);
    l->setFrame(frame);
    return l;
}

void expectNear(Point a, Point b) {
    EXPECT_NEAR(a.x, b.x, 1e-4);
    EXPECT_NEAR(a.y, b.y, 1e-4);
}

}  // namespace

TEST(LayerTest, FrameBoundsAndPositionStayConsistent) {
    auto l = Layer::create();
    l->setFrame({10, 20, 100, 50});
    EXPECT_EQ(l->bounds(), Rect(0, 0, 100, 50));
    EXPECT_EQ(l->position(), Point(60, 45));
    l->setAnchorPoint({0, 0});
    EXPECT_EQ(l->position(), Point(60, 45));  // the position stays, the frame moves
    EXPECT_EQ(l->frame(), Rect(60, 45, 100, 50));
    l->setFrame({0, 0, 10, 10});
    EXPECT_EQ(l->position(), Point(0, 0));
    l->setBounds({5, 5, 20, 10});  // the bounds origin does not move the frame
    EXPECT_EQ(l->frame(), Rect(0, 0, 20, 10));
}

TEST(LayerTest, FrameUnderATransform) {
    auto l = Layer::create();
    l->setBounds({0, 0, 100, 50});
    l->setPosition({50, 25});
    l->setAffineTransform(AffineTransform::makeRotation(float(M_PI / 2)));
    Rect f = l->frame();
    EXPECT_NEAR(f.x(), 25, 1e-3);
    EXPECT_NEAR(f.y(), -25, 1e-3);
    EXPECT_NEAR(f.width(), 50, 1e-3);
    EXPECT_NEAR(f.height(), 100, 1e-3);
    l->setAffineTransform(AffineTransform::makeScale(2, 2));
    l->setFrame({0, 0, 40, 20});
    EXPECT_EQ(l->bounds().size, Size(20, 10));
    EXPECT_EQ(l->frame(), Rect(0, 0, 40, 20));
}

TEST(LayerTest, ConversionThroughACommonAncestorIsExact) {
    auto root = Layer::create();
    root->setFrame({0, 0, 320, 480});
    auto a = Layer::create();
    a->setFrame({10, 20, 100, 100});
    a->setBounds({5, 5, 100, 100});
    auto b = Layer::create();
    b->setFrame({200, 300, 50, 50});
    auto a1 = Layer::create();
    a1->setFrame({1, 2, 10, 10});
    root->addSublayer(a);
    root->addSublayer(b);
    a->addSublayer(a1);
    // a1's (0, 0) is at a's (1, 2), which is root's (10 + 1 - 5, 20 + 2 - 5).
    EXPECT_EQ(a1->convertPointTo({0, 0}, root.get()), Point(6, 17));
    EXPECT_EQ(a1->convertPointTo({0, 0}, b.get()), Point(-194, -283));
    EXPECT_EQ(b->convertPointFrom({0, 0}, a1.get()), Point(-194, -283));
    EXPECT_EQ(a1->convertPointFrom({-194, -283}, b.get()), Point(0, 0));
    EXPECT_EQ(a1->convertRectTo({0, 0, 10, 10}, root.get()), Rect(6, 17, 10, 10));
    EXPECT_EQ(root->convertRectFrom({0, 0, 10, 10}, a1.get()), Rect(6, 17, 10, 10));
}

TEST(LayerTest, ConversionFollowsTransformsAndSublayerTransforms) {
    auto root = Layer::create();
    root->setFrame({0, 0, 100, 100});
    auto child = Layer::create();
    child->setBounds({0, 0, 20, 10});
    child->setPosition({50, 50});
    child->setAffineTransform(AffineTransform::makeRotation(float(M_PI / 2)));
    root->addSublayer(child);
    // About the anchor (10, 5): the child's (20, 5) lands at (50, 60).
    expectNear(child->convertPointTo({20, 5}, root.get()), {50, 60});
    expectNear(child->convertPointFrom({50, 60}, root.get()), {20, 5});

    auto flipped = Layer::create();
    flipped->setFrame({0, 0, 100, 100});
    flipped->setSublayerTransform(Transform3D::makeScale(1, -1, 1));
    auto inner = Layer::create();
    inner->setFrame({0, 0, 10, 10});
    flipped->addSublayer(inner);
    expectNear(inner->convertPointTo({0, 0}, flipped.get()), {0, 100});
}

TEST(LayerTest, SublayerOrderOperations) {
    auto root = Layer::create();
    auto a = Layer::create(), b = Layer::create(), c = Layer::create(), d = Layer::create();
    root->addSublayer(a);
    root->addSublayer(b);
    root->insertSublayer(c, 1);
    EXPECT_EQ(root->sublayers(), (std::vector<std::shared_ptr<Layer>>{a, c, b}));
    root->insertSublayerBelow(d, a.get());
    EXPECT_EQ(root->sublayers().front(), d);
    root->insertSublayerAbove(d, b.get());
    EXPECT_EQ(root->sublayers().back(), d);
    root->replaceSublayer(c.get(), Layer::create());
    EXPECT_EQ(c->superlayer(), nullptr);
    EXPECT_EQ(root->sublayers().size(), 4u);
    b->removeFromSuperlayer();
    EXPECT_EQ(root->sublayers().size(), 3u);
    root->insertSublayer(a, 99);
    EXPECT_EQ(root->sublayers().back(), a);
    // Moving a layer to another parent takes it from the first.
    auto other = Layer::create();
    other->addSublayer(a);
    EXPECT_EQ(a->superlayer(), other.get());
    EXPECT_EQ(root->sublayers().size(), 2u);
    // Cycles are refused.
    a->addSublayer(other);
    EXPECT_EQ(other->superlayer(), nullptr);
    a->addSublayer(a);
    EXPECT_TRUE(a->sublayers().empty());
    root->setSublayers({b, c});
    EXPECT_EQ(root->sublayers(), (std::vector<std::shared_ptr<Layer>>{b, c}));
}

TEST(LayerTest, SuperlayerIsNotOwned) {
    auto child = Layer::create();
    {
        auto parent = Layer::create();
        parent->addSublayer(child);
        EXPECT_EQ(child->superlayer(), parent.get());
    }
    EXPECT_EQ(child->superlayer(), nullptr);
}

TEST(LayerTest, RootTellsItsHostWhenSomethingNeedsDrawing) {
    auto root = Layer::create();
    int requests = 0;
    root->setDisplayRequestHandler([&] { ++requests; });
    auto child = Layer::create();
    root->addSublayer(child);
    EXPECT_GT(requests, 0);
    requests = 0;
    child->setNeedsDisplay();
    EXPECT_EQ(requests, 1);
    requests = 0;
    child->setPosition({5, 5});
    EXPECT_GT(requests, 0);
    requests = 0;
    child->setHidden(true);
    EXPECT_EQ(requests, 1);
    requests = 0;
    child->setNeedsDisplay();  // under a hidden layer: nothing shows
    EXPECT_EQ(requests, 0);
    child->setHidden(true);
    EXPECT_EQ(requests, 0);
    child->removeFromSuperlayer();
    EXPECT_GE(requests, 1);  // the host draws once however often it is told
}

TEST(LayerTest, NeedsDisplayOnBoundsChange) {
    auto l = Layer::create();
    l->setNeedsDisplayOnBoundsChange(true);
    l->setBounds({0, 0, 10, 10});
    EXPECT_TRUE(l->needsDisplay());
    l->clearNeedsDisplay();
    l->setBounds({0, 0, 10, 10});
    EXPECT_FALSE(l->needsDisplay());
    auto m = Layer::create();
    m->setBounds({0, 0, 10, 10});
    EXPECT_FALSE(m->needsDisplay());
}

TEST(LayerTest, LayoutRunsTopDownOnlyWhenNeeded) {
    std::vector<std::string> order;
    struct Recorder : LayerDelegate {
        std::vector<std::string>* order;
        std::string name;
        void layoutSublayersOfLayer(Layer&) override { order->push_back(name); }
    };
    auto root = Layer::create(), child = Layer::create();
    auto rd = std::make_shared<Recorder>(), cd = std::make_shared<Recorder>();
    rd->order = cd->order = &order;
    rd->name = "root";
    cd->name = "child";
    root->setDelegate(rd);
    child->setDelegate(cd);
    root->addSublayer(child);
    child->setNeedsLayout();
    root->layoutIfNeeded();
    EXPECT_EQ(order, (std::vector<std::string>{"root", "child"}));
    root->layoutIfNeeded();
    EXPECT_EQ(order.size(), 2u);
}

TEST(LayerTest, ContentsScaleMustBePositive) {
    auto l = Layer::create();
    l->setContentsScale(2);
    l->setContentsScale(0);
    l->setContentsScale(NAN);
    EXPECT_FLOAT_EQ(l->contentsScale(), 2);
    EXPECT_TRUE(l->containsPoint({0, 0}) == false);
    l->setBounds({0, 0, 4, 4});
    EXPECT_TRUE(l->containsPoint({1, 1}));
}

TEST(RendererTest, DrawsTheTreeAtItsFrames) {
    auto root = filled(Color::white(), {0, 0, 40, 40});
    auto child = filled(Color::rgb(1, 0, 0), {10, 10, 10, 10});
    root->addSublayer(child);
    auto img = Renderer::renderToImage(*root, 2);
    ASSERT_EQ(img->width(), 80);
    EXPECT_TRUE(pixelIs(*img, 5, 5, 255, 255, 255, 255));
    EXPECT_TRUE(pixelIs(*img, 25, 25, 255, 0, 0, 255));
    EXPECT_TRUE(pixelIs(*img, 41, 41, 255, 255, 255, 255));
    EXPECT_FALSE(child->needsDisplay());
}

TEST(RendererTest, HiddenLayersAreNotDrawn) {
    auto root = filled(Color::white(), {0, 0, 40, 40});
    auto child = filled(Color::rgb(1, 0, 0), {10, 10, 10, 10});
    auto grandchild = filled(Color::rgb(0, 0, 1), {0, 0, 5, 5});
    root->addSublayer(child);
    child->addSublayer(grandchild);
    child->setHidden(true);
    auto img = Renderer::renderToImage(*root);
    EXPECT_TRUE(pixelIs(*img, 12, 12, 255, 255, 255, 255));
    EXPECT_EQ(child->draws, 0);
    EXPECT_EQ(grandchild->draws, 0);
}

TEST(RendererTest, MasksToBoundsClipsSublayers) {
    auto root = filled(Color::white(), {0, 0, 40, 40});
    auto box = filled(Color::rgb(0, 1, 0), {10, 10, 10, 10});
    auto big = filled(Color::rgb(1, 0, 0), {0, 0, 30, 30});  // spills out of box
    root->addSublayer(box);
    box->addSublayer(big);
    auto spilled = Renderer::renderToImage(*root);
    EXPECT_TRUE(pixelIs(*spilled, 35, 35, 255, 0, 0, 255));
    box->setMasksToBounds(true);
    auto clipped = Renderer::renderToImage(*root);
    EXPECT_TRUE(pixelIs(*clipped, 35, 35, 255, 255, 255, 255));
    EXPECT_TRUE(pixelIs(*clipped, 15, 15, 255, 0, 0, 255));
    // Rounded corners cut the clip.
    box->setCornerRadius(5);
    auto rounded = Renderer::renderToImage(*root);
    EXPECT_TRUE(pixelIs(*rounded, 10, 10, 255, 255, 255, 255, 40));
    EXPECT_TRUE(pixelIs(*rounded, 15, 15, 255, 0, 0, 255));
}

TEST(RendererTest, OpacityAndTransformsApply) {
    auto root = filled(Color::white(), {0, 0, 40, 40});
    auto child = filled(Color::rgb(0, 0, 0), {0, 0, 10, 10});
    child->setOpacity(0.5f);
    child->setAffineTransform(AffineTransform::makeTranslation(20, 20));
    root->addSublayer(child);
    auto img = Renderer::renderToImage(*root);
    EXPECT_TRUE(pixelIs(*img, 25, 25, 128, 128, 128, 255, 3));
    EXPECT_TRUE(pixelIs(*img, 5, 5, 255, 255, 255, 255));
}

TEST(RendererTest, LayersAddedDuringLayoutAndDrawingAreDrawn) {
    struct Labeller : Layer {
        void layoutSublayers() override {
            label = filled(Color::rgb(1, 0, 0), {0, 0, 5, 5});
            addSublayer(label);
        }
        std::shared_ptr<FilledLayer> label;
    };
    auto root = filled(Color::white(), {0, 0, 20, 20});
    auto axis = std::make_shared<Labeller>();
    axis->setFrame({10, 10, 10, 10});
    axis->setNeedsLayout();
    root->addSublayer(axis);
    auto img = Renderer::renderToImage(*root);
    EXPECT_TRUE(pixelIs(*img, 12, 12, 255, 0, 0, 255));
}

TEST(RendererTest, PDFOfALayerHasItsBoundsAsMediaBox) {
    auto root = filled(Color::rgb(0, 0, 1), {0, 0, 150, 80});
    std::vector<std::uint8_t> pdf = Renderer::renderToPDF(*root);
    std::string text(pdf.begin(), pdf.end());
    EXPECT_EQ(text.rfind("%PDF-", 0), 0u);
    EXPECT_NE(text.find("/MediaBox [ 0 0 150 80 ]"), std::string::npos);
}

TEST(RendererTest, RecordingShowsExactLayerGeometry) {
    auto root = filled(Color::white(), {0, 0, 100, 100});
    auto child = filled(Color::black(), {10, 20, 30, 40});
    root->addSublayer(child);
    RecordingContext rec({100, 100});
    Renderer::render(*root, rec);
    std::vector<std::string> fills;
    for (const auto& op : rec.operations())
        if (op.name == "fillRect")
            fills.push_back(op.text() + " at " + std::to_string(int(op.ctm.tx)) + "," + std::to_string(int(op.ctm.ty)));
    EXPECT_EQ(fills, (std::vector<std::string>{"fillRect(0, 0, 100, 100) at 0,0", "fillRect(0, 0, 30, 40) at 10,20"}));
    EXPECT_EQ(rec.saveDepth(), 0);
}

TEST(LayerTest, MovingASublayerWithinItsParentCountsWithoutIt) {
    auto root = Layer::create();
    auto a = Layer::create(), b = Layer::create(), c = Layer::create();
    root->setSublayers({a, b, c});
    root->insertSublayer(a, 1);
    EXPECT_EQ(root->sublayers(), (std::vector<std::shared_ptr<Layer>>{b, a, c}));
    root->addSublayer(b);
    EXPECT_EQ(root->sublayers(), (std::vector<std::shared_ptr<Layer>>{a, c, b}));
    root->replaceSublayer(c.get(), a);
    EXPECT_EQ(root->sublayers(), (std::vector<std::shared_ptr<Layer>>{a, b}));
    EXPECT_EQ(c->superlayer(), nullptr);
}
