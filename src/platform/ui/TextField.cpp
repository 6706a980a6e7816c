#include "platform/ui/TextField.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

#include "platform/base/Format.h"
#include "platform/base/NotificationCenter.h"
#include "platform/base/UTF8.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Text.h"
#include "platform/ui/Application.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/Palette.h"

namespace ui {

std::string stringFromRect(Rect r) {
    return base::format("{{%g, %g}, {%g, %g}}", double(r.x()), double(r.y()), double(r.width()), double(r.height()));
}

Rect rectFromString(const std::string& text) {
    double x = 0, y = 0, w = 0, h = 0;
    if (std::sscanf(text.c_str(), " {{%lf , %lf } , {%lf , %lf }}", &x, &y, &w, &h) != 4) return Rect();
    return Rect(static_cast<Float>(x), static_cast<Float>(y), static_cast<Float>(w), static_cast<Float>(h));
}

std::string stringFromPoint(Point p) { return base::format("{%g, %g}", double(p.x), double(p.y)); }

Point pointFromString(const std::string& text) {
    double x = 0, y = 0;
    if (std::sscanf(text.c_str(), " {%lf , %lf }", &x, &y) != 2) return Point();
    return Point(static_cast<Float>(x), static_cast<Float>(y));
}

std::string returnKeyTitle(ReturnKeyType type) {
    switch (type) {
    case ReturnKeyType::Default: return "return";
    case ReturnKeyType::Go: return "Go";
    case ReturnKeyType::Google: return "Search";
    case ReturnKeyType::Join: return "Join";
    case ReturnKeyType::Next: return "Next";
    case ReturnKeyType::Route: return "Route";
    case ReturnKeyType::Search: return "Search";
    case ReturnKeyType::Send: return "Send";
    case ReturnKeyType::Yahoo: return "Search";
    case ReturnKeyType::Done: return "Done";
    case ReturnKeyType::EmergencyCall: return "Emergency Call";
    }
    return "return";
}

std::size_t utf16Length(const std::string& text) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        std::size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 1;
        n += len == 4 ? 2 : 1;
        i += len;
    }
    return n;
}

std::size_t utf8OffsetOfUTF16(const std::string& text, std::size_t offset) {
    std::size_t units = 0, i = 0;
    while (i < text.size() && units < offset) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        std::size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 1;
        units += len == 4 ? 2 : 1;
        i += len;
    }
    return std::min(i, text.size());
}

namespace {
// Text from the clipboard as a text input takes it: whole code points up to
// the paste's limit, carriage returns made line feeds, other control
// characters left out; a one-line input gets blanks for line breaks and tabs.
std::vector<std::string> pastedCodePoints(const std::string& text, bool oneLine) {
    std::vector<std::string> out;
    std::size_t units = 0;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const std::size_t n = base::utf8SequenceLength(text, i);
        if (n == 0) {
            ++i;  // not UTF-8: left out
            continue;
        }
        std::string cp = text.substr(i, n);
        i += n;
        if (cp == "\r") {
            if (i < text.size() && text[i] == '\n') continue;  // the line feed follows
            cp = "\n";
        }
        if (cp == "\n" || cp == "\t") {
            if (oneLine) cp = " ";
        } else if (c < 0x20 || c == 0x7F) {
            continue;
        }
        units += n == 4 ? 2 : 1;
        if (units > MaxPastedLength) break;
        out.push_back(std::move(cp));
    }
    return out;
}

// Pastes into an input through its own replace (which asks its delegate):
// the whole text at once when the input takes it, else code point by code
// point as if typed, so a field's limits (its length, the characters it
// allows) keep what fits and leave out the rest. Starts by replacing the
// range (UTF-16 units) given.
void pasteThrough(const std::vector<std::string>& pieces, std::size_t location, std::size_t length,
                  const std::function<bool(std::size_t, std::size_t, const std::string&)>& replace) {
    if (pieces.empty()) return;
    std::string whole;
    for (const auto& p : pieces) whole += p;
    if (replace(location, length, whole)) return;
    for (const auto& p : pieces) {
        if (!replace(location, length, p)) continue;
        location += utf16Length(p);
        length = 0;
    }
}

