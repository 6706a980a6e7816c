#pragma once
// A legend: one entry per titled legend item of its plots, in a grid of rows
// and columns, each a swatch drawn by the plot itself with the item's title
// beside it. It follows its plots through their legend notifications: a
// style change redraws it, a title change lays it out again, and a change in
// the number of a plot's items rebuilds that plot's entries. A graph shows it
// pinned by a layer annotation (CHTGraph::setLegend).
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "charts/CHTBorderedLayer.h"
#include "charts/CHTLegendEntry.h"
#include "platform/base/NotificationCenter.h"
#include "platform/base/Value.h"

class CHTGraph;
class CHTLegend;
class CHTPlot;

// The legend's layer delegate may suppress a swatch (optional).
class CHTLegendDelegate : public virtual gfx::LayerDelegate {
public:
    // NO leaves the swatch of the plot's legend item out.
    virtual bool legend(CHTLegend* legend, std::size_t shouldDrawSwatchAtIndex, CHTPlot* forPlot,
                        const gfx::Rect& inRect, gfx::Context& inContext) = 0;
};

class CHTLegend : public CHTBorderedLayer {
public:
    // No plots, a default text style, automatic grid and swatch size,
    // paddings 5.
    explicit CHTLegend(const gfx::Rect& frame = gfx::Rect::zero());
    // Stops following every plot.
    ~CHTLegend() override;

    static std::shared_ptr<CHTLegend> legendWithGraph(const std::shared_ptr<CHTGraph>& graph);
    static std::shared_ptr<CHTLegend> legendWithPlots(const std::vector<std::shared_ptr<CHTPlot>>& plots);

    // ---- Plots
    // Appends the plot and its titled items' entries and follows it; nullptr
    // is ignored.
    void addPlot(const std::shared_ptr<CHTPlot>& plot);
    // The same at an index; its entries go before those of the plot now
    // there. An index past the end fails the assertion "index greater than
    // the number of plots".
    void insertPlot(const std::shared_ptr<CHTPlot>& plot, std::size_t index);
    // Raises "CHTException" "Tried to remove CHTPlot which did not exist."
    // for a plot the legend does not hold.
    void removePlot(const std::shared_ptr<CHTPlot>& plot);
    // Nothing when no plot has the identifier.
    void removePlotWithIdentifier(const base::Value& identifier);
    std::shared_ptr<CHTPlot> plotWithIdentifier(const base::Value& identifier) const;
    // nullptr past the end.
    std::shared_ptr<CHTPlot> plotAtIndex(std::size_t index) const;
    std::vector<std::shared_ptr<CHTPlot>> allPlots() const { return plots_; }
    const std::vector<std::shared_ptr<CHTLegendEntry>>& legendEntries() const { return legendEntries_; }
    void removeLegendEntriesForPlot(const CHTPlot* plot);

    // ---- What the plots' notifications do
    void legendNeedsRedraw();
    void legendNeedsLayout();
    // Rebuilds the plot's entries where its first one stood.
    void legendNeedsReloadEntries(const std::shared_ptr<CHTPlot>& plot);

    // ---- Layout
    bool layoutChanged() const { return layoutChanged_; }
    // YES forgets the computed grid and asks for layout.
    void setLayoutChanged(bool changed);
    void setLayoutChanged() { setLayoutChanged(true); }
    // Computes the grid and the legend's bounds when the layout changed.
    void recalculateLayout();
    void layoutSublayers() override;
    // The computed grid (computed now when there is none).
    const std::optional<base::Array>& rowHeightsThatFit();
    const std::optional<base::Array>& columnWidthsThatFit();

    // ---- Properties: those that change sizes relayout, the others redraw.
    const std::shared_ptr<CHTTextStyle>& textStyle() const { return textStyle_; }
    void setTextStyle(const std::shared_ptr<const CHTTextStyle>& style);
    // The set size, or 1.5 times the font size (15 x 15 without one).
    gfx::Size swatchSize() const;
    void setSwatchSize(gfx::Size size);
    const std::shared_ptr<CHTLineStyle>& swatchBorderLineStyle() const { return swatchBorderLineStyle_; }
    void setSwatchBorderLineStyle(const std::shared_ptr<CHTLineStyle>& style);
    CGFloat swatchCornerRadius() const { return swatchCornerRadius_; }
    void setSwatchCornerRadius(CGFloat radius);
    const std::shared_ptr<CHTFill>& swatchFill() const { return swatchFill_; }
    void setSwatchFill(const std::shared_ptr<CHTFill>& fill);
    // 0 is automatic.
    std::size_t numberOfRows() const { return numberOfRows_; }
    void setNumberOfRows(std::size_t rows);
    std::size_t numberOfColumns() const { return numberOfColumns_; }
    void setNumberOfColumns(std::size_t columns);
    bool equalRows() const { return equalRows_; }
    void setEqualRows(bool equal);
    bool equalColumns() const { return equalColumns_; }
    void setEqualColumns(bool equal);
    // Minimum height of each row (width of each column) by index; an element
    // that is not a number is ignored.
    const std::optional<base::Array>& rowHeights() const { return rowHeights_; }
    void setRowHeights(const std::optional<base::Array>& heights);
    const std::optional<base::Array>& columnWidths() const { return columnWidths_; }
    void setColumnWidths(const std::optional<base::Array>& widths);
    CGFloat columnMargin() const { return columnMargin_; }
    void setColumnMargin(CGFloat margin);
    CGFloat rowMargin() const { return rowMargin_; }
    void setRowMargin(CGFloat margin);
    // Between a swatch and its title.
    CGFloat titleOffset() const { return titleOffset_; }
    void setTitleOffset(CGFloat offset);
    // "swatchSize" and "swatchCornerRadius".
    static bool needsDisplayForKey(const std::string& key);

    void renderAsVectorInContext(gfx::Context& context) override;
    std::string description() const override;

    std::string classForCoder() const override { return "CHTLegend"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    // Follows the decoded plots again.
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

private:
    // The entries of the plot's titled items, in item order.
    std::vector<std::shared_ptr<CHTLegendEntry>> entriesForPlot(const std::shared_ptr<CHTPlot>& plot) const;
    void observePlot(const std::shared_ptr<CHTPlot>& plot);
    void stopObservingPlot(const CHTPlot* plot);
    void insertPlotEntries(const std::shared_ptr<CHTPlot>& plot, std::size_t entryPosition);

    std::vector<std::shared_ptr<CHTPlot>> plots_;
    std::vector<std::shared_ptr<CHTLegendEntry>> legendEntries_;
    bool layoutChanged_ = true;
    std::shared_ptr<CHTTextStyle> textStyle_;
    gfx::Size swatchSize_{0, 0};
    std::shared_ptr<CHTLineStyle> swatchBorderLineStyle_;
    CGFloat swatchCornerRadius_ = 0;
    std::shared_ptr<CHTFill> swatchFill_;
    std::size_t numberOfRows_ = 0;
    std::size_t numberOfColumns_ = 0;
    bool equalRows_ = true;
    bool equalColumns_ = false;
    std::optional<base::Array> rowHeights_;
    std::optional<base::Array> rowHeightsThatFit_;
    std::optional<base::Array> columnWidths_;
    std::optional<base::Array> columnWidthsThatFit_;
    CGFloat columnMargin_ = 10;
    CGFloat rowMargin_ = 5;
    CGFloat titleOffset_ = 5;
    std::map<const CHTPlot*, std::vector<base::NotificationCenter::Token>> observations_;
};
