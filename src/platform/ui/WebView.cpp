#include "platform/ui/WebView.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <variant>

#include "platform/base/RunLoop.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Text.h"
#include "platform/net/PercentEncoding.h"
#include "platform/net/URLConnection.h"
#include "platform/ui/Button.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/Palette.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Types.h"
#include "platform/ui/Window.h"

namespace ui {

// ---- Loading

namespace {

// The scheme of a URL text, lower case, read as a browser reads it: leading
// blanks and control characters skipped, tabs and line breaks ignored.
std::string schemeOf(const std::string& url) {
    std::string scheme;
    std::size_t i = 0;
    while (i < url.size() && static_cast<unsigned char>(url[i]) <= 0x20) ++i;
    for (; i < url.size(); ++i) {
        const char c = url[i];
        if (c == '\t' || c == '\n' || c == '\r') continue;
        if (c == ':') return scheme;
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return {};
        scheme += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return {};
}

bool isWebScheme(const std::string& scheme) { return scheme == "http" || scheme == "https"; }

// A local page: a regular file only (a device or a pipe may never end or
// never answer), of at most MaximumResponseLength bytes.
std::variant<std::string, net::Error> readPageFile(const std::string& path) {
    std::error_code ec;
    std::ifstream in;
    if (std::filesystem::is_regular_file(path, ec)) in.open(path, std::ios::binary);
    if (!in.is_open() || !in)
        return net::Error("NSCocoaErrorDomain", 260, "The file \"" + path + "\" could not be opened.");
    std::string html(net::MaximumResponseLength + 1, '\0');
    in.read(html.data(), static_cast<std::streamsize>(html.size()));
    html.resize(static_cast<std::size_t>(in.gcount()));
    if (html.size() > net::MaximumResponseLength)
        return net::Error(net::URLErrorDomain, net::URLErrorCode::DataLengthExceedsMaximum,
                          "The file \"" + path + "\" is too large to show.");
    return html;
}

}  // namespace

bool WebView::pageMayOpen(const std::string& url) const {
    const std::string scheme = schemeOf(url);
    if (scheme == "javascript") return false;  // no scripts run here
    const bool onWebPage = request_ && isWebScheme(request_->url().scheme());
    return !(onWebPage && (scheme == "file" || scheme == "data"));
}

class WebViewLoader : public net::URLConnectionDelegate {
public:
    WebViewLoader(std::weak_ptr<View> view, unsigned long long generation)
        : view_(std::move(view)), generation_(generation) {}
    void didReceiveResponse(net::URLConnection&, const net::URLResponse& response) override {
        status_ = response.statusCode();
        location_ = response.valueForHeaderField("Location");
    }
    void didReceiveData(net::URLConnection&, const base::Data& data) override {
        body_.insert(body_.end(), data.begin(), data.end());
    }
    void didFinishLoading(net::URLConnection& c) override {
        auto v = target();
        if (!v) return;
        const bool redirect = status_ == 301 || status_ == 302 || status_ == 303 || status_ == 307 || status_ == 308;
        if (redirect && location_ && !location_->empty()) v->followRedirect(*location_, status_);
        else v->finishLoad(std::string(body_.begin(), body_.end()), c.originalRequest().url().absoluteString());
    }
    void didFailWithError(net::URLConnection&, const net::Error& error) override {
        if (auto v = target()) v->failLoad(error);
    }

private:
    std::shared_ptr<WebView> target() {
        auto v = std::static_pointer_cast<WebView>(view_.lock());
        if (!v || v->loadGeneration_ != generation_) return nullptr;
        return v;
    }
    std::weak_ptr<View> view_;
    unsigned long long generation_;
    base::Data body_;
    long status_ = 0;
    std::optional<std::string> location_;
};

WebView::WebView() : WebView(Rect()) {}

WebView::WebView(Rect frame) : View(frame) {
    setBackgroundColor(gfx::Color::white());
    setClipsToBounds(true);
}

WebView::~WebView() {
    if (connection_) connection_->cancel();
    if (optionList_) optionList_->removeFromSuperview();
}

void WebView::loadRequest(const net::URLRequest& request) { startLoad(request, WebViewNavigationType::Other, true); }

void WebView::loadHTMLString(const std::string& html, const std::string& baseURL) {
    net::URLRequest request(net::URL(baseURL.empty() ? "about:blank" : baseURL));
    if (auto d = delegate(); d && !d->shouldStartLoadWithRequest(*this, request, WebViewNavigationType::Other)) return;
    stopLoading();
    request_ = request;
    loading_ = true;
    unsigned long long gen = ++loadGeneration_;
    if (auto d = delegate()) d->webViewDidStartLoad(*this);
    std::weak_ptr<View> weak = weak_from_this();
    std::string url = request.url().absoluteString();
    base::RunLoop::main().performAfterDelay(0, [weak, gen, html, url] {
        auto self = std::static_pointer_cast<WebView>(weak.lock());
        if (self && self->loadGeneration_ == gen) self->finishLoad(html, url);
    });
}

bool WebView::startLoad(const net::URLRequest& original, WebViewNavigationType type, bool addToHistory) {
    auto keep = shared_from_this();
    if (auto d = delegate(); d && !d->shouldStartLoadWithRequest(*this, original, type)) return false;
    // Redirects come back here, so the delegate sees every address loaded.
    net::URLRequest request = original;
    request.setFollowsRedirects(false);
    if (!redirecting_) redirectCount_ = 0;
    stopLoading();
    request_ = request;
    loading_ = true;
    if (addToHistory) {
        if (historyIndex_ + 1 < static_cast<int>(history_.size()))
            history_.resize(static_cast<std::size_t>(historyIndex_) + 1);
        history_.push_back(request);
        historyIndex_ = static_cast<int>(history_.size()) - 1;
    }
    unsigned long long gen = ++loadGeneration_;
    if (auto d = delegate()) d->webViewDidStartLoad(*this);
    std::string scheme = request.url().scheme();
    std::string url = request.url().absoluteString();
    std::weak_ptr<View> weak = weak_from_this();
    auto later = [weak, gen](std::function<void(WebView&)> fn) {
        base::RunLoop::main().performAfterDelay(0, [weak, gen, fn = std::move(fn)] {
            auto self = std::static_pointer_cast<WebView>(weak.lock());
            if (self && self->loadGeneration_ == gen) fn(*self);
        });
    };
    if (scheme == "http" || scheme == "https") {
        connection_ = net::URLConnection::connectionWithRequest(request, std::make_shared<WebViewLoader>(weak, gen));
        if (!connection_)
            later(
                [](WebView& v) { v.failLoad(net::Error(net::URLErrorDomain, net::URLErrorCode::BadURL, "bad URL")); });
        return true;
    }
    if (scheme == "file") {
        std::string path = net::replacingPercentEscapes(request.url().path()).value_or(request.url().path());
        auto read = readPageFile(path);
        if (auto* error = std::get_if<net::Error>(&read)) {
            later([error = *error](WebView& v) { v.failLoad(error); });
            return true;
        }
        later([html = std::get<std::string>(std::move(read)), url](WebView& v) { v.finishLoad(html, url); });
        return true;
    }
    if (scheme == "data") {
        std::size_t comma = url.find(',');
        std::string payload = comma == std::string::npos ? "" : url.substr(comma + 1);
        std::string html = net::replacingPercentEscapes(payload).value_or(payload);
        later([html, url](WebView& v) { v.finishLoad(html, url); });
        return true;
    }
    if (scheme == "about") {
        later([url](WebView& v) { v.finishLoad("", url); });
        return true;
    }
    later([](WebView& v) {
        v.failLoad(net::Error(net::URLErrorDomain, net::URLErrorCode::UnsupportedURL, "unsupported URL"));
    });
    return true;
}

void WebView::followRedirect(const std::string& location, long status) {
    auto keep = shared_from_this();
    connection_.reset();
    if (++redirectCount_ > MaxRedirects) {
        failLoad(net::Error(net::URLErrorDomain, net::URLErrorCode::HTTPTooManyRedirects, "Too many HTTP redirects."));
        return;
    }
    const std::string base = request_ ? request_->url().absoluteString() : std::string();
    const std::string target = WebPage::resolve(location, base);
    // A server's redirect to a file, inline data, a script or a blank page
    // is not followed, whatever page it came from. Another address (a
    // sign-in's answer to the program, say) goes to the delegate as any
    // other load does.
    const std::string scheme = schemeOf(target);
    if (scheme == "file" || scheme == "data" || scheme == "javascript" || scheme == "about") {
        failLoad(net::notWebRedirectError(target));
        return;
    }
    net::URLRequest next{net::URL(target)};
    // 307 and 308 repeat the request as it was; the others fetch the new page.
    // A body (a form's fields, passwords included) goes to its own origin only.
    if ((status == 307 || status == 308) && request_ && !request_->httpBody().empty() &&
        net::leavesOrigin(request_->url(), target)) {
        base::Dictionary info;
        info.set("NSErrorFailingURLStringKey", target);
        failLoad(net::Error(net::URLErrorDomain, net::URLErrorCode::RedirectToOtherOriginRefused,
                            "The page sent what was typed into it on to another site. It was not sent there.",
                            std::move(info)));
        return;
    }
    if ((status == 307 || status == 308) && request_) {
        next.setHTTPMethod(request_->httpMethod());
        next.setHTTPBody(request_->httpBody());
        if (auto type = request_->valueForHTTPHeaderField("Content-Type")) next.setValue(*type, "Content-Type");
    }
    redirecting_ = true;
    const bool started = startLoad(next, WebViewNavigationType::Other, false);
    redirecting_ = false;
    if (!started) {
        // Refused by the delegate: the load ends here, as an interrupted one.
        loading_ = false;
        ++loadGeneration_;
        failLoad(net::Error("WebKitErrorDomain", 102, "Frame load interrupted"));
        return;
    }
    if (historyIndex_ >= 0 && historyIndex_ < static_cast<int>(history_.size()))
        history_[static_cast<std::size_t>(historyIndex_)] = next;
}

namespace {

// A page is read this many bytes at a time, a slice per turn of the run
// loop with a short pause between, so that the window is drawn and answers
// while a large page is read.
constexpr std::size_t kPageSliceBytes = 256 * 1024;
constexpr double kPageSlicePause = 0.001;

}  // namespace

void WebView::finishLoad(const std::string& html, const std::string& url) {
    connection_.reset();
    reader_ = std::make_unique<WebPageReader>(html, url);
    readPage(loadGeneration_);
}

void WebView::readPage(unsigned long long generation) {
    auto keep = shared_from_this();
    if (!reader_ || generation != loadGeneration_) return;
    if (!reader_->read(kPageSliceBytes)) {
        std::weak_ptr<View> weak = weak_from_this();
        base::RunLoop::main().performAfterDelay(kPageSlicePause, [weak, generation] {
            if (auto self = std::static_pointer_cast<WebView>(weak.lock())) self->readPage(generation);
        });
        return;
    }
    page_ = reader_->take();
    reader_.reset();
    loading_ = false;
    setBounds(Rect(Point(0, 0), bounds().size));
    layout_.setPage(page_, textWidth());
    rebuildFields();
    setNeedsDisplay();
    if (auto d = delegate()) d->webViewDidFinishLoad(*this);
}

void WebView::failLoad(const net::Error& error) {
    auto keep = shared_from_this();
    connection_.reset();
    loading_ = false;
    setNeedsDisplay();
    if (auto d = delegate()) d->didFailLoadWithError(*this, error);
}

void WebView::stopLoading() {
    if (connection_) connection_->cancel();
    connection_.reset();
    reader_.reset();
    if (loading_) ++loadGeneration_;
    loading_ = false;
}

void WebView::reload() {
    if (request_) startLoad(*request_, WebViewNavigationType::Reload, false);
}

void WebView::goBack() {
    if (!canGoBack()) return;
    --historyIndex_;
    startLoad(history_[static_cast<std::size_t>(historyIndex_)], WebViewNavigationType::BackForward, false);
}

void WebView::goForward() {
    if (!canGoForward()) return;
    ++historyIndex_;
    startLoad(history_[static_cast<std::size_t>(historyIndex_)], WebViewNavigationType::BackForward, false);
}

std::string WebView::stringByEvaluatingJavaScriptFromString(const std::string& script) {
    std::string s = script;
    while (!s.empty() && (s.back() == ';' || std::isspace(static_cast<unsigned char>(s.back())))) s.pop_back();
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.erase(s.begin());
    if (s == "document.title") return page_.title;
    if (s == "document.body.innerText" || s == "document.body.textContent") return page_.text();
    if (s == "window.location.href" || s == "document.location.href" || s == "location.href" || s == "document.URL")
        return request_ ? request_->url().absoluteString() : std::string();
    // document.getElementById('id').innerHTML, with either kind of quote.
    const std::string prefix = "document.getElementById(", suffix = ").innerHTML";
    if (s.size() > prefix.size() + suffix.size() + 2 && s.rfind(prefix, 0) == 0 &&
        s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0) {
        std::string arg = s.substr(prefix.size(), s.size() - prefix.size() - suffix.size());
        if (arg.size() >= 2 && (arg.front() == '\'' || arg.front() == '"') && arg.back() == arg.front())
            return elementInnerHTML(arg.substr(1, arg.size() - 2)).value_or("");
    }
    return {};
}

std::optional<std::string> WebView::elementInnerHTML(const std::string& id) const { return page_.innerHTML(id); }

std::shared_ptr<TextField> WebView::textFieldNamed(const std::string& name) const {
    for (const auto& f : fields_) {
        const auto& in = page_.forms[static_cast<std::size_t>(f.form)].inputs[static_cast<std::size_t>(f.input)];
        if (in.name == name)
            if (auto field = std::dynamic_pointer_cast<TextField>(f.view)) return field;
    }
    return nullptr;
}

std::shared_ptr<Button> WebView::submitButtonTitled(const std::string& title) const {
    for (const auto& f : fields_)
        if (auto button = std::dynamic_pointer_cast<Button>(f.view); button && button->currentTitle() == title)
            return button;
    return nullptr;
}

// ---- Form controls

namespace {

const gfx::Font& controlFont() {
    static const gfx::Font font = gfx::Font::systemFont(15);
    return font;
}

// How much a disabled control is dimmed.
constexpr Float kDisabledAlpha = 0.5f;

// What names a control for scripts and screen readers: its placeholder,
// else its name.
std::string controlName(const WebPage::Input& in) { return in.placeholder.empty() ? in.name : in.placeholder; }

// A checkbox (a rounded box) or radio button (a circle) of a page, with the
// text that follows it on the page beside it; a tap on either toggles it.
class WebCheckBox : public Control {
public:
    WebCheckBox(bool radio, std::string label) : radio_(radio), label_(std::move(label)) {
        setBackgroundColor(gfx::Color::clear());
    }
    std::string className() const override { return radio_ ? "RadioButton" : "CheckBox"; }
    std::string displayedText() const override { return label_; }

