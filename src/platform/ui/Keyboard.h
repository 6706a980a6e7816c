#pragma once
// The on-screen keyboard (internal): 320 x 216 points at the bottom of the
// screen while a text input is first responder. Its keys type into the first
// responder; the layout follows the input's keyboard type.
#include <string>
#include <vector>

#include "platform/ui/View.h"

namespace ui {

class KeyboardView : public View {
public:
    KeyboardView();
    std::string className() const override { return "Keyboard"; }

    void configure(KeyboardType type, ReturnKeyType returnKey);
    KeyboardType keyboardType() const { return type_; }

    struct Key {
        enum class Kind { Character, Shift, Delete, Space, Return, Mode, Blank } kind = Kind::Character;
        std::string text;  // what it types (or shows)
        Rect frame;
    };
    const std::vector<Key>& keys() const { return keys_; }
    // Types the key (as a tap on it does).
    void press(const Key& key);

    void touchesBegan(const TouchSet& touches, const Event* event) override;
    void touchesMoved(const TouchSet& touches, const Event* event) override;
    void touchesEnded(const TouchSet& touches, const Event* event) override;
    void touchesCancelled(const TouchSet& touches, const Event* event) override;
    void drawRect(gfx::Context& context, Rect rect) override;
    bool exposesSubviews() const override { return false; }

private:
    void rebuild();
    int keyAt(Point p) const;
    KeyboardType type_ = KeyboardType::Default;
    ReturnKeyType returnKey_ = ReturnKeyType::Default;
    bool shifted_ = false;
    bool numbers_ = false;  // the number and punctuation plane of the letter keyboard
    int pressed_ = -1;
    std::vector<Key> keys_;
};

}  // namespace ui
