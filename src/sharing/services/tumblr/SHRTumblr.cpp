#include "sharing/services/tumblr/SHRTumblr.h"

#include "platform/base/RunLoop.h"
#include "platform/net/MultipartFormData.h"
#include "platform/net/Services.h"
#include "sharing/core/SHR.h"
#include "sharing/core/SHRActivityIndicator.h"
#include "sharing/core/SHRFormController.h"
#include "sharing/core/SHRFunctions.h"
#include "sharing/core/SHRRequest.h"

std::string SHRTumblr::sharerTitle() const { return localizedFormat("Tumblr"); }

std::optional<std::string> SHRTumblr::authorizationFormCaption() const {
    return localizedFormat("Create a free account at %@", "Tumblr.com");
}

std::vector<std::shared_ptr<SHRFormFieldSettings>> SHRTumblr::authorizationFormFields() const {
    return {SHRFormFieldSettings::label(localizedFormat("Email"), "email", SHRFormFieldTypeText, ""),
            SHRFormFieldSettings::label(localizedFormat("Password"), "password", SHRFormFieldTypePassword, "")};
}

std::vector<std::shared_ptr<SHRFormFieldSettings>> SHRTumblr::shareFormFieldsForType(int type) {
    std::vector<std::shared_ptr<SHRFormFieldSettings>> fields;
    if (type == SHRShareTypeImage)
        fields.push_back(SHRFormFieldSettings::label(localizedFormat("Caption"), "caption", SHRFormFieldTypeText, ""));
    else
        fields.push_back(SHRFormFieldSettings::label(localizedFormat("Title"), "title", SHRFormFieldTypeText,
                                                     stringOrEmpty(item()->title())));
    fields.push_back(SHRFormFieldSettings::label(localizedFormat("Tags"), "tags", SHRFormFieldTypeText,
                                                 stringOrEmpty(item()->tags())));
    fields.push_back(SHRFormFieldSettings::label(localizedFormat("Slug"), "slug", SHRFormFieldTypeText, ""));
    fields.push_back(SHRFormFieldSettings::label(localizedFormat("Private"), "private", SHRFormFieldTypeSwitch, "0"));
    fields.push_back(
        SHRFormFieldSettings::label(localizedFormat("Send to Twitter"), "twitter", SHRFormFieldTypeSwitch, "0"));
    return fields;
}

// --- Login ------------------------------------------------------------------------

void SHRTumblr::authorizationFormValidate(SHRFormController& form) {
    auto keep = self();
    beginLoginCheck(form);
    auto values = form.formValues();
    setRequest(SHRRequest::requestWithURL(
        net::Services::url("Tumblr", "/api/authenticate"),
        base::format("email=%@&password=%@", encodeParameter(values["email"]), encodeParameter(values["password"])),
        std::static_pointer_cast<SHRTumblr>(keep), &SHRTumblr::authFinished, "POST", true));
}

void SHRTumblr::authFinished(SHRRequest& request) {
    auto keep = self();
    auto form = endLoginCheck();
    if (request.success()) {
        if (form) form->saveForm();
        return;
    }
    const long status = request.response() ? request.response()->statusCode() : 0;
    showAlert(localizedFormat("Login Error"),
              status == 403 ? localizedFormat("Invalid email or password.")
                            : localizedFormat("The service encountered an error. Please try again later."));
}

// --- Sending ----------------------------------------------------------------------

std::string SHRTumblr::postBody() const {
    const auto& it = *item();
    std::string body = base::format("email=%@&password=%@", encodeParameter(getAuthValueForKey("email")),
                                    encodeParameter(getAuthValueForKey("password")));
    body += it.customBoolForSwitchKey("twitter") ? "&send-to-twitter=auto" : "&send-to-twitter=no";
    // Tags and slug are typed by the user: encoded, so an "&" in them
    // cannot add or override a field.
    if (it.tags()) body += "&tags=" + encodeParameter(it.tags());
    if (const std::string* slug = it.customValueForKey("slug").asString()) body += "&slug=" + encodeParameter(*slug);
    body += it.customBoolForSwitchKey("private") ? "&private=1" : "&private=0";
    if (it.shareType() == SHRShareTypeURL) {
        body += "&type=link";
        body +=
            "&url=" + encodeURLString(it.URL() ? std::optional<std::string>(it.URL()->absoluteString()) : std::nullopt);
        if (it.title()) body += "&name=" + encodeParameter(it.title());
    } else {
        body += "&type=regular";
        if (it.title()) body += "&title=" + encodeParameter(it.title());
        body += "&body=" + encodeParameter(it.text());
    }
    return body;
}

