#include "platform/ui/WebPageTokenizer.h"

#include <algorithm>

#include "platform/base/UTF8.h"
#include "platform/ui/WebPageReferences.h"

namespace ui::html {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// HTML's ASCII whitespace (a carriage return never reaches the tokenizer:
// the page's line breaks are made line feeds first).
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }
bool isAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isAlnum(char c) { return isAlpha(c) || isDigit(c); }
char toLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

bool equalsIgnoringCase(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (toLower(text[i]) != lower[i]) return false;
    return true;
}

// The names of the attributes read, in the order of Attribute.
constexpr std::array<std::string_view, static_cast<std::size_t>(Attribute::Count)> kAttributeNames = {
    "id",       "href",     "action",   "method", "name", "type",     "value", "placeholder", "checked",
    "disabled", "multiple", "selected", "label",  "size", "encoding", "color", "face"};
constexpr std::size_t kLongestAttributeName = 11;  // "placeholder"

// What &#128; to &#159; stand for: browsers read them as Windows-1252, the
// encoding such pages were written in (the five it leaves undefined stay).
constexpr std::uint32_t kWindows1252[32] = {0x20AC, 0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021,
                                            0x2C6,  0x2030, 0x160,  0x2039, 0x152,  0x8D,   0x17D,  0x8F,
                                            0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178};

}  // namespace

const NamedReference* longestNamedReference(std::string_view text) {
    // Every name in [lo, hi) starts with the characters matched so far; a
    // name that is exactly those sorts first among them.
    const NamedReference* lo = kNamedReferences;
    const NamedReference* hi = kNamedReferences + kNamedReferenceCount;
    const NamedReference* best = nullptr;
    const std::size_t most = std::min(text.size(), kLongestReferenceName);
    for (std::size_t k = 0; k < most; ++k) {
        const auto c = static_cast<unsigned char>(text[k]);
        // The k-th character of a name, or -1 when it is no longer.
        const auto at = [k](const NamedReference& r) {
            return r.name.size() > k ? static_cast<int>(static_cast<unsigned char>(r.name[k])) : -1;
        };
        lo = std::partition_point(lo, hi, [&](const NamedReference& r) { return at(r) < c; });
        hi = std::partition_point(lo, hi, [&](const NamedReference& r) { return at(r) == c; });
        if (lo == hi) break;
        if (lo->name.size() == k + 1) best = lo;
    }
    return best;
}

enum class Tokenizer::State : std::uint8_t {
    Data,
    RCData,
    RawText,
    ScriptData,
    PlainText,
    TagOpen,
    EndTagOpen,
    TagName,
    // "<", "</" and "</name" inside an RCDATA, RAWTEXT or script element's
    // text, which return to textReturn_ unless they make its end tag.
    TextLessThan,
    TextEndTagOpen,
    TextEndTagName,
    ScriptDataLessThan,
    ScriptDataEscapeStart,
    ScriptDataEscapeStartDash,
    ScriptDataEscaped,
    ScriptDataEscapedDash,
    ScriptDataEscapedDashDash,
    ScriptDataEscapedLessThan,
    ScriptDataDoubleEscapeStart,
    ScriptDataDoubleEscaped,
    ScriptDataDoubleEscapedDash,
    ScriptDataDoubleEscapedDashDash,
    ScriptDataDoubleEscapedLessThan,
    ScriptDataDoubleEscapeEnd,
    BeforeAttributeName,
    AttributeName,
    AfterAttributeName,
    BeforeAttributeValue,
    AttributeValueDoubleQuoted,
    AttributeValueSingleQuoted,
    AttributeValueUnquoted,
    AfterAttributeValueQuoted,
    SelfClosingStartTag,
    BogusComment,  // also a DOCTYPE: both end at the first ">"
    CommentStart,
    CommentStartDash,
    Comment,
    CommentEndDash,
    CommentEnd,
    CommentEndBang,
    CDataSection,
    CDataSectionBracket,
    CDataSectionEnd,
};

void Tokenizer::switchTo(TextState state) {
    appropriate_ = tag_.name;
    switch (state) {
    case TextState::Data: state_ = State::Data; break;
    case TextState::RCData: state_ = State::RCData; break;
    case TextState::RawText: state_ = State::RawText; break;
    case TextState::ScriptData: state_ = State::ScriptData; break;
    case TextState::PlainText: state_ = State::PlainText; break;
    }
}

