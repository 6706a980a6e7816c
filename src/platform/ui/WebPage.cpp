#include "platform/ui/WebPage.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <string_view>
#include <unordered_map>

#include "platform/base/UTF8.h"
#include "platform/net/URL.h"
#include "platform/ui/WebPageTokenizer.h"

namespace ui {

namespace {

using html::Attribute;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

std::string lowerASCII(std::string_view s) {
    std::string out(s);
    for (auto& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    return out;
}

// The text with its runs of HTML's whitespace made one space, and none at
// either end.
std::string collapse(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    for (;;) {
        while (i < s.size() && isBlank(s[i])) ++i;
        const std::size_t word = i;
        while (i < s.size() && !isBlank(s[i])) ++i;
        if (i == word) return out;
        if (!out.empty()) out += ' ';
        out.append(s.substr(word, i - word));
    }
}

// The page's line breaks as HTML reads them before anything else: CR LF and
// a lone CR are each one LF.
void normalizeNewlines(std::string& s) {
    std::size_t w = s.find('\r');
    if (w == std::string::npos) return;
    for (std::size_t r = w; r < s.size(); ++r) {
        if (s[r] == '\r') {
            s[w++] = '\n';
            if (r + 1 < s.size() && s[r + 1] == '\n') ++r;
        } else {
            s[w++] = s[r];
        }
    }
    s.resize(w);
}

// HTML's rules for parsing non-negative integers (a <select>'s size): none
// when no digit comes first after blanks and an optional "+".
std::optional<long> nonNegativeInteger(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && isBlank(s[i])) ++i;
    if (i < s.size() && s[i] == '+') ++i;
    if (i >= s.size() || s[i] < '0' || s[i] > '9') return std::nullopt;
    long value = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) value = std::min(value * 10 + (s[i] - '0'), 1L << 30);
    return value;
}

enum class Ns : std::uint8_t { Html, Svg, MathML };

// What a start tag in HTML content does (the tag names tree construction
// treats alike share one).
enum class Kind : std::uint8_t {
    Other,
    Ignored,  // html, head, body, frameset, frame: nothing the model shows
    Void,     // no content and no end tag
    Block,    // ends an open <p>
    Heading,  // h1 to h6
    Pre,      // pre, listing
    Fieldset,
    Legend,
    Form,
    ListItem,    // li
    Definition,  // dd, dt
    Plaintext,
    Button,
    Anchor,      // a
    Formatting,  // b, i, ...: ended as the adoption agency does
    Nobr,
    ScopeMarker,  // applet, marquee, object
    Table,
    TablePart,  // caption, colgroup, tbody, td, tfoot, th, thead, tr
    Col,
    Hr,
    Image,  // image: read as img
    Input,
    Keygen,
    Textarea,
    Title,
    RawText,  // style, noframes, noscript, iframe, noembed: text not shown
    Xmp,
    Script,
    Template,
    Select,
    Option,    // option, optgroup
    RubyBase,  // rb, rtc
    RubyText,  // rp, rt
    Svg,
    Math,
};

Kind kindOf(std::string_view name) {
    static const std::unordered_map<std::string_view, Kind> kinds = [] {
        std::unordered_map<std::string_view, Kind> k;
        for (auto n : {"html", "head", "body", "frameset", "frame"}) k[n] = Kind::Ignored;
        for (auto n : {"area", "br", "embed", "img", "wbr", "param", "source", "track", "base", "basefont", "bgsound",
                       "link", "meta"})
            k[n] = Kind::Void;
        for (auto n : {"address", "article", "aside",      "blockquote", "center", "details", "dialog",  "dir",
                       "div",     "dl",      "figcaption", "figure",     "footer", "header",  "hgroup",  "main",
                       "menu",    "nav",     "ol",         "p",          "search", "section", "summary", "ul"})
            k[n] = Kind::Block;
        for (auto n : {"h1", "h2", "h3", "h4", "h5", "h6"}) k[n] = Kind::Heading;
        for (auto n : {"pre", "listing"}) k[n] = Kind::Pre;
        for (auto n : {"b", "big", "code", "em", "font", "i", "s", "small", "strike", "strong", "tt", "u"})
            k[n] = Kind::Formatting;
        for (auto n : {"applet", "marquee", "object"}) k[n] = Kind::ScopeMarker;
        for (auto n : {"caption", "colgroup", "tbody", "td", "tfoot", "th", "thead", "tr"}) k[n] = Kind::TablePart;
        for (auto n : {"style", "noframes", "noscript", "iframe", "noembed"}) k[n] = Kind::RawText;
        for (auto n : {"option", "optgroup"}) k[n] = Kind::Option;
        for (auto n : {"rb", "rtc"}) k[n] = Kind::RubyBase;
        for (auto n : {"rp", "rt"}) k[n] = Kind::RubyText;
        k["fieldset"] = Kind::Fieldset;
        k["legend"] = Kind::Legend;
        k["form"] = Kind::Form;
        k["li"] = Kind::ListItem;
        k["dd"] = k["dt"] = Kind::Definition;
        k["plaintext"] = Kind::Plaintext;
        k["button"] = Kind::Button;
        k["a"] = Kind::Anchor;
        k["nobr"] = Kind::Nobr;
        k["table"] = Kind::Table;
        k["col"] = Kind::Col;
        k["hr"] = Kind::Hr;
        k["image"] = Kind::Image;
        k["input"] = Kind::Input;
        k["keygen"] = Kind::Keygen;
        k["textarea"] = Kind::Textarea;
        k["title"] = Kind::Title;
        k["xmp"] = Kind::Xmp;
        k["script"] = Kind::Script;
        k["template"] = Kind::Template;
        k["select"] = Kind::Select;
        k["svg"] = Kind::Svg;
        k["math"] = Kind::Math;
        return k;
    }();
    const auto found = kinds.find(name);
    return found == kinds.end() ? Kind::Other : found->second;
}

// The classes of elements tree construction asks the open elements about,
// each kept as the places on the stack of the open ones of that class.
enum Class : std::uint8_t {
    kScope,          // bounds "in scope"
    kListScope,      // ol, ul: bound "in list item scope" too
    kButtonScope,    // button: bounds "in button scope" too
    kSpecial,        // HTML's special elements
    kSpecialNotADP,  // the special ones but address, div and p
    kHeading,        // h1 to h6
    kNotOption,      // all but option and optgroup: bound "in select scope"
    kHtml,           // HTML elements (not SVG or MathML)
    kClassCount
};

std::uint16_t classesOf(std::string_view name, Ns ns) {
    const auto bit = [](Class c) { return static_cast<std::uint16_t>(1u << c); };
    std::uint16_t classes = bit(kNotOption);
    if (ns != Ns::Html) {
        const bool boundary = ns == Ns::MathML ? (name == "mi" || name == "mo" || name == "mn" || name == "ms" ||
                                                  name == "mtext" || name == "annotation-xml")
                                               : (name == "foreignobject" || name == "desc" || name == "title");
        if (boundary) classes |= bit(kScope) | bit(kSpecial) | bit(kSpecialNotADP);
        return classes;
    }
    static const std::unordered_map<std::string_view, std::uint16_t> html = [&] {
        std::unordered_map<std::string_view, std::uint16_t> m;
        for (auto n : {"address",    "applet",   "area",   "article", "aside",     "base",     "basefont", "bgsound",
                       "blockquote", "body",     "br",     "button",  "caption",   "center",   "col",      "colgroup",
                       "dd",         "details",  "dir",    "div",     "dl",        "dt",       "embed",    "fieldset",
                       "figcaption", "figure",   "footer", "form",    "frame",     "frameset", "h1",       "h2",
                       "h3",         "h4",       "h5",     "h6",      "head",      "header",   "hgroup",   "hr",
                       "html",       "iframe",   "img",    "input",   "keygen",    "li",       "link",     "listing",
                       "main",       "marquee",  "menu",   "meta",    "nav",       "noembed",  "noframes", "noscript",
                       "object",     "ol",       "p",      "param",   "plaintext", "pre",      "script",   "search",
                       "section",    "select",   "source", "style",   "summary",   "table",    "tbody",    "td",
                       "template",   "textarea", "tfoot",  "th",      "thead",     "title",    "tr",       "track",
                       "ul",         "wbr",      "xmp"}) {
            const std::string_view s(n);
            m[s] |= bit(kSpecial);
            if (s != "address" && s != "div" && s != "p") m[s] |= bit(kSpecialNotADP);
        }
        for (auto n : {"applet", "caption", "html", "table", "td", "th", "marquee", "object", "template"})
            m[n] |= bit(kScope);
        for (auto n : {"h1", "h2", "h3", "h4", "h5", "h6"}) m[n] |= bit(kHeading);
        m["ol"] |= bit(kListScope);
        m["ul"] |= bit(kListScope);
        m["button"] |= bit(kButtonScope);
        return m;
    }();
    classes |= bit(kHtml);
    if (name == "option" || name == "optgroup") classes &= static_cast<std::uint16_t>(~bit(kNotOption));
    const auto found = html.find(name);
    if (found != html.end()) classes |= found->second;
    return classes;
}

// Elements that "generate implied end tags" closes.
bool closesImplicitly(std::string_view name) {
    return name == "p" || name == "li" || name == "dd" || name == "dt" || name == "option" || name == "optgroup" ||
           name == "rb" || name == "rp" || name == "rt" || name == "rtc";
}

// Start tags that take the parser out of SVG or MathML content.
bool leavesForeignContent(const html::Tag& tag) {
    static constexpr std::array<std::string_view, 44> names = {
        "b",     "big",   "blockquote", "body",   "br",   "center", "code",  "dd", "div",  "dl",   "dt",
        "em",    "embed", "h1",         "h2",     "h3",   "h4",     "h5",    "h6", "head", "hr",   "i",
        "img",   "li",    "listing",    "menu",   "meta", "nobr",   "ol",    "p",  "pre",  "ruby", "s",
        "small", "span",  "strong",     "strike", "sub",  "sup",    "table", "tt", "u",    "ul",   "var"};
    if (tag.name == "font") return tag.has(Attribute::Color) || tag.has(Attribute::Face) || tag.has(Attribute::Size);
    return std::find(names.begin(), names.end(), tag.name) != names.end();
}

// The input types HTML knows; any other reads as "text".
bool isKnownInputType(std::string_view type) {
    static constexpr std::array<std::string_view, 22> types = {
        "hidden", "text",  "search",         "tel",    "url",   "email", "password", "date",  "month",
        "week",   "time",  "datetime-local", "number", "range", "color", "checkbox", "radio", "file",
        "submit", "image", "reset",          "button"};
    return std::find(types.begin(), types.end(), type) != types.end();
}

// Tags after which the text so far is a paragraph of its own.
bool breaksText(std::string_view name) {
    static constexpr std::array<std::string_view, 21> blocks = {
        "p",     "div", "br", "h1",   "h2",      "h3",     "h4",     "h5",         "h6",  "li", "tr",
        "table", "ul",  "ol", "body", "section", "header", "footer", "blockquote", "pre", "hr"};
    return std::find(blocks.begin(), blocks.end(), name) != blocks.end();
}

}  // namespace

