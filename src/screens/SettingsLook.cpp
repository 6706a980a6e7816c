#include "screens/SettingsLook.h"

#include <algorithm>
#include <cmath>

#include "training/HomeLook.h"

namespace settingslook {

std::shared_ptr<ui::Label> titleLabel(const std::string& text, ui::Float width) {
    auto label = homelook::titleLabel(text, width);
    // A long title shrinks rather than running under the back button.
    label->setAdjustsFontSizeToFitWidth(true);
    label->setMinimumFontSize(14);
    return label;
}

std::shared_ptr<ui::View> screenView() {
    auto view = std::make_shared<ui::View>(ui::Rect(0, 0, 320, 416));
    view->setBackgroundColor(homelook::background());
    view->setAutoresizingMask(ui::Autoresizing::FlexibleHeight);
    return view;
}

std::shared_ptr<ui::Switch> switchCard(ui::View& parent, ui::Rect frame, const std::string& caption) {
    auto card = std::make_shared<homelook::CardView>(frame);
    parent.addSubview(card);
    const ui::Float switchWidth = 94, switchHeight = 27;
    auto label = homelook::label(ui::Rect(14, 0, frame.size.width - switchWidth - 34, frame.size.height), caption,
                                 gfx::Font::boldSystemFont(16), homelook::ink());
    label->setNumberOfLines(2);
    label->setAdjustsFontSizeToFitWidth(true);
    label->setMinimumFontSize(12);
    card->addSubview(label);
    auto toggle = std::make_shared<ui::Switch>(ui::Rect(
        frame.size.width - switchWidth - 12, (frame.size.height - switchHeight) / 2, switchWidth, switchHeight));
    toggle->setOnTintColor(homelook::barTint());
    toggle->setAccessibilityLabel(caption);
    card->addSubview(toggle);
    return toggle;
}

std::shared_ptr<ui::Label> note(ui::Rect frame, const std::string& text) {
    auto label = homelook::label(frame, text, gfx::Font::systemFont(14), homelook::dimInk());
    label->setNumberOfLines(0);
    label->setLineBreakMode(ui::LineBreakMode::WordWrap);
    // The text starts at the top of the frame (a label centres its lines).
    const ui::Float height = std::ceil(label->sizeThatFits(ui::Size(frame.size.width, 0)).height);
    label->setFrame(ui::Rect(frame.origin.x, frame.origin.y, frame.size.width, std::min(height, frame.size.height)));
    return label;
}

std::shared_ptr<ui::TableView> cardTable(ui::View& view) {
    auto table = std::make_shared<ui::TableView>(view.bounds(), ui::TableViewStyle::Plain);
    table->setAutoresizingMask(ui::Autoresizing::FlexibleHeight | ui::Autoresizing::FlexibleWidth);
    table->setSeparatorStyle(ui::TableViewCellSeparatorStyle::None);
    view.addSubview(table);
    return table;
}

void liftView(ui::View& view, ui::Float distance, bool up) {
    ui::View::beginAnimations("moveUp");
    ui::View::setAnimationDuration(0.3);
    ui::Rect rect = view.frame();
    const ui::Float d = up ? distance : -distance;
    rect.origin.y -= d;
    rect.size.height += d;
    view.setFrame(rect);
    ui::View::commitAnimations();
}

}  // namespace settingslook
