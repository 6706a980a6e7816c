#pragma once
// One entry of a legend: which legend item of which plot it shows, the grid
// cell the legend's layout gave it, and the text style of its title.
#include <memory>
#include <optional>
#include <string>

#include "charts/CHTTextStyle.h"
#include "platform/base/KeyedArchiver.h"
#include "platform/gfx/Context.h"

class CHTPlot;

class CHTLegendEntry : public base::Coding {
public:
    CHTLegendEntry() = default;

    // The plot is not owned.
    std::shared_ptr<CHTPlot> plot() const { return plot_.lock(); }
    void setPlot(const std::shared_ptr<CHTPlot>& plot) { plot_ = plot; }
    std::size_t index() const { return index_; }
    void setIndex(std::size_t index) { index_ = index; }
    std::size_t row() const { return row_; }
    void setRow(std::size_t row) { row_ = row; }
    std::size_t column() const { return column_; }
    void setColumn(std::size_t column) { column_ = column; }
    const std::shared_ptr<CHTTextStyle>& textStyle() const { return textStyle_; }
    void setTextStyle(const std::shared_ptr<CHTTextStyle>& style) { textStyle_ = style; }

    // The plot's title of the legend item (nullopt without a plot or title).
    std::optional<std::string> title() const;
    // The title's size in the text style; (0, 0) without title or style.
    gfx::Size titleSize() const;
    // The title centred vertically in the rectangle (in the legend's y-up
    // coordinates).
    void drawTitleInRect(const gfx::Rect& rect, gfx::Context& context) const;

    std::string classForCoder() const override { return "CHTLegendEntry"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

private:
    std::weak_ptr<CHTPlot> plot_;
    std::size_t index_ = 0;
    std::size_t row_ = 0;
    std::size_t column_ = 0;
    std::shared_ptr<CHTTextStyle> textStyle_;
};
