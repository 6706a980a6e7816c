// The page reader reads markup as a browser's tokenizer and tree
// construction do, wherever that decides which form a typed password goes
// to, what a page shows, and what its controls hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/ui/WebPage.h"

using ui::WebPage;
using namespace std::string_literals;

namespace {

const std::string kBase = "http://127.0.0.1/login/form";

WebPage parse(const std::string& html) { return WebPage::parse(html, kBase); }

// Each form as "ACTION[name name ...]" (the action without the base's
// origin), so that a case says in one line where every control went.
std::string formsOf(const WebPage& page) {
    std::string out;
    for (const auto& form : page.forms) {
        std::string action = form.action;
        if (action.rfind("http://127.0.0.1", 0) == 0) action = action.substr(16);
        out += (out.empty() ? "" : " ") + action + "[";
        for (std::size_t i = 0; i < form.inputs.size(); ++i) out += (i ? " " : "") + form.inputs[i].name;
        out += "]";
    }
    return out;
}

const WebPage::Input* controlNamed(const WebPage& page, const std::string& name) {
    for (const auto& form : page.forms)
        for (const auto& in : form.inputs)
            if (in.name == name) return &in;
    return nullptr;
}

TEST(WebPageReaderForms, AFormInsideAnOpenFormIsIgnoredAndTheEndOfAFormEndsIt) {
    const struct {
        const char* html;
        const char* forms;
    } cases[] = {
        // The password typed below the injected form still goes to /login.
        {"<form action=/login><p>No account named <b><form action=http://127.0.0.2/steal></b></p>"
         "<input type=password name=password></form>",
         "/login[password]"},
        {"<form action=/a><div><form action=/b><input name=x></div><input name=y></form>", "/a[x y]"},
        // The form element pointer outlives the element: a form closed by
        // its parent still takes the controls after it, and still blocks
        // another form.
        {"<div><form action=/a></div><input name=x><form action=/b><input name=y>", "/a[x y]"},
        // After </form> a control belongs to no form (kept together in a
        // form of their own that posts to the page), and a form may start.
        {"<form action=/a></form><input name=x><input name=y><form action=/b><input name=z>",
         "/a[] /login/form[x y] /b[z]"},
        {"<form action=/a><span></form><input name=x></span>", "/a[] /login/form[x]"},
        // A stray </form> clears nothing that is not there.
        {"</form><input name=x><form action=/b><input name=y>", "/login/form[x] /b[y]"},
        // SVG's "form" is no HTML form, so it blocks no later form.
        {"<svg><form action=http://127.0.0.2/steal><input type=password name=p></svg>"
         "<form action=/login><input type=password name=password>",
         "/login[password]"},
        {"<svg><foreignObject><form action=/in><input name=x></foreignObject></svg>", "/in[x]"},
        // A formatting element's end that moves a block out of it ends what
        // the block holds, MathML too: the input after it is HTML's.
        {"<form action=/a><b><div><math></b><input name=x>", "/a[x]"},
        // A template's content is inert: no form, no control, no pointer.
        {"<template><form action=http://127.0.0.2/steal><input name=t></template>"
         "<form action=/login><input name=password>",
         "/login[password]"},
    };
    for (const auto& c : cases) EXPECT_EQ(formsOf(parse(c.html)), c.forms) << c.html;
    // A NUL in a tag name makes another element; in an attribute's name,
    // another attribute.
    EXPECT_EQ(formsOf(parse("<form act\0ion=http://127.0.0.2/steal action=/login><input name=u>"s)), "/login[u]");
    EXPECT_EQ(formsOf(parse("<fo\0rm action=http://127.0.0.2/steal><input type=password name=p>"s)), "/login/form[p]");
}

// Every element whose content is text alone keeps a form written inside it
// from being one, however its text tries to end it early.
TEST(WebPageReaderForms, TextOnlyElementsHoldNoFormOrControl) {
    const std::string form = "<form action=http://127.0.0.2/steal><input type=password name=p>";
    const std::vector<std::string> pages = {
        "<title>" + form + "</title>",
        "<textarea>" + form + "</textarea>",
        "<style>" + form + "</style>",
        "<xmp>" + form + "</xmp>",
        "<iframe>" + form + "</iframe>",
        "<noembed>" + form + "</noembed>",
        "<noframes>" + form + "</noframes>",
        "<noscript>" + form + "</noscript>",
        "<script>" + form + "</script>",
        "<plaintext>" + form,
        "<title>" + form + "</titlex></title >",
        "<STYLE>" + form + "</style/>",
        // An escaped script's "<script>" makes its "</script>" part of the
        // script's text: all that follows up to "-->" and the next
        // "</script>" is script.
        "<script><!--<script></script>" + form + "--></script>",
        "<script><!--<script>" + form + "</script>--><p>x</p></script>",
        "<svg><style>" + form + "</style></svg>",
    };
    for (const auto& html : pages) {
        const auto page = parse(html + "<p>after</p>");
        for (const auto& f : page.forms) {
            EXPECT_EQ(f.action.find("127.0.0.2"), std::string::npos) << html;
            for (const auto& in : f.inputs) EXPECT_EQ(in.type, "textarea") << html;
        }
    }
    // The escape ends where the script's text says: a form after it is real.
    EXPECT_EQ(formsOf(parse("<script><!--</script><form action=/real><input name=r>")), "/real[r]");
    EXPECT_EQ(formsOf(parse("<script><!--<script>--></script><form action=/real><input name=r>")), "/real[r]");
    // What the elements show: a title and a textarea their decoded text, an
    // xmp its raw text, the others nothing.
    const auto page = parse(
        "<title> A &amp; <b>B</b> </title><textarea name=t>&lt;x&gt;</textarea><xmp>&amp;<i></xmp>"
        "<style>p{}</style><noscript>no</noscript><script>s()</script><p>shown");
    EXPECT_EQ(page.title, "A & <b>B</b>");
    const auto* t = controlNamed(page, "t");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->value, "<x>");
    EXPECT_EQ(page.text(), "&amp;<i>\nshown");
}

