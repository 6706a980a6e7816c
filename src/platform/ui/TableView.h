#pragma once
// Tables: a scrolling list of rows in sections, plain or grouped, with
// header and footer titles, a section index, cells reused by identifier,
// selection, and an editing mode in which rows can be deleted (the data
// source commits the delete) and rows inserted or deleted in batches.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/Control.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"

namespace ui {

class TableView;
class TableViewCell;
class Button;

// A row of a section.
struct IndexPath {
    int section = 0;
    int row = 0;
    static IndexPath indexPathForRow(int row, int section) { return IndexPath{section, row}; }
    auto operator<=>(const IndexPath&) const = default;
    bool operator==(const IndexPath&) const = default;
};

enum class TableViewStyle { Plain, Grouped };
enum class TableViewCellStyle { Default, Value1, Value2, Subtitle };
enum class TableViewCellAccessoryType { None, DisclosureIndicator, DetailDisclosureButton, Checkmark };
enum class TableViewCellSelectionStyle { None, Blue, Gray };
enum class TableViewCellEditingStyle { None, Delete, Insert };
enum class TableViewCellSeparatorStyle { None, SingleLine, SingleLineEtched };
enum class TableViewRowAnimation { Fade, Right, Left, Top, Bottom, None, Middle };
enum class TableViewScrollPosition { None, Top, Middle, Bottom };

// Operations are named by the label after the table view (the sender).
class TableViewDataSource {
public:
    virtual ~TableViewDataSource() = default;
    virtual int numberOfRowsInSection(TableView& tableView, int section) = 0;
    virtual std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) = 0;
    virtual int numberOfSectionsInTableView(TableView& tableView) {
        (void)tableView;
        return 1;
    }
    virtual std::optional<std::string> titleForHeaderInSection(TableView& tableView, int section) {
        (void)tableView, (void)section;
        return std::nullopt;
    }
    virtual std::optional<std::string> titleForFooterInSection(TableView& tableView, int section) {
        (void)tableView, (void)section;
        return std::nullopt;
    }
    // Whether the row shows an editing control in editing mode.
    virtual bool canEditRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
        (void)tableView, (void)indexPath;
        return true;
    }
    virtual bool canMoveRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
        (void)tableView, (void)indexPath;
        return false;
    }
    // The titles of the section index at the right edge (empty: none).
    virtual std::vector<std::string> sectionIndexTitlesForTableView(TableView& tableView) {
        (void)tableView;
        return {};
    }
    virtual int sectionForSectionIndexTitle(TableView& tableView, const std::string& title, int index) {
        (void)tableView, (void)title;
        return index;
    }
    // The user confirmed a delete (or an insert) of the row.
    virtual void commitEditingStyle(TableView& tableView, TableViewCellEditingStyle editingStyle,
                                    const IndexPath& indexPath) {
        (void)tableView, (void)editingStyle, (void)indexPath;
    }
    virtual void moveRowAtIndexPath(TableView& tableView, const IndexPath& from, const IndexPath& to) {
        (void)tableView, (void)from, (void)to;
    }
};

class TableViewDelegate : public ScrollViewDelegate {
public:
    // nullopt: the table's rowHeight (or header/footer height).
    virtual std::optional<Float> heightForRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
        (void)tableView, (void)indexPath;
        return std::nullopt;
    }
    virtual std::optional<Float> heightForHeaderInSection(TableView& tableView, int section) {
        (void)tableView, (void)section;
        return std::nullopt;
    }
    virtual std::optional<Float> heightForFooterInSection(TableView& tableView, int section) {
        (void)tableView, (void)section;
        return std::nullopt;
    }
    // A view in place of the header or footer title (null: the title).
    virtual std::shared_ptr<View> viewForHeaderInSection(TableView& tableView, int section) {
        (void)tableView, (void)section;
        return nullptr;
    }
    virtual std::shared_ptr<View> viewForFooterInSection(TableView& tableView, int section) {
        (void)tableView, (void)section;
        return nullptr;
    }
    virtual void willDisplayCell(TableView& tableView, TableViewCell& cell, const IndexPath& indexPath) {
        (void)tableView, (void)cell, (void)indexPath;
    }
    // The row to select instead (nullopt: none).
    virtual std::optional<IndexPath> willSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
        (void)tableView;
        return indexPath;
    }
    virtual void didSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
        (void)tableView, (void)indexPath;
    }
    virtual void didDeselectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
        (void)tableView, (void)indexPath;
    }
    virtual void accessoryButtonTappedForRowWithIndexPath(TableView& tableView, const IndexPath& indexPath) {
        (void)tableView, (void)indexPath;
    }
    virtual TableViewCellEditingStyle editingStyleForRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
        (void)tableView, (void)indexPath;
        return TableViewCellEditingStyle::Delete;
    }
    virtual std::string titleForDeleteConfirmationButtonForRowAtIndexPath(TableView& tableView,
                                                                          const IndexPath& indexPath) {
        (void)tableView, (void)indexPath;
        return "Delete";
    }
    virtual bool shouldIndentWhileEditingRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
        (void)tableView, (void)indexPath;
        return true;
    }
    virtual int indentationLevelForRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) {
        (void)tableView, (void)indexPath;
        return 0;
    }
};

