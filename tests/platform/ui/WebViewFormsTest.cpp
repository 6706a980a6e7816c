#include "UITestSupport.h"
#include "fakes/HttpServer.h"

using namespace ui;

namespace {

// Refuses every address that contains the blocked text.
class Navigator : public WebViewDelegate {
public:
    std::string blocked = "/never";
    bool shouldStartLoadWithRequest(WebView&, const net::URLRequest& request, WebViewNavigationType type) override {
        asked.push_back(request.url().absoluteString());
        types.push_back(type);
        return request.url().absoluteString().find(blocked) == std::string::npos;
    }
    void webViewDidFinishLoad(WebView&) override { ++finished; }
    void didFailLoadWithError(WebView&, const net::Error& error) override {
        errors.push_back(error.code());
        messages.push_back(error.localizedDescription());
    }
    std::vector<std::string> asked;
    std::vector<std::string> messages;
    std::vector<WebViewNavigationType> types;
    std::vector<long> errors;
    int finished = 0;
};

using Entries = std::vector<std::pair<std::string, std::string>>;

// A control of a form made by hand: an <input> of the type, a <select>
// ("select-one", "select-multiple") or a <textarea> ("textarea").
WebPage::Input control(const std::string& type, const std::string& name, const std::string& value = "") {
    WebPage::Input in;
    in.type = type;
    in.name = name;
    in.value = value;
    if (type.rfind("select", 0) == 0) {
        in.element = "select";
        in.multiple = type == "select-multiple";
    } else if (type == "textarea") {
        in.element = "textarea";
    }
    return in;
}
WebPage::Input checked(WebPage::Input in) {
    in.checked = true;
    return in;
}
WebPage::Input disabled(WebPage::Input in) {
    in.disabled = true;
    return in;
}
WebPage::Input withOptions(WebPage::Input in, std::vector<WebPage::Option> options) {
    in.options = std::move(options);
    return in;
}
WebPage::Option option(const std::string& value, bool selected = false, bool isDisabled = false) {
    return WebPage::Option{value, value, selected, isDisabled};
}
WebPage::Form formOf(std::vector<WebPage::Input> inputs) {
    return WebPage::Form{"https://example.test/f", "POST", std::move(inputs)};
}
Entries pageEntries(const WebPage::Form& form, std::optional<std::size_t> submitter = std::nullopt) {
    return form.entryList(form.initialState(), submitter);
}

// The example login form: one of every kind of control.
WebPage::Form everyKindOfControl() {
    return formOf({control("text", "u", "me"), control("checkbox", "remember", "1"),
                   checked(control("checkbox", "agree")), control("radio", "r", "a"),
                   checked(control("radio", "r", "b")), control("reset", "rs", "Reset"), control("button", "bt", "B"),
                   disabled(control("text", "dis", "d")),
                   withOptions(control("select-one", "region"), {option("us"), option("eu", true)}),
                   control("textarea", "note", "hi")});
}

TEST(WebFormEntryList, EachKindOfControlSendsWhatABrowserSends) {
    const auto form = everyKindOfControl();
    EXPECT_EQ(pageEntries(form), (Entries{{"u", "me"}, {"agree", "on"}, {"r", "b"}, {"region", "eu"}, {"note", "hi"}}));
    // As the user set them: text typed, boxes and radios changed, another
    // option chosen, the disabled field's state ignored.
    auto states = form.initialState();
    states[0].value = "typed";
    states[1].checked = true;
    states[2].checked = false;
    form.checkRadio(states, 3);
    states[7].value = "never";
    states[8].selected = {true, false};
    states[9].value = "two\nlines";
    EXPECT_EQ(form.entryList(states, std::nullopt),
              (Entries{{"u", "typed"}, {"remember", "1"}, {"r", "a"}, {"region", "us"}, {"note", "two\nlines"}}));
    // Controls without a state count as the page left them.
    states.resize(2);
    EXPECT_EQ(
        form.entryList(states, std::nullopt),
        (Entries{{"u", "typed"}, {"remember", "1"}, {"agree", "on"}, {"r", "b"}, {"region", "eu"}, {"note", "hi"}}));
}

TEST(WebFormEntryList, OfTheButtonsOnlyTheSubmitterGoesInItsPlace) {
    WebPage::Input pressable = control("submit", "b", "v");
    pressable.element = "button";
    pressable.label = "Press";
    const auto form = formOf({control("submit", "go", "Go"), control("text", "q", "x"), control("submit", "", "Other"),
                              control("reset", "rs", "Reset"), control("button", "bt", "B"), control("image", "pic"),
                              control("image", ""), pressable, disabled(control("submit", "off", "Off"))});
    const Entries field{{"q", "x"}};
    EXPECT_EQ(pageEntries(form), field);
    EXPECT_EQ(pageEntries(form, 0), (Entries{{"go", "Go"}, {"q", "x"}}));  // in tree order, not last
    EXPECT_EQ(pageEntries(form, 2), field);                                // unnamed
    EXPECT_EQ(pageEntries(form, 3), field);                                // a reset button never submits
    EXPECT_EQ(pageEntries(form, 4), field);                                // nor a plain button
    EXPECT_EQ(pageEntries(form, 5), (Entries{{"q", "x"}, {"pic.x", "0"}, {"pic.y", "0"}}));
    EXPECT_EQ(pageEntries(form, 6), (Entries{{"q", "x"}, {"x", "0"}, {"y", "0"}}));
    EXPECT_EQ(pageEntries(form, 7), (Entries{{"q", "x"}, {"b", "v"}}));
    EXPECT_EQ(pageEntries(form, 8), field);   // disabled
    EXPECT_EQ(pageEntries(form, 99), field);  // no such control
}

TEST(WebFormEntryList, ASelectSendsItsSelectedEnabledOptions) {
    const auto form = formOf({
        withOptions(control("select-one", "first"), {option("a", false, true), option("b"), option("c")}),
        withOptions(control("select-one", "last"), {option("a", true), option("b"), option("c", true)}),
        withOptions(control("select-multiple", "many"),
                    {option("a", true), option("b", true, true), option("c", true)}),
        withOptions(control("select-multiple", "none"), {option("a"), option("b")}),
        withOptions(control("select-one", "off"), {option("a", false, true), option("b", true, true)}),
        withOptions(control("select-one", "empty"), {}),
    });
    const auto states = form.initialState();
    // One choice: the first enabled option when none is selected, the last
    // selected when several are.
    EXPECT_EQ(states[0].selected, (std::vector<bool>{false, true, false}));
    EXPECT_EQ(states[1].selected, (std::vector<bool>{false, false, true}));
    EXPECT_EQ(states[3].selected, (std::vector<bool>{false, false}));  // several: none is none
    EXPECT_TRUE(states[5].selected.empty());
    EXPECT_EQ(form.entryList(states, std::nullopt),
              (Entries{{"first", "b"}, {"last", "c"}, {"many", "a"}, {"many", "c"}}));
    // A state that lost track of the options sends what it has.
    auto shrunk = states;
    shrunk[2].selected = {true};
    shrunk[1].selected.clear();
    EXPECT_EQ(form.entryList(shrunk, std::nullopt), (Entries{{"first", "b"}, {"many", "a"}}));
}

TEST(WebFormEntryList, HiddenFilesAndDisabledControlsAndLineBreaksInFields) {
    const auto form = formOf({control("hidden", "token", "t1"), control("file", "photo", "C:\\x.jpg"),
                              disabled(checked(control("checkbox", "c"))),
                              disabled(withOptions(control("select-one", "s"), {option("a", true)})),
                              disabled(control("textarea", "t", "x")), control("text", "line", "a\r\nb\nc"),
                              control("email", "mail", " anna@example.test \n"), control("textarea", "area", "a\nb"),
                              control("text", "", "unnamed")});
    auto states = form.initialState();
    EXPECT_EQ(states[5].value, "abc");  // a single-line field holds no line break
    EXPECT_EQ(states[6].value, "anna@example.test");
    EXPECT_EQ(states[7].value, "a\nb");
    states[0].value = "changed";  // a hidden field sends what the page set
    EXPECT_EQ(
        form.entryList(states, std::nullopt),
        (Entries{{"token", "t1"}, {"photo", ""}, {"line", "abc"}, {"mail", "anna@example.test"}, {"area", "a\nb"}}));
}

TEST(WebFormRadios, OneRadioOfAGroupIsChecked) {
    auto form =
        formOf({checked(control("radio", "r", "a")), checked(control("radio", "r", "b")),
                checked(control("radio", "other", "c")), checked(control("radio", "", "d")),
                checked(control("radio", "", "e")), control("checkbox", "r", "box"), control("radio", "R", "f")});
    auto states = form.initialState();
    // The last checked of a group wins; unnamed radios are groups of their own.
    const auto checks = [&] {
        std::vector<bool> out;
        for (const auto& s : states) out.push_back(s.checked);
        return out;
    };
    EXPECT_EQ(checks(), (std::vector<bool>{false, true, true, true, true, false, false}));
    form.checkRadio(states, 0);
    EXPECT_EQ(checks(), (std::vector<bool>{true, false, true, true, true, false, false}));
    form.checkRadio(states, 6);  // names are matched exactly
    EXPECT_EQ(checks(), (std::vector<bool>{true, false, true, true, true, false, true}));
    form.checkRadio(states, 5);  // a checkbox is no radio
    form.checkRadio(states, 42);
    EXPECT_EQ(checks(), (std::vector<bool>{true, false, true, true, true, false, true}));
    EXPECT_EQ(form.entryList(states, std::nullopt), (Entries{{"r", "a"}, {"other", "c"}, {"R", "f"}}));

    // A page of very many checked radio buttons of one group is read in one
    // pass (not one per button), and the last stays checked.
    WebPage::Form many;
    many.inputs.assign(50000, checked(control("radio", "g", "v")));
    many.inputs.back().value = "last";
    EXPECT_EQ(pageEntries(many), (Entries{{"g", "last"}}));
}

TEST(WebFormImplicitSubmission, TheDefaultButtonOrALoneFieldSubmits) {
    auto form = formOf({control("text", "u"), control("reset", "rs"), control("button", "b"),
                        disabled(control("submit", "first")), control("submit", "second")});
    EXPECT_EQ(form.defaultButton(), 3u);  // the first submit button, enabled or not
    EXPECT_FALSE(form.allowsImplicitSubmission());
    form.inputs[3].disabled = false;
    EXPECT_TRUE(form.allowsImplicitSubmission());
    form.inputs[3] = control("image", "pic");
    EXPECT_EQ(form.defaultButton(), 3u);
    EXPECT_TRUE(
        formOf({control("text", "a"), control("password", "b"), control("submit", "")}).allowsImplicitSubmission());

    // Without a submit button: only when at most one field blocks it.
    const auto lone = formOf({control("text", "u"), control("checkbox", "c"), control("hidden", "h"),
                              control("textarea", "t"), withOptions(control("select-one", "s"), {option("a")}),
                              control("color", "k"), control("range", "n"), control("reset", "r")});
    EXPECT_FALSE(lone.defaultButton());
    EXPECT_TRUE(lone.allowsImplicitSubmission());
    EXPECT_TRUE(formOf({}).allowsImplicitSubmission());
    for (const char* second : {"password", "email", "number", "date", "datetime-local", "search", "tel", "url", "month",
                               "week", "time", "text", "an-unknown-type"}) {
        SCOPED_TRACE(second);
        auto two = lone;
        two.inputs.push_back(control(second, "second"));
        EXPECT_TRUE(two.inputs.back().blocksImplicitSubmission());
        EXPECT_FALSE(two.allowsImplicitSubmission());
    }
}

TEST(WebFormControls, WhatShowsAndWhatIsAButton) {
    for (const char* type :
         {"text", "password", "checkbox", "radio", "submit", "reset", "button", "select-one", "textarea", "email"})
        EXPECT_TRUE(control(type, "n").isVisible()) << type;
    for (const char* type : {"hidden", "file", "image"}) EXPECT_FALSE(control(type, "n").isVisible()) << type;
    for (const char* type : {"submit", "reset", "button", "image"}) EXPECT_TRUE(control(type, "n").isButton()) << type;
    for (const char* type : {"text", "checkbox", "select-one", "textarea"})
        EXPECT_FALSE(control(type, "n").isButton()) << type;
}

const char* kLoginPage =
    "<html><head><title>Sign in</title></head><body>"
    "<p>Allow Tolvek to use your account?</p>"
    "<form method='post' action='/login'>"
    "<input type='hidden' name='oauth_token' value='req-1'>"
    "<label>Name</label><input type='text' name='username' placeholder='Name'>"
    "<label>Password</label><input type='password' name='password' placeholder='Password'>"
    "<input type='submit' name='allow' value='Allow'>"
    "</form><div id='oauth_pin'> <b>4</b>2 </div><span id='empty'></span></body></html>";

class WebViewFormsTest : public uitest::UITest {
protected:
    void SetUp() override {
        UITest::SetUp();
        web_ = std::make_shared<WebView>(Rect(0, 20, 320, 460));
        web_->setDelegate(nav_);
        window_->addSubview(web_);
        server_.on("GET", "/page", fakes::Reply::text(200, kLoginPage, "text/html"));
    }
    bool waitFor(const std::function<bool()>& cond) { return base::RunLoop::main().runUntil(cond, 10); }
    void loadLoginPage() {
        const int before = nav_->finished;
        web_->loadRequest(net::URLRequest(net::URL(server_.url("/page"))));
        ASSERT_TRUE(waitFor([&] { return nav_->finished == before + 1; }));
        advance(0.01);
    }
    // Loads a page of the loopback server at path.
    void loadPage(const std::string& path, const std::string& html) {
        server_.on("GET", path, fakes::Reply::text(200, html, "text/html"));
        const int before = nav_->finished;
        web_->loadRequest(net::URLRequest(net::URL(server_.url(path))));
        ASSERT_TRUE(waitFor([&] { return nav_->finished == before + 1; }));
        advance(0.01);
    }
    // The page's controls of a class, in page order.
    template <class T>
    std::vector<std::shared_ptr<T>> controls() const {
        std::vector<std::shared_ptr<T>> out;
        for (const auto& v : web_->subviews())
            if (auto c = std::dynamic_pointer_cast<T>(v)) out.push_back(c);
        return out;
    }
    // Taps the view where it shows and types the text (a person at the keyboard).
    void typeInto(const std::shared_ptr<View>& view, const std::string& text) {
        web_->layoutIfNeeded();
        tap(view->convertRectToView(view->bounds(), nullptr).center());
        ASSERT_TRUE(view->isFirstResponder());
        app().typeText(text);
    }
    // The accessible element of the label, enabled or not.
    std::optional<AccessibleElement> element(const std::string& label) {
        for (auto& e : app().accessibleElements())
            if (e.label == label) return e;
        return std::nullopt;
    }
    // The body of the next form the page posts to path.
    std::string postedTo(const std::string& path) {
        const std::size_t before = server_.requestCount();
        if (!waitFor([&] { return server_.requestCount() > before; })) return "(nothing posted)";
        auto sent = server_.lastRequest();
        return sent->path == path ? sent->body : "(posted to " + sent->path + ")";
    }
    std::shared_ptr<Navigator> nav_ = std::make_shared<Navigator>();
    std::shared_ptr<WebView> web_;
    fakes::HttpServer server_;
    fakes::HttpServer callbackHost_;
};

TEST_F(WebViewFormsTest, APersonTypesIntoTheFieldsAndTheSubmitButtonPostsTheForm) {
    loadLoginPage();
    auto name = web_->textFieldNamed("username");
    auto password = web_->textFieldNamed("password");
    ASSERT_TRUE(name && password);
    EXPECT_FALSE(web_->textFieldNamed("oauth_token"));  // hidden: no field
    EXPECT_TRUE(password->isSecureTextEntry());
    web_->layoutIfNeeded();
    EXPECT_GT(password->frame().minY(), name->frame().maxY());  // laid out in page order
    EXPECT_EQ(web_->page().text().find("Allow Tolvek"), 0u);

    tapNamed("Name");
    EXPECT_TRUE(name->isFirstResponder());
    app().typeText("anna");
    tapNamed("Password");
    EXPECT_TRUE(password->isFirstResponder());
    app().typeText("s3cret");
    EXPECT_EQ(password->displayedText(), "\u2022\u2022\u2022\u2022\u2022\u2022");  // masked on screen
    EXPECT_FALSE(app().isTextVisible("s3cret"));
    tap(Point(300, 40));  // the page beside its title: editing ends
    EXPECT_FALSE(password->isFirstResponder());

    server_.on("POST", "/login", fakes::Reply::text(200, "<title>Done</title>", "text/html"));
    tapNamed("Allow");
    ASSERT_TRUE(waitFor([&] { return nav_->finished == 2; }));
    auto sent = server_.lastRequest();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->method, "POST");
    EXPECT_EQ(sent->body, "oauth_token=req-1&username=anna&password=s3cret&allow=Allow");
    EXPECT_EQ(nav_->types.back(), WebViewNavigationType::FormSubmitted);
    EXPECT_FALSE(name->isFirstResponder());
    EXPECT_FALSE(web_->textFieldNamed("username"));  // the new page has no form
    EXPECT_EQ(web_->stringByEvaluatingJavaScriptFromString("document.title"), "Done");
}

