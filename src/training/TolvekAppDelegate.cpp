#include "training/TolvekAppDelegate.h"

#include "sharing/core/SHR.h"
#include "sharing/core/SHRSharer.h"
#include "sharing/services/BuiltInSharers.h"
#include "sharing/services/facebook/SHRFacebook.h"

#include <cmath>

#include "platform/base/Bundle.h"
#include "platform/base/Date.h"
#include "platform/base/FileManager.h"
#include "platform/base/Log.h"
#include "platform/base/UserDefaults.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/EventStore.h"
#include "platform/ui/MailComposeViewController.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"
#include "training/DataAccess.h"
#include "training/LogViewController.h"
#include "training/RootViewController.h"
#include "training/SettingsKeys.h"
#include "training/UserViewController.h"
#include "training/Utility.h"
#include "training/WorkoutSession.h"

TolvekAppDelegate::TolvekAppDelegate() {
    // The store, the utilities and the screens find the shared values of the
    // application's delegate, whichever delegate that is.
    AppState::setCurrentSource([]() -> std::shared_ptr<AppState> {
        auto delegate = shared();
        return delegate ? delegate->state() : nullptr;
    });
}

TolvekAppDelegate::~TolvekAppDelegate() {
    if (heldDaysTimer_) heldDaysTimer_->invalidate();
}

std::shared_ptr<RootViewController> TolvekAppDelegate::rootViewController() const {
    if (!navigationController() || navigationController()->viewControllers().empty()) return nullptr;
    return std::dynamic_pointer_cast<RootViewController>(navigationController()->viewControllers().front());
}

std::shared_ptr<TolvekAppDelegate> TolvekAppDelegate::shared() {
    return std::dynamic_pointer_cast<TolvekAppDelegate>(ui::Application::sharedApplication().delegate());
}

bool TolvekAppDelegate::didFinishLaunchingWithOptions(ui::Application& application, const base::Value& launchOptions) {
    (void)launchOptions;
    applicationDidFinishLaunching(application);
    return true;
}

void TolvekAppDelegate::applicationDidFinishLaunching(ui::Application& application) {
    base::AssertionHandler::setCurrent(std::make_shared<TolvekAssertionHandler>());
    // A settings problem is told once in every run.
    Utility::resetSettingsProblem();

    // 1-2. The two databases live in Documents.
    databaseName_ = "Tolvek.sqlite";
    logDatabaseName_ = "LogDay.sqlite";
    const std::string documents = base::paths::documents();
    state_->setDatabasePath(base::paths::join(documents, databaseName_));
    state_->setLogDatabasePath(base::paths::join(documents, logDatabaseName_));
    // Copies that writes of an earlier run left unfinished when it died.
    sweepStaleTemporaries();
    // 3. Copy them from the bundle where needed.
    checkAndCreateDatabase();
    // 4. The log database of an older installation may lack the table Test.
    DataAccess::createNewTestTable();
    // Days finished in an earlier run but never stored (the program ended
    // on "Day Completed", or the log refused them) are stored now, as Done
    // would have; those the log still refuses are tried again while the
    // program runs.
    WorkoutSession::storeKeptDays();
    if (heldDaysTimer_) heldDaysTimer_->invalidate();
    heldDaysTimer_ = base::Timer::scheduledTimer(kHeldDaysRetrySeconds, true,
                                                 [](base::Timer&) { WorkoutSession::retryUnstoredDays(); });
    // 5. The level decides whether the set-up screen comes first.
    launchLevel_ = static_cast<int>(base::UserDefaults::standardUserDefaults().integerForKey(settingskeys::kLevel));
    // 6. The window shows the navigation stack. The program's entry hands in
    // the window and the navigation controller with the home screen at its
    // root; without them the delegate makes its own.
    if (!window_) window_ = std::make_shared<ui::Window>(ui::Screen::mainScreen().bounds());
    if (!state_->navigationController())
        state_->setNavigationController(
            std::make_shared<ui::NavigationController>(std::make_shared<RootViewController>()));
    window_->setRootViewController(state_->navigationController());
    // 7. The manual log-entry screen is made and kept; nothing shows it.
    logViewController_ = std::make_shared<LogViewController>();
    // 8. The training-day flags.
    state_->setIsGoing(false);
    state_->setHasReset(false);
    state_->setCanReset(true);
    // 9.
    window_->makeKeyAndVisible();
    // 10. A user never placed starts with the set-up screen, presented over
    // the home screen (the presentation keeps it).
    if (launchLevel_ == 0) {
        auto setup = std::make_shared<UserViewController>();
        navigationController()->presentModalViewController(setup, true);
        navigationController()->setNavigationBarHidden(false);
        setup->setBackgroundFrame();
    }
    // 11. The screen never dims or locks while the program is in front.
    application.setIdleTimerDisabled(true);
    // 12. Shares made while offline are sent now, when the network is there.
    registerBuiltInSharers();
    SHR::flushOfflineQueue();
    // 13. Nothing was spent in the background yet.
    setBackFromBeingInBackground(false);
    setTimeInBackground(0);
    // What start-up had to mend, said once each.
    const auto& settings = base::UserDefaults::standardUserDefaults();
    const std::string& settingsAside = settings.movedAsideTo();
    if (!settingsAside.empty() && settings.leftOutValues() > 0)
        Utility::reportSettingsProblem(
            "Some of your settings could not be read and were left out; the others are "
            "kept. The old settings file was kept as " +
            settingsAside + ".");
    else if (!settingsAside.empty())
        Utility::reportSettingsProblem(
            "Your settings could not be read, so Tolvek starts again from the set-up. "
            "The old settings file was kept as " +
            settingsAside + ".");
    for (const auto& problem : startUpProblems_) Utility::ShowAlert(problem, "Training Log");
    startUpProblems_.clear();
}

