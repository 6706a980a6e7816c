#include "platform/ui/TableView.h"

#include <algorithm>
#include <cmath>

#include "platform/base/Format.h"
#include "platform/base/Log.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Text.h"
#include "platform/ui/Button.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/Palette.h"

namespace ui {

namespace {

constexpr Float kGroupInset = 10;
constexpr Float kGroupRadius = 9;

// The highlight behind a selected cell: blue (or grey) gradient in the shape
// of the cell.
class SelectionView : public View {
public:
    using GroupPosition = TableViewCell::GroupPosition;
    explicit SelectionView(bool gray) : gray_(gray) {
        setUserInteractionEnabled(false);
        setOpaque(false);
    }
    std::string className() const override { return "SelectionBackground"; }
    void setShape(GroupPosition groupPosition) {
        position_ = groupPosition;
        setNeedsDisplay();
    }
    void drawRect(gfx::Context& ctx, Rect rect) override {
        (void)rect;
        Rect b = bounds();
        bool top = position_ == GroupPosition::Single || position_ == GroupPosition::First;
        bool bottom = position_ == GroupPosition::Single || position_ == GroupPosition::Last;
        Float r = position_ == GroupPosition::None ? 0 : kGroupRadius;
        gfx::SavedState saved(ctx);
        ctx.beginPath();
        draw::addRoundedRect(ctx, b, r, top, top, bottom, bottom);
        ctx.clip();
        if (gray_) draw::fillVerticalGradient(ctx, b, palette::graySelectionTop(), palette::graySelectionBottom());
        else draw::fillVerticalGradient(ctx, b, palette::selectionTop(), palette::selectionBottom());
    }

private:
    bool gray_;
    GroupPosition position_ = GroupPosition::None;
};

// The title of a section header or footer.
class SectionTitleView : public View {
public:
    SectionTitleView(std::string text, bool grouped, bool header)
        : text_(std::move(text)), grouped_(grouped), header_(header) {
        setUserInteractionEnabled(false);
        setOpaque(false);
    }
    std::string className() const override { return header_ ? "SectionHeader" : "SectionFooter"; }
    std::string displayedText() const override { return text_; }
    void drawRect(gfx::Context& ctx, Rect rect) override {
        (void)rect;
        Rect b = bounds();
        if (!grouped_) {
            // Opaque: a header pinned over scrolled rows must not show their
            // text through its own.
            draw::fillVerticalGradient(ctx, b, palette::plainHeaderTop(), palette::plainHeaderBottom());
            ctx.setFillColor(palette::plainHeaderRule());
            ctx.fillRect(Rect(0, b.maxY() - 1, b.width(), 1));
            draw::textWithShadow(ctx, text_, Rect(12, 0, b.width() - 24, b.height()), gfx::Font::boldSystemFont(18),
                                 gfx::Color::white(), palette::plainHeaderEngrave(), Size(0, 1), TextAlignment::Left);
            return;
        }
        gfx::Font font = header_ ? gfx::Font::boldSystemFont(17) : gfx::Font::systemFont(15);
        gfx::Color ink = palette::groupedTitleInk();
        Rect r = header_ ? Rect(20, 8, b.width() - 40, b.height() - 10) : Rect(20, 4, b.width() - 40, b.height() - 6);
        gfx::SavedState saved(ctx);
        ctx.setShadow(Size(0, 1), 0, gfx::Color::white().withAlpha(0.9f));
        ctx.setFillColor(ink);
        gfx::drawText(ctx, text_, r, font, LineBreakMode::WordWrap,
                      header_ ? TextAlignment::Left : TextAlignment::Center);
    }

private:
    std::string text_;
    bool grouped_;
    bool header_;
};

Float groupedTitleHeight(const std::string& text, bool header, Float width) {
    gfx::Font font = header ? gfx::Font::boldSystemFont(17) : gfx::Font::systemFont(15);
    Float h = gfx::measureText(text, font, Size(width - 40, 1000), LineBreakMode::WordWrap).height;
    return std::ceil(h + (header ? 18 : 12));
}

}  // namespace

// ---- TableViewCell

TableViewCell::TableViewCell(TableViewCellStyle style, std::string reuseIdentifier)
    : View(Rect(0, 0, 320, 44)), style_(style), reuseIdentifier_(std::move(reuseIdentifier)) {
    setOpaque(true);
    contentView_ = std::make_shared<View>(Rect(0, 0, 320, 44));
    contentView_->setAutoresizingMask(Autoresizing::FlexibleWidth | Autoresizing::FlexibleHeight);
    contentView_->setUserInteractionEnabled(true);
    addSubview(contentView_);
    auto makeLabel = [](gfx::Font font, gfx::Color color) {
        auto l = std::make_shared<Label>();
        l->setFont(std::move(font));
        l->setTextColor(std::move(color));
        l->setHighlightedTextColor(gfx::Color::white());
        l->setBackgroundColor(gfx::Color::clear());
        return l;
    };
    imageView_ = std::make_shared<ImageView>();
    contentView_->addSubview(imageView_);
    switch (style) {
    case TableViewCellStyle::Default: textLabel_ = makeLabel(gfx::Font::boldSystemFont(20), gfx::Color::black()); break;
    case TableViewCellStyle::Subtitle:
        textLabel_ = makeLabel(gfx::Font::boldSystemFont(18), gfx::Color::black());
        detailTextLabel_ = makeLabel(gfx::Font::systemFont(14), draw::secondaryText());
        break;
    case TableViewCellStyle::Value1:
        textLabel_ = makeLabel(gfx::Font::boldSystemFont(17), gfx::Color::black());
        detailTextLabel_ = makeLabel(gfx::Font::systemFont(17), draw::detailBlue());
        detailTextLabel_->setTextAlignment(TextAlignment::Right);
        break;
    case TableViewCellStyle::Value2:
        textLabel_ = makeLabel(gfx::Font::boldSystemFont(12), draw::detailBlue());
        textLabel_->setTextAlignment(TextAlignment::Right);
        detailTextLabel_ = makeLabel(gfx::Font::boldSystemFont(15), gfx::Color::black());
        break;
    }
    contentView_->addSubview(textLabel_);
    if (detailTextLabel_) contentView_->addSubview(detailTextLabel_);
}

void TableViewCell::prepareForReuse() {
    setSelected(false, false);
    setHighlighted(false, false);
    showingDelete_ = false;
}

void TableViewCell::setBackgroundView(std::shared_ptr<View> view) {
    if (backgroundView_) backgroundView_->removeFromSuperview();
    backgroundView_ = std::move(view);
    if (backgroundView_) insertSubview(backgroundView_, 0);
    setNeedsLayout();
}

void TableViewCell::setSelectedBackgroundView(std::shared_ptr<View> view) {
    if (selectedBackgroundView_) selectedBackgroundView_->removeFromSuperview();
    selectedBackgroundView_ = std::move(view);
    if (selectedBackgroundView_) {
        insertSubview(selectedBackgroundView_, backgroundView_ ? 1 : 0);
        selectedBackgroundView_->setHidden(!(selected_ || highlighted_));
    }
    setNeedsLayout();
}

void TableViewCell::setAccessoryType(TableViewCellAccessoryType type) {
    accessoryType_ = type;
    setNeedsLayout();
    setNeedsDisplay();
}

void TableViewCell::setAccessoryView(std::shared_ptr<View> view) {
    if (accessoryView_) accessoryView_->removeFromSuperview();
    accessoryView_ = std::move(view);
    if (accessoryView_) addSubview(accessoryView_);
    setNeedsLayout();
}

void TableViewCell::updateSelectionView(bool animated) {
    bool on = selected_ || highlighted_;
    if (selectionStyle_ == TableViewCellSelectionStyle::None) on = false;
    std::shared_ptr<View> view = selectedBackgroundView_;
    if (!view && selectionStyle_ != TableViewCellSelectionStyle::None) {
        if (!defaultSelectionView_) {
            defaultSelectionView_ =
                std::make_shared<SelectionView>(selectionStyle_ == TableViewCellSelectionStyle::Gray);
            insertSubview(defaultSelectionView_, backgroundView_ ? 1 : 0);
            defaultSelectionView_->setHidden(true);
            setNeedsLayout();
        }
        view = defaultSelectionView_;
    }
    if (textLabel_) textLabel_->setHighlighted(on);
    if (detailTextLabel_) detailTextLabel_->setHighlighted(on);
    imageView_->setHighlighted(on);
    if (!view) return;
    if (on) {
        view->setAlpha(1);
        view->setHidden(false);
    } else if (animated && !view->isHidden()) {
        std::weak_ptr<View> weakView = view;
        std::weak_ptr<View> weakCell = weak_from_this();
        View::animate(
            0.3, [view] { view->setAlpha(0); },
            [weakView, weakCell](bool) {
                auto v = weakView.lock();
                auto c = std::static_pointer_cast<TableViewCell>(weakCell.lock());
                if (v && c && !(c->selected_ || c->highlighted_)) {
                    v->setHidden(true);
                    v->setAlpha(1);
                }
            });
    } else {
        view->setHidden(true);
    }
    setNeedsDisplay();
}

void TableViewCell::setSelected(bool selected, bool animated) {
    if (selected_ == selected) return;
    selected_ = selected;
    updateSelectionView(animated);
}

void TableViewCell::setHighlighted(bool highlighted, bool animated) {
    if (highlighted_ == highlighted) return;
    highlighted_ = highlighted;
    updateSelectionView(animated);
}

void TableViewCell::setEditing(bool editing, bool animated) {
    (void)animated;
    if (editing_ == editing) return;
    editing_ = editing;
    if (!editing) showingDelete_ = false;
    setNeedsLayout();
    setNeedsDisplay();
}

void TableViewCell::setTable(TableView* table, GroupPosition groupPosition) {
    table_ = table;
    if (groupPosition_ != groupPosition) {
        groupPosition_ = groupPosition;
        setNeedsDisplay();
    }
    if (auto sel = std::dynamic_pointer_cast<SelectionView>(defaultSelectionView_)) sel->setShape(groupPosition);
}

Rect TableViewCell::editingControlRect() const {
    Rect b = bounds();
    return Rect(0, 0, 38, b.height());
}

Rect TableViewCell::deleteButtonRect() const {
    Rect b = bounds();
    return Rect(b.width() - 74, std::floor(b.midY() - 15), 64, 30);
}

Rect TableViewCell::accessoryRect() const {
    Rect b = bounds();
    if (showingDelete_) return Rect(b.maxX(), 0, 0, b.height());
    auto type = editing_ ? editingAccessoryType_ : accessoryType_;
    if (accessoryView_ && !editing_) {
        Rect f = accessoryView_->frame();
        return Rect(b.width() - 10 - f.width(), std::floor((b.height() - f.height()) / 2), f.width(), f.height());
    }
    switch (type) {
    case TableViewCellAccessoryType::None: return Rect(b.maxX(), 0, 0, b.height());
    case TableViewCellAccessoryType::DisclosureIndicator:
    case TableViewCellAccessoryType::Checkmark: return Rect(b.width() - 30, 0, 20, b.height());
    case TableViewCellAccessoryType::DetailDisclosureButton:
        return Rect(b.width() - 39, std::floor((b.height() - 31) / 2), 29, 31);
    }
    return Rect(b.maxX(), 0, 0, b.height());
}

void TableViewCell::layoutSubviews() {
    Rect b = bounds();
    bool editControl = editing_ && editingStyle_ != TableViewCellEditingStyle::None;
    Float left = editControl ? 32 : 0;
    left += indentationLevel_ * indentationWidth_;
    Rect acc = accessoryRect();
    Float right = acc.width() > 0 ? b.width() - acc.minX() : 0;
    if (showingDelete_) right = 80;
    if (backgroundView_) backgroundView_->setFrame(b);
    if (selectedBackgroundView_) selectedBackgroundView_->setFrame(b);
    if (defaultSelectionView_) defaultSelectionView_->setFrame(b);
    contentView_->setFrame(Rect(left, 0, std::max<Float>(0, b.width() - left - right), b.height()));
    if (accessoryView_) {
        accessoryView_->setHidden(editing_ || showingDelete_);
        accessoryView_->setFrame(acc);
    }
    if (accessoryType_ == TableViewCellAccessoryType::DetailDisclosureButton && !editing_) {
        if (!disclosureButton_) {
            disclosureButton_ = std::make_shared<Button>(ButtonType::DetailDisclosure);
            std::weak_ptr<View> weak = weak_from_this();
            disclosureButton_->addTarget(
                [weak] {
                    auto self = std::static_pointer_cast<TableViewCell>(weak.lock());
                    if (self && self->table_) self->table_->cellAccessoryTapped(*self);
                },
                ControlEvents::TouchUpInside);
            addSubview(disclosureButton_);
        }
        disclosureButton_->setHidden(showingDelete_);
        disclosureButton_->setFrame(acc);
    } else if (disclosureButton_) {
        disclosureButton_->removeFromSuperview();
        disclosureButton_.reset();
    }
    // The content by style.
    Rect c = contentView_->bounds();
    Float x = 10;
    if (auto img = imageView_->image()) {
        Size s = img->size();
        Float h = std::min(s.height, c.height());
        Float w = s.height > 0 ? s.width * h / s.height : s.width;
        Float imageX = groupPosition_ != GroupPosition::None ? 10 : 5;
        imageView_->setFrame(Rect(imageX, std::floor((c.height() - h) / 2), w, h));
        imageView_->setHidden(false);
        x = imageView_->frame().maxX() + 10;
    } else {
        imageView_->setFrame(Rect());
        imageView_->setHidden(true);
    }
    Float width = std::max<Float>(0, c.width() - x - 10);
    switch (style_) {
    case TableViewCellStyle::Default: textLabel_->setFrame(Rect(x, 0, width, c.height())); break;
    case TableViewCellStyle::Subtitle: {
        bool hasDetail = !detailTextLabel_->text().empty();
        Float th = textLabel_->font().lineHeight(), dh = detailTextLabel_->font().lineHeight();
        // A detail label of more than one line gets the height of its
        // wrapped text (at least one line).
        if (hasDetail && detailTextLabel_->numberOfLines() != 1)
            dh = std::max(dh, std::ceil(detailTextLabel_->sizeThatFits(Size(width, 0)).height));
        Float total = th + (hasDetail ? dh : 0);
        Float y = std::floor((c.height() - total) / 2);
        textLabel_->setFrame(Rect(x, y, width, th));
        detailTextLabel_->setFrame(Rect(x, y + th, width, dh));
        break;
    }
    case TableViewCellStyle::Value1: {
        Float tw = std::min(width, gfx::measureText(textLabel_->text(), textLabel_->font()).width);
        Float dw = std::min(std::max<Float>(0, width - tw - 8),
                            gfx::measureText(detailTextLabel_->text(), detailTextLabel_->font()).width);
        textLabel_->setFrame(Rect(x, 0, tw, c.height()));
        detailTextLabel_->setFrame(Rect(c.width() - 10 - dw, 0, dw, c.height()));
        break;
    }
    case TableViewCellStyle::Value2: {
        textLabel_->setFrame(Rect(x, 0, 67, c.height()));
        detailTextLabel_->setFrame(Rect(x + 73, 0, std::max<Float>(0, width - 73), c.height()));
        break;
    }
    }
}

void TableViewCell::drawRect(gfx::Context& ctx, Rect rect) {
    (void)rect;
    Rect b = bounds();
    bool grouped = groupPosition_ != GroupPosition::None;
    if (!backgroundView_) {
        gfx::Color fill = backgroundColor().alpha() > 0 ? backgroundColor() : gfx::Color::white();
        if (grouped) {
            bool top = groupPosition_ == GroupPosition::Single || groupPosition_ == GroupPosition::First;
            bool bottom = groupPosition_ == GroupPosition::Single || groupPosition_ == GroupPosition::Last;
            ctx.beginPath();
            draw::addRoundedRect(ctx, b.inset(0.5f, 0), kGroupRadius, top, top, bottom, bottom);
            ctx.setFillColor(fill);
            ctx.fillPath();
            // Outline, and the separator under every row but the last.
            ctx.beginPath();
            Rect o = b.inset(0.5f, 0.5f);
            if (!top) o = Rect(o.minX(), b.minY() - 1, o.width(), o.height() + 1.5f);
            draw::addRoundedRect(ctx, o, kGroupRadius, top, top, bottom, bottom);
            ctx.setStrokeColor(palette::groupedCellEdge());
            ctx.setLineWidth(1);
            ctx.strokePath();
        } else {
            ctx.setFillColor(fill);
            ctx.fillRect(b);
        }
    }
    if (!grouped && (!table_ || table_->separatorStyle() != TableViewCellSeparatorStyle::None)) {
        ctx.setFillColor(table_ ? table_->separatorColor() : draw::separator());
        ctx.fillRect(Rect(0, b.maxY() - 1, b.width(), 1));
    }
    bool on = (selected_ || highlighted_) && selectionStyle_ != TableViewCellSelectionStyle::None;
    auto type = editing_ ? editingAccessoryType_ : accessoryType_;
    Rect acc = accessoryRect();
    if (!accessoryView_ || editing_) {
        if (type == TableViewCellAccessoryType::DisclosureIndicator && !showingDelete_)
            draw::chevron(ctx, Point(acc.midX(), acc.midY()), 4.5f,
                          on ? gfx::Color::white() : palette::disclosureChevron(), 3);
        if (type == TableViewCellAccessoryType::Checkmark && !showingDelete_)
            draw::checkmark(ctx, Rect(acc.minX(), acc.midY() - 6, 14, 12),
                            on ? gfx::Color::white() : draw::detailBlue(), 3);
    }
    if (editing_ && editingStyle_ != TableViewCellEditingStyle::None) {
        Rect r = editingControlRect();
        Rect circle(r.minX() + 9, r.midY() - 10, 20, 20);
        if (editingStyle_ == TableViewCellEditingStyle::Insert) {
            draw::plusCircle(ctx, circle, palette::insertGreen());
        } else if (showingDelete_) {
            // The minus turns upright while the delete button shows.
            ctx.setFillColor(draw::destructiveRed());
            ctx.fillEllipseInRect(circle);
            ctx.setFillColor(gfx::Color::white());
            ctx.fillRect(Rect(circle.midX() - 1.5f, circle.minY() + 4, 3, 12));
        } else {
            draw::minusCircle(ctx, circle, draw::destructiveRed());
        }
    }
    if (showingDelete_) {
        Rect d = deleteButtonRect();
        draw::Bezel bezel;
        bezel.face = draw::Bezel::Face::Glossy;
        bezel.top = draw::destructiveRed();
        bezel.radius = 6;
        bezel.edge = draw::darker(draw::destructiveRed(), 0.4f);
        bezel.shadow = draw::Bezel::Shadow{Size(0, 1), 1, gfx::Color::black().withAlpha(0.3f)};
        draw::bezel(ctx, d, bezel);
        std::string title = "Delete";
        if (table_) {
            if (auto ip = table_->indexPathForCell(this))
                if (auto dl = table_->tableDelegate())
                    title = dl->titleForDeleteConfirmationButtonForRowAtIndexPath(*table_, *ip);
        }
        draw::textWithShadow(ctx, title, d, gfx::Font::boldSystemFont(14), gfx::Color::white(),
                             gfx::Color::black().withAlpha(0.4f), Size(0, -1));
    }
}

void TableViewCell::touchesBegan(const TouchSet& touches, const Event* event) {
    (void)event;
    if (touches.empty()) return;
    Point p = touches.front()->locationInView(this);
    touchOnEditingControl_ = editing_ && editingStyle_ != TableViewCellEditingStyle::None && !showingDelete_ &&
                             editingControlRect().contains(p);
    touchOnDelete_ = showingDelete_ && deleteButtonRect().inset(-6, -6).contains(p);
    if (!touchOnDelete_ && showingDelete_ && editing_ && editingControlRect().contains(p))
        touchOnEditingControl_ = true;
    touchOnAccessory_ = false;
    if (!touchOnEditingControl_ && !touchOnDelete_ && table_) table_->cellHighlightBegan(*this);
}

void TableViewCell::touchesEnded(const TouchSet& touches, const Event* event) {
    (void)event;
    auto keep = shared_from_this();
    bool onEdit = touchOnEditingControl_, onDelete = touchOnDelete_;
    touchOnEditingControl_ = touchOnDelete_ = false;
    bool inside = !touches.empty() && bounds().contains(touches.front()->locationInView(this));
    if (!selected_) setHighlighted(false, false);
    if (!table_ || !inside) {
        setHighlighted(false, false);
        return;
    }
    if (onEdit) table_->cellEditingControlTapped(*this);
    else if (onDelete) table_->cellDeleteTapped(*this);
    else table_->cellTapped(*this);
}

void TableViewCell::touchesCancelled(const TouchSet& touches, const Event* event) {
    (void)touches, (void)event;
    touchOnEditingControl_ = touchOnDelete_ = false;
    setHighlighted(false, false);
}

std::string TableViewCell::displayedText() const { return {}; }

void TableViewCell::collectAccessibleElements(std::vector<AccessibleElement>& out) const {
    std::string text = textLabel_ ? textLabel_->text() : std::string();
    std::string name = !accessibilityLabel().empty() ? accessibilityLabel() : text;
    bool enabled = !table_ || table_->selectionAllowed();
    auto self = std::const_pointer_cast<View>(shared_from_this());
    Rect frame = convertRectToView(bounds(), nullptr);
    auto add = [&](const std::string& label, Rect r, bool on) {
        if (label.empty()) return;
        out.push_back(AccessibleElement{label, className(), r, on, self});
    };
    // The row, by its title and by its detail text.
    add(name, frame, enabled);
    if (detailTextLabel_ && !detailTextLabel_->text().empty() && detailTextLabel_->text() != name)
        add(detailTextLabel_->text(), frame, enabled);
    if (editing_ && editingStyle_ == TableViewCellEditingStyle::Delete && !showingDelete_)
        add("Delete " + (name.empty() ? std::string("row") : name), convertRectToView(editingControlRect(), nullptr),
            true);
    if (editing_ && editingStyle_ == TableViewCellEditingStyle::Insert)
        add("Insert " + (name.empty() ? std::string("row") : name), convertRectToView(editingControlRect(), nullptr),
            true);
    if (showingDelete_) {
        std::string title = "Delete";
        if (table_)
            if (auto ip = table_->indexPathForCell(this))
                if (auto dl = table_->tableDelegate())
                    title = dl->titleForDeleteConfirmationButtonForRowAtIndexPath(*table_, *ip);
        add(title, convertRectToView(deleteButtonRect(), nullptr), true);
    }
}

// ---- TableView

TableView::TableView(TableViewStyle style) : TableView(Rect(0, 0, 320, 460), style) {}

TableView::TableView(Rect frame, TableViewStyle style)
    : ScrollView(frame), style_(style), separatorColor_(draw::separator()) {
    setAlwaysBounceVertical(true);
    setBackgroundColor(style == TableViewStyle::Grouped ? draw::groupedBackground() : gfx::Color::white());
    if (style == TableViewStyle::Grouped) {
        sectionHeaderHeight_ = 10;
        sectionFooterHeight_ = 10;
    }
}

TableView::~TableView() {
    for (auto& [ip, cell] : visible_) cell->table_ = nullptr;
    for (auto& [id, list] : reusable_)
        for (auto& cell : list) cell->table_ = nullptr;
}

void TableView::setFrame(Rect frame) {
    Size old = bounds().size;
    ScrollView::setFrame(frame);
    if (!(old == bounds().size) && loaded_) {
        computeLayout();
        setNeedsLayout();
    }
}

void TableView::setDataSource(std::weak_ptr<TableViewDataSource> dataSource) {
    dataSource_ = std::move(dataSource);
    loaded_ = false;
    setNeedsLayout();
}

void TableView::setDelegate(std::weak_ptr<TableViewDelegate> delegate) {
    tableDelegate_ = std::move(delegate);
    ScrollView::setDelegate(std::weak_ptr<ScrollViewDelegate>(tableDelegate_.lock()));
    if (loaded_) {
        computeLayout();
        setNeedsLayout();
    }
}

void TableView::setRowHeight(Float height) {
    rowHeight_ = height;
    if (loaded_) computeLayout();
    setNeedsLayout();
}

void TableView::setSectionHeaderHeight(Float height) {
    sectionHeaderHeight_ = height;
    if (loaded_) computeLayout();
    setNeedsLayout();
}

void TableView::setSectionFooterHeight(Float height) {
    sectionFooterHeight_ = height;
    if (loaded_) computeLayout();
    setNeedsLayout();
}

void TableView::setTableHeaderView(std::shared_ptr<View> view) { replaceEndView(tableHeaderView_, std::move(view)); }

void TableView::setTableFooterView(std::shared_ptr<View> view) { replaceEndView(tableFooterView_, std::move(view)); }

void TableView::replaceEndView(std::shared_ptr<View>& slot, std::shared_ptr<View> view) {
    if (slot) slot->removeFromSuperview();
    slot = std::move(view);
    if (slot) addSubview(slot);
    if (loaded_) computeLayout();
    setNeedsLayout();
}

void TableView::setBackgroundView(std::shared_ptr<View> view) {
    if (backgroundView_) backgroundView_->removeFromSuperview();
    backgroundView_ = std::move(view);
    if (backgroundView_) insertSubview(backgroundView_, 0);
    setNeedsLayout();
}

Float TableView::indexWidth() const {
    if (indexTitles_.empty()) return 0;
    // Wide enough for the widest title (single letters take the usual 30
    // points), but never more than a fifth of the table.
    Float widest = 0;
    const gfx::Font font = gfx::Font::boldSystemFont(11);
    for (const auto& title : indexTitles_) widest = std::max(widest, gfx::measureText(title, font).width);
    return std::clamp<Float>(std::ceil(widest) + 10, 30, std::max<Float>(30, bounds().width() / 5));
}

Rect TableView::indexRect() const {
    Rect b = bounds();
    return Rect(b.maxX() - indexWidth(), b.minY(), indexWidth(), b.height());
}

void TableView::computeLayout() {
    auto ds = dataSource();
    auto dl = tableDelegate();
    sections_.clear();
    indexTitles_.clear();
    Float width = bounds().width();
    int count = ds ? std::max(0, ds->numberOfSectionsInTableView(*this)) : 0;
    if (ds) indexTitles_ = ds->sectionIndexTitlesForTableView(*this);
    bool grouped = style_ == TableViewStyle::Grouped;
    Float y = tableHeaderView_ ? tableHeaderView_->frame().height() : 0;
    if (grouped) y += 10;
    for (int s = 0; s < count; ++s) {
        SectionInfo info;
        info.rows = std::max(0, ds->numberOfRowsInSection(*this, s));
        info.headerTitle = ds->titleForHeaderInSection(*this, s);
        info.footerTitle = ds->titleForFooterInSection(*this, s);
        if (info.headerTitle && info.headerTitle->empty()) info.headerTitle.reset();
        if (info.footerTitle && info.footerTitle->empty()) info.footerTitle.reset();
        info.headerView = dl ? dl->viewForHeaderInSection(*this, s) : nullptr;
        info.footerView = dl ? dl->viewForFooterInSection(*this, s) : nullptr;
        auto hh = dl ? dl->heightForHeaderInSection(*this, s) : std::nullopt;
        auto fh = dl ? dl->heightForFooterInSection(*this, s) : std::nullopt;
        if (hh) info.headerHeight = std::max<Float>(0, *hh);
        else if (info.headerView) info.headerHeight = info.headerView->frame().height();
        else if (info.headerTitle)
            info.headerHeight = grouped ? groupedTitleHeight(*info.headerTitle, true, width) : sectionHeaderHeight_;
        else info.headerHeight = grouped ? sectionHeaderHeight_ : 0;
        if (fh) info.footerHeight = std::max<Float>(0, *fh);
        else if (info.footerView) info.footerHeight = info.footerView->frame().height();
        else if (info.footerTitle)
            info.footerHeight = grouped ? groupedTitleHeight(*info.footerTitle, false, width) : sectionFooterHeight_;
        else info.footerHeight = grouped ? sectionFooterHeight_ : 0;
        info.top = y;
        y += info.headerHeight;
        info.rowHeights.reserve(static_cast<std::size_t>(info.rows));
        info.rowTops.reserve(static_cast<std::size_t>(info.rows) + 1);
        Float height = info.headerHeight + info.footerHeight;
        for (int r = 0; r < info.rows; ++r) {
            auto h = dl ? dl->heightForRowAtIndexPath(*this, IndexPath{s, r}) : std::nullopt;
            Float rh = h ? std::max<Float>(0, *h) : rowHeight_;
            info.rowHeights.push_back(rh);
            info.rowTops.push_back(y);
            y += rh;
            height += rh;
        }
        info.rowTops.push_back(y);
        info.height = height;
        y += info.footerHeight;
        info.bottom = y;
        sections_.push_back(std::move(info));
    }
    if (tableFooterView_) y += tableFooterView_->frame().height();
    setContentSize(Size(width, y));
}

int TableView::numberOfSections() const { return static_cast<int>(sections_.size()); }

int TableView::numberOfRowsInSection(int section) const {
    if (section < 0 || section >= numberOfSections()) return 0;
    return sections_[static_cast<std::size_t>(section)].rows;
}

int TableView::firstSectionReaching(Float y) const {
    auto it =
        std::partition_point(sections_.begin(), sections_.end(), [y](const SectionInfo& s) { return s.bottom <= y; });
    // One back: a section's own height is summed apart from the running
    // total and may end a rounding step lower or higher.
    return std::max(0, static_cast<int>(it - sections_.begin()) - 1);
}

int TableView::firstRowReaching(const SectionInfo& section, Float y) {
    if (section.rowTops.empty()) return 0;
    auto ends = section.rowTops.begin() + 1;
    return static_cast<int>(std::partition_point(ends, section.rowTops.end(), [y](Float end) { return end <= y; }) -
                            ends);
}

Rect TableView::rectForSection(int section) const {
    if (section < 0 || section >= numberOfSections()) return Rect();
    auto& s = sections_[static_cast<std::size_t>(section)];
    return Rect(0, s.top, bounds().width(), s.height);
}

Rect TableView::rectForHeaderInSection(int section) const {
    if (section < 0 || section >= numberOfSections()) return Rect();
    auto& s = sections_[static_cast<std::size_t>(section)];
    return Rect(0, s.top, bounds().width(), s.headerHeight);
}

Rect TableView::rectForFooterInSection(int section) const {
    Rect all = rectForSection(section);
    if (all.isEmpty() && all.height() == 0) return Rect();
    auto& s = sections_[static_cast<std::size_t>(section)];
    return Rect(0, all.maxY() - s.footerHeight, bounds().width(), s.footerHeight);
}

Rect TableView::rectForRowAtIndexPath(const IndexPath& ip) const {
    if (ip.section < 0 || ip.section >= numberOfSections()) return Rect();
    auto& s = sections_[static_cast<std::size_t>(ip.section)];
    if (ip.row < 0 || ip.row >= s.rows) return Rect();
    Float y = s.rowTops[static_cast<std::size_t>(ip.row)];
    Float w = bounds().width() - indexWidth();
    if (style_ == TableViewStyle::Grouped)
        return Rect(kGroupInset, y, std::max<Float>(0, w - 2 * kGroupInset),
                    s.rowHeights[static_cast<std::size_t>(ip.row)]);
    return Rect(0, y, w, s.rowHeights[static_cast<std::size_t>(ip.row)]);
}

std::optional<IndexPath> TableView::indexPathForRowAtPoint(Point p) const {
    for (int s = firstSectionReaching(p.y); s < numberOfSections(); ++s) {
        auto& info = sections_[static_cast<std::size_t>(s)];
        if (info.top > p.y) break;  // this section and those after lie below the point
        // The first row that ends below the point holds it when it starts
        // at or above it (rows of no height hold no point).
        int r = firstRowReaching(info, p.y);
        if (r < info.rows && info.rowTops[static_cast<std::size_t>(r)] <= p.y) return IndexPath{s, r};
    }
    return std::nullopt;
}

std::optional<IndexPath> TableView::indexPathForCell(const TableViewCell* cell) const {
    for (auto& [ip, c] : visible_)
        if (c.get() == cell) return ip;
    return std::nullopt;
}

std::vector<IndexPath> TableView::indexPathsForRowsInRect(Rect rect) const {
    std::vector<IndexPath> out;
    const Float top = rect.minY(), bottom = rect.maxY();
    for (int s = firstSectionReaching(top); s < numberOfSections(); ++s) {
        auto& info = sections_[static_cast<std::size_t>(s)];
        if (info.top >= bottom) break;
        for (int r = firstRowReaching(info, top); r < info.rows; ++r) {
            if (info.rowTops[static_cast<std::size_t>(r)] >= bottom) break;
            out.push_back(IndexPath{s, r});
        }
    }
    return out;
}

std::shared_ptr<TableViewCell> TableView::cellForRowAtIndexPath(const IndexPath& ip) const {
    auto it = visible_.find(ip);
    return it == visible_.end() ? nullptr : it->second;
}

std::vector<std::shared_ptr<TableViewCell>> TableView::visibleCells() const {
    std::vector<std::shared_ptr<TableViewCell>> out;
    for (auto& [ip, c] : visible_) out.push_back(c);
    return out;
}

std::vector<IndexPath> TableView::indexPathsForVisibleRows() const {
    std::vector<IndexPath> out;
    for (auto& [ip, c] : visible_) out.push_back(ip);
    return out;
}

std::shared_ptr<TableViewCell> TableView::dequeueReusableCellWithIdentifier(const std::string& identifier) {
    auto it = reusable_.find(identifier);
    if (it == reusable_.end() || it->second.empty()) return nullptr;
    auto cell = it->second.back();
    it->second.pop_back();
    cell->prepareForReuse();
    return cell;
}

void TableView::recycle(const std::shared_ptr<TableViewCell>& cell) {
    cell->removeFromSuperview();
    cell->setSelected(false, false);
    cell->setHighlighted(false, false);
    cell->showingDelete_ = false;
    if (!cell->reuseIdentifier().empty()) {
        auto& list = reusable_[cell->reuseIdentifier()];
        if (list.size() < 32 && std::find(list.begin(), list.end(), cell) == list.end()) {
            list.push_back(cell);
            return;
        }
    }
    // A cell the table lets go of (a screen may still hold it) forgets the table.
    cell->table_ = nullptr;
}

void TableView::reloadData() {
    for (auto& [ip, cell] : visible_) recycle(cell);
    visible_.clear();
    selected_.reset();
    deleteConfirmation_.reset();
    loaded_ = true;
    computeLayout();
    // Keep the offset inside the new content.
    Point o = contentOffset();
    Point max = maximumOffset(), min = minimumOffset();
    Point c(std::clamp(o.x, min.x, max.x), std::clamp(o.y, min.y, max.y));
    if (!(c == o)) setContentOffset(c);
    layoutCells();
    setNeedsLayout();
    setNeedsDisplay();
}

void TableView::reloadRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation animation) {
    (void)animation;
    for (auto& ip : indexPaths) {
        auto it = visible_.find(ip);
        if (it == visible_.end()) continue;
        recycle(it->second);
        visible_.erase(it);
    }
    computeLayout();
    layoutCells();
}

