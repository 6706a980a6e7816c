#include "platform/ui/WebPage.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <limits>
#include <string_view>
#include <unordered_map>

#include "platform/base/UTF8.h"
#include "platform/net/URL.h"

namespace ui {

namespace {

std::string lower(std::string_view s) {
    std::string out(s);
    for (auto& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// The named character references of HTML 4 (its Latin-1, symbol and special
// sets) and "apos".
const std::unordered_map<std::string, std::uint32_t>& namedEntities() {
    static const std::unordered_map<std::string, std::uint32_t> table = [] {
        std::unordered_map<std::string, std::uint32_t> names;
        // Latin-1: U+00A0 to U+00FF in order.
        static constexpr std::string_view latin1[] = {
            "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",
            "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",   "sup3",
            "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12",
            "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil",
            "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde",
            "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",
            "Uuml",   "Yacute", "THORN",  "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",
            "aelig",  "ccedil", "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",
            "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
            "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};
        std::uint32_t code = 0xA0;
        for (auto name : latin1) names.emplace(name, code++);
        // The Greek capitals from U+0391 and small letters from U+03B1 run in
        // the same order (U+03A2 is no letter; its small one is "sigmaf").
        static constexpr std::string_view greek[] = {"Alpha",   "Beta", "Gamma", "Delta",  "Epsilon", "Zeta", "Eta",
                                                     "Theta",   "Iota", "Kappa", "Lambda", "Mu",      "Nu",   "Xi",
                                                     "Omicron", "Pi",   "Rho",   "",       "Sigma",   "Tau",  "Upsilon",
                                                     "Phi",     "Chi",  "Psi",   "Omega"};
        code = 0x391;
        for (auto name : greek) {
            if (!name.empty()) {
                names.emplace(name, code);
                names.emplace(lower(name), code + 0x20);
            }
            ++code;
        }
        static constexpr std::pair<std::string_view, std::uint32_t> others[] = {
            // Symbols.
            {"fnof", 0x192},
            {"sigmaf", 0x3C2},
            {"thetasym", 0x3D1},
            {"upsih", 0x3D2},
            {"piv", 0x3D6},
            {"bull", 0x2022},
            {"hellip", 0x2026},
            {"prime", 0x2032},
            {"Prime", 0x2033},
            {"oline", 0x203E},
            {"frasl", 0x2044},
            {"weierp", 0x2118},
            {"image", 0x2111},
            {"real", 0x211C},
            {"trade", 0x2122},
            {"alefsym", 0x2135},
            {"larr", 0x2190},
            {"uarr", 0x2191},
            {"rarr", 0x2192},
            {"darr", 0x2193},
            {"harr", 0x2194},
            {"crarr", 0x21B5},
            {"lArr", 0x21D0},
            {"uArr", 0x21D1},
            {"rArr", 0x21D2},
            {"dArr", 0x21D3},
            {"hArr", 0x21D4},
            {"forall", 0x2200},
            {"part", 0x2202},
            {"exist", 0x2203},
            {"empty", 0x2205},
            {"nabla", 0x2207},
            {"isin", 0x2208},
            {"notin", 0x2209},
            {"ni", 0x220B},
            {"prod", 0x220F},
            {"sum", 0x2211},
            {"minus", 0x2212},
            {"lowast", 0x2217},
            {"radic", 0x221A},
            {"prop", 0x221D},
            {"infin", 0x221E},
            {"ang", 0x2220},
            {"and", 0x2227},
            {"or", 0x2228},
            {"cap", 0x2229},
            {"cup", 0x222A},
            {"int", 0x222B},
            {"there4", 0x2234},
            {"sim", 0x223C},
            {"cong", 0x2245},
            {"asymp", 0x2248},
            {"ne", 0x2260},
            {"equiv", 0x2261},
            {"le", 0x2264},
            {"ge", 0x2265},
            {"sub", 0x2282},
            {"sup", 0x2283},
            {"nsub", 0x2284},
            {"sube", 0x2286},
            {"supe", 0x2287},
            {"oplus", 0x2295},
            {"otimes", 0x2297},
            {"perp", 0x22A5},
            {"sdot", 0x22C5},
            {"lceil", 0x2308},
            {"rceil", 0x2309},
            {"lfloor", 0x230A},
            {"rfloor", 0x230B},
            // The angle brackets as browsers read them now.
            {"lang", 0x27E8},
            {"rang", 0x27E9},
            {"loz", 0x25CA},
            {"spades", 0x2660},
            {"clubs", 0x2663},
            {"hearts", 0x2665},
            {"diams", 0x2666},
            // Markup-significant and internationalisation characters.
            {"quot", 0x22},
            {"amp", 0x26},
            {"lt", 0x3C},
            {"gt", 0x3E},
            {"apos", 0x27},
            {"OElig", 0x152},
            {"oelig", 0x153},
            {"Scaron", 0x160},
            {"scaron", 0x161},
            {"Yuml", 0x178},
            {"circ", 0x2C6},
            {"tilde", 0x2DC},
            {"ensp", 0x2002},
            {"emsp", 0x2003},
            {"thinsp", 0x2009},
            {"zwnj", 0x200C},
            {"zwj", 0x200D},
            {"lrm", 0x200E},
            {"rlm", 0x200F},
            {"ndash", 0x2013},
            {"mdash", 0x2014},
            {"lsquo", 0x2018},
            {"rsquo", 0x2019},
            {"sbquo", 0x201A},
            {"ldquo", 0x201C},
            {"rdquo", 0x201D},
            {"bdquo", 0x201E},
            {"dagger", 0x2020},
            {"Dagger", 0x2021},
            {"permil", 0x2030},
            {"lsaquo", 0x2039},
            {"rsaquo", 0x203A},
            {"euro", 0x20AC}};
        for (const auto& [name, value] : others) names.emplace(name, value);
        return names;
    }();
    return table;
}

// The longest name among them ("thetasym").
constexpr std::size_t kLongestEntityName = 8;

// What &#128; to &#159; stand for: browsers read them as Windows-1252, the
// encoding such pages were written in (the five it leaves undefined stay).
constexpr std::uint32_t kWindows1252[32] = {0x20AC, 0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021,
                                            0x2C6,  0x2030, 0x160,  0x2039, 0x152,  0x8D,   0x17D,  0x8F,
                                            0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178};

// Decodes the character reference that starts at s[at] (an "&") onto out and
// answers its length, or 0 when none starts there. A named one is looked
// for no further than the longest name, a numeric one no further than its
// digits, so decoding a text looks at each character a bounded number of
// times however many "&" it holds.
std::size_t decodeEntityAt(std::string_view s, std::size_t at, std::string& out) {
    std::size_t j = at + 1;
    if (j < s.size() && s[j] == '#') {
        ++j;
        const bool hex = j < s.size() && (s[j] == 'x' || s[j] == 'X');
        if (hex) ++j;
        const std::size_t digits = j;
        std::uint32_t code = 0;
        bool tooLarge = false;
        for (; j < s.size(); ++j) {
            const auto c = static_cast<unsigned char>(s[j]);
            if (!(hex ? std::isxdigit(c) : std::isdigit(c))) break;
            const std::uint32_t digit =
                std::isdigit(c) ? c - '0' : static_cast<std::uint32_t>(std::tolower(c) - 'a' + 10);
            // Past U+10FFFF the number names no character, however long it is.
            if (!tooLarge) code = code * (hex ? 16 : 10) + digit;
            if (code > 0x10FFFF) tooLarge = true;
        }
        if (j == digits || j >= s.size() || s[j] != ';') return 0;
        // A number that names no character (0, a UTF-16 surrogate, past
        // U+10FFFF) reads as the replacement character.
        if (tooLarge || code == 0 || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
        if (code >= 0x80 && code <= 0x9F) code = kWindows1252[code - 0x80];
        base::appendUTF8(out, code);
        return j - at + 1;
    }
    while (j < s.size() && j - at <= kLongestEntityName && std::isalnum(static_cast<unsigned char>(s[j]))) ++j;
    if (j >= s.size() || s[j] != ';') return 0;
    const auto& names = namedEntities();
    const auto found = names.find(std::string(s.substr(at + 1, j - at - 1)));
    if (found == names.end()) return 0;
    base::appendUTF8(out, found->second);
    return j - at + 1;
}

std::string decodeEntities(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const std::size_t amp = s.find('&', i);
        if (amp == std::string::npos) {
            out.append(s.substr(i));
            break;
        }
        out.append(s.substr(i, amp - i));
        const std::size_t length = decodeEntityAt(s, amp, out);
        if (length == 0) out += '&';
        i = amp + std::max<std::size_t>(length, 1);
    }
    return out;
}

std::string collapse(const std::string& s) {
    std::string out;
    bool space = false;
    for (char c : s) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            space = true;
        } else {
            if (space && !out.empty()) out += ' ';
            space = false;
            out += c;
        }
    }
    return out;
}

// The attributes the page model reads; a tag's others are read past.
enum class Attribute { Id, Href, Action, Method, Name, Type, Value, Placeholder };
constexpr std::array<std::string_view, 8> kAttributeNames = {"id",   "href", "action", "method",
                                                             "name", "type", "value",  "placeholder"};

// A start or end tag as read from the page.
struct Tag {
    std::string name;  // lower case
    bool closing = false;
    bool selfClosing = false;  // "/" just before its ">"
    std::size_t end = 0;       // just past its ">"
    // The raw value of each attribute read (the first of a name).
    std::array<std::optional<std::string_view>, kAttributeNames.size()> values;

    // The attribute's value with its entities decoded; "" when absent.
    std::string attribute(Attribute a) const {
        const auto& value = values[static_cast<std::size_t>(a)];
        return value ? decodeEntities(*value) : std::string();
    }
};

// Reads the tag whose "<" is at html[open] (a letter or "/" and a letter
// follows it) as a browser does: its name runs to a blank, "/" or ">"; then
// each attribute is a name up to a blank, "/", ">" or "=", and when "="
// follows, a value in double quotes, in single quotes (each ending at its
// own quote only) or unquoted up to a blank or ">". A ">" inside a quoted
// value does not end the tag, and text inside one is never read as another
// attribute. Among attributes of one name the first counts. None when the
// page ends inside the tag. Each character is looked at once.
std::optional<Tag> readTag(std::string_view html, std::size_t open) {
    const std::size_t n = html.size();
    Tag tag;
    std::size_t i = open + 1;
    if (i < n && html[i] == '/') {
        tag.closing = true;
        ++i;
    }
    const std::size_t nameStart = i;
    while (i < n && !isBlank(html[i]) && html[i] != '/' && html[i] != '>') ++i;
    tag.name = lower(html.substr(nameStart, i - nameStart));
    for (;;) {
        bool slash = false;
        while (i < n && (isBlank(html[i]) || html[i] == '/')) slash = html[i++] == '/';
        if (i >= n) return std::nullopt;
        if (html[i] == '>') {
            tag.selfClosing = slash;
            tag.end = i + 1;
            return tag;
        }
        // A name may begin with "=" (as a browser reads "<p =x>").
        const std::size_t attributeStart = i++;
        while (i < n && !isBlank(html[i]) && html[i] != '/' && html[i] != '>' && html[i] != '=') ++i;
        const std::string_view name = html.substr(attributeStart, i - attributeStart);
        while (i < n && isBlank(html[i])) ++i;
        std::string_view value;
        if (i < n && html[i] == '=') {
            ++i;
            while (i < n && isBlank(html[i])) ++i;
            if (i >= n) return std::nullopt;
            if (html[i] == '"' || html[i] == '\'') {
                const std::size_t close = html.find(html[i], i + 1);
                if (close == std::string_view::npos) return std::nullopt;
                value = html.substr(i + 1, close - i - 1);
                i = close + 1;
            } else {
                const std::size_t valueStart = i;
                while (i < n && !isBlank(html[i]) && html[i] != '>') ++i;
                value = html.substr(valueStart, i - valueStart);
            }
        }
        if (name.size() > 11) continue;  // longer than any name read
        const std::string lowered = lower(name);
        for (std::size_t k = 0; k < kAttributeNames.size(); ++k)
            if (lowered == kAttributeNames[k] && !tag.values[k]) tag.values[k] = value;
    }
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
    if (href.empty()) return base;
    std::size_t colon = href.find(':');
    std::size_t slash = href.find('/');
    if (colon != std::string::npos && (slash == std::string::npos || colon < slash)) return href;  // absolute
    net::URL b(base);
    if (!b.isValid()) return href;
    std::string origin = b.scheme() + "://" + b.host() + (b.port() ? ":" + std::to_string(b.port()) : "");
    if (href.rfind("//", 0) == 0) return b.scheme() + ":" + href;
    if (href[0] == '/') return origin + href;
    // A fragment alone keeps the page's path and query; a query alone keeps
    // its path.
    if (href[0] == '#') {
        const std::string whole = b.absoluteString();
        return whole.substr(0, whole.find('#')) + href;
    }
    if (href[0] == '?') return b.stringWithoutQuery() + href;
    std::string path = b.path();
    std::size_t last = path.rfind('/');
    std::string dir = last == std::string::npos ? "/" : path.substr(0, last + 1);
    return origin + dir + href;
}

// What a reader keeps between slices: the page so far and where it is.
struct WebPageReader::State {
    std::string html;
    std::string baseURL;
    WebPage page;
    std::size_t i = 0;
    std::string current;
    int linkIndex = -1;
    std::string linkText;
    bool inTitle = false;
    int form = -1;  // the form open, as an index into page.forms
    // Open elements, for the inner HTML of those with an id.
    struct Open {
        std::string name;
        std::string id;
        std::size_t contentStart;
    };
    std::vector<Open> open;
    std::string lowered;  // the page in lower case, made when a script or style needs it
    bool done = false;

    void flush() {
        std::string t = collapse(decodeEntities(current));
        if (!t.empty()) {
            page.paragraphs.push_back(t);
            page.paragraphLinks.push_back(-1);
            page.paragraphFields.push_back({});
        }
        current.clear();
    }
    void addText(std::string_view chunk) {
        if (inTitle) page.title += chunk;
        else if (linkIndex >= 0) linkText += chunk;
        else current += chunk;
    }
    bool read(std::size_t bytes);
    void finish();
};

bool WebPageReader::State::read(std::size_t bytes) {
    constexpr std::size_t kMaxOpen = 512;
    static const char* voidTags[] = {"area",  "base", "br",   "col",   "embed",  "hr",    "img",
                                     "input", "link", "meta", "param", "source", "track", "wbr"};
    const std::size_t stop = bytes >= html.size() - i ? html.size() : i + bytes;
    while (i < stop) {
        if (html[i] != '<') {
            std::size_t next = html.find('<', i);
            if (next == std::string::npos) next = html.size();
            addText(std::string_view(html).substr(i, next - i));
            i = next;
            continue;
        }
        if (html.compare(i, 4, "<!--") == 0) {
            std::size_t end = html.find("-->", i + 4);
            i = end == std::string::npos ? html.size() : end + 3;
            continue;
        }
        // A "<" starts markup only before a letter, "/", "!" or "?"; else it
        // is text ("1 < 2").
        const auto at = [&](std::size_t k) { return k < html.size() ? html[k] : '\0'; };
        const bool letter = std::isalpha(static_cast<unsigned char>(at(i + 1)));
        const bool endTag = at(i + 1) == '/' && std::isalpha(static_cast<unsigned char>(at(i + 2)));
        if (!letter && !endTag) {
            if (at(i + 1) == '/' && at(i + 2) == '>') {
                i += 3;  // "</>" is nothing
                continue;
            }
            if (at(i + 1) == '!' || at(i + 1) == '?' || (at(i + 1) == '/' && i + 2 < html.size())) {
                // A declaration, a processing instruction or an end tag
                // without a name ends at its first ">".
                const std::size_t end = html.find('>', i);
                if (end == std::string::npos) {
                    i = html.size();  // the page ends inside it
                    break;
                }
                i = end + 1;
                continue;
            }
            addText("<");
            ++i;
            continue;
        }
        const auto read = readTag(html, i);
        if (!read) {
            i = html.size();  // the page ends inside the tag
            break;
        }
        const Tag& tag = *read;
        const std::size_t tagStart = i;
        i = tag.end;
        const std::string& name = tag.name;
        const bool closing = tag.closing;
        if (!name.empty()) {
            if (closing) {
                auto match = std::find_if(open.rbegin(), open.rend(), [&](const Open& o) { return o.name == name; });
                if (match != open.rend()) {
                    // Elements left open inside it end here too.
                    while (!open.empty()) {
                        Open o = open.back();
                        open.pop_back();
                        if (!o.id.empty())
                            page.elementsById.try_emplace(o.id, o.contentStart, tagStart - o.contentStart);
                        if (o.name == name) break;
                    }
                }
            } else {
                std::string id = tag.attribute(Attribute::Id);
                bool isVoid =
                    std::find(std::begin(voidTags), std::end(voidTags), name) != std::end(voidTags) || tag.selfClosing;
                if (isVoid) {
                    if (!id.empty()) page.elementsById.try_emplace(id, i, 0);
                } else if (open.size() < kMaxOpen && name != "script" && name != "style") {
                    open.push_back(Open{name, id, i});
                }
            }
        }
        if (!closing && (name == "script" || name == "style")) {
            // Its content is skipped up to its closing tag; a page that ends
            // before that tag is complete ends there.
            // That tag is "</" and the name ending there ("</scripty>" is text).
            if (lowered.empty()) lowered = lower(html);
            const std::string closer = "</" + name;
            std::size_t close = lowered.find(closer, i);
            while (close != std::string::npos) {
                const char next = at(close + closer.size());
                if (next == '\0' || isBlank(next) || next == '/' || next == '>') break;
                close = lowered.find(closer, close + 1);
            }
            const auto end = close == std::string::npos ? std::nullopt : readTag(html, close);
            i = end ? end->end : html.size();
            continue;
        }
        if (name == "title") {
            inTitle = !closing;
            if (closing) page.title = collapse(decodeEntities(page.title));
            continue;
        }
        if (name == "a") {
            if (!closing) {
                flush();
                WebPage::Link link;
                link.href = WebPage::resolve(tag.attribute(Attribute::Href), baseURL);
                page.links.push_back(link);
                linkIndex = static_cast<int>(page.links.size()) - 1;
                linkText.clear();
            } else if (linkIndex >= 0) {
                std::string t = collapse(decodeEntities(linkText));
                if (t.empty()) t = page.links[static_cast<std::size_t>(linkIndex)].href;
                page.links[static_cast<std::size_t>(linkIndex)].text = t;
                page.paragraphs.push_back(t);
                page.paragraphLinks.push_back(linkIndex);
                page.paragraphFields.push_back({});
                linkIndex = -1;
            }
            continue;
        }
        if (name == "form") {
            if (!closing) {
                WebPage::Form f;
                f.action = WebPage::resolve(tag.attribute(Attribute::Action), baseURL);
                std::string m = tag.attribute(Attribute::Method);
                for (auto& c : m) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                f.method = m == "POST" ? "POST" : "GET";
                page.forms.push_back(f);
                form = static_cast<int>(page.forms.size()) - 1;
            } else {
                form = -1;
            }
            continue;
        }
        if (name == "input" && !closing) {
            WebPage::Input in;
            in.name = tag.attribute(Attribute::Name);
            in.type = lower(tag.attribute(Attribute::Type));
            if (in.type.empty()) in.type = "text";
            in.value = tag.attribute(Attribute::Value);
            in.id = tag.attribute(Attribute::Id);
            in.placeholder = tag.attribute(Attribute::Placeholder);
            if (form < 0) {
                page.forms.push_back(WebPage::Form{baseURL, "GET", {}});
                form = static_cast<int>(page.forms.size()) - 1;
            }
            auto& inputs = page.forms[static_cast<std::size_t>(form)].inputs;
            inputs.push_back(in);
            if (in.isVisible()) {
                flush();
                page.paragraphs.push_back(in.isSubmit() ? (in.value.empty() ? "Submit" : in.value) : "");
                page.paragraphLinks.push_back(-1);
                page.paragraphFields.push_back({form, static_cast<int>(inputs.size()) - 1});
            }
            continue;
        }
        static const char* blocks[] = {"p",    "div",     "br",     "h1",     "h2",         "h3",  "h4",
                                       "h5",   "h6",      "li",     "tr",     "table",      "ul",  "ol",
                                       "body", "section", "header", "footer", "blockquote", "pre", "hr"};
        if (std::find(std::begin(blocks), std::end(blocks), name) != std::end(blocks)) flush();
    }
    if (i < html.size()) return false;
    finish();
    return true;
}

void WebPageReader::State::finish() {
    flush();
    // Elements still open at the end hold the rest of the page.
    for (const Open& o : open)
        if (!o.id.empty()) page.elementsById.try_emplace(o.id, o.contentStart, html.size() - o.contentStart);
    if (!page.elementsById.empty()) page.source = std::make_shared<const std::string>(std::move(html));
    done = true;
}

WebPageReader::WebPageReader(const std::string& html, const std::string& baseURL) : state_(std::make_unique<State>()) {
    // Only valid UTF-8 goes on to be drawn, posted or resolved: a byte that
    // starts no character reads as U+FFFD, and NUL is dropped.
    state_->html = base::validUTF8(html);
    state_->html.erase(std::remove(state_->html.begin(), state_->html.end(), '\0'), state_->html.end());
    state_->baseURL = baseURL;
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
