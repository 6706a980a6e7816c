#pragma once
// The base of every sharer (one class per service or device action). It
// fixes the road of one share: authorize if the service needs it, show a
// share form unless auto-share is on, then send now, queue it while offline
// (when the sharer can share offline) or refuse, and report the outcome to
// its delegate and through four notifications.
//
// A sharer is identified everywhere by its class name (sharerId()); sharers
// are made from the name through SHRSharer::registry(). The capabilities
// are virtual: ask an instance (prototype(name) makes one for the asking).
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/ClassRegistry.h"
#include "platform/net/Error.h"
#include "platform/ui/NavigationController.h"
#include "sharing/core/SHRItem.h"

class SHRSharer;
class SHRFormController;
class SHRFormFieldSettings;
class SHRRequest;

// Notification names.
inline constexpr const char* SHRSendDidStartNotification = "SHRSendDidStartNotification";
inline constexpr const char* SHRSendDidFinish = "SHRSendDidFinish";
inline constexpr const char* SHRSendDidFailWithError = "SHRSendDidFailWithError";
inline constexpr const char* SHRSendDidCancel = "SHRSendDidCancel";

class SHRSharerDelegate {
public:
    virtual ~SHRSharerDelegate() = default;
    virtual void sharerStartedSending(SHRSharer& sharer) { (void)sharer; }
    virtual void sharerFinishedSending(SHRSharer& sharer) { (void)sharer; }
    virtual void sharerFailedWithError(SHRSharer& sharer, const net::Error& error, bool shouldRelogin) {
        (void)sharer, (void)error, (void)shouldRelogin;
    }
    virtual void sharerCancelledSending(SHRSharer& sharer) { (void)sharer; }
};

enum SHRPendingAction { SHRPendingNone = 0, SHRPendingShare = 1, SHRPendingRefreshToken = 2 };

class SHRSharer : public ui::NavigationController, public SHRSharerDelegate {
public:
    SHRSharer();
    ~SHRSharer() override;

    // --- Class names.
    using Registry = base::ClassRegistry<SHRSharer>;
    static Registry& registry() { return Registry::shared(); }
    template <class T>
    static void registerSharer(const std::string& className) {
        registry().registerClass(className, [] { return std::static_pointer_cast<SHRSharer>(std::make_shared<T>()); });
    }
    // A new sharer of the class, or nullptr for an unknown name.
    static std::shared_ptr<SHRSharer> create(const std::string& className);
    // The same, for asking capabilities.
    static std::shared_ptr<SHRSharer> prototype(const std::string& className) { return create(className); }

    // --- Capabilities (the class operations; subclasses override).
    virtual std::string sharerId() const = 0;  // the class name
    virtual std::string sharerTitle() const { return ""; }
    virtual bool canShareText() const { return false; }
    virtual bool canShareURL() const { return false; }
    virtual bool canShareImage() const { return false; }
    virtual bool canShareFile() const { return false; }
    virtual bool shareRequiresInternetConnection() const { return true; }
    virtual bool canShareOffline() const { return true; }
    virtual bool requiresAuthentication() const { return true; }
    virtual bool canAutoShare() const { return true; }
    virtual bool canShare() const { return true; }
    virtual std::optional<std::string> authorizationFormCaption() const { return std::nullopt; }
    virtual std::vector<std::shared_ptr<SHRFormFieldSettings>> authorizationFormFields() const;
    // 1 URL, 2 text, 3 image, 4 file; any other type cannot be shared.
    bool canShareType(int type) const;

    // --- Starting a share (the class operations).
    // Moves the sharer to the front of the favourites of the item's type,
    // then shares the item. nullptr for an unknown class name.
    static std::shared_ptr<SHRSharer> shareItem(const std::string& className, const std::shared_ptr<SHRItem>& item);
    // The same without touching the favourites.
    static std::shared_ptr<SHRSharer> shareURL(const std::string& className, const net::URL& url,
                                               std::optional<std::string> title = std::nullopt);
    static std::shared_ptr<SHRSharer> shareImage(const std::string& className, std::shared_ptr<gfx::Image> image,
                                                 std::optional<std::string> title);
    static std::shared_ptr<SHRSharer> shareText(const std::string& className, const std::string& text);
    static std::shared_ptr<SHRSharer> shareFile(const std::string& className, base::Data data, std::string filename,
                                                std::string mimeType, std::optional<std::string> title);
    static bool isServiceAuthorized(const std::string& className);
    // Removes the stored value of every login-form field.
    virtual void logout();