TEST_F(WebViewFormsTest, TheReturnKeySubmitsAndARedirectIsAskedAboutAndCanBeRefused) {
    loadLoginPage();
    const std::string callback = callbackHost_.url("/never?oauth_token=req-1&oauth_verifier=v9");
    server_.on("POST", "/login", fakes::Reply::text(302, "see other").withHeader("Location", callback));
    tapNamed("Name");
    app().typeText("anna\n");  // the return key
    ASSERT_TRUE(waitFor([&] { return !nav_->errors.empty(); }));
    EXPECT_EQ(nav_->asked.back(), callback);
    EXPECT_EQ(nav_->types.back(), WebViewNavigationType::Other);
    EXPECT_EQ(nav_->errors, (std::vector<long>{102}));  // refused: interrupted, not loaded
    EXPECT_EQ(callbackHost_.requestCount(), 0u);
    EXPECT_FALSE(web_->isLoading());
    EXPECT_EQ(server_.lastRequest()->form().at("username"), "anna");
}

TEST_F(WebViewFormsTest, AnAllowedRedirectIsLoadedInPlaceAndALoopEnds) {
    server_.on("GET", "/old", fakes::Reply::text(302, "").withHeader("Location", "/page"));
    web_->loadRequest(net::URLRequest(net::URL(server_.url("/old"))));
    ASSERT_TRUE(waitFor([&] { return nav_->finished == 1; }));
    EXPECT_EQ(nav_->asked, (std::vector<std::string>{server_.url("/old"), server_.url("/page")}));
    EXPECT_EQ(web_->request()->url().absoluteString(), server_.url("/page"));
    EXPECT_FALSE(web_->canGoBack());  // the redirect replaced its entry

    server_.on("GET", "/loop", fakes::Reply::text(302, "").withHeader("Location", "/loop"));
    web_->loadRequest(net::URLRequest(net::URL(server_.url("/loop"))));
    ASSERT_TRUE(waitFor([&] { return !nav_->errors.empty(); }));
    EXPECT_EQ(nav_->errors.back(), net::URLErrorCode::HTTPTooManyRedirects);
    EXPECT_LE(server_.requestCount(), static_cast<std::size_t>(WebView::MaxRedirects + 3));
}

