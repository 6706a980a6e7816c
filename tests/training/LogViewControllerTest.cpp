// The manual log-entry screen (made at start-up and kept), shown here as a
// modal screen so that it can be driven, and the pager on its own.
#include "HomeTestSupport.h"
#include "platform/base/Format.h"
#include "training/DataAccess.h"
#include "training/LogViewController.h"
#include "training/PagedView.h"

namespace {

class LogEntryTest : public hometest::ScreenTest {
protected:
    void show(int day, int week, int level) {
        placed(1, 1, 1);
        launch();
        screen = app->logViewController();
        ASSERT_TRUE(screen);
        screen->setToday(DataAccess::getProgram(day, week, level));
        nav()->presentModalViewController(screen, false);
        driver->wait(1);
    }
    std::shared_ptr<LogViewController> screen;
};

TEST_F(LogEntryTest, AllFieldsEmptyOnALongDayStoresThePlannedNineSlots) {
    show(2, 6, 1);
    EXPECT_EQ(screen->extendedKeyboard(), 2);
    const auto planned = screen->today()->nineSlots();
    for (int slot = 1; slot <= 9; ++slot) {
        EXPECT_FALSE(screen->rep(slot)->isHidden()) << slot;
        EXPECT_EQ(screen->rep(slot)->placeholder(),
                  base::format("Program default for Rep %d: %d", slot, planned[slot - 1]));
    }
    EXPECT_EQ(screen->message(), "Day Saved ");
    shot("log-entry");
    tap("Save");
    auto logged = DataAccess::getLogData();
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0]->reps(), planned);
    EXPECT_EQ(logged[0]->week(), 6);
    EXPECT_EQ(logged[0]->day(), 2);
    EXPECT_EQ(logged[0]->level(), 1);
    EXPECT_EQ(logged[0]->total(), screen->today()->total());
    driver->wait(1);
    EXPECT_TRUE(driver->isTextVisible("Email")) << "the day is offered for sharing";
    tap("Cancel", 1);
    EXPECT_EQ(
        screen->statusString(),
        base::format("Today I did a total of %i pushups thanks to the Tolvek iPhone app. (Week 6, Day 2, Level 1) "
                     "#Tolvek",
                     screen->today()->total()));
}

TEST_F(LogEntryTest, AFiveSetDayHidesTheExtraFieldsAndTakesTypedCounts) {
    show(3, 2, 2);
    EXPECT_EQ(screen->extendedKeyboard(), 0);
    for (int slot = 6; slot <= 9; ++slot) EXPECT_TRUE(screen->rep(slot)->isHidden()) << slot;
    screen->rep(2)->setText("20");
    screen->rep(4)->setText(" 7 ");
    tap("Save");
    auto logged = DataAccess::getLogData();
    ASSERT_EQ(logged.size(), 1u);
    auto expected = screen->today()->nineSlots();
    expected[1] = 20;
    expected[3] = 7;
    EXPECT_EQ(logged[0]->reps(), expected);
    EXPECT_EQ(logged[0]->rep6(), 0);
}

TEST_F(LogEntryTest, ANonNumericCountStopsTheSaveWithAnAlert) {
    show(2, 5, 3);
    EXPECT_EQ(screen->extendedKeyboard(), 1);
    EXPECT_FALSE(screen->rep(8)->isHidden());
    EXPECT_TRUE(screen->rep(9)->isHidden());
    screen->rep(3)->setText("12a");
    tap("Save");
    EXPECT_TRUE(driver->isTextVisible("Please insert a valid number"));
    EXPECT_TRUE(DataAccess::getLogData().empty());
    EXPECT_TRUE(screen->statusString().empty());
}

TEST_F(LogEntryTest, TheReturnKeyWalksTheVisibleFieldsAndTheLastEndsTheEntry) {
    show(1, 1, 1);
    tap("Set 1");
    for (int slot = 1; slot < 5; ++slot) {
        EXPECT_TRUE(screen->rep(slot)->isEditing()) << slot;
        ASSERT_TRUE(driver->pressReturn());
    }
    EXPECT_TRUE(screen->rep(5)->isEditing());
    EXPECT_EQ(screen->rep(5)->returnKeyType(), ui::ReturnKeyType::Done);
    ASSERT_TRUE(driver->pressReturn());
    driver->wait(1);
    EXPECT_FALSE(application().isKeyboardVisible());
    EXPECT_FALSE(screen->hasMovedUp());
}

