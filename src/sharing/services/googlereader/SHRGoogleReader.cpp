#include "sharing/services/googlereader/SHRGoogleReader.h"

#include "platform/base/Clock.h"
#include "platform/base/Date.h"
#include "platform/net/CookieStorage.h"
#include "platform/net/Services.h"
#include "sharing/core/SHR.h"
#include "sharing/core/SHRActivityIndicator.h"
#include "sharing/core/SHRFormController.h"
#include "sharing/core/SHRFunctions.h"
#include "sharing/core/SHRRequest.h"

namespace {
constexpr const char* ApplicationName = "Tolvek";

std::string applicationWebAddress() { return net::Services::url("SharingWebSite", "/").absoluteString(); }
}  // namespace

std::string SHRGoogleReader::sharerTitle() const { return localizedFormat("Google Reader"); }

std::optional<std::string> SHRGoogleReader::authorizationFormCaption() const {
    return localizedFormat("Create a free account at %@", "Google.com");
}

std::vector<std::shared_ptr<SHRFormFieldSettings>> SHRGoogleReader::authorizationFormFields() const {
    return {SHRFormFieldSettings::label(localizedFormat("Email"), "email", SHRFormFieldTypeText, ""),
            SHRFormFieldSettings::label(localizedFormat("Password"), "password", SHRFormFieldTypePassword, "")};
}

std::vector<std::shared_ptr<SHRFormFieldSettings>> SHRGoogleReader::shareFormFieldsForType(int type) {
    if (type != SHRShareTypeURL) return {};
    return {SHRFormFieldSettings::label(localizedFormat("Note"), "text", SHRFormFieldTypeText,
                                        stringOrEmpty(item()->text())),
            SHRFormFieldSettings::label(localizedFormat("Public"), "share", SHRFormFieldTypeSwitch, "0")};
}

// --- Login ------------------------------------------------------------------------

void SHRGoogleReader::authorizationFormValidate(SHRFormController& form) {
    auto keep = self();
    if (!quiet()) SHRActivityIndicator::currentIndicator()->displayActivity(localizedFormat("Logging In..."));
    auto values = form.formValues();
    getSession(values["email"], values["password"]);
    setPendingForm(std::static_pointer_cast<SHRFormController>(form.shared_from_this()));
}

void SHRGoogleReader::getSession(const std::string& email, const std::string& password) {
    const std::string source =
        base::format("Sharing-%@-%@", encodeParameter(std::string(ApplicationName)), std::string(SourceVersion));
    const std::string body = base::format("service=reader&source=%@&Email=%@&Passwd=%@&accountType=GOOGLE", source,
                                          encodeParameter(email), encodeParameter(password));
    setRequest(SHRRequest::requestWithURL(net::Services::url("GoogleAccounts", "/accounts/ClientLogin"), body,
                                          std::static_pointer_cast<SHRGoogleReader>(self()),
                                          &SHRGoogleReader::authFinished, "POST", true));
}

std::map<std::string, std::string> SHRGoogleReader::parseSession(const std::string& answer) {
    std::map<std::string, std::string> out;
    std::size_t start = 0;
    while (start <= answer.size()) {
        std::size_t end = answer.find('\n', start);
        if (end == std::string::npos) end = answer.size();
        std::string line = answer.substr(start, end - start);
        // A CR LF answer must not leave a carriage return in a cookie value.
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos && line.find('=', eq + 1) == std::string::npos)
            out[line.substr(0, eq)] = line.substr(eq + 1);
        start = end + 1;
    }
    return out;
}