// A web page's links, forms and redirects cannot open local content, and a
// script link does nothing (no failure reaches the delegate).
TEST_F(WebViewFormsTest, AWebPageCannotOpenLocalContentAndScriptLinksDoNothing) {
    server_.on("GET", "/links",
               fakes::Reply::text(200,
                                  "<title>Links</title><a href='file:///etc/passwd'>File</a>"
                                  "<a href='data:text/html,%3Ctitle%3Einline%3C/title%3E'>Inline</a>"
                                  "<a href=' JavaScript:void(0)'>Script</a>"
                                  "<form action='file:///etc/passwd' method='post'><input name='a' value='1'></form>",
                                  "text/html"));
    server_.on("GET", "/to-file", fakes::Reply::text(302, "").withHeader("Location", "file:///etc/passwd"));
    web_->loadRequest(net::URLRequest(net::URL(server_.url("/links"))));
    ASSERT_TRUE(waitFor([&] { return nav_->finished == 1; }));
    advance(0.01);
    nav_->asked.clear();
    for (const char* link : {"File", "Inline", "Script"}) tapNamed(link);
    web_->submitForm(0, {});
    advance(0.01);
    EXPECT_TRUE(nav_->asked.empty());
    EXPECT_TRUE(nav_->errors.empty());
    EXPECT_FALSE(web_->isLoading());
    EXPECT_EQ(web_->stringByEvaluatingJavaScriptFromString("document.title"), "Links");

    // A server's redirect to anything but a web page is not followed, and
    // says so: a file, inline data, a script or a blank page alike.
    int n = 0;
    for (const char* target :
         {"file:///etc/passwd", "data:text/html,hi", "javascript:alert(1)", "about:blank", "FILE:///etc/passwd"}) {
        SCOPED_TRACE(target);
        const std::string path = "/to-other-" + std::to_string(++n);
        server_.on("GET", path, fakes::Reply::text(302, "").withHeader("Location", target));
        nav_->asked.clear();
        web_->loadRequest(net::URLRequest(net::URL(server_.url(path))));
        ASSERT_TRUE(waitFor([&] { return nav_->errors.size() == static_cast<std::size_t>(n); }));
        EXPECT_EQ(nav_->errors.back(), net::URLErrorCode::UnsupportedURL);
        EXPECT_EQ(nav_->messages.back(),
                  "The server sent the request on to an address that is not a web page. It was not followed.");
        EXPECT_EQ(nav_->asked, (std::vector<std::string>{server_.url(path)}));
    }
    EXPECT_EQ(nav_->finished, 1);
    EXPECT_EQ(web_->stringByEvaluatingJavaScriptFromString("document.title"), "Links");

    // A fragment alone keeps the page's path and query.
    server_.on("GET", "/here", fakes::Reply::text(302, "").withHeader("Location", "#top"));
    nav_->asked.clear();
    web_->loadRequest(net::URLRequest(net::URL(server_.url("/here?q=1"))));
    ASSERT_TRUE(waitFor([&] { return nav_->asked.size() >= 2; }));
    EXPECT_EQ(nav_->asked[1], server_.url("/here?q=1#top"));
}

