#include "sharing/facebook/FBDialog.h"

#include <cmath>
#include <numbers>

#include "platform/base/Format.h"
#include "platform/gfx/Context.h"
#include "platform/net/PercentEncoding.h"
#include "platform/ui/Application.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"

namespace {

const gfx::Color kBorderGray = gfx::Color::rgb(0.3f, 0.3f, 0.3f, 0.8f);
const gfx::Color kBorderBlue = gfx::Color::rgb(0.23f, 0.35f, 0.6f, 1.0f);
const gfx::Color kBorderBlack = gfx::Color::rgb(0.3f, 0.3f, 0.3f, 1.0f);
const gfx::Color kTitleBarFill = gfx::Color::rgb(0.42578125f, 0.515625f, 0.703125f, 1.0f);
constexpr ui::Float kPadding = 10;
constexpr ui::Float kBorderWidth = 10;

bool isPad() { return ui::Device::currentDevice().userInterfaceIdiom() == ui::UserInterfaceIdiom::Pad; }

bool isLandscape(ui::InterfaceOrientation o) {
    return o == ui::InterfaceOrientation::LandscapeLeft || o == ui::InterfaceOrientation::LandscapeRight;
}

// The dialog's two images, drawn here: the service's mark and the close cross.
std::shared_ptr<gfx::Image> iconImage() {
    gfx::ImageContext context(gfx::Size(16, 16), 2);
    ui::draw::fillRoundedRect(context, ui::Rect(0, 0, 16, 16), 2.5f, gfx::Color::rgb(1, 1, 1, 1));
    ui::draw::fillRoundedRect(context, ui::Rect(1, 1, 14, 14), 2, gfx::Color::rgb(0.23f, 0.35f, 0.6f, 1));
    ui::draw::text(context, "f", ui::Rect(4.5f, 0.5f, 11, 15.5f), gfx::Font::boldSystemFont(15),
                   gfx::Color::rgb(1, 1, 1, 1), ui::TextAlignment::Center, ui::LineBreakMode::Clip);
    return context.image();
}

std::shared_ptr<gfx::Image> closeImage() {
    gfx::ImageContext context(gfx::Size(20, 20), 2);
    context.setStrokeColor(gfx::Color::rgb(1, 1, 1, 0.9f));
    context.setLineWidth(2.5f);
    context.setLineCap(gfx::LineCap::Round);
    context.beginPath();
    context.moveTo(6, 6);
    context.lineTo(14, 14);
    context.moveTo(14, 6);
    context.lineTo(6, 14);
    context.strokePath();
    return context.image();
}

// Two lines of the frame on the half-point lines inside the box.
void strokeLines(gfx::Context& context, ui::Rect rect, const gfx::Color& color) {
    gfx::SavedState saved(context);
    context.setStrokeColor(color);
    context.setLineWidth(1);
    const ui::Float x0 = rect.origin.x + 0.5f, y0 = rect.origin.y + 0.5f;
    const ui::Float x1 = rect.origin.x + rect.size.width - 0.5f, y1 = rect.origin.y + rect.size.height - 0.5f;
    context.strokeLineSegments({{x0, y0}, {x1, y0}, {x1, y0}, {x1, y1}, {x1, y1}, {x0, y1}, {x0, y1}, {x0, y0}});
}

}  // namespace

// --- Making ---------------------------------------------------------------------