class TableViewCell : public View {
public:
    explicit TableViewCell(TableViewCellStyle style = TableViewCellStyle::Default, std::string reuseIdentifier = {});
    std::string className() const override { return "TableViewCell"; }

    TableViewCellStyle style() const { return style_; }
    const std::string& reuseIdentifier() const { return reuseIdentifier_; }
    // Called before the table hands a dequeued cell out again.
    virtual void prepareForReuse();

    // The content: add custom subviews to the content view.
    std::shared_ptr<View> contentView() const { return contentView_; }
    std::shared_ptr<Label> textLabel() const { return textLabel_; }
    // Null for the default style.
    std::shared_ptr<Label> detailTextLabel() const { return detailTextLabel_; }
    std::shared_ptr<ImageView> imageView() const { return imageView_; }
    std::shared_ptr<View> backgroundView() const { return backgroundView_; }
    void setBackgroundView(std::shared_ptr<View> view);
    std::shared_ptr<View> selectedBackgroundView() const { return selectedBackgroundView_; }
    void setSelectedBackgroundView(std::shared_ptr<View> view);

    TableViewCellAccessoryType accessoryType() const { return accessoryType_; }
    void setAccessoryType(TableViewCellAccessoryType type);
    std::shared_ptr<View> accessoryView() const { return accessoryView_; }
    void setAccessoryView(std::shared_ptr<View> view);
    TableViewCellAccessoryType editingAccessoryType() const { return editingAccessoryType_; }
    void setEditingAccessoryType(TableViewCellAccessoryType type) {
        editingAccessoryType_ = type;
        setNeedsLayout();
    }
    TableViewCellSelectionStyle selectionStyle() const { return selectionStyle_; }
    void setSelectionStyle(TableViewCellSelectionStyle style) { selectionStyle_ = style; }
    int indentationLevel() const { return indentationLevel_; }
    void setIndentationLevel(int level) {
        indentationLevel_ = level;
        setNeedsLayout();
    }
    Float indentationWidth() const { return indentationWidth_; }
    void setIndentationWidth(Float width) {
        indentationWidth_ = width;
        setNeedsLayout();
    }
    bool showsReorderControl() const { return showsReorderControl_; }
    void setShowsReorderControl(bool shows) { showsReorderControl_ = shows; }

    bool isSelected() const { return selected_; }
    void setSelected(bool selected) { setSelected(selected, false); }
    virtual void setSelected(bool selected, bool animated);
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted) { setHighlighted(highlighted, false); }
    virtual void setHighlighted(bool highlighted, bool animated);
    bool isEditing() const { return editing_; }
    void setEditing(bool editing) { setEditing(editing, false); }
    virtual void setEditing(bool editing, bool animated);
    TableViewCellEditingStyle editingStyle() const { return editingStyle_; }
    // The delete button is showing (after the editing control was tapped).
    bool showingDeleteConfirmation() const { return showingDelete_; }

    void layoutSubviews() override;
    void drawRect(gfx::Context& context, Rect rect) override;
    void touchesBegan(const TouchSet& touches, const Event* event) override;
    void touchesEnded(const TouchSet& touches, const Event* event) override;
    void touchesCancelled(const TouchSet& touches, const Event* event) override;
    std::string displayedText() const override;
    void collectAccessibleElements(std::vector<AccessibleElement>& out) const override;

    // Internal: the table places the cell.
    TableView* tableView() const { return table_; }
    // Where a cell sits in its section of a grouped table, for the rounded
    // corners and separators; None in a plain table.
    enum class GroupPosition { None, Single, First, Middle, Last };