// At the ">" that ends a comment, a DOCTYPE or a bogus comment.
// Reads on through the letters of a name after "<" or "</" in escaped
// script text: a name that ends being "script" switches to ifScript, any
// other name or character returns to otherwise.
void Tokenizer::doubleEscapeBoundary(char c, State ifScript, State otherwise) {
    if (isSpace(c) || c == '/' || c == '>') {
        state_ = equalsIgnoringCase(in_.substr(tempStart_, pos_ - tempStart_), "script") ? ifScript : otherwise;
        ++pos_;
    } else if (isAlpha(c)) {
        ++pos_;
    } else {
        state_ = otherwise;
    }
}

void Tokenizer::endComment() {
    ++pos_;
    state_ = State::Data;
    sink_.comment();
}

void Tokenizer::emitTag() {
    ++pos_;  // the ">"
    tag_.after = pos_;
    state_ = State::Data;
    sink_.tag(tag_);
}

void Tokenizer::startTag(bool isEnd) {
    tag_.name.clear();
    tag_.isEnd = isEnd;
    tag_.selfClosing = false;
    tag_.begin = markStart_;
    tag_.present.fill(false);
}

void Tokenizer::startAttribute() {
    attributeName_.clear();
    attributeNameTooLong_ = false;
    attribute_ = -1;
}

void Tokenizer::appendToName(char c) {
    if (attributeName_.size() < kLongestAttributeName) attributeName_ += c;
    else attributeNameTooLong_ = true;
}

void Tokenizer::endAttributeName() {
    attribute_ = -1;
    if (tag_.isEnd || attributeNameTooLong_) return;
    for (std::size_t k = 0; k < kAttributeNames.size(); ++k) {
        if (attributeName_ != kAttributeNames[k]) continue;
        // Of two attributes of one name the first counts.
        if (!tag_.present[k]) {
            tag_.present[k] = true;
            tag_.values[k].clear();
            attribute_ = static_cast<int>(k);
        }
        return;
    }
}

void Tokenizer::appendToValue(std::string_view s) {
    if (attribute_ >= 0) tag_.values[static_cast<std::size_t>(attribute_)] += s;
}

bool Tokenizer::appropriateEndTag() const { return !appropriate_.empty() && tag_.name == appropriate_; }

// At an "&": decodes the character reference there (or reads the "&" as
// itself) onto the text or the attribute value being read. A named one is
// looked for no further than the longest name, a numeric one no further
// than its digits, so each character is looked at a bounded number of times.
void Tokenizer::characterReference(bool inAttribute) {
    const auto emit = [&](std::string_view s) {
        if (inAttribute) appendToValue(s);
        else sink_.characters(s);
    };
    const std::size_t n = in_.size();
    const std::size_t at = pos_;
    std::size_t j = at + 1;
    if (j < n && isAlnum(in_[j])) {
        const NamedReference* ref = longestNamedReference(in_.substr(j));
        if (!ref) {
            // Not a reference: the "&" and what follows are text.
            emit("&");
            pos_ = j;
            return;
        }
        const std::size_t end = j + ref->name.size();
        // In an attribute a legacy name without ";" before "=" or a letter
        // or digit stays as written ("?a=1&copy=2").
        if (inAttribute && ref->name.back() != ';' && end < n && (in_[end] == '=' || isAlnum(in_[end])))
            emit(in_.substr(at, end - at));
        else emit(ref->value);
        pos_ = end;
        return;
    }
    if (j < n && in_[j] == '#') {
        ++j;
        const bool hex = j < n && (in_[j] == 'x' || in_[j] == 'X');
        if (hex) ++j;
        const std::size_t digits = j;
        std::uint32_t code = 0;
        for (; j < n; ++j) {
            const char c = in_[j];
            std::uint32_t digit = 0;
            if (isDigit(c)) digit = static_cast<std::uint32_t>(c - '0');
            else if (hex && toLower(c) >= 'a' && toLower(c) <= 'f')
                digit = static_cast<std::uint32_t>(toLower(c) - 'a' + 10);
            else break;
            // Past U+10FFFF the number names no character, however long it is.
            code = std::min<std::uint32_t>(code * (hex ? 16 : 10) + digit, 0x110000);
        }
        if (j == digits) {
            // "&#" or "&#x" without digits is text.
            emit(in_.substr(at, j - at));
            pos_ = j;
            return;
        }
        if (j < n && in_[j] == ';') ++j;
        // A number that names no character (0, a UTF-16 surrogate, past
        // U+10FFFF) reads as the replacement character.
        if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
        if (code >= 0x80 && code <= 0x9F) code = kWindows1252[code - 0x80];
        std::string decoded;
        base::appendUTF8(decoded, code);
        emit(decoded);
        pos_ = j;
        return;
    }
    emit("&");
    pos_ = j;
}

