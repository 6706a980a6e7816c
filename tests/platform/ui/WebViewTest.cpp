#include <filesystem>
#include <fstream>
#include <functional>

#include "UITestSupport.h"
#include "platform/net/URLConnection.h"

using namespace ui;

namespace {

class Recorder : public WebViewDelegate {
public:
    bool shouldStartLoadWithRequest(WebView&, const net::URLRequest& request, WebViewNavigationType type) override {
        asked.push_back(request.url().absoluteString());
        types.push_back(type);
        // The login dialog's own scheme is handled by the application, not loaded.
        return request.url().scheme() != "fbconnect";
    }
    void webViewDidFinishLoad(WebView&) override { ++finished; }
    void didFailLoadWithError(WebView&, const net::Error& error) override { errors.push_back(error.code()); }
    std::vector<std::string> asked;
    std::vector<WebViewNavigationType> types;
    std::vector<long> errors;
    int finished = 0;
};

class WebViewTest : public uitest::UITest {
protected:
    void SetUp() override {
        UITest::SetUp();
        web_ = std::make_shared<WebView>(Rect(0, 20, 320, 460));
        web_->setDelegate(recorder_);
        window_->addSubview(web_);
    }
    std::shared_ptr<Recorder> recorder_ = std::make_shared<Recorder>();
    std::shared_ptr<WebView> web_;
};

TEST_F(WebViewTest, AnHTMLStringLoadsWithItsTitleTextAndLinks) {
    web_->loadHTMLString(
        "<html><head><title>Log in &amp; share</title><script>var x = '<p>no</p>';</script></head>"
        "<body><h1>Welcome</h1><p>Tap   below to\n continue.</p><a href=\"/next?step=2\">Next step</a>"
        "<a href='fbconnect://success#token=abc'>Allow</a></body></html>",
        "https://example.test/dialog/oauth");
    EXPECT_TRUE(web_->isLoading());
    EXPECT_EQ(recorder_->finished, 0);
    advance(0.01);
    EXPECT_EQ(recorder_->finished, 1);
    EXPECT_FALSE(web_->isLoading());
    EXPECT_EQ(web_->stringByEvaluatingJavaScriptFromString("document.title"), "Log in & share");
    EXPECT_EQ(web_->stringByEvaluatingJavaScriptFromString("document.body.innerText"),
              "Welcome\nTap below to continue.\nNext step\nAllow");
    ASSERT_EQ(web_->page().links.size(), 2u);
    EXPECT_EQ(web_->page().links[0].href, "https://example.test/next?step=2");
    EXPECT_TRUE(app().isTextVisible("Tap below to continue."));
}

TEST_F(WebViewTest, TheWheelScrollsALongPageToItsEndAndTapsLandWhereItShows) {
    std::string html = "<html><body>";
    for (int i = 0; i < 40; ++i) html += "<p>Paragraph " + std::to_string(i) + "</p>";
    html += "<a href=\"fbconnect://success\">Allow</a></body></html>";
    web_->loadHTMLString(html, "https://example.test/dialog");
    advance(0.01);
    EXPECT_FALSE(app().findElement("Allow"));  // below the view's bottom
    for (int i = 0; i < 30; ++i) app().scrollWheel(Point(160, 200), 0, -1);
    const Float bottom = web_->bounds().minY();
    EXPECT_GT(bottom, 0);
    app().scrollWheel(Point(160, 200), 0, -1);  // at the end
    EXPECT_EQ(web_->bounds().minY(), bottom);
    auto link = app().findElement("Allow");
    ASSERT_TRUE(link);
    EXPECT_LT(link->frame.maxY(), 480);
    EXPECT_GT(link->frame.minY(), 20);
    tap(link->frame.center());
    advance(0.01);
    ASSERT_FALSE(recorder_->asked.empty());
    EXPECT_EQ(recorder_->asked.back(), "fbconnect://success");
    // The next page starts at its top; a short one does not scroll.
    web_->loadHTMLString("<p>Done</p>", "https://example.test/done");
    advance(0.01);
    EXPECT_EQ(web_->bounds().minY(), 0);
    app().scrollWheel(Point(160, 200), 0, -1);
    EXPECT_EQ(web_->bounds().minY(), 0);
}

// A page far taller than the view is measured only where it shows: the
// wheel still reaches its very end, where the last link lies where it is
// drawn and a tap lands on it.
TEST_F(WebViewTest, TheEndOfAVeryLongPageIsReachedAndItsLastLinkTaken) {
    std::string words;
    for (int i = 0; words.size() < 120 * 1024; ++i) words += "word" + std::to_string(i) + " ";
    web_->loadHTMLString("<title>Long</title><p>" + words + "</p><p>" + words + "</p><a href='fbconnect://end'>End</a>",
                         "https://example.test/");
    advance(0.01);
    web_->layoutIfNeeded();
    EXPECT_TRUE(app().isTextVisible("Long"));
    int notches = 0;
    Float last = -1;
    while (web_->bounds().minY() != last && notches < 5000) {
        last = web_->bounds().minY();
        app().scrollWheel(Point(160, 200), 0, -1);
        ++notches;
    }
    EXPECT_GT(notches, 50);
    EXPECT_LT(notches, 5000);
    auto link = app().findElement("End");
    ASSERT_TRUE(link);
    EXPECT_GT(link->frame.minY(), 20);
    EXPECT_LT(link->frame.maxY(), 480);
    // The page ends just below it.
    EXPECT_NEAR(link->frame.maxY(), web_->frame().maxY() - 10, 1);
    tap(link->frame.center());
    advance(0.01);
    EXPECT_EQ(recorder_->asked.back(), "fbconnect://end");
}

// A large page is read a slice at a time; a page loaded meanwhile takes its
// place, and what was read of the first never shows.
TEST_F(WebViewTest, APageLoadedWhileALargeOneIsReadReplacesIt) {
    std::string large = "<title>Large</title>";
    while (large.size() < 2 * 1024 * 1024) large += "<p>Some text of the large page.</p>";
    web_->loadHTMLString(large, "https://example.test/large");
    advance(0.0005);
    EXPECT_TRUE(web_->isLoading());
    web_->loadHTMLString("<title>Small</title><p>Done</p>", "https://example.test/small");
    advance(1);
    EXPECT_FALSE(web_->isLoading());
    EXPECT_EQ(recorder_->finished, 1);
    EXPECT_EQ(web_->stringByEvaluatingJavaScriptFromString("document.title"), "Small");
    web_->loadHTMLString(large, "https://example.test/large");
    advance(1);
    EXPECT_EQ(recorder_->finished, 2);
    EXPECT_EQ(web_->stringByEvaluatingJavaScriptFromString("document.title"), "Large");
}

// Fields are made for the first two hundred inputs only; a page with more
// says so, and its form still posts every field.
TEST_F(WebViewTest, APageWithVeryManyFieldsShowsTheFirstAndANote) {
    std::string html = "<form action='https://example.test/f' method=post>";
    for (int i = 0; i < 250; ++i) html += "<input name=f" + std::to_string(i) + " value=v>";
    web_->loadHTMLString(html + "</form>", "https://example.test/");
    advance(0.01);
    EXPECT_TRUE(web_->textFieldNamed("f0"));
    EXPECT_TRUE(web_->textFieldNamed("f199"));
    EXPECT_FALSE(web_->textFieldNamed("f200"));
    EXPECT_EQ(web_->subviews().size(), 200u);
    EXPECT_TRUE(app().isTextVisible("Only the first 200 of this page's 250 fields are shown."));
    web_->textFieldNamed("f0")->setText("typed");
    web_->submitFormFromFields(0);
    const auto body = web_->request()->httpBodyString();
    EXPECT_EQ(body.rfind("f0=typed&f1=v&", 0), 0u);
    EXPECT_NE(body.find("&f249=v"), std::string::npos);
    web_->stopLoading();
}

TEST_F(WebViewTest, TappingALinkAsksTheDelegateFirst) {
    web_->loadHTMLString(
        "<a href='fbconnect://success#token=abc'>Allow</a><a href='data:text/html,%3Ctitle%3ETwo%3C/title%3E'>Go</a>",
        "https://example.test/");
    advance(0.01);
    recorder_->asked.clear();
    recorder_->types.clear();
    tapNamed("Allow");
    ASSERT_EQ(recorder_->asked.size(), 1u);
    EXPECT_EQ(recorder_->asked[0], "fbconnect://success#token=abc");
    EXPECT_EQ(recorder_->types[0], WebViewNavigationType::LinkClicked);
    EXPECT_FALSE(web_->isLoading());  // refused: nothing loads
    // A web page cannot open an inline page: the tap does nothing at all.
    tapNamed("Go");
    advance(0.01);
    EXPECT_EQ(recorder_->asked.size(), 1u);
    EXPECT_EQ(web_->stringByEvaluatingJavaScriptFromString("document.title"), "");
    EXPECT_EQ(recorder_->finished, 1);
    EXPECT_TRUE(recorder_->errors.empty());
    // The application's own page may.
    web_->loadHTMLString("<a href='data:text/html,%3Ctitle%3ETwo%3C/title%3E'>Go</a>");
    advance(0.01);
    tapNamed("Go");
    advance(0.01);
    EXPECT_EQ(web_->stringByEvaluatingJavaScriptFromString("document.title"), "Two");
    EXPECT_EQ(recorder_->finished, 3);
}

TEST_F(WebViewTest, OnlyRegularFilesWithinTheBoundAreRead) {
    // A device has no end: it is refused, not read.
    web_->loadRequest(net::URLRequest(net::URL("file:///dev/zero")));
    advance(0.01);
    // A file beyond the bound is refused too (made sparse: nothing is written).
    const std::string folder = tempHome_.path();
    std::ofstream(folder + "/big.html").close();
    std::filesystem::resize_file(folder + "/big.html", net::MaximumResponseLength + 1);
    web_->loadRequest(net::URLRequest(net::URL("file://" + folder + "/big.html")));
    advance(0.01);
    EXPECT_EQ(recorder_->errors, (std::vector<long>{260, net::URLErrorCode::DataLengthExceedsMaximum}));
    EXPECT_EQ(recorder_->finished, 0);
    std::ofstream(folder + "/page.html") << "<title>Local</title>";
    web_->loadRequest(net::URLRequest(net::URL("file://" + folder + "/page.html")));
    advance(0.01);
    EXPECT_EQ(recorder_->finished, 1);
    EXPECT_EQ(web_->stringByEvaluatingJavaScriptFromString("document.title"), "Local");
}

TEST_F(WebViewTest, AMissingFileFailsAndAnUnknownSchemeIsUnsupported) {
    web_->loadRequest(net::URLRequest(net::URL("file:///nonexistent/page.html")));
    advance(0.01);
    web_->loadRequest(net::URLRequest(net::URL("mailto:someone@example.test")));
    advance(0.01);
    EXPECT_EQ(recorder_->errors, (std::vector<long>{260, net::URLErrorCode::UnsupportedURL}));
    EXPECT_EQ(recorder_->finished, 0);
}

TEST_F(WebViewTest, AFormSubmitsItsFieldsWithTheGivenValues) {
    web_->loadHTMLString(
        "<form action='https://example.test/login' method='post'><input name='user' value=''>"
        "<input type='hidden' name='token' value='t1'><input type='submit' value='Log In'></form>",
        "https://example.test/");
    advance(0.01);
    ASSERT_EQ(web_->page().forms.size(), 1u);
    web_->submitForm(0, {{"user", "me@example.test"}});
    ASSERT_TRUE(web_->request());
    EXPECT_EQ(web_->request()->httpMethod(), "POST");
    EXPECT_EQ(web_->request()->httpBodyString(), "user=me%40example.test&token=t1");
    EXPECT_EQ(recorder_->types.back(), WebViewNavigationType::FormSubmitted);
    web_->stopLoading();
}

}  // namespace