// The byte length of the last code point of text.
std::size_t lastCodePointLength(const std::string& text) {
    if (text.empty()) return 0;
    std::size_t i = text.size() - 1;
    while (i > 0 && base::isUTF8ContinuationByte(text[i])) --i;
    return text.size() - i;
}

}  // namespace

// ---- TextField

TextField::TextField() : TextField(Rect()) {}

TextField::TextField(Rect frame) : Control(frame), font_(gfx::Font::systemFont(17)), textColor_(gfx::Color::black()) {
    setContentVerticalAlignment(ControlContentVerticalAlignment::Center);
    setOpaque(false);
}

void TextField::setText(std::string text) {
    setAllSelected(false);
    if (text == text_) return;
    text_ = std::move(text);
    setNeedsDisplay();
}

void TextField::setPlaceholder(std::string placeholder) {
    placeholder_ = std::move(placeholder);
    setNeedsDisplay();
}

void TextField::setFont(gfx::Font font) {
    font_ = std::move(font);
    setNeedsDisplay();
}

void TextField::setTextColor(gfx::Color color) {
    textColor_ = std::move(color);
    setNeedsDisplay();
}

void TextField::setTextAlignment(TextAlignment alignment) {
    alignment_ = alignment;
    setNeedsDisplay();
}

void TextField::setBorderStyle(TextBorderStyle style) {
    borderStyle_ = style;
    setNeedsDisplay();
}

void TextField::setClearButtonMode(TextFieldViewMode mode) {
    clearButtonMode_ = mode;
    setNeedsDisplay();
}

void TextField::setLeftView(std::shared_ptr<View> view) {
    if (leftView_) leftView_->removeFromSuperview();
    leftView_ = std::move(view);
    if (leftView_) addSubview(leftView_);
    setNeedsLayout();
}

void TextField::setRightView(std::shared_ptr<View> view) {
    if (rightView_) rightView_->removeFromSuperview();
    rightView_ = std::move(view);
    if (rightView_) addSubview(rightView_);
    setNeedsLayout();
}

void TextField::setSecureTextEntry(bool secure) {
    TextInputTraits::setSecureTextEntry(secure);
    setNeedsDisplay();
}

namespace {
bool showsFor(TextFieldViewMode mode, bool editing) {
    switch (mode) {
    case TextFieldViewMode::Never: return false;
    case TextFieldViewMode::WhileEditing: return editing;
    case TextFieldViewMode::UnlessEditing: return !editing;
    case TextFieldViewMode::Always: return true;
    }
    return false;
}
}  // namespace

Rect TextField::clearButtonRectForBounds(Rect b) const { return Rect(b.maxX() - 27, b.midY() - 10, 20, 20); }

Rect TextField::textRectForBounds(Rect b) const {
    Float left = borderStyle_ == TextBorderStyle::None ? 0 : (borderStyle_ == TextBorderStyle::RoundedRect ? 8 : 6);
    Float right = left;
    if (leftView_ && showsFor(leftViewMode_, editing_)) left += leftView_->frame().width();
    if (rightView_ && showsFor(rightViewMode_, editing_)) right += rightView_->frame().width();
    if (showsFor(clearButtonMode_, editing_) && !text_.empty()) right += 24;
    return Rect(b.minX() + left, b.minY(), std::max<Float>(0, b.width() - left - right), b.height());
}

void TextField::layoutSubviews() {
    Rect b = bounds();
    if (leftView_) {
        Rect f = leftView_->frame();
        leftView_->setHidden(!showsFor(leftViewMode_, editing_));
        leftView_->setFrame(Rect(b.minX(), std::floor(b.midY() - f.height() / 2), f.width(), f.height()));
    }
    if (rightView_) {
        Rect f = rightView_->frame();
        rightView_->setHidden(!showsFor(rightViewMode_, editing_));
        rightView_->setFrame(Rect(b.maxX() - f.width(), std::floor(b.midY() - f.height() / 2), f.width(), f.height()));
    }
}

bool TextField::canBecomeFirstResponder() const { return isEnabled(); }

