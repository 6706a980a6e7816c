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
    enum class Kind { Text, Field, Submit, Note };
    struct Block {
        Kind kind = Kind::Text;
        std::size_t paragraph = 0;  // of the page (none for the note)
        std::size_t begin = 0;      // its bytes of the paragraph's text
        std::size_t end = 0;
        std::size_t characters = 0;  // code points of a text block, for the estimate
        bool lastOfParagraph = true;
        // A form's field or submit button, shown by a subview of its own.
        bool isField() const { return kind == Kind::Field || kind == Kind::Submit; }
    };
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
    // The block's text (the note's, or the part of its paragraph).
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
    std::vector<Float> textWidths_;  // of each measured text block
    std::vector<char> measured_;
    std::vector<double> tree_;  // sums of slots (a Fenwick tree)
    double total_ = 0;
};

}  // namespace ui
