#include "sharing/core/SHROAuthView.h"

#include "platform/net/Services.h"
#include "platform/ui/NavigationController.h"
#include "sharing/core/SHR.h"
#include "sharing/core/SHRFunctions.h"

std::shared_ptr<SHROAuthView> SHROAuthView::create(const net::URL& url,
                                                   std::shared_ptr<SHROAuthViewDelegate> delegate) {
    auto view = std::make_shared<SHROAuthView>();
    view->delegate_ = std::move(delegate);
    std::weak_ptr<SHROAuthView> weak = view;
    view->navigationItem()->setLeftBarButtonItem(
        std::make_shared<ui::BarButtonItem>(ui::BarButtonSystemItem::Cancel, [weak](ui::BarButtonItem&) {
            if (auto v = weak.lock()) v->cancel();
        }));
    view->webView_->setDelegate(std::static_pointer_cast<ui::WebViewDelegate>(view));
    view->webView_->loadRequest(net::URLRequest(url));
    return view;
}

SHROAuthView::SHROAuthView() : webView_(std::make_shared<ui::WebView>(ui::Rect(0, 0, 320, 416))) {
    webView_->setScalesPageToFit(true);
    webView_->setAutoresizingMask(ui::Autoresizing::FlexibleWidth | ui::Autoresizing::FlexibleHeight);
}

void SHROAuthView::loadView() { setView(webView_); }

void SHROAuthView::viewDidDisappear(bool animated) {
    ui::ViewController::viewDidDisappear(animated);
    SHR::currentHelper().viewWasDismissed();
}

std::optional<std::map<std::string, std::string>> SHROAuthView::queryParameters(const net::URL& url) {
    if (!url.hasQuery()) return std::nullopt;
    std::map<std::string, std::string> out;
    const std::string& query = url.query();
    std::size_t start = 0;
    while (start <= query.size()) {
        std::size_t end = query.find('&', start);
        if (end == std::string::npos) end = query.size();
        const std::string piece = query.substr(start, end - start);
        const std::size_t eq = piece.find('=');
        // Exactly two parts: one "=" (a piece without "=" or with two is skipped).
        if (eq != std::string::npos && piece.find('=', eq + 1) == std::string::npos)
            out[piece.substr(0, eq)] = piece.substr(eq + 1);
        start = end + 1;
    }
    return out;
}

bool SHROAuthView::shouldStartLoadWithRequest(ui::WebView&, const net::URLRequest& request, ui::WebViewNavigationType) {
    auto delegate = delegate_;
    if (!delegate) return true;
    const auto callback = delegate->authorizeCallbackURL();
    if (!callback || callback->absoluteString().empty()) return true;
    if (request.url().absoluteString().find(callback->absoluteString()) == std::string::npos) return true;
    auto keep = std::static_pointer_cast<SHROAuthView>(shared_from_this());
    const auto params = queryParameters(request.url());
    delegate->tokenAuthorizeView(*this, true, params, std::nullopt);
    delegate_.reset();
    return false;
}

void SHROAuthView::webViewDidStartLoad(ui::WebView&) { startSpinner(); }

void SHROAuthView::webViewDidFinishLoad(ui::WebView& webView) {
    stopSpinner();
    if (!delegate_ || !webView.request()) return;
    // The service shows a PIN instead of redirecting when the application is
    // registered without a callback: say how to set it up.
    const net::URL url = webView.request()->url();
    const auto twitterWeb = net::Services::address("TwitterWeb");
    if (!twitterWeb || url.host() != twitterWeb->host) return;
    if (twitterWeb->port != 0 && url.effectivePort() != twitterWeb->port) return;
    const auto pin = webView.elementInnerHTML("oauth_pin");
    if (!pin || pin->empty()) return;
    auto keep = std::static_pointer_cast<SHROAuthView>(shared_from_this());
    auto delegate = delegate_;
    delegate->tokenAuthorizeView(
        *this, false, std::nullopt,
        SHR::error(localizedFormat("Your SHRTwitter config is incorrect.  You must set your application type to "
                                   "Browser and define a callback url.  See SHRConfig for more details")));
}

void SHROAuthView::didFailLoadWithError(ui::WebView&, const net::Error& error) {
    // A cancelled load, an interrupted frame (a refused redirect) and a
    // missing file are not failures of the page.
    if (error.code() == net::URLErrorCode::Cancelled || error.code() == 102 || error.code() == -1100) return;
    stopSpinner();
    if (!delegate_) return;
    auto keep = std::static_pointer_cast<SHROAuthView>(shared_from_this());
    auto delegate = delegate_;
    delegate->tokenAuthorizeView(*this, false, std::nullopt, error);
}

void SHROAuthView::startSpinner() {
    if (!spinner_) {
        spinner_ = std::make_shared<ui::ActivityIndicatorView>(ui::ActivityIndicatorViewStyle::White);
        spinner_->setHidesWhenStopped(true);
        navigationItem()->setRightBarButtonItem(std::make_shared<ui::BarButtonItem>(spinner_));
    }
    spinner_->startAnimating();
}

void SHROAuthView::stopSpinner() {
    if (spinner_) spinner_->stopAnimating();
}

void SHROAuthView::cancel() {
    auto keep = std::static_pointer_cast<SHROAuthView>(shared_from_this());
    if (auto delegate = delegate_) delegate->tokenAuthorizeCancelledView(*this);
    SHR::currentHelper().hideCurrentViewController();
}
