#include "sharing/core/SHR.h"

#include <algorithm>

#include "platform/base/Bundle.h"
#include "platform/base/Exception.h"
#include "platform/base/FileManager.h"
#include "platform/base/Keychain.h"
#include "platform/base/Log.h"
#include "platform/base/RunLoop.h"
#include "platform/base/UserDefaults.h"
#include "platform/ui/Application.h"
#include "platform/ui/Window.h"
#include "sharing/core/Reachability.h"
#include "sharing/core/SHRActivityIndicator.h"
#include "sharing/core/SHRFunctions.h"
#include "sharing/core/SHRSharer.h"

namespace {
// The configured presentation of the framework's screens.
constexpr const char* ConfiguredTransitionStyle = "UIModalTransitionStyleCoverVertical";
constexpr const char* ConfiguredPresentationStyle = "UIModalPresentationFormSheet";
constexpr const char* ConfiguredBarStyle = "UIBarStyleDefault";

std::string authService(const std::string& sharerId) { return "SHR_AUTH_" + sharerId; }

std::vector<std::string> stringsOf(const base::Value& value) {
    std::vector<std::string> out;
    if (const base::Array* array = value.asArray())
        for (const auto& entry : *array)
            if (const std::string* s = entry.asString()) out.push_back(*s);
    return out;
}

base::Array arrayOf(const std::vector<std::string>& strings) {
    base::Array out;
    for (const auto& s : strings) out.emplace_back(s);
    return out;
}

std::string favoritesKey(int type) { return base::format("SHR_FAVS_%i", type); }
}  // namespace

SHR& SHR::currentHelper() {
    static SHR* helper = new SHR();  // lives for the whole run
    return *helper;
}

void SHR::setRootViewController(const std::shared_ptr<ui::ViewController>& controller) {
    currentHelper().rootViewController_ = controller;
}

bool SHR::connected() {
    return Reachability::reachabilityForInternetConnection()->currentReachabilityStatus() != NotReachable;
}

net::Error SHR::error(const std::string& text) { return net::Error("sharing", 1, text); }

ui::ModalTransitionStyle SHR::transitionStyleNamed(const std::string& name) {
    if (name == "UIModalTransitionStyleFlipHorizontal") return ui::ModalTransitionStyle::FlipHorizontal;
    if (name == "UIModalTransitionStyleCrossDissolve") return ui::ModalTransitionStyle::CrossDissolve;
    if (name == "UIModalTransitionStylePartialCurl") return ui::ModalTransitionStyle::PartialCurl;
    return ui::ModalTransitionStyle::CoverVertical;
}

ui::ModalPresentationStyle SHR::presentationStyleNamed(const std::string& name) {
    if (name == "UIModalPresentationFullScreen") return ui::ModalPresentationStyle::FullScreen;
    if (name == "UIModalPresentationPageSheet") return ui::ModalPresentationStyle::PageSheet;
    if (name == "UIModalPresentationFormSheet") return ui::ModalPresentationStyle::FormSheet;
    return ui::ModalPresentationStyle::CurrentContext;
}

ui::BarStyle SHR::barStyleNamed(const std::string& name) {
    if (name == "UIBarStyleBlack" || name == "UIBarStyleBlackOpaque") return ui::BarStyle::Black;
    if (name == "UIBarStyleBlackTranslucent") return ui::BarStyle::BlackTranslucent;
    return ui::BarStyle::Default;
}

ui::ModalTransitionStyle SHR::modalTransitionStyle() { return transitionStyleNamed(ConfiguredTransitionStyle); }
ui::ModalPresentationStyle SHR::modalPresentationStyle() { return presentationStyleNamed(ConfiguredPresentationStyle); }
ui::BarStyle SHR::barStyle() { return barStyleNamed(ConfiguredBarStyle); }

