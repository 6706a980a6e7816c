#pragma once
// The table cell of the settings menu and the F.A.Q. list: an icon, a bold
// title and a smaller detail text of several lines, on the dark card of
// the home screen's look. It carries its own title, detail and image views
// (standing in for the plain cell's parts of the same names), laid out as
// its interface file places them; the detail text's height may be set per
// row and goes back to the file's height when the cell is reused.
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"

class EmulateThreeOhCell : public ui::TableViewCell {
public:
    // The reuse identifier the cell is made with.
    static constexpr const char* kReuseIdentifier = "Cell";
    // The interface file's frames (content-view coordinates).
    static constexpr ui::Float kTextX = 60;
    static constexpr ui::Float kTitleY = 7;
    static constexpr ui::Float kTitleHeight = 20;
    static constexpr ui::Float kDetailY = 28;
    static constexpr ui::Float kDetailHeight = 52;

    EmulateThreeOhCell();
    std::string className() const override { return "EmulateThreeOhCell"; }

    // A new cell as the interface file "ThreeOhCell" holds it.
    static std::shared_ptr<EmulateThreeOhCell> loadFromNib();
    // A cell the table can reuse, or else a new one from the interface file,
    // which `loaded` then keeps as the last cell loaded.
    static std::shared_ptr<EmulateThreeOhCell> dequeueOrLoad(ui::TableView& tableView,
                                                             std::shared_ptr<EmulateThreeOhCell>& loaded);

    // Shows a row: the icon, the title, the detail text in Helvetica 11 over
    // the given number of lines, a disclosure indicator or none, and the
    // detail's height (0 keeps the interface file's).
    void showRow(std::shared_ptr<gfx::Image> image, const std::string& title, const std::string& detail, int lines,
                 bool indicator, ui::Float detailHeight);

    // The cell's own parts (they hide the plain cell's parts of these names).
    std::shared_ptr<ui::Label> textLabel() const { return textLabel_; }
    std::shared_ptr<ui::Label> detailTextLabel() const { return detailTextLabel_; }
    std::shared_ptr<ui::ImageView> imageView() const { return imageView_; }
    void setTextLabel(std::shared_ptr<ui::Label> label);
    void setDetailTextLabel(std::shared_ptr<ui::Label> label);
    void setImageView(std::shared_ptr<ui::ImageView> view);

    void prepareForReuse() override;
    void layoutSubviews() override;
    using ui::TableViewCell::setHighlighted;
    using ui::TableViewCell::setSelected;
    void setSelected(bool selected, bool animated) override;
    void setHighlighted(bool highlighted, bool animated) override;
    void collectAccessibleElements(std::vector<ui::AccessibleElement>& out) const override;

private:
    void replace(const std::shared_ptr<ui::View>& old, const std::shared_ptr<ui::View>& replacement);

    std::shared_ptr<ui::Label> textLabel_;
    std::shared_ptr<ui::Label> detailTextLabel_;
    std::shared_ptr<ui::ImageView> imageView_;
};
