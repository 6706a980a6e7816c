#pragma once
// A Facebook web page (a dialog) shown in a web view inside its own frame —
// a title bar with an icon, the page's title and a close button, and a
// loading spinner — over everything else in the key window. The page tells
// the dialog how it ended by loading a "fbconnect:" address: "//cancel"
// (with an optional error code and message) or anything else for success.
// Such addresses are never loaded.
//
// FBLoginDialog is the login form: it takes the access token and its
// lifetime out of the success address and hands them to its login delegate.
#include <memory>
#include <optional>
#include <string>

#include "platform/base/Date.h"
#include "platform/base/NotificationCenter.h"
#include "platform/net/Error.h"
#include "platform/net/URL.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/WebView.h"
#include "sharing/facebook/FBRequest.h"

class FBDialog;

// Every operation is optional.
class FBDialogDelegate {
public:
    virtual ~FBDialogDelegate() = default;
    virtual void dialogDidComplete(FBDialog& dialog) { (void)dialog; }
    virtual void dialogDidNotComplete(FBDialog& dialog) { (void)dialog; }
    virtual void dialogCompleteWithUrl(const net::URL& url) { (void)url; }
    virtual void dialogDidNotCompleteWithUrl(const std::optional<net::URL>& url) { (void)url; }
    virtual void dialogDidFailWithError(FBDialog& dialog, const net::Error& error) { (void)dialog, (void)error; }
    // Whether a link the user follows opens in the desktop's browser;
    // nullopt (not answered) opens it.
    virtual std::optional<bool> dialogShouldOpenURLInExternalBrowser(FBDialog& dialog, const net::URL& url) {
        (void)dialog, (void)url;
        return std::nullopt;
    }
};

class FBLoginDialogDelegate {
public:
    virtual ~FBLoginDialogDelegate() = default;
    // The expiry is none when the page gave no lifetime.
    virtual void fbDialogLogin(const std::string& token, const std::optional<base::Date>& expirationDate) = 0;
    virtual void fbDialogNotLogin(bool cancelled) = 0;
};

// The scheme by which a dialog page reports its end.
inline constexpr const char* FBDialogScheme = "fbconnect";

class FBDialog : public ui::View, public ui::WebViewDelegate {
public:
    // A dialog for the page at serverURL with the parameters.
    static std::shared_ptr<FBDialog> create(const std::string& serverURL, const FBParams& params,
                                            std::weak_ptr<FBDialogDelegate> delegate);
    FBDialog();
    ~FBDialog() override;
    std::string className() const override { return "FBDialog"; }

    std::shared_ptr<FBDialogDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<FBDialogDelegate> delegate) { delegate_ = std::move(delegate); }
    const FBParams& params() const { return params_; }
    void setParams(FBParams params) { params_ = std::move(params); }
    const std::string& serverURL() const { return serverURL_; }
    std::string title() const { return titleLabel_->text(); }
    void setTitle(const std::string& title) { titleLabel_->setText(title); }

    const std::shared_ptr<ui::WebView>& webView() const { return webView_; }
    const std::shared_ptr<ui::Label>& titleLabel() const { return titleLabel_; }
    const std::shared_ptr<ui::Button>& closeButton() const { return closeButton_; }
    const std::shared_ptr<ui::ImageView>& iconView() const { return iconView_; }
    const std::shared_ptr<ui::ActivityIndicatorView>& spinner() const { return spinner_; }
    const std::shared_ptr<ui::View>& modalBackgroundView() const { return modalBackgroundView_; }
    const std::optional<net::URL>& loadingURL() const { return loadingURL_; }
    bool showingKeyboard() const { return showingKeyboard_; }

    void show();
    void load();
    void loadURL(const std::string& url, const FBParams* params);
    // "url?pairs" with every value percent-escaped; without parameters the
    // URL as it is.
    static std::string generateURL(const std::string& baseURL, const FBParams* params);
    void dismissWithSuccess(bool success, bool animated);
    virtual void dismissWithError(const net::Error& error, bool animated);
    virtual void dialogDidSucceed(const net::URL& url);
    virtual void dialogDidCancel(const std::optional<net::URL>& url);
    // The close button.
    void cancel();
    virtual void dialogWillAppear() {}
    virtual void dialogWillDisappear() {}
    // The text after needle up to the next "&" (or the end), unescaped;
    // none when the needle is absent.
    static std::optional<std::string> getStringFromUrl(const std::string& url, const std::string& needle);

    // Layout for the status bar's orientation (the rotation transform too
    // when transform is set).
    void sizeToFitOrientation(bool transform);
    void updateWebOrientation();
    void deviceOrientationDidChange();
    void keyboardWillShow();
    void keyboardWillHide();

    void drawRect(gfx::Context& context, ui::Rect rect) override;

    bool shouldStartLoadWithRequest(ui::WebView& webView, const net::URLRequest& request,
                                    ui::WebViewNavigationType navigationType) override;
    void webViewDidFinishLoad(ui::WebView& webView) override;
    void didFailLoadWithError(ui::WebView& webView, const net::Error& error) override;

protected:
    void setServerURL(std::string url) { serverURL_ = std::move(url); }
    // Wires the web view and the close button to this dialog (after make_shared).
    void attach();

private:
    void layoutTitleBar();
    void dismiss(bool animated);
    void postDismissCleanup();
    void addObservers();
    void removeObservers();
    ui::InterfaceOrientation statusBarOrientation() const;

    std::weak_ptr<FBDialogDelegate> delegate_;
    FBParams params_;
    std::string serverURL_;
    std::optional<net::URL> loadingURL_;
    std::shared_ptr<ui::WebView> webView_;
    std::shared_ptr<ui::ActivityIndicatorView> spinner_;
    std::shared_ptr<ui::ImageView> iconView_;
    std::shared_ptr<ui::Label> titleLabel_;
    std::shared_ptr<ui::Button> closeButton_;
    std::optional<ui::InterfaceOrientation> orientation_;
    bool showingKeyboard_ = false;
    bool observing_ = false;
    std::shared_ptr<ui::View> modalBackgroundView_;
};

class FBLoginDialog : public FBDialog {
public:
    static std::shared_ptr<FBLoginDialog> create(const std::string& loginURL, const FBParams& params,
                                                 std::weak_ptr<FBLoginDialogDelegate> delegate);
    std::string className() const override { return "FBLoginDialog"; }

    std::shared_ptr<FBLoginDialogDelegate> loginDelegate() const { return loginDelegate_.lock(); }

    void dialogDidSucceed(const net::URL& url) override;
    void dialogDidCancel(const std::optional<net::URL>& url) override;
    // Every failure, a failed load or an error the page reports through its
    // cancel address, ends the login as not logged in.
    void dismissWithError(const net::Error& error, bool animated) override;
    void didFailLoadWithError(ui::WebView& webView, const net::Error& error) override;

private:
    std::weak_ptr<FBLoginDialogDelegate> loginDelegate_;
};