void TableView::reloadSections(const std::vector<int>& sections, TableViewRowAnimation animation) {
    (void)sections, (void)animation;
    for (auto& [ip, cell] : visible_) recycle(cell);
    visible_.clear();
    computeLayout();
    layoutCells();
}

void TableView::beginUpdates() {
    if (updateDepth_++ == 0) {
        countsBefore_.clear();
        for (auto& s : sections_) countsBefore_.push_back(s.rows);
        pendingInserts_ = pendingDeletes_ = 0;
    }
}

void TableView::endUpdates() {
    if (updateDepth_ == 0) return;
    if (--updateDepth_ > 0) return;
    checkUpdate();
}

void TableView::checkUpdate() {
    int before = 0;
    for (int c : countsBefore_) before += c;
    auto ds = dataSource();
    int after = 0;
    if (ds) {
        int n = std::max(0, ds->numberOfSectionsInTableView(*this));
        for (int s = 0; s < n; ++s) after += std::max(0, ds->numberOfRowsInSection(*this, s));
    }
    if (after != before + pendingInserts_ - pendingDeletes_ && pendingInserts_ + pendingDeletes_ > 0)
        base::log(
            base::format("TableView: invalid update: %d rows before, %d inserted, %d deleted, but the data "
                         "source now has %d; reloading",
                         before, pendingInserts_, pendingDeletes_, after));
    // Cells move with their rows: recycle what is shown and lay out again.
    for (auto& [ip, cell] : visible_) recycle(cell);
    visible_.clear();
    selected_.reset();
    deleteConfirmation_.reset();
    computeLayout();
    Point o = contentOffset();
    Point max = maximumOffset(), min = minimumOffset();
    Point c(std::clamp(o.x, min.x, max.x), std::clamp(o.y, min.y, max.y));
    if (!(c == o)) setContentOffset(c);
    layoutCells();
    setNeedsDisplay();
}

