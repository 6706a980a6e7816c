#include "charts/CHTPlotArea.h"

#include <algorithm>

#include "charts/CHTAxis.h"
#include "charts/CHTAxisLabelGroup.h"
#include "charts/CHTAxisSet.h"
#include "charts/CHTCoderExtensions.h"
#include "charts/CHTGridLineGroup.h"
#include "charts/CHTPlotGroup.h"
#include "platform/base/Format.h"
#include "platform/base/Log.h"

CHTPlotArea::CHTPlotArea(const gfx::Rect& frame) : CHTAnnotationHostLayer(frame) {
    updateLayerOrder();
    setPlotGroup(std::make_shared<CHTPlotGroup>(frame));
    setNeedsDisplayOnBoundsChange(true);
}

CHTPlotArea::~CHTPlotArea() {
    if (axisSet_)
        for (const auto& axis : axisSet_->axes()) axis->setPlotArea(nullptr);
}

std::shared_ptr<CHTPlotArea> CHTPlotArea::self() { return std::static_pointer_cast<CHTPlotArea>(shared_from_this()); }

// ---- groups ----

template <class G>
void CHTPlotArea::setGroup(std::shared_ptr<G>& stored, const std::shared_ptr<G>& group, int layerType) {
    if (group == stored && !updatingLayers_) return;
    if (stored) stored->removeFromSuperlayer();
    stored = group;
    if (group) insertSublayer(group, std::min(indexForLayerType(layerType), sublayers().size()));
    setNeedsLayout();
}

void CHTPlotArea::setMinorGridLineGroup(const std::shared_ptr<CHTGridLineGroup>& group) {
    if (group == minorGridLineGroup_ && !updatingLayers_) return;
    if (group) {
        group->setPlotArea(self());
        group->setMajor(false);
    }
    setGroup(minorGridLineGroup_, group, CHTGraphLayerTypeMinorGridLines);
}

void CHTPlotArea::setMajorGridLineGroup(const std::shared_ptr<CHTGridLineGroup>& group) {
    if (group == majorGridLineGroup_ && !updatingLayers_) return;
    if (group) {
        group->setPlotArea(self());
        group->setMajor(true);
    }
    setGroup(majorGridLineGroup_, group, CHTGraphLayerTypeMajorGridLines);
}

void CHTPlotArea::setPlotGroup(const std::shared_ptr<CHTPlotGroup>& group) {
    setGroup(plotGroup_, group, CHTGraphLayerTypePlots);
}

void CHTPlotArea::setAxisLabelGroup(const std::shared_ptr<CHTAxisLabelGroup>& group) {
    setGroup(axisLabelGroup_, group, CHTGraphLayerTypeAxisLabels);
}

void CHTPlotArea::setAxisTitleGroup(const std::shared_ptr<CHTAxisLabelGroup>& group) {
    setGroup(axisTitleGroup_, group, CHTGraphLayerTypeAxisTitles);
}

void CHTPlotArea::setAxisSet(const std::shared_ptr<CHTAxisSet>& axisSet) {
    if (axisSet == axisSet_ && !updatingLayers_) return;
    if (updatingLayers_ && axisSet == axisSet_) {
        // Only moved to its new index.
        if (axisSet_) {
            axisSet_->removeFromSuperlayer();
            insertSublayer(axisSet_, std::min(indexForLayerType(CHTGraphLayerTypeAxisLines), sublayers().size()));
        }
        setNeedsLayout();
        return;
    }
    if (axisSet_) {
        for (const auto& axis : axisSet_->axes()) axis->setPlotArea(nullptr);
        axisSet_->removeFromSuperlayer();
    }
    axisSet_ = axisSet;
    updateAxisSetLayersForType(CHTGraphLayerTypeMajorGridLines);
    updateAxisSetLayersForType(CHTGraphLayerTypeMinorGridLines);
    updateAxisSetLayersForType(CHTGraphLayerTypeAxisLabels);
    updateAxisSetLayersForType(CHTGraphLayerTypeAxisTitles);
    if (axisSet_) {
        insertSublayer(axisSet_, std::min(indexForLayerType(CHTGraphLayerTypeAxisLines), sublayers().size()));
        auto me = self();
        for (const auto& axis : axisSet_->axes()) axis->setPlotArea(me);
    }
    setNeedsLayout();
}