private:
    friend class TableView;
    Rect accessoryRect() const;
    Rect editingControlRect() const;
    Rect deleteButtonRect() const;
    void setTable(TableView* table, GroupPosition groupPosition);

    TableViewCellStyle style_;
    std::string reuseIdentifier_;
    std::shared_ptr<View> contentView_;
    std::shared_ptr<Label> textLabel_;
    std::shared_ptr<Label> detailTextLabel_;
    std::shared_ptr<ImageView> imageView_;
    std::shared_ptr<View> backgroundView_;
    std::shared_ptr<View> selectedBackgroundView_;
    std::shared_ptr<View> accessoryView_;
    std::shared_ptr<Button> disclosureButton_;
    TableViewCellAccessoryType accessoryType_ = TableViewCellAccessoryType::None;
    TableViewCellAccessoryType editingAccessoryType_ = TableViewCellAccessoryType::None;
    TableViewCellSelectionStyle selectionStyle_ = TableViewCellSelectionStyle::Blue;
    TableViewCellEditingStyle editingStyle_ = TableViewCellEditingStyle::None;
    int indentationLevel_ = 0;
    Float indentationWidth_ = 10;
    bool showsReorderControl_ = false;
    bool selected_ = false;
    bool highlighted_ = false;
    bool editing_ = false;
    bool showingDelete_ = false;
    TableView* table_ = nullptr;
    GroupPosition groupPosition_ = GroupPosition::None;
    bool touchOnEditingControl_ = false;
    bool touchOnDelete_ = false;
    bool touchOnAccessory_ = false;
    void updateSelectionView(bool animated);
    std::shared_ptr<View> defaultSelectionView_;
};

class TableView : public ScrollView {
public:
    explicit TableView(TableViewStyle style = TableViewStyle::Plain);
    TableView(Rect frame, TableViewStyle style);
    ~TableView() override;
    std::string className() const override { return "TableView"; }

    TableViewStyle style() const { return style_; }
    std::shared_ptr<TableViewDataSource> dataSource() const { return dataSource_.lock(); }
    void setDataSource(std::weak_ptr<TableViewDataSource> dataSource);
    std::shared_ptr<TableViewDelegate> tableDelegate() const { return tableDelegate_.lock(); }
    // The delegate is the scroll view's delegate as well.
    void setDelegate(std::weak_ptr<TableViewDelegate> delegate);

    Float rowHeight() const { return rowHeight_; }
    void setRowHeight(Float height);
    Float sectionHeaderHeight() const { return sectionHeaderHeight_; }
    void setSectionHeaderHeight(Float height);
    Float sectionFooterHeight() const { return sectionFooterHeight_; }
    void setSectionFooterHeight(Float height);
    TableViewCellSeparatorStyle separatorStyle() const { return separatorStyle_; }
    void setSeparatorStyle(TableViewCellSeparatorStyle style) {
        separatorStyle_ = style;
        setNeedsDisplay();
    }
    gfx::Color separatorColor() const { return separatorColor_; }
    void setSeparatorColor(gfx::Color color) {
        separatorColor_ = std::move(color);
        setNeedsDisplay();
    }
    std::shared_ptr<View> tableHeaderView() const { return tableHeaderView_; }
    void setTableHeaderView(std::shared_ptr<View> view);
    std::shared_ptr<View> tableFooterView() const { return tableFooterView_; }
    void setTableFooterView(std::shared_ptr<View> view);
    std::shared_ptr<View> backgroundView() const { return backgroundView_; }
    void setBackgroundView(std::shared_ptr<View> view);
    bool allowsSelection() const { return allowsSelection_; }
    void setAllowsSelection(bool allows) { allowsSelection_ = allows; }
    bool allowsSelectionDuringEditing() const { return allowsSelectionDuringEditing_; }
    void setAllowsSelectionDuringEditing(bool allows) { allowsSelectionDuringEditing_ = allows; }
    Float sectionIndexMinimumDisplayRowCount() const { return indexMinRows_; }
    void setSectionIndexMinimumDisplayRowCount(int rows) { indexMinRows_ = static_cast<Float>(rows); }

    bool isEditing() const { return editing_; }
    void setEditing(bool editing) { setEditing(editing, false); }
    virtual void setEditing(bool editing, bool animated);

