#pragma once
// The application delegate: prepares the two databases in Documents before
// any screen reads them, and keeps for the whole run the values the screens
// share (the database paths, the training-day flags and the time spent in
// the background during a rest).
#include <memory>
#include <string>

#include "platform/base/Exception.h"

class TolvekAppDelegate : public std::enable_shared_from_this<TolvekAppDelegate> {
public:
    TolvekAppDelegate() = default;
    virtual ~TolvekAppDelegate() = default;

    // The application's delegate, or null when none is installed.
    static std::shared_ptr<TolvekAppDelegate> shared();
    static void setShared(const std::shared_ptr<TolvekAppDelegate>& delegate);

    // The start-up sequence.
    virtual void applicationDidFinishLaunching();
    // Copies the plan and log databases from the bundle when needed.
    void checkAndCreateDatabase();
    // While a rest counts down, going to the background notes the time under
    // "backgroundTime"; coming back turns it into timeInBackground.
    virtual void applicationDidEnterBackground();
    virtual void applicationWillEnterForeground();
    // Nothing is torn down or saved on termination.
    virtual void applicationWillTerminate() {}

    const std::string& databasePath() const { return databasePath_; }
    void setDatabasePath(const std::string& v) { databasePath_ = v; }
    const std::string& logDatabasePath() const { return logDatabasePath_; }
    void setLogDatabasePath(const std::string& v) { logDatabasePath_ = v; }
    bool isGoing() const { return isGoing_; }
    void setIsGoing(bool v) { isGoing_ = v; }
    bool hasReset() const { return hasReset_; }
    void setHasReset(bool v) { hasReset_ = v; }
    bool canReset() const { return canReset_; }
    void setCanReset(bool v) { canReset_ = v; }
    bool showReminders() const { return showReminders_; }
    void setShowReminders(bool v) { showReminders_ = v; }
    bool backFromBeingInBackground() const { return backFromBeingInBackground_; }
    void setBackFromBeingInBackground(bool v) { backFromBeingInBackground_ = v; }
    int timeInBackground() const { return timeInBackground_; }
    void setTimeInBackground(int v) { timeInBackground_ = v; }

    // The level read at start-up ("Tolvek_Level"; 0 = never placed).
    int launchLevel() const { return launchLevel_; }

private:
    std::string databaseName_;
    std::string databasePath_;
    std::string logDatabaseName_;
    std::string logDatabasePath_;
    bool isGoing_ = false;
    bool hasReset_ = false;
    bool canReset_ = true;
    bool showReminders_ = false;
    bool backFromBeingInBackground_ = false;
    int timeInBackground_ = 0;
    int launchLevel_ = 0;
};

// The application's assertion handler. A failed write of the store is
// logged and the caller goes on (the day in hand is not thrown away with
// the program); every other failure is handled as by default.
class TolvekAssertionHandler : public base::AssertionHandler {
public:
    void handleFailureInMethod(const std::string& method, const void* object, const std::string& file, int line,
                               const std::string& description) override;
};
