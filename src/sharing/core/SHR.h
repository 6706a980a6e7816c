#pragma once
// The sharing framework's one instance: it presents the framework's screens
// one at a time over the application, keeps sharer credentials in the
// keychain, the favourite sharers per share type and the user's exclusions,
// answers whether the internet is reachable, and owns the offline queue of
// shares made while offline. It also keeps every sharer alive while its
// share runs, and lets it go when the share ends.
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/base/OperationQueue.h"
#include "platform/base/Value.h"
#include "platform/net/Error.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ViewController.h"

class SHRItem;
class SHRSharer;

class SHR {
public:
    // The singleton (made on first use, never released).
    static SHR& currentHelper();
    static void setRootViewController(const std::shared_ptr<ui::ViewController>& controller);

    // The internet is reachable (see Reachability).
    static bool connected();
    // An error of the domain "sharing", code 1, with the text as its description.
    static net::Error error(const std::string& text);

    // The configured presentation settings, turned into the toolkit's values.
    static ui::ModalTransitionStyle modalTransitionStyle();
    static ui::ModalPresentationStyle modalPresentationStyle();
    static ui::BarStyle barStyle();
    static ui::ModalTransitionStyle transitionStyleNamed(const std::string& name);
    static ui::ModalPresentationStyle presentationStyleNamed(const std::string& name);
    static ui::BarStyle barStyleNamed(const std::string& name);

    // "SHRSharers.plist" of the bundle, read once: "actions" and "services",
    // each an array of sharer class names. Empty when the file is missing.
    static const base::Dictionary& sharersDictionary();
    // The class names listed under key ("actions" or "services").
    static std::vector<std::string> sharersListed(const std::string& key);
    static void logoutOfService(const std::string& className);
    static void logoutOfAll();

    // Credentials: generic-password items of the service "SHR_AUTH_" + the
    // sharer id, account = key. A failed read is no value; failures to store
    // are logged, never shown.
    static std::optional<std::string> getAuthValueForKey(const std::string& key, const std::string& sharerId);
    static void setAuthValue(const std::string& value, const std::string& key, const std::string& sharerId);
    static void removeAuthValueForKey(const std::string& key, const std::string& sharerId);

    // Favourites per share type, most recent first.
    static std::vector<std::string> favoriteSharersForType(int type);
    static void setFavorites(const std::vector<std::string>& favorites, int type);
    static void pushOnFavorites(const std::string& sharerId, int type);
    static void setUserExclusions(const base::Value& exclusions);
    static base::Value getUserExclusions();

    // --- Offline queue (files in the caches folder "SHR").
    static std::string offlineQueuePath();
    static std::string offlineQueueListPath();
    static std::optional<base::Array> getOfflineQueueList();
    static bool saveOfflineQueueList(const base::Array& list);
    // Writes the data file (image or file items) and appends the entry to
    // the list. False when either write failed (nothing is left half-done).
    static bool addToOfflineQueue(const SHRItem& item, const std::string& sharerId);
    // Replays every queued share, each on an operation of the queue. An
    // entry leaves the list when its share was sent, when it can never be
    // sent (its sharer is unknown or signed out, its item no longer
    // validates: each logged), or after MaxReplayAttempts failed replays.
    // A replay that finds itself offline again updates its own entry
    // instead of adding a second one.
    static void flushOfflineQueue();
    static constexpr int MaxReplayAttempts = 5;
    // The uid of an entry is safe as a file name in the queue folder.
    static bool isValidQueueUid(const std::string& uid);
    // Internal: how a replay ended. Sent and Hopeless remove the entry and
    // its data file (Hopeless with a line in the log saying why); Failed
    // counts an attempt.
    enum class ReplayOutcome { Sent, Failed, Hopeless };
    static void offlineShareEnded(const std::string& uid, ReplayOutcome outcome, const std::string& why = {});
    // The operation queue of the replay (none before the first replay).
    std::shared_ptr<base::OperationQueue> offlineQueue() const { return offlineQueue_; }

    // --- Presentation.
    void showViewController(std::shared_ptr<ui::ViewController> controller);
    void hideCurrentViewController() { hideCurrentViewControllerAnimated(true); }
    void hideCurrentViewControllerAnimated(bool animated);
    // Every framework screen calls this when it has gone off screen.
    void viewWasDismissed();
    void showPendingView();
    std::shared_ptr<ui::ViewController> getTopViewController();

    std::shared_ptr<ui::ViewController> rootViewController() const { return rootViewController_.lock(); }
    std::shared_ptr<ui::ViewController> currentView() const { return currentView_; }
    std::shared_ptr<ui::ViewController> pendingView() const { return pendingView_; }
    bool isDismissingView() const { return isDismissingView_; }

    // --- Sharers in flight: kept until their share ends.
    void keepSharer(const std::shared_ptr<SHRSharer>& sharer);
    void releaseSharer(const SHRSharer* sharer);
    std::size_t activeSharerCountForTesting() const { return activeSharers_.size(); }

    // Tests: forget screens, sharers and the replay queue (waiting for it).
    static void resetForTesting();

private:
    SHR() = default;
    std::weak_ptr<ui::ViewController> rootViewController_;
    std::shared_ptr<ui::ViewController> currentView_;
    std::shared_ptr<ui::ViewController> pendingView_;
    bool isDismissingView_ = false;
    std::shared_ptr<base::OperationQueue> offlineQueue_;
    std::vector<std::shared_ptr<SHRSharer>> activeSharers_;
    std::mutex queueMutex_;
    std::set<std::string> replaying_;
    // The uid of the entry whose replay is calling tryToSend on the main
    // thread: a share queued meanwhile replaces that entry.
    std::string requeueUid_;
    bool requeued_ = false;
    friend class SHROfflineSharer;
};

// Generic-password items over the platform keychain.
class SFHFKeychainUtils {
public:
    static constexpr const char* ErrorDomain = "SFHFKeychainUtilsErrorDomain";
    static std::optional<std::string> getPasswordForUsername(const std::string& username,
                                                             const std::string& serviceName,
                                                             std::optional<net::Error>* error);
    static bool storeUsername(const std::string& username, const std::string& password, const std::string& serviceName,
                              bool updateExisting, std::optional<net::Error>* error);
    static bool deleteItemForUsername(const std::string& username, const std::string& serviceName,
                                      std::optional<net::Error>* error);
};