void TableView::insertRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation animation) {
    (void)animation;
    beginUpdates();
    pendingInserts_ += static_cast<int>(indexPaths.size());
    endUpdates();
}

void TableView::deleteRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation animation) {
    (void)animation;
    beginUpdates();
    pendingDeletes_ += static_cast<int>(indexPaths.size());
    endUpdates();
}

void TableView::insertSections(const std::vector<int>& sections, TableViewRowAnimation animation) {
    (void)animation;
    beginUpdates();
    auto ds = dataSource();
    for (int s : sections)
        if (ds) pendingInserts_ += std::max(0, ds->numberOfRowsInSection(*this, s));
    endUpdates();
}

void TableView::deleteSections(const std::vector<int>& sections, TableViewRowAnimation animation) {
    (void)animation;
    beginUpdates();
    for (int s : sections)
        if (s >= 0 && s < static_cast<int>(countsBefore_.size()))
            pendingDeletes_ += countsBefore_[static_cast<std::size_t>(s)];
    endUpdates();
}

std::shared_ptr<View> TableView::sectionViewFor(int section, bool header) {
    auto& s = sections_[static_cast<std::size_t>(section)];
    if (header) {
        if (s.headerView) return s.headerView;
        if (s.headerTitle)
            return std::make_shared<SectionTitleView>(*s.headerTitle, style_ == TableViewStyle::Grouped, true);
    } else {
        if (s.footerView) return s.footerView;
        if (s.footerTitle)
            return std::make_shared<SectionTitleView>(*s.footerTitle, style_ == TableViewStyle::Grouped, false);
    }
    return nullptr;
}

