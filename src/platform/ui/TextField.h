#pragma once
// Text entry: the one-line text field and the multi-line text view. A field
// that becomes first responder brings up the on-screen keyboard (posting the
// keyboard notifications below); typed text goes to it.
#include <memory>
#include <optional>
#include <string>

#include "platform/gfx/Font.h"
#include "platform/ui/Control.h"
#include "platform/ui/ScrollView.h"

namespace ui {

// Keyboard notifications, posted with the keyboard's geometry in the user
// info (rectangles as "{{x, y}, {w, h}}", points as "{x, y}", the duration
// as a real number of seconds).
inline constexpr const char* KeyboardWillShowNotification = "UIKeyboardWillShowNotification";
inline constexpr const char* KeyboardDidShowNotification = "UIKeyboardDidShowNotification";
inline constexpr const char* KeyboardWillHideNotification = "UIKeyboardWillHideNotification";
inline constexpr const char* KeyboardDidHideNotification = "UIKeyboardDidHideNotification";
inline constexpr const char* KeyboardFrameBeginUserInfoKey = "UIKeyboardFrameBeginUserInfoKey";
inline constexpr const char* KeyboardFrameEndUserInfoKey = "UIKeyboardFrameEndUserInfoKey";
inline constexpr const char* KeyboardBoundsUserInfoKey = "UIKeyboardBoundsUserInfoKey";
inline constexpr const char* KeyboardCenterBeginUserInfoKey = "UIKeyboardCenterBeginUserInfoKey";
inline constexpr const char* KeyboardCenterEndUserInfoKey = "UIKeyboardCenterEndUserInfoKey";
inline constexpr const char* KeyboardAnimationDurationUserInfoKey = "UIKeyboardAnimationDurationUserInfoKey";
inline constexpr const char* KeyboardAnimationCurveUserInfoKey = "UIKeyboardAnimationCurveUserInfoKey";
inline constexpr const char* TextFieldTextDidBeginEditingNotification = "UITextFieldTextDidBeginEditingNotification";
inline constexpr const char* TextFieldTextDidChangeNotification = "UITextFieldTextDidChangeNotification";
inline constexpr const char* TextFieldTextDidEndEditingNotification = "UITextFieldTextDidEndEditingNotification";

// "{{x, y}, {w, h}}" and "{x, y}", and back (zero for unreadable text).
std::string stringFromRect(Rect rect);
Rect rectFromString(const std::string& text);
std::string stringFromPoint(Point point);
Point pointFromString(const std::string& text);

// The traits of text entry: which keyboard, its return key, and so on.
class TextInputTraits {
public:
    virtual ~TextInputTraits() = default;
    KeyboardType keyboardType() const { return keyboardType_; }
    void setKeyboardType(KeyboardType type) { keyboardType_ = type; }
    ReturnKeyType returnKeyType() const { return returnKeyType_; }
    void setReturnKeyType(ReturnKeyType type) { returnKeyType_ = type; }
    KeyboardAppearance keyboardAppearance() const { return appearance_; }
    void setKeyboardAppearance(KeyboardAppearance appearance) { appearance_ = appearance; }
    TextAutocapitalizationType autocapitalizationType() const { return autocapitalization_; }
    void setAutocapitalizationType(TextAutocapitalizationType type) { autocapitalization_ = type; }
    TextAutocorrectionType autocorrectionType() const { return autocorrection_; }
    void setAutocorrectionType(TextAutocorrectionType type) { autocorrection_ = type; }
    bool isSecureTextEntry() const { return secure_; }
    virtual void setSecureTextEntry(bool secure) { secure_ = secure; }
    bool enablesReturnKeyAutomatically() const { return enablesReturn_; }
    void setEnablesReturnKeyAutomatically(bool enables) { enablesReturn_ = enables; }

private:
    KeyboardType keyboardType_ = KeyboardType::Default;
    ReturnKeyType returnKeyType_ = ReturnKeyType::Default;
    KeyboardAppearance appearance_ = KeyboardAppearance::Default;
    TextAutocapitalizationType autocapitalization_ = TextAutocapitalizationType::None;
    TextAutocorrectionType autocorrection_ = TextAutocorrectionType::Default;
    bool secure_ = false;
    bool enablesReturn_ = false;
};

// The title the return key shows for a return key type ("return", "Done"...).
std::string returnKeyTitle(ReturnKeyType type);

class TextField;

class TextFieldDelegate {
public:
    virtual ~TextFieldDelegate() = default;
    virtual bool textFieldShouldBeginEditing(TextField& field) {
        (void)field;
        return true;
    }
    virtual void textFieldDidBeginEditing(TextField& field) { (void)field; }
    virtual bool textFieldShouldEndEditing(TextField& field) {
        (void)field;
        return true;
    }
    virtual void textFieldDidEndEditing(TextField& field) { (void)field; }
    // Asked before typed text replaces the range (UTF-16 offsets into the
    // current text; an empty replacement deletes).
    virtual bool shouldChangeCharactersInRange(TextField& field, std::size_t location, std::size_t length,
                                               const std::string& replacement) {
        (void)field, (void)location, (void)length, (void)replacement;
        return true;
    }
    virtual bool textFieldShouldClear(TextField& field) {
        (void)field;
        return true;
    }
    // The return key; answering true lets the field send EditingDidEndOnExit.
    virtual bool textFieldShouldReturn(TextField& field) {
        (void)field;
        return true;
    }
};

enum class TextBorderStyle { None, Line, Bezel, RoundedRect };
enum class TextFieldViewMode { Never, WhileEditing, UnlessEditing, Always };

class TextField : public Control, public TextInputTraits {
public:
    TextField();
    explicit TextField(Rect frame);
    std::string className() const override { return "TextField"; }

