#include "charts/CHTGraph.h"

#include "charts/CHTLegend.h"

#include <algorithm>

#include "charts/CHTAxis.h"
#include "charts/CHTAxisSet.h"
#include "charts/CHTLayerAnnotation.h"
#include "charts/CHTMutableTextStyle.h"
#include "charts/CHTPlot.h"
#include "charts/CHTPlotArea.h"
#include "charts/CHTPlotAreaFrame.h"
#include "charts/CHTPlotGroup.h"
#include "charts/CHTTextLayer.h"
#include "charts/CHTTheme.h"
#include "charts/CHTCoderExtensions.h"
#include "platform/base/Exception.h"
#include "platform/base/Format.h"

namespace {

std::vector<std::shared_ptr<CHTAxis>> axesOf(const std::shared_ptr<CHTAxisSet>& axisSet) {
    return axisSet ? axisSet->axes() : std::vector<std::shared_ptr<CHTAxis>>{};
}

// The identity of a plot space as it posts its notifications.
const void* senderOf(const CHTPlotSpace* plotSpace) { return dynamic_cast<const void*>(plotSpace); }

}  // namespace

CHTGraph::CHTGraph(const gfx::Rect& frame) : CHTBorderedLayer(frame) {
    setPaddingLeft(20);
    setPaddingTop(20);
    setPaddingRight(20);
    setPaddingBottom(20);
    titleTextStyle_ = CHTTextStyle::textStyle();
    setNeedsDisplayOnBoundsChange(true);
}

CHTGraph::~CHTGraph() {
    // Plot spaces may outlive the graph: they must not call back into it.
    base::NotificationCenter::defaultCenter().removeObserver(this);
}

std::shared_ptr<CHTGraph> CHTGraph::self() {
    return std::static_pointer_cast<CHTGraph>(std::static_pointer_cast<CHTLayer>(shared_from_this()));
}

void CHTGraph::initGraph() {
    setPlotAreaFrame(std::make_shared<CHTPlotAreaFrame>(bounds()));
    addPlotSpace(newPlotSpace());
    setAxisSet(newAxisSet());
}

std::shared_ptr<CHTPlotSpace> CHTGraph::newPlotSpace() { return nullptr; }
std::shared_ptr<CHTAxisSet> CHTGraph::newAxisSet() { return nullptr; }

// ---- Plot area frame

void CHTGraph::setPlotAreaFrame(const std::shared_ptr<CHTPlotAreaFrame>& frame) {
    if (frame == plotAreaFrame_) return;
    if (plotAreaFrame_) {
        plotAreaFrame_->setGraph(nullptr);
        plotAreaFrame_->removeFromSuperlayer();
    }
    plotAreaFrame_ = frame;
    if (frame) {
        // Beneath the title and legend, which the graph's annotations show.
        insertSublayer(frame, 0);
        frame->setGraph(self());
    }
    for (const auto& plotSpace : plotSpaces_) plotSpace->setGraph(self());
    // The title stays pinned to the frame it describes.
    if (titleAnnotation_ || title_) {
        std::shared_ptr<CHTLayer> content = titleAnnotation_ ? titleAnnotation_->contentLayer() : nullptr;
        if (titleAnnotation_) removeAnnotation(titleAnnotation_);
        titleAnnotation_.reset();
        if (plotAreaFrame_ && title_) anchorTitle(content);
    }
}

void CHTGraph::anchorTitle(const std::shared_ptr<CHTLayer>& content) {
    titleAnnotation_ = std::make_shared<CHTLayerAnnotation>(plotAreaFrame_);
    titleAnnotation_->setContentLayer(content ? content : CHTTextLayer::initWithText(*title_, titleTextStyle_));
    titleAnnotation_->setDisplacement(titleDisplacement_);
    titleAnnotation_->setRectAnchor(titlePlotAreaFrameAnchor_);
    addAnnotation(titleAnnotation_);
}

std::shared_ptr<CHTPlotArea> CHTGraph::plotArea() const {
    return plotAreaFrame_ ? plotAreaFrame_->plotArea() : nullptr;
}