std::string WebPage::text() const {
    std::string out;
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        if (i < paragraphFields.size() && paragraphFields[i].isField()) continue;
        if (!out.empty()) out += "\n";
        out += paragraphs[i];
    }
    return out;
}

std::string WebPage::resolve(const std::string& href, const std::string& base) {
    // As a browser reads a link: an address its URL parser refuses leads
    // nowhere, and reads as empty, which no load takes.
    return net::URL::resolve(href, base).value_or(std::string());
}

// The reader: HTML's tokenizer feeds this tree builder, which keeps the open
// elements as HTML's tree construction does (without building the tree) and
// fills the page model as elements open and close. Where a browser moves
// content elsewhere in its tree (a table's misplaced content, formatting
// made again after a block that ended it) the model keeps it where it was
// read; the open elements follow the browser's.
struct WebPageReader::State : html::Tokenizer::Sink {
    // Elements open at once: past this, a start tag that would open another
    // is ignored (as a misplaced one is); empty and text-only elements,
    // which open nothing further, still count.
    static constexpr std::size_t kMaxOpen = 512;

    // Where the text inside an element goes.
    enum class Sink : std::uint8_t { Paragraph, Owner, Discard };

    struct Open {
        std::string name;
        Ns ns = Ns::Html;
        std::uint16_t classes = 0;
        Sink sink = Sink::Paragraph;
        int owner = -1;  // the link, button or option (its place) keeping the text of Sink::Owner
        // Controls inside are disabled by a fieldset; for a fieldset, what
        // encloses it (its first legend is disabled only by that).
        bool contentDisabled = false;
        bool enclosingDisabled = false;
        bool hadLegend = false;        // a fieldset with a legend child
        bool disabled = false;         // an optgroup's disabled attribute
        bool htmlIntegration = false;  // SVG or MathML whose content is HTML
        bool removed = false;          // taken off the stack out of turn (its place stays)
        std::string text;              // a link's, button's or option's text
        int link = -1;
        int form = -1, input = -1;                // a button's or select's control
        int paragraph = -1;                       // a button's paragraph, if it shows
        int option = -1;                          // an option's place among its select's
        bool hasValue = false, hasLabel = false;  // an option's attributes
        std::pair<std::size_t, std::size_t>* idPlace = nullptr;
        std::size_t contentStart = 0;
    };