const base::Dictionary& SHR::sharersDictionary() {
    static const base::Dictionary dictionary = [] {
        base::Dictionary out;
        auto path = base::Bundle::mainBundle().pathForResource("SHRSharers", "plist");
        if (!path) {
            base::log("Sharing: the bundle has no SHRSharers.plist");
            return out;
        }
        auto bytes = base::FileManager::defaultManager().contentsAtPath(*path);
        std::string why;
        auto value = bytes ? base::Value::fromPlist(*bytes, &why) : std::nullopt;
        if (value && value->asDictionary()) out = *value->asDictionary();
        else base::log("Sharing: SHRSharers.plist cannot be read " + why);
        return out;
    }();
    return dictionary;
}

std::vector<std::string> SHR::sharersListed(const std::string& key) { return stringsOf(sharersDictionary().get(key)); }

void SHR::logoutOfService(const std::string& className) {
    if (auto sharer = SHRSharer::create(className)) sharer->logout();
}

void SHR::logoutOfAll() {
    for (const auto& name : sharersListed("services")) logoutOfService(name);
}

std::optional<std::string> SHR::getAuthValueForKey(const std::string& key, const std::string& sharerId) {
    return SFHFKeychainUtils::getPasswordForUsername(key, authService(sharerId), nullptr);
}

void SHR::setAuthValue(const std::string& value, const std::string& key, const std::string& sharerId) {
    std::optional<net::Error> error;
    if (!SFHFKeychainUtils::storeUsername(key, value, authService(sharerId), true, &error) && error)
        base::log(
            base::format("Sharing: could not store %@ of %@ in the keychain (%li)", key, sharerId, error->code()));
}

void SHR::removeAuthValueForKey(const std::string& key, const std::string& sharerId) {
    SFHFKeychainUtils::deleteItemForUsername(key, authService(sharerId), nullptr);
}

std::vector<std::string> SHR::favoriteSharersForType(int type) {
    auto& defaults = base::UserDefaults::standardUserDefaults();
    const std::string key = favoritesKey(type);
    std::vector<std::string> favorites;
    auto stored = defaults.objectForKey(key);
    if (stored.asArray()) {
        favorites = stringsOf(stored);
    } else {
        switch (type) {
        case 1: favorites = {"SHRTwitter", "SHRFacebook", "SHRReadItLater"}; break;
        case 2: favorites = {"SHRMail", "SHRTwitter", "SHRFacebook"}; break;
        case 3: favorites = {"SHRMail", "SHRFacebook", "SHRCopy"}; break;
        case 4: favorites = {"SHRMail", "SHREvernote"}; break;
        default: break;
        }
        defaults.setObject(key, arrayOf(favorites));
        defaults.synchronize();
    }
    if (auto excluded = defaults.dictionaryForKey("SHRExcluded")) {
        favorites.erase(std::remove_if(favorites.begin(), favorites.end(),
                                       [&](const std::string& id) { return excluded->contains(id); }),
                        favorites.end());
        defaults.setObject(key, arrayOf(favorites));
        defaults.synchronize();
    }
    return favorites;
}

void SHR::setFavorites(const std::vector<std::string>& favorites, int type) {
    auto& defaults = base::UserDefaults::standardUserDefaults();
    defaults.setObject(favoritesKey(type), arrayOf(favorites));
    defaults.synchronize();
}

void SHR::pushOnFavorites(const std::string& sharerId, int type) {
    auto favorites = favoriteSharersForType(type);
    favorites.erase(std::remove(favorites.begin(), favorites.end(), sharerId), favorites.end());
    favorites.insert(favorites.begin(), sharerId);
    while (favorites.size() > 3) favorites.pop_back();
    setFavorites(favorites, type);
}

void SHR::setUserExclusions(const base::Value& exclusions) {
    auto& defaults = base::UserDefaults::standardUserDefaults();
    defaults.setObject("SHR_FAVS_Exclusions", exclusions);
    defaults.synchronize();
}

base::Value SHR::getUserExclusions() {
    return base::UserDefaults::standardUserDefaults().objectForKey("SHR_FAVS_Exclusions");
}

// --- Presentation --------------------------------------------------------------