// Where c next is from pos_ on, looking no further than until (and at
// least at pos_); the input's size when it is not there.
std::size_t Tokenizer::find(char c, std::size_t until) const {
    const std::size_t stop = std::min(in_.size(), std::max(until, pos_ + 1));
    const std::size_t at = in_.substr(0, stop).find(c, pos_);
    return at == std::string_view::npos ? in_.size() : at;
}

// Sends on the text from pos_ up to the next character that means more than
// itself (special()), reading no further than until; the caller handles
// that character.
void Tokenizer::textRun(std::size_t until, State text) {
    const std::size_t n = std::min(in_.size(), std::max(until, pos_ + 1));
    std::size_t i = pos_;
    for (; i < n; ++i) {
        const char c = in_[i];
        if ((c == '<' || c == '&' || c == '\0') && special(i, text)) break;
    }
    if (i > pos_) sink_.characters(in_.substr(pos_, i - pos_));
    pos_ = i;
}

// Whether the character at i, in text read in state text (Data, RCData or
// RawText), means more than itself: a NUL, a "<" that may begin a tag (or
// in an element's text its end tag), an "&" that may begin a reference. A
// "<" or "&" that cannot is text as it stands ("1 < 2", "fish & chips").
bool Tokenizer::special(std::size_t i, State text) const {
    const char c = in_[i];
    if (c == '\0') return true;
    if (c != '<' && c != '&') return false;
    if (i + 1 >= in_.size()) return false;
    const char next = in_[i + 1];
    if (c == '&') return text != State::RawText && (isAlnum(next) || next == '#');
    if (text != State::Data) return next == '/';
    return isAlpha(next) || next == '!' || next == '/' || next == '?';
}