    enum class Mode : std::uint8_t { Body, Select, Text };

    std::string html;
    std::string baseURL;
    WebPage page;
    std::optional<html::Tokenizer> tokenizer;
    bool done = false;

    std::vector<Open> open;
    std::array<std::vector<std::uint32_t>, kClassCount> classPlaces;
    std::unordered_map<std::string, std::vector<std::uint32_t>> htmlPlaces, foreignPlaces;
    Mode mode = Mode::Body;
    // The text-only element being read: where its text goes and what comes
    // after it.
    Mode textReturn = Mode::Body;
    enum class TextTarget : std::uint8_t { Inherit, Title, TextArea, Discard } textTarget = TextTarget::Discard;
    bool dropNewline = false;                 // the first line feed of a <textarea>, <pre> or <listing>
    std::string textBuffer;                   // a title's or text area's text
    std::pair<int, int> textControl{-1, -1};  // the text area read
    bool titleSeen = false;
    int formPointer = -1;  // the form element pointer's form (an index into page.forms)
    int looseForm = -1;    // the form that holds the controls outside any form
    int templates = 0;     // <template> elements open: what they hold is inert
    int openSelect = -1;   // the <select> read, as its place among the open elements
    long selectSize = 1;
    std::map<std::pair<int, std::string>, std::pair<int, int>> checkedRadios;
    std::size_t tokenBegin = 0;
    std::string current;  // the paragraph's text so far

    // --- the page model ---

    void flush() {
        std::string t = collapse(current);
        if (!t.empty()) {
            page.paragraphs.push_back(std::move(t));
            page.paragraphLinks.push_back(-1);
            page.paragraphFields.push_back({});
        }
        current.clear();
    }

    bool inert() const { return templates > 0; }

    // Adds a control to the form the form element pointer names, or to the
    // form of the controls outside any; answers where it is.
    std::pair<int, int> addControl(WebPage::Input in, const std::string& caption) {
        // The control's parent is the current node (for a button, select or
        // text area, added before it opens).
        int f = formPointer;
        if (f < 0) {
            if (looseForm < 0) {
                page.forms.push_back(WebPage::Form{baseURL, "GET", {}});
                looseForm = static_cast<int>(page.forms.size()) - 1;
            }
            f = looseForm;
        }
        in.disabled = in.disabled || (!open.empty() && open.back().contentDisabled);
        auto& inputs = page.forms[static_cast<std::size_t>(f)].inputs;
        const int index = static_cast<int>(inputs.size());
        // A checked radio button unchecks the one checked before it in its
        // group (same form, or none, and same name).
        if (in.type == "radio" && in.checked && !in.name.empty()) {
            auto [it, added] = checkedRadios.try_emplace({formPointer, in.name}, f, index);
            if (!added) {
                page.forms[static_cast<std::size_t>(it->second.first)]
                    .inputs[static_cast<std::size_t>(it->second.second)]
                    .checked = false;
                it->second = {f, index};
            }
        }
        inputs.push_back(std::move(in));
        if (inputs.back().isVisible()) {
            flush();
            page.paragraphs.push_back(caption);
            page.paragraphLinks.push_back(-1);
            page.paragraphFields.push_back({f, index});
        }
        return {f, index};
    }
    WebPage::Input& control(int form, int input) {
        return page.forms[static_cast<std::size_t>(form)].inputs[static_cast<std::size_t>(input)];
    }