// What a person typed goes to the page's own site only: a 307 to another
// origin fails the load; within the origin the form is posted again.
TEST_F(WebViewFormsTest, ATypedFormIsNotPostedOnToAnotherSite) {
    loadLoginPage();
    callbackHost_.on("POST", "/catch", fakes::Reply::text(200, "<title>Caught</title>", "text/html"));
    server_.once("POST", "/login", fakes::Reply::text(307, "").withHeader("Location", callbackHost_.url("/catch")));
    web_->submitForm(0, {{"username", "anna"}, {"password", "s3cret"}});
    ASSERT_TRUE(waitFor([&] { return !nav_->errors.empty(); }));
    EXPECT_EQ(nav_->errors, (std::vector<long>{net::URLErrorCode::RedirectToOtherOriginRefused}));
    EXPECT_EQ(callbackHost_.requestCount(), 0u);

    loadLoginPage();
    server_.once("POST", "/login", fakes::Reply::text(307, "").withHeader("Location", "/login2"));
    server_.on("POST", "/login2", fakes::Reply::text(200, "<title>Welcome</title>", "text/html"));
    web_->submitForm(0, {{"username", "anna"}, {"password", "s3cret"}});
    ASSERT_TRUE(waitFor([&] { return nav_->finished == 3; }));
    EXPECT_EQ(server_.lastRequest()->form().at("password"), "s3cret");
    EXPECT_EQ(web_->stringByEvaluatingJavaScriptFromString("document.title"), "Welcome");
}

