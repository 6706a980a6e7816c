#pragma once
// A loopback stand-in of the Facebook service for tests: one server that
// plays the dialog host (the login page, whose form answers with a redirect
// to the in-application login's "fbconnect:" address), the Graph host
// ("me/feed", "me/photos"), the REST host ("auth.expireSession") and the
// login host whose cookie the login page sets.
//
//   fakes::FacebookFake facebook;
//   for (auto& name : facebook.serviceNames()) net::Services::pointAtLoopbackForTesting(name, facebook.server().port());
//   facebook.setLoginAnswer("fbconnect://success#access_token=t1&expires_in=3600");
#include <string>
#include <vector>

#include "fakes/HttpServer.h"

namespace fakes {

class FacebookFake {
public:
    FacebookFake();

    // The configuration names of the four hosts this server plays.
    static std::vector<std::string> serviceNames() {
        return {"FacebookDialog", "FacebookGraph", "FacebookREST", "FacebookLogin"};
    }
    HttpServer& server() { return server_; }

    // Where the login form sends the browser (a 302 to this address).
    void setLoginAnswer(std::string location) { loginAnswer_ = std::move(location); }
    // The answers of the Graph calls.
    void setFeedReply(Reply reply) { server_.on("POST", "/me/feed", std::move(reply)); }
    void setPhotosReply(Reply reply) { server_.on("POST", "/me/photos", std::move(reply)); }

    // The requests that reached a path.
    std::vector<RecordedRequest> requestsTo(const std::string& path) const;

    // The name of the cookie the login page sets.
    static constexpr const char* CookieName = "fake_session";

private:
    HttpServer server_;
    std::string loginAnswer_ = "fbconnect://success#access_token=fake-token&expires_in=3600";
};

// The login page the fake serves.
std::string facebookLoginPage();

}  // namespace fakes