    const std::string& text() const { return text_; }
    void setText(std::string text);
    const std::string& placeholder() const { return placeholder_; }
    void setPlaceholder(std::string placeholder);
    const gfx::Font& font() const { return font_; }
    void setFont(gfx::Font font);
    gfx::Color textColor() const { return textColor_; }
    void setTextColor(gfx::Color color);
    TextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(TextAlignment alignment);
    TextBorderStyle borderStyle() const { return borderStyle_; }
    void setBorderStyle(TextBorderStyle style);
    TextFieldViewMode clearButtonMode() const { return clearButtonMode_; }
    void setClearButtonMode(TextFieldViewMode mode);
    bool clearsOnBeginEditing() const { return clearsOnBegin_; }
    void setClearsOnBeginEditing(bool clears) { clearsOnBegin_ = clears; }
    bool adjustsFontSizeToFitWidth() const { return adjustsFontSize_; }
    void setAdjustsFontSizeToFitWidth(bool adjusts) {
        adjustsFontSize_ = adjusts;
        setNeedsDisplay();
    }
    Float minimumFontSize() const { return minimumFontSize_; }
    void setMinimumFontSize(Float size) { minimumFontSize_ = size; }
    ControlContentVerticalAlignment verticalAlignment() const { return contentVerticalAlignment(); }
    bool isEditing() const { return editing_; }

    std::shared_ptr<TextFieldDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<TextFieldDelegate> delegate) { delegate_ = std::move(delegate); }

    // Views drawn inside the field at the left and right.
    std::shared_ptr<View> leftView() const { return leftView_; }
    void setLeftView(std::shared_ptr<View> view);
    TextFieldViewMode leftViewMode() const { return leftViewMode_; }
    void setLeftViewMode(TextFieldViewMode mode) {
        leftViewMode_ = mode;
        setNeedsLayout();
    }
    std::shared_ptr<View> rightView() const { return rightView_; }
    void setRightView(std::shared_ptr<View> view);
    TextFieldViewMode rightViewMode() const { return rightViewMode_; }
    void setRightViewMode(TextFieldViewMode mode) {
        rightViewMode_ = mode;
        setNeedsLayout();
    }

    // The rect the text is drawn in.
    virtual Rect textRectForBounds(Rect bounds) const;
    virtual Rect editingRectForBounds(Rect bounds) const { return textRectForBounds(bounds); }
    Rect clearButtonRectForBounds(Rect bounds) const;

    bool canBecomeFirstResponder() const override;
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;
    void insertText(const std::string& text) override;
    void deleteBackward() override;
    void returnKeyPressed() override;
    // One line: line breaks and tabs in pasted text become blanks. A secure
    // field's text is not copied.
    void paste(const std::string& text) override;
    std::optional<std::string> copiedText() const override;
    void selectAll() override;
    bool isAllSelected() const { return allSelected_; }
    void setSecureTextEntry(bool secure) override;

