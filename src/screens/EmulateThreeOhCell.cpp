#include "screens/EmulateThreeOhCell.h"

#include <algorithm>

#include "platform/gfx/Context.h"
#include "platform/ui/Drawing.h"
#include "training/HomeLook.h"

namespace {

constexpr ui::Float kIconSide = 32;

// The row's card: a soft gradient of the home screen's brown with a light
// top edge and a dark bottom edge, so rows read as separate; a row with a
// disclosure indicator shows it in the look's ink (the plain cell draws it
// under its background view).
class RowBackground : public ui::View {
public:
    explicit RowBackground(const ui::TableViewCell* cell) : cell_(cell) { setOpaque(true); }
    std::string className() const override { return "RowBackground"; }
    void drawRect(gfx::Context& context, ui::Rect) override {
        const ui::Rect b = bounds();
        ui::draw::fillVerticalGradient(context, b, ui::draw::lighter(homelook::card(), 0.06f),
                                       ui::draw::darker(homelook::card(), 0.12f));
        context.setFillColor(ui::draw::lighter(homelook::card(), 0.16f));
        context.fillRect(ui::Rect(0, 0, b.size.width, 1));
        context.setFillColor(ui::draw::darker(homelook::background(), 0.3f));
        context.fillRect(ui::Rect(0, b.size.height - 1, b.size.width, 1));
        if (cell_ && cell_->accessoryType() == ui::TableViewCellAccessoryType::DisclosureIndicator)
            ui::draw::chevron(context, ui::Point(b.size.width - 18, b.size.height / 2), 4.5f, homelook::dimInk(), 3);
    }

private:
    const ui::TableViewCell* cell_;  // the cell that owns this view
};

}  // namespace

EmulateThreeOhCell::EmulateThreeOhCell() : ui::TableViewCell(ui::TableViewCellStyle::Default, kReuseIdentifier) {
    setBackgroundView(std::make_shared<RowBackground>(this));
    // The plain cell's own parts stay empty and out of sight.
    ui::TableViewCell::textLabel()->setHidden(true);
    ui::TableViewCell::imageView()->setHidden(true);
}

std::shared_ptr<EmulateThreeOhCell> EmulateThreeOhCell::loadFromNib() {
    auto cell = std::make_shared<EmulateThreeOhCell>();
    auto image = std::make_shared<ui::ImageView>(ui::Rect(14, 9, kIconSide, kIconSide));
    image->setContentMode(ui::ContentMode::ScaleAspectFit);
    cell->setImageView(image);

    auto title = homelook::label(ui::Rect(kTextX, kTitleY, 230, kTitleHeight), "", gfx::Font::boldSystemFont(16),
                                 homelook::gold());
    title->setHighlightedTextColor(gfx::Color::white());
    title->setAdjustsFontSizeToFitWidth(true);
    title->setMinimumFontSize(12);
    cell->setTextLabel(title);

    auto detail =
        homelook::label(ui::Rect(kTextX, kDetailY, 230, kDetailHeight), "", gfx::Font::systemFont(11), homelook::ink());
    detail->setHighlightedTextColor(gfx::Color::white());
    detail->setLineBreakMode(ui::LineBreakMode::WordWrap);
    detail->setNumberOfLines(0);
    cell->setDetailTextLabel(detail);
    return cell;
}

std::shared_ptr<EmulateThreeOhCell> EmulateThreeOhCell::dequeueOrLoad(ui::TableView& tableView,
                                                                      std::shared_ptr<EmulateThreeOhCell>& loaded) {
    auto cell =
        std::dynamic_pointer_cast<EmulateThreeOhCell>(tableView.dequeueReusableCellWithIdentifier(kReuseIdentifier));
    if (!cell) {
        loaded = loadFromNib();
        cell = loaded;
    }
    return cell;
}

void EmulateThreeOhCell::showRow(std::shared_ptr<gfx::Image> image, const std::string& title, const std::string& detail,
                                 int lines, bool indicator, ui::Float detailHeight) {
    imageView()->setImage(std::move(image));
    textLabel()->setText(title);
    auto detailLabel = detailTextLabel();
    detailLabel->setText(detail);
    detailLabel->setFont(gfx::Font("Helvetica", 11));
    detailLabel->setNumberOfLines(lines);
    setAccessoryType(indicator ? ui::TableViewCellAccessoryType::DisclosureIndicator
                               : ui::TableViewCellAccessoryType::None);
    if (detailHeight > 0) {
        ui::Rect frame = detailLabel->frame();
        frame.size.height = detailHeight;
        detailLabel->setFrame(frame);
    }
}

