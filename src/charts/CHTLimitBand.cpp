#include "charts/CHTLimitBand.h"

#include "platform/base/Format.h"

std::shared_ptr<CHTLimitBand> CHTLimitBand::limitBandWithRange(std::shared_ptr<CHTPlotRange> range,
                                                               std::shared_ptr<CHTFill> fill) {
    return std::make_shared<CHTLimitBand>(std::move(range), std::move(fill));
}

std::shared_ptr<CHTLimitBand> CHTLimitBand::copy() const {
    return std::make_shared<CHTLimitBand>(range_ ? range_->copy() : nullptr, fill_ ? fill_->copy() : nullptr);
}

std::string CHTLimitBand::description() const {
    return base::format(
        "<%@ with range: %@ and fill: %@>", base::format("CHTLimitBand %p", static_cast<const void*>(this)),
        range_ ? range_->description() : std::string("(null)"), fill_ ? fill_->classForCoder() : std::string("(null)"));
}

void CHTLimitBand::encodeWithCoder(base::KeyedArchiver& coder) const {
    coder.encodeObject(range_, "CHTLimitBand.range");
    coder.encodeObject(fill_, "CHTLimitBand.fill");
}

std::shared_ptr<base::Coding> CHTLimitBand::initWithCoder(base::KeyedUnarchiver& coder) {
    range_ = coder.decodeObjectOfType<CHTPlotRange>("CHTLimitBand.range");
    fill_ = coder.decodeObjectOfType<CHTFill>("CHTLimitBand.fill");
    return nullptr;
}

void CHTLimitBand::registerCodingClass() {
    base::KeyedUnarchiver::registerClass("CHTLimitBand", [] { return std::make_shared<CHTLimitBand>(); });
}
