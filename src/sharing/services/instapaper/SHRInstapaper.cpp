#include "sharing/services/instapaper/SHRInstapaper.h"

#include "platform/net/Services.h"
#include "sharing/core/SHR.h"
#include "sharing/core/SHRActivityIndicator.h"
#include "sharing/core/SHRFormController.h"
#include "sharing/core/SHRFunctions.h"
#include "sharing/core/SHRRequest.h"

std::string SHRInstapaper::sharerTitle() const { return localizedFormat("Instapaper"); }

std::optional<std::string> SHRInstapaper::authorizationFormCaption() const {
    return localizedFormat("Create a free account at %@", "Instapaper.com");
}

std::vector<std::shared_ptr<SHRFormFieldSettings>> SHRInstapaper::shareFormFieldsForType(int) { return {}; }

void SHRInstapaper::authorizationFormValidate(SHRFormController& form) {
    auto keep = self();
    beginLoginCheck(form);
    auto values = form.formValues();
    setRequest(SHRRequest::requestWithURL(net::Services::url("Instapaper", "/api/authenticate"),
                                          base::format("username=%@&password=%@", encodeParameter(values["username"]),
                                                       encodeParameter(values["password"])),
                                          std::static_pointer_cast<SHRInstapaper>(keep), &SHRInstapaper::authFinished,
                                          "POST", true));
}

void SHRInstapaper::authFinished(SHRRequest& request) {
    auto keep = self();
    auto form = endLoginCheck();
    if (request.success()) {
        if (form) form->saveForm();
        return;
    }
    const long status = request.response() ? request.response()->statusCode() : 0;
    showAlert(localizedFormat("Login Error"),
              status == 403 ? localizedFormat("Sorry, Instapaper did not accept your credentials. Please try again.")
                            : localizedFormat("Sorry, Instapaper encountered an error. Please try again."));
}

bool SHRInstapaper::send() {
    if (!validateItem()) return false;
    auto keep = self();
    const std::string body =
        base::format("url=%@&username=%@&password=%@", encodeURLString(item()->URL()->absoluteString()),
                     encodeParameter(getAuthValueForKey("username")), encodeParameter(getAuthValueForKey("password")));
    setRequest(SHRRequest::requestWithURL(net::Services::url("Instapaper", "/api/add"), body,
                                          std::static_pointer_cast<SHRInstapaper>(keep), &SHRInstapaper::sendFinished,
                                          "POST", true));
    sendDidStart();
    return true;
}

void SHRInstapaper::sendFinished(SHRRequest& request) {
    auto keep = self();
    if (request.success()) {
        sendDidFinish();
        return;
    }
    const long status = request.response() ? request.response()->statusCode() : 0;
    if (status == 403)
        sendDidFailWithError(
            SHR::error(localizedFormat("Sorry, Instapaper did not accept your credentials. Please try again.")), true);
    else if (status == 500)
        sendDidFailWithError(SHR::error(localizedFormat("The service encountered an error. Please try again later.")));
    else sendDidFailWithError(SHR::error(localizedFormat("There was a problem saving to Instapaper.")));
}