std::shared_ptr<CHTAxisSet> CHTGraph::axisSet() const { return plotAreaFrame_ ? plotAreaFrame_->axisSet() : nullptr; }

void CHTGraph::setAxisSet(const std::shared_ptr<CHTAxisSet>& axisSet) {
    if (plotAreaFrame_) plotAreaFrame_->setAxisSet(axisSet);
}

std::optional<std::vector<int>> CHTGraph::topDownLayerOrder() const {
    auto area = plotArea();
    return area ? area->topDownLayerOrder() : std::nullopt;
}

void CHTGraph::setTopDownLayerOrder(const std::optional<std::vector<int>>& order) {
    if (auto area = plotArea()) area->setTopDownLayerOrder(order);
}

// ---- Plots

void CHTGraph::addPlot(const std::shared_ptr<CHTPlot>& plot) { addPlot(plot, defaultPlotSpace()); }

void CHTGraph::addPlot(const std::shared_ptr<CHTPlot>& plot, const std::shared_ptr<CHTPlotSpace>& plotSpace) {
    if (!plot) return;
    plots_.push_back(plot);
    attachPlot(plot, plotSpace);
}

void CHTGraph::insertPlot(const std::shared_ptr<CHTPlot>& plot, std::size_t index) {
    insertPlot(plot, index, defaultPlotSpace());
}

void CHTGraph::insertPlot(const std::shared_ptr<CHTPlot>& plot, std::size_t index,
                          const std::shared_ptr<CHTPlotSpace>& plotSpace) {
    if (!plot) return;
    if (index > plots_.size())
        base::raise("CHTException",
                    base::format("Tried to insert CHTPlot at index %lu beyond the %lu plots.",
                                 static_cast<unsigned long>(index), static_cast<unsigned long>(plots_.size())));
    plots_.insert(plots_.begin() + static_cast<std::ptrdiff_t>(index), plot);
    attachPlot(plot, plotSpace);
}

void CHTGraph::attachPlot(const std::shared_ptr<CHTPlot>& plot, const std::shared_ptr<CHTPlotSpace>& plotSpace) {
    plot->setPlotSpace(plotSpace);
    plot->setGraph(self());
    if (plotAreaFrame_) {
        if (auto group = plotAreaFrame_->plotGroup()) group->addPlot(plot);
    }
}

void CHTGraph::detachPlot(const std::shared_ptr<CHTPlot>& plot) {
    plot->setPlotSpace(nullptr);
    plot->setGraph(nullptr);
    if (plotAreaFrame_) {
        if (auto group = plotAreaFrame_->plotGroup()) group->removePlot(plot);
    }
}

void CHTGraph::removePlot(const std::shared_ptr<CHTPlot>& plot) {
    auto it = std::find(plots_.begin(), plots_.end(), plot);
    if (!plot || it == plots_.end()) base::raise("CHTException", "Tried to remove CHTPlot which did not exist.");
    auto keep = plot;
    detachPlot(keep);
    plots_.erase(std::find(plots_.begin(), plots_.end(), keep));
}

void CHTGraph::removePlotWithIdentifier(const base::Value& identifier) {
    auto plot = plotWithIdentifier(identifier);
    if (!plot) return;
    detachPlot(plot);
    plots_.erase(std::find(plots_.begin(), plots_.end(), plot));
}

std::shared_ptr<CHTPlot> CHTGraph::plotWithIdentifier(const base::Value& identifier) const {
    for (const auto& plot : plots_)
        if (plot->identifier() == identifier) return plot;
    return nullptr;
}

std::shared_ptr<CHTPlot> CHTGraph::plotAtIndex(std::size_t index) const {
    return index < plots_.size() ? plots_[index] : nullptr;
}

// ---- Plot spaces

void CHTGraph::addPlotSpace(const std::shared_ptr<CHTPlotSpace>& plotSpace) {
    if (!plotSpace) return;
    plotSpaces_.push_back(plotSpace);
    observePlotSpace(plotSpace);
}

