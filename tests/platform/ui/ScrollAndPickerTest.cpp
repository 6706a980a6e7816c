#include "UITestSupport.h"

#include <cmath>

using namespace ui;

namespace {

class ScrollAndPickerTest : public uitest::UITest {};

TEST_F(ScrollAndPickerTest, AFreeScrollStopsAtTheEndsOfTheContent) {
    auto scroll = std::make_shared<ScrollView>(Rect(0, 20, 320, 400));
    scroll->setContentSize(Size(320, 1000));
    window_->addSubview(scroll);
    // A fast flick upwards runs on but no further than the end.
    app().touchBegan(Point(160, 400));
    for (int i = 1; i <= 5; ++i) {
        advance(0.01);
        app().touchMoved(Point(160, 400 - 60.0f * i));
    }
    app().touchEnded(Point(160, 100));
    EXPECT_TRUE(scroll->isDecelerating());
    advance(1);
    EXPECT_FALSE(scroll->isDecelerating());
    EXPECT_EQ(scroll->contentOffset(), Point(0, 600));
    // A drag that rests before the finger lifts stays where it is.
    app().touchBegan(Point(160, 100));
    advance(0.3);
    app().touchMoved(Point(160, 400));
    app().touchMoved(Point(160, 420));
    advance(0.3);
    app().touchEnded(Point(160, 420));
    advance(1);
    EXPECT_EQ(scroll->contentOffset(), Point(0, 280));
    // Pulled past the top it gives half the way and springs back.
    scroll->setContentOffset(Point(0, 0));
    app().touchBegan(Point(160, 100));
    advance(0.3);
    app().touchMoved(Point(160, 300));
    EXPECT_EQ(scroll->contentOffset(), Point(0, -100));
    advance(0.3);
    app().touchEnded(Point(160, 300));
    advance(1);
    EXPECT_EQ(scroll->contentOffset(), Point(0, 0));
}

TEST_F(ScrollAndPickerTest, WithoutBouncingADragStopsAtTheEdge) {
    auto scroll = std::make_shared<ScrollView>(Rect(0, 20, 320, 400));
    scroll->setContentSize(Size(320, 500));
    scroll->setBounces(false);
    window_->addSubview(scroll);
    app().touchBegan(Point(160, 100));
    app().touchMoved(Point(160, 300));
    EXPECT_EQ(scroll->contentOffset(), Point(0, 0));
    app().touchMoved(Point(160, -200));
    EXPECT_EQ(scroll->contentOffset(), Point(0, 100));
    app().touchEnded(Point(160, -200));
}

TEST_F(ScrollAndPickerTest, ContentThatFitsDoesNotScrollAndScrollingToARectMovesTheLeast) {
    auto scroll = std::make_shared<ScrollView>(Rect(0, 20, 320, 400));
    scroll->setContentSize(Size(320, 300));
    window_->addSubview(scroll);
    EXPECT_FALSE(scroll->canScrollForDrag(Point(0, -50)));
    scroll->setContentSize(Size(320, 1200));
    EXPECT_TRUE(scroll->canScrollForDrag(Point(0, -50)));
    EXPECT_FALSE(scroll->canScrollForDrag(Point(-50, 0)));
    scroll->scrollRectToVisible(Rect(0, 500, 320, 44), false);
    EXPECT_EQ(scroll->contentOffset(), Point(0, 144));
    scroll->scrollRectToVisible(Rect(0, 200, 320, 44), false);
    EXPECT_EQ(scroll->contentOffset(), Point(0, 144));  // already visible
    scroll->setContentInset(EdgeInsets{0, 0, 216, 0});  // room for the keyboard
    scroll->scrollRectToVisible(Rect(0, 1150, 320, 50), false);
    EXPECT_EQ(scroll->contentOffset(), Point(0, 800));
}

struct Numbers : PickerViewDataSource, PickerViewDelegate {
    int rows = 50;
    int numberOfComponentsInPickerView(PickerView&) override { return 1; }
    int numberOfRowsInComponent(PickerView&, int) override { return rows; }
    std::optional<std::string> titleForRow(PickerView&, int row, int) override { return std::to_string(row); }
    void didSelectRow(PickerView&, int row, int) override { chosen.push_back(row); }
    std::vector<int> chosen;
};

TEST_F(ScrollAndPickerTest, DraggingAWheelSettlesOnTheNearestRow) {
    auto numbers = std::make_shared<Numbers>();
    auto picker = std::make_shared<PickerView>(Rect(0, 244, 320, 216));
    picker->setDataSource(numbers);
    picker->setDelegate(numbers);
    window_->addSubview(picker);
    picker->selectRow(10, 0, false);
    app().touchBegan(Point(160, 352));
    app().touchMoved(Point(160, 300));
    app().touchMoved(Point(160, 220));  // 132 points up: three rows on
    app().touchEnded(Point(160, 220));
    EXPECT_EQ(picker->selectedRowInComponent(0), 13);
    EXPECT_EQ(numbers->chosen, std::vector<int>{13});
    advance(0.5);
    // Far past the end it stops at the last row.
    app().touchBegan(Point(160, 400));
    app().touchMoved(Point(160, -3000));
    app().touchEnded(Point(160, -3000));
    EXPECT_EQ(picker->selectedRowInComponent(0), 49);
    // Fewer rows after a reload keep the choice inside them.
    numbers->rows = 5;
    picker->reloadAllComponents();
    EXPECT_EQ(picker->selectedRowInComponent(0), 4);
    numbers->rows = 0;
    picker->reloadComponent(0);
    EXPECT_EQ(picker->selectedRowInComponent(0), -1);
    EXPECT_TRUE(renderScreen());
}

TEST_F(ScrollAndPickerTest, TheMouseWheelScrollsTheTableAndTurnsThePickerUnderThePointer) {
    struct Rows : TableViewDataSource {
        int numberOfRowsInSection(TableView&, int) override { return 40; }
        std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView&, const IndexPath& ip) override {
            auto cell = std::make_shared<TableViewCell>();
            cell->textLabel()->setText("Row " + std::to_string(ip.row + 1));
            return cell;
        }
    };
    auto rows = std::make_shared<Rows>();
    auto table = std::make_shared<TableView>(Rect(0, 20, 320, 224), TableViewStyle::Plain);
    table->setDataSource(rows);
    window_->addSubview(table);
    auto numbers = std::make_shared<Numbers>();
    auto picker = std::make_shared<PickerView>(Rect(0, 244, 320, 216));
    picker->setDataSource(numbers);
    picker->setDelegate(numbers);
    window_->addSubview(picker);