// An action written inside another attribute's quoted value is text, not
// the form's action: what is typed goes to the real one on the page's origin.
TEST_F(WebViewFormsTest, AnActionInsideAnotherAttributesValueIsNotWhereTheFormGoes) {
    const std::string steal = callbackHost_.url("/steal");
    server_.on("GET", "/hidden",
               fakes::Reply::text(200,
                                  "<form data-note=\" action=" + steal +
                                      " \" action=\"/login\" method=post>"
                                      "<input name=user><input type=password name=password></form>",
                                  "text/html"));
    callbackHost_.on("POST", "/steal", fakes::Reply::text(200, "<title>Caught</title>", "text/html"));
    server_.on("POST", "/login", fakes::Reply::text(200, "<title>Welcome</title>", "text/html"));
    web_->loadRequest(net::URLRequest(net::URL(server_.url("/hidden"))));
    ASSERT_TRUE(waitFor([&] { return nav_->finished == 1; }));
    advance(0.01);
    auto user = web_->textFieldNamed("user");
    auto password = web_->textFieldNamed("password");
    ASSERT_TRUE(user && password);
    user->setText("me");
    password->setText("TYPEDPW");
    web_->submitFormFromFields(0);
    ASSERT_TRUE(waitFor([&] { return nav_->finished == 2; }));
    EXPECT_EQ(callbackHost_.requestCount(), 0u);
    auto sent = server_.lastRequest();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->method, "POST");
    EXPECT_EQ(sent->path, "/login");
    EXPECT_EQ(sent->body, "user=me&password=TYPEDPW");
    EXPECT_EQ(web_->stringByEvaluatingJavaScriptFromString("document.title"), "Welcome");
}

