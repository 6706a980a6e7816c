#include "platform/ui/WebPage.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <string_view>

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

// The longest entity name this parser knows ("quot", "nbsp", "apos").
constexpr std::size_t kLongestEntityName = 4;

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
        base::appendUTF8(out, code);
        return j - at + 1;
    }
    while (j < s.size() && j - at <= kLongestEntityName && std::isalnum(static_cast<unsigned char>(s[j]))) ++j;
    if (j >= s.size() || s[j] != ';') return 0;
    static const std::pair<const char*, const char*> named[] = {{"amp", "&"},   {"lt", "<"},   {"gt", ">"},
                                                                {"quot", "\""}, {"apos", "'"}, {"nbsp", " "}};
    const std::string_view name(s.data() + at + 1, j - at - 1);
    for (const auto& [entity, text] : named)
        if (name == entity) {
            out += text;
            return j - at + 1;
        }
    return 0;
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

bool WebPage::Input::isVisible() const {
    return type != "hidden" && type != "checkbox" && type != "radio" && type != "file" && type != "image" &&
           type != "reset" && type != "button";
}

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
    if (href[0] == '#' || href[0] == '?') return b.stringWithoutQuery() + href;
    std::string path = b.path();
    std::size_t last = path.rfind('/');
    std::string dir = last == std::string::npos ? "/" : path.substr(0, last + 1);
    return origin + dir + href;
}

WebPage WebPage::parse(const std::string& html, const std::string& baseURL) {
    WebPage page;
    std::string current;
    int linkIndex = -1;
    std::string linkText;
    bool inTitle = false;
    int form = -1;  // the form open, as an index into page.forms
    auto flush = [&] {
        std::string t = collapse(decodeEntities(current));
        if (!t.empty()) {
            page.paragraphs.push_back(t);
            page.paragraphLinks.push_back(-1);
            page.paragraphFields.push_back({});
        }
        current.clear();
    };
    auto addText = [&](std::string_view chunk) {
        if (inTitle) page.title += chunk;
        else if (linkIndex >= 0) linkText += chunk;
        else current += chunk;
    };
    // Open elements, for the inner HTML of those with an id.
    struct Open {
        std::string name;
        std::string id;
        std::size_t contentStart;
    };
    std::vector<Open> open;
    constexpr std::size_t kMaxOpen = 512;
    static const char* voidTags[] = {"area",  "base", "br",   "col",   "embed",  "hr",    "img",
                                     "input", "link", "meta", "param", "source", "track", "wbr"};
    std::string lowered;  // the page in lower case, made when a script or style needs it
    std::size_t i = 0;
    while (i < html.size()) {
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
        const char after = i + 1 < html.size() ? html[i + 1] : '\0';
        if (after == '!' || after == '?') {
            // A declaration or processing instruction ends at its first ">".
            const std::size_t end = html.find('>', i);
            if (end == std::string::npos) break;
            i = end + 1;
            continue;
        }
        const auto read = readTag(html, i);
        if (!read) break;
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
                        if (!o.id.empty() && !page.elementsById.count(o.id))
                            page.elementsById[o.id] = {o.contentStart, tagStart - o.contentStart};
                        if (o.name == name) break;
                    }
                }
            } else {
                std::string id = tag.attribute(Attribute::Id);
                bool isVoid =
                    std::find(std::begin(voidTags), std::end(voidTags), name) != std::end(voidTags) || tag.selfClosing;
                if (isVoid) {
                    if (!id.empty() && !page.elementsById.count(id)) page.elementsById[id] = {i, 0};
                } else if (open.size() < kMaxOpen && name != "script" && name != "style") {
                    open.push_back(Open{name, id, i});
                }
            }
        }
        if (!closing && (name == "script" || name == "style")) {
            // Its content is skipped up to its closing tag; a page that ends
            // before that tag is complete ends there.
            if (lowered.empty()) lowered = lower(html);
            const std::size_t close = lowered.find("</" + name, i);
            const std::size_t end = close == std::string::npos ? std::string::npos : html.find('>', close);
            i = end == std::string::npos ? html.size() : end + 1;
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
                Link link;
                link.href = resolve(tag.attribute(Attribute::Href), baseURL);
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
                Form f;
                f.action = resolve(tag.attribute(Attribute::Action), baseURL);
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
            Input in;
            in.name = tag.attribute(Attribute::Name);
            in.type = lower(tag.attribute(Attribute::Type));
            if (in.type.empty()) in.type = "text";
            in.value = tag.attribute(Attribute::Value);
            in.id = tag.attribute(Attribute::Id);
            in.placeholder = tag.attribute(Attribute::Placeholder);
            if (form < 0) {
                page.forms.push_back(Form{baseURL, "GET", {}});
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
    flush();
    // Elements still open at the end hold the rest of the page.
    for (const Open& o : open)
        if (!o.id.empty() && !page.elementsById.count(o.id))
            page.elementsById[o.id] = {o.contentStart, html.size() - o.contentStart};
    if (!page.elementsById.empty()) page.source = std::make_shared<const std::string>(html);
    return page;
}

std::optional<std::string> WebPage::innerHTML(const std::string& id) const {
    auto it = elementsById.find(id);
    if (it == elementsById.end() || !source) return std::nullopt;
    return source->substr(it->second.first, it->second.second);
}

}  // namespace ui