FBDialog::FBDialog() : View(ui::Rect(0, 0, 0, 0)) {
    setBackgroundColor(gfx::Color::clear());
    setAutoresizesSubviews(true);
    setAutoresizingMask(ui::Autoresizing::FlexibleWidth | ui::Autoresizing::FlexibleHeight);
    setContentMode(ui::ContentMode::Redraw);

    iconView_ = std::make_shared<ui::ImageView>(iconImage());
    addSubview(iconView_);

    closeButton_ = std::make_shared<ui::Button>(ui::ButtonType::Custom);
    closeButton_->setImage(closeImage());
    closeButton_->setTitleColor(gfx::Color::rgb(167 / 255.0f, 184 / 255.0f, 216 / 255.0f, 1));
    closeButton_->setTitleColor(gfx::Color::rgb(1, 1, 1, 1), ui::ControlState::Highlighted);
    closeButton_->setFont(gfx::Font::boldSystemFont(12));
    closeButton_->setShowsTouchWhenHighlighted(true);
    closeButton_->setAutoresizingMask(ui::Autoresizing::FlexibleLeftMargin | ui::Autoresizing::FlexibleBottomMargin);
    closeButton_->setAccessibilityLabel("Close");
    addSubview(closeButton_);

    titleLabel_ = std::make_shared<ui::Label>();
    titleLabel_->setText("Connect to Facebook");
    titleLabel_->setBackgroundColor(gfx::Color::clear());
    titleLabel_->setTextColor(gfx::Color::rgb(1, 1, 1, 1));
    titleLabel_->setFont(gfx::Font::boldSystemFont(isPad() ? 18 : 14));
    titleLabel_->setAutoresizingMask(ui::Autoresizing::FlexibleRightMargin | ui::Autoresizing::FlexibleBottomMargin);
    addSubview(titleLabel_);

    webView_ = std::make_shared<ui::WebView>(ui::Rect(kPadding, kPadding, 480, 480));
    webView_->setAutoresizingMask(ui::Autoresizing::FlexibleWidth | ui::Autoresizing::FlexibleHeight);
    addSubview(webView_);

    spinner_ = std::make_shared<ui::ActivityIndicatorView>(ui::ActivityIndicatorViewStyle::WhiteLarge);
    spinner_->setAutoresizingMask(ui::Autoresizing::FlexibleTopMargin | ui::Autoresizing::FlexibleBottomMargin |
                                  ui::Autoresizing::FlexibleLeftMargin | ui::Autoresizing::FlexibleRightMargin);
    addSubview(spinner_);

    modalBackgroundView_ = std::make_shared<ui::View>();
}

FBDialog::~FBDialog() {
    webView_->setDelegate(std::weak_ptr<ui::WebViewDelegate>());
    webView_->stopLoading();
    removeObservers();
}

void FBDialog::attach() {
    auto self = std::static_pointer_cast<FBDialog>(shared_from_this());
    webView_->setDelegate(std::static_pointer_cast<ui::WebViewDelegate>(self));
    std::weak_ptr<FBDialog> weak = self;
    closeButton_->addTarget(
        [weak] {
            if (auto d = weak.lock()) d->cancel();
        },
        ui::ControlEvents::TouchUpInside);
}

std::shared_ptr<FBDialog> FBDialog::create(const std::string& serverURL, const FBParams& params,
                                           std::weak_ptr<FBDialogDelegate> delegate) {
    auto dialog = std::make_shared<FBDialog>();
    dialog->attach();
    dialog->serverURL_ = serverURL;
    dialog->params_ = params;
    dialog->delegate_ = std::move(delegate);
    return dialog;
}

ui::InterfaceOrientation FBDialog::statusBarOrientation() const {
    // The status bar follows the device in the orientations the screen takes.
    switch (ui::Device::currentDevice().orientation()) {
    case ui::DeviceOrientation::PortraitUpsideDown: return ui::InterfaceOrientation::PortraitUpsideDown;
    case ui::DeviceOrientation::LandscapeLeft: return ui::InterfaceOrientation::LandscapeRight;
    case ui::DeviceOrientation::LandscapeRight: return ui::InterfaceOrientation::LandscapeLeft;
    default: return ui::InterfaceOrientation::Portrait;
    }
}

// --- Showing ---------------------------------------------------------------------

std::string FBDialog::generateURL(const std::string& baseURL, const FBParams* params) {
    if (!params) return baseURL;
    std::string pairs;
    for (const auto& [key, value] : *params) {
        const auto* text = std::get_if<std::string>(&value);
        if (!text) continue;
        if (!pairs.empty()) pairs += "&";
        pairs += base::format("%@=%@", key, net::addingPercentEscapes(*text, "!*'();:@&=+$,/?%#[]"));
    }
    return base::format("%@?%@", baseURL, pairs);
}

