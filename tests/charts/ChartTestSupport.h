#pragma once
// Helpers shared by the chart tests: an assertion handler that records the
// failures it is given (and throws, as the default one does), installed for
// the scope of a test, and a stand-in for the graph of a plot space.
#include <memory>
#include <string>
#include <vector>

#include "charts/CHTPlotArea.h"
#include "charts/CHTPlotSpace.h"
#include "platform/base/Decimal.h"
#include "platform/base/Exception.h"

namespace charttest {

struct Failure {
    std::string method;
    std::string file;
    std::string description;
};

class RecordingAssertionHandler : public base::AssertionHandler {
public:
    explicit RecordingAssertionHandler(bool throws) : throws_(throws) {}
    void handleFailureInMethod(const std::string& method, const void*, const std::string& file, int,
                               const std::string& description) override {
        failures.push_back({method, file, description});
        if (throws_) throw base::Exception("NSInternalInconsistencyException", description);
    }
    void handleFailureInFunction(const std::string& function, const std::string& file, int,
                                 const std::string& description) override {
        failures.push_back({function, file, description});
        if (throws_) throw base::Exception("NSInternalInconsistencyException", description);
    }
    std::vector<Failure> failures;

private:
    bool throws_;
};

// Installs a recording handler for its lifetime.
class ScopedAssertionRecorder {
public:
    explicit ScopedAssertionRecorder(bool throws = true)
        : handler_(std::make_shared<RecordingAssertionHandler>(throws)),
          previous_(base::AssertionHandler::setCurrent(handler_)) {}
    ~ScopedAssertionRecorder() { base::AssertionHandler::setCurrent(previous_); }
    const std::vector<Failure>& failures() const { return handler_->failures; }

private:
    std::shared_ptr<RecordingAssertionHandler> handler_;
    std::shared_ptr<base::AssertionHandler> previous_;
};

// A graph whose plot area frame sits at (10, 20) in the graph, with a plot
// area of the given size filling it. With a real plot area set, it reports
// that layer and its bounds' size instead.
class FakeGraph : public CHTPlotSpaceGraph {
public:
    explicit FakeGraph(gfx::Size size) : size(size) {}
    explicit FakeGraph(std::shared_ptr<CHTPlotArea> area) : area(std::move(area)) {}
    bool hasPlotAreaFrame() const override { return hasFrame; }
    bool hasPlotArea() const override { return hasArea; }
    gfx::Size plotAreaBoundsSize() const override { return area ? area->bounds().size : size; }
    bool plotAreaContainsPoint(gfx::Point p) const override { return gfx::Rect({}, plotAreaBoundsSize()).contains(p); }
    gfx::Point convertPointToPlotAreaFrame(gfx::Point p) const override { return {p.x - 10, p.y - 20}; }
    bool plotAreaFrameContainsPoint(gfx::Point p) const override {
        return gfx::Rect({}, plotAreaBoundsSize()).contains(p);
    }
    std::shared_ptr<CHTPlotArea> plotArea() const override { return hasArea ? area : nullptr; }

    gfx::Size size;
    std::shared_ptr<CHTPlotArea> area;
    bool hasFrame = true;
    bool hasArea = true;
};

inline base::Decimal D(const char* text) { return base::Decimal::fromString(text); }

}  // namespace charttest