namespace {

// "<file>.unreadable", or "<file>.unreadable.N" when earlier ones are kept.
std::string freeAsideName(const std::string& path) {
    auto& files = base::FileManager::defaultManager();
    std::string name = path + ".unreadable";
    for (int n = 1; files.fileExists(name) && n < 1000; ++n) name = path + ".unreadable." + std::to_string(n);
    return name;
}

// The files SQLite keeps beside a database while it writes: a rollback
// journal, or a write-ahead log and its index.
constexpr const char* kSidecars[] = {"-journal", "-wal", "-shm"};

// Moves the journal files beside path to the same names beside aside. A
// journal left beside a fresh copy would be played into it and damage it,
// so false (nothing may be copied to path) when one stays.
bool moveSidecarsAside(const std::string& path, const std::string& aside) {
    auto& files = base::FileManager::defaultManager();
    bool clear = true;
    for (const char* suffix : kSidecars) {
        const std::string sidecar = path + suffix;
        if (!files.fileExists(sidecar)) continue;
        std::string error;
        if (files.moveItem(sidecar, aside + suffix, &error)) {
            base::log(
                std::string("TolvekAppDelegate: moved ").append(sidecar).append(" to ").append(aside).append(suffix));
        } else {
            base::log(
                std::string("TolvekAppDelegate: could not move ").append(sidecar).append(" aside: ").append(error));
            clear = false;
        }
    }
    return clear;
}

// Copies a database from the bundle to path, where none is. A journal left
// beside the missing file (by a database deleted or moved away by hand)
// belongs to another file: it is moved aside first.
bool copyFromBundle(const std::string& resource, const std::string& path, std::string* error) {
    auto& files = base::FileManager::defaultManager();
    bool stale = false;
    for (const char* suffix : kSidecars) stale = stale || files.fileExists(path + suffix);
    if (stale && !moveSidecarsAside(path, freeAsideName(path))) {
        if (error) *error = "a journal of an earlier file is in the way";
        return false;
    }
    return files.copyItem(resource, path, error);
}

// Moves a file that SQLite cannot use out of the way, with its journal
// files, and puts a fresh copy from the bundle in its place. Answers where
// the old file went (empty when it could not be moved, in which case nothing
// is copied over it).
std::string replaceFromBundle(const std::string& path, const std::string& resource) {
    auto& files = base::FileManager::defaultManager();
    std::string error;
    std::string aside;
    if (files.fileExists(path)) {
        aside = freeAsideName(path);
        if (!files.moveItem(path, aside, &error)) {
            base::log("TolvekAppDelegate: could not move the unusable " + path + " aside: " + error);
            return {};
        }
        base::log("TolvekAppDelegate: moved the unusable " + path + " to " + aside);
        if (!moveSidecarsAside(path, aside)) return aside;
    }
    if (!copyFromBundle(resource, path, &error))
        base::log("TolvekAppDelegate: could not copy " + resource + ": " + error);
    return aside;
}

}  // namespace