void FBDialog::load() { loadURL(serverURL_, &params_); }

void FBDialog::loadURL(const std::string& url, const FBParams* params) {
    const std::string text = generateURL(url, params);
    loadingURL_ = net::URL(text);
    webView_->loadRequest(net::URLRequest(*loadingURL_));
}

void FBDialog::sizeToFitOrientation(bool transform) {
    if (transform) setTransform(ui::AffineTransform::identity());
    const ui::Rect app = ui::Screen::mainScreen().applicationFrame();
    const ui::Float scale = isPad() ? 0.6f : 1.0f;
    const ui::Float width = std::floor(scale * app.size.width) - kPadding * 2;
    const ui::Float height = std::floor(scale * app.size.height) - kPadding * 2;
    orientation_ = statusBarOrientation();
    if (isLandscape(*orientation_)) setFrame(ui::Rect(kPadding, kPadding, height, width));
    else setFrame(ui::Rect(kPadding, kPadding, width, height));
    setCenter(ui::Point(app.origin.x + std::ceil(app.size.width / 2), app.origin.y + std::ceil(app.size.height / 2)));
    if (transform) {
        ui::AffineTransform rotation = ui::AffineTransform::identity();
        switch (*orientation_) {
        case ui::InterfaceOrientation::LandscapeLeft:
            rotation = ui::AffineTransform::makeRotation(std::numbers::pi_v<ui::Float> * 1.5f);
            break;
        case ui::InterfaceOrientation::LandscapeRight:
            rotation = ui::AffineTransform::makeRotation(std::numbers::pi_v<ui::Float> / 2);
            break;
        case ui::InterfaceOrientation::PortraitUpsideDown:
            rotation = ui::AffineTransform::makeRotation(-std::numbers::pi_v<ui::Float>);
            break;
        default: break;
        }
        setTransform(rotation);
    }
}

void FBDialog::layoutTitleBar() {
    const ui::Float innerWidth = frame().size.width - (kBorderWidth + 1) * 2;
    iconView_->sizeToFit();
    titleLabel_->sizeToFit();
    closeButton_->sizeToFit();
    const ui::Size icon = iconView_->frame().size;
    const ui::Float fitted = titleLabel_->frame().size.height;
    titleLabel_->setFrame(
        ui::Rect(kBorderWidth + 8 + icon.width + 8, kBorderWidth, innerWidth - (fitted + icon.width + 16), fitted + 8));
    const ui::Float h = titleLabel_->frame().size.height;
    iconView_->setFrame(
        ui::Rect(kBorderWidth + 8, kBorderWidth + std::floor((h - icon.height) / 2), icon.width, icon.height));
    closeButton_->setFrame(ui::Rect(frame().size.width - (h + kBorderWidth), kBorderWidth, h, h));
    webView_->setFrame(
        ui::Rect(kBorderWidth + 1, kBorderWidth + h, innerWidth, frame().size.height - (h + 1 + kBorderWidth * 2)));
    spinner_->sizeToFit();
    spinner_->startAnimating();
    const ui::Rect web = webView_->frame();
    spinner_->setCenter(ui::Point(web.origin.x + web.size.width / 2, web.origin.y + web.size.height / 2));
}