    void drawRect(gfx::Context& ctx, Rect rect) override {
        (void)rect;
        const Float side = WebPageLayout::CheckBoxSide;
        const Rect box = Rect(1, 1, side - 2, side - 2);
        const bool on = isSelected();
        const gfx::Color edge = on ? draw::darker(draw::systemBlue(), 0.15f) : palette::controlEdge();
        if (radio_) {
            ctx.setFillColor(gfx::Color::white());
            ctx.fillEllipseInRect(box);
            ctx.setStrokeColor(edge);
            ctx.setLineWidth(1);
            ctx.strokeEllipseInRect(box.inset(0.5f, 0.5f));
            if (on) {
                ctx.setFillColor(draw::systemBlue());
                ctx.fillEllipseInRect(box.inset(5, 5));
            }
        } else if (on) {
            draw::fillRoundedRect(ctx, box, 4, draw::systemBlue());
            draw::strokeRoundedRect(ctx, box.inset(0.5f, 0.5f), 4, edge, 1);
            draw::checkmark(ctx, box.inset(4, 4), gfx::Color::white(), 2.5f);
        } else {
            draw::fillVerticalGradient(ctx, box, palette::switchOffTop(), gfx::Color::white(), 4);
            draw::strokeRoundedRect(ctx, box.inset(0.5f, 0.5f), 4, edge, 1);
        }
        if (!label_.empty()) {
            const Float indent = WebPageLayout::CheckLabelIndent;
            const Rect area(indent, WebPageLayout::checkLabelTop(), std::max<Float>(bounds().width() - indent, 1),
                            bounds().height() - WebPageLayout::checkLabelTop() + 1);
            draw::text(ctx, label_, area, controlFont(), palette::pageInk(), TextAlignment::Left,
                       LineBreakMode::WordWrap);
        }
    }

private:
    bool radio_;
    std::string label_;
};

// A select: shows what is chosen, and a tap opens the list of its options.
class WebSelect : public Control {
public:
    WebSelect() { setBackgroundColor(gfx::Color::clear()); }
    std::string className() const override { return "Select"; }
    // What it shows: the chosen option's label ("" when none; a select of
    // several choices joins them).
    void setChoice(std::string choice) {
        choice_ = std::move(choice);
        setNeedsDisplay();
    }
    std::string displayedText() const override { return choice_; }