namespace {

TEST(WebPageParse, APageEndingInsideAClosingScriptOrStyleTagEnds) {
    // No '>' after "</script": the parser must still come to the end.
    for (const char* html : {"<p>a</p><script>x()</script", "<style>p{}</STYLE", "<script></scrip"}) {
        auto page = WebPage::parse(html, "http://127.0.0.1/");
        EXPECT_EQ(page.text(), std::string(html).rfind("<p>", 0) == 0 ? "a" : "") << html;
    }
}

TEST(WebPageParse, NumericEntitiesThatNameNoCharacterReadAsTheReplacementCharacter) {
    auto page =
        WebPage::parse("<p>&#xD800;|&#57343;|&#0;|&#x110000;|&#x41;&#233;|&#;&#x;&#1a;</p>", "http://127.0.0.1/");
    // A number needs no ";": "&#1a;" is U+0001 and "a;".
    EXPECT_EQ(page.text(),
              "\xEF\xBF\xBD|\xEF\xBF\xBD|\xEF\xBF\xBD|\xEF\xBF\xBD|A\xC3\xA9|&#;&#x;\x01"
              "a;");
}

TEST(WebPageParse, ANumberPastTheLastCharacterReadsAsTheReplacementCharacterAtAnyLength) {
    auto page = WebPage::parse("<p>&#99999999999999999999;|&#x0000000000110000;|&#0000000000065;|&#1114111;</p>",
                               "http://127.0.0.1/");
    EXPECT_EQ(page.text(), "\xEF\xBF\xBD|\xEF\xBF\xBD|A|\xF4\x8F\xBF\xBF");
}

TEST(WebPageParse, AGreaterThanSignInAQuotedAttributeDoesNotEndTheTag) {
    auto page = WebPage::parse("<p title=\"a>b\">text</p><a href='/x?a>b' id=k>link</a>", "http://127.0.0.1/");
    EXPECT_EQ(page.text(), "text\nlink");
    ASSERT_EQ(page.links.size(), 1u);
    EXPECT_EQ(page.links[0].href, "http://127.0.0.1/x?a%3Eb");  // escaped, as a browser escapes it
}

}  // namespace

