#include "charts/CHTLegend.h"

#include <algorithm>
#include <cmath>

#include "charts/CHTCoderExtensions.h"
#include "charts/CHTGraph.h"
#include "charts/CHTMutableTextStyle.h"
#include "charts/CHTPlot.h"
#include "charts/CHTUtilities.h"
#include "platform/base/Exception.h"
#include "platform/base/Format.h"

namespace {

// The element as a number, when the list has one there.
std::optional<CGFloat> numberAt(const std::optional<base::Array>& list, std::size_t index) {
    if (!list || index >= list->size() || !(*list)[index].isNumber()) return std::nullopt;
    return CGFloat((*list)[index].doubleValue());
}

CGFloat floatAt(const std::optional<base::Array>& list, std::size_t index) {
    auto v = numberAt(list, index);
    return v ? *v : 0;
}

base::Array floats(const std::vector<CGFloat>& values) {
    base::Array out;
    for (CGFloat v : values) out.push_back(base::Value(double(v)));
    return out;
}

}  // namespace

CHTLegend::CHTLegend(const gfx::Rect& frame) : CHTBorderedLayer(frame), textStyle_(CHTTextStyle::textStyle()->copy()) {
    setPaddingLeft(5);
    setPaddingTop(5);
    setPaddingRight(5);
    setPaddingBottom(5);
    setNeedsDisplayOnBoundsChange(true);
}

CHTLegend::~CHTLegend() { base::NotificationCenter::defaultCenter().removeObserver(this); }

std::shared_ptr<CHTLegend> CHTLegend::legendWithGraph(const std::shared_ptr<CHTGraph>& graph) {
    auto legend = std::make_shared<CHTLegend>();
    if (graph)
        for (const auto& plot : graph->allPlots()) legend->addPlot(plot);
    return legend;
}

std::shared_ptr<CHTLegend> CHTLegend::legendWithPlots(const std::vector<std::shared_ptr<CHTPlot>>& plots) {
    auto legend = std::make_shared<CHTLegend>();
    for (const auto& plot : plots) legend->addPlot(plot);
    return legend;
}

// ---- Plots

std::vector<std::shared_ptr<CHTLegendEntry>> CHTLegend::entriesForPlot(const std::shared_ptr<CHTPlot>& plot) const {
    std::vector<std::shared_ptr<CHTLegendEntry>> out;
    const std::size_t n = plot->numberOfLegendEntries();
    for (std::size_t i = 0; i < n; ++i) {
        if (!plot->titleForLegendEntryAtIndex(i)) continue;
        auto entry = std::make_shared<CHTLegendEntry>();
        entry->setPlot(plot);
        entry->setIndex(i);
        entry->setTextStyle(textStyle_);
        out.push_back(entry);
    }
    return out;
}

void CHTLegend::insertPlotEntries(const std::shared_ptr<CHTPlot>& plot, std::size_t entryPosition) {
    auto entries = entriesForPlot(plot);
    entryPosition = std::min(entryPosition, legendEntries_.size());
    legendEntries_.insert(legendEntries_.begin() + static_cast<std::ptrdiff_t>(entryPosition), entries.begin(),
                          entries.end());
}

void CHTLegend::observePlot(const std::shared_ptr<CHTPlot>& plot) {
    auto& center = base::NotificationCenter::defaultCenter();
    const void* sender = dynamic_cast<const void*>(plot.get());
    std::weak_ptr<CHTPlot> weakPlot = plot;
    auto& tokens = observations_[plot.get()];
    // The legend ends these observations when it goes, so `this` is alive
    // whenever they are called.
    tokens.push_back(center.addObserver(this, CHTLegendNeedsRedrawForPlotNotification, sender,
                                        [this](const base::Notification&) { legendNeedsRedraw(); }));
    tokens.push_back(center.addObserver(this, CHTLegendNeedsLayoutForPlotNotification, sender,
                                        [this](const base::Notification&) { legendNeedsLayout(); }));
    tokens.push_back(center.addObserver(this, CHTLegendNeedsReloadEntriesForPlotNotification, sender,
                                        [this, weakPlot](const base::Notification&) {
                                            if (auto p = weakPlot.lock()) legendNeedsReloadEntries(p);
                                        }));
}

void CHTLegend::stopObservingPlot(const CHTPlot* plot) {
    auto it = observations_.find(plot);
    if (it == observations_.end()) return;
    for (auto token : it->second) base::NotificationCenter::defaultCenter().removeObserver(token);
    observations_.erase(it);
}