    void drawRect(gfx::Context& ctx, Rect rect) override {
        (void)rect;
        const Rect b = bounds().inset(0.5f, 0.5f);
        draw::fillVerticalGradient(ctx, b, gfx::Color::white(), palette::switchOffTop(), 7);
        draw::strokeRoundedRect(ctx, b, 7, isHighlighted() ? palette::editingEdge() : palette::controlEdge(), 1);
        // A small arrow pointing down at the right: a list opens.
        const Float cx = b.maxX() - 16, cy = b.midY();
        ctx.beginPath();
        ctx.moveTo(cx - 5, cy - 2.5f);
        ctx.lineTo(cx + 5, cy - 2.5f);
        ctx.lineTo(cx, cy + 3.5f);
        ctx.closePath();
        ctx.setFillColor(palette::infoDarkInk());
        ctx.fillPath();
        const Rect line(10, 0, std::max<Float>(b.width() - 40, 1), bounds().height());
        draw::textCentered(ctx, choice_.empty() ? std::string("None") : choice_, line, controlFont(),
                           choice_.empty() ? palette::placeholderInk() : gfx::Color::black(), TextAlignment::Left);
    }

private:
    std::string choice_;
};

// A text area: a multi-line text box in a rounded frame.
class WebTextArea : public TextView {
public:
    WebTextArea() {
        setBackgroundColor(gfx::Color::clear());
        setFont(controlFont());
    }
    std::string className() const override { return "TextArea"; }
    void drawRect(gfx::Context& ctx, Rect rect) override {
        const Rect b = bounds().inset(0.5f, 0.5f);
        draw::fillRoundedRect(ctx, b, 7, gfx::Color::white());
        draw::strokeRoundedRect(ctx, b, 7, isEditing() ? palette::editingEdge() : palette::controlEdge(), 1);
        TextView::drawRect(ctx, rect);
    }
};

// The bar above a select's options and its height.
constexpr Float kOptionBarHeight = 44;
constexpr Float kOptionRowHeight = 44;
// Rows the list shows at once (more scroll).
constexpr int kOptionRowsShown = 5;

// The options of a select, in a sheet at the bottom of the window: a tap on
// an option chooses it (and closes the sheet of a select of one choice) or,
// in a select of several, adds or removes it; Done closes the sheet.
// Disabled options show dimmed and cannot be chosen.
class WebOptionList : public View, public TableViewDataSource, public TableViewDelegate {
public:
    WebOptionList(const WebPage::Input& select, std::function<void(std::size_t)> choose, std::function<void()> done)
        : options_(select.options), choose_(std::move(choose)), done_(std::move(done)) {
        const auto rows = static_cast<int>(std::min<std::size_t>(options_.size(), kOptionRowsShown));
        setFrame(Rect(0, 0, 320, kOptionBarHeight + std::max(rows, 1) * kOptionRowHeight));
        setBackgroundColor(palette::keyboardBackground());
        doneButton_ = Button::buttonWithType(ButtonType::RoundedRect);
        doneButton_->setTitle("Done");
        doneButton_->addTarget([this] { done_(); }, ControlEvents::TouchUpInside);
        addSubview(doneButton_);
        table_ = std::make_shared<TableView>(TableViewStyle::Plain);
        table_->setRowHeight(kOptionRowHeight);
        addSubview(table_);
    }
    std::string className() const override { return "OptionList"; }
    // Hands the table its data source once the list is owned.
    void start(std::vector<bool> selected) {
        auto self = std::static_pointer_cast<WebOptionList>(shared_from_this());
        table_->setDataSource(std::weak_ptr<TableViewDataSource>(self));
        table_->setDelegate(std::weak_ptr<TableViewDelegate>(self));
        setSelected(std::move(selected));
        // The first chosen option shows.
        const auto first = std::find(selected_.begin(), selected_.end(), true);
        if (first != selected_.end())
            table_->scrollToRowAtIndexPath({0, static_cast<int>(first - selected_.begin())},
                                           TableViewScrollPosition::Middle, false);
    }
    void setSelected(std::vector<bool> selected) {
        selected_ = std::move(selected);
        table_->reloadData();
    }
    void layoutSubviews() override {
        const Rect b = bounds();
        doneButton_->setFrame(Rect(b.maxX() - 78, 6, 72, 32));
        table_->setFrame(Rect(0, kOptionBarHeight, b.width(), std::max<Float>(b.height() - kOptionBarHeight, 0)));
    }
    void drawRect(gfx::Context& ctx, Rect rect) override {
        (void)rect;
        const Rect bar(0, 0, bounds().width(), kOptionBarHeight);
        draw::fillVerticalGradient(ctx, bar, palette::keyboardTop(), palette::keyboardBottom());
        ctx.setFillColor(palette::keyboardRule());
        ctx.fillRect(Rect(0, 0, bar.width(), 1));
        ctx.fillRect(Rect(0, bar.maxY() - 1, bar.width(), 1));
    }

