#include "sharing/services/pinboard/SHRPinboard.h"

#include "platform/net/Services.h"
#include "sharing/core/SHR.h"
#include "sharing/core/SHRActivityIndicator.h"
#include "sharing/core/SHRFormController.h"
#include "sharing/core/SHRFunctions.h"
#include "sharing/core/SHRRequest.h"

std::string SHRPinboard::sharerTitle() const { return localizedFormat("Pinboard"); }

std::optional<std::string> SHRPinboard::authorizationFormCaption() const {
    return localizedFormat("Create an account at %@", "Pinboard.in");
}

std::vector<std::shared_ptr<SHRFormFieldSettings>> SHRPinboard::shareFormFieldsForType(int type) {
    if (type != SHRShareTypeURL) return {};
    return {SHRFormFieldSettings::label(localizedFormat("Title"), "title", SHRFormFieldTypeText,
                                        stringOrEmpty(item()->title())),
            SHRFormFieldSettings::label(localizedFormat("Tags"), "tags", SHRFormFieldTypeText,
                                        stringOrEmpty(item()->tags())),
            SHRFormFieldSettings::label(localizedFormat("Notes"), "text", SHRFormFieldTypeText,
                                        stringOrEmpty(item()->text())),
            SHRFormFieldSettings::label(localizedFormat("Shared"), "shared", SHRFormFieldTypeSwitch, "0")};
}

net::URL SHRPinboard::authenticatedURL(const std::string& username, const std::string& password,
                                       const std::string& pathAndQuery) {
    const std::string base = net::Services::url("Pinboard", "/").absoluteString();
    const auto schemeEnd = base.find("://");
    const std::string host = base.substr(schemeEnd + 3, base.size() - (schemeEnd + 3) - 1);  // without the "/"
    return net::URL(base.substr(0, schemeEnd + 3) + encodeParameter(username) + ":" + encodeParameter(password) + "@" +
                    host + pathAndQuery);
}

void SHRPinboard::authorizationFormValidate(SHRFormController& form) {
    auto keep = self();
    beginLoginCheck(form);
    auto values = form.formValues();
    // No body: the check goes out as a GET.
    setRequest(SHRRequest::requestWithURL(authenticatedURL(values["username"], values["password"], "/v1/posts/get"),
                                          std::nullopt, std::static_pointer_cast<SHRPinboard>(keep),
                                          &SHRPinboard::authFinished, "POST", true));
}

void SHRPinboard::authFinished(SHRRequest& request) {
    auto keep = self();
    auto form = endLoginCheck();
    if (!handleResponse(request)) return;
    // Only an accepted check stores the credentials: a refusal in other
    // words, a server error or no answer at all must not.
    if (request.success()) {
        if (form) form->saveForm();
        return;
    }
    const long status = request.response() ? request.response()->statusCode() : 0;
    showAlert(localizedFormat("Login Error"),
              status == 401 || status == 403
                  ? localizedFormat("Sorry, Pinboard did not accept your credentials. Please try again.")
                  : localizedFormat("Sorry, Pinboard encountered an error. Please try again."));
}

bool SHRPinboard::handleResponse(SHRRequest& request) {
    if (request.getResult() == localizedFormat("401 Forbidden")) {
        sendDidFailShouldRelogin();
        return false;
    }
    return true;
}

bool SHRPinboard::send() {
    if (!validateItem()) return false;
    auto keep = self();
    const std::string query =
        base::format("/v1/posts/add?url=%@&description=%@&tags=%@&extended=%@&shared=%@",
                     encodeURLString(item()->URL()->absoluteString()), encodeParameter(item()->title()),
                     encodeParameter(item()->tags()), encodeParameter(item()->text()),
                     item()->customBoolForSwitchKey("shared") ? "yes" : "no");
    setRequest(SHRRequest::requestWithURL(authenticatedURL(stringOrEmpty(getAuthValueForKey("username")),
                                                           stringOrEmpty(getAuthValueForKey("password")), query),
                                          std::nullopt, std::static_pointer_cast<SHRPinboard>(keep),
                                          &SHRPinboard::sendFinished, "GET", true));
    sendDidStart();
    return true;
}

void SHRPinboard::sendFinished(SHRRequest& request) {
    auto keep = self();
    if (handleResponse(request) && request.getResult().find("\"done\"") != std::string::npos) {
        sendDidFinish();
        return;
    }
    sendDidFailWithError(SHR::error(localizedFormat("There was an error saving to Pinboard")));
}
