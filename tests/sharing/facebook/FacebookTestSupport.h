#pragma once
// The fixture of the Facebook tests: the sharing fixture (window, memory
// keychain, reachable network, manual clock) with the loopback stand-in of
// the service behind the four Facebook hosts, and recorders of what the
// session, a request and a dialog tell their delegates.
#include <optional>
#include <string>
#include <vector>

#include "../services/OAuthTestSupport.h"
#include "fakes/FacebookFake.h"
#include "platform/base/Log.h"
#include "platform/gfx/Context.h"
#include "sharing/facebook/FBDialog.h"
#include "sharing/facebook/FBRequest.h"
#include "sharing/facebook/Facebook.h"

namespace fbtest {

struct SessionRecorder : FBSessionDelegate {
    std::vector<std::string> events;
    void fbDidLogin() override { events.push_back("login"); }
    void fbDidNotLogin(bool cancelled) override { events.push_back(cancelled ? "not-login:cancelled" : "not-login"); }
    void fbDidLogout() override { events.push_back("logout"); }
};

struct RequestRecorder : FBRequestDelegate {
    std::vector<std::string> events;
    std::optional<FBResult> result;
    std::optional<net::Error> error;
    std::optional<base::Data> raw;
    bool done() const { return result || error; }
    void requestLoading(FBRequest&) override { events.push_back("loading"); }
    void requestDidReceiveResponse(FBRequest&, const net::URLResponse&) override { events.push_back("response"); }
    bool respondsToDidFailWithError() const override { return true; }
    void requestDidFailWithError(FBRequest&, const net::Error& e) override {
        events.push_back("fail");
        error = e;
    }
    bool respondsToDidLoad() const override { return true; }
    void requestDidLoad(FBRequest&, const FBResult& r) override {
        events.push_back("load");
        result = r;
    }
    bool respondsToDidLoadRawResponse() const override { return true; }
    void requestDidLoadRawResponse(FBRequest&, const base::Data& d) override { raw = d; }
};

struct DialogRecorder : FBDialogDelegate, FBLoginDialogDelegate {
    std::vector<std::string> events;
    std::optional<net::Error> error;
    std::optional<std::string> token;
    std::optional<base::Date> expiry;
    std::optional<bool> openExternally;  // the answer to a followed link
    void dialogDidComplete(FBDialog&) override { events.push_back("complete"); }
    void dialogDidNotComplete(FBDialog&) override { events.push_back("not-complete"); }
    void dialogCompleteWithUrl(const net::URL&) override { events.push_back("complete-url"); }
    void dialogDidNotCompleteWithUrl(const std::optional<net::URL>&) override { events.push_back("not-complete-url"); }
    void dialogDidFailWithError(FBDialog&, const net::Error& e) override {
        events.push_back("fail");
        error = e;
    }
    std::optional<bool> dialogShouldOpenURLInExternalBrowser(FBDialog&, const net::URL&) override {
        return openExternally;
    }
    void fbDialogLogin(const std::string& t, const std::optional<base::Date>& e) override {
        events.push_back("login");
        token = t;
        expiry = e;
    }
    void fbDialogNotLogin(bool cancelled) override {
        events.push_back(cancelled ? "not-login:cancelled" : "not-login");
    }
};

// Collects the platform log while it lives.
struct LogCapture {
    std::vector<std::string> lines;
    base::LogSink previous;
    LogCapture() {
        previous = base::setLogSinkForTesting([this](const std::string& line) { lines.push_back(line); });
    }
    ~LogCapture() { base::setLogSinkForTesting(previous); }
    bool contains(const std::string& text) const {
        for (const auto& l : lines)
            if (l.find(text) != std::string::npos) return true;
        return false;
    }
};

class FacebookTest : public oauthtest::OAuthTest {
protected:
    void SetUp() override {
        OAuthTest::SetUp();
        for (const auto& name : fakes::FacebookFake::serviceNames())
            net::Services::pointAtLoopbackForTesting(name, fb_.server().port());
    }
    // The dialog shown in the window, if any.
    std::shared_ptr<FBDialog> shownDialog() {
        for (const auto& view : window_->subviews())
            if (auto dialog = std::dynamic_pointer_cast<FBDialog>(view)) return dialog;
        return nullptr;
    }
    // A session with a token valid for an hour.
    std::shared_ptr<Facebook> loggedInSession(const std::string& token = "tok/1") {
        auto session = Facebook::create("584019276341");
        session->setAccessToken(token);
        session->setExpirationDate(base::Date::now().addingTimeInterval(3600));
        return session;
    }
    std::string port() { return std::to_string(fb_.server().port()); }

    fakes::FacebookFake fb_;
};

inline std::string boundary() { return FBStringBoundary; }

}  // namespace fbtest