void TolvekAppDelegate::sweepStaleTemporaries() {
    // Every folder the program writes files into whole (through a temporary
    // beside the file, renamed over it): the Documents (the log export), the
    // settings and keychain, the caches with the offline queue, the outbox
    // with its drafts and attachments, and the calendar. Only temporaries of
    // our own naming that are older than a minute go, so a write under way
    // in another instance is left alone.
    auto& files = base::FileManager::defaultManager();
    int removed = 0;
    for (const std::string& folder : {base::paths::documents(), base::paths::configHome(), base::paths::caches(),
                                      SHR::offlineQueuePath(), ui::EventStore().calendarDirectory()})
        removed += files.removeStaleTemporariesIn(folder);
    removed += files.removeStaleTemporariesIn(ui::MailComposeViewController::outboxDirectory(), 60, true);
    if (removed > 0)
        base::log("TolvekAppDelegate: removed " + std::to_string(removed) +
                  " unfinished file(s) left by an earlier run");
}

void TolvekAppDelegate::checkAndCreateDatabase() {
    auto& files = base::FileManager::defaultManager();
    auto& defaults = base::UserDefaults::standardUserDefaults();
    const std::string documents = base::paths::deletingLastComponent(databasePath());
    // On a fresh desktop account the Documents folder does not exist yet.
    if (!documents.empty() && !files.fileExists(documents)) files.createDirectory(documents, true);

    const bool planExists = files.fileExists(databasePath());
    const bool logExists = files.fileExists(logDatabasePath());
    const bool replaced = defaults.boolForKey(settingskeys::kReplacedDBFromUpdate);
    const std::string resources = base::Bundle::mainBundle().resourcePath();

    if (!planExists || !replaced) {
        std::string error;
        if (planExists && !files.removeItem(databasePath(), &error))
            base::log("TolvekAppDelegate: could not remove the old plan database: " + error);
        // The key is set only once the new plan is in place, so that a failed
        // copy is tried again at the next start.
        if (copyFromBundle(base::paths::join(resources, databaseName_), databasePath(), &error))
            defaults.setBool(settingskeys::kReplacedDBFromUpdate, true);
        else base::log("TolvekAppDelegate: could not copy the plan database: " + error);
    }
    if (!logExists) {
        std::string error;
        if (!copyFromBundle(base::paths::join(resources, logDatabaseName_), logDatabasePath(), &error))
            base::log("TolvekAppDelegate: could not copy the log database: " + error);
    }
    repairDatabases();
}

void TolvekAppDelegate::repairDatabases() {
    const std::string resources = base::Bundle::mainBundle().resourcePath();
    // The plan is the bundle's own data: a copy SQLite cannot read is
    // replaced, the broken one kept aside only for whoever wants to look.
    if (!DataAccess::planIsUsable(databasePath())) {
        base::log("TolvekAppDelegate: the plan database cannot be read; copying it again");
        replaceFromBundle(databasePath(), base::paths::join(resources, databaseName_));
    }
    // The log holds the user's days: it is never deleted. An unusable one is
    // moved aside, a fresh one takes its place, and the user is told where
    // the old file is.
    if (!DataAccess::logIsUsable(logDatabasePath())) {
        const std::string aside = replaceFromBundle(logDatabasePath(), base::paths::join(resources, logDatabaseName_));
        if (DataAccess::logIsUsable(logDatabasePath())) {
            if (!aside.empty())
                startUpProblems_.push_back(
                    "Your training log could not be read, so Tolvek started a new one. The old file was kept as " +
                    aside + ".");
        } else {
            startUpProblems_.push_back(
                "Your training log could not be read, so the totals show 0 and finished days cannot be saved. "
                "Please check the file " +
                logDatabasePath() + ".");
        }
    }
}