// ---- fill and border ----

void CHTPlotArea::setFill(const std::shared_ptr<CHTFill>& fill) {
    if (fill == fill_) return;
    fill_ = fill ? fill->copy() : nullptr;
    setNeedsDisplay();
}

std::shared_ptr<CHTLineStyle> CHTPlotArea::borderLineStyle() const {
    return axisSet_ ? axisSet_->borderLineStyle() : nullptr;
}

void CHTPlotArea::setBorderLineStyle(const std::shared_ptr<const CHTLineStyle>& style) {
    if (axisSet_) axisSet_->setBorderLineStyle(style);
}

// ---- layer order ----

bool CHTPlotArea::isValidLayerOrder(const std::vector<int>& order) {
    if (order.size() > static_cast<std::size_t>(kCHTNumberOfLayerTypes)) return false;
    bool seen[kCHTNumberOfLayerTypes] = {};
    for (int type : order) {
        if (type < 0 || type >= kCHTNumberOfLayerTypes || seen[type]) return false;
        seen[type] = true;
    }
    return true;
}

void CHTPlotArea::setTopDownLayerOrder(const std::optional<std::vector<int>>& order) {
    if (order == topDownLayerOrder_) return;
    if (order && !isValidLayerOrder(*order)) {
        // A type out of range, repeated, or too many entries would write
        // past the six places of the order: keep the old one.
        base::log(
            base::format("%@: layer order refused (types must be distinct and 0 to 5, at most six)", description()));
        return;
    }
    topDownLayerOrder_ = order;
    updateLayerOrder();
}

void CHTPlotArea::updateLayerOrder() {
    std::array<int, kCHTNumberOfLayerTypes> order{0, 1, 2, 3, 4, 5};
    if (topDownLayerOrder_) {
        int k = 0;
        for (int type : *topDownLayerOrder_) {
            int target = kCHTNumberOfLayerTypes - 1 - k;
            if (target < 0) break;
            auto it = std::find(order.begin(), order.end(), type);
            if (it == order.end()) break;
            int from = static_cast<int>(it - order.begin());
            if (from != target) {
                // Take the type out; the types above it, up to the target,
                // move down by one.
                for (int i = from; i < target; ++i) order[i] = order[i + 1];
                order[target] = type;
            }
            ++k;
        }
    }
    bottomUpLayerOrder_ = order;
    updatingLayers_ = true;
    setMinorGridLineGroup(minorGridLineGroup_);
    setMajorGridLineGroup(majorGridLineGroup_);
    setAxisSet(axisSet_);
    setPlotGroup(plotGroup_);
    setAxisLabelGroup(axisLabelGroup_);
    setAxisTitleGroup(axisTitleGroup_);
    updatingLayers_ = false;
}

std::size_t CHTPlotArea::indexForLayerType(int layerType) const {
    std::size_t index = 0;
    for (int type : bottomUpLayerOrder_) {
        if (type == layerType) break;
        bool present = false;
        switch (type) {
        case CHTGraphLayerTypeMinorGridLines: present = minorGridLineGroup_ != nullptr; break;
        case CHTGraphLayerTypeMajorGridLines: present = majorGridLineGroup_ != nullptr; break;
        case CHTGraphLayerTypeAxisLines: present = axisSet_ != nullptr; break;
        case CHTGraphLayerTypePlots: present = plotGroup_ != nullptr; break;
        case CHTGraphLayerTypeAxisLabels: present = axisLabelGroup_ != nullptr; break;
        case CHTGraphLayerTypeAxisTitles: present = axisTitleGroup_ != nullptr; break;
        default: break;
        }
        if (present) ++index;
    }
    return index;
}