void TableView::layoutCells() {
    if (!loaded_) return;
    auto ds = dataSource();
    auto dl = tableDelegate();
    Rect b = bounds();
    Rect visibleRect(b.minX(), b.minY() - 20, b.width(), b.height() + 40);
    // Cells that scrolled out go back for reuse.
    for (auto it = visible_.begin(); it != visible_.end();) {
        Rect r = rectForRowAtIndexPath(it->first);
        if (r.height() <= 0 || r.maxY() <= visibleRect.minY() || r.minY() >= visibleRect.maxY() ||
            it->first.section >= numberOfSections() || it->first.row >= numberOfRowsInSection(it->first.section)) {
            recycle(it->second);
            it = visible_.erase(it);
        } else {
            ++it;
        }
    }
    bool grouped = style_ == TableViewStyle::Grouped;
    // Only the sections and rows that reach into the visible rect are
    // visited: found by binary search, left once below the rect.
    const int firstSection = firstSectionReaching(visibleRect.minY());
    for (int s = firstSection; s < numberOfSections() && ds; ++s) {
        Rect sr = rectForSection(s);
        if (sr.minY() >= visibleRect.maxY()) break;
        if (sr.maxY() <= visibleRect.minY()) continue;
        int rows = numberOfRowsInSection(s);
        for (int r = firstRowReaching(sections_[static_cast<std::size_t>(s)], visibleRect.minY()); r < rows; ++r) {
            IndexPath ip{s, r};
            Rect rr = rectForRowAtIndexPath(ip);
            if (rr.minY() >= visibleRect.maxY()) break;
            if (rr.maxY() <= visibleRect.minY()) continue;
            auto cell = cellForRowAtIndexPath(ip);
            bool fresh = false;
            if (!cell) {
                cell = ds->cellForRowAtIndexPath(*this, ip);
                if (!cell) cell = std::make_shared<TableViewCell>();
                visible_[ip] = cell;
                fresh = true;
            }
            using GroupPosition = TableViewCell::GroupPosition;
            GroupPosition position = !grouped        ? GroupPosition::None
                                     : rows == 1     ? GroupPosition::Single
                                     : r == 0        ? GroupPosition::First
                                     : r == rows - 1 ? GroupPosition::Last
                                                     : GroupPosition::Middle;
            cell->setTable(this, position);
            bool canEdit = editing_ && ds->canEditRowAtIndexPath(*this, ip);
            cell->editingStyle_ =
                canEdit ? (dl ? dl->editingStyleForRowAtIndexPath(*this, ip) : TableViewCellEditingStyle::Delete)
                        : TableViewCellEditingStyle::None;
            cell->setEditing(editing_);
            cell->showingDelete_ = deleteConfirmation_ && *deleteConfirmation_ == ip;
            cell->setSelected(selected_ && *selected_ == ip, false);
            cell->setFrame(rr);
            if (fresh) {
                if (dl) dl->willDisplayCell(*this, *cell, ip);
                insertSubview(cell, backgroundView_ ? 1 : 0);
            }
            cell->setNeedsLayout();
            cell->setNeedsDisplay();
        }
    }
    // Section headers and footers (plain headers stay at the top while
    // their section scrolls under them).
    for (auto& v : sectionViews_) v->removeFromSuperview();
    sectionViews_.clear();
    for (int s = firstSection; s < numberOfSections(); ++s) {
        Rect sr = rectForSection(s);
        if (sr.minY() >= visibleRect.maxY()) break;
        if (sr.maxY() <= visibleRect.minY()) continue;
        auto& info = sections_[static_cast<std::size_t>(s)];
        if (info.headerHeight > 0)
            if (auto v = sectionViewFor(s, true)) {
                Float y = info.top;
                if (!grouped) y = std::max(y, std::min(b.minY(), sr.maxY() - info.footerHeight - info.headerHeight));
                v->setFrame(Rect(0, y, b.width() - indexWidth(), info.headerHeight));
                addSubview(v);
                sectionViews_.push_back(v);
            }
        if (info.footerHeight > 0)
            if (auto v = sectionViewFor(s, false)) {
                v->setFrame(Rect(0, sr.maxY() - info.footerHeight, b.width() - indexWidth(), info.footerHeight));
                addSubview(v);
                sectionViews_.push_back(v);
            }
    }
    if (tableHeaderView_) {
        Rect f = tableHeaderView_->frame();
        tableHeaderView_->setFrame(Rect(0, 0, b.width(), f.height()));
    }
    if (tableFooterView_) {
        Rect f = tableFooterView_->frame();
        tableFooterView_->setFrame(Rect(0, contentSize().height - f.height(), b.width(), f.height()));
    }
    if (backgroundView_) backgroundView_->setFrame(b);
}