void CHTGraph::observePlotSpace(const std::shared_ptr<CHTPlotSpace>& plotSpace) {
    plotSpace->setGraph(std::static_pointer_cast<CHTPlotSpaceGraph>(self()));
    const CHTPlotSpace* key = plotSpace.get();
    if (plotSpaceObservations_.count(key)) return;  // added twice: one observation
    plotSpaceObservations_[key] = base::NotificationCenter::defaultCenter().addObserver(
        this, CHTPlotSpaceCoordinateMappingDidChangeNotification, senderOf(key),
        [this, key](const base::Notification&) { plotSpaceMappingDidChange(key); });
}

void CHTGraph::removePlotSpace(const std::shared_ptr<CHTPlotSpace>& plotSpace) {
    auto it = std::find(plotSpaces_.begin(), plotSpaces_.end(), plotSpace);
    if (!plotSpace || it == plotSpaces_.end())
        base::raise("CHTException", "Tried to remove CHTPlotSpace which did not exist.");
    auto keep = plotSpace;
    plotSpaces_.erase(it);
    if (std::find(plotSpaces_.begin(), plotSpaces_.end(), keep) == plotSpaces_.end()) {
        auto obs = plotSpaceObservations_.find(keep.get());
        if (obs != plotSpaceObservations_.end()) {
            base::NotificationCenter::defaultCenter().removeObserver(obs->second);
            plotSpaceObservations_.erase(obs);
        }
        keep->setGraph(nullptr);
    }
    for (const auto& axis : axesOf(axisSet()))
        if (axis->plotSpace() == keep) axis->setPlotSpace(nullptr);
}

std::shared_ptr<CHTPlotSpace> CHTGraph::plotSpaceWithIdentifier(const base::Value& identifier) const {
    for (const auto& plotSpace : plotSpaces_)
        if (plotSpace->identifier() == identifier) return plotSpace;
    return nullptr;
}

std::shared_ptr<CHTPlotSpace> CHTGraph::plotSpaceAtIndex(std::size_t index) const {
    return index < plotSpaces_.size() ? plotSpaces_[index] : nullptr;
}

std::shared_ptr<CHTPlotSpace> CHTGraph::defaultPlotSpace() const {
    return plotSpaces_.empty() ? nullptr : plotSpaces_.front();
}

void CHTGraph::plotSpaceMappingDidChange(const CHTPlotSpace* plotSpace) {
    bool backgroundBands = false;
    for (const auto& axis : axesOf(axisSet())) {
        if (axis->plotSpace().get() != plotSpace) continue;
        axis->setNeedsRelabel();
        if (!axis->backgroundLimitBands().empty()) backgroundBands = true;
    }
    for (const auto& plot : plots_)
        if (plot->plotSpace().get() == plotSpace) plot->setNeedsDisplay();
    if (backgroundBands) {
        if (auto area = plotArea()) area->setNeedsDisplay();
    }
}

// ---- Paddings

void CHTGraph::axesNeedDisplay() {
    for (const auto& axis : axesOf(axisSet())) axis->setNeedsDisplay();
}

#define CHT_GRAPH_PADDING_SETTER(Name, getter) \
    void CHTGraph::set##Name(CGFloat value) {  \
        if (value == getter()) return;         \
        CHTBorderedLayer::set##Name(value);    \
        axesNeedDisplay();                     \
    }
CHT_GRAPH_PADDING_SETTER(PaddingLeft, paddingLeft)
CHT_GRAPH_PADDING_SETTER(PaddingTop, paddingTop)
CHT_GRAPH_PADDING_SETTER(PaddingRight, paddingRight)
CHT_GRAPH_PADDING_SETTER(PaddingBottom, paddingBottom)
#undef CHT_GRAPH_PADDING_SETTER

// ---- Title