void CHTLegend::addPlot(const std::shared_ptr<CHTPlot>& plot) {
    if (!plot) return;
    plots_.push_back(plot);
    setLayoutChanged(true);
    insertPlotEntries(plot, legendEntries_.size());
    observePlot(plot);
}

void CHTLegend::insertPlot(const std::shared_ptr<CHTPlot>& plot, std::size_t index) {
    if (!plot) return;
    if (index > plots_.size()) {
        base::AssertionHandler::current().handleFailureInMethod("-[CHTLegend insertPlot:atIndex:]", this,
                                                                "Charts/Source/CHTLegend", __LINE__,
                                                                "index greater than the number of plots");
        return;
    }
    // Before the first entry of the plot now at the index.
    std::size_t position = legendEntries_.size();
    if (index < plots_.size()) {
        const CHTPlot* there = plots_[index].get();
        for (std::size_t i = 0; i < legendEntries_.size(); ++i) {
            if (legendEntries_[i]->plot().get() == there) {
                position = i;
                break;
            }
        }
    }
    plots_.insert(plots_.begin() + static_cast<std::ptrdiff_t>(index), plot);
    setLayoutChanged(true);
    insertPlotEntries(plot, position);
    observePlot(plot);
}

void CHTLegend::removePlot(const std::shared_ptr<CHTPlot>& plot) {
    auto it = std::find(plots_.begin(), plots_.end(), plot);
    if (!plot || it == plots_.end()) base::raise("CHTException", "Tried to remove CHTPlot which did not exist.");
    plots_.erase(it);
    removeLegendEntriesForPlot(plot.get());
    setLayoutChanged(true);
    stopObservingPlot(plot.get());
}

void CHTLegend::removePlotWithIdentifier(const base::Value& identifier) {
    if (auto plot = plotWithIdentifier(identifier)) removePlot(plot);
}

std::shared_ptr<CHTPlot> CHTLegend::plotWithIdentifier(const base::Value& identifier) const {
    for (const auto& plot : plots_)
        if (plot->identifier() == identifier) return plot;
    return nullptr;
}

std::shared_ptr<CHTPlot> CHTLegend::plotAtIndex(std::size_t index) const {
    return index < plots_.size() ? plots_[index] : nullptr;
}

void CHTLegend::removeLegendEntriesForPlot(const CHTPlot* plot) {
    std::erase_if(legendEntries_, [plot](const auto& entry) { return entry->plot().get() == plot; });
}

// ---- Notifications

void CHTLegend::legendNeedsRedraw() { setNeedsDisplay(); }

void CHTLegend::legendNeedsLayout() {
    setLayoutChanged(true);
    setNeedsDisplay();
}

void CHTLegend::legendNeedsReloadEntries(const std::shared_ptr<CHTPlot>& plot) {
    if (!plot) return;
    std::size_t position = legendEntries_.size();
    for (std::size_t i = 0; i < legendEntries_.size(); ++i) {
        if (legendEntries_[i]->plot() == plot) {
            position = i;
            break;
        }
    }
    removeLegendEntriesForPlot(plot.get());
    insertPlotEntries(plot, position);
    setLayoutChanged(true);
}

// ---- Layout

void CHTLegend::setLayoutChanged(bool changed) {
    if (changed == layoutChanged_) return;
    layoutChanged_ = changed;
    if (changed) {
        rowHeightsThatFit_.reset();
        columnWidthsThatFit_.reset();
        setNeedsLayout();
    }
}

gfx::Size CHTLegend::swatchSize() const {
    if (swatchSize_.width != 0 || swatchSize_.height != 0) return swatchSize_;
    const CGFloat f = textStyle_ ? textStyle_->fontSize() : 0;
    return f > 0 ? gfx::Size(CGFloat(1.5) * f, CGFloat(1.5) * f) : gfx::Size(15, 15);
}

