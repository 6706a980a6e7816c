#include "sharing/core/SHRSharer.h"

#include "platform/base/Log.h"
#include "platform/base/NotificationCenter.h"
#include "platform/base/RunLoop.h"
#include "platform/base/UserDefaults.h"
#include "platform/ui/AlertView.h"
#include "sharing/core/SHR.h"
#include "sharing/core/SHRActivityIndicator.h"
#include "sharing/core/SHRFormController.h"
#include "sharing/core/SHRFunctions.h"
#include "sharing/core/SHRRequest.h"

SHRSharer::SHRSharer() : item_(std::make_shared<SHRItem>()) {
    setModalPresentationStyle(SHR::modalPresentationStyle());
    setModalTransitionStyle(SHR::modalTransitionStyle());
}

SHRSharer::~SHRSharer() = default;

std::shared_ptr<SHRSharer> SHRSharer::create(const std::string& className) { return registry().create(className); }

std::shared_ptr<SHRSharer> SHRSharer::self() { return std::static_pointer_cast<SHRSharer>(shared_from_this()); }

std::vector<std::shared_ptr<SHRFormFieldSettings>> SHRSharer::authorizationFormFields() const {
    return {SHRFormFieldSettings::label(localizedFormat("Username"), "username", SHRFormFieldTypeText, ""),
            SHRFormFieldSettings::label(localizedFormat("Password"), "password", SHRFormFieldTypePassword, "")};
}

bool SHRSharer::canShareType(int type) const {
    switch (type) {
    case SHRShareTypeURL: return canShareURL();
    case SHRShareTypeText: return canShareText();
    case SHRShareTypeImage: return canShareImage();
    case SHRShareTypeFile: return canShareFile();
    default: return false;
    }
}

// --- Starting -------------------------------------------------------------------

namespace {
std::shared_ptr<SHRSharer> start(const std::string& className, const std::shared_ptr<SHRItem>& item) {
    auto sharer = SHRSharer::create(className);
    if (!sharer) {
        base::log("Sharing: no sharer named " + className);
        return nullptr;
    }
    sharer->setItem(item);
    SHR::currentHelper().keepSharer(sharer);
    sharer->share();
    return sharer;
}
}  // namespace

std::shared_ptr<SHRSharer> SHRSharer::shareItem(const std::string& className, const std::shared_ptr<SHRItem>& item) {
    if (!registry().contains(className)) return nullptr;
    SHR::pushOnFavorites(className, item ? item->shareType() : 0);
    return start(className, item);
}

std::shared_ptr<SHRSharer> SHRSharer::shareURL(const std::string& className, const net::URL& url,
                                               std::optional<std::string> title) {
    return start(className, SHRItem::URL(url, std::move(title)));
}

std::shared_ptr<SHRSharer> SHRSharer::shareImage(const std::string& className, std::shared_ptr<gfx::Image> image,
                                                 std::optional<std::string> title) {
    return start(className, SHRItem::image(std::move(image), std::move(title)));
}

std::shared_ptr<SHRSharer> SHRSharer::shareText(const std::string& className, const std::string& text) {
    return start(className, SHRItem::text(text));
}

std::shared_ptr<SHRSharer> SHRSharer::shareFile(const std::string& className, base::Data data, std::string filename,
                                                std::string mimeType, std::optional<std::string> title) {
    return start(className, SHRItem::file(std::move(data), std::move(filename), std::move(mimeType), std::move(title)));
}

bool SHRSharer::isServiceAuthorized(const std::string& className) {
    auto sharer = create(className);
    return sharer && sharer->isAuthorized();
}

void SHRSharer::logout() {
    for (const auto& field : authorizationFormFields()) SHR::removeAuthValueForKey(field->key(), sharerId());
}

void SHRSharer::dropStoredCredentials() {
    for (const auto& field : authorizationFormFields()) SHR::removeAuthValueForKey(field->key(), sharerId());
}

// --- Delegate ---------------------------------------------------------------------

