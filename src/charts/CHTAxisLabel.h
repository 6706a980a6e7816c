#pragma once
// One label of an axis: a content layer (usually a text layer) standing at a
// tick location, pushed away from the axis by an offset, turned by a rotation
// and shifted along the axis by an alignment. The placement chooses the
// content's anchor point so that the side nearest the axis touches the
// offset point whatever the rotation.
//
// Labels compare equal by tick location, so a label set holds at most one
// label per location and can be searched with a probe label.
#include <cstddef>
#include <memory>
#include <set>
#include <string>

#include "charts/CHTLayer.h"
#include "charts/CHTTextStyle.h"
#include "charts/CHTUtilities.h"
#include "platform/base/KeyedArchiver.h"

// Label alignments along the axis.
inline constexpr int CHTAlignmentLeft = 0;
inline constexpr int CHTAlignmentCenter = 1;
inline constexpr int CHTAlignmentRight = 2;
inline constexpr int CHTAlignmentTop = 3;
inline constexpr int CHTAlignmentMiddle = 4;
inline constexpr int CHTAlignmentBottom = 5;

// Tick directions.
inline constexpr int CHTSignNone = 0;
inline constexpr int CHTSignPositive = 1;
inline constexpr int CHTSignNegative = -1;

class CHTAxisLabel : public base::Coding, public std::enable_shared_from_this<CHTAxisLabel> {
public:
    // For the unarchiver: no content, offset 20, alignment centre.
    CHTAxisLabel() = default;
    ~CHTAxisLabel() override = default;

    // nullptr for a nil layer; else offset 20, rotation 0, alignment 1, tick
    // location 0.
    static std::shared_ptr<CHTAxisLabel> initWithContentLayer(const std::shared_ptr<CHTLayer>& layer);
    // A new text layer of the text in the style.
    static std::shared_ptr<CHTAxisLabel> initWithText(const std::string& text,
                                                      const std::shared_ptr<CHTTextStyle>& style);

    const std::shared_ptr<CHTLayer>& contentLayer() const { return contentLayer_; }
    void setContentLayer(const std::shared_ptr<CHTLayer>& layer) { contentLayer_ = layer; }
    CGFloat offset() const { return offset_; }
    void setOffset(CGFloat offset) { offset_ = offset; }
    CGFloat rotation() const { return rotation_; }
    void setRotation(CGFloat rotation) { rotation_ = rotation; }
    int alignment() const { return alignment_; }
    void setAlignment(int alignment) { alignment_ = alignment; }
    const base::Decimal& tickLocation() const { return tickLocation_; }
    void setTickLocation(const base::Decimal& location) { tickLocation_ = location; }

    // Places the content layer at the point (plot area view coordinates),
    // offset along the coordinate in the tick direction. A coordinate other
    // than 0 or 1 or a direction other than -1, 0 or 1 raises
    // "NSInvalidArgumentException".
    virtual void positionRelativeToViewPoint(gfx::Point point, CHTCoordinate coordinate, int direction);
    // The same at the midpoint of the two points.
    void positionBetweenViewPoint(gfx::Point first, gfx::Point second, CHTCoordinate coordinate, int direction);

    // Same object, or an object of this class (or a subclass) with an equal
    // tick location.
    bool isEqual(const CHTAxisLabel* other) const;
    // The tick location as a positive double modulo 2^32 - 1 (0 for NaN).
    std::size_t hash() const;

    // "<CHTAxisLabel {content}>".
    virtual std::string description() const;

    std::string classForCoder() const override { return "CHTAxisLabel"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

    static void registerCodingClass();

protected:
    // The anchor point that puts the side of the content facing the angle on
    // the position.
    static gfx::Point anchorPointForAngle(CGFloat angle);

    std::shared_ptr<CHTLayer> contentLayer_;
    CGFloat offset_ = 20.0f;
    CGFloat rotation_ = 0;
    int alignment_ = CHTAlignmentCenter;
    base::Decimal tickLocation_ = base::Decimal::zero();
};

// Orders labels by tick location: the set of an axis's labels, with at most
// one label per location.
struct CHTAxisLabelLess {
    bool operator()(const std::shared_ptr<CHTAxisLabel>& a, const std::shared_ptr<CHTAxisLabel>& b) const {
        return a->tickLocation() < b->tickLocation();
    }
};
using CHTAxisLabelSet = std::set<std::shared_ptr<CHTAxisLabel>, CHTAxisLabelLess>;
