#include "sharing/services/twitter/SHRTwitter.h"

#include <algorithm>
#include <cctype>

#include "platform/base/Format.h"
#include "platform/net/MultipartFormData.h"
#include "platform/net/PercentEncoding.h"
#include "platform/net/Services.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/TextField.h"
#include "sharing/core/SHR.h"
#include "sharing/core/SHRActivityIndicator.h"
#include "sharing/core/SHRFormController.h"
#include "sharing/core/SHRFunctions.h"
#include "sharing/core/SHRRequest.h"
#include "sharing/oauth/OAAsynchronousDataFetcher.h"
#include "sharing/services/twitter/SHRTwitterForm.h"

namespace {

constexpr const char* kBoundary = "0xKhTmLbOuNdArY";

std::string lower(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

SHRTwitter::SHRTwitter() {
    setConsumerKey("Hq7TzPm2RkW9xNcv4LbE");
    setSecretKey("Xb3kQm8RtVw2LpZn6HcJy4DsFg9AeNu7KoTi5WrYqE");
    setAuthorizeCallbackURL(net::Services::url("SharingWebSite", "/callback"));
    xAuth_ = false;
    setAuthorizeURL(net::Services::url("Twitter", "/oauth/authorize"));
    setRequestURL(net::Services::url("Twitter", "/oauth/request_token"));
    setAccessURL(net::Services::url("Twitter", "/oauth/access_token"));
    setSignatureProvider(std::make_shared<OAHMAC_SHA1SignatureProvider>());
}

std::string SHRTwitter::sharerTitle() const { return localizedFormat("Twitter"); }

// --- Authorization ------------------------------------------------------------------

void SHRTwitter::promptAuthorization() {
    if (xAuth_) authorizationFormShow();
    else SHROAuthSharer::promptAuthorization();
}

std::vector<std::shared_ptr<SHRFormFieldSettings>> SHRTwitter::authorizationFormFields() const {
    if (std::string(FollowAccount).empty()) return SHRSharer::authorizationFormFields();
    return {SHRFormFieldSettings::label(localizedFormat("Username"), "username", SHRFormFieldTypeText, ""),
            SHRFormFieldSettings::label(localizedFormat("Password"), "password", SHRFormFieldTypePassword, ""),
            SHRFormFieldSettings::label(localizedFormat("Follow %@", std::string(FollowAccount)), "followMe",
                                        SHRFormFieldTypeSwitch, "1")};
}

std::optional<std::string> SHRTwitter::authorizationFormCaption() const {
    return localizedFormat("Create a free account at %@", std::string(SiteName));
}

void SHRTwitter::authorizationFormValidate(SHRFormController& form) {
    setPendingForm(std::dynamic_pointer_cast<SHRFormController>(form.shared_from_this()));
    tokenAccess();
}

void SHRTwitter::tokenAccessModifyRequest(OAMutableURLRequest& request) {
    if (!xAuth_) return;
    std::map<std::string, std::string> values;
    if (auto form = pendingForm()) values = form->formValues();
    request.setParameters({OARequestParameter("x_auth_username", values["username"]),
                           OARequestParameter("x_auth_password", values["password"]),
                           OARequestParameter("x_auth_mode", "client_auth")});
}

void SHRTwitter::tokenAccessTicketDidFinish(const OAServiceTicket& ticket, const base::Data& data) {
    if (xAuth_) {
        if (!ticket.didSucceed()) {
            tokenAccessTicketDidFail(ticket, SHR::error(std::string(data.begin(), data.end())));
            return;
        }
        if (auto form = pendingForm()) {
            auto values = form->formValues();
            if (auto it = values.find("followMe"); it != values.end()) item()->setCustomValue(it->second, "followMe");
            form->close();
        }
    }
    SHROAuthSharer::tokenAccessTicketDidFinish(ticket, data);
}

// --- Compose ------------------------------------------------------------------------

std::optional<std::string> SHRTwitter::status() const {
    auto value = item()->customValueForKey("status");
    if (value.type() != base::Value::Type::String) return std::nullopt;
    return value.stringValue();
}

void SHRTwitter::setStatus(const std::string& status) { item()->setCustomValue(status, "status"); }

std::string SHRTwitter::itemURLWithoutEscapes() const {
    if (!item()->URL()) return "";
    const std::string url = item()->URL()->absoluteString();
    return net::replacingPercentEscapes(url).value_or(url);
}

void SHRTwitter::show() {
    switch (item()->shareType()) {
    case SHRShareTypeURL: shortenURL(); break;
    case SHRShareTypeImage:
        setStatus(stringOrEmpty(item()->title()));
        showTwitterForm();
        break;
    case SHRShareTypeText:
        setStatus(stringOrEmpty(item()->text()));
        showTwitterForm();
        break;
    default: break;
    }
}

void SHRTwitter::shortenURL() {
    if (!SHR::connected()) {
        setStatus(stringOrEmpty(item()->title()) + " " + itemURLWithoutEscapes());
        showTwitterForm();
        return;
    }
    if (!quiet()) SHRActivityIndicator::currentIndicator()->displayActivity(localizedFormat("Shortening URL..."));
    const std::string longURL = item()->URL() ? item()->URL()->absoluteString() : std::string();
    const auto url =
        net::Services::url("LinkShortener", base::format("/v3/shorten?login=%@&apikey=%@&longUrl=%@&format=txt",
                                                         std::string(ShortenerLogin), std::string(ShortenerKey),
                                                         encodeURLString(longURL)));
    setRequest(
        SHRRequest::requestWithURL(url, std::nullopt, twitterSelf(), &SHRTwitter::shortenURLFinished, "GET", true));
}

void SHRTwitter::shortenURLFinished(SHRRequest& request) {
    auto keep = twitterSelf();
    SHRActivityIndicator::hideCurrent();
    std::string answer = request.success() ? request.getResult() : std::string();
    const auto first = answer.find_first_not_of("\r\n");
    answer =
        first == std::string::npos ? std::string() : answer.substr(first, answer.find_last_not_of("\r\n") - first + 1);
    const std::string lead = item()->text() ? *item()->text() : stringOrEmpty(item()->title());
    // The service's "already short" answer is a word, not a URL: ask first.
    if (answer == "ALREADY_A_BITLY_LINK") {
        setStatus(lead + " " + itemURLWithoutEscapes());
    } else if (!answer.empty() && net::URL::URLWithString(answer)) {
        setStatus(lead + " " + answer);
    } else {
        auto alert = std::make_shared<ui::AlertView>(
            localizedFormat("Shorten URL Error"), localizedFormat("We could not shorten the URL."),
            std::weak_ptr<ui::AlertViewDelegate>(), localizedFormat("Continue"));
        alert->show();
        setStatus(lead + " " + itemURLWithoutEscapes());
    }
    setRequest(nullptr);
    showTwitterForm();
}

void SHRTwitter::showTwitterForm() {
    auto form = std::make_shared<SHRTwitterForm>();
    form->setDelegate(twitterSelf());
    form->view();
    form->textView()->setText(status().value_or(""));
    form->setHasAttachment(item()->image() != nullptr);
    setViewControllers({form}, false);
    SHR::currentHelper().showViewController(self());
}

void SHRTwitter::sendForm(SHRTwitterForm& form) {
    auto keep = twitterSelf();
    setStatus(form.textView()->text());
    tryToSend();
}

// --- Sending -------------------------------------------------------------------------

bool SHRTwitter::validate() const {
    auto text = status();
    return text && ui::utf16Length(*text) <= 140;
}

bool SHRTwitter::send() {
    if (xAuth_ && item()->customBoolForSwitchKey("followMe")) followMe();
    if (!validate()) {
        show();
        return false;
    }
    if (!consumer()) restoreAccessToken();
    if (item()->shareType() == SHRShareTypeImage) sendImage();
    else sendStatus();
    sendDidStart();
    return true;
}

void SHRTwitter::sendStatus() {
    auto request = std::make_shared<OAMutableURLRequest>(net::Services::url("Twitter", "/1/statuses/update.json"),
                                                         consumer(), accessToken(), std::nullopt, nullptr);
    request->setHTTPMethod("POST");
    request->setParameters({OARequestParameter("status", status().value_or(""))});
    OAAsynchronousDataFetcher::asynchronousFetcherWithRequest(
        request, twitterSelf(), &SHRTwitter::sendStatusTicketDidFinish, &SHRTwitter::sendStatusTicketDidFail)
        ->start();
}

std::string SHRTwitter::errorMessage(const std::string& body) {
    const std::string key = "\"error\":\"";
    const auto at = body.find(key);
    if (at == std::string::npos) return "Unknown Error";
    const auto start = at + key.size();
    const auto end = body.find('"', start);
    return body.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

void SHRTwitter::sendStatusTicketDidFinish(const OAServiceTicket& ticket, const base::Data& data) {
    if (ticket.didSucceed()) {
        sendDidFinish();
        return;
    }
    const std::string message = errorMessage(std::string(data.begin(), data.end()));
    if (message == "Invalid / used nonce" || message == "Could not authenticate with OAuth.") {
        sendDidFailShouldRelogin();
        return;
    }
    // The service's own text: looked up, never used as a format.
    sendDidFailWithError(net::Error("Twitter", 2, base::Bundle::mainBundle().localizedString(message)));
}

void SHRTwitter::sendStatusTicketDidFail(const OAServiceTicket&, const std::optional<net::Error>& error) {
    sendDidFailWithError(error);
}

base::Data SHRTwitter::imageData(const gfx::Image& image, std::size_t maxBytes) {
    float quality = 0.9f;
    base::Data data = image.encodeJPEG(quality);
    for (int encodings = 1; data.size() > maxBytes && encodings < 9; ++encodings) {
        quality -= 0.1f;
        data = image.encodeJPEG(quality);
    }
    return data;
}

void SHRTwitter::sendImage() {
    const bool profileUpdate = !item()->customValueForKey("profile_update").isNull();
    const auto twitterHTTP = net::Services::address("TwitterHTTP");
    const std::string realm = (twitterHTTP ? twitterHTTP->baseURL() : std::string("http://")) + "/";
    const net::URL verifyURL = net::Services::url("Twitter", "/1/account/verify_credentials.json");
    const net::URL credentialsURL =
        profileUpdate ? net::Services::url("TwitterHTTP", "/1/account/update_profile_image.json") : verifyURL;
    auto credentials =
        std::make_shared<OAMutableURLRequest>(credentialsURL, consumer(), accessToken(), realm, signatureProvider());
    credentials->setHTTPMethod("GET");
    credentials->prepare();

    std::shared_ptr<OAMutableURLRequest> request;
    if (profileUpdate) {
        request = credentials;
    } else {
        const std::string echo = credentials->valueForHTTPHeaderField("Authorization").value_or("");
        request = std::make_shared<OAMutableURLRequest>(net::Services::url("ImageHost", "/api/2/upload.xml"),
                                                        consumer(), accessToken(), realm, signatureProvider());
        request->setHTTPMethod("POST");
        request->setValue(verifyURL.absoluteString(), "X-Auth-Service-Provider");
        request->setValue(echo, "X-Verify-Credentials-Authorization");
    }

    const base::Data jpeg = item()->image() ? imageData(*item()->image()) : base::Data();
    net::MultipartFormData body(kBoundary);
    body.addPart({base::format("Content-Disposition: form-data; name=\"%@\"; filename=\"upload.jpg\"",
                               std::string(profileUpdate ? "image" : "media")),
                  "Content-Type: image/jpg"},
                 jpeg);
    if (!profileUpdate) body.addField("message", status().value_or(""));
    request->setValue(body.contentType(), "Content-Type");
    request->setHTTPBody(body.body());

    // Reported here for the upload and again by send() for the share: a start only shows the saving indicator.
    sendDidStart();
    OAAsynchronousDataFetcher::asynchronousFetcherWithRequest(
        request, twitterSelf(), &SHRTwitter::sendImageTicketDidFinish, &SHRTwitter::sendImageTicketDidFail)
        ->start();
}

std::optional<std::string> SHRTwitter::uploadedImageURL(const std::string& body) {
    const std::string text = lower(body);
    const auto open = text.find("<url>");
    if (open == std::string::npos) return std::nullopt;
    const auto close = text.find("</url>", open + 5);
    if (close == std::string::npos) return std::nullopt;  // missing, or only before the opening tag
    return body.substr(open + 5, close - open - 5);
}

void SHRTwitter::sendImageTicketDidFinish(const OAServiceTicket& ticket, const base::Data& data) {
    if (!ticket.didSucceed()) {
        sendDidFailWithError(std::nullopt);
        return;
    }
    const auto link = uploadedImageURL(std::string(data.begin(), data.end()));
    if (!link) {
        // Uploaded, but there is no link to post: the share ends here.
        sendDidFinish();
        return;
    }
    // The status post that carries the link gives the one report of the share.
    setStatus(status().value_or("") + " " + *link);
    sendStatus();
}

void SHRTwitter::sendImageTicketDidFail(const OAServiceTicket&, const std::optional<net::Error>& error) {
    sendDidFailWithError(error);
}

void SHRTwitter::followMe() {
    item()->setCustomValue(base::Value(), "followMe");
    auto request = std::make_shared<OAMutableURLRequest>(
        net::Services::url("TwitterHTTP", base::format("/1/friendships/create/%@.json", std::string(FollowAccount))),
        consumer(), accessToken(), std::nullopt, nullptr);
    request->setHTTPMethod("POST");
    OAAsynchronousDataFetcher::asynchronousFetcherWithRequest(request, std::weak_ptr<void>(), nullptr, nullptr)
        ->start();
}