    int numberOfRowsInSection(TableView&, int) override { return static_cast<int>(options_.size()); }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& table, const IndexPath& path) override {
        auto cell = table.dequeueReusableCellWithIdentifier("option");
        if (!cell) cell = std::make_shared<TableViewCell>(TableViewCellStyle::Default, "option");
        const auto row = static_cast<std::size_t>(path.row);
        const auto& option = options_[row];
        cell->textLabel()->setText(option.label.empty() ? option.value : option.label);
        cell->textLabel()->setFont(gfx::Font::systemFont(17));
        cell->textLabel()->setTextColor(option.disabled ? draw::secondaryText() : draw::labelText());
        cell->setSelectionStyle(option.disabled ? TableViewCellSelectionStyle::None
                                                : TableViewCellSelectionStyle::Blue);
        cell->setAccessoryType(row < selected_.size() && selected_[row] ? TableViewCellAccessoryType::Checkmark
                                                                        : TableViewCellAccessoryType::None);
        return cell;
    }
    std::optional<IndexPath> willSelectRowAtIndexPath(TableView&, const IndexPath& path) override {
        if (options_[static_cast<std::size_t>(path.row)].disabled) return std::nullopt;
        return path;
    }
    void didSelectRowAtIndexPath(TableView& table, const IndexPath& path) override {
        table.deselectRowAtIndexPath(path, false);
        choose_(static_cast<std::size_t>(path.row));
    }

private:
    std::vector<WebPage::Option> options_;
    std::vector<bool> selected_;
    std::function<void(std::size_t)> choose_;
    std::function<void()> done_;
    std::shared_ptr<Button> doneButton_;
    std::shared_ptr<TableView> table_;
};

// What a select shows for the options chosen in it.
std::string choiceText(const WebPage::Input& select, const std::vector<bool>& selected) {
    std::string text;
    for (std::size_t k = 0; k < select.options.size() && k < selected.size(); ++k) {
        if (!selected[k]) continue;
        const auto& option = select.options[k];
        if (!text.empty()) text += ", ";
        text += option.label.empty() ? option.value : option.label;
    }
    return text;
}

// A form's entries as application/x-www-form-urlencoded, serialized as HTML
// does: every line break as CR LF, a blank as "+", and every byte but ASCII
// letters, digits and "*-._" percent-escaped.
std::string formURLEncoded(const std::vector<std::pair<std::string, std::string>>& entries) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const auto append = [](std::string& out, const std::string& text) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            const auto c = static_cast<unsigned char>(text[i]);
            if (c == '\r' || c == '\n') {
                out += "%0D%0A";
                if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            } else if (c == ' ') {
                out += '+';
            } else if (std::isalnum(c) || c == '*' || c == '-' || c == '.' || c == '_') {
                out += static_cast<char>(c);
            } else {
                out += '%';
                out += kHex[c >> 4];
                out += kHex[c & 15];
            }
        }
    };
    std::string out;
    for (const auto& [name, value] : entries) {
        if (!out.empty()) out += '&';
        append(out, name);
        out += '=';
        append(out, value);
    }
    return out;
}

}  // namespace

