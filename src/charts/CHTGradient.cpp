#include "charts/CHTGradient.h"

#include <cmath>
#include <limits>
#include <optional>

#include "charts/CHTCoderExtensions.h"

namespace {

constexpr CGFloat kPi = 3.14159265358979323846f;

_CHTGradientElement missingElement() {
    _CHTGradientElement e;
    e.position = std::numeric_limits<CGFloat>::quiet_NaN();
    return e;
}

_CHTGradientElement elementOf(const gfx::Color& color, CGFloat position) {
    _CHTGradientElement e;
    e.color = CHTRGBAColorFromCGColor(color);
    e.position = position;
    return e;
}

std::shared_ptr<CHTGradient> grayPreset(std::initializer_list<std::pair<CGFloat, CGFloat>> stops) {
    auto g = std::make_shared<CHTGradient>();
    for (auto [gray, position] : stops) {
        _CHTGradientElement e;
        e.color = {gray, gray, gray, 1};
        e.position = position;
        g->addElement(e);
    }
    return g;
}

CGFloat mix(CGFloat a, CGFloat b, CGFloat t) { return a + (b - a) * t; }

}  // namespace

_CHTRGBAColor gradientHsvToRgb(CGFloat hue, CGFloat saturation, CGFloat value, CGFloat alpha) {
    CGFloat h = std::fmod(hue, 360.0f) / 60.0f;
    if (!std::isfinite(h)) h = 0;
    int i = static_cast<int>(std::floor(h)) % 6;
    if (i < 0) i += 6;
    CGFloat f = h - std::floor(h);
    CGFloat v = value, s = saturation;
    CGFloat p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    switch (i) {
    case 0: return {v, t, p, alpha};
    case 1: return {q, v, p, alpha};
    case 2: return {p, v, t, alpha};
    case 3: return {p, q, v, alpha};
    case 4: return {t, p, v, alpha};
    default: return {v, p, q, alpha};
    }
}

std::array<CGFloat, 3> gradientRgbToHsv(CGFloat red, CGFloat green, CGFloat blue) {
    CGFloat max = std::max({red, green, blue});
    CGFloat min = std::min({red, green, blue});
    CGFloat hue;
    if (max == min) hue = std::numeric_limits<CGFloat>::quiet_NaN();  // a grey has no hue
    else if (max == red) {
        hue = 60 * (green - blue) / (max - min);
        if (green < blue) hue += 360;
    } else if (max == green) hue = 60 * (blue - red) / (max - min) + 120;
    else hue = 60 * (red - green) / (max - min) + 240;
    CGFloat saturation = max == 0 ? 0 : 1 - min / max;
    return {hue, saturation, max};
}

CHTGradient::CHTGradient() : colorspace_(CHTColorSpace::genericRGBSpace()) { setBlendingMode(CHTLinearBlendingMode); }

std::shared_ptr<CHTGradient> CHTGradient::gradientWithBeginningColor(const std::shared_ptr<CHTColor>& begin,
                                                                     const std::shared_ptr<CHTColor>& end) {
    return gradientWithBeginningColor(begin, end, 0, 1);
}

std::shared_ptr<CHTGradient> CHTGradient::gradientWithBeginningColor(const std::shared_ptr<CHTColor>& begin,
                                                                     const std::shared_ptr<CHTColor>& end,
                                                                     CGFloat beginningPosition,
                                                                     CGFloat endingPosition) {
    auto g = std::make_shared<CHTGradient>();
    g->addElement(begin ? elementOf(begin->cgColor(), beginningPosition) : missingElement());
    g->addElement(end ? elementOf(end->cgColor(), endingPosition) : missingElement());
    return g;
}

void CHTGradient::addStop(CGFloat r, CGFloat g, CGFloat b, CGFloat a, CGFloat position) {
    _CHTGradientElement e;
    e.color = {r, g, b, a};
    e.position = position;
    addElement(e);
}

std::shared_ptr<CHTGradient> CHTGradient::aquaSelectedGradient() {
    auto g = std::make_shared<CHTGradient>();
    g->addStop(0.58f, 0.86f, 0.98f, 1, 0);
    g->addStop(0.42f, 0.68f, 0.90f, 1, 0.5f);
    g->addStop(0.64f, 0.80f, 0.94f, 1, 0.5f);
    g->addStop(0.56f, 0.70f, 0.90f, 1, 1);
    return g;
}

std::shared_ptr<CHTGradient> CHTGradient::aquaNormalGradient() {
    return grayPreset({{0.95f, 0}, {0.83f, 0.5f}, {0.95f, 0.5f}, {0.92f, 1}});
}