bool TextField::becomeFirstResponder() {
    if (isFirstResponder()) return true;
    if (!canBecomeFirstResponder()) return false;
    auto keep = weak_from_this().lock();
    if (auto d = delegate(); d && !d->textFieldShouldBeginEditing(*this)) return false;
    if (!Control::becomeFirstResponder()) return false;
    editing_ = true;
    if (clearsOnBegin_) text_.clear();
    setNeedsLayout();
    setNeedsDisplay();
    if (auto d = delegate()) d->textFieldDidBeginEditing(*this);
    sendActionsForControlEvents(ControlEvents::EditingDidBegin);
    base::NotificationCenter::defaultCenter().post(TextFieldTextDidBeginEditingNotification, this);
    return true;
}

bool TextField::resignFirstResponder() {
    if (!isFirstResponder()) {
        editing_ = false;
        return true;
    }
    auto keep = weak_from_this().lock();
    if (auto d = delegate(); d && !d->textFieldShouldEndEditing(*this)) return false;
    if (!Control::resignFirstResponder()) return false;
    editing_ = false;
    allSelected_ = false;
    setNeedsLayout();
    setNeedsDisplay();
    if (auto d = delegate()) d->textFieldDidEndEditing(*this);
    sendActionsForControlEvents(ControlEvents::EditingDidEnd);
    base::NotificationCenter::defaultCenter().post(TextFieldTextDidEndEditingNotification, this);
    return true;
}

bool TextField::replace(std::size_t location, std::size_t length, const std::string& replacement) {
    if (auto d = delegate(); d && !d->shouldChangeCharactersInRange(*this, location, length, replacement)) return false;
    std::size_t from = utf8OffsetOfUTF16(text_, location);
    std::size_t to = utf8OffsetOfUTF16(text_, location + length);
    text_.replace(from, to - from, replacement);
    setNeedsLayout();
    setNeedsDisplay();
    sendActionsForControlEvents(ControlEvents::EditingChanged);
    base::NotificationCenter::defaultCenter().post(TextFieldTextDidChangeNotification, this);
    return true;
}

void TextField::insertText(const std::string& text) {
    if (!editing_) return;
    auto keep = weak_from_this().lock();
    if (allSelected_) {
        if (replace(0, utf16Length(text_), text)) setAllSelected(false);
        return;
    }
    replace(utf16Length(text_), 0, text);
}

void TextField::paste(const std::string& text) {
    if (!editing_) return;
    auto keep = weak_from_this().lock();
    const std::size_t end = utf16Length(text_);
    const bool selected = allSelected_;
    setAllSelected(false);
    pasteThrough(pastedCodePoints(text, true), selected ? 0 : end, selected ? end : 0,
                 [this](std::size_t location, std::size_t length, const std::string& replacement) {
                     return replace(location, length, replacement);
                 });
}

std::optional<std::string> TextField::copiedText() const {
    if (isSecureTextEntry() || text_.empty()) return std::nullopt;
    return text_;
}

void TextField::selectAll() {
    if (editing_ && !text_.empty()) setAllSelected(true);
}

void TextField::setAllSelected(bool selected) {
    if (allSelected_ == selected) return;
    allSelected_ = selected;
    setNeedsDisplay();
}

void TextField::deleteBackward() {
    if (!editing_ || text_.empty()) return;
    auto keep = weak_from_this().lock();
    if (allSelected_) {
        if (replace(0, utf16Length(text_), "")) setAllSelected(false);
        return;
    }
    std::size_t last = lastCodePointLength(text_);
    std::size_t units = utf16Length(text_.substr(text_.size() - last));
    replace(utf16Length(text_) - units, units, "");
}

void TextField::returnKeyPressed() {
    auto keep = weak_from_this().lock();
    bool ok = true;
    if (auto d = delegate()) ok = d->textFieldShouldReturn(*this);
    if (ok) sendActionsForControlEvents(ControlEvents::EditingDidEndOnExit);
}

void TextField::touchesEnded(const TouchSet& touches, const Event* event) {
    auto keep = weak_from_this().lock();
    setAllSelected(false);  // a tap puts the caret back at the end
    bool inside = !touches.empty() && bounds().inset(-20, -20).contains(touches.front()->locationInView(this));
    if (inside && isEnabled()) {
        Point p = touches.front()->locationInView(this);
        if (editing_ && showsFor(clearButtonMode_, true) && !text_.empty() &&
            clearButtonRectForBounds(bounds()).inset(-6, -6).contains(p)) {
            if (auto d = delegate(); !d || d->textFieldShouldClear(*this)) replace(0, utf16Length(text_), "");
        } else {
            becomeFirstResponder();
        }
    }
    Control::touchesEnded(touches, event);
}

