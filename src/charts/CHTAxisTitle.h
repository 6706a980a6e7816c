#pragma once
// The label of an axis title. Its rotation starts as not-a-number, meaning
// the default for its axis: a quarter turn for the title of a vertical axis
// (it reads upwards), none otherwise.
#include <limits>

#include "charts/CHTAxisLabel.h"

class CHTAxisTitle : public CHTAxisLabel {
public:
    CHTAxisTitle() { rotation_ = std::numeric_limits<CGFloat>::quiet_NaN(); }

    // nullptr for a nil layer; else as a label, with the rotation NaN.
    static std::shared_ptr<CHTAxisTitle> initWithContentLayer(const std::shared_ptr<CHTLayer>& layer);
    static std::shared_ptr<CHTAxisTitle> initWithText(const std::string& text,
                                                      const std::shared_ptr<CHTTextStyle>& style);

    // Centred on the point, offset along the coordinate (any coordinate but 0
    // counts as 1). A direction other than -1, 0 or 1 raises "CHTException".
    void positionRelativeToViewPoint(gfx::Point point, CHTCoordinate coordinate, int direction) override;

    std::string classForCoder() const override { return "CHTAxisTitle"; }

    static void registerCodingClass();
};
