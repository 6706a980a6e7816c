#pragma once
// A web view with an in-process page model (no browser engine): it loads a
// request (http(s) through the URL loading layer, file: and data: from
// here; a web page's links, forms and redirects cannot reach file: or data:
// addresses, javascript: links do nothing, and a file is read only when it
// is a regular one of at most net::MaximumResponseLength bytes) or an HTML string, asks its delegate before every load (redirects
// included: it follows them itself, so the delegate may refuse one), keeps
// the page's title, its readable text, its links, its forms and the inner
// HTML of elements with an id, draws the text with the forms' controls in
// place (text and password fields, text areas, checkboxes and radio
// buttons, selects whose options open in a list at the bottom of the
// window, and buttons; set by the user and posted as a browser would; no
// scripts run; controls for the first WebPageLayout::MaxFields inputs),
// follows links the user taps, and answers
// the few scripts pages are asked for ("document.title",
// "document.body.innerText", location, "document.getElementById('x')
// .innerHTML"). A large page is read in slices and only what shows of it
// is measured and drawn, so the window keeps answering.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/net/Error.h"
#include "platform/net/URLRequest.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/WebPage.h"
#include "platform/ui/WebPageLayout.h"

namespace net {
class URLConnection;
}

namespace ui {

class WebView;

enum class WebViewNavigationType { LinkClicked, FormSubmitted, BackForward, Reload, FormResubmitted, Other };

class WebViewDelegate {
public:
    virtual ~WebViewDelegate() = default;
    virtual bool shouldStartLoadWithRequest(WebView& webView, const net::URLRequest& request,
                                            WebViewNavigationType navigationType) {
        (void)webView, (void)request, (void)navigationType;
        return true;
    }
    virtual void webViewDidStartLoad(WebView& webView) { (void)webView; }
    virtual void webViewDidFinishLoad(WebView& webView) { (void)webView; }
    virtual void didFailLoadWithError(WebView& webView, const net::Error& error) { (void)webView, (void)error; }
};

class Button;
class TextField;

class WebView : public View {
public:
    WebView();
    explicit WebView(Rect frame);
    ~WebView() override;
    std::string className() const override { return "WebView"; }

    std::shared_ptr<WebViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<WebViewDelegate> delegate) { delegate_ = std::move(delegate); }

    void loadRequest(const net::URLRequest& request);
    void loadHTMLString(const std::string& html, const std::string& baseURL = {});
    // The request of the page shown (or being loaded).
    std::optional<net::URLRequest> request() const { return request_; }
    bool isLoading() const { return loading_; }
    void stopLoading();
    void reload();
    bool canGoBack() const { return historyIndex_ > 0; }
    bool canGoForward() const { return historyIndex_ + 1 < static_cast<int>(history_.size()); }
    void goBack();
    void goForward();
    bool scalesPageToFit() const { return scalesPageToFit_; }
    void setScalesPageToFit(bool scales) { scalesPageToFit_ = scales; }

    // "document.title", "document.body.innerText", "window.location.href"
    // (and the same with "document.location"); other scripts answer "".
    std::string stringByEvaluatingJavaScriptFromString(const std::string& script);
    const WebPage& page() const { return page_; }

    // Follows the link (as a tap on it does).
    void followLink(const std::string& href);
    // Submits the form as the page set it, with the given values in place
    // of the first entry of each name (a name the form lacks goes last).
    void submitForm(std::size_t formIndex, const std::vector<std::pair<std::string, std::string>>& values);
    // Submits the form with what the user set its controls to (typed,
    // checked, chosen), as the given submit button does (its own name and
    // value go along when named); a button that is not an enabled submit
    // button submits nothing.
    void submitFormFromFields(std::size_t formIndex, std::optional<std::size_t> submitInput = std::nullopt);
    // The inner HTML of the element with the id, or none.
    std::optional<std::string> elementInnerHTML(const std::string& id) const;
    // The text or password field of the page's input named name, or null.
    std::shared_ptr<TextField> textFieldNamed(const std::string& name) const;
    // The submit button of the page with the title, or null.
    std::shared_ptr<Button> submitButtonTitled(const std::string& title) const;

