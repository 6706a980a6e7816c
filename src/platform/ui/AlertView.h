#pragma once
// Alerts and action sheets: shown above everything (window and keyboard),
// one at a time: a new one covers the one shown, which comes back when the
// new one goes. A tap on a button dismisses it and tells the delegate the
// button's index (in the order the buttons were given: the cancel button
// first when there is one). Each names what the return and escape keys do
// on it, by what its buttons do rather than where they stand.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/View.h"

namespace ui {

class AlertView;
class ActionSheet;
class Button;
class BarButtonItem;
class Label;

// What the return or escape key does on an alert or a sheet: presses one of
// its buttons (by index), closes it with no choice made (the delegate hears
// will/did-dismiss with index -1, and no click), or nothing.
struct KeyAnswer {
    enum class Kind { Nothing, Press, Close };
    Kind kind = Kind::Nothing;
    int index = -1;
    static KeyAnswer nothing() { return {}; }
    static KeyAnswer press(int index) { return {Kind::Press, index}; }
    static KeyAnswer close() { return {Kind::Close, -1}; }
};

class AlertViewDelegate {
public:
    virtual ~AlertViewDelegate() = default;
    virtual void clickedButtonAtIndex(AlertView& alertView, int buttonIndex) { (void)alertView, (void)buttonIndex; }
    virtual void willPresentAlertView(AlertView& alertView) { (void)alertView; }
    virtual void didPresentAlertView(AlertView& alertView) { (void)alertView; }
    virtual void willDismissWithButtonIndex(AlertView& alertView, int buttonIndex) {
        (void)alertView, (void)buttonIndex;
    }
    virtual void didDismissWithButtonIndex(AlertView& alertView, int buttonIndex) {
        (void)alertView, (void)buttonIndex;
    }
    // The system cancelled the alert (the application went to the background).
    virtual void alertViewCancel(AlertView& alertView) { (void)alertView; }
};

class AlertView : public View {
public:
    AlertView(std::string title, std::string message, std::weak_ptr<AlertViewDelegate> delegate,
              std::optional<std::string> cancelButtonTitle, std::vector<std::string> otherButtonTitles = {});
    AlertView() : AlertView({}, {}, {}, std::nullopt) {}
    std::string className() const override { return "AlertView"; }

    const std::string& title() const { return title_; }
    void setTitle(std::string title);
    const std::string& message() const { return message_; }
    void setMessage(std::string message);
    std::shared_ptr<AlertViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<AlertViewDelegate> delegate) { delegate_ = std::move(delegate); }

    // Answers the new button's index.
    int addButtonWithTitle(const std::string& title);
    std::string buttonTitleAtIndex(int index) const;
    int numberOfButtons() const { return static_cast<int>(buttons_.size()); }
    // -1 when there is none.
    int cancelButtonIndex() const { return cancelIndex_; }
    void setCancelButtonIndex(int index);
    int firstOtherButtonIndex() const;
    // What the return and escape keys do. Until they are set, an alert of
    // one button has both keys press it, and an alert of more buttons gives
    // neither key any: its maker names them by what its buttons do.
    KeyAnswer returnKey() const;
    KeyAnswer escapeKey() const;
    void setKeys(KeyAnswer onReturn, KeyAnswer onEscape);
    // Does what the key's answer says (a button press as a tap makes it).
    void answerKey(KeyAnswer answer);
    bool isVisible() const { return visible_; }

    // Shows the alert (the application keeps it until it is dismissed).
    void show();
    // Dismisses as if the button were tapped (the delegate hears clicked
    // only for taps; will/did-dismiss always).
    void dismissWithClickedButtonIndex(int index, bool animated);
    // A tap on the button at index.
    void buttonTapped(int index);

    void layoutSubviews() override;
    void drawRect(gfx::Context& context, Rect rect) override;
    // The panel's rect in the alert's coordinates (the alert covers the screen).
    Rect panelRect() const;

private:
    void rebuild();
    // What a key does until it is named: a lone button takes it, more
    // buttons leave it to nothing.
    KeyAnswer unnamedKey() const;
    std::string title_, message_;
    // Whether the panel stands raised above the keyboard: taken when the
    // panel is laid out, so the box and its labels and buttons stay together
    // when the keyboard comes or goes while the alert is up.
    bool raisedForKeyboard_ = false;
    std::weak_ptr<AlertViewDelegate> delegate_;
    std::vector<std::string> buttons_;
    int cancelIndex_ = -1;
    std::optional<KeyAnswer> returnKey_, escapeKey_;
    bool visible_ = false;
    bool dismissed_ = false;
    std::vector<std::shared_ptr<Button>> buttonViews_;
    std::shared_ptr<Label> titleLabel_, messageLabel_;
};