std::shared_ptr<CHTGradient> CHTGradient::aquaPressedGradient() {
    return grayPreset({{0.80f, 0}, {0.64f, 0.5f}, {0.80f, 0.5f}, {0.77f, 1}});
}

std::shared_ptr<CHTGradient> CHTGradient::unifiedSelectedGradient() { return grayPreset({{0.85f, 0}, {0.95f, 1}}); }
std::shared_ptr<CHTGradient> CHTGradient::unifiedNormalGradient() { return grayPreset({{0.75f, 0}, {0.90f, 1}}); }
std::shared_ptr<CHTGradient> CHTGradient::unifiedPressedGradient() { return grayPreset({{0.60f, 0}, {0.75f, 1}}); }
std::shared_ptr<CHTGradient> CHTGradient::unifiedDarkGradient() { return grayPreset({{0.68f, 0}, {0.83f, 1}}); }

std::shared_ptr<CHTGradient> CHTGradient::sourceListSelectedGradient() {
    auto g = std::make_shared<CHTGradient>();
    g->addStop(0.06f, 0.37f, 0.85f, 1, 0);
    g->addStop(0.30f, 0.60f, 0.92f, 1, 1);
    return g;
}

std::shared_ptr<CHTGradient> CHTGradient::sourceListUnselectedGradient() {
    return grayPreset({{0.43f, 0}, {0.60f, 1}});
}

std::shared_ptr<CHTGradient> CHTGradient::rainbowGradient() {
    auto g = std::make_shared<CHTGradient>();
    g->addStop(1, 0, 0, 1, 0);
    g->addStop(0.54f, 0, 1, 1, 1);
    g->setBlendingMode(CHTChromaticBlendingMode);
    return g;
}

std::shared_ptr<CHTGradient> CHTGradient::hydrogenSpectrumGradient() {
    struct Line {
        CGFloat centre, halfWidth, hue;
    };
    static const Line lines[] = {
        {0.145f, 0.01f, 22}, {0.71f, 0.008f, 200}, {0.885f, 0.005f, 253}, {0.965f, 0.003f, 275}};
    auto g = std::make_shared<CHTGradient>();
    for (const Line& l : lines) {
        auto add = [&](CGFloat hue, CGFloat value, CGFloat position) {
            _CHTGradientElement e;
            e.color = gradientHsvToRgb(hue, 1, value, 1);
            e.position = position;
            g->addElement(e);
        };
        add(l.hue - 180 * l.halfWidth, 0.001f, l.centre - l.halfWidth);
        add(l.hue, 1, l.centre);
        add(l.hue + 180 * l.halfWidth, 0.001f, l.centre + l.halfWidth);
    }
    g->setBlendingMode(CHTChromaticBlendingMode);
    return g;
}

// ---- Derived gradients

std::shared_ptr<CHTGradient> CHTGradient::addColorStop(const std::shared_ptr<CHTColor>& color, CGFloat position) const {
    auto g = copy();
    g->addElement(color ? elementOf(color->cgColor(), position) : missingElement());
    return g;
}

std::shared_ptr<CHTGradient> CHTGradient::removeColorStopAtIndex(unsigned index) const {
    if (index >= elements_.size())
        base::raise("NSRangeException", base::format("-[%@ removeColorStopAtIndex:]: index (%i) beyond bounds",
                                                     "CHTGradient", static_cast<int>(index)));
    auto g = copy();
    g->removeElementAtIndex(index);
    return g;
}

std::shared_ptr<CHTGradient> CHTGradient::removeColorStopAtPosition(CGFloat position) const {
    auto g = copy();
    _CHTGradientElement removed = g->removeElementAtPosition(position);
    if (std::isnan(removed.position))
        base::raise("NSRangeException",
                    base::format("-[%@ removeColorStopAtPosition:]: no such colorStop at position (%g)", "CHTGradient",
                                 static_cast<double>(position)));
    return g;
}

std::shared_ptr<CHTGradient> CHTGradient::gradientWithBlendingMode(CHTGradientBlendingMode mode) const {
    auto g = copy();
    g->setBlendingMode(mode);
    return g;
}

std::shared_ptr<CHTGradient> CHTGradient::gradientWithAlphaComponent(CGFloat alpha) const {
    auto g = copy();
    for (auto& e : g->elements_) e.color.alpha = alpha;
    g->dropSampling();
    return g;
}

// ---- Accessors