// --- The pager ---------------------------------------------------------------

class Pages : public PagedViewDelegate {
public:
    explicit Pages(int count) : count(count) {}
    int numberOfPagesInPagedView(PagedView&) override { return count; }
    std::shared_ptr<ui::View> pagedView(PagedView&, int index) override {
        ++asked;
        auto v = std::make_shared<ui::View>();
        v->setTag(index + 1);
        return v;
    }
    int count;
    int asked = 0;
};

TEST(PagedViewTest, ZeroPagesShowOneHiddenDotAndLoadNothing) {
    auto pager = std::make_shared<PagedView>(ui::Rect(0, 0, 300, 170));
    auto pages = std::make_shared<Pages>(0);
    pager->setDelegate(pages);
    pager->reloadData();
    EXPECT_EQ(pager->pageControl()->numberOfPages(), 1);
    EXPECT_TRUE(pager->pageControl()->isHidden());
    EXPECT_TRUE(pager->loadedPages().empty());
    EXPECT_EQ(pages->asked, 0);
    EXPECT_EQ(pager->scrollView()->contentSize().width, 0);
}

TEST(PagedViewTest, PagesSitSideBySideAndOnlyNeighboursOfTheSelectedOneStayLoaded) {
    auto pager = std::make_shared<PagedView>(ui::Rect(0, 0, 300, 170));
    auto pages = std::make_shared<Pages>(5);
    pager->setDelegate(pages);
    pager->reloadData();
    EXPECT_EQ(pager->scrollView()->contentSize(), ui::Size(1500, 150));
    ASSERT_EQ(pager->loadedPages().size(), 2u);
    EXPECT_EQ(pager->loadedPages().at(1)->frame(), ui::Rect(300, 0, 300, 150));
    pager->scrollView()->setContentOffset(ui::Point(900, 0));
    pager->scrollViewDidEndDecelerating(*pager->scrollView());
    EXPECT_EQ(pager->pageControl()->currentPage(), 3);
    std::vector<int> loaded;
    for (auto& [index, view] : pager->loadedPages()) loaded.push_back(index);
    EXPECT_EQ(loaded, (std::vector<int>{2, 3, 4}));
    // Out of range requests are ignored; the selected page is capped.
    pager->scrollToPageAtIndex(5, false);
    EXPECT_EQ(pager->indexForSelectedPage(), 3);
    pages->count = 2;
    EXPECT_EQ(pager->indexForSelectedPage(), 2);
    pager->reloadData();
    EXPECT_TRUE(pager->loadedPages().count(1));
    EXPECT_FALSE(pager->loadedPages().count(2));
}

class ReusablePage : public ui::View, public ReusableObject {
public:
    void prepareForReuse() override { ++prepared; }
    std::string reuseIdentifier() const override { return "page"; }
    int prepared = 0;
};

class ReusingPages : public Pages {
public:
    ReusingPages() : Pages(4) {}
    std::shared_ptr<ui::View> pagedView(PagedView& pager, int index) override {
        auto v = pager.dequeueReusableViewWithIdentifier("page");
        if (v) ++reused;
        else v = std::make_shared<ReusablePage>();
        v->setTag(index + 1);
        return v;
    }
    int reused = 0;
};

TEST(PagedViewTest, AnUnloadedReusablePageIsHandedOutAgainDuringTheSameLoad) {
    auto pager = std::make_shared<PagedView>(ui::Rect(0, 0, 300, 170));
    auto pages = std::make_shared<ReusingPages>();
    pager->setDelegate(pages);
    pager->reloadData();
    EXPECT_EQ(pages->reused, 0);
    auto first = pager->loadedPages().at(0);
    // Reloading unloads each page before loading it, so it comes back reused.
    pager->reloadData();
    EXPECT_EQ(pages->reused, 2);
    EXPECT_EQ(pager->loadedPages().at(0), first);
    EXPECT_EQ(std::static_pointer_cast<ReusablePage>(first)->prepared, 1);
    EXPECT_EQ(pager->dequeueReusableViewWithIdentifier("page"), nullptr);  // emptied after the load
}

}  // namespace
