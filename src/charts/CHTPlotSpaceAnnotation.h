#pragma once
// An annotation pinned to a point in data coordinates of a plot space; it
// follows every change of the plot space's mapping.
#include <memory>
#include <vector>

#include "charts/CHTAnnotation.h"
#include "charts/CHTPlotSpace.h"
#include "platform/base/NotificationCenter.h"

class CHTPlotSpaceAnnotation : public CHTAnnotation {
public:
    // For the unarchiver.
    CHTPlotSpaceAnnotation() = default;
    ~CHTPlotSpaceAnnotation() override;
    // Keeps the plot space and observes its mapping changes; a missing plot
    // space is an assertion failure.
    static std::shared_ptr<CHTPlotSpaceAnnotation> initWithPlotSpace(const std::shared_ptr<CHTPlotSpace>& plotSpace,
                                                                     const std::vector<base::Decimal>& anchorPlotPoint);

    const std::shared_ptr<CHTPlotSpace>& plotSpace() const { return plotSpace_; }
    // One number per coordinate of the plot space.
    const std::vector<base::Decimal>& anchorPlotPoint() const { return anchorPlotPoint_; }
    void setAnchorPlotPoint(const std::vector<base::Decimal>& point);

    // Skipped without a host, content, plot space or a point with a number
    // for each coordinate.
    void positionContentLayer() override;

    std::string classForCoder() const override { return "CHTPlotSpaceAnnotation"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

    static void registerCodingClass();

private:
    void observe();

    std::shared_ptr<CHTPlotSpace> plotSpace_;
    std::vector<base::Decimal> anchorPlotPoint_;
    // The observation of the plot space's mapping changes; 0 when there is
    // none (a fresh annotation has nothing to end).
    base::NotificationCenter::Token observation_ = 0;
};
