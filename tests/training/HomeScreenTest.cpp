#include "HomeTestSupport.h"
#include "training/UserViewController.h"

namespace {

using hometest::ScreenTest;

TEST_F(ScreenTest, Explore) {
    launch();
    tap("Ok");
    tap("Push-ups");
    shot("typing");
    type("15");
    tap("OK");
    shot("home");
    tap("Good Form");
    shot("goodform");
    driver->wait(0.6);
    shot("goodform2");
    tap("Back");
    tap("Tip of the Week");
    shot("tip");
    tap("Back");
    driver->swipe({250, 150}, {50, 150});
    driver->wait(1);
    shot("page2");
    placed(1, 3, 2, true);
    tap("Today's Workout");
    shot("test");
    tap("Score");
    shot("testtyping");
    placed(1, 7, 2, false);
    tap("Today's Workout");
    shot("complete");
}

}  // namespace
