#include "platform/ui/Keyboard.h"

#include <cctype>

#include "platform/ui/Application.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/Palette.h"
#include "platform/ui/TextField.h"

namespace ui {

namespace {
std::vector<std::string> splitChars(const std::string& s) {
    std::vector<std::string> out;
    for (char c : s) out.emplace_back(1, c);
    return out;
}
}  // namespace

KeyboardView::KeyboardView() : View(Rect(0, 264, 320, 216)) {
    setBackgroundColor(palette::keyboardBackground());
    rebuild();
}

void KeyboardView::configure(KeyboardType type, ReturnKeyType returnKey) {
    if (type == type_ && returnKey == returnKey_) return;
    type_ = type;
    returnKey_ = returnKey;
    shifted_ = false;
    numbers_ = type == KeyboardType::NumbersAndPunctuation;
    rebuild();
}

void KeyboardView::rebuild() {
    keys_.clear();
    using K = Key::Kind;
    auto add = [&](K kind, std::string text, Rect frame) { keys_.push_back(Key{kind, std::move(text), frame}); };
    bool pad = type_ == KeyboardType::NumberPad || type_ == KeyboardType::DecimalPad || type_ == KeyboardType::PhonePad;
    if (pad) {
        const char* labels[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9"};
        Float w = 320.0f / 3, h = 54;
        for (int i = 0; i < 9; ++i) {
            int column = i % 3, row = i / 3;
            add(K::Character, labels[i], Rect(column * w, row * h, w, h));
        }
        if (type_ == KeyboardType::DecimalPad) add(K::Character, ".", Rect(0, 3 * h, w, h));
        else if (type_ == KeyboardType::PhonePad) add(K::Character, "+", Rect(0, 3 * h, w, h));
        else add(K::Blank, "", Rect(0, 3 * h, w, h));
        add(K::Character, "0", Rect(w, 3 * h, w, h));
        add(K::Delete, "delete", Rect(2 * w, 3 * h, w, h));
        setNeedsDisplay();
        return;
    }
    std::vector<std::vector<std::string>> rows;
    if (numbers_) {
        rows = {splitChars("1234567890"), splitChars("-/:;()$&@\""), splitChars(".,?!'")};
    } else {
        rows = {splitChars("qwertyuiop"), splitChars("asdfghjkl"), splitChars("zxcvbnm")};
        if (shifted_)
            for (auto& row : rows)
                for (auto& k : row)
                    k = std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(k[0]))));
    }
    if (type_ == KeyboardType::EmailAddress && !numbers_) rows[2].push_back("@");
    if (type_ == KeyboardType::URL && !numbers_) rows[2].push_back("/");
    Float keyW = 32, rowH = 54;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        Float total = keyW * rows[r].size();
        Float x = (320 - total) / 2;
        for (auto& k : rows[r]) {
            add(K::Character, k, Rect(x, r * rowH, keyW, rowH));
            x += keyW;
        }
    }
    add(K::Shift, numbers_ ? "" : "shift", Rect(0, 2 * rowH, 42, rowH));
    add(K::Delete, "delete", Rect(278, 2 * rowH, 42, rowH));
    add(K::Mode, numbers_ ? "ABC" : "123", Rect(0, 3 * rowH, 80, rowH));
    add(K::Space, "space", Rect(80, 3 * rowH, 160, rowH));
    add(K::Return, returnKeyTitle(returnKey_), Rect(240, 3 * rowH, 80, rowH));
    setNeedsDisplay();
}

int KeyboardView::keyAt(Point p) const {
    for (std::size_t i = 0; i < keys_.size(); ++i)
        if (keys_[i].frame.contains(p) && keys_[i].kind != Key::Kind::Blank) return static_cast<int>(i);
    return -1;
}

void KeyboardView::press(const Key& key) {
    Application& app = Application::sharedApplication();
    using K = Key::Kind;
    switch (key.kind) {
    case K::Character:
        app.typeText(key.text);
        if (shifted_) {
            shifted_ = false;
            rebuild();
        }
        break;
    case K::Space: app.typeText(" "); break;
    case K::Delete: app.pressBackspace(); break;
    case K::Return: app.pressReturn(); break;
    case K::Shift:
        if (!numbers_) {
            shifted_ = !shifted_;
            rebuild();
        }
        break;
    case K::Mode:
        numbers_ = !numbers_;
        shifted_ = false;
        rebuild();
        break;
    case K::Blank: break;
    }
}