bool Tokenizer::run(std::size_t until) {
    const std::size_t n = in_.size();
    while (!finished_) {
        if (pos_ >= n) {
            endOfInput();
            finished_ = true;
            break;
        }
        if (pos_ >= until) break;
        const char c = in_[pos_];
        switch (state_) {
        case State::Data:
        case State::RCData:
        case State::RawText:
            if (!special(pos_, state_)) {
                textRun(until, state_);
            } else if (c == '<') {
                markStart_ = pos_++;
                textReturn_ = state_;
                state_ = state_ == State::Data ? State::TagOpen : State::TextLessThan;
            } else if (c == '&') {
                characterReference(false);
            } else if (state_ == State::Data) {
                ++pos_;
                sink_.nullCharacter();
            } else {
                ++pos_;
                sink_.characters(kReplacement);
            }
            break;
        case State::PlainText:
            if (c == '\0') {
                ++pos_;
                sink_.characters(kReplacement);
            } else {
                // No "<" means anything here: it is text as well.
                std::size_t i = pos_;
                const std::size_t stop = std::min(n, std::max(until, pos_ + 1));
                while (i < stop && in_[i] != '\0') ++i;
                sink_.characters(in_.substr(pos_, i - pos_));
                pos_ = i;
            }
            break;
        case State::TagOpen:
            if (c == '!') {
                ++pos_;
                markupDeclarationOpen();
            } else if (c == '/') {
                ++pos_;
                state_ = State::EndTagOpen;
            } else if (isAlpha(c)) {
                startTag(false);
                state_ = State::TagName;
            } else if (c == '?') {
                state_ = State::BogusComment;
            } else {
                // "1 < 2": the "<" is text.
                sink_.characters("<");
                state_ = State::Data;
            }
            break;
        case State::EndTagOpen:
            if (isAlpha(c)) {
                startTag(true);
                state_ = State::TagName;
            } else if (c == '>') {
                ++pos_;  // "</>" is nothing
                state_ = State::Data;
            } else {
                state_ = State::BogusComment;
            }
            break;
        case State::TagName:
            if (isSpace(c)) {
                ++pos_;
                state_ = State::BeforeAttributeName;
            } else if (c == '/') {
                ++pos_;
                state_ = State::SelfClosingStartTag;
            } else if (c == '>') {
                emitTag();
            } else if (c == '\0') {
                ++pos_;
                tag_.name += kReplacement;
            } else {
                ++pos_;
                tag_.name += toLower(c);
            }
            break;
        case State::TextLessThan:
            if (c == '/') {
                ++pos_;
                state_ = State::TextEndTagOpen;
            } else {
                textFallback();
            }
            break;
        case State::TextEndTagOpen:
            if (isAlpha(c)) {
                startTag(true);
                state_ = State::TextEndTagName;
            } else {
                textFallback();
            }
            break;
        case State::TextEndTagName:
            if (isAlpha(c)) {
                ++pos_;
                tag_.name += toLower(c);
            } else if (isSpace(c) && appropriateEndTag()) {
                ++pos_;
                state_ = State::BeforeAttributeName;
            } else if (c == '/' && appropriateEndTag()) {
                ++pos_;
                state_ = State::SelfClosingStartTag;
            } else if (c == '>' && appropriateEndTag()) {
                emitTag();
            } else {
                textFallback();
            }
            break;
        // A script's text is never shown: its states only find where it ends.
        case State::ScriptData: {
            const std::size_t lt = find('<', until);
            if (lt < n) {
                markStart_ = lt;
                state_ = State::ScriptDataLessThan;
                pos_ = lt + 1;
            } else {
                pos_ = std::min(n, std::max(until, pos_ + 1));
            }
            break;
        }
        case State::ScriptDataLessThan:
            if (c == '/') {
                ++pos_;
                textReturn_ = State::ScriptData;
                state_ = State::TextEndTagOpen;
            } else if (c == '!') {
                ++pos_;
                state_ = State::ScriptDataEscapeStart;
            } else {
                state_ = State::ScriptData;
            }
            break;
        case State::ScriptDataEscapeStart:
            if (c == '-') {
                ++pos_;
                state_ = State::ScriptDataEscapeStartDash;
            } else {
                state_ = State::ScriptData;
            }
            break;
        case State::ScriptDataEscapeStartDash:
            if (c == '-') {
                ++pos_;
                state_ = State::ScriptDataEscapedDashDash;
            } else {
                state_ = State::ScriptData;
            }
            break;
        case State::ScriptDataEscaped:
        case State::ScriptDataEscapedDash:
        case State::ScriptDataEscapedDashDash:
            if (c == '<') {
                markStart_ = pos_;
                state_ = State::ScriptDataEscapedLessThan;
            } else if (c == '-') {
                state_ = state_ == State::ScriptDataEscaped ? State::ScriptDataEscapedDash
                                                            : State::ScriptDataEscapedDashDash;
            } else if (c == '>' && state_ == State::ScriptDataEscapedDashDash) {
                state_ = State::ScriptData;  // "-->" ends the escaped text
            } else {
                state_ = State::ScriptDataEscaped;
            }
            ++pos_;
            break;
        case State::ScriptDataEscapedLessThan:
            if (c == '/') {
                ++pos_;
                textReturn_ = State::ScriptDataEscaped;
                state_ = State::TextEndTagOpen;
            } else if (isAlpha(c)) {
                tempStart_ = pos_;
                state_ = State::ScriptDataDoubleEscapeStart;
            } else {
                state_ = State::ScriptDataEscaped;
            }
            break;
        case State::ScriptDataDoubleEscapeStart:
            doubleEscapeBoundary(c, State::ScriptDataDoubleEscaped, State::ScriptDataEscaped);
            break;
        case State::ScriptDataDoubleEscaped:
        case State::ScriptDataDoubleEscapedDash:
        case State::ScriptDataDoubleEscapedDashDash:
            if (c == '<') {
                state_ = State::ScriptDataDoubleEscapedLessThan;
            } else if (c == '-') {
                state_ = state_ == State::ScriptDataDoubleEscaped ? State::ScriptDataDoubleEscapedDash
                                                                  : State::ScriptDataDoubleEscapedDashDash;
            } else if (c == '>' && state_ == State::ScriptDataDoubleEscapedDashDash) {
                state_ = State::ScriptData;
            } else {
                state_ = State::ScriptDataDoubleEscaped;
            }
            ++pos_;
            break;
        case State::ScriptDataDoubleEscapedLessThan:
            if (c == '/') {
                ++pos_;
                tempStart_ = pos_;
                state_ = State::ScriptDataDoubleEscapeEnd;
            } else {
                state_ = State::ScriptDataDoubleEscaped;
            }
            break;
        case State::ScriptDataDoubleEscapeEnd:
            doubleEscapeBoundary(c, State::ScriptDataEscaped, State::ScriptDataDoubleEscaped);
            break;
        case State::BeforeAttributeName:
            if (isSpace(c)) {
                ++pos_;
            } else if (c == '/' || c == '>') {
                state_ = State::AfterAttributeName;
            } else {
                startAttribute();
                if (c == '=') {
                    // A name may begin with "=" ("<p =x>").
                    appendToName(c);
                    ++pos_;
                }
                state_ = State::AttributeName;
            }
            break;
        case State::AttributeName:
            if (isSpace(c) || c == '/' || c == '>') {
                endAttributeName();
                state_ = State::AfterAttributeName;
            } else if (c == '=') {
                endAttributeName();
                ++pos_;
                state_ = State::BeforeAttributeValue;
            } else {
                // A NUL makes a name no attribute read has ("act\0ion").
                if (c == '\0') attributeNameTooLong_ = true;
                else appendToName(toLower(c));
                ++pos_;
            }
            break;
        case State::AfterAttributeName:
            if (isSpace(c)) {
                ++pos_;
            } else if (c == '/') {
                ++pos_;
                state_ = State::SelfClosingStartTag;
            } else if (c == '=') {
                ++pos_;
                state_ = State::BeforeAttributeValue;
            } else if (c == '>') {
                emitTag();
            } else {
                startAttribute();
                state_ = State::AttributeName;
            }
            break;
        case State::BeforeAttributeValue:
            if (isSpace(c)) {
                ++pos_;
            } else if (c == '"') {
                ++pos_;
                state_ = State::AttributeValueDoubleQuoted;
            } else if (c == '\'') {
                ++pos_;
                state_ = State::AttributeValueSingleQuoted;
            } else if (c == '>') {
                emitTag();
            } else {
                state_ = State::AttributeValueUnquoted;
            }
            break;
        case State::AttributeValueDoubleQuoted:
        case State::AttributeValueSingleQuoted: {
            const char quote = state_ == State::AttributeValueDoubleQuoted ? '"' : '\'';
            if (c == quote) {
                ++pos_;
                state_ = State::AfterAttributeValueQuoted;
            } else {
                attributeValueRun(until, quote);
            }
            break;
        }
        case State::AttributeValueUnquoted:
            if (isSpace(c)) {
                ++pos_;
                state_ = State::BeforeAttributeName;
            } else if (c == '>') {
                emitTag();
            } else {
                attributeValueRun(until, 0);
            }
            break;
        case State::AfterAttributeValueQuoted:
            if (isSpace(c)) {
                ++pos_;
                state_ = State::BeforeAttributeName;
            } else if (c == '/') {
                ++pos_;
                state_ = State::SelfClosingStartTag;
            } else if (c == '>') {
                emitTag();
            } else {
                state_ = State::BeforeAttributeName;
            }
            break;
        case State::SelfClosingStartTag:
            if (c == '>') {
                tag_.selfClosing = true;
                emitTag();
            } else {
                state_ = State::BeforeAttributeName;
            }
            break;
        case State::BogusComment: {
            const std::size_t close = find('>', until);
            if (close < n) {
                pos_ = close;
                endComment();
            } else {
                pos_ = std::min(n, std::max(until, pos_ + 1));
            }
            break;
        }
        case State::CommentStart:
        case State::CommentStartDash:
            if (c == '-') {
                ++pos_;
                state_ = state_ == State::CommentStart ? State::CommentStartDash : State::CommentEnd;
            } else if (c == '>') {
                endComment();  // "<!-->" and "<!--->" end at once
            } else {
                state_ = State::Comment;
            }
            break;
        case State::Comment: {
            // Only a "-" can begin the comment's end ("<!--" inside it
            // changes nothing but the errors a validator would report).
            const std::size_t dash = find('-', until);
            if (dash < n) {
                pos_ = dash + 1;
                state_ = State::CommentEndDash;
            } else {
                pos_ = std::min(n, std::max(until, pos_ + 1));
            }
            break;
        }
        case State::CommentEndDash:
            if (c == '-') {
                ++pos_;
                state_ = State::CommentEnd;
            } else {
                state_ = State::Comment;
            }
            break;
        case State::CommentEnd:
            if (c == '>') {
                endComment();
            } else if (c == '!') {
                ++pos_;
                state_ = State::CommentEndBang;
            } else if (c == '-') {
                ++pos_;
            } else {
                state_ = State::Comment;
            }
            break;
        case State::CommentEndBang:
            if (c == '-') {
                ++pos_;
                state_ = State::CommentEndDash;
            } else if (c == '>') {
                endComment();  // "--!>" ends a comment too
            } else {
                state_ = State::Comment;
            }
            break;
        case State::CDataSection:
            if (c == ']') {
                ++pos_;
                state_ = State::CDataSectionBracket;
            } else if (c == '\0') {
                ++pos_;
                sink_.nullCharacter();
            } else {
                std::size_t i = pos_;
                const std::size_t stop = std::min(n, std::max(until, pos_ + 1));
                while (i < stop && in_[i] != ']' && in_[i] != '\0') ++i;
                sink_.characters(in_.substr(pos_, i - pos_));
                pos_ = i;
            }
            break;
        case State::CDataSectionBracket:
            if (c == ']') {
                ++pos_;
                state_ = State::CDataSectionEnd;
            } else {
                sink_.characters("]");
                state_ = State::CDataSection;
            }
            break;
        case State::CDataSectionEnd:
            if (c == ']') {
                ++pos_;
                sink_.characters("]");
            } else if (c == '>') {
                ++pos_;
                state_ = State::Data;
            } else {
                sink_.characters("]]");
                state_ = State::CDataSection;
            }
            break;
        }
    }
    return finished_;
}

