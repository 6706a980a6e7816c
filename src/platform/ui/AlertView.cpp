#include "platform/ui/AlertView.h"

#include <algorithm>
#include <cmath>

#include "platform/gfx/Context.h"
#include "platform/gfx/Text.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/Label.h"
#include "platform/ui/Palette.h"

namespace ui {

namespace {

// The buttons of alerts and sheets: glossy, rounded, in a role colour.
class PanelButton : public Button {
public:
    enum class Role { Normal, Cancel, Destructive, AlertNormal, AlertCancel };
    PanelButton(Role role, const std::string& title) : Button(ButtonType::Custom), role_(role) {
        setTitle(title);
        bool sheet = role == Role::Normal || role == Role::Cancel || role == Role::Destructive;
        setFont(gfx::Font::boldSystemFont(sheet ? 19 : 17));
        setTitleColor(sheet && role == Role::Normal ? gfx::Color::black() : gfx::Color::white());
        setTitleColor(gfx::Color::white(), ControlState::Highlighted);
    }
    std::string className() const override { return "AlertButton"; }
    void drawRect(gfx::Context& ctx, Rect rect) override {
        (void)rect;
        Rect r = bounds().inset(0.5f, 0.5f);
        gfx::Color base;
        switch (role_) {
        case Role::Normal: base = palette::sheetButton(); break;
        case Role::Cancel: base = palette::sheetCancelButton(); break;
        case Role::Destructive: base = palette::sheetDestructiveButton(); break;
        case Role::AlertNormal: base = palette::alertButton(); break;
        case Role::AlertCancel: base = palette::alertCancelButton(); break;
        }
        if (isHighlighted()) base = role_ == Role::Normal ? palette::sheetButtonPressed() : draw::darker(base, 0.3f);
        draw::Bezel bezel;
        bezel.face = draw::Bezel::Face::Glossy;
        bezel.top = base;
        bezel.radius = 8;
        bezel.edge = draw::darker(base, 0.4f);
        bezel.shadow = draw::Bezel::Shadow{Size(0, 1), 1, gfx::Color::black().withAlpha(0.4f)};
        draw::bezel(ctx, r, bezel);
        gfx::Color ink = isHighlighted() ? gfx::Color::white() : currentTitleColor();
        draw::textWithShadow(
            ctx, currentTitle(), r.inset(8, 0), titleLabel()->font(), ink,
            ink == gfx::Color::black() ? gfx::Color::white().withAlpha(0.7f) : gfx::Color::black().withAlpha(0.5f),
            Size(0, -1));
    }

private:
    Role role_;
};

// Keeps the view alive while its own button handler runs.
template <class T>
void tapLater(const std::shared_ptr<T>& view, int index) {
    view->buttonTapped(index);
}

// Presses the answer's button as a tap does, or closes the panel with no
// choice made.
template <class Panel>
void answerWith(Panel& panel, KeyAnswer answer) {
    switch (answer.kind) {
    case KeyAnswer::Kind::Press:
        if (answer.index >= 0 && answer.index < panel.numberOfButtons()) panel.buttonTapped(answer.index);
        break;
    case KeyAnswer::Kind::Close: panel.dismissWithClickedButtonIndex(-1, true); break;
    case KeyAnswer::Kind::Nothing: break;
    }
}

}  // namespace

// ---- AlertView

AlertView::AlertView(std::string title, std::string message, std::weak_ptr<AlertViewDelegate> delegate,
                     std::optional<std::string> cancelButtonTitle, std::vector<std::string> otherButtonTitles)
    : View(Screen::mainScreen().bounds()),
      title_(std::move(title)),
      message_(std::move(message)),
      delegate_(std::move(delegate)) {
    if (cancelButtonTitle) {
        buttons_.push_back(*cancelButtonTitle);
        cancelIndex_ = 0;
    }
    for (auto& t : otherButtonTitles) buttons_.push_back(std::move(t));
    setOpaque(false);
}

void AlertView::setTitle(std::string title) {
    title_ = std::move(title);
    rebuild();
}

void AlertView::setMessage(std::string message) {
    message_ = std::move(message);
    rebuild();
}

int AlertView::addButtonWithTitle(const std::string& title) {
    buttons_.push_back(title);
    rebuild();
    return static_cast<int>(buttons_.size()) - 1;
}

std::string AlertView::buttonTitleAtIndex(int index) const {
    if (index < 0 || index >= numberOfButtons()) return {};
    return buttons_[static_cast<std::size_t>(index)];
}

void AlertView::setCancelButtonIndex(int index) {
    cancelIndex_ = index >= 0 && index < numberOfButtons() ? index : -1;
    rebuild();
}

int AlertView::firstOtherButtonIndex() const {
    for (int i = 0; i < numberOfButtons(); ++i)
        if (i != cancelIndex_) return i;
    return -1;
}

KeyAnswer AlertView::unnamedKey() const { return numberOfButtons() == 1 ? KeyAnswer::press(0) : KeyAnswer::nothing(); }

KeyAnswer AlertView::returnKey() const { return returnKey_.value_or(unnamedKey()); }

KeyAnswer AlertView::escapeKey() const { return escapeKey_.value_or(unnamedKey()); }

void AlertView::setKeys(KeyAnswer onReturn, KeyAnswer onEscape) {
    returnKey_ = onReturn;
    escapeKey_ = onEscape;
}

void AlertView::answerKey(KeyAnswer answer) { answerWith(*this, answer); }

void AlertView::show() {
    auto self = std::static_pointer_cast<AlertView>(shared_from_this());
    if (auto d = delegate()) d->willPresentAlertView(*this);
    visible_ = true;
    dismissed_ = false;
    setFrame(Screen::mainScreen().bounds());
    rebuild();
    Application::sharedApplication().presentAlert(self);
    // Pop in: a quick scale from slightly larger.
    setAlpha(0);
    View::animate(
        0.2, [self] { self->setAlpha(1); },
        [self](bool) {
            if (auto d = self->delegate()) d->didPresentAlertView(*self);
        });
}

void AlertView::buttonTapped(int index) {
    if (dismissed_) return;
    auto self = shared_from_this();
    if (auto d = delegate()) d->clickedButtonAtIndex(*this, index);
    dismissWithClickedButtonIndex(index, true);
}

void AlertView::dismissWithClickedButtonIndex(int index, bool animated) {
    if (dismissed_ || !visible_) return;
    dismissed_ = true;
    auto self = std::static_pointer_cast<AlertView>(shared_from_this());
    if (auto d = delegate()) d->willDismissWithButtonIndex(*this, index);
    auto finish = [self, index](bool) {
        self->visible_ = false;
        Application::sharedApplication().dismissAlert(self.get());
        if (auto d = self->delegate()) d->didDismissWithButtonIndex(*self, index);
    };
    if (animated && View::areAnimationsEnabled()) {
        View::animate(
            0.2, [self] { self->setAlpha(0); }, finish);
    } else {
        finish(true);
    }
}

Rect AlertView::panelRect() const {
    Rect b = bounds();
    Float width = 284;
    Float inner = width - 32;
    Float h = 16;
    if (!title_.empty())
        h += gfx::measureText(title_, gfx::Font::boldSystemFont(18), Size(inner, 200), LineBreakMode::WordWrap).height +
             8;
    if (!message_.empty())
        h +=
            gfx::measureText(message_, gfx::Font::systemFont(16), Size(inner, 240), LineBreakMode::WordWrap).height + 8;
    int n = numberOfButtons();
    bool sideBySide = n == 2;
    h += 8 + (n == 0 ? 0 : (sideBySide ? 43 : 51 * n - 8)) + 16;
    Float y = std::max<Float>(20, std::floor((b.height() - h) / 2) - (raisedForKeyboard_ ? 100 : 0));
    return Rect(std::floor((b.width() - width) / 2), y, width, h);
}

void AlertView::rebuild() {
    for (auto& b : buttonViews_) b->removeFromSuperview();
    buttonViews_.clear();
    if (titleLabel_) titleLabel_->removeFromSuperview();
    if (messageLabel_) messageLabel_->removeFromSuperview();
    raisedForKeyboard_ = Application::sharedApplication().isKeyboardVisible();
    Rect panel = panelRect();
    Float inner = panel.width() - 32;
    Float y = panel.minY() + 16;
    auto makeLabel = [&](const std::string& text, const gfx::Font& font) {
        auto l = std::make_shared<Label>();
        l->setText(text);
        l->setFont(font);
        l->setTextColor(gfx::Color::white());
        l->setShadowColor(gfx::Color::black().withAlpha(0.6f));
        l->setShadowOffset(Size(0, -1));
        l->setBackgroundColor(gfx::Color::clear());
        l->setTextAlignment(TextAlignment::Center);
        l->setNumberOfLines(0);
        l->setLineBreakMode(LineBreakMode::WordWrap);
        Float h = gfx::measureText(text, font, Size(inner, 240), LineBreakMode::WordWrap).height;
        l->setFrame(Rect(panel.minX() + 16, y, inner, h));
        y += h + 8;
        addSubview(l);
        return l;
    };
    titleLabel_ = title_.empty() ? nullptr : makeLabel(title_, gfx::Font::boldSystemFont(18));
    messageLabel_ = message_.empty() ? nullptr : makeLabel(message_, gfx::Font::systemFont(16));
    y += 8;
    int n = numberOfButtons();
    // Two buttons sit side by side, cancel on the left; otherwise stacked,
    // cancel at the bottom.
    std::vector<int> order;
    for (int i = 0; i < n; ++i)
        if (i != cancelIndex_) order.push_back(i);
    if (cancelIndex_ >= 0) {
        if (n == 2) order.insert(order.begin(), cancelIndex_);
        else order.push_back(cancelIndex_);
    }
    std::weak_ptr<View> weak = weak_from_this();
    for (std::size_t k = 0; k < order.size(); ++k) {
        int index = order[k];
        auto role = index == cancelIndex_ ? PanelButton::Role::AlertCancel : PanelButton::Role::AlertNormal;
        auto button = std::make_shared<PanelButton>(role, buttons_[static_cast<std::size_t>(index)]);
        if (n == 2) {
            Float w = (inner - 10) / 2;
            button->setFrame(Rect(panel.minX() + 16 + k * (w + 10), y, w, 43));
        } else {
            button->setFrame(Rect(panel.minX() + 16, y + k * 51, inner, 43));
        }
        button->addTarget(
            [weak, index] {
                if (auto self = std::static_pointer_cast<AlertView>(weak.lock())) tapLater(self, index);
            },
            ControlEvents::TouchUpInside);
        buttonViews_.push_back(button);
        addSubview(button);
    }
    setNeedsDisplay();
}

void AlertView::layoutSubviews() {}

void AlertView::drawRect(gfx::Context& ctx, Rect rect) {
    (void)rect;
    Rect b = bounds();
    // Dim what is behind, lighter in the middle.
    ctx.setFillColor(gfx::Color::black().withAlpha(0.45f));
    ctx.fillRect(b);
    Rect panel = panelRect();
    {
        gfx::SavedState saved(ctx);
        ctx.setShadow(Size(0, 4), 10, gfx::Color::black().withAlpha(0.6f));
        draw::fillRoundedRect(ctx, panel, 10, palette::alertPanel());
    }
    draw::fillVerticalGradient(ctx, panel, palette::alertPanelTop(), palette::alertPanelBottom(), 10);
    // The gloss across the top.
    {
        gfx::SavedState saved(ctx);
        ctx.beginPath();
        draw::addRoundedRect(ctx, panel, 10);
        ctx.clip();
        ctx.setFillColor(gfx::Color::white().withAlpha(0.12f));
        ctx.fillEllipseInRect(Rect(panel.minX() - 60, panel.minY() - 60, panel.width() + 120, 110));
    }
    draw::strokeRoundedRect(ctx, panel.inset(-1, -1), 11, gfx::Color::white().withAlpha(0.85f), 2);
}

// ---- ActionSheet

ActionSheet::ActionSheet(std::string title, std::weak_ptr<ActionSheetDelegate> delegate,
                         std::optional<std::string> cancelButtonTitle,
                         std::optional<std::string> destructiveButtonTitle, std::vector<std::string> otherButtonTitles)
    : View(Screen::mainScreen().bounds()), title_(std::move(title)), delegate_(std::move(delegate)) {
    if (destructiveButtonTitle) {
        buttons_.push_back(*destructiveButtonTitle);
        destructiveIndex_ = 0;
    }
    for (auto& t : otherButtonTitles) buttons_.push_back(std::move(t));
    if (cancelButtonTitle) {
        buttons_.push_back(*cancelButtonTitle);
        cancelIndex_ = static_cast<int>(buttons_.size()) - 1;
    }
    setOpaque(false);
}

void ActionSheet::setTitle(std::string title) {
    title_ = std::move(title);
    rebuild();
}

int ActionSheet::addButtonWithTitle(const std::string& title) {
    buttons_.push_back(title);
    rebuild();
    return static_cast<int>(buttons_.size()) - 1;
}

std::string ActionSheet::buttonTitleAtIndex(int index) const {
    if (index < 0 || index >= numberOfButtons()) return {};
    return buttons_[static_cast<std::size_t>(index)];
}

void ActionSheet::setCancelButtonIndex(int index) {
    cancelIndex_ = index >= 0 && index < numberOfButtons() ? index : -1;
    rebuild();
}

void ActionSheet::setDestructiveButtonIndex(int index) {
    destructiveIndex_ = index >= 0 && index < numberOfButtons() ? index : -1;
    rebuild();
}

int ActionSheet::firstOtherButtonIndex() const {
    for (int i = 0; i < numberOfButtons(); ++i)
        if (i != cancelIndex_ && i != destructiveIndex_) return i;
    return -1;
}

void ActionSheet::answerKey(KeyAnswer answer) { answerWith(*this, answer); }

void ActionSheet::showInView(const std::shared_ptr<View>& view) {
    (void)view;
    show();
}

void ActionSheet::showFromRect(Rect rect, const std::shared_ptr<View>& view, bool animated) {
    (void)rect, (void)view, (void)animated;
    show();
}

void ActionSheet::showFromBarButtonItem(const std::shared_ptr<BarButtonItem>& item, bool animated) {
    (void)item, (void)animated;
    show();
}

void ActionSheet::show() {
    auto self = std::static_pointer_cast<ActionSheet>(shared_from_this());
    if (auto d = delegate()) d->willPresentActionSheet(*this);
    visible_ = true;
    dismissed_ = false;
    setFrame(Screen::mainScreen().bounds());
    rebuild();
    Application::sharedApplication().presentAlert(self);
    // Slide up from the bottom of the screen.
    Point c = center();
    setCenter(Point(c.x, c.y + panelRect().height()));
    View::animate(
        0.3, 0, AnimationOptions::CurveEaseOut, [self, c] { self->setCenter(c); },
        [self](bool) {
            if (auto d = self->delegate()) d->didPresentActionSheet(*self);
        });
}

void ActionSheet::buttonTapped(int index) {
    if (dismissed_) return;
    auto self = shared_from_this();
    if (auto d = delegate()) d->clickedButtonAtIndex(*this, index);
    dismissWithClickedButtonIndex(index, true);
}

void ActionSheet::dismissWithClickedButtonIndex(int index, bool animated) {
    if (dismissed_ || !visible_) return;
    dismissed_ = true;
    auto self = std::static_pointer_cast<ActionSheet>(shared_from_this());
    if (auto d = delegate()) d->willDismissWithButtonIndex(*this, index);
    auto finish = [self, index](bool) {
        self->visible_ = false;
        Application::sharedApplication().dismissAlert(self.get());
        self->setFrame(Screen::mainScreen().bounds());
        if (auto d = self->delegate()) d->didDismissWithButtonIndex(*self, index);
    };
    if (animated && View::areAnimationsEnabled()) {
        Point c = center();
        Float h = panelRect().height();
        View::animate(
            0.3, 0, AnimationOptions::CurveEaseIn, [self, c, h] { self->setCenter(Point(c.x, c.y + h)); }, finish);
    } else {
        finish(true);
    }
}

Rect ActionSheet::panelRect() const {
    Rect b = bounds();
    Float h = 16;
    if (!title_.empty())
        h += gfx::measureText(title_, gfx::Font::systemFont(13), Size(280, 200), LineBreakMode::WordWrap).height + 12;
    int n = numberOfButtons();
    h += n * 52 + (cancelIndex_ >= 0 ? 8 : 0) + 10;
    return Rect(0, b.height() - h, b.width(), h);
}

void ActionSheet::rebuild() {
    for (auto& b : buttonViews_) b->removeFromSuperview();
    buttonViews_.clear();
    if (titleLabel_) titleLabel_->removeFromSuperview();
    titleLabel_.reset();
    Rect panel = panelRect();
    Float y = panel.minY() + 16;
    if (!title_.empty()) {
        auto l = std::make_shared<Label>();
        l->setText(title_);
        l->setFont(gfx::Font::systemFont(13));
        l->setTextColor(palette::sheetTitleInk());
        l->setBackgroundColor(gfx::Color::clear());
        l->setShadowColor(gfx::Color::black().withAlpha(0.6f));
        l->setTextAlignment(TextAlignment::Center);
        l->setNumberOfLines(0);
        l->setLineBreakMode(LineBreakMode::WordWrap);
        Float h = gfx::measureText(title_, l->font(), Size(280, 200), LineBreakMode::WordWrap).height;
        l->setFrame(Rect(20, y, 280, h));
        addSubview(l);
        titleLabel_ = l;
        y += h + 12;
    }
    std::vector<int> order;
    if (destructiveIndex_ >= 0) order.push_back(destructiveIndex_);
    for (int i = 0; i < numberOfButtons(); ++i)
        if (i != destructiveIndex_ && i != cancelIndex_) order.push_back(i);
    if (cancelIndex_ >= 0) order.push_back(cancelIndex_);
    std::weak_ptr<View> weak = weak_from_this();
    for (int index : order) {
        auto role = index == cancelIndex_        ? PanelButton::Role::Cancel
                    : index == destructiveIndex_ ? PanelButton::Role::Destructive
                                                 : PanelButton::Role::Normal;
        if (index == cancelIndex_) y += 8;
        auto button = std::make_shared<PanelButton>(role, buttons_[static_cast<std::size_t>(index)]);
        button->setFrame(Rect(20, y, 280, 44));
        button->addTarget(
            [weak, index] {
                if (auto self = std::static_pointer_cast<ActionSheet>(weak.lock())) tapLater(self, index);
            },
            ControlEvents::TouchUpInside);
        buttonViews_.push_back(button);
        addSubview(button);
        y += 52;
    }
    setNeedsDisplay();
}

void ActionSheet::layoutSubviews() {}

void ActionSheet::drawRect(gfx::Context& ctx, Rect rect) {
    (void)rect;
    Rect b = bounds();
    ctx.setFillColor(gfx::Color::black().withAlpha(0.4f));
    ctx.fillRect(Rect(b.minX(), b.minY() - 480, b.width(), b.height() + 480));
    Rect panel = panelRect();
    bool black = style_ == ActionSheetStyle::BlackOpaque || style_ == ActionSheetStyle::BlackTranslucent;
    if (black) {
        ctx.setFillColor(gfx::Color::black().withAlpha(style_ == ActionSheetStyle::BlackTranslucent ? 0.8f : 1));
        ctx.fillRect(panel);
    } else {
        // Opaque, so the screen's own titles do not show through behind
        // the sheet's title.
        draw::fillVerticalGradient(ctx, panel, palette::sheetTop(), palette::sheetBottom());
    }
    ctx.setFillColor(gfx::Color::white().withAlpha(0.35f));
    ctx.fillRect(Rect(panel.minX(), panel.minY(), panel.width(), 1));
}

}  // namespace ui