TEST_F(WebViewFormsTest, ElementsAreFoundByIdWithTheirInnerHTML) {
    web_->loadHTMLString(kLoginPage, "https://example.test/");
    advance(0.01);
    EXPECT_EQ(web_->elementInnerHTML("oauth_pin"), " <b>4</b>2 ");
    EXPECT_EQ(web_->elementInnerHTML("empty"), "");
    EXPECT_FALSE(web_->elementInnerHTML("missing"));
    EXPECT_EQ(web_->stringByEvaluatingJavaScriptFromString("document.getElementById('oauth_pin').innerHTML"),
              " <b>4</b>2 ");
    EXPECT_EQ(web_->stringByEvaluatingJavaScriptFromString("document.getElementById(\"missing\").innerHTML;"), "");

    // Unclosed and mis-nested elements end as a browser ends them: with
    // their parent, the page, or (a <p>) where a block begins.
    web_->loadHTMLString("<div id='a'><p id='b'>one<div id='c'>two", "https://example.test/");
    advance(0.01);
    EXPECT_EQ(web_->elementInnerHTML("b"), "one");
    EXPECT_EQ(web_->elementInnerHTML("c"), "two");
    web_->loadHTMLString("<div id='a'><p id='b'>one</div>rest", "https://example.test/");
    advance(0.01);
    EXPECT_EQ(web_->elementInnerHTML("a"), "<p id='b'>one");
    EXPECT_EQ(web_->elementInnerHTML("b"), "one");

    // Deeply nested elements with ids each find their own inner HTML, and a
    // large page so nested is not copied once per element (512 x 1 MB).
    std::string nested;
    for (int d = 0; d < 512; ++d) nested += "<div id='n" + std::to_string(d) + "'>";
    nested += std::string(1 << 20, 'x');
    auto page = WebPage::parse(nested, "https://example.test/");
    EXPECT_EQ(page.innerHTML("n511")->size(), std::size_t{1} << 20);
    EXPECT_EQ(page.innerHTML("n0")->substr(0, 12), "<div id='n1'");
}

