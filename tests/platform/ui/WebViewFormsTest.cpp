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

}  // namespace
