#pragma once
// A plot range with a fill: drawn behind the plots as a background band of
// an axis.
#include <memory>
#include <string>

#include "charts/CHTFill.h"
#include "charts/CHTPlotRange.h"
#include "platform/base/KeyedArchiver.h"

class CHTLimitBand : public base::Coding {
public:
    CHTLimitBand() = default;
    CHTLimitBand(std::shared_ptr<CHTPlotRange> range, std::shared_ptr<CHTFill> fill)
        : range_(std::move(range)), fill_(std::move(fill)) {}
    static std::shared_ptr<CHTLimitBand> limitBandWithRange(std::shared_ptr<CHTPlotRange> range,
                                                            std::shared_ptr<CHTFill> fill);

    const std::shared_ptr<CHTPlotRange>& range() const { return range_; }
    void setRange(std::shared_ptr<CHTPlotRange> range) { range_ = std::move(range); }
    const std::shared_ptr<CHTFill>& fill() const { return fill_; }
    void setFill(std::shared_ptr<CHTFill> fill) { fill_ = std::move(fill); }

    // Copies of the range and the fill.
    std::shared_ptr<CHTLimitBand> copy() const;
    // "<CHTLimitBand with range: ... and fill: ...>".
    std::string description() const;

    std::string classForCoder() const override { return "CHTLimitBand"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

    static void registerCodingClass();

private:
    std::shared_ptr<CHTPlotRange> range_;
    std::shared_ptr<CHTFill> fill_;
};