void CHTLegend::recalculateLayout() {
    if (!layoutChanged_) return;
    const std::size_t n = legendEntries_.size();
    const std::size_t NR = numberOfRows_, NC = numberOfColumns_;
    std::size_t rows = 0, columns = 0;
    if (NR == 0 && NC == 0) {
        const std::size_t s = static_cast<std::size_t>(std::floor(std::sqrt(double(n))));
        columns = s * s < n ? s + 1 : s;
        rows = s * columns < n ? s + 1 : s;
    } else if (NR == 0) {
        columns = NC;
        rows = (n + NC - 1) / NC;
    } else if (NC == 0) {
        rows = NR;
        columns = (n + NR - 1) / NR;
    } else {
        rows = NR;
        columns = NC;
    }

    const gfx::Size swatch = swatchSize();
    std::vector<CGFloat> heights(rows, 0), widths(columns, 0);
    std::size_t row = 0, column = 0, rowsUsed = 0;
    bool full = rows == 0 || columns == 0;
    for (const auto& entry : legendEntries_) {
        if (full) {
            // No cell left: the entry lies outside the grid and is not drawn
            // (rather than over the entry of the cell it had before).
            entry->setRow(rows);
            entry->setColumn(columns);
            continue;
        }
        entry->setRow(row);
        entry->setColumn(column);
        rowsUsed = row + 1;
        const gfx::Size title = entry->titleSize();
        if (NR == 0 || row < NR) {
            heights[row] = std::max({heights[row], title.height, swatch.height});
            if (auto minimum = numberAt(rowHeights_, row)) heights[row] = std::max(heights[row], *minimum);
        }
        if (NC == 0 || column < NC) {
            widths[column] = std::max({widths[column], title.width, swatch.width});
            if (auto minimum = numberAt(columnWidths_, column)) widths[column] = std::max(widths[column], *minimum);
        }
        if (++column >= columns) {
            column = 0;
            if (++row >= rows) full = true;
        }
    }
    rowHeightsThatFit_ = floats(heights);
    columnWidthsThatFit_ = floats(widths);

    CGFloat width = paddingLeft() + paddingRight();
    if (equalColumns_) {
        const CGFloat widest = widths.empty() ? 0 : *std::max_element(widths.begin(), widths.end());
        width += widest * CGFloat(columns);
    } else {
        for (CGFloat w : widths) width += w;
    }
    width += (swatch.width + titleOffset_) * CGFloat(columns);
    if (columns > 0) width += columnMargin_ * CGFloat(columns - 1);
    CGFloat height = paddingTop() + paddingBottom();
    for (CGFloat h : heights) height += h;
    if (rowsUsed > 0) height += rowMargin_ * CGFloat(rowsUsed - 1);

    setBounds(gfx::Rect(0, 0, width, height));
    layoutChanged_ = false;
}

void CHTLegend::layoutSublayers() {
    CHTBorderedLayer::layoutSublayers();
    recalculateLayout();
}

const std::optional<base::Array>& CHTLegend::rowHeightsThatFit() {
    if (!rowHeightsThatFit_) recalculateLayout();
    return rowHeightsThatFit_;
}

const std::optional<base::Array>& CHTLegend::columnWidthsThatFit() {
    if (!columnWidthsThatFit_) recalculateLayout();
    return columnWidthsThatFit_;
}

// ---- Properties

void CHTLegend::setTextStyle(const std::shared_ptr<const CHTTextStyle>& style) {
    if (style.get() == textStyle_.get()) return;
    textStyle_ = style ? style->copy() : nullptr;
    for (const auto& entry : legendEntries_) entry->setTextStyle(textStyle_);
    setLayoutChanged(true);
}

void CHTLegend::setSwatchSize(gfx::Size size) {
    if (size == swatchSize_) return;
    swatchSize_ = size;
    setLayoutChanged(true);
}

void CHTLegend::setSwatchBorderLineStyle(const std::shared_ptr<CHTLineStyle>& style) {
    if (style.get() == swatchBorderLineStyle_.get()) return;
    swatchBorderLineStyle_ = style ? style->copy() : nullptr;
    setNeedsDisplay();
}

void CHTLegend::setSwatchCornerRadius(CGFloat radius) {
    if (radius == swatchCornerRadius_) return;
    swatchCornerRadius_ = radius;
    setNeedsDisplay();
}

void CHTLegend::setSwatchFill(const std::shared_ptr<CHTFill>& fill) {
    if (fill.get() == swatchFill_.get()) return;
    swatchFill_ = fill ? fill->copy() : nullptr;
    setNeedsDisplay();
}

void CHTLegend::setNumberOfRows(std::size_t rows) {
    if (rows == numberOfRows_) return;
    numberOfRows_ = rows;
    setLayoutChanged(true);
}

void CHTLegend::setNumberOfColumns(std::size_t columns) {
    if (columns == numberOfColumns_) return;
    numberOfColumns_ = columns;
    setLayoutChanged(true);
}

void CHTLegend::setEqualRows(bool equal) {
    if (equal == equalRows_) return;
    equalRows_ = equal;
    setLayoutChanged(true);
}

void CHTLegend::setEqualColumns(bool equal) {
    if (equal == equalColumns_) return;
    equalColumns_ = equal;
    setLayoutChanged(true);
}