    // --- Properties.
    std::shared_ptr<SHRSharerDelegate> shareDelegate();
    // nullptr means no delegate at all; the sharer is its own delegate
    // until this is called.
    void setShareDelegate(std::weak_ptr<SHRSharerDelegate> delegate);
    const std::shared_ptr<SHRItem>& item() const { return item_; }
    void setItem(std::shared_ptr<SHRItem> item) { item_ = item ? std::move(item) : std::make_shared<SHRItem>(); }
    std::shared_ptr<SHRFormController> pendingForm() const { return pendingForm_; }
    void setPendingForm(std::shared_ptr<SHRFormController> form) { pendingForm_ = std::move(form); }
    std::shared_ptr<SHRRequest> request() const { return request_; }
    void setRequest(std::shared_ptr<SHRRequest> request) { request_ = std::move(request); }
    const std::optional<net::Error>& lastError() const { return lastError_; }
    void setLastError(std::optional<net::Error> error) { lastError_ = std::move(error); }
    bool quiet() const { return quiet_; }
    void setQuiet(bool quiet) { quiet_ = quiet; }
    int pendingAction() const { return pendingAction_; }
    void setPendingAction(int action) { pendingAction_ = action; }

    // --- The share road.
    virtual void share();
    bool authorize();
    virtual bool isAuthorized();
    virtual void promptAuthorization();
    virtual void authorizationFormShow();
    virtual void authorizationFormValidate(SHRFormController& form);
    virtual void authorizationFormSave(SHRFormController& form);
    virtual void tryPendingAction();
    virtual void show();
    virtual std::vector<std::shared_ptr<SHRFormFieldSettings>> shareFormFieldsForType(int type);
    virtual void shareFormValidate(SHRFormController& form);
    virtual void shareFormSave(SHRFormController& form);
    virtual bool tryToSend();
    virtual bool send();
    bool validateItem() const;
    virtual bool shouldAutoShare();
    virtual void setShouldAutoShare(bool autoShare);
    std::optional<std::string> getAuthValueForKey(const std::string& key) const;

    // --- Reporting.
    void sendDidStart();
    void sendDidFinish();
    void sendDidFailWithError(const std::optional<net::Error>& error, bool shouldRelogin = false);
    void sendDidFailShouldRelogin();
    void sendDidCancel();
    // The user stopped the share while it was being sent (the indicator's
    // "Cancel"): its requests still running are stopped, it reports
    // cancelled, and later answers to it report nothing.
    void cancelSending();

    // The default delegate: the activity indicator and the error alert.
    void sharerStartedSending(SHRSharer& sharer) override;
    void sharerFinishedSending(SHRSharer& sharer) override;
    void sharerFailedWithError(SHRSharer& sharer, const net::Error& error, bool shouldRelogin) override;
    void sharerCancelledSending(SHRSharer& sharer) override;

    bool shouldAutorotateToInterfaceOrientation(ui::InterfaceOrientation) override { return true; }
    void viewDidDisappear(bool animated) override;

    // The share is over (sent, failed, cancelled, queued or refused): the
    // helper lets the sharer go on the next turn of the main loop.
    void endShare();
    std::string description() const;

protected:
    // Forgets the credentials the service refused (a failure that asks for
    // a new login): the stored value of every login-form field.
    virtual void dropStoredCredentials();
    // A form whose delegate is this sharer.
    std::shared_ptr<SHRFormController> makeForm(const std::string& title, const std::string& rightButtonTitle,
                                                void (SHRSharer::*validate)(SHRFormController&),
                                                void (SHRSharer::*save)(SHRFormController&));
    std::shared_ptr<SHRSharer> self();
    void showAlert(const std::string& title, const std::string& message);
    // A login form's check: beginLoginCheck shows "Logging In..." (unless
    // quiet) and keeps the form until the answer; endLoginCheck hides the
    // indicator and hands the kept form back, letting go of it so the form
    // and this sharer do not keep each other alive.
    void beginLoginCheck(SHRFormController& form);
    std::shared_ptr<SHRFormController> endLoginCheck();

private:
    // The four outcomes a share reports, to the delegate and as notifications.
    enum class SendReport { Started, Finished, Failed, Cancelled };
    void report(SendReport which, const std::optional<net::Error>& error, bool relogin);
    std::weak_ptr<SHRSharerDelegate> shareDelegate_;
    bool delegateIsSelf_ = true;
    std::shared_ptr<SHRItem> item_;
    std::shared_ptr<SHRFormController> pendingForm_;
    std::shared_ptr<SHRRequest> request_;
    std::optional<net::Error> lastError_;
    bool quiet_ = false;
    bool sendingCancelled_ = false;
    int pendingAction_ = SHRPendingNone;
};