    // Asks the data source again for everything and redraws.
    void reloadData();
    void reloadRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation animation);
    void reloadSections(const std::vector<int>& sections, TableViewRowAnimation animation);
    // Batches of inserts and deletes: the data source must already answer
    // the new counts. Nested begin/end pairs count as one batch.
    void beginUpdates();
    void endUpdates();
    void insertRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation animation);
    void deleteRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation animation);
    void insertSections(const std::vector<int>& sections, TableViewRowAnimation animation);
    void deleteSections(const std::vector<int>& sections, TableViewRowAnimation animation);

    int numberOfSections() const;
    int numberOfRowsInSection(int section) const;
    // Geometry in the table's content coordinates.
    Rect rectForSection(int section) const;
    Rect rectForRowAtIndexPath(const IndexPath& indexPath) const;
    Rect rectForHeaderInSection(int section) const;
    Rect rectForFooterInSection(int section) const;
    std::optional<IndexPath> indexPathForRowAtPoint(Point point) const;
    std::optional<IndexPath> indexPathForCell(const TableViewCell* cell) const;
    std::vector<IndexPath> indexPathsForRowsInRect(Rect rect) const;
    // The cell shown for a visible row (null when the row is not visible).
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(const IndexPath& indexPath) const;
    std::vector<std::shared_ptr<TableViewCell>> visibleCells() const;
    std::vector<IndexPath> indexPathsForVisibleRows() const;
    void scrollToRowAtIndexPath(const IndexPath& indexPath, TableViewScrollPosition position, bool animated);

    // A cell put back for reuse under the identifier, or null.
    std::shared_ptr<TableViewCell> dequeueReusableCellWithIdentifier(const std::string& identifier);

    std::optional<IndexPath> indexPathForSelectedRow() const { return selected_; }
    void selectRowAtIndexPath(std::optional<IndexPath> indexPath, bool animated, TableViewScrollPosition position);
    // Animated: the highlight fades out over 0.3 s.
    void deselectRowAtIndexPath(const IndexPath& indexPath, bool animated);

    // Internal: touches of cells.
    void cellTapped(TableViewCell& cell);
    void cellEditingControlTapped(TableViewCell& cell);
    void cellDeleteTapped(TableViewCell& cell);
    void cellAccessoryTapped(TableViewCell& cell);
    void cellHighlightBegan(TableViewCell& cell);

    void layoutSubviews() override;
    void drawRect(gfx::Context& context, Rect rect) override;
    void touchesBegan(const TouchSet& touches, const Event* event) override;
    void touchesEnded(const TouchSet& touches, const Event* event) override;
    void collectAccessibleElements(std::vector<AccessibleElement>& out) const override;
    void drawOverlay(gfx::Context& context) override;
    void setFrame(Rect frame) override;
    // Whether the cells of a row may be selected now (selection allowed, or
    // allowed while editing).
    bool selectionAllowed() const { return editing_ ? allowsSelectionDuringEditing_ : allowsSelection_; }

protected:
    void didScroll() override;
    Float verticalIndicatorRightInset() const override {
        return ScrollView::verticalIndicatorRightInset() + indexWidth();
    }

private:
    struct SectionInfo {
        int rows = 0;
        Float headerHeight = 0, footerHeight = 0;
        std::optional<std::string> headerTitle, footerTitle;
        std::shared_ptr<View> headerView, footerView;
        std::vector<Float> rowHeights;
        // Content y of each row's top, one running sum made by
        // computeLayout; the entry after the last row is where it ends.
        std::vector<Float> rowTops;
        Float top = 0;     // content y of the section's header
        Float height = 0;  // header, rows and footer
        Float bottom = 0;  // content y below the footer (the next section's top)
    };
    void computeLayout();
    // Lookups by binary search over the running sums. The first section that
    // may reach below content y (an earlier one never does), and the first
    // row of a section that ends below y (rows before it end at or above).
    int firstSectionReaching(Float y) const;
    static int firstRowReaching(const SectionInfo& section, Float y);
    // Puts view in place of the table header or footer held in slot.
    void replaceEndView(std::shared_ptr<View>& slot, std::shared_ptr<View> view);
    Float indexWidth() const;
    Rect indexRect() const;
    void checkUpdate();
    std::vector<int> countsBefore_;
    int pendingInserts_ = 0, pendingDeletes_ = 0;
    void layoutCells();
    void recycle(const std::shared_ptr<TableViewCell>& cell);
    Rect rowsRectOfSection(int section) const;
    void hideDeleteConfirmation();
    std::shared_ptr<View> sectionViewFor(int section, bool header);

    TableViewStyle style_;
    std::weak_ptr<TableViewDataSource> dataSource_;
    std::weak_ptr<TableViewDelegate> tableDelegate_;
    Float rowHeight_ = 44;
    Float sectionHeaderHeight_ = 22;
    Float sectionFooterHeight_ = 22;
    TableViewCellSeparatorStyle separatorStyle_ = TableViewCellSeparatorStyle::SingleLine;
    gfx::Color separatorColor_;
    std::shared_ptr<View> tableHeaderView_, tableFooterView_, backgroundView_;
    bool allowsSelection_ = true;
    bool allowsSelectionDuringEditing_ = false;
    bool editing_ = false;
    Float indexMinRows_ = 0;
    bool loaded_ = false;
    int updateDepth_ = 0;
    std::vector<SectionInfo> sections_;
    std::vector<std::string> indexTitles_;
    std::map<IndexPath, std::shared_ptr<TableViewCell>> visible_;
    std::map<std::string, std::vector<std::shared_ptr<TableViewCell>>> reusable_;
    std::vector<std::shared_ptr<View>> sectionViews_;
    std::optional<IndexPath> selected_;
    std::optional<IndexPath> deleteConfirmation_;
};

}  // namespace ui