    static WebPage::Input controlFrom(const html::Tag& tag, const char* element) {
        WebPage::Input in;
        in.element = element;
        in.name = tag[Attribute::Name];
        in.id = tag[Attribute::Id];
        in.placeholder = tag[Attribute::Placeholder];
        in.disabled = tag.has(Attribute::Disabled);
        return in;
    }

    void addInput(const html::Tag& tag) {
        WebPage::Input in = controlFrom(tag, "input");
        in.type = lowerASCII(tag[Attribute::Type]);
        if (!isKnownInputType(in.type)) in.type = "text";
        in.value = tag[Attribute::Value];
        in.checked = in.isCheckable() && tag.has(Attribute::Checked);
        std::string caption;
        if (in.isSubmit()) caption = in.value.empty() ? "Submit" : in.value;
        else if (in.type == "reset") caption = in.value.empty() ? "Reset" : in.value;
        else if (in.type == "button") caption = in.value;
        addControl(std::move(in), caption);
    }

    // --- the stack of open elements ---

    int top(Class c) const { return classPlaces[c].empty() ? -1 : static_cast<int>(classPlaces[c].back()); }
    int topNamed(const std::string& name) const {
        const auto found = htmlPlaces.find(name);
        return found == htmlPlaces.end() || found->second.empty() ? -1 : static_cast<int>(found->second.back());
    }
    // Whether the element at place is in scope: no boundary of the scope
    // lies above it (it may be one itself).
    bool inScope(int place, Class extra = kScope) const {
        return place >= 0 && place >= std::max(top(kScope), top(extra));
    }
    bool currentIs(std::string_view name) const {
        return !open.empty() && open.back().ns == Ns::Html && open.back().name == name;
    }

    Open* push(const html::Tag& tag, Ns ns) {
        Open e;
        e.name = tag.name;
        e.ns = ns;
        e.classes = classesOf(e.name, ns);
        e.contentStart = tag.after;
        if (!open.empty()) {
            const Open& parent = open.back();
            e.sink = parent.sink;
            e.owner = parent.owner;
            e.contentDisabled = parent.contentDisabled;
        }
        if (!inert() && tag.has(Attribute::Id) && !tag[Attribute::Id].empty()) {
            auto [it, added] =
                page.elementsById.try_emplace(tag[Attribute::Id], tag.after, std::numeric_limits<std::size_t>::max());
            if (added) e.idPlace = &it->second;
        }
        const auto place = static_cast<std::uint32_t>(open.size());
        for (int c = 0; c < kClassCount; ++c)
            if (e.classes & (1u << c)) classPlaces[static_cast<std::size_t>(c)].push_back(place);
        (ns == Ns::Html ? htmlPlaces : foreignPlaces)[e.name].push_back(place);
        open.push_back(std::move(e));
        return &open.back();
    }

    // An empty element: nothing but its id to keep.
    void insertVoid(const html::Tag& tag) {
        if (!inert() && tag.has(Attribute::Id) && !tag[Attribute::Id].empty())
            page.elementsById.try_emplace(tag[Attribute::Id], tag.after, 0);
    }

    // Takes the element at place off the stack; when it is not the current
    // node, its place stays, marked removed.
    void remove(std::size_t place) {
        Open& e = open[place];
        for (int c = 0; c < kClassCount; ++c) {
            if (!(e.classes & (1u << c))) continue;
            auto& places = classPlaces[static_cast<std::size_t>(c)];
            places.erase(std::find(places.rbegin(), places.rend(), place).base() - 1);
        }
        auto& names = e.ns == Ns::Html ? htmlPlaces : foreignPlaces;
        auto& places = names[e.name];
        places.erase(std::find(places.rbegin(), places.rend(), place).base() - 1);
        if (places.empty() && names.size() > 64) names.erase(e.name);
        e.removed = true;
        closed(e);
        while (!open.empty() && open.back().removed) open.pop_back();
    }
    void pop() { remove(open.size() - 1); }
    // Pops the open elements down to and including the one at place.
    void popTo(int place) {
        while (place >= 0 && open.size() > static_cast<std::size_t>(place)) pop();
    }
    void generateImpliedEndTags(std::string_view except = {}) {
        while (!open.empty() && open.back().ns == Ns::Html && closesImplicitly(open.back().name) &&
               open.back().name != except)
            pop();
    }
    void closeP() {
        const int p = topNamed("p");
        if (!inScope(p, kButtonScope)) return;
        generateImpliedEndTags("p");
        popTo(p);
    }

    // What an element's end leaves in the model.
    void closed(Open& e) {
        const std::size_t end = done ? html.size() : tokenBegin;
        if (e.idPlace && e.idPlace->second == std::numeric_limits<std::size_t>::max())
            e.idPlace->second = end - std::min(end, e.contentStart);
        if (e.ns != Ns::Html) return;
        if (e.link >= 0) {
            auto& link = page.links[static_cast<std::size_t>(e.link)];
            link.text = collapse(e.text);
            if (link.text.empty()) link.text = link.href;
            page.paragraphs.push_back(link.text);
            page.paragraphLinks.push_back(e.link);
            page.paragraphFields.push_back({});
        } else if (e.name == "button" && e.form >= 0) {
            auto& button = control(e.form, e.input);
            button.label = collapse(e.text);
            if (e.paragraph >= 0) page.paragraphs[static_cast<std::size_t>(e.paragraph)] = button.label;
        } else if (e.name == "option" && e.option >= 0 && openSelect >= 0 &&
                   open[static_cast<std::size_t>(openSelect)].form >= 0) {
            const Open& select = open[static_cast<std::size_t>(openSelect)];
            auto& option = control(select.form, select.input).options[static_cast<std::size_t>(e.option)];
            const std::string text = collapse(e.text);
            if (!e.hasValue) option.value = text;
            if (!e.hasLabel) option.label = text;
        } else if (e.name == "select") {
            if (e.form >= 0) chooseSelected(control(e.form, e.input));
            openSelect = -1;
            mode = Mode::Body;
        } else if (e.name == "template") {
            --templates;
        }
    }