void CHTGraph::setTitle(const std::optional<std::string>& title) {
    if (title == title_) return;
    title_ = title;
    if (!title_) {
        if (titleAnnotation_) {
            removeAnnotation(titleAnnotation_);
            titleAnnotation_.reset();
        }
        return;
    }
    if (titleAnnotation_) {
        if (auto text = std::dynamic_pointer_cast<CHTTextLayer>(titleAnnotation_->contentLayer()))
            text->setText(*title_);
        return;
    }
    // Without a frame the title is pinned when one arrives.
    if (plotAreaFrame_) anchorTitle(nullptr);
}

void CHTGraph::setTitleTextStyle(const std::shared_ptr<const CHTTextStyle>& style) {
    if (style.get() == titleTextStyle_.get()) return;
    titleTextStyle_ = style ? style->copy() : nullptr;
    if (titleAnnotation_) {
        if (auto text = std::dynamic_pointer_cast<CHTTextLayer>(titleAnnotation_->contentLayer()))
            text->setTextStyle(titleTextStyle_);
    }
}

void CHTGraph::setTitlePlotAreaFrameAnchor(int anchor) {
    if (anchor == titlePlotAreaFrameAnchor_) return;
    titlePlotAreaFrameAnchor_ = anchor;
    if (titleAnnotation_) titleAnnotation_->setRectAnchor(anchor);
}

void CHTGraph::setTitleDisplacement(gfx::Point displacement) {
    if (displacement == titleDisplacement_) return;
    titleDisplacement_ = displacement;
    if (titleAnnotation_) titleAnnotation_->setDisplacement(displacement);
}

// ---- Legend

std::shared_ptr<CHTLegend> CHTGraph::legend() const {
    return legendAnnotation_ ? std::dynamic_pointer_cast<CHTLegend>(legendAnnotation_->contentLayer()) : nullptr;
}

void CHTGraph::setLegend(const std::shared_ptr<CHTLegend>& legend) {
    if (legend == this->legend()) return;
    if (!legend) {
        if (legendAnnotation_) {
            removeAnnotation(legendAnnotation_);
            legendAnnotation_.reset();
        }
        return;
    }
    if (legendAnnotation_) {
        legendAnnotation_->setContentLayer(legend);
        return;
    }
    legendAnnotation_ = std::make_shared<CHTLayerAnnotation>(std::static_pointer_cast<CHTLayer>(self()));
    legendAnnotation_->setContentLayer(legend);
    legendAnnotation_->setDisplacement(legendDisplacement_);
    legendAnnotation_->setRectAnchor(legendAnchor_);
    legendAnnotation_->setContentAnchorPoint(contentAnchorForLegend());
    addAnnotation(legendAnnotation_);
}

void CHTGraph::setLegendAnchor(int anchor) {
    if (anchor == legendAnchor_) return;
    legendAnchor_ = anchor;
    if (legendAnnotation_) {
        legendAnnotation_->setRectAnchor(anchor);
        legendAnnotation_->setContentAnchorPoint(contentAnchorForLegend());
    }
}

void CHTGraph::setLegendDisplacement(gfx::Point displacement) {
    if (displacement == legendDisplacement_) return;
    legendDisplacement_ = displacement;
    if (legendAnnotation_) legendAnnotation_->setDisplacement(displacement);
}

gfx::Point CHTGraph::contentAnchorForLegend() const {
    switch (legendAnchor_) {
    case CHTRectAnchorBottomLeft: return {0, 0};
    case CHTRectAnchorBottom: return {0.5, 0};
    case CHTRectAnchorBottomRight: return {1, 0};
    case CHTRectAnchorLeft: return {0, 0.5};
    case CHTRectAnchorRight: return {1, 0.5};
    case CHTRectAnchorTopLeft: return {0, 1};
    case CHTRectAnchorTop: return {0.5, 1};
    case CHTRectAnchorTopRight: return {1, 1};
    case CHTRectAnchorCenter: return {0.5, 0.5};
    default: return {0, 0};
    }
}

// ---- Data and drawing

void CHTGraph::applyTheme(const std::shared_ptr<CHTTheme>& theme) {
    if (theme) theme->applyThemeToGraph(self());
}

