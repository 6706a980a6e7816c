#include "charts/CHTGraphHostingView.h"

#include "charts/CHTGraph.h"
#include "charts/CHTNativeEvent.h"
#include "charts/CHTPlotArea.h"
#include "charts/CHTPlotAreaFrame.h"
#include "platform/base/NotificationCenter.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Layer.h"
#include "platform/ui/Application.h"
#include "platform/ui/GestureRecognizer.h"

std::shared_ptr<CHTGraphHostingView> CHTGraphHostingView::create(ui::Rect frame) {
    auto view = std::make_shared<CHTGraphHostingView>(frame);
    view->commonInit();
    return view;
}

CHTGraphHostingView::CHTGraphHostingView(ui::Rect frame) : ui::View(frame) {}

CHTGraphHostingView::~CHTGraphHostingView() { base::NotificationCenter::defaultCenter().removeObserver(this); }

void CHTGraphHostingView::commonInit() {
    hostedGraph_.reset();
    collapsesLayers_ = false;
    setBackgroundColor(gfx::Color::clear());
    setOpaque(false);
    setAllowPinchScaling(true);
    // The graph's y axis points up: the view's layer shows it flipped.
    layer()->setSublayerTransform(gfx::Transform3D::makeScale(1, -1, 1));
}

// ---- Graph and modes

void CHTGraphHostingView::addGraphLayer() {
    if (!hostedGraph_) return;
    // The view's own bounds: its layer's are brought up to date only when
    // the screen is drawn.
    hostedGraph_->setFrame(bounds());
    layer()->addSublayer(hostedGraph_);
}

void CHTGraphHostingView::setHostedGraph(const std::shared_ptr<CHTGraph>& graph) {
    if (graph == hostedGraph_) return;
    if (hostedGraph_) hostedGraph_->removeFromSuperlayer();
    hostedGraph_ = graph;
    if (hostedGraph_) hostedGraph_->setContentsScale(ui::Screen::mainScreen().scale());
    if (collapsesLayers_) setNeedsDisplay();
    else addGraphLayer();
    updateNotifications();
}

void CHTGraphHostingView::setCollapsesLayers(bool collapses) {
    if (collapses == collapsesLayers_) return;
    collapsesLayers_ = collapses;
    if (collapsesLayers_) {
        if (hostedGraph_) hostedGraph_->removeFromSuperlayer();
        setNeedsDisplay();
    } else {
        addGraphLayer();
    }
    updateNotifications();
}

void CHTGraphHostingView::updateNotifications() {
    auto& center = base::NotificationCenter::defaultCenter();
    center.removeObserver(this);
    if (!collapsesLayers_ || !hostedGraph_) return;
    // The observation ends before the view goes (destructor), so the raw
    // pointer is never called dangling.
    center.addObserver(this, CHTGraphNeedsRedrawNotification, hostedGraph_->notificationSender(),
                       [this](const base::Notification&) { graphNeedsRedraw(); });
}

void CHTGraphHostingView::graphNeedsRedraw() { setNeedsDisplay(); }

void CHTGraphHostingView::setFrame(ui::Rect frame) {
    ui::View::setFrame(frame);
    if (!hostedGraph_) return;
    hostedGraph_->setNeedsLayout();
    if (collapsesLayers_) setNeedsDisplay();
    else hostedGraph_->setFrame(bounds());
}

void CHTGraphHostingView::setBounds(ui::Rect bounds) {
    ui::View::setBounds(bounds);
    if (!hostedGraph_) return;
    hostedGraph_->setNeedsLayout();
    if (collapsesLayers_) setNeedsDisplay();
}

void CHTGraphHostingView::drawRect(gfx::Context& context, ui::Rect rect) {
    (void)rect;
    if (!collapsesLayers_ || !hostedGraph_) return;
    ui::Rect b = bounds();
    context.translate(0, b.height());
    context.scale(1, -1);
    hostedGraph_->setFrame(b);
    hostedGraph_->layoutAndRenderInContext(context);
}

// ---- Touches

gfx::Point CHTGraphHostingView::graphPointForViewPoint(ui::Point p) const {
    if (collapsesLayers_) return gfx::Point(p.x, frame().height() - p.y);
    // The layer's flip turns the view's bounds upside down about their middle.
    ui::Rect b = bounds();
    gfx::Point layerPoint(p.x, b.minY() + b.maxY() - p.y);
    if (!hostedGraph_) return layerPoint;
    gfx::Rect graphFrame = hostedGraph_->frame();
    gfx::Rect graphBounds = hostedGraph_->bounds();
    return gfx::Point(layerPoint.x - graphFrame.x() + graphBounds.x(), layerPoint.y - graphFrame.y() + graphBounds.y());
}