const WebPage::Input& WebView::inputAt(std::size_t formIndex, std::size_t inputIndex) const {
    return page_.forms[formIndex].inputs[inputIndex];
}

void WebView::rebuildFields() {
    closeOptions();
    for (auto& f : fields_) f.view->removeFromSuperview();
    fields_.clear();
    states_.clear();
    for (const auto& form : page_.forms) states_.push_back(form.initialState());
    std::weak_ptr<View> weak = weak_from_this();
    // Runs fn on the web view, if it is still there.
    const auto on = [weak](auto fn) {
        return [weak, fn] {
            if (auto self = std::static_pointer_cast<WebView>(weak.lock())) fn(*self);
        };
    };
    for (std::size_t i = 0; i < layout_.size(); ++i) {
        const auto& block = layout_.block(i);
        if (!block.isField()) continue;
        const auto ref = page_.paragraphFields[block.paragraph];
        const auto formIndex = static_cast<std::size_t>(ref.form);
        const auto inputIndex = static_cast<std::size_t>(ref.input);
        const auto& in = inputAt(formIndex, inputIndex);
        const auto& state = states_[formIndex][inputIndex];
        std::shared_ptr<View> view;
        if (in.isButton()) {
            auto button = Button::buttonWithType(ButtonType::RoundedRect);
            button->setTitle(layout_.text(i));
            if (in.isSubmit())
                button->addTarget(
                    on([formIndex, inputIndex](WebView& v) { v.submitFormFromFields(formIndex, inputIndex); }),
                    ControlEvents::TouchUpInside);
            else if (in.type == "reset")
                button->addTarget(on([formIndex](WebView& v) { v.resetForm(formIndex); }),
                                  ControlEvents::TouchUpInside);
            view = button;
        } else if (in.isCheckable()) {
            auto box = std::make_shared<WebCheckBox>(in.type == "radio", layout_.text(i));
            box->setAccessibilityLabel(block.label == WebPageLayout::NoLabel ? controlName(in) : layout_.text(i));
            box->setSelected(state.checked);
            box->addTarget(on([formIndex, inputIndex](WebView& v) { v.toggle(formIndex, inputIndex); }),
                           ControlEvents::TouchUpInside);
            view = box;
        } else if (in.isSelect()) {
            auto select = std::make_shared<WebSelect>();
            select->setAccessibilityLabel(controlName(in));
            select->setChoice(choiceText(in, state.selected));
            select->addTarget(on([formIndex, inputIndex](WebView& v) { v.showOptions(formIndex, inputIndex); }),
                              ControlEvents::TouchUpInside);
            view = select;
        } else if (in.isTextArea()) {
            auto area = std::make_shared<WebTextArea>();
            area->setText(state.value);
            area->setAccessibilityLabel(controlName(in));
            area->setEditable(!in.disabled);
            area->setAutocorrectionType(TextAutocorrectionType::No);
            view = area;
        } else {
            auto field = std::make_shared<TextField>();
            field->setBorderStyle(TextBorderStyle::RoundedRect);
            field->setFont(controlFont());
            field->setText(state.value);
            field->setPlaceholder(in.placeholder);
            field->setAccessibilityLabel(controlName(in));
            field->setSecureTextEntry(in.type == "password");
            if (in.type == "email") field->setKeyboardType(KeyboardType::EmailAddress);
            field->setAutocorrectionType(TextAutocorrectionType::No);
            field->setReturnKeyType(ReturnKeyType::Go);
            // The return key submits the form as a browser does.
            field->addTarget(on([formIndex](WebView& v) { v.submitImplicitly(formIndex); }),
                             ControlEvents::EditingDidEndOnExit);
            // The list of a select gives way to the keyboard.
            field->addTarget(on([](WebView& v) { v.closeOptions(); }), ControlEvents::EditingDidBegin);
            view = field;
        }
        if (in.disabled) {
            if (auto control = std::dynamic_pointer_cast<Control>(view)) control->setEnabled(false);
            view->setAlpha(kDisabledAlpha);
        }
        addSubview(view);
        fields_.push_back(FieldView{i, ref.form, ref.input, view});
    }
    setNeedsLayout();
}