void CHTGradient::setBlendingMode(CHTGradientBlendingMode mode) {
    dropSampling();
    blendingMode_ = mode;
    hasEvaluator_ =
        mode == CHTLinearBlendingMode || mode == CHTChromaticBlendingMode || mode == CHTInverseChromaticBlendingMode;
}

void CHTGradient::setColorspace(const std::shared_ptr<CHTColorSpace>& space) {
    colorspace_ = space ? space : CHTColorSpace::genericRGBSpace();
}

gfx::Color CHTGradient::newColorStopAtIndex(unsigned index) const {
    if (index >= elements_.size())
        base::raise("NSRangeException", base::format("-[%@ colorStopAtIndex:]: index (%i) beyond bounds", "CHTGradient",
                                                     static_cast<int>(index)));
    const auto& c = elements_[index].color;
    return gfx::Color::rgb(c.red, c.green, c.blue, c.alpha);
}

gfx::Color CHTGradient::newColorAtPosition(CGFloat position) const {
    auto v = evaluate(position);
    if (!v) return gfx::Color::rgb(0, 0, 0, 0);
    auto c = *v;
    if (c[3] != 0) {
        c[0] /= c[3];
        c[1] /= c[3];
        c[2] /= c[3];
    }
    return gfx::Color::rgb(c[0], c[1], c[2], c[3]);
}

// ---- Stop list

const _CHTGradientElement* CHTGradient::elementAtIndex(std::size_t index) const {
    return index < elements_.size() ? &elements_[index] : nullptr;
}

void CHTGradient::addElement(const _CHTGradientElement& element) {
    dropSampling();
    if (elements_.empty() || element.position < elements_.front().position) {
        elements_.insert(elements_.begin(), element);
        return;
    }
    auto it = elements_.begin();
    while (it != elements_.end() && !(it->position > element.position)) ++it;
    elements_.insert(it, element);
}

_CHTGradientElement CHTGradient::removeElementAtIndex(std::size_t index) {
    if (index >= elements_.size()) return missingElement();
    dropSampling();
    _CHTGradientElement e = elements_[index];
    elements_.erase(elements_.begin() + static_cast<long>(index));
    return e;
}

_CHTGradientElement CHTGradient::removeElementAtPosition(CGFloat position) {
    for (auto it = elements_.begin(); it != elements_.end(); ++it) {
        if (it->position == position) {
            dropSampling();
            _CHTGradientElement e = *it;
            elements_.erase(it);
            return e;
        }
    }
    return missingElement();
}

void CHTGradient::removeAllElements() {
    dropSampling();
    elements_.clear();
}

// ---- Evaluation

std::optional<std::array<CGFloat, 4>> CHTGradient::evaluate(CGFloat x) const {
    if (!hasEvaluator_) return std::nullopt;
    if (elements_.empty()) return std::array<CGFloat, 4>{1, 1, 1, 1};
    std::size_t i = 0;
    while (i + 1 < elements_.size() && elements_[i + 1].position < x) ++i;
    const _CHTGradientElement& lower = elements_[i];
    const _CHTGradientElement& upper = i + 1 < elements_.size() ? elements_[i + 1] : lower;

    std::array<CGFloat, 4> out;
    auto choose = [&](std::array<CGFloat, 4> l, std::array<CGFloat, 4> u) {
        if (x <= lower.position) return l;
        if (x >= upper.position) return u;
        CGFloat t = (x - lower.position) / (upper.position - lower.position);
        return std::array<CGFloat, 4>{mix(l[0], u[0], t), mix(l[1], u[1], t), mix(l[2], u[2], t), mix(l[3], u[3], t)};
    };
    if (blendingMode_ == CHTLinearBlendingMode) {
        out = choose({lower.color.red, lower.color.green, lower.color.blue, lower.color.alpha},
                     {upper.color.red, upper.color.green, upper.color.blue, upper.color.alpha});
    } else {
        auto l = gradientRgbToHsv(lower.color.red, lower.color.green, lower.color.blue);
        auto u = gradientRgbToHsv(upper.color.red, upper.color.green, upper.color.blue);
        if (std::isnan(l[0]) && std::isnan(u[0])) l[0] = u[0] = 0;
        else if (std::isnan(l[0])) l[0] = u[0];
        else if (std::isnan(u[0])) u[0] = l[0];
        if (blendingMode_ == CHTChromaticBlendingMode) {
            if (l[0] > u[0]) u[0] += 360;
        } else if (l[0] < u[0]) {
            l[0] += 360;
        }
        auto hsva = choose({l[0], l[1], l[2], lower.color.alpha}, {u[0], u[1], u[2], upper.color.alpha});
        _CHTRGBAColor rgb = gradientHsvToRgb(hsva[0], hsva[1], hsva[2], hsva[3]);
        out = {rgb.red, rgb.green, rgb.blue, rgb.alpha};
    }
    out[0] *= out[3];
    out[1] *= out[3];
    out[2] *= out[3];
    return out;
}