void CHTLegend::setRowHeights(const std::optional<base::Array>& heights) {
    if (heights == rowHeights_) return;
    rowHeights_ = heights;
    setLayoutChanged(true);
}

void CHTLegend::setColumnWidths(const std::optional<base::Array>& widths) {
    if (widths == columnWidths_) return;
    columnWidths_ = widths;
    setLayoutChanged(true);
}

void CHTLegend::setColumnMargin(CGFloat margin) {
    if (margin == columnMargin_) return;
    columnMargin_ = margin;
    setLayoutChanged(true);
}

void CHTLegend::setRowMargin(CGFloat margin) {
    if (margin == rowMargin_) return;
    rowMargin_ = margin;
    setLayoutChanged(true);
}

void CHTLegend::setTitleOffset(CGFloat offset) {
    if (offset == titleOffset_) return;
    titleOffset_ = offset;
    setLayoutChanged(true);
}

bool CHTLegend::needsDisplayForKey(const std::string& key) {
    return key == "swatchSize" || key == "swatchCornerRadius";
}

// ---- Drawing

void CHTLegend::renderAsVectorInContext(gfx::Context& context) {
    if (isHidden()) return;
    CHTBorderedLayer::renderAsVectorInContext(context);
    if (legendEntries_.empty()) return;
    const auto& heightList = rowHeightsThatFit();
    const auto& widthList = columnWidthsThatFit();
    const std::size_t rows = heightList ? heightList->size() : 0;
    const std::size_t columns = widthList ? widthList->size() : 0;
    const gfx::Size swatch = swatchSize();
    const std::size_t NR = numberOfRows_, NC = numberOfColumns_;
    auto drawable = [&](const CHTLegendEntry& entry) {
        return (NR == 0 || entry.row() < NR) && (NC == 0 || entry.column() < NC) && entry.row() < rows &&
               entry.column() < columns;
    };

    std::vector<CGFloat> columnX(columns, 0);
    for (std::size_t c = 0; c < columns; ++c)
        columnX[c] = c == 0 ? paddingLeft()
                            : columnX[c - 1] + floatAt(widthList, c - 1) + titleOffset_ + swatch.width + columnMargin_;
    // Rows are stacked from the bottom over the rows the entries use, so
    // that unused rows of a fixed grid leave no gap inside the legend.
    std::size_t rowsUsed = 0;
    for (const auto& entry : legendEntries_)
        if (drawable(*entry)) rowsUsed = std::max(rowsUsed, entry->row() + 1);
    std::vector<CGFloat> rowY(rowsUsed, 0);
    for (std::size_t r = rowsUsed; r-- > 0;)
        rowY[r] = r + 1 == rowsUsed ? paddingBottom() : rowY[r + 1] + floatAt(heightList, r + 1) + rowMargin_;

    const CHTLegendSwatchStyle style{swatchFill_, swatchBorderLineStyle_, swatchCornerRadius_};
    auto delegate = std::dynamic_pointer_cast<CHTLegendDelegate>(this->delegate());
    for (const auto& entry : legendEntries_) {
        if (!drawable(*entry)) continue;
        auto plot = entry->plot();
        const std::size_t r = entry->row(), c = entry->column();
        const CGFloat rowHeight = floatAt(heightList, r);
        const gfx::Rect swatchRect = CHTAlignRectToUserSpace(
            context, gfx::Rect(columnX[c], rowY[r] + (rowHeight - swatch.height) / 2, swatch.width, swatch.height));
        if (plot && (!delegate || delegate->legend(this, entry->index(), plot.get(), swatchRect, context))) {
            gfx::SavedState saved(context);
            plot->drawSwatchForLegend(style, entry->index(), swatchRect, context);
        }
        const gfx::Rect titleRect = CHTAlignRectToUserSpace(
            context, gfx::Rect(columnX[c] + swatch.width + titleOffset_, rowY[r], floatAt(widthList, c), rowHeight));
        entry->drawTitleInRect(titleRect, context);
    }
}

std::string CHTLegend::description() const {
    std::string list = "(";
    for (std::size_t i = 0; i < plots_.size(); ++i) {
        if (i) list += ", ";
        list += plots_[i]->description();
    }
    list += ")";
    return base::format("<%@ for plots %@>", CHTBorderedLayer::description().c_str(), list.c_str());
}

// ---- Archiving