void TableView::layoutSubviews() {
    if (!loaded_) {
        reloadData();
        return;
    }
    layoutCells();
}

void TableView::didScroll() {
    if (loaded_) layoutCells();
}

void TableView::setEditing(bool editing, bool animated) {
    (void)animated;
    if (editing_ == editing) return;
    editing_ = editing;
    deleteConfirmation_.reset();
    if (editing && selected_) deselectRowAtIndexPath(*selected_, false);
    layoutCells();
    setNeedsDisplay();
}

void TableView::hideDeleteConfirmation() {
    if (!deleteConfirmation_) return;
    if (auto cell = cellForRowAtIndexPath(*deleteConfirmation_)) {
        cell->showingDelete_ = false;
        cell->setNeedsLayout();
        cell->setNeedsDisplay();
    }
    deleteConfirmation_.reset();
}

void TableView::cellHighlightBegan(TableViewCell& cell) {
    if (deleteConfirmation_) return;
    if (!selectionAllowed()) return;
    cell.setHighlighted(true, false);
}

void TableView::cellTapped(TableViewCell& cell) {
    auto keep = shared_from_this();
    if (deleteConfirmation_) {
        hideDeleteConfirmation();
        cell.setHighlighted(false, false);
        return;
    }
    auto ip = indexPathForCell(&cell);
    if (!ip || !selectionAllowed()) {
        cell.setHighlighted(false, false);
        return;
    }
    auto dl = tableDelegate();
    std::optional<IndexPath> target = dl ? dl->willSelectRowAtIndexPath(*this, *ip) : ip;
    cell.setHighlighted(false, false);
    if (!target) return;
    if (selected_ && *selected_ != *target) {
        IndexPath old = *selected_;
        if (auto oldCell = cellForRowAtIndexPath(old)) oldCell->setSelected(false, false);
        selected_.reset();
        if (dl) dl->didDeselectRowAtIndexPath(*this, old);
    }
    selected_ = target;
    if (auto c = cellForRowAtIndexPath(*target)) c->setSelected(true, false);
    if (dl) dl->didSelectRowAtIndexPath(*this, *target);
}