    // HTML's selectedness setting: a select of one choice keeps only its
    // last selected option; shown in one line, it selects its first enabled
    // option when none is.
    void chooseSelected(WebPage::Input& select) {
        if (select.multiple) return;
        int last = -1;
        for (std::size_t i = 0; i < select.options.size(); ++i)
            if (select.options[i].selected) last = static_cast<int>(i);
        for (std::size_t i = 0; i < select.options.size(); ++i)
            select.options[i].selected = static_cast<int>(i) == last;
        if (last >= 0 || selectSize != 1) return;
        for (auto& option : select.options) {
            if (!option.disabled) {
                option.selected = true;
                break;
            }
        }
    }

    // --- text ---

    void deliver(std::string_view text) {
        if (open.empty()) {
            current += text;
            return;
        }
        const Open& e = open.back();
        switch (e.sink) {
        case Sink::Paragraph: current += text; break;
        case Sink::Owner: {
            Open& owner = open[static_cast<std::size_t>(e.owner)];
            if (owner.removed) current += text;  // closed out of turn: what follows is outside it
            else owner.text += text;
            break;
        }
        case Sink::Discard: break;
        }
    }

    void characters(std::string_view text) override {
        if (dropNewline) {
            // The line break just after <textarea>, <pre> or <listing>.
            dropNewline = false;
            if (!text.empty() && text.front() == '\n') text.remove_prefix(1);
        }
        if (mode != Mode::Text) {
            deliver(text);
            return;
        }
        switch (textTarget) {
        case TextTarget::Inherit: deliver(text); break;
        case TextTarget::Title:
        case TextTarget::TextArea: textBuffer += text; break;
        case TextTarget::Discard: break;
        }
    }

    static bool isMathText(const Open& e) {
        return e.ns == Ns::MathML &&
               (e.name == "mi" || e.name == "mo" || e.name == "mn" || e.name == "ms" || e.name == "mtext");
    }

    enum class Token : std::uint8_t { Start, End, Character };
    // Whether the token is read by SVG's and MathML's rules: the current
    // node is one of theirs, and not a point where HTML's rules come back.
    bool foreignRules(Token token, std::string_view name = {}) const {
        if (open.empty()) return false;
        const Open& e = open.back();
        if (e.ns == Ns::Html) return false;
        if (token == Token::End) return true;
        if (isMathText(e) && (token == Token::Character || (name != "mglyph" && name != "malignmark"))) return false;
        if (token == Token::Start && e.ns == Ns::MathML && e.name == "annotation-xml" && name == "svg") return false;
        return !e.htmlIntegration;
    }

    void nullCharacter() override {
        dropNewline = false;
        // HTML drops a NUL of the text; SVG and MathML read it as U+FFFD.
        if (mode != Mode::Text && foreignRules(Token::Character)) deliver("\xEF\xBF\xBD");
    }

    void comment() override { dropNewline = false; }

    bool inForeignContent() const override { return !open.empty() && open.back().ns != Ns::Html; }

    // --- tags ---

    void tag(const html::Tag& tag) override {
        dropNewline = false;
        tokenBegin = tag.begin;
        if (mode == Mode::Text) {
            endText();  // the only tag read inside one is its end tag
            return;
        }
        if (breaksText(tag.name)) flush();
        if (tag.isEnd) endTag(tag);
        else startTag(tag);
    }

    void startTag(const html::Tag& tag) {
        if (foreignRules(Token::Start, tag.name)) foreignStartTag(tag);
        else if (mode == Mode::Select) selectStartTag(tag);
        else bodyStartTag(tag);
    }

    void foreignStartTag(const html::Tag& tag) {
        if (leavesForeignContent(tag)) {
            while (!open.empty() && open.back().ns != Ns::Html && !open.back().htmlIntegration &&
                   !isMathText(open.back()))
                pop();
            startTag(tag);
            return;
        }
        if (open.size() >= kMaxOpen) return;
        pushForeign(tag, open.back().ns);
    }

    void pushForeign(const html::Tag& tag, Ns ns) {
        Open* e = push(tag, ns);
        if (ns == Ns::Svg) {
            e->htmlIntegration = e->name == "foreignobject" || e->name == "desc" || e->name == "title";
        } else if (e->name == "annotation-xml") {
            const std::string encoding = lowerASCII(tag[Attribute::Encoding]);
            e->htmlIntegration = encoding == "text/html" || encoding == "application/xhtml+xml";
        }
        if (tag.selfClosing) pop();
    }

    // An element whose content is only text: read by the tokenizer in state,
    // its text going to target.
    void startText(const html::Tag& tag, html::TextState state, TextTarget target) {
        push(tag, Ns::Html);
        textReturn = mode;
        mode = Mode::Text;
        textTarget = inert() && target != TextTarget::Inherit ? TextTarget::Discard : target;
        textBuffer.clear();
        tokenizer->switchTo(state);
    }