void SHRGoogleReader::authFinished(SHRRequest& request) {
    auto keep = self();
    if (!sendAfterLogin_) SHRActivityIndicator::hideCurrent();
    auto form = pendingForm();
    setPendingForm(nullptr);
    session_ = parseSession(request.getResult());
    haveSession_ = true;
    if (session_.count("Auth")) {
        if (sendAfterLogin_) tryToSend();
        else if (form) form->saveForm();
        return;
    }
    std::string message = localizedFormat("There was an error logging into Google Reader");
    auto error = session_.find("Error");
    const bool badAuthentication = error != session_.end() && error->second == "BadAuthentication";
    if (badAuthentication) message = localizedFormat("Incorrect username and password");
    else if (error != session_.end() && !error->second.empty()) message = error->second;
    haveSession_ = false;
    session_.clear();
    if (sendAfterLogin_) {
        // The share waited for this login: it has failed with it, and a
        // refused password asks for a new one.
        sendAfterLogin_ = false;
        sendDidFailWithError(SHR::error(message), badAuthentication);
        return;
    }
    showAlert(localizedFormat("Login Error"), message);
}

// --- Sending ----------------------------------------------------------------------

bool SHRGoogleReader::send() {
    if (!validateItem()) return false;
    auto keep = self();
    const bool wasWaitingForLogin = sendAfterLogin_;
    if (!haveSession_) {
        sendAfterLogin_ = true;
        getSession(stringOrEmpty(getAuthValueForKey("email")), stringOrEmpty(getAuthValueForKey("password")));
    } else {
        sendAfterLogin_ = false;
        const long long now = static_cast<long long>(base::Clock::current().now());
        auto request = SHRRequest::requestWithURL(
            net::Services::url("GoogleReaderSecure", base::format("/reader/api/0/token?ck=%lli", now)), std::nullopt,
            std::static_pointer_cast<SHRGoogleReader>(keep), &SHRGoogleReader::tokenFinished, "GET", false);
        signRequest(*request);
        setRequest(request);
        request->start();
    }
    if (!wasWaitingForLogin) sendDidStart();
    return true;
}

void SHRGoogleReader::signRequest(SHRRequest& request) const {
    std::vector<net::Cookie> cookies;
    const base::Date expiry(base::Clock::current().now() + 1600000000.0);
    for (const auto& [name, value] : session_) {
        net::Cookie cookie;
        cookie.name = name;
        cookie.value = value;
        cookie.domain = ".google.com";
        cookie.path = "/";
        cookie.expiresDate = expiry;
        cookies.push_back(cookie);
    }
    auto fields = net::Cookie::requestHeaderFieldsWithCookies(cookies);
    auto auth = session_.find("Auth");
    fields["Authorization"] = base::format("GoogleLogin auth=%@", auth != session_.end() ? auth->second : "");
    request.setHeaderFields(fields);
}

void SHRGoogleReader::tokenFinished(SHRRequest& request) {
    auto keep = self();
    if (request.success()) {
        sendWithToken(request.getResult());
        return;
    }
    sendDidFailWithError(SHR::error(localizedFormat("There was a problem authenticating your account.")));
}

void SHRGoogleReader::sendWithToken(const std::string& token) {
    auto keep = self();
    const std::string body = base::format(
        "T=%@&linkify=false&snippet=%@&srcTitle=%@&srcUrl=%@&title=%@&url=%@&share=%@", token,
        encodeParameter(item()->text()), encodeParameter(std::string(ApplicationName)),
        encodeURLString(applicationWebAddress()), encodeParameter(item()->title()),
        encodeURLString(item()->URL() ? std::optional<std::string>(item()->URL()->absoluteString()) : std::nullopt),
        item()->customBoolForSwitchKey("share") ? "true" : "");
    auto request = SHRRequest::requestWithURL(net::Services::url("GoogleReaderSecure", "/reader/api/0/item/edit"), body,
                                              std::static_pointer_cast<SHRGoogleReader>(keep),
                                              &SHRGoogleReader::sendFinished, "POST", false);
    signRequest(*request);
    setRequest(request);
    request->start();
}

void SHRGoogleReader::sendFinished(SHRRequest& request) {
    auto keep = self();
    if (request.success()) {
        sendDidFinish();
        return;
    }
    sendDidFailWithError(SHR::error(localizedFormat("There was a problem saving your note.")));
}