// What is typed into each field goes with that field, whatever its name:
// two fields of one name post both values in their order.
TEST_F(WebViewFormsTest, TwoFieldsOfOneNamePostWhatWasTypedIntoEachInOrder) {
    server_.on("POST", "/same", fakes::Reply::text(200, "<title>Sent</title>", "text/html"));
    loadPage("/two",
             "<form method=post action=/same><input name=a><input name=a value=page>"
             "<input type=submit value=Send></form>");
    auto fields = controls<TextField>();
    ASSERT_EQ(fields.size(), 2u);
    typeInto(fields[0], "FIRST");
    typeInto(fields[1], "\b\b\b\bSECOND");
    tapNamed("Send");
    EXPECT_EQ(postedTo("/same"), "a=FIRST&a=SECOND");
}

// Checkboxes and radio buttons show as boxes and circles beside their text;
// a tap toggles a box, checks a radio button and unchecks the rest of its
// group; a reset button puts the form back as the page set it, a plain
// button does nothing, and what is posted is what shows.
TEST_F(WebViewFormsTest, TappingBoxesAndRadioButtonsChangesWhatIsPosted) {
    const std::string page =
        "<form method=post action=/in><input name=u value=me>"
        "<p><input type=checkbox name=remember value=1> Remember me</p>"
        "<input type=radio name=r value=a> Alpha <input type=radio name=r value=b> Beta"
        "<input type=reset value=Clear><input type=button name=bt value=Nothing>"
        "<input type=submit name=go value=Go></form>";
    server_.on("POST", "/in", fakes::Reply::text(200, "<title>In</title>", "text/html"));
    loadPage("/boxes", page);
    web_->layoutIfNeeded();
    auto remember = app().findElement("Remember me");
    ASSERT_TRUE(remember);
    EXPECT_EQ(remember->className, "CheckBox");
    EXPECT_EQ(app().findElement("Beta")->className, "RadioButton");
    // The text beside a box stands on the box's line, not below it.
    const auto alpha = app().findElement("Alpha");
    EXPECT_LT(remember->frame.maxY(), alpha->frame.minY());
    EXPECT_LT(alpha->frame.height(), 30);

    tapNamed("Remember me");
    tapNamed("Beta");
    tapNamed("Alpha");
    tapNamed("Alpha");  // a checked radio button stays checked
    const auto asked = nav_->asked.size();
    tapNamed("Nothing");
    advance(0.01);
    EXPECT_EQ(nav_->asked.size(), asked);
    tapNamed("Go");
    EXPECT_EQ(postedTo("/in"), "u=me&remember=1&r=a&go=Go");

    loadPage("/boxes", page);
    tapNamed("Remember me");
    tapNamed("Remember me");
    tapNamed("Beta");
    tapNamed("Go");
    EXPECT_EQ(postedTo("/in"), "u=me&r=b&go=Go");

    loadPage("/boxes", page);
    tapNamed("Remember me");
    tapNamed("Beta");
    typeInto(controls<TextField>()[0], "\b\bsomeone");
    tapNamed("Clear");
    EXPECT_EQ(controls<TextField>()[0]->text(), "me");
    tapNamed("Go");
    EXPECT_EQ(postedTo("/in"), "u=me&go=Go");
}