void CHTGraph::reloadData() {
    for (const auto& plot : std::vector<std::shared_ptr<CHTPlot>>(plots_)) plot->reloadData();
}

void CHTGraph::reloadDataIfNeeded() {
    for (const auto& plot : std::vector<std::shared_ptr<CHTPlot>>(plots_)) plot->reloadDataIfNeeded();
}

void CHTGraph::layoutAndRenderInContext(gfx::Context& context) {
    reloadDataIfNeeded();
    for (const auto& axis : axesOf(axisSet())) axis->relabel();
    CHTBorderedLayer::layoutAndRenderInContext(context);
}

// ---- Events

template <class Offer>
bool CHTGraph::routeEvent(Offer offer) {
    // Copies: a handler may change the lists.
    auto plots = plots_;
    for (auto it = plots.rbegin(); it != plots.rend(); ++it)
        if (offer(static_cast<CHTResponder&>(**it))) return true;
    if (auto axes = axisSet(); axes && offer(static_cast<CHTResponder&>(*axes))) return true;
    if (auto frame = plotAreaFrame_; frame && offer(static_cast<CHTResponder&>(*frame))) return true;
    bool handled = false;
    auto plotSpaces = plotSpaces_;
    for (const auto& plotSpace : plotSpaces)
        if (offer(static_cast<CHTResponder&>(*plotSpace))) handled = true;
    return handled;
}

bool CHTGraph::pointingDeviceDownEvent(const CHTNativeEvent* event, gfx::Point interactionPoint) {
    return routeEvent([&](CHTResponder& r) { return r.pointingDeviceDownEvent(event, interactionPoint); });
}

bool CHTGraph::pointingDeviceDraggedEvent(const CHTNativeEvent* event, gfx::Point interactionPoint) {
    return routeEvent([&](CHTResponder& r) { return r.pointingDeviceDraggedEvent(event, interactionPoint); });
}

bool CHTGraph::pointingDeviceUpEvent(const CHTNativeEvent* event, gfx::Point interactionPoint) {
    return routeEvent([&](CHTResponder& r) { return r.pointingDeviceUpEvent(event, interactionPoint); });
}

bool CHTGraph::pointingDeviceCancelledEvent(const CHTNativeEvent* event) {
    return routeEvent([&](CHTResponder& r) { return r.pointingDeviceCancelledEvent(event); });
}

// ---- What the plot spaces ask

bool CHTGraph::hasPlotAreaFrame() const { return plotAreaFrame_ != nullptr; }

bool CHTGraph::hasPlotArea() const { return plotArea() != nullptr; }

gfx::Size CHTGraph::plotAreaBoundsSize() const {
    auto area = plotArea();
    return area ? area->bounds().size : gfx::Size();
}

bool CHTGraph::plotAreaContainsPoint(gfx::Point point) const {
    auto area = plotArea();
    return area && area->containsPoint(point);
}

gfx::Point CHTGraph::convertPointToPlotAreaFrame(gfx::Point graphPoint) const {
    if (!plotAreaFrame_) return graphPoint;
    return plotAreaFrame_->convertPointFrom(graphPoint, this);
}

bool CHTGraph::plotAreaFrameContainsPoint(gfx::Point point) const {
    return plotAreaFrame_ && plotAreaFrame_->containsPoint(point);
}

// ---- Archiving

namespace {

template <class T>
void encodeList(base::KeyedArchiver& coder, const std::vector<std::shared_ptr<T>>& list, const std::string& key) {
    coder.encodeInteger(static_cast<long long>(list.size()), key + ".count");
    for (std::size_t i = 0; i < list.size(); ++i)
        coder.encodeObject(list[i], base::format("%@[%u]", key, static_cast<unsigned>(i)));
}

template <class T>
std::vector<std::shared_ptr<T>> decodeList(base::KeyedUnarchiver& coder, const std::string& key) {
    std::vector<std::shared_ptr<T>> list;
    long long count = coder.decodeInteger(key + ".count");
    for (long long i = 0; i < count; ++i) {
        std::string itemKey = base::format("%@[%u]", key, static_cast<unsigned>(i));
        if (!coder.containsValueForKey(itemKey)) break;  // a damaged count
        if (auto item = coder.decodeObjectOfType<T>(itemKey)) list.push_back(item);
    }
    return list;
}

}  // namespace