std::optional<gfx::ShadingFunction> CHTGradient::shadingFunction() const {
    if (!hasEvaluator_) return std::nullopt;
    // The function reads a copy of the stops as they are now (kept until
    // they change), so a shading used later still shows them; it hands the
    // shading straight (not premultiplied) colours, which is what the
    // context expects.
    if (!snapshot_) snapshot_ = copy();
    return gfx::ShadingFunction([self = snapshot_](gfx::Float x) {
        gfx::Color c = self->newColorAtPosition(x);
        auto rgba = c.rgba();
        return std::array<gfx::Float, 4>{rgba[0], rgba[1], rgba[2], rgba[3]};
    });
}

std::optional<gfx::Shading> CHTGradient::newAxialGradientInRect(const gfx::Rect& rect) const {
    auto function = shadingFunction();
    if (!function) return std::nullopt;
    gfx::Point start, end;
    if (angle_ == 0) {
        start = {rect.minX(), rect.minY()};
        end = {rect.maxX(), rect.minY()};
    } else if (angle_ == 90) {
        start = {rect.minX(), rect.minY()};
        end = {rect.minX(), rect.maxY()};
    } else {
        CGFloat a = angle_ * kPi / 180;
        CGFloat w = rect.width(), h = rect.height();
        CGFloat length;
        if (std::fabs(std::tan(a)) <= 1) {
            length = w / std::fabs(std::cos(a)) + (h - w * std::fabs(std::tan(a))) * std::fabs(std::sin(a));
        } else {
            CGFloat b = a - kPi / 2;
            length = h / std::fabs(std::cos(b)) + (w - h * std::fabs(std::tan(b))) * std::fabs(std::sin(b));
        }
        gfx::Point half(length * std::cos(a) / 2, length * std::sin(a) / 2);
        gfx::Point centre = rect.center();
        start = centre - half;
        end = centre + half;
    }
    return gfx::Shading::axial(start, end, *function, false, false);
}

std::optional<gfx::Shading> CHTGradient::newRadialGradientInRect(const gfx::Rect& rect, gfx::Context& context) const {
    auto function = shadingFunction();
    // An empty rectangle has no ellipse to fill; scaling by it would divide by zero.
    if (!function || !(rect.width() > 0) || !(rect.height() > 0)) return std::nullopt;
    gfx::Point centre = rect.center();
    CGFloat radius;
    if (rect.height() <= rect.width()) {
        CGFloat factor = rect.height() / rect.width();
        context.scale(1, factor);
        centre.y /= factor;
        radius = rect.width() / 2;
    } else {
        CGFloat factor = rect.width() / rect.height();
        context.scale(factor, 1);
        centre.x /= factor;
        radius = rect.height() / 2;
    }
    return gfx::Shading::radial(centre, -1, centre, radius, *function, true, true);
}

// ---- Drawing

std::shared_ptr<const gfx::ShadingRamp> CHTGradient::ramp() const {
    if (!ramp_) {
        auto function = shadingFunction();
        if (!function) return nullptr;
        // Sampled at the stops too, so narrow bands (the spectrum's lines) show.
        std::vector<gfx::Float> breakpoints;
        for (const auto& e : elements_) breakpoints.push_back(e.position);
        ramp_ = std::make_shared<const gfx::ShadingRamp>(gfx::sampleShadingFunction(*function, breakpoints));
    }
    return ramp_;
}

std::optional<gfx::Shading> CHTGradient::newShadingForRect(const gfx::Rect& rect, gfx::Context& context) const {
    std::optional<gfx::Shading> shading;
    if (gradientType_ == CHTGradientTypeAxial) shading = newAxialGradientInRect(rect);
    else if (gradientType_ == CHTGradientTypeRadial) shading = newRadialGradientInRect(rect, context);
    if (!shading) return std::nullopt;
    // The same ramp for every rectangle: a plot filling many shapes with
    // one gradient samples it once.
    shading->ramp = ramp();
    return shading;
}

