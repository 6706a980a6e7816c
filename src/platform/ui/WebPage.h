#pragma once
// The page model of the web view: an HTML page read leniently into its
// title, paragraphs of text, links, forms and the places of the elements
// with an id. Tags and their attributes are read as a browser reads them.
#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ui {

// A parsed page: title, blocks of text, links and form fields.
struct WebPage {
    struct Link {
        std::string text;
        std::string href;  // resolved against the page's URL
    };
    struct Input {
        std::string name;
        std::string type;  // "text", "password", "hidden", "submit"...
        std::string value;
        std::string id;
        std::string placeholder;
        // Shown on the page as a field or a button (not hidden).
        bool isVisible() const;
        bool isSubmit() const { return type == "submit"; }
    };
    struct Form {
        std::string action;  // resolved
        std::string method;  // "GET" or "POST"
        std::vector<Input> inputs;
    };
    std::string title;
    std::vector<std::string> paragraphs;
    // For each paragraph, the index of the link it is (-1: plain text).
    std::vector<int> paragraphLinks;
    // For each paragraph, the form field it stands for ({-1, -1}: none); a
    // field's paragraph holds no text of its own.
    struct FieldRef {
        int form = -1;
        int input = -1;
        bool isField() const { return form >= 0; }
    };
    std::vector<FieldRef> paragraphFields;
    std::vector<Link> links;
    std::vector<Form> forms;
    // Where the inner HTML of every element with an id lies in the page's
    // source (the first of an id wins): offsets, not copies, so that deeply
    // nested elements with ids cost no more than the page itself.
    std::map<std::string, std::pair<std::size_t, std::size_t>> elementsById;
    std::shared_ptr<const std::string> source;
    // The inner HTML of the element with this id, if the page has one.
    std::optional<std::string> innerHTML(const std::string& id) const;
    // The text paragraphs joined by line breaks.
    std::string text() const;

    // Parses HTML leniently (unknown tags are skipped, entities decoded).
    static WebPage parse(const std::string& html, const std::string& baseURL);
    // The address href names on a page at base (absolute, root-relative,
    // scheme-relative, query or fragment only, or relative to its folder).
    static std::string resolve(const std::string& href, const std::string& base);
};

// Reads a page in slices, so that reading a large one never holds its
// caller for long: each read() goes on for about the given number of bytes
// of the page. WebPage::parse reads it in one.
class WebPageReader {
public:
    WebPageReader(const std::string& html, const std::string& baseURL);
    ~WebPageReader();
    WebPageReader(const WebPageReader&) = delete;
    WebPageReader& operator=(const WebPageReader&) = delete;
    // Reads on; true once the whole page is read.
    bool read(std::size_t bytes);
    // The page read, once read() answered true.
    WebPage take();

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace ui
