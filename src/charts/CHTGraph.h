#pragma once
// The root layer of one chart. It owns the plot area frame (with the plot
// area and its axes inside), the plots in the order they were added, the
// plot spaces (the first is the default one), the optional title and the
// optional legend, and routes pointing-device events to plots, axes and plot
// spaces.
//
// A graph is made in two steps: the constructor sets up the layer, and
// initGraph() (called by the static factories of the concrete graphs, such
// as CHTXYGraph::create) makes the plot area frame, the default plot space
// and the axis set through the virtual factories, and hands the graph to
// them.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "charts/CHTBorderedLayer.h"
#include "charts/CHTLayerAnnotation.h"
#include "charts/CHTPlotSpace.h"
#include "charts/CHTTextStyle.h"
#include "platform/base/NotificationCenter.h"
#include "platform/base/Value.h"

class CHTAxisSet;
class CHTLegend;
class CHTPlot;
class CHTPlotArea;
class CHTPlotAreaFrame;
class CHTTheme;

class CHTGraph : public CHTBorderedLayer, public CHTPlotSpaceGraph {
public:
    // The first step: the bordered layer, paddings 20 and the title and
    // legend defaults. Use the factory of a concrete graph.
    explicit CHTGraph(const gfx::Rect& frame = gfx::Rect::zero());
    ~CHTGraph() override;

    // ---- Plot area frame
    const std::shared_ptr<CHTPlotAreaFrame>& plotAreaFrame() const { return plotAreaFrame_; }
    // Detaches the old frame, adds the new one as a sublayer, gives it and
    // every plot space the graph, and anchors the title to the new frame.
    void setPlotAreaFrame(const std::shared_ptr<CHTPlotAreaFrame>& frame);
    // The frame's plot area (nullptr without one).
    std::shared_ptr<CHTPlotArea> plotArea() const override;
    // Pass-throughs to the plot area.
    std::shared_ptr<CHTAxisSet> axisSet() const;
    void setAxisSet(const std::shared_ptr<CHTAxisSet>& axisSet);
    std::optional<std::vector<int>> topDownLayerOrder() const;
    void setTopDownLayerOrder(const std::optional<std::vector<int>>& order);

    // ---- Plots
    // nullptr is ignored. The plot is appended, given the plot space and the
    // graph, and put into the plot area's plot group.
    void addPlot(const std::shared_ptr<CHTPlot>& plot);
    void addPlot(const std::shared_ptr<CHTPlot>& plot, const std::shared_ptr<CHTPlotSpace>& plotSpace);
    // The same at an index; an index past the end raises "CHTException".
    void insertPlot(const std::shared_ptr<CHTPlot>& plot, std::size_t index);
    void insertPlot(const std::shared_ptr<CHTPlot>& plot, std::size_t index,
                    const std::shared_ptr<CHTPlotSpace>& plotSpace);
    // Raises "CHTException" "Tried to remove CHTPlot which did not exist."
    // when the graph does not hold the plot.
    void removePlot(const std::shared_ptr<CHTPlot>& plot);
    // Nothing when no plot has the identifier.
    void removePlotWithIdentifier(const base::Value& identifier);
    std::shared_ptr<CHTPlot> plotWithIdentifier(const base::Value& identifier) const;
    // nullptr past the end.
    std::shared_ptr<CHTPlot> plotAtIndex(std::size_t index) const;
    std::vector<std::shared_ptr<CHTPlot>> allPlots() const { return plots_; }

    // ---- Plot spaces
    // Appends, gives it the graph and follows its mapping changes.
    void addPlotSpace(const std::shared_ptr<CHTPlotSpace>& plotSpace);
    // Raises "CHTException" "Tried to remove CHTPlotSpace which did not
    // exist." when the graph does not hold it; else stops following it,
    // takes the graph from it and takes it from the axes that use it.
    void removePlotSpace(const std::shared_ptr<CHTPlotSpace>& plotSpace);
    std::shared_ptr<CHTPlotSpace> plotSpaceWithIdentifier(const base::Value& identifier) const;
    // nullptr past the end.
    std::shared_ptr<CHTPlotSpace> plotSpaceAtIndex(std::size_t index) const;
    std::vector<std::shared_ptr<CHTPlotSpace>> allPlotSpaces() const { return plotSpaces_; }
    // The first plot space (nullptr when there is none).
    std::shared_ptr<CHTPlotSpace> defaultPlotSpace() const;

    // ---- Paddings: an equal value does nothing; else the layer padding is
    // set and every axis redraws.
    void setPaddingLeft(CGFloat value);
    void setPaddingTop(CGFloat value);
    void setPaddingRight(CGFloat value);
    void setPaddingBottom(CGFloat value);