TEST(WebPageReaderTokens, CommentsEndWhereTheTokenizerEndsThem) {
    const struct {
        const char* html;
        const char* text;
    } cases[] = {
        {"a<!-->b", "ab"},
        {"a<!--->b", "ab"},
        {"a<!-- x --!>b", "ab"},
        {"a<!-- x -- y -->b", "ab"},
        {"a<!-- <!-- x -->b", "ab"},
        {"a<!---->b<!----->c", "abc"},
        {"a<!--x--!-->b", "ab"},
        {"a<!x y>b", "ab"},
        {"a<?php x ?>b", "ab"},
        {"a</1 x>b", "ab"},
        {"a</>b", "ab"},
        {"a<!DOCTYPE html PUBLIC \"x>y\">b", "ay\">b"},
        {"a<![CDATA[x]]>b", "ab"},  // outside SVG and MathML, a bogus comment
        {"a<!-- never closed", "a"},
    };
    for (const auto& c : cases) EXPECT_EQ(parse(c.html).text(), c.text) << c.html;
}

TEST(WebPageReaderTokens, NulIsDroppedFromTextAndReplacedElsewhere) {
    const std::string nul(1, '\0');
    const auto page =
        parse("<title>t" + nul + "t</title><p>a" + nul + "b</p><textarea name=n" + nul + "m>x" + nul +
              "y</textarea><input name=v value='1" + nul + "2'><svg>s" + nul + "s</svg><xmp>x" + nul + "</xmp>");
    EXPECT_EQ(page.title, "t\xEF\xBF\xBDt");
    EXPECT_EQ(page.text(), "ab\ns\xEF\xBF\xBDsx\xEF\xBF\xBD");
    const auto* area = controlNamed(page, "n\xEF\xBF\xBDm");
    const auto* v = controlNamed(page, "v");
    ASSERT_TRUE(area && v);
    EXPECT_EQ(area->value, "x\xEF\xBF\xBDy");
    EXPECT_EQ(v->value, "1\xEF\xBF\xBD\x32");
}

TEST(WebPageReaderTokens, CharacterReferencesAreReadAsHTMLReadsThem) {
    const struct {
        const char* html;
        const char* text;
    } cases[] = {
        {"&copy 2024", "\xC2\xA9 2024"},
        {"fish &amp chips &amp", "fish & chips &"},
        {"&#65&#x42;&#X43 &AMP; &QUOT;", "ABC & \""},
        {"&notit; &notin; &ampx", "\xC2\xACit; \xE2\x88\x89 &x"},
        {"&#128;&#x9F;&#129;", "\xE2\x82\xAC\xC5\xB8\xC2\x81"},
        {"&#0;|&#xD800;|&#x110000;|&#99999999999999;", "\xEF\xBF\xBD|\xEF\xBF\xBD|\xEF\xBF\xBD|\xEF\xBF\xBD"},
        {"&bogus; &; &#; &#x; &#xZ;", "&bogus; &; &#; &#x; &#xZ;"},
        // Names of the whole table, some two characters long.
        {"&CounterClockwiseContourIntegral;&nvlt;&fjlig;", "\xE2\x88\xB3<\xE2\x83\x92\x66j"},
    };
    for (const auto& c : cases) EXPECT_EQ(parse(std::string("<p>") + c.html).text(), c.text) << c.html;
    // In an attribute a legacy name without ";" before "=" or a letter or
    // digit is left as written; elsewhere it is read.
    const auto page = parse(
        "<a href='/a?x=1&copy=2&amp;y=3&copy;z&copyq&copy.&notit;'>l</a>"
        "<input name=n value='&lt&gt&amp=x&#65x'>");
    ASSERT_EQ(page.links.size(), 1u);
    EXPECT_EQ(page.links[0].href, "http://127.0.0.1/a?x=1&copy=2&y=3%C2%A9z&copyq%C2%A9.&notit;");
    ASSERT_TRUE(controlNamed(page, "n"));
    EXPECT_EQ(controlNamed(page, "n")->value, "<>&amp=xAx");
}