namespace {
void dismissController(const std::shared_ptr<ui::ViewController>& controller, bool animated) {
    if (controller->presentingViewController()) controller->dismissModalViewControllerAnimated(animated);
    else if (auto parent = controller->parentViewController()) parent->dismissModalViewControllerAnimated(animated);
}
}  // namespace

std::shared_ptr<ui::ViewController> SHR::getTopViewController() {
    auto root = rootViewController_.lock();
    if (!root) {
        base::AssertionHandler::current().handleFailureInMethod("getTopViewController", this, "Sharing/Core/SHR", 123,
                                                                "Sharing: There is no view controller to display from");
        return nullptr;
    }
    auto top = root;
    while (auto next = top->modalViewController()) top = next;
    return top;
}

void SHR::showViewController(std::shared_ptr<ui::ViewController> controller) {
    if (!controller) return;
    if (!rootViewController_.lock()) {
        auto& app = ui::Application::sharedApplication();
        auto window = app.keyWindow();
        if (!window && !app.windows().empty()) window = app.windows().front();
        std::shared_ptr<ui::ViewController> root;
        if (window && !window->subviews().empty()) root = window->subviews().front()->viewController();
        if (!root && window) root = window->rootViewController();
        if (root) root = root->outermostController();
        if (!root) {
            base::AssertionHandler::current().handleFailureInMethod(
                "showViewController", this, "Sharing/Core/SHR", 117,
                "Sharing: Could not find a root view controller.  You can assign one manually by calling "
                "[[SHR currentHelper] setRootViewController:YOURROOTVIEWCONTROLLER].");
            return;
        }
        rootViewController_ = root;
    }
    auto top = getTopViewController();
    if (!top) return;

    if (currentView_) {
        // One screen at a time: this one waits until the shown one is gone.
        pendingView_ = std::move(controller);
        if (!isDismissingView_) {
            isDismissingView_ = true;
            dismissController(currentView_, true);
        }
        return;
    }

    std::shared_ptr<ui::ViewController> presented = controller;
    auto nav = std::dynamic_pointer_cast<ui::NavigationController>(controller);
    if (!nav) {
        nav = std::make_shared<ui::NavigationController>(controller);
        presented = nav;
    }
    presented->setModalPresentationStyle(modalPresentationStyle());
    presented->setModalTransitionStyle(modalTransitionStyle());
    nav->navigationBar()->setBarStyle(barStyle());
    top->presentModalViewController(presented, true);
    currentView_ = presented;
    pendingView_.reset();
}

void SHR::hideCurrentViewControllerAnimated(bool animated) {
    if (isDismissingView_ || !currentView_) return;
    isDismissingView_ = true;
    auto current = currentView_;
    if (current->presentingViewController() || current->parentViewController()) {
        dismissController(current, animated);
    } else {
        currentView_.reset();
        isDismissingView_ = false;
    }
}

void SHR::viewWasDismissed() {
    // A screen that went away while another is still shown (a composer's
    // own sheet, say) must not clear the presentation.
    if (currentView_ && currentView_->presentingViewController() && !isDismissingView_) return;
    isDismissingView_ = false;
    currentView_.reset();
    rootViewController_.reset();
    if (pendingView_) base::RunLoop::main().performAfterDelay(0.02, [] { SHR::currentHelper().showPendingView(); });
}

void SHR::showPendingView() {
    if (!pendingView_ || currentView_) return;
    auto pending = std::move(pendingView_);
    pendingView_.reset();
    showViewController(pending);
}

void SHR::keepSharer(const std::shared_ptr<SHRSharer>& sharer) {
    if (!sharer) return;
    if (std::find(activeSharers_.begin(), activeSharers_.end(), sharer) == activeSharers_.end())
        activeSharers_.push_back(sharer);
}

void SHR::releaseSharer(const SHRSharer* sharer) {
    auto it = std::find_if(activeSharers_.begin(), activeSharers_.end(),
                           [&](const std::shared_ptr<SHRSharer>& s) { return s.get() == sharer; });
    if (it == activeSharers_.end()) return;
    auto keep = *it;  // destroyed after the list no longer holds it
    activeSharers_.erase(it);
}

