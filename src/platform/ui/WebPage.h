#pragma once
// The page model of the web view: an HTML page read into its title,
// paragraphs of text, links, forms and the places of the elements with an
// id. The page is read as a browser reads it (HTML's tokenizer and, for what
// the model holds, its tree construction), so that a form, a control or a
// text holds what it holds in a browser.
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
    // One choice of a <select>.
    struct Option {
        std::string value;      // its value attribute, else its text
        std::string label;      // its label attribute, else its text
        bool selected = false;  // selected when the page loaded
        bool disabled = false;
    };
    // A control of a form: an <input>, <button>, <select> or <textarea>, in
    // the order the page holds them.
    struct Input {
        std::string name;
        // An <input>'s type, lower case ("text" when absent or unknown:
        // "text", "password", "hidden", "submit", "checkbox", "radio",
        // "reset", "button", "image", "file", "email", "search", ...); a
        // <button>'s is "submit", "reset" or "button"; a <select>'s
        // "select-one" or "select-multiple"; a <textarea>'s "textarea".
        std::string type;
        // The value attribute (a <textarea>'s: its text as the page holds
        // it, with one leading newline dropped).
        std::string value;
        std::string id;
        std::string placeholder;
        std::string element = "input";  // "input", "button", "select" or "textarea"
        bool checked = false;           // a checkbox or radio button checked when the page loaded
        bool disabled = false;          // itself, or inside a disabled <fieldset> (not its first <legend>)
        bool multiple = false;          // a <select multiple>
        std::vector<Option> options;    // a <select>'s
        // A <button>'s text (its value is what it sends).
        std::string label;
        // Shown on the page as a control (not hidden).
        bool isVisible() const;
        // A button that submits its form: <input type=submit|image>, <button
        // type=submit> (the type a <button> has by default).
        bool isSubmit() const { return type == "submit" || type == "image"; }
        bool isButton() const;  // submit, reset, button or image
        bool isCheckable() const { return type == "checkbox" || type == "radio"; }
        bool isSelect() const { return element == "select"; }
        bool isTextArea() const { return element == "textarea"; }
        // A text-like field whose Return submits the form implicitly.
        bool blocksImplicitSubmission() const;
    };
    // What the user has set a control to: it starts as the page left it
    // (Form::initialState) and changes as the user types, checks and picks.
    struct ControlState {
        std::string value;           // typed text (text fields, text areas)
        bool checked = false;        // checkboxes and radio buttons
        std::vector<bool> selected;  // a select's options
    };
    struct Form {
        std::string action;  // resolved
        std::string method;  // "GET" or "POST"
        std::vector<Input> inputs;
        // One state per input, as the page set them.
        std::vector<ControlState> initialState() const;
        // The entry list HTML's form submission builds from the controls in
        // states (one per input): named, enabled controls only; checked
        // checkboxes and radios ("on" when they have no value), the selected
        // options of a select, text fields and text areas as set, hidden
        // fields as the page set them; of the buttons only the submitter
        // (when given and named), an image button as name.x=0 and name.y=0.
        std::vector<std::pair<std::string, std::string>> entryList(const std::vector<ControlState>& states,
                                                                   std::optional<std::size_t> submitter) const;
        // The button implicit submission (Return in a field) presses: the
        // form's first submit button; none when it has none.
        std::optional<std::size_t> defaultButton() const;
        // Whether Return in a field submits: through the default button when
        // it is enabled; when the form has none, only when at most one of its
        // fields blocks implicit submission.
        bool allowsImplicitSubmission() const;
        // Checking the radio button at index unchecks the others of its
        // group (same form, same name) in states.
        void checkRadio(std::vector<ControlState>& states, std::size_t index) const;
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

    // Reads an HTML page (unknown tags hold their content, references are
    // decoded, whatever the markup, as a browser does).
    static WebPage parse(const std::string& html, const std::string& baseURL);
    // The address href names on a page at base, as a browser resolves it
    // (see net::URL::resolve); empty when it names none.
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