namespace {

// A tag's attributes are read as a browser reads them: text inside one
// attribute's quoted value is never another attribute, a value ends at its
// own quote, and the first real attribute of a name wins.
TEST(WebPageParse, AttributesAreReadOnlyWhereTheyAreAndTheFirstOfANameWins) {
    using Read = std::function<std::string(const WebPage&)>;
    const Read action = [](const WebPage& p) {
        return p.forms.empty() ? std::string("no form") : p.forms[0].method + " " + p.forms[0].action;
    };
    const Read href = [](const WebPage& p) { return p.links.empty() ? std::string("no link") : p.links[0].href; };
    const Read ids = [](const WebPage& p) {
        std::string out;
        for (const auto& [id, where] : p.elementsById) out += "[" + id + "]";
        return out;
    };
    const Read input = [](const WebPage& p) {
        if (p.forms.empty() || p.forms[0].inputs.empty()) return std::string("no input");
        const auto& in = p.forms[0].inputs[0];
        return in.name + "|" + in.type + "|" + in.value;
    };
    const struct {
        const char* html;
        const Read& read;
        const char* expected;
    } cases[] = {
        {"<form data-note=\" action=http://127.0.0.2:9/steal \" action=\"/login\" method=post>", action,
         "POST http://127.0.0.1/login"},
        {"<form title='method=post' action=x>", action, "GET http://127.0.0.1/login/x"},
        {"<form ACTION = '/a' action='/b' Method=Post>", action, "POST http://127.0.0.1/a"},
        {"<a title=\" href=file:///etc/passwd\" href=\"http://ok/\">x</a>", href, "http://ok/"},
        {"<a data-x=href=/no href=/yes>x</a>", href, "http://127.0.0.1/yes"},
        {"<a href=/next?a=1&amp;b=2 title='x'>x</a>", href, "http://127.0.0.1/next?a=1&b=2"},
        {"<div title=' id=fake' id=real>in</div>", ids, "[real]"},
        {"<div id=\"a'b\" id=second>in</div>", ids, "[a'b]"},
        {"<div title=\"x\"id=joined>in</div>", ids, "[joined]"},
        {"<input type=password name=pw value='a \"b\" c' placeholder=\" name=other\">", input, "pw|password|a \"b\" c"},
        {"<input name=user value=plain/ type=text>", input, "user|text|plain/"},
    };
    for (const auto& c : cases) {
        const auto page = WebPage::parse(c.html, "http://127.0.0.1/login/form");
        EXPECT_EQ(c.read(page), c.expected) << c.html;
    }
}

}  // namespace

