#include "sharing/services/readitlater/SHRReadItLater.h"

#include "platform/net/Services.h"
#include "sharing/core/SHR.h"
#include "sharing/core/SHRActivityIndicator.h"
#include "sharing/core/SHRFormController.h"
#include "sharing/core/SHRFunctions.h"
#include "sharing/core/SHRRequest.h"

std::string SHRReadItLater::sharerTitle() const { return localizedFormat("Read It Later"); }

std::optional<std::string> SHRReadItLater::authorizationFormCaption() const {
    return localizedFormat("Create a free account at %@", "Readitlaterlist.com");
}

std::vector<std::shared_ptr<SHRFormFieldSettings>> SHRReadItLater::shareFormFieldsForType(int type) {
    if (type != SHRShareTypeURL) return {};
    return {SHRFormFieldSettings::label(localizedFormat("Title"), "title", SHRFormFieldTypeText,
                                        stringOrEmpty(item()->title())),
            SHRFormFieldSettings::label(localizedFormat("Tags"), "tags", SHRFormFieldTypeText,
                                        stringOrEmpty(item()->tags()))};
}

void SHRReadItLater::authorizationFormValidate(SHRFormController& form) {
    auto keep = self();
    beginLoginCheck(form);
    auto values = form.formValues();
    setRequest(SHRRequest::requestWithURL(
        net::Services::url("ReadItLater", "/v2/auth"),
        base::format("apikey=%@&username=%@&password=%@", APIKey, encodeParameter(values["username"]),
                     encodeParameter(values["password"])),
        std::static_pointer_cast<SHRReadItLater>(keep), &SHRReadItLater::authFinished, "POST", true));
}

void SHRReadItLater::authFinished(SHRRequest& request) {
    auto keep = self();
    auto form = endLoginCheck();
    if (request.success()) {
        if (form) form->saveForm();
        return;
    }
    std::string message =
        stringOrEmpty(request.response() ? request.response()->valueForHeaderField("X-Error") : std::nullopt);
    // No explanation (no answer at all, or none given): say what failed.
    if (message.empty()) message = localizedFormat("There was an error logging into Read It Later");
    showAlert(localizedFormat("Login Error"), message);
}

bool SHRReadItLater::send() {
    if (!validateItem()) return false;
    auto keep = self();
    const std::string url = encodeURLString(item()->URL()->absoluteString());
    const std::string newItem =
        base::format("&new={\"0\":{\"url\":\"%@\",\"title\":\"%@\"}}", url, encodeParameter(item()->title()));
    std::string tags;
    if (item()->tags() && !item()->tags()->empty())
        tags =
            base::format("&update_tags={\"0\":{\"url\":\"%@\",\"tags\":\"%@\"}}", url, encodeParameter(item()->tags()));
    const std::string body =
        base::format("apikey=%@&username=%@&password=%@%@%@", APIKey, encodeParameter(getAuthValueForKey("username")),
                     encodeParameter(getAuthValueForKey("password")), newItem, tags);
    setRequest(SHRRequest::requestWithURL(net::Services::url("ReadItLater", "/v2/send"), body,
                                          std::static_pointer_cast<SHRReadItLater>(keep), &SHRReadItLater::sendFinished,
                                          "POST", true));
    sendDidStart();
    return true;
}

void SHRReadItLater::sendFinished(SHRRequest& request) {
    auto keep = self();
    if (request.success()) {
        sendDidFinish();
        return;
    }
    if (request.response() && request.response()->statusCode() == 401) {
        sendDidFailShouldRelogin();
        return;
    }
    sendDidFailWithError(SHR::error(
        stringOrEmpty(request.response() ? request.response()->valueForHeaderField("X-Error") : std::nullopt)));
}