void CHTGradient::fillRect(const gfx::Rect& rect, gfx::Context& context) const {
    gfx::SavedState saved(context);
    context.clipToRect(rect);
    if (auto shading = newShadingForRect(rect, context)) context.drawShading(*shading);
}

void CHTGradient::fillPathInContext(gfx::Context& context) const {
    const gfx::Rect box = context.pathBoundingBox();
    if (box.isNull()) return;  // no path
    // A radial shading scales the context: that stays with this fill.
    const bool radial = gradientType_ == CHTGradientTypeRadial;
    std::optional<gfx::SavedState> scaled;
    if (radial) scaled.emplace(context);
    // Filling the path with the shading paints what clipping to the path
    // and painting the shading would, without a clip for every shape.
    if (auto shading = newShadingForRect(box, context)) context.fillPathWithShading(*shading);
    else context.beginPath();
}

// ---- Comparison and copying

bool CHTGradient::isEqual(const base::Coding* other) const {
    if (other == this) return true;
    auto g = dynamic_cast<const CHTGradient*>(other);
    if (!g) return false;
    if (g->blendingMode_ != blendingMode_ || g->angle_ != angle_ || g->gradientType_ != gradientType_ ||
        g->elements_.size() != elements_.size())
        return false;
    for (std::size_t i = 0; i < elements_.size(); ++i) {
        const auto& a = elements_[i];
        const auto& b = g->elements_[i];
        if (a.color.red != b.color.red || a.color.green != b.color.green || a.color.blue != b.color.blue ||
            a.color.alpha != b.color.alpha || a.position != b.position)
            return false;
    }
    return true;
}

std::uint64_t CHTGradient::hash() const {
    if (elements_.empty()) return static_cast<std::uint64_t>(static_cast<std::int64_t>(blendingMode_ + gradientType_));
    const auto& c = elements_.front().color;
    double sum = c.red * 256.0 + c.green * 65536.0 + c.blue * 16777216.0 + c.alpha * 4294967296.0;
    return sum > 0 ? static_cast<std::uint64_t>(sum) : 0;
}

std::shared_ptr<CHTGradient> CHTGradient::copy() const {
    auto g = std::make_shared<CHTGradient>();
    g->colorspace_ = colorspace_;
    g->elements_ = elements_;
    g->setBlendingMode(blendingMode_);
    g->ramp_ = ramp_;  // the same stops sample the same
    g->angle_ = angle_;
    g->gradientType_ = gradientType_;
    return g;
}

// ---- Archiving

void CHTGradient::encodeWithCoder(base::KeyedArchiver& coder) const {
    // The stops, five numbers each from the first: red, green, blue, alpha,
    // position.
    base::Array stops;
    for (const auto& e : elements_)
        for (CGFloat v : {e.color.red, e.color.green, e.color.blue, e.color.alpha, e.position})
            stops.push_back(base::Value(static_cast<double>(v)));
    coder.encodeValue(base::Value(stops), "CHTGradient.elements");
    coder.encodeInteger(static_cast<long long>(elements_.size()), "CHTGradient.elementCount");
    coder.encodeInteger(blendingMode_, "CHTGradient.blendingMode");
    encodeCGFloat(coder, angle_, "CHTGradient.angle");
    coder.encodeInteger(gradientType_, "CHTGradient.type");
}

std::shared_ptr<base::Coding> CHTGradient::initWithCoder(base::KeyedUnarchiver& coder) {
    gradientType_ = static_cast<CHTGradientType>(coder.decodeInteger("CHTGradient.type"));
    angle_ = decodeCGFloat(coder, "CHTGradient.angle");
    setBlendingMode(static_cast<CHTGradientBlendingMode>(coder.decodeInteger("CHTGradient.blendingMode")));
    long long count = coder.decodeInteger("CHTGradient.elementCount");
    base::Value stops = coder.decodeValue("CHTGradient.elements");
    removeAllElements();
    if (const base::Array* array = stops.asArray()) {
        const base::Array& values = *array;
        for (long long i = 0; i < count && static_cast<std::size_t>(i * 5 + 4) < values.size(); ++i) {
            std::size_t k = static_cast<std::size_t>(i * 5);
            _CHTGradientElement e;
            e.color = {static_cast<CGFloat>(values[k].doubleValue()), static_cast<CGFloat>(values[k + 1].doubleValue()),
                       static_cast<CGFloat>(values[k + 2].doubleValue()),
                       static_cast<CGFloat>(values[k + 3].doubleValue())};
            e.position = static_cast<CGFloat>(values[k + 4].doubleValue());
            addElement(e);
        }
    }
    return nullptr;
}
