#pragma once
// The view that shows a graph: either as a sublayer tree of its own layer,
// or collapsed into its own drawing (the graph rendered in vector form,
// redrawn whenever the graph says it is stale). One-finger touches become
// the graph's pointing-device events; a two-finger pinch scales every plot
// space that allows user interaction about the pinch point.
//
// Make it with create(): the pinch recognizer needs the finished view.
#include <memory>

#include "platform/base/KeyedArchiver.h"
#include "platform/ui/View.h"

class CHTGraph;
struct CHTNativeEvent;

namespace ui {
class PinchGestureRecognizer;
}

class CHTGraphHostingView : public ui::View, public base::Coding {
public:
    // A hosting view with no graph, not collapsed, clear, with pinch scaling.
    static std::shared_ptr<CHTGraphHostingView> create(ui::Rect frame = ui::Rect());

    explicit CHTGraphHostingView(ui::Rect frame);
    ~CHTGraphHostingView() override;
    std::string className() const override { return "CHTGraphHostingView"; }

    const std::shared_ptr<CHTGraph>& hostedGraph() const { return hostedGraph_; }
    // The graph takes the screen's scale and the view's bounds as its frame.
    void setHostedGraph(const std::shared_ptr<CHTGraph>& graph);
    bool collapsesLayers() const { return collapsesLayers_; }
    void setCollapsesLayers(bool collapses);
    bool allowPinchScaling() const { return allowPinchScaling_; }
    // Adds or removes the pinch recognizer (nothing when the platform has
    // none).
    void setAllowPinchScaling(bool allow);
    // Held by the view's recognizer list.
    std::shared_ptr<ui::PinchGestureRecognizer> pinchGestureRecognizer() const {
        return pinchGestureRecognizer_.lock();
    }

    void setFrame(ui::Rect frame) override;
    void setBounds(ui::Rect bounds) override;
    // Collapsed: the graph laid out and rendered y-up into the view's bounds.
    void drawRect(gfx::Context& context, ui::Rect rect) override;

    // One finger down is a down event; moves, ends and cancels are passed on.
    void touchesBegan(const ui::TouchSet& touches, const ui::Event* event) override;
    void touchesMoved(const ui::TouchSet& touches, const ui::Event* event) override;
    void touchesEnded(const ui::TouchSet& touches, const ui::Event* event) override;
    void touchesCancelled(const ui::TouchSet& touches, const ui::Event* event) override;

    // Scales by the change since the last callback, then resets the scale.
    void handlePinchGesture(ui::PinchGestureRecognizer& recognizer);
    // Asks for the view to be drawn again.
    void graphNeedsRedraw();
    // While collapsed, follows the graph's redraw requests; else nothing.
    void updateNotifications();

    // Archives keep the graph and the two switches (not the view's geometry).
    std::string classForCoder() const override { return "CHTGraphHostingView"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;
    static void registerCodingClass();

    // A point of the view (y down) in the hosted graph's coordinates (y up).
    gfx::Point graphPointForViewPoint(ui::Point viewPoint) const;

private:
    void commonInit();
    void addGraphLayer();
    CHTNativeEvent nativeEvent(const ui::TouchSet& touches, const ui::Event* event) const;
    // The view point of one of the event's touches for this view.
    ui::Point viewPointForTouches(const ui::TouchSet& touches, const ui::Event* event) const;

    std::shared_ptr<CHTGraph> hostedGraph_;
    bool collapsesLayers_ = false;
    bool allowPinchScaling_ = false;
    std::weak_ptr<ui::PinchGestureRecognizer> pinchGestureRecognizer_;
};