    void endText() {
        mode = textReturn;
        if (textTarget == TextTarget::Title) {
            page.title = collapse(textBuffer);
        } else if (textTarget == TextTarget::TextArea && textControl.first >= 0) {
            control(textControl.first, textControl.second).value = textBuffer;
        }
        textBuffer.clear();
        textControl = {-1, -1};
        pop();
    }

    // Whether a start tag of this kind opens an element that holds others.
    static bool opensElement(Kind kind) {
        switch (kind) {
        case Kind::Ignored:
        case Kind::Void:
        case Kind::Col:
        case Kind::Hr:
        case Kind::Image:
        case Kind::Input:
        case Kind::Keygen:
        case Kind::Textarea:
        case Kind::Title:
        case Kind::RawText:
        case Kind::Xmp:
        case Kind::Script:
        case Kind::Plaintext: return false;
        default: return true;
        }
    }

    void bodyStartTag(const html::Tag& tag) {
        const Kind kind = kindOf(tag.name);
        if (open.size() >= kMaxOpen && opensElement(kind)) return;
        switch (kind) {
        case Kind::Ignored: break;
        case Kind::Void:
        case Kind::Image:
        case Kind::Keygen: insertVoid(tag); break;
        case Kind::Hr:
            closeP();
            insertVoid(tag);
            break;
        case Kind::Block:
            closeP();
            push(tag, Ns::Html);
            break;
        case Kind::Pre:
            closeP();
            push(tag, Ns::Html);
            dropNewline = true;
            break;
        case Kind::Heading:
            closeP();
            if (!open.empty() && open.back().ns == Ns::Html && (open.back().classes & (1u << kHeading))) pop();
            push(tag, Ns::Html);
            break;
        case Kind::Fieldset: {
            closeP();
            Open* e = push(tag, Ns::Html);
            e->enclosingDisabled = e->contentDisabled;
            e->contentDisabled = e->contentDisabled || tag.has(Attribute::Disabled);
            break;
        }
        case Kind::Legend: {
            Open* parent = open.empty() || !currentIs("fieldset") ? nullptr : &open.back();
            const bool first = parent && !parent->hadLegend;
            const bool enclosing = parent && parent->enclosingDisabled;
            if (parent) parent->hadLegend = true;
            Open* e = push(tag, Ns::Html);
            // A fieldset's first legend is not disabled by that fieldset.
            if (first) e->contentDisabled = enclosing;
            break;
        }
        case Kind::Form: startForm(tag); break;
        case Kind::ListItem:
        case Kind::Definition: {
            // An open item of the same list ends here, unless a special
            // element (other than address, div, p) lies between.
            int item = kind == Kind::ListItem ? topNamed("li") : std::max(topNamed("dd"), topNamed("dt"));
            if (item >= 0 && item >= top(kSpecialNotADP)) {
                generateImpliedEndTags(open[static_cast<std::size_t>(item)].name);
                popTo(item);
            }
            closeP();
            push(tag, Ns::Html);
            break;
        }
        case Kind::Plaintext:
            closeP();
            push(tag, Ns::Html);
            tokenizer->switchTo(html::TextState::PlainText);
            break;
        case Kind::Button: {
            const int button = topNamed("button");
            if (inScope(button)) {
                generateImpliedEndTags();
                popTo(button);
            }
            std::pair<int, int> where{-1, -1};
            if (!inert()) {
                WebPage::Input in = controlFrom(tag, "button");
                in.type = lowerASCII(tag[Attribute::Type]);
                if (in.type != "reset" && in.type != "button") in.type = "submit";
                in.value = tag[Attribute::Value];
                where = addControl(std::move(in), "");
            }
            const bool shows = where.first >= 0 && control(where.first, where.second).isVisible();
            Open* e = push(tag, Ns::Html);
            if (where.first < 0) break;
            e->form = where.first;
            e->input = where.second;
            if (shows) e->paragraph = static_cast<int>(page.paragraphs.size()) - 1;
            e->sink = Sink::Owner;
            e->owner = static_cast<int>(open.size()) - 1;
            break;
        }
        case Kind::Anchor: {
            // A link left open ends where another begins.
            const int a = topNamed("a");
            if (inScope(a)) {
                adoptionAgency("a");
                if (static_cast<std::size_t>(a) < open.size() && !open[static_cast<std::size_t>(a)].removed &&
                    open[static_cast<std::size_t>(a)].name == "a")
                    remove(static_cast<std::size_t>(a));
            }
            Open* e = push(tag, Ns::Html);
            if (inert()) break;
            flush();
            page.links.push_back(WebPage::Link{"", WebPage::resolve(tag[Attribute::Href], baseURL)});
            e->link = static_cast<int>(page.links.size()) - 1;
            e->sink = Sink::Owner;
            e->owner = static_cast<int>(open.size()) - 1;
            break;
        }
        case Kind::Nobr:
            if (inScope(topNamed("nobr"))) adoptionAgency("nobr");
            push(tag, Ns::Html);
            break;
        case Kind::Formatting:
        case Kind::ScopeMarker:
        case Kind::Table:
        case Kind::Other: push(tag, Ns::Html); break;
        case Kind::TablePart:
            // Outside a table these are misplaced and ignored.
            if (topNamed("table") >= 0) push(tag, Ns::Html);
            break;
        case Kind::Col:
            if (topNamed("table") >= 0) insertVoid(tag);
            break;
        case Kind::Input:
            insertVoid(tag);
            if (!inert()) addInput(tag);
            break;
        case Kind::Textarea: {
            textControl = {-1, -1};
            if (!inert()) {
                WebPage::Input in = controlFrom(tag, "textarea");
                in.type = "textarea";
                textControl = addControl(std::move(in), "");
            }
            startText(tag, html::TextState::RCData, TextTarget::TextArea);
            dropNewline = true;
            break;
        }
        case Kind::Title:
            startText(tag, html::TextState::RCData, titleSeen ? TextTarget::Discard : TextTarget::Title);
            if (!inert()) titleSeen = true;
            break;
        case Kind::RawText: startText(tag, html::TextState::RawText, TextTarget::Discard); break;
        case Kind::Xmp:
            closeP();
            startText(tag, html::TextState::RawText, TextTarget::Inherit);
            break;
        case Kind::Script: startText(tag, html::TextState::ScriptData, TextTarget::Discard); break;
        case Kind::Template: {
            Open* e = push(tag, Ns::Html);
            e->sink = Sink::Discard;
            ++templates;
            break;
        }
        case Kind::Select: startSelect(tag); break;
        case Kind::Option:
            if (currentIs("option")) pop();
            push(tag, Ns::Html);
            break;
        case Kind::RubyBase:
        case Kind::RubyText:
            if (inScope(topNamed("ruby"))) generateImpliedEndTags(kind == Kind::RubyText ? "rtc" : "");
            push(tag, Ns::Html);
            break;
        case Kind::Svg:
        case Kind::Math: pushForeign(tag, kind == Kind::Svg ? Ns::Svg : Ns::MathML); break;
        }
    }

