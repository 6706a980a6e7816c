#include "platform/ui/Button.h"

#include <algorithm>
#include <cmath>

#include "platform/gfx/Context.h"
#include "platform/gfx/Text.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/Palette.h"

namespace ui {

Button::Button(ButtonType type) : Button(type, Rect()) {}

Button::Button(ButtonType type, Rect frame) : Control(frame), type_(type) {
    titleLabel_ = std::make_shared<Label>();
    titleLabel_->setBackgroundColor(gfx::Color::clear());
    titleLabel_->setTextAlignment(TextAlignment::Center);
    titleLabel_->setLineBreakMode(LineBreakMode::MiddleTruncation);
    titleLabel_->setFont(type == ButtonType::RoundedRect ? gfx::Font::boldSystemFont(15)
                                                         : gfx::Font::boldSystemFont(18));
    imageView_ = std::make_shared<ImageView>();
    setOpaque(false);
    if (type == ButtonType::RoundedRect) {
        titleColors_[ControlState::Normal] = palette::roundedButtonTitle();
        titleColors_[ControlState::Highlighted] = gfx::Color::white();
    } else {
        titleColors_[ControlState::Normal] = gfx::Color::white();
    }
    if (type == ButtonType::DetailDisclosure || type == ButtonType::InfoLight || type == ButtonType::InfoDark ||
        type == ButtonType::ContactAdd) {
        Rect f = frame;
        f.size = Size(29, 31);
        if (type != ButtonType::DetailDisclosure) f.size = Size(18, 19);
        View::setFrame(f);
        setShowsTouchWhenHighlighted(true);
    }
}

std::shared_ptr<Button> Button::buttonWithType(ButtonType type) { return std::make_shared<Button>(type); }

template <class T>
std::optional<T> Button::lookup(const std::map<unsigned, T>& values, unsigned state) {
    auto it = values.find(state);
    if (it != values.end()) return it->second;
    // Selected and highlighted together fall back to selected, then normal.
    if (state & ControlState::Selected) {
        it = values.find(ControlState::Selected);
        if (it != values.end()) return it->second;
    }
    it = values.find(ControlState::Normal);
    if (it != values.end()) return it->second;
    return std::nullopt;
}

void Button::setTitle(std::optional<std::string> title, unsigned state) {
    if (title) titles_[state] = *title;
    else titles_.erase(state);
    updateContent();
}

std::optional<std::string> Button::titleForState(unsigned state) const { return lookup(titles_, state); }

void Button::setTitleColor(std::optional<gfx::Color> color, unsigned state) {
    if (color) titleColors_[state] = *color;
    else titleColors_.erase(state);
    updateContent();
}

std::optional<gfx::Color> Button::titleColorForState(unsigned state) const { return lookup(titleColors_, state); }

void Button::setTitleShadowColor(std::optional<gfx::Color> color, unsigned state) {
    if (color) shadowColors_[state] = *color;
    else shadowColors_.erase(state);
    updateContent();
}

void Button::setImage(std::shared_ptr<gfx::Image> image, unsigned state) {
    if (image) images_[state] = std::move(image);
    else images_.erase(state);
    updateContent();
}

std::shared_ptr<gfx::Image> Button::imageForState(unsigned state) const {
    return lookup(images_, state).value_or(nullptr);
}

void Button::setBackgroundImage(std::shared_ptr<gfx::Image> image, unsigned state) {
    if (image) backgrounds_[state] = std::move(image);
    else backgrounds_.erase(state);
    updateContent();
}

std::shared_ptr<gfx::Image> Button::backgroundImageForState(unsigned state) const {
    return lookup(backgrounds_, state).value_or(nullptr);
}

std::string Button::currentTitle() const { return titleForState(state()).value_or(""); }

gfx::Color Button::currentTitleColor() const {
    auto c = titleColorForState(state());
    gfx::Color color = c.value_or(gfx::Color::white());
    if (!isEnabled() && !titleColors_.count(ControlState::Disabled)) color = color.withAlpha(color.alpha() * 0.45f);
    return color;
}

std::shared_ptr<gfx::Image> Button::currentImage() const { return imageForState(state()); }
std::shared_ptr<gfx::Image> Button::currentBackgroundImage() const { return backgroundImageForState(state()); }

void Button::setFont(gfx::Font font) {
    titleLabel_->setFont(std::move(font));
    setNeedsLayout();
}

void Button::setEnabled(bool enabled) {
    Control::setEnabled(enabled);
    updateContent();
}
void Button::setSelected(bool selected) {
    Control::setSelected(selected);
    updateContent();
}
void Button::setHighlighted(bool highlighted) {
    Control::setHighlighted(highlighted);
    updateContent();
}

void Button::updateContent() {
    titleLabel_->setText(currentTitle());
    titleLabel_->setTextColor(currentTitleColor());
    if (auto sc = lookup(shadowColors_, state())) titleLabel_->setShadowColor(*sc);
    imageView_->setImage(currentImage());
    setNeedsLayout();
    setNeedsDisplay();
}

Size Button::sizeThatFits(Size size) const {
    (void)size;
    Size t = currentTitle().empty() ? Size() : gfx::measureText(currentTitle(), titleLabel_->font());
    Size i = currentImage() ? currentImage()->size() : Size();
    Float w = t.width + i.width + contentInsets_.left + contentInsets_.right;
    Float h = std::max(t.height, i.height) + contentInsets_.top + contentInsets_.bottom;
    if (type_ == ButtonType::RoundedRect) {
        w += 20;
        h = std::max<Float>(h + 8, 37);
    }
    if (auto bg = currentBackgroundImage()) {
        w = std::max(w, bg->size().width);
        h = std::max(h, bg->size().height);
    }
    return Size(std::ceil(w), std::ceil(h));
}

void Button::layoutSubviews() {
    // Image and title are drawn by the button itself (placed as laid out here).
}

void Button::drawRect(gfx::Context& ctx, Rect rect) {
    (void)rect;
    Rect b = bounds();
    bool down = isHighlighted();
    switch (type_) {
    case ButtonType::RoundedRect: {
        if (!currentBackgroundImage()) {
            draw::Bezel bezel;
            bezel.face = down ? draw::Bezel::Face::Gradient : draw::Bezel::Face::Flat;
            bezel.top = down ? palette::selectionTop() : gfx::Color::white();
            bezel.bottom = palette::selectionBottom();
            bezel.radius = 9;
            bezel.edge = palette::roundedButtonEdge();
            bezel.shadow = draw::Bezel::Shadow{Size(0, 1), 1, gfx::Color::white().withAlpha(0.6f)};
            draw::bezel(ctx, b.inset(0.5f, 0.5f), bezel);
        }
        break;
    }
    case ButtonType::DetailDisclosure: {
        Float d = 29;
        draw::detailDisclosure(ctx, Rect(b.midX() - d / 2, b.midY() - d / 2, d, d).inset(3, 3));
        break;
    }
    case ButtonType::InfoLight:
    case ButtonType::InfoDark: {
        gfx::Color c = type_ == ButtonType::InfoLight ? gfx::Color::white() : palette::infoDarkInk();
        Rect r(b.midX() - 9, b.midY() - 9, 18, 18);
        ctx.setStrokeColor(c);
        ctx.setLineWidth(2);
        ctx.strokeEllipseInRect(r.inset(1, 1));
        draw::textCentered(ctx, "i", r, gfx::Font("Times-Bold", 13), c);
        break;
    }
    case ButtonType::ContactAdd: {
        draw::plusCircle(ctx, Rect(b.midX() - 9, b.midY() - 9, 18, 18), draw::systemBlue());
        break;
    }
    case ButtonType::Custom: break;
    }
    if (auto bg = currentBackgroundImage()) {
        drawImageInRect(ctx, *bg, b, ContentMode::ScaleToFill);
        if (down && adjustsImageWhenHighlighted_) {
            ctx.setFillColor(gfx::Color::black().withAlpha(0.25f));
            ctx.fillRect(b);
        }
    }
    // Image then title, side by side and centred as the alignment says.
    Rect content(b.minX() + contentInsets_.left, b.minY() + contentInsets_.top,
                 b.width() - contentInsets_.left - contentInsets_.right,
                 b.height() - contentInsets_.top - contentInsets_.bottom);
    std::string title = currentTitle();
    auto img = currentImage();
    Size ts = title.empty() ? Size() : gfx::measureText(title, titleLabel_->font());
    Size is = img ? img->size() : Size();
    if (img && (type_ == ButtonType::Custom || type_ == ButtonType::RoundedRect)) {
        is.width = std::min(is.width, content.width());
        is.height = std::min(is.height, content.height());
    }
    ts.width = std::min(ts.width, std::max<Float>(0, content.width() - is.width));
    Float total = ts.width + is.width;
    Float x = content.minX();
    switch (contentHorizontalAlignment()) {
    case ControlContentHorizontalAlignment::Left: break;
    case ControlContentHorizontalAlignment::Right: x = content.maxX() - total; break;
    default: x = content.minX() + std::floor((content.width() - total) / 2); break;
    }
    auto vpos = [&](Float h) {
        switch (contentVerticalAlignment()) {
        case ControlContentVerticalAlignment::Top: return content.minY();
        case ControlContentVerticalAlignment::Bottom: return content.maxY() - h;
        default: return content.minY() + std::floor((content.height() - h) / 2);
        }
    };
    if (img) {
        Rect ir(x + imageInsets_.left - imageInsets_.right, vpos(is.height) + imageInsets_.top - imageInsets_.bottom,
                is.width, is.height);
        drawImageInRect(ctx, *img, ir, ContentMode::ScaleToFill);
        if (down && adjustsImageWhenHighlighted_ && type_ == ButtonType::Custom) {
            ctx.setFillColor(gfx::Color::black().withAlpha(0.3f));
            ctx.fillRect(ir);
        }
        x += is.width;
    }
    if (!title.empty()) {
        Float h = titleLabel_->font().lineHeight();
        Rect tr(x + titleInsets_.left - titleInsets_.right, vpos(h) + titleInsets_.top - titleInsets_.bottom,
                ts.width + 1, h + 1);
        gfx::SavedState saved(ctx);
        if (auto sc = lookup(shadowColors_, state())) ctx.setShadow(titleLabel_->shadowOffset(), 0, *sc);
        ctx.setFillColor(currentTitleColor());
        gfx::drawText(ctx, title, tr, titleLabel_->font(), titleLabel_->lineBreakMode(), TextAlignment::Center);
    }
    if (down && showsTouch_) {
        gfx::SavedState saved(ctx);
        auto glow = gfx::Color::white().withAlpha(0.55f);
        ctx.setFillColor(glow);
        ctx.fillEllipseInRect(Rect(b.midX() - 14, b.midY() - 14, 28, 28));
    }
}

std::string Button::accessibleName() const {
    if (!accessibilityLabel().empty()) return accessibilityLabel();
    std::string t = currentTitle();
    if (!t.empty()) return t;
    switch (type_) {
    case ButtonType::DetailDisclosure: return "More Info";
    case ButtonType::InfoLight:
    case ButtonType::InfoDark: return "Info";
    case ButtonType::ContactAdd: return "Add";
    default: return "Button";
    }
}

}  // namespace ui