std::string TextField::displayedText() const {
    if (text_.empty()) return placeholder_;
    if (isSecureTextEntry()) {
        std::string dots;
        for (std::size_t i = 0; i < utf16Length(text_); ++i) dots += "\u2022";
        return dots;
    }
    return text_;
}

std::string TextField::accessibleName() const {
    if (!accessibilityLabel().empty()) return accessibilityLabel();
    if (!text_.empty() && !isSecureTextEntry()) return text_;
    if (!placeholder_.empty()) return placeholder_;
    return "Text field";
}

void TextField::drawRect(gfx::Context& ctx, Rect rect) {
    (void)rect;
    Rect b = bounds();
    switch (borderStyle_) {
    case TextBorderStyle::None: break;
    case TextBorderStyle::Line:
        ctx.setFillColor(gfx::Color::white());
        ctx.fillRect(b);
        ctx.setStrokeColor(gfx::Color::black());
        ctx.setLineWidth(1);
        ctx.strokeRect(b.inset(0.5f, 0.5f));
        break;
    case TextBorderStyle::Bezel:
        ctx.setFillColor(gfx::Color::white());
        ctx.fillRect(b);
        ctx.setFillColor(palette::bezelDarkEdge());
        ctx.fillRect(Rect(b.minX(), b.minY(), b.width(), 2));
        ctx.fillRect(Rect(b.minX(), b.minY(), 1, b.height()));
        ctx.setFillColor(palette::bezelLightEdge());
        ctx.fillRect(Rect(b.maxX() - 1, b.minY(), 1, b.height()));
        ctx.fillRect(Rect(b.minX(), b.maxY() - 1, b.width(), 1));
        break;
    case TextBorderStyle::RoundedRect:
        draw::fillRoundedRect(ctx, b.inset(0.5f, 0.5f), 7, gfx::Color::white());
        {
            gfx::SavedState saved(ctx);
            ctx.beginPath();
            draw::addRoundedRect(ctx, b.inset(0.5f, 0.5f), 7);
            ctx.clip();
            draw::fillVerticalGradient(ctx, Rect(b.minX(), b.minY(), b.width(), 4), palette::insetShadowTop(),
                                       palette::insetShadowBottom());
        }
        draw::strokeRoundedRect(ctx, b.inset(0.5f, 0.5f), 7, editing_ ? palette::editingEdge() : palette::controlEdge(),
                                1);
        break;
    }
    Rect tr = textRectForBounds(b);
    bool placeholder = text_.empty();
    std::string shown = placeholder ? placeholder_ : displayedText();
    gfx::Font font = font_;
    if (adjustsFontSize_ && !shown.empty()) {
        Float size = font_.pointSize();
        Float min = minimumFontSize_ > 0 ? minimumFontSize_ : std::min<Float>(size, 8);
        while (size > min && gfx::measureText(shown, font).width > tr.width()) {
            size = std::max(min, size - 1);
            font = font_.withSize(size);
        }
    }
    Float lh = font.lineHeight();
    Float y = tr.minY() + std::floor((tr.height() - lh) / 2);
    if (contentVerticalAlignment() == ControlContentVerticalAlignment::Top) y = tr.minY();
    if (contentVerticalAlignment() == ControlContentVerticalAlignment::Bottom) y = tr.maxY() - lh;
    Rect line(tr.minX(), y, tr.width(), lh + 1);
    // While editing, the end of a long text stays in view.
    Float textWidth = shown.empty() ? 0 : gfx::measureText(shown, font).width;
    Float caretX = line.minX();
    {
        gfx::SavedState saved(ctx);
        ctx.clipToRect(tr);
        gfx::Color ink = placeholder ? palette::placeholderInk() : textColor_;
        if (!isEnabled()) ink = ink.withAlpha(ink.alpha() * 0.5f);
        if (allSelected_ && editing_ && !placeholder) {
            // The selection's highlight behind the text.
            Float w = std::min(textWidth, line.width());
            Float x = line.minX();
            if (textWidth > line.width() || alignment_ == TextAlignment::Right) x = line.maxX() - w;
            else if (alignment_ == TextAlignment::Center) x = line.midX() - w / 2;
            ctx.setFillColor(palette::caret().withAlpha(0.3f));
            ctx.fillRect(Rect(x, line.minY(), w + 1, line.height()));
        }
        if (editing_ && textWidth > line.width() && !placeholder) {
            Rect shifted(line.maxX() - textWidth, line.minY(), textWidth + 1, line.height());
            draw::text(ctx, shown, shifted, font, ink, TextAlignment::Left, LineBreakMode::Clip);
            caretX = line.maxX();
        } else {
            draw::text(ctx, shown, line, font, ink, alignment_, LineBreakMode::TailTruncation);
            Float w = placeholder ? 0 : std::min(textWidth, line.width());
            if (alignment_ == TextAlignment::Left) caretX = line.minX() + w;
            else if (alignment_ == TextAlignment::Right) caretX = line.maxX();
            else caretX = line.midX() + w / 2;
        }
    }
    if (editing_) {
        ctx.setFillColor(palette::caret());
        ctx.fillRect(Rect(std::min(caretX + 1, b.maxX() - 2), y + 1, 2, lh - 1));
    }
    if (editing_ && showsFor(clearButtonMode_, true) && !text_.empty()) {
        Rect c = clearButtonRectForBounds(b);
        ctx.setFillColor(palette::clearButton());
        ctx.fillEllipseInRect(c.inset(1, 1));
        ctx.setStrokeColor(gfx::Color::white());
        ctx.setLineWidth(2);
        ctx.strokeLineSegments({Point(c.minX() + 7, c.minY() + 7), Point(c.maxX() - 7, c.maxY() - 7),
                                Point(c.maxX() - 7, c.minY() + 7), Point(c.minX() + 7, c.maxY() - 7)});
    }
}