void TableView::cellEditingControlTapped(TableViewCell& cell) {
    auto keep = shared_from_this();
    auto ip = indexPathForCell(&cell);
    if (!ip) return;
    if (cell.editingStyle() == TableViewCellEditingStyle::Insert) {
        if (auto ds = dataSource()) ds->commitEditingStyle(*this, TableViewCellEditingStyle::Insert, *ip);
        return;
    }
    if (deleteConfirmation_ && *deleteConfirmation_ == *ip) {
        hideDeleteConfirmation();
        return;
    }
    hideDeleteConfirmation();
    deleteConfirmation_ = ip;
    cell.showingDelete_ = true;
    cell.setNeedsLayout();
    cell.setNeedsDisplay();
}

void TableView::cellDeleteTapped(TableViewCell& cell) {
    auto keep = shared_from_this();
    auto ip = indexPathForCell(&cell);
    hideDeleteConfirmation();
    if (!ip) return;
    if (auto ds = dataSource()) ds->commitEditingStyle(*this, TableViewCellEditingStyle::Delete, *ip);
}

void TableView::cellAccessoryTapped(TableViewCell& cell) {
    auto keep = shared_from_this();
    auto ip = indexPathForCell(&cell);
    if (!ip) return;
    if (auto dl = tableDelegate()) dl->accessoryButtonTappedForRowWithIndexPath(*this, *ip);
}