bool CHTPlotArea::axisNeedsLayerType(CHTAxis& axis, int layerType) {
    switch (layerType) {
    case CHTGraphLayerTypeMinorGridLines: return axis.minorGridLineStyle() != nullptr;
    case CHTGraphLayerTypeMajorGridLines: return axis.majorGridLineStyle() != nullptr;
    case CHTGraphLayerTypeAxisLabels: return !axis.axisLabels().empty();
    case CHTGraphLayerTypeAxisTitles: return axis.axisTitle() != nullptr;
    default: return false;
    }
}

std::size_t CHTPlotArea::sublayerIndexForAxis(const CHTAxis* axis, int layerType) const {
    std::size_t index = 0;
    if (!axisSet_) return 0;
    for (const auto& other : axisSet_->axes()) {
        if (other.get() == axis) break;
        if (axisNeedsLayerType(*other, layerType)) ++index;
    }
    return index;
}

void CHTPlotArea::updateAxisSetLayersForType(int layerType) {
    if (layerType == CHTGraphLayerTypeAxisLines || layerType == CHTGraphLayerTypePlots) return;
    bool needed = false;
    if (axisSet_)
        for (const auto& axis : axisSet_->axes())
            if (axisNeedsLayerType(*axis, layerType)) {
                needed = true;
                break;
            }
    if (needed) {
        setAxisSetLayersForType(layerType);
        return;
    }
    switch (layerType) {
    case CHTGraphLayerTypeMinorGridLines: setMinorGridLineGroup(nullptr); break;
    case CHTGraphLayerTypeMajorGridLines: setMajorGridLineGroup(nullptr); break;
    case CHTGraphLayerTypeAxisLabels: setAxisLabelGroup(nullptr); break;
    case CHTGraphLayerTypeAxisTitles: setAxisTitleGroup(nullptr); break;
    default: break;
    }
}

gfx::Rect CHTPlotArea::coverFrame() const {
    gfx::Rect cover = bounds();
    if (gfx::Layer* parent = superlayer()) {
        gfx::Point origin = convertPointTo(bounds().origin, parent);
        gfx::Size size = parent->bounds().size;
        cover = gfx::Rect(-origin.x + bounds().origin.x, -origin.y + bounds().origin.y, size.width, size.height);
    }
    return cover;
}

void CHTPlotArea::setAxisSetLayersForType(int layerType) {
    // A group made while the tree is being laid out must not wait for the
    // next layout to cover the frame: labels are placed in it at once.
    gfx::Rect frame = coverFrame();
    switch (layerType) {
    case CHTGraphLayerTypeMinorGridLines:
        if (!minorGridLineGroup_) setMinorGridLineGroup(std::make_shared<CHTGridLineGroup>(frame));
        break;
    case CHTGraphLayerTypeMajorGridLines:
        if (!majorGridLineGroup_) setMajorGridLineGroup(std::make_shared<CHTGridLineGroup>(frame));
        break;
    case CHTGraphLayerTypeAxisLabels:
        if (!axisLabelGroup_) setAxisLabelGroup(std::make_shared<CHTAxisLabelGroup>(frame));
        break;
    case CHTGraphLayerTypeAxisTitles:
        if (!axisTitleGroup_) setAxisTitleGroup(std::make_shared<CHTAxisLabelGroup>(frame));
        break;
    default: break;
    }
}

// ---- layout and drawing ----

void CHTPlotArea::layoutSublayers() {
    CHTAnnotationHostLayer::layoutSublayers();
    // The groups cover the plot area frame (the superlayer), so grid lines,
    // axes, labels and titles can draw outside the plot area.
    gfx::Rect cover = coverFrame();
    auto excluded = sublayersExcludedFromAutomaticLayout();
    for (const auto& sub : std::vector<std::shared_ptr<gfx::Layer>>(sublayers())) {
        if (excluded.count(sub.get())) continue;
        sub->setFrame(cover);
    }
    if (plotGroup_) plotGroup_->setFrame(gfx::Rect(0, 0, bounds().width(), bounds().height()));
}