void KeyboardView::touchesBegan(const TouchSet& touches, const Event* event) {
    (void)event;
    if (touches.empty()) return;
    pressed_ = keyAt(touches.front()->locationInView(this));
    setNeedsDisplay();
}

void KeyboardView::touchesMoved(const TouchSet& touches, const Event* event) {
    (void)event;
    if (touches.empty()) return;
    int k = keyAt(touches.front()->locationInView(this));
    if (k != pressed_) {
        pressed_ = k;
        setNeedsDisplay();
    }
}

void KeyboardView::touchesEnded(const TouchSet& touches, const Event* event) {
    (void)event;
    int k = touches.empty() ? -1 : keyAt(touches.front()->locationInView(this));
    pressed_ = -1;
    setNeedsDisplay();
    if (k >= 0) {
        Key key = keys_[static_cast<std::size_t>(k)];
        press(key);
    }
}

void KeyboardView::touchesCancelled(const TouchSet& touches, const Event* event) {
    (void)touches, (void)event;
    pressed_ = -1;
    setNeedsDisplay();
}

void KeyboardView::drawRect(gfx::Context& ctx, Rect rect) {
    (void)rect;
    Rect b = bounds();
    draw::fillVerticalGradient(ctx, b, palette::keyboardTop(), palette::keyboardBottom());
    ctx.setFillColor(palette::keyboardRule());
    ctx.fillRect(Rect(0, 0, b.width(), 1));
    bool pad = type_ == KeyboardType::NumberPad || type_ == KeyboardType::DecimalPad || type_ == KeyboardType::PhonePad;
    gfx::Font letterFont = gfx::Font::systemFont(pad ? 24 : 20);
    gfx::Font smallFont = gfx::Font::boldSystemFont(13);
    using K = Key::Kind;
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        const Key& k = keys_[i];
        if (k.kind == K::Blank) continue;
        Rect f = pad ? k.frame.inset(0.5f, 0.5f) : k.frame.inset(3, 6);
        bool special = k.kind != K::Character && k.kind != K::Space;
        bool down = static_cast<int>(i) == pressed_;
        gfx::Color face = special ? palette::specialKey() : gfx::Color::white();
        if (k.kind == K::Return && returnKey_ != ReturnKeyType::Default) face = draw::systemBlue();
        if (k.kind == K::Shift && shifted_) face = gfx::Color::white();
        if (down) face = draw::darker(face, 0.25f);
        // Pad keys are square and shaded; the others are rounded and flat.
        draw::Bezel bezel;
        if (pad) {
            bezel.face = draw::Bezel::Face::Gradient;
            bezel.top = down ? palette::padKeyPressedTop() : gfx::Color::white();
            bezel.bottom = down ? palette::padKeyPressedBottom() : palette::padKeyBottom();
        } else {
            bezel.top = face;
            bezel.radius = 5;
        }
        bezel.shadow = draw::Bezel::Shadow{Size(0, 1), 0, palette::keyShadow()};
        draw::bezel(ctx, f, bezel);
        gfx::Color ink = (special && !(k.kind == K::Shift && shifted_)) || k.kind == K::Return ? gfx::Color::white()
                                                                                               : gfx::Color::black();
        if (k.kind == K::Return && returnKey_ == ReturnKeyType::Default) ink = gfx::Color::white();
        std::string label = k.text;
        if (k.kind == K::Shift) label = numbers_ ? "" : "\u21E7";
        if (k.kind == K::Delete) label = "\u232B";
        if (pad && k.kind == K::Delete) ink = gfx::Color::black();
        const gfx::Font& font =
            (k.kind == K::Character || k.kind == K::Shift || k.kind == K::Delete) ? letterFont : smallFont;
        draw::textCentered(ctx, label, f, font, ink);
    }
}

}  // namespace ui