void SHR::resetForTesting() {
    auto& helper = currentHelper();
    if (helper.offlineQueue_) {
        helper.offlineQueue_->cancelAllOperations();
        while (helper.offlineQueue_->operationCount() > 0) base::RunLoop::main().runOnce(0.01);
    }
    helper.offlineQueue_.reset();
    helper.currentView_.reset();
    helper.pendingView_.reset();
    helper.rootViewController_.reset();
    helper.isDismissingView_ = false;
    helper.activeSharers_.clear();
    // The panel outlives any one application: a reset leaves none behind
    // (nor its scheduled hide, nor a Cancel of a share that is gone).
    SHRActivityIndicator::discardCurrent();
    std::lock_guard lock(helper.queueMutex_);
    helper.replaying_.clear();
}

// --- Keychain ---------------------------------------------------------------------

namespace {
void setError(std::optional<net::Error>* error, long code) {
    if (error) *error = net::Error(SFHFKeychainUtils::ErrorDomain, code, base::format("Keychain error %li", code));
}
}  // namespace

std::optional<std::string> SFHFKeychainUtils::getPasswordForUsername(const std::string& username,
                                                                     const std::string& serviceName,
                                                                     std::optional<net::Error>* error) {
    if (error) error->reset();
    if (username.empty() || serviceName.empty()) {
        setError(error, -2000);
        return std::nullopt;
    }
    auto& keychain = base::Keychain::shared();
    auto status = keychain.findAttributes(serviceName, username);
    if (status == base::KeychainStatus::ItemNotFound) return std::nullopt;
    if (status != base::KeychainStatus::Success) {
        setError(error, static_cast<long>(status));
        return std::nullopt;
    }
    std::optional<base::Data> data;
    status = keychain.findData(serviceName, username, &data);
    if (status == base::KeychainStatus::ItemNotFound || (status == base::KeychainStatus::Success && !data)) {
        setError(error, -1999);
        return std::nullopt;
    }
    if (status != base::KeychainStatus::Success) {
        setError(error, static_cast<long>(status));
        return std::nullopt;
    }
    return std::string(data->begin(), data->end());
}

bool SFHFKeychainUtils::storeUsername(const std::string& username, const std::string& password,
                                      const std::string& serviceName, bool updateExisting,
                                      std::optional<net::Error>* error) {
    if (error) error->reset();
    if (username.empty() || serviceName.empty()) {
        setError(error, -2000);
        return false;
    }
    std::optional<net::Error> readError;
    auto existing = getPasswordForUsername(username, serviceName, &readError);
    if (readError && readError->code() == -1999) {
        // An item without a password: take it away and start afresh.
        if (!deleteItemForUsername(username, serviceName, &readError)) {
            if (error) *error = readError;
            return false;
        }
        readError.reset();
    } else if (readError) {
        if (error) *error = readError;
        return false;
    }
    auto& keychain = base::Keychain::shared();
    base::KeychainStatus status;
    const base::Data bytes(password.begin(), password.end());
    if (existing) {
        if (*existing == password || !updateExisting) return true;
        status = keychain.update(serviceName, username, bytes);
    } else {
        status = keychain.add(base::KeychainItem{{serviceName, username, serviceName}, bytes});
    }
    if (status != base::KeychainStatus::Success) {
        setError(error, static_cast<long>(status));
        return false;
    }
    return true;
}

bool SFHFKeychainUtils::deleteItemForUsername(const std::string& username, const std::string& serviceName,
                                              std::optional<net::Error>* error) {
    if (error) error->reset();
    if (username.empty() || serviceName.empty()) {
        setError(error, -2000);
        return false;
    }
    auto status = base::Keychain::shared().deleteItem(serviceName, username);
    if (status != base::KeychainStatus::Success) {
        setError(error, static_cast<long>(status));
        return false;
    }
    return true;
}