std::shared_ptr<SHRSharerDelegate> SHRSharer::shareDelegate() {
    if (delegateIsSelf_) return std::static_pointer_cast<SHRSharerDelegate>(self());
    return shareDelegate_.lock();
}

void SHRSharer::setShareDelegate(std::weak_ptr<SHRSharerDelegate> delegate) {
    delegateIsSelf_ = false;
    shareDelegate_ = std::move(delegate);
}

// --- The road ---------------------------------------------------------------------

void SHRSharer::share() {
    auto keep = self();
    if (!authorize()) {
        pendingAction_ = SHRPendingShare;
        return;
    }
    if (shouldAutoShare() && tryToSend()) return;
    show();
}

bool SHRSharer::authorize() {
    if (isAuthorized()) return true;
    promptAuthorization();
    return false;
}

bool SHRSharer::isAuthorized() {
    if (!requiresAuthentication()) return true;
    for (const auto& field : authorizationFormFields())
        if (getAuthValueForKey(field->key())) return true;
    return false;
}

void SHRSharer::promptAuthorization() {
    if (!shareRequiresInternetConnection() || SHR::connected()) {
        authorizationFormShow();
        return;
    }
    if (!quiet_)
        showAlert(localizedFormat("Offline"), localizedFormat("You must be online to login to %@", sharerTitle()));
    endShare();
}

std::shared_ptr<SHRFormController> SHRSharer::makeForm(const std::string& title, const std::string& rightButtonTitle,
                                                       void (SHRSharer::*validate)(SHRFormController&),
                                                       void (SHRSharer::*save)(SHRFormController&)) {
    auto form = std::make_shared<SHRCustomFormController>(ui::TableViewStyle::Grouped, title, rightButtonTitle);
    std::weak_ptr<SHRSharer> weak = self();
    form->setDelegate(self());
    form->setValidateSelector([weak, validate](SHRFormController& f) {
        if (auto s = weak.lock()) ((*s).*validate)(f);
    });
    form->setSaveSelector([weak, save](SHRFormController& f) {
        if (auto s = weak.lock()) ((*s).*save)(f);
    });
    form->setCancelSelector([weak] {
        if (auto s = weak.lock()) s->endShare();
    });
    return form;
}

void SHRSharer::authorizationFormShow() {
    auto form = makeForm(localizedFormat("Login"), localizedFormat("Login"), &SHRSharer::authorizationFormValidate,
                         &SHRSharer::authorizationFormSave);
    form->addSection(authorizationFormFields(), std::nullopt, authorizationFormCaption());
    form->setAutoSelect(true);
    SHR::currentHelper().showViewController(form);
}

void SHRSharer::authorizationFormValidate(SHRFormController& form) { (void)form; }

void SHRSharer::authorizationFormSave(SHRFormController& form) {
    auto keep = self();
    SHR::currentHelper().keepSharer(keep);
    auto values = form.formValues();
    if (!form.sections().empty())
        for (const auto& field : form.sections()[0].rows) {
            auto it = values.find(field->key());
            if (it != values.end()) SHR::setAuthValue(it->second, field->key(), sharerId());
        }
    share();
}

void SHRSharer::tryPendingAction() {
    if (pendingAction_ == SHRPendingShare) share();
}

void SHRSharer::show() {
    auto keep = self();
    auto fields = shareFormFieldsForType(item_->shareType());
    if (fields.empty()) {
        if (!tryToSend()) endShare();
        return;
    }
    auto form = makeForm("", localizedFormat("Send to %@", sharerTitle()), &SHRSharer::shareFormValidate,
                         &SHRSharer::shareFormSave);
    std::optional<std::string> footer;
    if (item_->URL()) footer = item_->URL()->absoluteString();
    form->addSection(std::move(fields), std::nullopt, footer);
    if (canAutoShare())
        form->addSection({SHRFormFieldSettings::label(localizedFormat("Auto Share"), "autoShare",
                                                      SHRFormFieldTypeSwitch, shouldAutoShare() ? "1" : "0")},
                         std::nullopt, localizedFormat("Enable auto share to skip this step in the future."));
    setViewControllers({form}, false);
    SHR::currentHelper().showViewController(self());
}

