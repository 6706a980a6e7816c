#include "screens/LogViewCell.h"

#include "platform/gfx/Font.h"

LogViewCell::LogViewCell(std::string reuseIdentifier)
    : ui::TableViewCell(ui::TableViewCellStyle::Default, std::move(reuseIdentifier)) {
    setFrame(ui::Rect(0, 0, 320, 75));
    auto make = [this](ui::Rect frame, gfx::Font font, gfx::Color color) {
        auto label = std::make_shared<ui::Label>(frame);
        label->setFont(std::move(font));
        label->setTextColor(std::move(color));
        label->setHighlightedTextColor(gfx::Color::white());
        label->setBackgroundColor(gfx::Color::clear());
        label->setAutoresizingMask(ui::Autoresizing::FlexibleWidth);
        contentView()->addSubview(label);
        return label;
    };
    dateLabel_ = make(ui::Rect(10, 6, 300, 22), gfx::Font::boldSystemFont(17), gfx::Color::black());
    descLabel_ = make(ui::Rect(10, 29, 300, 18), gfx::Font("Helvetica", 13), gfx::Color::gray(0.45f));
    workoutLabel_ = make(ui::Rect(10, 48, 300, 18), gfx::Font("Helvetica", 13), gfx::Color::gray(0.45f));
}

void LogViewCell::setSelected(bool selected, bool animated) { ui::TableViewCell::setSelected(selected, animated); }