void FBDialog::show() {
    auto keep = shared_from_this();
    load();
    sizeToFitOrientation(false);
    layoutTitleBar();

    auto& app = ui::Application::sharedApplication();
    std::shared_ptr<ui::Window> window = app.keyWindow();
    if (!window && !app.windows().empty()) window = app.windows().front();
    if (window) {
        modalBackgroundView_->setFrame(window->frame());
        modalBackgroundView_->addSubview(keep);
        window->addSubview(modalBackgroundView_);
        window->addSubview(keep);
    }

    dialogWillAppear();
    const ui::AffineTransform base = transform();
    setTransform(ui::AffineTransform::makeScale(0.001f, 0.001f).concat(base));
    std::weak_ptr<FBDialog> weak = std::static_pointer_cast<FBDialog>(keep);
    ui::View::animate(
        0.2,
        [weak, base] {
            if (auto d = weak.lock()) d->setTransform(ui::AffineTransform::makeScale(1.1f, 1.1f).concat(base));
        },
        [weak, base](bool) {
            ui::View::animate(
                0.15,
                [weak, base] {
                    if (auto d = weak.lock()) d->setTransform(ui::AffineTransform::makeScale(0.9f, 0.9f).concat(base));
                },
                [weak, base](bool) {
                    ui::View::animate(0.15, [weak, base] {
                        if (auto d = weak.lock()) d->setTransform(base);
                    });
                });
        });
    addObservers();
}

void FBDialog::addObservers() {
    if (observing_) return;
    observing_ = true;
    auto& center = base::NotificationCenter::defaultCenter();
    std::weak_ptr<FBDialog> weak = std::static_pointer_cast<FBDialog>(shared_from_this());
    center.addObserver(this, ui::DeviceOrientationDidChangeNotification, nullptr, [weak](const base::Notification&) {
        if (auto d = weak.lock()) d->deviceOrientationDidChange();
    });
    center.addObserver(this, ui::KeyboardWillShowNotification, nullptr, [weak](const base::Notification&) {
        if (auto d = weak.lock()) d->keyboardWillShow();
    });
    center.addObserver(this, ui::KeyboardWillHideNotification, nullptr, [weak](const base::Notification&) {
        if (auto d = weak.lock()) d->keyboardWillHide();
    });
}

void FBDialog::removeObservers() {
    if (!observing_) return;
    observing_ = false;
    auto& center = base::NotificationCenter::defaultCenter();
    center.removeObserver(this, ui::DeviceOrientationDidChangeNotification);
    center.removeObserver(this, ui::KeyboardWillShowNotification);
    center.removeObserver(this, ui::KeyboardWillHideNotification);
}

// --- Orientation and keyboard ----------------------------------------------------------

void FBDialog::updateWebOrientation() {
    const auto orientation = statusBarOrientation();
    if (isLandscape(orientation))
        webView_->stringByEvaluatingJavaScriptFromString("document.body.setAttribute('orientation', 90);");
    else webView_->stringByEvaluatingJavaScriptFromString("document.body.removeAttribute('orientation');");
}

void FBDialog::deviceOrientationDidChange() {
    const auto orientation = statusBarOrientation();
    if (showingKeyboard_ || (orientation_ && orientation == *orientation_)) return;
    updateWebOrientation();
    std::weak_ptr<FBDialog> weak = std::static_pointer_cast<FBDialog>(shared_from_this());
    // The status bar turns in 0.3 s.
    ui::View::animate(0.3, [weak] {
        if (auto d = weak.lock()) d->sizeToFitOrientation(true);
    });
}

void FBDialog::keyboardWillShow() {
    showingKeyboard_ = true;
    if (isPad()) return;
    if (isLandscape(statusBarOrientation())) {
        ui::Rect f = webView_->frame();
        const ui::Float h = titleLabel_->frame().size.height;
        webView_->setFrame(ui::Rect(f.origin.x - kPadding * 2, f.origin.y - (kPadding * 2 + h),
                                    f.size.width + kPadding * 4, f.size.height + (kPadding * 2 + h) * 2));
    }
}

void FBDialog::keyboardWillHide() {
    showingKeyboard_ = false;
    if (isPad()) return;
    if (isLandscape(statusBarOrientation())) {
        ui::Rect f = webView_->frame();
        const ui::Float h = titleLabel_->frame().size.height;
        webView_->setFrame(ui::Rect(f.origin.x + kPadding * 2, f.origin.y + (kPadding * 2 + h),
                                    f.size.width - kPadding * 4, f.size.height - (kPadding * 2 + h) * 2));
    }
}