std::vector<std::shared_ptr<SHRFormFieldSettings>> SHRSharer::shareFormFieldsForType(int type) {
    if (type == SHRShareTypeURL)
        return {SHRFormFieldSettings::label(localizedFormat("Title"), "title", SHRFormFieldTypeText,
                                            item_->title().value_or(""))};
    return {};
}

void SHRSharer::shareFormValidate(SHRFormController& form) { form.saveForm(); }

void SHRSharer::shareFormSave(SHRFormController& form) {
    auto keep = self();
    for (const auto& [key, value] : form.formValues()) {
        if (key == "title") item_->setTitle(value);
        else if (key == "text") item_->setText(value);
        else if (key == "tags") item_->setTags(value);
        else item_->setCustomValue(value, key);
    }
    if (canAutoShare()) {
        auto second = form.formValuesForSection(1);
        auto it = second.find("autoShare");
        if (it != second.end()) setShouldAutoShare(it->second == "1");
    }
    if (!tryToSend()) endShare();
}

bool SHRSharer::tryToSend() {
    auto keep = self();
    if (!shareRequiresInternetConnection() || SHR::connected()) return send();
    if (canShareOffline()) {
        if (SHR::addToOfflineQueue(*item_, sharerId())) {
            endShare();
            return true;
        }
        // Nothing was kept: say so rather than pretend the share waits.
        if (!quiet_)
            showAlert(localizedFormat("Offline"),
                      localizedFormat("Your share to %@ could not be saved to send later.", sharerTitle()));
        endShare();
        return false;
    }
    if (quiet_) return false;
    showAlert(localizedFormat("Offline"),
              localizedFormat("You must be online in order to share with %@", sharerTitle()));
    endShare();
    return true;
}

bool SHRSharer::send() { return false; }

bool SHRSharer::validateItem() const {
    switch (item_->shareType()) {
    case SHRShareTypeURL: return item_->URL().has_value();
    case SHRShareTypeText: return item_->text().has_value();
    case SHRShareTypeImage: return item_->image() != nullptr;
    case SHRShareTypeFile: return item_->data().has_value();
    default: return false;
    }
}

bool SHRSharer::shouldAutoShare() {
    return base::UserDefaults::standardUserDefaults().boolForKey(base::format("%@_shouldAutoShare", sharerId()));
}

void SHRSharer::setShouldAutoShare(bool autoShare) {
    auto& defaults = base::UserDefaults::standardUserDefaults();
    defaults.setBool(base::format("%@_shouldAutoShare", sharerId()), autoShare);
    defaults.synchronize();
}

std::optional<std::string> SHRSharer::getAuthValueForKey(const std::string& key) const {
    return SHR::getAuthValueForKey(key, sharerId());
}

// --- Reports ---------------------------------------------------------------------

void SHRSharer::report(SendReport which, const std::optional<net::Error>& error, bool relogin) {
    // A share the user cancelled is over: an answer that still comes in
    // tells nobody anything.
    if (which == SendReport::Started) sendingCancelled_ = false;
    else if (sendingCancelled_ && which != SendReport::Cancelled) return;
    auto keep = self();
    auto delegate = shareDelegate();
    const char* name = nullptr;
    switch (which) {
    case SendReport::Started:
        name = SHRSendDidStartNotification;
        if (delegate) delegate->sharerStartedSending(*this);
        break;
    case SendReport::Finished:
        name = SHRSendDidFinish;
        if (delegate) delegate->sharerFinishedSending(*this);
        break;
    case SendReport::Failed:
        name = SHRSendDidFailWithError;
        if (delegate) delegate->sharerFailedWithError(*this, error.value_or(net::Error()), relogin);
        break;
    case SendReport::Cancelled:
        name = SHRSendDidCancel;
        if (delegate) delegate->sharerCancelledSending(*this);
        break;
    }
    base::NotificationCenter::defaultCenter().post(name, this, keep);
}