namespace {

// Text is read as a browser reads it: a "<" that starts no tag is text, a
// raw-text element ends only at its own end tag, only valid UTF-8 without
// NUL comes out (a NUL of the text is dropped, one in a title or an
// attribute is U+FFFD), &#128; to &#159; are Windows-1252, and the named
// references of HTML are characters (a legacy one even without its ";").
TEST(WebPageParse, TextIsReadAsABrowserReadsIt) {
    const struct {
        std::string html;
        const char* text;
    } cases[] = {
        {"<p>1 < 2 and 3 <= 4, a <3 b</p>", "1 < 2 and 3 <= 4, a <3 b"},
        {"<p>x </ y</p>z<", "x z<"},
        {"<p>a</>b</p>", "ab"},
        {"<script>if (a </scripty> b) x();</script><p>after</p>", "after"},
        {"<style>p{}</style-x>q{}</STYLE ><p>after</p>", "after"},
        {std::string("<p>ok\xFF\xC3(\xED\xA0\x80\xF0\x9F\x98\x80") + '\0' + "end</p>",
         "ok\xEF\xBF\xBD\xEF\xBF\xBD(\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xF0\x9F\x98\x80"
         "end"},
        {"<p>&#128;&#x92;&#129;&#159;&#x9f;&#127;&#160;</p>",
         "\xE2\x82\xAC\xE2\x80\x99\xC2\x81\xC5\xB8\xC5\xB8\x7F\xC2\xA0"},
        {"<p>&copy;&eacute;&Eacute;&yuml;&nbsp;|&alpha;&Omega;&sigmaf;&thetasym;&piv;&hearts;&rArr;&there4;</p>",
         "\xC2\xA9\xC3\xA9\xC3\x89\xC3\xBF\xC2\xA0|\xCE\xB1\xCE\xA9\xCF\x82\xCF\x91\xCF\x96\xE2\x99\xA5\xE2\x87\x92"
         "\xE2\x88\xB4"},
        {"<p>&euro;&mdash;&hellip;&OElig;&Scaron;&trade;&lt;&amp;&quot;&apos;</p>",
         "\xE2\x82\xAC\xE2\x80\x94\xE2\x80\xA6\xC5\x92\xC5\xA0\xE2\x84\xA2<&\"'"},
        {"<p>&Copy; &bogus; &thetasyms; &amp</p>", "&Copy; &bogus; &thetasyms; &"},
    };
    for (const auto& c : cases) {
        const auto page = WebPage::parse(c.html, "http://127.0.0.1/");
        EXPECT_EQ(page.text(), c.text) << c.html;
    }
    // The same repair reaches titles and addresses.
    const std::string broken = std::string("<title>T\xC0") + '\0' + "</title><a href='/a\xFE" + '\0' + "b'>l</a>";
    const auto page = WebPage::parse(broken, "http://127.0.0.1/");
    EXPECT_EQ(page.title, "T\xEF\xBF\xBD\xEF\xBF\xBD");
    ASSERT_EQ(page.links.size(), 1u);
    EXPECT_EQ(page.links[0].href, "http://127.0.0.1/a%EF%BF%BD%EF%BF%BDb");  // the repaired text, escaped
}

}  // namespace
