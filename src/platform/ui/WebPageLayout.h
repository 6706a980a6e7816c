#pragma once
// Where the web view puts a page: a column of blocks below the title, one
// per paragraph, or several for a long one, so that only the blocks near
// what shows are ever measured and drawn. A block's height is estimated
// from its length until it is first measured; the sums of the heights are
// kept in a tree, so finding the block at a height or the top of a block
// costs the logarithm of their number, however large the page.
#include <cstddef>
#include <string>
#include <vector>

#include "platform/ui/Types.h"
#include "platform/ui/WebPage.h"

namespace ui {

class WebPageLayout {
public:
    // A form's controls: a one-line field (text or a select), a button
    // (submit, reset or plain), a checkbox or radio button with the short
    // text that follows it on the page beside it, a text area.
    enum class Kind { Text, Field, Button, Check, TextArea, Note };
    static constexpr std::size_t NoLabel = static_cast<std::size_t>(-1);
    struct Block {
        Kind kind = Kind::Text;
        std::size_t paragraph = 0;  // of the page (none for the note)
        std::size_t begin = 0;      // its bytes of the paragraph's text
        std::size_t end = 0;
        // Code points of a text block or of a checkbox's label, for the estimate.
        std::size_t characters = 0;
        bool lastOfParagraph = true;
        // The paragraph of text a checkbox or radio button shows beside it.
        std::size_t label = NoLabel;
        // A form's control, shown by a subview of its own.
        bool isField() const { return kind != Kind::Text && kind != Kind::Note; }
    };
    // Where a checkbox's label starts, from the block's left.
    static constexpr Float CheckLabelIndent = 30;
    // The side of a checkbox or radio button's box.
    static constexpr Float CheckBoxSide = 22;
    // How far below the block's top a checkbox's label starts, so that its
    // first line stands level with the box.
    static Float checkLabelTop();
    // A text beside a checkbox longer than this stands on its own.
    static constexpr std::size_t MaxLabelBytes = 300;
    // The title a button shows: a <button>'s text, else its value, else
    // what a browser shows for its type.
    static std::string buttonTitle(const WebPage::Input& input);
    // Form fields shown at most; a page with more says so in a note where
    // the first of the rest would be.
    static constexpr std::size_t MaxFields = 200;
    // Text is cut into blocks of at most this many bytes (at a blank where
    // there is one).
    static constexpr std::size_t BlockBytes = 2048;

    // The page to lay out (it must outlive the layout's use) at the width.
    void setPage(const WebPage& page, Float width);
    // A new width: every block is estimated again. The width it has already
    // changes nothing, so what was measured stays.
    void setWidth(Float width);
    Float width() const { return width_; }

    std::size_t size() const { return blocks_.size(); }
    const Block& block(std::size_t i) const { return blocks_[i]; }
    // The block's text (the note's, the part of its paragraph, a checkbox's
    // label or a button's title).
    std::string text(std::size_t i) const;
    // The link whose text the block holds, as an index into the page's
    // links (-1: none).
    int link(std::size_t i) const;
    // The frame of the block's text or field, as measured or estimated.
    Rect frame(std::size_t i) const;
    // The top of the block's place (its text or field, and the gap below).
    Float top(std::size_t i) const;
    // The first block whose place reaches below y (size() when none).
    std::size_t blockAt(Float y) const;
    // The height of the whole page, its margins included.
    Float height() const;
    // The title's frame (zero height without a title) and its text as drawn.
    Rect titleFrame() const { return titleFrame_; }
    const std::string& titleText() const { return title_; }
    // What the note about fields not shown says ("" when all are shown).
    const std::string& note() const { return note_; }
    // Measures the blocks that lie between minY and maxY and are not yet
    // measured; the blocks below move by what their heights changed.
    void measure(Float minY, Float maxY);
    bool isMeasured(std::size_t i) const { return measured_[i] != 0; }

private:
    // Lays the title out at width_ and estimates every block anew.
    void relayout();
    Float slotHeight(std::size_t i, Float height) const;
    Float estimate(std::size_t i) const;
    // The width a checkbox's label is laid out in.
    Float labelWidth() const;
    void setHeight(std::size_t i, Float height);
    // The sum of the slots before block i.
    double before(std::size_t i) const;

    const WebPage* page_ = nullptr;
    std::vector<Block> blocks_;
    std::string note_;
    std::string title_;
    Rect titleFrame_;
    Float width_ = 0;
    Float top_ = 10;                 // where the first block starts
    std::vector<Float> heights_;     // of each block's text or field
    std::vector<Float> textWidths_;  // of each measured text block or button
    std::vector<char> measured_;
    std::vector<double> tree_;  // sums of slots (a Fenwick tree)
    double total_ = 0;
};

}  // namespace ui
