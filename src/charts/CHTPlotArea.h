#pragma once
// The layer inside the plot area frame whose bounds are the drawing area of
// the plots and the view size of the plot-space mapping. It holds one group
// layer per layer type, stacks them in a configurable order, and lets the
// axes put their grid-line, label and title layers into the right group at
// the right index. It paints its background fill and the axes' alternating
// and limit bands beneath everything else.
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "charts/CHTAnnotationHostLayer.h"
#include "charts/CHTFill.h"
#include "charts/CHTLineStyle.h"

class CHTAxis;
class CHTAxisSet;
class CHTAxisLabelGroup;
class CHTGridLineGroup;
class CHTPlotGroup;

// Layer types: the values of the layer orders.
inline constexpr int CHTGraphLayerTypeMinorGridLines = 0;
inline constexpr int CHTGraphLayerTypeMajorGridLines = 1;
inline constexpr int CHTGraphLayerTypeAxisLines = 2;
inline constexpr int CHTGraphLayerTypePlots = 3;
inline constexpr int CHTGraphLayerTypeAxisLabels = 4;
inline constexpr int CHTGraphLayerTypeAxisTitles = 5;
inline constexpr int kCHTNumberOfLayerTypes = 6;

class CHTPlotArea : public CHTAnnotationHostLayer {
public:
    // Only the plot group; the other groups come when the axes need them.
    explicit CHTPlotArea(const gfx::Rect& frame = gfx::Rect::zero());
    ~CHTPlotArea() override;

    // ---- The groups (each a sublayer while set)
    const std::shared_ptr<CHTGridLineGroup>& minorGridLineGroup() const { return minorGridLineGroup_; }
    void setMinorGridLineGroup(const std::shared_ptr<CHTGridLineGroup>& group);
    const std::shared_ptr<CHTGridLineGroup>& majorGridLineGroup() const { return majorGridLineGroup_; }
    void setMajorGridLineGroup(const std::shared_ptr<CHTGridLineGroup>& group);
    const std::shared_ptr<CHTAxisSet>& axisSet() const { return axisSet_; }
    // Takes the old set's axes out of the plot area and gives the new set's
    // axes this plot area, which places their layers.
    void setAxisSet(const std::shared_ptr<CHTAxisSet>& axisSet);
    const std::shared_ptr<CHTPlotGroup>& plotGroup() const { return plotGroup_; }
    void setPlotGroup(const std::shared_ptr<CHTPlotGroup>& group);
    const std::shared_ptr<CHTAxisLabelGroup>& axisLabelGroup() const { return axisLabelGroup_; }
    void setAxisLabelGroup(const std::shared_ptr<CHTAxisLabelGroup>& group);
    const std::shared_ptr<CHTAxisLabelGroup>& axisTitleGroup() const { return axisTitleGroup_; }
    void setAxisTitleGroup(const std::shared_ptr<CHTAxisLabelGroup>& group);

    // ---- Background (a copy is kept)
    const std::shared_ptr<CHTFill>& fill() const { return fill_; }
    void setFill(const std::shared_ptr<CHTFill>& fill);
    // The axis set's border line style (nullptr without an axis set).
    std::shared_ptr<CHTLineStyle> borderLineStyle() const;
    void setBorderLineStyle(const std::shared_ptr<const CHTLineStyle>& style);

    // ---- Layer order
    // Layer types from the top down; the unlisted types keep their default
    // order beneath them. nullopt: the default order (0 at the bottom to 5).
    // An order with a type outside 0 to 5, a repeated type or more than six
    // entries is refused (logged) and the old order kept.
    const std::optional<std::vector<int>>& topDownLayerOrder() const { return topDownLayerOrder_; }
    void setTopDownLayerOrder(const std::optional<std::vector<int>>& order);
    // The resulting order from the bottom up.
    const std::array<int, kCHTNumberOfLayerTypes>& bottomUpLayerOrder() const { return bottomUpLayerOrder_; }
    bool isUpdatingLayers() const { return updatingLayers_; }
    // Rebuilds the bottom-up order and re-inserts every group.
    void updateLayerOrder();
    // The sublayer index of the group of the type (missing groups take no room).
    std::size_t indexForLayerType(int layerType) const;
    // The index inside a group at which the axis's layer of the type belongs.
    std::size_t sublayerIndexForAxis(const CHTAxis* axis, int layerType) const;
    // Creates or drops the group of type 0, 1, 4 or 5 as the axes require.
    void updateAxisSetLayersForType(int layerType);
    // Creates the group of type 0, 1, 4 or 5 when it is missing.
    void setAxisSetLayersForType(int layerType);

    // Groups cover the plot area frame; the plot group covers the plot area.
    void layoutSublayers() override;
    // The fill, then every axis's alternating bands, then its limit bands.
    void renderAsVectorInContext(gfx::Context& context) override;

    std::string classForCoder() const override { return "CHTPlotArea"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

    static void registerCodingClass();

private:
    std::shared_ptr<CHTPlotArea> self();
    // The frame of a group: the superlayer's bounds (the plot area frame) in
    // the plot area's coordinates; the own bounds without a superlayer.
    gfx::Rect coverFrame() const;
    // Whether the axis has the thing of the type (grid-line style, labels, title).
    static bool axisNeedsLayerType(CHTAxis& axis, int layerType);
    // The common part of the six group setters.
    template <class G>
    void setGroup(std::shared_ptr<G>& stored, const std::shared_ptr<G>& group, int layerType);
    static bool isValidLayerOrder(const std::vector<int>& order);

    std::shared_ptr<CHTGridLineGroup> minorGridLineGroup_;
    std::shared_ptr<CHTGridLineGroup> majorGridLineGroup_;
    std::shared_ptr<CHTAxisSet> axisSet_;
    std::shared_ptr<CHTPlotGroup> plotGroup_;
    std::shared_ptr<CHTAxisLabelGroup> axisLabelGroup_;
    std::shared_ptr<CHTAxisLabelGroup> axisTitleGroup_;
    std::shared_ptr<CHTFill> fill_;
    std::optional<std::vector<int>> topDownLayerOrder_;
    std::array<int, kCHTNumberOfLayerTypes> bottomUpLayerOrder_{0, 1, 2, 3, 4, 5};
    bool updatingLayers_ = false;
};