void WebView::takeTypedText(std::size_t formIndex) {
    for (const auto& f : fields_) {
        if (static_cast<std::size_t>(f.form) != formIndex) continue;
        auto& state = states_[formIndex][static_cast<std::size_t>(f.input)];
        if (auto field = std::dynamic_pointer_cast<TextField>(f.view)) state.value = field->text();
        else if (auto area = std::dynamic_pointer_cast<TextView>(f.view)) state.value = area->text();
    }
}

void WebView::showStates(std::size_t formIndex, bool typedText) {
    for (const auto& f : fields_) {
        if (static_cast<std::size_t>(f.form) != formIndex) continue;
        const auto inputIndex = static_cast<std::size_t>(f.input);
        const auto& state = states_[formIndex][inputIndex];
        if (auto box = std::dynamic_pointer_cast<WebCheckBox>(f.view)) {
            box->setSelected(state.checked);
            box->setNeedsDisplay();
        } else if (auto select = std::dynamic_pointer_cast<WebSelect>(f.view)) {
            select->setChoice(choiceText(inputAt(formIndex, inputIndex), state.selected));
        } else if (!typedText) {
            continue;
        } else if (auto field = std::dynamic_pointer_cast<TextField>(f.view)) {
            field->setText(state.value);
        } else if (auto area = std::dynamic_pointer_cast<TextView>(f.view)) {
            area->setText(state.value);
        }
    }
    if (auto list = std::dynamic_pointer_cast<WebOptionList>(optionList_);
        list && static_cast<std::size_t>(optionForm_) == formIndex)
        list->setSelected(states_[formIndex][static_cast<std::size_t>(optionInput_)].selected);
}

void WebView::toggle(std::size_t formIndex, std::size_t inputIndex) {
    if (formIndex >= states_.size() || inputIndex >= states_[formIndex].size()) return;
    const auto& form = page_.forms[formIndex];
    const auto& in = form.inputs[inputIndex];
    if (in.disabled || !in.isCheckable()) return;
    auto& states = states_[formIndex];
    // A radio button stays checked when tapped again; checking one
    // unchecks the rest of its group.
    if (in.type == "radio") form.checkRadio(states, inputIndex);
    else states[inputIndex].checked = !states[inputIndex].checked;
    showStates(formIndex, false);
}

void WebView::resetForm(std::size_t formIndex) {
    if (formIndex >= states_.size()) return;
    states_[formIndex] = page_.forms[formIndex].initialState();
    showStates(formIndex, true);
}