    // ---- Title: an annotation pinned to the plot area frame, there while a
    // title is set.
    const std::optional<std::string>& title() const { return title_; }
    void setTitle(const std::optional<std::string>& title);
    const std::shared_ptr<CHTTextStyle>& titleTextStyle() const { return titleTextStyle_; }
    void setTitleTextStyle(const std::shared_ptr<const CHTTextStyle>& style);
    int titlePlotAreaFrameAnchor() const { return titlePlotAreaFrameAnchor_; }
    void setTitlePlotAreaFrameAnchor(int anchor);
    gfx::Point titleDisplacement() const { return titleDisplacement_; }
    void setTitleDisplacement(gfx::Point displacement);
    const std::shared_ptr<CHTLayerAnnotation>& titleAnnotation() const { return titleAnnotation_; }

    // ---- Legend: pinned to the graph itself by a layer annotation, there
    // while set.
    std::shared_ptr<CHTLegend> legend() const;
    void setLegend(const std::shared_ptr<CHTLegend>& legend);
    int legendAnchor() const { return legendAnchor_; }
    void setLegendAnchor(int anchor);
    gfx::Point legendDisplacement() const { return legendDisplacement_; }
    void setLegendDisplacement(gfx::Point displacement);
    const std::shared_ptr<CHTLayerAnnotation>& legendAnnotation() const { return legendAnnotation_; }
    // The point of the legend (fractions of its bounds) pinned to the anchor.
    gfx::Point contentAnchorForLegend() const;

    // ---- Data and drawing
    // Nothing for nullptr.
    void applyTheme(const std::shared_ptr<CHTTheme>& theme);
    void reloadData();
    void reloadDataIfNeeded();
    // Reloads the plots that need it and relabels the axes before the
    // layer tree is laid out and rendered.
    void layoutAndRenderInContext(gfx::Context& context) override;

    // ---- Events: plots from the last added to the first, then the axis
    // set, then the plot area frame; the first to take the event ends the
    // routing. Otherwise every plot space is offered it.
    bool pointingDeviceDownEvent(const CHTNativeEvent* event, gfx::Point interactionPoint) override;
    bool pointingDeviceDraggedEvent(const CHTNativeEvent* event, gfx::Point interactionPoint) override;
    bool pointingDeviceUpEvent(const CHTNativeEvent* event, gfx::Point interactionPoint) override;
    bool pointingDeviceCancelledEvent(const CHTNativeEvent* event) override;

    // ---- What the plot spaces ask of the graph
    bool hasPlotAreaFrame() const override;
    bool hasPlotArea() const override;
    gfx::Size plotAreaBoundsSize() const override;
    bool plotAreaContainsPoint(gfx::Point point) const override;
    gfx::Point convertPointToPlotAreaFrame(gfx::Point graphPoint) const override;
    bool plotAreaFrameContainsPoint(gfx::Point point) const override;

    // The identity under which the graph posts and is observed: its complete
    // object.
    const void* notificationSender() const { return dynamic_cast<const void*>(this); }

    std::string classForCoder() const override { return "CHTGraph"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    // Rebuilds the layer tree and the plot-space observations as well.
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

protected:
    // The second step of construction (see above).
    void initGraph();
    // The factories of the concrete graphs; nullptr in the base.
    virtual std::shared_ptr<CHTPlotSpace> newPlotSpace();
    virtual std::shared_ptr<CHTAxisSet> newAxisSet();

    std::shared_ptr<CHTGraph> self();
    // Gives the plot space the graph and follows its mapping changes.
    void observePlotSpace(const std::shared_ptr<CHTPlotSpace>& plotSpace);

private:
    // Offers an event to the plots, the axis set and the frame, then to the
    // plot spaces.
    template <class Offer>
    bool routeEvent(Offer offer);
    void plotSpaceMappingDidChange(const CHTPlotSpace* plotSpace);
    void attachPlot(const std::shared_ptr<CHTPlot>& plot, const std::shared_ptr<CHTPlotSpace>& plotSpace);
    void detachPlot(const std::shared_ptr<CHTPlot>& plot);
    void axesNeedDisplay();
    // A title annotation on the plot area frame showing the content (a new
    // text layer of the title when nullptr).
    void anchorTitle(const std::shared_ptr<CHTLayer>& content);

    std::shared_ptr<CHTPlotAreaFrame> plotAreaFrame_;
    std::vector<std::shared_ptr<CHTPlot>> plots_;
    std::vector<std::shared_ptr<CHTPlotSpace>> plotSpaces_;
    std::map<const CHTPlotSpace*, base::NotificationCenter::Token> plotSpaceObservations_;
    std::optional<std::string> title_;
    std::shared_ptr<CHTTextStyle> titleTextStyle_;
    int titlePlotAreaFrameAnchor_ = CHTRectAnchorTop;
    gfx::Point titleDisplacement_;
    std::shared_ptr<CHTLayerAnnotation> titleAnnotation_;
    std::shared_ptr<CHTLayerAnnotation> legendAnnotation_;
    int legendAnchor_ = CHTRectAnchorBottom;
    gfx::Point legendDisplacement_;
};