// ---- TextView

TextView::TextView() : TextView(Rect()) {}

TextView::TextView(Rect frame) : ScrollView(frame), font_(gfx::Font::systemFont(17)), textColor_(gfx::Color::black()) {
    setBackgroundColor(gfx::Color::white());
    setShowsHorizontalScrollIndicator(false);
}

void TextView::setText(std::string text) {
    text_ = std::move(text);
    updateContentSize();
    setNeedsDisplay();
}

void TextView::setFont(gfx::Font font) {
    font_ = std::move(font);
    updateContentSize();
    setNeedsDisplay();
}

void TextView::setTextColor(gfx::Color color) {
    textColor_ = std::move(color);
    setNeedsDisplay();
}

void TextView::setTextAlignment(TextAlignment alignment) {
    alignment_ = alignment;
    setNeedsDisplay();
}

void TextView::setEditable(bool editable) {
    editable_ = editable;
    if (!editable && isFirstResponder()) resignFirstResponder();
}

void TextView::setDelegate(std::weak_ptr<TextViewDelegate> delegate) {
    textDelegate_ = std::move(delegate);
    ScrollView::setDelegate(std::weak_ptr<ScrollViewDelegate>(textDelegate_.lock()));
}

void TextView::updateContentSize() {
    Rect b = bounds();
    Float w = std::max<Float>(0, b.width() - 16);
    Size s = text_.empty() ? Size()
                           : gfx::measureText(text_ + (text_.back() == '\n' ? " " : ""), font_,
                                              Size(w, gfx::kUnboundedTextExtent), LineBreakMode::WordWrap);
    setContentSize(Size(b.width(), s.height + 16));
}

void TextView::layoutSubviews() { updateContentSize(); }

bool TextView::becomeFirstResponder() {
    if (isFirstResponder()) return true;
    if (!editable_) return false;
    auto keep = weak_from_this().lock();
    if (auto d = textViewDelegate(); d && !d->textViewShouldBeginEditing(*this)) return false;
    if (!ScrollView::becomeFirstResponder()) return false;
    editing_ = true;
    setNeedsDisplay();
    if (auto d = textViewDelegate()) d->textViewDidBeginEditing(*this);
    base::NotificationCenter::defaultCenter().post(TextViewTextDidBeginEditingNotification, this);
    return true;
}