    // One notch over the table moves it as far as desktop programs scroll a
    // view of its height (224^(2/3), about 37 points), a cell under the
    // pointer included; away from the user at the top moves nothing.
    app().scrollWheel(Point(160, 100), 0, -1);
    EXPECT_NEAR(table->contentOffset().y, std::pow(224.0, 2.0 / 3.0), 0.01);
    EXPECT_EQ(picker->selectedRowInComponent(0), 0);
    app().scrollWheel(Point(160, 100), 0, 3);
    EXPECT_EQ(table->contentOffset().y, 0);
    // Turned on, it comes to the last row and stops there.
    for (int i = 0; i < 41; ++i) app().scrollWheel(Point(160, 100), 0, -1);
    EXPECT_LT(table->contentOffset().y, 40 * 44 - 224);
    app().scrollWheel(Point(160, 100), 0, -1);
    EXPECT_EQ(table->contentOffset().y, 40 * 44 - 224);
    EXPECT_TRUE(app().isTextVisible("Row 40"));
    app().scrollWheel(Point(160, 100), 0, -1);
    EXPECT_EQ(table->contentOffset().y, 40 * 44 - 224);

    // Over the picker each notch is a row and the delegate hears each
    // choice; a touchpad's small steps add up to rows.
    app().scrollWheel(Point(160, 352), 0, -2);
    EXPECT_EQ(picker->selectedRowInComponent(0), 2);
    for (int i = 0; i < 6; ++i) app().scrollWheel(Point(160, 352), 0, -0.25f);
    EXPECT_EQ(picker->selectedRowInComponent(0), 3);
    app().scrollWheel(Point(160, 352), 0, 5);
    EXPECT_EQ(picker->selectedRowInComponent(0), 0);
    EXPECT_EQ(numbers->chosen, (std::vector<int>{2, 3, 0}));
    EXPECT_EQ(table->contentOffset().y, 40 * 44 - 224);
    advance(1);
    EXPECT_TRUE(renderScreen());
}

TEST_F(ScrollAndPickerTest, AWheelOfViewsDrawsTheDelegatesViews) {
    struct Swatches : Numbers {
        int made = 0;
        std::shared_ptr<View> viewForRow(PickerView&, int row, int, const std::shared_ptr<View>& reuse) override {
            if (reuse) return reuse;
            ++made;
            auto v = std::make_shared<Label>(Rect(0, 0, 100, 44));
            v->setText("Swatch " + std::to_string(row));
            return v;
        }
    };
    auto swatches = std::make_shared<Swatches>();
    auto picker = std::make_shared<PickerView>(Rect(0, 244, 320, 216));
    picker->setDataSource(swatches);
    picker->setDelegate(swatches);
    window_->addSubview(picker);
    renderScreen();
    int made = swatches->made;
    EXPECT_GT(made, 0);
    renderScreen();
    EXPECT_EQ(swatches->made, made);  // views are reused
}

}  // namespace