TEST(WebPageReaderControls, InputsButtonsAndTextAreasHoldWhatThePageGaveThem) {
    const auto page = parse(
        "<form action=/f><input type=CHECKBOX name=c checked><input type=Weird name=w checked>"
        "<input name=plain><input type=radio name=r value=1 checked><input type=radio name=r value=2 checked>"
        "<input type=radio name=other checked><button name=b value=v> Go <b>now</b> </button>"
        "<button type=RESET name=r2>R</button><button type=menu name=m>M</button>"
        "<textarea name=t>\nfirst\n\nline</textarea><textarea name=t2>\n\nx</textarea></form>");
    ASSERT_EQ(page.forms.size(), 1u);
    const auto& in = page.forms[0].inputs;
    ASSERT_EQ(in.size(), 11u);
    EXPECT_EQ(in[0].type, "checkbox");
    EXPECT_TRUE(in[0].checked);
    EXPECT_EQ(in[1].type, "text");  // an unknown type is a text field, and not checked
    EXPECT_FALSE(in[1].checked);
    EXPECT_EQ(in[2].type, "text");
    // Of one group's radio buttons only the last checked stays checked.
    EXPECT_FALSE(in[3].checked);
    EXPECT_TRUE(in[4].checked);
    EXPECT_TRUE(in[5].checked);
    EXPECT_EQ(in[6].element, "button");
    EXPECT_EQ(in[6].type, "submit");
    EXPECT_EQ(in[6].value, "v");
    EXPECT_EQ(in[6].label, "Go now");
    EXPECT_EQ(in[7].type, "reset");
    EXPECT_EQ(in[8].type, "submit");
    EXPECT_EQ(in[9].element, "textarea");
    EXPECT_EQ(in[9].type, "textarea");
    EXPECT_EQ(in[9].value, "first\n\nline");  // one leading newline dropped
    EXPECT_EQ(in[10].value, "\nx");
    // A button's text is its label, not the page's text; a shown button's
    // paragraph holds it.
    EXPECT_EQ(page.text().find("Go"), std::string::npos);
    const auto shown = std::find(page.paragraphs.begin(), page.paragraphs.end(), "Go now");
    ASSERT_NE(shown, page.paragraphs.end());
    EXPECT_TRUE(page.paragraphFields[static_cast<std::size_t>(shown - page.paragraphs.begin())].isField());
}

TEST(WebPageReaderControls, SelectsHoldTheirOptionsAsHTMLEndsThem) {
    const auto page = parse(
        "<select name=s><option> One  more </option><option value=2 selected>Two"
        "<optgroup label=g disabled><option>Three</optgroup><option label=L selected>Four"
        "<option label=''>Five</select>"
        "<select name=m multiple><option selected>a<option selected>b</select>"
        "<select name=n><option disabled>x<option>y</select>"
        "<select name=big size=2><option>p<option>q</select>"
        "<select name=cut><option>a<b>bold</b> text<input name=after><option>outside");
    const auto* s = controlNamed(page, "s");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->type, "select-one");
    ASSERT_EQ(s->options.size(), 5u);
    EXPECT_EQ(s->options[0].value, "One more");  // the text, whitespace stripped and collapsed
    EXPECT_EQ(s->options[1].value, "2");
    EXPECT_EQ(s->options[2].label, "Three");
    EXPECT_TRUE(s->options[2].disabled);  // by its optgroup
    EXPECT_EQ(s->options[3].label, "L");
    EXPECT_EQ(s->options[4].label, "Five");  // an empty label gives way to the text
    // A select of one choice keeps the last selected.
    EXPECT_FALSE(s->options[1].selected);
    EXPECT_TRUE(s->options[3].selected);
    const auto* m = controlNamed(page, "m");
    const auto* n = controlNamed(page, "n");
    const auto* big = controlNamed(page, "big");
    const auto* cut = controlNamed(page, "cut");
    ASSERT_TRUE(m && n && big && cut);
    ASSERT_EQ(m->options.size(), 2u);
    ASSERT_EQ(n->options.size(), 2u);
    ASSERT_EQ(big->options.size(), 2u);
    EXPECT_EQ(m->type, "select-multiple");
    EXPECT_TRUE(m->multiple);
    EXPECT_TRUE(m->options[0].selected && m->options[1].selected);
    // With none selected, the first enabled option is, in a one-line select.
    EXPECT_FALSE(n->options[0].selected);
    EXPECT_TRUE(n->options[1].selected);
    EXPECT_FALSE(big->options[0].selected);
    // Tags inside a select are dropped; an input ends it.
    ASSERT_EQ(cut->options.size(), 1u);
    EXPECT_EQ(cut->options[0].value, "abold text");
    ASSERT_TRUE(controlNamed(page, "after"));
    EXPECT_NE(page.text().find("outside"), std::string::npos);
}