void WebView::showOptions(std::size_t formIndex, std::size_t inputIndex) {
    if (formIndex >= states_.size() || inputIndex >= states_[formIndex].size()) return;
    const auto& in = inputAt(formIndex, inputIndex);
    if (in.disabled || !in.isSelect()) return;
    closeOptions();
    for (const auto& f : fields_)
        if (f.view->isFirstResponder()) f.view->resignFirstResponder();
    std::weak_ptr<View> weak = weak_from_this();
    auto list = std::make_shared<WebOptionList>(
        in,
        [weak, formIndex, inputIndex](std::size_t option) {
            if (auto self = std::static_pointer_cast<WebView>(weak.lock()))
                self->chooseOption(formIndex, inputIndex, option);
        },
        [weak] {
            if (auto self = std::static_pointer_cast<WebView>(weak.lock())) self->closeOptions();
        });
    // At the bottom of the window, where the keyboard would be.
    std::shared_ptr<View> host = window();
    if (!host) host = shared_from_this();
    const Rect hostBounds = host->bounds();
    list->setFrame(Rect(hostBounds.minX(), hostBounds.maxY() - list->frame().height(), hostBounds.width(),
                        list->frame().height()));
    host->addSubview(list);
    optionList_ = list;
    optionForm_ = static_cast<int>(formIndex);
    optionInput_ = static_cast<int>(inputIndex);
    list->start(states_[formIndex][inputIndex].selected);
    // The page may scroll as far as the list covers it, and does when the
    // select would be behind the list.
    Rect b = bounds();
    const Float listTop = convertRectFromView(list->frame(), host.get()).minY();
    coveredBottom_ = std::max<Float>(0, b.maxY() - listTop);
    for (const auto& f : fields_) {
        if (static_cast<std::size_t>(f.form) != formIndex || static_cast<std::size_t>(f.input) != inputIndex) continue;
        const Float below = layout_.frame(f.block).maxY() + 8 - listTop;
        if (below <= 0) break;
        b.origin.y =
            std::clamp<Float>(b.minY() + below, 0, std::max<Float>(0, pageHeight() + coveredBottom_ - b.height()));
        setBounds(b);
        settle();
        setNeedsLayout();
        setNeedsDisplay();
        break;
    }
}

void WebView::chooseOption(std::size_t formIndex, std::size_t inputIndex, std::size_t option) {
    if (formIndex >= states_.size() || inputIndex >= states_[formIndex].size()) return;
    const auto& in = inputAt(formIndex, inputIndex);
    auto& selected = states_[formIndex][inputIndex].selected;
    if (in.disabled || option >= in.options.size() || in.options[option].disabled) return;
    selected.resize(in.options.size());
    if (in.multiple) {
        selected[option] = !selected[option];
    } else {
        std::fill(selected.begin(), selected.end(), false);
        selected[option] = true;
    }
    showStates(formIndex, false);
    if (!in.multiple) closeOptions();
}

void WebView::closeOptions() {
    if (!optionList_) return;
    auto list = std::move(optionList_);
    optionList_.reset();
    optionForm_ = optionInput_ = -1;
    list->removeFromSuperview();
    if (coveredBottom_ > 0) {
        // Back within the page's end.
        coveredBottom_ = 0;
        setNeedsLayout();
        setNeedsDisplay();
    }
    // A choice or its Done button closes the list from inside its own
    // handling: it is let go once that has returned.
    base::RunLoop::main().performAfterDelay(0, [list] {});
}

void WebView::willMoveToWindow(Window* newWindow) {
    // The list of a select lies in the window: it goes with the web view.
    if (!newWindow) closeOptions();
    View::willMoveToWindow(newWindow);
}

void WebView::submitImplicitly(std::size_t formIndex) {
    if (formIndex >= page_.forms.size()) return;
    const auto& form = page_.forms[formIndex];
    if (!form.allowsImplicitSubmission()) return;
    submitFormFromFields(formIndex, form.defaultButton());
}

void WebView::submitFormFromFields(std::size_t formIndex, std::optional<std::size_t> submitInput) {
    if (formIndex >= page_.forms.size() || formIndex >= states_.size()) return;
    const auto& form = page_.forms[formIndex];
    if (submitInput) {
        // Only an enabled submit button submits.
        if (*submitInput >= form.inputs.size()) return;
        const auto& button = form.inputs[*submitInput];
        if (!button.isSubmit() || button.disabled) return;
    }
    takeTypedText(formIndex);
    closeOptions();
    for (const auto& f : fields_)
        if (f.view->isFirstResponder()) f.view->resignFirstResponder();
    send(formIndex, form.entryList(states_[formIndex], submitInput));
}

void WebView::followLink(const std::string& href) {
    std::string base = request_ ? request_->url().absoluteString() : std::string();
    const std::string target = WebPage::resolve(href, base);
    // A script link does nothing, and a web page cannot open local content.
    if (!pageMayOpen(target)) return;
    startLoad(net::URLRequest(net::URL(target)), WebViewNavigationType::LinkClicked, true);
}

void WebView::submitForm(std::size_t formIndex, const std::vector<std::pair<std::string, std::string>>& values) {
    if (formIndex >= page_.forms.size()) return;
    const WebPage::Form& form = page_.forms[formIndex];
    // What the page would send as it stands, each value given in place of
    // the first entry of its name (or after the rest).
    auto entries = form.entryList(form.initialState(), std::nullopt);
    for (const auto& given : values) {
        auto it = std::find_if(entries.begin(), entries.end(), [&](const auto& e) { return e.first == given.first; });
        if (it != entries.end()) it->second = given.second;
        else entries.emplace_back(given);
    }
    send(formIndex, entries);
}

void WebView::send(std::size_t formIndex, const std::vector<std::pair<std::string, std::string>>& entries) {
    const WebPage::Form& form = page_.forms[formIndex];
    if (!pageMayOpen(form.action)) return;  // as a link to the same address
    const std::string query = formURLEncoded(entries);
    net::URLRequest request;
    if (form.method == "POST") {
        request = net::URLRequest(net::URL(form.action));
        request.setHTTPMethod("POST");
        request.setValue(std::string("application/x-www-form-urlencoded"), "Content-Type");
        request.setHTTPBody(std::string_view(query));
    } else {
        std::string action = form.action;
        std::size_t q = action.find('?');
        if (q != std::string::npos) action = action.substr(0, q);
        request = net::URLRequest(net::URL(action + (query.empty() ? "" : "?" + query)));
    }
    startLoad(request, WebViewNavigationType::FormSubmitted, true);
}