void SHRSharer::sendDidStart() { report(SendReport::Started, std::nullopt, false); }

void SHRSharer::sendDidFinish() {
    report(SendReport::Finished, std::nullopt, false);
    endShare();
}

void SHRSharer::sendDidFailWithError(const std::optional<net::Error>& error, bool shouldRelogin) {
    lastError_ = error;
    // The service refused the stored credentials: they are dropped before
    // anyone hears of it, so neither a later share nor an offline replay
    // sends them again; the login form (shown unless quiet) asks anew.
    if (shouldRelogin) dropStoredCredentials();
    report(SendReport::Failed, error, shouldRelogin);
    // A relogin starts the share anew from the login form's save.
    endShare();
}

void SHRSharer::sendDidFailShouldRelogin() {
    sendDidFailWithError(SHR::error(localizedFormat("Could not authenticate you. Please relogin.")), true);
}

void SHRSharer::sendDidCancel() {
    report(SendReport::Cancelled, std::nullopt, false);
    endShare();
}

void SHRSharer::cancelSending() {
    if (sendingCancelled_) return;
    sendingCancelled_ = true;
    auto keep = self();
    SHRRequest::cancelRequestsFor(std::weak_ptr<void>(keep));
    report(SendReport::Cancelled, std::nullopt, false);
    endShare();
}

void SHRSharer::sharerStartedSending(SHRSharer& sharer) {
    if (quiet_) return;
    auto indicator = SHRActivityIndicator::currentIndicator();
    indicator->displayActivity(localizedFormat("Saving to %@", sharer.sharerTitle()));
    std::weak_ptr<SHRSharer> weak = sharer.self();
    indicator->setCancelAction([weak] {
        if (auto s = weak.lock()) s->cancelSending();
    });
}

void SHRSharer::sharerFinishedSending(SHRSharer&) {
    if (quiet_) return;
    SHRActivityIndicator::currentIndicator()->displayCompleted(localizedFormat("Saved!"));
}

void SHRSharer::sharerFailedWithError(SHRSharer&, const net::Error&, bool shouldRelogin) {
    if (quiet_) return;
    SHRActivityIndicator::hideCurrent();
    std::string message = localizedFormat("There was an error while sharing");
    if (lastError_ && !lastError_->localizedDescription().empty()) message = lastError_->localizedDescription();
    showAlert(localizedFormat("Error"), message);
    if (shouldRelogin) {
        pendingAction_ = SHRPendingShare;
        promptAuthorization();
    }
}

void SHRSharer::sharerCancelledSending(SHRSharer&) {}

void SHRSharer::viewDidDisappear(bool animated) {
    ui::NavigationController::viewDidDisappear(animated);
    // Gone for good (a later share form is a new one): let go of the share
    // form, which owns this sharer as its delegate, so that neither keeps
    // the other alive once the share is over.
    if (!viewControllers().empty()) setViewControllers({}, false);
    SHR::currentHelper().viewWasDismissed();
}

void SHRSharer::endShare() {
    const SHRSharer* me = this;
    base::RunLoop::main().performOnMainThread([me] { SHR::currentHelper().releaseSharer(me); }, false);
}

void SHRSharer::showAlert(const std::string& title, const std::string& message) {
    auto alert = std::make_shared<ui::AlertView>(title, message, std::weak_ptr<ui::AlertViewDelegate>(),
                                                 localizedFormat("Close"));
    alert->show();
}

std::string SHRSharer::description() const { return base::format("<%@>", sharerId()); }

void SHRSharer::beginLoginCheck(SHRFormController& form) {
    if (!quiet()) SHRActivityIndicator::currentIndicator()->displayActivity(localizedFormat("Logging In..."));
    setPendingForm(std::static_pointer_cast<SHRFormController>(form.shared_from_this()));
}

std::shared_ptr<SHRFormController> SHRSharer::endLoginCheck() {
    SHRActivityIndicator::hideCurrent();
    auto form = pendingForm();
    setPendingForm(nullptr);
    return form;
}
