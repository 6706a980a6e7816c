#pragma once
// The application delegate: prepares the two databases in Documents before
// any screen reads them, puts the navigation stack into the window, and
// keeps for the whole run the values the screens share (the database paths,
// the training-day flags and the time spent in the background during a
// rest) in an AppState, which the store, the utilities and the screens read
// without the delegate. TolvekAppDelegate::shared() reaches the delegate.
#include <memory>
#include <string>
#include <vector>

#include "platform/base/Exception.h"
#include "platform/base/RunLoop.h"
#include "platform/ui/Application.h"
#include "training/AppState.h"

namespace ui {
class NavigationController;
class Window;
}  // namespace ui
class LogViewController;
class RootViewController;

class TolvekAppDelegate : public ui::ApplicationDelegate, public std::enable_shared_from_this<TolvekAppDelegate> {
public:
    TolvekAppDelegate();
    ~TolvekAppDelegate() override;

    // The shared application's delegate, or null when it is not one of these.
    static std::shared_ptr<TolvekAppDelegate> shared();

    // The start-up sequence.
    bool didFinishLaunchingWithOptions(ui::Application& application, const base::Value& launchOptions) override;
    void applicationDidFinishLaunching(ui::Application& application);
    // Copies the plan and log databases from the bundle when needed, and
    // mends a copy that SQLite cannot use. A journal never stays beside a
    // fresh copy.
    void checkAndCreateDatabase();
    // A plan SQLite cannot read is copied again from the bundle; a log that
    // is not a database with its table is moved aside (never deleted) and a
    // fresh one copied, and the user is told where the old file went.
    void repairDatabases();
    // Removes the temporaries that writes of an earlier run left behind in
    // the program's folders when it died in the middle of them.
    void sweepStaleTemporaries();
    // While a rest counts down, going to the background notes the time under
    // settingskeys::kBackgroundTime; coming back turns it into timeInBackground.
    void applicationDidEnterBackground(ui::Application& application) override;
    void applicationWillEnterForeground(ui::Application& application) override;
    // A URL another program opens here goes to the Facebook client of a new
    // Facebook sharer: true when it was that service's login answer.
    bool handleOpenURL(ui::Application& application, const std::string& url) override;
    // The URL scheme those answers come under ("fb" and the Facebook
    // application identifier), which the desktop entry declares.
    static std::string ownURLScheme();
    // Nothing is torn down on termination; the days the log refused earlier
    // in the run get a last try.
    void applicationWillTerminate(ui::Application& application) override;
    // The program's save of the training: the days the log refused earlier
    // in the run are stored, oldest first, when it can take them now. Runs
    // every minute, when the program goes to the background or comes back,
    // and at quit; the settings save alone knows nothing of workouts.
    void storeHeldDays();
    // How often the held days are tried again while the program runs.
    static constexpr double kHeldDaysRetrySeconds = 60;

    std::shared_ptr<ui::Window> window() const override { return window_; }
    void setWindow(std::shared_ptr<ui::Window> window) { window_ = std::move(window); }
    std::shared_ptr<ui::NavigationController> navigationController() const { return state_->navigationController(); }
    void setNavigationController(std::shared_ptr<ui::NavigationController> controller) {
        state_->setNavigationController(std::move(controller));
    }
    const std::string& databasePath() const { return state_->databasePath(); }
    void setDatabasePath(const std::string& v) { state_->setDatabasePath(v); }
    const std::string& logDatabasePath() const { return state_->logDatabasePath(); }
    void setLogDatabasePath(const std::string& v) { state_->setLogDatabasePath(v); }
    bool isGoing() const { return state_->isGoing(); }
    void setIsGoing(bool v) { state_->setIsGoing(v); }
    bool hasReset() const { return state_->hasReset(); }
    void setHasReset(bool v) { state_->setHasReset(v); }
    bool canReset() const { return state_->canReset(); }
    void setCanReset(bool v) { state_->setCanReset(v); }
    bool showReminders() const { return state_->showReminders(); }
    void setShowReminders(bool v) { state_->setShowReminders(v); }
    bool backFromBeingInBackground() const { return state_->backFromBeingInBackground(); }
    void setBackFromBeingInBackground(bool v) { state_->setBackFromBeingInBackground(v); }
    int timeInBackground() const { return state_->timeInBackground(); }
    void setTimeInBackground(int v) { state_->setTimeInBackground(v); }
    // The shared values themselves.
    const std::shared_ptr<AppState>& state() const { return state_; }

    // The level read at start-up (settingskeys::kLevel; 0 = never placed).
    int launchLevelForTesting() const { return launchLevel_; }

    // The home screen at the root of the navigation stack (null when the
    // entry handed in a stack with another root).
    std::shared_ptr<RootViewController> rootViewController() const;
    // The manual log-entry screen, made at start-up and kept.
    std::shared_ptr<LogViewController> logViewController() const { return logViewController_; }

private:
    std::shared_ptr<LogViewController> logViewController_;
    std::shared_ptr<ui::Window> window_;
    std::shared_ptr<AppState> state_ = std::make_shared<AppState>();
    std::string databaseName_;
    std::string logDatabaseName_;
    int launchLevel_ = 0;
    std::vector<std::string> startUpProblems_;  // told to the user once start-up is done
    std::shared_ptr<base::Timer> heldDaysTimer_;
};

// The application's assertion handler. A failed write of the store is
// logged and shown in an alert, and the caller goes on (the program does not
// end over it); every other failure is handled as by default.
class TolvekAssertionHandler : public base::AssertionHandler {
public:
    void handleFailureInMethod(const std::string& method, const void* object, const std::string& file, int line,
                               const std::string& description) override;
};