    // A <form> while the form element pointer names one is ignored: a form
    // never holds another, so a form written inside another page's form
    // cannot take that form's fields.
    void startForm(const html::Tag& tag) {
        if (formPointer >= 0 && !inert()) return;
        closeP();
        push(tag, Ns::Html);
        if (inert()) return;
        WebPage::Form form;
        form.action = WebPage::resolve(tag[Attribute::Action], baseURL);
        form.method = lowerASCII(tag[Attribute::Method]) == "post" ? "POST" : "GET";
        page.forms.push_back(std::move(form));
        formPointer = static_cast<int>(page.forms.size()) - 1;
        looseForm = -1;
    }

    void startSelect(const html::Tag& tag) {
        std::pair<int, int> where{-1, -1};
        if (!inert()) {
            WebPage::Input in = controlFrom(tag, "select");
            in.multiple = tag.has(Attribute::Multiple);
            in.type = in.multiple ? "select-multiple" : "select-one";
            const auto size = nonNegativeInteger(tag[Attribute::Size]);
            selectSize = size && *size > 0 ? *size : (in.multiple ? 4 : 1);
            where = addControl(std::move(in), "");
        }
        Open* e = push(tag, Ns::Html);
        e->sink = Sink::Discard;
        e->form = where.first;
        e->input = where.second;
        openSelect = static_cast<int>(open.size()) - 1;
        mode = Mode::Select;
    }

    void selectStartTag(const html::Tag& tag) {
        const Kind kind = kindOf(tag.name);
        const int select = topNamed("select");
        const bool selectInScope = select >= 0 && select >= top(kNotOption);
        if (tag.name == "option" || tag.name == "optgroup") {
            if (currentIs("option")) pop();
            if (tag.name == "optgroup" && currentIs("optgroup")) pop();
            if (open.size() >= kMaxOpen) return;
            const bool inDisabledGroup = currentIs("optgroup") && open.back().disabled;
            Open* e = push(tag, Ns::Html);
            e->disabled = tag.has(Attribute::Disabled);
            if (tag.name == "optgroup" || openSelect < 0 || inert()) return;
            const Open& s = open[static_cast<std::size_t>(openSelect)];
            if (s.form < 0) return;
            auto& options = control(s.form, s.input).options;
            WebPage::Option option;
            option.value = tag[Attribute::Value];
            option.label = tag[Attribute::Label];
            option.selected = tag.has(Attribute::Selected);
            option.disabled = e->disabled || inDisabledGroup;
            options.push_back(std::move(option));
            e->option = static_cast<int>(options.size()) - 1;
            e->hasValue = tag.has(Attribute::Value);
            e->hasLabel = !tag[Attribute::Label].empty();
            e->sink = Sink::Owner;
            e->owner = static_cast<int>(open.size()) - 1;
        } else if (tag.name == "select") {
            if (selectInScope) popTo(select);
        } else if (kind == Kind::Input || kind == Kind::Keygen || kind == Kind::Textarea) {
            if (!selectInScope) return;
            popTo(select);
            bodyStartTag(tag);
        } else if (kind == Kind::Script || kind == Kind::Template) {
            bodyStartTag(tag);
        }
    }

    void endTag(const html::Tag& tag) {
        if (foreignRules(Token::End)) {
            // The nearest SVG or MathML element of that name above the
            // nearest HTML element ends; with none, HTML's rules read it.
            const auto found = foreignPlaces.find(tag.name);
            const int place =
                found == foreignPlaces.end() || found->second.empty() ? -1 : static_cast<int>(found->second.back());
            if (place >= 0 && place > top(kHtml)) {
                popTo(place);
                return;
            }
        }
        if (mode == Mode::Select) selectEndTag(tag);
        else bodyEndTag(tag);
    }