    // Redirects followed in a row before the load fails.
    static constexpr int MaxRedirects = 16;

    void drawRect(gfx::Context& context, Rect rect) override;
    void layoutSubviews() override;
    void touchesEnded(const TouchSet& touches, const Event* event) override;
    void willMoveToWindow(Window* newWindow) override;
    // The mouse wheel scrolls a page taller than the view (as far as a
    // scroll view would per notch); a new page starts at its top.
    bool scrollWheel(Point point, Float dx, Float dy) override;
    std::string displayedText() const override;
    void collectAccessibleElements(std::vector<AccessibleElement>& out) const override;

private:
    // The height of the page as laid out (its margins included).
    Float pageHeight() const;
    // Whether a link, form or redirect of the page shown may go to url: a
    // script never runs, and a web (http, https) page opens no local file
    // and no inline (data:) page.
    bool pageMayOpen(const std::string& url) const;
    // False when the delegate refused the load.
    bool startLoad(const net::URLRequest& request, WebViewNavigationType type, bool addToHistory);
    // Reads the page that came in (in slices when large), then shows it.
    void finishLoad(const std::string& html, const std::string& url);
    void readPage(unsigned long long generation);
    void failLoad(const net::Error& error);
    void followRedirect(const std::string& location, long status);
    // Makes the controls of the fields that get views, each set as the page
    // set it.
    void rebuildFields();
    const WebPage::Input& inputAt(std::size_t formIndex, std::size_t inputIndex) const;
    // Reads what was typed into the form's fields and text areas into their states.
    void takeTypedText(std::size_t formIndex);
    // Shows the form's states in its checkboxes, radio buttons and selects
    // (and, with typedText, in its fields and text areas).
    void showStates(std::size_t formIndex, bool typedText);
    // A tap on a checkbox or radio button.
    void toggle(std::size_t formIndex, std::size_t inputIndex);
    // A reset button: every control as the page set it.
    void resetForm(std::size_t formIndex);
    // Opens the list of the select's options; a choice from it.
    void showOptions(std::size_t formIndex, std::size_t inputIndex);
    void chooseOption(std::size_t formIndex, std::size_t inputIndex, std::size_t option);
    void closeOptions();
    // Return in a field: the default button submits the form, or the form
    // submits without one, when HTML's implicit submission allows.
    void submitImplicitly(std::size_t formIndex);
    // Posts (or gets) the entries to the form's action.
    void send(std::size_t formIndex, const std::vector<std::pair<std::string, std::string>>& entries);
    // The width text is laid out in.
    Float textWidth() const;
    // Measures the blocks that show (and a margin around them) and keeps
    // what was at the top of the view there, within the page's ends.
    void settle();
    // The frame and link of every link block that shows.
    std::vector<std::pair<Rect, std::size_t>> linkRects() const;
    struct FieldView {
        std::size_t block;  // of the layout
        int form;
        int input;
        std::shared_ptr<View> view;
    };
    // Measured lazily, also while answering what shows.
    mutable WebPageLayout layout_;
    // The page being read, while it is.
    std::unique_ptr<WebPageReader> reader_;
    std::vector<FieldView> fields_;
    // One state per control of each form, as the user set it.
    std::vector<std::vector<WebPage::ControlState>> states_;
    // The list of a select's options while it is open, and the select's place.
    std::shared_ptr<View> optionList_;
    int optionForm_ = -1;
    int optionInput_ = -1;
    // How much of the view's bottom the list covers: the page may scroll
    // that much past its end meanwhile.
    Float coveredBottom_ = 0;
    int redirectCount_ = 0;
    bool redirecting_ = false;
    friend class WebViewLoader;

    std::weak_ptr<WebViewDelegate> delegate_;
    std::optional<net::URLRequest> request_;
    WebPage page_;
    bool loading_ = false;
    bool scalesPageToFit_ = false;
    std::vector<net::URLRequest> history_;
    int historyIndex_ = -1;
    std::shared_ptr<net::URLConnection> connection_;
    unsigned long long loadGeneration_ = 0;
};

}  // namespace ui
