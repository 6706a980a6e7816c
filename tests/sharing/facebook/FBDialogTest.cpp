#include "FacebookTestSupport.h"

using namespace fbtest;

namespace {

class FBDialogTest : public FacebookTest {
protected:
    std::shared_ptr<DialogRecorder> recorder_ = std::make_shared<DialogRecorder>();
    std::shared_ptr<FBLoginDialog> loginDialog() {
        auto dialog =
            FBLoginDialog::create(Facebook::dialogBaseURL() + "oauth", FBParams{{"client_id", "1"}}, recorder_);
        dialog->show();
        return dialog;
    }
    std::shared_ptr<FBDialog> plainDialog() {
        fb_.server().on("GET", "/dialog/feed",
                        fakes::Reply::text(200,
                                           "<html><title>Post</title>"
                                           "<a href='http://example.com/x'>More</a></html>",
                                           "text/html"));
        auto dialog = FBDialog::create(Facebook::dialogBaseURL() + "feed", FBParams{{"app_id", "1"}}, recorder_);
        dialog->show();
        return dialog;
    }
    bool start(FBDialog& dialog, const std::string& url,
               ui::WebViewNavigationType type = ui::WebViewNavigationType::Other) {
        return dialog.shouldStartLoadWithRequest(*dialog.webView(), net::URLRequest(net::URL(url)), type);
    }
};

TEST_F(FBDialogTest, ValuesAreTakenFromTheURLText) {
    const std::string url = "fbconnect://success#access_token=a%2Fb&expires_in=60&x=";
    EXPECT_EQ(FBDialog::getStringFromUrl(url, "access_token="), "a/b");
    EXPECT_EQ(FBDialog::getStringFromUrl(url, "expires_in="), "60");
    EXPECT_EQ(FBDialog::getStringFromUrl(url, "x="), "");
    EXPECT_EQ(FBDialog::getStringFromUrl(url, "error_code="), std::nullopt);
    EXPECT_EQ(FBDialog::generateURL("https://h/dialog/feed", nullptr), "https://h/dialog/feed");
    FBParams params{{"a", "b c"}, {"d", "fbconnect://success"}};
    EXPECT_EQ(FBDialog::generateURL("https://h/dialog/feed", &params),
              "https://h/dialog/feed?a=b%20c&d=fbconnect%3A%2F%2Fsuccess");
}

TEST_F(FBDialogTest, TheDialogFillsTheApplicationFrameAboveEverything) {
    auto dialog = loginDialog();
    advance(1);  // the appearance animation
    EXPECT_EQ(dialog->frame(), ui::Rect(10, 30, 300, 440));
    EXPECT_TRUE(dialog->transform().isIdentity());
    ASSERT_EQ(window_->subviews().back(), dialog);
    EXPECT_EQ(window_->subviews()[window_->subviews().size() - 2], dialog->modalBackgroundView());
    EXPECT_EQ(dialog->modalBackgroundView()->frame(), window_->frame());
    const ui::Float h = dialog->titleLabel()->frame().size.height;
    EXPECT_GT(h, 16);
    EXPECT_EQ(dialog->titleLabel()->frame().origin, ui::Point(42, 10));
    EXPECT_EQ(dialog->iconView()->frame().origin.x, 18);
    EXPECT_EQ(dialog->closeButton()->frame(), ui::Rect(300 - (h + 10), 10, h, h));
    EXPECT_EQ(dialog->webView()->frame(), ui::Rect(11, 10 + h, 278, 440 - (h + 21)));
    // The page's title replaces "Connect to Facebook" once it is loaded.
    EXPECT_TRUE(app().isTextVisible("Connect to Facebook") || dialog->title() == "Log In | Facebook");
    ASSERT_TRUE(waitFor([&] { return dialog->title() == "Log In | Facebook"; }));
    EXPECT_TRUE(dialog->spinner()->isHidden());
    EXPECT_TRUE(app().isTextVisible("Log in to use your Facebook account with Tolvek."));
}

TEST_F(FBDialogTest, CancelURLsFailWithTheirCodeOrCancel) {
    auto dialog = plainDialog();
    EXPECT_FALSE(start(*dialog, "fbconnect://cancel?error_code=190&error_msg=Bad%20thing"));
    EXPECT_EQ(recorder_->events, (std::vector<std::string>{"fail"}));
    ASSERT_TRUE(recorder_->error);
    EXPECT_EQ(recorder_->error->domain(), "facebookErrDomain");
    EXPECT_EQ(recorder_->error->code(), 190);
    EXPECT_EQ(recorder_->error->userInfo().get("error_msg").stringValue(), "Bad thing");
    advance(1);
    EXPECT_FALSE(dialog->superview());
    EXPECT_FALSE(dialog->modalBackgroundView()->superview());

    recorder_->events.clear();
    auto second = plainDialog();
    EXPECT_FALSE(start(*second, "fbconnect://cancel"));
    EXPECT_EQ(recorder_->events, (std::vector<std::string>{"not-complete-url", "not-complete"}));
    recorder_->events.clear();
    auto third = plainDialog();
    EXPECT_FALSE(start(*third, "fbconnect://success?post_id=1"));
    EXPECT_EQ(recorder_->events, (std::vector<std::string>{"complete-url", "complete"}));
}

TEST_F(FBDialogTest, TheLoginVariantReportsTokensAndEveryOtherEnd) {
    auto dialog = loginDialog();
    EXPECT_FALSE(start(*dialog, "fbconnect://success#access_token=t%2B1&expires_in=120"));
    EXPECT_EQ(recorder_->token, "t+1");
    ASSERT_TRUE(recorder_->expiry);
    EXPECT_NEAR(recorder_->expiry->timeIntervalSinceNow(), 120, 1);

    // No lifetime: no expiry date; 0: the far future.
    EXPECT_FALSE(start(*loginDialog(), "fbconnect://success#access_token=t2"));
    EXPECT_FALSE(recorder_->expiry);
    EXPECT_FALSE(start(*loginDialog(), "fbconnect://success#access_token=t3&expires_in=0"));
    EXPECT_EQ(*recorder_->expiry, base::Date::distantFuture());

    recorder_->events.clear();
    EXPECT_FALSE(start(*loginDialog(), "fbconnect://cancel"));
    EXPECT_FALSE(start(*loginDialog(), "fbconnect://cancel?error_code=1&error_msg=no"));
    // No token, a malformed address, a too short one: cancellations, no crash.
    EXPECT_FALSE(start(*loginDialog(), "fbconnect://success#access_token="));
    EXPECT_FALSE(start(*loginDialog(), "fbconnect:"));
    EXPECT_FALSE(start(*loginDialog(), "FBCONNECT://can"));
    // The page's error ends the login too (not a cancellation).
    EXPECT_EQ(recorder_->events, (std::vector<std::string>{"not-login:cancelled", "not-login", "not-login:cancelled",
                                                           "not-login:cancelled", "not-login:cancelled"}));
}

TEST_F(FBDialogTest, FollowedLinksOpenOutsideUnlessTheDelegateSaysNo) {
    auto dialog = plainDialog();
    ASSERT_TRUE(waitFor([&] { return dialog->title() == "Post"; }));
    EXPECT_TRUE(start(*dialog, "http://127.0.0.1:" + port() + "/other"));
    EXPECT_FALSE(start(*dialog, "http://example.com/x", ui::WebViewNavigationType::LinkClicked));
    EXPECT_EQ(app().openedURLs(), (std::vector<std::string>{"http://example.com/x"}));
    recorder_->openExternally = false;
    EXPECT_FALSE(start(*dialog, "http://example.com/y", ui::WebViewNavigationType::LinkClicked));
    EXPECT_EQ(app().openedURLs().size(), 1u);
}

TEST_F(FBDialogTest, TheCloseButtonCancelsAndAFailedLoadEndsTheLogin) {
    auto dialog = loginDialog();
    advance(1);
    ASSERT_TRUE(tapNamed("Close"));
    EXPECT_EQ(recorder_->events, (std::vector<std::string>{"not-login:cancelled"}));
    advance(1);
    EXPECT_FALSE(shownDialog());

    recorder_->events.clear();
    fakes::RefusedPort refused;
    net::Services::pointAtLoopbackForTesting("FacebookDialog", refused.port());
    auto failing = loginDialog();
    ASSERT_TRUE(waitFor([&] { return !recorder_->events.empty(); }));
    EXPECT_EQ(recorder_->events, (std::vector<std::string>{"not-login"}));
    advance(1);
    EXPECT_FALSE(shownDialog());
}

TEST_F(FBDialogTest, RotatingWhileTheKeyboardShowsDoesNotRelayTheDialog) {
    auto dialog = loginDialog();
    advance(1);
    const ui::Rect before = dialog->frame();
    base::NotificationCenter::defaultCenter().post(ui::KeyboardWillShowNotification, nullptr);
    EXPECT_TRUE(dialog->showingKeyboard());
    base::NotificationCenter::defaultCenter().post(ui::DeviceOrientationDidChangeNotification, nullptr);
    advance(1);
    EXPECT_EQ(dialog->frame(), before);
    base::NotificationCenter::defaultCenter().post(ui::KeyboardWillHideNotification, nullptr);
    EXPECT_FALSE(dialog->showingKeyboard());
}

}  // namespace