void TableView::scrollToRowAtIndexPath(const IndexPath& ip, TableViewScrollPosition position, bool animated) {
    Rect r = rectForRowAtIndexPath(ip);
    if (r.height() <= 0 && r.width() <= 0) return;
    Rect b = bounds();
    Point o = contentOffset();
    switch (position) {
    case TableViewScrollPosition::Top: o.y = r.minY(); break;
    case TableViewScrollPosition::Middle: o.y = r.midY() - b.height() / 2; break;
    case TableViewScrollPosition::Bottom: o.y = r.maxY() - b.height(); break;
    case TableViewScrollPosition::None:
        if (r.minY() < b.minY()) o.y = r.minY();
        else if (r.maxY() > b.maxY()) o.y = r.maxY() - b.height();
        break;
    }
    Point min = minimumOffset(), max = maximumOffset();
    o.y = std::clamp(o.y, min.y, max.y);
    setContentOffset(o, animated);
}

void TableView::selectRowAtIndexPath(std::optional<IndexPath> ip, bool animated, TableViewScrollPosition position) {
    if (!loaded_) reloadData();
    if (selected_) {
        if (auto c = cellForRowAtIndexPath(*selected_)) c->setSelected(false, false);
        selected_.reset();
    }
    if (!ip || ip->section >= numberOfSections() || ip->row >= numberOfRowsInSection(ip->section)) return;
    selected_ = ip;
    if (position != TableViewScrollPosition::None) scrollToRowAtIndexPath(*ip, position, animated);
    if (auto c = cellForRowAtIndexPath(*ip)) c->setSelected(true, animated);
}