ui::Point CHTGraphHostingView::viewPointForTouches(const ui::TouchSet& touches, const ui::Event* event) const {
    ui::TouchSet mine = event ? event->touchesForView(this) : ui::TouchSet{};
    if (mine.empty()) mine = touches;
    if (mine.empty()) return ui::Point();
    return mine.front()->locationInView(this);
}

CHTNativeEvent CHTGraphHostingView::nativeEvent(const ui::TouchSet& touches, const ui::Event* event) const {
    CHTNativeEvent native;
    native.event = event;
    native.touches = event ? event->touchesForView(this) : touches;
    if (native.touches.empty()) native.touches = touches;
    return native;
}

void CHTGraphHostingView::touchesBegan(const ui::TouchSet& touches, const ui::Event* event) {
    // A touch that begins with more than one finger down is a gesture.
    if (event && event->allTouches().size() > 1) return;
    if (!hostedGraph_) return;
    CHTNativeEvent native = nativeEvent(touches, event);
    hostedGraph_->pointingDeviceDownEvent(&native, graphPointForViewPoint(viewPointForTouches(touches, event)));
}

void CHTGraphHostingView::touchesMoved(const ui::TouchSet& touches, const ui::Event* event) {
    if (!hostedGraph_) return;
    CHTNativeEvent native = nativeEvent(touches, event);
    hostedGraph_->pointingDeviceDraggedEvent(&native, graphPointForViewPoint(viewPointForTouches(touches, event)));
}

void CHTGraphHostingView::touchesEnded(const ui::TouchSet& touches, const ui::Event* event) {
    if (!hostedGraph_) return;
    CHTNativeEvent native = nativeEvent(touches, event);
    hostedGraph_->pointingDeviceUpEvent(&native, graphPointForViewPoint(viewPointForTouches(touches, event)));
}

void CHTGraphHostingView::touchesCancelled(const ui::TouchSet& touches, const ui::Event* event) {
    if (!hostedGraph_) return;
    CHTNativeEvent native = nativeEvent(touches, event);
    hostedGraph_->pointingDeviceCancelledEvent(&native);
}

// ---- Pinch

void CHTGraphHostingView::setAllowPinchScaling(bool allow) {
    if (allow == allowPinchScaling_) return;
    allowPinchScaling_ = allow;
    if (allow) {
        if (!ui::isClassAvailable("UIPinchGestureRecognizer")) return;
        std::weak_ptr<ui::View> weakView = weak_from_this();
        auto recognizer = std::make_shared<ui::PinchGestureRecognizer>([weakView](ui::GestureRecognizer& r) {
            auto view = std::dynamic_pointer_cast<CHTGraphHostingView>(weakView.lock());
            auto pinch = dynamic_cast<ui::PinchGestureRecognizer*>(&r);
            if (view && pinch) view->handlePinchGesture(*pinch);
        });
        addGestureRecognizer(recognizer);
        pinchGestureRecognizer_ = recognizer;
    } else {
        if (auto recognizer = pinchGestureRecognizer_.lock()) removeGestureRecognizer(recognizer);
        pinchGestureRecognizer_.reset();
    }
}

void CHTGraphHostingView::handlePinchGesture(ui::PinchGestureRecognizer& recognizer) {
    if (hostedGraph_) {
        gfx::Point graphPoint = graphPointForViewPoint(recognizer.locationInView(this));
        gfx::Point plotAreaPoint = graphPoint;
        if (auto area = hostedGraph_->plotArea())
            plotAreaPoint = area->convertPointFrom(graphPoint, hostedGraph_.get());
        CGFloat scale = recognizer.scale();
        for (const auto& plotSpace : hostedGraph_->allPlotSpaces())
            if (plotSpace->allowsUserInteraction()) plotSpace->scaleBy(scale, plotAreaPoint);
    }
    // Each callback applies only the change since the last one.
    recognizer.setScale(1.0);
}

// ---- Archiving

void CHTGraphHostingView::encodeWithCoder(base::KeyedArchiver& coder) const {
    coder.encodeBool(collapsesLayers_, "CHTGraphHostingView.collapsesLayers");
    coder.encodeObject(hostedGraph_, "CHTGraphHostingView.hostedGraph");
    coder.encodeBool(allowPinchScaling_, "CHTGraphHostingView.allowPinchScaling");
}

std::shared_ptr<base::Coding> CHTGraphHostingView::initWithCoder(base::KeyedUnarchiver& coder) {
    setCollapsesLayers(coder.decodeBool("CHTGraphHostingView.collapsesLayers"));
    setHostedGraph(coder.decodeObjectOfType<CHTGraph>("CHTGraphHostingView.hostedGraph"));
    setAllowPinchScaling(coder.decodeBool("CHTGraphHostingView.allowPinchScaling"));
    return nullptr;
}

void CHTGraphHostingView::registerCodingClass() {
    base::KeyedUnarchiver::registerClass("CHTGraphHostingView", [] { return create(); });
}