// At "<!": a comment, a DOCTYPE (read past to its ">"), a CDATA section
// inside SVG or MathML, or else a bogus comment that ends at the first ">".
void Tokenizer::markupDeclarationOpen() {
    const std::string_view rest = in_.substr(pos_);
    if (rest.substr(0, 2) == "--") {
        pos_ += 2;
        state_ = State::CommentStart;
    } else if (rest.size() >= 7 && equalsIgnoringCase(rest.substr(0, 7), "doctype")) {
        pos_ += 7;
        state_ = State::BogusComment;
    } else if (rest.substr(0, 7) == "[CDATA[" && sink_.inForeignContent()) {
        pos_ += 7;
        state_ = State::CDataSection;
    } else {
        state_ = State::BogusComment;
    }
}

// The "<", "</" or "</name" read inside an element's text made no end tag
// of it: they are text (a script's text is dropped), and reading goes on
// from the character that ended them.
void Tokenizer::textFallback() {
    if (textReturn_ == State::RCData || textReturn_ == State::RawText)
        sink_.characters(in_.substr(markStart_, pos_ - markStart_));
    state_ = textReturn_;
}

// Reads an attribute value's characters up to its end (the quote, or for an
// unquoted one a blank or ">"), a reference or a NUL.
void Tokenizer::attributeValueRun(std::size_t until, char quote) {
    const char c = in_[pos_];
    if (c == '&') {
        if (attribute_ >= 0) characterReference(true);
        else ++pos_;  // an attribute not read: its references do not matter
        return;
    }
    if (c == '\0') {
        ++pos_;
        appendToValue(kReplacement);
        return;
    }
    const std::size_t n = std::min(in_.size(), std::max(until, pos_ + 1));
    std::size_t i = pos_;
    while (i < n) {
        const char d = in_[i];
        if (d == '&' || d == '\0' || (quote ? d == quote : (isSpace(d) || d == '>'))) break;
        ++i;
    }
    appendToValue(in_.substr(pos_, i - pos_));
    pos_ = i;
}

// What the end of the page cuts short: a "<" or "</" that began no tag is
// text; a tag, comment or DOCTYPE left open is dropped.
void Tokenizer::endOfInput() {
    switch (state_) {
    case State::TagOpen: sink_.characters("<"); break;
    case State::EndTagOpen: sink_.characters("</"); break;
    case State::TextLessThan:
    case State::TextEndTagOpen:
    case State::TextEndTagName: textFallback(); break;
    case State::CDataSectionBracket: sink_.characters("]"); break;
    case State::CDataSectionEnd: sink_.characters("]]"); break;
    default: break;
    }
}

}  // namespace ui::html