    void touchesEnded(const TouchSet& touches, const Event* event) override;
    void layoutSubviews() override;
    void drawRect(gfx::Context& context, Rect rect) override;
    std::string displayedText() const override;
    std::string accessibleName() const override;

private:
    bool replace(std::size_t location, std::size_t length, const std::string& replacement);
    void setAllSelected(bool selected);
    std::string text_;
    std::string placeholder_;
    gfx::Font font_;
    gfx::Color textColor_;
    TextAlignment alignment_ = TextAlignment::Left;
    TextBorderStyle borderStyle_ = TextBorderStyle::None;
    TextFieldViewMode clearButtonMode_ = TextFieldViewMode::Never;
    TextFieldViewMode leftViewMode_ = TextFieldViewMode::Never;
    TextFieldViewMode rightViewMode_ = TextFieldViewMode::Never;
    std::shared_ptr<View> leftView_, rightView_;
    bool clearsOnBegin_ = false;
    bool adjustsFontSize_ = false;
    Float minimumFontSize_ = 0;
    bool editing_ = false;
    // The whole text is selected (until the next edit, tap or end of editing).
    bool allSelected_ = false;
    std::weak_ptr<TextFieldDelegate> delegate_;
};

class TextView;

class TextViewDelegate : public ScrollViewDelegate {
public:
    virtual bool textViewShouldBeginEditing(TextView& view) {
        (void)view;
        return true;
    }
    virtual void textViewDidBeginEditing(TextView& view) { (void)view; }
    virtual bool textViewShouldEndEditing(TextView& view) {
        (void)view;
        return true;
    }
    virtual void textViewDidEndEditing(TextView& view) { (void)view; }
    virtual bool shouldChangeTextInRange(TextView& view, std::size_t location, std::size_t length,
                                         const std::string& replacement) {
        (void)view, (void)location, (void)length, (void)replacement;
        return true;
    }
    virtual void textViewDidChange(TextView& view) { (void)view; }
};

inline constexpr const char* TextViewTextDidBeginEditingNotification = "UITextViewTextDidBeginEditingNotification";
inline constexpr const char* TextViewTextDidChangeNotification = "UITextViewTextDidChangeNotification";
inline constexpr const char* TextViewTextDidEndEditingNotification = "UITextViewTextDidEndEditingNotification";

// Multi-line text, scrollable, editable unless turned off. The return key
// inserts a line break.
class TextView : public ScrollView, public TextInputTraits {
public:
    TextView();
    explicit TextView(Rect frame);
    std::string className() const override { return "TextView"; }

    const std::string& text() const { return text_; }
    void setText(std::string text);
    const gfx::Font& font() const { return font_; }
    void setFont(gfx::Font font);
    gfx::Color textColor() const { return textColor_; }
    void setTextColor(gfx::Color color);
    TextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(TextAlignment alignment);
    bool isEditable() const { return editable_; }
    void setEditable(bool editable);
    bool isEditing() const { return editing_; }

    std::shared_ptr<TextViewDelegate> textViewDelegate() const { return textDelegate_.lock(); }
    void setDelegate(std::weak_ptr<TextViewDelegate> delegate);

    bool canBecomeFirstResponder() const override { return editable_; }
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;
    void insertText(const std::string& text) override;
    void deleteBackward() override;
    void returnKeyPressed() override;
    void paste(const std::string& text) override;
    std::optional<std::string> copiedText() const override;
    void touchesEnded(const TouchSet& touches, const Event* event) override;
    void drawRect(gfx::Context& context, Rect rect) override;
    void layoutSubviews() override;
    std::string displayedText() const override { return text_; }
    void collectAccessibleElements(std::vector<AccessibleElement>& out) const override;

private:
    bool replace(std::size_t location, std::size_t length, const std::string& replacement);
    void updateContentSize();
    std::string text_;
    gfx::Font font_;
    gfx::Color textColor_;
    TextAlignment alignment_ = TextAlignment::Left;
    bool editable_ = true;
    bool editing_ = false;
    std::weak_ptr<TextViewDelegate> textDelegate_;
};

// The most text (UTF-16 code units) one paste puts into a text input.
inline constexpr std::size_t MaxPastedLength = 10000;

// The number of UTF-16 code units of UTF-8 text (how the toolkit counts
// characters of user text).
std::size_t utf16Length(const std::string& text);
// The byte offset of the UTF-16 offset in UTF-8 text (clamped to the end).
std::size_t utf8OffsetOfUTF16(const std::string& text, std::size_t offset);

}  // namespace ui