void EmulateThreeOhCell::replace(const std::shared_ptr<ui::View>& old, const std::shared_ptr<ui::View>& replacement) {
    if (old) old->removeFromSuperview();
    if (replacement) contentView()->addSubview(replacement);
    setNeedsLayout();
}

void EmulateThreeOhCell::setTextLabel(std::shared_ptr<ui::Label> label) {
    replace(textLabel_, label);
    textLabel_ = std::move(label);
}

void EmulateThreeOhCell::setDetailTextLabel(std::shared_ptr<ui::Label> label) {
    replace(detailTextLabel_, label);
    detailTextLabel_ = std::move(label);
}

void EmulateThreeOhCell::setImageView(std::shared_ptr<ui::ImageView> view) {
    replace(imageView_, view);
    imageView_ = std::move(view);
}

void EmulateThreeOhCell::prepareForReuse() {
    ui::TableViewCell::prepareForReuse();
    // A row may have set its own detail height; the next row starts from
    // the file's.
    if (detailTextLabel_) {
        ui::Rect frame = detailTextLabel_->frame();
        frame.size.height = kDetailHeight;
        detailTextLabel_->setFrame(frame);
    }
}

void EmulateThreeOhCell::layoutSubviews() {
    ui::TableViewCell::layoutSubviews();
    // The indicator drawn by the background follows the accessory.
    if (backgroundView()) backgroundView()->setNeedsDisplay();
    const ui::Rect content = contentView()->bounds();
    const ui::Float width = std::max<ui::Float>(0, content.size.width - kTextX - 6);
    if (imageView_) {
        // The icon sits beside the title.
        imageView_->setFrame(ui::Rect(14, 9, kIconSide, kIconSide));
    }
    if (textLabel_) {
        ui::Rect frame = textLabel_->frame();
        frame.size.width = width;
        textLabel_->setFrame(frame);
    }
    if (detailTextLabel_) {
        // The detail keeps its origin and height, but never reaches past the
        // row's bottom edge.
        ui::Rect frame = detailTextLabel_->frame();
        frame.size.width = width;
        frame.size.height =
            std::min(frame.size.height, std::max<ui::Float>(0, content.size.height - frame.origin.y - 2));
        detailTextLabel_->setFrame(frame);
    }
}

void EmulateThreeOhCell::setSelected(bool selected, bool animated) {
    ui::TableViewCell::setSelected(selected, animated);
    const bool on = isSelected() || isHighlighted();
    if (textLabel_) textLabel_->setHighlighted(on);
    if (detailTextLabel_) detailTextLabel_->setHighlighted(on);
}

void EmulateThreeOhCell::setHighlighted(bool highlighted, bool animated) {
    ui::TableViewCell::setHighlighted(highlighted, animated);
    const bool on = isSelected() || isHighlighted();
    if (textLabel_) textLabel_->setHighlighted(on);
    if (detailTextLabel_) detailTextLabel_->setHighlighted(on);
}

void EmulateThreeOhCell::collectAccessibleElements(std::vector<ui::AccessibleElement>& out) const {
    // The row answers to its title and to its detail text.
    const bool enabled = !tableView() || tableView()->selectionAllowed();
    auto self = std::const_pointer_cast<ui::View>(shared_from_this());
    const ui::Rect frame = convertRectToView(bounds(), nullptr);
    const std::string title = !accessibilityLabel().empty() ? accessibilityLabel()
                              : textLabel_                  ? textLabel_->text()
                                                            : std::string();
    if (!title.empty()) out.push_back(ui::AccessibleElement{title, className(), frame, enabled, self});
    if (detailTextLabel_ && !detailTextLabel_->text().empty() && detailTextLabel_->text() != title)
        out.push_back(ui::AccessibleElement{detailTextLabel_->text(), className(), frame, enabled, self});
}