void TolvekAppDelegate::applicationWillTerminate(ui::Application& application) {
    (void)application;
    if (heldDaysTimer_) heldDaysTimer_->invalidate();
    heldDaysTimer_.reset();
    storeHeldDays();
}

void TolvekAppDelegate::storeHeldDays() { WorkoutSession::retryUnstoredDays(); }

void TolvekAppDelegate::applicationDidEnterBackground(ui::Application& application) {
    (void)application;
    storeHeldDays();
    if (!isGoing()) return;
    auto& defaults = base::UserDefaults::standardUserDefaults();
    defaults.setObject(settingskeys::kBackgroundTime, base::Value(base::Date::now()));
    Utility::synchronizeSettings();
}

void TolvekAppDelegate::applicationWillEnterForeground(ui::Application& application) {
    (void)application;
    storeHeldDays();
    if (!isGoing()) {
        setBackFromBeingInBackground(false);
        setTimeInBackground(0);
        return;
    }
    auto& defaults = base::UserDefaults::standardUserDefaults();
    const auto left = defaults.dateForKey(settingskeys::kBackgroundTime);
    defaults.removeObjectForKey(settingskeys::kBackgroundTime);
    Utility::synchronizeSettings();
    if (left) {
        const double seconds = std::fabs(std::trunc(base::Date::now().timeIntervalSinceDate(*left)));
        setTimeInBackground(seconds > 2147483647.0 ? 2147483647 : static_cast<int>(seconds));
    } else {
        setTimeInBackground(0);
    }
    setBackFromBeingInBackground(true);
}

namespace {
// The alert of the last store failure while it is up: a burst of failures
// (a whole fillLog) shows one alert, not one per day.
std::weak_ptr<ui::AlertView>& storeAlert() {
    static std::weak_ptr<ui::AlertView> alert;
    return alert;
}

std::string plainStoreFailure(const std::string& method) {
    if (method == "DataAccess::saveLog") return "The day could not be saved in your training log.";
    if (method == "DataAccess::saveTest") return "The test result could not be saved in your training log.";
    if (method == "DataAccess::updateDay") return "The changed day could not be saved in your training log.";
    if (method == "DataAccess::deleteDay") return "The day could not be deleted from your training log.";
    if (method == "DataAccess::clearAllData") return "Your training log could not be cleared.";
    if (method == "DataAccess::getProgram" || method == "DataAccess::getProgramForId")
        return "The training plan could not be read.";
    return "Your training log could not be changed.";
}
}  // namespace

void TolvekAssertionHandler::handleFailureInMethod(const std::string& method, const void* object,
                                                   const std::string& file, int line, const std::string& description) {
    if (object != DataAccess::classObject()) {
        base::AssertionHandler::handleFailureInMethod(method, object, file, line, description);
        return;
    }
    // SQLite's own words go to the program's log; the user reads what was
    // not done, in plain words.
    base::log("*** Store failure in " + method + ", " + file + ":" + std::to_string(line) + ": " + description);
    auto shown = storeAlert().lock();
    if (shown && shown->isVisible()) return;
    std::string message = plainStoreFailure(method);
    if (!StoreFailureNote::current().empty()) message += " " + StoreFailureNote::current();
    auto alert = std::make_shared<ui::AlertView>("Error", message, std::weak_ptr<ui::AlertViewDelegate>(), std::nullopt,
                                                 std::vector<std::string>{"Ok"});
    storeAlert() = alert;
    alert->show();
}

std::string TolvekAppDelegate::ownURLScheme() { return std::string("fb") + SHRFacebook::AppId; }

bool TolvekAppDelegate::handleOpenURL(ui::Application&, const std::string& url) {
    // The sharer lives for this event only, unless the answer lets it go on
    // to finish a share (it then keeps itself until the share ends).
    auto sharer = std::make_shared<SHRFacebook>();
    return sharer->facebook()->handleOpenURL(url);
}
