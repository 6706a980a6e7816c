// Drawing again only what changed: the areas a change marks, and that a
// screen redrawn in parts looks exactly like one drawn whole.
#include <cairo.h>

#include <stdexcept>

#include "UITestSupport.h"

namespace {

using namespace ui;

// A view whose drawing fails halfway, with a state of its own saved.
class FailingView : public View {
public:
    using View::View;
    void drawRect(gfx::Context& context, Rect) override {
        context.save();
        context.translate(7, 7);
        throw std::runtime_error("drawing failed");
    }
};

class DirtyRegionTest : public uitest::UITest {
protected:
    void SetUp() override {
        UITest::SetUp();
        surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 320, 480);
        cr_ = cairo_create(surface_);
        context_ = std::make_unique<gfx::Context>(cr_, 1);
        root_ = std::make_shared<View>(Rect(0, 0, 320, 480));
        root_->setBackgroundColor(gfx::Color::white());
        window_->addSubview(root_);
        label_ = std::make_shared<Label>(Rect(20, 100, 120, 30));
        label_->setText("60");
        root_->addSubview(label_);
        needle_ = std::make_shared<View>(Rect(200, 300, 10, 80));
        needle_->setBackgroundColor(gfx::Color::rgb(0.8f, 0.1f, 0.1f));
        root_->addSubview(needle_);
        // The first drawing is the whole screen.
        const auto first = draw();
        EXPECT_EQ(first.size(), 1u);
        if (!first.empty()) {
            EXPECT_EQ(first[0], Screen::mainScreen().bounds());
        }
    }
    void TearDown() override {
        context_.reset();
        cairo_destroy(cr_);
        cairo_surface_destroy(surface_);
        UITest::TearDown();
    }

    std::vector<Rect> draw() { return app().renderDirty(*context_); }
    // What the surface drawn in parts holds now.
    std::shared_ptr<gfx::Image> drawnInParts() {
        cairo_surface_flush(surface_);
        return gfx::Image::fromSurface(surface_, 1);
    }
    static bool covers(const std::vector<Rect>& areas, Rect r) {
        for (const Rect& a : areas)
            if (a.contains(r.origin) && a.contains(Point(r.maxX() - 0.5f, r.maxY() - 0.5f))) return true;
        return false;
    }
    static Float area(const std::vector<Rect>& areas) {
        Float sum = 0;
        for (const Rect& a : areas) sum += a.width() * a.height();
        return sum;
    }

    cairo_surface_t* surface_ = nullptr;
    cairo_t* cr_ = nullptr;
    std::unique_ptr<gfx::Context> context_;
    std::shared_ptr<View> root_;
    std::shared_ptr<Label> label_;
    std::shared_ptr<View> needle_;
};

TEST_F(DirtyRegionTest, NothingChangedDrawsNothing) {
    EXPECT_FALSE(app().needsRedraw());
    EXPECT_TRUE(draw().empty());
    advance(5);
    EXPECT_TRUE(draw().empty());
}

TEST_F(DirtyRegionTest, ANewTextDrawsAgainOnlyAroundItsLabel) {
    label_->setText("59");
    ASSERT_TRUE(app().needsRedraw());
    const auto areas = draw();
    ASSERT_FALSE(areas.empty());
    EXPECT_TRUE(covers(areas, label_->frame()));
    EXPECT_LT(area(areas), 320 * 480 / 10);
    EXPECT_FALSE(app().needsRedraw());  // laying out asked for nothing more
    EXPECT_EQ(*drawnInParts(), *renderScreen());
}

TEST_F(DirtyRegionTest, AMovedOrTurnedViewDrawsWhereItWasAndWhereItGoes) {
    const Rect before = needle_->frame();
    needle_->setCenter(Point(60, 400));
    auto areas = draw();
    EXPECT_TRUE(covers(areas, before));
    EXPECT_TRUE(covers(areas, needle_->frame()));
    EXPECT_LT(area(areas), 320 * 480 / 4);
    EXPECT_EQ(*drawnInParts(), *renderScreen());

    needle_->setTransform(AffineTransform::makeRotation(0.7f));
    areas = draw();
    EXPECT_TRUE(covers(areas, needle_->frame()));
    EXPECT_EQ(*drawnInParts(), *renderScreen());

    needle_->setHidden(true);
    draw();
    EXPECT_EQ(*drawnInParts(), *renderScreen());
    needle_->setHidden(false);
    draw();
    EXPECT_EQ(*drawnInParts(), *renderScreen());
}

TEST_F(DirtyRegionTest, ARemovedViewLeavesNothingBehindAndAnAddedOneShows) {
    needle_->removeFromSuperview();
    draw();
    EXPECT_EQ(*drawnInParts(), *renderScreen());
    auto box = std::make_shared<View>(Rect(150, 40, 60, 60));
    box->setBackgroundColor(gfx::Color::rgb(0.1f, 0.5f, 0.9f));
    root_->addSubview(box);
    const auto areas = draw();
    EXPECT_TRUE(covers(areas, box->frame()));
    EXPECT_EQ(*drawnInParts(), *renderScreen());
}

TEST_F(DirtyRegionTest, AViewThatFailsToDrawLeavesTheKeptContextAsItWasFound) {
    auto failing = std::make_shared<FailingView>(Rect(40, 200, 50, 50));
    root_->addSubview(failing);
    draw();
    // No clip or transform of the failed frame is kept for the next ones.
    EXPECT_EQ(context_->saveDepth(), 0);
    failing->removeFromSuperview();
    draw();
    label_->setText("57");
    needle_->setCenter(Point(250, 60));
    draw();
    EXPECT_EQ(*drawnInParts(), *renderScreen());
}

TEST_F(DirtyRegionTest, AWholeRedrawIsAskedForStillCoversTheScreen) {
    app().setNeedsRedraw();
    label_->setText("58");
    const auto areas = draw();
    ASSERT_EQ(areas.size(), 1u);
    EXPECT_EQ(areas[0], Screen::mainScreen().bounds());
}

}  // namespace