void TableView::deselectRowAtIndexPath(const IndexPath& ip, bool animated) {
    if (selected_ && *selected_ == ip) selected_.reset();
    if (auto c = cellForRowAtIndexPath(ip)) c->setSelected(false, animated);
}

void TableView::touchesBegan(const TouchSet& touches, const Event* event) {
    if (!touches.empty() && indexWidth() > 0) {
        Point p = touches.front()->locationInView(this);
        Rect ir = indexRect();
        if (ir.contains(p) && !indexTitles_.empty()) {
            int i = static_cast<int>((p.y - ir.minY()) / ir.height() * indexTitles_.size());
            i = std::clamp(i, 0, static_cast<int>(indexTitles_.size()) - 1);
            auto ds = dataSource();
            int section = ds ? ds->sectionForSectionIndexTitle(*this, indexTitles_[static_cast<std::size_t>(i)], i) : i;
            if (section >= 0 && section < numberOfSections()) {
                Point o = contentOffset();
                o.y = std::clamp(rectForSection(section).minY(), minimumOffset().y, maximumOffset().y);
                setContentOffset(o);
            }
            return;
        }
    }
    if (deleteConfirmation_) hideDeleteConfirmation();
    ScrollView::touchesBegan(touches, event);
}

void TableView::touchesEnded(const TouchSet& touches, const Event* event) { ScrollView::touchesEnded(touches, event); }

void TableView::collectAccessibleElements(std::vector<AccessibleElement>& out) const {
    if (indexTitles_.empty()) return;
    Rect ir = convertRectToView(indexRect(), nullptr);
    Float h = ir.height() / indexTitles_.size();
    auto self = std::const_pointer_cast<View>(shared_from_this());
    for (std::size_t i = 0; i < indexTitles_.size(); ++i)
        out.push_back(AccessibleElement{"Index " + indexTitles_[i], "SectionIndex",
                                        Rect(ir.minX(), ir.minY() + h * i, ir.width(), h), true, self});
}

void TableView::drawRect(gfx::Context& ctx, Rect rect) {
    (void)rect;
    Rect b = bounds();
    if (style_ == TableViewStyle::Grouped && !backgroundView_) {
        // Pinstripes.
        ctx.setFillColor(palette::groupedPinstripe());
        Float start = std::floor(b.minX() / 7) * 7;
        for (Float x = start; x < b.maxX(); x += 7) ctx.fillRect(Rect(x, b.minY(), 3, b.height()));
    }
    if (style_ == TableViewStyle::Plain && separatorStyle_ != TableViewCellSeparatorStyle::None && loaded_) {
        // Empty rows below the last one still show their separators.
        Float y = contentSize().height;
        if (tableFooterView_) return;
        ctx.setFillColor(separatorColor_);
        for (y += rowHeight_; y - rowHeight_ < b.maxY(); y += rowHeight_)
            if (y > b.minY()) ctx.fillRect(Rect(0, y - 1, b.width(), 1));
    }
}

void TableView::drawOverlay(gfx::Context& ctx) {
    ScrollView::drawOverlay(ctx);
    if (indexTitles_.empty()) return;
    Rect ir = indexRect();
    Float h = std::min<Float>(ir.height() / indexTitles_.size(), 16);
    Float top = ir.minY() + (ir.height() - h * indexTitles_.size()) / 2;
    gfx::Font font = gfx::Font::boldSystemFont(11);
    for (std::size_t i = 0; i < indexTitles_.size(); ++i)
        draw::textCentered(ctx, indexTitles_[i], Rect(ir.minX(), top + h * i, ir.width(), h), font,
                           palette::sectionIndexInk());
}

}  // namespace ui