class ActionSheetDelegate {
public:
    virtual ~ActionSheetDelegate() = default;
    virtual void clickedButtonAtIndex(ActionSheet& actionSheet, int buttonIndex) {
        (void)actionSheet, (void)buttonIndex;
    }
    virtual void willPresentActionSheet(ActionSheet& actionSheet) { (void)actionSheet; }
    virtual void didPresentActionSheet(ActionSheet& actionSheet) { (void)actionSheet; }
    virtual void willDismissWithButtonIndex(ActionSheet& actionSheet, int buttonIndex) {
        (void)actionSheet, (void)buttonIndex;
    }
    virtual void didDismissWithButtonIndex(ActionSheet& actionSheet, int buttonIndex) {
        (void)actionSheet, (void)buttonIndex;
    }
    virtual void actionSheetCancel(ActionSheet& actionSheet) { (void)actionSheet; }
};

enum class ActionSheetStyle { Automatic = -1, Default = 0, BlackTranslucent = 2, BlackOpaque = 1 };

// A sheet of buttons that slides up from the bottom of the screen: the
// destructive button (red) first, the others, and the cancel button last.
// Indices: destructive first, then the others in order, then cancel.
// Neither key does anything on a sheet until its maker names what each does.
class ActionSheet : public View {
public:
    ActionSheet(std::string title, std::weak_ptr<ActionSheetDelegate> delegate,
                std::optional<std::string> cancelButtonTitle, std::optional<std::string> destructiveButtonTitle,
                std::vector<std::string> otherButtonTitles = {});
    ActionSheet() : ActionSheet({}, {}, std::nullopt, std::nullopt) {}
    std::string className() const override { return "ActionSheet"; }

    const std::string& title() const { return title_; }
    void setTitle(std::string title);
    std::shared_ptr<ActionSheetDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<ActionSheetDelegate> delegate) { delegate_ = std::move(delegate); }
    ActionSheetStyle actionSheetStyle() const { return style_; }
    void setActionSheetStyle(ActionSheetStyle style) {
        style_ = style;
        setNeedsDisplay();
    }

    int addButtonWithTitle(const std::string& title);
    std::string buttonTitleAtIndex(int index) const;
    int numberOfButtons() const { return static_cast<int>(buttons_.size()); }
    int cancelButtonIndex() const { return cancelIndex_; }
    void setCancelButtonIndex(int index);
    int destructiveButtonIndex() const { return destructiveIndex_; }
    void setDestructiveButtonIndex(int index);
    int firstOtherButtonIndex() const;
    KeyAnswer returnKey() const { return returnKey_; }
    KeyAnswer escapeKey() const { return escapeKey_; }
    void setKeys(KeyAnswer onReturn, KeyAnswer onEscape) {
        returnKey_ = onReturn;
        escapeKey_ = onEscape;
    }
    void answerKey(KeyAnswer answer);
    bool isVisible() const { return visible_; }

    // Every form shows the sheet at the bottom of the screen (one screen).
    void showInView(const std::shared_ptr<View>& view);
    void showFromToolbar(const std::shared_ptr<View>& toolbar) { showInView(toolbar); }
    void showFromTabBar(const std::shared_ptr<View>& tabBar) { showInView(tabBar); }
    void showFromRect(Rect rect, const std::shared_ptr<View>& view, bool animated);
    void showFromBarButtonItem(const std::shared_ptr<BarButtonItem>& item, bool animated);
    // Virtual so that a sheet can act on its own choice, whoever its delegate is.
    virtual void dismissWithClickedButtonIndex(int index, bool animated);
    void buttonTapped(int index);

    void layoutSubviews() override;
    void drawRect(gfx::Context& context, Rect rect) override;
    Rect panelRect() const;

private:
    void show();
    void rebuild();
    std::string title_;
    std::weak_ptr<ActionSheetDelegate> delegate_;
    std::vector<std::string> buttons_;
    int cancelIndex_ = -1;
    int destructiveIndex_ = -1;
    KeyAnswer returnKey_, escapeKey_;
    ActionSheetStyle style_ = ActionSheetStyle::Default;
    bool visible_ = false;
    bool dismissed_ = false;
    std::vector<std::shared_ptr<Button>> buttonViews_;
    std::shared_ptr<Label> titleLabel_;
};

}  // namespace ui
