#pragma once
// An immutable colour gradient: colour stops ordered by position in [0, 1],
// a blending mode (linear RGB, or HSV with the hue rising or falling) and a
// shape (axial at an angle, or radial). Adding or removing stops, or changing
// the blending mode or alpha, gives a new gradient; angle and type are set in
// place. Draws itself as a shading into a rectangle or the current path.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "charts/CHTColor.h"
#include "charts/CHTColorSpace.h"
#include "charts/CHTUtilities.h"
#include "platform/base/KeyedArchiver.h"
#include "platform/gfx/Context.h"

// Blending modes.
using CHTGradientBlendingMode = int;
inline constexpr CHTGradientBlendingMode CHTLinearBlendingMode = 0;
inline constexpr CHTGradientBlendingMode CHTChromaticBlendingMode = 1;
inline constexpr CHTGradientBlendingMode CHTInverseChromaticBlendingMode = 2;

// Shapes.
using CHTGradientType = int;
inline constexpr CHTGradientType CHTGradientTypeAxial = 0;
inline constexpr CHTGradientType CHTGradientTypeRadial = 1;

// One colour stop.
struct _CHTGradientElement {
    _CHTRGBAColor color;
    CGFloat position = 0;
};

class CHTGradient : public base::Coding {
public:
    // Generic RGB space, no stops, linear blending, angle 0, axial.
    CHTGradient();

    static std::shared_ptr<CHTGradient> gradientWithBeginningColor(const std::shared_ptr<CHTColor>& begin,
                                                                   const std::shared_ptr<CHTColor>& end);
    static std::shared_ptr<CHTGradient> gradientWithBeginningColor(const std::shared_ptr<CHTColor>& begin,
                                                                   const std::shared_ptr<CHTColor>& end,
                                                                   CGFloat beginningPosition, CGFloat endingPosition);

    // Presets.
    static std::shared_ptr<CHTGradient> aquaSelectedGradient();
    static std::shared_ptr<CHTGradient> aquaNormalGradient();
    static std::shared_ptr<CHTGradient> aquaPressedGradient();
    static std::shared_ptr<CHTGradient> unifiedSelectedGradient();
    static std::shared_ptr<CHTGradient> unifiedNormalGradient();
    static std::shared_ptr<CHTGradient> unifiedPressedGradient();
    static std::shared_ptr<CHTGradient> unifiedDarkGradient();
    static std::shared_ptr<CHTGradient> sourceListSelectedGradient();
    static std::shared_ptr<CHTGradient> sourceListUnselectedGradient();
    static std::shared_ptr<CHTGradient> rainbowGradient();
    static std::shared_ptr<CHTGradient> hydrogenSpectrumGradient();

    // Derived gradients: copies with one change.
    std::shared_ptr<CHTGradient> addColorStop(const std::shared_ptr<CHTColor>& color, CGFloat position) const;
    // Raise "NSRangeException" when there is no such stop.
    std::shared_ptr<CHTGradient> removeColorStopAtIndex(unsigned index) const;
    std::shared_ptr<CHTGradient> removeColorStopAtPosition(CGFloat position) const;
    std::shared_ptr<CHTGradient> gradientWithBlendingMode(CHTGradientBlendingMode mode) const;
    std::shared_ptr<CHTGradient> gradientWithAlphaComponent(CGFloat alpha) const;

    CGFloat angle() const { return angle_; }
    void setAngle(CGFloat angle) { angle_ = angle; }
    CHTGradientType gradientType() const { return gradientType_; }
    void setGradientType(CHTGradientType type) { gradientType_ = type; }
    CHTGradientBlendingMode blendingMode() const { return blendingMode_; }
    // Chooses the evaluator; an unknown mode leaves none (nothing is drawn).
    void setBlendingMode(CHTGradientBlendingMode mode);
    const std::shared_ptr<CHTColorSpace>& colorspace() const { return colorspace_; }
    void setColorspace(const std::shared_ptr<CHTColorSpace>& space);

    // The stop's colour; raises "NSRangeException" for a missing index.
    gfx::Color newColorStopAtIndex(unsigned index) const;
    // The gradient evaluated at the position, not premultiplied.
    gfx::Color newColorAtPosition(CGFloat position) const;

    // The stop list. A missing element reads all 0 with position NaN.
    std::size_t elementCount() const { return elements_.size(); }
    const _CHTGradientElement* elementAtIndex(std::size_t index) const;
    // Inserted after the last stop whose position is not above the new one.
    void addElement(const _CHTGradientElement& element);
    _CHTGradientElement removeElementAtIndex(std::size_t index);
    _CHTGradientElement removeElementAtPosition(CGFloat position);
    void removeAllElements();

    // The evaluator of the blending mode: (red, green, blue, alpha) with the
    // colour premultiplied by alpha; nullopt without an evaluator.
    std::optional<std::array<CGFloat, 4>> evaluate(CGFloat position) const;

    // Drawing.
    void fillRect(const gfx::Rect& rect, gfx::Context& context) const;
    void fillPathInContext(gfx::Context& context) const;
    void drawSwatchInRect(const gfx::Rect& rect, gfx::Context& context) const { fillRect(rect, context); }
    // The shadings for a rectangle; nullopt when there is nothing to draw.
    std::optional<gfx::Shading> newAxialGradientInRect(const gfx::Rect& rect) const;
    // Scales the context so that the circle becomes an ellipse of the rect.
    std::optional<gfx::Shading> newRadialGradientInRect(const gfx::Rect& rect, gfx::Context& context) const;

    bool isEqual(const base::Coding* other) const;
    std::uint64_t hash() const;
    std::shared_ptr<CHTGradient> copy() const;

    std::string classForCoder() const override { return "CHTGradient"; }
    void encodeWithCoder(base::KeyedArchiver& coder) const override;
    std::shared_ptr<base::Coding> initWithCoder(base::KeyedUnarchiver& coder) override;

private:
    std::optional<gfx::ShadingFunction> shadingFunction() const;
    // The shading function sampled (none without an evaluator), kept until
    // the stops or the blending mode change.
    std::shared_ptr<const gfx::ShadingRamp> ramp() const;
    // The shading of the gradient's type over the rectangle, with the ramp
    // (a radial one scales the context).
    std::optional<gfx::Shading> newShadingForRect(const gfx::Rect& rect, gfx::Context& context) const;
    void addStop(CGFloat r, CGFloat g, CGFloat b, CGFloat a, CGFloat position);

    std::shared_ptr<CHTColorSpace> colorspace_;
    std::vector<_CHTGradientElement> elements_;
    CHTGradientBlendingMode blendingMode_ = CHTLinearBlendingMode;
    bool hasEvaluator_ = true;
    CGFloat angle_ = 0;
    CHTGradientType gradientType_ = CHTGradientTypeAxial;
    // What drawing samples: the stops as a colour function reads them, and
    // the function sampled; dropped when the stops or the blending mode
    // change.
    mutable std::shared_ptr<const CHTGradient> snapshot_;
    mutable std::shared_ptr<const gfx::ShadingRamp> ramp_;
    void dropSampling() const {
        snapshot_.reset();
        ramp_.reset();
    }
};

// Colour conversions of the hue blending: hue in degrees (NaN for a grey),
// saturation and value in [0, 1].
_CHTRGBAColor gradientHsvToRgb(CGFloat hue, CGFloat saturation, CGFloat value, CGFloat alpha = 1);
std::array<CGFloat, 3> gradientRgbToHsv(CGFloat red, CGFloat green, CGFloat blue);
