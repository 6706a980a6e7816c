#pragma once
// The page on which a person lets a service's OAuth login authorize this
// application: a web view of the service's authorize page. The service ends
// the authorization by sending the browser to the callback address; the view
// catches that load, hands its query to the delegate and never loads it.
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/net/Error.h"
#include "platform/net/URL.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/WebView.h"

class SHROAuthView;

class SHROAuthViewDelegate {
public:
    virtual ~SHROAuthViewDelegate() = default;
    // success with the callback's query (name -> value, as sent), or a
    // failure with its error.
    virtual void tokenAuthorizeView(SHROAuthView& view, bool success,
                                    const std::optional<std::map<std::string, std::string>>& queryParams,
                                    const std::optional<net::Error>& error) = 0;
    virtual void tokenAuthorizeCancelledView(SHROAuthView& view) = 0;
    virtual std::optional<net::URL> authorizeCallbackURL() const = 0;
};

class SHROAuthView : public ui::ViewController, public ui::WebViewDelegate {
public:
    // Makes the page and starts loading url; the view keeps its delegate
    // until the callback is caught.
    static std::shared_ptr<SHROAuthView> create(const net::URL& url, std::shared_ptr<SHROAuthViewDelegate> delegate);
    SHROAuthView();

    const std::shared_ptr<ui::WebView>& webView() const { return webView_; }
    const std::shared_ptr<SHROAuthViewDelegate>& delegate() const { return delegate_; }
    void setDelegate(std::shared_ptr<SHROAuthViewDelegate> delegate) { delegate_ = std::move(delegate); }
    const std::shared_ptr<ui::ActivityIndicatorView>& spinner() const { return spinner_; }

    void loadView() override;
    bool shouldAutorotateToInterfaceOrientation(ui::InterfaceOrientation) override { return true; }
    void viewDidDisappear(bool animated) override;

    bool shouldStartLoadWithRequest(ui::WebView& webView, const net::URLRequest& request,
                                    ui::WebViewNavigationType navigationType) override;
    void webViewDidStartLoad(ui::WebView& webView) override;
    void webViewDidFinishLoad(ui::WebView& webView) override;
    void didFailLoadWithError(ui::WebView& webView, const net::Error& error) override;

    void startSpinner();
    void stopSpinner();
    void cancel();

    // The query of a URL split at "&" and "=": pieces of exactly two parts,
    // as they stand (not decoded); none when there is no query.
    static std::optional<std::map<std::string, std::string>> queryParameters(const net::URL& url);

private:
    std::shared_ptr<ui::WebView> webView_;
    std::shared_ptr<SHROAuthViewDelegate> delegate_;
    std::shared_ptr<ui::ActivityIndicatorView> spinner_;
};
