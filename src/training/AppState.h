#pragma once
// The values the screens, the store and the utilities share for the whole
// run: the paths of the two databases, the navigation stack and the
// training-day flags. The application delegate owns one and answers for it
// under its own accessors; the store, the utilities and the workout read it
// here, so none of them needs the delegate.
#include <functional>
#include <memory>
#include <string>

namespace ui {
class NavigationController;
}  // namespace ui

class AppState {
public:
    // The state of the application's delegate, or null while there is none.
    static std::shared_ptr<AppState> current();
    // Installed by the delegate: how the state in force is found.
    static void setCurrentSource(std::function<std::shared_ptr<AppState>()> source);

    const std::string& databasePath() const { return databasePath_; }
    void setDatabasePath(const std::string& v) { databasePath_ = v; }
    const std::string& logDatabasePath() const { return logDatabasePath_; }
    void setLogDatabasePath(const std::string& v) { logDatabasePath_ = v; }
    std::shared_ptr<ui::NavigationController> navigationController() const { return navigationController_; }
    void setNavigationController(std::shared_ptr<ui::NavigationController> controller) {
        navigationController_ = std::move(controller);
    }
    // A rest counts down.
    bool isGoing() const { return isGoing_; }
    void setIsGoing(bool v) { isGoing_ = v; }
    // The plan position was set anew since the day started.
    bool hasReset() const { return hasReset_; }
    void setHasReset(bool v) { hasReset_ = v; }
    // The plan position may be set now (no day is under way).
    bool canReset() const { return canReset_; }
    void setCanReset(bool v) { canReset_ = v; }
    bool showReminders() const { return showReminders_; }
    void setShowReminders(bool v) { showReminders_ = v; }
    // The program came back from the background during a rest, after
    // timeInBackground seconds.
    bool backFromBeingInBackground() const { return backFromBeingInBackground_; }
    void setBackFromBeingInBackground(bool v) { backFromBeingInBackground_ = v; }
    int timeInBackground() const { return timeInBackground_; }
    void setTimeInBackground(int v) { timeInBackground_ = v; }

private:
    std::string databasePath_;
    std::string logDatabasePath_;
    std::shared_ptr<ui::NavigationController> navigationController_;
    bool isGoing_ = false;
    bool hasReset_ = false;
    bool canReset_ = true;
    bool showReminders_ = false;
    bool backFromBeingInBackground_ = false;
    int timeInBackground_ = 0;
};

// While one lives, a failed store write adds its text to the plain message
// the user reads (what becomes of the data that was not written).
class StoreFailureNote {
public:
    explicit StoreFailureNote(std::string note);
    ~StoreFailureNote();
    StoreFailureNote(const StoreFailureNote&) = delete;
    StoreFailureNote& operator=(const StoreFailureNote&) = delete;

    // The note in force, empty when none.
    static const std::string& current();

private:
    std::string previous_;
};