// Return in a field submits the form through its default button, or without
// one when the form has a single field that Return submits; otherwise it
// does nothing.
TEST_F(WebViewFormsTest, ReturnSubmitsImplicitlyOnlyWhereHTMLAllowsIt) {
    server_.on("POST", "/x", fakes::Reply::text(200, "<title>Sent</title>", "text/html"));
    loadPage("/two-fields", "<form method=post action=/x><input name=u><input type=password name=p></form>");
    auto fields = controls<TextField>();
    ASSERT_EQ(fields.size(), 2u);
    typeInto(fields[0], "anna");
    const auto asked = nav_->asked.size();
    app().pressReturn();
    advance(0.01);
    EXPECT_EQ(nav_->asked.size(), asked);  // two fields and no button: nothing
    EXPECT_EQ(server_.requestCount(), 1u);

    loadPage("/one-field",
             "<form method=post action=/x><input name=q><input type=checkbox name=c value=1>"
             "<textarea name=t></textarea></form>");
    typeInto(controls<TextField>()[0], "push ups\n");
    EXPECT_EQ(postedTo("/x"), "q=push+ups&t=");

    loadPage("/with-buttons",
             "<form method=post action=/x><input name=u><input type=button name=b value=Plain>"
             "<input type=password name=p><input type=submit name=go value=Go><input type=submit name=no value=No>"
             "</form>");
    fields = controls<TextField>();
    typeInto(fields[0], "anna");
    typeInto(fields[1], "pw\n");
    EXPECT_EQ(postedTo("/x"), "u=anna&p=pw&go=Go");
}

// The form's entries are encoded as a browser encodes them: blanks as "+",
// line breaks as CR LF, and everything but letters, digits and "*-._"
// escaped; a form of no entries posts an empty body, and one sent by GET
// puts them in place of its action's query.
TEST_F(WebViewFormsTest, EntriesAreEncodedAsABrowserEncodesThem) {
    server_.on("POST", "/x", fakes::Reply::text(200, "<title>Sent</title>", "text/html"));
    server_.on("GET", "/find", fakes::Reply::text(200, "<title>Found</title>", "text/html"));
    const std::string page =
        "<form method=post action=/x><input name='a b' value='1 + 1 = 2 & ~*-._'>"
        "<input type=submit value=Send></form><form action='/find?old=1'><input name=q></form>"
        "<form method=post action=/x><input type=submit value=Empty></form>";
    loadPage("/enc", page);
    typeInto(controls<TextField>()[0], "\u00e9");
    tapNamed("Send");
    EXPECT_EQ(postedTo("/x"), "a+b=1+%2B+1+%3D+2+%26+%7E*-._%C3%A9");

    loadPage("/enc", page);
    web_->submitForm(0, {{"t", "one\ntwo\r\nthree\rfour"}});
    EXPECT_EQ(postedTo("/x"), "a+b=1+%2B+1+%3D+2+%26+%7E*-._&t=one%0D%0Atwo%0D%0Athree%0D%0Afour");

    loadPage("/enc", page);
    typeInto(controls<TextField>()[1], "push ups\n");
    EXPECT_EQ(postedTo("/find"), "");
    EXPECT_EQ(server_.lastRequest()->query, "q=push+ups");

    loadPage("/enc", page);
    tapNamed("Empty");
    EXPECT_EQ(postedTo("/x"), "");
    EXPECT_EQ(server_.lastRequest()->method, "POST");
}

// A redirect whose Location fields all name one address is followed by the
// web view; ones that differ end the load with the reason.
TEST_F(WebViewFormsTest, ARedirectWithTheSameLocationTwiceIsFollowed) {
    server_.on("POST", "/login",
               fakes::Reply::text(303, "").withHeader("Location", "/page").withHeader("location", "/page"));
    loadLoginPage();
    tapNamed("Allow");
    ASSERT_TRUE(waitFor([&] { return nav_->finished == 2; }));
    EXPECT_EQ(web_->request()->url().absoluteString(), server_.url("/page"));
    EXPECT_TRUE(nav_->errors.empty());

    server_.on("POST", "/login",
               fakes::Reply::text(302, "").withHeader("Location", "/page").withHeader("Location", "/elsewhere"));
    tapNamed("Allow");
    ASSERT_TRUE(waitFor([&] { return !nav_->errors.empty(); }));
    EXPECT_EQ(nav_->errors.back(), net::URLErrorCode::BadServerResponse);
    for (const auto& sent : server_.requests()) EXPECT_NE(sent.path, "/elsewhere");
}

}  // namespace
