#pragma once
// A button: a title and an image per control state, in the custom (nothing
// drawn but what is set) or rounded-rect look, and the small system
// buttons (detail disclosure, info, add).
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/gfx/Image.h"
#include "platform/ui/Control.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

namespace ui {

enum class ButtonType { Custom = 0, RoundedRect, DetailDisclosure, InfoLight, InfoDark, ContactAdd };

class Button : public Control {
public:
    explicit Button(ButtonType type = ButtonType::Custom);
    Button(ButtonType type, Rect frame);
    // A button of the type (system buttons get their natural size).
    static std::shared_ptr<Button> buttonWithType(ButtonType type);
    std::string className() const override { return "Button"; }

    ButtonType buttonType() const { return type_; }

    // Per-state values; a state without its own value shows the normal one.
    void setTitle(std::optional<std::string> title, unsigned state = ControlState::Normal);
    std::optional<std::string> titleForState(unsigned state) const;
    void setTitleColor(std::optional<gfx::Color> color, unsigned state = ControlState::Normal);
    std::optional<gfx::Color> titleColorForState(unsigned state) const;
    void setTitleShadowColor(std::optional<gfx::Color> color, unsigned state = ControlState::Normal);
    void setImage(std::shared_ptr<gfx::Image> image, unsigned state = ControlState::Normal);
    std::shared_ptr<gfx::Image> imageForState(unsigned state) const;
    void setBackgroundImage(std::shared_ptr<gfx::Image> image, unsigned state = ControlState::Normal);
    std::shared_ptr<gfx::Image> backgroundImageForState(unsigned state) const;

    // The values for the current state.
    std::string currentTitle() const;
    gfx::Color currentTitleColor() const;
    std::shared_ptr<gfx::Image> currentImage() const;
    std::shared_ptr<gfx::Image> currentBackgroundImage() const;

    // The label that shows the title (font, alignment, line breaks).
    std::shared_ptr<Label> titleLabel() const { return titleLabel_; }
    std::shared_ptr<ImageView> imageView() const { return imageView_; }
    // Shorthand for titleLabel()->setFont().
    void setFont(gfx::Font font);
    EdgeInsets contentEdgeInsets() const { return contentInsets_; }
    void setContentEdgeInsets(EdgeInsets insets) {
        contentInsets_ = insets;
        setNeedsLayout();
    }
    EdgeInsets titleEdgeInsets() const { return titleInsets_; }
    void setTitleEdgeInsets(EdgeInsets insets) {
        titleInsets_ = insets;
        setNeedsLayout();
    }
    EdgeInsets imageEdgeInsets() const { return imageInsets_; }
    void setImageEdgeInsets(EdgeInsets insets) {
        imageInsets_ = insets;
        setNeedsLayout();
    }
    bool adjustsImageWhenHighlighted() const { return adjustsImageWhenHighlighted_; }
    void setAdjustsImageWhenHighlighted(bool adjusts) { adjustsImageWhenHighlighted_ = adjusts; }
    bool showsTouchWhenHighlighted() const { return showsTouch_; }
    void setShowsTouchWhenHighlighted(bool shows) { showsTouch_ = shows; }

    void setEnabled(bool enabled) override;
    void setSelected(bool selected) override;
    void setHighlighted(bool highlighted) override;
    Size sizeThatFits(Size size) const override;
    void layoutSubviews() override;
    void drawRect(gfx::Context& context, Rect rect) override;
    std::string displayedText() const override { return currentTitle(); }
    std::string accessibleName() const override;
    bool exposesSubviews() const override { return false; }

private:
    void updateContent();
    template <class T>
    static std::optional<T> lookup(const std::map<unsigned, T>& values, unsigned state);

    ButtonType type_;
    std::map<unsigned, std::string> titles_;
    std::map<unsigned, gfx::Color> titleColors_;
    std::map<unsigned, gfx::Color> shadowColors_;
    std::map<unsigned, std::shared_ptr<gfx::Image>> images_;
    std::map<unsigned, std::shared_ptr<gfx::Image>> backgrounds_;
    std::shared_ptr<Label> titleLabel_;
    std::shared_ptr<ImageView> imageView_;
    EdgeInsets contentInsets_, titleInsets_, imageInsets_;
    bool adjustsImageWhenHighlighted_ = true;
    bool showsTouch_ = false;
};

}  // namespace ui