    void selectEndTag(const html::Tag& tag) {
        if (tag.name == "option") {
            if (currentIs("option")) pop();
        } else if (tag.name == "optgroup") {
            if (currentIs("option") && open.size() >= 2 && open[open.size() - 2].name == "optgroup") pop();
            if (currentIs("optgroup")) pop();
        } else if (tag.name == "select") {
            const int select = topNamed("select");
            if (select >= 0 && select >= top(kNotOption)) popTo(select);
        } else if (tag.name == "template") {
            bodyEndTag(tag);
        }
    }

    void bodyEndTag(const html::Tag& tag) {
        const std::string& name = tag.name;
        const Kind kind = kindOf(name);
        switch (kind) {
        case Kind::Ignored: break;
        case Kind::Void:
            if (name == "br") insertVoid(tag);  // "</br>" is a <br>
            else anyOtherEndTag(name);
            break;
        case Kind::Form: endForm(); break;
        case Kind::Block:
        case Kind::Pre:
        case Kind::Fieldset:
        case Kind::Button:
        case Kind::ScopeMarker:
        case Kind::Template: {
            if (name == "p") {
                closeP();
                break;
            }
            const int place = topNamed(name);
            if (!inScope(place)) break;
            generateImpliedEndTags();
            popTo(place);
            break;
        }
        case Kind::ListItem:
        case Kind::Definition: {
            // An <li> ends within its list; <dd> and <dt> within any scope.
            const int place = topNamed(name);
            if (!(kind == Kind::ListItem ? inScope(place, kListScope) : inScope(place))) break;
            generateImpliedEndTags(name);
            popTo(place);
            break;
        }
        case Kind::Heading: {
            const int place = top(kHeading);
            if (!inScope(place)) break;
            generateImpliedEndTags();
            popTo(place);
            break;
        }
        case Kind::Anchor:
        case Kind::Formatting:
        case Kind::Nobr: adoptionAgency(name); break;
        case Kind::Table:
        case Kind::TablePart: {
            // A table's parts end as its own rules say, within the table.
            const int place = topNamed(name);
            if (place < 0 || place < topNamed("table")) break;
            generateImpliedEndTags();
            popTo(place);
            break;
        }
        default: anyOtherEndTag(name); break;
        }
    }

    // A </form> clears the form element pointer, so that the controls after
    // it belong to no form; the form element itself closes if it is open.
    void endForm() {
        if (templates > 0) {
            const int place = topNamed("form");
            if (!inScope(place)) return;
            generateImpliedEndTags();
            popTo(place);
            return;
        }
        formPointer = -1;
        const int place = topNamed("form");
        if (!inScope(place)) return;
        generateImpliedEndTags();
        remove(static_cast<std::size_t>(place));
    }

    // The end of a formatting element (HTML's adoption agency), for the
    // open elements: it closes with what it holds; or, when special elements
    // (blocks, forms, controls) opened inside it, a browser moves those out
    // of it and ends the rest: what lies above the last of them closes, the
    // elements between that are neither special nor formatting leave the
    // stack, and the formatting element ends. (The formatting a browser puts
    // back inside the moved elements is not made again.)
    void adoptionAgency(const std::string& name) {
        const int place = topNamed(name);
        if (!inScope(place)) return;
        const int last = top(kSpecial);
        if (last <= place) {
            popTo(place);
            return;
        }
        while (open.size() > static_cast<std::size_t>(last) + 1) pop();
        for (int i = last - 1; i > place; --i) {
            const Open& e = open[static_cast<std::size_t>(i)];
            if (e.removed || (e.classes & (1u << kSpecial))) continue;
            const Kind kind = e.ns == Ns::Html ? kindOf(e.name) : Kind::Other;
            if (kind != Kind::Formatting && kind != Kind::Anchor && kind != Kind::Nobr)
                remove(static_cast<std::size_t>(i));
        }
        remove(static_cast<std::size_t>(place));
    }

    void anyOtherEndTag(const std::string& name) {
        const int place = topNamed(name);
        if (place < 0 || top(kSpecial) > place) return;
        generateImpliedEndTags(name);
        popTo(place);
    }

    bool read(std::size_t bytes) {
        const std::size_t at = tokenizer->position();
        const std::size_t until = bytes > html.size() - std::min(at, html.size()) ? html.size() : at + bytes;
        if (!tokenizer->run(until)) return false;
        finish();
        return true;
    }

    void finish() {
        tokenBegin = html.size();
        if (mode == Mode::Text) endText();
        done = true;
        while (!open.empty()) pop();
        flush();
        if (!page.elementsById.empty()) page.source = std::make_shared<const std::string>(std::move(html));
    }
};

WebPageReader::WebPageReader(const std::string& html, const std::string& baseURL) : state_(std::make_unique<State>()) {
    // Only valid UTF-8 goes on to be drawn, posted or resolved: a byte that
    // starts no character reads as U+FFFD. The tokenizer reads the NULs.
    state_->html = base::validUTF8(html);
    normalizeNewlines(state_->html);
    state_->baseURL = baseURL;
    state_->tokenizer.emplace(state_->html, *state_);
}

WebPageReader::~WebPageReader() = default;

bool WebPageReader::read(std::size_t bytes) { return state_->done || state_->read(std::max<std::size_t>(bytes, 1)); }

WebPage WebPageReader::take() { return std::move(state_->page); }

WebPage WebPage::parse(const std::string& html, const std::string& baseURL) {
    WebPageReader reader(html, baseURL);
    while (!reader.read(std::numeric_limits<std::size_t>::max())) {}
    return reader.take();
}

std::optional<std::string> WebPage::innerHTML(const std::string& id) const {
    auto it = elementsById.find(id);
    if (it == elementsById.end() || !source) return std::nullopt;
    return source->substr(it->second.first, it->second.second);
}

}  // namespace ui