TEST(WebPageReaderControls, ADisabledFieldsetDisablesAllButItsFirstLegend) {
    const auto page = parse(
        "<fieldset disabled><legend><input name=a></legend><legend><input name=b></legend>"
        "<input name=c><div><legend><input name=d></legend></div></fieldset><input name=e>"
        "<fieldset disabled><input name=f><legend><button name=g>g</button><select name=h></select></legend>"
        "</fieldset><fieldset disabled><fieldset><legend><input name=i></legend></fieldset></fieldset>"
        "<input name=j disabled>");
    const std::vector<std::pair<const char*, bool>> expected = {{"a", false}, {"b", true}, {"c", true},  {"d", true},
                                                                {"e", false}, {"f", true}, {"g", false}, {"h", false},
                                                                {"i", true},  {"j", true}};
    for (const auto& [name, disabled] : expected) {
        const auto* in = controlNamed(page, name);
        ASSERT_TRUE(in) << name;
        EXPECT_EQ(in->disabled, disabled) << name;
    }
}

TEST(WebPageReaderLimits, ReadingInSlicesGivesThePageReadAtOnce) {
    const std::string html =
        "<title>T &amp; t</title><form action=/f><input name=a value='&copy=1'><!-- c --!>"
        "<select name=s><option>x<option selected>y</select><textarea name=t>\nv</textarea>"
        "<script><!--<script></script>--></script><a href=/l>link</a><div id=d>in</div>&notit; &#65";
    const auto whole = parse(html);
    for (std::size_t slice : {1u, 2u, 3u, 7u, 64u}) {
        ui::WebPageReader reader(html, kBase);
        int calls = 0;
        while (!reader.read(slice)) ++calls;
        const auto sliced = reader.take();
        EXPECT_GE(calls, static_cast<int>(html.size() / slice / 2)) << slice;
        EXPECT_EQ(sliced.title, whole.title);
        EXPECT_EQ(sliced.text(), whole.text());
        EXPECT_EQ(formsOf(sliced), formsOf(whole));
        ASSERT_EQ(sliced.forms.size(), 1u);
        ASSERT_EQ(sliced.forms[0].inputs.size(), 3u);
        EXPECT_EQ(sliced.forms[0].inputs[0].value, "&copy=1");
        ASSERT_EQ(sliced.forms[0].inputs[1].options.size(), 2u);
        EXPECT_TRUE(sliced.forms[0].inputs[1].options[1].selected);
        EXPECT_EQ(sliced.innerHTML("d"), "in");
    }
}

// Past the bound on open elements a start tag that would open one more is
// ignored, so a form, select or SVG that deep changes nothing; controls and
// text-only elements still read.
TEST(WebPageReaderLimits, PastTheBoundOnOpenElementsNothingMoreOpens) {
    std::string deep;
    for (int i = 0; i < 600; ++i) deep += "<span>";
    const auto page = parse("<form action=/login>" + deep + "<form action=http://127.0.0.2/steal>" +
                            "<svg><input name=a></svg><script><input name=hidden></script><input name=b>");
    EXPECT_EQ(formsOf(page), "/login[a b]");
    const auto outside = parse(deep + "<form action=/deep><select><input name=c><title>T</title>");
    EXPECT_EQ(formsOf(outside), "/login/form[c]");
    EXPECT_EQ(outside.title, "T");
}

TEST(WebPageReaderIds, AnIdNamesTheFirstElementThatHasItAndIgnoredTagsHaveNone) {
    const auto page = parse(
        "<div id=a><p id=a>inner</p>outer</div><form id=f action=/f><form id=g action=/g></form>"
        "<select><b id=b>x</b></select><input id=i><td id=cell>c");
    EXPECT_EQ(page.innerHTML("a"), "<p id=a>inner</p>outer");
    EXPECT_TRUE(page.innerHTML("f"));
    EXPECT_FALSE(page.innerHTML("g"));     // an ignored form
    EXPECT_FALSE(page.innerHTML("b"));     // tags inside a select are dropped
    EXPECT_FALSE(page.innerHTML("cell"));  // a cell outside a table is dropped
    EXPECT_EQ(page.innerHTML("i"), "");
}

}  // namespace
