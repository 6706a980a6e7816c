#pragma once
// HTML's tokenizer: turns a page into text, start tags and end tags as a
// browser reads them (comments and DOCTYPEs are read past). The tree builder
// that receives the tokens tells it which elements hold text only (a title,
// a script, a style, ...), as HTML's tree construction does.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ui::html {

// The attributes the page reader looks at; a tag's others are read past.
enum class Attribute : std::uint8_t {
    Id,
    Href,
    Action,
    Method,
    Name,
    Type,
    Value,
    Placeholder,
    Checked,
    Disabled,
    Multiple,
    Selected,
    Label,
    Size,
    Encoding,  // of a MathML annotation-xml
    Color,     // color, face and size make a <font> leave SVG and MathML
    Face,
    Count
};

struct Tag {
    std::string name;  // ASCII lower case, a NUL read as U+FFFD
    bool isEnd = false;
    bool selfClosing = false;  // "/" just before its ">"
    std::size_t begin = 0;     // where its "<" is
    std::size_t after = 0;     // just past its ">"
    // The first attribute of each name, its value's character references
    // decoded and a NUL read as U+FFFD.
    std::array<bool, static_cast<std::size_t>(Attribute::Count)> present{};
    std::array<std::string, static_cast<std::size_t>(Attribute::Count)> values;

    bool has(Attribute a) const { return present[static_cast<std::size_t>(a)]; }
    // The attribute's value; "" when the tag has none.
    const std::string& operator[](Attribute a) const {
        static const std::string none;
        return has(a) ? values[static_cast<std::size_t>(a)] : none;
    }
};

// How the content of an element that holds only text is read.
enum class TextState : std::uint8_t {
    Data,        // markup
    RCData,      // <title>, <textarea>: character references, no tags
    RawText,     // <style>, <xmp>, <iframe>, <noembed>, <noframes>, <noscript>
    ScriptData,  // <script>, with its escaped and double-escaped forms
    PlainText,   // <plaintext>: the rest of the page is text
};

class Tokenizer {
public:
    class Sink {
    public:
        virtual ~Sink() = default;
        // Characters, UTF-8 (a NUL of the markup comes through nullCharacter).
        virtual void characters(std::string_view text) = 0;
        // A NUL among the markup's text or in a CDATA section: HTML drops it,
        // SVG and MathML read it as U+FFFD.
        virtual void nullCharacter() = 0;
        virtual void tag(const Tag& tag) = 0;
        // A comment or DOCTYPE, read past: a token all the same.
        virtual void comment() = 0;
        // Whether the current node is an SVG or MathML element, where
        // "<![CDATA[" starts a CDATA section rather than a comment.
        virtual bool inForeignContent() const = 0;
    };

    // The input must stay alive and unchanged while the tokenizer reads it.
    Tokenizer(std::string_view input, Sink& sink) : in_(input), sink_(sink) {}

    // Reads on to about offset until (a token in progress is left where it
    // is, so the work per call is bounded); true once the whole input is
    // read, with whatever the end cut short sent on to the sink.
    bool run(std::size_t until);

    // Reads what follows the start tag just sent in state, up to the end tag
    // of the same name.
    void switchTo(TextState state);

    std::size_t position() const { return pos_; }

private:
    enum class State : std::uint8_t;
    void startTag(bool isEnd);
    void emitTag();
    void endComment();
    void doubleEscapeBoundary(char c, State ifScript, State otherwise);
    void startAttribute();
    void appendToName(char c);
    void endAttributeName();
    void appendToValue(std::string_view s);
    void attributeValueRun(std::size_t until, char quote);
    void characterReference(bool inAttribute);
    void markupDeclarationOpen();
    bool appropriateEndTag() const;
    void textFallback();
    void textRun(std::size_t until, State text);
    bool special(std::size_t i, State text) const;
    std::size_t find(char c, std::size_t until) const;
    void endOfInput();

    std::string_view in_;
    Sink& sink_;
    std::size_t pos_ = 0;
    State state_{};
    State textReturn_{};  // the text state a "<" inside an element's text returns to
    Tag tag_;
    std::string appropriate_;  // the name of the element whose text is read
    // The attribute being read: its name (as much as can still name one the
    // reader looks at) and which of them it is, if any.
    std::string attributeName_;
    bool attributeNameTooLong_ = false;
    int attribute_ = -1;
    std::size_t markStart_ = 0;  // where the "<" of a tag, or of what may be text, is
    std::size_t tempStart_ = 0;  // where a name that may make a script double-escaped begins
    bool finished_ = false;
};

}  // namespace ui::html