void CHTPlotArea::renderAsVectorInContext(gfx::Context& context) {
    if (isHidden()) return;
    CHTAnnotationHostLayer::renderAsVectorInContext(context);
    if (fill_) fill_->fillRect(bounds(), context);
    if (!axisSet_) return;
    auto axes = axisSet_->axes();
    for (const auto& axis : axes) axis->drawBackgroundBandsInContext(context);
    for (const auto& axis : axes) axis->drawBackgroundLimitsInContext(context);
}

// ---- archiving ----

void CHTPlotArea::encodeWithCoder(base::KeyedArchiver& coder) const {
    CHTAnnotationHostLayer::encodeWithCoder(coder);
    coder.encodeObject(minorGridLineGroup_, "CHTPlotArea.minorGridLineGroup");
    coder.encodeObject(majorGridLineGroup_, "CHTPlotArea.majorGridLineGroup");
    coder.encodeObject(axisSet_, "CHTPlotArea.axisSet");
    coder.encodeObject(plotGroup_, "CHTPlotArea.plotGroup");
    coder.encodeObject(axisLabelGroup_, "CHTPlotArea.axisLabelGroup");
    coder.encodeObject(axisTitleGroup_, "CHTPlotArea.axisTitleGroup");
    coder.encodeObject(fill_, "CHTPlotArea.fill");
    if (topDownLayerOrder_) {
        base::Array order;
        for (int type : *topDownLayerOrder_) order.emplace_back(type);
        coder.encodeValue(base::Value(std::move(order)), "CHTPlotArea.topDownLayerOrder");
    }
}

std::shared_ptr<base::Coding> CHTPlotArea::initWithCoder(base::KeyedUnarchiver& coder) {
    CHTAnnotationHostLayer::initWithCoder(coder);
    // The decoded groups replace the ones made at construction.
    for (const auto& sub : std::vector<std::shared_ptr<gfx::Layer>>(sublayers()))
        if (sub == plotGroup_) sub->removeFromSuperlayer();
    minorGridLineGroup_ = coder.decodeObjectOfType<CHTGridLineGroup>("CHTPlotArea.minorGridLineGroup");
    majorGridLineGroup_ = coder.decodeObjectOfType<CHTGridLineGroup>("CHTPlotArea.majorGridLineGroup");
    axisSet_ = coder.decodeObjectOfType<CHTAxisSet>("CHTPlotArea.axisSet");
    plotGroup_ = coder.decodeObjectOfType<CHTPlotGroup>("CHTPlotArea.plotGroup");
    axisLabelGroup_ = coder.decodeObjectOfType<CHTAxisLabelGroup>("CHTPlotArea.axisLabelGroup");
    axisTitleGroup_ = coder.decodeObjectOfType<CHTAxisLabelGroup>("CHTPlotArea.axisTitleGroup");
    auto fill = coder.decodeObjectOfType<CHTFill>("CHTPlotArea.fill");
    fill_ = fill;
    topDownLayerOrder_.reset();
    base::Value order = coder.decodeValue("CHTPlotArea.topDownLayerOrder");
    if (const base::Array* entries = order.asArray()) {
        std::vector<int> types;
        for (const auto& entry : *entries) {
            if (types.size() > static_cast<std::size_t>(kCHTNumberOfLayerTypes)) break;
            types.push_back(static_cast<int>(entry.integerValue()));
        }
        if (isValidLayerOrder(types)) topDownLayerOrder_ = types;
    }
    updateLayerOrder();
    if (minorGridLineGroup_) minorGridLineGroup_->setPlotArea(self());
    if (majorGridLineGroup_) majorGridLineGroup_->setPlotArea(self());
    if (axisSet_) {
        auto me = self();
        for (const auto& axis : axisSet_->axes()) axis->setPlotArea(me);
    }
    return nullptr;
}

void CHTPlotArea::registerCodingClass() {
    base::KeyedUnarchiver::registerClass("CHTPlotArea", [] { return std::make_shared<CHTPlotArea>(); });
}