// --- Drawing ------------------------------------------------------------------------

void FBDialog::drawRect(gfx::Context& context, ui::Rect) {
    const ui::Rect rect = bounds();
    ui::draw::fillRoundedRect(context,
                              ui::Rect(rect.origin.x - 0.5f, rect.origin.y - 0.5f, rect.size.width, rect.size.height),
                              10, kBorderGray);
    const ui::Rect titleRect(std::ceil(rect.origin.x + kBorderWidth), std::ceil(rect.origin.y + kBorderWidth),
                             rect.size.width - kBorderWidth * 2, titleLabel_->frame().size.height);
    {
        gfx::SavedState saved(context);
        context.setFillColor(kTitleBarFill);
        context.fillRect(titleRect);
    }
    strokeLines(context, titleRect, kBorderBlue);
    const ui::Rect webRect(titleRect.origin.x, titleRect.origin.y + titleRect.size.height, titleRect.size.width,
                           webView_->frame().size.height + 1);
    strokeLines(context, webRect, kBorderBlack);
}

// --- Loading ------------------------------------------------------------------------

std::optional<std::string> FBDialog::getStringFromUrl(const std::string& url, const std::string& needle) {
    const std::size_t at = url.find(needle);
    if (at == std::string::npos) return std::nullopt;
    const std::size_t start = at + needle.size();
    const std::size_t end = url.find('&', start);
    const std::string raw = url.substr(start, end == std::string::npos ? std::string::npos : end - start);
    // A value whose escapes do not decode is kept as it came.
    return net::replacingPercentEscapes(raw).value_or(raw);
}

bool FBDialog::shouldStartLoadWithRequest(ui::WebView&, const net::URLRequest& request,
                                          ui::WebViewNavigationType navigationType) {
    auto keep = shared_from_this();
    const net::URL& url = request.url();
    const std::string& text = url.absoluteString();
    const std::string prefix = std::string(FBDialogScheme) + ":";
    std::string head = text.substr(0, prefix.size());
    for (auto& c : head) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (head == prefix) {
        const std::string specifier = text.substr(prefix.size());
        if (specifier.size() >= 8 && specifier.compare(0, 8, "//cancel") == 0) {
            const auto errorCode = getStringFromUrl(text, "error_code=");
            const auto errorMessage = getStringFromUrl(text, "error_msg=");
            if (errorCode) {
                const std::string message = errorMessage.value_or("");
                const long code = static_cast<long>(base::Value(*errorCode).integerValue());
                base::Dictionary info;
                if (errorMessage) info.set("error_msg", message);
                dismissWithError(net::Error(FBErrorDomain, code,
                                            message.empty() ? base::format("Facebook error %li", code) : message, info),
                                 true);
            } else {
                dialogDidCancel(url);
            }
        } else {
            dialogDidSucceed(url);
        }
        return false;
    }
    if (loadingURL_ && text == loadingURL_->absoluteString()) return true;
    if (navigationType == ui::WebViewNavigationType::LinkClicked) {
        auto d = delegate();
        if (d) {
            const auto open = d->dialogShouldOpenURLInExternalBrowser(*this, url);
            if (open && !*open) return false;
        }
        ui::Application::sharedApplication().openURL(text);
        return false;
    }
    return true;
}

void FBDialog::webViewDidFinishLoad(ui::WebView& webView) {
    spinner_->stopAnimating();
    spinner_->setHidden(true);
    setTitle(webView.stringByEvaluatingJavaScriptFromString("document.title"));
    updateWebOrientation();
}

void FBDialog::didFailLoadWithError(ui::WebView&, const net::Error& error) {
    // A load that a refused redirect interrupted is not a failure.
    if (error.domain() == "WebKitErrorDomain" && error.code() == 102) return;
    dismissWithError(error, true);
}

// --- Ending -------------------------------------------------------------------------