bool TextView::resignFirstResponder() {
    if (!isFirstResponder()) {
        editing_ = false;
        return true;
    }
    auto keep = weak_from_this().lock();
    if (auto d = textViewDelegate(); d && !d->textViewShouldEndEditing(*this)) return false;
    if (!ScrollView::resignFirstResponder()) return false;
    editing_ = false;
    setNeedsDisplay();
    if (auto d = textViewDelegate()) d->textViewDidEndEditing(*this);
    base::NotificationCenter::defaultCenter().post(TextViewTextDidEndEditingNotification, this);
    return true;
}

bool TextView::replace(std::size_t location, std::size_t length, const std::string& replacement) {
    if (auto d = textViewDelegate(); d && !d->shouldChangeTextInRange(*this, location, length, replacement))
        return false;
    std::size_t from = utf8OffsetOfUTF16(text_, location);
    std::size_t to = utf8OffsetOfUTF16(text_, location + length);
    text_.replace(from, to - from, replacement);
    updateContentSize();
    // Keep the end in view while typing.
    Point max = maximumOffset();
    if (contentOffset().y < max.y) setContentOffset(Point(0, max.y));
    setNeedsDisplay();
    if (auto d = textViewDelegate()) d->textViewDidChange(*this);
    base::NotificationCenter::defaultCenter().post(TextViewTextDidChangeNotification, this);
    return true;
}

void TextView::insertText(const std::string& text) {
    if (!editing_) return;
    auto keep = weak_from_this().lock();
    replace(utf16Length(text_), 0, text);
}

void TextView::deleteBackward() {
    if (!editing_ || text_.empty()) return;
    auto keep = weak_from_this().lock();
    std::size_t last = lastCodePointLength(text_);
    std::size_t units = utf16Length(text_.substr(text_.size() - last));
    replace(utf16Length(text_) - units, units, "");
}

void TextView::returnKeyPressed() { insertText("\n"); }

void TextView::paste(const std::string& text) {
    if (!editing_) return;
    auto keep = weak_from_this().lock();
    pasteThrough(pastedCodePoints(text, false), utf16Length(text_), 0,
                 [this](std::size_t location, std::size_t length, const std::string& replacement) {
                     return replace(location, length, replacement);
                 });
}

std::optional<std::string> TextView::copiedText() const {
    if (text_.empty()) return std::nullopt;
    return text_;
}

void TextView::touchesEnded(const TouchSet& touches, const Event* event) {
    bool wasDragging = isDragging();
    ScrollView::touchesEnded(touches, event);
    if (!wasDragging && editable_) becomeFirstResponder();
}

void TextView::drawRect(gfx::Context& ctx, Rect rect) {
    (void)rect;
    Rect b = bounds();
    Rect content(8, 8, std::max<Float>(0, b.width() - 16), std::max<Float>(contentSize().height, b.height()));
    Size drawn = draw::text(ctx, text_, content, font_, textColor_, alignment_, LineBreakMode::WordWrap);
    if (editing_) {
        // The caret sits after the last character (approximately, at the
        // end of the last line).
        std::string lastLine = text_.substr(text_.rfind('\n') == std::string::npos ? 0 : text_.rfind('\n') + 1);
        Float lh = font_.lineHeight();
        Float x = 8 + std::min(content.width(), gfx::measureText(lastLine, font_).width);
        Float y = 8 + std::max<Float>(0, (text_.empty() ? lh : drawn.height + (text_.back() == '\n' ? lh : 0)) - lh);
        ctx.setFillColor(palette::caret());
        ctx.fillRect(Rect(x + 1, y + 1, 2, lh - 1));
    }
}

void TextView::collectAccessibleElements(std::vector<AccessibleElement>& out) const {
    std::string name = !accessibilityLabel().empty() ? accessibilityLabel() : (text_.empty() ? "Text view" : "");
    auto self = std::const_pointer_cast<View>(shared_from_this());
    if (!name.empty())
        out.push_back(AccessibleElement{name, className(), convertRectToView(bounds(), nullptr), true, self});
}

}  // namespace ui
