#include "platform/ui/WebPageLayout.h"

#include <algorithm>
#include <cmath>

#include "platform/base/Format.h"
#include "platform/base/UTF8.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Text.h"

namespace ui {

namespace {

const gfx::Font& textFont() {
    static const gfx::Font font = gfx::Font::systemFont(15);
    return font;
}

// The height of one line of page text and the width of an average
// character of running text, measured once.
struct TextMetrics {
    Float lineHeight;
    Float characterWidth;
};
const TextMetrics& textMetrics() {
    static const TextMetrics metrics = [] {
        const std::string sample = "The quick brown fox jumps over the lazy dog, then rests for a while.";
        const Float line = gfx::measureText("Ag", textFont(), Size(1000, 1000)).height;
        const Float width = gfx::measureText(sample, textFont()).width / static_cast<Float>(sample.size());
        return TextMetrics{line, width};
    }();
    return metrics;
}

const gfx::Font& buttonFont() {
    static const gfx::Font font = gfx::Font::boldSystemFont(15);
    return font;
}

// The heights of the controls that do not change with their text.
constexpr Float kFieldHeight = 31;
constexpr Float kButtonHeight = 37;
constexpr Float kTextAreaHeight = 72;
// A button is at least this wide, and its title has this much room on
// either side.
constexpr Float kButtonMinimumWidth = 88;
constexpr Float kButtonPadding = 14;
// An unmeasured button's width.
constexpr Float kButtonEstimatedWidth = 160;

WebPageLayout::Kind kindOf(const WebPage::Input& input) {
    if (input.isSelect()) return WebPageLayout::Kind::Field;
    if (input.isTextArea()) return WebPageLayout::Kind::TextArea;
    if (input.isCheckable()) return WebPageLayout::Kind::Check;
    if (input.isButton()) return WebPageLayout::Kind::Button;
    return WebPageLayout::Kind::Field;
}

std::size_t codePoints(const std::string& text, std::size_t begin, std::size_t end) {
    return static_cast<std::size_t>(std::count_if(text.begin() + static_cast<std::ptrdiff_t>(begin),
                                                  text.begin() + static_cast<std::ptrdiff_t>(end),
                                                  [](char c) { return !base::isUTF8ContinuationByte(c); }));
}

// A title is drawn within 1000 points: more text than that could show is
// never laid out.
constexpr std::size_t kTitleBytes = 4096;

// Blocks measured by one call at most (what shows and its margins hold far
// fewer).
constexpr std::size_t kMostMeasuredAtOnce = 4096;

}  // namespace

void WebPageLayout::setPage(const WebPage& page, Float width) {
    page_ = &page;
    blocks_.clear();
    note_.clear();
    std::size_t fields = 0, moreFields = 0;
    for (std::size_t p = 0; p < page.paragraphs.size(); ++p) {
        const auto ref = p < page.paragraphFields.size() ? page.paragraphFields[p] : WebPage::FieldRef{};
        if (ref.isField()) {
            if (fields == MaxFields) {
                if (moreFields++ == 0) blocks_.push_back(Block{Kind::Note, p, 0, 0, 0, true});
                continue;
            }
            ++fields;
            const auto& input =
                page.forms[static_cast<std::size_t>(ref.form)].inputs[static_cast<std::size_t>(ref.input)];
            Block block{kindOf(input), p, 0, 0, 0, true};
            // The short text right after a checkbox is its label: it stands
            // beside the box, and a tap on it toggles the box.
            const std::size_t next = p + 1;
            if (block.kind == Kind::Check && next < page.paragraphs.size() &&
                !(next < page.paragraphFields.size() && page.paragraphFields[next].isField()) &&
                !(next < page.paragraphLinks.size() && page.paragraphLinks[next] >= 0) &&
                !page.paragraphs[next].empty() && page.paragraphs[next].size() <= MaxLabelBytes) {
                block.label = next;
                block.characters = codePoints(page.paragraphs[next], 0, page.paragraphs[next].size());
                ++p;
            }
            blocks_.push_back(block);
            continue;
        }
        const std::string& text = page.paragraphs[p];
        for (std::size_t begin = 0; begin < text.size();) {
            std::size_t end = std::min(text.size(), begin + BlockBytes);
            if (end < text.size()) {
                // After the last blank of the second half, else between characters.
                const std::size_t blank = text.rfind(' ', end - 1);
                if (blank != std::string::npos && blank >= begin + BlockBytes / 2) end = blank + 1;
                else
                    while (end > begin + 1 && base::isUTF8ContinuationByte(text[end])) --end;
            }
            blocks_.push_back(Block{Kind::Text, p, begin, end, codePoints(text, begin, end), end == text.size()});
            begin = end;
        }
    }
    if (moreFields > 0)
        note_ =
            base::format("Only the first %zu of this page's %zu fields are shown.", MaxFields, MaxFields + moreFields);
    width_ = std::max<Float>(width, 1);
    relayout();
}

void WebPageLayout::setWidth(Float width) {
    width = std::max<Float>(width, 1);
    if (width == width_) return;
    width_ = width;
    relayout();
}

void WebPageLayout::relayout() {
    title_.clear();
    titleFrame_ = Rect(10, 10, width_, 0);
    top_ = 10;
    if (page_ && !page_->title.empty()) {
        std::size_t cut = std::min(page_->title.size(), kTitleBytes);
        while (cut > 0 && cut < page_->title.size() && base::isUTF8ContinuationByte(page_->title[cut])) --cut;
        title_ = page_->title.substr(0, cut);
        titleFrame_.size.height = gfx::measureText(title_, gfx::Font::boldSystemFont(18), Size(width_, 1000)).height;
        top_ = titleFrame_.maxY() + 8;
    }
    const std::size_t n = blocks_.size();
    heights_.assign(n, 0);
    textWidths_.assign(n, 0);
    measured_.assign(n, 0);
    tree_.assign(n + 1, 0);
    total_ = 0;
    for (std::size_t i = 0; i < n; ++i) {
        heights_[i] = estimate(i);
        const double slot = slotHeight(i, heights_[i]);
        tree_[i + 1] += slot;
        total_ += slot;
        // Each node of the tree holds the sum of its range; its parent's
        // range holds it.
        const std::size_t parent = (i + 1) + ((i + 1) & (~(i + 1) + 1));
        if (parent <= n) tree_[parent] += tree_[i + 1];
    }
}

Float WebPageLayout::checkLabelTop() {
    return std::max<Float>(0, std::floor((CheckBoxSide - textMetrics().lineHeight) / 2));
}

std::string WebPageLayout::buttonTitle(const WebPage::Input& input) {
    if (input.element == "button") return input.label;
    if (!input.value.empty()) return input.value;
    if (input.type == "submit") return "Submit";
    if (input.type == "reset") return "Reset";
    return {};
}

std::string WebPageLayout::text(std::size_t i) const {
    const Block& b = blocks_[i];
    if (b.kind == Kind::Note) return note_;
    if (!page_) return {};
    switch (b.kind) {
    case Kind::Text: return page_->paragraphs[b.paragraph].substr(b.begin, b.end - b.begin);
    case Kind::Check: return b.label == NoLabel ? std::string() : page_->paragraphs[b.label];
    case Kind::Button: {
        const auto ref = page_->paragraphFields[b.paragraph];
        return buttonTitle(
            page_->forms[static_cast<std::size_t>(ref.form)].inputs[static_cast<std::size_t>(ref.input)]);
    }
    case Kind::Field:
    case Kind::TextArea:
    case Kind::Note: break;
    }
    return {};
}

int WebPageLayout::link(std::size_t i) const {
    const Block& b = blocks_[i];
    if (b.kind != Kind::Text || !page_ || b.paragraph >= page_->paragraphLinks.size()) return -1;
    return page_->paragraphLinks[b.paragraph];
}

Float WebPageLayout::slotHeight(std::size_t i, Float height) const {
    switch (blocks_[i].kind) {
    case Kind::Field:
    case Kind::Check:
    case Kind::TextArea: return height + 8;
    case Kind::Button: return 4 + height + 8;
    case Kind::Text:
    case Kind::Note: break;
    }
    return height + (blocks_[i].lastOfParagraph ? 8 : 0);
}

Float WebPageLayout::labelWidth() const { return std::max<Float>(width_ - CheckLabelIndent, 1); }

Float WebPageLayout::estimate(std::size_t i) const {
    Float width = width_;
    switch (blocks_[i].kind) {
    case Kind::Field: return kFieldHeight;
    case Kind::Button: return kButtonHeight;
    case Kind::TextArea: return kTextAreaHeight;
    case Kind::Check:
        if (blocks_[i].label == NoLabel) return CheckBoxSide;
        width = labelWidth();
        break;
    case Kind::Text:
    case Kind::Note: break;
    }
    // The note's text is ASCII: its bytes are its characters.
    const std::size_t characters = blocks_[i].kind == Kind::Note ? note_.size() : blocks_[i].characters;
    const auto& metrics = textMetrics();
    const Float lines = std::max<Float>(1, std::ceil(static_cast<Float>(characters) * metrics.characterWidth / width));
    const Float height = lines * metrics.lineHeight;
    return blocks_[i].kind == Kind::Check ? std::max(checkLabelTop() + height, CheckBoxSide) : height;
}

double WebPageLayout::before(std::size_t i) const {
    double sum = 0;
    for (std::size_t k = i; k > 0; k -= k & (~k + 1)) sum += tree_[k];
    return sum;
}

void WebPageLayout::setHeight(std::size_t i, Float height) {
    const double delta = static_cast<double>(slotHeight(i, height)) - slotHeight(i, heights_[i]);
    heights_[i] = height;
    total_ += delta;
    for (std::size_t k = i + 1; k < tree_.size(); k += k & (~k + 1)) tree_[k] += delta;
}

Float WebPageLayout::top(std::size_t i) const { return top_ + static_cast<Float>(before(i)); }

Rect WebPageLayout::frame(std::size_t i) const {
    const Float y = top(i);
    switch (blocks_[i].kind) {
    case Kind::Field:
    case Kind::Check:
    case Kind::TextArea: return Rect(10, y, width_, heights_[i]);
    case Kind::Button:
        return Rect(10, y + 4, measured_[i] ? textWidths_[i] : std::min(width_, kButtonEstimatedWidth), heights_[i]);
    case Kind::Text:
    case Kind::Note: break;
    }
    return Rect(10, y, measured_[i] ? textWidths_[i] : width_, heights_[i]);
}

std::size_t WebPageLayout::blockAt(Float y) const {
    const std::size_t n = blocks_.size();
    const double target = static_cast<double>(y) - top_;
    if (target < 0) return 0;
    // The most blocks whose places together end at or above y.
    std::size_t step = 1;
    while (step * 2 <= n) step *= 2;
    std::size_t pos = 0;
    double sum = 0;
    for (; step > 0; step /= 2)
        if (pos + step <= n && sum + tree_[pos + step] <= target) {
            pos += step;
            sum += tree_[pos];
        }
    return pos;
}

Float WebPageLayout::height() const {
    Float bottom = 0;
    if (!blocks_.empty()) {
        const std::size_t last = blocks_.size() - 1;
        bottom = top_ + static_cast<Float>(total_) - (slotHeight(last, heights_[last]) - heights_[last]);
        if (blocks_[last].kind == Kind::Button) bottom += 4;
    }
    if (!title_.empty()) bottom = std::max(bottom, titleFrame_.maxY());
    return bottom + 10;
}

void WebPageLayout::measure(Float minY, Float maxY) {
    std::size_t count = 0;
    for (std::size_t i = blockAt(minY); i < blocks_.size() && top(i) < maxY && count < kMostMeasuredAtOnce; ++i) {
        if (measured_[i]) continue;
        measured_[i] = 1;
        ++count;
        if (blocks_[i].kind == Kind::Button) {
            // As wide as its title needs, within the page.
            const Float title = gfx::measureText(text(i), buttonFont()).width;
            textWidths_[i] = std::min(width_, std::max(kButtonMinimumWidth, std::ceil(title) + 2 * kButtonPadding));
            continue;
        }
        if (blocks_[i].kind == Kind::Check) {
            if (blocks_[i].label == NoLabel) continue;
            const Size size = gfx::measureText(text(i), textFont(), Size(labelWidth(), gfx::kUnboundedTextExtent));
            setHeight(i, std::max(checkLabelTop() + size.height, CheckBoxSide));
            continue;
        }
        if (blocks_[i].isField()) continue;  // the others have their size
        const Size size = gfx::measureText(text(i), textFont(), Size(width_, gfx::kUnboundedTextExtent));
        textWidths_[i] = std::min(size.width, width_);
        setHeight(i, size.height);
    }
}

}  // namespace ui