void CHTGraph::encodeWithCoder(base::KeyedArchiver& coder) const {
    CHTBorderedLayer::encodeWithCoder(coder);
    coder.encodeObject(plotAreaFrame_, "CHTGraph.plotAreaFrame");
    encodeList(coder, plots_, "CHTGraph.plots");
    encodeList(coder, plotSpaces_, "CHTGraph.plotSpaces");
    if (title_) coder.encodeString(*title_, "CHTGraph.title");
    coder.encodeObject(titleTextStyle_, "CHTGraph.titleTextStyle");
    coder.encodeInteger(titlePlotAreaFrameAnchor_, "CHTGraph.titlePlotAreaFrameAnchor");
    encodeCHTPoint(coder, titleDisplacement_, "CHTGraph.titleDisplacement");
    coder.encodeObject(titleAnnotation_, "CHTGraph.titleAnnotation");
    coder.encodeObject(legend(), "CHTGraph.legend");
    coder.encodeObject(legendAnnotation_, "CHTGraph.legendAnnotation");
    coder.encodeInteger(legendAnchor_, "CHTGraph.legendAnchor");
    encodeCHTPoint(coder, legendDisplacement_, "CHTGraph.legendDisplacement");
}

std::shared_ptr<base::Coding> CHTGraph::initWithCoder(base::KeyedUnarchiver& coder) {
    CHTBorderedLayer::initWithCoder(coder);
    auto me = self();
    if (plotAreaFrame_) plotAreaFrame_->removeFromSuperlayer();
    plotAreaFrame_ = coder.decodeObjectOfType<CHTPlotAreaFrame>("CHTGraph.plotAreaFrame");
    if (plotAreaFrame_) {
        insertSublayer(plotAreaFrame_, 0);
        plotAreaFrame_->setGraph(me);
    }
    base::NotificationCenter::defaultCenter().removeObserver(this);
    plotSpaceObservations_.clear();
    plotSpaces_ = decodeList<CHTPlotSpace>(coder, "CHTGraph.plotSpaces");
    for (const auto& plotSpace : plotSpaces_) observePlotSpace(plotSpace);
    plots_ = decodeList<CHTPlot>(coder, "CHTGraph.plots");
    for (const auto& plot : plots_) {
        plot->setGraph(me);
        if (plotAreaFrame_) {
            if (auto group = plotAreaFrame_->plotGroup()) group->addPlot(plot);
        }
    }
    if (coder.containsValueForKey("CHTGraph.title")) title_ = coder.decodeString("CHTGraph.title");
    else title_.reset();
    auto style = coder.decodeObjectOfType<CHTTextStyle>("CHTGraph.titleTextStyle");
    titleTextStyle_ = style ? style->copy() : CHTTextStyle::textStyle();
    titlePlotAreaFrameAnchor_ = static_cast<int>(coder.decodeInteger("CHTGraph.titlePlotAreaFrameAnchor"));
    titleDisplacement_ = decodeCHTPoint(coder, "CHTGraph.titleDisplacement");
    titleAnnotation_ = coder.decodeObjectOfType<CHTLayerAnnotation>("CHTGraph.titleAnnotation");
    legendAnnotation_ = coder.decodeObjectOfType<CHTLayerAnnotation>("CHTGraph.legendAnnotation");
    legendAnchor_ = static_cast<int>(coder.decodeInteger("CHTGraph.legendAnchor"));
    legendDisplacement_ = decodeCHTPoint(coder, "CHTGraph.legendDisplacement");
    setNeedsDisplayOnBoundsChange(true);
    return nullptr;
}