Float WebView::textWidth() const { return std::max<Float>(bounds().width() - 20, 1); }

namespace {

// How far beyond the view's top and bottom blocks are measured, so that a
// wheel notch finds them measured.
constexpr Float kMeasuredMargin = 480;

}  // namespace

void WebView::settle() {
    layout_.setWidth(textWidth());
    Rect b = bounds();
    // The block at the top of the view, and how far into it the view starts.
    const std::size_t anchor = layout_.blockAt(b.minY());
    const bool anchored = anchor < layout_.size() && b.minY() > 0;
    const Float anchorTop = anchored ? layout_.top(anchor) : 0;
    layout_.measure(b.minY() - kMeasuredMargin, b.maxY() + kMeasuredMargin);
    Float y = b.minY() + (anchored ? layout_.top(anchor) - anchorTop : 0);
    y = std::clamp<Float>(y, 0, std::max<Float>(0, layout_.height() + coveredBottom_ - b.height()));
    if (y == b.minY()) return;
    b.origin.y = y;
    setBounds(b);
    layout_.measure(b.minY() - kMeasuredMargin, b.maxY() + kMeasuredMargin);
}

std::vector<std::pair<Rect, std::size_t>> WebView::linkRects() const {
    std::vector<std::pair<Rect, std::size_t>> out;
    const Rect b = bounds();
    layout_.measure(b.minY(), b.maxY());
    for (std::size_t i = layout_.blockAt(b.minY()); i < layout_.size() && layout_.top(i) < b.maxY(); ++i) {
        const int link = layout_.link(i);
        if (link >= 0) out.emplace_back(layout_.frame(i), static_cast<std::size_t>(link));
    }
    return out;
}

void WebView::layoutSubviews() {
    View::layoutSubviews();
    settle();
    for (auto& f : fields_) f.view->setFrame(layout_.frame(f.block));
}

void WebView::drawRect(gfx::Context& ctx, Rect rect) {
    (void)rect;
    const Rect b = bounds();
    const gfx::Font font = gfx::Font::systemFont(15);
    if (!layout_.titleText().empty() && layout_.titleFrame().minY() < b.maxY() &&
        layout_.titleFrame().maxY() > b.minY())
        draw::text(ctx, layout_.titleText(), Rect(10, 10, layout_.width(), 1000), gfx::Font::boldSystemFont(18),
                   gfx::Color::black(), TextAlignment::Left, LineBreakMode::WordWrap);
    // Only the blocks that show are drawn (measured first if not yet).
    layout_.measure(b.minY(), b.maxY());
    for (std::size_t i = layout_.blockAt(b.minY()); i < layout_.size() && layout_.top(i) < b.maxY(); ++i) {
        const auto& block = layout_.block(i);
        if (block.isField()) continue;  // a subview
        const int link = layout_.link(i);
        const gfx::Color ink = block.kind == WebPageLayout::Kind::Note ? draw::secondaryText()
                               : link >= 0                             ? palette::linkInk()
                                                                       : palette::pageInk();
        const Rect frame = layout_.frame(i);
        const Size s = draw::text(ctx, layout_.text(i), Rect(10, frame.minY(), layout_.width(), frame.height() + 1),
                                  font, ink, TextAlignment::Left, LineBreakMode::WordWrap);
        if (link >= 0) {
            ctx.setFillColor(ink);
            ctx.fillRect(Rect(10, frame.minY() + s.height - 1, std::min(s.width, layout_.width()), 1));
        }
    }
    if (loading_)
        draw::textCentered(ctx, "Loading\u2026", Rect(0, b.midY() - 10, b.width(), 20), font, draw::secondaryText());
}

void WebView::touchesEnded(const TouchSet& touches, const Event* event) {
    (void)event;
    if (touches.empty()) return;
    Point p = touches.front()->locationInView(this);
    for (auto& [r, link] : linkRects())
        if (r.inset(-4, -4).contains(p)) {
            followLink(page_.links[link].href);
            return;
        }
    // A tap on the page itself leaves the field being edited (the keyboard
    // or a select's list goes).
    closeOptions();
    for (const auto& f : fields_)
        if (f.view->isFirstResponder()) f.view->resignFirstResponder();
}

Float WebView::pageHeight() const {
    layout_.setWidth(textWidth());
    return layout_.height();
}

bool WebView::scrollWheel(Point point, Float dx, Float dy) {
    (void)point, (void)dx;
    Rect b = bounds();
    const Float bottom = std::max<Float>(0, pageHeight() + coveredBottom_ - b.height());
    if (dy == 0 || bottom <= 0) return false;
    const Float y = std::clamp<Float>(b.origin.y - dy * ScrollView::wheelStep(b.height()), 0, bottom);
    if (y != b.origin.y) {
        b.origin.y = y;
        setBounds(b);
        settle();
        setNeedsLayout();
        setNeedsDisplay();
    }
    return true;
}

std::string WebView::displayedText() const {
    std::string t = page_.title;
    std::string body = page_.text();
    if (!body.empty()) t += (t.empty() ? "" : "\n") + body;
    if (!layout_.note().empty()) t += (t.empty() ? "" : "\n") + layout_.note();
    return t;
}

void WebView::collectAccessibleElements(std::vector<AccessibleElement>& out) const {
    auto self = std::const_pointer_cast<View>(shared_from_this());
    for (auto& [r, link] : linkRects())
        out.push_back(AccessibleElement{page_.links[link].text, "Link", convertRectToView(r, nullptr), true, self});
}

}  // namespace ui
