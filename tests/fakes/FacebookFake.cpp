#include "fakes/FacebookFake.h"

namespace fakes {

std::string facebookLoginPage() {
    return "<html><head><title>Log In | Facebook</title></head><body>"
           "<p>Log in to use your Facebook account with Tolvek.</p>"
           "<form method='post' action='/dialog/oauth/login'>"
           "<p>Email</p><input type='text' name='email' placeholder='Email or Phone'>"
           "<p>Password</p><input type='password' name='pass' placeholder='Password'>"
           "<input type='submit' value='Log In'>"
           "</form>"
           "<p><a href='/help'>Forgot your password?</a></p>"
           "</body></html>";
}

FacebookFake::FacebookFake() {
    server_.on("GET", "/dialog/oauth", [](const RecordedRequest&) {
        return Reply::text(200, facebookLoginPage(), "text/html; charset=utf-8")
            .withHeader("Set-Cookie", std::string(CookieName) + "=abc; Path=/");
    });
    server_.on("POST", "/dialog/oauth/login",
               [this](const RecordedRequest&) { return Reply::text(302, "").withHeader("Location", loginAnswer_); });
    server_.on("POST", "/me/feed", Reply::text(200, "{\"id\":\"100_200\"}", "text/javascript; charset=UTF-8"));
    server_.on("POST", "/me/photos", Reply::text(200, "{\"id\":\"300\"}", "text/javascript; charset=UTF-8"));
    server_.on("GET", "/method/auth.expireSession", Reply::text(200, "true", "text/javascript; charset=UTF-8"));
}

std::vector<RecordedRequest> FacebookFake::requestsTo(const std::string& path) const {
    std::vector<RecordedRequest> out;
    for (auto& r : server_.requests())
        if (r.path == path) out.push_back(r);
    return out;
}

}  // namespace fakes
