#include "sharing/services/delicious/SHRDelicious.h"

#include "platform/net/PercentEncoding.h"
#include "platform/net/Services.h"
#include "sharing/core/SHR.h"
#include "sharing/core/SHRFormController.h"
#include "sharing/core/SHRFunctions.h"
#include "sharing/core/SHRRequest.h"
#include "sharing/oauth/OAAsynchronousDataFetcher.h"

SHRDelicious::SHRDelicious() {
    setConsumerKey("");  // the configuration carries no service credentials
    setSecretKey("");
    setAuthorizeCallbackURL(net::Services::url("SharingWebSite", "/oauthcallback"));
    setAuthorizeURL(net::Services::url("DeliciousLogin", "/oauth/v2/request_auth"));
    setRequestURL(net::Services::url("DeliciousLogin", "/oauth/v2/get_request_token"));
    setAccessURL(net::Services::url("DeliciousLogin", "/oauth/v2/get_token"));
    setSignatureProvider(std::make_shared<OAPlaintextSignatureProvider>());
}

void SHRDelicious::tokenRequestModifyRequest(OAMutableURLRequest& request) {
    if (auto callback = authorizeCallbackURL())
        request.setOAuthParameterName("oauth_callback", callback->absoluteString());
}

void SHRDelicious::tokenAccessModifyRequest(OAMutableURLRequest& request) {
    if (pendingAction() == SHRPendingRefreshToken) {
        if (accessToken() && accessToken()->sessionHandle() && !accessToken()->sessionHandle()->empty())
            request.setOAuthParameterName("oauth_session_handle", *accessToken()->sessionHandle());
        return;
    }
    // A callback without a verifier: the request goes without one and the
    // service's refusal ends the exchange with the access alert.
    const auto& query = authorizeResponseQueryVars();
    if (!query) return;
    if (auto it = query->find("oauth_verifier"); it != query->end())
        request.setOAuthParameterName("oauth_verifier", it->second);
}

std::vector<std::shared_ptr<SHRFormFieldSettings>> SHRDelicious::shareFormFieldsForType(int type) {
    if (type != SHRShareTypeURL) return {};
    return {
        SHRFormFieldSettings::label(localizedFormat("Title"), "title", SHRFormFieldTypeText,
                                    item()->title().value_or("")),
        SHRFormFieldSettings::label(localizedFormat("Tags"), "tags", SHRFormFieldTypeText, item()->tags().value_or("")),
        SHRFormFieldSettings::label(localizedFormat("Notes"), "text", SHRFormFieldTypeText,
                                    item()->text().value_or("")),
        SHRFormFieldSettings::label(localizedFormat("Shared"), "shared", SHRFormFieldTypeSwitch, "0")};
}

bool SHRDelicious::send() {
    if (!validateItem()) return false;
    if (!consumer()) restoreAccessToken();
    auto request = std::make_shared<OAMutableURLRequest>(net::Services::url("DeliciousAPI", "/v2/posts/add"),
                                                         consumer(), accessToken(), std::nullopt, nullptr);
    request->setHTTPMethod("GET");
    const std::string url = item()->URL()->absoluteString();
    request->setParameters({
        OARequestParameter("description", stringOrEmpty(item()->title())),
        OARequestParameter("extended", stringOrEmpty(item()->text())),
        OARequestParameter("shared", item()->customBoolForSwitchKey("shared") ? "yes" : "no"),
        OARequestParameter("tags", stringOrEmpty(item()->tags())),
        OARequestParameter("url", net::replacingPercentEscapes(url).value_or(url)),
    });
    OAAsynchronousDataFetcher::asynchronousFetcherWithRequest(
        request, std::static_pointer_cast<SHRDelicious>(oauthSelf()), &SHRDelicious::sendTicketDidFinish,
        &SHRDelicious::sendTicketDidFail)
        ->start();
    sendDidStart();
    return true;
}

void SHRDelicious::sendTicketDidFinish(const OAServiceTicket& ticket, const base::Data& data) {
    const std::string body(data.begin(), data.end());
    if (ticket.didSucceed() && body.find("\"done\"") != std::string::npos) {
        sendDidFinish();
    } else if (body.find("token_expired") != std::string::npos) {
        refreshToken();  // the bookmark is sent again after the renewal
    } else {
        sendTicketDidFail(ticket, SHR::error(localizedFormat("There was a problem saving to Delicious.")));
    }
}

void SHRDelicious::sendTicketDidFail(const OAServiceTicket&, const std::optional<net::Error>& error) {
    sendDidFailWithError(error);
}

bool SHRDelicious::handleResponse(SHRRequest& request) {
    if (request.getResult() == "401 Forbidden") {
        sendDidFailShouldRelogin();
        return false;
    }
    return true;
}