void CHTLegend::encodeWithCoder(base::KeyedArchiver& coder) const {
    CHTBorderedLayer::encodeWithCoder(coder);
    encodeObjectArray(coder, plots_, "CHTLegend.plots");
    encodeObjectArray(coder, legendEntries_, "CHTLegend.legendEntries");
    coder.encodeBool(layoutChanged_, "CHTLegend.layoutChanged");
    coder.encodeObject(textStyle_, "CHTLegend.textStyle");
    encodeCHTSize(coder, swatchSize_, "CHTLegend.swatchSize");
    coder.encodeObject(swatchBorderLineStyle_, "CHTLegend.swatchBorderLineStyle");
    encodeCGFloat(coder, swatchCornerRadius_, "CHTLegend.swatchCornerRadius");
    coder.encodeObject(swatchFill_, "CHTLegend.swatchFill");
    coder.encodeInteger(static_cast<long long>(numberOfRows_), "CHTLegend.numberOfRows");
    coder.encodeInteger(static_cast<long long>(numberOfColumns_), "CHTLegend.numberOfColumns");
    coder.encodeBool(equalRows_, "CHTLegend.equalRows");
    coder.encodeBool(equalColumns_, "CHTLegend.equalColumns");
    if (rowHeights_) coder.encodeValue(base::Value(*rowHeights_), "CHTLegend.rowHeights");
    if (rowHeightsThatFit_) coder.encodeValue(base::Value(*rowHeightsThatFit_), "CHTLegend.rowHeightsThatFit");
    if (columnWidths_) coder.encodeValue(base::Value(*columnWidths_), "CHTLegend.columnWidths");
    if (columnWidthsThatFit_) coder.encodeValue(base::Value(*columnWidthsThatFit_), "CHTLegend.columnWidthsThatFit");
    encodeCGFloat(coder, columnMargin_, "CHTLegend.columnMargin");
    encodeCGFloat(coder, rowMargin_, "CHTLegend.rowMargin");
    encodeCGFloat(coder, titleOffset_, "CHTLegend.titleOffset");
}

std::shared_ptr<base::Coding> CHTLegend::initWithCoder(base::KeyedUnarchiver& coder) {
    CHTBorderedLayer::initWithCoder(coder);
    for (const auto& plot : plots_) stopObservingPlot(plot.get());
    plots_ = decodeObjectArrayOfType<CHTPlot>(coder, "CHTLegend.plots");
    legendEntries_ = decodeObjectArrayOfType<CHTLegendEntry>(coder, "CHTLegend.legendEntries");
    layoutChanged_ = coder.decodeBool("CHTLegend.layoutChanged");
    auto style = coder.decodeObjectOfType<CHTTextStyle>("CHTLegend.textStyle");
    textStyle_ = style ? style->copy() : nullptr;
    swatchSize_ = decodeCHTSize(coder, "CHTLegend.swatchSize");
    auto border = coder.decodeObjectOfType<CHTLineStyle>("CHTLegend.swatchBorderLineStyle");
    swatchBorderLineStyle_ = border ? border->copy() : nullptr;
    swatchCornerRadius_ = decodeCGFloat(coder, "CHTLegend.swatchCornerRadius");
    auto fill = coder.decodeObjectOfType<CHTFill>("CHTLegend.swatchFill");
    swatchFill_ = fill ? fill->copy() : nullptr;
    auto count = [&](const char* key) {
        const long long v = coder.decodeInteger(key);
        return v < 0 ? std::size_t(0) : static_cast<std::size_t>(v);
    };
    numberOfRows_ = count("CHTLegend.numberOfRows");
    numberOfColumns_ = count("CHTLegend.numberOfColumns");
    equalRows_ = coder.decodeBool("CHTLegend.equalRows");
    equalColumns_ = coder.decodeBool("CHTLegend.equalColumns");
    auto list = [&](const char* key) -> std::optional<base::Array> {
        base::Value v = coder.decodeValue(key);
        if (const auto* array = v.asArray()) return *array;
        return std::nullopt;
    };
    rowHeights_ = list("CHTLegend.rowHeights");
    rowHeightsThatFit_ = list("CHTLegend.rowHeightsThatFit");
    columnWidths_ = list("CHTLegend.columnWidths");
    columnWidthsThatFit_ = list("CHTLegend.columnWidthsThatFit");
    columnMargin_ = decodeCGFloat(coder, "CHTLegend.columnMargin");
    rowMargin_ = decodeCGFloat(coder, "CHTLegend.rowMargin");
    titleOffset_ = decodeCGFloat(coder, "CHTLegend.titleOffset");
    // A decoded legend follows its plots as the one it was made from did.
    for (const auto& plot : plots_) observePlot(plot);
    return nullptr;
}