void FBDialog::dialogDidSucceed(const net::URL& url) {
    auto keep = shared_from_this();
    if (auto d = delegate()) d->dialogCompleteWithUrl(url);
    dismissWithSuccess(true, true);
}

void FBDialog::dialogDidCancel(const std::optional<net::URL>& url) {
    auto keep = shared_from_this();
    if (auto d = delegate()) d->dialogDidNotCompleteWithUrl(url);
    dismissWithSuccess(false, true);
}

void FBDialog::cancel() { dialogDidCancel(std::nullopt); }

void FBDialog::dismissWithSuccess(bool success, bool animated) {
    auto keep = shared_from_this();
    if (auto d = delegate()) {
        if (success) d->dialogDidComplete(*this);
        else d->dialogDidNotComplete(*this);
    }
    dismiss(animated);
}

void FBDialog::dismissWithError(const net::Error& error, bool animated) {
    auto keep = shared_from_this();
    if (auto d = delegate()) d->dialogDidFailWithError(*this, error);
    dismiss(animated);
}

void FBDialog::dismiss(bool animated) {
    dialogWillDisappear();
    loadingURL_.reset();
    if (!animated) {
        postDismissCleanup();
        return;
    }
    std::weak_ptr<FBDialog> weak = std::static_pointer_cast<FBDialog>(shared_from_this());
    // The window keeps the dialog on screen until the fade ends.
    ui::View::animate(
        0.3,
        [weak] {
            if (auto d = weak.lock()) d->setAlpha(0);
        },
        [weak](bool) {
            if (auto d = weak.lock()) d->postDismissCleanup();
        });
}

void FBDialog::postDismissCleanup() {
    auto keep = shared_from_this();
    removeObservers();
    removeFromSuperview();
    modalBackgroundView_->removeFromSuperview();
}

// --- The login variant ------------------------------------------------------------------

std::shared_ptr<FBLoginDialog> FBLoginDialog::create(const std::string& loginURL, const FBParams& params,
                                                     std::weak_ptr<FBLoginDialogDelegate> delegate) {
    auto dialog = std::make_shared<FBLoginDialog>();
    dialog->attach();
    dialog->setServerURL(loginURL);
    dialog->setParams(params);
    dialog->loginDelegate_ = std::move(delegate);
    return dialog;
}

void FBLoginDialog::dialogDidSucceed(const net::URL& url) {
    auto keep = shared_from_this();
    const std::string& text = url.absoluteString();
    const auto token = getStringFromUrl(text, "access_token=");
    const auto expiresIn = getStringFromUrl(text, "expires_in=");
    std::optional<base::Date> expirationDate;
    if (expiresIn) {
        const long long seconds = base::Value(*expiresIn).integerValue();
        expirationDate = seconds != 0 ? base::Date::now().addingTimeInterval(static_cast<double>(seconds))
                                      : base::Date::distantFuture();
    }
    if (token && !token->empty()) {
        if (auto d = loginDelegate()) d->fbDialogLogin(*token, expirationDate);
        dismissWithSuccess(true, true);
    } else {
        dialogDidCancel(url);
    }
}

void FBLoginDialog::dialogDidCancel(const std::optional<net::URL>&) {
    auto keep = shared_from_this();
    dismissWithSuccess(false, true);
    if (auto d = loginDelegate()) d->fbDialogNotLogin(true);
}

void FBLoginDialog::didFailLoadWithError(ui::WebView& webView, const net::Error& error) {
    if (error.domain() == net::URLErrorDomain && error.code() == net::URLErrorCode::Cancelled) return;
    if (error.domain() == "WebKitErrorDomain" && error.code() == 102) return;
    FBDialog::didFailLoadWithError(webView, error);
}

void FBLoginDialog::dismissWithError(const net::Error& error, bool animated) {
    auto keep = shared_from_this();
    FBDialog::dismissWithError(error, animated);
    if (auto d = loginDelegate()) d->fbDialogNotLogin(false);
}