base::Data SHRTumblr::photoBody() const {
    const auto& it = *item();
    // Begins with a line break before the first delimiter: the service has always taken it so.
    net::MultipartFormData form(Boundary, net::MultipartFormData::Start::WithLineBreak);
    form.addField("email", stringOrEmpty(getAuthValueForKey("email")));
    form.addField("password", stringOrEmpty(getAuthValueForKey("password")));
    form.addField("type", "photo");
    if (it.tags()) form.addField("tags", *it.tags());
    if (const std::string* caption = it.customValueForKey("caption").asString()) form.addField("caption", *caption);
    if (const std::string* slug = it.customValueForKey("slug").asString()) form.addField("slug", *slug);
    form.addField("private", it.customBoolForSwitchKey("private") ? "1" : "0");
    form.addField("twitter", it.customBoolForSwitchKey("twitter") ? "auto" : "no");
    form.addPart({"Content-Disposition: form-data; name=\"data\"; filename=\"upload.jpg\"",
                  "Content-Transfer-Encoding: image/jpg"},
                 it.image() ? it.image()->encodeJPEG(0.9) : base::Data());
    return form.body();
}

bool SHRTumblr::send() {
    if (!validateItem()) return false;
    auto keep = self();
    const int type = item()->shareType();
    if (type == SHRShareTypeURL || type == SHRShareTypeText) {
        setRequest(SHRRequest::requestWithURL(net::Services::url("Tumblr", "/api/write"), postBody(),
                                              std::static_pointer_cast<SHRTumblr>(keep), &SHRTumblr::sendFinished,
                                              "POST", true));
    } else if (type == SHRShareTypeImage) {
        net::URLRequest request(net::Services::url("Tumblr", "/api/write"),
                                net::CachePolicy::ReloadIgnoringLocalAndRemoteCacheData, SHRRequest::TimeoutInterval);
        request.setHTTPMethod("POST");
        request.setValue(net::MultipartFormData::contentTypeFor(Boundary), "Content-Type");
        request.setHTTPBody(photoBody());
        response_.reset();
        connection_ = net::URLConnection::connectionWithRequest(
            request, std::static_pointer_cast<net::URLConnectionDelegate>(std::static_pointer_cast<SHRTumblr>(keep)));
        if (!connection_) {
            // No connection can be made: report the failure once the start
            // has been reported.
            std::weak_ptr<SHRTumblr> weak = std::static_pointer_cast<SHRTumblr>(keep);
            base::RunLoop::main().performOnMainThread([weak] {
                if (auto me = weak.lock()) me->finish();
            });
        }
    } else {
        return false;  // nothing to post for this type
    }
    sendDidStart();
    return true;
}

void SHRTumblr::sendFinished(SHRRequest& request) {
    auto keep = self();
    if (request.success()) {
        sendDidFinish();
        return;
    }
    const long status = request.response() ? request.response()->statusCode() : 0;
    if (status == 403) sendDidFailWithError(SHR::error(localizedFormat("Invalid email or password.")), true);
    else if (status == 500)
        sendDidFailWithError(SHR::error(localizedFormat("The service encountered an error. Please try again later.")));
    else sendDidFailWithError(SHR::error(localizedFormat("There was an error sending your post to Tumblr.")));
}

void SHRTumblr::finish() {
    auto keep = self();
    connection_.reset();
    const long status = response_ ? response_->statusCode() : 0;
    if (status == 200 || status == 201) sendDidFinish();
    else if (status == 403) sendDidFailWithError(SHR::error(localizedFormat("Invalid email or password.")), true);
    else if (status == 500)
        sendDidFailWithError(SHR::error(localizedFormat("The service encountered an error. Please try again later.")));
    else sendDidFailWithError(SHR::error(localizedFormat("There was a sending your post to Tumblr.")));
}

void SHRTumblr::didReceiveResponse(net::URLConnection&, const net::URLResponse& response) { response_ = response; }

void SHRTumblr::didReceiveData(net::URLConnection&, const base::Data&) {}

void SHRTumblr::didFinishLoading(net::URLConnection&) { finish(); }

void SHRTumblr::didFailWithError(net::URLConnection&, const net::Error&) {
    response_.reset();
    finish();
}
